#pragma once
// The grid control's model: the grid with its properties, a column object
// per column and a cell object per cell, cells merged over rectangles,
// column group levels, word wrap and row heights. The model keeps all the
// grid's state, including what the underlying scrolling grid holds (row
// heights, column widths, first visible row and column, its current cell);
// where the control has to reach the screen or the in-place editor it calls
// a virtual hook that does nothing here and that the widget overrides.

#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "platform/Alignment.h"
#include "platform/Colors.h"
#include "platform/Font.h"
#include "platform/Office.h"

class TProfGrid;
class TProfGridCol;

namespace fc {
// Sets on target each font attribute (name, size, style, colour, pitch)
// that differs between before and after, so that target keeps what the
// change did not touch. True when target changed.
bool ApplyFontChange(TFont& target, const TFont& before, const TFont& after);
} // namespace fc

class TProfGridCell;

// The clipboard text of a cell: every double quote doubled.
QString QuoteCellText(const QString& s);
// A field of clipboard text back to cell text: line feeds become CR LF,
// doubled quotes single, and enclosing quotes are removed.
QString UnquoteCellText(const QString& s);

// Vertical alignment of a cell's text.
enum : quint8 { vaTop = 0, vaBottom = 1, vaCenter = 2 };

enum TProfGridOption : quint8 {
    pgoFixedVertLine,
    pgoFixedHorzLine,
    pgoVertLine,
    pgoHorzLine,
    pgoRangeSelect,
    pgoDrawFocusSelected,
    pgoColSizing,
    pgoEditing,
    pgoTabs,
    pgoRowSelect,
    pgoAlwaysShowEditor,
    pgoThumbTracking,
    pgoSelectFixedCols,
    pgoSelectFixedRows,
    pgoDrawFocusRectangle,
    pgoMultiLineCells,
    pgoEnterThrough,
    pgoClearCellOnDel,
    pgoTabThrough,
    pgoChangeColorFixedCells,
    pgoInsertColWhenPasting,
    pgoInsertRowWhenPasting,
};

// A set of options, as the layout streams it.
class TProfGridOptions {
public:
    constexpr TProfGridOptions() = default;
    constexpr TProfGridOptions(std::initializer_list<TProfGridOption> options)
    {
        for (TProfGridOption o : options)
            bits_ |= Bit(o);
    }
    constexpr bool Has(TProfGridOption o) const { return (bits_ & Bit(o)) != 0; }
    constexpr TProfGridOptions& operator+=(TProfGridOption o)
    {
        bits_ |= Bit(o);
        return *this;
    }
    constexpr TProfGridOptions& operator-=(TProfGridOption o)
    {
        bits_ &= ~Bit(o);
        return *this;
    }
    friend constexpr TProfGridOptions operator+(TProfGridOptions s, TProfGridOption o) { return s += o; }
    friend constexpr TProfGridOptions operator-(TProfGridOptions s, TProfGridOption o) { return s -= o; }
    friend constexpr bool operator==(TProfGridOptions, TProfGridOptions) = default;
    constexpr quint32 Bits() const { return bits_; }

private:
    static constexpr quint32 Bit(TProfGridOption o) { return quint32(1) << quint32(o); }
    quint32 bits_ = 0;
};

enum TClipboardLineBreak : quint8 { clbNone, clbSpace, clbEnter, clbSoftEnter };
enum TBorderStyle : quint8 { bsNone, bsSingle };
enum TScrollStyle : quint8 { ssNone, ssHorizontal, ssVertical, ssBoth };

enum TPrintOption : quint8 { poUseVertLine = 1, poUseHorzLine = 2, poUseFixedVertLine = 4, poUseFixedHorzLine = 8 };
using TPrintOptions = quint8;

// Page margins as fractions of the page; kept and streamed only.
class TPrintMargins {
public:
    double Left() const { return left_; }
    double Right() const { return right_; }
    double Top() const { return top_; }
    double Bottom() const { return bottom_; }
    // A value is taken when it is 0 or more and leaves room beside the
    // opposite margin; otherwise the old value stays.
    void SetLeft(double v) { Accept(left_, v, right_); }
    void SetRight(double v) { Accept(right_, v, left_); }
    void SetTop(double v) { Accept(top_, v, bottom_); }
    void SetBottom(double v) { Accept(bottom_, v, top_); }

private:
    static void Accept(double& field, double v, double opposite)
    {
        if (v >= 0.0 && v + opposite < 1.0)
            field = v;
    }
    double left_ = 0, right_ = 0, top_ = 0, bottom_ = 0;
};

// ---------------------------------------------------------------------------

class TProfGridCell {
public:
    TProfGridCell(TProfGridCol* column, int row);
    TProfGridCell(const TProfGridCell&) = delete;
    // Cells come from a pool of their own: a result grid makes and lets go
    // of tens of thousands at a time, one size all.
    static void* operator new(size_t size);
    static void operator delete(void* p, size_t size) noexcept;
    TProfGridCell& operator=(const TProfGridCell&) = delete;

    TProfGrid& Grid() const { return *grid_; }
    int TopRow() const { return topRow_; }
    int BottomRow() const { return bottomRow_; }
    TProfGridCol* FirstCol() const { return firstCol_; }
    TProfGridCol* LastCol() const { return lastCol_; }
    // Column index of FirstCol.
    int Col() const;
    // Column indexes of the first and last visible columns of the span.
    int LeftVisibleCol() const;
    int RightVisibleCol() const;
    bool IsFixed() const;
    bool IsSelected() const;

    const QString& Text() const { return text_; }
    void SetText(const QString& value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    quint8 VertAlignment() const { return vertAlignment_; }
    void SetVertAlignment(quint8 value);
    const TFont& Font() const { return font_; }
    // Takes the attributes of value; any change of the cell font goes
    // through here so that the cell wraps again.
    void SetFont(const TFont& value);
    void SetFontStyle(TFontStyles style);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value) { maxLength_ = value > 0 ? value : 0; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }

    // Word wrap and heights.
    QStringList Lines() const { return soleLine_ ? QStringList{text_} : lines_; }
    int Height() const { return height_; }
    bool NeedsWrap() const { return needsWrap_; }
    int CalcHeight();

    // Repaints the cell on screen, once the control has a window.
    void Redraw();

private:
    friend class TProfGrid;
    friend class TProfGridCol;
    void FontChanged();
    // The display lines into lines; true in whole when the text is one line
    // as it stands, which lines then does not hold.
    bool Wrap(QStringList& lines, bool& whole) const;

    TProfGrid* grid_;
    int topRow_, bottomRow_;
    TProfGridCol* firstCol_;
    TProfGridCol* lastCol_;
    TColor color_;
    TFont font_;
    int height_;
    QString text_;
    QStringList lines_;
    // The text is its one display line, kept without a list of its own (most
    // cells of a grid are such); a new text first puts that line in the list.
    bool soleLine_ = false;
    int maxLength_ = 0;
    bool readOnly_ = false;
    bool needsWrap_ = false;
    TAlignment alignment_;
    quint8 vertAlignment_;
};

// ---------------------------------------------------------------------------

class TProfGridCol {
public:
    TProfGridCol(TProfGrid* grid, int index);
    ~TProfGridCol();
    TProfGridCol(const TProfGridCol&) = delete;
    TProfGridCol& operator=(const TProfGridCol&) = delete;

    TProfGrid& Grid() const { return *grid_; }
    int Index() const;
    int LayoutIndex() const;

    // The cell covering ARow, creating the missing cells up to it.
    TProfGridCell& CellAt(int ARow);
    // Number of slots created so far.
    int SlotCount() const { return int(cells_.size()); }
    // The object in slot ARow, or nullptr when the slot does not exist yet.
    TProfGridCell* Slot(int ARow) const;

    int Width() const { return width_; }
    void SetWidth(int value);
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int value);
    int MaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value) { alignment_ = value; }
    quint8 VertAlignment() const { return vertAlignment_; }
    void SetVertAlignment(quint8 value) { vertAlignment_ = value; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& value);
    bool NumericOnly() const { return numericOnly_; }
    void SetNumericOnly(bool value) { numericOnly_ = value; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    bool NeedsWrap() const { return needsWrap_; }
    void SetNeedsWrap(bool value) { needsWrap_ = value; }

    int GroupLevel() const { return groupLevel_; }
    void RaiseGroupLevel();
    int LowerGroupLevel();
    std::function<void(TProfGridCol& sender, int oldLevel, int newLevel)> OnGroupLevelChange;

private:
    friend class TProfGrid;
    friend class TProfGridCell;
    void FontChanged();
    void ChangeLevel(int newLevel);

    TProfGrid* grid_;
    int width_;
    int minWidth_ = 0;
    int maxWidth_ = 0;
    TColor color_;
    TAlignment alignment_ = taLeftJustify;
    quint8 vertAlignment_ = vaTop;
    TFont font_;
    TFont previousFont_;
    bool numericOnly_ = false;
    bool visible_ = true;
    bool needsWrap_ = false;
    bool readOnly_ = false;
    std::vector<TProfGridCell*> cells_;
    int groupLevel_ = 0;
};

// ---------------------------------------------------------------------------

// The selected rectangle of column and row indexes.
class TProfGridSelection {
public:
    explicit TProfGridSelection(TProfGrid* grid);

    int Left() const { return left_; }
    int Right() const { return right_; }
    int Top() const { return top_; }
    int Bottom() const { return bottom_; }
    void SetLeft(int v);
    void SetRight(int v);
    void SetTop(int v);
    void SetBottom(int v);
    void BeginUpdate() { locked_ = true; }
    void EndUpdate();
    // Widens to whole rows with pgoRowSelect and repaints the cells whose
    // selection state changed.
    void Update();

    // Empties the selected cells; read-only ones only with force. False
    // when a read-only cell kept its text.
    bool ClearCells(bool force);
    // Puts the selected rectangle on the clipboard as text and as the
    // grid's own component; false when the clipboard failed.
    bool CopyToClipboard();

private:
    friend class TProfGrid;
    TProfGrid* grid_;
    bool locked_ = false;
    int left_ = 0, right_ = 0, top_ = 0, bottom_ = 0;
    int prevLeft_ = -1, prevRight_ = -1, prevTop_ = -1, prevBottom_ = -1;
};

// ---------------------------------------------------------------------------

// Progress of an export: Position 0 with the step total first, then the
// running count at every counted automation access, -1 (with EndPosition 0)
// at the end. Setting StopExport ends the export at that access.
using TExportProgressEvent =
    std::function<void(TProfGrid& sender, int position, int endPosition, bool& stopExport)>;

// The word processor's colour index of a colour (1 to 16 for the sixteen
// basic colours, 0 for any other), system colours taken as their RGB value.
int WordColorIndex(TColor color);

class TProfGrid {
public:
    TProfGrid();
    virtual ~TProfGrid();
    TProfGrid(const TProfGrid&) = delete;
    TProfGrid& operator=(const TProfGrid&) = delete;

    // Text measures; the program's measurer unless one is injected.
    void SetTextMeasurer(const ITextMeasurer* measurer) { measurer_ = measurer; }
    const ITextMeasurer& Measurer() const;

    // --- update bracket
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // --- accessors (all raise "List index out of bounds")
    TProfGridCell& Cell(int ACol, int ARow);
    TProfGridCol& Columns(int index) const;
    TProfGridCol& LayoutColumns(int index) const;
    int ColWidths(int index) const;
    int RowHeights(int index) const;
    // A width given to the underlying grid (the stored layout, a drag of
    // the underlying grid); it reaches the column through ColWidthsChanged.
    void SetColWidths(int index, int width);
    void ColWidthsChanged();

    // --- counts and fixed area
    int ColCount() const { return colCount_; }
    void SetColCount(int value);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int value);
    int FixedCols() const { return base_.fixedCols; }
    void SetFixedCols(int value);
    int FixedRows() const { return base_.fixedRows; }
    void SetFixedRows(int value);

    // --- current cell, scrolling
    int Col() const { return col_; }
    int Row() const { return row_; }
    void SetCol(int value);
    void SetRow(int value);
    int TopRow() const { return base_.topRow; }
    int LeftCol() const { return base_.leftCol; }
    void SetTopRow(int value);
    void SetLeftCol(int value);
    int ColLeft(int ACol) const;
    int RowTop(int ARow) const;
    // Fully visible scrollable columns and rows in the client area; with no
    // client area known every column and row after LeftCol / TopRow counts.
    virtual int VisibleColCount() const;
    virtual int VisibleRowCount() const;
    void SetClientSize(int width, int height);
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    // The underlying grid's current cell.
    int BaseCol() const { return base_.col; }
    int BaseRow() const { return base_.row; }

    // --- selection
    TProfGridSelection& Selection() { return selection_; }
    const TProfGridSelection& Selection() const { return selection_; }
    int AnchorCol() const { return anchorCol_; }
    int AnchorRow() const { return anchorRow_; }
    int PreviousCol() const { return prevCol_; }
    int PreviousRow() const { return prevRow_; }
    bool RangeSelecting() const { return rangeSelecting_; }
    void SetRangeSelecting(bool v) { rangeSelecting_ = v; }
    void SetAnchor(int ACol, int ARow)
    {
        anchorCol_ = ACol;
        anchorRow_ = ARow;
    }
    // Moves the current cell; the answer tells whether it moved or
    // re-selected.
    virtual bool SelectCell(int ACol, int ARow);

    // --- shape operations
    bool InsertCol(int index);
    bool DeleteCol(int index);
    bool InsertRow(int ACol, int ARow, bool after);
    bool DeleteRow(int ARow);
    // Moves a column or a row to another index, the others closing up, as
    // the underlying grid does; OnColumnMoved / OnRowMoved report it. False
    // (nothing moved) for an index outside the grid, an unchanged one, a
    // move across the edge of the fixed area, when a cell merged across the
    // moved way or a column group lies in the way, or when the editor stays
    // open.
    bool MoveColumn(int fromIndex, int toIndex);
    bool MoveRow(int fromIndex, int toIndex);
    // Merges the rectangle of cells into one, keeping the top-left cell's
    // text and look; refused when the rectangle would cut a merged cell or
    // cross the edge of the fixed area.
    bool MergeCells(int ACol1, int ARow1, int ACol2, int ARow2);

    // Pastes the clipboard at the current cell: the grid's own component
    // when it holds one, else tab-separated text. False on a failure; the
    // cells pasted so far stay.
    bool PasteFromClipboard();

    // --- word wrap and row heights
    void RecalcRowHeight(int ARow);
    void RecalcRowHeights();
    bool RowHeightsDeferred() const { return rowHeightsDeferred_; }
    bool RewrapAll() const { return rewrapAll_; }

    // --- properties
    QString About() const { return QStringLiteral("v1.05.19"); }
    void SetAbout(const QString&) {}
    int BorderForText() const { return borderForText_; }
    void SetBorderForText(int value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v) { borderStyle_ = v; }
    TClipboardLineBreak ClipboardLineBreak() const;
    void SetClipboardLineBreak(TClipboardLineBreak value);
    // The text that replaces CR LF in copied cell text.
    const QString& ClipboardLineBreakText() const { return clipboardLineBreak_; }
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool v) { ctl3D_ = v; }
    int DefaultColWidth() const { return base_.defaultColWidth; }
    void SetDefaultColWidth(int value);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool v) { defaultDrawing_ = v; }
    int DefaultRowHeight() const { return base_.defaultRowHeight; }
    void SetDefaultRowHeight(int value);
    TColor EditColor() const { return editColor_; }
    void SetEditColor(TColor value);
    const QString& EllipsisCharacter() const { return ellipsis_; }
    void SetEllipsisCharacter(const QString& value);
    const QString& ExportTag() const { return exportTag_; }
    void SetExportTag(const QString& value);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor value);
    TColor FixedGridLineColor() const { return fixedGridLineColor_; }
    void SetFixedGridLineColor(TColor value);
    TColor GridLineColor() const { return gridLineColor_; }
    void SetGridLineColor(TColor value);
    int GridLineWidth() const { return base_.gridLineWidth; }
    void SetGridLineWidth(int value);
    TProfGridOptions Options() const { return options_; }
    void SetOptions(TProfGridOptions value);
    bool ThumbTracking() const { return base_.thumbTracking; }
    TColor SelectColor() const { return selectColor_; }
    void SetSelectColor(TColor value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle v) { scrollBars_ = v; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& value);

    // Print properties: kept only.
    const QString& Title() const { return title_; }
    void SetTitle(const QString& v) { title_ = v; }
    const QString& Header() const { return header_; }
    void SetHeader(const QString& v) { header_ = v; }
    const QString& Footer() const { return footer_; }
    void SetFooter(const QString& v) { footer_ = v; }
    const TFont& HeaderFont() const { return headerFont_; }
    void SetHeaderFont(const TFont& f) { headerFont_ = f; }
    const TFont& FooterFont() const { return footerFont_; }
    void SetFooterFont(const TFont& f) { footerFont_ = f; }
    TPrintMargins& PrintMargins() { return printMargins_; }
    TPrintOptions PrintOptions() const { return printOptions_; }
    void SetPrintOptions(TPrintOptions v) { printOptions_ = v; }

    // --- events
    std::function<void(TProfGrid& sender, int ARow)> OnRowResized;
    std::function<void(TProfGrid& sender, int ACol, int ARow, bool& canSelect)> OnSelectCell;
    std::function<void(TProfGrid& sender)> OnClick;
    std::function<void(TProfGrid& sender)> OnTopLeftChanged;
    std::function<void(TProfGrid& sender, int fromIndex, int toIndex)> OnColumnMoved;
    std::function<void(TProfGrid& sender, int fromIndex, int toIndex)> OnRowMoved;
    TExportProgressEvent OnExportProgress;

    // --- exports (the word processor's table, the spreadsheet's sheet)
    // FormatAllCells false formats only the fixed rows' cells beyond their
    // columns. Word: true after an export that ran to its end or that could
    // not start (the user was told); Excel: true only after an export that
    // ran to its end.
    bool ExportToWord(bool FormatAllCells);
    bool ExportToExcel(bool FormatAllCells);
    // Why the last export failed once it had started (the file and the
    // system's reason of a save that failed), or empty.
    const QString& LastExportError() const { return lastExportError_; }

    // --- the widget's side
    // After the window layout is read: with pgoAlwaysShowEditor the editor
    // opens.
    void Loaded();
    // Set once the control has a window; single cells repaint only then.
    bool WindowHandleCreated() const { return windowHandleCreated_; }
    void SetWindowHandleCreated(bool v) { windowHandleCreated_ = v; }
    // Opens or closes the in-place editor; the model has none.
    virtual void SetEditorMode(bool /*value*/) {}
    virtual bool EditorMode() const { return false; }
    // Repaints the whole control; suppressed inside an update bracket.
    void Repaint();
    // True while the editor is open on this cell.
    bool IsEditingCell(const TProfGridCell* cell) const;

protected:
    // Paints the whole control (after Repaint's check).
    virtual void PaintControl() {}
    // Paints one cell (after Redraw's check); exceptions are swallowed.
    virtual void PaintCell(int /*ACol*/, int /*ARow*/, bool /*fixed*/) {}
    // The underlying grid's counts, sizes, fixed area or scroll position
    // changed.
    virtual void BaseGridChanged() {}
    // Fires OnTopLeftChanged.
    virtual void TopLeftChanged();
    // The editor's text while it edits the current cell.
    virtual void SetEditorText(const QString& /*text*/) {}
    // The editor's font and lines while it edits the current cell; false
    // when it cannot tell.
    virtual bool EditorContent(TFont& /*font*/, QStringList& /*lines*/, QString& /*text*/) const { return false; }
    // Border width, colour or word wrap of the editor changed.
    virtual void EditorPropertiesChanged() {}
    // The cell must wrap again (its lines came from the editor).
    static void MarkNeedsWrap(TProfGridCell& cell) { cell.needsWrap_ = true; }
    // Stores a text as it is, without the numeric check of SetText.
    static void StoreCellText(TProfGridCell& cell, const QString& text) { cell.text_ = text; }

private:
    friend class TProfGridCell;
    friend class TProfGridCol;
    friend class TProfGridSelection;

    struct BaseGrid {
        int rowCount = 5;
        int colCount = 5;
        int fixedRows = 1;
        int fixedCols = 1;
        int topRow = 1;
        int leftCol = 1;
        int col = 1;
        int row = 1;
        int defaultColWidth = 64;
        int defaultRowHeight = 24;
        int gridLineWidth = 1;
        bool thumbTracking = false;
        std::vector<int> colWidths;
        std::vector<int> rowHeights;
    };

    TProfGridCol* NewColumn(int index);
    // The rows of the cell at a layout position and row; a slot not created
    // yet stands for a single cell.
    std::pair<int, int> CellRows(int p, int r) const;
    // True when, over rows r1 to r2, every cell of the column at layout
    // position p begins and ends where a cell of the next column does, the
    // cells' rows given by rowsOf (layout position, row).
    bool MadeOfWholeCells(int p, int r1, int r2,
                          const std::function<std::pair<int, int>(int, int)>& rowsOf) const;
    bool MadeOfWholeCells(int p) const;
    int BaseColWidth(int index) const;
    int BaseRowHeight(int index) const;
    void NotifyTopLeft();
    void ApplyFixedRows(int value);
    void ApplyFixedCols(int value, bool moveCurrent);
    // The largest fixed-row count not above value whose edge cuts no cell.
    int SafeFixedRows(int value);
    bool deleteLastRow(std::vector<TProfGridCell*>& seen);
    void rowGone();
    void ClampState();
    void PushToBase();
    void MoveBaseCurrent(int ACol, int ARow);
    void SetBaseRowHeight(int row, int height);
    void NoteTopLeft(int& left, int& top) const
    {
        left = base_.leftCol;
        top = base_.topRow;
    }
    void FireTopLeftIfMoved(int left, int top);
    void ScrollIntoView(int ACol, int ARow);
    // After a move: the current cell, anchor and previous cell follow their
    // column or row, the selection is the current cell.
    void FollowMove(bool columns, int from, int to);
    // Both indexes below count, different, on one side of the fixed edge,
    // and the editor closed.
    bool CanMove(int from, int to, int count, int fixed);

    const ITextMeasurer* measurer_ = nullptr;
    BaseGrid base_;
    int colCount_ = 5;
    int rowCount_ = 5;
    int col_ = 1;
    int row_ = 1;
    std::vector<TProfGridCol*> columns_;
    std::vector<TProfGridCol*> layout_;
    int updateCount_ = 0;
    bool rowHeightsDeferred_ = false;
    bool rewrapAll_ = false;
    TProfGridSelection selection_;
    int prevCol_ = 1, prevRow_ = 1;
    int anchorCol_ = 1, anchorRow_ = 1;
    bool rangeSelecting_ = false;
    bool selecting_ = false;
    int topLeftMuted_ = 0;
    bool windowHandleCreated_ = false;
    int clientWidth_ = 0, clientHeight_ = 0;

    int borderForText_ = 2;
    TBorderStyle borderStyle_ = bsSingle;
    QString clipboardLineBreak_ = QStringLiteral("\n");
    TColor color_ = clWindow;
    bool ctl3D_ = true;
    bool defaultDrawing_ = true;
    TColor editColor_ = clWindow;
    QString ellipsis_ = QString(QChar(0x2026));
    QString exportTag_ = QStringLiteral("ProfGridTag");
    TColor fixedColor_ = clBtnFace;
    TColor fixedGridLineColor_ = clBlack;
    TColor gridLineColor_ = clSilver;
    TProfGridOptions options_{pgoFixedVertLine, pgoFixedHorzLine, pgoVertLine, pgoHorzLine, pgoRangeSelect,
                              pgoTabs, pgoDrawFocusRectangle, pgoMultiLineCells};
    TColor selectColor_ = clHighlight;
    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = ssBoth;
    TFont font_;
    TFont previousFont_;
    QString title_, header_, footer_;
    TFont headerFont_, footerFont_;
    TPrintMargins printMargins_;
    TPrintOptions printOptions_ = poUseVertLine | poUseHorzLine | poUseFixedVertLine | poUseFixedHorzLine;

    // --- export state
    QString BuildExportText();
    int CountWordSteps(bool FormatAllCells);
    int CountExcelSteps(bool FormatAllCells);
    // The merges and cell formatting of both exports, right-most column
    // first; targets count from 1.
    void WalkExportCells(const std::function<void(int k, int r, int bottomRow, int leftVisibleCol)>& merge,
                         const std::function<void(TProfGridCell& cell, int k, int row, int col)>& format);
    void FireExportProgress(int position, int endPosition);
    template <class T>
    OleRef<T> CountedAccess(const OleRef<T>& ref);
    OleRef<fc::office::WordApplication> GetWordApplication();
    OleRef<fc::office::WordDocument> GetWordDocument();
    OleRef<fc::office::WordTable> GetWordTable();
    OleRef<fc::office::ExcelApplication> GetExcelApplication();
    OleRef<fc::office::ExcelSheet> GetExcelSheet();

    int exportPosition_ = 0;
    QString lastExportError_;
    int exportEndPosition_ = 0;
    bool stopExport_ = false;
    int wordVersion_ = 0;
    OleRef<fc::office::WordApplication> wordApplication_;
    OleRef<fc::office::WordDocument> wordDocument_;
    OleRef<fc::office::WordTable> wordTable_;
    OleRef<fc::office::ExcelApplication> excelApplication_;
    OleRef<fc::office::ExcelSheet> excelSheet_;
};
