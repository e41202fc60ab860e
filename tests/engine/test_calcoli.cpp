#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>

#include "ModelliProva.h"
#include "engine/Calcoli.h"
#include "engine/Correzioni.h"
#include "engine/Records.h"
#include "platform/Errors.h"

using fc::test::condizioniProva;
using fc::test::modelloProva;

namespace {

class Calcoli : public ::testing::Test {
protected:
    void SetUp() override { condizioniProva(); }
    std::unique_ptr<fancoil> model = modelloProva(QStringLiteral("FC 20"));
};

// Fills every result field of speed s with a value no rating produces.
void riempiVecchi(fancoil& m, int s)
{
    for (PerSpeed* f : {&m.TIngFreddo, &m.TUscFreddo, &m.PortataFreddo, &m.PerditaFreddo, &m.ResaTotKcal, &m.ResaTotW,
                        &m.ResaSensKcal, &m.ResaSensW, &m.TIngCaldo, &m.TUscCaldo, &m.PortataCaldo, &m.PerditaCaldo,
                        &m.ResaCaldoKcal, &m.ResaCaldoW})
        (*f)[s] = 123.25;
}

void expectFreddoZero(const fancoil& m, int s)
{
    for (const PerSpeed* f : {&m.TIngFreddo, &m.TUscFreddo, &m.PortataFreddo, &m.PerditaFreddo, &m.ResaTotKcal,
                              &m.ResaTotW, &m.ResaSensKcal, &m.ResaSensW})
        EXPECT_EQ((*f)[s], 0.0);
}

void expectCaldoZero(const fancoil& m, int s)
{
    for (const PerSpeed* f : {&m.TIngCaldo, &m.TUscCaldo, &m.PortataCaldo, &m.PerditaCaldo, &m.ResaCaldoKcal, &m.ResaCaldoW})
        EXPECT_EQ((*f)[s], 0.0);
}

TEST_F(Calcoli, FanCurve)
{
    // Speed 3: QA 500, 460, 420, .. at PSA 5, 15, 25, ..
    struct Case {
        double x;
        bool found;
        double q;
    } cases[] = {
        {5, true, 500},              // first point, exact
        {25, true, 420},             // a middle point, exact
        {75, true, 220},             // last point, exact
        {20, true, 440},             // halfway between two points
        {17.5, true, 450},
        {0, true, 500},              // below the first point: extrapolated to 520, capped
        {-100, true, 500},
        {80, false, 220},            // above the curve: last point, not found
    };
    for (const Case& c : cases) {
        EXPECT_EQ(calcolaPortataAria(*model, 3, c.x), c.found) << c.x;
        EXPECT_DOUBLE_EQ(model->PortataAriaEff[3], c.q) << c.x;
        const double r = c.q / 500;
        EXPECT_DOUBLE_EQ(model->FattoreSens[3], std::pow(r, 0.8)) << c.x;
        EXPECT_DOUBLE_EQ(model->FattoreTot[3], std::pow(r, 0.9)) << c.x;
        EXPECT_DOUBLE_EQ(model->FattoreCaldo[3], std::pow(r, 0.85)) << c.x;
    }
    // The nominal air flow gives factors of exactly 1.
    calcolaPortataAria(*model, 2, 5);
    EXPECT_EQ(model->FattoreSens[2], 1.0);
    EXPECT_EQ(model->FattoreTot[2], 1.0);
    EXPECT_EQ(model->FattoreCaldo[2], 1.0);
}

// Curve points at the ends of the integer range: their difference does not
// fit an int, the air flow is still the straight line between them.
TEST_F(Calcoli, FanCurveWithExtremeAirFlowsStaysExact)
{
    struct Case {
        int qa1, qa2;
        double x, q;
    } cases[] = {
        {2000000000, -2000000000, 7.5, 1e9},    // a quarter of the way down
        {2147483647, -2147483647 - 1, 10, -0.5}, // halfway: the whole range
        {-2147483647 - 1, 2147483647, 10, -2147483648.0}, // rising curve, capped at the first point
    };
    for (const Case& c : cases) {
        model->QA[3][1] = c.qa1;
        model->QA[3][2] = c.qa2;
        model->PortAria[3] = 1000000000;
        model->n = model->m = model->p = 1; // keep the factors real for negative flows
        EXPECT_TRUE(calcolaPortataAria(*model, 3, c.x)) << c.qa1 << " " << c.qa2;
        EXPECT_DOUBLE_EQ(model->PortataAriaEff[3], c.q) << c.qa1 << " " << c.qa2;
        EXPECT_DOUBLE_EQ(model->FattoreSens[3], c.q / 1e9);
    }
}

// An evaluation kept from before gives way to any change of what the curve
// is computed from, whichever model was evaluated in between: after each
// change the factors and the air flow are those of a model that never had
// the curve evaluated, to the bit.
TEST_F(Calcoli, FanCurveFollowsEveryChangeOfItsInputs)
{
    const struct {
        const char* what;
        void (*change)(fancoil&, double& x);
    } cases[] = {
        {"curve flow", [](fancoil& m, double&) { m.QA[3][2] -= 7; }},
        {"curve pressure", [](fancoil& m, double&) { m.PSA[3][2] = std::nextafter(m.PSA[3][2], 100.0); }},
        {"nominal flow", [](fancoil& m, double&) { m.PortAria[3] += 1; }},
        {"sensible exponent", [](fancoil& m, double&) { m.n = std::nextafter(m.n, 1.0); }},
        {"total exponent", [](fancoil& m, double&) { m.m = m.n; }},
        {"heating exponent", [](fancoil& m, double&) { m.p = 0.7; }},
        {"pressure", [](fancoil&, double& x) { x = std::nextafter(x, 0.0); }},
        {"negative zero", [](fancoil&, double& x) { x = -0.0; }},
        {"nothing", [](fancoil&, double&) {}},
    };
    auto other = modelloProva(QStringLiteral("FC 30"), 1.5);
    double x = 17.5;
    for (const auto& c : cases) {
        calcolaPortataAria(*model, 3, x);
        calcolaPortataAria(*other, 3, 40);
        c.change(*model, x);
        calcolaPortataAria(*model, 3, x);
        auto fresh = modelloProva(QStringLiteral("FC 20"));
        fresh->QA = model->QA;
        fresh->PSA = model->PSA;
        fresh->PortAria = model->PortAria;
        fresh->n = model->n;
        fresh->m = model->m;
        fresh->p = model->p;
        calcolaPortataAria(*fresh, 3, x);
        for (const PerSpeed fancoil::*f :
             {&fancoil::PortataAriaEff, &fancoil::FattoreSens, &fancoil::FattoreTot, &fancoil::FattoreCaldo}) {
            const double got = ((*model).*f)[3], want = ((*fresh).*f)[3];
            EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0) << c.what << ": " << got << " instead of " << want;
        }
    }
}

TEST_F(Calcoli, FanCurveAtTheClampedPressure)
{
    Stato.PressioneDisponibile[3] = 500;
    EXPECT_EQ(pressioneLimitata(*model, 3), 75);
    Stato.TempIngAcquaFreddo = 7;
    calcolaFreddoTemperature(*model, 3);
    EXPECT_DOUBLE_EQ(model->PortataAriaEff[3], 220);
}

TEST_F(Calcoli, DirectCooling)
{
    calcolaFreddoTemperature(*model, 3);
    // Tm = 9.5; factors 1.
    const double qsens = 80 * (27 - 9.5);
    const double qtot = 200 * (19 - 9.5);
    EXPECT_EQ(model->TIngFreddo[3], 7);
    EXPECT_EQ(model->TUscFreddo[3], 12);
    EXPECT_DOUBLE_EQ(model->ResaSensKcal[3], qsens);
    EXPECT_DOUBLE_EQ(model->ResaTotKcal[3], qtot);
    EXPECT_EQ(model->ResaTotW[3], model->ResaTotKcal[3] / 0.86);
    EXPECT_EQ(model->ResaSensW[3], model->ResaSensKcal[3] / 0.86);
    EXPECT_DOUBLE_EQ(model->PortataFreddo[3], qtot / 5);
    EXPECT_DOUBLE_EQ(model->PerditaFreddo[3], perditaCarico(9.5, qtot / 5, 80));
    EXPECT_FALSE(model->NonCalcolatoFreddo[3]);
}

TEST_F(Calcoli, KcalToWatt)
{
    // 860 kcal/h of total capacity is 1000 W.
    model->CoeffResaFrigTot[3] = 860 / 9.5;
    model->CoeffResaFrigSens[3] = 40;
    calcolaFreddoTemperature(*model, 3);
    EXPECT_DOUBLE_EQ(model->ResaTotKcal[3], 860);
    EXPECT_DOUBLE_EQ(model->ResaTotW[3], 1000);
    model->CoeffResaTerm[3] = 860.0 / 45;
    calcolaCaldoTemperature(*model, 3);
    EXPECT_DOUBLE_EQ(model->ResaCaldoW[3], 1000);
}

TEST_F(Calcoli, SensibleAboveTotal)
{
    Stato.TBUFreddo = 12; // dry air: the total relation gives less than the sensible one
    calcolaFreddoTemperature(*model, 3);
    const double qsens = 80 * (27 - 9.5);
    EXPECT_DOUBLE_EQ(model->ResaTotKcal[3], qsens);
    EXPECT_DOUBLE_EQ(model->ResaSensKcal[3], qsens);
    EXPECT_DOUBLE_EQ(model->ResaTotW[3], model->ResaSensW[3]);
    EXPECT_DOUBLE_EQ(model->PortataFreddo[3], qsens / 5);
}

// A direct rating whose water is on the wrong side of the air, or whose
// outlet is on the wrong side of its inlet, rates nothing: the speed is not
// rated and none of its fields holds a negative or an earlier value.
TEST_F(Calcoli, DirectRatingsWithWaterOnTheWrongSideAreNotRated)
{
    struct Case {
        const char* name;
        bool cooling;
        double inlet, outlet;
    } cases[] = {
        {"cooling water warmer than the air", true, 25, 30},
        {"cooling outlet colder than the inlet", true, 10, 7},
        {"heating water colder than the air", false, 18, 14},
        {"heating outlet warmer than the inlet", false, 50, 60},
        {"heating water at the air's temperature", false, 20, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        condizioniProva();
        if (c.cooling) {
            Stato.TBSFreddo = 24;
            Stato.TBUFreddo = 17;
            Stato.TempIngAcquaFreddo = c.inlet;
            Stato.TempUscAcquaFreddo = c.outlet;
        } else {
            Stato.TempIngAcquaCaldo = c.inlet;
            Stato.TempUscAcquaCaldo = c.outlet;
        }
        auto m = modelloProva(QStringLiteral("FC 20"));
        riempiVecchi(*m, 3);
        if (c.cooling) {
            calcolaFreddoTemperature(*m, 3);
            EXPECT_TRUE(m->NonCalcolatoFreddo[3]);
            expectFreddoZero(*m, 3);
        } else {
            calcolaCaldoTemperature(*m, 3);
            EXPECT_TRUE(m->NonCalcolatoCaldo[3]);
            expectCaldoZero(*m, 3);
        }
        // The air side was still evaluated.
        EXPECT_EQ(m->PortataAriaEff[3], 500);
    }
}

TEST_F(Calcoli, GlycolAndAltitudeFactors)
{
    correzioneGlicole(20);
    correzioneAltitudine(1000);
    calcolaFreddoTemperature(*model, 3);
    const double qsens = 80 * 17.5 * 0.93;
    const double qtot = 200 * 9.5 * 0.95;
    EXPECT_DOUBLE_EQ(model->ResaSensKcal[3], qsens * 0.98);
    EXPECT_DOUBLE_EQ(model->ResaTotKcal[3], qtot * 0.98);
    // Flow and pressure drop are corrected separately from the raw flow.
    EXPECT_DOUBLE_EQ(model->PortataFreddo[3], 1.054 * qtot / 5);
    EXPECT_DOUBLE_EQ(model->PerditaFreddo[3], perditaCarico(9.5, qtot / 5, 80) * 1.249);

    calcolaCaldoTemperature(*model, 3);
    const double q = 65 * 45 * 0.94;
    EXPECT_EQ(model->TIngCaldo[3], 70);
    EXPECT_EQ(model->TUscCaldo[3], 60);
    EXPECT_DOUBLE_EQ(model->ResaCaldoKcal[3], q * 0.98);
    EXPECT_DOUBLE_EQ(model->ResaCaldoW[3], q * 0.98 / 0.86);
    EXPECT_DOUBLE_EQ(model->PortataCaldo[3], 1.054 * q / 10);
    EXPECT_DOUBLE_EQ(model->PerditaCaldo[3], perditaCarico(65, q / 10, 50) * 1.249);
}

TEST_F(Calcoli, TrialKernelsWriteOnlyWhenStoring)
{
    calcolaPortataAria(*model, 3, 0);
    riempiVecchi(*model, 3);
    const double flow = resaFreddoPortata(*model, 3, false, 12, 80, 200);
    const double pd = resaFreddoPDC(*model, 3, false, 12, 80, 200);
    EXPECT_DOUBLE_EQ(flow, 200 * 9.5 / 5);
    EXPECT_DOUBLE_EQ(pd, perditaCarico(9.5, flow, 80));
    EXPECT_DOUBLE_EQ(resaCaldoPortata(*model, 3, false, 60, 65), 65 * 45 / 10.0);
    EXPECT_DOUBLE_EQ(resaCaldoPDC(*model, 3, false, 60, 65), perditaCarico(65, 65 * 45 / 10.0, 50));
    EXPECT_EQ(model->PortataFreddo[3], 123.25);
    EXPECT_EQ(model->ResaCaldoW[3], 123.25);
    resaFreddoPortata(*model, 3, true, 12, 80, 200);
    EXPECT_DOUBLE_EQ(model->PortataFreddo[3], flow);
    EXPECT_DOUBLE_EQ(model->PerditaFreddo[3], pd);
    EXPECT_EQ(model->TUscFreddo[3], 12);
}

// The outlet temperature at which f falls to target, to full precision.
template <class F>
double soluzioneEsatta(double a, double b, double target, F f)
{
    for (int i = 0; i < 200; ++i) {
        const double mid = (a + b) / 2;
        (f(mid) > target ? a : b) = mid;
    }
    return (a + b) / 2;
}

TEST_F(Calcoli, CoolingAtARequiredFlowWithGlycol)
{
    correzioneGlicole(20);
    ASSERT_TRUE(calcolaFreddoPortata(*model, 3, 1054));
    // Searched as 1000 l/h raw.
    const double exact = soluzioneEsatta(7.001, 20, 1000, [&](double T) { return resaFreddoPortata(*model, 3, false, T, 80, 200); });
    const double T = model->TUscFreddo[3];
    EXPECT_NEAR(T, exact, 0.0001);
    EXPECT_NEAR(model->PortataFreddo[3], 1054, 0.5);
    EXPECT_DOUBLE_EQ(model->PortataFreddo[3], resaFreddoPortata(*model, 3, false, T, 80, 200) * 1.054);
    EXPECT_DOUBLE_EQ(model->ResaTotKcal[3], 200 * (19 - (T + 7) / 2) * 0.98);
    EXPECT_FALSE(model->NonCalcolatoFreddo[3]);
}

TEST_F(Calcoli, SolversFindTheOutletTemperature)
{
    struct Case {
        const char* name;
        bool (*solve)(fancoil&, int, double);
        double target;
        bool cooling, pd;
    } cases[] = {
        {"cooling flow", calcolaFreddoPortata, 250, true, false},
        {"cooling pressure drop", calcolaFreddoPDC, 8, true, true},
        {"heating flow", calcolaCaldoPortata, 200, false, false},
        {"heating pressure drop", calcolaCaldoPDC, 12, false, true},
    };
    for (const Case& c : cases) {
        for (int s = 1; s <= 3; ++s) {
            Stato.VeloCalcolo = s;
            SCOPED_TRACE(testing::Message() << c.name << " speed " << s);
            ASSERT_TRUE(c.solve(*model, s, c.target));
            const auto f = [&](double T) {
                if (c.cooling)
                    return c.pd ? resaFreddoPDC(*model, s, false, T, 0.16 * model->PortAria[s], 0.4 * model->PortAria[s])
                                : resaFreddoPortata(*model, s, false, T, 0.16 * model->PortAria[s], 0.4 * model->PortAria[s]);
                return c.pd ? resaCaldoPDC(*model, s, false, T, 0.13 * model->PortAria[s])
                            : resaCaldoPortata(*model, s, false, T, 0.13 * model->PortAria[s]);
            };
            const double T = c.cooling ? model->TUscFreddo[s] : model->TUscCaldo[s];
            const double exact = c.cooling ? soluzioneEsatta(7.001, 19, c.target, f)
                                           : soluzioneEsatta(69.999, 20, c.target, f);
            EXPECT_NEAR(T, exact, 0.0001);
            const double stored = c.cooling ? (c.pd ? model->PerditaFreddo[s] : model->PortataFreddo[s])
                                            : (c.pd ? model->PerditaCaldo[s] : model->PortataCaldo[s]);
            EXPECT_DOUBLE_EQ(stored, f(T));
            EXPECT_NEAR(stored, c.target, c.target * 0.001);
        }
    }
}

// Targets whose outlet lies within the last degree before the air
// temperature: the 1 K walk would step past the air, the search must not.
TEST_F(Calcoli, SolversReachTargetsJustShortOfTheAirTemperature)
{
    struct Case {
        const char* name;
        bool cooling, pd;
        double outlet; // the outlet that gives the target
    } cases[] = {
        {"cooling flow", true, false, 26.5},
        {"cooling pressure drop", true, true, 26.5},
        {"cooling flow, outlet 0.1 K short of the air", true, false, 26.9},
        {"heating flow", false, false, 20.5},
        {"heating pressure drop", false, true, 20.5},
        {"heating flow, outlet 0.1 K short of the air", false, false, 20.1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        condizioniProva();
        Stato.TBUFreddo = 19.5;
        auto m = modelloProva(QStringLiteral("FC 20"));
        calcolaPortataAria(*m, 3, pressioneLimitata(*m, 3));
        const auto f = [&](double T) {
            if (c.cooling)
                return c.pd ? resaFreddoPDC(*m, 3, false, T, 80, 200) : resaFreddoPortata(*m, 3, false, T, 80, 200);
            return c.pd ? resaCaldoPDC(*m, 3, false, T, 65) : resaCaldoPortata(*m, 3, false, T, 65);
        };
        const double target = f(c.outlet);
        ASSERT_GT(target, 0);
        bool ok = false;
        if (c.cooling)
            ok = c.pd ? calcolaFreddoPDC(*m, 3, target) : calcolaFreddoPortata(*m, 3, target);
        else
            ok = c.pd ? calcolaCaldoPDC(*m, 3, target) : calcolaCaldoPortata(*m, 3, target);
        EXPECT_TRUE(ok);
        if (!ok)
            continue;
        EXPECT_NEAR(c.cooling ? m->TUscFreddo[3] : m->TUscCaldo[3], c.outlet, 0.0002);
        EXPECT_FALSE(c.cooling ? m->NonCalcolatoFreddo[3] : m->NonCalcolatoCaldo[3]);
        EXPECT_GT(c.cooling ? m->ResaTotKcal[3] : m->ResaCaldoKcal[3], 0);
    }
}

TEST_F(Calcoli, SolversCopyTheReferenceSpeedsWaterValues)
{
    Stato.VeloCalcolo = 2;
    ASSERT_TRUE(calcolaFreddoPortata(*model, 2, 300));
    ASSERT_TRUE(calcolaFreddoPortata(*model, 3, 400));
    // Every speed shows the reference speed's flow and pressure drop, while
    // temperatures and capacities stay per speed.
    for (int k = 1; k <= 3; ++k) {
        EXPECT_NEAR(model->PortataFreddo[k], 300, 0.5) << k;
        EXPECT_EQ(model->PerditaFreddo[k], model->PerditaFreddo[2]) << k;
    }
    EXPECT_NE(model->TUscFreddo[3], model->TUscFreddo[2]);
    ASSERT_TRUE(calcolaCaldoPDC(*model, 3, 10));
    ASSERT_TRUE(calcolaCaldoPDC(*model, 2, 5));
    for (int k = 1; k <= 3; ++k)
        EXPECT_NEAR(model->PerditaCaldo[k], 5, 0.01) << k;
}

TEST_F(Calcoli, UnreachableTargetsEndQuickly)
{
    struct Case {
        const char* name;
        void (*setup)();
        bool (*solve)(fancoil&, int, double);
        double target;
        bool cooling;
    } cases[] = {
        {"cooling water warmer than the air", [] { Stato.TempIngAcquaFreddo = 25; Stato.TBSFreddo = 24; Stato.TBUFreddo = 18; },
         calcolaFreddoPortata, 300, true},
        {"cooling pressure drop, water warmer than the air",
         [] { Stato.TempIngAcquaFreddo = 25; Stato.TBSFreddo = 24; Stato.TBUFreddo = 18; }, calcolaFreddoPDC, 10, true},
        {"cooling flow above any reachable", [] {}, calcolaFreddoPortata, 1e12, true},
        {"cooling pressure drop above any reachable", [] {}, calcolaFreddoPDC, 1e12, true},
        {"cooling zero flow", [] {}, calcolaFreddoPortata, 0, true},
        {"cooling zero pressure drop", [] {}, calcolaFreddoPDC, 0, true},
        {"heating water colder than the air", [] { Stato.TempIngAcquaCaldo = 15; }, calcolaCaldoPortata, 200, false},
        {"heating pressure drop, water colder than the air", [] { Stato.TempIngAcquaCaldo = 15; }, calcolaCaldoPDC, 5, false},
        {"heating flow above any reachable", [] {}, calcolaCaldoPortata, 1e12, false},
        // So little water that it would leave colder than the air it heats.
        {"heating flow below any reachable", [] {}, calcolaCaldoPortata, 1, false},
        {"heating pressure drop below any reachable", [] {}, calcolaCaldoPDC, 1e-6, false},
        {"cooling flow below any reachable", [] {}, calcolaFreddoPortata, 1, true},
        {"heating mean water above the coefficient table", [] { Stato.TempIngAcquaCaldo = 300; }, calcolaCaldoPortata, 200, false},
        {"cooling mean water leaving the coefficient table",
         [] { Stato.TBSFreddo = 1000; Stato.TBUFreddo = 1000; Stato.TempIngAcquaFreddo = 100; }, calcolaFreddoPortata, 1e12, true},
        {"cooling beyond the step bound",
         [] { Stato.TBSFreddo = 1000; Stato.TBUFreddo = 1000; Stato.TempIngAcquaFreddo = -10; }, calcolaFreddoPortata, 1e12, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        condizioniProva();
        c.setup();
        auto m = modelloProva(QStringLiteral("FC 20"));
        riempiVecchi(*m, 3);
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_FALSE(c.solve(*m, 3, c.target));
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(200));
        if (c.cooling) {
            EXPECT_TRUE(m->NonCalcolatoFreddo[3]);
            expectFreddoZero(*m, 3);
        } else {
            EXPECT_TRUE(m->NonCalcolatoCaldo[3]);
            expectCaldoZero(*m, 3);
        }
        // The other speeds keep what they held: no copy from a failed speed.
        EXPECT_EQ(c.cooling ? m->PortataFreddo[1] : m->PortataCaldo[1], 0.0);
        // The air side was evaluated.
        EXPECT_EQ(m->PortataAriaEff[3], 500);
    }
}

TEST_F(Calcoli, ARatedSpeedClearsItsFlag)
{
    EXPECT_FALSE(calcolaFreddoPortata(*model, 3, 1e12));
    EXPECT_TRUE(model->NonCalcolatoFreddo[3]);
    EXPECT_TRUE(calcolaFreddoPortata(*model, 3, 300));
    EXPECT_FALSE(model->NonCalcolatoFreddo[3]);
    EXPECT_FALSE(calcolaCaldoPortata(*model, 3, 1e12));
    calcolaCaldoTemperature(*model, 3);
    EXPECT_FALSE(model->NonCalcolatoCaldo[3]);
}

TEST_F(Calcoli, DivisionErrors)
{
    struct Case {
        const char* name;
        void (*setup)(fancoil&);
        void (*run)(fancoil&);
        const char* message;
    } cases[] = {
        {"zero nominal air flow", [](fancoil& m) { m.PortAria[3] = 0; }, [](fancoil& m) { calcolaFreddoTemperature(m, 3); },
         "Floating point division by zero"},
        {"zero air flow over zero nominal", [](fancoil& m) { m.PortAria[3] = 0; for (int j = 1; j <= 8; ++j) m.QA[3][j] = 0; },
         [](fancoil& m) { calcolaCaldoTemperature(m, 3); }, "Invalid floating point operation"},
        {"zero cooling coil coefficient", [](fancoil& m) { m.PDCNomRaffr = 0; },
         [](fancoil& m) { calcolaFreddoTemperature(m, 3); }, "Floating point division by zero"},
        {"zero heating coil coefficient", [](fancoil& m) { m.PDCNomRisc = 0; },
         [](fancoil& m) { calcolaCaldoPortata(m, 3, 200); }, "Floating point division by zero"},
        {"zero coil coefficient in a pressure-drop search", [](fancoil& m) { m.PDCNomRaffr = 0; },
         [](fancoil& m) { calcolaFreddoPDC(m, 3, 10); }, "Floating point division by zero"},
        {"zero cooling temperature difference", [](fancoil&) { Stato.TempUscAcquaFreddo = Stato.TempIngAcquaFreddo; },
         [](fancoil& m) { calcolaFreddoTemperature(m, 3); }, "Floating point division by zero"},
        {"zero heating temperature difference", [](fancoil&) { Stato.TempUscAcquaCaldo = Stato.TempIngAcquaCaldo; },
         [](fancoil& m) { calcolaCaldoTemperature(m, 3); }, "Floating point division by zero"},
        {"equal static pressures of two curve points", [](fancoil& m) { m.PSA[3][2] = m.PSA[3][1]; Stato.PressioneDisponibile[3] = 0; },
         [](fancoil& m) { calcolaFreddoTemperature(m, 3); }, "Floating point division by zero"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        condizioniProva();
        auto m = modelloProva(QStringLiteral("FC 20"));
        c.setup(*m);
        try {
            c.run(*m);
            ADD_FAILURE() << "no error";
        } catch (const EMathError& e) {
            EXPECT_EQ(e.Message(), QString::fromLatin1(c.message));
        }
        for (const PerSpeed* f : {&m->PortataFreddo, &m->PerditaFreddo, &m->ResaTotW, &m->PortataCaldo, &m->PerditaCaldo,
                                  &m->ResaCaldoW, &m->FattoreSens, &m->PortataAriaEff})
            for (int s = 1; s <= 3; ++s)
                EXPECT_TRUE(std::isfinite((*f)[s]));
    }
}

} // namespace
