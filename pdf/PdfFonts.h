#pragma once
// The standard Type 1 fonts that every PDF reader has built in: no font data
// is embedded, only a dictionary naming the font, and a WinAnsiEncoding
// width table that the canvas measures text with.

#include <QString>

#include "PdfDoc.h"

class TPdfFont : public TPdfDictionaryWrapper {
public:
    TPdfFont(TPdfXref* AXref, const QString& AName) : FName(AName) { (void)AXref; }
    // The alias the font was made for, as the caller gave it.
    const QString& Name() const { return FName; }
    // Width of the character at Pos (1-based) in 1/1000 of the font size.
    virtual int GetCharWidth(const QString& Text, int Pos) const;

private:
    QString FName;
};

class TPdfType1Font : public TPdfFont {
public:
    using TPdfFont::TPdfFont;
    void SetData(TPdfDictionary* Dictionary) override;
    int GetCharWidth(const QString& Text, int Pos) const override;

    quint8 FirstChar() const { return FFirstChar; }
    quint8 LastChar() const { return FLastChar; }
    quint16 Width(int Code) const { return FWidths[Code & 255]; }

protected:
    // Makes, numbers and fills the dictionary of a standard font.
    void InitStandard(TPdfXref* AXref, const char* BaseFont, int Face);

private:
    quint8 FFirstChar = 0;
    quint8 FLastChar = 0;
    quint16 FWidths[256] = {};
};

#define FC_PDF_STD_FONT(Cls)                                      \
    class Cls : public TPdfType1Font {                            \
    public:                                                       \
        Cls(TPdfXref* AXref, const QString& AName);               \
    };
FC_PDF_STD_FONT(TPdfFixedWidth)
FC_PDF_STD_FONT(TPdfFixedWidthBold)
FC_PDF_STD_FONT(TPdfFixedWidthItalic)
FC_PDF_STD_FONT(TPdfFixedWidthBoldItalic)
FC_PDF_STD_FONT(TPdfArial)
FC_PDF_STD_FONT(TPdfArialBold)
FC_PDF_STD_FONT(TPdfArialItalic)
FC_PDF_STD_FONT(TPdfArialBoldItalic)
FC_PDF_STD_FONT(TPdfTimesRoman)
FC_PDF_STD_FONT(TPdfTimesBold)
FC_PDF_STD_FONT(TPdfTimesItalic)
FC_PDF_STD_FONT(TPdfTimesBoldItalic)
#undef FC_PDF_STD_FONT

// What the class registry holds under a font alias.
using TPdfFontClass = TPdfFont* (*)(TPdfXref* AXref, const QString& AName);

namespace fc::pdf {
// Registers the twelve aliases ("Arial", "Times-Bold", ...).
void RegisterPdfFontClasses();
} // namespace fc::pdf
