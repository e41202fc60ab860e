// The result grid as the main window uses it: laid out once, filled with
// blocks of rows after each rating, reset to one row before the next run.

#include <gtest/gtest.h>

#include "ProfGridChecks.h"
#include "components/ProfGrid.h"

namespace {

class ResultGrid : public TProfGrid {
public:
    int paints = 0;

protected:
    void PaintControl() override { ++paints; }
};

const TColor kSilver = fc::RGBColor(192, 192, 192);

void SetUpLikeTheMainWindow(TProfGrid& g)
{
    g.SetColCount(5);
    g.SetFixedRows(0);
    g.SetRowCount(1);
    g.SetFixedCols(2);
    const int widths[] = {139, 40, 64, 64, 64};
    for (int i = 0; i < 5; ++i)
        g.SetColWidths(i, widths[i]);
    g.SetWordWrap(false);
    g.SetDefaultRowHeight(20);
    g.SetColor(clBtnFace);
    g.SetFixedColor(clWhite);
    g.SetFixedGridLineColor(clGray);
    g.SetScrollBars(ssVertical);
    g.SetOptions({pgoFixedVertLine, pgoFixedHorzLine, pgoVertLine, pgoHorzLine, pgoRangeSelect, pgoTabs,
                  pgoSelectFixedCols, pgoSelectFixedRows});
}

// One cooling block of 11 rows at the end of the grid, as a rating fills it;
// answers its first row.
int AddCoolingBlock(TProfGrid& g, const QString& model, bool bracket)
{
    const int h = g.RowCount();
    if (bracket)
        g.BeginUpdate();
    g.SetRowCount(h + 11);
    g.Cell(0, h).SetText(model);
    g.Cell(1, h).SetText("RAFF.");
    const char* speeds[] = {"MIN", "MED", "MAX"};
    for (int c = 2; c <= 4; ++c) {
        g.Cell(c, h).SetText(speeds[c - 2]);
        g.Cell(c, h).SetAlignment(taCenter);
    }
    for (int c = 0; c < 5; ++c)
        g.Cell(c, h).SetColor(kSilver);
    const char* labels[] = {"Temp.ingresso acqua", "Temp.uscita acqua", "Resa frigorifera totale", "",
                            "Resa frigorifera sensibile", "", "Portata Acqua", "Perdita di carico Acqua",
                            "Portata Aria"};
    const char* units[] = {"°C", "°C", "W", "Frig/h", "W", "Frig/h", "l/h", "kPa", "mc/h"};
    for (int i = 0; i < 9; ++i) {
        g.Cell(0, h + 1 + i).SetText(QString::fromUtf8(labels[i]));
        g.Cell(1, h + 1 + i).SetText(QString::fromUtf8(units[i]));
        for (int c = 2; c <= 4; ++c) {
            TProfGridCell& v = g.Cell(c, h + 1 + i);
            v.SetText(QStringLiteral("1.%1").arg(100 * c + i));
            v.SetAlignment(taRightJustify);
        }
    }
    // Difference row at the reference speed, its value in bold.
    g.Cell(4, h + 3).SetFontStyle(fsBold);
    g.Cell(0, h + 10).SetText("Differenza");
    TProfGridCell& d = g.Cell(4, h + 10);
    d.SetAlignment(taRightJustify);
    d.SetFontStyle(fsBold);
    d.SetText("+5%");
    if (bracket)
        g.EndUpdate();
    return h;
}

} // namespace

TEST(ProfGridShell, ResultGridLayout)
{
    ResultGrid g;
    SetUpLikeTheMainWindow(g);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_EQ(g.FixedCols(), 2);
    EXPECT_EQ(g.FixedRows(), 0);
    const int widths[] = {139, 40, 64, 64, 64};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(g.Columns(i).Width(), widths[i]);
        EXPECT_EQ(g.ColWidths(i), widths[i]);
        EXPECT_EQ(g.Columns(i).Color(), i < 2 ? clWhite : clBtnFace);
    }
    EXPECT_EQ(g.DefaultRowHeight(), 20);
    EXPECT_EQ(g.RowHeights(0), 20);
    EXPECT_EQ(g.GridLineColor(), clSilver);
    EXPECT_FALSE(g.Options().Has(pgoEditing));
    EXPECT_TRUE(GridIsConsistent(g));
}

TEST(ProfGridShell, TwoBlocksThenResetToOneRow)
{
    ResultGrid g;
    FixedPitchMeasurer m(6, 13);
    g.SetTextMeasurer(&m);
    SetUpLikeTheMainWindow(g);

    const int paintsBefore = g.paints;
    const int h1 = AddCoolingBlock(g, "FCX 20", true);
    EXPECT_EQ(g.paints, paintsBefore + 1) << "a bracketed fill paints once";
    const int h2 = AddCoolingBlock(g, "FCX 30", false);
    EXPECT_EQ(h1, 1);
    EXPECT_EQ(h2, 12);
    EXPECT_EQ(g.RowCount(), 23);
    EXPECT_TRUE(GridIsConsistent(g));

    for (int h : {h1, h2}) {
        EXPECT_EQ(g.Cell(1, h).Text(), QStringLiteral("RAFF."));
        EXPECT_EQ(g.Cell(3, h).Alignment(), taCenter);
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(g.Cell(c, h).Color(), kSilver);
        EXPECT_EQ(g.Cell(2, h + 1).Color(), clBtnFace);
        EXPECT_EQ(g.Cell(0, h + 1).Color(), clWhite) << "the label columns are fixed";
        EXPECT_EQ(g.Cell(1, h + 1).Text(), QStringLiteral("°C"));
        EXPECT_EQ(g.Cell(2, h + 5).Alignment(), taRightJustify);
        EXPECT_TRUE(g.Cell(4, h + 3).Font().Bold());
        EXPECT_FALSE(g.Cell(3, h + 3).Font().Bold());
        EXPECT_EQ(g.Cell(4, h + 10).Text(), QStringLiteral("+5%"));
        EXPECT_TRUE(g.Cell(4, h + 10).Font().Bold());
    }
    EXPECT_EQ(g.Cell(0, h2).Text(), QStringLiteral("FCX 30"));
    // Without word wrap a long label is cut, and every row keeps 20 pixels.
    const QStringList& lines = g.Cell(0, h1 + 5).Lines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(QChar(0x2026)));
    for (int r = 0; r < g.RowCount(); ++r)
        EXPECT_EQ(g.RowHeights(r), 20) << r;

    // The next run starts from one row, with fresh cells for its blocks.
    g.SetRowCount(1);
    EXPECT_EQ(g.RowCount(), 1);
    for (int c = 0; c < 5; ++c)
        EXPECT_LE(g.Columns(c).SlotCount(), 1);
    EXPECT_EQ(g.Row(), 0);
    EXPECT_TRUE(GridIsConsistent(g));
    g.SetRowCount(12);
    EXPECT_EQ(g.Cell(4, 11).Text(), QString());
    EXPECT_FALSE(g.Cell(4, 11).Font().Bold());
    EXPECT_EQ(g.Cell(4, 11).Alignment(), taLeftJustify);
    EXPECT_EQ(g.Cell(2, 1).Color(), clBtnFace);
    EXPECT_TRUE(GridIsConsistent(g));
}
