// Throws from event handlers of several kinds and prints what the user was
// shown, one line per message box, then "went on" when the loop carried on.
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <stdexcept>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/RadioGroup.h"

namespace {

class Thrower : public QWidget {
protected:
    void keyPressEvent(QKeyEvent*) override { throw EConvertError::NotInteger(QStringLiteral("12a")); }
};

ScriptedDialogs dialogs;

void printShown()
{
    for (const ScriptedDialogs::Entry& e : dialogs.log())
        std::printf("shown|%s|%s|%d\n", qPrintable(e.message.Caption), qPrintable(e.message.Text), int(e.message.Type));
    dialogs.clear();
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    TApplication::SetTitle(QStringLiteral("Probe title"));
    fc::SetDialogs(&dialogs);

    Thrower thrower;
    thrower.show();
    QPushButton button;
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ++clicks;
        throw std::runtime_error("plain failure");
    });
    button.show();
    TRadioGroup group;
    group.SetItems({QStringLiteral("a"), QStringLiteral("b")});
    group.OnClick = [] { throw EZeroDivide(); };
    group.show();

    QTimer::singleShot(0, [&] {
        QTest::keyClick(&thrower, Qt::Key_A);
        printShown();
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        std::printf("clicks|%d\n", clicks);
        printShown();
        group.SetItemIndex(1);
        std::printf("index|%d\n", group.ItemIndex());
        printShown();
        QTimer::singleShot(0, [] { throw Exception(QStringLiteral("from a timer")); });
        QTimer::singleShot(20, [&] {
            printShown();
            std::printf("went on\n");
            std::fflush(stdout);
            app.Terminate();
        });
    });
    return app.Run();
}
