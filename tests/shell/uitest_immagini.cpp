// Product pictures by family and version with their fall-backs, the JPEG
// scaling to the image window's box, the hover preview of a dropped-down
// list and the "Archivio" menu.
#include <QAbstractItemView>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include "ShellFixture.h"
#include "platform/JpegImage.h"
#include "platform/ShellOpen.h"
#include "ui_TDodedaVO.h" // read by the layout generator, which does not look into ShellFixture.h

using namespace fc::test;

namespace {

class ImmaginiTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        standardFolder();
        QDir().mkpath(dir.file("imgs"));
    }
    // A picture of w by h whose colour tells which file it came from.
    void jpeg(const QString& name, int w, int h, QColor colour = Qt::red)
    {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(colour);
        QDir().mkpath(QFileInfo(dir.file("imgs/" + name)).path());
        ASSERT_TRUE(img.save(dir.file("imgs/" + name), "JPG", 95)) << name.toStdString();
    }
    void miniLogo(int w, int h)
    {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(Qt::blue);
        ASSERT_TRUE(img.save(dir.file("imgs/MiniLogo.bmp"), "BMP"));
    }
    QSize shown() { return f().Immagine->pixmap().size(); }
    // Colour at the middle of the picture shown, to tell files apart.
    QColor middle()
    {
        const QImage img = f().Immagine->pixmap().toImage();
        return img.pixelColor(img.width() / 2, img.height() / 2);
    }
    static bool near(QColor a, QColor b)
    {
        return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 && std::abs(a.blue() - b.blue()) < 24;
    }
};

} // namespace

TEST_F(ImmaginiTest, JpegIsScaledToTheImageWindowBox)
{
    jpeg("wide.jpg", 400, 300);
    jpeg("tall.jpg", 300, 400);
    open();
    struct Row {
        const char* file;
        QSize box; // empty: no image window connected
        QSize expected;
    } rows[] = {
        {"wide", {}, {191, 150}},
        {"tall", {}, {120, 114}},
        {"wide", {300, 200}, {267, 154}},
        {"tall", {300, 200}, {150, 154}},
        {"wide", {400, 100}, {133, 54}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file);
        if (r.box.isValid())
            window->ImgsSize = [&] { return r.box; };
        window->caricaImmagine(r.file);
        EXPECT_EQ(shown(), r.expected);
        window->ImgsSize = nullptr;
    }
    EXPECT_EQ(window->ImgsBox(), QSize(200, 160));
}

TEST_F(ImmaginiTest, PicturesFollowFamilyAndVersionWithTheirFallBacks)
{
    jpeg("VENTO.jpg", 400, 300, Qt::red);
    jpeg("VENTO_MO.jpg", 300, 400, Qt::green);
    jpeg("CANAL.jpg", 400, 300, Qt::yellow);
    miniLogo(90, 40);
    open();
    // A version with its own picture.
    chooseVersion("MO");
    EXPECT_EQ(shown(), QSize(120, 114));
    EXPECT_TRUE(near(middle(), Qt::green));
    // A version without one: the family's picture.
    chooseVersion("I");
    EXPECT_EQ(shown(), QSize(191, 150));
    EXPECT_TRUE(near(middle(), Qt::red));
    // A family with its picture, then one without: MiniLogo unscaled.
    chooseFamily("CANAL");
    EXPECT_TRUE(near(middle(), Qt::yellow));
    chooseFamily("AEROTERMO");
    EXPECT_EQ(shown(), QSize(90, 40));
    EXPECT_TRUE(near(middle(), Qt::blue));
    // A version of a family with neither picture keeps what is shown.
    chooseFamily("CANAL");
    chooseVersion("P");
    EXPECT_TRUE(near(middle(), Qt::yellow));
    QFile::remove(dir.file("imgs/MiniLogo.bmp"));
    chooseFamily("AEROTERMO");
    EXPECT_TRUE(near(middle(), Qt::yellow));
    chooseVersion("V");
    EXPECT_TRUE(near(middle(), Qt::yellow));
    // A picture that does not decode is no picture: the previous one stays.
    dir.write("imgs/RICAMBIO.jpg", "not a jpeg");
    chooseFamily("RICAMBIO");
    EXPECT_TRUE(near(middle(), Qt::yellow));
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(ImmaginiTest, HoveringAnEntryOfADroppedDownListPreviewsItOnce)
{
    jpeg("CANAL.jpg", 400, 300, Qt::yellow);
    jpeg("VENTO_MO.jpg", 400, 300, Qt::green);
    jpeg("VENTO_X/2.jpg", 400, 300, Qt::magenta);
    open();
    window->show();
    QApplication::setActiveWindow(window.get());
    QPoint mouse;
    window->CursorPos = [&] { return mouse; };
    auto over = [&](TComboBox* box, int item) {
        QAbstractItemView* view = box->view();
        const QRect r = view->visualRect(view->model()->index(item, 0));
        mouse = view->viewport()->mapToGlobal(r.center());
    };

    // The family list.
    f().ListaFamiglie->setFocus();
    f().ListaFamiglie->showPopup();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->IdleHandler);
    over(f().ListaFamiglie, f().ListaFamiglie->findText("CANAL"));
    window->IdleHandler();
    EXPECT_TRUE(near(middle(), Qt::yellow));
    EXPECT_EQ(Stato.ultimaImmagine, "CANAL");
    // The same entry again loads nothing: a picture shown since stays.
    f().Immagine->clear();
    window->IdleHandler();
    EXPECT_TRUE(f().Immagine->pixmap().isNull());
    f().ListaFamiglie->hidePopup();
    // Outside the item box nothing happens.
    mouse = f().Avanti->mapToGlobal(QPoint(2, 2));
    window->IdleHandler();
    EXPECT_TRUE(f().Immagine->pixmap().isNull());

    // The version list: family + "_" + the entry, a slash kept as it is.
    f().ListaVersion->SetItems({"M", "MO", "X/2"});
    f().ListaVersion->SetItemIndex(0);
    f().ListaVersion->setFocus();
    f().ListaVersion->showPopup();
    QCoreApplication::processEvents();
    over(f().ListaVersion, 1);
    window->IdleHandler();
    EXPECT_EQ(Stato.ultimaImmagine, "VENTO_MO");
    EXPECT_TRUE(near(middle(), Qt::green));
    over(f().ListaVersion, 2);
    window->IdleHandler();
    EXPECT_EQ(Stato.ultimaImmagine, "VENTO_X/2");
    EXPECT_TRUE(near(middle(), Qt::magenta));
    f().ListaVersion->hidePopup();
    QCoreApplication::processEvents();
    // The hook stays while the list keeps the focus, and goes when it is left.
    EXPECT_TRUE(window->IdleHandler);
    f().Avanti->setFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->IdleHandler);
}

// The English program names no product and shows no Italian text.
TEST_F(ImmaginiTest, ArchiveMenuSpeaksEnglishWithTheEnglishTexts)
{
    standardFolder(true);
    open();
    ScopedRecordingShellOpen opener;
    opener.result = false;
    dir.write("pdf/Offerta.pdf", "%PDF-1.4\n");
    dir.write("docs/Manuale.txt", "manuale");
    struct Case {
        QAction* command;
        const char* file;
        const char* filter;
        const char* message;
    } cases[] = {
        {f().ReportPDFsalvati1, "pdf/Offerta.pdf", "PDF document (*.pdf)|*.pdf",
         "Cannot open the PDF file: no PDF viewer is set up on this desktop"},
        {f().Documentazione1, "docs/Manuale.txt", "File (*.*)|*.*",
         "Cannot open the file: no program for it is set up on this desktop"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        dialogs.clear();
        dialogs.answerFile(dir.file(c.file));
        c.command->trigger();
        ASSERT_EQ(dialogs.log().size(), 2u);
        EXPECT_EQ(dialogs.log()[0].file.Title, "Select the file to open");
        EXPECT_EQ(dialogs.log()[0].file.Filter, c.filter);
        const TMessageRequest& m = dialogs.log()[1].message;
        EXPECT_EQ(m.Caption, "Error");
        EXPECT_EQ(m.Text, c.message);
        EXPECT_EQ(m.Type, TMsgDlgType::mtWarning);
        for (const QString& t : {dialogs.log()[0].file.Filter, m.Caption, m.Text})
            for (const char* word : {"Acrobat", "Reader", "Impossibile", "Errore", "Documento"})
                EXPECT_FALSE(t.contains(QLatin1String(word))) << t.toStdString();
    }
}

TEST_F(ImmaginiTest, ArchiveMenuOpensDocumentsReportsAndPhotos)
{
    open();
    ScopedRecordingShellOpen opener;
    dir.write("pdf/Offerta.pdf", "%PDF-1.4\n");
    dir.write("docs/Manuale.txt", "manuale");
    jpeg("Foto.jpg", 30, 20, Qt::green);
    dir.write("imgs/Rotta.jpg", "no picture");

    // A saved report the desktop cannot open.
    opener.result = false;
    dialogs.answerFile(dir.file("pdf/Offerta.pdf"));
    f().ReportPDFsalvati1->trigger();
    ASSERT_EQ(dialogs.log().size(), 2u);
    const TFileDialogRequest& r = dialogs.log()[0].file;
    EXPECT_EQ(r.InitialDir, dir.path() + "pdf");
    EXPECT_EQ(r.Title, "Seleziona il file da aprire");
    EXPECT_EQ(r.Filter, "Documento Acrobat (*.pdf)|*.pdf");
    const TMessageRequest& m = dialogs.log()[1].message;
    EXPECT_EQ(m.Caption, "Errore");
    EXPECT_EQ(m.Text, "Impossibile eseguire Acrobat Reader");
    EXPECT_EQ(m.Type, TMsgDlgType::mtWarning);
    EXPECT_EQ(opener.opened, QStringList({dir.file("pdf/Offerta.pdf")}));

    // A document that opens; one that fails has its own message.
    dialogs.clear();
    opener.opened.clear();
    opener.result = true;
    dialogs.answerFile(dir.file("docs/Manuale.txt"));
    f().Documentazione1->trigger();
    EXPECT_EQ(opener.opened, QStringList({dir.file("docs/Manuale.txt")}));
    EXPECT_EQ(dialogs.log().at(0).file.InitialDir, dir.path() + "docs");
    EXPECT_EQ(dialogs.log().at(0).file.Filter, "File (*.*)|*.*");
    EXPECT_TRUE(dialogs.messages().isEmpty());
    opener.result = false;
    dialogs.answerFile(dir.file("docs/Manuale.txt"));
    f().Documentazione1->trigger();
    EXPECT_EQ(dialogs.messages(), QStringList({"Impossibile aprire il file"}));

    // Cancelled, or a file that is gone: nothing.
    dialogs.clear();
    opener.opened.clear();
    dialogs.answerFile(QString());
    f().Documentazione1->trigger();
    dialogs.answerFile(dir.file("docs/Sparito.pdf"));
    f().ReportPDFsalvati1->trigger();
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_TRUE(dialogs.messages().isEmpty());

    // A photo is shown unscaled; a file that is no picture clears the image.
    dialogs.answerFile(dir.file("imgs/Foto.jpg"));
    f().Fotoprodotti1->trigger();
    EXPECT_EQ(dialogs.log().back().file.InitialDir, dir.path() + "imgs");
    EXPECT_EQ(dialogs.log().back().file.Filter, "Jpeg Image (*.jpg)|*.jpg");
    EXPECT_EQ(shown(), QSize(30, 20));
    dialogs.answerFile(dir.file("imgs/Rotta.jpg"));
    f().Fotoprodotti1->trigger();
    EXPECT_TRUE(f().Immagine->pixmap().isNull());
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(ImmaginiTest, TheArchiveTitleIsTranslated)
{
    window.reset();
    standardFolder(true);
    open();
    dialogs.answerFile(QString());
    f().Documentazione1->trigger();
    ASSERT_FALSE(dialogs.log().empty());
    EXPECT_EQ(dialogs.log()[0].file.Title, "Select the file to open");
}

TEST_F(ImmaginiTest, DemoPicturesCoverEveryDemoFamilyAndVersion)
{
    // Copies of the shipped pictures, then every version of the demo catalogue chosen.
    for (const QString& name : QDir(dataFile("imgs")).entryList(QDir::Files))
        QFile::copy(dataFile("imgs/" + name), dir.file("imgs/" + name));
    for (const char* n : {"Logo.bmp", "Logo1.bmp", "MiniLogo.bmp", "MiniLogo1.bmp"})
        EXPECT_FALSE(fc::LoadImageFile(dir.file(QStringLiteral("imgs/") + n)).isNull()) << n;
    open();
    EXPECT_FALSE(f().Logo->pixmap().isNull());
    EXPECT_FALSE(f().Logo1->pixmap().isNull());
    for (const QString& family : f().ListaFamiglie->Items()) {
        SCOPED_TRACE(family.toStdString());
        chooseFamily(family);
        const QImage own = fc::LoadImageFile(dir.file("imgs/" + family + ".jpg"));
        ASSERT_EQ(own.size(), QSize(400, 300));
        EXPECT_EQ(shown(), QSize(191, 150));
        for (const QString& code : f().ListaVersion->Items()) {
            f().Immagine->clear();
            chooseVersion(code);
            EXPECT_EQ(shown(), QSize(191, 150)) << code.toStdString();
        }
    }
}
