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

// The template file of a report kind (as TipoReport numbers them).
QString templateReport(int tipoReport);

// Reads and parses the three templates ahead of their reports, one an
// event-loop turn, the chosen kind's first, then loads the printing system,
// while the user looks at the last page: the Calcola click then finds its
// template parsed (unless the file changed meanwhile). A template that
// cannot be read, or a report in use, is left for the report itself.
void preparaReport(TFormPrew& form, int tipoReport);
