#include "Numbers.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

#include "Errors.h"

namespace fc {

namespace {

struct Separators {
    QChar decimal;
    QChar thousands;
};

Separators systemSeparators()
{
    const QLocale loc = QLocale::system();
    QString d = loc.decimalPoint();
    QString g = loc.groupSeparator();
    return {d.isEmpty() ? QChar('.') : d.at(0), g.isEmpty() ? QChar(',') : g.at(0)};
}

Separators& separators()
{
    static Separators s = systemSeparators();
    return s;
}

bool isBlank(QChar c) { return c == QChar(' ') || c == QChar('\t'); }

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Parses "[sign]digits[.digits][e[sign]digits]" from s starting at i with
// the given decimal point; returns the index after the number, or the index
// of the offending character with ok = false.
qsizetype scanFloat(const QString& s, qsizetype i, QChar decimal, bool& ok)
{
    ok = false;
    const qsizetype n = s.size();
    if (i < n && (s[i] == QChar('+') || s[i] == QChar('-')))
        ++i;
    qsizetype digits = 0;
    while (i < n && s[i].unicode() >= '0' && s[i].unicode() <= '9') {
        ++i;
        ++digits;
    }
    if (i < n && s[i] == decimal) {
        ++i;
        while (i < n && s[i].unicode() >= '0' && s[i].unicode() <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return i;
    if (i < n && (s[i] == QChar('e') || s[i] == QChar('E'))) {
        ++i;
        if (i < n && (s[i] == QChar('+') || s[i] == QChar('-')))
            ++i;
        qsizetype expDigits = 0;
        while (i < n && s[i].unicode() >= '0' && s[i].unicode() <= '9') {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return i;
    }
    ok = true;
    return i;
}

// Converts the already validated text [from, to) with decimal point
// `decimal` to a double.
std::optional<double> convertFloat(const QString& s, qsizetype from, qsizetype to, QChar decimal)
{
    QByteArray ascii;
    ascii.reserve(to - from);
    for (qsizetype k = from; k < to; ++k)
        ascii.append(s[k] == decimal ? '.' : char(s[k].unicode()));
    // strtod honours the C locale's decimal point, which this program never
    // changes from ".".
    char* end = nullptr;
    const double v = std::strtod(ascii.constData(), &end);
    if (end != ascii.constData() + ascii.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace

QChar DecimalSeparator() { return separators().decimal; }
QChar ThousandSeparator() { return separators().thousands; }
void SetDecimalSeparator(QChar c) { separators().decimal = c; }
void SetThousandSeparator(QChar c) { separators().thousands = c; }
void ResetSeparatorsToSystem() { separators() = systemSeparators(); }

qint64 Round(double x)
{
    if (!std::isfinite(x) || std::fabs(x) >= 9.2233720368547758e18)
        throw EInvalidOp();
    double r = std::round(x); // half away from zero
    if (std::fabs(x - std::trunc(x)) == 0.5)
        r = 2.0 * std::round(x / 2.0);
    return qint64(r);
}

qint64 Trunc(double x)
{
    if (!std::isfinite(x) || std::fabs(x) >= 9.2233720368547758e18)
        throw EInvalidOp();
    return qint64(std::trunc(x));
}

int ValInt(const QString& text, qint64& value)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QChar('+') || text[i] == QChar('-'))) {
        negative = text[i] == QChar('-');
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == QChar('$')) {
        base = 16;
        ++i;
    } else if (i < n && (text[i] == QChar('x') || text[i] == QChar('X'))) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == QChar('0') && (text[i + 1] == QChar('x') || text[i + 1] == QChar('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return int(i + 1);
    quint64 acc = 0;
    const quint64 limit = negative ? quint64(std::numeric_limits<qint64>::max()) + 1
                                   : quint64(std::numeric_limits<qint64>::max());
    for (; i < n; ++i) {
        const int d = hexDigit(text[i]);
        if (d < 0 || d >= base)
            return int(i + 1);
        if (acc > (limit - quint64(d)) / quint64(base))
            return int(i + 1);
        acc = acc * quint64(base) + quint64(d);
    }
    value = negative ? qint64(0 - acc) : qint64(acc);
    return 0;
}

int ValFloat(const QString& text, double& value)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isBlank(text[i]))
        ++i;
    const qsizetype start = i;
    bool ok = false;
    const qsizetype end = scanFloat(text, i, QChar('.'), ok);
    if (!ok)
        return int(end + 1);
    if (end < n)
        return int(end + 1);
    const auto v = convertFloat(text, start, end, QChar('.'));
    if (!v)
        return int(end + 1);
    value = *v;
    return 0;
}

QString FloatToStrGeneral(double x, QChar decimal)
{
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (x == 0.0)
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", x);
    // buf: [-]d.dddddddddddddde[+-]xx
    QString s = QString::fromLatin1(buf);
    const bool negative = s.startsWith('-');
    if (negative)
        s.remove(0, 1);
    const qsizetype ePos = s.indexOf('e');
    const int exponent = s.mid(ePos + 1).toInt();
    QString digits = s.left(ePos);
    digits.remove('.');
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);

    QString out;
    if (exponent >= -5 && exponent < 15) {
        if (exponent >= 0) {
            QString intPart = digits.left(exponent + 1);
            while (intPart.size() < exponent + 1)
                intPart.append('0');
            const QString frac = digits.mid(exponent + 1);
            out = frac.isEmpty() ? intPart : intPart + decimal + frac;
        } else {
            out = QStringLiteral("0") + decimal + QString(-exponent - 1, QChar('0')) + digits;
        }
    } else {
        out = digits.left(1);
        if (digits.size() > 1)
            out += decimal + digits.mid(1);
        out += QChar('E') + QString::number(exponent);
    }
    return negative ? QChar('-') + out : out;
}

QString FloatToStr(double x) { return FloatToStrGeneral(x, DecimalSeparator()); }

QString IntToStr(qint64 x) { return QString::number(x); }

bool TryStrToInt(const QString& text, int& value)
{
    qint64 v = 0;
    if (ValInt(text, v) != 0)
        return false;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return false;
    value = int(v);
    return true;
}

int StrToInt(const QString& text)
{
    int v = 0;
    if (!TryStrToInt(text, v))
        throw EConvertError::NotInteger(text);
    return v;
}

int StrToIntDef(const QString& text, int def)
{
    int v = 0;
    return TryStrToInt(text, v) ? v : def;
}

bool TryStrToFloat(const QString& text, double& value, QChar decimal)
{
    const QString t = text.trimmed();
    bool ok = false;
    const qsizetype end = scanFloat(t, 0, decimal, ok);
    if (!ok || end != t.size())
        return false;
    const auto v = convertFloat(t, 0, end, decimal);
    if (!v)
        return false;
    value = *v;
    return true;
}

bool TryStrToFloat(const QString& text, double& value) { return TryStrToFloat(text, value, DecimalSeparator()); }

double StrToFloat(const QString& text, QChar decimal)
{
    double v = 0;
    if (!TryStrToFloat(text, v, decimal))
        throw EConvertError::NotFloat(text);
    return v;
}

double StrToFloat(const QString& text) { return StrToFloat(text, DecimalSeparator()); }

double StrToFloatDef(const QString& text, double def)
{
    double v = 0;
    return TryStrToFloat(text, v) ? v : def;
}

} // namespace fc
