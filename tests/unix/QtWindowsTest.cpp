// The Qt side of the windows: controls built from the design and events forwarded to the logic,
// the port line, the printer dialog's answers, and the event pacing of the process.
#include "fakes/FakePlatform.h"
#include "platform/qt/QtDialogs.h"
#include "platform/unix/UnixProcess.h"
#include "support/ScopedEnv.h"
#include "support/ScratchFolder.h"
#include "ui/Design.h"
#include "ui/qt/QtForm1.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <thread>

using namespace papyra;
using namespace papyra::fakes;
using namespace papyra::test;

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "papyra_unix_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

TEST(QtForm1, IsBuiltFromTheDesignAndForwardsEveryEventToTheLogic) {
    App();
    World world;
    FakePrinter& tractor =
        world.printers.Add("Dot Matrix", "ipp://printserver.example:631/printers/accounts-dot");
    tractor.paperBin = 8;
    Form1 form(world.program);
    QtForm1 view(form);
    form.Attach(view);
    form.Load();
    const int dpi = view.logicalDpiX();
    EXPECT_EQ(view.Find<QPushButton>("Command3")->geometry(),
              QRect(6030 * dpi / 1440, 3480 * dpi / 1440, 1815 * dpi / 1440, 495 * dpi / 1440));
    EXPECT_EQ(view.Find<QWidget>("VScroll1")->parentWidget(), view.Find<QWidget>("Frame5"));
    EXPECT_TRUE(view.Find<QLabel>("Label7")->isHidden()) << "Harvex runs";
    EXPECT_EQ(view.Find<QComboBox>("Combo1")->currentIndex(), -1);
    std::vector<std::string> designed, chain;
    for (const design::Control& c : design::Form1Controls)
        if (c.kind != design::Kind::Label && c.kind != design::Kind::Frame)
            designed.push_back(c.name);
    for (QWidget* w = view.nextInFocusChain(); w != &view; w = w->nextInFocusChain())
        if (std::find(designed.begin(), designed.end(), w->objectName().toStdString()) !=
            designed.end())
            chain.push_back(w->objectName().toStdString());
    EXPECT_EQ(chain, designed) << "tab order as designed";

    emit view.Find<QComboBox>("Combo1")->activated(1);
    QLabel* port = view.Find<QLabel>("Label3");
    EXPECT_EQ(port->toolTip(), "Selected Printer Port\nConnected to: "
                               "ipp://printserver.example:631/printers/accounts-dot");
    EXPECT_TRUE(port->text().startsWith("Connected to: ipp:")) << "the start shows";
    EXPECT_TRUE(port->text().endsWith("accounts-dot")) << "and the end: elided in the middle";
    EXPECT_LE(port->fontMetrics().horizontalAdvance(port->text()), port->width());
    EXPECT_TRUE(view.Find<QPushButton>("Option2")->isChecked());
    EXPECT_FALSE(view.Find<QGroupBox>("Frame6")->isHidden());
    EXPECT_TRUE(view.Find<QGroupBox>("Frame5")->isHidden());

    view.Find<QRadioButton>("Option9")->click();
    EXPECT_TRUE(view.IbmSelected());
    emit view.Find<QComboBox>("Combo1")->lineEdit()->textEdited("typed");
    EXPECT_EQ(form.SelectedPosition(), -1);
    bool unloaded = false;
    QObject::connect(&view, &QtForm1::Unloaded, [&] { unloaded = true; });
    view.Find<QPushButton>("Command2")->click(); // "&Cancel"
    EXPECT_TRUE(unloaded);
    EXPECT_EQ(world.process.lastStatus, ExitStatus::Failed);
}

TEST(QtDialogs, ThePrinterDialogYieldsOrientationCopiesOrADiscard) {
    App();
    QtDialogs dialogs([] { return false; });
    FakePrinter printer("Office");
    const struct {
        int16_t copies; // the printer's
        bool landscape, accept;
        PrinterDialogResult expected;
    } cases[] = {
        {1, true, true, {2, 4, false}},
        {0, false, true, {1, 0, false}}, // copies not offered
        {1, true, false, {1, 1, true}},  // cancelled: discarded
    };
    for (const auto& c : cases) {
        printer.copies = c.copies;
        bool copiesOffered = true;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            EXPECT_EQ(dialog->windowTitle(), "Harvex Printer Setup");
            EXPECT_EQ(dialog->findChild<QLineEdit*>("Printer")->text(), "Office");
            auto* copies = dialog->findChild<QSpinBox*>("Copies");
            copiesOffered = copies->isEnabled();
            copies->setValue(4);
            dialog->findChild<QRadioButton*>(c.landscape ? "Landscape" : "Portrait")->click();
            c.accept ? dialog->accept() : dialog->reject();
        });
        const PrinterDialogResult result = dialogs.PrinterDialog(printer, "Harvex Printer Setup");
        EXPECT_EQ(result.orientation, c.expected.orientation);
        EXPECT_EQ(result.discarded, c.expected.discarded);
        if (!c.expected.discarded && c.copies > 0) {
            EXPECT_EQ(result.copies, 4);
        }
        EXPECT_EQ(copiesOffered, c.copies > 0);
    }
}

TEST(UnixProcess, EventsRunAtEachPageAndWithinTenMillisecondsOfALine) {
    App();
    UnixProcess process({});
    int ran = 0;
    process.DoEvents();
    QTimer::singleShot(0, [&] { ++ran; });
    process.DoEventsIfDue();
    EXPECT_EQ(ran, 0) << "events ran a moment ago: a line does not look";
    process.DoEvents();
    EXPECT_EQ(ran, 1) << "a page always looks";
    QTimer::singleShot(0, [&] { ++ran; });
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
    process.DoEventsIfDue();
    EXPECT_EQ(ran, 2) << "a line looks once 10 ms have passed";
}

TEST(UnixProcess, OneInstanceHoldsTheLockInAFolderOnlyItsUserOwns) {
    ScratchFolder folder;
    const std::string runtime = folder / "run", tmp = folder / "tmp";
    for (const std::string& dir : {runtime, tmp})
        std::filesystem::create_directory(dir);
    chmod(runtime.c_str(), 0700);
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.c_str()), tmpdir("TMPDIR", tmp.c_str());
    {
        UnixProcess first({}), second({});
        EXPECT_FALSE(first.AnotherInstanceRunning());
        EXPECT_FALSE(first.AnotherInstanceRunning()) << "asking again changes nothing";
        EXPECT_TRUE(second.AnotherInstanceRunning());
        EXPECT_TRUE(std::filesystem::exists(runtime + "/papyra.lock"));
    }
    chmod(runtime.c_str(), 0777); // a runtime folder others may enter is none of ours
    UnixProcess third({});
    EXPECT_FALSE(third.AnotherInstanceRunning());
    const std::string own = tmp + "/papyra-" + std::to_string(geteuid());
    EXPECT_TRUE(std::filesystem::exists(own + "/papyra.lock"));
    EXPECT_EQ(std::filesystem::status(own).permissions(), std::filesystem::perms(0700));
}

} // namespace
