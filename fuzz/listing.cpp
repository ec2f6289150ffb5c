// Listing a restore point: the language's date pattern (first line), its separator (second), the
// point's CIM date-time text (third) and its description (the rest, line breaks included). Either
// the walk stops with a message, or the point is listed on one line and its cache section is found
// again by its list entry with the folder, number and date it was given.
#include "Finding.h"
#include "platform/Error.h"
#include "platform/FileProfile.h"
#include "platform/sim/Machine.h"
#include "restore/PointList.h"
#include "support/MemoryFiles.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The simulated machine's converter, with points taken from the input.
class Points : public platform::SystemRestore {
public:
    explicit Points(platform::SystemRestore& real) : real_(real) {}
    std::vector<platform::WmiInstance> points;

    std::unique_ptr<platform::SrAutomation> automationObject() override { return nullptr; }
    std::vector<platform::WmiInstance> restorePoints() override { return points; }
    platform::LocalDateTime toLocalTime(int year, int month, int day, int hour, int minute, int second,
                                        int microseconds, int utcOffsetMinutes) override {
        return real_.toLocalTime(year, month, day, hour, minute, second, microseconds, utcOffsetMinutes);
    }
    bool SRSetRestorePointA(const platform::RestorePointInfoA&, platform::StateMgrStatus&) override {
        return false;
    }
    std::uint32_t SRRemoveRestorePoint(std::uint32_t) override { return 0; }
    std::vector<platform::DriveState> drives() override { return {}; }

private:
    platform::SystemRestore& real_;
};

platform::sim::Machine& machine() {
    static platform::sim::Machine* m = [] {
        ::setenv("TZ", "Europe/Paris", 1); // a zone with summer time: the conversion has gaps to cross
        std::string folder = (fs::temp_directory_path() / "kestrafen-fuzz-XXXXXX").string();
        if (!::mkdtemp(folder.data()))
            std::abort();
        platform::sim::Machine::ensureExists(fs::path(folder) / "machine");
        return new platform::sim::Machine(fs::path(folder) / "machine",
                                          std::make_unique<platform::sim::VirtualClock>());
    }();
    return *m;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto [pattern, rest] = fuzz::firstLine(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto [separator, point] = fuzz::firstLine(rest);
    const auto [cim, description] = fuzz::firstLine(point);
    lang::DatePattern date;
    date.format = std::string(pattern.substr(0, pattern.find('\r')));
    const std::string first = lang::firstCharacter(std::string(separator));
    date.separator = first.empty() || first == "\r" ? "/" : first;

    Points service(machine().platform().systemRestore);
    service.points.push_back({{"CreationTime", std::string(cim)},
                              {"Description", std::string(description)},
                              {"RestorePointType", 0LL},
                              {"SequenceNumber", 42LL}});
    testing_support::MemoryFiles files;
    platform::FileProfile profile(files);
    platform::IniFile cache(profile, "C:\\Program Files\\Kestrafen\\KestrafenTemp.ini");
    std::vector<restore::ListedPoint> listed;
    try {
        restore::readPoints(service, cache, date,
                            [&](const restore::ListedPoint& p) { listed.push_back(p); });
    } catch (const platform::Error&) {
        return 0; // an impossible date or a field that is no number: the user reads which
    }
    if (listed.size() != 1)
        fuzz::finding("the point was not listed");
    const restore::ListedPoint& p = listed.front();
    if (p.entry.find_first_of("\r\n") != std::string::npos)
        fuzz::finding("a list entry on two lines: " + p.entry);
    platform::FileProfile reread(files);
    const std::string name = cache.fileName();
    fuzz::expectSame("the cached folder of '" + p.entry + "'", "RP42",
                     reread.readString(name, p.entry, "DirectoryName", ""));
    fuzz::expectSame("the cached number", "42", reread.readString(name, p.entry, "Number", ""));
    fuzz::expectSame("the cached date", p.sortKey, reread.readString(name, p.entry, "Date", ""));
    return 0;
}
