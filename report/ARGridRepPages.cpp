// Page building: the bands of the document drawn one under the other onto
// the pages of the page store, with page and column breaks, groups kept
// together, rich text continued over pages, the template's header and
// footer bands at every break and the page number in the variable "Page".
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

#include "ARGridRep.h"
#include "ARPrintProgress.h"
#include "ARPrinter.h"
#include "ARResStrings.h"


namespace {
int sumNamed(const TARRep* t, const char* name)
{
    int s = 0;
    for (int i = 0; i < t->BandCount(); ++i)
        if (TextEquals(t->GetBand(i)->Name(), QLatin1String(name)))
            s += t->GetBand(i)->Height();
    return s;
}
bool hasNamed(const TARRep* t, const char* name)
{
    for (int i = 0; i < t->BandCount(); ++i)
        if (TextEquals(t->GetBand(i)->Name(), QLatin1String(name)))
            return true;
    return false;
}
} // namespace

void TARGridRep::CalcHeaderFooter(TARRep* tmpl)
{
    PageState& s = *ps_;
    if (tmpl == s.tmpl)
        return;
    s.tmpl = tmpl;
    if (!tmpl) {
        s.headerH = s.lastFooterH = s.footerReserve = 0;
        return;
    }
    s.headerH = sumNamed(tmpl, "Header");
    s.lastFooterH = sumNamed(tmpl, "LastFooter");
    s.footerReserve = IntMax(sumNamed(tmpl, "Footer"), s.lastFooterH);
}

bool TARGridRep::BuildPages(const QString& caption)
{
    // A second click that arrives while the pages are built must not free
    // the layout state the running build uses, nor may a build change the
    // bands an export reads.
    if (InUse())
        return false;
    ClearSelection();
    ps_ = std::make_unique<PageState>();
    PageState& s = *ps_;
    struct Cleanup {
        TARGridRep* g;
        ~Cleanup()
        {
            if (g->progress_) {
                g->progress_->close();
                delete g->progress_;
                g->progress_ = nullptr;
            }
        }
    } cleanup{this};
    if (ShowPrintProgress) {
        progress_ = TPrintProgressDlg::CreateWithCaption(this, caption);
        progress_->show();
        progress_->ProgressBar->setMaximum(rep_->BandCount());
        progress_->Aborted = false;
    }
    s.page = 1;
    SetVarValue(QStringLiteral("Page"), 1);
    if (progress_)
        progress_->PagesLabel->setText(ar::FormatD(ar::ResStr(ar::sPages), {1}));
    try {
        if (rep_->BandCount() > 0) {
            CalcHeaderFooter(rep_->GetBand(0)->OrgRep());
            printer_->SetOrientation(rep_->Orientation);
            printer_->SetPageSize(rep_->PageSize());
            printer_->UpdatePrinterInfo();
            s.x0 = ToScreenPixels(rep_->LeftMargin) - printer_->LeftMargin();
            s.rightLimit = printer_->PageWidth() - s.x0;
            s.y0 = ToScreenPixels(rep_->TopMargin) - printer_->TopMargin();
            s.bodyBottom = printer_->PageHeight() - printer_->TopMargin() - s.footerReserve -
                           ToScreenPixels(rep_->BottomMargin);
            s.printing = rep_->GetBand(0);
            s.cur = Rect(s.x0, s.y0, s.x0, s.y0);
            s.colX = s.x0;
        }
        printer_->BeginDoc();
        printer_->Canvas()->Font.Charset = rep_->Font.Charset;
        const int n = rep_->BandCount();
        for (int i = 0; i < n; ++i) {
            TARBand* band = rep_->GetBand(i);
            band->StretchToWidth(*printer_->Canvas(), s.usableWidth());
            PrintBand(band);
            CalcHeaderFooter(band->OrgRep());
            s.printing = rep_->GetBand(IntMin(i + 1, n - 1));
            if (band->BandState & arbsResetPageNumber) {
                s.page = 1;
                SetVarValue(QStringLiteral("Page"), 1);
            }
            if (progress_) {
                progress_->StepIt();
                if (progress_->Aborted) {
                    printer_->Clear();
                    ps_.reset();
                    return false;
                }
            }
        }
        s.cur.Top = s.bodyBottom;
        s.cur.Left = s.colX;
        PrintNamedBands(s.tmpl && hasNamed(s.tmpl, "LastFooter") ? QStringLiteral("LastFooter")
                                                                  : QStringLiteral("Footer"));
        printer_->EndDoc();
    } catch (...) {
        printer_->Clear();
        ps_.reset();
        throw;
    }
    ps_.reset();
    return true;
}

void TARGridRep::Preview()
{
    if (BuildPages(ar::ResStr(ar::sPreparingPages)))
        printer_->Preview(this);
}

void TARGridRep::PrinterChange()
{
    if (InUse())
        return;
    rep_->PageSize().Assign(printer_->PageSize());
    rep_->Orientation = quint8(printer_->GetOrientation());
    BuildPages(ar::ResStr(ar::sPreparingPages));
}

bool TARGridRep::HasRTFCell(const TARBand* band)
{
    for (int j = 0; j < band->CellCount(); ++j)
        if (band->GetCell(j)->IsRTF())
            return true;
    return false;
}

void TARGridRep::PrintBand(TARBand* band)
{
    PageState& s = *ps_;
    // A band is moved to a new page at most once; one that then still does
    // not fit (headers taller than reserved) is printed cut at the bottom.
    bool moved = false;
    for (;;) {
        if (!moved) {
            if (band->BandState & arbsPageBreak)
                NewPrintPage();
            if (band->BandState & arbsBeginPara) {
                int sum = s.cur.Top;
                for (int j = rep_->IndexOfBand(band); j >= 0 && j < rep_->BandCount(); ++j) {
                    TARBand* b = rep_->GetBand(j);
                    sum += b->Height();
                    if (sum >= s.bodyBottom) {
                        NewPrintPage();
                        break;
                    }
                    if (b->BandState & arbsEndPara)
                        break;
                }
            }
        }
        s.cur.Bottom = s.cur.Top + band->Height();
        const int S = rep_->SpanHeight(band);
        if (s.cur.Top + S < s.bodyBottom) {
            PrintBandCells(band, s.cur.Top, s.cur.Bottom);
            return;
        }
        if (HasRTFCell(band)) {
            for (int j = 0; j < band->CellCount(); ++j)
                band->GetCell(j)->ResetContinuation();
            PrintBandPart(band, s.cur.Top, s.bodyBottom);
            // A part that cannot advance on a fresh page would start pages
            // without end.
            auto progress = [band] {
                qint64 p = 0;
                for (int j = 0; j < band->CellCount(); ++j)
                    p += band->GetCell(j)->RTFStart + band->GetCell(j)->DrawnOffset;
                return p;
            };
            while (s.cur.Top >= s.bodyBottom) {
                NewPrintPage();
                const qint64 before = progress();
                PrintBandPart(band, s.cur.Top, s.bodyBottom);
                if (progress() == before)
                    break;
            }
            for (int j = 0; j < band->CellCount(); ++j)
                band->GetCell(j)->ResetContinuation();
            return;
        }
        if (!moved && S < s.bodyBottom - s.y0 - s.headerH) {
            NewPrintPage();
            moved = true;
            continue;
        }
        PrintBandPart(band, s.cur.Top, s.bodyBottom);
        for (int j = 0; j < band->CellCount(); ++j)
            band->GetCell(j)->ResetContinuation();
        return;
    }
}

void TARGridRep::NewPrintPage()
{
    PageState& s = *ps_;
    ++s.colIdx;
    if (s.colIdx < Columns) {
        const int x = s.x0 + s.widest;
        s.cur = Rect(x, s.y0, x, s.y0);
        s.colX = x;
    } else {
        s.colIdx = 0;
        s.widest = 0;
        s.colX = s.x0;
        s.cur.Top = s.bodyBottom;
        s.cur.Left = s.x0;
        PrintNamedBands(QStringLiteral("Footer"));
        printer_->NewPage();
        CalcHeaderFooter(s.printing ? s.printing->OrgRep() : nullptr);
        printer_->Canvas()->Font.Charset = rep_->Font.Charset;
        ++s.page;
        SetVarValue(QStringLiteral("Page"), s.page);
        if (progress_)
            progress_->PagesLabel->setText(ar::FormatD(ar::ResStr(ar::sPages), {s.page}));
        // The one place where a click on Abort can be seen.
        QCoreApplication::processEvents();
        s.cur = Rect(s.x0, s.y0, s.x0, s.y0);
    }
    if (!(s.printing && (s.printing->BandState & arbsResetPageNumber)))
        PrintNamedBands(QStringLiteral("Header"));
}

TARBand* TARGridRep::EvalBand(TARBand* tmplBand, TARRep* origin)
{
    auto b = std::make_unique<TARBand>(origin, *tmplBand);
    for (int j = 0; j < b->CellCount() && j < tmplBand->CellCount(); ++j) {
        TARCell* c = b->GetCell(j);
        EvalCell(tmplBand->GetCell(j), c);
        c->LoadLinkedPicture();
        if (c->AutoStretch()) {
            measureCanvas_.Font.SetSize(c->FontSize());
            measureCanvas_.Font.Style = c->FontStyle();
            measureCanvas_.Font.Name = c->FontName();
            measureCanvas_.Font.Charset = rep_->Font.Charset;
            const int h = c->CalcHeight(measureCanvas_);
            if (h > b->Height())
                b->SetHeight(h);
        }
    }
    return b.release();
}

void TARGridRep::PrintNamedBands(const QString& name)
{
    PageState& s = *ps_;
    if (!s.tmpl)
        return;
    for (int i = 0; i < s.tmpl->BandCount(); ++i) {
        TARBand* tb = s.tmpl->GetBand(i);
        if (!TextEquals(tb->Name(), name))
            continue;
        std::unique_ptr<TARBand> copy(EvalBand(tb, tb->OrgRep()));
        s.cur.Left = s.colX;
        s.cur.Bottom = s.cur.Top + copy->Height();
        copy->StretchToWidth(*printer_->Canvas(), s.usableWidth());
        PrintBandCells(copy.get(), s.cur.Top, s.cur.Bottom);
    }
}

void TARGridRep::PrintBandCells(TARBand* band, int clipTop, int clipBottom)
{
    PageState& s = *ps_;
    EnsureRTF();
    TCanvas& c = *printer_->Canvas();
    const int left = s.cur.Left;
    s.cur.Right = s.cur.Left;
    s.cur.Bottom = s.cur.Top + band->Height();
    for (int j = 0; j < band->CellCount(); ++j) {
        TARCell* cell = band->GetCell(j);
        s.cur.Right += cell->Width();
        if (!cell->IsContinuation()) {
            const TARBand* last = cell->LastSpanBand();
            if (!last || last == band) {
                cell->Draw(c, s.cur, Rect(s.cur.Left, clipTop, s.cur.Right, clipBottom), scsNone, fcsNone);
            } else {
                const TRect r = Rect(s.cur.Left, s.cur.Top, s.cur.Right,
                                     s.cur.Top + last->Top() - band->Top() + last->Height());
                cell->Draw(c, r, r, scsNone, fcsNone);
            }
        }
        s.cur.Left += cell->Width();
    }
    s.widest = IntMax(s.widest, s.cur.Right);
    s.cur.Left = left;
    s.cur.Top = s.cur.Bottom;
}

void TARGridRep::PrintBandPart(TARBand* band, int top, int bottom)
{
    PageState& s = *ps_;
    EnsureRTF();
    TCanvas& c = *printer_->Canvas();
    const int left = s.cur.Left;
    s.cur.Right = s.cur.Left;
    int need = 0;
    for (int j = 0; j < band->CellCount(); ++j) {
        TARCell* cell = band->GetCell(j);
        if (cell->IsContinuation())
            continue;
        const int h = cell->IsRTF() ? cell->CalcHeight(c)
                                    : IntMax(band->Height(), cell->CalcHeight(c)) - cell->DrawnOffset;
        need = IntMax(need, h);
    }
    s.cur.Bottom = s.cur.Top + need;
    for (int j = 0; j < band->CellCount(); ++j) {
        TARCell* cell = band->GetCell(j);
        s.cur.Right += cell->Width();
        if (!cell->IsContinuation()) {
            const TARBand* last = cell->LastSpanBand();
            if (last && last != band) {
                const TRect r = Rect(s.cur.Left, s.cur.Top, s.cur.Right,
                                     IntMin(s.cur.Top + last->Top() - band->Top() + last->Height(), s.bodyBottom));
                cell->Draw(c, r, r, scsNone, fcsNone);
            } else {
                cell->DrawPart(c, s.cur, Rect(s.cur.Left, top, s.cur.Right, bottom));
            }
        }
        s.cur.Left += cell->Width();
    }
    s.widest = IntMax(s.widest, s.cur.Right);
    s.cur.Left = left;
    s.cur.Top = s.cur.Bottom;
}
