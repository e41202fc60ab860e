#pragma once
// A program folder with the three templates, Italian separators, and a
// catalogue of models whose results are set in code.
#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

#include "engine/Catalogo.h"
#include "engine/Records.h"
#include "platform/Dialogs.h"
#include "report/ARRep.h"
#include "report/ARUserRep.h"
#include "reports/ReportInputs.h"
#include "reports/ReportFrame.h"
#include "reports/Reports.h"
#include "reports/UnitPreview.h"
#include "tests/support/TestSupport.h"


namespace rtest {

inline QString sourceData(const QString& name)
{
    return fc::test::testDataDir() + QStringLiteral("../../data/") + name;
}

// Model k (1-based): every value derived from k and the speed, so that a
// cell shows which model and speed it came from.
inline std::unique_ptr<fancoil> makeModel(int k)
{
    auto m = std::make_unique<fancoil>();
    m->Tipo = QStringLiteral("Serie T");
    m->Descr = QStringLiteral("Ventilconvettore da parete");
    m->Impianto = QStringLiteral("2 tubi");
    m->Modello = QStringLiteral("FC-%1").arg(k, 2, 10, QLatin1Char('0'));
    m->NumVelocita = 3;
    for (int s = 1; s <= 3; ++s) {
        m->AssElettr[s] = 20 * k + s;
        m->CorrAss[s] = 0.1 * k + 0.01 * s;
        m->PortataAriaEff[s] = 100 * k + 10 * s;
        m->LivSondBA[s] = 30 + s;
        m->LivSonNC[s] = 20 + s;
        m->LivSonNR[s] = 25 + s;
        m->TIngFreddo[s] = 7;
        m->TUscFreddo[s] = 12 + 0.1 * s;
        m->PortataFreddo[s] = 300 * k + s;
        m->PerditaFreddo[s] = 10 + 0.1 * s;
        m->ResaTotW[s] = 1000 * k + s;
        m->ResaTotKcal[s] = 860 * k + s;
        m->ResaSensW[s] = 700 * k + s;
        m->ResaSensKcal[s] = 600 * k + s;
        m->TIngCaldo[s] = 50;
        m->TUscCaldo[s] = 40 + 0.1 * s;
        m->PortataCaldo[s] = 200 * k + s;
        m->PerditaCaldo[s] = 5 + 0.1 * s;
        m->ResaCaldoW[s] = 2000 * k + s;
        m->ResaCaldoKcal[s] = 1720 * k + s;
        for (int i = 1; i <= 8; ++i)
            m->PSA[s][i] = 10 * s + 5 * (i - 1); // first point 10 s, last 10 s + 35
    }
    return m;
}

inline std::unique_ptr<vers> makeVersion(const QString& model, const QString& code, double price)
{
    auto v = std::make_unique<vers>();
    v->Modello = model;
    v->CodiceVersione = code;
    v->DescrizioneVersione = code + QStringLiteral(" desc");
    v->Lunghezza = 1000;
    v->Larghezza = 220;
    v->Spessore = 600;
    v->Peso = 18.4;
    v->PrezzoListino = price;
    return v;
}

class ReportsTest : public ::testing::Test {
protected:
    ReportsTest() : seps(u',', u'.')
    {
        ResetEngineRecords();
        ListaMacchine.Clear();
        ListaVersioni.Clear();
        for (const char* t : {"Rep1Vel.AR", "Rep9Col.AR", "RepPann.AR"})
            pf.write(QLatin1String(t), fc::test::readFile(sourceData(QLatin1String(t))));
        Stato.TipoCalcolo = u'T';
        Stato.NumVelocita = 3;
        Stato.ModoCalcolo = 2;
        Stato.VeloCalcolo = 3;
        Stato.TBSFreddo = 27;
        Stato.TBUFreddo = 19;
        Stato.URFreddo = 47.5;
        Stato.TempAriaCaldo = 20;
        Stato.Glicoperc = 0;
        Stato.Altitud = 0;
        for (int s = 1; s <= 3; ++s)
            Stato.PressioneDisponibile[s] = 30;
        RigheFirm = QStringList{"Ditta", "Via Roma 1", "Milano", "unused"};
        RigheDealer = QStringList{"Rivenditore", "Via Po 2", "Torino"};
        in.Versione = QStringLiteral("V1");
        in.DescVersione = QStringLiteral("Verticale");
        in.CaptionRif = QStringLiteral("Riferimento:");
    }
    ~ReportsTest() override
    {
        ListaMacchine.Clear();
        ListaVersioni.Clear();
        ResetEngineRecords();
    }

    // Models 1..n in the catalogue and ticked, each with version V1 (and a
    // V2 listed first, which must lose to the chosen V1).
    void models(int n)
    {
        for (int k = 1; k <= n; ++k) {
            auto m = makeModel(k);
            const QString name = m->Modello;
            ListaVersioni.Add(name, makeVersion(name, QStringLiteral("V2"), 1.0));
            ListaVersioni.Add(name, makeVersion(name, QStringLiteral("V1"), 100.0 * k));
            ListaMacchine.Add(name, std::move(m));
            // Item texts carry the model name in their first 19 characters.
            in.ModelliSpuntati << name.leftJustified(19, u' ') + QStringLiteral("   120 Pa");
        }
    }
    // The catalogue and the ticked list again, with models 1..n only.
    void onlyModels(int n)
    {
        ListaMacchine.Clear();
        ListaVersioni.Clear();
        in.ModelliSpuntati.clear();
        models(n);
    }
    fancoil& model(int k) { return *ListaMacchine.Objects(k - 1); }

    TARRep& rep() { return *form.UserRep->Rep(); }
    // Bands of the filled report with that name, in order.
    std::vector<TARBand*> bands(const QString& name)
    {
        std::vector<TARBand*> out;
        for (int i = 0; i < rep().BandCount(); ++i)
            if (rep().GetBand(i)->Name() == name)
                out.push_back(rep().GetBand(i));
        return out;
    }
    QStringList bandNames()
    {
        QStringList out;
        for (int i = 0; i < rep().BandCount(); ++i)
            out << rep().GetBand(i)->Name();
        return out;
    }
    static QString cell(TARBand* b, int i) { return b && b->GetCell(i) ? b->GetCell(i)->S() : QStringLiteral("<none>"); }
    static bool bold(TARBand* b, int i) { return b && b->GetCell(i) && (b->GetCell(i)->FontStyle() & fsBold); }
    // Indexes of the bands that start a new page.
    std::vector<int> pageBreaks()
    {
        std::vector<int> out;
        for (int i = 0; i < rep().BandCount(); ++i)
            if (rep().GetBand(i)->BandState & arbsPageBreak)
                out.push_back(i);
        return out;
    }

    fc::test::ScopedProgramFolder pf;
    fc::test::ScopedSeparators seps;
    ScopedScriptedDialogs dialogs;
    TReportInputs in;
    TFormPrew form;
};

} // namespace rtest
