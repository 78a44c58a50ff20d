#pragma once
// The printer settings review window of SETUP mode: four lines on the current printer (device
// name, orientation, copies, paper-size code), "Adjust Settings" to change orientation and copies
// through the printer dialog, and "OK" to print the file the whole command line names. Nothing it
// changes is stored. Its handlers run in the window-event failure style (WindowHandler.h).
#include "startup/Program.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace papyra {

class Form2 : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* DialogTitle = "Harvex Printer Setup";

    explicit Form2(Program& program, QWidget* parent = nullptr);

    // Rewrites lines first..last (1 printer, 2 orientation, 3 copies, 4 paper) from the current
    // printer, in that order. An orientation other than 1 or 2 leaves its line as it was.
    void WriteLines(int first = 1, int last = 4);

    bool Unloaded() const { return unloaded; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void AdjustSettings();
    void Ok();
    void Handle(const std::function<void()>& handler);

    Program& program;
    bool unloaded = false;
    QLabel* lines[4];
    QPushButton *command1, *command2, *command3;
};

} // namespace papyra
