// Printing the page store: the printed page has the size and place of the
// preview page on a device of any resolution, a real QPrinter writing PDF
// included.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <QPageSize>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <functional>

#include "ARPrinter.h"
#include "ARResStrings.h"
#include "ARUserRep.h"
#include "ReportTestUtil.h"
#include "ViewTestUtil.h"
#include "platform/Dialogs.h"
#include "platform/Printing.h"
#include "tests/support/TestSupport.h"

using namespace viewtest;

namespace {

// A report of rows 100 pixels high, each with a header and a footer band,
// laid out on A4; 25 rows give three pages.
class Printed : public ::testing::Test {
protected:
    void build(int rowCount)
    {
        const QString path = dir.path() + "/t.AR";
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(TemplateBytes({
            {"Header", 30, {{"H[Page]"}}},
            {"Footer", 20, {{"F[Page]"}}},
            {"Row", 100, {{"R[N]", 100, 0x0000FF}, {"X[N]", 200}}},
        }));
        f.close();
        rep.LoadTemplate(path);
        rep.ClearVars();
        rep.Clear();
        rep.ShowPrintProgress = false;
        for (int i = 1; i <= rowCount; ++i) {
            rep.SetVar(QStringLiteral("N"), QString::number(i));
            rep.AddBands(QStringLiteral("Row"));
        }
        ASSERT_TRUE(rep.BuildPages(QStringLiteral("x")));
    }
    QTemporaryDir dir;
    TARUserRep rep;
};

struct Word {
    int page;
    QString text;
    QRectF box; // points, origin at the top-left of the sheet
};

// The words of a PDF file with their boxes, as pdftotext sees them.
std::vector<Word> WordsOf(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression re(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    std::vector<Word> words;
    int page = 0;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        const double x0 = m.captured(1).toDouble(), y0 = m.captured(2).toDouble();
        words.push_back({page, m.captured(5), QRectF(QPointF(x0, y0), QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return words;
}

TEST_F(Printed, ThroughARealPrinterToPdfAsOnThePreview)
{
    const QString file = dir.path() + "/printed.pdf";
    ScopedPdfFilePrinter printer(file);
    build(25);
    TARPrinter& store = *rep.Printer();
    ASSERT_EQ(store.ResolutionX(), 1200);
    ASSERT_GT(store.LeftMargin(), 0);
    ASSERT_EQ(store.PageCount(), 3);
    store.PrintPages();
    const std::vector<Word> words = WordsOf(file);
    // Screen pixels of the page (origin at the printable corner) in points
    // of the sheet.
    const double pt = 72.0 / 96.0;
    int seen = 0;
    for (int p = 1; p <= store.PageCount(); ++p) {
        for (const DrawnText& d : TextsOf(*store.Page(p))) {
            auto w = std::find_if(words.begin(), words.end(),
                                  [&](const Word& w) { return w.page == p && w.text == d.text; });
            ASSERT_NE(w, words.end()) << d.text.toStdString() << " on page " << p;
            const double x = (store.LeftMargin() + d.pos.x()) * pt;
            const double baseline = (store.TopMargin() + d.pos.y()) * pt;
            EXPECT_NEAR(w->box.left(), x, 1.0) << d.text.toStdString();
            EXPECT_LT(w->box.top(), baseline) << d.text.toStdString();
            EXPECT_GT(w->box.bottom(), baseline) << d.text.toStdString();
            // Cells draw in a 10-point font or so: a box of that height.
            EXPECT_LT(w->box.height(), 16.0) << d.text.toStdString();
            ++seen;
        }
    }
    EXPECT_EQ(seen, int(words.size()));
    EXPECT_EQ(words.back().page, 3);
}

// Each text of a printed page where it is on the screen page, scaled by
// the printer's resolution, at any resolution the printer has.
TEST_F(Printed, FakePrinterPagesLandInPrinterPixelsAtAnyResolution)
{
    for (const int dpi : {96, 300, 600, 1200}) {
        SCOPED_TRACE(dpi);
        fc::ScopedFakePrinter fake;
        // A4 with 5 mm unprintable at the left and top.
        const int off = qRound(dpi * 5 / 25.4);
        fake.metrics = {dpi, dpi, off, off, qRound(dpi * 210 / 25.4), qRound(dpi * 297 / 25.4)};
        build(3);
        TARPrinter& store = *rep.Printer();
        ASSERT_EQ(store.PageCount(), 1);
        store.PrintPages();
        ASSERT_EQ(fake.jobs.size(), 1u);
        ASSERT_EQ(fake.jobs[0].pages.size(), 1u);
        const auto screen = TextsOf(*store.Page(1));
        const auto printed = TextsOf(*fake.jobs[0].pages[0]);
        ASSERT_EQ(printed.size(), screen.size());
        const double scale = dpi / 96.0;
        for (size_t i = 0; i < printed.size(); ++i) {
            EXPECT_EQ(printed[i].text, screen[i].text);
            // Within half a screen pixel (glyph metrics differ by scale).
            EXPECT_NEAR(printed[i].pos.x(), screen[i].pos.x() * scale, scale / 2 + 1);
            EXPECT_NEAR(printed[i].pos.y(), screen[i].pos.y() * scale, scale / 2 + 1);
        }
    }
}

// A command that arrives while pages are being built (a second click on
// Print, on Printer setup, or on Print in the preview dialog) is refused;
// the running build ends as if it had not come.
TEST_F(Printed, CommandsQueuedDuringPageBuildingAreRefused)
{
    struct Case {
        const char* name;
        std::function<void(TARUserRep&)> command;
    };
    const Case cases[] = {
        {"preview", [](TARUserRep& r) { r.Preview(); }},
        {"build", [](TARUserRep& r) { r.BuildPages(QStringLiteral("again")); }},
        {"printer setup", [](TARUserRep& r) { r.Printer()->PrinterSetup(); }},
        {"print", [](TARUserRep& r) { r.Printer()->Print(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fc::ScopedFakePrinter fake;
        // Both dialogs would change the metrics and so rebuild the pages.
        fake.setupAnswer = fake.printAnswer = true;
        fake.setupChangesMetrics = true;
        fake.setupMetrics = {600, 600, 0, 0, 3496, 4961};
        build(1);
        for (int i = 2; i <= 270; ++i) {
            rep.SetVar(QStringLiteral("N"), QString::number(i));
            rep.AddBands(QStringLiteral("Row"));
        }
        rep.ShowPrintProgress = true;
        int previews = 0, pages = 0;
        TARPrinter::SetPreviewRunner([&](TARPrinter& p) {
            ++previews;
            pages = p.PageCount();
        });
        QTimer::singleShot(0, &rep, [&] { c.command(rep); });
        rep.Preview();
        TARPrinter::SetPreviewRunner(nullptr);
        EXPECT_EQ(previews, 1);
        EXPECT_EQ(pages, 27);
        EXPECT_EQ(rep.Printer()->PageCount(), 27);
        EXPECT_EQ(fake.setupDialogRuns + fake.printDialogRuns, 0);
        EXPECT_TRUE(fake.jobs.empty());
        EXPECT_EQ(rep.ProgressDialog(), nullptr);
    }
}

// What would change or rebuild the report, arriving from the event loop
// while its pages are built (a refill by the calculation run, a second
// window, a timer), is refused: a refill with the report engine's message,
// a rebuild, print or export as a second click is. The build ends whole.
TEST_F(Printed, NothingChangesTheReportWhilePagesAreBuilt)
{
    struct Case {
        const char* name;
        std::function<void(TARUserRep&)> command;
        bool told; // refused with EReportInUse
    };
    const QString templateFile = dir.path() + "/t.AR";
    const Case cases[] = {
        {"refill", [](TARUserRep& r) { r.Clear(); }, true},
        {"variables", [](TARUserRep& r) { r.ClearVars(); }, true},
        {"a variable", [](TARUserRep& r) { r.SetVar(QStringLiteral("N"), QStringLiteral("x")); }, true},
        {"bands", [](TARUserRep& r) { r.AddBands(QStringLiteral("Row")); }, true},
        {"template", [&](TARUserRep& r) { r.LoadTemplate(templateFile); }, true},
        {"rebuild", [](TARUserRep& r) { r.PrinterChange(); }, false},
        {"print", [](TARUserRep& r) { r.Printer()->Print(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fc::ScopedFakePrinter fake;
        fake.printAnswer = true;
        build(1);
        for (int i = 2; i <= 270; ++i) {
            rep.SetVar(QStringLiteral("N"), QString::number(i));
            rep.AddBands(QStringLiteral("Row"));
        }
        const int bands = rep.Rep()->BandCount();
        rep.ShowPrintProgress = true;
        QString message;
        bool ran = false;
        QTimer::singleShot(0, &rep, [&] {
            ran = true;
            message = fc::test::MessageOf([&] { c.command(rep); });
        });
        ASSERT_TRUE(rep.BuildPages(QStringLiteral("x")));
        EXPECT_TRUE(ran);
        if (c.told)
            EXPECT_EQ(message, ar::ResStr(ar::sReportInUse));
        else
            EXPECT_EQ(message, QStringLiteral("<no exception>"));
        EXPECT_EQ(rep.Rep()->BandCount(), bands);
        EXPECT_EQ(rep.Printer()->PageCount(), 27);
        EXPECT_TRUE(fake.jobs.empty());
        EXPECT_FALSE(rep.InUse());
        // Once the build has ended the same commands go through.
        rep.SetVar(QStringLiteral("N"), QStringLiteral("after"));
        rep.AddBands(QStringLiteral("Row"));
        EXPECT_EQ(rep.Rep()->BandCount(), bands + 1);
    }
}

// Without a printer the print dialog offers a PDF file; with one it keeps
// to the printers. The pages then go to the file on the report's paper.
TEST_F(Printed, WithoutAPrinterThePrintDialogOffersAFile)
{
    ScopedScriptedDialogs dialogs;
    {
        fc::ScopedFakePrinter fake;
        fake.printAnswer = true;
        build(3);
        rep.Printer()->Print();
        EXPECT_FALSE(fake.lastPrintDialog.printToFile);
        EXPECT_EQ(fake.jobs.size(), 1u);
    }
    fc::ScopedFakePrinter fake;
    fake.installed = false;
    fake.printAnswer = true;
    fake.printToFileAnswer = dir.path() + "/out.pdf";
    fake.paper = {1, 2159, 2794}; // what the printer object had
    fake.orientation = fc::PrintOrientation::Landscape;
    build(25);
    rep.Printer()->Print();
    EXPECT_TRUE(fake.lastPrintDialog.printToFile);
    ASSERT_EQ(fake.jobs.size(), 1u);
    EXPECT_TRUE(fake.jobs[0].ended);
    EXPECT_EQ(fake.jobs[0].pages.size(), 3u);
    EXPECT_EQ(fake.paper.code, 9);
    EXPECT_EQ(fake.orientation, fc::PrintOrientation::Portrait);
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('\n').toStdString();
}

// The same through Qt: a printer object that is no installed printer
// writes the pages full size on the report's paper.
TEST_F(Printed, WithoutAPrinterAPdfFileHoldsThePreviewPages)
{
    const QString file = dir.path() + "/nopr.pdf";
    ScopedPdfFilePrinter printer(file, false);
    printer.Printer().setPageSize(QPageSize(QPageSize::Letter));
    build(25);
    TARPrinter& store = *rep.Printer();
    ASSERT_EQ(store.PageCount(), 3);
    store.PrintPages();
    const std::vector<Word> words = WordsOf(file);
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.back().page, 3);
    for (const DrawnText& d : TextsOf(*store.Page(2))) {
        auto w = std::find_if(words.begin(), words.end(), [&](const Word& w) { return w.page == 2 && w.text == d.text; });
        ASSERT_NE(w, words.end()) << d.text.toStdString();
        EXPECT_NEAR(w->box.left(), d.pos.x() * 0.75, 1.0) << d.text.toStdString();
        EXPECT_LT(w->box.top(), d.pos.y() * 0.75);
        EXPECT_GT(w->box.bottom(), d.pos.y() * 0.75);
    }
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {file});
    info.waitForFinished(60000);
    const QString pages = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(pages.contains(QRegularExpression(QStringLiteral("Page size: +595(\\.\\d+)? x 84[12](\\.\\d+)? pts"))))
        << pages.toStdString();
}

// A job that cannot start or fails on the way is told, with the printer's
// name and the page reached; the job is abandoned.
TEST_F(Printed, FailedJobsAreTold)
{
    struct Case {
        const char* name;
        std::function<void(fc::FakePrinterService&)> script;
        QString message;
        bool aborted;
    };
    const Case cases[] = {
        {"no start", [](auto& f) { f.failStart = true; }, "The print job on Office laser could not start.", false},
        {"page 3", [](auto& f) { f.failOnPage = 3; }, "Printing on Office laser failed at page 3 of 3.", true},
        {"end", [](auto& f) { f.failEnd = true; }, "Printing on Office laser failed at page 3 of 3.", true},
        {"end, with the device's reason",
         [](auto& f) {
             f.failEnd = true;
             f.failReason = QStringLiteral("No space left on device");
         },
         "Printing on Office laser failed at page 3 of 3.\nNo space left on device", true},
        {"no start, with the device's reason",
         [](auto& f) {
             f.failStart = true;
             f.failReason = QStringLiteral("Permission denied");
         },
         "The print job on Office laser could not start.\nPermission denied", false},
        {"no printer, no file",
         [](auto& f) {
             f.installed = false;
             f.printToFileAnswer.clear();
         },
         "No printer is installed.", false},
        {"file not written",
         [](auto& f) {
             f.installed = false;
             f.failStart = true;
         },
         "The print job on /nowhere/out.pdf could not start.", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedScriptedDialogs dialogs;
        fc::ScopedFakePrinter fake;
        fake.printAnswer = true;
        fake.printToFileAnswer = QStringLiteral("/nowhere/out.pdf");
        c.script(fake);
        build(25);
        rep.Printer()->Print();
        ASSERT_EQ(dialogs.messages(), QStringList{c.message});
        EXPECT_EQ(dialogs.log()[0].message.Type, TMsgDlgType::mtError);
        if (c.aborted) {
            ASSERT_EQ(fake.jobs.size(), 1u);
            EXPECT_TRUE(fake.jobs[0].aborted);
            EXPECT_FALSE(fake.jobs[0].ended);
        }
    }
}

// A print to a PDF file through the real printer whose write fails (the
// disk full part-way) or cannot start (no such folder) is told with the
// file and the system's reason, and leaves the file as it was.
TEST_F(Printed, AFailedPrintToAFileIsToldWithTheReason)
{
    const QString file = dir.path() + "/printed.pdf";
    const QByteArray before = "the report printed yesterday";
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    {
        ScopedPdfFilePrinter printer(file);
        build(25);
        ScopedScriptedDialogs dialogs;
        {
            fc::test::ScopedFileSizeLimit full(8192);
            rep.Printer()->PrintPages();
        }
        EXPECT_EQ(dialogs.messages(),
                  QStringList{QStringLiteral("Printing on %1 failed at page 3 of 3.\n%2").arg(file, fc::test::fileTooLargeText())});
        EXPECT_EQ(fc::test::readFile(file), before);
        EXPECT_EQ(QDir(dir.path()).entryList({"*.pdf*"}, QDir::Files | QDir::Hidden), QStringList{"printed.pdf"});
        // With room again the same printer writes the file whole.
        dialogs.clear();
        rep.Printer()->PrintPages();
        EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
        EXPECT_TRUE(fc::test::readFile(file).startsWith("%PDF"));
        EXPECT_EQ(WordsOf(file).back().page, 3);
    }
    const QString nowhere = dir.path() + "/missing/out.pdf";
    ScopedPdfFilePrinter printer(nowhere);
    ScopedScriptedDialogs dialogs;
    rep.Printer()->PrintPages();
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("The print job on %1 could not start.\n%2: \"%3\"")
                                                  .arg(nowhere, QString::fromLocal8Bit(std::strerror(ENOENT)),
                                                       dir.path() + "/missing")});
}

// A print dialog that changes the printer's metrics rebuilds the pages;
// the range chosen in it still holds.
TEST_F(Printed, ChosenRangeHoldsWhenTheDialogChangesTheMetrics)
{
    fc::ScopedFakePrinter fake;
    build(25);
    ASSERT_EQ(rep.Printer()->PageCount(), 3);
    fake.printAnswer = true;
    fake.printFrom = fake.printTo = 2;
    fake.setupChangesMetrics = true;
    fake.setupMetrics = {600, 600, 0, 0, 3496, 4961}; // A5
    rep.Printer()->Print();
    ASSERT_GT(rep.Printer()->PageCount(), 3);
    ASSERT_EQ(fake.jobs.size(), 1u);
    ASSERT_EQ(fake.jobs[0].pages.size(), 1u);
    EXPECT_EQ(StringsOf(*fake.jobs[0].pages[0]), StringsOf(*rep.Printer()->Page(2)));
    EXPECT_EQ(rep.Printer()->FromPage(), 2);
    EXPECT_EQ(rep.Printer()->ToPage(), 2);
}

// Papers the printer offers under codes without a row of the page-size
// table are taken by their size: a table paper by its name, any other as a
// custom size; the report and the printer keep it after the rebuild.
TEST_F(Printed, PrinterSetupKeepsPapersOfEveryCode)
{
    struct Case {
        fc::PrinterPaper chosen;
        const char* name;
        int width, height;
    };
    const Case cases[] = {
        {{70, 1050, 1480}, "A6", 1050, 1480},
        {{72, 2160, 2770}, "------", 2160, 2770},
        {{fc::PrinterPaper::CustomCode, 740, 1050}, "A7", 740, 1050},
        {{11, 1480, 2100}, "A5", 1480, 2100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fc::ScopedFakePrinter fake;
        build(25);
        fake.setupAnswer = true;
        fake.setupChangesPaper = true;
        fake.setupPaper = c.chosen;
        fake.setupChangesMetrics = true;
        fake.setupMetrics = {600, 600, 0, 0, qRound(c.width * 60 / 25.4), qRound(c.height * 60 / 25.4)};
        rep.Printer()->PrinterSetup();
        EXPECT_EQ(rep.Rep()->PageSize().Name(), c.name);
        EXPECT_EQ(rep.Rep()->PageSize().Width(), c.width);
        EXPECT_EQ(rep.Rep()->PageSize().Height(), c.height);
        // The rebuild hands the report's paper back to the printer.
        EXPECT_EQ(fake.paper.widthTenthsMM, c.width);
        EXPECT_EQ(fake.paper.lengthTenthsMM, c.height);
    }
}

// A title given to the page store waits for the printer's next use: whether
// a printer is installed is a question to the printing system, which the
// preview window's creation at start-up need not wait for.
TEST(PrinterTitle, GivingATitleAsksThePrintingSystemNothing)
{
    fc::ScopedFakePrinter fake;
    TARPrinter pr;
    pr.SetTitle(QStringLiteral("Preview"));
    pr.SetTitle(QStringLiteral("Report"));
    EXPECT_EQ(fake.installedQueries, 0);
}

// The printer is one for the whole program: with one installed, the last
// title any page store gave is its title at its next use, whichever store
// uses it; without one, each store keeps its own and the printer its own.
TEST(PrinterTitle, ReachesAnInstalledPrinterBeforeItsNextUse)
{
    for (const bool installed : {true, false}) {
        SCOPED_TRACE(installed ? "printer" : "no printer");
        fc::ScopedFakePrinter fake;
        fake.installed = installed;
        fake.title = QStringLiteral("Earlier");
        TARPrinter a, b;
        a.SetTitle(QStringLiteral("A"));
        b.SetTitle(QStringLiteral("B"));
        EXPECT_EQ(a.GetTitle(), installed ? "B" : "A");
        EXPECT_EQ(b.GetTitle(), "B");
        EXPECT_EQ(fake.title, installed ? "B" : "Earlier");
        // Any other use of the printer hands the title over first.
        a.SetTitle(QStringLiteral("Copies"));
        a.SetCopies(2);
        EXPECT_EQ(fake.title, installed ? "Copies" : "Earlier");
        EXPECT_EQ(fake.copies, installed ? 2 : 1);
    }
}

// A title given while one printer service is in place is that service's,
// not the next one's.
TEST(PrinterTitle, StaysWithThePrinterItWasGivenTo)
{
    fc::FakePrinterService first, second;
    fc::SetPrinters(&first);
    TARPrinter pr;
    pr.SetTitle(QStringLiteral("One"));
    fc::SetPrinters(&second);
    EXPECT_EQ(first.title, "One");
    EXPECT_EQ(second.title, "");
    EXPECT_EQ(pr.GetTitle(), "");
    fc::SetPrinters(nullptr);
}

} // namespace
