// Pictures whose header claims a size beyond any screen or page are refused
// before anything is decoded or allocated.
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/JpegImage.h"

namespace {

QByteArray encoded(const char* format, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(30, 160, 60));
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter writer(&buf, format);
    EXPECT_TRUE(writer.write(img)) << format;
    return bytes;
}

// A small JPEG whose frame header (SOF0/SOF2) claims w x h.
QByteArray jpegClaiming(int w, int h)
{
    QByteArray bytes = encoded("JPEG", 16, 8);
    for (qsizetype i = 0; i + 9 < bytes.size(); ++i) {
        const auto m = uchar(bytes[i + 1]);
        if (uchar(bytes[i]) == 0xFF && (m == 0xC0 || m == 0xC2)) {
            bytes[i + 5] = char(h >> 8);
            bytes[i + 6] = char(h & 0xFF);
            bytes[i + 7] = char(w >> 8);
            bytes[i + 8] = char(w & 0xFF);
            return bytes;
        }
    }
    ADD_FAILURE() << "no frame header";
    return bytes;
}

// A PNG whose IHDR claims w x h (its checksum no longer matches, which the
// size check must not need to see).
QByteArray pngClaiming(int w, int h)
{
    QByteArray bytes = encoded("PNG", 16, 8);
    const qsizetype i = bytes.indexOf("IHDR");
    EXPECT_GT(i, 0);
    auto put = [&](qsizetype at, quint32 v) {
        for (int k = 0; k < 4; ++k)
            bytes[at + k] = char((v >> (24 - 8 * k)) & 0xFF);
    };
    put(i + 4, quint32(w));
    put(i + 8, quint32(h));
    return bytes;
}

} // namespace

TEST(Pictures, AHeaderBeyondAnyScreenOrPageIsRefusedBeforeDecoding)
{
    struct Case {
        const char* what;
        int w, h;
    } cases[] = {
        {"16384 x 16384", 16384, 16384},
        {"a strip wider than any page", 60000, 100},
        {"a column taller than any page", 100, 60000},
        {"both sides allowed, the area not", 9000, 9000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString err;
        QElapsedTimer t;
        t.start();
        EXPECT_TRUE(fc::DecodeJpeg(jpegClaiming(c.w, c.h), &err).isNull());
        EXPECT_LT(t.elapsed(), 1000) << "the picture was decoded";
        EXPECT_TRUE(err.contains(QStringLiteral("%1x%2").arg(c.w).arg(c.h))) << err.toStdString();

        QTemporaryDir dir;
        for (const auto& [name, bytes] : {std::pair{"big.jpg", jpegClaiming(c.w, c.h)},
                                          std::pair{"big.png", pngClaiming(c.w, c.h)}}) {
            QFile f(dir.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
            f.close();
            err.clear();
            t.restart();
            EXPECT_TRUE(fc::LoadImageFile(f.fileName(), &err).isNull()) << name;
            EXPECT_LT(t.elapsed(), 1000) << name;
            EXPECT_FALSE(err.isEmpty()) << name;
        }
    }
}

TEST(Pictures, PicturesOfScreenAndPageSizesStillLoad)
{
    EXPECT_TRUE(fc::PictureSizeAllowed(QSize(7680, 4320)));  // an 8K screen
    EXPECT_TRUE(fc::PictureSizeAllowed(QSize(4961, 7016)));  // A4 at 600 dpi
    EXPECT_FALSE(fc::PictureSizeAllowed(QSize(0, 10)));
    QString err;
    const QImage jpeg = fc::DecodeJpeg(encoded("JPEG", 640, 480), &err);
    EXPECT_EQ(jpeg.size(), QSize(640, 480)) << err.toStdString();
    // A header that claims a modest size decodes what the data hold.
    EXPECT_EQ(fc::DecodeJpeg(jpegClaiming(320, 200), &err).size(), QSize(320, 200)) << err.toStdString();

    QTemporaryDir dir;
    QFile f(dir.filePath("small.png"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(encoded("PNG", 40, 30));
    f.close();
    EXPECT_EQ(fc::LoadImageFile(f.fileName(), &err).size(), QSize(40, 30)) << err.toStdString();
}
