#pragma once
// Private-profile INI files (select.ini, language files).
//
// Reading: section and key names compare without regard to case; blanks
// around names, lookup keys and values do not count; one pair of matching
// quotes (" or ') around a value is removed; lines starting with ";" and
// lines without "=" are passed over; values are cut to 2047 characters;
// whatever is missing gives the caller's default.
//
// Text: a file whose bytes are valid UTF-8 (or that starts with the UTF-8
// byte-order mark) is UTF-8 throughout. Otherwise names are code page 1252
// and values code page 1252 too, except that a language file's values are
// in the code page of its [Charset] Font.Charset.
//
// Writing changes one line in place (or adds one), keeps every other byte
// of the file and saves atomically.
//
// A file that is not a plain file or is larger than IniFile::MaxFileSize is
// not read and never written over.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace fc {

enum class IniTextMode {
    Ansi,         // values in code page 1252 unless the file is UTF-8
    LanguageFile, // values in the code page of [Charset] Font.Charset
};

// The parsed content of one INI file, kept as its exact bytes.
class IniDocument {
public:
    // Longest value returned (the platform read values into 2048 bytes).
    static constexpr qsizetype MaxValueLength = 2047;

    IniDocument() = default;
    explicit IniDocument(QByteArray bytes, IniTextMode mode = IniTextMode::Ansi);

    const QByteArray& Bytes() const { return bytes_; }
    IniTextMode Mode() const { return mode_; }

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    // Section names in file order, each once (its first spelling).
    QStringList Sections() const;
    // Key names of a section in file order, each once.
    QStringList Keys(const QString& section) const;

    // The file is read as UTF-8.
    bool IsUtf8() const { return utf8_; }
    // [Charset] Font.Charset as an integer (decimal, "$" or "0x" hex), else 0.
    int Charset() const { return charset_; }
    // Code page of the values when the file is not UTF-8.
    int CodePage() const { return codePage_; }

    // Why section/key/value cannot be written into a file, or empty when they
    // can (line breaks, "=" in a key, a key that would read as a comment...).
    static QString WriteProblem(const QString& section, const QString& key, const QString& value);

    // Sets the key: changes its line in place, or appends it at the end of
    // its section, or appends the section at the end. Every other line is
    // kept byte for byte. Throws EFileError when WriteProblem is not empty
    // or the text cannot be written in the file's code page.
    void SetString(const QString& section, const QString& key, const QString& value);

private:
    struct Line {
        qsizetype start = 0, length = 0, eolLength = 0;
    };
    struct Entry {
        int line = 0;
        int section = 0;
        QString key;
        QString value;
        qsizetype valueOffset = 0; // within the line: where the value text starts
    };
    struct Section {
        QString name;
        int headerLine = 0;
        int lastEntryLine = -1;
    };

    void parse();
    QByteArray eol() const;
    QByteArray encodeName(const QString& text, bool& lossless) const;
    QByteArray encodeValue(const QString& text, bool& lossless) const;
    static QString foldKey(const QString& section, const QString& key);
    const Entry* find(const QString& section, const QString& key) const;

    QByteArray bytes_;
    IniTextMode mode_ = IniTextMode::Ansi;
    bool utf8_ = true;
    int charset_ = 0;
    int codePage_ = 1252;
    QList<Line> lines_;
    QList<Section> sections_;
    QList<Entry> entries_;
    QHash<QString, int> sectionIndex_; // folded name -> first section
    QHash<QString, int> entryIndex_;   // folded section + key -> first entry
};

// One key to write.
struct IniValue {
    QString section, key, value;
};

// One INI file on disk: read when constructed, written through at once.
class IniFile {
public:
    // Larger files are not read: no settings or language file comes near
    // it, and an endless one (a link to /dev/zero) must not hold the program.
    static constexpr qint64 MaxFileSize = 1024 * 1024;

    explicit IniFile(QString fileName, IniTextMode mode = IniTextMode::Ansi);

    const QString& FileName() const { return fileName_; }
    // The file was there and could be read.
    bool Exists() const { return exists_; }
    // Why a file that is there was not read ("Cannot read "<path>": it is
    // not a regular file"), or empty. Such a file reads as empty.
    const QString& ReadProblem() const { return readProblem_; }
    const IniDocument& Document() const { return doc_; }

    QString ReadString(const QString& section, const QString& key, const QString& def) const
    {
        return doc_.ReadString(section, key, def);
    }
    bool SectionExists(const QString& section) const { return doc_.SectionExists(section); }
    bool ValueExists(const QString& section, const QString& key) const { return doc_.ValueExists(section, key); }
    QStringList Sections() const { return doc_.Sections(); }
    QStringList Keys(const QString& section) const { return doc_.Keys(section); }

    // Reads the file again, sets the key and saves the file atomically.
    // Throws EFileError naming the file and the reason when the file exists
    // but cannot be read, or when it cannot be saved; the file is then
    // unchanged.
    void WriteString(const QString& section, const QString& key, const QString& value);
    // The same for several keys in one replacement of the file: all of them
    // are saved or none.
    void WriteStrings(const QList<IniValue>& values);

private:
    QString fileName_;
    IniTextMode mode_;
    bool exists_ = false;
    QString readProblem_;
    IniDocument doc_;
};

} // namespace fc
