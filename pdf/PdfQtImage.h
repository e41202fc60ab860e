#pragma once
// The bitmap of a QImage, in the pixel layout the PDF image creator reads.

#include <QImage>

#include "PdfImages.h"

namespace fc::pdf {
// Mono and indexed images keep their palette (1 or 8 bits per pixel);
// RGB16 and RGB555 stay 16 and 15 bits, BGR888 24 bits; every other format
// becomes 32 bits with its alpha dropped. A null image gives an empty bitmap.
TPdfBitmap BitmapFromImage(const QImage& Image);
} // namespace fc::pdf
