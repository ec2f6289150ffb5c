#pragma once
// A simulated machine for one test: a fresh copy of the sample machine (or of a bare machine) in a
// temporary folder, driven by a virtual clock, removed when the test ends. The process time zone is
// set to the French one of the sample machine, so local times are the same on every host.
#include "platform/sim/Machine.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class TestMachine {
public:
    enum class Start { Sample, Bare };
    explicit TestMachine(Start start = Start::Sample);
    ~TestMachine();

    std::filesystem::path folder;
    platform::sim::VirtualClock* clock = nullptr; // owned by the machine
    std::unique_ptr<platform::sim::Machine> machine;

    // machine.json as stored (read again when the machine changed it); edit it, then save() writes
    // it back and reopens the machine.
    nlohmann::ordered_json& json();
    void save();
    // Opens the machine again from its folder (after editing files behind its back).
    void reopen();
    // The host path of a Windows path of the machine.
    std::filesystem::path host(const std::string& windowsPath) const;
    std::vector<std::string> journal() const;
    std::string read(const std::string& windowsPath) const;
    void write(const std::string& windowsPath, const std::string& bytes);

private:
    nlohmann::ordered_json json_;
    std::string jsonText_; // the file's text json_ was read from
};

} // namespace testing_support
