#include "ui/qt/QtForm2.h"

#include "platform/qt/QtText.h"
#include "platform/unix/XcbWindowFinder.h"
#include "ui/Design.h"
#include "ui/qt/QtDesign.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace papyra {

QtForm2::QtForm2(Form2& form)
    : QWidget(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      form(form) {
    setObjectName("Form2");
    controls = BuildWindow(this, design::Form2, design::Form2Controls);
    connect(Find<QPushButton>("Command1"), &QPushButton::clicked, this,
            [this] { this->form.AdjustSettingsClicked(); });
    connect(Find<QPushButton>("Command2"), &QPushButton::clicked, this,
            [this] { this->form.OkClicked(); });
}

void QtForm2::SetLine(int line, const std::string& text) {
    Find<QLabel>(("Label" + std::to_string(line)).c_str())->setText(FromAnsi(text));
}

void QtForm2::Show() {
    show();
    EraseWindowTitle(winId()); // empty at the window system too, not the toolkit's fallback
}

void QtForm2::closeEvent(QCloseEvent* event) {
    event->accept();
    form.Closed();
}

} // namespace papyra
