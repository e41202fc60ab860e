#pragma once
// Text of files from the Windows world: single-byte code pages, or UTF-8
// when the bytes are valid UTF-8. Inside the program text is QString.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace fc {

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF). A leading byte-order mark is valid.
bool IsValidUtf8(QByteArrayView bytes);
// True when the bytes start with the UTF-8 byte-order mark EF BB BF.
bool HasUtf8Bom(QByteArrayView bytes);

// The Windows code page that a font character set stands for (0 -> 1252,
// 238 -> 1250, 204 -> 1251, ...); any set without its own page gives 1252.
int CodePageForCharset(int charset);

// Whether this build can decode the code page (1252 always).
bool CodePageAvailable(int codePage);

// Bytes in a Windows code page to text. 1252 maps every byte (the five
// unassigned ones to the C1 controls of the same value), so it round-trips.
// A code page that cannot be decoded here is read as 1252.
QString DecodeCodePage(QByteArrayView bytes, int codePage);

// Text to bytes in a code page; *lossless (when given) tells whether every
// character had a byte form (the others become "?").
QByteArray EncodeCodePage(QStringView text, int codePage, bool* lossless = nullptr);

// A whole file's text: UTF-8 (without its byte-order mark) when the bytes
// are valid UTF-8 or start with the mark, else code page 1252.
QString DecodeWindowsText(QByteArrayView bytes);

} // namespace fc
