#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>
#include <vector>

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

// The measures kept between calls are those Qt gives for the font at once:
// every font attribute that shapes the text tells fonts apart, a colour or
// character set does not, and texts past the kept number measure alike.
TEST(QtTextMeasurer, KeptMeasuresAreThoseOfTheFontAtOnce)
{
    fc::QtTextMeasurer m;
    auto fresh = [](const TFont& f, const QString& t) { return QFontMetrics(fc::ToQFont(f)).horizontalAdvance(t); };
    std::vector<TFont> fonts;
    for (const char* name : {"Arial", "Times New Roman", "Courier New"})
        for (int points : {8, 10, 16})
            for (TFontStyles style : {TFontStyles(0), TFontStyles(fsBold), TFontStyles(fsItalic),
                                      TFontStyles(fsBold | fsUnderline), TFontStyles(fsStrikeOut)})
                fonts.push_back(MakeFont(name, points, style));
    TFont fixed = MakeFont("Arial", 10);
    fixed.Pitch = fpFixed;
    fonts.push_back(fixed);
    TFont positive = MakeFont("Arial", 10);
    positive.Height = -positive.Height;
    fonts.push_back(positive);
    const QStringList texts = {"", "W", "Temp.ingresso acqua", "1.234,5", "Umidità relativa", "iiii WWWW"};
    for (int pass = 0; pass < 2; ++pass)
        for (const TFont& f : fonts)
            for (const QString& t : texts) {
                SCOPED_TRACE((f.Name + ' ' + QString::number(f.Height) + ' ' + QString::number(f.Style) + ' ' + t)
                                 .toStdString());
                ASSERT_EQ(m.TextWidth(f, t), fresh(f, t));
                ASSERT_EQ(m.TextHeight(f, t), QFontMetrics(fc::ToQFont(f)).height());
            }
    // Colour and character set shape nothing.
    TFont red = MakeFont("Arial", 10, fsBold, clRed);
    red.Charset = 0;
    EXPECT_EQ(m.TextWidth(red, "WWWW"), fresh(MakeFont("Arial", 10, fsBold), "WWWW"));
    // Many distinct texts, then the first ones again.
    const TFont f = MakeFont("Arial", 10);
    for (int i = 0; i < 20000; i += 7)
        ASSERT_EQ(m.TextWidth(f, QString::number(i * 1.37, 'f', 2)), fresh(f, QString::number(i * 1.37, 'f', 2))) << i;
    EXPECT_EQ(m.TextWidth(f, "Temp.ingresso acqua"), fresh(f, "Temp.ingresso acqua"));
    // More fonts than are kept.
    for (int round = 0; round < 2; ++round)
        for (int points = 1; points <= 100; ++points) {
            const TFont g = MakeFont("Arial", points);
            ASSERT_EQ(m.TextWidth(g, "Portata Aria"), fresh(g, "Portata Aria")) << points;
            ASSERT_EQ(m.TextHeight(g, "A"), QFontMetrics(fc::ToQFont(g)).height()) << points;
        }
}
