// Unpacking the diagnostic cabinet against the floor of copying the same change log: how much the
// cabinet costs over plain file I/O for a 1 MB log.
#include "platform/sim/Services.h"
#include "platform/sim/Srdiag.h"

#include "Ratio.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Files {
    fs::path root;
    fs::path log;
    fs::path cabinet;

    Files() {
        std::string pattern = (fs::temp_directory_path() / "kestrafen-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        root = pattern;
        log = root / "sr-chglog.log";
        cabinet = root / "res.cab";
        std::string text;
        for (int i = 0; text.size() < 1024 * 1024; ++i) {
            text += "RPDir=RP" + std::to_string(i % 60) +
                    ",Drive=C:\\,EventString=File Modify,Path1=C:\\WINDOWS\\" + "system32\\file" +
                    std::to_string(i) + ".dll,Path2=,Temp=C:\\System Volume Information\\A" +
                    std::to_string(i * 7919 % 100000) + ".dll\r\n";
        }
        std::ofstream(log, std::ios::binary) << text;
        platform::sim::writeCabinet(cabinet, {{"SR-ChgLog.LOG", text}});
    }
    ~Files() { fs::remove_all(root); }
};

Files& files() {
    static Files instance;
    return instance;
}

void BM_ExtractCabinet(benchmark::State& state) {
    const fs::path folder = files().root / "res";
    for (auto _ : state) {
        platform::sim::extractCabinet(files().cabinet, folder, "res.cab", "res");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(files().log)));
}
BENCHMARK(BM_ExtractCabinet)->Unit(benchmark::kMillisecond);

void BM_CopyLog(benchmark::State& state) {
    const fs::path copy = files().root / "copy.log";
    for (auto _ : state) {
        fs::copy_file(files().log, copy, fs::copy_options::overwrite_existing);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(files().log)));
}
BENCHMARK(BM_CopyLog)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration for the closing ratio.

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatio(argc, argv, "BM_ExtractCabinet", "BM_CopyLog",
                               "extracting the cabinet takes %.1f times as long as copying the 1 MB log");
}
