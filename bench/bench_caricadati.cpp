// caricaDati on a generated catalogue of 2000 three-speed models with two
// versions each (target: below 30 ms), and the opening of its files.
#include <benchmark/benchmark.h>

#include <QString>
#include <QTemporaryDir>
#include <sqlite3.h>

#include "engine/Catalogo.h"
#include "platform/Dataset.h"
#include "platform/MainWindowLink.h"

namespace {

constexpr int kModels = 2000;

void exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
}

QString createSql(const TDatasetDef& def)
{
    QStringList cols;
    for (const TFieldDef& f : def.Fields)
        cols << f.Name + (f.Type == TFieldType::String ? " TEXT" : f.Type == TFieldType::Integer ? " INTEGER" : " REAL");
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(def.TableName, cols.join(", "));
}

struct Catalogue {
    QTemporaryDir dir;
    QString dati, versioni;

    Catalogue()
    {
        dati = dir.filePath("Dati.cds");
        versioni = dir.filePath("Versioni.cds");
        sqlite3* db = nullptr;
        sqlite3_open(dati.toUtf8().constData(), &db);
        exec(db, createSql(fc::MacchineDef()).toUtf8().constData());
        exec(db, "BEGIN");
        sqlite3_stmt* st = nullptr;
        QString ins = "INSERT INTO cdsMacchine VALUES (" + QString("?,").repeated(39) + "?)";
        sqlite3_prepare_v2(db, ins.toUtf8().constData(), -1, &st, nullptr);
        const char* speeds[] = {"MIN", "MED", "MAX"};
        for (int m = 0; m < kModels; ++m) {
            const QByteArray name = QStringLiteral("MOD %1").arg(m, 4, 10, QChar('0')).toUtf8();
            const QByteArray tipo = QStringLiteral("FAM%1").arg(m / 250).toUtf8();
            for (int s = 0; s < 3; ++s) {
                sqlite3_reset(st);
                sqlite3_bind_text(st, 1, tipo.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(st, 2, "Ventilconvettore", -1, SQLITE_STATIC);
                sqlite3_bind_text(st, 3, m % 2 ? "2 tubi" : "4 tubi", -1, SQLITE_STATIC);
                sqlite3_bind_text(st, 4, name.constData(), -1, SQLITE_TRANSIENT);
                for (int c = 4; c < 40; ++c)
                    sqlite3_bind_double(st, c + 1, 10.0 + c + s);
                for (int c : {4, 6, 8, 11, 12})
                    sqlite3_bind_int(st, c + 1, 100 + c + s);
                for (int j = 0; j < 8; ++j) {
                    sqlite3_bind_int(st, 22 + 2 * j, 600 - 40 * j);
                    sqlite3_bind_double(st, 23 + 2 * j, 5.0 * j);
                }
                sqlite3_bind_text(st, 11, speeds[s], -1, SQLITE_STATIC);
                sqlite3_bind_int(st, 20, m + 1);
                sqlite3_bind_text(st, 21, "3T", -1, SQLITE_STATIC);
                sqlite3_step(st);
            }
        }
        sqlite3_finalize(st);
        exec(db, "COMMIT");
        sqlite3_close(db);

        sqlite3_open(versioni.toUtf8().constData(), &db);
        exec(db, createSql(fc::VersioniDef()).toUtf8().constData());
        exec(db, "BEGIN");
        sqlite3_prepare_v2(db, "INSERT INTO cdsVersioni VALUES (?,?,?,1,800,500,220,20.5,450.0)", -1, &st, nullptr);
        for (int m = 0; m < kModels; ++m) {
            const QByteArray name = QStringLiteral("MOD %1").arg(m, 4, 10, QChar('0')).toUtf8();
            for (const char* code : {"M", "I"}) {
                sqlite3_reset(st);
                sqlite3_bind_text(st, 1, name.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(st, 2, code, -1, SQLITE_STATIC);
                sqlite3_bind_text(st, 3, "Versione", -1, SQLITE_STATIC);
                sqlite3_step(st);
            }
        }
        sqlite3_finalize(st);
        exec(db, "COMMIT");
        sqlite3_close(db);
    }
};

Catalogue& catalogue()
{
    static Catalogue c;
    return c;
}

void BM_caricaDati(benchmark::State& state)
{
    TDataset macchine(fc::MacchineDef()), versioni(fc::VersioniDef());
    macchine.SetFileName(catalogue().dati);
    versioni.SetFileName(catalogue().versioni);
    macchine.Open();
    versioni.Open();
    FakeMainWindowLink window;
    window.macchine = &macchine;
    window.versioni = &versioni;
    window.versionText = "I";
    fc::SetMainWindow(&window);
    for (auto _ : state) {
        macchine.SetFilter({{"Velocita", "MAX"}, {"Tipo", "FAM3"}});
        caricaDati();
        benchmark::DoNotOptimize(ListaMacchine.Count());
    }
    if (ListaMacchine.Count() != kModels || ListaVersioni.Count() != 2 * kModels)
        state.SkipWithError("wrong model or version count");
    fc::SetMainWindow(nullptr);
    ListaMacchine.Clear();
    ListaVersioni.Clear();
}
BENCHMARK(BM_caricaDati)->Unit(benchmark::kMillisecond);

void BM_OpenCatalogue(benchmark::State& state)
{
    for (auto _ : state) {
        TDataset macchine(fc::MacchineDef()), versioni(fc::VersioniDef());
        macchine.SetFileName(catalogue().dati);
        versioni.SetFileName(catalogue().versioni);
        macchine.Open();
        versioni.Open();
        benchmark::DoNotOptimize(macchine.RecordCount());
    }
}
BENCHMARK(BM_OpenCatalogue)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
