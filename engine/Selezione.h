#pragma once
// Batch rating of the models ticked in the main window's check list, and the
// selections that tick the two models bracketing a requirement.
//
// An item's model is the ListaMacchine entry whose key equals the item
// text's first 19 characters, trimmed (without regard to case); an item
// without a model is passed over. Speeds 4 - Stato.NumVelocita .. 3 are
// rated; Stato.VeloCalcolo is the reference speed.

#include <QString>

class fancoil;

// Key of a check-list item: its first 19 characters, trimmed.
QString chiaveModello(const QString& itemText);

// Air flow of every computed speed of one model: the fan curve at the
// clamped pressure, or the curve's first point at a free outlet.
void calcolaLatoAria(fancoil& model);

void calcolaRaffreddamento();
void calcolaRiscaldamento();
void calcolaSoloAria();
void verificaCaldoDaFreddo();
void verificaFreddoDaCaldo();

// Richiesta in W (capacities) or m3/h (air flow).
void selezionaPerResaFreddo(double Richiesta);
void selezionaPerResaCaldo(double Richiesta);
void selezionaPerPortataAria(double Richiesta);
void marcaPerResaFreddo(double Richiesta);
void marcaPerResaCaldo(double Richiesta);
