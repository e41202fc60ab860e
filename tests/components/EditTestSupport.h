#pragma once
// Key events and a shown, active form for the numeric edit tests.

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace edittest {

inline int keyCodeOf(QChar c)
{
    if (c >= QChar('a') && c <= QChar('z'))
        return Qt::Key_A + (c.unicode() - 'a');
    return c.toUpper().unicode(); // Qt's key codes of Latin-1 are their characters
}

inline void sendKey(QWidget* w, int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier,
    bool autoRepeat = false)
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text, autoRepeat);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text, autoRepeat);
    QApplication::sendEvent(w, &release);
}

inline void typeText(QWidget* w, const QString& s)
{
    for (QChar c : s)
        sendKey(w, keyCodeOf(c), QString(c));
}

inline void backspace(QWidget* w) { sendKey(w, Qt::Key_Backspace, QStringLiteral("\b")); }
inline void del(QWidget* w) { sendKey(w, Qt::Key_Delete, QString(QChar(127))); }

// One key by name: a character, or BS, DEL, HOME, END, LEFT, RIGHT, ALL
// (Ctrl+A), PASTE (Ctrl+V).
inline void pressKey(QWidget* w, const QString& key)
{
    if (key == QLatin1String("BS"))
        backspace(w);
    else if (key == QLatin1String("DEL"))
        del(w);
    else if (key == QLatin1String("HOME"))
        sendKey(w, Qt::Key_Home);
    else if (key == QLatin1String("END"))
        sendKey(w, Qt::Key_End);
    else if (key == QLatin1String("LEFT"))
        sendKey(w, Qt::Key_Left);
    else if (key == QLatin1String("RIGHT"))
        sendKey(w, Qt::Key_Right);
    else if (key == QLatin1String("ALL"))
        sendKey(w, Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
    else if (key == QLatin1String("PASTE"))
        sendKey(w, Qt::Key_V, QString(QChar(22)), Qt::ControlModifier);
    else
        typeText(w, key);
}

// A shown, active window holding the edit under test and a second edit to
// move the focus to.
template <class Edit>
struct Form {
    QWidget window;
    Edit* edit;
    QLineEdit* other;

    Form()
    {
        auto* layout = new QVBoxLayout(&window);
        edit = new Edit(&window);
        other = new QLineEdit(&window);
        layout->addWidget(edit);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
        for (int i = 0; i < 50 && QApplication::activeWindow() != &window; ++i)
            QApplication::processEvents();
    }
    bool active() const { return QApplication::activeWindow() == &window; }
};

} // namespace edittest
