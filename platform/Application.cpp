#include "Application.h"

#include <QGuiApplication>
#include <QTimer>
#include <exception>

#include "AtomicFile.h"
#include "Dialogs.h"
#include "Errors.h"

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // Under a file-size limit a save fails with a message instead of
    // ending the program.
    fc::IgnoreFileSizeSignal();
}

QString TApplication::Title() { return QGuiApplication::applicationDisplayName(); }

void TApplication::SetTitle(const QString& title) { QGuiApplication::setApplicationDisplayName(title); }

void TApplication::Terminate()
{
    terminated_ = true;
    // quit() does nothing while no loop runs; queued, it reaches a loop that starts later.
    QTimer::singleShot(0, this, &QCoreApplication::quit);
}

int TApplication::Run()
{
    if (terminated_)
        return 0;
    return exec();
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        fc::ShowCurrentException();
        return true;
    }
}

namespace fc {

void ShowCurrentException()
{
    QString text;
    try {
        throw;
    } catch (const Exception& e) {
        text = e.Message();
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
        text = QStringLiteral("Unknown exception");
    }
    // An exception raised while one is on screen (a paint handler that fails
    // again under the message box) is written to the log, not stacked up.
    static int showing = 0;
    if (showing > 0) {
        qWarning("%s", qPrintable(text));
        return;
    }
    TMessageRequest r;
    r.Caption = TApplication::Title();
    r.Text = text;
    r.Type = TMsgDlgType::mtError;
    r.Buttons = mbOK;
    ++showing;
    try {
        Dialogs().MessageBox(r);
    } catch (...) {
        qWarning("%s", qPrintable(text));
    }
    --showing;
}

bool RunHandler(const std::function<void()>& fn)
{
    if (!fn)
        return true;
    try {
        fn();
        return true;
    } catch (...) {
        ShowCurrentException();
        return false;
    }
}

} // namespace fc
