#include "RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

#include "Application.h"
#include "Errors.h"

TRadioGroup::TRadioGroup(QWidget* parent)
    : QGroupBox(parent)
    , group_(new QButtonGroup(this))
    , grid_(new QGridLayout(this))
{
    group_->setExclusive(true);
}

void TRadioGroup::SetItems(const QStringList& items)
{
    items_ = items;
    while (buttons_.size() > size_t(items_.size())) {
        QRadioButton* b = buttons_.back();
        buttons_.pop_back();
        group_->removeButton(b);
        delete b;
    }
    while (buttons_.size() < size_t(items_.size())) {
        const int i = int(buttons_.size());
        auto* b = new QRadioButton(this);
        group_->addButton(b, i);
        connect(b, &QAbstractButton::toggled, this, [this, i](bool on) { buttonToggled(i, on); });
        buttons_.push_back(b);
    }
    for (int i = 0; i < Count(); ++i)
        buttons_[size_t(i)]->setText(items_[i]);
    rebuildLayout();
    if (index_ >= Count()) {
        const int last = Count() - 1;
        index_ = -1;
        SetItemIndex(last);
    }
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index < -1)
        index = -1;
    if (index >= Count())
        index = Count() - 1;
    if (index == index_)
        return;
    if (index < 0) {
        // An exclusive group keeps one button checked: lift that for the clear.
        clearing_ = true;
        group_->setExclusive(false);
        for (QRadioButton* b : buttons_)
            b->setChecked(false);
        group_->setExclusive(true);
        clearing_ = false;
        index_ = -1;
        return;
    }
    // The toggled signal selects the item and runs OnClick, as a user's click does.
    buttons_[size_t(index)]->setChecked(true);
}

void TRadioGroup::buttonToggled(int index, bool checked)
{
    if (!checked || clearing_ || index == index_)
        return;
    index_ = index;
    fc::RunHandler(OnClick);
}

void TRadioGroup::checkIndexOrRaise(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError::IndexOutOfBounds(index);
}

bool TRadioGroup::ItemEnabled(int index) const
{
    checkIndexOrRaise(index);
    // The explicit state, whatever the group's own enabling.
    return !buttons_[size_t(index)]->testAttribute(Qt::WA_ForceDisabled);
}

void TRadioGroup::SetItemEnabled(int index, bool enabled)
{
    checkIndexOrRaise(index);
    buttons_[size_t(index)]->setEnabled(enabled);
}

QRadioButton* TRadioGroup::Button(int index) const
{
    checkIndexOrRaise(index);
    return buttons_[size_t(index)];
}

void TRadioGroup::SetColumns(int columns)
{
    columns_ = columns < 1 ? 1 : columns;
    rebuildLayout();
}

void TRadioGroup::rebuildLayout()
{
    for (QRadioButton* b : buttons_)
        grid_->removeWidget(b);
    // Items run down the columns, as many rows as the widest column needs.
    const int n = Count();
    const int rows = (n + columns_ - 1) / columns_;
    for (int i = 0; i < n; ++i)
        grid_->addWidget(buttons_[size_t(i)], rows ? i % rows : 0, rows ? i / rows : 0);
}
