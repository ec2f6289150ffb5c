// The whole program on a hostile machine: each case works or ends in a message, in bounded time,
// without writing outside the program folder.
#include "AppFixture.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

using testing_support::AppFixture;
using testing_support::programFolder;

namespace {

namespace fs = std::filesystem;

struct HostileMachineTest : AppFixture {
    HostileMachineTest() { ordinaryStart(); }
    const std::string languageFile = std::string(programFolder) + "langues.ini";

    // Starts the program and says how long it took, in seconds.
    double timedStart() {
        const auto started = std::chrono::steady_clock::now();
        startProgram();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }
};

// res is made and removed by the program alone; a link put in its place leads reads, never writes.
TEST_F(HostileMachineTest, AResLinkedOutsideIsReadAsALogButNeverWrittenThrough) {
    startProgram();
    const fs::path outside = tm.folder.parent_path() / "outside";
    fs::create_directories(outside);
    std::ofstream(outside / "SR-ChgLog.LOG") << "RPDir=RP39,Drive=C:\\,EventString=ELSEWHERE";
    const std::string res = std::string(programFolder) + "res";
    fs::create_directory_symlink(outside, tm.host(res));
    const auto outsideFiles = [&] {
        return std::distance(fs::directory_iterator(outside), fs::directory_iterator());
    };

    // A folder is there: the log in it is listed as it is, nothing is made.
    backend.setNextAnswer(true);
    f().Modifications.userClick();
    EXPECT_TRUE(backend.messages().empty());
    const auto office = std::ranges::find_if(
        f().PointR.items(), [&](const std::string& e) { return cache(e, "DirectoryName") == "RP39"; });
    ASSERT_NE(office, f().PointR.items().end());
    f().Informations.clear();
    app.dispatch([&] { f().listChanges(*office); });
    EXPECT_EQ(f().Informations.lines().at(4), "EventString = ELSEWHERE");

    // Closing removes the link, not what it leads to.
    f().closeRequested();
    EXPECT_FALSE(fs::exists(fs::symlink_status(tm.host(res))));
    EXPECT_EQ(outsideFiles(), 1);

    // A link leading nowhere: the cabinet is not unpacked through it, the user reads why, and
    // nothing appears outside.
    fs::remove_all(outside);
    fs::create_directory_symlink(outside, tm.host(res));
    startProgram();
    backend.clearMessages();
    backend.setNextAnswer(true);
    f().Modifications.userClick();
    EXPECT_FALSE(fs::exists(outside));
    EXPECT_EQ(backend.messageTexts().back(),
              "Impossible de créer la liste.\nC:\\Program Files\\Kestrafen\\res.cab: "
              "cannot unpack the cabinet into C:\\Program Files\\Kestrafen\\res "
              "(File exists)");
    EXPECT_FALSE(f().Modifications.checked());
}

TEST_F(HostileMachineTest, ALanguageFileOfTenThousandSectionsListsThemAll) {
    std::string file = tm.read(languageFile);
    for (int i = 0; i < 10000; ++i)
        file += "[Langue " + std::to_string(i) +
                "]\r\nCr\xe9"
                "er=Cr\xe9"
                "er " +
                std::to_string(i) + "\r\n";
    tm.write(languageFile, file);
    const int shipped =
        static_cast<int>(
            platform::FileProfile(tm.machine->platform().files).sectionNames(languageFile).size()) -
        10000;

    EXPECT_LT(timedStart(), 20.0);
    EXPECT_EQ(static_cast<int>(f().Langue2.items().size()), shipped + 10000);
    EXPECT_EQ(f().Langue2.items().back(), "Langue 9999");
    EXPECT_EQ(f().Creer.caption(), "Créer un point de restauration");
    EXPECT_TRUE(backend.messages().empty());
}

TEST_F(HostileMachineTest, ALineOfAMegabyteInTheLanguageFileIsCutToTheLongestValue) {
    std::string file = tm.read(languageFile);
    const std::string key = "Cr\xe9"
                            "er=";
    const auto at = file.find(key);
    ASSERT_NE(at, std::string::npos);
    file.insert(at + key.size(), std::string(1 << 20, 'x'));
    file.insert(0, std::string(1 << 20, ';') + "\r\n"); // and a comment of a megabyte before it all
    tm.write(languageFile, file);

    EXPECT_LT(timedStart(), 20.0);
    EXPECT_EQ(f().Creer.caption().size(), 2047u);
    EXPECT_EQ(f().Creer.caption().substr(0, 3), "xxx");
    EXPECT_TRUE(backend.messages().empty());
}

TEST_F(HostileMachineTest, ADescriptionOfTenThousandCharactersKeepsItsCacheSection) {
    std::string description;
    while (description.size() < 10000)
        description += "Installé [beta] = ";
    description.resize(10000);
    setPoints({point("20061004153000.000000+120", description, 0, 12),
               point("20061005100000.000000+120", "Court", 0, 13)});
    startProgram();

    ASSERT_EQ(f().PointR.count(), 2);
    const std::string entry = f().PointR.items()[0];
    EXPECT_EQ(entry, "(04/10/2006 15:30:00) " + platform::text::trim(description));
    EXPECT_EQ(cache(entry, "Number"), "12");
    f().PointR.userSelect(0);
    EXPECT_EQ(f().Informations.lines().at(2), "Dossier : RP12");
}

TEST_F(HostileMachineTest, TenThousandRestorePointsAreAllListedInOrder) {
    nlohmann::ordered_json points = nlohmann::ordered_json::array();
    for (int i = 0; i < 10000; ++i) {
        char time[32]; // a minute apart, one second past it: never midnight, which shows no time
        std::snprintf(time, sizeof time, "200610%02d%02d%02d01.000000+060", 1 + i / 1440, i / 60 % 24,
                      i % 60);
        points.push_back(point(time, "Point " + std::to_string(i), 0, i + 1));
    }
    setPoints(points);

    EXPECT_LT(timedStart(), 30.0);
    ASSERT_EQ(f().PointR.count(), 10000);
    EXPECT_EQ(f().PointR.items().front().substr(22), "Point 0");
    EXPECT_EQ(f().PointR.items().back().substr(22), "Point 9999");
    EXPECT_EQ(cache(f().PointR.items()[5000], "Number"), "5001");
    EXPECT_TRUE(backend.messages().empty());
}

} // namespace
