#include "PdfImages.h"

#include <cstring>
#include <memory>

#include "PdfFonts.h"
#include "platform/ClassRegistry.h"

// ---------------------------------------------------------------- bitmap

int TPdfBitmap::BitsPerPixel(TPdfPixelFormat Format)
{
    switch (Format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    }
    return 32;
}

TPdfBitmap::TPdfBitmap(int Width, int Height, TPdfPixelFormat PixelFormat)
    : FWidth(qMax(0, Width)), FHeight(qMax(0, Height)), FPixelFormat(PixelFormat)
{
    FBytesPerLine = int((qint64(FWidth) * BitsPerPixel(PixelFormat) + 31) / 32 * 4);
    FBits = QByteArray(qsizetype(FBytesPerLine) * FHeight, '\0');
}

// ---------------------------------------------------------------- creators

TPdfImage* TPdfImageCreator::CreateImage(const TPdfGraphic*) { return nullptr; }

namespace {

bool IsPaletteFormat(TPdfPixelFormat f) { return f == pf1bit || f == pf4bit || f == pf8bit; }

int PaletteIndex(const uchar* row, int x, TPdfPixelFormat f)
{
    switch (f) {
    case pf1bit: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case pf4bit: return (x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4;
    default: return row[x];
    }
}

uchar Expand5(int v) { return uchar((v << 3) | (v >> 2)); }
uchar Expand6(int v) { return uchar((v << 2) | (v >> 4)); }

// The red, green and blue of pixel x of a row, written at out.
char* PutRgb(char* out, const uchar* row, int x, TPdfPixelFormat f)
{
    uchar r = 0, g = 0, b = 0;
    switch (f) {
    case pf15bit: {
        const int w = row[2 * x] | (row[2 * x + 1] << 8);
        r = Expand5((w >> 10) & 31);
        g = Expand5((w >> 5) & 31);
        b = Expand5(w & 31);
        break;
    }
    case pf16bit: {
        const int w = row[2 * x] | (row[2 * x + 1] << 8);
        r = Expand5((w >> 11) & 31);
        g = Expand6((w >> 5) & 63);
        b = Expand5(w & 31);
        break;
    }
    case pf24bit:
        b = row[3 * x];
        g = row[3 * x + 1];
        r = row[3 * x + 2];
        break;
    default: // 32 bits: the fourth byte is dropped
        b = row[4 * x];
        g = row[4 * x + 1];
        r = row[4 * x + 2];
        break;
    }
    out[0] = char(r);
    out[1] = char(g);
    out[2] = char(b);
    return out + 3;
}

// [/Indexed /DeviceRGB 255 <RR GG BB ...>] of the first 256 palette entries;
// entries the palette does not have are black.
TPdfArray* PaletteColorSpace(const TPdfBitmap& Bitmap, int WorkingBitsPerPixel)
{
    if (WorkingBitsPerPixel != 8)
        throw EPdfInvalidImageFormat(QStringLiteral("only 8 bit color image is allowed."));
    if (Bitmap.Palette.empty())
        throw EPdfInvalidImageFormat(QStringLiteral("failed to get Palette.."));
    quint32 table[256] = {};
    for (size_t i = 0; i < Bitmap.Palette.size() && i < 256; ++i)
        table[i] = Bitmap.Palette[i] & 0xFFFFFF;
    QByteArray lookup;
    lookup.reserve(2 + 256 * 9);
    lookup.append('<');
    for (quint32 c : table) {
        for (int shift : {16, 8, 0}) {
            lookup.append(QByteArray::number((c >> shift) & 0xFF, 16).rightJustified(2, '0').toUpper());
            lookup.append(' ');
        }
    }
    lookup.append('>');
    auto* cs = new TPdfArray(nullptr);
    cs->AddItem(new TPdfName(QStringLiteral("Indexed")));
    cs->AddItem(new TPdfName(QStringLiteral("DeviceRGB")));
    cs->AddItem(new TPdfNumber(255));
    cs->AddItem(new TPdfBinary(lookup));
    return cs;
}

} // namespace

TPdfImage* TPdfBitmapImage::CreateImage(const TPdfGraphic* Graphic)
{
    const auto* bitmap = dynamic_cast<const TPdfBitmap*>(Graphic);
    if (!bitmap)
        throw EPdfInvalidImageFormat(QStringLiteral("CreateImage --the picture is not a bitmap."));
    // A PDF image needs at least one sample; an empty one is broken in readers.
    if (bitmap->Width() <= 0 || bitmap->Height() <= 0)
        throw EPdfInvalidImageFormat(QStringLiteral("CreateImage --the image has no pixels."));

    auto image = std::make_unique<TPdfImage>(nullptr);
    TPdfDictionary* attr = image->Attributes();
    attr->AddItem(QStringLiteral("Type"), new TPdfName(QStringLiteral("XObject")));
    attr->AddItem(QStringLiteral("Subtype"), new TPdfName(QStringLiteral("Image")));

    const int w = bitmap->Width();
    const int h = bitmap->Height();
    const TPdfPixelFormat f = bitmap->PixelFormat();
    QByteArray& data = image->Stream();
    if (IsPaletteFormat(f)) {
        data.resize(qsizetype(w) * h);
        char* out = data.data();
        for (int y = 0; y < h; ++y) {
            const uchar* row = bitmap->ScanLine(y);
            if (f == pf8bit) {
                std::memcpy(out, row, size_t(w));
                out += w;
                continue;
            }
            for (int x = 0; x < w; ++x)
                *out++ = char(PaletteIndex(row, x, f));
        }
        attr->AddItem(QStringLiteral("ColorSpace"), PaletteColorSpace(*bitmap, 8));
    } else {
        data.resize(qsizetype(w) * h * 3);
        char* out = data.data();
        for (int y = 0; y < h; ++y) {
            const uchar* row = bitmap->ScanLine(y);
            if (f == pf32bit) {
                for (int x = 0; x < w; ++x, row += 4, out += 3) {
                    out[0] = char(row[2]);
                    out[1] = char(row[1]);
                    out[2] = char(row[0]);
                }
                continue;
            }
            for (int x = 0; x < w; ++x)
                out = PutRgb(out, row, x, f);
        }
        // Once, where setting it after every row would leave it.
        attr->AddItem(QStringLiteral("ColorSpace"), new TPdfName(QStringLiteral("DeviceRGB")));
    }
    attr->AddItem(QStringLiteral("Width"), new TPdfNumber(w));
    attr->AddItem(QStringLiteral("Height"), new TPdfNumber(h));
    attr->AddItem(QStringLiteral("BitsPerComponent"), new TPdfNumber(8));
    return image.release();
}

namespace {
TPdfImageCreator* MakeBitmapImage() { return new TPdfBitmapImage; }
} // namespace

namespace fc::pdf {

TPdfImage* CreatePdfImage(const TPdfGraphic* Graphic, const QString& Alias)
{
    const TPdfImageCreatorClass cls = fc::FindClass<TPdfImageCreatorClass>(Alias);
    std::unique_ptr<TPdfImageCreator> creator(cls());
    return creator->CreateImage(Graphic);
}

void RegisterPdfImageClasses()
{
    fc::RegisterClass<TPdfImageCreatorClass>(QStringLiteral("Pdf-Bitmap"), &MakeBitmapImage);
}

void RegisterPdfClasses()
{
    RegisterPdfFontClasses();
    RegisterPdfImageClasses();
}

} // namespace fc::pdf
