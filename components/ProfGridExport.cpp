// The grid's exports to the word processor and to the spreadsheet. Each
// drives the application one automation statement after the other; every
// counted statement starts with one counted accessor, which reports
// progress and is where a stop request takes effect. Each export predicts
// its step total beforehand by the same comparisons, so that the last
// progress position equals the total.

#include <cstdlib>
#include <exception>

#include "ProfGrid.h"
#include "platform/Dialogs.h"
#include "platform/Numbers.h"

using namespace fc::office;

namespace {

constexpr int kPixelsPerInch = ScreenPixelsPerInch;

int WordAlignment(TAlignment a)
{
    switch (a) {
    case taRightJustify: return 2;
    case taCenter: return 1;
    default: return 0;
    }
}

qint16 ExcelAlignment(TAlignment a)
{
    switch (a) {
    case taRightJustify: return qint16(xlRight);
    case taCenter: return qint16(xlCenter);
    default: return qint16(xlLeft);
    }
}

qint16 ExcelVertAlignment(quint8 v)
{
    switch (v) {
    case vaBottom: return qint16(xlBottom);
    case vaCenter: return qint16(xlCenter);
    default: return qint16(xlTop);
    }
}

int StyleCount(const TFont& f) { return int(f.Bold()) + int(f.Italic()) + int(f.Underline()) + int(f.StrikeOut()); }

int SizeOf(const TFont& f) { return std::abs(f.Size()); }

QString ErrorText()
{
    try {
        throw;
    } catch (const Exception& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

void ShowStartFailure(const QString& application)
{
    TMessageRequest r;
    r.Caption = QStringLiteral("Error");
    r.Text = QStringLiteral("Could not start Microsoft %1\r\n\r\n").arg(application) + ErrorText();
    r.Type = TMsgDlgType::mtError;
    r.Buttons = mbOK;
    fc::Dialogs().MessageBox(r);
}

} // namespace

int WordColorIndex(TColor color)
{
    struct Entry {
        TColor rgb;
        int index;
    };
    static constexpr Entry table[] = {
        {clBlack, 1},  {clBlue, 2},   {clAqua, 3},    {clLime, 4},    {clFuchsia, 5}, {clRed, 6},
        {clYellow, 7}, {clWhite, 8},  {clNavy, 9},    {clTeal, 10},   {clGreen, 11},  {clPurple, 12},
        {clMaroon, 13}, {clOlive, 14}, {clGray, 15},  {clSilver, 16},
    };
    const TColor rgb = fc::ColorToRGB(color);
    for (const Entry& e : table)
        if (e.rgb == rgb)
            return e.index;
    return 0;
}

// ---------------------------------------------------------------------------
// Shared parts

void TProfGrid::FireExportProgress(int position, int endPosition)
{
    if (OnExportProgress)
        OnExportProgress(*this, position, endPosition, stopExport_);
}

template <class T>
OleRef<T> TProfGrid::CountedAccess(const OleRef<T>& ref)
{
    ++exportPosition_;
    OleRef<T> result = ref;
    FireExportProgress(exportPosition_, exportEndPosition_);
    // The flag is read after the handler, which may also take a request back.
    if (stopExport_)
        result.Clear();
    return result;
}

OleRef<WordApplication> TProfGrid::GetWordApplication() { return CountedAccess(wordApplication_); }
OleRef<WordDocument> TProfGrid::GetWordDocument() { return CountedAccess(wordDocument_); }
OleRef<WordTable> TProfGrid::GetWordTable() { return CountedAccess(wordTable_); }
OleRef<ExcelApplication> TProfGrid::GetExcelApplication() { return CountedAccess(excelApplication_); }
OleRef<ExcelSheet> TProfGrid::GetExcelSheet() { return CountedAccess(excelSheet_); }

void TProfGrid::WalkExportCells(const std::function<void(int k, int r, int bottomRow, int leftVisibleCol)>& merge,
                                const std::function<void(TProfGridCell& cell, int k, int row, int col)>& format)
{
    const int cols = ColCount();
    const int rows = RowCount();
    for (int k = cols - 1; k >= 0; --k) {
        int r = 0;
        do {
            TProfGridCell& c = Cell(k, r);
            const int bottom = c.BottomRow();
            const int left = c.LeftVisibleCol();
            const int right = c.RightVisibleCol();
            if (r != bottom || (k == right && k != left)) {
                merge(k, r, bottom, left);
                format(c, k, r + 1, left + 1);
            } else if (c.TopRow() == bottom && (k == cols - 1 || right <= k)) {
                format(c, k, r + 1, k + 1);
            }
            r = bottom + 1;
        } while (r < rows);
    }
}

namespace {

// A tab inside a cell text would split that cell when the text becomes a
// table. It goes into the text as a character that neither a cell text nor
// the line-break tag holds, and is turned back into a tab after the
// conversion. Empty when no cell text holds a tab.
QString TabStandIn(TProfGrid& g)
{
    QString used = g.ExportTag();
    bool tab = false;
    for (int r = 0; r < g.RowCount(); ++r)
        for (int k = 0; k < g.ColCount(); ++k) {
            TProfGridCell& c = g.Cell(k, r);
            if (c.TopRow() != r || c.LeftVisibleCol() != k)
                continue;
            used += c.Text();
            tab = tab || c.Text().contains(QLatin1Char('\t'));
        }
    if (!tab)
        return {};
    for (char16_t u = 0xE000; u <= 0xF8FF; ++u)
        if (!used.contains(QChar(u)))
            return QString(QChar(u));
    return {};
}

} // namespace

QString TProfGrid::BuildExportText()
{
    const QString& tag = ExportTag();
    const QString tabStandIn = TabStandIn(*this);
    QString text;
    for (int r = 0; r < RowCount(); ++r) {
        for (int k = 0; k < ColCount(); ++k) {
            if (k > 0)
                text += QLatin1Char('\t');
            TProfGridCell& c = Cell(k, r);
            if (c.TopRow() != r || c.LeftVisibleCol() != k)
                continue;
            // First occurrence to last, as the tag (which holds no carriage
            // return) may join a carriage return to a following line feed.
            QString piece = c.Text();
            if (!tabStandIn.isEmpty())
                piece.replace(QLatin1Char('\t'), tabStandIn);
            for (int i = piece.indexOf(QLatin1String("\r\n")); i >= 0; i = piece.indexOf(QLatin1String("\r\n")))
                piece.replace(i, 2, tag);
            for (int i = piece.indexOf(QLatin1Char('\r')); i >= 0; i = piece.indexOf(QLatin1Char('\r')))
                piece.replace(i, 1, tag);
            text += piece;
        }
        text += QLatin1String("\r\n");
    }
    return text;
}

// ---------------------------------------------------------------------------
// Word

namespace {

// The cell's differences from the walked column, in the order they are
// written; each true entry is one statement.
struct WordCellDiffs {
    bool vAlign, align, name, fontColor, size, bold, italic, underline, strike, color;
    int Count() const
    {
        return int(vAlign) + int(align) + int(name) + int(fontColor) + int(size) + int(bold) + int(italic)
               + int(underline) + int(strike) + int(color);
    }
};

WordCellDiffs WordDiffs(const TProfGridCell& c, const TProfGridCol& k)
{
    const TFont& cf = c.Font();
    const TFont& kf = k.Font();
    return {c.VertAlignment() == vaBottom || c.VertAlignment() == vaCenter,
            c.Alignment() != k.Alignment(),
            cf.Name != kf.Name,
            cf.Color != kf.Color,
            cf.Size() != kf.Size(),
            cf.Bold() != kf.Bold(),
            cf.Italic() != kf.Italic(),
            cf.Underline() != kf.Underline(),
            cf.StrikeOut() != kf.StrikeOut(),
            c.Color() != k.Color()};
}

} // namespace

int TProfGrid::CountWordSteps(bool FormatAllCells)
{
    int steps = 22;
    for (int c = 0; c < ColCount(); ++c)
        steps += 7 + StyleCount(Columns(c).Font());
    WalkExportCells([&](int, int, int, int) { steps += 2; },
                    [&](TProfGridCell& cell, int k, int row, int) {
                        if (FormatAllCells || row - 1 < FixedRows())
                            steps += WordDiffs(cell, Columns(k)).Count();
                    });
    if (!TabStandIn(*this).isEmpty())
        steps += 3;
    return steps + 6;
}

bool TProfGrid::ExportToWord(bool FormatAllCells)
{
    bool result = true;
    exportPosition_ = 0;
    stopExport_ = false;
    lastExportError_.clear();
    try {
        wordDocument_ = fc::Office().CreateWordDocument();
        wordApplication_ = wordDocument_->Application();
        // The major version: the text before the first ".", which must be a number.
        const int dot = wordApplication_->Version().indexOf(QLatin1Char('.'));
        wordVersion_ = fc::StrToInt(wordApplication_->Version().left(dot < 0 ? 0 : dot));
        wordApplication_->SetVisible(false);
        exportEndPosition_ = CountWordSteps(FormatAllCells);
        FireExportProgress(0, exportEndPosition_);
    } catch (...) {
        ShowStartFailure(QStringLiteral("Word"));
        FireExportProgress(-1, 0);
        stopExport_ = true;
        return true;
    }

    try {
        const bool rgb = wordVersion_ > 8;
        const bool spelling = GetWordApplication()->Options()->CheckSpellingAsYouType();
        const bool grammar = GetWordApplication()->Options()->CheckGrammarAsYouType();
        const bool pagination = GetWordApplication()->Options()->Pagination();
        GetWordApplication()->Options()->SetCheckSpellingAsYouType(false);
        GetWordApplication()->Options()->SetCheckGrammarAsYouType(false);
        GetWordApplication()->Options()->SetPagination(false);
        GetWordDocument()->Range()->SetText(BuildExportText());
        GetWordDocument()->Range()->Select();
        wordTable_ = GetWordApplication()->Selection()->ConvertToTable(wdSeparateByTabs, ColCount(), RowCount());
        GetWordApplication()->Selection()->Find()->Replacement()->ClearFormatting();
        GetWordApplication()->Selection()->Find()->SetText(ExportTag());
        GetWordApplication()->Selection()->Find()->Replacement()->SetText(QStringLiteral("^p"));
        GetWordApplication()->Selection()->Find()->SetForward(true);
        GetWordApplication()->Selection()->Find()->SetWrap(wdFindContinue);
        GetWordApplication()->Selection()->Find()->SetFormat(false);
        GetWordApplication()->Selection()->Find()->SetMatchCase(true);
        GetWordApplication()->Selection()->Find()->SetMatchWholeWord(false);
        GetWordApplication()->Selection()->Find()->SetMatchWildcards(false);
        GetWordApplication()->Selection()->Find()->SetMatchSoundsLike(false);
        GetWordApplication()->Selection()->Find()->SetMatchAllWordForms(false);
        GetWordApplication()->Selection()->Find()->Execute(wdReplaceAll);
        if (const QString tabStandIn = TabStandIn(*this); !tabStandIn.isEmpty()) {
            GetWordApplication()->Selection()->Find()->SetText(tabStandIn);
            GetWordApplication()->Selection()->Find()->Replacement()->SetText(QStringLiteral("^t"));
            GetWordApplication()->Selection()->Find()->Execute(wdReplaceAll);
        }
        GetWordTable()->Rows()->SetSpaceBetweenColumns(0);

        for (int c = 1; c <= ColCount(); ++c) {
            const TProfGridCol& K = Columns(c - 1);
            const TFont& f = K.Font();
            GetWordTable()->Columns()->Item(c)->SetWidth(double(K.Width()) * 72 / kPixelsPerInch);
            GetWordTable()->Columns()->Item(c)->Select();
            GetWordApplication()->Selection()->Paragraphs()->SetAlignment(WordAlignment(K.Alignment()));
            GetWordApplication()->Selection()->Font()->SetName(f.Name);
            GetWordApplication()->Selection()->Font()->SetSize(SizeOf(f));
            if (rgb)
                GetWordApplication()->Selection()->Font()->SetColor(fc::ColorToRGB(f.Color));
            else
                GetWordApplication()->Selection()->Font()->SetColorIndex(WordColorIndex(f.Color));
            if (f.Bold())
                GetWordApplication()->Selection()->Font()->SetBold(true);
            if (f.Italic())
                GetWordApplication()->Selection()->Range()->Font()->SetItalic(true);
            if (f.Underline())
                GetWordApplication()->Selection()->Range()->Font()->SetUnderline(true);
            if (f.StrikeOut())
                GetWordApplication()->Selection()->Range()->Font()->SetStrikeThrough(true);
            if (rgb)
                GetWordApplication()->Selection()->Range()->Shading()->SetBackgroundPatternColor(
                    fc::ColorToRGB(K.Color()));
            else
                GetWordApplication()->Selection()->Range()->Shading()->SetBackgroundPatternColorIndex(
                    WordColorIndex(K.Color()));
        }

        // The cell's differences from the walked column K, into table cell T.
        auto FormatWordCell = [&](TProfGridCell& C, int k, int Row, int Col) {
            const TProfGridCol& K = Columns(k);
            const WordCellDiffs d = WordDiffs(C, K);
            const TFont& cf = C.Font();
            if (C.VertAlignment() == vaBottom)
                GetWordTable()->Cell(Row, Col)->SetVerticalAlignment(wdCellAlignVerticalBottom);
            else if (C.VertAlignment() == vaCenter)
                GetWordTable()->Cell(Row, Col)->SetVerticalAlignment(wdCellAlignVerticalCenter);
            if (d.align)
                GetWordTable()->Cell(Row, Col)->Range()->Paragraphs()->SetAlignment(WordAlignment(C.Alignment()));
            if (d.name)
                GetWordTable()->Cell(Row, Col)->Range()->Font()->SetName(cf.Name);
            if (d.fontColor) {
                if (rgb)
                    GetWordTable()->Cell(Row, Col)->Range()->Font()->SetColor(fc::ColorToRGB(cf.Color));
                else
                    GetWordTable()->Cell(Row, Col)->Range()->Font()->SetColorIndex(WordColorIndex(cf.Color));
            }
            if (d.size)
                GetWordTable()->Cell(Row, Col)->Range()->Font()->SetSize(SizeOf(cf));
            if (d.bold)
                GetWordTable()->Cell(Row, Col)->Range()->Font()->SetBold(cf.Bold());
            if (d.italic)
                GetWordTable()->Cell(Row, Col)->Range()->Font()->SetItalic(cf.Italic());
            if (d.underline)
                GetWordTable()->Cell(Row, Col)->Range()->Font()->SetUnderline(cf.Underline());
            if (d.strike)
                GetWordTable()->Cell(Row, Col)->Range()->Font()->SetStrikeThrough(cf.StrikeOut());
            if (d.color) {
                if (rgb)
                    GetWordTable()->Cell(Row, Col)->Range()->Shading()->SetBackgroundPatternColor(
                        fc::ColorToRGB(C.Color()));
                else
                    GetWordTable()->Cell(Row, Col)->Range()->Shading()->SetBackgroundPatternColorIndex(
                        WordColorIndex(C.Color()));
            }
        };
        WalkExportCells(
            [&](int k, int r, int bottom, int left) {
                OleRef<WordCell> other = GetWordTable()->Cell(bottom + 1, left + 1);
                GetWordTable()->Cell(r + 1, k + 1)->Merge(other);
            },
            [&](TProfGridCell& C, int k, int Row, int Col) {
                if (FormatAllCells || Row - 1 < FixedRows())
                    FormatWordCell(C, k, Row, Col);
            });

        GetWordApplication()->Selection()->HomeKey(wdStory);
        GetWordApplication()->ActiveWindow()->View()->SetType(wdNormalView);
        GetWordApplication()->Options()->SetCheckSpellingAsYouType(spelling);
        GetWordApplication()->Options()->SetCheckGrammarAsYouType(grammar);
        GetWordApplication()->Options()->SetPagination(pagination);
        GetWordApplication()->SetVisible(true);

        wordApplication_->Activate();
        wordApplication_.Clear();
        FireExportProgress(-1, 0);
    } catch (...) {
        lastExportError_ = ErrorText();
        FireExportProgress(-1, 0);
        result = false;
        stopExport_ = true;
        // Throw the half-made document away; the first error ends the clean-up.
        try {
            wordDocument_->SetSaved(true);
            wordDocument_->Close();
            if (wordApplication_->Documents()->Count() > 0)
                wordApplication_->SetVisible(true);
            else
                wordApplication_->Quit();
        } catch (...) {
        }
    }
    return result;
}

// ---------------------------------------------------------------------------
// Excel

namespace {

struct ExcelCellDiffs {
    bool vAlign, align, name, size, fontColor, color, bold, italic, underline, strike;
    int Count() const
    {
        return int(vAlign) + int(align) + int(name) + int(size) + int(fontColor) + int(color) + int(bold)
               + int(italic) + int(underline) + int(strike);
    }
};

ExcelCellDiffs ExcelDiffs(const TProfGridCell& c, const TProfGridCol& k)
{
    const TFont& cf = c.Font();
    const TFont& kf = k.Font();
    return {c.VertAlignment() != k.VertAlignment(),
            c.Alignment() != k.Alignment(),
            cf.Name != kf.Name,
            cf.Size() != kf.Size(),
            cf.Color != kf.Color,
            c.Color() != k.Color(),
            cf.Bold() != kf.Bold(),
            cf.Italic() != kf.Italic(),
            cf.Underline() != kf.Underline(),
            cf.StrikeOut() != kf.StrikeOut()};
}

// An in-cell line break is a line feed alone in the sheet.
QString SheetText(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return t;
}

} // namespace

int TProfGrid::CountExcelSteps(bool FormatAllCells)
{
    int steps = 13;
    for (int c = 0; c < ColCount(); ++c)
        steps += 13 + StyleCount(Columns(c).Font());
    for (int r = 0; r < RowCount(); ++r)
        if (RowHeights(r) == 0)
            ++steps;
    WalkExportCells([&](int, int, int, int) { steps += 3; },
                    [&](TProfGridCell& cell, int k, int row, int) {
                        if (FormatAllCells || row <= FixedRows())
                            steps += ExcelDiffs(cell, Columns(k)).Count();
                        if (!cell.Text().isEmpty())
                            ++steps;
                    });
    return steps + 2;
}

bool TProfGrid::ExportToExcel(bool FormatAllCells)
{
    bool result = false;
    exportEndPosition_ = CountExcelSteps(FormatAllCells);
    exportPosition_ = 0;
    stopExport_ = false;
    lastExportError_.clear();
    bool startedHere = false;
    try {
        try {
            excelApplication_ = fc::Office().GetActiveExcel();
        } catch (...) {
            excelApplication_ = fc::Office().CreateExcel();
            startedHere = true;
        }
        FireExportProgress(0, exportEndPosition_);
    } catch (...) {
        ShowStartFailure(QStringLiteral("Excel"));
        stopExport_ = true;
        return false;
    }

    OleRef<ExcelWorkbook> added;
    try {
        GetExcelApplication()->SetSheetsInNewWorkbook(1);
        added = GetExcelApplication()->Workbooks()->Add();
        excelSheet_ = GetExcelApplication()->ActiveSheet();
        {
            OleRef<ExcelRange> last = GetExcelSheet()->Cells(RowCount(), ColCount());
            OleRef<ExcelRange> first = GetExcelSheet()->Cells(1, 1);
            GetExcelSheet()->Range(first, last)->Select();
        }
        for (int i = xlEdgeLeft; i <= xlInsideHorizontal; ++i)
            GetExcelApplication()->Selection()->Borders(i)->SetLineStyle(xlContinuous);
        GetExcelApplication()->Selection()->SetWrapText(true);

        for (int c = 1; c <= ColCount(); ++c) {
            const TProfGridCol& K = Columns(c - 1);
            const TFont& f = K.Font();
            {
                OleRef<ExcelRange> bottom = GetExcelSheet()->Cells(RowCount(), c);
                OleRef<ExcelRange> top = GetExcelSheet()->Cells(1, c);
                GetExcelSheet()->Range(top, bottom)->Select();
            }
            const double columnWidth = GetExcelSheet()->Columns(c)->ColumnWidth();
            const double width = GetExcelSheet()->Columns(c)->Width();
            // The sheet column's own ratio of character units to points,
            // for a width a twelfth above the grid column's.
            {
                OleRef<ExcelRange> column = GetExcelSheet()->Columns(c);
                column->SetColumnWidth(fc::Divide(columnWidth, width) * K.Width() * 78 / kPixelsPerInch);
            }
            GetExcelApplication()->Selection()->SetVerticalAlignment(ExcelVertAlignment(K.VertAlignment()));
            GetExcelApplication()->Selection()->SetHorizontalAlignment(ExcelAlignment(K.Alignment()));
            GetExcelApplication()->Selection()->Font()->SetName(f.Name);
            GetExcelApplication()->Selection()->Font()->SetSize(SizeOf(f));
            GetExcelApplication()->Selection()->Font()->SetColor(fc::ColorToRGB(f.Color));
            GetExcelApplication()->Selection()->Interior()->SetColor(fc::ColorToRGB(K.Color()));
            if (f.Bold())
                GetExcelApplication()->Selection()->Font()->SetBold(true);
            if (f.Italic())
                GetExcelApplication()->Selection()->Font()->SetItalic(true);
            if (f.Underline())
                GetExcelApplication()->Selection()->Font()->SetUnderline(true);
            if (f.StrikeOut())
                GetExcelApplication()->Selection()->Font()->SetStrikeThrough(true);
            GetExcelSheet()->Columns(c)->SetNumberFormat(QStringLiteral("@"));
        }

        for (int r = 1; r <= RowCount(); ++r)
            if (RowHeights(r - 1) == 0)
                GetExcelSheet()->Rows(r)->SetRowHeight(0);

        // The cell's differences from the walked column K (fixed rows only
        // unless FormatAllCells), then its text, into sheet cell X.
        auto FormatExcelCell = [&](TProfGridCell& C, int k, int Row, int Col) {
            if (FormatAllCells || Row <= FixedRows()) {
                const TProfGridCol& K = Columns(k);
                const ExcelCellDiffs d = ExcelDiffs(C, K);
                const TFont& cf = C.Font();
                if (d.vAlign)
                    GetExcelSheet()->Cells(Row, Col)->SetVerticalAlignment(ExcelVertAlignment(C.VertAlignment()));
                if (d.align)
                    GetExcelSheet()->Cells(Row, Col)->SetHorizontalAlignment(ExcelAlignment(C.Alignment()));
                if (d.name)
                    GetExcelSheet()->Cells(Row, Col)->Font()->SetName(cf.Name);
                if (d.size)
                    GetExcelSheet()->Cells(Row, Col)->Font()->SetSize(SizeOf(cf));
                if (d.fontColor)
                    GetExcelSheet()->Cells(Row, Col)->Font()->SetColor(fc::ColorToRGB(cf.Color));
                if (d.color)
                    GetExcelSheet()->Cells(Row, Col)->Interior()->SetColor(fc::ColorToRGB(C.Color()));
                if (d.bold)
                    GetExcelSheet()->Cells(Row, Col)->Font()->SetBold(cf.Bold());
                if (d.italic)
                    GetExcelSheet()->Cells(Row, Col)->Font()->SetItalic(cf.Italic());
                if (d.underline)
                    GetExcelSheet()->Cells(Row, Col)->Font()->SetUnderline(cf.Underline());
                if (d.strike)
                    GetExcelSheet()->Cells(Row, Col)->Font()->SetStrikeThrough(cf.StrikeOut());
            }
            if (!C.Text().isEmpty())
                GetExcelSheet()->SetCells(Row, Col, SheetText(C.Text()));
        };
        WalkExportCells(
            [&](int k, int r, int bottom, int left) {
                OleRef<ExcelRange> corner = GetExcelSheet()->Cells(bottom + 1, left + 1);
                OleRef<ExcelRange> start = GetExcelSheet()->Cells(r + 1, k + 1);
                GetExcelSheet()->Range(start, corner)->Merge();
            },
            FormatExcelCell);

        GetExcelSheet()->Cells(1, 1)->Select();
        GetExcelApplication()->SetVisible(true);

        excelApplication_->ActiveWindow()->Activate();
        FireExportProgress(-1, 0);
        excelSheet_.Clear();
        excelApplication_.Clear();
        result = true;
    } catch (...) {
        lastExportError_ = ErrorText();
        FireExportProgress(-1, 0);
        try {
            if (startedHere) {
                excelApplication_->SetDisplayAlerts(false);
                excelApplication_->Quit();
            } else if (added) {
                // The user's own Excel: only the workbook added here goes,
                // unsaved; the user's workbooks and the application stay.
                added->Close(false);
            }
            excelSheet_.Clear();
            excelApplication_.Clear();
        } catch (...) {
        }
    }
    return result;
}
