#include "Impostazioni.h"

#include <QDir>
#include <cmath>
#include <utility>

#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Numbers.h"

TImpostazioni::TImpostazioni(const fc::IniFile& ini, QString fileName) : ini_(ini), fileName_(std::move(fileName)) {}

QString TImpostazioni::testo(const QString& section, const QString& key) const
{
    return ini_.ReadString(section, key, QString()).trimmed();
}

void TImpostazioni::sbagliato(const QString& section, const QString& key, const QString& text, const QString& expected,
                              const QString& def)
{
    problemi_ << QStringLiteral("[%1] %2=%3: %4 is expected; %5 is used").arg(section, key, text, expected, def);
}

double TImpostazioni::RealeOppure(const QString& section, const QString& key, double def, double min, double max,
                                  double also, const QString& expected)
{
    const QString text = testo(section, key);
    if (text.isEmpty())
        return def;
    // The file writes its numbers with a decimal comma, whatever the system's
    // separators: a value that does not read whole that way is wrong, not a
    // shorter number.
    double v = 0;
    if (fc::TryStrToFloat(text, v, QChar(',')) && std::isfinite(v) && ((min <= v && v <= max) || v == also))
        return v;
    sbagliato(section, key, text, expected, fc::FloatToStrGeneral(def, QChar(',')));
    return def;
}

double TImpostazioni::Reale(const QString& section, const QString& key, double def, double min, double max,
                            const QString& expected)
{
    return RealeOppure(section, key, def, min, max, min, expected);
}

int TImpostazioni::Intero(const QString& section, const QString& key, int def, int min, int max, const QString& expected)
{
    const QString text = testo(section, key);
    if (text.isEmpty())
        return def;
    int v = 0;
    if (fc::TryStrToInt(text, v) && min <= v && v <= max)
        return v;
    sbagliato(section, key, text, expected, fc::IntToStr(def));
    return def;
}

void TImpostazioni::Avvisa()
{
    if (problemi_.isEmpty())
        return;
    const QString text = QStringLiteral("Settings file \"%1\": these values cannot be used, their defaults are:\n%2")
                             .arg(QDir::toNativeSeparators(fileName_), problemi_.join(QLatin1Char('\n')));
    problemi_.clear();
    fc::ShowMessage(QStringLiteral(" "), text, TMsgDlgType::mtWarning);
}
