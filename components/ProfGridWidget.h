#pragma once
// The grid control on screen: the model of ProfGrid.h drawn cell by cell
// with QPainter, scroll bars over rows and columns, the keyboard and mouse
// (navigation over merged cells, range selection, column sizing, the
// clipboard keys) and the in-place editor, a multi-line text edit in a
// panel laid over the current cell.

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPointer>
#include <QRect>
#include <functional>

#include "components/ProfGrid.h"

class QFrame;
class QMenu;
class QPainter;
class QTextEdit;

// The drawing state handed to OnDrawCell.
enum TGridDrawStateFlag : quint8 { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
using TGridDrawState = quint8;

class TProfGridWidget : public QAbstractScrollArea, public TProfGrid {
    Q_OBJECT
public:
    explicit TProfGridWidget(QWidget* parent = nullptr);
    ~TProfGridWidget() override;

    // --- events (fired only when assigned)
    std::function<void(TProfGrid& sender, int ACol, int ARow, const QString& oldValue, QString& newValue,
                       bool& allowExit)>
        OnCellChanged;
    std::function<void(TProfGrid& sender, int ACol, int ARow)> OnCellExit;
    std::function<void(TProfGrid& sender, int ACol, int ARow, QString& value)> OnGetEditText;
    std::function<void(TProfGrid& sender, int ACol, int ARow, const QString& value)> OnSetEditText;
    // May hand over a control of the application to edit the cell.
    std::function<void(TProfGrid& sender, int ACol, int ARow, QWidget*& control)> OnGetEditControl;
    // Keys are Qt key codes; setting key to 0 swallows it.
    std::function<void(TProfGrid& sender, int& key, Qt::KeyboardModifiers shift)> OnKeyDown;
    std::function<void(TProfGrid& sender, QChar& key)> OnKeyPress;
    std::function<void(TProfGrid& sender, QChar& key, int ACol, int ARow, QString& editText, int& position)>
        OnKeyPressEx;
    std::function<void(TProfGrid& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)>
        OnMouseDown;
    std::function<void(TProfGrid& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)>
        OnMouseUp;
    std::function<void(TProfGrid& sender, Qt::KeyboardModifiers shift, int x, int y)> OnMouseMove;
    std::function<void(TProfGrid& sender)> OnDblClick;
    std::function<void(TProfGrid& sender, int ACol, int ARow, const QRect& rect, TGridDrawState state,
                       QPainter& painter)>
        OnDrawCell;
    std::function<void(TProfGrid& sender, const QString& selText)> OnEditorSelectionChanged;
    std::function<void(TProfGrid& sender, const QPoint& mousePos, bool& handled)> OnContextPopup;
    // The focus comes to the grid (or its editor) from elsewhere, or goes
    // elsewhere; moves between the grid and its editor or an application's
    // edit control are no enter or exit.
    std::function<void(TProfGrid& sender)> OnEnter;
    std::function<void(TProfGrid& sender)> OnExit;
    // A key released on the grid or in its in-place editor.
    std::function<void(TProfGrid& sender, int& key, Qt::KeyboardModifiers shift)> OnKeyUp;
    // Once per notch of the wheel, mousePos on the screen; handled keeps the
    // grid from scrolling.
    std::function<void(TProfGrid& sender, Qt::KeyboardModifiers shift, const QPoint& mousePos, bool& handled)>
        OnMouseWheelDown;
    std::function<void(TProfGrid& sender, Qt::KeyboardModifiers shift, const QPoint& mousePos, bool& handled)>
        OnMouseWheelUp;

    // Properties whose change the screen must show at once.
    void SetScrollBars(TScrollStyle v);
    void SetBorderStyle(TBorderStyle v);
    void SetDefaultDrawing(bool v);
    void SetCtl3D(bool v);
    // Columns that Tab and the arrows stop at (all of them at first).
    // A cell of a hidden column or of a row of no height takes no part in
    // navigation or editing; the first shown column (row) from from to to.
    bool Shown(int ACol, int ARow) const;
    int ShownCol(int from, int to, int step) const;
    int ShownRow(int from, int to, int step) const;
    bool TabStops(int ACol) const;
    void SetTabStops(int ACol, bool value);

    // The menu shown on a right click when OnContextPopup leaves it.
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* m) { popupMenu_ = m; }

    // --- editing
    void SetEditorMode(bool value) override;
    bool EditorMode() const override { return editorShown_; }
    QTextEdit* InplaceEditor() const { return editor_; }
    QFrame* InplacePanel() const { return panel_; }
    QMenu* EditorPopupMenu() const { return editorMenu_; }
    QWidget* EditControl() const { return appControl_; }
    // Lays the editor inside its panel by the cell's vertical alignment.
    void PlaceEditor();
    // The editor's content changed size: the row follows it.
    void EditorResizeRequest();
    // The items of the editor's menu by position: undo, cut, copy, paste,
    // delete, select all.
    void EditorMenuClick(int index);

    // --- keyboard and mouse, as the Qt events drive them; public so that
    // the application and tests can run them without a device.
    void KeyDown(int& key, Qt::KeyboardModifiers shift);
    void KeyPress(QChar& key);
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void KeyUp(int& key, Qt::KeyboardModifiers shift);
    // A turn of the wheel in the platform's units (120 a notch, up
    // positive); true when a handler took it.
    bool MouseWheel(Qt::KeyboardModifiers shift, int delta, const QPoint& mousePos);
    // One tick of the range-selection timer with the pointer at pos.
    void TimerTick(const QPoint& pos);
    bool TimerActive() const { return timer_.isActive(); }
    bool ColumnSizing() const { return sizingCol_ >= 0; }
    bool SplitCursorShown() const { return splitCursor_; }
    // The clock of the double-click detection (milliseconds); tests set it.
    std::function<qint64()> Clock;

    // The cell position under a client point, or (-1, -1).
    QPoint MouseCoord(int x, int y) const;
    // The cell rectangle of the cell at a position (client coordinates).
    QRect CellRect(int ACol, int ARow);
    // Brings scroll bars and the editor up to date with the model now.
    void SyncWithModel();

protected:
    // Model hooks.
    void PaintControl() override;
    void PaintCell(int ACol, int ARow, bool fixed) override;
    void BaseGridChanged() override;
    void TopLeftChanged() override;
    void SetEditorText(const QString& text) override;
    bool EditorContent(TFont& font, QStringList& lines, QString& text) const override;
    void EditorPropertiesChanged() override;

    // Qt events.
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    bool focusNextPrevChild(bool next) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    struct CellRects {
        QRect cell;    // whole cell, parts may lie outside the client area
        QRect visible; // without the parts scrolled under the fixed area
    };
    CellRects Rects(const TProfGridCell& cell) const;
    // Paints the cell at a position, once per paint cycle.
    void DrawCell(QPainter& p, int ACol, int ARow);
    void UpdateScrollBars();
    void ScheduleSync();
    int MaxTopRow() const;
    int MaxLeftCol() const;
    // The editor's place over the current cell; false when there is no
    // current cell. May move TopRow down one row.
    bool EditorGeometry(QRect& r, bool allowScroll);
    void UpdateEditorPlacement();
    void ClipPanel();
    void OpenEditor();
    void CloseEditor();
    void OpenAppControl(QWidget* control, const QRect& geometry, const QString& text);
    bool CloseAppControl();
    // Gives the application's control back to the parent it came with.
    void ReturnAppControl();
    void EditorKeyDown(int& key, Qt::KeyboardModifiers shift);
    void EditorKeyPress(QChar& key);
    void ControlKeyDown(int& key, Qt::KeyboardModifiers shift);
    void EditorSelectionChange();
    QString EditorText() const;
    QStringList EditorLines() const;
    void RefreshEditorLook();
    bool FilterEditorKey(QKeyEvent* e);
    bool FilterControlKey(QKeyEvent* e);
    int FirstSelCol() const;
    int FirstSelRow() const;
    int LastFullyVisibleCol() const;
    int LastFullyVisibleRow() const;
    void ExtendSelection(int c, int r);
    // Whether a widget is the grid, its editor or the application's control.
    bool OwnsFocusWidget(const QWidget* w) const;
    void FocusMoved(QWidget* now);
    void PageRows(int direction);

    QFrame* panel_ = nullptr;
    QTextEdit* editor_ = nullptr;
    QMenu* editorMenu_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    QPointer<QWidget> appControl_;
    QPointer<QWidget> appControlParent_;
    bool editorShown_ = false;
    bool opening_ = false;
    bool closing_ = false;
    bool cancel_ = false;
    bool settingEditorText_ = false;
    QString oldText_;
    QString lastSelText_;

    bool syncPending_ = false;
    bool syncing_ = false;
    bool mouseDown_ = false;
    qint64 lastMouseDown_ = -1000000;
    QBasicTimer timer_;
    QPoint lastMousePos_;
    bool splitCursor_ = false;
    int sizingCol_ = -1;
    int sizingX_ = 0;
    std::vector<bool> noTabStop_;
    bool focusInside_ = false;
    // Above 0 while the grid itself moves the focus to or from its editor.
    int focusMuted_ = 0;
    int wheelAccumulator_ = 0;
};
