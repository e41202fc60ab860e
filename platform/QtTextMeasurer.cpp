#include "QtTextMeasurer.h"

#include <QFontMetrics>

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

int QtTextMeasurer::TextWidth(const TFont& font, const QString& text) const
{
    return QFontMetrics(ToQFont(font)).horizontalAdvance(text);
}

int QtTextMeasurer::TextHeight(const TFont& font, const QString&) const
{
    return QFontMetrics(ToQFont(font)).height();
}

void InstallQtTextMeasurer()
{
    static const QtTextMeasurer measurer;
    SetTextMeasurer(&measurer);
}

} // namespace fc
