#include "Reports.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <charconv>
#include <cstring>
#include <cmath>

#include "ReportFrame.h"
#include "UnitPreview.h"
#include "engine/Catalogo.h"
#include "engine/Records.h"
#include "engine/Selezione.h"
#include "platform/Dialogs.h"
#include "platform/Numbers.h"
#include "platform/ProgramFolder.h"
#include "platform/WaitCursor.h"
#include "report/ARPrintProgress.h"
#include "report/ARPrinter.h"
#include "report/ARRep.h"
#include "report/ARUserRep.h"

namespace fc::reports {

namespace {

// The decimal digits of a value with at most 12 significant ones, and the
// power of ten of the first: 585.675 gives "585675000000" and 2.
struct Digits12 {
    char digits[12] = {};
    int exponent = 0;
    bool negative = false;
};

Digits12 digits12(double value)
{
    Digits12 d;
    // The double's shortest form rounded to 12 digits, half up, is the value
    // rounded to 12 digits, except when the digits beyond the twelfth are
    // exactly one 5: the value itself then lies on either side of the half
    // or on it, and only the long way tells.
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const char* p = buf;
    const bool negative = p < r.ptr && *p == '-';
    if (negative)
        ++p;
    char digits[24];
    int n = 0;
    for (; p < r.ptr && *p != 'e' && n < int(sizeof digits); ++p)
        if (*p != '.')
            digits[n++] = *p;
    int exponent = 0;
    if (p < r.ptr && *p == 'e')
        std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), r.ptr, exponent);
    if (value != 0 && r.ec == std::errc() && !(n == 13 && digits[12] == '5')) {
        bool up = n > 12 && digits[12] >= '5';
        n = std::min(n, 12);
        for (int i = n - 1; up && i >= 0; --i) {
            if (digits[i] == '9') {
                digits[i] = '0';
            } else {
                ++digits[i];
                up = false;
            }
        }
        if (up) { // 9.99...9 became 10.0...0
            digits[0] = '1';
            ++exponent;
        }
        while (n < 12)
            digits[n++] = '0';
        std::memcpy(d.digits, digits, 12);
        d.exponent = exponent;
        d.negative = negative;
        return d;
    }
    const QString e = QString::number(value, 'e', 11); // [-]d.ddddddddddde[+-]xx
    d.negative = e.startsWith(u'-');
    const qsizetype ePos = e.indexOf(u'e');
    const QString mantissa = e.left(ePos).remove(u'-').remove(u'.');
    for (int i = 0; i < 12; ++i)
        d.digits[i] = i < mantissa.size() ? char(mantissa.at(i).unicode()) : '0';
    d.exponent = e.mid(ePos + 1).toInt();
    return d;
}

} // namespace

QString Numero(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString();
    decimals = qBound(0, decimals, 15);
    // At most 12 significant digits, then the fixed decimals, rounded on
    // those decimal digits (half away from zero): the 12-digit value taken
    // back into a double would round its binary neighbour instead, and
    // 585.675 would print 585,67.
    const Digits12 d = digits12(value);
    // The value times 10^decimals as a whole number of decimal digits
    // (a double's exponent and 15 decimals: within 12 + 308 + 15 digits, and
    // one more where the rounding carries).
    const int shift = d.exponent - 12 + 1 + decimals;
    char scaled[12 + 308 + 16 + 2];
    const char* first = scaled;
    int n = 0;
    if (shift >= 0) {
        std::memcpy(scaled, d.digits, 12);
        std::memset(scaled + 12, '0', size_t(shift));
        n = 12 + shift;
    } else {
        // scaled[0] is room for a carry out of the first digit.
        char* digits = scaled + 1;
        const int keep = 12 + shift;
        if (keep > 0) {
            std::memcpy(digits, d.digits, size_t(keep));
            n = keep;
        } else {
            digits[0] = '0';
            n = 1;
        }
        first = digits;
        const char next = keep >= 0 ? d.digits[keep] : '0';
        if (next >= '5') {
            int i = n - 1;
            for (; i >= 0 && digits[i] == '9'; --i)
                digits[i] = '0';
            if (i < 0) {
                scaled[0] = '1';
                first = scaled;
                ++n;
            } else {
                ++digits[i];
            }
        }
    }
    while (n > 1 && *first == '0') {
        ++first;
        --n;
    }
    // Zeros before, so that there is a whole digit before the decimals.
    const int pad = n <= decimals ? decimals + 1 - n : 0;
    const int wholeDigits = n + pad - decimals;
    bool anyNonZero = false;
    for (int i = 0; i < n && !anyNonZero; ++i)
        anyNonZero = first[i] != '0';
    const QChar thousands = fc::ThousandSeparator();
    char16_t out[1 + 2 * (12 + 308 + 16 + 2) + 2];
    int o = 0;
    // A value that rounds to zero has no sign.
    if (d.negative && anyNonZero)
        out[o++] = u'-';
    auto digitAt = [&](int i) { return char16_t(i < pad ? '0' : first[i - pad]); };
    for (int i = 0; i < wholeDigits; ++i) {
        if (!thousands.isNull() && i > 0 && (wholeDigits - i) % 3 == 0)
            out[o++] = thousands.unicode();
        out[o++] = digitAt(i);
    }
    if (decimals > 0) {
        out[o++] = fc::DecimalSeparator().unicode();
        for (int i = wholeDigits; i < wholeDigits + decimals; ++i)
            out[o++] = digitAt(i);
    }
    return QString(reinterpret_cast<const QChar*>(out), o);
}

QString NumeroComeInserito(double value)
{
    if (!std::isfinite(value))
        return QString();
    // As many decimals as the value's 12 significant digits need.
    const Digits12 d = digits12(value);
    int significant = 12;
    while (significant > 1 && d.digits[significant - 1] == '0')
        --significant;
    return Numero(value, qMax(0, significant - 1 - d.exponent));
}

ReportFrame::ReportFrame(const TReportInputs& in, TFormPrew& form, const QString& templateName, int perPage)
    : in_(in), form_(form), rep_(*form.UserRep), templateName_(templateName), perPage_(perPage)
{
}

ReportFrame::~ReportFrame()
{
    if (dlg_) {
        dlg_->close();
        delete dlg_;
    }
}

void ReportFrame::collectModels()
{
    // Every ticked model; the table grows with them (no fixed capacity).
    for (const QString& item : in_.ModelliSpuntati) {
        const QString key = chiaveModello(item);
        fancoil* m = ListaMacchine.Find(key);
        if (!m)
            continue;
        ModelEntry e{m, nullptr};
        // The entry whose code is the chosen version, else the last one.
        for (vers* v : VersioniDi(key)) {
            e.version = v;
            if (v->CodiceVersione == in_.Versione)
                break;
        }
        models_.push_back(e);
    }
}

bool ReportFrame::Run(const std::function<void()>& page)
{
    fc::WaitCursor cursor;

    const TReportPrezzi& p = in_.Prezzi;
    discount_.clear();
    if (p.Sconto) {
        for (double v : {p.Sconto1, p.Sconto2, p.Sconto3}) {
            if (v > 0) {
                if (!discount_.isEmpty())
                    discount_ += u'+';
                // As entered, so that the printed chain gives the printed
                // net price, which is computed with these values.
                discount_ += NumeroComeInserito(v);
            }
        }
    }
    collectModels();

    const QString path = fc::ProgramFolder() + templateName_;
    if (!QFileInfo(path).isFile()) {
        TMessageRequest r;
        r.Caption = QStringLiteral(" ");
        r.Text = Msg(QStringLiteral("File: ") + templateName_ + QStringLiteral(" not found!"));
        r.Buttons = mbOK;
        fc::Dialogs().MessageBox(r);
        return false;
    }
    // A catalogue that holds none of the ticked models leaves nothing to
    // head the report with.
    if (models_.empty())
        return false;

    const int n = int(models_.size());
    const int pages = (n + perPage_ - 1) / perPage_;
    dlg_ = TPrintProgressDlg::CreateWithCaption(&form_, QStringLiteral("Report"));
    dlg_->ProgressBar->setMinimum(0);
    dlg_->ProgressBar->setMaximum(40 * pages);
    dlg_->ProgressBar->setValue(0);
    dlg_->Aborted = false;

    rep_.LoadTemplate(path);
    rep_.ClearVars();
    rep_.Clear();
    if (rep_.Template()->BandCount() == 0) {
        templateDanneggiato(path, Msg(QStringLiteral("The template holds no bands")));
        return false;
    }
    missing_.clear();
    dlg_->show();
    Step();

    first_ = 0;
    last_ = qMin(n, perPage_) - 1;
    for (;;) {
        rep_.ClearVars();
        rep_.SetTitle(QStringLiteral("Report"));
        Intestazioni();
        page();
        const int nextFirst = last_ + 1;
        if (nextFirst >= n)
            break;
        rep_.PageBreak();
        first_ = nextFirst;
        last_ = qMin(n, nextFirst + perPage_) - 1;
    }
    dlg_->close();
    delete dlg_;
    dlg_ = nullptr;
    // A template without the bands this report fills would give blank or
    // partial pages: nothing is shown.
    if (!missing_.isEmpty()) {
        rep_.Clear();
        templateDanneggiato(path, Msg(QStringLiteral("Missing bands: ")) + missing_.join(QStringLiteral(", ")));
        return false;
    }
    form_.show();
    return true;
}

void ReportFrame::templateDanneggiato(const QString& path, const QString& detail) const
{
    TMessageRequest r;
    r.Caption = QStringLiteral(" ");
    r.Text = Msg(QStringLiteral("Damaged report template: ")) + QDir::toNativeSeparators(path) + u'\n' + detail;
    r.Type = TMsgDlgType::mtError;
    r.Buttons = mbOK;
    fc::Dialogs().MessageBox(r);
}

void ReportFrame::Set(const QString& name, const QString& value) { rep_.SetVar(name, value); }

TARBand* ReportFrame::Add(const QString& band)
{
    TARBand* b = rep_.AddBands(band);
    if (!b && !missing_.contains(band, Qt::CaseInsensitive))
        missing_ << band;
    return b;
}

void ReportFrame::Step(int n)
{
    if (!dlg_)
        return;
    for (int i = 0; i < n; ++i)
        dlg_->StepIt();
}

bool ReportFrame::Freddo() { return Stato.ModoCalcolo != 1 && Stato.TipoCalcolo != u'A'; }
bool ReportFrame::Caldo() { return Stato.ModoCalcolo != 0 && Stato.TipoCalcolo != u'A'; }

double ReportFrame::PressioneStatica(const fancoil& m, int s, bool& clamped)
{
    const double p = Stato.PressioneDisponibile[s];
    clamped = false;
    if (p < m.PSA[s][1]) {
        clamped = true;
        return m.PSA[s][1];
    }
    if (p > m.PSA[s][8]) {
        clamped = true;
        return m.PSA[s][8];
    }
    return p;
}

QString ReportFrame::Msg(const QString& text) const
{
    const auto it = msgs_.constFind(text);
    if (it != msgs_.constEnd())
        return *it;
    const QString t = in_.Msg(text);
    msgs_.insert(text, t);
    return t;
}

QString ReportFrame::Valore(bool nonCalcolato, double value, int decimals) const
{
    return nonCalcolato ? Msg(QStringLiteral("non calc.")) : Numero(value, decimals);
}

QString ReportFrame::PrezzoListino(const vers* v) const
{
    if (!v)
        return QString();
    return Numero(v->PrezzoListino * DatiGlobali.CambioEuro, DatiGlobali.DecimaliValuta);
}

bool ReportFrame::HaNetto() const { return in_.Prezzi.Sconto || in_.Prezzi.moltiplicatore; }

QString ReportFrame::PrezzoNetto(const vers* v) const
{
    const TReportPrezzi& p = in_.Prezzi;
    if (!v)
        return QString();
    const double list = v->PrezzoListino * DatiGlobali.CambioEuro;
    if (p.Sconto)
        return Numero(list * (100 - p.Sconto1) * (100 - p.Sconto2) * (100 - p.Sconto3) / 1000000.0,
                      DatiGlobali.DecimaliValuta);
    if (p.moltiplicatore)
        return Numero(p.Moltip * list, DatiGlobali.DecimaliValuta);
    return QString();
}

void ReportFrame::Intestazioni()
{
    auto righe = [](const QStringList& l) {
        QStringList three;
        for (int i = 0; i < 3; ++i)
            three << l.value(i);
        return three.join(u'\r');
    };
    auto logo = [this](const QString& file) {
        const QString path = fc::ProgramFolder() + file;
        if (!QFileInfo(path).isFile())
            return;
        TARRep* rep = rep_.Rep();
        if (rep->BandCount() == 0)
            return;
        TARBand* b = rep->GetBand(rep->BandCount() - 1);
        if (b->CellCount() == 0)
            return;
        // A logo that does not load leaves its frame empty: the report is
        // built all the same, and the user is told which file and why.
        try {
            b->GetCell(0)->SetPictureFileName(path);
        } catch (const Exception& e) {
            b->GetCell(0)->SetPictureFileName(QString());
            fc::ShowMessage(QStringLiteral(" "), e.Message(), TMsgDlgType::mtWarning);
        }
    };
    Set(QStringLiteral("Intesta"), righe(RigheFirm));
    Add(QStringLiteral("Intestazione"));
    logo(QStringLiteral("imgs/MiniLogo.bmp"));
    Set(QStringLiteral("Intesta1"), righe(RigheDealer));
    Add(QStringLiteral("Intestazione1"));
    logo(QStringLiteral("imgs/MiniLogo1.bmp"));
    if (!in_.Riferimento.isEmpty()) {
        Set(QStringLiteral("Riferimento"), in_.CaptionRif + u' ' + in_.Riferimento);
        Add(QStringLiteral("Riferimento"));
    }
}

} // namespace fc::reports

bool costruisciReport(const TReportInputs& in, TFormPrew& form)
{
    switch (in.TipoReport) {
    case 1:
        return reportUnaVelocita(in, form);
    case 2:
        return reportPannello(in, form);
    default:
        return reportTreVelocita(in, form);
    }
}

QString templateReport(int tipoReport)
{
    switch (tipoReport) {
    case 1:
        return QStringLiteral("Rep1Vel.AR");
    case 2:
        return QStringLiteral("RepPann.AR");
    default:
        return QStringLiteral("Rep9Col.AR");
    }
}

namespace {

// Turn k: the templates (0 to 2), then the printing system, which the
// report's page layout asks whether a printer is installed.
void preparaDa(QPointer<TFormPrew> form, int first, int k)
{
    if (k > 3 || !form)
        return;
    QTimer::singleShot(0, form.data(), [form, first, k] {
        if (!form || !form->UserRep)
            return;
        try {
            if (k == 3) {
                (void)form->UserRep->Printer()->PrinterInstalled();
            } else {
                const QString path = fc::ProgramFolder() + templateReport((first + k) % 3);
                if (QFileInfo(path).isFile())
                    form->UserRep->PrepareTemplate(path);
            }
        } catch (const Exception&) {
        }
        preparaDa(form, first, k + 1);
    });
}

} // namespace

void preparaReport(TFormPrew& form, int tipoReport)
{
    preparaDa(QPointer<TFormPrew>(&form), tipoReport >= 0 && tipoReport <= 2 ? tipoReport : 0, 0);
}
