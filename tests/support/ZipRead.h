#pragma once
// Reading one member of a zip package (workbooks, documents) in tests.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <zip.h>

namespace fc::test {

// The bytes of member name in the package at path; empty when either is
// missing.
inline QByteArray ReadZipMember(const QString& path, const char* name)
{
    int err = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    if (!za)
        return {};
    QByteArray out;
    zip_stat_t st;
    if (zip_stat(za, name, 0, &st) == 0) {
        if (zip_file_t* f = zip_fopen(za, name, 0)) {
            out.resize(qsizetype(st.size));
            if (zip_fread(f, out.data(), st.size) != zip_int64_t(st.size))
                out.clear();
            zip_fclose(f);
        }
    }
    zip_close(za);
    return out;
}

} // namespace fc::test
