#include "OfficeLibs.h"

#include <dlfcn.h>

namespace fc::office {

namespace {

template <class Table>
struct Loaded {
    Table table;
    QString why; // empty when every function was found
};

// dlerror's text names the library or the symbol and says what failed.
QString lastError(const char* fallback)
{
    const char* e = dlerror();
    return QString::fromLocal8Bit(e ? e : fallback);
}

// The library opened and its table filled by resolve(loaded, handle).
template <class Table, class Resolve>
Loaded<Table> open(const char* soname, Resolve resolve)
{
    Loaded<Table> l;
    void* handle = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        l.why = lastError(soname);
    else
        resolve(l, handle);
    return l;
}

template <class Table>
const Table* tableOf(const Loaded<Table>& lib, QString* why)
{
    if (!lib.why.isEmpty() && why)
        *why = lib.why;
    return lib.why.isEmpty() ? &lib.table : nullptr;
}

} // namespace

#define FC_OFFICE_RESOLVE(name)                                                                                         \
    if (l.why.isEmpty()) {                                                                                              \
        l.table.name = reinterpret_cast<decltype(l.table.name)>(dlsym(handle, #name));                                  \
        if (!l.table.name)                                                                                              \
            l.why = lastError(#name);                                                                                   \
    }

const XlsxLibrary* Xlsx(QString* why)
{
    static const auto lib = open<XlsxLibrary>(FC_XLSXWRITER_SONAME, [](auto& l, void* handle) {
        FC_XLSX_FUNCTIONS(FC_OFFICE_RESOLVE)
    });
    return tableOf(lib, why);
}

const ZipLibrary* Zip(QString* why)
{
    static const auto lib = open<ZipLibrary>(FC_LIBZIP_SONAME, [](auto& l, void* handle) {
        FC_ZIP_FUNCTIONS(FC_OFFICE_RESOLVE)
    });
    return tableOf(lib, why);
}

#undef FC_OFFICE_RESOLVE

} // namespace fc::office
