// The program's application object, then one save of a megabyte to the
// file named on the command line; prints "saved" or the error's text.
#include <cstdio>

#include "platform/Application.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    if (argc < 2)
        return 2;
    try {
        fc::WriteFileAtomically(QString::fromLocal8Bit(argv[1]), QByteArray(1 << 20, 'x'));
        std::printf("saved\n");
    } catch (const Exception& e) {
        std::printf("%s\n", e.Message().toLocal8Bit().constData());
    }
    return 0;
}
