#pragma once
// Drawing primitives of the report engine: units, word wrapping, text in
// rectangles (plain, rotated and rich), frame lines, the picture type and
// its hexadecimal form, all over a canvas that paints through QPainter at
// 96 pixels per inch with pixel-sized fonts and text anchored at its
// top-left corner.
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QBrush>
#include <QPen>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "ARRepCommon.h"
#include "platform/Colors.h"
#include "platform/Errors.h"
#include "platform/Font.h"

class QPainter;
class QTextDocument;

enum TLineStyle : quint8 {
    cbsSolid,
    cbsDash,
    cbsDot,
    cbsDashDot,
    cbsDashDotDot,
    cbsDouble11,
    cbsDouble21,
    cbsDouble12,
};
enum THAlign : quint8 { ahLeft, ahRight, ahCenter };
enum TVAlign : quint8 { avTop, avBottom, avCenter };
enum TARUnits { uPix, uMM, uCm, uIn };

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// A picture as the report cells hold it. Bitmaps and icons keep their file
// bytes so that they are written back unchanged; metafiles are kept as bytes
// only (they are drawn as an empty frame of their size).
class TPicture {
public:
    enum Kind { None, Bitmap, Icon, Metafile, Jpeg };
    Kind kind() const { return kind_; }
    bool HasGraphic() const { return kind_ != None; }
    int Width() const { return size_.width(); }
    int Height() const { return size_.height(); }
    const QImage& Image() const { return image_; }
    const QByteArray& Bytes() const { return bytes_; }
    void Clear();
    // Loads a file; the kind follows the extension (bmp, ico, emf/wmf,
    // jpg/jpeg). An unknown extension or unreadable content raises.
    void LoadFromFile(const QString& path);
    // Loads the file form of a graphic of the given kind; raises when the
    // bytes are not such a graphic.
    void LoadFromBytes(Kind kind, const QByteArray& bytes);
    void SetImage(Kind kind, const QImage& image);
    // The file form written for the template: BMP bytes for bitmaps (and for
    // any other raster kind), the icon or metafile file for those.
    QByteArray SaveToBytes() const;
    friend bool operator==(const TPicture& a, const TPicture& b)
    {
        return a.kind_ == b.kind_ && a.bytes_ == b.bytes_ && a.image_ == b.image_;
    }

private:
    Kind kind_ = None;
    QImage image_;
    QByteArray bytes_;
    QSize size_;
};

// A canvas over an optional QPainter; without one it only measures.
class TCanvas {
public:
    explicit TCanvas(QPainter* painter = nullptr, const ITextMeasurer* measurer = nullptr);
    // The painter with the pen and brush the canvas's callers expect.
    QPainter* Painter() const;
    const ITextMeasurer& Measurer() const;

    TFont Font = MakeFont(QStringLiteral("ARIAL"), 10, 0, clBlack);
    TColor BrushColor = clWhite;
    bool BrushHollow = false;
    TColor PenColor = clBlack;
    int PenWidth = 1;

    int TextWidth(const QString& s) const;
    int TextHeight(const QString& s) const;
    // Fills with the brush colour (Right and Bottom exclusive).
    void FillRect(const TRect& r);
    // Text with its top-left corner at (x, y), optionally clipped.
    void TextOut(int x, int y, const QString& s);
    void TextRect(const TRect& clip, int x, int y, const QString& s);
    // Outline with the pen, filled with the brush unless hollow.
    void Rectangle(const TRect& r);
    void RoundRect(const TRect& r, int ew, int eh);
    void Line(int x1, int y1, int x2, int y2);
    void DrawFocusRect(const TRect& r);
    void InvertRect(const TRect& r);
    void Draw(int x, int y, const TPicture& p);
    void StretchDraw(const TRect& r, const TPicture& p);
    // Clipping to a rectangle for a scope (nested scopes intersect).
    void PushClip(const TRect& r);
    void PopClip();

private:
    // Gives the painter the pen, brush and font its callers expect.
    void settle() const;
    void holdState() const;
    QPainter* painter_;
    const ITextMeasurer* measurer_;
    // A recorded page stores every change of pen, brush and font, and a
    // restore of saved painter state records the clip again with its
    // transform. On such a painter the canvas keeps the state the drawing
    // calls expect (held) apart from the painter's, gives the painter only
    // what each draw uses (fills: no pen and the fill colour; text: its font
    // and colour), and clips without saving painter state; anything else
    // gets the held state first. What is drawn, with what, is unchanged.
    struct Held {
        QPen pen;
        QBrush brush;
        QFont font;
    };
    struct ClipLevel {
        bool saved; // through QPainter::save (the painter's own clip or transform was in force)
        QRect rect; // the clip in force, when not saved
        Held held;
    };
    bool recorded_ = false;
    mutable bool diverged_ = false;
    mutable Held held_;
    std::vector<ClipLevel> clips_;
    QFont lastFont_, lastResolvedFont_;
    bool lastFontValid_ = false;
};

class TClipScope {
public:
    TClipScope(TCanvas& c, const TRect& r) : c_(c) { c_.PushClip(r); }
    ~TClipScope() { c_.PopClip(); }
    TClipScope(const TClipScope&) = delete;
    TClipScope& operator=(const TClipScope&) = delete;
private:
    TCanvas& c_;
};

namespace ar {
QColor ToQColor(TColor c);
} // namespace ar

// The rich-text engine: RTF read into a QTextDocument, measured and drawn.
// One instance is current for the process; the grid view registers its own,
// and one is made on first use when none was registered.
class TARRTF {
public:
    TARRTF();
    ~TARRTF();
    static TARRTF& Current();
    static void SetCurrent(TARRTF* rtf); // nullptr: back to the built-in one

    // Loads the text (RTF, or plain text when it is not RTF) with the font as
    // the default character format.
    void Load(const QString& text, const TFont& font, bool wordWrap, THAlign align);
    void Clear();
    QTextDocument& Document() { return *doc_; }
    // Height of the text from character position start on, laid out in width.
    int MeasureHeight(int width, int start);
    void Render(QPainter* painter, const TRect& r);
    // Draws the lines from position start that fit between clip.Top and
    // clip.Bottom, from r's left to its right; returns the position after
    // the last line drawn, or start unchanged (and fitted false) when not
    // even one line fits.
    int RenderPart(QPainter* painter, const TRect& r, const TRect& clip, int start, bool& fitted);

private:
    struct LineInfo {
        int pos;
        double top, bottom;
    };
    std::vector<LineInfo> lines();
    std::unique_ptr<QTextDocument> doc_;
    bool wordWrap_ = true;
};

extern const char* const LineStyleNames[8];
TLineStyle StrToLineStyle(const QString& name);
QString LineStyleToStr(TLineStyle s);

double UnitFactor(TARUnits u);
double ConvertUnits(TARUnits from, TARUnits to, double value);
int ToScreenPixels(double tenthsMM);
bool InRange(int x, int start, int length);

// The decimal separator in force when the drawing code was first used (the
// fixed form of money values, view M of a cell).
QChar StartupDecimalSeparator();

void SplitWords(const QString& text, QStringList& list);
void WrapString(QStringList& lines, const TCanvas& canvas, int width);
int TextHeight(const TCanvas& canvas, const QString& text, int width, int start, bool isRTF, bool wordWrap);
void DrawRectText(TCanvas& canvas, const QString& text, const TRect& r, const TRect& clip, THAlign halign,
                  TVAlign valign, bool wordWrap, bool isRTF, int angle);
void DrawRotatedText(TCanvas& canvas, const TRect& r, const QString& text, int angle, bool wordWrap,
                     TVAlign valign, THAlign halign);
void DrawRTF(TCanvas& canvas, const QString& text, const TRect& r, bool wordWrap, THAlign halign);
// Rich text continued across pages: start moves on to the first character
// not drawn. Returns false when not even one line fitted.
bool DrawRTFPart(TCanvas& canvas, const QString& text, const TRect& r, const TRect& clip, bool wordWrap,
                 THAlign halign, int& start);
void DrawCellText(TCanvas& canvas, const QString& text, const TRect& r, const TRect& clip, THAlign halign,
                  TVAlign valign, bool wordWrap, bool isRTF, int& start);
// side: 0 left, 1 right, 2 top, 3 bottom; r's Right and Bottom are the last
// pixel column and row of the cell.
void DrawFrameLine(TCanvas& canvas, const TRect& r, TLineStyle style, int side, TColor color, int width,
                   int startWidth, int endWidth);

QString GraphicToHex(const TPicture& p);
// Loads the picture of the given kind from hex text (raises when the bytes
// are not such a graphic).
void HexToGraphic(const QString& text, TPicture& p, TPicture::Kind kind);
QByteArray HexToBytes(const QString& text);
