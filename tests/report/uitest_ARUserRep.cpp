// Filling a report from a template: the template cache, variables, bands
// appended by name, pending page breaks and band growth.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QMouseEvent>

#include "ARPrinter.h"
#include "ARUserRep.h"
#include "ReportTestUtil.h"
#include "ViewTestUtil.h"

using namespace viewtest;

namespace {

class Filling : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.path() + u'/' + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    ScopedFixedPitch measure;
    QTemporaryDir dir;
    TARUserRep rep;
};

TEST_F(Filling, NewViewHasAnEmptyDocumentAndOneUnnamedTemplate)
{
    EXPECT_EQ(rep.Rep()->BandCount(), 0);
    EXPECT_EQ(rep.Gutter(), 0);
    ASSERT_EQ(rep.TemplateCacheCount(), 1);
    EXPECT_EQ(rep.TemplateCacheName(0), "");
    EXPECT_EQ(rep.Template()->BandCount(), 4);
}

TEST_F(Filling, LoadsTheDefaultTemplateAndAppendsBandsByName)
{
    const QString path = fc::test::testDataDir() + "data/default.AR";
    rep.LoadTemplate(path);
    EXPECT_EQ(rep.Path(), path);
    EXPECT_EQ(rep.TemplateCacheName(0), path);
    EXPECT_EQ(rep.Template()->BandCount(), 4);
    EXPECT_EQ(rep.Rep()->PageSize().Name(), "A4");
    EXPECT_EQ(rep.Printer()->PageSize().Name(), "A4");

    TARBand* b = rep.AddBands(QStringLiteral("band 2"));
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(rep.Rep()->BandCount(), 1);
    EXPECT_EQ(b->Name(), "Band 2");
    EXPECT_EQ(b->OrgRep(), rep.Template());
    ASSERT_EQ(b->CellCount(), 4);
    EXPECT_EQ(b->GetCell(3)->Value(), "Cell(2,3)");
    EXPECT_EQ(b->GetCell(3)->MinWidth(), 100);
    EXPECT_EQ(b->GetCell(3)->UserVarValue(), -1);
    rep.AddBands(QStringLiteral("Band 0"));
    EXPECT_EQ(rep.Rep()->GetBand(1)->Top(), 25);
    // The template is never changed by filling.
    EXPECT_EQ(rep.Template()->BandCount(), 4);
    EXPECT_EQ(rep.AddBands(QStringLiteral("missing")), nullptr);
    EXPECT_EQ(rep.Rep()->BandCount(), 2);
    rep.Clear();
    EXPECT_EQ(rep.Rep()->BandCount(), 0);
}

TEST_F(Filling, VariablesIgnoreCaseAndEmptyRemoves)
{
    rep.SetVar(QStringLiteral("Modello"), QStringLiteral("a=b\r\nc"));
    EXPECT_EQ(rep.GetVar(QStringLiteral("MODELLO")), "a=b\r\nc");
    EXPECT_EQ(rep.GetVar(QStringLiteral("modello")), "a=b\r\nc");
    ASSERT_EQ(rep.Vars().size(), 1);
    EXPECT_EQ(rep.Vars()[0], "MODELLO=a=b\r\nc");
    rep.SetVar(QStringLiteral("modello"), QStringLiteral("x"));
    EXPECT_EQ(rep.Vars(), QStringList{"MODELLO=x"});
    rep.SetVar(QStringLiteral("MoDeLlO"), QString());
    EXPECT_TRUE(rep.Vars().isEmpty());
    EXPECT_EQ(rep.GetVar(QStringLiteral("modello")), "");
    rep.SetVarValue(QStringLiteral("Page"), 12);
    EXPECT_EQ(rep.GetVar(QStringLiteral("PAGE")), "12");
    rep.ClearVars();
    EXPECT_EQ(rep.GetVar(QStringLiteral("page")), "");
}

// Many variables, some removed and set again: the lines keep the order of
// first setting, a removed line's place closes up, and every name is found
// in any case, accented letters included; a lookup compares with the
// stored (upper-cased) name.
TEST_F(Filling, ManyVariablesKeepTheirOrderThroughRemovals)
{
    QStringList want;
    for (int i = 0; i < 300; ++i) {
        rep.SetVar(QStringLiteral("Var%1").arg(i), QString::number(i));
        want << QStringLiteral("VAR%1=%2").arg(i).arg(i);
    }
    for (int i = 0; i < 300; i += 3) {
        rep.SetVar(QStringLiteral("vAR%1").arg(i), QString());
        want.removeAll(QStringLiteral("VAR%1=%2").arg(i).arg(i));
    }
    for (int i = 1; i < 300; i += 3) {
        rep.SetVar(QStringLiteral("var%1").arg(i), QStringLiteral("x%1").arg(i));
        want.replace(want.indexOf(QStringLiteral("VAR%1=%2").arg(i).arg(i)), QStringLiteral("VAR%1=x%2").arg(i).arg(i));
    }
    rep.SetVar(QStringLiteral("var0"), QStringLiteral("again"));
    want << QStringLiteral("VAR0=again");
    EXPECT_EQ(rep.Vars(), want);
    for (int i = 0; i < 300; ++i) {
        const QString v = i == 0 ? QStringLiteral("again") : i % 3 == 0 ? QString() : i % 3 == 1 ? QStringLiteral("x%1").arg(i) : QString::number(i);
        EXPECT_EQ(rep.GetVar(QStringLiteral("VaR%1").arg(i)), v) << i;
    }

    struct Case {
        const char* set;
        const char* get;
        bool found;
    } cases[] = {
        {"Umidità", "UMIDITÀ", true},
        {"umidità", "Umidita", false},
        // The stored name is upper-cased first: ß becomes SS.
        {"Straße", "strasse", true},
        {"Straße", "Straße", false},
        {"ÉTÉ", "été", true},
        {"m³/h", "M³/H", true},
        {"A", "a ", false},
    };
    for (const Case& c : cases) {
        rep.ClearVars();
        rep.SetVar(QString::fromUtf8(c.set), QStringLiteral("v"));
        EXPECT_EQ(rep.GetVar(QString::fromUtf8(c.get)), c.found ? "v" : "") << c.set << " / " << c.get;
        EXPECT_EQ(rep.Vars(), QStringList{QString::fromUtf8(c.set).toUpper() + QStringLiteral("=v")});
        rep.SetVar(QString::fromUtf8(c.get), QString());
        EXPECT_EQ(rep.Vars().size(), c.found ? 0 : 1) << c.set;
    }
}

TEST_F(Filling, SubstitutesVariablesInOrder)
{
    const QString path = write("t.AR", TemplateBytes({
        {"Row", 25, {{"x[A]y[B]z"}, {"[A]"}, {"plain"}}},
    }));
    rep.LoadTemplate(path);
    rep.SetVar(QStringLiteral("a"), QStringLiteral("1"));
    TARBand* b = rep.AddBands(QStringLiteral("ROW"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetCell(0)->Value(), "x1yz");
    EXPECT_EQ(b->GetCell(1)->Value(), "1");
    EXPECT_EQ(b->GetCell(2)->Value(), "plain");
    // Variables stay until cleared, and apply to later copies only.
    rep.SetVar(QStringLiteral("A"), QStringLiteral("2"));
    EXPECT_EQ(b->GetCell(0)->Value(), "x1yz");
    EXPECT_EQ(rep.AddBands(QStringLiteral("row"))->GetCell(0)->Value(), "x2yz");
}

TEST_F(Filling, BandsDifferingInCaseAreAppendedInTemplateOrder)
{
    const QString path = write("t.AR", TemplateBytes({
        {"Item", 20, {{"first"}}},
        {"Other", 20, {{"other"}}},
        {"ITEM", 30, {{"second"}}},
    }));
    rep.LoadTemplate(path);
    TARBand* last = rep.AddBands(QStringLiteral("item"));
    ASSERT_EQ(rep.Rep()->BandCount(), 2);
    EXPECT_EQ(rep.Rep()->GetBand(0)->GetCell(0)->Value(), "first");
    EXPECT_EQ(rep.Rep()->GetBand(1)->GetCell(0)->Value(), "second");
    EXPECT_EQ(last, rep.Rep()->GetBand(1));
    EXPECT_EQ(last->Top(), 20);
}

TEST_F(Filling, PendingPageBreakWaitsForABandThatIsAppended)
{
    const QString path = write("t.AR", TemplateBytes({{"Row", 20, {{"r"}}}}));
    rep.LoadTemplate(path);
    rep.AddBands(QStringLiteral("Row"));
    rep.PageBreak();
    EXPECT_EQ(rep.AddBands(QStringLiteral("none")), nullptr);
    EXPECT_EQ(rep.PendingBandState(), arbsPageBreak);
    rep.AddBands(QStringLiteral("Row"));
    rep.AddBands(QStringLiteral("Row"));
    EXPECT_EQ(rep.Rep()->GetBand(0)->BandState, 0);
    EXPECT_EQ(rep.Rep()->GetBand(1)->BandState, arbsPageBreak);
    EXPECT_EQ(rep.Rep()->GetBand(2)->BandState, 0);
    EXPECT_EQ(rep.PendingBandState(), 0);
}

TEST_F(Filling, AutoStretchGrowsButNeverShrinks)
{
    // Fixed pitch: 6 pixels a character, 13 a line; a 100-pixel cell with
    // frames of 1 wraps at 16 characters.
    const QString path = write("t.AR", TemplateBytes({{"Row", 25, {{"[T]"}}}}));
    rep.LoadTemplate(path);
    rep.SetVar(QStringLiteral("T"), QStringLiteral("aaaa bbbb cccc dddd eeee ffff gggg"));
    TARBand* tall = rep.AddBands(QStringLiteral("Row"));
    // Three lines measure 42 pixels; frames and padding add 4.
    EXPECT_EQ(tall->Height(), 42 + 4);
    rep.SetVar(QStringLiteral("T"), QStringLiteral("a"));
    EXPECT_EQ(rep.AddBands(QStringLiteral("Row"))->Height(), 25);
}

TEST_F(Filling, TemplateCacheKeepsOneReportPerFile)
{
    const QString a = write("a.AR", TemplateBytes({{"Row", 20, {{"from a"}}}}));
    const QString b = write("b.AR", TemplateBytes({{"Row", 20, {{"from b"}}}}));
    rep.LoadTemplate(a);
    TARRep* first = rep.Template();
    // The file is read again on every load.
    write("a.AR", TemplateBytes({{"Row", 20, {{"changed"}}}}));
    rep.LoadTemplate(a);
    EXPECT_EQ(rep.Template(), first);
    EXPECT_EQ(rep.AddBands(QStringLiteral("Row"))->GetCell(0)->Value(), "changed");
    rep.LoadTemplate(b);
    EXPECT_EQ(rep.TemplateCacheCount(), 2);
    EXPECT_NE(rep.Template(), first);
    EXPECT_EQ(rep.AddBands(QStringLiteral("Row"))->GetCell(0)->Value(), "from b");
}

// The template is parsed again only when its file changed: the same bytes
// keep the same bands; new bytes, or a template set meanwhile by its text,
// make it anew. Bands are found by name whatever changed in between.
TEST_F(Filling, TheTemplateIsParsedAgainOnlyWhenItsFileChanged)
{
    const QString a = write("a.AR", TemplateBytes({{"Row", 20, {{"from a"}}}, {"Tail", 10, {{"t"}}}}));
    rep.LoadTemplate(a);
    const TARBand* parsed = rep.Template()->GetBand(0);
    rep.LoadTemplate(a);
    EXPECT_EQ(rep.Template()->GetBand(0), parsed) << "the same bytes: not parsed again";
    EXPECT_EQ(rep.AddBands(QStringLiteral("row"))->GetCell(0)->Value(), "from a");

    TARRep t;
    t.ClearBands();
    t.AddBand()->SetName(QStringLiteral("Other"));
    rep.SetARTemplateText(t.ARTemplate());
    EXPECT_EQ(rep.AddBands(QStringLiteral("Row")), nullptr);
    ASSERT_NE(rep.AddBands(QStringLiteral("other")), nullptr);
    rep.LoadTemplate(a);
    ASSERT_EQ(rep.Template()->BandCount(), 2) << "set meanwhile: parsed again from the file";
    EXPECT_EQ(rep.AddBands(QStringLiteral("Tail"))->GetCell(0)->Value(), "t");

    // A band renamed in the template is found under its new name.
    rep.Template()->GetBand(1)->SetName(QStringLiteral("End"));
    EXPECT_EQ(rep.AddBands(QStringLiteral("Tail")), nullptr);
    ASSERT_NE(rep.AddBands(QStringLiteral("END")), nullptr);
}

// A template prepared ahead is parsed once, into the cache only: the current
// template and the report stay as they were, and the later load finds it
// parsed, or parses it again when the file changed in between.
TEST_F(Filling, APreparedTemplateIsParsedOnceAndLeavesTheReportAlone)
{
    const QString a = write("a.AR", TemplateBytes({{"Row", 20, {{"from a"}}}}));
    const QString b = write("b.AR", TemplateBytes({{"Row", 20, {{"from b"}}}}));
    rep.LoadTemplate(a);
    rep.AddBands(QStringLiteral("Row"));
    TARRep* current = rep.Template();

    rep.PrepareTemplate(b);
    EXPECT_EQ(rep.Template(), current);
    EXPECT_EQ(rep.Path(), a);
    ASSERT_EQ(rep.Rep()->BandCount(), 1);
    EXPECT_EQ(rep.AddBands(QStringLiteral("Row"))->GetCell(0)->Value(), "from a");

    rep.LoadTemplate(b);
    const TARBand* prepared = rep.Template()->GetBand(0);
    EXPECT_NE(rep.Template(), current);
    EXPECT_EQ(rep.AddBands(QStringLiteral("Row"))->GetCell(0)->Value(), "from b");
    rep.PrepareTemplate(b);
    rep.LoadTemplate(b);
    EXPECT_EQ(rep.Template()->GetBand(0), prepared) << "the same bytes: not parsed again";

    // Changed on disk after it was prepared: the load reads the new bytes.
    rep.PrepareTemplate(a);
    write("a.AR", TemplateBytes({{"Row", 20, {{"a, changed"}}}}));
    rep.LoadTemplate(a);
    EXPECT_EQ(rep.AddBands(QStringLiteral("Row"))->GetCell(0)->Value(), "a, changed");
    // The current template prepared anew from changed bytes: found by name.
    write("a.AR", TemplateBytes({{"Other", 20, {{"o"}}}}));
    rep.PrepareTemplate(a);
    EXPECT_EQ(rep.AddBands(QStringLiteral("Row")), nullptr);
    ASSERT_NE(rep.AddBands(QStringLiteral("Other")), nullptr);

    // A fresh view: preparing does not name its unnamed template.
    TARUserRep fresh;
    TARRep* unnamed = fresh.Template();
    fresh.PrepareTemplate(a);
    EXPECT_EQ(fresh.Template(), unnamed);
    EXPECT_EQ(fresh.Template()->BandCount(), 4);
    fresh.LoadTemplate(a);
    EXPECT_EQ(fresh.AddBands(QStringLiteral("Other"))->GetCell(0)->Value(), "o");
    EXPECT_THROW(fresh.PrepareTemplate(dir.path() + "/none.AR"), Exception);
}

TEST_F(Filling, MissingTemplateRaisesAndLeavesTheReport)
{
    rep.Rep()->PageSize().SetName(QStringLiteral("A3"));
    EXPECT_THROW(rep.LoadTemplate(dir.path() + "/none.AR"), Exception);
    EXPECT_EQ(rep.Rep()->PageSize().Name(), "A3");
}

TEST_F(Filling, TemplateTextFillsTheTemplateNotTheDocument)
{
    TARRep t;
    t.ClearBands();
    t.AddBand()->SetName(QStringLiteral("Only"));
    rep.SetARTemplateText(t.ARTemplate());
    EXPECT_EQ(rep.Template()->BandCount(), 1);
    EXPECT_EQ(rep.Rep()->BandCount(), 0);
    EXPECT_EQ(rep.ARTemplate(), t.ARTemplate());
}

} // namespace

namespace {
TEST_F(Filling, ClickSelectsTheCellUnderTheMouse)
{
    rep.LoadTemplate(fc::test::testDataDir() + "data/default.AR");
    rep.AddBands(QStringLiteral("Band 0"));
    rep.AddBands(QStringLiteral("Band 1"));
    rep.resize(500, 200);
    rep.show();
    std::vector<std::pair<int, int>> picked;
    rep.OnSelectCell = [&](TARGridRep*, int b, int c) { picked.push_back({b, c}); };
    auto click = [&](QPoint p, Qt::KeyboardModifiers m) {
        QMouseEvent ev(QEvent::MouseButtonPress, p, rep.viewport()->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, m);
        QCoreApplication::sendEvent(rep.viewport(), &ev);
        QMouseEvent up(QEvent::MouseButtonRelease, p, rep.viewport()->mapToGlobal(p), Qt::LeftButton, Qt::NoButton, m);
        QCoreApplication::sendEvent(rep.viewport(), &up);
    };
    click({150, 30}, Qt::NoModifier); // gutter 0: band 1, cell 1
    EXPECT_EQ(rep.CurrentBandIndex(), 1);
    EXPECT_EQ(rep.CurrentCellIndex(), 1);
    click({50, 10}, Qt::ControlModifier);
    EXPECT_EQ(rep.SelCount(), 2);
    click({50, 10}, Qt::ControlModifier); // a second Ctrl-click unselects
    EXPECT_EQ(rep.SelCount(), 1);
    click({350, 10}, Qt::NoModifier);
    ASSERT_EQ(rep.SelCount(), 1);
    EXPECT_EQ(rep.SelectedCell(0), rep.Rep()->GetBand(0)->GetCell(3));
    EXPECT_EQ(picked.size(), 4u);
}
} // namespace
