#include "QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

QWidget* dialogParent()
{
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    return QApplication::activeWindow();
}

QMessageBox::Icon iconOf(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning: return QMessageBox::Warning;
    case TMsgDlgType::mtError: return QMessageBox::Critical;
    case TMsgDlgType::mtInformation: return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation: return QMessageBox::Question;
    case TMsgDlgType::mtCustom: break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonMap {
    TMsgDlgBtn button;
    QMessageBox::StandardButton qt;
    TModalResult result;
};

// In the order the buttons are offered.
const ButtonMap kButtons[] = {
    {mbYes, QMessageBox::Yes, mrYes},         {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},            {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},   {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},
};

} // namespace

TModalResult QtDialogService::MessageBox(const TMessageRequest& request)
{
    QMessageBox box(dialogParent());
    box.setWindowTitle(request.Caption);
    // Messages carry file names and user input: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(request.Text);
    box.setIcon(iconOf(request.Type));
    int buttons = request.Buttons;
    if (!(buttons & (mbYes | mbNo | mbOK | mbCancel | mbAbort | mbRetry | mbIgnore)))
        buttons = mbOK;
    for (const ButtonMap& b : kButtons)
        if (buttons & b.button)
            box.addButton(b.qt);
    // Default: OK, else Yes, else Retry; Escape: Cancel, else No, else OK.
    for (TMsgDlgBtn d : {mbOK, mbYes, mbRetry})
        if (buttons & d) {
            for (const ButtonMap& b : kButtons)
                if (b.button == d)
                    box.setDefaultButton(b.qt);
            break;
        }
    for (TMsgDlgBtn e : {mbCancel, mbNo, mbOK})
        if (buttons & e) {
            for (const ButtonMap& b : kButtons)
                if (b.button == e)
                    box.setEscapeButton(box.button(b.qt));
            break;
        }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const ButtonMap& b : kButtons)
        if (clicked && clicked == box.button(b.qt))
            return b.result;
    return mrCancel;
}

QStringList QtDialogService::NameFilters(const QString& filter)
{
    QStringList out;
    const QStringList parts = filter.split('|');
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QStringList patterns;
        for (QString p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            p = p.trimmed();
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
            if (!p.isEmpty())
                patterns << p;
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        const QString list = patterns.join(' ');
        // Qt reads the patterns from the last parentheses of the text.
        if (description.endsWith(')') && description.contains('(')) {
            const int open = description.lastIndexOf('(');
            description = description.left(open).trimmed();
        }
        if (description.isEmpty())
            description = list;
        out << QStringLiteral("%1 (%2)").arg(description, list);
    }
    return out;
}

QString QtDialogService::WithDefaultExt(const QString& name, const QString& ext)
{
    QString e = ext;
    while (e.startsWith('.'))
        e.remove(0, 1);
    if (e.isEmpty() || name.isEmpty())
        return name;
    const QString file = QFileInfo(name).fileName();
    if (file.isEmpty() || file.contains('.'))
        return name;
    return name + '.' + e;
}

bool QtDialogService::run(QFileDialog& dialog, TFileDialogRequest& request)
{
    if (!request.Title.isEmpty())
        dialog.setWindowTitle(request.Title);
    const QStringList filters = NameFilters(request.Filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = request.FilterIndex >= 1 && request.FilterIndex <= filters.size() ? request.FilterIndex : 1;
        dialog.selectNameFilter(filters[index - 1]);
    }
    QString ext = request.DefaultExt;
    while (ext.startsWith('.'))
        ext.remove(0, 1);
    if (!ext.isEmpty())
        dialog.setDefaultSuffix(ext);
    QString dir = request.InitialDir;
    if (dir.isEmpty() && !request.FileName.isEmpty())
        dir = QFileInfo(request.FileName).path();
    if (!dir.isEmpty())
        dialog.setDirectory(dir);
    if (!request.FileName.isEmpty())
        dialog.selectFile(QFileInfo(request.FileName).fileName());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty())
        return false;
    // Native dialogs may hand back the name as typed.
    request.FileName = WithDefaultExt(chosen.first(), ext);
    const int filterIndex = int(filters.indexOf(dialog.selectedNameFilter()));
    if (filterIndex >= 0)
        request.FilterIndex = filterIndex + 1;
    return true;
}

bool QtDialogService::OpenFile(TFileDialogRequest& request)
{
    QFileDialog dialog(dialogParent());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return run(dialog, request);
}

bool QtDialogService::SaveFile(TFileDialogRequest& request)
{
    QFileDialog dialog(dialogParent());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.OverwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return run(dialog, request);
}
