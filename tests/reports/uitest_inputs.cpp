// The progress bar of a report build.
#include <QApplication>
#include <QProgressBar>

#include "ReportsFixture.h"
#include "report/ARPrintProgress.h"

using namespace rtest;

namespace {

using Inputs = ReportsTest;

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
