// The workbook writer: the in-memory workbook as .xlsx, through libxlsxwriter.

#include <cerrno>
#include <cstring>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <map>
#include <set>
#include <xlsxwriter.h>

#include "OfficeLibs.h"

#include "AtomicFile.h"
#include "OfficeModel.h"

namespace fc::office::detail {

namespace {

lxw_color_t Rgb(TColor c)
{
    const quint32 v = quint32(c) & 0xFFFFFF;
    const lxw_color_t rgb = ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
    // 0 means "no colour" to the library.
    return rgb == 0 ? lxw_color_t(LXW_COLOR_BLACK) : rgb;
}

quint8 BorderStyle(const XlBorder& b)
{
    if (b.style == xlLineStyleNone || b.style == 0)
        return LXW_BORDER_NONE;
    if (b.weight == xlMedium)
        return LXW_BORDER_MEDIUM;
    if (b.weight == xlThick)
        return LXW_BORDER_THICK;
    if (b.weight == 1)
        return LXW_BORDER_HAIR;
    return LXW_BORDER_THIN;
}

QString Key(const XlFormat& f)
{
    QString k = QStringLiteral("%1|%2|%3|%4%5%6%7|")
                    .arg(f.font.name)
                    .arg(f.font.size)
                    .arg(f.font.color)
                    .arg(int(f.font.bold))
                    .arg(int(f.font.italic))
                    .arg(int(f.font.underline))
                    .arg(int(f.font.strike));
    k += QStringLiteral("%1|%2|%3|%4|%5|%6|")
             .arg(f.fill ? *f.fill : -1)
             .arg(f.hAlign)
             .arg(f.vAlign)
             .arg(int(f.wrap))
             .arg(f.orientation)
             .arg(f.numberFormat);
    for (const XlBorder& b : f.borders)
        k += QStringLiteral("%1/%2/%3|").arg(BorderStyle(b)).arg(b.color).arg(b.weight);
    return k;
}

class Formats {
public:
    Formats(const fc::office::XlsxLibrary& x, lxw_workbook* wb) : x_(x), wb_(wb) {}
    lxw_format* Get(const XlFormat& f)
    {
        static const XlFormat plain;
        if (f == plain)
            return nullptr;
        const QString key = Key(f);
        auto it = cache_.find(key);
        if (it != cache_.end())
            return it->second;
        lxw_format* x = x_.workbook_add_format(wb_);
        x_.format_set_font_name(x, f.font.name.toUtf8().constData());
        x_.format_set_font_size(x, f.font.size);
        if ((f.font.color & 0xFFFFFF) != 0)
            x_.format_set_font_color(x, Rgb(f.font.color));
        if (f.font.bold)
            x_.format_set_bold(x);
        if (f.font.italic)
            x_.format_set_italic(x);
        if (f.font.underline)
            x_.format_set_underline(x, LXW_UNDERLINE_SINGLE);
        if (f.font.strike)
            x_.format_set_font_strikeout(x);
        if (f.fill) {
            x_.format_set_pattern(x, LXW_PATTERN_SOLID);
            x_.format_set_bg_color(x, Rgb(*f.fill));
        }
        if (f.hAlign == xlLeft)
            x_.format_set_align(x, LXW_ALIGN_LEFT);
        else if (f.hAlign == xlRight)
            x_.format_set_align(x, LXW_ALIGN_RIGHT);
        else if (f.hAlign == xlCenter)
            x_.format_set_align(x, LXW_ALIGN_CENTER);
        if (f.vAlign == xlTop)
            x_.format_set_align(x, LXW_ALIGN_VERTICAL_TOP);
        else if (f.vAlign == xlCenter)
            x_.format_set_align(x, LXW_ALIGN_VERTICAL_CENTER);
        if (f.wrap)
            x_.format_set_text_wrap(x);
        if (f.orientation != 0)
            x_.format_set_rotation(x, int16_t(f.orientation));
        if (f.numberFormat != QLatin1String("General"))
            x_.format_set_num_format(x, f.numberFormat.toUtf8().constData());
        const XlBorder& l = f.borders[0];
        const XlBorder& t = f.borders[1];
        const XlBorder& b = f.borders[2];
        const XlBorder& r = f.borders[3];
        if (BorderStyle(l) != LXW_BORDER_NONE) {
            x_.format_set_left(x, BorderStyle(l));
            x_.format_set_left_color(x, Rgb(l.color));
        }
        if (BorderStyle(t) != LXW_BORDER_NONE) {
            x_.format_set_top(x, BorderStyle(t));
            x_.format_set_top_color(x, Rgb(t.color));
        }
        if (BorderStyle(b) != LXW_BORDER_NONE) {
            x_.format_set_bottom(x, BorderStyle(b));
            x_.format_set_bottom_color(x, Rgb(b.color));
        }
        if (BorderStyle(r) != LXW_BORDER_NONE) {
            x_.format_set_right(x, BorderStyle(r));
            x_.format_set_right_color(x, Rgb(r.color));
        }
        cache_[key] = x;
        return x;
    }

private:
    const fc::office::XlsxLibrary& x_;
    lxw_workbook* wb_;
    std::map<QString, lxw_format*> cache_;
};

[[noreturn]] void Fail(const QString& fileName, const QString& why)
{
    throw EFileError(QStringLiteral("Cannot save \"%1\": %2").arg(QDir::toNativeSeparators(fileName), why));
}

} // namespace

void WriteXlsx(const XlBook& book, const QString& fileName, bool replaceLink)
{
    const QFileInfo fi(fileName);
    if (fileName.isEmpty())
        Fail(fileName, QStringLiteral("no file name given"));
    if (!fi.absoluteDir().exists())
        Fail(fileName, QStringLiteral("the folder does not exist"));
    if (fi.isDir())
        Fail(fileName, QStringLiteral("a folder of that name exists"));
    QString missing;
    const fc::office::XlsxLibrary* lib = fc::office::Xlsx(&missing);
    if (!lib)
        Fail(fileName, missing);
    const fc::office::XlsxLibrary& x = *lib;
    // The library writes the temporary file by name; the writer syncs it and
    // renames it over the target, so that a failed write never leaves half a
    // workbook under the name.
    AtomicFile out(fileName, replaceLink ? AtomicFile::ReplaceLink : AtomicFile::FollowLink);
    if (!out.open(QIODevice::WriteOnly))
        Fail(fileName, out.errorString());
    const QByteArray tmpName = QFile::encodeName(out.TempFileName());
    lxw_workbook* wb = x.workbook_new(tmpName.constData());
    if (!wb)
        Fail(fileName, QStringLiteral("out of memory"));
    Formats formats(x, wb);
    std::set<QString> names;
    for (const auto& sh : book.sheets) {
        lxw_worksheet* ws = x.workbook_add_worksheet(wb, sh->name.toUtf8().constData());
        if (!ws) {
            x.workbook_close(wb);
            Fail(fileName, QStringLiteral("the sheet name \"%1\" is not valid").arg(sh->name));
        }
        std::set<int> cols;
        for (const auto& [c, w] : sh->columnWidths)
            cols.insert(c);
        for (const auto& [c, f] : sh->columnFormats)
            cols.insert(c);
        for (int c : cols)
            x.worksheet_set_column(ws, lxw_col_t(c - 1), lxw_col_t(c - 1), sh->ColumnWidth(c),
                                 formats.Get(sh->ColumnFormat(c)));
        for (const auto& [r, h] : sh->rowHeights) {
            if (h <= 0) {
                lxw_row_col_options hidden{1, 0, 0};
                x.worksheet_set_row_opt(ws, lxw_row_t(r - 1), LXW_DEF_ROW_HEIGHT, nullptr, &hidden);
            } else {
                x.worksheet_set_row(ws, lxw_row_t(r - 1), h, nullptr);
            }
        }
        for (const XlRect& m : sh->merges) {
            if (!m.live)
                continue;
            auto it = sh->cells.find({m.r1, m.c1});
            lxw_format* f = it != sh->cells.end() ? formats.Get(it->second.format) : nullptr;
            x.worksheet_merge_range(ws, lxw_row_t(m.r1 - 1), lxw_col_t(m.c1 - 1), lxw_row_t(m.r2 - 1),
                                  lxw_col_t(m.c2 - 1), "", f);
        }
        // Cells after the merges: the merge wrote blanks over its area.
        for (const auto& [pos, cell] : sh->cells) {
            const lxw_row_t r = lxw_row_t(pos.first - 1);
            const lxw_col_t c = lxw_col_t(pos.second - 1);
            lxw_format* f = formats.Get(cell.format);
            switch (cell.kind) {
            case XlCell::Empty:
                if (f)
                    x.worksheet_write_blank(ws, r, c, f);
                break;
            case XlCell::Text:
                x.worksheet_write_string(ws, r, c, cell.text.toUtf8().constData(), f);
                break;
            case XlCell::Number:
                x.worksheet_write_number(ws, r, c, cell.number, f);
                break;
            case XlCell::Formula:
                x.worksheet_write_formula(ws, r, c, cell.text.toUtf8().constData(), f);
                break;
            }
        }
        for (const XlPicture& p : sh->pictures)
            x.worksheet_insert_image_buffer(ws, lxw_row_t(p.row - 1), lxw_col_t(p.col - 1),
                                          reinterpret_cast<const unsigned char*>(p.bytes.constData()),
                                          size_t(p.bytes.size()));
    }
    // The library's own texts ("Zip generic error ZIP_ERRNO") hide a failed
    // write: the system's reason is the one to show.
    errno = 0;
    const lxw_error err = x.workbook_close(wb);
    const int writeErrno = errno;
    if (err != LXW_NO_ERROR)
        Fail(fileName, writeErrno ? QString::fromLocal8Bit(std::strerror(writeErrno)) : QString::fromUtf8(x.lxw_strerror(err)));
    if (!out.commit())
        Fail(fileName, out.errorString());
}

void WriteFileAtomically(const QString& fileName, const QByteArray& bytes, bool replaceLink)
{
    if (fileName.isEmpty())
        Fail(fileName, QStringLiteral("no file name given"));
    fc::WriteFileAtomically(fileName, bytes, replaceLink ? AtomicFile::ReplaceLink : AtomicFile::FollowLink);
}

} // namespace fc::office::detail
