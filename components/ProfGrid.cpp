// The grid control's model: properties, update bracket, accessors, current
// cell and selection, shape operations and row heights.

#include "ProfGrid.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <unordered_set>

#include "platform/Errors.h"

namespace {

// Runs a function on every way out of a scope, like a finally block: an
// error it raises passes on, unless another one is already on its way.
template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)), pending_(std::uncaught_exceptions()) {}
    ~ScopeExit() noexcept(false)
    {
        if (std::uncaught_exceptions() > pending_) {
            try {
                f_();
            } catch (...) {
            }
        } else {
            f_();
        }
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    F f_;
    int pending_;
};

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

} // namespace

// ---------------------------------------------------------------------------
// Selection

TProfGridSelection::TProfGridSelection(TProfGrid* grid) : grid_(grid) {}

void TProfGridSelection::SetLeft(int v)
{
    left_ = v;
    if (!locked_)
        Update();
}

void TProfGridSelection::SetRight(int v)
{
    right_ = v;
    if (!locked_)
        Update();
}

void TProfGridSelection::SetTop(int v)
{
    top_ = v;
    if (!locked_)
        Update();
}

void TProfGridSelection::SetBottom(int v)
{
    bottom_ = v;
    if (!locked_)
        Update();
}

void TProfGridSelection::EndUpdate()
{
    locked_ = false;
    Update();
}

void TProfGridSelection::Update()
{
    TProfGrid& g = *grid_;
    if (g.Options().Has(pgoRowSelect) && g.ColCount() > 0 && g.RowCount() > 0) {
        left_ = g.Options().Has(pgoSelectFixedCols) ? 0 : g.FixedCols();
        top_ = g.Cell(left_, Clamp(top_, 0, g.RowCount() - 1)).TopRow();
        bottom_ = g.Cell(left_, Clamp(bottom_, 0, g.RowCount() - 1)).BottomRow();
        right_ = g.ColCount() - 1;
    }
    if (left_ == prevLeft_ && right_ == prevRight_ && top_ == prevTop_ && bottom_ == prevBottom_)
        return;
    if (g.WindowHandleCreated() && g.UpdateCount() == 0) {
        TProfGridCell* current = nullptr;
        TProfGridCell* previous = nullptr;
        if (g.Col() < g.ColCount() && g.Row() < g.RowCount())
            current = &g.Cell(g.Col(), g.Row());
        if (g.PreviousCol() >= 0 && g.PreviousCol() < g.ColCount() && g.PreviousRow() >= 0
            && g.PreviousRow() < g.RowCount())
            previous = &g.Cell(g.PreviousCol(), g.PreviousRow());
        auto visit = [&](int c, int r) {
            if (c < 0 || r < 0 || c >= g.ColCount() || r >= g.RowCount())
                return;
            TProfGridCell& cell = g.Cell(c, r);
            const bool now = cell.IsSelected();
            const bool was = cell.LeftVisibleCol() <= prevRight_ && cell.RightVisibleCol() >= prevLeft_
                && cell.TopRow() <= prevBottom_ && cell.BottomRow() >= prevTop_;
            if (now != was || &cell == current || &cell == previous)
                cell.Redraw();
        };
        const int rowEnd = g.TopRow() + g.VisibleRowCount();
        const int colEnd = g.LeftCol() + g.VisibleColCount();
        for (int c = 0; c < g.FixedCols(); ++c)
            for (int r = g.TopRow(); r <= rowEnd; ++r)
                visit(c, r);
        for (int r = 0; r < g.FixedRows(); ++r) {
            for (int c = 0; c < g.FixedCols(); ++c)
                visit(c, r);
            for (int c = g.LeftCol(); c <= colEnd; ++c)
                visit(c, r);
        }
        for (int c = g.LeftCol(); c <= colEnd; ++c)
            for (int r = g.TopRow(); r <= rowEnd; ++r)
                visit(c, r);
    }
    prevLeft_ = left_;
    prevRight_ = right_;
    prevTop_ = top_;
    prevBottom_ = bottom_;
}

// ---------------------------------------------------------------------------
// Construction

TProfGrid::TProfGrid() : selection_(this)
{
    previousFont_ = font_;
    headerFont_ = font_;
    footerFont_ = font_;
    base_.colWidths.assign(size_t(base_.colCount), base_.defaultColWidth);
    base_.defaultRowHeight = base_.gridLineWidth + 2 * borderForText_ + std::abs(font_.Height) + 4;
    base_.rowHeights.assign(size_t(base_.rowCount), base_.defaultRowHeight);
    colCount_ = base_.colCount;
    rowCount_ = base_.rowCount;
    col_ = prevCol_ = anchorCol_ = base_.col;
    row_ = prevRow_ = anchorRow_ = base_.row;
    for (int i = 0; i < colCount_; ++i)
        NewColumn(i);
    selection_.left_ = selection_.right_ = col_;
    selection_.top_ = selection_.bottom_ = row_;
    selection_.Update();
}

TProfGrid::~TProfGrid()
{
    // Merged cells are shared between columns: free each object once.
    std::unordered_set<TProfGridCell*> cells;
    for (TProfGridCol* c : columns_) {
        for (TProfGridCell* cell : c->cells_)
            cells.insert(cell);
        c->cells_.clear();
    }
    for (TProfGridCell* cell : cells)
        delete cell;
    for (TProfGridCol* c : columns_)
        delete c;
}

const ITextMeasurer& TProfGrid::Measurer() const { return measurer_ ? *measurer_ : fc::TextMeasurer(); }

TProfGridCol* TProfGrid::NewColumn(int index)
{
    auto* c = new TProfGridCol(this, index);
    const int lp = index == 0 ? 0 : columns_[size_t(index - 1)]->LayoutIndex() + 1;
    columns_.insert(columns_.begin() + index, c);
    layout_.insert(layout_.begin() + lp, c);
    return c;
}

int TProfGrid::BaseColWidth(int index) const
{
    if (index >= 0 && index < int(base_.colWidths.size()))
        return base_.colWidths[size_t(index)];
    return base_.defaultColWidth;
}

int TProfGrid::BaseRowHeight(int index) const
{
    if (index >= 0 && index < int(base_.rowHeights.size()))
        return base_.rowHeights[size_t(index)];
    return base_.defaultRowHeight;
}

// ---------------------------------------------------------------------------
// Update bracket

void TProfGrid::BeginUpdate()
{
    ++updateCount_;
    rowHeightsDeferred_ = true;
}

void TProfGrid::EndUpdate()
{
    if (updateCount_ > 0)
        --updateCount_;
    if (updateCount_ > 0)
        return;
    updateCount_ = 1; // keeps repaints suppressed meanwhile
    ScopeExit done([this] { updateCount_ = 0; });
    PushToBase();
    rowHeightsDeferred_ = false;
    RecalcRowHeights();
    updateCount_ = 0;
    Repaint();
}

void TProfGrid::PushToBase()
{
    base_.rowCount = rowCount_;
    base_.rowHeights.resize(size_t(rowCount_), base_.defaultRowHeight);
    base_.colCount = colCount_;
    base_.colWidths.resize(size_t(colCount_), base_.defaultColWidth);
    // A hidden column takes no room on screen; it keeps its own width.
    for (int i = 0; i < colCount_ && i < int(columns_.size()); ++i)
        base_.colWidths[size_t(i)] = columns_[size_t(i)]->Visible() ? columns_[size_t(i)]->Width() : 0;
    base_.fixedRows = Clamp(base_.fixedRows, 0, rowCount_ - 1);
    base_.fixedCols = Clamp(base_.fixedCols, 0, colCount_ - 1);
    base_.topRow = Clamp(base_.topRow, base_.fixedRows, std::max(base_.fixedRows, rowCount_ - 1));
    base_.leftCol = Clamp(base_.leftCol, base_.fixedCols, std::max(base_.fixedCols, colCount_ - 1));
    base_.row = Clamp(base_.row, base_.fixedRows, rowCount_ - 1);
    base_.col = Clamp(base_.col, base_.fixedCols, colCount_ - 1);
    BaseGridChanged();
}

void TProfGrid::ClampState()
{
    const int lc = std::max(0, colCount_ - 1);
    const int lr = std::max(0, rowCount_ - 1);
    col_ = Clamp(col_, 0, lc);
    row_ = Clamp(row_, 0, lr);
    prevCol_ = Clamp(prevCol_, 0, lc);
    prevRow_ = Clamp(prevRow_, 0, lr);
    anchorCol_ = Clamp(anchorCol_, 0, lc);
    anchorRow_ = Clamp(anchorRow_, 0, lr);
    TProfGridSelection& s = selection_;
    const int l = Clamp(s.left_, 0, lc), r = Clamp(s.right_, 0, lc);
    const int t = Clamp(s.top_, 0, lr), b = Clamp(s.bottom_, 0, lr);
    if (l != s.left_ || r != s.right_ || t != s.top_ || b != s.bottom_) {
        s.left_ = l;
        s.right_ = r;
        s.top_ = t;
        s.bottom_ = b;
        if (!s.locked_)
            s.Update();
    }
    base_.fixedRows = Clamp(base_.fixedRows, 0, lr);
    base_.fixedCols = Clamp(base_.fixedCols, 0, lc);
}

void TProfGrid::Loaded()
{
    if (options_.Has(pgoAlwaysShowEditor))
        SetEditorMode(true);
}

void TProfGrid::Repaint()
{
    if (updateCount_ > 0)
        return;
    PaintControl();
}

bool TProfGrid::IsEditingCell(const TProfGridCell* cell) const
{
    if (!EditorMode() || col_ < 0 || col_ >= int(columns_.size()))
        return false;
    return columns_[size_t(col_)]->Slot(row_) == cell;
}

void TProfGrid::TopLeftChanged()
{
    if (OnTopLeftChanged)
        OnTopLeftChanged(*this);
}

void TProfGrid::NotifyTopLeft()
{
    BaseGridChanged();
    if (topLeftMuted_ == 0)
        TopLeftChanged();
}

void TProfGrid::FireTopLeftIfMoved(int left, int top)
{
    if (base_.leftCol != left || base_.topRow != top)
        TopLeftChanged();
}

// ---------------------------------------------------------------------------
// Accessors

TProfGridCell& TProfGrid::Cell(int ACol, int ARow)
{
    if (ACol < 0 || ACol >= colCount_ || ARow < 0 || ARow >= rowCount_)
        throw EListError(QStringLiteral("List index out of bounds (%1, %2)").arg(ACol).arg(ARow));
    while (int(columns_.size()) <= ACol)
        NewColumn(int(columns_.size()));
    return columns_[size_t(ACol)]->CellAt(ARow);
}

TProfGridCol& TProfGrid::Columns(int index) const
{
    if (index < 0 || index >= colCount_ || index >= int(columns_.size()))
        throw EListError::IndexOutOfBounds(index);
    return *columns_[size_t(index)];
}

TProfGridCol& TProfGrid::LayoutColumns(int index) const
{
    if (index < 0 || index >= int(layout_.size()))
        throw EListError::IndexOutOfBounds(index);
    return *layout_[size_t(index)];
}

int TProfGrid::ColWidths(int index) const
{
    if (index < 0 || index >= colCount_)
        throw EListError::IndexOutOfBounds(index);
    return BaseColWidth(index);
}

int TProfGrid::RowHeights(int index) const
{
    if (index < 0 || index >= rowCount_)
        throw EListError::IndexOutOfBounds(index);
    return BaseRowHeight(index);
}

void TProfGrid::SetColWidths(int index, int width)
{
    if (index < 0 || index >= colCount_)
        throw EListError::IndexOutOfBounds(index);
    if (index >= int(base_.colWidths.size()))
        base_.colWidths.resize(size_t(index) + 1, base_.defaultColWidth);
    base_.colWidths[size_t(index)] = std::max(0, width);
    BaseGridChanged();
    ColWidthsChanged();
}

void TProfGrid::ColWidthsChanged()
{
    if (updateCount_ > 0)
        return;
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    for (int i = 0; i < colCount_ && i < int(columns_.size()) && i < int(base_.colWidths.size()); ++i) {
        TProfGridCol* c = columns_[size_t(i)];
        const int bw = base_.colWidths[size_t(i)];
        if (c->Visible() && c->Width() != bw) {
            // The underlying grid already has the new width, so SetWidth
            // alone would not mark the column; its texts must wrap again.
            c->needsWrap_ = true;
            c->SetWidth(bw);
        }
    }
}

void TProfGrid::SetBaseRowHeight(int row, int height)
{
    if (row >= int(base_.rowHeights.size()))
        base_.rowHeights.resize(size_t(row) + 1, base_.defaultRowHeight);
    base_.rowHeights[size_t(row)] = height;
}

// ---------------------------------------------------------------------------
// Counts and fixed area

void TProfGrid::SetColCount(int value)
{
    if (value < 1 || value == colCount_)
        return;
    SetEditorMode(false);
    if (EditorMode())
        return;
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    if (FixedCols() >= value)
        ApplyFixedCols(value - 1, true);
    for (int i = colCount_ - 1; i >= value; --i)
        DeleteCol(i);
    while (int(columns_.size()) < value)
        NewColumn(int(columns_.size()));
    colCount_ = value;
    ClampState();
}

void TProfGrid::SetRowCount(int value)
{
    if (value < 1 || value == rowCount_)
        return;
    SetEditorMode(false);
    if (EditorMode())
        return;
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    // The fixed area never takes the whole grid and never ends inside a
    // merged cell.
    if (value <= FixedRows())
        ApplyFixedRows(SafeFixedRows(std::min(FixedRows(), value) - 1));
    if (value < rowCount_) {
        if (row_ >= value)
            SetRow(value - 1);
        std::vector<TProfGridCell*> seen;
        for (int r = rowCount_ - 1; r >= value; --r)
            if (!deleteLastRow(seen))
                DeleteRow(r);
    }
    rowCount_ = value;
    ClampState();
}

// DeleteRow for the last row inside SetRowCount's bracket, with the editor
// closed: no cell below moves, so only the row's own cells are let go.
// False, having done nothing, when a column holds cells past the last row.
bool TProfGrid::deleteLastRow(std::vector<TProfGridCell*>& seen)
{
    const int r = rowCount_ - 1;
    if (r < 1)
        return false;
    for (TProfGridCol* col : layout_)
        if (int(col->cells_.size()) > rowCount_)
            return false;
    seen.clear();
    for (TProfGridCol* col : layout_) {
        auto& s = col->cells_;
        if (r >= int(s.size()))
            continue;
        TProfGridCell* c = s.back();
        s.pop_back();
        // A cell spread over several columns stands in each of their slots.
        if (std::find(seen.begin(), seen.end(), c) != seen.end())
            continue;
        seen.push_back(c);
        if (c->topRow_ != c->bottomRow_) {
            --c->bottomRow_;
            c->needsWrap_ = true;
        }
    }
    // Those that were this row's alone.
    for (TProfGridCell* c : seen)
        if (c->topRow_ == r)
            delete c;
    rowGone();
    return true;
}

// The count and the state after a row's cells have gone.
void TProfGrid::rowGone()
{
    --rowCount_;
    if (FixedRows() > rowCount_ - 1)
        ApplyFixedRows(SafeFixedRows(rowCount_ - 1));
    ClampState();
}

int TProfGrid::SafeFixedRows(int value)
{
    int v = Clamp(value, 0, std::max(0, rowCount_ - 1));
    bool changed = true;
    while (v > 0 && changed) {
        changed = false;
        for (TProfGridCol* c : layout_) {
            const TProfGridCell* cell = c->Slot(v);
            if (cell && cell->TopRow() < v) {
                v = cell->TopRow();
                changed = true;
                break;
            }
        }
    }
    return v;
}

void TProfGrid::SetFixedRows(int value)
{
    if (value == FixedRows() || value < 0 || value > rowCount_ - 1)
        return;
    // The fixed area may only end where every column has a cell edge.
    if (value > 0)
        for (TProfGridCol* c : layout_) {
            const TProfGridCell* cell = c->Slot(value);
            if (cell && cell->TopRow() != value)
                return;
        }
    ApplyFixedRows(value);
}

void TProfGrid::ApplyFixedRows(int value)
{
    const int old = base_.fixedRows;
    if (value == old)
        return;
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    if (row_ < value) {
        if (!windowHandleCreated_)
            SelectCell(col_, value);
        else if (!options_.Has(pgoSelectFixedRows))
            SetRow(value);
    }
    for (int r = value; r < old && r < rowCount_; ++r)
        for (int p = FixedCols(); p < int(layout_.size()); ++p)
            layout_[size_t(p)]->CellAt(r).SetColor(layout_[size_t(p)]->Color());
    for (int r = old; r < value && r < rowCount_; ++r)
        for (int c = 0; c < colCount_; ++c)
            Cell(c, r).SetColor(fixedColor_);
    base_.fixedRows = value;
    base_.topRow = std::max(base_.topRow, value);
    base_.row = std::max(base_.row, value);
    BaseGridChanged();
}

void TProfGrid::SetFixedCols(int value)
{
    if (value == FixedCols() || value < 0 || value > colCount_ - 1)
        return;
    if (value > 0) {
        const TProfGridCol& c = Columns(value - 1);
        for (const TProfGridCell* cell : c.cells_)
            if (cell->RightVisibleCol() >= value)
                return;
    }
    ApplyFixedCols(value, true);
}

void TProfGrid::ApplyFixedCols(int value, bool moveCurrent)
{
    const int old = base_.fixedCols;
    if (value == old)
        return;
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    for (int p = value; p < old && p < int(layout_.size()); ++p)
        layout_[size_t(p)]->SetColor(color_);
    for (int p = old; p < value && p < int(layout_.size()); ++p)
        layout_[size_t(p)]->SetColor(fixedColor_);
    base_.fixedCols = value;
    base_.leftCol = std::max(base_.leftCol, value);
    base_.col = std::max(base_.col, value);
    BaseGridChanged();
    if (moveCurrent && FixedCols() < colCount_)
        SetCol(FixedCols());
}

// ---------------------------------------------------------------------------
// Current cell and scrolling

void TProfGrid::SetCol(int value)
{
    SetEditorMode(false);
    if (EditorMode())
        return;
    if (value != col_ && value >= 0 && value < colCount_)
        SelectCell(value, std::min(row_, rowCount_ - 1));
}

void TProfGrid::SetRow(int value)
{
    SetEditorMode(false);
    if (EditorMode())
        return;
    if (value != row_ && value >= 0 && value < rowCount_)
        SelectCell(std::min(col_, colCount_ - 1), value);
}

void TProfGrid::SetTopRow(int value)
{
    if (value == base_.topRow || value < FixedRows() || value > rowCount_ - 1)
        return;
    base_.topRow = value;
    NotifyTopLeft();
}

void TProfGrid::SetLeftCol(int value)
{
    if (value == base_.leftCol || value < FixedCols() || value > colCount_ - 1)
        return;
    base_.leftCol = value;
    NotifyTopLeft();
}

int TProfGrid::ColLeft(int ACol) const
{
    int x = 0;
    if (ACol >= FixedCols()) {
        for (int c = 0; c < FixedCols(); ++c)
            x += BaseColWidth(c);
        for (int c = LeftCol(); c < ACol; ++c)
            x += BaseColWidth(c);
        for (int c = ACol; c < LeftCol(); ++c)
            x -= BaseColWidth(c);
    } else {
        for (int c = 0; c < ACol; ++c)
            x += BaseColWidth(c);
    }
    return x;
}

int TProfGrid::RowTop(int ARow) const
{
    int y = 0;
    if (ARow >= FixedRows()) {
        for (int r = 0; r < FixedRows(); ++r)
            y += BaseRowHeight(r);
        for (int r = TopRow(); r < ARow; ++r)
            y += BaseRowHeight(r);
        for (int r = ARow; r < TopRow(); ++r)
            y -= BaseRowHeight(r);
    } else {
        for (int r = 0; r < ARow; ++r)
            y += BaseRowHeight(r);
    }
    return y;
}

namespace {
// How many whole columns (or rows) from first fit in client beside the fixed
// ones; with no client size yet, all from first on.
template <class Size>
int visibleCount(int client, int fixed, int first, int count, Size size)
{
    if (client <= 0)
        return std::max(0, count - first);
    int avail = client;
    for (int i = 0; i < fixed; ++i)
        avail -= size(i);
    int n = 0;
    for (int i = first; i < count; ++i) {
        avail -= size(i);
        if (avail < 0)
            break;
        ++n;
    }
    return n;
}
} // namespace

int TProfGrid::VisibleColCount() const
{
    return visibleCount(clientWidth_, FixedCols(), LeftCol(), colCount_, [this](int c) { return BaseColWidth(c); });
}

int TProfGrid::VisibleRowCount() const
{
    return visibleCount(clientHeight_, FixedRows(), TopRow(), rowCount_, [this](int r) { return BaseRowHeight(r); });
}

void TProfGrid::SetClientSize(int width, int height)
{
    clientWidth_ = std::max(0, width);
    clientHeight_ = std::max(0, height);
}

void TProfGrid::ScrollIntoView(int ACol, int ARow)
{
    if (ARow >= FixedRows()) {
        if (ARow < TopRow())
            SetTopRow(ARow);
        else
            while (TopRow() < ARow && ARow >= TopRow() + std::max(1, VisibleRowCount()))
                SetTopRow(TopRow() + 1);
    }
    if (ACol >= FixedCols()) {
        if (ACol < LeftCol())
            SetLeftCol(ACol);
        else
            while (LeftCol() < ACol && ACol >= LeftCol() + std::max(1, VisibleColCount()))
                SetLeftCol(LeftCol() + 1);
    }
}

void TProfGrid::MoveBaseCurrent(int ACol, int ARow)
{
    base_.col = ACol;
    base_.row = ARow;
    ScrollIntoView(ACol, ARow);
    BaseGridChanged();
}

bool TProfGrid::SelectCell(int ACol, int ARow)
{
    const bool result = true;
    if (!options_.Has(pgoSelectFixedCols) && ACol < FixedCols())
        return result;
    if (!options_.Has(pgoSelectFixedRows) && ARow < FixedRows())
        return result;
    if (ACol < 0 || ARow < 0 || selecting_)
        return result;
    if (ACol >= colCount_ || ARow >= rowCount_)
        return false;
    if (options_.Has(pgoRowSelect))
        ACol = options_.Has(pgoSelectFixedCols) ? 0 : FixedCols();

    ClampState();
    prevCol_ = col_;
    prevRow_ = row_;
    int left = 0, top = 0;
    NoteTopLeft(left, top);
    ++topLeftMuted_;
    ScopeExit unmute([&] {
        --topLeftMuted_;
        FireTopLeftIfMoved(left, top);
    });

    TProfGridCell* target = &Cell(ACol, ARow);
    if (&Cell(col_, row_) == target && ACol == col_) {
        selection_.BeginUpdate();
        selection_.left_ = selection_.right_ = col_;
        selection_.top_ = selection_.bottom_ = row_;
        selection_.EndUpdate();
        if (updateCount_ > 0)
            return result;
        const int bc = ACol < FixedCols() ? FixedCols() : target->LeftVisibleCol();
        const int br = ARow < FixedRows() ? FixedRows() : ARow;
        selecting_ = true;
        MoveBaseCurrent(bc, br);
        selecting_ = false;
        bool can = true;
        if (OnSelectCell)
            OnSelectCell(*this, ACol, ARow, can);
        if (OnClick)
            OnClick(*this);
        return true;
    }

    SetEditorMode(false);
    if (EditorMode())
        return result;
    bool can = true;
    if (OnSelectCell)
        OnSelectCell(*this, ACol, ARow, can);
    if (!can) {
        if (options_.Has(pgoAlwaysShowEditor))
            SetEditorMode(true);
        return false;
    }
    // The handler may have changed the grid's shape.
    if (ACol >= colCount_ || ARow >= rowCount_)
        return false;
    target = &Cell(ACol, ARow);
    col_ = ACol;
    row_ = ARow;
    if (updateCount_ == 0) {
        int tc;
        if (col_ < FixedCols())
            tc = FixedCols();
        else if (col_ == base_.col)
            tc = col_;
        else
            tc = target->LeftVisibleCol();
        int tr = ARow;
        // A merged cell that ends at the last row is scrolled in whole.
        if (base_.row != row_ && TopRow() != row_ && target->BottomRow() == rowCount_ - 1)
            tr = rowCount_ - 1;
        if (ARow < FixedRows())
            tr = FixedRows();
        selecting_ = true;
        MoveBaseCurrent(tc, tr);
        selecting_ = false;
        while (target->TopRow() > TopRow() && target->BottomRow() >= TopRow() + VisibleRowCount()) {
            const int before = TopRow();
            SetTopRow(before + 1);
            if (TopRow() == before)
                break;
        }
    }
    if (!rangeSelecting_) {
        anchorCol_ = col_;
        anchorRow_ = row_;
        selection_.BeginUpdate();
        selection_.left_ = selection_.right_ = col_;
        selection_.top_ = selection_.bottom_ = row_;
        selection_.EndUpdate();
        if (options_.Has(pgoAlwaysShowEditor))
            SetEditorMode(true);
    }
    if (OnClick)
        OnClick(*this);
    return true;
}

// ---------------------------------------------------------------------------
// Shape operations

bool TProfGrid::InsertCol(int index)
{
    if (index < 0)
        return false;
    SetEditorMode(false);
    if (EditorMode())
        return false;
    index = std::min(index, colCount_);
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });

    const bool becomesFixed = index < FixedCols();
    const int restoreCol = col_ + (index <= col_ ? 1 : 0);

    TProfGridCol* nc = NewColumn(index);
    nc->needsWrap_ = true;
    const int pos = nc->LayoutIndex();
    const int n = int(layout_.size());
    TProfGridCol* next = pos + 1 < n ? layout_[size_t(pos + 1)] : nullptr;
    TProfGridCol* prev = pos > 0 ? layout_[size_t(pos - 1)] : nullptr;
    if (next) {
        nc->groupLevel_ = next->groupLevel_;
        // The new column takes the row partition of the column after it,
        // and joins the cells merged across the place where it goes.
        for (int r = 0; r < next->SlotCount(); ++r) {
            TProfGridCell* nr = next->cells_[size_t(r)];
            TProfGridCell* obj;
            if (r > 0 && nr == next->cells_[size_t(r - 1)]) {
                obj = nc->cells_[size_t(r - 1)];
            } else {
                TProfGridCell* pc = prev ? prev->Slot(r) : nullptr;
                if (pc && pc->lastCol_->LayoutIndex() > pos)
                    obj = pc;
                else
                    obj = new TProfGridCell(nc, r);
                obj->bottomRow_ = nr->bottomRow_;
            }
            nc->cells_.push_back(obj);
        }
    }
    ++colCount_;
    if (!next && prev) {
        TProfGridCell* last = nullptr;
        const std::vector<TProfGridCell*> slotCopy = prev->cells_;
        for (TProfGridCell* c : slotCopy) {
            if (c == last)
                continue;
            last = c;
            if (c->TopRow() != c->BottomRow())
                prev->RaiseGroupLevel();
        }
    }
    if (becomesFixed)
        base_.fixedCols = std::min(base_.fixedCols + 1, colCount_ - 1);
    ClampState();
    SetCol(std::min(restoreCol, colCount_ - 1));
    ClampState();
    return true;
}

bool TProfGrid::DeleteCol(int index)
{
    SetEditorMode(false);
    if (EditorMode())
        return false;
    if (index < 0 || index >= colCount_ || colCount_ <= 1)
        return false;
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });

    int newCol = index < col_ ? col_ - 1 : col_;
    if (col_ == colCount_ - 1)
        newCol = colCount_ - 2;
    newCol = std::max(0, newCol);
    const bool dropFixed = index < FixedCols() || (index == colCount_ - 1 && index == FixedCols());
    if (col_ == colCount_ - 1)
        SetCol(col_ - 1);

    TProfGridCol* d = columns_[size_t(index)];
    const int p = d->LayoutIndex();
    const int n = int(layout_.size());
    for (int r = 0; r < d->SlotCount(); ++r) {
        TProfGridCell* c = d->cells_[size_t(r)];
        if (c->topRow_ != r || c->firstCol_ == c->lastCol_)
            continue;
        if (c->firstCol_ == d && p + 1 < n)
            c->firstCol_ = layout_[size_t(p + 1)];
        else if (c->lastCol_ == d && p > 0)
            c->lastCol_ = layout_[size_t(p - 1)];
    }
    if (p > 0) {
        TProfGridCol* before = layout_[size_t(p - 1)];
        if (before->groupLevel_ > d->groupLevel_
            && (p == n - 1 || layout_[size_t(p + 1)]->groupLevel_ < d->groupLevel_))
            before->LowerGroupLevel();
    }
    layout_.erase(layout_.begin() + d->LayoutIndex());
    columns_.erase(columns_.begin() + index);
    delete d;
    --colCount_;
    // The column before now stands beside another one, which it can group
    // only when it is made of whole cells of it.
    if (p > 0 && p < colCount_)
        while (layout_[size_t(p - 1)]->groupLevel_ > 0 && !MadeOfWholeCells(p - 1))
            layout_[size_t(p - 1)]->LowerGroupLevel();
    if (dropFixed && base_.fixedCols > 0)
        --base_.fixedCols;
    ClampState();
    SelectCell(std::min(newCol, colCount_ - 1), row_);
    ClampState();
    return true;
}

bool TProfGrid::InsertRow(int ACol, int ARow, bool after)
{
    if (ACol < 0 || ACol >= colCount_ || ARow < 0 || ARow >= rowCount_)
        return false;
    SetEditorMode(false);
    if (EditorMode())
        return false;
    TProfGridCell& anchor = Cell(ACol, ARow);
    const int r0 = after ? anchor.BottomRow() : anchor.TopRow();
    const int n = after ? r0 + 1 : r0;
    const int level = columns_[size_t(ACol)]->groupLevel_;
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    ++rowCount_;

    // Every object is moved or extended once, even when several columns
    // hold it.
    std::unordered_set<TProfGridCell*> done;
    auto insertSlot = [&](TProfGridCol* col, TProfGridCell* extend) {
        auto& s = col->cells_;
        while (int(s.size()) < n)
            s.push_back(new TProfGridCell(col, int(s.size())));
        TProfGridCell* above = n > 0 ? s[size_t(n - 1)] : nullptr;
        const bool spans = above && n < int(s.size()) && s[size_t(n)] == above;
        TProfGridCell* obj;
        if (spans)
            obj = above; // a cell across the new row's place grows
        else if (extend)
            obj = extend; // a coarser group's cell takes the new row
        else
            obj = new TProfGridCell(col, n);
        for (int r = n; r < int(s.size()); ++r) {
            TProfGridCell* c = s[size_t(r)];
            if (c != obj && c->topRow_ >= n && done.insert(c).second) {
                ++c->topRow_;
                ++c->bottomRow_;
            }
        }
        if ((spans || extend) && done.insert(obj).second)
            ++obj->bottomRow_;
        s.insert(s.begin() + n, obj);
    };

    int pos = 0;
    const int cols = int(layout_.size());
    while (pos < cols) {
        TProfGridCell* c = &layout_[size_t(pos)]->CellAt(r0);
        const int last = std::max(pos, c->lastCol_->LayoutIndex());
        const bool finer = level >= c->lastCol_->groupLevel_;
        // The group's cell at the anchor row before anything moves.
        for (int q = pos; q <= last; ++q)
            insertSlot(layout_[size_t(q)], finer ? nullptr : c);
        pos = last + 1;
    }
    ClampState();
    SelectCell(ACol, n);
    ClampState();
    return true;
}

bool TProfGrid::DeleteRow(int ARow)
{
    if (ARow < 0 || ARow >= rowCount_)
        return false;
    SetEditorMode(false);
    if (EditorMode())
        return false;
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    if (rowCount_ == 1) {
        for (int c = 0; c < colCount_; ++c)
            Cell(c, 0).SetText(QString());
        return true;
    }
    std::unordered_set<TProfGridCell*> done;
    std::vector<TProfGridCell*> toFree;
    for (TProfGridCol* col : layout_) {
        auto& s = col->cells_;
        if (ARow >= int(s.size()))
            continue;
        TProfGridCell* c = s[size_t(ARow)];
        for (int r = ARow + 1; r < int(s.size()); ++r) {
            TProfGridCell* x = s[size_t(r)];
            if (x != c && done.insert(x).second) {
                --x->topRow_;
                --x->bottomRow_;
            }
        }
        if (done.insert(c).second) {
            if (c->topRow_ != c->bottomRow_) {
                --c->bottomRow_;
                c->needsWrap_ = true;
            } else {
                toFree.push_back(c);
            }
        }
        s.erase(s.begin() + ARow);
    }
    for (TProfGridCell* c : toFree)
        delete c;
    rowGone();
    return true;
}

namespace {

// Moves the element at from to to, the ones between closing up.
template <class V>
void MoveElement(V& v, int from, int to)
{
    if (std::max(from, to) >= int(v.size()))
        return;
    if (from < to)
        std::rotate(v.begin() + from, v.begin() + from + 1, v.begin() + to + 1);
    else
        std::rotate(v.begin() + to, v.begin() + from, v.begin() + from + 1);
}

// Where an index goes when the element at from moves to to.
int MovedIndex(int i, int from, int to)
{
    if (i == from)
        return to;
    if (from < to && i > from && i <= to)
        return i - 1;
    if (to < from && i >= to && i < from)
        return i + 1;
    return i;
}

} // namespace

void TProfGrid::FollowMove(bool columns, int from, int to)
{
    int& cur = columns ? col_ : row_;
    int& anchor = columns ? anchorCol_ : anchorRow_;
    int& prev = columns ? prevCol_ : prevRow_;
    cur = MovedIndex(cur, from, to);
    anchor = MovedIndex(anchor, from, to);
    prev = MovedIndex(prev, from, to);
    selection_.left_ = selection_.right_ = col_;
    selection_.top_ = selection_.bottom_ = row_;
    int& base = columns ? base_.col : base_.row;
    base = MovedIndex(base, from, to);
}

bool TProfGrid::CanMove(int from, int to, int count, int fixed)
{
    if (from < 0 || to < 0 || from >= count || to >= count || from == to)
        return false;
    if ((from < fixed) != (to < fixed))
        return false;
    SetEditorMode(false);
    return !EditorMode();
}

bool TProfGrid::MoveColumn(int from, int to)
{
    if (!CanMove(from, to, colCount_, FixedCols()))
        return false;
    const int lo = std::min(from, to), hi = std::max(from, to);
    // Whole columns in layout order, none inside a cell merged over
    // columns, none grouping or grouped.
    for (int i = std::max(0, lo - 1); i <= hi; ++i)
        if (columns_[size_t(i)] != layout_[size_t(i)] || columns_[size_t(i)]->groupLevel_ > 0)
            return false;
    for (int i = lo; i <= hi; ++i)
        for (const TProfGridCell* c : columns_[size_t(i)]->cells_)
            if (c->firstCol_ != c->lastCol_)
                return false;
    {
        BeginUpdate();
        ScopeExit end([this] { EndUpdate(); });
        MoveElement(columns_, from, to);
        MoveElement(layout_, from, to);
        MoveElement(base_.colWidths, from, to);
        FollowMove(true, from, to);
    }
    if (OnColumnMoved)
        OnColumnMoved(*this, from, to);
    return true;
}

bool TProfGrid::MoveRow(int from, int to)
{
    if (!CanMove(from, to, rowCount_, FixedRows()))
        return false;
    const int lo = std::min(from, to), hi = std::max(from, to);
    // No cell merged over rows among the moved ones.
    for (const TProfGridCol* col : layout_)
        for (int r = lo; r <= hi && r < col->SlotCount(); ++r)
            if (col->cells_[size_t(r)]->topRow_ != col->cells_[size_t(r)]->bottomRow_)
                return false;
    {
        BeginUpdate();
        ScopeExit end([this] { EndUpdate(); });
        for (TProfGridCol* col : layout_) {
            if (col->SlotCount() <= lo)
                continue;
            col->CellAt(hi);
            MoveElement(col->cells_, from, to);
            for (int r = lo; r <= hi; ++r)
                col->cells_[size_t(r)]->topRow_ = col->cells_[size_t(r)]->bottomRow_ = r;
        }
        MoveElement(base_.rowHeights, from, to);
        FollowMove(false, from, to);
    }
    if (OnRowMoved)
        OnRowMoved(*this, from, to);
    return true;
}

std::pair<int, int> TProfGrid::CellRows(int p, int r) const
{
    const TProfGridCell* c = layout_[size_t(p)]->Slot(r);
    return c ? std::make_pair(c->topRow_, c->bottomRow_) : std::make_pair(r, r);
}

bool TProfGrid::MadeOfWholeCells(int p, int r1, int r2,
                                 const std::function<std::pair<int, int>(int, int)>& rowsOf) const
{
    if (p + 1 >= int(layout_.size()))
        return true;
    for (int r = r1; r <= r2; ++r) {
        const auto a = rowsOf(p, r);
        const auto b = rowsOf(p + 1, r);
        if ((a.first == r && b.first != r) || (a.second == r && b.second != r))
            return false;
    }
    return true;
}

bool TProfGrid::MadeOfWholeCells(int p) const
{
    return MadeOfWholeCells(p, 0, rowCount_ - 1, [this](int q, int r) { return CellRows(q, r); });
}

bool TProfGrid::MergeCells(int ACol1, int ARow1, int ACol2, int ARow2)
{
    if (ACol1 < 0 || ACol1 >= colCount_ || ACol2 < 0 || ACol2 >= colCount_ || ARow1 < 0 || ARow1 >= rowCount_
        || ARow2 < 0 || ARow2 >= rowCount_)
        return false;
    SetEditorMode(false);
    if (EditorMode())
        return false;
    int p1 = columns_[size_t(ACol1)]->LayoutIndex();
    int p2 = columns_[size_t(ACol2)]->LayoutIndex();
    if (p1 > p2)
        std::swap(p1, p2);
    const int r1 = std::min(ARow1, ARow2);
    const int r2 = std::max(ARow1, ARow2);
    // The edge of the fixed area never runs through a cell.
    if ((r1 < FixedRows() && r2 >= FixedRows()) || (p1 < FixedCols() && p2 >= FixedCols()))
        return false;
    for (int p = p1; p <= p2; ++p)
        for (int r = r1; r <= r2; ++r) {
            const TProfGridCell& c = layout_[size_t(p)]->CellAt(r);
            if (c.TopRow() < r1 || c.BottomRow() > r2 || c.FirstCol()->LayoutIndex() < p1
                || c.LastCol()->LayoutIndex() > p2)
                return false;
        }
    // A grouping column stays made of whole cells of the column after it,
    // or rows inserted into the group later would split cells.
    auto merged = [&](int p, int r) {
        return p >= p1 && p <= p2 && r >= r1 && r <= r2 ? std::make_pair(r1, r2) : CellRows(p, r);
    };
    for (int p = std::max(0, p1 - 1); p <= std::min(p2, colCount_ - 2); ++p)
        if (layout_[size_t(p)]->groupLevel_ > 0 && !MadeOfWholeCells(p, 0, rowCount_ - 1, merged))
            return false;
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    TProfGridCell* keep = &layout_[size_t(p1)]->CellAt(r1);
    std::unordered_set<TProfGridCell*> others;
    for (int p = p1; p <= p2; ++p)
        for (int r = r1; r <= r2; ++r) {
            TProfGridCell*& slot = layout_[size_t(p)]->cells_[size_t(r)];
            if (slot != keep)
                others.insert(slot);
            slot = keep;
        }
    for (TProfGridCell* c : others)
        delete c;
    keep->topRow_ = r1;
    keep->bottomRow_ = r2;
    keep->firstCol_ = layout_[size_t(p1)];
    keep->lastCol_ = layout_[size_t(p2)];
    keep->needsWrap_ = true;
    ClampState();
    return true;
}

// ---------------------------------------------------------------------------
// Row heights

void TProfGrid::RecalcRowHeight(int ARow)
{
    if (rowHeightsDeferred_)
        return;
    if (ARow < 0 || ARow >= rowCount_ || colCount_ <= 0)
        return;
    rowHeightsDeferred_ = true;
    bool done = false;
    ScopeExit clear([this, &done] {
        if (!done)
            rowHeightsDeferred_ = false;
    });

    // A slot not created yet stands for a fresh single cell, which is
    // DefaultRowHeight high; the calculation creates no cells.
    auto slot = [this](int col, int row) -> TProfGridCell* {
        return col < int(columns_.size()) ? columns_[size_t(col)]->Slot(row) : nullptr;
    };
    int first = ARow, last = ARow;
    for (int i = 0; i < colCount_; ++i)
        if (const TProfGridCell* c = slot(i, ARow)) {
            first = std::min(first, c->TopRow());
            last = std::max(last, c->BottomRow());
        }
    QVarLengthArray<int, 8> h(last - first + 1, 0);
    bool merged = false;
    for (int r = first; r <= last; ++r)
        for (int i = 0; i < colCount_; ++i) {
            TProfGridCell* c = slot(i, r);
            const bool single = c && c->TopRow() == r && c->BottomRow() == r;
            if (c && !single)
                merged = true;
            const int ch = !c ? base_.defaultRowHeight : (single ? c->CalcHeight() : 0);
            h[r - first] = std::max(h[r - first], ch);
        }
    // Merged cells: the smallest shortfall first, added to the cell's
    // bottom row, until every cell fits. A band of single cells has none:
    // each row is already as high as its highest cell.
    const int maxPasses = merged ? (last - first + 1) * colCount_ + 1 : 0;
    for (int pass = 0; pass < maxPasses; ++pass) {
        TProfGridCell* winner = nullptr;
        int best = 0;
        for (int i = 0; i < colCount_; ++i) {
            int r = first;
            while (r <= last) {
                TProfGridCell* c = slot(i, r);
                if (!c) {
                    ++r;
                    continue;
                }
                if (c->BottomRow() > last)
                    break;
                int sum = 0;
                for (int rr = std::max(c->TopRow(), first); rr <= c->BottomRow(); ++rr)
                    sum += h[rr - first];
                const int d = c->CalcHeight() - sum;
                if (d > 0 && (!winner || d < best)) {
                    best = d;
                    winner = c;
                }
                if (c->BottomRow() >= last)
                    break;
                r = c->BottomRow() + 1;
            }
        }
        if (!winner)
            break;
        h[winner->BottomRow() - first] += best;
    }
    bool changed = false;
    for (int r = first; r <= last; ++r)
        if (BaseRowHeight(r) != h[r - first] || r >= int(base_.rowHeights.size())) {
            SetBaseRowHeight(r, h[r - first]);
            changed = true;
        }
    rowHeightsDeferred_ = false;
    done = true;
    if (changed) {
        BaseGridChanged();
        if (OnRowResized)
            OnRowResized(*this, ARow);
    }
}

void TProfGrid::RecalcRowHeights()
{
    // Inside a bracket the marks stay for EndUpdate, which recalculates.
    if (rowHeightsDeferred_)
        return;
    if (colCount_ == 0 || rowCount_ == 0)
        return;
    for (int r = 0; r < rowCount_; ++r)
        RecalcRowHeight(r);
    for (TProfGridCol* c : columns_)
        c->needsWrap_ = false;
    rewrapAll_ = false;
}

// ---------------------------------------------------------------------------
// Properties

void TProfGrid::SetBorderForText(int value)
{
    if (value < 0 || value == borderForText_)
        return;
    borderForText_ = value;
    rewrapAll_ = true;
    RecalcRowHeights();
    EditorPropertiesChanged();
}

TClipboardLineBreak TProfGrid::ClipboardLineBreak() const
{
    if (clipboardLineBreak_ == QStringLiteral(" "))
        return clbSpace;
    if (clipboardLineBreak_ == QStringLiteral("\r\n"))
        return clbEnter;
    if (clipboardLineBreak_ == QStringLiteral("\n"))
        return clbSoftEnter;
    return clbNone;
}

void TProfGrid::SetClipboardLineBreak(TClipboardLineBreak value)
{
    switch (value) {
    case clbNone:
        clipboardLineBreak_.clear();
        break;
    case clbSpace:
        clipboardLineBreak_ = QStringLiteral(" ");
        break;
    case clbEnter:
        clipboardLineBreak_ = QStringLiteral("\r\n");
        break;
    case clbSoftEnter:
        clipboardLineBreak_ = QStringLiteral("\n");
        break;
    }
}

void TProfGrid::SetColor(TColor value)
{
    if (value == color_)
        return;
    color_ = value;
    if (fc::ColorToRGB(value) == fc::ColorToRGB(gridLineColor_))
        gridLineColor_ = fc::ColorToRGB(value) == fc::ColorToRGB(clSilver) ? clGray : clSilver;
    for (int i = FixedCols(); i < colCount_ && i < int(columns_.size()); ++i)
        columns_[size_t(i)]->SetColor(value);
    Repaint();
}

void TProfGrid::SetDefaultColWidth(int value)
{
    if (value <= 0)
        return;
    base_.defaultColWidth = value;
    std::fill(base_.colWidths.begin(), base_.colWidths.end(), value);
    BaseGridChanged();
    ColWidthsChanged();
    Repaint();
}

void TProfGrid::SetDefaultRowHeight(int value)
{
    if (value < 0)
        return;
    base_.defaultRowHeight = value;
    std::fill(base_.rowHeights.begin(), base_.rowHeights.end(), value);
    BaseGridChanged();
    rewrapAll_ = true;
    RecalcRowHeights();
}

void TProfGrid::SetEditColor(TColor value)
{
    if (value == editColor_)
        return;
    editColor_ = value;
    EditorPropertiesChanged();
}

void TProfGrid::SetEllipsisCharacter(const QString& value)
{
    if (value == ellipsis_)
        return;
    ellipsis_ = value;
    if (!wordWrap_) {
        rewrapAll_ = true;
        RecalcRowHeights();
        Repaint();
    }
}

void TProfGrid::SetExportTag(const QString& value)
{
    // A tag holding a carriage return would be cut apart again by the line
    // breaks it stands for in the export text.
    if (value.isEmpty() || value == exportTag_ || value.contains(QLatin1Char('\r')))
        return;
    exportTag_ = value;
}

void TProfGrid::SetFixedColor(TColor value)
{
    if (value == fixedColor_)
        return;
    fixedColor_ = value;
    for (int i = 0; i < FixedCols() && i < int(columns_.size()); ++i)
        columns_[size_t(i)]->SetColor(value);
    for (int c = 0; c < colCount_; ++c)
        for (int r = 0; r < FixedRows(); ++r)
            Cell(c, r).SetColor(value);
}

void TProfGrid::SetFixedGridLineColor(TColor value)
{
    if (value == fixedGridLineColor_)
        return;
    fixedGridLineColor_ = value;
    Repaint();
}

void TProfGrid::SetGridLineColor(TColor value)
{
    if (value == gridLineColor_)
        return;
    gridLineColor_ = value;
    Repaint();
}

void TProfGrid::SetGridLineWidth(int value)
{
    if (value < 0 || value == base_.gridLineWidth)
        return;
    base_.gridLineWidth = value;
    BaseGridChanged();
    Repaint();
}

void TProfGrid::SetOptions(TProfGridOptions value)
{
    if (value.Has(pgoRowSelect))
        value -= pgoAlwaysShowEditor;
    if (value == options_)
        return;
    options_ = value;
    base_.thumbTracking = value.Has(pgoThumbTracking);
    ClampState();
    selection_.SetTop(row_);
    selection_.SetLeft(col_);
    selection_.SetBottom(row_);
    selection_.SetRight(col_);
    selection_.Update();
    SetEditorMode(options_.Has(pgoAlwaysShowEditor));
    Repaint();
}

void TProfGrid::SetSelectColor(TColor value)
{
    if (value == selectColor_)
        return;
    selectColor_ = value;
    Repaint();
}

void TProfGrid::SetWordWrap(bool value)
{
    if (value == wordWrap_)
        return;
    wordWrap_ = value;
    EditorPropertiesChanged();
    for (TProfGridCol* c : columns_)
        c->needsWrap_ = true;
    RecalcRowHeights();
}

void TProfGrid::SetFont(const TFont& value)
{
    if (value == font_)
        return;
    font_ = value;
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    for (TProfGridCol* c : columns_) {
        TFont f = c->Font();
        fc::ApplyFontChange(f, previousFont_, font_);
        c->SetFont(f);
    }
    previousFont_ = font_;
}
