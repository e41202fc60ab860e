// Formatting, cleaning and reading of the numeric edits' texts.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "components/OvNumFormat.h"
#include "platform/Errors.h"
#include "TestSupport.h"

using fc::TNumberFormat;

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

struct FormatCase {
    long double value;
    int decimals;
    TNumberFormat format;
    const char* expected; // with decimal comma and thousands point
};

QString comma(const char* s) { return QString::fromUtf8(s); }

// Swaps the two separators of a text written for "," and ".".
QString toPointComma(const QString& s)
{
    QString out = s;
    for (QChar& c : out)
        c = c == QChar(',') ? QChar('.') : c == QChar('.') ? QChar(',') : c;
    return out;
}

const FormatCase kFormatCases[] = {
    // The documented examples.
    {1234.5L, 1, TNumberFormat::Thousands, "1.234,5"},
    {0.125L, -1, TNumberFormat::Standard, "0,125"},
    {12345.0L, -1, TNumberFormat::Engineering, "12,345E3"},
    // Zero in every form.
    {0.0L, -1, TNumberFormat::Standard, "0"},
    {0.0L, 2, TNumberFormat::Standard, "0,00"},
    {0.0L, 0, TNumberFormat::Thousands, "0"},
    {0.0L, -1, TNumberFormat::Scientific, "0E0"},
    {0.0L, -1, TNumberFormat::Engineering, "0E0"},
    {0.0L, 2, TNumberFormat::Scientific, "0,00E0"},
    // Half away from zero on the shortest decimal form, whatever the binary
    // value underneath.
    {1.005, 2, TNumberFormat::Standard, "1,01"},
    {1.005L, 2, TNumberFormat::Standard, "1,01"},
    {12.25L, 1, TNumberFormat::Standard, "12,3"},
    {-12.25L, 1, TNumberFormat::Standard, "-12,3"},
    {0.5L, 0, TNumberFormat::Standard, "1"},
    {-0.5L, 0, TNumberFormat::Standard, "-1"},
    {2.5L, 0, TNumberFormat::Standard, "3"},
    {9.995, 2, TNumberFormat::Standard, "10,00"},
    {-0.001L, 2, TNumberFormat::Standard, "0,00"},
    {12.0L, 3, TNumberFormat::Standard, "12,000"},
    {-7.0L, -1, TNumberFormat::Standard, "-7"},
    // Free decimals stop at 15 significant digits.
    {1.0L / 3.0L, -1, TNumberFormat::Standard, "0,33333333333333"},
    {1.0 / 3.0, -1, TNumberFormat::Standard, "0,33333333333333"},
    {2.0L / 3.0L, -1, TNumberFormat::Standard, "0,66666666666667"},
    {10000.0L / 3.0L, -1, TNumberFormat::Standard, "3333,33333333333"},
    {10000.0L / 3.0L, -1, TNumberFormat::Thousands, "3.333,33333333333"},
    {0.1L + 0.2L, -1, TNumberFormat::Standard, "0,3"},
    {0.1 + 0.2, -1, TNumberFormat::Standard, "0,3"},
    // Fixed decimals beyond the 15th significant digit are zeros, and the
    // separator stays where it belongs.
    {1234567890123.456L, 4, TNumberFormat::Standard, "1234567890123,4600"},
    {123456789012345.0L, 2, TNumberFormat::Standard, "123456789012345,00"},
    {12345678901234567.0L, 1, TNumberFormat::Standard, "12345678901234567,0"},
    // Thousands grouping.
    {1234567.891L, 2, TNumberFormat::Thousands, "1.234.567,89"},
    {-1234567.0L, -1, TNumberFormat::Thousands, "-1.234.567"},
    {999.999L, 2, TNumberFormat::Thousands, "1.000,00"},
    {123.0L, -1, TNumberFormat::Thousands, "123"},
    // Scientific.
    {12345.0L, -1, TNumberFormat::Scientific, "1,2345E4"},
    {0.00012L, -1, TNumberFormat::Scientific, "1,2E-4"},
    {-12345.0L, 2, TNumberFormat::Scientific, "-1,23E4"},
    {99999.0L, 2, TNumberFormat::Scientific, "1,00E5"},
    {1e300L, -1, TNumberFormat::Scientific, "1E300"},
    {1.5e4000L, -1, TNumberFormat::Scientific, "1,5E4000"},
    // Engineering: exponent a multiple of 3 from the decimal exponent,
    // truncated toward zero; digits limited by the mantissa's magnitude.
    {1000.0L, -1, TNumberFormat::Engineering, "1E3"},
    {1e6L, -1, TNumberFormat::Engineering, "1E6"},
    {999.0L, -1, TNumberFormat::Engineering, "999E0"},
    {-12345.0L, -1, TNumberFormat::Engineering, "-12,345E3"},
    {0.001L, -1, TNumberFormat::Engineering, "1E-3"},
    {0.5L, -1, TNumberFormat::Engineering, "0,5E0"},
    {0.0005L, -1, TNumberFormat::Engineering, "0,5E-3"},
    {123456.789L, 2, TNumberFormat::Engineering, "123,46E3"},
    {1.0L / 3.0L, -1, TNumberFormat::Engineering, "0,33333333333333E0"},
    {100000.0L / 3.0L, -1, TNumberFormat::Engineering, "33,3333333333333E3"},
    {-100000.0L / 3.0L, -1, TNumberFormat::Engineering, "-33,3333333333333E3"},
    {1000000.0L / 3.0L, -1, TNumberFormat::Engineering, "333,333333333333E3"},
    {1000000.0L / 3.0L, 0, TNumberFormat::Engineering, "333E3"},
    // Past 18 integer digits fixed notation gives way to the general form.
    {1e20L, -1, TNumberFormat::Standard, "1E20"},
    {1e18L, -1, TNumberFormat::Standard, "1E18"},
    {1e17L, -1, TNumberFormat::Thousands, "100.000.000.000.000.000"},
};

class FormatNumberTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatNumberTest, DecimalCommaAndPoint)
{
    const FormatCase& c = GetParam();
    {
        fc::test::ScopedSeparators sep(QChar(','), QChar('.'));
        EXPECT_EQ(fc::FormatNumber(c.value, c.decimals, c.format), comma(c.expected));
    }
    {
        fc::test::ScopedSeparators sep(QChar('.'), QChar(','));
        EXPECT_EQ(fc::FormatNumber(c.value, c.decimals, c.format), toPointComma(comma(c.expected)));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FormatNumberTest, ::testing::ValuesIn(kFormatCases));

TEST(FormatNumber, NotFiniteRaises)
{
    EXPECT_THROW(fc::FormatNumber(std::numeric_limits<long double>::infinity(), -1, TNumberFormat::Standard), EOverflow);
    EXPECT_THROW(fc::FormatNumber(std::numeric_limits<long double>::quiet_NaN(), -1, TNumberFormat::Standard), EInvalidOp);
}

TEST(FormatNumber, ReadsBackItsOwnText)
{
    fc::test::ScopedSeparators sep(QChar('.'), QChar(','));
    for (long double v : {0.0L, 1234567.25L, -0.000123L, 1e-30L, 98765.4321L}) {
        for (TNumberFormat f : {TNumberFormat::Standard, TNumberFormat::Thousands, TNumberFormat::Scientific, TNumberFormat::Engineering}) {
            const QString text = fc::FormatNumber(v, -1, f);
            EXPECT_EQ(fc::FormatNumber(fc::TextToExtended(text), -1, f), text) << text.toStdString();
            if (f == TNumberFormat::Scientific) {
                EXPECT_NEAR(double(fc::TextToExtended(text)), double(v), std::abs(double(v)) * 1e-14) << text.toStdString();
            }
        }
    }
}

// The one-step form gives exactly the text of rounding first and formatting
// the rounded value, over every magnitude, form and number of decimals, on
// values that sit on a rounding edge as well as arbitrary bit patterns.
TEST(FormatNumber, SignificantInOneStepIsRoundingThenFormatting)
{
    fc::test::ScopedSeparators sep(QChar('.'), QChar(','));
    std::vector<long double> values = {0.0L, -0.0L, 1.0L, -1.0L, 0.5L, 2.5L, 1.005L, 9.9999999999995L,
                                       999999999999.5L, 1234567890125.0L, 1.234567890125L, 0.1L + 0.2L, 1e17L,
                                       1e19L, 123456789012345678901.0L, 1e-5L, 4.9e-324L, 2.2e-308L, 1e-300L,
                                       1.7e308L, 1e305L, 0.1L / 3, 2.0L / 3, -7.123456789012345e-7L, 1e-30L,
                                       0.86L, 1000.0L / 0.86L, 330.0L * 0.86L};
    unsigned long long seed = 0x9E3779B97F4A7C15ull;
    auto next = [&seed] {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        return seed;
    };
    for (int i = 0; i < 300; ++i) {
        const unsigned long long bits = next();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        if (std::isfinite(d))
            values.push_back(d);
        // Decimals of a few digits, as the ratings give, some on a half.
        const long double k = (long double)(next() % 100000000000000ull);
        values.push_back(k / std::pow(10.0L, int(next() % 16)) * ((next() & 1) ? -1 : 1));
        values.push_back((k + 0.5L) / 1000.0L);
        values.push_back(double(k / 7.0L));
    }
    const TNumberFormat formats[] = {TNumberFormat::Standard, TNumberFormat::Thousands, TNumberFormat::Scientific,
                                     TNumberFormat::Engineering};
    for (long double v : values)
        for (int digits : {1, 12, 15, 16})
            for (int decimals : {-1, 0, 1, 2, 5, 14})
                for (TNumberFormat f : formats)
                    ASSERT_EQ(fc::FormatNumberSignificant(v, digits, decimals, f),
                              fc::FormatNumber(fc::RoundSignificant(v, digits), decimals, f))
                        << double(v) << " digits " << digits << " decimals " << decimals << " form " << int(f);
    EXPECT_THROW(fc::FormatNumberSignificant(std::numeric_limits<long double>::infinity(), 12, 0, TNumberFormat::Standard),
                 EOverflow);
    EXPECT_THROW(fc::FormatNumberSignificant(std::numeric_limits<long double>::quiet_NaN(), 12, 0, TNumberFormat::Standard),
                 EInvalidOp);
}

struct CleanCase {
    QChar decimal, thousands;
    const char* in;
    const char* out;
};

TEST(CleanText, Table)
{
    const CleanCase cases[] = {
        {',', '.', "1.234,5", "1234,5"},
        {',', '.', "", "0"},
        {',', '.', "-", "-0"},
        {',', '.', "12", "12"},
        {'.', ' ', "1 234,5", "1234.5"}, // a comma always means decimals
        {'.', ',', "1,234.5", "1234.5"}, // unless it groups thousands
        {'.', ',', "1,234,567", "1234567"},
        {'.', ',', ",", "0"},
        {',', '.', "1,5E-3", "1,5E-3"},
    };
    for (const CleanCase& c : cases) {
        fc::test::ScopedSeparators sep(c.decimal, c.thousands);
        EXPECT_EQ(fc::CleanText(comma(c.in)), comma(c.out)) << c.in;
    }
}

TEST(StrToExtended, ReadsNumbers)
{
    fc::test::ScopedSeparators sep(QChar(','), QChar('.'));
    EXPECT_EQ(fc::StrToExtended(" -12,5 "), -12.5L);
    EXPECT_EQ(fc::StrToExtended("+3"), 3.0L);
    EXPECT_EQ(fc::StrToExtended(",5"), 0.5L);
    EXPECT_EQ(fc::StrToExtended("5,"), 5.0L);
    EXPECT_EQ(fc::StrToExtended("1,5E3"), 1500.0L);
    EXPECT_EQ(fc::StrToExtended("1e-2"), 0.01L);
    EXPECT_EQ(fc::StrToExtended("-0"), 0.0L);
    EXPECT_EQ(fc::StrToExtended("1E4932"), 1e4932L);
    EXPECT_EQ(fc::StrToExtended("1E-5000"), 0.0L);
    EXPECT_EQ(fc::TextToExtended("1.234,5"), 1234.5L);
    EXPECT_EQ(fc::TextToExtended(""), 0.0L);
    EXPECT_EQ(fc::TextToExtended("-"), 0.0L);
}

TEST(StrToExtended, RefusesWhatIsNoNumber)
{
    fc::test::ScopedSeparators sep(QChar(','), QChar('.'));
    for (const char* bad : {"12E", "12E-", "E5", "", "-", ",", "1,2,3", "12a", "1.5", "1E4933", "9,9E4932", "inf", "nan", "1 2"}) {
        try {
            fc::StrToExtended(comma(bad));
            ADD_FAILURE() << "accepted " << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("'%1' is not a valid floating point value").arg(comma(bad)));
        }
    }
    // The edit's text is cleaned first: the message names the cleaned text.
    try {
        fc::TextToExtended("1.2E");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'12E' is not a valid floating point value"));
    }
}

// The texts of a wide spread of values, as the result grid and the edits
// show them, against the checked-in file: every format, every decimals
// setting, and rounding to 1 to 15 significant digits, for exact decimals,
// computed doubles with 17 significant digits, carries into a new digit,
// tiny and huge magnitudes and values that are no double.
TEST(FormatNumber, GoldenTable)
{
    fc::test::ScopedSeparators sep(QChar(','), QChar('.'));
    std::vector<long double> values = {0.0L, -0.0L, 0.5L, -0.5L, 1.0L, 9.95L, 99.95L, 999.5L, 999999.5L,
                                       0.049999999L, 1.005L, 2.675L, 123456789012345678.0L, 1e19L,
                                       1e-5L, 1.25e-7L, 9.999999999999999e22L, 1e300L, 1e-300L,
                                       0.1L + 0.2L, 1.0L / 3.0L, 2.0L / 3.0L};
    for (int i = 1; i <= 8; ++i) {
        const double x = double(i) * 1.2345678901234567 / 7.0;
        for (int e = -6; e <= 9; e += 3)
            values.push_back(static_cast<long double>(x * std::pow(10.0, e)));
        values.push_back(-static_cast<long double>(x * 1000.0));
    }
    const TNumberFormat formats[] = {TNumberFormat::Standard, TNumberFormat::Thousands, TNumberFormat::Scientific,
                                     TNumberFormat::Engineering};
    QString out;
    for (long double v : values) {
        char key[64];
        std::snprintf(key, sizeof key, "%.21Lg", v);
        for (int f = 0; f < 4; ++f)
            for (int dec : {-1, 0, 1, 2, 6, 14}) {
                out += QStringLiteral("%1 f%2 d%3 = %4\n")
                           .arg(QLatin1String(key))
                           .arg(f)
                           .arg(dec)
                           .arg(fc::FormatNumber(v, dec, formats[f]));
                for (int digits : {3, 12, 15})
                    out += QStringLiteral("%1 f%2 d%3 s%4 = %5\n")
                               .arg(QLatin1String(key))
                               .arg(f)
                               .arg(dec)
                               .arg(digits)
                               .arg(fc::FormatNumberSignificant(v, digits, dec, formats[f]));
            }
    }
    fc::test::ExpectGoldenText(out, fc::test::testDataDir() + QStringLiteral("data/format_table.txt"));
}

} // namespace
