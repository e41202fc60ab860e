// The grid control on screen: painting, scroll bars, keys, mouse and the
// in-place editor over the model of ProfGrid.h.

#include "ProfGridWidget.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCalendarWidget>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimerEvent>
#include <algorithm>
#include <unordered_set>

#include "platform/Application.h"
#include "platform/Errors.h"
#include "platform/Numbers.h"
#include "platform/QtTextMeasurer.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QColor ToQColor(TColor c)
{
    const TColor rgb = fc::ColorToRGB(c);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

QString ToEditorText(const QString& s)
{
    QString t = s;
    t.replace(kCrLf, QStringLiteral("\n"));
    return t;
}

QString FromEditorText(const QString& s)
{
    QString t = s;
    t.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
    t.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
    t.replace(QLatin1Char('\n'), kCrLf);
    return t;
}

bool IsNavKey(int key)
{
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// The character a key press types, as the character message of the
// platform gives it: none for Delete, whose text is DEL here.
QChar TypedChar(const QKeyEvent* e)
{
    const QString t = e->text();
    if (t.isEmpty() || t.front() == QChar(0x7F))
        return QChar();
    return t.front();
}

// A raised inner edge: light on the top and left, shadow on the bottom and
// right; each side only when asked for.
void DrawRaisedEdge(QPainter& p, const QRect& r, bool top, bool left, bool bottom, bool right)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const QColor light = ToQColor(clBtnHighlight);
    const QColor shadow = ToQColor(clBtnShadow);
    if (top)
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), light);
    if (left)
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), light);
    if (bottom)
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), shadow);
    if (right)
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), shadow);
}

// The dotted focus frame: every other pixel of the outline inverted.
void DrawFocusFrame(QPainter& p, const QRect& r)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(Qt::white);
    QList<QPoint> pts;
    for (int x = r.left(); x <= r.right(); x += 2) {
        pts << QPoint(x, r.top());
        if (r.bottom() != r.top())
            pts << QPoint(x, r.bottom());
    }
    for (int y = r.top() + 2; y < r.bottom(); y += 2) {
        pts << QPoint(r.left(), y);
        if (r.right() != r.left())
            pts << QPoint(r.right(), y);
    }
    p.drawPoints(pts.constData(), int(pts.size()));
    p.restore();
}

// The in-place editor: a text edit that holds at most MaxLength characters
// (a line break is one), whichever way the text comes in.
class InplaceTextEdit : public QTextEdit {
public:
    using QTextEdit::QTextEdit;
    int maxLength = 0;
    // Characters that still fit in place of the selection; -1 for no limit.
    int Room() const
    {
        if (maxLength <= 0)
            return -1;
        const int used = int(toPlainText().size() - textCursor().selectedText().size());
        return std::max(0, maxLength - used);
    }

protected:
    // Paste, by the menu or the keys, and drops.
    void insertFromMimeData(const QMimeData* source) override
    {
        const int room = Room();
        if (room < 0 || !source->hasText()) {
            QTextEdit::insertFromMimeData(source);
            return;
        }
        QString t = source->text();
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (room > 0)
            textCursor().insertText(t.left(room));
        ensureCursorVisible();
    }
    // Text composed by an input method.
    void inputMethodEvent(QInputMethodEvent* e) override
    {
        const int room = Room();
        if (room < 0 || e->commitString().size() <= room) {
            QTextEdit::inputMethodEvent(e);
            return;
        }
        QInputMethodEvent cut(e->preeditString(), e->attributes());
        cut.setCommitString(e->commitString().left(room), e->replacementStart(), e->replacementLength());
        QTextEdit::inputMethodEvent(&cut);
        e->accept();
    }
};

} // namespace

// ---------------------------------------------------------------------------
// Construction

TProfGridWidget::TProfGridWidget(QWidget* parent) : QAbstractScrollArea(parent)
{
    Clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(bsSingle == BorderStyle() ? QFrame::StyledPanel : QFrame::NoFrame);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (!syncing_)
            fc::RunHandler([&] { SetTopRow(v); });
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (!syncing_)
            fc::RunHandler([&] { SetLeftCol(v); });
    });

    panel_ = new QFrame(viewport());
    panel_->setObjectName(QStringLiteral("ProfGridInplacePanel"));
    panel_->setFrameShape(QFrame::NoFrame);
    panel_->setAutoFillBackground(true);
    panel_->hide();
    editor_ = new InplaceTextEdit(panel_);
    editor_->setObjectName(QStringLiteral("ProfGridInplaceEditor"));
    editor_->setFrameShape(QFrame::NoFrame);
    editor_->setAcceptRichText(false);
    editor_->setTabChangesFocus(false);
    editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor_->document()->setDocumentMargin(0);
    editor_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    editor_->setContextMenuPolicy(Qt::CustomContextMenu);
    editor_->setEnabled(false);
    editor_->installEventFilter(this);
    connect(editor_->document(), &QTextDocument::contentsChanged, this, [this] {
        if (editorShown_ && !settingEditorText_ && !opening_)
            fc::RunHandler([this] { EditorResizeRequest(); });
    });
    connect(editor_, &QTextEdit::selectionChanged, this, [this] {
        if (editorShown_)
            fc::RunHandler([this] { EditorSelectionChange(); });
    });

    editorMenu_ = new QMenu(this);
    const char* items[] = {"Undo", "-", "Cu&t", "Copy", "Paste", "Delete", "-", "Select All"};
    for (int i = 0; i < 8; ++i) {
        if (QLatin1String(items[i]) == QLatin1String("-")) {
            editorMenu_->addSeparator();
            continue;
        }
        QAction* a = editorMenu_->addAction(QString::fromLatin1(items[i]));
        connect(a, &QAction::triggered, this, [this, i] { fc::RunHandler([&] { EditorMenuClick(i); }); });
    }
    connect(editor_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { editorMenu_->popup(editor_->mapToGlobal(pos)); });
    EditorPropertiesChanged();
    SyncWithModel();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { fc::RunHandler([&] { FocusMoved(now); }); });
}

TProfGridWidget::~TProfGridWidget()
{
    timer_.stop();
    // The children go after this object's own parts: no handler may reach
    // them meanwhile.
    editor_->document()->disconnect(this);
    editor_->disconnect(this);
    qApp->disconnect(this);
    verticalScrollBar()->disconnect(this);
    horizontalScrollBar()->disconnect(this);
    editor_->removeEventFilter(this);
    if (appControl_) {
        appControl_->removeEventFilter(this);
        // The control is the application's: it must not go with the grid.
        appControl_->hide();
        ReturnAppControl();
    }
}

// ---------------------------------------------------------------------------
// Properties

void TProfGridWidget::SetScrollBars(TScrollStyle v)
{
    TProfGrid::SetScrollBars(v);
    SyncWithModel();
}

void TProfGridWidget::SetBorderStyle(TBorderStyle v)
{
    TProfGrid::SetBorderStyle(v);
    setFrameShape(v == bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
}

void TProfGridWidget::SetDefaultDrawing(bool v)
{
    TProfGrid::SetDefaultDrawing(v);
    Repaint();
}

void TProfGridWidget::SetCtl3D(bool v)
{
    TProfGrid::SetCtl3D(v);
    Repaint();
}

bool TProfGridWidget::Shown(int ACol, int ARow) const
{
    return ColWidths(ACol) > 0 && RowHeights(ARow) > 0;
}

int TProfGridWidget::ShownCol(int from, int to, int step) const
{
    for (int c = from; step > 0 ? c <= to : c >= to; c += step)
        if (c >= 0 && c < ColCount() && ColWidths(c) > 0)
            return c;
    return -1;
}

int TProfGridWidget::ShownRow(int from, int to, int step) const
{
    for (int r = from; step > 0 ? r <= to : r >= to; r += step)
        if (r >= 0 && r < RowCount() && RowHeights(r) > 0)
            return r;
    return -1;
}

bool TProfGridWidget::TabStops(int ACol) const
{
    return ACol < 0 || ACol >= int(noTabStop_.size()) || !noTabStop_[size_t(ACol)];
}

void TProfGridWidget::SetTabStops(int ACol, bool value)
{
    if (ACol < 0 || ACol >= ColCount())
        throw EListError::IndexOutOfBounds(ACol);
    if (ACol >= int(noTabStop_.size()))
        noTabStop_.resize(size_t(ACol) + 1, false);
    noTabStop_[size_t(ACol)] = !value;
}

// ---------------------------------------------------------------------------
// Model hooks

void TProfGridWidget::PaintControl()
{
    viewport()->update();
    ScheduleSync();
}

void TProfGridWidget::PaintCell(int ACol, int ARow, bool)
{
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount())
        return;
    const CellRects r = Rects(Cell(ACol, ARow));
    viewport()->update(r.visible);
}

void TProfGridWidget::BaseGridChanged() { ScheduleSync(); }

void TProfGridWidget::TopLeftChanged()
{
    TProfGrid::TopLeftChanged();
    ScheduleSync();
}

void TProfGridWidget::SetEditorText(const QString& text)
{
    if (!editorShown_)
        return;
    if (appControl_) {
        if (auto* cb = qobject_cast<QComboBox*>(appControl_.data()))
            cb->setCurrentText(text);
        else if (auto* le = qobject_cast<QLineEdit*>(appControl_.data()))
            le->setText(text);
        return;
    }
    if (text == EditorText())
        return;
    settingEditorText_ = true;
    editor_->setPlainText(ToEditorText(text));
    settingEditorText_ = false;
    EditorResizeRequest();
}

bool TProfGridWidget::EditorContent(TFont& font, QStringList& lines, QString& text) const
{
    if (!editorShown_ || appControl_ || Col() >= ColCount() || Row() >= RowCount())
        return false;
    const TProfGridCol& col = Columns(Col());
    const TProfGridCell* cell = col.Slot(Row());
    if (!cell)
        return false;
    font = cell->Font();
    lines = EditorLines();
    text = EditorText();
    return true;
}

void TProfGridWidget::EditorPropertiesChanged()
{
    QPalette pp = panel_->palette();
    pp.setColor(QPalette::Window, ToQColor(EditColor()));
    panel_->setPalette(pp);
    editor_->setLineWrapMode(WordWrap() ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    if (editorShown_ && !appControl_) {
        RefreshEditorLook();
        UpdateEditorPlacement();
    }
}

// ---------------------------------------------------------------------------
// Geometry

int TProfGridWidget::MaxTopRow() const
{
    const int h = ClientHeight();
    if (h <= 0)
        return std::max(FixedRows(), RowCount() - 1);
    int avail = h;
    for (int r = 0; r < FixedRows(); ++r)
        avail -= RowHeights(r);
    int t = RowCount() - 1;
    avail -= RowHeights(t);
    while (t - 1 >= FixedRows() && avail - RowHeights(t - 1) >= 0) {
        --t;
        avail -= RowHeights(t);
    }
    return std::max(FixedRows(), t);
}

int TProfGridWidget::MaxLeftCol() const
{
    const int w = ClientWidth();
    if (w <= 0)
        return std::max(FixedCols(), ColCount() - 1);
    int avail = w;
    for (int c = 0; c < FixedCols(); ++c)
        avail -= ColWidths(c);
    int l = ColCount() - 1;
    avail -= ColWidths(l);
    while (l - 1 >= FixedCols() && avail - ColWidths(l - 1) >= 0) {
        --l;
        avail -= ColWidths(l);
    }
    return std::max(FixedCols(), l);
}

TProfGridWidget::CellRects TProfGridWidget::Rects(const TProfGridCell& cell) const
{
    const int rv = cell.RightVisibleCol();
    const int lv = cell.LeftVisibleCol();
    int spanWidth = 0;
    const int a = cell.FirstCol()->LayoutIndex();
    const int b = cell.LastCol()->LayoutIndex();
    for (int p = a; p <= b; ++p) {
        const TProfGridCol& c = LayoutColumns(p);
        if (c.Visible())
            spanWidth += ColWidths(c.Index());
    }
    const int right = ColLeft(rv) + ColWidths(rv);
    const int left = right - spanWidth;
    const int top = RowTop(cell.TopRow());
    const int bottom = RowTop(cell.BottomRow()) + RowHeights(cell.BottomRow());
    CellRects r;
    r.cell = QRect(left, top, right - left, bottom - top);
    int vleft = left;
    int vtop = top;
    if (lv >= FixedCols() && lv < LeftCol())
        vleft = ColLeft(LeftCol());
    if (cell.BottomRow() >= FixedRows() && cell.TopRow() < TopRow())
        vtop = RowTop(TopRow());
    r.visible = QRect(vleft, vtop, right - vleft, bottom - vtop);
    return r;
}

QRect TProfGridWidget::CellRect(int ACol, int ARow) { return Rects(Cell(ACol, ARow)).cell; }

QPoint TProfGridWidget::MouseCoord(int x, int y) const
{
    int col = -1;
    int row = -1;
    int pos = 0;
    for (int c = 0; c < FixedCols() && col < 0; ++c) {
        if (x >= pos && x < pos + ColWidths(c))
            col = c;
        pos += ColWidths(c);
    }
    for (int c = LeftCol(); c < ColCount() && col < 0 && pos <= std::max(x, 0); ++c) {
        if (x >= pos && x < pos + ColWidths(c))
            col = c;
        pos += ColWidths(c);
    }
    pos = 0;
    for (int r = 0; r < FixedRows() && row < 0; ++r) {
        if (y >= pos && y < pos + RowHeights(r))
            row = r;
        pos += RowHeights(r);
    }
    for (int r = TopRow(); r < RowCount() && row < 0 && pos <= std::max(y, 0); ++r) {
        if (y >= pos && y < pos + RowHeights(r))
            row = r;
        pos += RowHeights(r);
    }
    if (col < 0 || row < 0 || x < 0 || y < 0)
        return QPoint(-1, -1);
    return QPoint(col, row);
}

int TProfGridWidget::FirstSelCol() const { return Options().Has(pgoSelectFixedCols) ? 0 : FixedCols(); }
int TProfGridWidget::FirstSelRow() const { return Options().Has(pgoSelectFixedRows) ? 0 : FixedRows(); }

int TProfGridWidget::LastFullyVisibleCol() const
{
    return std::clamp(LeftCol() + std::max(1, VisibleColCount()) - 1, 0, ColCount() - 1);
}

int TProfGridWidget::LastFullyVisibleRow() const
{
    return std::clamp(TopRow() + std::max(1, VisibleRowCount()) - 1, 0, RowCount() - 1);
}

// ---------------------------------------------------------------------------
// Scroll bars and upkeep

void TProfGridWidget::ScheduleSync()
{
    viewport()->update();
    if (syncPending_)
        return;
    syncPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (syncPending_)
                fc::RunHandler([this] { SyncWithModel(); });
        },
        Qt::QueuedConnection);
}

void TProfGridWidget::SyncWithModel()
{
    syncPending_ = false;
    SetClientSize(viewport()->width(), viewport()->height());
    UpdateScrollBars();
    UpdateEditorPlacement();
    viewport()->update();
}

void TProfGridWidget::UpdateScrollBars()
{
    if (syncing_)
        return;
    syncing_ = true;
    const TScrollStyle s = ScrollBars();
    setVerticalScrollBarPolicy(s == ssVertical || s == ssBoth ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(s == ssHorizontal || s == ssBoth ? Qt::ScrollBarAsNeeded
                                                                   : Qt::ScrollBarAlwaysOff);
    QScrollBar* v = verticalScrollBar();
    v->setTracking(ThumbTracking());
    v->setRange(FixedRows(), std::max(MaxTopRow(), TopRow()));
    v->setPageStep(std::max(1, VisibleRowCount()));
    v->setValue(TopRow());
    QScrollBar* h = horizontalScrollBar();
    h->setTracking(ThumbTracking());
    h->setRange(FixedCols(), std::max(MaxLeftCol(), LeftCol()));
    h->setPageStep(std::max(1, VisibleColCount()));
    h->setValue(LeftCol());
    syncing_ = false;
    // Showing or hiding a bar resizes the viewport.
    if (viewport()->width() != ClientWidth() || viewport()->height() != ClientHeight())
        SetClientSize(viewport()->width(), viewport()->height());
}

void TProfGridWidget::scrollContentsBy(int, int) { viewport()->update(); }

void TProfGridWidget::wheelEvent(QWheelEvent* e)
{
    bool handled = false;
    fc::RunHandler([&] { handled = MouseWheel(e->modifiers(), e->angleDelta().y(), e->globalPosition().toPoint()); });
    if (handled)
        e->accept();
    else
        QAbstractScrollArea::wheelEvent(e);
}

bool TProfGridWidget::MouseWheel(Qt::KeyboardModifiers shift, int delta, const QPoint& mousePos)
{
    // A part of a notch waits for the rest of it.
    wheelAccumulator_ += delta;
    bool handled = false;
    while (std::abs(wheelAccumulator_) >= 120) {
        const bool down = wheelAccumulator_ < 0;
        wheelAccumulator_ += down ? 120 : -120;
        bool h = false;
        if (down && OnMouseWheelDown)
            OnMouseWheelDown(*this, shift, mousePos, h);
        else if (!down && OnMouseWheelUp)
            OnMouseWheelUp(*this, shift, mousePos, h);
        handled = handled || h;
    }
    return handled;
}

// ---------------------------------------------------------------------------
// Focus

bool TProfGridWidget::OwnsFocusWidget(const QWidget* w) const
{
    if (!w)
        return false;
    if (w == this || isAncestorOf(w))
        return true;
    return appControl_ && (w == appControl_.data() || appControl_->isAncestorOf(w));
}

void TProfGridWidget::FocusMoved(QWidget* now)
{
    if (focusMuted_ > 0)
        return;
    const bool inside = OwnsFocusWidget(now);
    if (inside == focusInside_)
        return;
    focusInside_ = inside;
    if (inside && OnEnter)
        OnEnter(*this);
    else if (!inside && OnExit)
        OnExit(*this);
}

void TProfGridWidget::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    SetClientSize(viewport()->width(), viewport()->height());
    ScheduleSync();
}

bool TProfGridWidget::EditorGeometry(QRect& geo, bool allowScroll)
{
    if (Col() >= ColCount() || Row() >= RowCount())
        return false;
    TProfGridCell& cell = Cell(Col(), Row());
    const int glw = GridLineWidth();
    const int top = RowTop(cell.TopRow());
    const int left = ColLeft(cell.LeftVisibleCol());
    const int rv = cell.RightVisibleCol();
    int width = ColLeft(rv) + ColWidths(rv) - left - (Options().Has(pgoVertLine) ? glw : 0);
    int height = RowTop(cell.BottomRow()) + RowHeights(cell.BottomRow()) - top
        - (Options().Has(pgoHorzLine) ? glw : 0);
    if (ClientWidth() > 0 && left + width > ClientWidth())
        width = ClientWidth() - left;
    if (ClientHeight() > 0 && top + height > ClientHeight()) {
        if (TopRow() >= Row())
            height = ClientHeight() - top;
        else if (allowScroll)
            SetTopRow(TopRow() + 1);
    }
    geo = QRect(left, top, std::max(0, width), std::max(0, height));
    return true;
}

void TProfGridWidget::UpdateEditorPlacement()
{
    if (!editorShown_ || opening_ || closing_)
        return;
    QRect geo;
    if (!EditorGeometry(geo, false))
        return;
    if (appControl_) {
        QPoint off = appControl_->parentWidget() ? viewport()->mapTo(appControl_->parentWidget(), QPoint(0, 0))
                                                 : QPoint(0, 0);
        if (!qobject_cast<QComboBox*>(appControl_.data()))
            appControl_->setGeometry(geo.translated(off));
        else
            appControl_->move(geo.topLeft() + off);
        return;
    }
    if (panel_->geometry() != geo)
        panel_->setGeometry(geo);
    RefreshEditorLook();
    PlaceEditor();
    ClipPanel();
}

void TProfGridWidget::ClipPanel()
{
    if (!editorShown_ || appControl_ || Col() >= ColCount() || Row() >= RowCount())
        return;
    // A cell scrolled under the fixed rows or columns: the editor shows only
    // over the scrolling area, so that it never covers the fixed cells.
    const TProfGridCell& cell = Cell(Col(), Row());
    int fixedW = 0;
    for (int c = 0; c < FixedCols(); ++c)
        fixedW += ColWidths(c);
    int fixedH = 0;
    for (int r = 0; r < FixedRows(); ++r)
        fixedH += RowHeights(r);
    QRect area = viewport()->rect();
    if (cell.LeftVisibleCol() >= FixedCols())
        area.setLeft(fixedW);
    if (cell.TopRow() >= FixedRows())
        area.setTop(fixedH);
    const QRect vis = area.intersected(panel_->geometry()).translated(-panel_->pos());
    if (vis == panel_->rect())
        panel_->clearMask();
    else if (vis.isEmpty())
        panel_->setMask(QRegion(-1, -1, 1, 1));
    else
        panel_->setMask(QRegion(vis));
}

// ---------------------------------------------------------------------------
// Painting

void TProfGridWidget::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), ToQColor(Color()));
    if (UpdateCount() > 0 || ColCount() <= 0 || RowCount() <= 0)
        return;
    // A merged cell is painted once, whichever of its positions is reached
    // first (its bottom-right one may lie outside the client area).
    std::unordered_set<const TProfGridCell*> painted;
    const int lastRow = std::min(RowCount() - 1, TopRow() + VisibleRowCount());
    const int lastCol = std::min(ColCount() - 1, LeftCol() + VisibleColCount());
    auto rowPass = [&](int r) {
        auto one = [&](int c) {
            const TProfGridCell* cell = &Cell(c, r);
            if (!painted.insert(cell).second)
                return;
            DrawCell(p, c, r);
        };
        for (int c = 0; c < FixedCols(); ++c)
            one(c);
        for (int c = LeftCol(); c <= lastCol; ++c)
            one(c);
    };
    // An error of an OnDrawCell handler is shown, not thrown through Qt.
    fc::RunHandler([&] {
        for (int r = 0; r < FixedRows(); ++r)
            rowPass(r);
        for (int r = TopRow(); r <= lastRow; ++r)
            rowPass(r);
    });
    if (sizingCol_ >= 0) {
        p.save();
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        QPen pen(Qt::white, 1, Qt::DotLine);
        p.setPen(pen);
        p.drawLine(sizingX_, 0, sizingX_, viewport()->height() - 1);
        p.restore();
    }
}

void TProfGridWidget::DrawCell(QPainter& p, int ACol, int ARow)
{
    if (ACol >= ColCount() || UpdateCount() > 0 || ACol < 0 || ARow < 0 || ARow >= RowCount())
        return;
    TProfGridCell& cell = Cell(ACol, ARow);
    const int rv = cell.RightVisibleCol();
    const int lv = cell.LeftVisibleCol();
    const int br = cell.BottomRow();
    if ((rv < LeftCol() && rv >= FixedCols()) || (br < TopRow() && br >= FixedRows()))
        return;
    const CellRects rects = Rects(cell);
    const QRect& cr = rects.cell;
    const QRect& vr = rects.visible;
    if (vr.isEmpty())
        return;
    const TProfGridOptions o = Options();
    const bool current = Col() < ColCount() && Row() < RowCount() && &Cell(Col(), Row()) == &cell;
    const bool editing = current && editorShown_;
    const bool selected = cell.IsSelected();
    const int glw = GridLineWidth();
    const int B = BorderForText();

    p.save();
    p.setClipRect(vr);

    TColor brush = cell.Color();
    TFont font = cell.Font();
    if (selected) {
        if (editing) {
            brush = EditColor();
            font.Color = clHighlightText;
        } else if (o.Has(pgoDrawFocusSelected) || !current) {
            brush = SelectColor();
            font.Color = fc::ColorToRGB(SelectColor()) == fc::ColorToRGB(clHighlightText) ? clHighlight
                                                                                          : clHighlightText;
        }
    }
    if (DefaultDrawing()) {
        if (!editing)
            p.fillRect(vr, ToQColor(brush));
        else if (qobject_cast<QComboBox*>(appControl_.data()))
            p.fillRect(vr, ToQColor(EditColor())); // the box keeps its own height
    } else {
        p.fillRect(vr, ToQColor(Color()));
    }

    if (DefaultDrawing() && !editing) {
        const ITextMeasurer& m = Measurer();
        const int a = (br < FixedRows() || o.Has(pgoVertLine)) ? glw : 0;
        int rowsHeight = 0;
        for (int r = cell.TopRow(); r <= br; ++r)
            rowsHeight += RowHeights(r);
        const int v = rowsHeight - a - cell.CalcHeight();
        int lineTop = cr.top() + B;
        if (cell.VertAlignment() == vaBottom)
            lineTop += v;
        else if (cell.VertAlignment() == vaCenter)
            lineTop += v / 2;
        const QFont qf = fc::ToQFont(font);
        const int ascent = QFontMetrics(qf).ascent();
        const int lh = m.TextHeight(font, QStringLiteral("A"));
        p.setFont(qf);
        p.setPen(ToQColor(font.Color));
        p.setBackgroundMode(Qt::TransparentMode);
        for (const QString& line : cell.Lines()) {
            const int h = cr.width() - m.TextWidth(font, line) - a;
            int x;
            switch (cell.Alignment()) {
            case taRightJustify:
                x = cr.left() + h - B;
                break;
            case taCenter:
                x = cr.left() + h / 2;
                break;
            default:
                x = cr.left() + B;
                break;
            }
            p.drawText(QPoint(x, lineTop + ascent), line);
            lineTop += lh;
        }
    }

    // Grid lines inside the right and bottom edges.
    QRect inner = vr;
    const bool fixedCell = br < FixedRows() || rv < FixedCols();
    if (glw > 0) {
        const QColor lc = ToQColor(fixedCell ? FixedGridLineColor() : GridLineColor());
        const bool horz = o.Has(fixedCell ? pgoFixedHorzLine : pgoHorzLine);
        const bool vert = o.Has(fixedCell ? pgoFixedVertLine : pgoVertLine);
        const int bottom = cr.top() + cr.height();
        const int right = vr.left() + vr.width();
        if (horz) {
            p.fillRect(QRect(vr.left(), bottom - glw, vr.width(), glw), lc);
            inner.setHeight(std::max(0, inner.height() - glw));
        }
        if (vert) {
            p.fillRect(QRect(right - glw, cr.top(), glw, cr.height()), lc);
            inner.setWidth(std::max(0, inner.width() - glw));
        }
    }

    if (Ctl3D() && DefaultDrawing() && fixedCell && !editing) {
        const QRect er(QPoint(vr.left(), cr.top()),
                       QPoint(vr.left() + vr.width() - glw - 1, cr.top() + cr.height() - glw - 1));
        const bool topAway = cell.TopRow() >= FixedRows() && cell.TopRow() < TopRow();
        const bool leftAway = lv >= FixedCols() && lv < LeftCol();
        if (!topAway)
            DrawRaisedEdge(p, er, true, !leftAway, true, true);
        else
            DrawRaisedEdge(p, er, false, true, true, true);
    }

    if (current && !editorShown_ && DefaultDrawing() && o.Has(pgoDrawFocusRectangle) && !o.Has(pgoRowSelect))
        DrawFocusFrame(p, inner);

    p.restore();
    if (OnDrawCell) {
        TGridDrawState state = 0;
        if (fixedCell)
            state |= gdFixed;
        if (selected)
            state |= gdSelected;
        if (current && hasFocus())
            state |= gdFocused;
        p.save();
        p.setClipRect(inner);
        OnDrawCell(*this, rv, br, inner, state, p);
        p.restore();
    }
}

// ---------------------------------------------------------------------------
// Editing

QString TProfGridWidget::EditorText() const { return FromEditorText(editor_->toPlainText()); }

QStringList TProfGridWidget::EditorLines() const
{
    QStringList lines;
    QTextDocument* d = editor_->document();
    d->documentLayout()->documentSize(); // lays the document out
    for (QTextBlock b = d->begin(); b.isValid(); b = b.next()) {
        const QString bt = b.text();
        const QTextLayout* l = b.layout();
        if (!l || l->lineCount() == 0) {
            lines << bt;
            continue;
        }
        for (int i = 0; i < l->lineCount(); ++i) {
            const QTextLine ln = l->lineAt(i);
            lines << bt.mid(ln.textStart(), ln.textLength());
        }
    }
    // Lines as a string list counts them: no entry for an empty text or
    // for the empty line after a final line break.
    const QString t = d->toPlainText();
    if (t.isEmpty())
        lines.clear();
    else if (t.endsWith(QLatin1Char('\n')) && !lines.isEmpty())
        lines.removeLast();
    return lines;
}

void TProfGridWidget::RefreshEditorLook()
{
    if (Col() >= ColCount() || Row() >= RowCount())
        return;
    const TProfGridCell& cell = Cell(Col(), Row());
    const QFont qf = fc::ToQFont(cell.Font());
    if (editor_->font() != qf)
        editor_->setFont(qf);
    QPalette ep = editor_->palette();
    ep.setColor(QPalette::Base, ToQColor(EditColor()));
    ep.setColor(QPalette::Text, ToQColor(cell.Font().Color));
    editor_->setPalette(ep);
    QPalette pp = panel_->palette();
    pp.setColor(QPalette::Window, ToQColor(EditColor()));
    panel_->setPalette(pp);
    QTextOption opt = editor_->document()->defaultTextOption();
    const Qt::Alignment al = cell.Alignment() == taRightJustify ? Qt::AlignRight
        : cell.Alignment() == taCenter                          ? Qt::AlignHCenter
                                                                : Qt::AlignLeft;
    if (opt.alignment() != al) {
        opt.setAlignment(al);
        editor_->document()->setDefaultTextOption(opt);
    }
}

void TProfGridWidget::PlaceEditor()
{
    if (Col() >= ColCount() || Row() >= RowCount())
        return;
    TProfGridCell& cell = Cell(Col(), Row());
    const int B = BorderForText();
    const int pw = panel_->width();
    const int ph = panel_->height();
    int top = B;
    int height = ph;
    const int h = cell.CalcHeight();
    if (h < ph && (cell.VertAlignment() == vaBottom || cell.VertAlignment() == vaCenter)) {
        top += cell.VertAlignment() == vaBottom ? ph - h : (ph - h) / 2;
        height = h;
    }
    const QRect g(B, top, std::max(0, pw - 2 * B), std::max(0, height - 2 * B));
    if (editor_->geometry() != g)
        editor_->setGeometry(g);
    editor_->document()->setTextWidth(WordWrap() ? g.width() : -1);
}

void TProfGridWidget::SetEditorMode(bool value)
{
    if (value == editorShown_)
        return;
    if (value)
        OpenEditor();
    else
        CloseEditor();
}

void TProfGridWidget::OpenEditor()
{
    const TProfGridOptions o = Options();
    if (opening_ || closing_ || !o.Has(pgoEditing) || o.Has(pgoRowSelect) || Col() >= ColCount()
        || Row() >= RowCount())
        return;
    // No editor of no width on a hidden cell: what it took would land where
    // nobody sees it.
    if (!Shown(Col(), Row()))
        return;
    TProfGridCell& cell = Cell(Col(), Row());
    if (Columns(Col()).ReadOnly() || cell.ReadOnly())
        return;
    opening_ = true;
    struct Reset {
        bool& f;
        ~Reset() { f = false; }
    } reset{opening_};

    Selection().BeginUpdate();
    Selection().SetLeft(Col());
    Selection().SetRight(Col());
    Selection().SetTop(Row());
    Selection().SetBottom(Row());
    Selection().EndUpdate();
    oldText_ = cell.Text();
    SetRangeSelecting(false);

    if (cell.TopRow() >= FixedRows() && cell.TopRow() < TopRow())
        SetTopRow(cell.TopRow());
    if (cell.LeftVisibleCol() >= FixedCols() && cell.LeftVisibleCol() < LeftCol())
        SetLeftCol(cell.LeftVisibleCol());
    SetClientSize(viewport()->width(), viewport()->height());
    QRect geo;
    EditorGeometry(geo, true);

    QString text = cell.Text();
    if (OnGetEditText)
        OnGetEditText(*this, Col(), Row(), text);
    QWidget* control = nullptr;
    if (OnGetEditControl)
        OnGetEditControl(*this, Col(), Row(), control);
    if (control) {
        OpenAppControl(control, geo, text);
        return;
    }

    editorShown_ = true;
    RefreshEditorLook();
    lastSelText_.clear();
    static_cast<InplaceTextEdit*>(editor_)->maxLength = cell.MaxLength();
    settingEditorText_ = true;
    editor_->setPlainText(ToEditorText(text));
    settingEditorText_ = false;
    panel_->setGeometry(geo);
    panel_->show();
    panel_->raise();
    PlaceEditor();
    QTextCursor tc = editor_->textCursor();
    tc.movePosition(QTextCursor::Start);
    editor_->setTextCursor(tc);
    RecalcRowHeight(Row());
    editor_->setEnabled(true);
    if (isVisible())
        editor_->setFocus(Qt::OtherFocusReason);
    viewport()->update();
}

void TProfGridWidget::CloseEditor()
{
    if (closing_ || opening_)
        return;
    closing_ = true;
    struct Reset {
        bool& f;
        ~Reset() { f = false; }
    } reset{closing_};

    if (appControl_) {
        if (!CloseAppControl())
            return;
    } else {
        QString text = EditorText();
        if (!cancel_ && text != oldText_ && OnCellChanged) {
            QString nv = text;
            bool allow = true;
            OnCellChanged(*this, Col(), Row(), oldText_, nv, allow);
            if (nv != text) {
                settingEditorText_ = true;
                editor_->setPlainText(ToEditorText(nv));
                settingEditorText_ = false;
                text = EditorText();
            }
            if (!allow)
                return;
        }
        editorShown_ = false;
        const bool hadFocus = editor_->hasFocus();
        // Hiding the focused editor moves the focus on before the grid takes
        // it back: no exit and enter for that.
        ++focusMuted_;
        panel_->hide();
        if (Col() < ColCount() && Row() < RowCount()) {
            TProfGridCell& cell = Cell(Col(), Row());
            MarkNeedsWrap(cell);
            RecalcRowHeight(Row());
        }
        editor_->setEnabled(false);
        if (hadFocus && isVisible())
            setFocus(Qt::OtherFocusReason);
        --focusMuted_;
        if (hadFocus)
            focusInside_ = OwnsFocusWidget(QApplication::focusWidget());
        if (Col() < ColCount() && Row() < RowCount())
            Cell(Col(), Row()).SetText(cancel_ ? oldText_ : text);
    }
    viewport()->update();
    if (Col() < ColCount() && Row() < RowCount()) {
        const QString t = Cell(Col(), Row()).Text();
        if (OnSetEditText)
            OnSetEditText(*this, Col(), Row(), t);
    }
    if (OnCellExit)
        OnCellExit(*this, Col(), Row());
}

void TProfGridWidget::EditorResizeRequest()
{
    if (!editorShown_ || appControl_ || settingEditorText_ || closing_ || Col() >= ColCount()
        || Row() >= RowCount())
        return;
    TProfGridCell& cell = Cell(Col(), Row());
    cell.SetText(EditorText());
    RecalcRowHeight(Row());
    int h = 0;
    for (int r = cell.TopRow(); r <= cell.BottomRow(); ++r)
        h += RowHeights(r);
    if (Options().Has(pgoHorzLine))
        h -= GridLineWidth();
    int top = RowTop(cell.TopRow());
    const int left = ColLeft(cell.LeftVisibleCol());
    if (ClientHeight() > 0 && top + h > ClientHeight()) {
        if (TopRow() >= Row())
            h = ClientHeight() - top;
        else {
            SetTopRow(TopRow() + 1);
            top = RowTop(cell.TopRow());
        }
    }
    if (h != panel_->height() || left != panel_->x() || top != panel_->y()) {
        panel_->setGeometry(left, top, panel_->width(), std::max(0, h));
        panel_->show();
        PlaceEditor();
        ClipPanel();
    }
    viewport()->update();
    if (OnSetEditText)
        OnSetEditText(*this, Col(), Row(), cell.Text());
}

void TProfGridWidget::EditorSelectionChange()
{
    QString sel = editor_->textCursor().selectedText();
    sel.replace(QChar(QChar::ParagraphSeparator), kCrLf);
    if (OnEditorSelectionChanged && sel != lastSelText_)
        OnEditorSelectionChanged(*this, sel);
    lastSelText_ = sel;
}

void TProfGridWidget::EditorMenuClick(int index)
{
    switch (index) {
    case 0:
        editor_->undo();
        break;
    case 2:
        editor_->cut();
        break;
    case 3:
        editor_->copy();
        break;
    case 4:
        editor_->paste();
        break;
    case 5:
        editor_->textCursor().removeSelectedText();
        break;
    case 7:
        editor_->selectAll();
        break;
    default:
        break;
    }
}

void TProfGridWidget::EditorKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    KeyDown(key, shift);
    if (key == Qt::Key_Tab)
        key = 0;
    if (!editorShown_ || appControl_ || (Options().Has(pgoAlwaysShowEditor) && key != Qt::Key_Escape))
        return;
    if (IsEnter(key)) {
        const TProfGridCell& cell = Cell(Col(), Row());
        const bool text = !Columns(Col()).NumericOnly() || cell.FirstCol() != cell.LastCol();
        if (Options().Has(pgoMultiLineCells) && text)
            return;
        SetEditorMode(false);
        if (!editorShown_)
            KeyDown(key, shift);
        key = 0;
    } else if (key == Qt::Key_Escape) {
        cancel_ = true;
        SetEditorMode(false);
        cancel_ = false;
        key = 0;
    } else if (key == Qt::Key_Up || key == Qt::Key_Down) {
        const QTextCursor tc = editor_->textCursor();
        const int pos = tc.position();
        const int total = editor_->document()->characterCount() - 1;
        const QStringList lines = EditorLines();
        bool leave;
        if (key == Qt::Key_Up)
            leave = pos == 0 || lines.isEmpty() || pos <= lines.first().size();
        else
            leave = pos >= total || lines.isEmpty() || total - pos <= lines.last().size();
        if (!leave)
            return;
        SetEditorMode(false);
        if (!editorShown_)
            KeyDown(key, shift);
        key = 0;
    }
}

void TProfGridWidget::EditorKeyPress(QChar& key)
{
    KeyPress(key);
    if (key == QLatin1Char('\t'))
        key = QChar();
    if (key.isNull() || !editorShown_ || Col() >= ColCount() || Row() >= RowCount())
        return;
    const TProfGridCell& cell = Cell(Col(), Row());
    const bool lineBreak = key == QLatin1Char('\r') || key == QLatin1Char('\n');
    if ((key.isPrint() || lineBreak) && static_cast<InplaceTextEdit*>(editor_)->Room() == 0) {
        key = QChar();
        return;
    }
    if (!Columns(Col()).NumericOnly() || cell.FirstCol() != cell.LastCol() || !key.isPrint())
        return;
    const QString text = editor_->toPlainText();
    const QChar dec = fc::DecimalSeparator();
    if (key == dec) {
        if (text.contains(dec))
            key = QChar();
    } else if (key == QLatin1Char('-')) {
        if (editor_->textCursor().position() != 0 || text.contains(QLatin1Char('-')))
            key = QChar();
    } else if (!key.isDigit()) {
        key = QChar();
    }
}

// ---------------------------------------------------------------------------
// Application edit controls

void TProfGridWidget::OpenAppControl(QWidget* control, const QRect& geo, const QString& text)
{
    appControl_ = control;
    appControlParent_ = control->parentWidget();
    QWidget* host = parentWidget() ? parentWidget() : viewport();
    if (control->parentWidget() != host)
        control->setParent(host);
    const QPoint off = viewport()->mapTo(host, QPoint(0, 0));
    QPalette pal = control->palette();
    pal.setColor(QPalette::Base, ToQColor(EditColor()));
    control->setPalette(pal);
    if (Col() < ColCount() && Row() < RowCount())
        control->setFont(fc::ToQFont(Cell(Col(), Row()).Font()));
    if (auto* cb = qobject_cast<QComboBox*>(control)) {
        cb->setCurrentText(text);
        cb->move(geo.topLeft() + off);
        cb->resize(geo.width(), cb->sizeHint().height());
    } else {
        if (auto* de = qobject_cast<QDateTimeEdit*>(control)) {
            const QDate d = QLocale().toDate(text, QLocale::ShortFormat);
            if (d.isValid())
                de->setDate(d);
        } else if (auto* le = qobject_cast<QLineEdit*>(control)) {
            le->setText(text);
        } else if (auto* sb = qobject_cast<QAbstractSpinBox*>(control)) {
            if (QLineEdit* le2 = sb->findChild<QLineEdit*>())
                le2->setText(text);
            sb->interpretText();
        }
        control->setGeometry(geo.translated(off));
    }
    control->installEventFilter(this);
    editorShown_ = true;
    control->show();
    control->raise();
    control->setFocus(Qt::OtherFocusReason);
}

bool TProfGridWidget::CloseAppControl()
{
    QWidget* control = appControl_;
    QString text = oldText_;
    if (!cancel_) {
        if (auto* le = qobject_cast<QLineEdit*>(control)) {
            if (!le->hasAcceptableInput()) {
                QApplication::beep();
                return false;
            }
            text = le->text();
        } else if (auto* cb = qobject_cast<QComboBox*>(control)) {
            text = cb->currentText();
        } else if (auto* de = qobject_cast<QDateTimeEdit*>(control)) {
            text = QLocale().toString(de->date(), QLocale::ShortFormat);
        } else if (auto* sb = qobject_cast<QAbstractSpinBox*>(control)) {
            text = sb->text();
        }
        if (text != oldText_ && OnCellChanged) {
            QString nv = text;
            bool allow = true;
            OnCellChanged(*this, Col(), Row(), oldText_, nv, allow);
            if (nv != text) {
                text = nv;
                if (auto* le = qobject_cast<QLineEdit*>(control))
                    le->setText(nv);
                else if (auto* cb = qobject_cast<QComboBox*>(control))
                    cb->setCurrentText(nv);
            }
            if (!allow)
                return false;
        }
    }
    control->removeEventFilter(this);
    const bool hadFocus = control->hasFocus();
    ++focusMuted_;
    control->hide();
    if (hadFocus && isVisible())
        setFocus(Qt::OtherFocusReason);
    ReturnAppControl();
    --focusMuted_;
    if (hadFocus)
        focusInside_ = OwnsFocusWidget(QApplication::focusWidget());
    editorShown_ = false;
    if (Col() < ColCount() && Row() < RowCount()) {
        TProfGridCell& cell = Cell(Col(), Row());
        // Stored as it is: the control decides what it accepts.
        StoreCellText(cell, text);
        MarkNeedsWrap(cell);
        RecalcRowHeight(Row());
    }
    return true;
}

void TProfGridWidget::ReturnAppControl()
{
    QWidget* control = appControl_;
    appControl_ = nullptr;
    if (control && control->parentWidget() != appControlParent_.data()) {
        const bool visible = control->isVisible();
        control->setParent(appControlParent_);
        control->setVisible(visible && appControlParent_);
    }
    appControlParent_ = nullptr;
}

void TProfGridWidget::ControlKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    QWidget* c = appControl_;
    auto* cb = qobject_cast<QComboBox*>(c);
    auto* de = qobject_cast<QDateTimeEdit*>(c);
    auto* le = qobject_cast<QLineEdit*>(c);
    const bool spin = qobject_cast<QAbstractSpinBox*>(c) && !de;
    const bool dropped = (cb && cb->view() && cb->view()->isVisible())
        || (de && de->calendarWidget() && de->calendarWidget()->isVisible());
    const bool masked = le && !le->inputMask().isEmpty();
    bool leave = false;
    switch (key) {
    case Qt::Key_Up:
        leave = !dropped && !spin;
        break;
    case Qt::Key_Down:
        leave = !spin && !dropped && !((cb || de) && (shift & Qt::AltModifier));
        break;
    case Qt::Key_Tab:
        leave = !(de && dropped);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        leave = !(cb && dropped);
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        leave = !masked && !(de && dropped);
        break;
    case Qt::Key_Escape:
        if (cb && dropped)
            return;
        cancel_ = true;
        SetEditorMode(false);
        cancel_ = false;
        key = 0;
        return;
    case Qt::Key_F2:
        SetEditorMode(false);
        key = 0;
        return;
    default:
        return;
    }
    if (!leave)
        return;
    SetEditorMode(false);
    if (!editorShown_)
        KeyDown(key, shift);
    key = 0;
}

// ---------------------------------------------------------------------------
// Event routing

bool TProfGridWidget::event(QEvent* e)
{
    if (e->type() == QEvent::Show)
        SetWindowHandleCreated(true);
    if (e->type() == QEvent::ShortcutOverride) {
        // The grid's own keys come to the grid before any shortcut of the
        // window.
        auto* k = static_cast<QKeyEvent*>(e);
        const int key = k->key();
        const bool ctrl = k->modifiers() & Qt::ControlModifier;
        if (IsNavKey(key) || IsEnter(key) || key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_F2
            || key == Qt::Key_Delete || key == Qt::Key_Insert || (ctrl && (key == Qt::Key_C || key == Qt::Key_V))) {
            e->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

bool TProfGridWidget::focusNextPrevChild(bool next)
{
    // Tab is a grid key.
    if (Options().Has(pgoTabs) && !Options().Has(pgoRowSelect))
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

bool TProfGridWidget::FilterEditorKey(QKeyEvent* e)
{
    int key = e->key();
    Qt::KeyboardModifiers mods = e->modifiers();
    if (key == Qt::Key_Backtab) {
        key = Qt::Key_Tab;
        mods |= Qt::ShiftModifier;
    }
    if (key != 0) {
        EditorKeyDown(key, mods);
        if (key == 0 || !editorShown_)
            return true;
    }
    QChar ch = TypedChar(e);
    if (ch.isNull())
        return false;
    const QChar original = ch;
    EditorKeyPress(ch);
    if (!editorShown_ || ch.isNull())
        return true;
    if (ch != original) {
        // The handler changed the character: type that one instead.
        editor_->textCursor().insertText(QString(ch));
        return true;
    }
    return false;
}

bool TProfGridWidget::FilterControlKey(QKeyEvent* e)
{
    int key = e->key();
    Qt::KeyboardModifiers mods = e->modifiers();
    if (key == Qt::Key_Backtab) {
        key = Qt::Key_Tab;
        mods |= Qt::ShiftModifier;
    }
    KeyDown(key, mods);
    if (key == 0 || !editorShown_)
        return true;
    ControlKeyDown(key, mods);
    if (key == 0 || !editorShown_)
        return true;
    QChar ch = TypedChar(e);
    if (!ch.isNull()) {
        KeyPress(ch);
        if (ch.isNull())
            return true;
    }
    return false;
}

bool TProfGridWidget::eventFilter(QObject* watched, QEvent* e)
{
    const bool isEditor = watched == editor_;
    const bool isControl = appControl_ && watched == appControl_.data();
    if (!isEditor && !isControl)
        return QAbstractScrollArea::eventFilter(watched, e);
    if (e->type() == QEvent::KeyPress) {
        bool eaten = false;
        fc::RunHandler([&] {
            eaten = isEditor ? FilterEditorKey(static_cast<QKeyEvent*>(e))
                             : FilterControlKey(static_cast<QKeyEvent*>(e));
        });
        return eaten;
    }
    if (e->type() == QEvent::KeyRelease) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (!isEditor || k->isAutoRepeat())
            return false;
        int key = k->key();
        fc::RunHandler([&] { KeyUp(key, k->modifiers()); });
        // Done here: the release must not reach the grid a second time.
        return true;
    }
    if (e->type() == QEvent::FocusOut && editorShown_ && !opening_ && !closing_) {
        const auto reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            QWidget* f = QApplication::focusWidget();
            const bool inside = f && (f == editor_ || editor_->isAncestorOf(f)
                                      || (appControl_ && (f == appControl_ || appControl_->isAncestorOf(f))));
            if (!inside)
                fc::RunHandler([this] { SetEditorMode(false); });
        }
    }
    return false;
}

void TProfGridWidget::keyPressEvent(QKeyEvent* e)
{
    e->accept();
    fc::RunHandler([&] {
        int key = e->key();
        Qt::KeyboardModifiers mods = e->modifiers();
        if (key == Qt::Key_Backtab) {
            key = Qt::Key_Tab;
            mods |= Qt::ShiftModifier;
        }
        KeyDown(key, mods);
        if (key == 0)
            return;
        QChar ch = TypedChar(e);
        if (!ch.isNull())
            KeyPress(ch);
    });
}

void TProfGridWidget::keyReleaseEvent(QKeyEvent* e)
{
    // A key held down repeats its release too; only the last one counts.
    if (e->isAutoRepeat()) {
        QAbstractScrollArea::keyReleaseEvent(e);
        return;
    }
    int key = e->key();
    fc::RunHandler([&] { KeyUp(key, e->modifiers()); });
    if (key == 0)
        e->accept();
    else
        QAbstractScrollArea::keyReleaseEvent(e);
}

void TProfGridWidget::KeyUp(int& key, Qt::KeyboardModifiers shift)
{
    if (OnKeyUp)
        OnKeyUp(*this, key, shift);
}

void TProfGridWidget::mousePressEvent(QMouseEvent* e)
{
    const QPoint pt = e->position().toPoint();
    lastMousePos_ = pt;
    fc::RunHandler([&] { MouseDown(e->button(), e->modifiers(), pt.x(), pt.y()); });
}

void TProfGridWidget::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void TProfGridWidget::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pt = e->position().toPoint();
    lastMousePos_ = pt;
    fc::RunHandler([&] { MouseMove(e->modifiers(), pt.x(), pt.y()); });
}

void TProfGridWidget::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pt = e->position().toPoint();
    lastMousePos_ = pt;
    fc::RunHandler([&] { MouseUp(e->button(), e->modifiers(), pt.x(), pt.y()); });
}

void TProfGridWidget::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != timer_.timerId()) {
        QAbstractScrollArea::timerEvent(e);
        return;
    }
    fc::RunHandler([this] { TimerTick(lastMousePos_); });
}

void TProfGridWidget::contextMenuEvent(QContextMenuEvent* e)
{
    fc::RunHandler([&] {
        const bool keyboard = e->reason() == QContextMenuEvent::Keyboard;
        if (OnContextPopup) {
            bool handled = false;
            OnContextPopup(*this, keyboard ? QPoint(-1, -1) : e->pos(), handled);
            if (handled)
                return;
        }
        if (popupMenu_) {
            mouseDown_ = false;
            timer_.stop();
            SetRangeSelecting(false);
            popupMenu_->popup(keyboard ? viewport()->mapToGlobal(QPoint(0, 0)) : e->globalPos());
        }
    });
    e->accept();
}

// ---------------------------------------------------------------------------
// Keyboard

void TProfGridWidget::PageRows(int direction)
{
    const int rows = std::max(1, VisibleRowCount());
    const int target = std::clamp(Row() + direction * rows, FirstSelRow(), RowCount() - 1);
    const int top = std::clamp(TopRow() + direction * rows, FixedRows(), MaxTopRow());
    SetTopRow(top);
    SetRow(target);
}

void TProfGridWidget::ExtendSelection(int c, int r)
{
    TProfGridSelection& s = Selection();
    s.BeginUpdate();
    s.SetLeft(std::min(AnchorCol(), c));
    s.SetRight(std::max(AnchorCol(), c));
    s.SetTop(std::min(AnchorRow(), r));
    s.SetBottom(std::max(AnchorRow(), r));
    s.EndUpdate();
}

void TProfGridWidget::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (OnKeyDown)
        OnKeyDown(*this, key, shift);
    const TProfGridOptions o = Options();
    const bool withShift = shift & Qt::ShiftModifier;
    const bool ctrl = shift & Qt::ControlModifier;
    const bool alt = shift & Qt::AltModifier;
    const bool rangeKeys = o.Has(pgoRangeSelect) && !o.Has(pgoAlwaysShowEditor);
    if (rangeKeys && IsNavKey(key)) {
        if (withShift) {
            if (!RangeSelecting()) {
                SetRangeSelecting(true);
                SetAnchor(Col(), Row());
            }
        } else {
            SetRangeSelecting(false);
        }
    }
    if (IsEnter(key) && !withShift && o.Has(pgoEnterThrough) && (!EditorMode() || !o.Has(pgoMultiLineCells)))
        key = Qt::Key_Tab;
    if (o.Has(pgoRowSelect) && (key == Qt::Key_Left || key == Qt::Key_Right))
        key = 0;
    if (ColCount() <= 0 || RowCount() <= 0)
        return;

    const bool open = EditorMode();
    const int firstCol = FirstSelCol();
    const int firstRow = FirstSelRow();
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Right:
    case Qt::Key_Left: {
        if (open && key != Qt::Key_Tab)
            break;
        if (alt || ctrl)
            break;
        const bool forward = (key == Qt::Key_Tab && !withShift) || key == Qt::Key_Right;
        int c = Col();
        int r = Row();
        int steps = ColCount() * RowCount();
        do {
            const int pc = c;
            const int pr = r;
            TProfGridCell& x = Cell(c, r);
            if (forward) {
                if (x.RightVisibleCol() >= ColCount() - 1) {
                    if (r >= RowCount() - 1) {
                        if (o.Has(pgoTabThrough)) {
                            c = firstCol;
                            r = firstRow;
                        }
                    } else {
                        c = firstCol;
                        r = r + 1;
                    }
                } else {
                    c = x.RightVisibleCol() + 1;
                }
            } else {
                if (x.LeftVisibleCol() <= firstCol) {
                    if (r <= firstRow) {
                        if (o.Has(pgoTabThrough)) {
                            c = ColCount() - 1;
                            r = RowCount() - 1;
                        }
                    } else {
                        c = ColCount() - 1;
                        r = r - 1;
                    }
                } else {
                    c = x.LeftVisibleCol() - 1;
                }
            }
            if (c == pc && r == pr) {
                // At the edge with only columns that are no tab stops beyond.
                c = Col();
                r = Row();
                break;
            }
        } while (((!TabStops(c) && c != Col()) || !Shown(c, r)) && --steps > 0);
        if (Shown(c, r))
            SelectCell(c, r);
        break;
    }
    case Qt::Key_Up:
        if (open)
            break;
        {
            const TProfGridCell& x = Cell(Col(), Row());
            const int up = ShownRow(x.TopRow() - 1, firstRow, -1);
            if (up >= 0)
                SetRow(up);
            else if (o.Has(pgoTabThrough) && ShownRow(RowCount() - 1, firstRow, -1) >= 0)
                SetRow(ShownRow(RowCount() - 1, firstRow, -1));
        }
        if (o.Has(pgoAlwaysShowEditor))
            key = 0;
        break;
    case Qt::Key_Down:
        if (open)
            break;
        {
            const TProfGridCell& x = Cell(Col(), Row());
            const int down = ShownRow(x.BottomRow() + 1, RowCount() - 1, 1);
            if (down >= 0)
                SetRow(down);
            else if (o.Has(pgoTabThrough) && ShownRow(firstRow, RowCount() - 1, 1) >= 0)
                SetRow(ShownRow(firstRow, RowCount() - 1, 1));
        }
        if (o.Has(pgoAlwaysShowEditor))
            key = 0;
        break;
    case Qt::Key_Home:
        if (!open) {
            const int c = ShownCol(firstCol, ColCount() - 1, 1);
            const int r = ctrl ? ShownRow(firstRow, RowCount() - 1, 1) : Row();
            if (c >= 0 && r >= 0)
                SelectCell(c, r);
        }
        break;
    case Qt::Key_End:
        if (!open) {
            const int c = ShownCol(ColCount() - 1, firstCol, -1);
            const int r = ctrl ? ShownRow(RowCount() - 1, firstRow, -1) : Row();
            if (c >= 0 && r >= 0)
                SelectCell(c, r);
        }
        break;
    case Qt::Key_PageUp:
        if (ctrl)
            SetRow(firstRow);
        else
            PageRows(-1);
        break;
    case Qt::Key_PageDown:
        if (ctrl)
            SetRow(RowCount() - 1);
        else
            PageRows(1);
        break;
    case Qt::Key_C:
        if (!open && ctrl)
            Selection().CopyToClipboard();
        break;
    case Qt::Key_V:
        if (!open && ctrl && o.Has(pgoEditing))
            PasteFromClipboard();
        break;
    case Qt::Key_Insert:
        if (!open) {
            if (ctrl)
                Selection().CopyToClipboard();
            else if (withShift && o.Has(pgoEditing))
                PasteFromClipboard();
        }
        break;
    case Qt::Key_Delete:
        if (!open) {
            if (!withShift && o.Has(pgoClearCellOnDel))
                Selection().ClearCells(false);
            else if (withShift && o.Has(pgoEditing)) {
                Selection().CopyToClipboard();
                Selection().ClearCells(true);
            }
        }
        break;
    case Qt::Key_F2:
        SetEditorMode(!EditorMode());
        break;
    default:
        break;
    }
    if (rangeKeys && IsNavKey(key) && withShift)
        ExtendSelection(Col(), Row());
}

void TProfGridWidget::KeyPress(QChar& key)
{
    if (EditorMode()) {
        if (OnKeyPress)
            OnKeyPress(*this, key);
        if (!appControl_ && OnKeyPressEx) {
            QString text = EditorText();
            int pos = editor_->textCursor().position();
            const QString before = text;
            OnKeyPressEx(*this, key, Col(), Row(), text, pos);
            if (text != before)
                editor_->setPlainText(ToEditorText(text));
            QTextCursor tc = editor_->textCursor();
            tc.setPosition(std::clamp(pos, 0, editor_->document()->characterCount() - 1));
            editor_->setTextCursor(tc);
        }
        return;
    }
    const TProfGridOptions o = Options();
    if (!o.Has(pgoEditing) || Col() >= ColCount() || Row() >= RowCount())
        return;
    const ushort code = key.unicode();
    if (code == 0 || code == 3 || code == 9 || code == 10 || code == 13 || code == 22 || code == 27)
        return;
    const TProfGridCell& cell = Cell(Col(), Row());
    const TProfGridCol& col = Columns(Col());
    if (cell.ReadOnly() || col.ReadOnly())
        return;
    if (col.NumericOnly() && !key.isDigit() && key != fc::DecimalSeparator() && key != QLatin1Char('-'))
        return;
    SetEditorMode(true);
    if (!EditorMode())
        return;
    QWidget* target = appControl_ ? appControl_.data() : static_cast<QWidget*>(editor_);
    QKeyEvent ev(QEvent::KeyPress, 0, Qt::NoModifier, QString(key));
    QCoreApplication::sendEvent(target, &ev);
}

// ---------------------------------------------------------------------------
// Mouse

void TProfGridWidget::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (!hasFocus() && focusPolicy() != Qt::NoFocus && isVisible())
        setFocus(Qt::MouseFocusReason);
    const qint64 now = Clock();
    if (now - lastMouseDown_ < 500 && OnDblClick)
        OnDblClick(*this);
    if (OnMouseDown)
        OnMouseDown(*this, button, shift, x, y);
    lastMouseDown_ = now;
    if (button != Qt::LeftButton)
        return;
    if (splitCursor_) {
        const QPoint cr = MouseCoord(x - 2, y);
        if (cr.x() >= 0) {
            sizingCol_ = cr.x();
            sizingX_ = x;
            viewport()->update();
            return;
        }
    }
    const QPoint cr = MouseCoord(x, y);
    const int c = cr.x();
    const int r = cr.y();
    if (c < 0 || r < 0 || !Shown(c, r))
        return;
    if (r < FixedRows() && !Options().Has(pgoSelectFixedRows))
        return;
    if (c < FixedCols() && !Options().Has(pgoSelectFixedCols))
        return;
    SetEditorMode(false);
    if (EditorMode())
        return;
    if (Options().Has(pgoEditing) && Col() < ColCount() && Row() < RowCount() && &Cell(c, r) == &Cell(Col(), Row())) {
        SetEditorMode(true);
        return;
    }
    const int left = LeftCol();
    const int top = TopRow();
    SelectCell(c, r);
    if (LeftCol() == left && TopRow() == top) {
        mouseDown_ = true;
        timer_.start(60, this);
        if (Options().Has(pgoRangeSelect) && !Options().Has(pgoAlwaysShowEditor))
            SetRangeSelecting(true);
    }
}

void TProfGridWidget::MouseMove(Qt::KeyboardModifiers shift, int x, int y)
{
    const TProfGridOptions o = Options();
    if (sizingCol_ >= 0) {
        const TProfGridCol& col = Columns(sizingCol_);
        const int left = ColLeft(sizingCol_);
        int nx = x;
        if (col.MaxWidth() > 0 && nx - left + 1 > col.MaxWidth())
            nx = left + col.MaxWidth() - 1;
        if (nx - left + 1 < col.MinWidth())
            nx = left + col.MinWidth() - 1;
        if (nx != sizingX_) {
            sizingX_ = nx;
            viewport()->update();
        }
    } else if (RangeSelecting() && mouseDown_) {
        const QPoint cr = MouseCoord(x, y);
        int c = cr.x();
        int r = cr.y();
        int fixedW = 0;
        for (int i = 0; i < FixedCols(); ++i)
            fixedW += ColWidths(i);
        int fixedH = 0;
        for (int i = 0; i < FixedRows(); ++i)
            fixedH += RowHeights(i);
        const int lastC = LastFullyVisibleCol();
        const int lastR = LastFullyVisibleRow();
        if (!o.Has(pgoSelectFixedCols) && x < fixedW)
            c = LeftCol();
        else if (x >= ColLeft(lastC) + ColWidths(lastC) || c < 0)
            c = x < 0 ? FirstSelCol() : lastC;
        if (!o.Has(pgoSelectFixedRows) && y < fixedH)
            r = TopRow();
        else if (y >= RowTop(lastR) + RowHeights(lastR) || r < 0)
            r = y < 0 ? FirstSelRow() : lastR;
        ExtendSelection(std::clamp(c, 0, ColCount() - 1), std::clamp(r, 0, RowCount() - 1));
    } else if (o.Has(pgoColSizing) && !EditorMode()) {
        const QPoint cc = MouseCoord(x - 2, y);
        const QPoint rr = MouseCoord(x, y);
        bool split = false;
        const int c = cc.x();
        const int r = cc.y() >= 0 ? cc.y() : rr.y();
        if (c >= 0 && r >= 0 && c < ColCount() && r < RowCount()) {
            const int right = ColLeft(c) + ColWidths(c);
            split = right - x <= GridLineWidth() + 2 && Cell(c, r).RightVisibleCol() == c;
        }
        if (split != splitCursor_) {
            splitCursor_ = split;
            if (split)
                viewport()->setCursor(Qt::SplitHCursor);
            else
                viewport()->unsetCursor();
        }
    }
    if (OnMouseMove)
        OnMouseMove(*this, shift, x, y);
}

void TProfGridWidget::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    // The timer only serves a held button.
    timer_.stop();
    if (button == Qt::LeftButton) {
        mouseDown_ = false;
        if (sizingCol_ >= 0) {
            const int col = sizingCol_;
            const int d = sizingX_ - ColLeft(col);
            sizingCol_ = -1;
            viewport()->update();
            Columns(col).SetWidth(d >= 3 ? d + 1 : 2);
            if (EditorMode() && col == Col())
                RecalcRowHeight(Row());
        }
        splitCursor_ = false;
        viewport()->unsetCursor();
        SetRangeSelecting(false);
    }
    if (OnMouseUp)
        OnMouseUp(*this, button, shift, x, y);
}

void TProfGridWidget::TimerTick(const QPoint& pos)
{
    if (!RangeSelecting())
        return;
    const TProfGridOptions o = Options();
    int fixedW = 0;
    for (int i = 0; i < FixedCols(); ++i)
        fixedW += ColWidths(i);
    int fixedH = 0;
    for (int i = 0; i < FixedRows(); ++i)
        fixedH += RowHeights(i);
    const int lastC = LastFullyVisibleCol();
    const int lastR = LastFullyVisibleRow();
    if (pos.x() < fixedW && !o.Has(pgoSelectFixedCols)) {
        if (LeftCol() > FixedCols())
            SetLeftCol(LeftCol() - 1);
    } else if (pos.x() >= ColLeft(lastC) + ColWidths(lastC) && lastC < ColCount() - 1) {
        SetLeftCol(LeftCol() + 1);
    }
    if (pos.y() < fixedH && !o.Has(pgoSelectFixedRows)) {
        if (TopRow() > FixedRows())
            SetTopRow(TopRow() - 1);
    } else if (pos.y() >= RowTop(lastR) + RowHeights(lastR) && lastR < RowCount() - 1) {
        SetTopRow(TopRow() + 1);
    }
    MouseMove(Qt::NoModifier, pos.x(), pos.y());
}
