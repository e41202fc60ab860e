// The preview's workbook export as a user meets it: where the save dialog
// opens, what is said afterwards, and the three reports read back from the
// written file against the report they came from.
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <algorithm>
#include <set>

#include "ReportsFixture.h"
#include "components/Lang.h"
#include "platform/Office.h"
#include "platform/ShellOpen.h"
#include "tests/support/OfficeFixture.h"
#include "tests/support/XlsxRead.h"

using namespace rtest;

namespace {

class Workbook : public ReportsTest {
protected:
    Workbook() { DatiGlobali.excelAbilitato = true; }

    // Exports the filled report through the button, answering name.
    void exportAs(const QString& name)
    {
        dialogs.answerFile(name);
        form.Button1->click();
    }
    const ScriptedDialogs::Entry& lastSaveDialog() const
    {
        for (auto it = dialogs.log().rbegin(); it != dialogs.log().rend(); ++it)
            if (it->kind == ScriptedDialogs::Entry::Save)
                return *it;
        throw std::runtime_error("no save dialog");
    }
    std::vector<const ScriptedDialogs::Entry*> messageBoxes() const
    {
        std::vector<const ScriptedDialogs::Entry*> out;
        for (const auto& e : dialogs.log())
            if (e.kind == ScriptedDialogs::Entry::Message)
                out.push_back(&e);
        return out;
    }
};

QString ColumnRef(int col) // from 0
{
    QString name;
    for (int n = col + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

// What a report cell shows, as the sheet should hold it: its lines joined by
// line feeds, and a number (Italian separators) as the number.
struct Shown {
    QString text;
    bool number = false;
};

Shown ShownText(const QString& s)
{
    QString t = s;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    static const QRegularExpression italianNumber(QStringLiteral("^-?\\d{1,3}(\\.\\d{3})*(,\\d+)?$|^-?\\d+(,\\d+)?$"));
    if (italianNumber.match(t).hasMatch()) {
        QString n = t;
        n.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.'));
        return {QString::number(n.toDouble(), 'g', 15), true};
    }
    return {t, false};
}

} // namespace

TEST_F(Workbook, TheThreeReportsReadBackAsTheReportShowsThem)
{
    using Kind = std::pair<const char*, bool (*)(const TReportInputs&, TFormPrew&)>;
    const Kind kinds[] = {{"Rep1Vel", &reportUnaVelocita}, {"Rep9Col", &reportTreVelocita}, {"RepPann", &reportPannello}};
    fc::test::ScopedFileOffice office;
    in.Prezzi.CheckListino = in.Prezzi.CheckNetto = in.Prezzi.CheckSconto = true;
    in.Prezzi.Sconto = true;
    in.Prezzi.Sconto1 = 10;
    for (const auto& [name, build] : kinds) {
        for (int n : {1, 3, 20}) {
            SCOPED_TRACE(std::string(name) + " x" + std::to_string(n));
            onlyModels(n);
            ASSERT_TRUE(build(in, form));
            const QString file = pf.file(QStringLiteral("%1-%2.xlsx").arg(QLatin1String(name)).arg(n));
            exportAs(file);
            ASSERT_TRUE(QFileInfo::exists(file));
            const fc::test::SheetContents sheet = fc::test::ReadFirstSheet(file);

            // The sheet's columns are cut at every cell edge of the report.
            std::vector<int> edges{0};
            for (int b = 0; b < rep().BandCount(); ++b) {
                const TARBand* band = rep().GetBand(b);
                for (int i = 0; i < band->CellCount(); ++i)
                    edges.push_back(band->CellLeft(i));
                if (band->CellCount() > 0)
                    edges.push_back(band->CellRight(band->CellCount() - 1));
            }
            std::sort(edges.begin(), edges.end());
            edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
            auto col = [&](int x) { return int(std::lower_bound(edges.begin(), edges.end(), x) - edges.begin()); };

            std::set<QString> expectedMerges, withValue;
            int lines = 0;
            for (int b = 0; b < rep().BandCount(); ++b) {
                const TARBand* band = rep().GetBand(b);
                for (int i = 0; i < band->CellCount(); ++i) {
                    TARCell* cell = band->GetCell(i);
                    if (cell->Shared() || band->CellRight(i) <= band->CellLeft(i))
                        continue;
                    const int c1 = col(band->CellLeft(i)), c2 = col(band->CellRight(i)) - 1;
                    const int r1 = b + 1;
                    const TARBand* last = cell->LastSpanBand();
                    const int r2 = last ? rep().IndexOfBand(last) + 1 : r1;
                    const QString ref = ColumnRef(c1) + QString::number(r1);
                    if (c2 > c1 || r2 > r1)
                        expectedMerges.insert(ref + QLatin1Char(':') + ColumnRef(c2) + QString::number(r2));
                    const Shown shown = ShownText(cell->S());
                    SCOPED_TRACE(ref.toStdString() + " " + cell->S().toStdString());
                    if (shown.text.isEmpty())
                        continue;
                    withValue.insert(ref);
                    auto got = sheet.cells.find(ref);
                    ASSERT_NE(got, sheet.cells.end());
                    EXPECT_EQ(got->second.number, shown.number);
                    if (shown.number)
                        EXPECT_DOUBLE_EQ(got->second.value.toDouble(), shown.text.toDouble());
                    else
                        EXPECT_EQ(got->second.value, shown.text);
                    if (shown.text.contains(QLatin1Char('\n'))) {
                        ++lines;
                        EXPECT_TRUE(sheet.Wraps(ref)) << "a text of several lines wraps";
                    }
                }
            }
            // Nothing else holds a value: not the cells a merge covers, not
            // the blanks.
            std::set<QString> gotValues;
            for (const auto& [ref, c] : sheet.cells)
                gotValues.insert(ref);
            EXPECT_EQ(gotValues, withValue);
            EXPECT_EQ(std::set<QString>(sheet.merges.begin(), sheet.merges.end()), expectedMerges);
            EXPECT_GT(lines, 0) << "the firm's heading has several lines";
        }
    }
}

TEST_F(Workbook, TheSaveDialogOpensInTheFolderOfTheLastExport)
{
    fc::test::ScopedFileOffice office;
    models(2);
    ASSERT_TRUE(reportTreVelocita(in, form));

    // First in the program folder's pdf/, as for the PDF; the dialog's
    // folder exists.
    dialogs.answerFile(QString());
    form.Button1->click();
    EXPECT_EQ(QDir(lastSaveDialog().file.InitialDir).absolutePath(), QDir(pf.file("pdf")).absolutePath());
    EXPECT_TRUE(QFileInfo(pf.file("pdf")).isDir());

    pf.write("offers/keep", "");
    exportAs(pf.file("offers/Hotel.xlsx"));
    ASSERT_TRUE(QFileInfo::exists(pf.file("offers/Hotel.xlsx")));
    dialogs.answerFile(QString());
    form.Button1->click();
    EXPECT_EQ(QDir(lastSaveDialog().file.InitialDir).absolutePath(), QDir(pf.file("offers")).absolutePath());
    // A cancelled dialog changes nothing.
    dialogs.answerFile(QString());
    form.Button1->click();
    EXPECT_EQ(QDir(lastSaveDialog().file.InitialDir).absolutePath(), QDir(pf.file("offers")).absolutePath());
}

TEST_F(Workbook, ASavedWorkbookThatNoProgramOpensIsANoteWithItsWholePath)
{
    pf.write("English.lng", fc::test::readFile(sourceData("English.lng")));
    TLanguage lang;
    lang.SetLanguageFile(pf.file("English.lng"));
    form.Lingua = &lang;
    fc::test::ScopedFileOffice office;
    models(2);
    ASSERT_TRUE(reportTreVelocita(in, form));

    struct Case {
        const char* answered; // as the dialog hands it back
        const char* saved;    // under the program folder
    } cases[] = {{"pdf/Report.xlsx", "pdf/Report.xlsx"}, {"Report2.xlsx", "pdf/Report2.xlsx"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answered);
        dialogs.clear();
        office.shell.result = false;
        office.shell.opened.clear();
        const QString a = QString::fromLatin1(c.answered);
        const QString answered = a.contains(QLatin1Char('/')) ? pf.file(a) : a;
        exportAs(answered);
        const QString saved = QFileInfo(pf.file(QString::fromLatin1(c.saved))).absoluteFilePath();
        ASSERT_TRUE(QFileInfo::exists(saved));
        ASSERT_EQ(office.shell.opened.size(), 1);
        EXPECT_EQ(office.shell.opened[0], saved) << "the desktop is asked with the whole path";
        const auto boxes = messageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0]->message.Type, TMsgDlgType::mtError) << "the export did not fail";
        EXPECT_EQ(boxes[0]->message.Text, QStringLiteral("The workbook was saved as \"%1\".\r\n\r\n"
                                                         "No program of the desktop can open it.")
                                              .arg(saved));
    }

    // Opened on the desktop: nothing to say.
    dialogs.clear();
    office.shell.result = true;
    exportAs(pf.file("pdf/Shown.xlsx"));
    EXPECT_TRUE(messageBoxes().empty());
}
