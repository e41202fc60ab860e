#pragma once
// Opening a file with the desktop's default program. The program installs
// the Qt implementation (QtShellOpen, gui layer) at start-up; until then a
// recording one answers that it could not open anything. Tests install a
// RecordingShellOpen.

#include <QString>
#include <QStringList>

class IShellOpen {
public:
    virtual ~IShellOpen() = default;
    // Opens the file (or URL) with its default program; false when the
    // desktop could not.
    virtual bool Open(const QString& fileOrUrl) = 0;
};

// Keeps what it was asked to open and answers Result.
class RecordingShellOpen : public IShellOpen {
public:
    bool Open(const QString& fileOrUrl) override
    {
        opened.append(fileOrUrl);
        return result;
    }
    QStringList opened;
    bool result = true;
};

// Installs a RecordingShellOpen for the lifetime of the object (tests).
class ScopedRecordingShellOpen : public RecordingShellOpen {
public:
    ScopedRecordingShellOpen();
    ~ScopedRecordingShellOpen() override;

private:
    IShellOpen* previous_;
};

namespace fc {
IShellOpen& Shell();
void SetShell(IShellOpen* shell); // nullptr: back to the default
IShellOpen* InstalledShell();
} // namespace fc
