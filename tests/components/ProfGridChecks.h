#pragma once
// Structural checks of the grid model shared by the grid tests.

#include <gtest/gtest.h>

#include <QString>
#include <set>

#include "components/ProfGrid.h"
#include "platform/Errors.h"

// Every covered slot holds its one cell object and no other slot does, the
// owning slot exists, spans lie inside the grid, group levels never rise
// from left to right and end at 0, a grouping column's cells are made of
// whole cells of the column after it (its row edges are edges there too),
// and the current cell, selection,
// anchor and previous cell are inside the grid.
inline ::testing::AssertionResult GridIsConsistent(TProfGrid& g)
{
    auto fail = [](const QString& what) { return ::testing::AssertionFailure() << what.toStdString(); };
    const int cols = g.ColCount();
    const int rows = g.RowCount();
    std::set<TProfGridCol*> byIndex, byLayout;
    for (int i = 0; i < cols; ++i)
        byIndex.insert(&g.Columns(i));
    for (int p = 0; p < cols; ++p)
        byLayout.insert(&g.LayoutColumns(p));
    if (byIndex.size() != size_t(cols) || byIndex != byLayout)
        return fail("column lists differ");
    try {
        (void)g.LayoutColumns(cols);
        return fail("layout list longer than ColCount");
    } catch (const EListError&) {
    }
    std::set<TProfGridCell*> cells;
    for (int p = 0; p < cols; ++p) {
        TProfGridCol& c = g.LayoutColumns(p);
        if (c.SlotCount() > rows)
            return fail(QStringLiteral("column at %1 has %2 slots for %3 rows").arg(p).arg(c.SlotCount()).arg(rows));
        for (int r = 0; r < c.SlotCount(); ++r) {
            TProfGridCell* x = c.Slot(r);
            if (!x)
                return fail(QStringLiteral("empty slot %1,%2").arg(p).arg(r));
            if (x->TopRow() > r || x->BottomRow() < r || x->BottomRow() >= rows || x->TopRow() < 0)
                return fail(QStringLiteral("slot %1,%2 holds a cell of rows %3-%4")
                                .arg(p)
                                .arg(r)
                                .arg(x->TopRow())
                                .arg(x->BottomRow()));
            if (x->FirstCol()->LayoutIndex() > p || x->LastCol()->LayoutIndex() < p
                || x->LastCol()->LayoutIndex() >= cols)
                return fail(QStringLiteral("slot %1,%2 holds a cell of columns %3-%4")
                                .arg(p)
                                .arg(r)
                                .arg(x->FirstCol()->LayoutIndex())
                                .arg(x->LastCol()->LayoutIndex()));
            cells.insert(x);
        }
    }
    for (TProfGridCell* x : cells)
        for (int p = x->FirstCol()->LayoutIndex(); p <= x->LastCol()->LayoutIndex(); ++p)
            for (int r = x->TopRow(); r <= x->BottomRow(); ++r)
                if (g.LayoutColumns(p).Slot(r) != x)
                    return fail(QStringLiteral("cell %1-%2 x %3-%4 missing at %5,%6")
                                    .arg(x->FirstCol()->LayoutIndex())
                                    .arg(x->LastCol()->LayoutIndex())
                                    .arg(x->TopRow())
                                    .arg(x->BottomRow())
                                    .arg(p)
                                    .arg(r));
    for (int p = 0; p < cols; ++p) {
        const int level = g.LayoutColumns(p).GroupLevel();
        if (level < 0 || (p + 1 < cols && g.LayoutColumns(p + 1).GroupLevel() > level))
            return fail(QStringLiteral("group level rises at %1").arg(p));
    }
    if (g.LayoutColumns(cols - 1).GroupLevel() != 0)
        return fail("last column grouped");
    // A slot not created yet stands for a single cell of its row.
    auto rows_of = [](TProfGridCol& c, int r) {
        const TProfGridCell* x = c.Slot(r);
        return x ? std::make_pair(x->TopRow(), x->BottomRow()) : std::make_pair(r, r);
    };
    for (int p = 0; p + 1 < cols; ++p) {
        TProfGridCol& P = g.LayoutColumns(p);
        TProfGridCol& Q = g.LayoutColumns(p + 1);
        if (P.GroupLevel() == 0)
            continue;
        for (int r = 0; r < rows; ++r) {
            const auto pr = rows_of(P, r), qr = rows_of(Q, r);
            if ((pr.first == r && qr.first != r) || (pr.second == r && qr.second != r))
                return fail(QStringLiteral("grouping column at %1 cuts the cell of rows %2-%3 after it at row %4")
                                .arg(p)
                                .arg(qr.first)
                                .arg(qr.second)
                                .arg(r));
        }
    }
    auto inside = [&](int c, int r) { return c >= 0 && c < cols && r >= 0 && r < rows; };
    if (!inside(g.Col(), g.Row()))
        return fail(QStringLiteral("current cell %1,%2").arg(g.Col()).arg(g.Row()));
    if (!inside(g.AnchorCol(), g.AnchorRow()) || !inside(g.PreviousCol(), g.PreviousRow()))
        return fail("anchor or previous cell outside");
    const TProfGridSelection& s = g.Selection();
    if (!inside(s.Left(), s.Top()) || !inside(s.Right(), s.Bottom()))
        return fail("selection outside");
    if (g.FixedRows() > rows - 1 || g.FixedCols() > cols - 1)
        return fail("fixed area covers the grid");
    if (g.UpdateCount() == 0) {
        for (int r = 0; r < rows; ++r)
            (void)g.RowHeights(r);
        if (g.TopRow() < g.FixedRows() || g.TopRow() > std::max(g.FixedRows(), rows - 1))
            return fail("TopRow outside");
    }
    return ::testing::AssertionSuccess();
}
