#pragma once
// Small catalogue files for tests, written from SQL with the SQLite library.

#include <QFile>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/Dataset.h"

namespace fc::test {

// Runs sql into a new SQLite file at path (removed first).
inline void makeDatabase(const QString& path, const QString& sql)
{
    QFile::remove(path);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    const QString msg = err ? QString::fromUtf8(err) : QString();
    sqlite3_free(err);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << msg.toStdString();
}

inline QString sqlType(TFieldType t)
{
    switch (t) {
    case TFieldType::String: return QStringLiteral("VARCHAR(40)");
    case TFieldType::Integer: return QStringLiteral("INTEGER");
    case TFieldType::Float: return QStringLiteral("REAL");
    }
    return {};
}

// CREATE TABLE for a definition; drop > 0 leaves out the last columns.
inline QString createTableSql(const TDatasetDef& def, int drop = 0)
{
    QStringList cols;
    for (size_t i = 0; i + size_t(drop) < def.Fields.size(); ++i)
        cols << def.Fields[i].Name + ' ' + sqlType(def.Fields[i].Type);
    return QStringLiteral("CREATE TABLE %1 (%2);\n").arg(def.TableName, cols.join(", "));
}

inline QString sqlText(const QString& s)
{
    QString q = s;
    q.replace('\'', "''");
    return '\'' + q + '\'';
}

// One cdsMacchine record. The numeric fields not named here are
// base * 100 + their position (+ 0.5 for floats), so that a test can tell
// which column landed where. QAj = base * 1000 - 10 j and PSAj = 10 (j - 1)
// + 0.25: the flow falls and the pressure rises as on a fan curve.
struct MacchinaRow {
    QString modello;
    QString velocita = QStringLiteral("MAX");
    int posizione = 1;
    QString calcolo = QStringLiteral("3T");
    int base = 1;
    QString tipo = QStringLiteral("T1");
    QString impianto = QStringLiteral("2 tubi");
    QString descr = QStringLiteral("Descrizione");
};

inline int intValue(int base, int col) { return base * 100 + col; }
inline double floatValue(int base, int col) { return base * 100 + col + 0.5; }

inline QString insertMacchina(const MacchinaRow& r)
{
    const TDatasetDef& def = fc::MacchineDef();
    QStringList v;
    for (int i = 0; i < int(def.Fields.size()); ++i) {
        const QString& name = def.Fields[size_t(i)].Name;
        if (name == "Tipo")
            v << sqlText(r.tipo);
        else if (name == "Descr")
            v << sqlText(r.descr);
        else if (name == "Impianto")
            v << sqlText(r.impianto);
        else if (name == "Modello")
            v << sqlText(r.modello);
        else if (name == "Velocita")
            v << sqlText(r.velocita);
        else if (name == "Posizione")
            v << QString::number(r.posizione);
        else if (name == "Calcolo")
            v << sqlText(r.calcolo);
        else if (name.startsWith("QA"))
            v << QString::number(r.base * 1000 - name.mid(2).toInt() * 10);
        else if (name.startsWith("PSA"))
            v << QString::number(name.mid(3).toInt() * 10 - 10) + ".25";
        else if (def.Fields[size_t(i)].Type == TFieldType::Integer)
            v << QString::number(intValue(r.base, i));
        else
            v << QString::number(floatValue(r.base, i), 'g', 17);
    }
    return QStringLiteral("INSERT INTO cdsMacchine VALUES (%1);\n").arg(v.join(", "));
}

inline QString insertVersione(const QString& modello, const QString& code, const QString& descr, int factor,
                              int dims = 100, double peso = 12.5, double prezzo = 480.0)
{
    return QStringLiteral("INSERT INTO cdsVersioni VALUES (%1, %2, %3, %4, %5, %6, %7, %8, %9);\n")
        .arg(sqlText(modello), sqlText(code), sqlText(descr))
        .arg(factor)
        .arg(dims)
        .arg(dims + 1)
        .arg(dims + 2)
        .arg(peso, 0, 'g', 17)
        .arg(prezzo, 0, 'g', 17);
}

} // namespace fc::test
