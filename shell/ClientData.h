#pragma once
// The main window: the five-page request wizard, the catalogue navigation by
// family, installation type and version, the settings in select.ini and the
// price options. The engine reaches it through IMainWindowLink.

#include <QMainWindow>
#include <QString>
#include <memory>
#include <vector>

#include "components/ProfGrid.h"
#include "engine/Catalogo.h"
#include "platform/Dataset.h"
#include "platform/MainWindowLink.h"

class TLanguage;
class TOvNumEdit;
class QKeyEvent;

namespace Ui {
class TDodedaVO;
}

class TDodedaVO : public QMainWindow, public IMainWindowLink {
    Q_OBJECT
public:
    explicit TDodedaVO(QWidget* parent = nullptr);
    ~TDodedaVO() override;

    // The controls of the layout, by their names.
    Ui::TDodedaVO& form() const { return *ui; }
    TLanguage* Language1 = nullptr;
    // The result grid: laid out hidden, filled by the calculation run.
    TProfGrid SGRisultati;
    // Folder of the executable, ending with "/".
    QString cartellaApp;
    // A catalogue file was missing or unreadable: the start-up stopped.
    bool ArchivioMancante() const { return archivioMancante_; }

    // IMainWindowLink
    TDataset& cdsMacchine() override { return cdsMacchine_; }
    TDataset& cdsVersioni() override { return cdsVersioni_; }
    int ModelCount() const override;
    QString ModelText(int index) const override;
    bool ModelChecked(int index) const override;
    void SetModelChecked(int index, bool checked) override;
    QString VersionText() const override;
    void SetVersionCaption(const QString& caption) override;
    void SetVersionLabelSize(int width, int height) override;
    double WetBulbValue() const override;
    void SetWetBulbValue(double value) override;
    void abilita(QChar tipoCalcolo, int numVelocita) override;

    // Creation and settings.
    void FormCreate();
    void S1Click();
    void SaveDefaults1Click();
    void Quit1Click();
    void Language1BeforeTranslation();
    void Language1Translate(QObject* component, const QString& propertyName, QString& newValue);

    // Catalogue navigation.
    void caricaImpianti();
    void ListaFamiglieChange();
    void ListaImpiantiChange();
    void ListaVersionChange();
    void caricaVersioni(int mode);
    QString descrizioneModello(const fancoil& model) const;
    static QString allineaDestra(const QString& text);
    void aggiornaListaModelli();
    void ListaModelliExit();
    void CheckAllClick();
    void UnCheckAllClick();
    void gestPressioneStatica(int index);
    void PressioneStaticaClick();
    void SpinEditVelocita3Change();
    void SpinEditVelocitaExit(TOvNumEdit* sender);
    // The product picture of a family or family-and-version name.
    void caricaImmagine(const QString& name);

    // Wizard pages and inputs.
    void AvantiClick();
    void IndietroClick();
    void ControllaPagineChanging(bool& allow);
    void ControllaPagineChange();
    void preparaPagina();
    void impostaPagine();
    bool validaPagina(int pageTag);
    void OperazioneClick();
    void CalcoloClick();
    void DatiInRiscaldaClick();
    void DatiInRaffreddaClick();
    void FluidoClick();
    void AltitudineClick();
    void VeloCalcoloClick();
    void ResaRichFreddoKcalExit();
    void ResaRichFreddoWattExit();
    void ResaRichCaldoWattExit();
    void ResaRichCaldoKcalExit();
    void TBSFreddoKeyPress(TOvNumEdit* sender, QChar& key);
    void SalTerAcquaCaldoKeyPress(TOvNumEdit* sender, QChar& key);
    void MainMenu1Change();
    void RiscaldamentoEnter();

    // Prices.
    void impostaPrezzi();
    void ScontoClick();
    void moltiplicatoreClick();
    void ScontoExit(TOvNumEdit* field);

    // The page index of a page Tag and back (tags are the page order).
    int ActivePageTag() const;

    // The paths Language1 translates.
    static QStringList LanguagePaths();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bindEvents();
    void setUpControls();
    void placeModelHeads();
    void applyFamilyFilter(bool withInstallation);
    QString installationValue() const;
    void showStep(int pageIndex, bool visible);
    void setFieldsEnabled(const std::vector<QWidget*>& widgets, bool enabled);
    void setSpinValue(long double value);
    void convertCapacity(TOvNumEdit* from, TOvNumEdit* to, bool kcalToWatt);
    void archivioMancante(const QString& detail);
    void stepCaptionsToTabs();
    void highlightStep(int pageIndex);

    std::unique_ptr<Ui::TDodedaVO> ui;
    TDataset cdsMacchine_;
    TDataset cdsVersioni_;
    bool archivioMancante_ = false;
    bool spinByCode_ = false;
};
