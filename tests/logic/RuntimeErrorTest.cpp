#include "platform/RuntimeError.h"

#include <gtest/gtest.h>

using namespace papyra;

TEST(RuntimeError, ForeignFailuresBecomeRunTimeErrorsWithTheirNumbers) {
    auto as = [](auto thrown) { return AsRuntimeError(std::make_exception_ptr(thrown)); };
    EXPECT_EQ(as(RuntimeError(53)).number, 53);
    EXPECT_EQ(as(RuntimeError(53)).description(), "File not found");
    EXPECT_EQ(as(std::bad_alloc()).number, 7);
    EXPECT_EQ(as(std::out_of_range("x")).number, 9);
    EXPECT_EQ(as(std::runtime_error("cups gone")).number, 482);
    EXPECT_EQ(as(std::runtime_error("cups gone")).description(), "cups gone");
}
