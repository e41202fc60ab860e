#include "Dataset.h"

#include <QDir>
#include <QHash>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>
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
    columns_.clear();
    texts_.clear();
    rowCount_ = 0;
    recordNumbers_.clear();
    view_.clear();
    textIndexes_.clear();
    cursor_ = 0;
    active_ = false;
    loadSerial_ = 0;
    if (active) {
        load();
        static std::atomic<std::uint64_t> serials{0};
        loadSerial_ = ++serials;
        active_ = true;
        prepareFilter();
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
    // The record count first, so that every column is allocated once at
    // its size: a large catalogue then never holds two copies of a column.
    size_t expected = 0;
    {
        Stmt c{db.prepare(QStringLiteral("SELECT count(*) FROM %1").arg(quoted(def_.TableName)))};
        if (sqlite3_step(c.st) == SQLITE_ROW)
            expected = size_t(std::max<sqlite3_int64>(0, sqlite3_column_int64(c.st, 0)));
    }
    // Read in file order; equal texts share one entry of texts_.
    std::vector<Column> cols_(static_cast<size_t>(FieldCount()));
    for (int i = 0; i < FieldCount(); ++i) {
        Column& col = cols_[size_t(i)];
        switch (def_.Fields[size_t(i)].Type) {
        case TFieldType::String: col.texts.reserve(expected); break;
        case TFieldType::Integer: col.ints.reserve(expected); col.nulls.reserve(expected); break;
        case TFieldType::Float: col.floats.reserve(expected); col.nulls.reserve(expected); break;
        }
    }
    std::vector<QString> texts{QString()};
    QHash<QString, std::uint32_t> textIndex;
    int rc;
    int rowNo = 0;
    while ((rc = sqlite3_step(q.st)) == SQLITE_ROW) {
        ++rowNo;
        for (int i = 0; i < FieldCount(); ++i) {
            const TFieldDef& f = def_.Fields[size_t(i)];
            Column& col = cols_[size_t(i)];
            const int kind = sqlite3_column_type(q.st, i);
            if (kind == SQLITE_NULL) {
                switch (f.Type) {
                case TFieldType::String: col.texts.push_back(0); break;
                case TFieldType::Integer: col.ints.push_back(0); col.nulls.push_back(true); break;
                case TFieldType::Float: col.floats.push_back(0); col.nulls.push_back(true); break;
                }
                continue;
            }
            auto bad = [&](const QString& what) {
                db.fail(recordError(rowNo, f.Name, what));
            };
            if (kind == SQLITE_BLOB)
                bad(QStringLiteral("binary data, expected %1").arg(typeName(f.Type)));
            switch (f.Type) {
            case TFieldType::String: {
                QString text = columnText(q.st, i);
                auto it = textIndex.constFind(text);
                if (it == textIndex.constEnd()) {
                    it = textIndex.insert(text, std::uint32_t(texts.size()));
                    texts.push_back(std::move(text));
                }
                col.texts.push_back(it.value());
                break;
            }
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
                col.ints.push_back(std::int32_t(v));
                col.nulls.push_back(false);
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
                col.floats.push_back(d);
                col.nulls.push_back(false);
                break;
            }
            }
        }
    }
    if (rc != SQLITE_DONE)
        db.failSqlite(rc);
    textIndex.clear();

    // The index: a stable sort on its fields, null first, numbers by value,
    // texts by code unit. Texts are ranked once, so that records compare
    // as integers.
    const int n = rowNo;
    std::vector<int> order(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r)
        order[size_t(r)] = r;
    if (!def_.IndexFields.isEmpty()) {
        std::vector<std::uint32_t> byText(texts.size());
        for (size_t t = 0; t < byText.size(); ++t)
            byText[t] = std::uint32_t(t);
        // The null text (index 0) stays first: it sorts before every text.
        std::sort(byText.begin() + 1, byText.end(),
                  [&](std::uint32_t a, std::uint32_t b) { return texts[a].compare(texts[b]) < 0; });
        std::vector<std::uint32_t> rank(texts.size());
        for (size_t k = 0; k < byText.size(); ++k)
            rank[byText[k]] = std::uint32_t(k);
        std::vector<int> keys;
        for (const QString& k : def_.IndexFields)
            keys.push_back(FieldIndex(k));
        std::stable_sort(order.begin(), order.end(), [&](int ra, int rb) {
            for (int k : keys) {
                const Column& c = cols_[size_t(k)];
                int cmp = 0;
                switch (def_.Fields[size_t(k)].Type) {
                case TFieldType::String: {
                    const std::uint32_t x = rank[c.texts[size_t(ra)]], y = rank[c.texts[size_t(rb)]];
                    cmp = x < y ? -1 : (x > y ? 1 : 0);
                    break;
                }
                case TFieldType::Integer:
                case TFieldType::Float: {
                    const bool na = c.null(size_t(ra)), nb = c.null(size_t(rb));
                    if (na || nb) {
                        cmp = int(!na) - int(!nb);
                        break;
                    }
                    const bool isInt = def_.Fields[size_t(k)].Type == TFieldType::Integer;
                    const double x = isInt ? c.integer(size_t(ra)) : c.real(size_t(ra));
                    const double y = isInt ? c.integer(size_t(rb)) : c.real(size_t(rb));
                    cmp = x < y ? -1 : (x > y ? 1 : 0);
                    break;
                }
                }
                if (cmp != 0)
                    return cmp < 0;
            }
            return false;
        });
    }
    // Each column put into index order where it stands, cycle by cycle of
    // the permutation, so that no second copy of it is ever made.
    std::vector<bool> placed(static_cast<size_t>(n));
    const auto permute = [&](auto& v) {
        if (v.empty())
            return;
        placed.assign(size_t(n), false);
        for (int start = 0; start < n; ++start) {
            if (placed[size_t(start)])
                continue;
            // The element's own type: for vector<bool>, auto would be a
            // reference into the vector that the moves below overwrite.
            const typename std::remove_cvref_t<decltype(v)>::value_type first = v[size_t(start)];
            int j = start;
            for (;;) {
                placed[size_t(j)] = true;
                const int k = order[size_t(j)];
                if (k == start) {
                    v[size_t(j)] = first;
                    break;
                }
                v[size_t(j)] = v[size_t(k)];
                j = k;
            }
        }
    };
    for (Column& c : cols_) {
        permute(c.floats);
        permute(c.ints);
        permute(c.texts);
        permute(c.nulls);
    }
    for (int i = 0; i < FieldCount(); ++i)
        cols_[size_t(i)].compact(def_.Fields[size_t(i)].Type);
    columns_ = std::move(cols_);
    texts.shrink_to_fit();
    texts_ = std::move(texts);
    rowCount_ = n;
    recordNumbers_.clear();
    recordNumbers_.reserve(size_t(n));
    for (int r : order)
        recordNumbers_.push_back(r + 1);
}

void TDataset::Column::compact(TFieldType type)
{
    if (std::find(nulls.begin(), nulls.end(), true) == nulls.end())
        std::vector<bool>().swap(nulls);
    const auto narrow = [this] {
        if (std::all_of(ints.begin(), ints.end(), [](std::int32_t v) {
                return v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max();
            })) {
            shorts.assign(ints.begin(), ints.end());
            std::vector<std::int32_t>().swap(ints);
        }
    };
    if (type == TFieldType::Integer) {
        narrow();
        return;
    }
    if (type != TFieldType::Float || floats.empty())
        return;
    // The fewest decimals that give every value back exactly, the way real()
    // reads it: the integer over the power of ten, compared bit for bit.
    for (double p : {1.0, 10.0, 100.0, 1000.0, 10000.0}) {
        const bool exact = std::all_of(floats.begin(), floats.end(), [p](double d) {
            const double x = d * p;
            if (!(std::fabs(x) < 2147483647.0))
                return false;
            const double back = double(std::int32_t(std::llround(x))) / p;
            return std::memcmp(&back, &d, sizeof d) == 0;
        });
        if (!exact)
            continue;
        ints.reserve(floats.size());
        for (double d : floats)
            ints.push_back(std::int32_t(std::llround(d * p)));
        std::vector<double>().swap(floats);
        scale = p;
        narrow();
        return;
    }
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
    prepareFilter();
    rebuildView();
}

const TDataset::TextIndex& TDataset::textIndex(int field)
{
    if (textIndexes_.size() != def_.Fields.size())
        textIndexes_.resize(def_.Fields.size());
    std::unique_ptr<TextIndex>& index = textIndexes_[size_t(field)];
    if (!index) {
        index = std::make_unique<TextIndex>();
        std::vector<int> slot(texts_.size(), -1);
        const std::vector<std::uint32_t>& column = columns_[size_t(field)].texts;
        for (int r = 0; r < rowCount_; ++r) {
            const std::uint32_t text = column[size_t(r)];
            if (slot[text] < 0) {
                slot[text] = int(index->texts.size());
                index->texts.push_back(text);
                index->rows.emplace_back();
            }
            index->rows[size_t(slot[text])].push_back(r);
        }
        // Kept for the dataset's life: no room left over from the growth.
        for (std::vector<int>& rows : index->rows)
            rows.shrink_to_fit();
    }
    return *index;
}

void TDataset::prepareFilter()
{
    // A text term is decided once per distinct text of its field, not once
    // per record.
    filterTexts_.assign(filter_.size(), {});
    if (!active_)
        return;
    for (size_t t = 0; t < filter_.size(); ++t) {
        const int field = filterFields_[t];
        if (def_.Fields[size_t(field)].Type != TFieldType::String)
            continue;
        std::vector<bool>& pass = filterTexts_[t];
        pass.assign(texts_.size(), false);
        for (std::uint32_t k : textIndex(field).texts)
            pass[k] = texts_[k].compare(filter_[t].Value, Qt::CaseInsensitive) == 0;
    }
}

void TDataset::SetFiltered(bool filtered)
{
    // The view always follows the filter and the flag: setting the flag it
    // already has gives the same view, only back on its first record.
    if (filtered == filtered_) {
        cursor_ = 0;
        return;
    }
    filtered_ = filtered;
    rebuildView();
}

QString TDataset::filterText(int row, int index) const
{
    if (isNull(row, index))
        return {};
    const Column& c = columns_[size_t(index)];
    switch (def_.Fields[size_t(index)].Type) {
    case TFieldType::String: return texts_[c.texts[size_t(row)]];
    case TFieldType::Integer: return QString::number(c.integer(size_t(row)));
    case TFieldType::Float: return fc::FloatToStr(c.real(size_t(row)));
    }
    return {};
}

bool TDataset::passes(int row) const
{
    for (size_t t = 0; t < filter_.size(); ++t) {
        const int i = filterFields_[t];
        if (!filterTexts_[t].empty()) {
            if (!filterTexts_[t][columns_[size_t(i)].texts[size_t(row)]])
                return false;
            continue;
        }
        // Full Unicode case folding: "À" matches "à".
        if (filterText(row, i).compare(filter_[t].Value, Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

void TDataset::rebuildView()
{
    view_.clear();
    cursor_ = 0;
    const bool useFilter = filtered_ && !filter_.empty();
    if (!useFilter) {
        view_.resize(size_t(rowCount_));
        for (int r = 0; r < rowCount_; ++r)
            view_[size_t(r)] = r;
        return;
    }
    // The records a text term can pass, from its field's index: those of
    // the term with the fewest, in index order, each then tested whole.
    // Without a text term every record is tested.
    const std::vector<int>* only = nullptr;
    std::vector<int> merged;
    size_t fewest = size_t(rowCount_) + 1;
    for (size_t t = 0; t < filter_.size(); ++t) {
        if (filterTexts_[t].empty())
            continue;
        const TextIndex& index = textIndex(filterFields_[t]);
        std::vector<const std::vector<int>*> lists;
        size_t n = 0;
        for (size_t k = 0; k < index.texts.size(); ++k)
            if (filterTexts_[t][index.texts[k]]) {
                lists.push_back(&index.rows[k]);
                n += index.rows[k].size();
            }
        if (n >= fewest)
            continue;
        fewest = n;
        if (lists.size() == 1) {
            only = lists.front();
            continue;
        }
        merged.clear();
        for (const std::vector<int>* l : lists)
            merged.insert(merged.end(), l->begin(), l->end());
        std::sort(merged.begin(), merged.end());
        only = &merged;
    }
    if (only) {
        for (int r : *only)
            if (passes(r))
                view_.push_back(r);
    } else {
        for (int r = 0; r < rowCount_; ++r)
            if (passes(r))
                view_.push_back(r);
    }
    view_.shrink_to_fit();
}

void TDataset::First() { cursor_ = 0; }

void TDataset::Next()
{
    if (cursor_ < int(view_.size()))
        ++cursor_;
}

bool TDataset::Eof() const { return cursor_ >= int(view_.size()); }

int TDataset::currentRow() const
{
    if (view_.empty())
        return -1;
    return view_[size_t(std::min(cursor_, int(view_.size()) - 1))];
}

bool TDataset::isNull(int row, int index) const
{
    if (row < 0)
        return true;
    const Column& c = columns_[size_t(index)];
    if (def_.Fields[size_t(index)].Type == TFieldType::String)
        return c.texts[size_t(row)] == 0;
    return c.null(size_t(row));
}

void TDataset::RaiseFieldError(int index, const QString& what) const
{
    throw EFileError(catalogueError(fileName_, recordError(RecordNumber(), Fields(index).FieldName(), what)));
}

void TDataset::RaiseError(const QString& what) const { throw EFileError(catalogueError(fileName_, what)); }

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

QString TField::FieldName() const { return ds_.def_.Fields[size_t(index_)].Name; }

TFieldType TField::DataType() const { return ds_.def_.Fields[size_t(index_)].Type; }

bool TField::IsNull() const { return ds_.isNull(ds_.currentRow(), index_); }

QString TField::AsString() const
{
    // As the filter reads it: numbers in the general format, null "".
    const int row = ds_.currentRow();
    return row < 0 ? QString() : ds_.filterText(row, index_);
}

int TField::AsInteger() const
{
    const int row = ds_.currentRow();
    const bool null = ds_.isNull(row, index_);
    const TDataset::Column* c = row < 0 ? nullptr : &ds_.columns_[size_t(index_)];
    switch (DataType()) {
    case TFieldType::String: return fc::StrToInt(null ? QString() : ds_.texts_[c->texts[size_t(row)]]);
    case TFieldType::Integer: return null ? 0 : c->integer(size_t(row));
    case TFieldType::Float: {
        if (null)
            return 0;
        const double v = c->real(size_t(row));
        const qint64 r = fc::Round(v);
        if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
            throw EConvertError::NotInteger(fc::FloatToStr(v));
        return int(r);
    }
    }
    return 0;
}

double TField::AsFloat() const
{
    const int row = ds_.currentRow();
    const bool null = ds_.isNull(row, index_);
    const TDataset::Column* c = row < 0 ? nullptr : &ds_.columns_[size_t(index_)];
    switch (DataType()) {
    case TFieldType::String: return fc::StrToFloat(null ? QString() : ds_.texts_[c->texts[size_t(row)]]);
    case TFieldType::Integer: return null ? 0 : c->integer(size_t(row));
    case TFieldType::Float: return null ? 0 : c->real(size_t(row));
    }
    return 0;
}
