#pragma once
// Components by name, as forms own them: every named Qt object below an
// owner (widgets, layouts' widgets, actions of menus) in creation order.
// The application object owns the forms.

#include <QList>
#include <QObject>
#include <QString>

namespace fc {

// Makes a form (or any object) a component of the application object, in
// the order of the calls. Forms with no parent widget are components of the
// application object anyway; registering fixes their order and also lets
// windows that have a parent widget be reached by their name.
void AddApplicationComponent(QObject* component);
void RemoveApplicationComponent(QObject* component);

// The named components owned by owner, in creation order. For the
// application object: the registered components, then the other top-level
// widgets without a parent and the application's named children. For any
// other object: its named descendants, depth first in creation order, with
// the actions added to its menus; a separate window below the owner counts
// as one of its components, but what that window holds belongs to it.
// Qt's own helper objects ("qt_..." names, a tab bar's buttons) are no
// components.
QList<QObject*> OwnedComponents(QObject* owner);

// The first of OwnedComponents(owner) whose objectName equals name without
// regard to case, or nullptr (also when owner is nullptr).
QObject* FindComponent(QObject* owner, const QString& name);

} // namespace fc
