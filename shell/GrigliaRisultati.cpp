// The result grid's layout, and the main window's handlers that no control
// runs: the grid's exports to the spreadsheet and the word processor, the
// three-speed report and the picture window.
#include "ClientData.h"
#include "components/Lang.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"

void TDodedaVO::impostaGrigliaRisultati()
{
    TProfGrid& g = SGRisultati;
    g.SetColCount(5);
    g.SetFixedCols(2);
    const int widths[5] = {139, 40, 64, 64, 64};
    for (int c = 0; c < 5; ++c)
        g.SetColWidths(c, widths[c]);
    g.SetWordWrap(false);
    g.SetDefaultRowHeight(20);
    g.SetColor(clBtnFace);
    g.SetFixedColor(clWhite);
    g.SetFixedGridLineColor(clGray);
    g.SetScrollBars(ssVertical);
    g.SetOptions({pgoFixedVertLine, pgoFixedHorzLine, pgoVertLine, pgoHorzLine, pgoRangeSelect, pgoTabs,
                  pgoSelectFixedCols, pgoSelectFixedRows});
    // No fixed row: one row at rest.
    g.SetRowCount(1);
}

namespace {

// The failure with its reason: which file, and what the system said.
void esportazioneFallita(TLanguage& lang, const TProfGrid& g)
{
    QString text = lang.Msg(QStringLiteral("Errore nel salvataggio dati"));
    if (!g.LastExportError().isEmpty())
        text += QLatin1Char('\n') + g.LastExportError();
    fc::ShowMessage(QStringLiteral(" "), text);
}

} // namespace

void TDodedaVO::Button2Click()
{
    if (!SGRisultati.ExportToExcel(true))
        esportazioneFallita(*Language1, SGRisultati);
}

void TDodedaVO::Button3Click()
{
    if (!SGRisultati.ExportToWord(true))
        esportazioneFallita(*Language1, SGRisultati);
}

void TDodedaVO::Button3VelocitaClick()
{
    if (SGRisultati.RowCount() > 1 && OnRisultatiPronti)
        OnRisultatiPronti(0);
}

void TDodedaVO::VisualizzaImmagini1Click() {}
