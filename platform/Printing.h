#pragma once
// The printer as the report engine sees it: whether one is installed, its
// device metrics, its paper and orientation, the print and printer-setup
// dialogs and print jobs. The program uses the Qt printer; tests install a
// fake that records settings and pages.
#include <QPicture>
#include <QString>
#include <deque>
#include <memory>
#include <vector>

class QPainter;
class QPrinter;

namespace fc {

enum class PrintOrientation { Portrait, Landscape };

// The paper of the printer's device mode: a paper code (the Windows paper
// numbers the report templates carry) or 32767 with a size of its own in
// tenths of a millimetre.
struct PrinterPaper {
    static constexpr int CustomCode = 32767;
    int code = 9; // A4
    int widthTenthsMM = 2100;
    int lengthTenthsMM = 2970;
    friend bool operator==(const PrinterPaper&, const PrinterPaper&) = default;
};

// Device metrics in printer pixels, as the device context reports them.
struct PrinterMetrics {
    int resolutionX = 96, resolutionY = 96;
    int offsetX = 0, offsetY = 0;
    int physicalWidth = 0, physicalHeight = 0;
    friend bool operator==(const PrinterMetrics&, const PrinterMetrics&) = default;
};

// What the print dialog shows and answers.
struct PrintDialogSettings {
    int minPage = 1, maxPage = 1;
    int fromPage = 0, toPage = 0;
    int copies = 1;
    bool collate = true;
    // Offered when no printer is installed, so that there is always a way
    // to print: the pages then go to a PDF file chosen in the dialog, which
    // proposes fileName.
    bool printToFile = false;
    QString fileName;
};

// One print job; pages are painted in printer pixels with the origin at the
// printable area's top-left corner.
class IPrintJob {
public:
    virtual ~IPrintJob() = default;
    virtual QPainter* Painter() = 0;
    // False when the device refused the page or the job; the job is then
    // to be aborted.
    virtual bool NewPage() = 0;
    virtual bool End() = 0;
    virtual void Abort() = 0;
    // Why the page or the end failed (a print to a file: the system's
    // reason of the failed write), or empty when the device gave none.
    virtual QString Reason() const = 0;
};

class IPrinterService {
public:
    virtual ~IPrinterService() = default;
    virtual bool PrinterInstalled() const = 0;
    // What the user knows the printer by: its name, or the file it writes.
    virtual QString Name() const = 0;
    virtual PrintOrientation Orientation() const = 0;
    virtual void SetOrientation(PrintOrientation o) = 0;
    virtual int Copies() const = 0;
    virtual void SetCopies(int n) = 0;
    virtual QString Title() const = 0;
    virtual void SetTitle(const QString& t) = 0;
    virtual PrinterPaper Paper() const = 0;
    virtual void SetPaper(const PrinterPaper& p) = 0;
    virtual PrinterMetrics Metrics() const = 0;
    // Modal dialogs; true when the user confirmed.
    virtual bool ExecPageSetupDialog() = 0;
    virtual bool ExecPrintDialog(PrintDialogSettings& s) = 0;
    // A new job, or nullptr when the printer cannot start one.
    virtual std::unique_ptr<IPrintJob> BeginJob(const QString& title) = 0;
    // Why the last BeginJob gave no job, or empty when the device gave none.
    virtual QString StartError() const = 0;
};

// The Qt printer (high resolution). Tests print through it to a PDF file.
class QtPrinterService : public IPrinterService {
public:
    QtPrinterService();
    ~QtPrinterService() override;
    bool PrinterInstalled() const override;
    QString Name() const override;
    PrintOrientation Orientation() const override;
    void SetOrientation(PrintOrientation o) override;
    int Copies() const override;
    void SetCopies(int n) override;
    QString Title() const override;
    void SetTitle(const QString& t) override;
    PrinterPaper Paper() const override;
    void SetPaper(const PrinterPaper& p) override;
    PrinterMetrics Metrics() const override;
    bool ExecPageSetupDialog() override;
    bool ExecPrintDialog(PrintDialogSettings& s) override;
    std::unique_ptr<IPrintJob> BeginJob(const QString& title) override;
    QString StartError() const override { return startError_; }
    QPrinter& Printer() const;

private:
    mutable std::unique_ptr<QPrinter> printer_;
    QString startError_;
};

// The printer service; a title given with SetPrinterTitle is handed over
// first, when a printer is installed.
IPrinterService& Printers();
void SetPrinters(IPrinterService* service); // nullptr: back to the Qt printer

// Gives the printer the title when one is installed, at the printer's next
// use through Printers(), which is as if at once: nothing reads or uses the
// printer in between. Asking whether a printer is installed is a question
// to the printing system (whose plugin loads on the first one), which the
// preview window's creation at start-up and each page of a report fill
// need not wait for.
void SetPrinterTitle(const QString& title);

// The Qt page size of a paper code, and back (0 when the size has no code).
// Codes without a Qt size answer false.
bool PaperCodeToQt(int code, int& qtPageSizeId);
int QtToPaperCode(int qtPageSizeId);

// For tests: a printer that answers from its fields, with scripted dialog
// answers and a record of every job's pages. A page is a picture that
// reports the printer's resolution and paper size as its own metrics, so
// what is painted on it lands in printer pixels, as on the real device.
class FakePrinterService : public IPrinterService {
public:
    bool installed = true;
    QString name = QStringLiteral("Office laser");
    PrintOrientation orientation = PrintOrientation::Portrait;
    int copies = 1;
    QString title;
    PrinterPaper paper;
    PrinterMetrics metrics{600, 600, 0, 0, 4960, 7016};

    // Scripted dialogs: the answer, and for the print dialog the settings
    // it hands back (fields left at -1 keep what the program set).
    bool setupAnswer = false;
    PrinterPaper setupPaper{};   // paper chosen in the setup dialog
    bool setupChangesPaper = false;
    PrinterMetrics setupMetrics{}; // metrics after the setup dialog
    bool setupChangesMetrics = false;
    bool printAnswer = false;
    int printFrom = -1, printTo = -1, printCopies = -1;
    // The file picked when the print dialog offers print-to-file; without
    // a printer and without a file, a job cannot start (as with Qt).
    QString printToFileAnswer;
    QString outputFile;
    // Failures of the device: the job does not start; starting page n
    // (from 2) fails; the end of the job fails.
    bool failStart = false;
    int failOnPage = 0;
    bool failEnd = false;
    // What the device says of any of those failures, as the real one does
    // for a file it could not write (empty: nothing).
    QString failReason;

    int setupDialogRuns = 0;
    int printDialogRuns = 0;
    PrintDialogSettings lastPrintDialog;
    struct Job {
        QString title;
        std::vector<std::shared_ptr<QPicture>> pages;
        bool ended = false, aborted = false;
    };
    std::deque<Job> jobs; // stable references while a job runs
    std::vector<PrinterPaper> paperWrites;

    // Each question asked, as the printing system would be asked.
    mutable int installedQueries = 0;

    bool PrinterInstalled() const override
    {
        ++installedQueries;
        return installed;
    }
    QString Name() const override
    {
        if (!outputFile.isEmpty())
            return outputFile;
        return installed ? name : QString();
    }
    PrintOrientation Orientation() const override { return orientation; }
    void SetOrientation(PrintOrientation o) override { orientation = o; }
    int Copies() const override { return copies; }
    void SetCopies(int n) override { copies = n; }
    QString Title() const override { return title; }
    void SetTitle(const QString& t) override { title = t; }
    PrinterPaper Paper() const override { return paper; }
    void SetPaper(const PrinterPaper& p) override
    {
        paper = p;
        paperWrites.push_back(p);
    }
    PrinterMetrics Metrics() const override { return metrics; }
    bool ExecPageSetupDialog() override;
    bool ExecPrintDialog(PrintDialogSettings& s) override;
    std::unique_ptr<IPrintJob> BeginJob(const QString& title) override;
    QString StartError() const override { return failStart ? failReason : QString(); }
};

class ScopedFakePrinter : public FakePrinterService {
public:
    ScopedFakePrinter() { SetPrinters(this); }
    ~ScopedFakePrinter() override { SetPrinters(nullptr); }
};

} // namespace fc
