// The storage preferences dialog and what it registers.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QApplication>
#include <QTimer>

#include "ARSFSSetup.h"
#include "ARVFS.h"
#include "ReportTestUtil.h"
#include "platform/FileAssociations.h"

namespace {
struct ScopedRegistry : RecordingFileAssociations {
    ScopedRegistry() { fc::SetFileAssociations(this); }
    ~ScopedRegistry() override { fc::SetFileAssociations(nullptr); }
};
} // namespace

TEST(SetupDialog, LayoutAndCaptions)
{
    TARSFSSetupDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), "Preferences");
    EXPECT_EQ(dlg.OKBtn->text(), "&OK");
    EXPECT_TRUE(dlg.OKBtn->isDefault());
    EXPECT_EQ(dlg.CancelBtn->text(), "&Cancel");
    EXPECT_EQ(dlg.RegCB->text(), "Register as default editor");
    EXPECT_EQ(dlg.AddMenuItem->text(), "Add");
    EXPECT_EQ(dlg.AddMenuItem->shortcut(), QKeySequence(Qt::Key_Insert));
    EXPECT_EQ(dlg.DelMenuItem->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(dlg.FTLB->selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST(SetupDialog, RegistersTheFileTypeAndItsExtensions)
{
    ScopedRegistry reg;
    reg.SetDefaultValue("\\.OLD", "ARTemplate");
    TARSFSSetupDlg dlg;
    dlg.ProgramPath = "/opt/fc/select";
    dlg.SetExtensions({"AR", "ART", "OLD"});
    dlg.FormShow();
    EXPECT_FALSE(dlg.RegCB->isChecked());
    EXPECT_TRUE(dlg.IsModified());

    dlg.InputQuery = [](QString& e) {
        e = "TPL";
        return true;
    };
    dlg.AddMenuItemClick();
    dlg.InputQuery = [](QString& e) {
        e = "";
        return true;
    };
    dlg.AddMenuItemClick(); // an empty answer adds nothing
    EXPECT_EQ(dlg.Extensions(), (QStringList{"AR", "ART", "OLD", "TPL"}));

    dlg.FTLB->item(2)->setSelected(true);
    dlg.DelMenuItemClick();
    EXPECT_EQ(dlg.Extensions(), (QStringList{"AR", "ART", "TPL"}));
    EXPECT_EQ(dlg.DelList().Strings(), QStringList{"OLD"});

    dlg.RegCB->setChecked(true);
    dlg.OKBtnClick();
    EXPECT_FALSE(reg.KeyExists("\\.OLD"));
    EXPECT_EQ(reg.DefaultValue("\\.AR"), "ARTemplate");
    EXPECT_EQ(reg.DefaultValue("\\.TPL"), "ARTemplate");
    EXPECT_EQ(reg.DefaultValue("\\ARTemplate"), TARSFSSetupDlg::FileTypeDescription());
    EXPECT_EQ(reg.DefaultValue("\\ARTemplate\\DefaultIcon"), "/opt/fc/select,0");
    EXPECT_TRUE(reg.KeyExists("\\ARTemplate\\Shell"));
    EXPECT_EQ(reg.DefaultValue("\\ARTemplate\\Shell\\Open\\Command"), "/opt/fc/select %1");
    EXPECT_EQ(reg.DefaultValue("\\ARTemplate\\Shell\\Print\\Command"), "/opt/fc/select /p %1");
    EXPECT_EQ(reg.DefaultValue("\\ARTemplate\\Shell\\View\\Command"), "/opt/fc/select /v %1");

    // Shown again: registered, so ticked; unticking removes the type.
    TARSFSSetupDlg again;
    again.SetExtensions({"AR"});
    again.FormShow();
    EXPECT_TRUE(again.RegCB->isChecked());
    again.RegCB->setChecked(false);
    again.OKBtnClick();
    EXPECT_FALSE(reg.KeyExists("\\ARTemplate"));
    EXPECT_FALSE(reg.KeyExists("\\ARTemplate\\Shell\\Open\\Command"));
    EXPECT_TRUE(reg.KeyExists("\\.AR"));
}

TEST(SetupDialog, UnmodifiedOkWritesNothing)
{
    ScopedRegistry reg;
    TARSFSSetupDlg dlg;
    dlg.SetExtensions({"AR"});
    dlg.OKBtnClick();
    EXPECT_TRUE(reg.Log().isEmpty());
}

TEST(SetupDialog, ExecuteSetupShowsTheDialogModally)
{
    ScopedRegistry reg;
    ar::InstallStandardSetupDialog();
    TStandardFileSystem fs;
    fs.SetParams("AR");
    QString caption;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<TARSFSSetupDlg*>(w); d && d->isVisible()) {
                caption = d->windowTitle();
                d->FTLB->addItem("XYZ");
                d->OKBtn->click();
            }
    });
    fs.ExecuteSetup();
    TStandardFileSystem::SetSetupDialogRunner(nullptr);
    EXPECT_EQ(caption, "Standard");
    EXPECT_EQ(fs.ExtList().Strings(), (QStringList{"AR", "XYZ"}));
    EXPECT_EQ(reg.DefaultValue("\\.XYZ"), "ARTemplate");
}
