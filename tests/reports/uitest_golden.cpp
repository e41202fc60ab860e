// Filled reports as text against checked-in golden files: every band with
// its page-break mark and every cell's text (bold marked with *), so that a
// change of a template or a builder shows up cell by cell.
#include <QDir>
#include <QFile>

#include "ReportsFixture.h"

using namespace rtest;

namespace {

using Golden = ReportsTest;

QString dump(const TARRep& rep)
{
    QString out;
    for (int i = 0; i < rep.BandCount(); ++i) {
        const TARBand* b = rep.GetBand(i);
        out += (b->BandState & arbsPageBreak) ? QStringLiteral("== ") : QStringLiteral("   ");
        out += b->Name() + QStringLiteral(":");
        for (int j = 0; j < b->CellCount(); ++j) {
            const TARCell* c = b->GetCell(j);
            QString s = c->S();
            s.replace(u'\r', QStringLiteral("\\r"));
            out += QStringLiteral(" |") + s;
            if (c->FontStyle() & fsBold)
                out += u'*';
        }
        out += u'\n';
    }
    return out;
}

void compare(const TARRep& rep, const QString& name)
{
    const QString path = fc::test::testDataDir() + QStringLiteral("data/") + name;
    const QString got = dump(rep);
    if (qEnvironmentVariableIsSet("FC_UPDATE_GOLDEN")) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(got.toUtf8());
        return;
    }
    const QString want = QString::fromUtf8(fc::test::readFile(path));
    ASSERT_FALSE(want.isEmpty()) << "missing " << path.toStdString();
    const QStringList g = got.split(u'\n'), w = want.split(u'\n');
    for (int i = 0; i < qMax(g.size(), w.size()); ++i)
        ASSERT_EQ(g.value(i).toStdString(), w.value(i).toStdString()) << name.toStdString() << " line " << i + 1;
}

TEST_F(Golden, PanelTwoModelsCoolingAndHeatingWithPrices)
{
    models(2);
    Stato.VeloCalcolo = 2;
    for (int s = 1; s <= 3; ++s)
        Stato.PressioneDisponibile[s] = 50; // above the MIN curve only
    in.Riferimento = QStringLiteral("Hotel Nord");
    in.Prezzi.CheckListino = in.Prezzi.CheckMoltiplica = in.Prezzi.CheckNetto = true;
    in.Prezzi.moltiplicatore = true;
    in.Prezzi.Moltip = 0.5;
    model(2).NonCalcolatoCaldo[1] = true;
    ASSERT_TRUE(reportPannello(in, form));
    compare(rep(), QStringLiteral("RepPann-2models.txt"));
}

TEST_F(Golden, OneSpeedHeatingOnly)
{
    models(2);
    Stato.ModoCalcolo = 1;
    Stato.VeloCalcolo = 1;
    in.Prezzi.CheckSconto = true;
    in.Prezzi.Sconto = true;
    in.Prezzi.Sconto1 = 12.5;
    ASSERT_TRUE(reportUnaVelocita(in, form));
    compare(rep(), QStringLiteral("Rep1Vel-heating.txt"));
}

} // namespace
