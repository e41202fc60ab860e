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

// The span of the glycol and altitude tables: a correction means something
// only between their first and last points, which is what an input may ask.
constexpr int kGlicoleMin = 0, kGlicoleMax = 50;       // % by weight
constexpr int kAltitudineMin = 0, kAltitudineMax = 2000; // m

// Sets the glycol factors for Perc % by weight; false (factors 1.0) when
// Perc lies above the table.
bool correzioneGlicole(int Perc);
// Sets the altitude factors for Metri; false (factors 1.0) above the table.
bool correzioneAltitudine(int Metri);
// The interpolation segment of the pressure-drop table that one mean water
// temperature fell in, with the terms of its formula that do not depend on
// Tm. A water-side solver's trials mostly fall in one segment, so it keeps
// the last one and takes the value from it without finding the row again:
// the same operations on the same operands. Empty at the start.
struct SegmentoPDC {
    double ga = 0, gb = 0; // the segment's two grid points; Tm strictly between
    double va = 0, dv = 0, den = 0;
};

// Pressure-drop coefficient at the mean water temperature Tm; above the
// table's last point (140 degC) the last row's value. Inline: the water-side
// solvers evaluate it at every trial temperature. When seg is given and Tm
// lies inside it, the value comes from it; an interpolated value leaves
// its segment in seg.
inline double coeffPDCTemperatura(double Tm, SegmentoPDC* seg = nullptr)
{
    if (seg && Tm > seg->ga && Tm < seg->gb)
        return seg->va + seg->dv * (Tm - seg->ga) / seg->den;
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
    const double dv = v[b] - v[a];
    const double ga = g(a);
    const double den = g(b) - ga;
    // Below the first row the first segment extrapolates: no segment to
    // keep, the value is found from the rows each time.
    if (seg && i > 1)
        *seg = {ga, g(b), v[a], dv, den};
    return v[a] + dv * (Tm - ga) / den;
}

// Water pressure drop in kPa of a coil with flow coefficient Kv at the flow
// Flow (l/h) and mean water temperature Tm: coeff(Tm) * (Flow / Kv)^2.
// A zero Kv raises the division error.
inline double perditaCarico(double Tm, double Flow, double Kv, SegmentoPDC* seg = nullptr)
{
    const double r = fc::Divide(Flow, Kv);
    return fc::CheckFinite(coeffPDCTemperatura(Tm, seg) * (r * r));
}
