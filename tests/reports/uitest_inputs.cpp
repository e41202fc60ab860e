// The main window's controls read as report inputs, and a report built from
// them; the progress bar of a build.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>

#include "ReportsFixture.h"
#include "components/OvNumEdit.h"
#include "platform/CheckListBox.h"
#include "platform/ComboBox.h"
#include "platform/RadioGroup.h"
#include "report/ARPrintProgress.h"
#include "shell/ClientData.h"

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

// Records the progress bar of every progress dialog as it closes.
class ProgressWatch : public QObject {
public:
    ProgressWatch() { qApp->installEventFilter(this); }
    ~ProgressWatch() override { qApp->removeEventFilter(this); }
    std::vector<std::pair<int, int>> closed; // maximum, value
    std::vector<QString> captions;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Hide)
            if (auto* d = qobject_cast<TPrintProgressDlg*>(o)) {
                closed.emplace_back(d->ProgressBar->maximum(), d->ProgressBar->value());
                captions.push_back(d->windowTitle());
            }
        return false;
    }
};

TEST_F(Inputs, ProgressBarRunsToFortyStepsAPage)
{
    models(10);
    in.Prezzi.CheckListino = in.Prezzi.CheckMoltiplica = in.Prezzi.CheckNetto = true;
    in.Prezzi.moltiplicatore = true;
    struct Case {
        bool (*build)(const TReportInputs&, TFormPrew&);
        int models, maximum, value;
    } cases[] = {
        // 1 after loading, then 29 a page with both groups and three price rows.
        {&reportUnaVelocita, 10, 80, 59},
        {&reportTreVelocita, 10, 80, 59},
        // 1, then 19 a model.
        {&reportPannello, 3, 120, 58},
    };
    for (const Case& c : cases) {
        in.ModelliSpuntati = in.ModelliSpuntati.mid(0, c.models);
        ProgressWatch watch;
        ASSERT_TRUE(c.build(in, form));
        ASSERT_EQ(watch.closed.size(), 1u);
        EXPECT_EQ(watch.captions[0], "Report");
        EXPECT_EQ(watch.closed[0].first, c.maximum);
        EXPECT_EQ(watch.closed[0].second, c.value);
        models(0);
        in.ModelliSpuntati.clear();
        for (int k = 1; k <= 10; ++k)
            in.ModelliSpuntati << ListaMacchine.Strings(k - 1);
    }
}

} // namespace
