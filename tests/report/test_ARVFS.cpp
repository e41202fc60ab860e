// The template storage on disk files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ARVFS.h"
#include "ReportTestUtil.h"
#include "TestSupport.h"
#include "platform/Dialogs.h"

TEST(StandardFileSystem, ParamsBuildExtensionListAndFilter)
{
    TStandardFileSystem fs;
    EXPECT_EQ(fs.ExtList().Count(), 0);
    EXPECT_TRUE(fs.Filter.isEmpty());
    fs.SetParams("ART,AR,ART");
    EXPECT_EQ(fs.ExtList().Strings(), (QStringList{"AR", "ART"}));
    EXPECT_EQ(fs.Filter, "Reports (*.AR;*.ART)|*.AR;*.ART|All files (*.*)|*.*");
    EXPECT_EQ(fs.DefaultExt, "AR");
    EXPECT_TRUE(fs.Options & ofOverwritePrompt);

    TStandardFileSystem empty;
    empty.SetParams("");
    EXPECT_EQ(empty.Filter, "Reports (*.AR;*.ART)|*.AR;*.ART|All files (*.*)|*.*");
    EXPECT_EQ(empty.Params(), "AR,ART");
    EXPECT_EQ(empty.GetDisplayName(), "Standard");
    EXPECT_EQ(empty.GetMediaName(), "File");
}

TEST(StandardFileSystem, PathParts)
{
    TStandardFileSystem fs;
    EXPECT_EQ(fs.ExtractFileNameOnly("/tmp/reports/Rep1Vel.copy.AR"), "Rep1Vel");
    EXPECT_EQ(fs.ExtractFileNameOnly("C:\\x\\a.b.c"), "a");
    EXPECT_EQ(fs.ExtractPath("Rep1Vel.AR"), "");
    EXPECT_EQ(fs.ExtractPath("/tmp/reports/Rep1Vel.AR"), "/tmp/reports/");
}

TEST(VirtualFileSystem, AbstractOperationsRaise)
{
    TVirtualFileSystem base;
    EXPECT_THROW(base.GetParams(), EAbstractError);
    EXPECT_THROW(base.OpenDialogExecute(), EAbstractError);
    EXPECT_THROW(base.FileExists("x"), EAbstractError);
    base.FileName = "abc";
    EXPECT_EQ(base.Caption(), "abc");
    int fired = 0;
    base.OnExecuteSetup = [&](TVirtualFileSystem* s) { fired += s == &base; };
    base.ExecuteSetup();
    EXPECT_EQ(fired, 1);
}

TEST(StandardFileSystem, StreamsReadAndWriteFiles)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("t.AR");
    TStandardFileSystem fs;
    QIODevice* w = fs.CreateWriteStream(name);
    w->write("ORIENTATION=PORTRAIT\r\n");
    fs.CloseWriteStream();
    fs.CloseWriteStream(); // a second close is harmless
    EXPECT_EQ(fs.FileName, name);
    QIODevice* r = fs.CreateReadStream(name);
    EXPECT_EQ(r->readAll(), QByteArray("ORIENTATION=PORTRAIT\r\n"));
    fs.CloseReadStream();
    fs.CloseReadStream();
    try {
        fs.CreateReadStream(dir.filePath("missing.AR"));
        FAIL();
    } catch (const EFileError& e) {
        EXPECT_TRUE(e.Message().startsWith("Cannot open file ")) << e.Message().toStdString();
    }
    EXPECT_THROW(fs.CreateFile(dir.filePath("no/such/dir/x.AR")), EFileError);
    fs.CreateFile(dir.filePath("new.AR"));
    EXPECT_TRUE(fs.FileExists(dir.filePath("new.AR")));
    EXPECT_FALSE(fs.FileExists(dir.path()));
}

TEST(StandardFileSystem, TemplateSaveThatFailsKeepsTheOldTemplateAndSaysWhy)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("t.AR");
    const QByteArray before = "ORIENTATION=PORTRAIT\r\n";
    {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    TStandardFileSystem fs;
    QString message;
    {
        fc::test::ScopedFileSizeLimit limit(before.size() + 16);
        message = fc::test::MessageOf([&] {
            QIODevice* w = fs.CreateWriteStream(name);
            for (int i = 0; i < 100; ++i)
                w->write("BAND=Riga" + QByteArray::number(i) + "\r\n");
            fs.CloseWriteStream();
        });
    }
    EXPECT_EQ(message, QStringLiteral("Cannot write file %1: %2").arg(name, fc::test::fileTooLargeText()));
    EXPECT_EQ(fc::test::readFile(name), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"t.AR"});
}

TEST(StandardFileSystem, OpenDialogCreatesAMissingFileOnlyWhenConfirmed)
{
    QTemporaryDir dir;
    ScopedScriptedDialogs dialogs;
    TStandardFileSystem fs;
    fs.SetParams("");
    fs.Title = "Open template";
    fs.FileName = dir.filePath("proposed.AR");

    dialogs.answerFile(""); // cancel
    EXPECT_FALSE(fs.OpenDialogExecute());
    EXPECT_FALSE(QFile::exists(dir.filePath("proposed.AR")));
    EXPECT_EQ(fs.FileName, dir.filePath("proposed.AR"));
    ASSERT_EQ(dialogs.log().size(), 1u);
    EXPECT_EQ(dialogs.log()[0].file.Filter, fs.Filter);
    EXPECT_EQ(dialogs.log()[0].file.DefaultExt, "AR");
    EXPECT_EQ(dialogs.log()[0].file.Title, "Open template");

    dialogs.answerFile(dir.filePath("chosen.AR"));
    EXPECT_TRUE(fs.OpenDialogExecute());
    EXPECT_TRUE(QFile::exists(dir.filePath("chosen.AR")));
    EXPECT_EQ(fs.FileName, dir.filePath("chosen.AR"));
    EXPECT_EQ(fs.Files(), QStringList{dir.filePath("chosen.AR")});

    dialogs.answerFile(dir.filePath("saved.AR"));
    EXPECT_TRUE(fs.SaveDialogExecute());
    EXPECT_EQ(fs.FileName, dir.filePath("saved.AR"));
    EXPECT_FALSE(QFile::exists(dir.filePath("saved.AR")));
    EXPECT_TRUE(dialogs.log().back().file.OverwritePrompt);
}

TEST(StandardFileSystem, SetupAddsConfirmedExtensions)
{
    TStandardFileSystem fs;
    fs.SetParams("AR");
    int fired = 0;
    fs.OnExecuteSetup = [&](TVirtualFileSystem*) { ++fired; };
    TStandardFileSystem::SetSetupDialogRunner([](TStandardFileSystem&, QStringList& exts) {
        exts = QStringList{"TPL", "ar"}; // AR deleted in the dialog, TPL added
        return true;
    });
    fs.ExecuteSetup();
    TStandardFileSystem::SetSetupDialogRunner(nullptr);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(fs.ExtList().Strings(), (QStringList{"AR", "TPL"}));
    EXPECT_EQ(fs.Filter, "Reports (*.AR)|*.AR|All files (*.*)|*.*") << "the filter is not rebuilt";
}
