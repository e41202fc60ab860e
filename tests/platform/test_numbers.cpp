#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "TestSupport.h"
#include "platform/Errors.h"
#include "platform/Numbers.h"

using namespace fc;

TEST(Round, HalvesGoToTheEvenNeighbour)
{
    struct Case {
        double x;
        qint64 expected;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
                 {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {1e15 + 0.5, qint64(1e15)}, {0.0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(Round(c.x), c.expected) << c.x;
}

TEST(Round, NonFiniteAndHugeRaise)
{
    EXPECT_THROW(Round(NAN), EInvalidOp);
    EXPECT_THROW(Round(INFINITY), EInvalidOp);
    EXPECT_THROW(Round(1e19), EInvalidOp);
    EXPECT_THROW(Trunc(-1e19), EInvalidOp);
}

TEST(Trunc, CutsTowardZero)
{
    EXPECT_EQ(Trunc(2.9), 2);
    EXPECT_EQ(Trunc(-2.9), -2);
    EXPECT_EQ(Trunc(-0.1), 0);
}

TEST(ValInt, StopsAtTheFirstCharacterThatDoesNotFit)
{
    struct Case {
        const char* text;
        int code;
        qint64 value;
    } cases[] = {
        {"12", 0, 12},     {"  12", 0, 12},      {"-5", 0, -5},   {"+7", 0, 7},        {"$1F", 0, 31},
        {"0x10", 0, 16},   {"x10", 0, 16},       {"-$10", 0, -16}, {"12 ", 3, 0},      {"12a", 3, 0},
        {"", 1, 0},        {"   ", 4, 0},        {"-", 2, 0},      {"$", 2, 0},        {"1.5", 2, 0},
        {"9223372036854775807", 0, 9223372036854775807LL},          {"9223372036854775808", 19, 0},
    };
    for (const Case& c : cases) {
        qint64 v = 0;
        EXPECT_EQ(ValInt(QString::fromLatin1(c.text), v), c.code) << c.text;
        if (c.code == 0) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST(ValFloat, AcceptsDotAndExponentOnly)
{
    struct Case {
        const char* text;
        int code;
        double value;
    } cases[] = {
        {"1.5", 0, 1.5}, {" -2.25", 0, -2.25}, {"1e3", 0, 1000}, {"1E-2", 0, 0.01}, {".5", 0, 0.5},
        {"5.", 0, 5},    {"12E", 4, 0},         {"1,5", 2, 0},    {"", 1, 0},        {"-", 2, 0},
        {"1.5 ", 4, 0},  {"1e999", 6, 0},
    };
    for (const Case& c : cases) {
        double v = 0;
        EXPECT_EQ(ValFloat(QString::fromLatin1(c.text), v), c.code) << c.text;
        if (c.code == 0) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
}

TEST(FloatToStrGeneral, FifteenSignificantDigitsFixedOrScientific)
{
    struct Case {
        double x;
        const char* expected;
    } cases[] = {
        {0, "0"},
        {1, "1"},
        {-1.5, "-1.5"},
        {0.1, "0.1"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1.23456789012346E15"},
        {1e20, "1E20"},
        {0.00001, "0.00001"},
        {0.000001, "1E-6"},
        {-1.5e-7, "-1.5E-7"},
        {27.0, "27"},
        {19.454, "19.454"},
        {0.1 + 0.2, "0.3"},
        {999999999999999.9, "1E15"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FloatToStrGeneral(c.x, QChar('.')), QString::fromLatin1(c.expected)) << c.x;
    EXPECT_EQ(FloatToStrGeneral(-12.5, QChar(',')), QStringLiteral("-12,5"));
}

TEST(StrToFloat, UsesTheCurrentDecimalSeparator)
{
    test::ScopedSeparators sep(QChar(','), QChar('.'));
    EXPECT_DOUBLE_EQ(StrToFloat(" 12,5 "), 12.5);
    EXPECT_DOUBLE_EQ(StrToFloat("-1,5E2"), -150);
    EXPECT_EQ(FloatToStr(0.25), QStringLiteral("0,25"));
    try {
        StrToFloat("12.5");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'12.5' is not a valid floating point value"));
    }
    EXPECT_THROW(StrToFloat("1.234,5"), EConvertError); // thousands separators are not numbers
    EXPECT_THROW(StrToFloat(""), EConvertError);
    EXPECT_DOUBLE_EQ(StrToFloatDef("x", 7.5), 7.5);
}

TEST(StrToInt, RangeAndErrorText)
{
    EXPECT_EQ(StrToInt(" 42"), 42);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    for (const char* bad : {"2147483648", "12 ", "", "3A", "1.0"}) {
        try {
            StrToInt(QString::fromLatin1(bad));
            FAIL() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("'%1' is not a valid integer value").arg(QString::fromLatin1(bad)));
        }
    }
    EXPECT_EQ(StrToIntDef("x", -1), -1);
}

// Which error each kind of operand raises, and that a finite quotient
// comes back bit for bit as the hardware divides.
TEST(Divide, ErrorOfEveryKindOfOperand)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    enum Raises { None, ZeroDivide, InvalidOp, Overflow };
    const struct {
        double a, b;
        Raises raises;
    } cases[] = {
        {1, 4, None},          {-7.5, 3, None},          {0, 5, None},        {-0.0, 5, None},
        {1e-308, 1e10, None},  {1, 0, ZeroDivide},       {-1, 0, ZeroDivide}, {1, -0.0, ZeroDivide},
        {inf, 0, ZeroDivide},  {0, 0, InvalidOp},        {-0.0, 0, InvalidOp}, {nan, 0, InvalidOp},
        {nan, 2, InvalidOp},   {2, nan, InvalidOp},      {inf, inf, InvalidOp}, {inf, 2, Overflow},
        {1e308, 1e-308, Overflow}, {-1e308, 1e-308, Overflow}, {1, inf, None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " / " << c.b);
        Raises got = None;
        double q = 0;
        try {
            q = Divide(c.a, c.b);
        } catch (const EZeroDivide&) {
            got = ZeroDivide;
        } catch (const EInvalidOp&) {
            got = InvalidOp;
        } catch (const EOverflow&) {
            got = Overflow;
        }
        EXPECT_EQ(got, c.raises);
        if (got == None) {
            const double want = c.a / c.b;
            EXPECT_EQ(std::memcmp(&q, &want, sizeof q), 0);
        }
    }
    EXPECT_EQ(CheckFinite(-0.0), 0.0);
    EXPECT_TRUE(std::signbit(CheckFinite(-0.0)));
    EXPECT_EQ(CheckFinite(1e308), 1e308);
    EXPECT_THROW(CheckFinite(nan), EInvalidOp);
    EXPECT_THROW(CheckFinite(-inf), EOverflow);
    EXPECT_THROW(CheckFinite(inf), EOverflow);
    try {
        CheckFinite(inf);
    } catch (const EOverflow& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Floating point overflow"));
    }
}

TEST(Divide, RaisesWherePlatformRaised)
{
    EXPECT_DOUBLE_EQ(Divide(1, 4), 0.25);
    try {
        Divide(1, 0);
        FAIL();
    } catch (const EZeroDivide& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Floating point division by zero"));
    }
    try {
        Divide(0, 0);
        FAIL();
    } catch (const EInvalidOp& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid floating point operation"));
    }
    EXPECT_THROW(Divide(1e308, 1e-308), EOverflow);
    EXPECT_EQ(QString::fromUtf8(EListError::IndexOutOfBounds(5).what()), QStringLiteral("List index out of bounds (5)"));
}
