#pragma once
// The in-place cell editor: a borderless child window laid over the
// current cell of a report grid view; the text goes into the cell when the
// focus leaves it, unless the edit was cancelled.
#include <QWidget>

class QMenu;
class QAction;
class QTextEdit;
class TARCell;
class TARGridRep;

class TARInplaceEditorDlg : public QWidget {
    Q_OBJECT
public:
    // Raises unless the owner is a report grid view.
    explicit TARInplaceEditorDlg(QWidget* owner);
    ~TARInplaceEditorDlg() override;

    void Execute(QChar ch);
    void Accept();
    void Cancel();
    // Ends the editor without touching the grid (the grid is going away).
    void Detach() { done_ = true; }

    TARGridRep* Grid() const { return grid_; }
    QTextEdit* Editor;
    QMenu* PopupMenu;
    QAction* OKMenuItem;
    QAction* CancelMenuItem;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void DoExit();
    TARGridRep* grid_;
    TARCell* cell_ = nullptr;
    bool cancelled_ = false;
    bool done_ = false;
};
