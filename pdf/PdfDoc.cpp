#include "PdfDoc.h"

#include <QBuffer>
#include <QFileDevice>
#include <functional>

#include "PdfFonts.h"
#include "platform/ClassRegistry.h"

using namespace fc::pdf;

namespace {
QByteArray ZeroPaddedInt(int Value, int Width)
{
    if (Value < 0)
        return QByteArray(Width, '0');
    return QByteArray::number(Value).rightJustified(Width, '0');
}
} // namespace

// ---------------------------------------------------------------- xref

TPdfXrefEntry::TPdfXrefEntry(TPdfObject* AValue) : Value(AValue)
{
    if (AValue) {
        EntryType = QStringLiteral("n");
        GenerationNumber = AValue->GenerationNumber();
    } else {
        EntryType = QStringLiteral("f");
    }
}

TPdfXrefEntry::~TPdfXrefEntry() { delete Value; }

QByteArray TPdfXrefEntry::AsString() const
{
    return ZeroPaddedInt(ByteOffset, 10) + ' ' + ZeroPaddedInt(GenerationNumber, 5) + ' ' + EntryType.toLatin1();
}

TPdfXref::TPdfXref()
{
    auto* free = new TPdfXrefEntry(nullptr);
    free->GenerationNumber = 65535;
    FArray.push_back(free);
}

TPdfXref::~TPdfXref()
{
    for (auto it = FArray.rbegin(); it != FArray.rend(); ++it)
        delete *it;
}

void TPdfXref::AddObject(TPdfObject* Object)
{
    if (!Object || Object->ObjectType() != otDirectObject)
        throw EPdfInvalidOperation(QStringLiteral("AddObject --wrong object type."));
    FArray.push_back(new TPdfXrefEntry(Object));
    Object->SetObjectNumber(int(FArray.size()) - 1);
}

TPdfObject* TPdfXref::GetObject(int ObjectNumber)
{
    if (ObjectNumber < 0 || ObjectNumber >= int(FArray.size()))
        return nullptr;
    return FArray[size_t(ObjectNumber)]->Value;
}

TPdfXrefEntry* TPdfXref::Items(int Index) const
{
    if (Index < 0 || Index >= int(FArray.size()))
        throw EListError::IndexOutOfBounds(Index);
    return FArray[size_t(Index)];
}

void TPdfHeader::WriteToStream(QByteArray& Stream) const { Stream.append("%PDF-1.2 \r\n"); }

TPdfTrailer::TPdfTrailer(TPdfObjectMgr* ObjectMgr) : FAttributes(std::make_unique<TPdfDictionary>(ObjectMgr))
{
    FAttributes->AddItem(QStringLiteral("Size"), new TPdfNumber(0));
}

void TPdfTrailer::WriteToStream(QByteArray& Stream)
{
    Stream.append("trailer\r\n");
    FAttributes->WriteToStream(Stream);
    Stream.append("\r\nstartxref\r\n");
    Stream.append(QByteArray::number(XrefAddress));
    Stream.append("\r\n%%EOF\r\n");
}

// ---------------------------------------------------------------- wrappers

void TPdfInfo::SetCreationDate()
{
    Data()->AddItem(QStringLiteral("CreationDate"), new TPdfText(FormatPdfDate(QDateTime::currentDateTime())));
}

void TPdfInfo::SetModDate()
{
    Data()->AddItem(QStringLiteral("ModDate"), new TPdfText(FormatPdfDate(QDateTime::currentDateTime())));
}

void TPdfCatalog::SetPages(TPdfDictionary* Pages)
{
    if (GetTypeOf(Pages) == QLatin1String("Pages"))
        Data()->AddItem(QStringLiteral("Pages"), Pages);
}

void TPdfCatalog::SaveOpenAction()
{
    if (OpenAction)
        Data()->AddItem(QStringLiteral("OpenAction"), OpenAction->GetValue(Data()->ObjectMgr()));
    else
        Data()->RemoveItem(QStringLiteral("OpenAction"));
}

TPdfArray* TPdfDestination::GetValue(TPdfObjectMgr* ObjectMgr) const
{
    static const char* const kKinds[] = {"XYZ", "Fit", "FitH", "FitV", "FitR", "FitB", "FitBH", "FitBV"};
    auto* a = new TPdfArray(ObjectMgr);
    a->AddItem(FPage);
    a->AddItem(new TPdfName(QString::fromLatin1(kKinds[DestinationType])));
    auto coord = [a](const std::optional<int>& v) {
        a->AddItem(v ? static_cast<TPdfObject*>(new TPdfNumber(*v)) : new TPdfNull);
    };
    switch (DestinationType) {
    case dtXYZ:
        coord(Left);
        coord(Top);
        a->AddItem(Zoom ? static_cast<TPdfObject*>(new TPdfReal(*Zoom)) : new TPdfNull);
        break;
    case dtFitH:
    case dtFitBH: coord(Top); break;
    case dtFitV:
    case dtFitBV: coord(Left); break;
    case dtFitR:
        coord(Left);
        coord(Bottom);
        coord(Right);
        coord(Top);
        break;
    case dtFit:
    case dtFitB: break;
    }
    return a;
}

// ---------------------------------------------------------------- outlines

TPdfOutlineEntry::TPdfOutlineEntry(TPdfDoc* Doc) : FDoc(Doc)
{
    auto* dict = new TPdfDictionary(Doc->ObjectMgr());
    Doc->ObjectMgr()->AddObject(dict);
    SetData(dict);
}

TPdfOutlineEntry* TPdfOutlineEntry::CreateEntry(TPdfOutlineEntry* Parent)
{
    if (!Parent)
        throw Exception(QStringLiteral("CreateEntry --invalid parent."));
    auto* e = new TPdfOutlineEntry(Parent->FDoc);
    Parent->FDoc->AddWrapper(e);
    e->FParent = Parent;
    e->FPrev = Parent->FLast;
    if (Parent->FLast)
        Parent->FLast->FNext = e;
    else
        Parent->FFirst = e;
    Parent->FLast = e;
    return e;
}

int TPdfOutlineEntry::VisibleDescendants() const
{
    int n = 0;
    for (const TPdfOutlineEntry* c = FFirst; c; c = c->FNext)
        n += 1 + (c->Opened ? c->VisibleDescendants() : 0);
    return n;
}

void TPdfOutlineEntry::SetLink(const QString& Key, TPdfOutlineEntry* Entry)
{
    if (Entry)
        Data()->AddItem(Key, Entry->Data());
    else
        Data()->RemoveItem(Key);
}

void TPdfOutlineEntry::Save()
{
    const int count = VisibleDescendants();
    Data()->AddItem(QStringLiteral("Count"), new TPdfNumber(Opened ? count : -count));
    Data()->AddItem(QStringLiteral("Title"), new TPdfText(Title));
    if (Dest)
        Data()->AddItem(QStringLiteral("Dest"), Dest->GetValue(Data()->ObjectMgr()));
    else
        Data()->RemoveItem(QStringLiteral("Dest"));
    SetLink(QStringLiteral("First"), FFirst);
    SetLink(QStringLiteral("Last"), FLast);
    SetLink(QStringLiteral("Prev"), FPrev);
    SetLink(QStringLiteral("Next"), FNext);
    // Readers need the way back up the tree.
    SetLink(QStringLiteral("Parent"), FParent);
    if (FFirst)
        FFirst->Save();
    if (FNext)
        FNext->Save();
}

TPdfOutlineRoot* TPdfOutlineRoot::CreateRoot(TPdfDoc* Doc)
{
    auto* r = new TPdfOutlineRoot(Doc);
    Doc->AddWrapper(r);
    r->Opened = true;
    r->Data()->AddItem(QStringLiteral("Type"), new TPdfName(QStringLiteral("Outlines")));
    r->Data()->AddItem(QStringLiteral("Count"), new TPdfNumber(0));
    return r;
}

void TPdfOutlineRoot::Save()
{
    Data()->AddItem(QStringLiteral("Count"), new TPdfNumber(VisibleDescendants()));
    SetLink(QStringLiteral("First"), FFirst);
    SetLink(QStringLiteral("Last"), FLast);
    if (FFirst)
        FFirst->Save();
}

namespace fc::pdf {

void AddStrElements(TPdfDictionary* Dictionary, const TPDF_STR_TBL* Table, int Count)
{
    for (int i = 0; i < Count; ++i)
        Dictionary->AddItem(QString::fromLatin1(Table[i].KEY), new TPdfName(QString::fromLatin1(Table[i].VAL)));
}

void AddIntElements(TPdfDictionary* Dictionary, const TPDF_INT_TBL* Table, int Count)
{
    for (int i = 0; i < Count; ++i)
        Dictionary->AddItem(QString::fromLatin1(Table[i].KEY), new TPdfNumber(Table[i].VAL));
}

} // namespace fc::pdf

// ---------------------------------------------------------------- document

TPdfDoc::TPdfDoc() : FCanvas(std::make_unique<TPdfCanvas>(this)) {}

TPdfDoc::~TPdfDoc() { FreeDoc(); }

void TPdfDoc::NewDoc()
{
    FreeDoc();
    FXref = std::make_unique<TPdfXref>();
    FFileHeader = std::make_unique<TPdfHeader>();
    FTrailer = std::make_unique<TPdfTrailer>(FXref.get());
    FXObjectList = std::make_unique<TPdfArray>(FXref.get());
    CreateCatalog();
    if (UseOutlines) {
        FOutlineRoot = TPdfOutlineRoot::CreateRoot(this);
        FCatalog->Data()->AddItem(QStringLiteral("Outlines"), FOutlineRoot->Data());
    }
    CreateInfo();
    FRootPages = CreatePages(nullptr);
    FCatalog->SetPages(FRootPages);
    FHasDoc = true;
}

void TPdfDoc::CreateCatalog()
{
    auto* dict = new TPdfDictionary(FXref.get());
    FXref->AddObject(dict);
    dict->AddItem(QStringLiteral("Type"), new TPdfName(QStringLiteral("Catalog")));
    FTrailer->Attributes()->AddItem(QStringLiteral("Root"), dict);
    FCatalog = new TPdfCatalog;
    FCatalog->SetData(dict);
    FObjectList.push_back(FCatalog);
}

void TPdfDoc::CreateInfo()
{
    auto* dict = new TPdfDictionary(FXref.get());
    FXref->AddObject(dict);
    dict->AddItem(QStringLiteral("Producer"), new TPdfText(QStringLiteral("PdfWriter version 0.9")));
    FTrailer->Attributes()->AddItem(QStringLiteral("Info"), dict);
    FInfo = new TPdfInfo;
    FInfo->SetData(dict);
    FObjectList.push_back(FInfo);
    FInfo->SetCreationDate();
}

TPdfDictionary* TPdfDoc::CreatePages(TPdfDictionary* Parent)
{
    auto* dict = new TPdfDictionary(FXref.get());
    FXref->AddObject(dict);
    dict->AddItem(QStringLiteral("Type"), new TPdfName(QStringLiteral("Pages")));
    dict->AddItem(QStringLiteral("Kids"), new TPdfArray(FXref.get()));
    dict->AddItem(QStringLiteral("Count"), new TPdfNumber(0));
    if (Parent && GetTypeOf(Parent) == QLatin1String("Pages"))
        AddKid(Parent, dict);
    else
        FCatalog->SetPages(dict);
    return dict;
}

void TPdfDoc::FreeDoc()
{
    if (!FHasDoc)
        return;
    FXObjectList.reset();
    FXObjectIndex.clear();
    for (auto it = FFontList.rbegin(); it != FFontList.rend(); ++it)
        delete *it;
    FFontList.clear();
    for (auto it = FObjectList.rbegin(); it != FObjectList.rend(); ++it)
        delete *it;
    FObjectList.clear();
    FXref.reset();
    FFileHeader.reset();
    FTrailer.reset();
    FCatalog = nullptr;
    FInfo = nullptr;
    FOutlineRoot = nullptr;
    FRootPages = nullptr;
    FCanvas->ForgetPage();
    FHasDoc = false;
}

void TPdfDoc::AddKid(TPdfDictionary* Parent, TPdfDictionary* Kid)
{
    TPdfArray* kids = Parent->ArrayByName(QStringLiteral("Kids"));
    kids->AddItem(Kid);
    Parent->AddItem(QStringLiteral("Count"), new TPdfNumber(kids->ItemCount()));
}

TPdfDictionary* TPdfDoc::GetResource(TPdfDictionary* Page, const QString& Key) const
{
    TPdfDictionary* res = Page->DictionaryByName(QStringLiteral("Resources"));
    return res ? res->DictionaryByName(Key) : nullptr;
}

void TPdfDoc::AddPage()
{
    if (!FRootPages)
        throw EPdfInvalidOperation(QStringLiteral("AddPage --current pages null."));
    auto* page = new TPdfDictionary(FXref.get());
    FXref->AddObject(page);
    AddKid(FRootPages, page);

    page->AddItem(QStringLiteral("Type"), new TPdfName(QStringLiteral("Page")));
    page->AddItem(QStringLiteral("Parent"), FRootPages);
    page->AddItem(QStringLiteral("MediaBox"),
                  TPdfArray::CreateNumArray(FXref.get(), {0, 0, DefaultPageWidth, DefaultPageHeight}));

    auto* res = new TPdfDictionary(FXref.get());
    res->AddItem(QStringLiteral("Font"), new TPdfDictionary(FXref.get()));
    res->AddItem(QStringLiteral("XObject"), new TPdfDictionary(FXref.get()));
    auto* procSet = new TPdfArray(FXref.get());
    procSet->AddItem(new TPdfName(QStringLiteral("PDF")));
    procSet->AddItem(new TPdfName(QStringLiteral("Text")));
    procSet->AddItem(new TPdfName(QStringLiteral("ImageC")));
    res->AddItem(QStringLiteral("ProcSet"), procSet);
    page->AddItem(QStringLiteral("Resources"), res);

    auto* contents = new TPdfStream(FXref.get());
    FXref->AddObject(contents);
    page->AddItem(QStringLiteral("Contents"), contents);

    FCanvas->SetPage(page);
}

TPdfCanvas* TPdfDoc::GetCanvas() const
{
    if (!FHasDoc)
        throw EPdfInvalidOperation(QStringLiteral("GetCanvas --Document is null"));
    return FCanvas.get();
}

TPdfFont* TPdfDoc::GetFont(const QString& Name)
{
    if (!FHasDoc)
        throw EPdfInvalidOperation(QStringLiteral("GetFont --document is null."));
    for (TPdfFont* f : FFontList) {
        if (f->Name() == Name)
            return f;
    }
    return CreateFont(Name);
}

TPdfFont* TPdfDoc::CreateFont(const QString& Name)
{
    const TPdfFontClass cls = fc::FindClass<TPdfFontClass>(Name);
    TPdfFont* font = cls(FXref.get(), Name);
    font->Data()->AddItem(QStringLiteral("Name"), new TPdfName(QStringLiteral("F%1").arg(FFontList.size())));
    FFontList.push_back(font);
    return font;
}

TPdfXObject* TPdfDoc::GetXObject(const QString& Name) const
{
    // Every XObject of the list is in the index under the "Name" it got
    // when it joined; registration refuses a name already taken.
    return FXObjectIndex.value(Name, nullptr);
}

void TPdfDoc::RegisterXObject(TPdfXObject* Object, const QString& Name)
{
    if (!Object)
        throw EPdfInvalidValue(QStringLiteral("RegisterXObject --AObject is null"));
    if (GetTypeOf(Object->Attributes()) != QLatin1String("XObject"))
        throw EPdfInvalidValue(QStringLiteral("RegisterXObject --not XObject"));
    if (Object->ObjectType() != otIndirectObject)
        FXref->AddObject(Object);
    if (!Object->Attributes()->ValueByName(QStringLiteral("Name"))) {
        if (GetXObject(Name))
            throw EPdfInvalidValue(QStringLiteral("RegisterXObject --dupulicate name: %1").arg(Name));
        FXObjectList->AddItem(Object);
        Object->Attributes()->AddItem(QStringLiteral("Name"), new TPdfName(Name));
        FXObjectIndex.insert(Name, Object);
    }
}

void TPdfDoc::AddXObject(const QString& Name, TPdfImage* Image)
{
    if (GetXObject(Name))
        throw Exception(QStringLiteral("AddImage --the image named %1 is already exists..").arg(Name));
    if (!Image || !Image->Attributes() || GetTypeOf(Image->Attributes()) != QLatin1String("XObject")) {
        throw Exception(QStringLiteral("AddImage --the image is not valid TPdfImage.."));
    }
    TPdfName* subtype = Image->Attributes()->NameByName(QStringLiteral("Subtype"));
    if (!subtype || subtype->Value() != QLatin1String("Image"))
        throw Exception(QStringLiteral("AddImage --the image is not valid TPdfImage.."));
    FXref->AddObject(Image);
    RegisterXObject(Image, Name);
}

void TPdfDoc::WriteDocument(const std::function<void(QByteArray&)>& Flush)
{
    if (!FHasDoc)
        throw EPdfInvalidOperation(QStringLiteral("SaveToStream --there is no document to save."));
    FCanvas->GetPage();

    FInfo->SetModDate();
    FCatalog->SaveOpenAction();
    if (FOutlineRoot)
        FOutlineRoot->Save();

    // The file goes out in pieces of about this size, so that a long
    // document is never held, or copied, whole a second time; small pieces
    // reuse the same memory rather than fresh pages for every piece.
    constexpr qsizetype kPiece = 32 * 1024;
    QByteArray out;
    qint64 flushed = 0;
    auto position = [&] { return flushed + out.size(); };
    auto flushFull = [&] {
        if (out.size() >= kPiece) {
            flushed += out.size();
            Flush(out);
            out.resize(0);
        }
    };
    FFileHeader->WriteToStream(out);
    for (int i = 1; i < FXref->ItemCount(); ++i) {
        TPdfXrefEntry* e = FXref->Items(i);
        e->ByteOffset = int(position());
        e->Value->WriteIndirectToStream(out);
        flushFull();
    }
    FTrailer->XrefAddress = int(position());
    out.append("xref\r\n0 ");
    out.append(QByteArray::number(FXref->ItemCount()));
    out.append("\r\n");
    for (int i = 0; i < FXref->ItemCount(); ++i) {
        out.append(FXref->Items(i)->AsString());
        out.append("\r\n");
        flushFull();
    }
    FTrailer->Attributes()->NumberByName(QStringLiteral("Size"))->SetValue(FXref->ItemCount());
    FTrailer->WriteToStream(out);
    Flush(out);
}

QByteArray TPdfDoc::SaveToBytes()
{
    QByteArray bytes;
    WriteDocument([&bytes](QByteArray& piece) { bytes.append(piece); });
    return bytes;
}

void TPdfDoc::SaveToStream(QIODevice& Stream)
{
    auto fail = [&Stream] {
        throw EFileError(QStringLiteral("SaveToStream --cannot write the document: %1").arg(Stream.errorString()));
    };
    qint64 written = 0;
    bool started = false;
    WriteDocument([&](QByteArray& piece) {
        // The device is moved to its start only once there is a document.
        if (!started) {
            started = true;
            if (!Stream.isSequential() && !Stream.seek(0))
                fail();
        }
        if (Stream.write(piece) != piece.size())
            fail();
        written += piece.size();
    });
    // A shorter document written over a longer one must not keep its tail.
    if (auto* file = qobject_cast<QFileDevice*>(&Stream)) {
        if (!file->flush())
            fail();
        if (file->size() > written && !file->resize(written))
            fail();
    } else if (auto* buffer = qobject_cast<QBuffer*>(&Stream)) {
        if (buffer->buffer().size() > written)
            buffer->buffer().truncate(written);
    }
}

// ---------------------------------------------------------------- canvas

void TPdfCanvasAttribute::SetWordSpace(float Value)
{
    if (Value < 0)
        throw EPdfInvalidValue(QStringLiteral("SetWordSpace --invalid word space"));
    if (Value != FWordSpace)
        FWordSpace = Value;
}

void TPdfCanvasAttribute::SetCharSpace(float Value)
{
    if (Value < -30 || Value > 300)
        throw EPdfInvalidValue(QStringLiteral("SetCharSpace --invalid char space"));
    if (Value != FCharSpace)
        FCharSpace = Value;
}

void TPdfCanvasAttribute::SetFontSize(float Value)
{
    if (!FontSizeInRange(Value))
        throw EPdfInvalidValue(QStringLiteral("SetFontSize --invalid font size"));
    if (Value != FFontSize)
        FFontSize = Value;
}

void TPdfCanvasAttribute::SetHorizontalScaling(quint16 Value)
{
    if (Value < 10 || Value > 300)
        throw EPdfInvalidValue(QStringLiteral("SetHorizontalScaling --invalid horizontal scaling"));
    if (Value != FHorizontalScaling)
        FHorizontalScaling = Value;
}

void TPdfCanvasAttribute::SetLeading(float Value)
{
    if (Value < 0 || Value > 300)
        throw EPdfInvalidValue(QStringLiteral("SetLeading --invalid leading"));
    if (Value != FLeading)
        FLeading = Value;
}

int TPdfCanvasAttribute::MeasureText(const QString& Text, float Width) const
{
    if (!FFont)
        throw EPdfInvalidOperation(QStringLiteral("MeasureText --no font is selected"));
    float total = 0;
    int count = 0;
    const int len = int(Text.size());
    for (int i = 1; i <= len; ++i) {
        float w = float(FFont->GetCharWidth(Text, i)) * FFontSize / 1000;
        if (FHorizontalScaling != 100)
            w = float(FHorizontalScaling) * w / 100;
        if (w > 0)
            w = w + FCharSpace;
        else
            w = 0;
        if (Text.at(i - 1) == QLatin1Char(' ') && FWordSpace > 0 && i != len)
            w = w + FWordSpace;
        total = total + w;
        if (total > Width)
            break;
        ++count;
    }
    return count;
}

TPdfCanvas::TPdfCanvas(TPdfDoc* OwnerDoc) : FOwnerDoc(OwnerDoc), FAttr(std::make_unique<TPdfCanvasAttribute>()) {}

void TPdfCanvas::WriteContent(const QByteArray& S)
{
    if (FCurrentPage && FContents)
        FContents->Stream().append(S);
}

void TPdfCanvas::SaveGraphicsState() { WriteContent("q\n"); }
void TPdfCanvas::RestoreGraphicsState() { WriteContent("Q\n"); }

void TPdfCanvas::WriteOperator(std::initializer_list<double> Operands, const char* Operator)
{
    // The operands are formatted even without a page, so that a value that
    // cannot be written fails the same way whether or not a page is set.
    QByteArray& out = FCurrentPage && FContents ? FContents->Stream() : FScratch;
    const qsizetype start = out.size();
    try {
        for (double v : Operands) {
            AppendPdfOperand(out, v);
            out.append(' ');
        }
    } catch (...) {
        out.truncate(start);
        throw;
    }
    out.append(Operator);
    out.append('\n');
    FScratch.resize(0);
}

void TPdfCanvas::ConcatMatrix(double A, double B, double C, double D, double E, double F)
{
    WriteOperator({A, B, C, D, E, F}, "cm");
}

void TPdfCanvas::SetLineWidth(double W) { WriteOperator({W}, "w"); }
void TPdfCanvas::MoveTo(double X, double Y) { WriteOperator({X, Y}, "m"); }
void TPdfCanvas::LineTo(double X, double Y) { WriteOperator({X, Y}, "l"); }
void TPdfCanvas::Stroke() { WriteContent("S\n"); }

// Resource names are written escaped, as in the resource dictionaries, so
// that operator and resource always match.
void TPdfCanvas::SelectFont(const QString& ResourceName, double Size)
{
    WriteContent('/' + EscapeName(ToWinAnsi(ResourceName)) + ' ' + FloatToPdfStr(Size) + " Tf\n");
}

void TPdfCanvas::BeginText() { WriteContent("BT\n"); }
void TPdfCanvas::EndText() { WriteContent("ET\n"); }

void TPdfCanvas::MoveTextPoint(double X, double Y) { WriteOperator({X, Y}, "Td"); }

void TPdfCanvas::ShowText(const QString& Text)
{
    if (HasMultiByteChar(Text)) {
        WriteContent('<' + StrToHex(ToWinAnsi(Text)) + "> Tj\n");
    } else if (FCurrentPage && FContents) {
        QByteArray& out = FContents->Stream();
        out.append('(');
        AppendEscapedWinAnsi(out, Text);
        out.append(") Tj\n", 5);
    }
}

void TPdfCanvas::PaintXObject(const QString& Name) { WriteContent('/' + EscapeName(ToWinAnsi(Name)) + " Do\n"); }

TPdfDictionary* TPdfCanvas::GetPage() const
{
    if (!FCurrentPage)
        throw EPdfInvalidOperation(QStringLiteral("GetPage --the Page is nil"));
    return FCurrentPage;
}

void TPdfCanvas::ForgetPage()
{
    FCurrentPage = nullptr;
    FContents = nullptr;
    FAttr->SetFont(nullptr);
}

void TPdfCanvas::SetPage(TPdfDictionary* Page)
{
    if (FCurrentPage) {
        if (FAttr->Font())
            FCurrentPage->AddInternalItem(QStringLiteral("_Font"), new TPdfName(FAttr->Font()->Name()));
        FCurrentPage->AddInternalItem(QStringLiteral("_Font_Size"), new TPdfReal(FAttr->FontSize()));
        FCurrentPage->AddInternalItem(QStringLiteral("_Word_Space"), new TPdfReal(FAttr->WordSpace()));
        FCurrentPage->AddInternalItem(QStringLiteral("_Char_Space"), new TPdfReal(FAttr->CharSpace()));
        FCurrentPage->AddInternalItem(QStringLiteral("_HScalling"), new TPdfNumber(FAttr->HorizontalScaling()));
        FCurrentPage->AddInternalItem(QStringLiteral("_Leading"), new TPdfReal(FAttr->Leading()));
    }
    FCurrentPage = Page;
    FContents = dynamic_cast<TPdfStream*>(Page->ValueByName(QStringLiteral("Contents")));

    if (TPdfName* font = Page->NameByName(QStringLiteral("_Font"))) {
        FAttr->SetFont(FOwnerDoc->GetFont(font->Value()));
        auto real = [Page](const char* key) {
            TPdfReal* r = Page->RealByName(QString::fromLatin1(key));
            return r ? float(r->Value()) : 0.0f;
        };
        FAttr->SetFontSize(real("_Font_Size"));
        FAttr->SetWordSpace(real("_Word_Space"));
        FAttr->SetCharSpace(real("_Char_Space"));
        if (TPdfNumber* h = Page->NumberByName(QStringLiteral("_HScalling")))
            FAttr->SetHorizontalScaling(quint16(h->Value()));
        FAttr->SetLeading(real("_Leading"));
    } else {
        FAttr->SetFont(nullptr);
        SetFont(QStringLiteral("Arial"), 10);
        FAttr->SetCharSpace(0);
        FAttr->SetWordSpace(0);
        FAttr->SetHorizontalScaling(100);
        FAttr->SetLeading(0);
    }
}

void TPdfCanvas::SetFont(const QString& Name, float Size)
{
    // Refuse a bad size before anything is written or selected.
    if (!TPdfCanvasAttribute::FontSizeInRange(Size))
        throw EPdfInvalidValue(QStringLiteral("SetFontSize --invalid font size"));
    TPdfFont* font = FOwnerDoc->GetFont(Name);
    if (font == FAttr->Font() && Size == FAttr->FontSize())
        return;
    TPdfName* resName = font->Data()->NameByName(QStringLiteral("Name"));
    const QString name = resName ? resName->Value() : QString();
    TPdfDictionary* fonts = FOwnerDoc->GetResource(GetPage(), QStringLiteral("Font"));
    if (fonts && !fonts->ValueByName(name))
        fonts->AddItem(name, font->Data());
    if (FContents)
        SelectFont(name, Size);
    FAttr->SetFont(font);
    FAttr->SetFontSize(Size);
}

void TPdfCanvas::TextOut(double X, double Y, const QString& Text)
{
    BeginText();
    MoveTextPoint(X, Y);
    ShowText(Text);
    EndText();
}

void TPdfCanvas::DrawXObject(double X, double Y, double Width, double Height, const QString& Name)
{
    TPdfXObject* x = FOwnerDoc->GetXObject(Name);
    if (!x)
        throw EPdfInvalidValue(QStringLiteral("DrawXObject --XObject not found: %1").arg(Name));
    TPdfDictionary* xobjects = FOwnerDoc->GetResource(GetPage(), QStringLiteral("XObject"));
    if (xobjects && !xobjects->ValueByName(Name))
        xobjects->AddItem(Name, x);
    SaveGraphicsState();
    ConcatMatrix(Width, 0, 0, Height, X, Y);
    TPdfName* n = x->Attributes()->NameByName(QStringLiteral("Name"));
    PaintXObject(n ? n->Value() : Name);
    RestoreGraphicsState();
}
