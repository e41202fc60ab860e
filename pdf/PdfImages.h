#pragma once
// Bitmaps as PDF image XObjects: uncompressed 8-bit samples, indexed through
// a 256-entry palette or RGB. Creators are found by alias in the class
// registry; "Pdf-Bitmap" is the one the program uses.

#include <QByteArray>
#include <QString>
#include <vector>

#include "PdfTypes.h"

// Anything an image creator can turn into an image.
class TPdfGraphic {
public:
    virtual ~TPdfGraphic() = default;
};

enum TPdfPixelFormat { pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

// A device-independent bitmap: rows from the top, each padded to a multiple
// of 4 bytes; 1-bit pixels high bit first, 4-bit high nibble first; 15-bit
// x1R5G5B5 and 16-bit R5G6B5 little-endian words; 24-bit blue, green, red;
// 32-bit blue, green, red and an unused byte. Palette entries as 0xRRGGBB.
class TPdfBitmap : public TPdfGraphic {
public:
    TPdfBitmap() = default;
    TPdfBitmap(int Width, int Height, TPdfPixelFormat PixelFormat);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    TPdfPixelFormat PixelFormat() const { return FPixelFormat; }
    int BytesPerLine() const { return FBytesPerLine; }
    uchar* ScanLine(int Row) { return reinterpret_cast<uchar*>(FBits.data()) + qsizetype(Row) * FBytesPerLine; }
    const uchar* ScanLine(int Row) const
    {
        return reinterpret_cast<const uchar*>(FBits.constData()) + qsizetype(Row) * FBytesPerLine;
    }
    std::vector<quint32> Palette;

    static int BitsPerPixel(TPdfPixelFormat Format);

private:
    int FWidth = 0;
    int FHeight = 0;
    TPdfPixelFormat FPixelFormat = pf24bit;
    int FBytesPerLine = 0;
    QByteArray FBits;
};

class TPdfImageCreator {
public:
    virtual ~TPdfImageCreator() = default;
    // The image of Graphic, owned by the caller; nullptr in the base class.
    virtual TPdfImage* CreateImage(const TPdfGraphic* Graphic);
};

class TPdfBitmapImage : public TPdfImageCreator {
public:
    TPdfImage* CreateImage(const TPdfGraphic* Graphic) override;
};

// What the class registry holds under a creator alias.
using TPdfImageCreatorClass = TPdfImageCreator* (*)();

namespace fc::pdf {
// The image of Graphic made by the creator registered under Alias.
TPdfImage* CreatePdfImage(const TPdfGraphic* Graphic, const QString& Alias);
// Registers "Pdf-Bitmap".
void RegisterPdfImageClasses();
// Fonts and image creator: run once at start-up, before any document.
void RegisterPdfClasses();
} // namespace fc::pdf
