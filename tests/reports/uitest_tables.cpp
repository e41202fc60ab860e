// The one-speed and three-speed tables filled from results set in code.
#include <QFile>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>
#include <QImage>
#include <QImageReader>
#include <QProgressBar>

#include "ReportsFixture.h"
#include "pdf/BatchPdf.h"
#include "pdf/PdfImages.h"
#include "components/Lang.h"

using namespace rtest;

namespace {

using Tables = ReportsTest;

TEST_F(Tables, OneSpeedColumnsHeadsAndReferenceSpeed)
{
    models(3);
    Stato.VeloCalcolo = 2;
    in.Riferimento = QStringLiteral("Hotel Nord");
    ASSERT_TRUE(reportUnaVelocita(in, form));
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(rep().BandCount() > 30);
    EXPECT_EQ(form.UserRep->Path(), pf.file("Rep1Vel.AR"));

    // Heads: firm and dealer lines 0-2 joined by CR, then the reference.
    EXPECT_EQ(cell(bands("Intestazione")[0], 1), "Ditta\rVia Roma 1\rMilano");
    EXPECT_EQ(cell(bands("Intestazione1")[0], 1), "Rivenditore\rVia Po 2\rTorino");
    EXPECT_EQ(cell(bands("Riferimento")[0], 0), "Riferimento: Hotel Nord");

    EXPECT_EQ(cell(bands("RigaSerie")[0], 0), "Ventilconvettore da parete");
    EXPECT_EQ(cell(bands("RigaSerie")[1], 0), "Tipo impianto: 2 tubi");
    EXPECT_EQ(cell(bands("RigaSerie")[1], 1), "Serie:  Serie T");
    TARBand* mod = bands("Modelli")[0];
    EXPECT_EQ(cell(mod, 0), "Modello");
    EXPECT_EQ(cell(mod, 2), "FC-01");
    EXPECT_EQ(cell(mod, 4), "FC-03");
    EXPECT_EQ(cell(mod, 5), ""); // columns beyond the page's models stay empty
    EXPECT_EQ(cell(bands("Velocita")[0], 2), "MED");

    // Values at the reference speed, with the Italian separators.
    EXPECT_EQ(cell(bands("FUR")[0], 2), "47,5");
    EXPECT_EQ(cell(bands("TUAFreddo")[0], 1), "°C");
    EXPECT_EQ(cell(bands("TUAFreddo")[0], 3), "12,2");
    EXPECT_EQ(cell(bands("PortAcquaFreddo")[0], 4), "902");
    EXPECT_EQ(cell(bands("RFTOT")[0], 3), "2.002");
    EXPECT_EQ(cell(bands("RFTOT")[1], 3), "1.722");
    EXPECT_EQ(cell(bands("RT")[0], 2), "2.002");
    EXPECT_EQ(cell(bands("PAria")[0], 2), "120");
    EXPECT_EQ(cell(bands("PAria")[0], 1), "m³/h");
    EXPECT_EQ(cell(bands("PSonora")[0], 2), "32");
    EXPECT_EQ(cell(bands("PSonora")[2], 2), "27");
    // Electrical rows at MAX whatever the reference speed.
    EXPECT_EQ(cell(bands("AssEle")[0], 2), "23");
    EXPECT_EQ(cell(bands("CorrAss")[0], 3), "0,23");
    // The chosen version wins over the one listed before it.
    EXPECT_EQ(cell(bands("Versione")[0], 1), "V1");
    EXPECT_EQ(cell(bands("Versione")[0], 2), "Verticale");
    EXPECT_EQ(cell(bands("Peso")[0], 2), "18");
    EXPECT_EQ(cell(bands("Lunghezza")[0], 2), "1.000");
}

TEST_F(Tables, TenModelsMakeTwoPagesWithTheTenthAloneOnTheSecond)
{
    models(10);
    for (auto build : {&reportUnaVelocita, &reportTreVelocita}) {
        SCOPED_TRACE(build == &reportUnaVelocita ? "one-speed" : "three-speed");
        ASSERT_TRUE(build(in, form));
        const std::vector<int> breaks = pageBreaks();
        ASSERT_EQ(breaks.size(), 1u);
        EXPECT_EQ(rep().GetBand(breaks[0])->Name(), "Intestazione");
        ASSERT_EQ(bands("Modelli").size(), 2u);
        const int col0 = build == &reportUnaVelocita ? 2 : 3;
        TARBand* second = bands("Modelli")[1];
        EXPECT_EQ(cell(bands("Modelli")[0], col0 + 8), "FC-09");
        EXPECT_EQ(cell(second, col0), "FC-10");
        EXPECT_EQ(cell(second, col0 + 1), "");
        // Page heads come from the first ticked model on every page.
        EXPECT_EQ(cell(bands("RigaSerie")[2], 0), "Ventilconvettore da parete");
    }
}

TEST_F(Tables, VisibilityOfCoolingAndHeatingGroups)
{
    models(1);
    const QStringList cooling{"Raffreddamento", "FTABS", "FTABU", "FUR", "FTIA", "TUAFreddo", "PortAcquaFreddo",
                              "PDCAcquaFreddo", "RFTOT", "RFSEN"};
    const QStringList heating{"Riscaldamento", "CTABS", "CTIA", "TUACaldo", "PortAcquaCaldo", "PDCAcquaCaldo", "RT"};
    struct Case {
        int modo;
        char16_t tipo;
        bool freddo, caldo;
    } cases[] = {{0, u'T', true, false}, {1, u'T', false, true}, {2, u'T', true, true},
                 {3, u'T', true, true},  {4, u'T', true, true},  {2, u'A', false, false}};
    for (const Case& c : cases) {
        Stato.ModoCalcolo = c.modo;
        Stato.TipoCalcolo = c.tipo;
        for (auto build : {&reportUnaVelocita, &reportTreVelocita}) {
            SCOPED_TRACE(QStringLiteral("modo %1 tipo %2").arg(c.modo).arg(QChar(c.tipo)).toStdString());
            ASSERT_TRUE(build(in, form));
            const QStringList names = bandNames();
            for (const QString& b : cooling)
                EXPECT_EQ(names.contains(b), c.freddo) << b.toStdString();
            for (const QString& b : heating)
                EXPECT_EQ(names.contains(b), c.caldo) << b.toStdString();
            for (const char* b : {"DatiGenerali", "PAria", "PSDisp", "PSonora", "AssEle", "CorrAss", "Spessore"})
                EXPECT_TRUE(names.contains(QLatin1String(b))) << b;
        }
    }
}

TEST_F(Tables, PricesWithDiscountChainMultiplierAndCurrency)
{
    models(2);
    ListaVersioni.Clear();
    ListaVersioni.Add("FC-01", makeVersion("FC-01", "V1", 1234.5));
    ListaVersioni.Add("FC-02", makeVersion("FC-02", "V1", 2000));
    in.Prezzi.CheckListino = in.Prezzi.CheckSconto = in.Prezzi.CheckNetto = true;
    in.Prezzi.Sconto = true;
    in.Prezzi.Sconto1 = 10;
    in.Prezzi.Sconto2 = 0;
    in.Prezzi.Sconto3 = 5;
    DatiGlobali.CambioEuro = 1;
    DatiGlobali.DecimaliValuta = 2;
    ASSERT_TRUE(reportUnaVelocita(in, form));
    EXPECT_EQ(cell(bands("PrListino")[0], 0), "Prezzo Listino");
    EXPECT_EQ(cell(bands("PrListino")[0], 2), "1.234,50");
    EXPECT_EQ(cell(bands("ScontoMolt")[0], 0), "Sconto");
    EXPECT_EQ(cell(bands("ScontoMolt")[0], 1), "%");
    EXPECT_EQ(cell(bands("ScontoMolt")[0], 2), "10+5");
    // 1234.5 x 90 x 100 x 95 / 1,000,000 = 1055.4975
    EXPECT_EQ(cell(bands("PrNetto")[0], 2), "1.055,50");
    EXPECT_EQ(cell(bands("PrNetto")[0], 3), "1.710,00");

    // Multiplier mode, a rate of 2 and whole-number prices.
    in.Prezzi.CheckSconto = false;
    in.Prezzi.CheckMoltiplica = true;
    in.Prezzi.Sconto = false;
    in.Prezzi.moltiplicatore = true;
    in.Prezzi.Moltip = 0.45;
    DatiGlobali.CambioEuro = 2;
    DatiGlobali.DecimaliValuta = 0;
    ASSERT_TRUE(reportTreVelocita(in, form));
    EXPECT_EQ(cell(bands("PrListino")[0], 3), "2.469");
    EXPECT_EQ(cell(bands("ScontoMolt")[0], 0), "Moltiplicatore");
    EXPECT_EQ(cell(bands("ScontoMolt")[0], 2), "x");
    EXPECT_EQ(cell(bands("ScontoMolt")[0], 3), "0,450");
    EXPECT_EQ(cell(bands("PrNetto")[0], 4), "1.800");

    // Neither option ticked: no price bands at all.
    in.Prezzi = TReportPrezzi();
    ASSERT_TRUE(reportUnaVelocita(in, form));
    for (const char* b : {"PrListino", "ScontoMolt", "PrNetto"})
        EXPECT_TRUE(bands(QLatin1String(b)).empty()) << b;
}

// Each discount prints as it was entered and applied, so that the printed
// chain gives the printed net price; the net price rounds on its decimal
// digits (685 x 90 x 100 x 95 / 1,000,000 is exactly 585.675).
TEST_F(Tables, DiscountsPrintAsAppliedAndNetPricesRoundOnTheirDigits)
{
    auto besideLabel = [this](const char* label, int after) {
        for (int i = 0; i < rep().BandCount(); ++i) {
            TARBand* b = rep().GetBand(i);
            for (int j = 0; j + after < b->CellCount(); ++j)
                if (b->GetCell(j)->S() == QLatin1String(label))
                    return b->GetCell(j + after)->S();
        }
        return QStringLiteral("<no %1>").arg(QLatin1String(label));
    };
    const struct {
        double s1, s2, s3, list;
        const char* text;
        const char* net;
    } cases[] = {
        {12.5, 0, 0, 100, "12,5", "87,50"},
        {13.5, 0, 0, 100, "13,5", "86,50"},
        {0.4, 0, 0, 100, "0,4", "99,60"},
        {10, 0, 5, 685, "10+5", "585,68"},
        {10, 2.25, 0, 1000, "10+2,25", "879,75"},
        {0, 0, 0, 1000, "", "1.000,00"},
    };
    DatiGlobali.CambioEuro = 1;
    DatiGlobali.DecimaliValuta = 2;
    in.Prezzi.CheckListino = in.Prezzi.CheckSconto = in.Prezzi.CheckNetto = true;
    in.Prezzi.Sconto = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        onlyModels(1);
        ListaVersioni.Clear();
        ListaVersioni.Add("FC-01", makeVersion("FC-01", "V1", c.list));
        in.Prezzi.Sconto1 = c.s1;
        in.Prezzi.Sconto2 = c.s2;
        in.Prezzi.Sconto3 = c.s3;
        // The first value follows the label, the three-speed table's speed
        // cell and the unit.
        const struct {
            bool (*build)(const TReportInputs&, TFormPrew&);
            int after;
        } reports[] = {{&reportUnaVelocita, 2}, {&reportTreVelocita, 3}, {&reportPannello, 2}};
        for (const auto& r : reports) {
            ASSERT_TRUE(r.build(in, form));
            EXPECT_EQ(besideLabel("Sconto", r.after), QLatin1String(c.text)) << r.after;
            EXPECT_EQ(besideLabel("Prezzo Netto", r.after), QLatin1String(c.net)) << r.after;
        }
    }
}

TEST_F(Tables, ClampedStaticPressureIsPrintedBold)
{
    models(2);
    // Model 1's curve at MAX starts at 30 Pa, model 2's at 40: 30 Pa is
    // below model 2's first point.
    for (int i = 1; i <= 8; ++i)
        model(2).PSA[3][i] = 40 + 5 * (i - 1);
    ASSERT_TRUE(reportUnaVelocita(in, form));
    TARBand* ps = bands("PSDisp")[0];
    EXPECT_EQ(cell(ps, 2), "30");
    EXPECT_FALSE(bold(ps, 2));
    EXPECT_EQ(cell(ps, 3), "40");
    EXPECT_TRUE(bold(ps, 3));

    // Three speeds: 50 Pa is above the last point of MIN only (10 + 35).
    for (int s = 1; s <= 3; ++s)
        Stato.PressioneDisponibile[s] = 50;
    ASSERT_TRUE(reportTreVelocita(in, form));
    const std::vector<TARBand*> b = bands("PSDisp");
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(cell(b[0], 1), "MAX");
    EXPECT_EQ(cell(b[2], 1), "MIN");
    EXPECT_EQ(cell(b[2], 3), "45");
    EXPECT_TRUE(bold(b[2], 3));
    EXPECT_TRUE(bold(b[2], 4));
    EXPECT_FALSE(bold(b[2], 2)); // the unit cell is not touched
    EXPECT_EQ(cell(b[1], 3), "50");
    EXPECT_FALSE(bold(b[1], 3));
    EXPECT_EQ(cell(b[0], 3), "50");
    EXPECT_FALSE(bold(b[0], 3));
}

TEST_F(Tables, ThreeSpeedRowsPerSpeed)
{
    models(2);
    ASSERT_TRUE(reportTreVelocita(in, form));
    const std::vector<TARBand*> t = bands("TUAFreddo");
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(cell(t[0], 0), "Temp.uscita acqua");
    EXPECT_EQ(cell(t[0], 3), "12,3");
    EXPECT_EQ(cell(t[1], 3), "12,2");
    EXPECT_EQ(cell(t[2], 3), "12,1");
    EXPECT_EQ(cell(bands("RFTOT")[0], 4), "2.003");
    EXPECT_EQ(cell(bands("RFTOT")[2], 4), "2.001");
    EXPECT_EQ(cell(bands("PAria")[1], 3), "120");
    EXPECT_EQ(cell(bands("RT")[0], 3), "2.003");
}

TEST_F(Tables, NotRatedSpeedIsShownAsNotRated)
{
    models(2);
    fancoil& m = model(2);
    m.NonCalcolatoFreddo[3] = true;
    m.NonCalcolatoCaldo[1] = true;
    m.ResaTotW[3] = 0;
    m.PortataFreddo[3] = 0;
    ASSERT_TRUE(reportTreVelocita(in, form));
    EXPECT_EQ(cell(bands("RFTOT")[0], 4), "non calc.");
    EXPECT_EQ(cell(bands("RFTOT")[1], 4), "2.002");
    EXPECT_EQ(cell(bands("RFTOT")[0], 3), "1.003");
    EXPECT_EQ(cell(bands("PortAcquaFreddo")[0], 4), "non calc."); // reference speed MAX
    EXPECT_EQ(cell(bands("RT")[2], 4), "non calc.");
    EXPECT_EQ(cell(bands("RT")[0], 4), "4.003");

    // Translated through the main window's language file.
    QFile eng(sourceData("English.lng"));
    ASSERT_TRUE(eng.open(QIODevice::ReadOnly));
    pf.write("English.lng", eng.readAll());
    TLanguage lang;
    lang.SetLanguageFile(pf.file("English.lng"));
    in.Lingua = &lang;
    ASSERT_TRUE(reportUnaVelocita(in, form));
    EXPECT_EQ(cell(bands("RFTOT")[0], 3), "not rated");
    EXPECT_EQ(cell(bands("RFTOT")[0], 0), "Total cooling capacity");
    EXPECT_EQ(cell(bands("Velocita")[0], 2), "MAX");
}

TEST_F(Tables, MissingTemplateTellsTheUserAndBuildsNothing)
{
    models(1);
    QFile::remove(pf.file("Rep1Vel.AR"));
    EXPECT_FALSE(reportUnaVelocita(in, form));
    EXPECT_EQ(dialogs.messages(), QStringList{"File: Rep1Vel.AR not found!"});
    ASSERT_EQ(dialogs.log().size(), 1u);
    EXPECT_EQ(dialogs.log()[0].message.Caption, " ");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(rep().BandCount(), 0);
}

// A damaged template is told with its file name before anything is shown:
// no bands at all, or not the bands the report fills.
TEST_F(Tables, ADamagedTemplateIsToldBeforeAnythingIsShown)
{
    models(2);
    using Build = bool (*)(const TReportInputs&, TFormPrew&);
    const std::pair<const char*, Build> reports[] = {
        {"Rep1Vel.AR", reportUnaVelocita}, {"Rep9Col.AR", reportTreVelocita}, {"RepPann.AR", reportPannello}};
    struct Damage {
        const char* what;
        std::function<QByteArray(const QByteArray&)> spoil;
        const char* tells;
    } damages[] = {
        {"random bytes", [](const QByteArray&) {
             return (QByteArray::fromHex("01fe13") + " BAND" + QByteArray::fromHex("ff00") + "ENDBAND").repeated(50);
         },
         "The template holds no bands"},
        {"empty", [](const QByteArray&) { return QByteArray(); }, "The template holds no bands"},
        {"truncated", [](const QByteArray& b) { return b.left(b.size() / 3); }, "Missing bands: "},
        {"a band renamed",
         [](const QByteArray& b) {
             QByteArray out = b;
             return out.replace("NAME=Versione", "NAME=Versione2");
         },
         "Missing bands: Versione"},
    };
    for (const auto& [file, build] : reports) {
        const QByteArray good = fc::test::readFile(sourceData(QLatin1String(file)));
        for (const Damage& d : damages) {
            SCOPED_TRACE(std::string(file) + ", " + d.what);
            dialogs.clear();
            form.hide();
            pf.write(QLatin1String(file), d.spoil(good));
            EXPECT_FALSE(build(in, form));
            ASSERT_EQ(dialogs.messages().size(), 1) << dialogs.messages().join('|').toStdString();
            const QString text = dialogs.messages().front();
            EXPECT_TRUE(text.startsWith(QStringLiteral("Damaged report template: ") + pf.file(QLatin1String(file))))
                << text.toStdString();
            EXPECT_TRUE(text.contains(QLatin1String(d.tells))) << text.toStdString();
            EXPECT_EQ(dialogs.log()[0].message.Caption, " ");
            EXPECT_FALSE(form.isVisible());
            EXPECT_EQ(rep().BandCount(), 0);
        }
        pf.write(QLatin1String(file), good);
        dialogs.clear();
        EXPECT_TRUE(build(in, form));
        EXPECT_TRUE(dialogs.messages().isEmpty());
    }
}

TEST_F(Tables, LogosOnlyWhenTheirFilesExistAndNoReferenceBandWhenEmpty)
{
    models(1);
    ASSERT_TRUE(reportUnaVelocita(in, form));
    EXPECT_EQ(bands("Intestazione")[0]->GetCell(0)->PictureFileName(), "");
    EXPECT_TRUE(bands("Riferimento").empty());

    QImage logo(60, 20, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    QDir().mkpath(pf.file("imgs"));
    ASSERT_TRUE(logo.save(pf.file("imgs/MiniLogo.bmp"), "BMP"));
    ASSERT_TRUE(reportUnaVelocita(in, form));
    EXPECT_EQ(bands("Intestazione")[0]->GetCell(0)->PictureFileName(), pf.file("imgs/MiniLogo.bmp"));
    EXPECT_EQ(bands("Intestazione1")[0]->GetCell(0)->PictureFileName(), "");
}

// A valid logo larger than the image size limit (a 6000 x 6000 picture
// passes the default one; here the limit is lowered so that a small file
// passes it the same way), or a file that is no picture: the report is
// built with the frame empty, and the message names the file and why.
TEST_F(Tables, ALogoThatDoesNotLoadLeavesItsFrameEmptyAndIsTold)
{
    models(1);
    QDir().mkpath(pf.file("imgs"));
    QImage big(1200, 900, QImage::Format_RGB32);
    big.fill(Qt::red);
    ASSERT_TRUE(big.save(pf.file("imgs/MiniLogo.bmp"), "BMP"));
    {
        QFile f(pf.file("imgs/MiniLogo1.bmp"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BM not really a bitmap");
    }
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(2);
    dialogs.clear();
    const bool built = reportUnaVelocita(in, form);
    QImageReader::setAllocationLimit(limit);
    ASSERT_TRUE(built);
    EXPECT_EQ(dialogs.messages(),
              (QStringList{QStringLiteral("Picture \"%1\": the picture of 1200 x 900 pixels is larger than the image "
                                          "size limit (2 MB)")
                               .arg(pf.file("imgs/MiniLogo.bmp")),
                           QStringLiteral("Picture \"%1\": Bitmap image is not valid").arg(pf.file("imgs/MiniLogo1.bmp"))}));
    EXPECT_EQ(bands("Intestazione")[0]->GetCell(0)->PictureFileName(), "");
    EXPECT_EQ(bands("Intestazione1")[0]->GetCell(0)->PictureFileName(), "");
    EXPECT_FALSE(bands("Modelli").empty());
    // The report goes on to its PDF, its frames empty.
    const QString pdf = pf.file("pdf/Report.pdf");
    QDir().mkpath(pf.file("pdf"));
    fc::pdf::RegisterPdfClasses();
    ExportReportToPdf(*form.UserRep->Rep(), pdf);
    EXPECT_TRUE(fc::test::readFile(pdf).startsWith("%PDF"));
}

TEST_F(Tables, TickedItemsNotInTheCatalogueAreLeftOut)
{
    models(2);
    in.ModelliSpuntati.insert(1, QStringLiteral("XX-99              100 Pa"));
    ASSERT_TRUE(reportUnaVelocita(in, form));
    EXPECT_EQ(cell(bands("Modelli")[0], 3), "FC-02");

    in.ModelliSpuntati = QStringList{QStringLiteral("XX-99")};
    EXPECT_FALSE(reportTreVelocita(in, form));
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(Tables, ReportChoiceFollowsTipoReport)
{
    models(1);
    const char* names[3] = {"Rep9Col.AR", "Rep1Vel.AR", "RepPann.AR"};
    for (int i = 0; i < 3; ++i) {
        in.TipoReport = i;
        ASSERT_TRUE(costruisciReport(in, form));
        EXPECT_EQ(form.UserRep->Path(), pf.file(QLatin1String(names[i])));
    }
}

TEST(Numero, SeparatorsDecimalsAndSignificantDigits)
{
    fc::test::ScopedSeparators it(u',', u'.');
    EXPECT_EQ(fc::reports::Numero(1234.5, 2), "1.234,50");
    EXPECT_EQ(fc::reports::Numero(1234567.891, 0), "1.234.568");
    EXPECT_EQ(fc::reports::Numero(-1234.5, 1), "-1.234,5");
    EXPECT_EQ(fc::reports::Numero(-0.04, 1), "0,0");
    EXPECT_EQ(fc::reports::Numero(0.45, 3), "0,450");
    EXPECT_EQ(fc::reports::Numero(123, 0), "123");
    // 12 significant digits before the fixed decimals.
    EXPECT_EQ(fc::reports::Numero(1234567890.123456, 3), "1.234.567.890,120");
    // Rounded on the 12 digits, not on their binary neighbour: 585.675 and
    // 1.005 are stored a little below, 0.125 exactly.
    const struct {
        double value;
        int decimals;
        const char* text;
    } digits[] = {
        {585.675, 2, "585,68"}, {1.005, 2, "1,01"},   {-1.005, 2, "-1,01"}, {0.125, 2, "0,13"},
        {2.5, 0, "3"},          {999.9996, 3, "1.000,000"}, {0.0004, 3, "0,000"}, {0.0005, 3, "0,001"},
        {1e15, 0, "1.000.000.000.000.000"}, {1.5e-7, 2, "0,00"},  {0, 2, "0,00"},
    };
    for (const auto& d : digits)
        EXPECT_EQ(fc::reports::Numero(d.value, d.decimals), QLatin1String(d.text)) << d.value;
    fc::test::ScopedSeparators en(u'.', u',');
    EXPECT_EQ(fc::reports::Numero(1055.4975, 2), "1,055.50");
}

// The report's number texts for a wide spread of values against the
// checked-in file: every decimals setting, values whose 13th digit is an
// exact half (1234567890.125 and 1000000000005 are doubles exactly),
// computed doubles with 17 digits, carries into a new digit, signed zeros
// and magnitudes from 1e-300 to 1e300.
TEST(Numero, GoldenTable)
{
    fc::test::ScopedSeparators it(u',', u'.');
    std::vector<double> values = {0.0, -0.0, 0.5, -0.5, 2.5, 1.005, 585.675, 999.9996, 9.999999999995,
                                  99999999999.95, 999999999999.5, 1234567890.125, -1234567890.125,
                                  1000000000005.0, 1000000000015.0, 2.0000000000005, 0.1 + 0.2, 1.0 / 3.0,
                                  2.0 / 3.0, 1e-300, 1e300, 123456789012345678.0, 4.35, 0.045, 1e15};
    for (int i = 1; i <= 40; ++i) {
        const double x = double(i) * 1.2345678901234567 / 7.0;
        for (int e = -6; e <= 12; e += 3)
            values.push_back(x * std::pow(10.0, e));
        values.push_back(-x * 100.0);
    }
    QString out;
    for (double v : values) {
        char key[40];
        std::snprintf(key, sizeof key, "%.17g", v);
        out += QStringLiteral("%1 c = %2\n").arg(QLatin1String(key), fc::reports::NumeroComeInserito(v));
        for (int dec : {0, 1, 2, 3, 5, 8, 12, 15})
            out += QStringLiteral("%1 d%2 = %3\n").arg(QLatin1String(key)).arg(dec).arg(fc::reports::Numero(v, dec));
    }
    fc::test::ExpectGoldenText(out, fc::test::testDataDir() + QStringLiteral("data/numero_table.txt"));
}

} // namespace
