#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLabel>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QVBoxLayout>

#include "platform/CheckListBox.h"
#include "platform/ComboBox.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/PageControl.h"
#include "platform/RadioGroup.h"

namespace {

// A radio group of three items, shown, recording the item of every click.
struct RadioFixture : ::testing::Test {
    TRadioGroup group;
    std::vector<int> clicks;
    void SetUp() override
    {
        group.SetItems({"MIN ", "MED", "MAX"});
        group.OnClick = [this] { clicks.push_back(group.ItemIndex()); };
        group.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&group));
    }
    void clickItem(int i) { QTest::mouseClick(group.Button(i), Qt::LeftButton); }
};

} // namespace

TEST_F(RadioFixture, ClickRunsWhenADifferentItemIsSelectedByUserOrCode)
{
    clickItem(1);
    clickItem(1); // already selected
    group.SetItemIndex(2);
    group.SetItemIndex(2);
    clickItem(0);
    EXPECT_EQ(clicks, (std::vector<int>{1, 2, 0}));
    // Arrow keys move the choice as clicks do, past a greyed item.
    group.SetItemEnabled(1, false);
    group.Button(0)->setFocus();
    QTest::keyClick(group.Button(0), Qt::Key_Down);
    EXPECT_EQ(clicks, (std::vector<int>{1, 2, 0, 2}));
    EXPECT_TRUE(group.Button(2)->isChecked());
    EXPECT_FALSE(group.Button(0)->isChecked());
    EXPECT_EQ(group.ItemIndex(), 2);
}

TEST_F(RadioFixture, ClearingRunsNothingAndUnchecksEveryButton)
{
    group.SetItemIndex(1);
    clicks.clear();
    group.SetItemIndex(-1);
    EXPECT_EQ(group.ItemIndex(), -1);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(group.Button(i)->isChecked()) << i;
    EXPECT_TRUE(clicks.empty());
    // Selecting the former item again is a change.
    group.SetItemIndex(1);
    clickItem(2);
    EXPECT_EQ(clicks, (std::vector<int>{1, 2}));
    group.SetItemIndex(7); // beyond the items: the last one, already selected
    EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(RadioFixture, HandlerThatMovesTheSelectionRunsAgainForTheNewItem)
{
    // As a mode check does: an item not allowed falls back to item 0.
    group.OnClick = [this] {
        clicks.push_back(group.ItemIndex());
        if (group.ItemIndex() == 2)
            group.SetItemIndex(0);
    };
    clickItem(2);
    EXPECT_EQ(clicks, (std::vector<int>{2, 0}));
    EXPECT_EQ(group.ItemIndex(), 0);
    EXPECT_TRUE(group.Button(0)->isChecked());
    EXPECT_FALSE(group.Button(2)->isChecked());
}

TEST_F(RadioFixture, ItemEnablingSurvivesNewTextsAndTheGroupsOwnEnabling)
{
    group.SetItemEnabled(1, false);
    group.SetItems({"Low", "Medium", "High"}); // a translation
    EXPECT_EQ(group.Button(1)->text(), "Medium");
    EXPECT_FALSE(group.ItemEnabled(1));
    EXPECT_TRUE(group.ItemEnabled(0));
    group.setEnabled(false);
    EXPECT_FALSE(group.Button(0)->isEnabled());
    group.setEnabled(true);
    EXPECT_TRUE(group.Button(0)->isEnabled());
    EXPECT_FALSE(group.Button(1)->isEnabled());
    clickItem(1); // greyed: the user cannot choose it
    EXPECT_TRUE(clicks.empty());
    group.SetItemIndex(1); // code still can
    EXPECT_EQ(clicks, (std::vector<int>{1}));
    EXPECT_THROW(group.SetItemEnabled(3, true), EListError);
    EXPECT_THROW(group.ItemEnabled(-1), EListError);
}

TEST_F(RadioFixture, FewerItemsMoveASelectionBeyondThemToTheLast)
{
    group.SetItemIndex(2);
    clicks.clear();
    group.SetItems({"Acqua", "Glicole in peso"});
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_EQ(clicks, (std::vector<int>{1}));
    group.SetItems({"a", "b", "c", "d"});
    EXPECT_EQ(group.Count(), 4);
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_TRUE(group.Button(3)->isEnabled());
    group.SetItems({});
    EXPECT_EQ(group.ItemIndex(), -1);
}

TEST_F(RadioFixture, AnExceptionInTheHandlerIsShownAndTheSelectionStays)
{
    ScopedScriptedDialogs dialogs;
    group.OnClick = [] { throw EConvertError::NotFloat("x"); };
    clickItem(2);
    EXPECT_EQ(group.ItemIndex(), 2);
    EXPECT_EQ(dialogs.messages(), QStringList{"'x' is not a valid floating point value"});
}

TEST(ComboBox, ChangeRunsOnlyOnTheUsersChoice)
{
    TComboBox combo;
    int changes = 0;
    QStringList seen;
    combo.OnChange = [&] {
        ++changes;
        seen << combo.Text();
    };
    combo.SetItems({"A", "B", "C"});
    EXPECT_EQ(combo.ItemIndex(), -1);
    combo.SetItemIndex(0);
    combo.SetText("c");
    EXPECT_EQ(combo.ItemIndex(), 2);
    combo.SetText("nothing such");
    EXPECT_EQ(combo.ItemIndex(), 2);
    combo.SetItemIndex(9);
    EXPECT_EQ(combo.ItemIndex(), -1);
    combo.SetItemIndex(0);
    EXPECT_EQ(changes, 0);

    combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    combo.setFocus();
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(combo.ItemIndex(), 1);
    // From the opened list, as with the mouse.
    combo.showPopup();
    QAbstractItemView* list = combo.view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    list->setCurrentIndex(combo.model()->index(2, 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(combo.ItemIndex(), 2);
    EXPECT_EQ(seen, (QStringList{"B", "C"}));
    EXPECT_EQ(changes, 2);
}

namespace {

// Five pages, each counting the times it was shown.
struct PageFixture : ::testing::Test {
    TPageControl pages;
    int changing = 0, changed = 0;
    bool allow = true;
    std::vector<int> shows = std::vector<int>(5, 0);

    struct ShowCounter : QObject {
        int* n;
        ShowCounter(int* c, QObject* parent)
            : QObject(parent)
            , n(c)
        {
        }
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Show)
                ++*n;
            return false;
        }
    };

    void SetUp() override
    {
        const char* names[] = {"Scelta", "Parametri", "Riscaldamento", "Raffreddamento", "Calcola"};
        for (int i = 0; i < 5; ++i) {
            auto* page = new QWidget;
            new QLabel(names[i], page);
            page->installEventFilter(new ShowCounter(&shows[size_t(i)], page));
            pages.addTab(page, names[i]);
        }
        pages.OnChanging = [this](bool& a) {
            ++changing;
            a = allow;
        };
        pages.OnChange = [this] { ++changed; };
        pages.resize(500, 300);
        pages.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&pages));
        std::fill(shows.begin(), shows.end(), 0);
    }
    void clickTab(int i) { QTest::mouseClick(pages.tabBar(), Qt::LeftButton, {}, pages.tabBar()->tabRect(i).center()); }
};

} // namespace

TEST_F(PageFixture, TabsAreAtTheBottomAndCodeRunsNoHandler)
{
    EXPECT_EQ(pages.tabPosition(), QTabWidget::South);
    pages.SetActivePageIndex(3);
    pages.SetActivePage(pages.Page(1));
    EXPECT_EQ(pages.ActivePageIndex(), 1);
    pages.SetTabVisible(1, false); // hiding the active page moves away from it
    EXPECT_NE(pages.ActivePageIndex(), 1);
    EXPECT_FALSE(pages.TabVisible(1));
    pages.SetActivePageIndex(1); // shown without its tab
    EXPECT_EQ(pages.ActivePageIndex(), 1);
    EXPECT_FALSE(pages.TabVisible(1));
    EXPECT_EQ(changing, 0);
    EXPECT_EQ(changed, 0);
    EXPECT_THROW(pages.Page(5), EListError);
    EXPECT_THROW(pages.SetActivePageIndex(-1), EListError);
}

TEST_F(PageFixture, UserClickAsksFirstAndARefusalKeepsThePage)
{
    allow = false;
    clickTab(2);
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    EXPECT_EQ(shows[2], 0) << "the refused page was shown";
    EXPECT_EQ(pages.tabBar()->currentIndex(), 0);

    clickTab(0); // the current tab: no change, nothing asked
    EXPECT_EQ(changing, 1);

    allow = true;
    clickTab(2);
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(pages.ActivePageIndex(), 2);
    EXPECT_EQ(shows[2], 1);
}

TEST_F(PageFixture, KeyboardAndWheelChangesAreAskedForToo)
{
    pages.SetTabVisible(1, false);
    pages.tabBar()->setFocus();
    allow = false;
    QTest::keyClick(pages.tabBar(), Qt::Key_Right);
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    EXPECT_EQ(changing, 1);
    QTest::keyClick(pages.Page(0), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(shows[2], 0);

    allow = true;
    QTest::keyClick(pages.tabBar(), Qt::Key_Right);
    EXPECT_EQ(pages.ActivePageIndex(), 2) << "the hidden page is skipped";
    QTest::keyClick(pages.Page(2), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pages.ActivePageIndex(), 3);
    EXPECT_EQ(changed, 2);

    QWheelEvent wheel(QPointF(5, 5), pages.tabBar()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    allow = false;
    QApplication::sendEvent(pages.tabBar(), &wheel);
    EXPECT_EQ(pages.ActivePageIndex(), 3);
    allow = true;
    QApplication::sendEvent(pages.tabBar(), &wheel);
    EXPECT_EQ(pages.ActivePageIndex(), 4);
    EXPECT_EQ(changed, 3);
}

TEST_F(PageFixture, AnExceptionWhileAskingRefusesTheChange)
{
    ScopedScriptedDialogs dialogs;
    pages.OnChanging = [](bool&) { throw EConvertError::NotFloat("abc"); };
    clickTab(3);
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(dialogs.messages(), QStringList{"'abc' is not a valid floating point value"});
}

TEST(CheckListBox, ClickCheckRunsOnlyForTheUsersTicks)
{
    TCheckListBox list;
    int clickChecks = 0, mouseUps = 0;
    list.OnClickCheck = [&] { ++clickChecks; };
    list.OnMouseUp = [&] { ++mouseUps; };
    list.SetItems({"FC 20", "FC 30", "FC 40"});
    list.SetChecked(0, true);
    list.SetAllChecked(true);
    list.SetChecked(2, false);
    list.SetItemText(2, "FC 45");
    EXPECT_EQ(list.Items(), (QStringList{"FC 20", "FC 30", "FC 45"}));
    EXPECT_TRUE(list.Checked(1));
    EXPECT_FALSE(list.Checked(2));
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(clickChecks, 0);

    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.setFocus();
    list.SetItemIndex(1);
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_FALSE(list.Checked(1));
    EXPECT_EQ(clickChecks, 1);
    // Clicking the box of the third item.
    const QRect r = list.visualItemRect(list.item(2));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(r.left() + r.height() / 2 + 2, r.center().y()));
    EXPECT_TRUE(list.Checked(2));
    EXPECT_EQ(clickChecks, 2);
    EXPECT_GE(mouseUps, 1);

    list.SetItems({"FC 50"});
    EXPECT_FALSE(list.Checked(0));
    EXPECT_EQ(clickChecks, 2);
    EXPECT_THROW(list.Checked(1), EListError);
    EXPECT_THROW(list.SetChecked(-1, true), EListError);
    EXPECT_THROW(list.ItemText(3), EListError);
}

// A list filled at once holds the same check items as one filled item by
// item: the same texts, flags and unticked boxes, none current, no handler.
TEST(CheckListBox, ItemsSetAtOnceAreTheItemsAddedOneByOne)
{
    const QStringList texts{"FC 20", "FC 30", "", "FC 30"};
    TCheckListBox bulk, single;
    int clickChecks = 0;
    bulk.OnClickCheck = [&] { ++clickChecks; };
    bulk.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bulk));
    bulk.SetItems({"old"});
    bulk.SetItemIndex(0);
    bulk.SetItems(texts);
    for (const QString& t : texts)
        single.AddItem(t);
    ASSERT_EQ(bulk.Count(), single.Count());
    EXPECT_TRUE(bulk.HasItems(texts));
    EXPECT_FALSE(bulk.HasItems({"FC 20", "FC 30", "", "FC 31"}));
    EXPECT_FALSE(bulk.HasItems(texts.mid(1)));
    for (int i = 0; i < bulk.Count(); ++i) {
        const QListWidgetItem* a = bulk.item(i);
        const QListWidgetItem* b = single.item(i);
        EXPECT_EQ(a->text(), b->text()) << i;
        EXPECT_EQ(int(a->flags()), int(b->flags())) << i;
        EXPECT_EQ(a->checkState(), Qt::Unchecked) << i;
        for (int role : {int(Qt::DisplayRole), int(Qt::CheckStateRole), int(Qt::DecorationRole), int(Qt::SizeHintRole)})
            EXPECT_EQ(a->data(role), b->data(role)) << i << ' ' << role;
    }
    EXPECT_EQ(bulk.ItemIndex(), -1);
    EXPECT_EQ(clickChecks, 0);
    // The shown list draws the new items with their boxes: the second one's
    // box ticks it.
    QCoreApplication::processEvents();
    const QRect r = bulk.visualItemRect(bulk.item(1));
    ASSERT_FALSE(r.isEmpty());
    EXPECT_EQ(r.width(), bulk.viewport()->width());
    QTest::mouseClick(bulk.viewport(), Qt::LeftButton, {}, QPoint(r.left() + r.height() / 2 + 2, r.center().y()));
    EXPECT_TRUE(bulk.Checked(1));
    EXPECT_EQ(clickChecks, 1);
}
