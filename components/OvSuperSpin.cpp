#include "OvSuperSpin.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>
#include <chrono>
#include <cmath>

#include "platform/Beep.h"

namespace {

constexpr int kButtonWidth = 15;
constexpr int kButtonHeight = 17;
constexpr qint64 kQuickClickMs = 200;
constexpr int kSignificant = 15;

qint64 tickCount()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Sums and differences are kept to the 15 significant digits of their
// larger operand, as their texts show them: 0.9 + 0.1 is 1, not a hair
// above it, and 0.1 - 0.1 is 0.
long double add(long double a, long double b)
{
    const long double scale = std::max(std::fabs(a), std::fabs(b));
    if (scale == 0 || !std::isfinite(scale))
        return a + b;
    const int magnitude = int(std::floor(std::log10(scale)));
    return fc::RoundDecimals(a + b, kSignificant - 1 - magnitude);
}

} // namespace

TOvSuperSpin::TOvSuperSpin(QWidget* parent)
    : TOvNumEdit(parent)
    , Clock(&tickCount)
{
    buttons_ = new QWidget(this);
    buttons_->setFocusPolicy(Qt::NoFocus);
    up_ = new QToolButton(buttons_);
    down_ = new QToolButton(buttons_);
    for (QToolButton* b : {up_, down_}) {
        b->setArrowType(b == up_ ? Qt::UpArrow : Qt::DownArrow);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(100);
        b->setAutoRaise(false);
        // The buttons give the focus to the edit, as a click on it would.
        connect(b, &QToolButton::pressed, this, [this] {
            if (!hasFocus())
                setFocus(Qt::MouseFocusReason);
        });
    }
    connect(up_, &QToolButton::clicked, this, [this] { UpClick(); });
    connect(down_, &QToolButton::clicked, this, [this] { DownClick(); });
    buttons_->resize(kButtonWidth, kButtonHeight);
    buttons_->show();
    setTextMargins(0, 0, kButtonWidth, 0);
    updateMinimumHeight();
    placeButtons();
}

void TOvSuperSpin::SetIncrement(long double v)
{
    if (v == increment_ || !std::isfinite(v) || v <= 0)
        return;
    if (LimitsSet() && v > MaxValue() - MinValue())
        return;
    increment_ = v;
    step_ = v;
    if (roundValues_)
        RoundToIncrement();
}

void TOvSuperSpin::SetCursor(const QCursor& c)
{
    setCursor(c);
    buttons_->setCursor(c);
    up_->setCursor(c);
    down_->setCursor(c);
}

void TOvSuperSpin::RoundToIncrement()
{
    const long double v = Value();
    const long double n = std::nearbyint(fc::RoundSignificant(add(v, -MinValue()) / increment_, kSignificant)); // half to even
    long double r = add(MinValue(), n * increment_);
    if (LimitsSet() && r > MaxValue())
        r = add(r, -increment_);
    SetValue(r);
}

void TOvSuperSpin::accelerate()
{
    const qint64 now = Clock();
    if (now - lastClick_ > kQuickClickMs) {
        step_ = increment_;
        repeats_ = 0;
    } else if (step_ < (MaxValue() - MinValue()) / 5) {
        ++repeats_;
        if (repeats_ > 4 && repeats_ % 2 == 0)
            step_ += increment_;
    }
    lastClick_ = now;
}

void TOvSuperSpin::UpClick()
{
    if (ReadOnly()) {
        fc::Beep();
        return;
    }
    accelerate();
    const long double v = Value();
    if (LimitsSet() && v < MinValue()) {
        DoInvalidEntry();
    } else if (!LimitsSet() || add(v, step_) <= MaxValue()) {
        SetValue(add(v, step_));
    } else if (wrap_) {
        SetValue(MinValue());
    } else if (add(v, increment_) <= MaxValue()) {
        step_ = increment_;
        SetValue(add(v, step_));
    } else {
        DoInvalidEntry();
    }
    if (roundValues_)
        RoundToIncrement();
}

void TOvSuperSpin::DownClick()
{
    if (ReadOnly()) {
        fc::Beep();
        return;
    }
    accelerate();
    const long double v = Value();
    if (LimitsSet() && v > MaxValue()) {
        DoInvalidEntry();
    } else if (!LimitsSet() || add(v, -step_) >= MinValue()) {
        SetValue(add(v, -step_));
    } else if (wrap_) {
        SetValue(MaxValue());
    } else if (add(v, -increment_) >= MinValue()) {
        step_ = increment_;
        SetValue(add(v, -step_));
    } else {
        DoInvalidEntry();
    }
    if (roundValues_)
        RoundToIncrement();
}

void TOvSuperSpin::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (key == Qt::Key_Up)
        UpClick();
    else if (key == Qt::Key_Down)
        DownClick();
    if (editorEnabled_)
        TOvNumEdit::KeyDown(key, shift);
    else
        key = 0;
}

void TOvSuperSpin::KeyPress(QChar& key)
{
    if (editorEnabled_)
        TOvNumEdit::KeyPress(key);
    else
        key = QChar();
}

void TOvSuperSpin::KeyUp(int& key, Qt::KeyboardModifiers shift)
{
    step_ = increment_;
    repeats_ = 0;
    if (editorEnabled_)
        TOvNumEdit::KeyUp(key, shift);
    else
        key = 0;
}

void TOvSuperSpin::DoExit()
{
    if (roundValues_) {
        const long double v = Value();
        if (!LimitsSet() || (MinValue() <= v && v <= MaxValue()))
            RoundToIncrement();
    }
    TOvNumEdit::DoExit();
}

void TOvSuperSpin::CutToClipboard()
{
    if (editorEnabled_ && !ReadOnly())
        TOvNumEdit::CutToClipboard();
}

void TOvSuperSpin::PasteFromClipboard()
{
    if (editorEnabled_ && !ReadOnly())
        TOvNumEdit::PasteFromClipboard();
}

void TOvSuperSpin::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    TOvNumEdit::keyPressEvent(e);
    // The arrows are this control's keys, not the parent's.
    if (key == Qt::Key_Up || key == Qt::Key_Down)
        e->accept();
}

void TOvSuperSpin::updateMinimumHeight()
{
    const int own = fontMetrics().height();
    const int system = QFontMetrics(QApplication::font()).height();
    const int border = 1;
    setMinimumHeight(own + std::min(system, own) / 4 + 4 * border + 2);
}

void TOvSuperSpin::placeButtons()
{
    const int inset = hasFrame() ? 1 : 0;
    const int h = std::max(height() - 2 * inset, 2);
    buttons_->setGeometry(width() - kButtonWidth - inset, inset, kButtonWidth, h);
    up_->setGeometry(0, 0, kButtonWidth, h / 2);
    down_->setGeometry(0, h / 2, kButtonWidth, h - h / 2);
}

void TOvSuperSpin::resizeEvent(QResizeEvent* e)
{
    TOvNumEdit::resizeEvent(e);
    placeButtons();
}

void TOvSuperSpin::changeEvent(QEvent* e)
{
    TOvNumEdit::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        updateMinimumHeight();
}
