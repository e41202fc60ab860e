// Grid columns: widths, colours and fonts handed to their cells, the slots
// of the cells, and the group levels that tie vertical merges together.

#include <algorithm>

#include "ProfGrid.h"
#include "platform/Errors.h"

namespace fc {

bool ApplyFontChange(TFont& target, const TFont& before, const TFont& after)
{
    const TFont old = target;
    if (before.Name != after.Name)
        target.Name = after.Name;
    if (before.Height != after.Height)
        target.Height = after.Height;
    if (before.Style != after.Style)
        target.Style = after.Style;
    if (before.Color != after.Color)
        target.Color = after.Color;
    if (before.Pitch != after.Pitch)
        target.Pitch = after.Pitch;
    return !(old == target);
}

} // namespace fc

TProfGridCol::TProfGridCol(TProfGrid* grid, int index)
    : grid_(grid),
      width_(grid->DefaultColWidth()),
      color_(index < grid->FixedCols() ? grid->FixedColor() : grid->Color()),
      font_(grid->Font()),
      previousFont_(grid->Font())
{
}

TProfGridCol::~TProfGridCol()
{
    for (int r = 0; r < int(cells_.size()); ++r) {
        TProfGridCell* c = cells_[r];
        if (c && c->lastCol_ == this && c->bottomRow_ == r)
            delete c;
    }
}

int TProfGridCol::Index() const
{
    const auto& v = grid_->columns_;
    return int(std::find(v.begin(), v.end(), this) - v.begin());
}

int TProfGridCol::LayoutIndex() const
{
    const auto& v = grid_->layout_;
    return int(std::find(v.begin(), v.end(), this) - v.begin());
}

TProfGridCell& TProfGridCol::CellAt(int ARow)
{
    if (ARow < 0 || ARow >= grid_->RowCount())
        throw EListError::IndexOutOfBounds(ARow);
    while (int(cells_.size()) <= ARow)
        cells_.push_back(new TProfGridCell(this, int(cells_.size())));
    return *cells_[ARow];
}

TProfGridCell* TProfGridCol::Slot(int ARow) const
{
    if (ARow < 0 || ARow >= int(cells_.size()))
        return nullptr;
    return cells_[ARow];
}

void TProfGridCol::SetWidth(int value)
{
    value = std::max(value, minWidth_);
    if (maxWidth_ > 0)
        value = std::min(value, maxWidth_);
    if (value == width_)
        return;
    width_ = value;
    const int idx = Index();
    if (visible_ && idx < grid_->ColCount() && grid_->BaseColWidth(idx) != value) {
        needsWrap_ = true;
        grid_->BeginUpdate();
        grid_->EndUpdate();
    }
}

void TProfGridCol::SetMinWidth(int value)
{
    minWidth_ = std::max(0, value);
    SetWidth(width_);
}

void TProfGridCol::SetMaxWidth(int value)
{
    maxWidth_ = std::max(0, value);
    SetWidth(width_);
}

void TProfGridCol::SetVisible(bool value)
{
    if (value == visible_)
        return;
    visible_ = value;
    // Spans of merged cells over this column change width.
    grid_->rewrapAll_ = true;
    grid_->BeginUpdate();
    grid_->EndUpdate();
}

void TProfGridCol::SetColor(TColor value)
{
    const int idx = Index();
    const bool fixedToo = grid_->Options().Has(pgoChangeColorFixedCells);
    TProfGridCell* last = nullptr;
    for (TProfGridCell* c : cells_) {
        if (c == last)
            continue;
        last = c;
        if (c->LeftVisibleCol() != idx)
            continue;
        if (!fixedToo && c->TopRow() < grid_->FixedRows())
            continue;
        c->SetColor(value);
    }
    color_ = value;
}

void TProfGridCol::SetFont(const TFont& value)
{
    if (value == font_)
        return;
    font_ = value;
    FontChanged();
}

void TProfGridCol::FontChanged()
{
    const int idx = Index();
    TProfGridCell* last = nullptr;
    // Cells may be freed or split by handlers; walk a copy of the slots.
    const std::vector<TProfGridCell*> slotCopy = cells_;
    for (TProfGridCell* c : slotCopy) {
        if (c == last)
            continue;
        last = c;
        if (c->LeftVisibleCol() != idx)
            continue;
        TFont f = c->Font();
        if (fc::ApplyFontChange(f, previousFont_, font_))
            c->SetFont(f);
    }
    previousFont_ = font_;
}

void TProfGridCol::ChangeLevel(int newLevel)
{
    const int old = groupLevel_;
    if (old == newLevel)
        return;
    groupLevel_ = newLevel;
    if (OnGroupLevelChange)
        OnGroupLevelChange(*this, old, newLevel);
}

void TProfGridCol::RaiseGroupLevel()
{
    const auto& layout = grid_->layout_;
    const int p = LayoutIndex();
    if (p + 1 >= int(layout.size()))
        return;
    if (layout[p + 1]->groupLevel_ != groupLevel_)
        return;
    // Every column raised groups the one after it: each must be made of
    // whole cells of it.
    for (int i = p; i >= 0; --i)
        if (!grid_->MadeOfWholeCells(i))
            return;
    for (int i = p; i >= 0; --i)
        layout[i]->ChangeLevel(layout[i]->groupLevel_ + 1);
}

int TProfGridCol::LowerGroupLevel()
{
    if (groupLevel_ == 0)
        return 0;
    TProfGrid& g = *grid_;
    g.BeginUpdate();
    const auto& layout = g.layout_;
    const int n = int(layout.size());
    const int x = LayoutIndex();
    const int level = groupLevel_;
    int e = x;
    while (e + 1 < n && layout[e + 1]->groupLevel_ == level)
        ++e;
    for (int p = e; p >= x; --p) {
        TProfGridCol* P = layout[p];
        TProfGridCol* Q = p + 1 < n ? layout[p + 1] : nullptr;
        if (Q) {
            int r = 0;
            while (r < int(P->cells_.size())) {
                TProfGridCell* pc = P->cells_[r];
                TProfGridCell& qc = Q->CellAt(r);
                if (qc.bottomRow_ < pc->bottomRow_) {
                    // Split pc after qc's end, over pc's whole column span so
                    // that every covered column sees the same two cells.
                    auto* nc = new TProfGridCell(pc->firstCol_, qc.bottomRow_ + 1);
                    nc->bottomRow_ = pc->bottomRow_;
                    nc->lastCol_ = pc->lastCol_;
                    pc->bottomRow_ = qc.bottomRow_;
                    pc->needsWrap_ = true;
                    const int a = pc->firstCol_->LayoutIndex();
                    const int b = pc->lastCol_->LayoutIndex();
                    for (int q = a; q <= b; ++q)
                        for (int rr = nc->topRow_; rr <= nc->bottomRow_; ++rr)
                            layout[q]->cells_[rr] = nc;
                    nc->SetColor(pc->Color());
                    nc->SetFont(pc->Font());
                    nc->SetAlignment(pc->Alignment());
                    nc->vertAlignment_ = pc->vertAlignment_;
                    nc->readOnly_ = pc->readOnly_;
                    r = nc->topRow_;
                } else {
                    r = pc->bottomRow_ + 1;
                }
            }
        }
        P->ChangeLevel(P->groupLevel_ - 1);
    }
    if (x > 0 && layout[x - 1]->groupLevel_ == groupLevel_ + 2)
        for (int i = x - 1; i >= 0; --i)
            layout[i]->ChangeLevel(layout[i]->groupLevel_ - 1);
    g.EndUpdate();
    return groupLevel_;
}
