#include "ComboBox.h"

#include <QAbstractItemView>
#include <QFocusEvent>

#include "Application.h"

TComboBox::TComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(false);
    // activated is emitted for the user's choices only, never for code.
    connect(this, &QComboBox::activated, this, [this](int) { fc::RunHandler(OnChange); });
}

QStringList TComboBox::Items() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << itemText(i);
    return out;
}

void TComboBox::SetItems(const QStringList& items)
{
    clear();
    addItems(items);
    setCurrentIndex(-1);
}

void TComboBox::SetItemIndex(int index)
{
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

void TComboBox::SetText(const QString& text)
{
    const int i = findText(text, Qt::MatchFixedString);
    if (i >= 0)
        setCurrentIndex(i);
}

void TComboBox::showPopup()
{
    fc::RunHandler(OnDropDown);
    QComboBox::showPopup();
}

void TComboBox::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    // The focus moving into the control's own drop-down is no exit.
    QWidget* popup = view() ? view()->window() : nullptr;
    if (popup && popup != window() && popup->isVisible())
        return;
    fc::RunHandler(OnExit);
}
