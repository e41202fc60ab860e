#include "ARRepCommon.h"

#include <QMap>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>

bool TextEquals(const QString& a, const QString& b) { return ar::EqualsIgnoringCase(a, b); }

// ---- named lists ----

namespace {
struct LiveRegistry {
    QSet<const TAINamedList*> lists[2];
};
// Never destroyed: a list kept in a static of its own (a form cached for
// the run) is destroyed at exit, possibly after a registry made later
// than its holder would have gone.
LiveRegistry& registry()
{
    static LiveRegistry* r = new LiveRegistry;
    return *r;
}
} // namespace

TAINamedList::TAINamedList(Kind kind, QString debugName) : kind_(kind), debugName_(std::move(debugName))
{
    registry().lists[kind_].insert(this);
}

TAINamedList::~TAINamedList() { registry().lists[kind_].remove(this); }

int TAINamedList::LiveCount(Kind kind) { return int(registry().lists[kind].size()); }

QStringList TAINamedList::LiveNames(Kind kind)
{
    QStringList names;
    for (const TAINamedList* l : registry().lists[kind])
        names << l->DebugName();
    names.sort();
    return names;
}

int TAIStringList::Add(const QString& s, qint64 object)
{
    if (!sorted_) {
        strings_ << s;
        objects_.push_back(object);
        return int(strings_.size()) - 1;
    }
    // Sorted lists ignore duplicates (compared without regard to case).
    int lo = 0, hi = int(strings_.size());
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        const int c = QString::localeAwareCompare(strings_[mid].toUpper(), s.toUpper());
        if (c == 0 && TextEquals(strings_[mid], s))
            return mid;
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    for (int i = 0; i < strings_.size(); ++i)
        if (TextEquals(strings_[i], s))
            return i;
    strings_.insert(lo, s);
    objects_.insert(objects_.begin() + lo, object);
    return lo;
}

void TAIStringList::Clear()
{
    strings_.clear();
    objects_.clear();
}

int TAIStringList::IndexOf(const QString& s) const
{
    for (int i = 0; i < strings_.size(); ++i)
        if (sorted_ ? TextEquals(strings_[i], s) : strings_[i] == s)
            return i;
    return -1;
}

QString TAIStringList::CommaText() const { return ar::ToCommaText(strings_); }

void TAIStringList::SetCommaText(const QString& text)
{
    Clear();
    for (const QString& s : ar::FromCommaText(text))
        Add(s);
}

namespace ar {

QString ToCommaText(const QStringList& items)
{
    if (items.size() == 1 && items[0].isEmpty())
        return QStringLiteral("\"\"");
    QStringList out;
    for (const QString& s : items) {
        // Empty items are quoted too: a trailing empty item would otherwise
        // be lost on reading.
        bool quote = s.isEmpty();
        for (QChar c : s)
            if (c.unicode() <= 32 || c == u'"' || c == u',')
                quote = true;
        if (quote) {
            QString q = s;
            q.replace(u'"', QStringLiteral("\"\""));
            out << u'"' + q + u'"';
        } else {
            out << s;
        }
    }
    return out.join(u',');
}

QStringList FromCommaText(const QString& text)
{
    QStringList items;
    const int n = int(text.size());
    int p = 0;
    auto blank = [&](int i) { return i < n && text[i].unicode() >= 1 && text[i].unicode() <= 32; };
    while (blank(p))
        ++p;
    while (p < n && text[p].unicode() != 0) {
        QString s;
        if (text[p] == u'"') {
            ++p;
            while (p < n) {
                if (text[p] == u'"') {
                    if (p + 1 < n && text[p + 1] == u'"') {
                        s += u'"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                s += text[p++];
            }
        } else {
            const int p1 = p;
            while (p < n && text[p].unicode() > 32 && text[p] != u',')
                ++p;
            s = text.mid(p1, p - p1);
        }
        items << s;
        while (blank(p))
            ++p;
        if (p < n && text[p] == u',') {
            do
                ++p;
            while (blank(p));
        }
    }
    return items;
}

int ReadNumber(const QString& text, int* stop)
{
    const int n = int(text.size());
    int p = 0;
    while (p < n && text[p] == u' ')
        ++p;
    bool neg = false;
    bool hex = false;
    if (p < n && (text[p] == u'-' || text[p] == u'+')) {
        neg = text[p] == u'-';
        ++p;
    } else if (p < n && text[p] == u'$') {
        hex = true;
        ++p;
    } else if (p < n && (text[p] == u'x' || text[p] == u'X')) {
        hex = true;
        ++p;
    } else if (p + 1 < n && text[p] == u'0' && (text[p + 1] == u'x' || text[p + 1] == u'X')) {
        hex = true;
        p += 2;
    }
    qint64 v = 0;
    if (hex) {
        quint32 h = 0;
        while (p < n) {
            const int d = QChar(text[p]).isDigit() && text[p].unicode() < 128 ? text[p].unicode() - '0'
                          : (text[p] >= u'a' && text[p] <= u'f') ? text[p].unicode() - 'a' + 10
                          : (text[p] >= u'A' && text[p] <= u'F') ? text[p].unicode() - 'A' + 10
                                                                  : -1;
            if (d < 0)
                break;
            h = (h << 4) | quint32(d); // wraps as the platform's Val does
            ++p;
        }
        v = qint32(h);
    } else {
        while (p < n && text[p] >= u'0' && text[p] <= u'9') {
            if (v <= qint64(1) << 33)
                v = v * 10 + (text[p].unicode() - '0');
            ++p;
        }
        if (neg)
            v = -v;
        v = std::clamp<qint64>(v, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    }
    if (stop)
        *stop = p;
    return int(v);
}

namespace {
// Code page 1252 for 0x80..0x9F; the rest of the page equals Latin-1.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decode1252(const QByteArray& b)
{
    QString s;
    s.reserve(b.size());
    for (char ch : b) {
        const uchar c = uchar(ch);
        s += (c >= 0x80 && c < 0xA0) ? QChar(kCp1252High[c - 0x80]) : QChar(c);
    }
    return s;
}

bool encode1252(const QString& s, QByteArray& out)
{
    out.clear();
    out.reserve(s.size());
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out += char(u);
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i)
            if (kCp1252High[i] == u)
                found = i;
        if (found < 0)
            return false;
        out += char(0x80 + found);
    }
    return true;
}
} // namespace

QStringList SplitTextLines(const QString& text)
{
    // As a string list takes text: CR, LF or CR LF end a line, and a final
    // line break adds no empty line.
    QStringList lines;
    const int n = int(text.size());
    int start = 0;
    for (int i = 0; i < n; ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            lines << text.mid(start, i - start);
            if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

QStringList DecodeTemplateLines(const QByteArray& bytes)
{
    QString text;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = utf8.decode(bytes); // skips a leading byte-order mark
    if (utf8.hasError())
        text = decode1252(bytes);
    return SplitTextLines(text);
}

QByteArray EncodeTemplateLines(const QStringList& lines)
{
    QString text;
    for (const QString& l : lines)
        text += l + QStringLiteral("\r\n");
    QByteArray out;
    // Code page 1252 unless a character does not fit, or the single bytes
    // would read back as UTF-8 (the reader tries UTF-8 first).
    if (!text.startsWith(QChar(0xFEFF)) && encode1252(text, out)) {
        bool ascii = true;
        for (char c : out)
            ascii = ascii && uchar(c) < 0x80;
        if (ascii)
            return out;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString check = utf8.decode(out);
        if (utf8.hasError())
            return out;
    }
    // A text that starts with a byte-order mark keeps it behind the one the
    // reader removes.
    if (text.startsWith(QChar(0xFEFF)))
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    return text.toUtf8();
}

QString TrimLeft(const QString& s)
{
    int i = 0;
    while (i < s.size() && s[i].unicode() <= 32)
        ++i;
    return s.mid(i);
}

void SplitLine(const QString& line, QString& key, QString& value, bool& hasValue)
{
    const int eq = int(line.indexOf(u'='));
    hasValue = eq >= 0;
    if (hasValue) {
        key = TrimLeft(line.left(eq));
        value = line.mid(eq + 1);
    } else {
        key = TrimLeft(line);
        value.clear();
    }
}

} // namespace ar

// ---- page sizes ----

namespace {
const TARPageSize::Row kRows[TARPageSize::RowCount] = {
    {"------", 0, 0, 0}, {"Letter", 1, 216, 279}, {"Letter Small", 2, 216, 279}, {"Tabloid", 3, 279, 432},
    {"Ledger", 4, 432, 279}, {"Legal", 5, 216, 356}, {"Statement", 6, 140, 216}, {"Executive", 7, 184, 267},
    {"A3", 8, 297, 420}, {"A4", 9, 210, 297}, {"A4 Small", 10, 210, 297}, {"A5", 11, 148, 210},
    {"B4 (JIS)", 12, 257, 364}, {"B5 (JIS)", 13, 182, 257}, {"Folio", 14, 216, 330}, {"Quarto", 15, 215, 275},
    {"10x14", 16, 254, 356}, {"11x17", 17, 279, 432}, {"Note", 18, 216, 279}, {"Envelope #9", 19, 98, 225},
    {"Envelope #10", 20, 105, 241}, {"Envelope #11", 21, 114, 263}, {"Envelope #12", 22, 121, 279},
    {"Envelope #14", 23, 127, 292}, {"CSheet", 24, 432, 559}, {"DSheet", 25, 559, 864},
    {"ESheet", 26, 864, 1118}, {"Envelope DL", 27, 110, 220}, {"Envelope C5", 28, 162, 229},
    {"Envelope C3", 29, 324, 458}, {"Envelope C4", 30, 229, 324}, {"Envelope C6", 31, 114, 162},
    {"Envelope C65", 32, 114, 229}, {"Envelope B4", 33, 250, 353}, {"Envelope B5", 34, 176, 250},
    {"Envelope B6", 35, 176, 125}, {"Envelope", 36, 110, 230}, {"Envelope Monarch", 37, 98, 190},
    {"Envelope personal", 38, 92, 165}, {"US Std Fanfold", 39, 378, 279}, {"German Std Fanfold", 40, 216, 305},
    {"German Legal Fanfold", 41, 216, 330}, {"B4 (ISO)", 42, 250, 353}, {"Japanese Postcard", 43, 100, 148},
    {"9 x 11", 44, 229, 279}, {"10 x 11", 45, 254, 279}, {"15 x 11", 46, 381, 279},
    {"Envelope Invite", 47, 220, 220}, {"RESERVED--DO NOT USE", 48, 0, 0}, {"RESERVED--DO NOT USE", 49, 0, 0},
    {"Letter Extra 9", 50, 241, 305}, {"Legal Extra 9", 51, 241, 381}, {"Tabloid Extra", 52, 305, 457},
    {"A4 Extra", 53, 235, 322}, {"Letter Transverse", 54, 216, 279}, {"A4 Transverse", 55, 210, 297},
    {"Letter Extra Transverse", 56, 241, 305}, {"SuperASuperAA4", 57, 227, 356},
    {"SuperBSuperBA3", 58, 305, 487}, {"Letter Plus", 59, 216, 322}, {"A4 Plus", 60, 210, 330},
    {"A5 Transverse", 61, 148, 210}, {"B5 (JIS) Transverse", 62, 182, 257}, {"A3 Extra", 63, 322, 445},
    {"A5 Extra", 64, 174, 235}, {"B5 (ISO) Extra", 65, 201, 276}, {"A2", 66, 420, 594}, {"A3", 67, 297, 420},
    {"A3 Extra Transverse", 68, 322, 445}, {"A0", -1, 841, 1189}, {"A1", -1, 594, 841}, {"A6", -1, 105, 148},
    {"A7", -1, 74, 105}, {"A8", -1, 52, 74}, {"A9", -1, 37, 52}, {"B0", -1, 1030, 1456}, {"B1", -1, 728, 1030},
    {"B10", -1, 32, 45}, {"B2", -1, 515, 728}, {"B3", -1, 364, 515}, {"B6", -1, 128, 182}, {"B7", -1, 91, 128},
    {"B8", -1, 64, 91}, {"B9", -1, 45, 64},
};
} // namespace

const TARPageSize::Row& TARPageSize::TableRow(int i) { return kRows[i]; }

const TAIStringList& TARPageSize::PageNames()
{
    static TAIStringList* names = [] {
        auto* l = new TAIStringList(QStringLiteral("TARPageSize.PageNames"));
        l->SetSorted(true);
        for (int i = 0; i < RowCount; ++i)
            l->Add(QString::fromLatin1(kRows[i].name), i);
        return l;
    }();
    return *names;
}

void TARPageSize::SetName(const QString& name)
{
    name_ = name;
    const TAIStringList& names = PageNames();
    const int idx = names.IndexOf(name);
    if (idx >= 0) {
        rowIndex_ = int(names.Object(idx));
        const Row& r = kRows[rowIndex_];
        width_ = r.widthMM * 10.0;
        height_ = r.heightMM * 10.0;
        paperSize_ = r.code;
    } else {
        rowIndex_ = 0;
        width_ = 0;
        height_ = 0;
        name_ = QStringLiteral("------");
    }
}

void TARPageSize::SetWidth(double w)
{
    width_ = w;
    MatchSize();
}

void TARPageSize::SetHeight(double h)
{
    height_ = h;
    MatchSize();
}

void TARPageSize::MatchSize()
{
    for (int i = 0; i < RowCount; ++i) {
        if (width_ == kRows[i].widthMM * 10.0 && height_ == kRows[i].heightMM * 10.0) {
            name_ = QString::fromLatin1(kRows[i].name);
            paperSize_ = kRows[i].code;
            rowIndex_ = i;
            return;
        }
    }
    name_ = QStringLiteral("------");
    paperSize_ = 0;
    rowIndex_ = 0;
}

void TARPageSize::SetPaperSize(int code)
{
    for (int i = 0; i < RowCount; ++i)
        if (kRows[i].code == code) {
            SetName(QString::fromLatin1(kRows[i].name));
            return;
        }
}

void TARPageSize::Assign(const TARPageSize& source)
{
    if (&source == this)
        return;
    SetName(source.Name());
    if (rowIndex_ == 0) {
        SetWidth(source.Width());
        SetHeight(source.Height());
    }
}

static qint64 roundHalfEven(double x)
{
    return qint64(std::nearbyint(x)); // default rounding mode: half to even
}

QStringList TARPageSize::ARTemplate() const
{
    return {QStringLiteral("PAGESIZE"), QStringLiteral("  NAME=") + name_,
            QStringLiteral("  WIDTH=%1").arg(roundHalfEven(width_)),
            QStringLiteral("  HEIGHT=%1").arg(roundHalfEven(height_)), QStringLiteral("ENDPAGESIZE")};
}

void TARPageSize::SetARTemplate(const QStringList& lines)
{
    if (lines.isEmpty() || ar::TrimLeft(lines[0]) != QLatin1String("PAGESIZE"))
        return;
    SetName(QString());
    SetWidth(0);
    SetHeight(0);
    for (int i = 1; i < lines.size(); ++i) {
        QString key, value;
        bool has;
        ar::SplitLine(lines[i], key, value, has);
        const int number = has ? ar::ReadNumber(value) : -1;
        if (key == QLatin1String("NAME"))
            SetName(value);
        else if (key == QLatin1String("WIDTH"))
            SetWidth(number);
        else if (key == QLatin1String("HEIGHT"))
            SetHeight(number);
        else if (key == QLatin1String("ENDPAGESIZE"))
            break;
    }
}
