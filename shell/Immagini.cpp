// Product pictures beside the wizard, the preview of the entry under the
// mouse while a list is dropped down, and the "Archivio" menu.
#include <QAbstractItemView>
#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include "ClientData.h"
#include "platform/ShellOpen.h"
#include "components/Lang.h"
#include "components/OvNumEdit.h"
#include "platform/Application.h"
#include "engine/Records.h"
#include "platform/ComboBox.h"
#include "platform/Dialogs.h"
#include "platform/JpegImage.h"
#include "platform/Numbers.h"
#include "ui_TDodedaVO.h"

QSize TDodedaVO::ImgsBox() const
{
    if (ImgsSize)
        return ImgsSize();
    return {200, 160};
}

void TDodedaVO::caricaImmagine(const QString& name)
{
    const QString imgs = cartellaApp + QStringLiteral("imgs/");
    const QString own = imgs + name + QStringLiteral(".jpg");
    if (QFileInfo(own).isFile()) {
        visualizzaJpeg(own);
        return;
    }
    const int sep = name.indexOf(QLatin1Char('_'));
    if (sep < 0) {
        const QString mini = imgs + QStringLiteral("MiniLogo.bmp");
        if (QFileInfo(mini).isFile()) {
            const QImage img = fc::LoadImageFile(mini);
            if (!img.isNull())
                ui->Immagine->setPixmap(QPixmap::fromImage(img));
        }
        return;
    }
    const QString family = imgs + name.left(sep) + QStringLiteral(".jpg");
    if (QFileInfo(family).isFile())
        visualizzaJpeg(family);
}

void TDodedaVO::visualizzaJpeg(const QString& path)
{
    const QImage img = fc::LoadImageFile(path);
    // A picture that does not decode leaves the previous one, as a missing
    // file does.
    if (img.isNull())
        return;
    const QSize box = ImgsBox();
    const double W = std::max(box.width(), 1), H = std::max(box.height(), 1);
    const double w = img.width(), h = img.height();
    const double rw = w / W, rh = h / H;
    int bw, bh;
    if (rw > rh) {
        bw = int(W) - 9;
        bh = int(fc::Round(h / rw));
    } else {
        bh = int(H) - 46;
        bw = int(fc::Round(w / rh));
    }
    if (bw < 1 || bh < 1)
        return;
    ui->Immagine->setPixmap(
        QPixmap::fromImage(img.scaled(bw, bh, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

// ---------------------------------------------------------------------------
// Hover preview

void TDodedaVO::ComboDropDown()
{
    IdleHandler = [this] { ApplicationIdle(); };
    idleTimer_->start();
}

void TDodedaVO::ComboDropDown2()
{
    IdleHandler = [this] { ApplicationIdle2(); };
    idleTimer_->start();
}

void TDodedaVO::ComboCloseUp()
{
    IdleHandler = nullptr;
    idleTimer_->stop();
}

void TDodedaVO::idleTick()
{
    if (IdleHandler)
        IdleHandler();
}

void TDodedaVO::ApplicationIdle() { hoverPreview(false); }
void TDodedaVO::ApplicationIdle2() { hoverPreview(true); }

void TDodedaVO::hoverPreview(bool versioni)
{
    const QPoint pos = CursorPos ? CursorPos() : QCursor::pos();
    QWidget* under = QApplication::widgetAt(pos);
    if (!under)
        return;
    // Only the item box of a dropped-down list.
    QAbstractItemView* view = nullptr;
    for (TComboBox* c : {ui->ListaFamiglie, ui->ListaVersion})
        if (c->view() && under == c->view()->viewport())
            view = c->view();
    if (!view)
        return;
    const QModelIndex index = view->indexAt(view->viewport()->mapFromGlobal(pos));
    if (!index.isValid())
        return;
    const QString item = index.data(Qt::DisplayRole).toString().left(256);
    const QString name = versioni ? ui->ListaFamiglie->Text() + QLatin1Char('_') + item : item;
    if (name != Stato.ultimaImmagine) {
        caricaImmagine(name);
        Stato.ultimaImmagine = name;
    }
}

// ---------------------------------------------------------------------------
// Archivio

void TDodedaVO::apriArchivio(const QString& folder, const QString& filter, int kind)
{
    TFileDialogRequest r;
    r.InitialDir = cartellaApp + folder;
    r.Title = Language1->Msg(QStringLiteral("Seleziona il file da aprire"));
    r.Filter = filter;
    if (!fc::Dialogs().OpenFile(r) || !QFileInfo(r.FileName).isFile())
        return;
    if (kind == 1) {
        const QImage img = fc::LoadImageFile(r.FileName);
        if (img.isNull())
            ui->Immagine->clear();
        else
            ui->Immagine->setPixmap(QPixmap::fromImage(img));
        return;
    }
    // The Italian texts are the keys; the language file words them for the
    // desktop's own viewer.
    if (!fc::Shell().Open(r.FileName))
        fc::ShowMessage(Language1->Msg(QStringLiteral("Errore")),
                        Language1->Msg(kind == 0 ? QStringLiteral("Impossibile eseguire Acrobat Reader")
                                                 : QStringLiteral("Impossibile aprire il file")),
                        TMsgDlgType::mtWarning);
}

void TDodedaVO::ReportPDFsalvati1Click()
{
    apriArchivio(QStringLiteral("pdf"), Language1->Msg(QStringLiteral("Documento Acrobat (*.pdf)")) + QStringLiteral("|*.pdf"),
                 0);
}

void TDodedaVO::Fotoprodotti1Click() { apriArchivio(QStringLiteral("imgs"), QStringLiteral("Jpeg Image (*.jpg)|*.jpg"), 1); }

void TDodedaVO::Documentazione1Click() { apriArchivio(QStringLiteral("docs"), QStringLiteral("File (*.*)|*.*"), 2); }

// ---------------------------------------------------------------------------
// Events of the calculation, the validation and the pictures

void TDodedaVO::bindCalcoloEvents()
{
    Ui::TDodedaVO& f = *ui;
    using fc::Guarded;

    connect(f.BitBtnCalc, &QPushButton::clicked, this, Guarded([this] { CalcolaClick(); }));

    f.TBSFreddo->OnEnter = [this](TOvNumEdit*) { TBSFreddoEnter(); };
    f.TBUFreddo->OnEnter = [this](TOvNumEdit*) { TBUFreddoEnter(); };
    f.URFreddo->OnEnter = [this](TOvNumEdit*) { URFreddoEnter(); };
    f.URFreddo->OnExit = [this](TOvNumEdit*) { TBUFreddoEnter(); };
    f.TempIngAcquaCaldo->OnExit = [this](TOvNumEdit*) { TempIngAcquaCaldoExit(); };
    f.TempUscAcquaCaldo->OnExit = [this](TOvNumEdit*) { TempUscAcquaCaldoExit(); };
    f.SalTerAcquaCaldo->OnExit = [this](TOvNumEdit*) { SalTerAcquaCaldoExit(); };
    f.TempIngAcquaFreddo->OnExit = [this](TOvNumEdit*) { TempIngAcquaFreddoExit(); };
    f.TempUscAcquaFreddo->OnExit = [this](TOvNumEdit*) { TempUscAcquaFreddoExit(); };
    f.SalTerAcquaFreddo->OnExit = [this](TOvNumEdit*) { SalTerAcquaFreddoExit(); };

    connect(f.ReportPDFsalvati1, &QAction::triggered, this, Guarded([this] { ReportPDFsalvati1Click(); }));
    connect(f.Fotoprodotti1, &QAction::triggered, this, Guarded([this] { Fotoprodotti1Click(); }));
    connect(f.Documentazione1, &QAction::triggered, this, Guarded([this] { Documentazione1Click(); }));

    // The idle hook: a short timer while a list is dropped down, and every
    // mouse move over its item box.
    idleTimer_ = new QTimer(this);
    idleTimer_->setInterval(40);
    connect(idleTimer_, &QTimer::timeout, this, Guarded([this] { idleTick(); }));
    f.ListaFamiglie->OnDropDown = [this] { ComboDropDown(); };
    f.ListaVersion->OnDropDown = [this] { ComboDropDown2(); };
    f.ListaFamiglie->OnExit = [this] { ComboCloseUp(); };
    f.ListaVersion->OnExit = [this] { ComboCloseUp(); };
    for (TComboBox* c : {f.ListaFamiglie, f.ListaVersion}) {
        c->view()->viewport()->setMouseTracking(true);
        c->view()->viewport()->installEventFilter(this);
    }
}
