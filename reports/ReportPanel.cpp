// The panel: one page per model, cooling and heating side by side with the
// speeds as columns, then the electrical, sound, dimension and price data.
#include "ReportFrame.h"
#include "Reports.h"
#include "engine/Catalogo.h"
#include "engine/Records.h"
#include "report/ARRep.h"
#include "report/ARUserRep.h"

using fc::reports::ModelEntry;
using fc::reports::Numero;
using fc::reports::ReportFrame;

namespace {

void paginaPannello(ReportFrame& f)
{
    const ModelEntry& e = f.Models()[size_t(f.First())];
    const fancoil& m = *e.model;
    const fancoil& first = *f.FirstModel().model;
    const int r = Stato.VeloCalcolo;
    const bool freddo = ReportFrame::Freddo();
    const bool caldo = ReportFrame::Caldo();
    auto label = [&f](const char* var, const char* italian) {
        f.Set(QLatin1String(var), f.Msg(QString::fromUtf8(italian)));
    };
    auto set = [&f](const char* var, const QString& v) { f.Set(QLatin1String(var), v); };
    // prefix + s for the speeds the family has.
    auto perSpeed = [&f](const char* prefix, auto value) {
        for (int s = qMax(1, 4 - Stato.NumVelocita); s <= 3; ++s)
            f.Set(QLatin1String(prefix) + QString::number(s), value(s));
    };
    auto add = [&f](const char* band) { f.Add(QLatin1String(band)); };
    auto ncF = [&m](int s) { return m.NonCalcolatoFreddo[s]; };
    auto ncC = [&m](int s) { return m.NonCalcolatoCaldo[s]; };

    add("Spazio");
    f.Step();
    label("Modello", "Modello");
    set("Mod", m.Modello);
    set("Impianto", f.Msg(QStringLiteral("Tipo impianto")) + QStringLiteral(": ") + u'\r' + f.Msg(first.Impianto));
    set("Serie", f.Msg(QStringLiteral("Serie")) + QStringLiteral(":  ") + u'\r' + f.Msg(first.Tipo));
    set("Descrizione", f.Msg(first.Descr));
    add("RigaSerie");
    add("Spazio1");
    f.Step(2);
    label("Raffreddamento", "Raffreddamento");
    label("Riscaldamento", "Riscaldamento");
    label("max", "MAX");
    label("med", "MED");
    label("min", "MIN");
    add("Raffreddamento");
    f.Step();

    set("grC", QStringLiteral("°C"));
    label("FTABS", "Temperatura aria B.S.");
    if (freddo)
        perSpeed("FTABS", [](int) { return Numero(Stato.TBSFreddo, 1); });
    label("CTABS", "Temperatura aria B.S.");
    if (caldo)
        perSpeed("CTABS", [](int) { return Numero(Stato.TempAriaCaldo, 1); });
    add("FTABS");
    f.Step();
    label("FTABU", "Temperatura aria B.U.");
    if (freddo)
        perSpeed("FTABU", [](int) { return Numero(Stato.TBUFreddo, 1); });
    add("FTABU");
    label("FUR", "Umidità relativa");
    if (freddo)
        perSpeed("FUR", [](int) { return Numero(Stato.URFreddo, 1); });
    add("FUR");
    f.Step();
    label("FTIA", "Temp.ingresso acqua");
    if (freddo)
        perSpeed("FTIA", [&](int) { return f.Valore(ncF(r), m.TIngFreddo[r], 1); });
    label("CTIA", "Temp.ingresso acqua");
    if (caldo)
        perSpeed("CTIA", [&](int) { return f.Valore(ncC(r), m.TIngCaldo[r], 1); });
    add("FTIA");
    f.Step();
    label("FTUA", "Temp.uscita acqua");
    if (freddo)
        perSpeed("FTUA", [&](int s) { return f.Valore(ncF(s), m.TUscFreddo[s], 1); });
    label("CTUA", "Temp.uscita acqua");
    if (caldo)
        perSpeed("CTUA", [&](int s) { return f.Valore(ncC(s), m.TUscCaldo[s], 1); });
    add("TUAFreddo");
    f.Step();
    label("PortAcquaF", "Portata acqua");
    label("LitriOra", "l/h");
    if (freddo)
        perSpeed("PAF", [&](int s) { return f.Valore(ncF(s), m.PortataFreddo[s], 0); });
    label("PortAcquaC", "Portata acqua");
    if (caldo)
        perSpeed("PAC", [&](int s) { return f.Valore(ncC(s), m.PortataCaldo[s], 0); });
    add("PortAcquaFreddo");
    f.Step();
    label("PDCAcquaF", "Perdita di carico acqua");
    label("kPa", "kPa");
    if (freddo)
        perSpeed("PDCF", [&](int s) { return f.Valore(ncF(s), m.PerditaFreddo[s], 1); });
    label("PDCAcquaC", "Perdita di carico acqua");
    if (caldo)
        perSpeed("PDCC", [&](int s) { return f.Valore(ncC(s), m.PerditaCaldo[s], 1); });
    add("PDCAcquaFreddo");
    f.Step();
    label("RFTOT", "Resa frigorifera totale");
    set("W", QStringLiteral("W"));
    if (freddo) {
        perSpeed("RFTOT", [&](int s) { return f.Valore(ncF(s), m.ResaTotW[s], 0); });
        perSpeed("RFTOTF", [&](int s) { return f.Valore(ncF(s), m.ResaTotKcal[s], 0); });
    }
    label("Frig./h", "Frig./h"); // the unit of the kcal/h rows below RFTOT and RFSEN
    label("RT", "Resa termica");
    if (caldo) {
        perSpeed("RT", [&](int s) { return f.Valore(ncC(s), m.ResaCaldoW[s], 0); });
        perSpeed("RTF", [&](int s) { return f.Valore(ncC(s), m.ResaCaldoKcal[s], 0); });
    }
    add("RFTOT");
    f.Step();
    label("RFSEN", "Resa frigorifera sensibile");
    if (freddo) {
        perSpeed("RFSEN", [&](int s) { return f.Valore(ncF(s), m.ResaSensW[s], 0); });
        perSpeed("RFSENF", [&](int s) { return f.Valore(ncF(s), m.ResaSensKcal[s], 0); });
    }
    add("RFSEN");
    f.Step();
    add("Spazio2");

    label("CarElettr", "Caratteristiche elettriche");
    label("Generali", "Caratteristiche generali");
    add("CarattElettr");
    f.Step();
    label("AssEle", "Assorbimento elettrico");
    set("mch", QStringLiteral("m³/h"));
    perSpeed("W", [&](int s) { return Numero(m.AssElettr[s], 0); });
    label("PARIA", "Portata aria");
    perSpeed("PARIA", [&](int s) { return Numero(m.PortataAriaEff[s], 0); });
    add("AssEle");
    f.Step();
    label("CorrAss", "Corrente assorbita");
    set("A", QStringLiteral("A"));
    perSpeed("A", [&](int s) { return Numero(m.CorrAss[s], 2); });
    label("PSDisp", "Pressione statica");
    label("Pa", "Pa");
    perSpeed("PS", [&](int s) {
        bool clamped = false;
        return Numero(ReportFrame::PressioneStatica(m, s, clamped), 0);
    });
    if (TARBand* b = f.Add(QStringLiteral("CorrAss"))) {
        for (int s = qMax(1, 4 - Stato.NumVelocita); s <= 3; ++s) {
            bool clamped = false;
            ReportFrame::PressioneStatica(m, s, clamped);
            if (clamped)
                if (TARCell* c = b->GetCell(s + 7))
                    c->SetFontStyle(c->FontStyle() | fsBold);
        }
    }
    f.Step();
    label("Note", "Note");
    label("PSON", "Livelli sonori");
    label("dba", "dB(A)");
    perSpeed("PSON3", [&](int s) { return Numero(m.LivSondBA[s], 0); });
    add("Note");
    f.Step();
    label("GLIC", "Glicole in peso");
    set("GLIC1", Numero(Stato.Glicoperc, 0));
    perSpeed("PSON2", [&](int s) { return Numero(m.LivSonNC[s], 0); });
    set("NC", QStringLiteral("NC"));
    add("GLIC");
    f.Step();
    label("ALT", "Altitudine");
    set("ALT1", Numero(Stato.Altitud, 0));
    label("m", "m");
    perSpeed("PSON1", [&](int s) { return Numero(m.LivSonNR[s], 0); });
    set("NR", QStringLiteral("NR"));
    add("ALT");
    f.Step();

    label("Versione", "Versione");
    set("Vers", f.Msg(f.In().Versione));
    set("DescVers", f.Msg(f.In().DescVersione));
    label("Lunghezza", "Lunghezza");
    label("Larghezza", "Larghezza");
    label("Spessore", "Spessore");
    if (e.version) {
        set("LU1", Numero(e.version->Lunghezza, 0));
        set("LA1", Numero(e.version->Larghezza, 0));
        set("SP1", Numero(e.version->Spessore, 0));
    }
    const TReportPrezzi& p = f.In().Prezzi;
    if (p.CheckListino) {
        label("PrListino", "Prezzo Listino");
        label("Euro", "Euro");
        set("PL1", f.PrezzoListino(e.version));
    }
    if (p.CheckMoltiplica) {
        label("ScontoMolt", "Moltiplicatore");
        set("PercX", QStringLiteral("x"));
        set("SM1", Numero(p.Moltip, 3));
    } else if (p.CheckSconto) {
        label("ScontoMolt", "Sconto");
        set("PercX", QStringLiteral("%"));
        set("SM1", f.DiscountText());
    }
    if (p.CheckNetto) {
        label("PrNetto", "Prezzo Netto");
        label("Euro1", "Euro");
        set("PN1", f.PrezzoNetto(e.version));
    }
    f.Step();
    add("Versione");
}

} // namespace

bool reportPannello(const TReportInputs& in, TFormPrew& form)
{
    ReportFrame f(in, form, templateReport(2), 1);
    return f.Run([&f] { paginaPannello(f); });
}
