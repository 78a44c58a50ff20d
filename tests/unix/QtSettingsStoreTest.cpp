#include "platform/qt/QtSettingsStore.h"
#include "platform/RuntimeError.h"
#include "support/ScratchFolder.h"

#include <QSettings>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::test;

TEST(QtSettingsStore, SavesUnderPapyraInTheUsersConfigOrFailsWith70) {
    // QSettings keeps its paths for the whole process; later tests get the usual one back.
    struct RestorePath {
        ~RestorePath() {
            QSettings::setPath(
                QSettings::NativeFormat, QSettings::UserScope,
                QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        }
    } restore;
    ScratchFolder home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(home.path()));
    QtSettingsStore store;
    store.SaveSetting("Papyra", "Printer", "Device", "old");
    store.SaveSetting("Papyra", "Printer", "Device", "Caf\xE9 \x80 On lp0");
    QSettings read(QString::fromStdString(home / "Papyra/Papyra.conf"), QSettings::IniFormat);
    EXPECT_EQ(read.childGroups(), QStringList{"Printer"});
    EXPECT_EQ(read.value("Printer/Device").toString(), QString::fromUtf8("Café € On lp0"));

    WriteBytes(home / "Blocked", ""); // a file where a folder should be
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(home / "Blocked"));
    try {
        store.SaveSetting("Papyra", "Printer", "Device", "x");
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number, 70);
    }
}
