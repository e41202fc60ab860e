#include "Records.h"

TStato Stato;
globale DatiGlobali;
TLimiti Limiti;
bool UnitaSI = false;
QStringList RigheFirm;
QStringList RigheDealer;

void ResetEngineRecords()
{
    Stato = TStato();
    DatiGlobali = globale();
    Limiti = TLimiti();
    UnitaSI = false;
    RigheFirm.clear();
    RigheDealer.clear();
}
