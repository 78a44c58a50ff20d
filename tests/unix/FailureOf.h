#pragma once
// The run-time error an action fails with.
#include "platform/RuntimeError.h"

#include <functional>

namespace papyra::test {

// The error; number 0 when the action does not fail.
inline RuntimeError FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& e) {
        return e;
    }
    return RuntimeError(0);
}

} // namespace papyra::test
