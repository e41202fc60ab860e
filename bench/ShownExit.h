#pragma once
// How the children of the start-up benchmark end: as soon as their window
// is on the screen and painted, with 0; after 20 s without, with 3.
#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <unistd.h>

namespace fc::bench {

class PaintSeen : public QObject {
public:
    bool seen = false;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            seen = true;
        return QObject::eventFilter(o, e);
    }
};

[[noreturn]] inline void exitWhenPainted(QWidget& w)
{
    PaintSeen paint;
    qApp->installEventFilter(&paint);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    auto shown = [&] { return w.windowHandle() && w.windowHandle()->isExposed() && paint.seen; };
    while (!shown() && std::chrono::steady_clock::now() < until)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    _exit(shown() ? 0 : 3);
}

} // namespace fc::bench
