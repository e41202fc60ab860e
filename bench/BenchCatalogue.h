#pragma once
// A program folder whose catalogue is the demo catalogue repeated `factor`
// times, for benchmarks that show how a path grows with the catalogue.
//
// Copy k (k >= 1) of every model is named "<model>-<k>"; family, installation,
// description and every rating field stay those of the demo, so one family at
// 1000x has a thousand times the demo's models (the case a user waits on
// when choosing a family). The parameter table is the demo's. The rest of the
// program folder (select.ini, English.lng, report templates, pictures) is
// copied from the sources, so that the main window opens as it does for a user.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

#include "platform/ProgramFolder.h"

#ifndef FC_SOURCE_DIR
#error "benchmarks are built with FC_SOURCE_DIR"
#endif

namespace fc::bench {

inline QString sourceFile(const QString& relative)
{
    return QStringLiteral(FC_SOURCE_DIR "/") + relative;
}

inline QByteArray readSource(const QString& relative)
{
    QFile f(sourceFile(relative));
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + relative.toStdString());
    return f.readAll();
}

inline void sqlExec(sqlite3* db, const QString& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string msg = err ? err : "sqlite error";
        sqlite3_free(err);
        throw std::runtime_error(msg);
    }
}

inline qint64 maxRowid(sqlite3* db, const QString& table)
{
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, ("SELECT max(rowid) FROM " + table).toUtf8().constData(), -1, &st, nullptr);
    qint64 n = 0;
    if (st && sqlite3_step(st) == SQLITE_ROW)
        n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return n;
}

// Writes the demo table from data/catalogue/<name>.sql into path, then adds
// factor - 1 renamed copies of its rows.
inline void writeScaledTable(const QString& path, const QString& name, const QString& table, int factor)
{
    QFile::remove(path);
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        throw std::runtime_error("cannot create " + path.toStdString());
    try {
        sqlExec(db, QString::fromUtf8(readSource("data/catalogue/" + name + ".sql")));
        if (factor > 1) {
            sqlExec(db, "BEGIN");
            sqlExec(db, "CREATE TEMP TABLE base AS SELECT * FROM " + table);
            const qint64 rows = maxRowid(db, table);
            // The models are read in Posizione order with a model's speed
            // records next to one another: copy k takes positions after
            // those of copy k - 1, or the copies' records would interleave.
            const QString position = table == QLatin1String("cdsMacchine")
                                         ? QStringLiteral(", Posizione = Posizione + %1 * (SELECT max(Posizione) + 1 FROM base)")
                                         : QString();
            for (int k = 1; k < factor; ++k) {
                sqlExec(db, QStringLiteral("INSERT INTO %1 SELECT * FROM base").arg(table));
                sqlExec(db, QStringLiteral("UPDATE %1 SET Modello = Modello || '-%2'%4 WHERE rowid > %3")
                                .arg(table).arg(k).arg(rows * k).arg(position.isEmpty() ? QString() : position.arg(k)));
            }
            sqlExec(db, "COMMIT");
        }
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
}

class ScaledCatalogue {
public:
    explicit ScaledCatalogue(int factor) : factor_(factor)
    {
        if (!dir_.isValid())
            throw std::runtime_error("no temporary folder");
        const QString root = path();
        writeScaled(root + "Dati.cds", "Dati", "cdsMacchine");
        writeScaled(root + "Versioni.cds", "Versioni", "cdsVersioni");
        writeScaledTable(root + "Param.cds", "Param", "CDSParam", 1);
        for (const char* f : {"select.ini", "English.lng", "Rep1Vel.AR", "Rep9Col.AR", "RepPann.AR"})
            QFile::copy(sourceFile(QStringLiteral("data/") + f), root + f);
        for (const QString& sub : {QStringLiteral("imgs"), QStringLiteral("docs")}) {
            const QDir from(sourceFile("data/" + sub));
            QDirIterator it(from.path(), QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString src = it.next();
                const QString dst = root + sub + '/' + from.relativeFilePath(src);
                QDir().mkpath(QFileInfo(dst).path());
                QFile::copy(src, dst);
            }
        }
    }
    ~ScaledCatalogue() { SetProgramFolderForTests({}); }

    int factor() const { return factor_; }
    // The folder, ending with "/".
    QString path() const { return dir_.path() + '/'; }
    // Makes this folder the program folder.
    void use() const { SetProgramFolderForTests(path()); }
    // Leaves the folder when this goes (to profile a child on it by hand).
    void keep() { dir_.setAutoRemove(false); }

private:
    void writeScaled(const QString& file, const QString& name, const QString& table)
    {
        writeScaledTable(file, name, table, factor_);
    }

    QTemporaryDir dir_;
    int factor_;
};

} // namespace fc::bench
