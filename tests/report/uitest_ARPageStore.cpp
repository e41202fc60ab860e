// The page store against QPicture: whatever is drawn onto a page comes back
// with the same pixels as from a picture it was recorded into, on a screen
// image at any scale and on a device of printer resolution; images shared
// by pages are kept once.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <functional>

#include "ARPages.h"
#include "ARUtils.h"
#include "platform/Font.h"
#include "platform/QtTextMeasurer.h"

namespace {

constexpr int W = 320, H = 220;

QImage logo()
{
    QImage img(40, 24, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x * 6, y * 10, (x ^ y) * 8));
    return img;
}

// The same logo as a report loads it for every page: equal pixels, an
// image of its own.
QImage reloaded(const QImage& img)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "BMP");
    return QImage::fromData(bytes, "BMP");
}

const char* kJustified =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20\\qj A justified paragraph of rich text that runs over "
    "several lines, so that the spaces of every line but the last are stretched to the width of the box.\\par}";

struct Case {
    const char* name;
    std::function<void(QPainter&)> draw;
};

const std::vector<Case>& cases()
{
    static const std::vector<Case> v = {
        {"canvas fills, frames, lines and clipped text",
         [](QPainter& p) {
             TCanvas c(&p);
             c.BrushColor = clYellow;
             c.FillRect(Rect(5, 5, 150, 60));
             c.PenColor = clRed;
             c.PenWidth = 3;
             c.Rectangle(Rect(10, 70, 120, 130));
             c.PenWidth = 1;
             c.BrushHollow = true;
             c.Rectangle(Rect(130, 70, 200, 130));
             c.Line(0, 140, 300, 150);
             c.PenWidth = 2;
             c.Line(20, 150, 20, 210);
             c.RoundRect(Rect(210, 10, 310, 80), 20, 20);
             c.Font = MakeFont(QStringLiteral("ARIAL"), 11, fsBold, clBlue);
             c.TextRect(Rect(12, 12, 90, 40), 14, 14, QStringLiteral("Clipped bold text"));
             c.Font = MakeFont(QStringLiteral("ARIAL"), 9, fsItalic | fsUnderline, clBlack);
             c.TextOut(30, 180, QStringLiteral("Underlined italic, 1 234,5 W"));
             {
                 TClipScope outer(c, Rect(200, 100, 300, 200));
                 TClipScope inner(c, Rect(150, 120, 260, 160));
                 c.BrushColor = clGreen;
                 c.FillRect(Rect(0, 0, W, H));
             }
         }},
        {"justified rich text",
         [](QPainter& p) {
             TCanvas c(&p);
             DrawRTF(c, QString::fromLatin1(kJustified), Rect(10, 10, 300, 200), true, ahLeft);
         }},
        {"images, once and scaled, and a pixmap tiled",
         [](QPainter& p) {
             const QImage img = logo();
             p.drawImage(QPoint(5, 5), img);
             p.drawImage(QRect(60, 5, 100, 60), reloaded(img));
             p.drawPixmap(QPointF(170.5, 5), QPixmap::fromImage(img));
             p.drawTiledPixmap(QRect(5, 100, 200, 90), QPixmap::fromImage(img), QPoint(3, 4));
         }},
        {"paths, polygons, ellipses, transforms, a region clip, opacity and hints",
         [](QPainter& p) {
             p.setRenderHint(QPainter::Antialiasing);
             p.setPen(QPen(Qt::darkMagenta, 2.5, Qt::DashLine));
             p.setBrush(QBrush(Qt::cyan, Qt::Dense4Pattern));
             p.setBackgroundMode(Qt::OpaqueMode);
             p.setBackground(Qt::lightGray);
             p.drawEllipse(QRectF(10.25, 10.75, 90, 50));
             const QPointF tri[3] = {{120, 10}, {200, 70}, {110, 80}};
             p.drawPolygon(tri, 3, Qt::WindingFill);
             p.drawPolyline(tri, 3);
             QPainterPath path;
             path.moveTo(220, 20);
             path.cubicTo(260, 0, 300, 80, 240, 90);
             path.closeSubpath();
             p.drawPath(path);
             p.setClipRegion(QRegion(0, 100, 200, 100) - QRegion(50, 120, 40, 40));
             p.setOpacity(0.6);
             p.translate(100, 150);
             p.rotate(-20);
             p.setFont(fc::ToQFont(MakeFont(QStringLiteral("ARIAL"), 12, fsBold, clBlack)));
             p.drawText(QPointF(-60, 0), QStringLiteral("Rotated text"));
             p.setCompositionMode(QPainter::CompositionMode_Multiply);
             p.fillRect(QRectF(-80, -30, 160, 50), QColor(255, 128, 0));
         }},
    };
    return v;
}

// The drawing as a screen image at a scale, or on an image of printer
// resolution (600 dpi).
QImage render(const std::function<void(QPainter&)>& play, double scale, bool printer)
{
    const double f = printer ? 600.0 / 96 : scale;
    QImage img(int(W * f) + 1, int(H * f) + 1, QImage::Format_RGB32);
    if (printer) {
        img.setDotsPerMeterX(qRound(600 / 0.0254));
        img.setDotsPerMeterY(qRound(600 / 0.0254));
    }
    img.fill(Qt::white);
    QPainter p(&img);
    if (!printer)
        p.scale(scale, scale);
    play(p);
    return img;
}

TEST(PageStore, PlaysBackWhatAPictureRecordedWithTheSamePixels)
{
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        QPicture pic;
        {
            QPainter p(&pic);
            c.draw(p);
        }
        ar::PageRecorder rec;
        const QRect sheet(0, 0, W, H);
        std::unique_ptr<ar::Page> page = rec.NewPage(sheet);
        {
            QPainter p(rec.Device(page.get(), sheet));
            c.draw(p);
        }
        EXPECT_GT(page->OperationCount(), 0);
        struct Way {
            const char* name;
            double scale;
            bool printer;
        } ways[] = {{"screen", 1, false}, {"zoomed", 2.5, false}, {"reduced", 0.75, false}, {"600 dpi", 1, true}};
        for (const Way& w : ways) {
            SCOPED_TRACE(w.name);
            const QImage want = render([&](QPainter& p) { p.drawPicture(7, 3, pic); }, w.scale, w.printer);
            const QImage got = render([&](QPainter& p) { page->Play(p, 7, 3); }, w.scale, w.printer);
            EXPECT_TRUE(got == want);
        }
    }
}

TEST(PageStore, AnImageOnEveryPageIsKeptOnce)
{
    const QImage big = [] {
        QImage img(300, 200, QImage::Format_RGB32);
        img.fill(qRgb(10, 20, 30));
        return img;
    }();
    ar::PageRecorder rec;
    const QRect sheet(0, 0, W, H);
    std::vector<std::unique_ptr<ar::Page>> pages;
    auto bytesWith = [&](int n) {
        while (int(pages.size()) < n) {
            pages.push_back(rec.NewPage(sheet));
            QPainter p(rec.Device(pages.back().get(), sheet));
            p.drawImage(QPoint(0, 0), reloaded(big));
        }
        return rec.Resources().Bytes();
    };
    const qint64 one = bytesWith(1), ten = bytesWith(10);
    EXPECT_GE(one, big.sizeInBytes());
    EXPECT_LT(ten - one, big.sizeInBytes() / 10);
    for (const auto& page : pages)
        EXPECT_LT(page->OwnBytes(), 1024);
}

} // namespace
