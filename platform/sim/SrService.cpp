#include "platform/sim/SrService.h"

#include "platform/Text.h"
#include "platform/sim/Machine.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace platform::sim::service {

namespace {

constexpr std::uint32_t kBeginSystemChange = 100;
constexpr std::uint32_t kRestoreType = 6;

nlohmann::ordered_json& systemRestore(Machine& m) {
    auto& sr = m.state()["system_restore"];
    if (!sr.is_object())
        sr = nlohmann::ordered_json::object();
    return sr;
}

nlohmann::ordered_json& points(Machine& m) {
    auto& list = systemRestore(m)["points"];
    if (!list.is_array())
        list = nlohmann::ordered_json::array();
    return list;
}

std::string driveName(const std::string& drive) {
    std::string name = text::upper(text::trim(drive));
    while (!name.empty() && (name.back() == '\\' || name.back() == '/'))
        name.pop_back();
    return name;
}

std::string description(Machine& m, const char* which, const char* english) {
    const auto names = m.srValue("descriptions");
    return names.is_object() && names.contains(which) ? names[which].get<std::string>() : english;
}

// The entry of the service's list with that number, or end().
nlohmann::ordered_json::iterator findPoint(nlohmann::ordered_json& list, long long sequenceNumber) {
    for (auto it = list.begin(); it != list.end(); ++it) {
        const auto& number =
            (*it).contains("SequenceNumber") ? (*it)["SequenceNumber"] : nlohmann::ordered_json();
        if (number.is_number_integer() && number.get<long long>() == sequenceNumber)
            return it;
    }
    return list.end();
}

} // namespace

std::string checkpointDescription(Machine& m) {
    return description(m, "checkpoint", "System Checkpoint");
}

std::string restoreDescription(Machine& m) {
    return description(m, "restore", "Restore Operation");
}

std::string cimDateTime(std::int64_t unixSeconds, int utcOffsetMinutes) {
    const std::time_t wall = static_cast<std::time_t>(unixSeconds + std::int64_t{utcOffsetMinutes} * 60);
    std::tm t{};
    gmtime_r(&wall, &t);
    char out[96]; // room for any int the compiler cannot rule out
    std::snprintf(out, sizeof out, "%04d%02d%02d%02d%02d%02d.000000%c%03d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, utcOffsetMinutes < 0 ? '-' : '+',
                  std::abs(utcOffsetMinutes));
    return out;
}

long long addPoint(Machine& m, std::uint32_t eventType, std::uint32_t pointType,
                   const std::string& description) {
    const long long sequence = m.srValue("next_sequence_number").get<long long>();
    const std::int64_t now = m.clock().unixSeconds();
    // The properties in the order the service's class lists them.
    nlohmann::ordered_json point = nlohmann::ordered_json::object();
    point["CreationTime"] = cimDateTime(now, m.utcOffsetMinutes(now));
    point["Description"] = description;
    point["EventType"] = eventType;
    point["RestorePointType"] = pointType;
    point["SequenceNumber"] = sequence;
    points(m).push_back(std::move(point));
    systemRestore(m)["next_sequence_number"] = sequence + 1;
    m.saveState();
    return sequence;
}

bool removePoint(Machine& m, long long sequenceNumber) {
    auto& list = points(m);
    const auto it = findPoint(list, sequenceNumber);
    if (it == list.end())
        return false;
    list.erase(it);
    m.saveState();
    return true;
}

bool holdsPoint(Machine& m, long long sequenceNumber) {
    auto& list = points(m);
    return findPoint(list, sequenceNumber) != list.end();
}

void removeAllPoints(Machine& m) {
    points(m) = nlohmann::ordered_json::array();
    m.saveState();
}

std::optional<std::uint32_t> start(Machine& m) {
    const RegKeyData* key = m.registryFile().find(kServiceKey);
    if (!key)
        return std::nullopt;
    for (const auto& [name, value] : key->values) {
        if (text::equalsIgnoreCase(name, "Start") && value.type == RegType::Dword && value.data.size() == 4) {
            std::uint32_t n = 0;
            for (int i = 3; i >= 0; --i)
                n = (n << 8) | static_cast<unsigned char>(value.data[static_cast<std::size_t>(i)]);
            return n;
        }
    }
    return std::nullopt;
}

void setStart(Machine& m, std::uint32_t value) {
    setValue(m.registryFile().create(kServiceKey), "Start", reg::dword(value));
    m.saveRegistry();
}

bool isSystemDrive(Machine& m, const std::string& drive) {
    const std::string system = m.platform().environment.get("SystemDrive").value_or("C:");
    return driveName(drive) == driveName(system);
}

void restart(Machine& m) {
    m.journal("Restart");
    if (!m.srValue("pending_restore").is_null()) {
        systemRestore(m)["pending_restore"] = nullptr;
        addPoint(m, kBeginSystemChange, kRestoreType, restoreDescription(m));
    }
    if (m.onRestart)
        m.onRestart();
}

} // namespace platform::sim::service
