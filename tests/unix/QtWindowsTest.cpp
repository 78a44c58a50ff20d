#include "fakes/FakePlatform.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/unix/UnixProcess.h"
#include "support/ErrorOf.h"
#include "support/ScratchFolder.h"
#include "ui/qt/QtForm1.h"

#include <QtWidgets>

#include <gtest/gtest.h>

#include <thread>

using namespace papyra;
using namespace papyra::fakes;
using namespace papyra::test;

namespace {

void App() {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>("papyra_unix_tests"), nullptr};
    static QApplication app(argc, argv);
}

TEST(QtForm1, ForwardsEveryEventToTheLogicAndShowsTheWholePort) {
    App();
    World world;
    world.printers.Add("Dot Matrix", "ipp://printserver.example:631/printers/accounts-dot")
        .paperBin = 8;
    Form1 form(world.program);
    QtForm1 view(form);
    form.Attach(view);
    form.Load();
    emit view.Find<QComboBox>("Combo1")->activated(1);
    QLabel* port = view.Find<QLabel>("Label3");
    EXPECT_EQ(port->toolTip(), "Selected Printer Port\nConnected to: "
                               "ipp://printserver.example:631/printers/accounts-dot");
    EXPECT_TRUE(port->text().startsWith("Connected to: ipp:")) << "the start shows";
    EXPECT_TRUE(port->text().endsWith("accounts-dot")) << "and the end: elided in the middle";
    EXPECT_LE(port->fontMetrics().horizontalAdvance(port->text()), port->width());
    EXPECT_TRUE(view.Find<QPushButton>("Option2")->isChecked()) << "the tractor feed";

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
        int16_t copies, orientation; // the printer's
        bool landscape, accept;
        PrinterDialogResult expected;
    } cases[] = {
        {1, 1, true, true, {2, 4, false}},
        {0, 2, false, true, {1, 1, false}}, // copies not offered
        {1, 1, true, false, {1, 1, true}},  // cancelled: discarded
    };
    for (const auto& c : cases) {
        printer.copies = c.copies;
        printer.orientation = c.orientation;
        bool copiesOffered = true, startsLandscape = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            auto* copies = dialog->findChild<QSpinBox*>("Copies");
            copiesOffered = copies->isEnabled();
            if (copiesOffered) copies->setValue(4);
            startsLandscape = dialog->findChild<QRadioButton*>("Landscape")->isChecked();
            dialog->findChild<QRadioButton*>(c.landscape ? "Landscape" : "Portrait")->click();
            c.accept ? dialog->accept() : dialog->reject();
        });
        const PrinterDialogResult result = dialogs.PrinterDialog(printer, "Harvex Printer Setup");
        EXPECT_EQ(std::tuple(result.orientation, result.copies, result.discarded),
                  std::tuple(c.expected.orientation, c.expected.copies, c.expected.discarded));
        EXPECT_EQ(copiesOffered, c.copies > 0);
        EXPECT_EQ(startsLandscape, c.orientation == 2);
    }
}

TEST(QtSettingsStore, SavesUnderPapyraInTheUsersConfigOrFailsWith70) {
    ScratchFolder home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path().c_str());
    QtSettingsStore store;
    store.SaveSetting("Papyra", "Printer", "Device", "Caf\xE9 \x80 On lp0");
    QSettings read(QString::fromStdString(home / "Papyra/Papyra.conf"), QSettings::IniFormat);
    EXPECT_EQ(read.value("Printer/Device").toString(), QString::fromUtf8("Café € On lp0"));
    WriteBytes(home / "Blocked", ""); // a file where a folder should be
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, (home / "Blocked").c_str());
    EXPECT_EQ(FailureOf([&] { store.SaveSetting("Papyra", "Printer", "Device", "x"); }).number, 70);
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

} // namespace
