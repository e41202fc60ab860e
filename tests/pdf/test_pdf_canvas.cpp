// The canvas: operator lines, text state ranges, font selection and
// resources, text measuring.
#include <gtest/gtest.h>

#include <functional>

#include "PdfTestSupport.h"

using namespace fc::pdf;
using namespace fc::test;

namespace {

class PdfCanvasTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.NewDoc();
        doc.AddPage();
        canvas = doc.GetCanvas();
        canvas->Contents()->Stream().clear(); // drop the page's initial font selection
    }
    QByteArray content() const { return canvas->Contents()->Stream(); }
    TPdfDoc doc;
    TPdfCanvas* canvas = nullptr;
};

} // namespace

TEST_F(PdfCanvasTest, OperatorLines)
{
    const struct {
        std::function<void(TPdfCanvas*)> op;
        const char* text;
    } cases[] = {
        {[](TPdfCanvas* c) { c->SaveGraphicsState(); }, "q\n"},
        {[](TPdfCanvas* c) { c->RestoreGraphicsState(); }, "Q\n"},
        {[](TPdfCanvas* c) { c->ConcatMatrix(76, 0, 0, 39.5, 21, 700.125); }, "76 0 0 39.5 21 700.13 cm\n"},
        {[](TPdfCanvas* c) { c->SetLineWidth(0.2); }, "0.2 w\n"},
        {[](TPdfCanvas* c) { c->SetLineWidth(0.8); }, "0.8 w\n"},
        {[](TPdfCanvas* c) { c->MoveTo(20, 822); }, "20 822 m\n"},
        {[](TPdfCanvas* c) { c->LineTo(1.234, -1.234); }, "1.23 -1.22 l\n"},
        {[](TPdfCanvas* c) { c->Stroke(); }, "S\n"},
        {[](TPdfCanvas* c) { c->SelectFont(QStringLiteral("F1"), 12); }, "/F1 12 Tf\n"},
        {[](TPdfCanvas* c) { c->BeginText(); }, "BT\n"},
        {[](TPdfCanvas* c) { c->EndText(); }, "ET\n"},
        {[](TPdfCanvas* c) { c->MoveTextPoint(21, 812); }, "21 812 Td\n"},
        {[](TPdfCanvas* c) { c->ShowText(QStringLiteral("(a)\u20AC")); }, "(\\(a\\)\x80) Tj\n"},
        {[](TPdfCanvas* c) { c->PaintXObject(QStringLiteral("Imm8120")); }, "/Imm8120 Do\n"},
        {[](TPdfCanvas* c) { c->TextOut(21, 812, QStringLiteral("x")); }, "BT\n21 812 Td\n(x) Tj\nET\n"},
    };
    for (const auto& c : cases) {
        canvas->Contents()->Stream().clear();
        c.op(canvas);
        EXPECT_EQ(content(), QByteArray(c.text));
    }
}

TEST_F(PdfCanvasTest, TextStateRanges)
{
    TPdfCanvasAttribute* a = canvas->Attribute();
    const struct {
        const char* what;
        std::function<void()> set;
        bool accepted;
        const char* message;
    } cases[] = {
        {"word 0", [a] { a->SetWordSpace(0); }, true, ""},
        {"word 1000", [a] { a->SetWordSpace(1000); }, true, ""},
        {"word -0.01", [a] { a->SetWordSpace(-0.01f); }, false, "SetWordSpace --invalid word space"},
        {"char -30", [a] { a->SetCharSpace(-30); }, true, ""},
        {"char 300", [a] { a->SetCharSpace(300); }, true, ""},
        {"char -30.5", [a] { a->SetCharSpace(-30.5f); }, false, "SetCharSpace --invalid char space"},
        {"char 300.5", [a] { a->SetCharSpace(300.5f); }, false, "SetCharSpace --invalid char space"},
        {"size 0", [a] { a->SetFontSize(0); }, true, ""},
        {"size 300", [a] { a->SetFontSize(300); }, true, ""},
        {"size -1", [a] { a->SetFontSize(-1); }, false, "SetFontSize --invalid font size"},
        {"size 300.5", [a] { a->SetFontSize(300.5f); }, false, "SetFontSize --invalid font size"},
        {"scaling 10", [a] { a->SetHorizontalScaling(10); }, true, ""},
        {"scaling 300", [a] { a->SetHorizontalScaling(300); }, true, ""},
        {"scaling 9", [a] { a->SetHorizontalScaling(9); }, false, "SetHorizontalScaling --invalid horizontal scaling"},
        {"scaling 301", [a] { a->SetHorizontalScaling(301); }, false, "SetHorizontalScaling --invalid horizontal scaling"},
        {"leading 0", [a] { a->SetLeading(0); }, true, ""},
        {"leading 300", [a] { a->SetLeading(300); }, true, ""},
        {"leading -0.5", [a] { a->SetLeading(-0.5f); }, false, "SetLeading --invalid leading"},
        {"leading 301", [a] { a->SetLeading(301); }, false, "SetLeading --invalid leading"},
    };
    for (const auto& c : cases) {
        const float before[] = {a->WordSpace(), a->CharSpace(), a->FontSize(), float(a->HorizontalScaling()),
                                a->Leading()};
        const QString m = MessageOf(c.set);
        if (c.accepted) {
            EXPECT_EQ(m, QStringLiteral("<no exception>")) << c.what;
        } else {
            EXPECT_EQ(m, QString::fromLatin1(c.message)) << c.what;
            const float after[] = {a->WordSpace(), a->CharSpace(), a->FontSize(), float(a->HorizontalScaling()),
                                   a->Leading()};
            EXPECT_TRUE(std::equal(std::begin(before), std::end(before), std::begin(after))) << c.what;
        }
    }
}

TEST_F(PdfCanvasTest, NewPageStartsWithArialTenAndDefaults)
{
    TPdfDoc d;
    d.NewDoc();
    d.AddPage();
    TPdfCanvasAttribute* a = d.GetCanvas()->Attribute();
    EXPECT_EQ(d.GetCanvas()->Contents()->Stream(), "/F0 10 Tf\n");
    EXPECT_EQ(a->Font()->Name(), QStringLiteral("Arial"));
    EXPECT_EQ(a->FontSize(), 10);
    EXPECT_EQ(a->HorizontalScaling(), 100);
    EXPECT_EQ(a->CharSpace(), 0);
    EXPECT_EQ(a->WordSpace(), 0);
    EXPECT_EQ(a->Leading(), 0);
    // Leaving a page stores its text state in hidden entries.
    d.GetCanvas()->SetFont(QStringLiteral("Times-Bold"), 14);
    TPdfDictionary* first = d.GetCanvas()->GetPage();
    d.AddPage();
    EXPECT_EQ(first->NameByName(QStringLiteral("_Font"))->Value(), QStringLiteral("Times-Bold"));
    EXPECT_EQ(first->RealByName(QStringLiteral("_Font_Size"))->Value(), 14);
    EXPECT_EQ(first->NumberByName(QStringLiteral("_HScalling"))->Value(), 100);
    const QByteArray pdf = d.SaveToBytes();
    EXPECT_FALSE(pdf.contains("_Font"));
    ExpectQpdfCheck(pdf);
    // Returning to it restores that state without writing anything.
    d.GetCanvas()->SetPage(first);
    EXPECT_EQ(a->Font()->Name(), QStringLiteral("Times-Bold"));
    EXPECT_EQ(a->FontSize(), 14);
    EXPECT_TRUE(d.GetCanvas()->Contents()->Stream().endsWith("/F1 14 Tf\n"));
}

TEST_F(PdfCanvasTest, SetFontWritesOnlyChangesAndAddsResources)
{
    canvas->SetFont(QStringLiteral("Arial"), 10); // already selected by the page
    EXPECT_EQ(content(), "");
    canvas->SetFont(QStringLiteral("Arial"), 12);
    canvas->SetFont(QStringLiteral("Arial"), 12);
    EXPECT_EQ(content(), "/F0 12 Tf\n");
    canvas->SetFont(QStringLiteral("Times-Roman"), 12);
    canvas->SetFont(QStringLiteral("ARIAL"), 12); // another font object for another spelling
    EXPECT_EQ(content(), "/F0 12 Tf\n/F1 12 Tf\n/F2 12 Tf\n");
    TPdfDictionary* fonts = doc.GetResource(canvas->GetPage(), QStringLiteral("Font"));
    EXPECT_EQ(fonts->ItemCount(), 3);
    EXPECT_EQ(doc.FontCount(), 3);
    EXPECT_EQ(doc.GetFont(QStringLiteral("ARIAL"))->Data()->NameByName(QStringLiteral("BaseFont"))->Value(),
              QStringLiteral("Helvetica"));

    // A bad size is refused before anything is written or changed.
    EXPECT_EQ(MessageOf([&] { canvas->SetFont(QStringLiteral("Times-Bold"), 301); }),
              QStringLiteral("SetFontSize --invalid font size"));
    EXPECT_EQ(content(), "/F0 12 Tf\n/F1 12 Tf\n/F2 12 Tf\n");
    EXPECT_EQ(canvas->Attribute()->Font()->Name(), QStringLiteral("ARIAL"));
    EXPECT_EQ(doc.FontCount(), 3);

    EXPECT_EQ(MessageOf([&] { canvas->SetFont(QStringLiteral("Times-Roman-Bold"), 10); }),
              QStringLiteral("Class Times-Roman-Bold not found"));
    EXPECT_THROW(canvas->SetFont(QStringLiteral("Arial Bold"), 10), EClassNotFound);
    ExpectQpdfCheck(doc.SaveToBytes());
}

TEST_F(PdfCanvasTest, DrawXObjectPaintsTheUnitSquareIntoTheRectangle)
{
    EXPECT_EQ(MessageOf([&] { canvas->DrawXObject(21, 700, 76, 39, QStringLiteral("Imm0")); }),
              QStringLiteral("DrawXObject --XObject not found: Imm0"));
    EXPECT_EQ(content(), "");
    TPdfBitmap bmp(2, 2, pf24bit);
    doc.AddXObject(QStringLiteral("Imm0"), CreatePdfImage(&bmp, QStringLiteral("Pdf-Bitmap")));
    canvas->DrawXObject(21, 700, 76, 39, QStringLiteral("Imm0"));
    canvas->DrawXObject(21, 600, 76, 39, QStringLiteral("Imm0"));
    EXPECT_EQ(content(), "q\n76 0 0 39 21 700 cm\n/Imm0 Do\nQ\nq\n76 0 0 39 21 600 cm\n/Imm0 Do\nQ\n");
    TPdfDictionary* x = doc.GetResource(canvas->GetPage(), QStringLiteral("XObject"));
    EXPECT_EQ(x->ItemCount(), 1);
    ExpectQpdfCheck(doc.SaveToBytes());
}

TEST_F(PdfCanvasTest, WritingWithoutAPageWritesNothing)
{
    TPdfDoc d;
    EXPECT_EQ(MessageOf([&] { d.Canvas()->GetPage(); }), QStringLiteral("GetPage --the Page is nil"));
    EXPECT_NO_THROW(d.Canvas()->TextOut(1, 2, QStringLiteral("x")));
    EXPECT_EQ(d.Canvas()->Contents(), nullptr);
}

TEST_F(PdfCanvasTest, MeasureText)
{
    TPdfCanvasAttribute* a = canvas->Attribute(); // Helvetica 10: "A" 6.67, blank 2.78
    const struct {
        const char* text;
        float width;
        float wordSpace;
        float charSpace;
        quint16 scaling;
        int fits;
    } cases[] = {
        {"", 100, 0, 0, 100, 0},
        {"AAA", 100, 0, 0, 100, 3},
        {"AAA", 20, 0, 0, 100, 2},
        {"AAA", 6.6f, 0, 0, 100, 0},       // wider than the width at its first character
        {"A A", 16.2f, 0, 0, 100, 3},
        {"A A", 16.2f, 5, 0, 100, 2},      // word space after an inner blank
        {"A ", 9.5f, 5, 0, 100, 2},        // but never after a trailing one
        {"AAA", 22, 0, 1, 100, 2},         // char space after each: 3 x 7.67 > 22
        {"AA\tA", 23.1f, 0, 1, 100, 4},    // a TAB has no width and gets no char space
        {"AAAA", 13.4f, 0, 0, 50, 4},      // half width: 4 x 3.335
    };
    for (const auto& c : cases) {
        a->SetWordSpace(c.wordSpace);
        a->SetCharSpace(c.charSpace);
        a->SetHorizontalScaling(c.scaling);
        EXPECT_EQ(canvas->MeasureText(QString::fromLatin1(c.text), c.width), c.fits)
            << c.text << " " << c.width;
    }
    a->SetCharSpace(0);
    a->SetWordSpace(0);
    a->SetHorizontalScaling(100);
    // Characters outside WinAnsi measure as "?" (556), as they are written.
    EXPECT_EQ(canvas->MeasureText(QStringLiteral("\u4E2D\u4E2D"), 11.2f), 2);
    EXPECT_EQ(canvas->MeasureText(QStringLiteral("\u4E2D\u4E2D"), 11.1f), 1);
    EXPECT_EQ(canvas->MeasureText(QStringLiteral("\u20AC"), 5.56f), 1);
}
