#include "Font.h"

#include <cstdlib>

namespace fc {

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1; // as the platform answered
    const qint64 p = qint64(a) * qint64(b);
    qint64 q = p / c;
    const qint64 r = p % c;
    if (2 * std::llabs(r) >= std::llabs(qint64(c)))
        q += ((p < 0) != (c < 0)) ? -1 : 1;
    return int(q);
}

namespace {
const ITextMeasurer* g_measurer = nullptr;
} // namespace

const ITextMeasurer& TextMeasurer()
{
    static const FixedPitchMeasurer fallback;
    return g_measurer ? *g_measurer : fallback;
}

void SetTextMeasurer(const ITextMeasurer* m) { g_measurer = m; }

} // namespace fc

TFont MakeFont(const QString& name, int points, TFontStyles style, TColor color)
{
    TFont f;
    f.Name = name;
    f.SetSize(points);
    f.Style = style;
    f.Color = color;
    return f;
}

int FixedPitchMeasurer::TextWidth(const TFont& font, const QString& text) const
{
    return int(text.size()) * (charWidth_ + (font.Bold() ? 1 : 0));
}

int FixedPitchMeasurer::TextHeight(const TFont&, const QString&) const { return lineHeight_; }
