// Memory of the catalogue in the running program, with the demo catalogue
// repeated 1, 10, 100 and 1000 times.
//
// BM_DatasetRecords: the heap the two catalogue tables (cdsMacchine,
// cdsVersioni) hold once opened, from malloc's statistics, per record.
// BM_CaricaDati: the same tables plus what the engine builds from them at
// start-up (caricaDati: ListaVersioni, ListaMacchine), per record.
// BM_IdleMainWindow: the resident size of a program that has opened its
// main window on the catalogue (offscreen, in a child process of its own so
// that nothing else of this process counts), as a user's program sits idle
// after start-up.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QProcess>
#include <QString>
#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <unistd.h>

#include "BenchCatalogue.h"
#include "components/ProfGridClipboard.h"
#include "engine/Catalogo.h"
#include "engine/Records.h"
#include "pdf/PdfImages.h"
#include "platform/Dataset.h"
#include "platform/MainWindowLink.h"
#include "platform/QtDialogs.h"
#include "platform/QtTextMeasurer.h"
#include "shell/ClientData.h"

namespace {

size_t heapInUse()
{
    const struct mallinfo2 mi = mallinfo2();
    return mi.uordblks + mi.hblkhd;
}

double residentBytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE));
}

// Opens the two tables of the catalogue, runs then() on them, and reports
// the heap they (and what then() built) hold per record of both tables.
template <class Then>
void perRecord(benchmark::State& state, Then then)
{
    const fc::bench::ScaledCatalogue cat(int(state.range(0)));
    size_t bytes = 0;
    int records = 0;
    for (auto _ : state) {
        const size_t before = heapInUse();
        TDataset macchine(fc::MacchineDef()), versioni(fc::VersioniDef());
        macchine.SetFileName(cat.path() + "Dati.cds");
        versioni.SetFileName(cat.path() + "Versioni.cds");
        macchine.Open();
        versioni.Open();
        then(macchine, versioni);
        bytes = heapInUse() - before;
        macchine.SetFiltered(false);
        records = macchine.RecordCount() + versioni.RecordCount();
        ListaMacchine.Clear();
        ListaVersioni.Clear();
    }
    state.counters["records"] = records;
    state.counters["bytes_per_record"] = double(bytes) / records;
    state.counters["heap_MB"] = double(bytes) / 1e6;
}

void BM_DatasetRecords(benchmark::State& state)
{
    perRecord(state, [](TDataset&, TDataset&) {});
}
BENCHMARK(BM_DatasetRecords)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// As the main window loads the catalogue: a family filter on the MAX
// records, then caricaDati.
void BM_CaricaDati(benchmark::State& state)
{
    perRecord(state, [](TDataset& macchine, TDataset& versioni) {
        FakeMainWindowLink window;
        window.macchine = &macchine;
        window.versioni = &versioni;
        window.versionText = "M";
        fc::SetMainWindow(&window);
        macchine.SetFilter({{"Velocita", "MAX"}, {"Tipo", "VENTO"}});
        macchine.SetFiltered(true);
        caricaDati();
        fc::SetMainWindow(nullptr);
    });
}
BENCHMARK(BM_CaricaDati)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// The child: the program's start-up up to its main window shown, then the
// resident size on stdout.
int idleChild(int argc, char** argv, int factor)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const fc::bench::ScaledCatalogue cat(factor);
    cat.use();
    QApplication app(argc, argv);
    fc::RegisterProfGridClasses();
    fc::pdf::RegisterPdfClasses();
    QtDialogService dialogs;
    fc::SetDialogs(&dialogs);
    fc::InstallQtTextMeasurer();
    double rss = 0;
    {
        TDodedaVO window;
        if (window.ArchivioMancante())
            return 2;
        window.show();
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        rss = residentBytes();
    }
    fc::SetDialogs(nullptr);
    std::printf("%.0f\n", rss);
    return 0;
}

void BM_IdleMainWindow(benchmark::State& state)
{
    double rss = 0;
    for (auto _ : state) {
        QProcess child;
        child.start(QStringLiteral("/proc/self/exe"), {QStringLiteral("--idle"), QString::number(state.range(0))});
        if (!child.waitForFinished(600000) || child.exitCode() != 0) {
            state.SkipWithError("the main window did not open");
            return;
        }
        rss = child.readAllStandardOutput().trimmed().toDouble();
    }
    state.counters["idle_MB"] = rss / 1e6;
}
BENCHMARK(BM_IdleMainWindow)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--idle") == 0)
        return idleChild(argc, argv, std::atoi(argv[2]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
