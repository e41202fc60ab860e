#pragma once
// The application object, and the rule that an exception leaving an event
// handler is shown to the user with its text while the program goes on.

#include <QApplication>
#include <functional>

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);

    // Caption of the messages the application itself shows.
    static QString Title();
    static void SetTitle(const QString& title);

    // Asks the message loop to end; a Run() that has not started yet returns
    // at once, so a start-up that fails before the loop still ends cleanly.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // The message loop; returns the exit code.
    int Run();

    // Every event goes through here: an exception that leaves its handler is
    // shown and the event counts as handled.
    bool notify(QObject* receiver, QEvent* event) override;

private:
    bool terminated_ = false;
};

namespace fc {

// Shows the exception now being handled (call it inside a catch block):
// an error message box with the application's title as caption. One that
// comes while such a box is open goes to the log instead.
void ShowCurrentException();

// Runs fn; an exception leaving it is shown and swallowed. Returns false
// when one was shown. Handlers called from Qt signals run through here, so
// that an exception never unwinds through Qt's own frames.
bool RunHandler(const std::function<void()>& fn);

// A slot for connect() that runs fn through RunHandler.
template <class F>
auto Guarded(F fn)
{
    return [fn = std::move(fn)]() { RunHandler(fn); };
}

} // namespace fc
