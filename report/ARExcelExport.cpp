#include "ARExcelExport.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>
#include <exception>
#include <vector>

#include "ARGridRep.h"
#include "ARRep.h"
#include "ARUserRep.h"
#include "platform/Numbers.h"
#include "platform/Office.h"

using namespace fc::office;

namespace {

// The application's largest column width (characters) and row height
// (points); a taller band or a wider column gets the largest instead of
// failing the export.
constexpr int kMaxColumnWidth = 255;
constexpr int kMaxRowHeight = 409;

int HorizontalAlignment(THAlign a)
{
    switch (a) {
    case ahLeft: return xlLeft;
    case ahRight: return xlRight;
    default: return xlCenter;
    }
}

int BorderWeight(int width)
{
    switch (width) {
    case 1: return xlThin;
    case 2: return xlMedium;
    default: return xlThick;
    }
}

// The picture as the sheet takes it: JPEG files as they are, anything else
// as PNG of what the report draws.
QByteArray PictureBytes(const TPicture& p)
{
    if (p.kind() == TPicture::Jpeg && !p.Bytes().isEmpty())
        return p.Bytes();
    QImage image = p.Image();
    if (image.isNull()) {
        if (p.Width() <= 0 || p.Height() <= 0)
            return {};
        image = QImage(p.Width(), p.Height(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        TCanvas canvas(&painter);
        canvas.Draw(0, 0, p);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

std::vector<int> CollectColumnEdges(const TARRep& rep)
{
    std::vector<int> edges{0};
    auto add = [&](int x) {
        if (std::find(edges.begin(), edges.end(), x) == edges.end())
            edges.push_back(x);
    };
    for (int b = 0; b < rep.BandCount(); ++b) {
        const TARBand* band = rep.GetBand(b);
        for (int i = 0; i < band->CellCount(); ++i)
            add(band->CellLeft(i));
        if (band->CellCount() > 0)
            add(band->CellRight(band->CellCount() - 1));
    }
    std::sort(edges.begin(), edges.end());
    return edges;
}

int EdgeIndex(const std::vector<int>& edges, int x)
{
    return int(std::lower_bound(edges.begin(), edges.end(), x) - edges.begin());
}

QString RangeName(int firstCol, int firstRow, int lastCol, int lastRow)
{
    return ar::excel::ColumnName(firstCol) + QString::number(firstRow) + QLatin1Char(':')
           + ar::excel::ColumnName(lastCol) + QString::number(lastRow);
}

void ExportCell(const TARRep& rep, const OleRef<ExcelSheet>& sheet, const std::vector<int>& edges, const TARBand& band,
                int cellIndex, int row)
{
    TARCell& cell = *band.GetCell(cellIndex);
    const int left = band.CellLeft(cellIndex);
    const int right = band.CellRight(cellIndex);
    // A cell without width is not shown; its range would reach into the
    // neighbour's column.
    if (right <= left)
        return;
    const int firstCol = EdgeIndex(edges, left);
    const int lastCol = EdgeIndex(edges, right) - 1;

    OleRef<ExcelRange> r = sheet->Range(RangeName(firstCol, row, lastCol, row));
    r->Font()->SetColor(fc::ColorToRGB(cell.FontColor()));
    r->Font()->SetSize(cell.FontSize());
    r->Font()->SetBold(cell.FontStyle() & fsBold);
    r->Font()->SetItalic(cell.FontStyle() & fsItalic);
    r->Font()->SetName(cell.FontName());
    // White and no colour at all leave the sheet's own fill.
    const TColor fill = fc::ColorToRGB(cell.Color());
    if (fill != 0xFFFFFF && cell.Color() != clNone)
        r->Interior()->SetColor(fill);
    const QString text = ar::excel::CellText(cell.S());
    r->SetFormula(text);
    r->SetNumberFormat(QStringLiteral("@"));
    r->SetHorizontalAlignment(HorizontalAlignment(cell.HAlign()));
    if (const std::optional<int> o = ar::excel::Orientation(cell.TextAngle()))
        r->SetOrientation(*o);
    // Lines show one under the other only where the cell wraps.
    if (text.contains(QLatin1Char('\n')))
        r->SetWrapText(true);

    QString mergeName;
    OleRef<ExcelRange> m = r;
    const TARBand* last = cell.LastSpanBand();
    if (last && last != &band) {
        const int lastRow = rep.IndexOfBand(last) + 1;
        mergeName = RangeName(firstCol, row, lastCol, lastRow);
        m = sheet->Range(mergeName);
    } else {
        mergeName = RangeName(firstCol, row, lastCol, row);
    }
    m->Merge();

    // Sides in the sheet's order: left, top, right, bottom.
    static constexpr struct {
        int side, edge;
    } frames[] = {{0, xlEdgeLeft}, {2, xlEdgeTop}, {1, xlEdgeRight}, {3, xlEdgeBottom}};
    for (const auto& f : frames) {
        const int width = cell.GetSideWidth(f.side);
        if (width <= 0)
            continue;
        OleRef<ExcelBorder> border = sheet->Range(mergeName)->Borders(f.edge);
        border->SetColor(fc::ColorToRGB(cell.GetSideColor(f.side)));
        border->SetLineStyle(xlContinuous);
        border->SetWeight(BorderWeight(width));
    }

    if (cell.HasGraphic()) {
        const QByteArray bytes = PictureBytes(cell.Picture());
        if (!bytes.isEmpty())
            sheet->Paste(m, bytes);
    }
}

} // namespace

namespace ar::excel {

QString ColumnName(int index)
{
    // Letters as digits of 1 to 26: A to Z, AA to ZZ, AAA on.
    QString name;
    for (int n = index + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

namespace {
// A number grouped with thousands separator thou and decimal separator dec,
// built again only when the separators change (every cell asks for it).
const QRegularExpression& GroupedNumber(QChar dec, QChar thou)
{
    static QChar cachedDec, cachedThou;
    static QRegularExpression grouped;
    if (dec != cachedDec || thou != cachedThou) {
        const QString d = QRegularExpression::escape(QString(dec)), g = QRegularExpression::escape(QString(thou));
        grouped = QRegularExpression(QStringLiteral("^-?\\d{1,3}(%1\\d{3})+(%2\\d+)?$").arg(g, d));
        cachedDec = dec;
        cachedThou = thou;
    }
    return grouped;
}
} // namespace

QString CellText(const QString& shown)
{
    // Each line break of the report is one line feed in the sheet.
    QString text = shown;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // A number grouped in the locale's own format ("1,203" or "1.203,5")
    // loses its thousands separators first: turning the comma into the
    // decimal point before would make 1203 of a point-decimal locale 1.203.
    const QChar dec = fc::DecimalSeparator(), thou = fc::ThousandSeparator();
    if (dec != thou && !thou.isNull() && GroupedNumber(dec, thou).match(text).hasMatch())
        return text.remove(thou);
    QString t = text;
    t.replace(QLatin1Char(','), dec);
    t.remove(thou);
    // Only numbers are rewritten: a label keeps its commas and points, a
    // blank stays blank and a dash stays a dash.
    double v = 0;
    if (t == text || fc::TryStrToFloat(t.trimmed(), v))
        return t;
    return text;
}

std::optional<int> Orientation(int angle)
{
    // Beyond a full turn or below -90 degrees, the same direction within one.
    if (angle >= 360 || angle < -90)
        angle = ((angle % 360) + 360) % 360;
    if (angle == 0 || angle == 180)
        return std::nullopt;
    if (angle == 90)
        return int(xlUpward);
    if (angle == 270)
        return int(xlDownward);
    if (angle < 90)
        return angle % 360;
    if (angle > 270)
        return angle - 360;
    return std::nullopt;
}

} // namespace ar::excel

TARExcelExport::TARExcelExport(QObject* owner) : TARCustomExport(owner) {}

void TARExcelExport::Execute()
{
    TARGridRep* grid = ARRep();
    if (!grid)
        return;
    // The export reads the bands while the event loop turns: nothing may
    // change or rebuild them meanwhile, and it does not start while they
    // are being built.
    grid->CheckNotInUse();
    TARGridRep::UseScope inUse(*grid);
    const TARRep& rep = *grid->Rep();
    OleRef<ExcelApplication> app = fc::Office().CreateExcel();

    std::exception_ptr failure;
    std::vector<int> columnEdges;
    // Stopped by the user: nothing is saved or shown, the workbook goes.
    bool stopped = false;
    try {
        if (auto* user = qobject_cast<TARUserRep*>(grid))
            app->SetCaption(user->Title());
        OleRef<ExcelWorkbook> book = app->Workbooks()->Add();
        OleRef<ExcelSheet> sheet = app->ActiveSheet();

        columnEdges = CollectColumnEdges(rep);
        for (int i = 0; i + 1 < int(columnEdges.size()); ++i) {
            const int width = (columnEdges[size_t(i) + 1] - columnEdges[size_t(i)]) / 7;
            sheet->Range(ar::excel::ColumnName(i) + QLatin1Char('1'))->SetColumnWidth(std::min(width, kMaxColumnWidth));
        }

        BeginProgress(rep.BandCount());
        for (int b = 0; b < rep.BandCount(); ++b) {
            const TARBand& band = *rep.GetBand(b);
            const int row = b + 1;
            for (int i = 0; i < band.CellCount(); ++i)
                if (!band.GetCell(i)->Shared())
                    ExportCell(rep, sheet, columnEdges, band, i, row);
            sheet->Rows(row)->SetRowHeight(std::min(band.Height() * 7 / 9, kMaxRowHeight));
            // Pending events run inside the step; a grid closed meanwhile
            // ends the export with what was done.
            if (!StepProgress()) {
                stopped = ARRep() != nullptr;
                break;
            }
            if (!ARRep())
                break;
        }

        if (!FileName.isEmpty() && !stopped)
            book->SaveAs(FileName);
    } catch (...) {
        failure = std::current_exception();
    }

    // Always: the application is closed or handed to the user, and the
    // progress ends. The first error is the one the caller sees.
    columnEdges.clear();
    try {
        if (stopped) {
            app->SetDisplayAlerts(false);
            app->Quit();
        } else if (CloseAfterDone) {
            app->Quit();
        } else {
            app->SetVisible(true);
        }
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    try {
        EndProgress();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (failure)
        std::rethrow_exception(failure);
}
