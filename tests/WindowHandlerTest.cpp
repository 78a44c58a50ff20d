// The window-event failure style: the standard run-time error report, and an end of the program
// that leaves the event loops instead of unwinding through them.
#include "ui/WindowHandler.h"
#include "QtTestApp.h"
#include "fakes/FakePlatform.h"

#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace papyra;
using namespace papyra::fakes;
using namespace papyra::test;

namespace {

struct FailureCase {
    const char* name;
    std::function<void()> handler;
    const char* report; // nullptr: none shown
};

class Failure : public testing::TestWithParam<FailureCase> {};

TEST_P(Failure, IsReportedOnceAndEndsTheProgram) {
    World world;
    TestApp();
    RunWindowHandler(world.platform, GetParam().handler);
    std::optional<ProgramEnd> end = PendingProgramEnd();
    EXPECT_THROW(RethrowPendingEnd(), ProgramEnd);
    EXPECT_EQ(PendingProgramEnd(), std::nullopt) << "taken once";
    EXPECT_TRUE(end.has_value());
    if (!GetParam().report) {
        EXPECT_TRUE(world.dialogs.boxes.empty());
        return;
    }
    EXPECT_EQ(world.process.ends, 1);
    ASSERT_EQ(world.dialogs.boxes.size(), 1u);
    EXPECT_EQ(world.dialogs.boxes[0].text, GetParam().report);
    EXPECT_EQ(world.dialogs.boxes[0].buttons, MsgButtons::OK);
    EXPECT_EQ(world.dialogs.boxes[0].title, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    WindowHandler, Failure,
    testing::Values(FailureCase{"RunTimeError", [] { throw RuntimeError(53); },
                                "Run-time error '53':\n\nFile not found"},
                    FailureCase{"OutOfRange", [] { std::vector<int>().at(1); },
                                "Run-time error '9':\n\nSubscript out of range"},
                    FailureCase{"OtherException", [] { throw std::runtime_error("queue gone"); },
                                "Run-time error '482':\n\nqueue gone"},
                    FailureCase{"NotAnException", [] { throw 42; },
                                "Run-time error '51':\n\nInternal error"},
                    FailureCase{"ProgramEnd", [] { throw ProgramEnd{}; }, nullptr}),
    [](const auto& info) { return info.param.name; });

TEST(WindowHandler, AHandlerThatSucceedsLeavesNothingBehind) {
    World world;
    TestApp();
    bool ran = false;
    RunWindowHandler(world.platform, [&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_EQ(PendingProgramEnd(), std::nullopt);
    EXPECT_TRUE(world.dialogs.boxes.empty());
}

// A handler in a modal loop inside a handler of the main loop ends the program: the modal loop
// rethrows, the outer handler stops it again, the windows close and the main loop returns the
// end's exit code.
TEST(WindowHandler, AnEndLeavesNestedLoopsAndMainReturnsItsCode) {
    World world;
    TestApp();
    QWidget window;
    window.show();
    bool modalRethrew = false;
    QTimer::singleShot(0, [&] {
        RunWindowHandler(world.platform, [&] {
            ModalLoop modal;
            QTimer::singleShot(
                0, [&] { RunWindowHandler(world.platform, [] { throw ProgramEnd{7}; }); });
            try {
                modal.Exec();
            } catch (const ProgramEnd&) {
                modalRethrew = true;
                throw;
            }
        });
    });
    EXPECT_EQ(RunMainEventLoop(), 7);
    EXPECT_TRUE(modalRethrew);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(PendingProgramEnd(), std::nullopt);
}

TEST(WindowHandler, ModalLoopReturnsOnQuit) {
    TestApp();
    ModalLoop loop;
    bool inside = false;
    QTimer::singleShot(0, [&] {
        inside = loop.Running();
        loop.Quit();
    });
    loop.Exec();
    EXPECT_TRUE(inside);
    EXPECT_FALSE(loop.Running());
}

} // namespace
