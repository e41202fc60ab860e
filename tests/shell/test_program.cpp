// The program started from the build's program folder, as a user starts it.
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

QProcessEnvironment programEnv(const QString& runtime)
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("XDG_RUNTIME_DIR", runtime);
    e.insert("QT_QPA_PLATFORM", "offscreen");
    e.insert("QT_LOGGING_RULES", "fc.once.info=true");
    // Exit codes are what these tests look at.
    e.insert("ASAN_OPTIONS", "detect_leaks=0");
    return e;
}

// The first instance listens once its socket is in the runtime folder.
bool waitForSocket(const QString& runtime, QProcess& first)
{
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired() && first.state() != QProcess::NotRunning) {
        for (const QFileInfo& fi : QDir(runtime).entryInfoList(QDir::System | QDir::Files | QDir::Hidden))
            if (fi.fileName().contains("fancoil-select") && !fi.isFile())
                return true;
        first.waitForReadyRead(100);
    }
    return false;
}

} // namespace

TEST(Program, ASecondStartRaisesTheFirstWindowAndEndsWithZero)
{
    QTemporaryDir runtime;
    QProcess first;
    first.setProcessEnvironment(programEnv(runtime.path()));
    first.start(QStringLiteral(FC_PROGRAM_EXE), {});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(waitForSocket(runtime.path(), first)) << first.readAllStandardError().toStdString();

    QProcess second;
    second.setProcessEnvironment(programEnv(runtime.path()));
    second.start(QStringLiteral(FC_PROGRAM_EXE), {});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);

    // The first instance acted on the request: its main window came forward.
    QByteArray err;
    QDeadlineTimer deadline(20000);
    while (!err.contains("raised TDodedaVO") && !deadline.hasExpired()) {
        first.waitForReadyRead(100);
        err += first.readAllStandardError();
    }
    EXPECT_TRUE(err.contains("raised TDodedaVO DodedaVO")) << err.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    if (!first.waitForFinished(10000))
        first.kill();
}

// Outside a desktop session XDG_RUNTIME_DIR is unset: the program starts
// without a word about it and keeps its guard in a private folder.
TEST(Program, StartsQuietlyWithoutARuntimeFolder)
{
    QTemporaryDir tmp;
    QProcessEnvironment env = programEnv(QString());
    env.remove("XDG_RUNTIME_DIR");
    env.insert("TMPDIR", tmp.path());
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(FC_PROGRAM_EXE), {});
    ASSERT_TRUE(program.waitForStarted());
    const QString folder = tmp.filePath(QStringLiteral("runtime-%1").arg(::getuid()));
    ASSERT_TRUE(waitForSocket(folder, program)) << program.readAllStandardError().toStdString();
    const QByteArray err = program.readAllStandardError();
    EXPECT_FALSE(err.contains("XDG_RUNTIME_DIR")) << err.toStdString();
    EXPECT_EQ(QFileInfo(folder).permissions() & 0x0077, QFileDevice::Permissions());
    program.terminate();
    if (!program.waitForFinished(10000))
        program.kill();
}
