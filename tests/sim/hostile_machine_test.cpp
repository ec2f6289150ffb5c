// The machine turns hostile: a drive that takes no more bytes, a registry.reg that is cut short,
// empty or no text. Each gets a message naming what failed and loses nothing.
#include "config/RestoreSettings.h"
#include "platform/Error.h"
#include "platform/sim/Machine.h"
#include "platform/sim/Services.h"
#include "platform/sim/Srdiag.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <functional>
#include <sys/resource.h>

namespace fs = std::filesystem;
using testing_support::TestMachine;

namespace {

// Files of this process cannot grow past a few bytes, as on a full drive; undone at the end.
class FullDrive {
public:
    FullDrive() {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
        rlimit full = saved_;
        full.rlim_cur = 16;
        ::setrlimit(RLIMIT_FSIZE, &full);
    }
    ~FullDrive() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const platform::Error& e) {
        return e.what();
    }
    return "no error";
}

std::size_t temporaryFiles(const fs::path& folder) {
    return std::ranges::count_if(fs::directory_iterator(folder), [](const fs::directory_entry& entry) {
        return entry.path().filename().string().find(".tmp-") != std::string::npos;
    });
}

TEST(HostileMachine, AFullDriveRefusesEveryWriteByNameAndKeepsTheOldFiles) {
    TestMachine tm;
    const std::string program = "C:\\Program Files\\Kestrafen\\";
    tm.write(program + "Kestrafen.ini", "[Kestrafen]\r\nLangue=English\r\n");
    platform::sim::writeCabinet(tm.host(program + "res.cab"), {{"SR-ChgLog.LOG", std::string(4096, 'x')}});
    platform::Platform p = tm.machine->platform();
    config::writeTimings(p.registry, {90, 24});
    const std::string registryBefore = platform::sim::readWholeFile(tm.folder / "registry.reg").value();

    {
        FullDrive full;
        const auto language = [&] {
            p.profile.writeString(program + "Kestrafen.ini", "Kestrafen", "Langue", "x");
        };
        const auto timings = [&] { config::writeTimings(p.registry, {30, 12}); };
        EXPECT_EQ(errorOf(language), "Unable to write to " + program + "Kestrafen.ini");
        EXPECT_EQ(errorOf(timings), "Failed to set data for 'RPLifeInterval'");
        const std::string cabinetError = errorOf([&] { p.cabinet.extract("res.cab", "res"); });
        EXPECT_EQ(cabinetError.rfind(program + "res.cab: ", 0), 0u) << cabinetError;
        EXPECT_EQ(cabinetError.find(tm.folder.string()), std::string::npos) << cabinetError;
    }

    EXPECT_EQ(tm.read(program + "Kestrafen.ini"), "[Kestrafen]\r\nLangue=English\r\n");
    EXPECT_EQ(platform::sim::readWholeFile(tm.folder / "registry.reg").value(), registryBefore);
    // The registry in memory did not take the value the disk refused.
    const config::Timings timings = config::readTimings(p.registry);
    EXPECT_EQ(std::pair(timings.lifetimeDays, timings.intervalHours), std::pair(90, 24));
    EXPECT_FALSE(fs::exists(tm.host(program + "res")));
    EXPECT_EQ(temporaryFiles(tm.host(program)) + temporaryFiles(tm.folder), 0u);
}

TEST(HostileMachine, ARegistryFileCutShortEmptyOrNotTextIsNamedOrRead) {
    const std::string sample =
        platform::sim::readWholeFile(platform::sim::Machine::sampleFolder() / "registry.reg").value();
    struct Case {
        const char* what;
        std::string bytes;
        bool opens;
    };
    const std::vector<Case> cases = {
        {"empty", "", false},
        {"cut in a text", sample.substr(0, sample.find("\"=\"") + 5), false},
        {"cut in a hex list", sample.substr(0, sample.find("=hex(7):") + 12), true}, // shorter data
        {"cut before a key", sample.substr(0, sample.rfind("\r\n[", sample.size() / 2) + 2), true},
        {"not text", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestMachine tm(TestMachine::Start::Bare);
        tm.machine.reset();
        std::ofstream(tm.folder / "registry.reg", std::ios::binary) << c.bytes;
        const std::string error = errorOf(
            [&] { platform::sim::Machine(tm.folder, std::make_unique<platform::sim::VirtualClock>()); });
        EXPECT_TRUE(c.opens ? error == "no error"
                            : error.starts_with((tm.folder / "registry.reg").string() + ", line "))
            << error;
        EXPECT_EQ(platform::sim::readWholeFile(tm.folder / "registry.reg").value_or("<gone>"), c.bytes);
    }
}

} // namespace
