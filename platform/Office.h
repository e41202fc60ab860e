#pragma once
// The spreadsheet and word-processor automation the exports drive, as an
// object model of the members they call. Every object is reached through an
// OleRef, which raises when it is empty, as a call on an empty automation
// variant did. The objects keep the workbook or document in memory; the
// file backend writes it (.xlsx, .docx) when it is saved or when the
// application is made visible, and then opens it with the desktop's default
// program. The recording backend writes nothing and logs every member
// access as one line, so that tests can compare what an export did.
//
// Excel's and Word's numbering and constants are kept: rows, columns and
// indexes from 1, alignments and border indexes as their documented
// numbers, colours as $00BBGGRR.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "Colors.h"
#include "Errors.h"

class IShellOpen;
class FileOffice;
class RecordingOffice;

// An automation call that failed: on an empty reference, an object whose
// application has quit, an argument the server refuses, or a failure that
// a test scripted.
class EOleError : public Exception {
public:
    using Exception::Exception;
};

// A written file that the desktop has no program to open: the file is
// there, only showing it failed.
class EShowError : public EOleError {
public:
    EShowError(const QString& message, QString fileName) : EOleError(message), fileName_(std::move(fileName)) {}
    // The whole path of the file.
    const QString& FileName() const { return fileName_; }

private:
    QString fileName_;
};

template <class T>
class OleRef {
public:
    OleRef() = default;
    OleRef(std::shared_ptr<T> p) : p_(std::move(p)) {}
    T* operator->() const
    {
        if (!p_)
            throw EOleError(QStringLiteral("Variant does not reference an automation object"));
        return p_.get();
    }
    T& operator*() const { return *operator->(); }
    explicit operator bool() const { return bool(p_); }
    void Clear() { p_.reset(); }
    T* Get() const { return p_.get(); }

private:
    std::shared_ptr<T> p_;
};

namespace fc::office {

// One member access, as the recording backend logs it.
struct Access {
    enum Kind { Get, Put, Call };
    Kind kind;
    QString receiver; // path of the object the member is called on
    QString member;   // with its indexes or arguments, e.g. "Cells(2,3)"
    QString value;    // the value put, or the value a read answered
    // "receiver.member", plus " := value" for a put and " -> value" for a
    // read of a plain value.
    QString Line() const;
};

// Text forms used in the log.
QString Quote(const QString& text);
QString BoolText(bool b);
QString NumText(double v);

namespace detail {
struct Session;
struct XlBook;
struct XlSheet;
struct XlFormat;
struct XlBorder;
struct WdApp;
struct WdDoc;
} // namespace detail

// Base of every automation object: where it lives and how it was reached.
class OleObject {
public:
    virtual ~OleObject() = default;
    const QString& Path() const { return path_; }

    // Made by the model only.
    OleObject(std::shared_ptr<detail::Session> s, QString path) : s_(std::move(s)), path_(std::move(path)) {}

protected:
    void Rec(Access::Kind kind, const QString& member, const QString& value = QString()) const;
    QString Sub(const QString& member) const { return path_ + QLatin1Char('.') + member; }
    std::shared_ptr<detail::Session> s_;
    QString path_;
};

// ===========================================================================
// Excel

// Excel constants the program uses.
enum : int {
    xlLeft = -4131,
    xlRight = -4152,
    xlCenter = -4108,
    xlTop = -4160,
    xlBottom = -4107,
    xlGeneral = 1,
    xlUpward = -4171,
    xlDownward = -4170,
    xlEdgeLeft = 7,
    xlEdgeTop = 8,
    xlEdgeBottom = 9,
    xlEdgeRight = 10,
    xlInsideVertical = 11,
    xlInsideHorizontal = 12,
    xlContinuous = 1,
    xlLineStyleNone = -4142,
    xlThin = 2,
    xlMedium = -4138,
    xlThick = 4,
};

class ExcelRange;
class ExcelSheet;
class ExcelWorkbook;
class ExcelApplication;

class ExcelFont : public OleObject {
public:
    void SetName(const QString& v);
    void SetSize(double v);
    void SetColor(TColor v);
    void SetBold(bool v);
    void SetItalic(bool v);
    void SetUnderline(bool v);
    void SetStrikeThrough(bool v);

    friend class ExcelRange;
    ExcelFont(std::shared_ptr<detail::Session> s, QString path, std::shared_ptr<const ExcelRange> r)
        : OleObject(std::move(s), std::move(path)), r_(std::move(r)) {}

private:
    std::shared_ptr<const ExcelRange> r_;
};

class ExcelInterior : public OleObject {
public:
    void SetColor(TColor v);

    friend class ExcelRange;
    ExcelInterior(std::shared_ptr<detail::Session> s, QString path, std::shared_ptr<const ExcelRange> r)
        : OleObject(std::move(s), std::move(path)), r_(std::move(r)) {}

private:
    std::shared_ptr<const ExcelRange> r_;
};

class ExcelBorder : public OleObject {
public:
    void SetLineStyle(int v);
    void SetColor(TColor v);
    void SetWeight(int v);

    friend class ExcelRange;
    ExcelBorder(std::shared_ptr<detail::Session> s, QString path, std::shared_ptr<const ExcelRange> r, int index)
        : OleObject(std::move(s), std::move(path)), r_(std::move(r)), index_(index) {}

private:
    void Edit(const std::function<void(detail::XlBorder&)>& fn) const;
    std::shared_ptr<const ExcelRange> r_;
    int index_;
};

// A rectangle of cells, whole columns or whole rows of one sheet.
class ExcelRange : public OleObject, public std::enable_shared_from_this<ExcelRange> {
public:
    void Select();
    void Merge();
    // A value put: with the number format "@" it stays text; otherwise a
    // text starting with "=" is a formula and a number reads as a number
    // (with the program's decimal separator), as the application reads what
    // is typed.
    void SetValue(const QString& v);
    void SetFormula(const QString& v) { SetValueAs(QStringLiteral("Formula"), v); }
    void SetNumberFormat(const QString& v);
    void SetHorizontalAlignment(int v);
    void SetVerticalAlignment(int v);
    void SetWrapText(bool v);
    void SetOrientation(int v);
    double ColumnWidth() const; // character units of the first column
    void SetColumnWidth(double v);
    double Width() const; // points, all columns of the range
    void SetRowHeight(double v);
    OleRef<ExcelFont> Font() const;
    OleRef<ExcelInterior> Interior() const;
    OleRef<ExcelBorder> Borders(int index) const;

    // Position, from 1.
    int Row() const { return r1_; }
    int Column() const { return c1_; }

private:
    friend class ExcelSheet;
    friend class ExcelApplication;
    friend class ExcelFont;
    friend class ExcelInterior;
    friend class ExcelBorder;
    enum Shape { Cells, WholeColumns, WholeRows };
public:
    ExcelRange(std::shared_ptr<detail::Session> s, QString path, std::shared_ptr<detail::XlSheet> sheet, Shape shape,
               int r1, int c1, int r2, int c2);

private:
    void SetValueAs(const QString& member, const QString& v);
    // Runs fn on the format of every cell of the range (and on the column
    // formats of whole columns).
    void Apply(const std::function<void(detail::XlFormat&)>& fn) const;
    void Dirty() const;
    std::shared_ptr<detail::XlSheet> sheet_;
    Shape shape_;
    int r1_, c1_, r2_, c2_;
};

class ExcelSheet : public OleObject {
public:
    QString Name() const;
    OleRef<ExcelRange> Cells(int row, int col) const;
    // The put of the indexed property Cells itself: Cells(row, col) := text.
    void SetCells(int row, int col, const QString& value);
    OleRef<ExcelRange> Range(const OleRef<ExcelRange>& corner1, const OleRef<ExcelRange>& corner2) const;
    // A range by its A1 name ("B3", "A1:C2").
    OleRef<ExcelRange> Range(const QString& name) const;
    OleRef<ExcelRange> Columns(int col) const;
    OleRef<ExcelRange> Rows(int row) const;
    // Puts a picture (PNG or JPEG bytes, what the clipboard would carry) at
    // the top-left cell of the destination.
    void Paste(const OleRef<ExcelRange>& destination, const QByteArray& picture);

    friend class ExcelApplication;
    friend class ExcelWorkbook;
    ExcelSheet(std::shared_ptr<detail::Session> s, QString path, std::shared_ptr<detail::XlSheet> sheet)
        : OleObject(std::move(s), std::move(path)), sheet_(std::move(sheet)) {}

private:
    std::shared_ptr<detail::XlSheet> sheet_;
};

class ExcelWorkbook : public OleObject {
public:
    QString Name() const;
    OleRef<ExcelSheet> ActiveSheet() const;
    // Writes the workbook to the file (atomically); raises with the file name
    // when it cannot.
    void SaveAs(const QString& fileName);
    void SetSaved(bool v);
    void Close(bool saveChanges = false);

    friend class ExcelWorkbooks;
    friend class ExcelApplication;
    ExcelWorkbook(std::shared_ptr<detail::Session> s, QString path, std::shared_ptr<detail::XlBook> book)
        : OleObject(std::move(s), std::move(path)), book_(std::move(book)) {}

private:
    std::shared_ptr<detail::XlBook> book_;
};

class ExcelWorkbooks : public OleObject {
public:
    OleRef<ExcelWorkbook> Add();
    int Count() const;

    friend class ExcelApplication;
    using OleObject::OleObject;
};

class ExcelWindow : public OleObject {
public:
    void Activate();

    friend class ExcelApplication;
    using OleObject::OleObject;
};

class ExcelApplication : public OleObject {
public:
    int SheetsInNewWorkbook() const;
    void SetSheetsInNewWorkbook(int v);
    OleRef<ExcelWorkbooks> Workbooks() const;
    OleRef<ExcelSheet> ActiveSheet() const;
    OleRef<ExcelRange> Selection() const;
    OleRef<ExcelWindow> ActiveWindow() const;
    bool Visible() const;
    // True writes every workbook not written since its last change and opens
    // it with the desktop's default program.
    void SetVisible(bool v);
    void SetDisplayAlerts(bool v);
    void SetCaption(const QString& v);
    // Closes every workbook without writing it; the object is dead after.
    void Quit();

    friend class ::FileOffice;
    friend class ::RecordingOffice;
    friend struct detail::Session;
    using OleObject::OleObject;
};

// ===========================================================================
// Word

enum : int {
    wdAlignParagraphLeft = 0,
    wdAlignParagraphCenter = 1,
    wdAlignParagraphRight = 2,
    wdCellAlignVerticalTop = 0,
    wdCellAlignVerticalCenter = 1,
    wdCellAlignVerticalBottom = 3,
    wdSeparateByTabs = 1,
    wdFindContinue = 1,
    wdReplaceAll = 2,
    wdStory = 6,
    wdNormalView = 1,
};

class WordFont : public OleObject {
public:
    void SetName(const QString& v);
    void SetSize(double v);
    void SetColor(TColor v);
    void SetColorIndex(int v);
    void SetBold(bool v);
    void SetItalic(bool v);
    void SetUnderline(bool v);
    void SetStrikeThrough(bool v);

    friend class WordRange;
    friend class WordSelection;
    WordFont(std::shared_ptr<detail::Session> s, QString path, std::vector<int> cells)
        : OleObject(std::move(s), std::move(path)), cells_(std::move(cells)) {}

private:
    std::vector<int> cells_; // table cells the font applies to
};

class WordShading : public OleObject {
public:
    void SetBackgroundPatternColor(TColor v);
    void SetBackgroundPatternColorIndex(int v);

    friend class WordRange;
    WordShading(std::shared_ptr<detail::Session> s, QString path, std::vector<int> cells)
        : OleObject(std::move(s), std::move(path)), cells_(std::move(cells)) {}

private:
    std::vector<int> cells_;
};

class WordParagraphs : public OleObject {
public:
    void SetAlignment(int v);

    friend class WordRange;
    friend class WordSelection;
    WordParagraphs(std::shared_ptr<detail::Session> s, QString path, std::vector<int> cells)
        : OleObject(std::move(s), std::move(path)), cells_(std::move(cells)) {}

private:
    std::vector<int> cells_;
};

// The whole document, a selection or one table cell's content.
class WordRange : public OleObject {
public:
    void SetText(const QString& v); // the whole document only
    void Select();
    OleRef<WordParagraphs> Paragraphs() const;
    OleRef<WordFont> Font() const;
    OleRef<WordShading> Shading() const;

    friend class WordDocument;
    friend class WordCell;
    friend class WordSelection;
    WordRange(std::shared_ptr<detail::Session> s, QString path, std::shared_ptr<detail::WdDoc> doc, bool whole,
              std::vector<int> cells)
        : OleObject(std::move(s), std::move(path)), doc_(std::move(doc)), whole_(whole), cells_(std::move(cells)) {}

private:
    std::shared_ptr<detail::WdDoc> doc_;
    bool whole_;
    std::vector<int> cells_;
};

class WordCell : public OleObject {
public:
    // Merges the rectangle that this cell and other span into one cell.
    void Merge(const OleRef<WordCell>& other);
    void SetVerticalAlignment(int v);
    OleRef<WordRange> Range() const;

    friend class WordTable;
    WordCell(std::shared_ptr<detail::Session> s, QString path, std::shared_ptr<detail::WdDoc> doc, int cell)
        : OleObject(std::move(s), std::move(path)), doc_(std::move(doc)), cell_(cell) {}

private:
    std::shared_ptr<detail::WdDoc> doc_;
    int cell_;
};

class WordColumn : public OleObject {
public:
    void SetWidth(double points);
    void Select();

    friend class WordColumns;
    WordColumn(std::shared_ptr<detail::Session> s, QString path, std::shared_ptr<detail::WdDoc> doc, int col)
        : OleObject(std::move(s), std::move(path)), doc_(std::move(doc)), col_(col) {}

private:
    std::shared_ptr<detail::WdDoc> doc_;
    int col_;
};

class WordColumns : public OleObject {
public:
    OleRef<WordColumn> Item(int col) const;

    friend class WordTable;
    WordColumns(std::shared_ptr<detail::Session> s, QString path, std::shared_ptr<detail::WdDoc> doc)
        : OleObject(std::move(s), std::move(path)), doc_(std::move(doc)) {}

private:
    std::shared_ptr<detail::WdDoc> doc_;
};

class WordRows : public OleObject {
public:
    void SetSpaceBetweenColumns(double points);

    friend class WordTable;
    WordRows(std::shared_ptr<detail::Session> s, QString path, std::shared_ptr<detail::WdDoc> doc)
        : OleObject(std::move(s), std::move(path)), doc_(std::move(doc)) {}

private:
    std::shared_ptr<detail::WdDoc> doc_;
};

class WordTable : public OleObject {
public:
    OleRef<WordRows> Rows() const;
    OleRef<WordColumns> Columns() const;
    // The col-th cell of the row, a cell merged across columns counting once.
    OleRef<WordCell> Cell(int row, int col) const;

    friend class WordSelection;
    WordTable(std::shared_ptr<detail::Session> s, QString path, std::shared_ptr<detail::WdDoc> doc)
        : OleObject(std::move(s), std::move(path)), doc_(std::move(doc)) {}

private:
    std::shared_ptr<detail::WdDoc> doc_;
};

class WordReplacement : public OleObject {
public:
    void ClearFormatting();
    void SetText(const QString& v);

    friend class WordFind;
    using OleObject::OleObject;
};

// Find and replace over the document; only literal text is supported, with
// "^p" (paragraph mark), "^t" (tab) and "^^" in the replacement.
class WordFind : public OleObject {
public:
    OleRef<WordReplacement> Replacement() const;
    void SetText(const QString& v);
    void SetForward(bool v);
    void SetWrap(int v);
    void SetFormat(bool v);
    void SetMatchCase(bool v);
    void SetMatchWholeWord(bool v);
    void SetMatchWildcards(bool v);
    void SetMatchSoundsLike(bool v);
    void SetMatchAllWordForms(bool v);
    // Replace := 2 replaces every occurrence; answers whether one was found.
    bool Execute(int replace);

    friend class WordSelection;
    using OleObject::OleObject;
};

class WordSelection : public OleObject {
public:
    // The selected text's paragraphs, split at the separator (1: tabs), as a
    // table of the given size.
    OleRef<WordTable> ConvertToTable(int separator, int numColumns, int numRows);
    OleRef<WordFind> Find() const;
    OleRef<WordParagraphs> Paragraphs() const;
    OleRef<WordFont> Font() const;
    OleRef<WordRange> Range() const;
    void HomeKey(int unit);

    friend class WordApplication;
    using OleObject::OleObject;
};

class WordOptions : public OleObject {
public:
    bool CheckSpellingAsYouType() const;
    void SetCheckSpellingAsYouType(bool v);
    bool CheckGrammarAsYouType() const;
    void SetCheckGrammarAsYouType(bool v);
    bool Pagination() const;
    void SetPagination(bool v);

    friend class WordApplication;
    using OleObject::OleObject;
};

class WordView : public OleObject {
public:
    void SetType(int v);

    friend class WordWindow;
    using OleObject::OleObject;
};

class WordWindow : public OleObject {
public:
    OleRef<WordView> View() const;

    friend class WordApplication;
    using OleObject::OleObject;
};

class WordDocuments : public OleObject {
public:
    int Count() const;

    friend class WordApplication;
    using OleObject::OleObject;
};

class WordDocument;

class WordApplication : public OleObject {
public:
    QString Version() const;
    bool Visible() const;
    // True writes every open document not written since its last change and
    // opens it with the desktop's default program.
    void SetVisible(bool v);
    OleRef<WordOptions> Options() const;
    OleRef<WordSelection> Selection() const;
    OleRef<WordWindow> ActiveWindow() const;
    OleRef<WordDocuments> Documents() const;
    void Activate();
    void Quit();

    friend class WordDocument;
    friend class ::FileOffice;
    friend class ::RecordingOffice;
    using OleObject::OleObject;
};

class WordDocument : public OleObject {
public:
    OleRef<WordApplication> Application() const;
    OleRef<WordRange> Range() const;
    void SetSaved(bool v);
    void Close();
    // Writes the document to the file (atomically); raises with the file name.
    void SaveAs(const QString& fileName);

    friend class ::FileOffice;
    friend class ::RecordingOffice;
    WordDocument(std::shared_ptr<detail::Session> s, QString path, std::shared_ptr<detail::WdDoc> doc)
        : OleObject(std::move(s), std::move(path)), doc_(std::move(doc)) {}

private:
    std::shared_ptr<detail::WdDoc> doc_;
};

} // namespace fc::office

// ===========================================================================
// The servers

// Where the exports get their application objects.
class IOfficeServer {
public:
    virtual ~IOfficeServer() = default;
    // The spreadsheet application already running; raises when none is.
    virtual OleRef<fc::office::ExcelApplication> GetActiveExcel() = 0;
    // A new spreadsheet application; raises when it cannot be started.
    virtual OleRef<fc::office::ExcelApplication> CreateExcel() = 0;
    // A new document, in a new word-processor application.
    virtual OleRef<fc::office::WordDocument> CreateWordDocument() = 0;
};

// The real backend: workbooks as .xlsx, documents as .docx, written when
// saved or when their application becomes visible, then shown through the
// shell. A document shown without a name is written to OutputFolder as
// "Book<n>.xlsx" / "Document<n>.docx", n the first number not yet taken.
class FileOffice : public IOfficeServer {
public:
    FileOffice();
    QString OutputFolder() const { return folder_; }
    void SetOutputFolder(const QString& folder) { folder_ = folder; }
    // nullptr: the program's shell service (fc::Shell()).
    void SetShell(IShellOpen* shell) { shell_ = shell; }

    OleRef<fc::office::ExcelApplication> GetActiveExcel() override;
    OleRef<fc::office::ExcelApplication> CreateExcel() override;
    OleRef<fc::office::WordDocument> CreateWordDocument() override;

private:
    std::shared_ptr<fc::office::detail::Session> NewSession(bool excel);
    QString folder_;
    IShellOpen* shell_ = nullptr;
    std::weak_ptr<fc::office::ExcelApplication> running_;
};

// The fake: nothing is written or shown; every member access is logged.
class RecordingOffice : public IOfficeServer {
public:
    RecordingOffice();
    ~RecordingOffice() override;

    // The log, one line per member access, of every application made here.
    QStringList Lines() const;
    const std::vector<fc::office::Access>& Log() const { return *log_; }
    void ClearLog() { log_->clear(); }
    // Lines of puts and calls only (no object fetches, no reads).
    QStringList Actions() const;

    // Scripted behaviour.
    QString WordVersion = QStringLiteral("9.0");
    // Non-empty: creating an application raises this message.
    QString CreateError;
    // A running spreadsheet application with this many workbooks of the
    // user's (-1: none runs).
    int RunningExcelWorkbooks = -1;
    // Called before each access is carried out; may raise to make it fail.
    std::function<void(const fc::office::Access&)> OnAccess;

    // What was made, for inspection.
    OleRef<fc::office::ExcelApplication> Excel;
    OleRef<fc::office::WordDocument> Document;

    OleRef<fc::office::ExcelApplication> GetActiveExcel() override;
    OleRef<fc::office::ExcelApplication> CreateExcel() override;
    OleRef<fc::office::WordDocument> CreateWordDocument() override;

private:
    std::shared_ptr<fc::office::detail::Session> NewSession(bool excel);
    std::shared_ptr<std::vector<fc::office::Access>> log_;
    std::shared_ptr<bool> alive_;
};

// Installs a RecordingOffice for the lifetime of the object (tests).
class ScopedRecordingOffice : public RecordingOffice {
public:
    ScopedRecordingOffice();
    ~ScopedRecordingOffice() override;

private:
    IOfficeServer* previous_;
};

namespace fc {
// The installed server; a FileOffice writing to the user's own folder under
// the temporary folder until another is installed.
IOfficeServer& Office();
void SetOffice(IOfficeServer* server); // nullptr: back to the default
IOfficeServer* InstalledOffice();
} // namespace fc
