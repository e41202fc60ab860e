// Page validation into Stato, the limits of the inputs, and the completion
// of the air and water triads while the user types.
#include <algorithm>
#include <cmath>

#include "ClientData.h"
#include "components/Lang.h"
#include "components/OvNumEdit.h"
#include "components/OvSuperSpin.h"
#include "engine/Correzioni.h"
#include "engine/Psicrometria.h"
#include "engine/Records.h"
#include "platform/CheckListBox.h"
#include "platform/ComboBox.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/Numbers.h"
#include "platform/PageControl.h"
#include "platform/RadioGroup.h"
#include "ui_TDodedaVO.h"

namespace {

enum Page { pOperazioni = 0, pParametri = 1, pRiscaldamento = 2, pCondizionamento = 3 };

bool entro(int which, double value) { return Limiti[which].Min <= value && value <= Limiti[which].Max; }

// A zero counts as not given, unless it is a value its pair allows (a wet
// bulb of 0 degC).
bool dato(int which, double value) { return value != 0 || entro(which, value); }

// The modes whose heating rating takes the inlet and outlet from the
// heating page: all but cooling only, and the two-pipe heating check, which
// takes the outlet from the cooling side's pressure drop.
bool caldoHaTemperature()
{
    switch (Stato.ModoCalcolo) {
    case 1:
    case 2:
    case 4:
        return true;
    case 3:
        return Stato.TipoImpianto == QLatin1String("4");
    default:
        return false;
    }
}

bool freddoHaTemperature()
{
    switch (Stato.ModoCalcolo) {
    case 0:
    case 2:
    case 3:
        return true;
    case 4:
        return Stato.TipoImpianto == QLatin1String("4");
    default:
        return false;
    }
}

// The side is rated from its own inlet and outlet temperatures, in any
// operation.
bool latoConTemperature(bool caldo)
{
    if (caldo)
        return Stato.DatiInRiscalda == 0 && caldoHaTemperature();
    return Stato.DatiInRaffredda == 0 && freddoHaTemperature();
}

const QString kIngresso = QStringLiteral("Errore Temperatura Ingresso Acqua");
const QString kUscita = QStringLiteral("Errore Temperatura Uscita Acqua");
const QString kDelta = QStringLiteral("Errore Delta Temperaure Acqua");
const QString kSecco = QStringLiteral("Errore Temperatura Bulbo Secco");
const QString kUmido = QStringLiteral("Errore Temperatura Bulbo Umido");
const QString kUmidita = QStringLiteral("Errore Umidità Relativa");
const QString kResaRichiesta = QStringLiteral("Inserire il valore della resa richiesta");
const QString kPortataRichiesta = QStringLiteral("Inserire il valore della portata acqua richiesta");
const QString kPdcRichiesta = QStringLiteral("Inserire il valore della PDC acqua richiesta");

} // namespace

void TDodedaVO::mostraMessaggio(const QString& italiano)
{
    fc::ShowMessage(QStringLiteral(" "), Language1->Msg(italiano));
}

bool TDodedaVO::campoVuoto(const TOvNumEdit* e)
{
    // Nothing but blanks, signs and separators: the field is empty, not a
    // number of its own.
    const QString t = e->text();
    return std::all_of(t.begin(), t.end(), [](QChar c) {
        return c == u' ' || c == u'-' || c == u'+' || c == u',' || c == u'.' || c == fc::DecimalSeparator() ||
               c == fc::ThousandSeparator();
    });
}

bool TDodedaVO::leggiNumero(const TOvNumEdit* e, double& v, bool intero)
{
    // An emptied field reads 0.
    if (campoVuoto(e)) {
        v = 0;
        return true;
    }
    const QString text = fc::CleanText(e->text());
    if (intero) {
        int i = 0;
        if (!fc::TryStrToInt(text, i))
            return false;
        v = i;
        return true;
    }
    return fc::TryStrToFloat(text, v) && std::isfinite(v);
}

bool TDodedaVO::leggiNelCampo(const TOvNumEdit* e, double& v, bool intero)
{
    double x = 0;
    if (!leggiNumero(e, x, intero))
        return false;
    if (e->LimitsSet() && !(double(e->MinValue()) <= x && x <= double(e->MaxValue())))
        return false;
    v = x;
    return true;
}

double TDodedaVO::valoreCampo(const TOvNumEdit* e, bool intero)
{
    double v = 0;
    if (leggiNumero(e, v, intero))
        return v;
    const QString text = fc::CleanText(e->text());
    if (intero)
        throw EConvertError::NotInteger(text);
    throw EConvertError::NotFloat(text);
}

bool TDodedaVO::leggiIntero(TOvNumEdit* e, int& dest, const QString& message, bool& ok)
{
    // A whole number within the field's limits, as the run reads it; else
    // the field's own message, and the value of before stays.
    double v = 0;
    if (leggiNelCampo(e, v, true)) {
        dest = int(v);
        return true;
    }
    mostraMessaggio(message);
    focusCampo(e, false);
    ok = false;
    return false;
}

bool TDodedaVO::pdcRichiesta(const TOvNumEdit* e, double value)
{
    return value > 0 && (!e->LimitsSet() || value <= double(e->MaxValue()));
}

void TDodedaVO::focusCampo(QWidget* w, bool parametri)
{
    if (parametri)
        ui->ControllaPagine->SetActivePage(ui->Parametri);
    if (w->isEnabled() && w->isVisibleTo(this))
        w->setFocus(Qt::OtherFocusReason);
}

bool TDodedaVO::controllaLimite(int which, double value)
{
    static const char* const messages[11] = {
        nullptr,
        "Errore Temperatura Ingresso Acqua",
        "Errore Temperatura Uscita Acqua",
        "Errore Delta Temperaure Acqua",
        "Errore Temperatura Bulbo Secco",
        "Errore Temperatura Ingresso Acqua",
        "Errore Temperatura Uscita Acqua",
        "Errore Delta Temperaure Acqua",
        "Errore Temperatura Bulbo Secco",
        "Errore Umidità Relativa",
        "Errore Temperatura Bulbo Umido",
    };
    if (which < 1 || which > 10)
        return false;
    if (entro(which, value))
        return true;
    mostraMessaggio(QString::fromUtf8(messages[which]));
    return false;
}

void TDodedaVO::regolaLimitiGlicole()
{
    double perc = Stato.Glicoperc;
    leggiNumero(ui->Glicoperc, perc);
    const double min = fc::Round(perc) < 1 ? 0 : -10;
    Limiti[5].Min = min;
    Limiti[6].Min = min;
}

bool TDodedaVO::validaPagina(int pageTag)
{
    Ui::TDodedaVO& f = *ui;
    bool ok = true;
    double v = 0;
    switch (pageTag) {
    case pOperazioni:
        Stato.Operazione = f.Operazione->ItemIndex();
        Stato.Famiglia = f.ListaFamiglie->Text();
        if (Stato.Famiglia.isEmpty()) {
            mostraMessaggio(QStringLiteral("Per favore selezionare una famiglia"));
            focusCampo(f.ListaFamiglie, false);
            ok = false;
        }
        if (!f.ListaImpianti->Text().isEmpty()) {
            Stato.TipoImpianto = f.ListaImpianti->Text().left(1);
        } else {
            mostraMessaggio(QStringLiteral("Per favore selezionare un tipo di impianto"));
            focusCampo(f.ListaImpianti, false);
            ok = false;
        }
        Stato.ModoCalcolo = f.Calcolo->ItemIndex();
        f.ListaModelli->viewport()->update();
        return ok;

    case pParametri: {
        auto fallisce = [&](const char* message, QWidget* field) {
            mostraMessaggio(QString::fromUtf8(message));
            focusCampo(field, true);
            ok = false;
        };
        Stato.Fluido = f.Fluido->ItemIndex();
        // Glycol share and altitude within their tables (the fields' limits):
        // a value beyond them is no input of the corrections, and it is not
        // taken.
        if (leggiNelCampo(f.Glicoperc, v))
            Stato.Glicoperc = v;
        else
            fallisce("Errore nel valore del Glicole", f.Glicoperc);
        Stato.Altitudine = f.Altitudine->ItemIndex();
        if (leggiNelCampo(f.Altitud, v))
            Stato.Altitud = int(fc::Round(v));
        else
            fallisce("Altitudine inserita errata", f.Altitud);
        Stato.PressioneStatica = f.PressioneStatica->ItemIndex();
        const double pressione = double(f.SpinEditVelocita3->Value());
        for (int s = 1; s <= 3; ++s)
            Stato.PressioneDisponibile[s] = pressione;
        const bool portataAria = leggiNelCampo(f.MetriCubiOra, v);
        if (portataAria)
            Stato.MetriCubiOra = int(fc::Round(v));
        else
            fallisce("Valore della portata aria richiesta errato", f.MetriCubiOra);
        if (portataAria && Stato.Operazione == 2 && Stato.MetriCubiOra <= 0)
            fallisce("Inserire il valore della portata aria richiesta", f.MetriCubiOra);
        Stato.VeloCalcolo = f.VeloCalcolo->ItemIndex() + 1;
        if (!correzioneAltitudine(Stato.Altitud))
            fallisce("Altitudine inserita errata", f.Altitud);
        if (!correzioneGlicole(int(fc::Round(Stato.Glicoperc))))
            fallisce("Errore nel valore del Glicole", f.Glicoperc);
        if (f.ListaModelli->Count() == 0)
            seguiCatalogo();
        if (Stato.Operazione == 0) {
            int checked = 0;
            for (int i = 0; i < f.ListaModelli->Count(); ++i)
                if (f.ListaModelli->Checked(i))
                    ++checked;
            if (checked == 0)
                fallisce("Selezionare almeno un modello", f.ListaModelli);
        }
        return ok;
    }

    case pRiscaldamento: {
        Stato.DatiInRiscalda = f.DatiInRiscalda->ItemIndex();
        Stato.TempAriaCaldo = valoreCampo(f.TempAriaCaldo);
        Stato.TempIngAcquaCaldo = valoreCampo(f.TempIngAcquaCaldo);
        Stato.TempUscAcquaCaldo = valoreCampo(f.TempUscAcquaCaldo);
        Stato.SalTerAcquaCaldo = valoreCampo(f.SalTerAcquaCaldo);
        Stato.PDCCaldo = valoreCampo(f.PDCCaldo);
        const bool portata = leggiIntero(f.PortAcquaRichiesta, Stato.PortAcquaRichiesta, kPortataRichiesta, ok);
        const bool resa = leggiIntero(f.ResaRichCaldoWatt, Stato.ResaRichCaldoWatt, kResaRichiesta, ok);
        leggiIntero(f.ResaRichCaldoKcal, Stato.ResaRichCaldoKcal, kResaRichiesta, ok);
        // The air the heating coil warms: a temperature within its pair.
        if (!controllaLimite(4, Stato.TempAriaCaldo)) {
            focusCampo(f.TempAriaCaldo, false);
            ok = false;
        }
        if (resa && Stato.Operazione == 1 && Stato.ResaRichCaldoWatt <= 0) {
            mostraMessaggio(kResaRichiesta);
            focusCampo(f.ResaRichCaldoWatt, false);
            ok = false;
        }
        if (portata && Stato.DatiInRiscalda == 1 && Stato.PortAcquaRichiesta <= 0) {
            mostraMessaggio(kPortataRichiesta);
            focusCampo(f.PortAcquaRichiesta, false);
            ok = false;
        }
        if (Stato.DatiInRiscalda == 2 && !pdcRichiesta(f.PDCCaldo, Stato.PDCCaldo)) {
            mostraMessaggio(kPdcRichiesta);
            focusCampo(f.PDCCaldo, false);
            ok = false;
        }
        if (!controllaTemperatureAcqua(true))
            return false;
        return ok;
    }

    case pCondizionamento: {
        Stato.DatiInRaffredda = f.DatiInRaffredda->ItemIndex();
        Stato.TBSFreddo = valoreCampo(f.TBSFreddo);
        Stato.TBUFreddo = valoreCampo(f.TBUFreddo);
        Stato.URFreddo = valoreCampo(f.URFreddo);
        Stato.TempIngAcquaFreddo = valoreCampo(f.TempIngAcquaFreddo);
        Stato.TempUscAcquaFreddo = valoreCampo(f.TempUscAcquaFreddo);
        Stato.SalTerAcquaFreddo = valoreCampo(f.SalTerAcquaFreddo);
        Stato.PDCFreddo = valoreCampo(f.PDCFreddo);
        const bool portata =
            leggiIntero(f.PortAcquaRichiestaFreddo, Stato.PortAcquaRichiestaFreddo, kPortataRichiesta, ok);
        const bool resa = leggiIntero(f.ResaRichFreddoWatt, Stato.ResaRichFreddoWatt, kResaRichiesta, ok);
        leggiIntero(f.ResaRichFreddoKcal, Stato.ResaRichFreddoKcal, kResaRichiesta, ok);
        if (resa && Stato.Operazione == 1 && Stato.ResaRichFreddoWatt <= 0) {
            mostraMessaggio(kResaRichiesta);
            focusCampo(f.ResaRichFreddoWatt, false);
            ok = false;
        }
        if (portata && Stato.DatiInRaffredda == 1 && Stato.PortAcquaRichiestaFreddo <= 0) {
            mostraMessaggio(kPortataRichiesta);
            focusCampo(f.PortAcquaRichiestaFreddo, false);
            ok = false;
        }
        if (Stato.DatiInRaffredda == 2 && !pdcRichiesta(f.PDCFreddo, Stato.PDCFreddo)) {
            mostraMessaggio(kPdcRichiesta);
            focusCampo(f.PDCFreddo, false);
            ok = false;
        }
        if (!controllaTemperatureAcqua(false))
            ok = false;
        // The air is checked and completed, but a failure here does not by
        // itself keep the user on the page.
        calcolaCondizioniAria(f.TBSFreddo, f.TBUFreddo, f.URFreddo, 3, kSecco, kUmido, kUmidita);
        // The triad takes a dry bulb of 0 as not given, but the rating
        // cannot: it lies outside the dry bulb's limits. A wet bulb of 0
        // lies inside its own and is rated as it stands; an empty one is
        // no wet bulb.
        if (leggiNumero(f.TBSFreddo, v) && v == 0) {
            mostraMessaggio(kSecco);
            ok = false;
        } else if (campoVuoto(f.TBUFreddo)) {
            mostraMessaggio(kUmido);
            ok = false;
        }
        return ok;
    }

    default:
        return true;
    }
}

bool TDodedaVO::controllaTemperatureAcqua(bool caldo)
{
    if (!latoConTemperature(caldo))
        return true;
    const GruppoAcqua g = gruppoAcqua(caldo);
    calcolaTemperatureAcqua(g.ingresso, g.uscita, g.salto, kIngresso, kDelta, true, caldo ? 0 : 1, 2);
    if (Stato.ErroreCalcolo)
        return false;
    double v = 0;
    if (leggiNumero(g.salto, v) && v == 0) {
        mostraMessaggio(kDelta);
        return false;
    }
    return true;
}

void TDodedaVO::calcolaCondizioniAria(TOvNumEdit* secco, TOvNumEdit* umido, TOvNumEdit* ur, int mode,
                                      const QString& msgSecco, const QString& msgUmido, const QString& msgUr)
{
    Stato.ErroreCalcolo = false;
    double tbs = 0, tbu = 0, rh = 0;
    if (!leggiNumero(secco, tbs)) {
        mostraMessaggio(msgSecco);
        return;
    }
    if (!leggiNumero(umido, tbu)) {
        mostraMessaggio(msgUmido);
        return;
    }
    if (!leggiNumero(ur, rh)) {
        mostraMessaggio(msgUr);
        return;
    }
    // An empty wet bulb is no 0 degC.
    const bool umidoDato = !campoVuoto(umido) && dato(10, tbu);
    switch (mode) {
    case 1:
        if (umidoDato && rh != 0) {
            if (!controllaLimite(10, tbu) || !controllaLimite(9, rh))
                return;
            bool trovato = true;
            const double t = bulboSecco(rh, tbu, &trovato);
            // No dry bulb gives this wet bulb at this humidity: say so
            // rather than write a 0 the page would then refuse.
            if (!trovato) {
                mostraMessaggio(msgSecco);
                return;
            }
            secco->SetValue(t);
        }
        break;
    case 2:
        if (tbs != 0 && rh != 0) {
            if (!controllaLimite(8, tbs) || !controllaLimite(9, rh))
                return;
            umido->SetValue(bulboUmido(rh, tbs));
        }
        break;
    case 3:
        if (tbs != 0 && umidoDato) {
            if (!controllaLimite(8, tbs) || !controllaLimite(10, tbu))
                return;
            ur->SetValue(umiditaRelativa(tbu, tbs));
        }
        break;
    default:
        break;
    }
}

void TDodedaVO::calcolaTemperatureAcqua(TOvNumEdit* ingresso, TOvNumEdit* uscita, TOvNumEdit* salto,
                                        const QString& msgIngresso, const QString& msgSecondo, bool temperature,
                                        int lato, int mode)
{
    Stato.ErroreCalcolo = false;
    double ti = 0, tu = 0, dt = 0;
    if (!leggiNumero(ingresso, ti)) {
        mostraMessaggio(msgIngresso);
        return;
    }
    if (!leggiNumero(uscita, tu) || !leggiNumero(salto, dt)) {
        mostraMessaggio(msgSecondo);
        return;
    }
    if (!temperature)
        return;
    // Pairs of the side: heating 1, 2, 3; cooling 5, 6, 7.
    const int base = lato == 0 ? 1 : 5;
    auto verifica = [&](int pair, double value, const QString& message) {
        if (!entro(pair, value)) {
            mostraMessaggio(message);
            Stato.ErroreCalcolo = true;
        }
    };
    if (mode != 1)
        verifica(base, ti, msgIngresso);
    if (mode != 2)
        verifica(base + 1, tu, msgSecondo);
    if (mode != 3)
        verifica(base + 2, dt, msgSecondo);

    const bool caldo = lato == 0;
    double valore = 0;
    TOvNumEdit* campo = nullptr;
    int pair = 0;
    switch (mode) {
    case 1:
        valore = caldo ? tu + dt : tu - dt;
        campo = ingresso;
        pair = base;
        break;
    case 2:
        valore = caldo ? ti - dt : ti + dt;
        campo = uscita;
        pair = base + 1;
        break;
    case 3:
        valore = caldo ? ti - tu : tu - ti;
        campo = salto;
        pair = base + 2;
        break;
    default:
        return;
    }
    if (entro(pair, valore)) {
        campo->SetValue(valore);
    } else {
        mostraMessaggio(mode == 1 ? msgIngresso : msgSecondo);
        Stato.ErroreCalcolo = true;
    }
}

void TDodedaVO::TBSFreddoEnter()
{
    Ui::TDodedaVO& f = *ui;
    calcolaCondizioniAria(f.TBSFreddo, f.TBUFreddo, f.URFreddo, 1, kSecco, kUmido, kUmidita);
}

void TDodedaVO::TBUFreddoEnter()
{
    Ui::TDodedaVO& f = *ui;
    calcolaCondizioniAria(f.TBSFreddo, f.TBUFreddo, f.URFreddo, 2, kSecco, kUmido, kUmidita);
}

void TDodedaVO::URFreddoEnter()
{
    Ui::TDodedaVO& f = *ui;
    calcolaCondizioniAria(f.TBSFreddo, f.TBUFreddo, f.URFreddo, 3, kSecco, kUmido, kUmidita);
}

void TDodedaVO::completaAcqua(bool caldo, int mode)
{
    const GruppoAcqua g = gruppoAcqua(caldo);
    const TRadioGroup* dati = caldo ? ui->DatiInRiscalda : ui->DatiInRaffredda;
    calcolaTemperatureAcqua(g.ingresso, g.uscita, g.salto, kIngresso, mode == 3 ? kUscita : kDelta,
                            dati->ItemIndex() == 0, caldo ? 0 : 1, mode);
}

void TDodedaVO::TempIngAcquaCaldoExit()
{
    if (latoConTemperature(true))
        completaAcqua(true, 2);
}

void TDodedaVO::SalTerAcquaCaldoExit() { completaAcqua(true, 2); }
void TDodedaVO::TempUscAcquaCaldoExit() { completaAcqua(true, 3); }

void TDodedaVO::TempIngAcquaFreddoExit()
{
    if (latoConTemperature(false))
        completaAcqua(false, 2);
}

void TDodedaVO::SalTerAcquaFreddoExit() { completaAcqua(false, 2); }
void TDodedaVO::TempUscAcquaFreddoExit() { completaAcqua(false, 3); }

bool TDodedaVO::lasciaPagina(int tag)
{
    // The one exit of every page, whichever road leaves it (tab, Avanti,
    // Indietro): leaving Parametri takes the fluid's limits first.
    if (tag == pParametri)
        regolaLimitiGlicole();
    return validaPagina(tag);
}
