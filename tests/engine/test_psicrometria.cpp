#include <gtest/gtest.h>

#include <chrono>

#include "engine/Psicrometria.h"
#include "engine/Records.h"
#include "platform/Errors.h"
#include "platform/MainWindowLink.h"

namespace {

class Psicrometria : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetEngineRecords();
        UnitaSI = true;
        Limiti[8] = {5, 40};
        Limiti[9] = {5, 95};
        Limiti[10] = {-2.3, 39.3};
    }
    ScopedFakeMainWindow mw;
};

TEST_F(Psicrometria, BarometricPressureByAltitude)
{
    struct Case {
        double ft, inHg;
    } cases[] = {
        {0, 29.921},
        {250, (29.921 + 29.38) / 2},
        {-1000, 31.02},
        {-1500, 31.02 + (31.02 - 30.47)}, // below the table: first segment extrapolated
        {1500, (28.86 + 27.82) / 2},
        {60000, 2.14},
        {70000, 2.14},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(pressioneBarometrica(c.ft), c.inHg, 1e-12) << c.ft;
}

TEST_F(Psicrometria, SaturationAndDewPointAgree)
{
    // At 32 degF both the ice and the water relation give about 0.18 inHg,
    // where the dew point changes formula.
    EXPECT_NEAR(pressioneSaturazione(32), 0.18036, 2e-4);
    EXPECT_NEAR(pressioneSaturazione(31.9999), pressioneSaturazione(32), 1e-4);
    // The dew point inverts the saturation pressure on both branches.
    for (double T : {10.0, 25.0, 40.0, 60.0, 80.0, 100.0})
        EXPECT_NEAR(temperaturaRugiada(pressioneSaturazione(T)), T, 0.1) << T;
    EXPECT_DOUBLE_EQ(titoloUmidita(1, 10), 0.622 / 10);
    EXPECT_DOUBLE_EQ(entalpia(0.01, 80), 0.24 * 80 + 0.01 * (1061 + 0.444 * 80));
}

TEST_F(Psicrometria, WetBulb)
{
    struct Case {
        int altitude;
        double rh, tdb, twb, tol;
    } cases[] = {
        {0, 50, 27, 19.454, 0.0005},
        {1000, 50, 27, 19.2, 0.05},
        {0, 50, 25, 17.8, 0.05},
        {0, 100, 22, 22, 1e-12}, // saturated air: the wet bulb is the dry bulb
    };
    for (const Case& c : cases) {
        Stato.Altitud = c.altitude;
        Stato.ErroreCalcolo = true;
        EXPECT_NEAR(bulboUmido(c.rh, c.tdb), c.twb, c.tol) << c.altitude << " " << c.rh << " " << c.tdb;
        EXPECT_FALSE(Stato.ErroreCalcolo);
    }
    // Inch-pound units when the flag is off.
    UnitaSI = false;
    EXPECT_NEAR(calcolaBulboUmido(0, 50, 27 * 9.0 / 5 + 32), 19.454 * 9.0 / 5 + 32, 0.001);
}

TEST_F(Psicrometria, WetBulbWithoutVapourIsRefused)
{
    EXPECT_THROW(bulboUmido(0, 25), EInvalidOp);
}

TEST_F(Psicrometria, RelativeHumidity)
{
    const double rh = umiditaRelativa(17.8, 25);
    EXPECT_NEAR(rh, 50, 0.1);
    EXPECT_NEAR(bulboUmido(rh, 25), 17.8, 0.02);
    EXPECT_EQ(mw.wetBulbWrites, 0);
    // The last midpoint: never a bracket end.
    EXPECT_NE(rh, 45.0);
    EXPECT_NE(rh, 50.0);
}

TEST_F(Psicrometria, RelativeHumidityClampsAndRewritesTheWetBulb)
{
    const double at5 = bulboUmido(5, 25);
    const double at95 = bulboUmido(95, 25);
    EXPECT_EQ(umiditaRelativa(at5 - 1, 25), 5);
    EXPECT_EQ(mw.wetBulbWrites, 1);
    EXPECT_DOUBLE_EQ(mw.wetBulb, at5);

    EXPECT_EQ(umiditaRelativa(at95 + 0.5, 25), 95);
    EXPECT_EQ(mw.wetBulbWrites, 2);
    EXPECT_DOUBLE_EQ(mw.wetBulb, at95);

    // Just inside the range: no clamping.
    const double rh = umiditaRelativa(bulboUmido(93, 25), 25);
    EXPECT_NEAR(rh, 93, 0.1);
    EXPECT_EQ(mw.wetBulbWrites, 2);
}

TEST_F(Psicrometria, DryBulb)
{
    bool trovato = false;
    const double tdb = bulboSecco(50, 19.454, &trovato);
    EXPECT_TRUE(trovato);
    EXPECT_NEAR(tdb, 27, 0.002);
    EXPECT_FALSE(Stato.ErroreCalcolo);
    const double dry = bulboSecco(30, 15, &trovato);
    EXPECT_TRUE(trovato);
    EXPECT_NEAR(bulboUmido(30, dry), 15, 0.001);
    // The driest air the page accepts with its highest wet bulb.
    const double hot = bulboSecco(5, 39.3, &trovato);
    EXPECT_TRUE(trovato);
    EXPECT_NEAR(bulboUmido(5, hot), 39.3, 0.001);
}

TEST_F(Psicrometria, DryBulbOfSaturatedAirIsNotFound)
{
    // Near saturation the wet bulb at Twb + 0.2 already lies above Twb: the
    // search gives up at once instead of stepping without end.
    for (double rh : {99.0, 100.0}) {
        bool trovato = true;
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_EQ(bulboSecco(rh, 20, &trovato), 0) << rh;
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1));
        EXPECT_FALSE(trovato) << rh;
        EXPECT_TRUE(Stato.ErroreCalcolo) << rh;
    }
    // A wet bulb far outside the page's limits lies beyond the step bound.
    bool trovato = true;
    EXPECT_EQ(bulboSecco(1, 80, &trovato), 0);
    EXPECT_FALSE(trovato);
}

} // namespace
