#pragma once
// The catalogue tables. Each catalogue file ("Dati.cds", "Versioni.cds",
// "Param.cds") is an SQLite database holding one table whose columns follow
// a fixed definition by position and type. A TDataset opens the file
// read-only, loads every record into memory in the definition's order, and
// offers a cursor over them, optionally narrowed by a filter of
// field-equals-value tests. Nothing is ever written back to the file.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

#include "Errors.h"

// A dataset used wrongly by the program (a field name it does not know).
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

enum class TFieldType { String, Integer, Float };

struct TFieldDef {
    QString Name;
    TFieldType Type;
    int Size = 0; // characters of a string field (informative; values are not cut)
};

// What a catalogue table looks like: its name inside the file, its columns
// by position, and the fields that order its records (empty: stored order).
struct TDatasetDef {
    QString TableName;
    std::vector<TFieldDef> Fields;
    QStringList IndexFields;
};

namespace fc {
// cdsMacchine ("Dati.cds"): the speed records of every model, columns 0..39,
// ordered by Posizione, then Velocita.
const TDatasetDef& MacchineDef();
// cdsVersioni ("Versioni.cds"): the model versions, columns 0..8, stored order.
const TDatasetDef& VersioniDef();
// CDSParam ("Param.cds"): the parameter rows, ordered by Posizione.
const TDatasetDef& ParamDef();
} // namespace fc

// One test of a filter: the field's text equals Value, ignoring case.
struct TFilterTerm {
    QString Field;
    QString Value;
};
// All terms must hold; an empty filter passes every record.
using TFilter = std::vector<TFilterTerm>;

class TDataset;

// A field of the current record, read as the program asks for it.
class TField {
public:
    QString FieldName() const;
    TFieldType DataType() const;
    bool IsNull() const;
    // Text of the value: numbers in the general format with the current
    // decimal separator; null gives "".
    QString AsString() const;
    // Integer: strings converted with StrToInt (EConvertError), floats
    // rounded half to even; null numbers give 0.
    int AsInteger() const;
    // Float: strings converted with StrToFloat and the current decimal
    // separator (EConvertError); null numbers give 0.
    double AsFloat() const;

private:
    friend class TDataset;
    TField(const TDataset& ds, int index) : ds_(ds), index_(index) {}
    const QVariant& value() const;
    const TDataset& ds_;
    int index_;
};

class TDataset {
public:
    explicit TDataset(TDatasetDef def);

    const TDatasetDef& Definition() const { return def_; }

    QString FileName() const { return fileName_; }
    // Takes effect at the next opening.
    void SetFileName(const QString& name) { fileName_ = name; }

    bool Active() const { return active_; }
    // true opens FileName and loads it (EFileError naming the file and what
    // is wrong, leaving the dataset closed); false drops the records.
    void SetActive(bool active);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }

    // The filter applies while Filtered is true; setting either goes back
    // to the first record. Unknown field names raise EDatabaseError.
    const TFilter& Filter() const { return filter_; }
    void SetFilter(const TFilter& filter);
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool filtered);

    void First();
    void Next();
    // True past the last record, and always on an empty view.
    bool Eof() const;
    // Records in the current (filtered) view.
    int RecordCount() const { return int(view_.size()); }
    // Where the current record stands in the file, counted from 1 as the
    // opening's messages count records; 0 on an empty view.
    int RecordNumber() const;

    int FieldCount() const { return int(def_.Fields.size()); }
    // Position of a field by name (ignoring case), -1 when unknown.
    int FieldIndex(const QString& name) const;
    // Fields of the current record: past the last record they read the last
    // one, on an empty view they are null. A bad index raises
    // "List index out of bounds (%d)", an unknown name EDatabaseError.
    TField Fields(int index) const;
    TField FieldByName(const QString& name) const;

    // Raises the EFileError that names the file, the current record and
    // field index, as a value that does not convert is reported on opening.
    [[noreturn]] void RaiseFieldError(int index, const QString& what) const;

private:
    friend class TField;
    void load();
    void rebuildView();
    bool passes(const std::vector<QVariant>& row) const;
    const QVariant& cell(int index) const;

    TDatasetDef def_;
    QString fileName_;
    bool active_ = false;
    TFilter filter_;
    std::vector<int> filterFields_;
    bool filtered_ = false;
    std::vector<std::vector<QVariant>> rows_; // in index order
    std::vector<int> recordNumbers_;          // of rows_, in the file
    std::vector<int> view_;                   // rows passing the filter
    int cursor_ = 0;
};
