#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/Correzioni.h"
#include "engine/Records.h"
#include "platform/Errors.h"

class Correzioni : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetEngineRecords();
        caricaTabelleParametri();
    }
};

TEST_F(Correzioni, GlycolFactors)
{
    struct Case {
        int perc;
        bool ok;
        double resa, portata, pdc;
    } cases[] = {
        {0, true, 1.0, 1.0, 1.0},
        {25, true, 0.9765, 1.073, 1.292},
        {50, true, 0.96, 1.2, 1.468},
        {-5, true, 1.007, 1.0 - 0.0115, 1.0 - 0.061}, // below the table: first segment extrapolated
        {51, false, 1.0, 1.0, 1.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(correzioneGlicole(c.perc), c.ok) << c.perc;
        EXPECT_NEAR(DatiGlobali.fattResaGlicole, c.resa, 1e-12) << c.perc;
        EXPECT_NEAR(DatiGlobali.fattPortataGlicole, c.portata, 1e-12) << c.perc;
        EXPECT_NEAR(DatiGlobali.fattPDCGlicole, c.pdc, 1e-12) << c.perc;
    }
}

TEST_F(Correzioni, AltitudeFactors)
{
    EXPECT_TRUE(correzioneAltitudine(0));
    EXPECT_DOUBLE_EQ(DatiGlobali.fattCaldoAlt, 1.0);
    EXPECT_TRUE(correzioneAltitudine(750));
    EXPECT_NEAR(DatiGlobali.fattCaldoAlt, 0.955, 1e-12);
    EXPECT_NEAR(DatiGlobali.fattTotAlt, 0.965, 1e-12);
    EXPECT_NEAR(DatiGlobali.fattSensAlt, 0.945, 1e-12);
    EXPECT_TRUE(correzioneAltitudine(2000));
    EXPECT_DOUBLE_EQ(DatiGlobali.fattSensAlt, 0.87);
    EXPECT_FALSE(correzioneAltitudine(2001));
    EXPECT_DOUBLE_EQ(DatiGlobali.fattTotAlt, 1.0);
}

TEST_F(Correzioni, PressureDropCoefficient)
{
    struct Case {
        double tm, coeff;
    } cases[] = {{10, 1.0}, {12.5, 0.99}, {-22, 1.138}, {-20, 1.13}, {140, 0.47}, {141, 0.47}, {500, 0.47}, {47.5, 0.85}};
    for (const Case& c : cases)
        EXPECT_NEAR(coeffPDCTemperatura(c.tm), c.coeff, 1e-12) << c.tm;
}

// The row is the first whose temperature is not below Tm, as a scan of the
// table finds it, to the last bit: on the grid points, one ulp either side
// of them, between them, and beyond both ends.
TEST_F(Correzioni, PressureDropCoefficientTakesTheRowAScanFinds)
{
    const auto scan = [](double x) {
        const auto g = [](int i) { return (i - 5) * 5.0; };
        const auto& v = DatiGlobali.CoeffPDC;
        int i = 1;
        while (i <= 33 && g(i) < x)
            ++i;
        if (i > 33)
            return v[33];
        if (g(i) == x)
            return v[i];
        const int b = i == 1 ? 2 : i, a = b - 1;
        return v[a] + (v[b] - v[a]) * (x - g(a)) / (g(b) - g(a));
    };
    std::vector<double> temps = {-1e300, -1e9, -std::numeric_limits<double>::infinity(), 1e9,
                                 std::numeric_limits<double>::infinity(), -0.0, 1e-300, -1e-300};
    for (int k = -7; k <= 30; ++k) {
        const double t = k * 5.0;
        temps.insert(temps.end(), {t, std::nextafter(t, -1e9), std::nextafter(t, 1e9), t + 0.0001, t - 0.0001,
                                   t + 2.5, t + 1.0 / 3});
    }
    for (double t : temps) {
        const double want = scan(t), got = coeffPDCTemperatura(t);
        EXPECT_EQ(std::memcmp(&want, &got, sizeof got), 0) << t << ": " << got << " instead of " << want;
    }
    EXPECT_THROW(coeffPDCTemperatura(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
    // The same with the segment of the value before kept, as a solver keeps
    // it from trial to trial: in the order above, then each value after
    // every other one, and a NaN after a segment is kept.
    SegmentoPDC seg;
    for (double t : temps) {
        const double want = scan(t), got = coeffPDCTemperatura(t, &seg);
        EXPECT_EQ(std::memcmp(&want, &got, sizeof got), 0) << t << ": " << got << " instead of " << want;
    }
    for (double before : temps) {
        for (double t : temps) {
            SegmentoPDC kept;
            coeffPDCTemperatura(before, &kept);
            const double want = scan(t), got = coeffPDCTemperatura(t, &kept);
            EXPECT_EQ(std::memcmp(&want, &got, sizeof got), 0) << before << " then " << t << ": " << got;
        }
    }
    coeffPDCTemperatura(12.5, &seg);
    EXPECT_THROW(coeffPDCTemperatura(std::numeric_limits<double>::quiet_NaN(), &seg), EInvalidOp);
}

TEST_F(Correzioni, PressureDropOfACoil)
{
    // coeff(10) = 1: (Flow / Kv)^2.
    EXPECT_NEAR(perditaCarico(10, 500, 100), 25.0, 1e-12);
    EXPECT_NEAR(perditaCarico(12.5, 500, 100), 24.75, 1e-12);
    EXPECT_THROW(perditaCarico(10, 500, 0), EZeroDivide);
    EXPECT_THROW(perditaCarico(10, 0, 0), EInvalidOp);
}
