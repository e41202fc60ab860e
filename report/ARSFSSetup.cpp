#include "ARSFSSetup.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "ARResStrings.h"
#include "ARVFS.h"
#include "platform/FileAssociations.h"

static const QString kFileType = QStringLiteral("ARTemplate");

TARSFSSetupDlg::TARSFSSetupDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ARSFSSetupDlg"));
    setWindowTitle(ar::ResStr(ar::sPreferences));
    ExtensionsGroupBox = new QGroupBox(ar::ResStr(ar::sExtensions), this);
    ExtensionsGroupBox->setObjectName(QStringLiteral("ExtensionsGroupBox"));
    FTLB = new QListWidget(ExtensionsGroupBox);
    FTLB->setObjectName(QStringLiteral("FTLB"));
    FTLB->setSelectionMode(QAbstractItemView::ExtendedSelection);
    RegCB = new QCheckBox(ar::ResStr(ar::sRegisterEditor), ExtensionsGroupBox);
    RegCB->setObjectName(QStringLiteral("RegCB"));
    auto* gl = new QVBoxLayout(ExtensionsGroupBox);
    gl->addWidget(FTLB);
    gl->addWidget(RegCB);

    OKBtn = new QPushButton(ar::ResStr(ar::sOK), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(ar::ResStr(ar::sCancel), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    auto* bl = new QHBoxLayout;
    bl->addStretch();
    bl->addWidget(OKBtn);
    bl->addWidget(CancelBtn);
    auto* l = new QVBoxLayout(this);
    l->addWidget(ExtensionsGroupBox);
    l->addLayout(bl);

    ExtPopupMenu = new QMenu(this);
    ExtPopupMenu->setObjectName(QStringLiteral("ExtPopupMenu"));
    AddMenuItem = ExtPopupMenu->addAction(ar::ResStr(ar::sAdd));
    AddMenuItem->setObjectName(QStringLiteral("AddMenuItem"));
    AddMenuItem->setShortcut(QKeySequence(Qt::Key_Insert));
    DelMenuItem = ExtPopupMenu->addAction(ar::ResStr(ar::sDelete));
    DelMenuItem->setObjectName(QStringLiteral("DelMenuItem"));
    DelMenuItem->setShortcut(QKeySequence(Qt::Key_Delete));
    FTLB->addAction(AddMenuItem);
    FTLB->addAction(DelMenuItem);
    AddMenuItem->setShortcutContext(Qt::WidgetShortcut);
    DelMenuItem->setShortcutContext(Qt::WidgetShortcut);
    FTLB->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FTLB, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { ExtPopupMenu->popup(FTLB->viewport()->mapToGlobal(pos)); });

    connect(AddMenuItem, &QAction::triggered, this, [this] { AddMenuItemClick(); });
    connect(DelMenuItem, &QAction::triggered, this, [this] { DelMenuItemClick(); });
    connect(RegCB, &QCheckBox::toggled, this, [this] { modified_ = true; });
    connect(OKBtn, &QPushButton::clicked, this, [this] {
        OKBtnClick();
        accept();
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    InputQuery = [this](QString& ext) {
        bool ok = false;
        ext = QInputDialog::getText(this, QStringLiteral("New file type"), QStringLiteral("Input file extension"),
                                    QLineEdit::Normal, QString(), &ok);
        return ok;
    };
    ProgramPath = QCoreApplication::applicationFilePath();
}

TARSFSSetupDlg::~TARSFSSetupDlg() = default;

QString TARSFSSetupDlg::FileTypeDescription() { return QStringLiteral("Report template"); }

void TARSFSSetupDlg::SetExtensions(const QStringList& exts)
{
    FTLB->clear();
    FTLB->addItems(exts);
}

QStringList TARSFSSetupDlg::Extensions() const
{
    QStringList out;
    for (int i = 0; i < FTLB->count(); ++i)
        out << FTLB->item(i)->text();
    return out;
}

void TARSFSSetupDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormShow();
}

void TARSFSSetupDlg::FormShow()
{
    const bool registered = fc::FileAssociations().KeyExists(QStringLiteral("\\") + kFileType);
    RegCB->setChecked(registered);
    modified_ = true; // setting the box counts as a change, also initially
}

void TARSFSSetupDlg::AddMenuItemClick()
{
    QString ext;
    if (InputQuery && InputQuery(ext) && !ext.isEmpty()) {
        FTLB->addItem(ext);
        modified_ = true;
    }
}

void TARSFSSetupDlg::DelMenuItemClick()
{
    for (int i = FTLB->count() - 1; i >= 0; --i) {
        if (FTLB->item(i)->isSelected()) {
            delList_.Add(FTLB->item(i)->text());
            delete FTLB->takeItem(i);
        }
    }
    modified_ = true;
}

void TARSFSSetupDlg::OKBtnClick()
{
    if (!modified_)
        return;
    IFileAssociations& reg = fc::FileAssociations();
    for (int i = 0; i < delList_.Count(); ++i)
        reg.DeleteKey(QStringLiteral("\\.") + delList_[i]);
    for (const QString& e : Extensions())
        reg.SetDefaultValue(QStringLiteral("\\.") + e, kFileType);
    const QString root = QStringLiteral("\\") + kFileType;
    if (!RegCB->isChecked()) {
        reg.DeleteKey(root);
        return;
    }
    reg.SetDefaultValue(root, FileTypeDescription());
    reg.SetDefaultValue(root + QStringLiteral("\\DefaultIcon"), ProgramPath + QStringLiteral(",0"));
    reg.CreateKey(root + QStringLiteral("\\Shell"));
    reg.SetDefaultValue(root + QStringLiteral("\\Shell\\Open\\Command"), ProgramPath + QStringLiteral(" %1"));
    reg.SetDefaultValue(root + QStringLiteral("\\Shell\\Print\\Command"), ProgramPath + QStringLiteral(" /p %1"));
    reg.SetDefaultValue(root + QStringLiteral("\\Shell\\View\\Command"), ProgramPath + QStringLiteral(" /v %1"));
}

namespace ar {
void InstallStandardSetupDialog()
{
    TStandardFileSystem::SetSetupDialogRunner([](TStandardFileSystem& fs, QStringList& exts) {
        TARSFSSetupDlg dlg;
        dlg.SetExtensions(exts);
        dlg.setWindowTitle(fs.GetDisplayName());
        if (dlg.exec() != QDialog::Accepted)
            return false;
        exts = dlg.Extensions();
        return true;
    });
}
} // namespace ar
