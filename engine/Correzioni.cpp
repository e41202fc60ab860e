#include "Correzioni.h"

#include <cmath>

#include "Records.h"
#include "platform/Errors.h"

namespace {

// Rows of the parameter table: glycol 0, 10 .. 50 %.
constexpr double kPotTermGlic[6] = {1.0, 0.986, 0.98, 0.973, 0.966, 0.96};
constexpr double kPortMiscela[6] = {1.0, 1.023, 1.054, 1.092, 1.14, 1.2};
constexpr double kPDCMiscela[6] = {1.0, 1.122, 1.249, 1.335, 1.373, 1.468};
// Altitude 0, 500 .. 2000 m.
constexpr double kPotTermAlt[5] = {1.0, 0.97, 0.94, 0.91, 0.88};
constexpr double kPotFrigTotAlt[5] = {1.0, 0.98, 0.95, 0.92, 0.89};
constexpr double kPotFrigSensAlt[5] = {1.0, 0.96, 0.93, 0.9, 0.87};
// Mean water temperature -20, -15 .. 140 degC.
constexpr double kCoeffPDC[33] = {1.13, 1.11, 1.08, 1.06, 1.04, 1.02, 1.0,  0.98, 0.96, 0.94, 0.92,
                                  0.9,  0.88, 0.86, 0.84, 0.82, 0.8,  0.78, 0.76, 0.74, 0.71, 0.69,
                                  0.67, 0.65, 0.63, 0.61, 0.59, 0.57, 0.55, 0.53, 0.51, 0.49, 0.47};

// The bracket of x among the grid points g(1) < .. < g(N): the first i with
// g(i) >= x; below the first point the first segment extrapolates. Returns
// false when x lies above the last point.
struct Bracket {
    int a = 1, b = 1;          // rows; a == b for an exact hit
    double x = 0, ga = 0, gb = 0; // the input and the grid points of rows a, b
};

template <class Grid>
bool findBracket(int N, Grid g, double x, Bracket& out)
{
    int i = 1;
    while (i <= N && g(i) < x)
        ++i;
    if (i > N)
        return false;
    if (g(i) == x) {
        out = {i, i, x, x, x};
        return true;
    }
    const int b = i == 1 ? 2 : i;
    const int a = b - 1;
    out = {a, b, x, g(a), g(b)};
    return true;
}

template <class Table>
double interpolate(const Table& v, const Bracket& br)
{
    if (br.a == br.b)
        return v[br.a];
    // Product before quotient, as the tables have always been read.
    return v[br.a] + (v[br.b] - v[br.a]) * (br.x - br.ga) / (br.gb - br.ga);
}

} // namespace

void caricaTabelleParametri()
{
    for (int i = 1; i <= 6; ++i) {
        DatiGlobali.PotTermGlic[i] = kPotTermGlic[i - 1];
        DatiGlobali.PortMiscela[i] = kPortMiscela[i - 1];
        DatiGlobali.PDCMiscela[i] = kPDCMiscela[i - 1];
    }
    for (int i = 1; i <= 5; ++i) {
        DatiGlobali.PotTermAlt[i] = kPotTermAlt[i - 1];
        DatiGlobali.PotFrigTotAlt[i] = kPotFrigTotAlt[i - 1];
        DatiGlobali.PotFrigSensAlt[i] = kPotFrigSensAlt[i - 1];
    }
    for (int i = 1; i <= 33; ++i)
        DatiGlobali.CoeffPDC[i] = kCoeffPDC[i - 1];
}

bool correzioneGlicole(int Perc)
{
    Bracket br;
    if (!findBracket(6, [](int i) { return (i - 1) * 10.0; }, double(Perc), br)) {
        DatiGlobali.fattPDCGlicole = 1.0;
        DatiGlobali.fattPortataGlicole = 1.0;
        DatiGlobali.fattResaGlicole = 1.0;
        return false;
    }
    DatiGlobali.fattPDCGlicole = interpolate(DatiGlobali.PDCMiscela, br);
    DatiGlobali.fattPortataGlicole = interpolate(DatiGlobali.PortMiscela, br);
    DatiGlobali.fattResaGlicole = interpolate(DatiGlobali.PotTermGlic, br);
    return true;
}

bool correzioneAltitudine(int Metri)
{
    Bracket br;
    if (!findBracket(5, [](int i) { return (i - 1) * 500.0; }, double(Metri), br)) {
        DatiGlobali.fattCaldoAlt = 1.0;
        DatiGlobali.fattTotAlt = 1.0;
        DatiGlobali.fattSensAlt = 1.0;
        return false;
    }
    DatiGlobali.fattCaldoAlt = interpolate(DatiGlobali.PotTermAlt, br);
    DatiGlobali.fattTotAlt = interpolate(DatiGlobali.PotFrigTotAlt, br);
    DatiGlobali.fattSensAlt = interpolate(DatiGlobali.PotFrigSensAlt, br);
    return true;
}
