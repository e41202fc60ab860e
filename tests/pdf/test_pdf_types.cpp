// The object model: bytes of every kind, escaping, number and date formats,
// ownership and references.
#include <gtest/gtest.h>

#include <QStringDecoder>
#include <bit>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <random>
#include <vector>

#include "PdfTestSupport.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfTypes.h"
#include "platform/Numbers.h"

using namespace fc::pdf;
using fc::test::MessageOf;
using fc::test::Bytes;

namespace {

// A table that numbers objects as the document does.
struct Objects {
    TPdfXref xref;
    template <class T>
    T* indirect(T* o)
    {
        xref.AddObject(o);
        return o;
    }
};

} // namespace

TEST(PdfObjects, ScalarsWriteTheirValue)
{
    TPdfNull null;
    TPdfNumber zero, neg(-42), big(2147483647);
    TPdfReal real(10.5);
    EXPECT_EQ(Bytes(null), "null");
    EXPECT_EQ(Bytes(zero), "0");
    EXPECT_EQ(Bytes(neg), "-42");
    EXPECT_EQ(Bytes(big), "2147483647");
    EXPECT_EQ(Bytes(real), "10.5");
}

TEST(PdfObjects, RealsNeverUseExponents)
{
    const struct {
        double v;
        const char* text;
    } cases[] = {
        {0, "0"},
        {596, "596"},
        {0.2, "0.2"},
        {-1.25, "-1.25"},
        {0.000001, "0.000001"},
        {-0.0000012345, "-0.0000012345"},
        {1e20, "100000000000000000000"},
        {123456789012345678.0, "123456789012346000"},
        {1.0 / 3, "0.333333333333333"},
    };
    for (const auto& c : cases) {
        TPdfReal r(c.v);
        EXPECT_EQ(Bytes(r), QByteArray(c.text)) << c.v;
    }
    TPdfReal nan(std::nan(""));
    EXPECT_THROW(Bytes(nan), EInvalidOp);
}

namespace {

// The reals as printf writes them: 15 significant digits by "%.14e", the
// exponent spelt out, trailing zeros dropped. The writer must give these
// texts exactly, whatever way it gets there.
QByteArray PrintfReal(double V)
{
    if (V == 0.0)
        return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", V);
    QByteArray s(buf);
    const bool negative = s.startsWith('-');
    if (negative)
        s.remove(0, 1);
    const qsizetype ePos = s.indexOf('e');
    const int exponent = s.mid(ePos + 1).toInt();
    QByteArray digits = s.left(ePos);
    digits.remove(1, 1);
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);
    QByteArray out;
    if (exponent >= 0) {
        QByteArray intPart = digits.left(exponent + 1);
        while (intPart.size() < exponent + 1)
            intPart.append('0');
        const QByteArray frac = digits.mid(exponent + 1);
        out = frac.isEmpty() ? intPart : intPart + '.' + frac;
    } else {
        out = "0." + QByteArray(-exponent - 1, '0') + digits;
    }
    return negative ? '-' + out : out;
}

QByteArray PrintfOperand(double V) { return PrintfReal(double(fc::Trunc(V * 100 + 0.5)) / 100); }

// Values where a formatter goes wrong: signs, zeros, integers at the
// 15-digit edge, ties and carries at the last digit, powers of ten and the
// neighbours of each, the smallest and largest doubles.
std::vector<double> EdgeValues()
{
    std::vector<double> v = {0.0,
                             -0.0,
                             0.2,
                             0.4,
                             0.8,
                             1.0 / 3,
                             2.0 / 3,
                             0.1 + 0.2,
                             1.005,
                             2.675,
                             1.0000000000000049,
                             1.0000000000000051,
                             9.9999999999999947,
                             9.9999999999999964,
                             0.99999999999999994,
                             999999999999999.0,
                             999999999999999.4,
                             999999999999999.6,
                             1e15,
                             1e15 + 1,
                             1e15 + 5,
                             1e15 + 15,
                             1e15 + 25,
                             9007199254740991.0,
                             9007199254740993.0,
                             123456789012345678.0,
                             9.2233720368547e18,
                             1e20,
                             1e22,
                             1e23,
                             1.7976931348623157e308,
                             2.2250738585072014e-308,
                             4.9406564584124654e-324,
                             1e-5,
                             1.5e-7,
                             0.000001,
                             0.0000012345,
                             5e-15,
                             0.125,
                             0.005,
                             0.015,
                             0.025,
                             0.035,
                             10.5,
                             596,
                             842,
                             822,
                             -21,
                             2147483647,
                             -2147483648.0,
                             4294967296.0};
    for (int e = -320; e <= 308; ++e) {
        const double p = std::pow(10.0, e);
        v.insert(v.end(), {p, std::nextafter(p, 0.0), std::nextafter(p, HUGE_VAL), 5 * p, 9.5 * p, 0.5 * p * 3});
    }
    for (int b = -1074; b <= 1023; b += 3)
        v.push_back(std::ldexp(1.0, b));
    std::erase_if(v, [](double x) { return !std::isfinite(x); });
    const std::size_t n = v.size();
    for (std::size_t i = 0; i < n; ++i)
        v.push_back(-v[i]);
    return v;
}

} // namespace

TEST(PdfObjects, RealsAreWrittenAsPrintfWritesThemForEveryKindOfValue)
{
    std::vector<double> values = EdgeValues();
    // The writer's own operands: whole points and hundredths, with and
    // without the error a computed coordinate carries.
    for (int k = -100000; k <= 100000; ++k) {
        values.push_back(k / 100.0);
        values.push_back(k);
    }
    std::mt19937_64 random(20261210);
    std::uniform_real_distribution<double> page(-2000, 2000);
    std::uniform_int_distribution<quint64> bits;
    for (int i = 0; i < 40000; ++i) {
        values.push_back(page(random));
        const double any = std::bit_cast<double>(bits(random));
        if (std::isfinite(any))
            values.push_back(any);
        // k / 100 of up to 17 digits, and the value just beside it.
        const double k = double(qint64(bits(random) >> (std::uniform_int_distribution<int>(7, 63)(random))));
        values.push_back(k / 100);
        values.push_back(std::nextafter(k / 100, HUGE_VAL));
    }
    int checked = 0;
    for (double v : values) {
        ASSERT_EQ(FormatPdfReal(v), PrintfReal(v)) << std::setprecision(17) << v;
        TPdfReal r(v);
        ASSERT_EQ(Bytes(r), PrintfReal(v)) << std::setprecision(17) << v;
        // Operands beyond what Trunc takes fail for both.
        if (std::fabs(v * 100) < 9.2e18) {
            ASSERT_EQ(FloatToPdfStr(v), PrintfOperand(v)) << std::setprecision(17) << v;
            ++checked;
        } else {
            EXPECT_THROW(FloatToPdfStr(v), EInvalidOp) << v;
        }
    }
    EXPECT_GT(checked, 500000);
    EXPECT_THROW(FormatPdfReal(std::nan("")), EInvalidOp);
    EXPECT_THROW(FloatToPdfStr(std::nan("")), EInvalidOp);
    for (double bad : {HUGE_VAL, -HUGE_VAL}) {
        EXPECT_ANY_THROW(FormatPdfReal(bad));
        EXPECT_THROW(FloatToPdfStr(bad), EInvalidOp);
    }
}

TEST(PdfObjects, FloatToPdfStrKeepsTwoDecimalsTruncatingAfterTheHalf)
{
    const struct {
        double v;
        const char* text;
    } cases[] = {
        {0.2, "0.2"}, {596, "596"}, {10.5, "10.5"}, {1.234, "1.23"}, {-1.234, "-1.22"},
        {0.004, "0"}, {-0.004, "0"}, {1.995, "2"}, {812, "812"}, {-21, "-20.99"}, {0.8, "0.8"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToPdfStr(c.v), QByteArray(c.text)) << c.v;
}

TEST(PdfObjects, TextEscapesTheEightBytesAndKeepsHighBytes)
{
    TPdfText t(QStringLiteral("a(b)c\\d\re\nf\tg\bh\fi\u00E0"));
    EXPECT_EQ(Bytes(t), QByteArray("(a\\(b\\)c\\\\d\\re\\nf\\tg\\bh\\fi\xE0)"));
    TPdfText empty;
    EXPECT_EQ(Bytes(empty), "()");
}

TEST(PdfObjects, NameEscapesEverythingOutsideThePlainRange)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"Type", "/Type"},
        {"A b", "/A#20b"},
        {"x#y", "/x#23y"},
        {"Helvetica-Bold", "/Helvetica-Bold"},
        {"%()/<>[]{}", "/#25#28#29#2F#3C#3E#5B#5D#7B#7D"},
        {"\x01\x7F", "/#01#7F"},
        {"", "/"},
    };
    for (const auto& c : cases) {
        TPdfName n(QString::fromLatin1(c.in));
        EXPECT_EQ(Bytes(n), QByteArray(c.out)) << c.in;
    }
    TPdfName high(QStringLiteral("\u00E9"));
    EXPECT_EQ(Bytes(high), "/#E9");
}

TEST(PdfObjects, HexHelpers)
{
    EXPECT_EQ(StrToHex("en\xFF"), "656EFF");
    EXPECT_EQ(StrToUnicodeHex(QStringLiteral("A\u20AC")), "004120AC");
    EXPECT_EQ(UnicodeTextPrefix(), "FEFF001B656E001B");
    EXPECT_FALSE(HasMultiByteChar(QStringLiteral("\u00E0\u20AC")));
}

TEST(PdfObjects, ArraysWriteABlankAfterEveryItem)
{
    TPdfArray empty;
    EXPECT_EQ(Bytes(empty), "[]");
    std::unique_ptr<TPdfArray> nums(TPdfArray::CreateNumArray(nullptr, {1, 2, 3}));
    EXPECT_EQ(Bytes(*nums), "[1 2 3 ]");

    TPdfArray a;
    auto* n = new TPdfName(QStringLiteral("FlateDecode"));
    a.AddItem(n);
    a.AddItem(n); // the same instance is kept once
    a.AddItem(new TPdfName(QStringLiteral("Other")));
    EXPECT_EQ(a.ItemCount(), 2);
    EXPECT_EQ(a.FindName(QStringLiteral("FlateDecode")), n);
    EXPECT_EQ(a.FindName(QStringLiteral("flatedecode")), nullptr);
    EXPECT_TRUE(a.RemoveName(QStringLiteral("FlateDecode")));
    EXPECT_FALSE(a.RemoveName(QStringLiteral("FlateDecode")));
    EXPECT_EQ(Bytes(a), "[/Other ]");
    EXPECT_THROW(a.Items(1), EListError);
}

TEST(PdfObjects, DictionariesKeepOrderAndMoveAResetKeyToTheEnd)
{
    TPdfDictionary empty;
    EXPECT_EQ(Bytes(empty), "<<\r\n>>");

    TPdfDictionary hidden;
    hidden.AddInternalItem(QStringLiteral("_Font"), new TPdfName(QStringLiteral("Arial")));
    EXPECT_EQ(Bytes(hidden), "<<\r\n>>");
    ASSERT_NE(hidden.NameByName(QStringLiteral("_Font")), nullptr);
    EXPECT_EQ(hidden.NameByName(QStringLiteral("_Font"))->Value(), QStringLiteral("Arial"));

    TPdfDictionary d;
    d.AddItem(QStringLiteral("A"), new TPdfNumber(1));
    d.AddItem(QStringLiteral("B"), new TPdfNumber(2));
    d.AddItem(QStringLiteral("A"), new TPdfNumber(3));
    EXPECT_EQ(Bytes(d), "<<\r\n/B 2\r\n/A 3\r\n>>");
    EXPECT_EQ(d.ItemCount(), 2);
    EXPECT_EQ(d.ValueByName(QStringLiteral("a")), nullptr); // keys are case-sensitive
    EXPECT_EQ(d.ArrayByName(QStringLiteral("A")), nullptr); // a number is no array
    d.RemoveItem(QStringLiteral("B"));
    EXPECT_EQ(Bytes(d), "<<\r\n/A 3\r\n>>");

    // Setting a key again to the value it holds keeps that value alive.
    TPdfNumber* three = d.NumberByName(QStringLiteral("A"));
    d.AddItem(QStringLiteral("A"), three);
    EXPECT_EQ(d.NumberByName(QStringLiteral("A"))->Value(), 3);

    EXPECT_EQ(MessageOf([&] { d.AddItem(QStringLiteral("C"), nullptr); }), QStringLiteral("internal error. wrong object."));
    EXPECT_THROW(TPdfDictionaryElement(QStringLiteral("K"), nullptr), EPdfInvalidValue);
    EXPECT_EQ(GetTypeOf(&d), QString());
}

TEST(PdfObjects, IndirectObjectsAreReferredToAndResolved)
{
    Objects o;
    auto* first = o.indirect(new TPdfDictionary(&o.xref));
    auto* target = o.indirect(new TPdfDictionary(&o.xref));
    auto* third = o.indirect(new TPdfNumber(7));
    EXPECT_EQ(first->ObjectNumber(), 1);
    EXPECT_EQ(target->ObjectNumber(), 2);
    EXPECT_EQ(third->ObjectType(), otIndirectObject);
    target->AddItem(QStringLiteral("Type"), new TPdfName(QStringLiteral("Pages")));

    TPdfArray a(&o.xref);
    a.AddItem(third);
    EXPECT_EQ(Bytes(a), "[3 0 R ]");
    EXPECT_EQ(a.Items(0), third);
    TPdfArray noMgr;
    noMgr.AddItem(third);
    EXPECT_EQ(noMgr.Items(0), nullptr);

    TPdfDictionary d(&o.xref);
    d.AddItem(QStringLiteral("Pages"), target);
    EXPECT_EQ(Bytes(d), "<<\r\n/Pages 2 0 R\r\n>>");
    EXPECT_EQ(d.DictionaryByName(QStringLiteral("Pages")), target);
    EXPECT_EQ(GetTypeOf(d.DictionaryByName(QStringLiteral("Pages"))), QStringLiteral("Pages"));
    EXPECT_EQ(Bytes(*third), "3 0 R");

    QByteArray s;
    third->WriteIndirectToStream(s);
    EXPECT_EQ(s, "3 0 obj\r\n7\r\nendobj\r\n");

    TPdfNumber direct(1);
    EXPECT_EQ(MessageOf([&] {
                  QByteArray x;
                  direct.WriteIndirectToStream(x);
              }),
              QStringLiteral("internal error wrong object type"));
    EXPECT_THROW(o.xref.AddObject(third), EPdfInvalidOperation);
    EXPECT_EQ(MessageOf([&] { o.xref.AddObject(third); }), QStringLiteral("AddObject --wrong object type."));
}

TEST(PdfObjects, VirtualObjectsComeOnlyFromCreateVirtual)
{
    EXPECT_EQ(MessageOf([] { TPdfVirtualObject v; }),
              QStringLiteral("virtualObject must be create by CreateVirtual method."));
    std::unique_ptr<TPdfVirtualObject> v(TPdfVirtualObject::CreateVirtual(9));
    EXPECT_EQ(v->ObjectType(), otVirtualObject);
    EXPECT_EQ(Bytes(*v), "9 0 R");
    TPdfArray a;
    a.AddItem(TPdfVirtualObject::CreateVirtual(4));
    EXPECT_EQ(Bytes(a), "[4 0 R ]");
}

TEST(PdfObjects, StreamsWriteLengthAndUnfilteredData)
{
    TPdfStream s;
    s.Stream() = QByteArray("a\0b", 3);
    s.Attributes()->ArrayByName(QStringLiteral("Filter"))->AddItem(new TPdfName(QStringLiteral("FlateDecode")));
    static const char kExpected[] = "<<\r\n/Length 3\r\n/Filter []\r\n>>\r\nstream\r\na\0b\nendstream";
    EXPECT_EQ(Bytes(s), QByteArray(kExpected, sizeof kExpected - 1));

    TPdfBinary b(QByteArray("<FF 00 >"));
    EXPECT_EQ(Bytes(b), "<FF 00 >");
}

TEST(PdfObjects, DateIsTheCurrentLocalTime)
{
    const QDateTime before = QDateTime::currentDateTime();
    const QString d = FormatPdfDate(QDateTime(QDate(1999, 1, 2), QTime(3, 4, 5)));
    const QDateTime after = QDateTime::currentDateTime();
    ASSERT_TRUE(QRegularExpression(QStringLiteral("^D:\\d{14}$")).match(d).hasMatch()) << d.toStdString();
    const QDateTime parsed = QDateTime::fromString(d.mid(2), QStringLiteral("yyyyMMddHHmmss"));
    EXPECT_GE(parsed, before.addSecs(-1));
    EXPECT_LE(parsed, after);
}

TEST(PdfText, WinAnsiMapAgreesWithCodePage1252)
{
    // Every character of code page 1252 maps back to its own byte.
    QStringDecoder dec("windows-1252");
    ASSERT_TRUE(dec.isValid());
    for (int b = 0; b < 256; ++b) {
        const QString ch = dec(QByteArray(1, char(b)));
        if (ch.size() != 1 || ch.at(0) == QChar(0xFFFD))
            continue;
        if (ch.at(0).unicode() >= 0x80 && ch.at(0).unicode() < 0xA0)
            continue; // undefined codes that the decoder passes through
        // The no-break space is written as the blank readers draw it as.
        EXPECT_EQ(WinAnsiCodeAt(ch, 0), b == 0xA0 ? 0x20 : b) << b;
    }
    const struct {
        const char16_t* in;
        const char* out;
    } cases[] = {
        {u"\u20AC\u2013\u2019\u00E0\u00B0\u00B3", "\x80\x96\x92\xE0\xB0\xB3"},
        {u"1\u202F234\u2009567\u00A0890\u2007", "1 234 567 890 "}, // thousands separators
        {u"\u4E2D\u0394\u0081", "???"},             // outside the code page
        {u"a\U0001F600b", "a?b"},                  // one "?" per character
        {u"\xD800x", "?x"},                         // a lone surrogate
        {u"\r\n\t", "\r\n\t"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToWinAnsi(QString::fromUtf16(c.in)), QByteArray(c.out));
}
