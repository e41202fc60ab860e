#pragma once
// Pictures: JPEG decoded by libjpeg (errors come back as a message instead
// of ending the process), BMP, ICO and PNG through QImage.
#include <QByteArray>
#include <QImage>
#include <QString>

#include <QSize>

namespace fc {
// Whether a picture of that declared size is worth decoding: no side beyond
// 10000 pixels and at most 40 million pixels (an 8K screen, an A4 page at
// 600 dpi fit). Larger headers are refused before anything is allocated.
bool PictureSizeAllowed(QSize size);

// A null image and the decoder's message in error when the bytes are not a
// readable JPEG.
QImage DecodeJpeg(const QByteArray& bytes, QString* error = nullptr);
// A picture file by its extension (.jpg/.jpeg through libjpeg, .bmp, .ico,
// .png through QImage); a null image and a message when it cannot be read.
QImage LoadImageFile(const QString& path, QString* error = nullptr);
} // namespace fc
