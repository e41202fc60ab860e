#pragma once
// Catalogue objects: one fancoil per model with its nominal data, fan curve
// per speed and the results of the last calculation; one vers per version
// record; the registries that own them; and the loaders that build them from
// the main window's datasets.

#include <QChar>
#include <QHash>
#include <QString>
#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "platform/Array1.h"
#include "platform/Errors.h"

// Speeds 1 "MIN", 2 "MED", 3 "MAX"; a model with k speed records fills
// speeds 4 - k .. 3 and leaves the others zero.
using PerSpeed = Array1<double, 1, 3>;
using PerSpeedInt = Array1<int, 1, 3>;

// A speed's last fan-curve evaluation, kept by calcolaPortataAria with
// everything it was computed from, to the bit.
struct CurvaRicordata {
    bool valida = false;
    std::array<int, 8> QA{};
    std::array<double, 8> PSA{};
    int PortAria = 0;
    double n = 0, m = 0, p = 0, x = 0;
    double FattoreSens = 0, FattoreTot = 0, FattoreCaldo = 0, PortataAriaEff = 0;
    bool trovato = false;
};

// The three speeds' last evaluations, made on a model's first rating: most
// models of a large catalogue are never rated and keep only the pointer. A
// copied model evaluates afresh, which gives the same factors.
class CurveRicordate {
public:
    CurveRicordate() = default;
    CurveRicordate(const CurveRicordate&) {}
    CurveRicordate& operator=(const CurveRicordate&)
    {
        dimentica();
        return *this;
    }
    CurveRicordate(CurveRicordate&&) noexcept = default;
    CurveRicordate& operator=(CurveRicordate&&) noexcept = default;

    CurvaRicordata& operator[](int s)
    {
        if (!speed_)
            speed_ = std::make_unique<std::array<CurvaRicordata, 3>>();
        return (*speed_)[s - 1];
    }
    bool valida(int s) const { return speed_ && (*speed_)[s - 1].valida; }
    void dimentica() { speed_.reset(); }

private:
    std::unique_ptr<std::array<CurvaRicordata, 3>> speed_;
};

class fancoil {
public:
    QString Tipo;      // family, at most 20 characters
    QString Descr;     // description, at most 100
    QString Impianto;  // installation type, at most 24 (the field width)
    QString Modello;   // model name, at most 24 (the field width)
    bool selezionato = false; // picked by the first of two chained selections
    PerSpeedInt AssElettr;    // electrical input per speed
    PerSpeed CorrAss;         // absorbed current, A
    double PDCNomRisc = 0;    // flow coefficient of the heating coil
    double PDCNomRaffr = 0;   // flow coefficient of the cooling coil
    PerSpeedInt PortAria;     // nominal air flow, m3/h
    PerSpeed CoeffResaTerm, CoeffResaFrigTot, CoeffResaFrigSens;
    PerSpeed LivSondBA, LivSonNC, LivSonNR;
    // Results of the last calculation (caricaMacchine sets them back to
    // zero, with selezionato, the air-flow factors and the speeds not rated).
    PerSpeed PortataAriaEff;
    PerSpeed TIngFreddo, TUscFreddo, PortataFreddo, PerditaFreddo;
    PerSpeed ResaTotKcal, ResaTotW, ResaSensKcal, ResaSensW;
    PerSpeed TIngCaldo, TUscCaldo, PortataCaldo, PerditaCaldo;
    PerSpeed ResaCaldoKcal, ResaCaldoW;
    // Fan curve: air flow and static pressure (ascending) of point j of speed s.
    Array1<Array1<int, 1, 8>, 1, 3> QA;
    Array1<Array1<double, 1, 8>, 1, 3> PSA;
    // Air-flow factors of the last fan-curve evaluation.
    PerSpeed FattoreSens, FattoreTot, FattoreCaldo;
    double n = 0, m = 0, p = 0; // exponents of the sensible, total and heating factors
    int NumVelocita = 0;
    QChar TipoCalcolo;
    // Speeds the last cooling or heating run could not rate: the water-side
    // target was out of reach. Their result fields of that side hold 0 and no
    // selection picks the model on them.
    Array1<bool, 1, 3> NonCalcolatoFreddo, NonCalcolatoCaldo;
    // The fan curve's last evaluation per speed (engine/Calcoli.cpp).
    CurveRicordate curvaRicordata;
};

class vers {
public:
    QString Modello;
    QString CodiceVersione;
    QString DescrizioneVersione;
    int FattorePressione = 0;
    int Lunghezza = 0;
    int Larghezza = 0;
    int Spessore = 0;
    double Peso = 0;
    double PrezzoListino = 0;
};

// An unsorted string list that owns its objects, indexed from 0; IndexOf
// compares keys without regard to case. Index errors raise
// "List index out of bounds (%d)".
template <class T>
class TObjectStringList {
public:
    int Count() const { return int(items_.size()); }
    const QString& Strings(int i) const { return at(i).first; }
    T* Objects(int i) const { return at(i).second.get(); }
    int IndexOf(const QString& key) const
    {
        const auto it = exact_.constFind(key);
        return it != exact_.constEnd() ? it.value() : index_.value(key.toCaseFolded(), -1);
    }
    // A key made for the lookup is folded where it stands.
    int IndexOf(QString&& key) const
    {
        const auto it = exact_.constFind(key);
        return it != exact_.constEnd() ? it.value() : index_.value(std::move(key).toCaseFolded(), -1);
    }
    // The object under key (first match), or nullptr.
    T* Find(const QString& key) const { return objectOrNull(IndexOf(key)); }
    T* Find(QString&& key) const { return objectOrNull(IndexOf(std::move(key))); }
    // Changes with every Add and Clear: a lookup kept beside the list is
    // valid while this stays the same.
    quint64 Version() const { return version_; }
    int Add(const QString& key, std::unique_ptr<T> object)
    {
        ++version_;
        items_.emplace_back(key, std::move(object));
        const QString folded = key.toCaseFolded();
        const int first = index_.value(folded, -1);
        if (first < 0)
            index_.insert(folded, Count() - 1);
        if (!exact_.contains(key))
            exact_.insert(key, first < 0 ? Count() - 1 : first);
        return Count() - 1;
    }
    void Clear()
    {
        ++version_;
        items_.clear();
        index_.clear();
        exact_.clear();
    }

private:
    T* objectOrNull(int i) const { return i < 0 ? nullptr : Objects(i); }
    const std::pair<QString, std::unique_ptr<T>>& at(int i) const
    {
        if (i < 0 || i >= Count())
            throw EListError::IndexOutOfBounds(i);
        return items_[size_t(i)];
    }
    std::vector<std::pair<QString, std::unique_ptr<T>>> items_;
    // Case-folded key -> first index with it: the catalogue loader looks
    // every record's model up, which must not grow with the square of the
    // catalogue.
    QHash<QString, int> index_;
    // Key as written -> the same index: most lookups spell a key as it was
    // added and need no folding.
    QHash<QString, int> exact_;
    quint64 version_ = 0;
};

using TListaMacchine = TObjectStringList<fancoil>;
using TListaVersioni = TObjectStringList<vers>;

// Models by Trim(Modello), one per name in order of first appearance.
extern TListaMacchine ListaMacchine;
// Versions by model name, one per version record in stored order.
extern TListaVersioni ListaVersioni;
// The entries of ListaVersioni keyed exactly as model, in stored order; the
// index behind it is rebuilt when the list has changed.
const std::vector<vers*>& VersioniDi(const QString& model);

class TDataset;

// Raises EFileError naming the file, record and field of the first value
// the engine cannot use: a number field without a value, a model's Calcolo
// that is not "1" or "3" followed by A, F, C or T.
void controllaCatalogo(TDataset& macchine, TDataset& versioni);
// The start-up loader: checks the catalogue, then versions, models,
// parameter tables, limits.
void caricaDati();
// caricaDati without the check, for open datasets that controllaCatalogo
// has just passed: the main window's creation checks first, so as to report
// a damaged catalogue before it loads anything, and one pass over a large
// catalogue is enough.
void caricaDatiControllati();
struct TLimite;
// Pair 1..10 of the input limits as the start-up sets them (Limiti in
// Records.h), before the glycol rule moves the cooling-water minima.
TLimite LimiteIniziale(int pair);
// Rebuilds ListaMacchine for the version code in the main window's version box.
void caricaMacchine();
// Fill one object from the current record (records) of the dataset.
void caricaMacchina(fancoil& model, TDataset& ds);
void caricaVelocita(fancoil& model, int speed, TDataset& ds);
void caricaVersione(vers& version, TDataset& ds);
