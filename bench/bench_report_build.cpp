// The selection reports as a user waits on them, on the demo catalogue
// repeated 100 times (one family of 600 models): filling the three-speed
// table for the first 1, 20, 100 and 600 models of the family after a
// cooling and heating run (template read, every variable set, every band
// appended), and building the printed pages of the panel (one page per
// model, 1 to 600 pages) as the preview window's Print button does, with
// the page store's bytes per page (its
// shared pens, fonts and images spread over the pages).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "BenchSupport.h"
#include "BenchCatalogue.h"
#include "engine/Catalogo.h"
#include "engine/Correzioni.h"
#include "engine/Records.h"
#include "engine/Psicrometria.h"
#include "engine/Selezione.h"
#include "platform/Dataset.h"
#include "platform/MainWindowLink.h"
#include "platform/QtTextMeasurer.h"
#include "report/ARPrinter.h"
#include "report/ARRep.h"
#include "report/ARUserRep.h"
#include "reports/Reports.h"
#include "reports/UnitPreview.h"

namespace {

// The catalogue loaded as the main window loads it for family VENTO,
// version M, every model rated for cooling and heating; the ticked list
// holds the first `ticked` models.
class Session {
public:
    Session() : open_(100, QStringLiteral("VENTO")), mw_(open_.link())
    {
        caricaDati();
        for (int i = 0; i < ListaMacchine.Count(); ++i)
            if (ListaMacchine.Objects(i)->Tipo == QLatin1String("VENTO"))
                mw_.models.push_back({ListaMacchine.Strings(i).leftJustified(19, u' ') + QStringLiteral("   35   45   60"), true});

        correzioneGlicole(0);
        correzioneAltitudine(0);
        UnitaSI = true;
        Stato.ModoCalcolo = 2;
        Stato.VeloCalcolo = 3;
        Stato.TBSFreddo = 27;
        Stato.TBUFreddo = 19;
        Stato.URFreddo = 47.4;
        Stato.TempIngAcquaFreddo = 7;
        Stato.TempAriaCaldo = 20;
        Stato.TempIngAcquaCaldo = 70;
        Stato.PressioneStatica = 1;
        for (int s = 1; s <= 3; ++s)
            Stato.PressioneDisponibile[s] = 20;
        Stato.DatiInRaffredda = 1;
        Stato.PortAcquaRichiestaFreddo = 600;
        Stato.DatiInRiscalda = 1;
        Stato.PortAcquaRichiesta = 400;
        calcolaRaffreddamento();
        calcolaRiscaldamento();

        in_.Versione = QStringLiteral("M");
        in_.DescVersione = QStringLiteral("Con mobile");
        in_.CaptionRif = QStringLiteral("Riferimento:");
        in_.Riferimento = QStringLiteral("Hotel Nord");
        in_.Prezzi.CheckListino = in_.Prezzi.CheckNetto = in_.Prezzi.CheckSconto = true;
        in_.Prezzi.Sconto = true;
        in_.Prezzi.Sconto1 = 10;
    }
    int familySize() const { return int(mw_.models.size()); }
    // The first n models ticked for the report.
    TReportInputs& inputs(int n, int tipoReport)
    {
        in_.ModelliSpuntati.clear();
        for (int i = 0; i < n && i < int(mw_.models.size()); ++i)
            in_.ModelliSpuntati << mw_.models[size_t(i)].text;
        in_.TipoReport = tipoReport;
        return in_;
    }
    TFormPrew& form() { return form_; }

private:
    fc::bench::OpenedCatalogue open_;
    FakeMainWindowLink& mw_;
    TReportInputs in_;
    TFormPrew form_;
};

// Kept to the end of the process: its windows must not outlive the
// application object, which main's return destroys before any static.
Session& session()
{
    static Session* s = new Session;
    return *s;
}

void sizes(benchmark::internal::Benchmark* b)
{
    for (int n : {1, 20, 100, 600})
        b->Arg(n);
}

// Filling the three-speed table of n models: nine per page.
void BM_FillThreeSpeedTable(benchmark::State& state)
{
    Session& s = session();
    const int n = int(state.range(0));
    if (s.familySize() < n) {
        state.SkipWithError("family too small");
        return;
    }
    TReportInputs& in = s.inputs(n, 0);
    for (auto _ : state) {
        if (!reportTreVelocita(in, s.form())) {
            state.SkipWithError("report not built");
            return;
        }
    }
    state.counters["bands"] = s.form().UserRep->Rep()->BandCount();
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_FillThreeSpeedTable)->Apply(sizes)->Unit(benchmark::kMillisecond);

// Building the printed pages of a panel of n models (n pages), filled once.
void BM_BuildPanelPages(benchmark::State& state)
{
    Session& s = session();
    const int n = int(state.range(0));
    if (s.familySize() < n || !reportPannello(s.inputs(n, 2), s.form())) {
        state.SkipWithError("report not built");
        return;
    }
    TARUserRep& rep = *s.form().UserRep;
    for (auto _ : state)
        benchmark::DoNotOptimize(rep.BuildPages(QStringLiteral("Preparing pages")));
    const TARPrinter& pr = *rep.Printer();
    state.counters["pages"] = pr.PageCount();
    state.counters["bytes_per_page"] = pr.PageCount() ? double(pr.Bytes()) / pr.PageCount() : 0;
    state.SetItemsProcessed(state.iterations() * pr.PageCount());
}
BENCHMARK(BM_BuildPanelPages)->Arg(1)->Arg(27)->Arg(100)->Arg(600)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return fc::bench::RunWithApplication(argc, argv);
}
