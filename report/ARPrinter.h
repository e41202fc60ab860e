#pragma once
// The page store of a laid-out report: pages recorded in screen pixels (origin at the printable area's top-left corner), the page
// geometry of the current printer (or of the report's paper without one),
// printing a range of pages scaled to the printer's resolution, and the
// paper size moved between the report and the printer.
#include <QObject>
#include <functional>
#include <memory>
#include <vector>

#include "ARPages.h"
#include "ARRepCommon.h"
#include "platform/Printing.h"
#include "ARUtils.h"

class QPainter;
class QWidget;

class TARPrinter : public QObject {
    Q_OBJECT
public:
    explicit TARPrinter(QObject* owner = nullptr);
    ~TARPrinter() override;

    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Clear();

    int PageCount() const { return int(pages_.size()); }
    int CurrentPage() const { return currentPage_; }
    // The page whose number is the current page; nullptr when there is none.
    const ar::Page* CurrentMetafile() const;
    const ar::Page* Page(int number) const;
    // Memory the pages take, with what they share (each image once).
    qint64 Bytes() const;
    void SetCurrentPage(int n);
    // The canvas of the page being built; nullptr outside BeginDoc/EndDoc.
    TCanvas* Canvas() const { return canvas_.get(); }
    // Between BeginDoc and EndDoc; printing and printer setup wait for the
    // pages and are refused meanwhile.
    bool Building() const { return canvas_ != nullptr; }
    // Held by a report in use (an export reading it): printing and printer
    // setup are refused then too.
    void Hold(bool on) { held_ += on ? 1 : -1; }
    // The PDF file a print to a file proposes (none: the title's name in
    // the program folder's pdf/).
    std::function<QString()> ProposedFile;
    bool Busy() const { return Building() || held_ > 0; }

    int FromPage() const { return fromPage_; }
    void SetFromPage(int p) { fromPage_ = p; }
    int ToPage() const { return toPage_; }
    void SetToPage(int p) { toPage_ = p; }

    QString GetTitle();
    void SetTitle(const QString& t);
    int GetCopies();
    void SetCopies(int n);
    int GetOrientation(); // 0 portrait, 1 landscape
    void SetOrientation(int o);

    TARPageSize& PageSize() { return pageSize_; }
    void SetPageSize(const TARPageSize& ps);
    void ReadPageSizeFromPrinter();
    void WritePageSizeToPrinter();
    bool UpdatePrinterInfo();
    bool PrinterInstalled() const;

    // Geometry in screen pixels.
    int PageWidth() const;
    int PageHeight() const;
    int LeftMargin() const;
    int TopMargin() const;
    int PrintableRight() const { return PageWidth() - LeftMargin(); }
    int PrintableBottom() const { return PageHeight() - TopMargin(); }
    int ResolutionX() const { return resX_; }
    int ResolutionY() const { return resY_; }

    void PrinterSetup();
    void Print();
    void PrintPages();
    // The modal preview dialog over this store.
    void Preview(QWidget* parent = nullptr);
    // The preview dialog's runner; tests replace it (nullptr: the dialog).
    using PreviewRunner = std::function<void(TARPrinter&)>;
    static void SetPreviewRunner(PreviewRunner r);

    std::function<void(TARPrinter*)> OnChange;

private:
    int toScreen(int v, int res) const;
    fc::PrinterPaper printerPaper() const;
    std::unique_ptr<ar::PageRecorder> recorder_;
    std::vector<std::unique_ptr<ar::Page>> pages_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<TCanvas> canvas_;
    int held_ = 0;
    int currentPage_ = 0;
    TARPageSize pageSize_;
    int fromPage_ = 0, toPage_ = 0;
    int copies_ = 1;
    int orientation_ = 0;
    QString title_;
    int resX_, resY_;
    int offX_ = 0, offY_ = 0;
    int physW_ = 0, physH_ = 0;
};
