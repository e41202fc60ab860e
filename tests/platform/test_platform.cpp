#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Array1.h"
#include "platform/ClassRegistry.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/Font.h"
#include "platform/MainWindowLink.h"
#include "platform/ProgramFolder.h"

TEST(ClassRegistry, FindsByNameWithoutRegardToCase)
{
    using Factory = int (*)();
    fc::RegisterClass<Factory>("TPdfHelvetica", [] { return 7; });
    EXPECT_EQ(fc::FindClass<Factory>("tpdfhelvetica")(), 7);
    try {
        fc::FindClass<Factory>("TNoSuch");
        FAIL();
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Class TNoSuch not found"));
    }
    // Registered under another type: not that class.
    EXPECT_THROW(fc::FindClass<QString>("TPdfHelvetica"), EClassNotFound);
    fc::UnregisterClass("TPDFHELVETICA");
    EXPECT_EQ(fc::GetClass<Factory>("TPdfHelvetica"), nullptr);
}

TEST(Colors, SystemColoursComeFromTheFixedTable)
{
    EXPECT_EQ(clBtnFace, TColor(0x8000000F));
    EXPECT_LT(clBtnFace, 0);
    EXPECT_EQ(fc::ColorToRGB(clBtnFace), fc::RGBColor(212, 208, 200));
    EXPECT_EQ(fc::ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(fc::ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(fc::ColorToRGB(clRed), 0x0000FF);
    EXPECT_EQ(fc::ColorToRGB(clNone), clNone); // non-negative values pass unchanged
    EXPECT_EQ(fc::RedOf(clRed), 255);
    EXPECT_EQ(fc::BlueOf(clNavy), 128);
    EXPECT_EQ(fc::ColorToRGB(SystemColor(200)), clBlack);
}

TEST(Font, HeightAndSizeAtNinetySixPixelsPerInch)
{
    TFont f;
    EXPECT_EQ(f.Name, QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(f.Height, -11);
    EXPECT_EQ(f.Size(), 8);
    struct Case {
        int points, height;
    } cases[] = {{8, -11}, {9, -12}, {10, -13}, {12, -16}, {14, -19}, {7, -9}, {0, 0}};
    for (const Case& c : cases) {
        f.SetSize(c.points);
        EXPECT_EQ(f.Height, c.height) << c.points;
        EXPECT_EQ(f.Size(), c.points);
    }
    EXPECT_EQ(fc::MulDiv(-11, 72, 96), -8);
    EXPECT_EQ(fc::MulDiv(5, 1, 2), 3);
    EXPECT_EQ(fc::MulDiv(-5, 1, 2), -3);
}

TEST(Font, FixedPitchMeasurerIsTheTestDefault)
{
    FixedPitchMeasurer m(6, 13);
    TFont bold = MakeFont("Arial", 10, fsBold);
    EXPECT_EQ(m.TextWidth(TFont(), "abcd"), 24);
    EXPECT_EQ(m.TextWidth(bold, "abcd"), 28);
    EXPECT_EQ(m.TextHeight(TFont(), "A"), 13);
    EXPECT_EQ(fc::TextMeasurer().TextWidth(TFont(), "ab"), 12);
}

TEST(Dialogs, ScriptedAnswersAndLog)
{
    ScopedScriptedDialogs dlg;
    dlg.answerMessage(mrNo);
    TMessageRequest q{"Conferma", "Sovrascrivere?", TMsgDlgType::mtConfirmation, mbYes | mbNo};
    EXPECT_EQ(fc::Dialogs().MessageBox(q), mrNo);
    EXPECT_EQ(fc::ShowMessage(" ", "Fatto"), mrOk);
    TFileDialogRequest save;
    save.DefaultExt = "pdf";
    EXPECT_FALSE(fc::Dialogs().SaveFile(save));
    dlg.answerFile("/tmp/a.pdf");
    EXPECT_TRUE(fc::Dialogs().SaveFile(save));
    EXPECT_EQ(save.FileName, QStringLiteral("/tmp/a.pdf"));
    EXPECT_EQ(dlg.messages(), QStringList({"Sovrascrivere?", "Fatto"}));
    ASSERT_EQ(dlg.log().size(), 4u);
    EXPECT_EQ(dlg.log()[1].message.Caption, QStringLiteral(" "));
}

TEST(ProgramFolder, TestOverride)
{
    const QString before = fc::ProgramFolder();
    EXPECT_TRUE(before.endsWith('/'));
    {
        fc::test::ScopedProgramFolder pf;
        EXPECT_EQ(fc::ProgramFolder(), pf.path());
        EXPECT_EQ(fc::ProgramFile("imgs/Logo.bmp"), pf.path() + "imgs/Logo.bmp");
        pf.write("imgs/x.txt", "x");
        EXPECT_EQ(fc::test::readFile(pf.file("imgs/x.txt")), QByteArray("x"));
    }
    EXPECT_EQ(fc::ProgramFolder(), before);
}

TEST(MainWindowLink, FakeRecordsTheEngineCalls)
{
    EXPECT_FALSE(fc::HasMainWindow());
    EXPECT_THROW(fc::MainWindow(), Exception);
    ScopedFakeMainWindow w;
    w.models = {{"FC 20", true}, {"FC 30", false}};
    IMainWindowLink& link = fc::MainWindow();
    EXPECT_EQ(link.ModelCount(), 2);
    link.SetModelChecked(1, true);
    EXPECT_TRUE(w.models[1].checked);
    link.SetWetBulbValue(19.5);
    link.abilita('T', 3);
    EXPECT_EQ(w.wetBulbWrites, 1);
    ASSERT_EQ(w.abilitaCalls.size(), 1u);
    EXPECT_EQ(w.abilitaCalls[0].tipoCalcolo, QChar('T'));
    EXPECT_THROW(link.cdsMacchine(), Exception);
}

TEST(Array1, IndexedFromItsLowerBound)
{
    Array1<double, 1, 3> a;
    a[1] = 1;
    a[3] = 3;
    EXPECT_EQ(a[3], 3);
    EXPECT_THROW(a[0], EListError);
    EXPECT_THROW(a[4], EListError);
}
