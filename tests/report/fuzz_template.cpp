// Template text: reading never crashes, and once written, the text reads
// back to the same text (the first pass may normalise, e.g. capitals).
#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "ARRep.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = ar::DecodeTemplateLines(bytes);
    TARRep rep;
    try {
        rep.SetARTemplate(lines);
    } catch (const Exception&) {
        return 0; // an embedded picture that is not one
    }
    if (rep.UpdateCount() != 0)
        std::abort();
    TARRep first;
    first.SetARTemplate(rep.ARTemplate());
    const QStringList written = first.ARTemplate();
    TARRep back;
    back.SetARTemplate(written);
    if (back.ARTemplate() != written) {
        const QStringList again = back.ARTemplate();
        for (int i = 0; i < qMax(again.size(), written.size()); ++i)
            if (again.value(i) != written.value(i)) {
                std::fprintf(stderr, "line %d differs: '%s' / '%s'\n", i, qPrintable(written.value(i)),
                             qPrintable(again.value(i)));
                break;
            }
        std::abort();
    }
    // The byte form reads back too.
    if (ar::DecodeTemplateLines(ar::EncodeTemplateLines(written)) != written)
        std::abort();
    return 0;
}
