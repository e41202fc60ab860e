#include "Selezione.h"

#include <utility>
#include <vector>

#include "Calcoli.h"
#include "Catalogo.h"
#include "Records.h"
#include "platform/MainWindowLink.h"

namespace {

// The model of a check-list item. ListaMacchine keeps its own index by
// case-folded key (first entry of a key wins), so a batch over a large check
// list neither searches the list per item nor builds an index of its own.
fancoil* cercaModello(const QString& itemText) { return ListaMacchine.Find(chiaveModello(itemText)); }

// The model found for each check-list item, with the item's text, while
// ListaMacchine stays as it was: a run rates the same check list several
// times over (cooling, then heating or a check), and cutting, folding and
// hashing every key again would cost more than a side's rating of a model.
struct VociRicordate {
    quint64 versione = 0;
    std::vector<std::pair<QString, fancoil*>> voci;
};
thread_local VociRicordate vociRicordate;

fancoil* modelloDi(int item, const QString& itemText)
{
    VociRicordate& r = vociRicordate;
    if (r.versione != ListaMacchine.Version()) {
        r.voci.clear();
        r.versione = ListaMacchine.Version();
    }
    const size_t i = size_t(item);
    if (i < r.voci.size() && r.voci[i].first == itemText)
        return r.voci[i].second;
    fancoil* model = cercaModello(itemText);
    if (i >= r.voci.size())
        r.voci.resize(i + 1);
    r.voci[i] = {itemText, model};
    return model;
}

int primaVelocita() { return 4 - Stato.NumVelocita; }

// Calls f(model) for every ticked item with a model, in list order.
template <class F>
void perOgniSpuntato(F f)
{
    IMainWindowLink& mw = fc::MainWindow();
    const int count = mw.ModelCount();
    for (int i = 0; i < count; ++i) {
        if (!mw.ModelChecked(i))
            continue;
        if (fancoil* model = modelloDi(i, mw.ModelText(i)))
            f(*model);
    }
}

// A run starts the side from what a new model holds: every speed's results
// of the side go back to 0, also those of the speeds the run does not
// compute, which an earlier run's copy of the reference speed's water
// values may have filled. Until this run rates them, the computed speeds
// hold no rating of the side: the reference speed's water values are
// copied only into rated speeds.
void iniziaFreddo(fancoil& model)
{
    for (int s = 1; s <= 3; ++s) {
        azzeraFreddo(model, s);
        model.NonCalcolatoFreddo[s] = s >= primaVelocita();
    }
}

void iniziaCaldo(fancoil& model)
{
    for (int s = 1; s <= 3; ++s) {
        azzeraCaldo(model, s);
        model.NonCalcolatoCaldo[s] = s >= primaVelocita();
    }
}

void raffredda(fancoil& model)
{
    calcolaLatoAria(model);
    iniziaFreddo(model);
    const int ref = Stato.VeloCalcolo;
    switch (Stato.DatiInRaffredda) {
    case 0:
        calcolaFreddoTemperature(model, ref);
        for (int s = primaVelocita(); s <= 3; ++s)
            if (s != ref)
                calcolaFreddoPDC(model, s, model.PerditaFreddo[ref]);
        break;
    case 1:
        for (int s = primaVelocita(); s <= 3; ++s)
            calcolaFreddoPortata(model, s, Stato.PortAcquaRichiestaFreddo);
        break;
    case 2:
        for (int s = primaVelocita(); s <= 3; ++s)
            calcolaFreddoPDC(model, s, Stato.PDCFreddo);
        break;
    default:
        break;
    }
}

void riscalda(fancoil& model)
{
    calcolaLatoAria(model);
    iniziaCaldo(model);
    const int ref = Stato.VeloCalcolo;
    switch (Stato.DatiInRiscalda) {
    case 0:
        calcolaCaldoTemperature(model, ref);
        for (int s = primaVelocita(); s <= 3; ++s)
            if (s != ref)
                calcolaCaldoPDC(model, s, model.PerditaCaldo[ref]);
        break;
    case 1:
        for (int s = primaVelocita(); s <= 3; ++s)
            calcolaCaldoPortata(model, s, Stato.PortAcquaRichiesta);
        break;
    case 2:
        for (int s = primaVelocita(); s <= 3; ++s)
            calcolaCaldoPDC(model, s, Stato.PDCCaldo);
        break;
    default:
        break;
    }
}

// Sets every computed speed of the side as not rated, with zero results.
void nonCalcolatoCaldo(fancoil& model)
{
    for (int s = primaVelocita(); s <= 3; ++s) {
        model.NonCalcolatoCaldo[s] = true;
        azzeraCaldo(model, s);
    }
}

void nonCalcolatoFreddo(fancoil& model)
{
    for (int s = primaVelocita(); s <= 3; ++s) {
        model.NonCalcolatoFreddo[s] = true;
        azzeraFreddo(model, s);
    }
}

// The value a selection compares; false when the model has none at the
// reference speed.
enum class Grandezza { ResaFreddo, ResaCaldo, PortataAria };

bool valore(const fancoil& model, Grandezza g, double& v)
{
    const int ref = Stato.VeloCalcolo;
    switch (g) {
    case Grandezza::ResaFreddo:
        v = model.ResaTotW[ref];
        return !model.NonCalcolatoFreddo[ref];
    case Grandezza::ResaCaldo:
        v = model.ResaCaldoW[ref];
        return !model.NonCalcolatoCaldo[ref];
    case Grandezza::PortataAria:
        v = model.PortataAriaEff[ref];
        return true;
    }
    return false;
}

// Unticks every item and ticks the largest value not above Richiesta and
// the smallest above it; on equal values the first item wins, and a value
// of 0 or less is never the lower one. With aria, every item's air side is
// computed first, ticked or not.
void marcaCoppia(double Richiesta, Grandezza g)
{
    IMainWindowLink& mw = fc::MainWindow();
    double below = 0, above = 1e9;
    int itemBelow = -1, itemAbove = -1;
    const int count = mw.ModelCount();
    for (int i = 0; i < count; ++i) {
        mw.SetModelChecked(i, false);
        fancoil* model = modelloDi(i, mw.ModelText(i));
        if (!model)
            continue;
        if (g == Grandezza::PortataAria)
            calcolaLatoAria(*model);
        double v = 0;
        if (!valore(*model, g, v))
            continue;
        if (v <= Richiesta && v > below) {
            below = v;
            itemBelow = i;
        } else if (v > Richiesta && v < above) {
            above = v;
            itemAbove = i;
        }
    }
    if (below > 0 && itemBelow >= 0)
        mw.SetModelChecked(itemBelow, true);
    if (above < 1e9 && itemAbove >= 0)
        mw.SetModelChecked(itemAbove, true);
}

void spuntaTutti()
{
    IMainWindowLink& mw = fc::MainWindow();
    const int count = mw.ModelCount();
    for (int i = 0; i < count; ++i)
        mw.SetModelChecked(i, true);
}

} // namespace

QString chiaveModello(const QString& itemText)
{
    // A name longer than the 20-character column runs on up to the two
    // blanks before the pressure columns; it is taken whole when a model
    // has it, so that two names alike in their first 19 characters stay
    // apart.
    const QChar blank(QLatin1Char(' '));
    if (itemText.size() > 19 && itemText[19] != blank) {
        const int gap = itemText.indexOf(QLatin1String("  "), 19);
        const QString whole = (gap < 0 ? itemText : itemText.left(gap)).trimmed();
        if (ListaMacchine.IndexOf(whole) >= 0)
            return whole;
    }
    return QStringView(itemText).left(19).trimmed().toString();
}

void calcolaLatoAria(fancoil& model)
{
    for (int s = primaVelocita(); s <= 3; ++s) {
        if (Stato.PressioneStatica > 0)
            calcolaPortataAria(model, s, pressioneLimitata(model, s));
        else
            model.PortataAriaEff[s] = model.QA[s][1];
    }
}

void calcolaRaffreddamento() { perOgniSpuntato(raffredda); }

void calcolaRiscaldamento() { perOgniSpuntato(riscalda); }

void calcolaSoloAria() { perOgniSpuntato(calcolaLatoAria); }

void verificaCaldoDaFreddo()
{
    perOgniSpuntato([](fancoil& model) {
        const int ref = Stato.VeloCalcolo;
        iniziaCaldo(model);
        for (int s = primaVelocita(); s <= 3; ++s)
            calcolaCaldoPDC(model, s, model.PerditaFreddo[ref]);
        // The mean of the two flows means nothing when either is missing.
        if (model.NonCalcolatoFreddo[ref] || model.NonCalcolatoCaldo[ref]) {
            nonCalcolatoCaldo(model);
            return;
        }
        const double Fm = (model.PortataCaldo[ref] + model.PortataFreddo[ref]) / 2;
        iniziaCaldo(model);
        for (int s = primaVelocita(); s <= 3; ++s)
            calcolaCaldoPortata(model, s, Fm);
    });
}

void verificaFreddoDaCaldo()
{
    perOgniSpuntato([](fancoil& model) {
        const int ref = Stato.VeloCalcolo;
        iniziaFreddo(model);
        for (int s = primaVelocita(); s <= 3; ++s)
            calcolaFreddoPDC(model, s, model.PerditaCaldo[ref]);
        if (model.NonCalcolatoCaldo[ref] || model.NonCalcolatoFreddo[ref]) {
            nonCalcolatoFreddo(model);
            return;
        }
        const double Fm = (model.PortataCaldo[ref] + model.PortataFreddo[ref]) / 2;
        iniziaFreddo(model);
        for (int s = primaVelocita(); s <= 3; ++s)
            calcolaFreddoPortata(model, s, Fm);
    });
}

void selezionaPerResaFreddo(double Richiesta)
{
    spuntaTutti();
    calcolaRaffreddamento();
    marcaCoppia(Richiesta, Grandezza::ResaFreddo);
}

void selezionaPerResaCaldo(double Richiesta)
{
    spuntaTutti();
    calcolaRiscaldamento();
    marcaCoppia(Richiesta, Grandezza::ResaCaldo);
}

void selezionaPerPortataAria(double Richiesta) { marcaCoppia(Richiesta, Grandezza::PortataAria); }

void marcaPerResaFreddo(double Richiesta) { marcaCoppia(Richiesta, Grandezza::ResaFreddo); }

void marcaPerResaCaldo(double Richiesta) { marcaCoppia(Richiesta, Grandezza::ResaCaldo); }
