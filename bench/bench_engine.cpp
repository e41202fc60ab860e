// Rating engine: a cooling run at a required water flow over a large
// catalogue, a cooling-then-heating run at given water temperatures beside
// a plain loop of the same algorithm (and again after a change of the
// static pressure), and the humidity search of the cooling page.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/Calcoli.h"
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

// The run a user starts most: cooling, then heating, both at the water
// temperatures given (the reference speed rated directly, the other two
// speeds solved for its water pressure drop), over 1000 ticked models of
// three speeds. One iteration is both batches.
void condizioniTemperature()
{
    condizioni();
    Stato.DatiInRaffredda = 0;
    Stato.TempUscAcquaFreddo = 12;
    Stato.DatiInRiscalda = 0;
    Stato.TempAriaCaldo = 20;
    Stato.TempIngAcquaCaldo = 50;
    Stato.TempUscAcquaCaldo = 45;
}

void BM_BatchFreddoCaldo(benchmark::State& state)
{
    ScopedFakeMainWindow mw;
    condizioniTemperature();
    catalogo(mw);
    for (auto _ : state) {
        calcolaRaffreddamento();
        calcolaRiscaldamento();
        benchmark::DoNotOptimize(ListaMacchine.Objects(kModelli - 1)->ResaCaldoW[3]);
    }
    state.SetItemsProcessed(state.iterations() * kModelli * 3);
    int nonCalcolati = 0;
    for (int i = 0; i < ListaMacchine.Count(); ++i)
        for (int s = 1; s <= 3; ++s)
            nonCalcolati += ListaMacchine.Objects(i)->NonCalcolatoFreddo[s] + ListaMacchine.Objects(i)->NonCalcolatoCaldo[s];
    state.counters["not_rated"] = nonCalcolati;
    ListaMacchine.Clear();
}
BENCHMARK(BM_BatchFreddoCaldo)->Unit(benchmark::kMillisecond);

// The same run after the user changed the available static pressure: it
// alternates between 30 and 31 Pa from one iteration to the next, so no
// fan-curve evaluation of the run before can be given back and every
// model's curve is evaluated afresh (once, for both sides).
void BM_BatchFreddoCaldoPressioneNuova(benchmark::State& state)
{
    ScopedFakeMainWindow mw;
    condizioniTemperature();
    catalogo(mw);
    double pressione = 30;
    for (auto _ : state) {
        for (int s = 1; s <= 3; ++s)
            Stato.PressioneDisponibile[s] = pressione;
        pressione = pressione == 30 ? 31 : 30;
        calcolaRaffreddamento();
        calcolaRiscaldamento();
        benchmark::DoNotOptimize(ListaMacchine.Objects(kModelli - 1)->ResaCaldoW[3]);
    }
    state.SetItemsProcessed(state.iterations() * kModelli * 3);
    ListaMacchine.Clear();
}
BENCHMARK(BM_BatchFreddoCaldoPressioneNuova)->Unit(benchmark::kMillisecond);

// The peer of the engine's cooling-then-heating run: the same algorithm as
// the plainest fair loop writes it, over plain arrays, with bare divisions
// and no checks, registry lookups or check list: each fan curve evaluated
// once a model and speed for both sides, the pressure-drop table's row
// looked up directly from the mean water temperature. Its outputs are the
// engine's to the bit. The figure the engine is held to:
// BM_BatchFreddoCaldoPressioneNuova (every curve afresh, as here) over this
// ("ratio_to_engine" gives this one's time over the engine's).
namespace piano {

struct Modello {
    double QA[4][9], PSA[4][9];
    double PortAria[4], CoeffSens[4], CoeffTot[4], CoeffCaldo[4];
    double PDCNomRaffr, PDCNomRisc, n, m, p;
    double FattSens[4], FattTot[4], FattCaldo[4], PortataAria[4];
    double TUscFreddo[4], PortataFreddo[4], PerditaFreddo[4], ResaTotW[4], ResaSensW[4];
    double TUscCaldo[4], PortataCaldo[4], PerditaCaldo[4], ResaCaldoW[4];
};

struct Condizioni {
    double TBS, TBU, TIngF, TUscF, TAria, TIngC, TUscC, pressione[4];
    double fSens, fTot, fCaldo, gResa, gPortata, gPDC, coeffPDC[34];
};

// Row i stands for (i - 5) * 5 degC: the first row not below Tm, found
// from Tm itself (and settled against the rows, so that rounding cannot
// move it).
inline double coeffPDC(const Condizioni& c, double Tm)
{
    if (!(Tm <= 140.0))
        return c.coeffPDC[33];
    int i = 1;
    if (Tm > -20.0) {
        i = std::clamp(5 + int(Tm * 0.2), 1, 33);
        while (i > 1 && (i - 6) * 5.0 >= Tm)
            --i;
        while ((i - 5) * 5.0 < Tm)
            ++i;
    }
    if ((i - 5) * 5.0 == Tm)
        return c.coeffPDC[i];
    const int b = i == 1 ? 2 : i, a = b - 1;
    return c.coeffPDC[a] + (c.coeffPDC[b] - c.coeffPDC[a]) * (Tm - (a - 5) * 5.0) / ((b - 5) * 5.0 - (a - 5) * 5.0);
}

inline double perdita(const Condizioni& c, double Tm, double Flow, double Kv)
{
    const double r = Flow / Kv;
    return coeffPDC(c, Tm) * (r * r);
}

inline void aria(Modello& md, int s, double x)
{
    int j1 = 0, j2 = 0;
    for (int j = 1; j <= 8; ++j) {
        if (md.PSA[s][j] < x)
            continue;
        if (md.PSA[s][j] == x) {
            j1 = j2 = j;
            break;
        }
        if (j > 1) {
            j1 = j - 1;
            j2 = j;
            break;
        }
    }
    double Q;
    if (j1 == 0)
        Q = md.QA[s][8];
    else if (j1 == j2)
        Q = md.QA[s][j1];
    else
        Q = md.QA[s][j1] - (x - md.PSA[s][j1]) * (md.QA[s][j1] - md.QA[s][j2]) / (md.PSA[s][j2] - md.PSA[s][j1]);
    Q = std::min(Q, md.QA[s][1]);
    const double r = Q / md.PortAria[s];
    md.FattSens[s] = std::pow(r, md.n);
    md.FattTot[s] = std::pow(r, md.m);
    md.FattCaldo[s] = std::pow(r, md.p);
    md.PortataAria[s] = Q;
}

// The outlet search of the solvers: 1 K steps away from the inlet, then
// bisection of the last step, with the same bounds as the engine's.
template <class F>
bool cerca(double inlet, double verso, double limite, double Target, F f, double& Tout)
{
    const auto fuori = [inlet](double T) {
        const double Tm = (T + inlet) / 2;
        return Tm < -20.0 || Tm > 140.0;
    };
    if (!(Target > 0))
        return false;
    double T = inlet + 0.001 * verso;
    if (fuori(T))
        return false;
    double v = f(T), previous = v, Tprevious = T;
    int passi = 0;
    while ((previous - Target) * (v - Target) > 0) {
        if (v <= 0 || passi == kMaxPassiAcqua)
            return false;
        double next = T + verso;
        if ((next - limite) * verso > 0)
            next = limite;
        if ((next - T) * verso <= 0 || fuori(next))
            return false;
        previous = v;
        Tprevious = T;
        T = next;
        v = f(T);
        ++passi;
    }
    if (passi == 0) {
        Tout = T;
        return true;
    }
    double vicino = Tprevious, lontano = T, mid = T;
    while (std::fabs(lontano - vicino) > 0.0001) {
        mid = (vicino + lontano) / 2;
        v = f(mid);
        if (v > Target)
            vicino = mid;
        else if (v < Target)
            lontano = mid;
        else
            break;
    }
    Tout = mid;
    return true;
}

// The air side of every speed, once for both sides.
void curve(Modello& md, const Condizioni& c)
{
    for (int s = 1; s <= 3; ++s)
        aria(md, s, std::min(c.pressione[s], md.PSA[s][8]));
}

void freddo(Modello& md, const Condizioni& c, int ref)
{
    // The reference speed at the given temperatures.
    {
        const double dT = c.TUscF - c.TIngF, Tm = (c.TUscF + c.TIngF) / 2;
        const double Qs = md.CoeffSens[ref] * (c.TBS - Tm) * c.fSens * md.FattSens[ref];
        double Qt = md.CoeffTot[ref] * (c.TBU - Tm) * c.fTot * md.FattTot[ref];
        if (Qt < Qs)
            Qt = Qs;
        const double Flow = Qt / dT;
        md.TUscFreddo[ref] = c.TUscF;
        md.ResaSensW[ref] = Qs * c.gResa / 0.86;
        md.ResaTotW[ref] = Qt * c.gResa / 0.86;
        md.PortataFreddo[ref] = c.gPortata * Flow;
        md.PerditaFreddo[ref] = perdita(c, Tm, Flow, md.PDCNomRaffr) * c.gPDC;
    }
    // The other speeds at its pressure drop.
    const double Target = md.PerditaFreddo[ref] / c.gPDC;
    for (int s = 1; s <= 3; ++s) {
        if (s == ref)
            continue;
        const double cs = md.CoeffSens[s], ct = std::max(md.CoeffTot[s], cs);
        const auto prova = [&](double T, double& Qs, double& Qt, double& Flow) {
            const double Tm = (T + c.TIngF) / 2;
            Qs = cs * (c.TBS - Tm) * c.fSens * md.FattSens[s];
            Qt = ct * (c.TBU - Tm) * c.fTot * md.FattTot[s];
            if (Qt < Qs)
                Qt = Qs;
            Flow = Qt / (T - c.TIngF);
            return perdita(c, Tm, Flow, md.PDCNomRaffr);
        };
        const auto f = [&](double T) {
            double Qs, Qt, Flow;
            const double PD = prova(T, Qs, Qt, Flow);
            return Flow < 0 ? -PD : PD;
        };
        double T = 0;
        if (!cerca(c.TIngF, +1.0, c.TBS, Target, f, T))
            continue;
        double Qs, Qt, Flow;
        const double PD = prova(T, Qs, Qt, Flow);
        md.TUscFreddo[s] = T;
        md.ResaSensW[s] = Qs * c.gResa / 0.86;
        md.ResaTotW[s] = Qt * c.gResa / 0.86;
        md.PortataFreddo[s] = md.PortataFreddo[ref];
        md.PerditaFreddo[s] = md.PerditaFreddo[ref];
        benchmark::DoNotOptimize(PD);
    }
}

void caldo(Modello& md, const Condizioni& c, int ref)
{
    {
        const double dT = c.TIngC - c.TUscC, Tm = (c.TUscC + c.TIngC) / 2;
        const double Q = md.CoeffCaldo[ref] * (Tm - c.TAria) * c.fCaldo * md.FattCaldo[ref];
        const double Flow = Q / dT;
        md.TUscCaldo[ref] = c.TUscC;
        md.ResaCaldoW[ref] = Q * c.gResa / 0.86;
        md.PortataCaldo[ref] = c.gPortata * Flow;
        md.PerditaCaldo[ref] = perdita(c, Tm, Flow, md.PDCNomRisc) * c.gPDC;
    }
    const double Target = md.PerditaCaldo[ref] / c.gPDC;
    for (int s = 1; s <= 3; ++s) {
        if (s == ref)
            continue;
        const double k = md.CoeffCaldo[s];
        const auto prova = [&](double T, double& Q, double& Flow) {
            const double Tm = (T + c.TIngC) / 2;
            Q = k * (Tm - c.TAria) * c.fCaldo * md.FattCaldo[s];
            Flow = Q / (c.TIngC - T);
            return perdita(c, Tm, Flow, md.PDCNomRisc);
        };
        const auto f = [&](double T) {
            double Q, Flow;
            const double PD = prova(T, Q, Flow);
            return Flow < 0 ? -PD : PD;
        };
        double T = 0;
        if (!cerca(c.TIngC, -1.0, c.TAria, Target, f, T))
            continue;
        double Q, Flow;
        benchmark::DoNotOptimize(prova(T, Q, Flow));
        md.TUscCaldo[s] = T;
        md.ResaCaldoW[s] = Q * c.gResa / 0.86;
        md.PortataCaldo[s] = md.PortataCaldo[ref];
        md.PerditaCaldo[s] = md.PerditaCaldo[ref];
    }
}

Modello copia(const fancoil& f)
{
    Modello md{};
    for (int s = 1; s <= 3; ++s) {
        for (int j = 1; j <= 8; ++j) {
            md.QA[s][j] = f.QA[s][j];
            md.PSA[s][j] = f.PSA[s][j];
        }
        md.PortAria[s] = f.PortAria[s];
        md.CoeffSens[s] = f.CoeffResaFrigSens[s];
        md.CoeffTot[s] = f.CoeffResaFrigTot[s];
        md.CoeffCaldo[s] = f.CoeffResaTerm[s];
    }
    md.PDCNomRaffr = f.PDCNomRaffr;
    md.PDCNomRisc = f.PDCNomRisc;
    md.n = f.n;
    md.m = f.m;
    md.p = f.p;
    return md;
}

Condizioni condizioniCorrenti()
{
    Condizioni c{};
    c.TBS = Stato.TBSFreddo;
    c.TBU = Stato.TBUFreddo;
    c.TIngF = Stato.TempIngAcquaFreddo;
    c.TUscF = Stato.TempUscAcquaFreddo;
    c.TAria = Stato.TempAriaCaldo;
    c.TIngC = Stato.TempIngAcquaCaldo;
    c.TUscC = Stato.TempUscAcquaCaldo;
    for (int s = 1; s <= 3; ++s)
        c.pressione[s] = Stato.PressioneDisponibile[s];
    c.fSens = DatiGlobali.fattSensAlt;
    c.fTot = DatiGlobali.fattTotAlt;
    c.fCaldo = DatiGlobali.fattCaldoAlt;
    c.gResa = DatiGlobali.fattResaGlicole;
    c.gPortata = DatiGlobali.fattPortataGlicole;
    c.gPDC = DatiGlobali.fattPDCGlicole;
    for (int i = 1; i <= 33; ++i)
        c.coeffPDC[i] = DatiGlobali.CoeffPDC[i];
    return c;
}

} // namespace piano

// The engine's cooling-then-heating run beside its fair plain loop, in one
// benchmark so that both run on the machine as it is: arg 0 with the fan
// curves as a run finds them (kept by the engine from the run before, by
// the loop evaluated once a model and speed before it starts), arg 1 with
// every curve evaluated afresh in each run (the pressure changes from one
// run to the next). The benchmark's time is the engine's; "peer_ms" is the
// loop's, "ratio" the engine's time over the loop's. The loop's numbers
// must be the engine's to the bit.
void BM_RatingAgainstPlainLoop(benchmark::State& state)
{
    const bool afresh = state.range(0) != 0;
    ScopedFakeMainWindow mw;
    condizioniTemperature();
    catalogo(mw);
    std::vector<piano::Modello> modelli;
    for (int i = 0; i < kModelli; ++i)
        modelli.push_back(piano::copia(*ListaMacchine.Objects(i)));
    piano::Condizioni c = piano::condizioniCorrenti();
    const int ref = Stato.VeloCalcolo;
    auto peerRun = [&] {
        for (piano::Modello& md : modelli) {
            if (afresh)
                piano::curve(md, c);
            piano::freddo(md, c, ref);
        }
        for (piano::Modello& md : modelli)
            piano::caldo(md, c, ref);
        benchmark::DoNotOptimize(modelli.back().ResaCaldoW[3]);
    };
    double pressione = 30;
    auto nextPressure = [&] {
        if (!afresh)
            return;
        pressione = pressione == 30 ? 31 : 30;
        for (int s = 1; s <= 3; ++s)
            Stato.PressioneDisponibile[s] = c.pressione[s] = pressione;
    };
    // The state a run finds: the curves of the run before.
    for (piano::Modello& md : modelli)
        piano::curve(md, c);
    calcolaRaffreddamento();
    calcolaRiscaldamento();
    using Clock = std::chrono::steady_clock;
    double engine = 0, peer = 0;
    for (auto _ : state) {
        nextPressure();
        const auto t0 = Clock::now();
        calcolaRaffreddamento();
        calcolaRiscaldamento();
        benchmark::DoNotOptimize(ListaMacchine.Objects(kModelli - 1)->ResaCaldoW[3]);
        const auto t1 = Clock::now();
        peerRun();
        const auto t2 = Clock::now();
        const double e = std::chrono::duration<double>(t1 - t0).count();
        engine += e;
        peer += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(e);
    }
    state.SetItemsProcessed(state.iterations() * kModelli * 3);
    state.counters["peer_ms"] = peer * 1000 / double(state.iterations());
    state.counters["ratio"] = engine / peer;
    // The same inputs once more for both, then their numbers compared.
    int diversi = 0;
    for (int i = 0; i < kModelli; ++i) {
        const fancoil& f = *ListaMacchine.Objects(i);
        const piano::Modello& md = modelli[size_t(i)];
        for (int s = 1; s <= 3; ++s)
            diversi += f.TUscFreddo[s] != md.TUscFreddo[s] || f.ResaTotW[s] != md.ResaTotW[s]
                || f.ResaSensW[s] != md.ResaSensW[s] || f.PerditaFreddo[s] != md.PerditaFreddo[s]
                || f.PortataFreddo[s] != md.PortataFreddo[s] || f.TUscCaldo[s] != md.TUscCaldo[s]
                || f.ResaCaldoW[s] != md.ResaCaldoW[s] || f.PerditaCaldo[s] != md.PerditaCaldo[s]
                || f.PortataCaldo[s] != md.PortataCaldo[s];
    }
    if (diversi)
        state.SkipWithError("the plain loop does not give the engine's numbers");
    ListaMacchine.Clear();
}
BENCHMARK(BM_RatingAgainstPlainLoop)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

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
