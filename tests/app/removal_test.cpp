#include "AppFixture.h"

#include "restore/PointDetails.h"

#include <algorithm>
#include <functional>

using testing_support::AppFixture;
using testing_support::programFolder;

namespace {

struct RemovalTest : AppFixture {
    RemovalTest() {
        ordinaryStart();
        setPoints(
            {point("20061004153000.000000+120", "A", 7, 44), point("20061005100000.000000+120", "B", 0, 45)});
    }
    std::string cachePath() const { return std::string(programFolder) + "KestrafenTemp.ini"; }
    std::vector<std::string> serviceCalls() {
        std::vector<std::string> lines;
        for (const auto& line : tm.journal())
            if (line.rfind("SRRemove", 0) == 0 || line.rfind("Restore", 0) == 0 ||
                line.rfind("CMD", 0) == 0 || line == "Restart")
                lines.push_back(line);
        return lines;
    }
    using Texts = std::vector<std::string>;
};

TEST_F(RemovalTest, StoredNumberIsTakenOnlyWhenTheServiceCanUseIt) {
    startProgram();
    const struct {
        std::optional<std::string> stored;
        std::optional<std::int32_t> number;
    } cases[] = {{"45", 45},
                 {" 7 ", 7},
                 {"0", std::nullopt},
                 {"00", std::nullopt},
                 {std::nullopt, std::nullopt},
                 {"", std::nullopt},
                 {"RP45", std::nullopt},
                 {"-1", std::nullopt},
                 {"2147483648", std::nullopt}};
    for (const auto& c : cases) {
        std::filesystem::remove(tm.host(cachePath()));
        if (c.stored)
            s().pointCache.writeString("entry", "Number", *c.stored);
        EXPECT_EQ(restore::sequenceNumber(s().pointCache, "entry"), c.number) << c.stored.value_or("(none)");
    }
}

TEST_F(RemovalTest, BothButtonsAskForASelectionAndNoChangesNothing) {
    startProgram();
    for (ui::Button* button : {&f().Detruire, &f().Appliquer}) {
        backend.clearMessages();
        f().PointR.setItemIndex(-1);
        button->userClick();
        EXPECT_EQ(backend.messageTexts(), (Texts{"Veuillez sélectionner un point de restauration."}));

        backend.clearMessages();
        f().PointR.userSelect(1);
        backend.setNextAnswer(false);
        button->userClick();
        ASSERT_EQ(backend.messages().size(), 1u);
        EXPECT_EQ(backend.messages()[0].kind, ui::MessageKind::Confirmation);
    }
    EXPECT_EQ(f().PointR.count(), 2);
    EXPECT_EQ(f().Informations.lines().size(), 5u);
    EXPECT_TRUE(serviceCalls().empty());
}

TEST_F(RemovalTest, DeletionRemovesTheEntryOnlyWhenTheServiceDid) {
    startProgram();
    f().PointR.userSelect(1);
    backend.setNextAnswer(true);
    f().Detruire.userClick();
    EXPECT_EQ(f().PointR.items(), (Texts{"(04/10/2006 15:30:00) A"}));
    EXPECT_EQ(f().PointR.itemIndex(), -1);
    EXPECT_TRUE(f().Informations.lines().empty());
    EXPECT_EQ(tm.json()["system_restore"]["points"].size(), 1u);

    // The last point stays: the question comes first, the refusal only after a Yes.
    for (const bool yes : {false, true}) {
        backend.clearMessages();
        f().PointR.userSelect(0);
        backend.setNextAnswer(yes);
        f().Detruire.userClick();
        Texts expected{"Supprimer le point de restauration ? La suppression est irréversible."};
        if (yes)
            expected.push_back("Il vous faut garder au moins un point.");
        EXPECT_EQ(backend.messageTexts(), expected) << yes;
    }
    EXPECT_EQ(serviceCalls(), (Texts{"SRRemoveRestorePoint 45"}));
    EXPECT_EQ(f().PointR.count(), 1);
}

// A point removed behind the program's back (or one the service will not apply): the refusal is
// said, nothing restarts, and the list is made anew from what the service holds.
TEST_F(RemovalTest, ARefusedRequestListsThePointsAgain) {
    const struct {
        const char* button;
        bool gone;
        const char* said;
    } cases[] = {
        {"Detruire", true, "Impossible de supprimer le point de restauration."},
        {"Appliquer", true,
         "Le point de restauration sélectionné n'existe plus. La liste va être mise à jour."},
        {"Appliquer", false, "Impossible d'appliquer le point de restauration."},
    };
    for (const auto& c : cases) {
        setPoints(
            {point("20061004153000.000000+120", "A", 7, 44), point("20061005100000.000000+120", "B", 0, 45)});
        startProgram();
        if (c.gone)
            setPoints({point("20061004153000.000000+120", "A", 7, 44)});
        auto refusing =
            std::make_unique<testing_support::WatchedAutomation>(std::move(s().systemRestore), [] {});
        refusing->refusal = c.gone ? 0 : 0x80004005; // else the machine's own answer
        s().systemRestore = std::move(refusing);
        const auto restarts = std::ranges::count(tm.journal(), "Restart");
        f().PointR.userSelect(1);
        backend.clearMessages();
        backend.setNextAnswer(true);
        static_cast<ui::Button*>(f().findControl(c.button))->userClick();
        EXPECT_EQ(backend.messageTexts().back(), c.said) << c.button;
        const Texts listed = c.gone ? Texts{"(04/10/2006 15:30:00) A"}
                                    : Texts{"(04/10/2006 15:30:00) A", "(05/10/2006 10:00:00) B"};
        EXPECT_EQ(f().PointR.items(), listed) << c.button;
        EXPECT_EQ(cache(listed.back(), "Number"), c.gone ? "44" : "45") << c.button;
        EXPECT_EQ(std::ranges::count(tm.journal(), "Restart"), restarts);
        EXPECT_TRUE(tm.json()["system_restore"]["pending_restore"].is_null());
    }
}

TEST_F(RemovalTest, PointWithoutAUsableNumberIsNeverSentAsNumberZero) {
    const std::string entry = "(04/10/2006 15:30:00) A";
    // The cache gone since the listing, a point listed with 0, a section without its number.
    const std::function<void(RemovalTest&)> spoil[] = {
        [](RemovalTest& t) { std::filesystem::remove(t.tm.host(t.cachePath())); },
        [&](RemovalTest& t) { t.s().pointCache.writeString(entry, "Number", "0"); },
        [&](RemovalTest& t) { t.s().pointCache.deleteKey(entry, "Number"); },
    };
    int i = 0;
    for (const auto& how : spoil) {
        for (const char* name : {"Detruire", "Appliquer"}) {
            startProgram();
            auto* button = static_cast<ui::Button*>(f().findControl(name));
            f().PointR.userSelect(0);
            how(*this);
            backend.clearMessages();
            backend.setNextAnswer(true);
            button->userClick();
            EXPECT_EQ(backend.messageTexts().back(),
                      "Le point de restauration sélectionné n'existe plus. La liste va être mise à jour.")
                << name << " case " << i;
            EXPECT_EQ(cache(entry, "Number"), "44") << name << " case " << i; // listed again
            EXPECT_EQ(f().PointR.count(), 2);
        }
        ++i;
    }
    EXPECT_TRUE(serviceCalls().empty());
}

TEST_F(RemovalTest, RollBackCleansUpBeforeTheRestart) {
    startProgram();
    tm.write(std::string(programFolder) + "res\\SR-ChgLog.LOG", "log");
    tm.write(std::string(programFolder) + "res.cab", "cab");
    std::vector<bool> leftAtRestart;
    tm.machine->onRestart = [&] {
        for (const char* name : {"res", "res.cab", "KestrafenTemp.ini"})
            leftAtRestart.push_back(exists(std::string(programFolder) + name));
    };
    f().PointR.userSelect(1);
    backend.setNextAnswer(true);
    f().Appliquer.userClick();
    EXPECT_EQ(serviceCalls(), (Texts{"Restore 45", "CMD /c shutdown -r -t 0", "Restart"}));
    EXPECT_EQ(leftAtRestart, (std::vector<bool>{false, false, false}));
}

} // namespace
