#pragma once
// One PDF document in memory and its file layout (header, numbered objects,
// cross-reference table, trailer), and the canvas that writes page content.

#include <QHash>
#include <QIODevice>
#include <functional>
#include <initializer_list>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "PdfTypes.h"

class TPdfDoc;
class TPdfFont;

class TPdfXrefEntry {
public:
    // An "n" entry owning Value, or the free "f" entry for nullptr.
    explicit TPdfXrefEntry(TPdfObject* AValue);
    ~TPdfXrefEntry();
    TPdfXrefEntry(const TPdfXrefEntry&) = delete;
    TPdfXrefEntry& operator=(const TPdfXrefEntry&) = delete;

    // Offset (10 digits), generation (5 digits), type: 18 bytes.
    QByteArray AsString() const;

    QString EntryType;
    int ByteOffset = -1;
    int GenerationNumber = 0;
    TPdfObject* Value = nullptr;
};

// The cross-reference table: entry i holds object number i; entry 0 is free.
class TPdfXref : public TPdfObjectMgr {
public:
    TPdfXref();
    ~TPdfXref() override;
    void AddObject(TPdfObject* Object) override;
    TPdfObject* GetObject(int ObjectNumber) override;
    int ItemCount() const { return int(FArray.size()); }
    TPdfXrefEntry* Items(int Index) const;

private:
    std::vector<TPdfXrefEntry*> FArray;
};

class TPdfHeader {
public:
    void WriteToStream(QByteArray& Stream) const;
};

class TPdfTrailer {
public:
    explicit TPdfTrailer(TPdfObjectMgr* ObjectMgr);
    TPdfDictionary* Attributes() const { return FAttributes.get(); }
    int XrefAddress = 0;
    void WriteToStream(QByteArray& Stream);

private:
    std::unique_ptr<TPdfDictionary> FAttributes;
};

// A typed view of a dictionary that the cross-reference table owns.
class TPdfDictionaryWrapper {
public:
    virtual ~TPdfDictionaryWrapper() = default;
    TPdfDictionary* Data() const { return FData; }
    bool HasData() const { return FData != nullptr; }
    virtual void SetData(TPdfDictionary* Dictionary) { FData = Dictionary; }

private:
    TPdfDictionary* FData = nullptr;
};

class TPdfInfo : public TPdfDictionaryWrapper {
public:
    void SetCreationDate();
    void SetModDate();
};

enum TPdfDestinationType { dtXYZ, dtFit, dtFitH, dtFitV, dtFitR, dtFitB, dtFitBH, dtFitBV };

// A view of a page: the page, a kind and that kind's coordinates; a
// coordinate left unset is written as null (the reader keeps its own).
class TPdfDestination {
public:
    TPdfDestination(TPdfDictionary* Page, TPdfDestinationType Type = dtXYZ) : DestinationType(Type), FPage(Page) {}
    // [page /Kind coordinates...], owned by the caller.
    TPdfArray* GetValue(TPdfObjectMgr* ObjectMgr) const;

    TPdfDestinationType DestinationType;
    std::optional<int> Left, Top, Right, Bottom;
    std::optional<double> Zoom;

private:
    TPdfDictionary* FPage;
};

class TPdfCatalog : public TPdfDictionaryWrapper {
public:
    // Only a dictionary of "Type" "Pages".
    void SetPages(TPdfDictionary* Pages);
    // "OpenAction" from OpenAction, or no entry without one.
    void SaveOpenAction();
    // Owned by the catalog; nothing in the program sets one.
    std::unique_ptr<TPdfDestination> OpenAction;
};

// An entry of the outline tree. Entries belong to the document's wrapper
// list; each links itself in as the last child of its parent.
class TPdfOutlineEntry : public TPdfDictionaryWrapper {
public:
    // Raises "CreateEntry --invalid parent." without a parent.
    static TPdfOutlineEntry* CreateEntry(TPdfOutlineEntry* Parent);
    // Writes this entry's keys, then its first child and its next sibling.
    virtual void Save();

    QString Title;
    bool Opened = false;
    std::unique_ptr<TPdfDestination> Dest;

    TPdfOutlineEntry* Parent() const { return FParent; }
    TPdfOutlineEntry* First() const { return FFirst; }
    TPdfOutlineEntry* Last() const { return FLast; }
    TPdfOutlineEntry* Next() const { return FNext; }
    TPdfOutlineEntry* Prev() const { return FPrev; }

protected:
    explicit TPdfOutlineEntry(TPdfDoc* Doc);
    // Entries shown below this one when it and its open descendants are open.
    int VisibleDescendants() const;
    void SetLink(const QString& Key, TPdfOutlineEntry* Entry);

    TPdfDoc* FDoc;
    TPdfOutlineEntry* FParent = nullptr;
    TPdfOutlineEntry* FFirst = nullptr;
    TPdfOutlineEntry* FLast = nullptr;
    TPdfOutlineEntry* FNext = nullptr;
    TPdfOutlineEntry* FPrev = nullptr;
};

class TPdfOutlineRoot : public TPdfOutlineEntry {
public:
    // Open, count 0, a numbered dictionary of "Type" "Outlines".
    static TPdfOutlineRoot* CreateRoot(TPdfDoc* Doc);
    void Save() override;

private:
    using TPdfOutlineEntry::TPdfOutlineEntry;
};

struct TPDF_STR_TBL {
    const char* KEY;
    const char* VAL;
};
struct TPDF_INT_TBL {
    const char* KEY;
    int VAL;
};

namespace fc::pdf {
void AddStrElements(TPdfDictionary* Dictionary, const TPDF_STR_TBL* Table, int Count);
void AddIntElements(TPdfDictionary* Dictionary, const TPDF_INT_TBL* Table, int Count);
} // namespace fc::pdf

// The text state of the canvas.
class TPdfCanvasAttribute {
public:
    float WordSpace() const { return FWordSpace; }
    float CharSpace() const { return FCharSpace; }
    float FontSize() const { return FFontSize; }
    TPdfFont* Font() const { return FFont; }
    float Leading() const { return FLeading; }
    quint16 HorizontalScaling() const { return FHorizontalScaling; }

    void SetWordSpace(float Value);          // 0 or more
    void SetCharSpace(float Value);          // -30 to 300
    void SetFontSize(float Value);           // 0 to 300
    void SetFont(TPdfFont* Value) { FFont = Value; }
    void SetHorizontalScaling(quint16 Value); // 10 to 300
    void SetLeading(float Value);            // 0 to 300

    // How many leading characters of Text fit Width points with the font.
    int MeasureText(const QString& Text, float Width) const;

    static bool FontSizeInRange(float Value) { return Value >= 0 && Value <= 300; }

private:
    float FWordSpace = 0;
    float FCharSpace = 0;
    float FFontSize = 0;
    TPdfFont* FFont = nullptr;
    float FLeading = 0;
    quint16 FHorizontalScaling = 0;
};

class TPdfCanvas {
public:
    explicit TPdfCanvas(TPdfDoc* OwnerDoc);
    TPdfCanvas(const TPdfCanvas&) = delete;
    TPdfCanvas& operator=(const TPdfCanvas&) = delete;

    TPdfCanvasAttribute* Attribute() const { return FAttr.get(); }
    TPdfStream* Contents() const { return FContents; }
    TPdfDoc* OwnerDoc() const { return FOwnerDoc; }

    // Operators, appended to the current page's content (nothing without one).
    void SaveGraphicsState();
    void RestoreGraphicsState();
    void ConcatMatrix(double A, double B, double C, double D, double E, double F);
    void SetLineWidth(double W);
    void MoveTo(double X, double Y);
    void LineTo(double X, double Y);
    void Stroke();
    void SelectFont(const QString& ResourceName, double Size);
    void BeginText();
    void EndText();
    void MoveTextPoint(double X, double Y);
    void ShowText(const QString& Text);
    void PaintXObject(const QString& Name);

    void SetPage(TPdfDictionary* Page);
    TPdfDictionary* GetPage() const;
    // Forgets the current page without saving its state (the document is gone).
    void ForgetPage();
    void SetFont(const QString& Name, float Size);
    void TextOut(double X, double Y, const QString& Text);
    void DrawXObject(double X, double Y, double Width, double Height, const QString& Name);
    int MeasureText(const QString& Text, float Width) const { return FAttr->MeasureText(Text, Width); }

private:
    void WriteContent(const QByteArray& S);
    // Operands, each followed by a blank, then the operator and a newline.
    void WriteOperator(std::initializer_list<double> Operands, const char* Operator);
    TPdfStream* FContents = nullptr;
    QByteArray FScratch; // operands formatted while no page is set
    TPdfDictionary* FCurrentPage = nullptr;
    TPdfDoc* FOwnerDoc;
    std::unique_ptr<TPdfCanvasAttribute> FAttr;
};

class TPdfDoc {
public:
    TPdfDoc();
    ~TPdfDoc();
    TPdfDoc(const TPdfDoc&) = delete;
    TPdfDoc& operator=(const TPdfDoc&) = delete;

    void NewDoc();
    void FreeDoc();
    void AddPage();
    TPdfCanvas* GetCanvas() const;
    TPdfCanvas* Canvas() const { return FCanvas.get(); }
    TPdfFont* GetFont(const QString& Name);
    // Numbers the image and registers it under Name; the document owns it
    // from then on (after a failure the caller still does).
    void AddXObject(const QString& Name, TPdfImage* Image);
    // Numbers the object first, so the document owns it even when the
    // registration then fails.
    void RegisterXObject(TPdfXObject* Object, const QString& Name);
    TPdfXObject* GetXObject(const QString& Name) const;
    // Writes the whole document from the start of Stream and cuts off what
    // an earlier, longer save left behind.
    void SaveToStream(QIODevice& Stream);
    // The file's bytes.
    QByteArray SaveToBytes();

    void AddKid(TPdfDictionary* Parent, TPdfDictionary* Kid);
    TPdfDictionary* GetResource(TPdfDictionary* Page, const QString& Key) const;

    bool HasDoc() const { return FHasDoc; }
    TPdfXref* ObjectMgr() const { return FXref.get(); }
    TPdfDictionary* RootPages() const { return FRootPages; }
    TPdfCatalog* Catalog() const { return FCatalog; }
    TPdfInfo* Info() const { return FInfo; }
    TPdfTrailer* Trailer() const { return FTrailer.get(); }
    int FontCount() const { return int(FFontList.size()); }

    quint16 DefaultPageWidth = 596;
    quint16 DefaultPageHeight = 842;
    // An outline tree for the next NewDoc; the program never asks for one.
    bool UseOutlines = false;
    TPdfOutlineRoot* OutlineRoot() const { return FOutlineRoot; }
    // Takes ownership of an outline entry's wrapper.
    void AddWrapper(TPdfDictionaryWrapper* Wrapper) { FObjectList.push_back(Wrapper); }

private:
    // Writes the file from its start, handing each finished piece to Flush
    // (which may keep or clear it); the checks come before the first piece.
    void WriteDocument(const std::function<void(QByteArray&)>& Flush);
    TPdfFont* CreateFont(const QString& Name);
    void CreateCatalog();
    void CreateInfo();
    TPdfDictionary* CreatePages(TPdfDictionary* Parent);

    TPdfCatalog* FCatalog = nullptr;
    TPdfDictionary* FRootPages = nullptr;
    std::unique_ptr<TPdfCanvas> FCanvas;
    std::unique_ptr<TPdfHeader> FFileHeader;
    std::unique_ptr<TPdfTrailer> FTrailer;
    std::unique_ptr<TPdfXref> FXref;
    TPdfInfo* FInfo = nullptr;
    TPdfOutlineRoot* FOutlineRoot = nullptr;
    bool FHasDoc = false;
    std::vector<TPdfFont*> FFontList;
    std::vector<TPdfDictionaryWrapper*> FObjectList;
    std::unique_ptr<TPdfArray> FXObjectList;
    QHash<QString, TPdfXObject*> FXObjectIndex; // by "Name", beside FXObjectList
};
