#include "platform/qt/QtSettingsStore.h"

#include "platform/RuntimeError.h"

#include <QSettings>
#include <QString>

namespace papyra {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; the five bytes it leaves undefined map to
// the C1 controls of the same number, as Windows maps them.
QString FromAnsi(const std::string& ansi) {
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text;
    text.reserve(static_cast<qsizetype>(ansi.size()));
    for (unsigned char c : ansi)
        text += c >= 0x80 && c < 0xA0 ? QChar(high[c - 0x80]) : QChar(c);
    return text;
}

} // namespace

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

} // namespace papyra
