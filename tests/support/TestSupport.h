#pragma once
// Helpers shared by the tests of every folder.

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "platform/Errors.h"

namespace fc::test {

// A temporary program folder for one test: created empty, made the program
// folder for as long as the object lives, removed afterwards.
class ScopedProgramFolder {
public:
    ScopedProgramFolder();
    ~ScopedProgramFolder();
    ScopedProgramFolder(const ScopedProgramFolder&) = delete;
    ScopedProgramFolder& operator=(const ScopedProgramFolder&) = delete;

    // The folder, ending with "/".
    QString path() const;
    // path() + name.
    QString file(const QString& name) const;
    // Writes bytes to path() + name, creating sub-folders.
    void write(const QString& name, const QByteArray& bytes) const;

private:
    QTemporaryDir dir_;
    QString previous_;
};

// Sets the decimal and thousands separators for the scope, restoring the
// previous pair afterwards.
class ScopedSeparators {
public:
    ScopedSeparators(QChar decimal, QChar thousands);
    ~ScopedSeparators();

private:
    QChar decimal_, thousands_;
};

// The contents of a file, empty when it cannot be read.
QByteArray readFile(const QString& path);

// With FC_UPDATE_GOLDEN set, writes bytes to path (creating its folder) and
// returns true: the caller then has nothing to compare.
bool UpdateGolden(const QString& path, const QByteArray& bytes);

// got against the checked-in text file at path, line by line, naming the
// first line that differs; with FC_UPDATE_GOLDEN set the file is written.
void ExpectGoldenText(const QString& got, const QString& path);

// A file-size limit (RLIMIT_FSIZE) for the scope: any write of a regular
// file past `bytes` fails with EFBIG ("File too large"), as a full disk
// fails a write. SIGXFSZ is ignored meanwhile, so the write fails instead
// of ending the test.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(qint64 bytes);
    ~ScopedFileSizeLimit();
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    quint64 softLimit_ = 0;
    void (*previousHandler_)(int) = nullptr;
};

// A write of target through the program's own writer, killed part-way in
// another process: it leaves what a real killed write leaves. With stay the
// writer is still running (paused) on return, until the returned process is
// ended. -1 when the writer could not start.
int KilledWrite(const QString& target, bool stay = false);

// The system's text for a write past the file-size limit.
QString fileTooLargeText();

#ifdef FC_TEST_DATA_DIR
// Folder of the calling test's sources, ending with "/".
inline QString testDataDir() { return QStringLiteral(FC_TEST_DATA_DIR "/"); }
#endif

// The message of the Exception that f raises, or "<no exception>".
template <class F>
QString MessageOf(F&& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QStringLiteral("<no exception>");
}

} // namespace fc::test
