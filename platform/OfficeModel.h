#pragma once
// The in-memory workbooks and documents behind the automation objects of
// Office.h, and the writers that turn them into files. Internal to the
// platform layer.

#include <QString>
#include <QStringList>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "Office.h"

namespace fc::office::detail {

// Shared by the automation objects of both applications.
inline QString N(int v) { return QString::number(v); }
inline EOleError Refused(const QString& what) { return EOleError(what); }

// ---------------------------------------------------------------------------
// Spreadsheet

struct XlFont {
    QString name = QStringLiteral("Calibri");
    double size = 11;
    TColor color = clBlack;
    bool bold = false, italic = false, underline = false, strike = false;
    friend bool operator==(const XlFont&, const XlFont&) = default;
};

struct XlBorder {
    int style = xlLineStyleNone;
    TColor color = clBlack;
    int weight = xlThin;
    friend bool operator==(const XlBorder&, const XlBorder&) = default;
};

struct XlFormat {
    XlFont font;
    std::optional<TColor> fill;
    int hAlign = xlGeneral;
    int vAlign = xlBottom;
    bool wrap = false;
    int orientation = 0;
    QString numberFormat = QStringLiteral("General");
    std::array<XlBorder, 4> borders; // left, top, bottom, right
    friend bool operator==(const XlFormat&, const XlFormat&) = default;
};

struct XlCell {
    enum Kind { Empty, Text, Number, Formula } kind = Empty;
    QString text;
    double number = 0;
    XlFormat format;
};

struct XlRect {
    int r1, c1, r2, c2;
    bool live = true; // false once a larger merge took it in
};

struct XlPicture {
    int row, col;
    QByteArray bytes;
};

constexpr int kXlMaxRows = 1048576;
constexpr int kXlMaxCols = 16384;
constexpr double kXlDefaultColumnWidth = 8.43;
constexpr double kXlDefaultRowHeight = 15;

struct XlSheet {
    QString name;
    std::map<std::pair<int, int>, XlCell> cells; // (row, col)
    std::map<int, double> columnWidths;           // character units
    std::map<int, XlFormat> columnFormats;
    std::map<int, double> rowHeights;             // points
    // In the order they were made; a merge taken into a larger one stays
    // in place, no longer live. byRow indexes the live and dead ones by each
    // row they cover, so that a cell finds its merge without a walk of all.
    std::vector<XlRect> merges;
    std::unordered_map<int, std::vector<int>> mergesByRow;
    std::vector<XlPicture> pictures;
    std::weak_ptr<XlBook> book;

    XlCell& CellAt(int row, int col);
    XlFormat ColumnFormat(int col) const;
    double ColumnWidth(int col) const;
    // True for a cell inside a merged area other than its top-left one.
    bool Covered(int row, int col) const;
    // The live merge holding the cell, or -1.
    int MergeAt(int row, int col) const;
    // Adds a merge (overlapping no live one).
    void AddMerge(const XlRect& m);
};

// Leaves the cell empty, its format as it was.
void ClearValue(XlCell& cell);

struct XlBook {
    QString name;
    std::vector<std::shared_ptr<XlSheet>> sheets;
    int active = 0;
    QString fileName;      // where it was saved, empty while it has no name
    bool dirty = true;     // changed since it was last written or shown
    QString shownFile;     // the copy last written to be shown
};

// Writes the workbook as .xlsx to fileName, atomically. With
// replaceLink a link of that name is replaced itself, never followed.
void WriteXlsx(const XlBook& book, const QString& fileName, bool replaceLink = false);

// Column width in character units to points, as the application rounds it
// to whole pixels of its default font.
double ColumnWidthToPoints(double width);

// ---------------------------------------------------------------------------
// Word processor

struct WdFont {
    QString name = QStringLiteral("Times New Roman");
    double size = 10;
    std::optional<TColor> color; // RGB; none: the colour index
    int colorIndex = 0;           // 0: automatic
    bool bold = false, italic = false, underline = false, strike = false;
};

struct WdCell {
    int r1, c1, r2, c2; // slots covered, from 0
    QStringList paragraphs{QString()};
    int alignment = wdAlignParagraphLeft;
    int vAlign = wdCellAlignVerticalTop;
    WdFont font;
    std::optional<TColor> shading;
    int shadingIndex = 0;
    bool alive = true; // false once merged into another cell
};

struct WdTable {
    int rows = 0, cols = 0;
    std::vector<double> widths; // points per column
    std::vector<int> slotIds; // rows × cols, cell index
    std::vector<WdCell> cells;
    double spaceBetweenColumns = 5.4;
    int& Slot(int r, int c) { return slotIds[size_t(r * cols + c)]; }
    int Slot(int r, int c) const { return slotIds[size_t(r * cols + c)]; }
};

struct WdDoc {
    QString name;
    QStringList paragraphs{QString()}; // body text while there is no table
    std::optional<WdTable> table;
    WdFont font;
    // Selection: the whole story, a table column (from 1), or collapsed.
    enum Sel { SelStory, SelColumn, SelCollapsed } sel = SelCollapsed;
    int selColumn = 0;
    bool dirty = true;
    bool saved = false;
    bool open = true;
    QString shownFile;
    // Find state.
    QString findText, replaceText;
    bool matchCase = false;
};

// Writes the document as .docx to fileName, atomically (replaceLink as for
// the workbook).
void WriteDocx(const WdDoc& doc, const QString& fileName, bool replaceLink = false);

// Writes bytes to fileName through a temporary file in the same folder and
// a rename; raises EFileError naming the file when it cannot.
void WriteFileAtomically(const QString& fileName, const QByteArray& bytes, bool replaceLink = false);

// ---------------------------------------------------------------------------

// One application instance: its state, where it logs, how it writes.
struct Session {
    bool excel = true;
    std::shared_ptr<std::vector<Access>> log;
    std::function<void(const Access&)> onAccess;
    bool writeFiles = false;
    QString folder;
    IShellOpen* shell = nullptr;
    bool quit = false;
    bool visible = false;

    // spreadsheet
    int sheetsInNewWorkbook = 3;
    std::vector<std::shared_ptr<XlBook>> books;
    std::shared_ptr<XlBook> activeBook;
    std::shared_ptr<XlSheet> selSheet;
    XlRect sel{1, 1, 1, 1};
    bool displayAlerts = true;
    QString caption;
    int bookCounter = 0;

    // word processor
    QString version;
    bool checkSpelling = true, checkGrammar = true, pagination = true;
    std::vector<std::shared_ptr<WdDoc>> docs;
    std::shared_ptr<WdDoc> activeDoc;
    int viewType = 3;
    int docCounter = 0;

    void Record(Access::Kind kind, const QString& receiver, const QString& member, const QString& value);
    // Writes what changed and opens it.
    void Show();
    QString FreeName(const QString& stem, const QString& ext) const;
};

} // namespace fc::office::detail
