// The access-code dialog: the code in either case enables the Excel export;
// anything else is refused, four times at most within one activation.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <functional>

#include "TestSupport.h"
#include "components/Lang.h"
#include "engine/Records.h"
#include "platform/Dialogs.h"
#include "shell/UnitPass.h"

namespace {

using fc::test::ScopedProgramFolder;

class PasswordDialog : public ::testing::Test {
protected:
    ScopedProgramFolder folder;
    ScopedScriptedDialogs dialogs;
    TPasswordDlg dlg;

    PasswordDialog() { DatiGlobali.excelAbilitato = false; }
    ~PasswordDialog() override { DatiGlobali.excelAbilitato = false; }

    // Opens the dialog modally and runs steps while it is open.
    int open(std::function<void()> whileOpen)
    {
        QTimer::singleShot(0, &dlg, [&, whileOpen] {
            whileOpen();
            if (dlg.isVisible()) // a step that did not end it: fail visibly, do not hang
                dlg.done(99);
        });
        return dlg.ShowModal();
    }

    void press(QWidget* target, int key)
    {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &down);
    }
};

TEST_F(PasswordDialog, OnlyTheCodeInLowerOrUpperCaseIsAccepted)
{
    const QString code = TPasswordDlg::AccessCode();
    QString oneCapital = code;
    oneCapital[0] = oneCapital[0].toUpper();
    struct Case {
        QString text;
        bool right;
    } cases[] = {
        {code, true},
        {code.toUpper(), true},
        {oneCapital, false},
        {code + " ", false},
        {" " + code, false},
        {code.left(code.size() - 1), false},
        {QString(), false},
    };
    for (const Case& c : cases) {
        DatiGlobali.excelAbilitato = false;
        dialogs.clear();
        dlg.FormActivate();
        dlg.Password()->setText(c.text);
        dlg.OKBtnClick();
        ASSERT_EQ(dialogs.log().size(), 1u) << c.text.toStdString();
        const auto& box = dialogs.log()[0].message;
        EXPECT_EQ(box.Text, c.right ? "Password Corretta!" : "Password Errata!") << c.text.toStdString();
        EXPECT_EQ(box.Caption, " ");
        EXPECT_EQ(box.Buttons, mbOK);
        EXPECT_EQ(DatiGlobali.excelAbilitato, c.right) << c.text.toStdString();
        EXPECT_EQ(dlg.Failures(), c.right ? 0 : 1);
    }
}

TEST_F(PasswordDialog, OkEndsTheDialogAfterOneAttemptAndTheFlagStays)
{
    dlg.Password()->setText("sbagliata");
    EXPECT_EQ(open([&] { dlg.OKBtn()->click(); }), QDialog::Accepted);
    EXPECT_EQ(dialogs.messages(), QStringList{"Password Errata!"});
    EXPECT_FALSE(DatiGlobali.excelAbilitato);

    // The text is kept between openings; Enter presses OK.
    EXPECT_EQ(open([&] {
                  EXPECT_EQ(dlg.Password()->text(), "sbagliata");
                  dlg.Password()->setText(TPasswordDlg::AccessCode().toUpper());
                  press(dlg.Password(), Qt::Key_Return);
              }),
              QDialog::Accepted);
    EXPECT_EQ(dialogs.messages(), QStringList({"Password Errata!", "Password Corretta!"}));
    EXPECT_TRUE(DatiGlobali.excelAbilitato);

    // A wrong code later does not take the access back.
    dlg.Password()->setText("x");
    open([&] { dlg.OKBtn()->click(); });
    EXPECT_TRUE(DatiGlobali.excelAbilitato);
}

TEST_F(PasswordDialog, CancelChangesNothing)
{
    dlg.Password()->setText(TPasswordDlg::AccessCode());
    EXPECT_EQ(open([&] { dlg.CancelBtn()->click(); }), QDialog::Rejected);
    EXPECT_EQ(open([&] { press(dlg.Password(), Qt::Key_Escape); }), QDialog::Rejected);
    EXPECT_TRUE(dialogs.log().empty());
    EXPECT_FALSE(DatiGlobali.excelAbilitato);
    EXPECT_EQ(dlg.Password()->text(), TPasswordDlg::AccessCode());
}

TEST_F(PasswordDialog, FourWrongCodesWithinOneActivationCloseTheDialog)
{
    dlg.Password()->setText("sbagliata");
    const int result = open([&] {
        for (int i = 0; i < 3; ++i)
            dlg.OKBtnClick();
        EXPECT_EQ(dlg.Failures(), 3);
        EXPECT_TRUE(dlg.isVisible());
        dlg.OKBtnClick();
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(dialogs.messages().size(), 4);
    EXPECT_EQ(dlg.Failures(), 4);

    // Spent: even the right code does nothing until the next activation.
    dlg.Password()->setText(TPasswordDlg::AccessCode());
    dlg.OKBtnClick();
    EXPECT_EQ(dialogs.messages().size(), 4);
    EXPECT_FALSE(DatiGlobali.excelAbilitato);

    // Opening again activates it afresh.
    EXPECT_EQ(open([&] {
                  EXPECT_EQ(dlg.Failures(), 0);
                  dlg.OKBtn()->click();
              }),
              QDialog::Accepted);
    EXPECT_EQ(dialogs.messages().last(), "Password Corretta!");
    EXPECT_TRUE(DatiGlobali.excelAbilitato);
}

TEST_F(PasswordDialog, LayoutAndTranslatedMessages)
{
    EXPECT_EQ(PasswordDlg, &dlg);
    EXPECT_EQ(dlg.objectName(), "PasswordDlg");
    EXPECT_EQ(dlg.windowTitle(), "Password Dialog");
    EXPECT_EQ(dlg.Label1()->text(), "Enter password:");
    EXPECT_EQ(dlg.OKBtn()->text(), "OK");
    EXPECT_TRUE(dlg.OKBtn()->isDefault());
    EXPECT_EQ(dlg.CancelBtn()->text(), "Cancel");
    EXPECT_EQ(dlg.Password()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dlg.Password()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, dlg.Password()),
              int('*'));
    EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize());

    folder.write("English.lng", fc::test::readFile(fc::test::testDataDir() + "../../data/English.lng"));
    TLanguage language;
    language.SetLanguageFile(folder.file("English.lng"));
    TPasswordDlg translated(&language);
    translated.Password()->setText("no");
    translated.OKBtnClick();
    translated.Password()->setText(TPasswordDlg::AccessCode());
    translated.OKBtnClick();
    EXPECT_EQ(dialogs.messages(), QStringList({"Wrong password!", "Password correct!"}));
}

} // namespace

// The user finds the demonstration code where users look: the README.
TEST(PasswordDlg, TheReadmeGivesTheAccessCode)
{
    const QByteArray readme = fc::test::readFile(fc::test::testDataDir() + "../../README.md");
    ASSERT_FALSE(readme.isEmpty());
    EXPECT_TRUE(readme.contains('`' + TPasswordDlg::AccessCode().toUtf8() + '`'));
}
