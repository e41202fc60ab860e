// Word wrap and row heights of the grid model, on a fixed-pitch measurer:
// every character 6 pixels wide (7 in bold), every line 13 pixels high.

#include <gtest/gtest.h>

#include "ProfGridChecks.h"
#include "components/ProfGrid.h"

namespace {

const QString kEllipsis = QString(QChar(0x2026));

// Column 1 is 65 pixels wide: with the two borders of 2 and the vertical
// line of 1 there are 60 pixels, ten characters, for text.
struct WrapGrid {
    TProfGrid g;
    FixedPitchMeasurer m;
    explicit WrapGrid(int lineHeight = 13) : m(6, lineHeight)
    {
        g.SetTextMeasurer(&m);
        g.Columns(1).SetWidth(65);
    }
    TProfGridCell& Put(const QString& text, int col = 1, int row = 1)
    {
        TProfGridCell& c = g.Cell(col, row);
        c.SetText(text);
        return c;
    }
};

class ThrowingMeasurer : public ITextMeasurer {
public:
    int TextWidth(const TFont&, const QString&) const override { throw std::runtime_error("no canvas"); }
    int TextHeight(const TFont&, const QString&) const override { return 13; }
};

} // namespace

TEST(ProfGridWrap, WrapTable)
{
    struct Case {
        const char* name;
        bool wordWrap;
        QString text;
        QStringList lines;
    } cases[] = {
        {"empty", true, "", {}},
        {"short", true, "short", {"short"}},
        {"words", true, "aaaa bbbb cccc", {"aaaa bbbb ", "cccc"}},
        {"blank that fits stays", true, "ab  ", {"ab  "}},
        {"blank after a full line starts the next", true, "abcdefghij ", {"abcdefghij", " "}},
        {"long word by characters", true, "abcdefghijklmnopqrstuvwxy", {"abcdefghij", "klmnopqrst", "uvwxy"}},
        {"long word after a word", true, "ab abcdefghijklm", {"ab ", "abcdefghij", "klm"}},
        {"text ending with a break", true, "ab\r\n", {"ab", ""}},
        {"two breaks", true, "ab\r\n\r\ncd", {"ab", "", "cd"}},
        {"two breaks at the end", true, "ab\r\n\r\n", {"ab", "", ""}},
        {"break first", true, "\r\nab", {"", "ab"}},
        {"only a break", true, "\r\n", {"", ""}},
        {"two breaks only", true, "\r\n\r\n", {"", "", ""}},
        {"break inside words", true, "aaaa\r\nbbbb cccc dddd", {"aaaa", "bbbb cccc ", "dddd"}},
        {"lone LF is a character", true, "a\nb", {"a\nb"}},
        {"no wrap cuts with the ellipsis", false, "abcdefghijklmno", {"abcdefghi" + kEllipsis}},
        {"no wrap keeps blanks", false, "aaaa bbbb cccc", {"aaaa bbbb" + kEllipsis}},
        {"no wrap fitting line", false, "abcdefghij", {"abcdefghij"}},
        {"no wrap lines", false, "abcdefghijklm\r\nxy\r\n", {"abcdefghi" + kEllipsis, "xy", ""}},
    };
    for (const Case& c : cases) {
        WrapGrid w;
        w.g.SetWordWrap(c.wordWrap);
        TProfGridCell& cell = w.Put(c.text);
        EXPECT_EQ(cell.Lines(), c.lines) << c.name;
        const int lines = std::max<int>(1, int(c.lines.size()));
        const int expected = c.text.isEmpty() ? 20 : std::max(20, lines * 13 + 1 + 4);
        EXPECT_EQ(cell.Height(), expected) << c.name;
        EXPECT_EQ(w.g.RowHeights(1), expected) << c.name;
        EXPECT_FALSE(cell.NeedsWrap()) << c.name;
    }
}

TEST(ProfGridWrap, EmptyEllipsisCutsWithoutAMark)
{
    WrapGrid w;
    w.g.SetWordWrap(false);
    TProfGridCell& c = w.Put("abcdefghijklmno");
    w.g.SetEllipsisCharacter(QString());
    EXPECT_EQ(c.Lines(), QStringList{"abcdefghij"});
    w.g.SetEllipsisCharacter("..");
    EXPECT_EQ(c.Lines(), QStringList{"abcdefgh.."});
}

TEST(ProfGridWrap, AColumnNarrowerThanACharacterStillShowsOnePerLine)
{
    WrapGrid w;
    w.g.Columns(1).SetWidth(5);
    TProfGridCell& c = w.Put("abc");
    EXPECT_EQ(c.Lines(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(w.g.RowHeights(1), 3 * 13 + 5);
}

TEST(ProfGridWrap, GridLinesNarrowAndHeightenTheText)
{
    WrapGrid w;
    TProfGridCell& c = w.Put("abcdefghij");
    w.g.Columns(1).SetWidth(64);
    EXPECT_EQ(c.Lines().size(), 2) << "the vertical line takes one pixel";
    w.g.SetOptions(w.g.Options() - pgoVertLine);
    w.g.SetWordWrap(false);
    w.g.SetWordWrap(true);
    EXPECT_EQ(c.Lines().size(), 1);
    w.Put("a\r\nb");
    EXPECT_EQ(w.g.RowHeights(1), 2 * 13 + 1 + 4);
    w.g.SetOptions(w.g.Options() - pgoHorzLine);
    w.g.SetBorderForText(3);
    EXPECT_EQ(w.g.RowHeights(1), 2 * 13 + 6);
}

TEST(ProfGridWrap, FontChangesWrapTheCellAgain)
{
    WrapGrid w;
    TProfGridCell& c = w.Put("aaaa bbbb cccc");
    ASSERT_EQ(c.Lines().size(), 2);
    c.SetFontStyle(fsBold);
    EXPECT_EQ(c.Lines(), (QStringList{"aaaa ", "bbbb ", "cccc"}));
    EXPECT_EQ(w.g.RowHeights(1), 3 * 13 + 5);
}

TEST(ProfGridWrap, MergedCellDeficitGoesToItsBottomRow)
{
    WrapGrid w(11); // 5 lines of 11 plus 5 make 60 pixels
    TProfGrid& g = w.g;
    g.SetFixedRows(0);
    ASSERT_TRUE(g.MergeCells(1, 0, 1, 1));
    g.Cell(1, 0).SetText("a\r\nb\r\nc\r\nd\r\ne");
    g.Cell(2, 0).SetText("x");
    g.Cell(2, 1).SetText("y");
    EXPECT_EQ(g.Cell(1, 1).Height(), 60);
    EXPECT_EQ(g.RowHeights(0), 20);
    EXPECT_EQ(g.RowHeights(1), 40);
    // A taller single cell in row 0 leaves less for row 1.
    g.Cell(3, 0).SetText("1\r\n2\r\n3");
    EXPECT_EQ(g.RowHeights(0), 38);
    EXPECT_EQ(g.RowHeights(1), 22);
}

TEST(ProfGridWrap, SmallestDeficitIsSatisfiedFirst)
{
    WrapGrid w;
    TProfGrid& g = w.g;
    g.SetRowCount(4);
    g.SetFixedRows(0);
    // Column 1 over rows 0-2 needs 5 lines (70), column 2 over rows 0-1
    // needs 3 lines (44); the single cells make every row 20.
    ASSERT_TRUE(g.MergeCells(1, 0, 1, 2));
    ASSERT_TRUE(g.MergeCells(2, 0, 2, 1));
    g.BeginUpdate();
    g.Cell(1, 0).SetText("1\r\n2\r\n3\r\n4\r\n5");
    g.Cell(2, 0).SetText("1\r\n2\r\n3");
    g.EndUpdate();
    // Column 2 lacks 4 and column 1 lacks 10: row 1 gets 4 first, after
    // which column 1 lacks only 6 more, which row 2 gets.
    EXPECT_EQ(g.RowHeights(0), 20);
    EXPECT_EQ(g.RowHeights(1), 24);
    EXPECT_EQ(g.RowHeights(2), 26);
    EXPECT_EQ(g.RowHeights(3), 20);
    EXPECT_TRUE(GridIsConsistent(g));
}

TEST(ProfGridWrap, ARowCoveredOnlyByMergedCellsCanBeZeroHigh)
{
    WrapGrid w;
    TProfGrid& g = w.g;
    g.SetColCount(2);
    g.SetRowCount(3);
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    ASSERT_TRUE(g.MergeCells(0, 0, 0, 1));
    ASSERT_TRUE(g.MergeCells(1, 1, 1, 2));
    g.RecalcRowHeight(1);
    EXPECT_EQ(g.RowHeights(0), 20);
    EXPECT_EQ(g.RowHeights(1), 0);
    EXPECT_EQ(g.RowHeights(2), 20);
}

TEST(ProfGridWrap, OnRowResizedReportsTheAskedRowOnce)
{
    WrapGrid w;
    TProfGrid& g = w.g;
    ASSERT_TRUE(g.MergeCells(1, 1, 1, 2));
    std::vector<int> reported;
    g.OnRowResized = [&](TProfGrid&, int row) { reported.push_back(row); };
    g.BeginUpdate();
    g.Cell(2, 1).SetText("1\r\n2\r\n3");
    g.Cell(2, 2).SetText("1\r\n2");
    g.EndUpdate();
    EXPECT_EQ(g.RowHeights(1), 44);
    EXPECT_EQ(g.RowHeights(2), 31);
    EXPECT_EQ(reported, std::vector<int>{1}) << "rows 1 and 2 changed in one band";
    reported.clear();
    g.Cell(3, 3).SetText("short");
    EXPECT_TRUE(reported.empty()) << "no height changed";
    g.Cell(3, 3).SetText("1\r\n2");
    EXPECT_EQ(reported, std::vector<int>{3});
}

TEST(ProfGridWrap, AFailedMeasureGivesTheDefaultHeight)
{
    TProfGrid g;
    ThrowingMeasurer bad;
    g.SetTextMeasurer(&bad);
    TProfGridCell& c = g.Cell(1, 1);
    c.SetText("some text");
    EXPECT_EQ(c.CalcHeight(), 20);
    EXPECT_EQ(g.RowHeights(1), 20);
    EXPECT_TRUE(c.Lines().isEmpty());
}

namespace {

// An editor that is open on the current cell and shows two lines.
class EditingGrid : public TProfGrid {
public:
    bool open = false;
    QString editorText;

    void SetEditorMode(bool v) override { open = v; }
    bool EditorMode() const override { return open; }

protected:
    void SetEditorText(const QString& t) override { editorText = t; }
    bool EditorContent(TFont& f, QStringList& lines, QString& text) const override
    {
        f = Font();
        lines = {"one", "two"};
        text = QStringLiteral("one\r\ntwo\r\n");
        return true;
    }
};

} // namespace

TEST(ProfGridWrap, TheOpenEditorDecidesTheCurrentCellsHeight)
{
    EditingGrid g;
    FixedPitchMeasurer m(6, 13);
    g.SetTextMeasurer(&m);
    g.open = true;
    TProfGridCell& c = g.Cell(g.Col(), g.Row());
    c.SetText("typed");
    EXPECT_EQ(g.editorText, QStringLiteral("typed")) << "text set while editing goes to the editor";
    EXPECT_EQ(c.CalcHeight(), 2 * 13 + 1 + 13 + 4) << "a text ending with a break has one more line";
    EXPECT_EQ(c.Lines(), (QStringList{"one", "two"}));
    EXPECT_EQ(g.Cell(2, 2).CalcHeight(), 20);
    // A shape change closes the editor first.
    EXPECT_TRUE(g.InsertRow(1, 1, true));
    EXPECT_FALSE(g.open);
}

namespace {

// An editor whose change handler refuses to let it close.
class StubbornGrid : public TProfGrid {
public:
    bool EditorMode() const override { return true; }
};

} // namespace

TEST(ProfGridWrap, AnEditorThatStaysOpenBlocksEveryShapeChange)
{
    StubbornGrid g;
    EXPECT_FALSE(g.InsertRow(1, 1, true));
    EXPECT_FALSE(g.DeleteRow(1));
    EXPECT_FALSE(g.InsertCol(1));
    EXPECT_FALSE(g.DeleteCol(1));
    EXPECT_FALSE(g.MergeCells(1, 1, 2, 2));
    g.SetRowCount(2);
    g.SetColCount(2);
    g.SetRow(3);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.UpdateCount(), 0);
    EXPECT_TRUE(GridIsConsistent(g));
}

TEST(ProfGridWrap, DeleteRowOnItsOwnBringsTheHeightsUpToDate)
{
    WrapGrid w;
    TProfGrid& g = w.g;
    w.Put("1\r\n2\r\n3", 2, 3);
    ASSERT_EQ(g.RowHeights(3), 44);
    int resized = 0;
    g.OnRowResized = [&](TProfGrid&, int) { ++resized; };
    EXPECT_TRUE(g.DeleteRow(1));
    EXPECT_EQ(g.RowCount(), 4);
    EXPECT_EQ(g.UpdateCount(), 0);
    EXPECT_EQ(g.RowHeights(2), 44) << "the tall row moved up with its height";
    EXPECT_EQ(g.RowHeights(3), 20);
    EXPECT_GT(resized, 0);
    EXPECT_TRUE(GridIsConsistent(g));
}

TEST(ProfGridWrap, AnErrorFromOnRowResizedReachesTheCallerAndLeavesTheGridUsable)
{
    WrapGrid w;
    TProfGrid& g = w.g;
    g.OnRowResized = [](TProfGrid&, int) { throw std::runtime_error("handler"); };
    EXPECT_THROW(g.Cell(2, 2).SetText("1\r\n2"), std::runtime_error);
    g.BeginUpdate();
    g.Cell(2, 3).SetText("1\r\n2");
    EXPECT_THROW(g.EndUpdate(), std::runtime_error);
    EXPECT_EQ(g.UpdateCount(), 0);
    EXPECT_FALSE(g.RowHeightsDeferred());
    g.OnRowResized = nullptr;
    g.Cell(2, 4).SetText("1\r\n2");
    EXPECT_EQ(g.RowHeights(4), 31);
    EXPECT_TRUE(GridIsConsistent(g));
}

// The display lines are those of the cell's last wrap: a text set inside an
// update bracket shows its lines once the bracket ends, whether the lines
// are the text itself, the text cut or wrapped, or nothing.
TEST(ProfGridWrap, LinesAreThoseOfTheLastWrap)
{
    struct Case {
        bool wordWrap;
        QString before, after;
        QStringList linesBefore, linesAfter;
    } cases[] = {
        {false, "short", "other", {"short"}, {"other"}},
        {false, "short", "abcdefghijklm", {"short"}, {"abcdefghi" + kEllipsis}},
        {false, "abcdefghijklm", "short", {"abcdefghi" + kEllipsis}, {"short"}},
        {true, "aaaa bbbb cccc", "short", {"aaaa bbbb ", "cccc"}, {"short"}},
        {false, "short", "", {"short"}, {}},
        {false, "", "short", {}, {"short"}},
    };
    for (const Case& c : cases) {
        WrapGrid w;
        w.g.SetWordWrap(c.wordWrap);
        w.g.SetEllipsisCharacter(kEllipsis);
        TProfGridCell& cell = w.Put(c.before);
        EXPECT_EQ(cell.Lines(), c.linesBefore) << c.before.toStdString();
        w.g.BeginUpdate();
        cell.SetText(c.after);
        EXPECT_EQ(cell.Lines(), c.linesBefore) << c.before.toStdString() << " -> " << c.after.toStdString();
        w.g.EndUpdate();
        EXPECT_EQ(cell.Lines(), c.linesAfter) << c.after.toStdString();
    }
}
