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
    EXPECT_EQ(std::distance(fs::directory_iterator(outside), fs::directory_iterator()), 1);

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

// Ten thousand sections are all listed; a line of a megabyte (after a comment as long) is cut to the
// longest value Windows reads.
TEST_F(HostileMachineTest, ALanguageFileOfTenThousandSectionsAndAMegabyteLineLoads) {
    std::string file = tm.read(languageFile);
    const std::size_t shipped =
        platform::FileProfile(tm.machine->platform().files).sectionNames(languageFile).size();
    const std::string key = "Cr\xe9"
                            "er=";
    file.insert(file.find(key) + key.size(), std::string(1 << 20, 'x'));
    file.insert(0, std::string(1 << 20, ';') + "\r\n");
    for (int i = 0; i < 10000; ++i)
        file += "[Langue " + std::to_string(i) + "]\r\n" + key + "y\r\n";
    tm.write(languageFile, file);

    EXPECT_LT(timedStart(), 20.0);
    EXPECT_EQ(f().Langue2.items().size(), shipped + 10000);
    EXPECT_EQ(f().Langue2.items().back(), "Langue 9999");
    EXPECT_EQ(f().Creer.caption(), std::string(2047, 'x'));
    EXPECT_TRUE(backend.messages().empty());
}

// Ten thousand points, the first with a description of ten thousand characters, are all listed in
// order, and the long one keeps its cache section.
TEST_F(HostileMachineTest, TenThousandRestorePointsAndALongDescriptionAreAllListed) {
    std::string description;
    while (description.size() < 10000)
        description += "Installé [beta] = ";
    description.resize(10000);
    nlohmann::ordered_json points = nlohmann::ordered_json::array();
    for (int i = 0; i < 10000; ++i) {
        char time[32]; // a minute apart, one second past it: never midnight, which shows no time
        std::snprintf(time, sizeof time, "200610%02d%02d%02d01.000000+060", 1 + i / 1440, i / 60 % 24,
                      i % 60);
        points.push_back(point(time, i ? "Point " + std::to_string(i) : description, 0, i + 1));
    }
    setPoints(points);

    EXPECT_LT(timedStart(), 30.0);
    ASSERT_EQ(f().PointR.count(), 10000);
    EXPECT_EQ(f().PointR.items().front().substr(22), platform::text::trim(description));
    EXPECT_EQ(cache(f().PointR.items().front(), "Number"), "1");
    EXPECT_EQ(f().PointR.items().back().substr(22), "Point 9999");
    EXPECT_EQ(cache(f().PointR.items()[5000], "Number"), "5001");
    EXPECT_TRUE(backend.messages().empty());
    f().PointR.userSelect(0);
    EXPECT_EQ(f().Informations.lines().at(2), "Dossier : RP1");
}

} // namespace
