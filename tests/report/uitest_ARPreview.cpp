// The preview control and dialog, and the progress dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include "ARPreviewForm.h"
#include "ARPrintProgress.h"
#include "ARPrinter.h"
#include "ReportTestUtil.h"

namespace {

void key(QWidget& w, int k, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    QKeyEvent ev(QEvent::KeyPress, k, m);
    QCoreApplication::sendEvent(&w, &ev);
}

// A page store of three A4 pages (794 by 1123), each with a black square
// at (100, 100) of 50 pixels.
class PreviewControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.BeginDoc();
        for (int p = 1; p <= 3; ++p) {
            if (p > 1)
                store.NewPage();
            store.Canvas()->BrushColor = clBlack;
            store.Canvas()->FillRect(Rect(100, 100, 150, 150));
        }
        store.EndDoc();
        view.SetPrinter(&store);
        view.OnChangeView = [this](TARPreview*) { ++views; };
        view.resize(420, 320);
        view.show();
        view.SetCurrPage(1);
    }
    TARPrinter store;
    TARPreview view;
    int views = 0;
};

TEST_F(PreviewControl, ZoomIsKeptWithinLimits)
{
    EXPECT_EQ(view.Zoom(), 100);
    view.SetZoom(5);
    EXPECT_EQ(view.Zoom(), 10);
    view.SetZoom(900);
    EXPECT_EQ(view.Zoom(), 500);
    EXPECT_EQ(view.ZoomedPageWidth(), 3970);
    view.SetZoom(50);
    EXPECT_EQ(view.ZoomedPageWidth(), 397);
    EXPECT_EQ(view.ZoomedPageHeight(), 562);
    key(view, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(view.Zoom(), 60);
    key(view, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(view.Zoom(), 50);
}

TEST_F(PreviewControl, FitModesFollowTheWindowUntilAZoomIsSet)
{
    const int cw = view.viewport()->width(), ch = view.viewport()->height();
    view.ZoomToFit();
    EXPECT_EQ(view.ZoomMode(), 2);
    EXPECT_EQ(view.Zoom(), std::max(10, std::min(qRound(cw * 100.0 / 794), qRound(ch * 100.0 / 1123)) - 2));
    view.resize(820, 1220);
    QApplication::processEvents();
    const int cw2 = view.viewport()->width(), ch2 = view.viewport()->height();
    EXPECT_EQ(view.Zoom(), std::min(qRound(cw2 * 100.0 / 794), qRound(ch2 * 100.0 / 1123)) - 2);
    view.ZoomToWidth();
    EXPECT_EQ(view.ZoomMode(), 1);
    EXPECT_EQ(view.Zoom(), qRound(cw2 * 100.0 / 794) - 3);
    view.SetZoom(80);
    EXPECT_EQ(view.ZoomMode(), 0);
    view.resize(420, 320);
    QApplication::processEvents();
    EXPECT_EQ(view.Zoom(), 80);
}

TEST_F(PreviewControl, PageNavigationIsClamped)
{
    EXPECT_EQ(view.PageCount(), 3);
    key(view, Qt::Key_Right);
    key(view, Qt::Key_Right);
    key(view, Qt::Key_Right);
    EXPECT_EQ(view.CurrPage(), 3);
    key(view, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view.CurrPage(), 1);
    key(view, Qt::Key_Left);
    EXPECT_EQ(view.CurrPage(), 1);
    key(view, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view.CurrPage(), 3);
    EXPECT_GT(views, 0);
    TARPrinter empty;
    view.SetPrinter(&empty);
    view.SetCurrPage(2);
    EXPECT_EQ(view.CurrPage(), 0);
    view.Render(); // sheet and shadow only
}

TEST_F(PreviewControl, NarrowPageIsCentredAndTallPageScrolls)
{
    view.SetZoom(10); // 79 by 112
    const QPoint o = view.PageOrigin();
    EXPECT_EQ(o.x(), (view.viewport()->width() - 79) / 2);
    view.ScrollHorzTo(30);
    EXPECT_EQ(view.PageOrigin(), o);
    view.SetZoom(100);
    view.ScrollVertTo(100);
    EXPECT_EQ(view.VPos(), 100);
    EXPECT_EQ(view.PageOrigin().y(), -100);
    view.ScrollVertTo(100000);
    EXPECT_EQ(view.VPos(), 1123 - view.viewport()->height());
    key(view, Qt::Key_Home);
    EXPECT_EQ(view.VPos(), 0);
}

TEST_F(PreviewControl, ShowsThePageAtTheZoom)
{
    view.SetZoom(100);
    QImage img = view.Render();
    const QPoint o = view.PageOrigin();
    EXPECT_EQ(img.pixelColor(o.x() + 120, o.y() + 120), QColor(0, 0, 0));
    EXPECT_EQ(img.pixelColor(o.x() + 170, o.y() + 120), QColor(255, 255, 255));
    view.SetZoom(200);
    img = view.Render();
    const QPoint o2 = view.PageOrigin();
    EXPECT_EQ(img.pixelColor(o2.x() + 280, o2.y() + 280), QColor(0, 0, 0));
    // Button face around the sheet.
    view.SetZoom(10);
    img = view.Render();
    EXPECT_EQ(img.pixelColor(2, 2), ar::ToQColor(clBtnFace));
}

TEST_F(PreviewControl, LeftDragMovesThePage)
{
    auto mouse = [this](QEvent::Type t, QPoint p, Qt::MouseButton b, Qt::MouseButtons bs) {
        QMouseEvent ev(t, p, view.viewport()->mapToGlobal(p), b, bs, Qt::NoModifier);
        QCoreApplication::sendEvent(view.viewport(), &ev);
    };
    mouse(QEvent::MouseButtonPress, {100, 200}, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, {90, 150}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(view.VPos(), 50);
    EXPECT_EQ(view.HPos(), 10);
    mouse(QEvent::MouseButtonRelease, {90, 150}, Qt::LeftButton, Qt::NoButton);
    mouse(QEvent::MouseButtonPress, {90, 150}, Qt::RightButton, Qt::RightButton);
    mouse(QEvent::MouseMove, {90, 50}, Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(view.VPos(), 50);
}

TEST_F(PreviewControl, DialogShowsPageOneAtFullSize)
{
    TARPreviewDialog dlg;
    dlg.SetPrinter(&store);
    store.SetCurrentPage(3);
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "Preview");
    EXPECT_EQ(dlg.StatusPanel1->text(), "Page 1 of 3");
    EXPECT_EQ(dlg.ZoomEdit->Value(), 100);
    EXPECT_EQ(dlg.PrintBtn->toolTip(), "Print");
    EXPECT_EQ(dlg.ZoomEdit->toolTip(), "Zoom %");
    dlg.NextPageBtn->click();
    EXPECT_EQ(dlg.StatusPanel1->text(), "Page 2 of 3");
    dlg.LastPageBtn->click();
    EXPECT_EQ(dlg.StatusPanel1->text(), "Page 3 of 3");
    // The zoom box steps by 10 within 10..500, and follows the view.
    dlg.ZoomEdit->UpDown->stepUp();
    EXPECT_EQ(dlg.Preview->Zoom(), 110);
    dlg.ZoomEdit->SetValue(5);
    EXPECT_EQ(dlg.Preview->Zoom(), 10);
    dlg.ZoomTo100Btn->click();
    EXPECT_EQ(dlg.ZoomEdit->Value(), 100);
    dlg.ShowNPABtn->click();
    EXPECT_TRUE(dlg.Preview->ShowNonPrintingArea());
    // Esc closes the dialog.
    key(dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
}

TEST(ProgressDialog, EscPressesAbortAndTheWindowStays)
{
    TPrintProgressDlg dlg(nullptr, QStringLiteral("Report"));
    EXPECT_EQ(dlg.windowTitle(), "Report");
    EXPECT_EQ(dlg.AbortBtn->text(), "Abort");
    EXPECT_EQ(dlg.size(), QSize(262, 105));
    EXPECT_FALSE(dlg.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dlg.Aborted);
    dlg.show();
    key(dlg, Qt::Key_Escape);
    EXPECT_TRUE(dlg.Aborted);
    EXPECT_TRUE(dlg.isVisible());
    dlg.AbortBtn->click();
    EXPECT_TRUE(dlg.Aborted);
    EXPECT_TRUE(dlg.isVisible());
    dlg.close();
    EXPECT_FALSE(dlg.isVisible());
}

} // namespace
