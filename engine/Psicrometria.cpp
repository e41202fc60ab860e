#include "Psicrometria.h"

#include <cmath>

#include "Records.h"
#include "platform/Errors.h"
#include "platform/MainWindowLink.h"

namespace {

struct RigaBarometrica {
    double ft, inHg;
};

constexpr RigaBarometrica kBarometrica[] = {
    {-1000, 31.02}, {-500, 30.47}, {0, 29.921},   {500, 29.38},   {1000, 28.86},  {2000, 27.82}, {3000, 26.82},
    {4000, 25.82},  {5000, 24.9},  {6000, 23.98}, {7000, 23.09},  {8000, 22.22},  {9000, 21.39}, {10000, 20.48},
    {15000, 16.89}, {20000, 13.76}, {30000, 8.9}, {40000, 5.56},  {50000, 3.44},  {60000, 2.14},
};
constexpr int kRigheBarometrica = int(sizeof(kBarometrica) / sizeof(kBarometrica[0]));

double aFahrenheit(double c) { return c * 9 / 5 + 32; }
double aCelsius(double f) { return (f - 32) * 5 / 9; }

} // namespace

double pressioneBarometrica(double a)
{
    int i = 0;
    while (i < kRigheBarometrica && kBarometrica[i].ft < a)
        ++i;
    if (i == kRigheBarometrica)
        return kBarometrica[kRigheBarometrica - 1].inHg;
    if (kBarometrica[i].ft == a)
        return kBarometrica[i].inHg;
    const int b = i == 0 ? 1 : i;
    const RigaBarometrica& ra = kBarometrica[b - 1];
    const RigaBarometrica& rb = kBarometrica[b];
    return ra.inHg + (rb.inHg - ra.inHg) * (a - ra.ft) / (rb.ft - ra.ft);
}

double pressioneSaturazione(double T)
{
    const double TR = T + 459.67;
    // Each coefficient multiplies its power of TR.
    const double TR2 = TR * TR, TR3 = TR2 * TR, TR4 = TR3 * TR;
    double lnpws;
    if (T < 32) {
        const double C1 = -10214.16462, C2 = -4.89350301, C3 = -0.00537657944, C4 = 1.92023769e-7,
                     C5 = 3.55758316e-10, C6 = -9.03446886e-14, C7 = 4.1635019;
        lnpws = C1 / TR + C2 + C3 * TR + C4 * TR2 + C5 * TR3 + C6 * TR4 + C7 * std::log(TR);
    } else {
        const double C8 = -10440.39708, C9 = -11.2946496, C10 = -0.027022355, C11 = 1.289036e-5, C12 = -2.478068e-9,
                     C13 = 6.5459673;
        lnpws = C8 / TR + C9 + C10 * TR + C11 * TR2 + C12 * TR3 + C13 * std::log(TR);
    }
    return 2.036021 * std::exp(lnpws);
}

double temperaturaRugiada(double pw)
{
    const double psia = 0.491154 * pw;
    const double a = std::log(psia);
    const double a2 = a * a, a3 = a2 * a;
    if (pw < 0.18036)
        return 90.12 + 26.142 * a + 0.8927 * a2;
    return 100.45 + 33.193 * a + 2.319 * a2 + 0.17074 * a3 + 1.2063 * std::pow(psia, 0.1984);
}

double titoloUmidita(double pw, double pa) { return 0.622 * pw / pa; }

double entalpia(double W, double T) { return 0.24 * T + W * (1061 + 0.444 * T); }

double cercaBulboUmido(double p, double h, double Tdew, double Tdb)
{
    double t = Tdew;
    double d = Tdb - Tdew;
    for (int i = 0; i < 40; ++i) {
        d = d / 2;
        const double tm = t + d;
        const double ps = pressioneSaturazione(tm);
        const double hs = entalpia(titoloUmidita(ps, p - ps), tm);
        if (h - hs > 0)
            t = tm;
        if (std::fabs(d) < 0.0001)
            break;
    }
    return t;
}

double calcolaBulboUmido(double Altitude, double RH, double Tdb)
{
    if (UnitaSI) {
        Tdb = aFahrenheit(Tdb);
        Altitude = Altitude / 0.3048;
    }
    const double phi = RH / 100;
    const double p = pressioneBarometrica(Altitude);
    const double pws = pressioneSaturazione(Tdb);
    const double pw = phi * pws;
    const double W = titoloUmidita(pw, p - pw);
    const double h = entalpia(W, Tdb);
    const double Tdew = temperaturaRugiada(pw);
    double Twb = phi == 1 ? Tdb : cercaBulboUmido(p, h, Tdew, Tdb);
    if (UnitaSI)
        Twb = aCelsius(Twb);
    // A humidity of 0 (no vapour) has no dew point: refuse it rather than
    // hand a NaN to the page.
    return fc::CheckFinite(Twb);
}

double bulboUmido(double RH, double Tdb)
{
    Stato.ErroreCalcolo = false;
    return calcolaBulboUmido(Stato.Altitud, RH, Tdb);
}

namespace {
// Halves [low, high], where wetBulb(x) crosses Twb and rises with x, until it
// is no wider than width; answers the last midpoint (high when no step was
// needed), or the midpoint that meets Twb exactly.
template <class F>
double bisezione(double low, double high, double width, double Twb, F wetBulb)
{
    double mid = high;
    while (high - low > width) {
        mid = (low + high) / 2;
        const double w = wetBulb(mid);
        if (w > Twb)
            high = mid;
        else if (w < Twb)
            low = mid;
        else
            break;
    }
    return mid;
}
} // namespace

double umiditaRelativa(double Twb, double Tdb)
{
    const double lo = Limiti[9].Min;
    const double hi = Limiti[9].Max;
    double phi = lo;
    double w = bulboUmido(phi, Tdb);
    if (w > Twb) {
        fc::MainWindow().SetWetBulbValue(w);
        return phi;
    }
    double previous = w;
    while ((previous - Twb) * (w - Twb) > 0 && phi < hi) {
        previous = w;
        phi = phi + 5;
        w = bulboUmido(phi, Tdb);
    }
    if ((previous - Twb) * (w - Twb) > 0) {
        fc::MainWindow().SetWetBulbValue(bulboUmido(hi, Tdb));
        return phi;
    }
    return bisezione(phi - 5, phi, 0.1, Twb, [Tdb](double x) { return bulboUmido(x, Tdb); });
}

double bulboSecco(double RH, double Twb, bool* trovato)
{
    double T = Twb + 0.2;
    double w = bulboUmido(RH, T);
    double previous = w;
    int passi = 0;
    while ((previous - Twb) * (w - Twb) > 0) {
        // The wet bulb rises with the dry bulb: once above Twb it stays
        // there, and the air is too humid for this wet bulb.
        if (w > Twb || passi == kMaxPassiBulboSecco) {
            Stato.ErroreCalcolo = true;
            if (trovato)
                *trovato = false;
            return 0;
        }
        previous = w;
        T = T + 1;
        w = bulboUmido(RH, T);
        ++passi;
    }
    if (trovato)
        *trovato = true;
    return bisezione(T - 1, T, 0.001, Twb, [RH](double x) { return bulboUmido(RH, x); });
}
