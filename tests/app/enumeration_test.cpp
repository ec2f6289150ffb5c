#include "AppFixture.h"
#include "restore/PointList.h"

#include <fstream>
#include <map>

using testing_support::AppFixture;
using testing_support::programFolder;

namespace {

struct EnumerationTest : AppFixture {
    EnumerationTest() { ordinaryStart(); }
    std::vector<std::string> items() { return f().PointR.items(); }
    bool allMainControlsEnabled(bool expected) {
        for (ui::Control* c : f().mainControls())
            if (c->enabled() != expected)
                return false;
        return true;
    }
};

// Offsets east and west of Greenwich (a point made in New York) give the local date and the
// instant that ages count from.
TEST_F(EnumerationTest, PointsGivenNewestFirstAreListedOldestFirstInLocalTime) {
    setPoints({point("20061105100000.000000+060", "Installed Office", 0, 12),
               point("20061004153000.000000+120", "Point de vérification système", 7, 11),
               point("20061004090000.000000+000", "Removed Java", 1, 10),
               point("20061003220000.000000-300", "West", 0, 9)});
    startProgram();
    EXPECT_EQ(items(),
              (std::vector<std::string>{"(04/10/2006 05:00:00) West", "(04/10/2006 11:00:00) Removed Java",
                                        "(04/10/2006 15:30:00) Point de vérification système",
                                        "(05/11/2006 10:00:00) Installed Office"}));
    EXPECT_TRUE(allMainControlsEnabled(true));
    EXPECT_EQ(f().Activer.caption(), "Désactiver la restauration système");
    EXPECT_TRUE(backend.messages().empty());
    std::vector<std::int64_t> instants;
    restore::walkPoints(platform->systemRestore, platform->systemRestore.restorePoints(),
                        s().language.datePattern(),
                        [&](const restore::ListedPoint& p) { instants.push_back(p.utcSeconds); });
    EXPECT_EQ(instants, (std::vector<std::int64_t>{1162717200, 1159968600, 1159952400, 1159930800}));
}

TEST_F(EnumerationTest, CacheHoldsFolderTypeNumberAndSortKeyInOrder) {
    setPoints({point("20061004153000.000000+120", "Check", 7, 7), point("20061005153000.000000+120", "Odd", 15, 123)});
    startProgram();
    const std::string entry = "(04/10/2006 15:30:00) Check";
    EXPECT_EQ(cache(entry, "DirectoryName"), "RP7");
    EXPECT_EQ(cache(entry, "Type"), "7 [CHECKPOINT]");
    EXPECT_EQ(cache(entry, "Number"), "7");
    EXPECT_EQ(cache(entry, "Date"), "20061004153000");
    EXPECT_EQ(cache("(05/10/2006 15:30:00) Odd", "Type"), "UNKNOWN");
    EXPECT_EQ(cache("(05/10/2006 15:30:00) Odd", "DirectoryName"), "RP123");
    const std::string text = tm.read(std::string(programFolder) + "KestrafenTemp.ini");
    const auto dir = text.find("DirectoryName=RP7"), type = text.find("Type=7"), number = text.find("Number=7"),
               date = text.find("Date=20061004153000");
    EXPECT_LT(dir, type);
    EXPECT_LT(type, number);
    EXPECT_LT(number, date);
}

TEST_F(EnumerationTest, ADescriptionWithLineBreaksIsListedAndCachedOnOneLine) {
    setPoints({point("20061004153000.000000+120", "Pilote\r\nimprimante\nHP\rLaserJet\n", 10, 5),
               point("20061005153000.000000+120", "Suivant", 0, 6)});
    startProgram();
    const std::string entry = "(04/10/2006 15:30:00) Pilote imprimante HP LaserJet";
    EXPECT_EQ(items(), (std::vector<std::string>{entry, "(05/10/2006 15:30:00) Suivant"}));
    EXPECT_EQ(cache(entry, "DirectoryName"), "RP5");
    EXPECT_EQ(cache(entry, "Type"), "10 [DEVICE DRIVE INSTALL]");
    EXPECT_EQ(cache(entry, "Number"), "5");
    EXPECT_EQ(cache("(05/10/2006 15:30:00) Suivant", "Number"), "6");
    EXPECT_EQ(tm.read(std::string(programFolder) + "KestrafenTemp.ini").find("Pilote\r"), std::string::npos);
}

TEST_F(EnumerationTest, CancelledOperationsAreNeitherListedNorCached) {
    setPoints({point("20061001100000.000000+120", "First", 0, 1), point("20061002100000.000000+120", "Cancelled", 13, 2),
               point("20061003100000.000000+120", "Third", 1, 3)});
    startProgram();
    EXPECT_EQ(items(), (std::vector<std::string>{"(01/10/2006 10:00:00) First", "(03/10/2006 10:00:00) Third"}));
    EXPECT_EQ(cache("(02/10/2006 10:00:00) Cancelled", "Number"), "<none>");
}

TEST_F(EnumerationTest, MidnightPointsShowTheDateOnly) {
    setPoints({point("20061110000000.000000+060", "Minuit", 7, 4), point("20061110000001.000000+060", "", 7, 5)});
    startProgram();
    // An entry takes its cache section's name, which the profile functions read without its
    // trailing blank, as on Windows.
    EXPECT_EQ(items(), (std::vector<std::string>{"(10/11/2006) Minuit", "(10/11/2006 00:00:01)"}));
    EXPECT_EQ(cache("(10/11/2006 00:00:01)", "Number"), "5");
}

TEST_F(EnumerationTest, SameTextWithinOneSecondSharesOneSectionAndLeavesABareKey) {
    setPoints({point("20061004153000.000000+120", "Same", 7, 5), point("20061004153000.000000+120", "Same", 7, 6)});
    startProgram();
    EXPECT_EQ(items(), (std::vector<std::string>{"(04/10/2006 15:30:00) Same", "20061004153000"}));
    EXPECT_EQ(cache("(04/10/2006 15:30:00) Same", "Number"), "6");
}

TEST_F(EnumerationTest, StaleSectionIsAppendedAtTheEnd) {
    setPoints({point("20061004153000.000000+120", "B", 7, 5), point("20061001153000.000000+120", "A", 7, 4)});
    startProgram();
    platform->profile.writeString(std::string(programFolder) + "KestrafenTemp.ini", "(01/01/2000) Vieux", "Date",
                                  "19990101000000");
    f().EnumSR();
    EXPECT_EQ(items(), (std::vector<std::string>{"(01/10/2006 15:30:00) A", "(04/10/2006 15:30:00) B",
                                                 "(01/01/2000) Vieux"}));
}

TEST_F(EnumerationTest, NoPointsOrOnlyCancelledOnesLeaveEverythingDisabled) {
    for (auto points : {nlohmann::ordered_json::array(),
                        nlohmann::ordered_json::array({point("20061004153000.000000+120", "X", 13, 5)})}) {
        setPoints(points);
        startProgram();
        EXPECT_TRUE(items().empty());
        EXPECT_TRUE(allMainControlsEnabled(false));
        EXPECT_TRUE(platform->profile.sectionNames(std::string(programFolder) + "KestrafenTemp.ini").empty());
        f().close();
    }
}

TEST_F(EnumerationTest, TypeAndSequenceCarryOverFromThePreviousPoint) {
    setPoints({point("20061001100000.000000+120", "A", 10, 8),
               {{"CreationTime", "20061002100000.000000+120"}, {"Description", "B"}}});
    startProgram();
    EXPECT_EQ(cache("(02/10/2006 10:00:00) B", "Type"), "10 [DEVICE DRIVE INSTALL]");
    EXPECT_EQ(cache("(02/10/2006 10:00:00) B", "Number"), "8");
}

TEST_F(EnumerationTest, ValueThatIsNoIntegerEndsTheRunWithProvisionalEntriesLeft) {
    setPoints({point("20061001100000.000000+120", "A", 0, 1), point("2006XX02100000.000000+120", "B", 0, 2)});
    startProgram();
    EXPECT_EQ(backend.messageTexts(), std::vector<std::string>{"Nombre entier incorrect : 'XX'"});
    EXPECT_EQ(items(), std::vector<std::string>{"20061001100000"});
    // The window shows the service's state (on): it never stays locked.
    EXPECT_TRUE(allMainControlsEnabled(true));

    backend.clearMessages();
    setPoints({{{"CreationTime", "20061001100000.000000+120"}, {"SequenceNumber", "abc"}}});
    EXPECT_THROW(f().EnumSR(), std::exception);
    EXPECT_TRUE(items().empty());
}

TEST_F(EnumerationTest, FailingServiceConnectionIsReportedAndProgramGoesOn) {
    tm.json()["system_restore"]["connection_fails"] = true;
    saveJson();
    startProgram();
    ASSERT_EQ(backend.messages().size(), 1u);
    EXPECT_EQ(backend.messages()[0].kind, ui::MessageKind::Error);
    EXPECT_TRUE(items().empty());
    EXPECT_TRUE(allMainControlsEnabled(true)); // the service's state (on), never a locked window
}

TEST_F(EnumerationTest, UnwritableCacheReportsTheFileName) {
    setPoints({point("20061001100000.000000+120", "A", 0, 1)});
    const auto folder = tm.host(programFolder);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                             std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    startProgram();
    std::filesystem::permissions(folder, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    EXPECT_EQ(backend.messageTexts(),
              std::vector<std::string>{
                  "Impossible d'écrire le fichier C:\\Program Files\\Kestrafen\\KestrafenTemp.ini."});
}

TEST_F(EnumerationTest, HorizontalExtentFitsTheWidestEntry) {
    setPoints({point("20061001100000.000000+120", "A", 0, 1), point("20061002100000.000000+120", "Longer one", 0, 2)});
    startProgram();
    const int chars = static_cast<int>(std::string("(02/10/2006 10:00:00) Longer onex").size());
    EXPECT_EQ(f().PointR.horizontalExtent(), chars * ui::HeadlessBackend::charWidth);
}

} // namespace

TEST(PlaceEntries, EachSectionTakesTheFirstEntryEqualToItsSortKey) {
    struct Case {
        std::vector<std::string> provisional;
        std::vector<std::pair<std::string, std::string>> sections; // name, sort key
        std::vector<std::string> placed;
    };
    const std::vector<Case> cases = {
        {{"1", "2", "2"}, {{"(b)", "2"}, {"(a)", "1"}}, {"(a)", "(b)", "2"}},
        {{"1"}, {{"(old)", "0"}, {"(a)", "1"}}, {"(a)", "(old)"}},
        {{"abc"}, {{"(x)", "ABC"}}, {"(x)"}},
        // A sort key may equal an entry placed before it: that entry is the first equal one.
        {{"1", "(a)"}, {{"(a)", "1"}, {"(c)", "(A)"}}, {"(c)", "(a)"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> names;
        std::map<std::string, std::string> keys;
        for (const auto& [name, key] : c.sections) {
            names.push_back(name);
            keys[name] = key;
        }
        EXPECT_EQ(restore::placeEntries(c.provisional, names, [&](const std::string& s) { return keys.at(s); }),
                  c.placed);
    }
}
