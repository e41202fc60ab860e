// Any bytes parse as an INI file: the bytes come back unchanged, every key
// listed can be read, and a key written reads back.
#include <cstdint>
#include <cstdlib>

#include "platform/Errors.h"
#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (fc::IniTextMode mode : {fc::IniTextMode::Ansi, fc::IniTextMode::LanguageFile}) {
        fc::IniDocument doc(bytes, mode);
        if (doc.Bytes() != bytes)
            std::abort();
        for (const QString& section : doc.Sections()) {
            if (!doc.SectionExists(section))
                std::abort();
            for (const QString& key : doc.Keys(section)) {
                const QString v = doc.ReadString(section, key, QStringLiteral("\x01missing"));
                if (v == QStringLiteral("\x01missing") || v.size() > fc::IniDocument::MaxValueLength)
                    std::abort();
            }
        }
        const bool utf8 = doc.IsUtf8();
        try {
            doc.SetString(QStringLiteral("Fuzz"), QStringLiteral("Key"), QStringLiteral(" v\u00e0lue "));
        } catch (const EFileError&) {
            // Only a value outside a language file's own code page may fail.
            if (utf8 || doc.CodePage() == 1252)
                std::abort();
        }
        if (doc.IsUtf8() == utf8 && mode == fc::IniTextMode::Ansi
            && doc.ReadString(QStringLiteral("fuzz"), QStringLiteral("key"), QString()) != QStringLiteral(" v\u00e0lue "))
            std::abort();
        // Change an existing key: must not crash whatever the file holds.
        const QStringList sections = doc.Sections();
        if (!sections.isEmpty()) {
            const QStringList keys = doc.Keys(sections.front());
            if (!keys.isEmpty() && fc::IniDocument::WriteProblem(sections.front(), keys.front(), "x").isEmpty()) {
                try {
                    doc.SetString(sections.front(), keys.front(), QStringLiteral("x"));
                } catch (const EFileError&) {
                }
            }
        }
    }
    return 0;
}
