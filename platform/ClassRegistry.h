#pragma once
// Classes registered by name at start-up and found again by name without
// regard to case. What a name stands for is the registrant's choice (a
// factory, a descriptor); FindClass<T> hands it back as registered.

#include <QString>
#include <any>
#include <typeinfo>

#include "Errors.h"

namespace fc {

// Registers (or replaces) the entry under name.
void RegisterClassEntry(const QString& name, std::any entry);
// The entry under name, or nullptr when there is none.
const std::any* LookupClassEntry(const QString& name);
// Removes the entry; used by tests.
void UnregisterClass(const QString& name);

template <class T>
void RegisterClass(const QString& name, T entry)
{
    RegisterClassEntry(name, std::any(std::move(entry)));
}

// The entry registered under name as a T; "Class %s not found" when the
// name is unknown or was registered as something else.
template <class T>
const T& FindClass(const QString& name)
{
    const std::any* a = LookupClassEntry(name);
    if (a) {
        if (const T* t = std::any_cast<T>(a))
            return *t;
    }
    throw EClassNotFound(name);
}

template <class T>
const T* GetClass(const QString& name)
{
    const std::any* a = LookupClassEntry(name);
    return a ? std::any_cast<T>(a) : nullptr;
}

} // namespace fc
