// Runs a fuzz harness over every file of the seed corpus folders (or files)
// given on the command line, so that the corpus is a regression test under
// CTest without libFuzzer. The harness runs with a temporary folder of its
// own; whatever it leaves there is reported and fails the run, since a
// harness may not leave files behind in a folder other programs share.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
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
    // Without a session's runtime folder Qt would make one in the temporary
    // folder; give it a private one, as the program does at start.
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder: %s\n", qPrintable(scratch.errorString()));
        return 1;
    }
    qputenv("TMPDIR", QFile::encodeName(scratch.path()));
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
    const QStringList left = QDir(scratch.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : left) {
        std::fprintf(stderr, "left in the temporary folder: %s\n", qPrintable(name));
        ++failures;
    }
    return failures == 0 && inputs > 0 ? 0 : 1;
}
