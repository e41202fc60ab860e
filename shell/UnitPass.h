#pragma once
// TPasswordDlg: the access-code dialog. The right code, typed all in lower
// case or all in upper case, enables the Excel export of reports for the
// rest of the run (DatiGlobali.excelAbilitato).

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class TPasswordDlg;
}
class QLabel;
class QLineEdit;
class QPushButton;
class TLanguage;

class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    // language translates the two messages (the main window's; may be null).
    explicit TPasswordDlg(TLanguage* language = nullptr, QWidget* parent = nullptr);
    ~TPasswordDlg() override;

    // The access code in lower case.
    static const QString& AccessCode();
    // Wrong codes after which an activation of the dialog takes no more.
    static constexpr int MaxFailures = 4;

    // Shows the dialog modally (the main window's Options/Insert Password).
    int ShowModal() { return exec(); }

    QLabel* Label1() const;
    QLineEdit* Password() const;
    QPushButton* OKBtn() const;
    QPushButton* CancelBtn() const;

    // Wrong codes since the dialog was last activated.
    int Failures() const { return failures_; }

    // Handlers.
    void FormActivate();
    void OKBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString msg(const QString& text) const;
    void okClicked();

    std::unique_ptr<Ui::TPasswordDlg> ui_;
    TLanguage* language_;
    int failures_ = 0;
    bool closed_ = false; // the handler closed the dialog
};

// The one instance, created at start-up (the fourth window).
extern TPasswordDlg* PasswordDlg;
