// The rules the window's delete button and the command line share: which points may go, the
// numbers the service takes, titles counted in characters and dates turned into instants.
#include "restore/DisplayDate.h"
#include "restore/NewPoint.h"
#include "restore/PointRemoval.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

restore::ListedPoint point(long long sequence, const std::string& sortKey, std::int64_t utcSeconds = 0) {
    restore::ListedPoint p;
    p.sequence = sequence;
    p.sortKey = sortKey;
    p.utcSeconds = utcSeconds;
    return p;
}

std::vector<restore::Verdict> verdicts(const std::vector<restore::Decision>& plan) {
    std::vector<restore::Verdict> out;
    for (const auto& d : plan)
        out.push_back(d.verdict);
    return out;
}

TEST(ServiceNumber, OnlyNumbersThatNameAPoint) {
    const std::vector<std::pair<long long, std::optional<std::uint32_t>>> cases{{0, std::nullopt},
                                                                                {-1, std::nullopt},
                                                                                {1, 1u},
                                                                                {4294967295LL, 4294967295u},
                                                                                {4294967296LL, std::nullopt}};
    for (const auto& [sequence, expected] : cases)
        EXPECT_EQ(restore::serviceNumber(sequence), expected) << sequence;
}

TEST(LeavesAPoint, NeedsMoreThanOne) {
    EXPECT_FALSE(restore::leavesAPoint(0));
    EXPECT_FALSE(restore::leavesAPoint(1));
    EXPECT_TRUE(restore::leavesAPoint(2));
}

TEST(OrderOldestFirst, SortsByKeyAndKeepsTheServicesOrderForEqualKeys) {
    std::vector<restore::ListedPoint> points{point(3, "20061002000000"), point(1, "20060901000000"),
                                             point(7, "20061002000000"), point(2, "20060915000000")};
    restore::orderOldestFirst(points);
    std::vector<long long> order;
    for (const auto& p : points)
        order.push_back(p.sequence);
    EXPECT_EQ(order, (std::vector<long long>{1, 2, 3, 7}));
}

TEST(PlanByNumber, KeepsTheNewestAndNeverTheLastPoint) {
    using V = restore::Verdict;
    const std::vector<restore::ListedPoint> points{point(1, "1"), point(2, "2"), point(0, "3"),
                                                   point(4, "4")};
    struct Case {
        std::vector<long long> numbers;
        std::size_t keep;
        std::vector<V> expected;
    };
    const std::vector<Case> cases{
        {{1, 2}, 1, {V::Remove, V::Remove}},
        {{4}, 1, {V::Kept}},
        {{2}, 3, {V::Kept}},
        {{1, 1, 9}, 1, {V::Remove, V::Unknown}},
        {{0}, 1, {V::NoNumber}},
        {{1, 2, 4}, 0, {V::Remove, V::Remove, V::Remove}},
        // The point without a number stays, so the others may all go.
        {{4, 1, 2, 0}, 0, {V::Remove, V::Remove, V::Remove, V::NoNumber}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(verdicts(restore::planByNumber(points, c.numbers, c.keep)), c.expected)
            << testing::PrintToString(c.numbers) << " keep " << c.keep;
    // Asked for every point with nothing kept, the newest of them stays, wherever it was asked.
    const std::vector<restore::ListedPoint> two{point(1, "1"), point(2, "2")};
    EXPECT_EQ(verdicts(restore::planByNumber(two, {2, 1}, 0)), (std::vector<V>{V::LastPoint, V::Remove}));
}

TEST(PlanByAge, TakesPointsStrictlyOlderThanTheLimit) {
    using V = restore::Verdict;
    const std::int64_t now = 1000000;
    const std::vector<restore::ListedPoint> points{point(1, "1", now - 500), point(2, "2", now - 301),
                                                   point(3, "3", now - 300), point(4, "4", now - 10)};
    EXPECT_EQ(verdicts(restore::planByAge(points, now, 300, 1)), (std::vector<V>{V::Remove, V::Remove}));
    EXPECT_EQ(verdicts(restore::planByAge(points, now, 300, 3)), (std::vector<V>{V::Remove, V::Kept}));
    EXPECT_EQ(verdicts(restore::planByAge(points, now, 0, 0)),
              (std::vector<V>{V::Remove, V::Remove, V::Remove, V::LastPoint}));
    EXPECT_TRUE(restore::planByAge(points, now, 500, 1).empty());
}

TEST(TitleLength, CountsCharactersNotBytes) {
    const std::vector<std::pair<std::string, std::size_t>> cases{
        {"", 0}, {"Titre", 5}, {"é", 1}, {"€", 1}, {"Créé à 10 h", 11}, {std::string(40, 'x'), 40}};
    for (const auto& [title, length] : cases)
        EXPECT_EQ(restore::titleLength(title), length) << title;
}

TEST(ClockSeconds, CountsFromTheEpochAcrossLeapYears) {
    const std::vector<std::pair<platform::LocalDateTime, std::int64_t>> cases{
        {{1970, 1, 1, 0, 0, 0}, 0},
        {{1969, 12, 31, 23, 59, 59}, -1},
        {{2000, 2, 29, 0, 0, 0}, 951782400},
        {{2000, 3, 1, 0, 0, 0}, 951868800},
        {{2006, 12, 1, 19, 6, 40}, 1165000000},
        {{2100, 3, 1, 0, 0, 0}, 4107542400},
    };
    for (const auto& [t, seconds] : cases)
        EXPECT_EQ(restore::clockSeconds(t), seconds) << t.year << "-" << t.month << "-" << t.day;
}

} // namespace
