#pragma once
// Rating of one model at one fan speed: the fan curve at the available
// static pressure, the coil's cooling and heating capacity, water flow and
// pressure drop, and the solvers that find the outlet water temperature for
// a required water flow or pressure drop.
//
// Capacities are worked in kcal/h; W = kcal/h / 0.86. A zero air flow, coil
// flow coefficient or temperature difference raises the platform's
// floating-point error (EZeroDivide / EInvalidOp), which ends the run.

#include <algorithm>

#include "Catalogo.h"
#include "Records.h"

// Smaller of the available static pressure of speed s and the fan curve's
// last point: a pressure above the curve is rated at its last point.
inline double pressioneLimitata(const fancoil& model, int s)
{
    return std::min(Stato.PressioneDisponibile[s], model.PSA[s][8]);
}

// The cooling (heating) results of speed s back to 0, as a new model has
// them; the not-rated flags are left to the caller.
void azzeraFreddo(fancoil& model, int s);
void azzeraCaldo(fancoil& model, int s);

// Fan curve of speed s at the static pressure x (Pa): sets PortataAriaEff[s]
// and the three air-flow factors. False when x lies above every point.
bool calcolaPortataAria(fancoil& model, int s, double x);

// Trial kernels at the outlet water temperature T; with store false they
// write nothing. They use the air-flow factors as they stand and return raw
// values, before the glycol factors.
double resaFreddoPDC(fancoil& model, int s, bool store, double T, double CoeffSens, double CoeffTot);
double resaFreddoPortata(fancoil& model, int s, bool store, double T, double CoeffSens, double CoeffTot);
double resaCaldoPDC(fancoil& model, int s, bool store, double T, double Coeff);
double resaCaldoPortata(fancoil& model, int s, bool store, double T, double Coeff);

// Direct ratings at the water temperatures in Stato.
void calcolaFreddoTemperature(fancoil& model, int s);
void calcolaCaldoTemperature(fancoil& model, int s);

// Water-side solvers: Target is the corrected value the user sees (flow in
// l/h with the glycol flow factor, pressure drop in kPa with the glycol
// pressure-drop factor). True when the speed was rated; false when the
// target cannot be reached, in which case the speed is flagged in
// NonCalcolatoFreddo / NonCalcolatoCaldo and its results of that side are 0.
bool calcolaFreddoPortata(fancoil& model, int s, double Target);
bool calcolaFreddoPDC(fancoil& model, int s, double Target);
bool calcolaCaldoPortata(fancoil& model, int s, double Target);
bool calcolaCaldoPDC(fancoil& model, int s, double Target);

// Most 1 K steps a solver takes away from the inlet temperature before it
// gives the speed up.
constexpr int kMaxPassiAcqua = 200;
