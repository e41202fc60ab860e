#include "PdfTypes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/Numbers.h"

using namespace fc::pdf;

// ---------------------------------------------------------------- objects

void TPdfObject::SetObjectNumber(int N)
{
    FObjectNumber = N;
    FObjectType = N > 0 ? otIndirectObject : otDirectObject;
}

void TPdfObject::WriteValueToStream(QByteArray&) {}

void TPdfObject::WriteToStream(QByteArray& Stream)
{
    if (FObjectType == otDirectObject) {
        WriteValueToStream(Stream);
        return;
    }
    Stream.append(QByteArray::number(FObjectNumber));
    Stream.append(' ');
    Stream.append(QByteArray::number(FGenerationNumber));
    Stream.append(" R");
}

void TPdfObject::WriteIndirectToStream(QByteArray& Stream)
{
    if (FObjectType != otIndirectObject)
        throw EPdfInvalidOperation(QStringLiteral("internal error wrong object type"));
    Stream.append(QByteArray::number(FObjectNumber));
    Stream.append(' ');
    Stream.append(QByteArray::number(FGenerationNumber));
    Stream.append(" obj\r\n");
    WriteValueToStream(Stream);
    Stream.append("\r\nendobj\r\n");
}

TPdfVirtualObject::TPdfVirtualObject()
{
    throw Exception(QStringLiteral("virtualObject must be create by CreateVirtual method."));
}

TPdfVirtualObject::TPdfVirtualObject(NumberTag, int ObjectNumber)
{
    FObjectNumber = ObjectNumber;
    FObjectType = otVirtualObject;
}

TPdfVirtualObject* TPdfVirtualObject::CreateVirtual(int ObjectNumber)
{
    return new TPdfVirtualObject(NumberTag{}, ObjectNumber);
}

void TPdfNull::WriteValueToStream(QByteArray& Stream) { Stream.append("null"); }

void TPdfNumber::WriteValueToStream(QByteArray& Stream) { Stream.append(QByteArray::number(FValue)); }

void TPdfReal::WriteValueToStream(QByteArray& Stream) { AppendPdfReal(Stream, FValue); }

void TPdfText::WriteValueToStream(QByteArray& Stream)
{
    if (HasMultiByteChar(FValue)) {
        Stream.append('<');
        Stream.append(UnicodeTextPrefix());
        Stream.append(StrToUnicodeHex(FValue));
        Stream.append('>');
    } else {
        Stream.append('(');
        AppendEscapedWinAnsi(Stream, FValue);
        Stream.append(')');
    }
}

void TPdfName::WriteValueToStream(QByteArray& Stream)
{
    Stream.append('/');
    Stream.append(EscapeName(ToWinAnsi(FValue)));
}

// ---------------------------------------------------------------- arrays

namespace {

// What a container keeps for an object handed to it: a reference of its own
// for an indirect or virtual object, the object itself otherwise.
TPdfObject* Adopt(TPdfObject* Object)
{
    switch (Object->ObjectType()) {
    case otIndirectObject:
        return TPdfVirtualObject::CreateVirtual(Object->ObjectNumber());
    case otVirtualObject: {
        TPdfObject* ref = TPdfVirtualObject::CreateVirtual(Object->ObjectNumber());
        delete Object;
        return ref;
    }
    default:
        return Object;
    }
}

TPdfObject* ResolveWith(TPdfObjectMgr* mgr, TPdfObject* Item)
{
    if (Item && Item->ObjectType() == otVirtualObject)
        return mgr ? mgr->GetObject(Item->ObjectNumber()) : nullptr;
    return Item;
}

} // namespace

TPdfArray::~TPdfArray()
{
    for (TPdfObject* o : FArray)
        delete o;
}

TPdfArray* TPdfArray::CreateNumArray(TPdfObjectMgr* ObjectMgr, std::initializer_list<int> Values)
{
    return CreateNumArray(ObjectMgr, Values.begin(), int(Values.size()));
}

TPdfArray* TPdfArray::CreateNumArray(TPdfObjectMgr* ObjectMgr, const int* Values, int Count)
{
    auto* a = new TPdfArray(ObjectMgr);
    for (int i = 0; i < Count; ++i)
        a->AddItem(new TPdfNumber(Values[i]));
    return a;
}

void TPdfArray::AddItem(TPdfObject* Item)
{
    if (!Item)
        return;
    if (std::find(FArray.begin(), FArray.end(), Item) != FArray.end())
        return;
    FArray.push_back(Adopt(Item));
}

TPdfObject* TPdfArray::Resolve(TPdfObject* Item) const { return ResolveWith(FObjectMgr, Item); }

TPdfObject* TPdfArray::Items(int Index) const
{
    if (Index < 0 || Index >= int(FArray.size()))
        throw EListError::IndexOutOfBounds(Index);
    return Resolve(FArray[size_t(Index)]);
}

TPdfObject* TPdfArray::FindName(const QString& Name) const
{
    for (TPdfObject* o : FArray) {
        if (auto* n = dynamic_cast<TPdfName*>(Resolve(o)); n && n->Value() == Name)
            return n;
    }
    return nullptr;
}

bool TPdfArray::RemoveName(const QString& Name)
{
    for (auto it = FArray.begin(); it != FArray.end(); ++it) {
        TPdfObject* resolved = Resolve(*it);
        if (auto* n = dynamic_cast<TPdfName*>(resolved); n && n->Value() == Name) {
            // A reference is ours; the object it stands for is the table's.
            delete *it;
            FArray.erase(it);
            return true;
        }
    }
    return false;
}

void TPdfArray::WriteValueToStream(QByteArray& Stream)
{
    Stream.append('[');
    for (TPdfObject* o : FArray) {
        o->WriteToStream(Stream);
        Stream.append(' ');
    }
    Stream.append(']');
}

// ---------------------------------------------------------------- dictionaries

TPdfDictionaryElement::TPdfDictionaryElement(const QString& Key, TPdfObject* Value, bool IsInternal)
    : FValue(Value), FIsInternal(IsInternal)
{
    if (!Value)
        throw EPdfInvalidValue(QStringLiteral("internal error. wrong object."));
    FKey = std::make_unique<TPdfName>(Key);
}

TPdfDictionaryElement* TPdfDictionaryElement::CreateAsInternal(const QString& Key, TPdfObject* Value)
{
    return new TPdfDictionaryElement(Key, Value, true);
}

TPdfDictionaryElement::~TPdfDictionaryElement() { delete FValue; }

TPdfObject* TPdfDictionaryElement::ReleaseValue()
{
    TPdfObject* v = FValue;
    FValue = nullptr;
    return v;
}

TPdfDictionary::~TPdfDictionary()
{
    for (TPdfDictionaryElement* e : FArray)
        delete e;
}

void TPdfDictionary::Add(const QString& Key, TPdfObject* Value, bool Internal)
{
    if (!Value)
        throw EPdfInvalidValue(QStringLiteral("internal error. wrong object."));
    // Setting a key to the value it already holds must not free that value.
    for (auto it = FArray.begin(); it != FArray.end(); ++it) {
        if ((*it)->KeyText() == Key && (*it)->Value() == Value) {
            (*it)->ReleaseValue();
            delete *it;
            FArray.erase(it);
            break;
        }
    }
    RemoveItem(Key);
    FArray.push_back(new TPdfDictionaryElement(Key, Adopt(Value), Internal));
}

void TPdfDictionary::AddItem(const QString& Key, TPdfObject* Value) { Add(Key, Value, false); }

void TPdfDictionary::AddInternalItem(const QString& Key, TPdfObject* Value) { Add(Key, Value, true); }

void TPdfDictionary::RemoveItem(const QString& Key)
{
    for (auto it = FArray.begin(); it != FArray.end(); ++it) {
        if ((*it)->KeyText() == Key) {
            delete *it;
            FArray.erase(it);
            return;
        }
    }
}

TPdfObject* TPdfDictionary::ValueByName(const QString& Key) const
{
    for (TPdfDictionaryElement* e : FArray) {
        if (e->KeyText() == Key)
            return ResolveWith(FObjectMgr, e->Value());
    }
    return nullptr;
}

TPdfNumber* TPdfDictionary::NumberByName(const QString& Key) const
{
    return dynamic_cast<TPdfNumber*>(ValueByName(Key));
}
TPdfReal* TPdfDictionary::RealByName(const QString& Key) const { return dynamic_cast<TPdfReal*>(ValueByName(Key)); }
TPdfName* TPdfDictionary::NameByName(const QString& Key) const { return dynamic_cast<TPdfName*>(ValueByName(Key)); }
TPdfText* TPdfDictionary::TextByName(const QString& Key) const { return dynamic_cast<TPdfText*>(ValueByName(Key)); }
TPdfDictionary* TPdfDictionary::DictionaryByName(const QString& Key) const
{
    return dynamic_cast<TPdfDictionary*>(ValueByName(Key));
}
TPdfArray* TPdfDictionary::ArrayByName(const QString& Key) const { return dynamic_cast<TPdfArray*>(ValueByName(Key)); }

TPdfDictionaryElement* TPdfDictionary::Items(int Index) const
{
    if (Index < 0 || Index >= int(FArray.size()))
        throw EListError::IndexOutOfBounds(Index);
    return FArray[size_t(Index)];
}

void TPdfDictionary::WriteValueToStream(QByteArray& Stream)
{
    Stream.append("<<\r\n");
    for (TPdfDictionaryElement* e : FArray) {
        if (e->IsInternal())
            continue;
        e->Key()->WriteToStream(Stream);
        Stream.append(' ');
        e->Value()->WriteToStream(Stream);
        Stream.append("\r\n");
    }
    Stream.append(">>");
}

// ---------------------------------------------------------------- streams

TPdfStream::TPdfStream(TPdfObjectMgr* ObjectMgr) : FAttributes(std::make_unique<TPdfDictionary>(ObjectMgr))
{
    FAttributes->AddItem(QStringLiteral("Length"), new TPdfNumber(0));
    FAttributes->AddItem(QStringLiteral("Filter"), new TPdfArray(ObjectMgr));
}

void TPdfStream::WriteValueToStream(QByteArray& Stream)
{
    if (TPdfArray* filter = FAttributes->ArrayByName(QStringLiteral("Filter")))
        filter->RemoveName(QStringLiteral("FlateDecode"));
    if (TPdfNumber* length = FAttributes->NumberByName(QStringLiteral("Length")))
        length->SetValue(int(FStream.size()));
    else
        FAttributes->AddItem(QStringLiteral("Length"), new TPdfNumber(int(FStream.size())));
    FAttributes->WriteToStream(Stream);
    Stream.append("\r\nstream\r\n");
    Stream.append(FStream);
    Stream.append("\nendstream");
}

void TPdfBinary::WriteValueToStream(QByteArray& Stream) { Stream.append(FStream); }

// ---------------------------------------------------------------- functions

namespace fc::pdf {

namespace {
// Code page 1252 at 0x80..0x9F; 0 where it has no character.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int CodeOf(char16_t u)
{
    // The space-like thousands separators of the system locales (no-break,
    // figure, thin and narrow no-break space) are written and measured as
    // the blank a reader draws them as: WinAnsi's code 160 has no width in
    // the standard metrics, but readers draw it a blank wide.
    if (u == 0x00A0 || u == 0x2007 || u == 0x2009 || u == 0x202F)
        return 0x20;
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] != 0 && kCp1252High[i] == u)
            return 0x80 + i;
    }
    return '?';
}
} // namespace

int WinAnsiCodeAt(const QString& text, qsizetype index)
{
    const QChar c = text.at(index);
    if (c.isLowSurrogate() && index > 0 && text.at(index - 1).isHighSurrogate())
        return -1;
    if (c.isSurrogate())
        return '?';
    return CodeOf(c.unicode());
}

QByteArray ToWinAnsi(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int code = WinAnsiCodeAt(text, i);
        if (code >= 0)
            out.append(char(code));
    }
    return out;
}

namespace {
void AppendEscaped(QByteArray& out, char ch)
{
    switch (ch) {
    case '(': out.append("\\(", 2); break;
    case ')': out.append("\\)", 2); break;
    case '\\': out.append("\\\\", 2); break;
    case '\r': out.append("\\r", 2); break;
    case '\n': out.append("\\n", 2); break;
    case '\t': out.append("\\t", 2); break;
    case '\b': out.append("\\b", 2); break;
    case '\f': out.append("\\f", 2); break;
    default: out.append(ch);
    }
}
} // namespace

QByteArray EscapeText(const QByteArray& S)
{
    QByteArray out;
    out.reserve(S.size() + 8);
    for (char ch : S)
        AppendEscaped(out, ch);
    return out;
}

void AppendEscapedWinAnsi(QByteArray& Out, const QString& Text)
{
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const int code = WinAnsiCodeAt(Text, i);
        if (code >= 0)
            AppendEscaped(Out, char(code));
    }
}

QByteArray EscapeName(const QByteArray& S)
{
    static const char kHex[] = "0123456789ABCDEF";
    QByteArray out;
    for (char ch : S) {
        const auto b = static_cast<unsigned char>(ch);
        const bool plain = b >= 33 && b <= 126 && !std::strchr("#%()/<>[]{}", ch);
        if (plain) {
            out.append(ch);
        } else {
            out.append('#');
            out.append(kHex[b >> 4]);
            out.append(kHex[b & 15]);
        }
    }
    return out;
}

QByteArray StrToHex(const QByteArray& S) { return S.toHex().toUpper(); }

QByteArray StrToUnicodeHex(const QString& S)
{
    QByteArray out;
    out.reserve(S.size() * 4);
    for (QChar c : S)
        out.append(QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper());
    return out;
}

bool HasMultiByteChar(const QString&) { return false; }

QByteArray UnicodeTextPrefix() { return QByteArrayLiteral("FEFF001B") + StrToHex("en") + "001B"; }

namespace {

// Writes the decimal digits of n (n >= 0) ending just before end; answers
// where they start.
char* DigitsBackwards(char* end, quint64 n)
{
    do {
        *--end = char('0' + n % 10);
        n /= 10;
    } while (n);
    return end;
}

// k / 100 for |k| < 10^15, written as FormatPdfReal writes the double
// nearest to it. The double is within 2^-53 of k / 100 relatively, far
// inside half a unit of the 15th significant digit, so rounding it to 15
// digits gives back the digits of k / 100 exactly.
void AppendHundredths(QByteArray& out, qint64 k)
{
    char buf[24];
    char* const end = buf + sizeof buf;
    char* p = end;
    const quint64 m = k < 0 ? quint64(-k) : quint64(k);
    const unsigned cents = unsigned(m % 100);
    if (cents != 0) {
        if (cents % 10 != 0)
            *--p = char('0' + cents % 10);
        *--p = char('0' + cents / 10);
        *--p = '.';
    }
    p = DigitsBackwards(p, m / 100);
    if (k < 0)
        *--p = '-';
    out.append(p, end - p);
}

constexpr double kExactDigits = 1e15; // below this, every integer has at most 15 digits

} // namespace

void AppendPdfReal(QByteArray& out, double V)
{
    fc::CheckFinite(V);
    if (V == 0.0) {
        out.append('0');
        return;
    }
    // Integers of up to 15 digits are written as they are.
    if (std::fabs(V) < kExactDigits && V == std::trunc(V)) {
        AppendHundredths(out, qint64(V) * 100);
        return;
    }
    // 15 significant digits, rounded as printf's "%.14e" rounds them.
    char sci[32];
    const auto res = std::to_chars(sci, sci + sizeof sci, V, std::chars_format::scientific, 14);
    const char* s = sci;
    const bool negative = *s == '-';
    if (negative)
        ++s;
    const char* e = std::find(s, static_cast<const char*>(res.ptr), 'e');
    int exponent = 0;
    std::from_chars(e + 1 + (e[1] == '+'), res.ptr, exponent);
    char digits[15];
    int n = 0;
    for (const char* d = s; d < e; ++d)
        if (*d != '.')
            digits[n++] = *d;
    while (n > 1 && digits[n - 1] == '0')
        --n;
    if (negative)
        out.append('-');
    if (exponent >= 0) {
        const int intDigits = exponent + 1;
        out.append(digits, qMin(n, intDigits));
        if (n < intDigits)
            out.append(intDigits - n, '0');
        else if (n > intDigits) {
            out.append('.');
            out.append(digits + intDigits, n - intDigits);
        }
    } else {
        out.append("0.", 2);
        out.append(-exponent - 1, '0');
        out.append(digits, n);
    }
}

void AppendPdfOperand(QByteArray& out, double V)
{
    const qint64 k = fc::Trunc(V * 100 + 0.5);
    if (k > -qint64(kExactDigits) && k < qint64(kExactDigits))
        AppendHundredths(out, k);
    else
        AppendPdfReal(out, double(k) / 100);
}

QByteArray FormatPdfReal(double V)
{
    QByteArray out;
    AppendPdfReal(out, V);
    return out;
}

QByteArray FloatToPdfStr(double V)
{
    QByteArray out;
    AppendPdfOperand(out, V);
    return out;
}

QString FormatPdfDate(const QDateTime&)
{
    return QDateTime::currentDateTime().toString(QStringLiteral("'D:'yyyyMMddHHmmss"));
}

QString GetTypeOf(const TPdfDictionary* Dictionary)
{
    if (!Dictionary)
        return QString();
    TPdfName* n = Dictionary->NameByName(QStringLiteral("Type"));
    return n ? n->Value() : QString();
}

} // namespace fc::pdf
