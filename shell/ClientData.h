#pragma once
// The main window: the five-page request wizard, the catalogue navigation by
// family, installation type and version, the settings in select.ini and the
// price options. The engine reaches it through IMainWindowLink.

#include <QMainWindow>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "components/ProfGrid.h"
#include "engine/Catalogo.h"
#include "platform/Dataset.h"
#include "platform/MainWindowLink.h"

class TLanguage;
class TOvNumEdit;
class QKeyEvent;
class QTimer;

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
    // The start-up stopped (a catalogue file missing, damaged or without
    // models, or loading failed) after saying why; the program ends.
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
    // Options/Insert Password: the access-code dialog, modal.
    void InsertPassword1Click();
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
    void seguiCatalogo();
    void ListaModelliExit();
    void CheckAllClick();
    void UnCheckAllClick();
    void gestPressioneStatica(int index);
    void PressioneStaticaClick();
    void SpinEditVelocita3Change();
    void SpinEditVelocitaExit(TOvNumEdit* sender);
    // Product pictures, hover preview and the "Archivio" menu.
    void caricaImmagine(const QString& name);
    // caricaImmagine of the family shown in ListaFamiglie (the image window's creation).
    void caricaImmagineFamiglia();
    void visualizzaJpeg(const QString& path);
    void ComboDropDown();
    void ComboDropDown2();
    void ComboCloseUp();
    void ApplicationIdle();
    void ApplicationIdle2();
    void ReportPDFsalvati1Click();
    void Fotoprodotti1Click();
    void Documentazione1Click();
    // The box that bounds a JPEG picture: the hidden image window's width
    // and height, given by ImgsSize once the program connects that window;
    // until then 200 by 160.
    std::function<QSize()> ImgsSize;
    QSize ImgsBox() const;
    // The idle handler the hover preview runs while a list is dropped down.
    std::function<void()> IdleHandler;
    // Where the mouse is on the screen (tests replace it).
    std::function<QPoint()> CursorPos;

    // Page validation and input completion.
    bool controllaLimite(int which, double value);
    void calcolaCondizioniAria(TOvNumEdit* secco, TOvNumEdit* umido, TOvNumEdit* ur, int mode, const QString& msgSecco,
                               const QString& msgUmido, const QString& msgUr);
    void calcolaTemperatureAcqua(TOvNumEdit* ingresso, TOvNumEdit* uscita, TOvNumEdit* salto, const QString& msgIngresso,
                                 const QString& msgSecondo, bool temperature, int lato, int mode);
    void TBSFreddoEnter();
    void TBUFreddoEnter();
    void URFreddoEnter();
    void TempIngAcquaCaldoExit();
    void TempUscAcquaCaldoExit();
    void SalTerAcquaCaldoExit();
    void TempIngAcquaFreddoExit();
    void TempUscAcquaFreddoExit();
    void SalTerAcquaFreddoExit();
    // The water temperatures of a side whose rating uses them: completed and
    // checked; false when the page must not be left.
    bool controllaTemperatureAcqua(bool caldo);
    // Pairs 5 and 6 follow the fluid: 0 degC for water, -10 with glycol.
    void regolaLimitiGlicole();

    // Calculation run and result rows.
    void eseguiCalcolo();
    void CalcolaClick();
    void mostraRaffreddamento();
    void mostraRiscaldamento();
    // Runs when the results are ready for the report chosen on the last
    // page (its TipoReport item); the reports and their preview connect here.
    std::function<void(int tipoReport)> OnRisultatiPronti;
    // Runs when the last page (Calcola) is shown, by any road.
    std::function<void()> OnPaginaCalcola;
    // The text a speed that could not be rated shows in the result rows.
    QString testoNonCalcolato();

    // The result grid's layout; handlers that no control runs: the grid
    // exported to the spreadsheet (Button2) or the word processor (Button3),
    // the three-speed report of the results, and the picture window's menu
    // item, which does nothing.
    void impostaGrigliaRisultati();
    void Button2Click();
    void Button3Click();
    void Button3VelocitaClick();
    void VisualizzaImmagini1Click();

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
    // The trimmed texts of a field over the records of the current view of
    // cdsMacchine, translated when asked, each once (compared without regard
    // to case), in first-seen order.
    QStringList valoriDistinti(const QString& field, bool tradotti);
    QString installationValue() const;
    // descrizioneModello with the version code already read from the box.
    QString descrizioneModello(const fancoil& model, const QString& code) const;
    // ... and with the model's versions already looked up.
    QString descrizioneModello(const fancoil& model, const QString& code, const std::vector<vers*>& versioni) const;
    void showStep(int pageIndex, bool visible);
    static void setFieldsEnabled(const std::vector<QWidget*>& widgets, bool enabled);
    void setSpinValue(long double value);
    void convertCapacity(TOvNumEdit* from, TOvNumEdit* to, bool kcalToWatt);
    void archivioMancante(const QString& detail);
    // Says headline (looked up) and detail, then ends the start-up.
    void caricamentoFallito(const QString& headline, const QString& detail);
    void fermaAvvio();
    void stepCaptionsToTabs();
    void highlightStep(int pageIndex);

    void bindCalcoloEvents();
    void mostraMessaggio(const QString& italiano);
    void focusCampo(QWidget* w, bool parametri);
    bool lasciaPagina(int tag);
    // The water fields of the heating (caldo) or the cooling side, and the
    // controls switched with them.
    struct GruppoAcqua {
        TOvNumEdit *ingresso, *uscita, *salto;
        std::vector<QWidget*> temperature, portata, pdc;
    };
    GruppoAcqua gruppoAcqua(bool caldo) const;
    // The required heating and cooling capacities with their labels.
    std::vector<QWidget*> gruppoResa() const;
    void completaAcqua(bool caldo, int mode);
    void datiInClick(bool caldo);
    // The number a field shows, read without its thousands separators in
    // the system's format; with intero only a whole number. false when the
    // text is no number.
    // A text of blanks, signs and separators alone is an empty field,
    // which reads 0.
    static bool leggiNumero(const TOvNumEdit* e, double& v, bool intero = false);
    static bool campoVuoto(const TOvNumEdit* e);
    // leggiNumero of a value that also lies within the field's limits.
    static bool leggiNelCampo(const TOvNumEdit* e, double& v, bool intero = false);
    // A page's whole-number field into dest; else the field's message,
    // focus on it, ok cleared and false.
    bool leggiIntero(TOvNumEdit* e, int& dest, const QString& message, bool& ok);
    // A required pressure drop: above 0 and within the field's maximum.
    static bool pdcRichiesta(const TOvNumEdit* e, double value);
    // The same where a text that is no number stops what is running with
    // the platform's conversion error.
    static double valoreCampo(const TOvNumEdit* e, bool intero = false);
    void marcaSpuntati();
    void rispuntaMarcati();
    void azzeraMarcheESpunte();
    void hoverPreview(bool versioni);
    void apriArchivio(const QString& folder, const QString& filter, int kind);
    void idleTick();

    std::unique_ptr<Ui::TDodedaVO> ui;
    QTimer* idleTimer_ = nullptr;
    TDataset cdsMacchine_;
    TDataset cdsVersioni_;
    bool archivioMancante_ = false;
    bool spinByCode_ = false;
};
