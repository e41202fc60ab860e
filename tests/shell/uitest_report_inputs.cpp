// The main window's controls read as report inputs, and the report built
// from them.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "components/OvNumEdit.h"
#include "platform/CheckListBox.h"
#include "platform/ComboBox.h"
#include "platform/RadioGroup.h"
#include "shell/ClientData.h"
#include "shell/ReportMainWindow.h"
#include "tests/reports/ReportsFixture.h"

using namespace rtest;

namespace {

using Inputs = ReportsTest;

template <class W>
W* find(QObject& o, const char* name)
{
    W* w = o.findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

TEST_F(Inputs, MainWindowControlsBecomeReportInputs)
{
    // No catalogue in the folder: the window reports it and keeps its controls.
    TDodedaVO main;
    dialogs.clear();
    models(3);
    auto* list = find<TCheckListBox>(main, "ListaModelli");
    list->SetItems(in.ModelliSpuntati);
    list->SetChecked(0, true);
    list->SetChecked(1, false);
    list->SetChecked(2, true);
    auto* version = find<TComboBox>(main, "ListaVersion");
    version->addItem(QStringLiteral("V1"));
    version->SetText(QStringLiteral("V1"));
    find<QLabel>(main, "DescVersione")->setText(QStringLiteral("Verticale"));
    find<QLabel>(main, "Rif")->setText(QStringLiteral("Rif.:"));
    find<QLineEdit>(main, "Riferimento")->setText(QStringLiteral("Hotel/Nord"));
    find<QCheckBox>(main, "CheckListino")->setChecked(true);
    find<QCheckBox>(main, "CheckSconto")->setChecked(true);
    find<QCheckBox>(main, "CheckMoltiplica")->setChecked(false);
    find<QCheckBox>(main, "CheckNetto")->setChecked(true);
    find<QRadioButton>(main, "Sconto")->setChecked(true);
    find<TOvNumEdit>(main, "Sconto1")->SetValue(10);
    find<TOvNumEdit>(main, "Sconto2")->SetValue(0);
    find<TOvNumEdit>(main, "Sconto3")->SetValue(5);
    find<TRadioGroup>(main, "TipoReport")->SetItemIndex(1);

    const TReportInputs got = leggiReportInputs(main);
    EXPECT_EQ(got.ModelliSpuntati, (QStringList{in.ModelliSpuntati[0], in.ModelliSpuntati[2]}));
    EXPECT_EQ(got.Versione, "V1");
    EXPECT_EQ(got.DescVersione, "Verticale");
    EXPECT_EQ(got.CaptionRif, "Rif.:");
    EXPECT_EQ(got.Riferimento, "Hotel/Nord");
    EXPECT_TRUE(got.Prezzi.CheckListino && got.Prezzi.CheckSconto && got.Prezzi.CheckNetto);
    EXPECT_FALSE(got.Prezzi.CheckMoltiplica);
    EXPECT_TRUE(got.Prezzi.Sconto);
    EXPECT_FALSE(got.Prezzi.moltiplicatore);
    EXPECT_EQ(got.Prezzi.Sconto1, 10);
    EXPECT_EQ(got.Prezzi.Sconto3, 5);
    EXPECT_EQ(got.TipoReport, 1);
    EXPECT_EQ(got.Lingua, main.Language1);

    ASSERT_TRUE(costruisciReport(main, form));
    EXPECT_EQ(form.UserRep->Path(), pf.file("Rep1Vel.AR"));
    EXPECT_EQ(cell(bands("Modelli")[0], 3), "FC-03");
    EXPECT_EQ(cell(bands("Riferimento")[0], 0), "Rif.: Hotel/Nord");
    EXPECT_EQ(cell(bands("ScontoMolt")[0], 2), "10+5");
    ASSERT_TRUE(form.TestoRiferimento);
    EXPECT_EQ(form.TestoRiferimento(), "Hotel/Nord");
    find<QLineEdit>(main, "Riferimento")->setText(QString());
    EXPECT_EQ(form.TestoRiferimento(), ""); // read when the PDF is saved, not at the build
}

} // namespace
