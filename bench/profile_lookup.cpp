// How much a profile lookup costs over merely fetching the file's bytes. The program looks up every
// text in langues.ini: where the file system gives stamps, the parsed copy answers and a lookup
// costs less than the read; without stamps every lookup reads and parses the file again.
#include "platform/FileSystem.h"
#include "support/MemoryFiles.h"
#include "platform/FileProfile.h"
#include "platform/sim/Services.h"

#include "Ratio.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

const std::string kLangues = "C:\\Program Files\\Kestrafen\\langues.ini";

// Two language sections of 60 keys each, accented keys included, as langues.ini has them.
std::string languageFile() {
    std::string text;
    for (const char* language : {"Fran\347ais", "English"}) {
        text += "[" + std::string(language) + "]\r\n";
        for (int i = 1; i <= 60; ++i)
            text += "R\xE9parerRestauration" + std::to_string(i) + "=Some text of a window, number " +
                    std::to_string(i) + "\r\n";
        text += "\r\n";
    }
    return text;
}

testing_support::MemoryFiles& machineFiles(bool stamps = true) {
    static testing_support::MemoryFiles stamped;
    static testing_support::MemoryFiles unstamped;
    testing_support::MemoryFiles& files = stamps ? stamped : unstamped;
    if (files.files.empty()) {
        files.stamps = stamps;
        files.edit(kLangues, languageFile());
    }
    return files;
}

void BM_ReadRawBytes(benchmark::State& state) {
    testing_support::MemoryFiles& files = machineFiles();
    for (auto _ : state)
        benchmark::DoNotOptimize(files.readFile(kLangues));
}
BENCHMARK(BM_ReadRawBytes);

// The last key of the second section: the whole file is walked.
void BM_ReadString(benchmark::State& state) {
    platform::FileProfile profile(machineFiles());
    for (auto _ : state)
        benchmark::DoNotOptimize(profile.readString(kLangues, "english", "RéparerRestauration60", ""));
    if (profile.readString(kLangues, "English", "RéparerRestauration60", "") !=
        "Some text of a window, number 60")
        state.SkipWithError("the lookup found the wrong value");
}
BENCHMARK(BM_ReadString);

void BM_ReadStringWithoutStamps(benchmark::State& state) {
    platform::FileProfile profile(machineFiles(false));
    for (auto _ : state)
        benchmark::DoNotOptimize(profile.readString(kLangues, "english", "RéparerRestauration60", ""));
}
BENCHMARK(BM_ReadStringWithoutStamps);


} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(
        argc, argv,
        {{"BM_ReadString", "BM_ReadRawBytes", "readString on a 60-key section costs %.1f times a raw read of the file"},
         {"BM_ReadStringWithoutStamps", "BM_ReadRawBytes",
          "without stamps, it costs %.1f times a raw read (the file is parsed again)"}});
}
