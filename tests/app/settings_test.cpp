#include "AppFixture.h"

#include "app/ExclusionEditor.h"
#include "app/RepairWindow.h"
#include "app/SettingsDialog.h"
#include "config/RestoreSettings.h"
#include "lang/Keys.h"

#include <algorithm>

using testing_support::AppFixture;
using testing_support::programFolder;

namespace {

struct SettingsTest : AppFixture {
    SettingsTest() {
        ordinaryStart();
        startProgram();
    }

    std::unique_ptr<platform::RegistryKey> key() {
        return platform->registry.open(platform::RegRoot::LocalMachine, config::systemRestoreKey, false);
    }
    void setStored(std::optional<std::uint32_t> life, std::optional<std::uint32_t> global,
                   std::optional<std::uint32_t> percent = std::nullopt) {
        auto k = key();
        const std::pair<const char*, std::optional<std::uint32_t>> values[] = {
            {"RPLifeInterval", life}, {"RPGlobalInterval", global}, {"DiskPercent", percent}};
        for (const auto& [name, value] : values) {
            k->deleteValue(name);
            if (value)
                platform::reg::writeInteger(*k, name, *value);
        }
    }
    std::uint32_t stored(const char* name) { return platform::reg::readInteger(*key(), name); }

    // Runs the settings command with a script for the dialog.
    void settings(std::function<void(SettingsDialog&)> script) {
        backend.setNextModal([script](ui::Form& form) { script(static_cast<SettingsDialog&>(form)); });
        f().Duree.userClick();
    }
    std::vector<std::string> journalSince(size_t from) {
        const auto all = tm.journal();
        return {all.begin() + static_cast<long>(std::min(from, all.size())), all.end()};
    }
    static const std::string message10;
};

const std::string SettingsTest::message10 = "Veuillez entrer des nombres entiers seulement.";

TEST_F(SettingsTest, StoredSecondsShowAsDaysAndHoursAndAreWrittenBack) {
    const struct {
        std::optional<std::uint32_t> life, global, percent;
        const char *days, *hours, *share;
        std::uint32_t lifeAfter, globalAfter, percentAfter;
    } cases[] = {
        {90 * 86400, 86400, 20, "90", "24", "20", 90 * 86400, 86400, 20},
        {100000, 86400, 12, "1", "24", "12", 86400, 86400, 12},
        {std::nullopt, std::nullopt, std::nullopt, "0", "0", "12", 0, 0, 12},
    };
    for (const auto& c : cases) {
        setStored(c.life, c.global, c.percent);
        std::string days, hours, share;
        settings([&](SettingsDialog& d) {
            days = d.Titre.text();
            hours = d.Titre2.text();
            share = d.Pourcentage.text();
            d.Valider.userClick();
        });
        EXPECT_EQ(days, c.days);
        EXPECT_EQ(hours, c.hours);
        EXPECT_EQ(share, c.share);
        EXPECT_EQ(stored("RPLifeInterval"), c.lifeAfter);
        EXPECT_EQ(stored("RPGlobalInterval"), c.globalAfter);
        EXPECT_EQ(stored("DiskPercent"), c.percentAfter);
    }
}

TEST_F(SettingsTest, EachWatchedDriveShowsItsShareAsItIsTyped) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "C:\\ — au plus 4,8 Go (12 % de 40 Go), 0 Mo utilisés par 9 points"},
        {"20", "C:\\ — au plus 8 Go (20 % de 40 Go), 0 Mo utilisés par 9 points"},
        {"101", "C:\\ — 0 Mo utilisés par 9 points"},
    };
    settings([&](SettingsDialog& d) {
        EXPECT_EQ(d.Lecteurs.count(), 2); // C: and D:
        for (const auto& [typed, line] : cases) {
            if (*typed)
                d.Pourcentage.userType(typed);
            EXPECT_EQ(d.Lecteurs.item(0), line) << typed;
        }
    });
}

TEST_F(SettingsTest, BadNumbersAreRefusedWithTheFieldsKept) {
    const struct {
        const char *days, *hours, *share = "12";
    } refused[] = {{"12a", "24"},     {"", "24"},          {"30", ""},           {"0x1E", "24"},
                   {"24856", "24"},   {"30", "596524"},    {"-5", "24"},         {"30", "-1"},
                   {"30", "24", "0"}, {"30", "24", "101"}, {"30", "24", "douze"}};
    setStored(7776000, 86400, 15);
    for (const auto& c : refused) {
        backend.clearMessages();
        std::string daysAfter, hoursAfter;
        bool stillOpen = false;
        settings([&](SettingsDialog& d) {
            d.Titre.userType(c.days);
            d.Titre2.userType(c.hours);
            d.Pourcentage.userType(c.share);
            d.Valider.userClick();
            stillOpen = d.modalResult() == ui::mr::None;
            daysAfter = d.Titre.text();
            hoursAfter = d.Titre2.text();
        });
        EXPECT_TRUE(stillOpen) << c.days << "/" << c.hours;
        EXPECT_EQ(backend.messageTexts(), std::vector<std::string>{message10}) << c.days << "/" << c.hours;
        EXPECT_EQ(daysAfter, c.days);
        EXPECT_EQ(hoursAfter, c.hours);
        EXPECT_EQ(stored("RPLifeInterval"), 7776000u);
        EXPECT_EQ(stored("RPGlobalInterval"), 86400u);
        EXPECT_EQ(stored("DiskPercent"), 15u);
    }

    // A refusal, then a good number in the same run.
    settings([](SettingsDialog& d) {
        d.Titre.userType("abc");
        d.Valider.userClick();
        d.Titre.userType("+45");
        d.Titre2.userType(" 12");
        d.Pourcentage.userType("20");
        d.Valider.userClick();
    });
    EXPECT_EQ(stored("RPLifeInterval"), 45u * 86400);
    EXPECT_EQ(stored("RPGlobalInterval"), 12u * 3600);
    EXPECT_EQ(stored("DiskPercent"), 20u);
    EXPECT_NE(registryFile().find("\"RPLifeInterval\"=dword:003b5380"), std::string::npos);
}

TEST_F(SettingsTest, DriveListsCallTheServiceInOrderEnablesFirst) {
    const struct {
        const char *enable, *disable;
        std::vector<std::string> calls;
    } cases[] = {
        {"D,E:", "", {"Enable D:\\", "Enable E:\\"}},
        {"D, E", "", {"Enable D:\\", "Enable  E:\\"}},
        {"D,,E", "", {"Enable D:\\", "Enable :\\", "Enable E:\\"}},
        {"c", "", {"Enable c:\\"}},
        {"", "D:\\,E", {"Disable D:\\", "Disable E:\\"}},
        {"D,E", "F", {"Enable D:\\", "Enable E:\\", "Disable F:\\"}},
    };
    for (const auto& c : cases) {
        const size_t from = tm.journal().size();
        const int repaints = backend.repaintCount();
        backend.clearMessages();
        settings([&](SettingsDialog& d) {
            d.Activer.userType(c.enable);
            d.Desactiver.userType(c.disable);
            d.Valider.userClick();
        });
        EXPECT_EQ(journalSince(from), c.calls) << c.enable << " / " << c.disable;
        EXPECT_TRUE(backend.messages().empty()); // no point at stake, no question
        // No item named the system drive: the main window is left as it was.
        EXPECT_EQ(backend.repaintCount(), repaints);
        EXPECT_TRUE(f().Creer.enabled());
    }
}

// Every point goes with the system drive: Activer's question first, and No changes nothing at all.
TEST_F(SettingsTest, DisablingTheSystemDriveAsksFirst) {
    const std::pair<const char*, bool> cases[] = {
        {"C", false}, {"D, c", false}, {" C:\\", false}, {"D,C:", true}};
    for (const auto& [disable, yes] : cases) {
        setStored(7776000, 86400);
        setServiceStart(0);
        const size_t from = tm.journal().size();
        backend.clearMessages();
        backend.setNextAnswer(yes);
        settings([&](SettingsDialog& d) {
            d.Titre.userType("5");
            d.Desactiver.userType(disable);
            d.Valider.userClick();
        });
        EXPECT_EQ(backend.messageTexts(), std::vector<std::string>{lang::keys::atUseDefault("Question4")})
            << disable;
        EXPECT_EQ(journalSince(from), (yes ? std::vector<std::string>{"Disable D:\\", "Disable C:\\"}
                                           : std::vector<std::string>{}))
            << disable;
        EXPECT_EQ(stored("RPLifeInterval"), yes ? 5u * 86400 : 7776000u) << disable;
    }
}

TEST_F(SettingsTest, TheSystemDriveOffThenOnRefreshesTheMainWindow) {
    ASSERT_GT(f().PointR.count(), 0);
    tm.write(std::string(programFolder) + "res.cab", "old");
    size_t from = tm.journal().size();
    backend.setNextAnswer(true);
    settings([](SettingsDialog& d) {
        d.Desactiver.userType("C:\\");
        d.Valider.userClick();
    });
    EXPECT_EQ(journalSince(from), std::vector<std::string>{"Disable C:\\"});
    EXPECT_FALSE(exists(std::string(programFolder) + "res.cab"));
    EXPECT_EQ(f().PointR.count(), 0);
    EXPECT_FALSE(f().Creer.enabled());
    EXPECT_TRUE(f().off());

    const std::string message2 = s().texts().get("Message2");
    const struct {
        std::uint64_t freeKb;
        bool warned;
    } cases[] = {{204800, true}, {204801, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.freeKb);
        setServiceStart(4);
        setPoints(nlohmann::ordered_json::array());
        tm.json()["drives"]["C"]["free_bytes"] = c.freeKb * 1024;
        saveJson();
        tm.write(std::string(programFolder) + "res.cab", "old");
        tm.write(std::string(programFolder) + "res\\SR-ChgLog.LOG", "old");
        tm.write(std::string(programFolder) + "KestrafenTemp.ini", "[(01/01/2000) Vieux]\r\nNumber=3\r\n");
        backend.clearMessages();
        from = tm.journal().size();
        std::vector<bool> creerDuringWait, busyDuringWait;
        backend.onProcessMessages = [&] {
            if (journalSince(from).empty())
                return;
            creerDuringWait.push_back(f().Creer.enabled());
            if (!f().Creer.enabled()) // the window locked: a wait
                busyDuringWait.push_back(backend.busyCursor());
        };
        settings([](SettingsDialog& d) {
            d.Activer.userType("C");
            d.Valider.userClick();
        });
        backend.onProcessMessages = nullptr;
        EXPECT_EQ(journalSince(from), std::vector<std::string>{"Enable C:\\"});
        EXPECT_EQ(backend.messageTexts(),
                  c.warned ? std::vector<std::string>{message2} : std::vector<std::string>{});
        for (const auto& m : backend.messages())
            EXPECT_FALSE(m.busyCursor);
        for (const char* name : {"res.cab", "res"})
            EXPECT_FALSE(exists(std::string(programFolder) + name)) << name;
        EXPECT_EQ(cache("(01/01/2000) Vieux", "Number"), "<none>");
        ASSERT_FALSE(creerDuringWait.empty());
        EXPECT_FALSE(creerDuringWait.front());
        EXPECT_EQ(std::ranges::count(busyDuringWait, false), 0);
        EXPECT_FALSE(backend.busyCursor());
        EXPECT_EQ(f().PointR.count(), 1);
        EXPECT_TRUE(f().Creer.enabled());
        EXPECT_FALSE(f().off());
    }
}

TEST_F(SettingsTest, CancelAfterAValidatedRunWritesNothing) {
    settings([](SettingsDialog& d) {
        d.Titre.userType("30");
        d.Activer.userType("D");
        d.Valider.userClick();
    });
    EXPECT_EQ(stored("RPLifeInterval"), 2592000u);
    setStored(100000, 7200);
    const size_t from = tm.journal().size();
    settings([](SettingsDialog& d) {
        d.Activer.userType("E");
        d.Annuler.userClick();
    });
    settings([](SettingsDialog& d) { d.Activer.userType("E"); }); // the close box
    EXPECT_EQ(stored("RPLifeInterval"), 100000u);
    EXPECT_EQ(stored("RPGlobalInterval"), 7200u);
    EXPECT_TRUE(journalSince(from).empty());
}

TEST_F(SettingsTest, ComingBackFromTheEditorOrRepairRefreshesTheFields) {
    setStored(90 * 86400, 86400);
    for (const bool editor : {true, false}) {
        std::string daysBack, drivesBack, captionBack;
        bool hiddenMeanwhile = true;
        settings([&](SettingsDialog& d) {
            d.Titre.userType("55");
            d.Activer.userType("D");
            backend.setNextModal([&](ui::Form&) { hiddenMeanwhile = !d.visible(); });
            (editor ? d.Avance : d.Reparer2).userClick();
            daysBack = d.Titre.text();
            drivesBack = d.Activer.text();
            captionBack = d.caption();
            d.Valider.userClick();
        });
        EXPECT_TRUE(hiddenMeanwhile);
        EXPECT_EQ(daysBack, "90");
        EXPECT_EQ(drivesBack, "");
        EXPECT_EQ(captionBack, "Configurer le système de restauration");
        EXPECT_EQ(stored("RPLifeInterval"), 90u * 86400);
    }
    EXPECT_EQ(backend.modalLog(), (std::vector<std::string>{"TForm3", "TForm4", "TForm3", "TForm5"}));
}

} // namespace
