// Images: samples and colour spaces from bitmaps of every pixel format, and
// the pictures as a PDF reader renders them.
#include <gtest/gtest.h>

#include <QImage>

#include "PdfTestSupport.h"
#include "pdf/PdfQtImage.h"

using namespace fc::pdf;
using namespace fc::test;

namespace {

std::unique_ptr<TPdfImage> ImageOf(const QImage& img)
{
    const TPdfBitmap bmp = BitmapFromImage(img);
    return std::unique_ptr<TPdfImage>(CreatePdfImage(&bmp, QStringLiteral("Pdf-Bitmap")));
}

int Num(TPdfImage& im, const char* key) { return im.Attributes()->NumberByName(QString::fromLatin1(key))->Value(); }

// The lookup string of an indexed image.
QByteArray Lookup(TPdfImage& im)
{
    TPdfArray* cs = im.Attributes()->ArrayByName(QStringLiteral("ColorSpace"));
    if (!cs || cs->ItemCount() != 4)
        return QByteArray();
    return Bytes(*cs->Items(3));
}

QByteArray LookupOf(std::initializer_list<quint32> colours)
{
    QByteArray s("<");
    int n = 0;
    for (quint32 c : colours) {
        s += QByteArray::number((c >> 16) & 255, 16).rightJustified(2, '0').toUpper() + ' '
             + QByteArray::number((c >> 8) & 255, 16).rightJustified(2, '0').toUpper() + ' '
             + QByteArray::number(c & 255, 16).rightJustified(2, '0').toUpper() + ' ';
        ++n;
    }
    for (; n < 256; ++n)
        s += "00 00 00 ";
    return s + '>';
}

} // namespace

TEST(PdfImages, RgbImageWholeObject)
{
    QImage img(2, 1, QImage::Format_RGB888);
    img.setPixel(0, 0, qRgb(255, 0, 0));
    img.setPixel(1, 0, qRgb(0, 0, 255));
    auto im = ImageOf(img);
    static const char kExpected[] = "<<\r\n/Length 6\r\n/Filter []\r\n/Type /XObject\r\n/Subtype /Image\r\n"
                                    "/ColorSpace /DeviceRGB\r\n/Width 2\r\n/Height 1\r\n/BitsPerComponent 8\r\n>>\r\n"
                                    "stream\r\n\xFF\x00\x00\x00\x00\xFF\nendstream";
    EXPECT_EQ(Bytes(*im), QByteArray(kExpected, sizeof kExpected - 1));
}

TEST(PdfImages, PixelFormats)
{
    // 32 bits with alpha: the alpha byte is dropped, the colour kept.
    QImage argb(1, 2, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(10, 20, 30, 0));
    argb.setPixel(0, 1, qRgba(200, 100, 50, 128));
    auto a = ImageOf(argb);
    EXPECT_EQ(a->Stream(), QByteArray("\x0A\x14\x1E\xC8\x64\x32", 6));
    EXPECT_EQ(a->Attributes()->NameByName(QStringLiteral("ColorSpace"))->Value(), QStringLiteral("DeviceRGB"));

    // 16 and 15 bits give full-range 8-bit samples.
    QImage rgb16(1, 1, QImage::Format_RGB16);
    rgb16.setPixel(0, 0, qRgb(255, 255, 0));
    EXPECT_EQ(ImageOf(rgb16)->Stream(), QByteArray("\xFF\xFF\x00", 3));
    QImage rgb555(1, 1, QImage::Format_RGB555);
    rgb555.setPixel(0, 0, qRgb(0, 255, 255));
    EXPECT_EQ(ImageOf(rgb555)->Stream(), QByteArray("\x00\xFF\xFF", 3));

    // Indexed, 3 pixels wide: 3 bytes a row though rows are padded to 4.
    QImage idx(3, 2, QImage::Format_Indexed8);
    idx.setColorTable({qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)});
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            idx.setPixel(x, y, uint((x + y) % 3));
    auto i = ImageOf(idx);
    EXPECT_EQ(i->Stream(), QByteArray("\x00\x01\x02\x01\x02\x00", 6));
    EXPECT_EQ(Num(*i, "Width"), 3);
    EXPECT_EQ(Num(*i, "Height"), 2);
    EXPECT_EQ(Num(*i, "BitsPerComponent"), 8);
    TPdfArray* cs = i->Attributes()->ArrayByName(QStringLiteral("ColorSpace"));
    ASSERT_NE(cs, nullptr);
    const QByteArray csBytes = Bytes(*cs);
    EXPECT_TRUE(csBytes.startsWith("[/Indexed /DeviceRGB 255 <FF 00 00 00 FF 00 00 00 FF 00 00 00 "));
    EXPECT_TRUE(csBytes.endsWith("00 00 00 > ]"));
    // The short palette is filled with black up to 256 entries.
    EXPECT_EQ(Lookup(*i), LookupOf({0xFF0000, 0x00FF00, 0x0000FF}));
    EXPECT_EQ(Lookup(*i).size(), 2 + 256 * 9);

    // 1 bit: one byte per pixel, a 256-entry lookup.
    QImage mono(10, 1, QImage::Format_MonoLSB);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0);
    mono.setPixel(0, 0, 1);
    mono.setPixel(9, 0, 1);
    auto m = ImageOf(mono);
    EXPECT_EQ(m->Stream(), QByteArray("\x01\0\0\0\0\0\0\0\0\x01", 10));
    EXPECT_EQ(Lookup(*m), LookupOf({0x000000, 0xFFFFFF}));
}

TEST(PdfImages, FourBitBitmapBecomesIndexed)
{
    TPdfBitmap bmp(3, 1, pf4bit);
    bmp.ScanLine(0)[0] = 0x1F; // pixels 1, 15
    bmp.ScanLine(0)[1] = 0x70; // pixel 7
    bmp.Palette.assign(16, 0x123456);
    std::unique_ptr<TPdfImage> im(CreatePdfImage(&bmp, QStringLiteral("pdf-bitmap")));
    EXPECT_EQ(im->Stream(), QByteArray("\x01\x0F\x07", 3));
    EXPECT_TRUE(Lookup(*im).startsWith("<12 34 56 "));
    EXPECT_EQ(Lookup(*im).size(), 2 + 256 * 9);
}

TEST(PdfImages, Refusals)
{
    EXPECT_EQ(MessageOf([] { ImageOf(QImage()); }), QStringLiteral("CreateImage --the image has no pixels."));
    TPdfBitmap empty(0, 0, pf24bit);
    EXPECT_THROW(CreatePdfImage(&empty, QStringLiteral("Pdf-Bitmap")), EPdfInvalidImageFormat);
    TPdfBitmap noRows(5, 0, pf24bit);
    EXPECT_THROW(CreatePdfImage(&noRows, QStringLiteral("Pdf-Bitmap")), EPdfInvalidImageFormat);
    EXPECT_EQ(MessageOf([] { CreatePdfImage(nullptr, QStringLiteral("Pdf-Bitmap")); }),
              QStringLiteral("CreateImage --the picture is not a bitmap."));
    TPdfBitmap noPalette(2, 2, pf8bit);
    EXPECT_EQ(MessageOf([&] { CreatePdfImage(&noPalette, QStringLiteral("Pdf-Bitmap")); }),
              QStringLiteral("failed to get Palette.."));
    TPdfBitmap ok(1, 1, pf24bit);
    EXPECT_EQ(MessageOf([&] { CreatePdfImage(&ok, QStringLiteral("Pdf-Jpeg")); }),
              QStringLiteral("Class Pdf-Jpeg not found"));
    EXPECT_THROW(CreatePdfImage(&ok, QStringLiteral("Arial")), EClassNotFound); // a font is no image creator
    TPdfImageCreator base;
    EXPECT_EQ(base.CreateImage(&ok), nullptr);
}

TEST(PdfImages, ReaderRendersTheSamples)
{
    // Indexed 2 x 2 and RGB 2 x 1, each drawn 100 x 100 points: one pixel per
    // point at 72 dpi. Sample well inside each source pixel.
    QImage idx(2, 2, QImage::Format_Indexed8);
    idx.setColorTable({qRgb(0, 128, 0), qRgb(255, 255, 0), qRgb(0, 0, 255)});
    idx.setPixel(0, 0, 0);
    idx.setPixel(1, 0, 1);
    idx.setPixel(0, 1, 2);
    idx.setPixel(1, 1, 1);
    QImage rgb(2, 1, QImage::Format_RGB32);
    rgb.setPixel(0, 0, qRgb(255, 0, 0));
    rgb.setPixel(1, 0, qRgb(40, 80, 160));

    TPdfDoc doc;
    doc.NewDoc();
    doc.AddPage();
    doc.AddXObject(QStringLiteral("Imm1"), ImageOf(idx).release());
    doc.AddXObject(QStringLiteral("Imm2"), ImageOf(rgb).release());
    doc.GetCanvas()->DrawXObject(100, 642, 100, 100, QStringLiteral("Imm1")); // top 200 px from the top
    doc.GetCanvas()->DrawXObject(300, 642, 100, 100, QStringLiteral("Imm2"));
    const QByteArray pdf = doc.SaveToBytes();
    ExpectXrefConsistent(pdf);
    ExpectQpdfCheck(pdf);

    const Rendered r = RenderFirstPage(pdf);
    ASSERT_EQ(r.width, 596);
    ASSERT_EQ(r.height, 842);
    using C = std::array<int, 3>;
    const struct {
        int x, y;
        C rgb;
    } probes[] = {
        {120, 120, {0, 128, 0}},   {180, 120, {255, 255, 0}},
        {120, 180, {0, 0, 255}},   {180, 180, {255, 255, 0}},
        {320, 150, {255, 0, 0}},   {380, 150, {40, 80, 160}},
        {50, 50, {255, 255, 255}}, {250, 150, {255, 255, 255}},
    };
    for (const auto& p : probes) {
        const C got = r.at(p.x, p.y);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(got[k], p.rgb[k], 2) << p.x << "," << p.y;
    }
}
