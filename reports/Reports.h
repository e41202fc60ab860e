#pragma once
// The three selection reports, filled from the engine's results into the
// preview window's report grid from their templates in the program folder,
// and the preview window shown.
#include "ReportInputs.h"

class TFormPrew;

// Each returns true when the report was built and the window shown; false
// when its template is missing (the user has been told) or no ticked model
// is in the catalogue.
bool reportUnaVelocita(const TReportInputs& in, TFormPrew& form);  // "Rep1Vel.AR"
bool reportTreVelocita(const TReportInputs& in, TFormPrew& form);  // "Rep9Col.AR"
bool reportPannello(const TReportInputs& in, TFormPrew& form);     // "RepPann.AR"

// The report chosen by in.TipoReport: 0 three-speed, 1 one-speed, 2 panel.
bool costruisciReport(const TReportInputs& in, TFormPrew& form);
