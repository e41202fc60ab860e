#pragma once
// What the selection reports read from the main window, taken in one go
// when a report is built: the ticked models, the version, the reference
// line, the price options and the report choice.
#include <QString>
#include <QStringList>

class TLanguage;

struct TReportPrezzi {
    bool CheckListino = false;
    bool CheckSconto = false;
    bool CheckMoltiplica = false;
    bool CheckNetto = false;
    bool Sconto = false;         // radio button: discount mode
    bool moltiplicatore = false; // radio button: multiplier mode
    double Sconto1 = 0, Sconto2 = 0, Sconto3 = 0;
    double Moltip = 0;
};

struct TReportInputs {
    // Item texts of ListaModelli whose check mark is set, in list order.
    QStringList ModelliSpuntati;
    QString Versione;     // text of ListaVersion
    QString DescVersione; // caption of DescVersione
    QString CaptionRif;   // caption of the label Rif
    QString Riferimento;  // text of Riferimento
    TReportPrezzi Prezzi;
    int TipoReport = 0;   // 0 three-speed table, 1 one-speed table, 2 panel
    TLanguage* Lingua = nullptr;

    // Msg of the main window's translation; the text itself without one.
    QString Msg(const QString& text) const;
};
