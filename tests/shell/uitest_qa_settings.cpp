// select.ini as a user keeps it: every default saved under either pair of
// separators comes back the same, and a language switched and switched back
// gives the window back its texts at the next start.
#include <QDir>
#include <QTemporaryDir>
#include <functional>

#include "ShellFixture.h"
#include "components/Lang.h"
#include "components/OvNumEdit.h"
#include "ui_TDodedaVO.h"
#include "platform/IniFile.h"
#include "platform/RadioGroup.h"

using namespace fc::test;

namespace {

using QaSettings = ShellTest;

TEST_F(QaSettings, EveryDefaultRoundTripsUnderBothSeparators)
{
    standardFolder(true);
    struct Sep {
        char decimal, thousands;
    } seps[] = {{',', '.'}, {'.', ','}};
    // Values a user types, with a fraction and a sign where the field takes them.
    const double values[14] = {21.5, 45, 40.5, 4.5, 26.5, 18.5, 55.5, 6.5, 11.5, 5, 12.5, 7.25, 2, 0.875};
    for (const Sep& s : seps) {
        SCOPED_TRACE(s.decimal);
        ScopedSeparators sep{QChar(s.decimal), QChar(s.thousands)};
        {
            open();
            TOvNumEdit* edits[14] = {f().TempAriaCaldo, f().TempIngAcquaCaldo, f().TempUscAcquaCaldo, f().SalTerAcquaCaldo,
                                     f().TBSFreddo, f().TBUFreddo, f().URFreddo, f().TempIngAcquaFreddo,
                                     f().TempUscAcquaFreddo, f().SalTerAcquaFreddo, f().Sconto1, f().Sconto2,
                                     f().Sconto3, f().Moltip};
            f().Sconto->setChecked(true);
            for (int i = 0; i < 14; ++i)
                edits[i]->SetValue(values[i]);
            window->SaveDefaults1Click();
            window.reset();
            fc::SetMainWindow(nullptr);
        }
        const fc::IniFile ini(dir.file("select.ini"));
        EXPECT_EQ(ini.ReadString("Default", "FTABS", ""), "26,5");
        EXPECT_EQ(ini.ReadString("Default", "Moltip", ""), "0,875");
        EXPECT_EQ(ini.ReadString("Default", "ScontoMolt", ""), "1");
        EXPECT_EQ(ini.ReadString("Language", "myLang", ""), "English.lng");
        // Sections the program does not write are kept.
        EXPECT_FALSE(ini.ReadString("Firm", "riga1", "").trimmed().isEmpty());

        open();
        TOvNumEdit* edits[10] = {f().TempAriaCaldo, f().TempIngAcquaCaldo, f().TempUscAcquaCaldo, f().SalTerAcquaCaldo,
                                 f().TBSFreddo, f().TBUFreddo, f().URFreddo, f().TempIngAcquaFreddo,
                                 f().TempUscAcquaFreddo, f().SalTerAcquaFreddo};
        for (int i = 0; i < 10; ++i)
            EXPECT_DOUBLE_EQ(double(edits[i]->Value()), values[i]) << i;
        EXPECT_EQ(f().TBSFreddo->text(), QString("26") + QChar(s.decimal) + "5");
        EXPECT_DOUBLE_EQ(DatiGlobali.Sconto1, 12.5);
        EXPECT_DOUBLE_EQ(DatiGlobali.Sconto2, 7.25);
        EXPECT_DOUBLE_EQ(DatiGlobali.Sconto3, 2);
        EXPECT_DOUBLE_EQ(DatiGlobali.Moltip, 0.875);
        EXPECT_EQ(DatiGlobali.ScontoMolt, 1);
        window.reset();
        fc::SetMainWindow(nullptr);
    }
}

TEST_F(QaSettings, LanguageSwitchedAndBackRestoresTheTexts)
{
    standardFolder(false); // starts in Italian
    dir.write("English.lng", readFile(dataFile("English.lng")));
    // An Italian language file: no translations, the window's own texts.
    dir.write("Italiano.lng", "[Charset]\nFont.Charset=0\n[Translations]\n[Messages]\n");
    open();
    const QString vers = f().LabelVers->text();
    const QString tab1 = f().ControllaPagine->tabText(1);
    const QString memo = f().Memo4->toPlainText();
    const QStringList ops = f().Operazione->Items();
    EXPECT_EQ(vers, "Versione:");

    dialogs.answerFile(dir.file("English.lng"));
    window->S1Click();
    EXPECT_EQ(f().LabelVers->text(), "Version:");
    EXPECT_EQ(f().ControllaPagine->tabText(1), "Parameters");
    EXPECT_EQ(fc::IniFile(dir.file("select.ini")).ReadString("Language", "myLang", ""), "English.lng");

    // A file without translations changes no text: the Italian texts come
    // back at the next start, where no translation runs over them.
    dialogs.answerFile(dir.file("Italiano.lng"));
    window->S1Click();
    EXPECT_EQ(fc::IniFile(dir.file("select.ini")).ReadString("Language", "myLang", ""), "Italiano.lng");

    // The choice holds at the next start.
    window.reset();
    fc::SetMainWindow(nullptr);
    open();
    EXPECT_EQ(f().LabelVers->text(), vers);
    EXPECT_EQ(f().ControllaPagine->tabText(1), tab1);
    EXPECT_EQ(f().Memo4->toPlainText(), memo);
    EXPECT_EQ(f().Operazione->Items(), ops);
}

// The disk fills up during Save Defaults or Language Select: select.ini
// keeps every byte it had (never a mix of two saves, never empty), and the
// user is told which file failed and why.
TEST_F(QaSettings, SaveThatFailsKeepsTheWholeOldFileAndSaysWhy)
{
    standardFolder(true);
    // Only the dealer and language lines: every default Save Defaults
    // writes makes the file longer, so a limit a little above the old size
    // lets some of them through and not the rest.
    const QByteArray before = "[Language]\nmyLang=English.lng\n[Dealer]\nnome=Rossi\n";
    dir.write("select.ini", before);
    dir.write("Language-with-a-name-much-longer-than-the-one-it-replaces.lng", "[Charset]\nFont.Charset=0\n");
    open();
    f().Sconto->setChecked(true);
    f().TBSFreddo->SetValue(26.5);
    const QString expected =
        QStringLiteral("Cannot save \"%1\": %2").arg(dir.file("select.ini"), fc::test::fileTooLargeText());
    const std::function<void()> saves[] = {
        [&] { f().SaveDefaults1->trigger(); },
        [&] {
            dialogs.answerFile(dir.file("Language-with-a-name-much-longer-than-the-one-it-replaces.lng"));
            f().S1->trigger();
        },
    };
    for (const auto& save : saves) {
        dialogs.clear();
        {
            fc::test::ScopedFileSizeLimit limit(before.size() + 40);
            save();
        }
        EXPECT_EQ(fc::test::readFile(dir.file("select.ini")), before);
        EXPECT_EQ(dialogs.messages(), QStringList{expected});
    }
    EXPECT_EQ(QDir(dir.path()).entryList({"*select.ini*"}, QDir::Files | QDir::Hidden), QStringList{"select.ini"});
}

// A select.ini the user made read-only is not written: Save Defaults and
// Language Select say so and change nothing, whoever runs the program.
TEST_F(QaSettings, AReadOnlySettingsFileIsNotWrittenAndSaysSo)
{
    standardFolder(false); // starts in Italian
    dir.write("English.lng", readFile(dataFile("English.lng")));
    const QString ini = dir.file("select.ini");
    const QByteArray before = readFile(ini);
    ASSERT_TRUE(QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    open();
    f().TBSFreddo->SetValue(26.5);
    const QString expected = QStringLiteral("Cannot save \"%1\": the file is read-only").arg(ini);
    dialogs.clear();
    f().SaveDefaults1->trigger();
    EXPECT_EQ(dialogs.messages(), QStringList{expected});
    dialogs.clear();
    dialogs.answerFile(dir.file("English.lng"));
    f().S1->trigger();
    EXPECT_EQ(dialogs.messages(), QStringList{expected});
    EXPECT_EQ(f().LabelVers->text(), "Versione:") << "the language in use stays";
    EXPECT_EQ(readFile(ini), before);
    EXPECT_EQ(QFile::permissions(ini) & 0x7077, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    EXPECT_EQ(QDir(dir.path()).entryList({"*select.ini*"}, QDir::Files | QDir::Hidden), QStringList{"select.ini"});
}

// A language file of random bytes, or in UTF-16: the start says which file
// and why and the window keeps its own texts; Language Select says so too,
// keeps the language in use and does not save the choice.
TEST_F(QaSettings, ALanguageFileThatDoesNotReadIsToldAndNeverSaved)
{
    QByteArray random(4096, '\0');
    quint32 x = 20261211;
    for (char& c : random) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 24);
    }
    const QByteArray english = readFile(dataFile("English.lng"));
    QByteArray utf16("\xff\xfe");
    for (QChar c : QString::fromUtf8(english)) {
        utf16 += char(c.unicode() & 0xff);
        utf16 += char(c.unicode() >> 8);
    }
    const struct {
        const char* name;
        QByteArray bytes;
        const char* why;
    } cases[] = {
        {"random bytes", random, "it is not a text file of single bytes or UTF-8 (it holds NUL bytes, as UTF-16 does)"},
        {"random bytes without a NUL", QByteArray(random).replace('\0', '\x01'),
         "it is not a language file (no [Translations], [Messages] or [Charset] section)"},
        {"UTF-16", utf16, "it is not a text file of single bytes or UTF-8 (it holds NUL bytes, as UTF-16 does)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        standardFolder(true);
        dir.write("Broken.lng", c.bytes);
        const QString told = QStringLiteral("Cannot read \"%1\": %2").arg(dir.file("Broken.lng"), QLatin1String(c.why));

        // Chosen while English is in use.
        open();
        ASSERT_EQ(f().LabelVers->text(), "Version:");
        const QByteArray settings = readFile(dir.file("select.ini"));
        dialogs.clear();
        dialogs.answerFile(dir.file("Broken.lng"));
        f().S1->trigger();
        EXPECT_EQ(dialogs.messages(), QStringList{told});
        EXPECT_EQ(f().LabelVers->text(), "Version:");
        EXPECT_EQ(window->Language1->LanguageFile(), dir.file("English.lng"));
        EXPECT_EQ(readFile(dir.file("select.ini")), settings);
        window.reset();
        fc::SetMainWindow(nullptr);

        // Named by select.ini at the start.
        QByteArray ini = settings;
        ini.replace("myLang=English.lng", "myLang=Broken.lng");
        dir.write("select.ini", ini);
        dialogs.clear();
        open();
        EXPECT_EQ(dialogs.messages(), QStringList{told});
        EXPECT_EQ(f().LabelVers->text(), "Versione:");
        EXPECT_GT(f().ListaFamiglie->count(), 0);
        window.reset();
        fc::SetMainWindow(nullptr);
    }
}

// select.ini or the language file is endless (a link to /dev/zero): the
// start says which file and why and goes on as without that file.
TEST_F(QaSettings, EndlessSettingsOrLanguageFileIsToldAtStart)
{
    standardFolder(true);
    const struct {
        const char* file;
        const char* versionLabel; // English without the language file's say
    } cases[] = {{"select.ini", "Version:"}, {"English.lng", "Versione:"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QByteArray good = fc::test::readFile(dir.file(c.file));
        ASSERT_TRUE(QFile::remove(dir.file(c.file)));
        ASSERT_TRUE(QFile::link("/dev/zero", dir.file(c.file)));
        dialogs.clear();
        open();
        EXPECT_EQ(dialogs.messages(),
                  QStringList{QStringLiteral("Cannot read \"%1\": it is not a regular file").arg(dir.file(c.file))});
        EXPECT_EQ(f().LabelVers->text(), c.versionLabel);
        EXPECT_GT(f().ListaFamiglie->count(), 0) << "the catalogue is loaded all the same";
        window.reset();
        fc::SetMainWindow(nullptr);
        ASSERT_TRUE(QFile::remove(dir.file(c.file)));
        dir.write(c.file, good);
    }
}

} // namespace
