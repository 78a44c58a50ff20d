#include "ui/qt/QtForm1.h"

#include "platform/qt/QtText.h"
#include "ui/Design.h"
#include "ui/qt/QtDesign.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace papyra {

QtForm1::QtForm1(Form1& form)
    : QWidget(nullptr, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      form(form) {
    setObjectName("Form1");
    setWindowModality(Qt::ApplicationModal);
    controls = BuildWindow(this, design::Form1, design::Form1Controls);
    // The port line shows one line, its middle elided when long (SetPortLine).
    Find<QLabel>("Label3")->setWordWrap(false);

    auto* combo1 = Find<QComboBox>("Combo1");
    connect(combo1, &QComboBox::activated, this, [this](int index) { this->form.Picked(index); });
    // Only the user's typing counts: a pick also changes the edit text.
    connect(combo1->lineEdit(), &QLineEdit::textEdited, this, [this] { this->form.Typed(); });
    auto click = [this](const char* name, void (Form1::*event)()) {
        connect(Find<QPushButton>(name), &QPushButton::clicked, this,
                [this, event] { (this->form.*event)(); });
    };
    click("Command1", &Form1::PrinterTestClicked);
    click("Command2", &Form1::CancelClicked);
    click("Command3", &Form1::OkClicked);
}

void QtForm1::ListPrinters(const std::vector<std::string>& deviceNames) {
    auto* combo1 = Find<QComboBox>("Combo1");
    for (const std::string& name : deviceNames)
        combo1->addItem(FromAnsi(name));
    combo1->setCurrentIndex(-1);
    combo1->setEditText("Combo1");
}

void QtForm1::ShowHostWarning(bool visible) {
    Find<QLabel>("Label7")->setVisible(visible);
}

void QtForm1::SetBanner(const std::string& text) {
    Find<QLabel>("Label1")->setText(FromAnsi(text));
}

void QtForm1::SetPortLine(const std::string& text) {
    // A device URI is longer than the line: both ends stay readable, the whole is in the tooltip.
    QLabel* label3 = Find<QLabel>("Label3");
    const QString full = FromAnsi(text);
    label3->setText(label3->fontMetrics().elidedText(full, Qt::ElideMiddle, label3->width()));
    label3->setToolTip("Selected Printer Port\n" + full);
}

void QtForm1::SetDriverLine(const std::string& text) {
    Find<QLabel>("Label4")->setText(FromAnsi(text));
}

void QtForm1::ShowCodeSetFrame(bool codeSet) {
    Find<QGroupBox>("Frame6")->setVisible(codeSet);
    Find<QGroupBox>("Frame5")->setVisible(!codeSet);
}

void QtForm1::SelectPaperFeed(bool tractor) {
    Find<QPushButton>(tractor ? "Option2" : "Option1")->setChecked(true);
}

bool QtForm1::IbmSelected() {
    return Find<QRadioButton>("Option9")->isChecked();
}

void QtForm1::closeEvent(QCloseEvent* event) {
    // Unloading saves nothing; "&OK" has saved before it gets here.
    event->accept();
    emit Unloaded();
}

} // namespace papyra
