// Opening the saved files window on a point of 20,000 file changes (four logs, a third of the
// changes with a copy) against the floor of finding and reading the point's log files alone.
#include "app/SavedFilesWindow.h"
#include "platform/sim/ChangeLogWriter.h"
#include "platform/sim/Machine.h"
#include "ui/Application.h"
#include "ui/HeadlessBackend.h"

#include "Ratio.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

constexpr int changes = 20000;
const std::string guid = "{8C3E51D7-2A94-4F06-B1E8-5D7A90C4E2F3}";

struct LargeMachine {
    fs::path folder;
    std::unique_ptr<platform::sim::Machine> machine;
    std::unique_ptr<platform::Platform> platform;

    LargeMachine() {
        std::string pattern = (fs::temp_directory_path() / "kestrafen-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        folder = fs::path(pattern) / "machine";
        platform::sim::Machine::ensureExists(folder);
        platform::sim::writeLargePoint(folder / "drives" / "C", guid, "\\Device\\HarddiskVolume1", "RP60",
                                       changes);
        machine =
            std::make_unique<platform::sim::Machine>(folder, std::make_unique<platform::sim::VirtualClock>());
        platform = std::make_unique<platform::Platform>(machine->platform());
    }
    ~LargeMachine() {
        machine.reset();
        fs::remove_all(folder.parent_path());
    }
};

LargeMachine& machine() {
    static LargeMachine m;
    return m;
}

// The floor: find the point's folder, list it, read every change.log* whole.
void BM_ReadLogBytes(benchmark::State& state) {
    auto& store = machine().platform->restoreStore;
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        const std::string folder = store.storeFolder("C:\\").value_or("") + "RP60\\";
        for (const auto& entry : store.list(folder))
            if (entry.name.rfind("change.log", 0) == 0)
                bytes += store.read(folder + entry.name).value_or("").size();
    }
    state.counters["log MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_ReadLogBytes)->Unit(benchmark::kMillisecond);

void BM_OpenSavedFiles(benchmark::State& state) {
    ui::HeadlessBackend backend;
    ui::Application app(backend);
    SharedState shared(*machine().platform);
    SavedFilesWindow window(app, shared);
    window.create();
    for (auto _ : state)
        window.showPoint("RP60"); // no script: the modal run ends at once
    if (window.Fichiers.count() != changes)
        state.SkipWithError("the window did not list the point's changes");
}
BENCHMARK(BM_OpenSavedFiles)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatio(argc, argv, "BM_OpenSavedFiles", "BM_ReadLogBytes",
                               "listing 20,000 file changes of a point costs %.1f times reading its logs", 3);
}
