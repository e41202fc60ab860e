#pragma once
// The one service through which program code shows message boxes and file
// dialogs. The program installs the Qt implementation (shell); tests install
// ScriptedDialogs, which answers from a script and logs what was shown.

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Buttons, combinable.
enum TMsgDlgBtn : int {
    mbYes = 1 << 0,
    mbNo = 1 << 1,
    mbOK = 1 << 2,
    mbCancel = 1 << 3,
    mbAbort = 1 << 4,
    mbRetry = 1 << 5,
    mbIgnore = 1 << 6,
};

// What a dialog returned.
enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

struct TFileDialogRequest {
    QString Title;
    QString Filter;     // "Report templates (*.AR)|*.AR|All files (*.*)|*.*"
    int FilterIndex = 1; // 1-based, as the platform counts
    QString DefaultExt; // without the dot
    QString InitialDir;
    QString FileName;   // proposed name in, chosen name out
    bool OverwritePrompt = true; // save dialogs
};

struct TMessageRequest {
    QString Caption;
    QString Text;
    TMsgDlgType Type = TMsgDlgType::mtInformation;
    int Buttons = mbOK;
};

class IDialogService {
public:
    virtual ~IDialogService() = default;
    // Shows a modal message box; returns the button pressed.
    virtual TModalResult MessageBox(const TMessageRequest& request) = 0;
    // Modal open and save dialogs: true and request.FileName set when the
    // user chose a file, false when cancelled.
    virtual bool OpenFile(TFileDialogRequest& request) = 0;
    virtual bool SaveFile(TFileDialogRequest& request) = 0;
};

namespace fc {
// The installed service; a ScriptedDialogs that answers mrOk / cancel until
// the program or a test installs another.
IDialogService& Dialogs();
void SetDialogs(IDialogService* service); // nullptr: back to the default

// Shortcut: a message box with an OK button.
TModalResult ShowMessage(const QString& caption, const QString& text, TMsgDlgType type = TMsgDlgType::mtInformation);
} // namespace fc

// Answers from a script and logs every request. A message box with nothing
// scripted answers the first of OK, Yes, Cancel that it has; a file dialog
// with nothing scripted is cancelled.
class ScriptedDialogs : public IDialogService {
public:
    struct Entry {
        enum Kind { Message, Open, Save } kind;
        TMessageRequest message;
        TFileDialogRequest file;
        QString answer; // what it returned, readable in failures
    };

    TModalResult MessageBox(const TMessageRequest& request) override;
    bool OpenFile(TFileDialogRequest& request) override;
    bool SaveFile(TFileDialogRequest& request) override;

    void answerMessage(TModalResult r) { messageAnswers_.push_back(r); }
    // An empty name scripts a cancel.
    void answerFile(const QString& fileName) { fileAnswers_.push_back(fileName); }

    const std::vector<Entry>& log() const { return log_; }
    // The texts of the message boxes shown, in order.
    QStringList messages() const;
    void clear() { log_.clear(); }

private:
    bool file(Entry::Kind kind, TFileDialogRequest& request);
    std::deque<TModalResult> messageAnswers_;
    std::deque<QString> fileAnswers_;
    std::vector<Entry> log_;
};

// Installs a ScriptedDialogs for the lifetime of the object (tests).
class ScopedScriptedDialogs : public ScriptedDialogs {
public:
    ScopedScriptedDialogs() { fc::SetDialogs(this); }
    ~ScopedScriptedDialogs() override { fc::SetDialogs(nullptr); }
};
