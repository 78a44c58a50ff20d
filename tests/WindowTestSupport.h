#pragma once
// Driving the real windows on the fakes: a world whose Program has the Qt forms, and the user's
// gestures (pick, type, click) as the widgets receive them.
#include "QtTestApp.h"
#include "fakes/FakePlatform.h"
#include "ui/Form1.h"
#include "ui/QtForms.h"
#include "ui/WindowHandler.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

namespace papyra::test {

struct WindowWorld {
    WindowWorld() {
        TestApp();
        forms.Attach(program);
        forms.SetHeadlessCheck([] { return false; });
        world.printers.items.clear();
        world.printers.Add("Office Laser", "LPT1:").paperBin = 1;
        fakes::FakePrinter& dotMatrix = world.printers.Add("Epson LQ", "LPT2:");
        dotMatrix.paperBin = 8;
        dotMatrix.driver = "Epson ESC/P";
        program.state.ProfilePath = "C:\\Papyra\\RNTME.INI";
    }

    fakes::FakePrinter& Printer(int index) { return *world.printers.items.at(index); }

    fakes::World world;
    QtForms forms;
    Program program{world.platform, forms, {}};
};

template <typename Control> Control* Find(QWidget& window, const char* name) {
    auto* control = window.findChild<Control*>(name);
    if (!control) throw std::runtime_error(std::string("no control ") + name);
    return control;
}

// A pick in the list, as the drop-down reports it (also of the entry already selected).
inline void Pick(QWidget& window, int position) {
    auto* combo = Find<QComboBox>(window, "Combo1");
    combo->setCurrentIndex(position);
    emit combo->activated(position);
}

// Keystrokes into the list's edit field.
inline void Type(QWidget& window, const QString& text) {
    QLineEdit* field = Find<QComboBox>(window, "Combo1")->lineEdit();
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(field, &press);
    }
}

inline void Click(QWidget& window, const char* name) {
    Find<QAbstractButton>(window, name)->click();
}

// Whether a window handler ended the program; the end is taken here, as a window's opener would.
inline bool HandlerEnded() {
    try {
        RethrowPendingEnd();
    } catch (const ProgramEnd&) {
        return true;
    }
    return false;
}

// Shows the setup window modally and lets user act on it from inside the modal loop. Returns
// whether the program ended.
template <typename User> bool RunSetupWindow(QtForms& forms, User user) {
    QTimer::singleShot(0, [&forms, user] {
        if (Form1* window = forms.SetupWindow()) user(*window);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&forms] {
        ADD_FAILURE() << "the setup window was never unloaded";
        if (Form1* window = forms.SetupWindow()) window->close();
    });
    watchdog.start(10000);
    try {
        forms.ShowSetupWindowModal();
    } catch (const ProgramEnd&) {
        return true;
    }
    return false;
}

} // namespace papyra::test
