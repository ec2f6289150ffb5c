#pragma once
// What the program asks of the operating system's System Restore: the automation object, the
// enumeration of restore-point instances with its date-time converter, and the two srclient calls.
#include "platform/Text.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform {

// A property value as the service hands it over: absent, a number or a text.
class WmiValue {
public:
    WmiValue() = default;
    WmiValue(long long n) : v_(n) {}
    WmiValue(std::string s) : v_(std::move(s)) {}
    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    std::string asText() const;
    // Throws platform::Error when the value does not convert to an integer.
    long long asInteger() const;

private:
    std::variant<std::monostate, long long, std::string> v_;
};

struct WmiProperty {
    std::string name;
    WmiValue value;
};

// One instance of the restore-point class: its properties in the service's order.
using WmiInstance = std::vector<WmiProperty>;

struct LocalDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The automation object obtained once at start; calls are late-bound on Windows.
class SrAutomation {
public:
    virtual ~SrAutomation() = default;
    // Each returns the method's ReturnValue: 0 when the service accepted the request, else the
    // service's error code (a roll-back to a point it does not hold, say).
    virtual std::uint32_t Restore(std::int32_t sequenceNumber) = 0;
    virtual std::uint32_t Enable(const std::string& drive) = 0;
    virtual std::uint32_t Disable(const std::string& drive) = 0;
};

// RESTOREPOINTINFOA, byte for byte: dwEventType, dwRestorePtType, llSequenceNumber,
// szDescription[64], little-endian, no padding: 80 bytes.
struct RestorePointInfoA {
    std::uint32_t eventType = 0;
    std::uint32_t restorePointType = 0;
    std::int64_t sequenceNumber = 0;
    std::array<char, 64> description{};

    std::array<std::uint8_t, 80> bytes() const;
    static RestorePointInfoA fromBytes(const std::array<std::uint8_t, 80>& raw);
    // The description as text, up to its first zero byte (bytes of the system's ANSI code page).
    std::string descriptionBytes() const;
};

// STATEMGRSTATUS: nStatus, llSequenceNumber.
struct StateMgrStatus {
    std::uint32_t status = 0;
    std::int64_t sequenceNumber = 0;
};

// A fixed drive of the machine and whether System Restore watches it, when the platform can tell.
struct DriveState {
    std::string root; // "C:\"
    std::optional<bool> monitored;
    std::optional<std::uint64_t> totalBytes; // the drive's size, when the platform can tell
};

// What the service's store on one drive (its System Volume Information\_restore{GUID} folder)
// holds: all its bytes and its RPn point folders. A drive without a store holds nothing.
struct StoreUsage {
    std::uint64_t bytes = 0;
    int points = 0;
    friend bool operator==(const StoreUsage&, const StoreUsage&) = default;
};

class SystemRestore {
public:
    virtual ~SystemRestore() = default;
    // GetObject("winmgmts:\\.\root\default:SystemRestore"); throws when the host cannot get it.
    virtual std::unique_ptr<SrAutomation> automationObject() = 0;
    // Connects to ROOT\default and lists the instances of "systemrestore" (shallow, whole list
    // ready). Throws platform::Error when a service call fails.
    virtual std::vector<WmiInstance> restorePoints() = 0;
    // The date-time converter: fields of a CIM date-time with its UTC offset in minutes, turned
    // into local time. Throws platform::Error for an impossible date.
    virtual LocalDateTime toLocalTime(int year, int month, int day, int hour, int minute, int second,
                                      int microseconds, int utcOffsetMinutes) = 0;
    virtual bool SRSetRestorePointA(const RestorePointInfoA& info, StateMgrStatus& status) = 0;
    // The code page SRSetRestorePointA reads the description in.
    virtual const text::AnsiCodePage& codePage() const { return text::windows1252(); }
    virtual std::uint32_t SRRemoveRestorePoint(std::uint32_t sequenceNumber) = 0;
    // The machine's fixed drives in letter order. Says nothing of the service's own on/off state.
    virtual std::vector<DriveState> drives() = 0;
    // The store on a root such as "C:\"; nothing when it cannot be read (access refused).
    virtual std::optional<StoreUsage> storeUsage(const std::string& root) {
        (void)root;
        return std::nullopt;
    }
};

} // namespace platform
