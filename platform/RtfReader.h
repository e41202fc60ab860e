#pragma once
// A reader for the rich text that report cells can carry: font and colour
// tables, bold, italic, underline, strike-out, size and face, paragraph
// alignment, paragraphs and line breaks, tabs, \'hh (code page 1252) and
// \u escapes. Destinations it does not know are skipped. The result goes
// into a QTextDocument, which lays it out, measures and draws it.
#include <QColor>
#include <QFont>
#include <QString>

class QTextDocument;

namespace fc {
// True when the text starts (after blanks) with "{\rtf".
bool LooksLikeRtf(const QString& text);
// Replaces the document's content by the RTF text. Fonts are pixel-sized
// (96 pixels per inch); defaultFont and defaultColor apply where the text
// sets nothing. Text that is not RTF is loaded as plain text.
void ReadRtf(const QString& text, QTextDocument& doc, const QFont& defaultFont,
             const QColor& defaultColor = Qt::black);
} // namespace fc
