#include "Dataset.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <limits>
#include <sqlite3.h>

#include "Numbers.h"

namespace {

TDatasetDef makeMacchineDef()
{
    using T = TFieldType;
    TDatasetDef d;
    d.TableName = QStringLiteral("cdsMacchine");
    d.Fields = {
        {"Tipo", T::String, 24},         {"Descr", T::String, 36},
        {"Impianto", T::String, 24},     {"Modello", T::String, 24},
        {"AssElettr", T::Integer},       {"CorrAss", T::Float},
        {"PortAcquaRisc", T::Integer},   {"PDCNomRisc", T::Float},
        {"PortAcquaRaffr", T::Integer},  {"PDCNomRaffr", T::Float},
        {"Velocita", T::String, 10},     {"PortAria", T::Integer},
        {"PressStat", T::Integer},       {"CoeffResaTerm", T::Float},
        {"CoeffResaFrigTot", T::Float},  {"CoeffResaFrigSens", T::Float},
        {"LivSondBA", T::Float},         {"LivSonNC", T::Float},
        {"LivSonNR", T::Float},          {"Posizione", T::Integer},
        {"Calcolo", T::String, 3},
    };
    for (int j = 1; j <= 8; ++j) {
        d.Fields.push_back({QStringLiteral("QA%1").arg(j), T::Integer});
        d.Fields.push_back({QStringLiteral("PSA%1").arg(j), T::Float});
    }
    d.Fields.push_back({"n", T::Float});
    d.Fields.push_back({"m", T::Float});
    d.Fields.push_back({"p", T::Float});
    d.IndexFields = {QStringLiteral("Posizione"), QStringLiteral("Velocita")};
    return d;
}

TDatasetDef makeVersioniDef()
{
    using T = TFieldType;
    TDatasetDef d;
    d.TableName = QStringLiteral("cdsVersioni");
    d.Fields = {
        {"Modello", T::String, 24},           {"CodiceVersione", T::String, 10},
        {"DescrizioneVersione", T::String, 100}, {"FattorePressione", T::Integer},
        {"Lunghezza", T::Integer},            {"Larghezza", T::Integer},
        {"Spessore", T::Integer},             {"Peso", T::Float},
        {"PrezzoListino", T::Float},
    };
    return d;
}

TDatasetDef makeParamDef()
{
    using T = TFieldType;
    TDatasetDef d;
    d.TableName = QStringLiteral("CDSParam");
    d.Fields.push_back({"Posizione", T::Integer});
    // The columns the corrections use, then those that enter no calculation.
    for (const char* name : {"PotTermGlic", "PortMiscela", "PDCMiscela", "PotTermAlt", "PotFrigTotAlt",
                             "PotFrigSensAlt", "CoeffPDC", "PortataAria", "PotTermica", "PotFrigTot",
                             "PotFrigSens", "PercGlicole", "PotFrigTotGlic", "PotFrigSensGlic", "Altitudine",
                             "Pressione", "PressionePortata", "PortataPrevalenza", "TMediaAcqua"})
        d.Fields.push_back({QString::fromLatin1(name), T::Float});
    d.IndexFields = {QStringLiteral("Posizione")};
    return d;
}

QString typeName(TFieldType t)
{
    switch (t) {
    case TFieldType::String: return QStringLiteral("text");
    case TFieldType::Integer: return QStringLiteral("integer");
    case TFieldType::Float: return QStringLiteral("floating-point");
    }
    return {};
}

// The column kind an SQLite declared type gives (its affinity rules).
bool declaredTypeFits(const QString& declared, TFieldType t)
{
    const QString d = declared.toUpper();
    const bool isInt = d.contains("INT");
    const bool isText = !isInt && (d.contains("CHAR") || d.contains("CLOB") || d.contains("TEXT"));
    const bool isReal = !isInt && !isText && (d.contains("REAL") || d.contains("FLOA") || d.contains("DOUB"));
    switch (t) {
    case TFieldType::String: return isText;
    case TFieldType::Integer: return isInt;
    case TFieldType::Float: return isReal;
    }
    return false;
}

QString quoted(const QString& identifier)
{
    QString q = identifier;
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

QString catalogueError(const QString& file, const QString& what)
{
    return QStringLiteral("Catalogue file \"%1\": %2").arg(QDir::toNativeSeparators(file), what);
}

QString recordError(int record, const QString& field, const QString& what)
{
    return QStringLiteral("record %1, field \"%2\": %3").arg(record).arg(field, what);
}

class Db {
public:
    explicit Db(const QString& file) : file_(file) {}
    ~Db()
    {
        if (db_)
            sqlite3_close(db_);
    }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    [[noreturn]] void fail(const QString& what) const
    {
        throw EFileError(catalogueError(file_, what));
    }
    [[noreturn]] void failSqlite(int rc) const
    {
        if (rc == SQLITE_NOTADB)
            fail(QStringLiteral("the file is not a catalogue database"));
        if (rc == SQLITE_CORRUPT)
            fail(QStringLiteral("the file is damaged"));
        fail(QStringLiteral("cannot be read (%1)")
                 .arg(QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc))));
    }

    void open()
    {
        // immutable: no locks, no journal, nothing written to the file.
        const QByteArray uri = QUrl::fromLocalFile(QFileInfo(file_).absoluteFilePath()).toEncoded() + "?immutable=1";
        const int rc = sqlite3_open_v2(uri.constData(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
        if (rc != SQLITE_OK)
            failSqlite(rc);
        // The file is data, not code: no triggers or views from it run.
        sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    }

    sqlite3_stmt* prepare(const QString& sql) const
    {
        sqlite3_stmt* st = nullptr;
        const QByteArray u = sql.toUtf8();
        const int rc = sqlite3_prepare_v2(db_, u.constData(), int(u.size()), &st, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(st);
            failSqlite(rc);
        }
        return st;
    }

    sqlite3* handle() const { return db_; }

private:
    QString file_;
    sqlite3* db_ = nullptr;
};

struct Stmt {
    sqlite3_stmt* st;
    ~Stmt() { sqlite3_finalize(st); }
};

QString columnText(sqlite3_stmt* st, int i)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(st, i)) : QString();
}

// Compares two values of one field for the index: null first, numbers by
// value, texts by code unit.
int compareValues(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return int(!a.isNull()) - int(!b.isNull());
    if (a.typeId() == QMetaType::QString)
        return a.toString().compare(b.toString());
    const double x = a.toDouble(), y = b.toDouble();
    return x < y ? -1 : (x > y ? 1 : 0);
}

} // namespace

namespace fc {
const TDatasetDef& MacchineDef()
{
    static const TDatasetDef d = makeMacchineDef();
    return d;
}
const TDatasetDef& VersioniDef()
{
    static const TDatasetDef d = makeVersioniDef();
    return d;
}
const TDatasetDef& ParamDef()
{
    static const TDatasetDef d = makeParamDef();
    return d;
}
} // namespace fc

TDataset::TDataset(TDatasetDef def) : def_(std::move(def)) {}

void TDataset::SetActive(bool active)
{
    if (active == active_)
        return;
    rows_.clear();
    recordNumbers_.clear();
    view_.clear();
    cursor_ = 0;
    active_ = false;
    if (active) {
        load();
        active_ = true;
        rebuildView();
    }
}

void TDataset::load()
{
    const QString& file = fileName_;
    Db db(file);
    if (file.isEmpty())
        throw EFileError(QStringLiteral("Catalogue file: no file name given"));
    const QFileInfo info(file);
    if (!info.exists())
        db.fail(QStringLiteral("the file does not exist"));
    if (!info.isFile())
        db.fail(QStringLiteral("is not a file"));
    if (!info.isReadable())
        db.fail(QStringLiteral("the file cannot be read"));
    db.open();

    // The table, looked up by name (SQLite compares names ignoring case).
    {
        Stmt q{db.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?1 "
                                         "COLLATE NOCASE"))};
        const QByteArray name = def_.TableName.toUtf8();
        sqlite3_bind_text(q.st, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(q.st);
        if (rc == SQLITE_DONE)
            db.fail(QStringLiteral("the table \"%1\" is missing").arg(def_.TableName));
        if (rc != SQLITE_ROW)
            db.failSqlite(rc);
    }

    // Columns by position: each with its name and a declared type that
    // stores the field's kind. Columns after the last field are ignored.
    {
        Stmt q{db.prepare(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(def_.TableName)))};
        int pos = 0;
        int rc;
        while ((rc = sqlite3_step(q.st)) == SQLITE_ROW && pos < FieldCount()) {
            const TFieldDef& f = def_.Fields[size_t(pos)];
            const QString name = columnText(q.st, 1);
            const QString type = columnText(q.st, 2);
            if (name.compare(f.Name, Qt::CaseInsensitive) != 0)
                db.fail(QStringLiteral("column %1 of table \"%2\" is \"%3\", expected \"%4\"")
                            .arg(pos)
                            .arg(def_.TableName, name, f.Name));
            if (!declaredTypeFits(type, f.Type))
                db.fail(QStringLiteral("column %1 \"%2\" of table \"%3\" has type \"%4\", expected %5")
                            .arg(pos)
                            .arg(f.Name, def_.TableName, type, typeName(f.Type)));
            ++pos;
        }
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            db.failSqlite(rc);
        if (pos < FieldCount())
            db.fail(QStringLiteral("column %1 \"%2\" of table \"%3\" is missing")
                        .arg(pos)
                        .arg(def_.Fields[size_t(pos)].Name, def_.TableName));
    }

    QStringList cols;
    for (const TFieldDef& f : def_.Fields)
        cols << quoted(f.Name);
    Stmt q{db.prepare(QStringLiteral("SELECT %1 FROM %2").arg(cols.join(','), quoted(def_.TableName)))};
    int rc;
    int rowNo = 0;
    while ((rc = sqlite3_step(q.st)) == SQLITE_ROW) {
        ++rowNo;
        std::vector<QVariant> row(static_cast<size_t>(FieldCount()));
        for (int i = 0; i < FieldCount(); ++i) {
            const TFieldDef& f = def_.Fields[size_t(i)];
            const int kind = sqlite3_column_type(q.st, i);
            if (kind == SQLITE_NULL)
                continue;
            auto bad = [&](const QString& what) {
                db.fail(recordError(rowNo, f.Name, what));
            };
            if (kind == SQLITE_BLOB)
                bad(QStringLiteral("binary data, expected %1").arg(typeName(f.Type)));
            switch (f.Type) {
            case TFieldType::String:
                row[size_t(i)] = columnText(q.st, i);
                break;
            case TFieldType::Integer: {
                qint64 v = 0;
                if (kind == SQLITE_INTEGER) {
                    v = sqlite3_column_int64(q.st, i);
                } else {
                    const double d = sqlite3_column_double(q.st, i);
                    if (kind != SQLITE_FLOAT || d != std::trunc(d) || std::abs(d) > 2147483647.0)
                        bad(QStringLiteral("'%1' is not a valid integer value").arg(columnText(q.st, i)));
                    v = qint64(d);
                }
                if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
                    bad(QStringLiteral("'%1' is not a valid integer value").arg(v));
                row[size_t(i)] = int(v);
                break;
            }
            case TFieldType::Float: {
                double d = 0;
                if (kind == SQLITE_INTEGER || kind == SQLITE_FLOAT) {
                    d = sqlite3_column_double(q.st, i);
                } else {
                    bool ok = false;
                    d = columnText(q.st, i).trimmed().toDouble(&ok);
                    if (!ok)
                        bad(QStringLiteral("'%1' is not a valid floating point value").arg(columnText(q.st, i)));
                }
                if (!std::isfinite(d))
                    bad(QStringLiteral("the value is not a finite number"));
                row[size_t(i)] = d;
                break;
            }
            }
        }
        rows_.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        rows_.clear();
        db.failSqlite(rc);
    }

    std::vector<int> order(rows_.size());
    for (size_t r = 0; r < order.size(); ++r)
        order[r] = int(r);
    if (!def_.IndexFields.isEmpty()) {
        std::vector<int> keys;
        for (const QString& k : def_.IndexFields)
            keys.push_back(FieldIndex(k));
        std::stable_sort(order.begin(), order.end(), [&](int ra, int rb) {
            const auto& a = rows_[size_t(ra)];
            const auto& b = rows_[size_t(rb)];
            for (int k : keys) {
                const int c = compareValues(a[size_t(k)], b[size_t(k)]);
                if (c != 0)
                    return c < 0;
            }
            return false;
        });
    }
    std::vector<std::vector<QVariant>> sorted;
    sorted.reserve(rows_.size());
    recordNumbers_.clear();
    recordNumbers_.reserve(rows_.size());
    for (int r : order) {
        sorted.push_back(std::move(rows_[size_t(r)]));
        recordNumbers_.push_back(r + 1);
    }
    rows_ = std::move(sorted);
}

int TDataset::FieldIndex(const QString& name) const
{
    for (int i = 0; i < FieldCount(); ++i)
        if (def_.Fields[size_t(i)].Name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TDataset::SetFilter(const TFilter& filter)
{
    std::vector<int> fields;
    for (const TFilterTerm& t : filter) {
        const int i = FieldIndex(t.Field);
        if (i < 0)
            throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(t.Field));
        fields.push_back(i);
    }
    filter_ = filter;
    filterFields_ = std::move(fields);
    rebuildView();
}

void TDataset::SetFiltered(bool filtered)
{
    filtered_ = filtered;
    rebuildView();
}

bool TDataset::passes(const std::vector<QVariant>& row) const
{
    for (size_t t = 0; t < filter_.size(); ++t) {
        const int i = filterFields_[t];
        const QVariant& v = row[size_t(i)];
        QString text;
        if (!v.isNull())
            text = def_.Fields[size_t(i)].Type == TFieldType::Float ? fc::FloatToStr(v.toDouble()) : v.toString();
        // Full Unicode case folding: "À" matches "à".
        if (text.compare(filter_[t].Value, Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

void TDataset::rebuildView()
{
    view_.clear();
    cursor_ = 0;
    const bool useFilter = filtered_ && !filter_.empty();
    view_.reserve(rows_.size());
    for (int r = 0; r < int(rows_.size()); ++r)
        if (!useFilter || passes(rows_[size_t(r)]))
            view_.push_back(r);
}

void TDataset::First() { cursor_ = 0; }

void TDataset::Next()
{
    if (cursor_ < int(view_.size()))
        ++cursor_;
}

bool TDataset::Eof() const { return cursor_ >= int(view_.size()); }

const QVariant& TDataset::cell(int index) const
{
    static const QVariant null;
    if (view_.empty())
        return null;
    const int r = view_[size_t(std::min(cursor_, int(view_.size()) - 1))];
    return rows_[size_t(r)][size_t(index)];
}

void TDataset::RaiseFieldError(int index, const QString& what) const
{
    throw EFileError(catalogueError(fileName_, recordError(RecordNumber(), Fields(index).FieldName(), what)));
}

int TDataset::RecordNumber() const
{
    if (view_.empty())
        return 0;
    return recordNumbers_[size_t(view_[size_t(std::min(cursor_, int(view_.size()) - 1))])];
}

TField TDataset::Fields(int index) const
{
    if (index < 0 || index >= FieldCount())
        throw EListError::IndexOutOfBounds(index);
    return TField(*this, index);
}

TField TDataset::FieldByName(const QString& name) const
{
    const int i = FieldIndex(name);
    if (i < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    return TField(*this, i);
}

const QVariant& TField::value() const { return ds_.cell(index_); }

QString TField::FieldName() const { return ds_.def_.Fields[size_t(index_)].Name; }

TFieldType TField::DataType() const { return ds_.def_.Fields[size_t(index_)].Type; }

bool TField::IsNull() const { return value().isNull(); }

QString TField::AsString() const
{
    const QVariant& v = value();
    if (v.isNull())
        return {};
    switch (DataType()) {
    case TFieldType::String: return v.toString();
    case TFieldType::Integer: return QString::number(v.toInt());
    case TFieldType::Float: return fc::FloatToStr(v.toDouble());
    }
    return {};
}

int TField::AsInteger() const
{
    const QVariant& v = value();
    switch (DataType()) {
    case TFieldType::String: return fc::StrToInt(v.toString());
    case TFieldType::Integer: return v.toInt();
    case TFieldType::Float: {
        if (v.isNull())
            return 0;
        const qint64 r = fc::Round(v.toDouble());
        if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
            throw EConvertError::NotInteger(fc::FloatToStr(v.toDouble()));
        return int(r);
    }
    }
    return 0;
}

double TField::AsFloat() const
{
    const QVariant& v = value();
    switch (DataType()) {
    case TFieldType::String: return fc::StrToFloat(v.toString());
    case TFieldType::Integer: return v.toInt();
    case TFieldType::Float: return v.toDouble();
    }
    return 0;
}
