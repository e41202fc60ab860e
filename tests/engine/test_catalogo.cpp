#include <gtest/gtest.h>

#include <QDir>
#include <QSet>
#include <functional>

#include "CatalogueFixture.h"
#include "ModelliProva.h"
#include "TestSupport.h"
#include "engine/Catalogo.h"
#include "engine/Correzioni.h"
#include "engine/Records.h"
#include "platform/Dataset.h"
#include "platform/MainWindowLink.h"

using namespace fc::test;

namespace {

class Catalogo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetEngineRecords();
        ListaMacchine.Clear();
        ListaVersioni.Clear();
        window.macchine = &macchine;
        window.versioni = &versioni;
    }
    void TearDown() override
    {
        ListaMacchine.Clear();
        ListaVersioni.Clear();
    }

    void open(const QString& dati, const QString& vers)
    {
        makeDatabase(folder.file("Dati.cds"), createTableSql(fc::MacchineDef()) + dati);
        makeDatabase(folder.file("Versioni.cds"), createTableSql(fc::VersioniDef()) + vers);
        macchine.SetFileName(folder.file("Dati.cds"));
        macchine.Open();
        versioni.SetFileName(folder.file("Versioni.cds"));
        versioni.Open();
    }

    // A three-speed model: records in the given speed order.
    static QString model3(const QString& name, int pos, int base, QStringList speeds = {"MIN", "MED", "MAX"},
                          const QString& tipo = "T1")
    {
        QString sql;
        for (int i = 0; i < speeds.size(); ++i)
            sql += insertMacchina(
                {.modello = name, .velocita = speeds[i], .posizione = pos, .base = base + i, .tipo = tipo});
        return sql;
    }

    static QStringList names()
    {
        QStringList out;
        for (int i = 0; i < ListaMacchine.Count(); ++i)
            out << ListaMacchine.Strings(i);
        return out;
    }

    ScopedProgramFolder folder;
    ScopedFakeMainWindow window;
    TDataset macchine{fc::MacchineDef()};
    TDataset versioni{fc::VersioniDef()};
};

} // namespace

TEST_F(Catalogo, SpeedsComeFromVelocitaWhateverTheRecordOrder)
{
    // Stored MIN (base 1), MED (2), MAX (3); the index reads them MAX, MED, MIN.
    open(model3("A", 1, 1), {});
    caricaDati();
    ASSERT_EQ(ListaMacchine.Count(), 1);
    const fancoil& f = *ListaMacchine.Objects(0);
    struct Case {
        int speed, base;
    } cases[] = {{1, 1}, {2, 2}, {3, 3}};
    for (const Case& c : cases) {
        const int s = c.speed;
        EXPECT_EQ(f.AssElettr[s], intValue(c.base, 4)) << s;
        EXPECT_DOUBLE_EQ(f.CorrAss[s], floatValue(c.base, 5)) << s;
        EXPECT_EQ(f.PortAria[s], intValue(c.base, 11)) << s;
        EXPECT_DOUBLE_EQ(f.CoeffResaTerm[s], floatValue(c.base, 13)) << s;
        EXPECT_DOUBLE_EQ(f.CoeffResaFrigTot[s], floatValue(c.base, 14)) << s;
        EXPECT_DOUBLE_EQ(f.CoeffResaFrigSens[s], floatValue(c.base, 15)) << s;
        EXPECT_DOUBLE_EQ(f.LivSondBA[s], floatValue(c.base, 16)) << s;
        EXPECT_DOUBLE_EQ(f.LivSonNC[s], floatValue(c.base, 17)) << s;
        EXPECT_DOUBLE_EQ(f.LivSonNR[s], floatValue(c.base, 18)) << s;
        for (int j = 1; j <= 8; ++j) {
            EXPECT_EQ(f.QA[s][j], c.base * 1000 - 10 * j) << s << j;
            EXPECT_DOUBLE_EQ(f.PSA[s][j], 10 * (j - 1) + 0.25) << s << j;
        }
    }
    // Model fields come from its first record in index order: MAX.
    EXPECT_DOUBLE_EQ(f.PDCNomRisc, floatValue(3, 7));
    EXPECT_DOUBLE_EQ(f.PDCNomRaffr, floatValue(3, 9));
    EXPECT_DOUBLE_EQ(f.n, floatValue(3, 37));
    EXPECT_DOUBLE_EQ(f.m, floatValue(3, 38));
    EXPECT_DOUBLE_EQ(f.p, floatValue(3, 39));
    EXPECT_EQ(f.NumVelocita, 3);
    EXPECT_EQ(f.TipoCalcolo, QChar('T'));
    EXPECT_EQ(f.Modello, "A");
    EXPECT_FALSE(f.selezionato);
}

TEST_F(Catalogo, ModelsInFirstAppearanceOrderAndOneSpeedModels)
{
    QString dati = model3("B", 1, 1, {"MAX", "MED", "MIN"}) +
                   insertMacchina({.modello = "  U1 ", .posizione = 2, .calcolo = "1C", .base = 7}) + model3("A", 3, 4);
    // "b" met again further on, outside its block: passed over record by record.
    dati += model3("b", 4, 9);
    open(dati, {});
    caricaDati();
    EXPECT_EQ(names(), QStringList({"B", "U1", "A"}));
    const fancoil& b = *ListaMacchine.Find("B");
    EXPECT_EQ(b.PortAria[3], intValue(1, 11)) << "the later block did not overwrite the model";

    const fancoil& u = *ListaMacchine.Find("u1");
    EXPECT_EQ(u.NumVelocita, 1);
    EXPECT_EQ(u.TipoCalcolo, QChar('C'));
    EXPECT_EQ(u.Modello, "U1");
    EXPECT_EQ(u.PortAria[3], intValue(7, 11));
    EXPECT_EQ(u.PortAria[1], 0);
    EXPECT_EQ(u.PortAria[2], 0);
    EXPECT_EQ(u.QA[1][1], 0);
    EXPECT_EQ(u.PSA[2][8], 0.0);
}

TEST_F(Catalogo, FamilyFromTheFirstFilteredRecordAndFilterBackOn)
{
    open(model3("A", 1, 1, {"MIN", "MED", "MAX"}, "T1") +
             insertMacchina({.modello = "H", .posizione = 2, .calcolo = "1C", .tipo = "H1"}),
         {});
    caricaDati();
    EXPECT_TRUE(macchine.Filtered());
    ASSERT_EQ(window.abilitaCalls.size(), 1u);
    EXPECT_EQ(window.abilitaCalls[0].tipoCalcolo, QChar('T'));
    EXPECT_EQ(window.abilitaCalls[0].numVelocita, 3);

    // The version change under the family filter of the shell.
    macchine.SetFilter({{"Velocita", "MAX"}, {"Tipo", "h1"}});
    caricaMacchine();
    EXPECT_EQ(Stato.TipoCalcolo, QChar('C'));
    EXPECT_EQ(Stato.NumVelocita, 1);
    EXPECT_EQ(window.abilitaCalls.back().numVelocita, 1);
    EXPECT_EQ(names(), QStringList({"A", "H"})) << "every family's models are loaded";
    EXPECT_TRUE(macchine.Filtered());
    EXPECT_EQ(macchine.RecordCount(), 1);
}

TEST_F(Catalogo, VersionsAndTheChosenVersionsFactorAndLabel)
{
    const QString versSql = insertVersione(" A ", " V1 ", " Prima  ", 2, 800, 21.5, 512.25) +
                         insertVersione("A", "V2", "Seconda", 0) + insertVersione("B", "V1", "Di B", 1) +
                         insertVersione("A", "V1", "Ultima", 3);
    open(model3("A", 1, 1) + model3("B", 2, 4), versSql);
    Stato.FattorePressione = -7;

    window.versionText = "";
    caricaDati();
    ASSERT_EQ(ListaVersioni.Count(), 4);
    EXPECT_EQ(ListaVersioni.Strings(0), "A");
    const vers& v = *ListaVersioni.Objects(0);
    EXPECT_EQ(v.Modello, "A");
    EXPECT_EQ(v.CodiceVersione, "V1");
    EXPECT_EQ(v.DescrizioneVersione, "Prima");
    EXPECT_EQ(v.FattorePressione, 2);
    EXPECT_EQ(v.Lunghezza, 800);
    EXPECT_EQ(v.Larghezza, 801);
    EXPECT_EQ(v.Spessore, 802);
    EXPECT_DOUBLE_EQ(v.Peso, 21.5);
    EXPECT_DOUBLE_EQ(v.PrezzoListino, 512.25);
    EXPECT_EQ(Stato.FattorePressione, -7) << "an empty code leaves the factor";
    EXPECT_EQ(window.versionCaption, "");
    EXPECT_EQ(window.labelWidth, 0);

    struct Case {
        QString code;
        int factor;
        QString caption;
    } cases[] = {
        {"zz", -7, ""},          // no version with this code: unchanged
        {" V1 ", 1, "Di B"},     // the code is trimmed; the last model's last match wins
        {"V2", 0, "Seconda"},
        {"v2", 0, "Seconda"},    // codes compare exactly: nothing changes
    };
    for (const Case& c : cases) {
        window.versionText = c.code;
        caricaMacchine();
        EXPECT_EQ(Stato.FattorePressione, c.factor) << c.code.toStdString();
        EXPECT_EQ(window.versionCaption, c.caption) << c.code.toStdString();
        EXPECT_EQ(ListaMacchine.Count(), 2);
    }
    EXPECT_EQ(window.labelWidth, 230);
    EXPECT_EQ(window.labelHeight, 40);
}

TEST_F(Catalogo, ParameterTablesAndLimits)
{
    open(model3("A", 1, 1), {});
    caricaDati();
    EXPECT_DOUBLE_EQ(DatiGlobali.CoeffPDC[7], 1.0);
    EXPECT_DOUBLE_EQ(DatiGlobali.CoeffPDC[33], 0.47);
    EXPECT_DOUBLE_EQ(DatiGlobali.PDCMiscela[6], 1.468);
    EXPECT_DOUBLE_EQ(DatiGlobali.PotFrigSensAlt[5], 0.87);
    const double expected[10][2] = {{0, 120}, {0, 120},  {1, 119}, {-20, 50}, {-10, 25},
                                    {-10, 25}, {1, 34}, {5, 40},  {5, 95},   {-2.3, 39.3}};
    for (int i = 1; i <= 10; ++i) {
        EXPECT_DOUBLE_EQ(Limiti[i].Min, expected[i - 1][0]) << i;
        EXPECT_DOUBLE_EQ(Limiti[i].Max, expected[i - 1][1]) << i;
    }
}

TEST_F(Catalogo, TextsAreTrimmedAndCut)
{
    const QString longName = "MODELLO-LUNGHISSIMO-X";  // 21 characters
    open(insertMacchina({.modello = "  " + longName, .calcolo = "1T", .tipo = " FAMIGLIA-DAL-NOME-LUNGO ",
                         .impianto = "Solo ventilazione", .descr = QString(120, 'd')}),
         {});
    caricaDati();
    ASSERT_EQ(ListaMacchine.Count(), 1);
    EXPECT_EQ(ListaMacchine.Strings(0), longName) << "the key is the whole trimmed name";
    const fancoil& f = *ListaMacchine.Objects(0);
    EXPECT_EQ(f.Modello, longName) << "the model keeps the name it is listed and keyed under";
    EXPECT_EQ(f.Tipo.toStdString(), "FAMIGLIA-DAL-NOME-LU");
    EXPECT_EQ(f.Impianto, "Solo ventilazione");
    EXPECT_EQ(f.Descr.size(), 100);
}

// What the engine cannot use is refused before anything is built, with the
// file, the record as stored in the file and the field named. The bad
// record is stored third but sorts first.
TEST_F(Catalogo, ACalcoloTheEngineDoesNotKnowIsRefusedWithItsPlace)
{
    const QString bad[] = {"XT", "", " 3T", "2T", "0T", "3X", "3t", "3", "3TT", "T3"};
    for (const QString& calcolo : bad) {
        SCOPED_TRACE(calcolo.toStdString());
        open(insertMacchina({.modello = "A", .posizione = 2}) +
                 insertMacchina({.modello = "B", .posizione = 3}) +
                 insertMacchina({.modello = "C", .posizione = 1, .calcolo = calcolo}),
             {});
        try {
            caricaDati();
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Catalogue file \"%1\": record 3, field \"Calcolo\": '%2' is not a "
                                                  "unit code (\"1\" or \"3\", then A, F, C or T)")
                                       .arg(QDir::toNativeSeparators(folder.file("Dati.cds")), calcolo));
        }
        EXPECT_EQ(ListaMacchine.Count(), 0);
        EXPECT_EQ(ListaVersioni.Count(), 0);
        macchine.Close();
        versioni.Close();
    }
    for (const char* calcolo : {"1A", "1F", "3C", "3T", "3T "}) {
        // A model of three speeds has a record of each.
        QString sql;
        for (const char* v : {"MIN", "MED", "MAX"})
            if (calcolo[0] == '3' || QLatin1String(v) == QLatin1String("MAX"))
                sql += insertMacchina({.modello = "A", .velocita = v, .calcolo = calcolo});
        open(sql, {});
        EXPECT_NO_THROW(caricaDati()) << calcolo;
        macchine.Close();
        versioni.Close();
    }
}

TEST_F(Catalogo, ANumberFieldWithoutAValueIsRefusedWithItsPlace)
{
    struct Case {
        const char* table;
        const char* field;
        const char* file;
    } cases[] = {
        {"cdsMacchine", "PortAria", "Dati.cds"},     {"cdsMacchine", "CorrAss", "Dati.cds"},
        {"cdsMacchine", "QA8", "Dati.cds"},          {"cdsMacchine", "PSA1", "Dati.cds"},
        {"cdsMacchine", "n", "Dati.cds"},            {"cdsMacchine", "PressStat", "Dati.cds"},
        {"cdsMacchine", "Posizione", "Dati.cds"},    {"cdsVersioni", "FattorePressione", "Versioni.cds"},
        {"cdsVersioni", "PrezzoListino", "Versioni.cds"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        const QString unset = QStringLiteral("UPDATE %1 SET \"%2\" = NULL WHERE rowid = 2;\n").arg(c.table, c.field);
        const bool inModels = QLatin1String(c.table) == QLatin1String("cdsMacchine");
        const QString vers = insertVersione("A", "M", "Mobile", 1) + insertVersione("B", "M", "Mobile", 1);
        open(model3("A", 1, 1) + (inModels ? unset : QString()), vers + (inModels ? QString() : unset));
        try {
            caricaDati();
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Catalogue file \"%1\": record 2, field \"%2\": no value, expected a "
                                                  "number")
                                       .arg(QDir::toNativeSeparators(folder.file(c.file)), c.field));
        }
        macchine.Close();
        versioni.Close();
    }
    // Texts may be empty.
    open(model3("A", 1, 1) + "UPDATE cdsMacchine SET Descr = NULL;\n", {});
    EXPECT_NO_THROW(caricaDati());
}

// Values that read as numbers but that the rating cannot use: each damaged
// record is told with its file, record and field (or records), and nothing
// is loaded.
TEST_F(Catalogo, ValuesTheRatingCannotUseAreRefusedWithTheirPlace)
{
    const QString dati = QDir::toNativeSeparators(folder.file("Dati.cds"));
    const QString versFile = QDir::toNativeSeparators(folder.file("Versioni.cds"));
    auto at = [](const QString& file, int record, const char* field, const QString& what) {
        return QStringLiteral("Catalogue file \"%1\": record %2, field \"%3\": %4").arg(file).arg(record).arg(
            QLatin1String(field), what);
    };
    // Record 2 is the MED record of model A (base 2: QAj = 2000 - 10 j,
    // PSAj = 10 (j - 1) + 0.25); B is a second model of three speeds.
    auto set = [](const QString& assignments) {
        return QStringLiteral("UPDATE cdsMacchine SET %1 WHERE rowid = 2;\n").arg(assignments);
    };
    struct Case {
        const char* name;
        QString dati;     // added to the models' SQL
        QString versioni; // added to the versions' SQL
        QString message;
    };
    const QString allZero = "QA1 = 0, PSA1 = 0, QA2 = 0, PSA2 = 0, QA3 = 0, PSA3 = 0, QA4 = 0, PSA4 = 0, QA5 = 0, "
                            "PSA5 = 0, QA6 = 0, PSA6 = 0, QA7 = 0, PSA7 = 0, QA8 = 0, PSA8 = 0";
    const Case cases[] = {
        {"negative nominal air flow", set("PortAria = -100"), {},
         at(dati, 2, "PortAria", "'-100' is not an air flow (m3/h, above 0)")},
        {"zero nominal air flow", set("PortAria = 0"), {}, at(dati, 2, "PortAria", "'0' is not an air flow (m3/h, above 0)")},
        {"negative curve flow", set("QA1 = -99"), {}, at(dati, 2, "QA1", "'-99' is not an air flow (m3/h, above 0)")},
        {"a curve of zeros", set(allZero), {}, at(dati, 2, "QA1", "'0' is not an air flow (m3/h, above 0)")},
        {"negative curve pressure", set("PSA1 = -5"), {},
         at(dati, 2, "PSA1", "'-5' is not a static pressure (Pa, 0 or more)")},
        {"curve pressures out of order", set("PSA3 = 5"), {},
         at(dati, 2, "PSA3", "'5' is below PSA2 ('10.25'): the fan curve's pressures cannot fall from one point to "
                             "the next")},
        {"curve flow rising with the pressure", set("QA4 = 1990"), {},
         at(dati, 2, "QA4", "'1990' is above QA3 ('1970'): the fan curve's air flow cannot rise with the pressure")},
        {"no heating coefficient in a unit that heats", set("CoeffResaTerm = 0"), {},
         at(dati, 2, "CoeffResaTerm", "'0' is not a capacity coefficient of a unit that heats (above 0)")},
        {"negative cooling coefficient", set("CoeffResaFrigSens = -3"), {},
         at(dati, 2, "CoeffResaFrigSens", "'-3' is not a capacity coefficient of a unit that cools (above 0)")},
        {"negative exponent", set("n = -0.65"), {},
         at(dati, 2, "n", "'-0.65' is not an exponent of the air-flow factor of a unit that cools (above 0)")},
        {"no heating exponent", set("p = 0"), {},
         at(dati, 2, "p", "'0' is not an exponent of the air-flow factor of a unit that heats (above 0)")},
        {"no cooling coil coefficient", set("PDCNomRaffr = 0"), {},
         at(dati, 2, "PDCNomRaffr", "'0' is not a coil flow coefficient of a unit that cools (above 0)")},
        {"negative coefficient of a coil the unit has not", set("Calcolo = '3F', PDCNomRisc = -1"), {},
         at(dati, 2, "PDCNomRisc", "'-1' is not a coil flow coefficient (0 or more)")},
        {"negative pressure factor", {}, "UPDATE cdsVersioni SET FattorePressione = -1 WHERE rowid = 2;\n",
         at(versFile, 2, "FattorePressione", "'-1' is not a pressure factor (0 or more)")},
        {"negative list price", {}, "UPDATE cdsVersioni SET PrezzoListino = -480 WHERE rowid = 1;\n",
         at(versFile, 1, "PrezzoListino", "'-480' is not a price (0 or more)")},
        {"a speed record twice", insertMacchina({.modello = "A", .velocita = "MED", .posizione = 1, .base = 9}), {},
         QStringLiteral("Catalogue file \"%1\": records 2 and 7: model \"A\", speed \"MED\" and position 1 twice")
             .arg(dati)},
        {"a speed record missing", "DELETE FROM cdsMacchine WHERE rowid = 2;\n", {},
         // The model's first record in index order ("MAX" before "MIN").
         QStringLiteral("Catalogue file \"%1\": record 2, model \"A\": no record of the speed MED, though its "
                        "Calcolo \"3T\" gives it three speeds")
             .arg(dati)},
        {"a one-speed model on a lower speed",
         insertMacchina({.modello = "H", .velocita = "MIN", .posizione = 3, .calcolo = "1C", .base = 9}), {},
         QStringLiteral("Catalogue file \"%1\": record 7, model \"H\": no record of the speed MAX, though its "
                        "Calcolo \"1C\" gives it one speed")
             .arg(dati)},
    };
    const QString vers = insertVersione("A", "M", "Mobile", 1) + insertVersione("B", "M", "Mobile", 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open(model3("A", 1, 1) + model3("B", 2, 4) + c.dati, vers + c.versioni);
        EXPECT_EQ(MessageOf([] { caricaDati(); }).toStdString(), c.message.toStdString());
        EXPECT_EQ(ListaMacchine.Count(), 0);
        EXPECT_EQ(ListaVersioni.Count(), 0);
        macchine.Close();
        versioni.Close();
    }
    // What a unit type does not use may be 0: a ventilation unit has no
    // coil, a unit heater no cooling side.
    open(model3("A", 1, 1) +
             "UPDATE cdsMacchine SET Calcolo = '3A', CoeffResaTerm = 0, CoeffResaFrigTot = 0, CoeffResaFrigSens = 0, "
             "n = 0, m = 0, p = 0, PDCNomRisc = 0, PDCNomRaffr = 0;\n" +
             insertMacchina({.modello = "H", .posizione = 3, .calcolo = "1C", .base = 9}) +
             "UPDATE cdsMacchine SET CoeffResaFrigTot = 0, CoeffResaFrigSens = 0, n = 0, m = 0, PDCNomRaffr = 0 "
             "WHERE Modello = 'H';\n",
         vers);
    EXPECT_EQ(MessageOf([] { caricaDati(); }).toStdString(), "<no exception>");
    EXPECT_EQ(ListaMacchine.Count(), 2);
}

TEST_F(Catalogo, AModelWithFewerRecordsThanItsCalcoloKeepsItsNeighbourIntact)
{
    // "A" claims three speeds but has two; "B" follows.
    open(insertMacchina({.modello = "A", .velocita = "MAX", .posizione = 1, .base = 1}) +
             insertMacchina({.modello = "A", .velocita = "MIN", .posizione = 1, .base = 2}) + model3("B", 2, 5) +
             insertMacchina({.modello = "C", .velocita = "MAX", .posizione = 3, .base = 8}) +
             insertMacchina({.modello = "C", .velocita = "MED", .posizione = 3, .base = 9}),
         {});
    // The loader itself: the start-up check refuses such a catalogue (below).
    caricaDatiControllati();
    EXPECT_EQ(names(), QStringList({"A", "B", "C"}));
    const fancoil& a = *ListaMacchine.Find("A");
    EXPECT_EQ(a.PortAria[3], intValue(1, 11));
    EXPECT_EQ(a.PortAria[1], intValue(2, 11));
    EXPECT_EQ(a.PortAria[2], 0);
    const fancoil& b = *ListaMacchine.Find("B");
    EXPECT_EQ(b.PortAria[1], intValue(5, 11));
    EXPECT_EQ(b.PortAria[3], intValue(7, 11));
    const fancoil& c = *ListaMacchine.Find("C"); // short at the end of the data
    EXPECT_EQ(c.PortAria[3], intValue(8, 11));
    EXPECT_EQ(c.PortAria[2], intValue(9, 11));
    EXPECT_EQ(c.PortAria[1], 0);
}

#ifdef FC_DEMO_CATALOGUE_DIR
// The catalogue the program ships with, as the build laid it out.
TEST_F(Catalogo, TheDemoCatalogueLoadsWithItsFamilies)
{
    fc::test::apriCatalogoDemo(macchine, versioni);
    const QString dir = QStringLiteral(FC_DEMO_CATALOGUE_DIR);
    TDataset param(fc::ParamDef());
    param.SetFileName(dir + "Param.cds");
    param.Open();
    EXPECT_EQ(param.RecordCount(), 33);

    caricaDati();
    EXPECT_EQ(ListaMacchine.Count(), 24);
    EXPECT_EQ(ListaVersioni.Count(), 61);

    QMap<QString, QChar> letter;
    QMap<QString, int> perFamily;
    QSet<QString> installations;
    QMap<QString, int> versionCount;
    for (int i = 0; i < ListaVersioni.Count(); ++i)
        ++versionCount[ListaVersioni.Strings(i)];
    bool oneLacking = false;
    for (int i = 0; i < ListaMacchine.Count(); ++i) {
        const fancoil& f = *ListaMacchine.Objects(i);
        ++perFamily[f.Tipo];
        letter[f.Tipo] = f.TipoCalcolo;
        installations << f.Impianto;
        const int nv = versionCount.value(f.Modello);
        EXPECT_GE(nv, 2) << f.Modello.toStdString();
        EXPECT_LE(nv, 4) << f.Modello.toStdString();
        oneLacking = oneLacking || (nv == 2 && f.Tipo == "VENTO");
        for (int s = 4 - f.NumVelocita; s <= 3; ++s) {
            EXPECT_EQ(f.PSA[s][1], 0.0) << f.Modello.toStdString();
            for (int j = 2; j <= 8; ++j) {
                EXPECT_GT(f.PSA[s][j], f.PSA[s][j - 1]) << f.Modello.toStdString();
                EXPECT_LT(f.QA[s][j], f.QA[s][j - 1]) << f.Modello.toStdString();
            }
            EXPECT_GT(f.PortAria[s], 0);
            EXPECT_GT(f.AssElettr[s], 0);
        }
        // Nominal ratings at MAX: 27/19 degC air, 7/12 degC water for cooling;
        // 20 degC air, 70/60 degC water for heating.
        if (f.TipoCalcolo == 'T' || f.TipoCalcolo == 'F') {
            const double kw = f.CoeffResaFrigTot[3] * (19 - 9.5) / 0.86 / 1000;
            EXPECT_GE(kw, 0.9);
            EXPECT_LE(kw, 10.5);
            EXPECT_LT(f.CoeffResaFrigSens[3] * (27 - 9.5), f.CoeffResaFrigTot[3] * (19 - 9.5));
            const double dp = perditaCarico(9.5, f.CoeffResaFrigTot[3] * 9.5 / 5, f.PDCNomRaffr);
            EXPECT_GE(dp, 10) << f.Modello.toStdString();
            EXPECT_LE(dp, 40) << f.Modello.toStdString();
        }
        if (f.TipoCalcolo == 'T' || f.TipoCalcolo == 'C') {
            const double dp = perditaCarico(65, f.CoeffResaTerm[3] * 45 / 10, f.PDCNomRisc);
            EXPECT_GE(dp, 10) << f.Modello.toStdString();
            EXPECT_LE(dp, 40) << f.Modello.toStdString();
        }
    }
    EXPECT_TRUE(oneLacking);
    EXPECT_EQ(letter, (QMap<QString, QChar>{{"VENTO", 'T'}, {"CANAL", 'F'}, {"AEROTERMO", 'C'}, {"RICAMBIO", 'A'}}));
    for (auto it = perFamily.begin(); it != perFamily.end(); ++it) {
        EXPECT_GE(it.value(), 5) << it.key().toStdString();
        EXPECT_LE(it.value(), 8) << it.key().toStdString();
    }
    // The model keeps 16 characters of its installation text.
    EXPECT_EQ(installations, (QSet<QString>{"2 tubi", "4 tubi", "Solo ventilazione"}));
    EXPECT_EQ(ListaMacchine.Find("AT 20")->NumVelocita, 1);

    // The shell's filters: one MAX record per model of a family and installation.
    struct Filter {
        TFilter filter;
        int records;
    } filters[] = {
        {{{"Velocita", "MAX"}, {"Tipo", "VENTO"}}, 8},
        {{{"Velocita", "MAX"}, {"Tipo", "VENTO"}, {"Impianto", "4 tubi"}}, 2},
        {{{"Velocita", "MAX"}, {"Tipo", "AEROTERMO"}}, 5},
        {{{"Velocita", "MAX"}, {"Tipo", "RICAMBIO"}, {"Impianto", "Solo ventilazione"}}, 5},
    };
    for (const Filter& f : filters) {
        macchine.SetFilter(f.filter);
        EXPECT_EQ(macchine.RecordCount(), f.records) << f.filter[1].Value.toStdString();
    }

    // The parameter file holds the rows the program carries.
    param.First();
    for (int i = 1; i <= 33; ++i, param.Next()) {
        EXPECT_EQ(param.FieldByName("Posizione").AsInteger(), i);
        EXPECT_DOUBLE_EQ(param.FieldByName("CoeffPDC").AsFloat(), DatiGlobali.CoeffPDC[i]);
        if (i <= 6) {
            EXPECT_DOUBLE_EQ(param.FieldByName("PDCMiscela").AsFloat(), DatiGlobali.PDCMiscela[i]);
        }
        if (i <= 5) {
            EXPECT_DOUBLE_EQ(param.FieldByName("PotFrigTotAlt").AsFloat(), DatiGlobali.PotFrigTotAlt[i]);
        }
    }
}
#endif

// Each rebuild gives the models of the records open now, as loaded: a new
// opening of the file (on the same dataset, or another), a cleared registry
// and whatever a run wrote into the models do not carry over.
TEST_F(Catalogo, EveryRebuildGivesTheOpenRecordsModelsAsLoaded)
{
    open(model3("A", 1, 1) + model3("B", 2, 4), insertVersione("A", "V1", "Prima", 2));
    window.versionText = "V1";
    caricaDati();
    ASSERT_EQ(names(), QStringList({"A", "B"}));
    const fancoil* a = ListaMacchine.Find("A");
    const double psa = a->PSA[3][8];
    const int portAria = a->PortAria[2];
    {
        fancoil& w = *ListaMacchine.Objects(0);
        w.selezionato = true;
        w.ResaTotW[3] = 1234;
        w.FattoreTot[1] = 0.5;
        w.NonCalcolatoCaldo[2] = true;
    }
    caricaMacchine();
    ASSERT_EQ(names(), QStringList({"A", "B"}));
    {
        const fancoil& m = *ListaMacchine.Find("A");
        EXPECT_FALSE(m.selezionato);
        EXPECT_EQ(m.ResaTotW[3], 0.0);
        EXPECT_EQ(m.FattoreTot[1], 0.0);
        EXPECT_FALSE(m.NonCalcolatoCaldo[2]);
        EXPECT_EQ(m.PSA[3][8], psa);
        EXPECT_EQ(m.PortAria[2], portAria);
        EXPECT_EQ(m.Modello, "A");
        EXPECT_EQ(Stato.FattorePressione, 2);
        EXPECT_EQ(window.versionCaption, "Prima");
    }

    struct Case {
        const char* what;
        std::function<void()> change;
        QStringList names;
        int portAria; // of the first model's MED speed
    } cases[] = {
        {"the same dataset opened on another file",
         [&] {
             makeDatabase(folder.file("Dati2.cds"),
                          createTableSql(fc::MacchineDef()) + model3("C", 1, 7) + model3("A", 2, 1));
             macchine.Close();
             macchine.SetFileName(folder.file("Dati2.cds"));
             macchine.Open();
         },
         {"C", "A"}, intValue(8, 11)},
        {"the same file opened again", [&] { macchine.Close(); macchine.Open(); }, {"C", "A"}, intValue(8, 11)},
        {"the registry cleared", [&] { ListaMacchine.Clear(); }, {"C", "A"}, intValue(8, 11)},
        {"another model added to the registry",
         [&] { ListaMacchine.Add("Z", std::make_unique<fancoil>()); }, {"C", "A"}, intValue(8, 11)},
    };
    for (const Case& c : cases) {
        c.change();
        caricaMacchine();
        EXPECT_EQ(names(), c.names) << c.what;
        EXPECT_EQ(ListaMacchine.Objects(0)->PortAria[2], c.portAria) << c.what;
        EXPECT_TRUE(macchine.Filtered()) << c.what;
    }
}
