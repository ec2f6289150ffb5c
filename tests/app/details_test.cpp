#include "AppFixture.h"

#include "restore/PointDetails.h"

using testing_support::AppFixture;
using testing_support::programFolder;

namespace {

struct DetailsTest : AppFixture {
    DetailsTest() {
        ordinaryStart();
        setPoints({point("20061004153000.000000+120", "Check", 7, 12),
                   point("20061005100000.000000+120", "Setup", 0, 13)});
    }
    std::vector<std::string> select(int index) {
        f().PointR.userSelect(index);
        return f().Informations.lines();
    }
    using Lines = std::vector<std::string>;
};

TEST_F(DetailsTest, SelectionShowsFiveLinesAndReplacesThePreviousOnes) {
    startProgram();
    const std::string guid = s().machineGuid;
    ASSERT_EQ(guid.front(), '{');
    EXPECT_EQ(select(0), (Lines{"GUID : " + guid, "", "Dossier : RP12",
                                "Type de restauration : 7 [CHECKPOINT]", "Numéro de séquence : 12"}));
    EXPECT_EQ(select(1),
              (Lines{"GUID : " + guid, "", "Dossier : RP13", "Type de restauration : 0 [APPLICATION INSTALL]",
                     "Numéro de séquence : 13"}));

    // The change listing follows only with the box checked and the log unpacked.
    const std::string log = std::string(programFolder) + "res\\SR-ChgLog.LOG";
    for (const bool checked : {false, true})
        for (const bool unpacked : {false, true}) {
            if (unpacked)
                tm.write(log, "RPDir=RP13,Drive=C:\\,EventString=E,Path1=p,Path2=,Temp=\r\n");
            else
                std::filesystem::remove_all(tm.host(std::string(programFolder) + "res"));
            f().Modifications.setChecked(checked);
            EXPECT_EQ(select(1).size(), checked && unpacked ? 5u + 2 + 6 : 5u) << checked << unpacked;
        }
    f().Modifications.setChecked(false);

    // No selection: the memo keeps what it shows.
    f().PointR.setItemIndex(-1);
    f().PointRClick();
    EXPECT_EQ(f().Informations.lines()[2], "Dossier : RP13");

    // A section gone from the cache gives empty values and no message.
    std::filesystem::remove(tm.host(std::string(programFolder) + "KestrafenTemp.ini"));
    EXPECT_EQ(select(0), (Lines{"GUID : " + guid, "",
                                "Dossier : ", "Type de restauration : ", "Numéro de séquence : "}));
    EXPECT_TRUE(backend.messages().empty());
}

TEST_F(DetailsTest, LabelsFollowTheLanguageChosenSinceTheLastSelection) {
    startProgram();
    select(0);
    f().Langue2.userSelect(f().Langue2.indexOf("English"));
    EXPECT_EQ(select(0), (Lines{"GUID: " + s().machineGuid, "", "Folder: RP12",
                                "Restore type: 7 [CHECKPOINT]", "Sequence number: 12"}));
}

TEST_F(DetailsTest, UnreadableIdentifierShowsAQuestionMark) {
    // Without administrator rights the configuration key cannot be opened with full access.
    tm.json()["registry_read_only"] = true;
    tm.save();
    startProgram();
    EXPECT_EQ(select(0)[0], "GUID : ?");
}

} // namespace
