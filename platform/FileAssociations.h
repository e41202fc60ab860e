#pragma once
// The desktop's file-type registry as the report storage's preferences
// write it: keys named like "\.AR" or "\ARTemplate\Shell\Open\Command" with
// a default value. The program registers nothing with the real desktop; the
// installed service records what it was asked to do, so that a later
// desktop integration can replay it.
#include <QMap>
#include <QString>
#include <QStringList>

class IFileAssociations {
public:
    virtual ~IFileAssociations() = default;
    virtual bool KeyExists(const QString& key) const = 0;
    // Opens the key, creating it and its parents when missing.
    virtual void CreateKey(const QString& key) = 0;
    // Creates the key when missing and sets its default value.
    virtual void SetDefaultValue(const QString& key, const QString& value) = 0;
    // Removes the key with all its subkeys; a missing key is no error.
    virtual void DeleteKey(const QString& key) = 0;
};

// Keeps the keys in memory and logs every call ("create \X", "set \X=v",
// "delete \X"). Key names compare without regard to case.
class RecordingFileAssociations : public IFileAssociations {
public:
    bool KeyExists(const QString& key) const override;
    void CreateKey(const QString& key) override;
    void SetDefaultValue(const QString& key, const QString& value) override;
    void DeleteKey(const QString& key) override;

    // The default value of a key, empty when the key or its value is missing.
    QString DefaultValue(const QString& key) const;
    QStringList Keys() const;
    const QStringList& Log() const { return log_; }
    void ClearLog() { log_.clear(); }

private:
    static QString norm(const QString& key);
    QMap<QString, QString> keys_; // normalised name -> value
    QMap<QString, QString> names_; // normalised name -> name as given
    QStringList log_;
};

namespace fc {
// The installed service; a process-wide RecordingFileAssociations until
// another is installed.
IFileAssociations& FileAssociations();
void SetFileAssociations(IFileAssociations* service); // nullptr: back to the default
} // namespace fc
