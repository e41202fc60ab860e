#include "OvNumFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include <QVarLengthArray>

#include "platform/Errors.h"
#include "platform/Numbers.h"

namespace fc {

namespace {

// The digits of a decimal, held in place: a double's shortest form has at
// most 17 of them, a long double's 21, and rounding never adds one beyond
// what it took away, so formatting allocates nothing until its text.
class Digits {
public:
    size_t size() const { return n_; }
    bool empty() const { return n_ == 0; }
    char operator[](size_t i) const { return d_[i]; }
    char& operator[](size_t i) { return d_[i]; }
    const char* data() const { return d_; }
    void clear() { n_ = 0; }
    void push_back(char c)
    {
        if (n_ < kCapacity)
            d_[n_++] = c;
    }
    // Only ever shortens.
    void resize(size_t n) { n_ = std::min(n, n_); }
    void push_front(char c)
    {
        if (n_ == kCapacity)
            --n_;
        std::memmove(d_ + 1, d_, n_);
        d_[0] = c;
        ++n_;
    }
    void eraseFront(size_t k)
    {
        k = std::min(k, n_);
        std::memmove(d_, d_ + k, n_ - k);
        n_ -= k;
    }
    bool operator==(const char* s) const { return std::strlen(s) == n_ && std::memcmp(d_, s, n_) == 0; }

private:
    static constexpr size_t kCapacity = 40;
    char d_[kCapacity] = {};
    size_t n_ = 0;
};

// |value| = 0.d1d2d3... x 10^exp, digits without leading or trailing zeros;
// no digits is zero.
struct Decimal {
    bool negative = false;
    Digits digits;
    int exp = 0;

    bool isZero() const { return digits.empty(); }
};

void trimDigits(Decimal& d)
{
    size_t first = 0;
    while (first < d.digits.size() && d.digits[first] == '0')
        ++first;
    if (first == d.digits.size()) {
        d.digits.clear();
        d.exp = 0;
        return;
    }
    d.digits.eraseFront(first);
    d.exp -= int(first);
    size_t end = d.digits.size();
    while (end > 0 && d.digits[end - 1] == '0')
        --end;
    d.digits.resize(end);
}

// The shortest decimal that reads back as v. A value that is exactly a
// double (what the rest of the program computes with) gets the double's
// shortest form: 1.005 stays 1.005 instead of its 21-digit expansion.
Decimal shortestDecimal(long double v)
{
    char buf[128];
    std::to_chars_result r;
    const double asDouble = double(v);
    if (std::isfinite(asDouble) && static_cast<long double>(asDouble) == v)
        r = std::to_chars(buf, buf + sizeof buf, asDouble, std::chars_format::scientific);
    else
        r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);

    // "-d.ddde+XX": read in place, without intermediate strings.
    Decimal d;
    const char* p = buf;
    if (p < r.ptr && *p == '-') {
        d.negative = true;
        ++p;
    }
    for (; p < r.ptr && *p != 'e'; ++p)
        if (*p != '.')
            d.digits.push_back(*p);
    int exponent = 0;
    if (p < r.ptr)
        std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), r.ptr, exponent);
    d.exp = exponent + 1;
    trimDigits(d);
    return d;
}

// Keeps `keep` digits (counted from the first), rounding the rest half away
// from zero. keep <= 0 leaves only what rounding carries into the place
// above the first digit.
Decimal roundDigits(Decimal d, int keep)
{
    if (d.isZero() || keep >= int(d.digits.size()))
        return d;
    if (keep < 0) {
        d.digits.clear();
        trimDigits(d);
        return d;
    }
    const bool up = d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
        int k = keep - 1;
        while (k >= 0 && d.digits[k] == '9') {
            d.digits[k] = '0';
            --k;
        }
        if (k >= 0) {
            ++d.digits[k];
        } else {
            d.digits.push_front('1');
            ++d.exp;
        }
    }
    trimDigits(d);
    return d;
}

// Fixed notation with minDec..maxDec decimals, thousands separated when
// asked; the text is put together in place and made a string once.
QString formatFixed(const Decimal& v, int minDec, int maxDec, bool thousands)
{
    const Decimal d = roundDigits(v, v.exp + maxDec);
    const int n = int(d.digits.size());
    QVarLengthArray<QChar, 96> out;
    if (d.negative && !d.isZero())
        out.append(QChar('-'));
    if (d.exp > 0) {
        const QChar sep = ThousandSeparator();
        for (int i = 0; i < d.exp; ++i) {
            if (thousands && i > 0 && (d.exp - i) % 3 == 0)
                out.append(sep);
            out.append(QChar(i < n ? d.digits[size_t(i)] : '0'));
        }
    } else {
        out.append(QChar('0'));
    }
    const qsizetype fracStart = out.size() + 1;
    out.append(DecimalSeparator());
    for (int i = d.exp; i < n; ++i)
        out.append(QChar(i < 0 ? '0' : d.digits[size_t(i)]));
    while (out.size() - fracStart < minDec)
        out.append(QChar('0'));
    if (out.size() == fracStart)
        out.removeLast(); // no decimals: no separator
    return QString(out.constData(), out.size());
}

// One integer digit, minDec..maxDec decimals, "E" and the exponent, signed
// only when negative.
QString formatScientific(const Decimal& v, int minDec, int maxDec)
{
    const Decimal d = roundDigits(v, 1 + maxDec);
    const int exponent = d.isZero() ? 0 : d.exp - 1;
    Decimal m = d;
    m.exp = d.isZero() ? 0 : 1;
    return formatFixed(m, minDec, maxDec, false) + QChar('E') + QString::number(exponent);
}

// |d| > 9 (nines 1) or |d| > 99 (nines 2).
bool aboveNines(const Decimal& d, int nines)
{
    if (d.isZero() || d.exp < nines)
        return false;
    if (d.exp > nines)
        return true;
    if (int(d.digits.size()) <= nines)
        return false;
    for (int i = 0; i < nines; ++i)
        if (d.digits[size_t(i)] != '9')
            return false;
    return true;
}

int digitsBefore(const QString& r)
{
    int c = 0;
    for (QChar ch : r) {
        if (ch == DecimalSeparator())
            break;
        if (ch.isDigit())
            ++c;
    }
    return c;
}

} // namespace

namespace {

QString formatDecimal(const Decimal& dv, int decimals, TNumberFormat format)
{
    decimals = std::clamp(decimals, -1, 14);

    if (format == TNumberFormat::Engineering && !dv.isZero()) {
        // e = 3 * Trunc(log10|V| / 3), taken from the decimal exponent so
        // that exact powers of ten do not slip below their own exponent.
        const int k = dv.exp - 1; // floor(log10|V|)
        int e;
        if (k >= 0) {
            e = 3 * (k / 3);
        } else {
            const bool powerOfTen = dv.digits == "1";
            const int m = -k;
            e = -3 * ((powerOfTen ? m : m - 1) / 3);
        }
        Decimal mant = dv;
        mant.exp -= e;
        int d = 14;
        if (aboveNines(mant, 1))
            --d;
        if (aboveNines(mant, 2))
            --d;
        if (decimals >= 0 && decimals < d)
            d = decimals;
        QString m;
        if (decimals == -1)
            m = formatFixed(mant, 0, d, false);
        else if (decimals == 0)
            m = formatFixed(mant, 0, 0, false);
        else
            m = formatFixed(mant, d, d, false);
        return m + QChar('E') + QString::number(e);
    }

    const int minDec = decimals > 0 ? decimals : 0;
    const int maxDec = decimals == -1 ? 14 : minDec;
    if (format == TNumberFormat::Scientific || format == TNumberFormat::Engineering)
        return formatScientific(dv, minDec, maxDec);

    // Beyond 18 integer digits fixed notation says nothing more: general
    // form with 15 significant digits.
    if (dv.exp > 18)
        return formatScientific(dv, 0, 14);

    const bool thousands = format == TNumberFormat::Thousands;
    QString r = formatFixed(dv, minDec, maxDec, thousands);
    if (!r.contains(DecimalSeparator()))
        return r;

    // At most 15 significant digits.
    const int c = digitsBefore(r);
    const int room = std::max(15 - c, 0);
    if (decimals == -1) {
        r = formatFixed(dv, 0, room, thousands);
    } else if (decimals > 0 && room < decimals) {
        r = formatFixed(dv, room, room, thousands);
        if (room == 0)
            r += DecimalSeparator();
        r += QString(decimals - room, QChar('0'));
    }
    return r;
}

void checkFinite(long double v)
{
    if (std::isnan(v))
        throw EInvalidOp();
    if (std::isinf(v))
        throw EOverflow();
}

} // namespace

QString FormatNumber(long double v, int decimals, TNumberFormat format)
{
    checkFinite(v);
    return formatDecimal(shortestDecimal(v), decimals, format);
}

// Up to 15 digits, away from the ends of the double range, a decimal reads
// back to a number whose shortest form is that decimal again: the rounded
// decimal is formatted directly instead of taking the trip through binary.
QString FormatNumberSignificant(long double v, int digits, int decimals, TNumberFormat format)
{
    checkFinite(v);
    if (digits < 1 || digits > 15)
        return FormatNumber(RoundSignificant(v, digits), decimals, format);
    const Decimal d = shortestDecimal(v);
    if (d.exp < -290 || d.exp > 300)
        return FormatNumber(RoundSignificant(v, digits), decimals, format);
    return formatDecimal(roundDigits(d, digits), decimals, format);
}

QString CleanText(const QString& s)
{
    const QChar comma(',');
    const QChar thousands = ThousandSeparator();
    QString out;
    out.reserve(s.size());
    for (QChar ch : s) {
        if (ch == thousands)
            continue;
        out += ch == comma ? DecimalSeparator() : ch;
    }
    if (out.isEmpty())
        return QStringLiteral("0");
    if (out == QStringLiteral("-"))
        return QStringLiteral("-0");
    return out;
}

long double StrToExtended(const QString& text)
{
    const QChar decimal = DecimalSeparator();
    auto fail = [&]() -> long double { throw EConvertError::NotFloat(text); };
    qsizetype i = 0, n = text.size();
    auto blank = [](QChar c) { return c == QChar(' ') || c == QChar('\t'); };
    while (i < n && blank(text[i]))
        ++i;
    while (n > i && blank(text[n - 1]))
        --n;

    std::string ascii;
    bool negative = false;
    if (i < n && (text[i] == QChar('+') || text[i] == QChar('-'))) {
        negative = text[i] == QChar('-');
        ++i;
    }
    int intDigits = 0, fracDigits = 0;
    while (i < n && text[i] >= QChar('0') && text[i] <= QChar('9')) {
        ascii += char(text[i].unicode());
        ++intDigits;
        ++i;
    }
    if (i < n && text[i] == decimal) {
        ascii += '.';
        ++i;
        while (i < n && text[i] >= QChar('0') && text[i] <= QChar('9')) {
            ascii += char(text[i].unicode());
            ++fracDigits;
            ++i;
        }
    }
    if (intDigits + fracDigits == 0)
        return fail();
    long long exponent = 0;
    if (i < n && (text[i] == QChar('E') || text[i] == QChar('e'))) {
        ascii += 'e';
        ++i;
        if (i < n && (text[i] == QChar('+') || text[i] == QChar('-'))) {
            ascii += char(text[i].unicode());
            ++i;
        }
        int expDigits = 0;
        while (i < n && text[i] >= QChar('0') && text[i] <= QChar('9')) {
            ascii += char(text[i].unicode());
            if (exponent < 1000000)
                exponent = exponent * 10 + (text[i].unicode() - '0');
            ++expDigits;
            ++i;
        }
        if (expDigits == 0)
            return fail();
    }
    if (i != n)
        return fail();

    long double value = 0;
    const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value, std::chars_format::general);
    if (res.ptr != ascii.data() + ascii.size())
        return fail();
    if (res.ec == std::errc::result_out_of_range) {
        // Too small reads as zero; too large is not a number this type holds.
        const std::string mant = ascii.substr(0, ascii.find('e'));
        const auto firstSig = mant.find_first_of("123456789");
        const auto point = mant.find('.');
        const long long intLen = point == std::string::npos ? (long long)mant.size() : (long long)point;
        const long long magnitude = (long long)firstSig < intLen
            ? intLen - (long long)firstSig
            : -((long long)firstSig - intLen - 1);
        const bool negExp = ascii.find("e-") != std::string::npos;
        if (magnitude + (negExp ? -exponent : exponent) > 0)
            return fail();
        value = 0;
    } else if (res.ec != std::errc()) {
        return fail();
    }
    if (!std::isfinite(value))
        return fail();
    return negative ? -value : value;
}

long double TextToExtended(const QString& text) { return StrToExtended(CleanText(text)); }

namespace {
long double fromDecimal(const Decimal& d)
{
    if (d.isZero())
        return 0;
    const std::string text = "0." + std::string(d.digits.data(), d.digits.size()) + "e" + std::to_string(d.exp);
    long double out = 0;
    std::from_chars(text.data(), text.data() + text.size(), out);
    return d.negative ? -out : out;
}
} // namespace

long double RoundSignificant(long double v, int digits)
{
    if (!std::isfinite(v) || v == 0)
        return v;
    return fromDecimal(roundDigits(shortestDecimal(v), digits));
}

long double RoundDecimals(long double v, int decimals)
{
    if (!std::isfinite(v) || v == 0)
        return v;
    const Decimal d = shortestDecimal(v);
    return fromDecimal(roundDigits(d, d.exp + decimals));
}

} // namespace fc
