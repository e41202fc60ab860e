// Filled reports as text against checked-in golden files: every band with
// its page-break mark and every cell's text (bold marked with *), so that a
// change of a template or a builder shows up cell by cell.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPushButton>

#include "ReportsFixture.h"
#include "platform/Printing.h"
#include "platform/QtTextMeasurer.h"
#include "report/ARPreviewForm.h"
#include "report/ARPrinter.h"

using namespace rtest;

namespace {

using Golden = ReportsTest;

QString dump(const TARRep& rep)
{
    QString out;
    for (int i = 0; i < rep.BandCount(); ++i) {
        const TARBand* b = rep.GetBand(i);
        out += (b->BandState & arbsPageBreak) ? QStringLiteral("== ") : QStringLiteral("   ");
        out += b->Name() + QStringLiteral(":");
        for (int j = 0; j < b->CellCount(); ++j) {
            const TARCell* c = b->GetCell(j);
            QString s = c->S();
            s.replace(u'\r', QStringLiteral("\\r"));
            out += QStringLiteral(" |") + s;
            if (c->FontStyle() & fsBold)
                out += u'*';
        }
        out += u'\n';
    }
    return out;
}

// Everything filling sets on a band and its cells besides the text.
QString dumpFull(const TARRep& rep)
{
    QString out;
    for (int i = 0; i < rep.BandCount(); ++i) {
        const TARBand* b = rep.GetBand(i);
        out += QStringLiteral("%1 h=%2 state=%3 top=%4\n").arg(b->Name()).arg(b->Height()).arg(int(b->BandState)).arg(b->Top());
        for (int j = 0; j < b->CellCount(); ++j) {
            const TARCell* c = b->GetCell(j);
            QString s = c->S();
            s.replace(u'\r', QStringLiteral("\\r"));
            out += QStringLiteral("  |%1| w=%2 min=%3 style=%4 rtf=%5 uv=%6 pic=%7\n")
                       .arg(s)
                       .arg(c->Width())
                       .arg(c->MinWidth())
                       .arg(int(c->FontStyle()))
                       .arg(int(c->IsRTF()))
                       .arg(c->UserVarValue())
                       .arg(QFileInfo(c->PictureFileName()).fileName());
        }
    }
    return out;
}

void compareText(const QString& got, const QString& name)
{
    fc::test::ExpectGoldenText(got, fc::test::testDataDir() + QStringLiteral("data/") + name);
}

void compare(const TARRep& rep, const QString& name) { compareText(dump(rep), name); }

// The pages of the page store drawn as the preview draws them and scaled as
// printing scales them, one line of picture digests per page.
QString dumpPages(const TARPrinter& pr)
{
    QString out;
    for (int p = 1; p <= pr.PageCount(); ++p) {
        out += QStringLiteral("page %1").arg(p);
        for (const double scale : {1.0, 2.5}) {
            QImage img(int(pr.PageWidth() * scale), int(pr.PageHeight() * scale), QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter painter(&img);
            painter.scale(scale, scale);
            pr.Page(p)->Play(painter);
            painter.end();
            out += u' ' + QString::fromLatin1(QCryptographicHash::hash(QByteArrayView(img.constBits(), img.sizeInBytes()),
                                                                      QCryptographicHash::Sha1).toHex());
        }
        out += u'\n';
    }
    return out;
}

QString digest(const QImage& img)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(QByteArrayView(img.constBits(), img.sizeInBytes()), QCryptographicHash::Sha1).toHex());
}

// Filled and laid out as the program does it: real text measures, the
// logos in the program folder, a printer.
class GoldenPages : public ReportsTest {
protected:
    GoldenPages()
    {
        fc::InstallQtTextMeasurer();
        for (const char* logo : {"imgs/MiniLogo.bmp", "imgs/MiniLogo1.bmp"})
            pf.write(QLatin1String(logo), fc::test::readFile(sourceData(QLatin1String(logo))));
        in.Riferimento = QStringLiteral("Hotel Nord");
        in.Prezzi.CheckListino = in.Prezzi.CheckNetto = in.Prezzi.CheckSconto = true;
        in.Prezzi.Sconto = true;
        in.Prezzi.Sconto1 = 12.5;
    }
    ~GoldenPages() override { fc::SetTextMeasurer(nullptr); }

    // The pages the Print button builds.
    QString printedPages()
    {
        QString pages;
        TARPrinter::SetPreviewRunner([&pages](TARPrinter& pr) { pages = dumpPages(pr); });
        form.Button3->click();
        TARPrinter::SetPreviewRunner(nullptr);
        return pages;
    }
    fc::ScopedFakePrinter printer;
};

TEST_F(Golden, PanelTwoModelsCoolingAndHeatingWithPrices)
{
    models(2);
    Stato.VeloCalcolo = 2;
    for (int s = 1; s <= 3; ++s)
        Stato.PressioneDisponibile[s] = 50; // above the MIN curve only
    in.Riferimento = QStringLiteral("Hotel Nord");
    in.Prezzi.CheckListino = in.Prezzi.CheckMoltiplica = in.Prezzi.CheckNetto = true;
    in.Prezzi.moltiplicatore = true;
    in.Prezzi.Moltip = 0.5;
    model(2).NonCalcolatoCaldo[1] = true;
    ASSERT_TRUE(reportPannello(in, form));
    compare(rep(), QStringLiteral("RepPann-2models.txt"));
}

TEST_F(Golden, OneSpeedHeatingOnly)
{
    models(2);
    Stato.ModoCalcolo = 1;
    Stato.VeloCalcolo = 1;
    in.Prezzi.CheckSconto = true;
    in.Prezzi.Sconto = true;
    in.Prezzi.Sconto1 = 12.5;
    ASSERT_TRUE(reportUnaVelocita(in, form));
    compare(rep(), QStringLiteral("Rep1Vel-heating.txt"));
}

TEST_F(Golden, ThreeSpeedHundredModelsEveryCell)
{
    models(100);
    Stato.VeloCalcolo = 2;
    for (int k = 1; k <= 100; k += 7)
        model(k).NonCalcolatoFreddo[k % 3 + 1] = true;
    for (int s = 1; s <= 3; ++s)
        Stato.PressioneDisponibile[s] = 10 * s + 20; // clamped at some speeds
    in.Riferimento = QStringLiteral("Hotel Nord");
    in.Prezzi.CheckListino = in.Prezzi.CheckMoltiplica = in.Prezzi.CheckNetto = true;
    in.Prezzi.moltiplicatore = true;
    in.Prezzi.Moltip = 0.75;
    ASSERT_TRUE(reportTreVelocita(in, form));
    compareText(dumpFull(rep()), QStringLiteral("Rep9Col-100models.txt"));
}

TEST_F(GoldenPages, PrintedPagesOfEachReport)
{
    struct Case {
        const char* name;
        int models;
        bool (*build)(const TReportInputs&, TFormPrew&);
    } cases[] = {
        {"Rep9Col", 20, &reportTreVelocita},
        {"Rep1Vel", 12, &reportUnaVelocita},
        {"RepPann", 27, &reportPannello},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        onlyModels(c.models);
        ASSERT_TRUE(c.build(in, form));
        compareText(dumpFull(rep()), QStringLiteral("%1-pages-bands.txt").arg(QLatin1String(c.name)));
        compareText(printedPages(), QStringLiteral("%1-pages.txt").arg(QLatin1String(c.name)));
    }
}

// The preview window at a reduced zoom (the page reduced by averaging) and
// at an enlarged one (drawn scaled), with the non-printing border of a
// printer whose printable area starts inside the sheet, and the same pages
// printed: what reaches the printer at its 600 dpi, drawn at a quarter.
TEST_F(GoldenPages, PanelInThePreviewAndOnThePrinter)
{
    printer.metrics = fc::PrinterMetrics{600, 600, 118, 142, 4960, 7016};
    onlyModels(5);
    ASSERT_TRUE(reportPannello(in, form));
    QString out;
    TARPrinter::SetPreviewRunner([&](TARPrinter& pr) {
        TARPreview view;
        view.resize(640, 900);
        view.SetPrinter(&pr);
        view.SetShowNonPrintingArea(true);
        for (const int zoom : {75, 150}) {
            view.SetZoom(zoom);
            for (int p = 1; p <= pr.PageCount(); ++p) {
                view.SetCurrPage(p);
                view.ScrollVertTo(zoom > 100 ? 400 : 0);
                out += QStringLiteral("preview zoom %1 page %2 %3\n").arg(zoom).arg(p).arg(digest(view.Render()));
            }
        }
        pr.PrintPages();
    });
    form.Button3->click();
    TARPrinter::SetPreviewRunner(nullptr);
    ASSERT_EQ(printer.jobs.size(), 1u);
    const auto& job = printer.jobs.front();
    EXPECT_TRUE(job.ended);
    for (size_t k = 0; k < job.pages.size(); ++k) {
        QImage img(4960 / 4, 7016 / 4, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        painter.scale(0.25, 0.25);
        painter.drawPicture(0, 0, *job.pages[k]);
        painter.end();
        out += QStringLiteral("printed page %1 %2\n").arg(k + 1).arg(digest(img));
    }
    compareText(out, QStringLiteral("RepPann-preview-print.txt"));
}

} // namespace
