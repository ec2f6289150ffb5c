// What starting the program costs over starting an empty Qt window of the main window's size: each
// run is a new process that shows its window, waits until it is on screen and ends. Run under Xvfb
// (DISPLAY set) for the real window, else Qt's offscreen platform is used. Prints the ratio of the
// medians for the sample machine and for 1,000 points, and each run's peak resident memory.
#include "app/Startup.h"
#include "platform/qt/FormWindow.h"
#include "platform/qt/QtBackend.h"
#include "platform/sim/Machine.h"
#include "ui/Application.h"
#include "ui/Form.h"

#include "BenchMachine.h"
#include "Ratio.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string self;

// Lets events run until the window is on screen, so both runs end at the same point.
void waitUntilExposed(QWidget& widget) {
    QElapsedTimer timer;
    timer.start();
    while (!(widget.windowHandle() && widget.windowHandle()->isExposed()) && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
}

int runEmptyWindow(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    QWidget window;
    window.resize(700, 480);
    window.show();
    waitUntilExposed(window);
    std::_Exit(0);
}

int runProgram(int argc, char** argv, const char* folder) {
    QApplication qtApp(argc, argv);
    platform::qt::QtBackend backend;
    ui::Application app(backend);
    platform::sim::Machine machine(folder, std::make_unique<platform::sim::RealClock>());
    platform::Platform platform = machine.platform();
    Startup program(app, platform);
    program.start();
    app.mainForm()->show(); // its first activation lists the points
    waitUntilExposed(*platform::qt::QtBackend::windowOf(*app.mainForm()));
    std::_Exit(0);
}

// Runs this executable in one of the child modes; the peak resident memory of the child in KiB.
long runChild(benchmark::State& state, const std::vector<std::string>& arguments) {
    std::vector<char*> argv{self.data()};
    std::vector<std::string> copy = arguments;
    for (std::string& a : copy)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        state.SkipWithError("cannot start the child");
        return 0;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        state.SkipWithError("the child failed");
    return usage.ru_maxrss;
}

void BM_EmptyWindow(benchmark::State& state) {
    long rss = 0;
    for (auto _ : state)
        rss = runChild(state, {"--child-empty"});
    state.counters["rss_MiB"] = static_cast<double>(rss) / 1024;
}
BENCHMARK(BM_EmptyWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Program(benchmark::State& state) {
    bench::BenchMachine copy(static_cast<int>(state.range(0)));
    long rss = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Each start lists the points into an empty cache, as after the previous run's close.
        std::filesystem::remove(copy.folder / "drives/C/Program Files/Kestrafen/KestrafenTemp.ini");
        state.ResumeTiming();
        rss = runChild(state, {"--child-program", copy.folder.string()});
    }
    state.counters["rss_MiB"] = static_cast<double>(rss) / 1024;
}
// -1: the sample machine's own points.
BENCHMARK(BM_Program)->Arg(-1)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc >= 2 && std::strcmp(argv[1], "--child-empty") == 0)
        return runEmptyWindow(1, argv);
    if (argc >= 3 && std::strcmp(argv[1], "--child-program") == 0)
        return runProgram(1, argv, argv[2]);
    self = std::filesystem::read_symlink("/proc/self/exe").string();
    return bench::runWithRatios(
        argc, argv,
        {{"BM_Program/-1", "BM_EmptyWindow", "start-up, sample machine / empty window = %.2f", {}, 1.5},
         {"BM_Program/1000", "BM_EmptyWindow", "start-up, 1000 points / empty window = %.2f", {}, 2.5},
         {"BM_Program/-1", "BM_EmptyWindow", "peak resident memory, sample machine / empty window = %.2f",
          "rss_MiB", 1.3}});
}
