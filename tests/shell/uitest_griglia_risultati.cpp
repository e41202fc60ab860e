// The result grid's layout and the main window's handlers that only code
// runs: the grid exports, the three-speed report and the picture window.
#include "ShellFixture.h"
#include "platform/Colors.h"
#include "platform/Errors.h"
#include "platform/Office.h"
#include "tests/support/OfficeFixture.h"
#include "ui_TDodedaVO.h" // read by the layout generator, which does not look into ShellFixture.h

using namespace fc::test;

namespace {

class GrigliaRisultatiTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        standardFolder();
        open();
        window->OnRisultatiPronti = [this](int report) { reports << report; };
    }
    // A few result rows, as a calculation run leaves them.
    void fill()
    {
        g().SetRowCount(4);
        g().Cell(0, 1).SetText(QStringLiteral("VT 10"));
        g().Cell(2, 2).SetText(QStringLiteral("1.234"));
    }
    QList<int> reports;
};

TEST_F(GrigliaRisultatiTest, TheResultGridHasItsLayout)
{
    TProfGrid& s = g();
    EXPECT_EQ(s.ColCount(), 5);
    EXPECT_EQ(s.FixedCols(), 2);
    EXPECT_EQ(s.FixedRows(), 0);
    EXPECT_EQ(s.RowCount(), 1);
    const int widths[5] = {139, 40, 64, 64, 64};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(s.Columns(c).Width(), widths[c]) << c;
    EXPECT_FALSE(s.WordWrap());
    EXPECT_EQ(s.DefaultRowHeight(), 20);
    EXPECT_EQ(s.Color(), clBtnFace);
    EXPECT_EQ(s.FixedColor(), clWhite);
    EXPECT_EQ(s.FixedGridLineColor(), clGray);
    EXPECT_EQ(s.ScrollBars(), ssVertical);
    EXPECT_EQ(s.Options(), (TProfGridOptions{pgoFixedVertLine, pgoFixedHorzLine, pgoVertLine, pgoHorzLine, pgoRangeSelect,
                                             pgoTabs, pgoSelectFixedCols, pgoSelectFixedRows}));
    EXPECT_FALSE(s.Options().Has(pgoEditing)) << "the grid is not editable";
    // New cells take the column colours: the fixed columns white.
    fill();
    EXPECT_EQ(s.Cell(0, 3).Color(), clWhite);
    EXPECT_EQ(s.Cell(3, 3).Color(), clBtnFace);
}

TEST_F(GrigliaRisultatiTest, TheExportHandlersTellOnlyOfAFailure)
{
    fill();
    struct Case {
        const char* name;
        void (TDodedaVO::*handler)();
        bool fails;
    };
    const Case cases[] = {
        {"spreadsheet", &TDodedaVO::Button2Click, false},
        {"spreadsheet, failing", &TDodedaVO::Button2Click, true},
        {"word processor", &TDodedaVO::Button3Click, false},
        {"word processor, failing", &TDodedaVO::Button3Click, true},
    };
    for (const Case& k : cases) {
        ScopedRecordingOffice office;
        int accesses = 0;
        // Failing half-way, once the export has started.
        if (k.fails)
            office.OnAccess = [&](const fc::office::Access&) {
                if (++accesses == 12)
                    throw Exception(QStringLiteral("busy"));
            };
        dialogs.clear();
        (window.get()->*k.handler)();
        EXPECT_TRUE(office.Excel || office.Document) << k.name << ": the export ran";
        if (k.fails) {
            EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Errore nel salvataggio dati\nbusy")}) << k.name;
        } else {
            EXPECT_EQ(dialogs.messages(), QStringList()) << k.name;
            EXPECT_TRUE(office.Lines().join('\n').contains(QStringLiteral("VT 10"))) << k.name << ": the grid's texts";
        }
    }
}

// The disk fills up while the file is written: the message names the file
// and the system's reason, and nothing is shown or left.
TEST_F(GrigliaRisultatiTest, AnExportOnAFullDiskNamesTheFileAndTheReason)
{
    fill();
    for (bool excel : {true, false}) {
        SCOPED_TRACE(excel ? "spreadsheet" : "word processor");
        ScopedFileOffice office;
        QDir().mkpath(office.office.OutputFolder());
        const QString file =
            QDir(office.office.OutputFolder()).filePath(excel ? QStringLiteral("Book1.xlsx") : QStringLiteral("Document1.docx"));
        dialogs.clear();
        {
            ScopedFileSizeLimit full(200);
            excel ? window->Button2Click() : window->Button3Click();
        }
        EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Errore nel salvataggio dati\nCannot save \"%1\": %2")
                                                      .arg(file, fileTooLargeText())});
        EXPECT_TRUE(office.shell.opened.isEmpty());
        EXPECT_TRUE(QDir(office.office.OutputFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
}

TEST_F(GrigliaRisultatiTest, TheThreeSpeedReportNeedsResults)
{
    window->Button3VelocitaClick();
    EXPECT_TRUE(reports.isEmpty()) << "only the grid's first row: no results";
    fill();
    window->Button3VelocitaClick();
    EXPECT_EQ(reports, QList<int>{0}) << "the three-speed table";
    EXPECT_EQ(g().RowCount(), 4);
}

TEST_F(GrigliaRisultatiTest, VisualizzaImmagini1DoesNothing)
{
    fill();
    dialogs.clear();
    window->VisualizzaImmagini1Click();
    EXPECT_EQ(g().RowCount(), 4);
    EXPECT_TRUE(reports.isEmpty());
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

} // namespace
