#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <cstring>
#include <unistd.h>

namespace {

// One probe process, its output collected as it comes.
class Probe {
public:
    Probe(const QString& exe, const QProcessEnvironment& env, const QStringList& args = {})
    {
        process_.setProcessEnvironment(env);
        process_.start(exe, args);
    }
    ~Probe()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(10000);
        }
    }
    // Waits until the output (stdout or stderr) holds text.
    bool waitFor(const QString& text, bool onStdout, int ms = 30000)
    {
        QDeadlineTimer deadline(ms);
        for (;;) {
            collect();
            if ((onStdout ? out_ : err_).contains(text))
                return true;
            if (deadline.hasExpired() || process_.state() == QProcess::NotRunning)
                return false;
            process_.waitForReadyRead(100);
        }
    }
    bool ready() { return waitFor("ready\n", true); }
    // Waits for the end; true when it ended by itself with exit code 0.
    bool endsWithZero(int ms = 30000)
    {
        const bool finished = process_.waitForFinished(ms);
        collect();
        return finished && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }
    void endNormally()
    {
        process_.closeWriteChannel();
        EXPECT_TRUE(endsWithZero()) << err_.toStdString();
    }
    void crash()
    {
        process_.kill();
        process_.waitForFinished(10000);
    }
    QString out() { return collect(), out_; }
    QString err() { return collect(), err_; }

private:
    void collect()
    {
        out_ += QString::fromLocal8Bit(process_.readAllStandardOutput());
        err_ += QString::fromLocal8Bit(process_.readAllStandardError());
    }
    QProcess process_;
    QString out_, err_;
};

struct OnceFixture : ::testing::Test {
    QTemporaryDir runtime; // the user's runtime folder of these processes
    QTemporaryDir programs;
    QString probe = QStringLiteral(FC_ONCE_PROBE);

    QProcessEnvironment env() const
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("XDG_RUNTIME_DIR", runtime.path());
        e.insert("QT_QPA_PLATFORM", "offscreen");
        return e;
    }
    // A copy of the probe as folder/name.
    QString copyProbe(const QString& folder, const QString& name) const
    {
        const QString dir = programs.filePath(folder);
        QDir().mkpath(dir);
        const QString target = dir + '/' + name;
        EXPECT_TRUE(QFile::copy(probe, target));
        return target;
    }
    static constexpr const char* kMainRaised = "raised QMainWindow mainWindow \"probe main\"";
};

} // namespace

TEST_F(OnceFixture, SecondStartAsksTheFirstToRaiseItsWindowAndEndsWithZero)
{
    Probe first(probe, env());
    ASSERT_TRUE(first.ready()) << first.err().toStdString();
    {
        Probe second(probe, env());
        ASSERT_TRUE(second.endsWithZero()) << second.err().toStdString();
        EXPECT_EQ(second.out(), "second\n");
        EXPECT_TRUE(second.err().contains("answered \"raised\"")) << second.err().toStdString();
    }
    EXPECT_TRUE(first.waitFor(kMainRaised, false)) << first.err().toStdString();
    // A normal end gives the guard up.
    first.endNormally();
    Probe next(probe, env());
    EXPECT_TRUE(next.ready()) << next.err().toStdString();
}

TEST_F(OnceFixture, AnOpenModalDialogIsWhatComesToTheFront)
{
    Probe first(probe, env(), {"--modal"});
    ASSERT_TRUE(first.ready()) << first.err().toStdString();
    Probe second(probe, env());
    ASSERT_TRUE(second.endsWithZero()) << second.err().toStdString();
    EXPECT_TRUE(first.waitFor("raised QDialog modalDialog \"probe modal\"", false)) << first.err().toStdString();
}

TEST_F(OnceFixture, OtherNamesRunSideBySideButTheSameNameElsewhereIsOneProgram)
{
    const QString name = QFileInfo(probe).fileName();
    const QString renamed = copyProbe("a", "other-program");
    const QString sameName = copyProbe("b", name);

    Probe first(probe, env());
    ASSERT_TRUE(first.ready()) << first.err().toStdString();
    Probe other(renamed, env());
    EXPECT_TRUE(other.ready()) << other.err().toStdString();
    Probe elsewhere(sameName, env());
    EXPECT_TRUE(elsewhere.endsWithZero()) << elsewhere.err().toStdString();
    EXPECT_EQ(elsewhere.out(), "second\n");
    EXPECT_TRUE(first.waitFor(kMainRaised, false));
    EXPECT_FALSE(other.err().contains("raise request"));
}

TEST_F(OnceFixture, ACrashedFirstInstanceLeavesNoStaleLock)
{
    {
        Probe crashed(probe, env());
        ASSERT_TRUE(crashed.ready()) << crashed.err().toStdString();
        crashed.crash();
    }
    const QString name = QFileInfo(probe).fileName();
    EXPECT_TRUE(QFileInfo::exists(runtime.filePath(name + ".lock")));
    Probe next(probe, env());
    ASSERT_TRUE(next.ready()) << next.err().toStdString();
    Probe second(probe, env());
    EXPECT_TRUE(second.endsWithZero()) << second.err().toStdString();
    EXPECT_TRUE(next.waitFor(kMainRaised, false)) << next.err().toStdString();
}

TEST_F(OnceFixture, AFirstInstanceThatCannotBeReachedStillEndsTheSecond)
{
    // Someone holds the lock but answers no socket.
    const QString name = QFileInfo(probe).fileName();
    const QByteArray lock = QFile::encodeName(runtime.filePath(name + ".lock"));
    const int fd = ::open(lock.constData(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    Probe second(probe, env());
    EXPECT_TRUE(second.endsWithZero()) << second.err().toStdString();
    EXPECT_EQ(second.out(), "second\n");
    EXPECT_TRUE(second.err().contains("cannot be reached")) << second.err().toStdString();
    ::close(fd);
    Probe next(probe, env());
    EXPECT_TRUE(next.ready()) << next.err().toStdString();
}

TEST_F(OnceFixture, WithoutARuntimeFolderAPrivateOneUnderTheTemporaryFolderServes)
{
    QTemporaryDir tmp;
    QProcessEnvironment e = env();
    e.remove("XDG_RUNTIME_DIR");
    e.insert("TMPDIR", tmp.path());
    Probe first(probe, e);
    ASSERT_TRUE(first.ready()) << first.err().toStdString();
    Probe second(probe, e);
    EXPECT_TRUE(second.endsWithZero()) << second.err().toStdString();
    EXPECT_TRUE(first.waitFor(kMainRaised, false));

    const QFileInfoList folders = QDir(tmp.path()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(folders.size(), 1);
    EXPECT_TRUE(folders[0].fileName().startsWith("runtime-"));
    EXPECT_EQ(folders[0].permissions() & 0x0077, QFileDevice::Permissions()) << "readable by others";
    EXPECT_TRUE(QFileInfo::exists(folders[0].filePath() + '/' + QFileInfo(probe).fileName() + ".lock"));
    // Quietly: the variable's absence is normal outside a desktop session.
    for (Probe* p : {&first, &second})
        EXPECT_FALSE(p->err().contains("XDG_RUNTIME_DIR")) << p->err().toStdString();
}

// A folder of that name that others may enter is made private before the
// guard uses it.
TEST_F(OnceFixture, WithoutARuntimeFolderAnOpenFolderOfThatNameIsMadePrivate)
{
    QTemporaryDir tmp;
    const QString folder = tmp.filePath(QStringLiteral("runtime-%1").arg(::getuid()));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    QProcessEnvironment e = env();
    e.remove("XDG_RUNTIME_DIR");
    e.insert("TMPDIR", tmp.path());
    Probe first(probe, e);
    ASSERT_TRUE(first.ready()) << first.err().toStdString();
    EXPECT_EQ(QFileInfo(folder).permissions() & 0x0077, QFileDevice::Permissions()) << "readable by others";
    EXPECT_TRUE(QFileInfo::exists(folder + '/' + QFileInfo(probe).fileName() + ".lock"));
    EXPECT_FALSE(first.err().contains("XDG_RUNTIME_DIR")) << first.err().toStdString();
}

// The socket is the user's alone, a stray line gets no answer and breaks
// nothing, and a normal end takes the socket file away.
TEST_F(OnceFixture, TheSocketIsPrivateIgnoresStrayLinesAndGoesWithTheFirst)
{
    Probe first(probe, env());
    ASSERT_TRUE(first.ready()) << first.err().toStdString();
    const QString socketPath = runtime.filePath(QFileInfo(probe).fileName() + ".socket");
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(socketPath).constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socketPath);
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    ASSERT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::send(fd, "hello\n", 6, MSG_NOSIGNAL), 6);
    char buf[16];
    EXPECT_EQ(::recv(fd, buf, sizeof buf, 0), 0); // closed without an answer
    ::close(fd);
    EXPECT_TRUE(first.waitFor("ignored request", false)) << first.err().toStdString();

    Probe second(probe, env());
    ASSERT_TRUE(second.endsWithZero()) << second.err().toStdString();
    EXPECT_TRUE(second.err().contains("answered \"raised\"")) << second.err().toStdString();
    first.endNormally();
    EXPECT_FALSE(QFileInfo::exists(socketPath));
}
