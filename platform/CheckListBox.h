#pragma once
// A list of items with a check box each. OnClickCheck runs when the user
// ticks or clears an item (mouse or space bar); changes by code run nothing.

#include <QListWidget>
#include <QStringList>
#include <functional>

class TCheckListBox : public QListWidget {
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
public:
    explicit TCheckListBox(QWidget* parent = nullptr);

    QStringList Items() const;
    // Whether the items are these texts, in this order (Items() == items).
    bool HasItems(const QStringList& items) const;
    // Replaces the items, all unchecked; no item is current afterwards.
    void SetItems(const QStringList& items);
    void AddItem(const QString& text);
    int Count() const { return count(); }
    // Index-taking members raise EListError for a bad index.
    QString ItemText(int index) const;
    void SetItemText(int index, const QString& text);

    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    void SetAllChecked(bool checked);

    int ItemIndex() const { return currentRow(); }
    void SetItemIndex(int index);

    std::function<void()> OnClickCheck;
    // After every mouse release on the list.
    std::function<void()> OnMouseUp;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QListWidgetItem* itemOrRaise(int index) const;
    int codeDepth_ = 0;
};
