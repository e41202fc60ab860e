#include "JpegImage.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <climits>
#include <csetjmp>
#include <cstdio>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace fc {
namespace {
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void onError(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

extern "C" void onMessage(j_common_ptr, int) {}

constexpr int kMaxSide = 10000;
constexpr qint64 kMaxPixels = 40'000'000;

QString tooLarge(qint64 w, qint64 h) { return QStringLiteral("Picture too large (%1x%2)").arg(w).arg(h); }
} // namespace

bool PictureSizeAllowed(QSize size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= kMaxSide && size.height() <= kMaxSide
        && qint64(size.width()) * size.height() <= kMaxPixels;
}

QImage DecodeJpeg(const QByteArray& bytes, QString* error)
{
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("Empty JPEG data");
        return {};
    }
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    err.message[0] = 0;
    // Everything the jump can skip lives outside this frame's automatic
    // objects with destructors.
    QImage* volatile result = new QImage;
    unsigned char* volatile rowBuf = nullptr;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        delete result;
        delete[] rowBuf;
        if (error)
            *error = QString::fromLocal8Bit(err.message);
        return {};
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()), (unsigned long)bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    // The header's size decides before the decoder allocates anything (a
    // progressive picture keeps all its coefficients in memory).
    if (!PictureSizeAllowed(QSize(int(qMin<JDIMENSION>(cinfo.image_width, INT_MAX)),
                                  int(qMin<JDIMENSION>(cinfo.image_height, INT_MAX))))) {
        const QString message = tooLarge(cinfo.image_width, cinfo.image_height);
        jpeg_destroy_decompress(&cinfo);
        delete result;
        if (error)
            *error = message;
        return {};
    }
    if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK)
        cinfo.out_color_space = JCS_CMYK;
    else
        cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const quint64 w = cinfo.output_width, h = cinfo.output_height;
    if (!PictureSizeAllowed(QSize(int(qMin<quint64>(w, INT_MAX)), int(qMin<quint64>(h, INT_MAX))))) {
        const QString message = tooLarge(qint64(w), qint64(h));
        jpeg_destroy_decompress(&cinfo);
        delete result;
        if (error)
            *error = message;
        return {};
    }
    *result = QImage(int(w), int(h), QImage::Format_RGB32);
    rowBuf = new unsigned char[size_t(w) * size_t(cinfo.output_components)];
    while (cinfo.output_scanline < cinfo.output_height) {
        unsigned char* rows[1] = {rowBuf};
        const int y = int(cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, rows, 1);
        auto* out = reinterpret_cast<QRgb*>(result->scanLine(y));
        for (quint64 x = 0; x < w; ++x) {
            const unsigned char* p = rowBuf + x * cinfo.output_components;
            if (cinfo.out_color_space == JCS_CMYK) {
                // Adobe writes inverted CMYK.
                const int k = p[3];
                out[x] = qRgb(p[0] * k / 255, p[1] * k / 255, p[2] * k / 255);
            } else {
                out[x] = qRgb(p[0], p[1], p[2]);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    QImage img = *result;
    delete result;
    delete[] rowBuf;
    return img;
}

QImage LoadImageFile(const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot open file %1").arg(path);
        return {};
    }
    const QByteArray bytes = f.readAll();
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return DecodeJpeg(bytes, error);
    const char* format = ext == QLatin1String("bmp") ? "BMP"
                         : ext == QLatin1String("ico") ? "ICO"
                         : ext == QLatin1String("png") ? "PNG"
                                                        : nullptr;
    QImage img;
    if (!format) {
        if (error)
            *error = QStringLiteral("Cannot read picture %1").arg(path);
        return {};
    }
    QBuffer buffer(const_cast<QByteArray*>(&bytes));
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize declared = reader.size();
    if (declared.isValid() && !PictureSizeAllowed(declared)) {
        if (error)
            *error = tooLarge(declared.width(), declared.height());
        return {};
    }
    if (!reader.read(&img)) {
        if (error)
            *error = QStringLiteral("Cannot read picture %1").arg(path);
        return {};
    }
    return img;
}
} // namespace fc
