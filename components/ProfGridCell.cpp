// Grid cells: text, colours, fonts, word wrap and the cached height.

#include <algorithm>
#include <cstddef>
#include <mutex>
#include <vector>

#include "ProfGrid.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif
#include "platform/Numbers.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The next wrap token at the front of rest: a line break, a single blank,
// or the text up to the next blank or line break (without word wrap, the
// text up to the next line break).
QString NextWrapToken(const QString& rest, bool wordWrap)
{
    if (rest.startsWith(kCrLf))
        return kCrLf;
    const qsizetype br = rest.indexOf(kCrLf);
    if (!wordWrap)
        return br < 0 ? rest : rest.left(br);
    if (rest.startsWith(QLatin1Char(' ')))
        return QStringLiteral(" ");
    const qsizetype bl = rest.indexOf(QLatin1Char(' '));
    qsizetype end = br;
    if (bl >= 0 && (end < 0 || bl < end))
        end = bl;
    return end < 0 ? rest : rest.left(end);
}

} // namespace

namespace {

// Fixed-size blocks carved from slabs that are never given back; a freed
// cell's block is the next one handed out. Per thread, since the pool
// takes no lock; a block freed on another thread joins that thread's list.
// Under the address sanitizer every block in the pool is poisoned, so that
// a cell used after it went back is caught as on the plain heap, and the
// sanitizer builds run the very code the program runs.
#if defined(__SANITIZE_ADDRESS__)
void poison(void* p, size_t n) { __asan_poison_memory_region(p, n); }
void unpoison(void* p, size_t n) { __asan_unpoison_memory_region(p, n); }
#else
void poison(void*, size_t) {}
void unpoison(void*, size_t) {}
#endif
constexpr bool kPooled = true;

struct FreeBlock {
    FreeBlock* next;
};

class CellPool {
public:
    void* take(size_t size)
    {
        const size_t block = blockSize(size);
        if (!free_) {
            constexpr size_t kPerSlab = 256;
            auto* slab = static_cast<char*>(::operator new(block * kPerSlab));
            keepSlab(slab);
            for (size_t i = kPerSlab; i-- > 0;) {
                auto* b = reinterpret_cast<FreeBlock*>(slab + i * block);
                b->next = free_;
                free_ = b;
                poison(b, block);
            }
        }
        FreeBlock* b = free_;
        unpoison(b, block);
        free_ = b->next;
        return b;
    }
    void give(void* p, size_t size)
    {
        auto* b = static_cast<FreeBlock*>(p);
        b->next = free_;
        free_ = b;
        poison(b, blockSize(size));
    }
    static size_t blockSize(size_t size)
    {
        const size_t a = alignof(std::max_align_t);
        return (std::max(size, sizeof(FreeBlock)) + a - 1) / a * a;
    }

private:
    // Every slab stays reachable from one list that outlives the threads:
    // the leak checker reads neither the poisoned blocks that hold the free
    // lists nor a thread's pool once the thread has ended.
    static void keepSlab(void* slab)
    {
        static std::mutex lock;
        static auto* slabs = new std::vector<void*>;
        const std::lock_guard<std::mutex> hold(lock);
        slabs->push_back(slab);
    }
    FreeBlock* free_ = nullptr;
};

CellPool& cellPool()
{
    thread_local CellPool pool;
    return pool;
}

} // namespace

void* TProfGridCell::operator new(size_t size)
{
    if (!kPooled || size != sizeof(TProfGridCell))
        return ::operator new(size);
    return cellPool().take(size);
}

void TProfGridCell::operator delete(void* p, size_t size) noexcept
{
    if (!p)
        return;
    if (!kPooled || size != sizeof(TProfGridCell)) {
        ::operator delete(p);
        return;
    }
    cellPool().give(p, size);
}

TProfGridCell::TProfGridCell(TProfGridCol* column, int row)
    : grid_(&column->Grid()),
      topRow_(row),
      bottomRow_(row),
      firstCol_(column),
      lastCol_(column),
      color_(row < grid_->FixedRows() ? grid_->FixedColor() : column->Color()),
      font_(column->Font()),
      height_(grid_->DefaultRowHeight()),
      alignment_(column->Alignment()),
      vertAlignment_(column->VertAlignment())
{
}

int TProfGridCell::Col() const { return firstCol_->Index(); }

int TProfGridCell::LeftVisibleCol() const
{
    const int a = firstCol_->LayoutIndex();
    const int b = lastCol_->LayoutIndex();
    for (int p = a; p <= b; ++p)
        if (grid_->layout_[p]->Visible())
            return grid_->layout_[p]->Index();
    return lastCol_->Index();
}

int TProfGridCell::RightVisibleCol() const
{
    const int a = firstCol_->LayoutIndex();
    const int b = lastCol_->LayoutIndex();
    for (int p = b; p >= a; --p)
        if (grid_->layout_[p]->Visible())
            return grid_->layout_[p]->Index();
    return firstCol_->Index();
}

bool TProfGridCell::IsFixed() const { return Col() < grid_->FixedCols() || topRow_ < grid_->FixedRows(); }

bool TProfGridCell::IsSelected() const
{
    const TProfGridSelection& s = grid_->Selection();
    return LeftVisibleCol() <= s.Right() && RightVisibleCol() >= s.Left() && topRow_ <= s.Bottom()
        && bottomRow_ >= s.Top();
}

void TProfGridCell::SetText(const QString& value)
{
    QString v = value;
    v.remove(QChar(0));
    if (v == text_)
        return;
    if (firstCol_->NumericOnly() && firstCol_ == lastCol_ && topRow_ >= grid_->FixedRows() && !v.isEmpty()
        && v != QStringLiteral("-")) {
        QString copy = v;
        const QChar dec = fc::DecimalSeparator();
        if (dec != QLatin1Char('.'))
            copy.remove(dec);
        double x = 0;
        if (fc::ValFloat(copy, x) != 0)
            return;
    }
    // The display lines stay those of the last wrap until the next one.
    if (soleLine_) {
        lines_ = QStringList{text_};
        soleLine_ = false;
    }
    text_ = v;
    if (grid_->IsEditingCell(this)) {
        grid_->SetEditorText(text_);
        return;
    }
    needsWrap_ = true;
    grid_->RecalcRowHeight(topRow_);
    Redraw();
}

void TProfGridCell::SetColor(TColor value)
{
    if (value == color_)
        return;
    color_ = value;
    Redraw();
}

void TProfGridCell::SetAlignment(TAlignment value)
{
    if (value == alignment_)
        return;
    alignment_ = value;
    Redraw();
}

void TProfGridCell::SetVertAlignment(quint8 value)
{
    if (value == vertAlignment_)
        return;
    vertAlignment_ = value;
    Redraw();
}

void TProfGridCell::SetFont(const TFont& value)
{
    font_ = value;
    FontChanged();
}

void TProfGridCell::SetFontStyle(TFontStyles style)
{
    if (font_.Style == style)
        return;
    font_.Style = style;
    FontChanged();
}

void TProfGridCell::FontChanged()
{
    needsWrap_ = true;
    grid_->RecalcRowHeight(topRow_);
    Redraw();
}

void TProfGridCell::Redraw()
{
    if (!grid_->WindowHandleCreated() || grid_->UpdateCount() > 0)
        return;
    try {
        grid_->PaintCell(LeftVisibleCol(), topRow_, IsFixed());
    } catch (...) {
        // A failed repaint of one cell must not break the change that caused it.
    }
}

bool TProfGridCell::Wrap(QStringList& lines, bool& whole) const
{
    whole = false;
    const TProfGrid& g = *grid_;
    const ITextMeasurer& m = g.Measurer();
    const bool ww = g.WordWrap();
    const QString& ellipsis = g.EllipsisCharacter();

    // The visible columns the cell covers.
    int w = 0;
    if (firstCol_ == lastCol_) {
        if (firstCol_->Visible())
            w = firstCol_->Width();
    } else {
        const int a = firstCol_->LayoutIndex();
        const int b = lastCol_->LayoutIndex();
        for (int p = a; p <= b; ++p)
            if (g.layout_[p]->Visible())
                w += g.layout_[p]->Width();
    }
    w -= 2 * g.BorderForText();
    if (g.Options().Has(pgoVertLine) && g.GridLineWidth() > 0)
        w -= g.GridLineWidth();

    // A text without line breaks (no CR at all: one character to look for)
    // that fits is the one line, as the loop below would find: without word
    // wrap it is one token, and with it every run of its words is no wider
    // than the whole.
    if (!text_.isEmpty() && !text_.contains(QLatin1Char('\r')) && m.TextWidth(font_, text_) <= w) {
        whole = true;
        return true;
    }

    QString rest = text_;
    QString token = NextWrapToken(rest, ww);
    while (!rest.isEmpty()) {
        QString line;
        if (token != kCrLf) {
            // As many whole tokens as fit.
            while (!token.isEmpty() && !rest.isEmpty() && token != kCrLf) {
                if (m.TextWidth(font_, line + token) > w)
                    break;
                line += token;
                rest.remove(0, token.size());
                token = NextWrapToken(rest, ww);
            }
            // A token wider than the cell: broken by characters, or cut
            // with the ellipsis when lines do not wrap.
            if (!rest.isEmpty() && line.isEmpty() && token != kCrLf) {
                const QString mark = ww ? QString() : ellipsis;
                do {
                    line += rest.front();
                    rest.remove(0, 1);
                    token.remove(0, 1);
                } while (!rest.isEmpty() && !token.isEmpty()
                         && m.TextWidth(font_, line + rest.front() + mark) <= w);
                if (!ww) {
                    line += ellipsis;
                    rest.remove(0, token.size());
                    token.clear();
                }
                if (token.isEmpty())
                    token = NextWrapToken(rest, ww);
            }
            if (!line.isEmpty())
                lines << line;
            // Line breaks after the line: each further one is an empty line,
            // and a break at the very end leaves an empty last line.
            while (token == kCrLf) {
                rest.remove(0, kCrLf.size());
                token = NextWrapToken(rest, ww);
                if (token == kCrLf)
                    lines << QString();
                if (rest.isEmpty())
                    lines << QString();
            }
        } else {
            // A line break at the start of a line.
            rest.remove(0, kCrLf.size());
            lines << QString();
            token = NextWrapToken(rest, ww);
            if (rest.isEmpty())
                lines << QString();
        }
    }
    return true;
}

int TProfGridCell::CalcHeight()
{
    TProfGrid& g = *grid_;
    const int lineExtra = g.Options().Has(pgoHorzLine) ? g.GridLineWidth() : 0;
    if (g.IsEditingCell(this)) {
        TFont f;
        QStringList lines;
        QString text;
        if (g.EditorContent(f, lines, text)) {
            const int lh = g.Measurer().TextHeight(f, QStringLiteral("A"));
            int h = int(lines.size()) * lh + lineExtra;
            if (text.isEmpty() || text.endsWith(kCrLf))
                h += lh;
            h += 2 * g.BorderForText();
            lines_ = lines;
            soleLine_ = false;
            h = std::max(h, g.DefaultRowHeight());
            height_ = h;
            return h;
        }
    }
    if (!g.rewrapAll_ && !needsWrap_ && !firstCol_->NeedsWrap())
        return height_;
    try {
        QStringList lines;
        bool whole = false;
        Wrap(lines, whole);
        int h;
        if (text_.isEmpty()) {
            h = g.DefaultRowHeight();
        } else {
            const int lh = g.Measurer().TextHeight(font_, QStringLiteral("A"));
            h = lh * std::max<int>(1, whole ? 1 : int(lines.size())) + lineExtra + 2 * g.BorderForText();
        }
        h = std::max(h, g.DefaultRowHeight());
        soleLine_ = whole;
        lines_ = lines;
        height_ = h;
        needsWrap_ = false;
        return h;
    } catch (...) {
        // A row that cannot be measured keeps a usable height.
        return g.DefaultRowHeight();
    }
}
