#include "ARGridRep.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

#include "ARFrame.h"
#include "ARInplaceEditor.h"
#include "ARPrintProgress.h"
#include "ARPrinter.h"
#include "ARResStrings.h"
#include "ARVFS.h"
#include "platform/Numbers.h"

namespace {
// The expand and collapse marks of the band titles, 10 by 10 pixels.
QImage bandBitmap(bool expanded)
{
    QImage img(10, 10, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(Qt::gray);
    p.drawRect(0, 0, 9, 9);
    p.setPen(Qt::black);
    p.drawLine(2, 5, 7, 5);
    if (!expanded)
        p.drawLine(5, 2, 5, 7);
    return img;
}
} // namespace

EReportInUse::EReportInUse() : Exception(ar::ResStr(ar::sReportInUse)) {}

void TARGridRep::CheckNotInUse() const
{
    if (InUse())
        throw EReportInUse();
}

TARGridRep::UseScope::UseScope(TARGridRep& grid) : grid_(&grid)
{
    ++grid.inUse_;
    grid.printer_->Hold(true);
}

TARGridRep::UseScope::~UseScope()
{
    if (!grid_)
        return;
    --grid_->inUse_;
    grid_->printer_->Hold(false);
}

TARGridRep::TARGridRep(QWidget* parent) : QAbstractScrollArea(parent), rep_(std::make_unique<TARRep>())
{
    printer_ = new TARPrinter(this);
    printer_->OnChange = [this](TARPrinter*) { PrinterChange(); };
    rep_->OnBandChange = [this](TARBandList* b) { BandChanged(b); };
    rep_->OnCellChange = [this](TARBandList* b, TARCell* c) { CellChanged(b, c); };
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(10);
    verticalScrollBar()->setSingleStep(10);
    // Page steps of the bars: the vertical one moves the current band with
    // the page, the horizontal one steps by the client width and gutter.
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderPageStepAdd && action != QAbstractSlider::SliderPageStepSub)
            return;
        verticalScrollBar()->setSliderPosition(vPos_);
        if (action == QAbstractSlider::SliderPageStepAdd)
            PageDown();
        else
            PageUp();
        if (OnVScroll)
            OnVScroll(this);
    });
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) {
        const int step = ClientWidth() + gutter_;
        if (action == QAbstractSlider::SliderPageStepAdd)
            horizontalScrollBar()->setSliderPosition(hPos_ + step);
        else if (action == QAbstractSlider::SliderPageStepSub)
            horizontalScrollBar()->setSliderPosition(hPos_ - step);
    });
    resize(180, 120);
}

TARGridRep::~TARGridRep()
{
    // An open editor would commit into a document that is being freed.
    for (TARInplaceEditorDlg* ed : viewport()->findChildren<TARInplaceEditorDlg*>()) {
        ed->Detach();
        delete ed;
    }
    StopAnts();
    if (rtf_ && &TARRTF::Current() == rtf_.get())
        TARRTF::SetCurrent(nullptr);
    // The document's events point back at this view.
    rep_->OnBandChange = nullptr;
    rep_->OnCellChange = nullptr;
}

// ---- properties ----

void TARGridRep::SetFocusedCellStyle(TFocusedCellStyle s)
{
    const bool wasAnt = focusedCellStyle_ == fcsBlackAnt || focusedCellStyle_ == fcsRedAnt;
    const bool isAnt = s == fcsBlackAnt || s == fcsRedAnt;
    focusedCellStyle_ = s;
    if (isAnt && !wasAnt)
        StartAnts();
    else if (!isAnt && wasAnt)
        StopAnts();
    InvalidateCell(CurrentBandIndex(), CurrentCellIndex());
}

void TARGridRep::SetUnits(TARUnits u)
{
    if (u == units_)
        return;
    GridX = ConvertUnits(units_, u, GridX);
    GridY = ConvertUnits(units_, u, GridY);
    units_ = u;
}

void TARGridRep::SetColor(TColor c)
{
    color_ = c;
    viewport()->update();
}

void TARGridRep::SetGutter(int g)
{
    gutter_ = IntMax(g, 0);
    viewport()->update();
}

void TARGridRep::SetFixedBands(int n)
{
    fixedBands_ = rep_->BandCount() == 0 ? 0 : qBound(0, n, rep_->BandCount() - 1);
    viewport()->update();
}

void TARGridRep::SetShowRightMargin(bool b)
{
    showRightMargin_ = b;
    viewport()->update();
}

void TARGridRep::SetShowHiddenItems(bool b)
{
    if (b == showHiddenItems_)
        return;
    showHiddenItems_ = b;
    viewport()->update();
}

QStringList TARGridRep::GetARTemplate() const { return rep_->ARTemplate(); }

void TARGridRep::SetARTemplate(const QStringList& t)
{
    rep_->SetARTemplate(t);
    viewport()->update();
}

void TARGridRep::EvalCell(TARCell*, TARCell*) {}
void TARGridRep::SetVarValue(const QString&, int) {}

void TARGridRep::Loaded()
{
    if (!rep_->FileSystem) {
        ownFileSystem_ = std::make_unique<TStandardFileSystem>();
        rep_->FileSystem = ownFileSystem_.get();
    }
    hPos_ = vPos_ = 0;
    UpdateScrollBars();
}

void TARGridRep::Clear()
{
    CheckNotInUse();
    // The cells go with their bands: only the list of them is let go, not
    // each cell's mark walked through first.
    selList_.Clear();
    rep_->ClearBands();
    fixedBands_ = 0;
    curBand_ = 0;
    curCell_ = 0;
    UpdateScrollBars();
    hPos_ = vPos_ = 0;
    UpdateScrollBars();
    viewport()->update();
}

void TARGridRep::EnsureRTF()
{
    if (!rtf_)
        rtf_ = std::make_unique<TARRTF>();
    TARRTF::SetCurrent(rtf_.get());
}

// ---- current position ----

int TARGridRep::CurrentBandIndex() const { return qBound(-1, curBand_, rep_->BandCount() - 1); }

void TARGridRep::SetCurrentBandIndex(int i)
{
    if (rep_->BandCount() == 0)
        return;
    i = qBound(0, i, rep_->BandCount() - 1);
    if (i == curBand_)
        return;
    if (TARCell* c = CurrentCell())
        c->SetFocused(false);
    curBand_ = i;
    curCell_ = CurrentCellIndex();
    SetVPos(vPos_);
    if (TARCell* c = CurrentCell())
        c->SetFocused(true);
}

int TARGridRep::CurrentCellIndex() const
{
    const int b = CurrentBandIndex();
    if (b < 0)
        return -1;
    return qBound(0, curCell_, IntMax(0, rep_->GetBand(b)->CellCount() - 1));
}

void TARGridRep::SetCurrentCellIndex(int i)
{
    const int b = CurrentBandIndex();
    if (b < 0)
        return;
    i = qBound(0, i, IntMax(0, rep_->GetBand(b)->CellCount() - 1));
    if (i == curCell_)
        return;
    if (TARCell* c = CurrentCell())
        c->SetFocused(false);
    curCell_ = i;
    SetHPos(hPos_);
    if (TARCell* c = CurrentCell())
        c->SetFocused(true);
}

TARBand* TARGridRep::CurrentBand()
{
    curBand_ = CurrentBandIndex();
    return curBand_ < 0 ? nullptr : rep_->GetBand(curBand_);
}

TARCell* TARGridRep::CurrentCell()
{
    TARBand* b = CurrentBand();
    if (!b)
        return nullptr;
    curCell_ = CurrentCellIndex();
    return b->GetCell(curCell_);
}

// ---- selection ----

void TARGridRep::ClearSelection()
{
    for (int i = 0; i < rep_->BandCount(); ++i) {
        TARBand* b = rep_->GetBand(i);
        for (int j = 0; j < b->CellCount(); ++j)
            if (b->GetCell(j)->Selected())
                b->GetCell(j)->SetSelected(false);
    }
    selList_.Clear();
}

void TARGridRep::ToggleCellSelection(int band, int cell)
{
    if (band < 0 || band >= rep_->BandCount())
        return;
    TARCell* c = rep_->GetBand(band)->GetCell(cell);
    if (!c || cell < 0)
        return;
    const int at = selList_.IndexOf(c);
    if (at >= 0) {
        selList_.Delete(at);
        c->SetSelected(false);
    } else {
        selList_.Add(c);
        c->SetSelected(true);
    }
}

// ---- geometry ----

int TARGridRep::ClientWidth() const { return viewport()->width(); }
int TARGridRep::ClientHeight() const { return viewport()->height(); }

int TARGridRep::FixedTop() const { return fixedBands_ > 0 ? rep_->GetBandTop(fixedBands_) : 0; }

void TARGridRep::CellRect(int band, int cell, TRect& r) const
{
    r = TRect{};
    if (band < 0 || band >= rep_->BandCount())
        return;
    TARBand* b = rep_->GetBand(band);
    TARCell* c = b->GetCell(cell);
    if (!c || cell < 0)
        return;
    r.Left = b->CellLeft(cell) + gutter_ + 1;
    if (!(FixedCells != 0 && cell < FixedCells))
        r.Left -= hPos_;
    r.Right = r.Left + c->Width();
    TARBand* master = c->MasterBand();
    TARBand* last = c->LastSpanBand();
    if (!master)
        master = b;
    if (!last)
        last = b;
    r.Top = master->Top();
    r.Bottom = last->Top() + last->Height();
    if (band >= fixedBands_) {
        r.Top -= vPos_;
        r.Bottom -= vPos_;
    }
}

void TARGridRep::VisibleCellRect(int band, int cell, TRect& r) const
{
    CellRect(band, cell, r);
    if (r == TRect{})
        return;
    if (FixedCells != 0 && cell >= FixedCells) {
        TARBand* b = rep_->GetBand(band);
        const int lastFixed = IntMin(cell, IntMax(0, FixedCells - 1));
        r.Left = IntMax(r.Left, b->CellRight(lastFixed) + gutter_ + 1);
    } else {
        r.Left = IntMax(r.Left, gutter_);
    }
    r.Right = IntMin(r.Right, ClientWidth());
    if (band >= fixedBands_)
        r.Top = IntMax(r.Top, FixedTop());
    r.Bottom = IntMin(r.Bottom, ClientHeight());
}

TRect TARGridRep::BandRect(int i) const
{
    if (i < 0 || i >= rep_->BandCount())
        return TRect{};
    TRect r;
    r.Left = 0;
    r.Right = ClientWidth();
    r.Top = rep_->GetBandTop(i) - (i >= fixedBands_ ? vPos_ : 0);
    r.Bottom = r.Top + rep_->GetBand(i)->Height();
    return r;
}

TRect TARGridRep::BandTitleRect(int i) const
{
    TRect r = BandRect(i);
    if (r != TRect{} && i >= fixedBands_)
        r.Top = IntMax(r.Top, FixedTop());
    return r;
}

int TARGridRep::BandHeight(int i) const
{
    if (i < 0 || i >= rep_->BandCount())
        return 0;
    return rep_->GetBand(i)->Height();
}

TARCell* TARGridRep::CellAtPos(int x, int y, int& idxCell, int& idxBand) const
{
    idxCell = -1;
    idxBand = -1;
    const int T = FixedTop();
    if (y >= T) {
        int top = T - vPos_;
        for (int i = fixedBands_; i < rep_->BandCount(); ++i) {
            const int h = rep_->GetBand(i)->Height();
            if (y >= top && y <= top + h) {
                idxBand = i;
                break;
            }
            top += h;
        }
    } else {
        for (int i = 0; i < fixedBands_ && i < rep_->BandCount(); ++i) {
            const int top = rep_->GetBandTop(i), h = rep_->GetBand(i)->Height();
            if (y >= top && y <= top + h) {
                idxBand = i;
                break;
            }
        }
    }
    if (idxBand < 0 || x <= gutter_)
        return nullptr;
    TARBand* b = rep_->GetBand(idxBand);
    for (int j = 0; j < b->CellCount(); ++j) {
        const int cx = (FixedCells != 0 && j < FixedCells) ? x - gutter_ : x - gutter_ + hPos_;
        const int l = b->CellLeft(j);
        if (cx >= l && cx <= l + b->GetCell(j)->Width()) {
            idxCell = j;
            return b->GetCell(j);
        }
    }
    return nullptr;
}

// ---- scrolling ----

void TARGridRep::UpdateScrollBars()
{
    inScroll_ = true;
    int maxRight = 0;
    for (int i = 0; i < rep_->BandCount(); ++i) {
        TARBand* b = rep_->GetBand(i);
        if (b->CellCount() > 0)
            maxRight = IntMax(maxRight, b->CellRight(b->CellCount() - 1));
    }
    hMax_ = maxRight;
    hPage_ = IntMax(0, ClientWidth() - gutter_);
    QScrollBar* hb = horizontalScrollBar();
    hb->setRange(0, IntMax(0, hMax_ - hPage_));
    hb->setPageStep(IntMax(1, hPage_));
    hb->setValue(IntMax(0, hPos_));
    if (rep_->BandCount() > 0) {
        const int T = FixedTop();
        TARBand* last = rep_->GetBand(rep_->BandCount() - 1);
        vMax_ = last->Top() + last->Height() - T;
        vPage_ = IntMax(0, ClientHeight() - T);
    } else {
        vMax_ = 0;
        vPage_ = IntMax(0, ClientHeight());
    }
    QScrollBar* vb = verticalScrollBar();
    vb->setRange(0, IntMax(0, vMax_ - vPage_));
    vb->setPageStep(IntMax(1, vPage_));
    vb->setValue(IntMax(0, vPos_));
    inScroll_ = false;
}

void TARGridRep::SetHPos(int x)
{
    x = qBound(0, x, IntMax(0, hMax_ - hPage_));
    if (x == hPos_)
        return;
    hPos_ = x;
    viewport()->update();
    inScroll_ = true;
    horizontalScrollBar()->setValue(x);
    inScroll_ = false;
}

void TARGridRep::SetVPos(int y)
{
    y = qBound(0, y, IntMax(0, vMax_ - vPage_));
    if (y == vPos_)
        return;
    const int d = vPos_ - y;
    vPos_ = y;
    const int T = FixedTop();
    if (ClientHeight() - T > std::abs(d))
        viewport()->scroll(0, d, QRect(0, T, ClientWidth(), ClientHeight() - T));
    else
        viewport()->update();
    inScroll_ = true;
    verticalScrollBar()->setValue(y);
    inScroll_ = false;
}

void TARGridRep::scrollContentsBy(int, int)
{
    if (inScroll_)
        return;
    inScroll_ = true;
    const int oh = hPos_, ov = vPos_;
    inScroll_ = false;
    SetHPos(horizontalScrollBar()->value());
    SetVPos(verticalScrollBar()->value());
    if (oh != hPos_ && OnHScroll)
        OnHScroll(this);
    if (ov != vPos_ && OnVScroll)
        OnVScroll(this);
}

void TARGridRep::PageUp()
{
    const int cb = CurrentBandIndex();
    if (cb < 0)
        return;
    const int oldTop = BandRect(cb).Top;
    SetVPos(vPos_ - (ClientHeight() - FixedTop()));
    for (int i = cb; i >= 0; --i)
        if (BandRect(i).Top <= oldTop) {
            SetCurrentBandIndex(i);
            return;
        }
    SetCurrentBandIndex(0);
}

void TARGridRep::PageDown()
{
    const int cb = CurrentBandIndex();
    if (cb < 0)
        return;
    const int oldTop = BandRect(cb).Top;
    SetVPos(vPos_ + (ClientHeight() - FixedTop()));
    int i = cb;
    for (; i < rep_->BandCount(); ++i)
        if (BandRect(i).Top >= oldTop)
            break;
    SetCurrentBandIndex(i);
}

void TARGridRep::MoveToPrevBand() { SetCurrentBandIndex(IntMax(CurrentBandIndex() - 1, 0)); }
void TARGridRep::MoveToNextBand() { SetCurrentBandIndex(IntMin(CurrentBandIndex() + 1, rep_->BandCount() - 1)); }

// ---- keyboard and mouse ----

void TARGridRep::scrollIntoView()
{
    TRect r = CellRect(CurrentBandIndex(), CurrentCellIndex());
    const int T = FixedTop();
    int h = hPos_, v = vPos_;
    if (r.Bottom > ClientHeight()) {
        const int d = r.Bottom - ClientHeight();
        v += d;
        r.Top -= d;
    }
    if (r.Right >= ClientWidth()) {
        const int d = r.Right - ClientWidth();
        h += d;
        r.Left -= d;
    }
    if (r.Top < T)
        v += r.Top - T;
    if (FixedCells != 0 && CurrentCellIndex() >= FixedCells) {
        TARBand* b = CurrentBand();
        const int R = b ? b->CellRight(IntMin(FixedCells, b->CellCount()) - 1) : 0;
        if (R + gutter_ > r.Left)
            h += r.Left - gutter_ - R - 1;
    } else if (gutter_ > r.Left) {
        h += r.Left - gutter_ - 1;
    }
    SetHPos(h);
    SetVPos(v);
}

void TARGridRep::keyPressEvent(QKeyEvent* e)
{
    if (rep_->BandCount() == 0)
        return;
    const int oldBand = CurrentBandIndex(), oldCell = CurrentCellIndex();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    bool handled = true;
    if (ctrl) {
        switch (e->key()) {
        case Qt::Key_Left: SetHPos(hPos_ - 10); return;
        case Qt::Key_Right: SetHPos(hPos_ + 10); return;
        case Qt::Key_Up: SetVPos(vPos_ - 10); return;
        case Qt::Key_Down: SetVPos(vPos_ + 10); return;
        case Qt::Key_Home:
            SetVPos(0);
            SetCurrentCellIndex(0);
            SetCurrentBandIndex(0);
            break;
        case Qt::Key_End:
            SetCurrentBandIndex(rep_->BandCount() - 1);
            SetCurrentCellIndex(CurrentBand() ? CurrentBand()->CellCount() - 1 : 0);
            break;
        case Qt::Key_PageUp: {
            const int T = FixedTop();
            int i = CurrentBandIndex();
            while (i > 0 && BandRect(i).Top > T)
                --i;
            SetCurrentBandIndex(i);
            SetCurrentCellIndex(0);
            break;
        }
        case Qt::Key_PageDown: {
            int i = CurrentBandIndex();
            while (i < rep_->BandCount() - 1 && BandRect(i).Bottom < ClientHeight())
                ++i;
            SetCurrentBandIndex(i);
            SetCurrentCellIndex(CurrentBand() ? CurrentBand()->CellCount() - 1 : 0);
            break;
        }
        default: handled = false;
        }
    } else {
        switch (e->key()) {
        case Qt::Key_Up: MoveToPrevBand(); break;
        case Qt::Key_Down: MoveToNextBand(); break;
        case Qt::Key_Left: SetCurrentCellIndex(IntMax(CurrentCellIndex() - 1, 0)); break;
        case Qt::Key_Right: SetCurrentCellIndex(CurrentCellIndex() + 1); break;
        case Qt::Key_Home: SetCurrentCellIndex(0); break;
        case Qt::Key_End: SetCurrentCellIndex(CurrentBand() ? CurrentBand()->CellCount() - 1 : 0); break;
        case Qt::Key_PageUp: PageUp(); break;
        case Qt::Key_PageDown: PageDown(); break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F2:
            if (ShowEditor(QChar(0))) {
                e->accept();
                return;
            }
            handled = false;
            break;
        case Qt::Key_Plus:
        case Qt::Key_Minus:
            if (keypad && CurrentBand() && CurrentBand()->Expandable()) {
                CurrentBand()->SetExpanded(!CurrentBand()->Expanded());
                viewport()->update();
            } else {
                handled = false;
            }
            break;
        default: handled = false;
        }
    }
    if (!handled)
        return;
    SetCurrentCellIndex(CurrentCellIndex());
    scrollIntoView();
    if (OnKeyDown)
        OnKeyDown(this, e);
    if (CurrentBandIndex() == oldBand && CurrentCellIndex() == oldCell)
        return;
    TARCell* cur = CurrentCell();
    if (!(SelCount() == 1 && SelectedCell(0) == cur)) {
        if (!(e->modifiers() & Qt::ShiftModifier))
            ClearSelection();
        if (cur)
            ToggleCellSelection(CurrentBandIndex(), CurrentCellIndex());
    }
    if (OnSelectCell)
        OnSelectCell(this, CurrentBandIndex(), CurrentCellIndex());
    e->accept();
    UpdateScrollBars();
    viewport()->update();
}

void TARGridRep::mousePressEvent(QMouseEvent* e)
{
    QAbstractScrollArea::mousePressEvent(e);
    if (!hasFocus())
        setFocus();
}

void TARGridRep::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    UpdateScrollBars();
}

bool TARGridRep::ShowEditor(QChar ch)
{
    if (!CurrentCell() || !(Options & roEditing))
        return false;
    bool canEdit = true;
    if (OnCanEdit)
        OnCanEdit(this, CurrentBandIndex(), CurrentCellIndex(), canEdit);
    if (!canEdit)
        return false;
    if (OnShowEditor) {
        OnShowEditor(this, ch);
    } else {
        auto* ed = new TARInplaceEditorDlg(this);
        ed->Execute(ch);
    }
    return true;
}

// ---- change handlers and painting ----

void TARGridRep::BandChanged(TARBandList*) { viewport()->update(); }

void TARGridRep::InvalidateCell(int band, int cell)
{
    TRect r = CellRect(band, cell);
    if (r == TRect{})
        return;
    viewport()->update(QRect(r.Left - 1, r.Top, r.Width() + 1, r.Height()));
}

void TARGridRep::CellChanged(TARBandList* band, TARCell* cell)
{
    const int bi = rep_->IndexOfBand(band);
    if (bi < 0)
        return;
    if (gutter_ != 0) {
        const TRect t = BandTitleRect(bi);
        viewport()->update(QRect(t.Left, t.Top, gutter_ + 1, t.Height()));
    }
    const int ci = static_cast<TARBand*>(band)->IndexOfCell(cell);
    if (ci < 0)
        return;
    InvalidateCell(bi, ci);
}

void TARGridRep::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    TCanvas c(&p);
    c.Font.Charset = rep_->Font.Charset;
    paintCanvas_ = &c;
    const int ch = ClientHeight();
    const int T = FixedTop();
    int y = 0;
    for (int i = 0; i < IntMin(fixedBands_, rep_->BandCount()); ++i)
        if (!PaintBand(c, i, rep_->GetBandTop(i)))
            break;
    y = T - vPos_;
    bool any = false;
    for (int i = fixedBands_; i < rep_->BandCount(); ++i) {
        if (y > ch)
            break;
        any = true;
        const int h = rep_->GetBand(i)->Height();
        if (y + h > T && !PaintBand(c, i, y))
            break;
        y += h;
    }
    if (!any && rep_->BandCount() > 0 && fixedBands_ >= rep_->BandCount()) {
        TARBand* last = rep_->GetBand(rep_->BandCount() - 1);
        y = last->Top() + last->Height();
    }
    if (rep_->BandCount() == 0)
        y = 0;
    if (y <= ch) {
        c.BrushColor = color_;
        c.FillRect(Rect(0, y, ClientWidth(), ch));
    }
    if (antsRegistered_ && (focusedCellStyle_ == fcsBlackAnt || focusedCellStyle_ == fcsRedAnt)) {
        const TRect v = VisibleCellRect(CurrentBandIndex(), CurrentCellIndex());
        const TRect r = CellRect(CurrentBandIndex(), CurrentCellIndex());
        if (!v.IsEmpty() && !r.IsEmpty()) {
            p.save();
            p.setClipRect(QRect(v.Left, v.Top, v.Width(), v.Height()));
            const QBrush ants(TARFrameThread::FrameImage(TARFrameThread::Phase()));
            const QRect fr(r.Left, r.Top, r.Width(), r.Height());
            p.fillRect(QRect(fr.left(), fr.top(), fr.width(), 1), ants);
            p.fillRect(QRect(fr.left(), fr.bottom(), fr.width(), 1), ants);
            p.fillRect(QRect(fr.left(), fr.top(), 1, fr.height()), ants);
            p.fillRect(QRect(fr.right(), fr.top(), 1, fr.height()), ants);
            p.restore();
        }
    }
    if (showRightMargin_) {
        const double w = (rep_->PageSize().Width() - rep_->LeftMargin) / 10 / 25.4 * ScreenPixelsPerInch;
        const int x = gutter_ + int(fc::Round(w)) - hPos_;
        p.setPen(ar::ToQColor(clRed));
        p.drawLine(x, 0, x, ch);
    }
    paintCanvas_ = nullptr;
}

bool TARGridRep::PaintBand(TCanvas& c, int i, int y)
{
    if (y > ClientHeight())
        return false;
    DrawBandTitle(i);
    EnsureRTF();
    TARBand* b = rep_->GetBand(i);
    int right = gutter_ + 1;
    for (int j = 0; j < b->CellCount(); ++j) {
        const TRect vis = VisibleCellRect(i, j);
        const TRect r = CellRect(i, j);
        b->GetCell(j)->Draw(c, r, vis, SelectedCellStyle, focusedCellStyle_);
        right = IntMax(right, vis.Right);
    }
    TRect t = BandTitleRect(i);
    t.Left = right;
    c.BrushColor = color_;
    c.FillRect(t);
    return true;
}

void TARGridRep::DrawBandTitle(int i)
{
    if (gutter_ == 0 || i < 0 || i >= rep_->BandCount() || !paintCanvas_)
        return;
    TCanvas& c = *paintCanvas_;
    QPainter* p = c.Painter();
    TARBand* b = rep_->GetBand(i);
    TRect r = BandTitleRect(i);
    r.Right = gutter_ + 1;
    TClipScope clip(c, r);
    c.BrushColor = clBtnFace;
    c.FillRect(r);
    c.Font = rep_->Font;
    const bool sel = b->Selected();
    if (ShowBandTitle) {
        const TRect tr = Rect(r.Left, r.Top + 1, r.Right - 3, r.Bottom - 1);
        const int y = (b->Height() - c.TextHeight(b->Name())) / 2 + r.Top;
        c.Font.Style = sel ? TFontStyles(fsBold) : TFontStyles(0);
        c.Font.Color = clBtnHighlight;
        c.TextRect(tr, sel ? 4 : 6, sel ? y - 1 : y + 1, b->Name());
        c.Font.Color = clBlack;
        c.TextRect(tr, 5, y, b->Name());
    } else {
        if (OnDrawBandTitle)
            OnDrawBandTitle(this, i, c, r);
        if (b->Expandable() && p) {
            const QImage bm = bandBitmap(b->Expanded());
            p->drawImage(gutter_ - 3 - bm.width(), (r.Height() - bm.height()) / 2 + r.Top, bm);
        }
    }
    if (b->Marked() && p)
        p->drawImage(0, (b->Height() - b->Mark().height()) / 2 + r.Top, b->Mark());
    if (p) {
        const QColor hi = ar::ToQColor(clBtnHighlight), sh = ar::ToQColor(clBtnShadow);
        p->setPen(sel ? sh : hi);
        p->drawLine(r.Left, r.Top, r.Left, r.Bottom - 1);
        p->drawLine(r.Left, r.Top, r.Right - 3, r.Top);
        p->setPen(sel ? hi : sh);
        p->drawLine(r.Left, r.Bottom - 1, r.Right - 3, r.Bottom - 1);
        p->setPen(Qt::white);
        p->drawLine(gutter_ - 3, r.Top - 1, gutter_ - 3, r.Bottom + 1);
        p->setPen(ar::ToQColor(clBtnFace));
        p->drawLine(gutter_ - 2, r.Top - 1, gutter_ - 2, r.Bottom + 1);
        p->setPen(QColor(0x80, 0x80, 0x80));
        p->drawLine(gutter_ - 1, r.Top - 1, gutter_ - 1, r.Bottom + 1);
    }
}

// ---- ants ----

void TARGridRep::StartAnts()
{
    if (antsRegistered_)
        return;
    TARFrameThread::Register(this);
    antsRegistered_ = true;
    AntBand = AntCell = -1;
}

void TARGridRep::StopAnts()
{
    if (!antsRegistered_)
        return;
    TARFrameThread::Unregister(this);
    antsRegistered_ = false;
}
