#include "ClientData.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStyle>
#include <QTextOption>
#include <algorithm>
#include <charconv>
#include <mutex>

#include "Impostazioni.h"
#include "UnitPass.h"
#include "components/Lang.h"
#include "components/OvNumEdit.h"
#include "components/OvSuperSpin.h"
#include "engine/Catalogo.h"
#include "engine/Correzioni.h"
#include "engine/Records.h"
#include "engine/Selezione.h"
#include "platform/Application.h"
#include "platform/AtomicFile.h"
#include "platform/CheckListBox.h"
#include "platform/ComboBox.h"
#include "platform/Components.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/Numbers.h"
#include "platform/PageControl.h"
#include "platform/ProgramFolder.h"
#include "platform/PublishedProperties.h"
#include "platform/RadioGroup.h"
#include "ui_TDodedaVO.h"

namespace {

bool sameFilter(const TFilter& a, const TFilter& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TFilterTerm& x, const TFilterTerm& y) {
        return x.Field == y.Field && x.Value == y.Value;
    });
}

enum Page { pOperazioni = 0, pParametri = 1, pRiscaldamento = 2, pCondizionamento = 3, pCalcola = 4 };

// Prices print in the reports' cells: at most four decimals, and a currency
// factor that keeps a catalogue price within the digits a cell shows (the
// weakest currencies stand at some hundred thousand to the euro).
constexpr int kMaxDecimaliValuta = 4;
constexpr double kMinCambio = 1e-6;
constexpr double kMaxCambio = 1e6;

QString iniLine(const fc::IniFile& ini, const QString& section, const QString& key)
{
    return ini.ReadString(section, key, QStringLiteral(" ")).left(76);
}

// The radio groups, drop-downs and check lists translate through their own
// members, so that a radio group keeps its per-item enabling and runs its
// click handler as it does for code.
void registerWidgetProperties()
{
    static std::once_flag once;
    std::call_once(once, [] {
        fc::RegisterPublishedProperty<TRadioGroup>(fc::StringListProperty(
            QStringLiteral("Items"), [](const QObject* o) { return static_cast<const TRadioGroup*>(o)->Items(); },
            [](QObject* o, const QStringList& v) { static_cast<TRadioGroup*>(o)->SetItems(v); }));
        fc::RegisterPublishedProperty<TRadioGroup>(fc::IntegerProperty(
            QStringLiteral("ItemIndex"), [](const QObject* o) { return static_cast<const TRadioGroup*>(o)->ItemIndex(); },
            [](QObject* o, int v) { static_cast<TRadioGroup*>(o)->SetItemIndex(v); }));
        fc::RegisterPublishedProperty<TComboBox>(fc::StringListProperty(
            QStringLiteral("Items"), [](const QObject* o) { return static_cast<const TComboBox*>(o)->Items(); },
            [](QObject* o, const QStringList& v) { static_cast<TComboBox*>(o)->SetItems(v); }));
        fc::RegisterPublishedProperty<TCheckListBox>(fc::StringListProperty(
            QStringLiteral("Items"), [](const QObject* o) { return static_cast<const TCheckListBox*>(o)->Items(); },
            [](QObject* o, const QStringList& v) { static_cast<TCheckListBox*>(o)->SetItems(v); }));
    });
}

struct NumSetup {
    TOvNumEdit* Ui::TDodedaVO::*field;
    int decimals;
    double min, max;
    int maxLength;
};

} // namespace

QStringList TDodedaVO::LanguagePaths()
{
    static const char* const names[] = {
        "Button1.Caption", "ButtonPreview.Caption", "Operazione.Caption", "Operazione.Items", "Label5.Caption",
        "Label6.Caption", "Calcolo.Caption", "Calcolo.Items", "Fluido.Caption", "Fluido.Items", "Altitudine.Caption",
        "Altitudine.Items", "Altitud1.Text", "PressioneStatica.Caption", "PressioneStatica.Items",
        "lblVelocita1.Caption", "lblVelocita2.Caption", "lblVelocita3.Caption", "lblVelocita4.Caption",
        "lblVelocita5.Caption", "lblMch.Caption", "lblPortAriaRich.Caption", "labelModelli.Caption",
        "VeloCalcolo.Caption", "VeloCalcolo.Items", "label2.Caption", "label3.Caption", "label4.Caption",
        "DatiInRiscalda.Caption", "DatiInRiscalda.Items", "lblTempAria.Caption", "lblTIngAcqua.Caption",
        "lblTUAcqua.Caption", "STAcquaCaldo.Caption", "PortAcqua.Caption", "lblPDCCaldo.Caption",
        "lblResaRich.Caption", "CalcolaCaldo.Caption", "DatiInRaffredda.Caption", "DatiInRaffredda.Items",
        "Label15.Caption", "Label31.Caption", "Label32.Caption", "Label18.Caption", "lblTUAcquaFreddo.Caption",
        "STAcquaFreddo.Caption", "PortAcquaFreddo.Caption", "lblPDCFreddo.Caption", "lblResaRichRaff.Caption",
        "CalcolaFreddo.Caption", "Language2.Caption", "S1.Caption", "File1.Caption", "Quit1.Caption",
        "SaveDefaults1.Caption", "InsertPassword1.Caption", "Archivio1.Caption", "Label8.Caption",
        "Label9.Caption", "Label10.Caption", "Label11.Caption", "Button3Velocita.Caption", "Sconto.Caption",
        "Moltiplicatore.Caption", "edit7.Text", "edit8.Text", "edit9.Text", "CheckListino.Caption",
        "CheckSconto.Caption", "CheckMoltiplica.Caption", "CheckNetto.Caption", "TipoReport.Caption",
        "TipoReport.Items", "BitBtnCalc.Caption", "LabelVers.Caption", "VisualizzaImmagini1.Caption",
        "ReportPDFsalvati1.Caption", "Fotoprodotti1.Caption", "Documentazione1.Caption", "Memo1.Lines",
        "Memo2.Lines", "Memo3.Lines", "Memo4.Lines", "Memo5.Lines", "Label19.Caption", "Label14.Caption",
        "Label12.Caption", "Label23.Caption", "Label24.Caption", "Rif.Caption",
    };
    QStringList paths;
    for (const char* n : names)
        paths << QStringLiteral("DodedaVO.") + QLatin1String(n);
    return paths;
}

TDodedaVO::TDodedaVO(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TDodedaVO>()), cdsMacchine_(fc::MacchineDef()),
      cdsVersioni_(fc::VersioniDef())
{
    registerWidgetProperties();
    ui->setupUi(this);
    setObjectName(QStringLiteral("DodedaVO"));
    fc::AddApplicationComponent(this);

    Language1 = new TLanguage(this);
    Language1->setObjectName(QStringLiteral("Language1"));
    Language1->SetSeparator(QStringLiteral(","));
    Language1->SetProperties(LanguagePaths());

    setUpControls();
    bindEvents();
    bindCalcoloEvents();
    fc::SetMainWindow(this);
    // Whatever stops the loading is told and the program ends: no window
    // opens half loaded.
    try {
        FormCreate();
    } catch (...) {
        fc::ShowCurrentException();
        fermaAvvio();
    }
}

TDodedaVO::~TDodedaVO()
{
    if (fc::HasMainWindow() && &fc::MainWindow() == this)
        fc::SetMainWindow(nullptr);
    fc::RemoveApplicationComponent(this);
}

// ---------------------------------------------------------------------------
// Controls

void TDodedaVO::setUpControls()
{
    Ui::TDodedaVO& f = *ui;
    const NumSetup nums[] = {
        // The glycol and altitude tables' spans.
        {&Ui::TDodedaVO::Glicoperc, 0, kGlicoleMin, kGlicoleMax, 0},
        {&Ui::TDodedaVO::Altitud, 0, kAltitudineMin, kAltitudineMax, 0},
        {&Ui::TDodedaVO::MetriCubiOra, 0, 0, 99999, 5},
        {&Ui::TDodedaVO::TempAriaCaldo, 1, -20, 50, 0},
        {&Ui::TDodedaVO::TempIngAcquaCaldo, 1, 0, 120, 0},
        {&Ui::TDodedaVO::TempUscAcquaCaldo, 1, 0, 120, 0},
        {&Ui::TDodedaVO::SalTerAcquaCaldo, 1, 0, 120, 0},
        {&Ui::TDodedaVO::PortAcquaRichiesta, 0, 0, 999999, 6},
        {&Ui::TDodedaVO::PDCCaldo, 1, 0, 1500, 0},
        {&Ui::TDodedaVO::ResaRichCaldoWatt, 0, 0, 999999, 6},
        {&Ui::TDodedaVO::ResaRichCaldoKcal, 0, 0, 999999, 6},
        {&Ui::TDodedaVO::TBSFreddo, 1, 3, 40, 0},
        {&Ui::TDodedaVO::TBUFreddo, 1, -3, 40, 0},
        {&Ui::TDodedaVO::URFreddo, 1, 5, 95, 0},
        {&Ui::TDodedaVO::TempIngAcquaFreddo, 1, -10, 25, 0},
        {&Ui::TDodedaVO::TempUscAcquaFreddo, 1, -10, 25, 0},
        {&Ui::TDodedaVO::SalTerAcquaFreddo, 1, 0, 0, 0},
        {&Ui::TDodedaVO::PortAcquaRichiestaFreddo, 0, 0, 999999, 6},
        {&Ui::TDodedaVO::PDCFreddo, 1, 0, 1500, 0},
        {&Ui::TDodedaVO::ResaRichFreddoWatt, 0, 0, 999999, 6},
        {&Ui::TDodedaVO::ResaRichFreddoKcal, 0, 0, 999999, 6},
        {&Ui::TDodedaVO::Sconto1, -1, 0, 100, 0},
        {&Ui::TDodedaVO::Sconto2, -1, 0, 100, 0},
        {&Ui::TDodedaVO::Sconto3, -1, 0, 100, 0},
        {&Ui::TDodedaVO::Moltip, 3, 0, 1, 0},
    };
    for (const NumSetup& n : nums) {
        TOvNumEdit* e = f.*(n.field);
        e->SetMaxLength(n.maxLength);
        e->SetDecimals(n.decimals);
        e->SetMaxValue(n.max);
        e->SetMinValue(n.min);
        e->SetValue(0);
    }
    f.Moltip->SetValue(1.0);

    for (TOvSuperSpin* s : {f.SpinEditVelocita1, f.SpinEditVelocita2, f.SpinEditVelocita3}) {
        s->SetDecimals(1);
        s->SetIncrement(1.0);
        s->SetRoundValues(false);
        s->SetWrap(false);
        s->SetValue(0);
    }

    // Start states.
    for (QWidget* w : std::initializer_list<QWidget*>{f.Glicoperc, f.SegnoPerc, f.Altitud, f.Altitud1,
                                                      f.SpinEditVelocita3, f.Edit13, f.MetriCubiOra, f.lblPortAriaRich,
                                                      f.lblMch})
        w->setEnabled(false);
    for (bool caldo : {true, false}) {
        setFieldsEnabled(gruppoAcqua(caldo).portata, false);
        setFieldsEnabled(gruppoAcqua(caldo).pdc, false);
    }
    setFieldsEnabled(gruppoResa(), false);
    f.CheckListino->setEnabled(true);
    for (QWidget* w : std::initializer_list<QWidget*>{f.CheckSconto, f.CheckMoltiplica, f.CheckNetto, f.Sconto1,
                                                      f.Sconto2, f.Sconto3, f.Moltip})
        w->setEnabled(false);
    f.VeloCalcolo->SetColumns(3);
    f.Riferimento->clear();

    // The models' pressure columns line up only in a fixed-pitch font.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setFamily(QStringLiteral("Liberation Mono"));
    fixed.setStyleHint(QFont::Monospace);
    fixed.setPointSize(9);
    f.ListaModelli->setFont(fixed);
    for (QLabel* l : {f.Label8, f.Label9, f.Label10})
        l->setFont(fixed);
    placeModelHeads();

    // Step captions: centred one-line texts.
    for (QPlainTextEdit* m : {f.Memo1, f.Memo2, f.Memo3, f.Memo4, f.Memo5}) {
        QTextOption o = m->document()->defaultTextOption();
        o.setAlignment(Qt::AlignCenter);
        m->document()->setDefaultTextOption(o);
        // The window shows through: a transparent base, no filled viewport.
        // (A palette rather than a style sheet, which would give these
        // widgets a style of their own to make and polish at every change.)
        QPalette pal = m->palette();
        pal.setColor(QPalette::Base, Qt::transparent);
        m->setPalette(pal);
        m->viewport()->setAutoFillBackground(false);
    }

    // The result grid: label, unit and the three speeds.
    impostaGrigliaRisultati();

    f.Avanti->setDefault(false);
    f.Avanti->setAutoDefault(false);
    f.Indietro->setAutoDefault(false);
    f.DescVersione->setFixedSize(230, 40);
    // The shorter of the two mode groups keeps its buttons together at the top.
    f.Operazione->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    f.gridOperazioni->setAlignment(f.Operazione, Qt::AlignTop);
    f.ControllaPagine->SetActivePageIndex(pOperazioni);
    highlightStep(pOperazioni);
}

void TDodedaVO::placeModelHeads()
{
    Ui::TDodedaVO& f = *ui;
    // The item text starts after the list's frame, the item margin and the
    // check box; the heads sit over columns 23-25, 29-31 and 35-37.
    const QFontMetrics fm(f.ListaModelli->font());
    const int ch = fm.horizontalAdvance(QLatin1Char('0'));
    const int indicator = f.ListaModelli->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, f.ListaModelli);
    const int x0 = f.ListaModelli->frameWidth() + indicator + 14;
    const int cols[3] = {22, 28, 34};
    QLabel* heads[3] = {f.Label8, f.Label9, f.Label10};
    for (int i = 0; i < 3; ++i) {
        heads[i]->adjustSize();
        heads[i]->move(x0 + cols[i] * ch + (3 * ch - heads[i]->width()) / 2, 17);
    }
    f.Label11->adjustSize();
    f.Label11->move(x0 + 22 * ch + (15 * ch - f.Label11->width()) / 2, 0);
}

void TDodedaVO::bindEvents()
{
    Ui::TDodedaVO& f = *ui;
    using fc::Guarded;

    connect(f.Quit1, &QAction::triggered, this, Guarded([this] { Quit1Click(); }));
    connect(f.InsertPassword1, &QAction::triggered, this, Guarded([this] { InsertPassword1Click(); }));
    connect(f.S1, &QAction::triggered, this, Guarded([this] { S1Click(); }));
    connect(f.SaveDefaults1, &QAction::triggered, this, Guarded([this] { SaveDefaults1Click(); }));
    connect(f.MainMenu1, &QMenuBar::triggered, this, Guarded([this] { MainMenu1Change(); }));

    Language1->OnBeforeTranslation = [this](QObject*) { Language1BeforeTranslation(); };
    Language1->OnTranslate = [this](TLanguage*, QObject* c, const QString& p, const QString&, QString& v) {
        Language1Translate(c, p, v);
    };
    Language1->OnAfterTranslation = [this](QObject*) { stepCaptionsToTabs(); };

    f.ListaFamiglie->OnChange = [this] { ListaFamiglieChange(); };
    f.ListaImpianti->OnChange = [this] { ListaImpiantiChange(); };
    f.ListaVersion->OnChange = [this] { ListaVersionChange(); };

    f.Operazione->OnClick = [this] { OperazioneClick(); };
    f.Calcolo->OnClick = [this] { CalcoloClick(); };
    f.DatiInRiscalda->OnClick = [this] { DatiInRiscaldaClick(); };
    f.DatiInRaffredda->OnClick = [this] { DatiInRaffreddaClick(); };
    f.Fluido->OnClick = [this] { FluidoClick(); };
    f.Altitudine->OnClick = [this] { AltitudineClick(); };
    f.VeloCalcolo->OnClick = [this] { VeloCalcoloClick(); };
    f.PressioneStatica->OnClick = [this] { PressioneStaticaClick(); };

    f.ListaModelli->OnMouseUp = [this] { ListaModelliExit(); };
    f.ListaModelli->installEventFilter(this);
    connect(f.CheckAll, &QPushButton::clicked, this, Guarded([this] { CheckAllClick(); }));
    connect(f.UnCheckAll, &QPushButton::clicked, this, Guarded([this] { UnCheckAllClick(); }));

    f.SpinEditVelocita3->OnChange = [this](TOvNumEdit*) { SpinEditVelocita3Change(); };
    for (TOvSuperSpin* s : {f.SpinEditVelocita1, f.SpinEditVelocita2, f.SpinEditVelocita3})
        s->OnExit = [this](TOvNumEdit* e) { SpinEditVelocitaExit(e); };

    f.ControllaPagine->OnChanging = [this](bool& allow) { ControllaPagineChanging(allow); };
    f.ControllaPagine->OnChange = [this] { ControllaPagineChange(); };
    // Entering a water page by any road clears the results.
    connect(f.ControllaPagine, &QTabWidget::currentChanged, this, [this](int index) {
        highlightStep(index);
        if (index == pRiscaldamento || index == pCondizionamento)
            fc::RunHandler([this] { RiscaldamentoEnter(); });
        if (index == pCalcola && OnPaginaCalcola)
            fc::RunHandler(OnPaginaCalcola);
    });
    connect(f.Avanti, &QPushButton::clicked, this, Guarded([this] { AvantiClick(); }));
    connect(f.Indietro, &QPushButton::clicked, this, Guarded([this] { IndietroClick(); }));

    f.ResaRichFreddoKcal->OnExit = [this](TOvNumEdit*) { ResaRichFreddoKcalExit(); };
    f.ResaRichFreddoWatt->OnExit = [this](TOvNumEdit*) { ResaRichFreddoWattExit(); };
    f.ResaRichCaldoWatt->OnExit = [this](TOvNumEdit*) { ResaRichCaldoWattExit(); };
    f.ResaRichCaldoKcal->OnExit = [this](TOvNumEdit*) { ResaRichCaldoKcalExit(); };

    for (TOvNumEdit* e : std::initializer_list<TOvNumEdit*>{
             f.Glicoperc, f.Altitud, f.MetriCubiOra, f.SpinEditVelocita1, f.SpinEditVelocita2, f.SpinEditVelocita3,
             f.TempAriaCaldo, f.TempIngAcquaCaldo, f.TempUscAcquaCaldo, f.PortAcquaRichiesta, f.ResaRichCaldoWatt,
             f.TBSFreddo, f.TBUFreddo, f.URFreddo, f.TempIngAcquaFreddo, f.TempUscAcquaFreddo,
             f.PortAcquaRichiestaFreddo, f.ResaRichFreddoWatt})
        e->OnKeyPress = [this](TOvNumEdit* s, QChar& k) { TBSFreddoKeyPress(s, k); };
    for (TOvNumEdit* e : {f.SalTerAcquaCaldo, f.SalTerAcquaFreddo, f.PDCCaldo, f.PDCFreddo, f.ResaRichCaldoKcal,
                          f.ResaRichFreddoKcal})
        e->OnKeyPress = [this](TOvNumEdit* s, QChar& k) { SalTerAcquaCaldoKeyPress(s, k); };

    connect(f.Sconto, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            fc::RunHandler([this] { ScontoClick(); });
    });
    connect(f.moltiplicatore, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            fc::RunHandler([this] { moltiplicatoreClick(); });
    });
    for (TOvNumEdit* e : {f.Sconto1, f.Sconto2, f.Sconto3})
        e->OnExit = [this](TOvNumEdit* s) { ScontoExit(s); };
}

bool TDodedaVO::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->ListaModelli && event->type() == QEvent::FocusOut)
        fc::RunHandler([this] { ListaModelliExit(); });
    // The hover preview follows every mouse move over a dropped-down list.
    if (event->type() == QEvent::MouseMove && IdleHandler &&
        (watched == ui->ListaFamiglie->view()->viewport() || watched == ui->ListaVersion->view()->viewport()))
        fc::RunHandler([this] { idleTick(); });
    return QMainWindow::eventFilter(watched, event);
}

void TDodedaVO::setFieldsEnabled(const std::vector<QWidget*>& widgets, bool enabled)
{
    for (QWidget* w : widgets)
        w->setEnabled(enabled);
}

void TDodedaVO::highlightStep(int pageIndex)
{
    Ui::TDodedaVO& f = *ui;
    QPlainTextEdit* memos[5] = {f.Memo1, f.Memo2, f.Memo3, f.Memo4, f.Memo5};
    for (int i = 0; i < 5; ++i) {
        const bool bold = i == pageIndex;
        // Only the weight is the caption's own; the rest follows the window.
        if (memos[i]->font().bold() != bold) {
            QFont weight;
            weight.setBold(bold);
            memos[i]->setFont(weight);
        }
    }
}

void TDodedaVO::stepCaptionsToTabs()
{
    Ui::TDodedaVO& f = *ui;
    QPlainTextEdit* memos[5] = {f.Memo1, f.Memo2, f.Memo3, f.Memo4, f.Memo5};
    for (int i = 0; i < 5; ++i)
        f.ControllaPagine->setTabText(i, memos[i]->toPlainText().trimmed());
}

// ---------------------------------------------------------------------------
// IMainWindowLink

int TDodedaVO::ModelCount() const { return ui->ListaModelli->Count(); }
QString TDodedaVO::ModelText(int index) const { return ui->ListaModelli->ItemText(index); }
bool TDodedaVO::ModelChecked(int index) const { return ui->ListaModelli->Checked(index); }
void TDodedaVO::SetModelChecked(int index, bool checked) { ui->ListaModelli->SetChecked(index, checked); }
QString TDodedaVO::VersionText() const { return ui->ListaVersion->Text(); }
void TDodedaVO::SetVersionCaption(const QString& caption) { ui->DescVersione->setText(caption); }
void TDodedaVO::SetVersionLabelSize(int width, int height) { ui->DescVersione->setFixedSize(width, height); }
double TDodedaVO::WetBulbValue() const { return double(ui->TBUFreddo->Value()); }
void TDodedaVO::SetWetBulbValue(double value) { ui->TBUFreddo->SetValue(value); }

// ---------------------------------------------------------------------------
// Creation and settings

void TDodedaVO::FormCreate()
{
    Ui::TDodedaVO& f = *ui;
    DatiGlobali.excelAbilitato = false;
    cartellaApp = fc::ProgramFolder();
    // A save killed part-way leaves its temporary file until that file is
    // saved again: what the writer left beside the settings and the saved
    // reports goes now.
    fc::RemoveStaleTemporaryFiles(cartellaApp);
    fc::RemoveStaleTemporaryFiles(cartellaApp + QStringLiteral("pdf"));

    const fc::IniFile ini(cartellaApp + QStringLiteral("select.ini"));
    // A settings or language file that cannot be read is told; the start
    // goes on as without it.
    if (!ini.ReadProblem().isEmpty())
        fc::ShowMessage(QStringLiteral(" "), ini.ReadProblem(), TMsgDlgType::mtError);
    Language1->SetLanguageFile(cartellaApp +
                               ini.ReadString(QStringLiteral("Language"), QStringLiteral("myLang"), QStringLiteral("English.lng")));
    try {
        Language1->Translate();
    } catch (const EFileError& e) {
        fc::ShowMessage(QStringLiteral(" "), e.Message(), TMsgDlgType::mtError);
    }

    // Every value for what it can be; the wrong ones are told once, below.
    TImpostazioni valori(ini, cartellaApp + QStringLiteral("select.ini"));
    const QString def = QStringLiteral("Default");
    TOvNumEdit* edits[10] = {f.TempAriaCaldo, f.TempIngAcquaCaldo, f.TempUscAcquaCaldo, f.SalTerAcquaCaldo,
                             f.TBSFreddo, f.TBUFreddo, f.URFreddo, f.TempIngAcquaFreddo, f.TempUscAcquaFreddo,
                             f.SalTerAcquaFreddo};
    const char* keys[10] = {"CTABS", "CTIA", "CTUA", "CSTA", "FTABS", "FTABU", "FUR", "FTIA", "FTUA", "FSTA"};
    // The input limits of each temperature; 0 is what a value never saved reads.
    const int pairs[10] = {4, 1, 2, 3, 8, 10, 9, 5, 6, 7};
    double values[10];
    for (int i = 0; i < 10; ++i) {
        const TLimite l = LimiteIniziale(pairs[i]);
        values[i] = valori.RealeOppure(def, QLatin1String(keys[i]), 0, l.Min, l.Max, 0,
                                       QStringLiteral("a value from %1 to %2, or 0,")
                                           .arg(fc::FloatToStrGeneral(l.Min, QChar(',')),
                                                fc::FloatToStrGeneral(l.Max, QChar(','))));
    }
    // The edits show the values in the system's number format.
    for (int i = 0; i < 10; ++i)
        edits[i]->SetValue(values[i]);

    const QString percento = QStringLiteral("a discount from 0 to 100");
    DatiGlobali.ScontoMolt = valori.Intero(def, QStringLiteral("ScontoMolt"), 0, 0, 2, QStringLiteral("0, 1 or 2"));
    DatiGlobali.Sconto1 = valori.Reale(def, QStringLiteral("Sconto1"), 0, 0, 100, percento);
    DatiGlobali.Sconto2 = valori.Reale(def, QStringLiteral("Sconto2"), 0, 0, 100, percento);
    DatiGlobali.Sconto3 = valori.Reale(def, QStringLiteral("Sconto3"), 0, 0, 100, percento);
    DatiGlobali.Moltip = valori.Reale(def, QStringLiteral("Moltip"), 1.0, 0, 1, QStringLiteral("a multiplier from 0 to 1"));

    const QString dealer = QStringLiteral("Dealer"), firm = QStringLiteral("Firm");
    const QString nome = iniLine(ini, dealer, QStringLiteral("nome"));
    const QString indirizzo = iniLine(ini, dealer, QStringLiteral("indirizzo"));
    const QString altri = iniLine(ini, dealer, QStringLiteral("altri"));
    QStringList righe;
    for (const char* k : {"riga1", "riga2", "riga3", "riga4"})
        righe << iniLine(ini, firm, QLatin1String(k));
    f.DealerName->setText(nome);
    f.DealerDescription->setText(indirizzo);
    f.DealerAltri->setText(altri);
    f.Firm1->setText(righe[0]);
    f.Firm2->setText(righe[1]);
    f.Firm3->setText(righe[2]);
    RigheFirm = righe;
    RigheDealer = QStringList{nome, indirizzo, altri};

    const QString valuta = QStringLiteral("Currency");
    DatiGlobali.DecimaliValuta =
        valori.Intero(valuta, QStringLiteral("DecimalPlaces"), 2, 0, kMaxDecimaliValuta,
                      QStringLiteral("0 to %1 decimals").arg(kMaxDecimaliValuta));
    DatiGlobali.CambioEuro = valori.Reale(valuta, QStringLiteral("1Euro"), 1.0, kMinCambio, kMaxCambio,
                                          QStringLiteral("a currency factor above 0, at most %1")
                                              .arg(fc::FloatToStrGeneral(kMaxCambio, QChar(','))));
    UnitaSI = true;
    valori.Avvisa();

    const QString imgs = cartellaApp + QStringLiteral("imgs/");
    if (QFile::exists(imgs + QStringLiteral("Logo.bmp")))
        f.Logo->setPixmap(QPixmap(imgs + QStringLiteral("Logo.bmp")));
    if (QFile::exists(imgs + QStringLiteral("Logo1.bmp")))
        f.Logo1->setPixmap(QPixmap(imgs + QStringLiteral("Logo1.bmp")));

    showStep(pRiscaldamento, false);

    // The file is named: a folder in its place is no catalogue file either.
    for (const char* name : {"Versioni.cds", "Dati.cds", "Param.cds"}) {
        const QString path = cartellaApp + QLatin1String(name);
        if (!QFileInfo(path).isFile()) {
            archivioMancante(QDir::toNativeSeparators(path));
            return;
        }
    }
    const QString danneggiato = QStringLiteral("ERRORE: archivio danneggiato");
    try {
        cdsVersioni_.Close();
        cdsVersioni_.SetFileName(cartellaApp + QStringLiteral("Versioni.cds"));
        cdsVersioni_.Open();
        Stato.ModoCalcolo = 0;
        cdsMacchine_.Close();
        cdsMacchine_.SetFileName(cartellaApp + QStringLiteral("Dati.cds"));
        cdsMacchine_.Open();
        controllaCatalogo(cdsMacchine_, cdsVersioni_);
    } catch (const EFileError& e) {
        caricamentoFallito(danneggiato, e.Message());
        return;
    }
    if (cdsMacchine_.RecordCount() == 0) {
        caricamentoFallito(QStringLiteral("ERRORE: l'archivio non contiene modelli"),
                           QDir::toNativeSeparators(cdsMacchine_.FileName()));
        return;
    }
    // Without versions no model can be chosen, priced or reported.
    if (cdsVersioni_.RecordCount() == 0) {
        caricamentoFallito(QStringLiteral("ERRORE: l'archivio non contiene versioni"),
                           QDir::toNativeSeparators(cdsVersioni_.FileName()));
        return;
    }

    // Families once each, compared without regard to case, in first-seen order.
    cdsMacchine_.SetFiltered(false);
    cdsMacchine_.First();
    const QString primaDescr = cdsMacchine_.FieldByName(QStringLiteral("Descr")).AsString().trimmed();
    const QStringList famiglie = valoriDistinti(QStringLiteral("Tipo"), false);
    f.ListaFamiglie->SetItems(famiglie);
    f.ListaFamiglie->SetItemIndex(0);
    f.DescTipologia->setText(Language1->Msg(primaDescr));

    caricaImpianti();
    // The catalogue passed its check above.
    caricaDatiControllati();
    caricaVersioni(0);
    // The first family's pages, modes and installation type are set as
    // after a user's choice of its installation.
    ListaImpiantiChange();
}

void TDodedaVO::archivioMancante(const QString& detail)
{
    caricamentoFallito(QStringLiteral("ERRORE: archivio mancante"), detail);
}

void TDodedaVO::caricamentoFallito(const QString& headline, const QString& detail)
{
    QString text = Language1->Msg(headline);
    if (!detail.isEmpty())
        text += QLatin1Char('\n') + detail;
    fc::ShowMessage(QStringLiteral(" "), text, TMsgDlgType::mtError);
    fermaAvvio();
}

void TDodedaVO::fermaAvvio()
{
    archivioMancante_ = true;
    if (auto* app = qobject_cast<TApplication*>(QCoreApplication::instance()))
        app->Terminate();
}

void TDodedaVO::S1Click()
{
    TFileDialogRequest r;
    r.Filter = QStringLiteral("Language file|*.lng");
    r.DefaultExt = QStringLiteral("lng");
    r.InitialDir = fc::ProgramFolder();
    if (!fc::Dialogs().OpenFile(r))
        return;
    cartellaApp = fc::ProgramFolder();
    const QString settings = cartellaApp + QStringLiteral("select.ini");
    // Nothing changes when the choice cannot be kept, or the file chosen
    // is no language: the language in use stays, and the user is told why.
    if (!fc::MayWrite(settings))
        throw EFileError(fc::SaveErrorText(settings, fc::ReadOnlyText()));
    const QString problem = TLanguage::ProblemOf(r.FileName);
    if (!problem.isEmpty())
        throw EFileError(problem);
    fc::IniFile ini(settings);
    Language1->SetLanguageFile(r.FileName);
    Language1->Translate();
    ini.WriteString(QStringLiteral("Language"), QStringLiteral("myLang"), QFileInfo(r.FileName).fileName());
}

void TDodedaVO::SaveDefaults1Click()
{
    Ui::TDodedaVO& f = *ui;
    cartellaApp = fc::ProgramFolder();
    fc::IniFile ini(cartellaApp + QStringLiteral("select.ini"));
    TOvNumEdit* edits[14] = {f.TempAriaCaldo, f.TempIngAcquaCaldo, f.TempUscAcquaCaldo, f.SalTerAcquaCaldo,
                             f.TBSFreddo, f.TBUFreddo, f.URFreddo, f.TempIngAcquaFreddo, f.TempUscAcquaFreddo,
                             f.SalTerAcquaFreddo, f.Sconto1, f.Sconto2, f.Sconto3, f.Moltip};
    // Every value is read before anything is written: a field that does not
    // convert leaves the file as it was.
    double v[14];
    for (int i = 0; i < 14; ++i)
        v[i] = double(edits[i]->Value());
    const QChar comma(',');
    const QString def = QStringLiteral("Default");
    const char* keys[10] = {"CTABS", "CTIA", "CTUA", "CSTA", "FTABS", "FTABU", "FUR", "FTIA", "FTUA", "FSTA"};
    // One replacement of the file for the whole set: a failure or a kill
    // part-way never leaves some keys of this save and some of the last.
    QList<fc::IniValue> values;
    for (int i = 0; i < 10; ++i)
        values.append({def, QLatin1String(keys[i]), fc::FloatToStrGeneral(v[i], comma)});
    const double modo = f.Sconto->isChecked() ? 1 : f.moltiplicatore->isChecked() ? 2 : 0;
    values.append({def, QStringLiteral("ScontoMolt"), fc::FloatToStrGeneral(modo, comma)});
    values.append({def, QStringLiteral("Sconto1"), fc::FloatToStrGeneral(v[10], comma)});
    values.append({def, QStringLiteral("Sconto2"), fc::FloatToStrGeneral(v[11], comma)});
    values.append({def, QStringLiteral("Sconto3"), fc::FloatToStrGeneral(v[12], comma)});
    values.append({def, QStringLiteral("Moltip"), fc::FloatToStrGeneral(v[13], comma)});
    ini.WriteStrings(values);
}

void TDodedaVO::caricaImmagineFamiglia() { caricaImmagine(ui->ListaFamiglie->Text()); }

void TDodedaVO::InsertPassword1Click()
{
    if (PasswordDlg)
        PasswordDlg->ShowModal();
}

void TDodedaVO::Quit1Click()
{
    if (auto* app = qobject_cast<TApplication*>(QCoreApplication::instance()))
        app->Terminate();
    else
        QCoreApplication::quit();
}

void TDodedaVO::Language1BeforeTranslation()
{
    // The translation that follows reads the same parse of the file.
    DatiGlobali.CharsetLingua = quint8(Language1->File().Document().Charset() & 0xFF);
}

void TDodedaVO::Language1Translate(QObject*, const QString&, QString&)
{
    // The character set picked the glyphs of 8-bit text on the original
    // platform; Qt's text is Unicode (the INI layer has already decoded the
    // language file's code page), so the value is applied unchanged.
}

// ---------------------------------------------------------------------------
// Catalogue navigation

QString TDodedaVO::installationValue() const
{
    if (Stato.TipoImpianto == QLatin1String("4"))
        return QStringLiteral("4 tubi");
    if (Stato.TipoImpianto == QLatin1String("2"))
        return QStringLiteral("2 tubi");
    return QStringLiteral("Solo ventilazione");
}

void TDodedaVO::applyFamilyFilter(bool withInstallation)
{
    TFilter filter{{QStringLiteral("Velocita"), QStringLiteral("MAX")}, {QStringLiteral("Tipo"), ui->ListaFamiglie->Text()}};
    if (withInstallation)
        filter.push_back({QStringLiteral("Impianto"), installationValue()});
    // The same filter selects the same records: the view is kept and only
    // the cursor goes back to the first, as a new filter would leave it.
    if (sameFilter(cdsMacchine_.Filter(), filter))
        cdsMacchine_.First();
    else
        cdsMacchine_.SetFilter(filter);
}

QStringList TDodedaVO::valoriDistinti(const QString& field, bool tradotti)
{
    const int index = cdsMacchine_.FieldIndex(field);
    QStringList out;
    QSet<QString> seen;
    // Each value is translated once, however many models share it.
    QHash<QString, QString> traduzioni;
    for (cdsMacchine_.First(); !cdsMacchine_.Eof(); cdsMacchine_.Next()) {
        QString t = cdsMacchine_.Fields(index).AsString().trimmed();
        if (tradotti) {
            auto it = traduzioni.find(t);
            if (it == traduzioni.end())
                it = traduzioni.insert(t, Language1->Msg(t));
            t = it.value();
        }
        const QString key = t.toCaseFolded();
        if (!seen.contains(key)) {
            seen.insert(key);
            out << t;
        }
    }
    return out;
}

void TDodedaVO::caricaImpianti()
{
    cdsMacchine_.SetFiltered(false);
    applyFamilyFilter(false);
    cdsMacchine_.SetFiltered(true);
    QStringList impianti = valoriDistinti(QStringLiteral("Impianto"), true);
    std::sort(impianti.begin(), impianti.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    ui->ListaImpianti->SetItems(impianti);
    ui->ListaImpianti->SetItemIndex(0);
}

void TDodedaVO::ListaFamiglieChange()
{
    Ui::TDodedaVO& f = *ui;
    const QString famiglia = f.ListaFamiglie->Text();
    for (int i = 0; i < ListaMacchine.Count(); ++i)
        if (ListaMacchine.Objects(i)->Tipo.compare(famiglia, Qt::CaseInsensitive) == 0) {
            f.DescTipologia->setText(Language1->Msg(ListaMacchine.Objects(i)->Descr));
            break;
        }

    cdsMacchine_.SetFiltered(false);
    applyFamilyFilter(false);
    cdsMacchine_.SetFiltered(true);
    cdsMacchine_.First();
    if (!cdsMacchine_.Eof()) {
        const QString calcolo = cdsMacchine_.FieldByName(QStringLiteral("Calcolo")).AsString();
        Stato.TipoCalcolo = calcolo.size() > 1 ? calcolo[1] : QChar();
        Stato.NumVelocita = fc::StrToInt(calcolo.left(1));
    }
    f.ListaImpianti->SetItems(valoriDistinti(QStringLiteral("Impianto"), true));
    f.ListaImpianti->SetItemIndex(0);
    Stato.TipoImpianto = f.ListaImpianti->Text().left(1);

    abilita(Stato.TipoCalcolo, Stato.NumVelocita);
    impostaPagine();
    // The versions offered are those of the installation shown, as an
    // installation change lists them: a code of another installation's
    // models could not be chosen.
    if (!f.ListaImpianti->Text().isEmpty())
        applyFamilyFilter(true);
    caricaVersioni(1);
    seguiCatalogo();
}

void TDodedaVO::seguiCatalogo()
{
    // The models to rate follow every choice of family, installation and
    // version, whichever page the run is then started from.
    if (cdsMacchine_.Active())
        aggiornaListaModelli();
}

void TDodedaVO::ListaImpiantiChange()
{
    Ui::TDodedaVO& f = *ui;
    if (f.ListaImpianti->Text().isEmpty())
        return;
    Stato.TipoImpianto = f.ListaImpianti->Text().left(1);
    applyFamilyFilter(true);
    abilita(Stato.TipoCalcolo, Stato.NumVelocita);
    impostaPagine();
    caricaVersioni(0);
    seguiCatalogo();
}

void TDodedaVO::ListaVersionChange()
{
    caricaMacchine();
    caricaVersioni(2);
    seguiCatalogo();
}

void TDodedaVO::caricaVersioni(int mode)
{
    Ui::TDodedaVO& f = *ui;
    const QString remembered = f.ListaVersion->Text();
    // Off and on again with the same filter text: the same view.
    if (cdsMacchine_.Filtered())
        cdsMacchine_.First();
    else
        cdsMacchine_.SetFiltered(true);
    if (!cdsMacchine_.Eof())
        Stato.NumVelocita = fc::StrToInt(cdsMacchine_.FieldByName(QStringLiteral("Calcolo")).AsString().left(1));

    QStringList codes;
    QSet<QString> seen, seenExact;
    std::vector<const vers*> objects;
    const int modello = cdsMacchine_.FieldIndex(QStringLiteral("Modello"));
    while (!cdsMacchine_.Eof()) {
        for (const vers* v : VersioniDi(cdsMacchine_.Fields(modello).AsString().trimmed())) {
            // Most records repeat a code already listed as it is written.
            if (seenExact.contains(v->CodiceVersione))
                continue;
            seenExact.insert(v->CodiceVersione);
            const QString key = v->CodiceVersione.toCaseFolded();
            if (!seen.contains(key)) {
                seen.insert(key);
                codes << v->CodiceVersione;
                objects.push_back(v);
            }
        }
        cdsMacchine_.Next();
    }
    f.ListaVersion->SetItems(codes);
    int index = 0;
    for (int i = 0; i < codes.size(); ++i)
        if (codes[i].compare(remembered, Qt::CaseInsensitive) == 0) {
            index = i;
            break;
        }
    f.ListaVersion->SetItemIndex(codes.isEmpty() ? -1 : index);

    if (!objects.empty()) {
        const vers* v = objects[size_t(index)];
        f.DescVersione->setText(Language1->Msg(v->DescrizioneVersione));
        f.DescVersione->setFixedSize(230, 40);
        Stato.FattorePressione = v->FattorePressione;
    }

    QString name = f.ListaFamiglie->Text();
    if (mode == 2)
        name += QLatin1Char('_') + f.ListaVersion->Text();
    const int slash = name.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        name[slash] = QLatin1Char('-');
    if (mode == 1 || mode == 2)
        caricaImmagine(name);
}

void TDodedaVO::abilita(QChar tipoCalcolo, int numVelocita)
{
    Ui::TDodedaVO& f = *ui;
    TRadioGroup* c = f.Calcolo;
    const QChar t = Stato.TipoCalcolo.isNull() ? tipoCalcolo : Stato.TipoCalcolo;
    auto allItems = [c](bool on) {
        for (int i = 0; i < c->Count(); ++i)
            c->SetItemEnabled(i, on);
    };
    if (t == QLatin1Char('A')) {
        c->setEnabled(false);
        c->SetItemIndex(-1);
        allItems(false);
        f.Operazione->SetItemEnabled(1, false);
        f.Fluido->SetItemIndex(0);
        f.Altitudine->SetItemIndex(0);
        f.Fluido->setEnabled(false);
        f.Altitudine->setEnabled(false);
    } else if (t == QLatin1Char('F') || t == QLatin1Char('C') || t == QLatin1Char('T')) {
        c->setEnabled(true);
        if (t == QLatin1Char('F')) {
            allItems(false);
            c->SetItemEnabled(0, true);
            c->SetItemIndex(0);
        } else if (t == QLatin1Char('C')) {
            allItems(false);
            c->SetItemEnabled(1, true);
            c->SetItemIndex(1);
        } else {
            if (c->ItemIndex() < 0)
                c->SetItemIndex(0);
            allItems(true);
            if (Stato.TipoImpianto == QLatin1String("4")) {
                c->SetItemEnabled(3, false);
                c->SetItemEnabled(4, false);
                if (c->ItemIndex() > 2)
                    c->SetItemIndex(0);
            }
        }
        f.Operazione->SetItemEnabled(1, true);
        f.Fluido->setEnabled(true);
        f.Altitudine->setEnabled(true);
    }
    // An operation the unit type cannot do is not left chosen: the choice
    // moves to the first one it can (its click handler sets the pages up).
    TRadioGroup* op = f.Operazione;
    if (op->ItemIndex() >= 0 && !op->ItemEnabled(op->ItemIndex()))
        for (int i = 0; i < op->Count(); ++i)
            if (op->ItemEnabled(i)) {
                op->SetItemIndex(i);
                break;
            }
    if (numVelocita == 1) {
        f.VeloCalcolo->SetItemIndex(2);
        f.TipoReport->SetItemIndex(1);
        f.VeloCalcolo->setEnabled(false);
        f.TipoReport->setEnabled(false);
    } else if (numVelocita == 3) {
        f.VeloCalcolo->setEnabled(true);
        f.TipoReport->setEnabled(true);
    }
    Stato.NumVelocita = numVelocita;
}

QString TDodedaVO::allineaDestra(const QString& text) { return text.rightJustified(3, QLatin1Char(' '), false); }

QString TDodedaVO::descrizioneModello(const fancoil& model) const
{
    return descrizioneModello(model, ui->ListaVersion->Text().trimmed());
}

QString TDodedaVO::descrizioneModello(const fancoil& model, const QString& code) const
{
    return descrizioneModello(model, code, VersioniDi(model.Modello));
}

QString TDodedaVO::descrizioneModello(const fancoil& model, const QString& code,
                                      const std::vector<vers*>& versioni) const
{
    Ui::TDodedaVO& f = *ui;
    double k = 1;
    for (const vers* v : versioni)
        if (v->CodiceVersione == code)
            k = v->FattorePressione;
    // A name of 20 characters or more runs on up to the pressure columns;
    // chiaveModello finds it whole again.
    QString riga;
    riga.reserve(std::max<qsizetype>(20, model.Modello.size()) + 20);
    riga += model.Modello;
    if (riga.size() < 20)
        riga.append(QString(20 - riga.size(), QLatin1Char(' ')));
    // allineaDestra of the number's text, written straight into the line.
    auto p = [&](int s) {
        char digits[24];
        const char* end = std::to_chars(digits, digits + sizeof digits, fc::Round(k * model.PSA[s][8])).ptr;
        for (qsizetype n = end - digits; n < 3; ++n)
            riga += QLatin1Char(' ');
        riga += QLatin1StringView(digits, end - digits);
    };
    if (model.NumVelocita == 1) {
        f.Label8->hide();
        f.Label9->hide();
        riga += QLatin1String("           ");
        p(3);
        riga += QLatin1Char(' ');
        return riga;
    }
    if (f.Operazione->ItemIndex() == 0) {
        f.Label8->show();
        f.Label9->show();
    }
    riga += QLatin1String("  ");
    p(1);
    riga += QLatin1String("   ");
    p(2);
    riga += QLatin1String("   ");
    p(3);
    riga += QLatin1Char(' ');
    return riga;
}

void TDodedaVO::aggiornaListaModelli()
{
    Ui::TDodedaVO& f = *ui;
    applyFamilyFilter(true);
    cdsMacchine_.First();
    QStringList righe;
    righe.reserve(cdsMacchine_.RecordCount());
    const QString code = f.ListaVersion->Text().trimmed();
    const int modello = cdsMacchine_.FieldIndex(QStringLiteral("Modello"));
    while (!cdsMacchine_.Eof()) {
        const QString name = cdsMacchine_.Fields(modello).AsString().trimmed();
        // Versions keyed as the record names the model are versions of it,
        // and usually those of the model's own name too.
        const std::vector<vers*>& versioni = VersioniDi(name);
        if (!versioni.empty() || ListaVersioni.IndexOf(name) >= 0)
            if (const fancoil* m = ListaMacchine.Find(name))
                righe << (m->Modello == name ? descrizioneModello(*m, code, versioni) : descrizioneModello(*m, code));
        cdsMacchine_.Next();
    }
    // The list is rebuilt whenever it would list other models or other
    // pressures; the user's ticks stay only while it would not.
    bool rebuilt = false;
    if (f.ListaModelli->Count() == 0 || !f.ListaModelli->HasItems(righe)) {
        f.ListaModelli->SetItems(righe);
        rebuilt = true;
    }
    // The static-pressure choice is enabled before the limits are taken, so
    // that a curve set with no free outlet keeps "Pressione Statica" locked.
    f.PressioneStatica->setEnabled(true);
    if (Stato.FattorePressione == 0) {
        f.PressioneStatica->SetItemIndex(0);
        f.PressioneStatica->setEnabled(false);
        f.SpinEditVelocita3->setEnabled(false);
    }
    if (rebuilt || f.Operazione->ItemIndex() == 1 || f.Operazione->ItemIndex() == 2)
        f.ListaModelli->SetAllChecked(true);
    // The pressure limits of the ticks, also when they stay: the
    // static-pressure choice was just enabled.
    ListaModelliExit();
}

void TDodedaVO::setSpinValue(long double value)
{
    // A value set by the program is no user's request for a static pressure.
    spinByCode_ = true;
    try {
        ui->SpinEditVelocita3->SetValue(value);
    } catch (...) {
        spinByCode_ = false;
        throw;
    }
    spinByCode_ = false;
}

void TDodedaVO::ListaModelliExit()
{
    Ui::TDodedaVO& f = *ui;
    double low[4] = {0, 10000, 10000, 10000}, high[4] = {0, 0, 0, 0};
    for (int i = 0; i < f.ListaModelli->Count(); ++i) {
        if (!f.ListaModelli->Checked(i))
            continue;
        const fancoil* m = ListaMacchine.Find(chiaveModello(f.ListaModelli->ItemText(i)));
        if (!m)
            continue;
        for (int s = 1; s <= 3; ++s) {
            low[s] = std::min(low[s], m->PSA[s][1]);
            high[s] = std::max(high[s], m->PSA[s][8]);
        }
    }
    if (Stato.FattorePressione == 0 || (high[1] == 0 && high[2] == 0 && high[3] == 0)) {
        f.PressioneStatica->SetItemIndex(0);
        gestPressioneStatica(0);
        f.PressioneStatica->setEnabled(false);
        return;
    }
    const int s = std::clamp(f.VeloCalcolo->ItemIndex() + 1, 1, 3);
    f.PressioneStatica->setEnabled(true);
    TOvSuperSpin* spin = f.SpinEditVelocita3;
    // The edit refuses a maximum below its minimum and a minimum above its
    // maximum: set first the limit that keeps the pair ordered, so that a
    // range wholly below (or above) the old one takes effect.
    if (high[s] >= double(spin->MinValue())) {
        spin->SetMaxValue(high[s]);
        spin->SetMinValue(low[s]);
    } else {
        spin->SetMinValue(low[s]);
        spin->SetMaxValue(high[s]);
    }
    const long double v = spin->Value();
    if (v > spin->MaxValue())
        setSpinValue(spin->MaxValue());
    if (spin->Value() < spin->MinValue())
        setSpinValue(spin->MinValue());
    if (low[s] > 0) {
        f.PressioneStatica->SetItemIndex(1);
        f.PressioneStatica->setEnabled(false);
    }
}

void TDodedaVO::CheckAllClick()
{
    if (!ui->ListaModelli->isEnabled())
        return;
    ui->ListaModelli->SetAllChecked(true);
    ListaModelliExit();
}

void TDodedaVO::UnCheckAllClick()
{
    if (!ui->ListaModelli->isEnabled())
        return;
    ui->ListaModelli->SetAllChecked(false);
    ListaModelliExit();
}

void TDodedaVO::gestPressioneStatica(int index)
{
    Ui::TDodedaVO& f = *ui;
    if (index == 1) {
        f.SpinEditVelocita3->setEnabled(true);
        f.Edit13->setEnabled(true);
        f.SpinEditVelocita3->setFocus();
    } else {
        f.SpinEditVelocita3->setEnabled(false);
        f.Edit13->setEnabled(false);
        setSpinValue(f.SpinEditVelocita3->MinValue());
    }
}

void TDodedaVO::PressioneStaticaClick() { gestPressioneStatica(ui->PressioneStatica->ItemIndex()); }

void TDodedaVO::SpinEditVelocita3Change()
{
    if (spinByCode_)
        return;
    double v = 0;
    if (leggiNumero(ui->SpinEditVelocita3, v) && v > 0)
        ui->PressioneStatica->SetItemIndex(1);
}

void TDodedaVO::SpinEditVelocitaExit(TOvNumEdit* sender)
{
    double v = 0;
    if (!leggiNumero(sender, v)) {
        fc::ShowMessage(QStringLiteral(" "), Language1->Msg(QStringLiteral("Terzo valore della PDC errato")));
        return;
    }
    Stato.PressioneDisponibile[3] = double(ui->SpinEditVelocita3->Value());
}

// ---------------------------------------------------------------------------
// Wizard pages

int TDodedaVO::ActivePageTag() const { return ui->ControllaPagine->ActivePageIndex(); }

void TDodedaVO::ControllaPagineChanging(bool& allow) { allow = lasciaPagina(ActivePageTag()); }

void TDodedaVO::ControllaPagineChange() { preparaPagina(); }

void TDodedaVO::AvantiClick()
{
    TPageControl* pc = ui->ControllaPagine;
    if (!lasciaPagina(ActivePageTag()))
        return;
    const int n = pc->PageCount();
    int i = pc->ActivePageIndex();
    for (int k = 0; k < n; ++k) {
        i = (i + 1) % n;
        if (pc->TabVisible(i))
            break;
    }
    pc->SetActivePageIndex(i);
    if (i == pParametri)
        preparaPagina();
}

void TDodedaVO::IndietroClick()
{
    TPageControl* pc = ui->ControllaPagine;
    if (!lasciaPagina(ActivePageTag()))
        return;
    const int n = pc->PageCount();
    int i = pc->ActivePageIndex();
    for (int k = 0; k < n; ++k) {
        i = (i + n - 1) % n;
        if (pc->TabVisible(i))
            break;
    }
    pc->SetActivePageIndex(i);
    if (i == pParametri)
        preparaPagina();
}

void TDodedaVO::preparaPagina()
{
    if (cdsMacchine_.Active())
        cdsMacchine_.First();
    SGRisultati.SetRowCount(1);
    const int tag = ActivePageTag();
    if (tag == pParametri && cdsMacchine_.Active())
        aggiornaListaModelli();
    if (tag == pCalcola)
        impostaPrezzi();
}

void TDodedaVO::showStep(int pageIndex, bool visible)
{
    Ui::TDodedaVO& f = *ui;
    f.ControllaPagine->SetTabVisible(pageIndex, visible);
    QPlainTextEdit* memos[5] = {f.Memo1, f.Memo2, f.Memo3, f.Memo4, f.Memo5};
    memos[pageIndex]->setVisible(visible);
}

TDodedaVO::GruppoAcqua TDodedaVO::gruppoAcqua(bool caldo) const
{
    Ui::TDodedaVO& f = *ui;
    if (caldo)
        return {f.TempIngAcquaCaldo,
                f.TempUscAcquaCaldo,
                f.SalTerAcquaCaldo,
                {f.lblTUAcqua, f.STAcquaCaldo, f.TempUscAcquaCaldo, f.SalTerAcquaCaldo, f.lblgrcen3, f.lblgrcen4},
                {f.PortAcqua, f.PortAcquaRichiesta, f.lblLitriOra},
                {f.lblPDCCaldo, f.PDCCaldo, f.lblKpa}};
    return {f.TempIngAcquaFreddo,
            f.TempUscAcquaFreddo,
            f.SalTerAcquaFreddo,
            {f.lblTUAcquaFreddo, f.STAcquaFreddo, f.TempUscAcquaFreddo, f.SalTerAcquaFreddo, f.lblgrcen3Freddo,
             f.lblgrcen4Freddo},
            {f.PortAcquaFreddo, f.PortAcquaRichiestaFreddo, f.lblLitriOraFreddo},
            {f.lblPDCFreddo, f.PDCFreddo, f.lblKpaFreddo}};
}

std::vector<QWidget*> TDodedaVO::gruppoResa() const
{
    Ui::TDodedaVO& f = *ui;
    return {f.lblResaRich,     f.ResaRichCaldoWatt,  f.ResaRichCaldoKcal,  f.lblWatt,     f.lblKcal,
            f.lblResaRichRaff, f.ResaRichFreddoWatt, f.ResaRichFreddoKcal, f.lblWattRaff, f.lblKcalRaff};
}

void TDodedaVO::impostaPagine()
{
    Ui::TDodedaVO& f = *ui;
    const std::vector<QWidget*> heating = gruppoAcqua(true).temperature;
    const std::vector<QWidget*> cooling = gruppoAcqua(false).temperature;
    const bool byHeating = f.DatiInRiscalda->ItemIndex() == 0;
    const bool byCooling = f.DatiInRaffredda->ItemIndex() == 0;
    if (!f.Calcolo->isEnabled()) {
        showStep(pRiscaldamento, false);
        showStep(pCondizionamento, false);
        return;
    }
    switch (f.Calcolo->ItemIndex()) {
    case 0:
        showStep(pRiscaldamento, false);
        showStep(pCondizionamento, true);
        setFieldsEnabled(heating, true);
        setFieldsEnabled(cooling, byCooling);
        f.DatiInRaffredda->setEnabled(true);
        f.DatiInRiscalda->setEnabled(true);
        break;
    case 1:
        showStep(pCondizionamento, false);
        showStep(pRiscaldamento, true);
        setFieldsEnabled(heating, byHeating);
        setFieldsEnabled(cooling, true);
        f.DatiInRaffredda->setEnabled(true);
        f.DatiInRiscalda->setEnabled(true);
        break;
    case 2:
        // Both sides are rated from their own inputs: neither leaves
        // enabled the temperatures its water input does not use.
        showStep(pRiscaldamento, true);
        showStep(pCondizionamento, true);
        setFieldsEnabled(heating, byHeating);
        setFieldsEnabled(cooling, byCooling);
        f.DatiInRaffredda->setEnabled(true);
        f.DatiInRiscalda->setEnabled(true);
        break;
    case 3:
        f.DatiInRaffredda->setEnabled(true);
        showStep(pRiscaldamento, true);
        showStep(pCondizionamento, true);
        setFieldsEnabled(cooling, byCooling);
        if (Stato.TipoImpianto != QLatin1String("4")) {
            // The item's click handler enables the group it selects; the
            // group stays disabled whichever item was on before.
            f.DatiInRiscalda->SetItemIndex(0);
            setFieldsEnabled(heating, false);
            f.DatiInRiscalda->setEnabled(false);
        } else {
            setFieldsEnabled(heating, f.DatiInRiscalda->ItemIndex() == 0);
            f.DatiInRiscalda->setEnabled(true);
        }
        break;
    case 4:
        showStep(pRiscaldamento, true);
        showStep(pCondizionamento, true);
        setFieldsEnabled(heating, byHeating);
        f.DatiInRiscalda->setEnabled(true);
        f.DatiInRaffredda->SetItemIndex(0);
        setFieldsEnabled(cooling, false);
        f.DatiInRaffredda->setEnabled(false);
        break;
    default:
        break;
    }
}

void TDodedaVO::OperazioneClick()
{
    Ui::TDodedaVO& f = *ui;
    const std::vector<QWidget*> aria = {f.lblPortAriaRich, f.MetriCubiOra, f.lblMch};
    const std::vector<QWidget*> resa = gruppoResa();
    const std::vector<QWidget*> modelli = {f.ListaModelli, f.CheckAll, f.UnCheckAll, f.LabelModelli, f.Bevel4,
                                           f.Label8,       f.Label9,   f.Label10,    f.Label11};
    auto showModels = [&](bool on) {
        for (QWidget* w : modelli)
            w->setVisible(on);
        f.TestataModelli->setVisible(on);
    };
    switch (f.Operazione->ItemIndex()) {
    case 0:
        setFieldsEnabled(aria, false);
        f.MetriCubiOra->SetValue(0);
        setFieldsEnabled(resa, false);
        showModels(true);
        setFieldsEnabled(modelli, true);
        break;
    case 1:
        setFieldsEnabled(aria, false);
        f.MetriCubiOra->SetValue(0);
        setFieldsEnabled(resa, true);
        setFieldsEnabled(modelli, false);
        showModels(false);
        break;
    case 2:
        setFieldsEnabled(aria, true);
        setFieldsEnabled(resa, false);
        setFieldsEnabled(modelli, false);
        showModels(false);
        break;
    default:
        break;
    }
}

void TDodedaVO::CalcoloClick() { impostaPagine(); }

namespace {
QString zeroOneDecimal() { return QStringLiteral("0") + fc::DecimalSeparator() + QStringLiteral("0"); }
} // namespace

// The water input mode of the heating or cooling page: item 0 takes the
// outlet or the temperature difference, item 1 a required flow, item 2 a
// required pressure drop; the two temperatures are then reset to 0,0.
void TDodedaVO::datiInClick(bool caldo)
{
    const GruppoAcqua g = gruppoAcqua(caldo);
    switch ((caldo ? ui->DatiInRiscalda : ui->DatiInRaffredda)->ItemIndex()) {
    case 0:
        setFieldsEnabled(g.temperature, true);
        setFieldsEnabled(g.portata, false);
        setFieldsEnabled(g.pdc, false);
        break;
    case 1:
    case 2: {
        const bool portata = (caldo ? ui->DatiInRiscalda : ui->DatiInRaffredda)->ItemIndex() == 1;
        setFieldsEnabled(g.portata, portata);
        setFieldsEnabled(g.pdc, !portata);
        g.uscita->SetText(zeroOneDecimal());
        g.salto->SetText(zeroOneDecimal());
        setFieldsEnabled(g.temperature, false);
        break;
    }
    default:
        break;
    }
}

void TDodedaVO::DatiInRiscaldaClick() { datiInClick(true); }
void TDodedaVO::DatiInRaffreddaClick() { datiInClick(false); }

void TDodedaVO::FluidoClick()
{
    Ui::TDodedaVO& f = *ui;
    const bool glicole = f.Fluido->ItemIndex() == 1;
    f.Glicoperc->setEnabled(glicole);
    f.SegnoPerc->setEnabled(glicole);
    if (glicole)
        f.Glicoperc->setFocus();
    else
        f.Glicoperc->SetValue(0);
}

void TDodedaVO::AltitudineClick()
{
    Ui::TDodedaVO& f = *ui;
    const bool metri = f.Altitudine->ItemIndex() == 1;
    f.Altitud->setEnabled(metri);
    f.Altitud1->setEnabled(metri);
    if (metri)
        f.Altitud->setFocus();
    else
        f.Altitud->SetValue(0);
}

void TDodedaVO::VeloCalcoloClick()
{
    Stato.VeloCalcolo = ui->VeloCalcolo->ItemIndex() + 1;
    // The static pressure's limits are those of the design speed's curves:
    // they follow it at once, not only when the models are next left.
    if (ui->ListaModelli->Count() > 0)
        ListaModelliExit();
}

void TDodedaVO::convertCapacity(TOvNumEdit* from, TOvNumEdit* to, bool kcalToWatt)
{
    // The edit shows thousands separators; the number is read without them.
    const int v = int(valoreCampo(from, true));
    const double r = kcalToWatt ? v / 0.86 : v * 0.86;
    to->SetValue(double(fc::Round(r)));
}

void TDodedaVO::ResaRichFreddoKcalExit() { convertCapacity(ui->ResaRichFreddoKcal, ui->ResaRichFreddoWatt, true); }
void TDodedaVO::ResaRichFreddoWattExit() { convertCapacity(ui->ResaRichFreddoWatt, ui->ResaRichFreddoKcal, false); }
void TDodedaVO::ResaRichCaldoWattExit() { convertCapacity(ui->ResaRichCaldoWatt, ui->ResaRichCaldoKcal, false); }
void TDodedaVO::ResaRichCaldoKcalExit() { convertCapacity(ui->ResaRichCaldoKcal, ui->ResaRichCaldoWatt, true); }

void TDodedaVO::TBSFreddoKeyPress(TOvNumEdit* sender, QChar& key)
{
    SGRisultati.SetRowCount(1);
    if (key == QChar(13)) {
        key = QChar();
        // As Tab would: the next enabled, visible control that takes Tab.
        for (QWidget* w = sender->nextInFocusChain(); w && w != sender; w = w->nextInFocusChain())
            if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible() && w->window() == window()) {
                w->setFocus(Qt::TabFocusReason);
                break;
            }
    }
}

void TDodedaVO::SalTerAcquaCaldoKeyPress(TOvNumEdit*, QChar& key)
{
    SGRisultati.SetRowCount(1);
    if (key == QChar(9))
        key = QChar();
}

void TDodedaVO::MainMenu1Change() { SGRisultati.SetRowCount(1); }
void TDodedaVO::RiscaldamentoEnter() { SGRisultati.SetRowCount(1); }

// ---------------------------------------------------------------------------
// Prices

void TDodedaVO::impostaPrezzi()
{
    Ui::TDodedaVO& f = *ui;
    if (DatiGlobali.ScontoMolt == 1) {
        f.Sconto->setChecked(true);
        for (TOvNumEdit* e : {f.Sconto1, f.Sconto2, f.Sconto3})
            e->setEnabled(true);
        f.Sconto1->SetValue(DatiGlobali.Sconto1);
        f.Sconto2->SetValue(DatiGlobali.Sconto2);
        f.Sconto3->SetValue(DatiGlobali.Sconto3);
    } else if (DatiGlobali.ScontoMolt == 2) {
        f.moltiplicatore->setChecked(true);
        f.Moltip->SetValue(DatiGlobali.Moltip);
    }
}

void TDodedaVO::ScontoClick()
{
    Ui::TDodedaVO& f = *ui;
    for (TOvNumEdit* e : {f.Sconto1, f.Sconto2, f.Sconto3})
        e->setEnabled(true);
    f.Sconto1->SetValue(DatiGlobali.Sconto1);
    f.Sconto2->SetValue(DatiGlobali.Sconto2);
    f.Sconto3->SetValue(DatiGlobali.Sconto3);
    f.Moltip->SetValue(1.0);
    f.Moltip->setEnabled(false);
    f.CheckSconto->setEnabled(true);
    f.CheckNetto->setEnabled(true);
    f.CheckMoltiplica->setChecked(false);
    f.CheckMoltiplica->setEnabled(false);
    f.Sconto1->setFocus();
}

void TDodedaVO::moltiplicatoreClick()
{
    Ui::TDodedaVO& f = *ui;
    for (TOvNumEdit* e : {f.Sconto1, f.Sconto2, f.Sconto3}) {
        e->SetValue(0);
        e->setEnabled(false);
    }
    f.Moltip->setEnabled(true);
    f.Moltip->SetValue(DatiGlobali.Moltip);
    f.CheckSconto->setChecked(false);
    f.CheckSconto->setEnabled(false);
    f.CheckNetto->setEnabled(true);
    f.CheckMoltiplica->setEnabled(true);
    f.Moltip->setFocus();
}

void TDodedaVO::ScontoExit(TOvNumEdit* field)
{
    Ui::TDodedaVO& f = *ui;
    const long double s1 = f.Sconto1->Value(), s2 = f.Sconto2->Value(), s3 = f.Sconto3->Value();
    if (s1 + s2 + s3 <= 100)
        return;
    const long double others = s1 + s2 + s3 - field->Value();
    // The other two may already reach 100 between them: never a negative discount.
    field->SetValue(std::max<long double>(0, 100 - others));
}
