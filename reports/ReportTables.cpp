// The one-speed and three-speed tables: up to nine models side by side per
// page, one column per model.
#include <QString>

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

const QString kVelocita[4] = {QString(), QStringLiteral("MIN"), QStringLiteral("MED"), QStringLiteral("MAX")};

class TableReport {
public:
    explicit TableReport(ReportFrame& f) : f_(f) {}

    // name + column number := value(model), for every model of the page.
    template <class F>
    void perColumn(const QString& prefix, F value)
    {
        for (int i = f_.First(); i <= f_.Last(); ++i) {
            const ModelEntry& e = f_.Models()[size_t(i)];
            f_.Set(prefix + QString::number(i - f_.First() + 1), value(e));
        }
    }
    void label(const char* var, const char* italian) { f_.Set(QLatin1String(var), f_.Msg(QString::fromUtf8(italian))); }
    void fixed(const char* var, const QString& text) { f_.Set(QLatin1String(var), text); }
    void speedLabels()
    {
        label("max", "MAX");
        label("med", "MED");
        label("min", "MIN");
    }
    void add(const char* band) { f_.Add(QLatin1String(band)); }

    // The family heading, from the first ticked model.
    void rigaSerie()
    {
        const fancoil& m = *f_.FirstModel().model;
        f_.Set(QStringLiteral("Descrizione"), f_.Msg(m.Descr));
        f_.Set(QStringLiteral("Impianto"), f_.Msg(QStringLiteral("Tipo impianto")) + QStringLiteral(": ") + f_.Msg(m.Impianto));
        f_.Set(QStringLiteral("Serie"), f_.Msg(QStringLiteral("Serie")) + QStringLiteral(":  ") + f_.Msg(m.Tipo));
        add("RigaSerie");
    }
    void modelli()
    {
        label("Modello", "Modello");
        perColumn(QStringLiteral("Mod"), [](const ModelEntry& e) { return e.model->Modello; });
        add("Modelli");
    }
    void versioni()
    {
        label("Versione", "Versione");
        f_.Set(QStringLiteral("Vers"), f_.Msg(f_.In().Versione));
        f_.Set(QStringLiteral("DescVers"), f_.Msg(f_.In().DescVersione));
        add("Versione");
        f_.Step();
        auto dim = [this](const char* band, const char* prefix, auto field) {
            label(band, band);
            perColumn(QLatin1String(prefix), [field](const ModelEntry& e) {
                return e.version ? Numero(double(e.version->*field), 0) : QString();
            });
            add(band);
        };
        dim("Lunghezza", "LU", &vers::Lunghezza);
        f_.Step();
        dim("Larghezza", "LA", &vers::Larghezza);
        f_.Step();
        dim("Spessore", "SP", &vers::Spessore);
        f_.Step();
        label("Peso", "Peso");
        perColumn(QStringLiteral("PE"), [](const ModelEntry& e) {
            return e.version ? Numero(e.version->Peso, 0) : QString();
        });
        add("Peso");
    }
    void prezzi()
    {
        const TReportPrezzi& p = f_.In().Prezzi;
        if (p.CheckListino) {
            f_.Step();
            label("PrListino", "Prezzo Listino");
            perColumn(QStringLiteral("PL"), [this](const ModelEntry& e) { return f_.PrezzoListino(e.version); });
            add("PrListino");
        }
        if (p.CheckMoltiplica) {
            f_.Step();
            label("ScontoMolt", "Moltiplicatore");
            fixed("PercX", QStringLiteral("x"));
            const QString m = Numero(p.Moltip, 3);
            perColumn(QStringLiteral("SM"), [&m](const ModelEntry&) { return m; });
            add("ScontoMolt");
        } else if (p.CheckSconto) {
            label("ScontoMolt", "Sconto");
            fixed("PercX", QStringLiteral("%"));
            const QString d = f_.DiscountText();
            perColumn(QStringLiteral("SM"), [&d](const ModelEntry&) { return d; });
            add("ScontoMolt");
        }
        if (p.CheckNetto) {
            f_.Step();
            label("PrNetto", "Prezzo Netto");
            perColumn(QStringLiteral("PN"), [this](const ModelEntry& e) { return f_.PrezzoNetto(e.version); });
            add("PrNetto");
        }
    }
    // The cooling or heating heading with its air, and the water entering
    // at the calculation speed r.
    void testata(bool cooling, int r)
    {
        const auto tIng = cooling ? &fancoil::TIngFreddo : &fancoil::TIngCaldo;
        if (cooling) {
            label("Raffreddamento", "Raffreddamento");
            add("Raffreddamento");
            label("FTABS", "Temperatura aria B.S.");
            fixed("grC", QStringLiteral("°C"));
            perColumn(QStringLiteral("FTABS"), [](const ModelEntry&) { return Numero(Stato.TBSFreddo, 1); });
            add("FTABS");
            label("FTABU", "Temperatura aria B.U.");
            perColumn(QStringLiteral("FTABU"), [](const ModelEntry&) { return Numero(Stato.TBUFreddo, 1); });
            add("FTABU");
            label("FUR", "Umidità relativa");
            perColumn(QStringLiteral("FUR"), [](const ModelEntry&) { return Numero(Stato.URFreddo, 1); });
            add("FUR");
        } else {
            label("Riscaldamento", "Riscaldamento");
            add("Riscaldamento");
            label("CTABS", "Temperatura aria B.S.");
            fixed("grC", QStringLiteral("°C"));
            perColumn(QStringLiteral("CTABS"), [](const ModelEntry&) { return Numero(Stato.TempAriaCaldo, 1); });
            add("CTABS");
        }
        label(cooling ? "FTIA" : "CTIA", "Temp.ingresso acqua");
        perColumn(QLatin1String(cooling ? "FTIA" : "CTIA"),
                  [&](const ModelEntry& e) { return f_.Valore(nonCalcolato(e, cooling, r), (*e.model.*tIng)[r], 1); });
        add(cooling ? "FTIA" : "CTIA");
    }
    // Water flow and pressure drop at the calculation speed r.
    void acqua(bool cooling, int r)
    {
        const auto portata = cooling ? &fancoil::PortataFreddo : &fancoil::PortataCaldo;
        const auto perdita = cooling ? &fancoil::PerditaFreddo : &fancoil::PerditaCaldo;
        label(cooling ? "PortAcquaF" : "PortAcquaC", "Portata acqua");
        label("LitriOra", "l/h");
        perColumn(QLatin1String(cooling ? "PAF" : "PAC"),
                  [&](const ModelEntry& e) { return f_.Valore(nonCalcolato(e, cooling, r), (*e.model.*portata)[r], 0); });
        add(cooling ? "PortAcquaFreddo" : "PortAcquaCaldo");
        f_.Step();
        label(cooling ? "PDCAcquaF" : "PDCAcquaC", "Perdita di carico acqua");
        label("kPa", "kPa");
        perColumn(QLatin1String(cooling ? "PDCF" : "PDCC"),
                  [&](const ModelEntry& e) { return f_.Valore(nonCalcolato(e, cooling, r), (*e.model.*perdita)[r], 1); });
        add(cooling ? "PDCAcquaFreddo" : "PDCAcquaCaldo");
    }
    static bool nonCalcolato(const ModelEntry& e, bool cooling, int s)
    {
        return cooling ? e.model->NonCalcolatoFreddo[s] : e.model->NonCalcolatoCaldo[s];
    }
    // The general heading with glycol and altitude.
    void generali()
    {
        label("Generali", "Caratteristiche generali");
        add("DatiGenerali");
        f_.Step();
        label("GLIC", "Glicole in peso");
        perColumn(QStringLiteral("GLIC"), [](const ModelEntry&) { return Numero(Stato.Glicoperc, 1); });
        add("GLIC");
        label("ALT", "Altitudine");
        label("m", "m");
        perColumn(QStringLiteral("ALT"), [](const ModelEntry&) { return Numero(Stato.Altitud, 1); });
        add("ALT");
    }
    // Power input and current at the top speed, then the version and prices.
    void coda()
    {
        label("AssEle", "Assorbimento elettrico");
        perColumn(QStringLiteral("W"), [](const ModelEntry& e) { return Numero(e.model->AssElettr[3], 0); });
        add("AssEle");
        f_.Step();
        label("CorrAss", "Corrente assorbita");
        perColumn(QStringLiteral("A"), [](const ModelEntry& e) { return Numero(e.model->CorrAss[3], 2); });
        add("CorrAss");
        f_.Step();
        versioni();
        prezzi();
    }
    // Marks the clamped static pressures of speed s in band b: column n in
    // cell n + offset.
    void marcaPressioni(TARBand* b, int s, int offset)
    {
        if (!b)
            return;
        for (int i = f_.First(); i <= f_.Last(); ++i) {
            bool clamped = false;
            ReportFrame::PressioneStatica(*f_.Models()[size_t(i)].model, s, clamped);
            if (clamped)
                if (TARCell* c = b->GetCell(i - f_.First() + 1 + offset))
                    c->SetFontStyle(c->FontStyle() | fsBold);
        }
    }

    ReportFrame& f_;
};

// Whole numbers of the value columns.
QString n0(double v) { return Numero(v, 0); }

void paginaUnaVelocita(ReportFrame& f)
{
    TableReport t(f);
    const int r = Stato.VeloCalcolo;
    f.Step();
    t.rigaSerie();
    f.Step();
    t.modelli();
    t.label("Velocita", "Velocità");
    f.Set(QStringLiteral("Velcalcolo"), f.Msg(kVelocita[qBound(1, r, 3)]));
    t.add("Velocita");
    f.Step();

    if (ReportFrame::Freddo()) {
        auto nc = [r](const ModelEntry& e) { return e.model->NonCalcolatoFreddo[r]; };
        t.testata(true, r);
        f.Step();
        t.label("FTUA", "Temp.uscita acqua");
        t.perColumn(QStringLiteral("FTUA3"), [&](const ModelEntry& e) { return f.Valore(nc(e), e.model->TUscFreddo[r], 1); });
        t.add("TUAFreddo");
        f.Step();
        t.acqua(true, r);
        f.Step();
        t.label("RFTOT", "Resa frigorifera totale");
        t.fixed("W", QStringLiteral("W"));
        t.label("Frig./h", "Frig./h");
        t.perColumn(QStringLiteral("RFTOT3"), [&](const ModelEntry& e) { return f.Valore(nc(e), e.model->ResaTotW[r], 0); });
        t.perColumn(QStringLiteral("RFTOT1"), [&](const ModelEntry& e) { return f.Valore(nc(e), e.model->ResaTotKcal[r], 0); });
        t.add("RFTOT");
        f.Step();
        t.label("RFSEN", "Resa frigorifera sensibile");
        t.fixed("W", QStringLiteral("W"));
        t.perColumn(QStringLiteral("RFSEN3"), [&](const ModelEntry& e) { return f.Valore(nc(e), e.model->ResaSensW[r], 0); });
        t.perColumn(QStringLiteral("RFSEN1"), [&](const ModelEntry& e) { return f.Valore(nc(e), e.model->ResaSensKcal[r], 0); });
        t.add("RFSEN");
        f.Step();
    }
    f.Step();

    if (ReportFrame::Caldo()) {
        auto nc = [r](const ModelEntry& e) { return e.model->NonCalcolatoCaldo[r]; };
        t.testata(false, r);
        f.Step();
        t.label("CTUA", "Temp.uscita acqua");
        t.fixed("grC", QStringLiteral("°C"));
        t.perColumn(QStringLiteral("CTUA3"), [&](const ModelEntry& e) { return f.Valore(nc(e), e.model->TUscCaldo[r], 1); });
        t.add("TUACaldo");
        f.Step();
        t.acqua(false, r);
        f.Step();
        t.label("RT", "Resa termica");
        t.fixed("W", QStringLiteral("W"));
        t.perColumn(QStringLiteral("RT3"), [&](const ModelEntry& e) { return f.Valore(nc(e), e.model->ResaCaldoW[r], 0); });
        t.perColumn(QStringLiteral("RT1"), [&](const ModelEntry& e) { return f.Valore(nc(e), e.model->ResaCaldoKcal[r], 0); });
        t.add("RT");
    }
    f.Step();

    t.generali();
    f.Step();
    t.label("PARIA", "Portata aria");
    t.fixed("mch", QStringLiteral("m³/h"));
    t.perColumn(QStringLiteral("PARIA3"), [r](const ModelEntry& e) { return n0(e.model->PortataAriaEff[r]); });
    t.add("PAria");
    f.Step();
    t.label("PSDisp", "Pressione statica");
    t.label("Pa", "Pa");
    t.perColumn(QStringLiteral("PS"), [r](const ModelEntry& e) {
        bool clamped = false;
        return n0(ReportFrame::PressioneStatica(*e.model, r, clamped));
    });
    t.add("PSDisp");
    {
        TARRep* rep = f.Rep().Rep();
        t.marcaPressioni(rep->GetBand(rep->BandCount() - 1), r, 1);
    }
    f.Step();
    t.label("PSON", "Livelli sonori");
    t.label("dba", "dB(A)");
    t.perColumn(QStringLiteral("PSON3"), [r](const ModelEntry& e) { return n0(e.model->LivSondBA[r]); });
    t.perColumn(QStringLiteral("PSON2"), [r](const ModelEntry& e) { return n0(e.model->LivSonNC[r]); });
    t.perColumn(QStringLiteral("PSON1"), [r](const ModelEntry& e) { return n0(e.model->LivSonNR[r]); });
    t.add("PSonora");
    f.Step();
    t.coda();
}

void paginaTreVelocita(ReportFrame& f)
{
    TableReport t(f);
    const int r = Stato.VeloCalcolo;
    f.Step();
    t.rigaSerie();
    f.Step();
    t.modelli();
    f.Step();
    // name + s + n := value(model, s), for s = 3, 2, 1.
    auto perSpeed = [&t](const QString& prefix, auto value) {
        for (int s = 3; s >= 1; --s)
            t.perColumn(prefix + QString::number(s), [&](const ModelEntry& e) { return value(e, s); });
    };

    if (ReportFrame::Freddo()) {
        auto nc = [](const ModelEntry& e, int s) { return e.model->NonCalcolatoFreddo[s]; };
        t.testata(true, r);
        f.Step();
        t.label("FTUA", "Temp.uscita acqua");
        t.speedLabels();
        perSpeed(QStringLiteral("FTUA"), [&](const ModelEntry& e, int s) { return f.Valore(nc(e, s), e.model->TUscFreddo[s], 1); });
        t.add("TUAFreddo");
        f.Step();
        t.acqua(true, r);
        f.Step();
        t.label("RFTOT", "Resa frigorifera totale");
        t.speedLabels();
        t.fixed("W", QStringLiteral("W"));
        perSpeed(QStringLiteral("RFTOT"), [&](const ModelEntry& e, int s) { return f.Valore(nc(e, s), e.model->ResaTotW[s], 0); });
        t.add("RFTOT");
        f.Step();
        t.label("RFSEN", "Resa frigorifera sensibile");
        t.speedLabels();
        t.fixed("W", QStringLiteral("W"));
        perSpeed(QStringLiteral("RFSEN"), [&](const ModelEntry& e, int s) { return f.Valore(nc(e, s), e.model->ResaSensW[s], 0); });
        t.add("RFSEN");
        f.Step();
    }
    f.Step();

    if (ReportFrame::Caldo()) {
        auto nc = [](const ModelEntry& e, int s) { return e.model->NonCalcolatoCaldo[s]; };
        t.testata(false, r);
        f.Step();
        t.label("CTUA", "Temp.uscita acqua");
        t.speedLabels();
        t.fixed("grC", QStringLiteral("°C"));
        perSpeed(QStringLiteral("CTUA"), [&](const ModelEntry& e, int s) { return f.Valore(nc(e, s), e.model->TUscCaldo[s], 1); });
        t.add("TUACaldo");
        f.Step();
        t.acqua(false, r);
        f.Step();
        t.label("RT", "Resa termica");
        t.speedLabels();
        t.fixed("W", QStringLiteral("W"));
        perSpeed(QStringLiteral("RT"), [&](const ModelEntry& e, int s) { return f.Valore(nc(e, s), e.model->ResaCaldoW[s], 0); });
        t.add("RT");
    }
    f.Step();

    t.generali();
    f.Step();
    t.label("PSDisp", "Pressione statica");
    t.speedLabels();
    t.label("Pa", "Pa");
    perSpeed(QStringLiteral("PS"), [](const ModelEntry& e, int s) {
        bool clamped = false;
        return n0(ReportFrame::PressioneStatica(*e.model, s, clamped));
    });
    t.add("PSDisp");
    {
        // The three bands are MAX, MED, MIN: speed s is band count - s.
        TARRep* rep = f.Rep().Rep();
        for (int s = 1; s <= 3; ++s)
            t.marcaPressioni(rep->GetBand(rep->BandCount() - s), s, 2);
    }
    f.Step();
    t.label("PARIA", "Portata aria");
    t.speedLabels();
    t.fixed("mch", QStringLiteral("m³/h"));
    perSpeed(QStringLiteral("PARIA"), [](const ModelEntry& e, int s) { return n0(e.model->PortataAriaEff[s]); });
    t.add("PAria");
    f.Step();
    t.label("PSON", "Livelli sonori");
    t.speedLabels();
    t.label("dba", "dB(A)");
    perSpeed(QStringLiteral("PSON"), [](const ModelEntry& e, int s) { return n0(e.model->LivSondBA[s]); });
    t.add("PSonora");
    f.Step();
    t.coda();
}

} // namespace

bool reportUnaVelocita(const TReportInputs& in, TFormPrew& form)
{
    ReportFrame f(in, form, templateReport(1), 9);
    return f.Run([&f] { paginaUnaVelocita(f); });
}

bool reportTreVelocita(const TReportInputs& in, TFormPrew& form)
{
    ReportFrame f(in, form, templateReport(0), 9);
    return f.Run([&f] { paginaTreVelocita(f); });
}
