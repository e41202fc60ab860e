// Every calculation flow of the demo catalogue driven from the main window as
// an engineer would: each family and installation, mode, operation and water
// input, with glycol, altitude and a static pressure, through to the filled
// report; and inputs a user might type at the edges of the pages.
#include <QPushButton>
#include <QRegularExpression>
#include <algorithm>
#include <iostream>
#include <map>

#include "ShellFixture.h"
#include "components/OvNumEdit.h"
#include "components/OvSuperSpin.h"
#include "platform/CheckListBox.h"
#include "platform/Numbers.h"
#include "platform/RadioGroup.h"
#include "report/ARRep.h"
#include "report/ARUserRep.h"
#include "reports/ReportFrame.h"
#include "reports/Reports.h"
#include "reports/UnitPreview.h"
#include "shell/ReportMainWindow.h"
#include "ui_TDodedaVO.h" // read by the layout generator, which does not look into ShellFixture.h

using namespace fc::test;

namespace {

struct Conditions {
    double glycol;   // % by weight, 0: water
    double altitude; // m, 0: sea level
    bool statica;    // a static pressure instead of free outlet
};

class QaFlows : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        sep = std::make_unique<ScopedSeparators>('.', ',');
        standardFolder();
        for (const char* t : {"Rep1Vel.AR", "Rep9Col.AR", "RepPann.AR"})
            dir.write(QLatin1String(t), readFile(dataFile(QLatin1String(t))));
        open();
        preview = std::make_unique<TFormPrew>();
        window->OnRisultatiPronti = [this](int) {
            ++reportsAsked;
            reportBuilt = costruisciReport(*window, *preview);
        };
    }
    void TearDown() override
    {
        preview.reset();
        ShellTest::TearDown();
    }

    // The wizard walked to the last page with Avanti; false when a page
    // refused to be left (its message is in dialogs).
    bool walk()
    {
        for (int i = 0; i < 6 && pageName() != "Calcola"; ++i) {
            const QString before = pageName();
            f().Avanti->click();
            if (pageName() == before)
                return false;
        }
        return pageName() == "Calcola";
    }
    // Walk and press Calcola; the report of the last run is left in the preview.
    bool run(bool clearMessages = true)
    {
        if (clearMessages)
            dialogs.clear();
        reportsAsked = 0;
        reportBuilt = false;
        goTo("Operazioni");
        if (!walk())
            return false;
        f().BitBtnCalc->click();
        return true;
    }
    QString reportText()
    {
        QString out;
        const TARRep& rep = *preview->UserRep->Rep();
        for (int i = 0; i < rep.BandCount(); ++i) {
            const TARBand* b = rep.GetBand(i);
            for (int j = 0; j < b->CellCount(); ++j)
                out += b->GetCell(j)->S() + QLatin1Char('|');
            out += QLatin1Char('\n');
        }
        return out;
    }
    QStringList items()
    {
        QStringList out;
        for (int i = 0; i < f().ListaModelli->Count(); ++i)
            out << f().ListaModelli->ItemText(i).left(19).trimmed();
        return out;
    }
    // Block header rows of the grid: model name per kind ("RAFF." / "RISC.").
    QStringList blocks(const QString& kind)
    {
        QStringList out;
        for (int r = 1; r < g().RowCount(); ++r)
            if (cell(1, r) == kind)
                out << cell(0, r);
        return out;
    }
    // The two items the selections should tick for value v of each item.
    static QStringList bracket(const QStringList& names, const std::function<double(const QString&)>& v, double req)
    {
        double below = 0, above = 1e9;
        QString b, a;
        for (const QString& n : names) {
            const double x = v(n);
            if (x <= req && x > below) {
                below = x;
                b = n;
            } else if (x > req && x < above) {
                above = x;
                a = n;
            }
        }
        QStringList out;
        for (const QString& n : names)
            if (n == b || n == a)
                out << n;
        return out;
    }

    void setConditions(const Conditions& c)
    {
        if (f().Fluido->isEnabled()) {
            f().Fluido->Button(c.glycol > 0 ? 1 : 0)->click();
            if (c.glycol > 0)
                f().Glicoperc->SetValue(c.glycol);
        }
        if (f().Altitudine->isEnabled()) {
            f().Altitudine->Button(c.altitude > 0 ? 1 : 0)->click();
            if (c.altitude > 0)
                f().Altitud->SetValue(c.altitude);
        }
        if (f().PressioneStatica->isEnabled()) {
            f().PressioneStatica->Button(c.statica ? 1 : 0)->click();
            if (c.statica)
                for (TOvSuperSpin* s : {f().SpinEditVelocita1, f().SpinEditVelocita2, f().SpinEditVelocita3})
                    if (s->isEnabled())
                        s->SetValue(20);
        }
    }

    // Faults of the grid rows: non-numbers, infinities, negative values.
    QStringList gridFaults()
    {
        QStringList out;
        static const QRegularExpression bad(QStringLiteral("nan|inf"), QRegularExpression::CaseInsensitiveOption);
        for (int r = 1; r < g().RowCount(); ++r) {
            if (cell(0, r) == "Differenza")
                continue;
            for (int c = 2; c < 5; ++c) {
                const QString t = cell(c, r);
                if (t.contains(bad) || t.startsWith('-'))
                    out << QStringLiteral("grid row %1 '%2' col %3: '%4'").arg(r).arg(cell(0, r)).arg(c).arg(t);
            }
        }
        return out;
    }

    std::unique_ptr<ScopedSeparators> sep;
    std::unique_ptr<TFormPrew> preview;
    int reportsAsked = 0;
    bool reportBuilt = false;
};

// A value typed into a field: entered, set, left, so that the page's
// completion handlers run as they do for a user.
void type(TOvNumEdit* e, double v)
{
    if (e->OnEnter)
        e->OnEnter(e);
    e->SetValue(v);
    if (e->OnExit)
        e->OnExit(e);
}
void typeText(TOvNumEdit* e, const char* t)
{
    if (e->OnEnter)
        e->OnEnter(e);
    e->setText(QLatin1String(t));
    if (e->OnExit)
        e->OnExit(e);
}

// A water input per page: temperatures, flow or pressure drop.
void waterInput(TRadioGroup* group, int w)
{
    if (group->isEnabled() && group->Button(w)->isEnabled())
        group->Button(w)->click();
}

} // namespace

TEST_F(QaFlows, EveryFlowOfTheDemoCatalogueGivesPhysicalResultsAndMatchingReports)
{
    const Conditions conds[] = {{0, 0, false}, {30, 0, true}, {0, 1000, true}, {30, 1000, false}};
    QStringList faults;
    int runs = 0, reportIndex = 0;
    auto fault = [&](const QString& where, const QString& what) {
        if (faults.size() < 60)
            faults << where + ": " + what;
    };
    const QStringList families = [&] {
        QStringList out;
        for (int i = 0; i < f().ListaFamiglie->count(); ++i)
            out << f().ListaFamiglie->itemText(i);
        return out;
    }();
    for (const QString& family : families) {
        goTo("Operazioni");
        chooseFamily(family);
        QStringList installations;
        for (int i = 0; i < f().ListaImpianti->count(); ++i)
            installations << f().ListaImpianti->itemText(i);
        for (const QString& inst : installations) {
            goTo("Operazioni");
            chooseInstallation(inst);
            for (int modo = 0; modo < 5; ++modo) {
                goTo("Operazioni");
                if (!f().Calcolo->isEnabled() && modo > 0)
                    break;
                if (f().Calcolo->isEnabled() && !f().Calcolo->Button(modo)->isEnabled())
                    continue;
                if (f().Calcolo->isEnabled())
                    f().Calcolo->Button(modo)->click();
                const bool aria = Stato.TipoCalcolo == QLatin1Char('A');
                for (int w = 0; w < (aria ? 1 : 3); ++w) {
                    for (const Conditions& c : conds) {
                        for (int op = 0; op < 3; ++op) {
                            goTo("Operazioni");
                            if (!f().Operazione->Button(op)->isEnabled())
                                continue;
                            f().Operazione->Button(op)->click();
                            f().TipoReport->Button(reportIndex++ % 3)->click();
                            setConditions(c);
                            waterInput(f().DatiInRaffredda, w);
                            waterInput(f().DatiInRiscalda, w);
                            if (w == 0) {
                                // Back on temperatures the outlets read 0: typed again, as a user must.
                                type(f().SalTerAcquaFreddo, 5);
                                type(f().SalTerAcquaCaldo, 10);
                            }
                            f().PortAcquaRichiestaFreddo->SetValue(400);
                            f().PortAcquaRichiesta->SetValue(300);
                            f().PDCFreddo->SetValue(15);
                            f().PDCCaldo->SetValue(10);
                            f().CheckAll->click();
                            const QString where = QStringLiteral("%1/%2 mode %3 op %4 water %5 glycol %6 alt %7 %8")
                                                      .arg(family, inst)
                                                      .arg(modo)
                                                      .arg(op)
                                                      .arg(w)
                                                      .arg(c.glycol)
                                                      .arg(c.altitude)
                                                      .arg(c.statica ? "static" : "free");
                            const QStringList names = items();
                            const bool cooling = modo == 0 || modo == 2 || modo == 3;
                            const bool heatingFirst = modo == 1 || modo == 4;
                            double req = 0;
                            std::function<double(const QString&)> value;
                            if (op != 0) {
                                // The requirement between the two smallest ratings at these conditions.
                                f().Operazione->Button(0)->click();
                                if (!run()) {
                                    fault(where, "wizard stopped: " + dialogs.messages().join('|'));
                                    continue;
                                }
                                const int ref = Stato.VeloCalcolo;
                                std::map<QString, double> v;
                                for (const QString& n : names) {
                                    const fancoil* m = ListaMacchine.Find(n);
                                    if (!m)
                                        continue;
                                    v[n] = op == 2 ? m->PortataAriaEff[ref] : heatingFirst ? m->ResaCaldoW[ref] : m->ResaTotW[ref];
                                }
                                std::vector<double> sorted;
                                for (auto& [n, x] : v)
                                    sorted.push_back(x);
                                std::sort(sorted.begin(), sorted.end());
                                if (sorted.empty() || sorted.front() <= 0)
                                    continue;
                                req = sorted.size() > 1 ? std::round((sorted[0] + sorted[1]) / 2) : std::round(sorted[0] * 0.9);
                                value = [v](const QString& n) { return v.count(n) ? v.at(n) : 0.0; };
                                goTo("Operazioni");
                                f().Operazione->Button(op)->click();
                                f().CheckAll->click();
                                if (op == 2)
                                    f().MetriCubiOra->SetValue(req);
                                else if (heatingFirst)
                                    f().ResaRichCaldoWatt->SetValue(req);
                                else
                                    f().ResaRichFreddoWatt->SetValue(req);
                                if (op == 1 && modo == 2) // both pairs: the other one too
                                    f().ResaRichCaldoWatt->SetValue(1000);
                                if (op == 1 && (modo == 3 || modo == 4))
                                    (modo == 3 ? f().ResaRichCaldoWatt : f().ResaRichFreddoWatt)->SetValue(1000);
                            }
                            ++runs;
                            if (qEnvironmentVariableIsSet("FC_QA_VERBOSE"))
                                std::cout << where.toStdString() << " req " << req << '\n';
                            if (!run()) {
                                fault(where, "wizard stopped: " + dialogs.messages().join('|'));
                                continue;
                            }
                            if (!dialogs.messages().isEmpty()) {
                                fault(where, "message: " + dialogs.messages().join('|'));
                                continue;
                            }
                            for (const QString& e : gridFaults())
                                fault(where, e);
                            if (!aria && g().RowCount() < 2)
                                fault(where, "no rows");
                            if (reportsAsked != 1 || !reportBuilt)
                                fault(where, QStringLiteral("report asked %1 built %2").arg(reportsAsked).arg(reportBuilt));
                            const QString rep = reportText();
                            static const QRegularExpression bad(QStringLiteral("\\bnan\\b|\\binf\\b|-nan|-inf"),
                                                                QRegularExpression::CaseInsensitiveOption);
                            if (rep.contains(bad))
                                fault(where, "report: " + rep.left(2000));
                            const int ref = Stato.VeloCalcolo;
                            for (const QString& n : blocks("RAFF.")) {
                                const QString x = fc::reports::Numero(ListaMacchine.Find(n)->ResaTotW[ref], 0);
                                if (!rep.contains(QLatin1Char('|') + x + QLatin1Char('|')))
                                    fault(where, QStringLiteral("report lacks %1 cooling %2").arg(n, x));
                            }
                            for (const QString& n : blocks("RISC.")) {
                                const QString x = fc::reports::Numero(ListaMacchine.Find(n)->ResaCaldoW[ref], 0);
                                if (!rep.contains(QLatin1Char('|') + x + QLatin1Char('|')))
                                    fault(where, QStringLiteral("report lacks %1 heating %2").arg(n, x));
                            }
                            if (op != 0 && value) {
                                const QStringList want = bracket(names, value, req);
                                const QStringList got = op == 2 ? checkedModels() : blocks(heatingFirst ? "RISC." : "RAFF.");
                                const bool exact = op == 2 || modo <= 1;
                                const bool ok = exact ? std::all_of(got.begin(), got.end(), [&](const QString& n) { return want.contains(n); }) &&
                                                            std::all_of(want.begin(), want.end(), [&](const QString& n) { return got.contains(n); })
                                                      : std::all_of(want.begin(), want.end(), [&](const QString& n) { return got.contains(n); });
                                if (!ok)
                                    fault(where, QStringLiteral("req %1: bracket %2, shown %3").arg(req).arg(want.join(','), got.join(',')));
                                (void)cooling;
                            }
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(runs, 100);
    EXPECT_TRUE(faults.isEmpty()) << runs << " runs\n" << faults.join('\n').toStdString();
}

// Inputs typed at the edges of the pages: each either stops with a message
// or rates to physical numbers; a run never ends silently without rows.
TEST_F(QaFlows, EdgeInputsStopWithAMessageOrRateToPhysicalNumbers)
{
    struct Case {
        const char* name;
        int modo;
        std::function<void(Ui::TDodedaVO&)> set;
    };
    const Case cases[] = {
        {"wet bulb above dry bulb", 0, [](Ui::TDodedaVO& u) { type(u.TBSFreddo, 27); type(u.TBUFreddo, 29); }},
        {"wet bulb equal to dry bulb (100 %)", 0, [](Ui::TDodedaVO& u) { type(u.TBSFreddo, 27); type(u.TBUFreddo, 27); }},
        {"cooling outlet equal to inlet", 0, [](Ui::TDodedaVO& u) { type(u.TempIngAcquaFreddo, 7); type(u.TempUscAcquaFreddo, 7); }},
        {"cooling outlet below inlet", 0, [](Ui::TDodedaVO& u) { type(u.TempIngAcquaFreddo, 12); type(u.TempUscAcquaFreddo, 7); }},
        {"cooling water above wet bulb", 0, [](Ui::TDodedaVO& u) { type(u.TempIngAcquaFreddo, 18); type(u.TempUscAcquaFreddo, 23); }},
        {"empty dry bulb", 0, [](Ui::TDodedaVO& u) { typeText(u.TBSFreddo, ""); }},
        {"empty wet bulb", 0, [](Ui::TDodedaVO& u) { typeText(u.TBUFreddo, ""); }},
        {"empty cooling inlet", 0, [](Ui::TDodedaVO& u) { typeText(u.TempIngAcquaFreddo, ""); }},
        {"dry bulb 50", 0, [](Ui::TDodedaVO& u) { type(u.TBSFreddo, 50); type(u.TBUFreddo, 30); }},
        {"dry bulb 10", 0, [](Ui::TDodedaVO& u) { type(u.TBSFreddo, 10); type(u.TBUFreddo, 8); }},
        {"cooling flow tiny", 0, [](Ui::TDodedaVO& u) { u.DatiInRaffredda->Button(1)->click(); type(u.PortAcquaRichiestaFreddo, 1); }},
        {"cooling flow huge", 0, [](Ui::TDodedaVO& u) { u.DatiInRaffredda->Button(1)->click(); type(u.PortAcquaRichiestaFreddo, 99999); }},
        {"cooling pressure drop tiny", 0, [](Ui::TDodedaVO& u) { u.DatiInRaffredda->Button(2)->click(); type(u.PDCFreddo, 0.1); }},
        {"cooling pressure drop huge", 0, [](Ui::TDodedaVO& u) { u.DatiInRaffredda->Button(2)->click(); type(u.PDCFreddo, 999); }},
        {"empty cooling flow", 0, [](Ui::TDodedaVO& u) { u.DatiInRaffredda->Button(1)->click(); typeText(u.PortAcquaRichiestaFreddo, ""); }},
        {"heating outlet equal to inlet", 1, [](Ui::TDodedaVO& u) { type(u.TempIngAcquaCaldo, 70); type(u.TempUscAcquaCaldo, 70); }},
        {"heating outlet above inlet", 1, [](Ui::TDodedaVO& u) { type(u.TempIngAcquaCaldo, 60); type(u.TempUscAcquaCaldo, 70); }},
        {"heating water below air", 1, [](Ui::TDodedaVO& u) { type(u.TempAriaCaldo, 20); type(u.TempIngAcquaCaldo, 18); type(u.TempUscAcquaCaldo, 15); }},
        {"heating water at air", 1, [](Ui::TDodedaVO& u) { type(u.TempAriaCaldo, 20); type(u.TempIngAcquaCaldo, 25); type(u.TempUscAcquaCaldo, 20); }},
        {"empty heating air", 1, [](Ui::TDodedaVO& u) { typeText(u.TempAriaCaldo, ""); }},
        {"empty heating inlet", 1, [](Ui::TDodedaVO& u) { typeText(u.TempIngAcquaCaldo, ""); }},
        {"heating flow tiny", 1, [](Ui::TDodedaVO& u) { u.DatiInRiscalda->Button(1)->click(); type(u.PortAcquaRichiesta, 1); }},
        {"heating flow huge", 1, [](Ui::TDodedaVO& u) { u.DatiInRiscalda->Button(1)->click(); type(u.PortAcquaRichiesta, 99999); }},
        {"heating pressure drop huge", 1, [](Ui::TDodedaVO& u) { u.DatiInRiscalda->Button(2)->click(); type(u.PDCCaldo, 999); }},
        {"heating pressure drop tiny", 1, [](Ui::TDodedaVO& u) { u.DatiInRiscalda->Button(2)->click(); type(u.PDCCaldo, 0.1); }},
        {"heating inlet 95", 1, [](Ui::TDodedaVO& u) { type(u.TempIngAcquaCaldo, 95); type(u.TempUscAcquaCaldo, 85); }},
        {"glycol 60", 2, [](Ui::TDodedaVO& u) { u.Fluido->Button(1)->click(); type(u.Glicoperc, 60); }},
        {"glycol empty", 2, [](Ui::TDodedaVO& u) { u.Fluido->Button(1)->click(); typeText(u.Glicoperc, ""); }},
        {"altitude 2000", 2, [](Ui::TDodedaVO& u) { u.Altitudine->Button(1)->click(); type(u.Altitud, 2000); }},
        {"altitude empty", 2, [](Ui::TDodedaVO& u) { u.Altitudine->Button(1)->click(); typeText(u.Altitud, ""); }},
        {"check with pressure drop input, both modes", 3, [](Ui::TDodedaVO& u) { u.DatiInRaffredda->Button(2)->click(); type(u.PDCFreddo, 20); }},
        {"heating check with flow input", 4, [](Ui::TDodedaVO& u) { u.DatiInRiscalda->Button(1)->click(); type(u.PortAcquaRichiesta, 200); }},
    };
    QStringList faults, outcomes;
    for (const Case& c : cases) {
        // A fresh window at the demo's defaults for every case.
        window.reset();
        fc::SetMainWindow(nullptr);
        ResetEngineRecords();
        open();
        window->OnRisultatiPronti = [this](int) {
            ++reportsAsked;
            reportBuilt = costruisciReport(*window, *preview);
        };
        f().Calcolo->Button(c.modo)->click();
        dialogs.clear();
        c.set(f());
        const bool walked = run(false);
        const QStringList msgs = dialogs.messages();
        const QString where = QLatin1String(c.name);
        outcomes << QStringLiteral("%1: tbs %6 tbu %7 ur %8 walked %2 rows %3 report %4 msgs [%5]")
                        .arg(where)
                        .arg(walked)
                        .arg(g().RowCount())
                        .arg(reportBuilt)
                        .arg(msgs.join('|'))
                        .arg(f().TBSFreddo->text(), f().TBUFreddo->text(), f().URFreddo->text());
        if (walked && !gridFaults().isEmpty())
            faults << where + ": " + gridFaults().join("; ") + "\n" + dump();
        // Air that cannot be rated keeps the user on the page, with a message.
        static const QStringList refused = {"empty dry bulb", "empty wet bulb"};
        if (refused.contains(where) && (walked || msgs.isEmpty()))
            faults << where + ": not refused";
        if (walked && g().RowCount() < 2 && msgs.isEmpty())
            faults << where + ": no rows and no message";
        for (const QString& m : msgs)
            if (m.contains("division") || m.contains("Invalid floating") || m.contains("overflow"))
                faults << where + ": engine error: " + m;
    }
    if (qEnvironmentVariableIsSet("FC_QA_VERBOSE"))
        std::cout << outcomes.join('\n').toStdString() << '\n';
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}
