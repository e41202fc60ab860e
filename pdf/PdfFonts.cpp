#include "PdfFonts.h"

#include "platform/ClassRegistry.h"

namespace {
#include "PdfFontWidths.inc"
} // namespace

int TPdfFont::GetCharWidth(const QString&, int) const { return 0; }

void TPdfType1Font::SetData(TPdfDictionary* Dictionary)
{
    TPdfFont::SetData(Dictionary);
    quint16 missing = 0;
    if (TPdfNumber* m = Dictionary->NumberByName(QStringLiteral("MissingWidth")))
        missing = quint16(m->Value());
    for (quint16& w : FWidths)
        w = missing;
    if (TPdfNumber* n = Dictionary->NumberByName(QStringLiteral("FirstChar")))
        FFirstChar = quint8(n->Value());
    if (TPdfNumber* n = Dictionary->NumberByName(QStringLiteral("LastChar")))
        FLastChar = quint8(n->Value());
    if (TPdfArray* widths = Dictionary->ArrayByName(QStringLiteral("Widths"))) {
        for (int i = 0; i < widths->ItemCount() && FFirstChar + i < 256; ++i) {
            if (auto* n = dynamic_cast<TPdfNumber*>(widths->Items(i)))
                FWidths[FFirstChar + i] = quint16(n->Value());
        }
    }
}

int TPdfType1Font::GetCharWidth(const QString& Text, int Pos) const
{
    if (Pos < 1 || Pos > Text.size())
        return 0;
    const int code = fc::pdf::WinAnsiCodeAt(Text, Pos - 1);
    if (code < 32)
        return 0; // control characters, and the second half of a surrogate pair
    return FWidths[code];
}

void TPdfType1Font::InitStandard(TPdfXref* AXref, const char* BaseFont, int Face)
{
    static const TPDF_STR_TBL kNames[] = {
        {"Type", "Font"},
        {"Subtype", "Type1"},
        {"Encoding", "WinAnsiEncoding"},
    };
    static const TPDF_INT_TBL kNumbers[] = {
        {"FirstChar", 32},
        {"LastChar", 255},
    };
    auto* dict = new TPdfDictionary(AXref);
    AXref->AddObject(dict);
    fc::pdf::AddStrElements(dict, kNames, 3);
    fc::pdf::AddIntElements(dict, kNumbers, 2);
    dict->AddItem(QStringLiteral("BaseFont"), new TPdfName(QString::fromLatin1(BaseFont)));
    int widths[224];
    for (int i = 0; i < 224; ++i)
        widths[i] = kStdFaceWidths[i][Face];
    dict->AddInternalItem(QStringLiteral("Widths"), TPdfArray::CreateNumArray(AXref, widths, 224));
    SetData(dict);
}

#define FC_PDF_STD_FONT_IMPL(Cls, BaseFont, Face)                                     \
    Cls::Cls(TPdfXref* AXref, const QString& AName) : TPdfType1Font(AXref, AName)    \
    {                                                                                 \
        InitStandard(AXref, BaseFont, Face);                                          \
    }
FC_PDF_STD_FONT_IMPL(TPdfFixedWidth, "Courier", sfCourier)
FC_PDF_STD_FONT_IMPL(TPdfFixedWidthBold, "Courier-Bold", sfCourierBold)
FC_PDF_STD_FONT_IMPL(TPdfFixedWidthItalic, "Courier-Oblique", sfCourierOblique)
FC_PDF_STD_FONT_IMPL(TPdfFixedWidthBoldItalic, "Courier-BoldOblique", sfCourierBoldOblique)
FC_PDF_STD_FONT_IMPL(TPdfArial, "Helvetica", sfHelvetica)
FC_PDF_STD_FONT_IMPL(TPdfArialBold, "Helvetica-Bold", sfHelveticaBold)
FC_PDF_STD_FONT_IMPL(TPdfArialItalic, "Helvetica-Oblique", sfHelveticaOblique)
FC_PDF_STD_FONT_IMPL(TPdfArialBoldItalic, "Helvetica-BoldOblique", sfHelveticaBoldOblique)
FC_PDF_STD_FONT_IMPL(TPdfTimesRoman, "Times-Roman", sfTimesRoman)
FC_PDF_STD_FONT_IMPL(TPdfTimesBold, "Times-Bold", sfTimesBold)
FC_PDF_STD_FONT_IMPL(TPdfTimesItalic, "Times-Italic", sfTimesItalic)
FC_PDF_STD_FONT_IMPL(TPdfTimesBoldItalic, "Times-BoldItalic", sfTimesBoldItalic)
#undef FC_PDF_STD_FONT_IMPL

namespace {
template <class T>
TPdfFont* MakeFont(TPdfXref* AXref, const QString& AName)
{
    return new T(AXref, AName);
}
} // namespace

namespace fc::pdf {

void RegisterPdfFontClasses()
{
    const struct {
        const char* alias;
        TPdfFontClass cls;
    } kAliases[] = {
        {"FixedWidth", &MakeFont<TPdfFixedWidth>},
        {"FixedWidth-Bold", &MakeFont<TPdfFixedWidthBold>},
        {"FixedWidth-Italic", &MakeFont<TPdfFixedWidthItalic>},
        {"FixedWidth-BoldItalic", &MakeFont<TPdfFixedWidthBoldItalic>},
        {"Arial", &MakeFont<TPdfArial>},
        {"Arial-Bold", &MakeFont<TPdfArialBold>},
        {"Arial-Italic", &MakeFont<TPdfArialItalic>},
        {"Arial-BoldItalic", &MakeFont<TPdfArialBoldItalic>},
        {"Times-Roman", &MakeFont<TPdfTimesRoman>},
        {"Times-Bold", &MakeFont<TPdfTimesBold>},
        {"Times-Italic", &MakeFont<TPdfTimesItalic>},
        {"Times-BoldItalic", &MakeFont<TPdfTimesBoldItalic>},
    };
    for (const auto& a : kAliases)
        fc::RegisterClass<TPdfFontClass>(QString::fromLatin1(a.alias), a.cls);
}

} // namespace fc::pdf
