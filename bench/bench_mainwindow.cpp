// The main window on catalogues 1, 10, 100 and 1000 times the demo: what a
// user waits on between starting the program and the first page (the window
// created and its catalogue loaded, the version box and model list filled),
// and after each choice on the first page. The choices go back and forth
// between two values, as a user trying a family, an installation or a version
// does; each iteration is one choice with everything it refreshes (versions,
// pictures, the model list with its pressure columns).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "BenchSupport.h"
#include "BenchCatalogue.h"
#include "engine/Catalogo.h"
#include "engine/Records.h"
#include "platform/ComboBox.h"
#include "platform/MainWindowLink.h"
#include "platform/QtTextMeasurer.h"
#include "shell/ClientData.h"
#include "ui_TDodedaVO.h"

namespace {

void resetEngine()
{
    ResetEngineRecords();
    ListaMacchine.Clear();
    ListaVersioni.Clear();
}

std::unique_ptr<TDodedaVO> openWindow()
{
    auto w = std::make_unique<TDodedaVO>();
    w->resize(1060, 640);
    return w;
}

void choose(TComboBox* box, const QString& text)
{
    const int i = box->findText(text);
    if (i < 0)
        throw std::runtime_error("no item " + text.toStdString());
    box->setCurrentIndex(i);
    emit box->activated(i);
}

// Window creation: the form, the catalogue files opened and loaded, the
// first family's installations, versions and model list.
void BM_MainWindowCreate(benchmark::State& state)
{
    fc::bench::ScaledCatalogue cat(int(state.range(0)));
    cat.use();
    for (auto _ : state) {
        resetEngine();
        auto w = openWindow();
        benchmark::DoNotOptimize(w->form().ListaModelli->Count());
        state.PauseTiming();
        w.reset();
        fc::SetMainWindow(nullptr);
        state.ResumeTiming();
    }
    state.counters["models"] = double(ListaMacchine.Count());
    resetEngine();
}
BENCHMARK(BM_MainWindowCreate)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// One choice in a box, alternating between a and b; a window of the
// catalogue is open with family on screen.
template <class Choose>
void runChoice(benchmark::State& state, const QString& family, Choose&& chooseOne)
{
    fc::bench::ScaledCatalogue cat(int(state.range(0)));
    cat.use();
    resetEngine();
    auto w = openWindow();
    choose(w->form().ListaFamiglie, family);
    bool flip = false;
    for (auto _ : state) {
        chooseOne(*w, flip);
        flip = !flip;
        benchmark::DoNotOptimize(w->form().ListaModelli->Count());
    }
    state.counters["listed"] = double(w->form().ListaModelli->Count());
    w.reset();
    fc::SetMainWindow(nullptr);
    resetEngine();
}

// Family: VENTO (two installations, several versions) and CANAL in turn.
void BM_ChooseFamily(benchmark::State& state)
{
    runChoice(state, QStringLiteral("VENTO"), [](TDodedaVO& w, bool flip) {
        choose(w.form().ListaFamiglie, flip ? QStringLiteral("VENTO") : QStringLiteral("CANAL"));
    });
}
BENCHMARK(BM_ChooseFamily)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// Installation of the family VENTO: its second and first entries in turn.
void BM_ChooseInstallation(benchmark::State& state)
{
    runChoice(state, QStringLiteral("VENTO"), [](TDodedaVO& w, bool flip) {
        TComboBox* box = w.form().ListaImpianti;
        choose(box, box->itemText(flip ? 0 : 1));
    });
}
BENCHMARK(BM_ChooseInstallation)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// Version of the family VENTO: its second and first codes in turn.
void BM_ChooseVersion(benchmark::State& state)
{
    runChoice(state, QStringLiteral("VENTO"), [](TDodedaVO& w, bool flip) {
        TComboBox* box = w.form().ListaVersion;
        choose(box, box->itemText(flip ? 0 : 1));
    });
}
BENCHMARK(BM_ChooseVersion)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return fc::bench::RunWithApplication(argc, argv);
}
