#pragma once
// Storage of report templates: an abstract file system that the report
// engine reads and writes through, and its implementation on disk files.
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "ARRepCommon.h"
#include "platform/Errors.h"

// Options of the file dialogs (bit set).
enum TOpenOption : unsigned {
    ofReadOnly = 1u << 0,
    ofOverwritePrompt = 1u << 1,
    ofHideReadOnly = 1u << 2,
    ofAllowMultiSelect = 1u << 9,
    ofPathMustExist = 1u << 11,
    ofFileMustExist = 1u << 12,
};
using TOpenOptions = unsigned;

class EAbstractError : public Exception {
public:
    EAbstractError() : Exception(QStringLiteral("Abstract Error")) {}
};

class QMenu;
class QAction;

class TVirtualFileSystem {
public:
    TVirtualFileSystem() = default;
    virtual ~TVirtualFileSystem();
    TVirtualFileSystem(const TVirtualFileSystem&) = delete;
    TVirtualFileSystem& operator=(const TVirtualFileSystem&) = delete;

    QString Filter;
    QString InitialDir;
    TOpenOptions Options = 0;
    QString Title;
    QString FileName;
    std::function<void(TVirtualFileSystem*)> OnExecuteSetup;

    // File names chosen in the last open dialog.
    const QStringList& Files() const { return files_; }
    QAction* OptionsMenuItem() const { return optionsMenuItem_; }
    virtual void SetOptionsMenuItem(QAction* item) { optionsMenuItem_ = item; }

    virtual void SetParams(const QString&) { throw EAbstractError(); }
    virtual QString GetParams() const { throw EAbstractError(); }
    QString Params() const { return GetParams(); }
    virtual QString GetMediaName() const { throw EAbstractError(); }
    virtual QString GetDisplayName() const { throw EAbstractError(); }
    virtual QString Caption() const { return FileName; }

    // The stream stays owned by the storage until the matching close.
    virtual QIODevice* CreateReadStream(const QString&) { throw EAbstractError(); }
    virtual void CloseReadStream();
    virtual QIODevice* CreateWriteStream(const QString&) { throw EAbstractError(); }
    // Closing a write stream completes the file; a failed write raises.
    virtual void CloseWriteStream();

    virtual bool OpenDialogExecute() { throw EAbstractError(); }
    virtual bool SaveDialogExecute() { throw EAbstractError(); }
    virtual void CreateFile(const QString&) { throw EAbstractError(); }
    virtual bool FileExists(const QString&) const { throw EAbstractError(); }
    virtual QString ExtractPath(const QString&) const { throw EAbstractError(); }
    virtual QString ExtractFileNameOnly(const QString&) const { throw EAbstractError(); }
    virtual void ExecuteSetup();

protected:
    QStringList files_;
    std::unique_ptr<QIODevice> readStream_;
    std::unique_ptr<QIODevice> writeStream_;

private:
    QAction* optionsMenuItem_ = nullptr;
};

class TStandardFileSystem : public TVirtualFileSystem {
public:
    TStandardFileSystem();
    ~TStandardFileSystem() override;

    QString DefaultExt;
    TAIStringList& ExtList() { return extList_; }
    const TAIStringList& ExtList() const { return extList_; }

    void SetParams(const QString& text) override;
    QString GetParams() const override;
    QString GetMediaName() const override { return QStringLiteral("File"); }
    QString GetDisplayName() const override { return QStringLiteral("Standard"); }
    QIODevice* CreateReadStream(const QString& name) override;
    QIODevice* CreateWriteStream(const QString& name) override;
    bool OpenDialogExecute() override;
    bool SaveDialogExecute() override;
    void CreateFile(const QString& name) override;
    bool FileExists(const QString& name) const override;
    QString ExtractPath(const QString& name) const override;
    QString ExtractFileNameOnly(const QString& name) const override;
    void ExecuteSetup() override;

    // The preferences dialog: gets the extension list and answers the list
    // the user confirmed, or false when cancelled. The widgets layer
    // installs it; without one the setup only fires OnExecuteSetup.
    using SetupDialogRunner = std::function<bool(TStandardFileSystem&, QStringList& extensions)>;
    static void SetSetupDialogRunner(SetupDialogRunner runner);

private:
    TAIStringList extList_{QStringLiteral("TStandardFileSystem.ExtList")};
};
