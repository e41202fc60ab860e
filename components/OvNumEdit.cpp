#include "OvNumEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/Beep.h"
#include "platform/Errors.h"
#include "platform/Numbers.h"

namespace {

constexpr QChar kBackspace(8);
constexpr QChar kEnter(13);
constexpr QChar kCopy(3);
constexpr QChar kPaste(22);
constexpr QChar kCut(24);

bool isSeparator(QChar c) { return c == fc::DecimalSeparator() || c == fc::ThousandSeparator(); }
bool isAsciiDigit(QChar c) { return c >= QChar('0') && c <= QChar('9'); }

// The character a key event types, as the platform's translation of keys
// into characters gives it: Backspace and Enter are characters, and so are
// the clipboard shortcuts; other control combinations type nothing.
QChar typedChar(const QKeyEvent* e)
{
    const int key = e->key();
    if (key == Qt::Key_Backspace)
        return kBackspace;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return kEnter;
    const auto mods = e->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool alt = mods & (Qt::AltModifier | Qt::MetaModifier);
    if (ctrl && !alt) {
        switch (key) {
        case Qt::Key_C: return kCopy;
        case Qt::Key_V: return kPaste;
        case Qt::Key_X: return kCut;
        default: return QChar();
        }
    }
    if (ctrl || alt)
        return QChar();
    const QString t = e->text();
    if (t.isEmpty() || t[0] < QChar(' ') || t[0] == QChar(127))
        return QChar();
    return t[0];
}

int countOf(const QString& s, QChar c) { return int(s.count(c)); }

// An exponent text ("-12", "4932") above 4932 in magnitude.
bool exponentTooLarge(const QString& exp)
{
    QString digits = exp;
    if (digits.startsWith(QChar('-')) || digits.startsWith(QChar('+')))
        digits.remove(0, 1);
    if (digits.size() > 6)
        return true;
    bool ok = false;
    const int v = digits.isEmpty() ? 0 : digits.toInt(&ok);
    return (!digits.isEmpty() && !ok) || v > 4932;
}

// A text that leaving the control completes: an exponent still without
// digits is dropped ("12E", "12E-").
QString completed(const QString& t)
{
    if (t.endsWith(QChar('E')))
        return t.chopped(1);
    if (t.endsWith(QStringLiteral("E-")) || t.endsWith(QStringLiteral("E+")))
        return t.chopped(2);
    return t;
}

// The value of a text the key rules left, completed; false when it does not read.
bool readValue(const QString& t, long double& v)
{
    try {
        v = fc::TextToExtended(completed(t));
        return std::isfinite(v);
    } catch (const Exception&) {
        return false;
    }
}

// Whether a text the rules would make stays within the range of the value
// type. Only texts whose decimal magnitude comes near the limit are read.
bool withinRange(const QString& t)
{
    const QString clean = fc::CleanText(completed(t));
    const QChar decimal = fc::DecimalSeparator();
    int digits = 0;
    bool leading = true;
    qsizetype i = clean.startsWith(QChar('-')) ? 1 : 0;
    for (; i < clean.size() && clean[i] != decimal && clean[i] != QChar('E'); ++i) {
        if (leading && clean[i] == QChar('0'))
            continue;
        leading = false;
        ++digits;
    }
    const qsizetype x = clean.indexOf(QChar('E'));
    const int exponent = x < 0 ? 0 : clean.mid(x + 1).toInt();
    if (digits + exponent < 4900)
        return true;
    long double v = 0;
    return readValue(t, v);
}

} // namespace

// Runs the key rules on a copy of the text and selection, written back to
// the control when the outermost rule ends.
class TOvNumEdit::Editing {
public:
    explicit Editing(TOvNumEdit& e) : e_(&e), outer_(e.edit_ == nullptr)
    {
        if (!outer_)
            return;
        state_ = {e.text(), e.SelStart(), e.SelLength()};
        e.edit_ = &state_;
    }
    ~Editing()
    {
        if (!outer_ || !e_)
            return;
        e_->edit_ = nullptr;
        e_->commit(state_);
    }
    Editing(const Editing&) = delete;
    Editing& operator=(const Editing&) = delete;

private:
    QPointer<TOvNumEdit> e_;
    bool outer_;
    EditState state_;
};

TOvNumEdit::TOvNumEdit(QWidget* parent)
    : QLineEdit(parent)
{
    if (!fc::HasBeepSound())
        fc::SetBeepSound(&QApplication::beep);
    // Every character has to pass the key rules: no input-method commits,
    // drops or selection pastes around them.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(false);
    resize(100, sizeHint().height());
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QLineEdit::setText(FormatNumber(0));
    setCursorPosition(0);
    updateMaxTextLength();
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (OnChange)
            OnChange(this);
    });
}

// ---- properties

void TOvNumEdit::SetAlignment(TAlignment a)
{
    alignment_ = a;
    Qt::Alignment h = a == TAlignment::taLeftJustify ? Qt::AlignLeft
        : a == TAlignment::taCenter                  ? Qt::AlignHCenter
                                                     : Qt::AlignRight;
    setAlignment(h | Qt::AlignVCenter);
}

void TOvNumEdit::SetDecimals(int d)
{
    if (d == decimals_)
        return;
    if (d < 0)
        d = -1;
    if (d > 14)
        d = 14;
    if (maxLength_ >= 1 && d > maxLength_ - 2)
        d = std::max(maxLength_ - 2, -1);
    decimals_ = d;
    updateMaxTextLength();
    reformat();
}

void TOvNumEdit::SetMaxValue(long double v)
{
    if (!std::isfinite(v) || v == maxValue_ || v < minValue_)
        return;
    maxValue_ = v;
}

void TOvNumEdit::SetMinValue(long double v)
{
    if (!std::isfinite(v) || v == minValue_ || v > maxValue_)
        return;
    minValue_ = v;
}

void TOvNumEdit::SetNumberFormat(fc::TNumberFormat f)
{
    numberFormat_ = f;
    updateMaxTextLength();
    reformat();
}

void TOvNumEdit::updateMaxTextLength()
{
    // The longest text of the largest and of the smallest magnitude, of the
    // widest number still written in fixed notation (18 integer digits,
    // their thousands separators and every decimal), and room for an
    // exponent typed by hand: no formatted value is longer than the limit.
    const long double big = std::numeric_limits<long double>::max();
    const long double tiny = std::numeric_limits<long double>::denorm_min();
    const long double widestFixed = -999999999999999999.0L;
    maxTextLength_ = int(std::max({FormatNumber(-big).size(), FormatNumber(-tiny).size(),
                                   FormatNumber(widestFixed).size()})) + 8;
}

long double TOvNumEdit::Value() const { return fc::TextToExtended(Text()); }

void TOvNumEdit::SetValue(long double v)
{
    const QString s = FormatNumber(v);
    if (s != Text())
        SetText(s);
}

void TOvNumEdit::SetText(const QString& s)
{
    if (edit_) {
        if (s != edit_->text)
            *edit_ = {s, 0, 0};
        return;
    }
    if (s == text())
        return;
    QLineEdit::setText(s);
    setCursorPosition(0);
}

int TOvNumEdit::SelStart() const
{
    if (edit_)
        return edit_->start;
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void TOvNumEdit::SetSelStart(int p)
{
    if (edit_) {
        edit_->start = std::clamp(p, 0, int(edit_->text.size()));
        edit_->length = 0;
        return;
    }
    setCursorPosition(std::clamp(p, 0, int(text().size())));
}

int TOvNumEdit::SelLength() const
{
    if (edit_)
        return edit_->length;
    return hasSelectedText() ? int(selectedText().size()) : 0;
}

void TOvNumEdit::SetSelLength(int n) { select(SelStart(), n); }

QString TOvNumEdit::SelText() const { return edit_ ? edit_->text.mid(edit_->start, edit_->length) : selectedText(); }

void TOvNumEdit::select(int start, int length)
{
    const int len = int(Text().size());
    start = std::clamp(start, 0, len);
    length = std::clamp(length, 0, len - start);
    if (edit_) {
        edit_->start = start;
        edit_->length = length;
        return;
    }
    setSelection(start, length);
}

void TOvNumEdit::insertAtCaret(QChar c)
{
    if (edit_) {
        edit_->text.replace(edit_->start, edit_->length, c);
        edit_->start += 1;
        edit_->length = 0;
        return;
    }
    insert(QString(c));
}

void TOvNumEdit::commit(const EditState& s)
{
    if (s.text != text())
        QLineEdit::setText(s.text);
    if (s.length > 0)
        setSelection(s.start, s.length);
    else
        setCursorPosition(s.start);
}

void TOvNumEdit::keepMantissaDigit()
{
    const QString t = Text();
    const qsizetype x = t.indexOf(QChar('E'));
    const qsizetype end = x < 0 ? t.size() : x;
    const qsizetype begin = t.startsWith(QChar('-')) ? 1 : 0;
    for (qsizetype i = begin; i < end; ++i)
        if (isAsciiDigit(t[i]))
            return;
    QString n = t;
    n.insert(begin, QChar('0'));
    const int caret = SelStart();
    replaceText(n, caret > begin ? caret + 1 : caret);
}

QString TOvNumEdit::FormatNumber(long double v) const { return fc::FormatNumber(v, decimals_, numberFormat_); }

void TOvNumEdit::reformat() { SetText(FormatNumber(Value())); }

void TOvNumEdit::replaceText(const QString& s, int caret)
{
    if (edit_) {
        edit_->text = s;
        SetSelStart(caret);
        return;
    }
    if (s != text())
        QLineEdit::setText(s);
    SetSelStart(caret);
}

// ---- range

void TOvNumEdit::DoInvalidEntry()
{
    if (OnInvalidEntry) {
        OnInvalidEntry(this);
        return;
    }
    const long double v = Value();
    if (v < minValue_)
        SetValue(minValue_);
    else if (v > maxValue_)
        SetValue(maxValue_);
    fc::Beep();
    TakeFocus();
}

void TOvNumEdit::TakeFocus()
{
    if (inFocusChange_) {
        // Qt does not take the focus back from within its own focus change.
        QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
    } else {
        setFocus(Qt::OtherFocusReason);
    }
}

// ---- focus

void TOvNumEdit::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
    if ((QGuiApplication::mouseButtons() & Qt::LeftButton) || focusByClick_)
        mouseEntry_ = true;
    if (autoSelect_)
        selectAll();
}

void TOvNumEdit::DoExit()
{
    // Leaving never raises: an unfinished exponent is dropped, and a text
    // that still does not read (one set by code) counts as 0.
    long double v = 0;
    if (!readValue(Text(), v))
        v = 0;
    SetText(FormatNumber(v));
    if (!LimitsSet() || (minValue_ <= v && v <= maxValue_)) {
        if (OnExit)
            OnExit(this);
    } else {
        DoInvalidEntry();
    }
}

static bool isFocusChangeOfWindow(const QFocusEvent* e)
{
    // Switching windows or opening a popup is no exit from the control.
    return e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason;
}

void TOvNumEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    // A window that comes back keeps its control entered; the first focus
    // of a newly shown window is an entry.
    if (isFocusChangeOfWindow(e) && entered_)
        return;
    entered_ = true;
    if (!autoSelect_ && hasSelectedText())
        deselect();
    // Events made up by code carry no button state; their reason tells.
    focusByClick_ = e->reason() == Qt::MouseFocusReason && QGuiApplication::mouseButtons() == Qt::NoButton;
    DoEnter();
    focusByClick_ = false;
}

void TOvNumEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (isFocusChangeOfWindow(e))
        return;
    entered_ = false;
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(inFocusChange_);
    DoExit();
}

void TOvNumEdit::mousePressEvent(QMouseEvent* e)
{
    const bool left = e->button() == Qt::LeftButton || (e->buttons() & Qt::LeftButton);
    QLineEdit::mousePressEvent(e);
    if (left && mouseEntry_) {
        mouseEntry_ = false;
        // The click placed the caret; the entry by click still selects all.
        if (autoSelect_)
            selectAll();
    }
}

void TOvNumEdit::mouseReleaseEvent(QMouseEvent* e)
{
    // The middle button would paste the selection around the key rules.
    if (e->button() == Qt::MiddleButton) {
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void TOvNumEdit::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu menu(this);
    QAction* cut = menu.addAction(tr("Cu&t"), this, [this] { CutToClipboard(); });
    cut->setEnabled(hasSelectedText() && !isReadOnly());
    QAction* copy = menu.addAction(tr("&Copy"), this, [this] { CopyToClipboard(); });
    copy->setEnabled(hasSelectedText());
    QAction* paste = menu.addAction(tr("&Paste"), this, [this] { PasteFromClipboard(); });
    paste->setEnabled(!isReadOnly() && !QGuiApplication::clipboard()->text().isEmpty());
    menu.addSeparator();
    QAction* all = menu.addAction(tr("Select &All"), this, [this] { selectAll(); });
    all->setEnabled(!text().isEmpty());
    menu.exec(e->globalPos());
}

// ---- keys

bool TOvNumEdit::IsNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

void TOvNumEdit::keyPressEvent(QKeyEvent* e)
{
    QPointer<TOvNumEdit> self(this);
    int key = e->key();
    const Qt::KeyboardModifiers mods = e->modifiers();
    const QChar typed = typedChar(e);
    bool handled = !typed.isNull();

    KeyDown(key, mods);
    if (!self)
        return;
    if (key == 0) {
        handled = true;
    } else if (key == Qt::Key_Insert && (mods & Qt::ControlModifier)) {
        CopyToClipboard();
        handled = true;
    } else if (key == Qt::Key_Insert && (mods & Qt::ShiftModifier)) {
        PasteFromClipboard();
        handled = true;
    } else if (key == Qt::Key_A && (mods & Qt::ControlModifier)) {
        selectAll();
        handled = true;
    } else if (IsNavigationKey(key)) {
        QLineEdit::keyPressEvent(e);
        handled = true;
    }
    if (!self)
        return;
    // The character follows its key as on the original platform, even when
    // the key itself was swallowed.
    if (!typed.isNull()) {
        QChar c = typed;
        KeyPress(c);
    }
    if (self)
        e->setAccepted(handled);
}

void TOvNumEdit::keyReleaseEvent(QKeyEvent* e)
{
    // X11 sends a release before every repeated press: that is no key-up.
    if (e->isAutoRepeat()) {
        e->accept();
        return;
    }
    int key = e->key();
    KeyUp(key, e->modifiers());
    e->accept();
}

void TOvNumEdit::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
    mouseEntry_ = false;
    if (isReadOnly())
        return;
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        Editing editing(*this);
        if (SelLength() == 0)
            DeleteChar(key);
        else
            DeleteSelection();
        key = 0;
    }
}

void TOvNumEdit::KeyPress(QChar& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
    if (key.isNull())
        return;
    NumKeyPress(key);
}

void TOvNumEdit::NumKeyPress(QChar& key)
{
    if (key == kEnter) {
        key = QChar();
        pressEnter();
        return;
    }
    if (key == kCopy) {
        CopyToClipboard();
        key = QChar();
        return;
    }
    if (key == kCut || key == kPaste) {
        const QChar k = key;
        key = QChar();
        if (k == kCut)
            CutToClipboard(); // only copies in a read-only control
        else
            PasteFromClipboard();
        return;
    }
    if (isReadOnly())
        return;
    // The Backspace key has done its work in KeyDown; its character is no
    // typing error.
    if (key == kBackspace) {
        key = QChar();
        return;
    }
    Editing editing(*this);
    typedKey(key);
    keepMantissaDigit();
}

void TOvNumEdit::typedKey(QChar& key)
{
    const QChar decimal = fc::DecimalSeparator();
    if (!(isAsciiDigit(key) || key == QChar('-') || key == QChar('E') || key == QChar('e') || key == decimal)) {
        key = QChar();
        fc::Beep();
        return;
    }
    if (key == QChar('e'))
        key = QChar('E');
    // The thousands form regroups every number into fixed notation at the
    // key's release: an exponent cannot be written there.
    if (key == QChar('E') && numberFormat_ == fc::TNumberFormat::Thousands) {
        key = QChar();
        fc::Beep();
        return;
    }
    if (key == QChar('E') || key == decimal)
        SetSelStart(SelStart());
    else
        DeleteSelection();

    const QString t = Text();
    int s0 = SelStart();
    const int d = int(t.indexOf(decimal)) + 1;  // 1-based, 0 when none
    const int x = int(t.indexOf(QChar('E'))) + 1; // 1-based, 0 when none
    const bool negative = t.startsWith(QChar('-'));
    const bool expNegative = x > 0 && t.mid(x).contains(QChar('-'));
    if (s0 == 0 && negative) {
        s0 = 1;
        SetSelStart(s0);
    }
    if (expNegative && s0 == x && x < t.size() && t[x] == QChar('-')) {
        s0 = x + 1;
        SetSelStart(s0);
    }

    const QChar k = key;
    key = QChar();
    if (k == QChar('-')) {
        QString n = t;
        if (x == 0 || x > s0) {
            if (negative) {
                n.remove(0, 1);
                replaceText(n, s0 - 1);
            } else {
                n.prepend(QChar('-'));
                replaceText(n, s0 + 1);
            }
        } else if (x < n.size() && n[x] == QChar('-')) {
            n.remove(x, 1);
            replaceText(n, s0 - 1);
        } else {
            n.insert(x, QChar('-'));
            replaceText(n, s0 + 1);
        }
        return;
    }
    if (k == decimal) {
        if (d > 0) {
            SetSelStart(d);
        } else {
            // The separator belongs to the mantissa, never to the exponent.
            if (decimals_ == -1 || (x > 0 && s0 >= x))
                SetSelStart(x > 0 ? x - 1 : int(t.size()));
            typeChar(decimal);
        }
        return;
    }
    if (k == QChar('E')) {
        if (x > 0) {
            SetSelStart(x);
        } else {
            SetSelStart(int(t.size()));
            typeChar(k);
        }
        return;
    }

    // A digit.
    if (negative && s0 < 3 && t.size() >= 2 && t[1] == QChar('0')) {
        select(1, 1);
    } else if (s0 < 2 && !t.isEmpty() && t[0] == QChar('0')) {
        select(0, 1);
    } else if (x > 0 && s0 == x && x < t.size() && t[x] == QChar('0')) {
        select(x, 1);
    } else if (x > 0 && s0 >= x) {
        QString after = t;
        after.insert(s0, k);
        if (exponentTooLarge(after.mid(x))) {
            fc::Beep();
            return;
        }
    } else if (decimals_ > 0 && d > 0 && s0 >= d) {
        if (s0 >= d + decimals_) {
            fc::Beep();
            return;
        }
        // Overwrite the decimal after the caret, so that their count stays.
        if (s0 < t.size() && isAsciiDigit(t[s0]))
            select(s0, 1);
    }
    typeChar(k);
}

void TOvNumEdit::typeChar(QChar c)
{
    const QString t = Text();
    const int len = int(t.size()) - SelLength();
    if (len + 1 > TextLimit())
        return;
    // A digit that takes the number beyond the range of its type is refused.
    QString after = t;
    after.replace(SelStart(), SelLength(), c);
    if (!withinRange(after)) {
        fc::Beep();
        return;
    }
    insertAtCaret(c);
}

void TOvNumEdit::KeyUp(int& key, Qt::KeyboardModifiers shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
    if (numberFormat_ != fc::TNumberFormat::Thousands || hasSelectedText())
        return;
    const QChar th = fc::ThousandSeparator();
    const QChar dec = fc::DecimalSeparator();
    const QString t = text();
    long double v = 0;
    if (!readValue(t, v) || completed(t) != t)
        return; // an unfinished exponent is regrouped once it has digits
    const QString n = FormatNumber(v);
    const int countT = countOf(t, th), countN = countOf(n, th);
    if (countT == countN && t.indexOf(th) == n.indexOf(th) && key != Qt::Key_Return && key != Qt::Key_Enter
        && key != Qt::Key_Space)
        return;
    int caret = SelStart() + countN - countT;
    const bool hadDec = t.contains(dec), hasDec = n.contains(dec);
    if (hasDec && !hadDec)
        ++caret;
    if (hadDec && !hasDec)
        --caret;
    caret = std::clamp(caret, 0, int(n.size()));
    if (caret < n.size() && n[caret] == th)
        ++caret;
    replaceText(n, caret);
}

void TOvNumEdit::pressEnter()
{
    QWidget* form = window();
    if (form == this)
        return;
    QList<QPushButton*> buttons;
    for (QPushButton* b : form->findChildren<QPushButton*>())
        if (b->isDefault() && b->window() == form && b->isEnabled())
            buttons << b;
    if (buttons.isEmpty()) {
        fc::Beep();
        return;
    }
    const bool hadSelection = hasSelectedText();
    const int start = SelStart(), length = SelLength(), caret = cursorPosition();
    QPointer<TOvNumEdit> self(this);
    for (QPushButton* b : buttons) {
        QPointer<QPushButton> button(b);
        b->setFocus(Qt::OtherFocusReason); // the edit's exit runs here
        if (button)
            button->click();
        if (!self)
            return;
    }
    setFocus(Qt::OtherFocusReason);
    if (autoSelect_) {
        selectAll();
    } else if (hadSelection) {
        // Keep the caret at the end it was on.
        if (caret == start)
            setSelection(start + length, -length);
        else
            setSelection(start, length);
    } else {
        SetSelStart(caret);
    }
}

// ---- deletion

void TOvNumEdit::DeleteChar(int key)
{
    Editing editing(*this);
    deleteChar(key);
    keepMantissaDigit();
}

void TOvNumEdit::deleteChar(int key)
{
    QString t = Text();
    const int len = int(t.size());
    const int d = int(t.indexOf(fc::DecimalSeparator())) + 1;
    int x = int(t.indexOf(QChar('E'))) + 1;
    if (x == 0)
        x = len + 1;
    int p;
    if (key == Qt::Key_Backspace) {
        p = SelStart();
        if (p == 0)
            return;
        if (isSeparator(t[p - 1]))
            --p;
    } else {
        p = SelStart() + 1;
        if (p > len)
            return;
        if (isSeparator(t[p - 1]))
            ++p;
    }
    const bool negative = t.startsWith(QChar('-'));
    if (p == 0 || p > len)
        return;
    if (d > 0 && p > d && p < x) {
        t.remove(p - 1, 1);
        if (decimals_ > 0)
            t.insert(x - 2, QChar('0'));
        replaceText(t, p - 1);
    } else if (p == 1 && negative) {
        t.remove(0, 1);
        if (t.isEmpty())
            t = QStringLiteral("0");
        replaceText(t, 0);
    } else if (p == (negative ? 2 : 1) && (p == d - 1 || p == x - 1 || p == len)) {
        // The only integer digit, also after a sign, becomes 0.
        t[p - 1] = QChar('0');
        replaceText(t, p);
    } else if (p == x) {
        // Without its "E" the exponent is no exponent: it goes with it.
        replaceText(t.left(x - 1), p - 1);
    } else {
        t.remove(p - 1, 1);
        if ((numberFormat_ == fc::TNumberFormat::Scientific || numberFormat_ == fc::TNumberFormat::Engineering)
            && t.endsWith(QChar('E')))
            t += QChar('0');
        replaceText(t, p - 1);
    }
}

void TOvNumEdit::DeleteSelection()
{
    if (SelLength() == 0)
        return;
    Editing editing(*this);
    const QString sel = SelText();
    if (sel.size() == Text().size()) {
        SetText(FormatNumber(0));
        return;
    }
    // One Backspace per character of the selection; Backspace steps over
    // the separators by itself.
    int n = 0;
    for (QChar c : sel)
        if (!isSeparator(c))
            ++n;
    SetSelStart(SelStart() + int(sel.size()));
    for (int i = 0; i < n; ++i)
        deleteChar(Qt::Key_Backspace);
    keepMantissaDigit();
}

// ---- clipboard

void TOvNumEdit::CopyToClipboard()
{
    if (SelLength() == 0)
        return;
    QGuiApplication::clipboard()->setText(CleanText(SelText()));
}

void TOvNumEdit::CutToClipboard()
{
    CopyToClipboard();
    if (!isReadOnly())
        DeleteSelection();
}

void TOvNumEdit::PasteFromClipboard()
{
    if (isReadOnly())
        return;
    const QString clip = QGuiApplication::clipboard()->text();
    DeleteSelection();
    QPointer<TOvNumEdit> self(this);
    // Every character through the key rules, on one copy of the text.
    Editing editing(*this);
    for (QChar c : clip) {
        // Line ends of copied cells are no Enter.
        if (c == QChar('\r') || c == QChar('\n'))
            continue;
        // Other control characters in the text are no keys either: a pasted
        // Ctrl+V would paste again inside this paste, Ctrl+C overwrite the
        // clipboard, Backspace delete.
        if (c < QChar(' ')) {
            fc::Beep();
            continue;
        }
        QChar k = c;
        KeyPress(k);
        if (!self)
            return;
    }
}
