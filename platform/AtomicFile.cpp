#include "AtomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Errors.h"

namespace fc {

namespace {

std::atomic<FileWriteFunction> writeFunction{nullptr};

constexpr qsizetype kBufferSize = 64 * 1024;

QString reason(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

bool processAlive(qint64 pid)
{
    if (pid <= 0)
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// Temporary files of this target left by a write that never finished: ours
// (".<name>.<pid>-<n>.tmp" of a process that is gone) and those of the
// earlier writer ("<name>.XXXXXX": six random letters and digits, mode 0600
// as it created them; a user's "Book.xlsx.backup" is neither).
void removeStaleTemps(const QDir& dir, const QString& name)
{
    static const QRegularExpression ours(QStringLiteral("^\\.(.*)\\.(\\d+)-\\d+\\.tmp$"));
    static const QRegularExpression older(QStringLiteral("^(.*)\\.([A-Za-z0-9]{6})$"));
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (!entry.contains(name))
            continue;
        bool stale = false;
        if (const auto m = ours.match(entry); m.hasMatch() && m.captured(1) == name) {
            const qint64 pid = m.captured(2).toLongLong();
            stale = pid != QCoreApplication::applicationPid() && !processAlive(pid);
        } else if (const auto o = older.match(entry); o.hasMatch() && o.captured(1) == name) {
            const QString tail = o.captured(2);
            const int kinds = int(tail.contains(QRegularExpression(QStringLiteral("[0-9]"))))
                + int(tail.contains(QRegularExpression(QStringLiteral("[a-z]"))))
                + int(tail.contains(QRegularExpression(QStringLiteral("[A-Z]"))));
            struct stat st {};
            stale = kinds >= 2 && ::lstat(QFile::encodeName(dir.filePath(entry)).constData(), &st) == 0
                && S_ISREG(st.st_mode) && (st.st_mode & 07777) == 0600 && st.st_uid == ::getuid();
        }
        if (stale)
            QFile::remove(dir.filePath(entry));
    }
}

// The folder's entry of the renamed file reaches the disk too.
void syncFolder(const QString& folder)
{
    const int dfd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

} // namespace

AtomicFile::AtomicFile(QString fileName)
    : fileName_(std::move(fileName))
{
}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::fail(const QString& why)
{
    failed_ = true;
    setErrorString(why);
    return false;
}

void AtomicFile::discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempName_.isEmpty()) {
        QFile::remove(tempName_);
        tempName_.clear();
    }
    buffer_.clear();
    if (isOpen())
        QIODevice::close();
}

bool AtomicFile::open(OpenMode mode)
{
    discard();
    failed_ = false;
    if ((mode & ~(QIODevice::Truncate | QIODevice::Unbuffered)) != QIODevice::WriteOnly)
        return fail(QStringLiteral("only whole-file writing is supported"));
    if (fileName_.isEmpty())
        return fail(QStringLiteral("no file name given"));

    // A link is followed: the file it names is the one replaced.
    QFileInfo target(fileName_);
    if (target.isSymLink() && !target.symLinkTarget().isEmpty())
        target = QFileInfo(target.symLinkTarget());
    if (target.isDir())
        return fail(reason(EISDIR));
    const QDir dir = target.absoluteDir();
    if (!dir.exists())
        return fail(reason(ENOENT));
    removeStaleTemps(dir, target.fileName());

    static std::atomic<int> serial{0};
    const QString temp = dir.filePath(QStringLiteral(".%1.%2-%3.tmp")
                                          .arg(target.fileName())
                                          .arg(QCoreApplication::applicationPid())
                                          .arg(++serial));
    const int fd = ::open(QFile::encodeName(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(reason(errno));
    // The new file keeps the permissions of the one it replaces.
    struct stat st {};
    if (::stat(QFile::encodeName(target.absoluteFilePath()).constData(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);
    fd_ = fd;
    tempName_ = temp;
    targetPath_ = target.absoluteFilePath();
    buffer_.reserve(kBufferSize);
    return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 AtomicFile::writeData(const char* data, qint64 len)
{
    if (failed_ || fd_ < 0)
        return -1;
    buffer_.append(data, qsizetype(len));
    if (buffer_.size() >= kBufferSize && !flushBuffer())
        return -1;
    return len;
}

bool AtomicFile::flushBuffer()
{
    const FileWriteFunction fn = writeFunction.load();
    const char* p = buffer_.constData();
    qsizetype left = buffer_.size();
    while (left > 0) {
        const ssize_t n = fn ? fn(fd_, p, size_t(left)) : ::write(fd_, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(reason(errno));
        }
        if (n == 0)
            return fail(reason(EIO));
        p += n;
        left -= n;
    }
    buffer_.clear();
    return true;
}

bool AtomicFile::commit()
{
    if (fd_ < 0) {
        if (!failed_)
            fail(QStringLiteral("the file is not open"));
        discard();
        return false;
    }
    bool ok = !failed_ && flushBuffer();
    // The data is on the disk before the name points at it.
    if (ok && ::fsync(fd_) != 0 && errno != EINVAL)
        ok = fail(reason(errno));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && ok)
        ok = fail(reason(errno));
    if (ok && ::rename(QFile::encodeName(tempName_).constData(), QFile::encodeName(targetPath_).constData()) != 0)
        ok = fail(reason(errno));
    if (ok) {
        tempName_.clear();
        syncFolder(QFileInfo(targetPath_).absolutePath());
    }
    discard();
    return ok;
}

void AtomicFile::cancelWriting() { discard(); }

QString SaveErrorText(const QString& fileName, const QString& why)
{
    const QString shown = fileName.isEmpty() ? fileName : QFileInfo(fileName).absoluteFilePath();
    return QStringLiteral("Cannot save \"%1\": %2").arg(QDir::toNativeSeparators(shown), why);
}

void WriteFileAtomically(const QString& fileName, const QByteArray& bytes)
{
    AtomicFile out(fileName);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        throw EFileError(SaveErrorText(fileName, out.errorString()));
}

void SetFileWriteFunction(FileWriteFunction fn) { writeFunction.store(fn); }

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

} // namespace fc
