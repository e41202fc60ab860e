// The calculation run: the water pages read into Stato, the engine's
// ratings and selections in the order of unit type, operation and mode,
// and the result rows; then the chosen report.
#include "ClientData.h"
#include "components/Lang.h"
#include "components/OvNumEdit.h"
#include "engine/Catalogo.h"
#include "engine/Records.h"
#include "engine/Selezione.h"
#include "platform/CheckListBox.h"
#include "platform/Dialogs.h"
#include "platform/Numbers.h"
#include "platform/PageControl.h"
#include "platform/RadioGroup.h"
#include "ui_TDodedaVO.h"

void TDodedaVO::marcaSpuntati()
{
    TCheckListBox* list = ui->ListaModelli;
    for (int i = 0; i < list->Count(); ++i)
        if (list->Checked(i))
            if (fancoil* m = ListaMacchine.Find(chiaveModello(list->ItemText(i))))
                m->selezionato = true;
}

void TDodedaVO::rispuntaMarcati()
{
    TCheckListBox* list = ui->ListaModelli;
    for (int k = 0; k < ListaMacchine.Count(); ++k) {
        const fancoil* m = ListaMacchine.Objects(k);
        if (!m->selezionato)
            continue;
        const QString text = descrizioneModello(*m);
        for (int i = 0; i < list->Count(); ++i)
            if (list->ItemText(i).compare(text, Qt::CaseInsensitive) == 0) {
                list->SetChecked(i, true);
                break;
            }
    }
}

void TDodedaVO::azzeraMarcheESpunte()
{
    for (int k = 0; k < ListaMacchine.Count(); ++k)
        ListaMacchine.Objects(k)->selezionato = false;
    ui->ListaModelli->SetAllChecked(false);
}

void TDodedaVO::eseguiCalcolo()
{
    Ui::TDodedaVO& f = *ui;
    for (int k = 0; k < ListaMacchine.Count(); ++k)
        ListaMacchine.Objects(k)->selezionato = false;
    SGRisultati.SetRowCount(1);

    // The water pages are read again: the user may not have left them since
    // they were last validated.
    Stato.DatiInRaffredda = f.DatiInRaffredda->ItemIndex();
    Stato.TBSFreddo = valoreCampo(f.TBSFreddo);
    Stato.TBUFreddo = valoreCampo(f.TBUFreddo);
    Stato.URFreddo = valoreCampo(f.URFreddo);
    Stato.TempIngAcquaFreddo = valoreCampo(f.TempIngAcquaFreddo);
    Stato.TempUscAcquaFreddo = valoreCampo(f.TempUscAcquaFreddo);
    Stato.PDCFreddo = valoreCampo(f.PDCFreddo);
    Stato.SalTerAcquaFreddo = valoreCampo(f.SalTerAcquaFreddo);
    Stato.PortAcquaRichiestaFreddo = int(valoreCampo(f.PortAcquaRichiestaFreddo, true));
    Stato.ResaRichFreddoWatt = int(valoreCampo(f.ResaRichFreddoWatt, true));
    Stato.ResaRichFreddoKcal = int(valoreCampo(f.ResaRichFreddoKcal, true));

    Stato.DatiInRiscalda = f.DatiInRiscalda->ItemIndex();
    Stato.TempAriaCaldo = valoreCampo(f.TempAriaCaldo);
    Stato.TempIngAcquaCaldo = valoreCampo(f.TempIngAcquaCaldo);
    Stato.TempUscAcquaCaldo = valoreCampo(f.TempUscAcquaCaldo);
    Stato.SalTerAcquaCaldo = valoreCampo(f.SalTerAcquaCaldo);
    Stato.PDCCaldo = valoreCampo(f.PDCCaldo);
    Stato.PortAcquaRichiesta = int(valoreCampo(f.PortAcquaRichiesta, true));
    Stato.ResaRichCaldoWatt = int(valoreCampo(f.ResaRichCaldoWatt, true));
    Stato.ResaRichCaldoKcal = int(valoreCampo(f.ResaRichCaldoKcal, true));

    if (Stato.Operazione == 2)
        selezionaPerPortataAria(valoreCampo(f.MetriCubiOra));

    if (Stato.TipoCalcolo == QLatin1Char('A')) {
        calcolaSoloAria();
        return;
    }

    const bool dueTubi = Stato.TipoImpianto == QLatin1String("2");
    const double Wf = Stato.ResaRichFreddoWatt;
    const double Wc = Stato.ResaRichCaldoWatt;
    if (Stato.Operazione == 0 || Stato.Operazione == 2) {
        switch (Stato.ModoCalcolo) {
        case 0:
            calcolaRaffreddamento();
            mostraRaffreddamento();
            break;
        case 1:
            calcolaRiscaldamento();
            mostraRiscaldamento();
            break;
        case 2:
            calcolaRaffreddamento();
            mostraRaffreddamento();
            calcolaRiscaldamento();
            mostraRiscaldamento();
            break;
        case 3:
            calcolaRaffreddamento();
            mostraRaffreddamento();
            if (dueTubi)
                verificaCaldoDaFreddo();
            else
                calcolaRiscaldamento();
            mostraRiscaldamento();
            break;
        case 4:
            calcolaRiscaldamento();
            mostraRiscaldamento();
            if (dueTubi)
                verificaFreddoDaCaldo();
            else
                calcolaRaffreddamento();
            mostraRaffreddamento();
            break;
        default:
            break;
        }
    } else if (Stato.Operazione == 1) {
        const int modo = Stato.ModoCalcolo;
        if (modo == 0) {
            selezionaPerResaFreddo(Wf);
            mostraRaffreddamento();
        } else if (modo == 1) {
            selezionaPerResaCaldo(Wc);
            mostraRiscaldamento();
        } else if (modo == 2 || (modo == 3 && !dueTubi)) {
            selezionaPerResaFreddo(Wf);
            mostraRaffreddamento();
            marcaSpuntati();
            selezionaPerResaCaldo(Wc);
            mostraRiscaldamento();
            rispuntaMarcati();
        } else if (modo == 3) {
            azzeraMarcheESpunte();
            selezionaPerResaFreddo(Wf);
            marcaSpuntati();
            ui->ListaModelli->SetAllChecked(true);
            verificaCaldoDaFreddo();
            marcaPerResaCaldo(Wc);
            rispuntaMarcati();
            mostraRaffreddamento();
            mostraRiscaldamento();
        } else if (modo == 4) {
            azzeraMarcheESpunte();
            selezionaPerResaCaldo(Wc);
            marcaSpuntati();
            ui->ListaModelli->SetAllChecked(true);
            verificaFreddoDaCaldo();
            marcaPerResaFreddo(Wf);
            rispuntaMarcati();
            mostraRiscaldamento();
            mostraRaffreddamento();
        }
    }

    if (SGRisultati.RowCount() < 2)
        fc::ShowMessage(QStringLiteral(" "), Language1->Msg(QStringLiteral("Nessuna Macchina soddisfa i parametri inseriti")));
}

void TDodedaVO::CalcolaClick()
{
    if (!validaPagina(1))
        return;
    SGRisultati.SetRowCount(1);
    // The water pages the mode shows may have changed since they were left:
    // what the engine rates is checked again, as leaving them would.
    TPageControl* pc = ui->ControllaPagine;
    for (QWidget* page : {static_cast<QWidget*>(ui->Riscaldamento), static_cast<QWidget*>(ui->Condizionamento)})
        if (pc->TabVisible(pc->indexOf(page)) && !validaPagina(pc->indexOf(page))) {
            pc->SetActivePage(page);
            return;
        }
    eseguiCalcolo();
    if (SGRisultati.RowCount() < 2 && Stato.TipoCalcolo != QLatin1Char('A'))
        return;
    // 0 three-speed table, 1 one-speed table, 2 three-speed panel: the
    // reports and their preview window take over from here.
    if (OnRisultatiPronti)
        OnRisultatiPronti(ui->TipoReport->ItemIndex());
}
