#include "ARPages.h"

#include <QColorSpace>
#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainter>
#include <QPicture>
#include <QTextItem>

namespace ar {

namespace {

// The resolution a picture records in (the default screen resolution).
int recordDpiX()
{
    static const int dpi = QPicture().logicalDpiX();
    return dpi;
}
int recordDpiY()
{
    static const int dpi = QPicture().logicalDpiY();
    return dpi;
}

template <class T>
int indexOf(std::vector<T>& table, const T& v)
{
    // Recent entries first: a page changes among a few pens and brushes.
    for (size_t i = table.size(); i-- > 0;)
        if (table[i] == v)
            return int(i);
    table.push_back(v);
    return int(table.size() - 1);
}

qint64 stringBytes(const QString& s) { return qint64(sizeof(QString)) + (s.capacity() ? 16 + 2 * (s.capacity() + 1) : 0); }

qint64 pathBytes(const QPainterPath& p)
{
    return qint64(sizeof(QPainterPath)) + 64 + qint64(p.elementCount()) * qint64(sizeof(QPainterPath::Element));
}

} // namespace

qint64 PageResources::Bytes() const
{
    // Pens, brushes and fonts with their private data (estimated from
    // what Qt allocates for a plain pen, brush and font).
    qint64 n = qint64(pens.capacity()) * qint64(sizeof(QPen) + 64) +
               qint64(brushes.capacity()) * qint64(sizeof(QBrush) + 48) +
               qint64(fonts.capacity()) * qint64(sizeof(Font) + 256) +
               qint64(transforms.capacity()) * qint64(sizeof(QTransform));
    std::vector<qint64> seen;
    for (const QImage& img : images) {
        n += qint64(sizeof(QImage));
        const qint64 key = img.cacheKey() >> 32; // the image's data, not its serial
        if (std::find(seen.begin(), seen.end(), key) == seen.end()) {
            seen.push_back(key);
            n += img.sizeInBytes() + 128;
        }
    }
    for (const QPixmap& pm : pixmaps)
        n += qint64(sizeof(QPixmap)) + 128 + qint64(pm.width()) * pm.height() * pm.depth() / 8;
    return n;
}

qint64 Page::OwnBytes() const
{
    qint64 n = qint64(sizeof(Page)) + qint64(ops_.capacity()) * qint64(sizeof(Op)) + qint64(wide_.capacity()) * qint64(sizeof(QRectF)) +
               qint64(texts_.capacity()) * qint64(sizeof(Text)) + qint64(paths_.capacity() - paths_.size()) * qint64(sizeof(QPainterPath)) +
               qint64(polygons_.capacity()) * qint64(sizeof(QPolygonF)) + qint64(regions_.capacity()) * qint64(sizeof(QRegion)) +
               qint64(pictures_.capacity()) * qint64(sizeof(Picture));
    for (const Text& t : texts_)
        n += stringBytes(t.text) - qint64(sizeof(QString));
    for (const QPainterPath& p : paths_)
        n += pathBytes(p);
    for (const QPolygonF& p : polygons_)
        n += 16 + qint64(p.capacity()) * qint64(sizeof(QPointF));
    for (const QRegion& r : regions_)
        n += 48 + qint64(r.rectCount()) * qint64(sizeof(QRect));
    return n;
}

void Page::add(Kind k, quint8 mode, int index, const QRectF& r)
{
    Op op{k, mode, false, qint32(index), float(r.x()), float(r.y()), float(r.width()), float(r.height())};
    if (double(op.x) != r.x() || double(op.y) != r.y() || double(op.w) != r.width() || double(op.h) != r.height()) {
        op.wide = true;
        wide_.push_back(r);
    }
    ops_.push_back(op);
}

void Page::finish()
{
    ops_.shrink_to_fit();
    wide_.shrink_to_fit();
    texts_.shrink_to_fit();
    paths_.shrink_to_fit();
    polygons_.shrink_to_fit();
    regions_.shrink_to_fit();
    pictures_.shrink_to_fit();
}

// ---- recording ----

class PageRecorder::Engine : public QPaintEngine {
public:
    Engine() : QPaintEngine(AllFeatures) {}
    PageResources* res = nullptr;
    Page* page = nullptr;

    bool begin(QPaintDevice*) override
    {
        setActive(true);
        return true;
    }
    bool end() override
    {
        if (page)
            page->finish();
        setActive(false);
        return true;
    }
    // A picture's engine: QPainter treats the device exactly as a picture
    // (and the report's canvas records onto it as onto one).
    Type type() const override { return QPaintEngine::Picture; }

    void updateState(const QPaintEngineState& s) override
    {
        // In the order a picture records them; a font change needs no record
        // as every text names its font.
        const DirtyFlags f = s.state();
        if (f & DirtyPen)
            add(Page::SetPen, 0, indexOf(res->pens, s.pen()));
        if (f & DirtyBrush)
            add(Page::SetBrush, 0, indexOf(res->brushes, s.brush()));
        if (f & DirtyBrushOrigin)
            add(Page::SetBrushOrigin, 0, 0, QRectF(s.brushOrigin(), QSizeF()));
        if (f & DirtyBackground)
            add(Page::SetBackground, quint8(s.backgroundMode()), indexOf(res->brushes, QBrush(s.backgroundBrush().color())));
        if (f & DirtyTransform) {
            const QTransform t = s.transform();
            int i = int(res->transforms.size()) - 1;
            if (i < 0 || res->transforms[size_t(i)] != t)
                i = indexOf(res->transforms, t);
            add(Page::SetTransform, 0, i);
        }
        if (f & DirtyClipEnabled)
            add(Page::SetClipEnabled, s.isClipEnabled() ? 1 : 0, 0);
        if (f & DirtyClipRegion) {
            const QRegion rg = s.clipRegion();
            if (rg.rectCount() <= 1) {
                add(Page::SetClipRect, quint8(s.clipOperation()), 0, QRectF(rg.boundingRect()));
            } else {
                page->regions_.push_back(rg);
                add(Page::SetClipRegion, quint8(s.clipOperation()), int(page->regions_.size() - 1));
            }
        }
        if (f & DirtyClipPath) {
            page->paths_.push_back(s.clipPath());
            add(Page::SetClipPath, quint8(s.clipOperation()), int(page->paths_.size() - 1));
        }
        if (f & DirtyHints)
            add(Page::SetHints, 0, int(s.renderHints()));
        if (f & DirtyCompositionMode)
            add(Page::SetComposition, 0, int(s.compositionMode()));
        if (f & DirtyOpacity)
            add(Page::SetOpacity, 0, 0, QRectF(s.opacity(), 0, 0, 0));
    }

    // As the default engine draws rectangles (one path each), kept as
    // rectangles until played.
    void drawRects(const QRectF* rects, int n) override
    {
        if (state->penNeedsResolving() || state->brushNeedsResolving()) {
            QPaintEngine::drawRects(rects, n);
            return;
        }
        for (int i = 0; i < n; ++i)
            add(Page::DrawRect, 0, 0, rects[i]);
    }
    void drawRects(const QRect* rects, int n) override
    {
        if (state->penNeedsResolving() || state->brushNeedsResolving()) {
            QPaintEngine::drawRects(rects, n);
            return;
        }
        for (int i = 0; i < n; ++i)
            add(Page::DrawRect, 0, 0, QRectF(rects[i]));
    }
    void drawEllipse(const QRectF& r) override { add(Page::DrawEllipse, 0, 0, r); }
    void drawPath(const QPainterPath& path) override
    {
        page->paths_.push_back(path);
        add(Page::DrawPath, 0, int(page->paths_.size() - 1));
    }
    void drawPolygon(const QPointF* pts, int n, PolygonDrawMode mode) override
    {
        if (mode == PolylineMode && n == 2) {
            add(Page::DrawLine, 0, 0, QRectF(pts[0].x(), pts[0].y(), pts[1].x(), pts[1].y()));
            return;
        }
        QPolygonF poly;
        poly.reserve(n);
        for (int i = 0; i < n; ++i)
            poly << pts[i];
        page->polygons_.push_back(std::move(poly));
        add(Page::DrawPolygon, mode == PolylineMode ? 2 : mode == OddEvenMode ? 0 : 1, int(page->polygons_.size() - 1));
    }
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override
    {
        page->pictures_.push_back({sharedPixmap(pm), sr, 0});
        add(Page::DrawPixmap, 0, int(page->pictures_.size() - 1), r);
    }
    void drawTiledPixmap(const QRectF& r, const QPixmap& pm, const QPointF& s) override
    {
        page->pictures_.push_back({sharedPixmap(pm), QRectF(s, QSizeF()), 0});
        add(Page::DrawTiledPixmap, 0, int(page->pictures_.size() - 1), r);
    }
    void drawImage(const QRectF& r, const QImage& img, const QRectF& sr, Qt::ImageConversionFlags flags) override
    {
        // The same logo is loaded afresh for every page: kept once.
        int i = -1;
        for (size_t k = res->images.size(); k-- > 0;)
            if (res->images[k].cacheKey() == img.cacheKey()) {
                i = int(k);
                break;
            }
        for (size_t k = res->images.size(); i < 0 && k-- > 0;)
            if (res->images[k] == img && res->images[k].format() == img.format() &&
                res->images[k].devicePixelRatio() == img.devicePixelRatio() &&
                res->images[k].colorSpace() == img.colorSpace())
                i = int(k);
        if (i < 0) {
            res->images.push_back(img);
            i = int(res->images.size() - 1);
        }
        page->pictures_.push_back({i, sr, quint32(flags.toInt())});
        add(Page::DrawImage, 0, int(page->pictures_.size() - 1), r);
    }
    void drawTextItem(const QPointF& p, const QTextItem& ti) override
    {
        const QString text = ti.text();
        if (text.isEmpty()) {
            // Glyphs without characters: drawn as outlines.
            QPaintEngine::drawTextItem(p, ti);
            return;
        }
        // Underline, overline and strike-out are drawn beside the text.
        QFont f = ti.font();
        f.setUnderline(false);
        f.setStrikeOut(false);
        f.setOverline(false);
        int fi = lastFont_;
        if (fi < 0 || !(res->fonts[size_t(fi)].font == f)) {
            fi = -1;
            for (size_t k = res->fonts.size(); k-- > 0;)
                if (res->fonts[k].font == f) {
                    fi = int(k);
                    break;
                }
            if (fi < 0) {
                res->fonts.push_back({f, QFontMetrics(f).ascent(), QFontMetricsF(f).ascent()});
                fi = int(res->fonts.size() - 1);
            }
            lastFont_ = fi;
        }
        const qreal justified = justifiedWidth(f, text, ti.width());
        page->texts_.push_back({text, fi, justified > 0 ? recordedAsPicture(p, ti) : nullptr});
        add(Page::DrawText, 0, int(page->texts_.size() - 1), QRectF(p.x(), p.y(), justified, 0));
    }

    void reset() { lastFont_ = -1; }

    // The text item alone, as a picture's engine records it.
    static std::shared_ptr<QPicture> recordedAsPicture(const QPointF& p, const QTextItem& ti)
    {
        auto pic = std::make_shared<QPicture>();
        QPainter pp(pic.get());
        pp.paintEngine()->drawTextItem(p, ti);
        pp.end();
        return pic;
    }

private:
    void add(Page::Kind k, quint8 mode, int index, const QRectF& r = QRectF()) { page->add(k, mode, index, r); }
    int sharedPixmap(const QPixmap& pm)
    {
        for (size_t k = res->pixmaps.size(); k-- > 0;)
            if (res->pixmaps[k].cacheKey() == pm.cacheKey())
                return int(k);
        res->pixmaps.push_back(pm);
        return int(res->pixmaps.size() - 1);
    }
    // The width a justified line stretched the text to, or 0 when the text
    // has its natural width. Only a text with a space can be stretched.
    static qreal justifiedWidth(const QFont& f, const QString& text, qreal width)
    {
        if (!text.contains(u' ') && !text.contains(u'\t') && !text.contains(QChar(0xA0)))
            return 0;
        const qreal natural = QFontMetricsF(f).horizontalAdvance(text);
        return natural == width ? 0 : width;
    }
    int lastFont_ = -1;
};

class PageRecorder::PageDevice : public QPicture {
public:
    explicit PageDevice(Engine* e) : engine_(e) {}
    QPaintEngine* paintEngine() const override { return engine_; }

private:
    Engine* engine_;
};

namespace {
// Hands the text items drawn on it, laid out at the recording resolution,
// to a picture's engine as they are.
class TextForwarder : public QPicture {
public:
    class Engine : public QPaintEngine {
    public:
        Engine() : QPaintEngine(AllFeatures) {}
        QPainter* target = nullptr;
        bool begin(QPaintDevice*) override
        {
            setActive(true);
            return true;
        }
        bool end() override
        {
            setActive(false);
            return true;
        }
        Type type() const override { return QPaintEngine::Picture; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF& p, const QTextItem& ti) override
        {
            if (target)
                target->paintEngine()->drawTextItem(p, ti);
        }
    };
    TextForwarder() { setBoundingRect(QRect(0, 0, 1, 1)); }
    QPaintEngine* paintEngine() const override { return &engine; }
    mutable Engine engine;
};
} // namespace

PageRecorder::PageRecorder()
    : res_(std::make_shared<PageResources>()), engine_(std::make_unique<Engine>()), device_(std::make_unique<PageDevice>(engine_.get()))
{
    engine_->res = res_.get();
}

PageRecorder::~PageRecorder() = default;

std::unique_ptr<Page> PageRecorder::NewPage(const QRect& bounds)
{
    auto page = std::make_unique<Page>(res_);
    page->rect_ = bounds;
    return page;
}

QPaintDevice* PageRecorder::Device(Page* page, const QRect& bounds)
{
    engine_->page = page;
    engine_->reset();
    device_->setBoundingRect(bounds);
    return device_.get();
}

// ---- playing ----

void Page::Play(QPainter& p, int x, int y) const
{
    if (!p.isActive())
        return;
    p.save();
    p.translate(x, y);
    play(p);
    p.restore();
}

void Page::play(QPainter& p) const
{
    const PageResources& res = *res_;
    QTransform world = p.transform();
    if (QPaintDevice* dev = p.device())
        world.scale(qreal(dev->logicalDpiX()) / recordDpiX(), qreal(dev->logicalDpiY()) / recordDpiY());
    p.setTransform(world);
    // On a device of another resolution (a printer) a recorded text keeps
    // the resolution it was laid out in, which only a picture's replay gives
    // it: each text goes through a picture of its own.
    const QPaintDevice* dev = p.device();
    const bool otherResolution = dev && (dev->logicalDpiX() != recordDpiX() || dev->logicalDpiY() != recordDpiY());
    std::unique_ptr<TextForwarder> forwarder;
    int font = -1;
    size_t wide = 0;
    for (const Op& o : ops_) {
        struct {
            Kind kind;
            quint8 mode;
            qint32 index;
            QRectF r;
        } op{o.kind, o.mode, o.index, o.wide ? wide_[wide++] : QRectF(o.x, o.y, o.w, o.h)};
        switch (op.kind) {
        case SetPen: p.setPen(res.pens[size_t(op.index)]); break;
        case SetBrush: p.setBrush(res.brushes[size_t(op.index)]); break;
        case SetBrushOrigin: p.setBrushOrigin(op.r.topLeft()); break;
        case SetBackground:
            p.setBackground(res.brushes[size_t(op.index)].color());
            p.setBackgroundMode(Qt::BGMode(op.mode));
            break;
        case SetTransform: p.setTransform(res.transforms[size_t(op.index)] * world, false); break;
        case SetClipEnabled: p.setClipping(op.mode != 0); break;
        case SetClipRect: p.setClipRegion(QRegion(op.r.toRect()), Qt::ClipOperation(op.mode)); break;
        case SetClipRegion: p.setClipRegion(regions_[size_t(op.index)], Qt::ClipOperation(op.mode)); break;
        case SetClipPath: p.setClipPath(paths_[size_t(op.index)], Qt::ClipOperation(op.mode)); break;
        case SetHints: {
            const QPainter::RenderHints h(op.index);
            p.setRenderHint(QPainter::Antialiasing, bool(h & QPainter::Antialiasing));
            p.setRenderHint(QPainter::SmoothPixmapTransform, bool(h & QPainter::SmoothPixmapTransform));
            p.setRenderHint(QPainter::NonCosmeticBrushPatterns, bool(h & QPainter::NonCosmeticBrushPatterns));
            break;
        }
        case SetComposition: p.setCompositionMode(QPainter::CompositionMode(op.index)); break;
        case SetOpacity: p.setOpacity(op.r.x()); break;
        case DrawRect: {
            QPainterPath path;
            path.addRect(op.r);
            if (!path.isEmpty())
                p.drawPath(path);
            break;
        }
        case DrawLine: {
            const QPointF pts[2] = {QPointF(op.r.x(), op.r.y()), QPointF(op.r.width(), op.r.height())};
            p.drawPolyline(pts, 2);
            break;
        }
        case DrawPolygon: {
            const QPolygonF& poly = polygons_[size_t(op.index)];
            if (op.mode == 2)
                p.drawPolyline(poly);
            else
                p.drawPolygon(poly, op.mode ? Qt::WindingFill : Qt::OddEvenFill);
            break;
        }
        case DrawEllipse: p.drawEllipse(op.r); break;
        case DrawPath: p.drawPath(paths_[size_t(op.index)]); break;
        case DrawPixmap: {
            const Picture& pic = pictures_[size_t(op.index)];
            p.drawPixmap(op.r, res.pixmaps[size_t(pic.index)], pic.source);
            break;
        }
        case DrawTiledPixmap: {
            const Picture& pic = pictures_[size_t(op.index)];
            p.drawTiledPixmap(op.r, res.pixmaps[size_t(pic.index)], pic.source.topLeft());
            break;
        }
        case DrawImage: {
            const Picture& pic = pictures_[size_t(op.index)];
            p.drawImage(op.r, res.images[size_t(pic.index)], pic.source, Qt::ImageConversionFlags(int(pic.flags)));
            break;
        }
        case DrawText: {
            const Text& t = texts_[size_t(op.index)];
            const PageResources::Font& f = res.fonts[size_t(t.font)];
            if (font != t.font) {
                p.setFont(f.font);
                font = t.font;
            }
            int flags = Qt::TextSingleLine | Qt::TextDontClip | Qt::TextForceLeftToRight;
            QSizeF size(1, 1);
            if (op.r.width() > 0) {
                size.setWidth(op.r.width());
                flags |= Qt::TextJustificationForced | Qt::AlignJustify;
            }
            if (!otherResolution) {
                // As a picture's replay: the top of the text its font's ascent
                // above the recorded baseline, the line laid out from there.
                p.drawText(QRectF(QPointF(op.r.x(), op.r.y() - f.ascent), size), flags, t.text);
                break;
            }
            std::shared_ptr<QPicture> pic = t.recorded;
            if (!pic) {
                // Laid out on the recorded baseline itself, and recorded.
                pic = std::make_shared<QPicture>();
                if (!forwarder)
                    forwarder = std::make_unique<TextForwarder>();
                QPainter target(pic.get());
                forwarder->engine.target = &target;
                QPainter fp(forwarder.get());
                fp.setFont(f.font);
                fp.drawText(QRectF(QPointF(op.r.x(), op.r.y() - f.lineAscent), size), flags, t.text);
                fp.end();
                forwarder->engine.target = nullptr;
            }
            // The picture's replay scales to the device itself.
            const QTransform now = p.transform();
            const QPaintDevice* d = p.device();
            p.setTransform(QTransform::fromScale(qreal(recordDpiX()) / d->logicalDpiX(), qreal(recordDpiY()) / d->logicalDpiY()) *
                           now);
            p.drawPicture(0, 0, *pic);
            p.setTransform(now);
            break;
        }
        }
    }
}

} // namespace ar
