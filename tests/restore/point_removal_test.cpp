// The rules the window's delete button and the command line share: which points may go, the
// numbers the service takes, titles counted in characters and dates turned into instants.
#include "restore/DisplayDate.h"
#include "restore/NewPoint.h"
#include "restore/PointRemoval.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using V = restore::Verdict;

restore::ListedPoint point(long long sequence, const std::string& sortKey, std::int64_t utcSeconds = 0) {
    restore::ListedPoint p;
    p.sequence = sequence;
    p.sortKey = sortKey;
    p.utcSeconds = utcSeconds;
    return p;
}

std::vector<V> verdicts(const std::vector<restore::Decision>& plan) {
    std::vector<V> out;
    for (const auto& d : plan)
        out.push_back(d.verdict);
    return out;
}

TEST(PointRules, ServiceNumbersLastPointAndOrder) {
    for (const auto& [sequence, expected] : std::vector<std::pair<long long, std::optional<std::uint32_t>>>{
             {0, std::nullopt}, {1, 1u}, {4294967295LL, 4294967295u}, {4294967296LL, std::nullopt}})
        EXPECT_EQ(restore::serviceNumber(sequence), expected) << sequence;
    EXPECT_FALSE(restore::leavesAPoint(1));
    EXPECT_TRUE(restore::leavesAPoint(2));

    // Equal keys keep the service's order.
    std::vector<restore::ListedPoint> points{point(3, "20061002000000"), point(1, "20060901000000"),
                                             point(7, "20061002000000"), point(2, "20060915000000")};
    restore::orderOldestFirst(points);
    std::vector<long long> order;
    for (const auto& p : points)
        order.push_back(p.sequence);
    EXPECT_EQ(order, (std::vector<long long>{1, 2, 3, 7}));
}

TEST(PointRules, PlansKeepTheNewestAndNeverTheLastPoint) {
    const std::vector<restore::ListedPoint> points{point(1, "1", 500), point(2, "2", 699), point(0, "3", 700),
                                                   point(4, "4", 990)};
    struct Case {
        std::vector<long long> numbers; // empty: by age, older than 1000 - limit
        std::int64_t limit;
        std::size_t keep;
        std::vector<V> expected;
    };
    const std::vector<Case> cases{
        {{1, 2}, 0, 1, {V::Remove, V::Remove}},
        {{4}, 0, 1, {V::Kept}},
        {{2}, 0, 3, {V::Kept}},
        {{1, 1, 9}, 0, 1, {V::Remove, V::Unknown}},
        {{0}, 0, 1, {V::NoNumber}},
        // The point without a number stays, so the others may all go.
        {{4, 1, 2, 0}, 0, 0, {V::Remove, V::Remove, V::Remove, V::NoNumber}},
        {{}, 300, 1, {V::Remove, V::Remove}}, // 700 is not older than the limit
        {{}, 300, 3, {V::Remove, V::Kept}},
        {{}, 500, 1, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(verdicts(c.numbers.empty() ? restore::planByAge(points, 1000, c.limit, c.keep)
                                             : restore::planByNumber(points, c.numbers, c.keep)),
                  c.expected)
            << testing::PrintToString(c.numbers) << " limit " << c.limit << " keep " << c.keep;
    // Asked for every point with nothing kept, the newest of them stays, wherever it was asked.
    const std::vector<restore::ListedPoint> two{point(1, "1"), point(2, "2")};
    EXPECT_EQ(verdicts(restore::planByNumber(two, {2, 1}, 0)), (std::vector<V>{V::LastPoint, V::Remove}));
    EXPECT_EQ(verdicts(restore::planByAge(two, 1000, 0, 0)), (std::vector<V>{V::Remove, V::LastPoint}));
}

TEST(PointRules, TitlesCountCharactersAndDatesCountFromTheEpoch) {
    for (const auto& [title, length] : std::vector<std::pair<std::string, std::size_t>>{
             {"", 0}, {"Titre", 5}, {"€", 1}, {"Créé à 10 h", 11}})
        EXPECT_EQ(restore::titleLength(title), length) << title;
    for (const auto& [t, seconds] :
         std::vector<std::pair<platform::LocalDateTime, std::int64_t>>{{{1970, 1, 1, 0, 0, 0}, 0},
                                                                       {{1969, 12, 31, 23, 59, 59}, -1},
                                                                       {{2000, 3, 1, 0, 0, 0}, 951868800},
                                                                       {{2100, 3, 1, 0, 0, 0}, 4107542400}})
        EXPECT_EQ(restore::clockSeconds(t), seconds) << t.year << "-" << t.month << "-" << t.day;
}

} // namespace
