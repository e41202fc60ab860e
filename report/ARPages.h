#pragma once
// The recorded pages of a laid-out report. A page keeps the drawing
// operations QPainter hands to a picture's paint engine as a compact list;
// pens, brushes, fonts, transforms and images are kept once for all pages
// of the report and named by index. A page is replayed on any painter as
// QPainter::drawPicture replays a picture: the same calls in the same
// order, so the same pixels, without serialising every record (and every
// logo) into a byte stream per page.
#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>
#include <QPolygonF>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QTransform>
#include <memory>
#include <vector>

class QPaintDevice;
class QPainter;
class QPicture;

namespace ar {

// What the pages of one report share.
struct PageResources {
    std::vector<QPen> pens;
    std::vector<QBrush> brushes;
    struct Font {
        QFont font;
        int ascent;           // as a picture's replay places a text
        qreal lineAscent;     // as a laid-out line of it places it
    };
    std::vector<Font> fonts;
    std::vector<QTransform> transforms;
    std::vector<QImage> images;
    std::vector<QPixmap> pixmaps;
    // Memory the tables take, each image once.
    qint64 Bytes() const;
};

class PageRecorder;

class Page {
public:
    explicit Page(std::shared_ptr<const PageResources> res) : res_(std::move(res)) {}

    // Draws the page with its origin at (x, y) of the painter, its screen
    // pixels mapped onto the device's resolution.
    void Play(QPainter& p, int x = 0, int y = 0) const;
    QRect BoundingRect() const { return rect_; }
    void SetBoundingRect(const QRect& r) { rect_ = r; }
    // Memory the page's own records take (the shared tables not counted).
    qint64 OwnBytes() const;
    int OperationCount() const { return int(ops_.size()); }

private:
    friend class PageRecorder;
    enum Kind : quint8 {
        SetPen,
        SetBrush,
        SetBrushOrigin,
        SetBackground, // index: brush, mode: background mode
        SetTransform,
        SetClipEnabled,
        SetClipRect, // a clip region of at most one rectangle
        SetClipRegion,
        SetClipPath,
        SetHints,
        SetComposition,
        SetOpacity,
        DrawRect,
        DrawLine,
        DrawPolygon, // mode: 0 odd-even, 1 winding, 2 polyline
        DrawEllipse,
        DrawPath,
        DrawPixmap,
        DrawTiledPixmap,
        DrawImage,
        DrawText,
    };
    // The geometry, or the numbers the kind names, as floats when they are
    // exactly floats (screen pixels mostly are), else in wide_ in turn.
    struct Op {
        Kind kind;
        quint8 mode;
        bool wide;
        qint32 index;
        float x, y, w, h;
    };
    struct Text {
        QString text;
        int font;
        // A justified text as a picture records it, for devices of another
        // resolution (laying it out again would stretch it anew).
        std::shared_ptr<QPicture> recorded;
    };
    struct Picture {
        int index; // into images or pixmaps
        QRectF source;
        quint32 flags;
    };
    void play(QPainter& p) const;
    void add(Kind k, quint8 mode, int index, const QRectF& r);
    void finish();

    std::shared_ptr<const PageResources> res_;
    QRect rect_;
    std::vector<Op> ops_;
    std::vector<QRectF> wide_;
    std::vector<Text> texts_;
    std::vector<QPainterPath> paths_;
    std::vector<QPolygonF> polygons_;
    std::vector<QRegion> regions_;
    std::vector<Picture> pictures_;
};

// Records pages: a paint device that QPainter treats as a picture, whose
// engine appends to the page being recorded.
class PageRecorder {
public:
    PageRecorder();
    ~PageRecorder();
    PageRecorder(const PageRecorder&) = delete;
    PageRecorder& operator=(const PageRecorder&) = delete;

    std::unique_ptr<Page> NewPage(const QRect& bounds);
    // The device that records into `page` (paint on it between
    // QPainter::begin and end).
    QPaintDevice* Device(Page* page, const QRect& bounds);
    const PageResources& Resources() const { return *res_; }

private:
    class Engine;
    class PageDevice;
    std::shared_ptr<PageResources> res_;
    std::unique_ptr<Engine> engine_;
    std::unique_ptr<PageDevice> device_;
};

} // namespace ar
