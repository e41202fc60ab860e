// The report grid view: geometry, hit testing, index clamping, the current
// cell and the keyboard, selection and painting of an empty document.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QKeyEvent>
#include <QTextEdit>

#include "ARFrame.h"
#include "ARGridRep.h"
#include "ARInplaceEditor.h"
#include "ReportTestUtil.h"
#include "ViewTestUtil.h"

namespace {

void key(QWidget& w, int k, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    QKeyEvent ev(QEvent::KeyPress, k, m);
    QCoreApplication::sendEvent(&w, &ev);
}

// The default document: four bands of 25 pixels, each of four cells 100
// pixels wide.
class GridView : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid.resize(420, 200);
        grid.show();
        grid.UpdateScrollBars();
    }
    viewtest::ScopedFixedPitch measure;
    TARGridRep grid;
};

TEST_F(GridView, Defaults)
{
    EXPECT_EQ(grid.Gutter(), 100);
    EXPECT_EQ(grid.Columns, 1);
    EXPECT_TRUE(grid.ShowPrintProgress);
    EXPECT_EQ(grid.SelectedCellStyle, scsGray);
    EXPECT_EQ(grid.FocusedCellStyle(), fcsRect);
    EXPECT_EQ(grid.Color(), 0xFFFFFF);
    EXPECT_EQ(grid.Rep()->BandCount(), 4);
    TARGridRep fresh;
    EXPECT_EQ(fresh.size(), QSize(180, 120));
}

TEST_F(GridView, CellAndBandRectangles)
{
    EXPECT_EQ(grid.CellRect(0, 0), Rect(101, 0, 201, 25));
    EXPECT_EQ(grid.CellRect(2, 1), Rect(201, 50, 301, 75));
    // Bad index pairs give the empty rectangle, never an error.
    for (auto [b, c] : {std::pair{-1, 0}, {4, 0}, {0, -1}, {0, 4}, {99, 99}}) {
        EXPECT_EQ(grid.CellRect(b, c), TRect{}) << b << "," << c;
        EXPECT_EQ(grid.VisibleCellRect(b, c), TRect{}) << b << "," << c;
    }
    EXPECT_EQ(grid.BandRect(7), TRect{});
    EXPECT_EQ(grid.BandTitleRect(-1), TRect{});
    EXPECT_EQ(grid.BandHeight(4), 0);
    EXPECT_EQ(grid.BandHeight(1), 25);
    const TRect br = grid.BandRect(1);
    EXPECT_EQ(br.Top, 25);
    EXPECT_EQ(br.Right, grid.ClientWidth());
    // The visible part ends at the client area.
    EXPECT_EQ(grid.VisibleCellRect(0, 3).Right, std::min(501, grid.ClientWidth()));
    EXPECT_LT(grid.ClientWidth(), 501);
}

TEST_F(GridView, HitTesting)
{
    int c = 7, b = 7;
    // The title gutter answers the band and no cell.
    EXPECT_EQ(grid.CellAtPos(50, 10, c, b), nullptr);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, -1);
    // A common border hits the upper band and the left cell.
    TARCell* hit = grid.CellAtPos(200, 25, c, b);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(hit, grid.Rep()->GetBand(0)->GetCell(0));
    grid.CellAtPos(201, 26, c, b);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(c, 1);
    // Below the last band: nothing.
    EXPECT_EQ(grid.CellAtPos(150, 150, c, b), nullptr);
    EXPECT_EQ(b, -1);
    EXPECT_EQ(c, -1);
}

TEST_F(GridView, GutterZeroStartsCellsAtOne)
{
    grid.SetGutter(-5);
    EXPECT_EQ(grid.Gutter(), 0);
    EXPECT_EQ(grid.CellRect(0, 0).Left, 1);
}

TEST_F(GridView, FixedCellsStayWhenScrolledRight)
{
    grid.FixedCells = 2;
    grid.UpdateScrollBars();
    grid.SetHPos(50);
    ASSERT_EQ(grid.HPos(), 50);
    EXPECT_EQ(grid.CellRect(0, 0).Left, 101);
    EXPECT_EQ(grid.CellRect(0, 1).Left, 201);
    EXPECT_EQ(grid.CellRect(0, 2).Left, 251);
    // A scrolled cell is not shown over the fixed ones.
    EXPECT_EQ(grid.VisibleCellRect(0, 2).Left, 301);
    int c = -1, b = -1;
    grid.CellAtPos(110, 5, c, b);
    EXPECT_EQ(c, 0);
    grid.CellAtPos(310, 5, c, b);
    EXPECT_EQ(c, 2);
    // Scrolling is clamped to the document's width.
    grid.SetHPos(100000);
    EXPECT_EQ(grid.HPos(), std::max(0, 400 - (grid.ClientWidth() - grid.Gutter())));
    grid.SetHPos(-40);
    EXPECT_EQ(grid.HPos(), 0);
}

TEST_F(GridView, FixedBandsAreClampedAndDoNotScroll)
{
    grid.SetFixedBands(9);
    EXPECT_EQ(grid.FixedBands(), 3);
    grid.SetFixedBands(1);
    grid.resize(420, 80);
    grid.UpdateScrollBars();
    grid.SetVPos(20);
    ASSERT_GT(grid.VPos(), 0);
    EXPECT_EQ(grid.CellRect(0, 0).Top, 0);
    EXPECT_EQ(grid.CellRect(1, 0).Top, 25 - grid.VPos());
    // A scrolling band is not shown over the fixed ones.
    EXPECT_EQ(grid.VisibleCellRect(1, 0).Top, 25);
}

TEST_F(GridView, EmptyDocument)
{
    grid.Clear();
    EXPECT_EQ(grid.Rep()->BandCount(), 0);
    EXPECT_EQ(grid.CurrentBand(), nullptr);
    EXPECT_EQ(grid.CurrentCell(), nullptr);
    EXPECT_EQ(grid.CurrentBandIndex(), -1);
    EXPECT_EQ(grid.CurrentCellIndex(), -1);
    grid.SetFixedBands(3);
    EXPECT_EQ(grid.FixedBands(), 0);
    key(grid, Qt::Key_Down);
    key(grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid.CurrentBandIndex(), -1);
    grid.SetColor(0x00FF00);
    const QImage img = grid.viewport()->grab().toImage();
    EXPECT_EQ(img.pixelColor(img.width() / 2, img.height() / 2), QColor(0, 255, 0));
}

TEST_F(GridView, CurrentPositionIsClamped)
{
    grid.SetCurrentBandIndex(99);
    EXPECT_EQ(grid.CurrentBandIndex(), 3);
    grid.SetCurrentCellIndex(-5);
    EXPECT_EQ(grid.CurrentCellIndex(), 0);
    grid.SetCurrentCellIndex(50);
    EXPECT_EQ(grid.CurrentCellIndex(), 3);
    EXPECT_TRUE(grid.CurrentCell()->Focused());
    grid.SetCurrentBandIndex(0);
    EXPECT_FALSE(grid.Rep()->GetBand(3)->GetCell(3)->Focused());
    EXPECT_TRUE(grid.Rep()->GetBand(0)->GetCell(3)->Focused());
}

TEST_F(GridView, KeyboardStaysInsideTheDocument)
{
    int selected = 0;
    grid.OnSelectCell = [&](TARGridRep*, int, int) { ++selected; };
    key(grid, Qt::Key_Up);
    key(grid, Qt::Key_Left);
    EXPECT_EQ(grid.CurrentBandIndex(), 0);
    EXPECT_EQ(grid.CurrentCellIndex(), 0);
    EXPECT_EQ(selected, 0); // nothing moved
    key(grid, Qt::Key_End);
    EXPECT_EQ(grid.CurrentCellIndex(), 3);
    key(grid, Qt::Key_Right);
    EXPECT_EQ(grid.CurrentCellIndex(), 3);
    key(grid, Qt::Key_Down);
    key(grid, Qt::Key_Down);
    EXPECT_EQ(grid.CurrentBandIndex(), 2);
    key(grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid.CurrentBandIndex(), 3);
    key(grid, Qt::Key_Down);
    EXPECT_EQ(grid.CurrentBandIndex(), 3);
    key(grid, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid.CurrentBandIndex(), 0);
    EXPECT_EQ(grid.CurrentCellIndex(), 0);
    EXPECT_EQ(selected, 5);
}

TEST_F(GridView, ShiftTogglesCellsIntoTheSelection)
{
    key(grid, Qt::Key_Right, Qt::ShiftModifier);
    key(grid, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(grid.SelCount(), 2);
    EXPECT_TRUE(grid.Rep()->GetBand(0)->GetCell(1)->Selected());
    EXPECT_TRUE(grid.Rep()->GetBand(0)->GetCell(2)->Selected());
    // Moving back over a selected cell removes it.
    key(grid, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(grid.SelCount(), 1);
    EXPECT_FALSE(grid.Rep()->GetBand(0)->GetCell(1)->Selected());
    // Without Shift exactly the new current cell is selected.
    key(grid, Qt::Key_Right);
    key(grid, Qt::Key_Right);
    ASSERT_EQ(grid.SelCount(), 1);
    EXPECT_EQ(grid.SelectedCell(0), grid.CurrentCell());
    EXPECT_EQ(grid.SelectedCell(5), nullptr);
    grid.ClearSelection();
    EXPECT_EQ(grid.SelCount(), 0);
    EXPECT_FALSE(grid.CurrentCell()->Selected());
}

TEST_F(GridView, VerticalScrollKeepsFixedBandsInPlace)
{
    grid.resize(420, 90);
    grid.SetFixedBands(1);
    grid.UpdateScrollBars();
    const QImage before = grid.viewport()->grab().toImage();
    grid.SetVPos(10);
    ASSERT_EQ(grid.VPos(), 10);
    const QImage after = grid.viewport()->grab().toImage();
    // The fixed band's rows are unchanged.
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < after.width(); x += 7)
            ASSERT_EQ(before.pixel(x, y), after.pixel(x, y)) << x << "," << y;
    EXPECT_NE(before, after);
}

TEST_F(GridView, EditorNeedsEditingOption)
{
    EXPECT_FALSE(grid.ShowEditor(QChar(0)));
    grid.Options = roEditing;
    bool asked = false;
    grid.OnCanEdit = [&](TARGridRep*, int, int, bool& can) {
        asked = true;
        can = false;
    };
    EXPECT_FALSE(grid.ShowEditor(QChar(0)));
    EXPECT_TRUE(asked);
    grid.OnCanEdit = nullptr;
    QChar shown;
    grid.OnShowEditor = [&](TARGridRep*, QChar ch) { shown = ch; };
    EXPECT_TRUE(grid.ShowEditor(QChar('x')));
    EXPECT_EQ(shown, QChar('x'));
}

TEST(GridEditor, OwnerMustBeAGridView)
{
    QWidget w;
    EXPECT_EQ(fc::test::MessageOf([&] { TARInplaceEditorDlg d(&w); }),
              "Owner of TARInplaceEditorDlg must be TARGridRep");
}

class GridEditing : public GridView {
protected:
    void SetUp() override
    {
        GridView::SetUp();
        grid.show();
        grid.Options = roEditing;
        grid.SetCurrentBandIndex(1);
        grid.SetCurrentCellIndex(1);
        cell = grid.CurrentCell();
        grid.OnCellChange = [this](TARBand*, TARCell*) { ++changes; };
        grid.OnAfterEdit = [this](TARGridRep*) { ++afterEdits; };
    }
    TARInplaceEditorDlg* open()
    {
        auto* ed = new TARInplaceEditorDlg(&grid);
        ed->Execute(QChar(0));
        return ed;
    }
    TARCell* cell = nullptr;
    int changes = 0, afterEdits = 0;
};

TEST_F(GridEditing, EditorLiesInsideTheCellFrame)
{
    cell->SetFrameWidth(2);
    TARInplaceEditorDlg* ed = open();
    const TRect r = grid.CellRect(1, 1);
    EXPECT_EQ(ed->geometry(), QRect(r.Left + 2, r.Top + 2, r.Width() - 5, r.Height() - 5));
    ed->Cancel();
}

TEST_F(GridEditing, EscKeepsTheValue)
{
    TARInplaceEditorDlg* ed = open();
    ed->Editor->insertPlainText(QStringLiteral("new"));
    key(*ed->Editor, Qt::Key_Escape);
    EXPECT_EQ(cell->Value(), "Cell(1,1)");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(cell->UpdateCount(), 0);
}

TEST_F(GridEditing, EnterCommitsAndCtrlEnterBreaksTheLine)
{
    TARInplaceEditorDlg* ed = open();
    ed->Editor->insertPlainText(QStringLiteral("a"));
    key(*ed->Editor, Qt::Key_Return, Qt::ControlModifier);
    ed->Editor->insertPlainText(QStringLiteral("b"));
    key(*ed->Editor, Qt::Key_Return);
    EXPECT_EQ(cell->Value(), "a\r\nb");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(afterEdits, 1);
    EXPECT_EQ(cell->UpdateCount(), 0);
}

TEST_F(GridEditing, UnchangedTextFiresNothing)
{
    TARInplaceEditorDlg* ed = open();
    key(*ed->Editor, Qt::Key_Return);
    EXPECT_EQ(cell->Value(), "Cell(1,1)");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(afterEdits, 0);
}

TEST(FocusFrame, AntStylesRegisterWithTheRunningThread)
{
    {
        TARGridRep a, b;
        b.SetFocusedCellStyle(fcsBlackAnt);
        a.SetFocusedCellStyle(fcsRedAnt);
        ASSERT_NE(TARFrameThread::Instance(), nullptr);
        EXPECT_EQ(TARFrameThread::GridCount(), 2);
        EXPECT_TRUE(TARFrameThread::Instance()->isRunning());
        a.SetFocusedCellStyle(fcsRect);
        EXPECT_EQ(TARFrameThread::GridCount(), 1);
        // A step by hand: unfocused grids are skipped, the phase moves on.
        const int p = TARFrameThread::Phase();
        TARFrameThread::Instance()->Animate();
        EXPECT_EQ(TARFrameThread::Phase(), (p + 1) % 4);
    }
    // Destroying the last ant grid frees the frame object.
    EXPECT_EQ(TARFrameThread::Instance(), nullptr);
    EXPECT_EQ(TARFrameThread::GridCount(), 0);
}

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    PaintCounter(QWidget* w, int& count) : count_(count) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++count_;
        return false;
    }

private:
    int& count_;
};

// Runs the event loop until done() or about five seconds passed.
template <class F>
bool WaitFor(F done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST(FocusFrame, TheAntsMarchOnAFocusedGridAndStopWithTheLastGrid)
{
    QWidget window;
    window.resize(300, 200);
    auto* ants = new TARGridRep(&window);
    ants->resize(300, 200);
    auto* plain = new TARGridRep(&window);
    plain->resize(10, 10);
    int antPaints = 0;
    PaintCounter counter(ants->viewport(), antPaints);
    window.show();
    QApplication::setActiveWindow(&window);
    ants->setFocus();
    ASSERT_TRUE(WaitFor([&] { return ants->hasFocus(); }));

    ants->SetFocusedCellStyle(fcsRedAnt);
    TARFrameThread* thread = TARFrameThread::Instance();
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(thread->isRunning()) << "switching to an ant style starts the thread";
    const int first = TARFrameThread::Phase();
    EXPECT_TRUE(WaitFor([&] { return TARFrameThread::Phase() != first; })) << "the phase advances by itself";
    EXPECT_TRUE(WaitFor([&] { return TARFrameThread::Phase() >= 8; })) << "red ants use images 8 to 11";
    antPaints = 0;
    EXPECT_TRUE(WaitFor([&] { return antPaints >= 2; })) << "each tick repaints the ants";

    // A grid that never used ants leaves them running.
    delete plain;
    EXPECT_EQ(TARFrameThread::Instance(), thread);
    EXPECT_TRUE(thread->isRunning());

    // The last ant grid goes: the thread stops and nothing paints it.
    delete ants;
    EXPECT_EQ(TARFrameThread::Instance(), nullptr);
    const int last = TARFrameThread::Phase();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 350)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(TARFrameThread::Phase(), last) << "no tick after the thread is gone";
}

} // namespace

namespace {
TEST_F(GridEditing, ClearingOrDestroyingTheGridWhileEditingIsSafe)
{
    TARInplaceEditorDlg* ed = open();
    ed->Editor->insertPlainText(QStringLiteral("lost"));
    grid.Clear();
    // The focus leaves the editor: nothing is written into freed cells.
    ed->Accept();
    EXPECT_EQ(changes, 0);
    auto* other = new TARGridRep;
    other->show();
    other->Options = roEditing;
    auto* ed2 = new TARInplaceEditorDlg(other);
    ed2->Execute(QChar('z'));
    delete other;
}
} // namespace

namespace {
TEST_F(GridView, PaintsCellsTitlesAndBackground)
{
    grid.Rep()->GetBand(1)->GetCell(0)->SetColor(0x00FF00); // green in BGR
    const QImage img = grid.viewport()->grab().toImage();
    const TRect r = grid.CellRect(1, 0);
    EXPECT_EQ(img.pixelColor(r.Left + 50, r.Top + 20), QColor(0, 255, 0));
    // The gutter is button face; the area below the bands the grid colour.
    EXPECT_EQ(img.pixelColor(20, 3), ar::ToQColor(clBtnFace));
    EXPECT_EQ(img.pixelColor(200, 150), QColor(255, 255, 255));
}
} // namespace

namespace {
TEST_F(GridView, PageDownMovesTheViewAndTheCurrentBand)
{
    for (int i = 0; i < 16; ++i)
        grid.Rep()->AddBand(); // 20 bands of 25 pixels
    grid.resize(420, 120);
    QApplication::processEvents();
    grid.UpdateScrollBars();
    const int page = grid.ClientHeight();
    int vscrolls = 0;
    grid.OnVScroll = [&](TARGridRep*) { ++vscrolls; };
    key(grid, Qt::Key_PageDown);
    EXPECT_EQ(grid.VPos(), page);
    // The band now at the old row top of band 0 (or below it) is current.
    EXPECT_EQ(grid.CurrentBandIndex(), (page + 24) / 25);
    grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(grid.VPos(), std::min(2 * page, 500 - page));
    EXPECT_EQ(vscrolls, 1);
    key(grid, Qt::Key_PageUp);
    key(grid, Qt::Key_PageUp);
    key(grid, Qt::Key_PageUp);
    EXPECT_EQ(grid.VPos(), 0);
    EXPECT_EQ(grid.CurrentBandIndex(), 0);
}
} // namespace
