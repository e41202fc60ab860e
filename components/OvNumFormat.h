#pragma once
// Text form of the numeric edits' values: formatting, cleaning and reading,
// with the process-wide decimal and thousands separators (platform/Numbers.h).
// Values are long double, the widest type the edits hold.

#include <QString>

namespace fc {

enum class TNumberFormat { Standard, Thousands, Scientific, Engineering };

// The edit's text for V with Decimals (-1: as many as needed, at most 15
// significant digits; 0..14: exactly that many) in the given form. Rounds
// half away from zero on the shortest decimal form of V, so 1.005 at two
// decimals is 1.01. NaN raises EInvalidOp, an infinity EOverflow.
QString FormatNumber(long double v, int decimals, TNumberFormat format);

// FormatNumber(RoundSignificant(v, digits), decimals, format), in one step.
QString FormatNumberSignificant(long double v, int digits, int decimals, TNumberFormat format);

// The edit's text as a plain number: "," taken as the decimal separator,
// thousands separators dropped; "" becomes "0" and "-" becomes "-0". When
// "," is itself the thousands separator it is dropped, so that a text
// formatted with thousands separators reads back as its number.
QString CleanText(const QString& s);

// A number written with the current decimal separator: blanks around it,
// an optional sign, digits with at most one separator, an optional
// exponent. Anything else, and a magnitude beyond the range of long double,
// raises EConvertError "'%s' is not a valid floating point value"; a value
// too small for the type reads as 0.
long double StrToExtended(const QString& text);

// The value of an edit's text: StrToExtended(CleanText(text)).
long double TextToExtended(const QString& text);

} // namespace fc

namespace fc {
// v rounded to the given number of significant decimal digits (half away
// from zero on its shortest decimal form), so that sums such as 0.9 + 0.1
// compare as the texts they are shown as.
long double RoundSignificant(long double v, int digits);
// v rounded to the given number of decimals (negative: tens, hundreds...),
// half away from zero on its shortest decimal form.
long double RoundDecimals(long double v, int decimals);
} // namespace fc
