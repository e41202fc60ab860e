// A filled report of 30 pages (40 bands of four framed cells each, a logo
// per page) exported to a PDF file: the size of the longest selection
// reports.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QTemporaryDir>

#include "pdf/BatchPdf.h"
#include "pdf/PdfImages.h"
#include "report/ARRep.h"

namespace {

void FillReport(TARRep& rep, const QString& logo)
{
    rep.ClearBands();
    for (int page = 0; page < 30; ++page) {
        for (int row = 0; row < 40; ++row) {
            TARBand* band = rep.AddBand();
            band->SetHeight(25);
            if (row == 0 && page > 0)
                band->BandState = arbsPageBreak;
            for (int j = 0; j < band->CellCount(); ++j) {
                TARCell* c = band->GetCell(j);
                c->SetFontName(QStringLiteral("Arial"));
                c->SetWidth(180);
                c->SetHAlign(j == 0 ? ahLeft : ahRight);
                c->SetValue(j == 0 ? QStringLiteral("FC-%1 velocità media, portata d'aria nominale").arg(row)
                                   : QStringLiteral("%1,%2").arg(row * 137 + j).arg(j * 7));
            }
            if (row == 0)
                band->GetCell(0)->SetPictureFileName(logo);
        }
    }
}

void BM_ExportReportToPdf(benchmark::State& state)
{
    fc::pdf::RegisterPdfClasses();
    QTemporaryDir dir;
    const QString logo = dir.filePath(QStringLiteral("logo.bmp"));
    QImage img(160, 60, QImage::Format_RGB32);
    img.fill(qRgb(0, 90, 160));
    img.save(logo, "BMP");
    TARRep rep;
    FillReport(rep, logo);
    const QString out = dir.filePath(QStringLiteral("report.pdf"));
    for (auto _ : state)
        ExportReportToPdf(rep, out);
    state.SetLabel("30 pages");
}
BENCHMARK(BM_ExportReportToPdf)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
