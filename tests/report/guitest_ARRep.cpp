// The report document model: defaults, frames, geometry, spans, change
// notification, stretching, expanding and loading.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "ARRep.h"
#include "ARVFS.h"
#include "ReportTestUtil.h"
#include "platform/Errors.h"

TEST(ReportModel, NewReportHasFourBandsOfFourCells)
{
    TARRep rep;
    ASSERT_EQ(rep.BandCount(), 4);
    EXPECT_EQ(rep.PageSize().Name(), "A4");
    EXPECT_EQ(rep.Font.Name, "ARIAL");
    EXPECT_EQ(rep.Font.Size(), 10);
    EXPECT_EQ(rep.Font.Charset, 1);
    for (int i = 0; i < 4; ++i) {
        TARBand* b = rep.GetBand(i);
        EXPECT_EQ(b->Name(), QStringLiteral("Band %1").arg(i));
        EXPECT_EQ(b->Height(), 25);
        EXPECT_EQ(b->Top(), 25 * i);
        EXPECT_EQ(b->Parent(), &rep);
        ASSERT_EQ(b->CellCount(), 4);
        for (int j = 0; j < 4; ++j) {
            EXPECT_EQ(b->GetCell(j)->Value(), QStringLiteral("Cell(%1,%2)").arg(i).arg(j));
            EXPECT_EQ(b->GetCell(j)->Width(), 100);
            EXPECT_EQ(b->CellLeft(j), 100 * j);
            EXPECT_EQ(b->GetCell(j)->Band(), b);
        }
        EXPECT_EQ(b->Width(), 404);
        EXPECT_EQ(b->CellLeft(5), 0);
        EXPECT_EQ(b->GetCell(4), nullptr);
    }
    EXPECT_EQ(rep.GetBand(-3), rep.GetBand(0));
    EXPECT_EQ(rep.GetBand(99), rep.GetBand(3));
    EXPECT_EQ(rep.GetBandTop(7), 0);
    EXPECT_EQ(rep.GetBandTop(2), 50);
    EXPECT_THROW(rep.GetBandItem(4), EListError);
    try {
        rep.GetBandItem(-1);
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (-1)");
    }
    rep.ClearBands();
    EXPECT_EQ(rep.GetBand(0), nullptr);
}

TEST(ReportModel, CellDefaults)
{
    TARCell c;
    EXPECT_EQ(c.FontName(), "ARIAL");
    EXPECT_EQ(c.FontSize(), 10);
    EXPECT_EQ(c.Color(), 0xFFFFFF);
    EXPECT_EQ(c.HAlign(), ahCenter);
    EXPECT_EQ(c.VAlign(), avTop);
    EXPECT_EQ(c.Width(), 100);
    EXPECT_TRUE(c.WordWrap());
    EXPECT_TRUE(c.AutoStretch());
    EXPECT_TRUE(c.LinkPictureToFile());
    EXPECT_FALSE(c.Shared());
    EXPECT_EQ(c.Value(), "Cell");
    EXPECT_EQ(c.FrameStyle(), frLeft | frRight | frTop | frBottom);
    EXPECT_EQ(c.FrameWidth(), 1);
    EXPECT_EQ(c.FrameColor(), 0);
    EXPECT_FALSE(c.HasPictureObject());
    EXPECT_FALSE(c.Modified());
}

TEST(ReportModel, FrameProperties)
{
    TARCell c;
    c.SetSideWidth(0, 0);
    c.SetFrameWidth(2);
    EXPECT_EQ(c.GetSideWidth(0), 0) << "a side without a line keeps none";
    EXPECT_EQ(c.GetSideWidth(1), 2);
    EXPECT_EQ(c.FrameWidth(), 1) << "widths differ";
    EXPECT_EQ(c.FrameStyle(), frRight | frTop | frBottom);

    c.SetFrameStyle(frLeft | frTop);
    EXPECT_EQ(c.GetSideWidth(0), 1);
    EXPECT_EQ(c.GetSideWidth(1), 0);
    EXPECT_EQ(c.GetSideWidth(2), 2);
    EXPECT_EQ(c.GetSideWidth(3), 0);

    c.SetBorderStyle(cbsDouble21);
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(c.GetSideWidth(s), 4);
        EXPECT_EQ(c.GetSideStyle(s), cbsDouble21);
    }
    EXPECT_EQ(c.BorderStyle(), cbsDouble21);
    c.SetBorderStyle(cbsDouble11);
    EXPECT_EQ(c.FrameWidth(), 3);
    c.SetFrameWidth(1);
    EXPECT_EQ(c.BorderStyle(), cbsSolid) << "writing FrameWidth makes the lines solid";
    c.SetSideStyle(3, cbsDot);
    EXPECT_EQ(c.BorderStyle(), cbsSolid) << "styles differ";

    c.SetFrameColor(clRed);
    EXPECT_EQ(c.FrameColor(), clRed);
    c.SetSideColor(2, clBlue);
    EXPECT_EQ(c.FrameColor(), clNone);
    c.SetFrameColor(clNone); // equal to what reading gives: nothing changes
    EXPECT_EQ(c.GetSideColor(2), clBlue);
}

namespace {
// Three bands holding a 100-wide cell at left 0 in the given sharing.
void makeSpan(TARRep& rep, std::initializer_list<bool> shared, std::initializer_list<int> heights)
{
    rep.ClearBands();
    auto h = heights.begin();
    for (bool s : shared) {
        TARBand* b = rep.AddBand();
        b->GetCell(0)->SetShared(s);
        b->SetHeight(*h++);
    }
}
} // namespace

TEST(ReportModel, VerticalSpans)
{
    TARRep rep;
    makeSpan(rep, {false, true, true}, {20, 30, 40});
    TARBand* b0 = rep.GetBand(0);
    TARBand* b2 = rep.GetBand(2);
    TARCell* third = b2->GetCell(0);
    EXPECT_EQ(third->MasterCell(), b0->GetCell(0));
    EXPECT_EQ(third->MasterBand(), b0);
    EXPECT_TRUE(third->IsContinuation());
    EXPECT_EQ(b0->GetCell(0)->LastSpanBand(), b2);
    EXPECT_EQ(rep.SpanHeight(b0), 90);
    EXPECT_EQ(rep.SpanHeight(rep.GetBand(1)), 70);
    EXPECT_EQ(b0->GetCell(1)->LastSpanBand(), b0);

    // A shared cell in the first band is its own master.
    makeSpan(rep, {true, false}, {25, 25});
    TARCell* first = rep.GetBand(0)->GetCell(0);
    EXPECT_EQ(first->MasterCell(), first);
    EXPECT_FALSE(first->IsContinuation());

    // Below a band without a cell of the same left edge and width.
    makeSpan(rep, {false, true}, {25, 25});
    rep.GetBand(0)->GetCell(0)->SetWidth(90);
    TARCell* below = rep.GetBand(1)->GetCell(0);
    EXPECT_EQ(below->MasterCell(), below);
    EXPECT_FALSE(below->IsContinuation());

    // A loose cell without a band.
    TARCell loose;
    loose.SetShared(true);
    EXPECT_EQ(loose.MasterBand(), nullptr);
    EXPECT_FALSE(loose.IsContinuation());
}

TEST(ReportModel, ChangeNotification)
{
    TARRep rep;
    std::vector<std::pair<TARBandList*, TARCell*>> cellEvents;
    std::vector<TARBandList*> bandEvents;
    rep.OnCellChange = [&](TARBandList* b, TARCell* c) { cellEvents.push_back({b, c}); };
    rep.OnBandChange = [&](TARBandList* b) { bandEvents.push_back(b); };
    TARBand* band = rep.GetBand(1);
    TARCell* cell = band->GetCell(2);

    band->BeginUpdate();
    cell->SetValue("inside");
    band->EndUpdate();
    EXPECT_TRUE(cellEvents.empty());

    cell->SetValue("after");
    ASSERT_EQ(cellEvents.size(), 1u);
    EXPECT_EQ(cellEvents[0].first, band);
    EXPECT_EQ(cellEvents[0].second, cell);

    cell->SetValue("after"); // unchanged: stored nothing, fires nothing
    EXPECT_EQ(cellEvents.size(), 1u);

    cell->BeginUpdate();
    cell->SetValue("a");
    cell->SetColor(clRed);
    cell->SetWidth(50);
    EXPECT_EQ(cellEvents.size(), 1u);
    cell->EndUpdate();
    EXPECT_EQ(cellEvents.size(), 2u) << "the outermost bracket notifies once";

    rep.BeginUpdate();
    cell->SetValue("b");
    band->SetHeight(40);
    rep.EndUpdate();
    EXPECT_EQ(cellEvents.size(), 2u);
    EXPECT_TRUE(bandEvents.empty());

    band->SetHeight(50);
    ASSERT_EQ(bandEvents.size(), 1u) << "a band's own change reaches the report";
    EXPECT_EQ(bandEvents[0], band);
    EXPECT_EQ(rep.GetBand(2)->Top(), 25 + 50);

    int own = 0;
    cell->OnChange = [&](TARCell*) { ++own; };
    cell->SetFrameWidth(1); // always stores
    EXPECT_EQ(own, 1);
}

TEST(ReportModel, StretchToWidthSharesTheSpare)
{
    TARBand band;
    FixedPitchMeasurer m;
    TCanvas canvas(nullptr, &m);
    for (int i = 0; i < band.CellCount(); ++i) {
        band.GetCell(i)->SetMinWidth(50);
        band.GetCell(i)->SetWidth(50);
        band.GetCell(i)->SetValue("x");
    }
    band.GetCell(1)->SetWidthRatio(1);
    band.GetCell(3)->SetWidthRatio(3);

    band.StretchToWidth(canvas, 150); // below the minimum widths
    EXPECT_EQ(band.GetCell(1)->Width(), 50);
    EXPECT_EQ(band.Height(), 25);

    band.StretchToWidth(canvas, 300);
    EXPECT_EQ(band.GetCell(0)->Width(), 50);
    EXPECT_EQ(band.GetCell(1)->Width(), 75);
    EXPECT_EQ(band.GetCell(3)->Width(), 125);

    // An auto-stretching ratio cell whose text needs more lines raises the band.
    band.GetCell(1)->SetValue("aaaa bbbb cccc dddd eeee ffff gggg");
    band.StretchToWidth(canvas, 300);
    EXPECT_EQ(band.Height(), band.GetCell(1)->CalcHeight(canvas));
    EXPECT_GT(band.Height(), 25);
}

TEST(ReportModel, CopyFromCopiesContentNotState)
{
    TARBand src;
    src.SetName("Header");
    src.SetHeight(33);
    src.BandState = arbsPageBreak;
    src.ClearCells();
    TARCell* c = src.AddCell();
    c->SetValue("[TITLE]");
    c->SetFontStyle(fsBold);
    c->SetSideWidth(2, 3);
    c->SetMinWidth(77);
    c->SetSelected(true);
    c->SetWidthRatio(2);
    c->SetLinkPictureToFile(false);
    c->DrawnOffset = 12;
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::red);
    c->Picture().SetImage(TPicture::Bitmap, img);

    TARBand dst;
    dst.CopyFrom(src);
    EXPECT_EQ(dst.Name(), "Header");
    EXPECT_EQ(dst.Height(), 33);
    EXPECT_EQ(dst.BandState, 0);
    ASSERT_EQ(dst.CellCount(), 1);
    TARCell* d = dst.GetCell(0);
    EXPECT_EQ(d->Band(), &dst);
    EXPECT_EQ(d->Value(), "[TITLE]");
    EXPECT_EQ(d->FontStyle(), fsBold);
    EXPECT_EQ(d->GetSideWidth(2), 3);
    EXPECT_EQ(d->WidthRatio(), 2);
    EXPECT_FALSE(d->LinkPictureToFile());
    EXPECT_EQ(d->MinWidth(), 0);
    EXPECT_FALSE(d->Selected());
    EXPECT_EQ(d->DrawnOffset, 0);
    ASSERT_TRUE(d->HasGraphic());
    EXPECT_EQ(d->Picture().Image(), img);
}

TEST(ReportModel, ExpandShowsChildBandsInTheParentAndCollapseRemovesThem)
{
    auto rep = std::make_unique<TARRep>();
    TARBand* holder = rep->GetBand(1);
    auto* child1 = new TARBand;
    auto* child2 = new TARBand;
    child1->SetHeight(10);
    child2->SetHeight(15);
    holder->AppendBand(child1);
    holder->AppendBand(child2);
    EXPECT_TRUE(holder->Expandable());
    EXPECT_EQ(child2->Top(), 10);

    holder->SetExpanded(true);
    ASSERT_EQ(rep->BandCount(), 6);
    EXPECT_EQ(rep->GetBandItem(2), child1);
    EXPECT_EQ(rep->GetBandItem(3), child2);
    EXPECT_EQ(child1->Top(), 50);
    EXPECT_EQ(child2->Top(), 60);
    EXPECT_EQ(rep->GetBand(4)->Top(), 75);
    holder->SetExpanded(true); // twice: inserted once
    EXPECT_EQ(rep->BandCount(), 6);

    holder->SetExpanded(false);
    ASSERT_EQ(rep->BandCount(), 4);
    EXPECT_EQ(rep->GetBand(2)->Top(), 50);
    EXPECT_EQ(holder->BandCount(), 2);

    // Freed while expanded: every band is freed once (the sanitizer checks).
    holder->SetExpanded(true);
    rep.reset();
}

TEST(ReportModel, MarkedBandsCarryTheArrowBitmap)
{
    TARBand b;
    EXPECT_FALSE(b.Marked());
    b.SetMarked(true);
    EXPECT_TRUE(b.Marked());
    EXPECT_FALSE(b.Mark().isNull());
    b.SetMarked(false);
    EXPECT_FALSE(b.Marked());
}

TEST(ReportModel, LoadReadsThroughTheStorageAndLeavesTheReportOnFailure)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("one.AR");
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("ORIENTATION=LANDSCAPE\r\nBAND\r\n  NAME=Only\r\n  HEIGHT=30\r\nENDBAND\r\n");
    f.close();

    TARRep rep;
    TStandardFileSystem fs;
    rep.FileSystem = &fs;
    EXPECT_THROW(rep.Load(dir.filePath("missing.AR")), EFileError);
    EXPECT_EQ(rep.BandCount(), 4);
    rep.Load(name);
    EXPECT_EQ(rep.Orientation, 1);
    ASSERT_EQ(rep.BandCount(), 1);
    EXPECT_EQ(rep.GetBand(0)->Name(), "Only");
    EXPECT_EQ(fs.FileName, name);

    TARRep direct;
    EXPECT_THROW(direct.Load(dir.filePath("missing.AR")), EFileError);
    EXPECT_EQ(direct.BandCount(), 4);
    direct.Load(name);
    EXPECT_EQ(direct.BandCount(), 1);
}

TEST(ReportModel, NamedListsAreRegisteredWhileTheyLive)
{
    const int before = TAINamedList::LiveCount(TAINamedList::kObjects);
    {
        TARRep rep; // its band list, and per band a band list and a cell list
        EXPECT_EQ(TAINamedList::LiveCount(TAINamedList::kObjects), before + 1 + 4 * 2);
    }
    EXPECT_EQ(TAINamedList::LiveCount(TAINamedList::kObjects), before);
}
