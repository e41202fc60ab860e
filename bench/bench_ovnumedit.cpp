// Pasting into a numeric edit: every character goes through the key rules,
// on one copy of the text, so the time grows with the clipboard's length.
#include <QApplication>
#include <QClipboard>
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include "components/OvNumEdit.h"
#include "platform/Beep.h"

namespace {

void BM_PasteDigits(benchmark::State& state)
{
    const QString clip(int(state.range(0)), u'7');
    QGuiApplication::clipboard()->setText(clip);
    TOvNumEdit e;
    for (auto _ : state) {
        e.selectAll();
        e.PasteFromClipboard();
        benchmark::DoNotOptimize(e.Text());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PasteDigits)->RangeMultiplier(4)->Range(250, 16000)->Complexity();

void BM_TypeDigits(benchmark::State& state)
{
    TOvNumEdit e;
    for (auto _ : state) {
        e.SetText(QStringLiteral("0"));
        e.SetSelStart(1);
        for (int i = 0; i < 200; ++i) {
            QChar k(u'3');
            e.KeyPress(k);
        }
        benchmark::DoNotOptimize(e.Text());
    }
}
BENCHMARK(BM_TypeDigits);

} // namespace

int main(int argc, char** argv)
{
    fc::SetBeepSound(+[] {});
    return fc::bench::RunWithApplication(argc, argv);
}
