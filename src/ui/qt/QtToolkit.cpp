#include "ui/qt/QtToolkit.h"

#include "platform/qt/QtDialogs.h"
#include "ui/qt/QtForm1.h"
#include "ui/qt/QtForm2.h"

#include <QApplication>
#include <QEventLoop>

#include <algorithm>

namespace papyra {

QtToolkit::QtToolkit() : headless(&QtDialogs::Headless) {}

QtToolkit::~QtToolkit() = default;

bool QtToolkit::HasDisplay() {
    return !headless();
}

std::unique_ptr<Form1View> QtToolkit::CreateSetupWindow(Form1& form) {
    return std::make_unique<QtForm1>(form);
}

std::unique_ptr<Form2View> QtToolkit::CreateReviewWindow(Form2& form) {
    return std::make_unique<QtForm2>(form);
}

void QtToolkit::RunModal(Form1View& window) {
    auto& form1 = dynamic_cast<QtForm1&>(window);
    QEventLoop loop;
    QObject::connect(&form1, &QtForm1::Unloaded, &loop, [&loop] { loop.exit(); });
    loops.push_back(&loop);
    form1.show();
    form1.activateWindow();
    loop.exec(QEventLoop::DialogExec);
    loops.erase(std::find(loops.begin(), loops.end(), &loop));
}

void QtToolkit::RunEventLoop() {
    mainLoopRunning = true;
    QApplication::exec();
    mainLoopRunning = false;
}

void QtToolkit::LeaveAll() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible()) window->close();
    for (QEventLoop* loop : loops)
        loop->exit();
    if (mainLoopRunning) QCoreApplication::exit(0);
}

std::unique_ptr<Toolkit> MakeSystemToolkit() {
    return std::make_unique<QtToolkit>();
}

} // namespace papyra
