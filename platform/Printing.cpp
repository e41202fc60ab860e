#include "Printing.h"

#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

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

class QtPrintJob : public IPrintJob {
public:
    explicit QtPrintJob(QPrinter& printer) : printer_(printer) {}
    bool Start() { return painter_.begin(&printer_); }
    QPainter* Painter() override { return &painter_; }
    bool NewPage() override { return printer_.newPage(); }
    void End() override
    {
        if (painter_.isActive())
            painter_.end();
    }
    void Abort() override
    {
        printer_.abort();
        if (painter_.isActive())
            painter_.end();
    }
private:
    QPrinter& printer_;
    QPainter painter_;
};

class QtPrinterService : public IPrinterService {
public:
    bool PrinterInstalled() const override { return !QPrinterInfo::availablePrinterNames().isEmpty(); }
    PrintOrientation Orientation() const override
    {
        return printer().pageLayout().orientation() == QPageLayout::Landscape ? PrintOrientation::Landscape
                                                                              : PrintOrientation::Portrait;
    }
    void SetOrientation(PrintOrientation o) override
    {
        printer().setPageOrientation(o == PrintOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
    int Copies() const override { return printer().copyCount(); }
    void SetCopies(int n) override { printer().setCopyCount(n); }
    QString Title() const override { return printer().docName(); }
    void SetTitle(const QString& t) override { printer().setDocName(t); }
    PrinterPaper Paper() const override
    {
        const QPageSize ps = printer().pageLayout().pageSize();
        PrinterPaper p;
        const QSizeF mm = ps.size(QPageSize::Millimeter);
        p.widthTenthsMM = qRound(mm.width() * 10);
        p.lengthTenthsMM = qRound(mm.height() * 10);
        p.code = QtToPaperCode(ps.id());
        if (p.code == 0)
            p.code = PrinterPaper::CustomCode;
        return p;
    }
    void SetPaper(const PrinterPaper& p) override
    {
        int id = 0;
        if (p.code != PrinterPaper::CustomCode && PaperCodeToQt(p.code, id))
            printer().setPageSize(QPageSize(QPageSize::PageSizeId(id)));
        else if (p.widthTenthsMM > 0 && p.lengthTenthsMM > 0)
            printer().setPageSize(QPageSize(QSizeF(p.widthTenthsMM / 10.0, p.lengthTenthsMM / 10.0),
                                            QPageSize::Millimeter));
    }
    PrinterMetrics Metrics() const override
    {
        QPrinter& pr = printer();
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
    bool ExecPageSetupDialog() override
    {
        QPageSetupDialog dlg(&printer());
        return dlg.exec() == QDialog::Accepted;
    }
    bool ExecPrintDialog(PrintDialogSettings& s) override
    {
        QPrinter& pr = printer();
        pr.setCopyCount(s.copies);
        pr.setCollateCopies(s.collate);
        QPrintDialog dlg(&pr);
        dlg.setMinMax(s.minPage, s.maxPage);
        dlg.setFromTo(s.fromPage, s.toPage);
        dlg.setOption(QAbstractPrintDialog::PrintToFile, false);
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
    std::unique_ptr<IPrintJob> BeginJob(const QString& title) override
    {
        printer().setDocName(title);
        // Our own page range and copies are applied by the caller.
        printer().setPrintRange(QPrinter::AllPages);
        auto job = std::make_unique<QtPrintJob>(printer());
        if (!job->Start())
            return nullptr;
        return job;
    }

private:
    QPrinter& printer() const
    {
        if (!printer_)
            printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        return *printer_;
    }
    mutable std::unique_ptr<QPrinter> printer_;
};

IPrinterService* g_service = nullptr;

class FakeJob : public IPrintJob {
public:
    FakeJob(FakePrinterService::Job& job) : job_(job) { open(); }
    ~FakeJob() override { close(); }
    QPainter* Painter() override { return &painter_; }
    bool NewPage() override
    {
        close();
        open();
        return true;
    }
    void End() override
    {
        close();
        job_.ended = true;
    }
    void Abort() override
    {
        close();
        job_.aborted = true;
    }
private:
    void open()
    {
        job_.pages.push_back(std::make_shared<QPicture>());
        painter_.begin(job_.pages.back().get());
    }
    void close()
    {
        if (painter_.isActive())
            painter_.end();
    }
    FakePrinterService::Job& job_;
    QPainter painter_;
};

} // namespace

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
    if (g_service)
        return *g_service;
    static QtPrinterService qt;
    return qt;
}

void SetPrinters(IPrinterService* service) { g_service = service; }

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
    if (setupChangesMetrics)
        metrics = setupMetrics;
    return true;
}

std::unique_ptr<IPrintJob> FakePrinterService::BeginJob(const QString& t)
{
    jobs.push_back(Job{t, {}, false, false});
    return std::make_unique<FakeJob>(jobs.back());
}

} // namespace fc
