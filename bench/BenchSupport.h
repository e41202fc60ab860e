#pragma once
// What several benchmarks share: the scaled catalogue opened as the main
// window opens it, and a benchmark main with an offscreen application.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QString>
#include <functional>

#include "BenchCatalogue.h"
#include "engine/Catalogo.h"
#include "platform/Dataset.h"
#include "platform/MainWindowLink.h"
#include "platform/QtTextMeasurer.h"
#include "shell/once.h"

namespace fc::bench {

// A catalogue `factor` times the demo with its speed and version datasets
// open, filtered to the MAX records of one family, behind a stand-in main
// window that shows version "M".
class OpenedCatalogue {
public:
    OpenedCatalogue(int factor, const QString& family)
        : cat_(factor), macchine_(fc::MacchineDef()), versioni_(fc::VersioniDef())
    {
        cat_.use();
        macchine_.SetFileName(cat_.path() + QStringLiteral("Dati.cds"));
        versioni_.SetFileName(cat_.path() + QStringLiteral("Versioni.cds"));
        macchine_.Open();
        versioni_.Open();
        link_.macchine = &macchine_;
        link_.versioni = &versioni_;
        link_.versionText = QStringLiteral("M");
        fc::SetMainWindow(&link_);
        macchine_.SetFilter({{QStringLiteral("Velocita"), QStringLiteral("MAX")}, {QStringLiteral("Tipo"), family}});
    }
    ~OpenedCatalogue() { fc::SetMainWindow(nullptr); }
    OpenedCatalogue(const OpenedCatalogue&) = delete;
    OpenedCatalogue& operator=(const OpenedCatalogue&) = delete;

    FakeMainWindowLink& link() { return link_; }

private:
    ScaledCatalogue cat_;
    TDataset macchine_, versioni_;
    FakeMainWindowLink link_;
};

// Runs the benchmarks named on the command line inside an offscreen
// application measuring text as the program does; beforeQuit drops what
// the benchmarks kept (widgets must go before the application does).
inline int RunWithApplication(int argc, char** argv, const std::function<void()>& beforeQuit = {})
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the program starts: a private runtime folder named before Qt looks.
    PrepareRuntimeFolder();
    QApplication app(argc, argv);
    fc::InstallQtTextMeasurer();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (beforeQuit)
        beforeQuit();
    return 0;
}

} // namespace fc::bench
