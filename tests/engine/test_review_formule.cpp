// The engine's figures are compared with earlier printouts to the last
// digit, so each formula is evaluated as written: a coefficient times a
// power, the interpolation's product before its quotient. These tables
// evaluate the written form independently and want identical doubles.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/Correzioni.h"
#include "engine/Psicrometria.h"
#include "engine/Records.h"

namespace {

class Formule : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetEngineRecords();
        caricaTabelleParametri();
    }
};

// v = va + (vb - va) * (x - ga) / (gb - ga), over the coefficient table.
double coeffScritto(double Tm)
{
    int i = 1;
    while (i <= 33 && (i - 5) * 5.0 < Tm)
        ++i;
    if ((i - 5) * 5.0 == Tm)
        return DatiGlobali.CoeffPDC[i];
    const int b = i == 1 ? 2 : i;
    const int a = b - 1;
    const double ga = (a - 5) * 5.0, gb = (b - 5) * 5.0;
    const double va = DatiGlobali.CoeffPDC[a], vb = DatiGlobali.CoeffPDC[b];
    return va + (vb - va) * (Tm - ga) / (gb - ga);
}

} // namespace

TEST_F(Formule, PressureDropCoefficientInterpolatesAsWritten)
{
    int diverse = 0;
    for (int k = -250; k <= 1400; ++k) {
        const double Tm = k / 10.0;
        if (coeffPDCTemperatura(Tm) != coeffScritto(Tm) && ++diverse <= 5)
            ADD_FAILURE() << "Tm " << Tm;
    }
    EXPECT_EQ(diverse, 0);
}

TEST_F(Formule, PressureDropIsTheCoefficientTimesTheSquaredRatio)
{
    int diverse = 0;
    for (double Tm : {9.5, 12.5, 37.3, 65.0})
        for (int flow = 7; flow <= 2000; flow += 37)
            for (double Kv : {36.0, 81.7, 150.25, 333.0}) {
                const double r = flow / Kv;
                if (perditaCarico(Tm, flow, Kv) != coeffPDCTemperatura(Tm) * (r * r) && ++diverse <= 5)
                    ADD_FAILURE() << "Tm " << Tm << " flow " << flow << " Kv " << Kv;
            }
    EXPECT_EQ(diverse, 0);
}

TEST_F(Formule, SaturationPressureAndDewPointAsWritten)
{
    int diverse = 0;
    for (int k = -100; k <= 1200; ++k) {
        const double T = k / 10.0;
        const double TR = T + 459.67;
        const double TR2 = TR * TR, TR3 = TR2 * TR, TR4 = TR3 * TR;
        const double lnpws = T < 32 ? -10214.16462 / TR + -4.89350301 + -0.00537657944 * TR + 1.92023769e-7 * TR2 +
                                          3.55758316e-10 * TR3 + -9.03446886e-14 * TR4 + 4.1635019 * std::log(TR)
                                    : -10440.39708 / TR + -11.2946496 + -0.027022355 * TR + 1.289036e-5 * TR2 +
                                          -2.478068e-9 * TR3 + 6.5459673 * std::log(TR);
        if (pressioneSaturazione(T) != 2.036021 * std::exp(lnpws) && ++diverse <= 5)
            ADD_FAILURE() << "T " << T << " degF";
    }
    for (int k = 1; k <= 3000; ++k) {
        const double pw = k / 1000.0;
        const double psia = 0.491154 * pw;
        const double a = std::log(psia);
        const double a2 = a * a, a3 = a2 * a;
        const double Tdew = pw < 0.18036 ? 90.12 + 26.142 * a + 0.8927 * a2
                                         : 100.45 + 33.193 * a + 2.319 * a2 + 0.17074 * a3 +
                                               1.2063 * std::pow(psia, 0.1984);
        if (temperaturaRugiada(pw) != Tdew && ++diverse <= 5)
            ADD_FAILURE() << "pw " << pw << " inHg";
    }
    EXPECT_EQ(diverse, 0);
}
