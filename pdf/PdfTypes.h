#pragma once
// The value layer of the PDF writer: every piece of a written PDF file is one
// of these objects, and each writes its own bytes. Objects are direct
// (written in place), indirect (numbered by the cross-reference table, which
// then owns them) or virtual (a reference by number that containers keep in
// place of an indirect object).
//
// Ownership: a container (array, dictionary, stream) owns every object handed
// to it except an indirect one, for which it keeps a reference of its own.
//
// Text is QString inside the program; the file holds WinAnsi (code page 1252)
// bytes, made by ToWinAnsi, which is also what the width lookup of the fonts
// uses, so that what is measured is what is written.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <initializer_list>
#include <memory>
#include <vector>

#include "platform/Errors.h"

class EPdfInvalidValue : public Exception {
public:
    using Exception::Exception;
};
class EPdfInvalidOperation : public Exception {
public:
    using Exception::Exception;
};
class EPdfInvalidImageFormat : public Exception {
public:
    using Exception::Exception;
};

enum TPdfObjectType { otDirectObject, otIndirectObject, otVirtualObject };

class TPdfObject;

// Resolves virtual objects and numbers new indirect ones; the document's
// cross-reference table is the implementation.
class TPdfObjectMgr {
public:
    virtual ~TPdfObjectMgr() = default;
    virtual void AddObject(TPdfObject* Object) = 0;
    virtual TPdfObject* GetObject(int ObjectNumber) = 0;
};

class TPdfObject {
public:
    TPdfObject() = default;
    virtual ~TPdfObject() = default;
    TPdfObject(const TPdfObject&) = delete;
    TPdfObject& operator=(const TPdfObject&) = delete;

    TPdfObjectType ObjectType() const { return FObjectType; }
    int ObjectNumber() const { return FObjectNumber; }
    int GenerationNumber() const { return FGenerationNumber; }

    // 1 or more makes the object indirect, below 1 direct.
    void SetObjectNumber(int N);

    // The value for a direct object, "N G R" for an indirect or virtual one.
    void WriteToStream(QByteArray& Stream);
    // "N G obj", the value, "endobj"; only for an indirect object.
    void WriteIndirectToStream(QByteArray& Stream);

    virtual void WriteValueToStream(QByteArray& Stream);

protected:
    TPdfObjectType FObjectType = otDirectObject;
    int FObjectNumber = -1;
    int FGenerationNumber = 0;
};

// A reference by number; made only by CreateVirtual.
class TPdfVirtualObject : public TPdfObject {
public:
    // Always raises: a reference needs the number it stands for.
    TPdfVirtualObject();
    static TPdfVirtualObject* CreateVirtual(int ObjectNumber);

private:
    struct NumberTag {};
    TPdfVirtualObject(NumberTag, int ObjectNumber);
};

class TPdfNull : public TPdfObject {
public:
    void WriteValueToStream(QByteArray& Stream) override;
};

class TPdfNumber : public TPdfObject {
public:
    explicit TPdfNumber(int Value = 0) : FValue(Value) {}
    int Value() const { return FValue; }
    void SetValue(int Value) { FValue = Value; }
    void WriteValueToStream(QByteArray& Stream) override;

private:
    int FValue;
};

class TPdfReal : public TPdfObject {
public:
    explicit TPdfReal(double Value = 0) : FValue(Value) {}
    double Value() const { return FValue; }
    void SetValue(double Value) { FValue = Value; }
    void WriteValueToStream(QByteArray& Stream) override;

private:
    double FValue;
};

class TPdfText : public TPdfObject {
public:
    explicit TPdfText(QString Value = QString()) : FValue(std::move(Value)) {}
    const QString& Value() const { return FValue; }
    void SetValue(const QString& Value) { FValue = Value; }
    void WriteValueToStream(QByteArray& Stream) override;

private:
    QString FValue;
};

class TPdfName : public TPdfObject {
public:
    explicit TPdfName(QString Value = QString()) : FValue(std::move(Value)) {}
    const QString& Value() const { return FValue; }
    void SetValue(const QString& Value) { FValue = Value; }
    void WriteValueToStream(QByteArray& Stream) override;

private:
    QString FValue;
};

class TPdfArray : public TPdfObject {
public:
    explicit TPdfArray(TPdfObjectMgr* ObjectMgr = nullptr) : FObjectMgr(ObjectMgr) {}
    ~TPdfArray() override;
    static TPdfArray* CreateNumArray(TPdfObjectMgr* ObjectMgr, std::initializer_list<int> Values);
    static TPdfArray* CreateNumArray(TPdfObjectMgr* ObjectMgr, const int* Values, int Count);

    // Takes ownership of a direct or virtual object (the same instance twice
    // is kept once); an indirect one is referred to.
    void AddItem(TPdfObject* Item);
    // Item Index (0-based), a reference resolved through the object manager
    // (nullptr without one).
    TPdfObject* Items(int Index) const;
    int ItemCount() const { return int(FArray.size()); }
    // The first name item whose value is Name, else nullptr.
    TPdfObject* FindName(const QString& Name) const;
    bool RemoveName(const QString& Name);
    TPdfObjectMgr* ObjectMgr() const { return FObjectMgr; }

    void WriteValueToStream(QByteArray& Stream) override;

private:
    TPdfObject* Resolve(TPdfObject* Item) const;
    std::vector<TPdfObject*> FArray;
    TPdfObjectMgr* FObjectMgr;
};

class TPdfDictionaryElement {
public:
    // Takes ownership of Value; a missing value raises EPdfInvalidValue.
    TPdfDictionaryElement(const QString& Key, TPdfObject* Value, bool IsInternal = false);
    static TPdfDictionaryElement* CreateAsInternal(const QString& Key, TPdfObject* Value);
    ~TPdfDictionaryElement();
    TPdfDictionaryElement(const TPdfDictionaryElement&) = delete;
    TPdfDictionaryElement& operator=(const TPdfDictionaryElement&) = delete;

    TPdfName* Key() const { return FKey.get(); }
    const QString& KeyText() const { return FKey->Value(); }
    TPdfObject* Value() const { return FValue; }
    bool IsInternal() const { return FIsInternal; }
    // Gives up the value without freeing it.
    TPdfObject* ReleaseValue();

private:
    std::unique_ptr<TPdfName> FKey;
    TPdfObject* FValue;
    bool FIsInternal;
};

class TPdfDictionary : public TPdfObject {
public:
    explicit TPdfDictionary(TPdfObjectMgr* ObjectMgr = nullptr) : FObjectMgr(ObjectMgr) {}
    ~TPdfDictionary() override;

    // Sets Key (an existing entry of that key is freed and the new one goes
    // to the end). Ownership as for TPdfArray::AddItem.
    void AddItem(const QString& Key, TPdfObject* Value);
    // The same as a hidden entry, never written.
    void AddInternalItem(const QString& Key, TPdfObject* Value);
    void RemoveItem(const QString& Key);
    // The value of Key (a reference resolved), nullptr when absent.
    TPdfObject* ValueByName(const QString& Key) const;
    // ValueByName taken as that kind; nullptr when it is not of the kind.
    TPdfNumber* NumberByName(const QString& Key) const;
    TPdfReal* RealByName(const QString& Key) const;
    TPdfName* NameByName(const QString& Key) const;
    TPdfText* TextByName(const QString& Key) const;
    TPdfDictionary* DictionaryByName(const QString& Key) const;
    TPdfArray* ArrayByName(const QString& Key) const;

    int ItemCount() const { return int(FArray.size()); }
    TPdfDictionaryElement* Items(int Index) const;
    TPdfObjectMgr* ObjectMgr() const { return FObjectMgr; }

    void WriteValueToStream(QByteArray& Stream) override;

private:
    void Add(const QString& Key, TPdfObject* Value, bool Internal);
    std::vector<TPdfDictionaryElement*> FArray;
    TPdfObjectMgr* FObjectMgr;
};

class TPdfStream : public TPdfObject {
public:
    // Attributes start with "Length" 0 and an empty "Filter" array.
    explicit TPdfStream(TPdfObjectMgr* ObjectMgr = nullptr);
    TPdfDictionary* Attributes() const { return FAttributes.get(); }
    QByteArray& Stream() { return FStream; }
    const QByteArray& Stream() const { return FStream; }

    // Uncompressed: "FlateDecode" is dropped from the filters, "Length" set.
    void WriteValueToStream(QByteArray& Stream) override;

private:
    std::unique_ptr<TPdfDictionary> FAttributes;
    QByteArray FStream;
};

// Raw bytes written as they are.
class TPdfBinary : public TPdfObject {
public:
    TPdfBinary() = default;
    explicit TPdfBinary(QByteArray Bytes) : FStream(std::move(Bytes)) {}
    QByteArray& Stream() { return FStream; }
    void WriteValueToStream(QByteArray& Stream) override;

private:
    QByteArray FStream;
};

class TPdfXObject : public TPdfStream {
public:
    using TPdfStream::TPdfStream;
};

class TPdfImage : public TPdfXObject {
public:
    using TPdfXObject::TPdfXObject;
};

namespace fc::pdf {

// The WinAnsi byte of text[index]: the code page 1252 character, a blank for
// the thin and narrow no-break spaces, "?" for anything else, and -1 for the
// second half of a surrogate pair (the pair gives one "?").
int WinAnsiCodeAt(const QString& text, qsizetype index);
QByteArray ToWinAnsi(const QString& text);

QByteArray EscapeText(const QByteArray& S);
// EscapeText(ToWinAnsi(Text)) appended to Out.
void AppendEscapedWinAnsi(QByteArray& Out, const QString& Text);
QByteArray EscapeName(const QByteArray& S);
QByteArray StrToHex(const QByteArray& S);
// UTF-16 code units as four upper-case hexadecimal digits each.
QByteArray StrToUnicodeHex(const QString& S);
// Only a multi-byte ANSI code page has lead bytes; WinAnsi has none.
bool HasMultiByteChar(const QString& S);
// "FEFF001B" "656E" "001B": byte order mark, escape, "en", escape.
QByteArray UnicodeTextPrefix();

// Decimal without exponent: at most 15 significant digits, no trailing
// zeros, "." as separator. Not finite raises EInvalidOp.
QByteArray FormatPdfReal(double V);
// Content-stream operands: two decimals, Trunc(V * 100 + 0.5) / 100.
QByteArray FloatToPdfStr(double V);
// The same texts appended to Out, without a string of their own.
void AppendPdfReal(QByteArray& Out, double V);
void AppendPdfOperand(QByteArray& Out, double V);
// "D:YYYYMMDDHHmmSS" of the current local time; the argument is not used.
QString FormatPdfDate(const QDateTime& DateTime = QDateTime());

// The "Type" name of the dictionary, empty when there is none.
QString GetTypeOf(const TPdfDictionary* Dictionary);

inline void WriteString(const QByteArray& S, QByteArray& Stream) { Stream.append(S); }
inline void WriteString(const char* S, QByteArray& Stream) { Stream.append(S); }

} // namespace fc::pdf
