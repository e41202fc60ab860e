#pragma once
// The file backend of the office layer for tests: it writes into a temporary
// folder, and its shell records what it was asked to open. It is the
// program's office while it lives, also when a test ends early.

#include <QString>
#include <QTemporaryDir>

#include "platform/Office.h"
#include "platform/ShellOpen.h"

namespace fc::test {

struct ScopedFileOffice {
    QTemporaryDir dir;
    RecordingShellOpen shell;
    FileOffice office;
    ScopedFileOffice()
    {
        office.SetOutputFolder(dir.filePath(QStringLiteral("out")));
        office.SetShell(&shell);
        fc::SetOffice(&office);
    }
    ~ScopedFileOffice() { fc::SetOffice(nullptr); }
    ScopedFileOffice(const ScopedFileOffice&) = delete;
    ScopedFileOffice& operator=(const ScopedFileOffice&) = delete;
};

} // namespace fc::test
