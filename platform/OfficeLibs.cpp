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

} // namespace

#define FC_OFFICE_RESOLVE(name)                                                                                         \
    if (l.why.isEmpty()) {                                                                                              \
        l.table.name = reinterpret_cast<decltype(l.table.name)>(dlsym(handle, #name));                                  \
        if (!l.table.name)                                                                                              \
            l.why = lastError(#name);                                                                                   \
    }

const XlsxLibrary* Xlsx(QString* why)
{
    static const Loaded<XlsxLibrary> lib = [] {
        Loaded<XlsxLibrary> l;
        void* handle = dlopen(FC_XLSXWRITER_SONAME, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            l.why = lastError(FC_XLSXWRITER_SONAME);
            return l;
        }
        FC_XLSX_FUNCTIONS(FC_OFFICE_RESOLVE)
        return l;
    }();
    if (!lib.why.isEmpty() && why)
        *why = lib.why;
    return lib.why.isEmpty() ? &lib.table : nullptr;
}

const ZipLibrary* Zip(QString* why)
{
    static const Loaded<ZipLibrary> lib = [] {
        Loaded<ZipLibrary> l;
        void* handle = dlopen(FC_LIBZIP_SONAME, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            l.why = lastError(FC_LIBZIP_SONAME);
            return l;
        }
        FC_ZIP_FUNCTIONS(FC_OFFICE_RESOLVE)
        return l;
    }();
    if (!lib.why.isEmpty() && why)
        *why = lib.why;
    return lib.why.isEmpty() ? &lib.table : nullptr;
}

#undef FC_OFFICE_RESOLVE

} // namespace fc::office
