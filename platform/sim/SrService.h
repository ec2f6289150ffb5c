#pragma once
// The state changes of the simulated System Restore service, shared by the automation object,
// the srclient calls and the restart that the command runner performs.
#include <cstdint>
#include <optional>
#include <string>

namespace platform::sim {

class Machine;

namespace service {

// The service's registry key; its "Start" value is 0 when System Restore is on, 4 when off.
inline constexpr const char* kServiceKey = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\sr";

// Descriptions of the point the service makes after it is switched on and of a rollback's point,
// in the machine's language (system_restore.descriptions), English when it names none.
std::string checkpointDescription(Machine& m);
std::string restoreDescription(Machine& m);

// "yyyymmddHHMMSS.000000sUUU": the local wall-clock time of an instant with its UTC offset.
std::string cimDateTime(std::int64_t unixSeconds, int utcOffsetMinutes);

// Adds a point stamped with the machine's current local time; returns its sequence number.
long long addPoint(Machine& m, std::uint32_t eventType, std::uint32_t pointType,
                   const std::string& description);
bool removePoint(Machine& m, long long sequenceNumber);
bool holdsPoint(Machine& m, long long sequenceNumber);
void removeAllPoints(Machine& m);

std::optional<std::uint32_t> start(Machine& m);
void setStart(Machine& m, std::uint32_t value);

// True when a drive argument ("C:\", "c:") names the machine's system drive.
bool isSystemDrive(Machine& m, const std::string& drive);

// The machine restarts: a pending rollback becomes a point of type 6, then the program ends.
void restart(Machine& m);

} // namespace service
} // namespace platform::sim
