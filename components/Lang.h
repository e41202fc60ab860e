#pragma once
// TLanguage: changes the texts of the user interface from a language file
// and looks up translated messages.
//
// A language file is an INI file: [Translations] maps property paths
// ("DodedaVO.Button1.Caption") to new values, [Messages] maps the program's
// own texts to translated ones, [Charset] Font.Charset names the character
// set (and so the code page) of the translated texts.

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace fc {
class IniFile;
}

class TLanguage;

// Sender, AComponent, PropertyName, OldValue, NewValue (the handler may
// replace the value that is then assigned).
using TLanguageNotifyEvent = std::function<void(TLanguage* sender, QObject* component, const QString& propertyName,
                                                const QString& oldValue, QString& newValue)>;
using TNotifyEvent = std::function<void(QObject* sender)>;

class TLanguage : public QObject {
public:
    explicit TLanguage(QObject* owner = nullptr);
    ~TLanguage() override;

    const QString& LanguageFile() const { return languageFile_; }
    void SetLanguageFile(const QString& fileName) { languageFile_ = fileName; }

    // The property paths to translate, one a line.
    const QStringList& Properties() const { return properties_; }
    QStringList& Properties() { return properties_; }
    void SetProperties(const QStringList& lines) { properties_ = lines; }

    // Separates the items of a string-list value; a blank text stores ",".
    const QString& Separator() const { return separator_; }
    void SetSeparator(const QString& separator);

    TNotifyEvent OnBeforeTranslation;
    TLanguageNotifyEvent OnTranslate;
    TNotifyEvent OnAfterTranslation;

    // Applies the language file to every path of Properties. A value that
    // is not an integer for an integer property raises EConvertError: the
    // remaining paths are not applied and OnAfterTranslation does not fire.
    void Translate();
    // Applies one value to one property path. An Items list renames the
    // choices only: missing items keep their text, extra ones are ignored.
    void TranslateProperty(const QString& path, const QString& value);
    // Why the file cannot serve as a language file (it cannot be read, it is
    // no single-byte or UTF-8 text, it has no section of a language file),
    // or empty; a missing file is empty too.
    static QString ProblemOf(const QString& fileName);
    // The translation of text from [Messages], or text itself.
    QString Msg(const QString& text);

    // The items a string-list value stands for, split at separator.
    static QStringList SplitList(const QString& text, const QString& separator);

    // The language file as read now: parsed again when its name, size or
    // time changes, so that a before-translation handler and the
    // translation after it share one reading.
    const fc::IniFile& File() { return file(); }

private:
    struct ComponentLists;
    void translateProperty(const QString& path, const QString& value, ComponentLists* components);
    const fc::IniFile& file();

    QString languageFile_;
    QStringList properties_;
    QString separator_;

    struct Cache;
    std::unique_ptr<Cache> cache_;
};
