#pragma once
// Every file the program writes goes through here, so that a write either
// replaces the old file whole or leaves it exactly as it was.
//
// The new content goes to a temporary file beside the target
// (".<name>.<pid>-<n>-<tag>.tmp", the name cut to fit the folder's limit,
// the tag marking it as this writer's); every write is checked, the data is
// synced to disk, the temporary file is renamed over the target and the
// folder is synced. A failure anywhere removes the temporary file and
// leaves the target alone; the reason is the system's own ("No space left
// on device"). Opening removes the temporary files of this writer that a
// killed write left in the folder, and nothing else.

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <sys/types.h>

namespace fc {

class AtomicFile : public QIODevice {
public:
    // A link at the file's name: followed, so that the file it names is
    // replaced (a user's settings kept elsewhere), or replaced itself, for
    // files of the program's own folders that nobody else's link may steer.
    enum Links { FollowLink, ReplaceLink };
    explicit AtomicFile(QString fileName, Links links = FollowLink);
    ~AtomicFile() override; // an open file that was not committed is discarded

    const QString& FileName() const { return fileName_; }
    // The temporary file being written (empty unless open): for writers
    // that only take a file name. They write it by name; Commit() then
    // syncs and renames it like any other.
    const QString& TempFileName() const { return tempName_; }

    // Creates the temporary file (QIODevice::WriteOnly only). False, with
    // the reason in errorString(), when it cannot.
    bool open(OpenMode mode) override;
    // Syncs and renames over the target. False, with the reason in
    // errorString(), when any write so far or the replacement failed; the
    // target is then unchanged and the temporary file gone.
    bool commit();
    // Drops what was written; the target is unchanged.
    void cancelWriting();

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 len) override;

private:
    bool flushBuffer();
    bool fail(const QString& why);
    void discard();

    QString fileName_;
    Links links_ = FollowLink;
    QString tempName_;
    QString targetPath_;
    int fd_ = -1;
    bool failed_ = false;
    QByteArray buffer_;
};

// Whether the user may write the file as it stands (true when there is
// none): its own protection counts, also for an account the system lets
// write anything. A file that may not be written is never replaced.
bool MayWrite(const QString& fileName);
// The reason a save of such a file gives: "the file is read-only".
QString ReadOnlyText();

// Removes from folder the temporary files this writer made in a process
// that is gone (a write that was killed): only names it marked as its own,
// only plain files of this user, never a link.
void RemoveStaleTemporaryFiles(const QString& folder);

// Writes bytes to fileName as above; throws EFileError
// "Cannot save "<path>": <reason>" when it cannot.
void WriteFileAtomically(const QString& fileName, const QByteArray& bytes, AtomicFile::Links links = AtomicFile::FollowLink);

// The message of a failed save of fileName, with the whole path.
QString SaveErrorText(const QString& fileName, const QString& why);

// Stand-in for write(2), for tests that need a write to fail the way a full
// disk fails it; nullptr puts the system call back.
using FileWriteFunction = ssize_t (*)(int fd, const void* data, size_t size);
void SetFileWriteFunction(FileWriteFunction fn);

// A file-size limit (RLIMIT_FSIZE) makes a write fail with "File too large"
// instead of killing the program.
void IgnoreFileSizeSignal();

} // namespace fc
