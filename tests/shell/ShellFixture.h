#pragma once
// A main window in a program folder of its own, with a few models of the
// demo catalogue (realistic ratings), driven as a user drives it.

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

#include "engine/Catalogo.h"
#include "engine/Records.h"
#include "engine/Selezione.h"
#include "platform/ComboBox.h"
#include "platform/Dialogs.h"
#include "platform/MainWindowLink.h"
#include "platform/PageControl.h"
#include "shell/ClientData.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/TestSupport.h"
#include "ui_TDodedaVO.h"

namespace fc::test {

inline QString dataFile(const QString& name) { return testDataDir() + QStringLiteral("../../data/") + name; }

// The demo catalogue's SQL cut down to the named models (every version of
// them); the parameter table whole.
inline void writeDemoSubset(const ScopedProgramFolder& dir, const QStringList& models)
{
    const QSet<QString> keep(models.begin(), models.end());
    auto subset = [&](const QString& file, int modelField) {
        QString out;
        const QStringList lines = QString::fromUtf8(readFile(dataFile("catalogue/" + file))).split('\n');
        for (const QString& line : lines) {
            if (!line.startsWith(QLatin1String("INSERT"))) {
                out += line + '\n';
                continue;
            }
            // Quoted values in order; the model is the modelField-th.
            const QStringList parts = line.split('\'');
            const int idx = 2 * modelField - 1;
            if (idx < parts.size() && keep.contains(parts[idx]))
                out += line + '\n';
        }
        return out;
    };
    makeDatabase(dir.file("Dati.cds"), subset("Dati.sql", 4));
    makeDatabase(dir.file("Versioni.cds"), subset("Versioni.sql", 1));
    makeDatabase(dir.file("Param.cds"), QString::fromUtf8(readFile(dataFile("catalogue/Param.sql"))));
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetEngineRecords();
        ListaMacchine.Clear();
        ListaVersioni.Clear();
    }
    void TearDown() override
    {
        window.reset();
        fc::SetMainWindow(nullptr);
    }
    // The demo select.ini (27/19 degC air, 7/12 and 70/60 degC water) and
    // the Italian texts, unless english.
    void standardFolder(bool english = false)
    {
        writeDemoSubset(dir, {"VT 10", "VT 20", "VT 30", "VT4 30", "CN 100", "CN 200", "AT 10", "AT 15", "RV 300"});
        QByteArray ini = readFile(dataFile("select.ini"));
        if (english)
            dir.write("English.lng", readFile(dataFile("English.lng")));
        else
            ini.replace("myLang=English.lng", "myLang=none.lng");
        dir.write("select.ini", ini);
    }
    TDodedaVO& open()
    {
        window = std::make_unique<TDodedaVO>();
        window->resize(1060, 640);
        return *window;
    }
    Ui::TDodedaVO& f() { return window->form(); }
    void choose(TComboBox* box, const QString& text)
    {
        const int i = box->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        box->setCurrentIndex(i);
        emit box->activated(i);
    }
    void chooseFamily(const QString& family) { choose(f().ListaFamiglie, family); }
    void chooseInstallation(const QString& text) { choose(f().ListaImpianti, text); }
    void chooseVersion(const QString& code) { choose(f().ListaVersion, code); }
    QString pageName() const { return window->form().ControllaPagine->currentWidget()->objectName(); }
    // The page of that name active, as a tab click would leave it.
    void goTo(const char* page)
    {
        TPageControl* pc = f().ControllaPagine;
        pc->SetActivePage(pc->findChild<QWidget*>(QLatin1String(page)));
        window->preparaPagina();
    }

    // Names of the ticked models of the model list.
    QStringList checkedModels()
    {
        QStringList out;
        for (int i = 0; i < f().ListaModelli->Count(); ++i)
            if (f().ListaModelli->Checked(i))
                out << chiaveModello(f().ListaModelli->ItemText(i));
        return out;
    }
    // The result grid, and its first five columns as text, a row a line.
    TProfGrid& g() { return window->SGRisultati; }
    QString cell(int c, int r) { return g().Cell(c, r).Text(); }
    QString dump()
    {
        QString out;
        for (int r = 0; r < g().RowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < 5; ++c)
                row << cell(c, r);
            out += row.join(" | ") + '\n';
        }
        return out;
    }

    ScopedProgramFolder dir;
    ScopedScriptedDialogs dialogs;
    std::unique_ptr<TDodedaVO> window;
};

} // namespace fc::test
