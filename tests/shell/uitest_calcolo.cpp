// The calculation run in every operation and mode on a few demo models,
// and the result rows it leaves in the grid.
#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>

#include "ShellFixture.h"
#include "components/OvNumEdit.h"
#include "components/OvNumFormat.h"
#include "engine/Selezione.h"
#include "platform/CheckListBox.h"
#include "platform/Colors.h"
#include "platform/Font.h"
#include "platform/Numbers.h"
#include "platform/RadioGroup.h"
#include "ui_TDodedaVO.h" // read by the layout generator, which does not look into ShellFixture.h

using namespace fc::test;

namespace {

class CalcoloTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        sep = std::make_unique<ScopedSeparators>('.', ',');
        standardFolder();
        open();
        window->OnRisultatiPronti = [this](int report) { reports << report; };
    }
    // Walks the wizard to the last page as a user would, then presses Calcola.
    void run()
    {
        dialogs.clear();
        for (int i = 0; i < 5 && pageName() != "Calcola"; ++i)
            f().Avanti->click();
        ASSERT_EQ(pageName(), "Calcola") << dialogs.messages().join('|').toStdString();
        f().BitBtnCalc->click();
    }
    QStringList column(int c, int from, int count)
    {
        QStringList out;
        for (int r = from; r < from + count; ++r)
            out << cell(c, r);
        return out;
    }
    // A window on VT 10 and VT 20 of the demo catalogue alone, under the
    // names a and b; with factors, their version "I" has the pressure
    // factors 2 and 3.
    void openRenamed(const QString& a, const QString& b, bool factors)
    {
        const auto renamed = [&](const QString& file, bool versions) {
            QString out;
            for (QString line : QString::fromUtf8(readFile(dataFile("catalogue/" + file))).split('\n')) {
                if (line.startsWith("INSERT")) {
                    if (!line.contains("'VT 10'") && !line.contains("'VT 20'"))
                        continue;
                    if (versions && factors && line.contains("', 'I', '")) {
                        const QString k = line.contains("'VT 10'") ? "2" : "3";
                        line.replace(QRegularExpression("^(.*', 'I', '[^']*', )1,"), "\\1" + k + ",");
                    }
                    line.replace("'VT 10'", "'" + a + "'").replace("'VT 20'", "'" + b + "'");
                }
                out += line + '\n';
            }
            return out;
        };
        window.reset();
        fc::SetMainWindow(nullptr);
        ListaMacchine.Clear();
        ListaVersioni.Clear();
        makeDatabase(dir.file("Dati.cds"), renamed("Dati.sql", false));
        makeDatabase(dir.file("Versioni.cds"), renamed("Versioni.sql", true));
        open();
        window->OnRisultatiPronti = [this](int report) { reports << report; };
    }
    static QString num(double v, int d) { return fc::FormatNumber(v, d, fc::TNumberFormat::Thousands); }
    const fancoil& model(const char* name) { return *ListaMacchine.Find(QLatin1String(name)); }

    std::unique_ptr<ScopedSeparators> sep;
    QList<int> reports;
};

const QStringList kCoolingLabels = {"Temp.ingresso acqua", "Temp.uscita acqua", "Resa frigorifera totale", "",
                                    "Resa frigorifera sensibile", "", "Portata Acqua", "Perdita di carico Acqua",
                                    "Portata Aria", ""};
const QStringList kCoolingUnits = {"RAFF.", "°C", "°C", "W", "Frig/h", "W", "Frig/h", "l/h", "kPa", "mc/h", ""};
const QStringList kHeatingLabels = {"Temp.ingresso acqua", "Temp.uscita acqua", "Resa termica", "", "Portata Acqua",
                                    "Perdita di carico Acqua", "Portata Aria", ""};
const QStringList kHeatingUnits = {"RISC.", "°C", "°C", "W", "kCal/h", "l/h", "kPa", "mc/h", ""};

} // namespace

TEST_F(CalcoloTest, CoolingRunAddsElevenRowsPerModel)
{
    run();
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    ASSERT_EQ(checkedModels(), QStringList({"VT 10", "VT 20", "VT 30"}));
    ASSERT_EQ(g().RowCount(), 1 + 3 * 11) << dump().toStdString();
    EXPECT_EQ(reports, QList<int>({0}));
    const char* names[3] = {"VT 10", "VT 20", "VT 30"};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(names[k]);
        const int h = 1 + 11 * k;
        const fancoil& m = model(names[k]);
        EXPECT_EQ(cell(0, h), names[k]);
        EXPECT_EQ(column(0, h + 1, 10), kCoolingLabels);
        EXPECT_EQ(column(1, h, 11), kCoolingUnits);
        EXPECT_EQ(QStringList({cell(2, h), cell(3, h), cell(4, h)}), QStringList({"MIN", "MED", "MAX"}));
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(g().Cell(c, h).Color(), clSilver);
        EXPECT_NE(g().Cell(0, h + 1).Color(), clSilver);
        EXPECT_EQ(g().Cell(3, h).Alignment(), taCenter);
        for (int s = 1; s <= 3; ++s) {
            const int c = s + 1;
            EXPECT_EQ(cell(c, h + 1), num(m.TIngFreddo[s], 1));
            EXPECT_EQ(cell(c, h + 2), num(m.TUscFreddo[s], 1));
            EXPECT_EQ(cell(c, h + 3), num(m.ResaTotW[s], 0));
            EXPECT_EQ(cell(c, h + 4), num(m.ResaTotKcal[s], 0));
            EXPECT_EQ(cell(c, h + 5), num(m.ResaSensW[s], 0));
            EXPECT_EQ(cell(c, h + 6), num(m.ResaSensKcal[s], 0));
            EXPECT_EQ(cell(c, h + 7), num(m.PortataFreddo[s], 0));
            EXPECT_EQ(cell(c, h + 8), num(m.PerditaFreddo[s], 1));
            EXPECT_EQ(cell(c, h + 9), num(m.PortataAriaEff[s], 0));
            EXPECT_EQ(g().Cell(c, h + 3).Alignment(), taRightJustify);
            EXPECT_FALSE(g().Cell(c, h + 3).Font().Bold());
            EXPECT_GT(m.ResaTotW[s], 0);
        }
        // The design speed MAX is rated at the page's water temperatures.
        EXPECT_EQ(cell(4, h + 1), "7.0");
        EXPECT_EQ(cell(4, h + 2), "12.0");
        EXPECT_EQ(column(2, h + 10, 1), QStringList({""}));
    }
    EXPECT_EQ(cell(0, 11 * 3), ""); // verification: no difference row
}

TEST_F(CalcoloTest, ThousandsSeparatorsAndTranslatedLabels)
{
    window.reset();
    fc::SetMainWindow(nullptr);
    standardFolder(true);
    open();
    chooseInstallation("4 pipes");
    run();
    ASSERT_EQ(g().RowCount(), 1 + 11);
    EXPECT_EQ(cell(0, 1), "VT4 30");
    EXPECT_EQ(cell(1, 1), "COOL.");
    EXPECT_EQ(cell(0, 4), "Total cooling capacity");
    EXPECT_EQ(cell(1, 4), "W");
    const double w = model("VT4 30").ResaTotW[3];
    ASSERT_GE(w, 1000);
    EXPECT_EQ(cell(4, 4), num(w, 0));
    EXPECT_TRUE(cell(4, 4).contains(',')) << cell(4, 4).toStdString();
}

TEST_F(CalcoloTest, EveryModeRatesAndListsInItsOrder)
{
    struct Mode {
        int modo;
        QStringList heads; // unit cell of each block header, in order
    };
    const QString R = "RAFF.", C = "RISC.";
    const Mode modes[] = {
        {1, {C, C, C}},
        {2, {R, R, R, C, C, C}},
        {3, {R, R, R, C, C, C}},
        {4, {C, C, C, R, R, R}},
    };
    for (const Mode& m : modes) {
        SCOPED_TRACE(m.modo);
        f().ControllaPagine->SetActivePage(f().Operazioni);
        f().Calcolo->Button(m.modo)->click();
        reports.clear();
        run();
        EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
        QStringList heads;
        for (int r = 1; r < g().RowCount();) {
            heads << cell(1, r);
            r += cell(1, r) == R ? 11 : 9;
        }
        EXPECT_EQ(heads, m.heads) << dump().toStdString();
        const int rows = 1 + 11 * int(m.heads.count(R)) + 9 * int(m.heads.count(C));
        EXPECT_EQ(g().RowCount(), rows);
        EXPECT_EQ(reports, QList<int>({0}));
        const int firstHeat = m.heads.first() == C ? 1 : 1 + 33;
        EXPECT_EQ(column(1, firstHeat, 9), kHeatingUnits);
        EXPECT_EQ(column(0, firstHeat + 1, 8), kHeatingLabels);
        const fancoil& vt = model("VT 10");
        EXPECT_EQ(cell(0, firstHeat), "VT 10");
        EXPECT_EQ(cell(4, firstHeat + 3), num(vt.ResaCaldoW[3], 0));
        EXPECT_EQ(cell(4, firstHeat + 4), num(vt.ResaCaldoKcal[3], 0));
        EXPECT_EQ(cell(4, firstHeat + 7), num(vt.PortataAriaEff[3], 0));
        if (m.modo == 1 || m.modo == 2 || m.modo == 4) {
            EXPECT_EQ(cell(4, firstHeat + 1), "70.0"); // rated at the page's water temperatures
            EXPECT_EQ(cell(4, firstHeat + 2), "60.0");
        } else {
            // Two-pipe heating check: at the cooling's mean water flow, not at the page's outlet.
            EXPECT_EQ(cell(4, firstHeat + 1), "70.0");
            EXPECT_NE(cell(4, firstHeat + 2), "60.0");
        }
    }
}

TEST_F(CalcoloTest, FourPipeCoolingWithHeatingCheckRunsTheFullHeatingRating)
{
    chooseInstallation("4 tubi");
    f().Calcolo->Button(2)->click(); // modes 3 and 4 are greyed on four pipes; set Stato as the page would
    run();
    ASSERT_EQ(g().RowCount(), 1 + 11 + 9);
    const double full = model("VT4 30").ResaCaldoW[3];
    // Mode 3 on four pipes: the same heating rating as mode 2.
    Stato.ModoCalcolo = 3;
    window->eseguiCalcolo();
    ASSERT_EQ(g().RowCount(), 1 + 11 + 9);
    EXPECT_EQ(model("VT4 30").ResaCaldoW[3], full);
    EXPECT_EQ(cell(4, 12 + 2), "60.0");
}

TEST_F(CalcoloTest, SelectionByCapacityMarksTheDifferenceAtTheDesignSpeed)
{
    f().Operazione->Button(1)->click();
    f().Avanti->click();
    f().Avanti->click();
    ASSERT_EQ(pageName(), "Condizionamento");
    // Between VT 10 and VT 20 at MAX.
    const int required = 1400;
    f().ResaRichFreddoWatt->SetValue(required);
    run();
    ASSERT_EQ(checkedModels(), QStringList({"VT 10", "VT 20"})) << dump().toStdString();
    ASSERT_EQ(g().RowCount(), 1 + 22);
    for (int k = 0; k < 2; ++k) {
        const int h = 1 + 11 * k;
        const fancoil& m = model(k == 0 ? "VT 10" : "VT 20");
        const qint64 p = fc::Round((m.ResaTotW[3] - required) * 100.0 / required);
        EXPECT_EQ(cell(0, h + 10), "Differenza");
        EXPECT_EQ(cell(4, h + 10), (p < 0 ? QString("-%1%").arg(-p) : QString("+%1%").arg(p)));
        EXPECT_TRUE(g().Cell(4, h + 10).Font().Bold());
        EXPECT_EQ(g().Cell(4, h + 10).Alignment(), taRightJustify);
        EXPECT_TRUE(g().Cell(4, h + 3).Font().Bold());
        EXPECT_FALSE(g().Cell(3, h + 3).Font().Bold());
        EXPECT_EQ(cell(3, h + 10), "");
        EXPECT_EQ(k == 0, p < 0);
    }
}

TEST_F(CalcoloTest, DifferencesRoundHalfToEven)
{
    // Requirements set so that the first model is +5 %, exactly on it, and 2.5 % below.
    f().Operazione->Button(1)->click();
    f().Avanti->click();
    f().Avanti->click();
    f().ResaRichFreddoWatt->SetValue(1400);
    run(); // a first selection rates every model
    const double w = model("VT 10").ResaTotW[3];
    struct Row {
        double required;
        const char* text;
    } rows[] = {{w / 1.05, "+5%"}, {w, "+0%"}, {w / 0.975, "-2%"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        Stato.ResaRichFreddoWatt = int(r.required);
        // The requirement is an integer: check the rounding on the value it gives.
        const double R = Stato.ResaRichFreddoWatt;
        const qint64 p = fc::Round((w - R) * 100 / R);
        g().SetRowCount(1);
        f().ListaModelli->SetAllChecked(false);
        f().ListaModelli->SetChecked(0, true);
        window->mostraRaffreddamento();
        ASSERT_EQ(g().RowCount(), 12);
        EXPECT_EQ(cell(4, 11), (p < 0 ? QString("-%1%").arg(-p) : QString("+%1%").arg(p)));
    }
    // Exactly half a percent: to the even neighbour.
    fancoil& m = *ListaMacchine.Find("VT 10");
    const double saved = m.ResaTotW[3];
    m.ResaTotW[3] = 2050; // +2.5 % of 2000
    Stato.ResaRichFreddoWatt = 2000;
    g().SetRowCount(1);
    window->mostraRaffreddamento();
    EXPECT_EQ(cell(4, 11), "+2%");
    m.ResaTotW[3] = 1950; // -2.5 %
    g().SetRowCount(1);
    window->mostraRaffreddamento();
    EXPECT_EQ(cell(4, 11), "-2%");
    m.ResaTotW[3] = saved;
}

TEST_F(CalcoloTest, SelectionByCapacityInModeTwoKeepsBothPairs)
{
    f().Operazione->Button(1)->click();
    f().Calcolo->Button(2)->click();
    f().Avanti->click();
    f().Avanti->click();
    ASSERT_EQ(pageName(), "Riscaldamento");
    // Heating brackets VT 20 and VT 30, cooling VT 10 and VT 20... choose values from the ratings.
    f().ResaRichCaldoWatt->SetValue(1);
    f().Avanti->click();
    f().ResaRichFreddoWatt->SetValue(1);
    run(); // rates everything once
    const double c10 = model("VT 10").ResaTotW[3], c20 = model("VT 20").ResaTotW[3];
    const double h20 = model("VT 20").ResaCaldoW[3], h30 = model("VT 30").ResaCaldoW[3];
    f().ControllaPagine->SetActivePage(f().Riscaldamento);
    f().ResaRichCaldoWatt->SetValue(std::round((h20 + h30) / 2));
    f().ControllaPagine->SetActivePage(f().Condizionamento);
    f().ResaRichFreddoWatt->SetValue(std::round((c10 + c20) / 2));
    run();
    EXPECT_EQ(checkedModels(), QStringList({"VT 10", "VT 20", "VT 30"})) << dump().toStdString();
    // Cooling rows: the cooling pair only; heating rows: the heating pair.
    ASSERT_EQ(g().RowCount(), 1 + 22 + 18) << dump().toStdString();
    EXPECT_EQ(QStringList({cell(0, 1), cell(0, 12), cell(0, 23), cell(0, 32)}),
              QStringList({"VT 10", "VT 20", "VT 20", "VT 30"}));
}

TEST_F(CalcoloTest, SelectionByAirFlowRatesOnlyTheBracketingPair)
{
    f().Operazione->Button(2)->click();
    f().Avanti->click();
    f().ListaModelli->SetAllChecked(false); // the user's ticks do not matter
    f().ListaModelli->SetChecked(2, true);
    f().MetriCubiOra->SetValue(250);
    run();
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    ASSERT_EQ(checkedModels(), QStringList({"VT 10", "VT 20"})) << dump().toStdString();
    ASSERT_EQ(g().RowCount(), 1 + 22);
    for (int k = 0; k < 2; ++k) {
        const int h = 1 + 11 * k;
        const double q = model(k == 0 ? "VT 10" : "VT 20").PortataAriaEff[3];
        const qint64 p = fc::Round((q - 250) * 100.0 / 250);
        EXPECT_TRUE(g().Cell(4, h + 9).Font().Bold());
        EXPECT_FALSE(g().Cell(4, h + 3).Font().Bold());
        EXPECT_EQ(cell(4, h + 10), (p < 0 ? QString("-%1%").arg(-p) : QString("+%1%").arg(p)));
    }
}

TEST_F(CalcoloTest, NoModelWithResultsGivesTheMessageAndNoReport)
{
    run();
    ASSERT_EQ(g().RowCount(), 34);
    // A model whose capacity is 0 at a computed speed gets no block; the
    // next block follows the last row added.
    ListaMacchine.Find("VT 20")->ResaTotKcal[2] = 0;
    g().SetRowCount(1);
    window->mostraRaffreddamento();
    ASSERT_EQ(g().RowCount(), 23);
    EXPECT_EQ(cell(0, 12), "VT 30");
    // No model rated: the message.
    f().ListaModelli->SetAllChecked(false);
    dialogs.clear();
    reports.clear();
    window->eseguiCalcolo();
    EXPECT_EQ(dialogs.messages(), QStringList({"Nessuna Macchina soddisfa i parametri inseriti"}));
    EXPECT_EQ(dialogs.log().at(0).message.Caption, " ");
    EXPECT_EQ(g().RowCount(), 1);
    // An engine error stops the run with its text, and no report follows.
    f().ListaModelli->SetAllChecked(true);
    for (int k = 0; k < ListaMacchine.Count(); ++k)
        ListaMacchine.Objects(k)->PDCNomRaffr = 0; // a coil without flow coefficient
    dialogs.clear();
    f().BitBtnCalc->click();
    EXPECT_EQ(dialogs.messages(), QStringList({"Floating point division by zero"}));
    EXPECT_EQ(g().RowCount(), 1);
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(CalcoloTest, VentilationOnlyComputesTheAirAndStillBuildsTheReport)
{
    chooseFamily("RICAMBIO");
    f().TipoReport->Button(2)->click();
    run();
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    EXPECT_EQ(g().RowCount(), 1);
    EXPECT_EQ(reports, QList<int>({2}));
    EXPECT_GT(model("RV 300").PortataAriaEff[3], 0);
}

TEST_F(CalcoloTest, OneSpeedModelShowsZerosAtMinAndMed)
{
    chooseFamily("AEROTERMO");
    run();
    ASSERT_EQ(g().RowCount(), 1 + 18) << dump().toStdString();
    EXPECT_EQ(reports, QList<int>({1}));
    EXPECT_EQ(cell(1, 1), "RISC.");
    EXPECT_EQ(column(2, 2, 7), QStringList({"0.0", "0.0", "0", "0", "0", "0.0", "0"}));
    EXPECT_EQ(column(3, 2, 7), QStringList({"0.0", "0.0", "0", "0", "0", "0.0", "0"}));
    EXPECT_NE(cell(4, 4), "0");
}

TEST_F(CalcoloTest, ASpeedThatCouldNotBeRatedShowsSoInsteadOfNumbers)
{
    f().Calcolo->Button(1)->click();
    f().Avanti->click();
    f().Avanti->click();
    f().DatiInRiscalda->Button(1)->click();
    f().PortAcquaRichiesta->SetValue(1500);
    run();
    ASSERT_EQ(g().RowCount(), 1 + 27);
    // MIN of VT 10 out of the solver's reach, as the solver leaves it:
    // flagged, its water-side results 0.
    fancoil& m = *ListaMacchine.Find("VT 10");
    m.NonCalcolatoCaldo[1] = true;
    m.TIngCaldo[1] = m.TUscCaldo[1] = m.PortataCaldo[1] = m.PerditaCaldo[1] = m.ResaCaldoKcal[1] = m.ResaCaldoW[1] = 0;
    g().SetRowCount(1);
    window->mostraRiscaldamento();
    ASSERT_EQ(g().RowCount(), 1 + 27) << dump().toStdString();
    EXPECT_EQ(column(2, 2, 6), QStringList(6, "non calc.")) << dump().toStdString();
    EXPECT_EQ(cell(2, 8), num(m.PortataAriaEff[1], 0)); // the air side was computed
    EXPECT_EQ(column(3, 2, 6),
              QStringList({"70.0", num(m.TUscCaldo[2], 1), num(m.ResaCaldoW[2], 0), num(m.ResaCaldoKcal[2], 0), "1,500",
                           num(m.PerditaCaldo[2], 1)}));
    // A selection whose design speed was not rated has no difference to show.
    Stato.Operazione = 1;
    Stato.ResaRichCaldoWatt = 1000;
    Stato.VeloCalcolo = 1;
    g().SetRowCount(1);
    window->mostraRiscaldamento();
    EXPECT_EQ(cell(0, 9), "");
    EXPECT_EQ(cell(0, 18), "Differenza");
    // No speed rated at all: no block.
    for (int s = 1; s <= 3; ++s)
        m.NonCalcolatoCaldo[s] = true;
    g().SetRowCount(1);
    window->mostraRiscaldamento();
    EXPECT_EQ(g().RowCount(), 1 + 18);
    EXPECT_EQ(cell(0, 1), "VT 20");
}

// The ticked models always belong to the family, installation and version
// on screen, whichever road leads to the run; ticks the user set stay as long
// as nothing they depend on changes.
TEST_F(CalcoloTest, TheModelListFollowsTheCatalogueChoicesOnEveryRoadToTheRun)
{
    const auto ticked = [this] {
        QStringList out;
        for (const QString& name : checkedModels())
            out << name.left(2);
        out.removeDuplicates();
        return out;
    };
    // Calculate before Parametri was ever shown.
    f().ControllaPagine->SetActivePage(f().Calcola);
    dialogs.clear();
    f().BitBtnCalc->click();
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    EXPECT_EQ(reports.size(), 1);
    EXPECT_EQ(checkedModels(), QStringList({"VT 10", "VT 20", "VT 30"}));

    // Another family, then straight to the last tab.
    f().ControllaPagine->SetActivePage(f().Operazioni);
    chooseFamily("CANAL");
    f().ControllaPagine->SetActivePage(f().Calcola);
    reports.clear();
    f().BitBtnCalc->click();
    EXPECT_EQ(ticked(), QStringList({"CN"}));
    EXPECT_EQ(cell(0, 1).left(2), "CN") << dump().toStdString();

    // Back to the first family by Avanti.
    f().ControllaPagine->SetActivePage(f().Operazioni);
    chooseFamily("VENTO");
    EXPECT_EQ(ticked(), QStringList({"VT"}));
    run();
    EXPECT_EQ(cell(0, 1).left(2), "VT") << dump().toStdString();

    // Another installation of the same family.
    f().ControllaPagine->SetActivePage(f().Operazioni);
    chooseInstallation("4 tubi");
    EXPECT_EQ(checkedModels(), QStringList({"VT4 30"}));

    // The user's ticks stay while family, installation and version stay.
    chooseInstallation("2 tubi");
    goTo("Parametri");
    f().ListaModelli->SetChecked(0, false);
    goTo("Operazioni");
    chooseVersion(f().ListaVersion->Text());
    goTo("Parametri");
    EXPECT_EQ(checkedModels(), QStringList({"VT 20", "VT 30"}));
}

// Names of 17 to 24 characters are listed, given their version's factor,
// rated and shown as themselves; two that agree in their first 16
// characters stay two models.
TEST_F(CalcoloTest, LongModelNamesAreListedRatedAndShownWhole)
{
    const QString a = "VENTILCONVETTORE-10-ALTO";  // 24 characters
    const QString b = "VENTILCONVETTORE-20-B";     // 21, same first 16
    // VT 10 and VT 20 of the demo catalogue under those names, version "I"
    // with the factors 2 and 3.
    openRenamed(a, b, true);
    chooseVersion("I");
    goTo("Parametri");

    TCheckListBox* list = f().ListaModelli;
    ASSERT_EQ(list->Count(), 2);
    const fancoil* ma = ListaMacchine.Find(a);
    const fancoil* mb = ListaMacchine.Find(b);
    ASSERT_TRUE(ma && mb);
    EXPECT_EQ(ma->Modello, a);
    EXPECT_EQ(mb->Modello, b);
    EXPECT_NE(ma, mb);
    for (int i = 0; i < 2; ++i) {
        const QString item = list->ItemText(i);
        const fancoil* m = i == 0 ? ma : mb;
        SCOPED_TRACE(item.toStdString());
        EXPECT_TRUE(item.startsWith(m->Modello + "  ")) << "the whole name, then the pressures";
        EXPECT_EQ(chiaveModello(item), m->Modello);
        // The version's factor, not 1.
        const int k = i == 0 ? 2 : 3;
        EXPECT_TRUE(item.endsWith(QString::number(fc::Round(k * m->PSA[3][8])) + " "));
    }

    run();
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    ASSERT_EQ(g().RowCount(), 1 + 2 * 11) << dump().toStdString();
    EXPECT_EQ(cell(0, 1), a);
    EXPECT_EQ(cell(0, 12), b);
    EXPECT_NE(cell(4, 4), cell(4, 15)) << "each model its own capacity";
}

// The static-pressure limits find a ticked model by the same key as the
// run: a name of 20 characters is itself, not the 19-character name it
// starts with, and is found when it has no such twin.
TEST_F(CalcoloTest, PressureLimitsComeFromTheTickedModelsWholeNames)
{
    const QString shortName = "LONGNAME-1234567890"; // 19 characters
    const QString longName = shortName + "X";         // 20
    for (bool twin : {true, false}) {
        SCOPED_TRACE(twin ? "with its 19-character twin" : "alone");
        openRenamed(twin ? shortName : QStringLiteral("VT 10"), longName, false);
        chooseVersion("I");
        goTo("Parametri");
        TCheckListBox* list = f().ListaModelli;
        ASSERT_EQ(list->Count(), 2);
        const fancoil* ticked = ListaMacchine.Find(longName);
        ASSERT_TRUE(ticked);
        for (int i = 0; i < 2; ++i)
            list->SetChecked(i, chiaveModello(list->ItemText(i)) == longName);
        window->ListaModelliExit();
        // The design speed is MAX: its curve from PSA1 to PSA8.
        EXPECT_TRUE(f().PressioneStatica->isEnabled());
        EXPECT_EQ(double(f().SpinEditVelocita3->MaxValue()), ticked->PSA[3][8]);
        EXPECT_EQ(double(f().SpinEditVelocita3->MinValue()), ticked->PSA[3][1]);
    }
}

// A one-speed unit heater rated by its pressure drop gets the reference
// speed's water values in every speed; a later run by temperatures shows
// in MIN and MED what a fresh window shows, not those values.
TEST_F(CalcoloTest, ARunKeepsNothingOfAnEarlierRunInTheSpeedsItDoesNotCompute)
{
    auto heaterRun = [&](bool pressureDrop) {
        chooseFamily("AEROTERMO");
        goTo("Riscaldamento");
        if (pressureDrop) {
            f().DatiInRiscalda->Button(2)->click();
            f().PDCCaldo->SetValue(30);
        } else {
            f().DatiInRiscalda->Button(0)->click();
            f().TempIngAcquaCaldo->SetValue(70);
            f().TempUscAcquaCaldo->SetValue(60);
            f().SalTerAcquaCaldo->SetValue(10);
        }
        goTo("Operazioni");
        run();
        EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
        return dump();
    };
    const QString pressureDropRun = heaterRun(true);
    EXPECT_TRUE(pressureDropRun.contains("Perdita di carico Acqua | kPa | 30.0 | 30.0 | 30.0"))
        << pressureDropRun.toStdString();
    const QString afterIt = heaterRun(false);

    window.reset();
    fc::SetMainWindow(nullptr);
    ResetEngineRecords();
    ListaMacchine.Clear();
    ListaVersioni.Clear();
    open();
    const QString fresh = heaterRun(false);
    EXPECT_EQ(afterIt.toStdString(), fresh.toStdString());
    EXPECT_TRUE(fresh.contains("Portata Acqua | l/h | 0 | 0 | ")) << fresh.toStdString();
}

TEST_F(CalcoloTest, AnInputThatDoesNotConvertStopsTheRun)
{
    run();
    ASSERT_GT(g().RowCount(), 1);
    f().TBSFreddo->setText("2E");
    dialogs.clear();
    reports.clear();
    f().BitBtnCalc->click();
    // The conversion error is shown by the application; no rows remain and no report is built.
    EXPECT_EQ(dialogs.messages(), QStringList({"'2E' is not a valid floating point value"}));
    EXPECT_EQ(g().RowCount(), 1);
    EXPECT_TRUE(reports.isEmpty());
}

// The main window after a run and a product picture, for a person to look
// at: FC_SCREENSHOT_DIR=folder. The rows go to results.txt (the grid has no view).
TEST_F(CalcoloTest, Screenshots)
{
    const QString out = qEnvironmentVariable("FC_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "FC_SCREENSHOT_DIR not set";
    window.reset();
    fc::SetMainWindow(nullptr);
    for (const char* n : {"Dati", "Versioni", "Param"})
        makeDatabase(dir.file(QStringLiteral("%1.cds").arg(n)),
                     QString::fromUtf8(readFile(dataFile(QStringLiteral("catalogue/%1.sql").arg(n)))));
    dir.write("select.ini", readFile(dataFile("select.ini")));
    dir.write("English.lng", readFile(dataFile("English.lng")));
    QDir().mkpath(dir.file("imgs"));
    for (const QString& name : QDir(dataFile("imgs")).entryList(QDir::Files))
        QFile::copy(dataFile("imgs/" + name), dir.file("imgs/" + name));
    open();
    window->show();
    chooseVersion("MO");
    f().Calcolo->Button(2)->click();
    f().Operazione->Button(1)->click();
    f().Avanti->click();
    f().Avanti->click();
    f().ResaRichCaldoWatt->SetValue(4000);
    f().Avanti->click();
    f().ResaRichFreddoWatt->SetValue(2500);
    f().Avanti->click();
    ASSERT_EQ(pageName(), "Calcola") << dialogs.messages().join('|').toStdString();
    f().BitBtnCalc->click();
    QCoreApplication::processEvents();
    window->grab().save(out + "/after-run.png");
    f().Immagine->grab().save(out + "/picture.png");
    QFile txt(out + "/results.txt");
    ASSERT_TRUE(txt.open(QIODevice::WriteOnly));
    txt.write(dump().toUtf8());
    chooseFamily("CANAL");
    chooseVersion("F7");
    f().Immagine->grab().save(out + "/picture-canal-f7.png");
}
