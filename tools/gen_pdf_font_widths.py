#!/usr/bin/env python3
"""Writes pdf/PdfFontWidths.inc: the WinAnsiEncoding width tables (codes 32..255)
of the twelve standard Type 1 faces the PDF writer names (Helvetica, Times and
Courier, four faces each), taken from Adobe's Core 14 AFM files.

Debian ships the AFM files inside pdfbox2.jar (package libpdfbox2-java):

    unzip /usr/share/java/pdfbox2.jar 'org/apache/pdfbox/resources/afm/*' -d /tmp/afm
    tools/gen_pdf_font_widths.py /tmp/afm/org/apache/pdfbox/resources/afm > pdf/PdfFontWidths.inc

The build only needs the generated file.
"""
import codecs
import os
import re
import sys

# WinAnsiEncoding glyph names, codes 32..255; None where the encoding has no
# character.
ASCII = ("space exclam quotedbl numbersign dollar percent ampersand quotesingle "
         "parenleft parenright asterisk plus comma hyphen period slash "
         "zero one two three four five six seven eight nine colon semicolon "
         "less equal greater question at").split()
ASCII += [chr(c) for c in range(ord('A'), ord('Z') + 1)]
ASCII += "bracketleft backslash bracketright asciicircum underscore grave".split()
ASCII += [chr(c) for c in range(ord('a'), ord('z') + 1)]
ASCII += "braceleft bar braceright asciitilde".split()
ASCII += [None]  # 127
HIGH = [
    # 128..159
    "Euro", None, "quotesinglbase", "florin", "quotedblbase", "ellipsis", "dagger", "daggerdbl",
    "circumflex", "perthousand", "Scaron", "guilsinglleft", "OE", None, "Zcaron", None,
    None, "quoteleft", "quoteright", "quotedblleft", "quotedblright", "bullet", "endash", "emdash",
    "tilde", "trademark", "scaron", "guilsinglright", "oe", None, "zcaron", "Ydieresis",
    # 160..191
    "space", "exclamdown", "cent", "sterling", "currency", "yen", "brokenbar", "section",
    "dieresis", "copyright", "ordfeminine", "guillemotleft", "logicalnot", "hyphen", "registered", "macron",
    "degree", "plusminus", "twosuperior", "threesuperior", "acute", "mu", "paragraph", "periodcentered",
    "cedilla", "onesuperior", "ordmasculine", "guillemotright", "onequarter", "onehalf", "threequarters", "questiondown",
    # 192..223
    "Agrave", "Aacute", "Acircumflex", "Atilde", "Adieresis", "Aring", "AE", "Ccedilla",
    "Egrave", "Eacute", "Ecircumflex", "Edieresis", "Igrave", "Iacute", "Icircumflex", "Idieresis",
    "Eth", "Ntilde", "Ograve", "Oacute", "Ocircumflex", "Otilde", "Odieresis", "multiply",
    "Oslash", "Ugrave", "Uacute", "Ucircumflex", "Udieresis", "Yacute", "Thorn", "germandbls",
    # 224..255
    "agrave", "aacute", "acircumflex", "atilde", "adieresis", "aring", "ae", "ccedilla",
    "egrave", "eacute", "ecircumflex", "edieresis", "igrave", "iacute", "icircumflex", "idieresis",
    "eth", "ntilde", "ograve", "oacute", "ocircumflex", "otilde", "odieresis", "divide",
    "oslash", "ugrave", "uacute", "ucircumflex", "udieresis", "yacute", "thorn", "ydieresis",
]
WINANSI = dict(zip(range(32, 256), ASCII + HIGH))
assert len(WINANSI) == 224 and len(ASCII) == 96 and len(HIGH) == 128

# Column order of the generated table; the C++ side indexes it by the same
# enumeration.
FACES = [
    ("Courier", "Courier"), ("CourierBold", "Courier-Bold"),
    ("CourierOblique", "Courier-Oblique"), ("CourierBoldOblique", "Courier-BoldOblique"),
    ("Helvetica", "Helvetica"), ("HelveticaBold", "Helvetica-Bold"),
    ("HelveticaOblique", "Helvetica-Oblique"), ("HelveticaBoldOblique", "Helvetica-BoldOblique"),
    ("TimesRoman", "Times-Roman"), ("TimesBold", "Times-Bold"),
    ("TimesItalic", "Times-Italic"), ("TimesBoldItalic", "Times-BoldItalic"),
]

# Codes that stay 0 in the proportional faces whatever the metrics say:
# unused codes, DEL, the no-break space and the soft hyphen.
ZERO_CODES = (127, 129, 141, 143, 144, 157, 160, 173)
EURO_WIDTH = {"Helvetica": 556, "Times": 500}


def read_afm(path):
    widths, notice = {}, None
    with open(path, encoding="latin-1") as f:
        for line in f:
            line = line.strip()
            if line.startswith("Notice "):
                notice = line[len("Notice "):]
            m = re.match(r"C\s+-?\d+\s*;\s*WX\s+(\d+)\s*;\s*N\s+(\S+)\s*;", line)
            if m:
                widths[m.group(2)] = int(m.group(1))
    return widths, notice


def check_names_against_cp1252(glyphlist):
    """Every glyph name must stand for the character cp1252 puts at its code."""
    agl = {}
    with open(glyphlist, encoding="latin-1") as f:
        for line in f:
            if line.startswith("#") or ";" not in line:
                continue
            name, codes = line.strip().split(";")
            agl.setdefault(name, int(codes.split()[0], 16))
    dec = codecs.getdecoder("cp1252")
    for code, name in WINANSI.items():
        if name is None or code in (160, 173):
            continue
        ch = ord(dec(bytes([code]))[0])
        assert agl.get(name) == ch, (code, name, hex(ch))


def table_for(face, metrics):
    family = "Courier" if face.startswith("Courier") else \
             "Helvetica" if face.startswith("Helvetica") else "Times"
    out = []
    for code in range(32, 256):
        name = WINANSI[code]
        if family == "Courier":
            w = 600
        elif code in ZERO_CODES:
            w = 0
        elif code == 128:
            w = EURO_WIDTH[family]
        else:
            w = metrics[name]
        if family == "Courier" and name is not None:
            assert metrics[name] == 600, (face, name)
        out.append(w)
    return out


def main():
    afm_dir = sys.argv[1]
    glyphlist = os.path.join(afm_dir, "..", "glyphlist", "glyphlist.txt")
    if os.path.exists(glyphlist):
        check_names_against_cp1252(glyphlist)
    tables, notices = [], []
    for ident, face in FACES:
        metrics, notice = read_afm(os.path.join(afm_dir, face + ".afm"))
        tables.append(table_for(face, metrics))
        if notice not in notices:
            notices.append(notice)
    # The oblique faces share the upright faces' advance widths.
    assert tables[6] == tables[4] and tables[7] == tables[5]

    readme = os.path.join(afm_dir, "MustRead.html")
    terms = ""
    if os.path.exists(readme):
        text = re.sub(r"<[^>]*>", " ", open(readme, encoding="latin-1").read())
        m = re.search(r"This file and the 14 PostScript.*?supported by Adobe\.|"
                      r"This file and the 14 PostScript.*?support the use of the AFM files\.", text, re.S)
        if m:
            terms = " ".join(m.group(0).split())

    w = sys.stdout.write
    w("// Generated by tools/gen_pdf_font_widths.py from Adobe's Core 14 AFM files;\n")
    w("// do not edit. Advance widths in 1/1000 em of the WinAnsiEncoding character\n")
    w("// at each code 32..255, one column per face (TStdFace order).\n//\n")
    w("// The width values are taken from the AFM files, which carry these notices:\n")
    for n in notices:
        w("//   %s\n" % n)
    if terms:
        w("// and are distributed under these terms:\n")
        words, line = terms.split(), "//  "
        for word in words:
            if len(line) + 1 + len(word) > 88:
                w(line + "\n")
                line = "//  "
            line += " " + word
        w(line + "\n")
    w("// Modification: only the widths are kept, rearranged by WinAnsiEncoding code;\n")
    w("// codes 127, 129, 141, 143, 144, 157, 160 and 173 are 0 in the proportional\n")
    w("// faces, 128 (Euro) is 556 in Helvetica and 500 in Times, and every Courier\n")
    w("// code is 600.\n\n")
    w("enum TStdFace {\n")
    for ident, face in FACES:
        w("    sf%s,\n" % ident)
    w("    sfCount\n};\n\n")
    w("static const quint16 kStdFaceWidths[224][sfCount] = {\n")
    for i, code in enumerate(range(32, 256)):
        row = ", ".join("%4d" % t[i] for t in tables)
        w("    {%s}, // %3d %s\n" % (row, code, WINANSI[code] or "-"))
    w("};\n")


if __name__ == "__main__":
    main()
