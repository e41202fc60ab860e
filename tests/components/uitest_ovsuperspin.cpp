// The spin edit: stepping with limits, wrap and rounding, acceleration on a
// fake clock, keys.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QToolButton>
#include <vector>

#include "EditTestSupport.h"
#include "TestSupport.h"
#include "components/OvSuperSpin.h"
#include "platform/Beep.h"

using edittest::sendKey;
using edittest::typeText;

namespace {

class SuperSpinTest : public ::testing::Test {
protected:
    SuperSpinTest()
    {
        spin.Clock = [this] { return now; };
    }
    // A click long after the previous one.
    void slowUp()
    {
        now += 1000;
        spin.UpClick();
    }
    void slowDown()
    {
        now += 1000;
        spin.DownClick();
    }

    fc::test::ScopedSeparators sep{QChar(','), QChar('.')};
    fc::ScopedBeepCounter beeps;
    qint64 now = 0;
    TOvSuperSpin spin;
};

TEST_F(SuperSpinTest, Defaults)
{
    EXPECT_EQ(spin.Increment(), 1.0L);
    EXPECT_EQ(spin.Step(), 1.0L);
    EXPECT_TRUE(spin.EditorEnabled());
    EXPECT_FALSE(spin.RoundValues());
    EXPECT_FALSE(spin.Wrap());
    EXPECT_EQ(spin.Version(), QStringLiteral("2.00.00.00"));
    EXPECT_EQ(spin.Text(), QStringLiteral("0"));
    EXPECT_EQ(spin.Decimals(), -1);
}

struct StepCase {
    long double value;
    bool wrap;
    bool up;
    const char* expected;
    int beeps;
};

// Range 0..10, increment 1.
TEST_F(SuperSpinTest, StepsWithinTheLimits)
{
    const StepCase cases[] = {
        {5, false, true, "6", 0},
        {9.5L, false, true, "9,5", 1}, // neither 10,5 nor 9,5 + 1 fit
        {9.5L, true, true, "0", 0},
        {10, false, true, "10", 1},
        {10, true, true, "0", 0},
        {10, false, false, "9", 0},
        {0, true, false, "10", 0},
        {0, false, false, "0", 1},
        {0.5L, false, false, "0,5", 1},
        {-3, false, true, "0", 1}, // below the range: corrected
        {12, false, false, "10", 1},
    };
    spin.SetMaxValue(10);
    for (const StepCase& c : cases) {
        spin.SetWrap(c.wrap);
        spin.SetValue(c.value);
        beeps.Reset();
        if (c.up)
            slowUp();
        else
            slowDown();
        EXPECT_EQ(spin.Text(), QString::fromUtf8(c.expected)) << double(c.value) << (c.up ? " up" : " down");
        EXPECT_EQ(beeps.Count(), c.beeps) << double(c.value);
    }
}

TEST_F(SuperSpinTest, StepFallsBackToTheIncrementAtTheEdge)
{
    spin.SetMaxValue(500);
    spin.SetValue(0);
    for (int i = 0; i < 20; ++i) { // quick clicks grow the step
        now += 100;
        spin.UpClick();
    }
    ASSERT_GT(spin.Step(), 1.0L);
    spin.SetValue(499);
    now += 100;
    spin.UpClick();
    EXPECT_EQ(spin.Text(), QStringLiteral("500"));
    EXPECT_EQ(spin.Step(), 1.0L);
}

TEST_F(SuperSpinTest, DecimalIncrementsReachTheLimit)
{
    spin.SetMaxValue(1);
    spin.SetIncrement(0.1);
    spin.SetValue(0.9L);
    slowUp();
    EXPECT_EQ(spin.Text(), QStringLiteral("1"));
    EXPECT_EQ(beeps.Count(), 0);
    for (int i = 0; i < 10; ++i)
        slowDown();
    EXPECT_EQ(spin.Text(), QStringLiteral("0"));
    EXPECT_EQ(beeps.Count(), 0);
}

TEST_F(SuperSpinTest, NoLimitsEveryClickMovesByTheIncrement)
{
    spin.SetIncrement(2.5L);
    spin.SetValue(-100);
    for (int i = 0; i < 30; ++i) {
        now += 50;
        spin.UpClick();
    }
    EXPECT_EQ(spin.Value(), -25.0L);
    EXPECT_EQ(spin.Step(), 2.5L);
}

// Holding the button (a click every 100 ms) over 0..500: the sixth quick
// repeat adds one increment, then every second one, up to a fifth of the
// range. Wrap keeps the value moving.
TEST_F(SuperSpinTest, AccelerationSchedule)
{
    spin.SetMaxValue(500);
    spin.SetWrap(true);
    const std::vector<long double> expected = {1, 1, 1, 1, 1, 1, 2, 2, 3, 3, 4, 4, 5};
    std::vector<long double> steps;
    now = 1000;
    spin.UpClick(); // the first click of the series
    steps.push_back(spin.Step());
    for (std::size_t i = 1; i < expected.size(); ++i) {
        now += 100;
        spin.UpClick();
        steps.push_back(spin.Step());
    }
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(spin.Value(), 1 + 1 + 1 + 1 + 1 + 1 + 2 + 2 + 3 + 3 + 4 + 4 + 5);

    for (int i = 0; i < 400; ++i) {
        now += 100;
        spin.UpClick();
    }
    EXPECT_EQ(spin.Step(), 100.0L);

    // A pause ends the series.
    now += 201;
    spin.UpClick();
    EXPECT_EQ(spin.Step(), 1.0L);
}

TEST_F(SuperSpinTest, ArrowKeysStepAndAKeyReleaseResetsTheStep)
{
    spin.SetMaxValue(500);
    spin.SetValue(0);
    // An auto-repeating arrow key: X11 sends a release before every
    // repeated press, which must not end the series.
    now = 1000;
    QKeyEvent first(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(&spin, &first);
    for (int i = 0; i < 8; ++i) {
        now += 30;
        QKeyEvent rel(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&spin, &rel);
        QKeyEvent rep(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&spin, &rep);
    }
    EXPECT_EQ(spin.Step(), 3.0L);
    EXPECT_EQ(spin.Value(), 1 + 1 + 1 + 1 + 1 + 1 + 2 + 2 + 3);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(&spin, &release);
    EXPECT_EQ(spin.Step(), 1.0L);

    now += 1000;
    sendKey(&spin, Qt::Key_Down);
    EXPECT_EQ(spin.Value(), 12.0L);
}

TEST_F(SuperSpinTest, RoundValues)
{
    spin.SetMaxValue(10);
    spin.SetMinValue(0.5L);
    spin.SetRoundValues(true);
    const struct {
        const char* text;
        const char* expected;
    } exits[] = {{"3,9", "3,5"}, {"2", "2,5"}, {"3", "2,5"}, {"10", "9,5"}, {"0,5", "0,5"}};
    for (const auto& c : exits) {
        spin.SetText(c.text);
        spin.DoExit();
        EXPECT_EQ(spin.Text(), QString::fromUtf8(c.expected)) << c.text;
    }
    // Out of range: corrected, not rounded onto the grid.
    spin.SetText("12");
    spin.DoExit();
    EXPECT_EQ(spin.Text(), QStringLiteral("10"));
    // Steps stay on the grid.
    spin.SetText("3,9");
    slowUp();
    EXPECT_EQ(spin.Text(), QStringLiteral("4,5"));
}

TEST_F(SuperSpinTest, WithoutRoundValuesTheExitKeepsTheValue)
{
    spin.SetText("12,5");
    spin.DoExit();
    EXPECT_EQ(spin.Text(), QStringLiteral("12,5"));
    spin.SetMaxValue(20);
    spin.DoExit();
    EXPECT_EQ(spin.Text(), QStringLiteral("12,5"));
    EXPECT_EQ(beeps.Count(), 0);
}

TEST_F(SuperSpinTest, IncrementSetterRefusesWhatCannotStep)
{
    spin.SetMaxValue(10);
    spin.SetIncrement(0);
    EXPECT_EQ(spin.Increment(), 1.0L);
    spin.SetIncrement(-2);
    EXPECT_EQ(spin.Increment(), 1.0L);
    spin.SetIncrement(11); // more than the range
    EXPECT_EQ(spin.Increment(), 1.0L);
    spin.SetIncrement(2);
    EXPECT_EQ(spin.Increment(), 2.0L);
    EXPECT_EQ(spin.Step(), 2.0L);
    spin.SetRoundValues(true);
    spin.SetValue(3.4L);
    spin.SetIncrement(0.5L); // rounds at once
    EXPECT_EQ(spin.Text(), QStringLiteral("3,5"));
}

TEST_F(SuperSpinTest, EditorDisabledOnlyTheArrowsChangeTheValue)
{
    spin.SetValue(5);
    spin.SetEditorEnabled(false);
    spin.selectAll();
    typeText(&spin, "7");
    sendKey(&spin, Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(spin.Text(), QStringLiteral("5"));
    now += 1000;
    sendKey(&spin, Qt::Key_Up);
    EXPECT_EQ(spin.Text(), QStringLiteral("6"));
    EXPECT_EQ(beeps.Count(), 0);

    // Cut and paste do nothing either.
    QGuiApplication::clipboard()->setText("9");
    spin.selectAll();
    spin.CutToClipboard();
    spin.PasteFromClipboard();
    EXPECT_EQ(spin.Text(), QStringLiteral("6"));
}

TEST_F(SuperSpinTest, ReadOnlyBeeps)
{
    spin.SetReadOnly(true);
    slowUp();
    slowDown();
    EXPECT_EQ(spin.Text(), QStringLiteral("0"));
    EXPECT_EQ(beeps.Count(), 2);
}

TEST_F(SuperSpinTest, ButtonsStepAndRepeat)
{
    EXPECT_EQ(spin.UpButton()->autoRepeatDelay(), 400);
    EXPECT_EQ(spin.UpButton()->autoRepeatInterval(), 100);
    EXPECT_EQ(spin.DownButton()->focusPolicy(), Qt::NoFocus);
    now = 1000;
    spin.UpButton()->click();
    now += 1000;
    spin.UpButton()->click();
    now += 1000;
    spin.DownButton()->click();
    EXPECT_EQ(spin.Value(), 1.0L);
}

} // namespace
