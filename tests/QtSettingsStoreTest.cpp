#include "platform/qt/QtSettingsStore.h"
#include "ScratchFolder.h"
#include "platform/RuntimeError.h"

#include <QSettings>
#include <QStandardPaths>
#include <filesystem>
#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::test;

TEST(QtSettingsStore, SavesTheDeviceUnderPapyraPrinterInTheUsersConfig) {
    // QSettings keeps its paths for the whole process; later tests get the usual one back.
    struct RestorePath {
        ~RestorePath() {
            QSettings::setPath(
                QSettings::NativeFormat, QSettings::UserScope,
                QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        }
    } restore;
    ScratchFolder home;
    ScopedEnv config("XDG_CONFIG_HOME", (home / ".config").c_str());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(home / ".config"));
    QtSettingsStore store;
    store.SaveSetting("Papyra", "Printer", "Device", "old");
    store.SaveSetting("Papyra", "Printer", "Device", "Caf\xE9 \x80 On lp0");
    std::string conf = ReadBytes(home / ".config/Papyra/Papyra.conf");
    EXPECT_NE(conf.find("[Printer]"), std::string::npos) << conf;
    QSettings read(QString::fromStdString(home / ".config/Papyra/Papyra.conf"),
                   QSettings::IniFormat);
    EXPECT_EQ(read.value("Printer/Device").toString(), QString::fromUtf8("Café € On lp0"));

    // A config folder that is a file cannot take the store.
    ScratchFolder blocked;
    WriteBytes(blocked / "Papyra", "");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(blocked.path()));
    try {
        store.SaveSetting("Papyra", "Printer", "Device", "x");
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number, 70);
    }
}
