#!/usr/bin/env python3
"""Writes the three selection-report templates data/Rep1Vel.AR,
data/Rep9Col.AR and data/RepPann.AR. Run by hand after a layout change;
the output is checked in.

Widths are screen pixels: an A4 page converted to PDF holds about 727 px,
so every band stays within 717 px (printed, 38 px of left margin and 717 px
of band end 39 px inside the sheet's right edge), and one report page (one group of
models) stays within one sheet, about 1040 px of band heights."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "data")

ROW = 15          # one line of 8 pt text
HEAD = 18         # group headings

# The long catalogue texts (model names of 24 characters, version codes of
# 10, version descriptions of 100) and the discount chain are set in 7 pt
# and wrap, in rows that hold their lines both in the preview (11 px a line
# there, inside the frame) and in the PDF (7 points a line).
LONG = 7
MODH = 46         # four lines: a model name in a table column
VERH = 36         # three lines: version code and description
DISCH = 25        # two lines: a discount chain in a table column


def cell(value="", width=50, bold=False, size=8, halign=0, frame=True,
         valign=2, wrap=False):
    lines = ["  CELL",
             "    FONTNAME=ARIAL",
             "    FONTSIZE=%d" % size,
             "    FONTCOLOR=0",
             "    TEXTANGLE=0"]
    if bold:
        lines.append("    BOLD")
    if frame:
        for side in ("FRAMELEFT", "FRAMERIGHT", "FRAMETOP", "FRAMEBOTTOM"):
            lines.append("    %s=1,0" % side)
        lines.append("    FRAMECOLOR=0")
        lines.append("    FRAMEWIDTH=1")
    else:
        lines.append("    FRAMECOLOR=0")
        lines.append("    FRAMEWIDTH=0")
    lines += ["    COLOR=16777215",
              "    VALUE=" + value,
              "    HALIGN=%d" % halign,
              "    VALIGN=%d" % valign,
              "    WIDTH=%d" % width,
              "    WORDWRAP=%d" % (1 if wrap else 0),
              "    OBJECTTYPE=",
              "    AUTOSTRETCH=0",
              "  ENDCELL"]
    return lines


def band(name, height, cells):
    lines = ["BAND", "  NAME=" + name, "  HEIGHT=%d" % height]
    for c in cells:
        lines += c
    lines.append("ENDBAND")
    return lines


# Margins of 10 mm: the pages are built from the margins less the printer's
# non-printable border, so that zero margins would put the first column and
# the first line where common printers (about 4 to 6 mm) cannot print.
HEADER = """ORIENTATION=PORTRAIT
LEFTMARGIN=100
TOPMARGIN=100
RIGHTMARGIN=100
BOTTOMMARGIN=100
PAPERSIZE=9
PAGESIZE
  NAME=A4
  WIDTH=2100
  HEIGHT=2970
ENDPAGESIZE
FONTNAME=ARIAL
FONTSIZE=8
FONTCOLOR=0
FONTCHARSET=1""".split("\n")

RIGHT = 1
CENTER = 2


def heads(total):
    """The firm and dealer headings (cell 0 takes the logo) and the
    reference line, the same in the three reports."""
    b = []
    b += band("Intestazione", 50, [cell("", 195, frame=False, valign=0),
                                   cell("[Intesta]", total - 195, bold=True, size=9,
                                        frame=False, valign=0)])
    b += band("Intestazione1", 50, [cell("", 195, frame=False, valign=0),
                                    cell("[Intesta1]", total - 195, size=8,
                                         frame=False, valign=0)])
    b += band("Riferimento", HEAD, [cell("[Riferimento]", total, bold=True, size=9,
                                         frame=False)])
    return b


def write(name, bands):
    text = "\r\n".join(HEADER + bands) + "\r\n"
    with open(os.path.join(OUT, name), "w", newline="") as f:
        f.write(text)


# ---- one-speed table: label, unit, nine model columns (value n in cell n+1)
LAB1, UNIT1, COL1 = 190, 50, 53
TOT1 = LAB1 + UNIT1 + 9 * COL1


def row1(name, label, unit, prefix, bold=False, height=ROW, size=8, wrap=False):
    cells = [cell(label, LAB1), cell(unit, UNIT1, halign=CENTER)]
    cells += [cell("[%s%d]" % (prefix, n), COL1, halign=RIGHT, bold=bold, size=size,
                   wrap=wrap, valign=0 if wrap else 2)
              for n in range(1, 10)]
    return band(name, height, cells)


def group1(name, var):
    return band(name, HEAD, [cell("[%s]" % var, TOT1, bold=True, size=9)])


def serie(total):
    """The family heading: description, then installation and series."""
    return (band("RigaSerie", HEAD, [cell("[Descrizione]", total, bold=True, size=10,
                                          frame=False)])
            + band("RigaSerie", ROW, [cell("[Impianto]", total // 2, frame=False),
                                      cell("[Serie]", total - total // 2, frame=False)]))


def versione_prezzi(row, lab, code, values):
    """The version with its sizes and weight, then the price rows; row makes
    a row of the table, lab, code and values are the widths of the label, of
    the version code and of the version text."""
    b = band("Versione", VERH, [cell("[Versione]", lab, bold=True),
                                cell("[Vers]", code, bold=True, size=LONG, halign=CENTER,
                                     valign=0, wrap=True),
                                cell("[DescVers]", values, size=LONG, valign=0, wrap=True)])
    b += row("Lunghezza", "[Lunghezza]", "mm", "LU")
    b += row("Larghezza", "[Larghezza]", "mm", "LA")
    b += row("Spessore", "[Spessore]", "mm", "SP")
    b += row("Peso", "[Peso]", "kg", "PE")
    b += row("PrListino", "[PrListino]", "", "PL")
    b += row("ScontoMolt", "[ScontoMolt]", "[PercX]", "SM", height=DISCH, size=LONG, wrap=True)
    b += row("PrNetto", "[PrNetto]", "", "PN", bold=True)
    return b


def one_speed():
    b = heads(TOT1)
    b += serie(TOT1)
    b += band("Modelli", MODH, [cell("[Modello]", LAB1, bold=True), cell("", UNIT1)]
              + [cell("[Mod%d]" % n, COL1, bold=True, size=LONG, halign=CENTER, valign=0,
                      wrap=True) for n in range(1, 10)])
    b += band("Velocita", ROW, [cell("[Velocita]", LAB1), cell("", UNIT1),
                                cell("[Velcalcolo]", 9 * COL1, bold=True, halign=CENTER)])
    b += group1("Raffreddamento", "Raffreddamento")
    b += row1("FTABS", "[FTABS]", "[grC]", "FTABS")
    b += row1("FTABU", "[FTABU]", "[grC]", "FTABU")
    b += row1("FUR", "[FUR]", "%", "FUR")
    b += row1("FTIA", "[FTIA]", "[grC]", "FTIA")
    b += row1("TUAFreddo", "[FTUA]", "[grC]", "FTUA3")
    b += row1("PortAcquaFreddo", "[PortAcquaF]", "[LitriOra]", "PAF")
    b += row1("PDCAcquaFreddo", "[PDCAcquaF]", "[kPa]", "PDCF")
    b += row1("RFTOT", "[RFTOT]", "[W]", "RFTOT3", bold=True)
    b += row1("RFTOT", "", "[Frig./h]", "RFTOT1")
    b += row1("RFSEN", "[RFSEN]", "[W]", "RFSEN3")
    b += row1("RFSEN", "", "[Frig./h]", "RFSEN1")
    b += group1("Riscaldamento", "Riscaldamento")
    b += row1("CTABS", "[CTABS]", "[grC]", "CTABS")
    b += row1("CTIA", "[CTIA]", "[grC]", "CTIA")
    b += row1("TUACaldo", "[CTUA]", "[grC]", "CTUA3")
    b += row1("PortAcquaCaldo", "[PortAcquaC]", "[LitriOra]", "PAC")
    b += row1("PDCAcquaCaldo", "[PDCAcquaC]", "[kPa]", "PDCC")
    b += row1("RT", "[RT]", "[W]", "RT3", bold=True)
    b += row1("RT", "", "kcal/h", "RT1")
    b += group1("DatiGenerali", "Generali")
    b += row1("GLIC", "[GLIC]", "%", "GLIC")
    b += row1("ALT", "[ALT]", "[m]", "ALT")
    b += row1("PAria", "[PARIA]", "[mch]", "PARIA3")
    b += row1("PSDisp", "[PSDisp]", "[Pa]", "PS")
    b += row1("PSonora", "[PSON]", "[dba]", "PSON3")
    b += row1("PSonora", "", "NC", "PSON2")
    b += row1("PSonora", "", "NR", "PSON1")
    b += row1("AssEle", "[AssEle]", "W", "W")
    b += row1("CorrAss", "[CorrAss]", "A", "A")
    b += versione_prezzi(row1, LAB1, UNIT1, 9 * COL1)
    write("Rep1Vel.AR", b)


# ---- three-speed table: label, speed, unit, nine model columns (value n in
# cell n+2); a speed row is three bands of one name, MAX, MED, MIN.
LAB3, SPD3, UNIT3, COL3 = 145, 32, 45, 55
TOT3 = LAB3 + SPD3 + UNIT3 + 9 * COL3


def row3(name, label, unit, prefix, bold=False, height=ROW, size=8, wrap=False):
    cells = [cell(label, LAB3), cell("", SPD3), cell(unit, UNIT3, halign=CENTER)]
    cells += [cell("[%s%d]" % (prefix, n), COL3, halign=RIGHT, bold=bold, size=size,
                   wrap=wrap, valign=0 if wrap else 2)
              for n in range(1, 10)]
    return band(name, height, cells)


def speeds3(name, label, unit, prefix, bold=False):
    b = []
    for s, tag in ((3, "max"), (2, "med"), (1, "min")):
        cells = [cell(label if s == 3 else "", LAB3),
                 cell("[%s]" % tag, SPD3, halign=CENTER),
                 cell(unit, UNIT3, halign=CENTER)]
        cells += [cell("[%s%d%d]" % (prefix, s, n), COL3, halign=RIGHT, bold=bold)
                  for n in range(1, 10)]
        b += band(name, ROW, cells)
    return b


def group3(name, var):
    return band(name, HEAD, [cell("[%s]" % var, TOT3, bold=True, size=9)])


def three_speed():
    b = heads(TOT3)
    b += serie(TOT3)
    b += band("Modelli", MODH, [cell("[Modello]", LAB3, bold=True), cell("", SPD3),
                                cell("", UNIT3)]
              + [cell("[Mod%d]" % n, COL3, bold=True, size=LONG, halign=CENTER, valign=0,
                      wrap=True) for n in range(1, 10)])
    b += group3("Raffreddamento", "Raffreddamento")
    b += row3("FTABS", "[FTABS]", "[grC]", "FTABS")
    b += row3("FTABU", "[FTABU]", "[grC]", "FTABU")
    b += row3("FUR", "[FUR]", "%", "FUR")
    b += row3("FTIA", "[FTIA]", "[grC]", "FTIA")
    b += speeds3("TUAFreddo", "[FTUA]", "[grC]", "FTUA")
    b += row3("PortAcquaFreddo", "[PortAcquaF]", "[LitriOra]", "PAF")
    b += row3("PDCAcquaFreddo", "[PDCAcquaF]", "[kPa]", "PDCF")
    b += speeds3("RFTOT", "[RFTOT]", "[W]", "RFTOT", bold=True)
    b += speeds3("RFSEN", "[RFSEN]", "[W]", "RFSEN")
    b += group3("Riscaldamento", "Riscaldamento")
    b += row3("CTABS", "[CTABS]", "[grC]", "CTABS")
    b += row3("CTIA", "[CTIA]", "[grC]", "CTIA")
    b += speeds3("TUACaldo", "[CTUA]", "[grC]", "CTUA")
    b += row3("PortAcquaCaldo", "[PortAcquaC]", "[LitriOra]", "PAC")
    b += row3("PDCAcquaCaldo", "[PDCAcquaC]", "[kPa]", "PDCC")
    b += speeds3("RT", "[RT]", "[W]", "RT", bold=True)
    b += group3("DatiGenerali", "Generali")
    b += row3("GLIC", "[GLIC]", "%", "GLIC")
    b += row3("ALT", "[ALT]", "[m]", "ALT")
    b += speeds3("PSDisp", "[PSDisp]", "[Pa]", "PS")
    b += speeds3("PAria", "[PARIA]", "[mch]", "PARIA")
    b += speeds3("PSonora", "[PSON]", "[dba]", "PSON")
    b += row3("AssEle", "[AssEle]", "W", "W")
    b += row3("CorrAss", "[CorrAss]", "A", "A")
    b += versione_prezzi(row3, LAB3, SPD3 + UNIT3, 9 * COL3)
    write("Rep9Col.AR", b)


# ---- panel: cooling half and heating half, each label, unit and the speeds
# MIN, MED, MAX (cells 0-4 and 6-10, cell 5 a gap): the static pressure of
# speed s is in cell s+7 of "CorrAss".
LABP, UNITP, COLP, GAPP = 145, 45, 55, 7
VERSP = 100       # the version code of the panel
HALF = LABP + UNITP + 3 * COLP
TOTP = 2 * HALF + GAPP


def half(label, unit, prefix, bold=False, labbold=False):
    if prefix is None:
        return [cell(label, LABP, bold=labbold), cell(unit, UNITP, halign=CENTER)] + \
               [cell("", COLP) for _ in range(3)]
    return [cell(label, LABP, bold=labbold), cell(unit, UNITP, halign=CENTER)] + \
           [cell("[%s%d]" % (prefix, s), COLP, halign=RIGHT, bold=bold) for s in (1, 2, 3)]


def rowp(name, left, right, height=ROW):
    return band(name, height, left + [cell("", GAPP, frame=False)] + right)


def blank_half():
    return [cell("", HALF, frame=False)]


def panel():
    b = heads(TOTP)
    b += band("Spazio", 10, [cell("", TOTP, frame=False)])
    # The model name has the width of the page (24 characters in 14 pt);
    # installation and series, each a caption over its text, share a row.
    b += band("RigaSerie", 26, [cell("[Modello]", 100, size=9, frame=False, valign=0),
                                cell("[Mod]", TOTP - 100, bold=True, size=14, frame=False,
                                     valign=0)])
    b += band("RigaSerie", 30, [cell("[Impianto]", HALF, frame=False, valign=0, wrap=True),
                                cell("", GAPP, frame=False),
                                cell("[Serie]", HALF, frame=False, valign=0, wrap=True)])
    b += band("RigaSerie", HEAD, [cell("[Descrizione]", TOTP, bold=True, size=10,
                                       frame=False)])
    b += band("Spazio1", 10, [cell("", TOTP, frame=False)])
    speed_heads = [cell("[%s]" % t, COLP, bold=True, halign=CENTER) for t in ("min", "med", "max")]
    b += rowp("Raffreddamento",
              [cell("[Raffreddamento]", LABP + UNITP, bold=True, size=9)] + speed_heads,
              [cell("[Riscaldamento]", LABP + UNITP, bold=True, size=9)] + speed_heads,
              HEAD)
    b += rowp("FTABS", half("[FTABS]", "[grC]", "FTABS"), half("[CTABS]", "[grC]", "CTABS"))
    b += rowp("FTABU", half("[FTABU]", "[grC]", "FTABU"), blank_half())
    b += rowp("FUR", half("[FUR]", "%", "FUR"), blank_half())
    b += rowp("FTIA", half("[FTIA]", "[grC]", "FTIA"), half("[CTIA]", "[grC]", "CTIA"))
    b += rowp("TUAFreddo", half("[FTUA]", "[grC]", "FTUA"), half("[CTUA]", "[grC]", "CTUA"))
    b += rowp("PortAcquaFreddo", half("[PortAcquaF]", "[LitriOra]", "PAF"),
              half("[PortAcquaC]", "[LitriOra]", "PAC"))
    b += rowp("PDCAcquaFreddo", half("[PDCAcquaF]", "[kPa]", "PDCF"),
              half("[PDCAcquaC]", "[kPa]", "PDCC"))
    b += rowp("RFTOT", half("[RFTOT]", "[W]", "RFTOT", bold=True),
              half("[RT]", "[W]", "RT", bold=True))
    b += rowp("RFTOT", half("", "[Frig./h]", "RFTOTF"), half("", "kcal/h", "RTF"))
    b += rowp("RFSEN", half("[RFSEN]", "[W]", "RFSEN"), blank_half())
    b += rowp("RFSEN", half("", "[Frig./h]", "RFSENF"), blank_half())
    b += band("Spazio2", 12, [cell("", TOTP, frame=False)])
    b += band("CarattElettr", HEAD, [cell("[CarElettr]", HALF, bold=True, size=9),
                                     cell("", GAPP, frame=False),
                                     cell("[Generali]", HALF, bold=True, size=9)])
    b += rowp("AssEle", half("[AssEle]", "[W]", "W"), half("[PARIA]", "[mch]", "PARIA"))
    b += rowp("CorrAss", half("[CorrAss]", "[A]", "A"), half("[PSDisp]", "[Pa]", "PS"))
    b += rowp("Note", [cell("[Note]", HALF, bold=True)],
              half("[PSON]", "[dba]", "PSON3"))
    b += rowp("GLIC", [cell("[GLIC]", LABP), cell("%", UNITP, halign=CENTER),
                       cell("[GLIC1]", 3 * COLP, halign=RIGHT)],
              half("", "[NC]", "PSON2"))
    b += rowp("ALT", [cell("[ALT]", LABP), cell("[m]", UNITP, halign=CENTER),
                      cell("[ALT1]", 3 * COLP, halign=RIGHT)],
              half("", "[NR]", "PSON1"))
    gap = [cell("", GAPP, frame=False)]
    b += band("Versione", 12, [cell("", TOTP, frame=False)])
    # The version across the page, as long as its description; below it
    # the sizes beside the prices.
    b += band("Versione", VERH, [cell("[Versione]", LABP, bold=True),
                                 cell("[Vers]", VERSP, bold=True, size=LONG, halign=CENTER,
                                      valign=0, wrap=True),
                                 cell("[DescVers]", TOTP - LABP - VERSP, size=LONG, valign=0,
                                      wrap=True)])
    b += band("Versione", ROW, [cell("[Lunghezza]", LABP), cell("mm", UNITP, halign=CENTER),
                                cell("[LU1]", 3 * COLP, halign=RIGHT)] + gap +
              [cell("[PrListino]", LABP), cell("[Euro]", UNITP, halign=CENTER),
               cell("[PL1]", 3 * COLP, halign=RIGHT)])
    b += band("Versione", ROW, [cell("[Larghezza]", LABP), cell("mm", UNITP, halign=CENTER),
                                cell("[LA1]", 3 * COLP, halign=RIGHT)] + gap +
              [cell("[ScontoMolt]", LABP), cell("[PercX]", UNITP, halign=CENTER),
               cell("[SM1]", 3 * COLP, halign=RIGHT)])
    b += band("Versione", ROW, [cell("[Spessore]", LABP), cell("mm", UNITP, halign=CENTER),
                                cell("[SP1]", 3 * COLP, halign=RIGHT)] + gap +
              [cell("[PrNetto]", LABP, bold=True), cell("[Euro1]", UNITP, halign=CENTER),
               cell("[PN1]", 3 * COLP, halign=RIGHT, bold=True)])
    write("RepPann.AR", b)


if __name__ == "__main__":
    one_speed()
    three_speed()
    panel()
