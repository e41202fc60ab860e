#pragma once
// The dialog service of the running program: Qt message boxes and file
// dialogs, modal over the window the user is working in.

#include <QStringList>

#include "Dialogs.h"

class QFileDialog;

class QtDialogService : public IDialogService {
public:
    TModalResult MessageBox(const TMessageRequest& request) override;
    bool OpenFile(TFileDialogRequest& request) override;
    bool SaveFile(TFileDialogRequest& request) override;

    // "Text files (*.txt)|*.txt|All files (*.*)|*.*" as Qt name filters:
    // "Text files (*.txt)", "All files (*)". A pattern list "*.a;*.b"
    // becomes "*.a *.b"; "*.*" means every file.
    static QStringList NameFilters(const QString& filter);
    // name with "." + ext appended when its file name has no extension.
    static QString WithDefaultExt(const QString& name, const QString& ext);

private:
    bool run(QFileDialog& dialog, TFileDialogRequest& request);
};

// Installs a QtDialogService as fc::Dialogs() for the lifetime of the object.
class ScopedQtDialogs : public QtDialogService {
public:
    ScopedQtDialogs() { fc::SetDialogs(this); }
    ~ScopedQtDialogs() { fc::SetDialogs(nullptr); }
};
