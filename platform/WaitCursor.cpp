#include "WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace fc {

WaitCursor::WaitCursor() : on_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
{
    if (on_)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor()
{
    if (on_)
        QGuiApplication::restoreOverrideCursor();
}

} // namespace fc
