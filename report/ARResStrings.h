#pragma once
// The report engine's own user texts. They are English and are not passed
// through the translation component.
#include <QString>
#include <initializer_list>

namespace ar {
enum ResString {
    sZoomToFit = 65184,
    sPrint = 65185,
    sPriorPage = 65186,
    sNextPage = 65187,
    sLastPage = 65188,
    sZoomPercent = 65189,
    sPageOf = 65190,
    sShowNPA = 65191,
    sStandard = 65192,
    sFile = 65193,
    sPreferences = 65194,
    sExtensions = 65195,
    sRegisterEditor = 65196,
    sAdd = 65197,
    sDelete = 65198,
    sOK = 65205,
    sClose = 65206,
    sCancel = 65207,
    sPages = 65208,
    sPreparingPages = 65209,
    sAbort = 65210,
    sPreview = 65211,
    sPrinterSetup = 65212,
    sFirstPage = 65213,
    sZoomTo100 = 65214,
    sZoomToWidth = 65215,
    sNoPrinter = 65216,
    sPrintNotStarted = 65217,
    sPrintFailed = 65218,
    sReportInUse = 65219,
};
// The text of a number; empty for a number not in the table.
QString ResStr(int id);
} // namespace ar

namespace ar {
// A text with "%d" placeholders filled in order with the numbers.
QString FormatD(const QString& format, std::initializer_list<int> values);
} // namespace ar
