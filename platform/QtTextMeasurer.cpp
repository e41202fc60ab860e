#include "QtTextMeasurer.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHash>
#include <QMutex>
#include <memory>
#include <vector>

namespace fc {

QString ResolveFontFamily(const QString& name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("ms sans serif") || n == QLatin1String("arial") || n == QLatin1String("tahoma")
        || n == QLatin1String("verdana") || n == QLatin1String("helvetica") || n == QLatin1String("ms shell dlg")
        || n == QLatin1String("ms shell dlg 2") || n.isEmpty())
        return QStringLiteral("Liberation Sans");
    if (n == QLatin1String("times new roman") || n == QLatin1String("times") || n == QLatin1String("ms serif"))
        return QStringLiteral("Liberation Serif");
    if (n == QLatin1String("courier new") || n == QLatin1String("courier") || n == QLatin1String("fixedsys"))
        return QStringLiteral("Liberation Mono");
    return name;
}

QFont ToQFont(const TFont& f)
{
    QFont q(ResolveFontFamily(f.Name));
    // A negative Height is the character height; Qt's pixel size is the
    // em height, the same measure.
    int px = f.Height < 0 ? -f.Height : f.Height;
    q.setPixelSize(px > 0 ? px : 1);
    q.setBold(f.Bold());
    q.setItalic(f.Italic());
    q.setUnderline(f.Underline());
    q.setStrikeOut(f.StrikeOut());
    if (f.Pitch == fpFixed)
        q.setFixedPitch(true);
    q.setKerning(false);
    q.setHintingPreference(QFont::PreferNoHinting);
    return q;
}

namespace {

// Grids and reports measure the same few fonts and many repeated texts:
// the metrics of a font are made once and the widths of its texts kept,
// instead of a QFont, a font lookup and a text shaping per call.

// Exactly what ToQFont reads besides the name.
struct FontTraits {
    int height;
    TFontStyles style;
    bool fixed;
    friend bool operator==(const FontTraits&, const FontTraits&) = default;
};

FontTraits traitsOf(const TFont& f)
{
    return {f.Height < 0 ? -f.Height : f.Height, TFontStyles(f.Style & (fsBold | fsItalic | fsUnderline | fsStrikeOut)),
            f.Pitch == fpFixed};
}

struct FontKey {
    QString name;
    FontTraits traits;
};

struct FontMeasures {
    FontKey key;
    QFontMetrics metrics;
    int height;
    QHash<QString, int> widths;
};

// Bounds of the caches: past them they start again, so that a long run of
// distinct texts costs no more than measuring them.
constexpr size_t kMaxFonts = 64;
constexpr qsizetype kMaxWidths = 8192;

struct MeasureCache {
    QMutex mutex;
    std::vector<std::unique_ptr<FontMeasures>> fonts;
    bool cleanupRegistered = false;
};

MeasureCache& cache()
{
    static MeasureCache c;
    return c;
}

// The fonts go before the application object that their engines belong to.
void clearCache()
{
    MeasureCache& c = cache();
    QMutexLocker lock(&c.mutex);
    c.fonts.clear();
    c.cleanupRegistered = false;
}

// With the cache's mutex held.
FontMeasures& measuresOf(MeasureCache& c, const TFont& font)
{
    // Compared in place: the name is copied only for a font not met before.
    const FontTraits traits = traitsOf(font);
    for (auto& f : c.fonts)
        if (f->key.traits == traits && f->key.name == font.Name)
            return *f;
    if (!c.cleanupRegistered && QCoreApplication::instance()) {
        qAddPostRoutine(clearCache);
        c.cleanupRegistered = true;
    }
    if (c.fonts.size() >= kMaxFonts)
        c.fonts.clear();
    QFontMetrics metrics(ToQFont(font));
    const int height = metrics.height();
    c.fonts.push_back(std::make_unique<FontMeasures>(FontMeasures{{font.Name, traits}, metrics, height, {}}));
    return *c.fonts.back();
}

} // namespace

int QtTextMeasurer::TextWidth(const TFont& font, const QString& text) const
{
    MeasureCache& c = cache();
    QMutexLocker lock(&c.mutex);
    FontMeasures& f = measuresOf(c, font);
    const auto it = f.widths.constFind(text);
    if (it != f.widths.constEnd())
        return *it;
    const int w = f.metrics.horizontalAdvance(text);
    if (f.widths.size() >= kMaxWidths)
        f.widths.clear();
    f.widths.insert(text, w);
    return w;
}

int QtTextMeasurer::TextHeight(const TFont& font, const QString&) const
{
    MeasureCache& c = cache();
    QMutexLocker lock(&c.mutex);
    return measuresOf(c, font).height;
}

void InstallQtTextMeasurer()
{
    static const QtTextMeasurer measurer;
    SetTextMeasurer(&measurer);
}

} // namespace fc
