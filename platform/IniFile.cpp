#include "IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "AtomicFile.h"

#include "Errors.h"
#include "Numbers.h"
#include "TextEncoding.h"

namespace fc {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }
bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f'; }

// [b, e) without the blanks at both ends.
void trimSpan(const char* s, qsizetype& b, qsizetype& e)
{
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
}

// The blanks of the byte level, nothing more: a no-break space stays.
QString trimBlanks(const QString& t)
{
    qsizetype b = 0, e = t.size();
    while (b < e && isBlank(t[b]))
        ++b;
    while (e > b && isBlank(t[e - 1]))
        --e;
    return (b == 0 && e == t.size()) ? t : t.mid(b, e - b);
}

QString cutValue(QString v)
{
    if (v.size() > IniDocument::MaxValueLength) {
        qsizetype n = IniDocument::MaxValueLength;
        if (v.at(n - 1).isHighSurrogate() && v.at(n).isLowSurrogate())
            --n; // never half a character
        v.truncate(n);
    }
    return v;
}

} // namespace

IniDocument::IniDocument(QByteArray bytes, IniTextMode mode)
    : bytes_(std::move(bytes)), mode_(mode)
{
    parse();
}

QString IniDocument::foldKey(const QString& section, const QString& key)
{
    // Length first, so that no section and key pair reads as another.
    const QString s = trimBlanks(section).toCaseFolded();
    return QString::number(s.size()) + u':' + s + trimBlanks(key).toCaseFolded();
}

void IniDocument::parse()
{
    lines_.clear();
    sections_.clear();
    entries_.clear();
    sectionIndex_.clear();
    entryIndex_.clear();

    const char* s = bytes_.constData();
    const qsizetype n = bytes_.size();
    const bool bom = HasUtf8Bom(bytes_);
    utf8_ = bom || IsValidUtf8(bytes_);

    // Lines end at CR LF, LF or a lone CR.
    for (qsizetype i = 0; i < n;) {
        Line line;
        line.start = i;
        qsizetype j = i;
        while (j < n && s[j] != '\n' && s[j] != '\r')
            ++j;
        line.length = j - i;
        if (j < n)
            line.eolLength = (s[j] == '\r' && j + 1 < n && s[j + 1] == '\n') ? 2 : 1;
        lines_.append(line);
        i = j + line.eolLength;
    }

    auto name = [&](qsizetype b, qsizetype e) {
        const QByteArrayView v(s + b, e - b);
        return utf8_ ? QString::fromUtf8(v) : DecodeCodePage(v, 1252);
    };

    struct RawValue {
        qsizetype begin, end;
    };
    QList<RawValue> raw;
    int current = -1;
    for (int li = 0; li < lines_.size(); ++li) {
        const Line& line = lines_[li];
        qsizetype b = line.start, e = line.start + line.length;
        if (li == 0 && bom)
            b += 3;
        trimSpan(s, b, e);
        if (b == e || s[b] == ';')
            continue;
        if (s[b] == '[') {
            qsizetype nb = b + 1, ne = nb;
            while (ne < e && s[ne] != ']')
                ++ne;
            trimSpan(s, nb, ne);
            Section sec;
            sec.name = name(nb, ne);
            sec.headerLine = li;
            current = int(sections_.size());
            sections_.append(sec);
            continue;
        }
        if (current < 0)
            continue; // before any section: belongs to none
        qsizetype eq = b;
        while (eq < e && s[eq] != '=')
            ++eq;
        if (eq == e)
            continue;
        qsizetype kb = b, ke = eq;
        trimSpan(s, kb, ke);
        if (kb == ke)
            continue;
        qsizetype vb = eq + 1, ve = e;
        trimSpan(s, vb, ve);
        Entry entry;
        entry.line = li;
        entry.section = current;
        entry.key = name(kb, ke);
        entry.valueOffset = vb - line.start;
        if (ve - vb >= 2 && (s[vb] == '"' || s[vb] == '\'') && s[ve - 1] == s[vb]) {
            ++vb;
            --ve;
        }
        raw.append({vb, ve});
        sections_[current].lastEntryLine = li;
        entries_.append(entry);
    }

    // First occurrences win, for sections and keys alike.
    sectionIndex_.clear();
    for (int i = 0; i < sections_.size(); ++i) {
        const QString f = sections_[i].name.toCaseFolded();
        if (!sectionIndex_.contains(f))
            sectionIndex_.insert(f, i);
    }
    for (int i = 0; i < entries_.size(); ++i) {
        const QString f = foldKey(sections_[entries_[i].section].name, entries_[i].key);
        if (!entryIndex_.contains(f))
            entryIndex_.insert(f, i);
    }

    // The character set decides how the values read, so it comes first.
    charset_ = 0;
    codePage_ = 1252;
    if (mode_ == IniTextMode::LanguageFile) {
        const int i = entryIndex_.value(foldKey(QStringLiteral("Charset"), QStringLiteral("Font.Charset")), -1);
        if (i >= 0) {
            const QString text = name(raw[i].begin, raw[i].end);
            int v = 0;
            charset_ = TryStrToInt(text, v) ? v : 0;
        }
        codePage_ = CodePageForCharset(quint8(charset_));
    }
    for (int i = 0; i < entries_.size(); ++i) {
        const QByteArrayView v(s + raw[i].begin, raw[i].end - raw[i].begin);
        entries_[i].value = cutValue(utf8_ ? QString::fromUtf8(v) : DecodeCodePage(v, codePage_));
    }
}

const IniDocument::Entry* IniDocument::find(const QString& section, const QString& key) const
{
    const int i = entryIndex_.value(foldKey(section, key), -1);
    return i < 0 ? nullptr : &entries_[i];
}

QString IniDocument::ReadString(const QString& section, const QString& key, const QString& def) const
{
    const Entry* e = find(section, key);
    return e ? e->value : def;
}

bool IniDocument::SectionExists(const QString& section) const
{
    return sectionIndex_.contains(trimBlanks(section).toCaseFolded());
}

bool IniDocument::ValueExists(const QString& section, const QString& key) const
{
    return find(section, key) != nullptr;
}

QStringList IniDocument::Sections() const
{
    QStringList out;
    for (int i = 0; i < sections_.size(); ++i)
        if (sectionIndex_.value(sections_[i].name.toCaseFolded()) == i)
            out.append(sections_[i].name);
    return out;
}

QStringList IniDocument::Keys(const QString& section) const
{
    QStringList out;
    const QString folded = trimBlanks(section).toCaseFolded();
    for (int i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        if (sections_[e.section].name.toCaseFolded() == folded
            && entryIndex_.value(foldKey(section, e.key)) == i)
            out.append(e.key);
    }
    return out;
}

QString IniDocument::WriteProblem(const QString& section, const QString& key, const QString& value)
{
    auto hasBreak = [](const QString& t) { return t.contains(u'\n') || t.contains(u'\r'); };
    const QString sec = trimBlanks(section), k = trimBlanks(key);
    if (sec.isEmpty())
        return QStringLiteral("the section name is empty");
    if (hasBreak(sec) || sec.contains(u']'))
        return QStringLiteral("the section name \"%1\" holds a line break or \"]\"").arg(sec);
    if (k.isEmpty())
        return QStringLiteral("the key name is empty");
    if (hasBreak(k) || k.contains(u'=') || k.startsWith(u';') || k.startsWith(u'['))
        return QStringLiteral("the key name \"%1\" cannot stand in an INI file").arg(k);
    if (hasBreak(value))
        return QStringLiteral("the value of \"%1\" holds a line break").arg(k);
    return QString();
}

QByteArray IniDocument::eol() const
{
    for (const Line& l : lines_)
        if (l.eolLength)
            return bytes_.mid(l.start + l.length, l.eolLength);
    return QByteArrayLiteral("\n");
}

QByteArray IniDocument::encodeName(const QString& text, bool& lossless) const
{
    if (utf8_) {
        lossless = true;
        return text.toUtf8();
    }
    return EncodeCodePage(text, 1252, &lossless);
}

QByteArray IniDocument::encodeValue(const QString& text, bool& lossless) const
{
    // Quoted when reading would otherwise lose blanks or a pair of quotes.
    QString t = text;
    if (!t.isEmpty()
        && (isBlank(t.front()) || isBlank(t.back())
            || (t.size() >= 2 && (t.front() == u'"' || t.front() == u'\'') && t.back() == t.front())))
        t = u'"' + t + u'"';
    if (utf8_) {
        lossless = true;
        return t.toUtf8();
    }
    return EncodeCodePage(t, codePage_, &lossless);
}

void IniDocument::SetString(const QString& section, const QString& key, const QString& value)
{
    const QString problem = WriteProblem(section, key, value);
    if (!problem.isEmpty())
        throw EFileError(QStringLiteral("Cannot write the key: %1").arg(problem));
    const QString sec = trimBlanks(section), k = trimBlanks(key);

    bool okSec = true, okKey = true, okValue = true;
    const QByteArray bSec = encodeName(sec, okSec);
    const QByteArray bKey = encodeName(k, okKey);
    const QByteArray bValue = encodeValue(value, okValue);
    if (!(okSec && okKey && okValue)) {
        if (codePage_ != 1252)
            throw EFileError(QStringLiteral("Cannot write \"%1\": not all of its text has a form in code page %2")
                                 .arg(k)
                                 .arg(codePage_));
        // Code page 1252 maps every byte, so the file moves to UTF-8 with
        // nothing lost, and the new text fits.
        bytes_ = DecodeCodePage(bytes_, 1252).toUtf8();
        parse();
        SetString(section, key, value);
        return;
    }

    const QByteArray nl = eol();
    QByteArray out;
    if (const Entry* e = find(sec, k)) {
        const Line& l = lines_[e->line];
        out = bytes_.left(l.start + e->valueOffset) + bValue + bytes_.mid(l.start + l.length);
    } else if (sectionIndex_.contains(sec.toCaseFolded())) {
        const Section& s = sections_[sectionIndex_.value(sec.toCaseFolded())];
        const Line& after = lines_[s.lastEntryLine >= 0 ? s.lastEntryLine : s.headerLine];
        const qsizetype pos = after.start + after.length + after.eolLength;
        out = bytes_.left(pos);
        if (after.eolLength == 0)
            out += nl;
        out += bKey + '=' + bValue + nl + bytes_.mid(pos);
    } else {
        out = bytes_;
        if (!lines_.isEmpty() && lines_.back().eolLength == 0 && lines_.back().length > 0)
            out += nl;
        out += '[' + bSec + ']' + nl + bKey + '=' + bValue + nl;
    }
    bytes_ = std::move(out);
    parse();
}

namespace {

// The whole file, unless it is not a plain file (a link to /dev/zero, a
// pipe: both endless) or larger than any settings or language file.
// Returns whether the file is there; problem says why it was not read.
bool readSettingsFile(const QString& fileName, QByteArray& bytes, QString& problem)
{
    bytes.clear();
    problem.clear();
    if (fileName.isEmpty())
        return false;
    const QFileInfo info(fileName);
    if (!info.exists())
        return false;
    auto refuse = [&](const QString& why) {
        problem = QStringLiteral("Cannot read \"%1\": %2").arg(QDir::toNativeSeparators(fileName), why);
        return true;
    };
    if (!info.isFile())
        return refuse(QStringLiteral("it is not a regular file"));
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return refuse(f.errorString());
    // Read one byte past the cap: the size on disk may change meanwhile.
    bytes = f.read(IniFile::MaxFileSize + 1);
    if (bytes.size() > IniFile::MaxFileSize) {
        bytes.clear();
        return refuse(QStringLiteral("it is larger than %1 bytes").arg(IniFile::MaxFileSize));
    }
    if (f.error() != QFileDevice::NoError) {
        bytes.clear();
        return refuse(f.errorString());
    }
    return true;
}

} // namespace

IniFile::IniFile(QString fileName, IniTextMode mode)
    : fileName_(std::move(fileName)), mode_(mode)
{
    QByteArray bytes;
    exists_ = readSettingsFile(fileName_, bytes, readProblem_) && readProblem_.isEmpty();
    doc_ = IniDocument(std::move(bytes), mode_);
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    WriteStrings({{section, key, value}});
}

void IniFile::WriteStrings(const QList<IniValue>& values)
{
    for (const IniValue& v : values) {
        const QString problem = IniDocument::WriteProblem(v.section, v.key, v.value);
        if (!problem.isEmpty())
            throw EFileError(SaveErrorText(fileName_, problem));
    }

    // What is on disk now counts, not what was read at construction; a
    // file that cannot be read is not written over.
    QByteArray current;
    QString problem;
    readSettingsFile(fileName_, current, problem);
    if (!problem.isEmpty())
        throw EFileError(problem);
    IniDocument doc(current, mode_);
    try {
        for (const IniValue& v : values)
            doc.SetString(v.section, v.key, v.value);
    } catch (const EFileError& e) {
        throw EFileError(SaveErrorText(fileName_, e.Message()));
    }
    // One replacement for the whole set: a failure or a kill part-way
    // leaves the old file, never a mix of the two.
    WriteFileAtomically(fileName_, doc.Bytes());
    exists_ = true;
    readProblem_.clear();
    doc_ = std::move(doc);
}

} // namespace fc
