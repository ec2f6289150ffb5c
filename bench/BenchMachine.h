#pragma once
// A copy of the sample machine in a temporary folder, with as many restore points as a benchmark
// asks for and the program already set up (its settings file exists, so no first run).
#include "platform/sim/Machine.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace bench {

class BenchMachine {
public:
    // points < 0 keeps the sample's own points.
    explicit BenchMachine(int points) {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "kestrafen-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        root_ = pattern;
        folder = root_ / "machine";
        platform::sim::Machine::ensureExists(folder);
        if (points >= 0)
            setPoints(points);
        std::ofstream settings(folder / "drives/C/Program Files/Kestrafen/Kestrafen.ini", std::ios::binary);
        settings << "[Kestrafen]\r\nLangue=Fran\xE7"
                    "ais\r\n";
    }
    ~BenchMachine() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    BenchMachine(const BenchMachine&) = delete;
    BenchMachine& operator=(const BenchMachine&) = delete;

    std::filesystem::path folder;

private:
    // Points of every listed type, one every 7 hours 13 minutes from 2005 on, newest last, each
    // with its own description, as a machine that has kept its points for years would list them.
    void setPoints(int count) {
        const auto path = folder / "machine.json";
        std::ifstream in(path);
        nlohmann::ordered_json json = nlohmann::ordered_json::parse(in);
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        long long minutes = 0;
        for (int i = 0; i < count; ++i, minutes += 7 * 60 + 13) {
            const long long day = minutes / (24 * 60);
            char time[32];
            std::snprintf(time, sizeof time, "%04lld%02lld%02lld%02lld%02lld00.000000+060", 2005 + day / 336,
                          1 + day / 28 % 12, 1 + day % 28, minutes / 60 % 24, minutes % 60);
            list.push_back({{"CreationTime", time},
                            {"Description", "Installed Program number " + std::to_string(i)},
                            {"EventType", 100},
                            {"RestorePointType", i % 13},
                            {"SequenceNumber", i + 1}});
        }
        json["system_restore"]["points"] = list;
        json["system_restore"]["next_sequence_number"] = count + 1;
        std::ofstream(path) << json.dump(2) << "\n";
    }

    std::filesystem::path root_;
};

// Bytes this process has handed to write() so far (Linux /proc/self/io), or -1.
inline long long bytesWritten() {
    std::ifstream io("/proc/self/io");
    std::string name;
    long long value = 0;
    while (io >> name >> value)
        if (name == "wchar:")
            return value;
    return -1;
}

} // namespace bench
