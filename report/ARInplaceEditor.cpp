#include "ARInplaceEditor.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QTextEdit>
#include <QVBoxLayout>

#include "ARGridRep.h"
#include "ARResStrings.h"
#include "platform/Errors.h"
#include "platform/QtTextMeasurer.h"

namespace {
TARGridRep* asGrid(QWidget* owner)
{
    auto* g = dynamic_cast<TARGridRep*>(owner);
    if (!g)
        throw Exception(QStringLiteral("Owner of TARInplaceEditorDlg must be TARGridRep"));
    return g;
}
bool inDocument(const TARRep* rep, const TARCell* cell)
{
    for (int i = 0; i < rep->BandCount(); ++i)
        if (rep->GetBand(i)->IndexOfCell(cell) >= 0)
            return true;
    return false;
}
} // namespace

TARInplaceEditorDlg::TARInplaceEditorDlg(QWidget* owner) : QWidget(asGrid(owner)->viewport()), grid_(asGrid(owner))
{
    setObjectName(QStringLiteral("ARInplaceEditorDlg"));
    Editor = new QTextEdit(this);
    Editor->setObjectName(QStringLiteral("Editor"));
    Editor->setFrameShape(QFrame::NoFrame);
    Editor->setAcceptRichText(false);
    Editor->setTabChangesFocus(false);
    Editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(Editor);
    PopupMenu = new QMenu(this);
    OKMenuItem = PopupMenu->addAction(ar::ResStr(ar::sOK));
    CancelMenuItem = PopupMenu->addAction(ar::ResStr(ar::sCancel));
    connect(OKMenuItem, &QAction::triggered, this, [this] { Accept(); });
    connect(CancelMenuItem, &QAction::triggered, this, [this] { Cancel(); });
    Editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Editor, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu->popup(Editor->mapToGlobal(p)); });
    Editor->installEventFilter(this);
    hide();
}

TARInplaceEditorDlg::~TARInplaceEditorDlg() = default;

void TARInplaceEditorDlg::Execute(QChar ch)
{
    grid_->setContextMenuPolicy(Qt::NoContextMenu);
    TARCell* cell = grid_->CurrentCell();
    if (!cell) {
        deleteLater();
        return;
    }
    const TRect r = grid_->CellRect(grid_->CurrentBandIndex(), grid_->CurrentCellIndex());
    const int f = cell->FrameWidth();
    setGeometry(r.Left + f, r.Top + f, r.Right - r.Left - 2 * f - 1, r.Bottom - r.Top - 2 * f - 1);
    QPalette pal = Editor->palette();
    pal.setColor(QPalette::Base, ar::ToQColor(cell->Color()));
    pal.setColor(QPalette::Text, ar::ToQColor(cell->FontColor()));
    Editor->setPalette(pal);
    Editor->setLineWrapMode(cell->WordWrap() ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    TFont font = MakeFont(cell->FontName(), cell->FontSize(), cell->FontStyle(), cell->FontColor());
    font.Charset = grid_->Rep()->Font.Charset;
    Editor->setFont(fc::ToQFont(font));
    QString text = cell->Value();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    Editor->setPlainText(text);
    const Qt::Alignment a = cell->HAlign() == ahLeft ? Qt::AlignLeft : cell->HAlign() == ahRight ? Qt::AlignRight
                                                                                                 : Qt::AlignHCenter;
    QTextCursor all(Editor->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat bf;
    bf.setAlignment(a);
    all.mergeBlockFormat(bf);
    Editor->document()->setModified(false);
    show();
    raise();
    cell_ = cell;
    cell_->BeginUpdate();
    Editor->selectAll();
    Editor->setFocus();
    if (!ch.isNull())
        Editor->insertPlainText(QString(ch));
}

void TARInplaceEditorDlg::Accept()
{
    cancelled_ = false;
    grid_->setFocus();
    DoExit();
}

void TARInplaceEditorDlg::Cancel()
{
    cancelled_ = true;
    grid_->setFocus();
    DoExit();
}

bool TARInplaceEditorDlg::eventFilter(QObject* o, QEvent* e)
{
    if (o == Editor && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (k->modifiers() & Qt::ControlModifier)
                Editor->insertPlainText(QStringLiteral("\n"));
            else
                Accept();
            return true;
        }
        if (k->key() == Qt::Key_Escape) {
            Cancel();
            return true;
        }
    } else if (o == Editor && e->type() == QEvent::FocusOut) {
        auto* fe = static_cast<QFocusEvent*>(e);
        // The pop-up menu takes the focus for a moment; that ends nothing.
        if (fe->reason() != Qt::PopupFocusReason)
            DoExit();
    }
    return QWidget::eventFilter(o, e);
}

void TARInplaceEditorDlg::DoExit()
{
    if (done_)
        return;
    done_ = true;
    TARCell* cur = grid_->CurrentCell();
    if (!cancelled_ && cur) {
        QString text = Editor->toPlainText();
        text.replace(u'\n', QStringLiteral("\r\n"));
        cur->SetValue(text);
        if (Editor->document()->isModified()) {
            if (grid_->OnCellChange)
                grid_->OnCellChange(grid_->CurrentBand(), cur);
            if (grid_->OnAfterEdit)
                grid_->OnAfterEdit(grid_);
        }
    }
    hide();
    // The cell may have left the document while it was edited.
    if (cell_ && inDocument(grid_->Rep(), cell_))
        cell_->EndUpdate();
    cell_ = nullptr;
    deleteLater();
}
