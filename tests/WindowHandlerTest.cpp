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

TEST(WindowHandler, AFailureIsReportedOnceAndEndsTheProgram) {
    TestApp();
    struct Case {
        std::function<void()> handler;
        bool ends;
        const char* report; // nullptr: none shown
    } cases[] = {
        {[] {}, false, nullptr},
        {[] { throw RuntimeError(53); }, true, "Run-time error '53':\n\nFile not found"},
        {[] { (void)std::vector<int>().at(1); }, true,
         "Run-time error '9':\n\nSubscript out of range"},
        {[] { throw std::runtime_error("queue gone"); }, true,
         "Run-time error '482':\n\nqueue gone"},
        {[] { throw 42; }, true, "Run-time error '51':\n\nInternal error"},
        {[] { throw ProgramEnd{}; }, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.report ? c.report : c.ends ? "end" : "success");
        World world;
        RunWindowHandler(world.platform, c.handler);
        EXPECT_EQ(PendingProgramEnd().has_value(), c.ends);
        if (c.ends) {
            EXPECT_THROW(RethrowPendingEnd(), ProgramEnd);
        }
        EXPECT_EQ(PendingProgramEnd(), std::nullopt) << "taken once";
        if (!c.report) {
            EXPECT_TRUE(world.dialogs.boxes.empty());
            continue;
        }
        EXPECT_EQ(world.process.ends, 1);
        ASSERT_EQ(world.dialogs.boxes.size(), 1u);
        EXPECT_EQ(world.dialogs.boxes[0].text, c.report);
        EXPECT_EQ(world.dialogs.boxes[0].buttons, MsgButtons::OK);
        EXPECT_EQ(world.dialogs.boxes[0].title, std::nullopt);
    }
}

// A handler in a modal loop inside a handler of the main loop ends the program: the modal loop
// rethrows, the outer handler stops it again, the windows close and the main loop returns the
// end's exit code. (The modal loop's plain Quit is what unloading the setup window uses.)
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

} // namespace
