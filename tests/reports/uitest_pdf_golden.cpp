// The three selection reports exported to PDF against checked-in files,
// byte for byte (the two dates masked): the export is a pure function of the
// report, so any change of layout, numbers or object order shows up here.
// FC_UPDATE_GOLDEN=1 rewrites the files.
#include "ReportsFixture.h"
#include "pdf/BatchPdf.h"
#include "pdf/PdfImages.h"
#include "platform/Random.h"
#include "tests/pdf/PdfTestSupport.h"

using namespace rtest;

namespace {

class PdfGolden : public ReportsTest {
protected:
    PdfGolden()
    {
        fc::pdf::RegisterPdfClasses();
        // The logos every report heads its pages with.
        for (const char* logo : {"imgs/MiniLogo.bmp", "imgs/MiniLogo1.bmp"})
            pf.write(QLatin1String(logo), fc::test::readFile(sourceData(QLatin1String(logo))));
        in.Riferimento = QStringLiteral("Uffici (piano 2) \\ lato nord");
    }

    void compare(const QString& name)
    {
        fc::SetRandSeed(0);
        const QString file = pf.file(QStringLiteral("out.pdf"));
        ExportReportToPdf(rep(), file);
        fc::test::ExpectGoldenPdf(fc::test::readFile(file),
                                  fc::test::testDataDir() + QStringLiteral("data/pdf/") + name);
    }
};

TEST_F(PdfGolden, OneSpeedTableOfThirtyModels)
{
    models(30);
    Stato.VeloCalcolo = 2;
    in.Prezzi.CheckListino = true;
    ASSERT_TRUE(reportUnaVelocita(in, form));
    compare(QStringLiteral("Rep1Vel-30.pdf"));
}

TEST_F(PdfGolden, NineColumnTableOfFortyModels)
{
    models(40);
    model(7).Descr = QStringLiteral("Ventilconvettore \"slim\" da incasso a soffitto, con plenum di ripresa");
    in.Prezzi.CheckListino = in.Prezzi.CheckNetto = true;
    ASSERT_TRUE(reportTreVelocita(in, form));
    compare(QStringLiteral("Rep9Col-40.pdf"));
}

TEST_F(PdfGolden, PanelOfFiveModelsWithLogosOnEveryPage)
{
    models(5);
    Stato.VeloCalcolo = 1;
    for (int s = 1; s <= 3; ++s)
        Stato.PressioneDisponibile[s] = 50;
    in.Prezzi.CheckListino = in.Prezzi.CheckMoltiplica = true;
    ASSERT_TRUE(reportPannello(in, form));
    compare(QStringLiteral("RepPann-5.pdf"));
}

TEST_F(PdfGolden, HeatingOnlyPanelOfTwoModels)
{
    models(2);
    Stato.TipoCalcolo = u'C';
    Stato.ModoCalcolo = 1;
    ASSERT_TRUE(reportPannello(in, form));
    compare(QStringLiteral("RepPann-heating-2.pdf"));
}

} // namespace
