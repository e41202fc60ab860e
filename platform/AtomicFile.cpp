#include "AtomicFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
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

// A temporary file's name: ".<stem>.<pid>-<n>-<tag>.tmp". The stem is the
// target's name, cut where the whole would pass the folder's limit on a
// name's length; the tag marks the name as this writer's own: the first
// eight hex digits of a SHA-256 of a key of the program's, the stem, the
// process and the serial number. No user or other program makes such a name
// by chance, and nothing of a name without it is ever removed.
const QRegularExpression& tempPattern()
{
    static const QRegularExpression re(QStringLiteral("^\\.(.+)\\.(\\d{1,10})-(\\d{1,10})-([0-9a-f]{8})\\.tmp$"),
                                       QRegularExpression::DotMatchesEverythingOption);
    return re;
}

QString tempTag(const QString& stem, qint64 pid, qint64 serial)
{
    const QByteArray key = "fancoil-select temporary file\n" + stem.toUtf8() + '\n' + QByteArray::number(pid) + '\n' +
                           QByteArray::number(serial);
    return QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(8));
}

long nameMax(const QString& folder)
{
    const long n = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return n > 0 ? n : 255;
}

QString tempName(const QString& folder, const QString& name, qint64 pid, qint64 serial)
{
    const long limit = nameMax(folder);
    QString stem = name;
    auto make = [&] {
        return QStringLiteral(".%1.%2-%3-%4.tmp").arg(stem).arg(pid).arg(serial).arg(tempTag(stem, pid, serial));
    };
    QString temp = make();
    // Cut by whole characters (never half a surrogate pair) until it fits.
    while (QFile::encodeName(temp).size() > limit && stem.size() > 1) {
        stem.chop(stem.size() >= 2 && stem.at(stem.size() - 1).isLowSurrogate() ? 2 : 1);
        temp = make();
    }
    return temp;
}

// The process of a temporary file of ours, or 0 when the name is not one.
qint64 ourTempProcess(const QString& entry)
{
    const auto m = tempPattern().match(entry);
    if (!m.hasMatch())
        return 0;
    const qint64 pid = m.captured(2).toLongLong();
    return m.captured(4) == tempTag(m.captured(1), pid, m.captured(3).toLongLong()) ? pid : 0;
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

// Why a folder is not there to write in, with the path that stops it: a
// plain file where a folder should be is "Not a directory" of that path.
QString missingFolderReason(const QString& folder)
{
    QString path = folder;
    struct stat st {};
    while (!path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) != 0) {
        const QString up = QFileInfo(path).path();
        if (up == path)
            break;
        path = up;
    }
    if (!path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISDIR(st.st_mode))
        return QStringLiteral("%1: \"%2\"").arg(reason(ENOTDIR), QDir::toNativeSeparators(path));
    return QStringLiteral("%1: \"%2\"").arg(reason(ENOENT), QDir::toNativeSeparators(folder));
}

} // namespace

bool MayWrite(const QString& fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return true; // nothing there to protect
    if (::access(path.constData(), W_OK) != 0)
        return false;
    // The file's own protection, also for an account the system lets write
    // anything: the write bit of the class the user falls in.
    const uid_t uid = ::geteuid();
    if (uid == st.st_uid)
        return st.st_mode & S_IWUSR;
    bool inGroup = ::getegid() == st.st_gid;
    if (!inGroup) {
        gid_t groups[256];
        const int n = ::getgroups(256, groups);
        for (int i = 0; i < n && !inGroup; ++i)
            inGroup = groups[i] == st.st_gid;
    }
    return inGroup ? (st.st_mode & S_IWGRP) : (st.st_mode & S_IWOTH);
}

QString ReadOnlyText() { return QStringLiteral("the file is read-only"); }

AtomicFile::AtomicFile(QString fileName, Links links)
    : fileName_(std::move(fileName)), links_(links)
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

    // A link is followed, when asked: the file it names is the one replaced.
    QFileInfo target(fileName_);
    const bool link = target.isSymLink();
    if (link && links_ == FollowLink && !target.symLinkTarget().isEmpty())
        target = QFileInfo(target.symLinkTarget());
    const bool itself = link && links_ == ReplaceLink;
    if (!itself && target.isDir())
        return fail(reason(EISDIR));
    const QDir dir = target.absoluteDir();
    if (!dir.exists())
        return fail(missingFolderReason(dir.absolutePath()));
    // A file the user has protected is not replaced behind its back: the
    // rename would pass over its mode.
    if (!itself && !MayWrite(target.absoluteFilePath()))
        return fail(ReadOnlyText());
    RemoveStaleTemporaryFiles(dir.path());

    static std::atomic<int> serial{0};
    const QString temp = dir.filePath(tempName(dir.path(), target.fileName(), QCoreApplication::applicationPid(), ++serial));
    const int fd = ::open(QFile::encodeName(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(reason(errno));
    // The new file keeps the permissions of the one it replaces (a link
    // replaced itself gives none).
    struct stat st {};
    if (!itself && ::stat(QFile::encodeName(target.absoluteFilePath()).constData(), &st) == 0)
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

void RemoveStaleTemporaryFiles(const QString& folder)
{
    const QDir dir(folder);
    const qint64 self = QCoreApplication::applicationPid();
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (!entry.startsWith(u'.') || !entry.endsWith(QLatin1String(".tmp")))
            continue;
        const qint64 pid = ourTempProcess(entry);
        if (pid <= 0 || pid == self || processAlive(pid))
            continue;
        // A plain file of this user's, as the writer made it; never a link.
        const QByteArray path = QFile::encodeName(dir.filePath(entry));
        struct stat st {};
        if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            ::unlink(path.constData());
    }
}

QString SaveErrorText(const QString& fileName, const QString& why)
{
    const QString shown = fileName.isEmpty() ? fileName : QFileInfo(fileName).absoluteFilePath();
    return QStringLiteral("Cannot save \"%1\": %2").arg(QDir::toNativeSeparators(shown), why);
}

void WriteFileAtomically(const QString& fileName, const QByteArray& bytes, AtomicFile::Links links)
{
    AtomicFile out(fileName, links);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        throw EFileError(SaveErrorText(fileName, out.errorString()));
}

void SetFileWriteFunction(FileWriteFunction fn) { writeFunction.store(fn); }

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

} // namespace fc
