// Listing the changes of one restore point against the floor of reading the log and finding the
// same lines: a 50 MB log of 400,000 records over 200 points, the listed point holding 2,000.
#include "app/MainWindow.h"
#include "app/SharedState.h"
#include "platform/sim/Machine.h"
#include "ui/Application.h"
#include "ui/HeadlessBackend.h"

#include "Ratio.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;

constexpr int points = 200;
constexpr int recordsPerPoint = 2000;
constexpr int listedPoint = 101; // in the middle of the log
const std::string entry = "(01/01/2007 10:00:00) Point";

struct LogMachine {
    fs::path folder;
    std::unique_ptr<platform::sim::Machine> machine;
    std::unique_ptr<platform::Platform> platform;
    std::string logPath;

    LogMachine() {
        std::string pattern = (fs::temp_directory_path() / "kestrafen-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        folder = fs::path(pattern) / "machine";
        platform::sim::Machine::ensureExists(folder);
        machine =
            std::make_unique<platform::sim::Machine>(folder, std::make_unique<platform::sim::VirtualClock>());
        platform = std::make_unique<platform::Platform>(machine->platform());
        const std::string programFolder = platform->programFolder;
        platform->files.createFolder(programFolder + "res");
        logPath = programFolder + "res\\SR-ChgLog.LOG";
        platform->files.writeFile(logPath, makeLog());
        platform->profile.writeString(programFolder + "KestrafenTemp.ini", entry, "DirectoryName",
                                      "RP" + std::to_string(listedPoint));
    }
    ~LogMachine() {
        machine.reset();
        fs::remove_all(folder.parent_path());
    }

    // About 125 bytes a record, as the system's tool writes them.
    static std::string makeLog() {
        std::string log = "Journal des modifications de la restauration du syst\xe8me\r\n\r\n";
        log.reserve(50'500'000);
        for (int point = 1; point <= points; ++point)
            for (int i = 0; i < recordsPerPoint; ++i)
                log += "RPDir=RP" + std::to_string(point) + ",Drive=C:\\,SeqNum=" + std::to_string(i) +
                       ",EventString=FILE-MODIFY,Path1=\\WINDOWS\\system32\\drivers\\pilote" +
                       std::to_string(i) + ".sys,Path2=,Temp=A" + std::to_string(1000000 + i) + ".sys\r\n";
        return log;
    }
};

LogMachine& machine() {
    static LogMachine m;
    return m;
}

// The floor: read the file, find the lines of the point with std::string::find.
void BM_ReadAndFind(benchmark::State& state) {
    const std::string key = "RPDir=RP" + std::to_string(listedPoint) + ",";
    std::size_t found = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string log = machine().platform->files.readFile(machine().logPath).value_or("");
        bytes = log.size();
        found = 0;
        for (std::size_t at = log.find(key); at != std::string::npos; at = log.find(key, at + 1)) {
            const std::size_t end = log.find('\r', at);
            benchmark::DoNotOptimize(std::string_view(log).substr(at, end - at));
            ++found;
        }
    }
    if (found != recordsPerPoint)
        state.SkipWithError("the baseline did not find the point's records");
    state.counters["log MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_ReadAndFind)->Unit(benchmark::kMillisecond);

void BM_ListChanges(benchmark::State& state) {
    ui::HeadlessBackend backend;
    ui::Application app(backend);
    SharedState shared(*machine().platform);
    MainWindow form(app, shared);
    for (auto _ : state) {
        form.Informations.clear();
        form.listChanges(entry);
    }
    if (form.Informations.lines().size() != 2 + 6 * recordsPerPoint)
        state.SkipWithError("the listing did not show the point's records");
}
BENCHMARK(BM_ListChanges)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatio(argc, argv, "BM_ListChanges", "BM_ReadAndFind",
                               "listing 2,000 records of a 50 MB change log costs %.1f times reading it and "
                               "finding them",
                               2);
}
