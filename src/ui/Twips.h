#pragma once
// Window layouts are designed in twips (1/1440 inch) and placed in pixels at the screen's
// logical resolution, so a window keeps its proportions on any screen.
#include <QRect>
#include <QWidget>

#include <cmath>

namespace papyra {

inline int TwipsToPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
}

// Places control inside its container at a rectangle given in twips.
inline void PlaceInTwips(QWidget* control, int left, int top, int width, int height, int dpi) {
    control->setGeometry(TwipsToPixels(left, dpi), TwipsToPixels(top, dpi),
                         TwipsToPixels(width, dpi), TwipsToPixels(height, dpi));
}

} // namespace papyra
