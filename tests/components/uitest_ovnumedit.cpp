// The numeric edit: properties, key rules, exit check and clipboard.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QRegularExpression>
#include <cmath>
#include <random>
#include <QTest>
#include <QPushButton>

#include "EditTestSupport.h"
#include "TestSupport.h"
#include "components/OvNumEdit.h"
#include "platform/Beep.h"
#include "platform/Errors.h"

using edittest::backspace;
using edittest::del;
using edittest::sendKey;
using edittest::typeText;
using fc::TNumberFormat;

namespace {

class NumEditTest : public ::testing::Test {
protected:
    fc::test::ScopedSeparators sep{QChar(','), QChar('.')};
    fc::ScopedBeepCounter beeps;
};

TEST_F(NumEditTest, Defaults)
{
    TOvNumEdit e;
    EXPECT_EQ(e.width(), 100);
    EXPECT_EQ(e.Text(), QStringLiteral("0"));
    EXPECT_EQ(e.Decimals(), -1);
    EXPECT_EQ(e.Alignment(), TAlignment::taRightJustify);
    EXPECT_TRUE(e.alignment() & Qt::AlignRight);
    EXPECT_EQ(e.NumberFormat(), TNumberFormat::Standard);
    EXPECT_EQ(e.MinValue(), 0);
    EXPECT_EQ(e.MaxValue(), 0);
    EXPECT_EQ(e.Value(), 0);
    EXPECT_TRUE(e.AutoSelect());
    e.SetVersion("9");
    EXPECT_EQ(e.Version(), QStringLiteral("2.50.00.00"));
}

TEST_F(NumEditTest, LimitSettersInBothOrders)
{
    TOvNumEdit e;
    e.SetMinValue(10); // above the maximum 0: ignored
    EXPECT_EQ(e.MinValue(), 0);
    e.SetMaxValue(50);
    e.SetMinValue(10);
    EXPECT_EQ(e.MinValue(), 10);
    EXPECT_EQ(e.MaxValue(), 50);
    e.SetMaxValue(5); // below the minimum: ignored
    EXPECT_EQ(e.MaxValue(), 50);

    TOvNumEdit n;
    n.SetMaxValue(-10); // below the minimum 0: ignored
    EXPECT_EQ(n.MaxValue(), 0);
    n.SetMinValue(-50);
    n.SetMaxValue(-10);
    EXPECT_EQ(n.MinValue(), -50);
    EXPECT_EQ(n.MaxValue(), -10);
}

TEST_F(NumEditTest, ValueTextAndReformatting)
{
    TOvNumEdit e;
    int changes = 0;
    e.OnChange = [&](TOvNumEdit*) { ++changes; };
    e.SetValue(1234.5L);
    EXPECT_EQ(e.Text(), QStringLiteral("1234,5"));
    EXPECT_EQ(e.SelStart(), 0); // caret at the start, as after any text set
    EXPECT_EQ(changes, 1);      // programmatic changes notify too
    e.SetValue(1234.5L);
    EXPECT_EQ(changes, 1);

    e.SetNumberFormat(TNumberFormat::Thousands);
    EXPECT_EQ(e.Text(), QStringLiteral("1.234,5"));
    EXPECT_EQ(e.Value(), 1234.5L);
    e.SetDecimals(2);
    EXPECT_EQ(e.Text(), QStringLiteral("1.234,50"));
    e.SetDecimals(99);
    EXPECT_EQ(e.Decimals(), 14);
    e.SetDecimals(-7);
    EXPECT_EQ(e.Decimals(), -1);
    e.SetMaxLength(5);
    e.SetDecimals(4);
    EXPECT_EQ(e.Decimals(), 3);
    // MaxLength limits typing only.
    e.SetValue(123456789);
    EXPECT_EQ(e.Text(), QStringLiteral("123.456.789,000"));

    e.SetText("12E");
    EXPECT_THROW(e.Value(), EConvertError);
    EXPECT_THROW(e.SetDecimals(1), EConvertError);
}

// (text, selection, key) -> (text, caret, beeps), with decimal comma and
// thousands point.
struct KeyCase {
    const char* text;
    int selStart, selLength;
    const char* key; // one character, or "BS" / "DEL" / "ENTER"
    int decimals;
    TNumberFormat format;
    const char* expected;
    int caret;
    int beeps;
};

const KeyCase kKeyCases[] = {
    // Deleting keeps the number's form; the Backspace character is silent.
    {"5,25", 1, 0, "BS", -1, TNumberFormat::Standard, "0,25", 1, 0},
    {"5,25", 2, 0, "BS", -1, TNumberFormat::Standard, "0,25", 1, 0},
    {"1,25", 2, 0, "DEL", 2, TNumberFormat::Standard, "1,50", 2, 0},
    {"1,25", 4, 0, "BS", 2, TNumberFormat::Standard, "1,20", 3, 0},
    {"1,25", 1, 0, "DEL", 2, TNumberFormat::Standard, "1,50", 2, 0},
    {"-5", 1, 0, "BS", -1, TNumberFormat::Standard, "5", 0, 0},
    {"-", 1, 0, "BS", -1, TNumberFormat::Standard, "0", 0, 0},
    {"0", 0, 0, "BS", -1, TNumberFormat::Standard, "0", 0, 0},
    {"12", 2, 0, "DEL", -1, TNumberFormat::Standard, "12", 2, 0},
    {"123", 3, 0, "BS", -1, TNumberFormat::Standard, "12", 2, 0},
    {"1,5E3", 4, 0, "DEL", -1, TNumberFormat::Scientific, "1,5E0", 4, 0},
    {"123,45", 1, 3, "DEL", -1, TNumberFormat::Standard, "1,45", 1, 0},
    {"123,45", 0, 6, "BS", 2, TNumberFormat::Standard, "0,00", 0, 0},
    // Thousands: separators are stepped over and the text regrouped.
    {"1.234", 2, 0, "BS", -1, TNumberFormat::Thousands, "234", 0, 0},
    {"123", 3, 0, "4", -1, TNumberFormat::Thousands, "1.234", 5, 0},
    {"1.234", 5, 0, "BS", -1, TNumberFormat::Thousands, "123", 3, 0},
    // The sign toggles wherever the caret is in the mantissa.
    {"12", 1, 0, "-", -1, TNumberFormat::Standard, "-12", 2, 0},
    {"12", 0, 0, "-", -1, TNumberFormat::Standard, "-12", 1, 0},
    {"-12", 2, 0, "-", -1, TNumberFormat::Standard, "12", 1, 0},
    {"-12", 0, 0, "-", -1, TNumberFormat::Standard, "12", 0, 0},
    // ... and the exponent's after "E".
    {"1E5", 3, 0, "-", -1, TNumberFormat::Standard, "1E-5", 4, 0},
    {"1E-5", 4, 0, "-", -1, TNumberFormat::Standard, "1E5", 3, 0},
    // One decimal separator, one "E".
    {"1,5", 0, 0, ",", -1, TNumberFormat::Standard, "1,5", 2, 0},
    {"12", 1, 0, ",", -1, TNumberFormat::Standard, "12,", 3, 0},
    {"12E3", 1, 0, ",", -1, TNumberFormat::Standard, "12,E3", 3, 0},
    {"12", 1, 0, ",", 2, TNumberFormat::Standard, "1,2", 2, 0},
    {"12", 1, 0, "e", -1, TNumberFormat::Standard, "12E", 3, 0},
    {"1E5", 0, 0, "E", -1, TNumberFormat::Standard, "1E5", 2, 0},
    // Digits replace a leading zero, keep the decimals' count, and the
    // exponent within 4932.
    {"12,5", 0, 4, "7", -1, TNumberFormat::Standard, "7", 1, 0},
    {"0", 1, 0, "7", -1, TNumberFormat::Standard, "7", 1, 0},
    {"0,00", 1, 0, "3", 2, TNumberFormat::Standard, "3,00", 1, 0},
    {"-0", 0, 0, "5", -1, TNumberFormat::Standard, "-5", 2, 0},
    {"1E0", 2, 0, "7", -1, TNumberFormat::Standard, "1E7", 3, 0},
    {"1E493", 5, 0, "2", -1, TNumberFormat::Standard, "1E4932", 6, 0},
    {"1E493", 5, 0, "3", -1, TNumberFormat::Standard, "1E493", 5, 1},
    {"1E-493", 6, 0, "9", -1, TNumberFormat::Standard, "1E-493", 6, 1},
    {"1,25", 2, 0, "7", 2, TNumberFormat::Standard, "1,75", 3, 0},
    {"1,25", 4, 0, "7", 2, TNumberFormat::Standard, "1,25", 4, 1},
    {"1,5", 3, 0, "7", 2, TNumberFormat::Standard, "1,57", 4, 0},
    {"12", 2, 0, "3", -1, TNumberFormat::Standard, "123", 3, 0},
    // Everything else is refused with a beep.
    {"12", 2, 0, "x", -1, TNumberFormat::Standard, "12", 2, 1},
    {"12", 1, 0, ".", -1, TNumberFormat::Standard, "12", 1, 1},
    {"12", 1, 0, " ", -1, TNumberFormat::Standard, "12", 1, 1},
    // Enter with no default button on the form.
    {"12", 1, 0, "ENTER", -1, TNumberFormat::Standard, "12", 1, 1},
};

class KeyRuleTest : public NumEditTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyRuleTest, Table)
{
    const KeyCase& c = GetParam();
    edittest::Form<TOvNumEdit> form;
    TOvNumEdit* e = form.edit;
    e->SetDecimals(c.decimals);
    e->SetNumberFormat(c.format);
    e->SetText(QString::fromUtf8(c.text));
    if (c.selLength > 0)
        e->setSelection(c.selStart, c.selLength);
    else
        e->SetSelStart(c.selStart);
    beeps.Reset();

    const QString key = QString::fromUtf8(c.key);
    if (key == QStringLiteral("BS"))
        backspace(e);
    else if (key == QStringLiteral("DEL"))
        del(e);
    else if (key == QStringLiteral("ENTER"))
        sendKey(e, Qt::Key_Return, QStringLiteral("\r"));
    else
        typeText(e, key);

    EXPECT_EQ(e->Text(), QString::fromUtf8(c.expected));
    EXPECT_EQ(e->cursorPosition(), c.caret);
    EXPECT_EQ(beeps.Count(), c.beeps);
}

INSTANTIATE_TEST_SUITE_P(Cases, KeyRuleTest, ::testing::ValuesIn(kKeyCases));

TEST_F(NumEditTest, ApplicationHandlersComeFirst)
{
    TOvNumEdit e;
    e.SetText("12");
    e.SetSelStart(2);
    // The handler turns the point of the keypad into the decimal separator
    // and swallows a letter.
    e.OnKeyPress = [](TOvNumEdit*, QChar& k) {
        if (k == QChar('.'))
            k = QChar(',');
        if (k == QChar('x'))
            k = QChar();
    };
    typeText(&e, ".5x");
    EXPECT_EQ(e.Text(), QStringLiteral("12,5"));
    EXPECT_EQ(beeps.Count(), 0);

    e.OnKeyDown = [](TOvNumEdit*, int& k, Qt::KeyboardModifiers) {
        if (k == Qt::Key_Backspace)
            k = 0;
    };
    backspace(&e);
    EXPECT_EQ(e.Text(), QStringLiteral("12,5"));
    EXPECT_EQ(beeps.Count(), 0);
}

TEST_F(NumEditTest, ReadOnlyRefusesSilently)
{
    TOvNumEdit e;
    e.SetText("12");
    e.SetSelStart(2);
    e.SetReadOnly(true);
    typeText(&e, "5x");
    backspace(&e);
    EXPECT_EQ(e.Text(), QStringLiteral("12"));
    EXPECT_EQ(beeps.Count(), 0);
}

TEST_F(NumEditTest, MaxLengthLimitsTyping)
{
    TOvNumEdit e;
    e.SetMaxLength(3);
    e.SetText("12345"); // set by code: kept whole
    EXPECT_EQ(e.Text(), QStringLiteral("12345"));
    e.SetText("12");
    e.SetSelStart(2);
    typeText(&e, "345");
    EXPECT_EQ(e.Text(), QStringLiteral("123"));
}

TEST_F(NumEditTest, ExitClampsWithOneBeepAndKeepsTheFocus)
{
    edittest::Form<TOvNumEdit> form;
    ASSERT_TRUE(form.active());
    TOvNumEdit* e = form.edit;
    e->SetMaxValue(40);
    e->SetMinValue(3);
    int exits = 0;
    e->OnExit = [&](TOvNumEdit*) { ++exits; };
    e->setFocus();
    ASSERT_TRUE(e->hasFocus());
    EXPECT_EQ(e->SelLength(), 1); // AutoSelect on entry
    typeText(e, "45");
    EXPECT_EQ(e->Text(), QStringLiteral("45"));
    beeps.Reset();

    form.other->setFocus();
    EXPECT_EQ(e->Text(), QStringLiteral("40"));
    EXPECT_EQ(beeps.Count(), 1);
    EXPECT_EQ(exits, 0);
    QApplication::processEvents(); // the refocus is deferred out of the focus change
    EXPECT_TRUE(e->hasFocus());

    // Below the range: the minimum.
    e->SetText("1,5");
    form.other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(e->Text(), QStringLiteral("3"));
    EXPECT_EQ(beeps.Count(), 2);
    EXPECT_EQ(exits, 0);

    // In range: formatted, OnExit, no beep.
    e->SetText("12,50");
    form.other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(e->Text(), QStringLiteral("12,5"));
    EXPECT_EQ(beeps.Count(), 2);
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(form.other->hasFocus());
}

TEST_F(NumEditTest, InvalidEntryHandlerReplacesTheCorrection)
{
    edittest::Form<TOvNumEdit> form;
    ASSERT_TRUE(form.active());
    TOvNumEdit* e = form.edit;
    e->SetMaxValue(40);
    int invalid = 0, exits = 0;
    e->OnInvalidEntry = [&](TOvNumEdit*) { ++invalid; };
    e->OnExit = [&](TOvNumEdit*) { ++exits; };
    e->setFocus();
    e->SetText("45");
    form.other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(e->Text(), QStringLiteral("45"));
    EXPECT_EQ(invalid, 1);
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(beeps.Count(), 0);
    EXPECT_TRUE(form.other->hasFocus());
}

TEST_F(NumEditTest, NoLimitsNoCheck)
{
    edittest::Form<TOvNumEdit> form;
    TOvNumEdit* e = form.edit;
    int exits = 0;
    e->OnExit = [&](TOvNumEdit*) { ++exits; };
    e->setFocus();
    e->SetText("-1234567");
    form.other->setFocus();
    EXPECT_EQ(e->Text(), QStringLiteral("-1234567"));
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(beeps.Count(), 0);
}

// Leaving turns a text that stops short of a number (an exponent without
// digits) into that number; it never raises.
TEST_F(NumEditTest, ExitCompletesAnUnfinishedExponent)
{
    const std::pair<const char*, const char*> cases[] = {{"12E", "12"}, {"12E-", "12"}, {"-1,5E", "-1,5"}};
    for (const auto& [text, exited] : cases) {
        TOvNumEdit e;
        int exits = 0;
        e.OnExit = [&](TOvNumEdit*) { ++exits; };
        e.SetText(QString::fromLatin1(text));
        EXPECT_NO_THROW(e.DoExit()) << text;
        EXPECT_EQ(exits, 1) << text;
        EXPECT_EQ(e.Text(), QString::fromLatin1(exited));
    }
}

TEST_F(NumEditTest, EntryByClickSelectsAllOnce)
{
    edittest::Form<TOvNumEdit> form;
    ASSERT_TRUE(form.active());
    TOvNumEdit* e = form.edit;
    form.other->setFocus();
    e->SetText("12345");
    auto click = [&](int x) { QTest::mouseClick(e, Qt::LeftButton, Qt::NoModifier, QPoint(x, e->height() / 2)); };
    click(e->width() - 20);
    ASSERT_TRUE(e->hasFocus());
    EXPECT_EQ(e->SelLength(), 5); // the click that entered does not place the caret
    click(e->width() - 20);
    EXPECT_EQ(e->SelLength(), 0); // the next one does
}

TEST_F(NumEditTest, EnterClicksTheDefaultButtonAndComesBack)
{
    edittest::Form<TOvNumEdit> form;
    ASSERT_TRUE(form.active());
    auto* ok = new QPushButton("OK", &form.window);
    ok->setDefault(true);
    ok->show();
    int clicks = 0, exits = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++clicks; });
    TOvNumEdit* e = form.edit;
    e->OnExit = [&](TOvNumEdit*) { ++exits; };
    e->setFocus();
    e->SetText("12,50");
    sendKey(e, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(exits, 1); // the edit was left, so its text is formatted
    EXPECT_EQ(e->Text(), QStringLiteral("12,5"));
    EXPECT_TRUE(e->hasFocus());
    EXPECT_EQ(e->SelLength(), 4);
    EXPECT_EQ(beeps.Count(), 0);
}

// Whether text is a number of the edit's form, or one that leaving the
// field completes: a sign, digits with at most one decimal separator (at
// least one digit), then optionally "E", a sign and digits.
bool numberOrPrefix(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^-?(\\d+,?\\d*|,\\d+)(E-?\\d*)?$"));
    return re.match(TOvNumEdit::CleanText(text)).hasMatch();
}

// Whether text reads whole as a number, with no exponent still to come.
bool isNumber(const QString& text)
{
    try {
        return std::isfinite(fc::TextToExtended(text));
    } catch (const Exception&) {
        return false;
    }
}

// Leaving a copy of the edit in that state neither raises nor leaves
// anything but a number.
::testing::AssertionResult leavesANumber(const TOvNumEdit& e)
{
    TOvNumEdit copy;
    copy.SetDecimals(e.Decimals());
    copy.SetNumberFormat(e.NumberFormat());
    copy.SetText(e.Text());
    try {
        copy.DoExit();
        const long double v = copy.Value();
        if (!std::isfinite(v) || copy.Text().endsWith(u'E'))
            return ::testing::AssertionFailure() << "left as " << copy.Text().toStdString();
    } catch (const Exception& x) {
        return ::testing::AssertionFailure() << "leaving raised " << x.Message().toStdString();
    }
    return ::testing::AssertionSuccess();
}

struct SequenceCase {
    int decimals;
    TNumberFormat format;
    std::vector<const char*> keys;
    const char* expected;
};

TEST_F(NumEditTest, KeySequencesKeepANumber)
{
    const SequenceCase cases[] = {
        {-1, TNumberFormat::Standard, {"1", "-", ",", "BS"}, "-0,"},
        {-1, TNumberFormat::Standard, {"1", "2", "E", "-", "3", "E", "BS"}, "12"},
        {-1, TNumberFormat::Scientific, {"1", "2", "E", "-", "3", "E", "BS"}, "12"},
        // Thousands regroup every number into fixed notation: no exponent
        // can be written there, and the text stays a whole number.
        {0, TNumberFormat::Thousands, {"9", "E", ","}, "9,"},
        {-1, TNumberFormat::Thousands, {"9", "E", ",", "5"}, "9,5"},
        {2, TNumberFormat::Thousands, {"1", "2", "3", "4", "E", "5"}, "12.345,00"},
        {0, TNumberFormat::Standard, {"9", "E", ","}, "9,E"},
        {2, TNumberFormat::Standard, {"9", "E", ","}, "9,00E"},
        {-1, TNumberFormat::Standard, {"5", "E", "3", "HOME", "DEL"}, "0E3"},
        {-1, TNumberFormat::Standard, {"-", "5", "E", "3", "HOME", "RIGHT", "DEL"}, "-0E3"},
        {0, TNumberFormat::Standard, {"HOME", ",", "DEL"}, "0,"},
        {-1, TNumberFormat::Standard, {"HOME", "-", "RIGHT", ",", "5", "BS", "BS"}, "-0,"},
    };
    for (const SequenceCase& c : cases) {
        edittest::Form<TOvNumEdit> form;
        TOvNumEdit* e = form.edit;
        e->SetDecimals(c.decimals);
        e->SetNumberFormat(c.format);
        e->setFocus();
        e->SetText(e->FormatNumber(0));
        e->selectAll();
        std::string trace;
        for (const char* k : c.keys) {
            trace += std::string(k) + " ";
            edittest::pressKey(e, QString::fromLatin1(k));
            EXPECT_TRUE(numberOrPrefix(e->Text())) << trace << "-> " << e->Text().toStdString();
            EXPECT_TRUE(leavesANumber(*e)) << trace;
            if (c.format == TNumberFormat::Thousands)
                EXPECT_TRUE(isNumber(e->Text())) << trace << "-> " << e->Text().toStdString();
        }
        EXPECT_EQ(e->Text(), QString::fromLatin1(c.expected)) << trace;
        form.other->setFocus(); // leaving runs the exit for real
        EXPECT_TRUE(numberOrPrefix(e->Text())) << trace;
    }
}

// Random key sequences in every form: after each key, paste and deletion
// the text is a number or one that leaving completes, and leaving never
// raises.
TEST_F(NumEditTest, RandomKeySequencesKeepANumber)
{
    std::mt19937 rng(20261210);
    const QStringList keys = {"0", "1", "5", "9", "-", "E", "e", ",", ".", "x", "BS", "BS", "DEL", "DEL", "HOME",
                              "END", "LEFT", "LEFT", "RIGHT", "SELECT", "ALL", "PASTE"};
    const QStringList clips = {"12", "-3,5", "1E-2", "9E4932", ",", "E", "-", "7a8", "1.234,5", "99999999999999999999"};
    QClipboard* cb = QGuiApplication::clipboard();
    edittest::Form<TOvNumEdit> form;
    TOvNumEdit* e = form.edit;
    e->setFocus();
    for (int run = 0; run < 300; ++run) {
        const int decimals = int(rng() % 5) - 1;
        const auto format = TNumberFormat(rng() % 4);
        e->SetMaxLength(rng() % 4 == 0 ? int(rng() % 8) + 2 : 0);
        e->SetText(QStringLiteral("0")); // a new form reformats the text, which must read
        e->SetDecimals(decimals);
        e->SetNumberFormat(format);
        e->SetText(e->FormatNumber(0));
        std::string trace = "decimals " + std::to_string(decimals) + ", format " + std::to_string(int(format)) + ":";
        for (int k = 0; k < 24; ++k) {
            const QString key = keys[int(rng() % keys.size())];
            trace += " " + key.toStdString();
            if (key == QStringLiteral("SELECT")) {
                const int len = int(e->Text().size());
                const int a = int(rng() % (len + 1));
                e->setSelection(a, int(rng() % (len - a + 1)));
                continue;
            }
            if (key == QStringLiteral("PASTE")) {
                const QString clip = clips[int(rng() % clips.size())];
                trace += "(" + clip.toStdString() + ")";
                cb->setText(clip);
            }
            edittest::pressKey(e, key);
            ASSERT_TRUE(numberOrPrefix(e->Text())) << trace << " -> " << e->Text().toStdString();
            ASSERT_TRUE(leavesANumber(*e)) << trace << " -> " << e->Text().toStdString();
            // A key's release regroups the thousands: then the text is a number.
            if (format == TNumberFormat::Thousands)
                ASSERT_TRUE(isNumber(e->Text())) << trace << " -> " << e->Text().toStdString();
            // Whatever it holds fits the edit: a text of its own form is no longer.
            if (e->MaxLength() == 0)
                ASSERT_LE(e->Text().size(), e->TextLimit() + 2) << trace << " -> " << e->Text().toStdString();
        }
    }
}

// A long paste is read once and written once, and the edit keeps no more
// than a number of its form can hold.
TEST_F(NumEditTest, ALongPasteIsOneChangeAndKeepsANumber)
{
    QClipboard* cb = QGuiApplication::clipboard();
    struct Case {
        TNumberFormat format;
        int decimals;
        QString clip;
    } cases[] = {
        {TNumberFormat::Standard, -1, QString(16000, u'9')},
        {TNumberFormat::Thousands, 2, QString(16000, u'7')},
        {TNumberFormat::Scientific, -1, QString(16000, u'3')},
        {TNumberFormat::Standard, -1, QStringLiteral("1,") + QString(16000, u'5')},
        {TNumberFormat::Engineering, 3, QStringLiteral("12E") + QString(16000, u'4')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.format));
        TOvNumEdit e;
        e.SetNumberFormat(c.format);
        e.SetDecimals(c.decimals);
        int changes = 0;
        e.OnChange = [&](TOvNumEdit*) { ++changes; };
        cb->setText(c.clip);
        e.selectAll();
        e.PasteFromClipboard();
        EXPECT_LE(changes, 2); // the selection's deletion, then the paste
        EXPECT_GT(e.Text().size(), 1);
        EXPECT_LT(e.Text().size(), 6600);
        EXPECT_TRUE(numberOrPrefix(e.Text()));
        EXPECT_TRUE(std::isfinite(e.Value()));
        EXPECT_TRUE(leavesANumber(e));
    }
}

TEST_F(NumEditTest, ClipboardGoesThroughTheKeyRules)
{
    QClipboard* cb = QGuiApplication::clipboard();
    TOvNumEdit e;
    e.SetNumberFormat(TNumberFormat::Thousands);
    e.SetValue(1234.5L);

    cb->setText("untouched");
    e.SetSelStart(1);
    sendKey(&e, Qt::Key_C, QString(QChar(3)), Qt::ControlModifier); // nothing selected
    EXPECT_EQ(cb->text(), QStringLiteral("untouched"));

    e.selectAll();
    sendKey(&e, Qt::Key_C, QString(QChar(3)), Qt::ControlModifier);
    EXPECT_EQ(cb->text(), QStringLiteral("1234,5")); // no thousands separators
    EXPECT_EQ(e.Text(), QStringLiteral("1.234,5"));

    // Two digits, a letter and a digit: three digits typed, one beep.
    TOvNumEdit p;
    cb->setText("12a3");
    p.selectAll();
    sendKey(&p, Qt::Key_V, QString(QChar(22)), Qt::ControlModifier);
    EXPECT_EQ(p.Text(), QStringLiteral("123"));
    EXPECT_EQ(beeps.Count(), 1);

    // A copied cell's line end is no Enter and no typing error.
    cb->setText("45\r\n");
    p.SetSelStart(3);
    p.PasteFromClipboard();
    EXPECT_EQ(p.Text(), QStringLiteral("12345"));
    EXPECT_EQ(beeps.Count(), 1);
    p.SetText("123");

    // Cut copies the cleaned selection and deletes it.
    p.setSelection(1, 2);
    sendKey(&p, Qt::Key_X, QString(QChar(24)), Qt::ControlModifier);
    EXPECT_EQ(cb->text(), QStringLiteral("23"));
    EXPECT_EQ(p.Text(), QStringLiteral("1"));

    // Read-only: cut only copies, paste does nothing.
    p.SetText("456");
    p.SetReadOnly(true);
    p.selectAll();
    p.CutToClipboard();
    EXPECT_EQ(cb->text(), QStringLiteral("456"));
    EXPECT_EQ(p.Text(), QStringLiteral("456"));
    cb->setText("7");
    p.PasteFromClipboard();
    EXPECT_EQ(p.Text(), QStringLiteral("456"));

    // Control characters in the text are refused like letters: a pasted
    // Ctrl+V does not paste again, Ctrl+C does not copy, Backspace deletes
    // nothing.
    TOvNumEdit c;
    const QString control = QStringLiteral("1") + QChar(22) + "2" + QChar(3) + QChar(8) + QChar(24) + "3";
    cb->setText(control);
    beeps.Reset();
    c.selectAll();
    c.PasteFromClipboard();
    EXPECT_EQ(c.Text(), QStringLiteral("123"));
    EXPECT_EQ(cb->text(), control);
    EXPECT_EQ(beeps.Count(), 4);
}

TEST_F(NumEditTest, CommaThousandsSeparatorReadsBack)
{
    fc::test::ScopedSeparators point(QChar('.'), QChar(','));
    TOvNumEdit e;
    e.SetNumberFormat(TNumberFormat::Thousands);
    e.SetDecimals(2);
    e.SetValue(1234567.891L);
    EXPECT_EQ(e.Text(), QStringLiteral("1,234,567.89"));
    EXPECT_EQ(e.Value(), 1234567.89L);
}

} // namespace
