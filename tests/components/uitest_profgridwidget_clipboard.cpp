// Selection, copy, paste and clearing of the grid through the clipboard.

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "ProfGridWidgetSupport.h"
#include "components/ProfGridClipboard.h"
#include "platform/ClassRegistry.h"

namespace {

class GridClipboard : public GridWidgetTest {
protected:
    void SetUp() override
    {
        GridWidgetTest::SetUp();
        fc::RegisterProfGridClasses();
        QGuiApplication::clipboard()->clear();
    }
    // A grid of 5 x 5 with the given texts from (1, 1), rows split by '|'
    // and cells by ','.
    TProfGridWidget& Filled(const QString& rows)
    {
        TProfGridWidget& g = MakeGrid();
        g.SetOptions(g.Options() + pgoEditing);
        const QStringList rs = rows.split(QLatin1Char('|'));
        for (int r = 0; r < rs.size(); ++r) {
            const QStringList cs = rs[r].split(QLatin1Char(','));
            for (int c = 0; c < cs.size(); ++c)
                g.Cell(1 + c, 1 + r).SetText(cs[c]);
        }
        return g;
    }
    static void Select(TProfGrid& g, int l, int t, int r, int b)
    {
        g.SelectCell(l, t);
        TProfGridSelection& s = g.Selection();
        s.BeginUpdate();
        s.SetLeft(l);
        s.SetTop(t);
        s.SetRight(r);
        s.SetBottom(b);
        s.EndUpdate();
    }
    static QString ClipText() { return QGuiApplication::clipboard()->text(); }
    static std::unique_ptr<QObject> ClipComponent()
    {
        return fc::ClipboardComponent(*QGuiApplication::clipboard()->mimeData());
    }
    static QString Texts(TProfGrid& g, int l, int t, int r, int b)
    {
        QStringList rows;
        for (int y = t; y <= b; ++y) {
            QStringList cells;
            for (int x = l; x <= r; ++x)
                cells << g.Cell(x, y).Text();
            rows << cells.join(QLatin1Char(','));
        }
        return rows.join(QLatin1Char('|'));
    }
    static void PutText(const QString& text)
    {
        auto* d = new QMimeData;
        d->setText(text);
        QGuiApplication::clipboard()->setMimeData(d);
    }
};

TEST_F(GridClipboard, CopyWritesTextAndTheGridsOwnComponent)
{
    TProfGridWidget& g = Filled(QStringLiteral("a,b|c,d"));
    Select(g, 1, 1, 2, 2);
    ASSERT_TRUE(g.Selection().CopyToClipboard());
    EXPECT_EQ(ClipText(), QStringLiteral("a\tb\r\nc\td\r\n"));
    auto obj = ClipComponent();
    auto* sel = qobject_cast<TExtSel*>(obj.get());
    ASSERT_NE(sel, nullptr);
    EXPECT_EQ(sel->Cells(), QStringLiteral("a\tb\tc\td\t"));
    EXPECT_EQ(sel->ColCount(), 2);
}

TEST_F(GridClipboard, MultiLineTextIsQuotedOnlyAmongSeveralCells)
{
    TProfGridWidget& g = Filled(QStringLiteral("x,y"));
    g.Cell(1, 1).SetText(QStringLiteral("say \"hi\"\r\nthere"));
    Select(g, 1, 1, 1, 1);
    ASSERT_TRUE(g.Selection().CopyToClipboard());
    EXPECT_EQ(ClipText(), QStringLiteral("say \"hi\"\nthere\r\n"));
    Select(g, 1, 1, 2, 1);
    ASSERT_TRUE(g.Selection().CopyToClipboard());
    EXPECT_EQ(ClipText(), QStringLiteral("\"say \"\"hi\"\"\nthere\"\ty\r\n"));
    g.SetClipboardLineBreak(clbSpace);
    g.Selection().CopyToClipboard();
    EXPECT_EQ(ClipText(), QStringLiteral("\"say \"\"hi\"\" there\"\ty\r\n"));

    // The text alone, pasted into another grid, gives the texts back.
    g.SetClipboardLineBreak(clbSoftEnter);
    g.Selection().CopyToClipboard();
    PutText(ClipText());
    TProfGridWidget other;
    other.SetOptions(other.Options() + pgoEditing);
    other.SelectCell(2, 2);
    ASSERT_TRUE(other.PasteFromClipboard());
    EXPECT_EQ(other.Cell(2, 2).Text(), QStringLiteral("say \"hi\"\r\nthere"));
    EXPECT_EQ(other.Cell(3, 2).Text(), QStringLiteral("y"));
    EXPECT_EQ(other.Col(), 2);
    EXPECT_EQ(other.Row(), 2) << "the current cell comes back";
}

TEST_F(GridClipboard, ComponentRoundTripKeepsRawTextsAndMergedCells)
{
    TProfGridWidget& g = Filled(QStringLiteral("a\tb,\"q\"|c,d"));
    g.Cell(2, 1).SetText(QStringLiteral("1\r\n2"));
    Select(g, 1, 1, 2, 2);
    ASSERT_TRUE(g.Selection().CopyToClipboard());
    TProfGridWidget other;
    other.SelectCell(1, 1);
    ASSERT_TRUE(other.PasteFromClipboard());
    // Texts are raw: line breaks stay, and a tab inside a text splits it
    // like a separator, so the rest of the row moves on.
    EXPECT_EQ(other.Cell(1, 1).Text(), QStringLiteral("a"));
    EXPECT_EQ(other.Cell(2, 1).Text(), QStringLiteral("b"));
    EXPECT_EQ(other.Cell(1, 2).Text(), QStringLiteral("1\r\n2"));
    EXPECT_EQ(other.Cell(2, 2).Text(), QStringLiteral("c"));

    // A cell merged over two columns receives both fields, one per line.
    TProfGridWidget m;
    ASSERT_TRUE(m.MergeCells(1, 1, 2, 1));
    Select(g, 1, 2, 2, 2);
    g.Selection().CopyToClipboard();
    m.SelectCell(1, 1);
    ASSERT_TRUE(m.PasteFromClipboard());
    EXPECT_EQ(m.Cell(1, 1).Text(), QStringLiteral("c\r\nd"));
}

TEST_F(GridClipboard, PasteTextTable)
{
    struct Case {
        const char* name;
        QString clip;
        QString before;
        TProfGridOptions extra;
        QString after; // rows 1-2, columns 1-4
        int cols;
    } cases[] = {
        {"two fields without a final line break", QStringLiteral("x\ty"), QStringLiteral("a,b,c,d|e,f,g,h"), {},
         QStringLiteral("x,y,c,d|e,f,g,h"), 5},
        {"an empty field between tabs empties its cell", QStringLiteral("x\t\tz\r\n"),
         QStringLiteral("a,b,c,d|e,f,g,h"), {}, QStringLiteral("x,,z,d|e,f,g,h"), 5},
        {"rows", QStringLiteral("1\t2\r\n3\t4\r\n"), QStringLiteral("a,b,c,d|e,f,g,h"), {},
         QStringLiteral("1,2,c,d|3,4,g,h"), 5},
        {"quoted field", QStringLiteral("\"p\"\"q\"\t\"\"\r\n"), QStringLiteral("a,b,c,d|e,f,g,h"), {},
         QStringLiteral("p\"q,,c,d|e,f,g,h"), 5},
        // Text from the programs of this platform ends its rows with LF.
        {"rows ended by line feeds", QStringLiteral("1\t2\n3\t4\n"), QStringLiteral("a,b,c,d|e,f,g,h"), {},
         QStringLiteral("1,2,c,d|3,4,g,h"), 5},
        {"line feeds without a final one", QStringLiteral("1\t2\n3\t4"), QStringLiteral("a,b,c,d|e,f,g,h"), {},
         QStringLiteral("1,2,c,d|3,4,g,h"), 5},
        {"both line ends mixed", QStringLiteral("1\r\n3\t4\n"), QStringLiteral("a,b,c,d|e,f,g,h"), {},
         QStringLiteral("1,b,c,d|3,4,g,h"), 5},
        {"an empty line empties its cell", QStringLiteral("x\n\n"), QStringLiteral("a,b,c,d|e,f,g,h"), {},
         QStringLiteral("x,b,c,d|,f,g,h"), 5},
        {"a quoted field keeps its line feed", QStringLiteral("\"p\nq\"\tz\n5\n"), QStringLiteral("a,b,c,d|e,f,g,h"),
         {}, QStringLiteral("p\r\nq,z,c,d|5,f,g,h"), 5},
        {"a quote inside a field is no quoting", QStringLiteral("5\"\t6\n7\"\n"), QStringLiteral("a,b,c,d|e,f,g,h"),
         {}, QStringLiteral("5\",6,c,d|7\",f,g,h"), 5},
    };
    for (const Case& c : cases) {
        TProfGridWidget& g = Filled(c.before);
        g.SetOptions(g.Options() + pgoEditing);
        PutText(c.clip);
        g.SelectCell(1, 1);
        ASSERT_TRUE(g.PasteFromClipboard()) << c.name;
        EXPECT_EQ(Texts(g, 1, 1, 4, 2), c.after) << c.name;
        EXPECT_EQ(g.ColCount(), c.cols) << c.name;
    }
}

TEST_F(GridClipboard, PastingPastTheLastColumnAppendsColumnsOnlyWhenAsked)
{
    for (bool insert : {false, true}) {
        TProfGridWidget& g = Filled(QStringLiteral("a,b,c,d"));
        if (insert)
            g.SetOptions(g.Options() + pgoInsertColWhenPasting + pgoInsertRowWhenPasting);
        PutText(QStringLiteral("1\t2\t3\r\n4\t5\t6\r\n"));
        g.SelectCell(4, 4);
        ASSERT_TRUE(g.PasteFromClipboard());
        EXPECT_EQ(g.ColCount(), insert ? 7 : 5);
        EXPECT_EQ(g.RowCount(), insert ? 6 : 5);
        EXPECT_EQ(g.Cell(4, 4).Text(), QStringLiteral("1"));
        if (insert) {
            EXPECT_EQ(g.Cell(6, 4).Text(), QStringLiteral("3"));
            EXPECT_EQ(g.Cell(6, 5).Text(), QStringLiteral("6"));
        }
        EXPECT_EQ(g.Col(), 4);
        EXPECT_EQ(g.Row(), 4);
    }
}

TEST_F(GridClipboard, AnUnregisteredComponentClassFailsThePaste)
{
    TProfGridWidget& g = Filled(QStringLiteral("a,b"));
    Select(g, 1, 1, 2, 1);
    ASSERT_TRUE(g.Selection().CopyToClipboard());
    fc::UnregisterClass(QStringLiteral("TExtSel"));
    g.SelectCell(1, 2);
    EXPECT_FALSE(g.PasteFromClipboard());
    EXPECT_EQ(g.Cell(1, 2).Text(), QString());
    EXPECT_EQ(g.UpdateCount(), 0) << "the bracket closes all the same";
    fc::RegisterProfGridClasses();
    EXPECT_TRUE(g.PasteFromClipboard());
    EXPECT_EQ(g.Cell(1, 2).Text(), QStringLiteral("a"));
}

TEST_F(GridClipboard, UnquoteTable)
{
    const struct {
        QString in, out;
    } cases[] = {
        {QStringLiteral("plain"), QStringLiteral("plain")},
        {QStringLiteral("\"a\nb\""), QStringLiteral("a\r\nb")},
        {QStringLiteral("\"say \"\"hi\"\"\""), QStringLiteral("say \"hi\"")},
        {QStringLiteral("\""), QString()},
        {QStringLiteral("5\""), QStringLiteral("5\"")},
        {QStringLiteral("\"\""), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UnquoteCellText(c.in), c.out) << c.in.toStdString();
    EXPECT_EQ(QuoteCellText(QStringLiteral("a\"b")), QStringLiteral("a\"\"b"));
}

TEST_F(GridClipboard, DeleteKeysClearAndCut)
{
    TProfGridWidget& g = Filled(QStringLiteral("a,b|c,d"));
    g.Columns(2).SetReadOnly(true);
    Select(g, 1, 1, 2, 2);
    EXPECT_FALSE(g.Selection().ClearCells(false));
    EXPECT_EQ(Texts(g, 1, 1, 2, 2), QStringLiteral(",b|,d"));
    EXPECT_TRUE(g.Selection().ClearCells(true));
    EXPECT_EQ(Texts(g, 1, 1, 2, 2), QStringLiteral(",|,"));

    // Del acts only with pgoClearCellOnDel; Shift+Del cuts with pgoEditing.
    TProfGridWidget& h = Filled(QStringLiteral("a,b|c,d"));
    h.Columns(2).SetReadOnly(true);
    Select(h, 1, 1, 2, 2);
    int key = Qt::Key_Delete;
    h.KeyDown(key, Qt::NoModifier);
    EXPECT_EQ(Texts(h, 1, 1, 2, 2), QStringLiteral("a,b|c,d"));
    h.SetOptions(h.Options() + pgoClearCellOnDel);
    Select(h, 1, 1, 2, 2);
    key = Qt::Key_Delete;
    h.KeyDown(key, Qt::NoModifier);
    EXPECT_EQ(Texts(h, 1, 1, 2, 2), QStringLiteral(",b|,d"));
    h.Cell(1, 1).SetText(QStringLiteral("z"));
    Select(h, 1, 1, 2, 2);
    key = Qt::Key_Delete;
    h.KeyDown(key, Qt::ShiftModifier);
    EXPECT_EQ(Texts(h, 1, 1, 2, 2), QStringLiteral(",|,"));
    EXPECT_EQ(ClipText(), QStringLiteral("z\tb\r\n\td\r\n"));
}

TEST_F(GridClipboard, ClipboardKeysActOnlyWithTheEditorClosedAndPasteOnlyWhenEditing)
{
    TProfGridWidget& g = Filled(QStringLiteral("a,b"));
    g.SetOptions(g.Options() - pgoEditing);
    Select(g, 1, 1, 2, 1);
    int key = Qt::Key_C;
    g.KeyDown(key, Qt::ControlModifier);
    EXPECT_EQ(ClipText(), QStringLiteral("a\tb\r\n"));
    g.SelectCell(1, 2);
    key = Qt::Key_V;
    g.KeyDown(key, Qt::ControlModifier);
    key = Qt::Key_Insert;
    g.KeyDown(key, Qt::ShiftModifier);
    EXPECT_EQ(g.Cell(1, 2).Text(), QString()) << "no paste without pgoEditing";
    g.SetOptions(g.Options() + pgoEditing);
    g.SelectCell(1, 2);
    key = Qt::Key_Insert;
    g.KeyDown(key, Qt::ShiftModifier);
    EXPECT_EQ(Texts(g, 1, 2, 2, 2), QStringLiteral("a,b"));
    // Ctrl+Insert copies.
    Select(g, 1, 1, 1, 1);
    key = Qt::Key_Insert;
    g.KeyDown(key, Qt::ControlModifier);
    EXPECT_EQ(ClipText(), QStringLiteral("a\r\n"));
    // With the editor open the keys belong to the editor.
    g.SelectCell(2, 2);
    g.SetEditorMode(true);
    ASSERT_TRUE(g.EditorMode());
    PutText(QStringLiteral("zz"));
    key = Qt::Key_V;
    g.KeyDown(key, Qt::ControlModifier);
    g.SetEditorMode(false);
    EXPECT_EQ(g.Cell(2, 2).Text(), QStringLiteral("b"));
}

TEST_F(GridClipboard, RowSelectWidensToWholeRowsAndMergedCells)
{
    TProfGridWidget& g = MakeGrid();
    g.SetRowCount(6);
    ASSERT_TRUE(g.MergeCells(1, 2, 1, 3));
    g.SetOptions(g.Options() + pgoRowSelect);
    g.SelectCell(3, 3);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Selection().Left(), 1);
    EXPECT_EQ(g.Selection().Right(), 4);
    EXPECT_EQ(g.Selection().Top(), 2);
    EXPECT_EQ(g.Selection().Bottom(), 3);
    // A fixed cell cannot be selected.
    g.SelectCell(0, 4);
    g.SelectCell(2, 0);
    EXPECT_EQ(g.Row(), 3);
}

} // namespace
