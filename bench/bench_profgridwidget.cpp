// The grid widget with a result grid's worth of rows: a full repaint of the
// client area, moving the current cell down the grid, and copying every
// row to the clipboard.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPainter>

#include "BenchSupport.h"
#include "components/ProfGridWidget.h"
#include "platform/QtTextMeasurer.h"

namespace {

void Fill(TProfGridWidget& g, int blocks)
{
    g.BeginUpdate();
    g.SetFixedRows(0);
    g.SetRowCount(blocks * 11);
    g.SetFixedCols(2);
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < 5; ++c) {
            TProfGridCell& cell = g.Cell(c, r);
            cell.SetText(QStringLiteral("%1.%2 kW").arg(r).arg(c));
            if (c >= 2)
                cell.SetAlignment(taRightJustify);
        }
    g.EndUpdate();
}

void Repaint(benchmark::State& state)
{
    TProfGridWidget g;
    g.resize(800, 600);
    Fill(g, 100);
    g.SyncWithModel();
    QImage img(g.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        g.viewport()->render(&img);
        benchmark::DoNotOptimize(img.bits());
    }
}
BENCHMARK(Repaint)->Unit(benchmark::kMillisecond);

void MoveDown(benchmark::State& state)
{
    TProfGridWidget g;
    g.resize(800, 600);
    Fill(g, 100);
    g.SyncWithModel();
    for (auto _ : state) {
        g.SelectCell(2, 0);
        for (int r = 1; r < g.RowCount(); ++r) {
            int key = Qt::Key_Down;
            g.KeyDown(key, Qt::NoModifier);
        }
    }
    state.SetItemsProcessed(state.iterations() * (g.RowCount() - 1));
}
BENCHMARK(MoveDown)->Unit(benchmark::kMillisecond);

void CopyAll(benchmark::State& state)
{
    TProfGridWidget g;
    Fill(g, 100);
    TProfGridSelection& s = g.Selection();
    for (auto _ : state) {
        s.BeginUpdate();
        s.SetLeft(0);
        s.SetTop(0);
        s.SetRight(g.ColCount() - 1);
        s.SetBottom(g.RowCount() - 1);
        s.EndUpdate();
        benchmark::DoNotOptimize(s.CopyToClipboard());
    }
    state.SetItemsProcessed(state.iterations() * g.RowCount() * g.ColCount());
}
BENCHMARK(CopyAll)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return fc::bench::RunWithApplication(argc, argv);
}
