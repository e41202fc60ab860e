// Catalogue texts as long as their fields hold, in every report and with
// 1, 3 and 20 models: each text shows whole inside its own cell, in the
// preview and in the PDF, over no other cell and no frame line.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>

#include "ReportsFixture.h"
#include "pdf/BatchPdf.h"
#include "pdf/PdfImages.h"
#include "platform/Font.h"
#include "platform/Numbers.h"
#include "platform/Printing.h"
#include "platform/QtTextMeasurer.h"
#include "report/ARPrinter.h"
#include "report/ARRepCommon.h"
#include "report/ARUtils.h"
#include "tests/pdf/PdfTestSupport.h"
#include "tests/report/ViewTestUtil.h"

using namespace rtest;

namespace {

// Model names of 24 characters (the field's length) with and without
// break characters; all differ in their first 19.
QString longName(int k)
{
    static const char* const forms[] = {"MWX-%1 ALTA PREVALENZA H", "MWXQ%1KBCDEFGHIJKLMNOPQR",
                                        "M/WX.%1-ALTAPREVALENZAVH"};
    return QString::fromLatin1(forms[k % 3]).arg(k, 2, 10, QLatin1Char('0'));
}

// Version texts: the demo catalogue's own and one of the 100 characters
// the field holds.
const char* const kDescrizioni[] = {
    "Con mobile, installazione verticale a pavimento o a parete",
    "Con mobile e griglia di mandata orientabile, installazione verticale a pavimento o a parete, 4 tubi.",
};

using Builder = bool (*)(const TReportInputs&, TFormPrew&);
const struct {
    const char* name;
    Builder build;
} kReports[] = {{"Rep1Vel", &reportUnaVelocita}, {"Rep9Col", &reportTreVelocita}, {"RepPann", &reportPannello}};

QString squeezed(QString s)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return s.remove(blanks);
}

class LongTexts : public ReportsTest {
protected:
    LongTexts()
    {
        // Measured as the program measures, with the fonts it draws.
        fc::InstallQtTextMeasurer();
        fc::pdf::RegisterPdfClasses();
        in.Versione = QStringLiteral("VERTPAV-10");
        in.Riferimento = QStringLiteral("Hotel Nord");
        in.Prezzi.CheckListino = in.Prezzi.CheckNetto = in.Prezzi.CheckSconto = true;
        in.Prezzi.Sconto = true;
        in.Prezzi.Sconto1 = 12.5;
        in.Prezzi.Sconto2 = 7.25;
        in.Prezzi.Sconto3 = 3;
    }
    ~LongTexts() override { fc::SetTextMeasurer(nullptr); }

    // Models 1..n with the longest texts of the catalogue's fields.
    void longModels(int n, const QString& descrizione)
    {
        ListaMacchine.Clear();
        ListaVersioni.Clear();
        in.ModelliSpuntati.clear();
        in.DescVersione = descrizione;
        for (int k = 1; k <= n; ++k) {
            auto m = makeModel(k);
            m->Modello = longName(k);
            m->Tipo = QStringLiteral("SERIE ALTA PREVALENZA XL");
            m->Descr = QStringLiteral("Ventilconvettore a pavimento/parete.");
            m->Impianto = QStringLiteral("4 tubi con valvola 3 vie");
            // The list finds a model by the first 19 characters of its item.
            const QString key = m->Modello.left(19).trimmed();
            auto v = makeVersion(m->Modello, in.Versione, 1234.56 * k);
            v->DescrizioneVersione = descrizione;
            ListaVersioni.Add(key, std::move(v));
            ListaMacchine.Add(key, std::move(m));
            in.ModelliSpuntati << longName(k) + QStringLiteral("   120 Pa");
        }
    }

    // Every cell's text fits the cell as the preview draws it: the lines
    // (wrapped when the cell wraps) no wider and no more than the inside
    // of its frame holds.
    void expectPreviewFits()
    {
        TCanvas canvas;
        for (int i = 0; i < rep().BandCount(); ++i) {
            TARBand* b = rep().GetBand(i);
            for (int j = 0; j < b->CellCount(); ++j) {
                const TARCell& c = *b->GetCell(j);
                if (c.Shared() || c.S().isEmpty())
                    continue;
                canvas.Font = MakeFont(c.FontName(), c.FontSize(), c.FontStyle());
                const int fw = c.FrameWidth();
                const int width = b->CellRight(j) - b->CellLeft(j) - 2 * fw - 1;
                const int height = b->Height() - 2 * fw - 1;
                QStringList lines = ar::SplitTextLines(c.S());
                if (c.WordWrap())
                    WrapString(lines, canvas, width);
                int h = 0;
                for (const QString& l : lines)
                    h = qMax(h, canvas.TextHeight(l));
                const std::string where = b->Name().toStdString() + " cell " + std::to_string(j) + ": " +
                                          c.S().toStdString();
                EXPECT_LE(h * int(lines.size()), height) << where << " in " << lines.size() << " lines";
                for (const QString& l : lines)
                    EXPECT_LE(canvas.TextWidth(l), width)
                        << where << " line \"" << l.toStdString() << "\"";
            }
        }
    }

    // The PDF's words, each inside the cell it starts in and clear of its
    // frame lines; each cell's words read its whole text.
    void expectPdfFits(const QString& file)
    {
        struct Box {
            int page;
            double left, right, top, bottom;
            QString text, read;
            std::string where;
        };
        std::vector<Box> boxes;
        int page = 1;
        int y = 822;
        for (int i = 0; i < rep().BandCount(); ++i) {
            TARBand* b = rep().GetBand(i);
            if (b->BandState & arbsPageBreak) {
                if (i > 0)
                    ++page;
                y = 822;
            }
            const int bottom = y - int(fc::Round(b->Height() * 0.79));
            for (int j = 0; j < b->CellCount(); ++j) {
                const TARCell& c = *b->GetCell(j);
                if (c.Shared())
                    continue;
                boxes.push_back({page, double(fc::Round(b->CellLeft(j) * 0.76) + 20),
                                 double(fc::Round(b->CellRight(j) * 0.76) + 20), 842.0 - y, 842.0 - bottom, c.S(),
                                 QString(), b->Name().toStdString() + " cell " + std::to_string(j)});
            }
            y = bottom;
        }
        for (const fc::test::PdfWord& w : fc::test::PdfWordsOfFile(file)) {
            const double x = w.xMin + 0.5, mid = (w.yMin + w.yMax) / 2;
            Box* in = nullptr;
            for (Box& b : boxes)
                if (b.page == w.page && x >= b.left && x < b.right && mid >= b.top && mid < b.bottom)
                    in = &b;
            if (!in) {
                ADD_FAILURE() << "\"" << w.text.toStdString() << "\" on page " << w.page << " is in no cell";
                continue;
            }
            in->read += w.text;
            const double clear = 0.2;
            EXPECT_TRUE(w.xMin >= in->left + clear && w.xMax <= in->right - clear && w.yMin >= in->top &&
                        w.yMax <= in->bottom - clear)
                << in->where << ": \"" << w.text.toStdString() << "\" " << w.xMin << ".." << w.xMax << " x "
                << w.yMin << ".." << w.yMax << " over " << in->left << ".." << in->right << " x " << in->top
                << ".." << in->bottom;
        }
        for (const Box& b : boxes)
            EXPECT_EQ(b.read.toStdString(), squeezed(b.text).toStdString()) << b.where << " on page " << b.page;
    }
};

TEST_F(LongTexts, EveryTextShowsWholeInItsCellInThePreviewAndThePdf)
{
    for (const auto& r : kReports) {
        for (const char* descrizione : kDescrizioni) {
            for (int n : {1, 3, 20}) {
                SCOPED_TRACE(std::string(r.name) + " x" + std::to_string(n) + " " + descrizione);
                longModels(n, QString::fromLatin1(descrizione));
                ASSERT_TRUE(r.build(in, form));
                expectPreviewFits();
                const QString file = pf.file(QStringLiteral("%1-%2.pdf").arg(QLatin1String(r.name)).arg(n));
                ExportReportToPdf(rep(), file);
                expectPdfFits(file);
                if (qEnvironmentVariableIsSet("FC_REPORT_PDF_OUT") && n == 3)
                    QFile::copy(file, qEnvironmentVariable("FC_REPORT_PDF_OUT") + QStringLiteral("long-%1-%2.pdf")
                                                                                      .arg(QLatin1String(r.name))
                                                                                      .arg(int(strlen(descrizione))));
            }
        }
    }
}

// A reference text longer than its band's line (the field has no limit):
// its band grows to hold every line, in the preview, on the printed page
// and in the PDF alike, and no text runs over the next band.
TEST_F(LongTexts, ALongReferenceGrowsItsBandInThePreviewThePrintAndThePdf)
{
    const QString reference =
        QStringLiteral("Ampliamento uffici direzionali, secondo e terzo piano, lato nord: sostituzione dei "
                       "ventilconvettori esistenti con unità a 4 tubi, 2026/27");
    ASSERT_GE(reference.size(), 120);
    fc::ScopedFakePrinter printer;
    printer.metrics = {96, 96, 0, 0, 794, 1123};
    for (const auto& r : kReports) {
        SCOPED_TRACE(r.name);
        longModels(3, QString::fromLatin1(kDescrizioni[0]));
        in.Riferimento = reference;
        ASSERT_TRUE(r.build(in, form));
        TARBand* band = nullptr;
        for (int i = 0; i < rep().BandCount(); ++i)
            if (rep().GetBand(i)->Name() == QLatin1String("Riferimento"))
                band = rep().GetBand(i);
        ASSERT_TRUE(band);
        EXPECT_GT(band->Height(), 18) << "the band holds more than one line";
        expectPreviewFits();
        const QString file = pf.file(QStringLiteral("%1-rif.pdf").arg(QLatin1String(r.name)));
        ExportReportToPdf(rep(), file);
        expectPdfFits(file);
        // The printed page draws the whole text, none of it clipped away.
        form.UserRep->ShowPrintProgress = false;
        ASSERT_TRUE(form.UserRep->BuildPages(QStringLiteral("x")));
        QString printed;
        for (const viewtest::DrawnText& t : viewtest::TextsOf(*form.UserRep->Printer()->Page(1)))
            printed += t.text;
        EXPECT_TRUE(squeezed(printed).contains(squeezed(in.CaptionRif + reference)))
            << printed.toStdString();
    }
}

// A discount chain that needs two lines breaks after a "+", never inside a
// number, in the preview and in the PDF, under either pair of separators.
TEST_F(LongTexts, ADiscountChainBreaksOnlyAfterAPlus)
{
    for (QChar decimal : {QChar(u','), QChar(u'.')}) {
        fc::test::ScopedSeparators sep(decimal, decimal == u',' ? u'.' : u',');
        const QString chain = QStringLiteral("12d5+13d5+0d4").replace(u'd', decimal);
        in.Prezzi.Sconto1 = 12.5;
        in.Prezzi.Sconto2 = 13.5;
        in.Prezzi.Sconto3 = 0.4;
        for (const auto& r : kReports) {
            SCOPED_TRACE(std::string(r.name) + " with " + QString(decimal).toStdString());
            longModels(3, QString::fromLatin1(kDescrizioni[0]));
            ASSERT_TRUE(r.build(in, form));
            int seen = 0;
            TCanvas canvas;
            for (int i = 0; i < rep().BandCount(); ++i) {
                TARBand* b = rep().GetBand(i);
                for (int j = 0; j < b->CellCount(); ++j) {
                    const TARCell& c = *b->GetCell(j);
                    if (!c.S().contains(chain))
                        continue;
                    ++seen;
                    canvas.Font = MakeFont(c.FontName(), c.FontSize(), c.FontStyle());
                    QStringList lines = ar::SplitTextLines(c.S());
                    if (c.WordWrap())
                        WrapString(lines, canvas, b->CellRight(j) - b->CellLeft(j) - 2 * c.FrameWidth() - 1);
                    for (int k = 0; k + 1 < lines.size(); ++k)
                        EXPECT_TRUE(lines[k].endsWith(u'+') || lines[k].endsWith(u' ') || !lines[k].contains(u'+'))
                            << "preview line \"" << lines[k].toStdString() << "\"";
                }
            }
            ASSERT_GT(seen, 0) << "the chain is in the report";
            const QString file = pf.file(QStringLiteral("%1-chain.pdf").arg(QLatin1String(r.name)));
            ExportReportToPdf(rep(), file);
            // A piece of the chain in the PDF starts at its beginning or
            // after a "+", and ends at its end or with a "+".
            static const QRegularExpression piece(QStringLiteral("^[0-9.,+]*[0-9][0-9.,+]*$"));
            for (const fc::test::PdfWord& w : fc::test::PdfWordsOfFile(file)) {
                const qsizetype at = chain.indexOf(w.text);
                if (!piece.match(w.text).hasMatch() || at < 0 || w.text.size() < 2)
                    continue;
                EXPECT_TRUE((at == 0 || chain[at - 1] == u'+') &&
                            (at + w.text.size() == chain.size() || w.text.endsWith(u'+')))
                    << "PDF word \"" << w.text.toStdString() << "\"";
            }
        }
    }
}

// The preview's first page of each report, for a look beside the PDF.
TEST_F(LongTexts, PreviewPagesRenderedForALook)
{
    if (!qEnvironmentVariableIsSet("FC_REPORT_PDF_OUT"))
        GTEST_SKIP() << "FC_REPORT_PDF_OUT names the folder for the pictures";
    fc::ScopedFakePrinter printer;
    longModels(3, QString::fromLatin1(kDescrizioni[1]));
    for (const auto& r : kReports) {
        ASSERT_TRUE(r.build(in, form));
        TARPrinter::SetPreviewRunner([&](TARPrinter& pr) {
            ASSERT_GE(pr.PageCount(), 1);
            QImage img(900, 1200, QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            pr.Page(1)->Play(p, 20, 20);
            p.end();
            img.save(qEnvironmentVariable("FC_REPORT_PDF_OUT") + QStringLiteral("preview-%1.png").arg(QLatin1String(r.name)));
        });
        form.Button3->click();
        TARPrinter::SetPreviewRunner(nullptr);
    }
}

} // namespace
