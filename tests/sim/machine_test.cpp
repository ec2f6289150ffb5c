// The machine folder: creation from the sample, loading and checking its files, the environment,
// the journal and timed actions.
#include "platform/Error.h"
#include "platform/sim/Machine.h"
#include "platform/sim/MachineJson.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;
using platform::sim::Machine;
using platform::sim::VirtualClock;
using testing_support::TestMachine;

namespace {

std::string readHost(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeHost(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Every file below a folder with its content, to see that nothing changed.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files[fs::relative(entry.path(), folder).string()] =
            entry.is_regular_file() ? readHost(entry.path()) : "/";
    return files;
}

std::string openError(const fs::path& folder) {
    try {
        Machine machine(folder, std::make_unique<VirtualClock>());
    } catch (const platform::Error& e) {
        return e.what();
    }
    return "no error";
}

// Sets or clears an environment variable for one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(MachineFolder, IsCreatedFromTheSampleAndNeverOverwritten) {
    TestMachine tm(TestMachine::Start::Bare);
    const fs::path fresh = tm.folder.parent_path() / "new" / "machine";

    Machine::ensureExists(fresh);
    EXPECT_EQ(snapshot(fresh), snapshot(Machine::sampleFolder()));

    writeHost(fresh / "machine.json", "{}");
    fs::remove(fresh / "registry.reg");
    Machine::ensureExists(fresh);
    EXPECT_EQ(readHost(fresh / "machine.json"), "{}");
    EXPECT_FALSE(fs::exists(fresh / "registry.reg"));

    const fs::path empty = tm.folder.parent_path() / "empty";
    fs::create_directory(empty);
    Machine::ensureExists(empty);
    EXPECT_TRUE(fs::is_empty(empty));
}

TEST(MachineFolder, DefaultFolderFollowsTheEnvironment) {
    ScopedEnv home("HOME", "/home/marie");
    {
        ScopedEnv machine("KESTRAFEN_MACHINE", "/srv/machines/xp");
        EXPECT_EQ(Machine::defaultFolder(), fs::path("/srv/machines/xp"));
    }
    ScopedEnv machine("KESTRAFEN_MACHINE", nullptr);
    {
        ScopedEnv data("XDG_DATA_HOME", "/data");
        EXPECT_EQ(Machine::defaultFolder(), fs::path("/data/kestrafen/machine"));
    }
    ScopedEnv relative("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(Machine::defaultFolder(), fs::path("/home/marie/.local/share/kestrafen/machine"));
}

TEST(MachineFile, SyntaxErrorNamesFileAndLineAndChangesNothing) {
    TestMachine tm;
    tm.machine.reset();
    writeHost(tm.folder / "machine.json", "{\n  \"environment\": {},\n  \"drives\": { \"C\" ,\n}\n");
    const auto before = snapshot(tm.folder);

    const std::string error = openError(tm.folder);
    EXPECT_NE(error.find((tm.folder / "machine.json").string() + ", line 3: "), std::string::npos) << error;
    EXPECT_EQ(snapshot(tm.folder), before);
}

TEST(MachineFile, KnownKeysOfTheWrongShapeAreNamed) {
    TestMachine tm(TestMachine::Start::Bare);
    tm.machine.reset();
    const fs::path file = tm.folder / "machine.json";
    const std::pair<const char*, const char*> cases[] = {
        {R"({"drives": {"C": {"free_bytes": "beaucoup"}}})", "drives.C.free_bytes"},
        {R"({"drives": {"C": {"total_bytes": -40}}})", "drives.C.total_bytes"},
        {R"({"drives": {"CD": {}}})", "drives.CD"},
        {R"({"environment": {"Windir": 3}})", "environment.Windir"},
        {R"({"system_restore": {"points": [{"SequenceNumber": 1.5}]}})",
         "system_restore.points[0].SequenceNumber"},
        {R"({"system_restore": {"connection_fails": "yes"}})", "system_restore.connection_fails"},
        {R"({"system_restore": {"descriptions": {"restore": 6}}})", "system_restore.descriptions.restore"},
        {R"({"program_folder": "Kestrafen"})", "program_folder"},
        {R"([1, 2])", "line 1"},
    };
    for (const auto& [text, key] : cases) {
        writeHost(file, text);
        const std::string error = openError(tm.folder);
        EXPECT_NE(error.find(file.string()), std::string::npos) << error;
        EXPECT_NE(error.find(key), std::string::npos) << error;
    }
}

TEST(MachineFile, UnreadableTextIsNamedWithItsLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"{\n  \"drives\": { \"C\": { \"free_bytes\": 1e999 } }\n}",
         "m.json, line 2: number overflow parsing '1e999'"},
        {"{\"points\": [-1e400]}", "m.json, line 1: number overflow parsing '-1e400'"},
        {"", "m.json, line 1: "},
        {"{\n\"environment\": {\"Windir\": \"C:", "m.json, line 2: "},
        {std::string("\x89PNG\r\n\x1a\n\0\0", 10), "m.json, line 1: "},
        {"{\"a\": \"\xff\xfe\"}", "m.json, line 1: "},
    };
    for (const auto& [text, error] : cases) {
        try {
            platform::sim::parseMachineJson(text, "m.json");
            ADD_FAILURE() << "no error for " << text;
        } catch (const platform::Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(error, 0), 0u) << e.what();
            EXPECT_EQ(std::string(e.what()).find("json.exception"), std::string::npos) << e.what();
        }
    }
}

TEST(MachineFile, MalformedRegistryNamesFileAndLine) {
    TestMachine tm(TestMachine::Start::Bare);
    tm.machine.reset();
    writeHost(tm.folder / "registry.reg",
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\"A\"=dword:zz\r\n");

    const std::string error = openError(tm.folder);
    EXPECT_NE(error.find((tm.folder / "registry.reg").string() + ", line 4"), std::string::npos) << error;
}

TEST(MachineFile, MissingRegistryIsAnEmptyOne) {
    TestMachine tm(TestMachine::Start::Bare);
    EXPECT_TRUE(tm.machine->registryFile().keys().empty());
    EXPECT_EQ(tm.machine->platform().registry.open(platform::RegRoot::LocalMachine, "SOFTWARE", false),
              nullptr);
}

TEST(MachineFile, EditsMadeOnDiskAreSeenAtTheNextLook) {
    TestMachine tm;
    auto p = tm.machine->platform();
    ASSERT_EQ(p.environment.get("Windir"), "C:\\WINDOWS");

    auto edited = tm.json();
    edited["environment"]["Windir"] = "D:\\WINNT";
    edited["program_folder"] = "D:\\Outils\\Kestrafen";
    writeHost(tm.folder / "machine.json", edited.dump(2));

    EXPECT_EQ(p.environment.get("Windir"), "D:\\WINNT");
    EXPECT_EQ(p.files.currentFolder(), "D:\\Outils\\Kestrafen\\");
}

TEST(MachineFile, SavedStateIsReadBackAsWritten) {
    TestMachine tm;
    tm.machine->state()["system_restore"]["srdiag_ms"] = 10;
    tm.machine->state()["system_restore"]["points"][0]["Description"] = "Réglé à l'été";
    tm.machine->saveState();

    EXPECT_EQ(tm.json()["system_restore"]["srdiag_ms"], 10);
    EXPECT_EQ(tm.json()["system_restore"]["points"][0]["Description"], "Réglé à l'été");
    for (const auto& entry : fs::directory_iterator(tm.folder)) // no temporary file left behind
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST(MachineEnvironment, ProcessEnvironmentWinsOverTheMachine) {
    TestMachine tm;
    auto& env = tm.machine->platform().environment;
    EXPECT_EQ(env.get("windir"), "C:\\WINDOWS"); // names ignore case, as on Windows
    EXPECT_EQ(env.get("Userprofile"), "C:\\Documents and Settings\\Utilisateur");
    EXPECT_EQ(env.get("KESTRAFEN_NOT_SET_ANYWHERE"), std::nullopt);

    ScopedEnv profile("Userprofile", "E:\\Profils\\Marie");
    EXPECT_EQ(env.get("Userprofile"), "E:\\Profils\\Marie");
}

TEST(MachineProgramFolder, ComesFromTheMachineWithATrailingBackslash) {
    TestMachine tm(TestMachine::Start::Bare);
    EXPECT_EQ(tm.machine->platform().programFolder, "C:\\Program Files\\Kestrafen\\");
    EXPECT_EQ(tm.machine->platform().files.currentFolder(), "C:\\Program Files\\Kestrafen\\");

    tm.json().erase("program_folder");
    tm.save();
    EXPECT_EQ(tm.machine->programFolder(), "C:\\Program Files\\Kestrafen\\");

    tm.json()["program_folder"] = "d:\\Apps\\Kestrafen";
    tm.save();
    EXPECT_EQ(tm.machine->programFolder(), "d:\\Apps\\Kestrafen\\");
    EXPECT_EQ(tm.machine->platform().files.currentFolder(), "D:\\Apps\\Kestrafen\\");
}

TEST(MachineJournal, AppendsOneUtf8LinePerRequest) {
    TestMachine tm;
    tm.machine->journal("CMD /c regsvr32 /s jscript.dll");
    tm.machine->journal("SRSetRestorePointA 100 7 Avant l'été");
    tm.reopen();
    tm.machine->journal("Restart");
    tm.machine->journal("SRSetRestorePointA 100 7 Deux\r\nlignes");
    EXPECT_EQ(tm.journal(), (std::vector<std::string>{"CMD /c regsvr32 /s jscript.dll",
                                                      "SRSetRestorePointA 100 7 Avant l'été", "Restart",
                                                      "SRSetRestorePointA 100 7 Deux  lignes"}));
}

TEST(MachineTimedActions, HappenOnceWhenTheClockPassesTheirTime) {
    TestMachine tm;
    std::vector<std::string> done;
    tm.machine->schedule(200, [&] { done.push_back("late"); });
    tm.machine->schedule(100, [&] { done.push_back("early"); });
    tm.machine->schedule(100, [&] { done.push_back("early too"); });

    tm.clock->advance(99);
    tm.machine->runDueActions();
    EXPECT_TRUE(done.empty());

    tm.machine->platform().process.sleep(50);
    EXPECT_EQ(done, (std::vector<std::string>{"early", "early too"}));

    tm.clock->advance(1000);
    tm.machine->platform().files.fileExists("C:\\boot.ini"); // any look at the machine
    tm.machine->runDueActions();
    EXPECT_EQ(done, (std::vector<std::string>{"early", "early too", "late"}));
}

TEST(MachineClock, UtcOffsetFollowsTheHostTimeZone) {
    TestMachine tm;                                           // French time
    EXPECT_EQ(tm.machine->utcOffsetMinutes(1160000000), 120); // October 2006, summer time
    EXPECT_EQ(tm.machine->utcOffsetMinutes(1165000000), 60);  // December 2006
}

} // namespace

TEST(MachineTimeZone, MachineZoneAppliesUnlessTheProcessSetsOne) {
    TestMachine tm;
    tm.json()["time_zone"] = "UTC0";
    tm.save();

    unsetenv("TZ");
    tm.reopen();
    EXPECT_STREQ(std::getenv("TZ"), "UTC0");
    EXPECT_EQ(tm.machine->utcOffsetMinutes(1160000000), 0);

    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tm.reopen();
    EXPECT_STREQ(std::getenv("TZ"), "CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(tm.machine->utcOffsetMinutes(1160000000), 120); // early October 2006: summer time
}
