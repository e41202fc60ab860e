#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <cstring>
#include <cerrno>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include "platform/AtomicFile.h"
#include "platform/Numbers.h"
#include "platform/ProgramFolder.h"

namespace fc::test {

bool UpdateGolden(const QString& path, const QByteArray& bytes)
{
    if (!qEnvironmentVariableIsSet("FC_UPDATE_GOLDEN"))
        return false;
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
    return true;
}

void ExpectGoldenText(const QString& got, const QString& path)
{
    if (UpdateGolden(path, got.toUtf8()))
        return;
    const QString want = QString::fromUtf8(readFile(path));
    ASSERT_FALSE(want.isEmpty()) << "missing " << path.toStdString();
    const QStringList g = got.split(u'\n'), w = want.split(u'\n');
    const std::string name = QFileInfo(path).fileName().toStdString();
    for (int i = 0; i < qMax(g.size(), w.size()); ++i)
        ASSERT_EQ(g.value(i).toStdString(), w.value(i).toStdString()) << name << " line " << i + 1;
}

ScopedProgramFolder::ScopedProgramFolder() : previous_(fc::ProgramFolderOverride())
{
    fc::SetProgramFolderForTests(dir_.path() + "/");
}

ScopedProgramFolder::~ScopedProgramFolder()
{
    fc::SetProgramFolderForTests(previous_);
}

QString ScopedProgramFolder::path() const { return dir_.path() + "/"; }

QString ScopedProgramFolder::file(const QString& name) const { return path() + name; }

void ScopedProgramFolder::write(const QString& name, const QByteArray& bytes) const
{
    const QString full = file(name);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

ScopedSeparators::ScopedSeparators(QChar decimal, QChar thousands)
    : decimal_(fc::DecimalSeparator()), thousands_(fc::ThousandSeparator())
{
    fc::SetDecimalSeparator(decimal);
    fc::SetThousandSeparator(thousands);
}

ScopedSeparators::~ScopedSeparators()
{
    fc::SetDecimalSeparator(decimal_);
    fc::SetThousandSeparator(thousands_);
}

int KilledWrite(const QString& target, bool stay)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        // The child's output would keep a reader of the test's output waiting.
        ::close(STDOUT_FILENO);
        ::close(STDERR_FILENO);
        fc::AtomicFile f(target);
        const bool opened = f.open(QIODevice::WriteOnly) && f.write(QByteArray(100 * 1024, 'h')) > 0;
        const char c = opened ? '1' : '0';
        (void)!::write(ready[1], &c, 1);
        if (stay)
            ::pause();
        ::raise(SIGKILL);
        ::_exit(1);
    }
    char c = 0;
    (void)!::read(ready[0], &c, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    if (!stay)
        ::waitpid(pid, nullptr, 0);
    return c == '1' ? int(pid) : -1;
}

ScopedFileSizeLimit::ScopedFileSizeLimit(qint64 bytes)
{
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim{};
    ::getrlimit(RLIMIT_FSIZE, &lim);
    softLimit_ = lim.rlim_cur;
    lim.rlim_cur = rlim_t(bytes);
    ::setrlimit(RLIMIT_FSIZE, &lim);
}

ScopedFileSizeLimit::~ScopedFileSizeLimit()
{
    rlimit lim{};
    ::getrlimit(RLIMIT_FSIZE, &lim);
    lim.rlim_cur = rlim_t(softLimit_);
    ::setrlimit(RLIMIT_FSIZE, &lim);
    std::signal(SIGXFSZ, previousHandler_);
}

QString fileTooLargeText() { return QString::fromLocal8Bit(std::strerror(EFBIG)); }

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace fc::test
