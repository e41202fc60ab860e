#pragma once
// The filled report as a PDF file: the bands of the report document are
// drawn from top to bottom on A4 pages with the standard fonts, a new page
// starting only at a band that carries the page-break state.

#include <QString>

class TARRep;

// Writes the report to FileName, replacing the file only when the whole
// document has been written; any error (file, font, picture) is raised and
// leaves an existing file as it was. fc::pdf::RegisterPdfClasses() must have
// run.
void ExportReportToPdf(const TARRep& Rep, const QString& FileName);

namespace fc::pdf {
// The converter's word-wrap rule: a CR after the last break character (TAB,
// blank, "-", ".", "/") that keeps a line within MaxCol columns; text in
// double quotes or apostrophes is not broken, an existing CR ends a line.
QString WrapText(const QString& Text, int MaxCol);
} // namespace fc::pdf
