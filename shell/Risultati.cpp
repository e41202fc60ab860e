// The result grid's rows: a block per ticked model after each rating,
// eleven rows for cooling, nine for heating.
#include <cmath>
#include <vector>

#include "ClientData.h"
#include "components/Lang.h"
#include "components/OvNumFormat.h"
#include "engine/Catalogo.h"
#include "engine/Records.h"
#include "engine/Selezione.h"
#include "platform/CheckListBox.h"
#include "platform/Colors.h"
#include "platform/Font.h"
#include "platform/Numbers.h"
#include "ui_TDodedaVO.h"

namespace {

struct Riga {
    const char* etichetta; // Italian label, or nullptr for none
    const char* unita;
    const PerSpeed fancoil::*valori;
    int decimali;
    bool acqua; // holds nothing for a speed the water side could not rate
};

const Riga kFreddo[] = {
    {"Temp.ingresso acqua", "°C", &fancoil::TIngFreddo, 1, true},
    {"Temp.uscita acqua", "°C", &fancoil::TUscFreddo, 1, true},
    {"Resa frigorifera totale", "W", &fancoil::ResaTotW, 0, true},
    {nullptr, "Frig/h", &fancoil::ResaTotKcal, 0, true},
    {"Resa frigorifera sensibile", "W", &fancoil::ResaSensW, 0, true},
    {nullptr, "Frig/h", &fancoil::ResaSensKcal, 0, true},
    {"Portata Acqua", "l/h", &fancoil::PortataFreddo, 0, true},
    {"Perdita di carico Acqua", "kPa", &fancoil::PerditaFreddo, 1, true},
    {"Portata Aria", "mc/h", &fancoil::PortataAriaEff, 0, false},
};

const Riga kCaldo[] = {
    {"Temp.ingresso acqua", "°C", &fancoil::TIngCaldo, 1, true},
    {"Temp.uscita acqua", "°C", &fancoil::TUscCaldo, 1, true},
    {"Resa termica", "W", &fancoil::ResaCaldoW, 0, true},
    {nullptr, "kCal/h", &fancoil::ResaCaldoKcal, 0, true},
    {"Portata Acqua", "l/h", &fancoil::PortataCaldo, 0, true},
    {"Perdita di carico Acqua", "kPa", &fancoil::PerditaCaldo, 1, true},
    {"Portata Aria", "mc/h", &fancoil::PortataAriaEff, 0, false},
};

QString numero(double v, int decimali)
{
    return fc::FormatNumberSignificant(v, 12, decimali, fc::TNumberFormat::Thousands);
}

QString percentuale(double V, double R)
{
    const qint64 P = fc::Round((V - R) * 100 / R);
    return P < 0 ? QStringLiteral("-%1%").arg(-P) : QStringLiteral("+%1%").arg(P);
}

} // namespace

QString TDodedaVO::testoNonCalcolato() { return Language1->Msg(QStringLiteral("non calc.")); }

namespace {

// One block of rows per ticked model. cooling selects the table, the
// capacity that must not be 0, the not-rated flags and the requirement.
void mostraBlocchi(TDodedaVO& w, TProfGrid& g, TLanguage& lang, bool cooling)
{
    Ui::TDodedaVO& f = w.form();
    const Riga* righe = cooling ? kFreddo : kCaldo;
    const int nRighe = cooling ? int(std::size(kFreddo)) : int(std::size(kCaldo));
    const int blocco = nRighe + 2; // header and difference rows
    const int prima = 4 - Stato.NumVelocita;
    TCheckListBox* list = f.ListaModelli;
    // One update bracket over the whole fill: each block's new row count and
    // each cell would otherwise recalculate the heights of every row so far.
    struct Bracket {
        TProfGrid& g;
        explicit Bracket(TProfGrid& grid) : g(grid) { g.BeginUpdate(); }
        ~Bracket() { g.EndUpdate(); }
    } bracket(g);
    // The labels are the same for every block: looked up once per fill.
    const QString testa = lang.Msg(cooling ? QStringLiteral("RAFF.") : QStringLiteral("RISC."));
    const QString velocita[3] = {lang.Msg(QStringLiteral("MIN")), lang.Msg(QStringLiteral("MED")),
                                 lang.Msg(QStringLiteral("MAX"))};
    std::vector<QString> etichette(static_cast<size_t>(nRighe)), unita(static_cast<size_t>(nRighe));
    for (int r = 0; r < nRighe; ++r) {
        if (righe[r].etichetta)
            etichette[size_t(r)] = lang.Msg(QString::fromUtf8(righe[r].etichetta));
        unita[size_t(r)] = QString::fromUtf8(righe[r].unita);
    }
    QString nonCalc, differenza;
    bool nonCalcLetto = false, differenzaLetta = false;
    for (int i = 0; i < list->Count(); ++i) {
        if (!list->Checked(i))
            continue;
        const QString key = chiaveModello(list->ItemText(i));
        const fancoil* m = ListaMacchine.Find(key);
        if (!m)
            continue;
        const auto& nonCalcolato = cooling ? m->NonCalcolatoFreddo : m->NonCalcolatoCaldo;
        const PerSpeed& resa = cooling ? m->ResaTotKcal : m->ResaCaldoKcal;
        // A rated speed without capacity (water no warmer than the air gives
        // a negative one), or no speed rated at all: no block.
        bool salta = true;
        for (int s = prima; s <= 3; ++s)
            if (!nonCalcolato[s])
                salta = false;
        for (int s = prima; s <= 3; ++s)
            if (!nonCalcolato[s] && resa[s] <= 0)
                salta = true;
        if (salta)
            continue;

        const int h = g.RowCount();
        g.SetRowCount(h + blocco);
        g.Cell(0, h).SetText(key);
        g.Cell(1, h).SetText(testa);
        for (int s = 1; s <= 3; ++s)
            g.Cell(s + 1, h).SetText(velocita[s - 1]);
        for (int c = 0; c < 5; ++c) {
            g.Cell(c, h).SetColor(clSilver);
            if (c >= 2)
                g.Cell(c, h).SetAlignment(taCenter);
        }
        for (int r = 0; r < nRighe; ++r) {
            const Riga& riga = righe[r];
            const int row = h + 1 + r;
            if (riga.etichetta)
                g.Cell(0, row).SetText(etichette[size_t(r)]);
            g.Cell(1, row).SetText(unita[size_t(r)]);
            for (int s = 1; s <= 3; ++s) {
                TProfGridCell& cell = g.Cell(s + 1, row);
                cell.SetAlignment(taRightJustify);
                // A computed speed the water side could not rate shows so,
                // not the zeros its fields hold.
                if (riga.acqua && s >= prima && nonCalcolato[s]) {
                    if (!nonCalcLetto) {
                        nonCalc = w.testoNonCalcolato();
                        nonCalcLetto = true;
                    }
                    cell.SetText(nonCalc);
                }
                else
                    cell.SetText(numero((m->*riga.valori)[s], riga.decimali));
            }
        }

        const int ref = Stato.VeloCalcolo;
        if (ref < 1 || ref > 3)
            continue;
        int rigaV = -1;
        double R = 0, V = 0;
        if (Stato.Operazione == 1) {
            R = cooling ? Stato.ResaRichFreddoWatt : Stato.ResaRichCaldoWatt;
            rigaV = h + 3;
            V = cooling ? m->ResaTotW[ref] : m->ResaCaldoW[ref];
        } else if (Stato.Operazione == 2) {
            R = Stato.MetriCubiOra;
            rigaV = h + nRighe; // the air-flow row
            V = m->PortataAriaEff[ref];
        }
        if (rigaV < 0 || R < 1)
            continue;
        // The difference needs a value: none for a speed that was not rated.
        if (rigaV == h + 3 && nonCalcolato[ref])
            continue;
        const int rigaD = h + nRighe + 1;
        g.Cell(ref + 1, rigaV).SetFontStyle(fsBold);
        if (!differenzaLetta) {
            differenza = lang.Msg(QStringLiteral("Differenza"));
            differenzaLetta = true;
        }
        g.Cell(0, rigaD).SetText(differenza);
        TProfGridCell& d = g.Cell(ref + 1, rigaD);
        d.SetAlignment(taRightJustify);
        d.SetFontStyle(fsBold);
        d.SetText(percentuale(V, R));
    }
}

} // namespace

void TDodedaVO::mostraRaffreddamento() { mostraBlocchi(*this, SGRisultati, *Language1, true); }

void TDodedaVO::mostraRiscaldamento() { mostraBlocchi(*this, SGRisultati, *Language1, false); }
