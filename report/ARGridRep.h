#pragma once
// The report grid view: a scrolling control that shows one report document
// as it will print, one row per band, with a current band and cell, a
// selection, fixed bands and cells, an optional title gutter and in-place
// editing. It owns the document and the page store, lays the document out
// on pages and opens the print preview. Index-taking operations clamp or
// answer empty values; nothing raises for a bad index.
#include <QAbstractScrollArea>
#include <QPointer>
#include <functional>
#include <memory>

#include "ARRep.h"
#include "ARUtils.h"

class TARPrinter;
class TPrintProgressDlg;
class TVirtualFileSystem;
class TStandardFileSystem;

enum TARRepOption : unsigned { roEditing = 1 };
using TARRepOptions = unsigned;

// Raised by what would change a report while it is in use.
class EReportInUse : public Exception {
public:
    EReportInUse();
};

class TARGridRep : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TARGridRep(QWidget* parent = nullptr);
    ~TARGridRep() override;

    TARRep* Rep() const { return rep_.get(); }
    TARPrinter* Printer() const { return printer_; }

    // Published properties.
    TSelectedCellStyle SelectedCellStyle = scsGray;
    TFocusedCellStyle FocusedCellStyle() const { return focusedCellStyle_; }
    void SetFocusedCellStyle(TFocusedCellStyle s);
    TARUnits Units() const { return units_; }
    void SetUnits(TARUnits u);
    double GridX = 0, GridY = 0;
    TARRepOptions Options = 0;
    TColor Color() const { return color_; }
    void SetColor(TColor c);
    TVirtualFileSystem* FileSystem() const { return rep_->FileSystem; }
    void SetFileSystem(TVirtualFileSystem* fs) { rep_->FileSystem = fs; }
    int Gutter() const { return gutter_; }
    void SetGutter(int g);
    bool ShowBandTitle = true;
    int FixedBands() const { return fixedBands_; }
    void SetFixedBands(int n);
    int FixedCells = 0;
    bool ShowRightMargin() const { return showRightMargin_; }
    void SetShowRightMargin(bool b);
    bool ShowHiddenItems() const { return showHiddenItems_; }
    void SetShowHiddenItems(bool b);
    int Columns = 1;
    bool ShowPrintProgress = true;
    QStringList ARTemplate() const { return GetARTemplate(); }
    void SetARTemplateText(const QStringList& t) { SetARTemplate(t); }

    // Events.
    std::function<void(TARGridRep*, int band, int cell)> OnSelectCell;
    std::function<void(TARGridRep*, int band)> OnSelectBand;
    std::function<void(TARGridRep*, int band, int cell, bool& canEdit)> OnCanEdit;
    std::function<void(TARGridRep*, QChar ch)> OnShowEditor;
    std::function<void(TARBand* band, TARCell* cell)> OnCellChange;
    std::function<void(TARGridRep*)> OnAfterEdit;
    std::function<void(TARGridRep*, int band, TCanvas& canvas, const TRect& r)> OnDrawBandTitle;
    std::function<void(TARGridRep*, int band)> OnExpandBand;
    std::function<void(TARGridRep*, int band)> OnCollapseBand;
    std::function<void(TARGridRep*)> OnHScroll;
    std::function<void(TARGridRep*)> OnVScroll;
    std::function<void(TARGridRep*, QKeyEvent*)> OnKeyDown;

    // After the window description is read: a standard file system when
    // none is assigned, scroll positions 0.
    virtual void Loaded();
    virtual void Clear();

    // Current position.
    int CurrentBandIndex() const;
    void SetCurrentBandIndex(int i);
    int CurrentCellIndex() const;
    void SetCurrentCellIndex(int i);
    TARBand* CurrentBand();
    TARCell* CurrentCell();

    // Selection.
    int SelCount() const { return selList_.Count(); }
    TARCell* SelectedCell(int i) const { return i >= 0 && i < selList_.Count() ? selList_[i] : nullptr; }
    void ClearSelection();
    void ToggleCellSelection(int band, int cell);

    // Geometry (client coordinates).
    virtual void CellRect(int band, int cell, TRect& r) const;
    virtual void VisibleCellRect(int band, int cell, TRect& r) const;
    TRect CellRect(int band, int cell) const
    {
        TRect r;
        CellRect(band, cell, r);
        return r;
    }
    TRect VisibleCellRect(int band, int cell) const
    {
        TRect r;
        VisibleCellRect(band, cell, r);
        return r;
    }
    TRect BandRect(int i) const;
    TRect BandTitleRect(int i) const;
    int BandHeight(int i) const;
    TARCell* CellAtPos(int x, int y, int& idxCell, int& idxBand) const;
    int ClientWidth() const;
    int ClientHeight() const;

    // Scrolling.
    int HPos() const { return hPos_; }
    int VPos() const { return vPos_; }
    void SetHPos(int x);
    void SetVPos(int y);
    void UpdateScrollBars();
    void PageUp();
    void PageDown();
    virtual void MoveToPrevBand();
    virtual void MoveToNextBand();

    // Editing.
    bool ShowEditor(QChar ch);

    // Paging and preview. Page building processes pending events at each
    // new page; a build asked for meanwhile is refused (False).
    bool BuildPages(const QString& caption);
    bool BuildingPages() const { return ps_ != nullptr; }
    // The report is in use while its pages are built or an export reads it:
    // the event loop turns meanwhile, and nothing may change the bands
    // being read. A fill (Clear, the template, variables, bands) raises
    // EReportInUse then; a build, a print or printer setup is refused as a
    // second click is.
    bool InUse() const { return BuildingPages() || inUse_ > 0; }
    void CheckNotInUse() const;
    // Holds the report in use for as long as it lives (an export); a grid
    // destroyed meanwhile is let go of.
    class UseScope {
    public:
        explicit UseScope(TARGridRep& grid);
        ~UseScope();
        UseScope(const UseScope&) = delete;
        UseScope& operator=(const UseScope&) = delete;

    private:
        QPointer<TARGridRep> grid_;
    };
    void Preview();
    virtual void PrinterChange();
    // The progress dialog of the running page building (nullptr outside).
    TPrintProgressDlg* ProgressDialog() const { return progress_; }

    virtual void EvalCell(TARCell* source, TARCell* target);
    virtual void SetVarValue(const QString& name, int value);

    void EnsureRTF();
    // The canvas the grid measures with (no painter).
    TCanvas& MeasureCanvas() { return measureCanvas_; }

    // Focus-frame animation (the ant styles).
    void StartAnts();
    void StopAnts();
    int AntBand = -1, AntCell = -1;
    TCanvas* PaintCanvas() const { return paintCanvas_; }

protected:
    virtual void DrawBandTitle(int index);
    virtual QStringList GetARTemplate() const;
    virtual void SetARTemplate(const QStringList& t);

    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool) override { return false; }

    void BandChanged(TARBandList* band);
    void CellChanged(TARBandList* band, TARCell* cell);
    void InvalidateCell(int band, int cell);
    int FixedTop() const;

    // A new band of origin copied from a template band: its cells filled
    // (EvalCell), their linked pictures loaded, and the band grown to its
    // tallest AutoStretch cell. Filling and page building both make bands so.
    TARBand* EvalBand(TARBand* tmplBand, TARRep* origin);

private:
    bool PaintBand(TCanvas& c, int i, int y);
    void scrollIntoView();

    // Page building.
    struct PageState {
        TRect cur;
        int x0 = 0, rightLimit = 0, y0 = 0, bodyBottom = 0;
        int colX = 0, colIdx = 0, widest = 0;
        int page = 1;
        TARRep* tmpl = nullptr;
        int headerH = 0, lastFooterH = 0, footerReserve = 0;
        TARBand* printing = nullptr; // the band being printed
        int usableWidth() const { return rightLimit - x0; }
    };
    void CalcHeaderFooter(TARRep* tmpl);
    void PrintBand(TARBand* band);
    void NewPrintPage();
    void PrintNamedBands(const QString& name);
    void PrintBandCells(TARBand* band, int clipTop, int clipBottom);
    void PrintBandPart(TARBand* band, int top, int bottom);
    static bool HasRTFCell(const TARBand* band);

    std::unique_ptr<TARRep> rep_;
    TARPrinter* printer_;
    TAIList<TARCell> selList_{QStringLiteral("TARGridRep SelList")};
    std::unique_ptr<TARRTF> rtf_;
    std::unique_ptr<TStandardFileSystem> ownFileSystem_;
    TCanvas measureCanvas_;
    TCanvas* paintCanvas_ = nullptr;
    TFocusedCellStyle focusedCellStyle_ = fcsRect;
    TARUnits units_ = uPix;
    TColor color_ = 0xFFFFFF;
    int gutter_ = 100;
    int fixedBands_ = 0;
    bool showRightMargin_ = false;
    bool showHiddenItems_ = false;
    int hPos_ = 0, vPos_ = 0;
    int hMax_ = 0, hPage_ = 0, vMax_ = 0, vPage_ = 0;
    int curBand_ = 0, curCell_ = 0;
    bool inScroll_ = false;
    bool antsRegistered_ = false;
    std::unique_ptr<PageState> ps_;
    TPrintProgressDlg* progress_ = nullptr;
    int inUse_ = 0;
};
