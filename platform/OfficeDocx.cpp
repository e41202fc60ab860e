// The document writer: the in-memory document as a WordprocessingML
// package (.docx), zipped with libzip in memory and written atomically.

#include <QDir>
#include <cmath>
#include <vector>
#include <zip.h>

#include "OfficeLibs.h"

#include "OfficeModel.h"

namespace fc::office::detail {

namespace {

// The sixteen colours of the colour indexes, by index.
constexpr TColor kIndexColors[] = {
    0, clBlack, clBlue, clAqua, clLime, clFuchsia, clRed, clYellow, clWhite,
    clNavy, clTeal, clGreen, clPurple, clMaroon, clOlive, clGray, clSilver,
};

QString Hex(TColor c)
{
    const quint32 v = quint32(c) & 0xFFFFFF;
    return QStringLiteral("%1%2%3")
        .arg(v & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((v >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((v >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper();
}

std::optional<TColor> IndexColor(int index)
{
    if (index >= 1 && index <= 16)
        return kIndexColors[index];
    return std::nullopt;
}

QString Esc(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (QChar ch : s) {
        switch (ch.unicode()) {
        case '&': out += QStringLiteral("&amp;"); break;
        case '<': out += QStringLiteral("&lt;"); break;
        case '>': out += QStringLiteral("&gt;"); break;
        case '"': out += QStringLiteral("&quot;"); break;
        default:
            // Control characters have no place in XML 1.0.
            if (ch.unicode() >= 0x20 || ch == QLatin1Char('\t') || ch == QLatin1Char('\n'))
                out += ch;
        }
    }
    return out;
}

int Twips(double points) { return int(std::lround(points * 20)); }

QString RunProps(const WdFont& f)
{
    QString p = QStringLiteral("<w:rPr>");
    const QString n = Esc(f.name);
    p += QStringLiteral("<w:rFonts w:ascii=\"%1\" w:hAnsi=\"%1\" w:cs=\"%1\"/>").arg(n);
    if (f.bold)
        p += QStringLiteral("<w:b/>");
    if (f.italic)
        p += QStringLiteral("<w:i/>");
    if (f.strike)
        p += QStringLiteral("<w:strike/>");
    const std::optional<TColor> color = f.color ? f.color : IndexColor(f.colorIndex);
    if (color)
        p += QStringLiteral("<w:color w:val=\"%1\"/>").arg(Hex(*color));
    p += QStringLiteral("<w:sz w:val=\"%1\"/>").arg(std::lround(f.size * 2));
    if (f.underline)
        p += QStringLiteral("<w:u w:val=\"single\"/>");
    return p + QStringLiteral("</w:rPr>");
}

QString Paragraph(const QString& text, int alignment, const WdFont& font)
{
    static const char* const jc[] = {"left", "center", "right", "both"};
    QString p = QStringLiteral("<w:p>");
    if (alignment >= 0 && alignment <= 3)
        p += QStringLiteral("<w:pPr><w:jc w:val=\"%1\"/></w:pPr>").arg(QLatin1String(jc[alignment]));
    if (!text.isEmpty()) {
        p += QStringLiteral("<w:r>") + RunProps(font);
        // Line feeds are line breaks inside the paragraph, tabs are tabs.
        QString piece;
        auto flush = [&] {
            if (!piece.isEmpty())
                p += QStringLiteral("<w:t xml:space=\"preserve\">") + Esc(piece) + QStringLiteral("</w:t>");
            piece.clear();
        };
        for (QChar ch : text) {
            if (ch == QLatin1Char('\n')) {
                flush();
                p += QStringLiteral("<w:br/>");
            } else if (ch == QLatin1Char('\t')) {
                flush();
                p += QStringLiteral("<w:tab/>");
            } else {
                piece += ch;
            }
        }
        flush();
        p += QStringLiteral("</w:r>");
    }
    return p + QStringLiteral("</w:p>");
}

QString TableXml(const WdTable& t)
{
    QString x = QStringLiteral("<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/><w:tblBorders>");
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        x += QStringLiteral("<w:%1 w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>").arg(QLatin1String(side));
    const int pad = Twips(t.spaceBetweenColumns / 2);
    x += QStringLiteral("</w:tblBorders><w:tblLayout w:type=\"fixed\"/><w:tblCellMar><w:left w:w=\"%1\" w:type=\"dxa\"/>"
                        "<w:right w:w=\"%1\" w:type=\"dxa\"/></w:tblCellMar></w:tblPr><w:tblGrid>")
             .arg(pad);
    for (double w : t.widths)
        x += QStringLiteral("<w:gridCol w:w=\"%1\"/>").arg(Twips(w));
    x += QStringLiteral("</w:tblGrid>");
    for (int r = 0; r < t.rows; ++r) {
        x += QStringLiteral("<w:tr>");
        for (int c = 0; c < t.cols;) {
            const WdCell& cell = t.cells[size_t(t.Slot(r, c))];
            const int span = cell.c2 - cell.c1 + 1;
            double w = 0;
            for (int k = cell.c1; k <= cell.c2; ++k)
                w += t.widths[size_t(k)];
            x += QStringLiteral("<w:tc><w:tcPr><w:tcW w:w=\"%1\" w:type=\"dxa\"/>").arg(Twips(w));
            if (span > 1)
                x += QStringLiteral("<w:gridSpan w:val=\"%1\"/>").arg(span);
            if (cell.r2 > cell.r1)
                x += cell.r1 == r ? QStringLiteral("<w:vMerge w:val=\"restart\"/>") : QStringLiteral("<w:vMerge/>");
            const std::optional<TColor> fill = cell.shading ? cell.shading : IndexColor(cell.shadingIndex);
            if (fill)
                x += QStringLiteral("<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"%1\"/>").arg(Hex(*fill));
            if (cell.vAlign == wdCellAlignVerticalCenter)
                x += QStringLiteral("<w:vAlign w:val=\"center\"/>");
            else if (cell.vAlign == wdCellAlignVerticalBottom)
                x += QStringLiteral("<w:vAlign w:val=\"bottom\"/>");
            x += QStringLiteral("</w:tcPr>");
            if (cell.r1 == r) {
                for (const QString& p : cell.paragraphs)
                    x += Paragraph(p, cell.alignment, cell.font);
            } else {
                x += QStringLiteral("<w:p/>");
            }
            x += QStringLiteral("</w:tc>");
            c += span;
        }
        x += QStringLiteral("</w:tr>");
    }
    return x + QStringLiteral("</w:tbl>");
}

QByteArray DocumentXml(const WdDoc& d)
{
    QString x = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>");
    if (d.table) {
        x += TableXml(*d.table);
        // The body must not end with a table.
        x += QStringLiteral("<w:p/>");
    } else {
        for (const QString& p : d.paragraphs)
            x += Paragraph(p, -1, d.font);
    }
    x += QStringLiteral("<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1134\" w:right=\"1134\" "
                        "w:bottom=\"1134\" w:left=\"1134\" w:header=\"708\" w:footer=\"708\" w:gutter=\"0\"/>"
                        "</w:sectPr></w:body></w:document>");
    return x.toUtf8();
}

const char kContentTypes[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "</Types>";

const char kRels[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/></Relationships>";

[[noreturn]] void Fail(const QString& fileName, const QString& why)
{
    throw EFileError(QStringLiteral("Cannot save \"%1\": %2").arg(QDir::toNativeSeparators(fileName), why));
}

// The parts zipped into one buffer.
QByteArray Zip(const QString& fileName, const std::vector<std::pair<const char*, QByteArray>>& parts)
{
    QString missing;
    const fc::office::ZipLibrary* lib = fc::office::Zip(&missing);
    if (!lib)
        Fail(fileName, missing);
    const fc::office::ZipLibrary& z = *lib;
    zip_error_t error;
    z.zip_error_init(&error);
    zip_source_t* buffer = z.zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!buffer)
        Fail(fileName, QString::fromUtf8(z.zip_error_strerror(&error)));
    z.zip_source_keep(buffer);
    zip_t* za = z.zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (!za) {
        z.zip_source_free(buffer);
        Fail(fileName, QString::fromUtf8(z.zip_error_strerror(&error)));
    }
    for (const auto& [name, bytes] : parts) {
        zip_source_t* s = z.zip_source_buffer(za, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        if (!s || z.zip_file_add(za, name, s, ZIP_FL_ENC_UTF_8) < 0) {
            if (s)
                z.zip_source_free(s);
            const QString why = QString::fromUtf8(z.zip_strerror(za));
            z.zip_discard(za);
            z.zip_source_free(buffer);
            Fail(fileName, why);
        }
    }
    if (z.zip_close(za) < 0) {
        const QString why = QString::fromUtf8(z.zip_strerror(za));
        z.zip_discard(za);
        z.zip_source_free(buffer);
        Fail(fileName, why);
    }
    QByteArray out;
    if (z.zip_source_open(buffer) == 0) {
        z.zip_source_seek(buffer, 0, SEEK_END);
        const zip_int64_t size = z.zip_source_tell(buffer);
        z.zip_source_seek(buffer, 0, SEEK_SET);
        out.resize(qsizetype(size));
        const zip_int64_t got = z.zip_source_read(buffer, out.data(), zip_uint64_t(size));
        z.zip_source_close(buffer);
        if (got != size)
            out.clear();
    }
    z.zip_source_free(buffer);
    if (out.isEmpty())
        Fail(fileName, QStringLiteral("the package could not be built"));
    return out;
}

} // namespace

void WriteDocx(const WdDoc& doc, const QString& fileName, bool replaceLink)
{
    const std::vector<std::pair<const char*, QByteArray>> parts = {
        {"[Content_Types].xml", QByteArray(kContentTypes)},
        {"_rels/.rels", QByteArray(kRels)},
        {"word/document.xml", DocumentXml(doc)},
    };
    WriteFileAtomically(fileName, Zip(fileName, parts), replaceLink);
}

} // namespace fc::office::detail
