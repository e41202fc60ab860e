#include "Dialogs.h"

namespace fc {

namespace {
IDialogService* g_service = nullptr;
}

IDialogService& Dialogs()
{
    static ScriptedDialogs fallback;
    return g_service ? *g_service : fallback;
}

void SetDialogs(IDialogService* service) { g_service = service; }

TModalResult ShowMessage(const QString& caption, const QString& text, TMsgDlgType type)
{
    TMessageRequest r;
    r.Caption = caption;
    r.Text = text;
    r.Type = type;
    r.Buttons = mbOK;
    return Dialogs().MessageBox(r);
}

} // namespace fc

TModalResult ScriptedDialogs::MessageBox(const TMessageRequest& request)
{
    TModalResult r;
    if (!messageAnswers_.empty()) {
        r = messageAnswers_.front();
        messageAnswers_.pop_front();
    } else if (request.Buttons & mbOK) {
        r = mrOk;
    } else if (request.Buttons & mbYes) {
        r = mrYes;
    } else if (request.Buttons & mbCancel) {
        r = mrCancel;
    } else {
        r = mrNone;
    }
    Entry e{Entry::Message, request, {}, QString::number(int(r))};
    log_.push_back(e);
    return r;
}

bool ScriptedDialogs::file(Entry::Kind kind, TFileDialogRequest& request)
{
    QString chosen;
    if (!fileAnswers_.empty()) {
        chosen = fileAnswers_.front();
        fileAnswers_.pop_front();
    }
    Entry e{kind, {}, request, chosen};
    log_.push_back(e);
    if (chosen.isEmpty())
        return false;
    request.FileName = chosen;
    return true;
}

bool ScriptedDialogs::OpenFile(TFileDialogRequest& request) { return file(Entry::Open, request); }
bool ScriptedDialogs::SaveFile(TFileDialogRequest& request) { return file(Entry::Save, request); }

QStringList ScriptedDialogs::messages() const
{
    QStringList out;
    for (const Entry& e : log_)
        if (e.kind == Entry::Message)
            out << e.message.Text;
    return out;
}
