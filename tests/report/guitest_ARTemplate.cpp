// The template text of reports, bands and cells.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <functional>

#include "ARRep.h"
#include "ReportTestUtil.h"
#include "TestSupport.h"

namespace {
QStringList goldenLines() { return ar::DecodeTemplateLines(fc::test::readFile(fc::test::testDataDir() + "data/default.AR")); }

QStringList lines(const char* text) { return QString::fromUtf8(text).split(u'\n'); }

QString bmpHex(int w, int h, QColor color)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "BMP");
    return QString::fromLatin1(bytes.toHex().toUpper());
}
} // namespace

TEST(Template, DefaultReportIsWrittenExactlyAndReadsBackIdentical)
{
    const QByteArray golden = fc::test::readFile(fc::test::testDataDir() + "data/default.AR");
    ASSERT_FALSE(golden.isEmpty());
    TARRep rep;
    EXPECT_EQ(ar::EncodeTemplateLines(rep.ARTemplate()), golden);

    TARRep other;
    other.ClearBands();
    other.Font.Style = fsBold;
    other.SetARTemplate(goldenLines());
    EXPECT_EQ(other.Font.Style, 0);
    EXPECT_EQ(ar::EncodeTemplateLines(other.ARTemplate()), golden);
}

TEST(Template, EveryCellPropertyRoundTrips)
{
    TARRep rep;
    rep.Orientation = 1;
    rep.LeftMargin = 150.4;
    rep.BottomMargin = 99.5;
    rep.PageSize().SetName("Letter");
    rep.Font = MakeFont("TIMES NEW ROMAN", 12, fsBold | fsItalic, clNavy);
    rep.UserVarList().Add("SHOWPRICE", 1);
    rep.UserVarList().Add("LANG", -2);
    TARCell* c = rep.GetBand(2)->GetCell(1);
    c->SetShared(true);
    c->SetIsRTF(true);
    c->SetFontName("Courier New");
    c->SetFontStyle(fsUnderline | fsStrikeOut);
    c->SetTextAngle(90);
    c->SetSideWidth(0, 0);
    c->SetSideWidth(1, 3);
    c->SetSideStyle(1, cbsDouble11);
    c->SetSideColor(2, clRed);
    c->SetSideStyle(3, cbsDashDot);
    c->SetColor(clBtnFace);
    c->SetValue("  [PRICE] EUR");
    c->SetHAlign(ahRight);
    c->SetVAlign(avCenter);
    c->SetWidth(77);
    c->SetWidthRatio(2);
    c->SetWordWrap(false);
    c->SetUserVar("SHOWPRICE");
    c->SetAutoStretch(false);
    c->SetAutoSize(true);
    c->SetTile(true);
    rep.GetBand(0)->GetCell(0)->SetValue("first line\r\nsecond, \"quoted\"\r\n");
    rep.GetBand(0)->GetCell(1)->SetValue("ends with an empty line\r\n\r\n");

    const QStringList written = rep.ARTemplate();
    TARRep back;
    back.SetARTemplate(written);
    EXPECT_EQ(back.ARTemplate(), written);
    EXPECT_EQ(back.Font.Name, "TIMES NEW ROMAN");
    EXPECT_EQ(back.Orientation, 1);
    EXPECT_EQ(back.LeftMargin, 150);
    EXPECT_EQ(back.BottomMargin, 100) << "rounded half to even";
    EXPECT_EQ(back.PageSize().Name(), "Letter");
    ASSERT_EQ(back.UserVarList().Count(), 2);
    EXPECT_EQ(back.UserVarList().Object(1), -2);
    TARCell* d = back.GetBand(2)->GetCell(1);
    EXPECT_TRUE(d->Shared());
    EXPECT_EQ(d->GetSideWidth(0), 0);
    EXPECT_EQ(d->GetSideStyle(1), cbsDouble11);
    EXPECT_EQ(d->GetSideColor(2), clRed);
    EXPECT_EQ(d->Color(), clBtnFace);
    EXPECT_EQ(d->Value(), "  [PRICE] EUR");
    EXPECT_EQ(back.GetBand(0)->GetCell(0)->Value(), "first line\r\nsecond, \"quoted\"\r\n");
    EXPECT_EQ(back.GetBand(0)->GetCell(1)->Value(), "ends with an empty line\r\n\r\n");
}

TEST(Template, EmbeddedPicturesRoundTrip)
{
    TARRep rep;
    TARCell* bmp = rep.GetBand(0)->GetCell(0);
    bmp->SetLinkPictureToFile(false);
    HexToGraphic(bmpHex(5, 3, Qt::green), bmp->Picture(), TPicture::Bitmap);
    TARCell* jpg = rep.GetBand(0)->GetCell(1);
    jpg->SetLinkPictureToFile(false);
    QImage img(7, 4, QImage::Format_RGB32);
    img.fill(Qt::blue);
    jpg->Picture().SetImage(TPicture::Jpeg, img);

    const QStringList written = rep.ARTemplate();
    EXPECT_TRUE(written.contains("    PICTURETYPE=BITMAP"));
    TARRep back;
    back.SetARTemplate(written);
    TARCell* b0 = back.GetBand(0)->GetCell(0);
    ASSERT_TRUE(b0->HasGraphic());
    EXPECT_EQ(b0->Picture().Bytes(), bmp->Picture().Bytes()) << "bitmap bytes unchanged";
    TARCell* b1 = back.GetBand(0)->GetCell(1);
    ASSERT_TRUE(b1->HasGraphic()) << "a JPEG is written as a bitmap, so that it reads back";
    EXPECT_EQ(b1->Picture().kind(), TPicture::Bitmap);
    EXPECT_EQ(b1->Picture().Image().size(), QSize(7, 4));
    EXPECT_EQ(b1->Picture().Image().pixelColor(3, 2), QColor(Qt::blue));
    EXPECT_EQ(back.ARTemplate(), written);
}

namespace {
QStringList report(const QStringList& body)
{
    return QStringList{"ORIENTATION=PORTRAIT"} + body;
}
const char* kCellHead = "  CELL\n    VALUE=x";
} // namespace

TEST(Template, MalformedTemplates)
{
    struct Case {
        const char* name;
        QStringList text;
        std::function<void(TARRep&)> check;
    };
    const QString goodBmp = bmpHex(2, 2, Qt::red);
    const std::vector<Case> cases = {
        {"lower-case endband ends the band", lines("BAND\n  NAME=A\nendband\nBAND\n  NAME=B\n   EndBand"),
         [](TARRep& r) {
             ASSERT_EQ(r.BandCount(), 2);
             EXPECT_EQ(r.GetBand(1)->Name(), "B");
         }},
        {"lower-case endobjectlist ends the list",
         lines("OBJECTLIST\n  one=1\n  two\nendobjectlist\nBAND\n  NAME=After\nENDBAND"),
         [](TARRep& r) {
             ASSERT_EQ(r.UserVarList().Count(), 2);
             EXPECT_EQ(r.UserVarList()[0], "ONE");
             EXPECT_EQ(r.UserVarList().Object(0), 1);
             EXPECT_EQ(r.UserVarList()[1], "two") << "a name without = keeps its case";
             ASSERT_EQ(r.BandCount(), 1);
             EXPECT_EQ(r.GetBand(0)->Name(), "After");
         }},
        {"missing ENDBAND adds no band", lines("BAND\n  NAME=Open\n  CELL\n  ENDCELL"),
         [](TARRep& r) { EXPECT_EQ(r.BandCount(), 0); }},
        {"missing ENDCELL drops the cell",
         lines("BAND\n  CELL\n    VALUE=kept\n  ENDCELL\n  CELL\n    VALUE=lost\nENDBAND"),
         [](TARRep& r) {
             ASSERT_EQ(r.BandCount(), 1);
             ASSERT_EQ(r.GetBand(0)->CellCount(), 1);
             EXPECT_EQ(r.GetBand(0)->GetCell(0)->Value(), "kept");
         }},
        {"missing ENDPAGESIZE leaves the page size",
         lines("PAPERSIZE=11\nPAGESIZE\n  NAME=A3\nBAND\nENDBAND"),
         [](TARRep& r) {
             EXPECT_EQ(r.PageSize().Name(), "A5");
             EXPECT_EQ(r.BandCount(), 0);
         }},
        {"page-size block wins over PAPERSIZE", lines("PAPERSIZE=11\nPAGESIZE\n  NAME=A3\nendpagesize"),
         [](TARRep& r) { EXPECT_EQ(r.PageSize().Name(), "A3"); }},
        {"unknown keys and stray lines are skipped",
         lines("FOO=1\nENDCELL\n  ENDBAND\ngarbage\n=\nBAND\n  COLOR=5\n  CELL\n    NOSUCHKEY=3\n    fontname=LOWER\n  "
               "ENDCELL\n  name=lower band key\nENDBAND"),
         [](TARRep& r) {
             ASSERT_EQ(r.BandCount(), 1);
             TARBand* b = r.GetBand(0);
             EXPECT_EQ(b->Name(), "lower band key");
             ASSERT_EQ(b->CellCount(), 1);
             EXPECT_EQ(b->GetCell(0)->FontName(), "ARIAL") << "cell keys are case-sensitive";
         }},
        {"a band without cells", lines("BAND\n  NAME=Empty\n  HEIGHT= 12x\nENDBAND"),
         [](TARRep& r) {
             ASSERT_EQ(r.BandCount(), 1);
             EXPECT_EQ(r.GetBand(0)->CellCount(), 0);
             EXPECT_EQ(r.GetBand(0)->Height(), 12);
         }},
        {"frame lines without colour or value",
         lines("BAND\n  CELL\n    FRAMELEFT=2\n    FRAMETOP\n    FRAMECOLOR=255\n    FRAMEWIDTH=7\n  ENDCELL\nENDBAND"),
         [](TARRep& r) {
             TARCell* c = r.GetBand(0)->GetCell(0);
             EXPECT_EQ(c->GetSideWidth(0), 2);
             EXPECT_EQ(c->GetSideColor(0), -1);
             EXPECT_EQ(c->GetSideWidth(2), 1);
             EXPECT_EQ(c->GetSideWidth(1), 0);
             EXPECT_EQ(c->GetSideColor(1), 0) << "FRAMECOLOR after per-side lines is ignored";
         }},
        {"FRAMECOLOR alone colours every side, FRAMEWIDTH alone draws none",
         lines("BAND\n  CELL\n    FRAMECOLOR=$FF\n    FRAMEWIDTH=3\n  ENDCELL\nENDBAND"),
         [](TARRep& r) {
             TARCell* c = r.GetBand(0)->GetCell(0);
             EXPECT_EQ(c->FrameColor(), 255);
             EXPECT_EQ(c->FrameStyle(), 0);
         }},
        {"odd hex digits", QStringList{"BAND", "  CELL", "    LINKPICTURETOFILE=0", "    PICTURETYPE=BITMAP",
                                       "    PICTURE=" + goodBmp + "F", "  ENDCELL", "ENDBAND"},
         [](TARRep& r) {
             TARCell* c = r.GetBand(0)->GetCell(0);
             ASSERT_TRUE(c->HasGraphic());
             EXPECT_EQ(c->Picture().Image().size(), QSize(2, 2));
             EXPECT_EQ(c->Picture().Bytes().right(1), QByteArray("\xF0", 1));
         }},
        {"lower-case hex digits",
         QStringList{"BAND", "  CELL", "    PICTURETYPE=BITMAP", "    PICTURE=" + goodBmp.toLower(), "  ENDCELL", "ENDBAND"},
         [](TARRep& r) { EXPECT_TRUE(r.GetBand(0)->GetCell(0)->HasGraphic()); }},
        {"PICTURE before PICTURETYPE, or of an unknown type",
         QStringList{"BAND", "  CELL", "    PICTURE=" + goodBmp, "    PICTURETYPE=PNG", "    PICTURE=" + goodBmp,
                     "    PICTURETYPE=bitmap", "    PICTURE=" + goodBmp, "  ENDCELL", "ENDBAND"},
         [](TARRep& r) { EXPECT_FALSE(r.GetBand(0)->GetCell(0)->HasGraphic()); }},
        {"booleans are the low eight bits",
         lines("BAND\n  CELL\n    WORDWRAP=256\n    AUTOSTRETCH=257\n    TILE\n  ENDCELL\nENDBAND"),
         [](TARRep& r) {
             TARCell* c = r.GetBand(0)->GetCell(0);
             EXPECT_FALSE(c->WordWrap());
             EXPECT_TRUE(c->AutoStretch());
             EXPECT_TRUE(c->Tile()) << "a line without = reads -1";
         }},
        {"report font styles", lines("FONTNAME=verdana\nBOLD\nITALIC\nFONTSIZE=x0C\nFONTCHARSET=300"),
         [](TARRep& r) {
             EXPECT_EQ(r.Font.Style, fsBold | fsItalic);
             EXPECT_EQ(r.Font.Name, "VERDANA");
             EXPECT_EQ(r.Font.Size(), 12);
             EXPECT_EQ(r.Font.Charset, 300 & 0xFF);
         }},
        {"a trailing blank makes another keyword", lines("BOLD \nBAND \n  NAME=x\nENDBAND"),
         [](TARRep& r) {
             EXPECT_EQ(r.Font.Style, 0);
             EXPECT_EQ(r.BandCount(), 0);
         }},
        {"cell flags only switch on", QStringList{"BAND"} + lines(kCellHead) + lines("  ENDCELL\nENDBAND"),
         [](TARRep& r) {
             TARCell* c = r.GetBand(0)->GetCell(0);
             EXPECT_FALSE(c->Shared());
             EXPECT_FALSE(c->IsRTF());
             EXPECT_EQ(c->Value(), "x");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TARRep rep;
        rep.Font.Style = fsUnderline;
        rep.SetARTemplate(report(c.text));
        EXPECT_EQ(rep.UpdateCount(), 0);
        c.check(rep);
    }
}

TEST(Template, APictureThatIsNotAGraphicRaisesAndClosesTheBrackets)
{
    TARRep rep;
    int events = 0;
    rep.OnChange = [&](TARBandList*) { ++events; };
    EXPECT_THROW(rep.SetARTemplate(lines("BAND\n  CELL\n    PICTURETYPE=ICON\n    PICTURE=00FF17\n  ENDCELL\nENDBAND")),
                 EInvalidGraphic);
    EXPECT_EQ(rep.UpdateCount(), 0);
    rep.SetName("still works");
    EXPECT_EQ(events, 1);
}

TEST(Template, CellAndBandReadersNeedTheirOpeningLine)
{
    TARCell c;
    c.SetARTemplate({"  cell", "    VALUE=changed"});
    EXPECT_EQ(c.Value(), "Cell");
    c.SetARTemplate({"      CELL", "    VALUE=changed", "    ENDCELL", "    VALUE=after end"});
    EXPECT_EQ(c.Value(), "changed");
    EXPECT_EQ(c.FrameStyle(), 0) << "the reader starts from no frames";

    TARBand b;
    b.SetARTemplate({"band", "  NAME=x"});
    EXPECT_EQ(b.Name(), "Band");
    EXPECT_EQ(b.CellCount(), 4);
}
