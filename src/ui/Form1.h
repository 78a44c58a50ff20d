#pragma once
// The setup window "Harvex Printer Setup": the user picks one of the installed printers and, for
// a dot-matrix printer, its control-code set. "&OK" stores the choice for Harvex, starts Harvex
// when it is not running and unloads the window; the frame's close command unloads it without
// saving; "&Cancel" ends the program.
//
// Every event handler runs in the window-event failure style (WindowHandler.h): a failure shows
// the standard run-time error report and ends the program. Creating the window loads it (fills
// the printer list) through the same style; the creator checks RethrowPendingEnd afterwards.
#include "startup/Program.h"

#include <QWidget>

#include <functional>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace papyra {

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Program& program, QWidget* parent = nullptr);

    // The list position of the entry picked in Combo1, counted from 0; -1 before the first pick
    // and once the edit field has been typed over.
    int SelectedPosition() const { return selectedPosition; }

signals:
    // The window has been unloaded ("&OK", "&Cancel" or the frame's close command).
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Load();
    void Handle(const std::function<void()>& handler);
    void Pick(int position);
    void PrinterTest();
    void Ok();
    void Cancel();
    void SavePrinterSettings();

    Program& program;
    int selectedPosition = -1;

    QComboBox* combo1;
    QLabel *label1, *label2, *label3, *label4, *label5, *label6, *label7;
    QPushButton *command1, *command2, *command3;
    QGroupBox *frame1, *frame5, *frame6;
    QScrollBar* vScroll1;
    QLineEdit* text1;
    QRadioButton *option9, *option10;
    QPushButton *option1, *option2;
    QButtonGroup *codeSet, *paperFeed;
};

} // namespace papyra
