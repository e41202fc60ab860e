// The program: module start-up, the single-instance guard, the main window
// and the message loop.
#include <QIcon>

#include "components/ProfGridClipboard.h"
#include "pdf/PdfImages.h"
#include "reports/Reports.h"
#include "reports/UnitPreview.h"
#include "platform/Application.h"
#include "platform/QtDialogs.h"
#include "platform/QtShellOpen.h"
#include "platform/QtTextMeasurer.h"
#include "shell/ClientData.h"
#include "shell/UnitPass.h"
#include "shell/VisImage.h"
#include "shell/once.h"

int main(int argc, char** argv)
{
    fc::PrepareRuntimeFolder();
    TApplication app(argc, argv);
    TApplication::SetTitle(QStringLiteral("Fancoil Select"));

    // Module start-up, the guard last: the grid's clipboard class, the PDF
    // writer's twelve font aliases and its image class.
    fc::RegisterProfGridClasses();
    fc::pdf::RegisterPdfClasses();
    QtDialogService dialogs;
    fc::SetDialogs(&dialogs);
    QtShellOpen shellOpen;
    fc::SetShell(&shellOpen);
    fc::InstallQtTextMeasurer();

    // A second start has asked the first to come forward: end before any window exists.
    if (!fc::CheckSingleInstance())
        return 0;

    int rc = 0;
    {
        TDodedaVO mainWindow;
        // The preview window, which the calculation run fills with the report
        // chosen on the last page.
        TFormPrew formPrew;
        mainWindow.OnRisultatiPronti = [&mainWindow, &formPrew](int) { costruisciReport(mainWindow, formPrew); };
        // The image window's creation shows the first family's picture, and
        // its size bounds the product pictures.
        TImgs imgs([&mainWindow](TImgs&) { mainWindow.caricaImmagineFamiglia(); });
        mainWindow.ImgsSize = [] { return QSize(Imgs->Width(), Imgs->Height()); };
        TPasswordDlg passwordDlg(mainWindow.Language1);
        if (!app.Terminated())
            mainWindow.show();
        rc = app.Run();
    }
    fc::ReleaseInstanceMutex();
    fc::SetShell(nullptr);
    fc::SetDialogs(nullptr);
    return rc;
}
