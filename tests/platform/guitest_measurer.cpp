#include <gtest/gtest.h>

#include <QFontInfo>

#include "platform/QtTextMeasurer.h"

TEST(QtTextMeasurer, ClassicFacesResolveToTheirMetricTwins)
{
    EXPECT_EQ(fc::ResolveFontFamily("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(fc::ResolveFontFamily("Times New Roman"), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(fc::ResolveFontFamily("Courier New"), QStringLiteral("Liberation Mono"));
    const QFont q = fc::ToQFont(MakeFont("Arial", 10, fsBold | fsItalic));
    EXPECT_EQ(q.pixelSize(), 13);
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.italic());
    EXPECT_EQ(QFontInfo(q).family(), QStringLiteral("Liberation Sans"));
}

TEST(QtTextMeasurer, WidthsGrowWithTextAndSize)
{
    fc::QtTextMeasurer m;
    const TFont small = MakeFont("Arial", 8);
    const TFont large = MakeFont("Arial", 16);
    EXPECT_GT(m.TextWidth(small, "WWWW"), m.TextWidth(small, "iiii"));
    EXPECT_GT(m.TextWidth(large, "Umidità"), m.TextWidth(small, "Umidità"));
    EXPECT_GT(m.TextHeight(large, "A"), m.TextHeight(small, "A"));
    EXPECT_EQ(m.TextWidth(small, ""), 0);
    // Courier's twin is fixed pitch.
    const TFont mono = MakeFont("Courier New", 10);
    EXPECT_EQ(m.TextWidth(mono, "iiii"), m.TextWidth(mono, "WWWW"));
}
