#include "UnitPass.h"

#include <QGuiApplication>
#include <QProxyStyle>
#include <QScreen>
#include <QShowEvent>

#include "components/Lang.h"
#include "engine/Records.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "ui_TPasswordDlg.h"

TPasswordDlg* PasswordDlg = nullptr;

namespace {

// The code field shows "*" for every character, whatever the desktop style.
class StarPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

TPasswordDlg::TPasswordDlg(TLanguage* language, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TPasswordDlg>()), language_(language)
{
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(size());
    // Created after the edit, so deleted after it among the dialog's children.
    auto* style = new StarPasswordStyle;
    style->setParent(this);
    ui_->Password->setStyle(style);
    connect(ui_->OKBtn, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(ui_->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    PasswordDlg = this;
}

TPasswordDlg::~TPasswordDlg()
{
    if (PasswordDlg == this)
        PasswordDlg = nullptr;
}

const QString& TPasswordDlg::AccessCode()
{
    static const QString code = QStringLiteral("ventilconvettore");
    return code;
}

QLabel* TPasswordDlg::Label1() const { return ui_->Label1; }
QLineEdit* TPasswordDlg::Password() const { return ui_->Password; }
QPushButton* TPasswordDlg::OKBtn() const { return ui_->OKBtn; }
QPushButton* TPasswordDlg::CancelBtn() const { return ui_->CancelBtn; }

QString TPasswordDlg::msg(const QString& text) const { return language_ ? language_->Msg(text) : text; }

void TPasswordDlg::FormActivate() { failures_ = 0; }

void TPasswordDlg::OKBtnClick()
{
    if (failures_ >= MaxFailures)
        return;
    const QString text = ui_->Password->text();
    // Exactly the code, all lower or all upper case: no trimming, no other
    // mix of cases.
    if (text == AccessCode() || text == AccessCode().toUpper()) {
        fc::ShowMessage(QStringLiteral(" "), msg(QStringLiteral("Password Corretta!")), TMsgDlgType::mtCustom);
        DatiGlobali.excelAbilitato = true;
        return;
    }
    fc::ShowMessage(QStringLiteral(" "), msg(QStringLiteral("Password Errata!")), TMsgDlgType::mtCustom);
    ++failures_;
    if (failures_ >= MaxFailures) {
        closed_ = true;
        if (isVisible())
            reject();
    }
}

void TPasswordDlg::okClicked()
{
    closed_ = false;
    fc::RunHandler([this] { OKBtnClick(); });
    // The button ends the modal dialog whatever the handler did, unless the
    // handler closed it already.
    if (!closed_ && isVisible())
        accept();
}

void TPasswordDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    // A modal dialog becomes active as it opens; the message boxes it shows
    // hand the activation back to it without making a new one.
    FormActivate();
}
