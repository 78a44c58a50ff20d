#pragma once
// How the windows were designed: layouts in twips (1/1440 inch), placed in pixels at the screen's
// logical resolution so a window keeps its proportions on any screen, and the classic dialog font.
#include <QFont>
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

// MS Sans Serif where it exists, else a face of Arial's metrics (Liberation Sans on Linux), which
// keeps captions inside the rectangles they were designed for.
inline QFont DialogFont(double points, bool bold = false) {
    QFont font;
    font.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace papyra
