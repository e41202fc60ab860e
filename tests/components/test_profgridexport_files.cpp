// The grid's exports through the file backend: the workbook and the
// document that the desktop is asked to open, read back.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cerrno>
#include <cstring>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "TestSupport.h"
#include "OfficeFixture.h"
#include "XlsxRead.h"
#include "ZipRead.h"
#include "components/ProfGrid.h"
#include "platform/Dialogs.h"
#include "platform/Office.h"
#include "platform/ShellOpen.h"

using fc::test::ReadZipMember;

namespace {

using Backend = fc::test::ScopedFileOffice;

// A title merged over both columns, numbers and a formula as texts, a block
// over two rows, a bold second column.
struct Sample {
    TProfGrid g;
    FixedPitchMeasurer m{6, 13};
    Sample()
    {
        g.SetTextMeasurer(&m);
        g.SetFixedCols(0);
        g.SetFixedRows(0);
        g.SetColCount(2);
        g.SetRowCount(4);
        g.SetFixedRows(1);
        TFont bold = g.Columns(1).Font();
        bold.Style = fsBold;
        g.Columns(1).SetFont(bold);
        g.Cell(0, 0).SetText(QStringLiteral("Title\r\nsecond line"));
        EXPECT_TRUE(g.MergeCells(0, 0, 1, 0));
        g.Cell(0, 1).SetText(QStringLiteral("007"));
        g.Cell(1, 1).SetText(QStringLiteral("=1+2"));
        g.Cell(0, 2).SetText(QStringLiteral("block"));
        EXPECT_TRUE(g.MergeCells(0, 2, 1, 3));
        g.Cell(0, 2).SetColor(clYellow);
    }
};

} // namespace

TEST(ProfGridExportFiles, WorkbookHoldsTextsMergesAndFormats)
{
    Backend b;
    Sample s;
    ASSERT_TRUE(s.g.ExportToExcel(true));
    ASSERT_EQ(b.shell.opened.size(), 1);
    const QString file = b.shell.opened[0];
    EXPECT_EQ(QFileInfo(file).fileName(), QStringLiteral("Book1.xlsx"));
    const QByteArray sheet = ReadZipMember(file, "xl/worksheets/sheet1.xml");
    const QByteArray strings = ReadZipMember(file, "xl/sharedStrings.xml");
    ASSERT_FALSE(sheet.isEmpty());
    EXPECT_TRUE(sheet.contains("<mergeCell ref=\"A1:B1\"/>")) << sheet.constData();
    EXPECT_TRUE(sheet.contains("<mergeCell ref=\"A3:B4\"/>"));
    const qsizetype row3 = sheet.indexOf("<row r=\"3\"");
    ASSERT_GE(row3, 0);
    EXPECT_TRUE(sheet.mid(row3, sheet.indexOf('>', row3) - row3).contains("hidden=\"1\""))
        << "the block's top row has no height in the grid";
    // Numbers and formulas arrive as the texts they are.
    EXPECT_FALSE(sheet.contains("<f>"));
    EXPECT_TRUE(strings.contains("<t>007</t>"));
    EXPECT_TRUE(strings.contains("<t>=1+2</t>"));
    EXPECT_TRUE(strings.contains("Title\nsecond line"));
    EXPECT_TRUE(strings.contains("<t>block</t>"));
    const QByteArray styles = ReadZipMember(file, "xl/styles.xml");
    EXPECT_TRUE(styles.contains("<b/>"));
    EXPECT_TRUE(styles.contains("FFFFFF00")) << "the yellow block";
    EXPECT_TRUE(styles.contains("<numFmt numFmtId=\"164\" formatCode=\"@\"/>") || styles.contains("numFmtId=\"49\""));
}

TEST(ProfGridExportFiles, DocumentHoldsTheTable)
{
    Backend b;
    Sample s;
    ASSERT_TRUE(s.g.ExportToWord(true));
    ASSERT_EQ(b.shell.opened.size(), 1);
    const QByteArray xml = ReadZipMember(b.shell.opened[0], "word/document.xml");
    ASSERT_FALSE(xml.isEmpty());
    EXPECT_EQ(xml.count("<w:tr>"), 4);
    EXPECT_EQ(xml.count("<w:gridSpan w:val=\"2\"/>"), 3) << "the title and both rows of the block";
    EXPECT_EQ(xml.count("<w:vMerge w:val=\"restart\"/>"), 1);
    // The in-cell line break became a second paragraph of the title cell.
    const qsizetype title = xml.indexOf(">Title</w:t></w:r></w:p><w:p>");
    EXPECT_GT(title, 0) << xml.constData();
    EXPECT_GT(xml.indexOf(">second line</w:t>"), title);
    EXPECT_FALSE(xml.contains("ProfGridTag"));
    EXPECT_TRUE(xml.contains("w:fill=\"FFFF00\""));
    EXPECT_TRUE(xml.contains("<w:gridCol w:w=\"960\"/>")) << "64 pixels are 48 points";
}

namespace {

// The document's table as texts, row by row: paragraphs and line breaks as
// line feeds, tabs as tabs.
std::vector<QStringList> DocumentTable(const QByteArray& xml)
{
    std::vector<QStringList> rows;
    QXmlStreamReader x(xml);
    QString cell;
    bool firstParagraph = true;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            if (x.name() == u"tr") {
                rows.emplace_back();
            } else if (x.name() == u"tc") {
                cell.clear();
                firstParagraph = true;
            } else if (x.name() == u"p") {
                if (!firstParagraph)
                    cell += QLatin1Char('\n');
                firstParagraph = false;
            } else if (x.name() == u"t") {
                cell += x.readElementText();
            } else if (x.name() == u"tab") {
                cell += QLatin1Char('\t');
            } else if (x.name() == u"br") {
                cell += QLatin1Char('\n');
            }
        } else if (x.isEndElement() && x.name() == u"tc" && !rows.empty()) {
            rows.back() << cell;
        }
    }
    return rows;
}

// Tabs and every kind of line break inside cell texts.
struct TabsAndBreaks {
    TProfGrid g;
    FixedPitchMeasurer m{6, 13};
    TabsAndBreaks()
    {
        g.SetTextMeasurer(&m);
        g.SetFixedCols(0);
        g.SetFixedRows(0);
        g.SetColCount(3);
        g.SetRowCount(2);
        const char* texts[2][3] = {{"a\tb", "c", "d"}, {"x\r\ny", "p\tq\r\nz", "m\nn\t"}};
        for (int r = 0; r < 2; ++r)
            for (int k = 0; k < 3; ++k)
                g.Cell(k, r).SetText(QString::fromLatin1(texts[r][k]));
    }
};

const std::vector<QStringList> kTabsAndBreaksShown{{"a\tb", "c", "d"}, {"x\ny", "p\tq\nz", "m\nn\t"}};

} // namespace

TEST(ProfGridExportFiles, TabsAndLineBreaksStayInTheirCell)
{
    {
        SCOPED_TRACE("document");
        Backend b;
        TabsAndBreaks s;
        ASSERT_TRUE(s.g.ExportToWord(true));
        ASSERT_EQ(b.shell.opened.size(), 1);
        EXPECT_EQ(DocumentTable(ReadZipMember(b.shell.opened[0], "word/document.xml")), kTabsAndBreaksShown);
    }
    {
        SCOPED_TRACE("workbook");
        Backend b;
        TabsAndBreaks s;
        ASSERT_TRUE(s.g.ExportToExcel(true));
        ASSERT_EQ(b.shell.opened.size(), 1);
        const fc::test::SheetContents sheet = fc::test::ReadFirstSheet(b.shell.opened[0]);
        std::vector<QStringList> rows(2);
        for (int r = 0; r < 2; ++r)
            for (const char* col : {"A", "B", "C"}) {
                const QString ref = QLatin1String(col) + QString::number(r + 1);
                rows[size_t(r)] << sheet.Value(ref);
                EXPECT_TRUE(sheet.Wraps(ref)) << ref.toStdString();
            }
        EXPECT_EQ(rows, kTabsAndBreaksShown);
    }
}

TEST(ProfGridExportFiles, AFolderThatCannotBeWrittenStopsTheStart)
{
    ScopedScriptedDialogs dialogs;
    Backend b;
    // The output folder cannot be made: it would lie under a file.
    const QString blocker = b.dir.filePath(QStringLiteral("file"));
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    b.office.SetOutputFolder(blocker + QStringLiteral("/out"));
    Sample s;
    EXPECT_FALSE(s.g.ExportToExcel(true));
    EXPECT_TRUE(s.g.ExportToWord(true)) << "the user was told";
    const QString why = QStringLiteral("\r\n\r\nCannot write to the folder \"%1/out\": %2")
                            .arg(blocker, QString::fromLocal8Bit(std::strerror(ENOTDIR)));
    EXPECT_EQ(dialogs.messages(), (QStringList{QStringLiteral("Could not start Microsoft Excel") + why,
                                               QStringLiteral("Could not start Microsoft Word") + why}));
    EXPECT_TRUE(b.shell.opened.isEmpty());
}

// The exports' folder is the user's alone: one made by another account, a
// link in its place, or a file is refused with the reason, and nothing is
// written there; a link placed inside under the next export's name is
// never followed.
TEST(ProfGridExportFiles, TheExportFolderIsTheUsersAlone)
{
    struct Case {
        const char* name;
        std::function<void(const QString& folder, const QString& elsewhere)> make;
        QString why; // empty: the export goes through
    };
    const Case cases[] = {
        {"missing", [](const QString&, const QString&) {}, {}},
        {"the user's own, open to all",
         [](const QString& folder, const QString&) {
             QDir().mkpath(folder);
             ::chmod(QFile::encodeName(folder).constData(), 0777);
         },
         {}},
        {"a link in its place",
         [](const QString& folder, const QString& elsewhere) {
             QDir().mkpath(elsewhere);
             QFile::link(elsewhere, folder);
         },
         "it is a link, not a folder of this user's"},
        {"a file in its place", [](const QString& folder, const QString&) { QFile(folder).open(QIODevice::WriteOnly); },
         QString::fromLocal8Bit(std::strerror(ENOTDIR))},
        {"made first by another account",
         [](const QString& folder, const QString&) {
             QDir().mkpath(folder);
             ::chmod(QFile::encodeName(folder).constData(), 0777);
             if (::geteuid() == 0)
                 (void)!::chown(QFile::encodeName(folder).constData(), 4242, 4242);
         },
         "it belongs to another user"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (QLatin1String(c.name) == QLatin1String("made first by another account") && ::geteuid() != 0) {
            std::fprintf(stderr, "another owner needs root to be made; case left out\n");
            continue;
        }
        ScopedScriptedDialogs dialogs;
        Backend b;
        const QString folder = b.dir.filePath(QStringLiteral("export"));
        const QString elsewhere = b.dir.filePath(QStringLiteral("elsewhere"));
        b.office.SetOutputFolder(folder);
        c.make(folder, elsewhere);
        Sample s;
        const bool ok = s.g.ExportToExcel(true);
        if (c.why.isEmpty()) {
            EXPECT_TRUE(ok);
            EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
            struct stat st {};
            ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0700u);
            EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"Book1.xlsx"});
        } else {
            EXPECT_FALSE(ok);
            EXPECT_EQ(dialogs.messages(),
                      QStringList{QStringLiteral("Could not start Microsoft Excel\r\n\r\nCannot write to the folder "
                                                 "\"%1\": %2")
                                      .arg(folder, c.why)});
            EXPECT_TRUE(QDir(elsewhere).entryList(QDir::Files).isEmpty());
            EXPECT_TRUE(b.shell.opened.isEmpty());
        }
    }

    // A link inside the folder, where the next export would go.
    Backend b;
    const QString folder = b.dir.filePath(QStringLiteral("export"));
    b.office.SetOutputFolder(folder);
    QDir().mkpath(folder);
    const QString target = b.dir.filePath(QStringLiteral("chosen-by-another.xlsx"));
    ASSERT_TRUE(QFile::link(target, QDir(folder).filePath(QStringLiteral("Book1.xlsx"))));
    Sample s;
    EXPECT_TRUE(s.g.ExportToExcel(true));
    EXPECT_FALSE(QFileInfo::exists(target)) << "the link was followed";
    ASSERT_EQ(b.shell.opened.size(), 1);
    EXPECT_FALSE(QFileInfo(b.shell.opened.front()).isSymLink());
}

TEST(ProfGridExportFiles, AFileThatCannotBeShownIsAFailedExport)
{
    Backend b;
    b.shell.result = false;
    Sample s;
    int last = 0;
    s.g.OnExportProgress = [&](TProfGrid&, int pos, int, bool&) { last = pos; };
    EXPECT_FALSE(s.g.ExportToExcel(true));
    EXPECT_EQ(last, -1);
    EXPECT_FALSE(s.g.ExportToWord(true));
    EXPECT_EQ(b.shell.opened.size(), 2);
}
