#include "ARResStrings.h"

namespace ar {

QString ResStr(int id)
{
    switch (id) {
    case sZoomToFit: return QStringLiteral("Zoom to fit page");
    case sPrint: return QStringLiteral("Print");
    case sPriorPage: return QStringLiteral("Prior page");
    case sNextPage: return QStringLiteral("Next page");
    case sLastPage: return QStringLiteral("Last page");
    case sZoomPercent: return QStringLiteral("Zoom %");
    case sPageOf: return QStringLiteral("Page %d of %d");
    case sShowNPA: return QStringLiteral("Show nonprinting area");
    case sStandard: return QStringLiteral("Standard");
    case sFile: return QStringLiteral("File");
    case sPreferences: return QStringLiteral("Preferences");
    case sExtensions: return QStringLiteral("Extensions");
    case sRegisterEditor: return QStringLiteral("Register as default editor");
    case sAdd: return QStringLiteral("Add");
    case sDelete: return QStringLiteral("Delete");
    case sOK: return QStringLiteral("&OK");
    case sClose: return QStringLiteral("Close");
    case sCancel: return QStringLiteral("&Cancel");
    case sPages: return QStringLiteral("Pages: %d");
    case sPreparingPages: return QStringLiteral("Preparing pages");
    case sAbort: return QStringLiteral("Abort");
    case sPreview: return QStringLiteral("Preview");
    case sPrinterSetup: return QStringLiteral("Printer setup");
    case sFirstPage: return QStringLiteral("First page");
    case sZoomTo100: return QStringLiteral("Zoom to 100%");
    case sZoomToWidth: return QStringLiteral("Zoom to width");
    case sNoPrinter: return QStringLiteral("No printer is installed.");
    case sPrintNotStarted: return QStringLiteral("The print job on %s could not start.");
    case sPrintFailed: return QStringLiteral("Printing on %s failed at page %d of %d.");
    case sReportInUse:
        return QStringLiteral("The report is in use while its pages are built, printed or exported: it changes "
                              "once that has ended.");
    }
    return QString();
}

} // namespace ar

namespace ar {

QString FormatD(const QString& format, std::initializer_list<int> values)
{
    QString out;
    auto it = values.begin();
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size() && format[i + 1] == u'd' && it != values.end()) {
            out += QString::number(*it++);
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

} // namespace ar
