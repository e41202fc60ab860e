#include "BatchPdf.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <map>
#include <memory>

#include "PdfDoc.h"
#include "PdfImages.h"
#include "PdfQtImage.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/Font.h"
#include "platform/Numbers.h"
#include "platform/Random.h"
#include "platform/WaitCursor.h"
#include "report/ARRep.h"

namespace {
const QChar kCR(u'\r');
const QChar kLF(u'\n');
} // namespace

namespace fc::pdf {

namespace {

bool IsBreakChar(QChar c)
{
    return c == u'\t' || c == u' ' || c == u'-' || c == u'.' || c == u'/' || c == u'+';
}
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
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
    // A point, dash or slash between digits is part of a number ("12.5",
    // "1.250", "2026-27"): no line breaks there.
    auto breaksAt = [&](int p) {
        const QChar c = at(p);
        return IsBreakChar(c) &&
               !(c != u'+' && !c.isSpace() && p > 1 && p < len && IsDigit(at(p - 1)) && IsDigit(at(p + 1)));
    };
    while (pos <= len) {
        const QChar c = at(pos);
        if (c == kCR && quote.isNull()) {
            existing = true;
            breakPos = pos;
        } else if (quote.isNull() && breaksAt(pos)) {
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
                while (pos <= len && (breaksAt(pos) || at(pos) == kCR || at(pos) == kLF))
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

class ReportPdfWriter {
public:
    explicit ReportPdfWriter(TPdfDoc& doc) : doc_(doc), canvas_(doc.GetCanvas()) {}

    void DrawReport(const TARRep& rep)
    {
        rep_ = &rep;
        y_ = kTopY;
        for (int i = 0; i < rep.BandCount(); ++i) {
            const TARBand& band = *rep.GetBandItem(i);
            bandIndex_ = i;
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
        // The rest is wrapped to the cell's width less 1 point at either
        // side, so that a line ends as far inside the right frame line as it
        // starts inside the left one.
        const float wrapWidth = float(qMax(0, w - 2));
        do {
            int n = canvas_->MeasureText(s, wrapWidth);
            s = WrapText(s, n);
            qsizetype cr = s.indexOf(kCR);
            // The wrap breaks after the last break character that fits, or,
            // with none, after the next one: then the line is cut where it
            // stops fitting (a blank beyond it shows nothing), and the rest
            // is wrapped anew.
            if (cr >= 0 && cr > n && !s.mid(n, cr - n).trimmed().isEmpty()) {
                s.remove(cr, 1);
                cr = -1;
            }
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

    struct LoadedPicture {
        TPdfBitmap bitmap;
        int width = 0; // 0: no pixels (a metafile)
        int height = 0;
    };

    // A report draws the same logos on every page: each file is read and
    // converted once an export, and every drawing still makes its own image.
    const LoadedPicture& Picture(const QString& fileName)
    {
        auto it = pictures_.find(fileName);
        if (it != pictures_.end())
            return it->second;
        LoadedPicture loaded;
        TPicture picture;
        picture.LoadFromFile(fileName);
        QImage image = picture.Image();
        if (!image.isNull()) {
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
            loaded.bitmap = fc::pdf::BitmapFromImage(image);
            loaded.width = image.width();
            loaded.height = image.height();
        }
        return pictures_.emplace(fileName, std::move(loaded)).first->second;
    }

    void DrawPicture(const TARCell& cell, int x)
    {
        const QString& fileName = cell.PictureFileName();
        if (fileName.isEmpty() || !QFileInfo(fileName).isFile())
            return;
        const LoadedPicture& picture = Picture(fileName);
        // A metafile has no pixels to write.
        if (picture.width <= 0)
            return;
        std::unique_ptr<TPdfImage> pdfImage(fc::pdf::CreatePdfImage(&picture.bitmap, QStringLiteral("Pdf-Bitmap")));
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
        const int width = int(fc::Trunc(picture.width * kHorzScale));
        const int height = int(fc::Trunc(picture.height * kVertScale));
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
        // reaches 1 point past the right one: aligned text is padded within
        // 2 points less, so that it ends inside its frame like the left, and
        // centred text sits in the middle of the frame.
        const int padWidth = qMax(0, w - 2);
        padded_.resize(0);
        padded_.append(line);
        padded_.resize(len + 200, u' ');
        const int m = canvas_->MeasureText(padded_, float(padWidth));
        int blanks = 0;
        if (align == ahRight)
            blanks = m - len;
        else if (align == ahCenter)
            blanks = (m - len) / 2;
        if (blanks > 0)
            line.prepend(QString(blanks, u' '));
        canvas_->TextOut(x, y, line);
    }

    // The first cell of the band with that left edge and width, as a span
    // is matched from band to band.
    static const TARCell* CellAt(const TARBand& band, int left, int width)
    {
        for (int j = 0; j < band.CellCount(); ++j) {
            const TARCell* c = band.GetCell(j);
            if (band.CellLeft(j) == left && c->Width() == width)
                return c;
        }
        return nullptr;
    }

    // The points the cell's frame reaches below its own band: the heights
    // of the bands below it that its span covers. The report is walked on
    // from the band being drawn, rather than each band looked up in it.
    int SpanBelow(const TARBand& band, int index) const
    {
        const TARCell& cell = *band.GetCell(index);
        int below = 0;
        if (band.Parent() == rep_) {
            const int left = band.CellLeft(index);
            for (int k = bandIndex_ + 1; k < rep_->BandCount(); ++k) {
                const TARBand& next = *rep_->GetBandItem(k);
                const TARCell* c = CellAt(next, left, cell.Width());
                if (!c || !c->Shared())
                    break;
                below += VertPoints(next.Height());
            }
            return below;
        }
        const TARBand* last = cell.LastSpanBand();
        if (last && last != &band && band.Parent()) {
            const TARBandList& list = *band.Parent();
            const int first = list.IndexOfBand(&band);
            const int end = list.IndexOfBand(last);
            for (int k = first + 1; first >= 0 && k <= end; ++k)
                below += VertPoints(list.GetBandItem(k)->Height());
        }
        return below;
    }

    void DrawPdfCellBorders(const TARBand& band, int index)
    {
        const TARCell& cell = *band.GetCell(index);
        const int left = HorzPoints(band.CellLeft(index)) + 20;
        const int right = HorzPoints(band.CellRight(index)) + 20;
        const int top = y_;
        // A cell merged downwards frames all the bands it covers.
        const int bottom = y_ - VertPoints(band.Height()) - SpanBelow(band, index);
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
    const TARRep* rep_ = nullptr;
    int bandIndex_ = 0; // of the band being drawn, in rep_
    int y_ = kTopY;
    std::map<QString, LoadedPicture> pictures_;
    QString padded_; // a line and 200 blanks, kept to save an allocation a line
};

} // namespace

void ExportReportToPdf(const TARRep& Rep, const QString& FileName)
{
    fc::WaitCursor wait; // until the export ends, whatever way
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
