// Save Defaults: the fifteen keys of the defaults into select.ini, as one
// replacement of the file against one replacement per key.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/IniFile.h"

namespace {

const char* const kKeys[15] = {"CTABS", "CTIA",  "CTUA",       "CSTA",    "FTABS",   "FTABU",   "FUR",   "FTIA",
                               "FTUA",  "FSTA", "ScontoMolt", "Sconto1", "Sconto2", "Sconto3", "Moltip"};

struct SettingsFile {
    QTemporaryDir dir;
    QString path = dir.filePath("select.ini");
    SettingsFile()
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("[Language]\nmyLang=English.lng\n[Default]\nCTABS=20\nFTABS=27\n[Dealer]\nnome=Rossi\n");
    }
};

void BM_SaveDefaultsOneReplacement(benchmark::State& state)
{
    SettingsFile file;
    fc::IniFile ini(file.path);
    int n = 0;
    for (auto _ : state) {
        QList<fc::IniValue> values;
        for (const char* k : kKeys)
            values.append({QStringLiteral("Default"), QLatin1String(k), QString::number(++n % 100) + QStringLiteral(",5")});
        ini.WriteStrings(values);
    }
}
BENCHMARK(BM_SaveDefaultsOneReplacement)->Unit(benchmark::kMillisecond);

void BM_SaveDefaultsKeyByKey(benchmark::State& state)
{
    SettingsFile file;
    fc::IniFile ini(file.path);
    int n = 0;
    for (auto _ : state)
        for (const char* k : kKeys)
            ini.WriteString(QStringLiteral("Default"), QLatin1String(k), QString::number(++n % 100) + QStringLiteral(",5"));
}
BENCHMARK(BM_SaveDefaultsKeyByKey)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
