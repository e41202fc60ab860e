// select.ini as a user keeps it: every default saved under either pair of
// separators comes back the same, and a language switched and switched back
// gives the window back its texts at the next start.
#include <QTemporaryDir>

#include "ShellFixture.h"
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

} // namespace
