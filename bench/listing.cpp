// How listing the restore points grows with their number: t(4,000 points) / t(1,000 points) is 4
// when the cost is linear. Also reports the bytes one listing writes against the size of the point
// cache it leaves, which is 1 when the cache is written once.
#include "app/MainWindow.h"
#include "app/SharedState.h"
#include "platform/sim/Machine.h"
#include "ui/Application.h"
#include "ui/HeadlessBackend.h"

#include "BenchMachine.h"
#include "Ratio.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

void BM_Listing(benchmark::State& state) {
    bench::BenchMachine copy(static_cast<int>(state.range(0)));
    platform::sim::Machine machine(copy.folder, std::make_unique<platform::sim::VirtualClock>());
    platform::Platform platform = machine.platform();
    ui::HeadlessBackend backend;
    ui::Application app(backend);
    SharedState shared(platform);
    MainWindow form(app, shared);
    const std::string cache = shared.inProgramFolder("KestrafenTemp.ini");
    long long written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        platform.files.deleteFile(cache);
        const long long before = bench::bytesWritten();
        state.ResumeTiming();
        form.EnumSR();
        state.PauseTiming();
        written = bench::bytesWritten() - before;
        state.ResumeTiming();
    }
    if (form.PointR.count() == 0)
        state.SkipWithError("the list stayed empty");
    const auto cacheSize =
        std::filesystem::file_size(copy.folder / "drives/C/Program Files/Kestrafen/KestrafenTemp.ini");
    state.counters["points"] = form.PointR.count();
    state.counters["written/cache"] = static_cast<double>(written) / static_cast<double>(cacheSize);
}
BENCHMARK(BM_Listing)->Arg(250)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    // Real time counts the disk's flushes, processor time the work; both should grow linearly.
    return bench::runWithRatios(
        argc, argv,
        {{"BM_Listing/4000", "BM_Listing/1000", "t(4000 points) / t(1000 points) = %.1f (linear: 4)", {}, 6},
         {"BM_Listing/4000", "BM_Listing/1000", "processor time, 4000 points / 1000 points = %.1f (linear: 4)",
          "cpu", 6},
         {"BM_Listing/1000", "", "bytes written by one listing of 1000 points / size of the cache = %.4f",
          "written/cache", 1}});
}
