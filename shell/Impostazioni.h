#pragma once
// Typed values of the settings file select.ini. Each value is checked for
// what it can mean where it is read: a value that does not read whole as a
// number, or lies outside its range, gets its default, and the keys that
// were wrong are told together in one message naming the file.

#include <QString>
#include <QStringList>

namespace fc {
class IniFile;
}

class TImpostazioni {
public:
    // ini is the opened file; fileName names it in the message.
    TImpostazioni(const fc::IniFile& ini, QString fileName);

    // A key that is missing or empty gives def without a word. expected
    // says, for the message, what the value should be.
    double Reale(const QString& section, const QString& key, double def, double min, double max,
                 const QString& expected);
    int Intero(const QString& section, const QString& key, int def, int min, int max, const QString& expected);
    // The same with one value outside the range allowed as well (the 0 a
    // temperature that was never saved reads as).
    double RealeOppure(const QString& section, const QString& key, double def, double min, double max, double also,
                       const QString& expected);

    // The wrong keys so far, one line each.
    const QStringList& Problemi() const { return problemi_; }
    // One message with every wrong key, when there is one; then none again.
    void Avvisa();

private:
    QString testo(const QString& section, const QString& key) const;
    void sbagliato(const QString& section, const QString& key, const QString& text, const QString& expected,
                   const QString& def);

    const fc::IniFile& ini_;
    QString fileName_;
    QStringList problemi_;
};
