#include "TextEncoding.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>
#include <array>

namespace fc {

namespace {

// 0x80..0x9F of code page 1252; the unassigned bytes keep their own value.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decode1252(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        d[i] = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return out;
}

int encode1252Char(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == c)
            return 0x80 + i;
    return -1;
}

// ICU names of the code pages, best match of the Windows tables first.
QList<const char*> codecNames(int codePage)
{
    switch (codePage) {
    case 874: return {"windows-874"};
    case 932: return {"windows-31j", "Shift_JIS"};
    case 936: return {"windows-936", "GBK"};
    case 949: return {"windows-949", "EUC-KR"};
    case 950: return {"windows-950", "Big5"};
    case 1250: return {"windows-1250"};
    case 1251: return {"windows-1251"};
    case 1253: return {"windows-1253"};
    case 1254: return {"windows-1254"};
    case 1255: return {"windows-1255"};
    case 1256: return {"windows-1256"};
    case 1257: return {"windows-1257"};
    case 1258: return {"windows-1258"};
    default: return {};
    }
}

const char* probeCodec(int codePage)
{
    for (const char* name : codecNames(codePage)) {
        QStringDecoder probe(name);
        if (probe.isValid())
            return name;
    }
    return nullptr;
}

constexpr std::array<int, 13> kCodePages = {874, 932, 936, 949, 950, 1250, 1251,
                                            1253, 1254, 1255, 1256, 1257, 1258};

// Probed once: opening a converter by name costs more than decoding a value.
const char* codecName(int codePage)
{
    static const std::array<const char*, kCodePages.size()> names = [] {
        std::array<const char*, kCodePages.size()> a{};
        for (size_t i = 0; i < kCodePages.size(); ++i)
            a[i] = probeCodec(kCodePages[i]);
        return a;
    }();
    for (size_t i = 0; i < kCodePages.size(); ++i)
        if (kCodePages[i] == codePage)
            return names[i];
    return nullptr;
}

} // namespace

bool IsValidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        unsigned char lo = 0x80, hi = 0xBF; // bounds of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0)
                lo = 0xA0; // overlong
            else if (c == 0xED)
                hi = 0x9F; // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F; // above U+10FFFF
        } else {
            return false;
        }
        if (n - i <= extra)
            return false;
        if (p[i + 1] < lo || p[i + 1] > hi)
            return false;
        for (int k = 2; k <= extra; ++k)
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        i += extra + 1;
    }
    return true;
}

bool HasUtf8Bom(QByteArrayView bytes)
{
    return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF
        && static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF;
}

int CodePageForCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;   // ANSI
    case 238: return 1250; // East European
    case 204: return 1251; // Russian
    case 161: return 1253; // Greek
    case 162: return 1254; // Turkish
    case 177: return 1255; // Hebrew
    case 178: return 1256; // Arabic
    case 186: return 1257; // Baltic
    case 163: return 1258; // Vietnamese
    case 222: return 874;  // Thai
    case 128: return 932;  // Shift-JIS
    case 129: return 949;  // Hangul
    case 134: return 936;  // GB2312
    case 136: return 950;  // Big5
    default: return 1252;
    }
}

bool CodePageAvailable(int codePage)
{
    return codePage == 1252 || codecName(codePage) != nullptr;
}

QString DecodeCodePage(QByteArrayView bytes, int codePage)
{
    if (codePage != 1252) {
        if (const char* name = codecName(codePage)) {
            QStringDecoder dec(name, QStringConverter::Flag::Stateless);
            return dec.decode(bytes);
        }
    }
    return decode1252(bytes);
}

QByteArray EncodeCodePage(QStringView text, int codePage, bool* lossless)
{
    if (codePage != 1252) {
        if (const char* name = codecName(codePage)) {
            QStringEncoder enc(name, QStringConverter::Flag::Stateless);
            QByteArray out = enc.encode(text);
            if (lossless)
                *lossless = !enc.hasError() && DecodeCodePage(out, codePage) == text;
            return out;
        }
    }
    QByteArray out;
    out.reserve(text.size());
    bool ok = true;
    for (QChar c : text) {
        const int b = encode1252Char(c.unicode());
        if (b < 0) {
            ok = false;
            out.append('?');
        } else {
            out.append(char(b));
        }
    }
    if (lossless)
        *lossless = ok;
    return out;
}

QString DecodeWindowsText(QByteArrayView bytes)
{
    if (HasUtf8Bom(bytes))
        return QString::fromUtf8(bytes.sliced(3));
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return decode1252(bytes);
}

} // namespace fc
