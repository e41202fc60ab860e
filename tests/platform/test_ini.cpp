#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

#include "TestSupport.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/TextEncoding.h"

using fc::IniDocument;
using fc::IniFile;
using fc::IniTextMode;

namespace {

QByteArray cp1252(const QString& s) { return fc::EncodeCodePage(s, 1252); }

} // namespace

TEST(IniRead, RulesOfThePrivateProfile)
{
    const QByteArray text =
        "top=before any section\r\n"
        "[Default]\r\n"
        "  CTABS  =  20,5  \r\n"
        "; FTABS=commented out\r\n"
        "  ;FTUA=indented comment\r\n"
        "a line without an equals sign\r\n"
        "Quoted=\"  keeps its blanks  \"\r\n"
        "Single='x'\r\n"
        "Mismatched=\"x'\r\n"
        "OneQuote=\"\r\n"
        "Inner=a \"b\" c\r\n"
        "Twice=\"\"x\"\"\r\n"
        "Empty=\r\n"
        "Equals=a=b\r\n"
        "ctabs=second spelling loses\r\n"
        "=no key\r\n"
        "[ dealer ]\r\n"
        "nome=Rossi\r"            // a lone CR ends a line too
        "altri=x\n"
        "[Default]\n"
        "Later=from a repeated section\n"
        "[Firm]\n"
        "riga1=no final newline";
    const IniDocument doc(text);
    const QString none = QStringLiteral("<default>");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Default", "CTABS", "20,5"},
        {"DEFAULT", "ctabs", "20,5"},
        {"default", "  CTABS\t", "20,5"},
        {"Default", "FTABS", "<default>"},
        {"Default", "FTUA", "<default>"},
        {"Default", "Quoted", "  keeps its blanks  "},
        {"Default", "Single", "x"},
        {"Default", "Mismatched", "\"x'"},
        {"Default", "OneQuote", "\""},
        {"Default", "Inner", "a \"b\" c"},
        {"Default", "Twice", "\"x\""},
        {"Default", "Empty", ""},
        {"Default", "Equals", "a=b"},
        {"Default", "Later", "from a repeated section"},
        {"Default", "top", "<default>"},
        {"Dealer", "nome", "Rossi"},
        {" Dealer ", "ALTRI", "x"},
        {"Firm", "riga1", "no final newline"},
        {"Firm", "riga2", "<default>"},
        {"Missing", "nome", "<default>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(doc.ReadString(QString::fromUtf8(c.section), QString::fromUtf8(c.key), none),
                  QString::fromUtf8(c.expected))
            << c.section << "/" << c.key;
    EXPECT_TRUE(doc.ValueExists("Default", "Empty"));
    EXPECT_FALSE(doc.ValueExists("Default", "FTABS"));
    EXPECT_TRUE(doc.SectionExists("dealer"));
    EXPECT_EQ(doc.Sections(), QStringList({"Default", "dealer", "Firm"}));
    EXPECT_EQ(doc.Keys("default"), QStringList({"CTABS", "Quoted", "Single", "Mismatched", "OneQuote", "Inner",
                                                "Twice", "Empty", "Equals", "Later"}));
    EXPECT_EQ(doc.Bytes(), text);
}

TEST(IniRead, MissingFileGivesDefaults)
{
    fc::test::ScopedProgramFolder folder;
    const IniFile ini(folder.file("select.ini"));
    EXPECT_FALSE(ini.Exists());
    EXPECT_EQ(ini.ReadString("Language", "myLang", "English.lng"), QStringLiteral("English.lng"));
    const IniFile unnamed{QString()};
    EXPECT_EQ(unnamed.ReadString("Language", "myLang", "x"), QStringLiteral("x"));
}

TEST(IniRead, ValuesAreCutTo2047Characters)
{
    const QString exact(2047, QChar('a'));
    const QString longer = QString(2046, QChar('b')) + QStringLiteral("cdef");
    // A character outside the BMP straddling the cut is dropped whole.
    const QString pair = QString(2046, QChar('c')) + QStringLiteral("\U0001F600") + QStringLiteral("zz");
    const IniDocument doc(("[S]\nexact=" + exact + "\nlonger=" + longer + "\npair=" + pair + "\n").toUtf8());
    EXPECT_EQ(doc.ReadString("S", "exact", ""), exact);
    EXPECT_EQ(doc.ReadString("S", "longer", ""), longer.left(2047));
    EXPECT_EQ(doc.ReadString("S", "pair", ""), QString(2046, QChar('c')));
}

TEST(IniRead, EncodingOfTheFile)
{
    const QString umid = QStringLiteral("Umidità relativa");
    // Not valid UTF-8: code page 1252 for names and values.
    const IniDocument ansi("[Messages]\r\n" + cp1252(umid) + "=" + cp1252(QStringLiteral("Humidité")) + "\r\n");
    EXPECT_FALSE(ansi.IsUtf8());
    EXPECT_EQ(ansi.ReadString("messages", QStringLiteral("UMIDITÀ RELATIVA"), ""), QStringLiteral("Humidité"));

    // Valid UTF-8, with and without the byte-order mark.
    const QByteArray utf8 = ("[Messages]\n" + umid + "=Влажность\n").toUtf8();
    for (const QByteArray& bytes : {utf8, QByteArray("\xEF\xBB\xBF") + utf8}) {
        const IniDocument doc(bytes, IniTextMode::LanguageFile);
        EXPECT_TRUE(doc.IsUtf8());
        EXPECT_EQ(doc.ReadString("Messages", umid, ""), QStringLiteral("Влажность"));
    }
    // A byte-order mark before the first section does not hide it.
    EXPECT_TRUE(IniDocument("\xEF\xBB\xBF[A]\nk=v\n").ValueExists("a", "k"));

    // The language file's character set picks the code page of the values,
    // while the keys stay code page 1252 text.
    const QByteArray cz = "[Charset]\r\nFont.Charset=238\r\n[Messages]\r\n" + cp1252(umid) + "="
        + fc::EncodeCodePage(QStringLiteral("vlhkost č"), 1250) + "\r\n";
    const IniDocument lang(cz, IniTextMode::LanguageFile);
    EXPECT_EQ(lang.CodePage(), 1250);
    EXPECT_EQ(lang.ReadString("Messages", umid, ""), QStringLiteral("vlhkost č"));
    // The same bytes as a plain INI file are code page 1252 throughout.
    EXPECT_EQ(IniDocument(cz).ReadString("Messages", umid, ""), QStringLiteral("vlhkost è"));
}

TEST(IniRead, CharsetValueAndCodePage)
{
    struct Case {
        const char* value;
        int charset;
        int codePage;
    } cases[] = {
        {"238", 238, 1250}, {"$EE", 238, 1250}, {"$ee", 238, 1250}, {"0xEE", 238, 1250},
        {"0XEE", 238, 1250}, {"204", 204, 1251}, {"161", 161, 1253}, {"162", 162, 1254},
        {"177", 177, 1255}, {"178", 178, 1256}, {"186", 186, 1257}, {"163", 163, 1258},
        {"222", 222, 874}, {"128", 128, 932}, {"129", 129, 949}, {"134", 134, 936},
        {"136", 136, 950}, {"0", 0, 1252}, {"1", 1, 1252}, {"2", 2, 1252},
        {"Czech", 0, 1252}, {"", 0, 1252}, {"12abc", 0, 1252}, {"$", 0, 1252},
    };
    for (const Case& c : cases) {
        const IniDocument doc(QByteArray("[charset]\nfont.charset=") + c.value + "\n", IniTextMode::LanguageFile);
        EXPECT_EQ(doc.Charset(), c.charset) << c.value;
        EXPECT_EQ(doc.CodePage(), c.codePage) << c.value;
        EXPECT_TRUE(fc::CodePageAvailable(c.codePage)) << c.codePage;
    }
    EXPECT_EQ(IniDocument("[Translations]\n", IniTextMode::LanguageFile).CodePage(), 1252);
}

TEST(TextEncoding, Utf8ValidityAndCodePages)
{
    struct Case {
        QByteArray bytes;
        bool valid;
    } cases[] = {
        {"plain ASCII", true},
        {"\xC3\xA0", true},              // à
        {"\xE2\x82\xAC", true},          // €
        {"\xF0\x9F\x98\x80", true},      // outside the BMP
        {"\xEF\xBB\xBF", true},          // the mark alone
        {QByteArray("a\0b", 3), true},
        {"\xE0", false},                 // à in code page 1252
        {"\xC3", false},                 // cut short
        {"\xC0\xA0", false},             // overlong
        {"\xE0\x80\xAF", false},         // overlong
        {"\xED\xA0\x80", false},         // surrogate
        {"\xF4\x90\x80\x80", false},     // above U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\x80", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fc::IsValidUtf8(c.bytes), c.valid) << c.bytes.toHex().constData();

    // Code page 1252 maps all 256 bytes and back.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = fc::DecodeCodePage(all, 1252);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x81], QChar(0x81));
    bool lossless = false;
    EXPECT_EQ(fc::EncodeCodePage(text, 1252, &lossless), all);
    EXPECT_TRUE(lossless);
    fc::EncodeCodePage(QStringLiteral("Ж"), 1252, &lossless);
    EXPECT_FALSE(lossless);

    EXPECT_EQ(fc::DecodeCodePage("\xE8", 1250), QStringLiteral("č"));
    EXPECT_EQ(fc::DecodeCodePage("\xD6", 1251), QStringLiteral("Ц"));
    EXPECT_EQ(fc::DecodeCodePage("\xE1", 1253), QStringLiteral("α"));
    EXPECT_EQ(fc::DecodeCodePage("\x82\xA0", 932), QStringLiteral("あ"));
    EXPECT_EQ(fc::DecodeWindowsText("\xEF\xBB\xBF\xC3\xA0"), QStringLiteral("à"));
    EXPECT_EQ(fc::DecodeWindowsText("\xE0"), QStringLiteral("à"));
}

class IniWrite : public ::testing::Test {
protected:
    fc::test::ScopedProgramFolder folder;
    QString path = folder.file("select.ini");
};

TEST_F(IniWrite, ChangesTheLineInPlaceAndKeepsEveryOtherByte)
{
    const QByteArray before =
        "; settings\r\n"
        "[Language]\r\n"
        "myLang=English.lng\r\n"
        "\r\n"
        "[Default]\r\n"
        "  CTABS = 20\r\n"
        "CTIA=45   \r\n"
        "\t; comment \xE8 kept\r\n"
        "\r\n"
        "[Dealer]\r\n"
        "nome=Rossi\r\n";
    folder.write("select.ini", before);
    IniFile ini(path);
    ini.WriteString("default", "ctabs", "22,5");
    QByteArray expected = before;
    expected.replace("  CTABS = 20\r\n", "  CTABS = 22,5\r\n");
    EXPECT_EQ(fc::test::readFile(path), expected);
    EXPECT_EQ(ini.ReadString("Default", "CTABS", ""), QStringLiteral("22,5"));

    // A new key goes after the last key of its section, before what follows.
    ini.WriteString("Default", "FTABS", "26");
    expected.replace("CTIA=45   \r\n", "CTIA=45   \r\nFTABS=26\r\n");
    EXPECT_EQ(fc::test::readFile(path), expected);

    // A new section goes at the end, with the file's line breaks.
    ini.WriteString("Currency", "DecimalPlaces", "2");
    expected += "[Currency]\r\nDecimalPlaces=2\r\n";
    EXPECT_EQ(fc::test::readFile(path), expected);

    // The file stays code page 1252, as it was.
    ini.WriteString("Dealer", "nome", QStringLiteral("Società"));
    expected.replace("nome=Rossi", "nome=Societ\xE0");
    EXPECT_EQ(fc::test::readFile(path), expected);
    EXPECT_EQ(IniFile(path).ReadString("Dealer", "nome", ""), QStringLiteral("Società"));
}

TEST_F(IniWrite, NewFileAndFileWithoutFinalNewline)
{
    IniFile ini(path);
    ini.WriteString("Language", "myLang", "Italiano.lng");
    EXPECT_EQ(fc::test::readFile(path), QByteArray("[Language]\nmyLang=Italiano.lng\n"));

    folder.write("other.ini", "[A]\nk=v");
    IniFile other(folder.file("other.ini"));
    other.WriteString("A", "k2", "w");
    other.WriteString("B", "k", "x");
    EXPECT_EQ(fc::test::readFile(folder.file("other.ini")), QByteArray("[A]\nk=v\nk2=w\n[B]\nk=x\n"));
    folder.write("header.ini", "[A]");
    IniFile header(folder.file("header.ini"));
    header.WriteString("a", "k", "v");
    EXPECT_EQ(fc::test::readFile(folder.file("header.ini")), QByteArray("[A]\nk=v\n"));
}

TEST_F(IniWrite, ValuesReadBackAsWritten)
{
    IniFile ini(path);
    const QStringList values = {"", "  lead", "trail  ", "\"quoted\"", "'single'", "a \"b\" c", "x=y", ";semi",
                                QStringLiteral("Русский.lng"), QStringLiteral("Società")};
    for (int i = 0; i < values.size(); ++i)
        ini.WriteString("S", QStringLiteral("k%1").arg(i), values[i]);
    const IniFile again(path);
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(again.ReadString("S", QStringLiteral("k%1").arg(i), "<none>"), values[i]) << i;
}

TEST_F(IniWrite, TextOutsideCodePage1252MovesTheFileToUtf8WithNothingLost)
{
    folder.write("select.ini", "[Dealer]\r\nnome=Societ\xE0\r\n");
    IniFile ini(path);
    ini.WriteString("Language", "myLang", QStringLiteral("Русский.lng"));
    EXPECT_EQ(fc::test::readFile(path),
              QByteArray("[Dealer]\r\nnome=Societ\xC3\xA0\r\n[Language]\r\nmyLang=") + QStringLiteral("Русский.lng").toUtf8()
                  + "\r\n");
    const IniFile again(path);
    EXPECT_EQ(again.ReadString("Dealer", "nome", ""), QStringLiteral("Società"));
    EXPECT_EQ(again.ReadString("Language", "myLang", ""), QStringLiteral("Русский.lng"));
}

TEST_F(IniWrite, ReadsTheFileAgainBeforeWriting)
{
    IniFile ini(path);
    folder.write("select.ini", "[Dealer]\nnome=written by another\n");
    ini.WriteString("Language", "myLang", "English.lng");
    const IniFile again(path);
    EXPECT_EQ(again.ReadString("Dealer", "nome", ""), QStringLiteral("written by another"));
    EXPECT_EQ(again.ReadString("Language", "myLang", ""), QStringLiteral("English.lng"));
}

TEST_F(IniWrite, RefusesNamesAndValuesThatWouldBreakTheFile)
{
    folder.write("select.ini", "[A]\nk=v\n");
    IniFile ini(path);
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } bad[] = {
        {"A", "k", "line\nbreak"}, {"A", "k", "line\rbreak"}, {"A", "k=1", "v"}, {"A", ";k", "v"},
        {"A", "[k", "v"}, {"A", "  ", "v"}, {"A]", "k", "v"}, {"", "k", "v"}, {"A\nB", "k", "v"},
    };
    for (const auto& b : bad) {
        try {
            ini.WriteString(b.section, b.key, b.value);
            ADD_FAILURE() << b.section << "/" << b.key;
        } catch (const EFileError& e) {
            EXPECT_TRUE(e.Message().contains(path)) << e.Message().toStdString();
        }
    }
    EXPECT_EQ(fc::test::readFile(path), QByteArray("[A]\nk=v\n"));
}

TEST_F(IniWrite, FailedSaveThrowsWithTheFileAndTheReason)
{
    // The folder of the file is a plain file: nothing can be created there.
    folder.write("blocker", "not a folder");
    const QString bad = folder.file("blocker/select.ini");
    IniFile ini(bad);
    try {
        ini.WriteString("Language", "myLang", "English.lng");
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot save \"%1\": ").arg(bad))) << e.Message().toStdString();
        EXPECT_GT(e.Message().size(), QStringLiteral("Cannot save \"%1\": ").arg(bad).size());
    }
    EXPECT_EQ(fc::test::readFile(folder.file("blocker")), QByteArray("not a folder"));
}

TEST_F(IniWrite, WriteThatFailsPartWayLeavesTheOldFileAndSaysWhy)
{
    // The disk takes the old size and a little more, not the new value.
    const QByteArray before = "[Language]\nmyLang=English.lng\n[Dealer]\nnome=Rossi\n";
    folder.write("select.ini", before);
    IniFile ini(path);
    QString message;
    {
        fc::test::ScopedFileSizeLimit limit(before.size() + 8);
        message = fc::test::MessageOf([&] { ini.WriteString("Dealer", "altri", QString(200, u'x')); });
    }
    EXPECT_EQ(message, QStringLiteral("Cannot save \"%1\": %2").arg(path, fc::test::fileTooLargeText()));
    EXPECT_EQ(fc::test::readFile(path), before);
    // Nothing of the failed write stays beside it.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"select.ini"});
    // The object still reads what the file holds.
    EXPECT_EQ(ini.ReadString("Dealer", "altri", "none"), "none");
}

TEST_F(IniWrite, FileThatCannotBeReadIsNotOverwritten)
{
    folder.write("select.ini", "[Dealer]\nnome=Rossi\n");
    QFile::setPermissions(path, QFileDevice::Permissions());
    QFile probe(path);
    if (probe.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "running with rights that read any file";
    IniFile locked(path);
    EXPECT_THROW(locked.WriteString("Language", "myLang", "x"), EFileError);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(fc::test::readFile(path), QByteArray("[Dealer]\nnome=Rossi\n"));
}
// A settings or language file that is endless (a link to /dev/zero, a pipe)
// or far larger than any the program ships is not read: it gives the
// defaults, says why, and is never written over.
TEST_F(IniWrite, EndlessAndHugeFilesAreRefusedWithTheReason)
{
    const qint64 cap = IniFile::MaxFileSize;
    QByteArray atCap = "[A]\nk=v\n;";
    atCap += QByteArray(cap - atCap.size(), 'x');
    folder.write("atcap.ini", atCap);
    folder.write("huge.ini", atCap + "x");
    ASSERT_TRUE(QFile::link("/dev/zero", folder.file("zero.ini")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file("pipe.ini")).constData(), 0600), 0);

    EXPECT_EQ(IniFile(folder.file("atcap.ini")).ReadString("A", "k", "def"), "v");
    EXPECT_TRUE(IniFile(folder.file("atcap.ini")).ReadProblem().isEmpty());
    const struct {
        const char* name;
        QString why;
    } refused[] = {
        {"huge.ini", QStringLiteral("it is larger than %1 bytes").arg(cap)},
        {"zero.ini", QStringLiteral("it is not a regular file")},
        {"pipe.ini", QStringLiteral("it is not a regular file")},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.name);
        const QString file = folder.file(r.name);
        for (IniTextMode mode : {IniTextMode::Ansi, IniTextMode::LanguageFile}) {
            IniFile ini(file, mode);
            EXPECT_EQ(ini.ReadString("A", "k", "def"), "def");
            EXPECT_EQ(ini.ReadProblem(), QStringLiteral("Cannot read \"%1\": %2").arg(file, r.why));
            EXPECT_EQ(fc::test::MessageOf([&] { ini.WriteString("A", "k", "w"); }), ini.ReadProblem());
        }
    }
    EXPECT_EQ(fc::test::readFile(folder.file("huge.ini")).size(), cap + 1);
    EXPECT_TRUE(QFileInfo(folder.file("zero.ini")).isSymLink());
}

