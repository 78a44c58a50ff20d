#include "platform/qt/QtSettingsStore.h"

#include "platform/RuntimeError.h"
#include "platform/qt/QtText.h"

#include <QSettings>
#include <QString>

namespace papyra {

void QtSettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Papyra",
                       FromAnsi(application));
    settings.beginGroup(FromAnsi(section));
    settings.setValue(FromAnsi(key), FromAnsi(value));
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError) throw RuntimeError(70);
}

std::string QtSettingsStore::FilePath(const std::string& application) {
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Papyra",
                             FromAnsi(application));
    return settings.fileName().toStdString();
}

} // namespace papyra
