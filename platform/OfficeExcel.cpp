// The spreadsheet's automation objects: workbooks, sheets and ranges over
// the in-memory workbook of OfficeModel.h.

#include "Office.h"

#include <algorithm>
#include <cmath>

#include "Numbers.h"
#include "OfficeModel.h"

namespace fc::office {

using namespace detail;

namespace detail {

XlCell& XlSheet::CellAt(int row, int col)
{
    auto it = cells.find({row, col});
    if (it != cells.end())
        return it->second;
    XlCell& c = cells[{row, col}];
    c.format = ColumnFormat(col);
    return c;
}

XlFormat XlSheet::ColumnFormat(int col) const
{
    auto it = columnFormats.find(col);
    return it != columnFormats.end() ? it->second : XlFormat();
}

int XlSheet::MergeAt(int row, int col) const
{
    const auto it = mergesByRow.find(row);
    if (it == mergesByRow.end())
        return -1;
    for (int i : it->second) {
        const XlRect& m = merges[size_t(i)];
        if (m.live && col >= m.c1 && col <= m.c2)
            return i;
    }
    return -1;
}

bool XlSheet::Covered(int row, int col) const
{
    const int i = MergeAt(row, col);
    return i >= 0 && !(row == merges[size_t(i)].r1 && col == merges[size_t(i)].c1);
}

void XlSheet::AddMerge(const XlRect& m)
{
    const int index = int(merges.size());
    merges.push_back(m);
    for (int r = m.r1; r <= m.r2; ++r)
        mergesByRow[r].push_back(index);
}

void ClearValue(XlCell& cell)
{
    cell.kind = XlCell::Empty;
    cell.text.clear();
    cell.number = 0;
}

double XlSheet::ColumnWidth(int col) const
{
    auto it = columnWidths.find(col);
    return it != columnWidths.end() ? it->second : kXlDefaultColumnWidth;
}

double ColumnWidthToPoints(double width)
{
    // Pixels of the default font (7 pixels per digit, 5 of padding), at
    // 96 pixels per inch.
    const double px = width < 1 ? std::floor(width * 12 + 0.5) : std::floor(width * 7 + 5);
    return px * 72.0 / 96.0;
}

} // namespace detail

// ===========================================================================
// Excel

namespace {

void CheckCell(int row, int col)
{
    if (row < 1 || row > kXlMaxRows || col < 1 || col > kXlMaxCols)
        throw Refused(QStringLiteral("Cell index out of range (%1, %2)").arg(row).arg(col));
}

// "B3" to (3, 2); false when it is no cell name.
bool ParseCellName(const QString& t, int& row, int& col)
{
    int i = 0;
    col = 0;
    while (i < t.size() && t[i].isLetter() && t[i].toLatin1() != 0) {
        col = col * 26 + (t[i].toUpper().toLatin1() - 'A' + 1);
        if (col > kXlMaxCols)
            return false;
        ++i;
    }
    if (i == 0 || i == t.size())
        return false;
    bool ok = false;
    row = t.mid(i).toInt(&ok);
    return ok && row >= 1 && row <= kXlMaxRows && t[i].isDigit();
}

} // namespace

void ExcelFont::SetName(const QString& v)
{
    Rec(Access::Put, QStringLiteral("Name"), Quote(v));
    r_->Apply([&](XlFormat& f) { f.font.name = v; });
}
void ExcelFont::SetSize(double v)
{
    Rec(Access::Put, QStringLiteral("Size"), NumText(v));
    if (!(v >= 1 && v <= 409))
        throw Refused(QStringLiteral("Unable to set the Size property of the Font class"));
    r_->Apply([&](XlFormat& f) { f.font.size = v; });
}
void ExcelFont::SetColor(TColor v)
{
    Rec(Access::Put, QStringLiteral("Color"), N(v));
    r_->Apply([&](XlFormat& f) { f.font.color = v & 0xFFFFFF; });
}
void ExcelFont::SetBold(bool v)
{
    Rec(Access::Put, QStringLiteral("Bold"), BoolText(v));
    r_->Apply([&](XlFormat& f) { f.font.bold = v; });
}
void ExcelFont::SetItalic(bool v)
{
    Rec(Access::Put, QStringLiteral("Italic"), BoolText(v));
    r_->Apply([&](XlFormat& f) { f.font.italic = v; });
}
void ExcelFont::SetUnderline(bool v)
{
    Rec(Access::Put, QStringLiteral("Underline"), BoolText(v));
    r_->Apply([&](XlFormat& f) { f.font.underline = v; });
}
void ExcelFont::SetStrikeThrough(bool v)
{
    Rec(Access::Put, QStringLiteral("StrikeThrough"), BoolText(v));
    r_->Apply([&](XlFormat& f) { f.font.strike = v; });
}

void ExcelInterior::SetColor(TColor v)
{
    Rec(Access::Put, QStringLiteral("Color"), N(v));
    r_->Apply([&](XlFormat& f) { f.fill = v & 0xFFFFFF; });
}

namespace {

// The sides (left, top, bottom, right) of the cell at (row, col) that a
// border index of range r draws.
std::vector<int> BorderSides(int index, int r1, int c1, int r2, int c2, int row, int col)
{
    std::vector<int> sides;
    switch (index) {
    case xlEdgeLeft:
        if (col == c1)
            sides.push_back(0);
        break;
    case xlEdgeTop:
        if (row == r1)
            sides.push_back(1);
        break;
    case xlEdgeBottom:
        if (row == r2)
            sides.push_back(2);
        break;
    case xlEdgeRight:
        if (col == c2)
            sides.push_back(3);
        break;
    case xlInsideVertical:
        if (col > c1)
            sides.push_back(0);
        if (col < c2)
            sides.push_back(3);
        break;
    case xlInsideHorizontal:
        if (row > r1)
            sides.push_back(1);
        if (row < r2)
            sides.push_back(2);
        break;
    default: break;
    }
    return sides;
}

} // namespace

void ExcelBorder::Edit(const std::function<void(detail::XlBorder&)>& fn) const
{
    const ExcelRange& r = *r_;
    r.Apply([](XlFormat&) {}); // makes the cells of a cell range
    // The cells of the range's rows, each row from its first column: a walk
    // of the range, not of the sheet.
    auto& cells = r.sheet_->cells;
    const int lastRow = std::min(r.r2_, cells.empty() ? 0 : cells.rbegin()->first.first);
    for (int row = r.r1_; row <= lastRow; ++row)
        for (auto it = cells.lower_bound({row, r.c1_}); it != cells.end() && it->first.first == row &&
                                                         it->first.second <= r.c2_;
             ++it)
            for (int side : BorderSides(index_, r.r1_, r.c1_, r.r2_, r.c2_, row, it->first.second))
                fn(it->second.format.borders[size_t(side)]);
}

void ExcelBorder::SetLineStyle(int v)
{
    Rec(Access::Put, QStringLiteral("LineStyle"), N(v));
    Edit([&](XlBorder& b) { b.style = v; });
}

void ExcelBorder::SetColor(TColor v)
{
    Rec(Access::Put, QStringLiteral("Color"), N(v));
    Edit([&](XlBorder& b) { b.color = v & 0xFFFFFF; });
}

void ExcelBorder::SetWeight(int v)
{
    Rec(Access::Put, QStringLiteral("Weight"), N(v));
    if (v != 1 && v != xlThin && v != xlMedium && v != xlThick)
        throw Refused(QStringLiteral("Unable to set the Weight property of the Border class"));
    Edit([&](XlBorder& b) { b.weight = v; });
}

ExcelRange::ExcelRange(std::shared_ptr<detail::Session> s, QString path, std::shared_ptr<detail::XlSheet> sheet,
                       Shape shape, int r1, int c1, int r2, int c2)
    : OleObject(std::move(s), std::move(path)), sheet_(std::move(sheet)), shape_(shape), r1_(std::min(r1, r2)),
      c1_(std::min(c1, c2)), r2_(std::max(r1, r2)), c2_(std::max(c1, c2))
{
}

void ExcelRange::Dirty() const
{
    if (auto b = sheet_->book.lock())
        b->dirty = true;
}

void ExcelRange::Apply(const std::function<void(detail::XlFormat&)>& fn) const
{
    Dirty();
    if (shape_ == Cells) {
        for (int r = r1_; r <= r2_; ++r)
            for (int c = c1_; c <= c2_; ++c)
                fn(sheet_->CellAt(r, c).format);
        return;
    }
    if (shape_ == WholeColumns)
        for (int c = c1_; c <= c2_; ++c) {
            XlFormat f = sheet_->ColumnFormat(c);
            fn(f);
            sheet_->columnFormats[c] = f;
        }
    for (auto& [pos, cell] : sheet_->cells) {
        const auto [row, col] = pos;
        if ((shape_ == WholeColumns && col >= c1_ && col <= c2_) || (shape_ == WholeRows && row >= r1_ && row <= r2_))
            fn(cell.format);
    }
}

void ExcelRange::Select()
{
    Rec(Access::Call, QStringLiteral("Select"));
    s_->selSheet = sheet_;
    s_->sel = {r1_, c1_, r2_, c2_};
}

void ExcelRange::Merge()
{
    Rec(Access::Call, QStringLiteral("Merge"));
    if (shape_ != Cells)
        throw Refused(QStringLiteral("Merge method of Range class failed"));
    Dirty();
    XlRect m{r1_, c1_, r2_, c2_};
    if (m.r1 == m.r2 && m.c1 == m.c2)
        return;
    // A merge that touches merged areas takes them in whole. Only the
    // merges of the rows the area covers can touch it.
    XlSheet& sh = *sheet_;
    for (bool grew = true; grew;) {
        grew = false;
        for (int r = m.r1; r <= m.r2 && !grew; ++r) {
            const auto it = sh.mergesByRow.find(r);
            if (it == sh.mergesByRow.end())
                continue;
            for (int i : it->second) {
                XlRect& o = sh.merges[size_t(i)];
                if (o.live && o.c1 <= m.c2 && o.c2 >= m.c1) {
                    m = {std::min(m.r1, o.r1), std::min(m.c1, o.c1), std::max(m.r2, o.r2), std::max(m.c2, o.c2)};
                    o.live = false;
                    grew = true;
                    break;
                }
            }
        }
    }
    sh.AddMerge(m);
    // As the application's own merge: the area keeps the value of its
    // top-left cell, the others are emptied.
    for (int r = m.r1; r <= m.r2; ++r)
        for (auto it = sh.cells.lower_bound({r, m.c1}); it != sh.cells.end() && it->first.first == r &&
                                                         it->first.second <= m.c2;
             ++it)
            if (!(r == m.r1 && it->first.second == m.c1))
                ClearValue(it->second);
}

void ExcelRange::SetValue(const QString& v) { SetValueAs(QStringLiteral("Value"), v); }

void ExcelRange::SetValueAs(const QString& member, const QString& v)
{
    Rec(Access::Put, member, Quote(v));
    Dirty();
    auto put = [&](XlCell& c) {
        if (v.isEmpty()) {
            ClearValue(c);
        } else if (c.format.numberFormat == QLatin1String("@")) {
            c.kind = XlCell::Text;
            c.text = v;
        } else if (v.startsWith(QLatin1Char('='))) {
            c.kind = XlCell::Formula;
            c.text = v;
        } else {
            double d = 0;
            if (fc::TryStrToFloat(v.trimmed(), d)) {
                c.kind = XlCell::Number;
                c.number = d;
                c.text.clear();
            } else {
                c.kind = XlCell::Text;
                c.text = v;
            }
        }
    };
    // A cell that a merged area covers holds nothing: the area's value is
    // its top-left cell's.
    if (shape_ != Cells) {
        for (auto& [pos, cell] : sheet_->cells) {
            const auto [row, col] = pos;
            if (((shape_ == WholeColumns && col >= c1_ && col <= c2_) || (shape_ == WholeRows && row >= r1_ && row <= r2_))
                && !sheet_->Covered(row, col))
                put(cell);
        }
        return;
    }
    for (int r = r1_; r <= r2_; ++r)
        for (int c = c1_; c <= c2_; ++c)
            if (!sheet_->Covered(r, c))
                put(sheet_->CellAt(r, c));
}

void ExcelRange::SetNumberFormat(const QString& v)
{
    Rec(Access::Put, QStringLiteral("NumberFormat"), Quote(v));
    Apply([&](XlFormat& f) { f.numberFormat = v; });
}

void ExcelRange::SetHorizontalAlignment(int v)
{
    Rec(Access::Put, QStringLiteral("HorizontalAlignment"), N(v));
    if (v != xlLeft && v != xlRight && v != xlCenter && v != xlGeneral)
        throw Refused(QStringLiteral("Unable to set the HorizontalAlignment property of the Range class"));
    Apply([&](XlFormat& f) { f.hAlign = v; });
}

void ExcelRange::SetVerticalAlignment(int v)
{
    Rec(Access::Put, QStringLiteral("VerticalAlignment"), N(v));
    if (v != xlTop && v != xlBottom && v != xlCenter)
        throw Refused(QStringLiteral("Unable to set the VerticalAlignment property of the Range class"));
    Apply([&](XlFormat& f) { f.vAlign = v; });
}

void ExcelRange::SetWrapText(bool v)
{
    Rec(Access::Put, QStringLiteral("WrapText"), BoolText(v));
    Apply([&](XlFormat& f) { f.wrap = v; });
}

void ExcelRange::SetOrientation(int v)
{
    Rec(Access::Put, QStringLiteral("Orientation"), N(v));
    if (!(v == xlUpward || v == xlDownward || (v >= -90 && v <= 90)))
        throw Refused(QStringLiteral("Unable to set the Orientation property of the Range class"));
    Apply([&](XlFormat& f) { f.orientation = v == xlUpward ? 90 : v == xlDownward ? -90 : v; });
}

double ExcelRange::ColumnWidth() const
{
    const double w = sheet_->ColumnWidth(c1_);
    Rec(Access::Get, QStringLiteral("ColumnWidth"), NumText(w));
    return w;
}

void ExcelRange::SetColumnWidth(double v)
{
    Rec(Access::Put, QStringLiteral("ColumnWidth"), NumText(v));
    if (!(v >= 0 && v <= 255))
        throw Refused(QStringLiteral("Unable to set the ColumnWidth property of the Range class"));
    if (shape_ == WholeRows)
        throw Refused(QStringLiteral("Unable to set the ColumnWidth property of the Range class"));
    Dirty();
    for (int c = c1_; c <= c2_; ++c)
        sheet_->columnWidths[c] = v;
}

double ExcelRange::Width() const
{
    double w = 0;
    for (int c = c1_; c <= c2_; ++c)
        w += ColumnWidthToPoints(sheet_->ColumnWidth(c));
    Rec(Access::Get, QStringLiteral("Width"), NumText(w));
    return w;
}

void ExcelRange::SetRowHeight(double v)
{
    Rec(Access::Put, QStringLiteral("RowHeight"), NumText(v));
    if (!(v >= 0 && v <= 409))
        throw Refused(QStringLiteral("Unable to set the RowHeight property of the Range class"));
    if (shape_ == WholeColumns)
        throw Refused(QStringLiteral("Unable to set the RowHeight property of the Range class"));
    Dirty();
    for (int r = r1_; r <= r2_; ++r)
        sheet_->rowHeights[r] = v;
}

OleRef<ExcelFont> ExcelRange::Font() const
{
    Rec(Access::Get, QStringLiteral("Font"));
    return std::make_shared<ExcelFont>(s_, Sub(QStringLiteral("Font")), shared_from_this());
}

OleRef<ExcelInterior> ExcelRange::Interior() const
{
    Rec(Access::Get, QStringLiteral("Interior"));
    return std::make_shared<ExcelInterior>(s_, Sub(QStringLiteral("Interior")), shared_from_this());
}

OleRef<ExcelBorder> ExcelRange::Borders(int index) const
{
    const QString m = QStringLiteral("Borders(%1)").arg(index);
    Rec(Access::Get, m);
    if (index < xlEdgeLeft || index > xlInsideHorizontal)
        throw Refused(QStringLiteral("Unable to get the Borders property of the Range class"));
    return std::make_shared<ExcelBorder>(s_, Sub(m), shared_from_this(), index);
}

QString ExcelSheet::Name() const
{
    Rec(Access::Get, QStringLiteral("Name"), Quote(sheet_->name));
    return sheet_->name;
}

OleRef<ExcelRange> ExcelSheet::Cells(int row, int col) const
{
    const QString m = QStringLiteral("Cells(%1,%2)").arg(row).arg(col);
    Rec(Access::Get, m);
    CheckCell(row, col);
    return std::shared_ptr<ExcelRange>(new ExcelRange(s_, Sub(m), sheet_, ExcelRange::Cells, row, col, row, col));
}

void ExcelSheet::SetCells(int row, int col, const QString& value)
{
    const QString m = QStringLiteral("Cells(%1,%2)").arg(row).arg(col);
    CheckCell(row, col);
    // The put goes to the cell's value; the line shows it as the put of Cells.
    ExcelRange r(s_, path_, sheet_, ExcelRange::Cells, row, col, row, col);
    r.SetValueAs(m, value);
}

OleRef<ExcelRange> ExcelSheet::Range(const OleRef<ExcelRange>& a, const OleRef<ExcelRange>& b) const
{
    const QString m = QStringLiteral("Range(%1,%2)").arg(a->Path(), b->Path());
    Rec(Access::Get, m);
    if (a->sheet_ != sheet_ || b->sheet_ != sheet_)
        throw Refused(QStringLiteral("Method 'Range' of object '_Worksheet' failed"));
    return std::shared_ptr<ExcelRange>(new ExcelRange(s_, Sub(m), sheet_, ExcelRange::Cells,
                                                      std::min(a->r1_, b->r1_), std::min(a->c1_, b->c1_),
                                                      std::max(a->r2_, b->r2_), std::max(a->c2_, b->c2_)));
}

OleRef<ExcelRange> ExcelSheet::Range(const QString& name) const
{
    const QString m = QStringLiteral("Range(%1)").arg(Quote(name));
    Rec(Access::Get, m);
    const QStringList parts = name.split(QLatin1Char(':'));
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (parts.size() > 2 || !ParseCellName(parts[0], r1, c1)
        || (parts.size() == 2 && !ParseCellName(parts[1], r2, c2)))
        throw Refused(QStringLiteral("Method 'Range' of object '_Worksheet' failed"));
    if (parts.size() == 1) {
        r2 = r1;
        c2 = c1;
    }
    return std::shared_ptr<ExcelRange>(new ExcelRange(s_, Sub(m), sheet_, ExcelRange::Cells, r1, c1, r2, c2));
}

OleRef<ExcelRange> ExcelSheet::Columns(int col) const
{
    const QString m = QStringLiteral("Columns(%1)").arg(col);
    Rec(Access::Get, m);
    CheckCell(1, col);
    return std::shared_ptr<ExcelRange>(
        new ExcelRange(s_, Sub(m), sheet_, ExcelRange::WholeColumns, 1, col, kXlMaxRows, col));
}

OleRef<ExcelRange> ExcelSheet::Rows(int row) const
{
    const QString m = QStringLiteral("Rows(%1)").arg(row);
    Rec(Access::Get, m);
    CheckCell(row, 1);
    return std::shared_ptr<ExcelRange>(new ExcelRange(s_, Sub(m), sheet_, ExcelRange::WholeRows, row, 1, row, kXlMaxCols));
}

void ExcelSheet::Paste(const OleRef<ExcelRange>& destination, const QByteArray& picture)
{
    Rec(Access::Call, QStringLiteral("Paste(%1)").arg(destination->Path()));
    if (picture.isEmpty())
        throw Refused(QStringLiteral("Paste method of Worksheet class failed"));
    sheet_->pictures.push_back({destination->Row(), destination->Column(), picture});
    if (auto b = sheet_->book.lock())
        b->dirty = true;
}

QString ExcelWorkbook::Name() const
{
    Rec(Access::Get, QStringLiteral("Name"), Quote(book_->name));
    return book_->name;
}

OleRef<ExcelSheet> ExcelWorkbook::ActiveSheet() const
{
    Rec(Access::Get, QStringLiteral("ActiveSheet"));
    const auto& sh = book_->sheets[size_t(book_->active)];
    return std::make_shared<ExcelSheet>(s_, sh->name, sh);
}

void ExcelWorkbook::SaveAs(const QString& fileName)
{
    Rec(Access::Call, QStringLiteral("SaveAs(%1)").arg(Quote(fileName)));
    if (s_->writeFiles)
        WriteXlsx(*book_, fileName);
    book_->fileName = fileName;
    book_->dirty = false;
}

void ExcelWorkbook::SetSaved(bool v)
{
    Rec(Access::Put, QStringLiteral("Saved"), BoolText(v));
}

void ExcelWorkbook::Close(bool saveChanges)
{
    Rec(Access::Call, QStringLiteral("Close(%1)").arg(BoolText(saveChanges)));
    if (saveChanges && book_->dirty && !book_->fileName.isEmpty() && s_->writeFiles)
        WriteXlsx(*book_, book_->fileName);
    auto& books = s_->books;
    books.erase(std::remove(books.begin(), books.end(), book_), books.end());
    if (s_->activeBook == book_)
        s_->activeBook = books.empty() ? nullptr : books.back();
    if (s_->selSheet && s_->selSheet->book.lock() == book_)
        s_->selSheet.reset();
}

OleRef<ExcelWorkbook> ExcelWorkbooks::Add()
{
    Rec(Access::Call, QStringLiteral("Add"));
    auto book = std::make_shared<XlBook>();
    book->name = QStringLiteral("Book%1").arg(++s_->bookCounter);
    for (int i = 1; i <= s_->sheetsInNewWorkbook; ++i) {
        auto sh = std::make_shared<XlSheet>();
        sh->name = QStringLiteral("Sheet%1").arg(i);
        sh->book = book;
        book->sheets.push_back(sh);
    }
    s_->books.push_back(book);
    s_->activeBook = book;
    s_->selSheet = book->sheets.front();
    s_->sel = {1, 1, 1, 1};
    return std::make_shared<ExcelWorkbook>(s_, book->name, book);
}

int ExcelWorkbooks::Count() const
{
    const int n = int(s_->books.size());
    Rec(Access::Get, QStringLiteral("Count"), N(n));
    return n;
}

void ExcelWindow::Activate() { Rec(Access::Call, QStringLiteral("Activate")); }

int ExcelApplication::SheetsInNewWorkbook() const
{
    Rec(Access::Get, QStringLiteral("SheetsInNewWorkbook"), N(s_->sheetsInNewWorkbook));
    return s_->sheetsInNewWorkbook;
}

void ExcelApplication::SetSheetsInNewWorkbook(int v)
{
    Rec(Access::Put, QStringLiteral("SheetsInNewWorkbook"), N(v));
    if (v < 1 || v > 255)
        throw Refused(QStringLiteral("Unable to set the SheetsInNewWorkbook property of the Application class"));
    s_->sheetsInNewWorkbook = v;
}

OleRef<ExcelWorkbooks> ExcelApplication::Workbooks() const
{
    Rec(Access::Get, QStringLiteral("Workbooks"));
    return std::make_shared<ExcelWorkbooks>(s_, Sub(QStringLiteral("Workbooks")));
}

OleRef<ExcelSheet> ExcelApplication::ActiveSheet() const
{
    Rec(Access::Get, QStringLiteral("ActiveSheet"));
    if (!s_->activeBook)
        throw Refused(QStringLiteral("There is no active sheet"));
    const auto& sh = s_->activeBook->sheets[size_t(s_->activeBook->active)];
    return std::make_shared<ExcelSheet>(s_, sh->name, sh);
}

OleRef<ExcelRange> ExcelApplication::Selection() const
{
    Rec(Access::Get, QStringLiteral("Selection"));
    if (!s_->selSheet)
        throw Refused(QStringLiteral("There is no selection"));
    const XlRect& r = s_->sel;
    return std::shared_ptr<ExcelRange>(
        new ExcelRange(s_, Sub(QStringLiteral("Selection")), s_->selSheet, ExcelRange::Cells, r.r1, r.c1, r.r2, r.c2));
}

OleRef<ExcelWindow> ExcelApplication::ActiveWindow() const
{
    Rec(Access::Get, QStringLiteral("ActiveWindow"));
    return std::make_shared<ExcelWindow>(s_, Sub(QStringLiteral("ActiveWindow")));
}

bool ExcelApplication::Visible() const
{
    Rec(Access::Get, QStringLiteral("Visible"), BoolText(s_->visible));
    return s_->visible;
}

void ExcelApplication::SetVisible(bool v)
{
    Rec(Access::Put, QStringLiteral("Visible"), BoolText(v));
    s_->visible = v;
    if (v)
        s_->Show();
}

void ExcelApplication::SetDisplayAlerts(bool v)
{
    Rec(Access::Put, QStringLiteral("DisplayAlerts"), BoolText(v));
    s_->displayAlerts = v;
}

void ExcelApplication::SetCaption(const QString& v)
{
    Rec(Access::Put, QStringLiteral("Caption"), Quote(v));
    s_->caption = v;
}

void ExcelApplication::Quit()
{
    Rec(Access::Call, QStringLiteral("Quit"));
    s_->books.clear();
    s_->activeBook.reset();
    s_->selSheet.reset();
    s_->quit = true;
}
} // namespace fc::office
