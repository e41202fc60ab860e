// The start-up benchmark's reference: the plainest Qt program that shows a
// window with one label, an executable of its own, started as the program
// is started. It ends once its window is painted.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "ShownExit.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget w;
    w.resize(1060, 640);
    QLabel label(QStringLiteral("Fan coil with cabinet"), &w);
    w.show();
    fc::bench::exitWhenPainted(w);
}
