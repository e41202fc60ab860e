// Rating engine: a cooling run at a required water flow over a large
// catalogue, and the humidity search of the cooling page.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "engine/Catalogo.h"
#include "engine/Correzioni.h"
#include "engine/Psicrometria.h"
#include "engine/Records.h"
#include "engine/Selezione.h"
#include "platform/MainWindowLink.h"

namespace {

constexpr int kModelli = 1000;

// A three-speed catalogue of kModelli models from 200 to about 2200 m3/h,
// ticked in the check list.
void catalogo(FakeMainWindowLink& mw)
{
    ListaMacchine.Clear();
    mw.models.clear();
    const int nominal[4] = {0, 60, 80, 100};
    for (int i = 0; i < kModelli; ++i) {
        const double size = 2.0 + 20.0 * i / kModelli;
        auto m = std::make_unique<fancoil>();
        m->Modello = QStringLiteral("FCB %1").arg(i, 4, 10, QLatin1Char('0'));
        m->NumVelocita = 3;
        m->PDCNomRaffr = 16 * size;
        m->PDCNomRisc = 10 * size;
        m->n = 0.8;
        m->m = 0.9;
        m->p = 0.85;
        for (int s = 1; s <= 3; ++s) {
            const int q = int(std::lround(nominal[s] * size));
            m->PortAria[s] = q;
            m->CoeffResaFrigTot[s] = 0.4 * q;
            m->CoeffResaFrigSens[s] = 0.16 * q;
            m->CoeffResaTerm[s] = 0.13 * q;
            for (int j = 1; j <= 8; ++j) {
                m->QA[s][j] = int(std::lround(q * (1 - 0.08 * (j - 1))));
                m->PSA[s][j] = 5 + 10.0 * (j - 1);
            }
        }
        const QString key = m->Modello;
        mw.models.push_back({key.leftJustified(19, QLatin1Char(' ')) + QStringLiteral("   35   45   60"), true});
        ListaMacchine.Add(key, std::move(m));
    }
}

void condizioni()
{
    ResetEngineRecords();
    caricaTabelleParametri();
    correzioneGlicole(20);
    correzioneAltitudine(500);
    UnitaSI = true;
    Limiti[9] = {5, 95};
    Stato.NumVelocita = 3;
    Stato.VeloCalcolo = 3;
    Stato.TBSFreddo = 27;
    Stato.TBUFreddo = 19;
    Stato.TempIngAcquaFreddo = 7;
    Stato.PressioneStatica = 1;
    for (int s = 1; s <= 3; ++s)
        Stato.PressioneDisponibile[s] = 30;
    Stato.DatiInRaffredda = 1;
    Stato.PortAcquaRichiestaFreddo = 600;
}

// One iteration rates every model at every speed; the reported time per
// item is per model and speed.
void BM_CalcolaRaffreddamentoPortata(benchmark::State& state)
{
    ScopedFakeMainWindow mw;
    condizioni();
    catalogo(mw);
    for (auto _ : state) {
        calcolaRaffreddamento();
        benchmark::DoNotOptimize(ListaMacchine.Objects(kModelli - 1)->ResaTotW[3]);
    }
    state.SetItemsProcessed(state.iterations() * kModelli * 3);
    state.counters["s_per_model_speed"] =
        benchmark::Counter(double(state.iterations()) * kModelli * 3, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    // Every speed of the catalogue must have been solved, not given up.
    int nonCalcolati = 0;
    for (int i = 0; i < ListaMacchine.Count(); ++i)
        for (int s = 1; s <= 3; ++s)
            nonCalcolati += ListaMacchine.Objects(i)->NonCalcolatoFreddo[s];
    state.counters["not_rated"] = nonCalcolati;
    ListaMacchine.Clear();
}
BENCHMARK(BM_CalcolaRaffreddamentoPortata)->Unit(benchmark::kMillisecond);

// A grid of dry bulbs 10..40 degC and wet bulbs from 2 K below the dry
// bulb downwards, clamped and unclamped cases alike, at two altitudes.
void BM_UmiditaRelativa(benchmark::State& state)
{
    ScopedFakeMainWindow mw;
    condizioni();
    int calls = 0;
    for (auto _ : state) {
        for (int alt : {0, 1500}) {
            Stato.Altitud = alt;
            for (double tdb = 10; tdb <= 40; tdb += 2.5) {
                for (double twb = tdb - 2; twb > tdb - 22; twb -= 2) {
                    benchmark::DoNotOptimize(umiditaRelativa(twb, tdb));
                    ++calls;
                }
            }
        }
    }
    state.SetItemsProcessed(calls);
    state.counters["s_per_call"] =
        benchmark::Counter(double(calls), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UmiditaRelativa)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
