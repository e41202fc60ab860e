#pragma once
// The main window as the source of a selection report: its controls read
// into report inputs, and the report chosen on its last page built from
// them. The reports themselves know nothing of the window.
#include "reports/ReportInputs.h"

class TDodedaVO;
class TFormPrew;

// The main window's controls as report inputs.
TReportInputs leggiReportInputs(TDodedaVO& main);
// The report chosen on the main window's last page, built from its inputs;
// the preview window's PDF name then follows the main window's reference.
bool costruisciReport(TDodedaVO& main, TFormPrew& form);
// The templates prepared ahead, the report chosen in the window first.
void preparaReport(TDodedaVO& main, TFormPrew& form);
