#include "PdfQtImage.h"

#include <cstring>

namespace fc::pdf {

namespace {
void CopyRows(const QImage& img, TPdfBitmap& bmp, int bytesPerRow)
{
    for (int y = 0; y < img.height(); ++y)
        std::memcpy(bmp.ScanLine(y), img.constScanLine(y), size_t(bytesPerRow));
}

void CopyPalette(const QImage& img, TPdfBitmap& bmp)
{
    for (QRgb c : img.colorTable())
        bmp.Palette.push_back(quint32(c) & 0xFFFFFF);
}

// 16-bit pixels as little-endian words, whatever the host order.
void CopyWords(const QImage& img, TPdfBitmap& bmp)
{
    for (int y = 0; y < img.height(); ++y) {
        const auto* src = reinterpret_cast<const quint16*>(img.constScanLine(y));
        uchar* dst = bmp.ScanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            dst[2 * x] = uchar(src[x] & 0xFF);
            dst[2 * x + 1] = uchar(src[x] >> 8);
        }
    }
}
} // namespace

TPdfBitmap BitmapFromImage(const QImage& Image)
{
    if (Image.isNull())
        return TPdfBitmap();
    const int w = Image.width();
    const int h = Image.height();
    switch (Image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: {
        const QImage img = Image.convertToFormat(QImage::Format_Mono);
        TPdfBitmap bmp(w, h, pf1bit);
        CopyRows(img, bmp, (w + 7) / 8);
        CopyPalette(img, bmp);
        if (bmp.Palette.empty())
            bmp.Palette = {0x000000, 0xFFFFFF};
        return bmp;
    }
    case QImage::Format_Indexed8: {
        TPdfBitmap bmp(w, h, pf8bit);
        CopyRows(Image, bmp, w);
        CopyPalette(Image, bmp);
        return bmp;
    }
    case QImage::Format_RGB16: {
        TPdfBitmap bmp(w, h, pf16bit);
        CopyWords(Image, bmp);
        return bmp;
    }
    case QImage::Format_RGB555: {
        TPdfBitmap bmp(w, h, pf15bit);
        CopyWords(Image, bmp);
        return bmp;
    }
    case QImage::Format_BGR888: {
        TPdfBitmap bmp(w, h, pf24bit);
        CopyRows(Image, bmp, 3 * w);
        return bmp;
    }
    default: {
        // Straight (not premultiplied) colours, so that dropping alpha keeps them.
        const QImage img = Image.convertToFormat(Image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        TPdfBitmap bmp(w, h, pf32bit);
        for (int y = 0; y < h; ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            uchar* dst = bmp.ScanLine(y);
            for (int x = 0; x < w; ++x) {
                dst[4 * x] = uchar(qBlue(src[x]));
                dst[4 * x + 1] = uchar(qGreen(src[x]));
                dst[4 * x + 2] = uchar(qRed(src[x]));
                dst[4 * x + 3] = uchar(qAlpha(src[x]));
            }
        }
        return bmp;
    }
    }
}

} // namespace fc::pdf
