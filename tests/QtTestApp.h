#pragma once
// One QApplication for the whole test binary, created on first use, on the offscreen platform
// unless the environment names another. It lives until the process exits.
#include <QApplication>

#include <cstdlib>

namespace papyra::test {

inline QApplication& TestApp() {
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "papyra_tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

} // namespace papyra::test
