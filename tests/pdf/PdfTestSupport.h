#pragma once
// Shared by the PDF tests: outside checks of written files (qpdf, poppler
// tools), the xref-offset check and date masking.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <vector>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfFonts.h"
#include "pdf/PdfImages.h"

namespace fc::test {

// Start-up registration, as the program does before any document.
inline const bool kPdfClassesRegistered = (fc::pdf::RegisterPdfClasses(), true);

struct ToolResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline ToolResult RunTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    ToolResult r;
    if (!p.waitForStarted(10000)) {
        r.err = "cannot start " + program.toUtf8();
        return r;
    }
    p.waitForFinished(60000);
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// A written PDF in a temporary folder, for the outside tools.
class PdfFile {
public:
    explicit PdfFile(const QByteArray& bytes)
    {
        path_ = dir_.filePath(QStringLiteral("test.pdf"));
        QFile f(path_);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
    const QString& path() const { return path_; }
    QString dir() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QString path_;
};

// qpdf --check must pass: any exit code but 0 (warnings give 3) fails.
inline void ExpectQpdfCheck(const QByteArray& pdf)
{
    PdfFile f(pdf);
    const ToolResult r = RunTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), f.path()});
    EXPECT_EQ(r.exitCode, 0) << r.out.constData() << r.err.constData();
}

inline QString PdfToText(const QByteArray& pdf)
{
    PdfFile f(pdf);
    const ToolResult r = RunTool(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-enc"), QStringLiteral("UTF-8"), f.path(), QStringLiteral("-")});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    QString text = QString::fromUtf8(r.out);
    while (text.endsWith(QChar('\f')) || text.endsWith(QChar('\n')))
        text.chop(1);
    return text;
}

// Every creation and modification date replaced by the same 14 digits.
inline QByteArray MaskDates(QByteArray pdf)
{
    static const QRegularExpression re(QStringLiteral("\\(D:\\d{14}\\)"));
    QString s = QString::fromLatin1(pdf);
    s.replace(re, QStringLiteral("(D:00000000000000)"));
    return s.toLatin1();
}

// A written PDF, dates masked, against a checked-in file byte for byte;
// with FC_UPDATE_GOLDEN set the file is written instead.
inline void ExpectGoldenPdf(const QByteArray& written, const QString& path)
{
    const QByteArray pdf = MaskDates(written);
    if (UpdateGolden(path, pdf))
        return;
    const QByteArray want = readFile(path);
    ASSERT_FALSE(want.isEmpty()) << "missing " << path.toStdString();
    if (pdf == want)
        return;
    qsizetype at = 0;
    while (at < pdf.size() && at < want.size() && pdf[at] == want[at])
        ++at;
    const qsizetype from = qMax<qsizetype>(0, at - 60);
    ADD_FAILURE() << path.toStdString() << ": " << pdf.size() << " bytes, want " << want.size()
                  << "; first difference at " << at << "\n got: " << pdf.mid(from, 120).toStdString()
                  << "\nwant: " << want.mid(from, 120).toStdString();
}

// The cross-reference table read back: startxref points at "xref", every
// line is 20 bytes, and every in-use offset is where "N 0 obj" starts.
inline void ExpectXrefConsistent(const QByteArray& pdf)
{
    ASSERT_TRUE(pdf.endsWith("%%EOF\r\n"));
    const qsizetype sx = pdf.lastIndexOf("startxref\r\n");
    ASSERT_GT(sx, 0);
    const qsizetype numEnd = pdf.indexOf("\r\n", sx + 11);
    const int xrefAt = pdf.mid(sx + 11, numEnd - sx - 11).toInt();
    ASSERT_EQ(pdf.mid(xrefAt, 8), QByteArray("xref\r\n0 "));
    const qsizetype countEnd = pdf.indexOf("\r\n", xrefAt + 8);
    const int count = pdf.mid(xrefAt + 8, countEnd - xrefAt - 8).toInt();
    ASSERT_GT(count, 1);
    const qsizetype lines = countEnd + 2;
    EXPECT_EQ(pdf.mid(lines, 20), QByteArray("0000000000 65535 f\r\n"));
    for (int i = 1; i < count; ++i) {
        const QByteArray line = pdf.mid(lines + 20 * i, 20);
        ASSERT_EQ(line.size(), 20);
        EXPECT_TRUE(line.endsWith(" 00000 n\r\n")) << line.constData();
        const int offset = line.left(10).toInt();
        const QByteArray head = QByteArray::number(i) + " 0 obj\r\n";
        EXPECT_EQ(pdf.mid(offset, head.size()), head) << "object " << i;
    }
    EXPECT_EQ(pdf.mid(lines + 20 * count, 9), QByteArray("trailer\r\n"));
    // Nothing numbered is left out of the table.
    EXPECT_EQ(pdf.count(" 0 obj\r\n"), count - 1);
}

// The first page rendered at 72 dpi (one pixel per point) as RGB rows.
struct Rendered {
    int width = 0;
    int height = 0;
    QByteArray rgb;
    std::array<int, 3> at(int x, int y) const
    {
        const qsizetype i = (qsizetype(y) * width + x) * 3;
        return {uchar(rgb[i]), uchar(rgb[i + 1]), uchar(rgb[i + 2])};
    }
};

inline Rendered RenderFirstPage(const QByteArray& pdf)
{
    PdfFile f(pdf);
    const QString base = f.dir() + QStringLiteral("/page");
    const ToolResult r = RunTool(QStringLiteral("pdftoppm"),
                                 {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"), QStringLiteral("1"),
                                  QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-singlefile"), f.path(), base});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    QFile ppm(base + QStringLiteral(".ppm"));
    Rendered out;
    if (!ppm.open(QIODevice::ReadOnly))
        return out;
    const QByteArray all = ppm.readAll();
    // P6 <w> <h> <max>\n<data>
    QList<QByteArray> fields;
    qsizetype pos = 0;
    while (fields.size() < 4 && pos < all.size()) {
        while (pos < all.size() && QChar(all[pos]).isSpace())
            ++pos;
        qsizetype end = pos;
        while (end < all.size() && !QChar(all[end]).isSpace())
            ++end;
        fields.append(all.mid(pos, end - pos));
        pos = end;
    }
    if (fields.size() < 4 || fields[0] != "P6")
        return out;
    out.width = fields[1].toInt();
    out.height = fields[2].toInt();
    out.rgb = all.mid(pos + 1);
    return out;
}

// The box of every word as pdftotext -bbox reads it, in points from the
// top-left corner of its page (pages from 1).
struct PdfWord {
    int page = 0;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    QString text;
};

inline std::vector<PdfWord> PdfWordsOfFile(const QString& file)
{
    std::vector<PdfWord> out;
    const ToolResult r = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-enc"),
                                                               QStringLiteral("UTF-8"), file, QStringLiteral("-")});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    static const QRegularExpression wordRe(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    int page = 0;
    for (const QString& line : QString::fromUtf8(r.out).split(u'\n')) {
        if (line.contains(QLatin1String("<page ")))
            ++page;
        const auto m = wordRe.match(line);
        if (m.hasMatch())
            out.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                           m.captured(4).toDouble(), m.captured(5)});
    }
    return out;
}

inline std::vector<PdfWord> PdfWords(const QByteArray& pdf)
{
    PdfFile f(pdf);
    return PdfWordsOfFile(f.path());
}

// The bytes one object writes as a direct value (or reference).
inline QByteArray Bytes(TPdfObject& o)
{
    QByteArray s;
    o.WriteToStream(s);
    return s;
}

} // namespace fc::test
