#include "platform/qt/QtText.h"

#include "platform/ansi/AnsiText.h"

namespace papyra {

QString FromAnsi(std::string_view ansi) {
    return QString::fromStdString(AnsiToUtf8(ansi));
}

std::string ToAnsi(const QString& text) {
    return Utf8ToAnsi(text.toStdString());
}

} // namespace papyra
