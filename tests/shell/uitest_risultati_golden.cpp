// The result grid after whole calculation runs, and the main window's texts
// after the translation at start-up, against checked-in golden files: every
// row's height and every cell's text, display lines, colour, alignment and
// weight; every published text and list of every component of the window;
// in the English texts of the demo language file.
#include <QDir>
#include <QFile>
#include <QRadioButton>

#include "ShellFixture.h"
#include "components/OvNumEdit.h"
#include "platform/CheckListBox.h"
#include "platform/Components.h"
#include "platform/Font.h"
#include "platform/Numbers.h"
#include "platform/PublishedProperties.h"
#include "platform/RadioGroup.h"
#include "ui_TDodedaVO.h" // read by the layout generator, which does not look into ShellFixture.h

using namespace fc::test;

namespace {

class RisultatiGolden : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        sep = std::make_unique<ScopedSeparators>('.', ',');
        standardFolder(true);
        open();
    }
    void run()
    {
        for (int i = 0; i < 5 && pageName() != "Calcola"; ++i)
            f().Avanti->click();
        ASSERT_EQ(pageName(), "Calcola") << dialogs.messages().join('|').toStdString();
        f().BitBtnCalc->click();
        ASSERT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    }
    // Every string and list property of every component of the window.
    QString windowText()
    {
        QString out;
        for (QObject* o : fc::OwnedComponents(window.get())) {
            for (const QString& name : fc::PublishedPropertyNames(o)) {
                const auto p = fc::FindPublishedProperty(o, name);
                if (p->kind == fc::PropertyKind::String && p->getString)
                    out += o->objectName() + u'.' + name + u'=' + p->getString(o) + u'\n';
                else if (p->kind == fc::PropertyKind::StringList && p->getList)
                    out += o->objectName() + u'.' + name + u'=' + p->getList(o).join(QStringLiteral("|")) + u'\n';
            }
        }
        return out;
    }
    QString gridText()
    {
        QString out;
        for (int r = 0; r < g().RowCount(); ++r) {
            out += QString::number(g().RowHeights(r));
            for (int c = 0; c < g().ColCount(); ++c) {
                const TProfGridCell& x = g().Cell(c, r);
                out += QStringLiteral(" |%1 [%2] %3 %4%5")
                           .arg(x.Text(), x.Lines().join(u'/'))
                           .arg(qint64(x.Color()))
                           .arg(int(x.Alignment()))
                           .arg(x.Font().Bold() ? QStringLiteral(" bold") : QString());
            }
            out += u'\n';
        }
        return out;
    }
    void compare(const QString& name) { compareText(name, gridText()); }
    void compareText(const QString& name, const QString& got)
    {
        ExpectGoldenText(got, testDataDir() + QStringLiteral("data/") + name);
    }
    std::unique_ptr<ScopedSeparators> sep;
};

} // namespace

TEST_F(RisultatiGolden, CoolingAndHeatingOfEveryListedModelRunTwice)
{
    f().Calcolo->Button(2)->click();
    run();
    compare(QStringLiteral("risultati_raff_risc.txt"));
    // A second run replaces the rows of the first.
    f().ListaModelli->SetChecked(1, false);
    run();
    compare(QStringLiteral("risultati_raff_risc_secondo.txt"));
}

TEST_F(RisultatiGolden, SelectionByCapacityWithDifferenceRows)
{
    f().Operazione->Button(1)->click();
    f().Calcolo->Button(2)->click();
    f().Avanti->click();
    f().Avanti->click();
    ASSERT_EQ(pageName(), "Riscaldamento");
    f().ResaRichCaldoWatt->SetValue(2500);
    f().Avanti->click();
    f().ResaRichFreddoWatt->SetValue(1400);
    run();
    compare(QStringLiteral("risultati_resa.txt"));
}

TEST_F(RisultatiGolden, SelectionByAirFlowWithDifferenceRows)
{
    f().Operazione->Button(2)->click();
    f().Avanti->click();
    f().MetriCubiOra->SetValue(250);
    run();
    compare(QStringLiteral("risultati_portata_aria.txt"));
}

TEST_F(RisultatiGolden, FourPipeHeatingWithCoolingCheck)
{
    chooseInstallation(QStringLiteral("4 pipes"));
    f().Calcolo->Button(4)->click();
    run();
    compare(QStringLiteral("risultati_4tubi.txt"));
}

TEST_F(RisultatiGolden, EveryTextOfTheMainWindowInEnglish)
{
    compareText(QStringLiteral("finestra_english.txt"), windowText());
}
