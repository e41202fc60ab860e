// The preview control and dialog, and the progress dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QStyle>
#include <QTemporaryDir>
#include <QToolBar>
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

// Ink runs along one row (or column) of the sheet: stretches of pixels
// clearly darker than the white paper.
std::vector<std::pair<int, int>> inkRuns(const QImage& img, QPoint from, QPoint step, int count)
{
    std::vector<std::pair<int, int>> runs; // start, length
    int start = -1;
    for (int i = 0; i <= count; ++i) {
        const QPoint p = from + step * i;
        const bool ink = i < count && qGray(img.pixel(p)) < 245;
        if (ink && start < 0)
            start = i;
        if (!ink && start >= 0) {
            runs.emplace_back(start, i - start);
            start = -1;
        }
    }
    return runs;
}

// Frame lines one pixel thin, drawn as the report's cell frames are, at
// offsets that fall on every fraction of a zoomed pixel.
TEST(PreviewFrameLines, EveryThinLineStaysVisibleOnceAtEveryZoom)
{
    TARPrinter store;
    store.BeginDoc();
    TCanvas& c = *store.Canvas();
    c.BrushColor = clBlack;
    const int kLines = 20;
    for (int i = 0; i < kLines; ++i) {
        const int at = 100 + 27 * i;
        c.FillRect(Rect(at, 100, at + 1, 700));  // vertical
        c.FillRect(Rect(100, at, 700, at + 1));  // horizontal
    }
    store.EndDoc();

    TARPreview view;
    view.SetPrinter(&store);
    view.show();
    struct Case {
        QSize window;
        int zoom; // 0: fit the page
    } cases[] = {{{420, 320}, 0}, {{640, 700}, 0}, {{900, 1200}, 0}, {{500, 500}, 25},
                 {{500, 500}, 33}, {{500, 500}, 47}, {{500, 500}, 50}, {{500, 500}, 67},
                 {{500, 500}, 75}, {{500, 500}, 90}, {{500, 500}, 100}, {{500, 500}, 125},
                 {{500, 500}, 150}, {{500, 500}, 230}};
    for (const Case& k : cases) {
        view.resize(k.window);
        QApplication::processEvents();
        if (k.zoom)
            view.SetZoom(k.zoom);
        else
            view.ZoomToFit();
        const int z = view.Zoom();
        // Bring the lines' middle into the window.
        view.ScrollHorzTo(400 * z / 100 - view.viewport()->width() / 2);
        view.ScrollVertTo(400 * z / 100 - view.viewport()->height() / 2);
        const QImage img = view.Render();
        const QPoint o = view.PageOrigin();
        const int first = 100 * z / 100 - 2, span = 27 * kLines * z / 100 + 4;
        // Halfway between two lines of the other direction.
        const int across = int((100 + 27 * 11 + 13.5) * z / 100.0);
        for (int vertical = 0; vertical < 2; ++vertical) {
            const QPoint from = vertical ? o + QPoint(first, across) : o + QPoint(across, first);
            const QPoint step = vertical ? QPoint(1, 0) : QPoint(0, 1);
            const QPoint last = from + step * (span - 1);
            if (!img.rect().contains(from) || !img.rect().contains(last))
                continue;
            const auto runs = inkRuns(img, from, step, span);
            EXPECT_EQ(int(runs.size()), kLines) << "zoom " << z << (vertical ? " vertical" : " horizontal");
            for (const auto& r : runs)
                EXPECT_LE(r.second, (z + 99) / 100 + 1) << "zoom " << z << " doubled line at " << r.first;
        }
    }
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

// An icon theme of two icons, each a plain square of its own colour.
class PrintIconTheme {
public:
    PrintIconTheme()
    {
        oldPaths_ = QIcon::themeSearchPaths();
        oldName_ = QIcon::themeName();
        const QString root = dir_.path() + QStringLiteral("/fctest");
        QDir().mkpath(root + QStringLiteral("/16x16/actions"));
        QFile index(root + QStringLiteral("/index.theme"));
        index.open(QIODevice::WriteOnly);
        index.write("[Icon Theme]\nName=fctest\nDirectories=16x16/actions\n\n"
                    "[16x16/actions]\nSize=16\nType=Fixed\n");
        index.close();
        for (const auto& [name, colour] : {std::pair{"document-print", Qt::red}, {"document-page-setup", Qt::blue}}) {
            QImage img(16, 16, QImage::Format_RGB32);
            img.fill(colour);
            img.save(root + QStringLiteral("/16x16/actions/") + QLatin1String(name) + QStringLiteral(".png"));
        }
        QIcon::setThemeSearchPaths({dir_.path()});
        QIcon::setThemeName(QStringLiteral("fctest"));
    }
    ~PrintIconTheme()
    {
        QIcon::setThemeSearchPaths(oldPaths_);
        QIcon::setThemeName(oldName_);
    }

private:
    QTemporaryDir dir_;
    QStringList oldPaths_;
    QString oldName_;
};

QImage iconImage(const QIcon& icon) { return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32); }

TEST(PreviewDialogTools, PrintAndPrinterSetupShowThePrintIcons)
{
    {
        // The desktop theme's icons when it has them.
        PrintIconTheme theme;
        TARPreviewDialog dlg;
        EXPECT_EQ(iconImage(dlg.PrintBtn->icon()).pixelColor(8, 8), QColor(Qt::red));
        EXPECT_EQ(iconImage(dlg.PrinterSetupBtn->icon()).pixelColor(8, 8), QColor(Qt::blue));
    }
    // Without a theme: still print icons, never the save or list glyphs.
    QIcon::setThemeName(QString());
    TARPreviewDialog dlg;
    for (QToolButton* b : {dlg.PrintBtn, dlg.PrinterSetupBtn}) {
        const QImage img = iconImage(b->icon());
        EXPECT_FALSE(b->icon().isNull()) << b->objectName().toStdString();
        for (QStyle::StandardPixmap wrong :
             {QStyle::SP_DialogSaveButton, QStyle::SP_FileDialogDetailedView, QStyle::SP_FileDialogListView})
            EXPECT_NE(img, iconImage(dlg.style()->standardIcon(wrong))) << b->objectName().toStdString();
    }
    EXPECT_NE(iconImage(dlg.PrintBtn->icon()), iconImage(dlg.PrinterSetupBtn->icon()));
}

TEST(PreviewDialogTools, CloseButtonLiesBesideTheTools)
{
    TARPreviewDialog dlg;
    dlg.show();
    QApplication::processEvents();
    ASSERT_TRUE(dlg.CloseButton->isVisible());
    EXPECT_EQ(dlg.CloseButton->size(), QSize(15, 15));
    const QRect close(dlg.CloseButton->mapTo(&dlg, QPoint(0, 0)), dlg.CloseButton->size());
    EXPECT_TRUE(dlg.rect().contains(close));
    for (QToolButton* b : dlg.ToolBar->findChildren<QToolButton*>()) {
        if (!b->isVisible())
            continue;
        const QRect r(b->mapTo(&dlg, QPoint(0, 0)), b->size());
        EXPECT_FALSE(close.intersects(r)) << b->objectName().toStdString();
    }
    // Still the one that Esc presses.
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
