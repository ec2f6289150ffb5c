#include "AppFixture.h"

#include "app/SettingsDialog.h"
#include "lang/Keys.h"

#include <functional>

using testing_support::AppFixture;
using testing_support::programFolder;
using testing_support::WatchedAutomation;

namespace {

struct SwitchingTest : AppFixture {
    SwitchingTest() { ordinaryStart(); }
    std::int64_t now() { return platform->process.nowMs(); }
    std::vector<std::string> switches() {
        std::vector<std::string> lines;
        for (const auto& line : tm.journal())
            if (line.rfind("Enable", 0) == 0 || line.rfind("Disable", 0) == 0)
                lines.push_back(line);
        return lines;
    }
    void startSwitchedOff() {
        setServiceStart(4);
        setPoints(nlohmann::ordered_json::array());
        startProgram();
        ASSERT_TRUE(f().off());
    }
    bool allMainControlsEnabled() {
        for (ui::Control* c : f().mainControls())
            if (!c->enabled())
                return false;
        return true;
    }
};

TEST_F(SwitchingTest, SwitchingOffEmptiesTheListBeforeTellingTheService) {
    startProgram();
    ASSERT_FALSE(f().off());
    f().PointR.userSelect(0);
    tm.write(std::string(programFolder) + "res.cab", "cab");
    tm.write(std::string(programFolder) + "res\\SR-ChgLog.LOG", "log");
    f().Modifications.setChecked(true);
    int listed = -1, detailLines = -1;
    bool checkedAtDisable = true;
    s().systemRestore = std::make_unique<WatchedAutomation>(std::move(s().systemRestore), [&] {
        listed = f().PointR.count();
        detailLines = static_cast<int>(f().Informations.lines().size());
        checkedAtDisable = f().Modifications.checked();
    });

    backend.setNextAnswer(false);
    f().Activer.userClick();
    EXPECT_TRUE(switches().empty());
    EXPECT_GT(f().PointR.count(), 0);

    backend.setNextAnswer(true);
    f().Activer.userClick();
    EXPECT_EQ(switches(), (std::vector<std::string>{"Disable C:\\"}));
    EXPECT_EQ(listed, 0);
    EXPECT_EQ(detailLines, 0);
    EXPECT_FALSE(checkedAtDisable);
    EXPECT_FALSE(f().Modifications.checked());
    EXPECT_FALSE(exists(std::string(programFolder) + "res"));
    EXPECT_TRUE(f().off());
    EXPECT_EQ(f().PointR.count(), 0);
    EXPECT_FALSE(f().Creer.enabled());
    EXPECT_TRUE(f().Activer.enabled());
    EXPECT_EQ(f().Activer.caption(), "Activer la restauration système");
    EXPECT_FALSE(exists(std::string(programFolder) + "res.cab"));
    EXPECT_FALSE(exists(std::string(programFolder) + "KestrafenTemp.ini"));
}

TEST_F(SwitchingTest, SwitchingOnReturnsOnceAPointIsListedAndOnlyWarnsOfLowSpace) {
    const struct {
        std::uint64_t freeKb;
        bool warned;
    } cases[] = {{204800, true}, {204801, false}};
    for (const auto& c : cases) {
        tm.json()["drives"]["C"]["free_bytes"] = c.freeKb * 1024;
        startSwitchedOff();
        for (const char* name : {"res\\SR-ChgLog.LOG", "res.cab", "KestrafenTemp.ini"})
            tm.write(std::string(programFolder) + name, "old");
        f().Modifications.setChecked(true);
        // What Enable finds, and what the window shows while it waits for the first point.
        std::vector<bool> atEnable;
        s().systemRestore = std::make_unique<WatchedAutomation>(std::move(s().systemRestore), [&] {
            for (const char* name : {"res", "res.cab", "KestrafenTemp.ini"})
                atEnable.push_back(exists(std::string(programFolder) + name));
            atEnable.push_back(f().Modifications.checked());
        });
        int waitsSeen = 0, usableDuringWait = 0, waitsWithoutBusyCursor = 0;
        backend.onProcessMessages = [&] {
            if (switches().empty() || switches().back() != "Enable C:\\" || f().PointR.count() > 0)
                return;
            ++waitsSeen;
            for (ui::Control* control : f().mainControls())
                usableDuringWait += control->enabled();
            waitsWithoutBusyCursor += !backend.busyCursor();
        };
        backend.clearMessages();
        backend.setNextAnswer(true);
        const std::int64_t start = now();
        f().Activer.userClick();
        const std::int64_t took = now() - start;
        backend.onProcessMessages = nullptr;
        EXPECT_EQ(atEnable, (std::vector<bool>{false, false, false, false}));
        EXPECT_GT(waitsSeen, 0);
        EXPECT_EQ(usableDuringWait, 0); // the language box included
        EXPECT_EQ(waitsWithoutBusyCursor, 0);
        EXPECT_FALSE(backend.busyCursor());

        EXPECT_EQ(backend.messageTexts().size() == 2, c.warned) << c.freeKb; // the question, then the warning
        EXPECT_EQ(switches().back(), "Enable C:\\");
        EXPECT_EQ(f().PointR.count(), 1) << c.freeKb;
        EXPECT_GE(took, 1500); // the service makes its checkpoint 1.5 s after Enable
        EXPECT_LT(took, 1500 + 500);
        EXPECT_FALSE(f().off());
        EXPECT_EQ(f().Activer.caption(), "Désactiver la restauration système");
        EXPECT_TRUE(allMainControlsEnabled());
    }
}

TEST_F(SwitchingTest, SwitchingOnGivesUpAfterTwoMinutesWithoutAPoint) {
    tm.json()["system_restore"]["point_after_enable_ms"] = 600000;
    startSwitchedOff();
    backend.setNextAnswer(true);
    const std::int64_t start = now();
    f().Activer.userClick();
    EXPECT_GE(now() - start, 1000 + 120000);
    EXPECT_LT(now() - start, 1000 + 125000);
    EXPECT_EQ(backend.messageTexts().back(), lang::keys::atUseDefault("Message15"));
    EXPECT_FALSE(backend.messages().back().busyCursor); // said once the wait is over
    // The window shows what the registry says: on, with an empty list.
    EXPECT_FALSE(f().off());
    EXPECT_EQ(f().PointR.count(), 0);
    EXPECT_TRUE(f().Creer.enabled());
}

TEST_F(SwitchingTest, ClosingDuringTheWaitEndsItAndCloses) {
    startSwitchedOff();
    backend.setNextAnswer(true);
    backend.onProcessMessages = [&] {
        if (!switches().empty())
            f().closeRequested();
    };
    const std::int64_t start = now();
    f().Activer.userClick();
    backend.onProcessMessages = nullptr;
    EXPECT_LT(now() - start, 1500);
    EXPECT_FALSE(f().visible());
    EXPECT_FALSE(exists(std::string(programFolder) + "KestrafenTemp.ini"));
}

TEST_F(SwitchingTest, FailedAutomationObjectAtStartStillClearsOldFiles) {
    tm.json()["system_restore"]["automation_fails"] = true;
    tm.save();
    tm.write(std::string(programFolder) + "res\\SR-ChgLog.LOG", "old");
    tm.write(std::string(programFolder) + "res.cab", "old");
    tm.write(std::string(programFolder) + "KestrafenTemp.ini", "[(01/01/2000) Vieux]\r\nNumber=3\r\n");
    create();
    ASSERT_FALSE(backend.messages().empty());
    EXPECT_EQ(backend.messages()[0].kind, ui::MessageKind::Error);
    EXPECT_FALSE(exists(std::string(programFolder) + "res"));
    EXPECT_FALSE(exists(std::string(programFolder) + "res.cab"));
    EXPECT_FALSE(exists(std::string(programFolder) + "KestrafenTemp.ini"));
    EXPECT_EQ(f().Langue2.text(), "Français"); // the rest of the start went on

    // Switching then reports the missing object before anything is locked or emptied.
    program->run();
    const int listed = f().PointR.count();
    backend.clearMessages();
    backend.setNextAnswer(true);
    f().Activer.userClick();
    EXPECT_EQ(backend.messages().back().kind, ui::MessageKind::Error);
    EXPECT_EQ(f().PointR.count(), listed);
    EXPECT_TRUE(allMainControlsEnabled());
}

// A handler that fails midway leaves the window as the service's state gives it, never locked.
TEST_F(SwitchingTest, AFailingHandlerLeavesTheWindowAsTheServiceIs) {
    const std::string unavailable = "Le système de restauration ne répond pas : SWbemLocator.ConnectServer "
                                    "(0x800706BA, the RPC server is unavailable)";
    // Switching on: Enable goes through, listing the points fails.
    startSwitchedOff();
    tm.json()["system_restore"]["connection_fails"] = true;
    saveJson();
    backend.clearMessages();
    backend.setNextAnswer(true);
    f().Activer.userClick();
    EXPECT_EQ(backend.messageTexts().back(), unavailable);
    EXPECT_EQ(backend.messages().back().kind, ui::MessageKind::Error);
    EXPECT_FALSE(f().off());
    EXPECT_TRUE(allMainControlsEnabled());
    EXPECT_EQ(f().Activer.caption(), "Désactiver la restauration système");
    EXPECT_FALSE(backend.busyCursor());

    // A language change whose listing fails: the captions of the new language, nothing locked.
    f().Langue2.userSelect(f().Langue2.indexOf("English"));
    EXPECT_EQ(backend.messages().back().text, "System Restore does not respond: SWbemLocator.ConnectServer "
                                              "(0x800706BA, the RPC server is unavailable)");
    EXPECT_TRUE(allMainControlsEnabled());
    EXPECT_EQ(f().Activer.caption(), s().lookup("Désactiver", ""));
    EXPECT_NE(f().Activer.caption(), "Désactiver la restauration système");
}

// A switch the service refuses (or fails at) is said in the user's language; the window shows the
// state the service kept, its points listed again when it is on, Activer always within reach.
TEST_F(SwitchingTest, ARefusedSwitchIsSaidAndTheWindowFollowsTheService) {
    const struct {
        bool startOn;
        const char* language;
        const char* said;
        const char* typedInSettings = nullptr; // else Activer
        const char* thrown = nullptr;          // by the service, rather than a refusal
    } cases[] = {{false, "Français", "Impossible d'activer la restauration système."},
                 {false, "Français", "Automation error: Enable (0x80004005)", nullptr,
                  "Automation error: Enable (0x80004005)"},
                 {true, "Français", "Impossible de désactiver la restauration système."},
                 {true, "English", "Unable to turn off System Restore."},
                 {false, "Français", "Impossible d'activer la restauration système.", "C"}};
    for (const auto& c : cases) {
        ordinaryStart(c.language);
        setServiceStart(c.startOn ? 0 : 4);
        setPoints(c.startOn ? nlohmann::ordered_json::array({point("20061004153000.000000+120", "A", 0, 44)})
                            : nlohmann::ordered_json::array());
        startProgram();
        const int listed = f().PointR.count();
        auto refusing = std::make_unique<WatchedAutomation>(std::move(s().systemRestore), [&c] {
            if (c.thrown)
                throw platform::Error(c.thrown);
        });
        refusing->refusal = 0x80004005;
        s().systemRestore = std::move(refusing);
        backend.clearMessages();
        if (c.typedInSettings) {
            backend.setNextModal([&c](ui::Form& form) {
                auto& dialog = static_cast<SettingsDialog&>(form);
                dialog.Activer.userType(c.typedInSettings);
                dialog.Valider.userClick();
            });
            f().Duree.userClick();
        } else {
            backend.setNextAnswer(true);
            f().Activer.userClick();
        }
        ASSERT_FALSE(backend.messages().empty()) << c.said;
        EXPECT_EQ(backend.messageTexts().back(), c.said);
        EXPECT_EQ(backend.messages().back().kind, c.thrown ? ui::MessageKind::Error : ui::MessageKind::Plain);
        EXPECT_FALSE(backend.messages().back().busyCursor);
        EXPECT_EQ(f().off(), !c.startOn) << c.said;
        EXPECT_EQ(f().PointR.count(), listed) << c.said;
        EXPECT_EQ(allMainControlsEnabled(), c.startOn) << c.said;
        EXPECT_TRUE(f().Activer.enabled() && f().Duree.enabled()) << c.said;
        EXPECT_EQ(f().Creer.enabled(), c.startOn) << c.said;
        EXPECT_EQ(f().Activer.caption(), s().lookup(c.startOn ? "Désactiver" : "Activer", "")) << c.said;
    }
}

} // namespace
