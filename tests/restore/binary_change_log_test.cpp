// Reading System Restore's binary change logs: every record type, every bad input, and a point's
// logs put together (order, drive letters, copies and their sizes).
#include "platform/sim/ChangeLogWriter.h"
#include "restore/SavedFiles.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace platform::sim; // the change log writer
using restore::LogFault;

const std::string volume = "\\Device\\HarddiskVolume1";

LoggedChange change(std::uint32_t type, std::int64_t seq, std::string path, std::string copy = "") {
    LoggedChange c;
    c.type = type;
    c.sequence = seq;
    c.process = "msiexec.exe";
    c.firstPath = volume + path;
    c.copyPath = std::move(copy);
    return c;
}

std::string withDword(std::string bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xff);
    return bytes;
}

// An entry built by hand around the given records, with its closing DWORD.
std::string entryWith(const std::string& records, std::uint32_t closingDelta = 0) {
    const std::string e =
        changeLogEntry(change(restore::EntryFileDelete, 9, "\\x")).substr(0, restore::entryFixedSize);
    const auto size = static_cast<std::uint32_t>(e.size() + records.size() + 4);
    return withDword(withDword(e + records + std::string(4, '\0'), 0, size), size - 4, size + closingDelta);
}

TEST(BinaryChangeLog, ReadsEveryRecordTypeAndRefusesEveryBadInput) {
    LoggedChange rename = change(restore::EntryFileRename, 2, "\\a.txt");
    rename.secondPath = volume + "\\b.txt";
    LoggedChange full = change(restore::EntryStreamChange, 0x100000003, "\\WINDOWS\\system32\\msvcr71.dll",
                               volume + "\\System Volume Information\\_restore{G}\\RP39\\A0003104.dll");
    full.withAclAndDebug = true;
    full.process = "Firefox Setup 2.0.exe"; // longer than the 15 characters kept
    const std::string good =
        changeLogBytes(volume, {change(restore::EntryFileCreate, 1, "\\Résumé.doc"), rename, full,
                                change(restore::EntryAttrChange, 4, "\\win.ini", "A0000004")});
    const std::string header = changeLogHeader(volume);
    const std::string first = changeLogEntry(change(restore::EntryFileCreate, 1, "\\one"));
    const std::string path = changeLogRecord(restore::RecordFirstPath, changeLogText("\\p"));
    const auto copy = [](const std::string& name) {
        return changeLogRecord(restore::RecordTempPath, changeLogText(name));
    };
    struct Case {
        std::string name, bytes;
        std::size_t entries;
        std::optional<LogFault> fault;
    };
    const std::vector<Case> cases = {
        {"valid", good, 4, std::nullopt},
        {"short name and ACL file records",
         header + entryWith(path + changeLogRecord(9, changeLogText("MSVCR7~1.DLL")) +
                            changeLogRecord(7, changeLogText("S0000001.acl"))),
         1, std::nullopt},
        {"empty", "", 0, LogFault::Truncated},
        {"cut inside an entry's header", header + first + first.substr(0, 6), 1, LogFault::Truncated},
        {"cut inside an entry", header + first + first.substr(0, 40), 1, LogFault::RecordSize},
        {"entry size 0", header + withDword(first, 0, 0), 0, LogFault::RecordSize},
        {"inner record size 0", header + entryWith(withDword(path, 0, 0)), 0, LogFault::RecordSize},
        {"inner record past its entry", header + entryWith(withDword(path, 0, 400)), 0, LogFault::RecordSize},
        {"closing DWORD disagrees", header + first + entryWith(path, 1), 1, LogFault::Closing},
        {"header closing disagrees", withDword(header, header.size() - 4, 7), 0, LogFault::Closing},
        {"wrong header magic", withDword(good, 8, 0x12345678), 0, LogFault::Magic},
        {"version 3", withDword(good, 12, 3), 0, LogFault::Magic},
        {"wrong entry magic", header + first + withDword(first, 8, 0), 1, LogFault::Magic},
        {"entry of another record type", header + withDword(first, 4, 2), 0, LogFault::Magic},
        {"path without terminator", header + entryWith(changeLogRecord(3, std::string("\\\0p\0", 4))), 0,
         LogFault::Unterminated},
        {"copy leaving the folder", header + entryWith(path + copy("..\\..\\boot.ini")), 0,
         LogFault::CopyName},
        {"copy under another point", header + entryWith(path + copy("\\RP40\\A0000001.dll")), 0,
         LogFault::CopyName},
        {"copy with six digits", header + entryWith(path + copy("A000001.dll")), 0, LogFault::CopyName},
        {"copy named like a folder", header + entryWith(path + copy("A0000001.d\\")), 0, LogFault::CopyName},
    };
    for (const Case& c : cases) {
        const restore::ParsedLog log = restore::parseChangeLog(c.bytes, "RP39");
        EXPECT_EQ(log.entries.size(), c.entries) << c.name;
        EXPECT_EQ(log.fault, c.fault) << c.name;
    }
    const restore::ParsedLog log = restore::parseChangeLog(good, "RP39");
    EXPECT_EQ(log.volume, volume);
    ASSERT_EQ(log.entries.size(), 4u);
    EXPECT_EQ(log.entries[0].firstPath, volume + "\\Résumé.doc");
    EXPECT_EQ(log.entries[1].secondPath, volume + "\\b.txt");
    EXPECT_EQ(log.entries[2].sequence, 0x100000003);
    EXPECT_EQ(log.entries[2].copyName, "A0003104.dll");
    EXPECT_EQ(log.entries[2].process, "Firefox Setup 2");
    EXPECT_EQ(log.entries[2].flags, 0xdu);
    EXPECT_EQ(log.entries[3].copyName, "A0000004"); // a file without extension keeps none
}

// The store of a machine with one point on C (two logs) and one change on D.
class MemoryStore : public platform::RestoreStore {
public:
    std::map<std::string, std::string> files; // path -> bytes
    std::optional<std::string> storeFolder(const std::string& root) override {
        return root.substr(0, 2) + "\\System Volume Information\\_restore{G}\\";
    }
    std::vector<platform::StoreEntry> list(const std::string& folder) override {
        std::vector<platform::StoreEntry> out;
        for (const auto& [path, bytes] : files)
            if (path.rfind(folder, 0) == 0)
                out.push_back({path.substr(folder.size()), bytes.size(), false});
        return out;
    }
    std::optional<std::string> read(const std::string& path) override {
        auto it = files.find(path);
        return it == files.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<std::string> volumeDevice(const std::string& drive) override {
        return drive == "C:" ? volume : "\\Device\\HarddiskVolume2";
    }
};

TEST(BinaryChangeLog, APointsLogsGiveItsChangesInSequenceOrderUnderDriveLetters) {
    MemoryStore store;
    const std::string c = "C:\\System Volume Information\\_restore{G}\\RP7\\";
    const std::string d = "D:\\System Volume Information\\_restore{G}\\RP7\\";
    store.files[c + "change.log.1"] =
        changeLogBytes(volume, {change(restore::EntryStreamChange, 3, "\\WINDOWS\\win.ini", "A0000003.ini")});
    store.files[c + "change.log"] =
        changeLogBytes(volume, {change(restore::EntryFileDelete, 1, "\\gone.dll", "A0000001.dll")});
    store.files[c + "A0000003.ini"] = "[fonts]\r\n";
    store.files[c + "change.log.bak"] = "not a log";
    LoggedChange other = change(restore::EntryFileCreate, 2, "");
    other.firstPath = "\\Device\\HarddiskVolume2\\Pilotes\\x.exe";
    store.files[d + "change.log"] = changeLogBytes("\\Device\\HarddiskVolume2", {other}) + "\x01";
    const restore::PointFiles point = restore::readPointFiles(store, {"C:\\", "D:\\"}, "RP7");
    ASSERT_EQ(point.changes.size(), 3u);
    EXPECT_EQ(point.changes[0].path, "C:\\gone.dll");
    EXPECT_FALSE(point.changes[0].copySize); // the copy is gone
    EXPECT_EQ(point.changes[1].path, "D:\\Pilotes\\x.exe");
    EXPECT_EQ(point.changes[2].copyPath, c + "A0000003.ini");
    EXPECT_EQ(point.changes[2].copySize, 9u);
    EXPECT_STREQ(restore::operationKey(point.changes[2].type), "OpModification");
    ASSERT_EQ(point.problems.size(), 1u); // D's log has a stray byte after its entry
    EXPECT_EQ(point.problems[0].file, d + "change.log");
    EXPECT_STREQ(point.problems[0].key, "JournalTronque");
    EXPECT_EQ(restore::sortedByPath(point.changes)[1].path, "C:\\WINDOWS\\win.ini");
    EXPECT_TRUE(restore::matchesFilter(point.changes[2], "WIN.i"));
    EXPECT_FALSE(restore::matchesFilter(point.changes[1], "win"));
}

} // namespace
