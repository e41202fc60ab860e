// Drawing primitives: units, wrapping and text heights on a fake measurer,
// frame lines and cells drawn onto images, rich text, pictures.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include "ARRep.h"
#include "ReportTestUtil.h"
#include "TestSupport.h"
#include "platform/JpegImage.h"
#include "platform/QtTextMeasurer.h"
#include "platform/RtfReader.h"

namespace {
// Letters 10 pixels wide, blanks 5; lines 13 high.
class CharMeasurer : public ITextMeasurer {
public:
    int TextWidth(const TFont&, const QString& t) const override
    {
        int w = 0;
        for (QChar c : t)
            w += c == u' ' ? 5 : 10;
        return w;
    }
    int TextHeight(const TFont&, const QString&) const override { return 13; }
};

// An image with a painter and a canvas over it, filled with a background.
struct Surface {
    explicit Surface(int w, int h, QColor bg = QColor(0x80, 0x80, 0x80)) : image(w, h, QImage::Format_RGB32)
    {
        image.fill(bg);
        painter = std::make_unique<QPainter>(&image);
        canvas = std::make_unique<TCanvas>(painter.get(), &measurer);
    }
    QColor at(int x, int y)
    {
        painter->end();
        QColor c = image.pixelColor(x, y);
        painter->begin(&image);
        return c;
    }
    QImage done()
    {
        painter->end();
        return image;
    }
    QImage image;
    FixedPitchMeasurer measurer;
    std::unique_ptr<QPainter> painter;
    std::unique_ptr<TCanvas> canvas;
};

const QColor kBg(0x80, 0x80, 0x80);
} // namespace

TEST(DrawingUnits, ConversionsAndRanges)
{
    EXPECT_NEAR(UnitFactor(uPix), 2.6458333, 1e-6);
    EXPECT_EQ(ToScreenPixels(2100), 794);
    EXPECT_EQ(ToScreenPixels(2970), 1123);
    EXPECT_DOUBLE_EQ(ConvertUnits(uMM, uCm, 25), 2.5);
    EXPECT_DOUBLE_EQ(ConvertUnits(uIn, uIn, 3), 3);
    EXPECT_NEAR(ConvertUnits(uIn, uPix, 1), 96, 1e-9);
    EXPECT_TRUE(InRange(10, 10, 0));
    EXPECT_FALSE(InRange(11, 10, 0));
    EXPECT_TRUE(InRange(15, 10, 5));
    EXPECT_FALSE(InRange(9, 10, 5));
}

TEST(DrawingUnits, LineStyleNames)
{
    EXPECT_EQ(StrToLineStyle("double21"), cbsDouble21);
    EXPECT_EQ(StrToLineStyle("DASHDOTDOT"), cbsDashDotDot);
    EXPECT_EQ(StrToLineStyle("Wavy"), cbsSolid);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(StrToLineStyle(LineStyleToStr(TLineStyle(i))), TLineStyle(i));
}

TEST(TextLayout, SplitWordsKeepsEveryBlank)
{
    QStringList l;
    SplitWords("ab  c", l);
    EXPECT_EQ(l, (QStringList{"ab", " ", " ", "c"}));
    SplitWords(" a ", l);
    EXPECT_EQ(l, (QStringList{" ", "a", " "}));
    SplitWords("", l);
    EXPECT_TRUE(l.isEmpty());
}

TEST(TextLayout, WrapStringTable)
{
    CharMeasurer m;
    TCanvas canvas(nullptr, &m);
    struct Case {
        QStringList in;
        int width;
        QStringList out;
    };
    const Case cases[] = {
        {{"abcd efgh ijkl"}, 90, {"abcd efgh ", "ijkl"}},
        {{"abcd efgh ijkl"}, 130, {"abcd efgh ijkl"}},
        // A word wider than the line is cut where it stops fitting, one
        // character a line at least.
        {{"abcdefghijkl mn"}, 50, {"abcde", "fghij", "kl mn"}},
        {{"abc"}, 5, {"a", "b", "c"}},
        {{"ab", "abcd efgh"}, 45, {"ab", "abcd ", "efgh"}},
        {{"abcd  efgh"}, 45, {"abcd ", " efgh"}}, // a line may start with the blank that did not fit
        {{""}, 10, {""}},
    };
    for (const Case& c : cases) {
        QStringList lines = c.in;
        WrapString(lines, canvas, c.width);
        EXPECT_EQ(lines, c.out) << c.in.join('|').toStdString() << " @" << c.width;
    }
}

TEST(TextLayout, TextHeightOfPlainText)
{
    FixedPitchMeasurer m(6, 13);
    TCanvas canvas(nullptr, &m);
    EXPECT_EQ(TextHeight(canvas, "", 100, 0, false, true), 0);
    EXPECT_EQ(TextHeight(canvas, "one\r\ntwo\r\nthree", 100, 0, false, true), 42);
    EXPECT_EQ(TextHeight(canvas, "one\ntwo\rthree\r\n", 100, 0, false, false), 42);
    // "aaaa bbbb cccc" is 84 pixels: three lines at 30, one without wrapping.
    EXPECT_EQ(TextHeight(canvas, "aaaa bbbb cccc", 30, 0, false, true), 42);
    EXPECT_EQ(TextHeight(canvas, "aaaa bbbb cccc", 30, 0, false, false), 14);
}

TEST(FrameLines, DashedTopEdgeIsCutAtTheEnd)
{
    Surface s(40, 10);
    DrawFrameLine(*s.canvas, Rect(0, 0, 30, 9), cbsDash, 2, clBlack, 1, 1, 1);
    const QImage img = s.done();
    for (int x = 0; x < 40; ++x) {
        const bool expected = x <= 17 || (x >= 24 && x <= 30);
        EXPECT_EQ(img.pixelColor(x, 0) == QColor(Qt::black), expected) << x;
        EXPECT_EQ(img.pixelColor(x, 1), kBg) << x;
    }
}

TEST(FrameLines, CornersOfEveryStyle)
{
    // A 40 x 30 cell framed on all sides in one style; points inside the
    // top-left corner and on the left edge, drawn (1) or not (0).
    struct Case {
        TLineStyle style;
        int width;
        std::vector<std::tuple<int, int, bool>> points;
    };
    const Case cases[] = {
        {cbsSolid, 2, {{0, 0, 1}, {1, 1, 1}, {1, 15, 1}, {2, 15, 0}, {2, 2, 0}, {38, 28, 1}, {37, 27, 0}}},
        {cbsDash, 1, {{0, 0, 1}, {0, 17, 1}, {0, 20, 0}, {20, 0, 0}, {24, 0, 1}, {39, 29, 1}, {1, 1, 0}}},
        {cbsDot, 1, {{0, 0, 1}, {2, 0, 1}, {4, 0, 0}, {6, 0, 1}, {0, 4, 0}}},
        {cbsDashDot, 1, {{8, 0, 1}, {10, 0, 0}, {15, 0, 1}, {18, 0, 0}, {24, 0, 1}}},
        {cbsDashDotDot, 1, {{8, 0, 1}, {10, 0, 0}, {12, 0, 1}, {15, 0, 0}, {18, 0, 1}, {21, 0, 0}, {24, 0, 1}}},
        {cbsDouble11, 3, {{0, 0, 1}, {1, 15, 0}, {2, 15, 1}, {2, 1, 0}, {2, 2, 1}, {1, 2, 0}, {2, 27, 1}, {2, 28, 0}}},
        {cbsDouble21, 4, {{1, 0, 1}, {1, 15, 1}, {2, 15, 0}, {3, 15, 1}, {2, 2, 0}, {3, 3, 1}, {3, 2, 0}}},
        {cbsDouble12, 4, {{0, 15, 1}, {1, 15, 0}, {2, 15, 1}, {3, 15, 1}, {2, 1, 0}, {2, 2, 1}, {3, 2, 1}, {4, 15, 0}}},
    };
    for (const Case& c : cases) {
        Surface s(40, 30);
        TARCell cell;
        cell.SetBorderStyle(c.style);
        for (int i = 0; i < 4; ++i)
            cell.SetSideWidth(i, c.width);
        cell.SetFrameColor(clBlue);
        cell.DrawFrames(*s.canvas, Rect(0, 0, 40, 30));
        const QImage img = s.done();
        for (auto [x, y, drawn] : c.points)
            EXPECT_EQ(img.pixelColor(x, y) == QColor(Qt::blue), drawn)
                << LineStyleToStr(c.style).toStdString() << " at " << x << "," << y;
    }
}

TEST(FrameLines, InnerLinesAreNeverLengthened)
{
    // A start width of 1 would shorten the second line of Double12 by -1.
    Surface s(60, 50);
    DrawFrameLine(*s.canvas, Rect(10, 10, 49, 39), cbsDouble12, 0, clBlack, 4, 1, 1);
    EXPECT_EQ(s.at(12, 10), QColor(Qt::black));
    EXPECT_EQ(s.at(12, 9), kBg);
    EXPECT_EQ(s.at(12, 40), kBg);
    DrawFrameLine(*s.canvas, Rect(10, 10, 49, 39), TLineStyle(9), 0, clRed, 4, 1, 1);
    EXPECT_NE(s.at(10, 20), QColor(Qt::red)) << "an unknown style draws nothing";
}

TEST(CellDrawing, FillFramesAndClip)
{
    Surface s(120, 40);
    TARCell cell;
    cell.SetValue("");
    cell.SetColor(clRed);
    cell.SetFrameColor(clBlue);
    cell.Draw(*s.canvas, Rect(0, 0, 100, 30), Rect(0, 0, 50, 40), scsNone, fcsNone);
    EXPECT_EQ(s.at(20, 15), QColor(Qt::red));
    EXPECT_EQ(s.at(0, 15), QColor(Qt::blue));
    EXPECT_EQ(s.at(20, 0), QColor(Qt::blue));
    EXPECT_EQ(s.at(20, 29), QColor(Qt::blue));
    EXPECT_EQ(s.at(49, 15), QColor(Qt::red));
    EXPECT_EQ(s.at(50, 15), kBg) << "the fill is clipped";
    EXPECT_EQ(s.at(99, 15), kBg) << "the frame is clipped";

    // Scrolled fully to the left: nothing.
    Surface t(50, 40);
    cell.Draw(*t.canvas, Rect(-100, 0, 0, 30), Rect(0, 0, 50, 40), scsNone, fcsNone);
    EXPECT_EQ(t.at(0, 10), kBg);
}

TEST(CellDrawing, SelectionAndFocus)
{
    Surface s(60, 40);
    TARCell cell;
    cell.SetValue("");
    cell.SetSelected(true);
    cell.SetFocused(true);
    cell.Draw(*s.canvas, Rect(0, 0, 50, 30), Rect(0, 0, 60, 40), scsSelected, fcsRect);
    EXPECT_EQ(s.at(20, 15), ar::ToQColor(clHighlight));
    EXPECT_EQ(s.at(1, 15), QColor(Qt::black)) << "3-pixel focus frame";
    EXPECT_EQ(s.at(3, 15), ar::ToQColor(clHighlight));

    Surface g(60, 40);
    cell.SetFocused(false);
    cell.Draw(*g.canvas, Rect(0, 0, 50, 30), Rect(0, 0, 60, 40), scsGray, fcsNone);
    EXPECT_EQ(g.at(20, 15), QColor(0xFF ^ 0x18, 0xFF ^ 0x18, 0xFF ^ 0x18));
}

TEST(CellDrawing, CentredPicture)
{
    Surface s(60, 40);
    TARCell cell;
    cell.SetValue("");
    cell.SetWidth(40);
    cell.SetHAlign(ahCenter);
    cell.SetVAlign(avCenter);
    QImage img(10, 10, QImage::Format_RGB32);
    img.fill(Qt::blue);
    cell.Picture().SetImage(TPicture::Bitmap, img);
    cell.Draw(*s.canvas, Rect(0, 0, 40, 30), Rect(0, 0, 60, 40), scsNone, fcsNone);
    // Inner rectangle (1,1)-(39,29): x = 1 + (38 - 10) / 2, y = 1 + (28 - 10) / 2.
    EXPECT_EQ(s.at(15, 10), QColor(Qt::blue));
    EXPECT_EQ(s.at(24, 19), QColor(Qt::blue));
    EXPECT_EQ(s.at(14, 10), QColor(Qt::white));
    EXPECT_EQ(s.at(25, 19), QColor(Qt::white));
    EXPECT_EQ(s.at(15, 9), QColor(Qt::white));
}

TEST(CellDrawing, TiledOnePixelPictureFillsAndEnds)
{
    Surface s(30, 20);
    TARCell cell;
    cell.SetValue("");
    cell.SetWidth(30);
    cell.SetTile(true);
    QImage img(1, 1, QImage::Format_RGB32);
    img.fill(Qt::green);
    cell.Picture().SetImage(TPicture::Bitmap, img);
    cell.Draw(*s.canvas, Rect(0, 0, 30, 20), Rect(0, 0, 30, 20), scsNone, fcsNone);
    EXPECT_EQ(s.at(5, 5), QColor(Qt::green));
    EXPECT_EQ(s.at(28, 18), QColor(Qt::green));
}

TEST(CellDrawing, SharedCellWithoutMasterIsACrossedBox)
{
    TARRep rep;
    TARCell* cell = rep.GetBand(0)->GetCell(0);
    cell->SetShared(true);
    cell->SetColor(clRed);
    cell->SetValue("");
    for (int pass = 0; pass < 2; ++pass) {
        Surface s(110, 30);
        if (pass == 0)
            cell->Draw(*s.canvas, Rect(0, 0, 100, 25), Rect(0, 0, 110, 30), scsNone, fcsNone);
        else
            cell->DrawPart(*s.canvas, Rect(0, 0, 100, 25), Rect(0, 0, 110, 30));
        EXPECT_EQ(s.at(50, 0), QColor(Qt::black)) << pass;
        EXPECT_EQ(s.at(40, 10), QColor(Qt::black)) << "diagonal, pass " << pass;
        EXPECT_EQ(s.at(30, 5), QColor(Qt::red)) << pass;
    }
    // The continuation below draws its master; DrawPart draws nothing.
    cell->SetShared(false);
    TARCell* below = rep.GetBand(1)->GetCell(0);
    below->SetShared(true);
    below->DrawnOffset = 7;
    Surface s(110, 30);
    EXPECT_EQ(below->DrawPart(*s.canvas, Rect(0, 0, 100, 25), Rect(0, 0, 110, 20)), 20);
    EXPECT_EQ(below->DrawnOffset, 7);
    EXPECT_EQ(s.at(30, 5), kBg);
    below->Draw(*s.canvas, Rect(0, 0, 100, 25), Rect(0, 0, 110, 30), scsNone, fcsNone);
    EXPECT_EQ(s.at(30, 5), QColor(Qt::red));
}

TEST(CellDrawing, CalcHeightFigures)
{
    FixedPitchMeasurer m(6, 13);
    TCanvas canvas(nullptr, &m);
    TARCell cell;
    cell.SetValue("one line");
    EXPECT_EQ(cell.CalcHeight(canvas), 13 + 5);
    cell.SetFrameWidth(3);
    EXPECT_EQ(cell.CalcHeight(canvas), 14 + 6 + 2);
    cell.SetFrameWidth(1);
    // 96 pixels of text in a 98-pixel cell: the drawing wraps at 95, so the
    // height counts two lines.
    cell.SetWidth(98);
    cell.SetValue("aaaaaaa aaaaaaaa");
    EXPECT_EQ(cell.CalcHeight(canvas), 2 * 14 + 4);
    cell.SetWidth(99);
    EXPECT_EQ(cell.CalcHeight(canvas), 14 + 4);
    // A taller picture wins when auto-stretching, less what was drawn.
    QImage img(10, 60, QImage::Format_RGB32);
    cell.Picture().SetImage(TPicture::Bitmap, img);
    EXPECT_EQ(cell.CalcHeight(canvas), 60);
    cell.DrawnOffset = 50;
    EXPECT_EQ(cell.CalcHeight(canvas), 18);
    cell.SetAutoStretch(false);
    cell.DrawnOffset = 0;
    EXPECT_EQ(cell.CalcHeight(canvas), 18);
}

TEST(CellDrawing, DrawPartContinuesOnTheNextPage)
{
    Surface s(120, 400, Qt::white);
    TARCell cell;
    cell.SetValue("");
    EXPECT_EQ(cell.DrawPart(*s.canvas, Rect(0, 0, 100, 300), Rect(0, 0, 100, 120)), 120);
    EXPECT_EQ(cell.DrawnOffset, 120);
    EXPECT_EQ(cell.DrawPart(*s.canvas, Rect(0, 10, 100, 310), Rect(0, 10, 100, 210)), 210);
    EXPECT_EQ(cell.DrawnOffset, 120 + 200);
    cell.ResetContinuation();
    EXPECT_EQ(cell.DrawnOffset, 0);
    EXPECT_EQ(cell.RTFStart, 0);
}

TEST(CellValues, ParseVarNamesTable)
{
    struct Case {
        const char* value;
        QStringList pieces;
        std::vector<qint64> kinds;
    };
    const Case cases[] = {
        {"", {}, {}},
        {"[A][B]", {"A", "B"}, {1, 1}},
        {"abc]", {"abc]"}, {0}},
        {"Model [MODEL] at [SPEED]", {"Model ", "MODEL", " at ", "SPEED"}, {0, 1, 0, 1}},
        {"[A[B]C]x", {"A[B]C", "x"}, {1, 0}},
        {"text[", {"text"}, {0}},
        {"a[b", {"a"}, {0}},
    };
    for (const Case& c : cases) {
        TARCell cell;
        cell.SetValue(c.value);
        cell.ParseVarNames();
        const TAIStringList& l = cell.VarNameList();
        ASSERT_EQ(l.Strings(), c.pieces) << c.value;
        for (int i = 0; i < l.Count(); ++i)
            EXPECT_EQ(l.Object(i), c.kinds[size_t(i)]) << c.value;
    }
}

TEST(CellValues, TypedViews)
{
    fc::test::ScopedSeparators sep(u',', u'.');
    TARCell cell;
    cell.SetI(42);
    EXPECT_EQ(cell.Value(), "42");
    EXPECT_EQ(cell.I(), 42);
    cell.SetF(2.5);
    EXPECT_EQ(cell.Value(), "2,50");
    EXPECT_DOUBLE_EQ(cell.F(), 2.5);
    cell.SetValue("abc");
    EXPECT_THROW(cell.I(), EConvertError);
    EXPECT_THROW(cell.F(), EConvertError);
    cell.SetC(1.23456);
    EXPECT_DOUBLE_EQ(cell.C(), 1.2346);
    // Money keeps the separator of the start of the run, whatever is current.
    cell.SetM(3.5);
    EXPECT_EQ(cell.Value(), QString(u'3') + StartupDecimalSeparator() + QStringLiteral("50"));
    EXPECT_DOUBLE_EQ(cell.M(), 3.5);
    cell.SetD(QDate(2024, 3, 1));
    EXPECT_EQ(cell.D(), QDate(2024, 3, 1));
    QImage img(3, 3, QImage::Format_RGB32);
    TPicture p;
    p.SetImage(TPicture::Bitmap, img);
    cell.SetG(p);
    EXPECT_TRUE(cell.G().HasGraphic());
}

TEST(CellValues, LinkedPicturesAndPictureFileName)
{
    QTemporaryDir dir;
    QImage img(6, 4, QImage::Format_RGB32);
    img.fill(Qt::yellow);
    ASSERT_TRUE(img.save(dir.filePath("logo.bmp"), "BMP"));

    TARCell cell;
    cell.SetValue("{" + dir.filePath("logo.bmp") + "}");
    cell.LoadLinkedPicture();
    ASSERT_TRUE(cell.HasGraphic());
    EXPECT_EQ(cell.Picture().Width(), 6);
    cell.SetValue("{" + dir.filePath("missing.bmp") + "}");
    cell.LoadLinkedPicture();
    EXPECT_FALSE(cell.HasPictureObject()) << "a missing file frees the picture";
    cell.Picture();
    cell.SetValue("{}");
    cell.LoadLinkedPicture();
    EXPECT_FALSE(cell.HasPictureObject());
    cell.Picture();
    cell.SetValue("plain");
    cell.LoadLinkedPicture();
    EXPECT_TRUE(cell.HasPictureObject()) << "other values change nothing";

    cell.SetPictureFileName("  " + dir.filePath("logo.bmp") + " ");
    EXPECT_EQ(cell.PictureFileName(), dir.filePath("logo.bmp"));
    EXPECT_TRUE(cell.HasGraphic());
    cell.SetPictureFileName(dir.filePath("gone.bmp"));
    EXPECT_FALSE(cell.HasPictureObject());

    QFile bad(dir.filePath("bad.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a bitmap");
    bad.close();
    EXPECT_THROW(cell.SetPictureFileName(dir.filePath("bad.bmp")), EInvalidGraphic);
    EXPECT_EQ(cell.UpdateCount(), 0);
}

TEST(Pictures, JpegThroughLibjpeg)
{
    QImage img(16, 8, QImage::Format_RGB32);
    img.fill(QColor(200, 30, 30));
    QByteArray bytes;
    {
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        QImageWriter w(&buf, "JPEG");
        if (!w.write(img))
            GTEST_SKIP() << "no JPEG writer to make the sample";
    }
    QString err;
    const QImage decoded = fc::DecodeJpeg(bytes, &err);
    ASSERT_FALSE(decoded.isNull()) << err.toStdString();
    EXPECT_EQ(decoded.size(), QSize(16, 8));
    EXPECT_NEAR(decoded.pixelColor(8, 4).red(), 200, 6);

    // Truncated and garbage data come back as errors, the process goes on.
    EXPECT_TRUE(fc::DecodeJpeg(bytes.left(40), &err).isNull());
    EXPECT_FALSE(err.isEmpty());
    EXPECT_TRUE(fc::DecodeJpeg(QByteArray("\xFF\xD8garbage"), &err).isNull());
    EXPECT_TRUE(fc::DecodeJpeg(QByteArray(), &err).isNull());

    QTemporaryDir dir;
    QFile f(dir.filePath("p.jpg"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    TPicture p;
    p.LoadFromFile(dir.filePath("p.jpg"));
    EXPECT_EQ(p.kind(), TPicture::Jpeg);
    EXPECT_EQ(p.Width(), 16);
    EXPECT_FALSE(fc::LoadImageFile(dir.filePath("p.jpg")).isNull());
    EXPECT_THROW(p.LoadFromFile(dir.filePath("p.gif")), EInvalidGraphic);
}

TEST(Pictures, MetafilesKeepTheirBytesAndDrawAnEmptyFrame)
{
    // A placeable metafile header of 96 x 48 units at 96 units per inch.
    QByteArray wmf("\xD7\xCD\xC6\x9A\x00\x00", 6);
    auto put16 = [&](int v) {
        wmf += char(v & 0xFF);
        wmf += char((v >> 8) & 0xFF);
    };
    put16(0);
    put16(0);
    put16(20);
    put16(10);
    put16(96);
    wmf += QByteArray(10, '\0');
    TPicture p;
    HexToGraphic(QString::fromLatin1(wmf.toHex()), p, TPicture::Metafile);
    EXPECT_EQ(p.kind(), TPicture::Metafile);
    EXPECT_EQ(p.Width(), 20);
    EXPECT_EQ(p.Height(), 10);
    EXPECT_EQ(GraphicToHex(p), QString::fromLatin1(wmf.toHex().toUpper()));
    EXPECT_THROW(HexToGraphic("00112233", p, TPicture::Metafile), EInvalidGraphic);

    Surface s(40, 30, Qt::white);
    s.canvas->Draw(5, 5, p);
    EXPECT_EQ(s.at(5, 5), QColor(Qt::black));
    EXPECT_EQ(s.at(24, 14), QColor(Qt::black));
    EXPECT_EQ(s.at(10, 10), QColor(Qt::white));
}

TEST(RichText, ReadsFormatsParagraphsAndEscapes)
{
    const QString rtf = QStringLiteral(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
        "{\\colortbl;\\red255\\green0\\blue0;}"
        "{\\*\\generator Some editor;}{\\stylesheet{\\s0 Normal;}}"
        "\\f0\\fs20 Plain {\\b bold} \\cf1 red\\cf0\\par"
        "\\f1\\fs30 Voil\\'e0 \\u8364?\\tab end\\line next\\par}");
    QTextDocument doc;
    fc::ReadRtf(rtf, doc, fc::ToQFont(MakeFont("Arial", 10)));
    QTextBlock b = doc.begin();
    ASSERT_TRUE(b.isValid());
    EXPECT_EQ(b.text(), "Plain bold red");
    struct Run {
        QString text;
        bool bold;
        QColor color;
    };
    std::vector<Run> runs;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        runs.push_back({f.text(), f.charFormat().font().bold(), f.charFormat().foreground().color()});
        EXPECT_EQ(f.charFormat().font().pixelSize(), 13) << "10 points at 96 dpi";
        EXPECT_EQ(f.charFormat().font().family(), "Liberation Sans");
    }
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, "Plain ");
    EXPECT_FALSE(runs[0].bold);
    EXPECT_EQ(runs[1].text, "bold");
    EXPECT_TRUE(runs[1].bold);
    EXPECT_FALSE(runs[2].bold);
    EXPECT_EQ(runs[3].text, "red");
    EXPECT_EQ(runs[3].color, QColor(Qt::red));

    b = b.next();
    ASSERT_TRUE(b.isValid());
    EXPECT_EQ(b.text(), QStringLiteral("Voil\u00E0 \u20AC\tend\u2028next"));
    const QTextCharFormat cf = b.begin().fragment().charFormat();
    EXPECT_EQ(cf.font().family(), "Liberation Mono");
    EXPECT_EQ(cf.font().pixelSize(), 20);
    EXPECT_FALSE(b.next().isValid() && !b.next().text().isEmpty());
}

TEST(RichText, MeasuresAndDrawsInParts)
{
    fc::InstallQtTextMeasurer();
    QString rtf = QStringLiteral("{\\rtf1\\ansi\\fs20 ");
    for (int i = 0; i < 12; ++i)
        rtf += QStringLiteral("Line %1\\par ").arg(i);
    rtf += u'}';
    TCanvas measure;
    const int full = TextHeight(measure, rtf, 200, 0, true, true);
    EXPECT_GT(full, 12 * 12);
    EXPECT_LT(TextHeight(measure, rtf, 200, 30, true, true), full);

    Surface s(220, 400, Qt::white);
    int start = 0, calls = 0;
    int last = -1;
    while (calls < 40) {
        ++calls;
        const int before = start;
        const bool fitted = DrawRTFPart(*s.canvas, rtf, Rect(0, 0, 200, 1000), Rect(0, 0, 200, 50), true, ahLeft, start);
        if (!fitted) {
            EXPECT_EQ(start, before);
            break;
        }
        EXPECT_GT(start, before) << "every call that draws moves on";
        last = start;
    }
    EXPECT_LT(calls, 40);
    EXPECT_GT(last, 0);
    // A page too short for one line says so and keeps the position.
    int p = 0;
    EXPECT_FALSE(DrawRTFPart(*s.canvas, rtf, Rect(0, 0, 200, 1000), Rect(0, 0, 200, 3), true, ahLeft, p));
    EXPECT_EQ(p, 0);
    fc::SetTextMeasurer(nullptr);
}

TEST(RealText, TextIsAnchoredAtItsTopLeft)
{
    fc::InstallQtTextMeasurer();
    QImage img(100, 40, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter painter(&img);
        TCanvas canvas(&painter);
        canvas.Font = MakeFont("Arial", 10, 0, clBlack);
        canvas.TextOut(10, 10, "Hg");
    }
    int top = 100, left = 100;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                top = std::min(top, y);
                left = std::min(left, x);
            }
    EXPECT_GE(top, 10);
    EXPECT_LE(top, 13);
    EXPECT_GE(left, 10);
    EXPECT_LE(left, 12);
    fc::SetTextMeasurer(nullptr);
}

TEST(RealText, RotatedTextAtOddAnglesDrawsEveryLineAtOnePoint)
{
    fc::InstallQtTextMeasurer();
    auto draw = [](const QString& text, int angle, int times = 1) {
        QImage img(120, 120, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        TCanvas canvas(&painter);
        canvas.Font = MakeFont("Arial", 12, 0, clBlack);
        for (int i = 0; i < times; ++i)
            DrawRectText(canvas, text, Rect(0, 0, 120, 120), Rect(0, 0, 120, 120), ahCenter, avCenter, false, false,
                         angle);
        painter.end();
        return img;
    };
    // Bounding box of the inked pixels.
    auto ink = [](const QImage& img) {
        QRect box;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qGray(img.pixel(x, y)) < 160)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    // Both lines land where one line drawn twice does.
    EXPECT_EQ(draw("XY\r\nXY", 45), draw("XY", 45, 2));
    EXPECT_EQ(draw("XY\r\nXY", -315), draw("XY", 45, 2));
    // At 90 degrees the two lines stand side by side and the text runs upward.
    EXPECT_GT(ink(draw("XY\r\nXY", 90)).width(), ink(draw("XY", 90)).width() + 5);
    const QRect up = ink(draw("XYZ", 90));
    const int minX = up.left(), maxX = up.right(), minY = up.top(), maxY = up.bottom();
    EXPECT_GT(maxY - minY, maxX - minX) << "the text runs upward";
    fc::SetTextMeasurer(nullptr);
}

TEST(CellDrawing, AFrameColourOfMinusOneIsBlack)
{
    Surface s(40, 30, Qt::white);
    TARCell cell;
    cell.SetValue("");
    cell.SetFrameColor(-1);
    cell.Draw(*s.canvas, Rect(0, 0, 40, 30), Rect(0, 0, 40, 30), scsNone, fcsNone);
    EXPECT_EQ(s.at(0, 10), QColor(Qt::black));
}

TEST(RichText, OtherSingleByteCodePages)
{
    QTextDocument doc;
    fc::ReadRtf(QStringLiteral("{\\rtf1\\ansi\\ansicpg1250 \\'9a\\'e8}"), doc, QFont());
    EXPECT_EQ(doc.begin().text(), QStringLiteral("\u0161\u010D"));
    fc::ReadRtf(QStringLiteral("{\\rtf1\\ansi\\ansicpg99999 \\'e8}"), doc, QFont());
    EXPECT_EQ(doc.begin().text(), QStringLiteral("\u00E8")) << "an unknown code page reads as 1252";
}

TEST(CellDrawing, RichTextContinuesOnTheNextPage)
{
    fc::InstallQtTextMeasurer();
    QString rtf = QStringLiteral("{\\rtf1\\ansi\\fs20 ");
    for (int i = 0; i < 10; ++i)
        rtf += QStringLiteral("Row %1\\par ").arg(i);
    rtf += u'}';
    TARCell cell;
    cell.SetIsRTF(true);
    cell.SetValue(rtf);
    QImage img(120, 400, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    TCanvas canvas(&painter);
    const int h = cell.CalcHeight(canvas);
    ASSERT_GT(h, 100);
    cell.DrawPart(canvas, Rect(0, 0, 100, h), Rect(0, 0, 100, 60));
    const int first = cell.RTFStart;
    EXPECT_GT(first, 0);
    EXPECT_LT(cell.CalcHeight(canvas), h) << "what is left to draw";
    cell.DrawPart(canvas, Rect(0, 100, 100, 100 + h), Rect(0, 100, 100, 160));
    EXPECT_GT(cell.RTFStart, first);
    painter.end();
    fc::SetTextMeasurer(nullptr);
}

TEST(RealText, AlignmentInTheRectangle)
{
    fc::InstallQtTextMeasurer();
    auto inkOf = [](THAlign h, TVAlign v) {
        QImage img(100, 60, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        TCanvas canvas(&painter);
        canvas.Font = MakeFont("Arial", 10, 0, clBlack);
        DrawRectText(canvas, "HH", Rect(0, 0, 100, 60), Rect(0, 0, 100, 60), h, v, true, false, 0);
        painter.end();
        QRect box;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qGray(img.pixel(x, y)) < 160)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect tl = inkOf(ahLeft, avTop), br = inkOf(ahRight, avBottom), cc = inkOf(ahCenter, avCenter);
    EXPECT_LE(tl.left(), 3);
    EXPECT_LE(tl.top(), 5);
    EXPECT_GE(br.right(), 92);
    EXPECT_LE(br.right(), 97) << "two pixels kept from the right edge";
    EXPECT_GE(br.bottom(), 52);
    EXPECT_NEAR((cc.left() + cc.right()) / 2.0, 50, 3);
    EXPECT_NEAR((cc.top() + cc.bottom()) / 2.0, 30, 4);
    fc::SetTextMeasurer(nullptr);
}

TEST(Pictures, IconsRoundTripThroughTheTemplate)
{
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(QColor(10, 200, 10));
    QByteArray ico;
    QBuffer buf(&ico);
    buf.open(QIODevice::WriteOnly);
    if (!img.save(&buf, "ICO"))
        GTEST_SKIP() << "no icon writer";
    TARCell cell;
    cell.SetLinkPictureToFile(false);
    cell.Picture().LoadFromBytes(TPicture::Icon, ico);
    const QStringList t = cell.ARTemplate();
    EXPECT_TRUE(t.contains("    PICTURETYPE=ICON"));
    TARCell back;
    back.SetARTemplate(t);
    ASSERT_TRUE(back.HasGraphic());
    EXPECT_EQ(back.Picture().kind(), TPicture::Icon);
    EXPECT_EQ(back.Picture().Bytes(), ico);
    EXPECT_EQ(back.Picture().Width(), 16);
}
