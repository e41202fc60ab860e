#include "Catalogo.h"

#include <QHash>
#include <QSet>

#include "Correzioni.h"
#include "Records.h"
#include "platform/Dataset.h"
#include "platform/MainWindowLink.h"
#include "platform/Numbers.h"

TListaMacchine ListaMacchine;
TListaVersioni ListaVersioni;

const std::vector<vers*>& VersioniDi(const QString& model)
{
    static QHash<QString, std::vector<vers*>> perModello;
    static quint64 indicizzata = ~quint64(0);
    if (indicizzata != ListaVersioni.Version()) {
        perModello.clear();
        for (int i = 0; i < ListaVersioni.Count(); ++i)
            perModello[ListaVersioni.Strings(i)].push_back(ListaVersioni.Objects(i));
        indicizzata = ListaVersioni.Version();
    }
    static const std::vector<vers*> none;
    const auto it = perModello.constFind(model);
    return it == perModello.constEnd() ? none : it.value();
}

namespace {

// Positions in cdsMacchine.
enum : int {
    fTipo = 0,
    fDescr = 1,
    fImpianto = 2,
    fModello = 3,
    fAssElettr = 4,
    fCorrAss = 5,
    fPDCNomRisc = 7,
    fPDCNomRaffr = 9,
    fVelocita = 10,
    fPortAria = 11,
    fCoeffResaTerm = 13,
    fCoeffResaFrigTot = 14,
    fCoeffResaFrigSens = 15,
    fLivSondBA = 16,
    fLivSonNC = 17,
    fLivSonNR = 18,
    fPosizione = 19,
    fCalcolo = 20,
    fQA1 = 21, // QAj at 21 + 2 (j - 1), PSAj right after it
    fN = 37,
    fM = 38,
    fP = 39,
};

QString trimmedField(TDataset& ds, int i) { return ds.Fields(i).AsString().trimmed(); }

// Speed records of the model: the first character of Calcolo as an integer
// (a non-digit raises the conversion error), the unit type the second.
int numVelocita(const QString& calcolo) { return fc::StrToInt(calcolo.left(1)); }
QChar tipoCalcolo(const QString& calcolo) { return calcolo.size() > 1 ? calcolo[1] : QChar(); }

// One or three speed records, then the unit type; the field's width may
// leave blanks after them.
bool calcoloValido(const QString& calcolo)
{
    return calcolo.size() >= 2 && (calcolo[0] == u'1' || calcolo[0] == u'3')
        && QStringLiteral("AFCT").contains(calcolo[1]) && calcolo.mid(2).trimmed().isEmpty();
}

// A number field's text as the catalogue holds it, for the messages.
QString testo(TDataset& ds, int i) { return ds.Fields(i).AsString(); }

// What the rating makes of a model record's numbers, by the record's own
// unit type: it divides by the nominal air flow, interpolates over the fan
// curve (its search walks the pressures upwards and caps the flow at the
// first point), takes powers of the flow ratio and multiplies by the
// coefficients of the coils the unit has. What a unit type does not use
// may be 0 but not negative.
void controllaValoriModello(TDataset& ds)
{
    const QString calcolo = ds.Fields(fCalcolo).AsString();
    const QChar tipo = calcolo.at(1);
    const bool raffredda = tipo == u'F' || tipo == u'T';
    const bool riscalda = tipo == u'C' || tipo == u'T';
    auto valore = [&](int i) { return ds.Fields(i).AsFloat(); };
    auto portata = [&](int i) {
        if (!(valore(i) > 0))
            ds.RaiseFieldError(i, QStringLiteral("'%1' is not an air flow (m3/h, above 0)").arg(testo(ds, i)));
    };
    // A quantity of a coil: above 0 where the unit has that coil, else not
    // below 0.
    auto diBatteria = [&](int i, bool usato, const char* cosa, const char* lato) {
        const double v = valore(i);
        if (usato && !(v > 0))
            ds.RaiseFieldError(i, QStringLiteral("'%1' is not %2 of a unit that %3 (above 0)")
                                      .arg(testo(ds, i), QLatin1String(cosa), QLatin1String(lato)));
        if (!usato && v < 0)
            ds.RaiseFieldError(i, QStringLiteral("'%1' is not %2 (0 or more)").arg(testo(ds, i), QLatin1String(cosa)));
    };

    portata(fPortAria);
    for (int j = 1; j <= 8; ++j) {
        const int qa = fQA1 + 2 * (j - 1), psa = qa + 1;
        portata(qa);
        if (!(valore(psa) >= 0))
            ds.RaiseFieldError(psa, QStringLiteral("'%1' is not a static pressure (Pa, 0 or more)").arg(testo(ds, psa)));
        if (j == 1)
            continue;
        if (valore(psa) < valore(psa - 2))
            ds.RaiseFieldError(psa, QStringLiteral("'%1' is below PSA%2 ('%3'): the fan curve's pressures cannot fall "
                                                   "from one point to the next")
                                        .arg(testo(ds, psa))
                                        .arg(j - 1)
                                        .arg(testo(ds, psa - 2)));
        if (valore(qa) > valore(qa - 2))
            ds.RaiseFieldError(qa, QStringLiteral("'%1' is above QA%2 ('%3'): the fan curve's air flow cannot rise "
                                                  "with the pressure")
                                       .arg(testo(ds, qa))
                                       .arg(j - 1)
                                       .arg(testo(ds, qa - 2)));
    }
    const char* coeff = "a capacity coefficient";
    const char* esponente = "an exponent of the air-flow factor";
    const char* kv = "a coil flow coefficient";
    diBatteria(fCoeffResaTerm, riscalda, coeff, "heats");
    diBatteria(fCoeffResaFrigTot, raffredda, coeff, "cools");
    diBatteria(fCoeffResaFrigSens, raffredda, coeff, "cools");
    diBatteria(fN, raffredda, esponente, "cools");
    diBatteria(fM, raffredda, esponente, "cools");
    diBatteria(fP, riscalda, esponente, "heats");
    diBatteria(fPDCNomRisc, riscalda, kv, "heats");
    diBatteria(fPDCNomRaffr, raffredda, kv, "cools");
}

// A version's numbers scale pressures and are printed as sizes, weights
// and prices: none is below 0.
void controllaValoriVersione(TDataset& ds)
{
    const char* const cosa[9] = {nullptr, nullptr, nullptr, "a pressure factor", "a length", "a width",
                                 "a thickness", "a weight", "a price"};
    for (int i = 3; i < 9; ++i)
        if (ds.Fields(i).AsFloat() < 0)
            ds.RaiseFieldError(i, QStringLiteral("'%1' is not %2 (0 or more)").arg(testo(ds, i), QLatin1String(cosa[i])));
}

// The speed a record fills, as the loader reads its Velocita.
int velocitaDi(TDataset& ds)
{
    const QString vel = trimmedField(ds, fVelocita).toUpper();
    return vel == QLatin1String("MIN") ? 1 : vel == QLatin1String("MED") ? 2 : 3;
}

const char* const kNomiVelocita[4] = {nullptr, "MIN", "MED", "MAX"};

// The models as the loader builds them: each model's block (the first
// records of its name, as many as its Calcolo gives it speeds) holds each
// of its speeds once, so that no speed the rating computes stays empty;
// and no two records anywhere share model, speed and position.
void controllaModelli(TDataset& ds)
{
    QHash<QString, int> chiavi; // folded model, speed and position -> record
    for (ds.First(); !ds.Eof(); ds.Next()) {
        const int s = velocitaDi(ds);
        const QString name = trimmedField(ds, fModello);
        const QString posizione = testo(ds, fPosizione);
        const QString key = name.toCaseFolded() + QChar(0) + QString::number(s) + QChar(0) + posizione;
        const auto it = chiavi.constFind(key);
        if (it != chiavi.constEnd())
            ds.RaiseError(QStringLiteral("records %1 and %2: model \"%3\", speed \"%4\" and position %5 twice")
                              .arg(it.value())
                              .arg(ds.RecordNumber())
                              .arg(name, QLatin1String(kNomiVelocita[s]), posizione));
        chiavi.insert(key, ds.RecordNumber());
    }

    QSet<QString> caricati;
    ds.First();
    while (!ds.Eof()) {
        const QString name = trimmedField(ds, fModello);
        const QString folded = name.toCaseFolded();
        if (caricati.contains(folded)) {
            ds.Next();
            continue;
        }
        caricati.insert(folded);
        const int primo = ds.RecordNumber();
        const QString calcolo = ds.Fields(fCalcolo).AsString();
        const int n = numVelocita(calcolo);
        bool presente[4] = {false, false, false, false};
        for (int k = 0; k < n && !ds.Eof() && trimmedField(ds, fModello).compare(name, Qt::CaseInsensitive) == 0;
             ++k) {
            presente[velocitaDi(ds)] = true;
            ds.Next();
        }
        for (int s = 4 - n; s <= 3; ++s)
            if (!presente[s])
                ds.RaiseError(QStringLiteral("record %1, model \"%2\": no record of the speed %3, though its Calcolo "
                                             "\"%4\" gives it %5")
                                  .arg(primo)
                                  .arg(name, QLatin1String(kNomiVelocita[s]), calcolo.trimmed(),
                                       n == 1 ? QStringLiteral("one speed") : QStringLiteral("three speeds")));
    }
}

// Every record of the table, whatever the filter: numbers where the
// catalogue has numbers, values the rating can use and, in the models, a
// Calcolo the engine knows and each model's speeds once. The filter is put
// back as it was.
void controllaTabella(TDataset& ds, bool macchine)
{
    const bool filtered = ds.Filtered();
    ds.SetFiltered(false);
    for (ds.First(); !ds.Eof(); ds.Next()) {
        for (int i = 0; i < ds.FieldCount(); ++i)
            if (ds.Fields(i).DataType() != TFieldType::String && ds.Fields(i).IsNull())
                ds.RaiseFieldError(i, QStringLiteral("no value, expected a number"));
        if (macchine) {
            const QString calcolo = ds.Fields(fCalcolo).AsString();
            if (!calcoloValido(calcolo))
                ds.RaiseFieldError(fCalcolo, QStringLiteral("'%1' is not a unit code (\"1\" or \"3\", then A, F, C "
                                                            "or T)")
                                                 .arg(calcolo));
            controllaValoriModello(ds);
        } else {
            controllaValoriVersione(ds);
        }
    }
    if (macchine)
        controllaModelli(ds);
    ds.SetFiltered(filtered);
}

} // namespace

void controllaCatalogo(TDataset& macchine, TDataset& versioni)
{
    controllaTabella(versioni, false);
    controllaTabella(macchine, true);
}

void caricaVersione(vers& v, TDataset& ds)
{
    v.Modello = trimmedField(ds, 0);
    v.CodiceVersione = trimmedField(ds, 1);
    v.DescrizioneVersione = trimmedField(ds, 2);
    v.FattorePressione = ds.Fields(3).AsInteger();
    v.Lunghezza = ds.Fields(4).AsInteger();
    v.Larghezza = ds.Fields(5).AsInteger();
    v.Spessore = ds.Fields(6).AsInteger();
    v.Peso = ds.Fields(7).AsFloat();
    v.PrezzoListino = ds.Fields(8).AsFloat();
}

void caricaVelocita(fancoil& f, int s, TDataset& ds)
{
    f.AssElettr[s] = ds.Fields(fAssElettr).AsInteger();
    f.CorrAss[s] = ds.Fields(fCorrAss).AsFloat();
    f.PortAria[s] = ds.Fields(fPortAria).AsInteger();
    f.CoeffResaTerm[s] = ds.Fields(fCoeffResaTerm).AsFloat();
    f.CoeffResaFrigTot[s] = ds.Fields(fCoeffResaFrigTot).AsFloat();
    f.CoeffResaFrigSens[s] = ds.Fields(fCoeffResaFrigSens).AsFloat();
    f.LivSondBA[s] = ds.Fields(fLivSondBA).AsFloat();
    f.LivSonNC[s] = ds.Fields(fLivSonNC).AsFloat();
    f.LivSonNR[s] = ds.Fields(fLivSonNR).AsFloat();
    for (int j = 1; j <= 8; ++j) {
        f.QA[s][j] = ds.Fields(fQA1 + 2 * (j - 1)).AsInteger();
        f.PSA[s][j] = ds.Fields(fQA1 + 2 * (j - 1) + 1).AsFloat();
    }
}

void caricaMacchina(fancoil& f, TDataset& ds)
{
    const QString calcolo = ds.Fields(fCalcolo).AsString();
    f.NumVelocita = numVelocita(calcolo);
    f.TipoCalcolo = tipoCalcolo(calcolo);
    f.Tipo = trimmedField(ds, fTipo).left(20);
    f.Descr = trimmedField(ds, fDescr).left(100);
    // The field is 24 wide; a 16-character cut would print "Solo ventilazion".
    f.Impianto = trimmedField(ds, fImpianto).left(24);
    // The whole name, as the registry keys it: a cut would rate, price and
    // report one model under another's name.
    f.Modello = trimmedField(ds, fModello).left(24);
    f.selezionato = false;
    f.PDCNomRisc = ds.Fields(fPDCNomRisc).AsFloat();
    f.PDCNomRaffr = ds.Fields(fPDCNomRaffr).AsFloat();
    f.n = ds.Fields(fN).AsFloat();
    f.m = ds.Fields(fM).AsFloat();
    f.p = ds.Fields(fP).AsFloat();
    // The model's speed records follow one another. Reading stops early at
    // the end of the data or at another model's record, so that a model with
    // fewer records than its Calcolo claims cannot take its neighbour's.
    const QString name = trimmedField(ds, fModello);
    for (int k = 0; k < f.NumVelocita && !ds.Eof(); ++k) {
        if (trimmedField(ds, fModello).compare(name, Qt::CaseInsensitive) != 0)
            break;
        const QString vel = trimmedField(ds, fVelocita).toUpper();
        const int s = vel == QLatin1String("MIN") ? 1 : vel == QLatin1String("MED") ? 2 : 3;
        caricaVelocita(f, s, ds);
        ds.Next();
    }
}

namespace {

// The last complete load of ListaMacchine: from which opening of which
// dataset, and the list's version right after it.
struct CaricamentoModelli {
    const TDataset* ds = nullptr;
    std::uint64_t serial = 0;
    quint64 version = 0;
} ultimoCaricamento;

// The model as the loader leaves it: its catalogue values stay, what a run
// writes into it goes back to where a new model starts.
void comeCaricato(fancoil& m)
{
    static const fancoil nuovo;
    m.selezionato = nuovo.selezionato;
    for (PerSpeed fancoil::*f :
         {&fancoil::PortataAriaEff, &fancoil::TIngFreddo, &fancoil::TUscFreddo, &fancoil::PortataFreddo,
          &fancoil::PerditaFreddo, &fancoil::ResaTotKcal, &fancoil::ResaTotW, &fancoil::ResaSensKcal,
          &fancoil::ResaSensW, &fancoil::TIngCaldo, &fancoil::TUscCaldo, &fancoil::PortataCaldo,
          &fancoil::PerditaCaldo, &fancoil::ResaCaldoKcal, &fancoil::ResaCaldoW, &fancoil::FattoreSens,
          &fancoil::FattoreTot, &fancoil::FattoreCaldo})
        m.*f = nuovo.*f;
    m.NonCalcolatoFreddo = nuovo.NonCalcolatoFreddo;
    m.NonCalcolatoCaldo = nuovo.NonCalcolatoCaldo;
    // No fan-curve evaluation of before is taken up again, as for a new model.
    m.curvaRicordata.dimentica();
}

} // namespace

void caricaMacchine()
{
    IMainWindowLink& w = fc::MainWindow();
    TDataset& ds = w.cdsMacchine();
    const QString code = w.VersionText().trimmed();
    // The models do not depend on the version: while the records they were
    // read from are those of the last load and the list is as that load
    // left it, the same models come out of a new walk, in the same order.
    const bool stessiRecord = ds.LoadSerial() != 0 && ultimoCaricamento.ds == &ds &&
                              ultimoCaricamento.serial == ds.LoadSerial() &&
                              ultimoCaricamento.version == ListaMacchine.Version();
    if (!stessiRecord)
        ListaMacchine.Clear();

    // Under the family filter the first record stands for the whole family.
    ds.First();
    if (!ds.Eof()) {
        const QString calcolo = ds.Fields(fCalcolo).AsString();
        Stato.TipoCalcolo = tipoCalcolo(calcolo);
        Stato.NumVelocita = numVelocita(calcolo);
        w.abilita(Stato.TipoCalcolo, Stato.NumVelocita);
    }

    if (stessiRecord) {
        for (int i = 0; i < ListaMacchine.Count(); ++i)
            comeCaricato(*ListaMacchine.Objects(i));
        // The walk would take every version with the code of each model in
        // turn, keyed exactly as the model: the last one of the last such
        // model wins.
        const vers* scelta = nullptr;
        int ultimo = -1;
        if (!code.isEmpty())
            for (int i = 0; i < ListaVersioni.Count(); ++i) {
                const vers* v = ListaVersioni.Objects(i);
                if (v->CodiceVersione != code)
                    continue;
                const QString& key = ListaVersioni.Strings(i);
                const int k = ListaMacchine.IndexOf(key);
                if (k >= ultimo && k >= 0 && ListaMacchine.Strings(k) == key) {
                    ultimo = k;
                    scelta = v;
                }
            }
        if (scelta) {
            Stato.FattorePressione = scelta->FattorePressione;
            w.SetVersionCaption(scelta->DescrizioneVersione);
            w.SetVersionLabelSize(230, 40);
        }
        // As after the walk: the filter on, on its first record.
        ds.SetFiltered(true);
        return;
    }

    // The versions with the chosen code, by model name in stored order.
    QHash<QString, std::vector<const vers*>> chosen;
    if (!code.isEmpty())
        for (int i = 0; i < ListaVersioni.Count(); ++i)
            if (ListaVersioni.Objects(i)->CodiceVersione == code)
                chosen[ListaVersioni.Strings(i)].push_back(ListaVersioni.Objects(i));

    ds.SetFiltered(false);
    ds.First();
    while (!ds.Eof()) {
        const QString name = trimmedField(ds, fModello);
        if (ListaMacchine.IndexOf(name) >= 0) {
            ds.Next();
            continue;
        }
        auto model = std::make_unique<fancoil>();
        // Every matching version in turn: the last one wins.
        for (const vers* v : chosen.value(name)) {
            Stato.FattorePressione = v->FattorePressione;
            w.SetVersionCaption(v->DescrizioneVersione);
            w.SetVersionLabelSize(230, 40);
        }
        // A Calcolo of "0" reads no record: the next round finds the name
        // listed and steps on.
        caricaMacchina(*model, ds);
        ListaMacchine.Add(name, std::move(model));
    }
    ds.SetFiltered(true);
    ultimoCaricamento = {&ds, ds.LoadSerial(), ListaMacchine.Version()};
}

TLimite LimiteIniziale(int pair)
{
    static const TLimite limits[10] = {
        {0, 120}, {0, 120}, {1, 119}, {-20, 50}, {-10, 25}, {-10, 25}, {1, 34}, {5, 40}, {5, 95}, {-2.3, 39.3},
    };
    if (pair < 1 || pair > 10)
        throw EListError::IndexOutOfBounds(pair);
    return limits[pair - 1];
}

void caricaDati()
{
    IMainWindowLink& w = fc::MainWindow();
    // Nothing is built from a catalogue the engine cannot use.
    controllaCatalogo(w.cdsMacchine(), w.cdsVersioni());
    caricaDatiControllati();
}

void caricaDatiControllati()
{
    IMainWindowLink& w = fc::MainWindow();
    TDataset& dv = w.cdsVersioni();
    ListaVersioni.Clear();
    dv.SetFiltered(false);
    dv.First();
    while (!dv.Eof()) {
        auto v = std::make_unique<vers>();
        caricaVersione(*v, dv);
        const QString key = trimmedField(dv, 0);
        ListaVersioni.Add(key, std::move(v));
        dv.Next();
    }

    caricaMacchine();

    // The parameter rows travel with the program.
    caricaTabelleParametri();

    for (int i = 1; i <= 10; ++i)
        Limiti[i] = LimiteIniziale(i);

    w.cdsMacchine().SetFiltered(true);
}
