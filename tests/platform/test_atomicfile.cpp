// Whole-file replacement: what a failed write leaves, and what a good one.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
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
