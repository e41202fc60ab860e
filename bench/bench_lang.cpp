// Message lookup: TLanguage::Msg runs for every label of the result grid and
// of the reports, so it must not parse the language file each time.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "components/Lang.h"
#include "platform/IniFile.h"

namespace {

struct LanguageFile {
    QTemporaryDir dir;
    QString path = dir.filePath("english.lng");
    LanguageFile()
    {
        QByteArray text = "[Charset]\r\nFont.Charset=0\r\n[Translations]\r\n";
        for (int i = 0; i < 90; ++i)
            text += "DodedaVO.Label" + QByteArray::number(i) + ".Caption=Label number " + QByteArray::number(i) + "\r\n";
        text += "[Messages]\r\n";
        for (int i = 0; i < 400; ++i)
            text += "Messaggio numero " + QByteArray::number(i) + " della velocit\xE0=Message number "
                + QByteArray::number(i) + " of the speed\r\n";
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }
};

void BM_MsgCached(benchmark::State& state)
{
    LanguageFile file;
    TLanguage lang;
    lang.SetLanguageFile(file.path);
    const QString key = QStringLiteral("Messaggio numero 200 della velocità");
    for (auto _ : state)
        benchmark::DoNotOptimize(lang.Msg(key));
}
BENCHMARK(BM_MsgCached);

void BM_MsgParsingEveryCall(benchmark::State& state)
{
    LanguageFile file;
    const QString key = QStringLiteral("Messaggio numero 200 della velocità");
    for (auto _ : state) {
        const fc::IniFile ini(file.path, fc::IniTextMode::LanguageFile);
        benchmark::DoNotOptimize(ini.ReadString(QStringLiteral("Messages"), key, key));
    }
}
BENCHMARK(BM_MsgParsingEveryCall);

} // namespace

BENCHMARK_MAIN();
