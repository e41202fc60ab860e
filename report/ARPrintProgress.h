#pragma once
// The small modeless window of long report operations: a caption, one line
// of text, a progress bar and an Abort button that raises a flag. Its
// creator drives it and polls the flag.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class TPrintProgressDlg : public QDialog {
    Q_OBJECT
public:
    TPrintProgressDlg(QWidget* owner, const QString& caption);
    static TPrintProgressDlg* CreateWithCaption(QWidget* owner, const QString& caption)
    {
        return new TPrintProgressDlg(owner, caption);
    }

    QLabel* PagesLabel;
    QProgressBar* ProgressBar;
    QPushButton* AbortBtn;
    bool Aborted = false;

    void StepIt();
    void AbortBtnClick() { Aborted = true; }

protected:
    // Esc presses Abort; the window stays open until its creator closes it.
    void reject() override { AbortBtnClick(); }
    void closeEvent(QCloseEvent* e) override;
};
