#include "Lang.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPointer>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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

namespace {

// What tells that a file changed: size, times and identity.
struct FileStamp {
    bool exists = false;
    qint64 size = -1, modified = 0, changed = 0, inode = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

FileStamp stampOf(const QString& path)
{
    FileStamp s;
#ifdef Q_OS_UNIX
    struct stat st;
    const QByteArray native = QFile::encodeName(path);
    if (!native.isEmpty() && ::stat(native.constData(), &st) == 0 && S_ISREG(st.st_mode)) {
        s.exists = true;
        s.size = st.st_size;
        s.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        s.changed = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
        s.inode = qint64(st.st_ino);
    }
#else
    const QFileInfo info(path);
    if (info.isFile()) {
        s.exists = true;
        s.size = info.size();
        s.modified = info.lastModified().toMSecsSinceEpoch();
        s.changed = info.metadataChangeTime().toMSecsSinceEpoch();
    }
#endif
    return s;
}

// Why a language file as read cannot serve, or empty: it could not be read,
// it is no text of single bytes or UTF-8 (NUL bytes, as UTF-16 has them),
// or it has none of a language file's sections.
QString problemOf(const fc::IniFile& ini)
{
    if (!ini.ReadProblem().isEmpty())
        return ini.ReadProblem();
    if (!ini.Exists())
        return {};
    auto refuse = [&](const QString& why) {
        return QStringLiteral("Cannot read \"%1\": %2").arg(QDir::toNativeSeparators(ini.FileName()), why);
    };
    if (ini.Document().Bytes().contains('\0'))
        return refuse(QStringLiteral("it is not a text file of single bytes or UTF-8 (it holds NUL bytes, as UTF-16 "
                                     "does)"));
    if (!ini.SectionExists(QStringLiteral("Translations")) && !ini.SectionExists(QStringLiteral("Messages")) &&
        !ini.SectionExists(QStringLiteral("Charset")))
        return refuse(QStringLiteral("it is not a language file (no [Translations], [Messages] or [Charset] section)"));
    return {};
}

} // namespace

QString TLanguage::ProblemOf(const QString& fileName)
{
    return problemOf(fc::IniFile(fileName, fc::IniTextMode::LanguageFile));
}

// The components of each owner that a translation has looked into, listed
// once per translation instead of once per path segment. Names are compared
// as they stand at each lookup; a component gone meanwhile is passed over.
struct TLanguage::ComponentLists {
    struct Owned {
        QPointer<QObject> owner;
        QList<QPointer<QObject>> components;
    };
    QHash<QObject*, Owned> lists;

    QObject* find(QObject* owner, const QString& name)
    {
        auto it = lists.find(owner);
        if (it == lists.end() || it->owner != owner) {
            Owned o{owner, {}};
            for (QObject* c : fc::OwnedComponents(owner))
                o.components.append(c);
            it = lists.insert(owner, std::move(o));
        }
        for (const QPointer<QObject>& c : it->components)
            if (c && c->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return c;
        return nullptr;
    }
};

struct TLanguage::Cache {
    QString fileName;
    FileStamp stamp;
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
    const FileStamp stamp = stampOf(languageFile_);
    Cache& c = *cache_;
    if (!c.ini || c.fileName != languageFile_ || !(c.stamp == stamp)) {
        c.ini = std::make_unique<fc::IniFile>(languageFile_, fc::IniTextMode::LanguageFile);
        c.fileName = languageFile_;
        c.stamp = stamp;
    }
    return *c.ini;
}

void TLanguage::Translate()
{
    if (OnBeforeTranslation)
        OnBeforeTranslation(this);
    const fc::IniFile& ini = file();
    // A file that cannot serve translates nothing, as a missing one; unlike
    // a missing one it is reported.
    const QString problem = problemOf(ini);
    ComponentLists components;
    const qsizetype count = problem.isEmpty() ? properties_.size() : 0;
    for (qsizetype i = 0; i < count; ++i) {
        if (i >= properties_.size()) // a handler shortened the list
            throw EListError::IndexOutOfBounds(int(i));
        const QString line = properties_[i];
        if (trimText(line).isEmpty())
            continue;
        translateProperty(line, ini.ReadString(QStringLiteral("Translations"), line, QString()), &components);
    }
    if (OnAfterTranslation)
        OnAfterTranslation(this);
    if (!problem.isEmpty())
        throw EFileError(problem);
}

void TLanguage::TranslateProperty(const QString& path, const QString& value)
{
    translateProperty(path, value, nullptr);
}

void TLanguage::translateProperty(const QString& path, const QString& value, ComponentLists* components)
{
    QString rest = trimText(path);
    if (rest.isEmpty())
        return;
    QObject* current = QCoreApplication::instance();
    qsizetype dot;
    while ((dot = rest.indexOf(u'.')) >= 0) {
        const QString segment = trimText(rest.left(dot));
        rest = trimText(rest.mid(dot + 1));
        if (current)
            current = components ? components->find(current, segment) : fc::FindComponent(current, segment);
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
    case fc::PropertyKind::StringList: {
        QStringList items = SplitList(newValue, separator_);
        // The choices of a group or list are the program's: a translation
        // renames them, it never adds or drops one.
        if (propertyName.compare(QLatin1String("Items"), Qt::CaseInsensitive) == 0 && property->getList) {
            QStringList choices = property->getList(current);
            for (qsizetype i = 0; i < choices.size() && i < items.size(); ++i)
                choices[i] = items[i];
            items = choices;
        }
        property->setList(current, items);
        break;
    }
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
