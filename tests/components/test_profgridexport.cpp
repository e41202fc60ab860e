// The grid's exports on the recording automation server: statement
// sequences, step totals, progress and stopping, failures.

#include <gtest/gtest.h>

#include <vector>

#include "components/ProfGrid.h"
#include "platform/Dialogs.h"
#include "platform/Office.h"

namespace {

// A grid whose cells all look like their columns, without fixed columns.
struct Grid {
    TProfGrid g;
    FixedPitchMeasurer m{6, 13};
    Grid(int cols, int rows, int fixedRows)
    {
        g.SetTextMeasurer(&m);
        g.SetFixedCols(0);
        g.SetFixedRows(0);
        g.SetColCount(cols);
        g.SetRowCount(rows);
        g.SetFixedRows(fixedRows);
        for (int c = 0; c < cols; ++c)
            g.Columns(c).SetColor(clWindow);
        for (int c = 0; c < cols; ++c)
            for (int r = 0; r < rows; ++r) {
                g.Cell(c, r).SetColor(clWindow);
                g.Cell(c, r).SetText(QStringLiteral("%1%2").arg(QChar('a' + c)).arg(r));
            }
    }
};

// Every event as "position/end", and an optional stop at one position.
struct Events {
    std::vector<QString> seen;
    int stopAt = -2;
    void Attach(TProfGrid& g)
    {
        g.OnExportProgress = [this](TProfGrid&, int pos, int end, bool& stop) {
            seen.push_back(QStringLiteral("%1/%2").arg(pos).arg(end));
            if (pos == stopAt)
                stop = true;
        };
    }
    std::vector<QString> Run(int total) const
    {
        std::vector<QString> v;
        for (int i = 0; i <= total; ++i)
            v.push_back(QStringLiteral("%1/%2").arg(i).arg(total));
        v.push_back(QStringLiteral("-1/0"));
        return v;
    }
};

int Count(const QStringList& lines, const QString& line) { return int(lines.count(line)); }

} // namespace

TEST(ProfGridExport, WordRunsThroughItsStepTotal)
{
    ScopedRecordingOffice office;
    Grid f(3, 2, 1);
    Events ev;
    ev.Attach(f.g);
    EXPECT_TRUE(f.g.ExportToWord(true));
    EXPECT_EQ(ev.seen, ev.Run(49)) << "22 + 3 x 7 + 6";
    // After the run the options are back and the document is shown.
    const QStringList a = office.Actions();
    EXPECT_EQ(a.back(), QStringLiteral("Word.Activate"));
    EXPECT_EQ(Count(a, QStringLiteral("Word.Options.CheckSpellingAsYouType := False")), 1);
    EXPECT_EQ(Count(a, QStringLiteral("Word.Options.CheckSpellingAsYouType := True")), 1);
    EXPECT_EQ(Count(a, QStringLiteral("Word.Visible := True")), 1);
    EXPECT_EQ(Count(a, QStringLiteral("Document1.Close")), 0);
}

// A tab inside a cell goes into the text as a private character, which no
// cell text holds, and becomes a tab again after the table is made: three
// more statements, counted in the total.
TEST(ProfGridExport, WordTabsInsideCellsComeBackAfterTheTable)
{
    ScopedRecordingOffice office;
    Grid f(3, 2, 1);
    f.g.Cell(0, 0).SetText(QStringLiteral("a\tb"));
    f.g.Cell(1, 1).SetText(QString(QChar(0xE000)) + QStringLiteral("\t"));
    Events ev;
    ev.Attach(f.g);
    EXPECT_TRUE(f.g.ExportToWord(true));
    EXPECT_EQ(ev.seen, ev.Run(52)) << "22 + 3 + 3 x 7 + 6";
    const QStringList a = office.Actions();
    const QString standIn(QChar(0xE001));
    EXPECT_TRUE(a.contains(QStringLiteral("Document1.Range.Text := \"a%1b\\tb0\\tc0\\r\\na1\\t\uE000%1\\tc1\\r\\n\"").arg(standIn)))
        << a.join('\n').toStdString();
    const qsizetype tagged = a.indexOf(QStringLiteral("Word.Selection.Find.Execute(Replace:=2)"));
    ASSERT_GE(tagged, 0);
    EXPECT_EQ(a.mid(tagged + 1, 3), (QStringList{QStringLiteral("Word.Selection.Find.Text := \"%1\"").arg(standIn),
                                                 QStringLiteral("Word.Selection.Find.Replacement.Text := \"^t\""),
                                                 QStringLiteral("Word.Selection.Find.Execute(Replace:=2)")}));
}

TEST(ProfGridExport, ExcelRunsThroughItsStepTotal)
{
    ScopedRecordingOffice office;
    Grid f(2, 2, 1);
    Events ev;
    ev.Attach(f.g);
    EXPECT_TRUE(f.g.ExportToExcel(true));
    EXPECT_EQ(ev.seen, ev.Run(45)) << "13 + 2 x 13 + 4 + 2";
}

// Two columns, the second bold; a title merged across row 0, a block over
// rows 1 and 2 (which leaves row 1 without height) in a colour of its own.
struct MergedGrid : Grid {
    MergedGrid() : Grid(2, 3, 1)
    {
        TFont bold = g.Columns(1).Font();
        bold.Style = fsBold;
        g.Columns(1).SetFont(bold);
        EXPECT_TRUE(g.MergeCells(0, 0, 1, 0));
        EXPECT_TRUE(g.MergeCells(0, 1, 1, 2));
        g.Cell(0, 0).SetText(QStringLiteral("a\r\nb"));
        g.Cell(0, 1).SetText(QStringLiteral("x"));
        g.Cell(0, 1).SetColor(clRed);
        g.SetColWidths(0, 80);
    }
};

TEST(ProfGridExport, ExcelStatementsOverMergedCellsAndARowWithoutHeight)
{
    ScopedRecordingOffice office;
    MergedGrid f;
    ASSERT_EQ(f.g.RowHeights(1), 0);
    Events ev;
    ev.Attach(f.g);
    EXPECT_TRUE(f.g.ExportToExcel(true));
    EXPECT_EQ(ev.seen, ev.Run(59));
    auto column = [](int c, const QString& width) {
        const QString C = QString::number(c);
        return QStringList{
            QStringLiteral("Sheet1.Range(Sheet1.Cells(1,%1),Sheet1.Cells(3,%1)).Select").arg(C),
            QStringLiteral("Sheet1.Columns(%1).ColumnWidth := %2").arg(C, width),
            QStringLiteral("Excel.Selection.VerticalAlignment := -4160"),
            QStringLiteral("Excel.Selection.HorizontalAlignment := -4131"),
            QStringLiteral("Excel.Selection.Font.Name := \"MS Sans Serif\""),
            QStringLiteral("Excel.Selection.Font.Size := 8"),
            QStringLiteral("Excel.Selection.Font.Color := 0"),
            QStringLiteral("Excel.Selection.Interior.Color := 16777215"),
        };
    };
    QStringList expected{
        QStringLiteral("Excel.SheetsInNewWorkbook := 1"),
        QStringLiteral("Excel.Workbooks.Add"),
        QStringLiteral("Sheet1.Range(Sheet1.Cells(1,1),Sheet1.Cells(3,2)).Select"),
    };
    for (int i = 7; i <= 12; ++i)
        expected << QStringLiteral("Excel.Selection.Borders(%1).LineStyle := 1").arg(i);
    expected << QStringLiteral("Excel.Selection.WrapText := True");
    // 80 pixels: 65 points at the sheet's 8.43 characters for 48 points.
    expected << column(1, QStringLiteral("11.415625")) << QStringLiteral("Sheet1.Columns(1).NumberFormat := \"@\"");
    expected << column(2, QStringLiteral("9.1325")) << QStringLiteral("Excel.Selection.Font.Bold := True")
             << QStringLiteral("Sheet1.Columns(2).NumberFormat := \"@\"");
    expected << QStringLiteral("Sheet1.Rows(2).RowHeight := 0")
             // k = 1: the title at its right-most column, the block too.
             << QStringLiteral("Sheet1.Range(Sheet1.Cells(1,2),Sheet1.Cells(1,1)).Merge")
             << QStringLiteral("Sheet1.Cells(1,1).Font.Bold := False")
             << QStringLiteral("Sheet1.Cells(1,1) := \"a\\nb\"")
             << QStringLiteral("Sheet1.Range(Sheet1.Cells(2,2),Sheet1.Cells(3,1)).Merge")
             << QStringLiteral("Sheet1.Cells(2,1).Interior.Color := 255")
             << QStringLiteral("Sheet1.Cells(2,1).Font.Bold := False")
             << QStringLiteral("Sheet1.Cells(2,1) := \"x\"")
             // k = 0: the block once more, from its own column.
             << QStringLiteral("Sheet1.Range(Sheet1.Cells(2,1),Sheet1.Cells(3,1)).Merge")
             << QStringLiteral("Sheet1.Cells(2,1).Interior.Color := 255")
             << QStringLiteral("Sheet1.Cells(2,1) := \"x\"")
             << QStringLiteral("Sheet1.Cells(1,1).Select")
             << QStringLiteral("Excel.Visible := True")
             << QStringLiteral("Excel.ActiveWindow.Activate");
    EXPECT_EQ(office.Actions(), expected);
}

TEST(ProfGridExport, WordStatementsOverMergedCells)
{
    ScopedRecordingOffice office;
    MergedGrid f;
    Events ev;
    ev.Attach(f.g);
    EXPECT_TRUE(f.g.ExportToWord(true));
    EXPECT_EQ(ev.seen, ev.Run(53));
    const QStringList a = office.Actions();
    // Merged slots give empty pieces; line breaks go as the tag.
    EXPECT_TRUE(a.contains(QStringLiteral("Document1.Range.Text := \"aProfGridTagb\\t\\r\\nx\\t\\r\\n\\t\\r\\n\"")));
    const qsizetype from = a.indexOf(QStringLiteral("Table1.Cell(1,2).Merge(Table1.Cell(1,1))"));
    ASSERT_GE(from, 0);
    const QStringList walk = a.mid(from, 7);
    EXPECT_EQ(walk, (QStringList{
                        QStringLiteral("Table1.Cell(1,2).Merge(Table1.Cell(1,1))"),
                        QStringLiteral("Table1.Cell(1,1).Range.Font.Bold := False"),
                        QStringLiteral("Table1.Cell(2,2).Merge(Table1.Cell(3,1))"),
                        QStringLiteral("Table1.Cell(2,1).Range.Font.Bold := False"),
                        QStringLiteral("Table1.Cell(2,1).Range.Shading.BackgroundPatternColor := 255"),
                        QStringLiteral("Table1.Cell(2,1).Merge(Table1.Cell(3,1))"),
                        QStringLiteral("Table1.Cell(2,1).Range.Shading.BackgroundPatternColor := 255"),
                    }));
    // The argument cell is fetched before the cell merged into.
    const QStringList lines = office.Lines();
    const qsizetype m = lines.indexOf(QStringLiteral("Table1.Cell(1,2).Merge(Table1.Cell(1,1))"));
    EXPECT_EQ(lines.mid(m - 2, 2), (QStringList{QStringLiteral("Table1.Cell(1,1)"), QStringLiteral("Table1.Cell(1,2)")}));
    // Width in points at 96 pixels per inch; the bold column.
    EXPECT_TRUE(a.contains(QStringLiteral("Table1.Columns.Item(1).Width := 60")));
    EXPECT_EQ(a.count(QStringLiteral("Word.Selection.Font.Bold := True")), 1);
}

TEST(ProfGridExport, StepTotalsFollowFormatAllCellsAndFixedRows)
{
    // A cell below the fixed row with its own colour, and one in the fixed row
    // with a larger italic font.
    ScopedRecordingOffice office;
    Grid f(2, 3, 1);
    f.g.Cell(1, 2).SetColor(clYellow);
    TFont big = f.g.Columns(0).Font();
    big.SetSize(12);
    big.Style = fsItalic;
    f.g.Cell(0, 0).SetFont(big);
    f.g.Cell(0, 2).SetText(QString());
    f.g.Cell(1, 1).SetVertAlignment(vaCenter);
    struct Case {
        bool word, all;
        int total;
        QStringList must, mustNot;
    };
    const QString shadeYellow = QStringLiteral("Table1.Cell(3,2).Range.Shading.BackgroundPatternColor := 65535");
    const QString fillYellow = QStringLiteral("Sheet1.Cells(3,2).Interior.Color := 65535");
    const std::vector<Case> cases = {
        // Word: 22 + 14 + cell (1,1): size, italic; (2,2): vertical centre, (3,2): colour + 6.
        {true, true, 22 + 14 + 2 + 1 + 1 + 6,
         {shadeYellow, QStringLiteral("Table1.Cell(2,2).VerticalAlignment := 1"),
          QStringLiteral("Table1.Cell(1,1).Range.Font.Size := 12")},
         {}},
        {true, false, 22 + 14 + 2 + 6, {QStringLiteral("Table1.Cell(1,1).Range.Font.Italic := True")}, {shadeYellow}},
        // Excel: 13 + 26 + cells: (1,1) size, italic; (2,2) vertical; (3,2) colour; 5 texts + 2.
        {false, true, 13 + 26 + 2 + 1 + 1 + 5 + 2,
         {fillYellow, QStringLiteral("Sheet1.Cells(2,2).VerticalAlignment := -4108")},
         {QStringLiteral("Sheet1.Cells(3,1) := \"\"")}},
        {false, false, 13 + 26 + 2 + 5 + 2, {QStringLiteral("Sheet1.Cells(3,2) := \"b2\"")}, {fillYellow}},
    };
    for (const Case& c : cases) {
        office.ClearLog();
        Events ev;
        ev.Attach(f.g);
        EXPECT_TRUE(c.word ? f.g.ExportToWord(c.all) : f.g.ExportToExcel(c.all));
        EXPECT_EQ(ev.seen, ev.Run(c.total)) << c.word << c.all;
        const QStringList a = office.Actions();
        for (const QString& l : c.must)
            EXPECT_TRUE(a.contains(l)) << qPrintable(l);
        for (const QString& l : c.mustNot)
            EXPECT_FALSE(a.contains(l)) << qPrintable(l);
    }
}

TEST(ProfGridExport, StopAtTheFirstEventEndsAtTheFirstAccess)
{
    for (bool word : {true, false}) {
        ScopedRecordingOffice office;
        Grid f(2, 2, 1);
        Events ev;
        ev.stopAt = 0;
        ev.Attach(f.g);
        EXPECT_FALSE(word ? f.g.ExportToWord(true) : f.g.ExportToExcel(true));
        const int total = word ? 22 + 14 + 6 : 13 + 26 + 4 + 2;
        EXPECT_EQ(ev.seen, (std::vector<QString>{QStringLiteral("0/%1").arg(total), QStringLiteral("1/%1").arg(total),
                                                 QStringLiteral("-1/0")}));
        // The stopped statement never reached the server; the clean-up ran.
        const QStringList expected =
            word ? QStringList{QStringLiteral("Word.Visible := False"), QStringLiteral("Document1.Saved := True"),
                               QStringLiteral("Document1.Close"), QStringLiteral("Word.Quit")}
                 : QStringList{QStringLiteral("Excel.DisplayAlerts := False"), QStringLiteral("Excel.Quit")};
        EXPECT_EQ(office.Actions(), expected);
    }
}

TEST(ProfGridExport, StopLaterOrTakenBackInTheSameCall)
{
    ScopedRecordingOffice office;
    Grid f(2, 2, 1);
    // Set and cleared in one call: no stop.
    f.g.OnExportProgress = [](TProfGrid&, int, int, bool& stop) {
        stop = true;
        stop = false;
    };
    EXPECT_TRUE(f.g.ExportToExcel(true));
    // A stop at position 7: the statement of access 7 is not carried out.
    Events ev;
    ev.stopAt = 7;
    ev.Attach(f.g);
    office.ClearLog();
    EXPECT_FALSE(f.g.ExportToExcel(true));
    EXPECT_EQ(ev.seen.size(), size_t(9));
    EXPECT_EQ(ev.seen.back(), QStringLiteral("-1/0"));
    const QStringList a = office.Actions();
    EXPECT_TRUE(a.contains(QStringLiteral("Sheet1.Range(Sheet1.Cells(1,1),Sheet1.Cells(2,2)).Select")));
    EXPECT_FALSE(a.contains(QStringLiteral("Excel.Selection.Borders(7).LineStyle := 1")));
    // No handler: nothing fires and nothing stops.
    f.g.OnExportProgress = nullptr;
    EXPECT_TRUE(f.g.ExportToWord(false));
}

TEST(ProfGridExport, HandlerErrorGoesToTheFailurePath)
{
    ScopedRecordingOffice office;
    Grid f(1, 1, 0);
    int last = 0;
    f.g.OnExportProgress = [&](TProfGrid&, int pos, int, bool&) {
        last = pos;
        if (pos == 3)
            throw Exception(QStringLiteral("boom"));
    };
    EXPECT_FALSE(f.g.ExportToWord(true));
    EXPECT_EQ(last, -1);
    EXPECT_TRUE(office.Actions().contains(QStringLiteral("Document1.Close")));
}

TEST(ProfGridExport, StartFailures)
{
    ScopedScriptedDialogs dialogs;
    {
        ScopedRecordingOffice office;
        office.CreateError = QStringLiteral("Class not registered");
        Grid f(2, 2, 1);
        Events ev;
        ev.Attach(f.g);
        // Word: told to the user, then true; Excel: false, no end event.
        EXPECT_TRUE(f.g.ExportToWord(true));
        EXPECT_EQ(ev.seen, std::vector<QString>{QStringLiteral("-1/0")});
        ev.seen.clear();
        EXPECT_FALSE(f.g.ExportToExcel(true));
        EXPECT_TRUE(ev.seen.empty());
    }
    {
        // A version text without a dot does not give a number.
        ScopedRecordingOffice office;
        office.WordVersion = QStringLiteral("8");
        Grid f(1, 1, 0);
        EXPECT_TRUE(f.g.ExportToWord(true));
        EXPECT_EQ(office.Actions(), QStringList());
    }
    const QStringList shown = dialogs.messages();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0], QStringLiteral("Could not start Microsoft Word\r\n\r\nClass not registered"));
    EXPECT_EQ(shown[1], QStringLiteral("Could not start Microsoft Excel\r\n\r\nClass not registered"));
    EXPECT_EQ(shown[2], QStringLiteral("Could not start Microsoft Word\r\n\r\n'' is not a valid integer value"));
    EXPECT_EQ(dialogs.log()[0].message.Type, TMsgDlgType::mtError);
}

TEST(ProfGridExport, OldWordTakesColourIndexes)
{
    ScopedRecordingOffice office;
    office.WordVersion = QStringLiteral("8.0");
    Grid f(1, 2, 1);
    f.g.Cell(0, 1).SetColor(clMoneyGreen);
    TFont navy = f.g.Columns(0).Font();
    navy.Color = clNavy;
    f.g.Cell(0, 0).SetFont(navy);
    EXPECT_TRUE(f.g.ExportToWord(true));
    const QStringList a = office.Actions();
    EXPECT_TRUE(a.contains(QStringLiteral("Word.Selection.Font.ColorIndex := 1"))) << "window text is black";
    EXPECT_TRUE(a.contains(QStringLiteral("Word.Selection.Range.Shading.BackgroundPatternColorIndex := 8")));
    EXPECT_TRUE(a.contains(QStringLiteral("Table1.Cell(1,1).Range.Font.ColorIndex := 9")));
    EXPECT_TRUE(a.contains(QStringLiteral("Table1.Cell(2,1).Range.Shading.BackgroundPatternColorIndex := 0")))
        << "not one of the sixteen";
}

TEST(ProfGridExport, WordColorIndexTable)
{
    const std::vector<std::pair<TColor, int>> cases = {
        {clBlack, 1}, {clBlue, 2},   {clAqua, 3},  {clLime, 4},     {clFuchsia, 5}, {clRed, 6},
        {clYellow, 7}, {clWhite, 8}, {clNavy, 9},  {clTeal, 10},    {clGreen, 11},  {clPurple, 12},
        {clMaroon, 13}, {clOlive, 14}, {clGray, 15}, {clSilver, 16}, {clCream, 0},  {clWindow, 8},
        {clBtnShadow, 15}, {clBtnFace, 0},
    };
    for (const auto& [color, index] : cases)
        EXPECT_EQ(WordColorIndex(color), index) << color;
}

TEST(ProfGridExport, SystemColoursGoAsTheirRgbValue)
{
    ScopedRecordingOffice office;
    Grid f(1, 2, 1);
    f.g.Cell(0, 0).SetColor(clBtnFace);
    EXPECT_TRUE(f.g.ExportToExcel(true));
    EXPECT_TRUE(office.Actions().contains(
        QStringLiteral("Sheet1.Cells(1,1).Interior.Color := %1").arg(fc::ColorToRGB(clBtnFace))));
}

TEST(ProfGridExport, RunningExcelKeepsTheUsersWorkbooks)
{
    ScopedRecordingOffice office;
    office.RunningExcelWorkbooks = 2;
    Grid f(2, 2, 1);
    EXPECT_TRUE(f.g.ExportToExcel(true));
    EXPECT_EQ(office.Excel->Workbooks()->Count(), 3);
    EXPECT_EQ(office.Excel->SheetsInNewWorkbook(), 1);
    // A stopped export closes only its own workbook and leaves Excel running.
    Events ev;
    ev.stopAt = 5;
    ev.Attach(f.g);
    office.ClearLog();
    EXPECT_FALSE(f.g.ExportToExcel(true));
    EXPECT_EQ(office.Excel->Workbooks()->Count(), 3);
    const QStringList a = office.Actions();
    EXPECT_FALSE(a.contains(QStringLiteral("Excel.Quit")));
    EXPECT_FALSE(a.contains(QStringLiteral("Excel.DisplayAlerts := False")));
    EXPECT_TRUE(a.contains(QStringLiteral("Book4.Close(False)")));
}

TEST(ProfGridExport, OneCellAndLineBreaks)
{
    ScopedRecordingOffice office;
    Grid f(1, 1, 0);
    f.g.Cell(0, 0).SetText(QStringLiteral("1\r2\n3\r\n=A1"));
    EXPECT_TRUE(f.g.ExportToExcel(true));
    EXPECT_TRUE(office.Actions().contains(QStringLiteral("Sheet1.Cells(1,1) := \"1\\r2\\n3\\n=A1\"")));
    office.ClearLog();
    EXPECT_TRUE(f.g.ExportToWord(true));
    const QStringList a = office.Actions();
    EXPECT_TRUE(a.contains(QStringLiteral("Document1.Range.Text := \"1ProfGridTag2\\n3ProfGridTag=A1\\r\\n\"")));
    for (const QString& l : a)
        EXPECT_FALSE(l.contains(QStringLiteral("Merge"))) << qPrintable(l);
}

TEST(ProfGridExport, ExportTagRefusesACarriageReturn)
{
    TProfGrid g;
    g.SetExportTag(QStringLiteral("a\rb"));
    EXPECT_EQ(g.ExportTag(), QStringLiteral("ProfGridTag"));
    g.SetExportTag(QStringLiteral("#BR#"));
    EXPECT_EQ(g.ExportTag(), QStringLiteral("#BR#"));
}

TEST(ProfGridExport, HiddenColumnsTakePartWithTheirStoredWidth)
{
    // Columns 0 and 1 merged, column 1 hidden: the span's one visible column
    // is 0, so the walk formats the cell at both columns and merges nothing.
    ScopedRecordingOffice office;
    Grid f(3, 1, 0);
    ASSERT_TRUE(f.g.MergeCells(0, 0, 1, 0));
    f.g.Cell(0, 0).SetColor(clRed);
    f.g.Columns(1).SetVisible(false);
    Events ev;
    ev.Attach(f.g);
    EXPECT_TRUE(f.g.ExportToWord(true));
    EXPECT_EQ(ev.seen, ev.Run(22 + 21 + 2 + 6));
    const QStringList a = office.Actions();
    EXPECT_TRUE(a.contains(QStringLiteral("Table1.Columns.Item(2).Width := 48")));
    EXPECT_TRUE(a.contains(QStringLiteral("Table1.Cell(1,2).Range.Shading.BackgroundPatternColor := 255")));
    EXPECT_TRUE(a.contains(QStringLiteral("Table1.Cell(1,1).Range.Shading.BackgroundPatternColor := 255")));
    EXPECT_TRUE(a.contains(QStringLiteral("Document1.Range.Text := \"a0\\t\\tc0\\r\\n\"")));
    for (const QString& l : a)
        EXPECT_FALSE(l.contains(QStringLiteral("Merge"))) << qPrintable(l);
}

TEST(ProfGridExport, EveryColumnFontStyleIsOneStatement)
{
    ScopedRecordingOffice office;
    Grid f(1, 1, 0);
    TFont all = f.g.Columns(0).Font();
    all.Style = fsBold | fsItalic | fsUnderline | fsStrikeOut;
    f.g.Columns(0).SetFont(all);
    f.g.Cell(0, 0).SetFont(all);
    Events ev;
    ev.Attach(f.g);
    EXPECT_TRUE(f.g.ExportToWord(true));
    EXPECT_EQ(ev.seen, ev.Run(22 + 11 + 6));
    QStringList a = office.Actions();
    EXPECT_TRUE(a.contains(QStringLiteral("Word.Selection.Font.Bold := True")));
    EXPECT_TRUE(a.contains(QStringLiteral("Word.Selection.Range.Font.Italic := True")));
    EXPECT_TRUE(a.contains(QStringLiteral("Word.Selection.Range.Font.Underline := True")));
    EXPECT_TRUE(a.contains(QStringLiteral("Word.Selection.Range.Font.StrikeThrough := True")));
    office.ClearLog();
    ev.seen.clear();
    EXPECT_TRUE(f.g.ExportToExcel(true));
    EXPECT_EQ(ev.seen, ev.Run(13 + 17 + 1 + 2));
    a = office.Actions();
    for (const char* style : {"Bold", "Italic", "Underline", "StrikeThrough"})
        EXPECT_TRUE(a.contains(QStringLiteral("Excel.Selection.Font.%1 := True").arg(QLatin1String(style)))) << style;
}
