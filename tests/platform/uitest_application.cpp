#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <sys/resource.h>
#include <QStringList>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "TestSupport.h"

TEST(Application, ExceptionsLeavingHandlersAreShownAndTheProgramGoesOn)
{
    QProcess probe;
    // An exception unwinding through Qt's own frames (built without
    // exception support) skips their destructors: the backstop keeps the
    // program alive, but leaks what those frames held. Handlers therefore
    // run through fc::RunHandler; here the leak is expected.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    probe.setProcessEnvironment(env);
    probe.start(QStringLiteral(FC_EXCEPTION_PROBE), {});
    ASSERT_TRUE(probe.waitForFinished(60000));
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    const QStringList lines = QString::fromUtf8(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    const QString error = QString::number(int(TMsgDlgType::mtError));
    const QStringList expected = {
        "shown|Probe title|'12a' is not a valid integer value|" + error,
        "clicks|2",
        "shown|Probe title|plain failure|" + error,
        "shown|Probe title|plain failure|" + error,
        "index|1",
        "shown|Probe title|Floating point division by zero|" + error,
        "shown|Probe title|from a timer|" + error,
        "went on",
    };
    EXPECT_EQ(lines, expected) << lines.join('\n').toStdString();
}

// Under a file-size limit (ulimit -f) a write past it sends SIGXFSZ, whose
// default ends the process: the program is not ended, it reports the save.
TEST(Application, FileSizeLimitFailsTheSaveInsteadOfEndingTheProgram)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("select.ini");
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("[Language]\nmyLang=English.lng\n");
    old.close();
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    probe.setProcessEnvironment(env);
    probe.setChildProcessModifier([] {
        rlimit lim{};
        ::getrlimit(RLIMIT_FSIZE, &lim);
        lim.rlim_cur = 4096;
        ::setrlimit(RLIMIT_FSIZE, &lim);
    });
    probe.start(QStringLiteral(FC_FILESIZE_PROBE), {target});
    ASSERT_TRUE(probe.waitForFinished(60000));
    ASSERT_EQ(probe.exitStatus(), QProcess::NormalExit) << "ended by a signal";
    EXPECT_EQ(probe.exitCode(), 0);
    EXPECT_EQ(QString::fromLocal8Bit(probe.readAllStandardOutput()).trimmed(),
              QStringLiteral("Cannot save \"%1\": %2").arg(target, QString::fromLocal8Bit(std::strerror(EFBIG))));
    EXPECT_EQ(fc::test::readFile(target), QByteArray("[Language]\nmyLang=English.lng\n"));
}

TEST(Application, RunHandlerShowsAndSwallows)
{
    ScopedScriptedDialogs dialogs;
    int after = 0;
    EXPECT_FALSE(fc::RunHandler([] { throw EListError::IndexOutOfBounds(7); }));
    EXPECT_TRUE(fc::RunHandler([&] { ++after; }));
    EXPECT_TRUE(fc::RunHandler({}));
    auto slot = fc::Guarded([] { throw EDivByZero(); });
    slot();
    EXPECT_EQ(after, 1);
    EXPECT_EQ(dialogs.messages(), (QStringList{"List index out of bounds (7)", "Division by zero"}));
    EXPECT_EQ(dialogs.log()[0].message.Type, TMsgDlgType::mtError);
    EXPECT_EQ(dialogs.log()[0].message.Buttons, int(mbOK));
}

TEST(Application, AnExceptionWhileOneIsShownIsNotStackedUp)
{
    // A message box whose display runs a handler that fails again, as a
    // paint handler under the box would.
    struct Reentrant : ScopedScriptedDialogs {
        TModalResult MessageBox(const TMessageRequest& r) override
        {
            fc::RunHandler([] { throw Exception("again"); });
            return ScriptedDialogs::MessageBox(r);
        }
    } dialogs;
    fc::RunHandler([] { throw Exception("first"); });
    EXPECT_EQ(dialogs.messages(), QStringList{"first"});
    fc::RunHandler([] { throw Exception("later"); });
    EXPECT_EQ(dialogs.messages(), (QStringList{"first", "later"}));
}
