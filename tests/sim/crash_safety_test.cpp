// A process killed at any moment while it writes the settings file, the point cache and the
// registry leaves each file whole: its old content or its new one, and it reads back.
#include "config/RestoreSettings.h"
#include "lang/Settings.h"
#include "platform/Error.h"
#include "platform/IniText.h"
#include "platform/Text.h"
#include "platform/sim/RegFile.h"
#include "restore/PointList.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using testing_support::TestMachine;

namespace {

constexpr int kPoints = 40;

// The machine's converter, with points whose numbers carry the generation of the walk.
class NumberedPoints : public platform::SystemRestore {
public:
    explicit NumberedPoints(platform::SystemRestore& real) : real_(real) {}
    long long generation = 0;

    std::unique_ptr<platform::SrAutomation> automationObject() override { return nullptr; }
    std::vector<platform::WmiInstance> restorePoints() override {
        std::vector<platform::WmiInstance> points;
        for (int k = 0; k < kPoints; ++k)
            points.push_back({{"CreationTime", "2006101015" + std::to_string(10 + k) + "00.000000+120"},
                              {"Description", "Point " + std::to_string(k)},
                              {"RestorePointType", 0LL},
                              {"SequenceNumber", generation * 100 + k}});
        return points;
    }
    platform::LocalDateTime toLocalTime(int y, int mo, int d, int h, int mi, int s, int us,
                                        int offset) override {
        return real_.toLocalTime(y, mo, d, h, mi, s, us, offset);
    }
    bool SRSetRestorePointA(const platform::RestorePointInfoA&, platform::StateMgrStatus&) override {
        return false;
    }
    std::uint32_t SRRemoveRestorePoint(std::uint32_t) override { return 0; }
    std::vector<platform::DriveState> drives() override { return real_.drives(); }

private:
    platform::SystemRestore& real_;
};

// Writes every file with generation g.
struct Writer {
    explicit Writer(TestMachine& tm) : p(tm.machine->platform()) {}
    void write(long long g) {
        lang::storeLanguage(settings, "Gen" + std::to_string(g));
        points.generation = g;
        restore::readPoints(points, cache, lang::DatePattern{}, [](const restore::ListedPoint&) {});
        config::writeTimings(p.registry, {static_cast<std::int32_t>(g), static_cast<std::int32_t>(g)});
    }
    platform::Platform p;
    platform::IniFile settings{p.profile, p.programFolder + "Kestrafen.ini"};
    platform::IniFile cache{p.profile, p.programFolder + "KestrafenTemp.ini"};
    NumberedPoints points{p.systemRestore};
};

// Writes generation after generation until it is killed; says when it begins.
[[noreturn]] void writeForever(TestMachine& tm, long long first, int started) {
    try {
        Writer writer(tm);
        if (::write(started, "!", 1) != 1)
            _exit(4);
        for (long long g = first;; ++g)
            writer.write(g);
    } catch (...) {
        _exit(3);
    }
}

// What the files hold now: each whole and readable, each generation at least the last one seen.
struct Generations {
    long long settings = 0, cache = 0;
    config::Timings timings{0, 0};

    void check(TestMachine& tm, const std::string& round) {
        SCOPED_TRACE(round);
        const std::string language =
            platform::ini::Document(tm.read("C:\\Program Files\\Kestrafen\\Kestrafen.ini"))
                .value("Kestrafen", "Langue")
                .value_or("");
        ASSERT_TRUE(language.starts_with("Gen")) << language;
        EXPECT_GE(platform::text::toInteger(language.substr(3)), settings);
        settings = platform::text::toInteger(language.substr(3));

        // One walk writes the cache twice: after its first point, then whole. Either way every
        // point is there with all its keys, and the points after the first share one generation.
        const platform::ini::Document cacheFile(tm.read("C:\\Program Files\\Kestrafen\\KestrafenTemp.ini"));
        ASSERT_EQ(cacheFile.sectionNames().size(), static_cast<std::size_t>(kPoints));
        std::vector<long long> generations;
        for (const std::string& section : cacheFile.sectionNames()) {
            for (const char* key : {"DirectoryName", "Type", "Number", "Date"})
                ASSERT_TRUE(cacheFile.value(section, key)) << section << " " << key;
            const long long number = platform::text::toInteger(*cacheFile.value(section, "Number"));
            EXPECT_EQ(number % 100, static_cast<long long>(generations.size())) << section;
            generations.push_back(number / 100);
        }
        const long long rest = generations[1];
        EXPECT_EQ(std::count(generations.begin() + 1, generations.end(), rest), kPoints - 1);
        EXPECT_TRUE(generations[0] == rest || generations[0] == rest + 1) << generations[0] << " " << rest;
        EXPECT_GE(rest, cache);
        cache = rest;

        // The registry is rewritten once per value, lifetime first.
        const auto registry = platform::sim::RegFile::parse(
            platform::sim::readWholeFile(tm.folder / "registry.reg").value_or(""), "registry.reg");
        ASSERT_NE(registry.find("HKEY_LOCAL_MACHINE\\" + std::string(config::systemRestoreKey)), nullptr);
        EXPECT_GT(registry.keys().size(), 10u);
        const config::Timings t = config::readTimings(tm.machine->platform().registry);
        EXPECT_TRUE(t.lifetimeDays >= t.intervalHours && t.lifetimeDays >= timings.lifetimeDays &&
                    t.intervalHours >= timings.intervalHours)
            << t.lifetimeDays << " " << t.intervalHours;
        timings = t;
    }
};

TEST(CrashSafety, EveryFileIsOldOrNewAndReadsAfterEachOf200Kills) {
    TestMachine tm;
    Writer(tm).write(0); // a first generation written whole, so that each round has an old content
    const unsigned seedValue = std::random_device{}();
    std::mt19937 random(seedValue);
    SCOPED_TRACE("seed " + std::to_string(seedValue));
    Generations seen;
    seen.check(tm, "before");
    int progressed = 0;
    for (int round = 0; round < 200 && !HasFatalFailure(); ++round) {
        const long long before = seen.settings;
        int started[2];
        ASSERT_EQ(::pipe(started), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            writeForever(tm, seen.timings.lifetimeDays + 1, started[1]);
        char byte = 0;
        ASSERT_EQ(::read(started[0], &byte, 1), 1);
        ::close(started[0]);
        ::close(started[1]);
        // A moment anywhere in the first writes, which take a few milliseconds each (each file is
        // flushed to disk before it replaces the old one).
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 8000)(random));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the writer ended by itself: " << status;
        tm.reopen();
        seen.check(tm, "round " + std::to_string(round));
        progressed += seen.settings > before;
    }
    // Kills came after whole writes, and inside writes: a writer killed there leaves its
    // temporary file beside the target, never the target torn.
    EXPECT_GT(progressed, 0);
    int leftTemporaries = 0;
    for (const auto& folder : {tm.folder, tm.host("C:\\Program Files\\Kestrafen")})
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            leftTemporaries += entry.path().filename().string().find(".tmp-") != std::string::npos;
    EXPECT_GT(leftTemporaries, 0);
}

} // namespace
