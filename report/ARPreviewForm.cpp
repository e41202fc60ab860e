#include "ARPreviewForm.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPixmap>
#include <QPolygonF>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "ARPrinter.h"
#include "ARResStrings.h"
#include "platform/Colors.h"
#include "platform/Numbers.h"

namespace {
int roundInt(double v) { return int(fc::Round(v)); }
QColor qc(TColor c) { return ar::ToQColor(c); }

// Glyphs of our own for desktops whose icon theme has no print icons: a
// printer with a sheet coming out, and a sheet with its margins.
QIcon drawnIcon(bool printer)
{
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        const QPen outline(QColor(0x30, 0x30, 0x30), 1);
        p.setPen(outline);
        if (printer) {
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 1.5, 7, 5));   // paper going in
            p.setBrush(QColor(0x90, 0x98, 0xa8));
            p.drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1, 1); // body
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 9.5, 7, 5));   // printed sheet
            p.drawLine(QPointF(6, 11.5), QPointF(10, 11.5));
            p.drawLine(QPointF(6, 13), QPointF(9, 13));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x40, 0xc0, 0x40));
            p.drawEllipse(QRectF(12, 7, 1.6, 1.6)); // power light
        } else {
            p.setBrush(Qt::white);
            p.drawPolygon(QPolygonF({QPointF(2.5, 1.5), QPointF(10.5, 1.5), QPointF(13.5, 4.5), QPointF(13.5, 14.5),
                                     QPointF(2.5, 14.5)}));
            p.drawLine(QPointF(10.5, 1.5), QPointF(10.5, 4.5));
            p.drawLine(QPointF(10.5, 4.5), QPointF(13.5, 4.5));
            QPen margin(QColor(0x30, 0x60, 0xd0), 1, Qt::DotLine);
            p.setPen(margin);
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(4.5, 6.5, 7, 6));
        }
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

// The desktop theme's icon, or our own glyph.
QIcon printIcon(const char* themeName, bool printer)
{
    return QIcon::fromTheme(QLatin1String(themeName), drawnIcon(printer));
}
} // namespace

// ---- TARPreview ----

TARPreview::TARPreview(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("Preview"));
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    horizontalScrollBar()->setSingleStep(10);
    verticalScrollBar()->setSingleStep(10);
    own_ = new TARPrinter(this);
    printer_ = own_;
}

TARPreview::~TARPreview() = default;

void TARPreview::SetPrinter(TARPrinter* p)
{
    if (own_ && own_ != p) {
        delete own_;
        own_ = nullptr;
    }
    printer_ = p;
    viewport()->update();
}

void TARPreview::changed()
{
    if (OnChangeView)
        OnChangeView(this);
}

int TARPreview::PageCount() const { return printer_ ? printer_->PageCount() : 0; }
int TARPreview::ZoomedPageWidth() const { return roundInt(double(printer_->PageWidth()) * zoom_ / 100); }
int TARPreview::ZoomedPageHeight() const { return roundInt(double(printer_->PageHeight()) * zoom_ / 100); }

void TARPreview::SetZoom(int z)
{
    z = qBound(10, z, 500);
    if (z == zoom_)
        return;
    zoom_ = z;
    zoomMode_ = 0;
    UpdateScrollBars();
    viewport()->repaint();
    changed();
}

void TARPreview::ZoomToWidth()
{
    const int pw = printer_->PageWidth();
    if (pw <= 0)
        return;
    SetZoom(roundInt(viewport()->width() * 100.0 / pw) - 3);
    zoomMode_ = 1;
}

void TARPreview::ZoomToFit()
{
    const int pw = printer_->PageWidth(), ph = printer_->PageHeight();
    if (pw <= 0 || ph <= 0)
        return;
    SetZoom(qMin(roundInt(viewport()->width() * 100.0 / pw), roundInt(viewport()->height() * 100.0 / ph)) - 2);
    zoomMode_ = 2;
}

int TARPreview::CurrPage() const { return printer_->CurrentPage(); }

void TARPreview::SetCurrPage(int n)
{
    printer_->SetCurrentPage(n);
    viewport()->repaint();
    changed();
}

void TARPreview::SetShowNonPrintingArea(bool b)
{
    if (b == showNPA_)
        return;
    showNPA_ = b;
    viewport()->repaint();
    changed();
}

void TARPreview::ScrollVertTo(int y)
{
    vPos_ = qMin(qMax(y, 0), ZoomedPageHeight() - viewport()->height());
    updating_ = true;
    verticalScrollBar()->setValue(qMax(0, vPos_));
    updating_ = false;
    viewport()->repaint();
    changed();
}

void TARPreview::ScrollHorzTo(int x)
{
    hPos_ = qMin(qMax(x, 0), ZoomedPageWidth() - viewport()->width());
    updating_ = true;
    horizontalScrollBar()->setValue(qMax(0, hPos_));
    updating_ = false;
    viewport()->repaint();
    changed();
}

void TARPreview::UpdateScrollBars()
{
    if (updating_)
        return;
    updating_ = true;
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, qMax(0, ZoomedPageWidth() - viewport()->width()));
    h->setPageStep(qMax(1, viewport()->width()));
    h->setValue(qMax(0, hPos_));
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, qMax(0, ZoomedPageHeight() - viewport()->height()));
    v->setPageStep(qMax(1, viewport()->height()));
    v->setValue(qMax(0, vPos_));
    updating_ = false;
}

void TARPreview::scrollContentsBy(int, int)
{
    if (updating_)
        return;
    const int h = horizontalScrollBar()->value(), v = verticalScrollBar()->value();
    if (h != qMax(0, hPos_))
        ScrollHorzTo(h);
    if (v != qMax(0, vPos_))
        ScrollVertTo(v);
}

void TARPreview::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    if (zoomMode_ == 1)
        ZoomToWidth();
    else if (zoomMode_ == 2)
        ZoomToFit();
    UpdateScrollBars();
    changed();
}

void TARPreview::keyPressEvent(QKeyEvent* e)
{
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    const int ch = viewport()->height();
    switch (e->key()) {
    case Qt::Key_Up: ScrollVertTo(vPos_ - 20); break;
    case Qt::Key_Down: ScrollVertTo(vPos_ + 20); break;
    case Qt::Key_Left: SetCurrPage(CurrPage() - 1); break;
    case Qt::Key_Right: SetCurrPage(CurrPage() + 1); break;
    case Qt::Key_PageUp: ScrollVertTo(vPos_ - ch); break;
    case Qt::Key_PageDown: ScrollVertTo(vPos_ + ch); break;
    case Qt::Key_Home:
        if (ctrl)
            SetCurrPage(0);
        else
            ScrollVertTo(0);
        break;
    case Qt::Key_End:
        if (ctrl)
            SetCurrPage(PageCount());
        else
            ScrollVertTo(100000);
        break;
    case Qt::Key_Plus:
        if (keypad)
            SetZoom(zoom_ + 10);
        break;
    case Qt::Key_Minus:
        if (keypad)
            SetZoom(zoom_ - 10);
        break;
    default: break;
    }
    changed();
}

void TARPreview::mousePressEvent(QMouseEvent* e)
{
    QAbstractScrollArea::mousePressEvent(e);
    last_ = e->position().toPoint();
}

void TARPreview::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (!(e->buttons() & Qt::LeftButton) || p == last_)
        return;
    ScrollHorzTo(last_.x() - p.x() + hPos_);
    ScrollVertTo(last_.y() - p.y() + vPos_);
    last_ = p;
}

QPoint TARPreview::PageOrigin() const
{
    const int cw = viewport()->width(), ch = viewport()->height();
    const int zw = ZoomedPageWidth(), zh = ZoomedPageHeight();
    const int x = cw <= zw ? qMax(qMin(-hPos_, 0), cw - zw) : (cw - zw) / 2;
    const int y = ch <= zh ? qMax(qMin(-vPos_, 0), ch - zh) : (ch - zh) / 2;
    return QPoint(x, y);
}

void TARPreview::paintTo(QPainter& p)
{
    UpdateScrollBars();
    const int cw = viewport()->width(), ch = viewport()->height();
    const QPoint o = PageOrigin();
    const int x = o.x(), y = o.y();
    const int W = ZoomedPageWidth(), H = ZoomedPageHeight();
    p.fillRect(QRect(0, 0, cw, ch), qc(clBtnFace));
    const QColor shadow(0x80, 0x80, 0x80);
    p.fillRect(QRect(x + W, y + 5, 5, H), shadow);
    p.fillRect(QRect(x + 5, y + H, W, 5), shadow);
    p.setPen(Qt::black);
    p.setBrush(qc(clWindow));
    p.drawRect(QRect(x, y, W, H));
    if (zoom_ >= 100) {
        p.save();
        p.translate(x, y);
        p.scale(zoom_ / 100.0, zoom_ / 100.0);
        drawPage(p);
        p.restore();
        return;
    }
    // Scaled down as vectors, a line one pixel thin would fall between the
    // screen's pixels and vanish or not by where it lies. The page is drawn
    // at its own size and then reduced by averaging, so that every line
    // stays, lighter as the zoom is smaller.
    const int pw = printer_->PageWidth(), ph = printer_->PageHeight();
    if (pw <= 0 || ph <= 0 || W <= 0 || H <= 0)
        return;
    QImage full(pw, ph, QImage::Format_RGB32);
    full.fill(qc(clWindow));
    {
        QPainter fp(&full);
        drawPage(fp);
    }
    p.drawImage(x, y, full.scaled(W, H, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(x, y, W, H));
}

// The page in its own pixels: the non-printing border when asked for, then
// the recorded page.
void TARPreview::drawPage(QPainter& p)
{
    const ar::Page* page = printer_->CurrentMetafile();
    if (printer_->PrinterInstalled()) {
        if (showNPA_) {
            p.fillRect(QRect(0, 0, printer_->PageWidth(), printer_->PageHeight()), qc(clSilver));
            p.fillRect(QRect(printer_->LeftMargin(), printer_->TopMargin(),
                             printer_->PrintableRight() - printer_->LeftMargin(),
                             printer_->PrintableBottom() - printer_->TopMargin()),
                       Qt::white);
        }
        if (page)
            page->Play(p, printer_->LeftMargin(), printer_->TopMargin());
    } else if (page) {
        page->Play(p);
    }
}

void TARPreview::paintEvent(QPaintEvent*)
{
    // Drawn off screen and copied in one piece, so that scrolling does not
    // flicker.
    QImage buf(viewport()->size(), QImage::Format_RGB32);
    {
        QPainter bp(&buf);
        paintTo(bp);
    }
    QPainter p(viewport());
    p.drawImage(0, 0, buf);
}

QImage TARPreview::Render()
{
    QImage buf(viewport()->size(), QImage::Format_RGB32);
    QPainter bp(&buf);
    paintTo(bp);
    return buf;
}

// ---- TSpinEdit ----

TSpinEdit::TSpinEdit(QWidget* parent) : QWidget(parent)
{
    UpDown = new QSpinBox(this);
    UpDown->setObjectName(QStringLiteral("UpDown"));
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(UpDown);
    connect(UpDown, &QSpinBox::valueChanged, this, [this](int v) {
        if (OnChanged)
            OnChanged(UpDown, v);
    });
}

int TSpinEdit::Value() const { return qint16(UpDown->value()); }
void TSpinEdit::SetValue(int v) { UpDown->setValue(v); }
int TSpinEdit::Min() const { return UpDown->minimum(); }
void TSpinEdit::SetMin(int v) { UpDown->setMinimum(v); }
int TSpinEdit::Max() const { return UpDown->maximum(); }
void TSpinEdit::SetMax(int v) { UpDown->setMaximum(v); }
int TSpinEdit::Increment() const { return UpDown->singleStep(); }
void TSpinEdit::SetIncrement(int v) { UpDown->setSingleStep(v); }

// ---- TARPreviewDialog ----

TARPreviewDialog::TARPreviewDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ARPreviewDialog"));
    setWindowTitle(ar::ResStr(ar::sPreview));
    setWindowState(Qt::WindowMaximized);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setFixedHeight(29);
    auto button = [this](const char* name, int hint, const QIcon& icon) {
        auto* b = new QToolButton(ToolBar);
        b->setObjectName(QLatin1String(name));
        b->setAutoRaise(true);
        b->setFixedSize(23, 21);
        b->setIcon(icon);
        b->setToolTip(ar::ResStr(hint));
        ToolBar->addWidget(b);
        return b;
    };
    auto standard = [this](QStyle::StandardPixmap sp) { return style()->standardIcon(sp); };
    CloseBtn = button("CloseBtn", ar::sClose, standard(QStyle::SP_DialogCloseButton));
    ToolBar->addSeparator();
    PrinterSetupBtn = button("PrinterSetupBtn", ar::sPrinterSetup, printIcon("document-page-setup", false));
    PrintBtn = button("PrintBtn", ar::sPrint, printIcon("document-print", true));
    ToolBar->addSeparator();
    ZoomToFitBtn = button("ZoomToFitBtn", ar::sZoomToFit, standard(QStyle::SP_TitleBarMaxButton));
    ZoomToWidthBtn = button("ZoomToWidthBtn", ar::sZoomToWidth, standard(QStyle::SP_ToolBarHorizontalExtensionButton));
    ZoomTo100Btn = button("ZoomTo100Btn", ar::sZoomTo100, standard(QStyle::SP_TitleBarNormalButton));
    ToolBar->addSeparator();
    auto* panel1 = new QWidget(ToolBar);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setFixedSize(65, 21);
    ZoomEdit = new TSpinEdit(panel1);
    ZoomEdit->setObjectName(QStringLiteral("ZoomEdit"));
    ZoomEdit->setGeometry(0, 0, 50, 21);
    ZoomEdit->SetMin(10);
    ZoomEdit->SetMax(500);
    ZoomEdit->SetIncrement(10);
    ZoomEdit->SetValue(100);
    ZoomEdit->setToolTip(ar::ResStr(ar::sZoomPercent));
    ToolBar->addWidget(panel1);
    FirstPageBtn = button("FirstPageBtn", ar::sFirstPage, standard(QStyle::SP_MediaSkipBackward));
    PriorPageBtn = button("PriorPageBtn", ar::sPriorPage, standard(QStyle::SP_MediaSeekBackward));
    NextPageBtn = button("NextPageBtn", ar::sNextPage, standard(QStyle::SP_MediaSeekForward));
    LastPageBtn = button("LastPageBtn", ar::sLastPage, standard(QStyle::SP_MediaSkipForward));
    ToolBar->addSeparator();
    ShowNPABtn = button("ShowNPABtn", ar::sShowNPA, standard(QStyle::SP_FileDialogListView));
    ShowNPABtn->setCheckable(true);
    // Esc presses this one; it sits in the tool row, left of the tools, so
    // that it covers none of them.
    CloseButton = new QPushButton(this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setFixedSize(15, 15);
    CloseButton->setFocusPolicy(Qt::NoFocus);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(2, 0, 0, 0);
    top->setSpacing(2);
    top->addWidget(CloseButton, 0, Qt::AlignVCenter);
    top->addWidget(ToolBar, 1);
    l->addLayout(top);

    Preview = new TARPreview(this);
    l->addWidget(Preview, 1);
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusPanel1 = new QLabel(StatusBar);
    StatusPanel1->setMinimumWidth(100);
    StatusBar->addWidget(StatusPanel1);
    auto* panel2 = new QLabel(StatusBar);
    panel2->setMinimumWidth(50);
    StatusBar->addWidget(panel2);
    l->addWidget(StatusBar);


    ZoomEdit->OnChanged = [this](QObject*, int v) { ZoomEditChanged(v); };
    Preview->OnChangeView = [this](TARPreview*) { PreviewChangeView(); };
    connect(CloseBtn, &QToolButton::clicked, this, &QDialog::accept);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(PrinterSetupBtn, &QToolButton::clicked, this, [this] {
        Preview->Printer()->PrinterSetup();
        Preview->viewport()->update();
        UpdateStatus();
    });
    connect(PrintBtn, &QToolButton::clicked, this, [this] {
        Preview->Printer()->Print();
        Preview->viewport()->update();
        UpdateStatus();
    });
    connect(ZoomToFitBtn, &QToolButton::clicked, this, [this] {
        Preview->ZoomToFit();
        ZoomEdit->SetValue(Preview->Zoom());
    });
    connect(ZoomToWidthBtn, &QToolButton::clicked, this, [this] {
        Preview->ZoomToWidth();
        ZoomEdit->SetValue(Preview->Zoom());
    });
    connect(ZoomTo100Btn, &QToolButton::clicked, this, [this] {
        Preview->SetZoom(100);
        ZoomEdit->SetValue(Preview->Zoom());
    });
    connect(FirstPageBtn, &QToolButton::clicked, this, [this] {
        Preview->SetCurrPage(1);
        UpdateStatus();
    });
    connect(PriorPageBtn, &QToolButton::clicked, this, [this] {
        Preview->SetCurrPage(Preview->CurrPage() - 1);
        UpdateStatus();
    });
    connect(NextPageBtn, &QToolButton::clicked, this, [this] {
        Preview->SetCurrPage(Preview->CurrPage() + 1);
        UpdateStatus();
    });
    connect(LastPageBtn, &QToolButton::clicked, this, [this] {
        Preview->SetCurrPage(100000);
        UpdateStatus();
    });
    connect(ShowNPABtn, &QToolButton::toggled, this, [this](bool down) { Preview->SetShowNonPrintingArea(down); });
}

void TARPreviewDialog::SetPrinter(TARPrinter* p) { Preview->SetPrinter(p); }

void TARPreviewDialog::UpdateStatus()
{
    StatusPanel1->setText(ar::FormatD(ar::ResStr(ar::sPageOf), {Preview->CurrPage(), Preview->PageCount()}));
}

void TARPreviewDialog::FormShow()
{
    Preview->SetCurrPage(1);
    UpdateStatus();
    Preview->SetZoom(100);
}

void TARPreviewDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TARPreviewDialog::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    ZoomEdit->SetValue(Preview->Zoom());
}

void TARPreviewDialog::ZoomEditChanged(int v) { Preview->SetZoom(v); }

void TARPreviewDialog::PreviewChangeView()
{
    ZoomEdit->SetValue(Preview->Zoom());
    UpdateStatus();
}
