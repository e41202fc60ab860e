#pragma once
// TOvSuperSpin: the numeric edit with up and down buttons at its right
// edge. Clicks and the arrow keys add or subtract a step that grows while
// clicks follow each other quickly; the range is kept, optionally with
// wrap-around, and the value can be kept on a grid of whole increments.

#include <QCursor>
#include <functional>

#include "components/OvNumEdit.h"

class QToolButton;

class TOvSuperSpin : public TOvNumEdit {
    Q_OBJECT
public:
    explicit TOvSuperSpin(QWidget* parent = nullptr);

    QString Version() const override { return QStringLiteral("2.00.00.00"); }

    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool e) { editorEnabled_ = e; }
    long double Increment() const { return increment_; }
    // Ignored when equal to the present one, not positive, or (with limits
    // set) larger than the range.
    void SetIncrement(long double v);
    bool RoundValues() const { return roundValues_; }
    void SetRoundValues(bool r) { roundValues_ = r; }
    bool Wrap() const { return wrap_; }
    void SetWrap(bool w) { wrap_ = w; }
    // On the edit and on the buttons together.
    void SetCursor(const QCursor& c);

    // The step of the present series of clicks.
    long double Step() const { return step_; }

    void UpClick();
    void DownClick();
    // Value := MinValue + a whole number of increments (half to even).
    void RoundToIncrement();

    // Milliseconds of a monotonic clock; tests put a fake one in.
    std::function<qint64()> Clock;

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void KeyPress(QChar& key) override;
    void KeyUp(int& key, Qt::KeyboardModifiers shift) override;
    void DoExit() override;
    void CutToClipboard() override;
    void PasteFromClipboard() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void accelerate();
    void placeButtons();
    void updateMinimumHeight();

    bool editorEnabled_ = true;
    long double increment_ = 1.0L;
    bool roundValues_ = false;
    bool wrap_ = false;
    long double step_ = 1.0L;
    qint64 lastClick_ = 0;
    int repeats_ = 0;
    QWidget* buttons_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
};
