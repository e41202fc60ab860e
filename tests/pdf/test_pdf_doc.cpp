// The document and its file: object numbering, the exact bytes of one- and
// two-page files, the cross-reference table, and the files read back by
// outside tools.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>

#include "PdfTestSupport.h"
#include "TestSupport.h"

using namespace fc::pdf;
using namespace fc::test;

namespace {

const QString kSample = QStringLiteral("Umidit\u00E0 50% \u2013 1.234,50 \u20AC \u00B7 12 \u00B0C \u00B7 m\u00B3/h");
const char kSampleBytes[] = "Umidit\xE0 50% \x96 1.234,50 \x80 \xB7 12 \xB0" "C \xB7 m\xB3/h";

// The expected file for a list of objects: header, the objects, then the
// table with the offsets where each object was put, and the trailer.
QByteArray FileOf(const QList<QByteArray>& objects)
{
    QByteArray out("%PDF-1.2 \r\n");
    QList<qsizetype> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets.append(out.size());
        out += QByteArray::number(i + 1) + " 0 obj\r\n" + objects[i] + "\r\nendobj\r\n";
    }
    const qsizetype xref = out.size();
    out += "xref\r\n0 " + QByteArray::number(objects.size() + 1) + "\r\n0000000000 65535 f\r\n";
    for (qsizetype o : offsets)
        out += QByteArray::number(o).rightJustified(10, '0') + " 00000 n\r\n";
    out += "trailer\r\n<<\r\n/Size " + QByteArray::number(objects.size() + 1)
           + "\r\n/Root 1 0 R\r\n/Info 2 0 R\r\n>>\r\nstartxref\r\n" + QByteArray::number(xref) + "\r\n%%EOF\r\n";
    return out;
}

QByteArray Stream(const QByteArray& data)
{
    return "<<\r\n/Length " + QByteArray::number(data.size()) + "\r\n/Filter []\r\n>>\r\nstream\r\n" + data
           + "\nendstream";
}

QByteArray Page(int contents)
{
    return "<<\r\n/Type /Page\r\n/Parent 3 0 R\r\n/MediaBox [0 0 596 842 ]\r\n/Resources <<\r\n/Font <<\r\n/F0 6 0 "
           "R\r\n>>\r\n/XObject <<\r\n>>\r\n/ProcSet [/PDF /Text /ImageC ]\r\n>>\r\n/Contents "
           + QByteArray::number(contents) + " 0 R\r\n>>";
}

const QByteArray kCatalog = "<<\r\n/Type /Catalog\r\n/Pages 3 0 R\r\n>>";
const QByteArray kInfo =
    "<<\r\n/Producer (PdfWriter version 0.9)\r\n/CreationDate (D:00000000000000)\r\n/ModDate (D:00000000000000)\r\n>>";
const QByteArray kHelvetica = "<<\r\n/Type /Font\r\n/Subtype /Type1\r\n/Encoding /WinAnsiEncoding\r\n/FirstChar "
                              "32\r\n/LastChar 255\r\n/BaseFont /Helvetica\r\n/Name /F0\r\n>>";

} // namespace

TEST(PdfDoc, OnePageFileByteForByte)
{
    TPdfDoc doc;
    doc.NewDoc();
    doc.AddPage();
    doc.GetCanvas()->TextOut(21, 812, kSample);
    const QByteArray pdf = doc.SaveToBytes();

    const QByteArray content = QByteArray("/F0 10 Tf\nBT\n21 812 Td\n(") + kSampleBytes + ") Tj\nET\n";
    const QByteArray expected = FileOf({
        kCatalog,
        kInfo,
        "<<\r\n/Type /Pages\r\n/Kids [4 0 R ]\r\n/Count 1\r\n>>",
        Page(5),
        Stream(content),
        kHelvetica,
    });
    EXPECT_EQ(MaskDates(pdf), expected);
    EXPECT_TRUE(pdf.contains("\r\n0000000011 00000 n\r\n"));
    ExpectXrefConsistent(pdf);
    ExpectQpdfCheck(pdf);
    EXPECT_EQ(PdfToText(pdf), QStringLiteral("Umidit\u00E0 50% \u2013 1.234,50 \u20AC \u00B7 12 \u00B0C \u00B7 m\u00B3/h"));
}

TEST(PdfDoc, TwoPageFileSharesTheFontObject)
{
    TPdfDoc doc;
    doc.NewDoc();
    doc.AddPage();
    doc.GetCanvas()->TextOut(21, 812, QStringLiteral("one"));
    doc.AddPage();
    doc.GetCanvas()->TextOut(21, 812, QStringLiteral("two"));
    const QByteArray pdf = doc.SaveToBytes();

    const QByteArray expected = FileOf({
        kCatalog,
        kInfo,
        "<<\r\n/Type /Pages\r\n/Kids [4 0 R 7 0 R ]\r\n/Count 2\r\n>>",
        Page(5),
        Stream("/F0 10 Tf\nBT\n21 812 Td\n(one) Tj\nET\n"),
        kHelvetica,
        Page(8),
        Stream("/F0 10 Tf\nBT\n21 812 Td\n(two) Tj\nET\n"),
    });
    EXPECT_EQ(MaskDates(pdf), expected);
    ExpectXrefConsistent(pdf);
    ExpectQpdfCheck(pdf);
    QStringList pages = PdfToText(pdf).split(QChar('\f'));
    for (QString& p : pages)
        p = p.trimmed();
    EXPECT_EQ(pages, QStringList({"one", "two"}));
}

TEST(PdfDoc, TenPagesAreCountedInOrder)
{
    TPdfDoc doc;
    doc.NewDoc();
    for (int i = 0; i < 10; ++i)
        doc.AddPage();
    EXPECT_EQ(doc.RootPages()->NumberByName(QStringLiteral("Count"))->Value(), 10);
    TPdfArray* kids = doc.RootPages()->ArrayByName(QStringLiteral("Kids"));
    ASSERT_EQ(kids->ItemCount(), 10);
    // Page, contents, the font of the first page, then page and contents.
    EXPECT_EQ(kids->Items(0)->ObjectNumber(), 4);
    for (int i = 1; i < 10; ++i)
        EXPECT_EQ(kids->Items(i)->ObjectNumber(), 7 + 2 * (i - 1));
    const QByteArray pdf = doc.SaveToBytes();
    ExpectXrefConsistent(pdf);
    ExpectQpdfCheck(pdf);
}

TEST(PdfDoc, StateErrors)
{
    TPdfDoc doc;
    EXPECT_EQ(MessageOf([&] { doc.AddPage(); }), QStringLiteral("AddPage --current pages null."));
    EXPECT_EQ(MessageOf([&] { doc.SaveToBytes(); }), QStringLiteral("SaveToStream --there is no document to save."));
    EXPECT_EQ(MessageOf([&] { doc.GetCanvas(); }), QStringLiteral("GetCanvas --Document is null"));
    EXPECT_EQ(MessageOf([&] { doc.GetFont(QStringLiteral("Arial")); }), QStringLiteral("GetFont --document is null."));
    EXPECT_THROW(doc.AddPage(), EPdfInvalidOperation);
    doc.NewDoc();
    EXPECT_EQ(MessageOf([&] { doc.SaveToBytes(); }), QStringLiteral("GetPage --the Page is nil"));
    doc.AddPage();
    ExpectQpdfCheck(doc.SaveToBytes());
    doc.FreeDoc();
    EXPECT_FALSE(doc.HasDoc());
    EXPECT_EQ(MessageOf([&] { doc.AddPage(); }), QStringLiteral("AddPage --current pages null."));
    // A new document on the same object numbers from 1 again.
    doc.NewDoc();
    doc.AddPage();
    const QByteArray again = doc.SaveToBytes();
    ExpectXrefConsistent(again);
    ExpectQpdfCheck(again);
}

TEST(PdfDoc, SavingAgainRewritesFromTheStartAndCutsTheOldTail)
{
    TPdfDoc doc;
    doc.NewDoc();
    doc.AddPage();
    for (int i = 0; i < 20; ++i)
        doc.GetCanvas()->TextOut(21, 800 - 12 * i, QStringLiteral("a long line of text %1").arg(i));
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    doc.SaveToStream(buffer);
    const QByteArray first = buffer.data();
    ExpectQpdfCheck(first);

    doc.SaveToStream(buffer);
    EXPECT_EQ(MaskDates(buffer.data()), MaskDates(first)); // only the dates may differ

    doc.NewDoc();
    doc.AddPage();
    doc.SaveToStream(buffer);
    EXPECT_LT(buffer.data().size(), first.size());
    EXPECT_TRUE(buffer.data().endsWith("%%EOF\r\n"));
    ExpectXrefConsistent(buffer.data());
    ExpectQpdfCheck(buffer.data());

    // The same over a file.
    ScopedProgramFolder folder;
    QFile file(folder.file(QStringLiteral("out.pdf")));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.write(first);
    doc.SaveToStream(file);
    file.close();
    const QByteArray onDisk = readFile(folder.file(QStringLiteral("out.pdf")));
    EXPECT_EQ(MaskDates(onDisk), MaskDates(buffer.data()));
}

TEST(PdfDoc, FailedWriteIsReported)
{
    TPdfDoc doc;
    doc.NewDoc();
    doc.AddPage();
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_THROW(doc.SaveToStream(readOnly), EFileError);
}

TEST(PdfDoc, XObjectRegistration)
{
    TPdfDoc doc;
    doc.NewDoc();
    doc.AddPage();
    auto makeImage = [] {
        TPdfBitmap bmp(1, 1, pf24bit);
        return CreatePdfImage(&bmp, QStringLiteral("Pdf-Bitmap"));
    };
    TPdfImage* first = makeImage();
    doc.AddXObject(QStringLiteral("Imm1"), first);
    EXPECT_EQ(first->ObjectNumber(), 7);
    EXPECT_EQ(doc.GetXObject(QStringLiteral("Imm1")), first);
    EXPECT_EQ(doc.GetXObject(QStringLiteral("imm1")), nullptr);

    std::unique_ptr<TPdfImage> second(makeImage());
    EXPECT_EQ(MessageOf([&] { doc.AddXObject(QStringLiteral("Imm1"), second.get()); }),
              QStringLiteral("AddImage --the image named Imm1 is already exists.."));
    EXPECT_EQ(doc.GetXObject(QStringLiteral("Imm1")), first);
    EXPECT_EQ(second->ObjectType(), otDirectObject); // still the caller's

    EXPECT_EQ(MessageOf([&] { doc.AddXObject(QStringLiteral("X"), nullptr); }),
              QStringLiteral("AddImage --the image is not valid TPdfImage.."));
    TPdfImage plain;
    EXPECT_EQ(MessageOf([&] { doc.AddXObject(QStringLiteral("X"), &plain); }),
              QStringLiteral("AddImage --the image is not valid TPdfImage.."));

    EXPECT_EQ(MessageOf([&] { doc.RegisterXObject(nullptr, QStringLiteral("X")); }),
              QStringLiteral("RegisterXObject --AObject is null"));
    EXPECT_EQ(MessageOf([&] { doc.RegisterXObject(&plain, QStringLiteral("X")); }),
              QStringLiteral("RegisterXObject --not XObject"));
    auto* form = new TPdfXObject(doc.ObjectMgr());
    form->Attributes()->AddItem(QStringLiteral("Type"), new TPdfName(QStringLiteral("XObject")));
    EXPECT_EQ(MessageOf([&] { doc.RegisterXObject(form, QStringLiteral("Imm1")); }),
              QStringLiteral("RegisterXObject --dupulicate name: Imm1"));
    EXPECT_EQ(form->ObjectType(), otIndirectObject); // numbered before the check: the table owns it
    ExpectQpdfCheck(doc.SaveToBytes());
}

TEST(PdfDoc, OutsideToolsSeeType1WinAnsiFonts)
{
    TPdfDoc doc;
    doc.NewDoc();
    doc.AddPage();
    TPdfCanvas* c = doc.GetCanvas();
    const char* aliases[] = {"Arial-Bold", "Times-Roman", "Times-BoldItalic", "FixedWidth", "Arial-Italic"};
    int y = 800;
    for (const char* a : aliases) {
        c->SetFont(QString::fromLatin1(a), 12);
        c->TextOut(21, y -= 20, kSample);
    }
    const QByteArray pdf = doc.SaveToBytes();
    ExpectQpdfCheck(pdf);
    PdfFile f(pdf);
    const ToolResult r = RunTool(QStringLiteral("pdffonts"), {f.path()});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QList<QByteArray> lines = r.out.split('\n');
    QStringList names;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QByteArray line = lines[i].simplified();
        if (line.isEmpty())
            continue;
        names << QString::fromLatin1(line.split(' ').first());
        EXPECT_TRUE(line.contains(" Type 1 WinAnsi no no no ")) << line.constData();
    }
    EXPECT_EQ(names, QStringList({"Helvetica", "Helvetica-Bold", "Times-Roman", "Times-BoldItalic", "Courier",
                                  "Helvetica-Oblique"}));
    const QString text = PdfToText(pdf);
    EXPECT_EQ(text.count(QStringLiteral("1.234,50 \u20AC")), 5) << text.toStdString();
}

TEST(PdfDoc, OutlinesAndOpenActionWhenAskedFor)
{
    TPdfDoc doc;
    doc.UseOutlines = true;
    doc.NewDoc();
    doc.AddPage();
    doc.AddPage();
    TPdfArray* kids = doc.RootPages()->ArrayByName(QStringLiteral("Kids"));
    auto* page1 = dynamic_cast<TPdfDictionary*>(kids->Items(0));
    auto* page2 = dynamic_cast<TPdfDictionary*>(kids->Items(1));

    EXPECT_EQ(MessageOf([] { TPdfOutlineEntry::CreateEntry(nullptr); }), QStringLiteral("CreateEntry --invalid parent."));
    TPdfOutlineRoot* root = doc.OutlineRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Data()->ObjectNumber(), 2); // right after the catalog
    TPdfOutlineEntry* a = TPdfOutlineEntry::CreateEntry(root);
    a->Title = QStringLiteral("Umidit\u00E0 (m\u00B3/h)");
    a->Opened = true;
    a->Dest = std::make_unique<TPdfDestination>(page1, dtXYZ);
    a->Dest->Top = 800;
    TPdfOutlineEntry* a1 = TPdfOutlineEntry::CreateEntry(a);
    a1->Title = QStringLiteral("child");
    a1->Dest = std::make_unique<TPdfDestination>(page2, dtFitR);
    a1->Dest->Left = 1;
    a1->Dest->Bottom = 2;
    a1->Dest->Right = 3;
    a1->Dest->Top = 4;
    TPdfOutlineEntry* b = TPdfOutlineEntry::CreateEntry(root);
    b->Title = QStringLiteral("closed");
    b->Dest = std::make_unique<TPdfDestination>(page2, dtFit);
    TPdfOutlineEntry::CreateEntry(b)->Title = QStringLiteral("hidden");
    doc.Catalog()->OpenAction = std::make_unique<TPdfDestination>(page2, dtFitH);

    const QByteArray pdf = doc.SaveToBytes();
    ExpectXrefConsistent(pdf);
    ExpectQpdfCheck(pdf);
    const QByteArray masked = MaskDates(pdf);
    EXPECT_TRUE(masked.contains("1 0 obj\r\n<<\r\n/Type /Catalog\r\n/Outlines 2 0 R\r\n/Pages 4 0 R\r\n/OpenAction [8 0 R "
                                "/FitH null ]\r\n>>"));
    EXPECT_EQ(root->Data()->NumberByName(QStringLiteral("Count"))->Value(), 3); // a, its child, b
    EXPECT_EQ(b->Data()->NumberByName(QStringLiteral("Count"))->Value(), -1);
    EXPECT_TRUE(masked.contains("/Dest [5 0 R /XYZ null 800 null ]"));
    EXPECT_TRUE(masked.contains("/Dest [8 0 R /FitR 1 2 3 4 ]"));
    EXPECT_TRUE(masked.contains("/Dest [8 0 R /Fit ]"));

    PdfFile f(pdf);
    const ToolResult r =
        RunTool(QStringLiteral("qpdf"), {QStringLiteral("--json"), QStringLiteral("--json-key=outlines"), f.path()});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QString json = QString::fromUtf8(r.out);
    for (const char* title : {"Umidit\u00E0 (m\u00B3/h)", "child", "closed", "hidden"})
        EXPECT_TRUE(json.contains(QString::fromUtf8(title))) << title;

    // Without a destination the catalog loses the entry again.
    doc.Catalog()->OpenAction.reset();
    const QByteArray second = doc.SaveToBytes();
    EXPECT_FALSE(second.contains("/OpenAction"));
    ExpectQpdfCheck(second);
}
