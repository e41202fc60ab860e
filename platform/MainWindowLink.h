#pragma once
// What the engine may touch of the main window, and nothing more: the
// catalogue datasets it owns, the model check list, the version box and its
// label, the wet-bulb edit and the call that enables the calculation modes.
// The main window implements it; engine tests use FakeMainWindowLink.

#include <QChar>
#include <QString>
#include <vector>

class TDataset; // platform/Dataset.h

class IMainWindowLink {
public:
    virtual ~IMainWindowLink() = default;

    // The catalogue datasets: models ("Dati.cds") and versions ("Versioni.cds").
    virtual TDataset& cdsMacchine() = 0;
    virtual TDataset& cdsVersioni() = 0;

    // The model check list ListaModelli; items counted from 0.
    virtual int ModelCount() const = 0;
    virtual QString ModelText(int index) const = 0;
    virtual bool ModelChecked(int index) const = 0;
    virtual void SetModelChecked(int index, bool checked) = 0;

    // The version box ListaVersion and its description label DescVersione.
    virtual QString VersionText() const = 0;
    virtual void SetVersionCaption(const QString& caption) = 0;
    virtual void SetVersionLabelSize(int width, int height) = 0;

    // The wet-bulb edit TBUFreddo.
    virtual double WetBulbValue() const = 0;
    virtual void SetWetBulbValue(double value) = 0;

    // TDodedaVO.abilita: enables the calculation modes a unit type allows.
    virtual void abilita(QChar tipoCalcolo, int numVelocita) = 0;
};

namespace fc {
// The installed main window; using it before one is installed is a
// programming error and raises an Exception.
IMainWindowLink& MainWindow();
void SetMainWindow(IMainWindowLink* link);
bool HasMainWindow();
} // namespace fc

// A main window for engine tests: plain fields the test sets and reads.
class FakeMainWindowLink : public IMainWindowLink {
public:
    struct Item {
        QString text;
        bool checked = false;
    };
    struct AbilitaCall {
        QChar tipoCalcolo;
        int numVelocita;
    };

    TDataset* macchine = nullptr;
    TDataset* versioni = nullptr;
    std::vector<Item> models;
    QString versionText;
    QString versionCaption;
    int labelWidth = 0, labelHeight = 0;
    double wetBulb = 0;
    int wetBulbWrites = 0;
    std::vector<AbilitaCall> abilitaCalls;

    TDataset& cdsMacchine() override;
    TDataset& cdsVersioni() override;
    int ModelCount() const override { return int(models.size()); }
    QString ModelText(int index) const override { return models.at(size_t(index)).text; }
    bool ModelChecked(int index) const override { return models.at(size_t(index)).checked; }
    void SetModelChecked(int index, bool checked) override { models.at(size_t(index)).checked = checked; }
    QString VersionText() const override { return versionText; }
    void SetVersionCaption(const QString& caption) override { versionCaption = caption; }
    void SetVersionLabelSize(int width, int height) override
    {
        labelWidth = width;
        labelHeight = height;
    }
    double WetBulbValue() const override { return wetBulb; }
    void SetWetBulbValue(double value) override
    {
        wetBulb = value;
        ++wetBulbWrites;
    }
    void abilita(QChar tipoCalcolo, int numVelocita) override { abilitaCalls.push_back({tipoCalcolo, numVelocita}); }
};

// Installs a FakeMainWindowLink for the lifetime of the object (tests).
class ScopedFakeMainWindow : public FakeMainWindowLink {
public:
    ScopedFakeMainWindow() { fc::SetMainWindow(this); }
    ~ScopedFakeMainWindow() override { fc::SetMainWindow(nullptr); }
};
