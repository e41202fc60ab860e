// The "--> PDF" command of the preview window: a filled report exported to a
// PDF file.
//
// BM_PanelToPdf models the user's case: the panel report (one page per
// model, two logos on every page) filled from the demo catalogue repeated
// 100 times (bench/BenchCatalogue.h), the first 6, 27, 100 and 600 models of
// the cooling-and-heating family rated at the demo's nominal conditions, and
// written by ExportReportToPdf; "time_per_page" shows whether the export grows
// linearly with the report. BM_PanelQPdfWriter is the peer: the print pages
// of the same report (built by the report engine, not timed) painted onto
// Qt's QPdfWriter, through the same atomic write (the file synced and
// renamed into place). BM_PanelPdfAgainstQPdfWriter runs both side by side
// on the same pages and gives "own_ms", "qpdfwriter_ms" and "ratio" (the
// QPdfWriter's time over the own writer's). BM_ExportReportToPdf is a
// synthetic 30-page report of four framed cells a band and a logo a page.
//
// The files go to a real folder beside this program, as the user's do: the
// sync of the file and its folder is part of what the user waits on.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QTemporaryDir>
#include <chrono>
#include <stdexcept>
#include <map>
#include <memory>

#include "BenchSupport.h"
#include "BenchCatalogue.h"
#include "engine/Calcoli.h"
#include "engine/Catalogo.h"
#include "engine/Records.h"
#include "pdf/BatchPdf.h"
#include "pdf/PdfImages.h"
#include "platform/AtomicFile.h"
#include "platform/Dataset.h"
#include "platform/QtTextMeasurer.h"
#include "platform/MainWindowLink.h"
#include "platform/Office.h"
#include "report/ARExcelExport.h"
#include "report/ARGridRep.h"
#include "report/ARPrinter.h"
#include "report/ARRep.h"
#include "report/ARUserRep.h"
#include "reports/ReportInputs.h"
#include "reports/Reports.h"
#include "reports/UnitPreview.h"

namespace {

// ---------------------------------------------------------------- panel

// The catalogue loaded and rated once for the whole run.
class RatedCatalogue {
public:
    RatedCatalogue() : open_(100, QStringLiteral("VENTO"))
    {
        Stato.TipoCalcolo = u'T';
        Stato.NumVelocita = 3;
        Stato.ModoCalcolo = 2;
        Stato.VeloCalcolo = 3;
        Stato.TBSFreddo = 27;
        Stato.TBUFreddo = 19;
        Stato.URFreddo = 47.5;
        Stato.TempIngAcquaFreddo = 7;
        Stato.TempUscAcquaFreddo = 12;
        Stato.SalTerAcquaFreddo = 5;
        Stato.TempAriaCaldo = 20;
        Stato.TempIngAcquaCaldo = 70;
        Stato.TempUscAcquaCaldo = 60;
        Stato.SalTerAcquaCaldo = 10;
        for (int s = 1; s <= 3; ++s)
            Stato.PressioneDisponibile[s] = 0;
        caricaDati();
        RigheFirm = QStringList{"Ditta", "Via Roma 1", "Milano"};
        RigheDealer = QStringList{"Rivenditore", "Via Po 2", "Torino"};
        for (int i = 0; i < ListaMacchine.Count(); ++i) {
            fancoil& m = *ListaMacchine.Objects(i);
            for (int s = 1; s <= 3; ++s) {
                try {
                    calcolaPortataAria(m, s, pressioneLimitata(m, s));
                    calcolaFreddoTemperature(m, s);
                    calcolaCaldoTemperature(m, s);
                } catch (...) {
                    // A speed the demo cannot rate keeps its zeros.
                }
            }
            names_ << m.Modello.leftJustified(19, u' ') + QStringLiteral("     0 Pa");
        }
    }
    int count() const { return int(names_.size()); }
    QStringList first(int n) const { return names_.mid(0, n); }

private:
    fc::bench::OpenedCatalogue open_;
    QStringList names_;
};

RatedCatalogue& catalogue()
{
    static RatedCatalogue c;
    return c;
}

// The filled reports by kind and model count, kept for the run.
std::map<std::pair<int, int>, std::unique_ptr<TFormPrew>> forms;

// The filled report of the first n models: 0 the three-speed table, 1 the
// one-speed table, 2 the panel.
TFormPrew& filled(int n, int kind = 2)
{
    auto& form = forms[{kind, n}];
    if (!form) {
        form = std::make_unique<TFormPrew>();
        TReportInputs in;
        in.ModelliSpuntati = catalogue().first(n);
        in.Versione = QStringLiteral("M");
        in.DescVersione = QStringLiteral("Con mobile");
        in.CaptionRif = QStringLiteral("Riferimento:");
        in.Riferimento = QStringLiteral("Uffici piano terra");
        in.TipoReport = kind;
        if (!costruisciReport(in, *form))
            throw std::runtime_error("report not built");
        form->hide();
    }
    return *form;
}

std::unique_ptr<QTemporaryDir> outputFolder()
{
    return std::make_unique<QTemporaryDir>(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_pdf-XXXXXX"));
}

// The print pages of a report painted onto QPdfWriter, written as the
// program writes a file: beside the target, synced, renamed into place.
void writeWithQPdfWriter(const TARPrinter& printer, int pages, const QString& out)
{
    fc::AtomicFile file(out);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot create " + out.toStdString());
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(96);
        QPainter painter(&writer);
        for (int p = 1; p <= pages; ++p) {
            if (p > 1)
                writer.newPage();
            if (const ar::Page* page = printer.Page(p))
                page->Play(painter);
        }
        painter.end();
    }
    if (!file.commit())
        throw std::runtime_error("cannot write " + out.toStdString());
}

// The print pages of the panel report of n models, built once.
TARUserRep* withPages(int n)
{
    TARUserRep& rep = *filled(n).UserRep;
    rep.ShowPrintProgress = false;
    if (rep.Printer()->PageCount() == 0 && !rep.BuildPages(QStringLiteral("Panel")))
        return nullptr;
    return rep.Printer()->PageCount() > 0 ? &rep : nullptr;
}

int pdfPages(const QString& file)
{
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return int(f.readAll().count("/Type /Page\r\n"));
}

void BM_PanelToPdf(benchmark::State& state)
{
    fc::pdf::RegisterPdfClasses();
    const int n = int(state.range(0));
    if (catalogue().count() < n) {
        state.SkipWithError("catalogue too small");
        return;
    }
    const TARRep& rep = *filled(n).UserRep->Rep();
    const auto dir = outputFolder();
    const QString out = dir->filePath(QStringLiteral("panel.pdf"));
    for (auto _ : state)
        ExportReportToPdf(rep, out);
    const int pages = pdfPages(out);
    state.counters["pages"] = pages;
    state.counters["time_per_page"] =
        benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["file_bytes"] = double(QFileInfo(out).size());
}
BENCHMARK(BM_PanelToPdf)->Arg(6)->Arg(27)->Arg(100)->Arg(600)->Unit(benchmark::kMillisecond);

void BM_PanelQPdfWriter(benchmark::State& state)
{
    const int n = int(state.range(0));
    if (catalogue().count() < n) {
        state.SkipWithError("catalogue too small");
        return;
    }
    TARUserRep* rep = withPages(n);
    if (!rep) {
        state.SkipWithError("no print pages");
        return;
    }
    const int pages = rep->Printer()->PageCount();
    const auto dir = outputFolder();
    const QString out = dir->filePath(QStringLiteral("panel.pdf"));
    for (auto _ : state)
        writeWithQPdfWriter(*rep->Printer(), pages, out);
    state.counters["pages"] = pages;
    state.counters["time_per_page"] =
        benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["file_bytes"] = double(QFileInfo(out).size());
}
BENCHMARK(BM_PanelQPdfWriter)->Arg(6)->Arg(27)->Arg(100)->Unit(benchmark::kMillisecond);

// Both writers on the same pages, one after the other at each iteration so
// that the machine's load falls on both alike. The benchmark's time is the
// own writer's.
void BM_PanelPdfAgainstQPdfWriter(benchmark::State& state)
{
    fc::pdf::RegisterPdfClasses();
    const int n = int(state.range(0));
    if (catalogue().count() < n) {
        state.SkipWithError("catalogue too small");
        return;
    }
    TARUserRep* rep = withPages(n);
    if (!rep) {
        state.SkipWithError("no print pages");
        return;
    }
    const int pages = rep->Printer()->PageCount();
    const auto dir = outputFolder();
    const QString own = dir->filePath(QStringLiteral("own.pdf"));
    const QString peer = dir->filePath(QStringLiteral("qpdfwriter.pdf"));
    double ownTotal = 0, peerTotal = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        ExportReportToPdf(*rep->Rep(), own);
        const auto t1 = std::chrono::steady_clock::now();
        writeWithQPdfWriter(*rep->Printer(), pages, peer);
        const auto t2 = std::chrono::steady_clock::now();
        const double o = std::chrono::duration<double>(t1 - t0).count();
        ownTotal += o;
        peerTotal += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(o);
    }
    const double runs = double(state.iterations());
    state.counters["pages"] = pages;
    state.counters["own_ms"] = ownTotal / runs * 1000;
    state.counters["qpdfwriter_ms"] = peerTotal / runs * 1000;
    state.counters["ratio"] = peerTotal / ownTotal;
}
BENCHMARK(BM_PanelPdfAgainstQPdfWriter)->Arg(27)->UseManualTime()->Unit(benchmark::kMillisecond);

// "--> Excel" of the same reports: the workbook written to a file, beside
// the PDF of the same pages above. Args: report kind (0 three-speed table,
// 1 one-speed table, 2 panel) and models; "time_per_band" shows whether the
// export grows linearly with the report.
void BM_ReportToWorkbook(benchmark::State& state)
{
    const int kind = int(state.range(0)), n = int(state.range(1));
    if (catalogue().count() < n) {
        state.SkipWithError("catalogue too small");
        return;
    }
    TFormPrew& form = filled(n, kind);
    const auto dir = outputFolder();
    FileOffice office;
    office.SetOutputFolder(dir->filePath(QStringLiteral("shown")));
    fc::SetOffice(&office);
    TARExcelExport exporter;
    exporter.SetARRep(form.UserRep);
    exporter.FileName = dir->filePath(QStringLiteral("report.xlsx"));
    exporter.CloseAfterDone = true;
    for (auto _ : state)
        exporter.Execute();
    fc::SetOffice(nullptr);
    const int bands = form.UserRep->Rep()->BandCount();
    state.counters["bands"] = bands;
    state.counters["time_per_band"] =
        benchmark::Counter(bands, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["file_bytes"] = double(QFileInfo(exporter.FileName).size());
}
BENCHMARK(BM_ReportToWorkbook)
    ->Args({2, 20})
    ->Args({2, 80})
    ->Args({2, 600})
    ->Args({0, 600})
    ->Args({1, 600})
    ->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- synthetic

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
    const auto dir = outputFolder();
    const QString logo = dir->filePath(QStringLiteral("logo.bmp"));
    QImage img(160, 60, QImage::Format_RGB32);
    img.fill(qRgb(0, 90, 160));
    img.save(logo, "BMP");
    TARRep rep;
    FillReport(rep, logo);
    const QString out = dir->filePath(QStringLiteral("report.pdf"));
    for (auto _ : state)
        ExportReportToPdf(rep, out);
    state.SetLabel("30 pages");
}
BENCHMARK(BM_ExportReportToPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return fc::bench::RunWithApplication(argc, argv, [] { forms.clear(); });
}
