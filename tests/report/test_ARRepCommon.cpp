// Template numbers, comma text, template encoding and the page sizes.
#include <gtest/gtest.h>

#include <limits>

#include "ARRepCommon.h"
#include "ReportTestUtil.h"

TEST(TemplateNumber, ReadsTheDigitsBeforeTheFirstOtherCharacter)
{
    struct Case {
        const char* text;
        int value;
        int stop;
    };
    const Case cases[] = {
        {" 12x", 12, 3},
        {"$1F", 31, 3},
        {"0x10", 16, 4},
        {"X1f", 31, 3},
        {"-5", -5, 2},
        {"+7", 7, 2},
        {"", 0, 0},
        {"abc", 0, 0},
        {"2,255", 2, 1},
        {"99999999999", std::numeric_limits<int>::max(), 11},
        {"-99999999999", std::numeric_limits<int>::min(), 12},
        {"$1FFFFFFFF", -1, 10}, // hexadecimal wraps
        {"$FFFFFFFF", -1, 9},
        {"-2147483643", -2147483643, 11},
    };
    for (const Case& c : cases) {
        int stop = -1;
        EXPECT_EQ(ar::ReadNumber(QString::fromLatin1(c.text), &stop), c.value) << c.text;
        EXPECT_EQ(stop, c.stop) << c.text;
    }
}

TEST(CommaText, QuotesWhatNeedsQuotingAndReadsBack)
{
    EXPECT_EQ(ar::ToCommaText({"a", "b c", "say \"hi\"", "x,y"}), QStringLiteral("a,\"b c\",\"say \"\"hi\"\"\",\"x,y\""));
    EXPECT_EQ(ar::ToCommaText({""}), QStringLiteral("\"\""));
    EXPECT_EQ(ar::ToCommaText({"a", ""}), QStringLiteral("a,\"\""));
    EXPECT_EQ(ar::FromCommaText(QStringLiteral("a,")), QStringList{"a"});
    EXPECT_EQ(ar::FromCommaText(QStringLiteral("a,,b")), (QStringList{"a", "", "b"}));
    const QStringList items{"first line", "[VAR] 2", "q\"uote", "", "plain"};
    EXPECT_EQ(ar::FromCommaText(ar::ToCommaText(items)), items);
    // Blanks separate unquoted items and are skipped between items.
    EXPECT_EQ(ar::FromCommaText(QStringLiteral(" a b , c")), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(ar::FromCommaText(QStringLiteral("\"unterminated")), QStringList{"unterminated"});
}

TEST(TemplateEncoding, Utf8WhenValidElseCodePage1252)
{
    EXPECT_EQ(ar::DecodeTemplateLines(QByteArray("VALUE=caf\xC3\xA8\r\nX")), (QStringList{QStringLiteral("VALUE=caf\u00E8"), "X"}));
    EXPECT_EQ(ar::DecodeTemplateLines(QByteArray("VALUE=caf\xE8 \x80\rB\nC")),
              (QStringList{QStringLiteral("VALUE=caf\u00E8 \u20AC"), "B", "C"}));
    EXPECT_EQ(ar::DecodeTemplateLines(QByteArray("A\r\n\r\nB\r\n")), (QStringList{"A", "", "B"}));
    EXPECT_EQ(ar::DecodeTemplateLines(QByteArray("\xEF\xBB\xBFORIENTATION=X")), QStringList{"ORIENTATION=X"});

    EXPECT_EQ(ar::EncodeTemplateLines({QStringLiteral("caf\u00E8 \u20AC"), "B"}), QByteArray("caf\xE8 \x80\r\nB\r\n"));
    // A character outside the code page: the whole text goes as UTF-8.
    EXPECT_EQ(ar::EncodeTemplateLines({QStringLiteral("\u00E8\u03A9")}), QByteArray("\xC3\xA8\xCE\xA9\r\n"));
    // Single bytes that would read back as UTF-8 are written as UTF-8.
    for (const QString& text : {QStringLiteral("\u00C3\u00A9"), QStringLiteral("\uFEFFstart")})
        EXPECT_EQ(ar::DecodeTemplateLines(ar::EncodeTemplateLines({text})), QStringList{text});
}

TEST(PageSize, TableHasItsRowsAndCodes)
{
    ASSERT_EQ(TARPageSize::RowCount, 84);
    EXPECT_STREQ(TARPageSize::TableRow(0).name, "------");
    for (int i = 1; i <= 68; ++i)
        EXPECT_EQ(TARPageSize::TableRow(i).code, i) << i;
    for (int i = 69; i < 84; ++i)
        EXPECT_EQ(TARPageSize::TableRow(i).code, -1) << i;
    EXPECT_STREQ(TARPageSize::TableRow(67).name, "A3");
    EXPECT_STREQ(TARPageSize::TableRow(83).name, "B9");
    EXPECT_EQ(TARPageSize::TableRow(35).widthMM, 176);
    EXPECT_EQ(TARPageSize::TableRow(35).heightMM, 125);
    // Repeated names keep the first row.
    const TAIStringList& names = TARPageSize::PageNames();
    EXPECT_EQ(names.Count(), 82);
    EXPECT_EQ(names.Object(names.IndexOf("A3")), 8);
    EXPECT_EQ(names.Object(names.IndexOf("reserved--do not use")), 48);
}

TEST(PageSize, NameSizeAndCodeLookups)
{
    TARPageSize p;
    p.SetName("A4");
    EXPECT_EQ(p.Width(), 2100);
    EXPECT_EQ(p.Height(), 2970);
    EXPECT_EQ(p.PaperSize(), 9);
    p.SetName("a4");
    EXPECT_EQ(p.Width(), 2100);
    EXPECT_EQ(p.PaperSize(), 9);
    EXPECT_EQ(p.RowIndex(), 9);

    p.SetName("Nonsense");
    EXPECT_EQ(p.Name(), "------");
    EXPECT_EQ(p.Width(), 0);
    EXPECT_EQ(p.Height(), 0);
    EXPECT_EQ(p.PaperSize(), 9) << "the code is left as it was";

    p.SetWidth(2970);
    p.SetHeight(2100);
    EXPECT_EQ(p.Name(), "------");
    EXPECT_EQ(p.PaperSize(), 0);

    p.SetWidth(2160);
    p.SetHeight(2790);
    EXPECT_EQ(p.Name(), "Letter");
    EXPECT_EQ(p.RowIndex(), 1);

    p.SetPaperSize(67);
    EXPECT_EQ(p.Name(), "A3");
    EXPECT_EQ(p.PaperSize(), 8);
    p.SetPaperSize(0);
    EXPECT_EQ(p.Name(), "------");
    EXPECT_EQ(p.PaperSize(), 0);
    p.SetPaperSize(999);
    EXPECT_EQ(p.Name(), "------");
    p.SetPaperSize(-1);
    EXPECT_EQ(p.Name(), "A0");
    EXPECT_EQ(p.Width(), 8410);
}

TEST(PageSize, AssignCopiesNameOrCustomSize)
{
    TARPageSize custom, a5, target;
    custom.SetWidth(1000);
    custom.SetHeight(1500);
    target.Assign(custom);
    EXPECT_EQ(target.Name(), "------");
    EXPECT_EQ(target.Width(), 1000);
    EXPECT_EQ(target.Height(), 1500);
    a5.SetName("A5");
    target.Assign(a5);
    EXPECT_EQ(target.Name(), "A5");
    EXPECT_EQ(target.Width(), 1480);
    EXPECT_EQ(target.Height(), 2100);
}

TEST(PageSize, BlockReadsAndWrites)
{
    TARPageSize p;
    p.SetARTemplate({"PAGESIZE", "  NAME=A4", "  WIDTH=2100", "  HEIGHT=2970", "ENDPAGESIZE"});
    EXPECT_EQ(p.Name(), "A4");
    EXPECT_EQ(p.PaperSize(), 9);
    EXPECT_EQ(p.ARTemplate(), (QStringList{"PAGESIZE", "  NAME=A4", "  WIDTH=2100", "  HEIGHT=2970", "ENDPAGESIZE"}));

    p.SetARTemplate({"PAGESIZE", "  NAME=------", "  WIDTH=1480", "  HEIGHT=2100", "ENDPAGESIZE"});
    EXPECT_EQ(p.Name(), "A5");
    EXPECT_EQ(p.PaperSize(), 11);

    p.SetARTemplate({"PAGESIZE", "  NAME=A4", "  WIDTH=2000", "  HEIGHT=2970", "ENDPAGESIZE"});
    EXPECT_EQ(p.Name(), "------");

    p.SetName("A3");
    p.SetARTemplate({"  pagesize", "  NAME=A4"});
    EXPECT_EQ(p.Name(), "A3") << "a block not starting with PAGESIZE changes nothing";
}

// The case-insensitive comparison of names and texts gives what Qt's own
// gives, for ASCII, for letters beyond it and for characters of two units.
TEST(ARRepCommon, EqualsIgnoringCaseIsQtsCaseInsensitiveComparison)
{
    const QString samples[] = {QString(), "a", "A", "Page", "PAGE", "pagE", "Pages", "pag", "[N]", "[n]", "a_b",
                               "A_B", "@", "`", "[", "{", "caf\u00e9", "CAF\u00c9", "caf\u00e8", "stra\u00dfe",
                               "STRASSE", "\u03a3\u03b9", "\u03c3\u03b9", QString::fromUcs4(U"\U00010400x"),
                               QString::fromUcs4(U"\U00010428X"), QString::fromUcs4(U"\U00010401x")};
    for (const QString& a : samples)
        for (const QString& b : samples)
            EXPECT_EQ(ar::EqualsIgnoringCase(a, b), QString::compare(a, b, Qt::CaseInsensitive) == 0)
                << a.toStdString() << " / " << b.toStdString();
}
