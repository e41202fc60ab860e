// Catalogue navigation walked through every family, installation and version
// of a small catalogue with the awkward cases a real one has, against a
// checked-in record of what each choice shows: the lists and their order,
// the calculation modes on offer, the version's texts and factor, the model
// list with its pressure columns and ticks, the static-pressure choice.
// FC_UPDATE_GOLDEN=1 rewrites the record.
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include "ShellFixture.h"
#include "components/OvSuperSpin.h"
#include "platform/CheckListBox.h"
#include "platform/RadioGroup.h"
#include "ui_TDodedaVO.h" // read by the layout generator, which does not look into ShellFixture.h

// The demo catalogue repeated, as the benchmarks scale it.
#define FC_SOURCE_DIR FC_TEST_DATA_DIR "/../.."
#include "bench/BenchCatalogue.h"

namespace fc::test {
namespace {

// The demo's VENTO, CANAL, AEROTERMO and RICAMBIO models, and:
// - VT 10 again under CANAL, after every other model: listed under CANAL,
//   but as the VENTO model the registry already holds;
// - XX 1, a VENTO model without any version: never listed, adds no code;
// - XX 2, first of VENTO in index order but stored last, whose versions
//   (stored after all the others) bring the code Q before the demo's codes;
// - a version keyed "vt 20" (another case than the model): its code is no
//   version of VT 20;
// - VT 30 "m" beside "M": the same code to the version box;
// - VT 20 "M" twice, factor 0 then 25: the box takes the first, the
//   pressure columns the last.
const char* const kExtraDati = R"(
CREATE TEMP TABLE t AS SELECT * FROM cdsMacchine WHERE Modello = 'VT 10' AND Velocita = 'MAX';
UPDATE t SET Tipo = 'CANAL', Posizione = 900, Calcolo = '1T';
INSERT INTO cdsMacchine SELECT * FROM t; DROP TABLE t;
CREATE TEMP TABLE t AS SELECT * FROM cdsMacchine WHERE Modello = 'VT 20';
UPDATE t SET Modello = 'XX 1', Posizione = 15;
INSERT INTO cdsMacchine SELECT * FROM t; DROP TABLE t;
CREATE TEMP TABLE t AS SELECT * FROM cdsMacchine WHERE Modello = 'VT 30';
UPDATE t SET Modello = 'XX 2', Posizione = 5;
INSERT INTO cdsMacchine SELECT * FROM t; DROP TABLE t;
)";
const char* const kExtraVersioni = R"(
INSERT INTO cdsVersioni VALUES ('vt 20', 'Z', 'Chiave in minuscolo', 3, 1, 1, 1, 1.0, 1.0);
INSERT INTO cdsVersioni VALUES ('VT 30', 'm', 'Doppione in minuscolo', 7, 1, 1, 1, 1.0, 1.0);
INSERT INTO cdsVersioni VALUES ('VT 20', 'M', 'Seconda M', 25, 1, 1, 1, 1.0, 1.0);
INSERT INTO cdsVersioni VALUES ('XX 2', 'Q', 'Versione Q', 2, 1, 1, 1, 1.0, 1.0);
INSERT INTO cdsVersioni VALUES ('XX 2', 'M', 'M di XX 2', 4, 1, 1, 1, 1.0, 1.0);
)";

class Navigazione : public ShellTest {
protected:
    void catalogue()
    {
        writeDemoSubset(dir, {"VT 10", "VT 20", "VT 30", "VT4 30", "VT4 45", "CN 100", "CN 200", "AT 10", "AT 15",
                              "RV 300", "RV 500"});
        auto extend = [&](const char* file, const char* extra) {
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(dir.file(file).toUtf8().constData(), &db), SQLITE_OK);
            char* err = nullptr;
            const int rc = sqlite3_exec(db, extra, nullptr, nullptr, &err);
            const std::string msg = err ? err : "";
            sqlite3_free(err);
            sqlite3_close(db);
            ASSERT_EQ(rc, SQLITE_OK) << msg;
        };
        extend("Dati.cds", kExtraDati);
        extend("Versioni.cds", kExtraVersioni);
        QByteArray ini = readFile(dataFile("select.ini"));
        ini.replace("myLang=English.lng", "myLang=none.lng");
        dir.write("select.ini", ini);
    }

    static QString radio(const TRadioGroup* g)
    {
        QString s = QStringLiteral("%1 %2 [").arg(g->isEnabled() ? "on" : "off").arg(g->ItemIndex());
        for (int i = 0; i < g->Count(); ++i)
            s += g->ItemEnabled(i) ? u'+' : u'-';
        return s + u']';
    }
    static QString combo(const TComboBox* c)
    {
        return QStringLiteral("%1 <%2>").arg(c->ItemIndex()).arg(c->Items().join(QStringLiteral("|")));
    }

    QString state(const QString& what)
    {
        Ui::TDodedaVO& u = f();
        QString s = QStringLiteral("== ") + what + u'\n';
        s += QStringLiteral("famiglia ") + combo(u.ListaFamiglie) + QStringLiteral(" / ") + u.DescTipologia->text() + u'\n';
        s += QStringLiteral("impianti ") + combo(u.ListaImpianti) + u'\n';
        s += QStringLiteral("versioni ") + combo(u.ListaVersion) + QStringLiteral(" / ") + u.DescVersione->text() +
             QStringLiteral(" %1x%2\n").arg(u.DescVersione->width()).arg(u.DescVersione->height());
        s += QStringLiteral("stato %1 %2 '%3' k=%4\n")
                 .arg(Stato.TipoCalcolo)
                 .arg(Stato.NumVelocita)
                 .arg(Stato.TipoImpianto)
                 .arg(Stato.FattorePressione);
        s += QStringLiteral("calcolo ") + radio(u.Calcolo) + QStringLiteral(" operazione ") + radio(u.Operazione) +
             QStringLiteral(" velocita ") + radio(u.VeloCalcolo) + QStringLiteral(" report ") + radio(u.TipoReport) +
             QStringLiteral(" fluido ") + radio(u.Fluido) + QStringLiteral(" altitudine ") + radio(u.Altitudine) + u'\n';
        s += QStringLiteral("teste %1%2\n").arg(u.Label8->isHidden() ? "-" : "+").arg(u.Label9->isHidden() ? "-" : "+");
        s += QStringLiteral("pressione ") + radio(u.PressioneStatica) +
             QStringLiteral(" spin %1 %2..%3 = %4\n")
                 .arg(u.SpinEditVelocita3->isEnabled() ? "on" : "off")
                 .arg(double(u.SpinEditVelocita3->MinValue()))
                 .arg(double(u.SpinEditVelocita3->MaxValue()))
                 .arg(double(u.SpinEditVelocita3->Value()));
        for (int i = 0; i < u.ListaModelli->Count(); ++i)
            s += (u.ListaModelli->Checked(i) ? QStringLiteral("[x] ") : QStringLiteral("[ ] ")) +
                 u.ListaModelli->ItemText(i) + QStringLiteral("|\n");
        return s;
    }

    // The records of the current view of cdsMacchine as the file numbers
    // them, and where the cursor stands; the cursor is put back.
    QString view()
    {
        TDataset& ds = window->cdsMacchine();
        const bool eof = ds.Eof();
        const int at = eof ? -1 : ds.RecordNumber();
        int steps = eof ? ds.RecordCount() : -1;
        QString records;
        int k = 0;
        for (ds.First(); !ds.Eof(); ds.Next(), ++k) {
            records += u' ' + QString::number(ds.RecordNumber());
            if (steps < 0 && ds.RecordNumber() == at)
                steps = k;
        }
        ds.First();
        for (int n = 0; n < steps; ++n)
            ds.Next();
        return QStringLiteral("vista %1 %2 at %3:").arg(ds.Filtered() ? "on" : "off").arg(ds.RecordCount()).arg(steps) +
               records + u'\n';
    }

    // Every field of every model of ListaMacchine, in its order.
    static QString models()
    {
        QString s;
        auto arr = [&s](const auto& a, int lo, int hi) {
            for (int i = lo; i <= hi; ++i)
                s += u' ' + QString::number(double(a[i]), 'g', 17);
            s += u'|';
        };
        for (int i = 0; i < ListaMacchine.Count(); ++i) {
            const fancoil& m = *ListaMacchine.Objects(i);
            s += ListaMacchine.Strings(i) + u'|' + m.Tipo + u'|' + m.Descr + u'|' + m.Impianto + u'|' + m.Modello +
                 QStringLiteral("|%1|%2|%3|").arg(m.selezionato).arg(m.NumVelocita).arg(m.TipoCalcolo);
            for (double v : {m.PDCNomRisc, m.PDCNomRaffr, m.n, m.m, m.p})
                s += u' ' + QString::number(v, 'g', 17);
            s += u'|';
            arr(m.AssElettr, 1, 3);
            arr(m.PortAria, 1, 3);
            for (const PerSpeed* a : {&m.CorrAss, &m.CoeffResaTerm, &m.CoeffResaFrigTot, &m.CoeffResaFrigSens,
                                      &m.LivSondBA, &m.LivSonNC, &m.LivSonNR, &m.PortataAriaEff, &m.TIngFreddo,
                                      &m.TUscFreddo, &m.PortataFreddo, &m.PerditaFreddo, &m.ResaTotKcal, &m.ResaTotW,
                                      &m.ResaSensKcal, &m.ResaSensW, &m.TIngCaldo, &m.TUscCaldo, &m.PortataCaldo,
                                      &m.PerditaCaldo, &m.ResaCaldoKcal, &m.ResaCaldoW, &m.FattoreSens,
                                      &m.FattoreTot, &m.FattoreCaldo})
                arr(*a, 1, 3);
            arr(m.NonCalcolatoFreddo, 1, 3);
            arr(m.NonCalcolatoCaldo, 1, 3);
            for (int sp = 1; sp <= 3; ++sp) {
                arr(m.QA[sp], 1, 8);
                arr(m.PSA[sp], 1, 8);
            }
            s += u'\n';
        }
        return s;
    }
    static QString modelsDigest()
    {
        return QStringLiteral("modelli %1 %2\n")
            .arg(ListaMacchine.Count())
            .arg(QString::fromLatin1(QCryptographicHash::hash(models().toUtf8(), QCryptographicHash::Sha1).toHex()));
    }
};

TEST_F(Navigazione, EveryFamilyInstallationAndVersionShowsWhatItDidBefore)
{
    catalogue();
    open();
    QString out = state(QStringLiteral("start"));
    const QStringList families = f().ListaFamiglie->Items();
    for (const QString& family : families) {
        chooseFamily(family);
        out += state(QStringLiteral("family ") + family);
        const QStringList installations = f().ListaImpianti->Items();
        for (const QString& inst : installations) {
            chooseInstallation(inst);
            out += state(QStringLiteral("installation ") + inst);
            const QStringList versions = f().ListaVersion->Items();
            for (const QString& code : versions) {
                chooseVersion(code);
                out += state(QStringLiteral("version ") + code);
            }
        }
    }
    // Ticks the user set stay while the list would not change, and go when
    // another version changes its pressures.
    chooseFamily(QStringLiteral("VENTO"));
    f().ListaModelli->SetChecked(0, false);
    window->ListaModelliExit();
    chooseInstallation(f().ListaImpianti->Items().value(0));
    out += state(QStringLiteral("VENTO again, first unticked"));
    chooseVersion(f().ListaVersion->Items().value(1));
    out += state(QStringLiteral("VENTO second version"));
    // Selection by capacity ticks every model at each refresh.
    f().Operazione->SetItemIndex(1);
    f().ListaModelli->SetChecked(1, false);
    goTo("Parametri");
    out += state(QStringLiteral("by capacity on Parametri"));

    ExpectGoldenText(out, testDataDir() + QStringLiteral("data/navigazione.txt"));
}

// Ten copies of the demo catalogue: each choice leaves the filtered view of
// the models on the same records in the same order, the same lists and ticks,
// and the models registry holding every model with the same values.
TEST_F(Navigazione, TenTimesTheCatalogueEveryChoiceKeepsViewListsAndModels)
{
    {
        const fc::bench::ScaledCatalogue cat(10);
        for (const char* file : {"Dati.cds", "Versioni.cds", "Param.cds"})
            ASSERT_TRUE(QFile::copy(cat.path() + QLatin1String(file), dir.file(QLatin1String(file))));
    }
    // The scaled folder gave the program folder back to the executable's.
    fc::SetProgramFolderForTests(dir.path());
    QByteArray ini = readFile(dataFile("select.ini"));
    ini.replace("myLang=English.lng", "myLang=none.lng");
    dir.write("select.ini", ini);
    open();
    QString out = state(QStringLiteral("start")) + view() + modelsDigest();
    for (const QString& family : f().ListaFamiglie->Items()) {
        chooseFamily(family);
        out += state(QStringLiteral("family ") + family) + view() + modelsDigest();
        for (const QString& inst : f().ListaImpianti->Items()) {
            chooseInstallation(inst);
            out += state(QStringLiteral("installation ") + inst) + view() + modelsDigest();
            for (const QString& code : f().ListaVersion->Items()) {
                chooseVersion(code);
                out += state(QStringLiteral("version ") + code) + view() + modelsDigest();
            }
        }
    }
    goTo("Parametri");
    out += state(QStringLiteral("Parametri")) + view();
    ExpectGoldenText(out, testDataDir() + QStringLiteral("data/navigazione_10x.txt"));
}

// A version change loads the models afresh: what the last calculation left
// in them (results, marks) is gone, the catalogue values are as loaded.
TEST_F(Navigazione, VersionChangeAfterACalculationGivesTheModelsAsLoaded)
{
    standardFolder();
    open();
    chooseFamily(QStringLiteral("VENTO"));
    const QString loaded = models();
    const QStringList codes = f().ListaVersion->Items();
    ASSERT_GE(codes.size(), 2);
    for (int i = 0; i < 5 && pageName() != "Calcola"; ++i)
        f().Avanti->click();
    ASSERT_EQ(pageName(), "Calcola") << dialogs.messages().join('|').toStdString();
    f().BitBtnCalc->click();
    ASSERT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    ASSERT_NE(models(), loaded) << "the run left its results in the models";
    for (int k = 0; k < ListaMacchine.Count(); ++k)
        ListaMacchine.Objects(k)->selezionato = true;

    chooseVersion(codes[1]);
    EXPECT_EQ(models(), loaded);
    for (int k = 0; k < ListaMacchine.Count(); ++k)
        for (int s = 1; s <= 3; ++s)
            EXPECT_FALSE(ListaMacchine.Objects(k)->curvaRicordata.valida(s)) << k << ' ' << s;
    chooseVersion(codes[0]);
    EXPECT_EQ(models(), loaded);
}

// The version box lists the versions of the models the installation shown
// filters: after a family change, every code offered can be chosen and
// stays chosen.
TEST_F(Navigazione, TheVersionsOfferedAreThoseOfTheInstallationShown)
{
    writeDemoSubset(dir, {"VT 10", "CN 100", "CN 200", "AT 10"});
    // A four-pipe CANAL model whose only version, X, no two-pipe model has.
    auto exec = [&](const char* file, const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(dir.file(file).toUtf8().constData(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    };
    exec("Dati.cds", "CREATE TEMP TABLE t AS SELECT * FROM cdsMacchine WHERE Modello = 'CN 200';"
                     "UPDATE t SET Modello = 'CN4 200', Impianto = '4 tubi', Posizione = 990;"
                     "INSERT INTO cdsMacchine SELECT * FROM t; DROP TABLE t;");
    exec("Versioni.cds", "INSERT INTO cdsVersioni VALUES ('CN4 200', 'X', 'Solo quattro tubi', 1, 1, 1, 1, 1.0, 1.0);");
    open();
    chooseFamily(QStringLiteral("CANAL"));
    ASSERT_EQ(f().ListaImpianti->Text(), "2 tubi");
    EXPECT_EQ(f().ListaVersion->Items(), QStringList({"B", "P", "F7"}));
    for (const QString& code : f().ListaVersion->Items()) {
        chooseVersion(code);
        EXPECT_EQ(f().ListaVersion->Text(), code);
    }
    chooseInstallation(QStringLiteral("4 tubi"));
    EXPECT_EQ(f().ListaVersion->Items(), QStringList({"X"}));
    chooseVersion(QStringLiteral("X"));
    EXPECT_EQ(f().ListaVersion->Text(), "X");
    EXPECT_EQ(f().DescVersione->text(), "Solo quattro tubi");
}

} // namespace
} // namespace fc::test
