// The automation object model: its files read back, its failures.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <functional>

#include "TestSupport.h"
#include "ZipRead.h"
#include "platform/Office.h"
#include "platform/ShellOpen.h"

using namespace fc::office;
using fc::test::ReadZipMember;

namespace {

bool WellFormed(const QByteArray& xml)
{
    QXmlStreamReader r(xml);
    while (!r.atEnd())
        r.readNext();
    return !r.hasError() && !xml.isEmpty();
}

struct Files {
    QTemporaryDir dir;
    RecordingShellOpen shell;
    FileOffice office;
    Files()
    {
        office.SetOutputFolder(dir.filePath(QStringLiteral("shown")));
        office.SetShell(&shell);
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
};

} // namespace

TEST(Office, EmptyReferenceRaises)
{
    OleRef<ExcelApplication> none;
    EXPECT_FALSE(none);
    EXPECT_EQ(fc::test::MessageOf([&] { none->SetVisible(true); }),
              QStringLiteral("Variant does not reference an automation object"));
}

TEST(Office, RecordingLogsEveryAccess)
{
    RecordingOffice office;
    OleRef<ExcelApplication> app = office.CreateExcel();
    app->Workbooks()->Add();
    app->ActiveSheet()->Cells(2, 3)->Font()->SetBold(true);
    EXPECT_EQ(office.Lines(), (QStringList{
                                  QStringLiteral("Excel.Workbooks"),
                                  QStringLiteral("Excel.Workbooks.Add"),
                                  QStringLiteral("Excel.ActiveSheet"),
                                  QStringLiteral("Sheet1.Cells(2,3)"),
                                  QStringLiteral("Sheet1.Cells(2,3).Font"),
                                  QStringLiteral("Sheet1.Cells(2,3).Font.Bold := True"),
                              }));
    // A scripted failure at one access; after Quit every access fails.
    office.OnAccess = [](const Access& a) {
        if (a.member == QLatin1String("Merge"))
            throw EOleError(QStringLiteral("refused"));
    };
    EXPECT_THROW(app->ActiveSheet()->Range(QStringLiteral("A1:B2"))->Merge(), EOleError);
    app->Quit();
    EXPECT_THROW(app->Workbooks(), EOleError);
    EXPECT_THROW(app->ActiveSheet()->Range(QStringLiteral("1A")), EOleError);
}

TEST(Office, WorkbookReadsBack)
{
    fc::test::ScopedSeparators sep('.', ',');
    Files f;
    OleRef<ExcelApplication> app = f.office.CreateExcel();
    app->SetSheetsInNewWorkbook(1);
    OleRef<ExcelWorkbook> book = app->Workbooks()->Add();
    OleRef<ExcelSheet> sh = app->ActiveSheet();
    sh->Columns(1)->SetNumberFormat(QStringLiteral("@"));
    sh->SetCells(1, 1, QStringLiteral("0012"));
    sh->SetCells(1, 2, QStringLiteral("12.5"));
    sh->Cells(1, 3)->SetValue(QStringLiteral("=1+2"));
    sh->SetCells(2, 1, QStringLiteral("two\nlines & <more>"));
    sh->Range(sh->Cells(2, 1), sh->Cells(3, 2))->Merge();
    sh->Rows(4)->SetRowHeight(0);
    sh->Columns(2)->SetColumnWidth(20);
    sh->Cells(1, 1)->Font()->SetBold(true);
    sh->Cells(1, 1)->Interior()->SetColor(clRed);
    sh->Range(QStringLiteral("A1:C3"))->Select();
    app->Selection()->Borders(xlEdgeLeft)->SetLineStyle(xlContinuous);
    EXPECT_DOUBLE_EQ(sh->Columns(2)->Width(), 108.75) << "20 characters: 145 pixels";
    EXPECT_DOUBLE_EQ(sh->Columns(3)->Width(), 48);

    const QString file = f.Path(QStringLiteral("out.xlsx"));
    book->SaveAs(file);
    const QByteArray xml = ReadZipMember(file, "xl/worksheets/sheet1.xml");
    const QByteArray strings = ReadZipMember(file, "xl/sharedStrings.xml");
    ASSERT_TRUE(WellFormed(xml)) << xml.constData();
    ASSERT_TRUE(WellFormed(strings));
    EXPECT_TRUE(xml.contains("<mergeCell ref=\"A2:B3\"/>")) << xml.constData();
    EXPECT_TRUE(xml.contains("<row r=\"4\" hidden=\"1\"/>")) << xml.constData();
    EXPECT_TRUE(xml.contains("<c r=\"A1\" s=\"")) << "formatted";
    EXPECT_TRUE(xml.contains("t=\"s\"><v>0</v>")) << "text kept as text";
    EXPECT_TRUE(xml.contains("<c r=\"B1\"><v>12.5</v></c>")) << "General reads a number";
    EXPECT_TRUE(xml.contains("<f>1+2</f>"));
    EXPECT_TRUE(xml.contains("<col min=\"2\" max=\"2\" width=\"20.7109375\""));
    EXPECT_TRUE(strings.contains("<t>0012</t>"));
    EXPECT_TRUE(strings.contains("two\nlines &amp; &lt;more&gt;"));
    const QByteArray styles = ReadZipMember(file, "xl/styles.xml");
    EXPECT_TRUE(styles.contains("FFFF0000")) << "the red fill";
    EXPECT_TRUE(f.shell.opened.isEmpty()) << "saving shows nothing";
    EXPECT_TRUE(QDir(f.dir.path()).entryList(QStringList{QStringLiteral(".*tmp")}, QDir::Hidden | QDir::Files).isEmpty());
}

TEST(Office, VisibleWritesAndOpensWhatChanged)
{
    Files f;
    OleRef<ExcelApplication> app = f.office.CreateExcel();
    app->Workbooks()->Add();
    app->ActiveSheet()->SetCells(1, 1, QStringLiteral("x"));
    app->SetVisible(true);
    const QString shown = QDir(f.office.OutputFolder()).filePath(QStringLiteral("Book1.xlsx"));
    EXPECT_EQ(f.shell.opened, QStringList{shown});
    EXPECT_TRUE(ReadZipMember(shown, "xl/sharedStrings.xml").contains("<t>x</t>"));
    app->SetVisible(true);
    EXPECT_EQ(f.shell.opened.size(), 1) << "nothing changed since";
    // A name already taken is not overwritten by another workbook.
    OleRef<ExcelApplication> second = f.office.CreateExcel();
    second->Workbooks()->Add();
    second->SetVisible(true);
    EXPECT_EQ(f.shell.opened.back(), QDir(f.office.OutputFolder()).filePath(QStringLiteral("Book2.xlsx")));
    // The desktop cannot open it: the call fails with the file's name.
    f.shell.result = false;
    second->ActiveSheet()->SetCells(1, 1, QStringLiteral("y"));
    EXPECT_TRUE(fc::test::MessageOf([&] { second->SetVisible(true); }).contains(QStringLiteral("Book2.xlsx")));
}

TEST(Office, FailedWritesRaiseWithTheFileName)
{
    Files f;
    const QString missing = f.Path(QStringLiteral("no/such/folder/out"));
    OleRef<ExcelApplication> app = f.office.CreateExcel();
    OleRef<ExcelWorkbook> book = app->Workbooks()->Add();
    EXPECT_TRUE(fc::test::MessageOf([&] { book->SaveAs(missing + QStringLiteral(".xlsx")); })
                    .startsWith(QStringLiteral("Cannot save \"%1.xlsx\"").arg(missing)));
    EXPECT_THROW(book->SaveAs(f.dir.path()), EFileError) << "a folder of that name";
    OleRef<WordDocument> doc = f.office.CreateWordDocument();
    EXPECT_TRUE(fc::test::MessageOf([&] { doc->SaveAs(missing + QStringLiteral(".docx")); })
                    .startsWith(QStringLiteral("Cannot save \"%1.docx\"").arg(missing)));
    // Nothing is left under the name when the write fails.
    EXPECT_FALSE(QFileInfo::exists(missing + QStringLiteral(".docx")));
}

// The disk fills up while a workbook or document is written over an older
// one of the same name: the older file stays whole and the message says
// which file and why, in the system's words.
TEST(Office, WriteThatFailsPartWayKeepsTheOldFileAndSaysWhy)
{
    Files f;
    const QByteArray old(512, 'o');
    const std::function<void(const QString&)> writers[] = {
        [&](const QString& name) {
            OleRef<ExcelApplication> app = f.office.CreateExcel();
            OleRef<ExcelWorkbook> book = app->Workbooks()->Add();
            for (int r = 1; r <= 200; ++r)
                app->ActiveSheet()->SetCells(r, 1, QStringLiteral("row %1 of a workbook that needs room").arg(r));
            book->SaveAs(name);
        },
        [&](const QString& name) {
            OleRef<WordDocument> doc = f.office.CreateWordDocument();
            // Text that does not compress to nothing.
            QString text;
            quint32 seed = 1;
            for (int k = 0; k < 20000; ++k) {
                seed = seed * 1103515245u + 12345u;
                text += QChar(u'a' + (seed >> 16) % 26);
            }
            doc->Range()->SetText(text);
            doc->SaveAs(name);
        },
    };
    const char* names[] = {"Book.xlsx", "Doc.docx"};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(names[i]);
        const QString name = f.Path(QLatin1String(names[i]));
        QFile out(name);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(old);
        out.close();
        QString message;
        {
            fc::test::ScopedFileSizeLimit limit(old.size() + 100);
            message = fc::test::MessageOf([&] { writers[i](name); });
        }
        EXPECT_EQ(message, QStringLiteral("Cannot save \"%1\": %2").arg(name, fc::test::fileTooLargeText()));
        EXPECT_EQ(fc::test::readFile(name), old);
    }
    EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"Book.xlsx", "Doc.docx"}));
}

TEST(Office, DocumentTableReadsBack)
{
    Files f;
    OleRef<WordDocument> doc = f.office.CreateWordDocument();
    OleRef<WordApplication> app = doc->Application();
    EXPECT_EQ(app->Version(), QStringLiteral("16.0"));
    doc->Range()->SetText(QStringLiteral("aTAGb\tc & d\r\ne\tf\r\ng\th\r\n"));
    doc->Range()->Select();
    OleRef<WordTable> t = app->Selection()->ConvertToTable(wdSeparateByTabs, 2, 3);
    app->Selection()->Find()->SetText(QStringLiteral("TAG"));
    app->Selection()->Find()->SetMatchCase(true);
    app->Selection()->Find()->Replacement()->SetText(QStringLiteral("^p"));
    EXPECT_TRUE(app->Selection()->Find()->Execute(wdReplaceAll));
    t->Columns()->Item(2)->SetWidth(90);
    t->Columns()->Item(2)->Select();
    app->Selection()->Font()->SetBold(true);
    // Row 1 merged across; rows 2 and 3 of column 1 merged down.
    t->Cell(1, 1)->Merge(t->Cell(1, 2));
    EXPECT_THROW(t->Cell(1, 2), EOleError) << "the row has one cell now";
    t->Cell(2, 1)->Merge(t->Cell(3, 1));
    t->Cell(2, 1)->SetVerticalAlignment(wdCellAlignVerticalCenter);
    t->Cell(2, 2)->Range()->Shading()->SetBackgroundPatternColor(clRed);
    t->Cell(3, 2)->Range()->Font()->SetColorIndex(6);
    // Cells that do not form a rectangle are refused.
    EXPECT_THROW(t->Cell(2, 2)->Merge(t->Cell(1, 1)), EOleError);

    const QString file = f.Path(QStringLiteral("out.docx"));
    doc->SaveAs(file);
    const QByteArray xml = ReadZipMember(file, "word/document.xml");
    ASSERT_TRUE(WellFormed(xml)) << xml.constData();
    EXPECT_TRUE(WellFormed(ReadZipMember(file, "[Content_Types].xml")));
    EXPECT_TRUE(WellFormed(ReadZipMember(file, "_rels/.rels")));
    EXPECT_TRUE(xml.contains("<w:gridSpan w:val=\"2\"/>"));
    EXPECT_TRUE(xml.contains("<w:gridCol w:w=\"1800\"/>"));
    EXPECT_TRUE(xml.contains("<w:vMerge w:val=\"restart\"/><w:vAlign w:val=\"center\"/>"));
    EXPECT_TRUE(xml.contains("<w:vMerge/>"));
    EXPECT_TRUE(xml.contains("<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"FF0000\"/>"));
    EXPECT_TRUE(xml.contains("<w:color w:val=\"FF0000\"/>")) << "colour index 6 is red";
    // The merged first row: its three paragraphs, the replaced tag among them.
    const qsizetype a = xml.indexOf(">a</w:t>"), b = xml.indexOf(">b</w:t>"), c = xml.indexOf(">c &amp; d</w:t>");
    EXPECT_TRUE(a > 0 && b > a && c > b);
    EXPECT_EQ(xml.count("<w:tr>"), 3);
    EXPECT_TRUE(xml.contains("<w:b/>"));
    // Visible writes the document under a free name and opens it.
    app->SetVisible(true);
    ASSERT_EQ(f.shell.opened.size(), 1);
    EXPECT_TRUE(f.shell.opened[0].endsWith(QStringLiteral("/Document1.docx")));
    EXPECT_EQ(app->Documents()->Count(), 1);
    doc->Close();
    EXPECT_EQ(app->Documents()->Count(), 0);
}

TEST(Office, ReportMembersReachTheWorkbook)
{
    // What a report's export uses: ranges by name, rotation, frame lines with
    // colour and weight, row heights, a picture, a caption.
    Files f;
    OleRef<ExcelApplication> app = f.office.CreateExcel();
    app->SetCaption(QStringLiteral("Report"));
    OleRef<ExcelWorkbook> book = app->Workbooks()->Add();
    OleRef<ExcelSheet> sh = app->ActiveSheet();
    sh->Range(QStringLiteral("B1"))->SetColumnWidth(10);
    OleRef<ExcelRange> r = sh->Range(QStringLiteral("A2:B2"));
    r->SetFormula(QStringLiteral("label"));
    r->SetOrientation(xlUpward);
    r->Merge();
    r->Borders(xlEdgeTop)->SetColor(clBlue);
    r->Borders(xlEdgeTop)->SetLineStyle(xlContinuous);
    r->Borders(xlEdgeTop)->SetWeight(xlMedium);
    EXPECT_THROW(r->SetOrientation(120), EOleError);
    sh->Rows(2)->SetRowHeight(30);
    static const unsigned char png[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
        0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00,
        0x0A, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x00, 0x01, 0x00, 0x00, 0x05, 0x00, 0x01, 0x0D, 0x0A, 0x2D,
        0xB4, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    sh->Paste(r, QByteArray(reinterpret_cast<const char*>(png), sizeof png));
    const QString file = f.Path(QStringLiteral("report.xlsx"));
    book->SaveAs(file);
    const QByteArray xml = ReadZipMember(file, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(xml.contains("<mergeCell ref=\"A2:B2\"/>"));
    EXPECT_TRUE(xml.contains("<row r=\"2\" spans=\"1:2\" ht=\"30\" customHeight=\"1\">")) << xml.constData();
    EXPECT_TRUE(xml.contains("<drawing r:id=\"rId1\"/>")) << "the picture";
    EXPECT_FALSE(ReadZipMember(file, "xl/media/image1.png").isEmpty());
    const QByteArray styles = ReadZipMember(file, "xl/styles.xml");
    EXPECT_TRUE(styles.contains("textRotation=\"90\""));
    EXPECT_TRUE(styles.contains("<top style=\"medium\"><color rgb=\"FF0000FF\"/></top>")) << styles.constData();
}

TEST(Office, ShellServiceDefaultsToFailing)
{
    EXPECT_FALSE(fc::Shell().Open(QStringLiteral("/nothing.xlsx")));
    {
        ScopedRecordingShellOpen shell;
        EXPECT_TRUE(fc::Shell().Open(QStringLiteral("/a.docx")));
        EXPECT_EQ(shell.opened, QStringList{QStringLiteral("/a.docx")});
    }
    EXPECT_EQ(fc::InstalledShell(), nullptr);
    // The file backend uses the installed service when it has none of its own.
    ScopedRecordingShellOpen shell;
    QTemporaryDir dir;
    FileOffice office;
    office.SetOutputFolder(dir.path());
    OleRef<WordDocument> doc = office.CreateWordDocument();
    doc->Application()->SetVisible(true);
    EXPECT_EQ(shell.opened, QStringList{dir.filePath(QStringLiteral("Document1.docx"))});
}
