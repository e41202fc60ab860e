// A 50-page document of text lines and one picture per page, written to
// memory: the size of the reports the program exports.
#include <benchmark/benchmark.h>

#include <QBuffer>

#include "pdf/PdfDoc.h"
#include "pdf/PdfImages.h"

namespace {

TPdfBitmap Picture()
{
    TPdfBitmap bmp(160, 120, pf24bit);
    for (int y = 0; y < bmp.Height(); ++y) {
        uchar* row = bmp.ScanLine(y);
        for (int x = 0; x < bmp.Width(); ++x) {
            row[3 * x] = uchar(x);
            row[3 * x + 1] = uchar(y);
            row[3 * x + 2] = uchar(x ^ y);
        }
    }
    return bmp;
}

void BM_Pdf50Pages(benchmark::State& state)
{
    fc::pdf::RegisterPdfClasses();
    const TPdfBitmap picture = Picture();
    qint64 bytes = 0;
    for (auto _ : state) {
        TPdfDoc doc;
        doc.NewDoc();
        for (int page = 0; page < 50; ++page) {
            doc.AddPage();
            TPdfCanvas* c = doc.GetCanvas();
            const QString name = QStringLiteral("Imm%1").arg(page);
            doc.AddXObject(name, fc::pdf::CreatePdfImage(&picture, QStringLiteral("Pdf-Bitmap")));
            c->DrawXObject(21, 700, 122, 95, name);
            for (int line = 0; line < 50; ++line) {
                c->SetFont(line % 5 == 0 ? QStringLiteral("Arial-Bold") : QStringLiteral("Arial"), 9);
                const QString text = QStringLiteral("FCU %1 \u2013 potenza 1.234,50 W, portata %2 m\u00B3/h, 12 \u00B0C")
                                         .arg(line)
                                         .arg(page * 10 + line);
                c->MeasureText(text, 300);
                c->TextOut(21, 680 - 12 * line, text);
                c->SetLineWidth(0.2);
                c->MoveTo(20, 678 - 12 * line);
                c->LineTo(575, 678 - 12 * line);
                c->Stroke();
            }
        }
        QBuffer out;
        out.open(QIODevice::ReadWrite);
        doc.SaveToStream(out);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data().constData());
    }
    state.counters["file_bytes"] = double(bytes);
}
BENCHMARK(BM_Pdf50Pages)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
