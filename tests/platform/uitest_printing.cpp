// The Qt printer behind the printing interface: paper codes and custom
// sizes, orientation, metrics; no printer needs to be installed.
#include <gtest/gtest.h>

#include <QPageSize>

#include <QPainter>
#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include "platform/Printing.h"

TEST(QtPrinting, PaperCodesAndCustomSizesRoundTrip)
{
    fc::IPrinterService& p = fc::Printers();
    p.SetPaper({9, 0, 0});
    EXPECT_EQ(p.Paper(), (fc::PrinterPaper{9, 2100, 2970}));
    p.SetPaper({8, 0, 0});
    EXPECT_EQ(p.Paper().code, 8);
    // A size without a code of its own goes as a custom size.
    p.SetPaper({fc::PrinterPaper::CustomCode, 1000, 2000});
    const fc::PrinterPaper c = p.Paper();
    EXPECT_EQ(c.code, fc::PrinterPaper::CustomCode);
    EXPECT_EQ(c.widthTenthsMM, 1000);
    EXPECT_EQ(c.lengthTenthsMM, 2000);
    p.SetPaper({9, 0, 0});
}

TEST(QtPrinting, OrientationCopiesTitleAndMetrics)
{
    fc::IPrinterService& p = fc::Printers();
    p.SetOrientation(fc::PrintOrientation::Landscape);
    EXPECT_EQ(p.Orientation(), fc::PrintOrientation::Landscape);
    p.SetOrientation(fc::PrintOrientation::Portrait);
    EXPECT_EQ(p.Orientation(), fc::PrintOrientation::Portrait);
    p.SetCopies(3);
    EXPECT_EQ(p.Copies(), 3);
    p.SetCopies(1);
    p.SetTitle(QStringLiteral("Preview"));
    EXPECT_EQ(p.Title(), "Preview");
    const fc::PrinterMetrics m = p.Metrics();
    EXPECT_GT(m.resolutionX, 0);
    // A4 portrait: about 8.27 by 11.69 inches.
    EXPECT_NEAR(double(m.physicalWidth) / m.resolutionX, 8.27, 0.02);
    EXPECT_NEAR(double(m.physicalHeight) / m.resolutionY, 11.69, 0.02);
}

TEST(QtPrinting, CodeTable)
{
    int id = -1;
    EXPECT_TRUE(fc::PaperCodeToQt(1, id));
    EXPECT_EQ(id, int(QPageSize::Letter));
    EXPECT_FALSE(fc::PaperCodeToQt(32767, id));
    EXPECT_FALSE(fc::PaperCodeToQt(0, id));
    // 11x17 shares the Qt size of Tabloid, which reads back as its own code.
    EXPECT_EQ(fc::QtToPaperCode(int(QPageSize::Tabloid)), 3);
    EXPECT_EQ(fc::QtToPaperCode(int(QPageSize::Custom)), 0);
}

TEST(FakePrinting, RecordsJobsAndScriptedDialogs)
{
    fc::ScopedFakePrinter fake;
    EXPECT_EQ(&fc::Printers(), &fake);
    fc::PrintDialogSettings s;
    s.maxPage = 4;
    EXPECT_FALSE(fc::Printers().ExecPrintDialog(s));
    EXPECT_EQ(fake.lastPrintDialog.maxPage, 4);
    {
        auto job = fc::Printers().BeginJob(QStringLiteral("T"));
        job->Painter()->drawLine(0, 0, 10, 10);
        job->NewPage();
        job->End();
    }
    ASSERT_EQ(fake.jobs.size(), 1u);
    EXPECT_EQ(fake.jobs[0].pages.size(), 2u);
    EXPECT_TRUE(fake.jobs[0].ended);
    EXPECT_EQ(fake.jobs[0].title, "T");
}

// Without a printer the Qt print dialog offers a PDF file, already chosen,
// so that Print always has somewhere to go; with the option off it does not.
TEST(QtPrinting, PrintDialogOffersAFileWhenAsked)
{
    for (const bool toFile : {true, false}) {
        SCOPED_TRACE(toFile);
        fc::QtPrinterService qt;
        qt.SetTitle(QStringLiteral("Preview"));
        fc::PrintDialogSettings s;
        s.maxPage = 3;
        s.fromPage = 1;
        s.toPage = 3;
        s.printToFile = toFile;
        bool offered = !toFile;
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            offered = dlg->testOption(QAbstractPrintDialog::PrintToFile);
            dlg->reject();
        });
        EXPECT_FALSE(qt.ExecPrintDialog(s));
        EXPECT_EQ(offered, toFile);
        if (toFile) {
            EXPECT_EQ(qt.Printer().outputFormat(), QPrinter::PdfFormat);
            EXPECT_TRUE(qt.Printer().outputFileName().endsWith(QLatin1String("/Preview.pdf")));
            EXPECT_EQ(qt.Name(), qt.Printer().outputFileName());
        }
    }
}
