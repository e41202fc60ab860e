#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "TestSupport.h"
#include "platform/QtDialogs.h"
#include "platform/QtShellOpen.h"

namespace {

// Waits for the next modal dialog of the kind asked for and acts on it, as
// the user would; the dialog then returns to the code under test.
template <class Dialog>
void whenShown(std::function<void(Dialog*)> act, int polls = 500)
{
    QTimer::singleShot(10, [act, polls] {
        if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            act(d);
            return;
        }
        if (polls > 0)
            whenShown<Dialog>(act, polls - 1);
    });
}

struct DialogFixture : ::testing::Test {
    void SetUp() override { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }
    QtDialogService service;
};

} // namespace

TEST_F(DialogFixture, MessageBoxShowsCaptionPlainTextIconAndButtons)
{
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    QList<QMessageBox::StandardButton> buttons;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        format = box->textFormat();
        for (QAbstractButton* b : box->buttons())
            buttons << box->standardButton(b);
        box->button(QMessageBox::No)->click();
    });
    TMessageRequest r;
    r.Caption = " ";
    r.Text = "<b>Sostituire</b> il file?";
    r.Type = TMsgDlgType::mtConfirmation;
    r.Buttons = mbYes | mbNo | mbCancel;
    EXPECT_EQ(service.MessageBox(r), mrNo);
    EXPECT_EQ(title, " ");
    EXPECT_EQ(text, r.Text);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(icon, QMessageBox::Question);
    std::sort(buttons.begin(), buttons.end());
    EXPECT_EQ(buttons, (QList<QMessageBox::StandardButton>{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}));
}

TEST_F(DialogFixture, MessageBoxIconsAndEscape)
{
    struct Case {
        TMsgDlgType type;
        int buttons;
        QMessageBox::Icon icon;
        TModalResult onEscape;
    } cases[] = {
        {TMsgDlgType::mtError, mbOK, QMessageBox::Critical, mrOk},
        {TMsgDlgType::mtWarning, mbOK | mbCancel, QMessageBox::Warning, mrCancel},
        {TMsgDlgType::mtInformation, mbYes | mbNo, QMessageBox::Information, mrNo},
        {TMsgDlgType::mtCustom, 0, QMessageBox::NoIcon, mrOk}, // no buttons asked: OK
    };
    for (const Case& c : cases) {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            icon = box->icon();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        TMessageRequest r;
        r.Text = "x";
        r.Type = c.type;
        r.Buttons = c.buttons;
        EXPECT_EQ(service.MessageBox(r), c.onEscape) << int(c.type);
        EXPECT_EQ(icon, c.icon) << int(c.type);
    }
}

TEST(QtDialogServiceFilters, WindowsFiltersBecomeQtNameFilters)
{
    EXPECT_EQ(QtDialogService::NameFilters("Language file|*.lng"), QStringList{"Language file (*.lng)"});
    EXPECT_EQ(QtDialogService::NameFilters("Report templates (*.AR)|*.AR|All files (*.*)|*.*"),
        (QStringList{"Report templates (*.AR)", "All files (*)"}));
    EXPECT_EQ(QtDialogService::NameFilters("Pictures|*.jpg;*.bmp|"), QStringList{"Pictures (*.jpg *.bmp)"});
    EXPECT_EQ(QtDialogService::NameFilters("|*.pdf"), QStringList{"*.pdf (*.pdf)"});
    EXPECT_TRUE(QtDialogService::NameFilters("").isEmpty());
    EXPECT_EQ(QtDialogService::WithDefaultExt("/a/report", ".pdf"), "/a/report.pdf");
    EXPECT_EQ(QtDialogService::WithDefaultExt("/a.b/report", "pdf"), "/a.b/report.pdf");
    EXPECT_EQ(QtDialogService::WithDefaultExt("/a/report.PDF", "pdf"), "/a/report.PDF");
    EXPECT_EQ(QtDialogService::WithDefaultExt("/a/report", ""), "/a/report");
}

TEST_F(DialogFixture, SaveDialogStartsInTheFolderAndAddsTheDefaultExtension)
{
    QTemporaryDir dir;
    QString shownDir;
    QStringList filters;
    QString selectedFilter;
    whenShown<QFileDialog>([&](QFileDialog* d) {
        shownDir = d->directory().absolutePath();
        filters = d->nameFilters();
        selectedFilter = d->selectedNameFilter();
        auto* edit = d->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        edit->setText("offerta");
        static_cast<QDialog*>(d)->accept();
    });
    TFileDialogRequest r;
    r.Filter = "PDF files|*.pdf|All files|*.*";
    r.FilterIndex = 1;
    r.DefaultExt = "pdf";
    r.InitialDir = dir.path();
    ASSERT_TRUE(service.SaveFile(r));
    EXPECT_EQ(shownDir, QDir(dir.path()).absolutePath());
    EXPECT_EQ(filters, (QStringList{"PDF files (*.pdf)", "All files (*)"}));
    EXPECT_EQ(selectedFilter, "PDF files (*.pdf)");
    EXPECT_EQ(r.FileName, QDir(dir.path()).absoluteFilePath("offerta.pdf"));
    EXPECT_EQ(r.FilterIndex, 1);
}

TEST_F(DialogFixture, SaveOverAFileAsksOnlyWhenOverwritePromptIsSet)
{
    QTemporaryDir dir;
    const QString existing = dir.filePath("old.pdf");
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    for (bool prompt : {true, false}) {
        bool asked = false;
        whenShown<QFileDialog>([&](QFileDialog* d) {
            d->findChild<QLineEdit*>("fileNameEdit")->setText("old.pdf");
            if (prompt)
                whenShown<QMessageBox>([&](QMessageBox* box) {
                    asked = true;
                    box->button(QMessageBox::Yes)->click();
                });
            QTimer::singleShot(0, d, [d] { static_cast<QDialog*>(d)->accept(); });
        });
        TFileDialogRequest r;
        r.Filter = "PDF files|*.pdf";
        r.DefaultExt = "pdf";
        r.InitialDir = dir.path();
        r.OverwritePrompt = prompt;
        ASSERT_TRUE(service.SaveFile(r)) << prompt;
        EXPECT_EQ(asked, prompt);
        EXPECT_EQ(r.FileName, QDir(dir.path()).absoluteFilePath("old.pdf"));
    }
}

TEST_F(DialogFixture, OpenDialogSecondFilterAndCancel)
{
    QTemporaryDir dir;
    {
        QFile f(dir.filePath("Deutsch.lng"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QString selectedFilter;
    whenShown<QFileDialog>([&](QFileDialog* d) {
        selectedFilter = d->selectedNameFilter();
        d->selectFile("Deutsch.lng");
        static_cast<QDialog*>(d)->accept();
    });
    TFileDialogRequest r;
    r.Filter = "Text|*.txt|Language file|*.lng";
    r.FilterIndex = 2;
    r.InitialDir = dir.path();
    ASSERT_TRUE(service.OpenFile(r));
    EXPECT_EQ(selectedFilter, "Language file (*.lng)");
    EXPECT_EQ(r.FileName, QDir(dir.path()).absoluteFilePath("Deutsch.lng"));
    EXPECT_EQ(r.FilterIndex, 2);

    whenShown<QFileDialog>([](QFileDialog* d) { d->reject(); });
    TFileDialogRequest cancelled;
    cancelled.FileName = "keep.lng";
    EXPECT_FALSE(service.OpenFile(cancelled));
    EXPECT_EQ(cancelled.FileName, "keep.lng");
}

namespace {
QStringList g_logged;
void recordMessage(QtMsgType, const QMessageLogContext&, const QString& text) { g_logged << text; }
} // namespace

// The desktop cannot open the file (no launcher here): the caller tells the
// user, and Qt's own note of it reaches no terminal.
TEST(QtShellOpenQuiet, AFailedOpenSaysNothingOnTheTerminal)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Book1.xlsx"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit()); // no program to launch with
    g_logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordMessage);
    const bool opened = QtShellOpen().Open(file);
    qWarning("after");
    qInstallMessageHandler(previous);
    qputenv("PATH", path);
    EXPECT_FALSE(opened);
    EXPECT_EQ(g_logged, QStringList{"after"}) << "the handler of before is back";
}
