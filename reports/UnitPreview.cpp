#include "UnitPreview.h"

#include <QApplication>
#include <QFileInfo>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>

#include "components/Lang.h"
#include "engine/Records.h"
#include "pdf/BatchPdf.h"
#include "report/ARPrintProgress.h"
#include "report/ARPrinter.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Office.h"
#include "platform/ProgramFolder.h"
#include "platform/WaitCursor.h"

namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int left)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(left, 4, 105, 25);
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(9);
    b->setFont(f);
    return b;
}

} // namespace

TFormPrew::TFormPrew(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FormPrew"));
    setWindowTitle(QStringLiteral("Preview"));
    resize(837, 590);
    Button3 = makeButton(this, "Button3", QStringLiteral("Print"), 8);
    ConvToRTF = makeButton(this, "ConvToRTF", QStringLiteral("--> PDF"), 392);
    Button1 = makeButton(this, "Button1", QStringLiteral("--> Excel"), 504);
    Button4 = makeButton(this, "Button4", QStringLiteral("Quit"), 712);
    Button1->setVisible(false);

    UserRep = new TARUserRep(this);
    ARExcelExport1 = new TARExcelExport(this);
    ARExcelExport1->setObjectName(QStringLiteral("ARExcelExport1"));
    ARExcelExport1->SetARRep(UserRep);
    ARExcelExport1->CloseAfterDone = false;
    // The progress window's Abort, or closing this window, stops the export.
    ARExcelExport1->OnProgress = [this](QObject*, TARExportProgressStage stage, int percentDone, bool& abort) {
        abort = ARExcelExport1Progress(stage, percentDone);
    };
    UserRep->setObjectName(QStringLiteral("UserRep"));
    UserRep->SetUnits(uPix);
    UserRep->Options = 0;
    UserRep->SetColor(clBtnFace);
    UserRep->SetGutter(0);
    UserRep->SetShowRightMargin(false);
    UserRep->SetShowHiddenItems(false);
    UserRep->Columns = 0;
    UserRep->SetTitle(QStringLiteral("Preview"));
    UserRep->setGeometry(0, 32, 829, 524);
    // The grid's settings are complete: it makes its own template storage.
    UserRep->Loaded();
    // A print to a file goes where "--> PDF" saves, under the report's name.
    UserRep->Printer()->ProposedFile = [this] {
        return fc::ProgramFolder() + QStringLiteral("pdf/") +
               NomePdfProposto(TestoRiferimento ? TestoRiferimento() : QString());
    };

    connect(Button3, &QPushButton::clicked, this, fc::Guarded([this] { Button3Click(); }));
    connect(ConvToRTF, &QPushButton::clicked, this, fc::Guarded([this] { ConvToRTFClick(); }));
    connect(Button1, &QPushButton::clicked, this, fc::Guarded([this] { Button1Click(); }));
    connect(Button4, &QPushButton::clicked, this, fc::Guarded([this] { Button4Click(); }));
}

TFormPrew::~TFormPrew() = default;

void TFormPrew::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    FormShow();
}

void TFormPrew::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    placeUserRep();
}

// The report grid fills the window below the buttons, down to its bottom
// edge, at every size.
void TFormPrew::placeUserRep()
{
    if (UserRep)
        UserRep->setGeometry(0, 32, width(), qMax(0, height() - 32));
}

void TFormPrew::FormShow()
{
    Button1->setVisible(DatiGlobali.excelAbilitato);
    placeUserRep();
}

QString TFormPrew::msg(const QString& text) const { return Lingua ? Lingua->Msg(text) : text; }

void TFormPrew::Button3Click() { UserRep->Preview(); }

QString TFormPrew::NomePdfProposto(const QString& riferimento)
{
    if (riferimento.isEmpty())
        return QStringLiteral("Report.pdf");
    QString s = riferimento;
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        const bool keep = u == u' ' || u == u'-' || u == u'_' || (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') ||
                          (u >= u'A' && u <= u'Z');
        if (!keep)
            c = u'_';
    }
    return s + QStringLiteral(".pdf");
}

void TFormPrew::ConvToRTFClick()
{
    // Not while the pages are built or the workbook export reads the report.
    UserRep->CheckNotInUse();
    TFileDialogRequest req;
    req.Title = QString();
    req.Filter = QStringLiteral("Portable Document Format|*.pdf");
    req.DefaultExt = QString();
    req.InitialDir = fc::ProgramFolder() + QStringLiteral("pdf/");
    // A program folder copied without its pdf/ would send the dialog to
    // whatever folder the program was started from.
    QDir().mkpath(req.InitialDir);
    req.FileName = NomePdfProposto(TestoRiferimento ? TestoRiferimento() : QString());
    // The overwrite question is ours, so the dialog does not ask as well.
    req.OverwritePrompt = false;
    for (;;) {
        if (!fc::Dialogs().SaveFile(req))
            return;
        QString name = req.FileName;
        if (name.right(4).compare(QLatin1String(".pdf"), Qt::CaseInsensitive) != 0)
            name += QStringLiteral(".pdf");
        req.FileName = name;
        if (QFileInfo::exists(name)) {
            TMessageRequest q;
            q.Caption = QString();
            q.Text = msg(QStringLiteral("Il Report -")) + QFileInfo(name).fileName() +
                     msg(QStringLiteral("- esiste già, vuoi sostituirlo?"));
            q.Type = TMsgDlgType::mtConfirmation;
            q.Buttons = mbYes | mbNo;
            if (fc::Dialogs().MessageBox(q) != mrYes)
                continue;
        }
        UserRep->CheckNotInUse();
        TARGridRep::UseScope inUse(*UserRep);
        ExportReportToPdf(*UserRep->Rep(), name);
        return;
    }
}

void TFormPrew::Button1Click()
{
    // The workbook is written in the Office Open XML format, so the proposed
    // name and the filter carry its extension.
    TFileDialogRequest req;
    req.Filter = QStringLiteral("Excel File|*.xlsx");
    req.FileName = QStringLiteral("Report.xlsx");
    req.DefaultExt = QStringLiteral("xlsx");
    // Where the last workbook went; the first time, beside the PDF files.
    req.InitialDir = cartellaExcel_.isEmpty() ? fc::ProgramFolder() + QStringLiteral("pdf/") : cartellaExcel_;
    QDir().mkpath(req.InitialDir);
    if (!fc::Dialogs().SaveFile(req))
        return;
    // A name handed back without its folder lies in the dialog's folder.
    const QString name = QDir(req.InitialDir).absoluteFilePath(req.FileName);
    ExportWorkbook(name);
    cartellaExcel_ = QFileInfo(name).absolutePath();
}

void TFormPrew::ExportWorkbook(const QString& name)
{
    fc::WaitCursor wait;
    // The export processes pending events after every band: no second
    // export may start from this button meanwhile.
    Button1->setEnabled(false);
    struct Reenable {
        QPushButton* b;
        ~Reenable() { b->setEnabled(true); }
    } reenable{Button1};
    ARExcelExport1->FileName = name;
    try {
        ARExcelExport1->Execute();
    } catch (const EShowError&) {
        // Saved, only not opened: a note, not a failed export.
        if (!QFileInfo::exists(name))
            throw;
        TMessageRequest note;
        note.Text = msg(QStringLiteral("Il foglio di lavoro è stato salvato come")) + QStringLiteral(" \"")
                    + QDir::toNativeSeparators(QFileInfo(name).absoluteFilePath()) + QStringLiteral("\".\r\n\r\n")
                    + msg(QStringLiteral("Nessun programma del desktop può aprirlo."));
        note.Type = TMsgDlgType::mtInformation;
        note.Buttons = mbOK;
        fc::Dialogs().MessageBox(note);
    }
}

namespace {
// The progress dialog of the running workbook export.
TPrintProgressDlg* ExportProgressDlg = nullptr;
} // namespace

bool TFormPrew::ARExcelExport1Progress(TARExportProgressStage stage, int percentDone)
{
    switch (stage) {
    case epsBegin:
        stopExport_ = false;
        delete ExportProgressDlg;
        ExportProgressDlg = TPrintProgressDlg::CreateWithCaption(this, QStringLiteral("Export"));
        ExportProgressDlg->ProgressBar->setRange(0, 100);
        ExportProgressDlg->ProgressBar->setValue(0);
        ExportProgressDlg->show();
        break;
    case epsStep:
        if (ExportProgressDlg) {
            ExportProgressDlg->ProgressBar->setValue(percentDone);
            if (ExportProgressDlg->Aborted)
                stopExport_ = true;
        }
        return stopExport_;
    case epsEnd:
        if (ExportProgressDlg) {
            ExportProgressDlg->close();
            delete ExportProgressDlg;
            ExportProgressDlg = nullptr;
        }
        break;
    }
    return false;
}

void TFormPrew::closeEvent(QCloseEvent* e)
{
    // Closed while the pages are built or the workbook is written: that
    // work stops, as its Abort would stop it, and shows nothing after.
    if (UserRep->BuildingPages() && UserRep->ProgressDialog())
        UserRep->ProgressDialog()->Aborted = true;
    if (UserRep->InUse())
        stopExport_ = true;
    QWidget::closeEvent(e);
}

void TFormPrew::Button4Click() { close(); }
