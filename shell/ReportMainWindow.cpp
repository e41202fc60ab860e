// The main window's controls as report inputs. Controls are found by their
// layout names, so that this needs nothing of the main window but its
// widgets and its link to the engine.
#include "ReportMainWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "ClientData.h"
#include "components/OvNumEdit.h"
#include "platform/RadioGroup.h"
#include "reports/Reports.h"
#include "reports/UnitPreview.h"

namespace {

template <class W>
W* child(TDodedaVO& main, const char* name)
{
    return main.findChild<W*>(QLatin1String(name));
}

bool checked(TDodedaVO& main, const char* name)
{
    if (auto* c = child<QCheckBox>(main, name))
        return c->isChecked();
    if (auto* r = child<QRadioButton>(main, name))
        return r->isChecked();
    return false;
}

double value(TDodedaVO& main, const char* name)
{
    auto* e = child<TOvNumEdit>(main, name);
    return e ? double(e->Value()) : 0.0;
}

QString text(TDodedaVO& main, const char* name)
{
    if (auto* l = child<QLabel>(main, name))
        return l->text();
    if (auto* e = child<QLineEdit>(main, name))
        return e->text();
    return QString();
}

} // namespace

TReportInputs leggiReportInputs(TDodedaVO& main)
{
    TReportInputs in;
    for (int i = 0; i < main.ModelCount(); ++i)
        if (main.ModelChecked(i))
            in.ModelliSpuntati << main.ModelText(i);
    in.Versione = main.VersionText();
    in.DescVersione = text(main, "DescVersione");
    in.CaptionRif = text(main, "Rif");
    in.Riferimento = text(main, "Riferimento");
    TReportPrezzi& p = in.Prezzi;
    p.CheckListino = checked(main, "CheckListino");
    p.CheckSconto = checked(main, "CheckSconto");
    p.CheckMoltiplica = checked(main, "CheckMoltiplica");
    p.CheckNetto = checked(main, "CheckNetto");
    p.Sconto = checked(main, "Sconto");
    p.moltiplicatore = checked(main, "moltiplicatore");
    p.Sconto1 = value(main, "Sconto1");
    p.Sconto2 = value(main, "Sconto2");
    p.Sconto3 = value(main, "Sconto3");
    p.Moltip = value(main, "Moltip");
    if (auto* g = child<TRadioGroup>(main, "TipoReport"))
        in.TipoReport = g->ItemIndex();
    in.Lingua = main.Language1;
    return in;
}

bool costruisciReport(TDodedaVO& main, TFormPrew& form)
{
    form.Lingua = main.Language1;
    form.TestoRiferimento = [&main] { return text(main, "Riferimento"); };
    return costruisciReport(leggiReportInputs(main), form);
}

void preparaReport(TDodedaVO& main, TFormPrew& form)
{
    const auto* g = child<TRadioGroup>(main, "TipoReport");
    preparaReport(form, g ? g->ItemIndex() : 0);
}
