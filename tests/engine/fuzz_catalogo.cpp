// Fuzz harness of the catalogue loader. The input is catalogue content as
// text: one record a line, fields separated by ";"; a line starting with
// "V;" is a version record, any other a model record. An empty field is
// NULL, a number is stored as a number, anything else as text. The records
// become the two catalogue files, which are opened and loaded as at start;
// then every loaded model's fan curve is evaluated at and between its
// points. Loading either refuses the content with an Exception or gives
// models the engine can rate; nothing crashes or overflows.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <sqlite3.h>

#include "engine/Calcoli.h"
#include "engine/Catalogo.h"
#include "engine/Records.h"
#include "platform/Dataset.h"
#include "platform/MainWindowLink.h"

namespace {

bool writeTable(const QString& path, const TDatasetDef& def, const std::vector<QStringList>& rows)
{
    QFile::remove(path);
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    // A scratch file: no journal, no waiting for the disk.
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    QStringList cols, marks;
    for (const TFieldDef& f : def.Fields) {
        const char* type = f.Type == TFieldType::String ? "VARCHAR(40)" : f.Type == TFieldType::Integer ? "INTEGER" : "REAL";
        cols << QStringLiteral("\"%1\" %2").arg(f.Name, QLatin1String(type));
        marks << QStringLiteral("?");
    }
    bool ok = sqlite3_exec(db, QStringLiteral("CREATE TABLE %1 (%2)").arg(def.TableName, cols.join(',')).toUtf8(), nullptr,
                           nullptr, nullptr) == SQLITE_OK;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    const QByteArray insert = QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(def.TableName, marks.join(',')).toUtf8();
    ok = ok && sqlite3_prepare_v2(db, insert.constData(), -1, &st, nullptr) == SQLITE_OK;
    for (const QStringList& row : rows) {
        if (!ok)
            break;
        sqlite3_reset(st);
        for (int i = 0; i < int(def.Fields.size()); ++i) {
            const QString v = row.value(i);
            bool isInt = false, isReal = false;
            const qint64 n = v.toLongLong(&isInt);
            const double d = v.toDouble(&isReal);
            if (v.isEmpty())
                sqlite3_bind_null(st, i + 1);
            else if (isInt)
                sqlite3_bind_int64(st, i + 1, n);
            else if (isReal)
                sqlite3_bind_double(st, i + 1, d);
            else {
                const QByteArray u = v.toUtf8();
                sqlite3_bind_text(st, i + 1, u.constData(), int(u.size()), SQLITE_TRANSIENT);
            }
        }
        sqlite3_step(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The two files go to a private folder of this input, removed with it.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 0;
    const QString dir = scratch.path() + u'/';
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    std::vector<QStringList> models, versions;
    for (const QString& line : text.split(u'\n')) {
        if (models.size() + versions.size() >= 200)
            break;
        if (line.startsWith(QLatin1String("V;")))
            versions.push_back(line.mid(2).split(u';'));
        else if (!line.isEmpty())
            models.push_back(line.split(u';'));
    }
    if (!writeTable(dir + QStringLiteral("Dati.cds"), fc::MacchineDef(), models)
        || !writeTable(dir + QStringLiteral("Versioni.cds"), fc::VersioniDef(), versions))
        return 0;

    ScopedFakeMainWindow window;
    TDataset macchine(fc::MacchineDef()), versioni(fc::VersioniDef());
    window.macchine = &macchine;
    window.versioni = &versioni;
    ResetEngineRecords();
    try {
        macchine.SetFileName(dir + QStringLiteral("Dati.cds"));
        macchine.Open();
        versioni.SetFileName(dir + QStringLiteral("Versioni.cds"));
        versioni.Open();
        caricaDati();
    } catch (const Exception&) {
        ListaMacchine.Clear();
        ListaVersioni.Clear();
        return 0;
    }
    for (int i = 0; i < ListaMacchine.Count(); ++i) {
        fancoil& m = *ListaMacchine.Objects(i);
        if ((m.NumVelocita != 1 && m.NumVelocita != 3) || !QStringLiteral("AFCT").contains(m.TipoCalcolo))
            std::abort();
        for (int s = 4 - m.NumVelocita; s <= 3; ++s)
            for (int j = 1; j <= 8; ++j)
                for (double x : {m.PSA[s][j], m.PSA[s][j] + 0.5, m.PSA[s][j] - 0.5}) {
                    try {
                        calcolaPortataAria(m, s, x);
                    } catch (const Exception&) {
                    }
                }
    }
    ListaMacchine.Clear();
    ListaVersioni.Clear();
    return 0;
}
