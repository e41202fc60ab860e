#include "Office.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <unistd.h>

#include "Numbers.h"
#include "OfficeModel.h"
#include "ShellOpen.h"

namespace fc::office {

using namespace detail;

// ---------------------------------------------------------------------------
// Log texts

QString Quote(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (QChar ch : text) {
        if (ch == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (ch == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (ch == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (ch == QLatin1Char('"') || ch == QLatin1Char('\\'))
            out += QLatin1Char('\\') + QString(ch);
        else
            out += ch;
    }
    return out + QLatin1Char('"');
}

QString BoolText(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

QString NumText(double v) { return QString::number(v, 'g', 15); }

QString Access::Line() const
{
    QString line = receiver + QLatin1Char('.') + member;
    if (kind == Put)
        line += QStringLiteral(" := ") + value;
    else if (kind == Get && !value.isEmpty())
        line += QStringLiteral(" -> ") + value;
    return line;
}

void OleObject::Rec(Access::Kind kind, const QString& member, const QString& value) const
{
    s_->Record(kind, path_, member, value);
}

namespace {

QString N(int v) { return QString::number(v); }

EOleError Refused(const QString& what) { return EOleError(what); }

} // namespace

namespace detail {

void Session::Record(Access::Kind kind, const QString& receiver, const QString& member, const QString& value)
{
    if (quit)
        throw EOleError(QStringLiteral("The automation server is no longer available"));
    Access a{kind, receiver, member, value};
    if (log)
        log->push_back(a);
    if (onAccess)
        onAccess(a);
}

QString Session::FreeName(const QString& stem, const QString& ext) const
{
    QDir().mkpath(folder);
    for (int n = 1;; ++n) {
        const QString f = QDir(folder).filePath(stem + QString::number(n) + ext);
        if (!QFileInfo::exists(f))
            return f;
    }
}

void Session::Show()
{
    if (!writeFiles)
        return;
    IShellOpen& sh = shell ? *shell : fc::Shell();
    auto open = [&](const QString& file) {
        if (!sh.Open(file))
            throw EOleError(QStringLiteral("Cannot open \"%1\" with the desktop's default program")
                                .arg(QDir::toNativeSeparators(file)));
    };
    if (excel) {
        for (const auto& b : books) {
            if (!b->dirty && !b->shownFile.isEmpty())
                continue;
            QString file;
            if (!b->dirty && !b->fileName.isEmpty()) {
                file = b->fileName;
            } else {
                file = b->shownFile.isEmpty() ? FreeName(QStringLiteral("Book"), QStringLiteral(".xlsx")) : b->shownFile;
                WriteXlsx(*b, file);
                b->shownFile = file;
            }
            b->dirty = false;
            open(file);
        }
    } else {
        for (const auto& d : docs) {
            if (!d->dirty && !d->shownFile.isEmpty())
                continue;
            const QString file =
                d->shownFile.isEmpty() ? FreeName(QStringLiteral("Document"), QStringLiteral(".docx")) : d->shownFile;
            WriteDocx(*d, file);
            d->shownFile = file;
            d->dirty = false;
            open(file);
        }
    }
}

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
    for (auto& [pos, cell] : r.sheet_->cells) {
        const auto [row, col] = pos;
        if (row < r.r1_ || row > r.r2_ || col < r.c1_ || col > r.c2_)
            continue;
        for (int side : BorderSides(index_, r.r1_, r.c1_, r.r2_, r.c2_, row, col))
            fn(cell.format.borders[size_t(side)]);
    }
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
    // A merge that touches merged areas takes them in whole.
    bool grew = true;
    auto& merges = sheet_->merges;
    while (grew) {
        grew = false;
        for (auto it = merges.begin(); it != merges.end(); ++it) {
            if (it->r1 <= m.r2 && it->r2 >= m.r1 && it->c1 <= m.c2 && it->c2 >= m.c1) {
                m = {std::min(m.r1, it->r1), std::min(m.c1, it->c1), std::max(m.r2, it->r2), std::max(m.c2, it->c2)};
                merges.erase(it);
                grew = true;
                break;
            }
        }
    }
    merges.push_back(m);
}

void ExcelRange::SetValue(const QString& v) { SetValueAs(QStringLiteral("Value"), v); }

void ExcelRange::SetValueAs(const QString& member, const QString& v)
{
    Rec(Access::Put, member, Quote(v));
    Dirty();
    auto put = [&](XlCell& c) {
        if (v.isEmpty()) {
            c.kind = XlCell::Empty;
            c.text.clear();
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
    if (shape_ != Cells) {
        for (auto& [pos, cell] : sheet_->cells) {
            const auto [row, col] = pos;
            if ((shape_ == WholeColumns && col >= c1_ && col <= c2_) || (shape_ == WholeRows && row >= r1_ && row <= r2_))
                put(cell);
        }
        return;
    }
    for (int r = r1_; r <= r2_; ++r)
        for (int c = c1_; c <= c2_; ++c)
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

// ===========================================================================
// Word

namespace {

WdTable& TableOf(const std::shared_ptr<WdDoc>& d)
{
    if (!d->table)
        throw Refused(QStringLiteral("The requested member of the collection does not exist"));
    return *d->table;
}

// The cells a selection covers.
std::vector<int> SelectedCells(const Session& s)
{
    std::vector<int> out;
    const auto& d = s.activeDoc;
    if (!d || !d->table)
        return out;
    const WdTable& t = *d->table;
    for (int i = 0; i < int(t.cells.size()); ++i) {
        const WdCell& c = t.cells[size_t(i)];
        if (!c.alive)
            continue;
        if (d->sel == WdDoc::SelStory || (d->sel == WdDoc::SelColumn && c.c1 <= d->selColumn - 1 && c.c2 >= d->selColumn - 1))
            out.push_back(i);
    }
    return out;
}

std::shared_ptr<WdDoc> ActiveDoc(const Session& s)
{
    if (!s.activeDoc)
        throw Refused(QStringLiteral("This command is not available because no document is open"));
    return s.activeDoc;
}

template <class F>
void ForCells(const std::shared_ptr<WdDoc>& d, const std::vector<int>& cells, F fn)
{
    if (!d || !d->table)
        return;
    d->dirty = true;
    for (int i : cells)
        fn(d->table->cells[size_t(i)]);
}

} // namespace

void WordFont::SetName(const QString& v)
{
    Rec(Access::Put, QStringLiteral("Name"), Quote(v));
    ForCells(s_->activeDoc, cells_, [&](WdCell& c) { c.font.name = v; });
}
void WordFont::SetSize(double v)
{
    Rec(Access::Put, QStringLiteral("Size"), NumText(v));
    if (!(v >= 1 && v <= 1638))
        throw Refused(QStringLiteral("The requested font size is out of range"));
    ForCells(s_->activeDoc, cells_, [&](WdCell& c) { c.font.size = v; });
}
void WordFont::SetColor(TColor v)
{
    Rec(Access::Put, QStringLiteral("Color"), N(v));
    ForCells(s_->activeDoc, cells_, [&](WdCell& c) { c.font.color = v & 0xFFFFFF; });
}
void WordFont::SetColorIndex(int v)
{
    Rec(Access::Put, QStringLiteral("ColorIndex"), N(v));
    ForCells(s_->activeDoc, cells_, [&](WdCell& c) {
        c.font.color.reset();
        c.font.colorIndex = v;
    });
}
void WordFont::SetBold(bool v)
{
    Rec(Access::Put, QStringLiteral("Bold"), BoolText(v));
    ForCells(s_->activeDoc, cells_, [&](WdCell& c) { c.font.bold = v; });
}
void WordFont::SetItalic(bool v)
{
    Rec(Access::Put, QStringLiteral("Italic"), BoolText(v));
    ForCells(s_->activeDoc, cells_, [&](WdCell& c) { c.font.italic = v; });
}
void WordFont::SetUnderline(bool v)
{
    Rec(Access::Put, QStringLiteral("Underline"), BoolText(v));
    ForCells(s_->activeDoc, cells_, [&](WdCell& c) { c.font.underline = v; });
}
void WordFont::SetStrikeThrough(bool v)
{
    Rec(Access::Put, QStringLiteral("StrikeThrough"), BoolText(v));
    ForCells(s_->activeDoc, cells_, [&](WdCell& c) { c.font.strike = v; });
}

void WordShading::SetBackgroundPatternColor(TColor v)
{
    Rec(Access::Put, QStringLiteral("BackgroundPatternColor"), N(v));
    ForCells(s_->activeDoc, cells_, [&](WdCell& c) { c.shading = v & 0xFFFFFF; });
}
void WordShading::SetBackgroundPatternColorIndex(int v)
{
    Rec(Access::Put, QStringLiteral("BackgroundPatternColorIndex"), N(v));
    ForCells(s_->activeDoc, cells_, [&](WdCell& c) {
        c.shading.reset();
        c.shadingIndex = v;
    });
}

void WordParagraphs::SetAlignment(int v)
{
    Rec(Access::Put, QStringLiteral("Alignment"), N(v));
    if (v < 0 || v > 9)
        throw Refused(QStringLiteral("Value out of range"));
    ForCells(s_->activeDoc, cells_, [&](WdCell& c) { c.alignment = v; });
}

void WordRange::SetText(const QString& v)
{
    Rec(Access::Put, QStringLiteral("Text"), Quote(v));
    if (!whole_)
        throw Refused(QStringLiteral("This method or property is not available on this range"));
    // Paragraph marks are CR, or CR LF; the document keeps its final mark,
    // so a text ending with one makes no empty paragraph of its own.
    QString t = v;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    QStringList paras = t.split(QLatin1Char('\r'));
    if (paras.size() > 1 && paras.back().isEmpty())
        paras.removeLast();
    doc_->paragraphs = paras;
    doc_->table.reset();
    doc_->dirty = true;
}

void WordRange::Select()
{
    Rec(Access::Call, QStringLiteral("Select"));
    s_->activeDoc = doc_;
    doc_->sel = WdDoc::SelStory;
}

OleRef<WordParagraphs> WordRange::Paragraphs() const
{
    Rec(Access::Get, QStringLiteral("Paragraphs"));
    return std::make_shared<WordParagraphs>(s_, Sub(QStringLiteral("Paragraphs")), cells_);
}

OleRef<WordFont> WordRange::Font() const
{
    Rec(Access::Get, QStringLiteral("Font"));
    return std::make_shared<WordFont>(s_, Sub(QStringLiteral("Font")), cells_);
}

OleRef<WordShading> WordRange::Shading() const
{
    Rec(Access::Get, QStringLiteral("Shading"));
    return std::make_shared<WordShading>(s_, Sub(QStringLiteral("Shading")), cells_);
}

void WordCell::Merge(const OleRef<WordCell>& other)
{
    Rec(Access::Call, QStringLiteral("Merge(%1)").arg(other->Path()));
    WdTable& t = TableOf(doc_);
    if (other->doc_ != doc_)
        throw Refused(QStringLiteral("The cells to be merged must belong to the same table"));
    if (other->cell_ == cell_)
        return;
    const WdCell& a = t.cells[size_t(cell_)];
    const WdCell& b = t.cells[size_t(other->cell_)];
    const int r1 = std::min(a.r1, b.r1), c1 = std::min(a.c1, b.c1);
    const int r2 = std::max(a.r2, b.r2), c2 = std::max(a.c2, b.c2);
    // Every cell inside the rectangle must lie wholly in it.
    std::vector<int> inside;
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c) {
            const int id = t.Slot(r, c);
            const WdCell& x = t.cells[size_t(id)];
            if (x.r1 < r1 || x.r2 > r2 || x.c1 < c1 || x.c2 > c2)
                throw Refused(QStringLiteral("The cells to be merged must form a rectangle"));
            if (std::find(inside.begin(), inside.end(), id) == inside.end())
                inside.push_back(id);
        }
    // The merged cell is the top-left one, with the content of every cell
    // that had any, in reading order.
    const int keep = t.Slot(r1, c1);
    QStringList paras;
    for (int id : inside) {
        const QStringList& p = t.cells[size_t(id)].paragraphs;
        if (!(p.size() == 1 && p[0].isEmpty()))
            paras += p;
    }
    if (paras.isEmpty())
        paras.append(QString());
    for (int id : inside)
        if (id != keep)
            t.cells[size_t(id)].alive = false;
    WdCell& k = t.cells[size_t(keep)];
    k.r1 = r1;
    k.c1 = c1;
    k.r2 = r2;
    k.c2 = c2;
    k.paragraphs = paras;
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c)
            t.Slot(r, c) = keep;
    cell_ = keep;
    doc_->dirty = true;
}

void WordCell::SetVerticalAlignment(int v)
{
    Rec(Access::Put, QStringLiteral("VerticalAlignment"), N(v));
    if (v != wdCellAlignVerticalTop && v != wdCellAlignVerticalCenter && v != wdCellAlignVerticalBottom)
        throw Refused(QStringLiteral("Value out of range"));
    TableOf(doc_).cells[size_t(cell_)].vAlign = v;
    doc_->dirty = true;
}

OleRef<WordRange> WordCell::Range() const
{
    Rec(Access::Get, QStringLiteral("Range"));
    return std::make_shared<WordRange>(s_, Sub(QStringLiteral("Range")), doc_, false, std::vector<int>{cell_});
}

void WordColumn::SetWidth(double points)
{
    Rec(Access::Put, QStringLiteral("Width"), NumText(points));
    if (!(points >= 0 && points <= 1584))
        throw Refused(QStringLiteral("Value out of range"));
    TableOf(doc_).widths[size_t(col_ - 1)] = points;
    doc_->dirty = true;
}

void WordColumn::Select()
{
    Rec(Access::Call, QStringLiteral("Select"));
    s_->activeDoc = doc_;
    doc_->sel = WdDoc::SelColumn;
    doc_->selColumn = col_;
}

OleRef<WordColumn> WordColumns::Item(int col) const
{
    const QString m = QStringLiteral("Item(%1)").arg(col);
    Rec(Access::Get, m);
    if (col < 1 || col > TableOf(doc_).cols)
        throw Refused(QStringLiteral("The requested member of the collection does not exist"));
    return std::make_shared<WordColumn>(s_, Sub(m), doc_, col);
}

void WordRows::SetSpaceBetweenColumns(double points)
{
    Rec(Access::Put, QStringLiteral("SpaceBetweenColumns"), NumText(points));
    TableOf(doc_).spaceBetweenColumns = points;
    doc_->dirty = true;
}

OleRef<WordRows> WordTable::Rows() const
{
    Rec(Access::Get, QStringLiteral("Rows"));
    TableOf(doc_);
    return std::make_shared<WordRows>(s_, Sub(QStringLiteral("Rows")), doc_);
}

OleRef<WordColumns> WordTable::Columns() const
{
    Rec(Access::Get, QStringLiteral("Columns"));
    TableOf(doc_);
    return std::make_shared<WordColumns>(s_, Sub(QStringLiteral("Columns")), doc_);
}

OleRef<WordCell> WordTable::Cell(int row, int col) const
{
    const QString m = QStringLiteral("Cell(%1,%2)").arg(row).arg(col);
    Rec(Access::Get, m);
    const WdTable& t = TableOf(doc_);
    if (row >= 1 && row <= t.rows && col >= 1) {
        int n = 0, prev = -1;
        for (int c = 0; c < t.cols; ++c) {
            const int id = t.Slot(row - 1, c);
            if (id == prev)
                continue;
            prev = id;
            if (++n == col)
                return std::make_shared<WordCell>(s_, Sub(m), doc_, id);
        }
    }
    throw Refused(QStringLiteral("The requested member of the collection does not exist"));
}

void WordReplacement::ClearFormatting() { Rec(Access::Call, QStringLiteral("ClearFormatting")); }

void WordReplacement::SetText(const QString& v)
{
    Rec(Access::Put, QStringLiteral("Text"), Quote(v));
    ActiveDoc(*s_)->replaceText = v;
}

OleRef<WordReplacement> WordFind::Replacement() const
{
    Rec(Access::Get, QStringLiteral("Replacement"));
    return std::make_shared<WordReplacement>(s_, Sub(QStringLiteral("Replacement")));
}

void WordFind::SetText(const QString& v)
{
    Rec(Access::Put, QStringLiteral("Text"), Quote(v));
    ActiveDoc(*s_)->findText = v;
}
void WordFind::SetForward(bool v) { Rec(Access::Put, QStringLiteral("Forward"), BoolText(v)); }
void WordFind::SetWrap(int v) { Rec(Access::Put, QStringLiteral("Wrap"), N(v)); }
void WordFind::SetFormat(bool v) { Rec(Access::Put, QStringLiteral("Format"), BoolText(v)); }
void WordFind::SetMatchCase(bool v)
{
    Rec(Access::Put, QStringLiteral("MatchCase"), BoolText(v));
    ActiveDoc(*s_)->matchCase = v;
}
void WordFind::SetMatchWholeWord(bool v) { Rec(Access::Put, QStringLiteral("MatchWholeWord"), BoolText(v)); }
void WordFind::SetMatchWildcards(bool v) { Rec(Access::Put, QStringLiteral("MatchWildcards"), BoolText(v)); }
void WordFind::SetMatchSoundsLike(bool v) { Rec(Access::Put, QStringLiteral("MatchSoundsLike"), BoolText(v)); }
void WordFind::SetMatchAllWordForms(bool v) { Rec(Access::Put, QStringLiteral("MatchAllWordForms"), BoolText(v)); }

bool WordFind::Execute(int replace)
{
    Rec(Access::Call, QStringLiteral("Execute(Replace:=%1)").arg(replace));
    auto d = ActiveDoc(*s_);
    if (d->findText.isEmpty())
        return false;
    // The replacement's codes: ^p paragraph mark, ^t tab, ^^ caret.
    QString rep;
    for (int i = 0; i < d->replaceText.size(); ++i) {
        const QChar ch = d->replaceText[i];
        if (ch == QLatin1Char('^') && i + 1 < d->replaceText.size()) {
            const QChar code = d->replaceText[i + 1];
            if (code == QLatin1Char('p')) {
                rep += QLatin1Char('\r');
                ++i;
                continue;
            }
            if (code == QLatin1Char('t')) {
                rep += QLatin1Char('\t');
                ++i;
                continue;
            }
            if (code == QLatin1Char('^')) {
                rep += QLatin1Char('^');
                ++i;
                continue;
            }
        }
        rep += ch;
    }
    const Qt::CaseSensitivity cs = d->matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    bool found = false;
    auto run = [&](QStringList& paras) {
        QStringList out;
        for (const QString& p : paras) {
            if (!p.contains(d->findText, cs)) {
                out.append(p);
                continue;
            }
            found = true;
            if (replace == 0) {
                out.append(p);
                continue;
            }
            QString t = p;
            if (replace == wdReplaceAll) {
                t.replace(d->findText, rep, cs);
            } else {
                const int at = t.indexOf(d->findText, 0, cs);
                t.replace(at, d->findText.size(), rep);
            }
            out += t.split(QLatin1Char('\r'));
        }
        paras = out;
    };
    if (d->table) {
        for (WdCell& c : d->table->cells)
            if (c.alive)
                run(c.paragraphs);
    } else {
        run(d->paragraphs);
    }
    if (found && replace != 0)
        d->dirty = true;
    return found;
}

OleRef<WordTable> WordSelection::ConvertToTable(int separator, int numColumns, int numRows)
{
    Rec(Access::Call, QStringLiteral("ConvertToTable(Separator:=%1,NumColumns:=%2,NumRows:=%3)")
                          .arg(separator)
                          .arg(numColumns)
                          .arg(numRows));
    auto d = ActiveDoc(*s_);
    if (d->table || d->sel != WdDoc::SelStory)
        throw Refused(QStringLiteral("This method or property is not available because the selection is not text"));
    if (separator != wdSeparateByTabs || numColumns < 1 || numColumns > 63 || numRows < 1)
        throw Refused(QStringLiteral("Value out of range"));
    WdTable t;
    t.rows = numRows;
    t.cols = numColumns;
    t.widths.assign(size_t(numColumns), 6.5 * 72 / numColumns);
    t.slotIds.resize(size_t(numRows * numColumns));
    for (int r = 0; r < numRows; ++r) {
        const QStringList pieces =
            r < d->paragraphs.size() ? d->paragraphs[r].split(QLatin1Char('\t')) : QStringList();
        for (int c = 0; c < numColumns; ++c) {
            WdCell cell;
            cell.r1 = cell.r2 = r;
            cell.c1 = cell.c2 = c;
            // Pieces beyond the last column stay in the last cell, tabs and all.
            QString text = c < pieces.size() ? pieces[c] : QString();
            if (c == numColumns - 1 && pieces.size() > numColumns)
                text = pieces.mid(c).join(QLatin1Char('\t'));
            cell.paragraphs = QStringList{text};
            cell.font = d->font;
            t.Slot(r, c) = int(t.cells.size());
            t.cells.push_back(cell);
        }
    }
    d->table = std::move(t);
    d->paragraphs = QStringList{QString()};
    d->dirty = true;
    return std::make_shared<WordTable>(s_, QStringLiteral("Table1"), d);
}

OleRef<WordFind> WordSelection::Find() const
{
    Rec(Access::Get, QStringLiteral("Find"));
    return std::make_shared<WordFind>(s_, Sub(QStringLiteral("Find")));
}

OleRef<WordParagraphs> WordSelection::Paragraphs() const
{
    Rec(Access::Get, QStringLiteral("Paragraphs"));
    return std::make_shared<WordParagraphs>(s_, Sub(QStringLiteral("Paragraphs")), SelectedCells(*s_));
}

OleRef<WordFont> WordSelection::Font() const
{
    Rec(Access::Get, QStringLiteral("Font"));
    return std::make_shared<WordFont>(s_, Sub(QStringLiteral("Font")), SelectedCells(*s_));
}

OleRef<WordRange> WordSelection::Range() const
{
    Rec(Access::Get, QStringLiteral("Range"));
    auto d = ActiveDoc(*s_);
    return std::make_shared<WordRange>(s_, Sub(QStringLiteral("Range")), d, false, SelectedCells(*s_));
}

void WordSelection::HomeKey(int unit)
{
    Rec(Access::Call, QStringLiteral("HomeKey(Unit:=%1)").arg(unit));
    ActiveDoc(*s_)->sel = WdDoc::SelCollapsed;
}

bool WordOptions::CheckSpellingAsYouType() const
{
    Rec(Access::Get, QStringLiteral("CheckSpellingAsYouType"), BoolText(s_->checkSpelling));
    return s_->checkSpelling;
}
void WordOptions::SetCheckSpellingAsYouType(bool v)
{
    Rec(Access::Put, QStringLiteral("CheckSpellingAsYouType"), BoolText(v));
    s_->checkSpelling = v;
}
bool WordOptions::CheckGrammarAsYouType() const
{
    Rec(Access::Get, QStringLiteral("CheckGrammarAsYouType"), BoolText(s_->checkGrammar));
    return s_->checkGrammar;
}
void WordOptions::SetCheckGrammarAsYouType(bool v)
{
    Rec(Access::Put, QStringLiteral("CheckGrammarAsYouType"), BoolText(v));
    s_->checkGrammar = v;
}
bool WordOptions::Pagination() const
{
    Rec(Access::Get, QStringLiteral("Pagination"), BoolText(s_->pagination));
    return s_->pagination;
}
void WordOptions::SetPagination(bool v)
{
    Rec(Access::Put, QStringLiteral("Pagination"), BoolText(v));
    s_->pagination = v;
}

void WordView::SetType(int v)
{
    Rec(Access::Put, QStringLiteral("Type"), N(v));
    s_->viewType = v;
}

OleRef<WordView> WordWindow::View() const
{
    Rec(Access::Get, QStringLiteral("View"));
    return std::make_shared<WordView>(s_, Sub(QStringLiteral("View")));
}

int WordDocuments::Count() const
{
    const int n = int(s_->docs.size());
    Rec(Access::Get, QStringLiteral("Count"), N(n));
    return n;
}

QString WordApplication::Version() const
{
    Rec(Access::Get, QStringLiteral("Version"), Quote(s_->version));
    return s_->version;
}

bool WordApplication::Visible() const
{
    Rec(Access::Get, QStringLiteral("Visible"), BoolText(s_->visible));
    return s_->visible;
}

void WordApplication::SetVisible(bool v)
{
    Rec(Access::Put, QStringLiteral("Visible"), BoolText(v));
    s_->visible = v;
    if (v)
        s_->Show();
}

OleRef<WordOptions> WordApplication::Options() const
{
    Rec(Access::Get, QStringLiteral("Options"));
    return std::make_shared<WordOptions>(s_, Sub(QStringLiteral("Options")));
}

OleRef<WordSelection> WordApplication::Selection() const
{
    Rec(Access::Get, QStringLiteral("Selection"));
    ActiveDoc(*s_);
    return std::make_shared<WordSelection>(s_, Sub(QStringLiteral("Selection")));
}

OleRef<WordWindow> WordApplication::ActiveWindow() const
{
    Rec(Access::Get, QStringLiteral("ActiveWindow"));
    ActiveDoc(*s_);
    return std::make_shared<WordWindow>(s_, Sub(QStringLiteral("ActiveWindow")));
}

OleRef<WordDocuments> WordApplication::Documents() const
{
    Rec(Access::Get, QStringLiteral("Documents"));
    return std::make_shared<WordDocuments>(s_, Sub(QStringLiteral("Documents")));
}

void WordApplication::Activate() { Rec(Access::Call, QStringLiteral("Activate")); }

void WordApplication::Quit()
{
    Rec(Access::Call, QStringLiteral("Quit"));
    for (auto& d : s_->docs)
        d->open = false;
    s_->docs.clear();
    s_->activeDoc.reset();
    s_->quit = true;
}

OleRef<WordApplication> WordDocument::Application() const
{
    Rec(Access::Get, QStringLiteral("Application"));
    return std::make_shared<WordApplication>(s_, QStringLiteral("Word"));
}

OleRef<WordRange> WordDocument::Range() const
{
    Rec(Access::Get, QStringLiteral("Range"));
    if (!doc_->open)
        throw Refused(QStringLiteral("The object has been deleted"));
    return std::make_shared<WordRange>(s_, Sub(QStringLiteral("Range")), doc_, true, std::vector<int>{});
}

void WordDocument::SetSaved(bool v)
{
    Rec(Access::Put, QStringLiteral("Saved"), BoolText(v));
    doc_->saved = v;
}

void WordDocument::Close()
{
    Rec(Access::Call, QStringLiteral("Close"));
    if (!doc_->open)
        throw Refused(QStringLiteral("The object has been deleted"));
    doc_->open = false;
    auto& docs = s_->docs;
    docs.erase(std::remove(docs.begin(), docs.end(), doc_), docs.end());
    if (s_->activeDoc == doc_)
        s_->activeDoc = docs.empty() ? nullptr : docs.back();
}

void WordDocument::SaveAs(const QString& fileName)
{
    Rec(Access::Call, QStringLiteral("SaveAs(%1)").arg(Quote(fileName)));
    if (s_->writeFiles)
        WriteDocx(*doc_, fileName);
    doc_->saved = true;
}

} // namespace fc::office

// ===========================================================================
// Servers

using namespace fc::office;

namespace {

std::shared_ptr<detail::Session> MakeWordSession(const std::shared_ptr<detail::Session>& s, const QString& version)
{
    s->excel = false;
    s->version = version;
    return s;
}

OleRef<WordDocument> NewDocument(const std::shared_ptr<detail::Session>& s)
{
    auto d = std::make_shared<detail::WdDoc>();
    d->name = QStringLiteral("Document%1").arg(++s->docCounter);
    s->docs.push_back(d);
    s->activeDoc = d;
    return std::make_shared<WordDocument>(s, d->name, d);
}

} // namespace

// One folder per user: another user's folder of the same name is not ours to write.
FileOffice::FileOffice()
    : folder_(QDir(QDir::tempPath()).filePath(QStringLiteral("fancoil-export-%1").arg(::getuid())))
{
}

std::shared_ptr<detail::Session> FileOffice::NewSession(bool excel)
{
    // Where nothing can be written the application cannot work: say so at
    // its start, with the reason, rather than fail at the end.
    if (!QDir().mkpath(folder_) || !QFileInfo(folder_).isDir() || !QFileInfo(folder_).isWritable())
        throw EOleError(QStringLiteral("Cannot write to the folder \"%1\"").arg(QDir::toNativeSeparators(folder_)));
    auto s = std::make_shared<detail::Session>();
    s->excel = excel;
    s->writeFiles = true;
    s->folder = folder_;
    s->shell = shell_;
    return s;
}

OleRef<ExcelApplication> FileOffice::GetActiveExcel()
{
    auto app = running_.lock();
    if (!app || app->s_->quit)
        throw EOleError(QStringLiteral("Operation unavailable"));
    return app;
}

OleRef<ExcelApplication> FileOffice::CreateExcel()
{
    auto app = std::make_shared<ExcelApplication>(NewSession(true), QStringLiteral("Excel"));
    running_ = app;
    return app;
}

OleRef<WordDocument> FileOffice::CreateWordDocument()
{
    return NewDocument(MakeWordSession(NewSession(false), QStringLiteral("16.0")));
}

RecordingOffice::RecordingOffice()
    : log_(std::make_shared<std::vector<Access>>()), alive_(std::make_shared<bool>(true))
{
}

// Objects made here may outlive the office (a grid keeps its document).
RecordingOffice::~RecordingOffice() { *alive_ = false; }

std::shared_ptr<detail::Session> RecordingOffice::NewSession(bool excel)
{
    if (!CreateError.isEmpty())
        throw EOleError(CreateError);
    auto s = std::make_shared<detail::Session>();
    s->excel = excel;
    s->log = log_;
    s->onAccess = [this, alive = alive_](const Access& a) {
        if (*alive && OnAccess)
            OnAccess(a);
    };
    return s;
}

OleRef<ExcelApplication> RecordingOffice::GetActiveExcel()
{
    if (Excel && !Excel.Get()->s_->quit)
        return Excel;
    if (RunningExcelWorkbooks < 0)
        throw EOleError(QStringLiteral("Operation unavailable"));
    auto s = NewSession(true);
    // The user's own workbooks, made before the log starts.
    auto log = s->log;
    s->log.reset();
    Excel = std::make_shared<ExcelApplication>(s, QStringLiteral("Excel"));
    for (int i = 0; i < RunningExcelWorkbooks; ++i)
        Excel->Workbooks()->Add();
    s->visible = true;
    s->log = log;
    return Excel;
}

OleRef<ExcelApplication> RecordingOffice::CreateExcel()
{
    Excel = std::make_shared<ExcelApplication>(NewSession(true), QStringLiteral("Excel"));
    return Excel;
}

OleRef<WordDocument> RecordingOffice::CreateWordDocument()
{
    Document = NewDocument(MakeWordSession(NewSession(false), WordVersion));
    return Document;
}

QStringList RecordingOffice::Lines() const
{
    QStringList out;
    for (const Access& a : *log_)
        out.append(a.Line());
    return out;
}

QStringList RecordingOffice::Actions() const
{
    QStringList out;
    for (const Access& a : *log_)
        if (a.kind != Access::Get)
            out.append(a.Line());
    return out;
}

ScopedRecordingOffice::ScopedRecordingOffice() : previous_(fc::InstalledOffice()) { fc::SetOffice(this); }

ScopedRecordingOffice::~ScopedRecordingOffice() { fc::SetOffice(previous_); }

namespace fc {

namespace {
IOfficeServer* g_office = nullptr;
}

IOfficeServer& Office()
{
    static FileOffice fallback;
    return g_office ? *g_office : fallback;
}

void SetOffice(IOfficeServer* server) { g_office = server; }

IOfficeServer* InstalledOffice() { return g_office; }

} // namespace fc
