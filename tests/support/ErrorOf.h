#pragma once
// The run-time error number an action ends with, 0 when it ends normally.
#include "platform/RuntimeError.h"

#include <functional>

namespace papyra::test {

inline int ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.number;
    }
    return 0;
}

} // namespace papyra::test
