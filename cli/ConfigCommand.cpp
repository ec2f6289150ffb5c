// config: the three settings of the settings dialog, shown or set under the dialog's rules.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/Session.h"
#include "config/DiskShare.h"
#include "config/RestoreSettings.h"

#include <optional>

namespace cli {

namespace {

struct Settings {
    std::int32_t diskPercent = config::defaultDiskPercent;
    config::Timings timings;
};

// A count of days or hours as the dialog takes it: a whole number whose seconds fit the registry.
std::optional<std::int32_t> settingCount(const std::string& text, std::int32_t unit) {
    const std::optional<std::int32_t> count = config::parseInteger(text);
    if (!count || !config::toSeconds(*count, unit))
        return std::nullopt;
    return count;
}

// Puts the options given over the stored settings; the first option that is wrong, or nothing.
std::optional<std::string> applyOptions(const Arguments& a, Settings& settings) {
    if (const auto text = a.value("--disk-percent")) {
        const auto percent = config::parsePercent(*text);
        if (!percent)
            return "--disk-percent";
        settings.diskPercent = *percent;
    }
    const std::pair<const char*, std::int32_t> counts[] = {{"--lifetime-days", config::secondsPerDay},
                                                           {"--interval-hours", config::secondsPerHour}};
    for (const auto& [option, unit] : counts) {
        if (const auto text = a.value(option)) {
            const auto count = settingCount(*text, unit);
            if (!count)
                return option;
            (unit == config::secondsPerDay ? settings.timings.lifetimeDays : settings.timings.intervalHours) =
                *count;
        }
    }
    return std::nullopt;
}

void show(Session& s, const Arguments& a, const Settings& settings, bool dryRun) {
    if (a.json) {
        s.out(json::object({{"disk_percent", std::to_string(settings.diskPercent)},
                            {"lifetime_days", std::to_string(settings.timings.lifetimeDays)},
                            {"interval_hours", std::to_string(settings.timings.intervalHours)},
                            {"dry_run", json::boolean(dryRun)}}));
        return;
    }
    s.out(s.text("ReglagePart", {std::to_string(settings.diskPercent)}));
    s.out(s.text("EtatReglages", {std::to_string(settings.timings.lifetimeDays),
                                  std::to_string(settings.timings.intervalHours)}));
}

} // namespace

int configCommand(Session& s, const Arguments& a) {
    if (!a.values.empty()) {
        s.err(s.text("ErreurArgument", {a.values.front()}));
        return usageError;
    }
    Settings settings;
    try {
        settings = {config::readDiskPercent(s.platform.registry), config::readTimings(s.platform.registry)};
    } catch (const std::exception& error) {
        return s.fail(error);
    }
    const bool change = a.has("--disk-percent") || a.has("--lifetime-days") || a.has("--interval-hours");
    if (const auto wrong = applyOptions(a, settings)) {
        s.err(s.text("ErreurValeur", {*wrong}));
        return usageError;
    }
    const bool dryRun = a.has("--dry-run");
    // The window's settings stay within reach whatever the state of System Restore: so here.
    if (change && !dryRun) {
        try {
            // All three, as the dialog's Valider writes them.
            config::writeTimings(s.platform.registry, settings.timings);
            config::writeDiskPercent(s.platform.registry, settings.diskPercent);
        } catch (const std::exception& error) {
            return s.fail(error);
        }
    }
    show(s, a, settings, dryRun);
    if (change && !a.json)
        s.out(s.text(dryRun ? "EssaiReglages" : "ReglagesEnregistres"));
    return done;
}

} // namespace cli
