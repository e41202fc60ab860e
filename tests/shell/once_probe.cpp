// Runs the single-instance guard as the program does, then shows a main
// window (with --modal also a modal dialog over it) and prints "ready".
// A second instance prints "second" and ends. End of input ends the probe
// normally, releasing the guard.
#include <QApplication>
#include <QDialog>
#include <QLoggingCategory>
#include <QMainWindow>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

#include "shell/once.h"

int main(int argc, char** argv)
{
    fc::PrepareRuntimeFolder();
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("fc.once.info=true"));
    if (!fc::CheckSingleInstance()) {
        std::printf("second\n");
        return 0;
    }
    QMainWindow main;
    main.setObjectName("mainWindow");
    main.setWindowTitle("probe main");
    main.show();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buf[64];
        if (::read(STDIN_FILENO, buf, sizeof buf) <= 0) {
            input.setEnabled(false);
            app.quit();
        }
    });
    auto ready = [] {
        std::printf("ready\n");
        std::fflush(stdout);
    };
    if (app.arguments().contains("--modal")) {
        QTimer::singleShot(0, [&] {
            QDialog dialog(&main);
            dialog.setObjectName("modalDialog");
            dialog.setWindowTitle("probe modal");
            dialog.setModal(true);
            QTimer::singleShot(0, ready);
            dialog.exec();
        });
    } else {
        QTimer::singleShot(0, ready);
    }
    const int rc = app.exec();
    fc::ReleaseInstanceMutex();
    return rc;
}
