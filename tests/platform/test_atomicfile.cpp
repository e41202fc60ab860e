// Whole-file replacement: what a failed write leaves, and what a good one.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

#include "TestSupport.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"

namespace {

// A disk with room for `room` more bytes: a write gets what fits, then
// ENOSPC, as write(2) behaves on a full file system.
qint64 room = 0;
ssize_t fullDiskWrite(int fd, const void* data, size_t size)
{
    if (room <= 0) {
        errno = ENOSPC;
        return -1;
    }
    const size_t n = std::min<size_t>(size, size_t(room));
    const ssize_t w = ::write(fd, data, n);
    if (w > 0)
        room -= w;
    return w;
}

struct ScopedFullDisk {
    explicit ScopedFullDisk(qint64 bytes)
    {
        room = bytes;
        fc::SetFileWriteFunction(fullDiskWrite);
    }
    ~ScopedFullDisk() { fc::SetFileWriteFunction(nullptr); }
};

QStringList filesIn(const QTemporaryDir& dir) { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

} // namespace

TEST(AtomicFile, FullDiskLeavesTheOldFileAndNamesTheSystemsReason)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("Book.xlsx");
    const QByteArray old = "the old workbook";
    const QByteArray big(300 * 1024, 'n'); // more than one buffer's worth
    // Full from the start, full part-way, full at the last bytes.
    for (qint64 free : {qint64(0), qint64(70 * 1024), qint64(big.size() - 1)}) {
        SCOPED_TRACE(free);
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(old);
        f.close();
        QString message;
        {
            ScopedFullDisk disk(free);
            message = fc::test::MessageOf([&] { fc::WriteFileAtomically(target, big); });
        }
        EXPECT_EQ(message, QStringLiteral("Cannot save \"%1\": %2").arg(target, QString::fromLocal8Bit(std::strerror(ENOSPC))));
        EXPECT_EQ(fc::test::readFile(target), old);
        EXPECT_EQ(filesIn(dir), QStringList{"Book.xlsx"});
    }
    // With room again the same write goes through.
    fc::WriteFileAtomically(target, big);
    EXPECT_EQ(fc::test::readFile(target), big);
}

TEST(AtomicFile, ReplacementKeepsPermissionsAndLinks)
{
    QTemporaryDir dir;
    const QString real = dir.filePath("real.ini");
    const QString link = dir.filePath("select.ini");
    fc::WriteFileAtomically(real, "old");
    ASSERT_TRUE(QFile::setPermissions(real, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    ASSERT_TRUE(QFile::link(real, link));
    fc::WriteFileAtomically(link, "new");
    EXPECT_TRUE(QFileInfo(link).isSymLink()) << "the link still points at the file";
    EXPECT_EQ(fc::test::readFile(real), QByteArray("new"));
    EXPECT_EQ(QFile::permissions(real) & 0x7077, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(filesIn(dir), (QStringList{"real.ini", "select.ini"}));
}

TEST(AtomicFile, CancelledOrAbandonedWritesLeaveNothing)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("t.AR");
    {
        fc::AtomicFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("half");
        f.cancelWriting();
        EXPECT_FALSE(f.commit());
    }
    {
        fc::AtomicFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("half");
    } // destroyed without commit
    EXPECT_TRUE(filesIn(dir).isEmpty());
    EXPECT_TRUE(fc::test::MessageOf([&] { fc::WriteFileAtomically(dir.path(), "x"); }).startsWith("Cannot save"));
}

namespace {

void leave(const QString& path, QFileDevice::Permissions perms)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("the user's own");
    f.close();
    f.setPermissions(perms);
}

} // namespace

// Only the temporary files this writer made, in a process that is gone,
// are removed: never a file a user or another program could have named,
// whatever its mode.
TEST(AtomicFile, AKilledWritesTemporaryFileGoesAndNothingElse)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("Report.pdf");
    const auto mine = QFileDevice::ReadOwner | QFileDevice::WriteOwner; // as under umask 077
    const QStringList users = {"Report.pdf.Signed", "Report.pdf.Draft2", "Report.pdf.Xa3kQ9", "select.ini.Backup",
                               "Book.xlsx.copy01", ".Report.pdf.2147483600-1.tmp",
                               ".Report.pdf.2147483600-1-0badf00d.tmp", ".Report.pdf.tmp"};
    for (const QString& name : users)
        leave(dir.filePath(name), mine);
    // A writer still at work first (its opening would clear the killed
    // one's file, as every opening does), then one that was killed.
    const pid_t running = fc::test::KilledWrite(dir.filePath("Other.pdf"), true);
    ASSERT_GT(running, 0);
    struct Ender {
        pid_t pid;
        ~Ender()
        {
            if (pid <= 0)
                return;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    } ender{running};
    ASSERT_GT(fc::test::KilledWrite(target), 0);
    auto ours = [&] {
        QStringList out;
        for (const QString& f : filesIn(dir))
            if (!users.contains(f) && f != "Report.pdf")
                out << f;
        return out;
    };
    ASSERT_EQ(ours().size(), 2) << ours().join(' ').toStdString();

    fc::WriteFileAtomically(target, "new");
    // The killed writer's file is gone, the running writer's stays, and so
    // does every file of the user's.
    ASSERT_EQ(ours().size(), 1) << ours().join(' ').toStdString();
    EXPECT_TRUE(ours().front().startsWith(".Other.pdf.")) << ours().front().toStdString();
    for (const QString& name : users)
        EXPECT_EQ(fc::test::readFile(dir.filePath(name)), QByteArray("the user's own")) << name.toStdString();

    ::kill(running, SIGKILL);
    ::waitpid(running, nullptr, 0);
    ender.pid = -1;
    fc::RemoveStaleTemporaryFiles(dir.path());
    EXPECT_TRUE(ours().isEmpty()) << ours().join(' ').toStdString();
    EXPECT_EQ(fc::test::readFile(target), QByteArray("new"));
}

// A name near the system's limit is replaced as any other: the temporary
// name is cut to fit, and a killed write's file of that name is found too.
TEST(AtomicFile, ANameNearTheLimitIsReplaced)
{
    QTemporaryDir dir;
    const long limit = ::pathconf(QFile::encodeName(dir.path()).constData(), _PC_NAME_MAX);
    ASSERT_GT(limit, 20);
    for (const QString& name : {QString(int(limit) - 4, u'n') + ".pdf",
                                QString(int(limit) / 2 - 4, QChar(0x00e8)) + ".pdf"}) {
        SCOPED_TRACE(QFile::encodeName(name).size());
        const QString target = dir.filePath(name);
        ASSERT_LE(QFile::encodeName(name).size(), limit);
        fc::WriteFileAtomically(target, "one");
        ASSERT_GT(fc::test::KilledWrite(target), 0);
        EXPECT_EQ(filesIn(dir).size(), 2u);
        fc::WriteFileAtomically(target, "two");
        EXPECT_EQ(fc::test::readFile(target), QByteArray("two"));
        EXPECT_EQ(filesIn(dir), QStringList{name});
        QFile::remove(target);
    }
}

// A file the user protected is not replaced, whoever runs the program: the
// rename would pass over its mode.
TEST(AtomicFile, AReadOnlyFileIsNotReplaced)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("Report.pdf");
    fc::WriteFileAtomically(target, "old");
    ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    EXPECT_EQ(fc::test::MessageOf([&] { fc::WriteFileAtomically(target, "new"); }),
              QStringLiteral("Cannot save \"%1\": the file is read-only").arg(target));
    EXPECT_EQ(fc::test::readFile(target), QByteArray("old"));
    EXPECT_EQ(filesIn(dir), QStringList{"Report.pdf"});
    // Given back its write permission, it is replaced and keeps its mode.
    ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    fc::WriteFileAtomically(target, "new");
    EXPECT_EQ(fc::test::readFile(target), QByteArray("new"));
    EXPECT_EQ(QFile::permissions(target) & 0x7077, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
}

// A plain file where the folder should be: "Not a directory" of that path.
TEST(AtomicFile, AFileInPlaceOfTheFolderIsNamed)
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath("pdf");
    fc::WriteFileAtomically(blocker, "a file");
    const QString target = blocker + "/Report.pdf";
    EXPECT_EQ(fc::test::MessageOf([&] { fc::WriteFileAtomically(target, "x"); }),
              QStringLiteral("Cannot save \"%1\": %2: \"%3\"")
                  .arg(target, QString::fromLocal8Bit(std::strerror(ENOTDIR)), blocker));
    EXPECT_EQ(fc::test::MessageOf([&] { fc::WriteFileAtomically(blocker + "/sub/Report.pdf", "x"); }),
              QStringLiteral("Cannot save \"%1/sub/Report.pdf\": %2: \"%3\"")
                  .arg(blocker, QString::fromLocal8Bit(std::strerror(ENOTDIR)), blocker));
}
