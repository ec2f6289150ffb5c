// What listing the restore points costs over merely asking the service for them: the list is
// rebuilt and the point cache written key by key through the profile functions, each write
// replacing the file atomically.
#include "app/MainWindow.h"
#include "app/SharedState.h"
#include "platform/sim/Machine.h"
#include "ui/Application.h"
#include "ui/HeadlessBackend.h"

#include "Ratio.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace {

namespace fs = std::filesystem;

struct SampleMachine {
    fs::path folder;
    std::unique_ptr<platform::sim::Machine> machine;
    std::unique_ptr<platform::Platform> platform;

    SampleMachine() {
        std::string pattern = (fs::temp_directory_path() / "kestrafen-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        folder = fs::path(pattern) / "machine";
        platform::sim::Machine::ensureExists(folder);
        machine = std::make_unique<platform::sim::Machine>(folder, std::make_unique<platform::sim::VirtualClock>());
        platform = std::make_unique<platform::Platform>(machine->platform());
    }
    ~SampleMachine() {
        machine.reset();
        fs::remove_all(folder.parent_path());
    }
};

SampleMachine& sample() {
    static SampleMachine s;
    return s;
}

void BM_ServiceQuery(benchmark::State& state) {
    auto& service = sample().platform->systemRestore;
    for (auto _ : state)
        benchmark::DoNotOptimize(service.restorePoints());
}
BENCHMARK(BM_ServiceQuery)->Unit(benchmark::kMicrosecond);

void BM_EnumSR(benchmark::State& state) {
    ui::HeadlessBackend backend;
    ui::Application app(backend);
    SharedState shared(*sample().platform);
    MainWindow form(app, shared);
    const std::string cache = shared.inProgramFolder("KestrafenTemp.ini");
    for (auto _ : state) {
        sample().platform->files.deleteFile(cache);
        form.EnumSR();
    }
    if (form.PointR.count() == 0)
        state.SkipWithError("the list stayed empty");
    state.counters["points"] = form.PointR.count();
}
BENCHMARK(BM_EnumSR)->Unit(benchmark::kMicrosecond);


} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatio(argc, argv, "BM_EnumSR", "BM_ServiceQuery",
                               "listing the sample machine's points costs %.1f times the service query alone");
}
