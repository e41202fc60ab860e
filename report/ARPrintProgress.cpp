#include "ARPrintProgress.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "ARResStrings.h"
#include "platform/Font.h"
#include "platform/QtTextMeasurer.h"

namespace {
// A bar that shows no text makes none: the stock bar formats its percentage
// at every step to decide whether to repaint, which costs more than the
// step of a report row it stands for.
class QuietProgressBar : public QProgressBar {
public:
    using QProgressBar::QProgressBar;
    QString text() const override { return isTextVisible() ? QProgressBar::text() : QString(); }
};
} // namespace

TPrintProgressDlg::TPrintProgressDlg(QWidget* owner, const QString& caption)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("PrintProgressDlg"));
    setModal(false);
    setFixedSize(262, 105);
    setFont(fc::ToQFont(MakeFont(QStringLiteral("MS Sans Serif"), 8)));
    PagesLabel = new QLabel(this);
    PagesLabel->setObjectName(QStringLiteral("PagesLabel"));
    PagesLabel->setGeometry(48, 8, 162, 13);
    PagesLabel->setAlignment(Qt::AlignCenter);
    ProgressBar = new QuietProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(8, 24, 241, 16);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    AbortBtn = new QPushButton(ar::ResStr(ar::sAbort), this);
    AbortBtn->setObjectName(QStringLiteral("AbortBtn"));
    AbortBtn->setGeometry(80, 48, 89, 25);
    AbortBtn->setFocusPolicy(Qt::ClickFocus);
    AbortBtn->setAutoDefault(false);
    connect(AbortBtn, &QPushButton::clicked, this, [this] { AbortBtnClick(); });
    setWindowTitle(caption);
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect g = s->availableGeometry();
        move(g.center() - QPoint(width() / 2, height() / 2));
    }
}

void TPrintProgressDlg::StepIt()
{
    ProgressBar->setValue(qMin(ProgressBar->maximum(), ProgressBar->value() + 1));
}

void TPrintProgressDlg::closeEvent(QCloseEvent* e)
{
    // Only the creator closes the window (through close(), not spontaneous).
    if (e->spontaneous())
        e->ignore();
    else
        e->accept(); // not through reject(): that presses Abort
}
