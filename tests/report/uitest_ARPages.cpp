// Page building on the page store: breaks, groups, headers and footers,
// page numbers, columns, aborting; the page store's pages replayed and
// printed through the fake printer.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QPageSize>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include "ARPreviewForm.h"
#include "ARPrintProgress.h"
#include "ARPrinter.h"
#include "ARUserRep.h"
#include "ReportTestUtil.h"
#include "ViewTestUtil.h"
#include "platform/Printing.h"

using namespace viewtest;

namespace {

// An A4 page without printer: 794 by 1123 screen pixels.
class Pages : public ::testing::Test {
protected:
    void load(const std::vector<BandSpec>& bands)
    {
        const QString path = dir.path() + "/t.AR";
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(TemplateBytes(bands));
        f.close();
        rep.LoadTemplate(path);
        rep.ClearVars();
        rep.Clear();
        rep.ShowPrintProgress = false;
    }
    void standard(bool lastFooter = false)
    {
        std::vector<BandSpec> b = {
            {"Header", 30, {{"H[Page]"}}},
            {"Footer", 20, {{"F[Page]"}}},
            {"Row", 100, {{"R[N]", 100, 0x0000FF}}},
            {"Big", 1003, {{"Big"}}},
            {"Huge", 2000, {{"Huge"}}},
        };
        if (lastFooter)
            b.push_back({"LastFooter", 40, {{"L[Page]"}}});
        load(b);
    }
    void rows(int from, int to)
    {
        for (int i = from; i <= to; ++i) {
            rep.SetVar(QStringLiteral("N"), QString::number(i));
            rep.AddBands(QStringLiteral("Row"));
        }
    }
    static QStringList range(const QString& prefix, int from, int to)
    {
        QStringList l;
        for (int i = from; i <= to; ++i)
            l << prefix + QString::number(i);
        return l;
    }
    std::vector<QStringList> texts() const
    {
        std::vector<QStringList> v;
        for (int p = 1; p <= rep.Printer()->PageCount(); ++p)
            v.push_back(StringsOf(*rep.Printer()->Page(p)));
        return v;
    }
    ScopedFixedPitch measure;
    QTemporaryDir dir;
    TARUserRep rep;
};

TEST_F(Pages, GeometryWithoutPrinterFollowsThePaper)
{
    standard();
    TARPrinter& pr = *rep.Printer();
    pr.UpdatePrinterInfo();
    EXPECT_EQ(pr.PageWidth(), 794);
    EXPECT_EQ(pr.PageHeight(), 1123);
    EXPECT_EQ(pr.LeftMargin(), 0);
    EXPECT_EQ(pr.PrintableRight(), 794);
}

TEST_F(Pages, EmptyDocumentGivesOneEmptyPage)
{
    standard();
    EXPECT_TRUE(rep.BuildPages(QStringLiteral("x")));
    EXPECT_EQ(rep.Printer()->PageCount(), 1);
    EXPECT_EQ(rep.Printer()->FromPage(), 1);
    EXPECT_EQ(rep.Printer()->ToPage(), 1);
}

TEST_F(Pages, HeadersAndFootersAtEveryBreak)
{
    standard();
    rows(1, 25);
    ASSERT_TRUE(rep.BuildPages(QStringLiteral("x")));
    const auto t = texts();
    ASSERT_EQ(t.size(), 3u);
    // The first page carries no header; the body ends at 1123 - 20.
    EXPECT_EQ(t[0], range("R", 1, 11) << "F1");
    EXPECT_EQ(t[1], QStringList{"H2"} + range("R", 12, 21) << "F2");
    EXPECT_EQ(t[2], QStringList{"H3"} + range("R", 22, 25) << "F3");
    EXPECT_EQ(rep.GetVar(QStringLiteral("Page")), "3");
    EXPECT_EQ(rep.Printer()->ToPage(), 3);
}

TEST_F(Pages, BandEndingOnTheBodyBottomGoesToTheNextPage)
{
    standard();
    rep.AddBands(QStringLiteral("Big")); // 0..1003
    rows(1, 1);                          // would end at 1103
    ASSERT_TRUE(rep.BuildPages(QStringLiteral("x")));
    const auto t = texts();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0], (QStringList{"Big", "F1"}));
    EXPECT_EQ(t[1], (QStringList{"H2", "R1", "F2"}));
}

TEST_F(Pages, GroupMovesToANewPageAsAWhole)
{
    standard();
    rows(1, 12);
    rep.Rep()->GetBand(9)->BandState = arbsBeginPara;
    rep.Rep()->GetBand(11)->BandState = arbsEndPara;
    ASSERT_TRUE(rep.BuildPages(QStringLiteral("x")));
    const auto t = texts();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0], range("R", 1, 9) << "F1");
    EXPECT_EQ(t[1], QStringList{"H2"} + range("R", 10, 12) << "F2");
}

TEST_F(Pages, PageBreakAndRestartedNumbering)
{
    standard();
    rows(1, 2);
    rep.PageBreak();
    rows(3, 3);
    rep.PageBreak();
    rows(4, 4);
    rep.Rep()->GetBand(2)->BandState |= arbsResetPageNumber;
    ASSERT_TRUE(rep.BuildPages(QStringLiteral("x")));
    const auto t = texts();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0], (QStringList{"R1", "R2", "F1"}));
    // The restarted section has no header and counts from 1.
    EXPECT_EQ(t[1], (QStringList{"R3", "F1"}));
    EXPECT_EQ(t[2], (QStringList{"H2", "R4", "F2"}));
}

TEST_F(Pages, LastFooterOnTheLastPageOnly)
{
    standard(true);
    rows(1, 15);
    ASSERT_TRUE(rep.BuildPages(QStringLiteral("x")));
    const auto t = texts();
    ASSERT_EQ(t.size(), 2u);
    // The reserve is the larger sum (40): the body ends at 1083.
    EXPECT_EQ(t[0], range("R", 1, 10) << "F1");
    EXPECT_EQ(t[1], QStringList{"H2"} + range("R", 11, 15) << "L2");
}

TEST_F(Pages, BandTallerThanAPageIsCutOnce)
{
    standard();
    rep.AddBands(QStringLiteral("Huge"));
    rows(1, 1);
    ASSERT_TRUE(rep.BuildPages(QStringLiteral("x")));
    const auto t = texts();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0], (QStringList{"Huge", "F1"}));
    EXPECT_EQ(t[1], (QStringList{"H2", "R1", "F2"}));
}

TEST_F(Pages, SecondColumnRightOfTheWidestBand)
{
    standard();
    rep.Columns = 2;
    rows(1, 25);
    ASSERT_TRUE(rep.BuildPages(QStringLiteral("x")));
    ASSERT_EQ(rep.Printer()->PageCount(), 2);
    const auto page1 = TextsOf(*rep.Printer()->Page(1));
    QStringList strings;
    for (const DrawnText& d : page1) {
        strings << d.text;
        const bool second = d.text == "H1" || (d.text.startsWith('R') && d.text.mid(1).toInt() >= 12);
        if (d.text != "F1") {
            EXPECT_EQ(d.pos.x() >= 100, second) << d.text.toStdString();
        }
    }
    EXPECT_EQ(strings, range("R", 1, 11) << "H1" << range("R", 12, 21) << "F1");
    EXPECT_EQ(StringsOf(*rep.Printer()->Page(2)), QStringList{"H2"} + range("R", 22, 25) << "F2");
}

TEST_F(Pages, AbortStopsBuildingAndCancelsThePreview)
{
    standard();
    rows(1, 40);
    rep.ShowPrintProgress = true;
    int previews = 0;
    TARPrinter::SetPreviewRunner([&](TARPrinter&) { ++previews; });
    QString caption, label;
    QTimer::singleShot(0, &rep, [&] {
        TPrintProgressDlg* d = rep.ProgressDialog();
        ASSERT_NE(d, nullptr);
        caption = d->windowTitle();
        EXPECT_EQ(d->ProgressBar->maximum(), 40);
        EXPECT_EQ(d->ProgressBar->value(), 11); // one step per band laid out
        label = d->findChild<QLabel*>(QStringLiteral("PagesLabel"))->text();
        d->AbortBtn->click();
        d->AbortBtn->click(); // a second press changes nothing
    });
    rep.Preview();
    TARPrinter::SetPreviewRunner(nullptr);
    EXPECT_EQ(previews, 0);
    EXPECT_EQ(caption, "Preparing pages");
    EXPECT_EQ(label, "Pages: 2");
    EXPECT_EQ(rep.Printer()->PageCount(), 0);
    EXPECT_EQ(rep.ProgressDialog(), nullptr);
}

TEST_F(Pages, PreviewRunsAfterACompleteBuild)
{
    standard();
    rows(1, 3);
    int previews = 0, pages = 0;
    TARPrinter::SetPreviewRunner([&](TARPrinter& p) {
        ++previews;
        pages = p.PageCount();
    });
    rep.ShowPrintProgress = true;
    rep.Preview();
    TARPrinter::SetPreviewRunner(nullptr);
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(pages, 1);
}

TEST_F(Pages, PageReplaysIntoAnImage)
{
    standard();
    rows(1, 2);
    ASSERT_TRUE(rep.BuildPages(QStringLiteral("x")));
    const ar::Page* page = rep.Printer()->Page(1);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->BoundingRect(), QRect(0, 0, 794, 1123));
    QImage img(794, 1123, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    page->Play(p);
    p.end();
    // The red background of the row cells, their black frame, white beside.
    EXPECT_EQ(img.pixelColor(50, 60), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(50, 160), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(0, 60), QColor(0, 0, 0));
    EXPECT_EQ(img.pixelColor(300, 60), QColor(255, 255, 255));
}

TEST(PageStore, NeverBuilt)
{
    fc::ScopedFakePrinter fake;
    TARPrinter pr;
    EXPECT_EQ(pr.CurrentPage(), 0);
    pr.SetCurrentPage(5);
    EXPECT_EQ(pr.CurrentPage(), 0);
    EXPECT_EQ(pr.CurrentMetafile(), nullptr);
    pr.PrintPages();
    EXPECT_TRUE(fake.jobs.empty());
    pr.EndDoc();
    EXPECT_EQ(pr.FromPage(), 0);
    EXPECT_EQ(pr.ToPage(), 0);
}

TEST(PageStore, PageSizeFromPrinterResolution)
{
    fc::ScopedFakePrinter fake;
    fake.metrics = {600, 600, 60, 120, 600, 1200};
    TARPrinter pr;
    EXPECT_TRUE(pr.UpdatePrinterInfo());
    EXPECT_EQ(pr.PageWidth(), 96);
    EXPECT_EQ(pr.PageHeight(), 192);
    EXPECT_EQ(pr.LeftMargin(), 10);
    EXPECT_EQ(pr.TopMargin(), 19);
    EXPECT_EQ(pr.PrintableRight(), 86);
    EXPECT_FALSE(pr.UpdatePrinterInfo());
}

TEST(PageStore, PaperCodesToThePrinter)
{
    fc::ScopedFakePrinter fake;
    TARPrinter pr;
    TARPageSize a0;
    a0.SetName(QStringLiteral("A0"));
    pr.SetPageSize(a0);
    ASSERT_FALSE(fake.paperWrites.empty());
    EXPECT_EQ(fake.paperWrites.back(), (fc::PrinterPaper{32767, 8410, 11890}));
    TARPageSize a3;
    a3.SetName(QStringLiteral("A3"));
    pr.SetPageSize(a3);
    EXPECT_EQ(fake.paperWrites.back().code, 8);
    // Read back: a code outside the table is a custom size.
    fake.paper = {32767, 1000, 2000};
    pr.ReadPageSizeFromPrinter();
    EXPECT_EQ(pr.PageSize().PaperSize(), 0);
    EXPECT_EQ(pr.PageSize().Width(), 1000);
    EXPECT_EQ(pr.PageSize().Height(), 2000);
    fake.paper = {1, 2159, 2794};
    pr.ReadPageSizeFromPrinter();
    EXPECT_EQ(pr.PageSize().PaperSize(), 1);
    int id = 0;
    ASSERT_TRUE(fc::PaperCodeToQt(9, id));
    EXPECT_EQ(id, int(QPageSize::A4));
    EXPECT_EQ(fc::QtToPaperCode(int(QPageSize::Letter)), 1);
}

TEST_F(Pages, PrintsTheChosenRangeScaledToThePrinter)
{
    fc::ScopedFakePrinter fake; // 600 dpi, A4
    standard();
    rows(1, 25);
    rep.SetTitle(QStringLiteral("Preview"));
    ASSERT_TRUE(rep.BuildPages(QStringLiteral("x")));
    ASSERT_EQ(rep.Printer()->PageCount(), 3);
    const auto screen = TextsOf(*rep.Printer()->Page(2));
    // Cancelled: nothing printed.
    rep.Printer()->Print();
    EXPECT_EQ(fake.printDialogRuns, 1);
    EXPECT_EQ(fake.lastPrintDialog.minPage, 1);
    EXPECT_EQ(fake.lastPrintDialog.maxPage, 3);
    EXPECT_EQ(fake.lastPrintDialog.fromPage, 1);
    EXPECT_EQ(fake.lastPrintDialog.toPage, 3);
    EXPECT_TRUE(fake.jobs.empty());
    fake.printAnswer = true;
    fake.printFrom = 2;
    fake.printTo = 3;
    fake.printCopies = 2;
    rep.Printer()->Print();
    ASSERT_EQ(fake.jobs.size(), 1u);
    const auto& job = fake.jobs.front();
    EXPECT_EQ(job.title, "Preview");
    EXPECT_TRUE(job.ended);
    ASSERT_EQ(job.pages.size(), 2u);
    EXPECT_EQ(fake.copies, 2);
    const auto printed = TextsOf(*job.pages[0]);
    ASSERT_EQ(printed.size(), screen.size());
    for (size_t i = 0; i < printed.size(); ++i) {
        EXPECT_EQ(printed[i].text, screen[i].text);
        // Within a third of a screen pixel (glyph metrics differ by scale).
        EXPECT_NEAR(printed[i].pos.y(), screen[i].pos.y() * 6.25, 2.0);
        EXPECT_NEAR(printed[i].pos.x(), screen[i].pos.x() * 6.25, 2.0);
    }
}

TEST_F(Pages, PrinterSetupThatChangesMetricsRebuilds)
{
    fc::ScopedFakePrinter fake;
    standard();
    rows(1, 25);
    ASSERT_TRUE(rep.BuildPages(QStringLiteral("x")));
    ASSERT_EQ(rep.Printer()->PageCount(), 3);
    // A5 paper: 148 by 210 mm.
    fake.setupAnswer = true;
    fake.setupChangesPaper = true;
    fake.setupPaper = {11, 1480, 2100};
    fake.setupChangesMetrics = true;
    fake.setupMetrics = {600, 600, 0, 0, 3496, 4961};
    rep.Printer()->PrinterSetup();
    EXPECT_EQ(fake.setupDialogRuns, 1);
    EXPECT_EQ(rep.Rep()->PageSize().Name(), "A5");
    EXPECT_GT(rep.Printer()->PageCount(), 3);
    EXPECT_EQ(rep.Printer()->CurrentPage(), rep.Printer()->PageCount());
}

} // namespace

namespace {

TEST_F(Pages, RichTextBandContinuesOverPages)
{
    standard();
    rows(1, 1);
    TARBand* b = rep.AddBands(QStringLiteral("Row"));
    QString rtf = QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ");
    for (int i = 1; i <= 150; ++i)
        rtf += QStringLiteral("L%1\\par ").arg(i, 3, 10, QChar('0'));
    rtf += u'}';
    TARCell* c = b->GetCell(0);
    c->SetIsRTF(true);
    c->SetValue(rtf);
    c->SetWidth(300);
    rep.EnsureRTF();
    b->SetHeight(c->CalcHeight(rep.MeasureCanvas()));
    ASSERT_GT(b->Height(), 2 * 1123);
    rows(2, 2);
    ASSERT_TRUE(rep.BuildPages(QStringLiteral("x")));
    const auto t = texts();
    ASSERT_GE(t.size(), 3u);
    QStringList lines;
    for (size_t p = 0; p < t.size(); ++p) {
        const QString n = QString::number(p + 1);
        // Every page has its footer, every later page its header.
        EXPECT_EQ(t[p].last(), "F" + n) << p;
        if (p > 0) {
            EXPECT_EQ(t[p].first(), "H" + n) << p;
        }
        for (const QString& s : t[p])
            for (const QString& w : s.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
                if (w.startsWith('L'))
                    lines << w;
    }
    // No line is lost or drawn twice.
    QStringList expected;
    for (int i = 1; i <= 150; ++i)
        expected << QStringLiteral("L%1").arg(i, 3, 10, QChar('0'));
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(t.back().contains("R2"));
    EXPECT_EQ(t.front().first(), "R1");
}

} // namespace

namespace {

TEST_F(Pages, HeaderTallerThanReservedMovesABandOnlyOnce)
{
    load({
        {"Header", 30, {{"[HDR]"}}},
        {"Row", 100, {{"R[N]"}}},
        {"Tall", 700, {{"Tall"}}},
    });
    QStringList words;
    for (int i = 0; i < 40; ++i)
        words << QStringLiteral("wwwwwwwwwwwwwww");
    rep.SetVar(QStringLiteral("HDR"), words.join(u' '));
    rows(1, 1);
    rep.PageBreak();
    rep.AddBands(QStringLiteral("Tall"));
    ASSERT_TRUE(rep.BuildPages(QStringLiteral("x")));
    // Page 2 holds only the grown header; on page 3 the band is cut.
    ASSERT_EQ(rep.Printer()->PageCount(), 3);
    EXPECT_FALSE(StringsOf(*rep.Printer()->Page(2)).contains("Tall"));
    EXPECT_TRUE(StringsOf(*rep.Printer()->Page(3)).contains("Tall"));
}

TEST(PreviewPrinter, NonPrintingAreaIsShadedWithAPrinter)
{
    fc::ScopedFakePrinter fake;
    fake.metrics = {600, 600, 300, 300, 4960, 7016}; // half an inch unprintable
    TARPrinter store;
    store.BeginDoc();
    store.EndDoc();
    EXPECT_EQ(store.LeftMargin(), 48);
    TARPreview view;
    view.SetPrinter(&store);
    view.resize(900, 1300);
    view.show();
    view.SetCurrPage(1);
    view.SetShowNonPrintingArea(true);
    const QImage img = view.Render();
    const QPoint o = view.PageOrigin();
    EXPECT_EQ(img.pixelColor(o.x() + 20, o.y() + 20), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(img.pixelColor(o.x() + 100, o.y() + 100), QColor(255, 255, 255));
    view.SetShowNonPrintingArea(false);
    EXPECT_EQ(view.Render().pixelColor(o.x() + 20, o.y() + 20), QColor(255, 255, 255));
}

} // namespace
