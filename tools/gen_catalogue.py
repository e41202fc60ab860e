#!/usr/bin/env python3
"""Writes the demo catalogue's SQL (data/catalogue/*.sql) from a few nominal
ratings per model. Run by hand after a change; its output is checked in.

    python3 tools/gen_catalogue.py [output folder]

How every number follows from the nominal ratings is written up in
data/catalogue/README.md; the constants below are the ones it names.
"""
import math
import os
import sys

KCAL = 0.86          # kcal/h per W
# Nominal conditions the coefficients are derived at.
TBS, TBU = 27.0, 19.0            # air, cooling
TW_IN_C, TW_OUT_C = 7.0, 12.0    # water, cooling
TA_H = 20.0                      # air, heating
TW_IN_H, TW_OUT_H = 70.0, 60.0   # water, heating
COEFF_PDC = [1.13, 1.11, 1.08, 1.06, 1.04, 1.02, 1.0, 0.98, 0.96, 0.94, 0.92,
             0.9, 0.88, 0.86, 0.84, 0.82, 0.8, 0.78, 0.76, 0.74, 0.71, 0.69,
             0.67, 0.65, 0.63, 0.61, 0.59, 0.57, 0.55, 0.53, 0.51, 0.49, 0.47]


def coeff_pdc(tm):
    """Pressure-drop coefficient at the mean water temperature (table rows
    -20, -15 .. 140 degC, linear in between)."""
    g = [(i - 4) * 5.0 for i in range(33)]
    for i in range(33):
        if g[i] >= tm:
            if g[i] == tm:
                return COEFF_PDC[i]
            b = max(i, 1)
            a = b - 1
            return COEFF_PDC[a] + (COEFF_PDC[b] - COEFF_PDC[a]) * (tm - g[a]) / (g[b] - g[a])
    return COEFF_PDC[-1]


TM_C = (TW_IN_C + TW_OUT_C) / 2     # 9.5
TM_H = (TW_IN_H + TW_OUT_H) / 2     # 65
SPEED_RATIO = {"MAX": 1.0, "MED": 0.78, "MIN": 0.55}   # air flow of a speed / MAX


class Family:
    def __init__(self, tipo, descr, calcolo, n, m, p, ducted, fan_w_per_m3h, versions):
        self.tipo, self.descr, self.calcolo = tipo, descr, calcolo
        self.n, self.m, self.p = n, m, p
        self.ducted = ducted                 # rated at a static pressure, not at free outlet
        self.fan_w_per_m3h = fan_w_per_m3h   # fan input at MAX per m3/h
        self.versions = versions             # (code, description, factor, dims function, weight, price)


def kv_for(flow, dp, tm):
    """Flow coefficient Kv with dp = coeff(tm) * (flow / Kv)^2."""
    return flow / math.sqrt(dp / coeff_pdc(tm))


def fan_curve(q0, ps0):
    """Eight points of Q(ps) = q0 * sqrt(1 - ps / ps0), from 0 Pa to 0.75 ps0."""
    pts = []
    for j in range(8):
        ps = round(0.75 * ps0 * j / 7, 1)
        pts.append((int(round(q0 * math.sqrt(1 - ps / ps0))), ps))
    return pts


def sql_text(s):
    return "'" + s.replace("'", "''") + "'"


def num(x):
    if isinstance(x, int):
        return str(x)
    return repr(round(x, 4))


def model_rows(fam, name, impianto, pos, q_max, cool_kw, shr, heat_kw, dp_c, dp_h, ps0, ps_nom, heat_coil_kw=None):
    """The speed records of one model (MIN, MED, MAX order as stored)."""
    speeds = int(fam.calcolo[0])
    names = ["MAX"] if speeds == 1 else ["MIN", "MED", "MAX"]
    rows = []
    # Coil flow coefficients from the MAX-speed nominal flow and pressure drop.
    flow_c = cool_kw * 1000 * KCAL / (TW_OUT_C - TW_IN_C) if cool_kw else 0
    flow_h = heat_kw * 1000 * KCAL / (TW_IN_H - TW_OUT_H) if heat_kw else 0
    kv_c = round(kv_for(flow_c, dp_c, TM_C), 2) if cool_kw else 0.0
    if heat_kw and dp_h is None:   # two-pipe: the cooling coil heats too
        kv_h = kv_c
    else:
        kv_h = round(kv_for(flow_h, dp_h, TM_H), 2) if heat_kw else 0.0
    for vel in names:
        r = SPEED_RATIO[vel]
        port = int(round(q_max * r))           # nominal air flow of the speed
        ps_s = ps_nom * r * r                  # fan laws: the duct's operating point
        ps0_s = ps0 * r * r
        # The free-outlet flow that puts the rated flow on the fan curve.
        q0 = port / math.sqrt(1 - ps_s / ps0_s) if fam.ducted else port
        curve = fan_curve(q0, ps0_s)
        tot = cool_kw * 1000 * KCAL * r ** fam.m
        sens = cool_kw * shr * 1000 * KCAL * r ** fam.n
        heat = heat_kw * 1000 * KCAL * r ** fam.p
        c_tot = tot / (TBU - TM_C)
        c_sens = sens / (TBS - TM_C)
        c_term = heat / (TM_H - TA_H)
        fan_w = fam.fan_w_per_m3h * q_max * r ** 2.2
        amps = fan_w / (230 * 0.9)
        dba = 30 + 17 * math.log10(q_max / 100) + (6 if fam.ducted else 0) + 50 * math.log10(r)
        rows.append([
            sql_text(fam.tipo), sql_text(fam.descr), sql_text(impianto), sql_text(name),
            int(round(fan_w)), round(amps, 2),
            int(round(heat / (TW_IN_H - TW_OUT_H))), kv_h,
            int(round(tot / (TW_OUT_C - TW_IN_C))), kv_c,
            sql_text(vel), port, int(round(ps_s)),
            round(c_term, 3), round(c_tot, 3), round(c_sens, 3),
            round(dba, 1), float(round(dba - 7)), float(round(dba - 5)),
            pos, sql_text(fam.calcolo),
        ] + [v for pt in curve for v in pt] + [fam.n, fam.m, fam.p])
    return rows


COLUMNS = [("Tipo", "VARCHAR(24)"), ("Descr", "VARCHAR(36)"), ("Impianto", "VARCHAR(24)"),
           ("Modello", "VARCHAR(24)"), ("AssElettr", "INTEGER"), ("CorrAss", "REAL"),
           ("PortAcquaRisc", "INTEGER"), ("PDCNomRisc", "REAL"), ("PortAcquaRaffr", "INTEGER"),
           ("PDCNomRaffr", "REAL"), ("Velocita", "VARCHAR(10)"), ("PortAria", "INTEGER"),
           ("PressStat", "INTEGER"), ("CoeffResaTerm", "REAL"), ("CoeffResaFrigTot", "REAL"),
           ("CoeffResaFrigSens", "REAL"), ("LivSondBA", "REAL"), ("LivSonNC", "REAL"),
           ("LivSonNR", "REAL"), ("Posizione", "INTEGER"), ("Calcolo", "VARCHAR(3)")]
for _j in range(1, 9):
    COLUMNS += [("QA%d" % _j, "INTEGER"), ("PSA%d" % _j, "REAL")]
COLUMNS += [("n", "REAL"), ("m", "REAL"), ("p", "REAL")]

VERS_COLUMNS = [("Modello", "VARCHAR(24)"), ("CodiceVersione", "VARCHAR(10)"),
                ("DescrizioneVersione", "VARCHAR(100)"), ("FattorePressione", "INTEGER"),
                ("Lunghezza", "INTEGER"), ("Larghezza", "INTEGER"), ("Spessore", "INTEGER"),
                ("Peso", "REAL"), ("PrezzoListino", "REAL")]


def create(table, cols):
    return "CREATE TABLE %s (\n  %s\n);\n" % (table, ",\n  ".join("%s %s" % c for c in cols))


def insert(table, row):
    return "INSERT INTO %s VALUES (%s);\n" % (table, ", ".join(v if isinstance(v, str) else num(v) for v in row))


def build():
    vento = Family("VENTO", "Ventilconvettore con mobile", "3T",
                   0.65, 0.55, 0.55, False, 0.10, None)
    canal = Family("CANAL", "Unità canalizzabile solo freddo", "3F",
                   0.65, 0.55, 0.55, True, 0.16, None)
    aero = Family("AEROTERMO", "Aerotermo pensile ad acqua calda", "1C",
                  0.0, 0.0, 0.55, False, 0.07, None)
    ricambio = Family("RICAMBIO", "Unità di ventilazione senza batteria", "3A",
                      0.0, 0.0, 0.0, True, 0.20, None)

    models = []   # (family, name, impianto, kwargs)
    # Cabinet fan coils, two-pipe: (name, m3/h at MAX, cooling kW, shut-off Pa)
    for name, q, kw, ps0 in [("VT 10", 180, 1.0, 36), ("VT 20", 330, 1.85, 42), ("VT 30", 520, 2.9, 48),
                             ("VT 45", 800, 4.5, 55), ("VT 65", 1200, 6.7, 62), ("VT 95", 1700, 9.5, 70)]:
        models.append((vento, name, "2 tubi", dict(q_max=q, cool_kw=kw, shr=0.72, heat_kw=kw * 2.1,
                                                   dp_c=14 + 2.6 * kw, dp_h=None, ps0=ps0, ps_nom=0)))
    # Four-pipe: a smaller cooling coil and a one-row heating coil of its own.
    for name, q, kw, ps0 in [("VT4 30", 520, 2.9, 48), ("VT4 45", 800, 4.5, 55)]:
        models.append((vento, name, "4 tubi", dict(q_max=q, cool_kw=kw * 0.92, shr=0.74, heat_kw=kw * 1.15,
                                                   dp_c=13 + 2.6 * kw, dp_h=8 + 1.2 * kw, ps0=ps0, ps_nom=0)))
    # Ducted cooling-only units, rated at their nominal static pressure.
    for name, q, kw, ps0, psn in [("CN 100", 250, 1.3, 110, 30), ("CN 200", 450, 2.4, 130, 35),
                                  ("CN 300", 700, 3.8, 150, 40), ("CN 400", 1000, 5.4, 170, 45),
                                  ("CN 500", 1400, 7.5, 190, 50), ("CN 600", 1850, 10.0, 210, 55)]:
        models.append((canal, name, "2 tubi", dict(q_max=q, cool_kw=kw, shr=0.75, heat_kw=0, dp_c=12 + 2.0 * kw,
                                                   dp_h=0, ps0=ps0, ps_nom=psn)))
    # One-speed unit heaters.
    for name, q, kw, ps0 in [("AT 10", 900, 6.0, 45), ("AT 15", 1400, 9.5, 55), ("AT 20", 2000, 13.5, 65),
                             ("AT 30", 2800, 18.5, 75), ("AT 40", 3800, 25.0, 85)]:
        models.append((aero, name, "2 tubi", dict(q_max=q, cool_kw=0, shr=0, heat_kw=kw, dp_c=0,
                                                  dp_h=9 + 0.6 * kw, ps0=ps0, ps_nom=0)))
    # Ventilation units, rated at their nominal static pressure.
    for name, q, ps0, psn in [("RV 300", 300, 200, 60), ("RV 500", 500, 230, 70), ("RV 800", 800, 260, 80),
                              ("RV 1200", 1200, 290, 90), ("RV 1600", 1600, 320, 100)]:
        models.append((ricambio, name, "Solo ventilazione", dict(q_max=q, cool_kw=0, shr=0, heat_kw=0, dp_c=0,
                                                                 dp_h=0, ps0=ps0, ps_nom=psn)))

    dati = ["-- Demo catalogue: speed records of every model (generated by tools/gen_catalogue.py).\n",
            "BEGIN;\n", create("cdsMacchine", COLUMNS)]
    for i, (fam, name, imp, kw) in enumerate(models):
        for row in model_rows(fam, name, imp, (i + 1) * 10, **kw):
            dati.append(insert("cdsMacchine", row))
    dati.append("COMMIT;\n")

    versions = {
        "VENTO": [("M", "Con mobile, installazione verticale a pavimento o a parete", 0, 1.0, 1.0),
                  ("MO", "Con mobile, installazione orizzontale a soffitto", 0, 1.05, 1.04),
                  ("I", "Da incasso, senza mobile, canalizzabile", 1, 0.82, 0.86)],
        "CANAL": [("B", "Base, ripresa posteriore", 1, 1.0, 1.0),
                  ("P", "Con plenum di mandata e ripresa inferiore", 1, 1.12, 1.15),
                  ("F7", "Con sezione filtrante ad alta efficienza", 1, 1.18, 1.22)],
        "AEROTERMO": [("O", "Installazione a parete, lancio orizzontale", 0, 1.0, 1.0),
                      ("V", "Installazione a soffitto, lancio verticale", 0, 1.08, 1.06)],
        "RICAMBIO": [("H", "Orizzontale da controsoffitto", 1, 1.0, 1.0),
                     ("W", "Verticale a parete", 1, 1.03, 1.04)],
    }
    vers = ["-- Demo catalogue: model versions (generated by tools/gen_catalogue.py).\n",
            "BEGIN;\n", create("cdsVersioni", VERS_COLUMNS)]
    for fam, name, imp, kw in models:
        q = kw["q_max"]
        for code, descr, factor, wmul, pmul in versions[fam.tipo]:
            if name == "VT 95" and code == "MO":
                continue   # too heavy for ceiling mounting
            length = int(round((500 + 0.55 * q) / 10) * 10)
            height = {"VENTO": 560, "CANAL": 250, "AEROTERMO": int(round((350 + 0.1 * q) / 10) * 10),
                      "RICAMBIO": 300}[fam.tipo]
            depth = {"VENTO": 220, "CANAL": 520, "AEROTERMO": 300, "RICAMBIO": 600}[fam.tipo]
            if fam.tipo == "AEROTERMO":
                length = height
            weight = round((8 + 0.022 * q) * wmul * (1.15 if imp == "4 tubi" else 1.0), 1)
            price = round((260 + 0.62 * q) * pmul * (1.18 if imp == "4 tubi" else 1.0) / 5) * 5.0
            vers.append(insert("cdsVersioni", [sql_text(name), sql_text(code), sql_text(descr), factor,
                                               length, height, depth, weight, price]))
    vers.append("COMMIT;\n")

    param_cols = [("Posizione", "INTEGER")] + [(c, "REAL") for c in [
        "PotTermGlic", "PortMiscela", "PDCMiscela", "PotTermAlt", "PotFrigTotAlt", "PotFrigSensAlt",
        "CoeffPDC", "PortataAria", "PotTermica", "PotFrigTot", "PotFrigSens", "PercGlicole",
        "PotFrigTotGlic", "PotFrigSensGlic", "Altitudine", "Pressione", "PressionePortata",
        "PortataPrevalenza", "TMediaAcqua"]]
    glic = [(1.0, 1.0, 1.0), (0.986, 1.023, 1.122), (0.98, 1.054, 1.249), (0.973, 1.092, 1.335),
            (0.966, 1.14, 1.373), (0.96, 1.2, 1.468)]
    alt = [(1.0, 1.0, 1.0), (0.97, 0.98, 0.96), (0.94, 0.95, 0.93), (0.91, 0.92, 0.9), (0.88, 0.89, 0.87)]
    par = ["-- Parameter table (generated by tools/gen_catalogue.py); the program carries these rows itself.\n",
           "BEGIN;\n", create("CDSParam", param_cols)]
    for i in range(1, 34):
        g = glic[i - 1] if i <= 6 else (None, None, None)
        a = alt[i - 1] if i <= 5 else (None, None, None)
        row = {"Posizione": i, "PotTermGlic": g[0], "PortMiscela": g[1], "PDCMiscela": g[2],
               "PotTermAlt": a[0], "PotFrigTotAlt": a[1], "PotFrigSensAlt": a[2],
               "CoeffPDC": COEFF_PDC[i - 1], "PercGlicole": float((i - 1) * 10) if i <= 6 else None,
               "Altitudine": float((i - 1) * 500) if i <= 5 else None, "TMediaAcqua": float((i - 5) * 5)}
        par.append(insert("CDSParam", ["NULL" if row.get(c) is None else row[c] for c, _ in param_cols]))
    par.append("COMMIT;\n")
    return "".join(dati), "".join(vers), "".join(par)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data", "catalogue")
    for name, text in zip(("Dati.sql", "Versioni.sql", "Param.sql"), build()):
        with open(os.path.join(out, name), "w", encoding="utf-8", newline="\n") as f:
            f.write(text)


if __name__ == "__main__":
    main()
