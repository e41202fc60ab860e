#pragma once
// The engine's process-wide records: the user's inputs and modes (Stato),
// the parameter tables, correction factors and settings (DatiGlobali), the
// input limits (Limiti) and the unit flag. Plain data, read and written
// directly by the engine, the shell and the reports on the UI thread.

#include <QChar>
#include <QString>
#include <QStringList>

#include "platform/Array1.h"

struct TStato {
    QChar TipoCalcolo;                 // "A" ventilation only, "F" cooling, "C" heating, "T" both
    int NumVelocita = 0;               // speed records per model, 1 or 3
    bool ErroreCalcolo = false;        // an input error of the air or water triads is pending
    int Operazione = 0;                // 0 verification, 1 by capacity, 2 by air flow
    QString Famiglia;
    QString TipoImpianto;              // "2" two-pipe, "4" four-pipe
    QString ultimaImmagine;            // picture the hover preview showed last
    int ModoCalcolo = 0;               // 0 cooling, 1 heating, 2 both, 3 cooling + heating check, 4 heating + cooling check
    int Fluido = 0;                    // 0 water, 1 glycol by weight
    double Glicoperc = 0;              // glycol %, 0 with water
    int Altitudine = 0;                // 0 sea level, 1 metres
    int Altitud = 0;                   // altitude in m, 0 at sea level
    int PressioneStatica = 0;          // 0 free outlet, 1 available static pressure given
    int FattorePressione = 0;          // pressure factor of the chosen version
    Array1<double, 1, 3> PressioneDisponibile; // available static pressure per speed, Pa
    int MetriCubiOra = 0;              // required air flow, m3/h
    int VeloCalcolo = 0;               // reference speed 1 MIN, 2 MED, 3 MAX
    int DatiInRiscalda = 0;            // heating water input: 0 temperatures, 1 flow, 2 pressure drop
    double TempAriaCaldo = 0;
    double TempIngAcquaCaldo = 0;
    double TempUscAcquaCaldo = 0;
    double SalTerAcquaCaldo = 0;
    int PortAcquaRichiesta = 0;        // required heating water flow, l/h
    int ResaRichCaldoWatt = 0;
    int ResaRichCaldoKcal = 0;
    int DatiInRaffredda = 0;           // cooling water input, coded as DatiInRiscalda
    double PDCCaldo = 0;               // required heating water pressure drop, kPa
    double PDCFreddo = 0;              // required cooling water pressure drop, kPa
    double TBSFreddo = 0;              // dry bulb, cooling
    double TBUFreddo = 0;              // wet bulb, cooling
    double URFreddo = 0;               // relative humidity %, cooling
    double TempIngAcquaFreddo = 0;
    double TempUscAcquaFreddo = 0;
    double SalTerAcquaFreddo = 0;
    int PortAcquaRichiestaFreddo = 0;  // required cooling water flow, l/h
    int ResaRichFreddoWatt = 0;
    int ResaRichFreddoKcal = 0;
};

struct globale {
    bool excelAbilitato = false;       // the access code has been entered
    Array1<double, 1, 5> PotTermAlt, PotFrigTotAlt, PotFrigSensAlt; // 0, 500 .. 2000 m
    Array1<double, 1, 6> PDCMiscela, PortMiscela, PotTermGlic;      // 0, 10 .. 50 %
    Array1<double, 1, 33> CoeffPDC;    // mean water temperature -20, -15 .. 140 degC
    double fattPDCGlicole = 0, fattPortataGlicole = 0, fattResaGlicole = 0;
    double fattCaldoAlt = 0, fattTotAlt = 0, fattSensAlt = 0;
    double CambioEuro = 1.0;           // price multiplier
    int DecimaliValuta = 2;            // decimals of printed prices
    int ScontoMolt = 0;                // 0 none, 1 discounts, 2 multiplier
    double Sconto1 = 0, Sconto2 = 0, Sconto3 = 0; // cascaded discounts %
    double Moltip = 1.0;
    quint8 CharsetLingua = 0;          // font character set of the language file
};

struct TLimite {
    double Min = 0;
    double Max = 0;
};
using TLimiti = Array1<TLimite, 1, 10>;

extern TStato Stato;
extern globale DatiGlobali;
// Pairs: 1-3 heating water inlet, outlet, difference; 4 heating air;
// 5-7 cooling water inlet, outlet, difference; 8 dry bulb; 9 humidity;
// 10 wet bulb. Zero until caricaDati sets them.
extern TLimiti Limiti;
extern bool UnitaSI;
extern QStringList RigheFirm;
extern QStringList RigheDealer;

// Every record back to its start value (tests; the program never resets).
void ResetEngineRecords();
