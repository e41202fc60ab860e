#pragma once
// Pictures: JPEG decoded by libjpeg (errors come back as a message instead
// of ending the process), BMP, ICO and PNG through QImage.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace fc {
// A null image and the decoder's message in error when the bytes are not a
// readable JPEG.
QImage DecodeJpeg(const QByteArray& bytes, QString* error = nullptr);
// A picture file by its extension (.jpg/.jpeg through libjpeg, .bmp, .ico,
// .png through QImage); a null image and a message when it cannot be read.
QImage LoadImageFile(const QString& path, QString* error = nullptr);
} // namespace fc
