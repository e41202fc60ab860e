#include "CheckListBox.h"

#include <QSignalBlocker>

#include "Application.h"
#include "Errors.h"

namespace {
struct Depth {
    explicit Depth(int& d)
        : d_(d)
    {
        ++d_;
    }
    ~Depth() { --d_; }
    int& d_;
};
} // namespace

TCheckListBox::TCheckListBox(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem*) {
        if (codeDepth_ == 0)
            fc::RunHandler(OnClickCheck);
    });
}

QStringList TCheckListBox::Items() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << item(i)->text();
    return out;
}

bool TCheckListBox::HasItems(const QStringList& items) const
{
    if (items.size() != count())
        return false;
    for (int i = 0; i < count(); ++i)
        if (item(i)->text() != items[i])
            return false;
    return true;
}

namespace {
constexpr Qt::ItemFlags kItemFlags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;

void setUpItem(QListWidgetItem* it)
{
    it->setFlags(kItemFlags);
    it->setCheckState(Qt::Unchecked);
}
} // namespace

void TCheckListBox::SetItems(const QStringList& items)
{
    Depth d(codeDepth_);
    clear();
    // All rows in one insertion, then each made a check item as AddItem
    // makes it: thousands of models are not inserted row by row. The view
    // lays the new rows out after this, from their data as set here, so the
    // per-item change signals would tell it nothing.
    addItems(items);
    {
        const QSignalBlocker quiet(model());
        for (int i = 0; i < count(); ++i)
            setUpItem(item(i));
    }
    setCurrentRow(-1);
}

void TCheckListBox::AddItem(const QString& text)
{
    Depth d(codeDepth_);
    auto* it = new QListWidgetItem(text);
    setUpItem(it);
    addItem(it);
}

QListWidgetItem* TCheckListBox::itemOrRaise(int index) const
{
    if (index < 0 || index >= count())
        throw EListError::IndexOutOfBounds(index);
    return item(index);
}

QString TCheckListBox::ItemText(int index) const { return itemOrRaise(index)->text(); }

void TCheckListBox::SetItemText(int index, const QString& text)
{
    QListWidgetItem* it = itemOrRaise(index);
    Depth d(codeDepth_);
    it->setText(text);
}

bool TCheckListBox::Checked(int index) const { return itemOrRaise(index)->checkState() == Qt::Checked; }

void TCheckListBox::SetChecked(int index, bool checked)
{
    QListWidgetItem* it = itemOrRaise(index);
    Depth d(codeDepth_);
    it->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TCheckListBox::SetAllChecked(bool checked)
{
    Depth d(codeDepth_);
    for (int i = 0; i < count(); ++i)
        item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TCheckListBox::SetItemIndex(int index)
{
    if (index < -1 || index >= count())
        throw EListError::IndexOutOfBounds(index);
    setCurrentRow(index);
}

void TCheckListBox::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    fc::RunHandler(OnMouseUp);
}
