#include "QtShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

// Qt's own note of a failed open ("Unable to detect a launcher for ...")
// would go to the terminal, though the caller tells the user in a dialog:
// what Qt says while the desktop is asked goes nowhere.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

bool QtShellOpen::Open(const QString& fileOrUrl)
{
    // A local path becomes a file URL; anything with a scheme goes as it is.
    const QUrl url = QFileInfo::exists(fileOrUrl) ? QUrl::fromLocalFile(QFileInfo(fileOrUrl).absoluteFilePath())
                                                  : QUrl::fromUserInput(fileOrUrl);
    const QtMessageHandler previous = qInstallMessageHandler(quiet);
    const bool opened = QDesktopServices::openUrl(url);
    qInstallMessageHandler(previous);
    return opened;
}
