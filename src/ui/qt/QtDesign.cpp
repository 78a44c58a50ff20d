#include "ui/qt/QtDesign.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <cmath>

namespace papyra {

namespace {

QColor ToColor(const design::Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QWidget* Create(const design::Control& c, QWidget* container) {
    using design::Kind;
    const QString caption = QString::fromLatin1(c.caption);
    switch (c.kind) {
    case Kind::Label: {
        auto* label = new QLabel(caption, container);
        label->setAlignment((c.align == design::Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft) |
                            Qt::AlignTop);
        label->setWordWrap(true); // a label wraps within its rectangle and clips what does not fit
        return label;
    }
    case Kind::ComboBox: {
        auto* combo = new QComboBox(container);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert); // typing never adds a printer
        combo->setCompleter(nullptr);                // nor completes one
        combo->setEditText(caption);
        return combo;
    }
    case Kind::Button:
        return new QPushButton(caption, container);
    case Kind::Frame: {
        auto* frame = new QGroupBox(caption, container);
        frame->setAutoFillBackground(true); // opaque: the one on top hides the other
        return frame;
    }
    case Kind::ScrollBar: {
        auto* bar = new QScrollBar(Qt::Vertical, container);
        bar->setRange(design::ScrollMinimum, design::ScrollMaximum);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        bar->setValue(0);
        bar->setFocusPolicy(Qt::StrongFocus); // a tab stop, like every other control here
        // A scroll bar draws no focus mark of its own: a tabbed-to one gets a frame.
        bar->setStyleSheet("QScrollBar:focus { border: 1px dotted palette(text); }");
        return bar;
    }
    case Kind::TextBox:
        return new QLineEdit(caption, container);
    case Kind::Option:
        return new QRadioButton(caption, container);
    case Kind::PushOption: {
        auto* option = new QPushButton(caption, container);
        option->setCheckable(true);
        option->setAutoExclusive(true); // one group with the other option of its frame
        // Pressed must be plain at a glance, not a shade apart from the other button.
        option->setStyleSheet("QPushButton:checked { background: #9ab8e0; font-weight: bold;"
                              " border: 2px inset #40608a; }");
        return option;
    }
    }
    return new QWidget(container);
}

} // namespace

int TwipsToPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
}

QFont DesignFont(const design::Font& font) {
    QFont made;
    const QString face = QString::fromLatin1(font.face);
    if (face == "Courier New") {
        made.setFamilies({face, "Liberation Mono"});
        made.setStyleHint(QFont::Monospace);
    } else {
        // MS Sans Serif where it exists, else a face of Arial's metrics (Liberation Sans on
        // Linux), which keeps captions inside the rectangles they were designed for.
        made.setFamilies({face, "Microsoft Sans Serif", "Arial", "Liberation Sans"});
        made.setStyleHint(QFont::SansSerif);
    }
    made.setPointSizeF(font.points);
    made.setBold(font.bold);
    return made;
}

std::map<std::string, QWidget*> BuildWindow(QWidget* window, const design::Window& design,
                                            std::span<const design::Control> controls) {
    window->setWindowTitle(QString::fromLatin1(design.title));
    window->setFont(DesignFont(design.font)); // every control without a font of its own
    const int dpi = window->logicalDpiX();
    window->setFixedSize(TwipsToPixels(design.width, dpi), TwipsToPixels(design.height, dpi));
    window->move(TwipsToPixels(design.left, dpi), TwipsToPixels(design.top, dpi));

    std::map<std::string, QWidget*> byName;
    QWidget* previous = nullptr;
    for (const design::Control& c : controls) {
        QWidget* container = c.container ? byName.at(c.container) : window;
        QWidget* control = Create(c, container);
        control->setObjectName(c.name);
        control->setGeometry(TwipsToPixels(c.left, dpi), TwipsToPixels(c.top, dpi),
                             TwipsToPixels(c.width, dpi), TwipsToPixels(c.height, dpi));
        if (c.tooltip) control->setToolTip(QString::fromLatin1(c.tooltip));
        if (c.font.face) control->setFont(DesignFont(c.font));
        if (c.text || c.background) {
            QPalette palette = control->palette();
            if (c.text) palette.setColor(QPalette::WindowText, ToColor(*c.text));
            if (c.background) {
                palette.setColor(QPalette::Window, ToColor(*c.background));
                control->setAutoFillBackground(true);
            }
            control->setPalette(palette);
        }
        if (!c.visible) control->hide();
        if (control->focusPolicy() != Qt::NoFocus) {
            if (previous) QWidget::setTabOrder(previous, control);
            previous = control;
        }
        byName[c.name] = control;
    }
    // Labels are painted on their container, below every control that overlaps them.
    for (auto& [name, control] : byName)
        if (qobject_cast<QLabel*>(control)) control->lower();
    return byName;
}

} // namespace papyra
