// Test entry: the application object the test kind needs, offscreen where
// a display would otherwise be required, and the separators a test may
// rely on reset to the C locale's before each program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>

#include "platform/Numbers.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
#if defined(FC_TESTMAIN_UI)
    QApplication app(argc, argv);
#elif defined(FC_TESTMAIN_GUI)
    QGuiApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    fc::SetDecimalSeparator(QChar('.'));
    fc::SetThousandSeparator(QChar(','));
    return RUN_ALL_TESTS();
}
