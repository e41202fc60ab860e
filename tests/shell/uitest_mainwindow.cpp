// The main window driven as a user drives it, each test in its own program
// folder with a small catalogue.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "components/Lang.h"
#include "components/OvNumEdit.h"
#include "components/OvSuperSpin.h"
#include "engine/Catalogo.h"
#include "engine/Records.h"
#include "platform/CheckListBox.h"
#include "platform/ComboBox.h"
#include "platform/Components.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Numbers.h"
#include "platform/PageControl.h"
#include "platform/PublishedProperties.h"
#include "platform/RadioGroup.h"
#include "shell/ClientData.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/TestSupport.h"
#include "ui_TDodedaVO.h"

using namespace fc::test;

namespace {

QString dataFile(const QString& name) { return testDataDir() + QStringLiteral("../../data/") + name; }

struct Model {
    QString name;
    QString tipo = QStringLiteral("T1");
    QString impianto = QStringLiteral("2 tubi");
    QString calcolo = QStringLiteral("3T");
    int base = 1;
    QString descr = QStringLiteral("Descrizione");
};

// One record per speed (MAX only for a one-speed model).
QString modelSql(const Model& m, int pos)
{
    QString sql;
    const int speeds = m.calcolo.left(1).toInt();
    const char* names[3] = {"MIN", "MED", "MAX"};
    for (int s = 3 - speeds; s < 3; ++s) {
        MacchinaRow r;
        r.modello = m.name;
        r.velocita = QLatin1String(names[s]);
        r.posizione = pos;
        r.calcolo = m.calcolo;
        r.base = m.base;
        r.tipo = m.tipo;
        r.impianto = m.impianto;
        r.descr = m.descr;
        sql += insertMacchina(r);
    }
    return sql;
}

class Catalogue {
public:
    std::vector<Model> models;
    // model, code, description, factor
    std::vector<std::tuple<QString, QString, QString, int>> versions;

    void write(const ScopedProgramFolder& dir) const
    {
        QString dati = createTableSql(fc::MacchineDef());
        int pos = 10;
        for (const Model& m : models) {
            dati += modelSql(m, pos);
            pos += 10;
        }
        makeDatabase(dir.file("Dati.cds"), dati);
        QString ver = createTableSql(fc::VersioniDef());
        for (const auto& [model, code, descr, factor] : versions)
            ver += insertVersione(model, code, descr, factor);
        makeDatabase(dir.file("Versioni.cds"), ver);
        makeDatabase(dir.file("Param.cds"), createTableSql(fc::ParamDef()));
    }
};

Catalogue standardCatalogue()
{
    Catalogue c;
    c.models = {{"VT10"}, {"VT20", "T1", "2 tubi", "3T", 2}, {"VT40", "T1", "4 tubi", "3T", 3},
                {"CN10", "F1", "2 tubi", "3F"}, {"AE10", "C1", "2 tubi", "1C"}, {"RV10", "A1", "Solo ventilazione", "3A"}};
    for (const Model& m : c.models)
        c.versions.push_back({m.name, "M", "Con mobile", 1});
    c.versions.push_back({"VT10", "X/2", "Versione speciale", 2});
    return c;
}

// A fresh engine, dialogs answered by script, a program folder of its own.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetEngineRecords();
        ListaMacchine.Clear();
        ListaVersioni.Clear();
    }
    void TearDown() override
    {
        window.reset();
        fc::SetMainWindow(nullptr);
    }
    void withEnglish() const { dir.write("English.lng", readFile(dataFile("English.lng"))); }
    TDodedaVO& open()
    {
        window = std::make_unique<TDodedaVO>();
        window->resize(1060, 640);
        return *window;
    }
    Ui::TDodedaVO& f() { return window->form(); }
    void chooseFamily(const QString& family)
    {
        const int i = f().ListaFamiglie->findText(family);
        ASSERT_GE(i, 0) << family.toStdString();
        f().ListaFamiglie->setCurrentIndex(i);
        emit f().ListaFamiglie->activated(i);
    }
    void chooseInstallation(const QString& text)
    {
        const int i = f().ListaImpianti->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        f().ListaImpianti->setCurrentIndex(i);
        emit f().ListaImpianti->activated(i);
    }
    void chooseVersion(const QString& code)
    {
        const int i = f().ListaVersion->findText(code);
        ASSERT_GE(i, 0) << code.toStdString();
        f().ListaVersion->setCurrentIndex(i);
        emit f().ListaVersion->activated(i);
    }
    QString pageName() const { return window->form().ControllaPagine->currentWidget()->objectName(); }

    ScopedProgramFolder dir;
    ScopedScriptedDialogs dialogs;
    std::unique_ptr<TDodedaVO> window;
};

} // namespace

TEST_F(MainWindowTest, StartsWithDefaultsWithoutSelectIni)
{
    standardCatalogue().write(dir);
    DatiGlobali.Moltip = 7;
    DatiGlobali.DecimaliValuta = 5;
    open();
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    EXPECT_EQ(window->Language1->LanguageFile(), dir.file("English.lng"));
    for (TOvNumEdit* e : {f().TempAriaCaldo, f().TempIngAcquaCaldo, f().TempUscAcquaCaldo, f().SalTerAcquaCaldo,
                          f().TBSFreddo, f().TBUFreddo, f().URFreddo, f().TempIngAcquaFreddo, f().TempUscAcquaFreddo,
                          f().SalTerAcquaFreddo})
        EXPECT_EQ(double(e->Value()), 0.0) << e->objectName().toStdString();
    EXPECT_EQ(DatiGlobali.ScontoMolt, 0);
    EXPECT_EQ(DatiGlobali.Sconto1 + DatiGlobali.Sconto2 + DatiGlobali.Sconto3, 0.0);
    EXPECT_EQ(DatiGlobali.Moltip, 1.0);
    EXPECT_EQ(DatiGlobali.DecimaliValuta, 2);
    EXPECT_EQ(DatiGlobali.CambioEuro, 1.0);
    EXPECT_EQ(f().DealerName->text(), " ");
    EXPECT_EQ(RigheFirm, QStringList({" ", " ", " ", " "}));
    // No language file: the Italian texts stay.
    EXPECT_EQ(f().Operazione->Items().at(0), "Verifica");
    EXPECT_FALSE(f().ControllaPagine->TabVisible(2));
    EXPECT_FALSE(f().Memo3->isVisible() && f().Memo3->isVisibleTo(window.get()));
}

TEST_F(MainWindowTest, ReadsSettingsWithDecimalCommaAndCutsLongLines)
{
    ScopedSeparators sep('.', ',');
    standardCatalogue().write(dir);
    const QString dealer80 = QString(76, 'D') + "TAIL";
    dir.write("select.ini", ("[Default]\nFTABS=22,5\nCTIA=70\nFUR=abc\nScontoMolt=1\nSconto1=12,5\nMoltip=0,75\n"
                             "[Dealer]\nnome=" + dealer80 + "\n[Firm]\nriga4=Quarta\n[Currency]\nDecimalPlaces=0\n1Euro=1,95583\n")
                                .toUtf8());
    open();
    EXPECT_EQ(f().TBSFreddo->text(), "22.5");
    EXPECT_EQ(double(f().TempIngAcquaCaldo->Value()), 70.0);
    EXPECT_EQ(double(f().URFreddo->Value()), 0.0); // unparsable: default
    EXPECT_EQ(f().DealerName->text(), QString(76, 'D'));
    EXPECT_EQ(RigheDealer.at(0), QString(76, 'D'));
    EXPECT_EQ(RigheFirm.at(3), "Quarta");
    EXPECT_EQ(DatiGlobali.ScontoMolt, 1);
    EXPECT_EQ(DatiGlobali.Sconto1, 12.5);
    EXPECT_EQ(DatiGlobali.Moltip, 0.75);
    EXPECT_EQ(DatiGlobali.DecimaliValuta, 0);
    EXPECT_DOUBLE_EQ(DatiGlobali.CambioEuro, 1.95583);
}

// A value of select.ini that does not read whole as a number, or lies
// outside what it can be, gets its default, and every such key is told in
// one message naming the file.
TEST_F(MainWindowTest, SettingsOutsideTheirMeaningGetTheirDefaultsAndAreToldOnce)
{
    ScopedSeparators sep('.', ',');
    standardCatalogue().write(dir);
    struct Case {
        const char* ini;
        QStringList keys; // the wrong keys, as the message names them
    } cases[] = {
        {"[Currency]\n1Euro=1e300\n", {"[Currency] 1Euro=1e300"}},
        {"[Currency]\n1Euro=1.1\n", {"[Currency] 1Euro=1.1"}},
        {"[Currency]\n1Euro=-2\nDecimalPlaces=17\n", {"[Currency] DecimalPlaces=17", "[Currency] 1Euro=-2"}},
        {"[Currency]\n1Euro=0\nDecimalPlaces=400\n", {"[Currency] DecimalPlaces=400", "[Currency] 1Euro=0"}},
        {"[Currency]\nDecimalPlaces=-1\n", {"[Currency] DecimalPlaces=-1"}},
        {"[Default]\nFTABS=1000\nFUR=abc\nCTIA=70\n", {"[Default] FTABS=1000", "[Default] FUR=abc"}},
        {"[Default]\nScontoMolt=5\nSconto1=150\nMoltip=7\n",
         {"[Default] ScontoMolt=5", "[Default] Sconto1=150", "[Default] Moltip=7"}},
        {"[Default]\nCTABS=20\nFUR=47,4\n[Currency]\nDecimalPlaces=4\n1Euro=1,95583\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        dialogs.clear();
        dir.write("select.ini", c.ini);
        open();
        EXPECT_FALSE(window->ArchivioMancante());
        if (c.keys.isEmpty()) {
            EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
        } else {
            ASSERT_EQ(dialogs.messages().size(), 1) << dialogs.messages().join('|').toStdString();
            const QString m = dialogs.messages().front();
            EXPECT_TRUE(m.contains(QDir::toNativeSeparators(dir.file("select.ini")))) << m.toStdString();
            for (const QString& k : c.keys)
                EXPECT_TRUE(m.contains(k)) << k.toStdString() << " in " << m.toStdString();
        }
        // What was wrong has its default; the rest is read.
        const bool euroWrong = std::any_of(c.keys.begin(), c.keys.end(), [](const QString& k) { return k.contains("1Euro"); });
        if (euroWrong)
            EXPECT_EQ(DatiGlobali.CambioEuro, 1.0);
        if (c.keys.join(' ').contains("DecimalPlaces"))
            EXPECT_EQ(DatiGlobali.DecimaliValuta, 2);
        if (c.keys.join(' ').contains("FTABS")) {
            EXPECT_EQ(double(f().TBSFreddo->Value()), 0.0);
            EXPECT_EQ(double(f().TempIngAcquaCaldo->Value()), 70.0);
        }
        if (c.keys.join(' ').contains("Moltip")) {
            EXPECT_EQ(DatiGlobali.ScontoMolt, 0);
            EXPECT_EQ(DatiGlobali.Sconto1, 0.0);
            EXPECT_EQ(DatiGlobali.Moltip, 1.0);
        }
        if (c.keys.isEmpty()) {
            EXPECT_DOUBLE_EQ(DatiGlobali.CambioEuro, 1.95583);
            EXPECT_EQ(DatiGlobali.DecimaliValuta, 4);
            EXPECT_EQ(f().URFreddo->text(), "47.4");
        }
        window.reset();
        fc::SetMainWindow(nullptr);
    }
}

// What a killed save left beside select.ini and in pdf/ is cleared when the
// program starts; the user's files of like names stay.
TEST_F(MainWindowTest, TheStartClearsWhatKilledSavesLeftAndNothingElse)
{
    standardCatalogue().write(dir);
    dir.write("select.ini", "[Currency]\nDecimalPlaces=2\n");
    dir.write("pdf/keep.txt", "x");
    ASSERT_GT(KilledWrite(dir.file("select.ini")), 0);
    ASSERT_GT(KilledWrite(dir.file("pdf/Report.pdf")), 0);
    const QStringList users = {"select.ini.Backup", "select.ini.Xa3kQ9", ".select.ini.2147483600-1.tmp"};
    for (const QString& u : users)
        dir.write(u, "the user's own");
    auto hidden = [&](const QString& folder) {
        return QDir(folder).entryList(QStringList{".*.tmp"}, QDir::Files | QDir::Hidden);
    };
    ASSERT_EQ(hidden(dir.path()).size(), 2);
    ASSERT_EQ(hidden(dir.file("pdf")).size(), 1);
    open();
    EXPECT_FALSE(window->ArchivioMancante());
    EXPECT_EQ(hidden(dir.path()), QStringList{".select.ini.2147483600-1.tmp"});
    EXPECT_TRUE(hidden(dir.file("pdf")).isEmpty());
    for (const QString& u : users)
        EXPECT_EQ(readFile(dir.file(u)), QByteArray("the user's own")) << u.toStdString();
    EXPECT_EQ(readFile(dir.file("select.ini")), QByteArray("[Currency]\nDecimalPlaces=2\n"));
}

TEST_F(MainWindowTest, FamiliesMergeWithoutRegardToCase)
{
    Catalogue c;
    c.models = {{"M1", "A"}, {"M2", "B"}, {"M3", "a"}};
    for (const Model& m : c.models)
        c.versions.push_back({m.name, "M", "Con mobile", 1});
    c.write(dir);
    open();
    EXPECT_EQ(f().ListaFamiglie->Items(), QStringList({"A", "B"}));
    // The family "A" filters its models without regard to case too.
    f().ControllaPagine->SetActivePageIndex(1);
    window->preparaPagina();
    ASSERT_EQ(f().ListaModelli->Count(), 2);
    EXPECT_EQ(f().ListaModelli->ItemText(0).left(19).trimmed(), "M1");
    EXPECT_EQ(f().ListaModelli->ItemText(1).left(19).trimmed(), "M3");
}

TEST_F(MainWindowTest, MissingOrBrokenCatalogueStopsWithItsMessage)
{
    const QString missing = "ERROR: catalogue file missing\n", damaged = "ERROR: catalogue file damaged\n",
                  empty = "ERROR: the catalogue holds no models\n",
                  noVersions = "ERROR: the catalogue holds no versions\n";
    auto sql = [](const char* statement, const char* file = "Dati.cds") {
        return [statement, file](const ScopedProgramFolder& d) {
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(d.file(QLatin1String(file)).toUtf8().constData(), &db), SQLITE_OK);
            EXPECT_EQ(sqlite3_exec(db, statement, nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        };
    };
    struct Case {
        const char* what;
        std::function<void(const ScopedProgramFolder&)> spoil;
        QString starts; // the message's first line, then a detail when it ends in a line break
        QString detail; // a part of the detail
    };
    const Case cases[] = {
        // A missing file is named, and so is a folder in its place.
        {"Param.cds missing", [](const ScopedProgramFolder& d) { QFile::remove(d.file("Param.cds")); }, missing,
         "Param.cds"},
        {"Versioni.cds missing", [](const ScopedProgramFolder& d) { QFile::remove(d.file("Versioni.cds")); }, missing,
         "Versioni.cds"},
        {"a folder in place of Dati.cds",
         [](const ScopedProgramFolder& d) {
             QFile::remove(d.file("Dati.cds"));
             QDir(d.path()).mkdir("Dati.cds");
         },
         missing, "Dati.cds"},
        {"Dati.cds corrupt", [](const ScopedProgramFolder& d) { d.write("Dati.cds", QByteArray(2048, 'x')); }, damaged,
         "Dati.cds"},
        {"Dati.cds empty file", [](const ScopedProgramFolder& d) { d.write("Dati.cds", QByteArray()); }, damaged,
         "Dati.cds"},
        {"no models", sql("DELETE FROM cdsMacchine"), empty, "Dati.cds"},
        {"a number field without a value", sql("UPDATE cdsMacchine SET PortAria = NULL WHERE rowid = 5"), damaged,
         "record 5, field \"PortAria\""},
        {"an unknown unit code", sql("UPDATE cdsMacchine SET Calcolo = 'X' WHERE rowid = 7"), damaged,
         "record 7, field \"Calcolo\": 'X'"},
        {"a unit type the engine does not know", sql("UPDATE cdsMacchine SET Calcolo = '3Q'"), damaged,
         "field \"Calcolo\": '3Q'"},
        // Values the rating cannot use, and what the loader would build
        // wrong, stop the start the same way.
        {"a negative fan-curve pressure", sql("UPDATE cdsMacchine SET PSA1 = -5 WHERE rowid = 3"), damaged,
         "record 3, field \"PSA1\": '-5' is not a static pressure"},
        {"a speed record twice", sql("INSERT INTO cdsMacchine SELECT * FROM cdsMacchine WHERE rowid = 2"), damaged,
         "records 2 and "},
        {"no versions", sql("DELETE FROM cdsVersioni", "Versioni.cds"), noVersions, "Versioni.cds"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.clear();
        ScopedProgramFolder own;
        standardCatalogue().write(own);
        own.write("English.lng", readFile(dataFile("English.lng")));
        c.spoil(own);
        TDodedaVO w;
        EXPECT_TRUE(w.ArchivioMancante());
        ASSERT_EQ(dialogs.log().size(), 1u);
        const TMessageRequest& m = dialogs.log().front().message;
        EXPECT_EQ(m.Caption, " ");
        if (c.starts.endsWith('\n')) {
            EXPECT_TRUE(m.Text.startsWith(c.starts)) << m.Text.toStdString();
            EXPECT_TRUE(m.Text.contains(c.detail)) << m.Text.toStdString();
        } else {
            EXPECT_EQ(m.Text, c.starts);
        }
        EXPECT_EQ(w.form().ListaFamiglie->Count(), 0);
        EXPECT_EQ(ListaMacchine.Count(), 0);
        fc::SetMainWindow(nullptr);
    }
}

// A language file whose choice lists are shorter or longer than the
// window's: the window loads whole, every group keeps its choices.
TEST_F(MainWindowTest, ALanguageFileWithShortOrLongChoiceListsLoadsTheWholeWindow)
{
    standardCatalogue().write(dir);
    QStringList many;
    for (int i = 0; i < 500; ++i)
        many << QStringLiteral("Choice %1").arg(i);
    QByteArray lng = "[Translations]\n";
    for (const char* group : {"Operazione", "Fluido", "Altitudine", "PressioneStatica", "VeloCalcolo",
                              "DatiInRiscalda", "DatiInRaffredda", "TipoReport"})
        lng += QByteArray("DodedaVO.") + group + ".Items=Only one\n";
    lng += "DodedaVO.Calcolo.Items=" + many.join(',').toUtf8() + "\n";
    dir.write("English.lng", lng);
    open();
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    EXPECT_FALSE(window->ArchivioMancante());
    EXPECT_EQ(f().Operazione->Items(), QStringList({"Only one", "Calcolo per resa", "Calcolo per portata aria"}));
    EXPECT_EQ(f().Calcolo->Items().size(), 5);
    EXPECT_EQ(f().Calcolo->Items().at(4), "Choice 4");
    EXPECT_EQ(f().VeloCalcolo->Items().size(), 3);
    EXPECT_GT(f().ListaVersion->Count(), 0);
    EXPECT_LT(window->sizeHint().height(), 1000);
}

TEST_F(MainWindowTest, SaveDefaultsRoundTripsWhateverTheSeparators)
{
    standardCatalogue().write(dir);
    for (QChar decimal : {QChar('.'), QChar(',')}) {
        SCOPED_TRACE(QString(decimal).toStdString());
        ScopedSeparators sep(decimal, decimal == '.' ? ',' : '.');
        dir.write("select.ini", "; kept\n[Language]\nmyLang=English.lng\n");
        {
            TDodedaVO w;
            auto& u = w.form();
            u.TBSFreddo->SetValue(22.5);
            u.TempAriaCaldo->SetValue(-3.5);
            u.Moltip->SetValue(0.875);
            w.SaveDefaults1Click();
        }
        const fc::IniFile ini(dir.file("select.ini"));
        EXPECT_EQ(ini.ReadString("Default", "FTABS", ""), "22,5");
        EXPECT_EQ(ini.ReadString("Default", "CTABS", ""), "-3,5");
        EXPECT_EQ(ini.ReadString("Default", "ScontoMolt", ""), "0");
        EXPECT_EQ(ini.ReadString("Default", "Moltip", ""), "0,875");
        EXPECT_EQ(ini.ReadString("Language", "myLang", ""), "English.lng");
        EXPECT_TRUE(readFile(dir.file("select.ini")).startsWith("; kept\n"));
        TDodedaVO again;
        EXPECT_EQ(again.form().TBSFreddo->text(), QString("22") + decimal + "5");
        EXPECT_EQ(double(again.form().TempAriaCaldo->Value()), -3.5);
        fc::SetMainWindow(nullptr);
    }
}

TEST_F(MainWindowTest, SaveDefaultsWritesThePriceMode)
{
    standardCatalogue().write(dir);
    open();
    f().moltiplicatore->setChecked(true);
    window->SaveDefaults1Click();
    EXPECT_EQ(fc::IniFile(dir.file("select.ini")).ReadString("Default", "ScontoMolt", ""), "2");
    f().Sconto->setChecked(true);
    window->SaveDefaults1Click();
    EXPECT_EQ(fc::IniFile(dir.file("select.ini")).ReadString("Default", "ScontoMolt", ""), "1");
}

TEST_F(MainWindowTest, LanguageSelectTranslatesAndStoresTheFileNameOnly)
{
    standardCatalogue().write(dir);
    open();
    EXPECT_EQ(f().LabelVers->text(), "Versione:");
    QTemporaryDir elsewhere;
    QFile lng(elsewhere.filePath("Mine.lng"));
    ASSERT_TRUE(lng.open(QIODevice::WriteOnly));
    lng.write( "[Translations]\nDodedaVO.LabelVers.Caption=Variante:\n"
                                "DodedaVO.Operazione.Items=Uno,Due,Tre\n[Charset]\nFont.Charset=$EE\n");
    lng.close();
    dialogs.answerFile(elsewhere.filePath("Mine.lng"));
    window->S1Click();
    EXPECT_EQ(f().LabelVers->text(), "Variante:");
    EXPECT_EQ(f().Operazione->Items(), QStringList({"Uno", "Due", "Tre"}));
    EXPECT_EQ(DatiGlobali.CharsetLingua, 0xEE);
    EXPECT_EQ(fc::IniFile(dir.file("select.ini")).ReadString("Language", "myLang", ""), "Mine.lng");
    ASSERT_EQ(dialogs.log().size(), 1u);
    EXPECT_EQ(dialogs.log()[0].file.Filter, "Language file|*.lng");

    // Cancelled: nothing changes.
    window->S1Click();
    EXPECT_EQ(fc::IniFile(dir.file("select.ini")).ReadString("Language", "myLang", ""), "Mine.lng");
}

TEST_F(MainWindowTest, EnglishTranslatesEveryPathAndEveryPathResolves)
{
    standardCatalogue().write(dir);
    withEnglish();
    open();
    const fc::IniFile lng(dataFile("English.lng"), fc::IniTextMode::LanguageFile);
    for (const QString& path : TDodedaVO::LanguagePaths()) {
        EXPECT_TRUE(lng.ValueExists("Translations", path)) << path.toStdString();
        const QStringList seg = path.split('.');
        QObject* c = fc::FindComponent(qApp, seg[0]);
        ASSERT_EQ(c, window.get()) << path.toStdString();
        QObject* comp = fc::FindComponent(c, seg[1]);
        ASSERT_TRUE(comp) << path.toStdString();
        EXPECT_TRUE(fc::FindPublishedProperty(comp, seg[2])) << path.toStdString();
    }
    EXPECT_EQ(f().Operazione->Items(), QStringList({"Verification", "Selection by capacity", "Selection by air flow"}));
    EXPECT_EQ(f().ControllaPagine->tabText(1), "Parameters");
    EXPECT_EQ(f().Memo4->toPlainText(), "Cooling");
    EXPECT_EQ(f().ListaImpianti->Items(), QStringList({"2 pipes", "4 pipes"}));
}

TEST(EnglishLanguageFile, HasEveryMessageTheShellLooksUp)
{
    const fc::IniFile lng(testDataDir() + "../../data/English.lng", fc::IniTextMode::LanguageFile);
    ASSERT_TRUE(lng.Exists());
    const QDir shell(testDataDir() + "../../shell");
    const QRegularExpression msg(QStringLiteral(R"re(Msg\(\s*QStringLiteral\(\s*"((?:[^"\\]|\\.)*)"\s*\)\s*\))re"));
    int found = 0;
    for (const QString& name : shell.entryList({"*.cpp", "*.h"}, QDir::Files)) {
        const QString text = QString::fromUtf8(readFile(shell.filePath(name)));
        for (auto it = msg.globalMatch(text); it.hasNext();) {
            const QString key = it.next().captured(1);
            ++found;
            EXPECT_TRUE(lng.ValueExists("Messages", key)) << name.toStdString() << ": " << key.toStdString();
        }
    }
    EXPECT_GE(found, 2);
    // The demo catalogue's Italian texts.
    for (const char* t : {"2 tubi", "4 tubi", "Solo ventilazione", "Ventilconvettore con mobile",
                          "Con mobile, installazione verticale a pavimento o a parete"})
        EXPECT_TRUE(lng.ValueExists("Messages", QString::fromUtf8(t))) << t;
}

TEST_F(MainWindowTest, AbilitaSetsTheModesAUnitTypeAllows)
{
    standardCatalogue().write(dir);
    open();
    TRadioGroup* c = f().Calcolo;
    auto enabledItems = [c] {
        QString s;
        for (int i = 0; i < c->Count(); ++i)
            s += c->ItemEnabled(i) ? '1' : '0';
        return s;
    };
    // Start-up ran the installation logic: family T1, "2 tubi".
    EXPECT_EQ(Stato.TipoImpianto, "2");
    EXPECT_EQ(enabledItems(), "11111");
    EXPECT_EQ(c->ItemIndex(), 0);

    c->Button(3)->click();
    EXPECT_EQ(c->ItemIndex(), 3);
    chooseInstallation("4 tubi");
    EXPECT_EQ(Stato.TipoImpianto, "4");
    EXPECT_EQ(enabledItems(), "11100");
    EXPECT_EQ(c->ItemIndex(), 0);

    struct Row {
        const char* family;
        const char* items;
        int index;
        bool calcolo, op1, fluido, velo;
    };
    const Row rows[] = {
        {"F1", "10000", 0, true, true, true, true},
        {"C1", "01000", 1, true, true, true, false},
        {"A1", "00000", -1, false, false, false, true},
        {"T1", "11111", 0, true, true, true, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.family);
        f().Fluido->SetItemIndex(1);
        chooseFamily(r.family);
        EXPECT_EQ(enabledItems(), r.items);
        EXPECT_EQ(c->ItemIndex(), r.index);
        EXPECT_EQ(c->isEnabled(), r.calcolo);
        EXPECT_EQ(f().Operazione->ItemEnabled(1), r.op1);
        EXPECT_EQ(f().Fluido->isEnabled(), r.fluido);
        if (!r.fluido) {
            EXPECT_EQ(f().Fluido->ItemIndex(), 0);
            EXPECT_EQ(f().Altitudine->ItemIndex(), 0);
            EXPECT_FALSE(f().Glicoperc->isEnabled());
        }
        EXPECT_EQ(f().VeloCalcolo->isEnabled(), r.velo);
        EXPECT_EQ(f().TipoReport->isEnabled(), r.velo);
        if (!r.velo) {
            EXPECT_EQ(f().VeloCalcolo->ItemIndex(), 2);
            EXPECT_EQ(f().TipoReport->ItemIndex(), 1);
        }
    }
}

// A family that cannot do the chosen operation moves the choice to one it
// can do: no greyed choice stays selected, and the models can be ticked.
TEST_F(MainWindowTest, AFamilyThatCannotDoTheChosenOperationMovesTheChoice)
{
    standardCatalogue().write(dir);
    open();
    f().Operazione->Button(1)->click();
    ASSERT_EQ(f().Operazione->ItemIndex(), 1);
    ASSERT_TRUE(f().ListaModelli->isHidden());
    chooseFamily("A1");
    const int op = f().Operazione->ItemIndex();
    EXPECT_NE(op, 1);
    ASSERT_GE(op, 0);
    EXPECT_TRUE(f().Operazione->ItemEnabled(op));
    EXPECT_FALSE(f().ListaModelli->isHidden());
    EXPECT_TRUE(f().ListaModelli->isEnabled());
    // Back to a family that can: the choice stays where it went.
    chooseFamily("T1");
    EXPECT_EQ(f().Operazione->ItemIndex(), op);
}

TEST_F(MainWindowTest, ModelTextsShowThePressuresOfTheVersion)
{
    standardCatalogue().write(dir);
    open();
    fancoil three;
    three.Modello = "VT10";
    three.NumVelocita = 3;
    three.PSA[1][8] = 35.5;
    three.PSA[2][8] = 70.25;
    three.PSA[3][8] = 1234;
    // Version "M" of VT10 has factor 1; halves go to the even neighbour.
    EXPECT_EQ(window->descrizioneModello(three), "VT10                   36    70   1234 ");
    chooseVersion("X/2");
    EXPECT_EQ(window->descrizioneModello(three), "VT10                   71   140   2468 ");
    // A model without the chosen version keeps factor 1.
    three.Modello = "VT20";
    EXPECT_EQ(window->descrizioneModello(three), "VT20                   36    70   1234 ");

    fancoil one;
    one.Modello = "AE10-LONGNAME-16";
    one.NumVelocita = 1;
    one.PSA[3][8] = 45;
    EXPECT_EQ(window->descrizioneModello(one), "AE10-LONGNAME-16" + QString(15, ' ') + " 45 ");
    EXPECT_TRUE(f().Label8->isHidden());
    EXPECT_EQ(TDodedaVO::allineaDestra("7"), "  7");
    EXPECT_EQ(TDodedaVO::allineaDestra("12345"), "12345");
}

TEST_F(MainWindowTest, VersionCodeWithASlashNamesThePicture)
{
    standardCatalogue().write(dir);
    QDir().mkpath(dir.file("imgs"));
    ASSERT_TRUE(QImage(40, 30, QImage::Format_RGB32).save(dir.file("imgs/T1_X-2.jpg"), "JPG"));
    open();
    ASSERT_TRUE(f().Immagine->pixmap().isNull());
    chooseVersion("X/2");
    EXPECT_EQ(f().Immagine->pixmap().size(), QSize(191, 150));
    EXPECT_EQ(f().DescVersione->text(), "Versione speciale");
    EXPECT_EQ(Stato.FattorePressione, 2);
}

TEST_F(MainWindowTest, CheckedModelsBoundTheStaticPressure)
{
    standardCatalogue().write(dir);
    open();
    f().Avanti->click();
    ASSERT_EQ(pageName(), "Parametri");
    TCheckListBox* list = f().ListaModelli;
    ASSERT_EQ(list->Count(), 2); // VT10, VT20 ("2 tubi")
    for (int i = 0; i < list->Count(); ++i)
        EXPECT_TRUE(list->Checked(i));
    // The fixture curves run from 0.25 Pa to 70.25 Pa: no free outlet.
    TOvSuperSpin* spin = f().SpinEditVelocita3;
    EXPECT_EQ(double(spin->MaxValue()), 70.25);
    EXPECT_EQ(double(spin->MinValue()), 0.25);
    EXPECT_EQ(f().PressioneStatica->ItemIndex(), 1);
    EXPECT_FALSE(f().PressioneStatica->isEnabled());
    EXPECT_TRUE(spin->isEnabled());

    f().UnCheckAll->click();
    EXPECT_EQ(f().PressioneStatica->ItemIndex(), 0);
    EXPECT_FALSE(f().PressioneStatica->isEnabled());
    EXPECT_FALSE(spin->isEnabled());
    EXPECT_EQ(spin->text(), spin->FormatNumber(spin->MinValue()));
    // Setting the value by code did not switch to "Pressione Statica".
    EXPECT_EQ(f().PressioneStatica->ItemIndex(), 0);

    // A range wholly below the old one takes effect.
    spin->SetMaxValue(900);
    spin->SetMinValue(500);
    f().CheckAll->click();
    EXPECT_EQ(double(spin->MaxValue()), 70.25);
    EXPECT_EQ(double(spin->MinValue()), 0.25);
    EXPECT_LE(double(spin->Value()), 70.25);

    // A user's value above 0 chooses "Pressione Statica".
    f().PressioneStatica->setEnabled(true);
    f().PressioneStatica->SetItemIndex(0);
    spin->setEnabled(true);
    spin->setText("12");
    EXPECT_EQ(f().PressioneStatica->ItemIndex(), 1);
}

TEST_F(MainWindowTest, ModesShowTheirPagesAndAvantiSkipsHiddenOnes)
{
    standardCatalogue().write(dir);
    // Water and air conditions that the page checks accept.
    dir.write("select.ini", readFile(dataFile("select.ini")));
    open();
    TPageControl* pc = f().ControllaPagine;
    // Mode 0: cooling only.
    EXPECT_FALSE(pc->TabVisible(2));
    EXPECT_TRUE(pc->TabVisible(3));
    f().Avanti->click();
    f().Avanti->click();
    EXPECT_EQ(pageName(), "Condizionamento");
    f().Indietro->click();
    EXPECT_EQ(pageName(), "Parametri");

    pc->SetActivePageIndex(0);
    f().Calcolo->Button(1)->click();
    EXPECT_TRUE(pc->TabVisible(2));
    EXPECT_FALSE(pc->TabVisible(3));
    f().Calcolo->Button(2)->click();
    EXPECT_TRUE(pc->TabVisible(2));
    EXPECT_TRUE(pc->TabVisible(3));

    // Mode 3 on a two-pipe unit: the heating side is only checked at water temperatures.
    f().DatiInRiscalda->Button(1)->click();
    f().Calcolo->Button(3)->click();
    EXPECT_EQ(f().DatiInRiscalda->ItemIndex(), 0);
    EXPECT_FALSE(f().DatiInRiscalda->isEnabled());
    EXPECT_FALSE(f().TempUscAcquaCaldo->isEnabled());
    // Mode 4: the cooling side is the one checked.
    f().DatiInRaffredda->Button(2)->click();
    f().Calcolo->Button(4)->click();
    EXPECT_TRUE(f().DatiInRiscalda->isEnabled());
    EXPECT_EQ(f().DatiInRaffredda->ItemIndex(), 0);
    EXPECT_FALSE(f().DatiInRaffredda->isEnabled());
    EXPECT_FALSE(f().TempUscAcquaFreddo->isEnabled());

    // Ventilation only: from Parametri straight to Calcola, and round again.
    chooseFamily("A1");
    EXPECT_FALSE(pc->TabVisible(2));
    EXPECT_FALSE(pc->TabVisible(3));
    pc->SetActivePageIndex(1);
    f().Avanti->click();
    EXPECT_EQ(pageName(), "Calcola");
    f().Avanti->click();
    EXPECT_EQ(pageName(), "Operazioni");
    f().Indietro->click();
    EXPECT_EQ(pageName(), "Calcola");
}

TEST_F(MainWindowTest, InputHandlersSwitchTheirFields)
{
    ScopedSeparators sep('.', ',');
    standardCatalogue().write(dir);
    open();
    f().Calcolo->Button(2)->click();
    f().DatiInRiscalda->Button(1)->click();
    EXPECT_EQ(f().TempUscAcquaCaldo->text(), "0.0");
    EXPECT_EQ(f().SalTerAcquaCaldo->text(), "0.0");
    EXPECT_FALSE(f().TempUscAcquaCaldo->isEnabled());
    EXPECT_TRUE(f().PortAcquaRichiesta->isEnabled());
    EXPECT_FALSE(f().PDCCaldo->isEnabled());
    f().DatiInRiscalda->Button(0)->click();
    EXPECT_TRUE(f().TempUscAcquaCaldo->isEnabled());
    EXPECT_EQ(f().TempUscAcquaCaldo->text(), "0.0");

    f().Operazione->Button(1)->click();
    EXPECT_TRUE(f().ListaModelli->isHidden());
    EXPECT_TRUE(f().ResaRichFreddoKcal->isEnabled());
    EXPECT_TRUE(f().ResaRichCaldoWatt->isEnabled());
    f().ResaRichFreddoKcal->SetValue(1000);
    f().ResaRichFreddoKcal->DoExit();
    EXPECT_EQ(double(f().ResaRichFreddoWatt->Value()), 1163.0);
    f().ResaRichCaldoWatt->SetValue(1000);
    f().ResaRichCaldoWatt->DoExit();
    EXPECT_EQ(double(f().ResaRichCaldoKcal->Value()), 860.0);
    f().Operazione->Button(2)->click();
    f().MetriCubiOra->SetValue(500);
    f().Operazione->Button(0)->click();
    EXPECT_EQ(double(f().MetriCubiOra->Value()), 0.0);
    EXPECT_FALSE(f().ListaModelli->isHidden());

    f().Fluido->Button(1)->click();
    EXPECT_TRUE(f().Glicoperc->isEnabled());
    f().Glicoperc->SetValue(30);
    f().Fluido->Button(0)->click();
    EXPECT_FALSE(f().Glicoperc->isEnabled());
    EXPECT_EQ(double(f().Glicoperc->Value()), 0.0);
    f().Altitudine->Button(1)->click();
    EXPECT_TRUE(f().Altitud->isEnabled());
    EXPECT_TRUE(f().Altitud1->isEnabled());
    f().VeloCalcolo->Button(0)->click();
    EXPECT_EQ(Stato.VeloCalcolo, 1);

    // Enter in a field moves on without pressing a button; keys clear the results.
    window->SGRisultati.SetRowCount(5);
    QChar enter(13);
    window->TBSFreddoKeyPress(f().TBSFreddo, enter);
    EXPECT_TRUE(enter.isNull());
    EXPECT_EQ(window->SGRisultati.RowCount(), 1);
}

TEST_F(MainWindowTest, PriceModesAndTheDiscountCap)
{
    standardCatalogue().write(dir);
    dir.write("select.ini", "[Default]\nScontoMolt=1\nSconto1=10\nSconto2=5\nSconto3=0\nMoltip=0,8\n");
    open();
    EXPECT_FALSE(f().CheckSconto->isEnabled());
    EXPECT_FALSE(f().Sconto1->isEnabled());
    EXPECT_TRUE(f().CheckListino->isEnabled());
    EXPECT_EQ(f().TipoReport->parentWidget()->objectName(), "Calcola");

    f().ControllaPagine->SetActivePageIndex(4);
    window->preparaPagina(); // as a click on the tab
    EXPECT_TRUE(f().Sconto->isChecked());
    EXPECT_EQ(double(f().Sconto1->Value()), 10.0);
    EXPECT_EQ(double(f().Sconto2->Value()), 5.0);
    EXPECT_TRUE(f().CheckSconto->isEnabled());
    EXPECT_TRUE(f().CheckNetto->isEnabled());
    EXPECT_FALSE(f().CheckMoltiplica->isEnabled());

    f().Sconto1->SetValue(60);
    f().Sconto2->SetValue(30);
    f().Sconto3->SetValue(20);
    f().Sconto3->DoExit();
    EXPECT_EQ(double(f().Sconto3->Value()), 10.0);
    f().Sconto3->SetValue(10);
    f().Sconto3->DoExit();
    EXPECT_EQ(double(f().Sconto3->Value()), 10.0); // exactly 100 is accepted
    // The other two already make 100 or more: the field left becomes 0, never negative.
    f().Sconto1->SetValue(100);
    f().Sconto3->SetValue(5);
    f().Sconto3->DoExit();
    EXPECT_EQ(double(f().Sconto3->Value()), 0.0);

    f().CheckSconto->setChecked(true);
    f().moltiplicatore->click();
    EXPECT_FALSE(f().Sconto->isChecked());
    EXPECT_EQ(double(f().Sconto1->Value()), 0.0);
    EXPECT_FALSE(f().Sconto1->isEnabled());
    EXPECT_FALSE(f().CheckSconto->isChecked());
    EXPECT_FALSE(f().CheckSconto->isEnabled());
    EXPECT_TRUE(f().Moltip->isEnabled());
    EXPECT_EQ(double(f().Moltip->Value()), 0.8);
    f().Sconto->click();
    EXPECT_EQ(double(f().Sconto1->Value()), 10.0); // the stored discounts, not the typed ones
    EXPECT_EQ(double(f().Moltip->Value()), 1.0);
    EXPECT_FALSE(f().Moltip->isEnabled());
}

TEST_F(MainWindowTest, NoPriceModeLeavesOnlyTheListPrice)
{
    standardCatalogue().write(dir);
    open();
    f().ControllaPagine->SetActivePageIndex(4);
    window->preparaPagina();
    EXPECT_FALSE(f().Sconto->isChecked());
    EXPECT_FALSE(f().moltiplicatore->isChecked());
    for (QWidget* w : std::initializer_list<QWidget*>{f().CheckSconto, f().CheckMoltiplica, f().CheckNetto, f().Sconto1,
                                                      f().Moltip})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(f().CheckListino->isEnabled());
}

TEST_F(MainWindowTest, EnterInAFieldMovesToTheNextWithoutPressingAButton)
{
    standardCatalogue().write(dir);
    open();
    window->show();
    QApplication::setActiveWindow(window.get());
    f().ControllaPagine->SetActivePageIndex(3);
    int clicks = 0;
    QObject::connect(f().BitBtnCalc, &QPushButton::clicked, [&] { ++clicks; });
    // Values inside the fields' ranges: leaving one out of range takes the focus back.
    f().TBSFreddo->SetValue(27);
    f().TBUFreddo->SetValue(19);
    f().TBSFreddo->setFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), f().TBSFreddo);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(f().TBSFreddo, &press);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), f().TBUFreddo) << QApplication::focusWidget()->objectName().toStdString() << " " << QApplication::focusWidget()->metaObject()->className();
    EXPECT_EQ(clicks, 0);
}

// Pictures of every page, for a person to look at: FC_SCREENSHOT_DIR=folder.
TEST_F(MainWindowTest, Screenshots)
{
    const QString out = qEnvironmentVariable("FC_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "FC_SCREENSHOT_DIR not set";
    dir.write("select.ini", readFile(dataFile("select.ini")));
    withEnglish();
    QDir demo(qEnvironmentVariable("FC_DEMO_CATALOGUE"));
    for (const char* n : {"Dati.cds", "Versioni.cds", "Param.cds"})
        QFile::copy(demo.filePath(n), dir.file(n));
    open();
    window->show();
    f().Calcolo->Button(2)->click();
    for (int i = 0; i < 5; ++i) {
        f().ControllaPagine->SetActivePageIndex(i);
        window->preparaPagina();
        QCoreApplication::processEvents();
        window->grab().save(out + QStringLiteral("/page%1.png").arg(i));
    }
    f().ControllaPagine->SetActivePageIndex(0);
    f().Operazione->Button(1)->click();
    f().ControllaPagine->SetActivePageIndex(1);
    window->preparaPagina();
    window->grab().save(out + QStringLiteral("/page1-resa.png"));
    f().Operazione->Button(0)->click();
    chooseFamily("CANAL");
    window->preparaPagina();
    window->grab().save(out + QStringLiteral("/page1-canal.png"));
    chooseFamily("AEROTERMO");
    window->preparaPagina();
    window->grab().save(out + QStringLiteral("/page1-aerotermo.png"));
}
