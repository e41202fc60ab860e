// What a user waits for around the calculation run, on the main window as
// the program makes it:
// - ResultRows/N: the result rows of N ticked models after a cooling and a
//   heating rating (mode 2, twenty rows a model), filled the way the run
//   fills them: the grid back to one row, then a block of rows per model,
//   each block growing the grid by its own row count.
// - Calcola/N: Calcola pressed on the last page with N models ticked and the
//   three-speed report chosen: validation, the water pages read, the rating,
//   the result rows and the report filled into the preview window, clicked
//   again and again in one process with the preview left open (the work of
//   the click alone, without painting).
// - CalcolaClickAsTheUserHasIt/N: what the user waits for, from the click to
//   the preview painted on the screen, with the preview closed before each
//   click, in a process of its own started as the program starts (the
//   catalogue 100 times the demo): "first_ms" is the first click after the
//   start, "later_ms" the median of the five clicks after it; the
//   benchmark's time is the first click.
// - StartToMainWindowShown: the program started in a process of its own to
//   its main window shown and painted (the demo catalogue, English texts),
//   beside the reference: a separate minimal Qt program (start_reference)
//   that shows one label, started the same way. "ratio" is the program's
//   wall time over the reference's; where valgrind is installed, each is
//   also run once under callgrind and "instr_ratio" gives the ratio of
//   their instruction counts (program_Minstr, reference_Minstr). Both get
//   the same environment, offscreen platform and a runtime folder of their
//   own, so that another copy of this benchmark running at the same time
//   holds no single-instance lock of theirs (a second instance ends at
//   once, which would pass for a fast start).
// - TranslateMainWindow: the language file applied to the main window.
// The models are the first N of the two-pipe fan coils of the demo catalogue
// repeated 100 times (600 of them).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "BenchCatalogue.h"
#include "BenchSupport.h"
#include "ShownExit.h"
#include "components/Lang.h"
#include "components/OvNumEdit.h"
#include "engine/Catalogo.h"
#include "engine/Records.h"
#include "engine/Selezione.h"
#include "platform/CheckListBox.h"
#include "platform/PageControl.h"
#include "platform/RadioGroup.h"
#include "shell/ProgramStart.h"

extern char** environ;

namespace {

// A user reads the last page before clicking: what showing it started (its
// report templates read ahead) runs first, as it would.
void readThePage()
{
    const auto settled = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    while (std::chrono::steady_clock::now() < settled)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

struct Program {
    fc::bench::ScaledCatalogue cat{100};
    std::unique_ptr<TDodedaVO> main;
    std::unique_ptr<TFormPrew> preview;
    int reports = 0;

    Program()
    {
        cat.use();
        ResetEngineRecords();
        ListaMacchine.Clear();
        ListaVersioni.Clear();
        main = std::make_unique<TDodedaVO>();
        main->resize(1060, 640);
        preview = std::make_unique<TFormPrew>();
        main->OnRisultatiPronti = [this](int) {
            ++reports;
            costruisciReport(*main, *preview);
        };
    }
    template <class T>
    T* control(const char* name) const
    {
        T* c = main->findChild<T*>(QLatin1String(name));
        if (!c)
            throw std::runtime_error(std::string("no control ") + name);
        return c;
    }
    TCheckListBox* models() const { return control<TCheckListBox>("ListaModelli"); }
    // The first n models of the list ticked, the others not.
    void tick(int n)
    {
        TCheckListBox* list = models();
        if (list->Count() < n)
            throw std::runtime_error("the model list is too short");
        for (int i = 0; i < list->Count(); ++i)
            list->SetChecked(i, i < n);
    }
    // n models ticked, cooling and heating, the three-speed report, and the
    // wizard walked to the last page with Avanti, as a user does.
    void prepare(int n)
    {
        tick(n);
        control<TRadioGroup>("Calcolo")->Button(2)->click();
        control<TRadioGroup>("TipoReport")->SetItemIndex(0);
        TPageControl* pc = control<TPageControl>("ControllaPagine");
        QPushButton* avanti = control<QPushButton>("Avanti");
        for (int i = 0; i < 6 && pc->currentWidget()->objectName() != QLatin1String("Calcola"); ++i)
            avanti->click();
        readThePage();
        if (pc->currentWidget()->objectName() != QLatin1String("Calcola"))
            throw std::runtime_error("the wizard did not reach the last page");
    }
};

std::unique_ptr<Program> theProgram;

Program& program()
{
    if (!theProgram)
        theProgram = std::make_unique<Program>();
    return *theProgram;
}

void ResultRows(benchmark::State& state)
{
    Program& p = program();
    const int n = int(state.range(0));
    p.prepare(n);
    // One run leaves the ratings in the models.
    p.control<QPushButton>("BitBtnCalc")->click();
    for (auto _ : state) {
        p.main->SGRisultati.SetRowCount(1);
        p.main->mostraRaffreddamento();
        p.main->mostraRiscaldamento();
    }
    if (p.main->SGRisultati.RowCount() != 1 + 20 * n)
        state.SkipWithError("not every model got its rows");
    state.counters["rows"] = p.main->SGRisultati.RowCount();
}
BENCHMARK(ResultRows)->Arg(1)->Arg(20)->Arg(100)->Arg(600)->Unit(benchmark::kMillisecond);

void Calcola(benchmark::State& state)
{
    Program& p = program();
    const int n = int(state.range(0));
    p.prepare(n);
    QPushButton* calc = p.control<QPushButton>("BitBtnCalc");
    p.reports = 0;
    for (auto _ : state)
        calc->click();
    if (p.reports != int(state.iterations()) || p.main->SGRisultati.RowCount() != 1 + 20 * n)
        state.SkipWithError("Calcola built no report");
    state.counters["rows"] = p.main->SGRisultati.RowCount();
}
BENCHMARK(Calcola)->Arg(1)->Arg(20)->Arg(100)->Arg(600)->Unit(benchmark::kMillisecond);

// The main window's translation as start-up runs it: the 90 paths of the
// language file applied to the window (the start-up's share of the ratio).
void TranslateMainWindow(benchmark::State& state)
{
    Program& p = program();
    for (auto _ : state)
        p.main->Language1->Translate();
}
BENCHMARK(TranslateMainWindow)->Unit(benchmark::kMillisecond);

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(o, e);
    }
};

// The child of CalcolaClickAsTheUserHasIt: the program as it starts, n
// models ticked and the wizard walked to Calcola (not timed), then clicks,
// each timed from the click to the preview's report painted; the preview
// is closed between clicks. Writes "first later1 later2 ..." in ms to out.
int calcolaChild(const char* folder, int n, const char* out)
{
    int argc = 1;
    char name[] = "bench_calcolo";
    char* argv[] = {name, nullptr};
    fc::SetProgramFolderForTests(QString::fromLocal8Bit(folder));
    int rc = 5;
    fc::RunProgram(argc, argv, [&](TDodedaVO& w) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!(w.windowHandle() && w.windowHandle()->isExposed()) && std::chrono::steady_clock::now() < until)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        TFormPrew* preview = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* f = qobject_cast<TFormPrew*>(top))
                preview = f;
        TCheckListBox* list = w.findChild<TCheckListBox*>(QStringLiteral("ListaModelli"));
        TPageControl* pc = w.findChild<TPageControl*>(QStringLiteral("ControllaPagine"));
        QPushButton* avanti = w.findChild<QPushButton*>(QStringLiteral("Avanti"));
        QPushButton* calc = w.findChild<QPushButton*>(QStringLiteral("BitBtnCalc"));
        if (!preview || !list || !pc || !avanti || !calc) {
            rc = 6;
            QCoreApplication::quit();
            return;
        }
        w.findChild<TRadioGroup*>(QStringLiteral("Calcolo"))->Button(2)->click();
        avanti->click(); // onto the models, which the page lists
        if (list->Count() < n) {
            rc = 7;
            QCoreApplication::quit();
            return;
        }
        for (int i = 0; i < list->Count(); ++i)
            list->SetChecked(i, i < n);
        for (int i = 0; i < 6 && pc->currentWidget()->objectName() != QLatin1String("Calcola"); ++i)
            avanti->click();
        readThePage();
        PaintCounter counter;
        preview->UserRep->viewport()->installEventFilter(&counter);
        QFile file(QString::fromLocal8Bit(out));
        if (!file.open(QIODevice::WriteOnly)) {
            rc = 8;
            QCoreApplication::quit();
            return;
        }
        rc = 0;
        for (int click = 0; click < 6 && rc == 0; ++click) {
            preview->hide();
            QCoreApplication::processEvents();
            const int before = counter.paints;
            const auto t0 = std::chrono::steady_clock::now();
            calc->click();
            const auto limit = t0 + std::chrono::seconds(30);
            while (counter.paints == before && std::chrono::steady_clock::now() < limit)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            const auto t1 = std::chrono::steady_clock::now();
            if (counter.paints == before)
                rc = 9;
            file.write(QByteArray::number(std::chrono::duration<double, std::milli>(t1 - t0).count()) + ' ');
        }
        file.close();
        _exit(rc);
    });
    return rc;
}

int startChild(const char* folder, int argc, char** argv)
{
    fc::SetProgramFolderForTests(QString::fromLocal8Bit(folder));
    fc::RunProgram(argc, argv, [](TDodedaVO& w) { fc::bench::exitWhenPainted(w); });
    // The program ended without showing its window (a second instance, or
    // a start that stopped on an error).
    return 4;
}

// The environment of the children: this process's, with the runtime folder
// replaced.
class ChildEnvironment {
public:
    explicit ChildEnvironment(const std::string& runtimeFolder)
    {
        static const char key[] = "XDG_RUNTIME_DIR=";
        for (char** e = environ; *e; ++e)
            if (std::strncmp(*e, key, sizeof key - 1) != 0)
                strings_.emplace_back(*e);
        strings_.push_back(key + runtimeFolder);
        for (std::string& v : strings_)
            pointers_.push_back(v.data());
        pointers_.push_back(nullptr);
    }
    char** get() { return pointers_.data(); }

private:
    std::vector<std::string> strings_;
    std::vector<char*> pointers_;
};

// Starts a program with args and waits for it: its wall time in seconds.
// With callgrindLog, under callgrind, whose report goes to that file.
double runProgram(std::vector<std::string> args, ChildEnvironment& env, const std::string& callgrindLog = {})
{
    if (!callgrindLog.empty())
        args.insert(args.begin(), {"valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null",
                                   "--log-file=" + callgrindLog});
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    // The offscreen platform's notes would fill the table's terminal.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &quiet, nullptr, argv.data(), env.get());
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + args[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    const auto t1 = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the child did not end with 0 (status " + std::to_string(status) + "): " + args[0]);
    return std::chrono::duration<double>(t1 - t0).count();
}

// This executable's path (under valgrind "/proc/self/exe" would be
// valgrind's).
std::string selfPath()
{
    return QFile::encodeName(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).toStdString();
}

// The instructions callgrind counted, from its report.
double collected(const std::string& log)
{
    QFile f(QString::fromStdString(log));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = f.readAll();
    const qsizetype at = text.indexOf("Collected : ");
    if (at < 0)
        return 0;
    QByteArray n = text.mid(at + 12, text.indexOf('\n', at) - at - 12).trimmed();
    n.replace(',', "");
    return n.toDouble();
}

void StartToMainWindowShown(benchmark::State& state)
{
    fc::bench::ScaledCatalogue demo(1);
    const std::string folder = demo.path().toStdString();
    QTemporaryDir runtime; // private (0700), as the guard wants it
    if (!runtime.isValid()) {
        state.SkipWithError("no private runtime folder");
        return;
    }
    ChildEnvironment env(QFile::encodeName(runtime.path()).toStdString());
    const std::string self = selfPath();
    const std::vector<std::string> program = {self, "--start-child", folder};
    const std::vector<std::string> reference = {FC_START_REFERENCE};
    double programTotal = 0, referenceTotal = 0;
    try {
        for (auto _ : state) {
            // Side by side, so that the machine's load falls on both alike.
            referenceTotal += runProgram(reference, env);
            const double t = runProgram(program, env);
            programTotal += t;
            state.SetIterationTime(t);
        }
        // Instructions, where callgrind is there to count them.
        if (QFile::exists(QStringLiteral("/usr/bin/valgrind"))) {
            const std::string log = (runtime.path() + QStringLiteral("/callgrind.log")).toStdString();
            runProgram(reference, env, log);
            const double r = collected(log);
            runProgram(program, env, log);
            const double p = collected(log);
            if (r > 0 && p > 0) {
                state.counters["program_Minstr"] = p / 1e6;
                state.counters["reference_Minstr"] = r / 1e6;
                state.counters["instr_ratio"] = p / r;
            }
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    const double n = double(state.iterations());
    state.counters["program_ms"] = programTotal / n * 1000;
    state.counters["reference_ms"] = referenceTotal / n * 1000;
    state.counters["ratio"] = programTotal / referenceTotal;
}
BENCHMARK(StartToMainWindowShown)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void CalcolaClickAsTheUserHasIt(benchmark::State& state)
{
    const int n = int(state.range(0));
    fc::bench::ScaledCatalogue cat(100);
    const std::string folder = cat.path().toStdString();
    QTemporaryDir runtime;
    if (!runtime.isValid()) {
        state.SkipWithError("no private runtime folder");
        return;
    }
    ChildEnvironment env(QFile::encodeName(runtime.path()).toStdString());
    const std::string out = (runtime.path() + QStringLiteral("/clicks.txt")).toStdString();
    const std::string self = selfPath();
    std::vector<double> firsts, laters;
    for (auto _ : state) {
        QFile f(QString::fromStdString(out));
        try {
            runProgram({self, "--calcola-child", folder, std::to_string(n), out}, env);
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            return;
        }
        if (!f.open(QIODevice::ReadOnly)) {
            state.SkipWithError("the child left no timings");
            return;
        }
        const QList<QByteArray> ms = f.readAll().simplified().split(' ');
        std::vector<double> later;
        for (int i = 1; i < ms.size(); ++i)
            later.push_back(ms[i].toDouble());
        std::sort(later.begin(), later.end());
        firsts.push_back(ms.value(0).toDouble());
        laters.push_back(later.empty() ? 0 : later[later.size() / 2]);
        state.SetIterationTime(firsts.back() / 1000);
    }
    std::sort(firsts.begin(), firsts.end());
    std::sort(laters.begin(), laters.end());
    state.counters["first_ms"] = firsts[firsts.size() / 2];
    state.counters["later_ms"] = laters[laters.size() / 2];
}
BENCHMARK(CalcolaClickAsTheUserHasIt)
    ->Arg(1)
    ->Arg(600)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--start-child") == 0)
        return startChild(argv[2], argc, argv);
    if (argc >= 5 && std::strcmp(argv[1], "--calcola-child") == 0)
        return calcolaChild(argv[2], std::atoi(argv[3]), argv[4]);
    // --catalogue n: makes a program folder of n times the demo and prints
    // its path, for running a child under a profiler.
    if (argc >= 3 && std::strcmp(argv[1], "--catalogue") == 0) {
        fc::bench::ScaledCatalogue cat(std::atoi(argv[2]));
        cat.keep();
        std::printf("%s\n", qPrintable(cat.path()));
        return 0;
    }
    return fc::bench::RunWithApplication(argc, argv, [] { theProgram.reset(); });
}
