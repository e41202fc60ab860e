#pragma once
// Numbers as the program reads and writes them: one process-wide pair of
// decimal and thousands separators (the system locale's at start; the shell
// switches them where it must), rounding, and conversions with the
// platform's error texts. The C locale of the process is never changed.

#include <QChar>
#include <QString>
#include <QtGlobal>

namespace fc {

QChar DecimalSeparator();
QChar ThousandSeparator();
void SetDecimalSeparator(QChar c);
void SetThousandSeparator(QChar c);
// Back to the system locale's separators.
void ResetSeparatorsToSystem();

// Nearest integer, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
// NaN, infinities and values outside 64 bits raise EInvalidOp.
qint64 Round(double x);
// Toward zero; the same errors as Round.
qint64 Trunc(double x);

// Val for integers: leading blanks, an optional sign, then decimal digits,
// or hexadecimal digits after "$", "x" or "0x". Returns 0 and sets value on
// success, else the 1-based position of the first character that does not
// fit (the length + 1 when the text ends too early, so "" gives 1).
int ValInt(const QString& text, qint64& value);
// Val for floating point: leading blanks, optional sign, digits with "." as
// decimal point, optional exponent "E"/"e" with optional sign. Same result
// convention as ValInt.
int ValFloat(const QString& text, double& value);

// General format with up to 15 significant digits, no thousands separators,
// no trailing zeros: fixed notation when the value has at most 15 integer
// digits and is not below 0.00001 in magnitude, else "1.5E20" / "1E-7".
QString FloatToStrGeneral(double x, QChar decimal);
// The same with the current decimal separator.
QString FloatToStr(double x);
QString IntToStr(qint64 x);

// Integer of a text (blanks before it allowed, as Val), 32-bit range, else
// EConvertError "'%s' is not a valid integer value".
int StrToInt(const QString& text);
int StrToIntDef(const QString& text, int def);
bool TryStrToInt(const QString& text, int& value);

// Floating point of a text with the given decimal separator: blanks around
// it are ignored, an optional sign, digits with at most one decimal
// separator, an optional exponent. Else EConvertError
// "'%s' is not a valid floating point value".
double StrToFloat(const QString& text, QChar decimal);
// The same with the current decimal separator.
double StrToFloat(const QString& text);
bool TryStrToFloat(const QString& text, double& value, QChar decimal);
bool TryStrToFloat(const QString& text, double& value);
double StrToFloatDef(const QString& text, double def);

} // namespace fc
