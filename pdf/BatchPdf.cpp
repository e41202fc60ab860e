#include "BatchPdf.h"

#include <QDir>
#include <QFileInfo>
#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <memory>

#include "PdfDoc.h"
#include "PdfImages.h"
#include "PdfQtImage.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/Font.h"
#include "platform/Numbers.h"
#include "platform/Random.h"
#include "report/ARRep.h"

namespace {
const QChar kCR(u'\r');
const QChar kLF(u'\n');
} // namespace

namespace fc::pdf {

namespace {

bool IsBreakChar(QChar c)
{
    return c == u'\t' || c == u' ' || c == u'-' || c == u'.' || c == u'/';
}
bool IsQuoteChar(QChar c) { return c == u'"' || c == u'\''; }
} // namespace

QString WrapText(const QString& Text, int MaxCol)
{
    const int len = int(Text.size());
    int pos = 1, col = 1, linePos = 1, breakPos = 0;
    QChar quote; // null: outside quotes
    bool existing = false;
    QString result;
    // Positions count from 1, as in the rule.
    auto at = [&Text](int p) { return Text.at(p - 1); };
    while (pos <= len) {
        const QChar c = at(pos);
        if (c == kCR && quote.isNull()) {
            existing = true;
            breakPos = pos;
        } else if (IsBreakChar(c) && quote.isNull()) {
            breakPos = pos;
        } else if (IsQuoteChar(c)) {
            if (c == quote)
                quote = QChar();
            else if (quote.isNull())
                quote = c;
        }
        ++pos;
        ++col;
        if (quote.isNull() && (existing || (col > MaxCol && breakPos > linePos))) {
            col = pos - breakPos;
            result += Text.mid(linePos - 1, breakPos - linePos + 1);
            if (!IsQuoteChar(c)) {
                while (pos <= len && (IsBreakChar(at(pos)) || at(pos) == kCR || at(pos) == kLF))
                    ++pos;
            }
            if (!existing && pos < len)
                result += kCR;
            ++breakPos;
            linePos = breakPos;
            existing = false;
        }
    }
    result += Text.mid(linePos - 1);
    return result;
}

} // namespace fc::pdf

namespace {

using fc::pdf::WrapText;

// Report pixels to page points.
constexpr double kHorzScale = 0.76;
constexpr double kVertScale = 0.79;
// The top of the first band on every page.
constexpr int kTopY = 822;

int HorzPoints(int pixels) { return int(fc::Round(pixels * kHorzScale)); }
int VertPoints(int pixels) { return int(fc::Round(pixels * kVertScale)); }

// The hourglass while the export runs, whatever way it ends; nothing
// without a GUI application.
class WaitCursor {
public:
    WaitCursor() : on_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (on_)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~WaitCursor()
    {
        if (on_)
            QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool on_;
};

class ReportPdfWriter {
public:
    explicit ReportPdfWriter(TPdfDoc& doc) : doc_(doc), canvas_(doc.GetCanvas()) {}

    void DrawReport(const TARRep& rep)
    {
        y_ = kTopY;
        for (int i = 0; i < rep.BandCount(); ++i) {
            const TARBand& band = *rep.GetBandItem(i);
            if (band.BandState & arbsPageBreak) {
                doc_.AddPage();
                y_ = kTopY;
            }
            for (int j = 0; j < band.CellCount(); ++j) {
                if (!band.GetCell(j)->Shared())
                    DrawPdfCell(band, j);
            }
            y_ -= VertPoints(band.Height());
        }
    }

private:
    void DrawPdfCell(const TARBand& band, int index)
    {
        const TARCell& cell = *band.GetCell(index);
        QString fontName = cell.FontName();
        if (cell.FontStyle() & fsBold)
            fontName += QStringLiteral("-Bold");
        canvas_->SetFont(fontName, float(cell.FontSize()));

        const int left = band.CellLeft(index);
        const int x = HorzPoints(left) + 21;
        const int w = HorzPoints(band.CellRight(index) - left);
        const int fontSize = cell.FontSize();
        int off = fontSize;
        QString s = cell.S();

        // Lines the text breaks itself are drawn as they are, however long.
        for (qsizetype cr = s.indexOf(kCR); cr >= 0; cr = s.indexOf(kCR)) {
            DrawPdfTextLine(x, y_ - off, w, s.left(cr + 1), cell.HAlign());
            s = s.mid(cr + 1);
            off += fontSize;
        }
        // The rest is wrapped to the cell's width.
        do {
            int n = canvas_->MeasureText(s, float(w));
            s = WrapText(s, n);
            const qsizetype cr = s.indexOf(kCR);
            if (cr >= 0)
                n = int(cr + 1);
            // A cell narrower than one character still takes one per line,
            // so that the text always comes to an end.
            n = qMax(n, 1);
            DrawPdfTextLine(x, y_ - off, w, s.left(n), cell.HAlign());
            s = s.mid(n);
            // Every CR here was put in by an earlier wrap; when the wrap of
            // this line broke at the same place it put in a second one, which
            // would draw an empty line.
            if (cr >= 0 && s.startsWith(kCR))
                s.remove(0, 1);
            off += fontSize;
        } while (!s.isEmpty());

        DrawPicture(cell, x);
        DrawPdfCellBorders(band, index);
    }

    void DrawPicture(const TARCell& cell, int x)
    {
        const QString& fileName = cell.PictureFileName();
        if (fileName.isEmpty() || !QFileInfo(fileName).isFile())
            return;
        TPicture picture;
        picture.LoadFromFile(fileName);
        // A metafile has no pixels to write.
        QImage image = picture.Image();
        if (image.isNull())
            return;
        // The page is white paper: transparent parts of an icon show it
        // rather than whatever colour their alpha hides.
        if (image.hasAlphaChannel()) {
            QImage flat(image.size(), QImage::Format_RGB32);
            flat.fill(Qt::white);
            QPainter painter(&flat);
            painter.drawImage(0, 0, image);
            painter.end();
            image = flat;
        }
        const TPdfBitmap bitmap = fc::pdf::BitmapFromImage(image);
        std::unique_ptr<TPdfImage> pdfImage(fc::pdf::CreatePdfImage(&bitmap, QStringLiteral("Pdf-Bitmap")));
        // Every drawing is an image of its own, even of a file drawn before.
        // Pictures at the same height on two pages can draw the same number
        // (and "Imm82" 2313 reads as "Imm822" 313): draw again, rather than
        // fail the export on a name.
        QString name;
        do
            name = QStringLiteral("Imm%1%2").arg(y_).arg(fc::Random(9999));
        while (doc_.GetXObject(name));
        doc_.AddXObject(name, pdfImage.get());
        pdfImage.release();
        const int width = int(fc::Trunc(image.width() * kHorzScale));
        const int height = int(fc::Trunc(image.height() * kVertScale));
        canvas_->DrawXObject(x, y_ - 2 - height, width, height, name);
    }

    void DrawPdfTextLine(int x, int y, int w, QString line, THAlign align)
    {
        if (line.isEmpty())
            return;
        if (line.endsWith(kCR) || line.endsWith(kLF))
            line.chop(1);
        if (!line.isEmpty() && (line.startsWith(kCR) || line.startsWith(kLF)))
            line.remove(0, 1);
        const int len = int(line.size());
        // The text starts 1 point inside the left frame line but the width
        // reaches 1 point past the right one: right-aligned text is padded
        // to 2 points less, so that it ends inside its frame like the left.
        const int padWidth = align == ahRight ? qMax(0, w - 2) : w;
        const int m = canvas_->MeasureText(line + QString(200, u' '), float(padWidth));
        int blanks = 0;
        if (align == ahRight)
            blanks = m - len;
        else if (align == ahCenter)
            blanks = (m - len) / 2;
        if (blanks > 0)
            line.prepend(QString(blanks, u' '));
        canvas_->TextOut(x, y, line);
    }

    void DrawPdfCellBorders(const TARBand& band, int index)
    {
        const TARCell& cell = *band.GetCell(index);
        const int left = HorzPoints(band.CellLeft(index)) + 20;
        const int right = HorzPoints(band.CellRight(index)) + 20;
        const int top = y_;
        int bottom = y_ - VertPoints(band.Height());
        // A cell merged downwards frames all the bands it covers.
        const TARBand* last = cell.LastSpanBand();
        if (last && last != &band && band.Parent()) {
            const TARBandList& list = *band.Parent();
            const int first = list.IndexOfBand(&band);
            const int end = list.IndexOfBand(last);
            for (int k = first + 1; first >= 0 && k <= end; ++k)
                bottom -= VertPoints(list.GetBandItem(k)->Height());
        }
        auto side = [&cell](int s) { return cell.GetSideWidth(s); };
        if (side(0) > 0)
            DrawPdfLine(left, top, left, bottom, side(0));
        if (side(2) > 0)
            DrawPdfLine(left, top, right, top, side(2));
        if (side(1) > 0)
            DrawPdfLine(right, top, right, bottom, side(1));
        if (side(3) > 0)
            DrawPdfLine(left, bottom, right, bottom, side(3));
    }

    void DrawPdfLine(int x1, int y1, int x2, int y2, int frameWidth)
    {
        canvas_->SetLineWidth(frameWidth == 1 ? 0.2 : frameWidth == 2 ? 0.4 : 0.8);
        canvas_->MoveTo(x1, y1);
        canvas_->LineTo(x2, y2);
        canvas_->Stroke();
    }

    TPdfDoc& doc_;
    TPdfCanvas* canvas_;
    int y_ = kTopY;
};

} // namespace

void ExportReportToPdf(const TARRep& Rep, const QString& FileName)
{
    WaitCursor wait;
    const QString shownName = QDir::toNativeSeparators(FileName);
    // Written beside the target and renamed at the end, so that a failed
    // export never leaves a damaged or partial file in place of the old one.
    fc::AtomicFile file(FileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFileError(QStringLiteral("Cannot create file %1: %2").arg(shownName, file.errorString()));

    TPdfDoc doc;
    doc.NewDoc();
    doc.AddPage();
    ReportPdfWriter(doc).DrawReport(Rep);

    try {
        doc.SaveToStream(file);
    } catch (const EFileError&) {
        throw EFileError(QStringLiteral("Cannot write file %1: %2").arg(shownName, file.errorString()));
    }
    if (!file.commit())
        throw EFileError(QStringLiteral("Cannot write file %1: %2").arg(shownName, file.errorString()));
}
