// The shipped demo catalogue rated by the engine at the usual design
// conditions: a few pinned results, so that a change to the engine or to
// the catalogue generator shows, and the physical checks every model must
// pass.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ModelliProva.h"
#include "TestSupport.h"
#include "engine/Calcoli.h"
#include "engine/Catalogo.h"
#include "engine/Correzioni.h"
#include "engine/Psicrometria.h"
#include "engine/Records.h"
#include "engine/Selezione.h"
#include "platform/Dataset.h"
#include "platform/MainWindowLink.h"

namespace {

class DemoCatalogue : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetEngineRecords();
        ListaMacchine.Clear();
        ListaVersioni.Clear();
        window.macchine = &macchine;
        window.versioni = &versioni;
        fc::test::apriCatalogoDemo(macchine, versioni);
        caricaDati();
        // 27 degC dry bulb, 19 degC wet bulb, 7/12 degC water; 20 degC air
        // with 70/60 degC water; water, sea level, reference speed MAX.
        correzioneGlicole(0);
        correzioneAltitudine(0);
        UnitaSI = true;
        Stato.VeloCalcolo = 3;
        fc::test::temperatureProva();
    }
    void TearDown() override
    {
        ListaMacchine.Clear();
        ListaVersioni.Clear();
    }

    // Rates one model as the calculation run does, at the static pressure ps
    // (0: free outlet).
    fancoil& rate(const QString& name, int ps)
    {
        fancoil* f = ListaMacchine.Find(name);
        if (!f)
            throw std::runtime_error("no model " + name.toStdString());
        Stato.NumVelocita = f->NumVelocita;
        Stato.PressioneStatica = ps > 0 ? 1 : 0;
        for (int s = 1; s <= 3; ++s)
            Stato.PressioneDisponibile[s] = ps;
        window.models = {{f->Modello, true}};
        if (f->TipoCalcolo == 'T' || f->TipoCalcolo == 'F')
            calcolaRaffreddamento();
        if (f->TipoCalcolo == 'T' || f->TipoCalcolo == 'C')
            calcolaRiscaldamento();
        if (f->TipoCalcolo == 'A')
            calcolaSoloAria();
        return *f;
    }

    ScopedFakeMainWindow window;
    TDataset macchine{fc::MacchineDef()};
    TDataset versioni{fc::VersioniDef()};
};

} // namespace

TEST_F(DemoCatalogue, PinnedRatings)
{
    // Other speeds than MAX run on the MAX speed's water pressure drop and
    // show its water flow and drop.
    struct Case {
        const char* model;
        int ps, s;
        double air, totW, sensW, flowC, dpC, heatW, flowH, dpH;
    } cases[] = {
        {"VT 10", 0, 3, 180.00, 1000.00, 720.00, 172.00, 16.598, 2099.98, 180.60, 14.245},
        {"VT 45", 0, 1, 440.00, 3439.18, 2270.46, 774.00, 25.700, 6999.75, 812.70, 22.057},
        {"VT 65", 60, 2, 468.00, 4100.44, 2654.45, 787.11, 14.659, 8492.19, 826.47, 12.580},
        {"VT 95", 30, 3, 1285.00, 8144.67, 5702.31, 1400.88, 28.446, 17103.82, 1470.93, 24.414},
        {"VT4 30", 0, 3, 520.00, 2668.00, 1974.33, 458.90, 20.538, 3335.02, 286.81, 11.480},
        {"CN 100", 30, 3, 249.69, 1299.12, 974.22, 223.45, 14.579, 0, 0, 0},
        {"CN 600", 0, 3, 2153.00, 10870.00, 8277.09, 1869.64, 37.810, 0, 0, 0},
        {"CN 600", 60, 2, 1221.59, 8297.94, 5859.00, 1704.09, 31.411, 0, 0, 0},
        {"AT 20", 0, 3, 2000.00, 0, 0, 0, 0, 13500.00, 1161.00, 17.100},
        {"AT 40", 60, 3, 2052.89, 0, 0, 0, 0, 17818.06, 1532.35, 12.191},
        {"RV 800", 60, 2, 590.40, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const fancoil& f = rate(c.model, c.ps);
        const int s = c.s;
        SCOPED_TRACE(testing::Message() << c.model << " at " << c.ps << " Pa, speed " << s);
        EXPECT_NEAR(f.PortataAriaEff[s], c.air, 0.01);
        EXPECT_NEAR(f.ResaTotW[s], c.totW, 0.01);
        EXPECT_NEAR(f.ResaSensW[s], c.sensW, 0.01);
        EXPECT_NEAR(f.PortataFreddo[s], c.flowC, 0.01);
        EXPECT_NEAR(f.PerditaFreddo[s], c.dpC, 0.001);
        EXPECT_NEAR(f.ResaCaldoW[s], c.heatW, 0.01);
        EXPECT_NEAR(f.PortataCaldo[s], c.flowH, 0.01);
        EXPECT_NEAR(f.PerditaCaldo[s], c.dpH, 0.001);
    }
}

TEST_F(DemoCatalogue, EveryModelIsPlausibleAtTheDesignConditions)
{
    for (int i = 0; i < ListaMacchine.Count(); ++i) {
        const QString name = ListaMacchine.Strings(i);
        SCOPED_TRACE(name.toStdString());
        const fancoil& f = rate(name, 0);
        const bool cools = f.TipoCalcolo == 'T' || f.TipoCalcolo == 'F';
        const bool heats = f.TipoCalcolo == 'T' || f.TipoCalcolo == 'C';
        if (cools) {
            EXPECT_GE(f.ResaTotW[3], 900);
            EXPECT_LE(f.ResaTotW[3], 11000);
            const double shr = f.ResaSensW[3] / f.ResaTotW[3];
            EXPECT_GE(shr, 0.65);
            EXPECT_LE(shr, 0.85);
            // kcal/h over the 5 K rise is l/h.
            EXPECT_NEAR(f.PortataFreddo[3], f.ResaTotKcal[3] / 5, 1e-9);
            EXPECT_GE(f.PerditaFreddo[3], 10);
            EXPECT_LE(f.PerditaFreddo[3], 40);
            for (int s = 1; s <= 2; ++s) {
                EXPECT_LT(f.ResaTotW[s], f.ResaTotW[s + 1]);
                EXPECT_GT(f.TUscFreddo[s], 7);
            }
        }
        if (heats) {
            EXPECT_NEAR(f.PortataCaldo[3], f.ResaCaldoKcal[3] / 10, 1e-9);
            EXPECT_GE(f.PerditaCaldo[3], 10);
            EXPECT_LE(f.PerditaCaldo[3], 40);
        }
        if (cools && heats) {
            EXPECT_GT(f.ResaCaldoW[3], f.ResaTotW[3]);
        }
        // Air flow falls as the static pressure rises, at every speed.
        double before[4] = {0, 1e9, 1e9, 1e9};
        for (int ps : {0, 20, 40, 60, 80}) {
            const fancoil& g = rate(name, ps);
            for (int s = 4 - g.NumVelocita; s <= 3; ++s) {
                EXPECT_LE(g.PortataAriaEff[s], before[s]) << ps << " Pa, speed " << s;
                EXPECT_GT(g.PortataAriaEff[s], 0);
                before[s] = g.PortataAriaEff[s];
            }
        }
    }
}

TEST_F(DemoCatalogue, HumidityAndWaterInputsAgreeWithTheTemperatureRating)
{
    // 50 % at 27 degC is the 19 degC wet bulb of the tables, near enough.
    EXPECT_NEAR(bulboUmido(50, 27), 19.454, 0.0005);

    // The nominal water flow as input finds the 12 degC outlet again.
    const fancoil& f = rate("VT 45", 0);
    const double tot = f.ResaTotW[3], flow = f.PortataFreddo[3], heat70 = f.ResaCaldoW[3];
    Stato.DatiInRaffredda = 1;
    Stato.PortAcquaRichiestaFreddo = int(flow + 0.5);
    const fancoil& g = rate("VT 45", 0);
    EXPECT_NEAR(g.TUscFreddo[3], 12, 0.01);
    EXPECT_NEAR(g.ResaTotW[3], tot, 0.01 * tot);
    EXPECT_NEAR(g.PortataFreddo[3], Stato.PortAcquaRichiestaFreddo, 0.01);

    // Heating with 50 degC water: less than at 70 degC, still above cooling.
    Stato.DatiInRaffredda = 0;
    Stato.TempIngAcquaCaldo = 50;
    Stato.TempUscAcquaCaldo = 40;
    const fancoil& h = rate("VT 45", 0);
    EXPECT_NEAR(h.ResaCaldoW[3], heat70 * 25 / 45, 1e-9 * heat70);
    EXPECT_GT(h.ResaCaldoW[3], h.ResaTotW[3]);
}
