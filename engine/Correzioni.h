#pragma once
// Glycol, altitude and mean-water-temperature corrections, interpolated in
// the parameter tables of DatiGlobali.

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
// table's last point (140 degC) the last row's value.
double coeffPDCTemperatura(double Tm);
// Water pressure drop in kPa of a coil with flow coefficient Kv at the flow
// Flow (l/h) and mean water temperature Tm: coeff(Tm) * (Flow / Kv)^2.
// A zero Kv raises the division error.
double perditaCarico(double Tm, double Flow, double Kv);
