#include "ARUtils.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QFontMetrics>
#include <QPainter>
#include <QTextBlock>
#include <QPaintEngine>
#include <QTextDocument>
#include <QTextLayout>
#include <cmath>
#include <vector>

#include "platform/JpegImage.h"
#include "platform/Numbers.h"
#include "platform/QtTextMeasurer.h"
#include "platform/RtfReader.h"

namespace ar {
QColor ToQColor(TColor c)
{
    const TColor rgb = fc::ColorToRGB(c);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

} // namespace ar

// ---- pictures ----

namespace {
QSize metafileSize(const QByteArray& b)
{
    auto i32 = [&](int off) {
        return qint32(quint32(uchar(b[off])) | quint32(uchar(b[off + 1])) << 8 | quint32(uchar(b[off + 2])) << 16
                      | quint32(uchar(b[off + 3])) << 24);
    };
    auto i16 = [&](int off) { return qint16(quint16(uchar(b[off])) | quint16(uchar(b[off + 1])) << 8); };
    if (b.size() >= 44 && i32(0) == 1 && b.mid(40, 4) == " EMF") {
        // Frame in hundredths of a millimetre.
        const qint64 w = qint64(i32(32)) - i32(24), h = qint64(i32(36)) - i32(28);
        return QSize(int(qBound<qint64>(0, w * 96 / 2540, qint64(1) << 20)), int(qBound<qint64>(0, h * 96 / 2540, qint64(1) << 20)));
    }
    if (b.size() >= 22 && quint32(i32(0)) == 0x9AC6CDD7u) {
        const int inch = quint16(i16(14));
        if (inch == 0)
            return {};
        const int w = i16(10) - i16(6), h = i16(12) - i16(8);
        return QSize(qMax(0, w * 96 / inch), qMax(0, h * 96 / inch));
    }
    return {};
}

bool isMetafile(const QByteArray& b)
{
    if (b.size() >= 44 && b.mid(40, 4) == " EMF" && uchar(b[0]) == 1 && b[1] == 0 && b[2] == 0 && b[3] == 0)
        return true;
    if (b.size() >= 22 && b.startsWith("\xD7\xCD\xC6\x9A"))
        return true;
    // A plain (non-placeable) metafile header: type 1 or 2, header size 9.
    return b.size() >= 18 && (b[0] == 1 || b[0] == 2) && b[1] == 0 && b[2] == 9 && b[3] == 0;
}
} // namespace

void TPicture::Clear()
{
    kind_ = None;
    image_ = QImage();
    bytes_.clear();
    size_ = QSize();
}

namespace {
// The last raster files decoded, by kind and bytes: a report's template
// copies the same few logos into every band it appends, and the same bytes
// always decode to the same image.
struct DecodedPicture {
    TPicture::Kind kind;
    QByteArray bytes;
    QImage image;
};
constexpr size_t kDecodedKept = 8;
std::vector<DecodedPicture>& decodedPictures()
{
    thread_local std::vector<DecodedPicture> kept;
    return kept;
}
} // namespace

namespace {
// Why bytes of a format the decoder knows gave no image: a valid picture
// larger than the image size limit is told as such, with its size.
QString whyNotDecoded(const QByteArray& bytes, const char* format, const QString& invalid)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    const int limit = QImageReader::allocationLimit();
    // Decoded at four bytes a pixel.
    if (size.isValid() && limit > 0 && qint64(size.width()) * size.height() * 4 > qint64(limit) * 1024 * 1024)
        return QStringLiteral("the picture of %1 x %2 pixels is larger than the image size limit (%3 MB)")
            .arg(size.width())
            .arg(size.height())
            .arg(limit);
    return invalid;
}
} // namespace

void TPicture::LoadFromBytes(Kind kind, const QByteArray& bytes)
{
    if (kind == Bitmap || kind == Icon || kind == Jpeg) {
        for (const DecodedPicture& d : decodedPictures())
            if (d.kind == kind && d.bytes == bytes) {
                kind_ = kind;
                image_ = d.image;
                bytes_ = bytes;
                size_ = d.image.size();
                return;
            }
    }
    QImage img;
    switch (kind) {
    case Bitmap:
        if (!img.loadFromData(bytes, "BMP"))
            throw EInvalidGraphic(whyNotDecoded(bytes, "BMP", QStringLiteral("Bitmap image is not valid")));
        break;
    case Icon:
        if (!img.loadFromData(bytes, "ICO"))
            throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
        break;
    case Jpeg: {
        QString err;
        img = fc::DecodeJpeg(bytes, &err);
        if (img.isNull())
            throw EInvalidGraphic(QStringLiteral("JPEG error: %1").arg(err));
        break;
    }
    case Metafile:
        if (!isMetafile(bytes))
            throw EInvalidGraphic(QStringLiteral("Metafile is not valid"));
        kind_ = Metafile;
        image_ = QImage();
        bytes_ = bytes;
        size_ = metafileSize(bytes);
        return;
    case None:
        Clear();
        return;
    }
    kind_ = kind;
    image_ = img;
    bytes_ = bytes;
    size_ = img.size();
    auto& kept = decodedPictures();
    if (kept.size() == kDecodedKept)
        kept.erase(kept.begin());
    kept.push_back({kind, bytes, img});
}

void TPicture::SetImage(Kind kind, const QImage& image)
{
    kind_ = image.isNull() ? None : kind;
    image_ = image;
    bytes_.clear();
    size_ = image.size();
}

void TPicture::LoadFromFile(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    Kind kind;
    if (ext == QLatin1String("bmp"))
        kind = Bitmap;
    else if (ext == QLatin1String("ico"))
        kind = Icon;
    else if (ext == QLatin1String("emf") || ext == QLatin1String("wmf"))
        kind = Metafile;
    else if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        kind = Jpeg;
    else
        throw EInvalidGraphic(QStringLiteral("Unknown picture file extension (.%1)").arg(QFileInfo(path).suffix()));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Cannot open file %1").arg(path));
    // The file is named with what is wrong with it.
    try {
        LoadFromBytes(kind, f.readAll());
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic(QStringLiteral("Picture \"%1\": %2").arg(QDir::toNativeSeparators(path), e.Message()));
    }
}

QByteArray TPicture::SaveToBytes() const
{
    if ((kind_ == Bitmap || kind_ == Icon || kind_ == Metafile) && !bytes_.isEmpty())
        return bytes_;
    if (kind_ == None || image_.isNull())
        return {};
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    image_.save(&buf, kind_ == Icon ? "ICO" : "BMP");
    return out;
}

// ---- canvas ----

TCanvas::TCanvas(QPainter* painter, const ITextMeasurer* measurer) : painter_(painter), measurer_(measurer)
{
    recorded_ = painter_ && painter_->isActive() && painter_->paintEngine() &&
                painter_->paintEngine()->type() == QPaintEngine::Picture;
}

QPainter* TCanvas::Painter() const
{
    settle();
    return painter_;
}

void TCanvas::holdState() const
{
    if (diverged_)
        return;
    held_ = {painter_->pen(), painter_->brush(), painter_->font()};
    diverged_ = true;
}

void TCanvas::settle() const
{
    if (!diverged_)
        return;
    diverged_ = false;
    painter_->setPen(held_.pen);
    painter_->setBrush(held_.brush);
    if (painter_->font() != held_.font)
        painter_->setFont(held_.font);
}

const ITextMeasurer& TCanvas::Measurer() const { return measurer_ ? *measurer_ : fc::TextMeasurer(); }

int TCanvas::TextWidth(const QString& s) const { return Measurer().TextWidth(Font, s); }

int TCanvas::TextHeight(const QString& s) const { return Measurer().TextHeight(Font, s); }

void TCanvas::FillRect(const TRect& r)
{
    if (!painter_ || r.IsEmpty())
        return;
    const QRect q(r.Left, r.Top, r.Width(), r.Height());
    if (!recorded_) {
        painter_->fillRect(q, ar::ToQColor(BrushColor));
        return;
    }
    // What QPainter::fillRect draws on such a painter, without putting the
    // pen and brush back after each rectangle.
    holdState();
    painter_->setPen(Qt::NoPen);
    const QColor c = ar::ToQColor(BrushColor);
    if (painter_->brush().style() != Qt::SolidPattern || painter_->brush().color() != c)
        painter_->setBrush(c);
    painter_->drawRect(q);
}

void TCanvas::TextOut(int x, int y, const QString& s)
{
    if (!painter_ || s.isEmpty())
        return;
    const QFont f = fc::ToQFont(Font);
    if (!recorded_) {
        painter_->setFont(f);
        painter_->setPen(ar::ToQColor(Font.Color));
        painter_->drawText(QPointF(x, y + QFontMetrics(f).ascent()), s);
        return;
    }
    // Text is drawn with the font and the pen only; the brush may stay a
    // fill's. The font and colour stay set afterwards, as they always did.
    if (!(lastFontValid_ && f == lastFont_ && painter_->font() == lastResolvedFont_)) {
        painter_->setFont(f);
        lastFont_ = f;
        lastResolvedFont_ = painter_->font();
        lastFontValid_ = true;
    }
    painter_->setPen(ar::ToQColor(Font.Color));
    if (diverged_) {
        held_.pen = painter_->pen();
        held_.font = painter_->font();
    }
    painter_->drawText(QPointF(x, y + QFontMetrics(f).ascent()), s);
}

void TCanvas::TextRect(const TRect& clip, int x, int y, const QString& s)
{
    if (!painter_)
        return;
    TClipScope scope(*this, clip);
    TextOut(x, y, s);
}

static QPen framePen(const TCanvas& c)
{
    QPen pen(ar::ToQColor(c.PenColor));
    pen.setWidth(qMax(1, c.PenWidth));
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void TCanvas::Rectangle(const TRect& r)
{
    if (!painter_)
        return;
    settle();
    // The outline runs inside (Left, Top)-(Right, Bottom) as on the platform.
    painter_->save();
    const int w = qMax(1, PenWidth);
    if (!BrushHollow)
        painter_->fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), ar::ToQColor(BrushColor));
    const QColor pc = ar::ToQColor(PenColor);
    const int inset = (w - 1) / 2;
    const int l = r.Left + inset, t = r.Top + inset, rr = r.Right - 1 - (w - 1 - inset), b = r.Bottom - 1 - (w - 1 - inset);
    if (w == 1) {
        painter_->setPen(pc);
        painter_->setBrush(Qt::NoBrush);
        painter_->drawRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
    } else {
        painter_->fillRect(QRect(l - inset, t - inset, rr - l + w, w), pc);
        painter_->fillRect(QRect(l - inset, b - inset, rr - l + w, w), pc);
        painter_->fillRect(QRect(l - inset, t - inset, w, b - t + w), pc);
        painter_->fillRect(QRect(rr - inset, t - inset, w, b - t + w), pc);
    }
    painter_->restore();
}

void TCanvas::RoundRect(const TRect& r, int ew, int eh)
{
    if (!painter_)
        return;
    settle();
    painter_->save();
    painter_->setPen(framePen(*this));
    painter_->setBrush(BrushHollow ? QBrush(Qt::NoBrush) : QBrush(ar::ToQColor(BrushColor)));
    painter_->drawRoundedRect(QRectF(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1), ew / 2.0, eh / 2.0);
    painter_->restore();
}

void TCanvas::Line(int x1, int y1, int x2, int y2)
{
    if (!painter_)
        return;
    settle();
    painter_->save();
    painter_->setPen(framePen(*this));
    painter_->drawLine(x1, y1, x2, y2);
    painter_->restore();
}

void TCanvas::DrawFocusRect(const TRect& r)
{
    if (!painter_ || r.IsEmpty())
        return;
    settle();
    // A dotted outline that inverts what it covers, so drawing it twice
    // removes it again.
    painter_->save();
    painter_->setBrush(Qt::NoBrush);
    painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter_->setPen(QPen(Qt::white, 1, Qt::DotLine));
    painter_->drawRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
    painter_->restore();
}

void TCanvas::InvertRect(const TRect& r)
{
    if (!painter_ || r.IsEmpty())
        return;
    settle();
    painter_->save();
    painter_->setCompositionMode(QPainter::RasterOp_NotDestination);
    painter_->fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), Qt::white);
    painter_->restore();
}

void TCanvas::Draw(int x, int y, const TPicture& p)
{
    if (!painter_ || !p.HasGraphic())
        return;
    if (p.kind() == TPicture::Metafile) {
        settle();
        // Metafiles are not rendered: an empty frame of their size.
        if (p.Width() > 0 && p.Height() > 0) {
            painter_->save();
            painter_->setPen(Qt::black);
            painter_->setBrush(Qt::NoBrush);
            painter_->drawRect(QRect(x, y, p.Width() - 1, p.Height() - 1));
            painter_->restore();
        }
        return;
    }
    painter_->drawImage(QPoint(x, y), p.Image());
}

void TCanvas::StretchDraw(const TRect& r, const TPicture& p)
{
    if (!painter_ || !p.HasGraphic() || r.IsEmpty())
        return;
    if (p.kind() == TPicture::Metafile) {
        settle();
        painter_->save();
        painter_->setPen(Qt::black);
        painter_->setBrush(Qt::NoBrush);
        painter_->drawRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
        painter_->restore();
        return;
    }
    painter_->drawImage(QRect(r.Left, r.Top, r.Width(), r.Height()), p.Image());
}

void TCanvas::PushClip(const TRect& r)
{
    if (!painter_)
        return;
    const QRect q(r.Left, r.Top, qMax(0, r.Width()), qMax(0, r.Height()));
    // On a recorded page, with no clip or transform of anyone else's in
    // force, the nested rectangles are intersected here and the painter is
    // given the result; popping gives it the outer one again.
    const bool own = recorded_ && painter_->transform().isIdentity() &&
                     (clips_.empty() ? !painter_->hasClipping() : !clips_.back().saved);
    if (own) {
        holdState();
        const QRect clip = clips_.empty() ? q : clips_.back().rect.intersected(q);
        clips_.push_back({false, clip, held_});
        painter_->setClipRect(clip, Qt::ReplaceClip);
        return;
    }
    settle();
    clips_.push_back({true, QRect(), Held{}});
    painter_->save();
    painter_->setClipRect(q, painter_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void TCanvas::PopClip()
{
    if (!painter_)
        return;
    if (clips_.empty() || clips_.back().saved) {
        if (!clips_.empty())
            clips_.pop_back();
        // The state saved with the clip is the one the callers expect.
        diverged_ = false;
        painter_->restore();
        return;
    }
    // What a restore would have brought back.
    held_ = clips_.back().held;
    diverged_ = true;
    clips_.pop_back();
    if (clips_.empty())
        painter_->setClipping(false);
    else
        painter_->setClipRect(clips_.back().rect, Qt::ReplaceClip);
}

// ---- rich text ----

namespace {
TARRTF* g_currentRtf = nullptr;
}

TARRTF::TARRTF() : doc_(std::make_unique<QTextDocument>()) { doc_->setDocumentMargin(0); }

TARRTF::~TARRTF()
{
    if (g_currentRtf == this)
        g_currentRtf = nullptr;
}

TARRTF& TARRTF::Current()
{
    if (g_currentRtf)
        return *g_currentRtf;
    static TARRTF builtIn;
    return builtIn;
}

void TARRTF::SetCurrent(TARRTF* rtf) { g_currentRtf = rtf; }

void TARRTF::Load(const QString& text, const TFont& font, bool wordWrap, THAlign align)
{
    wordWrap_ = wordWrap;
    fc::ReadRtf(text, *doc_, fc::ToQFont(font), ar::ToQColor(font.Color));
    if (!fc::LooksLikeRtf(text)) {
        const Qt::Alignment a = align == ahRight ? Qt::AlignRight : align == ahCenter ? Qt::AlignHCenter : Qt::AlignLeft;
        for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next()) {
            QTextCursor c(b);
            QTextBlockFormat bf = b.blockFormat();
            bf.setAlignment(a);
            c.setBlockFormat(bf);
        }
    }
    QTextOption opt = doc_->defaultTextOption();
    opt.setWrapMode(wordWrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    doc_->setDefaultTextOption(opt);
}

void TARRTF::Clear() { doc_->clear(); }

std::vector<TARRTF::LineInfo> TARRTF::lines()
{
    std::vector<LineInfo> out;
    QAbstractTextDocumentLayout* layout = doc_->documentLayout();
    for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next()) {
        const QRectF br = layout->blockBoundingRect(b);
        QTextLayout* tl = b.layout();
        if (!tl)
            continue;
        for (int i = 0; i < tl->lineCount(); ++i) {
            const QTextLine line = tl->lineAt(i);
            out.push_back({b.position() + line.textStart(), br.top() + line.y(), br.top() + line.y() + line.height()});
        }
    }
    return out;
}

int TARRTF::MeasureHeight(int width, int start)
{
    doc_->setTextWidth(wordWrap_ ? qMax(1, width) : -1);
    const std::vector<LineInfo> ls = lines();
    if (ls.empty())
        return 0;
    double top = ls.front().top;
    for (const LineInfo& l : ls)
        if (l.pos <= start)
            top = l.top;
    return int(std::ceil(ls.back().bottom - top));
}

void TARRTF::Render(QPainter* painter, const TRect& r)
{
    if (!painter || r.IsEmpty())
        return;
    doc_->setTextWidth(wordWrap_ ? r.Width() : -1);
    painter->save();
    painter->translate(r.Left, r.Top);
    const QRectF clip(0, 0, r.Width(), r.Height());
    painter->setClipRect(clip, painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    doc_->drawContents(painter, clip);
    painter->restore();
}

int TARRTF::RenderPart(QPainter* painter, const TRect& r, const TRect& clip, int start, bool& fitted)
{
    fitted = false;
    doc_->setTextWidth(wordWrap_ ? qMax(1, r.Width()) : -1);
    const std::vector<LineInfo> ls = lines();
    const int textEnd = qMax(0, doc_->characterCount() - 1);
    size_t first = ls.size();
    for (size_t i = 0; i < ls.size(); ++i)
        if (ls[i].pos <= start)
            first = i;
    if (first == ls.size() || start >= textEnd)
        return start;
    const double top = ls[first].top;
    const double room = clip.Bottom - clip.Top;
    size_t last = first;
    if (ls[first].bottom - top > room)
        return start; // not even one line fits
    while (last + 1 < ls.size() && ls[last + 1].bottom - top <= room)
        ++last;
    fitted = true;
    if (painter) {
        painter->save();
        painter->translate(r.Left, clip.Top - top);
        const QRectF area(0, top, qMax(0, r.Width()), ls[last].bottom - top);
        painter->setClipRect(area, painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
        doc_->drawContents(painter, area);
        painter->restore();
    }
    return last + 1 < ls.size() ? ls[last + 1].pos : textEnd;
}

// ---- free routines ----

const char* const LineStyleNames[8] = {"Solid", "Dash", "Dot", "DashDot", "DashDotDot", "Double11", "Double21", "Double12"};

TLineStyle StrToLineStyle(const QString& name)
{
    for (int i = 0; i < 8; ++i)
        if (TextEquals(name, QLatin1String(LineStyleNames[i])))
            return TLineStyle(i);
    return cbsSolid;
}

QString LineStyleToStr(TLineStyle s) { return QLatin1String(LineStyleNames[s <= cbsDouble12 ? s : 0]); }

double UnitFactor(TARUnits u)
{
    switch (u) {
    case uPix:
        return 254.0 / ScreenPixelsPerInch;
    case uMM:
        return 10;
    case uCm:
        return 100;
    case uIn:
        return 254;
    }
    return 1;
}

double ConvertUnits(TARUnits from, TARUnits to, double value)
{
    if (from == to)
        return value;
    return value * UnitFactor(from) / UnitFactor(to);
}

int ToScreenPixels(double tenthsMM) { return int(fc::Round(tenthsMM / UnitFactor(uPix))); }

bool InRange(int x, int start, int length) { return start <= x && qint64(x) <= qint64(start) + length; }

QChar StartupDecimalSeparator()
{
    static const QChar sep = fc::DecimalSeparator();
    return sep;
}

namespace {
// Captured when the program starts, as the money view expects.
const QChar g_startupSeparatorInit = StartupDecimalSeparator();
} // namespace

void SplitWords(const QString& text, QStringList& list)
{
    list.clear();
    QString word;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == u' ') {
            list << QStringLiteral(" ");
        } else {
            word += text[i];
            if (i + 1 == text.size() || text[i + 1] == u' ') {
                list << word;
                word.clear();
            }
        }
    }
}

void WrapString(QStringList& lines, const TCanvas& canvas, int width)
{
    int i = 0;
    while (i < lines.size()) {
        if (canvas.TextWidth(lines[i]) <= width) {
            ++i;
            continue;
        }
        QStringList items;
        SplitWords(lines[i], items);
        lines.removeAt(i);
        while (!items.isEmpty()) {
            QString line = items.takeFirst();
            // A word wider than the line is cut where it stops fitting (one
            // character at least), as the PDF cuts it, rather than left to
            // run out of its cell and be clipped away.
            if (line.size() > 1 && canvas.TextWidth(line) > width) {
                int n = 1;
                while (n < line.size() && canvas.TextWidth(line.left(n + 1)) <= width)
                    ++n;
                // A chain of numbers ("12,5+13,5+0,4") breaks after its last
                // "+" that fits, never inside a number.
                const qsizetype plus = line.left(n).lastIndexOf(u'+');
                if (plus > 0)
                    n = int(plus) + 1;
                items.prepend(line.mid(n));
                line.truncate(n);
            }
            while (!items.isEmpty()) {
                if (canvas.TextWidth(line + items.first()) > width)
                    break;
                line += items.takeFirst();
            }
            lines.insert(i, line);
            ++i;
        }
    }
}

int TextHeight(const TCanvas& canvas, const QString& text, int width, int start, bool isRTF, bool wordWrap)
{
    if (isRTF) {
        TARRTF& rtf = TARRTF::Current();
        rtf.Load(text, canvas.Font, wordWrap, ahLeft);
        const int h = rtf.MeasureHeight(width, start);
        rtf.Clear();
        return h;
    }
    QStringList lines = ar::SplitTextLines(text);
    if (wordWrap)
        WrapString(lines, canvas, width);
    if (lines.isEmpty())
        return 0;
    return (canvas.TextHeight(lines[0]) + 1) * int(lines.size());
}

void DrawRTF(TCanvas& canvas, const QString& text, const TRect& r, bool wordWrap, THAlign halign)
{
    TARRTF& rtf = TARRTF::Current();
    rtf.Clear();
    rtf.Load(text, canvas.Font, wordWrap, halign);
    rtf.Render(canvas.Painter(), r);
    rtf.Clear();
}

bool DrawRTFPart(TCanvas& canvas, const QString& text, const TRect& r, const TRect& clip, bool wordWrap,
                 THAlign halign, int& start)
{
    TARRTF& rtf = TARRTF::Current();
    rtf.Load(text, canvas.Font, wordWrap, halign);
    bool fitted = false;
    start = rtf.RenderPart(canvas.Painter(), r, clip, start, fitted);
    rtf.Clear();
    return fitted;
}

void DrawRectText(TCanvas& canvas, const QString& text, const TRect& rect, const TRect& clip, THAlign halign,
                  TVAlign valign, bool wordWrap, bool isRTF, int angle)
{
    Q_UNUSED(clip); // callers clip the whole cell
    if (isRTF) {
        DrawRTF(canvas, text, rect, wordWrap, halign);
        return;
    }
    if (angle != 0) {
        DrawRotatedText(canvas, rect, text, angle, wordWrap, valign, halign);
        return;
    }
    TRect r = rect;
    r.Left += 1;
    r.Top += 1;
    QStringList lines = ar::SplitTextLines(text);
    if (wordWrap)
        WrapString(lines, canvas, r.Width());
    if (lines.isEmpty())
        return;
    int h = 0;
    for (const QString& l : lines)
        h = qMax(h, canvas.TextHeight(l));
    const int total = h * int(lines.size());
    canvas.BrushHollow = true;
    for (int i = 0; i < lines.size(); ++i) {
        const int w = canvas.TextWidth(lines[i]);
        int y = r.Top + h * i;
        if (valign == avBottom)
            y = r.Bottom - total + h * i;
        else if (valign == avCenter)
            y = r.Top + (r.Bottom - r.Top - total) / 2 + h * i;
        int x = r.Left;
        if (halign == ahRight)
            x = r.Right - w - 2;
        else if (halign == ahCenter)
            x = r.Left + (r.Right - r.Left - w) / 2;
        canvas.TextRect(r, x, y, lines[i]);
    }
    canvas.BrushHollow = false;
}

void DrawRotatedText(TCanvas& canvas, const TRect& rect, const QString& text, int angle, bool wordWrap,
                     TVAlign valign, THAlign halign)
{
    int a = angle;
    while (a < 0)
        a += 360;
    a %= 360;
    TRect r = rect;
    r.Left += 2;
    r.Top += 2;
    r.Right -= 1;
    r.Bottom -= 1;
    QStringList lines = ar::SplitTextLines(text);
    if (wordWrap)
        WrapString(lines, canvas, a % 180 != 0 ? r.Height() : r.Width());
    std::vector<int> widths;
    int h = 0;
    for (const QString& l : lines) {
        widths.push_back(canvas.TextWidth(l));
        h = qMax(h, canvas.TextHeight(l));
    }
    const int t = h * int(lines.size());
    QPainter* p = canvas.Painter();
    for (int i = 0; i < lines.size(); ++i) {
        const int w = widths[size_t(i)];
        int dx = 0, dy = 0, ew = 0, eh = 0, sx = 0, sy = 0;
        switch (a) {
        case 0: ew = w; eh = t; sy = h; break;
        case 90: dy = w; ew = t; eh = w; sx = h; break;
        case 180: dx = w; dy = t; ew = w; eh = t; sy = -h; break;
        case 270: dx = t; ew = t; eh = w; sx = -h; break;
        default: break;
        }
        int x = r.Left, y = r.Top;
        if (halign == ahRight)
            x = r.Right - ew;
        else if (halign == ahCenter)
            x = r.Left + (r.Right - r.Left - ew) / 2;
        if (valign == avBottom)
            y = r.Bottom - eh;
        else if (valign == avCenter)
            y = r.Top + (r.Bottom - r.Top - eh) / 2;
        if (!p || lines[i].isEmpty())
            continue;
        const QFont f = fc::ToQFont(canvas.Font);
        p->save();
        p->translate(x + dx + sx * i, y + dy + sy * i);
        p->rotate(-a);
        p->setFont(f);
        p->setPen(ar::ToQColor(canvas.Font.Color));
        p->drawText(QPointF(0, QFontMetrics(f).ascent()), lines[i]);
        p->restore();
    }
}

void DrawCellText(TCanvas& canvas, const QString& text, const TRect& r, const TRect& clip, THAlign halign,
                  TVAlign valign, bool wordWrap, bool isRTF, int& start)
{
    if (isRTF)
        DrawRTFPart(canvas, text, r, clip, wordWrap, halign, start);
    else
        DrawRectText(canvas, text, r, clip, halign, valign, wordWrap, false, 0);
}

namespace {
struct DashPattern {
    int count;
    int pairs[4][2];
};
const DashPattern kPatterns[8] = {
    {1, {{10000000, 10000000}}},
    {1, {{18, 6}}},
    {4, {{3, 3}, {3, 3}, {3, 3}, {3, 3}}},
    {2, {{9, 6}, {3, 6}}},
    {3, {{9, 3}, {3, 3}, {3, 3}}},
    {1, {{10000000, 10000000}}},
    {1, {{10000000, 10000000}}},
    {1, {{10000000, 10000000}}},
};

// One-pixel piece from a to b (inclusive) along a row (horizontal) or a
// column, dashed with the style's pattern.
void dashed(TCanvas& c, TLineStyle style, bool horizontal, int fixed, int a, int b)
{
    if (b < a)
        return;
    const DashPattern& pat = kPatterns[style];
    int pos = a, k = 0, used = 0;
    for (;;) {
        const int dash = pat.pairs[k][0], gap = pat.pairs[k][1];
        const qint64 endEx = qMin<qint64>(qint64(pos) + dash, qint64(b) + 1);
        if (horizontal)
            c.FillRect(Rect(pos, fixed, int(endEx), fixed + 1));
        else
            c.FillRect(Rect(fixed, pos, fixed + 1, int(endEx)));
        const qint64 next = qint64(pos) + dash + gap;
        used += dash + gap;
        k = (k + 1) % pat.count;
        if (used >= 24) {
            k = 0;
            used = 0;
        }
        if (next >= b)
            break;
        pos = int(next);
    }
}
} // namespace

void DrawFrameLine(TCanvas& canvas, const TRect& r, TLineStyle style, int side, TColor color, int width,
                   int startWidth, int endWidth)
{
    canvas.BrushHollow = false;
    canvas.BrushColor = color;
    if (style > cbsDouble12 || side < 0 || side > 3)
        return;
    const int L = r.Left, T = r.Top, Rt = r.Right, B = r.Bottom;
    // Shortening of the inner lines of the double styles, never negative.
    const int s1 = qMax(0, startWidth - 1), e1 = qMax(0, endWidth - 1);
    const int s2 = qMax(0, startWidth - 2), e2 = qMax(0, endWidth - 2);
    const bool horizontal = side >= 2;
    // A line `inset` pixels inside the edge, shortened by s at the start and
    // e at the end.
    auto line = [&](int inset, int s, int e) {
        switch (side) {
        case 0: dashed(canvas, style, false, L + inset, T + s, B - e); break;
        case 1: dashed(canvas, style, false, Rt - inset, T + s, B - e); break;
        case 2: dashed(canvas, style, true, T + inset, L + s, Rt - e); break;
        case 3: dashed(canvas, style, true, B - inset, L + s, Rt - e); break;
        }
    };
    Q_UNUSED(horizontal);
    switch (style) {
    case cbsSolid:
        switch (side) {
        case 0: canvas.FillRect(Rect(L, T, L + width, B + 1)); break;
        case 1: canvas.FillRect(Rect(Rt + 1 - width, T, Rt + 1, B + 1)); break;
        case 2: canvas.FillRect(Rect(L, T, Rt + 1, T + width)); break;
        case 3: canvas.FillRect(Rect(L, B + 1 - width, Rt + 1, B + 1)); break;
        }
        break;
    case cbsDash:
    case cbsDot:
    case cbsDashDot:
    case cbsDashDotDot:
        line(0, 0, 0);
        break;
    case cbsDouble11:
        line(0, 0, 0);
        line(2, s1, e1);
        break;
    case cbsDouble21:
        line(0, 0, 0);
        line(1, 0, 0);
        line(3, s1, e1);
        break;
    case cbsDouble12:
        line(0, 0, 0);
        line(2, s2, e2);
        line(3, s1, e1);
        break;
    }
}

QString GraphicToHex(const TPicture& p)
{
    return QString::fromLatin1(p.SaveToBytes().toHex().toUpper());
}

QByteArray HexToBytes(const QString& text)
{
    auto nib = [](QChar c) {
        const int u = c.unicode();
        return (u >= '0' && u <= '9') ? u - '0' : (u - 55) & 0x0F;
    };
    QByteArray out;
    out.reserve(text.size() / 2 + 1);
    for (int i = 0; i < text.size(); i += 2) {
        const int hi = nib(text[i]);
        const int lo = i + 1 < text.size() ? nib(text[i + 1]) : 0;
        out += char((hi << 4) | lo);
    }
    return out;
}

void HexToGraphic(const QString& text, TPicture& p, TPicture::Kind kind)
{
    p.LoadFromBytes(kind, HexToBytes(text));
}
