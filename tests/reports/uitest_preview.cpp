// The preview window: its buttons, the PDF file name and overwrite
// question, and a filled report written as a PDF file.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <functional>
#include <QTimer>

#include "ReportsFixture.h"
#include "pdf/PdfImages.h"
#include "platform/Office.h"
#include "platform/Printing.h"
#include "platform/ProgramFolder.h"
#include "report/ARPrintProgress.h"
#include "report/ARPrinter.h"
#include "report/ARResStrings.h"
#include "tests/support/OfficeFixture.h"
#include "report/ARVFS.h"

using namespace rtest;

namespace {

using Preview = ReportsTest;

// Every cell's text of a filled report, band by band.
QStringList cellTexts(const TARRep& r)
{
    QStringList out;
    for (int i = 0; i < r.BandCount(); ++i)
        for (int j = 0; j < r.GetBand(i)->CellCount(); ++j)
            out << r.GetBand(i)->GetCell(j)->Value();
    return out;
}

QString run(const QString& program, const QStringList& args, int* code = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    if (code)
        *code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

// The templates read ahead, one an event-loop turn with the chosen kind's
// first, are the ones the reports then use: the same report, no second
// parse, and nothing shown or filled meanwhile.
TEST_F(Preview, TemplatesPreparedAheadAreTheOnesTheReportsUse)
{
    models(3);
    TFormPrew plain;
    ASSERT_TRUE(reportUnaVelocita(in, plain));
    const QStringList expected = cellTexts(*plain.UserRep->Rep());
    ASSERT_FALSE(expected.isEmpty());

    preparaReport(form, 1);
    EXPECT_EQ(form.UserRep->TemplateCacheCount(), 1) << "nothing before the event loop turns";
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    ASSERT_EQ(form.UserRep->TemplateCacheCount(), 4);
    EXPECT_TRUE(form.UserRep->TemplateCacheName(1).endsWith("Rep1Vel.AR"));
    EXPECT_TRUE(form.UserRep->TemplateCacheName(2).endsWith("RepPann.AR"));
    EXPECT_TRUE(form.UserRep->TemplateCacheName(3).endsWith("Rep9Col.AR"));
    EXPECT_EQ(form.UserRep->Rep()->BandCount(), 0);
    EXPECT_FALSE(form.isVisible());

    ASSERT_TRUE(reportUnaVelocita(in, form));
    const TARBand* prepared = form.UserRep->Template()->GetBand(0);
    EXPECT_EQ(form.UserRep->TemplateCacheCount(), 4);
    EXPECT_EQ(cellTexts(*form.UserRep->Rep()), expected);
    preparaReport(form, 1);
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    ASSERT_TRUE(reportUnaVelocita(in, form));
    EXPECT_EQ(form.UserRep->Template()->GetBand(0), prepared) << "the same bytes: not parsed again";
    EXPECT_EQ(cellTexts(*form.UserRep->Rep()), expected);
}

TEST_F(Preview, LayoutAndExcelButtonFollowsTheAccessFlagAtEveryShow)
{
    EXPECT_EQ(form.windowTitle(), "Preview");
    EXPECT_EQ(form.size(), QSize(837, 590));
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form.Button3->text(), "Print");
    EXPECT_EQ(form.ConvToRTF->text(), "--> PDF");
    EXPECT_EQ(form.Button1->text(), "--> Excel");
    EXPECT_EQ(form.Button4->text(), "Quit");
    EXPECT_EQ(form.ConvToRTF->x(), 392);
    EXPECT_EQ(form.UserRep->y(), 32);
    EXPECT_EQ(form.UserRep->Title(), "Preview");
    EXPECT_EQ(form.UserRep->Template()->BandCount(), 4); // the default report until a build

    form.show();
    EXPECT_FALSE(form.Button1->isVisible());
    form.Button4->click();
    EXPECT_FALSE(form.isVisible());
    DatiGlobali.excelAbilitato = true;
    form.show();
    EXPECT_TRUE(form.Button1->isVisible());
    form.hide();
    DatiGlobali.excelAbilitato = false;
    form.show();
    EXPECT_FALSE(form.Button1->isVisible());
}

TEST_F(Preview, ReportGridFollowsTheWindowBelowTheButtons)
{
    // Sizes set before the first showing and while the window is shown.
    form.resize(1000, 700);
    form.show();
    QApplication::processEvents();
    for (const QSize size : {QSize(1000, 700), QSize(1280, 960), QSize(837, 590), QSize(600, 400), QSize(1400, 620)}) {
        form.resize(size);
        QApplication::processEvents();
        EXPECT_EQ(form.UserRep->geometry(), QRect(0, 32, size.width(), size.height() - 32))
            << size.width() << "x" << size.height();
    }
    // Shown again after being hidden at another size.
    form.hide();
    form.resize(900, 800);
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.UserRep->geometry(), QRect(0, 32, 900, 768));
}

TEST_F(Preview, ReportGridReadsTemplatesThroughItsOwnStorage)
{
    auto* storage = dynamic_cast<TStandardFileSystem*>(form.UserRep->FileSystem());
    ASSERT_NE(storage, nullptr);
    models(2);
    ASSERT_TRUE(reportUnaVelocita(in, form));
    EXPECT_EQ(QFileInfo(storage->FileName).fileName(), "Rep1Vel.AR");
    EXPECT_EQ(form.UserRep->Template()->FileSystem, storage);
}

TEST_F(Preview, ExcelButtonWritesTheWorkbookWithProgress)
{
    ScopedRecordingOffice office;
    DatiGlobali.excelAbilitato = true;
    form.show();

    // Cancelled: nothing is exported.
    form.Button1->click();
    ASSERT_EQ(dialogs.log().size(), 1u);
    EXPECT_EQ(dialogs.log()[0].file.Filter, "Excel File|*.xlsx");
    EXPECT_EQ(dialogs.log()[0].file.FileName, "Report.xlsx");
    EXPECT_TRUE(office.Lines().isEmpty());

    dialogs.answerFile(pf.file("out.xlsx"));
    form.Button1->click();
    const QStringList lines = office.Lines();
    EXPECT_TRUE(lines.contains(QStringLiteral("Book1.SaveAs(\"%1\")").arg(pf.file("out.xlsx")))) << lines.join('\n').toStdString();
    EXPECT_TRUE(form.Button1->isEnabled());
    // The progress dialog is gone once the export has ended.
    EXPECT_TRUE(form.findChildren<TPrintProgressDlg*>().isEmpty());
}

// The preview window is made at start-up: making it asks the printing
// system nothing, and its title reaches an installed printer all the same.
TEST(PreviewStart, MakingTheWindowAsksThePrintingSystemNothing)
{
    for (const bool installed : {true, false}) {
        SCOPED_TRACE(installed ? "printer" : "no printer");
        fc::ScopedFakePrinter fake;
        fake.installed = installed;
        TFormPrew form;
        EXPECT_EQ(fake.installedQueries, 0);
        EXPECT_EQ(form.UserRep->Title(), "Preview");
        EXPECT_EQ(fake.title, installed ? "Preview" : "");
    }
}

TEST(PreviewName, ProposedPdfName)
{
    struct Case {
        const char* rif;
        const char* name;
    } cases[] = {{"", "Report.pdf"},
                 {"Hotel Nord/2", "Hotel Nord_2.pdf"},
                 {"Città-A_1", "Citt_-A_1.pdf"},
                 {"a.b:c", "a_b_c.pdf"}};
    for (const Case& c : cases)
        EXPECT_EQ(TFormPrew::NomePdfProposto(QString::fromUtf8(c.rif)), QString::fromUtf8(c.name)) << c.rif;
}

TEST_F(Preview, PdfNameExtensionAndOverwriteQuestion)
{
    fc::pdf::RegisterPdfClasses();
    models(2);
    ASSERT_TRUE(reportUnaVelocita(in, form));
    form.TestoRiferimento = [] { return QStringLiteral("Hotel/Nord"); };

    // Upper-case extension kept as it is; a new file, no question. The
    // dialog opens in pdf/, made when the program folder lacks it.
    ASSERT_FALSE(QFileInfo::exists(pf.file("pdf")));
    dialogs.answerFile(pf.file("pdf/A.PDF"));
    form.ConvToRTF->click();
    ASSERT_EQ(dialogs.log().size(), 1u);
    EXPECT_EQ(dialogs.log()[0].file.InitialDir, pf.file("pdf/"));
    EXPECT_TRUE(QFileInfo(pf.file("pdf")).isDir());
    EXPECT_EQ(dialogs.log()[0].file.FileName, "Hotel_Nord.pdf"); // proposed from the reference
    EXPECT_TRUE(QFile::exists(pf.file("pdf/A.PDF")));
    EXPECT_FALSE(QFile::exists(pf.file("pdf/A.PDF.pdf")));
    dialogs.clear();

    // No extension: ".pdf" added; the file exists: No asks again, Yes writes.
    QFile::remove(pf.file("pdf/B.pdf"));
    pf.write("pdf/B.pdf", "old");
    dialogs.answerFile(pf.file("pdf/B"));
    dialogs.answerMessage(mrNo);
    dialogs.answerFile(pf.file("pdf/B"));
    dialogs.answerMessage(mrYes);
    form.ConvToRTF->click();
    ASSERT_EQ(dialogs.log().size(), 4u);
    EXPECT_EQ(dialogs.log()[0].file.InitialDir, pf.file("pdf/"));
    EXPECT_EQ(dialogs.log()[0].file.Filter, "Portable Document Format|*.pdf");
    EXPECT_EQ(dialogs.messages()[0], "Il Report -B.pdf- esiste già, vuoi sostituirlo?");
    EXPECT_EQ(dialogs.log()[1].message.Buttons, mbYes | mbNo);
    EXPECT_EQ(dialogs.log()[2].file.FileName, pf.file("pdf/B.pdf")); // the dialog again, with the last name
    EXPECT_TRUE(fc::test::readFile(pf.file("pdf/B.pdf")).startsWith("%PDF"));
    dialogs.clear();

    // Cancel: nothing written.
    dialogs.answerFile(QString());
    form.ConvToRTF->click();
    EXPECT_FALSE(QFile::exists(pf.file("pdf/Hotel_Nord.pdf")));
}

TEST_F(Preview, FailedPdfWriteIsShownAndLeavesNoFile)
{
    fc::pdf::RegisterPdfClasses();
    models(1);
    ASSERT_TRUE(reportUnaVelocita(in, form));
    dialogs.answerFile(pf.file("missing-folder/x.pdf"));
    form.ConvToRTF->click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("Cannot create file")) << dialogs.messages()[0].toStdString();
    EXPECT_EQ(dialogs.log()[1].message.Type, TMsgDlgType::mtError);
    EXPECT_FALSE(QFile::exists(pf.file("missing-folder/x.pdf")));
}

TEST_F(Preview, ScreenshotOfAFilledReport)
{
    models(4);
    in.Riferimento = QStringLiteral("Hotel Nord");
    ASSERT_TRUE(reportTreVelocita(in, form));
    const QImage shot = form.grab().toImage();
    EXPECT_EQ(shot.size(), QSize(837, 590));
    if (qEnvironmentVariableIsSet("FC_REPORT_PDF_OUT"))
        shot.save(qEnvironmentVariable("FC_REPORT_PDF_OUT") + "preview.png");
}

TEST_F(Preview, FilledReportAsPdfPassesQpdfAndHoldsTheModels)
{
    fc::pdf::RegisterPdfClasses();
    models(10);
    in.Riferimento = QStringLiteral("Hotel Nord");
    in.Prezzi.CheckListino = in.Prezzi.CheckNetto = in.Prezzi.CheckSconto = true;
    in.Prezzi.Sconto = true;
    in.Prezzi.Sconto1 = 10;
    model(3).NonCalcolatoFreddo[3] = true;
    QImage logo(120, 36, QImage::Format_RGB32);
    logo.fill(QColor(30, 80, 160));
    QDir().mkpath(pf.file("imgs"));
    ASSERT_TRUE(logo.save(pf.file("imgs/MiniLogo.bmp"), "BMP"));
    for (auto build : {&reportTreVelocita, &reportUnaVelocita, &reportPannello}) {
        ASSERT_TRUE(build(in, form));
        const QString file = pf.file("report.pdf");
        QFile::remove(file);
        dialogs.answerFile(file);
        form.ConvToRTF->click();
        ASSERT_TRUE(QFile::exists(file));
        int code = 0;
        const QString check = run("qpdf", {"--check", file}, &code);
        EXPECT_EQ(code, 0) << check.toStdString();
        const QString info = run("pdfinfo", {file});
        EXPECT_TRUE(info.contains(QRegularExpression(build == &reportPannello ? "Pages:\\s+10\\b" : "Pages:\\s+2\\b")))
            << info.toStdString();
        const QString text = run("pdftotext", {"-layout", file, "-"});
        for (const char* name : {"FC-01", "FC-09", "FC-10"})
            EXPECT_TRUE(text.contains(QLatin1String(name))) << name;
        EXPECT_TRUE(text.contains("Riferimento: Hotel Nord"));
        if (build != &reportPannello) {
            EXPECT_TRUE(text.contains("non calc."));
        }
        if (qEnvironmentVariableIsSet("FC_REPORT_PDF_OUT")) {
            QFile::copy(file, qEnvironmentVariable("FC_REPORT_PDF_OUT") + QFileInfo(form.UserRep->Path()).baseName() + ".pdf");
        }
    }
}

// A double click on Print: the second click reaches the window while the
// pages of a long report are being built, and is refused.
TEST_F(Preview, SecondPrintClickDuringPageBuildingIsRefused)
{
    models(27);
    ASSERT_TRUE(reportPannello(in, form));
    form.show();
    int previews = 0, pages = 0;
    TARPrinter::SetPreviewRunner([&](TARPrinter& p) {
        ++previews;
        pages = p.PageCount();
    });
    QMetaObject::invokeMethod(form.Button3, &QPushButton::click, Qt::QueuedConnection);
    form.Button3->click();
    QCoreApplication::processEvents();
    TARPrinter::SetPreviewRunner(nullptr);
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(pages, 27);
    EXPECT_EQ(form.UserRep->Printer()->PageCount(), 27);
}

// Printing to a file proposes the report's own name in the program folder's
// pdf/, as "--> PDF" does, for every report: never the last name used.
TEST_F(Preview, PrintToAFileProposesTheReportsOwnNameInPdf)
{
    fc::ScopedFakePrinter printer;
    printer.installed = false;
    printer.printAnswer = false;
    models(2);
    QString reference = QStringLiteral("Hotel Nord");
    form.TestoRiferimento = [&] { return reference; };
    for (const QString& ref : {QStringLiteral("Hotel Nord"), QStringLiteral("Uffici / piano 2"), QString()}) {
        SCOPED_TRACE(ref.toStdString());
        reference = ref;
        in.Riferimento = ref;
        ASSERT_TRUE(reportPannello(in, form));
        TARPrinter::SetPreviewRunner([](TARPrinter& p) { p.Print(); });
        form.Button3->click();
        TARPrinter::SetPreviewRunner(nullptr);
        ASSERT_TRUE(printer.lastPrintDialog.printToFile);
        EXPECT_EQ(printer.lastPrintDialog.fileName,
                  fc::ProgramFolder() + QStringLiteral("pdf/") + TFormPrew::NomePdfProposto(ref));
    }
}

// The panel's pages are built with the event loop turning: a refill of the
// same window from there (the main window's run, another window, a timer)
// is refused with the report engine's message, under the address
// sanitizer too, and the build ends with whole pages; closing the window
// meanwhile stops the build and shows nothing.
TEST_F(Preview, NothingRefillsTheReportWhileItsPagesAreBuilt)
{
    models(101);
    ASSERT_TRUE(reportPannello(in, form));
    form.show();
    const int bands = rep().BandCount();
    int previews = 0, pages = 0;
    TARPrinter::SetPreviewRunner([&](TARPrinter& p) {
        ++previews;
        pages = p.PageCount();
    });
    QString refused;
    QTimer::singleShot(0, &form, [&] {
        refused = fc::test::MessageOf([&] { reportTreVelocita(in, form); });
    });
    form.Button3->click();
    EXPECT_EQ(refused, ar::ResStr(ar::sReportInUse));
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(pages, 101);
    EXPECT_EQ(rep().BandCount(), bands);

    // Closed during the build: no preview of half-built pages.
    previews = 0;
    QTimer::singleShot(0, &form, [&] { form.Button4->click(); });
    form.Button3->click();
    EXPECT_EQ(previews, 0);
    EXPECT_FALSE(form.isVisible());
    TARPrinter::SetPreviewRunner(nullptr);
    // Afterwards the window is filled again as usual.
    EXPECT_TRUE(reportTreVelocita(in, form));
}

// While the workbook export reads the report (it turns the event loop after
// every band), a refill, a Print click and a PDF save are refused; the
// progress window's Abort, or closing the window, stops the export, and a
// stopped export leaves no file.
TEST_F(Preview, NothingChangesTheReportWhileItIsExportedAndAStoppedExportLeavesNoFile)
{
    models(20);
    ASSERT_TRUE(reportPannello(in, form));
    DatiGlobali.excelAbilitato = true;
    form.show();
    fc::test::ScopedFileOffice office;
    const QString target = pf.file("pdf/out.xlsx");
    QDir().mkpath(pf.file("pdf"));
    int previews = 0;
    TARPrinter::SetPreviewRunner([&](TARPrinter&) { ++previews; });
    struct Step {
        const char* name;
        std::function<QString()> during;
        QString told;
        bool written;
    };
    const Step steps[] = {
        {"refill", [&] { return fc::test::MessageOf([&] { reportTreVelocita(in, form); }); },
         ar::ResStr(ar::sReportInUse), true},
        {"print", [&] { return fc::test::MessageOf([&] { form.Button3->click(); }); }, "<no exception>", true},
        {"pdf", [&] { return fc::test::MessageOf([&] { form.ConvToRTFClick(); }); }, ar::ResStr(ar::sReportInUse), true},
        {"abort",
         [&] {
             for (TPrintProgressDlg* d : form.findChildren<TPrintProgressDlg*>())
                 d->AbortBtn->click();
             return QStringLiteral("<no exception>");
         },
         "<no exception>", false},
        {"close", [&] { return fc::test::MessageOf([&] { form.Button4->click(); }); }, "<no exception>", false},
    };
    for (const Step& st : steps) {
        SCOPED_TRACE(st.name);
        QFile::remove(target);
        form.show();
        const int bands = rep().BandCount();
        QString seen = QStringLiteral("<not run>");
        bool once = false;
        // At the export's third band.
        int step = 0;
        form.ARExcelExport1->OnProgress = [&, prev = form.ARExcelExport1->OnProgress](
                                              QObject* o, TARExportProgressStage stage, int pct, bool& abort) {
            if (stage == epsStep && ++step == 3 && !once) {
                once = true;
                seen = st.during();
            }
            prev(o, stage, pct, abort);
        };
        dialogs.clear();
        dialogs.answerFile(target);
        form.Button1->click();
        EXPECT_EQ(seen, st.told);
        EXPECT_EQ(previews, 0);
        EXPECT_EQ(rep().BandCount(), bands);
        EXPECT_EQ(QFileInfo::exists(target), st.written);
        if (!st.written)
            EXPECT_TRUE(office.shell.opened.isEmpty());
        EXPECT_FALSE(form.UserRep->InUse());
        EXPECT_TRUE(form.findChildren<TPrintProgressDlg*>().isEmpty());
        office.shell.opened.clear();
        form.ARExcelExport1->OnProgress = [this](QObject*, TARExportProgressStage stage, int pct, bool& abort) {
            abort = form.ARExcelExport1Progress(stage, pct);
        };
    }
    TARPrinter::SetPreviewRunner(nullptr);
}

} // namespace
