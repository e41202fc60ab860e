// In-place editing of grid cells: opening, typing, committing, cancelling,
// and the row heights that follow the editor's content.

#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <functional>
#include <QMenu>
#include <QLineEdit>
#include <QTextEdit>

#include "ProfGridWidgetSupport.h"
#include "platform/Numbers.h"

namespace {

class GridEdit : public GridWidgetTest {
protected:
    TProfGridWidget& Editable()
    {
        TProfGridWidget& g = MakeGrid(400, 300);
        g.SetOptions(g.Options() + pgoEditing);
        g.Cell(1, 1).SetText(QStringLiteral("abc"));
        g.SelectCell(1, 1);
        g.OnCellChanged = [this](TProfGrid&, int c, int r, const QString& o, QString& n, bool& allow) {
            changes << QStringLiteral("%1,%2:%3>%4").arg(c).arg(r).arg(o, n);
            if (replaceWith)
                n = *replaceWith;
            allow = allowExit;
        };
        g.OnCellExit = [this](TProfGrid&, int c, int r) { exits << QStringLiteral("%1,%2").arg(c).arg(r); };
        g.OnSetEditText = [this](TProfGrid&, int, int, const QString& v) { setTexts << v; };
        return g;
    }
    QTextEdit* Ed() { return grid_->InplaceEditor(); }
    int LineHeight() { return grid_->Measurer().TextHeight(grid_->Font(), QStringLiteral("A")); }

    QStringList changes, exits, setTexts;
    std::optional<QString> replaceWith;
    bool allowExit = true;
};

TEST_F(GridEdit, OpenTypeAndCommitGrowsTheRow)
{
    TProfGridWidget& g = Editable();
    int key = Qt::Key_F2;
    g.KeyDown(key, Qt::NoModifier);
    ASSERT_TRUE(g.EditorMode());
    EXPECT_TRUE(g.InplacePanel()->isVisible());
    EXPECT_EQ(g.InplacePanel()->geometry(), QRect(g.ColLeft(1), g.RowTop(1), 63, 19));
    EXPECT_EQ(Ed()->objectName(), QStringLiteral("ProfGridInplaceEditor"));
    EXPECT_EQ(Ed()->toPlainText(), QStringLiteral("abc"));
    EXPECT_EQ(Ed()->textCursor().position(), 0) << "the caret starts at the start";
    EXPECT_EQ(g.Selection().Right(), 1);

    Key(Ed(), Qt::Key_End);
    Type(Ed(), QStringLiteral("\nline2"));
    EXPECT_TRUE(g.EditorMode()) << "with pgoMultiLineCells Enter is a line break";
    const int twoLines = 2 * LineHeight() + 1 + 4;
    EXPECT_EQ(g.RowHeights(1), twoLines);
    EXPECT_EQ(g.InplacePanel()->height(), twoLines - 1) << "the panel follows the row";
    EXPECT_EQ(g.Cell(1, 1).Lines(), QStringList({QStringLiteral("abc"), QStringLiteral("line2")}));
    EXPECT_FALSE(setTexts.isEmpty());
    // An empty last line counts too.
    Type(Ed(), QStringLiteral("\n"));
    EXPECT_EQ(g.RowHeights(1), 3 * LineHeight() + 1 + 4);
    Key(Ed(), Qt::Key_Backspace);
    EXPECT_EQ(g.RowHeights(1), twoLines);

    Key(Ed(), Qt::Key_F2);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_FALSE(g.InplacePanel()->isVisible());
    EXPECT_EQ(g.Cell(1, 1).Text(), QStringLiteral("abc\r\nline2"));
    EXPECT_EQ(changes, QStringList{QStringLiteral("1,1:abc>abc\r\nline2")});
    EXPECT_EQ(exits, QStringList{QStringLiteral("1,1")});
    EXPECT_EQ(setTexts.last(), QStringLiteral("abc\r\nline2"));
    EXPECT_EQ(g.RowHeights(1), twoLines);
}

TEST_F(GridEdit, EscRestoresTheOldTextAndHeight)
{
    TProfGridWidget& g = Editable();
    g.SetEditorMode(true);
    Type(Ed(), QStringLiteral("x\ny\nz"));
    EXPECT_GT(g.RowHeights(1), 20);
    Key(Ed(), Qt::Key_Escape);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Cell(1, 1).Text(), QStringLiteral("abc"));
    EXPECT_TRUE(changes.isEmpty());
    EXPECT_EQ(exits, QStringList{QStringLiteral("1,1")});
    EXPECT_EQ(g.RowHeights(1), 20);

    // Closing without a change fires only OnCellExit.
    g.SetEditorMode(true);
    g.SetEditorMode(false);
    EXPECT_TRUE(changes.isEmpty());
    EXPECT_EQ(exits.size(), 2);
}

TEST_F(GridEdit, OnCellChangedMayReplaceTheTextOrKeepTheEditorOpen)
{
    TProfGridWidget& g = Editable();
    replaceWith = QStringLiteral("other");
    g.SetEditorMode(true);
    Type(Ed(), QStringLiteral("q"));
    g.SetEditorMode(false);
    EXPECT_EQ(g.Cell(1, 1).Text(), QStringLiteral("other"));

    replaceWith.reset();
    allowExit = false;
    g.SetEditorMode(true);
    Type(Ed(), QStringLiteral("z"));
    EXPECT_FALSE(g.SelectCell(2, 2) && g.Col() == 2);
    EXPECT_TRUE(g.EditorMode());
    EXPECT_EQ(g.Col(), 1);
    EXPECT_FALSE(g.InsertRow(1, 1, true)) << "shape changes give up too";
    allowExit = true;
    g.SelectCell(2, 2);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Cell(1, 1).Text(), QStringLiteral("zother"));
    EXPECT_EQ(g.Col(), 2);
}

TEST_F(GridEdit, TypingStartsTheEditWithTheCharacter)
{
    TProfGridWidget& g = Editable();
    Key(&g, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7F)));
    EXPECT_FALSE(g.EditorMode()) << "Delete types nothing";
    Key(&g, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(Ed()->toPlainText(), QStringLiteral("xabc"));
    g.SetEditorMode(false);

    // Enter without pgoMultiLineCells closes; with pgoEnterThrough it moves on.
    g.SetOptions(g.Options() - pgoMultiLineCells);
    g.SetEditorMode(true);
    Key(Ed(), Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Col(), 1);
    g.SetOptions(g.Options() + pgoEnterThrough);
    g.SetEditorMode(true);
    Key(Ed(), Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Col(), 2);
    // Tab leaves the editor for the next cell and types no tab.
    g.SetEditorMode(true);
    Key(Ed(), Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Col(), 3);
    EXPECT_EQ(g.Cell(2, 1).Text(), QString());
}

TEST_F(GridEdit, NumericColumnsFilterTheKeys)
{
    TProfGridWidget& g = Editable();
    g.Columns(2).SetNumericOnly(true);
    g.SelectCell(2, 1);
    Key(&g, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    EXPECT_FALSE(g.EditorMode()) << "a letter does not start the edit";
    Key(&g, Qt::Key_Minus, Qt::NoModifier, QStringLiteral("-"));
    ASSERT_TRUE(g.EditorMode());
    Type(Ed(), QStringLiteral("1-2.3.4x"));
    EXPECT_EQ(Ed()->toPlainText(), QStringLiteral("-12.34"));
    Key(Ed(), Qt::Key_Home);
    Type(Ed(), QStringLiteral("-"));
    EXPECT_EQ(Ed()->toPlainText(), QStringLiteral("-12.34")) << "one minus only";
    g.SetEditorMode(false);
    EXPECT_EQ(g.Cell(2, 1).Text(), QStringLiteral("-12.34"));

    // A decimal comma when the locale has one.
    fc::SetDecimalSeparator(QLatin1Char(','));
    g.Cell(2, 1).SetText(QString());
    g.SetEditorMode(true);
    Type(Ed(), QStringLiteral("1,2.,3"));
    EXPECT_EQ(Ed()->toPlainText(), QStringLiteral("1,23")) << "a second separator is refused";
    g.SetEditorMode(false);
    EXPECT_EQ(g.Cell(2, 1).Text(), QStringLiteral("1,23"));
    fc::SetDecimalSeparator(QLatin1Char('.'));
}

TEST_F(GridEdit, UpAndDownLeaveTheEditorOnlyFromTheEdgeLines)
{
    TProfGridWidget& g = Editable();
    g.SelectCell(1, 2);
    g.Cell(1, 2).SetText(QStringLiteral("one\r\ntwo"));
    g.SetEditorMode(true);
    Key(Ed(), Qt::Key_Down);
    EXPECT_TRUE(g.EditorMode()) << "the caret moves to the second line";
    EXPECT_GE(Ed()->textCursor().position(), 4);
    Key(Ed(), Qt::Key_Up);
    EXPECT_TRUE(g.EditorMode());
    Key(Ed(), Qt::Key_Up);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Row(), 1);
}

TEST_F(GridEdit, CellsThatCannotBeEdited)
{
    TProfGridWidget& g = Editable();
    g.Cell(1, 1).SetReadOnly(true);
    g.SetEditorMode(true);
    EXPECT_FALSE(g.EditorMode());
    g.Cell(1, 1).SetReadOnly(false);
    g.Columns(1).SetReadOnly(true);
    g.SetEditorMode(true);
    EXPECT_FALSE(g.EditorMode());
    g.Columns(1).SetReadOnly(false);
    g.SetOptions(g.Options() + pgoRowSelect);
    g.SetEditorMode(true);
    EXPECT_FALSE(g.EditorMode());
    g.SetOptions(g.Options() - pgoRowSelect - pgoEditing);
    g.SetEditorMode(true);
    EXPECT_FALSE(g.EditorMode());
}

TEST_F(GridEdit, TheEditorCoversAMergedCellAndWrapsLikeIt)
{
    TProfGridWidget& g = Editable();
    ASSERT_TRUE(g.MergeCells(1, 1, 2, 2));
    g.SelectCell(1, 1);
    g.SetEditorMode(true);
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(g.InplacePanel()->geometry(), QRect(g.ColLeft(1), g.RowTop(1), 127, 39));
    EXPECT_EQ(Ed()->geometry(), QRect(2, 2, 123, 35)) << "inside the text border";
    g.SetEditorMode(false);

    // A long text wraps in the editor as in the cell: the row takes the
    // editor's lines.
    g.SelectCell(3, 1);
    const QString words = QStringLiteral("alpha beta gamma delta epsilon");
    g.Cell(3, 1).SetText(words);
    const int wrapped = g.RowHeights(1);
    const int cellLines = int(g.Cell(3, 1).Lines().size());
    ASSERT_GE(cellLines, 3);
    g.SetEditorMode(true);
    EXPECT_EQ(g.RowHeights(1), wrapped);
    EXPECT_EQ(g.Cell(3, 1).Lines().size(), cellLines);
    Key(Ed(), Qt::Key_End, Qt::ControlModifier);
    Type(Ed(), QStringLiteral(" zeta eta theta iota"));
    EXPECT_GT(g.RowHeights(1), wrapped);
    Key(Ed(), Qt::Key_Escape);
    EXPECT_EQ(g.RowHeights(1), wrapped);
}

TEST_F(GridEdit, AnApplicationControlEditsTheCell)
{
    TProfGridWidget& g = Editable();
    QLineEdit line;
    g.OnGetEditControl = [&](TProfGrid&, int c, int, QWidget*& control) {
        if (c == 1)
            control = &line;
    };
    g.SetEditorMode(true);
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(g.EditControl(), &line);
    EXPECT_EQ(line.text(), QStringLiteral("abc"));
    EXPECT_TRUE(line.isVisible());
    EXPECT_FALSE(g.InplacePanel()->isVisible());
    line.setText(QStringLiteral("new"));
    Key(&line, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_FALSE(g.EditorMode());
    EXPECT_FALSE(line.isVisible());
    EXPECT_EQ(g.Cell(1, 1).Text(), QStringLiteral("new"));
    EXPECT_EQ(changes, QStringList{QStringLiteral("1,1:abc>new")});
    g.OnGetEditControl = nullptr;
}

TEST_F(GridEdit, AnApplicationControlsTextIsStoredAsItIsAndTheControlGoesBack)
{
    TProfGridWidget& g = Editable();
    g.Columns(2).SetNumericOnly(true);
    g.Cell(2, 1).SetText(QStringLiteral("12"));
    QWidget home;
    auto* line = new QLineEdit(&home);
    g.OnGetEditControl = [&](TProfGrid&, int, int, QWidget*& control) { control = line; };
    g.SelectCell(2, 1);
    g.SetEditorMode(true);
    ASSERT_TRUE(g.EditorMode());
    EXPECT_NE(line->parentWidget(), &home);
    line->setText(QStringLiteral("n/a"));
    g.SetEditorMode(false);
    ASSERT_FALSE(g.EditorMode());
    EXPECT_EQ(changes, QStringList{QStringLiteral("2,1:12>n/a")});
    EXPECT_EQ(g.Cell(2, 1).Text(), QStringLiteral("n/a")) << "the control's text, not the numeric check's";
    EXPECT_EQ(line->parentWidget(), &home) << "the control is given back";
    EXPECT_FALSE(line->isVisible());

    // Cancelled: the old text, and the control goes back all the same.
    g.SetEditorMode(true);
    ASSERT_TRUE(g.EditorMode());
    line->setText(QStringLiteral("99"));
    Key(line, Qt::Key_Escape);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Cell(2, 1).Text(), QStringLiteral("n/a"));
    EXPECT_EQ(line->parentWidget(), &home);
    g.OnGetEditControl = nullptr;
}

TEST_F(GridEdit, MaxLengthHoldsForEveryWayTextComesIn)
{
    // Typed, pasted from the editor's menu, with Ctrl+V, with Shift+Insert,
    // over a selection: never more than MaxLength characters.
    struct Case {
        const char* name;
        std::function<void(TProfGridWidget&, QTextEdit*)> paste;
    };
    const Case ways[] = {
        {"menu", [](TProfGridWidget& g, QTextEdit*) { g.EditorMenuClick(4); }},
        {"Ctrl+V", [](TProfGridWidget&, QTextEdit* e) { Key(e, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16")); }},
        {"Shift+Insert", [](TProfGridWidget&, QTextEdit* e) { Key(e, Qt::Key_Insert, Qt::ShiftModifier); }},
    };
    for (const Case& w : ways) {
        TProfGridWidget& g = Editable();
        g.Cell(1, 1).SetText(QString());
        g.Cell(1, 1).SetMaxLength(5);
        g.SetEditorMode(true);
        ASSERT_TRUE(g.EditorMode()) << w.name;
        Type(Ed(), QStringLiteral("abcdefg"));
        EXPECT_EQ(Ed()->toPlainText(), QStringLiteral("abcde")) << w.name;
        QGuiApplication::clipboard()->setText(QStringLiteral("123456789"));
        w.paste(g, Ed());
        EXPECT_EQ(Ed()->toPlainText(), QStringLiteral("abcde")) << w.name << ": full";
        Key(Ed(), Qt::Key_Backspace);
        Key(Ed(), Qt::Key_Backspace);
        w.paste(g, Ed());
        EXPECT_EQ(Ed()->toPlainText(), QStringLiteral("abc12")) << w.name << ": what fits";
        // Over a selection the selected characters make room.
        QTextCursor tc = Ed()->textCursor();
        tc.setPosition(1);
        tc.setPosition(3, QTextCursor::KeepAnchor);
        Ed()->setTextCursor(tc);
        QGuiApplication::clipboard()->setText(QStringLiteral("XYZ"));
        w.paste(g, Ed());
        EXPECT_EQ(Ed()->toPlainText(), QStringLiteral("aXY12")) << w.name << ": over a selection";
        g.SetEditorMode(false);
        EXPECT_EQ(g.Cell(1, 1).Text(), QStringLiteral("aXY12")) << w.name;
    }
}

TEST_F(GridEdit, KeyPressEventsSeeTheEditorsTextAndSelection)
{
    TProfGridWidget& g = Editable();
    QStringList log;
    g.OnKeyPress = [&](TProfGrid&, QChar& key) { log << QStringLiteral("press ") + key; };
    g.OnKeyPressEx = [&](TProfGrid&, QChar& key, int c, int r, QString& text, int& pos) {
        log << QStringLiteral("ex %1 %2,%3 %4 %5").arg(key).arg(c).arg(r).arg(text).arg(pos);
        if (key == QLatin1Char('!')) {
            text = QStringLiteral("[") + text + QStringLiteral("]");
            pos = 1;
            key = QChar();
        }
    };
    QStringList selections;
    g.OnEditorSelectionChanged = [&](TProfGrid&, const QString& sel) { selections << sel; };
    g.SetEditorMode(true);
    Type(Ed(), QStringLiteral("!"));
    EXPECT_EQ(Ed()->toPlainText(), QStringLiteral("[abc]"));
    EXPECT_EQ(Ed()->textCursor().position(), 1);
    EXPECT_EQ(log, (QStringList{QStringLiteral("press !"), QStringLiteral("ex ! 1,1 abc 0")}));
    Key(Ed(), Qt::Key_Right, Qt::ShiftModifier);
    Key(Ed(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(selections.last(), QStringLiteral("ab"));
    EXPECT_EQ(g.Col(), 1) << "arrows stay in the open editor";

    // The editor's menu: its items in order, acting on the editor.
    QStringList captions;
    for (QAction* a : g.EditorPopupMenu()->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Undo"), QStringLiteral("-"), QStringLiteral("Cu&t"),
                                     QStringLiteral("Copy"), QStringLiteral("Paste"), QStringLiteral("Delete"),
                                     QStringLiteral("-"), QStringLiteral("Select All")}));
    g.EditorMenuClick(5);
    EXPECT_EQ(Ed()->toPlainText(), QStringLiteral("[c]"));
    g.EditorMenuClick(7);
    EXPECT_EQ(selections.last(), QStringLiteral("[c]"));
    g.EditorMenuClick(0);
    EXPECT_EQ(Ed()->toPlainText(), QStringLiteral("[abc]"));
}

TEST_F(GridEdit, AlwaysShowEditorOpensOnEveryMove)
{
    TProfGridWidget& g = Editable();
    g.SetOptions(g.Options() + pgoAlwaysShowEditor);
    EXPECT_TRUE(g.EditorMode());
    Type(Ed(), QStringLiteral("z"));
    g.SelectCell(2, 2);
    EXPECT_TRUE(g.EditorMode());
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Cell(1, 1).Text(), QStringLiteral("zabc"));
    EXPECT_EQ(g.InplacePanel()->geometry().topLeft(), QPoint(g.ColLeft(2), g.RowTop(2)));
    Key(Ed(), Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    EXPECT_TRUE(g.EditorMode());
    EXPECT_EQ(g.Col(), 3);
    // Esc still cancels.
    Type(Ed(), QStringLiteral("q"));
    Key(Ed(), Qt::Key_Escape);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Cell(3, 2).Text(), QString());
    g.SetOptions(g.Options() - pgoAlwaysShowEditor);
    EXPECT_FALSE(g.EditorMode());
}

TEST_F(GridEdit, TheEditorFollowsScrollingAndNeverCoversTheFixedCells)
{
    TProfGridWidget& g = MakeGrid(300, 100, ssBoth);
    g.SetOptions(g.Options() + pgoEditing);
    g.SetRowCount(30);
    QString started;
    g.OnGetEditText = [&](TProfGrid&, int, int, QString& v) {
        started = v;
        v = QStringLiteral("from handler");
    };
    g.Cell(1, 2).SetText(QStringLiteral("t"));
    g.SelectCell(1, 2);
    g.SetEditorMode(true);
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(started, QStringLiteral("t"));
    EXPECT_EQ(g.InplaceEditor()->toPlainText(), QStringLiteral("from handler"));
    EXPECT_EQ(g.InplacePanel()->y(), g.RowTop(2));
    EXPECT_TRUE(g.InplacePanel()->mask().isEmpty());
    g.SetTopRow(3);
    Settle();
    EXPECT_TRUE(g.EditorMode()) << "scrolling keeps the editor open";
    EXPECT_EQ(g.InplacePanel()->y(), g.RowTop(2));
    EXPECT_LT(g.InplacePanel()->y(), 0 + g.RowHeights(0));
    EXPECT_FALSE(g.InplacePanel()->mask().isEmpty()) << "clipped at the fixed row";
    EXPECT_LE(g.InplacePanel()->mask().boundingRect().height(), 1);
    g.SetTopRow(1);
    Settle();
    EXPECT_EQ(g.InplacePanel()->y(), g.RowTop(2));
    EXPECT_TRUE(g.InplacePanel()->mask().isEmpty());
    g.SetEditorMode(false);
    EXPECT_EQ(g.Cell(1, 2).Text(), QStringLiteral("from handler"));
}

} // namespace
