#pragma once
// Glycol, altitude and mean-water-temperature corrections, interpolated in
// the parameter tables of DatiGlobali.

#include <cmath>

#include "Records.h"
#include "platform/Errors.h"

// The parameter rows carried with the program (glycol 0..50 %, altitude
// 0..2000 m, pressure-drop coefficient -20..140 degC), copied into the
// tables of DatiGlobali by caricaDati.
void caricaTabelleParametri();

// Sets the glycol factors for Perc % by weight; false (factors 1.0) when
// Perc lies above the table.
bool correzioneGlicole(int Perc);
// Sets the altitude factors for Metri; false (factors 1.0) above the table.
bool correzioneAltitudine(int Metri);
// Pressure-drop coefficient at the mean water temperature Tm; above the
// table's last point (140 degC) the last row's value. Inline: the water-side
// solvers evaluate it at every trial temperature.
inline double coeffPDCTemperatura(double Tm)
{
    if (std::isnan(Tm)) [[unlikely]]
        fc::RaiseNotFinite(Tm);
    // Row i stands for (i - 5) * 5 degC. The row is the first one not below
    // Tm, as a scan from the first row finds it: guessed from Tm / 5 (cut,
    // not rounded up: no call into the maths library), then settled against
    // the rows themselves, so that rounding cannot move it.
    const auto g = [](int i) { return (i - 5) * 5.0; };
    const auto& v = DatiGlobali.CoeffPDC;
    if (!(Tm <= g(33)))
        return v[33];
    int i = 1;
    if (Tm > g(1)) {
        i = 5 + int(Tm * 0.2);
        i = i < 1 ? 1 : (i > 33 ? 33 : i);
        while (i > 1 && g(i - 1) >= Tm)
            --i;
        while (g(i) < Tm)
            ++i;
    }
    if (g(i) == Tm)
        return v[i];
    const int b = i == 1 ? 2 : i;
    const int a = b - 1;
    // Product before quotient, as the tables have always been read.
    return v[a] + (v[b] - v[a]) * (Tm - g(a)) / (g(b) - g(a));
}

// Water pressure drop in kPa of a coil with flow coefficient Kv at the flow
// Flow (l/h) and mean water temperature Tm: coeff(Tm) * (Flow / Kv)^2.
// A zero Kv raises the division error.
inline double perditaCarico(double Tm, double Flow, double Kv)
{
    const double r = fc::Divide(Flow, Kv);
    return fc::CheckFinite(coeffPDCTemperatura(Tm) * (r * r));
}
