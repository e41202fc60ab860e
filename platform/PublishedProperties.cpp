#include "PublishedProperties.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QVariant>

namespace fc {

namespace {

using Table = QHash<const QMetaObject*, QList<std::shared_ptr<const PublishedProperty>>>;

template <class T>
const T* as(const QObject* o) { return static_cast<const T*>(o); }
template <class T>
T* as(QObject* o) { return static_cast<T*>(o); }

QList<QRadioButton*> radioButtons(const QObject* group)
{
    return group->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
}

// The lines of a memo: no line for an empty text, none for a final break.
QStringList memoLines(const QString& text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(u'\n');
    if (lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

void setRadioItems(QObject* o, const QStringList& items)
{
    auto* group = as<QGroupBox>(o);
    QList<QRadioButton*> buttons = radioButtons(group);
    const qsizetype common = std::min(buttons.size(), items.size());
    for (qsizetype i = 0; i < common; ++i)
        buttons[i]->setText(items[i]);
    for (qsizetype i = items.size(); i < buttons.size(); ++i)
        delete buttons[i];
    for (qsizetype i = buttons.size(); i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], group);
        if (group->layout()) {
            group->layout()->addWidget(b);
        } else if (!buttons.isEmpty()) {
            const QRect last = buttons.back()->geometry();
            b->setGeometry(last.translated(0, int(i - buttons.size() + 1) * last.height()));
        }
        b->show();
    }
}

void setRadioIndex(QObject* o, int index)
{
    const QList<QRadioButton*> buttons = radioButtons(o);
    if (index >= int(buttons.size()))
        index = int(buttons.size()) - 1;
    if (index < 0) {
        for (QRadioButton* b : buttons) {
            if (b->isChecked()) {
                b->setAutoExclusive(false);
                b->setChecked(false);
                b->setAutoExclusive(true);
            }
        }
        return;
    }
    buttons[index]->setChecked(true);
}

void setListItems(QObject* o, const QStringList& items)
{
    auto* list = as<QListWidget>(o);
    const int row = list->currentRow();
    while (list->count() > items.size())
        delete list->takeItem(list->count() - 1);
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setText(items[i]);
    // New items are of the kind the list holds (checkable in a check list).
    const QListWidgetItem* model = list->count() > 0 ? list->item(list->count() - 1) : nullptr;
    for (qsizetype i = list->count(); i < items.size(); ++i) {
        auto* item = new QListWidgetItem(items[i]);
        if (model) {
            item->setFlags(model->flags());
            if (model->flags() & Qt::ItemIsUserCheckable)
                item->setCheckState(Qt::Unchecked);
        }
        list->addItem(item);
    }
    list->setCurrentRow(row < list->count() ? row : -1);
}

void setComboItems(QObject* o, const QStringList& items)
{
    auto* combo = as<QComboBox>(o);
    const int index = combo->currentIndex();
    const QString editText = combo->currentText();
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(index < combo->count() ? index : -1);
    if (combo->isEditable() && index < 0)
        combo->setEditText(editText);
}

void registerBuiltins(Table& t)
{
    auto add = [&t](const QMetaObject& mo, PublishedProperty p) {
        t[&mo].append(std::make_shared<const PublishedProperty>(std::move(p)));
    };

    // Every component: Tag.
    add(QObject::staticMetaObject,
        IntegerProperty(QStringLiteral("Tag"), [](const QObject* o) { return o->property("Tag").toInt(); },
                [](QObject* o, int v) { o->setProperty("Tag", v); }));

    // Every control: hint and bounds; the form's and a tab page's caption.
    const QMetaObject& W = QWidget::staticMetaObject;
    add(W, StringProperty(QStringLiteral("Hint"), [](const QObject* o) { return as<QWidget>(o)->toolTip(); },
                      [](QObject* o, const QString& v) { as<QWidget>(o)->setToolTip(v); }));
    add(W, IntegerProperty(QStringLiteral("Left"), [](const QObject* o) { return as<QWidget>(o)->x(); },
                   [](QObject* o, int v) { auto* w = as<QWidget>(o); w->move(v, w->y()); }));
    add(W, IntegerProperty(QStringLiteral("Top"), [](const QObject* o) { return as<QWidget>(o)->y(); },
                   [](QObject* o, int v) { auto* w = as<QWidget>(o); w->move(w->x(), v); }));
    add(W, IntegerProperty(QStringLiteral("Width"), [](const QObject* o) { return as<QWidget>(o)->width(); },
                   [](QObject* o, int v) { auto* w = as<QWidget>(o); w->resize(v, w->height()); }));
    add(W, IntegerProperty(QStringLiteral("Height"), [](const QObject* o) { return as<QWidget>(o)->height(); },
                   [](QObject* o, int v) { auto* w = as<QWidget>(o); w->resize(w->width(), v); }));
    add(W, StringProperty(
               QStringLiteral("Caption"),
               [](const QObject* o) {
                   auto* page = as<QWidget>(o);
                   auto* tabs = qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget());
                   return tabs->tabText(tabs->indexOf(page));
               },
               [](QObject* o, const QString& v) {
                   auto* page = as<QWidget>(o);
                   auto* tabs = qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget());
                   tabs->setTabText(tabs->indexOf(page), v);
               },
               IsTabPage));
    add(W, StringProperty(
               QStringLiteral("Caption"), [](const QObject* o) { return as<QWidget>(o)->windowTitle(); },
               [](QObject* o, const QString& v) { as<QWidget>(o)->setWindowTitle(v); },
               [](const QObject* o) { return as<QWidget>(o)->isWindow(); }));

    add(QLabel::staticMetaObject,
        StringProperty(QStringLiteral("Caption"), [](const QObject* o) { return as<QLabel>(o)->text(); },
                   [](QObject* o, const QString& v) { as<QLabel>(o)->setText(v); }));

    // Buttons, check boxes, radio buttons.
    add(QAbstractButton::staticMetaObject,
        StringProperty(QStringLiteral("Caption"), [](const QObject* o) { return as<QAbstractButton>(o)->text(); },
                   [](QObject* o, const QString& v) { as<QAbstractButton>(o)->setText(v); }));

    // Group box; with radio buttons, a radio group.
    const QMetaObject& G = QGroupBox::staticMetaObject;
    add(G, StringProperty(QStringLiteral("Caption"), [](const QObject* o) { return as<QGroupBox>(o)->title(); },
                      [](QObject* o, const QString& v) { as<QGroupBox>(o)->setTitle(v); }));
    add(G, StringListProperty(
               QStringLiteral("Items"),
               [](const QObject* o) {
                   QStringList items;
                   for (const QRadioButton* b : radioButtons(o))
                       items.append(b->text());
                   return items;
               },
               setRadioItems, IsRadioGroup));
    add(G, IntegerProperty(
               QStringLiteral("ItemIndex"),
               [](const QObject* o) {
                   const auto buttons = radioButtons(o);
                   for (int i = 0; i < buttons.size(); ++i)
                       if (buttons[i]->isChecked())
                           return i;
                   return -1;
               },
               setRadioIndex, IsRadioGroup));

    // Menu items.
    const QMetaObject& A = QAction::staticMetaObject;
    add(A, StringProperty(QStringLiteral("Caption"), [](const QObject* o) { return as<QAction>(o)->text(); },
                      [](QObject* o, const QString& v) { as<QAction>(o)->setText(v); }));
    add(A, StringProperty(QStringLiteral("Hint"), [](const QObject* o) { return as<QAction>(o)->statusTip(); },
                      [](QObject* o, const QString& v) { as<QAction>(o)->setStatusTip(v); }));
    add(QMenu::staticMetaObject,
        StringProperty(QStringLiteral("Caption"), [](const QObject* o) { return as<QMenu>(o)->title(); },
                   [](QObject* o, const QString& v) { as<QMenu>(o)->setTitle(v); }));

    // Single-line edit.
    const QMetaObject& E = QLineEdit::staticMetaObject;
    add(E, StringProperty(QStringLiteral("Text"), [](const QObject* o) { return as<QLineEdit>(o)->text(); },
                      [](QObject* o, const QString& v) { as<QLineEdit>(o)->setText(v); }));
    add(E, IntegerProperty(
               QStringLiteral("MaxLength"),
               [](const QObject* o) {
                   const int n = as<QLineEdit>(o)->maxLength();
                   return n == 32767 ? 0 : n; // Qt's "no limit"
               },
               [](QObject* o, int v) { as<QLineEdit>(o)->setMaxLength(v <= 0 ? 32767 : v); }));

    // Memos.
    const QMetaObject& M = QPlainTextEdit::staticMetaObject;
    add(M, StringProperty(QStringLiteral("Text"), [](const QObject* o) { return as<QPlainTextEdit>(o)->toPlainText(); },
                      [](QObject* o, const QString& v) { as<QPlainTextEdit>(o)->setPlainText(v); }));
    add(M, StringListProperty(
               QStringLiteral("Lines"), [](const QObject* o) { return memoLines(as<QPlainTextEdit>(o)->toPlainText()); },
               [](QObject* o, const QStringList& v) { as<QPlainTextEdit>(o)->setPlainText(v.join(u'\n')); }));
    const QMetaObject& R = QTextEdit::staticMetaObject;
    add(R, StringProperty(QStringLiteral("Text"), [](const QObject* o) { return as<QTextEdit>(o)->toPlainText(); },
                      [](QObject* o, const QString& v) { as<QTextEdit>(o)->setPlainText(v); }));
    add(R, StringListProperty(
               QStringLiteral("Lines"), [](const QObject* o) { return memoLines(as<QTextEdit>(o)->toPlainText()); },
               [](QObject* o, const QStringList& v) { as<QTextEdit>(o)->setPlainText(v.join(u'\n')); }));

    // Combo box.
    const QMetaObject& C = QComboBox::staticMetaObject;
    add(C, StringProperty(QStringLiteral("Text"), [](const QObject* o) { return as<QComboBox>(o)->currentText(); },
                      [](QObject* o, const QString& v) { as<QComboBox>(o)->setCurrentText(v); }));
    add(C, StringListProperty(
               QStringLiteral("Items"),
               [](const QObject* o) {
                   const auto* c = as<QComboBox>(o);
                   QStringList items;
                   for (int i = 0; i < c->count(); ++i)
                       items.append(c->itemText(i));
                   return items;
               },
               setComboItems));
    add(C, IntegerProperty(QStringLiteral("ItemIndex"), [](const QObject* o) { return as<QComboBox>(o)->currentIndex(); },
                   [](QObject* o, int v) { as<QComboBox>(o)->setCurrentIndex(v); }));

    // List box and check list box.
    const QMetaObject& L = QListWidget::staticMetaObject;
    add(L, StringListProperty(
               QStringLiteral("Items"),
               [](const QObject* o) {
                   const auto* l = as<QListWidget>(o);
                   QStringList items;
                   for (int i = 0; i < l->count(); ++i)
                       items.append(l->item(i)->text());
                   return items;
               },
               setListItems));
    add(L, IntegerProperty(QStringLiteral("ItemIndex"), [](const QObject* o) { return as<QListWidget>(o)->currentRow(); },
                   [](QObject* o, int v) { as<QListWidget>(o)->setCurrentRow(v); }));
}

Table& table()
{
    static Table t = [] {
        Table built;
        registerBuiltins(built);
        return built;
    }();
    return t;
}

} // namespace

PublishedProperty StringProperty(QString name, std::function<QString(const QObject*)> get,
                             std::function<void(QObject*, const QString&)> set,
                                 std::function<bool(const QObject*)> applies)
{
    PublishedProperty p;
    p.name = std::move(name);
    p.kind = PropertyKind::String;
    p.appliesTo = std::move(applies);
    p.getString = std::move(get);
    p.setString = std::move(set);
    return p;
}

PublishedProperty IntegerProperty(QString name, std::function<int(const QObject*)> get, std::function<void(QObject*, int)> set, std::function<bool(const QObject*)> applies)
{
    PublishedProperty p;
    p.name = std::move(name);
    p.kind = PropertyKind::Integer;
    p.appliesTo = std::move(applies);
    p.getInteger = std::move(get);
    p.setInteger = std::move(set);
    return p;
}

PublishedProperty StringListProperty(QString name, std::function<QStringList(const QObject*)> get,
                           std::function<void(QObject*, const QStringList&)> set, std::function<bool(const QObject*)> applies)
{
    PublishedProperty p;
    p.name = std::move(name);
    p.kind = PropertyKind::StringList;
    p.appliesTo = std::move(applies);
    p.getList = std::move(get);
    p.setList = std::move(set);
    return p;
}

bool IsRadioGroup(const QObject* obj)
{
    return qobject_cast<const QGroupBox*>(obj) && !radioButtons(obj).isEmpty();
}

bool IsTabPage(const QObject* obj)
{
    const auto* w = qobject_cast<const QWidget*>(obj);
    if (!w || !qobject_cast<const QStackedWidget*>(w->parentWidget()))
        return false;
    const auto* tabs = qobject_cast<const QTabWidget*>(w->parentWidget()->parentWidget());
    return tabs && tabs->indexOf(const_cast<QWidget*>(w)) >= 0;
}

void RegisterPublishedProperty(const QMetaObject& cls, PublishedProperty property)
{
    table()[&cls].append(std::make_shared<const PublishedProperty>(std::move(property)));
}

std::shared_ptr<const PublishedProperty> FindPublishedProperty(const QObject* obj, const QString& name)
{
    if (!obj)
        return nullptr;
    const Table& t = table();
    for (const QMetaObject* mo = obj->metaObject(); mo; mo = mo->superClass()) {
        const auto it = t.constFind(mo);
        if (it == t.cend())
            continue;
        for (auto p = it->crbegin(); p != it->crend(); ++p)
            if ((*p)->name.compare(name, Qt::CaseInsensitive) == 0 && (!(*p)->appliesTo || (*p)->appliesTo(obj)))
                return *p;
    }
    return nullptr;
}

QStringList PublishedPropertyNames(const QObject* obj)
{
    QStringList names;
    if (!obj)
        return names;
    const Table& t = table();
    for (const QMetaObject* mo = obj->metaObject(); mo; mo = mo->superClass()) {
        const auto it = t.constFind(mo);
        if (it == t.cend())
            continue;
        for (auto p = it->crbegin(); p != it->crend(); ++p)
            if (!names.contains((*p)->name, Qt::CaseInsensitive) && FindPublishedProperty(obj, (*p)->name) == *p)
                names.append((*p)->name);
    }
    return names;
}

namespace {
// The published property of that name when it is of the kind asked for.
std::shared_ptr<const PublishedProperty> FindOfKind(const QObject* obj, const QString& name, PropertyKind kind)
{
    auto p = FindPublishedProperty(obj, name);
    return p && p->kind == kind ? p : nullptr;
}
} // namespace

std::optional<QString> GetStringProperty(const QObject* obj, const QString& name)
{
    const auto p = FindOfKind(obj, name, PropertyKind::String);
    if (!p)
        return std::nullopt;
    return p->getString(obj);
}

bool SetStringProperty(QObject* obj, const QString& name, const QString& value)
{
    const auto p = FindOfKind(obj, name, PropertyKind::String);
    if (!p)
        return false;
    p->setString(obj, value);
    return true;
}

std::optional<int> GetIntegerProperty(const QObject* obj, const QString& name)
{
    const auto p = FindOfKind(obj, name, PropertyKind::Integer);
    if (!p)
        return std::nullopt;
    return p->getInteger(obj);
}

bool SetIntegerProperty(QObject* obj, const QString& name, int value)
{
    const auto p = FindOfKind(obj, name, PropertyKind::Integer);
    if (!p)
        return false;
    p->setInteger(obj, value);
    return true;
}

std::optional<QStringList> GetStringListProperty(const QObject* obj, const QString& name)
{
    const auto p = FindOfKind(obj, name, PropertyKind::StringList);
    if (!p)
        return std::nullopt;
    return p->getList(obj);
}

bool SetStringListProperty(QObject* obj, const QString& name, const QStringList& value)
{
    const auto p = FindOfKind(obj, name, PropertyKind::StringList);
    if (!p)
        return false;
    p->setList(obj, value);
    return true;
}

} // namespace fc
