#pragma once
// The print preview: a control that shows one page of a page store at a
// zoom (fixed, fit to width, fit the page), and the modal dialog around it
// with its tool bar, zoom box and status line.
#include <QAbstractScrollArea>
#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QSpinBox;
class QStatusBar;
class QToolBar;
class QToolButton;
class QPushButton;
class QWidget;
class TARPrinter;

class TARPreview : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TARPreview(QWidget* parent = nullptr);
    ~TARPreview() override;

    // The store shown; one handed over is not owned.
    void SetPrinter(TARPrinter* p);
    TARPrinter* Printer() const { return printer_; }

    int Zoom() const { return zoom_; }
    void SetZoom(int z);
    int ZoomMode() const { return zoomMode_; } // 0 fixed, 1 fit width, 2 fit page
    void ZoomToWidth();
    void ZoomToFit();
    int CurrPage() const;
    void SetCurrPage(int n);
    bool ShowNonPrintingArea() const { return showNPA_; }
    void SetShowNonPrintingArea(bool b);
    int PageCount() const;
    int ZoomedPageWidth() const;
    int ZoomedPageHeight() const;
    int HPos() const { return hPos_; }
    int VPos() const { return vPos_; }
    void ScrollVertTo(int y);
    void ScrollHorzTo(int x);
    // The page origin in the client area (centred when the page is smaller).
    QPoint PageOrigin() const;
    // The client area as painted.
    QImage Render();

    std::function<void(TARPreview*)> OnChangeView;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void scrollContentsBy(int, int) override;
    bool focusNextPrevChild(bool) override { return false; }

private:
    void changed();
    void UpdateScrollBars();
    void paintTo(QPainter& p);
    void drawPage(QPainter& p);
    TARPrinter* printer_;
    TARPrinter* own_;
    int zoom_ = 100;
    int zoomMode_ = 0;
    bool showNPA_ = false;
    int hPos_ = 0, vPos_ = 0;
    bool updating_ = false;
    QPoint last_;
};

// The zoom box: an edit with up and down arrows.
class TSpinEdit : public QWidget {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr);
    int Value() const;
    void SetValue(int v);
    int Min() const;
    void SetMin(int v);
    int Max() const;
    void SetMax(int v);
    int Increment() const;
    void SetIncrement(int v);
    QSpinBox* UpDown;
    std::function<void(QObject* sender, int newValue)> OnChanged;
};

class TARPreviewDialog : public QDialog {
    Q_OBJECT
public:
    explicit TARPreviewDialog(QWidget* parent = nullptr);
    void SetPrinter(TARPrinter* p);

    TARPreview* Preview;
    TSpinEdit* ZoomEdit;
    QToolBar* ToolBar;
    QStatusBar* StatusBar;
    QLabel* StatusPanel1;
    QPushButton* CloseButton;
    QToolButton *CloseBtn, *PrinterSetupBtn, *PrintBtn, *ZoomToFitBtn, *ZoomToWidthBtn, *ZoomTo100Btn,
        *FirstPageBtn, *PriorPageBtn, *NextPageBtn, *LastPageBtn, *ShowNPABtn;

    void UpdateStatus();
    void FormShow();

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void ZoomEditChanged(int v);
    void PreviewChangeView();
};
