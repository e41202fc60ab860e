#pragma once
// The program's start: module start-up, the single-instance guard, the four
// windows and the message loop. The program's main is this; the start-up
// benchmark runs the same steps and stops once the main window is shown.
#include <functional>

#include "components/ProfGridClipboard.h"
#include "pdf/PdfImages.h"
#include "platform/Application.h"
#include "platform/QtDialogs.h"
#include "platform/QtShellOpen.h"
#include "platform/QtTextMeasurer.h"
#include "reports/Reports.h"
#include "reports/UnitPreview.h"
#include "shell/ClientData.h"
#include "shell/ReportMainWindow.h"
#include "shell/UnitPass.h"
#include "shell/VisImage.h"
#include "shell/once.h"

namespace fc {

// shown, when given, runs right after the main window has been shown and
// before the message loop.
inline int RunProgram(int& argc, char** argv, const std::function<void(TDodedaVO&)>& shown = {})
{
    PrepareRuntimeFolder();
    TApplication app(argc, argv);
    TApplication::SetTitle(QStringLiteral("Fancoil Select"));

    // Module start-up, the guard last: the grid's clipboard class, the PDF
    // writer's twelve font aliases and its image class.
    RegisterProfGridClasses();
    pdf::RegisterPdfClasses();
    QtDialogService dialogs;
    SetDialogs(&dialogs);
    QtShellOpen shellOpen;
    SetShell(&shellOpen);
    InstallQtTextMeasurer();

    // A second start has asked the first to come forward: end before any window exists.
    if (!CheckSingleInstance())
        return 0;

    int rc = 0;
    {
        TDodedaVO mainWindow;
        // The preview window, which the calculation run fills with the report
        // chosen on the last page.
        TFormPrew formPrew;
        mainWindow.OnRisultatiPronti = [&mainWindow, &formPrew](int) { costruisciReport(mainWindow, formPrew); };
        // Its templates are read while the user looks at the last page.
        mainWindow.OnPaginaCalcola = [&mainWindow, &formPrew] { preparaReport(mainWindow, formPrew); };
        // The image window's creation shows the first family's picture, and
        // its size bounds the product pictures.
        TImgs imgs([&mainWindow](TImgs&) { mainWindow.caricaImmagineFamiglia(); });
        mainWindow.ImgsSize = [] { return QSize(Imgs->Width(), Imgs->Height()); };
        TPasswordDlg passwordDlg(mainWindow.Language1);
        if (!app.Terminated()) {
            mainWindow.show();
            if (shown)
                shown(mainWindow);
        }
        rc = app.Run();
    }
    ReleaseInstanceMutex();
    SetShell(nullptr);
    SetDialogs(nullptr);
    return rc;
}

} // namespace fc
