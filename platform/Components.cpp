#include "Components.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSet>
#include <QTabBar>
#include <QWidget>

namespace fc {

namespace {

QList<QPointer<QObject>>& registered()
{
    static QList<QPointer<QObject>> list;
    return list;
}

// Qt names the helpers inside its own widgets "qt_...", "_q_..." and
// "_layout" (the main window's layout).
bool isComponent(const QObject* o)
{
    const QString n = o->objectName();
    return !n.isEmpty() && !n.startsWith(QLatin1String("qt_")) && !n.startsWith(QLatin1String("_q_"))
        && n != QLatin1String("_layout");
}

// Everything below a tab bar is the tab bar's own (its scroll buttons).
bool isInternalContainer(const QObject* o) { return qobject_cast<const QTabBar*>(o) != nullptr; }

// A window of its own below the owner (a dialog parented to a form): its
// content is not the owner's. Menus are windows too but belong to the form.
bool isSeparateWindow(const QObject* o)
{
    const auto* w = qobject_cast<const QWidget*>(o);
    return w && w->isWindow() && !qobject_cast<const QMenu*>(w);
}

void collect(QObject* o, QList<QObject*>& out, QSet<QObject*>& seen)
{
    for (QObject* child : o->children()) {
        if (seen.contains(child))
            continue;
        seen.insert(child);
        if (isComponent(child))
            out.append(child);
        if (!isSeparateWindow(child) && !isInternalContainer(child))
            collect(child, out, seen);
    }
    // Actions added to a menu (or a menu bar) may belong to no one below.
    if (qobject_cast<QMenu*>(o) || qobject_cast<QMenuBar*>(o)) {
        for (QAction* a : static_cast<QWidget*>(o)->actions()) {
            if (seen.contains(a))
                continue;
            seen.insert(a);
            if (isComponent(a))
                out.append(a);
        }
    }
}

} // namespace

void AddApplicationComponent(QObject* component)
{
    if (!component)
        return;
    auto& list = registered();
    list.removeIf([](const QPointer<QObject>& p) { return p.isNull(); });
    for (const auto& p : list)
        if (p == component)
            return;
    list.append(component);
}

void RemoveApplicationComponent(QObject* component)
{
    registered().removeIf([component](const QPointer<QObject>& p) { return p.isNull() || p == component; });
}

QList<QObject*> OwnedComponents(QObject* owner)
{
    QList<QObject*> out;
    if (!owner)
        return out;
    QSet<QObject*> seen;
    if (owner == QCoreApplication::instance()) {
        for (const auto& p : registered())
            if (p && isComponent(p) && !seen.contains(p)) {
                seen.insert(p);
                out.append(p);
            }
        if (qobject_cast<QApplication*>(owner)) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (!w->parentWidget() && isComponent(w) && !seen.contains(w)) {
                    seen.insert(w);
                    out.append(w);
                }
        }
        for (QObject* child : owner->children())
            if (isComponent(child) && !seen.contains(child)) {
                seen.insert(child);
                out.append(child);
            }
        return out;
    }
    collect(owner, out, seen);
    return out;
}

QObject* FindComponent(QObject* owner, const QString& name)
{
    if (!owner)
        return nullptr;
    for (QObject* o : OwnedComponents(owner))
        if (o->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return o;
    return nullptr;
}

} // namespace fc
