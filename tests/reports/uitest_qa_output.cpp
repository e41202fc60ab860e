// The three reports filled with 1, 9, 10 and 20 models, as a user sees them:
// the printed pages on a printer with a non-printing border, the preview
// dialog over them, the PDF file and the workbook.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <map>

#include "ReportsFixture.h"
#include "pdf/PdfImages.h"
#include "components/Lang.h"
#include "platform/Numbers.h"
#include "platform/Office.h"
#include "platform/Printing.h"
#include "platform/ShellOpen.h"
#include "report/ARPreviewForm.h"
#include "report/ARPrinter.h"
#include "tests/report/ViewTestUtil.h"
#include "tests/support/OfficeFixture.h"
#include "tests/support/ZipRead.h"

using namespace rtest;

namespace {

QString run(const QString& program, const QStringList& args, int* code = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    if (code)
        *code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

using Builder = bool (*)(const TReportInputs&, TFormPrew&);
struct Kind {
    const char* name;
    Builder build;
};
const Kind kKinds[] = {{"Rep1Vel", &reportUnaVelocita}, {"Rep9Col", &reportTreVelocita}, {"RepPann", &reportPannello}};
const int kCounts[] = {1, 9, 10, 20};

class QaOutput : public ReportsTest {
protected:
    QaOutput()
    {
        fc::pdf::RegisterPdfClasses();
        in.Riferimento = QString::fromUtf8("Città Università");
        in.DescVersione = QString::fromUtf8("Verticale à vista, perché così");
        in.Prezzi.CheckListino = in.Prezzi.CheckNetto = in.Prezzi.CheckSconto = true;
        in.Prezzi.Sconto = true;
        in.Prezzi.Sconto1 = 10;
        // A printer that cannot print the outer 1/4 inch of the sheet.
        printer.metrics = fc::PrinterMetrics{600, 600, 150, 150, 4960, 7016};
    }
    ~QaOutput() override { TARPrinter::SetPreviewRunner(nullptr); }

    // The number of pages the filled report asks for by its page breaks.
    int breakPages()
    {
        int pages = 1;
        for (int i = 0; i < rep().BandCount(); ++i)
            if ((rep().GetBand(i)->BandState & arbsPageBreak) && i > 0)
                ++pages;
        return pages;
    }

    QString pdf(const QString& name)
    {
        const QString file = pf.file(name);
        QFile::remove(file);
        dialogs.answerFile(file);
        form.ConvToRTF->click();
        return file;
    }

    fc::ScopedFakePrinter printer;
};

void drawAt(QPainter& p, int pad, const QPicture& page) { p.drawPicture(pad, pad, page); }
void drawAt(QPainter& p, int pad, const ar::Page& page) { page.Play(p, pad, pad); }

// Non-white pixels of a page drawn outside its printable area.
template <class PageT>
int inkOutside(const PageT& page, const QSize& printable)
{
    const int pad = 40;
    QImage img(printable + QSize(2 * pad, 2 * pad), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    drawAt(p, pad, page);
    p.end();
    const QRect inside(pad, pad, printable.width(), printable.height());
    int ink = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (!inside.contains(x, y) && img.pixel(x, y) != qRgb(255, 255, 255))
                ++ink;
    return ink;
}

TEST_F(QaOutput, PrintedPagesStayInThePrintableAreaAndThePreviewWalksThemAll)
{
    for (const Kind& kind : kKinds) {
        for (int n : kCounts) {
            SCOPED_TRACE(std::string(kind.name) + " x" + std::to_string(n));
            onlyModels(n);
            ASSERT_TRUE(kind.build(in, form));
            // Every page begins with the firm's heading.
            for (int i = 0; i < rep().BandCount(); ++i)
                if (i == 0 || (rep().GetBand(i)->BandState & arbsPageBreak)) {
                    EXPECT_EQ(rep().GetBand(i)->Name(), "Intestazione") << "band " << i;
                }
            const int expected = breakPages();

            int previews = 0;
            TARPrinter::SetPreviewRunner([&](TARPrinter& pr) {
                ++previews;
                EXPECT_EQ(pr.PageCount(), expected);
                const QSize printable(pr.PrintableRight() - pr.LeftMargin(), pr.PrintableBottom() - pr.TopMargin());
                for (int k = 1; k <= pr.PageCount(); ++k) {
                    ASSERT_NE(pr.Page(k), nullptr);
                    EXPECT_EQ(inkOutside(*pr.Page(k), printable), 0) << "page " << k;
                }
                TARPreviewDialog dlg;
                dlg.SetPrinter(&pr);
                dlg.resize(800, 600);
                dlg.show();
                EXPECT_EQ(dlg.Preview->PageCount(), expected);
                EXPECT_EQ(dlg.Preview->CurrPage(), 1);
                for (int k = 2; k <= expected; ++k) {
                    dlg.NextPageBtn->click();
                    EXPECT_EQ(dlg.Preview->CurrPage(), k);
                }
                dlg.NextPageBtn->click();
                EXPECT_EQ(dlg.Preview->CurrPage(), expected) << "no page after the last";
                dlg.FirstPageBtn->click();
                EXPECT_EQ(dlg.Preview->CurrPage(), 1);
                dlg.LastPageBtn->click();
                EXPECT_EQ(dlg.Preview->CurrPage(), expected);
                dlg.PriorPageBtn->click();
                EXPECT_EQ(dlg.Preview->CurrPage(), qMax(1, expected - 1));
                dlg.ZoomToWidthBtn->click();
                EXPECT_EQ(dlg.Preview->ZoomMode(), 1);
                const int widthZoom = dlg.Preview->Zoom();
                dlg.ZoomToFitBtn->click();
                EXPECT_EQ(dlg.Preview->ZoomMode(), 2);
                EXPECT_LE(dlg.Preview->Zoom(), widthZoom);
                EXPECT_LE(dlg.Preview->ZoomedPageHeight(), dlg.Preview->viewport()->height());
                dlg.ZoomTo100Btn->click();
                EXPECT_EQ(dlg.Preview->Zoom(), 100);
                EXPECT_FALSE(dlg.Preview->Render().isNull());
                dlg.CloseButton->click();
            });
            form.Button3->click();
            EXPECT_EQ(previews, 1);
        }
    }
}

// Printed from the preview dialog: one printer page per built page, all of
// it inside what the printer can print (printer pixels from its corner).
TEST_F(QaOutput, PrintFromThePreviewSendsEveryPageInsideThePrintableArea)
{
    models(20);
    printer.printAnswer = true;
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        ASSERT_TRUE(kind.build(in, form));
        const int expected = breakPages();
        printer.jobs.clear();
        TARPrinter::SetPreviewRunner([&](TARPrinter& pr) {
            TARPreviewDialog dlg;
            dlg.SetPrinter(&pr);
            dlg.show();
            dlg.PrintBtn->click();
        });
        form.Button3->click();
        ASSERT_EQ(printer.jobs.size(), 1u);
        const auto& job = printer.jobs.front();
        EXPECT_TRUE(job.ended);
        ASSERT_EQ(int(job.pages.size()), expected);
        const fc::PrinterMetrics& m = printer.metrics;
        const QSize printable(m.physicalWidth - 2 * m.offsetX, m.physicalHeight - 2 * m.offsetY);
        for (size_t k = 0; k < job.pages.size(); ++k) {
            // Checked at a sixth of the printer's resolution.
            QPicture scaled;
            QPainter p(&scaled);
            p.scale(1.0 / 6, 1.0 / 6);
            p.drawPicture(0, 0, *job.pages[k]);
            p.end();
            EXPECT_EQ(inkOutside(scaled, printable / 6), 0) << "page " << k + 1;
        }
    }
}

// Text boxes of every word, in points from the top-left corner.
struct Word {
    int page;
    double xMin, xMax;
    QString text;
};
std::vector<Word> words(const QString& file)
{
    std::vector<Word> out;
    const QString html = run("pdftotext", {"-bbox", file, "-"});
    static const QRegularExpression pageRe(QStringLiteral("<page "));
    static const QRegularExpression wordRe(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    int page = 0;
    for (const QString& line : html.split(u'\n')) {
        if (line.contains(pageRe))
            ++page;
        const auto m = wordRe.match(line);
        if (m.hasMatch())
            out.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3)});
    }
    return out;
}

TEST_F(QaOutput, PdfOfEveryReportHoldsAllModelsAndItsTexts)
{
    for (const Kind& kind : kKinds) {
        for (int n : kCounts) {
            SCOPED_TRACE(std::string(kind.name) + " x" + std::to_string(n));
            onlyModels(n);
            ASSERT_TRUE(kind.build(in, form));
            const int pages = breakPages();
            const QString file = pdf(QStringLiteral("%1-%2.pdf").arg(QLatin1String(kind.name)).arg(n));
            ASSERT_TRUE(QFile::exists(file));
            int code = 0;
            const QString check = run("qpdf", {"--check", file}, &code);
            EXPECT_EQ(code, 0) << check.toStdString();
            const QString info = run("pdfinfo", {file});
            EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\b").arg(pages))))
                << info.toStdString() << " expected " << pages;
            const QString text = run("pdftotext", {"-layout", file, "-"});
            for (int k = 1; k <= n; ++k) {
                const QString name = QStringLiteral("FC-%1").arg(k, 2, 10, QLatin1Char('0'));
                EXPECT_TRUE(text.contains(name)) << name.toStdString();
            }
            EXPECT_TRUE(text.contains(QString::fromUtf8("Città Università"))) << text.left(2000).toStdString();
            for (int p = 1; p <= pages; ++p) {
                const QString pageText =
                    run("pdftotext", {"-f", QString::number(p), "-l", QString::number(p), "-layout", file, "-"});
                EXPECT_TRUE(pageText.contains("Ditta")) << "heading on page " << p;
            }
            if (qEnvironmentVariableIsSet("FC_REPORT_PDF_OUT"))
                QFile::copy(file, qEnvironmentVariable("FC_REPORT_PDF_OUT") + QFileInfo(file).fileName());
        }
    }
}

// A right-aligned number ends inside its cell: never on or past the cell's
// right frame line.
TEST_F(QaOutput, RightAlignedTextKeepsClearOfTheRightFrame)
{
    models(10);
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        ASSERT_TRUE(kind.build(in, form));
        // The x of every right frame line of a right-aligned cell, per page.
        std::map<int, std::vector<std::pair<double, QString>>> frames;
        int page = 1;
        for (int i = 0; i < rep().BandCount(); ++i) {
            TARBand* b = rep().GetBand(i);
            if (i > 0 && (b->BandState & arbsPageBreak))
                ++page;
            for (int j = 0; j < b->CellCount(); ++j) {
                const TARCell* c = b->GetCell(j);
                if (c->HAlign() == ahRight && !c->S().trimmed().isEmpty() && c->GetSideWidth(1) > 0)
                    frames[page].push_back({fc::Round(b->CellRight(j) * 0.76) + 20,
                                            c->S().trimmed().split(u' ', Qt::SkipEmptyParts).last()});
            }
        }
        ASSERT_FALSE(frames.empty()) << "the report has right-aligned framed cells";
        const QString file = pdf(QStringLiteral("%1.pdf").arg(QLatin1String(kind.name)));
        int touching = 0;
        QString first;
        for (const Word& w : words(file)) {
            for (const auto& [x, last] : frames[w.page]) {
                // The cell's last word near its frame; measured by advance
                // widths, a box ending within 0.5 pt of the line is ink on it.
                if (w.text == last && qAbs(w.xMax - x) < 3 && w.xMax > x - 0.5) {
                    if (!touching++)
                        first = QStringLiteral("%1 %2..%3 frame %4").arg(w.text).arg(w.xMin).arg(w.xMax).arg(x);
                }
            }
        }
        EXPECT_EQ(touching, 0) << first.toStdString();
    }
}

TEST_F(QaOutput, FirstPagesRenderedForALook)
{
    if (!qEnvironmentVariableIsSet("FC_REPORT_PDF_OUT"))
        GTEST_SKIP() << "FC_REPORT_PDF_OUT names the folder for the pictures";
    const QString out = qEnvironmentVariable("FC_REPORT_PDF_OUT");
    models(10);
    for (const Kind& kind : kKinds) {
        ASSERT_TRUE(kind.build(in, form));
        const QString file = pdf(QStringLiteral("%1.pdf").arg(QLatin1String(kind.name)));
        int code = 0;
        run("pdftoppm", {"-r", "110", "-f", "1", "-l", "1", "-png", "-singlefile", file, out + QLatin1String(kind.name)},
            &code);
        EXPECT_EQ(code, 0);
    }
}

// The three reports printed through a real Qt printer writing PDF (1200
// dpi, Qt's PDF margins): page for page, every text where the preview
// page has it. With FC_REPORT_PDF_OUT set, the first printed page and its
// preview are saved as pictures.
TEST_F(QaOutput, PrintedThroughAQtPrinterMatchesThePreviewPageForPage)
{
    models(10);
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        const QString file = pf.file(QStringLiteral("printed-%1.pdf").arg(QLatin1String(kind.name)));
        viewtest::ScopedPdfFilePrinter qt(file);
        ASSERT_TRUE(kind.build(in, form));
        ASSERT_TRUE(form.UserRep->BuildPages(QStringLiteral("x")));
        TARPrinter& store = *form.UserRep->Printer();
        ASSERT_EQ(store.ResolutionX(), 1200);
        store.PrintPages();
        const std::vector<Word> printed = words(file);
        ASSERT_FALSE(printed.empty());
        EXPECT_EQ(printed.back().page, store.PageCount());
        const double pt = 72.0 / 96.0;
        int checked = 0;
        for (int p = 1; p <= store.PageCount(); ++p) {
            for (const viewtest::DrawnText& d : viewtest::TextsOf(*store.Page(p))) {
                const QString first = d.text.section(u' ', 0, 0, QString::SectionSkipEmpty);
                if (first.isEmpty())
                    continue;
                const double x = (store.LeftMargin() + d.pos.x()) * pt;
                const bool found = std::any_of(printed.begin(), printed.end(), [&](const Word& w) {
                    return w.page == p && w.text.startsWith(first) && std::abs(w.xMin - x) < 1.5;
                });
                EXPECT_TRUE(found) << "page " << p << ": " << d.text.toStdString() << " at " << x;
                ++checked;
            }
        }
        EXPECT_GT(checked, 50);
        if (qEnvironmentVariableIsSet("FC_REPORT_PDF_OUT")) {
            const QString out = qEnvironmentVariable("FC_REPORT_PDF_OUT");
            run("pdftoppm", {"-r", "96", "-f", "1", "-l", "1", "-png", "-singlefile", file,
                             out + QStringLiteral("printed-%1").arg(QLatin1String(kind.name))});
            TARPreviewDialog dlg;
            dlg.SetPrinter(&store);
            dlg.resize(900, 1250);
            dlg.show();
            dlg.ZoomTo100Btn->click();
            dlg.Preview->Render().save(out + QStringLiteral("preview-%1.png").arg(QLatin1String(kind.name)));
        }
    }
}

TEST_F(QaOutput, WorkbookHoldsTheModelsAndTheirNumbers)
{
    fc::test::ScopedFileOffice office;
    DatiGlobali.excelAbilitato = true;
    models(10);
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        ASSERT_TRUE(kind.build(in, form));
        const QString file = pf.file(QStringLiteral("%1.xlsx").arg(QLatin1String(kind.name)));
        dialogs.answerFile(file);
        form.Button1->click();
        ASSERT_TRUE(QFileInfo::exists(file)) << file.toStdString();
        const QByteArray sheet = fc::test::ReadZipMember(file, "xl/worksheets/sheet1.xml");
        const QByteArray strings = fc::test::ReadZipMember(file, "xl/sharedStrings.xml");
        ASSERT_FALSE(sheet.isEmpty());
        for (int k = 1; k <= 10; ++k) {
            const QByteArray name = QStringLiteral("FC-%1").arg(k, 2, 10, QLatin1Char('0')).toUtf8();
            EXPECT_TRUE(strings.contains(name) || sheet.contains(name)) << name.constData();
        }
        EXPECT_TRUE(strings.contains(QString::fromUtf8("Città Università").toUtf8()));
        // Numbers arrive as numbers, not as texts.
        static const QRegularExpression number(QStringLiteral("<c r=\"[A-Z]+[0-9]+\"( s=\"[0-9]+\")?><v>[0-9.]+</v>"));
        EXPECT_TRUE(number.match(QString::fromUtf8(sheet)).hasMatch()) << sheet.left(3000).constData();
        if (qEnvironmentVariableIsSet("FC_REPORT_PDF_OUT"))
            QFile::copy(file, qEnvironmentVariable("FC_REPORT_PDF_OUT") + QFileInfo(file).fileName());
    }
}

// The water flow of model 4 is 1203 l/h, shown "1.203" or "1,203" as the
// separators are; the workbook holds the number 1203 either way.
TEST_F(QaOutput, WorkbookNumbersKeepTheirValueUnderBothSeparators)
{
    fc::test::ScopedFileOffice office;
    DatiGlobali.excelAbilitato = true;
    models(4);
    struct Sep {
        char decimal, thousands;
    } cases[] = {{',', '.'}, {'.', ','}};
    for (const Sep& c : cases) {
        SCOPED_TRACE(c.decimal);
        fc::test::ScopedSeparators sep(QChar(c.decimal), QChar(c.thousands));
        ASSERT_TRUE(reportTreVelocita(in, form));
        const QString file = pf.file(QStringLiteral("sep%1.xlsx").arg(QChar(c.decimal) == u'.' ? 1 : 2));
        dialogs.answerFile(file);
        form.Button1->click();
        const QByteArray sheet = fc::test::ReadZipMember(file, "xl/worksheets/sheet1.xml");
        ASSERT_FALSE(sheet.isEmpty());
        EXPECT_TRUE(sheet.contains("<v>1203</v>")) << "water flow of FC-04";
        EXPECT_FALSE(sheet.contains("<v>1.203</v>"));
        EXPECT_TRUE(sheet.contains("<v>12.3</v>")) << "a temperature with its decimal";
    }
}

// With the English texts no Italian caption of the reports is left.
TEST_F(QaOutput, EnglishReportsLeaveNoItalianCaption)
{
    pf.write("English.lng", fc::test::readFile(sourceData("English.lng")));
    TLanguage lang;
    lang.SetLanguageFile(pf.file("English.lng"));
    in.Lingua = &lang;
    form.Lingua = &lang;
    in.DescVersione = QStringLiteral("Vertical");
    in.Riferimento = QStringLiteral("Hotel");
    models(2);
    model(1).NonCalcolatoFreddo[3] = true;
    for (int k = 1; k <= 2; ++k)
        model(k).Tipo = QStringLiteral("Range T");
    const char* italian[] = {"Altitudine", "Assorbimento", "Temperatura aria", "Temp.ingresso", "Temp.uscita",
                             "Caratteristiche", "Corrente assorbita", "Umidit", "Glicole", "Larghezza", "Lunghezza",
                             "Modello", "Portata", "Perdita di carico", "Pressione statica", "Livelli sonori", "Peso",
                             "Prezzo", "Resa", "Raffreddamento", "Riscaldamento", "Moltiplicatore", "Sconto",
                             "Spessore", "Velocit", "Versione", "non calc.", "Serie", "Tipo impianto", "Frig"};
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        ASSERT_TRUE(kind.build(in, form));
        for (int i = 0; i < rep().BandCount(); ++i) {
            TARBand* b = rep().GetBand(i);
            for (int j = 0; j < b->CellCount(); ++j) {
                const QString t = b->GetCell(j)->S();
                for (const char* it : italian)
                    EXPECT_FALSE(t.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(QLatin1String(it)))))) << b->Name().toStdString() << ": " << t.toStdString();
            }
        }
    }
}

} // namespace
