#pragma once
// The report's export to a spreadsheet workbook through the Office layer:
// one sheet row per band, sheet columns cut at every cell edge of the
// report, each cell a merged range with its font, fill, text, alignment,
// rotation, frame lines and picture.
#include <QString>
#include <optional>

#include "ARCustomExport.h"

class TARExcelExport : public TARCustomExport {
    Q_OBJECT
public:
    explicit TARExcelExport(QObject* owner = nullptr);

    // True quits the application at the end; false leaves it visible with
    // the new workbook (the file backend then writes and opens it).
    bool CloseAfterDone = false;

    // Nothing happens without ARRep. Raises when the application cannot be
    // started (before any progress notification) and when a statement fails;
    // the application is quit or shown and epsEnd fires in either case.
    void Execute() override;
};

namespace ar::excel {
// The sheet column name of a 0-based column index: "A" to "Z", "AA" to
// "ZZ" (701), then "AAA" on.
QString ColumnName(int index);
// A cell's text as it goes into the sheet: line breaks become line feeds;
// a comma becomes the decimal separator and thousands separators are
// dropped when that makes it a number. Any other text, the empty one
// included, is kept.
QString CellText(const QString& text);
// The sheet orientation of a text angle in degrees, or none.
std::optional<int> Orientation(int angle);
} // namespace ar::excel
