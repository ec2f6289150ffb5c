#pragma once
// Which restore points may go: never the last one, never one of the newest that the caller keeps,
// and only a point the service can name (its number 0 names none).
#include "platform/SystemRestore.h"
#include "restore/PointList.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace restore {

// Deleting a point must leave another: the list has to hold more than one.
inline bool leavesAPoint(std::size_t listed) {
    return listed > 1;
}

// The number SRRemoveRestorePoint takes for a sequence number: 1 to 2^32 - 1; nothing otherwise.
std::optional<std::uint32_t> serviceNumber(long long sequence);

// Asks the service to remove a point; true when it reports success.
bool removePoint(platform::SystemRestore& service, std::uint32_t sequence);

enum class Verdict {
    Remove,
    Kept,      // one of the newest points the caller keeps
    LastPoint, // removing it too would leave no point
    NoNumber,  // the service gave it no number that names it
    Unknown,   // no listed point has that number
};

struct Decision {
    long long sequence = 0;
    Verdict verdict = Verdict::Unknown;
    const ListedPoint* point = nullptr; // null for Unknown
};

// The points in the list's order: ascending sort key, equal keys in the service's order.
void orderOldestFirst(std::vector<ListedPoint>& points);

// One decision per number asked for, in the order given (a number asked twice counts once), for
// points listed oldest first, keeping the newest `keep`.
std::vector<Decision> planByNumber(const std::vector<ListedPoint>& oldestFirst,
                                   const std::vector<long long>& numbers, std::size_t keep);

// One decision per point created more than maxAgeSeconds before nowUtcSeconds, oldest first.
std::vector<Decision> planByAge(const std::vector<ListedPoint>& oldestFirst, std::int64_t nowUtcSeconds,
                                std::int64_t maxAgeSeconds, std::size_t keep);

} // namespace restore
