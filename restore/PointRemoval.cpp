#include "restore/PointRemoval.h"

#include <algorithm>
#include <limits>

namespace restore {

namespace {

Verdict verdictFor(const std::vector<ListedPoint>& oldestFirst, std::size_t index, std::size_t keep) {
    if (index + std::min(keep, oldestFirst.size()) >= oldestFirst.size())
        return Verdict::Kept;
    if (!serviceNumber(oldestFirst[index].sequence))
        return Verdict::NoNumber;
    return Verdict::Remove;
}

// With nothing kept, the plan could take every point: the newest one asked for stays then.
void keepOne(std::vector<Decision>& plan, std::size_t listed) {
    const auto removed = std::count_if(plan.begin(), plan.end(),
                                       [](const Decision& d) { return d.verdict == Verdict::Remove; });
    if (static_cast<std::size_t>(removed) < listed)
        return;
    // Points of one list: the later address is the newer point.
    Decision* newest = nullptr;
    for (Decision& d : plan)
        if (d.verdict == Verdict::Remove && (!newest || d.point > newest->point))
            newest = &d;
    if (newest)
        newest->verdict = Verdict::LastPoint;
}

} // namespace

std::optional<std::uint32_t> serviceNumber(long long sequence) {
    if (sequence < 1 || sequence > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return static_cast<std::uint32_t>(sequence);
}

bool removePoint(platform::SystemRestore& service, std::uint32_t sequence) {
    return service.SRRemoveRestorePoint(sequence) == 0;
}

void orderOldestFirst(std::vector<ListedPoint>& points) {
    std::stable_sort(points.begin(), points.end(),
                     [](const ListedPoint& a, const ListedPoint& b) { return a.sortKey < b.sortKey; });
}

std::vector<Decision> planByNumber(const std::vector<ListedPoint>& oldestFirst,
                                   const std::vector<long long>& numbers, std::size_t keep) {
    std::vector<Decision> plan;
    for (const long long number : numbers) {
        if (std::any_of(plan.begin(), plan.end(),
                        [number](const Decision& d) { return d.sequence == number; }))
            continue;
        Decision decision{number, Verdict::Unknown, nullptr};
        for (std::size_t i = 0; i < oldestFirst.size(); ++i) {
            if (oldestFirst[i].sequence == number) {
                decision.point = &oldestFirst[i];
                decision.verdict = verdictFor(oldestFirst, i, keep);
                break;
            }
        }
        plan.push_back(decision);
    }
    keepOne(plan, oldestFirst.size());
    return plan;
}

std::vector<Decision> planByAge(const std::vector<ListedPoint>& oldestFirst, std::int64_t nowUtcSeconds,
                                std::int64_t maxAgeSeconds, std::size_t keep) {
    std::vector<Decision> plan;
    for (std::size_t i = 0; i < oldestFirst.size(); ++i) {
        const ListedPoint& point = oldestFirst[i];
        if (nowUtcSeconds - point.utcSeconds > maxAgeSeconds)
            plan.push_back({point.sequence, verdictFor(oldestFirst, i, keep), &point});
    }
    keepOne(plan, oldestFirst.size());
    return plan;
}

} // namespace restore
