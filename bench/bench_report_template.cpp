// Template text of a report of 200 bands: writing, reading, and the byte
// form; word wrapping of a long cell text.
#include <benchmark/benchmark.h>

#include "ARRep.h"

namespace {
TARRep& bigReport()
{
    static TARRep* rep = [] {
        auto* r = new TARRep;
        r->ClearBands();
        for (int i = 0; i < 200; ++i) {
            TARBand* b = r->AddBand();
            for (int j = 0; j < b->CellCount(); ++j)
                b->GetCell(j)->SetValue(QStringLiteral("Model [MODEL%1] at [SPEED] %2").arg(j).arg(i));
        }
        return r;
    }();
    return *rep;
}
} // namespace

static void BM_WriteTemplate(benchmark::State& state)
{
    TARRep& rep = bigReport();
    for (auto _ : state)
        benchmark::DoNotOptimize(rep.ARTemplate());
}
BENCHMARK(BM_WriteTemplate)->Unit(benchmark::kMillisecond);

static void BM_ReadTemplate(benchmark::State& state)
{
    const QStringList lines = bigReport().ARTemplate();
    for (auto _ : state) {
        TARRep rep;
        rep.SetARTemplate(lines);
        benchmark::DoNotOptimize(rep.BandCount());
    }
}
BENCHMARK(BM_ReadTemplate)->Unit(benchmark::kMillisecond);

static void BM_DecodeTemplateBytes(benchmark::State& state)
{
    const QByteArray bytes = ar::EncodeTemplateLines(bigReport().ARTemplate());
    for (auto _ : state)
        benchmark::DoNotOptimize(ar::DecodeTemplateLines(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_DecodeTemplateBytes)->Unit(benchmark::kMillisecond);

static void BM_TextHeightWrapped(benchmark::State& state)
{
    FixedPitchMeasurer m;
    TCanvas canvas(nullptr, &m);
    QString text;
    for (int i = 0; i < 100; ++i)
        text += QStringLiteral("word%1 ").arg(i);
    for (auto _ : state)
        benchmark::DoNotOptimize(TextHeight(canvas, text, 150, 0, false, true));
}
BENCHMARK(BM_TextHeightWrapped);

BENCHMARK_MAIN();
