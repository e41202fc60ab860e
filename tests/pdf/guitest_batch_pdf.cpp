// The report as a PDF file: layout read back from the uncompressed page
// contents, outside checks with qpdf and the poppler tools.

#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include "PdfTestSupport.h"
#include "pdf/BatchPdf.h"
#include "platform/Numbers.h"
#include "platform/Random.h"
#include "report/ARRep.h"

namespace {

using fc::test::ExpectQpdfCheck;

struct CellSpec {
    int width = 150;
    QString text;
    THAlign align = ahLeft;
    std::array<int, 4> sides = {0, 0, 0, 0}; // left, right, top, bottom
    QString font = QStringLiteral("Arial");
    int size = 10;
};

TARBand* AddBand(TARRep& rep, int height, const QList<CellSpec>& cells, TARBandState state = 0)
{
    TARBand* band = rep.AddBand();
    band->ClearCells();
    band->SetHeight(height);
    band->BandState = state;
    for (const CellSpec& spec : cells) {
        TARCell* c = band->AddCell();
        c->SetWidth(spec.width);
        c->SetValue(spec.text);
        c->SetHAlign(spec.align);
        for (int s = 0; s < 4; ++s)
            c->SetSideWidth(s, spec.sides[size_t(s)]);
        c->SetFontName(spec.font);
        c->SetFontSize(spec.size);
    }
    return band;
}

CellSpec Text(const QString& text, int width = 150, THAlign align = ahLeft)
{
    CellSpec c;
    c.text = text;
    c.width = width;
    c.align = align;
    return c;
}

// The content streams of the pages, in page order (pages and their contents
// are numbered in the order they were made; images carry a Subtype).
QList<QByteArray> PageContents(const QByteArray& pdf)
{
    QList<QByteArray> out;
    qsizetype from = 0;
    for (;;) {
        const qsizetype s = pdf.indexOf("stream\r\n", from);
        if (s < 0)
            break;
        const qsizetype dictStart = pdf.lastIndexOf(" obj\r\n", s);
        const qsizetype e = pdf.indexOf("endstream", s);
        const QByteArray dict = pdf.mid(dictStart, s - dictStart);
        if (!dict.contains("/Subtype"))
            out.append(pdf.mid(s + 8, e - s - 8).trimmed() + '\n');
        from = e + 9;
    }
    return out;
}

class BatchPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fc::test::kPdfClassesRegistered);
        ASSERT_TRUE(dir_.isValid());
        fc::SetRandSeed(0);
        rep_.ClearBands();
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }

    QByteArray Export()
    {
        const QString file = Path(QStringLiteral("report.pdf"));
        ExportReportToPdf(rep_, file);
        return fc::test::readFile(file);
    }

    QByteArray Page1()
    {
        const QList<QByteArray> pages = PageContents(Export());
        return pages.isEmpty() ? QByteArray() : pages.first();
    }

    QTemporaryDir dir_;
    TARRep rep_;
};

TEST_F(BatchPdf, FirstCellWritesOnlyItsText)
{
    AddBand(rep_, 100, {Text(QStringLiteral("Mod (A)"))});
    // The page selects Arial 10 itself; the cell adds nothing but its text.
    EXPECT_EQ(Page1(), QByteArray("/F0 10 Tf\nBT\n21 812 Td\n(Mod \\(A\\)) Tj\nET\n"));
}

TEST_F(BatchPdf, BandsStepDownByTheirHeightAndCellsByTheirLeftEdge)
{
    AddBand(rep_, 100, {Text(QStringLiteral("a1")), Text(QStringLiteral("a2"), 200)});
    AddBand(rep_, 100, {Text(QStringLiteral("b1")), Text(QStringLiteral("b2"), 200)});
    AddBand(rep_, 33, {Text(QStringLiteral("c1"))});
    AddBand(rep_, 100, {Text(QStringLiteral("d1"))});
    const QByteArray page = Page1();
    // x: Round(0 * 0.76) + 21 and Round(150 * 0.76) + 21; y: 822, 743, 664,
    // then 664 - Round(33 * 0.79) = 638; the baseline 10 points lower.
    EXPECT_TRUE(page.contains("21 812 Td\n(a1) Tj")) << page.constData();
    EXPECT_TRUE(page.contains("135 812 Td\n(a2) Tj"));
    EXPECT_TRUE(page.contains("21 733 Td\n(b1) Tj"));
    EXPECT_TRUE(page.contains("135 733 Td\n(b2) Tj"));
    EXPECT_TRUE(page.contains("21 654 Td\n(c1) Tj"));
    EXPECT_TRUE(page.contains("21 628 Td\n(d1) Tj"));
}

TEST_F(BatchPdf, FramesInSideOrderWithWidthsByFrameWidth)
{
    CellSpec c = Text(QString());
    c.sides = {1, 0, 2, 3};
    CellSpec d = Text(QString(), 200);
    d.sides = {0, 4, 0, 0};
    AddBand(rep_, 100, {c, d});
    // Left 20, right Round(150 * 0.76) + 20 = 134, bottom 822 - 79; the second
    // cell's right edge Round(350 * 0.76) + 20 = 286.
    EXPECT_EQ(Page1(), QByteArray("/F0 10 Tf\n"
                                  "0.2 w\n20 822 m\n20 743 l\nS\n"
                                  "0.4 w\n20 822 m\n134 822 l\nS\n"
                                  "0.8 w\n20 743 m\n134 743 l\nS\n"
                                  "0.8 w\n286 822 m\n286 743 l\nS\n"));
}

TEST_F(BatchPdf, MergedCellFramesAllItsBandsAndSharedCellsAreSkipped)
{
    CellSpec master = Text(QStringLiteral("Merged"));
    master.sides = {1, 1, 1, 1};
    CellSpec other = Text(QStringLiteral("x"), 100);
    other.sides = {0, 0, 0, 0};
    AddBand(rep_, 100, {master, other});
    TARBand* second = AddBand(rep_, 60, {Text(QStringLiteral("hidden")), Text(QStringLiteral("y"), 100)});
    second->GetCell(0)->SetShared(true);
    AddBand(rep_, 100, {Text(QStringLiteral("after"))});
    const QByteArray page = Page1();
    // The master reaches 822 - 79 - Round(60 * 0.79) = 696.
    EXPECT_TRUE(page.contains("0.2 w\n20 822 m\n20 696 l\nS\n"
                              "0.2 w\n20 822 m\n134 822 l\nS\n"
                              "0.2 w\n134 822 m\n134 696 l\nS\n"
                              "0.2 w\n20 696 m\n134 696 l\nS\n"))
        << page.constData();
    EXPECT_FALSE(page.contains("hidden"));
    EXPECT_TRUE(page.contains("135 733 Td\n(y) Tj"));
    EXPECT_TRUE(page.contains("21 686 Td\n(after) Tj"));
}

TEST_F(BatchPdf, LinesOfACell)
{
    auto fixed = [](const QString& text, int width) {
        CellSpec c = Text(text, width);
        c.font = QStringLiteral("FixedWidth"); // 6 points a character at 10
        return c;
    };
    const struct {
        CellSpec cell;
        QList<QByteArray> lines; // from the baseline 812 down, 10 points apart
    } cases[] = {
        {Text(QStringLiteral("one\rtwo")), {"one", "two"}},
        {Text(QStringLiteral("one\r\ntwo")), {"one", "two"}},
        // Lines of the text itself are never wrapped.
        {Text(QStringLiteral("a very long first line of text\rb"), 30), {"a very long first line of text", "b"}},
        // "alpha beta " fits Round(70 * 0.76) = 53 points, "g" no more.
        {Text(QStringLiteral("alpha beta gamma"), 70), {"alpha beta ", "gamma"}},
        // Without break characters the text is cut where it stops fitting.
        {fixed(QStringLiteral("ABCDEFGHIJKLMNOPQRST"), 70), {"ABCDEFGH", "IJKLMNOP", "QRST"}},
        // The lines end 1 point inside the right frame line as they start 1
        // point inside the left: 9 characters would fill Round(71 * 0.76) =
        // 54 points from the text x, 1 point past the frame.
        {fixed(QStringLiteral("ABCDEFGHIJKL"), 71), {"ABCDEFGH", "IJKL"}},
        // A break that comes only after the characters that fit cuts there.
        {fixed(QStringLiteral("ABCDEFGHIJ KL"), 70), {"ABCDEFGH", "IJ KL"}},
        {fixed(QStringLiteral("ABCDEFGHI-JK"), 70), {"ABCDEFGH", "I-JK"}},
        // Narrower than a character: one character a line.
        {fixed(QStringLiteral("ABC"), 5), {"A", "B", "C"}},
        // Quoted text is kept together.
        {fixed(QStringLiteral("say \"a b c\" ok"), 70), {"say ", "\"a b c\" ", "ok"}},
        // Re-wrapping "imW \r iW" in 22 points breaks at the blank before
        // the CR the first wrap put there: no empty line between.
        {Text(QStringLiteral("i imW  iW"), 29), {"i ", "imW ", " iW"}},
    };
    for (const auto& c : cases) {
        rep_.ClearBands();
        AddBand(rep_, 100, {c.cell});
        const QByteArray page = Page1();
        QByteArray expected;
        int y = 812;
        for (const QByteArray& line : c.lines) {
            QByteArray escaped = line;
            escaped.replace("(", "\\(").replace(")", "\\)");
            expected += "BT\n21 " + QByteArray::number(y) + " Td\n(" + escaped + ") Tj\nET\n";
            y -= 10;
        }
        EXPECT_EQ(page.mid(page.indexOf("BT\n")).toStdString(), expected.toStdString()) << c.cell.text.toStdString();
    }
}

TEST_F(BatchPdf, AlignedTextIsPaddedWithTheBlanksThatFit)
{
    // A digit is 5.56 points, a blank 2.78 in Helvetica at 10; the cell
    // Round(200 * 0.76) = 152 points wide leaves room for 52 blanks, but
    // aligned text keeps within 150 points (clear of the right frame line,
    // centred between the frame lines): 51.
    const struct {
        THAlign align;
        int blanks;
    } cases[] = {{ahRight, 51}, {ahCenter, 25}, {ahLeft, 0}};
    for (const auto& c : cases) {
        rep_.ClearBands();
        AddBand(rep_, 100, {Text(QStringLiteral("7"), 200, c.align)});
        EXPECT_TRUE(Page1().contains("(" + QByteArray(c.blanks, ' ') + "7) Tj")) << int(c.align);
    }
    // A line of its own wider than the cell gets no blanks.
    rep_.ClearBands();
    AddBand(rep_, 100, {Text(QStringLiteral("12345678901\r"), 10, ahRight)});
    EXPECT_TRUE(Page1().contains("(12345678901) Tj"));
}

// Thousands separators of the system locale: a reader draws each of these
// as a blank, so a right-aligned number measured with them as nothing would
// end past its frame line.
TEST_F(BatchPdf, RightAlignedNumbersUnderEverySeparatorEndInsideTheirFrame)
{
    const char16_t separators[] = {u'.', u' ', u'\u00A0', u'\u2007', u'\u2009', u'\u202F'};
    const int widths[] = {80, 91, 100, 117};
    for (char16_t sep : separators) {
        SCOPED_TRACE(int(sep));
        rep_.ClearBands();
        const QString number = QStringLiteral("1%1234%1567").arg(QChar(sep));
        for (int w : widths) {
            CellSpec c = Text(number, w, ahRight);
            c.sides = {1, 1, 1, 1};
            AddBand(rep_, 20, {c});
        }
        const QByteArray pdf = Export();
        const std::vector<fc::test::PdfWord> words = fc::test::PdfWords(pdf);
        // One number per band, top to bottom.
        QString digits;
        for (const auto& w : words)
            digits += w.text;
        EXPECT_EQ(digits.count(QStringLiteral("567")), int(std::size(widths))) << digits.toStdString();
        for (size_t i = 0; i < std::size(widths); ++i) {
            const double top = 842 - 822 + 16 * double(i);
            const double frame = fc::Round(widths[i] * 0.76) + 20;
            for (const auto& w : words)
                if (w.yMin >= top && w.yMax <= top + 16)
                    EXPECT_LT(w.xMax, frame - 0.5) << "width " << widths[i] << ": " << w.text.toStdString();
        }
        // Written as blanks, never as "?" or as the 0-wide code 160.
        EXPECT_FALSE(PageContents(pdf).value(0).contains('?'));
        EXPECT_FALSE(PageContents(pdf).value(0).contains('\xA0'));
    }
}

TEST_F(BatchPdf, PagesStartOnlyAtPageBreakBands)
{
    AddBand(rep_, 25, {Text(QStringLiteral("P1"))});
    AddBand(rep_, 25, {Text(QStringLiteral("P2"))}, arbsPageBreak);
    AddBand(rep_, 25, {Text(QStringLiteral("P3"))});
    QList<QByteArray> pages = PageContents(Export());
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains("21 812 Td\n(P1) Tj"));
    EXPECT_FALSE(pages[0].contains("P2"));
    // Round(25 * 0.79) = 20 below the top of the new page.
    EXPECT_EQ(pages[1], QByteArray("/F0 10 Tf\nBT\n21 812 Td\n(P2) Tj\nET\nBT\n21 792 Td\n(P3) Tj\nET\n"));

    // A break on the first band leaves page 1 with only its font selection.
    rep_.ClearBands();
    AddBand(rep_, 25, {Text(QStringLiteral("P1"))}, arbsPageBreak);
    pages = PageContents(Export());
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0], QByteArray("/F0 10 Tf\n"));

    // Bands run on down one page without a break.
    rep_.ClearBands();
    for (int i = 0; i < 12; ++i)
        AddBand(rep_, 100, {Text(QStringLiteral("b%1").arg(i))});
    pages = PageContents(Export());
    EXPECT_EQ(pages.size(), 1);
    // The eleventh band's top is 822 - 10 * 79 = 32; later ones fall off the page.
    EXPECT_TRUE(pages[0].contains("21 22 Td\n(b10) Tj")) << pages[0].constData();
}

TEST_F(BatchPdf, FontsByNameAndBold)
{
    CellSpec bold = Text(QStringLiteral("B"));
    AddBand(rep_, 25, {bold});
    rep_.GetBand(0)->GetCell(0)->SetFontStyle(fsBold);
    CellSpec times = Text(QStringLiteral("T"));
    times.font = QStringLiteral("Times-Roman");
    times.size = 12;
    AddBand(rep_, 25, {times});
    const QByteArray pdf = Export();
    EXPECT_TRUE(pdf.contains("/BaseFont /Helvetica-Bold"));
    EXPECT_TRUE(pdf.contains("/BaseFont /Times-Roman"));
    const QByteArray page = PageContents(pdf).value(0);
    EXPECT_TRUE(page.contains("/F1 10 Tf\nBT\n21 812 Td\n(B) Tj")) << page.constData();
    EXPECT_TRUE(page.contains("/F2 12 Tf\nBT\n21 790 Td\n(T) Tj"));
    ExpectQpdfCheck(pdf);
}

TEST_F(BatchPdf, AccentedTextReadsBack)
{
    const QString text = QStringLiteral("Velocità massima: 3 m/s – perché € 1.250,00 ±5 °C");
    AddBand(rep_, 25, {Text(text, 900)});
    AddBand(rep_, 25, {Text(QStringLiteral("Portata d'acqua \"nominale\" (l/h)"), 900)});
    const QByteArray pdf = Export();
    ExpectQpdfCheck(pdf);
    const QString back = fc::test::PdfToText(pdf);
    EXPECT_TRUE(back.contains(text)) << back.toStdString();
    EXPECT_TRUE(back.contains(QStringLiteral("Portata d'acqua \"nominale\" (l/h)"))) << back.toStdString();
}

class BatchPdfPicture : public BatchPdf, public ::testing::WithParamInterface<const char*> {
protected:
    // A 40 x 20 pure red picture in the format under test.
    QString WritePicture()
    {
        QImage img(40, 20, QImage::Format_RGB32);
        img.fill(qRgb(255, 0, 0));
        const QString format = QString::fromLatin1(GetParam());
        const QString file = Path(QStringLiteral("red.") + format.toLower());
        QImageWriter w(file, GetParam());
        if (format == QLatin1String("JPEG"))
            w.setQuality(100);
        return w.write(img) ? file : QString();
    }
};

TEST_P(BatchPdfPicture, HangsFromTheBandTopAtTheTextX)
{
    const QString file = WritePicture();
    if (file.isEmpty())
        GTEST_SKIP() << "no writer for " << GetParam();
    AddBand(rep_, 100, {Text(QString())});
    AddBand(rep_, 100, {Text(QString(), 100), Text(QString())});
    rep_.GetBand(0)->GetCell(0)->SetPictureFileName(file);
    rep_.GetBand(1)->GetCell(1)->SetPictureFileName(file);
    const QByteArray pdf = Export();
    ExpectQpdfCheck(pdf);
    // Trunc(40 * 0.76) = 30 by Trunc(20 * 0.79) = 15, from 822 - 2 - 15 up;
    // the names carry the band top and the draws 0 and 313 from seed 0.
    const QByteArray page = PageContents(pdf).value(0);
    EXPECT_TRUE(page.contains("q\n30 0 0 15 21 805 cm\n/Imm8220 Do\nQ\n")) << page.constData();
    EXPECT_TRUE(page.contains("q\n30 0 0 15 97 726 cm\n/Imm743313 Do\nQ\n"));
    // The same file drawn twice is two images.
    EXPECT_EQ(pdf.count("/Subtype /Image"), 2);

    // Rendered at 72 dpi: red inside x 21..51, rows 842 - 820 .. 842 - 805.
    const fc::test::Rendered r = fc::test::RenderFirstPage(pdf);
    ASSERT_EQ(r.width, 596);
    ASSERT_EQ(r.height, 842);
    auto isRed = [&r](int x, int y) {
        const auto px = r.at(x, y);
        return px[0] > 200 && px[1] < 60 && px[2] < 60;
    };
    auto isWhite = [&r](int x, int y) {
        const auto px = r.at(x, y);
        return px[0] > 240 && px[1] > 240 && px[2] > 240;
    };
    EXPECT_TRUE(isRed(23, 24));
    EXPECT_TRUE(isRed(49, 35));
    EXPECT_TRUE(isWhite(18, 29));
    EXPECT_TRUE(isWhite(54, 29));
    EXPECT_TRUE(isWhite(36, 19));
    EXPECT_TRUE(isWhite(36, 40));
}

INSTANTIATE_TEST_SUITE_P(Formats, BatchPdfPicture, ::testing::Values("BMP", "JPEG"));

TEST_F(BatchPdf, TransparentPartsOfAPictureAreWhite)
{
    // An icon whose left half is transparent black, right half opaque red.
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(qRgba(0, 0, 0, 0));
    for (int y = 0; y < 32; ++y)
        for (int x = 16; x < 32; ++x)
            img.setPixel(x, y, qRgba(255, 0, 0, 255));
    const QString file = Path(QStringLiteral("icon.ico"));
    if (!img.save(file, "ICO"))
        GTEST_SKIP() << "no ICO writer";
    AddBand(rep_, 100, {Text(QString())});
    rep_.GetBand(0)->GetCell(0)->SetPictureFileName(file);
    const QByteArray pdf = Export();
    ExpectQpdfCheck(pdf);
    // 24 x 25 points from (21, 795): rows 22 to 47.
    const fc::test::Rendered r = fc::test::RenderFirstPage(pdf);
    ASSERT_EQ(r.width, 596);
    const auto left = r.at(26, 35);
    const auto right = r.at(40, 35);
    EXPECT_GT(left[0], 240);
    EXPECT_GT(left[1], 240);
    EXPECT_GT(right[0], 200);
    EXPECT_LT(right[1], 60);
}

TEST_F(BatchPdf, PictureNamesContinueTheRunsSequence)
{
    const QString file = Path(QStringLiteral("dot.bmp"));
    QImage img(2, 2, QImage::Format_RGB32);
    img.fill(Qt::black);
    ASSERT_TRUE(img.save(file, "BMP"));
    AddBand(rep_, 100, {Text(QString())});
    rep_.GetBand(0)->GetCell(0)->SetPictureFileName(file);
    EXPECT_TRUE(Export().contains("/Imm8220 Do"));
    // The next export draws on from the same generator: 313, then 8609.
    EXPECT_TRUE(Export().contains("/Imm822313 Do"));
    EXPECT_TRUE(Export().contains("/Imm8228609 Do"));

    // A missing picture file is no error and draws nothing.
    rep_.GetBand(0)->GetCell(0)->SetPictureFileName(Path(QStringLiteral("missing.bmp")));
    EXPECT_FALSE(Export().contains(" Do\n"));
    EXPECT_EQ(fc::RandSeed(), 3698175007u);
}

TEST_F(BatchPdf, CoincidingPictureNamesDrawAgain)
{
    const QString file = Path(QStringLiteral("logo.bmp"));
    QImage img(2, 2, QImage::Format_RGB32);
    img.fill(Qt::black);
    ASSERT_TRUE(img.save(file, "BMP"));
    for (int page = 0; page < 2; ++page) {
        AddBand(rep_, 100, {Text(QString())}, page ? arbsPageBreak : 0)->GetCell(0)->SetPictureFileName(file);
    }
    // From this seed the generator draws 5945 twice, then 7136.
    fc::SetRandSeed(4576);
    const QByteArray pdf = Export();
    const QList<QByteArray> pages = PageContents(pdf);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains("/Imm8225945 Do"));
    EXPECT_TRUE(pages[1].contains("/Imm8227136 Do")) << pages[1].constData();
    ExpectQpdfCheck(pdf);
}

TEST(BatchPdfWrap, WrapText)
{
    const struct {
        const char* text;
        int maxCol;
        const char* wrapped;
    } cases[] = {
        {"aaa bbb ccc", 5, "aaa \rbbb \rccc"},
        // Nothing to break at: the caller cuts.
        {"abcdefgh", 3, "abcdefgh"},
        // A break at the second-last character adds no CR.
        {"abcd e", 3, "abcd e"},
        // An existing CR ends the line and is kept as it is.
        {"ab\rcd", 10, "ab\rcd"},
        // A point, dash or slash between digits is part of a number: no
        // break inside "1.250" (a thousand two hundred and fifty).
        {"1.250-x/y", 2, "1.250-\rx/y"},
        // A chain of discounts breaks after its "+".
        {"12.5+13.5+0.4", 11, "12.5+13.5+\r0.4"},
        {"12,5+13,5+0,4", 7, "12,5+\r13,5+0,4"},
        {"a\tbcd", 1, "a\t\rbcd"},
        // Quoted text is not broken inside.
        {"'a b' c", 2, "'a b' c"},
        // Blanks after the break are passed over when looking for the next
        // line, but stay in it.
        {"ab  cd", 2, "ab \r cd"},
        {"", 4, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fc::pdf::WrapText(QString::fromLatin1(c.text), c.maxCol).toStdString(), std::string(c.wrapped))
            << c.text << " at " << c.maxCol;
    }
}

TEST_F(BatchPdf, FailuresLeaveTheOldFileAndRestoreTheCursor)
{
    const QString target = Path(QStringLiteral("report.pdf"));
    AddBand(rep_, 25, {Text(QStringLiteral("ok"))});
    ExportReportToPdf(rep_, target);
    const QByteArray before = fc::test::readFile(target);
    ASSERT_TRUE(before.startsWith("%PDF"));

    const QString bad = Path(QStringLiteral("bad.bmp"));
    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(Qt::black);
    auto boldTimes = [this] {
        CellSpec c = Text(QStringLiteral("x"));
        c.font = QStringLiteral("Times-Roman");
        AddBand(rep_, 25, {c});
        rep_.GetBand(rep_.BandCount() - 1)->GetCell(0)->SetFontStyle(fsBold);
    };
    // The model reads the picture when it is named; the file is spoilt after.
    auto badPicture = [this, bad, dot] {
        ASSERT_TRUE(dot.save(bad, "BMP"));
        AddBand(rep_, 25, {Text(QString())});
        rep_.GetBand(rep_.BandCount() - 1)->GetCell(0)->SetPictureFileName(bad);
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BM not really a bitmap");
    };
    auto hugeFont = [this] {
        CellSpec c = Text(QStringLiteral("x"));
        c.size = 301;
        AddBand(rep_, 25, {c});
    };
    const struct {
        std::function<void()> spoil;
        QString message;
    } cases[] = {
        {boldTimes, QStringLiteral("Class Times-Roman-Bold not found")},
        {badPicture, QStringLiteral("Picture \"%1\": Bitmap image is not valid").arg(bad)},
        {hugeFont, QStringLiteral("SetFontSize --invalid font size")},
    };
    for (const auto& c : cases) {
        rep_.ClearBands();
        AddBand(rep_, 25, {Text(QStringLiteral("first"))});
        c.spoil();
        try {
            ExportReportToPdf(rep_, target);
            ADD_FAILURE() << "no error for " << c.message.toStdString();
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
        EXPECT_EQ(fc::test::readFile(target), before);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
    // No stray temporary files beside the target.
    EXPECT_EQ(QDir(dir_.path()).entryList({QStringLiteral("report.pdf*")}, QDir::Files).size(), 1);

    // A file that cannot be created names itself.
    const QString nowhere = Path(QStringLiteral("no/such/folder/out.pdf"));
    try {
        ExportReportToPdf(rep_, nowhere);
        ADD_FAILURE() << "no error for a missing folder";
    } catch (const EFileError& e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot create file ") + nowhere)) << e.Message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(nowhere));
}

TEST_F(BatchPdf, DiskThatFillsUpLeavesTheOldFileAndSaysWhy)
{
    const QString target = Path(QStringLiteral("report.pdf"));
    AddBand(rep_, 25, {Text(QStringLiteral("ok"))});
    ExportReportToPdf(rep_, target);
    const QByteArray before = fc::test::readFile(target);
    for (int i = 0; i < 200; ++i)
        AddBand(rep_, 25, {Text(QStringLiteral("line %1 of a longer report").arg(i))});
    QString message;
    {
        fc::test::ScopedFileSizeLimit limit(before.size() + 64);
        message = fc::test::MessageOf([&] { ExportReportToPdf(rep_, target); });
    }
    EXPECT_EQ(message, QStringLiteral("Cannot write file %1: %2").arg(target, fc::test::fileTooLargeText()));
    EXPECT_EQ(fc::test::readFile(target), before);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"report.pdf"});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// A write killed part-way leaves its temporary file beside the target; the
// next write clears it and nothing else: the user's files of similar names
// stay, whatever their mode.
TEST_F(BatchPdf, TemporaryFilesOfAKilledWriteGoAtTheNextWrite)
{
    const QString target = Path(QStringLiteral("Report.pdf"));
    auto leave = [this](const QString& name, QFileDevice::Permissions perms) {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4 half");
        f.close();
        f.setPermissions(perms);
    };
    const auto mine = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const auto shared = mine | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    // The killed write: its process ends in the middle of the file.
    ASSERT_GT(fc::test::KilledWrite(target), 0);
    const QStringList user = {".Other.pdf.2147483600-1.tmp", ".Report.pdf.2147483600-1.tmp", "Report.pdf.Copy01",
                              "Report.pdf.Xa3kQ9", "Report.pdf.backup"};
    leave(user[0], mine);
    leave(user[1], mine);
    leave(user[2], shared);
    leave(user[3], mine);
    leave(user[4], mine);
    ASSERT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), user.size() + 1);
    AddBand(rep_, 25, {Text(QStringLiteral("ok"))});
    ExportReportToPdf(rep_, target);
    QStringList expected = user;
    expected.insert(2, QStringLiteral("Report.pdf"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
}

TEST_F(BatchPdf, AReportWithoutBandsIsAnEmptyPage)
{
    const QByteArray pdf = Export();
    ExpectQpdfCheck(pdf);
    EXPECT_EQ(PageContents(pdf), QList<QByteArray>{QByteArray("/F0 10 Tf\n")});
}

TEST_F(BatchPdf, WholeReportPassesQpdf)
{
    const QString pic = Path(QStringLiteral("logo.bmp"));
    QImage img(16, 8, QImage::Format_Indexed8);
    img.setColorTable({qRgb(0, 0, 0), qRgb(0, 128, 255)});
    img.fill(1);
    ASSERT_TRUE(img.save(pic, "BMP"));
    for (int page = 0; page < 3; ++page) {
        CellSpec head = Text(QStringLiteral("Selezione ventilconvettori – pagina %1").arg(page + 1), 500, ahCenter);
        head.sides = {2, 2, 2, 2};
        AddBand(rep_, 40, {head, Text(QString(), 100)}, page ? arbsPageBreak : 0)->GetCell(1)->SetPictureFileName(pic);
        for (int row = 0; row < 20; ++row) {
            CellSpec a = Text(QStringLiteral("FC-%1 (%2)").arg(row).arg(page), 200);
            a.sides = {1, 1, 1, 1};
            CellSpec b = Text(QStringLiteral("%1,5").arg(row * 100), 100, ahRight);
            b.sides = {1, 1, 1, 1};
            AddBand(rep_, 25, {a, b});
        }
    }
    const QByteArray pdf = Export();
    fc::test::ExpectXrefConsistent(pdf);
    ExpectQpdfCheck(pdf);
    EXPECT_EQ(PageContents(pdf).size(), 3);
    EXPECT_TRUE(fc::test::PdfToText(pdf).contains(QStringLiteral("pagina 3")));
}

// Each cell's left frame line runs down to the bottom of the last band its
// span covers, as the report model finds it (TARCell::LastSpanBand): spans
// of one to four bands, side by side, over a page break, to the last band,
// and shared cells that match no cell above by width or by left edge.
TEST_F(BatchPdf, MergedCellsReachTheLastBandOfTheirSpanAsTheReportFindsIt)
{
    // Column widths per band, and which cells continue the cell above.
    const struct {
        QList<int> widths;
        QList<int> shared;
        bool pageBreak;
    } rows[] = {
        {{100, 100, 100}, {}, false},
        {{100, 100, 100}, {0}, false},
        {{100, 100, 100}, {0, 2}, false},
        {{100, 100, 100}, {0}, false},
        {{100, 80, 120}, {1, 2}, false},      // 1 and 2 fit no cell above
        {{100, 80, 120}, {}, false},
        {{100, 80, 120}, {0, 1, 2}, true},    // over a page break
        {{200, 100}, {0, 1}, false},          // no width or left matches
        {{200, 100}, {1}, false},
        {{200, 100}, {1}, false},              // to the last band
    };
    int height = 20;
    for (const auto& r : rows) {
        QList<CellSpec> cells;
        for (int w : r.widths) {
            CellSpec c = Text(QString(), w);
            c.sides = {1, 0, 0, 0};
            cells << c;
        }
        TARBand* band = AddBand(rep_, height, cells, r.pageBreak ? arbsPageBreak : 0);
        for (int j : r.shared)
            band->GetCell(j)->SetShared(true);
        height += 7;
    }
    // The expected left lines, page by page, from the report model.
    QList<QByteArray> want = {QByteArray("/F0 10 Tf\n")};
    int y = 822;
    for (int i = 0; i < rep_.BandCount(); ++i) {
        const TARBand* band = rep_.GetBand(i);
        if (band->BandState & arbsPageBreak) {
            want << QByteArray("/F0 10 Tf\n");
            y = 822;
        }
        for (int j = 0; j < band->CellCount(); ++j) {
            const TARCell* cell = band->GetCell(j);
            if (cell->Shared())
                continue;
            int bottom = y;
            const int last = rep_.IndexOfBand(cell->LastSpanBand());
            for (int k = i; k <= last; ++k)
                bottom -= int(fc::Round(rep_.GetBand(k)->Height() * 0.79));
            const QByteArray x = QByteArray::number(fc::Round(band->CellLeft(j) * 0.76) + 20);
            want.last() += "0.2 w\n" + x + ' ' + QByteArray::number(y) + " m\n" + x + ' ' +
                           QByteArray::number(bottom) + " l\nS\n";
        }
        y -= int(fc::Round(band->Height() * 0.79));
    }
    EXPECT_EQ(PageContents(Export()), want);
}

// A report that uses every feature the export draws, against a checked-in
// file byte for byte (dates masked): fonts and sizes, the three alignments,
// explicit and wrapped lines, frames of every width, cells merged down over
// two and three bands, page breaks, and pictures of three kinds drawn many
// times at the same heights on different pages. FC_UPDATE_GOLDEN=1 rewrites
// the file.
TEST_F(BatchPdf, AReportOfEveryFeatureWritesTheCheckedInBytes)
{
    QImage rgb(23, 11, QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            rgb.setPixel(x, y, qRgb(x * 11, y * 23, (x * y) & 255));
    const QString rgbFile = Path(QStringLiteral("rgb.bmp"));
    ASSERT_TRUE(rgb.save(rgbFile, "BMP"));
    QImage indexed(13, 5, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(0, 0, 0), qRgb(0, 128, 255), qRgb(250, 20, 5)});
    for (int y = 0; y < indexed.height(); ++y)
        for (int x = 0; x < indexed.width(); ++x)
            indexed.setPixel(x, y, uint((x + y) % 3));
    const QString indexedFile = Path(QStringLiteral("indexed.bmp"));
    ASSERT_TRUE(indexed.save(indexedFile, "BMP"));
    QImage mono(17, 6, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 90)});
    for (int y = 0; y < mono.height(); ++y)
        for (int x = 0; x < mono.width(); ++x)
            mono.setPixel(x, y, uint((x ^ y) & 1));
    const QString monoFile = Path(QStringLiteral("mono.bmp"));
    ASSERT_TRUE(mono.save(monoFile, "BMP"));
    const QString pictures[] = {rgbFile, indexedFile, monoFile};

    const QString fonts[] = {QStringLiteral("Arial"), QStringLiteral("Times-Roman"), QStringLiteral("FixedWidth")};
    const THAlign aligns[] = {ahLeft, ahRight, ahCenter};
    for (int page = 0; page < 12; ++page) {
        CellSpec head = Text(QStringLiteral("Pagina %1 – \"selezione\" (prova) \\ 100%").arg(page + 1), 400, ahCenter);
        head.sides = {3, 3, 3, 3};
        head.size = 14;
        TARBand* top = AddBand(rep_, 50, {head, Text(QString(), 120)}, page ? arbsPageBreak : 0);
        top->GetCell(0)->SetFontStyle(fsBold);
        top->GetCell(1)->SetPictureFileName(pictures[page % 3]);
        for (int row = 0; row < 14; ++row) {
            const int k = page * 14 + row;
            CellSpec a = Text(QStringLiteral("FC-%1 velocità media, portata d'aria nominale %2 m³/h").arg(k).arg(k * 37),
                              90 + (k % 5) * 17, aligns[k % 3]);
            a.sides = {k % 4, (k + 1) % 4, (k + 2) % 4, (k + 3) % 4};
            a.font = fonts[k % 3];
            a.size = 6 + k % 7;
            CellSpec b = Text(QStringLiteral("%1,%2\r%3").arg(k * 1234).arg(k % 10).arg(-k * 7), 80, aligns[(k + 1) % 3]);
            b.sides = {1, 1, 1, 1};
            CellSpec c = Text(k % 4 == 0 ? QStringLiteral("Unito") : QString(), 70);
            c.sides = {2, 2, 2, 2};
            TARBand* band = AddBand(rep_, 17 + k % 11, {a, b, c});
            if (k % 2)
                band->GetCell(1)->SetFontStyle(fsBold);
            // Column 3 merges down over the next band, or the next two.
            if (k % 4 == 1 || (k % 4 == 2 && k % 8 == 2))
                band->GetCell(2)->SetShared(true);
            if (row % 5 == 3)
                band->GetCell(0)->SetPictureFileName(pictures[(k + 1) % 3]);
        }
    }
    const QByteArray pdf = Export();
    fc::test::ExpectXrefConsistent(pdf);
    fc::test::ExpectGoldenPdf(pdf, fc::test::testDataDir() + QStringLiteral("data/every-feature.pdf"));
}

} // namespace
