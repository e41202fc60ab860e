// One window driven through a long random sequence of a user's choices and
// Calcola runs; every run's results and report are compared with those of
// a fresh window given the same inputs. Whatever an earlier run, choice or
// page leaves behind and the inputs do not show is a difference.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <random>

#include "ShellFixture.h"
#include "components/OvNumEdit.h"
#include "components/OvSuperSpin.h"
#include "platform/CheckListBox.h"
#include "platform/RadioGroup.h"
#include "report/ARRep.h"
#include "report/ARUserRep.h"
#include "reports/UnitPreview.h"
#include "shell/ReportMainWindow.h"
#include "ui_TDodedaVO.h" // read by the layout generator, which does not look into ShellFixture.h

namespace fc::test {
namespace {

// What the user has set in the window when Calcola is pressed.
struct Inputs {
    QString famiglia, impianto, versione;
    int operazione = 0, calcolo = 0;
    int fluido = 0, altitudine = 0, pressione = 0, velocita = 0;
    QString glicole, altitud, spin, metriCubi;
    QStringList spuntati; // model keys of the ticked items
    // The heating and the cooling page: input mode, then every field's text.
    int datiCaldo = 0, datiFreddo = 0;
    QStringList caldo, freddo;
    int tipoReport = 0;
    bool listino = false, checkSconto = false, checkMoltiplica = false, netto = false;
    bool sconto = false, moltiplicatore = false;
    QStringList prezzi;
    QString riferimento;
    QString pagina; // the page Calcola is pressed from

    QString describe() const
    {
        return QStringLiteral("%1/%2/%3 op %4 mode %5 fluid %6 %7 alt %8 %9 ps %10 %11 speed %12 air %13 ticks %14 "
                              "heat %15 %16 cool %17 %18 report %19 prices %20 %21 from %22")
            .arg(famiglia, impianto, versione)
            .arg(operazione)
            .arg(calcolo)
            .arg(fluido)
            .arg(glicole)
            .arg(altitudine)
            .arg(altitud)
            .arg(pressione)
            .arg(spin)
            .arg(velocita)
            .arg(metriCubi, spuntati.join(','))
            .arg(datiCaldo)
            .arg(caldo.join(','))
            .arg(datiFreddo)
            .arg(freddo.join(','))
            .arg(tipoReport)
            .arg(prezzi.join(','), riferimento, pagina);
    }
};

// What one Calcola gives: the messages, the result grid and the report.
struct Outputs {
    QStringList messages;
    QString grid;
    QString report;
    int reports = 0;
};

class Sequenze : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        sep = std::make_unique<ScopedSeparators>('.', ',');
        standardFolder();
        for (const char* t : {"Rep1Vel.AR", "Rep9Col.AR", "RepPann.AR"})
            dir.write(QLatin1String(t), readFile(dataFile(QLatin1String(t))));
    }
    void TearDown() override
    {
        preview.reset();
        ShellTest::TearDown();
    }
    void fresh()
    {
        preview.reset();
        window.reset();
        fc::SetMainWindow(nullptr);
        ResetEngineRecords();
        ListaMacchine.Clear();
        ListaVersioni.Clear();
        open();
        preview = std::make_unique<TFormPrew>();
        window->OnRisultatiPronti = [this](int) {
            ++reports;
            costruisciReport(*window, *preview);
        };
        dialogs.clear();
    }

    std::vector<TOvNumEdit*> caldoFields()
    {
        Ui::TDodedaVO& u = f();
        return {u.TempAriaCaldo, u.TempIngAcquaCaldo, u.TempUscAcquaCaldo, u.SalTerAcquaCaldo,
                u.PortAcquaRichiesta, u.PDCCaldo, u.ResaRichCaldoWatt, u.ResaRichCaldoKcal};
    }
    std::vector<TOvNumEdit*> freddoFields()
    {
        Ui::TDodedaVO& u = f();
        return {u.TBSFreddo, u.TBUFreddo, u.URFreddo, u.TempIngAcquaFreddo, u.TempUscAcquaFreddo,
                u.SalTerAcquaFreddo, u.PortAcquaRichiestaFreddo, u.PDCFreddo, u.ResaRichFreddoWatt,
                u.ResaRichFreddoKcal};
    }
    std::vector<TOvNumEdit*> prezziFields()
    {
        Ui::TDodedaVO& u = f();
        return {u.Sconto1, u.Sconto2, u.Sconto3, u.Moltip};
    }
    static QStringList texts(const std::vector<TOvNumEdit*>& fields)
    {
        QStringList out;
        for (const TOvNumEdit* e : fields)
            out << e->text();
        return out;
    }
    static void setTexts(const std::vector<TOvNumEdit*>& fields, const QStringList& values)
    {
        for (size_t i = 0; i < fields.size(); ++i)
            fields[i]->setText(values[int(i)]);
    }

    Inputs inputs()
    {
        Ui::TDodedaVO& u = f();
        Inputs in;
        in.famiglia = u.ListaFamiglie->Text();
        in.impianto = u.ListaImpianti->Text();
        in.versione = u.ListaVersion->Text();
        in.operazione = u.Operazione->ItemIndex();
        in.calcolo = u.Calcolo->ItemIndex();
        in.fluido = u.Fluido->ItemIndex();
        in.glicole = u.Glicoperc->text();
        in.altitudine = u.Altitudine->ItemIndex();
        in.altitud = u.Altitud->text();
        in.pressione = u.PressioneStatica->ItemIndex();
        in.spin = u.SpinEditVelocita3->text();
        in.velocita = u.VeloCalcolo->ItemIndex();
        in.metriCubi = u.MetriCubiOra->text();
        in.spuntati = checkedModels();
        in.datiCaldo = u.DatiInRiscalda->ItemIndex();
        in.caldo = texts(caldoFields());
        in.datiFreddo = u.DatiInRaffredda->ItemIndex();
        in.freddo = texts(freddoFields());
        in.tipoReport = u.TipoReport->ItemIndex();
        in.listino = u.CheckListino->isChecked();
        in.checkSconto = u.CheckSconto->isChecked();
        in.checkMoltiplica = u.CheckMoltiplica->isChecked();
        in.netto = u.CheckNetto->isChecked();
        in.sconto = u.Sconto->isChecked();
        in.moltiplicatore = u.moltiplicatore->isChecked();
        in.prezzi = texts(prezziFields());
        in.riferimento = u.Riferimento->text();
        in.pagina = pageName();
        return in;
    }

    // A user's tab click: the page is left only when its check lets it.
    bool tab(QWidget* page)
    {
        TPageControl* pc = f().ControllaPagine;
        const int i = pc->IndexOfPage(page);
        if (i == pc->ActivePageIndex())
            return true;
        if (i < 0 || !pc->TabVisible(i) || !pc->UserMayChange())
            return false;
        pc->UserChange([&] { pc->setCurrentIndex(i); });
        return pc->ActivePageIndex() == i;
    }
    void click(TRadioGroup* g, int item)
    {
        if (item >= 0 && item < g->Count() && g->isEnabled() && g->ItemEnabled(item))
            g->Button(item)->click();
    }
    void setChecked(QAbstractButton* b, bool on)
    {
        if (b->isEnabled() && b->isChecked() != on)
            b->click();
    }
    void tick(const QStringList& keys)
    {
        TCheckListBox* list = f().ListaModelli;
        for (int i = 0; i < list->Count(); ++i)
            list->SetChecked(i, keys.contains(chiaveModello(list->ItemText(i))));
        window->ListaModelliExit();
    }

    // A fresh window given the inputs, as a user gives them: the choices
    // of the first page, its check, then each page's fields, and Calcola
    // from the page the first window pressed it on.
    void apply(const Inputs& in)
    {
        Ui::TDodedaVO& u = f();
        chooseFamily(in.famiglia);
        chooseInstallation(in.impianto);
        chooseVersion(in.versione);
        click(u.Operazione, in.operazione);
        click(u.Calcolo, in.calcolo);
        ASSERT_TRUE(tab(u.Parametri)) << dialogs.messages().join('|').toStdString();
        click(u.Fluido, in.fluido);
        u.Glicoperc->setText(in.glicole);
        click(u.Altitudine, in.altitudine);
        u.Altitud->setText(in.altitud);
        click(u.VeloCalcolo, in.velocita);
        tick(in.spuntati);
        click(u.PressioneStatica, in.pressione);
        u.SpinEditVelocita3->setText(in.spin);
        u.MetriCubiOra->setText(in.metriCubi);
        // Leaving the page sets the fluid's limits, as the first window's
        // last exit from it did; a page that may not be left keeps the run
        // from starting in both windows.
        tab(u.Calcola);
        goTo("Riscaldamento");
        click(u.DatiInRiscalda, in.datiCaldo);
        setTexts(caldoFields(), in.caldo);
        goTo("Condizionamento");
        click(u.DatiInRaffredda, in.datiFreddo);
        setTexts(freddoFields(), in.freddo);
        goTo("Calcola");
        click(u.TipoReport, in.tipoReport);
        setChecked(u.Sconto, in.sconto);
        setChecked(u.moltiplicatore, in.moltiplicatore);
        setChecked(u.CheckListino, in.listino);
        setChecked(u.CheckSconto, in.checkSconto);
        setChecked(u.CheckMoltiplica, in.checkMoltiplica);
        setChecked(u.CheckNetto, in.netto);
        setTexts(prezziFields(), in.prezzi);
        u.Riferimento->setText(in.riferimento);
        goTo(in.pagina.toLatin1().constData());
        dialogs.clear();
    }

    // Calcola from the page the window is on: to the last page as a tab
    // click goes, then the button.
    Outputs calcola()
    {
        dialogs.clear();
        reports = 0;
        Outputs out;
        if (tab(f().Calcola))
            f().BitBtnCalc->click();
        out.messages = dialogs.messages();
        for (int r = 0; r < g().RowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < g().ColCount(); ++c)
                row << cell(c, r);
            out.grid += row.join('|') + '\n';
        }
        out.reports = reports;
        if (reports > 0) {
            const TARRep& rep = *preview->UserRep->Rep();
            for (int i = 0; i < rep.BandCount(); ++i) {
                const TARBand* b = rep.GetBand(i);
                out.report += b->Name() + QLatin1Char(':');
                for (int j = 0; j < b->CellCount(); ++j)
                    out.report += b->GetCell(j)->S() + QLatin1Char('|');
                out.report += QLatin1Char('\n');
            }
        }
        return out;
    }

    // One long session from the seed, then each of its runs again in a
    // fresh window.
    void session(unsigned seed);

    std::unique_ptr<ScopedSeparators> sep;
    std::unique_ptr<TFormPrew> preview;
    int reports = 0;
};

// The first line where two texts differ, for the failure message.
std::string firstDifference(const QString& a, const QString& b)
{
    const QStringList la = a.split('\n'), lb = b.split('\n');
    for (int i = 0; i < std::max(la.size(), lb.size()); ++i) {
        const QString x = i < la.size() ? la[i] : QStringLiteral("<none>");
        const QString y = i < lb.size() ? lb[i] : QStringLiteral("<none>");
        if (x != y)
            return QStringLiteral("line %1:\n  this window: %2\n  fresh:       %3").arg(i + 1).arg(x, y).toStdString();
    }
    return {};
}

void Sequenze::session(unsigned seed)
{
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    auto between = [&](int lo, int hi) { return lo + pick(hi - lo + 1); };

    fresh();
    std::vector<std::pair<Inputs, Outputs>> runs;
    int rated = 0;
    for (int step = 0; step < 500; ++step) {
        Ui::TDodedaVO& u = f();
        const int action = pick(15);
        switch (action) {
        case 0:
            if (tab(u.Operazioni))
                choose(u.ListaFamiglie, u.ListaFamiglie->Items().at(pick(u.ListaFamiglie->Count())));
            break;
        case 1:
            if (tab(u.Operazioni) && u.ListaImpianti->Count() > 0)
                choose(u.ListaImpianti, u.ListaImpianti->Items().at(pick(u.ListaImpianti->Count())));
            break;
        case 2:
            if (tab(u.Operazioni) && u.ListaVersion->Count() > 0)
                choose(u.ListaVersion, u.ListaVersion->Items().at(pick(u.ListaVersion->Count())));
            break;
        case 3:
            if (tab(u.Operazioni)) {
                click(u.Operazione, pick(3));
                click(u.Calcolo, pick(5));
            }
            break;
        case 4:
            if (tab(u.Parametri)) {
                click(u.Fluido, pick(2));
                if (u.Glicoperc->isEnabled())
                    u.Glicoperc->SetValue(between(0, 50));
                click(u.Altitudine, pick(2));
                if (u.Altitud->isEnabled())
                    u.Altitud->SetValue(100 * between(0, 20));
            }
            break;
        case 5:
            if (tab(u.Parametri)) {
                click(u.VeloCalcolo, pick(3));
                click(u.PressioneStatica, pick(3) != 0);
                TOvSuperSpin* spin = u.SpinEditVelocita3;
                if (spin->isEnabled()) {
                    const double lo = double(spin->MinValue()), hi = double(spin->MaxValue());
                    spin->SetValue(std::round((lo + (hi - lo) * pick(11) / 10.0) * 10) / 10);
                }
            }
            break;
        case 6:
            if (tab(u.Parametri) && u.ListaModelli->isEnabled()) {
                const int n = u.ListaModelli->Count();
                if (pick(4) == 0)
                    (pick(2) ? u.CheckAll : u.UnCheckAll)->click();
                else if (n > 0) {
                    u.ListaModelli->SetChecked(pick(n), pick(3) != 0);
                    window->ListaModelliExit();
                }
            }
            break;
        case 7:
            if (tab(u.Parametri) && u.MetriCubiOra->isEnabled())
                u.MetriCubiOra->SetValue(between(1, 30) * 50);
            break;
        case 8:
            if (tab(u.Riscaldamento)) {
                click(u.DatiInRiscalda, pick(3));
                u.TempAriaCaldo->SetValue(between(12, 24));
                const int in = between(45, 80);
                if (u.TempIngAcquaCaldo->isEnabled())
                    u.TempIngAcquaCaldo->SetValue(in);
                if (u.TempUscAcquaCaldo->isEnabled()) {
                    const int dt = between(5, 15);
                    u.SalTerAcquaCaldo->SetValue(dt);
                    u.TempUscAcquaCaldo->SetValue(in - dt);
                }
                u.PortAcquaRichiesta->SetValue(between(2, 40) * 50);
                u.PDCCaldo->SetValue(between(3, 40));
            }
            break;
        case 9:
            if (tab(u.Condizionamento)) {
                click(u.DatiInRaffredda, pick(3));
                u.TBSFreddo->SetValue(between(24, 30));
                u.TBUFreddo->SetValue(between(16, 21));
                const int in = between(5, 10);
                if (u.TempIngAcquaFreddo->isEnabled())
                    u.TempIngAcquaFreddo->SetValue(in);
                if (u.TempUscAcquaFreddo->isEnabled()) {
                    const int dt = between(3, 7);
                    u.SalTerAcquaFreddo->SetValue(dt);
                    u.TempUscAcquaFreddo->SetValue(in + dt);
                }
                u.PortAcquaRichiestaFreddo->SetValue(between(2, 40) * 50);
                u.PDCFreddo->SetValue(between(3, 40));
            }
            break;
        case 10: {
            const int w = between(5, 80) * 100;
            if (tab(u.Riscaldamento) && u.ResaRichCaldoWatt->isEnabled()) {
                u.ResaRichCaldoWatt->SetValue(w);
                window->ResaRichCaldoWattExit();
            }
            if (tab(u.Condizionamento) && u.ResaRichFreddoWatt->isEnabled()) {
                u.ResaRichFreddoWatt->SetValue(w / 2);
                window->ResaRichFreddoWattExit();
            }
            break;
        }
        case 11:
            if (tab(u.Calcola)) {
                click(u.TipoReport, pick(3));
                setChecked(u.CheckListino, pick(2));
                setChecked(pick(2) ? u.Sconto : u.moltiplicatore, true);
                setChecked(u.CheckNetto, pick(2));
                if (u.CheckSconto->isEnabled())
                    setChecked(u.CheckSconto, pick(2));
                if (u.CheckMoltiplica->isEnabled())
                    setChecked(u.CheckMoltiplica, pick(2));
                if (u.Sconto1->isEnabled())
                    u.Sconto1->SetValue(between(0, 30));
                if (u.Moltip->isEnabled())
                    u.Moltip->SetValue(between(40, 100) / 100.0);
                u.Riferimento->setText(QStringLiteral("Rif. %1").arg(step));
            }
            break;
        default: {
            // Calcola, from wherever the user is.
            const Inputs in = inputs();
            const Outputs out = calcola();
            if (out.reports > 0)
                ++rated;
            runs.emplace_back(in, out);
            break;
        }
        }
    }
    if (qEnvironmentVariableIsSet("FC_SEQUENZE_VERBOSE"))
        for (const auto& [in, out] : runs)
            std::printf("%d %s -> %s\n", out.reports, qPrintable(in.describe()), qPrintable(out.messages.join('|')));
    ASSERT_GE(runs.size(), 30u);
    EXPECT_GE(rated, 15) << "too few runs gave results to compare";

    for (size_t k = 0; k < runs.size(); ++k) {
        const auto& [in, out] = runs[k];
        SCOPED_TRACE(QStringLiteral("run %1: %2").arg(k).arg(in.describe()).toStdString());
        fresh();
        apply(in);
        if (HasFatalFailure())
            return;
        const Outputs again = calcola();
        EXPECT_EQ(out.messages.join('|').toStdString(), again.messages.join('|').toStdString());
        EXPECT_EQ(out.reports, again.reports);
        EXPECT_TRUE(out.grid == again.grid) << firstDifference(out.grid, again.grid);
        EXPECT_TRUE(out.report == again.report) << firstDifference(out.report, again.report);
        if (HasFailure()) {
            if (qEnvironmentVariableIsSet("FC_SEQUENZE_VERBOSE"))
                std::printf("this window:\n%s\nfresh:\n%s\n", qPrintable(out.grid), qPrintable(again.grid));
            return;
        }
    }
}

TEST_F(Sequenze, EveryRunOfALongSessionIsTheRunOfAFreshWindow)
{
    // FC_SEQUENZE_SEED=n runs one other session.
    std::vector<unsigned> seeds = {1, 2, 20261211};
    if (qEnvironmentVariableIsSet("FC_SEQUENZE_SEED"))
        seeds = {qEnvironmentVariable("FC_SEQUENZE_SEED").toUInt()};
    for (unsigned seed : seeds) {
        SCOPED_TRACE(QStringLiteral("session %1").arg(seed).toStdString());
        session(seed);
        if (HasFailure())
            return;
    }
}

} // namespace
} // namespace fc::test
