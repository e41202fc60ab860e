#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
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

#include "TestSupport.h"
#include "components/Lang.h"
#include "platform/Errors.h"
#include "platform/PublishedProperties.h"

namespace {

template <class T>
T* named(QWidget* parent, const char* name)
{
    auto* w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// The main window in small: one control of each kind the language files name.
struct FakeForm {
    std::unique_ptr<QWidget> form = std::make_unique<QWidget>();
    QWidget* w = form.get();
    QMenu* file;
    QAction* quit;
    QWidget* page;
    QPushButton* button;
    QLabel* label2;
    QLabel* label5;
    QCheckBox* check;
    QRadioButton* sconto;
    QGroupBox* operazione;
    QGroupBox* gruppo;
    QLineEdit* edit7;
    QLineEdit* edit8;
    QPlainTextEdit* memo;
    QComboBox* fluido;
    QListWidget* lista;
    QListWidget* modelli;

    FakeForm()
    {
        w->setObjectName("DodedaVO");
        w->setWindowTitle("Selezione");
        auto* bar = named<QMenuBar>(w, "MainMenu1");
        file = named<QMenu>(bar, "File1");
        file->setTitle("&File");
        bar->addMenu(file);
        quit = file->addAction("&Esci");
        quit->setObjectName("Quit1");
        auto* tabs = named<QTabWidget>(w, "ControllaPagine");
        page = new QWidget;
        page->setObjectName("TabSheet1");
        tabs->addTab(page, "Unità");
        button = named<QPushButton>(page, "Button1");
        button->setText("Calcola");
        label2 = named<QLabel>(page, "Label2");
        label2->setText("Umidità relativa");
        label5 = named<QLabel>(page, "Label5");
        label5->setText("Solo italiano");
        check = named<QCheckBox>(page, "CheckListino");
        sconto = named<QRadioButton>(page, "Sconto");
        operazione = named<QGroupBox>(page, "Operazione");
        auto* layout = new QVBoxLayout(operazione);
        for (const char* t : {"Verifica", "Selezione per resa", "Vuota", "Selezione per portata"})
            layout->addWidget(new QRadioButton(t, operazione));
        gruppo = named<QGroupBox>(page, "Gruppo");
        edit7 = named<QLineEdit>(gruppo, "edit7");
        edit8 = named<QLineEdit>(gruppo, "edit8");
        edit8->setText("resta");
        memo = named<QPlainTextEdit>(page, "Memo1");
        fluido = named<QComboBox>(page, "Fluido");
        fluido->addItems({"Acqua", "Glicole"});
        lista = named<QListWidget>(page, "Lista");
        lista->addItems({"Uno", "Due"});
        modelli = named<QListWidget>(page, "ListaModelli");
        for (const char* t : {"M1", "M2", "M3"}) {
            auto* item = new QListWidgetItem(t, modelli);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
        }
    }
};

qsizetype SplitCount(const QString& v) { return TLanguage::SplitList(v, ",").size(); }

QString fixture(const char* name) { return fc::test::testDataDir() + "lang/" + name; }

const QStringList kPaths = {
    "DodedaVO.Caption",           "DodedaVO.Button1.Caption",     "DodedaVO.Label2.Caption",
    "DodedaVO.CheckListino.Caption", "DodedaVO.Sconto.Caption",   "DodedaVO.Operazione.Caption",
    "DodedaVO.Operazione.Items",  "DodedaVO.Gruppo.Caption",      "DodedaVO.TabSheet1.Caption",
    "DodedaVO.File1.Caption",     "DodedaVO.Quit1.Caption",       "DodedaVO.edit7.Text",
    "DodedaVO.Memo1.Lines",       "DodedaVO.Fluido.Items",        "DodedaVO.Fluido.Text",
    "DodedaVO.Lista.Items",       "DodedaVO.ListaModelli.Items",  "DodedaVO.edit8.Text",
};

struct Call {
    QObject* component;
    QString property, oldValue, newValue;
};

} // namespace

class LanguageTest : public ::testing::Test {
protected:
    FakeForm f;
    TLanguage lang{f.w};
    QList<Call> calls;
    QStringList events;

    void SetUp() override
    {
        lang.SetSeparator(",");
        lang.SetProperties(kPaths);
        lang.OnBeforeTranslation = [this](QObject* sender) {
            EXPECT_EQ(sender, &lang);
            events << "before";
        };
        lang.OnAfterTranslation = [this](QObject* sender) {
            EXPECT_EQ(sender, &lang);
            events << "after";
        };
        lang.OnTranslate = [this](TLanguage* sender, QObject* c, const QString& p, const QString& o, QString& n) {
            EXPECT_EQ(sender, &lang);
            calls.append({c, p, o, n});
        };
    }
};

TEST_F(LanguageTest, TranslatesEveryKindOfControl)
{
    lang.SetLanguageFile(fixture("english.lng"));
    lang.Translate();
    EXPECT_EQ(events, QStringList({"before", "after"}));
    EXPECT_EQ(f.w->windowTitle(), QStringLiteral("Fan-coil selection"));
    EXPECT_EQ(f.button->text(), QStringLiteral("Calculate"));
    EXPECT_EQ(f.label2->text(), QStringLiteral("Relative humidity"));
    EXPECT_EQ(f.check->text(), QStringLiteral("List price"));
    EXPECT_EQ(f.sconto->text(), QStringLiteral("Discounts"));
    EXPECT_EQ(f.operazione->title(), QStringLiteral("Operation"));
    EXPECT_EQ(fc::GetStringListProperty(f.operazione, "Items"),
              QStringList({"Rating", "Capacity selection", "", "Air flow selection"}));
    EXPECT_EQ(f.gruppo->title(), QStringLiteral("Heating"));
    EXPECT_EQ(qobject_cast<QTabWidget*>(f.w->findChild<QTabWidget*>())->tabText(0), QStringLiteral("Unit"));
    EXPECT_EQ(f.file->title(), QStringLiteral("&File"));
    EXPECT_EQ(f.quit->text(), QStringLiteral("&Quit"));
    EXPECT_EQ(f.edit7->text(), QStringLiteral("10"));
    EXPECT_EQ(f.memo->toPlainText(), QStringLiteral("First line\nSecond line"));
    EXPECT_EQ(fc::GetStringListProperty(f.fluido, "Items"), QStringList({"Water", "Glycol"}));
    EXPECT_EQ(f.fluido->currentText(), QStringLiteral("Glycol"));
    EXPECT_EQ(fc::GetStringListProperty(f.lista, "Items"), QStringList({"One", "Two"}));
    EXPECT_EQ(fc::GetStringListProperty(f.modelli, "Items"), QStringList({"Model A", "Model B", "Model C"}));
    EXPECT_EQ(f.modelli->item(2)->checkState(), Qt::Checked); // ticks stay

    // An empty entry leaves the property and fires nothing; OldValue is the
    // text before, or empty for a list.
    EXPECT_EQ(f.edit8->text(), QStringLiteral("resta"));
    ASSERT_EQ(calls.size(), kPaths.size() - 1);
    EXPECT_EQ(calls[1].component, f.button);
    EXPECT_EQ(calls[1].property, QStringLiteral("Caption"));
    EXPECT_EQ(calls[1].oldValue, QStringLiteral("Calcola"));
    EXPECT_EQ(calls[1].newValue, QStringLiteral("Calculate"));
    EXPECT_EQ(calls[6].oldValue, QString()); // Operazione.Items
    for (const Call& c : calls)
        EXPECT_NE(c.component, f.edit8);
}

// A translation renames the choices of a group or list; how many there are
// is the program's: missing items keep their text, extra ones are ignored.
TEST_F(LanguageTest, ItemsKeepTheProgramsNumberOfChoices)
{
    QStringList many;
    for (int i = 1; i <= 500; ++i)
        many << QStringLiteral("Item %1").arg(i);
    struct Case {
        const char* what;
        QString value;
        QStringList operazione, fluido, modelli;
    } cases[] = {
        {"shorter", "One", {"One", "Selezione per resa", "Vuota", "Selezione per portata"}, {"One", "Glicole"},
         {"One", "M2", "M3"}},
        {"longer", many.join(','), many.mid(0, 4), many.mid(0, 2), many.mid(0, 3)},
        {"exact", "a,b,c,d", {"a", "b", "c", "d"}, {"a", "b"}, {"a", "b", "c"}},
    };
    f.w->setObjectName("NotThisOne"); // each case has a fresh form of its own
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeForm form;
        TLanguage l(form.w);
        l.SetSeparator(",");
        l.SetProperties({"DodedaVO.Operazione.Items", "DodedaVO.Fluido.Items", "DodedaVO.ListaModelli.Items",
                         "DodedaVO.Memo1.Lines"});
        fc::test::ScopedProgramFolder folder;
        const QString v = c.value;
        folder.write("l.lng", QStringLiteral("[Translations]\nDodedaVO.Operazione.Items=%1\nDodedaVO.Fluido.Items=%1\n"
                                             "DodedaVO.ListaModelli.Items=%1\nDodedaVO.Memo1.Lines=%1\n")
                                  .arg(v)
                                  .toUtf8());
        form.fluido->setCurrentIndex(1);
        l.SetLanguageFile(folder.file("l.lng"));
        l.Translate();
        EXPECT_EQ(fc::GetStringListProperty(form.operazione, "Items"), c.operazione);
        EXPECT_EQ(form.operazione->findChildren<QRadioButton*>().size(), 4);
        EXPECT_EQ(fc::GetStringListProperty(form.fluido, "Items"), c.fluido);
        EXPECT_EQ(form.fluido->currentIndex(), 1);
        EXPECT_EQ(fc::GetStringListProperty(form.modelli, "Items"), c.modelli);
        EXPECT_EQ(form.modelli->item(2)->checkState(), Qt::Checked);
        // A memo's lines are text, not choices: they take the file's lines
        // (of a value cut to 2047 characters).
        EXPECT_EQ(fc::GetStringListProperty(form.memo, "Lines")->size(), SplitCount(v.left(2047)));
    }
}

TEST_F(LanguageTest, PathRules)
{
    // Blanks around segments, other case, a blank line, a component that is
    // not there, a property that is not there.
    lang.SetProperties({" DodedaVO . Button1 . Caption ", "dodedavo.label2.CAPTION", "   ", "",
                        "DodedaVO.Nessuno.Caption", "Nessuno.Button1.Caption", "DodedaVO.Label2.Colore",
                        "DodedaVO.Caption.Caption"});
    lang.TranslateProperty(" DodedaVO . Button1 . Caption ", "Calculate");
    EXPECT_EQ(f.button->text(), QStringLiteral("Calculate"));
    lang.TranslateProperty("dodedavo.label2.CAPTION", "Humidity");
    EXPECT_EQ(f.label2->text(), QStringLiteral("Humidity"));
    calls.clear();

    lang.TranslateProperty("DodedaVO.Nessuno.Caption", "x");
    lang.TranslateProperty("Nessuno.Button1.Caption", "x");
    lang.TranslateProperty("DodedaVO.Button1.Caption.Extra", "x");
    lang.TranslateProperty("   ", "x");
    EXPECT_TRUE(calls.isEmpty()); // a chain that does not resolve fires nothing

    // The component is there but not the property: fired with no OldValue,
    // nothing assigned.
    lang.TranslateProperty("DodedaVO.Label2.Colore", "red");
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].component, f.label2);
    EXPECT_EQ(calls[0].property, QStringLiteral("Colore"));
    EXPECT_EQ(calls[0].oldValue, QString());
    EXPECT_EQ(f.label2->text(), QStringLiteral("Humidity"));

    // An empty value fires nothing.
    lang.TranslateProperty("DodedaVO.Label2.Caption", "");
    EXPECT_EQ(calls.size(), 1);

    // Keys with the blanks of the path line are looked up trimmed.
    fc::test::ScopedProgramFolder folder;
    folder.write("blanks.lng", "[Translations]\n DodedaVO . Button1 . Caption =Compute\n");
    lang.SetLanguageFile(folder.file("blanks.lng"));
    lang.SetProperties({" DodedaVO . Button1 . Caption ", "   "});
    lang.Translate();
    EXPECT_EQ(f.button->text(), QStringLiteral("Compute"));
}

TEST_F(LanguageTest, OnTranslateMayRewriteTheValue)
{
    lang.OnTranslate = [](TLanguage*, QObject* c, const QString& p, const QString&, QString& n) {
        if (p == "Caption")
            n = "[" + n + "]";
        if (c->objectName() == "edit7")
            n.clear(); // also to the empty text, which is then assigned
    };
    lang.SetLanguageFile(fixture("english.lng"));
    lang.Translate();
    EXPECT_EQ(f.button->text(), QStringLiteral("[Calculate]"));
    EXPECT_EQ(f.edit7->text(), QString());
}

// Components are looked up by their names as they stand at each path: one
// deleted or renamed by a handler earlier in the translation is not reached.
TEST_F(LanguageTest, AComponentGoneOrRenamedMeanwhileIsNotReached)
{
    QObject* checkListino = f.w->findChild<QObject*>("CheckListino");
    ASSERT_NE(checkListino, nullptr);
    auto* other = named<QLabel>(f.w, "OtherLabel");
    lang.OnTranslate = [&](TLanguage*, QObject* c, const QString&, const QString&, QString&) {
        calls.append({c, {}, {}, {}});
        if (c == f.button) {
            delete f.label2;
            f.label2 = nullptr;
            checkListino->setObjectName("Renamed");
            other->setObjectName("label2"); // now the only one of that name
        }
    };
    lang.SetLanguageFile(fixture("english.lng"));
    lang.Translate();
    QList<QObject*> reached;
    for (const Call& c : calls)
        reached << c.component;
    EXPECT_TRUE(reached.contains(f.button));
    EXPECT_FALSE(reached.contains(checkListino));
    EXPECT_TRUE(reached.contains(other));
    EXPECT_EQ(events, QStringList({"before", "after"}));
}

TEST_F(LanguageTest, IntegerThatIsNotANumberStopsTheTranslation)
{
    fc::test::ScopedProgramFolder folder;
    folder.write("bad.lng",
                 "[Translations]\n"
                 "DodedaVO.Button1.Caption=Calculate\n"
                 "DodedaVO.edit7.MaxLength=$1F\n"
                 "DodedaVO.Button1.Width=wide\n"
                 "DodedaVO.Label2.Caption=Never\n");
    lang.SetLanguageFile(folder.file("bad.lng"));
    lang.SetProperties({"DodedaVO.Button1.Caption", "DodedaVO.edit7.MaxLength", "DodedaVO.Button1.Width",
                        "DodedaVO.Label2.Caption"});
    try {
        lang.Translate();
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'wide' is not a valid integer value"));
    }
    EXPECT_EQ(f.button->text(), QStringLiteral("Calculate"));
    EXPECT_EQ(f.edit7->maxLength(), 31);
    EXPECT_EQ(f.label2->text(), QStringLiteral("Umidità relativa"));
    EXPECT_EQ(events, QStringList({"before"}));
}

TEST_F(LanguageTest, MissingFileChangesNothing)
{
    fc::test::ScopedProgramFolder folder;
    lang.SetLanguageFile(folder.file("missing.lng"));
    lang.Translate();
    EXPECT_EQ(events, QStringList({"before", "after"}));
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(f.button->text(), QStringLiteral("Calcola"));
    EXPECT_EQ(lang.Msg("Velocità"), QStringLiteral("Velocità"));
}

TEST_F(LanguageTest, AnotherFileKeepsWhatTheFirstGaveWhereItHasNoEntry)
{
    lang.SetLanguageFile(fixture("english.lng"));
    lang.SetProperties({"DodedaVO.Label5.Caption", "DodedaVO.Button1.Caption"});
    lang.Translate();
    lang.SetLanguageFile(fixture("czech.lng"));
    lang.Translate();
    EXPECT_EQ(f.label5->text(), QStringLiteral("Only in English"));
    EXPECT_EQ(f.button->text(), QStringLiteral("Výpočet")); // code page 1250
}

TEST_F(LanguageTest, MessagesInEachEncoding)
{
    struct Case {
        const char* file;
        const char* text;
        const char* expected;
    } cases[] = {
        {"english.lng", "Umidità relativa", "Relative humidity"},
        {"english.lng", "UMIDITÀ RELATIVA", "Relative humidity"},
        {"english.lng", "Velocità", "Speed"},
        {"english.lng", "Messaggio vuoto", ""},
        {"english.lng", "Non tradotto", "Non tradotto"},
        {"english.lng", "", ""},
        // Keys are code page 1252 text whatever the file's character set.
        {"czech.lng", "Umidità relativa", "Relativní vlhkost č"},
        {"czech.lng", "Velocità", "Rychlost"},
        {"russian-utf8.lng", "Umidità relativa", "Относительная влажность"},
        {"russian-utf8.lng", "Velocità", "Скорость"},
    };
    for (const Case& c : cases) {
        lang.SetLanguageFile(fixture(c.file));
        EXPECT_EQ(lang.Msg(QString::fromUtf8(c.text)), QString::fromUtf8(c.expected)) << c.file << ": " << c.text;
    }
    lang.SetLanguageFile(fixture("russian-utf8.lng"));
    lang.SetProperties({"DodedaVO.Button1.Caption"});
    lang.Translate();
    EXPECT_EQ(f.button->text(), QStringLiteral("Расчёт"));
}

TEST_F(LanguageTest, MsgSeesTheFileChange)
{
    fc::test::ScopedProgramFolder folder;
    const QString path = folder.file("it.lng");
    lang.SetLanguageFile(path);
    EXPECT_EQ(lang.Msg("Velocità"), QStringLiteral("Velocità")); // not there yet
    folder.write("it.lng", "[Messages]\nVelocità=Speed\n");
    EXPECT_EQ(lang.Msg("Velocità"), QStringLiteral("Speed"));

    // Same size, other time.
    folder.write("it.lng", "[Messages]\nVelocità=Speeb\n");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    file.close();
    EXPECT_EQ(lang.Msg("Velocità"), QStringLiteral("Speeb"));

    // Other size.
    folder.write("it.lng", "[Messages]\nVelocità=Velocity\n");
    EXPECT_EQ(lang.Msg("Velocità"), QStringLiteral("Velocity"));

    // Another file name.
    folder.write("en.lng", "[Messages]\nVelocità=Fan speed\n");
    lang.SetLanguageFile(folder.file("en.lng"));
    EXPECT_EQ(lang.Msg("Velocità"), QStringLiteral("Fan speed"));

    QFile::remove(folder.file("en.lng"));
    EXPECT_EQ(lang.Msg("Velocità"), QStringLiteral("Velocità"));
}

TEST(Language, SeparatorAndListSplit)
{
    TLanguage lang;
    EXPECT_EQ(lang.LanguageFile(), QString());
    EXPECT_EQ(lang.Separator(), QString());
    EXPECT_TRUE(lang.Properties().isEmpty());
    lang.SetSeparator("   ");
    EXPECT_EQ(lang.Separator(), QStringLiteral(","));
    lang.SetSeparator("");
    EXPECT_EQ(lang.Separator(), QStringLiteral(","));
    lang.SetSeparator(" ; ");
    EXPECT_EQ(lang.Separator(), QStringLiteral(" ; "));

    struct Case {
        const char* text;
        const char* separator;
        QStringList items;
    } cases[] = {
        {"a, b,, d,", ",", {"a", "b", "", "d"}},
        {"a, b,, d", ",", {"a", "b", "", "d"}},
        {" a ", ",", {"a"}},
        {"", ",", {}},
        {"   ", ",", {}},
        {",", ",", {""}},
        {",,", ",", {"", ""}},
        {"a ; b;c", " ; ", {"a", "b;c"}},
        {"a||b||", "||", {"a", "b"}},
        {" a,b ", "", {"a,b"}},
        {"  ", "", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TLanguage::SplitList(c.text, c.separator), c.items) << c.text << " / " << c.separator;
}
