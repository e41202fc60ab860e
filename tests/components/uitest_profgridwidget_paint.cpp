// Painting of the grid widget, checked on the pixels of its viewport.

#include <QPainter>
#include <QScrollBar>

#include "ProfGridWidgetSupport.h"

namespace {

class GridPaint : public GridWidgetTest {
protected:
    // 4 x 4 cells of 60 x 20 pixels, one fixed row and column.
    TProfGridWidget& Small()
    {
        TProfGridWidget& g = MakeGrid(400, 200);
        g.BeginUpdate();
        g.SetColCount(4);
        g.SetRowCount(4);
        g.EndUpdate();
        g.SetDefaultColWidth(60);
        g.SetOptions(g.Options() - pgoDrawFocusRectangle);
        return g;
    }
};

TEST_F(GridPaint, FixedAndPlainCellsWithTheirLines)
{
    TProfGridWidget& g = Small();
    ASSERT_EQ(g.DefaultRowHeight(), 20);
    g.SetFixedGridLineColor(clBlack);
    g.SetGridLineColor(clSilver);
    const QImage img = Grab();
    // Fixed cell (0, 1): face colour inside, black line inside its right and
    // bottom edge, raised edge: light on top and left, shadow at the bottom.
    EXPECT_EQ(img.pixel(30, 30), Rgb(clBtnFace));
    EXPECT_EQ(img.pixel(59, 30), Rgb(clBlack));
    EXPECT_EQ(img.pixel(30, 39), Rgb(clBlack));
    EXPECT_EQ(img.pixel(30, 20), Rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(0, 30), Rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(30, 38), Rgb(clBtnShadow));
    EXPECT_EQ(img.pixel(58, 30), Rgb(clBtnShadow));
    // Plain cell (2, 2): window colour, silver lines at x = 179 and y = 59.
    EXPECT_EQ(img.pixel(150, 50), Rgb(clWindow));
    EXPECT_EQ(img.pixel(179, 50), Rgb(clSilver));
    EXPECT_EQ(img.pixel(150, 59), Rgb(clSilver));
    EXPECT_EQ(img.pixel(178, 58), Rgb(clWindow)) << "lines are one pixel wide";
    // Outside the cells the grid's colour.
    g.SetColor(clYellow);
    const QImage img2 = Grab();
    EXPECT_EQ(img2.pixel(300, 150), Rgb(clYellow));
    EXPECT_EQ(img2.pixel(150, 50), Rgb(clYellow));
}

TEST_F(GridPaint, WideLinesAndNoLines)
{
    TProfGridWidget& g = Small();
    g.SetGridLineWidth(3);
    QImage img = Grab();
    for (int x : {177, 178, 179})
        EXPECT_EQ(img.pixel(x, 50), Rgb(clSilver)) << x;
    EXPECT_EQ(img.pixel(176, 50), Rgb(clWindow));
    g.SetGridLineWidth(0);
    img = Grab();
    EXPECT_EQ(CountColour(img, QRect(60, 20, 180, 60), Rgb(clSilver)), 0);
    EXPECT_EQ(CountColour(img, QRect(0, 0, 240, 80), Rgb(clBlack)), 0) << "no fixed lines either";
}

TEST_F(GridPaint, SelectionColours)
{
    TProfGridWidget& g = Small();
    g.SetOptions(g.Options() + pgoDrawFocusRectangle);
    g.Cell(1, 1).SetText(QStringLiteral("H"));
    g.Cell(2, 1).SetText(QStringLiteral("H"));
    g.SelectCell(1, 1);
    TProfGridSelection& s = g.Selection();
    s.BeginUpdate();
    s.SetRight(2);
    s.SetBottom(2);
    s.EndUpdate();
    QImage img = Grab();
    // The other selected cells take the selection colour with light text;
    // the current cell keeps its own colours.
    EXPECT_EQ(img.pixel(150, 50), Rgb(clHighlight));
    EXPECT_TRUE(HasInk(img, QRect(121, 21, 56, 16), Rgb(clHighlightText), Rgb(clHighlight)));
    EXPECT_TRUE(HasInk(img, QRect(61, 21, 56, 16), Rgb(clWindowText), Rgb(clWindow)));
    EXPECT_EQ(img.pixel(90, 30), Rgb(clWindow));
    EXPECT_EQ(img.pixel(210, 30), Rgb(clWindow)) << "outside the selection";
    // The focus frame inverts every other pixel of the current cell's
    // inner rectangle.
    EXPECT_EQ(img.pixel(60, 20), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(61, 20), Rgb(clWindow));

    g.SetOptions(g.Options() + pgoDrawFocusSelected);
    img = Grab();
    EXPECT_EQ(img.pixel(90, 30), Rgb(clHighlight)) << "painted like the rest of the selection";

    // A selection colour equal to the highlight text colour writes the text
    // in the highlight colour.
    g.SetSelectColor(clWhite);
    img = Grab();
    EXPECT_EQ(img.pixel(150, 30), Rgb(clWhite));
    EXPECT_TRUE(HasInk(img, QRect(121, 21, 56, 16), Rgb(clHighlight), Rgb(clWhite)));
}

TEST_F(GridPaint, TextAnchorsAndAlignments)
{
    TProfGridWidget& g = Small();
    TProfGridCell& c = g.Cell(1, 1);
    c.SetText(QStringLiteral("HH"));
    auto inkColumns = [&](const QImage& img) {
        int first = -1, last = -1;
        for (int x = 60; x < 120; ++x)
            if (HasInk(img, QRect(x, 21, 1, 17), Rgb(clWindowText), Rgb(clWindow))) {
                if (first < 0)
                    first = x;
                last = x;
            }
        return std::pair<int, int>(first, last);
    };
    const int tw = g.Measurer().TextWidth(c.Font(), QStringLiteral("HH"));
    // Left: BorderForText from the left edge (H has a side bearing of a pixel
    // or so).
    auto [l1, r1] = inkColumns(Grab());
    EXPECT_GE(l1, 62);
    EXPECT_LE(l1, 64);
    // Right: ends BorderForText plus the line allowance left of the edge.
    c.SetAlignment(taRightJustify);
    auto [l2, r2] = inkColumns(Grab());
    EXPECT_LE(r2, 120 - 2 - 1 - 1);
    EXPECT_GE(r2, 120 - 2 - 1 - 3);
    EXPECT_EQ(l2 - l1, (60 - tw - 1 - 2) - 2);
    // Centre ignores BorderForText.
    c.SetAlignment(taCenter);
    auto [l3, r3] = inkColumns(Grab());
    EXPECT_EQ(l3 - l1, (60 - tw - 1) / 2 - 2);

    // Vertical: the first line's top at top + BorderForText, or lower.
    c.SetAlignment(taLeftJustify);
    g.BeginUpdate();
    g.Cell(2, 1).SetText(QStringLiteral("a\r\nb\r\nc"));
    g.EndUpdate();
    const int rowH = g.RowHeights(1);
    ASSERT_GT(rowH, 40);
    auto inkTop = [&](const QImage& img) {
        for (int y = 20; y < 20 + rowH - 1; ++y)
            if (HasInk(img, QRect(61, y, 57, 1), Rgb(clWindowText), Rgb(clWindow)))
                return y;
        return -1;
    };
    const int top0 = inkTop(Grab());
    c.SetVertAlignment(vaBottom);
    const int top1 = inkTop(Grab());
    c.SetVertAlignment(vaCenter);
    const int top2 = inkTop(Grab());
    const int slack = rowH - 1 - c.CalcHeight();
    EXPECT_EQ(top1 - top0, slack);
    EXPECT_EQ(top2 - top0, slack / 2);
}

TEST_F(GridPaint, MergedCellScrolledUnderTheFixedColumnsIsClippedThere)
{
    TProfGridWidget& g = MakeGrid(300, 120);
    g.BeginUpdate();
    g.SetColCount(7);
    g.SetRowCount(3);
    g.EndUpdate();
    g.SetDefaultColWidth(60);
    g.SetOptions(g.Options() - pgoDrawFocusRectangle);
    ASSERT_TRUE(g.MergeCells(1, 1, 3, 1));
    g.Cell(1, 1).SetText(QStringLiteral("WWWWWWWWWWWWWW"));
    g.Cell(1, 1).SetColor(clAqua);
    ASSERT_EQ(g.RowHeights(1), 20) << "one line";
    const QImage whole = Grab();
    // Text across the whole merged width, drawn once.
    EXPECT_GT(CountOther(whole, QRect(62, 22, 50, 15), Rgb(clAqua)), 0);
    EXPECT_GT(CountOther(whole, QRect(182, 22, 50, 15), Rgb(clAqua)), 0);
    EXPECT_EQ(whole.pixel(119, 37), Rgb(clAqua)) << "no line inside a merged cell";

    g.SetLeftCol(2);
    const QImage scrolled = Grab();
    // The fixed column is untouched by the text.
    EXPECT_EQ(CountOther(scrolled, QRect(1, 21, 57, 17), Rgb(clBtnFace)), 0);
    // The visible part shows the text where it lies in the whole cell.
    for (int y = 20; y < 40; ++y)
        for (int x = 60; x < 180; ++x)
            ASSERT_EQ(scrolled.pixel(x, y), whole.pixel(x + 60, y)) << x << "," << y;
}

TEST_F(GridPaint, AHiddenColumnTakesNoRoom)
{
    TProfGridWidget& g = Small();
    g.Cell(1, 2).SetText(QStringLiteral("H"));
    ASSERT_TRUE(g.MergeCells(1, 2, 3, 2));
    g.Columns(2).SetVisible(false);
    Settle();
    // Layout: column 3 follows column 1 directly; the hidden column keeps
    // its own width for when it shows again.
    EXPECT_EQ(g.ColWidths(2), 0);
    EXPECT_EQ(g.Columns(2).Width(), 60);
    EXPECT_EQ(g.ColLeft(3), 120);
    EXPECT_EQ(g.CellRect(1, 2), QRect(60, 40, 120, 20)) << "the merged cell spans columns 1 and 3 only";
    // Hit tests: the place of the old gap is column 3.
    EXPECT_EQ(g.MouseCoord(150, 30), QPoint(3, 1));
    EXPECT_EQ(g.MouseCoord(119, 30), QPoint(1, 1));
    // Painting: column 3's line where it ends, no blank gap, the merged
    // cell's text at its left edge.
    const QImage img = Grab();
    EXPECT_EQ(img.pixel(179, 30), Rgb(clSilver));
    EXPECT_EQ(img.pixel(150, 30), Rgb(clWindow));
    EXPECT_EQ(img.pixel(119, 30), Rgb(clSilver));
    EXPECT_EQ(CountColour(img, QRect(180, 0, 80, 80), Rgb(clSilver)), 0) << "no cell right of the last column";
    EXPECT_TRUE(HasInk(img, QRect(60, 40, 12, 19), Rgb(clWindowText), Rgb(clWindow)));
    // Scrolling counts it as nothing either.
    g.resize(g.width() - g.viewport()->width() + 190, g.height());
    Settle();
    EXPECT_EQ(g.VisibleColCount(), 3) << "columns 1 to 3 fit in 190 pixels beside the fixed column";

    // A width given while hidden waits for the column to show.
    g.SetDefaultColWidth(50);
    EXPECT_EQ(g.ColWidths(2), 0);
    g.Columns(2).SetVisible(true);
    EXPECT_EQ(g.ColWidths(2), 60);
    EXPECT_EQ(g.ColLeft(3), 160);
}

TEST_F(GridPaint, WithoutDefaultDrawingOnDrawCellPaintsTheRest)
{
    TProfGridWidget& g = Small();
    g.Cell(1, 1).SetText(QStringLiteral("HHH"));
    g.Cell(1, 1).SetColor(clRed);
    g.SetDefaultDrawing(false);
    int calls = 0;
    QRect seen;
    TGridDrawState fixedState = 0;
    g.OnDrawCell = [&](TProfGrid&, int c, int r, const QRect& rect, TGridDrawState state, QPainter& p) {
        ++calls;
        if (c == 1 && r == 1) {
            seen = rect;
            p.fillRect(QRect(rect.left(), rect.top(), 5, 5), Qt::green);
        }
        if (c == 0 && r == 0)
            fixedState = state;
    };
    Settle();
    calls = 0;
    const QImage img = g.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(calls, 16);
    EXPECT_EQ(seen, QRect(60, 20, 59, 19)) << "the inner rectangle, without the lines";
    EXPECT_TRUE(fixedState & gdFixed);
    EXPECT_EQ(img.pixel(100, 30), Rgb(clWindow)) << "filled with the grid's colour, no text";
    EXPECT_EQ(CountOther(img, QRect(66, 21, 50, 17), Rgb(clWindow)), 0) << "no text";
    EXPECT_EQ(img.pixel(119, 30), Rgb(clSilver)) << "lines still painted";
    EXPECT_EQ(img.pixel(61, 21), qRgb(0, 255, 0));
}

TEST_F(GridPaint, ScrollBarsFollowRowsAndColumns)
{
    TProfGridWidget& g = MakeGrid(200, 100, ssBoth);
    g.BeginUpdate();
    g.SetRowCount(30);
    g.SetColCount(10);
    g.EndUpdate();
    Settle();
    QScrollBar* v = g.verticalScrollBar();
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->minimum(), 1);
    EXPECT_EQ(v->value(), 1);
    v->setValue(5);
    EXPECT_EQ(g.TopRow(), 5);
    g.SelectCell(1, 29);
    Settle();
    EXPECT_EQ(v->value(), g.TopRow());
    EXPECT_EQ(v->maximum(), g.TopRow()) << "the last row ends at the bottom";
    EXPECT_GE(g.TopRow() + g.VisibleRowCount(), 29);
}

} // namespace
