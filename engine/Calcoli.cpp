#include "Calcoli.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "Correzioni.h"
#include "Records.h"
#include "platform/Errors.h"

using fc::CheckFinite;
using fc::Divide;

namespace {

constexpr double kKcalPerW = 0.86;

// The pressure-drop coefficient table spans these mean water temperatures.
constexpr double kTmMin = -20.0;
constexpr double kTmMax = 140.0;

struct ProvaFreddo {
    double Qsens, Qtot, Flow, PD;
};

// The cooling coil's pressure drop at the outlet temperature T and the raw
// flow Flow.
inline double perditaFreddo(const fancoil& model, double T, double Flow, SegmentoPDC* seg)
{
    return perditaCarico((T + Stato.TempIngAcquaFreddo) / 2, Flow, model.PDCNomRaffr, seg);
}

// Cooling coil at the outlet temperature T. PD only when asked for.
inline ProvaFreddo provaFreddo(const fancoil& model, int s, double T, double CoeffSens, double CoeffTot, bool conPD,
                               SegmentoPDC* seg = nullptr)
{
    const double inlet = Stato.TempIngAcquaFreddo;
    const double dT = T - inlet;
    const double Tm = (T + inlet) / 2;
    ProvaFreddo r{};
    r.Qsens = CoeffSens * (Stato.TBSFreddo - Tm) * DatiGlobali.fattSensAlt * model.FattoreSens[s];
    r.Qtot = CoeffTot * (Stato.TBUFreddo - Tm) * DatiGlobali.fattTotAlt * model.FattoreTot[s];
    if (r.Qtot < r.Qsens)
        r.Qtot = r.Qsens;
    r.Flow = Divide(r.Qtot, dT);
    r.PD = conPD ? perditaFreddo(model, T, r.Flow, seg) : 0.0;
    return r;
}

void memorizzaFreddo(fancoil& model, int s, double T, const ProvaFreddo& r)
{
    const globale& g = DatiGlobali;
    model.PerditaFreddo[s] = r.PD * g.fattPDCGlicole;
    model.TIngFreddo[s] = Stato.TempIngAcquaFreddo;
    model.TUscFreddo[s] = T;
    model.PortataFreddo[s] = r.Flow * g.fattPortataGlicole;
    model.ResaTotKcal[s] = r.Qtot * g.fattResaGlicole;
    model.ResaSensKcal[s] = r.Qsens * g.fattResaGlicole;
    model.ResaSensW[s] = model.ResaSensKcal[s] / kKcalPerW;
    model.ResaTotW[s] = model.ResaTotKcal[s] / kKcalPerW;
}

struct ProvaCaldo {
    double Q, Flow, PD;
};

inline double perditaCaldo(const fancoil& model, double T, double Flow, SegmentoPDC* seg)
{
    return perditaCarico((T + Stato.TempIngAcquaCaldo) / 2, Flow, model.PDCNomRisc, seg);
}

inline ProvaCaldo provaCaldo(const fancoil& model, int s, double T, double Coeff, bool conPD, SegmentoPDC* seg = nullptr)
{
    const double inlet = Stato.TempIngAcquaCaldo;
    const double dT = inlet - T;
    const double Tm = (T + inlet) / 2;
    ProvaCaldo r{};
    r.Q = Coeff * (Tm - Stato.TempAriaCaldo) * DatiGlobali.fattCaldoAlt * model.FattoreCaldo[s];
    r.Flow = Divide(r.Q, dT);
    r.PD = conPD ? perditaCaldo(model, T, r.Flow, seg) : 0.0;
    return r;
}

void memorizzaCaldo(fancoil& model, int s, double T, const ProvaCaldo& r)
{
    const globale& g = DatiGlobali;
    model.PerditaCaldo[s] = r.PD * g.fattPDCGlicole;
    model.TIngCaldo[s] = Stato.TempIngAcquaCaldo;
    model.TUscCaldo[s] = T;
    model.PortataCaldo[s] = r.Flow * g.fattPortataGlicole;
    model.ResaCaldoKcal[s] = r.Q * g.fattResaGlicole;
    model.ResaCaldoW[s] = r.Q * g.fattResaGlicole / kKcalPerW;
}

// The outlet-temperature search shared by the four solvers.
//
// f(T) is the raw trial value (flow, or pressure drop carrying the sign of
// the flow, so that a coil giving no capacity reads as below any target).
// Walks 1 K at a time away from the inlet until f crosses Target, then
// bisects the last step down to 0.0001 K and returns the last midpoint in
// T. Returns false when the target is out of reach: the trial value is not
// positive (water on the wrong side of the air), the outlet would pass the
// air's temperature aria (no coil gives water colder than the air it heats,
// nor warmer than the air it cools, whatever the linear rating says), the
// mean water temperature leaves the coefficient table, or kMaxPassiAcqua
// steps did not get there.
template <class F>
bool cercaUscita(double inlet, double verso, double aria, double Target, F f, double& Tout)
{
    if (!(Target > 0))
        return false;
    const auto fuoriTabella = [inlet](double T) {
        const double Tm = (T + inlet) / 2;
        return Tm < kTmMin || Tm > kTmMax;
    };
    double T = inlet + 0.001 * verso;
    if (fuoriTabella(T))
        return false;
    double v = f(T);
    double previous = v;
    double Tprevious = T;
    int passi = 0;
    while ((previous - Target) * (v - Target) > 0) {
        // v decreases as T walks away from the inlet: once it is not
        // positive, it will never come back up to Target.
        if (v <= 0 || passi == kMaxPassiAcqua)
            return false;
        // The last step stops at the air temperature, so that a target
        // within the last degree before it is still bracketed.
        double next = T + verso;
        if ((next - aria) * verso > 0)
            next = aria;
        if ((next - T) * verso <= 0 || fuoriTabella(next))
            return false;
        previous = v;
        Tprevious = T;
        T = next;
        v = f(T);
        ++passi;
    }
    if (passi == 0) {
        // The first trial hit Target exactly: there is no step to bisect.
        Tout = T;
        return true;
    }
    // vicino: the end nearer the inlet, where the value is above Target.
    double vicino = Tprevious;
    double lontano = T;
    double mid = T;
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

double conSegno(double PD, double Flow) { return Flow < 0 ? -PD : PD; }

// The reference speed's water flow and pressure drop into every speed that
// holds a rating of this side.
void copiaRiferimentoFreddo(fancoil& model)
{
    const int ref = Stato.VeloCalcolo;
    if (model.NonCalcolatoFreddo[ref])
        return;
    for (int k = 1; k <= 3; ++k) {
        if (model.NonCalcolatoFreddo[k])
            continue;
        model.PortataFreddo[k] = model.PortataFreddo[ref];
        model.PerditaFreddo[k] = model.PerditaFreddo[ref];
    }
}

void copiaRiferimentoCaldo(fancoil& model)
{
    const int ref = Stato.VeloCalcolo;
    if (model.NonCalcolatoCaldo[ref])
        return;
    for (int k = 1; k <= 3; ++k) {
        if (model.NonCalcolatoCaldo[k])
            continue;
        model.PortataCaldo[k] = model.PortataCaldo[ref];
        model.PerditaCaldo[k] = model.PerditaCaldo[ref];
    }
}

enum class Obiettivo { Portata, PDC };

bool stessiBit(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The solvers keep each trial: the search ends on a trial at the
// temperature it returns, and that trial is the rating to store (with its
// pressure drop, which a flow search does not need until then). The
// pressure-drop table's segment is kept from trial to trial.
template <Obiettivo kind>
bool risolviFreddo(fancoil& model, int s, double Target)
{
    Target = Divide(Target, kind == Obiettivo::Portata ? DatiGlobali.fattPortataGlicole : DatiGlobali.fattPDCGlicole);
    calcolaPortataAria(model, s, pressioneLimitata(model, s));
    const double CoeffSens = model.CoeffResaFrigSens[s];
    const double CoeffTot = std::max(model.CoeffResaFrigTot[s], CoeffSens);
    constexpr bool pd = kind == Obiettivo::PDC;
    SegmentoPDC seg;
    ProvaFreddo prova{};
    double Tprova = 0;
    const auto f = [&](double T) {
        prova = provaFreddo(model, s, T, CoeffSens, CoeffTot, pd, &seg);
        Tprova = T;
        return pd ? conSegno(prova.PD, prova.Flow) : prova.Flow;
    };
    double T = 0;
    if (!cercaUscita(Stato.TempIngAcquaFreddo, +1.0, Stato.TBSFreddo, Target, f, T)) {
        azzeraFreddo(model, s);
        model.NonCalcolatoFreddo[s] = true;
        return false;
    }
    model.NonCalcolatoFreddo[s] = false;
    if (!stessiBit(Tprova, T)) [[unlikely]]
        prova = provaFreddo(model, s, T, CoeffSens, CoeffTot, pd, &seg);
    if constexpr (!pd)
        prova.PD = perditaFreddo(model, T, prova.Flow, &seg);
    memorizzaFreddo(model, s, T, prova);
    copiaRiferimentoFreddo(model);
    return true;
}

template <Obiettivo kind>
bool risolviCaldo(fancoil& model, int s, double Target)
{
    Target = Divide(Target, kind == Obiettivo::Portata ? DatiGlobali.fattPortataGlicole : DatiGlobali.fattPDCGlicole);
    calcolaPortataAria(model, s, pressioneLimitata(model, s));
    const double Coeff = model.CoeffResaTerm[s];
    constexpr bool pd = kind == Obiettivo::PDC;
    SegmentoPDC seg;
    ProvaCaldo prova{};
    double Tprova = 0;
    const auto f = [&](double T) {
        prova = provaCaldo(model, s, T, Coeff, pd, &seg);
        Tprova = T;
        return pd ? conSegno(prova.PD, prova.Flow) : prova.Flow;
    };
    double T = 0;
    if (!cercaUscita(Stato.TempIngAcquaCaldo, -1.0, Stato.TempAriaCaldo, Target, f, T)) {
        azzeraCaldo(model, s);
        model.NonCalcolatoCaldo[s] = true;
        return false;
    }
    model.NonCalcolatoCaldo[s] = false;
    if (!stessiBit(Tprova, T)) [[unlikely]]
        prova = provaCaldo(model, s, T, Coeff, pd, &seg);
    if constexpr (!pd)
        prova.PD = perditaCaldo(model, T, prova.Flow, &seg);
    memorizzaCaldo(model, s, T, prova);
    copiaRiferimentoCaldo(model);
    return true;
}

} // namespace

namespace {

// The fan curve is a pure function of the speed's curve points, nominal air
// flow, the three exponents and the pressure; a run evaluates it several
// times over for each speed of a model (air side, then each rating and
// solver, then the same again for the other side), and each time costs
// three powers. Each model keeps the last evaluation of each speed with
// everything it was computed from, given back only when all of that is the
// same to the bit, so a reused result is the one the evaluation would give.
template <class T, size_t N, class A>
bool uguale(const std::array<T, N>& a, const A& b)
{
    return std::memcmp(a.data(), b.data(), sizeof(T) * N) == 0;
}

bool vale(const CurvaRicordata& r, const fancoil& model, int s, double px)
{
    return r.valida && uguale(r.QA, model.QA[s]) && uguale(r.PSA, model.PSA[s]) && r.PortAria == model.PortAria[s]
        && stessiBit(r.n, model.n) && stessiBit(r.m, model.m) && stessiBit(r.p, model.p) && stessiBit(r.x, px);
}

} // namespace

void azzeraFreddo(fancoil& model, int s)
{
    model.TIngFreddo[s] = 0;
    model.TUscFreddo[s] = 0;
    model.PortataFreddo[s] = 0;
    model.PerditaFreddo[s] = 0;
    model.ResaTotKcal[s] = 0;
    model.ResaTotW[s] = 0;
    model.ResaSensKcal[s] = 0;
    model.ResaSensW[s] = 0;
}

void azzeraCaldo(fancoil& model, int s)
{
    model.TIngCaldo[s] = 0;
    model.TUscCaldo[s] = 0;
    model.PortataCaldo[s] = 0;
    model.PerditaCaldo[s] = 0;
    model.ResaCaldoKcal[s] = 0;
    model.ResaCaldoW[s] = 0;
}

bool calcolaPortataAria(fancoil& model, int s, double x)
{
    const auto& PSA = model.PSA[s];
    const auto& QA = model.QA[s];
    CurvaRicordata& ricordata = model.curvaRicordata[s];
    if (vale(ricordata, model, s, x)) {
        model.FattoreSens[s] = ricordata.FattoreSens;
        model.FattoreTot[s] = ricordata.FattoreTot;
        model.FattoreCaldo[s] = ricordata.FattoreCaldo;
        model.PortataAriaEff[s] = ricordata.PortataAriaEff;
        return ricordata.trovato;
    }
    int j1 = 0, j2 = 0;
    for (int j = 1; j <= 8; ++j) {
        if (PSA[j] < x)
            continue;
        if (PSA[j] == x) {
            j1 = j2 = j;
            break;
        }
        if (j > 1) {
            j1 = j - 1;
            j2 = j;
            break;
        }
        // Below the first point: the first segment extrapolates.
    }
    const bool trovato = j1 > 0;
    double Q;
    if (!trovato)
        Q = QA[8];
    else if (j1 == j2)
        Q = QA[j1];
    else
        // In double: two catalogue flows may differ by more than an int holds.
        Q = QA[j1] - Divide((x - PSA[j1]) * (double(QA[j1]) - double(QA[j2])), PSA[j2] - PSA[j1]);
    Q = std::min(Q, double(QA[1]));
    const double r = Divide(Q, double(model.PortAria[s]));
    // Equal exponents give equal powers: catalogues often share one.
    // Each factor is stored as it is found, so that a power that overflows
    // leaves the ones before it written.
    const double sens = model.FattoreSens[s] = CheckFinite(std::pow(r, model.n));
    const double tot = model.FattoreTot[s] = model.m == model.n ? sens : CheckFinite(std::pow(r, model.m));
    const double caldo = model.FattoreCaldo[s] =
        model.p == model.m ? tot : (model.p == model.n ? sens : CheckFinite(std::pow(r, model.p)));
    model.PortataAriaEff[s] = Q;
    ricordata.valida = true;
    std::memcpy(ricordata.QA.data(), QA.data(), sizeof ricordata.QA);
    std::memcpy(ricordata.PSA.data(), PSA.data(), sizeof ricordata.PSA);
    ricordata.PortAria = model.PortAria[s];
    ricordata.n = model.n;
    ricordata.m = model.m;
    ricordata.p = model.p;
    ricordata.x = x;
    ricordata.FattoreSens = sens;
    ricordata.FattoreTot = tot;
    ricordata.FattoreCaldo = caldo;
    ricordata.PortataAriaEff = Q;
    ricordata.trovato = trovato;
    return trovato;
}

double resaFreddoPDC(fancoil& model, int s, bool store, double T, double CoeffSens, double CoeffTot)
{
    const ProvaFreddo r = provaFreddo(model, s, T, CoeffSens, CoeffTot, true);
    if (store)
        memorizzaFreddo(model, s, T, r);
    return r.PD;
}

double resaFreddoPortata(fancoil& model, int s, bool store, double T, double CoeffSens, double CoeffTot)
{
    const ProvaFreddo r = provaFreddo(model, s, T, CoeffSens, CoeffTot, store);
    if (store)
        memorizzaFreddo(model, s, T, r);
    return r.Flow;
}

double resaCaldoPDC(fancoil& model, int s, bool store, double T, double Coeff)
{
    const ProvaCaldo r = provaCaldo(model, s, T, Coeff, true);
    if (store)
        memorizzaCaldo(model, s, T, r);
    return r.PD;
}

double resaCaldoPortata(fancoil& model, int s, bool store, double T, double Coeff)
{
    const ProvaCaldo r = provaCaldo(model, s, T, Coeff, store);
    if (store)
        memorizzaCaldo(model, s, T, r);
    return r.Flow;
}

void calcolaFreddoTemperature(fancoil& model, int s)
{
    const globale& g = DatiGlobali;
    const double inlet = Stato.TempIngAcquaFreddo;
    const double outlet = Stato.TempUscAcquaFreddo;
    model.TIngFreddo[s] = inlet;
    model.TUscFreddo[s] = outlet;
    const double dT = outlet - inlet;
    const double Tm = (outlet + inlet) / 2;
    calcolaPortataAria(model, s, pressioneLimitata(model, s));
    const double Qsens = model.CoeffResaFrigSens[s] * (Stato.TBSFreddo - Tm) * g.fattSensAlt * model.FattoreSens[s];
    double Qtot = model.CoeffResaFrigTot[s] * (Stato.TBUFreddo - Tm) * g.fattTotAlt * model.FattoreTot[s];
    if (Qtot < Qsens)
        Qtot = Qsens;
    // Water no colder than the air cools nothing, and water that leaves
    // colder than it came cannot have taken heat from it: not rated, with
    // nothing negative and nothing of an earlier run in its fields. A zero
    // difference still divides, and fails as such.
    if (!(Qtot > 0) || dT < 0) {
        azzeraFreddo(model, s);
        model.NonCalcolatoFreddo[s] = true;
        return;
    }
    model.NonCalcolatoFreddo[s] = false;
    const double Flow = Divide(Qtot, dT);
    model.ResaSensKcal[s] = Qsens * g.fattResaGlicole;
    model.ResaSensW[s] = model.ResaSensKcal[s] / kKcalPerW;
    model.ResaTotKcal[s] = Qtot * g.fattResaGlicole;
    model.ResaTotW[s] = model.ResaTotKcal[s] / kKcalPerW;
    model.PortataFreddo[s] = g.fattPortataGlicole * Flow;
    model.PerditaFreddo[s] = perditaCarico(Tm, Flow, model.PDCNomRaffr) * g.fattPDCGlicole;
}

void calcolaCaldoTemperature(fancoil& model, int s)
{
    const globale& g = DatiGlobali;
    const double inlet = Stato.TempIngAcquaCaldo;
    const double outlet = Stato.TempUscAcquaCaldo;
    model.TIngCaldo[s] = inlet;
    model.TUscCaldo[s] = outlet;
    const double dT = inlet - outlet;
    const double Tm = (outlet + inlet) / 2;
    calcolaPortataAria(model, s, pressioneLimitata(model, s));
    const double Q = model.CoeffResaTerm[s] * (Tm - Stato.TempAriaCaldo) * g.fattCaldoAlt * model.FattoreCaldo[s];
    // As for cooling: no heat from water no warmer than the air, nor from
    // water that leaves warmer than it came.
    if (!(Q > 0) || dT < 0) {
        azzeraCaldo(model, s);
        model.NonCalcolatoCaldo[s] = true;
        return;
    }
    model.NonCalcolatoCaldo[s] = false;
    const double Flow = Divide(Q, dT);
    model.ResaCaldoKcal[s] = Q * g.fattResaGlicole;
    model.ResaCaldoW[s] = model.ResaCaldoKcal[s] / kKcalPerW;
    model.PortataCaldo[s] = g.fattPortataGlicole * Flow;
    model.PerditaCaldo[s] = perditaCarico(Tm, Flow, model.PDCNomRisc) * g.fattPDCGlicole;
}

bool calcolaFreddoPortata(fancoil& model, int s, double Target) { return risolviFreddo<Obiettivo::Portata>(model, s, Target); }
bool calcolaFreddoPDC(fancoil& model, int s, double Target) { return risolviFreddo<Obiettivo::PDC>(model, s, Target); }
bool calcolaCaldoPortata(fancoil& model, int s, double Target) { return risolviCaldo<Obiettivo::Portata>(model, s, Target); }
bool calcolaCaldoPDC(fancoil& model, int s, double Target) { return risolviCaldo<Obiettivo::PDC>(model, s, Target); }
