#pragma once
// A window's design (ui/Design.h) built with Qt Widgets: every control of the table created,
// named, placed in pixels at the screen's logical resolution, captioned, with its tooltip, font,
// colours and visibility.
#include "ui/Design.h"

#include <QFont>
#include <QString>
#include <QWidget>

#include <map>
#include <span>
#include <string>

namespace papyra {

int TwipsToPixels(int twips, int dpi);

// The design's font; a face the system lacks falls back to one of the same metrics.
QFont DesignFont(const design::Font& font);

// Sizes and places window as designed and creates its controls in tab order, each named as in
// the table. Returns them by name.
std::map<std::string, QWidget*> BuildWindow(QWidget* window, const design::Window& design,
                                            std::span<const design::Control> controls);

} // namespace papyra
