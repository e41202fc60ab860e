#pragma once
// Shared pieces of the report engine: named lists, the small helpers every
// unit uses, the template number reader, template text encoding and the
// page sizes.
#include <QString>
#include <QStringList>
#include <QByteArray>
#include <QtGlobal>
#include <functional>
#include <vector>

// A rectangle as the drawing code counts: Right and Bottom exclusive.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};
inline TRect Rect(int l, int t, int r, int b) { return TRect{l, t, r, b}; }

bool TextEquals(const QString& a, const QString& b);

namespace ar {
// QString::compare(a, b, Qt::CaseInsensitive) == 0, without its general
// machinery for the ASCII names and texts reports are made of: texts of
// different lengths never fold to equal, and ASCII letters fold by one bit.
inline bool EqualsIgnoringCase(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    const char16_t* p = a.utf16();
    const char16_t* q = b.utf16();
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = p[i], y = q[i];
        if (x == y)
            continue;
        if (x >= 0x80 || y >= 0x80) {
            // The rest by the general rule, from the whole character (a
            // surrogate pair folds as one).
            const qsizetype j = i > 0 && QChar::isLowSurrogate(x) ? i - 1 : i;
            return QStringView(p + j, a.size() - j).compare(QStringView(q + j, b.size() - j), Qt::CaseInsensitive) == 0;
        }
        const char16_t lx = (x >= u'A' && x <= u'Z') ? char16_t(x + 32) : x;
        const char16_t ly = (y >= u'A' && y <= u'Z') ? char16_t(y + 32) : y;
        if (lx != ly)
            return false;
    }
    return true;
}
} // namespace ar
inline int IntMax(int a, int b) { return a > b ? a : b; }
inline int IntMin(int a, int b) { return a < b ? a : b; }

// Every live named list is recorded per kind, for diagnostics only.
class TAINamedList {
public:
    enum Kind { kObjects, kStrings };
    TAINamedList(Kind kind, QString debugName);
    virtual ~TAINamedList();
    TAINamedList(const TAINamedList&) = delete;
    TAINamedList& operator=(const TAINamedList&) = delete;
    const QString& DebugName() const { return debugName_; }
    // Number of live lists of a kind and their names.
    static int LiveCount(Kind kind);
    static QStringList LiveNames(Kind kind);
private:
    Kind kind_;
    QString debugName_;
};

// A list of object references (not owning: the holder frees what it owns).
template <class T>
class TAIList : public TAINamedList {
public:
    explicit TAIList(const QString& debugName) : TAINamedList(kObjects, debugName) {}
    int Count() const { return int(items_.size()); }
    T* operator[](int i) const { return items_[size_t(i)]; }
    void Add(T* p) { items_.push_back(p); }
    void Insert(int i, T* p) { items_.insert(items_.begin() + i, p); }
    void Delete(int i) { items_.erase(items_.begin() + i); }
    int IndexOf(const T* p) const
    {
        for (size_t i = 0; i < items_.size(); ++i)
            if (items_[i] == p)
                return int(i);
        return -1;
    }
    void Clear() { items_.clear(); }
    typename std::vector<T*>::const_iterator begin() const { return items_.begin(); }
    typename std::vector<T*>::const_iterator end() const { return items_.end(); }
private:
    std::vector<T*> items_;
};

// A string list with an integer object per line, optionally sorted without
// regard to case and ignoring duplicates.
class TAIStringList : public TAINamedList {
public:
    explicit TAIStringList(const QString& debugName) : TAINamedList(kStrings, debugName) {}
    int Count() const { return int(strings_.size()); }
    const QString& operator[](int i) const { return strings_[i]; }
    qint64 Object(int i) const { return objects_[size_t(i)]; }
    const QStringList& Strings() const { return strings_; }
    int Add(const QString& s, qint64 object = 0);
    void Clear();
    int IndexOf(const QString& s) const;
    void SetSorted(bool sorted) { sorted_ = sorted; }
    // Comma text in the platform's form (quoted items where needed).
    QString CommaText() const;
    void SetCommaText(const QString& text);
private:
    bool sorted_ = false;
    QStringList strings_;
    std::vector<qint64> objects_;
};

// Template lines of a report object.
class TARTemplate : public TAIStringList {
public:
    TARTemplate() : TAIStringList(QStringLiteral("TARTemplate")) {}
};

namespace ar {
// Comma text of a list of items and back.
QString ToCommaText(const QStringList& items);
QStringList FromCommaText(const QString& text);

// The template number reader: leading blanks, an optional sign and decimal
// digits, or "$", "x", "0x" and hexadecimal digits; it stops at the first
// other character. Decimal values beyond 32 bits clamp, hexadecimal ones
// wrap. stop (optional) gets the index of the character that stopped it.
int ReadNumber(const QString& text, int* stop = nullptr);

// Template files: valid UTF-8 is read as UTF-8, anything else as code page
// 1252; lines split at CR, LF or both.
QStringList DecodeTemplateLines(const QByteArray& bytes);
// Lines of a text: CR, LF or CR LF end a line; a final break adds no empty line.
QStringList SplitTextLines(const QString& text);
// Lines each ended by CR LF, in code page 1252 when every character fits,
// else in UTF-8.
QByteArray EncodeTemplateLines(const QStringList& lines);
// Key and value of a template line (key with leading blanks removed; a line
// without "=" is all key). hasValue tells whether "=" was there.
void SplitLine(const QString& line, QString& key, QString& value, bool& hasValue);
QString TrimLeft(const QString& s);
} // namespace ar

// The paper of a report (tenths of a millimetre).
class TARPageSize {
public:
    struct Row {
        const char* name;
        int code;
        int widthMM, heightMM;
    };
    static constexpr int RowCount = 84;
    static const Row& TableRow(int i);

    TARPageSize() = default;
    TARPageSize(const TARPageSize&) = delete;
    TARPageSize& operator=(const TARPageSize&) = delete;

    const QString& Name() const { return name_; }
    void SetName(const QString& name);
    double Width() const { return width_; }
    double Height() const { return height_; }
    void SetWidth(double w);
    void SetHeight(double h);
    int PaperSize() const { return paperSize_; }
    void SetPaperSize(int code);
    int RowIndex() const { return rowIndex_; }
    void Assign(const TARPageSize& source);
    // The table's names, sorted without regard to case, first row of a name
    // kept, each with its row index.
    static const TAIStringList& PageNames();

    QStringList ARTemplate() const;
    void SetARTemplate(const QStringList& lines);

private:
    void MatchSize();
    int rowIndex_ = 0;
    double height_ = 0, width_ = 0;
    QString name_;
    int paperSize_ = 0;
};
