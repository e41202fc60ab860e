// The grid exports of a result-sized grid: on the recording server (the
// statement walk alone) and through the file backend (the written files).

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "components/ProfGrid.h"
#include "platform/Office.h"
#include "platform/ShellOpen.h"

namespace {

void Fill(TProfGrid& g, int cols, int rows)
{
    g.BeginUpdate();
    g.SetColCount(cols);
    g.SetRowCount(rows);
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r)
            g.Cell(c, r).SetText(QStringLiteral("%1,%2").arg(c).arg(r));
    for (int c = 0; c + 1 < cols; c += 2)
        g.MergeCells(c, 0, c + 1, 0);
    g.EndUpdate();
}

template <bool Word>
void Recording(benchmark::State& state)
{
    FixedPitchMeasurer m;
    TProfGrid g;
    g.SetTextMeasurer(&m);
    Fill(g, 20, int(state.range(0)));
    for (auto _ : state) {
        ScopedRecordingOffice office;
        benchmark::DoNotOptimize(Word ? g.ExportToWord(true) : g.ExportToExcel(true));
    }
}

template <bool Word>
void Files(benchmark::State& state)
{
    FixedPitchMeasurer m;
    TProfGrid g;
    g.SetTextMeasurer(&m);
    Fill(g, 20, int(state.range(0)));
    QTemporaryDir dir;
    RecordingShellOpen shell;
    FileOffice office;
    office.SetOutputFolder(dir.path());
    office.SetShell(&shell);
    fc::SetOffice(&office);
    for (auto _ : state)
        benchmark::DoNotOptimize(Word ? g.ExportToWord(true) : g.ExportToExcel(true));
    fc::SetOffice(nullptr);
}

} // namespace

BENCHMARK(Recording<true>)->Name("WordRecording")->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(Recording<false>)->Name("ExcelRecording")->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(Files<true>)->Name("WordFile")->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(Files<false>)->Name("ExcelFile")->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
