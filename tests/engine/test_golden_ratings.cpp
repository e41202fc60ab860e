// The demo catalogue as the engine loads it and rates it, every field to
// the last bit, against checked-in golden files: the tables record by
// record as the dataset gives them, the models and versions caricaDati
// builds, and the batch ratings of every model under a table of inputs
// (water temperatures, flows and pressure drops, glycol, altitude, static
// pressure, reference speed, the two cross checks, targets out of reach).
// Set FC_UPDATE_GOLDEN to rewrite the files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <functional>
#include <memory>
#include <vector>

#include "ModelliProva.h"
#include "TestSupport.h"
#include "engine/Catalogo.h"
#include "engine/Correzioni.h"
#include "engine/Records.h"
#include "engine/Selezione.h"
#include "platform/Dataset.h"
#include "platform/MainWindowLink.h"
#include "platform/Numbers.h"

namespace {

QString num(double v) { return QString::number(v, 'g', 17); }

void compareGolden(const QString& got, const QString& name)
{
    fc::test::ExpectGoldenText(got, fc::test::testDataDir() + QStringLiteral("data/") + name);
}

class GoldenRatings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetEngineRecords();
        ListaMacchine.Clear();
        ListaVersioni.Clear();
        fc::SetDecimalSeparator(u'.');
        window.macchine = &macchine;
        window.versioni = &versioni;
        fc::test::apriCatalogoDemo(macchine, versioni);
    }
    void TearDown() override
    {
        ListaMacchine.Clear();
        ListaVersioni.Clear();
    }

    ScopedFakeMainWindow window;
    TDataset macchine{fc::MacchineDef()};
    TDataset versioni{fc::VersioniDef()};
};

// Every record of the current view: its number in the file, then each
// field as null, text, integer and float.
QString dumpView(TDataset& ds)
{
    QString out;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        out += QStringLiteral("#%1").arg(ds.RecordNumber());
        for (int i = 0; i < ds.FieldCount(); ++i) {
            const TField f = ds.Fields(i);
            out += QStringLiteral(" |") + f.FieldName() + u'=';
            if (f.IsNull()) {
                out += QStringLiteral("null");
                continue;
            }
            out += f.AsString();
            if (f.DataType() == TFieldType::Float)
                out += u'~' + num(f.AsFloat()) + u'~' + QString::number(f.AsInteger());
        }
        out += u'\n';
    }
    return out;
}

TEST_F(GoldenRatings, DatasetRecordsAndFilters)
{
    QString out = QStringLiteral("cdsMacchine, unfiltered\n") + dumpView(macchine);
    out += QStringLiteral("cdsVersioni\n") + dumpView(versioni);
    // The filters the main window sets: family, then family and
    // installation, on the MAX records; values in another case match.
    const std::vector<TFilter> filters = {
        {{"Velocita", "MAX"}, {"Tipo", "VENTO"}},
        {{"Velocita", "max"}, {"Tipo", "vento"}, {"Impianto", "4 TUBI"}},
        {{"Modello", "VT 20"}},
        {{"PortAria", "140"}},
        {{"n", "0.65"}},
        {{"Tipo", "nessuna"}},
    };
    macchine.SetFiltered(true);
    for (const TFilter& f : filters) {
        macchine.SetFilter(f);
        out += QStringLiteral("filter %1:").arg(f.size());
        for (const TFilterTerm& t : f)
            out += u' ' + t.Field + u'=' + t.Value;
        out += QStringLiteral(" -> %1 records:").arg(macchine.RecordCount());
        for (macchine.First(); !macchine.Eof(); macchine.Next())
            out += u' ' + QString::number(macchine.RecordNumber());
        out += u'\n';
    }
    compareGolden(out, QStringLiteral("demo-dataset.txt"));
}

QString dumpInputs(const fancoil& f)
{
    QString out = f.Tipo + u'|' + f.Descr + u'|' + f.Impianto + u'|' + f.Modello + u'|'
        + QString::number(f.NumVelocita) + f.TipoCalcolo + u'|' + num(f.PDCNomRisc) + u'|' + num(f.PDCNomRaffr)
        + u'|' + num(f.n) + u'|' + num(f.m) + u'|' + num(f.p);
    for (int s = 1; s <= 3; ++s) {
        out += QStringLiteral("\n  s%1").arg(s);
        for (double v : {double(f.AssElettr[s]), f.CorrAss[s], double(f.PortAria[s]), f.CoeffResaTerm[s],
                         f.CoeffResaFrigTot[s], f.CoeffResaFrigSens[s], f.LivSondBA[s], f.LivSonNC[s],
                         f.LivSonNR[s]})
            out += u' ' + num(v);
        for (int j = 1; j <= 8; ++j)
            out += QStringLiteral(" %1@%2").arg(f.QA[s][j]).arg(num(f.PSA[s][j]));
    }
    return out + u'\n';
}

TEST_F(GoldenRatings, LoadedModelsAndVersions)
{
    window.versionText = "M";
    macchine.SetFilter({{"Velocita", "MAX"}, {"Tipo", "VENTO"}});
    macchine.SetFiltered(true);
    caricaDati();
    QString out;
    for (int i = 0; i < ListaMacchine.Count(); ++i)
        out += ListaMacchine.Strings(i) + QStringLiteral(": ") + dumpInputs(*ListaMacchine.Objects(i));
    for (int i = 0; i < ListaVersioni.Count(); ++i) {
        const vers& v = *ListaVersioni.Objects(i);
        out += ListaVersioni.Strings(i) + QStringLiteral(": ") + v.Modello + u'|' + v.CodiceVersione + u'|'
            + v.DescrizioneVersione + u'|' + QString::number(v.FattorePressione) + u'|'
            + QString::number(v.Lunghezza) + u'|' + QString::number(v.Larghezza) + u'|'
            + QString::number(v.Spessore) + u'|' + num(v.Peso) + u'|' + num(v.PrezzoListino) + u'\n';
    }
    out += QStringLiteral("Stato %1%2 FattorePressione %3 caption %4\n")
               .arg(Stato.NumVelocita)
               .arg(Stato.TipoCalcolo)
               .arg(Stato.FattorePressione)
               .arg(window.versionCaption);
    compareGolden(out, QStringLiteral("demo-models.txt"));
}

QString dumpResults(const fancoil& f)
{
    QString out;
    for (int s = 1; s <= 3; ++s) {
        out += QStringLiteral("  s%1 %2%3").arg(s).arg(f.NonCalcolatoFreddo[s] ? 'x' : '-').arg(
            f.NonCalcolatoCaldo[s] ? 'x' : '-');
        for (double v : {f.PortataAriaEff[s], f.FattoreSens[s], f.FattoreTot[s], f.FattoreCaldo[s]})
            out += u' ' + num(v);
        out += QStringLiteral(" | F");
        for (double v : {f.TIngFreddo[s], f.TUscFreddo[s], f.PortataFreddo[s], f.PerditaFreddo[s], f.ResaTotKcal[s],
                         f.ResaTotW[s], f.ResaSensKcal[s], f.ResaSensW[s]})
            out += u' ' + num(v);
        out += QStringLiteral(" | C");
        for (double v : {f.TIngCaldo[s], f.TUscCaldo[s], f.PortataCaldo[s], f.PerditaCaldo[s], f.ResaCaldoKcal[s],
                         f.ResaCaldoW[s]})
            out += u' ' + num(v);
        out += u'\n';
    }
    return out;
}

struct Caso {
    const char* name;
    int glicole, altitudine, pressione, riferimento;
    std::function<void()> inputs; // Stato beyond the common design conditions
    std::function<void()> run;    // the batch, over the ticked model
};

TEST_F(GoldenRatings, BatchRatingsOfEveryModel)
{
    // The sides the model's unit type has, as the calculation run picks them.
    const auto freddoCaldo = [] {
        if (Stato.TipoCalcolo != u'C' && Stato.TipoCalcolo != u'A')
            calcolaRaffreddamento();
        if (Stato.TipoCalcolo != u'F' && Stato.TipoCalcolo != u'A')
            calcolaRiscaldamento();
    };
    const std::vector<Caso> casi = {
        {"temperatures, water, free outlet", 0, 0, 0, 3, [] {}, freddoCaldo},
        {"temperatures, 20% glycol, 750 m, 25 Pa, MED", 20, 750, 25, 2, [] {}, freddoCaldo},
        {"temperatures, 45% glycol, 2000 m, 60 Pa, MIN", 45, 2000, 60, 1,
         [] {
             Stato.TempIngAcquaFreddo = 5;
             Stato.TempUscAcquaFreddo = 10.5;
             Stato.TempIngAcquaCaldo = 45;
             Stato.TempUscAcquaCaldo = 40;
         },
         freddoCaldo},
        {"flows, 10% glycol, 10 Pa", 10, 0, 10, 3,
         [] {
             Stato.DatiInRaffredda = 1;
             Stato.PortAcquaRichiestaFreddo = 600;
             Stato.DatiInRiscalda = 1;
             Stato.PortAcquaRichiesta = 400;
         },
         freddoCaldo},
        {"pressure drops, 30% glycol, 1500 m, 40 Pa, MIN", 30, 1500, 40, 1,
         [] {
             Stato.DatiInRaffredda = 2;
             Stato.PDCFreddo = 15;
             Stato.DatiInRiscalda = 2;
             Stato.PDCCaldo = 8;
         },
         freddoCaldo},
        {"cooling, then heating on its water", 0, 0, 0, 3, [] {}, [] {
             calcolaRaffreddamento();
             verificaCaldoDaFreddo();
         }},
        {"heating, then cooling on its water", 20, 500, 15, 2, [] {}, [] {
             calcolaRiscaldamento();
             verificaFreddoDaCaldo();
         }},
        {"targets out of reach", 0, 0, 0, 3,
         [] {
             Stato.DatiInRaffredda = 1;
             Stato.PortAcquaRichiestaFreddo = 10000000;
             Stato.DatiInRiscalda = 2;
             Stato.PDCCaldo = 1e6;
         },
         freddoCaldo},
        {"water warmer than the air in cooling, colder in heating", 0, 0, 0, 3,
         [] {
             Stato.TempIngAcquaFreddo = 20;
             Stato.TempUscAcquaFreddo = 25;
             Stato.TempIngAcquaCaldo = 18;
             Stato.TempUscAcquaCaldo = 15;
         },
         freddoCaldo},
        {"air side only, 30 Pa", 0, 0, 30, 3, [] {}, [] { calcolaSoloAria(); }},
    };

    window.versionText = "M";
    QString out;
    for (const Caso& c : casi) {
        ResetEngineRecords();
        ListaMacchine.Clear();
        ListaVersioni.Clear();
        caricaDati();
        correzioneGlicole(c.glicole);
        correzioneAltitudine(c.altitudine);
        UnitaSI = true;
        fc::test::temperatureProva();
        Stato.VeloCalcolo = c.riferimento;
        Stato.PressioneStatica = c.pressione > 0 ? 1 : 0;
        for (int s = 1; s <= 3; ++s)
            Stato.PressioneDisponibile[s] = c.pressione;
        c.inputs();
        out += QStringLiteral("== %1\n").arg(QLatin1String(c.name));
        for (int i = 0; i < ListaMacchine.Count(); ++i) {
            fancoil& f = *ListaMacchine.Objects(i);
            Stato.NumVelocita = f.NumVelocita;
            Stato.TipoCalcolo = f.TipoCalcolo;
            window.models = {{f.Modello, true}};
            // An error ends the run as it would end the user's: its text
            // is part of the outcome.
            QString error;
            try {
                c.run();
            } catch (const Exception& e) {
                error = QStringLiteral(" raised ") + e.Message();
            }
            out += f.Modello + error + u'\n' + dumpResults(f);
        }
    }
    compareGolden(out, QStringLiteral("demo-ratings.txt"));
}

// Many models in one batch, as a user's run rates them: every three-speed
// model ticked at once (and one unticked, one in another case, one not in
// the catalogue), a run of batches of different inputs one after the
// other on the same objects, then the catalogue rebuilt under the same
// item texts with each name's data moved to another name: every batch must
// rate the model its item names, with that model's own data.
TEST_F(GoldenRatings, OneBatchOverManyModels)
{
    window.versionText = "M";
    caricaDati();
    UnitaSI = true;
    Stato.NumVelocita = 3;
    window.models.clear();
    std::vector<QString> nomi;
    for (int i = 0; i < ListaMacchine.Count(); ++i)
        if (ListaMacchine.Objects(i)->NumVelocita == 3)
            nomi.push_back(ListaMacchine.Strings(i));
    ASSERT_GE(nomi.size(), 4u);
    for (const QString& n : nomi)
        window.models.push_back({n.leftJustified(19, u' ') + QStringLiteral("   35   45   60"), true});
    window.models[1].checked = false;
    window.models[2].text = window.models[2].text.toLower();
    window.models.push_back({QStringLiteral("NON IN CATALOGO"), true});

    const auto condizioni = [](int glicole, int altitudine, int pressione, int riferimento) {
        correzioneGlicole(glicole);
        correzioneAltitudine(altitudine);
        Stato.TBSFreddo = 27;
        Stato.TBUFreddo = 19;
        Stato.TempIngAcquaFreddo = 7;
        Stato.TempUscAcquaFreddo = 12;
        Stato.TempAriaCaldo = 20;
        Stato.TempIngAcquaCaldo = 50;
        Stato.TempUscAcquaCaldo = 45;
        Stato.VeloCalcolo = riferimento;
        Stato.PressioneStatica = pressione > 0 ? 1 : 0;
        for (int s = 1; s <= 3; ++s)
            Stato.PressioneDisponibile[s] = pressione;
        Stato.DatiInRaffredda = Stato.DatiInRiscalda = 0;
    };
    QString out;
    const auto batch = [&](const char* name, const std::function<void()>& run) {
        QString error;
        try {
            run();
        } catch (const Exception& e) {
            error = QStringLiteral(" raised ") + e.Message();
        }
        out += QStringLiteral("== %1%2\n").arg(QLatin1String(name), error);
        for (const QString& n : nomi)
            out += n + u'\n' + dumpResults(*ListaMacchine.Find(n));
    };
    const auto freddoCaldo = [] {
        calcolaRaffreddamento();
        calcolaRiscaldamento();
    };
    const auto giro = [&] {
        condizioni(0, 0, 30, 3);
        batch("temperatures, 30 Pa", freddoCaldo);
        condizioni(20, 750, 30, 2);
        batch("the same pressure, 20% glycol, 750 m, MED", freddoCaldo);
        condizioni(20, 750, 12, 2);
        Stato.DatiInRaffredda = 1;
        Stato.PortAcquaRichiestaFreddo = 500;
        Stato.DatiInRiscalda = 2;
        Stato.PDCCaldo = 6;
        batch("flow and pressure drop, 12 Pa", freddoCaldo);
        condizioni(0, 0, 0, 3);
        batch("cooling, then heating on its water, free outlet", [] {
            calcolaRaffreddamento();
            verificaCaldoDaFreddo();
        });
        condizioni(10, 2000, 45, 1);
        batch("heating, then cooling on its water, MIN", [] {
            calcolaRiscaldamento();
            verificaFreddoDaCaldo();
        });
        condizioni(0, 0, 30, 3);
        batch("air side only", [] { calcolaSoloAria(); });
    };
    giro();

    // Each name takes the data of the next name in the list.
    std::vector<std::unique_ptr<fancoil>> dati;
    for (const QString& n : nomi)
        dati.push_back(std::make_unique<fancoil>(*ListaMacchine.Find(n)));
    ListaMacchine.Clear();
    for (size_t i = 0; i < nomi.size(); ++i) {
        dati[(i + 1) % nomi.size()]->Modello = nomi[i];
        ListaMacchine.Add(nomi[i], std::move(dati[(i + 1) % nomi.size()]));
    }
    out += QStringLiteral("== catalogue rebuilt, data moved\n");
    giro();
    compareGolden(out, QStringLiteral("demo-one-batch.txt"));
}

// The selections over a whole family: which two models bracket each
// requirement.
TEST_F(GoldenRatings, SelectionsOverAFamily)
{
    window.versionText = "M";
    caricaDati();
    correzioneGlicole(0);
    correzioneAltitudine(0);
    UnitaSI = true;
    fc::test::temperatureProva();
    Stato.VeloCalcolo = 3;
    Stato.NumVelocita = 3;
    QString out;
    const auto ticked = [&] {
        QString t;
        for (const auto& it : window.models)
            if (it.checked)
                t += u' ' + it.text;
        return t + u'\n';
    };
    for (const QString& family : {QStringLiteral("VENTO"), QStringLiteral("CANAL")}) {
        window.models.clear();
        for (int i = 0; i < ListaMacchine.Count(); ++i)
            if (ListaMacchine.Objects(i)->Tipo == family && ListaMacchine.Objects(i)->NumVelocita == 3)
                window.models.push_back({ListaMacchine.Objects(i)->Modello, false});
        for (double w : {800.0, 2500.0, 6000.0}) {
            selezionaPerResaFreddo(w);
            out += family + QStringLiteral(" cooling %1:").arg(w) + ticked();
            selezionaPerResaCaldo(w);
            out += family + QStringLiteral(" heating %1:").arg(w) + ticked();
        }
        selezionaPerPortataAria(500);
        out += family + QStringLiteral(" air 500:") + ticked();
    }
    compareGolden(out, QStringLiteral("demo-selections.txt"));
}

} // namespace
