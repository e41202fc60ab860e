#pragma once
// Published properties of components, read and written by name: an
// explicit table per widget class (Caption, Text, Hint, Items, Lines, ...)
// rather than Qt's own property names. Names compare without regard to
// case. Widget classes of the program add their own entries; an entry of a
// more derived class, or a later entry of the same class, wins.

#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace fc {

enum class PropertyKind { String, Integer, StringList };

struct PublishedProperty {
    QString name;
    PropertyKind kind = PropertyKind::String;
    // When set, the entry holds only for the objects it accepts (a group
    // box is a radio group only when it holds radio buttons).
    std::function<bool(const QObject*)> appliesTo;

    std::function<QString(const QObject*)> getString;
    std::function<void(QObject*, const QString&)> setString;
    std::function<int(const QObject*)> getInteger;
    std::function<void(QObject*, int)> setInteger;
    std::function<QStringList(const QObject*)> getList;
    std::function<void(QObject*, const QStringList&)> setList;
};

// Entries of each kind; applies may be empty (the entry holds for all).
PublishedProperty StringProperty(QString name, std::function<QString(const QObject*)> get,
                                 std::function<void(QObject*, const QString&)> set,
                                 std::function<bool(const QObject*)> applies = {});
PublishedProperty IntegerProperty(QString name, std::function<int(const QObject*)> get,
                                  std::function<void(QObject*, int)> set,
                                  std::function<bool(const QObject*)> applies = {});
PublishedProperty StringListProperty(QString name, std::function<QStringList(const QObject*)> get,
                                     std::function<void(QObject*, const QStringList&)> set,
                                     std::function<bool(const QObject*)> applies = {});

// Adds an entry for the objects of class cls and its subclasses.
void RegisterPublishedProperty(const QMetaObject& cls, PublishedProperty property);

template <class T>
void RegisterPublishedProperty(PublishedProperty property)
{
    RegisterPublishedProperty(T::staticMetaObject, std::move(property));
}

// The entry for obj's property of that name, or nullptr: no such property.
std::shared_ptr<const PublishedProperty> FindPublishedProperty(const QObject* obj, const QString& name);

// The names of obj's published properties, most derived class first.
QStringList PublishedPropertyNames(const QObject* obj);

// Typed access; nullopt / false when obj has no property of that name and kind.
std::optional<QString> GetStringProperty(const QObject* obj, const QString& name);
bool SetStringProperty(QObject* obj, const QString& name, const QString& value);
std::optional<int> GetIntegerProperty(const QObject* obj, const QString& name);
bool SetIntegerProperty(QObject* obj, const QString& name, int value);
std::optional<QStringList> GetStringListProperty(const QObject* obj, const QString& name);
bool SetStringListProperty(QObject* obj, const QString& name, const QStringList& value);

// Helpers for widget kinds that the shell builds from Qt widgets.
// A group box holding radio buttons is a radio group.
bool IsRadioGroup(const QObject* obj);
// A widget that is a page of a tab widget.
bool IsTabPage(const QObject* obj);

} // namespace fc
