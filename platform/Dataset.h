#pragma once
// The catalogue tables. Each catalogue file ("Dati.cds", "Versioni.cds",
// "Param.cds") is an SQLite database holding one table whose columns follow
// a fixed definition by position and type. A TDataset opens the file
// read-only, loads every record into memory in the definition's order, and
// offers a cursor over them, optionally narrowed by a filter of
// field-equals-value tests. Nothing is ever written back to the file.
//
// Records are held by column in their own type (a double, an int, or the
// index of a text that all records with the same text share), so that a
// catalogue a hundred times the demo costs a few hundred bytes a record.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
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
    // Tells one loading of records from another: a number no other opening
    // of any dataset in this run has had; 0 while closed. The records of an
    // opening never change, so what was built from them stays valid while
    // this number stays.
    std::uint64_t LoadSerial() const { return loadSerial_; }
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
    // The same for what several records or a whole table have wrong: what
    // names them.
    [[noreturn]] void RaiseError(const QString& what) const;

private:
    friend class TField;
    // One field of every record, in index order. Numbers are held in the
    // narrowest form that gives every value of the field back to the bit:
    // 16- or 32-bit integers (a float field as integers over a power of
    // ten, when its values are decimals that short), else doubles. A null
    // text is the text index 0; nulls marks null numbers, empty when the
    // field has none.
    struct Column {
        std::vector<double> floats;
        std::vector<std::int32_t> ints;
        std::vector<std::int16_t> shorts;
        double scale = 0; // a float field held as integers: value = n / scale
        std::vector<std::uint32_t> texts;
        std::vector<bool> nulls;

        std::int32_t integer(size_t r) const { return shorts.empty() ? ints[r] : shorts[r]; }
        double real(size_t r) const { return scale == 0 ? floats[r] : integer(r) / scale; }
        bool null(size_t r) const { return !nulls.empty() && nulls[r]; }
        void compact(TFieldType type);
    };
    void load();
    void prepareFilter();
    void rebuildView();
    bool passes(int row) const;
    // The record the fields read, -1 on an empty view.
    int currentRow() const;
    bool isNull(int row, int index) const;
    // The text of a value as the filter compares it ("" for null).
    QString filterText(int row, int index) const;

    TDatasetDef def_;
    QString fileName_;
    bool active_ = false;
    std::uint64_t loadSerial_ = 0;
    TFilter filter_;
    std::vector<int> filterFields_;
    // Per filter term on a text field: whether each distinct text passes it.
    std::vector<std::vector<bool>> filterTexts_;
    // A text field's index, made the first time a filter tests the field:
    // its distinct texts and, for each, the records holding it in index
    // order. A filter then visits only the records one of its terms can
    // pass, not every record.
    struct TextIndex {
        std::vector<std::uint32_t> texts;
        std::vector<std::vector<int>> rows;
    };
    const TextIndex& textIndex(int field);
    std::vector<std::unique_ptr<TextIndex>> textIndexes_; // by field
    bool filtered_ = false;
    std::vector<Column> columns_;             // in index order
    std::vector<QString> texts_;              // distinct texts; [0] the null one
    int rowCount_ = 0;
    std::vector<int> recordNumbers_;          // of the records, in the file
    std::vector<int> view_;                   // records passing the filter
    int cursor_ = 0;
};
