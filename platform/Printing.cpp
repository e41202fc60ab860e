#include "Printing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

#include "AtomicFile.h"

namespace fc {

namespace {

struct CodeRow {
    int code;
    QPageSize::PageSizeId id;
};
// Paper codes of the templates and the Qt sizes they stand for; the first
// row of a Qt size gives its code.
const CodeRow kCodes[] = {
    {1, QPageSize::Letter},          {3, QPageSize::Tabloid},         {4, QPageSize::Ledger},
    {5, QPageSize::Legal},           {6, QPageSize::Statement},       {7, QPageSize::Executive},
    {8, QPageSize::A3},              {9, QPageSize::A4},              {11, QPageSize::A5},
    {12, QPageSize::JisB4},          {13, QPageSize::JisB5},          {14, QPageSize::Folio},
    {15, QPageSize::Quarto},         {16, QPageSize::Imperial10x14},  {17, QPageSize::Tabloid},
    {18, QPageSize::Note},           {19, QPageSize::Envelope9},      {20, QPageSize::Envelope10},
    {21, QPageSize::Envelope11},     {22, QPageSize::Envelope12},     {23, QPageSize::Envelope14},
    {24, QPageSize::AnsiC},          {25, QPageSize::AnsiD},          {26, QPageSize::AnsiE},
    {27, QPageSize::EnvelopeDL},     {28, QPageSize::EnvelopeC5},     {29, QPageSize::EnvelopeC3},
    {30, QPageSize::EnvelopeC4},     {31, QPageSize::EnvelopeC6},     {32, QPageSize::EnvelopeC65},
    {33, QPageSize::EnvelopeB4},     {34, QPageSize::EnvelopeB5},     {35, QPageSize::EnvelopeB6},
    {36, QPageSize::EnvelopeItalian}, {37, QPageSize::EnvelopeMonarch}, {38, QPageSize::EnvelopePersonal},
    {39, QPageSize::FanFoldUS},      {40, QPageSize::FanFoldGerman},  {41, QPageSize::FanFoldGermanLegal},
    {42, QPageSize::B4},             {43, QPageSize::JisB6},          {44, QPageSize::Imperial9x11},
    {45, QPageSize::Imperial10x11},  {46, QPageSize::Imperial15x11},  {47, QPageSize::EnvelopeInvite},
    {50, QPageSize::LetterExtra},    {51, QPageSize::LegalExtra},     {52, QPageSize::TabloidExtra},
    {53, QPageSize::A4Extra},        {57, QPageSize::SuperA},         {58, QPageSize::SuperB},
    {59, QPageSize::LetterPlus},     {60, QPageSize::A4Plus},         {61, QPageSize::A5},
    {62, QPageSize::B5},             {63, QPageSize::A3Extra},        {64, QPageSize::A5Extra},
    {65, QPageSize::B5Extra},        {66, QPageSize::A2},             {70, QPageSize::A6},
    {72, QPageSize::EnvelopeKaku2},  {73, QPageSize::EnvelopeKaku3},  {74, QPageSize::EnvelopeChou3},
    {75, QPageSize::EnvelopeChou4},  {82, QPageSize::EnvelopeYou4},
};

// A print job of the Qt printer. A print to a PDF file goes, as every file
// the program writes, through a temporary file beside it that replaces the
// file only once it is whole: the printer writes the PDF without telling
// of a failed write, so the end of the job reads what reached the disk.
class QtPrintJob : public IPrintJob {
public:
    explicit QtPrintJob(QPrinter& printer) : printer_(printer) {}
    ~QtPrintJob() override { restoreFileName(); }
    bool Start(QString& why)
    {
        if (printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty()) {
            target_ = printer_.outputFileName();
            file_ = std::make_unique<AtomicFile>(target_);
            if (!file_->open(QIODevice::WriteOnly)) {
                why = file_->errorString();
                file_.reset();
                return false;
            }
            printer_.setOutputFileName(file_->TempFileName());
        }
        if (painter_.begin(&printer_))
            return true;
        why = file_ ? QStringLiteral("the file could not be written") : QStringLiteral("the printing system refused the job");
        Abort();
        return false;
    }
    QPainter* Painter() override { return &painter_; }
    bool NewPage() override
    {
        if (printer_.newPage() && printer_.printerState() != QPrinter::Error)
            return true;
        reason_ = QStringLiteral("the printing system refused the page");
        return false;
    }
    bool End() override
    {
        // A PDF file is written when the painter ends.
        const bool ended = !painter_.isActive() || painter_.end();
        restoreFileName();
        if (!ended || printer_.printerState() == QPrinter::Error) {
            reason_ = QStringLiteral("the printing system reported an error");
            return false;
        }
        if (!file_)
            return true;
        if (!wholePdf(file_->TempFileName())) {
            reason_ = whyCut(file_->TempFileName());
            file_.reset();
            return false;
        }
        const bool saved = file_->commit();
        if (!saved)
            reason_ = file_->errorString();
        file_.reset();
        return saved;
    }
    void Abort() override
    {
        printer_.abort();
        if (painter_.isActive())
            painter_.end();
        restoreFileName();
        file_.reset(); // the temporary file goes, the file stays as it was
    }
    QString Reason() const override { return reason_; }

private:
    void restoreFileName()
    {
        if (!target_.isEmpty())
            printer_.setOutputFileName(target_);
    }
    // The PDF writer ends its file with "%%EOF": a file cut short by a
    // failed write has no such end.
    static bool wholePdf(const QString& name)
    {
        QFile f(name);
        if (!f.open(QIODevice::ReadOnly) || f.size() < 16)
            return false;
        f.seek(std::max<qint64>(0, f.size() - 64));
        return f.readAll().contains("%%EOF");
    }
    // The reason of a write that was cut: the same write again, of as much
    // as a page may need, answers with the system's reason.
    static QString whyCut(const QString& name)
    {
        const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (fd < 0)
            return QString::fromLocal8Bit(std::strerror(errno));
        const QByteArray probe(256 * 1024, '\n');
        const ssize_t n = ::write(fd, probe.constData(), size_t(probe.size()));
        const int err = errno;
        ::close(fd);
        if (n < probe.size())
            return QString::fromLocal8Bit(std::strerror(n < 0 ? err : ENOSPC));
        return QStringLiteral("the file was cut short while it was written");
    }

    QPrinter& printer_;
    QPainter painter_;
    QString target_;
    std::unique_ptr<AtomicFile> file_;
    QString reason_;
};

IPrinterService* g_service = nullptr;
std::optional<QString> g_pendingTitle;

IPrinterService& current()
{
    if (g_service)
        return *g_service;
    static QtPrinterService qt;
    return qt;
}

void handPendingTitle(IPrinterService& printer)
{
    if (!g_pendingTitle)
        return;
    const QString title = std::move(*g_pendingTitle);
    g_pendingTitle.reset();
    if (printer.PrinterInstalled())
        printer.SetTitle(title);
}

// A page of the fake printer: a picture with the printer's metrics.
class FakePage : public QPicture {
public:
    explicit FakePage(const PrinterMetrics& m) : m_(m) {}
protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return m_.physicalWidth;
        case PdmHeight: return m_.physicalHeight;
        case PdmWidthMM: return qRound(m_.physicalWidth * 25.4 / m_.resolutionX);
        case PdmHeightMM: return qRound(m_.physicalHeight * 25.4 / m_.resolutionY);
        case PdmDpiX:
        case PdmPhysicalDpiX: return m_.resolutionX;
        case PdmDpiY:
        case PdmPhysicalDpiY: return m_.resolutionY;
        default: return QPicture::metric(metric);
        }
    }
private:
    PrinterMetrics m_;
};

class FakeJob : public IPrintJob {
public:
    FakeJob(FakePrinterService& printer, FakePrinterService::Job& job) : printer_(printer), job_(job) { open(); }
    ~FakeJob() override { close(); }
    QPainter* Painter() override { return &painter_; }
    bool NewPage() override
    {
        close();
        if (printer_.failOnPage == int(job_.pages.size()) + 1)
            return false;
        open();
        return true;
    }
    bool End() override
    {
        close();
        if (printer_.failEnd)
            return false;
        job_.ended = true;
        return true;
    }
    void Abort() override
    {
        close();
        job_.aborted = true;
    }
    QString Reason() const override { return printer_.failReason; }
private:
    void open()
    {
        job_.pages.push_back(std::make_shared<FakePage>(printer_.metrics));
        painter_.begin(job_.pages.back().get());
    }
    void close()
    {
        if (painter_.isActive())
            painter_.end();
    }
    FakePrinterService& printer_;
    FakePrinterService::Job& job_;
    QPainter painter_;
};

} // namespace

QtPrinterService::QtPrinterService() = default;
QtPrinterService::~QtPrinterService() = default;

QPrinter& QtPrinterService::Printer() const
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

bool QtPrinterService::PrinterInstalled() const { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

QString QtPrinterService::Name() const
{
    QPrinter& pr = Printer();
    if (pr.outputFormat() == QPrinter::PdfFormat && !pr.outputFileName().isEmpty())
        return pr.outputFileName();
    return pr.printerName();
}

PrintOrientation QtPrinterService::Orientation() const
{
    return Printer().pageLayout().orientation() == QPageLayout::Landscape ? PrintOrientation::Landscape
                                                                          : PrintOrientation::Portrait;
}

void QtPrinterService::SetOrientation(PrintOrientation o)
{
    Printer().setPageOrientation(o == PrintOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int QtPrinterService::Copies() const { return Printer().copyCount(); }
void QtPrinterService::SetCopies(int n) { Printer().setCopyCount(n); }
QString QtPrinterService::Title() const { return Printer().docName(); }
void QtPrinterService::SetTitle(const QString& t) { Printer().setDocName(t); }

PrinterPaper QtPrinterService::Paper() const
{
    const QPageSize ps = Printer().pageLayout().pageSize();
    PrinterPaper p;
    const QSizeF mm = ps.size(QPageSize::Millimeter);
    p.widthTenthsMM = qRound(mm.width() * 10);
    p.lengthTenthsMM = qRound(mm.height() * 10);
    p.code = QtToPaperCode(ps.id());
    if (p.code == 0)
        p.code = PrinterPaper::CustomCode;
    return p;
}

void QtPrinterService::SetPaper(const PrinterPaper& p)
{
    int id = 0;
    if (p.code != PrinterPaper::CustomCode && PaperCodeToQt(p.code, id))
        Printer().setPageSize(QPageSize(QPageSize::PageSizeId(id)));
    else if (p.widthTenthsMM > 0 && p.lengthTenthsMM > 0)
        Printer().setPageSize(QPageSize(QSizeF(p.widthTenthsMM / 10.0, p.lengthTenthsMM / 10.0), QPageSize::Millimeter));
}

PrinterMetrics QtPrinterService::Metrics() const
{
    QPrinter& pr = Printer();
    PrinterMetrics m;
    m.resolutionX = m.resolutionY = pr.resolution();
    const QRectF paper = pr.paperRect(QPrinter::DevicePixel);
    const QRectF page = pr.pageRect(QPrinter::DevicePixel);
    m.offsetX = qRound(page.left() - paper.left());
    m.offsetY = qRound(page.top() - paper.top());
    m.physicalWidth = qRound(paper.width());
    m.physicalHeight = qRound(paper.height());
    return m;
}

bool QtPrinterService::ExecPageSetupDialog()
{
    QPageSetupDialog dlg(&Printer());
    return dlg.exec() == QDialog::Accepted;
}

bool QtPrinterService::ExecPrintDialog(PrintDialogSettings& s)
{
    QPrinter& pr = Printer();
    pr.setCopyCount(s.copies);
    pr.setCollateCopies(s.collate);
    if (s.printToFile) {
        // Preselects the dialog's file entry: the name the caller proposes,
        // in a folder that is there, whatever the last print chose.
        const QString doc = pr.docName().isEmpty() ? QStringLiteral("Report") : pr.docName();
        const QString file = s.fileName.isEmpty() ? QDir::home().filePath(doc + QStringLiteral(".pdf")) : s.fileName;
        QDir().mkpath(QFileInfo(file).absolutePath());
        pr.setOutputFileName(file);
    }
    QPrintDialog dlg(&pr);
    dlg.setMinMax(s.minPage, s.maxPage);
    dlg.setFromTo(s.fromPage, s.toPage);
    dlg.setOption(QAbstractPrintDialog::PrintToFile, s.printToFile);
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    if (pr.printRange() == QPrinter::PageRange) {
        s.fromPage = pr.fromPage();
        s.toPage = pr.toPage();
    } else {
        s.fromPage = s.minPage;
        s.toPage = s.maxPage;
    }
    s.copies = pr.copyCount();
    s.collate = pr.collateCopies();
    return true;
}

std::unique_ptr<IPrintJob> QtPrinterService::BeginJob(const QString& title)
{
    QPrinter& pr = Printer();
    pr.setDocName(title);
    // Our own page range and copies are applied by the caller.
    pr.setPrintRange(QPrinter::AllPages);
    // Without a printer the page geometry has no unprintable margins.
    pr.setFullPage(!PrinterInstalled());
    startError_.clear();
    auto job = std::make_unique<QtPrintJob>(pr);
    if (!job->Start(startError_))
        return nullptr;
    return job;
}

bool PaperCodeToQt(int code, int& qtPageSizeId)
{
    for (const CodeRow& r : kCodes)
        if (r.code == code) {
            qtPageSizeId = int(r.id);
            return true;
        }
    return false;
}

int QtToPaperCode(int qtPageSizeId)
{
    for (const CodeRow& r : kCodes)
        if (int(r.id) == qtPageSizeId)
            return r.code;
    return 0;
}

IPrinterService& Printers()
{
    IPrinterService& printer = current();
    handPendingTitle(printer);
    return printer;
}

void SetPrinters(IPrinterService* service)
{
    // A title given meanwhile belongs to the printer it was given to.
    handPendingTitle(current());
    g_service = service;
}

void SetPrinterTitle(const QString& title) { g_pendingTitle = title; }

bool FakePrinterService::ExecPageSetupDialog()
{
    ++setupDialogRuns;
    if (setupAnswer) {
        if (setupChangesPaper)
            paper = setupPaper;
        if (setupChangesMetrics)
            metrics = setupMetrics;
    }
    return setupAnswer;
}

bool FakePrinterService::ExecPrintDialog(PrintDialogSettings& s)
{
    ++printDialogRuns;
    lastPrintDialog = s;
    if (!printAnswer)
        return false;
    if (printFrom >= 0)
        s.fromPage = printFrom;
    if (printTo >= 0)
        s.toPage = printTo;
    if (printCopies >= 0)
        s.copies = printCopies;
    if (s.printToFile && !printToFileAnswer.isEmpty())
        outputFile = printToFileAnswer;
    if (setupChangesMetrics)
        metrics = setupMetrics;
    return true;
}

std::unique_ptr<IPrintJob> FakePrinterService::BeginJob(const QString& t)
{
    if (failStart || (!installed && outputFile.isEmpty()))
        return nullptr;
    jobs.push_back(Job{t, {}, false, false});
    return std::make_unique<FakeJob>(*this, jobs.back());
}

} // namespace fc
