#include "FileAssociations.h"

QString RecordingFileAssociations::norm(const QString& key)
{
    QString k = key.toUpper();
    k.replace(u'/', u'\\');
    if (!k.startsWith(u'\\'))
        k.prepend(u'\\');
    while (k.size() > 1 && k.endsWith(u'\\'))
        k.chop(1);
    return k;
}

bool RecordingFileAssociations::KeyExists(const QString& key) const { return keys_.contains(norm(key)); }

void RecordingFileAssociations::CreateKey(const QString& key)
{
    log_ << QStringLiteral("create ") + key;
    const QString n = norm(key);
    // Parents exist whenever a child does.
    for (int i = 1; i <= n.size(); ++i) {
        if (i == n.size() || n[i] == u'\\') {
            const QString part = n.left(i);
            if (!keys_.contains(part)) {
                keys_.insert(part, QString());
                names_.insert(part, key.left(i));
            }
        }
    }
}

void RecordingFileAssociations::SetDefaultValue(const QString& key, const QString& value)
{
    log_ << QStringLiteral("set %1=%2").arg(key, value);
    const QStringList before = log_;
    CreateKey(key);
    log_ = before;
    keys_[norm(key)] = value;
}

void RecordingFileAssociations::DeleteKey(const QString& key)
{
    log_ << QStringLiteral("delete ") + key;
    const QString n = norm(key);
    for (auto it = keys_.begin(); it != keys_.end();) {
        if (it.key() == n || it.key().startsWith(n + u'\\')) {
            names_.remove(it.key());
            it = keys_.erase(it);
        } else {
            ++it;
        }
    }
}

QString RecordingFileAssociations::DefaultValue(const QString& key) const { return keys_.value(norm(key)); }

QStringList RecordingFileAssociations::Keys() const { return names_.values(); }

namespace fc {
namespace {
IFileAssociations* g_service = nullptr;
}

IFileAssociations& FileAssociations()
{
    static RecordingFileAssociations fallback;
    return g_service ? *g_service : fallback;
}

void SetFileAssociations(IFileAssociations* service) { g_service = service; }
} // namespace fc
