#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace fc {

namespace {
QString& overrideFolder()
{
    static QString f;
    return f;
}

QString withSlash(QString f)
{
    if (!f.isEmpty() && !f.endsWith('/'))
        f += '/';
    return f;
}
} // namespace

QString ProgramFolder()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    return withSlash(QCoreApplication::applicationDirPath());
}

QString ProgramFile(const QString& relative) { return ProgramFolder() + relative; }

void SetProgramFolderForTests(const QString& folder) { overrideFolder() = withSlash(folder); }

QString ProgramFolderOverride() { return overrideFolder(); }

QString ExecutableFileName() { return QFileInfo(QCoreApplication::applicationFilePath()).fileName(); }

} // namespace fc
