// Fuzz harness: any bytes written as a catalogue file, then opened and read
// through. Opening either succeeds or raises an Exception; it never crashes,
// hangs or reads out of bounds.
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

#include "platform/Dataset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 0;
    const QString path = scratch.filePath(QStringLiteral("fuzz.cds"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    for (const TDatasetDef* def : {&fc::MacchineDef(), &fc::VersioniDef(), &fc::ParamDef()}) {
        TDataset ds(*def);
        ds.SetFileName(path);
        try {
            ds.Open();
            ds.SetFilter({{def->Fields[0].Name, QStringLiteral("x")}});
            ds.SetFiltered(true);
            ds.SetFiltered(false);
            for (ds.First(); !ds.Eof(); ds.Next())
                for (int i = 0; i < ds.FieldCount(); ++i) {
                    (void)ds.Fields(i).AsString();
                    try {
                        (void)ds.Fields(i).AsFloat();
                    } catch (const Exception&) {
                    }
                }
        } catch (const Exception&) {
        }
    }
    return 0;
}
