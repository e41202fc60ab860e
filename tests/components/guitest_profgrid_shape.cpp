// Shape operations of the grid model over merged cells and group levels.

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "ProfGridChecks.h"
#include "components/ProfGrid.h"

namespace {

// A grid without fixed area, every cell named after its position.
struct Fixture {
    TProfGrid g;
    FixedPitchMeasurer m{6, 13};
    Fixture(int cols, int rows)
    {
        g.SetTextMeasurer(&m);
        g.SetFixedRows(0);
        g.SetFixedCols(0);
        g.SetColCount(cols);
        g.SetRowCount(rows);
        g.BeginUpdate();
        for (int c = 0; c < cols; ++c)
            for (int r = 0; r < rows; ++r)
                g.Cell(c, r).SetText(Name(c, r));
        g.EndUpdate();
    }
    static QString Name(int c, int r) { return QStringLiteral("%1%2").arg(QChar('a' + c)).arg(r); }
    QString T(int c, int r) { return g.Cell(c, r).Text(); }
};

// The texts of all cells created so far, each merged cell once.
std::multiset<QString> Texts(TProfGrid& g)
{
    std::set<TProfGridCell*> cells;
    for (int p = 0; p < g.ColCount(); ++p)
        for (int r = 0; r < g.LayoutColumns(p).SlotCount(); ++r)
            cells.insert(g.LayoutColumns(p).Slot(r));
    std::multiset<QString> texts;
    for (TProfGridCell* c : cells)
        if (!c->Text().isEmpty())
            texts.insert(c->Text());
    return texts;
}

} // namespace

TEST(ProfGridShape, DeleteRowOnOneRowEmptiesIt)
{
    Fixture f(3, 1);
    EXPECT_TRUE(f.g.DeleteRow(0));
    EXPECT_EQ(f.g.RowCount(), 1);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(f.T(c, 0), QString());
    EXPECT_FALSE(f.g.DeleteRow(1));
    EXPECT_FALSE(f.g.DeleteRow(-1));
    EXPECT_TRUE(GridIsConsistent(f.g));
}

TEST(ProfGridShape, DeleteRowShrinksThenFreesAMergedCell)
{
    Fixture f(4, 7);
    ASSERT_TRUE(f.g.MergeCells(1, 2, 2, 4));
    EXPECT_TRUE(f.g.DeleteRow(3));
    TProfGridCell& m = f.g.Cell(2, 2);
    EXPECT_EQ(m.TopRow(), 2);
    EXPECT_EQ(m.BottomRow(), 3);
    EXPECT_EQ(m.Text(), QStringLiteral("b2"));
    EXPECT_EQ(f.T(1, 4), QStringLiteral("b5"));
    EXPECT_EQ(f.T(3, 3), QStringLiteral("d4"));
    EXPECT_TRUE(GridIsConsistent(f.g));
    EXPECT_TRUE(f.g.DeleteRow(2));
    EXPECT_TRUE(f.g.DeleteRow(2));
    EXPECT_EQ(f.T(1, 2), QStringLiteral("b5")) << "the merged cell is gone";
    EXPECT_EQ(f.g.Cell(1, 2).LastCol(), &f.g.Columns(1));
    EXPECT_EQ(f.g.RowCount(), 4);
    EXPECT_TRUE(GridIsConsistent(f.g));
}

TEST(ProfGridShape, InsertRowWithoutMergesAddsAnEmptyCurrentRow)
{
    Fixture f(3, 4);
    EXPECT_TRUE(f.g.InsertRow(1, 1, true));
    EXPECT_EQ(f.g.RowCount(), 5);
    EXPECT_EQ(f.g.Row(), 2);
    EXPECT_EQ(f.g.Col(), 1);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(f.T(c, 1), Fixture::Name(c, 1));
        EXPECT_EQ(f.T(c, 2), QString());
        EXPECT_EQ(f.T(c, 3), Fixture::Name(c, 2));
        EXPECT_EQ(f.T(c, 4), Fixture::Name(c, 3));
    }
    EXPECT_EQ(f.g.RowHeights(4), 20);
    EXPECT_TRUE(f.g.InsertRow(0, 0, false));
    EXPECT_EQ(f.T(2, 0), QString());
    EXPECT_EQ(f.T(2, 1), QStringLiteral("c0"));
    EXPECT_FALSE(f.g.InsertRow(3, 0, true));
    EXPECT_FALSE(f.g.InsertRow(0, 6, true));
    EXPECT_TRUE(GridIsConsistent(f.g));
}

TEST(ProfGridShape, InsertRowMovesEveryColumnOfAWideGroupByItsOwnCells)
{
    // Row 2 is merged over columns 1-2; column 1 is also merged over rows
    // 4-5, where column 2 has two single cells.
    Fixture f(4, 7);
    ASSERT_TRUE(f.g.MergeCells(1, 2, 2, 2));
    ASSERT_TRUE(f.g.MergeCells(1, 4, 1, 5));
    EXPECT_TRUE(f.g.InsertRow(1, 2, true));
    EXPECT_TRUE(GridIsConsistent(f.g));
    EXPECT_EQ(f.T(2, 5), QStringLiteral("c4"));
    EXPECT_EQ(f.T(2, 6), QStringLiteral("c5"));
    EXPECT_EQ(f.T(2, 7), QStringLiteral("c6"));
    TProfGridCell& m = f.g.Cell(1, 5);
    EXPECT_EQ(m.Text(), QStringLiteral("b4"));
    EXPECT_EQ(m.TopRow(), 5);
    EXPECT_EQ(m.BottomRow(), 6);
    EXPECT_EQ(f.T(1, 3), QString());
    EXPECT_EQ(f.T(2, 3), QString());
    EXPECT_NE(&f.g.Cell(1, 3), &f.g.Cell(2, 3)) << "each column of the group gets its own new cell";
    EXPECT_EQ(f.g.Cell(1, 2).LastCol(), &f.g.Columns(2));
}

TEST(ProfGridShape, InsertRowExtendsTheCellOfACoarserGroup)
{
    Fixture f(3, 6);
    ASSERT_TRUE(f.g.MergeCells(0, 1, 0, 3));
    f.g.Columns(0).RaiseGroupLevel();
    ASSERT_EQ(f.g.Columns(0).GroupLevel(), 1);
    EXPECT_TRUE(f.g.InsertRow(1, 2, true));
    TProfGridCell& big = f.g.Cell(0, 1);
    EXPECT_EQ(big.TopRow(), 1);
    EXPECT_EQ(big.BottomRow(), 4) << "the grouping cell covers the new row";
    EXPECT_EQ(&f.g.Cell(0, 3), &big);
    EXPECT_EQ(f.T(1, 3), QString());
    EXPECT_EQ(f.T(1, 4), QStringLiteral("b3"));
    EXPECT_EQ(f.T(0, 5), QStringLiteral("a4"));
    EXPECT_TRUE(GridIsConsistent(f.g));
    // Before the first row of the group: the grouping cell grows too.
    EXPECT_TRUE(f.g.InsertRow(1, 1, false));
    EXPECT_EQ(big.TopRow(), 1);
    EXPECT_EQ(big.BottomRow(), 5);
    EXPECT_EQ(f.T(1, 2), QStringLiteral("b1"));
    EXPECT_TRUE(GridIsConsistent(f.g));
}

TEST(ProfGridShape, LowerGroupLevelSplitsAtTheNextColumnsEdges)
{
    Fixture f(3, 6);
    ASSERT_TRUE(f.g.MergeCells(0, 1, 0, 4));
    ASSERT_TRUE(f.g.MergeCells(1, 1, 1, 2));
    f.g.Cell(0, 1).SetColor(clYellow);
    f.g.Columns(0).RaiseGroupLevel();
    std::vector<std::pair<int, int>> changes;
    f.g.Columns(0).OnGroupLevelChange = [&](TProfGridCol&, int o, int n) { changes.emplace_back(o, n); };
    EXPECT_EQ(f.g.Columns(0).LowerGroupLevel(), 0);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], std::make_pair(1, 0));
    EXPECT_TRUE(GridIsConsistent(f.g));
    TProfGridCell& top = f.g.Cell(0, 1);
    EXPECT_EQ(top.BottomRow(), 2);
    EXPECT_EQ(top.Text(), QStringLiteral("a1"));
    TProfGridCell& third = f.g.Cell(0, 3);
    EXPECT_EQ(third.TopRow(), 3);
    EXPECT_EQ(third.BottomRow(), 3);
    EXPECT_EQ(third.Text(), QString());
    EXPECT_EQ(third.Color(), clYellow);
    EXPECT_EQ(f.g.Cell(0, 4).TopRow(), 4);
    EXPECT_EQ(f.g.Columns(0).LowerGroupLevel(), 0) << "level 0 stays";
}

TEST(ProfGridShape, MergesKeepTheGroupingColumnMadeOfWholeCells)
{
    // Column a groups column b: a's rows 1-3 are one cell. A merge in b may
    // not cross the edges of a's cells; a merge in a must consist of whole
    // cells of b.
    struct Case {
        int c1, r1, c2, r2;
        bool taken;
    };
    const Case cases[] = {
        {1, 3, 1, 4, false}, // b across the bottom of a's cell
        {1, 0, 1, 1, false}, // b across its top
        {1, 2, 2, 4, false}, // b and c across the bottom
        {1, 1, 1, 3, true},  // b as tall as a's cell
        {1, 2, 1, 3, true},  // inside a's cell
        {0, 4, 0, 5, true},  // a over two single cells of b
        {0, 4, 1, 5, true},  // a and b together
        {2, 3, 2, 4, true},  // c is grouped by nobody
    };
    for (const Case& k : cases) {
        Fixture f(3, 7);
        ASSERT_TRUE(f.g.MergeCells(0, 1, 0, 3));
        f.g.Columns(0).RaiseGroupLevel();
        ASSERT_EQ(f.g.Columns(0).GroupLevel(), 1);
        const std::multiset<QString> before = Texts(f.g);
        TProfGridCell* corner = &f.g.Cell(k.c2, k.r2);
        EXPECT_EQ(f.g.MergeCells(k.c1, k.r1, k.c2, k.r2), k.taken)
            << k.c1 << "," << k.r1 << "-" << k.c2 << "," << k.r2;
        ASSERT_TRUE(GridIsConsistent(f.g)) << k.c1 << "," << k.r1 << "-" << k.c2 << "," << k.r2;
        if (!k.taken) {
            EXPECT_TRUE(Texts(f.g) == before);
            EXPECT_EQ(&f.g.Cell(k.c2, k.r2), corner) << "a refused merge changes nothing";
        }
        // Rows inserted into the groups and the group dissolved again keep
        // every cell whole.
        EXPECT_TRUE(f.g.InsertRow(1, 2, true));
        EXPECT_TRUE(f.g.InsertRow(2, 4, false));
        ASSERT_TRUE(GridIsConsistent(f.g)) << k.c1 << "," << k.r1 << "-" << k.c2 << "," << k.r2;
        f.g.Columns(0).LowerGroupLevel();
        ASSERT_TRUE(GridIsConsistent(f.g)) << k.c1 << "," << k.r1 << "-" << k.c2 << "," << k.r2;
    }
}

TEST(ProfGridShape, AColumnThatCutsTheNextOnesCellsDoesNotGroupIt)
{
    // Raising: a's rows 1-2 end inside b's cell of rows 2-3; a's single
    // cells cut b's cell too.
    for (bool aMerged : {true, false}) {
        Fixture f(3, 5);
        ASSERT_TRUE(f.g.MergeCells(1, 2, 1, 3));
        if (aMerged) {
            ASSERT_TRUE(f.g.MergeCells(0, 1, 0, 2));
        }
        f.g.Columns(0).RaiseGroupLevel();
        EXPECT_EQ(f.g.Columns(0).GroupLevel(), 0) << aMerged;
        f.g.Columns(1).RaiseGroupLevel();
        EXPECT_EQ(f.g.Columns(1).GroupLevel(), 0) << aMerged << ": a would rise with b";
        EXPECT_EQ(f.g.Columns(0).GroupLevel(), 0) << aMerged;
        EXPECT_TRUE(GridIsConsistent(f.g)) << aMerged;
    }
    // With a's cell as tall as b's both rise.
    Fixture h(3, 5);
    ASSERT_TRUE(h.g.MergeCells(1, 2, 1, 3));
    ASSERT_TRUE(h.g.MergeCells(0, 2, 0, 3));
    h.g.Columns(1).RaiseGroupLevel();
    EXPECT_EQ(h.g.Columns(1).GroupLevel(), 1);
    EXPECT_EQ(h.g.Columns(0).GroupLevel(), 1);
    EXPECT_TRUE(GridIsConsistent(h.g));

    // Deleting the grouped column: the grouping column now stands beside
    // one whose cell it cuts, and stops grouping.
    Fixture d(3, 5);
    ASSERT_TRUE(d.g.MergeCells(0, 2, 0, 3));
    d.g.Columns(0).RaiseGroupLevel();
    ASSERT_EQ(d.g.Columns(0).GroupLevel(), 1);
    ASSERT_TRUE(d.g.MergeCells(2, 1, 2, 2));
    EXPECT_TRUE(d.g.DeleteCol(1));
    EXPECT_EQ(d.g.Columns(0).GroupLevel(), 0);
    EXPECT_TRUE(GridIsConsistent(d.g));
    EXPECT_EQ(d.T(0, 2), QStringLiteral("a2"));
}

TEST(ProfGridShape, GroupLevelsRiseOnlyBesideAnEqualLevel)
{
    Fixture f(4, 3);
    f.g.Columns(3).RaiseGroupLevel();
    EXPECT_EQ(f.g.Columns(3).GroupLevel(), 0) << "the last column is never grouped";
    f.g.Columns(1).RaiseGroupLevel();
    EXPECT_EQ(f.g.Columns(0).GroupLevel(), 1);
    EXPECT_EQ(f.g.Columns(1).GroupLevel(), 1);
    EXPECT_EQ(f.g.Columns(2).GroupLevel(), 0);
    f.g.Columns(1).RaiseGroupLevel();
    EXPECT_EQ(f.g.Columns(1).GroupLevel(), 1) << "the next column has a lower level";
    f.g.Columns(0).RaiseGroupLevel();
    EXPECT_EQ(f.g.Columns(0).GroupLevel(), 2);
    EXPECT_TRUE(GridIsConsistent(f.g));
    // Deleting the last column lowers the levels before it.
    EXPECT_TRUE(f.g.DeleteCol(3));
    EXPECT_TRUE(f.g.DeleteCol(2));
    EXPECT_EQ(f.g.Columns(1).GroupLevel(), 0);
    EXPECT_EQ(f.g.Columns(0).GroupLevel(), 1);
    EXPECT_TRUE(GridIsConsistent(f.g));
}

TEST(ProfGridShape, InsertColumns)
{
    Fixture f(3, 4);
    f.g.SetFixedCols(1);
    EXPECT_FALSE(f.g.MergeCells(0, 1, 1, 1)) << "across the edge of the fixed columns";
    ASSERT_TRUE(f.g.MergeCells(1, 1, 2, 2));
    // At the front of the fixed columns.
    EXPECT_TRUE(f.g.InsertCol(0));
    EXPECT_EQ(f.g.ColCount(), 4);
    EXPECT_EQ(f.g.FixedCols(), 2);
    EXPECT_EQ(f.g.Columns(0).Color(), clBtnFace);
    EXPECT_EQ(f.T(1, 0), QStringLiteral("a0"));
    EXPECT_TRUE(GridIsConsistent(f.g));
    // Inside the merged cell (now columns 2-3): the new column joins it.
    f.g.SetFixedCols(0);
    EXPECT_TRUE(f.g.InsertCol(3));
    TProfGridCell& m = f.g.Cell(2, 1);
    EXPECT_EQ(&f.g.Cell(3, 1), &m);
    EXPECT_EQ(&f.g.Cell(3, 2), &m);
    EXPECT_EQ(m.LastCol(), &f.g.Columns(4));
    EXPECT_EQ(f.T(3, 0), QString());
    EXPECT_TRUE(GridIsConsistent(f.g));
    // At the end beside a vertical merge the column before would be grouped,
    // and every column before it with it; column 1's single cells cut the
    // merged cell after them, so none is.
    EXPECT_TRUE(f.g.InsertCol(99));
    EXPECT_EQ(f.g.ColCount(), 6);
    EXPECT_EQ(f.g.Columns(5).GroupLevel(), 0);
    EXPECT_EQ(f.g.Columns(4).GroupLevel(), 0);
    EXPECT_EQ(f.g.Columns(0).GroupLevel(), 0);
    EXPECT_FALSE(f.g.InsertCol(-1));
    EXPECT_TRUE(GridIsConsistent(f.g));
    // Where the columns before are made of whole cells, they are grouped.
    Fixture e(2, 3);
    ASSERT_TRUE(e.g.MergeCells(0, 0, 1, 1));
    EXPECT_TRUE(e.g.InsertCol(99));
    EXPECT_EQ(e.g.Columns(2).GroupLevel(), 0);
    EXPECT_EQ(e.g.Columns(1).GroupLevel(), 1);
    EXPECT_EQ(e.g.Columns(0).GroupLevel(), 1);
    EXPECT_TRUE(GridIsConsistent(e.g));
}

TEST(ProfGridShape, DeleteColumns)
{
    Fixture f(4, 4);
    ASSERT_TRUE(f.g.MergeCells(1, 1, 3, 2));
    f.g.SetCol(3);
    EXPECT_TRUE(f.g.DeleteCol(1));
    TProfGridCell& m = f.g.Cell(1, 1);
    EXPECT_EQ(m.Text(), QStringLiteral("b1"));
    EXPECT_EQ(m.FirstCol(), &f.g.Columns(1));
    EXPECT_EQ(m.LastCol(), &f.g.Columns(2));
    EXPECT_EQ(f.g.Col(), 2) << "the current column follows the deleted one";
    EXPECT_TRUE(GridIsConsistent(f.g));
    EXPECT_TRUE(f.g.DeleteCol(2));
    EXPECT_EQ(m.LastCol(), &f.g.Columns(1));
    EXPECT_EQ(f.g.Col(), 1);
    EXPECT_TRUE(f.g.DeleteCol(1));
    EXPECT_TRUE(GridIsConsistent(f.g));
    EXPECT_FALSE(f.g.DeleteCol(1));
    EXPECT_FALSE(f.g.DeleteCol(0)) << "the last column stays";
    EXPECT_EQ(f.g.ColCount(), 1);
    EXPECT_EQ(f.T(0, 3), QStringLiteral("a3"));
}

TEST(ProfGridShape, ShapeChangesKeepTheCurrentCellAndSelectionInside)
{
    Fixture f(5, 6);
    f.g.SetCol(4);
    f.g.SetRow(5);
    f.g.Selection().BeginUpdate();
    f.g.Selection().SetLeft(2);
    f.g.Selection().SetTop(3);
    f.g.Selection().SetRight(4);
    f.g.Selection().SetBottom(5);
    f.g.Selection().EndUpdate();
    f.g.SetRangeSelecting(true);
    f.g.SetAnchor(4, 5);
    f.g.SetRowCount(2);
    f.g.SetColCount(2);
    EXPECT_TRUE(GridIsConsistent(f.g));
    EXPECT_EQ(f.g.Selection().Right(), 1);
    EXPECT_EQ(f.g.Selection().Bottom(), 1);
    EXPECT_EQ(f.g.AnchorCol(), 1);
    f.g.Cell(f.g.Selection().Right(), f.g.Selection().Bottom()).SetText(QStringLiteral("ok"));
}

TEST(ProfGridShape, MovingRowsAndColumnsReportsEachMove)
{
    struct Case {
        const char* name;
        bool columns;
        int from, to;
        bool moves;
        QString after; // row 1 (row moves: column 1) from index 0 on
    };
    const Case cases[] = {
        {"row down", false, 1, 3, true, QStringLiteral("b0,b2,b3,b1,b4")},
        {"row up", false, 4, 0, true, QStringLiteral("b4,b0,b1,b2,b3")},
        {"row to itself", false, 2, 2, false, QStringLiteral("b0,b1,b2,b3,b4")},
        {"row outside", false, 0, 5, false, QStringLiteral("b0,b1,b2,b3,b4")},
        {"column right", true, 0, 2, true, QStringLiteral("b1,c1,a1,d1")},
        {"column left", true, 3, 1, true, QStringLiteral("a1,d1,b1,c1")},
        {"column outside", true, -1, 1, false, QStringLiteral("a1,b1,c1,d1")},
    };
    for (const Case& k : cases) {
        Fixture f(4, 5);
        f.g.SetCol(0);
        f.g.SetRow(1);
        QStringList moved;
        auto note = [&](const char* what) {
            return [&moved, what](TProfGrid&, int from, int to) {
                moved << QStringLiteral("%1 %2>%3").arg(QLatin1String(what)).arg(from).arg(to);
            };
        };
        f.g.OnColumnMoved = note("col");
        f.g.OnRowMoved = note("row");
        EXPECT_EQ(k.columns ? f.g.MoveColumn(k.from, k.to) : f.g.MoveRow(k.from, k.to), k.moves) << k.name;
        QStringList now;
        if (k.columns)
            for (int c = 0; c < 4; ++c)
                now << f.T(c, 1);
        else
            for (int r = 0; r < 5; ++r)
                now << f.T(1, r);
        EXPECT_EQ(now.join(QLatin1Char(',')), k.after) << k.name;
        const QString event = QStringLiteral("%1 %2>%3").arg(k.columns ? "col" : "row").arg(k.from).arg(k.to);
        EXPECT_EQ(moved, k.moves ? QStringList{event} : QStringList()) << k.name;
        ASSERT_TRUE(GridIsConsistent(f.g)) << k.name;
        // The current cell goes with its row or column.
        if (k.moves && k.columns) {
            EXPECT_EQ(f.T(f.g.Col(), 1), QStringLiteral("a1")) << k.name;
        }
        if (k.moves && !k.columns) {
            EXPECT_EQ(f.T(0, f.g.Row()), QStringLiteral("a1")) << k.name;
        }
    }
}

TEST(ProfGridShape, MovesThatWouldCutAMergeOrAGroupAreRefused)
{
    Fixture f(5, 6);
    int events = 0;
    f.g.OnColumnMoved = [&](TProfGrid&, int, int) { ++events; };
    f.g.OnRowMoved = [&](TProfGrid&, int, int) { ++events; };
    ASSERT_TRUE(f.g.MergeCells(1, 2, 1, 3));
    ASSERT_TRUE(f.g.MergeCells(3, 0, 4, 0));
    EXPECT_FALSE(f.g.MoveRow(1, 4)) << "through a cell merged over rows";
    EXPECT_FALSE(f.g.MoveRow(3, 5)) << "out of it";
    EXPECT_TRUE(f.g.MoveRow(0, 1)) << "a cell merged over columns moves with its row";
    EXPECT_EQ(f.g.Cell(4, 1).TopRow(), 1);
    EXPECT_FALSE(f.g.MoveColumn(2, 4)) << "through a cell merged over columns";
    EXPECT_TRUE(f.g.MoveColumn(0, 2)) << "a cell merged over rows moves with its column";
    EXPECT_EQ(f.g.Cell(0, 2).BottomRow(), 3);
    EXPECT_EQ(events, 2);
    EXPECT_TRUE(GridIsConsistent(f.g));

    Fixture g(4, 4);
    g.g.Columns(0).RaiseGroupLevel();
    ASSERT_EQ(g.g.Columns(0).GroupLevel(), 1);
    EXPECT_FALSE(g.g.MoveColumn(1, 3)) << "the grouped column stays beside its group";
    EXPECT_FALSE(g.g.MoveColumn(0, 2));
    EXPECT_TRUE(g.g.MoveColumn(2, 3));
    g.g.SetFixedRows(1);
    EXPECT_FALSE(g.g.MoveRow(0, 2)) << "across the edge of the fixed rows";
    EXPECT_TRUE(GridIsConsistent(g.g));
}

TEST(ProfGridShape, RandomSequencesKeepTheStructure)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        Fixture f(5, 8);
        if (seed % 2)
            f.g.SetWordWrap(false);
        for (int step = 0; step < 150; ++step) {
            TProfGrid& g = f.g;
            const int cols = g.ColCount(), rows = g.RowCount();
            const int c = pick(0, cols - 1), r = pick(0, rows - 1);
            const int op = pick(0, 15);
            const std::multiset<QString> before = Texts(g);
            switch (op) {
            case 0:
            case 1:
                g.MergeCells(c, r, std::min(cols - 1, c + pick(0, 2)), std::min(rows - 1, r + pick(0, 3)));
                break;
            case 2:
                g.InsertCol(pick(0, cols));
                break;
            case 3:
                g.DeleteCol(c);
                break;
            case 4:
            case 5:
                g.InsertRow(c, r, pick(0, 1) == 1);
                break;
            case 6:
                g.DeleteRow(r);
                break;
            case 7:
                g.Columns(c).RaiseGroupLevel();
                break;
            case 8:
                g.Columns(c).LowerGroupLevel();
                break;
            case 9:
                g.SetRowCount(pick(1, 10));
                break;
            case 10:
                g.SetColCount(pick(1, 7));
                break;
            case 11:
                g.Cell(c, r).SetText(step % 3 ? QStringLiteral("word %1 and more words").arg(step)
                                              : QStringLiteral("x\r\ny"));
                break;
            case 12:
                g.SetFixedRows(pick(0, 2));
                g.SetFixedCols(pick(0, 2));
                break;
            case 14:
                g.MoveColumn(c, pick(0, cols - 1));
                break;
            case 15:
                g.MoveRow(r, pick(0, rows - 1));
                break;
            default:
                g.SetCol(c);
                g.SetRow(r);
                break;
            }
            ASSERT_TRUE(GridIsConsistent(g)) << "seed " << seed << " step " << step << " op " << op;
            // Inserting and regrouping lose no text.
            if (op == 2 || op == 4 || op == 5 || op == 7 || op == 8 || op == 14 || op == 15) {
                ASSERT_TRUE(Texts(g) == before) << "seed " << seed << " step " << step << " op " << op;
            }
        }
    }
}
