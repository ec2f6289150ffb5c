#include "AppFixture.h"

using testing_support::AppFixture;
using testing_support::programFolder;

namespace {

struct MainWindowTest : AppFixture {
    MainWindowTest() { ordinaryStart(); }
    const std::string message2 = "Vous avez moins de 200Mo disponible. Le système de restauration a besoin d'un "
                                 "minimum de 200Mo pour fonctionner.";
    void setFreeBytes(std::uint64_t bytes) {
        tm.json()["drives"]["C"]["free_bytes"] = bytes;
        saveJson();
    }
    int warnings() {
        int n = 0;
        for (const auto& m : backend.messages())
            n += m.text == message2 && m.kind == ui::MessageKind::Plain && m.title == "Kestrafen";
        return n;
    }
};

TEST_F(MainWindowTest, LowSpaceWarnsAtExactly200MiBButNotOneKiBMore) {
    setFreeBytes(204800ull * 1024);
    create();
    EXPECT_EQ(warnings(), 1);

    backend.clearMessages();
    setFreeBytes(204801ull * 1024);
    create();
    EXPECT_EQ(warnings(), 0);
}

TEST_F(MainWindowTest, FailedFreeSpaceQueryCountsAsNoSpace) {
    tm.json()["environment"]["SystemDrive"] = "Q:";
    saveJson();
    create();
    EXPECT_EQ(warnings(), 1);
}

TEST_F(MainWindowTest, TemporaryFilesAreRemovedAtStartAndAtClose) {
    auto leave = [&] {
        tm.write(std::string(programFolder) + "res\\SR-ChgLog.LOG", "old");
        tm.write(std::string(programFolder) + "res.cab", "old");
        tm.write(std::string(programFolder) + "KestrafenTemp.ini", "[x]\r\nDate=1\r\n");
    };
    leave();
    create();
    EXPECT_FALSE(exists(std::string(programFolder) + "res"));
    EXPECT_FALSE(exists(std::string(programFolder) + "res.cab"));
    EXPECT_FALSE(exists(std::string(programFolder) + "KestrafenTemp.ini"));
    program->run();
    EXPECT_TRUE(exists(std::string(programFolder) + "KestrafenTemp.ini"));
    leave();
    f().close();
    EXPECT_FALSE(exists(std::string(programFolder) + "res"));
    EXPECT_FALSE(exists(std::string(programFolder) + "res.cab"));
    EXPECT_FALSE(exists(std::string(programFolder) + "KestrafenTemp.ini"));
    EXPECT_TRUE(exists(std::string(programFolder) + "Kestrafen.ini"));
    EXPECT_TRUE(exists(std::string(programFolder) + "langues.ini"));
    EXPECT_TRUE(backend.messages().empty());
}

TEST_F(MainWindowTest, CtrlOneOnTheMainKeyboardOpensTheQuotation) {
    startProgram();
    f().keyPressed(ui::vk::Key1, ui::ShiftNone);
    f().keyPressed(ui::vk::Numpad1, ui::ShiftCtrl);
    f().keyPressed(ui::vk::KeyA, ui::ShiftCtrl);
    EXPECT_TRUE(backend.modalLog().empty());
    f().keyPressed(ui::vk::Key1, ui::ShiftCtrl);
    f().keyPressed(ui::vk::Key1, ui::ShiftCtrl | ui::ShiftShift);
    EXPECT_EQ(backend.modalLog(), (std::vector<std::string>{"TForm7", "TForm7"}));
}

TEST_F(MainWindowTest, ServiceOnEnablesEverythingAfterEnumeration) {
    setServiceStart(0);
    startProgram();
    for (ui::Control* c : f().mainControls())
        EXPECT_TRUE(c->enabled()) << c->name();
    EXPECT_EQ(f().Activer.caption(), "Désactiver la restauration système");
    EXPECT_GT(f().PointR.count(), 0);
}

TEST_F(MainWindowTest, ServiceOffLeavesListEmptyAndOnlySwitchingControlsUsable) {
    setServiceStart(4);
    startProgram();
    EXPECT_TRUE(f().PointR.items().empty());
    EXPECT_FALSE(exists(std::string(programFolder) + "KestrafenTemp.ini"));
    for (ui::Control* c : std::vector<ui::Control*>{&f().Creer, &f().Detruire, &f().Appliquer, &f().Modifications,
                                                   &f().PointR, &f().Informations})
        EXPECT_FALSE(c->enabled()) << c->name();
    for (ui::Control* c : std::vector<ui::Control*>{&f().Activer, &f().Duree, &f().Jour, &f().Langue2})
        EXPECT_TRUE(c->enabled()) << c->name();
    EXPECT_EQ(f().Activer.caption(), "Activer la restauration système");
    EXPECT_TRUE(f().off());
}

TEST_F(MainWindowTest, OtherServiceStateKeepsTheLayoutStates) {
    setServiceStart(1);
    startProgram();
    EXPECT_TRUE(f().PointR.items().empty());
    for (ui::Control* c : std::vector<ui::Control*>{&f().PointR, &f().Informations, &f().Duree, &f().Langue2})
        EXPECT_TRUE(c->enabled()) << c->name();
    for (ui::Control* c :
         std::vector<ui::Control*>{&f().Creer, &f().Detruire, &f().Appliquer, &f().Activer, &f().Jour, &f().Modifications})
        EXPECT_FALSE(c->enabled()) << c->name();
}

TEST_F(MainWindowTest, MachineIdentifierComesFromTheConfigurationKeyOrIsUnknown) {
    create();
    EXPECT_NE(s().machineGuid, "?");
    EXPECT_EQ(s().machineGuid.front(), '{');

    auto p = tm.machine->platform();
    auto key = p.registry.open(platform::RegRoot::LocalMachine,
                               "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SystemRestore\\Cfg", false);
    ASSERT_TRUE(key);
    key->deleteValue("MachineGuid");
    create();
    EXPECT_EQ(s().machineGuid, "?");
}

TEST_F(MainWindowTest, FailingAutomationObjectIsReportedAndTheWindowStillShows) {
    tm.json()["system_restore"]["automation_fails"] = true;
    saveJson();
    startProgram();
    ASSERT_FALSE(backend.messages().empty());
    EXPECT_EQ(backend.messages()[0].kind, ui::MessageKind::Error);
    EXPECT_TRUE(f().visible());

    // A later use of the missing object is a clear error, not a crash.
    backend.clearMessages();
    app.dispatch([&] { s().automation().Enable("C:\\"); });
    ASSERT_EQ(backend.messages().size(), 1u);
    EXPECT_NE(backend.messages()[0].text.find("Le système de restauration ne répond pas : winmgmts:"),
              std::string::npos);
}

} // namespace
