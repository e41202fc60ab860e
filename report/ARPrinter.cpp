#include "ARPrinter.h"

#include "platform/ProgramFolder.h"

#include <QPainter>
#include <cmath>

#include "ARPreviewForm.h"
#include "ARResStrings.h"
#include "platform/Dialogs.h"
#include "platform/Font.h"
#include "platform/Numbers.h"
#include "platform/Printing.h"

namespace {
constexpr int S = ScreenPixelsPerInch;
TARPrinter::PreviewRunner g_previewRunner;

int roundInt(double v) { return int(fc::Round(v)); }
} // namespace

TARPrinter::TARPrinter(QObject* owner) : QObject(owner), resX_(S), resY_(S)
{
    pageSize_.SetName(QStringLiteral("A4"));
}

TARPrinter::~TARPrinter() { Clear(); }

bool TARPrinter::PrinterInstalled() const { return fc::Printers().PrinterInstalled(); }

int TARPrinter::toScreen(int v, int res) const { return res > 0 ? roundInt(double(S) * v / res) : 0; }
int TARPrinter::PageWidth() const { return toScreen(physW_, resX_); }
int TARPrinter::PageHeight() const { return toScreen(physH_, resY_); }
int TARPrinter::LeftMargin() const { return toScreen(offX_, resX_); }
int TARPrinter::TopMargin() const { return toScreen(offY_, resY_); }

void TARPrinter::BeginDoc()
{
    Clear();
    UpdatePrinterInfo();
    NewPage();
}

void TARPrinter::NewPage()
{
    canvas_.reset();
    if (painter_)
        painter_->end();
    painter_.reset();
    if (!recorder_)
        recorder_ = std::make_unique<ar::PageRecorder>();
    const QRect sheet(0, 0, PageWidth(), PageHeight());
    pages_.push_back(recorder_->NewPage(sheet));
    currentPage_ = PageCount();
    painter_ = std::make_unique<QPainter>(recorder_->Device(pages_.back().get(), sheet));
    canvas_ = std::make_unique<TCanvas>(painter_.get());
}

void TARPrinter::EndDoc()
{
    canvas_.reset();
    if (painter_)
        painter_->end();
    painter_.reset();
    // A page is always the whole sheet.
    for (auto& p : pages_)
        p->SetBoundingRect(QRect(0, 0, PageWidth(), PageHeight()));
    fromPage_ = IntMin(PageCount(), 1);
    toPage_ = PageCount();
}

void TARPrinter::Clear()
{
    canvas_.reset();
    if (painter_)
        painter_->end();
    painter_.reset();
    pages_.clear();
    // The next report shares nothing with this one.
    recorder_.reset();
    currentPage_ = 0;
    fromPage_ = 0;
    toPage_ = 0;
}

const ar::Page* TARPrinter::Page(int n) const
{
    if (n < 1 || n > PageCount())
        return nullptr;
    return pages_[size_t(n - 1)].get();
}

const ar::Page* TARPrinter::CurrentMetafile() const { return Page(currentPage_); }

qint64 TARPrinter::Bytes() const
{
    qint64 n = recorder_ ? recorder_->Resources().Bytes() : 0;
    for (const auto& p : pages_)
        n += p->OwnBytes();
    return n;
}

void TARPrinter::SetCurrentPage(int n)
{
    if (PageCount() == 0)
        currentPage_ = 0;
    else
        currentPage_ = qBound(1, n, PageCount());
}

QString TARPrinter::GetTitle()
{
    if (PrinterInstalled())
        title_ = fc::Printers().Title();
    return title_;
}

void TARPrinter::SetTitle(const QString& t)
{
    title_ = t;
    // Handed to an installed printer at its next use.
    fc::SetPrinterTitle(t);
}

int TARPrinter::GetCopies()
{
    if (PrinterInstalled())
        copies_ = fc::Printers().Copies();
    return copies_;
}

void TARPrinter::SetCopies(int n)
{
    copies_ = n;
    if (PrinterInstalled())
        fc::Printers().SetCopies(n);
}

int TARPrinter::GetOrientation()
{
    if (PrinterInstalled())
        orientation_ = fc::Printers().Orientation() == fc::PrintOrientation::Landscape ? 1 : 0;
    return orientation_;
}

void TARPrinter::SetOrientation(int o)
{
    orientation_ = o;
    if (PrinterInstalled())
        fc::Printers().SetOrientation(o == 1 ? fc::PrintOrientation::Landscape : fc::PrintOrientation::Portrait);
}

bool TARPrinter::UpdatePrinterInfo()
{
    if (!PrinterInstalled()) {
        resX_ = resY_ = S;
        offX_ = offY_ = 0;
        physW_ = roundInt(pageSize_.Width() / 10 / 25.4 * resX_);
        physH_ = roundInt(pageSize_.Height() / 10 / 25.4 * resY_);
        return false;
    }
    bool changed = false;
    const int po = fc::Printers().Orientation() == fc::PrintOrientation::Landscape ? 1 : 0;
    if (po != orientation_) {
        SetOrientation(po);
        changed = true;
    }
    const fc::PrinterMetrics m = fc::Printers().Metrics();
    auto take = [&changed](int& field, int v) {
        if (field != v) {
            field = v;
            changed = true;
        }
    };
    take(resX_, m.resolutionX);
    take(resY_, m.resolutionY);
    take(offX_, m.offsetX);
    take(offY_, m.offsetY);
    take(physW_, m.physicalWidth);
    take(physH_, m.physicalHeight);
    return changed;
}

fc::PrinterPaper TARPrinter::printerPaper() const
{
    fc::PrinterPaper p = fc::Printers().Paper();
    if (pageSize_.PaperSize() < 1) {
        p.code = fc::PrinterPaper::CustomCode;
        p.widthTenthsMM = roundInt(pageSize_.Width());
        p.lengthTenthsMM = roundInt(pageSize_.Height());
    } else {
        p.code = pageSize_.PaperSize();
    }
    return p;
}

void TARPrinter::WritePageSizeToPrinter()
{
    if (!PrinterInstalled())
        return;
    fc::Printers().SetPaper(printerPaper());
}

void TARPrinter::SetPageSize(const TARPageSize& ps)
{
    pageSize_.Assign(ps);
    WritePageSizeToPrinter();
}

void TARPrinter::ReadPageSizeFromPrinter()
{
    if (!PrinterInstalled())
        return;
    const fc::PrinterPaper p = fc::Printers().Paper();
    if (p.code >= 1 && p.code <= 82) {
        pageSize_.SetPaperSize(p.code);
        if (pageSize_.PaperSize() == p.code)
            return;
    }
    // A paper without a code of the table (a custom size, or a code the
    // table does not carry, such as A6) is taken by its size, which finds
    // a table paper of that size or else gives a custom one.
    pageSize_.SetPaperSize(0);
    pageSize_.SetWidth(p.widthTenthsMM);
    pageSize_.SetHeight(p.lengthTenthsMM);
}

void TARPrinter::PrinterSetup()
{
    if (Busy())
        return;
    WritePageSizeToPrinter();
    if (fc::Printers().ExecPageSetupDialog()) {
        ReadPageSizeFromPrinter();
        if (UpdatePrinterInfo() && OnChange)
            OnChange(this);
    }
}

void TARPrinter::Print()
{
    if (Busy())
        return;
    WritePageSizeToPrinter();
    fc::PrintDialogSettings s;
    s.minPage = 1;
    s.maxPage = PageCount();
    s.fromPage = fromPage_;
    s.toPage = toPage_;
    s.copies = GetCopies();
    s.collate = true;
    // Without a printer the pages can still go to a PDF file: the report's
    // own name in the program folder's pdf/.
    s.printToFile = !PrinterInstalled();
    if (s.printToFile)
        s.fileName = ProposedFile ? ProposedFile()
                                  : fc::ProgramFolder() + QStringLiteral("pdf/") +
                                        (GetTitle().isEmpty() ? QStringLiteral("Report") : GetTitle()) +
                                        QStringLiteral(".pdf");
    if (!fc::Printers().ExecPrintDialog(s))
        return;
    ReadPageSizeFromPrinter();
    fromPage_ = s.fromPage;
    toPage_ = s.toPage;
    SetCopies(s.copies);
    if (UpdatePrinterInfo() && OnChange) {
        OnChange(this);
        // The rebuild sets the range to all pages; the user's range holds,
        // within the pages there now are.
        fromPage_ = IntMin(s.fromPage, PageCount());
        toPage_ = IntMin(s.toPage, PageCount());
    }
    PrintPages();
}

namespace {
void tellPrintFailure(const QString& text)
{
    fc::ShowMessage(ar::ResStr(ar::sPrint), text, TMsgDlgType::mtError);
}
} // namespace

void TARPrinter::PrintPages()
{
    if (PageCount() == 0)
        return;
    fc::IPrinterService& printer = fc::Printers();
    if (!PrinterInstalled()) {
        // Printing to a file without a printer: the sheet is the report's
        // paper, as the page geometry without a printer assumes.
        printer.SetOrientation(fc::PrintOrientation::Portrait);
        printer.SetPaper(printerPaper());
    }
    // The printer or file as the user chose it, before the job writes.
    const QString name = printer.Name();
    std::unique_ptr<fc::IPrintJob> job = printer.BeginJob(GetTitle());
    // The failure with the device's reason, when it gave one.
    auto withReason = [](QString text, const QString& reason) {
        if (!reason.isEmpty())
            text += QLatin1Char('\n') + reason;
        return text;
    };
    if (!job) {
        tellPrintFailure(name.isEmpty() ? ar::ResStr(ar::sNoPrinter)
                                        : withReason(ar::ResStr(ar::sPrintNotStarted).replace(QLatin1String("%s"), name),
                                                     printer.StartError()));
        return;
    }
    int reached = fromPage_;
    bool ok = true;
    try {
        for (int p = fromPage_; ok && p <= toPage_; ++p) {
            reached = p;
            SetCurrentPage(p);
            // Playing a page maps its screen pixels onto the device's
            // resolution already; no scaling of our own.
            if (const ar::Page* page = CurrentMetafile())
                page->Play(*job->Painter());
            if (p < toPage_ && !job->NewPage()) {
                reached = p + 1;
                ok = false;
            }
        }
        ok = ok && job->End();
    } catch (...) {
        ok = false;
    }
    if (!ok) {
        const QString reason = job->Reason();
        job->Abort();
        tellPrintFailure(withReason(ar::FormatD(ar::ResStr(ar::sPrintFailed).replace(QLatin1String("%s"), name),
                                                {reached, PageCount()}),
                                    reason));
    }
}

void TARPrinter::SetPreviewRunner(PreviewRunner r) { g_previewRunner = std::move(r); }

void TARPrinter::Preview(QWidget* parent)
{
    if (g_previewRunner) {
        g_previewRunner(*this);
        return;
    }
    TARPreviewDialog dlg(parent);
    dlg.SetPrinter(this);
    dlg.exec();
}
