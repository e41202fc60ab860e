// Filling the grid model as the result grid is filled: text, colour,
// alignment and bold font per cell, inside one update bracket, then reset.

#include <benchmark/benchmark.h>

#include "components/ProfGrid.h"

namespace {

void FillBlocks(benchmark::State& state)
{
    const int blocks = int(state.range(0));
    FixedPitchMeasurer m(6, 13);
    TProfGrid g;
    g.SetTextMeasurer(&m);
    g.SetFixedRows(0);
    g.SetRowCount(1);
    g.SetFixedCols(2);
    g.SetWordWrap(false);
    for (auto _ : state) {
        g.BeginUpdate();
        for (int b = 0; b < blocks; ++b) {
            const int h = g.RowCount();
            g.SetRowCount(h + 11);
            for (int r = h; r < h + 11; ++r)
                for (int c = 0; c < 5; ++c) {
                    TProfGridCell& cell = g.Cell(c, r);
                    cell.SetText(QStringLiteral("%1.%2").arg(r).arg(c));
                    if (c >= 2)
                        cell.SetAlignment(taRightJustify);
                    if (r == h)
                        cell.SetColor(clSilver);
                }
            g.Cell(4, h + 3).SetFontStyle(fsBold);
        }
        g.EndUpdate();
        g.SetRowCount(1);
    }
    state.SetItemsProcessed(state.iterations() * blocks * 11 * 5);
}
BENCHMARK(FillBlocks)->Arg(2)->Arg(100);

// One cell text change outside a bracket: the band of its row only.
void SetTextOutsideBracket(benchmark::State& state)
{
    FixedPitchMeasurer m(6, 13);
    TProfGrid g;
    g.SetTextMeasurer(&m);
    g.SetRowCount(1000);
    int i = 0;
    for (auto _ : state)
        g.Cell(2, 500).SetText(QStringLiteral("word %1 and more words to wrap").arg(++i));
}
BENCHMARK(SetTextOutsideBracket);

} // namespace

BENCHMARK_MAIN();
