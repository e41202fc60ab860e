// The image window: bounds kept in select.ini, the picture that follows the
// window's size, percentage scaling and the one-page print.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <vector>

#include "TestSupport.h"
#include "components/Lang.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "shell/VisImage.h"

namespace {

using fc::test::ScopedProgramFolder;

QImage filled(int w, int h, QColor colour = Qt::blue)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Records the job instead of printing.
class FakeImagePrinter : public IImagePrinter {
public:
    bool confirm = true;
    bool failDraw = false;
    QSize page{4960, 7016};
    int executed = 0, begun = 0, ended = 0;
    std::vector<QRect> drawn;
    QSize drawnImage;

    bool Execute(QWidget*) override
    {
        ++executed;
        return confirm;
    }
    void BeginDoc() override { ++begun; }
    QSize PageSize() const override { return page; }
    void StretchDraw(const QRect& rect, const QImage& image) override
    {
        if (failDraw)
            throw Exception(QStringLiteral("out of paper"));
        drawn.push_back(rect);
        drawnImage = image.size();
    }
    void EndDoc() override { ++ended; }
};

class ImageWindow : public ::testing::Test {
protected:
    ScopedProgramFolder folder;
    ScopedScriptedDialogs dialogs;

    QString ini() const { return folder.file("select.ini"); }
};

TEST_F(ImageWindow, WithoutSettingsIsTwoHundredByOneHundredSixtyAtTheOrigin)
{
    int calls = 0;
    QSize seen;
    TImgs* reachable = nullptr;
    TImgs imgs([&](TImgs& w) {
        ++calls;
        seen = QSize(w.Width(), w.Height());
        reachable = Imgs;
    });
    EXPECT_EQ(calls, 1);
    // The main window scales the first picture to the restored box.
    EXPECT_EQ(seen, QSize(200, 160));
    EXPECT_EQ(reachable, &imgs);
    EXPECT_EQ(imgs.Left(), 0);
    EXPECT_EQ(imgs.Top(), 0);
    EXPECT_EQ(imgs.Width(), 200);
    EXPECT_EQ(imgs.Height(), 160);
    EXPECT_FALSE(imgs.isVisible());
    // Creating the window writes nothing.
    EXPECT_FALSE(QFile::exists(ini()));
}

TEST_F(ImageWindow, BoundsComeFromTheFourKeys)
{
    struct Case {
        const char* text;
        QRect bounds;     // left, top, width, height
        QStringList told; // the keys said to be wrong, in one message
    } cases[] = {
        {"[Default]\r\nVisImagesW=400\r\nVisImagesH=300\r\n", QRect(0, 0, 400, 300), {}},
        {"[default]\nvisimagesx=15\nVISIMAGESY=25\nVisImagesH=300\nVisImagesW=400\n", QRect(15, 25, 400, 300), {}},
        {"[Default]\nVisImagesW=$190\nVisImagesH=wide\n", QRect(0, 0, 400, 160), {"VisImagesH=wide"}},
        {"[Other]\nVisImagesW=400\n", QRect(0, 0, 200, 160), {}},
        // A size no window has, a place off every desktop.
        {"[Default]\nVisImagesW=-5\nVisImagesH=0\nVisImagesX=99999999\n", QRect(0, 0, 200, 160),
         {"VisImagesW=-5", "VisImagesH=0", "VisImagesX=99999999"}},
    };
    for (const Case& c : cases) {
        dialogs.clear();
        folder.write("select.ini", c.text);
        QSize seen;
        TImgs imgs([&](TImgs& w) { seen = QSize(w.Width(), w.Height()); });
        EXPECT_EQ(QRect(imgs.Left(), imgs.Top(), imgs.Width(), imgs.Height()), c.bounds) << c.text;
        EXPECT_EQ(seen, c.bounds.size()) << c.text;
        if (c.told.isEmpty()) {
            EXPECT_TRUE(dialogs.messages().isEmpty()) << c.text;
        } else {
            ASSERT_EQ(dialogs.messages().size(), 1) << c.text;
            for (const QString& k : c.told)
                EXPECT_TRUE(dialogs.messages().front().contains(k)) << k.toStdString();
        }
    }
}

TEST_F(ImageWindow, AFailingCreationHookIsShownAndTheWindowStands)
{
    folder.write("select.ini", "[Default]\nVisImagesW=300\n");
    TImgs imgs([](TImgs&) { throw Exception(QStringLiteral("'x' is not a valid integer value")); });
    EXPECT_EQ(dialogs.messages(), QStringList{"'x' is not a valid integer value"});
    EXPECT_EQ(imgs.Width(), 300);
    EXPECT_EQ(Imgs, &imgs);
}

TEST_F(ImageWindow, DeactivationWritesTheBoundsAndKeepsTheRestOfTheFile)
{
    const QByteArray before = "; settings\r\n[Language]\r\nmyLang=Italiano.lng\r\n[Default]\r\nCTABS=20,5\r\nVisImagesW=250\r\n";
    folder.write("select.ini", before);
    {
        TImgs imgs;
        EXPECT_EQ(imgs.Width(), 250);
        imgs.move(30, 40);
        imgs.resize(400, 300);
        imgs.FormDeactivate();
    }
    const fc::IniFile file(ini());
    EXPECT_EQ(file.ReadString("Default", "VisImagesX", ""), "30");
    EXPECT_EQ(file.ReadString("Default", "VisImagesY", ""), "40");
    EXPECT_EQ(file.ReadString("Default", "VisImagesH", ""), "300");
    EXPECT_EQ(file.ReadString("Default", "VisImagesW", ""), "400");
    EXPECT_EQ(file.ReadString("Default", "CTABS", ""), "20,5");
    EXPECT_TRUE(fc::test::readFile(ini()).startsWith("; settings\r\n[Language]\r\nmyLang=Italiano.lng\r\n"));

    TImgs again;
    EXPECT_EQ(QRect(again.Left(), again.Top(), again.Width(), again.Height()), QRect(30, 40, 400, 300));
}

TEST_F(ImageWindow, DeactivationThatCannotSaveRaisesTheFileError)
{
    TImgs imgs;
    // A folder where the file should be: the save fails, nothing is claimed.
    QDir().mkpath(ini());
    EXPECT_THROW(imgs.FormDeactivate(), EFileError);
}

TEST(ScalePercentBmp, ChangesEachSideByItsRoundedShare)
{
    struct Case {
        int w, h, percent;
        QSize expected;
    } cases[] = {
        {100, 50, 0, {100, 50}},
        {100, 50, 10, {110, 55}},
        {100, 50, -10, {90, 45}},
        {100, 50, 100, {200, 100}},
        // Halves go away from zero: 4.5 -> 5, 1.5 -> 2, -0.5 -> -1.
        {30, 10, 15, {35, 12}},
        {10, 10, 5, {11, 11}},
        {10, 10, -5, {9, 9}},
        // A change that rounds to 0 in either direction changes nothing.
        {100, 4, 10, {100, 4}},
        {9, 100, 5, {9, 100}},
        // No area left: the picture stays as it was.
        {100, 50, -100, {100, 50}},
        {100, 50, -150, {100, 50}},
    };
    for (const Case& c : cases) {
        QImage image = filled(c.w, c.h);
        TImgs::ScalePercentBmp(image, c.percent);
        EXPECT_EQ(image.size(), c.expected) << c.w << "x" << c.h << " " << c.percent << "%";
    }
    QImage empty;
    TImgs::ScalePercentBmp(empty, 50);
    EXPECT_TRUE(empty.isNull());
}

TEST(ScalePercentBmp, StretchesThePicture)
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixelColor(0, 0, Qt::red);
    image.setPixelColor(1, 0, Qt::green);
    image.setPixelColor(0, 1, Qt::blue);
    image.setPixelColor(1, 1, Qt::white);
    TImgs::ScalePercentBmp(image, 300);
    ASSERT_EQ(image.size(), QSize(8, 8));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(7, 0), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(0, 7), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(7, 7), QColor(Qt::white));
}

TEST_F(ImageWindow, PictureFollowsTheWindowSize)
{
    TImgs imgs;
    imgs.FormShow(); // no picture: nothing to do
    EXPECT_TRUE(imgs.Bitmap().isNull());

    // 200 x 160 over 100 x 100: the height decides, 160 %.
    imgs.SetBitmap(filled(100, 100));
    imgs.FormShow();
    EXPECT_EQ(imgs.Bitmap().size(), QSize(160, 160));
    EXPECT_EQ(imgs.Image1()->pixmap().size(), QSize(160, 160));
    imgs.FormShow(); // fits already
    EXPECT_EQ(imgs.Bitmap().size(), QSize(160, 160));

    // 12.5 % rounds half to even: 12 %, so -88 %.
    imgs.SetBitmap(filled(1600, 1000));
    imgs.FormShow();
    EXPECT_EQ(imgs.Bitmap().size(), QSize(192, 120));

    // A window too small for any picture keeps the picture.
    imgs.SetBitmap(filled(1000, 1000));
    imgs.resize(2, 2);
    imgs.FormShow();
    EXPECT_EQ(imgs.Bitmap().size(), QSize(1000, 1000));
}

TEST_F(ImageWindow, ResizingTheShownWindowRescalesTheScaledPicture)
{
    TImgs imgs;
    imgs.SetBitmap(filled(100, 100));
    imgs.show();
    QApplication::processEvents();
    EXPECT_EQ(imgs.Bitmap().size(), QSize(160, 160));
    imgs.resize(400, 300);
    QApplication::processEvents();
    // 300 / 160 = 1.875: 188 %, 160 * 88 / 100 = 140.8 -> 141.
    EXPECT_EQ(imgs.Bitmap().size(), QSize(301, 301));
    imgs.Esci1Click();
    EXPECT_FALSE(imgs.isVisible());
}

TEST(FitPictureToPage, Table)
{
    struct Case {
        QSize picture, page;
        QSize expected;
    } cases[] = {
        // Smaller both ways: enlarged by the width, or by the height when taller than wide.
        {{100, 50}, {1000, 800}, {1000, 500}},
        {{50, 100}, {1000, 800}, {400, 800}},
        {{300, 100}, {1000, 1000}, {1000, 333}},
        // A square is "not taller": by the width, then brought back by the height.
        {{100, 100}, {1000, 800}, {800, 800}},
        // Enlarged by the height, then too wide for a narrow page.
        {{90, 100}, {100, 1000}, {100, 111}},
        // Larger than the page.
        {{2000, 1000}, {1000, 800}, {1000, 500}},
        {{300, 200}, {200, 800}, {200, 133}},
        {{200, 300}, {800, 200}, {133, 200}},
        {{1000, 2000}, {1000, 800}, {400, 800}},
        {{3000, 3000}, {1000, 800}, {800, 800}},
        // The page size itself, or as wide as the page: left as it is.
        {{1000, 800}, {1000, 800}, {1000, 800}},
        {{1000, 400}, {1000, 800}, {1000, 400}},
    };
    for (const Case& c : cases) {
        const QRect r = fc::FitPictureToPage(c.picture, c.page);
        EXPECT_EQ(r.topLeft(), QPoint(0, 0));
        EXPECT_EQ(r.size(), c.expected) << c.picture.width() << "x" << c.picture.height() << " on "
                                        << c.page.width() << "x" << c.page.height();
    }
    EXPECT_TRUE(fc::FitPictureToPage({0, 100}, {1000, 800}).isEmpty());
    EXPECT_TRUE(fc::FitPictureToPage({100, 100}, {0, 0}).isEmpty());
}

TEST_F(ImageWindow, PrintDrawsTheFittedPictureOnceConfirmed)
{
    TImgs imgs;
    imgs.SetBitmap(filled(100, 50));
    auto owned = std::make_unique<FakeImagePrinter>();
    FakeImagePrinter& printer = *owned;
    printer.page = QSize(1000, 800);
    imgs.SetPrinter(std::move(owned));

    printer.confirm = false;
    imgs.Stampa1Click();
    EXPECT_EQ(printer.executed, 1);
    EXPECT_EQ(printer.begun, 0);

    printer.confirm = true;
    imgs.Stampa1Click();
    EXPECT_EQ(printer.begun, 1);
    EXPECT_EQ(printer.ended, 1);
    ASSERT_EQ(printer.drawn.size(), 1u);
    EXPECT_EQ(printer.drawn[0], QRect(0, 0, 1000, 500));
    EXPECT_EQ(printer.drawnImage, QSize(100, 50));

    // A drawing that fails still ends the job, and the failure is reported.
    printer.failDraw = true;
    EXPECT_THROW(imgs.Stampa1Click(), Exception);
    EXPECT_EQ(printer.begun, 2);
    EXPECT_EQ(printer.ended, 2);

    // Through the menu the failure is shown and the window goes on.
    imgs.findChild<QAction*>("Stampa1")->trigger();
    EXPECT_EQ(dialogs.messages(), QStringList{"out of paper"});
    EXPECT_EQ(printer.ended, 3);

    // Nothing to print: no job, no blank page.
    printer.failDraw = false;
    imgs.SetBitmap(QImage());
    imgs.Stampa1Click();
    EXPECT_EQ(printer.begun, 3);
    EXPECT_EQ(printer.drawn.size(), 1u);
}

TEST_F(ImageWindow, QtPrinterDrawsOnAPageAndReportsAJobThatCannotStart)
{
    {
        QtImagePrinter printer;
        printer.Printer().setOutputFormat(QPrinter::PdfFormat);
        printer.Printer().setOutputFileName(folder.file("picture.pdf"));
        printer.BeginDoc();
        const QSize page = printer.PageSize();
        EXPECT_GT(page.width(), 1000);
        EXPECT_GT(page.height(), page.width());
        printer.StretchDraw(fc::FitPictureToPage({100, 50}, page), filled(100, 50));
        printer.EndDoc();
    }
    EXPECT_TRUE(fc::test::readFile(folder.file("picture.pdf")).startsWith("%PDF"));

    QtImagePrinter printer;
    printer.Printer().setOutputFormat(QPrinter::PdfFormat);
    printer.Printer().setOutputFileName(folder.file("missing/folder/picture.pdf"));
    EXPECT_THROW(printer.BeginDoc(), Exception);
    EXPECT_THROW(printer.StretchDraw(QRect(0, 0, 10, 10), filled(10, 10)), Exception);
    printer.EndDoc(); // nothing started: nothing to end
}

TEST_F(ImageWindow, LayoutAndTranslation)
{
    TImgs imgs;
    EXPECT_EQ(imgs.objectName(), "Imgs");
    EXPECT_EQ(imgs.windowTitle(), "Immagine");
    EXPECT_TRUE(imgs.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(imgs.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    auto* menu = imgs.findChild<QMenu*>("File1");
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->title(), "File");
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->objectName(), "Stampa1");
    EXPECT_EQ(menu->actions()[0]->text(), "Stampa");
    EXPECT_EQ(menu->actions()[1]->objectName(), "Esci1");
    EXPECT_EQ(menu->actions()[1]->text(), "Esci");
    EXPECT_TRUE(imgs.findChild<QMenuBar*>("MainMenu1"));

    folder.write("English.lng", fc::test::readFile(fc::test::testDataDir() + "../../data/English.lng"));
    TLanguage language;
    language.SetLanguageFile(folder.file("English.lng"));
    language.SetSeparator(",");
    language.SetProperties({"Imgs.Caption", "Imgs.File1.Caption", "Imgs.Stampa1.Caption", "Imgs.Esci1.Caption"});
    language.Translate();
    EXPECT_EQ(imgs.windowTitle(), "Image");
    EXPECT_EQ(menu->title(), "File");
    EXPECT_EQ(menu->actions()[0]->text(), "Print");
    EXPECT_EQ(menu->actions()[1]->text(), "Exit");
}

} // namespace
