#pragma once
// Moist-air relations for the cooling page: wet bulb from humidity and dry
// bulb, humidity from wet and dry bulb, dry bulb from humidity and wet bulb.
//
// Inside, the relations work in inch-pound units (degF, inHg, ft, lb/lb,
// Btu/lb); with UnitaSI set the entry point takes degC and metres.

// Barometric pressure in inHg at the altitude a in feet, interpolated in the
// standard-atmosphere table (extrapolated below -1000 ft; the table's last
// value above 60000 ft).
double pressioneBarometrica(double a);
// Saturation pressure in inHg over ice (T < 32) or water, T in degF.
double pressioneSaturazione(double T);
// Dew point in degF of the water vapour partial pressure pw (inHg).
double temperaturaRugiada(double pw);
// Humidity ratio from the vapour and the dry-air partial pressures.
double titoloUmidita(double pw, double pa);
// Enthalpy of moist air of humidity ratio W at T degF.
double entalpia(double W, double T);
// Temperature between Tdew and Tdb at which saturated air at p has the
// enthalpy h (bisection; returns the lower end).
double cercaBulboUmido(double p, double h, double Tdew, double Tdb);

// Wet bulb at Altitude, relative humidity RH (%) and dry bulb Tdb.
double calcolaBulboUmido(double Altitude, double RH, double Tdb);
// Wet bulb at Stato.Altitud; clears Stato.ErroreCalcolo.
double bulboUmido(double RH, double Tdb);
// Relative humidity (%) at which the wet bulb is Twb, searched within
// Limiti[9]. Clamped at either end, it writes the wet bulb of that end into
// the main window's wet-bulb edit.
double umiditaRelativa(double Twb, double Tdb);
// Dry bulb at which the wet bulb is Twb at humidity RH. When there is none
// (air at or near saturation, or more than kMaxPassiBulboSecco K above Twb,
// far beyond any dry bulb the page accepts and where the relations stop
// holding) it returns 0, sets Stato.ErroreCalcolo and, when given,
// *trovato := false.
double bulboSecco(double RH, double Twb, bool* trovato = nullptr);

constexpr int kMaxPassiBulboSecco = 60;
