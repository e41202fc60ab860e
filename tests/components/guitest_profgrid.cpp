// The grid model's properties, defaults, guards, accessors, counts and the
// update bracket.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "ProfGridChecks.h"
#include "components/ProfGrid.h"
#include "platform/Errors.h"
#include "tests/support/TestSupport.h"

namespace {

// Counts what the widget would be asked to paint.
class CountingGrid : public TProfGrid {
public:
    int paints = 0;
    std::vector<std::pair<int, int>> cellPaints;

protected:
    void PaintControl() override { ++paints; }
    void PaintCell(int c, int r, bool) override { cellPaints.emplace_back(c, r); }
};

QString ErrorText(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EListError& e) {
        return e.Message();
    }
    return QStringLiteral("no error");
}

} // namespace

TEST(ProfGrid, ConstructionDefaults)
{
    TProfGrid g;
    EXPECT_EQ(g.About(), QStringLiteral("v1.05.19"));
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.BorderForText(), 2);
    EXPECT_EQ(g.ClipboardLineBreak(), clbSoftEnter);
    EXPECT_EQ(g.ClipboardLineBreakText(), QStringLiteral("\n"));
    EXPECT_EQ(g.Color(), clWindow);
    EXPECT_EQ(g.DefaultColWidth(), 64);
    EXPECT_TRUE(g.DefaultDrawing());
    EXPECT_EQ(g.Font().Name, QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(g.Font().Height, -11);
    EXPECT_EQ(g.Font().Size(), 8);
    EXPECT_EQ(g.DefaultRowHeight(), 20);
    EXPECT_EQ(g.EditColor(), clWindow);
    EXPECT_EQ(g.EllipsisCharacter(), QString(QChar(0x2026)));
    EXPECT_EQ(g.ExportTag(), QStringLiteral("ProfGridTag"));
    EXPECT_EQ(g.FixedColor(), clBtnFace);
    EXPECT_EQ(g.FixedGridLineColor(), clBlack);
    EXPECT_EQ(g.GridLineColor(), clSilver);
    EXPECT_EQ(g.GridLineWidth(), 1);
    EXPECT_EQ(g.SelectColor(), clHighlight);
    EXPECT_TRUE(g.WordWrap());
    EXPECT_EQ(g.ScrollBars(), ssBoth);
    EXPECT_EQ(g.BorderStyle(), bsSingle);
    const TProfGridOptions expected{pgoFixedVertLine, pgoFixedHorzLine, pgoVertLine,           pgoHorzLine,
                                    pgoRangeSelect,   pgoTabs,          pgoDrawFocusRectangle, pgoMultiLineCells};
    EXPECT_EQ(g.Options(), expected);
    EXPECT_EQ(g.PrintOptions(), poUseVertLine | poUseHorzLine | poUseFixedVertLine | poUseFixedHorzLine);
    EXPECT_EQ(g.PrintMargins().Left(), 0.0);
    EXPECT_EQ(g.HeaderFont(), g.Font());
    for (int r = 0; r < 5; ++r)
        EXPECT_EQ(g.RowHeights(r), 20);
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(g.ColWidths(c), 64);
        EXPECT_EQ(g.Columns(c).Width(), 64);
        EXPECT_EQ(g.Columns(c).Color(), c == 0 ? clBtnFace : clWindow);
        EXPECT_EQ(g.Columns(c).GroupLevel(), 0);
        EXPECT_EQ(&g.LayoutColumns(c), &g.Columns(c));
        EXPECT_EQ(g.Columns(c).SlotCount(), 0) << "cells appear only on demand";
    }
    // A new cell: colours by fixed area, the column's font and alignment.
    EXPECT_EQ(g.Cell(0, 2).Color(), clBtnFace);
    EXPECT_EQ(g.Cell(2, 0).Color(), clBtnFace);
    EXPECT_EQ(g.Cell(2, 2).Color(), clWindow);
    EXPECT_EQ(g.Cell(2, 2).Height(), 20);
    EXPECT_EQ(g.Cell(2, 2).Font(), g.Font());
    EXPECT_EQ(g.Cell(2, 2).Alignment(), taLeftJustify);
    EXPECT_EQ(g.Columns(2).SlotCount(), 3);
    EXPECT_EQ(&g.Cell(2, 2), &g.Columns(2).CellAt(2));
    EXPECT_TRUE(GridIsConsistent(g));
}

TEST(ProfGrid, OutOfRangeIndexesRaiseTheListError)
{
    TProfGrid g;
    EXPECT_EQ(ErrorText([&] { g.Cell(5, 0); }), QStringLiteral("List index out of bounds (5, 0)"));
    EXPECT_EQ(ErrorText([&] { g.Cell(0, -1); }), QStringLiteral("List index out of bounds (0, -1)"));
    EXPECT_EQ(ErrorText([&] { g.Columns(5); }), QStringLiteral("List index out of bounds (5)"));
    EXPECT_EQ(ErrorText([&] { g.LayoutColumns(-1); }), QStringLiteral("List index out of bounds (-1)"));
    EXPECT_EQ(ErrorText([&] { g.ColWidths(5); }), QStringLiteral("List index out of bounds (5)"));
    EXPECT_EQ(ErrorText([&] { g.RowHeights(7); }), QStringLiteral("List index out of bounds (7)"));
    EXPECT_EQ(ErrorText([&] { g.Columns(1).CellAt(5); }), QStringLiteral("List index out of bounds (5)"));
    EXPECT_EQ(ErrorText([&] { g.Cell(4, 4); }), QStringLiteral("no error"));
    EXPECT_EQ(g.Columns(1).SlotCount(), 0) << "a refused index creates nothing";
}

TEST(ProfGrid, SettersIgnoreInvalidAndUnchangedValues)
{
    TProfGrid g;
    g.SetRowCount(0);
    g.SetColCount(0);
    g.SetBorderForText(-1);
    g.SetDefaultColWidth(0);
    g.SetGridLineWidth(-1);
    g.SetExportTag(QString());
    g.SetAbout(QStringLiteral("v9"));
    g.SetFixedRows(5);
    g.SetFixedRows(-1);
    g.SetFixedCols(5);
    g.Columns(1).SetMaxWidth(100);
    g.Columns(1).SetWidth(150);
    g.Columns(2).SetMinWidth(30);
    g.Columns(2).SetWidth(10);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.BorderForText(), 2);
    EXPECT_EQ(g.DefaultColWidth(), 64);
    EXPECT_EQ(g.GridLineWidth(), 1);
    EXPECT_EQ(g.ExportTag(), QStringLiteral("ProfGridTag"));
    EXPECT_EQ(g.About(), QStringLiteral("v1.05.19"));
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(g.Columns(1).Width(), 100);
    EXPECT_EQ(g.ColWidths(1), 100) << "the width reaches the underlying grid";
    EXPECT_EQ(g.Columns(2).Width(), 30);

    TPrintMargins& m = g.PrintMargins();
    m.SetRight(0.5);
    m.SetLeft(0.6);
    EXPECT_EQ(m.Left(), 0.0);
    m.SetLeft(-0.1);
    EXPECT_EQ(m.Left(), 0.0);
    m.SetLeft(0.4);
    EXPECT_EQ(m.Left(), 0.4);

    g.SetOptions(g.Options() + pgoRowSelect + pgoAlwaysShowEditor);
    EXPECT_TRUE(g.Options().Has(pgoRowSelect));
    EXPECT_FALSE(g.Options().Has(pgoAlwaysShowEditor));

    for (TClipboardLineBreak b : {clbNone, clbSpace, clbEnter, clbSoftEnter}) {
        g.SetClipboardLineBreak(b);
        EXPECT_EQ(g.ClipboardLineBreak(), b);
    }
}

TEST(ProfGrid, ColorAvoidsTheGridLineColour)
{
    struct Case {
        TColor gridLine, color, expectedLine;
    } cases[] = {
        {clSilver, clSilver, clGray},
        {clSilver, fc::RGBColor(192, 192, 192), clGray},
        {clGray, clGray, clSilver},
        {clBlack, fc::RGBColor(0, 0, 0), clSilver},
        {clSilver, clYellow, clSilver},
    };
    for (const Case& c : cases) {
        TProfGrid g;
        g.SetGridLineColor(c.gridLine);
        g.SetColor(c.color);
        EXPECT_EQ(g.GridLineColor(), c.expectedLine) << std::hex << c.color;
    }
}

TEST(ProfGrid, ColoursReachColumnsAndCells)
{
    TProfGrid g;
    g.Cell(1, 0);
    g.Cell(1, 2);
    g.Cell(0, 2);
    g.SetColor(clYellow);
    EXPECT_EQ(g.Cell(1, 2).Color(), clYellow);
    EXPECT_EQ(g.Cell(1, 0).Color(), clBtnFace) << "fixed rows keep their colour";
    EXPECT_EQ(g.Cell(0, 2).Color(), clBtnFace) << "fixed columns keep their colour";
    EXPECT_EQ(g.Cell(3, 3).Color(), clYellow) << "a new cell takes the column colour";
    g.SetOptions(g.Options() + pgoChangeColorFixedCells);
    g.Columns(1).SetColor(clAqua);
    EXPECT_EQ(g.Cell(1, 0).Color(), clAqua);
    g.SetFixedColor(clWhite);
    EXPECT_EQ(g.Cell(0, 2).Color(), clWhite);
    EXPECT_EQ(g.Cell(3, 0).Color(), clWhite);
    EXPECT_EQ(g.Cell(3, 3).Color(), clYellow);
}

TEST(ProfGrid, FontChangesKeepTheAttributesTheGridDidNotChange)
{
    TProfGrid g;
    TFont arial = g.Font();
    arial.Name = QStringLiteral("Arial");
    g.Cell(2, 2).SetFont(arial);
    TFont colFont = g.Columns(3).Font();
    colFont.Color = clRed;
    g.Columns(3).SetFont(colFont);
    g.Cell(3, 1);

    TFont bold = g.Font();
    bold.Style = fsBold;
    g.SetFont(bold);
    EXPECT_TRUE(g.Cell(2, 2).Font().Bold());
    EXPECT_EQ(g.Cell(2, 2).Font().Name, QStringLiteral("Arial"));
    EXPECT_TRUE(g.Cell(1, 1).Font().Bold());
    EXPECT_EQ(g.Cell(1, 1).Font().Name, QStringLiteral("MS Sans Serif"));
    EXPECT_TRUE(g.Columns(3).Font().Bold());
    EXPECT_EQ(g.Columns(3).Font().Color, clRed);
    EXPECT_EQ(g.Cell(3, 1).Font().Color, clRed);
    EXPECT_TRUE(g.Cell(3, 4).Font().Bold()) << "a later cell takes the column font";

    TFont big = bold;
    big.SetSize(12);
    g.SetFont(big);
    EXPECT_EQ(g.Cell(2, 2).Font().Height, -16);
    EXPECT_EQ(g.Cell(2, 2).Font().Name, QStringLiteral("Arial"));
}

TEST(ProfGrid, SetTextTable)
{
    fc::test::ScopedSeparators sep(QChar(','), QChar('.'));
    TProfGrid g;
    g.Columns(2).SetNumericOnly(true);
    struct Case {
        int col, row;
        QString before, value, expected;
    } cases[] = {
        {2, 2, "", "12,5", "12,5"},
        {2, 2, "", "-", "-"},
        {2, 2, "", "-3", "-3"},
        {2, 2, "", "1.5", "1.5"}, // the standard parse reads a point too
        {2, 2, "7", "abc", "7"},
        {2, 2, "7", "12a", "7"},
        {2, 2, "7", "", ""},
        {2, 0, "", "abc", "abc"}, // fixed row
        {1, 2, "", "abc", "abc"}, // ordinary column
        {3, 3, "", QStringLiteral("a") + QChar(0) + QStringLiteral("b"), "ab"},
        {3, 3, "", QStringLiteral("line1\r\nline2"), QStringLiteral("line1\r\nline2")},
    };
    for (const Case& c : cases) {
        TProfGridCell& cell = g.Cell(c.col, c.row);
        cell.SetText(QString());
        cell.SetText(c.before);
        cell.SetText(c.value);
        EXPECT_EQ(cell.Text(), c.expected) << c.value.toStdString();
    }
    // Any text is taken in a numeric column's cell merged over two columns.
    ASSERT_TRUE(g.MergeCells(2, 4, 3, 4));
    g.Cell(2, 4).SetText(QStringLiteral("abc"));
    EXPECT_EQ(g.Cell(3, 4).Text(), QStringLiteral("abc"));
}

TEST(ProfGrid, SameTextAndSameColourDoNotRepaint)
{
    CountingGrid g;
    g.SetWindowHandleCreated(true);
    TProfGridCell& c = g.Cell(2, 3);
    c.SetText(QStringLiteral("x"));
    ASSERT_EQ(g.cellPaints.size(), 1u);
    EXPECT_EQ(g.cellPaints[0], std::make_pair(2, 3));
    c.SetText(QStringLiteral("x") + QChar(0));
    c.SetColor(c.Color());
    c.SetAlignment(c.Alignment());
    EXPECT_EQ(g.cellPaints.size(), 1u);
    c.SetAlignment(taRightJustify);
    EXPECT_EQ(g.cellPaints.size(), 2u);
}

TEST(ProfGrid, UpdateBracketDefersHeightsAndPaintsOnceAtTheOutermostEnd)
{
    CountingGrid g;
    FixedPitchMeasurer m(6, 13);
    g.SetTextMeasurer(&m);
    g.SetWindowHandleCreated(true);
    g.BeginUpdate();
    g.BeginUpdate();
    g.Cell(1, 1).SetText(QStringLiteral("aaaa bbbb cccc dddd"));
    g.SetRowCount(8);
    g.Columns(2).SetWidth(100);
    EXPECT_EQ(g.RowHeights(1), 20);
    EXPECT_EQ(g.ColWidths(2), 64) << "widths reach the underlying grid at the end";
    g.EndUpdate();
    EXPECT_EQ(g.UpdateCount(), 1);
    EXPECT_EQ(g.RowHeights(1), 20);
    EXPECT_EQ(g.paints, 0);
    EXPECT_TRUE(g.cellPaints.empty());
    g.EndUpdate();
    EXPECT_EQ(g.UpdateCount(), 0);
    EXPECT_EQ(g.paints, 1);
    EXPECT_EQ(g.ColWidths(2), 100);
    EXPECT_EQ(g.RowHeights(1), 13 * 3 + 1 + 4) << "the text wraps into three lines";
    EXPECT_EQ(g.RowHeights(7), 20);
    EXPECT_TRUE(GridIsConsistent(g));
}

TEST(ProfGrid, MarksSetInsideABracketSurviveUntilItsEnd)
{
    TProfGrid g;
    FixedPitchMeasurer m(6, 13);
    g.SetTextMeasurer(&m);
    g.Cell(1, 1).SetText(QStringLiteral("aaaa bbbb cccc"));
    const int wrapped = g.RowHeights(1);
    EXPECT_GT(wrapped, 20);
    g.BeginUpdate();
    g.SetWordWrap(false);
    g.EndUpdate();
    EXPECT_EQ(g.RowHeights(1), 20) << "turning word wrap off inside a bracket rewraps at its end";
    EXPECT_EQ(g.Cell(1, 1).Lines().size(), 1);
}

TEST(ProfGrid, ShrinkingAndGrowingRows)
{
    TProfGrid g;
    g.SetRowCount(10);
    g.SetRow(8);
    ASSERT_EQ(g.Row(), 8);
    g.Cell(1, 9).SetText(QStringLiteral("gone"));
    g.SetRowCount(3);
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.Columns(1).SlotCount(), 3);
    EXPECT_TRUE(GridIsConsistent(g));

    // The current row moves only when it lies beyond the new count.
    g.SetRowCount(10);
    EXPECT_EQ(g.Columns(1).SlotCount(), 3) << "growing creates no cells";
    EXPECT_EQ(g.RowHeights(9), 20);
    g.SetRow(1);
    g.SetRowCount(4);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_TRUE(GridIsConsistent(g));

    // Down to the fixed rows: the fixed area shrinks to leave a row.
    g.SetRowCount(6);
    g.SetFixedRows(3);
    ASSERT_EQ(g.FixedRows(), 3);
    g.SetRowCount(3);
    EXPECT_EQ(g.FixedRows(), 2);
    g.SetRowCount(5);
    g.SetFixedRows(3);
    g.SetRowCount(1);
    EXPECT_EQ(g.FixedRows(), 0) << "never as many fixed rows as rows";
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_TRUE(GridIsConsistent(g));
}

TEST(ProfGrid, ShrinkingToTheFixedRowsStopsAtAMergedCell)
{
    TProfGrid g;
    g.SetRowCount(6);
    ASSERT_TRUE(g.MergeCells(2, 1, 2, 2));
    g.SetFixedRows(3);
    ASSERT_EQ(g.FixedRows(), 3);
    g.SetRowCount(3);
    EXPECT_EQ(g.FixedRows(), 1) << "the fixed area may not end inside the merged cell";
    EXPECT_TRUE(GridIsConsistent(g));
}

TEST(ProfGrid, ShrinkingAndGrowingColumns)
{
    TProfGrid g;
    g.SetFixedCols(3);
    g.SetCol(4);
    g.SetColCount(2);
    EXPECT_EQ(g.ColCount(), 2);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_TRUE(GridIsConsistent(g));
    g.SetColCount(6);
    EXPECT_EQ(g.ColCount(), 6);
    EXPECT_EQ(g.ColWidths(5), 64);
    EXPECT_EQ(&g.LayoutColumns(5), &g.Columns(5));
    EXPECT_EQ(g.Columns(5).Color(), clWindow);
    EXPECT_TRUE(GridIsConsistent(g));
}

TEST(ProfGrid, FixedRowsMayOnlyEndAtAnEdgeOfEveryColumn)
{
    TProfGrid g;
    g.SetRowCount(6);
    ASSERT_TRUE(g.MergeCells(3, 1, 3, 2));
    g.SetFixedRows(2);
    EXPECT_EQ(g.FixedRows(), 1) << "row 2 lies inside a merged cell of column 3";
    g.SetFixedRows(3);
    EXPECT_EQ(g.FixedRows(), 3);
    EXPECT_EQ(g.Cell(1, 1).Color(), clBtnFace);
    EXPECT_EQ(g.Cell(3, 2).Color(), clBtnFace);
    EXPECT_EQ(g.Row(), 3) << "the current cell leaves the fixed area";
    g.SetFixedRows(0);
    EXPECT_EQ(g.FixedRows(), 0);
    EXPECT_EQ(g.Cell(1, 1).Color(), clWindow);
    EXPECT_EQ(g.Cell(0, 1).Color(), clBtnFace) << "column 0 is still fixed";
    EXPECT_TRUE(GridIsConsistent(g));
}

TEST(ProfGrid, FixedColsMayNotCutAMergedCell)
{
    TProfGrid g;
    ASSERT_TRUE(g.MergeCells(1, 3, 2, 3));
    g.SetFixedCols(2);
    EXPECT_EQ(g.FixedCols(), 1);
    g.SetFixedCols(3);
    EXPECT_EQ(g.FixedCols(), 3);
    EXPECT_EQ(g.Columns(2).Color(), clBtnFace);
    EXPECT_EQ(g.Cell(2, 2).Color(), clBtnFace);
    EXPECT_EQ(g.Col(), 3);
    g.SetFixedCols(1);
    EXPECT_EQ(g.Columns(2).Color(), clWindow);
    EXPECT_EQ(g.Cell(2, 2).Color(), clWindow);
    EXPECT_TRUE(GridIsConsistent(g));
}

TEST(ProfGrid, ColumnWidthFromTheUnderlyingGridRewrapsTheColumn)
{
    TProfGrid g;
    FixedPitchMeasurer m(6, 13);
    g.SetTextMeasurer(&m);
    g.Cell(2, 2).SetText(QStringLiteral("aaaaa bbbbb"));
    EXPECT_EQ(g.RowHeights(2), 2 * 13 + 5);
    g.SetColWidths(2, 200);
    EXPECT_EQ(g.Columns(2).Width(), 200);
    EXPECT_EQ(g.RowHeights(2), 20);
    g.Columns(2).SetMaxWidth(80);
    EXPECT_EQ(g.Columns(2).Width(), 80);
    g.SetColWidths(2, 300);
    EXPECT_EQ(g.ColWidths(2), 80) << "the clamped width goes back to the underlying grid";
}

TEST(ProfGrid, CurrentCellSelectionAndScrolling)
{
    TProfGrid g;
    g.SetRowCount(20);
    g.SetClientSize(300, 100); // the fixed row and four rows of 20
    int clicks = 0, topLeft = 0;
    g.OnClick = [&](TProfGrid&) { ++clicks; };
    g.OnTopLeftChanged = [&](TProfGrid&) { ++topLeft; };
    g.SetRow(10);
    EXPECT_EQ(g.Row(), 10);
    EXPECT_EQ(g.BaseRow(), 10);
    EXPECT_EQ(g.TopRow(), 7);
    EXPECT_EQ(topLeft, 1) << "fired once at the end of the move";
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(g.Selection().Top(), 10);
    EXPECT_EQ(g.AnchorRow(), 10);
    EXPECT_EQ(g.PreviousRow(), 1);
    g.SetRow(0);
    EXPECT_EQ(g.Row(), 10) << "fixed rows are not selectable by default";
    g.SetTopRow(0);
    EXPECT_EQ(g.TopRow(), 7);
    g.SetTopRow(3);
    EXPECT_EQ(g.TopRow(), 3);
    EXPECT_EQ(g.RowTop(0), 0);
    EXPECT_EQ(g.RowTop(3), 20);
    EXPECT_EQ(g.RowTop(2), 0) << "a row scrolled out lies above the scrolling area";
    EXPECT_EQ(g.ColLeft(3), 64 + 128);
    bool asked = false;
    g.OnSelectCell = [&](TProfGrid&, int, int, bool& can) {
        asked = true;
        can = false;
    };
    EXPECT_FALSE(g.SelectCell(2, 2));
    EXPECT_TRUE(asked);
    EXPECT_EQ(g.Row(), 10);
}

TEST(ProfGrid, SelectionChangesRepaintOnlyTheCellsConcerned)
{
    CountingGrid g;
    g.SetWindowHandleCreated(true);
    g.SetRow(3);
    std::set<std::pair<int, int>> painted(g.cellPaints.begin(), g.cellPaints.end());
    EXPECT_EQ(painted, (std::set<std::pair<int, int>>{{1, 1}, {1, 3}})) << "the old and the new current cell";
    g.cellPaints.clear();
    g.SetRangeSelecting(true);
    g.Selection().BeginUpdate();
    g.Selection().SetRight(2);
    g.Selection().SetBottom(4);
    g.Selection().EndUpdate();
    painted = {g.cellPaints.begin(), g.cellPaints.end()};
    EXPECT_EQ(painted, (std::set<std::pair<int, int>>{{1, 1}, {1, 3}, {1, 4}, {2, 3}, {2, 4}}));
    EXPECT_TRUE(g.Cell(2, 4).IsSelected());
    EXPECT_FALSE(g.Cell(3, 4).IsSelected());

    // With whole-row selection the rectangle spans every scrollable column.
    g.SetRangeSelecting(false);
    g.SetOptions(g.Options() + pgoRowSelect);
    g.SetRow(2);
    EXPECT_EQ(g.Selection().Left(), 1);
    EXPECT_EQ(g.Selection().Right(), 4);
    EXPECT_EQ(g.Selection().Top(), 2);
    EXPECT_EQ(g.Col(), 1);
}

// Shrinking the row count lets the rows go as deleting them one by one from
// the last would: cells merged over the cut keep their part above it and
// wrap again, cells spread over columns go once, the heights follow.
TEST(ProfGrid, ShrinkingRowsIsDeletingThemFromTheLast)
{
    FixedPitchMeasurer m(6, 13);
    auto build = [&m](TProfGrid& g) {
        g.SetTextMeasurer(&m);
        g.SetColCount(5);
        g.SetRowCount(12);
        g.SetWordWrap(true);
        for (int r = 0; r < 12; ++r)
            for (int c = 0; c < 5; ++c)
                g.Cell(c, r).SetText(QStringLiteral("cell %1 %2 with words to wrap").arg(c).arg(r));
        EXPECT_TRUE(g.MergeCells(0, 3, 0, 8));  // over the cut at 6
        EXPECT_TRUE(g.MergeCells(1, 8, 3, 8));  // over columns, below the cut
        EXPECT_TRUE(g.MergeCells(2, 4, 3, 7));  // over rows and columns and the cut
        EXPECT_TRUE(g.MergeCells(4, 9, 4, 11)); // the last rows
        g.SetFixedRows(2);
    };
    auto shape = [](TProfGrid& g) {
        QString out;
        for (int r = 0; r < g.RowCount(); ++r) {
            out += QString::number(g.RowHeights(r)) + ':';
            for (int c = 0; c < g.ColCount(); ++c) {
                const TProfGridCell& x = g.Cell(c, r);
                out += QStringLiteral(" [%1 %2-%3 %4]").arg(x.Text()).arg(x.TopRow()).arg(x.BottomRow()).arg(x.Lines().join('/'));
            }
            out += '\n';
        }
        for (int c = 0; c < g.ColCount(); ++c)
            out += QString::number(g.Columns(c).SlotCount()) + ' ';
        return out + QString::number(g.FixedRows());
    };
    for (int keep : {11, 9, 6, 4, 1}) {
        SCOPED_TRACE(keep);
        TProfGrid a, b;
        build(a);
        build(b);
        a.SetRowCount(keep);
        b.BeginUpdate();
        for (int r = b.RowCount() - 1; r >= keep; --r)
            b.DeleteRow(r);
        b.EndUpdate();
        EXPECT_EQ(a.RowCount(), keep);
        EXPECT_EQ(shape(a).toStdString(), shape(b).toStdString());
        EXPECT_TRUE(GridIsConsistent(a));
    }
}

// Cells come from the grid's own pool in every build, the sanitizer's too:
// a cell let go of gives its block to the next one made, and under the
// address sanitizer a block in the pool is poisoned, so that a cell used
// after it went back is caught as on the plain heap.
TEST(ProfGridCellPool, TheSanitizerBuildRunsThePoolAndCatchesACellUsedAfterItWentBack)
{
    TProfGrid g;
    g.SetColCount(2);
    g.SetRowCount(3);
    const void* last = &g.Cell(1, 2);
    g.SetRowCount(2);
    g.SetRowCount(3);
    EXPECT_EQ(static_cast<const void*>(&g.Cell(1, 2)), last) << "the block went back to the pool and out again";
#if defined(__SANITIZE_ADDRESS__)
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            TProfGrid d;
            d.SetColCount(2);
            d.SetRowCount(3);
            TProfGridCell* gone = &d.Cell(1, 2);
            d.SetRowCount(1);
            std::fprintf(stderr, "%d\n", gone->TopRow());
        },
        "use-after-poison");
#endif
}
