#pragma once
// Opens a document or a saved report with the program the desktop
// associates with its type. Tests install the recording fake.

#include <QString>
#include <QStringList>

class IDocumentOpener {
public:
    virtual ~IDocumentOpener() = default;
    // False when the desktop could not open the file.
    virtual bool Open(const QString& path) = 0;
};

// QDesktopServices::openUrl of the file.
class DesktopDocumentOpener : public IDocumentOpener {
public:
    bool Open(const QString& path) override;
};

// Records every request and answers with Result.
class RecordingDocumentOpener : public IDocumentOpener {
public:
    bool Open(const QString& path) override
    {
        Opened << path;
        return Result;
    }
    QStringList Opened;
    bool Result = true;
};

namespace fc {
// The desktop's opener, shared by the windows that open files.
IDocumentOpener& DesktopOpener();
} // namespace fc
