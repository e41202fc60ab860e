#include "ARRep.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <cmath>

#include "ARVFS.h"
#include "platform/Errors.h"
#include "platform/Numbers.h"

using CellScope = ar::UpdateScope<TARCell>;
using ListScope = ar::UpdateScope<TARBandList>;

// ======================= TARCell =======================

TARCell::TARCell() = default;

TARCell::~TARCell() = default;

void TARCell::EndUpdate()
{
    --updateCount_;
    Changed();
}

void TARCell::Changed()
{
    if (modified_ && updateCount_ == 0) {
        modified_ = false;
        if (OnChange)
            OnChange(this);
    }
}

void TARCell::SetSideColor(int side, TColor c) { store(sideColor_[side & 3], c); }
void TARCell::SetSideWidth(int side, int w) { store(sideWidth_[side & 3], w); }
void TARCell::SetSideStyle(int side, TLineStyle s) { store(sideStyle_[side & 3], s); }

TFrameStyle TARCell::FrameStyle() const
{
    TFrameStyle s = 0;
    for (int i = 0; i < 4; ++i)
        if (sideWidth_[i] > 0)
            s |= TFrameStyle(1 << i);
    return s;
}

void TARCell::SetFrameStyle(TFrameStyle s)
{
    CellScope scope(this);
    for (int i = 0; i < 4; ++i) {
        const bool in = s & (1 << i);
        if (in && sideWidth_[i] == 0)
            sideWidth_[i] = 1;
        else if (!in && sideWidth_[i] > 0)
            sideWidth_[i] = 0;
    }
    modified_ = true;
}

TColor TARCell::FrameColor() const
{
    for (int i = 1; i < 4; ++i)
        if (sideColor_[i] != sideColor_[0])
            return clNone;
    return sideColor_[0];
}

void TARCell::SetFrameColor(TColor c)
{
    if (c == FrameColor())
        return;
    CellScope scope(this);
    for (TColor& x : sideColor_)
        x = c;
    modified_ = true;
}

int TARCell::FrameWidth() const
{
    for (int i = 1; i < 4; ++i)
        if (sideWidth_[i] != sideWidth_[0])
            return 1;
    return sideWidth_[0];
}

void TARCell::SetFrameWidth(int w)
{
    CellScope scope(this);
    for (int i = 0; i < 4; ++i)
        if (sideWidth_[i] > 0) {
            sideWidth_[i] = w;
            sideStyle_[i] = cbsSolid;
        }
    modified_ = true;
}

TLineStyle TARCell::BorderStyle() const
{
    for (int i = 1; i < 4; ++i)
        if (sideStyle_[i] != sideStyle_[0])
            return cbsSolid;
    return sideStyle_[0];
}

void TARCell::SetBorderStyle(TLineStyle s)
{
    CellScope scope(this);
    for (int i = 0; i < 4; ++i)
        sideStyle_[i] = s;
    if (s != cbsSolid) {
        const int w = s <= cbsDashDotDot ? 1 : s == cbsDouble11 ? 3 : 4;
        for (int i = 0; i < 4; ++i)
            sideWidth_[i] = w;
    }
    modified_ = true;
}

void TARCell::SetLinkPictureToFile(bool v)
{
    CellScope scope(this);
    linkPictureToFile_ = v;
    modified_ = true;
}

static bool isFile(const QString& path)
{
    const QFileInfo fi(path);
    return !path.isEmpty() && fi.exists() && !fi.isDir();
}

void TARCell::SetPictureFileName(const QString& name)
{
    const QString n = name.trimmed();
    if (n == pictureFileName_)
        return;
    CellScope scope(this);
    pictureFileName_ = n;
    if (isFile(n))
        Picture().LoadFromFile(n);
    else
        picture_.reset();
    modified_ = true;
}

TPicture& TARCell::Picture()
{
    if (!picture_)
        picture_ = std::make_unique<TPicture>();
    return *picture_;
}

void TARCell::SetPicture(const TPicture& p)
{
    CellScope scope(this);
    Picture() = p;
    modified_ = true;
}

void TARCell::FreePicture()
{
    if (!picture_)
        return;
    CellScope scope(this);
    picture_.reset();
    modified_ = true;
}

void TARCell::CopyFrom(const TARCell& src)
{
    // Field by field, as the setters would leave them, with one change
    // told at the end rather than a bracket per field.
    CellScope scope(this);
    for (int i = 0; i < 4; ++i) {
        sideColor_[i] = src.sideColor_[i];
        sideWidth_[i] = src.sideWidth_[i];
        sideStyle_[i] = src.sideStyle_[i];
    }
    fontName_ = src.fontName_;
    fontSize_ = src.fontSize_;
    fontColor_ = src.fontColor_;
    fontStyle_ = src.fontStyle_;
    textAngle_ = src.textAngle_;
    color_ = src.color_;
    hAlign_ = src.hAlign_;
    vAlign_ = src.vAlign_;
    width_ = src.width_;
    widthRatio_ = src.widthRatio_;
    wordWrap_ = src.wordWrap_;
    autoStretch_ = src.autoStretch_;
    tile_ = src.tile_;
    userVar_ = src.userVar_;
    userVarValue_ = src.userVarValue_;
    autoSize_ = src.autoSize_;
    value_ = src.value_;
    isRTF_ = src.isRTF_;
    shared_ = src.shared_;
    modified_ = true;
    SetPictureFileName(src.pictureFileName_);
    linkPictureToFile_ = src.linkPictureToFile_;
    if (src.picture_)
        SetPicture(*src.picture_);
}

// ---- spans ----

namespace {
TARCell* matchingCell(const TARBand* b, int left, int width)
{
    for (int j = 0; j < b->CellCount(); ++j) {
        TARCell* c = b->GetCell(j);
        if (b->CellLeft(j) == left && c->Width() == width)
            return c;
    }
    return nullptr;
}
} // namespace

static void spanMaster(const TARCell* cell, TARBand*& band, TARCell*& master)
{
    band = cell->Band();
    master = const_cast<TARCell*>(cell);
    if (!cell->Shared() || !band || !band->Parent())
        return;
    TARBandList* parent = band->Parent();
    const int idx = parent->IndexOfBand(band);
    if (idx < 0)
        return;
    const int left = band->CellLeft(band->IndexOfCell(cell));
    for (int j = idx - 1; j >= 0; --j) {
        TARBand* b = parent->GetBandItem(j);
        TARCell* c = matchingCell(b, left, cell->Width());
        if (!c)
            break;
        band = b;
        master = c;
        if (!c->Shared() || j == 0)
            break;
    }
}

TARBand* TARCell::MasterBand() const
{
    TARBand* b;
    TARCell* c;
    spanMaster(this, b, c);
    return b;
}

TARCell* TARCell::MasterCell() const
{
    TARBand* b;
    TARCell* c;
    spanMaster(this, b, c);
    return c;
}

bool TARCell::IsContinuation() const { return band_ && MasterBand() != band_; }

TARBand* TARCell::LastSpanBand() const
{
    TARBand* result = band_;
    if (!band_ || !band_->Parent())
        return result;
    TARBandList* parent = band_->Parent();
    const int idx = parent->IndexOfBand(band_);
    if (idx < 0)
        return result;
    const int left = band_->CellLeft(band_->IndexOfCell(this));
    for (int j = idx + 1; j < parent->BandCount(); ++j) {
        TARBand* b = parent->GetBandItem(j);
        TARCell* c = matchingCell(b, left, width_);
        if (!c || !c->Shared())
            break;
        result = b;
    }
    return result;
}

// ---- values ----

const TAIStringList& TARCell::VarNameList()
{
    if (!varNameList_)
        varNameList_ = std::make_unique<TAIStringList>(QStringLiteral("TARCell.VarNameList"));
    return *varNameList_;
}

void TARCell::ParseVarNames()
{
    VarNameList();
    varNameList_->Clear();
    QString s = value_;
    while (!s.isEmpty()) {
        const int open = int(s.indexOf(u'['));
        if (open < 0) {
            varNameList_->Add(s, 0);
            break;
        }
        if (open > 0)
            varNameList_->Add(s.left(open), 0);
        s.remove(0, open + 1);
        int depth = 1, match = -1;
        for (int i = 0; i < s.size(); ++i) {
            if (s[i] == u'[')
                ++depth;
            else if (s[i] == u']' && --depth == 0) {
                match = i;
                break;
            }
        }
        if (match < 0)
            break;
        varNameList_->Add(s.left(match), 1);
        s.remove(0, match + 1);
    }
}

void TARCell::LoadLinkedPicture()
{
    if (value_.size() >= 1 && value_.startsWith(u'{') && value_.endsWith(u'}')) {
        const QString path = value_.size() >= 2 ? value_.mid(1, value_.size() - 2) : QString();
        if (isFile(path)) {
            TPicture p;
            p.LoadFromFile(path);
            SetPicture(p);
        } else {
            FreePicture();
        }
    }
}

static QString withSeparator(QString s, QChar sep)
{
    if (sep != u'.')
        s.replace(u'.', sep);
    return s;
}

double TARCell::F() const { return fc::StrToFloat(value_); }

void TARCell::SetF(double v) { SetValue(withSeparator(QString::number(v, 'f', 2), fc::DecimalSeparator())); }

int TARCell::I() const { return fc::StrToInt(value_); }

void TARCell::SetI(int v) { SetValue(QString::number(v)); }

QDate TARCell::D() const
{
    const QLocale loc = QLocale::system();
    QDate d = loc.toDate(value_.trimmed(), loc.dateFormat(QLocale::ShortFormat));
    if (!d.isValid())
        d = QDate::fromString(value_.trimmed(), Qt::ISODate);
    if (!d.isValid())
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(value_));
    return d;
}

void TARCell::SetD(const QDate& v) { SetValue(QLocale::system().toString(v, QLocale::ShortFormat)); }

QTime TARCell::T() const
{
    const QLocale loc = QLocale::system();
    QTime t = loc.toTime(value_.trimmed(), loc.timeFormat(QLocale::LongFormat));
    if (!t.isValid())
        t = QTime::fromString(value_.trimmed(), Qt::ISODate);
    if (!t.isValid())
        throw EConvertError(QStringLiteral("'%1' is not a valid time").arg(value_));
    return t;
}

void TARCell::SetT(const QTime& v) { SetValue(QLocale::system().toString(v, QLocale::LongFormat)); }

static double toCurrency(double v)
{
    // Fixed point with four decimals.
    return double(fc::Round(v * 10000.0)) / 10000.0;
}

double TARCell::C() const { return toCurrency(fc::StrToFloat(value_)); }

void TARCell::SetC(double v) { SetValue(fc::FloatToStr(toCurrency(v))); }

double TARCell::M() const
{
    QString s = value_;
    const int i = int(s.indexOf(StartupDecimalSeparator()));
    if (i >= 0)
        s[i] = fc::DecimalSeparator();
    return toCurrency(fc::StrToFloat(s));
}

void TARCell::SetM(double v)
{
    SetValue(withSeparator(QString::number(toCurrency(v), 'f', 2), StartupDecimalSeparator()));
}

// ---- measuring and drawing ----

void TARCell::applyCanvasFont(TCanvas& canvas, TColor color) const
{
    if (canvas.Font.Name != fontName_)
        canvas.Font.Name = fontName_;
    if (canvas.Font.Size() != fontSize_)
        canvas.Font.SetSize(fontSize_);
    if (canvas.Font.Style != fontStyle_)
        canvas.Font.Style = fontStyle_;
    canvas.Font.Color = color;
}

int TARCell::CalcHeight(const TCanvas& canvas) const
{
    const int fw = FrameWidth();
    // The width the drawing code lays the text out in: plain text is drawn
    // one pixel in from the inner rectangle's left edge.
    int w = width_ - 2 * fw;
    if (!isRTF_)
        w -= 1;
    int h = TextHeight(canvas, value_, w, RTFStart, isRTF_, wordWrap_) + 2 * fw + 2;
    if (autoStretch_ && picture_)
        h = IntMax(h, picture_->Height() - DrawnOffset);
    return h;
}

void TARCell::drawCrossedBox(TCanvas& canvas, const TRect& r) const
{
    canvas.PenColor = clBlack;
    canvas.PenWidth = 1;
    canvas.Rectangle(Rect(r.Left, r.Top, r.Left + width_, r.Bottom));
    canvas.Line(r.Left, r.Top, r.Left + width_, r.Bottom);
    canvas.Line(r.Left + width_, r.Top, r.Left, r.Bottom);
}

void TARCell::DrawPicture(TCanvas& canvas, const TRect& in) const
{
    if (!picture_ || !picture_->HasGraphic())
        return;
    const TPicture& p = *picture_;
    const int wg = p.Width(), hg = p.Height();
    if (autoSize_) {
        canvas.StretchDraw(in, p);
    } else if (tile_) {
        // Neighbouring copies overlap by one pixel; a picture one pixel wide
        // or high still advances by one.
        const int sx = IntMax(1, wg - 1), sy = IntMax(1, hg - 1);
        const int nc = (in.Right - in.Left) / sx + 1, nr = (in.Bottom - in.Top) / sy + 1;
        for (int c = 0; c <= nc; ++c)
            for (int r = 0; r <= nr; ++r)
                canvas.Draw(in.Left + sx * c, in.Top + sy * r, p);
    } else {
        int x = in.Left, y = in.Top;
        if (hAlign_ == ahRight)
            x = in.Right - wg;
        else if (hAlign_ == ahCenter)
            x = in.Left + (in.Right - in.Left - wg) / 2;
        if (vAlign_ == avBottom)
            y = in.Bottom - hg;
        else if (vAlign_ == avCenter)
            y = in.Top + (in.Bottom - in.Top - hg) / 2;
        canvas.Draw(x, y, p);
    }
}

void TARCell::DrawFrames(TCanvas& canvas, const TRect& rect) const
{
    canvas.BrushHollow = false;
    const TRect r = Rect(rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1);
    for (int side = 0; side < 4; ++side) {
        if (sideWidth_[side] <= 0)
            continue;
        const int s = side < 2 ? sideWidth_[2] : sideWidth_[0];
        const int e = side < 2 ? sideWidth_[3] : sideWidth_[1];
        DrawFrameLine(canvas, r, sideStyle_[side], side, sideColor_[side], sideWidth_[side], s, e);
    }
}

void TARCell::Draw(TCanvas& canvas, const TRect& rect, const TRect& clip, TSelectedCellStyle selStyle,
                   TFocusedCellStyle focStyle)
{
    if (rect.Right <= 0)
        return;
    canvas.BrushHollow = false;
    if (IsContinuation()) {
        TARCell* m = MasterCell();
        if (m != this)
            m->Draw(canvas, rect, clip, selStyle, focStyle);
        return;
    }
    TClipScope clipScope(canvas, clip);
    const bool showSel = selected_ && selStyle == scsSelected;
    canvas.BrushColor = showSel ? clHighlight : color_;
    if (shared_) {
        drawCrossedBox(canvas, rect);
        return;
    }
    canvas.FillRect(Rect(rect.Left, rect.Top, rect.Left + width_, rect.Bottom));
    const int fw = FrameWidth();
    const TRect in = Rect(rect.Left + fw, rect.Top + fw, rect.Right - fw, rect.Bottom - fw);
    DrawPicture(canvas, in);
    applyCanvasFont(canvas, showSel ? clHighlightText : fontColor_);
    DrawRectText(canvas, value_, in, clip, hAlign_, vAlign_, wordWrap_, isRTF_, textAngle_);
    DrawFrames(canvas, rect);
    if (selected_ && canvas.Painter()) {
        QPainter* p = canvas.Painter();
        if (selStyle == scsInvert) {
            canvas.DrawFocusRect(Rect(rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1));
            canvas.DrawFocusRect(Rect(rect.Left + 1, rect.Top + 1, rect.Right - 2, rect.Bottom - 2));
            canvas.DrawFocusRect(Rect(rect.Left + 2, rect.Top + 2, rect.Right - 3, rect.Bottom - 3));
            canvas.InvertRect(rect);
        } else if (selStyle == scsGray) {
            p->save();
            p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p->fillRect(QRect(rect.Left + 1, rect.Top + 1, rect.Width() - 1, rect.Height() - 1), QColor(0x18, 0x18, 0x18));
            p->restore();
        }
    }
    if (focused_ && (focStyle == fcsRect || focStyle == fcsRoundRect)) {
        canvas.PenColor = clBlack;
        canvas.PenWidth = 3;
        canvas.BrushHollow = true;
        const TRect fr = Rect(rect.Left, rect.Top, rect.Right - 1, rect.Bottom);
        if (focStyle == fcsRect)
            canvas.Rectangle(fr);
        else
            canvas.RoundRect(fr, 10, 10);
        canvas.BrushHollow = false;
        canvas.PenWidth = 1;
    }
}

int TARCell::DrawPart(TCanvas& canvas, const TRect& rect, const TRect& clip)
{
    TRect r = rect;
    r.Top -= DrawnOffset;
    const int result = IntMin(rect.Bottom, clip.Bottom);
    if (rect.Right <= 0 || IsContinuation())
        return result;
    {
        TClipScope clipScope(canvas, clip);
        canvas.BrushHollow = false;
        canvas.BrushColor = color_;
        if (shared_) {
            drawCrossedBox(canvas, r);
        } else {
            canvas.FillRect(Rect(r.Left, r.Top, r.Left + width_, r.Bottom));
            const int fw = FrameWidth();
            const TRect in = Rect(r.Left + fw, r.Top + fw, r.Right - fw, r.Bottom - fw);
            DrawPicture(canvas, in);
            applyCanvasFont(canvas, fontColor_);
            // Rich text continues at RTFStart in the part of the inner
            // rectangle that is on this page.
            const TRect textClip = Rect(in.Left, IntMax(in.Top, clip.Top), in.Right, IntMin(in.Bottom, clip.Bottom));
            DrawCellText(canvas, value_, in, textClip, hAlign_, vAlign_, wordWrap_, isRTF_, RTFStart);
            DrawFrames(canvas, r);
        }
    }
    DrawnOffset = IntMax(0, clip.Bottom - r.Top);
    return result;
}

// ---- template text ----

static QString boolText(bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); }

QStringList TARCell::ARTemplate() const
{
    static const char* const sideKeys[4] = {"FRAMELEFT", "FRAMERIGHT", "FRAMETOP", "FRAMEBOTTOM"};
    static const char* const styleKeys[4] = {"LEFTFRAMESTYLE", "RIGHTFRAMESTYLE", "TOPFRAMESTYLE", "BOTTOMFRAMESTYLE"};
    QStringList t;
    const QString in = QStringLiteral("    ");
    t << QStringLiteral("  CELL");
    if (shared_)
        t << in + QStringLiteral("SHARED");
    if (isRTF_)
        t << in + QStringLiteral("ISRTF");
    t << in + QStringLiteral("FONTNAME=") + fontName_;
    t << in + QStringLiteral("FONTSIZE=%1").arg(fontSize_);
    t << in + QStringLiteral("FONTCOLOR=%1").arg(fontColor_);
    t << in + QStringLiteral("TEXTANGLE=%1").arg(textAngle_);
    if (fontStyle_ & fsBold)
        t << in + QStringLiteral("BOLD");
    if (fontStyle_ & fsItalic)
        t << in + QStringLiteral("ITALIC");
    if (fontStyle_ & fsUnderline)
        t << in + QStringLiteral("UNDERLINE");
    if (fontStyle_ & fsStrikeOut)
        t << in + QStringLiteral("STRIKEOUT");
    for (int i = 0; i < 4; ++i) {
        if (sideWidth_[i] <= 0)
            continue;
        t << in + QStringLiteral("%1=%2,%3").arg(QLatin1String(sideKeys[i])).arg(sideWidth_[i]).arg(sideColor_[i]);
        if (sideStyle_[i] != cbsSolid)
            t << in + QStringLiteral("%1=%2").arg(QLatin1String(styleKeys[i]), LineStyleToStr(sideStyle_[i]));
    }
    t << in + QStringLiteral("FRAMECOLOR=%1").arg(FrameColor());
    t << in + QStringLiteral("FRAMEWIDTH=%1").arg(FrameWidth());
    t << in + QStringLiteral("COLOR=%1").arg(color_);
    // Any line break makes the value a line list, so that it reads back
    // exactly (a single line with a trailing break included).
    if (value_.contains(u'\r') || value_.contains(u'\n'))
        t << in + QStringLiteral("COMMAVALUE=") + ar::ToCommaText(ar::SplitTextLines(value_));
    else
        t << in + QStringLiteral("VALUE=") + value_;
    t << in + QStringLiteral("HALIGN=%1").arg(int(hAlign_));
    t << in + QStringLiteral("VALIGN=%1").arg(int(vAlign_));
    t << in + QStringLiteral("WIDTH=%1").arg(width_);
    if (widthRatio_ > 0)
        t << in + QStringLiteral("WIDTHRATIO=%1").arg(widthRatio_);
    t << in + QStringLiteral("WORDWRAP=") + boolText(wordWrap_);
    t << in + QStringLiteral("OBJECTTYPE=") + userVar_;
    t << in + QStringLiteral("AUTOSTRETCH=") + boolText(autoStretch_);
    if (!pictureFileName_.isEmpty())
        t << in + QStringLiteral("PICTUREFILENAME=") + pictureFileName_;
    if (picture_ || !pictureFileName_.isEmpty()) {
        t << in + QStringLiteral("LINKPICTURETOFILE=") + boolText(linkPictureToFile_);
        t << in + QStringLiteral("FITTOCELL=") + boolText(autoSize_);
        t << in + QStringLiteral("AUTOSIZE=") + boolText(autoSize_);
        t << in + QStringLiteral("TILE=") + boolText(tile_);
    }
    if (!linkPictureToFile_ && picture_ && picture_->HasGraphic()) {
        // Raster pictures of other kinds are written as bitmaps, so that
        // they read back.
        const char* type = picture_->kind() == TPicture::Icon       ? "ICON"
                           : picture_->kind() == TPicture::Metafile ? "METAFILE"
                                                                    : "BITMAP";
        t << in + QStringLiteral("PICTURETYPE=") + QLatin1String(type);
        t << in + QStringLiteral("PICTURE=") + GraphicToHex(*picture_);
    }
    t << QStringLiteral("  ENDCELL");
    return t;
}

static bool lowByte(int n) { return (n & 0xFF) != 0; }

void TARCell::SetARTemplate(const QStringList& lines)
{
    if (lines.isEmpty() || ar::TrimLeft(lines[0]) != QLatin1String("CELL"))
        return;
    CellScope scope(this);
    for (int i = 0; i < 4; ++i) {
        SetSideStyle(i, cbsSolid);
        SetSideWidth(i, 0);
        SetSideColor(i, 0);
    }
    SetFontStyle(0);
    SetTextAngle(0);
    bool sidesRead = false;
    TPicture::Kind prepared = TPicture::None;
    for (int li = 1; li < lines.size(); ++li) {
        QString key, value;
        bool has;
        ar::SplitLine(lines[li], key, value, has);
        int stop = 0;
        const int number = has ? ar::ReadNumber(value, &stop) : -1;
        auto side = [&](int s) {
            int w = 1, c = -1;
            if (has) {
                w = number;
                c = stop < value.size() ? ar::ReadNumber(value.mid(stop + 1)) : -1;
            }
            SetSideWidth(s, w);
            SetSideColor(s, c);
            sidesRead = true;
        };
        if (key == QLatin1String("ENDCELL"))
            break;
        else if (key == QLatin1String("SHARED"))
            SetShared(true);
        else if (key == QLatin1String("ISRTF"))
            SetIsRTF(true);
        else if (key == QLatin1String("FONTNAME"))
            SetFontName(value);
        else if (key == QLatin1String("FONTSIZE"))
            SetFontSize(number);
        else if (key == QLatin1String("FONTCOLOR"))
            SetFontColor(number);
        else if (key == QLatin1String("TEXTANGLE"))
            SetTextAngle(number);
        else if (key == QLatin1String("BOLD"))
            SetFontStyle(fontStyle_ | fsBold);
        else if (key == QLatin1String("ITALIC"))
            SetFontStyle(fontStyle_ | fsItalic);
        else if (key == QLatin1String("UNDERLINE"))
            SetFontStyle(fontStyle_ | fsUnderline);
        else if (key == QLatin1String("STRIKEOUT"))
            SetFontStyle(fontStyle_ | fsStrikeOut);
        else if (key == QLatin1String("FRAMELEFT"))
            side(0);
        else if (key == QLatin1String("FRAMERIGHT"))
            side(1);
        else if (key == QLatin1String("FRAMETOP"))
            side(2);
        else if (key == QLatin1String("FRAMEBOTTOM"))
            side(3);
        else if (key == QLatin1String("LEFTFRAMESTYLE"))
            SetSideStyle(0, StrToLineStyle(value));
        else if (key == QLatin1String("RIGHTFRAMESTYLE"))
            SetSideStyle(1, StrToLineStyle(value));
        else if (key == QLatin1String("TOPFRAMESTYLE"))
            SetSideStyle(2, StrToLineStyle(value));
        else if (key == QLatin1String("BOTTOMFRAMESTYLE"))
            SetSideStyle(3, StrToLineStyle(value));
        else if (key == QLatin1String("FRAMECOLOR")) {
            if (!sidesRead)
                SetFrameColor(number);
        } else if (key == QLatin1String("FRAMEWIDTH")) {
            if (!sidesRead)
                SetFrameWidth(number);
        } else if (key == QLatin1String("COLOR"))
            SetColor(number);
        else if (key == QLatin1String("VALUE"))
            SetValue(value);
        else if (key == QLatin1String("COMMAVALUE")) {
            QString v;
            for (const QString& l : ar::FromCommaText(value))
                v += l + QStringLiteral("\r\n");
            SetValue(v);
        } else if (key == QLatin1String("HALIGN"))
            SetHAlign(THAlign(quint8(number)));
        else if (key == QLatin1String("VALIGN"))
            SetVAlign(TVAlign(quint8(number)));
        else if (key == QLatin1String("WIDTH"))
            SetWidth(number);
        else if (key == QLatin1String("WIDTHRATIO"))
            SetWidthRatio(number);
        else if (key == QLatin1String("WORDWRAP"))
            SetWordWrap(lowByte(number));
        else if (key == QLatin1String("OBJECTTYPE"))
            SetUserVar(value);
        else if (key == QLatin1String("AUTOSTRETCH"))
            SetAutoStretch(lowByte(number));
        else if (key == QLatin1String("PICTUREFILENAME"))
            SetPictureFileName(value);
        else if (key == QLatin1String("LINKPICTURETOFILE"))
            SetLinkPictureToFile(lowByte(number));
        else if (key == QLatin1String("AUTOSIZE"))
            SetAutoSize(lowByte(number));
        else if (key == QLatin1String("TILE"))
            SetTile(lowByte(number));
        else if (key == QLatin1String("PICTURETYPE")) {
            prepared = value == QLatin1String("BITMAP")     ? TPicture::Bitmap
                       : value == QLatin1String("ICON")     ? TPicture::Icon
                       : value == QLatin1String("METAFILE") ? TPicture::Metafile
                                                            : TPicture::None;
        } else if (key == QLatin1String("PICTURE")) {
            if (prepared != TPicture::None) {
                TPicture p;
                HexToGraphic(value, p, prepared);
                SetPicture(p);
            }
        }
    }
    modified_ = true;
}

// ======================= TARBandList =======================

TARBandList::TARBandList() = default;

TARBandList::~TARBandList()
{
    OnChange = nullptr;
    OnBandChange = nullptr;
    OnCellChange = nullptr;
    if (expanded_)
        Collapse();
    ClearBands();
}

void TARBandList::EndUpdate()
{
    --updateCount_;
    Changed();
}

void TARBandList::Changed()
{
    if (modified_ && updateCount_ == 0) {
        modified_ = false;
        if (OnChange)
            OnChange(this);
    }
}

TARBand* TARBandList::GetBandItem(int i) const
{
    if (i < 0 || i >= bands_.Count())
        throw EListError::IndexOutOfBounds(i);
    return bands_[i];
}

void TARBandList::AppendBand(TARBand* band)
{
    ListScope scope(this);
    const bool e = expanded_;
    SetExpanded(false);
    band->SetParent(this);
    bands_.Add(band);
    const int n = bands_.Count();
    band->SetTop(n == 1 ? 0 : bands_[n - 2]->Top() + bands_[n - 2]->Height());
    band->OnBandChange = [this](TARBandList* b) { BandChanged(b); };
    band->OnCellChange = [this](TARBandList* b, TARCell* c) { CellChanged(b, c); };
    SetExpanded(e);
    modified_ = true;
}

void TARBandList::ClearBands()
{
    ListScope scope(this);
    const bool e = expanded_;
    SetExpanded(false);
    // Child bands shown here belong to the band that shows them: collapse
    // those first, then free only the bands this list owns.
    for (int i = 0; i < bands_.Count(); ++i)
        if (bands_[i]->Parent() == this && bands_[i]->Expanded())
            bands_[i]->Collapse();
    std::vector<TARBand*> own;
    for (TARBand* b : bands_)
        if (b->Parent() == this)
            own.push_back(b);
    bands_.Clear();
    for (TARBand* b : own) {
        b->OnBandChange = nullptr;
        b->OnCellChange = nullptr;
        delete b;
    }
    SetExpanded(e);
    modified_ = true;
}

void TARBandList::RecalcTops(int from)
{
    if (from < 0 || from >= bands_.Count())
        return;
    bands_[from]->SetTop(from == 0 ? 0 : bands_[from - 1]->Top() + bands_[from - 1]->Height());
    for (int i = from + 1; i < bands_.Count(); ++i)
        bands_[i]->SetTop(bands_[i - 1]->Top() + bands_[i - 1]->Height());
}

void TARBandList::SetHeight(int h)
{
    if (h == height_)
        return;
    ListScope scope(this);
    height_ = h;
    if (parent_) {
        const int idx = parent_->IndexOfBand(this);
        if (idx >= 0)
            parent_->RecalcTops(idx + 1);
    }
    modified_ = true;
}

void TARBandList::SetExpanded(bool e)
{
    ListScope scope(this);
    if (e)
        Expand();
    else
        Collapse();
    modified_ = true;
}

void TARBandList::Expand()
{
    ListScope scope(this);
    if (!expanded_) {
        expanded_ = true;
        if (parent_) {
            const int k = parent_->IndexOfBand(this);
            if (k >= 0) {
                const bool pe = parent_->expanded_;
                parent_->expanded_ = false;
                for (int i = 0; i < bands_.Count(); ++i)
                    if (parent_->bands_.IndexOf(bands_[i]) < 0)
                        parent_->bands_.Insert(k + 1 + i, bands_[i]);
                parent_->RecalcTops(k);
                parent_->expanded_ = pe;
            }
        }
    }
    modified_ = true;
}

void TARBandList::Collapse()
{
    ListScope scope(this);
    if (expanded_) {
        expanded_ = false;
        if (parent_) {
            const bool pe = parent_->expanded_;
            parent_->expanded_ = false;
            int smallest = parent_->BandCount() - 1;
            for (TARBand* b : bands_) {
                const int idx = parent_->bands_.IndexOf(b);
                if (idx >= 0) {
                    parent_->bands_.Delete(idx);
                    smallest = IntMin(smallest, idx);
                }
            }
            parent_->RecalcTops(smallest);
            parent_->expanded_ = pe;
        }
    }
    modified_ = true;
}

void TARBandList::SetName(const QString& n)
{
    ListScope scope(this);
    name_ = n;
    modified_ = true;
}

namespace {
// The marker of a band title: a small arrow pointing down, as on a combo box.
QImage comboArrow()
{
    QImage img(12, 12, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int row = 0; row < 4; ++row)
        for (int x = 2 + row; x <= 8 - row; ++x)
            img.setPixel(x, 4 + row, qRgb(0, 0, 0));
    return img;
}
} // namespace

void TARBandList::SetMarked(bool m)
{
    ListScope scope(this);
    mark_ = m ? comboArrow() : QImage();
    modified_ = true;
}

void TARBandList::SetMark(const QImage& m)
{
    ListScope scope(this);
    mark_ = m;
    modified_ = true;
}

void TARBandList::SetARTemplate(const QStringList& lines)
{
    ListScope scope(this);
    ARTemplateChange(lines);
    modified_ = true;
}

void TARBandList::BandChanged(TARBandList* band)
{
    if (updateCount_ == 0 && OnBandChange)
        OnBandChange(band);
}

void TARBandList::CellChanged(TARBandList* band, TARCell* cell)
{
    if (updateCount_ == 0 && OnCellChange)
        OnCellChange(band, cell);
}

// ======================= TARBand =======================

TARBand::TARBand(TARRep* orgRep) : orgRep_(orgRep)
{
    ListScope scope(this);
    SetName(QStringLiteral("Band"));
    SetHeight(25);
    for (int i = 0; i < 4; ++i)
        AddCell();
}

TARBand::TARBand(TARRep* orgRep, const TARBand& src) : orgRep_(orgRep)
{
    CopyFrom(src);
}

TARBand::~TARBand()
{
    OnChange = nullptr;
    OnBandChange = nullptr;
    OnCellChange = nullptr;
    ClearCells();
}

void TARBand::Changed()
{
    // A band's own change also reaches the list that holds it.
    const bool fire = Modified() && UpdateCount() == 0;
    TARBandList::Changed();
    if (fire && OnBandChange)
        OnBandChange(this);
}

TARCell* TARBand::AddCell()
{
    auto* c = new TARCell;
    c->SetBand(this);
    c->OnChange = [this](TARCell* cell) { CellChanged(cell); };
    cells_.Add(c);
    return c;
}

void TARBand::ClearCells()
{
    std::vector<TARCell*> cells(cells_.begin(), cells_.end());
    cells_.Clear();
    for (TARCell* c : cells) {
        c->OnChange = nullptr;
        delete c;
    }
}

void TARBand::CellChanged(TARCell* cell)
{
    if (UpdateCount() == 0 && OnCellChange)
        OnCellChange(this, cell);
}

void TARBand::CopyFrom(const TARBand& src)
{
    ListScope scope(this);
    ClearCells();
    for (int i = 0; i < src.CellCount(); ++i)
        AddCell()->CopyFrom(*src.GetCell(i));
    SetName(src.Name());
    SetHeight(src.Height());
}

int TARBand::CellLeft(int i) const
{
    if (CellCount() < 2 || i >= CellCount())
        return 0;
    int left = 0;
    for (int j = 0; j < i; ++j)
        left += cells_[j]->Width();
    return left;
}

int TARBand::CellRight(int i) const
{
    const TARCell* c = GetCell(i);
    return CellLeft(i) + (c ? c->Width() : 0);
}

int TARBand::Width() const
{
    int w = 0;
    for (const TARCell* c : cells_)
        w += c->Width() + 1;
    return w;
}

bool TARBand::Selected() const
{
    for (const TARCell* c : cells_)
        if (c->Selected())
            return true;
    return false;
}

void TARBand::SetSelected(bool s)
{
    for (TARCell* c : cells_)
        c->SetSelected(s);
}

void TARBand::StretchToWidth(TCanvas& canvas, int totalWidth)
{
    int spare = totalWidth, ratioSum = 0;
    for (const TARCell* c : cells_) {
        spare -= c->MinWidth();
        if (c->WidthRatio() > 0)
            ratioSum += c->WidthRatio();
    }
    if (spare <= 0)
        return;
    int h = Height();
    for (TARCell* c : cells_) {
        if (c->WidthRatio() <= 0)
            continue;
        c->SetWidth(int(fc::Round(double(spare) * c->WidthRatio() / ratioSum)) + c->MinWidth());
        if (c->AutoStretch()) {
            canvas.Font.SetSize(c->FontSize());
            canvas.Font.Style = c->FontStyle();
            canvas.Font.Name = c->FontName();
            h = IntMax(c->CalcHeight(canvas), h);
        }
    }
    SetHeight(h);
}

QStringList TARBand::GetARTemplate() const
{
    QStringList t;
    t << QStringLiteral("BAND") << QStringLiteral("  NAME=") + Name()
      << QStringLiteral("  HEIGHT=%1").arg(Height());
    for (const TARCell* c : cells_)
        t << c->ARTemplate();
    t << QStringLiteral("ENDBAND");
    return t;
}

void TARBand::ARTemplateChange(const QStringList& lines)
{
    if (lines.isEmpty() || ar::TrimLeft(lines[0]) != QLatin1String("BAND"))
        return;
    ListScope scope(this);
    ClearCells();
    for (int i = 1; i < lines.size(); ++i) {
        QString key, value;
        bool has;
        ar::SplitLine(lines[i], key, value, has);
        key = key.toUpper();
        if (key == QLatin1String("ENDBAND"))
            break;
        if (key == QLatin1String("NAME")) {
            SetName(value);
        } else if (key == QLatin1String("HEIGHT")) {
            SetHeight(has ? ar::ReadNumber(value) : -1);
        } else if (key == QLatin1String("CELL")) {
            QStringList block{QStringLiteral("    CELL")};
            int j = i + 1;
            bool closed = false;
            for (; j < lines.size(); ++j) {
                if (TextEquals(ar::TrimLeft(lines[j]), QLatin1String("ENDCELL"))) {
                    closed = true;
                    break;
                }
                block << lines[j];
            }
            if (!closed)
                break; // an unfinished cell is dropped
            AddCell()->SetARTemplate(block);
            i = j;
        }
    }
    SetModified();
}

// ======================= TARRep =======================

TARRep::TARRep()
{
    ListScope scope(this);
    Font = MakeFont(QStringLiteral("ARIAL"), 10, 0, 0);
    Font.Charset = 1;
    Orientation = 0;
    PageSize().SetName(QStringLiteral("A4"));
    for (int i = 0; i < 4; ++i)
        AddBand();
}

TARRep::~TARRep()
{
    OnChange = nullptr;
    OnBandChange = nullptr;
    OnCellChange = nullptr;
    ClearBands();
}

TARPageSize& TARRep::PageSize()
{
    if (!pageSize_)
        pageSize_ = std::make_unique<TARPageSize>();
    return *pageSize_;
}

TARBand* TARRep::AddBand()
{
    ListScope scope(this);
    auto* b = new TARBand(nullptr);
    const int n = BandCount();
    b->SetName(QStringLiteral("%1 %2").arg(b->Name()).arg(n));
    for (int j = 0; j < b->CellCount(); ++j) {
        TARCell* c = b->GetCell(j);
        c->SetValue(QStringLiteral("%1(%2,%3)").arg(c->Value()).arg(n).arg(j));
    }
    AppendBand(b);
    SetModified();
    return b;
}

TARBand* TARRep::GetBand(int i) const
{
    if (BandCount() == 0)
        return nullptr;
    return bands()[IntMin(IntMax(i, 0), BandCount() - 1)];
}

int TARRep::GetBandTop(int i) const
{
    if (i < 0 || i >= BandCount())
        return 0;
    return bands()[i]->Top();
}

int TARRep::SpanHeight(const TARBand* band) const
{
    if (!band)
        return 0;
    int h = band->Height();
    for (int j = 0; j < band->CellCount(); ++j) {
        const TARBand* last = band->GetCell(j)->LastSpanBand();
        if (last && last != band)
            h = IntMax(h, last->Top() + last->Height() - band->Top());
    }
    return h;
}

void TARRep::Load(const QString& fileName) { SetARTemplate(ar::DecodeTemplateLines(ReadFile(fileName))); }

QByteArray TARRep::ReadFile(const QString& fileName)
{
    QByteArray bytes;
    if (FileSystem) {
        try {
            QIODevice* s = FileSystem->CreateReadStream(fileName);
            bytes = s->readAll();
        } catch (...) {
            FileSystem->CloseReadStream();
            throw;
        }
        FileSystem->CloseReadStream();
    } else {
        QFile f(fileName);
        if (QFileInfo(fileName).isDir() || !f.open(QIODevice::ReadOnly))
            throw EFileError(QStringLiteral("Cannot open file %1").arg(fileName));
        bytes = f.readAll();
    }
    return bytes;
}

QStringList TARRep::GetARTemplate() const
{
    QStringList t;
    t << (Orientation == 1 ? QStringLiteral("ORIENTATION=LANDSCAPE") : QStringLiteral("ORIENTATION=PORTRAIT"));
    t << QStringLiteral("LEFTMARGIN=%1").arg(qint64(std::nearbyint(LeftMargin)));
    t << QStringLiteral("TOPMARGIN=%1").arg(qint64(std::nearbyint(TopMargin)));
    t << QStringLiteral("RIGHTMARGIN=%1").arg(qint64(std::nearbyint(RightMargin)));
    t << QStringLiteral("BOTTOMMARGIN=%1").arg(qint64(std::nearbyint(BottomMargin)));
    t << QStringLiteral("PAPERSIZE=%1").arg(PageSize().PaperSize());
    t << PageSize().ARTemplate();
    t << QStringLiteral("FONTNAME=") + Font.Name;
    t << QStringLiteral("FONTSIZE=%1").arg(Font.Size());
    t << QStringLiteral("FONTCOLOR=%1").arg(Font.Color);
    t << QStringLiteral("FONTCHARSET=%1").arg(int(Font.Charset));
    if (Font.Style & fsBold)
        t << QStringLiteral("BOLD");
    if (Font.Style & fsItalic)
        t << QStringLiteral("ITALIC");
    if (Font.Style & fsUnderline)
        t << QStringLiteral("UNDERLINE");
    if (Font.Style & fsStrikeOut)
        t << QStringLiteral("STRIKEOUT");
    if (userVars_.Count() > 0) {
        t << QStringLiteral("OBJECTLIST");
        for (int i = 0; i < userVars_.Count(); ++i)
            t << QStringLiteral("  %1=%2").arg(userVars_[i]).arg(userVars_.Object(i));
        t << QStringLiteral("ENDOBJECTLIST");
    }
    for (const TARBand* b : bands())
        t << b->ARTemplate();
    return t;
}

void TARRep::ARTemplateChange(const QStringList& input)
{
    ListScope scope(this);
    QStringList lines = input;
    ClearBands();
    Font.Style = 0;
    int p = 0;
    const int n = int(lines.size());
    // Collects from p up to the first line whose text without leading blanks
    // equals endWord (any case); p moves past it. False when none.
    auto collect = [&](const QString& first, const char* endWord, QStringList& block) {
        block = QStringList{first};
        for (int j = p; j < n; ++j) {
            if (TextEquals(ar::TrimLeft(lines[j]), QLatin1String(endWord))) {
                p = j + 1;
                return true;
            }
            block << lines[j];
        }
        p = n;
        return false;
    };
    while (p < n) {
        QString key, value;
        bool has;
        ar::SplitLine(lines[p], key, value, has);
        ++p;
        key = key.toUpper();
        value = value.toUpper();
        const int number = has ? ar::ReadNumber(value) : -1;
        if (key == QLatin1String("ORIENTATION")) {
            Orientation = value == QLatin1String("LANDSCAPE") ? 1 : 0;
        } else if (key == QLatin1String("LEFTMARGIN")) {
            LeftMargin = number;
        } else if (key == QLatin1String("TOPMARGIN")) {
            TopMargin = number;
        } else if (key == QLatin1String("RIGHTMARGIN")) {
            RightMargin = number;
        } else if (key == QLatin1String("BOTTOMMARGIN")) {
            BottomMargin = number;
        } else if (key == QLatin1String("PAPERSIZE")) {
            PageSize().SetPaperSize(number);
        } else if (key == QLatin1String("FONTNAME")) {
            Font.Name = value;
        } else if (key == QLatin1String("FONTSIZE")) {
            Font.SetSize(number);
        } else if (key == QLatin1String("FONTCOLOR")) {
            Font.Color = number;
        } else if (key == QLatin1String("FONTCHARSET")) {
            Font.Charset = quint8(number);
        } else if (key == QLatin1String("BOLD")) {
            Font.Style |= fsBold;
        } else if (key == QLatin1String("ITALIC")) {
            Font.Style |= fsItalic;
        } else if (key == QLatin1String("UNDERLINE")) {
            Font.Style |= fsUnderline;
        } else if (key == QLatin1String("STRIKEOUT")) {
            Font.Style |= fsStrikeOut;
        } else if (key == QLatin1String("PAGESIZE")) {
            QStringList block;
            if (collect(QStringLiteral("PAGESIZE"), "ENDPAGESIZE", block))
                PageSize().SetARTemplate(block);
        } else if (key == QLatin1String("OBJECTLIST")) {
            userVars_.Clear();
            while (p < n) {
                const QString& line = lines[p++];
                QString k, v;
                bool h;
                ar::SplitLine(line, k, v, h);
                const QString name = h ? k.toUpper() : ar::TrimLeft(line);
                // The end line ends the list in any case, as the other end
                // lines do.
                if (TextEquals(name, QLatin1String("ENDOBJECTLIST")))
                    break;
                userVars_.Add(name, h ? ar::ReadNumber(v) : 0);
            }
        } else if (key == QLatin1String("BAND")) {
            QStringList block;
            if (collect(QStringLiteral("  BAND"), "ENDBAND", block))
                AddBand()->SetARTemplate(block);
        }
    }
    SetModified();
}
