#pragma once
// Plausible catalogue models for the rating tests, built in memory.

#include <QString>
#include <cmath>
#include <memory>

#include "engine/Catalogo.h"
#include "engine/Correzioni.h"
#include "engine/Records.h"
#include "platform/Dataset.h"

namespace fc::test {

// A three-speed model whose nominal air flows scale with size: speed s
// moves size * {300, 400, 500}[s] m3/h at the first curve point, and its
// curve falls 8 % per 10 Pa from 5 Pa to 75 Pa.
inline std::unique_ptr<fancoil> modelloProva(const QString& name, double size = 1.0)
{
    auto m = std::make_unique<fancoil>();
    m->Modello = name;
    m->Tipo = QStringLiteral("PROVA");
    m->NumVelocita = 3;
    m->TipoCalcolo = QLatin1Char('T');
    m->PDCNomRaffr = 80 * size;
    m->PDCNomRisc = 50 * size;
    m->n = 0.8;
    m->m = 0.9;
    m->p = 0.85;
    const int nominal[4] = {0, 300, 400, 500};
    for (int s = 1; s <= 3; ++s) {
        const int q = int(std::lround(nominal[s] * size));
        m->PortAria[s] = q;
        m->CoeffResaFrigTot[s] = 0.4 * q;
        m->CoeffResaFrigSens[s] = 0.16 * q;
        m->CoeffResaTerm[s] = 0.13 * q;
        for (int j = 1; j <= 8; ++j) {
            m->QA[s][j] = int(std::lround(q * (1 - 0.08 * (j - 1))));
            m->PSA[s][j] = 5 + 10.0 * (j - 1);
        }
    }
    return m;
}

// Usual design temperatures: 27/19 degC air, 7 degC cooling water inlet
// with 12 degC outlet, 20 degC heating air with 70/60 degC water.
inline void temperatureProva()
{
    Stato.TBSFreddo = 27;
    Stato.TBUFreddo = 19;
    Stato.TempIngAcquaFreddo = 7;
    Stato.TempUscAcquaFreddo = 12;
    Stato.TempAriaCaldo = 20;
    Stato.TempIngAcquaCaldo = 70;
    Stato.TempUscAcquaCaldo = 60;
}

// The usual design temperatures with a free outlet, reference speed MAX,
// sea level and water (all factors 1).
inline void condizioniProva()
{
    ResetEngineRecords();
    caricaTabelleParametri();
    correzioneGlicole(0);
    correzioneAltitudine(0);
    Stato.NumVelocita = 3;
    Stato.VeloCalcolo = 3;
    temperatureProva();
    for (int s = 1; s <= 3; ++s)
        Stato.PressioneDisponibile[s] = 0;
}

#ifdef FC_DEMO_CATALOGUE_DIR
// Opens the catalogue the program ships with, as the build laid it out.
inline void apriCatalogoDemo(TDataset& macchine, TDataset& versioni)
{
    const QString dir = QStringLiteral(FC_DEMO_CATALOGUE_DIR);
    macchine.SetFileName(dir + "Dati.cds");
    macchine.Open();
    versioni.SetFileName(dir + "Versioni.cds");
    versioni.Open();
}
#endif

} // namespace fc::test
