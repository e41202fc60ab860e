// The panel: one page per model, the speeds as columns.
#include "ReportsFixture.h"

using namespace rtest;

namespace {

using Panel = ReportsTest;

TEST_F(Panel, OnePagePerModelWithHeadsFromTheFirstModel)
{
    models(3);
    model(2).Descr = QStringLiteral("Altra descrizione");
    ASSERT_TRUE(reportPannello(in, form));
    const std::vector<int> breaks = pageBreaks();
    ASSERT_EQ(breaks.size(), 2u);
    for (int i : breaks)
        EXPECT_EQ(rep().GetBand(i)->Name(), "Intestazione");
    const std::vector<TARBand*> serie = bands("RigaSerie");
    ASSERT_EQ(serie.size(), 9u); // three bands a page: model, installation and series, description
    EXPECT_EQ(cell(serie[0], 1), "FC-01");
    EXPECT_EQ(cell(serie[3], 1), "FC-02");
    EXPECT_EQ(cell(serie[6], 1), "FC-03");
    EXPECT_EQ(cell(serie[5], 0), "Ventilconvettore da parete");
    EXPECT_EQ(cell(serie[4], 0), "Tipo impianto: \r2 tubi");
    EXPECT_EQ(cell(serie[4], 2), "Serie:  \rSerie T");
}

TEST_F(Panel, SpeedColumnsCoolingAndHeatingSideBySide)
{
    models(1);
    Stato.VeloCalcolo = 2;
    ASSERT_TRUE(reportPannello(in, form));
    TARBand* head = bands("Raffreddamento")[0];
    EXPECT_EQ(cell(head, 0), "Raffreddamento");
    EXPECT_EQ(cell(head, 1), "MIN");
    EXPECT_EQ(cell(head, 3), "MAX");
    EXPECT_EQ(cell(head, 5), "Riscaldamento");
    TARBand* tua = bands("TUAFreddo")[0];
    EXPECT_EQ(cell(tua, 2), "12,1");
    EXPECT_EQ(cell(tua, 4), "12,3");
    EXPECT_EQ(cell(tua, 8), "40,1");
    EXPECT_EQ(cell(tua, 10), "40,3");
    // Inlet temperatures and per-speed flows.
    EXPECT_EQ(cell(bands("FTIA")[0], 2), "7,0");
    EXPECT_EQ(cell(bands("PortAcquaFreddo")[0], 3), "302");
    EXPECT_EQ(cell(bands("RFTOT")[0], 4), "1.003");
    EXPECT_EQ(cell(bands("RFTOT")[1], 4), "863");
    EXPECT_EQ(cell(bands("RFTOT")[0], 10), "2.003");
    // Each speed's own electrical values.
    TARBand* corr = bands("CorrAss")[0];
    EXPECT_EQ(cell(corr, 2), "0,11");
    EXPECT_EQ(cell(corr, 4), "0,13");
    EXPECT_EQ(cell(bands("Note")[0], 4), "31");
    EXPECT_EQ(cell(bands("Note")[0], 5), "32");
    EXPECT_EQ(cell(bands("ALT")[0], 6), "26");
    EXPECT_EQ(cell(bands("ALT")[0], 8), "28");
}

TEST_F(Panel, TwoSpeedFamilyLeavesMinEmptyAndClampedPressuresBold)
{
    models(1);
    Stato.NumVelocita = 2;
    // 60 Pa: above the MED curve (20-55 Pa), inside the MAX one (30-65 Pa).
    for (int s = 1; s <= 3; ++s)
        Stato.PressioneDisponibile[s] = 60;
    ASSERT_TRUE(reportPannello(in, form));
    TARBand* tua = bands("TUAFreddo")[0];
    EXPECT_EQ(cell(tua, 2), "");
    EXPECT_EQ(cell(tua, 3), "12,2");
    EXPECT_EQ(form.UserRep->GetVar("FTUA1"), "");
    TARBand* corr = bands("CorrAss")[0];
    EXPECT_EQ(cell(corr, 8), "");   // MIN not in the family
    EXPECT_EQ(cell(corr, 9), "55"); // MED curve ends at 55: clamped
    EXPECT_TRUE(bold(corr, 9));
    EXPECT_EQ(cell(corr, 10), "60");
    EXPECT_FALSE(bold(corr, 10));
}

TEST_F(Panel, CoolingOnlyKeepsTheBandsAndLeavesHeatingEmpty)
{
    models(1);
    Stato.ModoCalcolo = 0;
    in.Prezzi.CheckListino = in.Prezzi.CheckNetto = in.Prezzi.CheckSconto = true;
    in.Prezzi.Sconto = true;
    in.Prezzi.Sconto1 = 20;
    ASSERT_TRUE(reportPannello(in, form));
    TARBand* rftot = bands("RFTOT")[0];
    EXPECT_EQ(cell(rftot, 4), "1.003");
    EXPECT_EQ(cell(rftot, 6), "Resa termica");
    EXPECT_EQ(cell(rftot, 8), "");
    EXPECT_EQ(cell(bands("FTABS")[0], 8), "");
    EXPECT_EQ(cell(bands("FTABS")[0], 6), "Temperatura aria B.S.");
    // Prices in the last bands, suffix 1.
    const std::vector<TARBand*> v = bands("Versione");
    ASSERT_EQ(v.size(), 5u);
    EXPECT_EQ(cell(v[1], 1), "V1");
    EXPECT_EQ(cell(v[2], 5), "Euro");
    EXPECT_EQ(cell(v[2], 6), "100,00");
    EXPECT_EQ(cell(v[3], 6), "20");
    EXPECT_EQ(cell(v[4], 6), "80,00");
    EXPECT_EQ(cell(v[2], 2), "1.000");
}

} // namespace
