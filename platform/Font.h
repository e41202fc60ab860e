#pragma once
// Fonts as values (what the templates, grid cells and reports store) and
// the one interface through which text is measured. The screen has 96
// pixels per inch; Height is the negative character height in pixels, as
// the original platform stored it, Size the point size.

#include <QString>
#include <QtGlobal>

#include "Colors.h"

enum TFontStyle : quint8 { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = quint8;

enum TFontPitch : quint8 { fpDefault, fpVariable, fpFixed };

constexpr int ScreenPixelsPerInch = 96;

namespace fc {
// MulDiv as the platform computes it: a × b / c rounded half away from zero.
int MulDiv(int a, int b, int c);
} // namespace fc

struct TFont {
    QString Name = QStringLiteral("MS Sans Serif");
    int Height = -11; // pixels; negative: character height without leading
    TFontStyles Style = 0;
    TColor Color = clWindowText;
    quint8 Charset = 1; // DEFAULT_CHARSET
    TFontPitch Pitch = fpDefault;

    // Point size from Height, and Height from a point size.
    int Size() const { return -fc::MulDiv(Height, 72, ScreenPixelsPerInch); }
    void SetSize(int points) { Height = -fc::MulDiv(points, ScreenPixelsPerInch, 72); }

    bool Bold() const { return Style & fsBold; }
    bool Italic() const { return Style & fsItalic; }
    bool Underline() const { return Style & fsUnderline; }
    bool StrikeOut() const { return Style & fsStrikeOut; }

    friend bool operator==(const TFont&, const TFont&) = default;
};

// A font of the given name and point size.
TFont MakeFont(const QString& name, int points, TFontStyles style = 0, TColor color = clWindowText);

// Text measures in screen pixels. Everything that wraps text and everything
// that paints it uses the same measurer.
class ITextMeasurer {
public:
    virtual ~ITextMeasurer() = default;
    virtual int TextWidth(const TFont& font, const QString& text) const = 0;
    // Height of one line of the font (the canvas's text height of the string).
    virtual int TextHeight(const TFont& font, const QString& text) const = 0;
};

// For tests: every character is CharWidth pixels wide (bold ones one more),
// every line LineHeight pixels high, whatever the font's name.
class FixedPitchMeasurer : public ITextMeasurer {
public:
    explicit FixedPitchMeasurer(int charWidth = 6, int lineHeight = 13)
        : charWidth_(charWidth), lineHeight_(lineHeight) {}
    int TextWidth(const TFont& font, const QString& text) const override;
    int TextHeight(const TFont& font, const QString& text) const override;

private:
    int charWidth_;
    int lineHeight_;
};

namespace fc {
// The measurer the program uses: the Qt one once the gui layer installed it,
// else a FixedPitchMeasurer. Tests may install their own.
const ITextMeasurer& TextMeasurer();
void SetTextMeasurer(const ITextMeasurer* m); // nullptr: back to the default
} // namespace fc
