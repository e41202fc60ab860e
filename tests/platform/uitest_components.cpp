#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <memory>

#include "platform/Components.h"
#include "platform/PublishedProperties.h"

namespace {

template <class T, class... A>
T* named(QObject* parent, const char* name, A&&... args)
{
    T* o = new T(std::forward<A>(args)...);
    if constexpr (std::is_base_of_v<QWidget, T>)
        o->setParent(static_cast<QWidget*>(parent));
    else
        o->setParent(parent);
    o->setObjectName(QString::fromLatin1(name));
    return o;
}

// A form with one control of each kind, nested as forms nest them.
struct Form {
    std::unique_ptr<QWidget> form = std::make_unique<QWidget>();
    QWidget* w = form.get();
    QMenuBar* bar;
    QMenu* file;
    QAction* quit;
    QTabWidget* tabs;
    QWidget* page;
    QLabel* label;
    QPushButton* button;
    QCheckBox* check;
    QRadioButton* radio;
    QGroupBox* radioGroup;
    QGroupBox* group;
    QLineEdit* edit;
    QPlainTextEdit* memo;
    QComboBox* combo;
    QListWidget* list;
    QListWidget* checkList;

    Form()
    {
        w->setObjectName("DodedaVO");
        w->setWindowTitle("Selezione");
        bar = named<QMenuBar>(w, "MainMenu1");
        file = named<QMenu>(bar, "File1");
        file->setTitle("File");
        bar->addMenu(file);
        quit = file->addAction("Esci");
        quit->setObjectName("Quit1");
        tabs = named<QTabWidget>(w, "ControllaPagine");
        page = new QWidget;
        page->setObjectName("TabSheet1");
        tabs->addTab(page, "Unita");
        label = named<QLabel>(page, "Label2", "Umidità");
        button = named<QPushButton>(page, "Button1", "Calcola");
        check = named<QCheckBox>(page, "CheckListino", "Listino");
        radio = named<QRadioButton>(page, "Sconto", "Sconti");
        radioGroup = named<QGroupBox>(page, "Operazione", "Operazione");
        auto* layout = new QVBoxLayout(radioGroup);
        for (const char* t : {"Verifica", "Selezione"})
            layout->addWidget(new QRadioButton(t, radioGroup));
        group = named<QGroupBox>(page, "Gruppo", "Riscaldamento");
        edit = named<QLineEdit>(group, "edit7", "0");
        memo = named<QPlainTextEdit>(page, "Memo1");
        combo = named<QComboBox>(page, "Fluido");
        combo->addItems({"Acqua", "Glicole"});
        list = named<QListWidget>(page, "Lista");
        list->addItems({"a", "b"});
        checkList = named<QListWidget>(page, "ListaModelli");
        for (const char* t : {"M1", "M2"}) {
            auto* item = new QListWidgetItem(t, checkList);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        checkList->item(1)->setCheckState(Qt::Checked);
    }
};

QStringList names(const QList<QObject*>& objects)
{
    QStringList out;
    for (QObject* o : objects)
        out.append(o->objectName());
    return out;
}

} // namespace

TEST(Components, OwnedComponentsInCreationOrderFoundWithoutRegardToCase)
{
    Form f;
    EXPECT_EQ(names(fc::OwnedComponents(f.w)),
              QStringList({"MainMenu1", "File1", "Quit1", "ControllaPagine", "TabSheet1", "Label2", "Button1",
                           "CheckListino", "Sconto", "Operazione", "Gruppo", "edit7", "Memo1", "Fluido", "Lista",
                           "ListaModelli"}));
    EXPECT_EQ(fc::FindComponent(f.w, "label2"), f.label);
    EXPECT_EQ(fc::FindComponent(f.w, "QUIT1"), f.quit);
    EXPECT_EQ(fc::FindComponent(f.w, "Nessuno"), nullptr);
    EXPECT_EQ(fc::FindComponent(nullptr, "Label2"), nullptr);
    // Owned by a component further down.
    EXPECT_EQ(fc::FindComponent(f.group, "EDIT7"), f.edit);
    EXPECT_EQ(fc::FindComponent(f.group, "Label2"), nullptr);

    // The first of two names that differ only in case wins.
    auto* second = named<QLabel>(f.page, "LABEL2");
    EXPECT_EQ(fc::FindComponent(f.w, "Label2"), f.label);
    delete f.label;
    EXPECT_EQ(fc::FindComponent(f.w, "Label2"), second);

    // An action added to a menu but owned by no one below the form.
    QAction outside("Fuori");
    outside.setObjectName("Outside1");
    f.file->addAction(&outside);
    EXPECT_EQ(fc::FindComponent(f.w, "outside1"), &outside);
}

TEST(Components, ApplicationOwnsTheForms)
{
    Form f;
    EXPECT_EQ(fc::FindComponent(qApp, "dodedavo"), f.w);
    // A dialog of the form is a component of its own: its controls are not
    // the form's, but it can be registered with the application.
    auto* dialog = named<QDialog>(f.w, "PasswordDlg");
    auto* ok = named<QPushButton>(dialog, "Button1");
    EXPECT_EQ(fc::FindComponent(f.w, "Button1"), f.button);
    EXPECT_EQ(fc::FindComponent(f.w, "PasswordDlg"), dialog);
    EXPECT_EQ(fc::FindComponent(dialog, "Button1"), ok);
    EXPECT_EQ(fc::FindComponent(qApp, "PasswordDlg"), nullptr);
    fc::AddApplicationComponent(dialog);
    EXPECT_EQ(fc::FindComponent(qApp, "passworddlg"), dialog);
    delete dialog; // leaves the registry by itself
    EXPECT_EQ(fc::FindComponent(qApp, "passworddlg"), nullptr);
}

TEST(PublishedProperties, StringsOfEachWidgetKind)
{
    Form f;
    struct Case {
        QObject* object;
        const char* property;
        QString before;
    } cases[] = {
        {f.w, "Caption", "Selezione"},        {f.label, "Caption", "Umidità"},
        {f.button, "caption", "Calcola"},     {f.check, "Caption", "Listino"},
        {f.radio, "Caption", "Sconti"},       {f.radioGroup, "Caption", "Operazione"},
        {f.group, "CAPTION", "Riscaldamento"}, {f.page, "Caption", "Unita"},
        {f.file, "Caption", "File"},          {f.quit, "Caption", "Esci"},
        {f.edit, "Text", "0"},                {f.memo, "Text", ""},
        {f.combo, "Text", "Acqua"},           {f.button, "Hint", ""},
        {f.quit, "Hint", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.object->objectName().toStdString() + "." + c.property);
        EXPECT_EQ(fc::GetStringProperty(c.object, c.property), c.before);
        ASSERT_TRUE(fc::SetStringProperty(c.object, c.property, "Glicole"));
        EXPECT_EQ(fc::GetStringProperty(c.object, c.property), QStringLiteral("Glicole"));
    }
    EXPECT_EQ(f.tabs->tabText(0), QStringLiteral("Glicole"));
    EXPECT_EQ(f.w->windowTitle(), QStringLiteral("Glicole"));
    EXPECT_EQ(f.combo->currentIndex(), 1); // a drop-down list selects the item of that text
    EXPECT_EQ(f.button->toolTip(), QStringLiteral("Glicole"));
}

TEST(PublishedProperties, ListsAndIntegers)
{
    Form f;
    EXPECT_EQ(fc::GetStringListProperty(f.radioGroup, "Items"), QStringList({"Verifica", "Selezione"}));
    f.radioGroup->findChildren<QRadioButton*>()[1]->setChecked(true);
    ASSERT_TRUE(fc::SetStringListProperty(f.radioGroup, "items", {"Rating", "Selection", "Air flow"}));
    EXPECT_EQ(fc::GetStringListProperty(f.radioGroup, "Items"), QStringList({"Rating", "Selection", "Air flow"}));
    EXPECT_EQ(fc::GetIntegerProperty(f.radioGroup, "ItemIndex"), 1);
    ASSERT_TRUE(fc::SetStringListProperty(f.radioGroup, "Items", {"Only"}));
    EXPECT_EQ(fc::GetStringListProperty(f.radioGroup, "Items"), QStringList({"Only"}));
    EXPECT_EQ(fc::GetIntegerProperty(f.radioGroup, "ItemIndex"), -1);
    ASSERT_TRUE(fc::SetIntegerProperty(f.radioGroup, "ItemIndex", 5));
    EXPECT_EQ(fc::GetIntegerProperty(f.radioGroup, "ItemIndex"), 0);

    // A group box without radio buttons has no items.
    EXPECT_EQ(fc::FindPublishedProperty(f.group, "Items"), nullptr);

    ASSERT_TRUE(fc::SetStringListProperty(f.memo, "Lines", {"uno", "", "tre"}));
    EXPECT_EQ(f.memo->toPlainText(), QStringLiteral("uno\n\ntre"));
    EXPECT_EQ(fc::GetStringListProperty(f.memo, "Lines"), QStringList({"uno", "", "tre"}));
    ASSERT_TRUE(fc::SetStringListProperty(f.memo, "Lines", {}));
    EXPECT_EQ(fc::GetStringListProperty(f.memo, "Lines"), QStringList());

    f.combo->setCurrentIndex(1);
    ASSERT_TRUE(fc::SetStringListProperty(f.combo, "Items", {"Water", "Glycol", "Brine"}));
    EXPECT_EQ(f.combo->currentText(), QStringLiteral("Glycol"));

    ASSERT_TRUE(fc::SetStringListProperty(f.list, "Items", {"x"}));
    EXPECT_EQ(fc::GetStringListProperty(f.list, "Items"), QStringList({"x"}));

    // A check list keeps its ticks, and new items can be ticked too.
    ASSERT_TRUE(fc::SetStringListProperty(f.checkList, "Items", {"Model 1", "Model 2", "Model 3"}));
    EXPECT_EQ(f.checkList->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(f.checkList->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(f.checkList->item(2)->text(), QStringLiteral("Model 3"));
    EXPECT_TRUE(f.checkList->item(2)->flags() & Qt::ItemIsUserCheckable);

    ASSERT_TRUE(fc::SetIntegerProperty(f.edit, "MaxLength", 5));
    EXPECT_EQ(f.edit->maxLength(), 5);
    ASSERT_TRUE(fc::SetIntegerProperty(f.button, "Width", 120));
    EXPECT_EQ(f.button->width(), 120);
    ASSERT_TRUE(fc::SetIntegerProperty(f.quit, "Tag", 7));
    EXPECT_EQ(fc::GetIntegerProperty(f.quit, "tag"), 7);
}

TEST(PublishedProperties, NoSuchPropertyAndProgramAdapters)
{
    Form f;
    EXPECT_EQ(fc::FindPublishedProperty(f.label, "Colore"), nullptr);
    EXPECT_EQ(fc::FindPublishedProperty(f.label, "Text"), nullptr);   // a label has a Caption
    EXPECT_EQ(fc::FindPublishedProperty(f.tabs, "Caption"), nullptr); // a page control has none
    EXPECT_EQ(fc::GetStringProperty(f.memo, "Lines"), std::nullopt);  // not of a string kind
    EXPECT_FALSE(fc::SetStringProperty(f.label, "Colore", "x"));
    EXPECT_FALSE(fc::SetIntegerProperty(f.label, "Caption", 1));
    EXPECT_EQ(fc::FindPublishedProperty(nullptr, "Caption"), nullptr);

    // The program adds properties of its own classes; a more derived entry wins.
    EXPECT_TRUE(fc::PublishedPropertyNames(f.label).contains("Caption"));
    fc::RegisterPublishedProperty<QLabel>(fc::IntegerProperty(
        "Layout", [](const QObject* o) { return int(static_cast<const QLabel*>(o)->alignment()); },
        [](QObject* o, int v) { static_cast<QLabel*>(o)->setAlignment(Qt::Alignment(v)); }));
    // A later entry of the same class replaces the built-in one.
    fc::RegisterPublishedProperty<QLabel>(fc::StringProperty(
        "Caption", [](const QObject* o) { return static_cast<const QLabel*>(o)->text().toUpper(); },
        [](QObject* o, const QString& v) { static_cast<QLabel*>(o)->setText(v); }));
    EXPECT_EQ(fc::GetStringProperty(f.label, "Caption"), QStringLiteral("UMIDITÀ"));
    ASSERT_TRUE(fc::SetIntegerProperty(f.label, "layout", int(Qt::AlignRight)));
    EXPECT_EQ(f.label->alignment(), Qt::AlignRight);
}
