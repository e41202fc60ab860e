#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <cstring>

#include "CatalogueFixture.h"
#include "TestSupport.h"
#include "platform/Dataset.h"
#include "platform/Errors.h"

using namespace fc::test;

namespace {

QString openError(TDataset& ds)
{
    try {
        ds.SetActive(true);
    } catch (const EFileError& e) {
        EXPECT_FALSE(ds.Active());
        return e.Message();
    }
    return QStringLiteral("(opened)");
}

QStringList column(TDataset& ds, int field)
{
    QStringList out;
    for (ds.First(); !ds.Eof(); ds.Next())
        out << ds.Fields(field).AsString();
    return out;
}

// A small models table, stored out of index order.
class DatasetFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString sql = createTableSql(fc::MacchineDef());
        sql += insertMacchina({.modello = "B", .velocita = "MIN", .posizione = 2, .tipo = "Ària"});
        sql += insertMacchina({.modello = "A", .velocita = "MIN", .posizione = 1});
        sql += insertMacchina({.modello = "A", .velocita = "MAX", .posizione = 1});
        sql += insertMacchina({.modello = "B", .velocita = "MAX", .posizione = 2, .tipo = "àRIA"});
        sql += insertMacchina({.modello = "A", .velocita = "MED", .posizione = 1});
        sql += insertMacchina({.modello = "C", .velocita = "max", .posizione = 3, .impianto = "4 tubi"});
        makeDatabase(folder.file("Dati.cds"), sql);
        ds.SetFileName(folder.file("Dati.cds"));
        ds.SetActive(true);
    }
    ScopedProgramFolder folder;
    TDataset ds{fc::MacchineDef()};
};

} // namespace

TEST_F(DatasetFixture, RecordsFollowTheIndexOnPositionThenSpeed)
{
    ASSERT_TRUE(ds.Active());
    EXPECT_EQ(ds.RecordCount(), 6);
    EXPECT_EQ(column(ds, 3), QStringList({"A", "A", "A", "B", "B", "C"}));
    EXPECT_EQ(column(ds, 10), QStringList({"MAX", "MED", "MIN", "MAX", "MIN", "max"}));
}

TEST_F(DatasetFixture, FilterIsAConjunctionIgnoringCase)
{
    struct Case {
        TFilter filter;
        QStringList models;
    } cases[] = {
        {{{"Velocita", "MAX"}}, {"A", "B", "C"}},
        {{{"velocita", "max"}, {"Impianto", "2 TUBI"}}, {"A", "B"}},
        {{{"Tipo", "ÀRIA"}}, {"B", "B"}},   // Unicode case: "À" matches "à"
        {{{"Tipo", "aria"}}, {}},            // but an accent is not a case
        {{{"Velocita", "MAX"}, {"Tipo", "T1"}, {"Impianto", "4 tubi"}}, {"C"}},
        {{{"Posizione", "2"}}, {"B", "B"}}, // numbers compare by their text
        {{}, {"A", "A", "A", "B", "B", "C"}},
    };
    for (const Case& c : cases) {
        ds.SetFilter(c.filter);
        ds.SetFiltered(true);
        EXPECT_EQ(column(ds, 3), c.models) << (c.filter.empty() ? "" : c.filter[0].Value.toStdString());
        EXPECT_EQ(ds.RecordCount(), c.models.size());
    }
}

TEST_F(DatasetFixture, FilteringOffShowsAllRecordsAndBackOnReturnsToTheFirst)
{
    ds.SetFilter({{"Velocita", "MAX"}});
    EXPECT_EQ(ds.RecordCount(), 6) << "the filter applies only while Filtered is on";
    ds.SetFiltered(true);
    ds.Next();
    EXPECT_EQ(ds.Fields(3).AsString(), "B");
    ds.SetFiltered(false);
    EXPECT_EQ(ds.RecordCount(), 6);
    EXPECT_EQ(ds.Fields(10).AsString(), "MAX");
    ds.SetFiltered(true);
    EXPECT_EQ(ds.Fields(3).AsString(), "A") << "switching the filter goes back to the first record";
    ds.SetFilter({{"Velocita", "MED"}});
    EXPECT_EQ(ds.RecordCount(), 1);

    try {
        ds.SetFilter({{"Velocita", "MAX"}, {"Colore", "rosso"}});
        FAIL() << "unknown field accepted";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Field 'Colore' not found");
    }
    EXPECT_EQ(ds.RecordCount(), 1) << "a rejected filter leaves the old one";
}

TEST_F(DatasetFixture, FieldsReadAsStringIntegerOrFloat)
{
    ScopedSeparators sep(',', '.');
    ds.First();
    // Integer column 4, float column 5 (base 1: 104 and 105.5).
    EXPECT_EQ(ds.Fields(4).AsInteger(), 104);
    EXPECT_EQ(ds.Fields(4).AsString(), "104");
    EXPECT_DOUBLE_EQ(ds.Fields(4).AsFloat(), 104.0);
    EXPECT_DOUBLE_EQ(ds.Fields(5).AsFloat(), 105.5);
    EXPECT_EQ(ds.Fields(5).AsString(), "105,5");
    EXPECT_EQ(ds.Fields(5).AsInteger(), 106) << "floats round half to even";
    EXPECT_EQ(ds.FieldByName("calcolo").AsString(), "3T");
    EXPECT_EQ(ds.FieldByName("Calcolo").FieldName(), "Calcolo");

    try {
        ds.Fields(20).AsInteger();
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'3T' is not a valid integer value");
    }
    try {
        ds.Fields(3).AsFloat();
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'A' is not a valid floating point value");
    }
    try {
        ds.Fields(40);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (40)");
    }
    EXPECT_THROW(ds.FieldByName("Colore"), EDatabaseError);
}

TEST_F(DatasetFixture, PastTheEndFieldsReadTheLastRecordAndAnEmptyViewIsNull)
{
    ds.First();
    for (int i = 0; i < 10; ++i)
        ds.Next();
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.Fields(3).AsString(), "C");

    ds.SetFilter({{"Modello", "Z"}});
    ds.SetFiltered(true);
    EXPECT_TRUE(ds.Eof());
    EXPECT_TRUE(ds.Fields(3).IsNull());
    EXPECT_EQ(ds.Fields(3).AsString(), "");
    EXPECT_EQ(ds.Fields(4).AsInteger(), 0);
    EXPECT_EQ(ds.Fields(5).AsFloat(), 0.0);
    EXPECT_THROW(ds.Fields(20).AsInteger(), EConvertError) << "an empty text is no integer";

    ds.SetActive(false);
    EXPECT_FALSE(ds.Active());
    EXPECT_EQ(ds.RecordCount(), 0);
    EXPECT_TRUE(ds.Eof());
}

TEST(Dataset, VersionsKeepStoredOrderAndParametersFollowPosition)
{
    ScopedProgramFolder folder;
    makeDatabase(folder.file("Versioni.cds"),
                 createTableSql(fc::VersioniDef()) + insertVersione("Z", "b", "", 1) + insertVersione("A", "a", "", 1) +
                     insertVersione("M", "c", "", 0));
    TDataset v(fc::VersioniDef());
    v.SetFileName(folder.file("Versioni.cds"));
    v.Open();
    EXPECT_EQ(column(v, 0), QStringList({"Z", "A", "M"}));

    makeDatabase(folder.file("Param.cds"), createTableSql(fc::ParamDef()) +
                                               "INSERT INTO CDSParam (Posizione, CoeffPDC) VALUES (3, 0.9);"
                                               "INSERT INTO CDSParam (Posizione, CoeffPDC) VALUES (1, 1.1);"
                                               "INSERT INTO CDSParam (Posizione, CoeffPDC) VALUES (2, 1.0);");
    TDataset p(fc::ParamDef());
    p.SetFileName(folder.file("Param.cds"));
    p.Open();
    EXPECT_EQ(column(p, p.FieldIndex("CoeffPDC")), QStringList({"1.1", "1", "0.9"}));
    p.First();
    EXPECT_TRUE(p.FieldByName("PotTermGlic").IsNull());
}

TEST(Dataset, OpeningNeverWritesTheFile)
{
    ScopedProgramFolder folder;
    makeDatabase(folder.file("Dati.cds"),
                 createTableSql(fc::MacchineDef()) + insertMacchina({.modello = "A"}));
    const QByteArray before = readFile(folder.file("Dati.cds"));
    const QDateTime stamp = QFileInfo(folder.file("Dati.cds")).lastModified();
    QFile::setPermissions(folder.file("Dati.cds"), QFile::ReadOwner | QFile::ReadGroup);
    {
        TDataset ds(fc::MacchineDef());
        ds.SetFileName(folder.file("Dati.cds"));
        ds.Open();
        ds.SetFilter({{"Modello", "A"}});
        ds.SetFiltered(true);
        EXPECT_EQ(ds.RecordCount(), 1);
        ds.Close();
        ds.Open();
    }
    EXPECT_EQ(readFile(folder.file("Dati.cds")), before);
    EXPECT_EQ(QFileInfo(folder.file("Dati.cds")).lastModified(), stamp);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList({"Dati.cds"})) << "no journal left";
}

TEST(Dataset, FolderNamesWithBlanksAndSignsOpen)
{
    ScopedProgramFolder folder;
    for (const QString& sub : {QStringLiteral("Catalogo à 100%/"), QStringLiteral("a#b?c=d/")}) {
        QDir().mkpath(folder.file(sub));
        const QString path = folder.file(sub + "Dati.cds");
        makeDatabase(path, createTableSql(fc::MacchineDef()) + insertMacchina({.modello = "A"}));
        TDataset ds(fc::MacchineDef());
        ds.SetFileName(path);
        ASSERT_NO_THROW(ds.Open()) << sub.toStdString();
        EXPECT_EQ(ds.RecordCount(), 1);
    }
}

TEST(Dataset, BadFilesRaiseAFileErrorNamingTheFileAndTheFault)
{
    ScopedProgramFolder folder;
    const TDatasetDef& def = fc::MacchineDef();
    struct Case {
        const char* name;
        QString sql;      // empty: bytes below
        QByteArray bytes;
        const char* message;
    } cases[] = {
        {"missing.cds", {}, {}, "the file does not exist"},
        {"text.cds", {}, "Tipo;Descr;Impianto\nT;x;2 tubi\n", "the file is not a catalogue database"},
        {"cut.cds", {}, QByteArray("SQLite format 3\0", 16) + QByteArray(200, 'x'), "the file is not a catalogue database"},
        {"empty.cds", {}, QByteArray(""), "the table \"cdsMacchine\" is missing"},
        {"othertable.cds", "CREATE TABLE Modelli (Tipo TEXT);", {}, "the table \"cdsMacchine\" is missing"},
        {"short.cds", createTableSql(def, 1), {}, "column 39 \"p\" of table \"cdsMacchine\" is missing"},
        {"renamed.cds", createTableSql(def).replace("Velocita", "Speed"), {},
         "column 10 of table \"cdsMacchine\" is \"Speed\", expected \"Velocita\""},
        {"retyped.cds", createTableSql(def).replace("PortAria INTEGER", "PortAria REAL"), {},
         "column 11 \"PortAria\" of table \"cdsMacchine\" has type \"REAL\", expected integer"},
        {"badvalue.cds",
         createTableSql(def) + insertMacchina({.modello = "A"}) + insertMacchina({.modello = "B"}) +
             "UPDATE cdsMacchine SET PortAria = 'molta' WHERE Modello = 'B';",
         {}, "record 2, field \"PortAria\": 'molta' is not a valid integer value"},
        {"blob.cds",
         createTableSql(def) + insertMacchina({.modello = "A"}) + "UPDATE cdsMacchine SET CorrAss = x'00ff';", {},
         "record 1, field \"CorrAss\": binary data, expected floating-point"},
        {"huge.cds",
         createTableSql(def) + insertMacchina({.modello = "A"}) + "UPDATE cdsMacchine SET CorrAss = 1e999;", {},
         "record 1, field \"CorrAss\": the value is not a finite number"},
    };
    for (const Case& c : cases) {
        const QString path = folder.file(c.name);
        if (!c.sql.isEmpty())
            makeDatabase(path, c.sql);
        else if (!c.bytes.isNull())
            folder.write(c.name, c.bytes);
        TDataset ds(def);
        ds.SetFileName(path);
        EXPECT_EQ(openError(ds), QStringLiteral("Catalogue file \"%1\": %2").arg(path, c.message)) << c.name;
    }

    // A directory in place of the file, and no name at all.
    TDataset ds(def);
    ds.SetFileName(folder.path());
    EXPECT_TRUE(openError(ds).endsWith("is not a file"));
    ds.SetFileName({});
    EXPECT_EQ(openError(ds), "Catalogue file: no file name given");
}

TEST(Dataset, ColumnsAfterTheLastFieldAreIgnored)
{
    ScopedProgramFolder folder;
    QString sql = createTableSql(fc::MacchineDef());
    sql.replace(");\n", ", Note TEXT);\n");
    sql += insertMacchina({.modello = "A"}).replace(");\n", ", 'nota');\n");
    makeDatabase(folder.file("Dati.cds"), sql);
    TDataset ds(fc::MacchineDef());
    ds.SetFileName(folder.file("Dati.cds"));
    ds.Open();
    EXPECT_EQ(ds.FieldCount(), 40);
    EXPECT_EQ(ds.Fields(39).AsString(), "139.5");
}

// Every number comes back as the file holds it, to the bit, whatever its
// kind: short decimals and integers (which the dataset keeps narrow), values
// no short decimal gives back, signed zero, tiny and huge values, integers
// beyond 16 bits, and nulls among values.
TEST(Dataset, NumbersComeBackToTheBit)
{
    ScopedProgramFolder folder;
    const QStringList rows = {
        "(1, 0.1, 0, 1e-7, 1e15, 1.5, NULL, 0, 3, 42.26)",
        "(2, 0.25, -0.0, 1.23456, 2147483.647, -2.25, 7, 40000, -32768, 65.159)",
        "(70000, 0.3333333333333333, 0.0, 5e-324, -1.7976931348623157e308, 3, 8.5, -40000, 32767, 0.65)",
        "(4, 0.30000000000000004, 1, 123456.7891, 214748.3648, 0.001, NULL, 32768, -32769, 28.887)",
        "(-3, 1e-5, 2.5, 0.00001, 99999.9999, 10000, 1, 12, 0, 1e-4)",
        "(NULL, NULL, 4, NULL, 1, NULL, NULL, NULL, NULL, 1)",
    };
    QString sql = createTableSql(fc::ParamDef());
    for (const QString& r : rows)
        sql += "INSERT INTO CDSParam (Posizione, PotTermGlic, PortMiscela, PDCMiscela, PotTermAlt, PotFrigTotAlt, "
               "PotFrigSensAlt, CoeffPDC, PortataAria, PotTermica) VALUES " + r + ";";
    makeDatabase(folder.file("Param.cds"), sql);
    TDataset p(fc::ParamDef());
    p.SetFileName(folder.file("Param.cds"));
    p.Open();
    ASSERT_EQ(p.RecordCount(), rows.size());

    // What the file holds, in the dataset's order.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(folder.file("Param.cds").toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT * FROM CDSParam ORDER BY Posizione", -1, &st, nullptr), SQLITE_OK);
    p.First();
    int n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        ASSERT_FALSE(p.Eof());
        for (int i = 0; i < p.FieldCount(); ++i) {
            SCOPED_TRACE(testing::Message() << "record " << n << ", field " << p.Fields(i).FieldName().toStdString());
            const bool null = sqlite3_column_type(st, i) == SQLITE_NULL;
            ASSERT_EQ(p.Fields(i).IsNull(), null);
            if (null)
                continue;
            const double want = sqlite3_column_double(st, i);
            const double got = p.Fields(i).AsFloat();
            EXPECT_EQ(std::memcmp(&want, &got, sizeof got), 0) << got << " instead of " << want;
            if (p.Fields(i).DataType() == TFieldType::Integer)
                EXPECT_EQ(p.Fields(i).AsInteger(), sqlite3_column_int(st, i));
        }
        p.Next();
        ++n;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    EXPECT_EQ(n, rows.size());
    EXPECT_TRUE(p.Eof());
}

// The filtered view holds exactly the records a test of every record
// passes, in index order, whichever terms, texts and cases the filter has;
// also after a filter set before opening and after opening another file.
TEST_F(DatasetFixture, FilteredViewIsEveryPassingRecordInIndexOrder)
{
    const auto expected = [&](const TFilter& filter) {
        QList<int> out;
        ds.SetFiltered(false);
        for (ds.First(); !ds.Eof(); ds.Next()) {
            bool pass = true;
            for (const TFilterTerm& t : filter)
                pass = pass && ds.FieldByName(t.Field).AsString().compare(t.Value, Qt::CaseInsensitive) == 0;
            if (pass)
                out << ds.RecordNumber();
        }
        return out;
    };
    const auto view = [&] {
        QList<int> out;
        for (ds.First(); !ds.Eof(); ds.Next())
            out << ds.RecordNumber();
        return out;
    };
    const TFilter filters[] = {
        {{"Velocita", "MAX"}},                              // two texts: "MAX" and "max"
        {{"Velocita", "mAx"}, {"Tipo", "ària"}},
        {{"Tipo", "ÀRIA"}, {"Velocita", "MAX"}},
        {{"Impianto", "4 TUBI"}, {"Velocita", "max"}},
        {{"Modello", "A"}, {"Posizione", "1"}},
        {{"Posizione", "2"}},                               // no text term
        {{"Modello", "Z"}},                                 // no text passes
        {{"Modello", "A"}, {"Modello", "B"}},
        {{"Descr", ""}},
        {{"Velocita", "MAX"}, {"Velocita", "max"}, {"Tipo", "T1"}},
    };
    const auto check = [&](const char* when) {
        for (const TFilter& f : filters) {
            const QList<int> want = expected(f);
            ds.SetFilter(f);
            ds.SetFiltered(true);
            EXPECT_EQ(view(), want) << when << ' ' << f[0].Field.toStdString() << '=' << f[0].Value.toStdString();
            EXPECT_EQ(ds.RecordCount(), want.size());
        }
    };
    check("first opening");

    // Another file on the same dataset, opened with a filter already set.
    QString sql = createTableSql(fc::MacchineDef());
    for (int i = 0; i < 30; ++i)
        sql += insertMacchina({.modello = QStringLiteral("M%1").arg(i % 7),
                               .velocita = QStringList{"MIN", "MED", "MAX", "Max"}[i % 4],
                               .posizione = 40 - i,
                               .tipo = i % 3 ? "Ària" : "T1",
                               .impianto = i % 5 ? "2 tubi" : "4 TUBI"});
    makeDatabase(folder.file("Altri.cds"), sql);
    ds.Close();
    ds.SetFileName(folder.file("Altri.cds"));
    ds.SetFilter({{"Velocita", "max"}, {"Tipo", "ària"}});
    ds.SetFiltered(true);
    ds.Open();
    const QList<int> opened = view();
    EXPECT_EQ(opened, expected({{"Velocita", "max"}, {"Tipo", "ària"}}));
    EXPECT_FALSE(opened.isEmpty());
    check("another file");
}
