// Saving a kept copy and putting it back, on the sample machine: what is written, what is kept
// beside, and every refusal leaving the machine as it was.
#include "restore/FileRecovery.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

using testing_support::TestMachine;
using Status = restore::Recovery::Status;

const std::string dll = "C:\\WINDOWS\\system32\\msvcr71.dll";
const std::string kept = "C:\\WINDOWS\\system32\\msvcr71 (avant remise en place).dll";
const std::string store = "C:\\System Volume Information\\_restore{8C3E51D7-2A94-4F06-B1E8-5D7A90C4E2F3}\\";

restore::FileChange changeOf(TestMachine& tm, const std::string& point, const std::string& path) {
    auto p = tm.machine->platform();
    for (const auto& c : restore::readPointFiles(p.restoreStore, {"C:\\", "D:\\"}, point).changes)
        if (c.path == path)
            return c;
    ADD_FAILURE() << path;
    return {};
}

TEST(FileRecovery, PutsBackAndSavesCopiesOrRefusesWithTheReason) {
    struct Case {
        std::string name;
        std::function<void(TestMachine&, restore::FileChange&)> setup;
        bool save; // else put back
        std::string target;
        Status status;
        std::string key, written = "", keptAs = "";
        bool dryRun = false;
    };
    const auto none = [](TestMachine&, restore::FileChange&) {};
    const auto chmod = [](TestMachine& tm, const std::string& path, std::filesystem::perms perms) {
        std::filesystem::permissions(tm.host(path), perms);
    };
    const std::vector<Case> cases = {
        {"put back", none, false, "", Status::Done, "RecupRemis", dll, kept},
        {"put back twice keeps both", [](TestMachine& tm, restore::FileChange&) { tm.write(kept, "older"); },
         false, "", Status::Done, "RecupRemis", dll,
         "C:\\WINDOWS\\system32\\msvcr71 (avant remise en place 2).dll"},
        {"in use",
         [](TestMachine& tm, restore::FileChange&) {
             tm.json()["files_in_use"] = {"c:\\windows\\SYSTEM32\\msvcr71.dll"};
             tm.save();
         },
         false, "", Status::Refused, "RecupUtilise"},
        {"created file has no copy",
         [&](TestMachine& tm, restore::FileChange& c) {
             c = changeOf(tm, "RP39", "C:\\Program Files\\Microsoft Office\\OFFICE11\\WINWORD.EXE");
         },
         true, "C:\\", Status::Refused, "RecupCree"},
        {"copy gone",
         [](TestMachine& tm, restore::FileChange&) {
             std::filesystem::remove(tm.host(store + "RP39\\A0003104.dll"));
         },
         true, "C:\\", Status::Refused, "RecupCopieDisparue"},
        {"copy name leaving the folder",
         [](TestMachine&, restore::FileChange& c) { c.copyName = "..\\..\\boot.ini"; }, false, "",
         Status::Refused, "RecupNomCopie"},
        {"path on no drive",
         [](TestMachine&, restore::FileChange& c) { c.path = "\\Device\\HarddiskVolume9\\x.dll"; }, false, "",
         Status::Refused, "RecupChemin"},
        {"path naming a device",
         [](TestMachine&, restore::FileChange& c) { c.path = "C:\\WINDOWS\\CON.dll"; }, false, "",
         Status::Refused, "RecupChemin"},
        {"folder gone",
         [&](TestMachine& tm, restore::FileChange& c) {
             c = changeOf(tm, "RP42", "C:\\Program Files\\Java\\j2re1.4.2_12\\bin\\java.exe");
         },
         false, "", Status::Refused, "RecupDossier"},
        {"full drive",
         [](TestMachine& tm, restore::FileChange&) {
             tm.json()["drives"]["C"]["free_bytes"] = 10;
             tm.save();
         },
         false, "", Status::Refused, "RecupDisquePlein"},
        {"read-only folder",
         [&](TestMachine& tm, restore::FileChange&) {
             chmod(tm, "C:\\WINDOWS\\system32",
                   std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
         },
         false, "", Status::Refused, "RecupLectureSeule"},
        {"read-only file",
         [&](TestMachine& tm, restore::FileChange&) { chmod(tm, dll, std::filesystem::perms::owner_read); },
         false, "", Status::Refused, "RecupLectureSeule"},
        {"a dry run writes nothing", none, false, "", Status::Done, "RecupRemis", dll, kept, true},
        {"save into a folder", none, true, "C:\\WINDOWS\\Temp\\", Status::Done, "RecupEnregistre",
         "C:\\WINDOWS\\Temp\\msvcr71.dll"},
        {"save to no path", none, true, "", Status::Refused, "RecupChemin"},
        {"save over a file asks", none, true, dll, Status::AskOverwrite, "RecupExiste"},
        {"save outside the drive", none, true, "C:\\WINDOWS\\..\\..\\x.dll", Status::Refused, "RecupChemin"},
        {"save to a device", none, true, "C:\\WINDOWS\\Temp\\nul.txt", Status::Refused, "RecupChemin"},
        {"save to a read-only file",
         [&](TestMachine& tm, restore::FileChange&) {
             tm.write("C:\\WINDOWS\\Temp\\x.dll", "mine");
             chmod(tm, "C:\\WINDOWS\\Temp\\x.dll", std::filesystem::perms::owner_read);
         },
         true, "C:\\WINDOWS\\Temp\\x.dll!", Status::Refused, "RecupLectureSeule"},
    };
    for (const Case& c : cases) {
        TestMachine tm;
        tm.write("C:\\WINDOWS\\Temp\\keep.txt", "");
        restore::FileChange change = changeOf(tm, "RP39", dll);
        c.setup(tm, change);
        const std::string before = tm.read(dll);
        const std::string copy = std::filesystem::exists(tm.host(store + "RP39\\A0003104.dll"))
                                     ? tm.read(store + "RP39\\A0003104.dll")
                                     : "";
        auto p = tm.machine->platform();
        const bool overwrite = !c.target.empty() && c.target.back() == '!';
        const std::string target = overwrite ? c.target.substr(0, c.target.size() - 1) : c.target;
        const restore::Recovery r =
            c.save ? restore::saveCopy(p.files, p.restoreStore, change, target, overwrite)
                   : restore::putBack(p.files, p.restoreStore, change, "avant remise en place", c.dryRun);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(std::string(r.key), c.key) << c.name;
        EXPECT_EQ(r.keptAs, c.keptAs) << c.name;
        if (c.status == Status::Done && !c.dryRun) {
            EXPECT_EQ(r.written, c.written) << c.name;
            EXPECT_EQ(tm.read(c.written), copy) << c.name;
            if (!c.keptAs.empty()) {
                EXPECT_EQ(tm.read(c.keptAs), before) << c.name;
            }
        } else {
            EXPECT_EQ(tm.read(dll), before) << c.name; // nothing changed
            EXPECT_FALSE(std::filesystem::exists(tm.host(kept))) << c.name;
        }
        std::filesystem::permissions(tm.host("C:\\WINDOWS\\system32"), std::filesystem::perms::owner_all);
    }
}

} // namespace
