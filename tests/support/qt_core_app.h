#pragma once
// One QCoreApplication per test executable, made on first use, so that
// timers, sockets and nested event loops work in headless tests.

#include <QCoreApplication>

inline void ensureQtCoreApp() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "corvanta_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}
