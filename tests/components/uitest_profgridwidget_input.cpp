// Keyboard navigation, range selection, the mouse and column sizing.

#include <QContextMenuEvent>
#include <QMouseEvent>

#include "ProfGridWidgetSupport.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"

namespace {

class GridInput : public GridWidgetTest {
protected:
    // 5 columns x 7 rows of 64 x 20 pixels, one fixed row and column.
    TProfGridWidget& Grid(bool merged = false)
    {
        TProfGridWidget& g = MakeGrid(400, 300);
        g.SetRowCount(7);
        if (merged) {
            EXPECT_TRUE(g.MergeCells(1, 2, 3, 2));
            EXPECT_TRUE(g.MergeCells(4, 3, 4, 5));
        }
        return g;
    }
    QPoint Centre(int c, int r) { return grid_->CellRect(c, r).center(); }
    void Click(int c, int r)
    {
        const QPoint p = Centre(c, r);
        grid_->MouseDown(Qt::LeftButton, Qt::NoModifier, p.x(), p.y());
        grid_->MouseUp(Qt::LeftButton, Qt::NoModifier, p.x(), p.y());
    }
};

TEST_F(GridInput, KeyNavigationTable)
{
    const struct Case {
        const char* name;
        bool merged;
        TProfGridOptions add;
        int c0, r0;
        int key;
        Qt::KeyboardModifiers mods;
        int c1, r1;
    } cases[] = {
        {"Tab on the last cell stays", false, {}, 4, 6, Qt::Key_Tab, Qt::NoModifier, 4, 6},
        {"Tab on the last cell wraps", false, {pgoTabThrough}, 4, 6, Qt::Key_Tab, Qt::NoModifier, 1, 1},
        {"Shift+Tab on the first cell wraps", false, {pgoTabThrough}, 1, 1, Qt::Key_Tab, Qt::ShiftModifier, 4, 6},
        {"Shift+Tab on the first cell stays", false, {}, 1, 1, Qt::Key_Tab, Qt::ShiftModifier, 1, 1},
        {"Right at the end of a row", false, {}, 4, 2, Qt::Key_Right, Qt::NoModifier, 1, 3},
        {"Right with fixed columns selectable", false, {pgoSelectFixedCols}, 4, 2, Qt::Key_Right, Qt::NoModifier,
         0, 3},
        {"Left at the start of a row", false, {}, 1, 3, Qt::Key_Left, Qt::NoModifier, 4, 2},
        {"Ctrl+Right does nothing", false, {}, 2, 2, Qt::Key_Right, Qt::ControlModifier, 2, 2},
        {"Up on the first row stays", false, {}, 2, 1, Qt::Key_Up, Qt::NoModifier, 2, 1},
        {"Up on the first row wraps", false, {pgoTabThrough}, 2, 1, Qt::Key_Up, Qt::NoModifier, 2, 6},
        {"Down on the last row wraps", false, {pgoTabThrough}, 2, 6, Qt::Key_Down, Qt::NoModifier, 2, 1},
        {"Home", false, {}, 3, 4, Qt::Key_Home, Qt::NoModifier, 1, 4},
        {"Ctrl+Home", false, {}, 3, 4, Qt::Key_Home, Qt::ControlModifier, 1, 1},
        {"End", false, {}, 2, 4, Qt::Key_End, Qt::NoModifier, 4, 4},
        {"Ctrl+End", false, {}, 2, 4, Qt::Key_End, Qt::ControlModifier, 4, 6},
        {"Ctrl+PageDown", false, {}, 2, 2, Qt::Key_PageDown, Qt::ControlModifier, 2, 6},
        {"Ctrl+PageUp", false, {}, 2, 5, Qt::Key_PageUp, Qt::ControlModifier, 2, 1},
        {"Enter moves like Tab", false, {pgoEnterThrough}, 1, 1, Qt::Key_Return, Qt::NoModifier, 2, 1},
        {"Enter alone does not move", false, {}, 1, 1, Qt::Key_Return, Qt::NoModifier, 1, 1},
        {"Tab over a cell merged over three columns", true, {}, 1, 2, Qt::Key_Tab, Qt::NoModifier, 4, 2},
        {"Left into a merged cell", true, {}, 4, 2, Qt::Key_Left, Qt::NoModifier, 3, 2},
        {"Down from a cell merged over rows 3 to 5", true, {}, 4, 4, Qt::Key_Down, Qt::NoModifier, 4, 6},
        {"Up from a cell merged over rows 3 to 5", true, {}, 4, 4, Qt::Key_Up, Qt::NoModifier, 4, 2},
        {"Left and Right do nothing with pgoRowSelect", false, {pgoRowSelect}, 1, 2, Qt::Key_Right, Qt::NoModifier,
         1, 2},
    };
    for (const Case& c : cases) {
        TProfGridWidget& g = Grid(c.merged);
        TProfGridOptions o = g.Options();
        for (int i = 0; i <= int(pgoInsertRowWhenPasting); ++i)
            if (c.add.Has(TProfGridOption(i)))
                o += TProfGridOption(i);
        g.SetOptions(o);
        g.SelectCell(c.c0, c.r0);
        ASSERT_EQ(g.Col(), o.Has(pgoRowSelect) ? 1 : c.c0) << c.name;
        ASSERT_EQ(g.Row(), c.r0) << c.name;
        Key(&g, c.key, c.mods, c.key == Qt::Key_Return ? QStringLiteral("\r") : QString());
        EXPECT_EQ(g.Col(), c.c1) << c.name;
        EXPECT_EQ(g.Row(), c.r1) << c.name;
    }
}

TEST_F(GridInput, TabSkipsColumnsThatAreNoTabStops)
{
    TProfGridWidget& g = Grid();
    g.SetTabStops(2, false);
    g.SelectCell(1, 1);
    Key(&g, Qt::Key_Tab);
    EXPECT_EQ(g.Col(), 3);
    Key(&g, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(g.Col(), 1);
    g.SetTabStops(4, false);
    g.SelectCell(3, 6);
    Key(&g, Qt::Key_Tab);
    EXPECT_EQ(g.Col(), 3) << "nothing beyond the last stop";
    EXPECT_EQ(g.Row(), 6);
}

// A hidden column takes no part in navigation: every key and the mouse
// step over it, and no editor opens on it, so that no text typed blind
// lands in a cell nobody sees.
TEST_F(GridInput, HiddenColumnsAreSteppedOver)
{
    const struct Case {
        const char* name;
        int c0, r0;
        int key;
        Qt::KeyboardModifiers mods;
        int c1, r1;
    } cases[] = {
        {"Right over the hidden column", 1, 1, Qt::Key_Right, Qt::NoModifier, 3, 1},
        {"Left over the hidden column", 3, 1, Qt::Key_Left, Qt::NoModifier, 1, 1},
        {"Tab over the hidden column", 1, 2, Qt::Key_Tab, Qt::NoModifier, 3, 2},
        {"Shift+Tab over the hidden column", 3, 2, Qt::Key_Tab, Qt::ShiftModifier, 1, 2},
        {"Right to the hidden last column goes to the next row", 3, 5, Qt::Key_Right, Qt::NoModifier, 1, 6},
        {"Left from the start of a row to the row above, whose last column is hidden", 1, 5, Qt::Key_Left,
         Qt::NoModifier, 3, 4},
        {"End when the last column is hidden", 1, 5, Qt::Key_End, Qt::NoModifier, 3, 5},
        {"Ctrl+End when the last column is hidden", 1, 1, Qt::Key_End, Qt::ControlModifier, 3, 6},
        {"Home when the first column is hidden", 4, 3, Qt::Key_Home, Qt::NoModifier, 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TProfGridWidget& g = Grid();
        g.SetOptions(g.Options() + pgoEditing);
        g.Columns(2).SetVisible(false);
        const QString name = QLatin1String(c.name);
        if (name.contains(QLatin1String("last column")))
            g.Columns(4).SetVisible(false);
        if (name.contains(QLatin1String("first column")))
            g.Columns(1).SetVisible(false);
        g.SelectCell(c.c0, c.r0);
        Key(&g, c.key, c.mods);
        EXPECT_EQ(g.Col(), c.c1);
        EXPECT_EQ(g.Row(), c.r1);
    }
    // Typing on a hidden cell, where code put the cursor, opens no editor,
    // and nothing is stored there; a click on the hidden column's edge
    // selects a shown cell.
    TProfGridWidget& g = Grid();
    g.SetOptions(g.Options() + pgoEditing);
    g.Columns(2).SetVisible(false);
    g.SelectCell(2, 1);
    Key(&g, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    EXPECT_FALSE(g.EditorMode());
    Key(&g, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_EQ(g.Cell(2, 1).Text(), QString());
    g.SelectCell(1, 3);
    const QRect left = g.CellRect(1, 1);
    for (int x : {left.right(), left.right() + 1, left.right() + 2}) {
        g.MouseDown(Qt::LeftButton, Qt::NoModifier, x, left.center().y());
        g.MouseUp(Qt::LeftButton, Qt::NoModifier, x, left.center().y());
        EXPECT_NE(g.Col(), 2) << x;
        EXPECT_FALSE(g.EditorMode() && g.Col() == 2);
    }
}

TEST_F(GridInput, ShiftExtendsARangeFromTheAnchor)
{
    TProfGridWidget& g = Grid();
    g.SelectCell(2, 2);
    Key(&g, Qt::Key_Down, Qt::ShiftModifier);
    Key(&g, Qt::Key_Down, Qt::ShiftModifier);
    Key(&g, Qt::Key_Left, Qt::ShiftModifier);
    const TProfGridSelection& s = g.Selection();
    EXPECT_EQ(g.Row(), 4);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(QRect(QPoint(s.Left(), s.Top()), QPoint(s.Right(), s.Bottom())), QRect(QPoint(1, 2), QPoint(2, 4)));
    Key(&g, Qt::Key_Right);
    EXPECT_EQ(QRect(QPoint(s.Left(), s.Top()), QPoint(s.Right(), s.Bottom())), QRect(QPoint(2, 4), QPoint(2, 4)))
        << "a key without Shift ends the range";
    // Without pgoRangeSelect Shift only moves.
    g.SetOptions(g.Options() - pgoRangeSelect);
    Key(&g, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(s.Top(), 3);
    EXPECT_EQ(s.Bottom(), 3);
}

TEST_F(GridInput, OnKeyDownSeesAndMayChangeTheKey)
{
    TProfGridWidget& g = Grid();
    g.SelectCell(2, 2);
    QList<int> seen;
    g.OnKeyDown = [&](TProfGrid&, int& key, Qt::KeyboardModifiers) {
        seen << key;
        if (key == Qt::Key_Down)
            key = 0;
    };
    Key(&g, Qt::Key_Down);
    Key(&g, Qt::Key_Right);
    EXPECT_EQ(seen, (QList<int>{Qt::Key_Down, Qt::Key_Right}));
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.Col(), 3);
}

TEST_F(GridInput, ClickAndDragSelect)
{
    TProfGridWidget& g = Grid();
    Click(2, 3);
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 3);
    EXPECT_FALSE(g.TimerActive());
    Click(0, 5);
    Click(3, 0);
    EXPECT_EQ(g.Col(), 2) << "fixed cells are not selected";
    EXPECT_EQ(g.Row(), 3);

    QPoint p = Centre(2, 2);
    g.MouseDown(Qt::LeftButton, Qt::NoModifier, p.x(), p.y());
    EXPECT_TRUE(g.RangeSelecting());
    EXPECT_TRUE(g.TimerActive());
    p = Centre(3, 4);
    g.MouseMove(Qt::NoModifier, p.x(), p.y());
    const TProfGridSelection& s = g.Selection();
    EXPECT_EQ(QRect(QPoint(s.Left(), s.Top()), QPoint(s.Right(), s.Bottom())), QRect(QPoint(2, 2), QPoint(3, 4)));
    // Above the fixed row the range stops at the top row.
    g.MouseMove(Qt::NoModifier, p.x(), 5);
    EXPECT_EQ(s.Top(), 1);
    EXPECT_EQ(s.Bottom(), 2);
    g.MouseUp(Qt::LeftButton, Qt::NoModifier, p.x(), 5);
    EXPECT_FALSE(g.RangeSelecting());
    EXPECT_FALSE(g.TimerActive());
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 2);
    g.MouseMove(Qt::NoModifier, Centre(4, 6).x(), Centre(4, 6).y());
    EXPECT_EQ(s.Bottom(), 2) << "moving without the button selects nothing";

    // With pgoEditing a click on the current cell opens the editor.
    g.SetOptions(g.Options() + pgoEditing);
    Click(2, 2);
    EXPECT_TRUE(g.EditorMode());
    Click(3, 3);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Col(), 3);
}

TEST_F(GridInput, DoubleClickByTime)
{
    TProfGridWidget& g = Grid();
    qint64 now = 100000;
    g.Clock = [&] { return now; };
    QStringList log;
    g.OnDblClick = [&](TProfGrid&) { log << QStringLiteral("dbl"); };
    g.OnMouseDown = [&](TProfGrid&, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { log << QStringLiteral("down"); };
    const QPoint p = Centre(2, 2);
    g.MouseDown(Qt::LeftButton, Qt::NoModifier, p.x(), p.y());
    g.MouseUp(Qt::LeftButton, Qt::NoModifier, p.x(), p.y());
    now += 400;
    g.MouseDown(Qt::LeftButton, Qt::NoModifier, p.x(), p.y());
    g.MouseUp(Qt::LeftButton, Qt::NoModifier, p.x(), p.y());
    now += 600;
    g.MouseDown(Qt::RightButton, Qt::NoModifier, p.x(), p.y());
    EXPECT_EQ(log, (QStringList{QStringLiteral("down"), QStringLiteral("dbl"), QStringLiteral("down"),
                                QStringLiteral("down")}));
}

TEST_F(GridInput, ColumnSizingDrag)
{
    TProfGridWidget& g = Grid(true);
    g.MouseMove(Qt::NoModifier, g.ColLeft(2) + 63, Centre(2, 1).y());
    EXPECT_FALSE(g.SplitCursorShown()) << "only with pgoColSizing";
    g.SetOptions(g.Options() + pgoColSizing);
    g.MouseMove(Qt::NoModifier, g.ColLeft(2) + 63, Centre(2, 2).y());
    EXPECT_FALSE(g.SplitCursorShown()) << "not inside a cell merged further right";
    g.MouseMove(Qt::NoModifier, g.ColLeft(2) + 50, Centre(2, 1).y());
    EXPECT_FALSE(g.SplitCursorShown());
    const int edge = g.ColLeft(2) + 63;
    g.MouseMove(Qt::NoModifier, edge, Centre(2, 1).y());
    ASSERT_TRUE(g.SplitCursorShown());
    g.MouseDown(Qt::LeftButton, Qt::NoModifier, edge, Centre(2, 1).y());
    ASSERT_TRUE(g.ColumnSizing());
    g.MouseMove(Qt::NoModifier, g.ColLeft(2) + 1, 5);
    g.MouseUp(Qt::LeftButton, Qt::NoModifier, g.ColLeft(2) + 1, 5);
    EXPECT_FALSE(g.ColumnSizing());
    EXPECT_EQ(g.ColWidths(2), 2) << "a column dragged to its left edge keeps 2 pixels";
    EXPECT_EQ(g.Col(), 1) << "sizing selects nothing";

    // A maximum width stops the line.
    g.Columns(3).SetMaxWidth(100);
    const int edge3 = g.ColLeft(3) + 63;
    g.MouseMove(Qt::NoModifier, edge3, Centre(3, 1).y());
    ASSERT_TRUE(g.SplitCursorShown());
    g.MouseDown(Qt::LeftButton, Qt::NoModifier, edge3, Centre(3, 1).y());
    g.MouseMove(Qt::NoModifier, edge3 + 80, 5);
    g.MouseUp(Qt::LeftButton, Qt::NoModifier, edge3 + 80, 5);
    EXPECT_EQ(g.ColWidths(3), 100);
    g.MouseMove(Qt::NoModifier, g.ColLeft(3) + 99, Centre(3, 1).y());
    g.MouseDown(Qt::LeftButton, Qt::NoModifier, g.ColLeft(3) + 99, Centre(3, 1).y());
    g.MouseMove(Qt::NoModifier, g.ColLeft(3) + 40, 5);
    g.MouseUp(Qt::LeftButton, Qt::NoModifier, g.ColLeft(3) + 40, 5);
    EXPECT_EQ(g.ColWidths(3), 41);
}

TEST_F(GridInput, HoldingTheButtonBelowTheGridScrollsAndExtends)
{
    TProfGridWidget& g = MakeGrid(300, 100);
    g.SetRowCount(30);
    Settle();
    const int visible = g.VisibleRowCount();
    ASSERT_GT(visible, 1);
    const QPoint p = Centre(1, 1);
    g.MouseDown(Qt::LeftButton, Qt::NoModifier, p.x(), p.y());
    ASSERT_TRUE(g.TimerActive());
    const QPoint below(p.x(), g.ClientHeight() + 10);
    g.TimerTick(below);
    EXPECT_EQ(g.TopRow(), 2);
    EXPECT_EQ(g.Selection().Bottom(), 2 + g.VisibleRowCount() - 1);
    g.TimerTick(below);
    EXPECT_EQ(g.TopRow(), 3);
    EXPECT_EQ(g.Selection().Bottom(), 3 + g.VisibleRowCount() - 1);
    EXPECT_EQ(g.Selection().Top(), 1);
    g.MouseUp(Qt::LeftButton, Qt::NoModifier, below.x(), below.y());
    g.TimerTick(below);
    EXPECT_EQ(g.TopRow(), 3) << "nothing after the button is released";
}

TEST_F(GridInput, QtEventsReachTheHandlers)
{
    TProfGridWidget& g = Grid();
    const QPointF p = Centre(3, 4);
    QMouseEvent press(QEvent::MouseButtonPress, p, g.viewport()->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(g.viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, g.viewport()->mapToGlobal(p), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(g.viewport(), &release);
    EXPECT_EQ(g.Col(), 3);
    EXPECT_EQ(g.Row(), 4);

    QPoint seen(-5, -5);
    g.OnContextPopup = [&](TProfGrid&, const QPoint& pos, bool& handled) {
        seen = pos;
        handled = true;
    };
    QContextMenuEvent byMouse(QContextMenuEvent::Mouse, p.toPoint(), g.viewport()->mapToGlobal(p.toPoint()));
    QCoreApplication::sendEvent(g.viewport(), &byMouse);
    EXPECT_EQ(seen, p.toPoint());
    QContextMenuEvent byKey(QContextMenuEvent::Keyboard, QPoint(0, 0), g.viewport()->mapToGlobal(QPoint(0, 0)));
    QCoreApplication::sendEvent(g.viewport(), &byKey);
    EXPECT_EQ(seen, QPoint(-1, -1));

    // An error in an application handler is shown and the program goes on.
    ScopedScriptedDialogs dialogs;
    g.OnClick = [](TProfGrid&) { throw Exception(QStringLiteral("handler failed")); };
    Key(&g, Qt::Key_Down);
    EXPECT_EQ(g.Row(), 5);
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("handler failed")});
}

} // namespace
