// The page checks with their messages, pages and focus, and the completion
// of the air and water triads.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <functional>

#include "ShellFixture.h"
#include "components/OvNumEdit.h"
#include "components/OvSuperSpin.h"
#include "engine/Psicrometria.h"
#include "platform/CheckListBox.h"
#include "platform/IniFile.h"
#include "platform/Numbers.h"
#include "platform/RadioGroup.h"
#include "ui_TDodedaVO.h" // read by the layout generator, which does not look into ShellFixture.h

using namespace fc::test;

namespace {

class ValidazioneTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        sep = std::make_unique<ScopedSeparators>('.', ',');
        standardFolder();
    }
    void fresh()
    {
        window.reset();
        fc::SetMainWindow(nullptr);
        ResetEngineRecords();
        ListaMacchine.Clear();
        ListaVersioni.Clear();
        open();
        window->show();
        QApplication::setActiveWindow(window.get());
        QCoreApplication::processEvents();
        dialogs.clear();
    }
    // Sets a field's text as typed, malformed numbers included.
    static void type(QLineEdit* e, const QString& text) { e->setText(text); }
    QString focusName() const
    {
        QWidget* w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }
    std::unique_ptr<ScopedSeparators> sep;
};

struct Case {
    const char* name;
    std::function<void(Ui::TDodedaVO&, TDodedaVO&)> setup; // leaves the page to check active
    int tag;
    QStringList messages;
    bool result;
    const char* page;  // active page afterwards
    const char* focus; // focused field afterwards, "" for any
};

} // namespace

TEST_F(ValidazioneTest, EveryCheckShowsItsMessageSwitchesThePageAndFocusesTheField)
{
    const Case cases[] = {
        {"no installation", [](Ui::TDodedaVO& f, TDodedaVO&) { f.ListaImpianti->SetItems({}); }, 0,
         {"Per favore selezionare un tipo di impianto"}, false, "Operazioni", "ListaImpianti"},
        {"no family and no installation",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.ListaFamiglie->SetItems({});
             f.ListaImpianti->SetItems({});
         },
         0, {"Per favore selezionare una famiglia", "Per favore selezionare un tipo di impianto"}, false, "Operazioni",
         "ListaImpianti"},
        {"air-flow selection without a flow",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Operazione->Button(2)->click();
             f.Avanti->click();
         },
         1, {"Inserire il valore della portata aria richiesta"}, false, "Parametri", "MetriCubiOra"},
        {"glycol that is no number",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.Fluido->Button(1)->click();
             type(f.Glicoperc, "1E");
         },
         1, {"Errore nel valore del Glicole"}, false, "Parametri", "Glicoperc"},
        {"glycol above the table",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.Fluido->Button(1)->click();
             type(f.Glicoperc, "60");
         },
         1, {"Errore nel valore del Glicole"}, false, "Parametri", "Glicoperc"},
        // Values that read as numbers but mean nothing to the corrections
        // or to the run are refused with the field's message.
        {"glycol below the table",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.Fluido->Button(1)->click();
             type(f.Glicoperc, "-1000");
         },
         1, {"Errore nel valore del Glicole"}, false, "Parametri", "Glicoperc"},
        {"glycol beyond an integer",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.Fluido->Button(1)->click();
             type(f.Glicoperc, "2147483648");
         },
         1, {"Errore nel valore del Glicole"}, false, "Parametri", "Glicoperc"},
        {"altitude below the table",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.Altitudine->Button(1)->click();
             type(f.Altitud, "-100000");
         },
         1, {"Altitudine inserita errata"}, false, "Parametri", "Altitud"},
        {"altitude beyond any integer",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.Altitudine->Button(1)->click();
             type(f.Altitud, "1e300");
         },
         1, {"Altitudine inserita errata"}, false, "Parametri", "Altitud"},
        {"required air flow beyond its field",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Operazione->Button(2)->click();
             f.Avanti->click();
             type(f.MetriCubiOra, "9e99");
         },
         1, {"Valore della portata aria richiesta errato"}, false, "Parametri", "MetriCubiOra"},
        {"heating water flow not a whole number",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Calcolo->Button(1)->click();
             f.Avanti->click();
             f.Avanti->click();
             f.DatiInRiscalda->Button(1)->click();
             type(f.PortAcquaRichiesta, "5e9");
         },
         2, {"Inserire il valore della portata acqua richiesta"}, false, "Riscaldamento", "PortAcquaRichiesta"},
        {"cooling water flow beyond every number of the run",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.Avanti->click();
             f.DatiInRaffredda->Button(1)->click();
             type(f.PortAcquaRichiestaFreddo, "9e99");
         },
         3, {"Inserire il valore della portata acqua richiesta"}, false, "Condizionamento",
         "PortAcquaRichiestaFreddo"},
        {"heating capacity in kcal/h beyond its field",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Calcolo->Button(1)->click();
             f.Operazione->Button(1)->click();
             f.Avanti->click();
             f.Avanti->click();
             f.ResaRichCaldoWatt->SetValue(3000);
             type(f.ResaRichCaldoKcal, "2580000000");
         },
         2, {"Inserire il valore della resa richiesta"}, false, "Riscaldamento", "ResaRichCaldoKcal"},
        {"cooling pressure drop beyond its field",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.Avanti->click();
             f.DatiInRaffredda->Button(2)->click();
             type(f.PDCFreddo, "1e300");
         },
         3, {"Inserire il valore della PDC acqua richiesta"}, false, "Condizionamento", "PDCFreddo"},
        {"heating air outside its limits",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Calcolo->Button(1)->click();
             f.Avanti->click();
             f.Avanti->click();
             type(f.TempAriaCaldo, "-300");
         },
         2, {"Errore Temperatura Bulbo Secco"}, false, "Riscaldamento", "TempAriaCaldo"},
        {"wet bulb a sign alone",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.Avanti->click();
             type(f.TBUFreddo, "-");
         },
         3, {"Errore Temperatura Bulbo Umido"}, false, "Condizionamento", ""},
        {"wet bulb a separator alone",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.Avanti->click();
             type(f.TBUFreddo, ".");
         },
         3, {"Errore Temperatura Bulbo Umido"}, false, "Condizionamento", ""},
        {"altitude above the table",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.Altitudine->Button(1)->click();
             type(f.Altitud, "2500");
         },
         1, {"Altitudine inserita errata"}, false, "Parametri", "Altitud"},
        {"no model checked",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.UnCheckAll->click();
         },
         1, {"Selezionare almeno un modello"}, false, "Parametri", "ListaModelli"},
        {"parameters checked from the last page",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.UnCheckAll->click();
             f.ControllaPagine->SetActivePage(f.Calcola);
         },
         1, {"Selezionare almeno un modello"}, false, "Parametri", "ListaModelli"},
        {"heating capacity selection without a capacity",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Calcolo->Button(1)->click();
             f.Operazione->Button(1)->click();
             f.Avanti->click();
             f.Avanti->click();
         },
         2, {"Inserire il valore della resa richiesta"}, false, "Riscaldamento", "ResaRichCaldoWatt"},
        {"heating water flow missing",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Calcolo->Button(1)->click();
             f.Avanti->click();
             f.Avanti->click();
             f.DatiInRiscalda->Button(1)->click();
         },
         2, {"Inserire il valore della portata acqua richiesta"}, false, "Riscaldamento", "PortAcquaRichiesta"},
        {"heating pressure drop missing",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Calcolo->Button(1)->click();
             f.Avanti->click();
             f.Avanti->click();
             f.DatiInRiscalda->Button(2)->click();
         },
         2, {"Inserire il valore della PDC acqua richiesta"}, false, "Riscaldamento", "PDCCaldo"},
        {"heating difference 0",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Calcolo->Button(1)->click();
             f.Avanti->click();
             f.Avanti->click();
             f.SalTerAcquaCaldo->SetValue(0);
         },
         2, {"Errore Delta Temperaure Acqua"}, false, "Riscaldamento", ""},
        {"cooling capacity selection without a capacity",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Operazione->Button(1)->click();
             f.Avanti->click();
             f.Avanti->click();
         },
         3, {"Inserire il valore della resa richiesta"}, false, "Condizionamento", "ResaRichFreddoWatt"},
        {"cooling water flow missing",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.Avanti->click();
             f.DatiInRaffredda->Button(1)->click();
         },
         3, {"Inserire il valore della portata acqua richiesta"}, false, "Condizionamento", "PortAcquaRichiestaFreddo"},
        {"cooling inlet below 0 with water",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.Avanti->click();
             f.TempIngAcquaFreddo->SetValue(-5);
         },
         3, {"Errore Temperatura Ingresso Acqua"}, false, "Condizionamento", ""},
        {"cooling inlet below 0 with glycol",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.Fluido->Button(1)->click();
             f.Glicoperc->SetValue(20);
             f.Avanti->click();
             f.TempIngAcquaFreddo->SetValue(-5);
         },
         3, {}, true, "Condizionamento", ""},
        {"dry bulb inside the field's range but below the limits",
         [](Ui::TDodedaVO& f, TDodedaVO&) {
             f.Avanti->click();
             f.Avanti->click();
             f.TBSFreddo->SetValue(4);
         },
         3, {"Errore Temperatura Bulbo Secco"}, true, "Condizionamento", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        c.setup(f(), *window);
        dialogs.clear();
        EXPECT_EQ(window->validaPagina(c.tag), c.result);
        QCoreApplication::processEvents();
        EXPECT_EQ(dialogs.messages(), c.messages);
        EXPECT_EQ(pageName(), c.page);
        if (*c.focus) {
            EXPECT_EQ(focusName(), c.focus);
        }
        for (const auto& e : dialogs.log())
            EXPECT_EQ(e.message.Caption, " ");
    }
}

TEST_F(ValidazioneTest, AFailedPageKeepsTheUserOnItAndTheCalculationOnParametri)
{
    fresh();
    // Avanti from a page that fails stays there.
    f().ListaImpianti->SetItems({});
    f().Avanti->click();
    EXPECT_EQ(pageName(), "Operazioni");
    fresh();
    f().Avanti->click();
    ASSERT_EQ(pageName(), "Parametri");
    f().UnCheckAll->click();
    f().Avanti->click();
    EXPECT_EQ(pageName(), "Parametri");
    // Calcola validates Parametri again and runs nothing when it fails.
    int reports = 0;
    window->OnRisultatiPronti = [&](int) { ++reports; };
    f().ControllaPagine->SetActivePage(f().Calcola);
    dialogs.clear();
    f().BitBtnCalc->click();
    EXPECT_EQ(dialogs.messages(), QStringList({"Selezionare almeno un modello"}));
    EXPECT_EQ(pageName(), "Parametri");
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(window->SGRisultati.RowCount(), 1);
}

TEST_F(ValidazioneTest, AValueThatMeansNothingNeverReachesTheRun)
{
    struct Run {
        const char* name;
        std::function<void(Ui::TDodedaVO&)> setup;
        QStringList messages;
    } runs[] = {
        {"glycol -1000",
         [](Ui::TDodedaVO& f) {
             f.Fluido->Button(1)->click();
             type(f.Glicoperc, "-1000");
         },
         {"Errore nel valore del Glicole"}},
        {"altitude -100000",
         [](Ui::TDodedaVO& f) {
             f.Altitudine->Button(1)->click();
             type(f.Altitud, "-100000");
         },
         {"Altitudine inserita errata"}},
        {"cooling water flow 5e9",
         [](Ui::TDodedaVO& f) {
             f.DatiInRaffredda->Button(1)->click();
             type(f.PortAcquaRichiestaFreddo, "5e9");
         },
         {"Inserire il valore della portata acqua richiesta"}},
    };
    for (const Run& r : runs) {
        SCOPED_TRACE(r.name);
        fresh();
        int reports = 0;
        window->OnRisultatiPronti = [&](int) { ++reports; };
        r.setup(f());
        f().ControllaPagine->SetActivePage(f().Calcola);
        dialogs.clear();
        f().BitBtnCalc->click();
        EXPECT_EQ(dialogs.messages(), r.messages);
        EXPECT_EQ(reports, 0);
        EXPECT_EQ(window->SGRisultati.RowCount(), 1);
        EXPECT_EQ(Stato.Glicoperc, 0);
        EXPECT_EQ(Stato.Altitud, 0);
        EXPECT_EQ(DatiGlobali.fattResaGlicole, 1.0);
        EXPECT_EQ(DatiGlobali.fattCaldoAlt, 1.0);
    }
}

TEST_F(ValidazioneTest, ASignAloneInTheWetBulbIsNoWetBulb)
{
    fresh();
    f().Avanti->click();
    f().Avanti->click();
    ASSERT_EQ(pageName(), "Condizionamento");
    f().URFreddo->SetValue(50);
    for (const char* text : {"-", ".", "-."}) {
        SCOPED_TRACE(text);
        type(f().TBUFreddo, text);
        dialogs.clear();
        // Entering the humidity computes nothing from it either.
        window->URFreddoEnter();
        EXPECT_TRUE(dialogs.messages().isEmpty());
        EXPECT_FALSE(window->validaPagina(3));
        EXPECT_EQ(dialogs.messages(), QStringList({"Errore Temperatura Bulbo Umido"}));
        EXPECT_EQ(f().TBUFreddo->text(), text);
        EXPECT_EQ(double(f().URFreddo->Value()), 50);
    }
}

TEST_F(ValidazioneTest, LeavingParametriSetsTheCoolingWaterMinimaForTheFluid)
{
    fresh();
    EXPECT_EQ(Limiti[5].Min, -10);
    f().Avanti->click();
    f().Avanti->click();
    EXPECT_EQ(Limiti[5].Min, 0);
    EXPECT_EQ(Limiti[6].Min, 0);
    f().Indietro->click();
    f().Fluido->Button(1)->click();
    f().Glicoperc->SetValue(0.4); // rounds to 0: still water
    f().Avanti->click();
    EXPECT_EQ(Limiti[5].Min, 0);
    f().Indietro->click();
    f().Glicoperc->SetValue(10);
    f().Avanti->click();
    EXPECT_EQ(Limiti[5].Min, -10);
    EXPECT_EQ(Limiti[6].Min, -10);
}

TEST_F(ValidazioneTest, PagesAreCopiedIntoStato)
{
    fresh();
    f().Operazione->Button(2)->click();
    f().Calcolo->Button(2)->click();
    f().Avanti->click();
    EXPECT_EQ(Stato.Operazione, 2);
    EXPECT_EQ(Stato.ModoCalcolo, 2);
    EXPECT_EQ(Stato.TipoImpianto, "2");
    EXPECT_EQ(Stato.Famiglia, "VENTO");
    f().Altitudine->Button(1)->click();
    f().Altitud->SetValue(750);
    f().MetriCubiOra->SetValue(300.4);
    f().VeloCalcolo->Button(1)->click();
    f().Avanti->click();
    ASSERT_EQ(pageName(), "Riscaldamento");
    EXPECT_EQ(Stato.Altitud, 750);
    EXPECT_EQ(Stato.MetriCubiOra, 300);
    EXPECT_EQ(Stato.VeloCalcolo, 2);
    EXPECT_NE(DatiGlobali.fattTotAlt, 1.0); // the altitude factors are taken
    f().TempAriaCaldo->SetValue(18);
    f().Avanti->click();
    ASSERT_EQ(pageName(), "Condizionamento");
    EXPECT_EQ(Stato.TempAriaCaldo, 18);
    EXPECT_EQ(Stato.TempIngAcquaCaldo, 70);
    f().Avanti->click();
    EXPECT_EQ(pageName(), "Calcola");
    EXPECT_EQ(Stato.TBSFreddo, 27);
    EXPECT_EQ(Stato.TBUFreddo, 19);
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
}

TEST_F(ValidazioneTest, WaterTriadsCompleteTheThirdValue)
{
    fresh();
    f().Calcolo->Button(2)->click();
    f().Avanti->click();
    f().Avanti->click();
    ASSERT_EQ(pageName(), "Riscaldamento");
    Ui::TDodedaVO& u = f();
    // Heating: the outlet from inlet and difference, the difference from inlet and outlet.
    u.TempIngAcquaCaldo->SetValue(70);
    u.SalTerAcquaCaldo->SetValue(10);
    u.TempUscAcquaCaldo->SetValue(0);
    window->SalTerAcquaCaldoExit();
    EXPECT_EQ(double(u.TempUscAcquaCaldo->Value()), 60);
    u.TempUscAcquaCaldo->SetValue(45);
    window->TempUscAcquaCaldoExit();
    EXPECT_EQ(double(u.SalTerAcquaCaldo->Value()), 25);
    EXPECT_TRUE(dialogs.messages().isEmpty());
    // A difference that fails its pair is reported and not written.
    u.TempIngAcquaCaldo->SetValue(50);
    u.SalTerAcquaCaldo->SetValue(10);
    u.TempUscAcquaCaldo->SetValue(55);
    window->TempUscAcquaCaldoExit();
    EXPECT_EQ(dialogs.messages(), QStringList({"Errore Temperatura Uscita Acqua"}));
    EXPECT_EQ(u.SalTerAcquaCaldo->text(), "10.0");
    EXPECT_TRUE(Stato.ErroreCalcolo);
    // Mode 2 rates the heating side from its own temperatures: leaving the
    // inlet completes the outlet.
    dialogs.clear();
    u.TempIngAcquaCaldo->SetValue(80);
    window->TempIngAcquaCaldoExit();
    EXPECT_EQ(double(u.TempUscAcquaCaldo->Value()), 70);

    // Cooling: outlet = inlet + difference, difference = outlet - inlet.
    u.TempIngAcquaFreddo->SetValue(7);
    u.SalTerAcquaFreddo->SetValue(5);
    u.TempUscAcquaFreddo->SetValue(0);
    window->SalTerAcquaFreddoExit();
    EXPECT_EQ(double(u.TempUscAcquaFreddo->Value()), 12);
    u.TempUscAcquaFreddo->SetValue(13);
    window->TempUscAcquaFreddoExit();
    EXPECT_EQ(double(u.SalTerAcquaFreddo->Value()), 6);
    EXPECT_TRUE(dialogs.messages().isEmpty());
    // Water by flow: the fields are no temperatures to complete.
    u.DatiInRaffredda->Button(1)->click();
    u.TempIngAcquaFreddo->setEnabled(true);
    u.SalTerAcquaFreddo->SetValue(4);
    window->SalTerAcquaFreddoExit();
    EXPECT_EQ(double(u.TempUscAcquaFreddo->Value()), 0);
}

TEST_F(ValidazioneTest, WaterTriadsRunWhenTheFieldsAreLeft)
{
    fresh();
    f().Calcolo->Button(1)->click();
    f().Avanti->click();
    f().Avanti->click();
    ASSERT_EQ(pageName(), "Riscaldamento");
    f().TempIngAcquaCaldo->SetValue(65);
    f().TempIngAcquaCaldo->setFocus();
    QCoreApplication::processEvents();
    f().SalTerAcquaCaldo->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(double(f().TempUscAcquaCaldo->Value()), 55);
}

TEST_F(ValidazioneTest, AirTriadFillsTheFieldTheUserEnters)
{
    fresh();
    f().Avanti->click();
    f().Avanti->click();
    ASSERT_EQ(pageName(), "Condizionamento");
    Ui::TDodedaVO& u = f();
    u.TBSFreddo->SetValue(27);
    u.TBUFreddo->SetValue(19);
    u.URFreddo->SetValue(0);
    window->URFreddoEnter();
    const double rh = umiditaRelativa(19, 27);
    EXPECT_EQ(u.URFreddo->text(), fc::FormatNumber(rh, 1, fc::TNumberFormat::Standard));
    EXPECT_NEAR(rh, 46.6, 1.0);
    // Leaving the humidity gives the wet bulb; entering the dry bulb the dry bulb.
    u.URFreddo->SetValue(60);
    window->TBUFreddoEnter();
    EXPECT_NEAR(double(u.TBUFreddo->Value()), bulboUmido(60, 27), 0.05);
    u.TBSFreddo->SetValue(0);
    window->TBSFreddoEnter();
    // From the wet bulb as the field shows it, to one decimal.
    EXPECT_NEAR(double(u.TBSFreddo->Value()), bulboSecco(60, double(u.TBUFreddo->Value())), 0.05);
    EXPECT_NEAR(double(u.TBSFreddo->Value()), 27, 0.2);
    // A value missing: nothing is computed, nothing is said.
    u.TBSFreddo->SetValue(0);
    u.URFreddo->SetValue(33);
    window->URFreddoEnter();
    EXPECT_EQ(double(u.URFreddo->Value()), 33);
    // A value out of its limits: its message, nothing written.
    u.TBSFreddo->SetValue(45);
    window->URFreddoEnter();
    EXPECT_EQ(dialogs.messages(), QStringList({"Errore Temperatura Bulbo Secco"}));
    EXPECT_EQ(double(u.URFreddo->Value()), 33);
    // A text that is no number: that field's message.
    dialogs.clear();
    type(u.TBUFreddo, "1E");
    window->URFreddoEnter();
    EXPECT_EQ(dialogs.messages(), QStringList({"Errore Temperatura Bulbo Umido"}));
}

TEST_F(ValidazioneTest, AirTriadBindsToEnteringAndLeavingTheFields)
{
    fresh();
    f().Avanti->click();
    f().Avanti->click();
    f().URFreddo->SetValue(0);
    f().TBSFreddo->setFocus();
    QCoreApplication::processEvents();
    f().URFreddo->setFocus();
    QCoreApplication::processEvents();
    EXPECT_NEAR(double(f().URFreddo->Value()), 46.6, 1.0);
}

TEST_F(ValidazioneTest, NoDryBulbForTheWetBulbIsReportedNotWrittenAsZero)
{
    fresh();
    f().Avanti->click();
    f().Avanti->click();
    // Saturated air: the wet bulb is the dry bulb, no search finds one below.
    Limiti[9].Max = 100;
    f().URFreddo->SetMaxValue(100);
    f().URFreddo->SetValue(100);
    f().TBUFreddo->SetValue(20);
    f().TBSFreddo->SetValue(25);
    window->TBSFreddoEnter();
    EXPECT_EQ(dialogs.messages(), QStringList({"Errore Temperatura Bulbo Secco"}));
    EXPECT_EQ(double(f().TBSFreddo->Value()), 25);
}

TEST_F(ValidazioneTest, LimitsIncludeTheirBounds)
{
    fresh();
    EXPECT_TRUE(window->controllaLimite(8, 5));
    EXPECT_TRUE(window->controllaLimite(8, 40));
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_FALSE(window->controllaLimite(8, 40.01));
    EXPECT_FALSE(window->controllaLimite(3, 0.5));
    EXPECT_FALSE(window->controllaLimite(9, 96));
    EXPECT_FALSE(window->controllaLimite(10, -2.4));
    EXPECT_EQ(dialogs.messages(), QStringList({"Errore Temperatura Bulbo Secco", "Errore Delta Temperaure Acqua",
                                               "Errore Umidità Relativa", "Errore Temperatura Bulbo Umido"}));
    dialogs.clear();
    EXPECT_FALSE(window->controllaLimite(0, 1));
    EXPECT_FALSE(window->controllaLimite(11, 1));
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

// The texts these windows pass to Msg by way of their helpers and tables.
TEST(EnglishLanguageFile, HasEveryCheckMessageAndResultLabel)
{
    const fc::IniFile lng(dataFile("English.lng"), fc::IniTextMode::LanguageFile);
    ASSERT_TRUE(lng.Exists());
    const QRegularExpression patterns[] = {
        QRegularExpression(QStringLiteral(R"re((?:mostraMessaggio|fallisce)\(\s*(?:QStringLiteral\()?\s*"((?:[^"\\]|\\.)*)")re")),
        QRegularExpression(QStringLiteral(R"re(const QString k\w+ = QStringLiteral\("((?:[^"\\]|\\.)*)"\))re")),
        QRegularExpression(QStringLiteral(R"re(\{"((?:[^"\\]|\\.)*)", "[^"]*", &fancoil::)re")),
        QRegularExpression(QStringLiteral(R"re(^\s*"(Errore [^"]*)",\s*$)re"), QRegularExpression::MultilineOption),
    };
    int found = 0;
    for (const char* file : {"Validazione.cpp", "Risultati.cpp", "Calcolo.cpp", "Immagini.cpp"}) {
        const QString text = QString::fromUtf8(readFile(testDataDir() + "../../shell/" + file));
        ASSERT_FALSE(text.isEmpty()) << file;
        for (const QRegularExpression& re : patterns)
            for (auto it = re.globalMatch(text); it.hasNext();) {
                const QString key = it.next().captured(1);
                ++found;
                EXPECT_TRUE(lng.ValueExists("Messages", key)) << file << ": " << key.toStdString();
            }
    }
    EXPECT_GE(found, 40);
}

namespace {

// One side's water fields on its page.
struct LatoAcqua {
    TOvNumEdit *ingresso, *uscita, *salto;
};

LatoAcqua lato(Ui::TDodedaVO& u, bool caldo)
{
    if (caldo)
        return {u.TempIngAcquaCaldo, u.TempUscAcquaCaldo, u.SalTerAcquaCaldo};
    return {u.TempIngAcquaFreddo, u.TempUscAcquaFreddo, u.SalTerAcquaFreddo};
}

} // namespace

// Wherever a rating uses a side's water temperatures, leaving its inlet
// completes the outlet, and equal temperatures keep the user on the page.
TEST_F(ValidazioneTest, WaterTemperaturesAreCheckedInEveryModeAndOperationThatRatesThem)
{
    struct Case {
        const char* name;
        int modo, operazione;
        bool caldo;
    } cases[] = {
        {"cooling + heating, heating side", 2, 0, true},
        {"cooling + heating, cooling side", 2, 0, false},
        {"cooling by capacity", 0, 1, false},
        {"heating by capacity", 1, 1, true},
        {"cooling + heating by capacity, heating side", 2, 1, true},
        {"cooling + heating by capacity, cooling side", 2, 1, false},
        {"cooling and heating check by capacity, cooling side", 3, 1, false},
        {"heating and cooling check by capacity, heating side", 4, 1, true},
        {"cooling by air flow", 0, 2, false},
        {"cooling + heating by air flow, heating side", 2, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        Ui::TDodedaVO& u = f();
        u.Calcolo->Button(c.modo)->click();
        u.Operazione->Button(c.operazione)->click();
        u.Avanti->click();
        ASSERT_EQ(pageName(), "Parametri");
        if (c.operazione == 2)
            u.MetriCubiOra->SetValue(300);
        u.ResaRichCaldoWatt->SetValue(1000);
        u.ResaRichFreddoWatt->SetValue(1000);
        const char* page = c.caldo ? "Riscaldamento" : "Condizionamento";
        for (int k = 0; k < 3 && pageName() != page; ++k)
            u.Avanti->click();
        ASSERT_EQ(pageName(), page);
        dialogs.clear();
        const LatoAcqua w = lato(u, c.caldo);

        // Leaving the inlet completes the outlet from the difference.
        w.ingresso->SetValue(c.caldo ? 50 : 10);
        w.salto->SetValue(c.caldo ? 10 : 5);
        w.uscita->SetValue(c.caldo ? 60 : 7);
        if (c.caldo)
            window->TempIngAcquaCaldoExit();
        else
            window->TempIngAcquaFreddoExit();
        EXPECT_EQ(double(w.uscita->Value()), c.caldo ? 40 : 15);
        EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();

        // Equal inlet and outlet: the page's message, and the user stays.
        w.ingresso->SetValue(60);
        w.uscita->SetValue(c.caldo ? 60 : 10);
        w.ingresso->SetValue(c.caldo ? 60 : 10);
        w.salto->SetValue(0);
        u.Avanti->click();
        EXPECT_EQ(pageName(), page);
        EXPECT_TRUE(dialogs.messages().contains("Errore Delta Temperaure Acqua"))
            << dialogs.messages().join('|').toStdString();
    }
}

// The Calcola button checks the water pages it rates as well: what the user
// changed there after leaving them never reaches the engine unchecked.
TEST_F(ValidazioneTest, CalculationRefusesWaterTemperaturesNotCheckedSinceTheyChanged)
{
    fresh();
    Ui::TDodedaVO& u = f();
    u.Calcolo->Button(2)->click();
    for (int k = 0; k < 4; ++k)
        u.Avanti->click();
    ASSERT_EQ(pageName(), "Calcola");
    int reports = 0;
    window->OnRisultatiPronti = [&](int) { ++reports; };
    u.TempIngAcquaCaldo->SetValue(60);
    u.TempUscAcquaCaldo->SetValue(60);
    u.SalTerAcquaCaldo->SetValue(0);
    dialogs.clear();
    u.BitBtnCalc->click();
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(pageName(), "Riscaldamento");
    EXPECT_EQ(dialogs.messages(), QStringList({"Errore Delta Temperaure Acqua"}));
    EXPECT_EQ(window->SGRisultati.RowCount(), 1);
}

// The fields the chosen water input does not use are neither checked nor
// left enabled, in every mode that shows the page.
TEST_F(ValidazioneTest, WaterFieldsTheInputDoesNotUseAreNotChecked)
{
    for (int modo : {0, 2, 3}) {
        for (int dati : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "mode " << modo << " input " << dati);
            fresh();
            Ui::TDodedaVO& u = f();
            // The input chosen first, the mode after it.
            u.DatiInRaffredda->Button(dati)->click();
            u.Calcolo->Button(1)->click();
            u.Calcolo->Button(modo)->click();
            u.Avanti->click();
            for (int k = 0; k < 3 && pageName() != "Condizionamento"; ++k)
                u.Avanti->click();
            ASSERT_EQ(pageName(), "Condizionamento");
            EXPECT_FALSE(u.TempUscAcquaFreddo->isEnabled());
            EXPECT_FALSE(u.SalTerAcquaFreddo->isEnabled());
            u.PortAcquaRichiestaFreddo->SetValue(400);
            u.PDCFreddo->SetValue(10);
            dialogs.clear();
            u.Avanti->click();
            EXPECT_NE(pageName(), "Condizionamento");
            EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
        }
    }
}

// A field check refuses only what the limits refuse: a wet bulb of 0 degC
// lies inside its pair, and is completed from like any other.
TEST_F(ValidazioneTest, AWetBulbOfZeroIsAcceptedAndCompleted)
{
    fresh();
    f().Avanti->click();
    f().Avanti->click();
    ASSERT_EQ(pageName(), "Condizionamento");
    f().TBSFreddo->SetValue(10);
    f().TBUFreddo->SetValue(0);
    dialogs.clear();
    EXPECT_TRUE(window->validaPagina(3));
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    EXPECT_NEAR(double(f().URFreddo->Value()), umiditaRelativa(0, 10), 0.05);
    // A dry bulb of 0 lies outside its pair and is still refused.
    f().TBSFreddo->SetValue(0);
    f().TBUFreddo->SetValue(-1);
    dialogs.clear();
    EXPECT_FALSE(window->validaPagina(3));
    EXPECT_EQ(dialogs.messages(), QStringList({"Errore Temperatura Bulbo Secco"}));
}

// The humidity shipped with the default air is the one the program
// computes from it, so that a report prints the same whether or not the
// cooling page was visited.
TEST_F(ValidazioneTest, TheShippedHumidityAgreesWithTheShippedAir)
{
    fresh();
    const QString shipped = f().URFreddo->text();
    f().URFreddo->SetValue(umiditaRelativa(double(f().TBUFreddo->Value()), double(f().TBSFreddo->Value())));
    EXPECT_EQ(shipped, f().URFreddo->text());
}
