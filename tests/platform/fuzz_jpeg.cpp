// Fuzz harness: any bytes as a JPEG picture. Decoding gives a picture within
// the size bound or a null one with a message; it never crashes, hangs,
// allocates for a size the header only claims, or reads out of bounds.
#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <cstdlib>

#include "platform/JpegImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const QImage img = fc::DecodeJpeg(bytes, &error);
    if (img.isNull() ? error.isEmpty() : !fc::PictureSizeAllowed(img.size()))
        std::abort();
    return 0;
}
