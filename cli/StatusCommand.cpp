// status: what the window would show of System Restore, in one look.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/PointText.h"
#include "cli/Session.h"
#include "config/DiskShare.h"
#include "config/RestoreSettings.h"
#include "restore/TemporaryFiles.h"

#include <optional>

namespace cli {

namespace {

// What status reports; each part unknown (empty) when the machine would not tell.
struct Status {
    restore::ServiceState state = restore::ServiceState::Unreadable;
    std::vector<platform::DriveState> drives;
    std::vector<std::optional<platform::StoreUsage>> used; // one for each drive
    std::optional<config::Timings> timings;
    std::optional<std::int32_t> diskPercent;
    std::string root; // the system drive's root
    std::optional<std::uint64_t> freeBytes;
    std::optional<bool> low;
    std::optional<std::size_t> count;
    std::optional<restore::ListedPoint> newest;
};

// Looks at everything it can; a part that fails is said and left unknown, and the code tells.
int gather(Session& s, Status& st) {
    int code = done;
    const auto attempt = [&](const auto& look) {
        try {
            look();
        } catch (const std::exception& error) {
            const int failure = s.fail(error);
            code = code == done ? failure : code;
        }
    };
    st.state = restore::readServiceState(s.platform.registry);
    const bool off = st.state == restore::ServiceState::Off;
    attempt([&] { st.drives = s.platform.systemRestore.drives(); });
    // Switched off, System Restore watches no drive at all.
    if (off)
        for (auto& d : st.drives)
            d.monitored = false;
    for (const auto& d : st.drives)
        st.used.push_back(s.platform.systemRestore.storeUsage(d.root));
    attempt([&] { st.timings = config::readTimings(s.platform.registry); });
    attempt([&] { st.diskPercent = config::readDiskPercent(s.platform.registry); });
    st.root = s.systemDrive + "\\";
    st.freeBytes = s.platform.files.freeBytes(st.root);
    if (st.freeBytes)
        st.low = restore::tooLittleSpace(static_cast<std::int64_t>(*st.freeBytes / 1024));
    if (off) {
        st.count = 0;
        return code;
    }
    attempt([&] {
        const auto points = s.points();
        st.count = points.size();
        if (!points.empty())
            st.newest = points.back();
    });
    return code;
}

template <typename T> std::string number(const std::optional<T>& value) {
    return json::number(value ? std::optional<long long>(static_cast<long long>(*value)) : std::nullopt);
}

// A drive with its size, the most System Restore may take of it at the stored share (none when
// the share is not one from 1 to 100) and what its store holds.
std::string driveJson(const platform::DriveState& d, const std::optional<platform::StoreUsage>& used,
                      std::optional<std::int32_t> percent) {
    std::optional<std::uint64_t> cap;
    if (d.totalBytes && percent && *percent >= 1 && *percent <= 100)
        cap = config::capBytes(*d.totalBytes, *percent);
    return json::object({{"root", json::quoted(d.root)},
                         {"monitored", json::boolean(d.monitored)},
                         {"total_bytes", number(d.totalBytes)},
                         {"cap_bytes", number(cap)},
                         {"used_bytes", number(used ? std::optional(used->bytes) : std::nullopt)}});
}

std::string statusJson(const Status& st, std::int64_t now) {
    const bool on = st.state == restore::ServiceState::On;
    const bool off = st.state == restore::ServiceState::Off;
    std::vector<std::string> drives;
    for (std::size_t i = 0; i < st.drives.size(); ++i)
        drives.push_back(driveJson(st.drives[i], st.used[i], st.diskPercent));
    std::string newest = "null";
    if (st.newest)
        newest = json::object({{"created", json::quoted(isoCreated(*st.newest))},
                               {"sequence_number", std::to_string(st.newest->sequence)},
                               {"description", json::quoted(st.newest->description)},
                               {"age_seconds", std::to_string(now - st.newest->utcSeconds)}});
    const std::vector<std::pair<std::string, std::string>> members{
        {"system_restore", json::quoted(on    ? "on"
                                        : off ? "off"
                                              : "unknown")},
        {"drives", json::array(drives)},
        {"lifetime_days", number(st.timings ? std::optional(st.timings->lifetimeDays) : std::nullopt)},
        {"interval_hours", number(st.timings ? std::optional(st.timings->intervalHours) : std::nullopt)},
        {"disk_percent", number(st.diskPercent)},
        {"system_drive", json::quoted(st.root)},
        {"free_kilobytes", number(st.freeBytes ? std::optional(*st.freeBytes / 1024) : std::nullopt)},
        {"minimum_kilobytes", std::to_string(restore::minimumKilobytes)},
        {"low_space", json::boolean(st.low)},
        {"points", number(st.count)},
        {"newest_point", newest},
    };
    std::string text = "{";
    for (std::size_t i = 0; i < members.size(); ++i)
        text += (i ? ",\n  " : "\n  ") + json::quoted(members[i].first) + ": " + members[i].second;
    return text + "\n}";
}

void statusText(Session& s, const Status& st, std::int64_t now) {
    const std::string unknown = s.text("EtatInconnu");
    const bool on = st.state == restore::ServiceState::On;
    const bool off = st.state == restore::ServiceState::Off;
    s.out(s.text("EtatRestauration", {on    ? s.text("EtatActivee")
                                      : off ? s.text("EtatDesactivee")
                                            : unknown}));
    for (const auto& d : st.drives)
        s.out(s.text("EtatLecteur", {d.root, !d.monitored ? unknown
                                                          : s.text(*d.monitored ? "LecteurSurveille"
                                                                                : "LecteurNonSurveille")}));
    if (st.timings)
        s.out(s.text("EtatReglages",
                     {std::to_string(st.timings->lifetimeDays), std::to_string(st.timings->intervalHours)}));
    if (st.freeBytes)
        s.out(s.text("EtatEspace", {st.root, std::to_string(*st.freeBytes / (1024 * 1024))}));
    else
        s.out(s.text("EtatEspaceInconnu", {st.root}));
    if (st.low.value_or(false))
        s.out(s.text("Message2"));
    if (st.newest)
        s.out(s.text("EtatDernierPoint",
                     {st.newest->entry, std::to_string((now - st.newest->utcSeconds) / 86400)}));
    else if (st.count)
        s.out(s.text("EtatAucunPoint"));
}

} // namespace

int statusCommand(Session& s, const Arguments& a) {
    if (!a.values.empty()) {
        s.err(s.text("ErreurArgument", {a.values.front()}));
        return usageError;
    }
    Status st;
    const int code = gather(s, st);
    const std::int64_t now = s.platform.process.unixSeconds();
    if (a.json)
        s.out(statusJson(st, now));
    else
        statusText(s, st, now);
    return code;
}

} // namespace cli
