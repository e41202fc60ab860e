#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ModelliProva.h"
#include "engine/Calcoli.h"
#include "engine/Catalogo.h"
#include "engine/Records.h"
#include "engine/Selezione.h"
#include "platform/Errors.h"
#include "platform/MainWindowLink.h"

using fc::test::condizioniProva;
using fc::test::modelloProva;

namespace {

// A check-list item as the main window writes it: the model name padded to
// 19 characters, then the highest static pressure of each speed.
QString voce(const QString& name) { return name.leftJustified(19, QLatin1Char(' ')) + QStringLiteral("   35   45   60"); }

class Selezione : public ::testing::Test {
protected:
    void SetUp() override
    {
        condizioniProva();
        ListaMacchine.Clear();
    }
    void TearDown() override { ListaMacchine.Clear(); }

    // Adds a model of the given size to ListaMacchine and to the check list.
    fancoil& aggiungi(const QString& name, double size = 1.0, bool checked = true)
    {
        auto m = modelloProva(name, size);
        fancoil& ref = *m;
        ListaMacchine.Add(name, std::move(m));
        mw.models.push_back({voce(name), checked});
        return ref;
    }
    std::vector<bool> spunte() const
    {
        std::vector<bool> r;
        for (const auto& item : mw.models)
            r.push_back(item.checked);
        return r;
    }

    ScopedFakeMainWindow mw;
};

TEST_F(Selezione, ItemKey)
{
    for (const char* name : {"ABCDEFGHIJKLMNOPQRST", "VENTILCONVETTORE-10-ALTO", "VENTILCONV. ORIZZ. 10 A",
                             "VENTILCONV. ORIZZ. 10 B"})
        ListaMacchine.Add(QLatin1String(name), std::make_unique<fancoil>());
    const struct {
        const char *item, *key;
    } cases[] = {
        {"  FC 20            |  35", "FC 20"},
        {"FC", "FC"},
        {"FC 20               " "   35   45   75 ", "FC 20"},
        // 19 characters fill the column but for its last blank.
        {"ABCDEFGHIJKLMNOPQRS " "   35   45   75 ", "ABCDEFGHIJKLMNOPQRS"},
        // Longer names of models run on to the pressure columns and stay
        // whole, so that two alike in their first 16 or 19 characters stay
        // apart.
        {"ABCDEFGHIJKLMNOPQRST" "   35   45   75 ", "ABCDEFGHIJKLMNOPQRST"},
        {"VENTILCONVETTORE-10-ALTO" "  " " 35   45   75 ", "VENTILCONVETTORE-10-ALTO"},
        {"VENTILCONV. ORIZZ. 10 A" "           " " 75 ", "VENTILCONV. ORIZZ. 10 A"},
        {"VENTILCONV. ORIZZ. 10 B" "  " " 35   45   75 ", "VENTILCONV. ORIZZ. 10 B"},
        // No model of the longer name: the first 19 characters.
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ABCDEFGHIJKLMNOPQRS"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chiaveModello(QLatin1String(c.item)), QLatin1String(c.key)) << c.item;
}

TEST_F(Selezione, Bracketing)
{
    struct Case {
        const char* name;
        std::vector<double> watts;
        double richiesta;
        std::vector<bool> ticked;
    } cases[] = {
        {"the pair around the requirement", {2500, 2900, 3100, 3500}, 3000, {false, true, true, false}},
        {"list order does not matter", {3500, 3100, 2500, 2900}, 3000, {false, true, false, true}},
        {"an exact value is the lower model", {2500, 3000, 3100, 3500}, 3000, {false, true, true, false}},
        {"below every model: the smallest only", {2500, 2900, 3100, 3500}, 1000, {true, false, false, false}},
        {"above every model: the largest only", {2500, 2900, 3100, 3500}, 9000, {false, false, false, true}},
        {"ties: the first listed", {2900, 2900, 3100, 3100}, 3000, {true, false, true, false}},
        {"nothing at or below 0 is the lower model", {0, -50, 3100}, 3000, {false, false, true}},
        {"an empty list ticks nothing", {}, 3000, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ListaMacchine.Clear();
        mw.models.clear();
        for (size_t i = 0; i < c.watts.size(); ++i) {
            fancoil& m = aggiungi(QStringLiteral("FC %1").arg(i), 1.0, i % 2 == 0);
            m.ResaTotW[3] = c.watts[i];
            m.ResaCaldoW[3] = c.watts[i];
        }
        marcaPerResaFreddo(c.richiesta);
        EXPECT_EQ(spunte(), c.ticked);
        for (auto& item : mw.models)
            item.checked = true;
        marcaPerResaCaldo(c.richiesta);
        EXPECT_EQ(spunte(), c.ticked);
    }
}

TEST_F(Selezione, MissingKeysAndCase)
{
    aggiungi(QStringLiteral("FC 20")).ResaTotW[3] = 2900;
    mw.models.push_back({voce(QStringLiteral("FC 99")), true}); // no such model
    aggiungi(QStringLiteral("Fc 30")).ResaTotW[3] = 3100;
    mw.models.back().text = voce(QStringLiteral("FC 30")); // another case
    marcaPerResaFreddo(3000);
    EXPECT_EQ(spunte(), (std::vector<bool>{true, false, true}));
}

// Batch after batch, each item is rated as the model its text names now:
// texts moved to other items, changed in place, or renamed to a model
// that is not there, and models added to the catalogue in between.
TEST_F(Selezione, EachBatchRatesTheModelsTheItemsNameNow)
{
    aggiungi(QStringLiteral("FC 10"), 0.5);
    aggiungi(QStringLiteral("FC 20"), 1.0);
    aggiungi(QStringLiteral("FC 30"), 1.5);
    const auto resa = [](const char* name) { return ListaMacchine.Find(QLatin1String(name))->ResaTotW[3]; };
    const auto azzera = [] {
        for (int i = 0; i < ListaMacchine.Count(); ++i)
            ListaMacchine.Objects(i)->ResaTotW[3] = 0;
    };
    calcolaRaffreddamento();
    const double w10 = resa("FC 10"), w20 = resa("FC 20"), w30 = resa("FC 30");
    ASSERT_GT(w10, 0);
    ASSERT_LT(w10, w20);
    ASSERT_LT(w20, w30);
    // -1: no such model; kNuovo: the added model, rated.
    constexpr double kNuovo = -2;
    const struct {
        std::vector<const char*> items; // in list order, all ticked
        const char* added;              // a model added before the batch
        std::vector<double> want;       // FC 10, FC 20, FC 30, FC 40 after it
    } cases[] = {
        {{"FC 30", "FC 10"}, nullptr, {w10, 0, w30, -1}},
        {{"FC 20", "FC 10"}, nullptr, {w10, w20, 0, -1}},
        {{"FC 20", "FC 99"}, nullptr, {0, w20, 0, -1}},
        {{"FC 20", "FC 40"}, nullptr, {0, w20, 0, -1}},
        {{"FC 20", "FC 40"}, "FC 40", {0, w20, 0, kNuovo}},
        {{"fc 30", "FC 40"}, nullptr, {0, 0, w30, kNuovo}},
    };
    for (const auto& c : cases) {
        if (c.added)
            ListaMacchine.Add(QLatin1String(c.added), modelloProva(QLatin1String(c.added), 2.0));
        mw.models.clear();
        for (const char* item : c.items)
            mw.models.push_back({voce(QLatin1String(item)), true});
        azzera();
        calcolaRaffreddamento();
        const char* names[] = {"FC 10", "FC 20", "FC 30", "FC 40"};
        for (int k = 0; k < 4; ++k) {
            if (c.want[size_t(k)] == -1)
                EXPECT_EQ(ListaMacchine.Find(QLatin1String(names[k])), nullptr);
            else if (c.want[size_t(k)] == kNuovo)
                EXPECT_GT(resa(names[k]), w30);
            else
                EXPECT_EQ(resa(names[k]), c.want[size_t(k)]) << c.items[0] << ' ' << c.items[1] << ": " << names[k];
        }
    }
}

TEST_F(Selezione, CoolingSelectionRatesEveryItem)
{
    aggiungi(QStringLiteral("FC 10"), 0.5, false);
    aggiungi(QStringLiteral("FC 20"), 1.0, false);
    aggiungi(QStringLiteral("FC 30"), 1.5, false);
    aggiungi(QStringLiteral("FC 40"), 2.0, false);
    // Capacities at 27/19, 7/12 degC: 1900 kcal/h x size at MAX.
    const double w20 = 1900 / 0.86;
    selezionaPerResaFreddo(w20 * 1.2);
    EXPECT_EQ(spunte(), (std::vector<bool>{false, true, true, false}));
    EXPECT_DOUBLE_EQ(ListaMacchine.Find(QStringLiteral("FC 40"))->ResaTotW[3], 2 * w20);
}

TEST_F(Selezione, HeatingSelectionAndAirFlowSelection)
{
    aggiungi(QStringLiteral("FC 10"), 0.5);
    aggiungi(QStringLiteral("FC 20"), 1.0);
    aggiungi(QStringLiteral("FC 30"), 1.5);
    selezionaPerResaCaldo(65 * 45 / 0.86 + 1);
    EXPECT_EQ(spunte(), (std::vector<bool>{false, true, true}));

    // Air flow: every item is looked at, ticked or not; free outlet takes
    // the first curve point.
    for (auto& item : mw.models)
        item.checked = false;
    selezionaPerPortataAria(600);
    EXPECT_EQ(spunte(), (std::vector<bool>{false, true, true}));
    EXPECT_EQ(ListaMacchine.Find(QStringLiteral("FC 30"))->PortataAriaEff[3], 750);

    // With a static pressure the curve is evaluated: 25 Pa is point 3.
    Stato.PressioneStatica = 1;
    for (int s = 1; s <= 3; ++s)
        Stato.PressioneDisponibile[s] = 25;
    selezionaPerPortataAria(450);
    EXPECT_EQ(ListaMacchine.Find(QStringLiteral("FC 30"))->PortataAriaEff[3], 750 - 2 * 60);
    EXPECT_EQ(spunte(), (std::vector<bool>{false, true, true}));
}

TEST_F(Selezione, CoolingByWaterInput)
{
    fancoil& m = aggiungi(QStringLiteral("FC 20"));
    Stato.VeloCalcolo = 2;

    // Temperatures: the reference speed at the given temperatures, the
    // others at its pressure drop.
    Stato.DatiInRaffredda = 0;
    calcolaRaffreddamento();
    EXPECT_EQ(m.TUscFreddo[2], 12);
    EXPECT_DOUBLE_EQ(m.ResaTotKcal[2], 160 * 9.5);
    for (int s : {1, 3}) {
        EXPECT_FALSE(m.NonCalcolatoFreddo[s]);
        EXPECT_NE(m.TUscFreddo[s], 12) << s;
        EXPECT_NEAR(resaFreddoPDC(m, s, false, m.TUscFreddo[s], m.CoeffResaFrigSens[s], m.CoeffResaFrigTot[s]),
                    m.PerditaFreddo[2], 0.01)
            << s;
    }
    for (int s = 1; s <= 3; ++s) {
        EXPECT_EQ(m.PortataFreddo[s], m.PortataFreddo[2]) << s;
        EXPECT_EQ(m.PerditaFreddo[s], m.PerditaFreddo[2]) << s;
    }

    // Required flow at every speed.
    Stato.DatiInRaffredda = 1;
    Stato.PortAcquaRichiestaFreddo = 350;
    calcolaRaffreddamento();
    for (int s = 1; s <= 3; ++s)
        EXPECT_NEAR(m.PortataFreddo[s], 350, 0.5) << s;
    EXPECT_GT(m.ResaTotW[3], m.ResaTotW[1]);

    // Required pressure drop at every speed.
    Stato.DatiInRaffredda = 2;
    Stato.PDCFreddo = 15;
    calcolaRaffreddamento();
    for (int s = 1; s <= 3; ++s)
        EXPECT_NEAR(m.PerditaFreddo[s], 15, 0.01) << s;
}

TEST_F(Selezione, HeatingByWaterInput)
{
    fancoil& m = aggiungi(QStringLiteral("FC 20"));
    Stato.DatiInRiscalda = 0;
    calcolaRiscaldamento();
    EXPECT_DOUBLE_EQ(m.ResaCaldoKcal[3], 65 * 45);
    EXPECT_EQ(m.PerditaCaldo[1], m.PerditaCaldo[3]);
    Stato.DatiInRiscalda = 1;
    Stato.PortAcquaRichiesta = 250;
    calcolaRiscaldamento();
    for (int s = 1; s <= 3; ++s)
        EXPECT_NEAR(m.PortataCaldo[s], 250, 0.5) << s;
    Stato.DatiInRiscalda = 2;
    Stato.PDCCaldo = 9;
    calcolaRiscaldamento();
    for (int s = 1; s <= 3; ++s)
        EXPECT_NEAR(m.PerditaCaldo[s], 9, 0.01) << s;
}

TEST_F(Selezione, OneSpeedFamily)
{
    fancoil& m = aggiungi(QStringLiteral("FC 20"));
    // Only speed 3 exists: rating speeds 1 or 2 would divide by zero.
    for (int s = 1; s <= 2; ++s) {
        m.PortAria[s] = 0;
        for (int j = 1; j <= 8; ++j) {
            m.QA[s][j] = 0;
            m.PSA[s][j] = 0;
        }
    }
    Stato.NumVelocita = 1;
    Stato.DatiInRaffredda = 1;
    Stato.PortAcquaRichiestaFreddo = 300;
    calcolaRaffreddamento();
    EXPECT_NEAR(m.PortataFreddo[3], 300, 0.5);
    EXPECT_EQ(m.ResaTotW[1], 0);
    EXPECT_EQ(m.ResaTotW[2], 0);
    // The copied water values reach the speeds that do not exist, as the
    // reports expect.
    EXPECT_EQ(m.PortataFreddo[1], m.PortataFreddo[3]);
    Stato.DatiInRiscalda = 0;
    EXPECT_NO_THROW(calcolaRiscaldamento());
    EXPECT_EQ(m.ResaCaldoW[1], 0);
    EXPECT_NO_THROW(calcolaSoloAria());
}

TEST_F(Selezione, AnUnratedModelIsSkippedAndTheRunGoesOn)
{
    fancoil& dead = aggiungi(QStringLiteral("FC 10"));
    fancoil& next = aggiungi(QStringLiteral("FC 20"), 1.2);
    aggiungi(QStringLiteral("FC 30"), 1.6);
    // A coil that gives no capacity cannot carry any water flow.
    for (int s = 1; s <= 3; ++s)
        dead.CoeffResaFrigTot[s] = dead.CoeffResaFrigSens[s] = 0;
    dead.ResaTotW[3] = 2500; // from an earlier run
    Stato.DatiInRaffredda = 1;
    Stato.PortAcquaRichiestaFreddo = 300;
    selezionaPerResaFreddo(100);
    for (int s = 1; s <= 3; ++s) {
        EXPECT_TRUE(dead.NonCalcolatoFreddo[s]) << s;
        EXPECT_EQ(dead.ResaTotW[s], 0) << s;
        EXPECT_EQ(dead.PortataFreddo[s], 0) << s;
        EXPECT_FALSE(next.NonCalcolatoFreddo[s]) << s;
        EXPECT_NEAR(next.PortataFreddo[s], 300, 0.5) << s;
    }
    // Below every rated model: the smallest rated one, not the unrated one.
    EXPECT_EQ(spunte(), (std::vector<bool>{false, true, false}));
}

TEST_F(Selezione, WaterOnTheWrongSideRatesNothing)
{
    aggiungi(QStringLiteral("FC 10"));
    aggiungi(QStringLiteral("FC 20"));
    Stato.TempIngAcquaFreddo = 26;
    Stato.TempUscAcquaFreddo = 30;
    Stato.DatiInRaffredda = 0;
    selezionaPerResaFreddo(3000);
    EXPECT_EQ(spunte(), (std::vector<bool>{false, false}));
    const fancoil& m = *ListaMacchine.Find(QStringLiteral("FC 20"));
    EXPECT_EQ(m.ResaTotW[3], 0);
    EXPECT_TRUE(m.NonCalcolatoFreddo[1]);
    EXPECT_EQ(m.PortataFreddo[1], 0);
}

TEST_F(Selezione, ADivisionErrorEndsTheRun)
{
    fancoil& first = aggiungi(QStringLiteral("FC 10"));
    aggiungi(QStringLiteral("FC 20")).PortAria[3] = 0;
    fancoil& last = aggiungi(QStringLiteral("FC 30"));
    Stato.DatiInRaffredda = 0;
    try {
        calcolaRaffreddamento();
        ADD_FAILURE() << "no error";
    } catch (const EZeroDivide& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Floating point division by zero"));
    }
    EXPECT_GT(first.ResaTotW[3], 0);
    EXPECT_EQ(last.ResaTotW[3], 0);
}

TEST_F(Selezione, HeatingCheckAfterCooling)
{
    fancoil& m = aggiungi(QStringLiteral("FC 20"));
    Stato.VeloCalcolo = 2;
    Stato.DatiInRaffredda = 0;
    calcolaRaffreddamento();
    const double pdFreddo = m.PerditaFreddo[2];
    const double flowFreddo = m.PortataFreddo[2];

    // What the check does by hand: heating at the cooling pressure drop,
    // then at the mean of the two flows.
    auto copy = std::make_unique<fancoil>(m);
    ASSERT_TRUE(calcolaCaldoPDC(*copy, 2, pdFreddo));
    const double fm = (copy->PortataCaldo[2] + flowFreddo) / 2;

    verificaCaldoDaFreddo();
    for (int s = 1; s <= 3; ++s) {
        EXPECT_FALSE(m.NonCalcolatoCaldo[s]) << s;
        EXPECT_NEAR(m.PortataCaldo[s], fm, 0.5) << s;
    }
    EXPECT_GT(m.ResaCaldoW[3], m.ResaCaldoW[1]);
    // The cooling results stay.
    EXPECT_EQ(m.PortataFreddo[2], flowFreddo);
}

TEST_F(Selezione, CoolingCheckAfterHeating)
{
    fancoil& m = aggiungi(QStringLiteral("FC 20"));
    Stato.DatiInRiscalda = 0;
    calcolaRiscaldamento();
    auto copy = std::make_unique<fancoil>(m);
    ASSERT_TRUE(calcolaFreddoPDC(*copy, 3, m.PerditaCaldo[3]));
    const double fm = (m.PortataCaldo[3] + copy->PortataFreddo[3]) / 2;
    verificaFreddoDaCaldo();
    for (int s = 1; s <= 3; ++s)
        EXPECT_NEAR(m.PortataFreddo[s], fm, 0.5) << s;
}

TEST_F(Selezione, CheckWithoutACoolingRatingIsNotRated)
{
    fancoil& m = aggiungi(QStringLiteral("FC 20"));
    Stato.TempIngAcquaFreddo = 26;
    Stato.TempUscAcquaFreddo = 30;
    calcolaRaffreddamento();
    m.ResaCaldoW[3] = 777; // from an earlier run
    verificaCaldoDaFreddo();
    for (int s = 1; s <= 3; ++s) {
        EXPECT_TRUE(m.NonCalcolatoCaldo[s]) << s;
        EXPECT_EQ(m.ResaCaldoW[s], 0) << s;
        EXPECT_EQ(m.PortataCaldo[s], 0) << s;
    }
    marcaPerResaCaldo(100);
    EXPECT_EQ(spunte(), (std::vector<bool>{false}));
}

} // namespace

namespace {

TEST_F(Selezione, AirOnlyRatesTheTickedItems)
{
    fancoil& ticked = aggiungi(QStringLiteral("FC 10"));
    fancoil& unticked = aggiungi(QStringLiteral("FC 20"), 1.0, false);
    Stato.PressioneStatica = 1;
    for (int s = 1; s <= 3; ++s)
        Stato.PressioneDisponibile[s] = 20;
    calcolaSoloAria();
    EXPECT_EQ(ticked.PortataAriaEff[1], 300 - 0.08 * 300 * 1.5);
    EXPECT_EQ(ticked.PortataAriaEff[3], 500 - 0.08 * 500 * 1.5);
    EXPECT_EQ(unticked.PortataAriaEff[3], 0);
    // A pressure above the curve is rated at its last point.
    Stato.PressioneDisponibile[3] = 1000;
    calcolaSoloAria();
    EXPECT_EQ(ticked.PortataAriaEff[3], 220);
}

} // namespace
