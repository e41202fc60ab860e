#include "ClassRegistry.h"

#include <map>

namespace fc {

namespace {
std::map<QString, std::any>& registry()
{
    static std::map<QString, std::any> r;
    return r;
}
QString key(const QString& name) { return name.toCaseFolded(); }
} // namespace

void RegisterClassEntry(const QString& name, std::any entry) { registry()[key(name)] = std::move(entry); }

const std::any* LookupClassEntry(const QString& name)
{
    auto it = registry().find(key(name));
    return it == registry().end() ? nullptr : &it->second;
}

void UnregisterClass(const QString& name) { registry().erase(key(name)); }

} // namespace fc
