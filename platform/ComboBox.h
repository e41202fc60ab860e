#pragma once
// A drop-down list whose OnChange runs only when the user chooses an item
// (mouse, keyboard or wheel); selecting an item or setting the items by
// code runs nothing.

#include <QComboBox>
#include <QStringList>
#include <functional>

class TComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
public:
    explicit TComboBox(QWidget* parent = nullptr);

    QStringList Items() const;
    // Replaces the items; no item is selected afterwards.
    void SetItems(const QStringList& items);
    int Count() const { return count(); }

    int ItemIndex() const { return currentIndex(); }
    // -1 clears the selection; an index beyond the items clears it too.
    void SetItemIndex(int index);

    // The selected item's text, empty when none is selected.
    QString Text() const { return currentText(); }
    // Selects the first item with this text, compared without regard to
    // case; a text that is no item leaves the selection as it is.
    void SetText(const QString& text);

    std::function<void()> OnChange;
    // The list drops down; the control loses the focus to another control
    // of its window (not to its own drop-down).
    std::function<void()> OnDropDown;
    std::function<void()> OnExit;

    void showPopup() override;

protected:
    void focusOutEvent(QFocusEvent* event) override;
};
