#pragma once
// The run-time error an action ends with: the whole error, or its number (0 when it ends
// normally).
#include "platform/RuntimeError.h"

#include <functional>

namespace papyra::test {

inline RuntimeError FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& e) {
        return e;
    }
    return RuntimeError(0);
}

inline int ErrorOf(const std::function<void()>& action) {
    return FailureOf(action).number;
}

} // namespace papyra::test
