#pragma once
// What the three report builders share: the table of ticked models, the
// progress dialog, the page loop and page heads, the number format, the
// cooling and heating visibility, the static-pressure clamp and the prices.
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "ReportInputs.h"

class fancoil;
class vers;
class TARBand;
class TARUserRep;
class TFormPrew;
class TPrintProgressDlg;

namespace fc::reports {

struct ModelEntry {
    fancoil* model = nullptr;
    vers* version = nullptr; // none when the catalogue holds no version of the model
};

// Number text with the separators of the process, d decimals, at most 12
// significant digits.
QString Numero(double value, int decimals);
// The same with the decimals the value has (12 significant digits at most):
// 12.5 gives "12,5", 10 gives "10".
QString NumeroComeInserito(double value);

class ReportFrame {
public:
    ReportFrame(const TReportInputs& in, TFormPrew& form, const QString& templateName, int perPage);
    ~ReportFrame();

    // Runs the frame; page() fills one page. False when nothing was built.
    bool Run(const std::function<void()>& page);

    // The page being filled: positions first..last (0-based in Models()).
    int First() const { return first_; }
    int Last() const { return last_; }
    const std::vector<ModelEntry>& Models() const { return models_; }
    const ModelEntry& FirstModel() const { return models_.front(); }

    void Set(const QString& name, const QString& value);
    TARBand* Add(const QString& band);
    void Step(int n = 1);
    // The translation of text; each text is looked up once per report, the
    // pages asking for the same few hundred labels over and over.
    QString Msg(const QString& text) const;
    const TReportInputs& In() const { return in_; }
    TARUserRep& Rep() const { return rep_; }

    // Whether cooling and heating values are shown in this run.
    static bool Freddo();
    static bool Caldo();
    // The available static pressure at speed s, limited to the model's fan
    // curve; clamped tells whether it was limited.
    static double PressioneStatica(const fancoil& m, int s, bool& clamped);
    // The cell text of a rated value, or the not-rated text.
    QString Valore(bool nonCalcolato, double value, int decimals) const;

    QString DiscountText() const { return discount_; }
    // Price texts of a version, empty when the version or option is missing.
    QString PrezzoListino(const vers* v) const;
    QString PrezzoNetto(const vers* v) const;
    bool HaNetto() const;

    // The heads of every page: firm, dealer, reference.
    void Intestazioni();

private:
    void collectModels();
    // Tells that the template at path cannot make this report.
    void templateDanneggiato(const QString& path, const QString& detail) const;
    const TReportInputs& in_;
    TFormPrew& form_;
    TARUserRep& rep_;
    QString templateName_;
    int perPage_;
    std::vector<ModelEntry> models_;
    QString discount_;
    TPrintProgressDlg* dlg_ = nullptr;
    int first_ = 0, last_ = 0;
    QStringList missing_; // bands asked for that the template does not have
    mutable QHash<QString, QString> msgs_;
};

} // namespace fc::reports
