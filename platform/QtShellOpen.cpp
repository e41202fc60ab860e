#include "QtShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

bool QtShellOpen::Open(const QString& fileOrUrl)
{
    // A local path becomes a file URL; anything with a scheme goes as it is.
    const QUrl url = QFileInfo::exists(fileOrUrl) ? QUrl::fromLocalFile(QFileInfo(fileOrUrl).absoluteFilePath())
                                                  : QUrl::fromUserInput(fileOrUrl);
    return QDesktopServices::openUrl(url);
}
