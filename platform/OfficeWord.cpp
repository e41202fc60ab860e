// The word processor's automation objects: documents, tables, cells and
// the selection over the in-memory document of OfficeModel.h.

#include "Office.h"

#include <algorithm>
#include <cmath>

#include "OfficeModel.h"

namespace fc::office {

using namespace detail;

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
