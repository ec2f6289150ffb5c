#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/sim/Machine.h"
#include "platform/sim/Services.h"
#include "platform/sim/SrService.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace platform::sim {

namespace {

// srclient's status codes.
constexpr std::uint32_t kErrorSuccess = 0;
constexpr std::uint32_t kErrorInvalidData = 13;
constexpr std::uint32_t kErrorInternalError = 1359;
// The automation object's answer to a point it does not hold (E_INVALIDARG).
constexpr std::uint32_t kInvalidArgument = 0x80070057;

constexpr std::uint32_t kBeginSystemChange = 100;
constexpr std::uint32_t kCheckpointType = 7;

std::string driveKey(const std::string& drive) {
    return text::upper(text::trim(drive));
}

class SimAutomation : public SrAutomation {
public:
    explicit SimAutomation(Machine& m) : m_(m) {}

    std::uint32_t Restore(std::int32_t sequenceNumber) override {
        m_.runDueActions();
        m_.journal("Restore " + std::to_string(sequenceNumber));
        if (!service::holdsPoint(m_, sequenceNumber))
            return kInvalidArgument; // nothing pending: the restart that follows restores nothing
        m_.state()["system_restore"]["pending_restore"] = sequenceNumber;
        m_.saveState();
        return 0;
    }

    std::uint32_t Enable(const std::string& drive) override {
        m_.runDueActions();
        m_.journal("Enable " + drive);
        if (!service::isSystemDrive(m_, drive)) {
            setDriveMonitored(drive, true);
            return 0;
        }
        service::setStart(m_, 0);
        Machine* machine = &m_;
        m_.schedule(m_.srValue("point_after_enable_ms").get<std::int64_t>(), [machine] {
            if (service::start(*machine) == 0u) // switched off again meanwhile: no checkpoint
                service::addPoint(*machine, kBeginSystemChange, kCheckpointType,
                                  service::checkpointDescription(*machine));
        });
        return 0;
    }

    std::uint32_t Disable(const std::string& drive) override {
        m_.runDueActions();
        m_.journal("Disable " + drive);
        if (!service::isSystemDrive(m_, drive)) {
            setDriveMonitored(drive, false);
            return 0;
        }
        service::setStart(m_, 4);
        service::removeAllPoints(m_);
        return 0;
    }

private:
    // monitored_drives_off keeps each drive once, as it was first passed.
    void setDriveMonitored(const std::string& drive, bool monitored) {
        auto off = m_.srValue("monitored_drives_off");
        nlohmann::ordered_json kept = nlohmann::ordered_json::array();
        bool listed = false;
        for (const auto& entry : off) {
            const bool same = driveKey(entry.get<std::string>()) == driveKey(drive);
            listed = listed || same;
            if (!(same && monitored))
                kept.push_back(entry);
        }
        if (!monitored && !listed)
            kept.push_back(drive);
        m_.state()["system_restore"]["monitored_drives_off"] = kept;
        m_.saveState();
    }

    Machine& m_;
};

WmiValue toWmi(const nlohmann::ordered_json& value) {
    if (value.is_number_integer())
        return WmiValue(value.get<long long>());
    if (value.is_string())
        return WmiValue(value.get<std::string>());
    return WmiValue();
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

} // namespace

std::unique_ptr<SrAutomation> SimSystemRestore::automationObject() {
    m_.runDueActions();
    if (m_.srValue("automation_fails").get<bool>())
        throw automationFailed(
            "Automation error: winmgmts:\\\\.\\root\\default:SystemRestore is not available "
            "(0x80041010, invalid class)",
            "winmgmts:\\\\.\\root\\default:SystemRestore (0x80041010, invalid class)");
    return std::make_unique<SimAutomation>(m_);
}

std::vector<WmiInstance> SimSystemRestore::restorePoints() {
    m_.runDueActions();
    if (m_.srValue("connection_fails").get<bool>())
        throw automationFailed("SWbemLocator.ConnectServer: the RPC server is unavailable (0x800706BA)",
                               "SWbemLocator.ConnectServer (0x800706BA, the RPC server is unavailable)");
    std::vector<WmiInstance> instances;
    for (const auto& point : m_.srValue("points")) {
        WmiInstance instance;
        for (const auto& [name, value] : point.items())
            instance.push_back({name, toWmi(value)});
        instances.push_back(std::move(instance));
    }
    return instances;
}

LocalDateTime SimSystemRestore::toLocalTime(int year, int month, int day, int hour, int minute, int second,
                                            int microseconds, int utcOffsetMinutes) {
    m_.runDueActions();
    const bool valid = year >= 1601 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
                       day <= daysInMonth(year, month) && hour >= 0 && hour <= 23 && minute >= 0 &&
                       minute <= 59 && second >= 0 && second <= 59 && microseconds >= 0 &&
                       microseconds <= 999999 && utcOffsetMinutes >= -999 && utcOffsetMinutes <= 999;
    if (!valid) {
        char cim[64];
        std::snprintf(cim, sizeof cim, "%04d%02d%02d%02d%02d%02d.%06d%+04d", year, month, day, hour, minute,
                      second, microseconds, utcOffsetMinutes);
        throw invalidDateTime(cim);
    }
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    const std::time_t instant = timegm(&fields) - static_cast<std::time_t>(utcOffsetMinutes) * 60;
    std::tm local{};
    tzset(); // localtime_r alone may keep a time zone read before TZ changed
    localtime_r(&instant, &local);
    return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                         local.tm_hour,        local.tm_min,     local.tm_sec};
}

bool SimSystemRestore::SRSetRestorePointA(const RestorePointInfoA& info, StateMgrStatus& status) {
    m_.runDueActions();
    const std::string description = text::fromCp1252(info.descriptionBytes());
    m_.journal("SRSetRestorePointA " + std::to_string(info.eventType) + " " +
               std::to_string(info.restorePointType) + " " + description);
    if (!m_.srValue("set_restore_point_succeeds").get<bool>()) {
        status = StateMgrStatus{kErrorInternalError, 0};
        return false;
    }
    const long long sequence = service::addPoint(m_, info.eventType, info.restorePointType, description);
    status = StateMgrStatus{kErrorSuccess, sequence};
    return true;
}

std::uint32_t SimSystemRestore::SRRemoveRestorePoint(std::uint32_t sequenceNumber) {
    m_.runDueActions();
    m_.journal("SRRemoveRestorePoint " + std::to_string(sequenceNumber));
    if (!m_.srValue("remove_restore_point_succeeds").get<bool>())
        return kErrorInternalError;
    return service::removePoint(m_, sequenceNumber) ? kErrorSuccess : kErrorInvalidData;
}

// Every drive of machine.json with its size; watched unless monitored_drives_off names it.
std::vector<DriveState> SimSystemRestore::drives() {
    m_.runDueActions();
    std::vector<DriveState> found;
    const auto off = m_.srValue("monitored_drives_off");
    for (const auto& [letter, drive] : m_.state()["drives"].items()) {
        (void)drive;
        const std::string root = text::upper(letter) + ":\\";
        bool watched = true;
        for (const auto& entry : off)
            if (entry.is_string() && driveKey(entry.get<std::string>()) == driveKey(root))
                watched = false;
        found.push_back({root, watched, driveTotalBytes(m_, letter)});
    }
    std::sort(found.begin(), found.end(),
              [](const DriveState& a, const DriveState& b) { return a.root < b.root; });
    return found;
}

} // namespace platform::sim
