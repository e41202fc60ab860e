// The report's export to a workbook: the statements it sends, its progress
// and stop protocol, its failures, and a workbook written for real.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include "ARExcelExport.h"
#include "ARUserRep.h"
#include "ReportTestUtil.h"
#include "TestSupport.h"
#include "ViewTestUtil.h"
#include "OfficeFixture.h"
#include "XlsxRead.h"
#include "ZipRead.h"
#include "platform/Office.h"
#include "platform/ShellOpen.h"

using fc::test::ReadZipMember;
using fc::test::ScopedFileOffice;
using fc::test::ScopedSeparators;
using fc::office::xlDownward;
using fc::office::xlUpward;

namespace {

struct Notification {
    TARExportProgressStage stage;
    int percent;
    friend bool operator==(const Notification& a, const Notification& b)
    {
        return a.stage == b.stage && a.percent == b.percent;
    }
    friend void PrintTo(const Notification& n, std::ostream* os) { *os << '{' << int(n.stage) << ',' << n.percent << '}'; }
};

TARCell* AddCell(TARBand* band, const QString& value, int width)
{
    TARCell* c = band->AddCell();
    c->SetValue(value);
    c->SetWidth(width);
    for (int side = 0; side < 4; ++side)
        c->SetSideWidth(side, 0);
    return c;
}

TARBand* AddBand(TARRep* rep, int height)
{
    TARBand* b = rep->AddBand();
    b->ClearCells();
    b->SetHeight(height);
    return b;
}

// Edges at 0, 70 and 210: a framed bold label and a rotated number on a
// yellow fill; a note spanning both columns and continued by a shared cell
// in the next band; a picture and a label with a comma.
struct SampleReport {
    viewtest::ScopedFixedPitch measure;
    TARUserRep grid;
    SampleReport()
    {
        grid.SetTitle(QStringLiteral("Offer 12"));
        TARRep* rep = grid.Rep();
        rep->ClearBands();

        TARBand* b0 = AddBand(rep, 27);
        TARCell* model = AddCell(b0, QStringLiteral("Model"), 70);
        model->SetFontStyle(fsBold);
        model->SetHAlign(ahLeft);
        model->SetSideWidth(0, 1);
        model->SetSideColor(0, clRed);
        model->SetSideWidth(2, 2);
        model->SetSideColor(2, clGreen);
        model->SetSideWidth(3, 5);
        model->SetSideColor(3, clBtnFace); // a system colour goes as its RGB
        TARCell* value = AddCell(b0, QStringLiteral("1.234,5"), 140);
        value->SetFontName(QStringLiteral("TIMES NEW ROMAN"));
        value->SetFontSize(12);
        value->SetFontStyle(fsItalic);
        value->SetFontColor(clBlue);
        value->SetColor(clYellow);
        value->SetHAlign(ahRight);
        value->SetTextAngle(90);

        TARBand* b1 = AddBand(rep, 18);
        TARCell* note = AddCell(b1, QStringLiteral("Notes"), 210);
        note->SetColor(clWindow); // white, through the system table
        note->SetTextAngle(300);
        TARBand* b2 = AddBand(rep, 18);
        AddCell(b2, QString(), 210)->SetShared(true);

        TARBand* b3 = AddBand(rep, 90);
        TARCell* pic = AddCell(b3, QString(), 70);
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(Qt::red);
        TPicture p;
        p.SetImage(TPicture::Bitmap, image);
        pic->SetPicture(p);
        TARCell* label = AddCell(b3, QStringLiteral("Cooling, heating"), 140);
        label->SetColor(clNone);
        label->SetTextAngle(45);
    }
};

QStringList Prefixed(const QString& prefix, const QStringList& lines)
{
    QStringList out;
    for (const QString& l : lines)
        out << prefix + l;
    return out;
}

// The statements of a cell with default font and fill, text t, centred.
QStringList PlainCell(const QString& range, const QString& text)
{
    return Prefixed(QStringLiteral("Sheet1.Range(\"%1\").").arg(range),
                    {"Font.Color := 0", "Font.Size := 10", "Font.Bold := False", "Font.Italic := False",
                     "Font.Name := \"ARIAL\"", QStringLiteral("Formula := \"%1\"").arg(text), "NumberFormat := \"@\"",
                     "HorizontalAlignment := -4108"});
}

} // namespace

TEST(ARExcelExport, SendsEveryStatementOfTheReportInOrder)
{
    ScopedSeparators separators(QLatin1Char(','), QLatin1Char('.'));
    ScopedRecordingOffice office;
    SampleReport s;
    TARExcelExport exporter;
    exporter.SetARRep(&s.grid);
    exporter.Execute();

    QStringList expected = {
        "Excel.Caption := \"Offer 12\"",
        "Excel.Workbooks.Add",
        "Sheet1.Range(\"A1\").ColumnWidth := 10",
        "Sheet1.Range(\"B1\").ColumnWidth := 20",
    };
    expected << Prefixed("Sheet1.Range(\"A1:A1\").",
                         {"Font.Color := 0", "Font.Size := 10", "Font.Bold := True", "Font.Italic := False",
                          "Font.Name := \"ARIAL\"", "Formula := \"Model\"", "NumberFormat := \"@\"",
                          "HorizontalAlignment := -4131", "Merge",
                          // left, top, right (none), bottom
                          "Borders(7).Color := 255", "Borders(7).LineStyle := 1", "Borders(7).Weight := 2",
                          "Borders(8).Color := 32768", "Borders(8).LineStyle := 1", "Borders(8).Weight := -4138",
                          "Borders(9).Color := 13160660", "Borders(9).LineStyle := 1", "Borders(9).Weight := 4"});
    expected << Prefixed("Sheet1.Range(\"B1:B1\").",
                         {"Font.Color := 16711680", "Font.Size := 12", "Font.Bold := False", "Font.Italic := True",
                          "Font.Name := \"TIMES NEW ROMAN\"", "Interior.Color := 65535", "Formula := \"1234,5\"",
                          "NumberFormat := \"@\"", "HorizontalAlignment := -4152", "Orientation := -4171", "Merge"});
    expected << "Sheet1.Rows(1).RowHeight := 21";
    expected << PlainCell("A2:B2", "Notes") << "Sheet1.Range(\"A2:B2\").Orientation := -60"
             << "Sheet1.Range(\"A2:B3\").Merge";
    expected << "Sheet1.Rows(2).RowHeight := 14" << "Sheet1.Rows(3).RowHeight := 14";
    expected << PlainCell("A4:A4", "") << "Sheet1.Range(\"A4:A4\").Merge"
             << "Sheet1.Paste(Sheet1.Range(\"A4:A4\"))";
    expected << PlainCell("B4:B4", "Cooling, heating") << "Sheet1.Range(\"B4:B4\").Orientation := 45"
             << "Sheet1.Range(\"B4:B4\").Merge";
    expected << "Sheet1.Rows(4).RowHeight := 70" << "Excel.Visible := True";
    EXPECT_EQ(office.Actions(), expected);
}

TEST(ARExcelExport, EveryFrameLineFetchesItsRangeAndBorderAnew)
{
    ScopedRecordingOffice office;
    viewtest::ScopedFixedPitch measure;
    TARGridRep grid;
    grid.Rep()->ClearBands();
    TARBand* b0 = AddBand(grid.Rep(), 9);
    TARCell* c = AddCell(b0, QStringLiteral("x"), 70);
    c->SetSideWidth(1, 1);
    c->SetSideWidth(3, 1);
    AddCell(AddBand(grid.Rep(), 9), QString(), 70)->SetShared(true);
    TARExcelExport exporter;
    exporter.SetARRep(&grid);
    exporter.Execute();

    QStringList lines = office.Lines();
    const qsizetype merge = lines.indexOf("Sheet1.Range(\"A1:A2\").Merge");
    ASSERT_GE(merge, 0) << lines.join('\n').toStdString();
    EXPECT_EQ(lines.mid(merge - 1, 10),
              QStringList({"Sheet1.Range(\"A1:A2\")", "Sheet1.Range(\"A1:A2\").Merge", "Sheet1.Range(\"A1:A2\")",
                           "Sheet1.Range(\"A1:A2\").Borders(10)", "Sheet1.Range(\"A1:A2\").Borders(10).Color := 0",
                           "Sheet1.Range(\"A1:A2\").Borders(10).LineStyle := 1",
                           "Sheet1.Range(\"A1:A2\").Borders(10).Weight := 2", "Sheet1.Range(\"A1:A2\")",
                           "Sheet1.Range(\"A1:A2\").Borders(9)", "Sheet1.Range(\"A1:A2\").Borders(9).Color := 0"}));
    // The continuation adds no range of its own; its row still gets its height.
    EXPECT_FALSE(lines.join('\n').contains("A2:A2"));
    EXPECT_TRUE(office.Actions().contains("Sheet1.Rows(2).RowHeight := 7"));
}

TEST(ARExcelExport, SavesWhenNamedAndQuitsWhenAskedTo)
{
    ScopedRecordingOffice office;
    SampleReport s;
    TARExcelExport exporter;
    exporter.SetARRep(&s.grid);
    exporter.FileName = QStringLiteral("/tmp/Report.xls");
    exporter.CloseAfterDone = true;
    exporter.Execute();
    const QStringList actions = office.Actions();
    ASSERT_GE(actions.size(), 2);
    EXPECT_EQ(actions.mid(actions.size() - 2),
              QStringList({"Book1.SaveAs(\"/tmp/Report.xls\")", "Excel.Quit"}));
}

TEST(ARExcelExport, CellTextsBecomeNumbersInTheLocaleAndLabelsStay)
{
    struct Case {
        QChar decimal, thousands;
        QString text, expected;
    } cases[] = {
        {',', '.', "1.234,5", "1234,5"},
        // A blank stays blank, a dash a dash: neither is a zero.
        {',', '.', "", ""},
        {',', '.', "-", "-"},
        {',', '.', "0", "0"},
        {',', '.', "Ditta\r\nVia Roma 1\rMilano", "Ditta\nVia Roma 1\nMilano"},
        {',', '.', "Q.ty 2", "Q.ty 2"},
        {'.', ',', "2,5", "2.5"},
        {'.', ',', "1234.5", "1234.5"},
        // A label keeps its comma; a number grouped as the locale groups
        // loses its thousands separators, whichever they are.
        {'.', ',', "Cooling, heating", "Cooling, heating"},
        {'.', ',', "1,234.5", "1234.5"},
        {'.', ',', "1,203", "1203"},
        {'.', ',', "-12,345,678", "-12345678"},
        {',', '.', "1.203", "1203"},
        {'.', ',', "-12,75", "-12.75"},
    };
    for (const Case& c : cases) {
        ScopedSeparators separators(c.decimal, c.thousands);
        EXPECT_EQ(ar::excel::CellText(c.text), c.expected) << c.text.toStdString();
    }
}

TEST(ARExcelExport, TextAnglesGiveOrientations)
{
    const std::optional<int> none;
    const struct {
        int angle;
        std::optional<int> expected;
    } cases[] = {{0, none},  {180, none},           {45, 45},   {90, xlUpward}, {270, xlDownward},
                 {300, -60}, {135, none},           {-45, -45}, {-90, -90},     {359, -1},
                 {405, 45},  {-270, int(xlUpward)}, {-100, none}};
    for (const auto& c : cases)
        EXPECT_EQ(ar::excel::Orientation(c.angle), c.expected) << c.angle;
}

TEST(ARExcelExport, ColumnNames)
{
    const struct {
        int index;
        const char* name;
    } cases[] = {{0, "A"},     {25, "Z"},     {26, "AA"},    {51, "AZ"},     {52, "BA"},
                 {701, "ZZ"},  {702, "AAA"},  {727, "AAZ"},  {728, "ABA"},   {18277, "ZZZ"},
                 {16383, "XFD"}};
    for (const auto& c : cases)
        EXPECT_EQ(ar::excel::ColumnName(c.index), QString::fromLatin1(c.name));
}

// ---------------------------------------------------------------------------
// Progress and stopping

namespace {

// An export of n units that stops when the progress says so.
class UnitExport : public TARCustomExport {
public:
    int units = 0, done = 0;
    void Execute() override
    {
        BeginProgress(units);
        while (done < units) {
            ++done;
            if (!StepProgress())
                break;
        }
        EndProgress();
    }
};

} // namespace

TEST(ARExportProgress, PercentagesRoundHalvesToEven)
{
    const struct {
        int units;
        std::vector<int> steps;
    } cases[] = {{3, {33, 67, 100}}, {8, {12, 25, 38, 50, 62, 75, 88, 100}}, {1, {100}}};
    for (const auto& c : cases) {
        UnitExport e;
        e.units = c.units;
        std::vector<Notification> seen;
        e.OnProgress = [&](QObject* sender, TARExportProgressStage stage, int percent, bool& abort) {
            EXPECT_EQ(sender, &e);
            EXPECT_FALSE(abort);
            // Only a step's answer counts.
            if (stage != epsStep)
                abort = true;
            seen.push_back({stage, percent});
        };
        e.Execute();
        std::vector<Notification> expected{{epsBegin, 0}};
        for (int p : c.steps)
            expected.push_back({epsStep, p});
        expected.push_back({epsEnd, 100});
        EXPECT_EQ(seen, expected) << c.units;
        EXPECT_EQ(e.done, c.units);
    }
}

TEST(ARExportProgress, StepsProcessPendingEventsBeforeNotifying)
{
    UnitExport e;
    e.units = 2;
    bool ran = false;
    std::vector<bool> seen;
    e.OnProgress = [&](QObject*, TARExportProgressStage stage, int, bool&) {
        if (stage == epsBegin)
            QTimer::singleShot(0, [&] { ran = true; });
        else
            seen.push_back(ran);
    };
    e.Execute();
    EXPECT_EQ(seen, std::vector<bool>({true, true, true}));
}

TEST(ARExcelExport, StopAtTheSecondBandEndsAfterThatBand)
{
    ScopedRecordingOffice office;
    SampleReport s;
    TARExcelExport exporter;
    exporter.SetARRep(&s.grid);
    exporter.FileName = QStringLiteral("/tmp/Part.xls");
    std::vector<Notification> seen;
    exporter.OnProgress = [&](QObject*, TARExportProgressStage stage, int percent, bool& abort) {
        seen.push_back({stage, percent});
        if (stage == epsStep && percent == 50)
            abort = true;
    };
    exporter.Execute();
    EXPECT_EQ(seen, std::vector<Notification>({{epsBegin, 0}, {epsStep, 25}, {epsStep, 50}, {epsEnd, 100}}));
    const QStringList actions = office.Actions();
    EXPECT_TRUE(actions.contains("Sheet1.Rows(2).RowHeight := 14"));
    EXPECT_FALSE(actions.join('\n').contains("Rows(3)"));
    // A stopped export leaves no file: nothing is saved or shown, the
    // application it started goes with the half-made workbook.
    EXPECT_FALSE(actions.join('\n').contains("SaveAs"));
    EXPECT_FALSE(actions.join('\n').contains("Visible := True"));
    EXPECT_EQ(actions.last(), "Excel.Quit");
}

TEST(ARExcelExport, AGridClosedDuringAStepEndsTheExport)
{
    ScopedRecordingOffice office;
    auto s = std::make_unique<SampleReport>();
    TARExcelExport exporter;
    exporter.SetARRep(&s->grid);
    std::vector<Notification> seen;
    exporter.OnProgress = [&](QObject*, TARExportProgressStage stage, int percent, bool&) {
        seen.push_back({stage, percent});
        if (stage == epsStep)
            s.reset();
    };
    exporter.Execute();
    EXPECT_EQ(seen, std::vector<Notification>({{epsBegin, 0}, {epsStep, 25}, {epsEnd, 100}}));
    EXPECT_FALSE(office.Actions().join('\n').contains("Rows(2)"));
    EXPECT_EQ(office.Actions().last(), "Excel.Visible := True");
}

// ---------------------------------------------------------------------------
// Failures

TEST(ARExcelExport, WithoutAReportNothingHappens)
{
    ScopedRecordingOffice office;
    TARExcelExport exporter;
    int notifications = 0;
    exporter.OnProgress = [&](QObject*, TARExportProgressStage, int, bool&) { ++notifications; };
    exporter.Execute();
    {
        // A grid that is gone is no report either.
        auto grid = std::make_unique<TARGridRep>();
        exporter.SetARRep(grid.get());
    }
    EXPECT_EQ(exporter.ARRep(), nullptr);
    exporter.Execute();
    EXPECT_TRUE(office.Lines().isEmpty());
    EXPECT_FALSE(office.Excel);
    EXPECT_EQ(notifications, 0);
}

TEST(ARExcelExport, AnApplicationThatCannotStartRaisesBeforeAnyProgress)
{
    ScopedRecordingOffice office;
    office.CreateError = QStringLiteral("Invalid class string");
    SampleReport s;
    TARExcelExport exporter;
    exporter.SetARRep(&s.grid);
    exporter.FileName = QStringLiteral("/tmp/never.xls");
    int notifications = 0;
    exporter.OnProgress = [&](QObject*, TARExportProgressStage, int, bool&) { ++notifications; };
    EXPECT_EQ(fc::test::MessageOf([&] { exporter.Execute(); }), "Invalid class string");
    EXPECT_EQ(notifications, 0);
    EXPECT_TRUE(office.Actions().isEmpty());
}

TEST(ARExcelExport, AFailingStatementEndsTheExportButCleansUp)
{
    for (const bool closeAfterDone : {false, true}) {
        ScopedRecordingOffice office;
        SampleReport s;
        office.OnAccess = [](const fc::office::Access& a) {
            if (a.member == "Merge" && a.receiver.endsWith("Range(\"A2:B3\")"))
                throw EOleError(QStringLiteral("Merge method of Range class failed"));
        };
        TARExcelExport exporter;
        exporter.SetARRep(&s.grid);
        exporter.FileName = QStringLiteral("/tmp/never.xls");
        exporter.CloseAfterDone = closeAfterDone;
        std::vector<Notification> seen;
        exporter.OnProgress = [&](QObject*, TARExportProgressStage stage, int percent, bool&) {
            seen.push_back({stage, percent});
        };
        EXPECT_EQ(fc::test::MessageOf([&] { exporter.Execute(); }), "Merge method of Range class failed");
        EXPECT_EQ(seen, std::vector<Notification>({{epsBegin, 0}, {epsStep, 25}, {epsEnd, 100}}));
        const QStringList actions = office.Actions();
        EXPECT_FALSE(actions.join('\n').contains("SaveAs"));
        ASSERT_FALSE(actions.isEmpty());
        EXPECT_EQ(actions.last(), closeAfterDone ? "Excel.Quit" : "Excel.Visible := True");
    }
}

TEST(ARExcelExport, TallBandsAndWideColumnsGetTheSheetsLargest)
{
    ScopedRecordingOffice office;
    viewtest::ScopedFixedPitch measure;
    TARGridRep grid;
    grid.Rep()->ClearBands();
    AddCell(AddBand(grid.Rep(), 900), QStringLiteral("tall"), 2000);
    TARExcelExport exporter;
    exporter.SetARRep(&grid);
    exporter.Execute();
    const QStringList actions = office.Actions();
    EXPECT_TRUE(actions.contains("Sheet1.Range(\"A1\").ColumnWidth := 255"));
    EXPECT_TRUE(actions.contains("Sheet1.Rows(1).RowHeight := 409"));
    EXPECT_EQ(actions.last(), "Excel.Visible := True");
}

// ---------------------------------------------------------------------------
// A real workbook

TEST(ARExcelExportFile, WorkbookHoldsValuesMergesWidthsAndThePicture)
{
    ScopedSeparators separators(QLatin1Char(','), QLatin1Char('.'));
    ScopedFileOffice backend;

    SampleReport s;
    TARExcelExport exporter;
    exporter.SetARRep(&s.grid);
    exporter.FileName = backend.dir.filePath(QStringLiteral("Report.xls"));
    exporter.CloseAfterDone = true;
    exporter.Execute();
    EXPECT_TRUE(backend.shell.opened.isEmpty()) << "a closed application shows nothing";

    const QString file = exporter.FileName;
    ASSERT_TRUE(QFileInfo::exists(file));
    const QByteArray sheet = ReadZipMember(file, "xl/worksheets/sheet1.xml");
    const QByteArray strings = ReadZipMember(file, "xl/sharedStrings.xml");
    ASSERT_FALSE(sheet.isEmpty());
    EXPECT_TRUE(sheet.contains("<mergeCell ref=\"A2:B3\"/>")) << sheet.constData();
    EXPECT_FALSE(sheet.contains("<mergeCell ref=\"A1")) << "one-cell merges leave no merge";
    EXPECT_TRUE(strings.contains("<t>Model</t>"));
    EXPECT_TRUE(strings.contains("<t>Notes</t>"));
    EXPECT_TRUE(strings.contains("<t>Cooling, heating</t>"));
    // The number arrives as a number, the labels as texts, the empty
    // picture cell as a blank.
    EXPECT_TRUE(sheet.contains("<c r=\"A1\" s=\"1\" t=\"s\"><v>0</v></c><c r=\"B1\" s=\"2\"><v>1234.5</v></c>"))
        << sheet.constData();
    EXPECT_TRUE(sheet.contains("<c r=\"A4\" s=\"4\"/>")) << sheet.constData();
    // 70 and 140 pixels are 10 and 20 characters; the bands' heights 7/9 of theirs.
    EXPECT_TRUE(sheet.contains("<col min=\"1\" max=\"1\" width=\"10.7109375\" customWidth=\"1\"/>"
                               "<col min=\"2\" max=\"2\" width=\"20.7109375\" customWidth=\"1\"/>"));
    for (const char* row : {"<row r=\"1\" spans=\"1:2\" ht=\"21\"", "<row r=\"2\" spans=\"1:2\" ht=\"14\"",
                            "<row r=\"3\" spans=\"1:2\" ht=\"14\"", "<row r=\"4\" spans=\"1:2\" ht=\"70\""})
        EXPECT_TRUE(sheet.contains(row)) << row;
    EXPECT_TRUE(sheet.contains("<drawing")) << "the picture";
    EXPECT_FALSE(ReadZipMember(file, "xl/media/image1.png").isEmpty());
    const QByteArray drawing = ReadZipMember(file, "xl/drawings/drawing1.xml");
    EXPECT_TRUE(drawing.contains("<xdr:from><xdr:col>0</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>3</xdr:row>"))
        << "at the picture cell's top-left, A4: " << drawing.constData();
    const QByteArray styles = ReadZipMember(file, "xl/styles.xml");
    EXPECT_TRUE(styles.contains("FFFFFF00")) << "the yellow fill";
    EXPECT_TRUE(styles.contains("textRotation=\"90\""));
}

// What the report shows, once: a firm's heading of three lines over two
// columns, a zero, a blank, a dash, and a note spanning two bands.
TEST(ARExcelExportFile, WorkbookHoldsEachValueOnceAndBlanksStayBlank)
{
    ScopedSeparators separators(QLatin1Char(','), QLatin1Char('.'));
    ScopedFileOffice backend;
    viewtest::ScopedFixedPitch measure;
    TARGridRep grid;
    TARRep* rep = grid.Rep();
    rep->ClearBands();
    TARBand* b0 = AddBand(rep, 45);
    AddCell(b0, QStringLiteral("Ditta\r\nVia Roma 1\rMilano\nItalia"), 140);
    AddCell(b0, QStringLiteral("0"), 70);
    TARBand* b1 = AddBand(rep, 18);
    AddCell(b1, QString(), 70);
    AddCell(b1, QStringLiteral("-"), 70);
    AddCell(b1, QStringLiteral("12,5"), 70);
    AddCell(AddBand(rep, 18), QStringLiteral("Notes"), 210);
    AddCell(AddBand(rep, 18), QString(), 210)->SetShared(true);

    TARExcelExport exporter;
    exporter.SetARRep(&grid);
    exporter.FileName = backend.dir.filePath(QStringLiteral("Once.xlsx"));
    exporter.CloseAfterDone = true;
    exporter.Execute();

    const fc::test::SheetContents got = fc::test::ReadFirstSheet(exporter.FileName);
    EXPECT_EQ(got.merges, (QStringList{"A1:B1", "A3:C4"}));
    std::map<QString, QString> values;
    for (const auto& [ref, cell] : got.cells)
        values[ref] = cell.value;
    const std::map<QString, QString> expected{{"A1", "Ditta\nVia Roma 1\nMilano\nItalia"},
                                              {"C1", "0"},
                                              {"B2", "-"},
                                              {"C2", "12.5"},
                                              {"A3", "Notes"}};
    EXPECT_EQ(values, expected);
    EXPECT_TRUE(got.cells.at("C1").number) << "a zero stays the number 0";
    EXPECT_FALSE(got.cells.at("B2").number) << "a dash is no number";
    EXPECT_TRUE(got.Wraps("A1")) << "the heading shows its lines";
    EXPECT_FALSE(got.Wraps("A3"));
}

TEST(ARExcelExportFile, AVisibleApplicationOpensTheUnsavedWorkbook)
{
    ScopedFileOffice backend;

    SampleReport s;
    TARExcelExport exporter;
    exporter.SetARRep(&s.grid);
    exporter.Execute();
    ASSERT_EQ(backend.shell.opened.size(), 1);
    EXPECT_EQ(QFileInfo(backend.shell.opened[0]).fileName(), QStringLiteral("Book1.xlsx"));
    EXPECT_TRUE(ReadZipMember(backend.shell.opened[0], "xl/sharedStrings.xml").contains("<t>Model</t>"));
}

TEST(ARExcelExportFile, AMetafileGoesAsTheFrameTheReportDrawsAndOneWithoutSizeIsLeftOut)
{
    QTemporaryDir dir;
    FileOffice office;
    fc::SetOffice(&office);
    struct Restore {
        ~Restore() { fc::SetOffice(nullptr); }
    } restore;

    // A placeable metafile header of 96 × 48 pixels (one inch = 96 units),
    // and a plain metafile header, which gives no size.
    QByteArray placeable(22, '\0');
    const uchar head[] = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 96, 0, 48, 0, 96, 0};
    std::copy(std::begin(head), std::end(head), placeable.begin());
    QByteArray plain(18, '\0');
    plain[0] = 1;
    plain[2] = 9;

    viewtest::ScopedFixedPitch measure;
    TARGridRep grid;
    grid.Rep()->ClearBands();
    TARBand* band = AddBand(grid.Rep(), 45);
    for (const QByteArray& bytes : {plain, placeable}) {
        TPicture p;
        p.LoadFromBytes(TPicture::Metafile, bytes);
        AddCell(band, QStringLiteral("m"), 70)->SetPicture(p);
    }
    TARExcelExport exporter;
    exporter.SetARRep(&grid);
    exporter.FileName = dir.filePath(QStringLiteral("Pictures.xlsx"));
    exporter.CloseAfterDone = true;
    exporter.Execute();

    const QByteArray drawing = ReadZipMember(exporter.FileName, "xl/drawings/drawing1.xml");
    EXPECT_EQ(drawing.count("<xdr:pic>"), 1) << drawing.constData();
    EXPECT_TRUE(drawing.contains("<xdr:from><xdr:col>1</xdr:col>")) << "at B1";
    const QImage image = QImage::fromData(ReadZipMember(exporter.FileName, "xl/media/image1.png"), "PNG");
    EXPECT_EQ(image.size(), QSize(96, 48));
}
