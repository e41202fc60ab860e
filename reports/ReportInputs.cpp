#include "ReportInputs.h"

#include "components/Lang.h"

QString TReportInputs::Msg(const QString& text) const { return Lingua ? Lingua->Msg(text) : text; }
