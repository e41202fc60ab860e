#include "Lang.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "platform/Components.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/Numbers.h"
#include "platform/PublishedProperties.h"

namespace {

// Trim as the component always did: every control character and blank.
QString trimText(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b].unicode() <= 0x20)
        ++b;
    while (e > b && s[e - 1].unicode() <= 0x20)
        --e;
    return s.mid(b, e - b);
}

} // namespace

struct TLanguage::Cache {
    QString fileName;
    bool exists = false;
    qint64 size = -1;
    QDateTime modified, changed;
    std::unique_ptr<fc::IniFile> ini;
};

TLanguage::TLanguage(QObject* owner)
    : QObject(owner), cache_(std::make_unique<Cache>())
{
}

TLanguage::~TLanguage() = default;

void TLanguage::SetSeparator(const QString& separator)
{
    separator_ = trimText(separator).isEmpty() ? QStringLiteral(",") : separator;
}

const fc::IniFile& TLanguage::file()
{
    // One stat per call instead of one parse: the answers are those of
    // reading the file every time.
    const QFileInfo info(languageFile_);
    const bool exists = info.isFile();
    const qint64 size = exists ? info.size() : -1;
    const QDateTime modified = exists ? info.lastModified() : QDateTime();
    const QDateTime changed = exists ? info.metadataChangeTime() : QDateTime();
    Cache& c = *cache_;
    if (!c.ini || c.fileName != languageFile_ || c.exists != exists || c.size != size || c.modified != modified
        || c.changed != changed) {
        c.ini = std::make_unique<fc::IniFile>(languageFile_, fc::IniTextMode::LanguageFile);
        c.fileName = languageFile_;
        c.exists = exists;
        c.size = size;
        c.modified = modified;
        c.changed = changed;
    }
    return *c.ini;
}

void TLanguage::Translate()
{
    if (OnBeforeTranslation)
        OnBeforeTranslation(this);
    const fc::IniFile& ini = file();
    const qsizetype count = properties_.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (i >= properties_.size()) // a handler shortened the list
            throw EListError::IndexOutOfBounds(int(i));
        const QString line = properties_[i];
        if (trimText(line).isEmpty())
            continue;
        TranslateProperty(line, ini.ReadString(QStringLiteral("Translations"), line, QString()));
    }
    if (OnAfterTranslation)
        OnAfterTranslation(this);
}

void TLanguage::TranslateProperty(const QString& path, const QString& value)
{
    QString rest = trimText(path);
    if (rest.isEmpty())
        return;
    QObject* current = QCoreApplication::instance();
    qsizetype dot;
    while ((dot = rest.indexOf(u'.')) >= 0) {
        const QString segment = trimText(rest.left(dot));
        rest = trimText(rest.mid(dot + 1));
        current = current ? fc::FindComponent(current, segment) : nullptr;
    }
    const QString propertyName = rest;
    if (!current || value.isEmpty())
        return;

    const auto property = fc::FindPublishedProperty(current, propertyName);
    QString newValue = value;
    if (OnTranslate) {
        const QString oldValue =
            property && property->kind == fc::PropertyKind::String ? property->getString(current) : QString();
        OnTranslate(this, current, propertyName, oldValue, newValue);
    }
    if (!property)
        return;
    switch (property->kind) {
    case fc::PropertyKind::String:
        property->setString(current, newValue);
        break;
    case fc::PropertyKind::Integer:
        property->setInteger(current, fc::StrToInt(newValue));
        break;
    case fc::PropertyKind::StringList:
        property->setList(current, SplitList(newValue, separator_));
        break;
    }
}

QStringList TLanguage::SplitList(const QString& text, const QString& separator)
{
    QStringList items;
    QString rest = text;
    if (!separator.isEmpty()) {
        qsizetype p;
        while ((p = rest.indexOf(separator)) >= 0) {
            items.append(trimText(rest.left(p)));
            rest = rest.mid(p + separator.size());
        }
    }
    const QString last = trimText(rest);
    if (!last.isEmpty())
        items.append(last);
    return items;
}

QString TLanguage::Msg(const QString& text)
{
    if (text.isEmpty())
        return text;
    return file().ReadString(QStringLiteral("Messages"), text, text);
}
