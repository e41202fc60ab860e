#pragma once
// TOvNumEdit: a single-line edit whose text is always a formatted number.
// Typed keys are filtered so that the sign, the decimal separator and the
// exponent stay in place; leaving the control checks the optional range.
// The Value is not stored: it is read from and written into the text.

#include <QLineEdit>
#include <functional>

#include "components/OvNumFormat.h"
#include "platform/Alignment.h"

class QPushButton;

class TOvNumEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TOvNumEdit(QWidget* parent = nullptr);

    // Events the application binds; they run before the control's own
    // handling. Setting key to 0 (or the character to QChar()) swallows it.
    using TNotifyEvent = std::function<void(TOvNumEdit* sender)>;
    using TKeyEvent = std::function<void(TOvNumEdit* sender, int& key, Qt::KeyboardModifiers shift)>;
    using TKeyPressEvent = std::function<void(TOvNumEdit* sender, QChar& key)>;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnChange; // every change of the text, by the user or by code
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    // Fired instead of the correction when the value leaves the range.
    TNotifyEvent OnInvalidEntry;

    // Published properties.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    int Decimals() const { return decimals_; }
    void SetDecimals(int d);
    long double MaxValue() const { return maxValue_; }
    void SetMaxValue(long double v);
    long double MinValue() const { return minValue_; }
    void SetMinValue(long double v);
    fc::TNumberFormat NumberFormat() const { return numberFormat_; }
    void SetNumberFormat(fc::TNumberFormat f);
    virtual QString Version() const { return QStringLiteral("2.50.00.00"); }
    void SetVersion(const QString&) {} // read-only
    // Raises EConvertError when the text is not a number.
    long double Value() const;
    void SetValue(long double v);

    // The edit's own properties, as the program uses them. While the key
    // rules run (a paste) they are those of the text being edited.
    QString Text() const { return edit_ ? edit_->text : text(); }
    // Replaces the text (when different), caret at the start.
    void SetText(const QString& s);
    int SelStart() const;
    void SetSelStart(int p);
    int SelLength() const;
    void SetSelLength(int n);
    QString SelText() const;
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool r) { setReadOnly(r); }
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool a) { autoSelect_ = a; }
    // Limits typing and pasting only; 0 is no limit but the longest text a
    // number of the edit's form needs.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int n) { maxLength_ = n < 0 ? 0 : n; }
    int TextLimit() const { return maxLength_ > 0 ? maxLength_ : maxTextLength_; }

    bool LimitsSet() const { return !(minValue_ == 0 && maxValue_ == 0); }

    // The text for V in this control's form.
    QString FormatNumber(long double v) const;
    static QString CleanText(const QString& s) { return fc::CleanText(s); }

    // Range correction of an exit: OnInvalidEntry, or clamp, beep, focus.
    void DoInvalidEntry();

    // The key rules, as the key events run them; public so that the
    // application and tests can drive them without a keyboard.
    // KeyDown and KeyUp take Qt key codes (Qt::Key_Backspace, ...).
    virtual void KeyDown(int& key, Qt::KeyboardModifiers shift);
    virtual void KeyPress(QChar& key);
    virtual void KeyUp(int& key, Qt::KeyboardModifiers shift);
    // Focus processing, as the focus events run them.
    virtual void DoEnter();
    virtual void DoExit();

    // Clipboard through the key rules (Ctrl+C / Ctrl+X / Ctrl+V, Ctrl+Insert,
    // Shift+Insert and the context menu).
    virtual void CopyToClipboard();
    virtual void CutToClipboard();
    virtual void PasteFromClipboard();

    // Deletion as Backspace and Delete do it.
    void DeleteChar(int key);
    void DeleteSelection();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

    // Keys that move the caret or select, left to the line edit.
    static bool IsNavigationKey(int key);
    // The key rules of a typed character, without the application's handler.
    void NumKeyPress(QChar& key);
    // Takes the focus; deferred while the focus is changing.
    void TakeFocus();

private:
    // The text and selection the key rules work on: the control's own, or,
    // while a paste runs, a copy that is written back once at its end, so
    // that a long paste is not laid out again for every character.
    struct EditState {
        QString text;
        int start = 0;
        int length = 0;
    };
    class Editing;
    void commit(const EditState& s);
    void select(int start, int length);
    void insertAtCaret(QChar c);
    // A mantissa left without digits ("-,") gets its "0" back.
    void keepMantissaDigit();
    // The rules of a typed character and of one deletion, on the text
    // being edited.
    void typedKey(QChar& key);
    void deleteChar(int key);
    void updateMaxTextLength();

    void reformat();
    void typeChar(QChar c);
    void pressEnter();
    void replaceText(const QString& s, int caret);

    EditState* edit_ = nullptr;
    int maxTextLength_ = 0;

    TAlignment alignment_ = TAlignment::taRightJustify;
    int decimals_ = -1;
    long double maxValue_ = 0;
    long double minValue_ = 0;
    fc::TNumberFormat numberFormat_ = fc::TNumberFormat::Standard;
    bool mouseEntry_ = false;
    bool autoSelect_ = true;
    int maxLength_ = 0;
    bool inFocusChange_ = false;
    bool entered_ = false;
    bool focusByClick_ = false;
};
