#pragma once
// The preferences of the standard template storage: the list of template
// extensions and the registration of the template file type.
#include <QDialog>
#include <functional>

#include "ARRepCommon.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QListWidget;
class QMenu;
class QPushButton;
class IFileAssociations;

class TARSFSSetupDlg : public QDialog {
    Q_OBJECT
public:
    explicit TARSFSSetupDlg(QWidget* parent = nullptr);
    ~TARSFSSetupDlg() override;

    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QGroupBox* ExtensionsGroupBox;
    QListWidget* FTLB;
    QCheckBox* RegCB;
    QMenu* ExtPopupMenu;
    QAction* AddMenuItem;
    QAction* DelMenuItem;

    // Asks for a new extension; false when cancelled. Replaceable for tests.
    std::function<bool(QString& extension)> InputQuery;
    // The program whose path the registration writes (the executable).
    QString ProgramPath;

    void SetExtensions(const QStringList& exts);
    QStringList Extensions() const;
    const TAIStringList& DelList() const { return delList_; }
    bool IsModified() const { return modified_; }

    // The handlers, callable directly.
    void FormShow();
    void AddMenuItemClick();
    void DelMenuItemClick();
    void OKBtnClick();

    // Description of the template file type in the registry.
    static QString FileTypeDescription();

protected:
    void showEvent(QShowEvent* e) override;

private:
    TAIStringList delList_{QStringLiteral("TARPreferecesDlg.DelList")};
    bool modified_ = false;
};

namespace ar {
// Makes TStandardFileSystem::ExecuteSetup show this dialog.
void InstallStandardSetupDialog();
} // namespace ar
