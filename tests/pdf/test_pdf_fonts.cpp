// The standard fonts: aliases in the class registry, their dictionaries and
// the WinAnsi width tables.
#include <gtest/gtest.h>

#include "PdfTestSupport.h"
#include "platform/ClassRegistry.h"

using namespace fc::pdf;
using namespace fc::test;

namespace {

class PdfFontsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.NewDoc();
        doc.AddPage();
    }
    TPdfType1Font* font(const char* alias) { return dynamic_cast<TPdfType1Font*>(doc.GetFont(QString::fromLatin1(alias))); }
    int width(const char* alias, const QString& ch) { return font(alias)->GetCharWidth(ch, 1); }
    TPdfDoc doc;
};

} // namespace

TEST_F(PdfFontsTest, AliasesSelectTheirBaseFonts)
{
    const struct {
        const char* alias;
        const char* baseFont;
    } cases[] = {
        {"FixedWidth", "Courier"},
        {"FixedWidth-Bold", "Courier-Bold"},
        {"FixedWidth-Italic", "Courier-Oblique"},
        {"FixedWidth-BoldItalic", "Courier-BoldOblique"},
        {"Arial", "Helvetica"},
        {"Arial-Bold", "Helvetica-Bold"},
        {"Arial-Italic", "Helvetica-Oblique"},
        {"Arial-BoldItalic", "Helvetica-BoldOblique"},
        {"Times-Roman", "Times-Roman"},
        {"Times-Bold", "Times-Bold"},
        {"Times-Italic", "Times-Italic"},
        {"Times-BoldItalic", "Times-BoldItalic"},
        {"aRiAl", "Helvetica"},
        {"ARIAL-BOLD", "Helvetica-Bold"},
    };
    for (const auto& c : cases) {
        TPdfType1Font* f = font(c.alias);
        ASSERT_NE(f, nullptr) << c.alias;
        EXPECT_EQ(f->Name(), QString::fromLatin1(c.alias));
        EXPECT_EQ(f->Data()->NameByName(QStringLiteral("BaseFont"))->Value(), QString::fromLatin1(c.baseFont));
        EXPECT_EQ(f->FirstChar(), 32);
        EXPECT_EQ(f->LastChar(), 255);
    }
    EXPECT_TRUE(dynamic_cast<TPdfArialBold*>(doc.GetFont(QStringLiteral("ARIAL-BOLD"))));
    // Resource names in the order of first use; a second use makes nothing.
    EXPECT_EQ(doc.FontCount(), 14);
    EXPECT_EQ(doc.GetFont(QStringLiteral("Arial"))->Data()->NameByName(QStringLiteral("Name"))->Value(),
              QStringLiteral("F0"));
    EXPECT_EQ(doc.GetFont(QStringLiteral("FixedWidth"))->Data()->NameByName(QStringLiteral("Name"))->Value(),
              QStringLiteral("F1"));
    EXPECT_EQ(doc.FontCount(), 14);

    for (const char* bad : {"Arial Bold", "Helvetica", "Verdana", "Times-Roman-Bold", "Pdf-Bitmap"}) {
        try {
            doc.GetFont(QString::fromLatin1(bad));
            ADD_FAILURE() << bad;
        } catch (const EClassNotFound& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Class %1 not found").arg(QString::fromLatin1(bad)));
        }
    }
}

TEST_F(PdfFontsTest, FontDictionaryHidesItsWidths)
{
    QByteArray s;
    doc.GetFont(QStringLiteral("Times-Italic"))->Data()->WriteIndirectToStream(s);
    EXPECT_EQ(s, "7 0 obj\r\n<<\r\n/Type /Font\r\n/Subtype /Type1\r\n/Encoding /WinAnsiEncoding\r\n/FirstChar "
                 "32\r\n/LastChar 255\r\n/BaseFont /Times-Italic\r\n/Name /F1\r\n>>\r\nendobj\r\n");
    EXPECT_EQ(doc.GetFont(QStringLiteral("Times-Italic"))->Data()->ArrayByName(QStringLiteral("Widths"))->ItemCount(),
              224);
}

TEST_F(PdfFontsTest, SampleWidths)
{
    const struct {
        const char* alias;
        char16_t ch;
        int width;
    } cases[] = {
        {"Arial", ' ', 278},        {"Arial-Bold", ' ', 278},      {"Times-Roman", ' ', 250},
        {"Times-Bold", ' ', 250},   {"Times-Italic", ' ', 250},    {"Times-BoldItalic", ' ', 250},
        {"Arial", '0', 556},        {"Arial-Bold", '9', 556},      {"Times-Roman", '5', 500},
        {"Times-BoldItalic", '1', 500},
        {"Arial", 'A', 667},        {"Arial-Bold", 'A', 722},      {"Times-Roman", 'A', 722},
        {"Times-Bold", 'A', 722},   {"Times-Italic", 'A', 611},    {"Times-BoldItalic", 'A', 667},
        {"Arial-Italic", 'A', 667}, {"Arial-BoldItalic", 'A', 722},
        {"Arial", '@', 1015},       {"Arial-Bold", '@', 975},
        {"Arial", u'\u20AC', 556},  {"Arial-Bold", u'\u20AC', 556}, {"Times-Roman", u'\u20AC', 500},
        {"Times-BoldItalic", u'\u20AC', 500},
        {"Arial", u'\u00A0', 278},  {"Times-Roman", u'\u00A0', 250}, {"Arial", u'\u00AD', 0}, // written as a blank
        {"Arial", '\t', 0},         {"Times-Bold", '\r', 0},       {"Arial", u'\u0001', 0},
        {"Arial", u'\u00E0', 556},  {"Arial", u'\u2013', 556},     {"Arial", u'\u00B0', 400},
        {"Arial", u'\u00B3', 333},  {"Arial", u'\u00B7', 278},     {"Times-Roman", u'\u2019', 333},
        {"Arial", u'\u202F', 278},  {"Arial", u'\u2007', 278},     {"Arial", u'\u4E2D', 556}, // blank, blank, "?"
        {"FixedWidth-Bold", 'i', 600}, {"FixedWidth", u'\u20AC', 600},
    };
    for (const auto& c : cases)
        EXPECT_EQ(width(c.alias, QString(QChar(c.ch))), c.width) << c.alias << " " << int(c.ch);
}

TEST_F(PdfFontsTest, FixedPointsOfTheTables)
{
    for (const char* alias : {"Arial", "Arial-Bold", "Arial-Italic", "Arial-BoldItalic", "Times-Roman", "Times-Bold",
                              "Times-Italic", "Times-BoldItalic"}) {
        TPdfType1Font* f = font(alias);
        for (int code : {127, 129, 141, 143, 144, 157, 160, 173})
            EXPECT_EQ(f->Width(code), 0) << alias << " " << code;
        for (int code = 0; code < 32; ++code)
            EXPECT_EQ(f->Width(code), 0) << alias << " " << code;
    }
    for (const char* alias : {"FixedWidth", "FixedWidth-Bold", "FixedWidth-Italic", "FixedWidth-BoldItalic"}) {
        TPdfType1Font* f = font(alias);
        for (int code = 32; code < 256; ++code)
            ASSERT_EQ(f->Width(code), 600) << alias << " " << code;
    }
    // The oblique faces share the upright widths.
    for (int code = 32; code < 256; ++code) {
        EXPECT_EQ(font("Arial-Italic")->Width(code), font("Arial")->Width(code)) << code;
        EXPECT_EQ(font("Arial-BoldItalic")->Width(code), font("Arial-Bold")->Width(code)) << code;
    }
    // Position is 1-based; outside the text there is nothing to measure.
    TPdfFont* arial = doc.GetFont(QStringLiteral("Arial"));
    EXPECT_EQ(arial->GetCharWidth(QStringLiteral("iW"), 2), 944);
    EXPECT_EQ(arial->GetCharWidth(QStringLiteral("iW"), 3), 0);
    EXPECT_EQ(arial->GetCharWidth(QStringLiteral("a\U0001F600"), 2), 556); // "?"
    EXPECT_EQ(arial->GetCharWidth(QStringLiteral("a\U0001F600"), 3), 0);   // its second half
}
