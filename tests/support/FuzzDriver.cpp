// Runs a fuzz harness over every file of the seed corpus folders (or files)
// given on the command line, so that the corpus is a regression test under
// CTest without libFuzzer.
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static int runOne(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    const QByteArray bytes = f.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    return 0;
}

int main(int argc, char** argv)
{
    int inputs = 0, failures = 0;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(arg).isDir()) {
            QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                failures += runOne(it.next());
                ++inputs;
            }
        } else {
            failures += runOne(arg);
            ++inputs;
        }
    }
    std::printf("%d inputs run\n", inputs);
    return failures == 0 && inputs > 0 ? 0 : 1;
}
