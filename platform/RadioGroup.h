#pragma once
// A framed group of radio buttons, one per item. OnClick runs whenever a
// different item becomes selected, by the user or by code; clearing the
// selection (ItemIndex -1) runs nothing. Each item can be enabled on its
// own, and that state survives new item texts (a translation).

#include <QGroupBox>
#include <QStringList>
#include <functional>
#include <vector>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

class TRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
public:
    explicit TRadioGroup(QWidget* parent = nullptr);

    QString Caption() const { return title(); }
    void SetCaption(const QString& caption) { setTitle(caption); }

    QStringList Items() const { return items_; }
    // Same count: only the texts change. Another count: buttons are added or
    // removed at the end; the selection moves to the last item when it no
    // longer exists (a different item, so OnClick runs).
    void SetItems(const QStringList& items);
    int Count() const { return int(items_.size()); }

    int ItemIndex() const { return index_; }
    // -1 clears the selection; an index beyond the items selects the last.
    void SetItemIndex(int index);

    // Enabled state of one choice; raises EListError for a bad index.
    bool ItemEnabled(int index) const;
    void SetItemEnabled(int index, bool enabled);
    QRadioButton* Button(int index) const;

    int Columns() const { return columns_; }
    void SetColumns(int columns);

    std::function<void()> OnClick;

private:
    void rebuildLayout();
    void buttonToggled(int index, bool checked);
    void checkIndexOrRaise(int index) const;

    QStringList items_;
    std::vector<QRadioButton*> buttons_;
    QButtonGroup* group_;
    QGridLayout* grid_;
    int index_ = -1;
    int columns_ = 1;
    bool clearing_ = false;
};
