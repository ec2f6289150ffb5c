// Cabinets as the diagnostic tool writes them and as the program unpacks them, including hostile
// and damaged ones.
#include "platform/DeviceNames.h"
#include "platform/Error.h"
#include "platform/sim/Services.h"
#include "platform/sim/Srdiag.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using platform::sim::extractCabinet;
using platform::sim::writeCabinet;

namespace {

class Sandbox : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kestrafen-cab-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
    }
    void TearDown() override { fs::remove_all(root); }

    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void write(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    // Every file and folder below a folder, relative to it.
    static std::set<std::string> tree(const fs::path& folder) {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            names.insert(fs::relative(entry.path(), folder).string());
        }
        return names;
    }
    // Bytes that do not compress, so the cabinet is as large as its content.
    static std::string noise(std::size_t size) {
        std::mt19937 random(42);
        std::string bytes(size, '\0');
        for (auto& byte : bytes) {
            byte = static_cast<char>(random() & 0xff);
        }
        return bytes;
    }
    std::string errorOf(const fs::path& cabinet, const fs::path& folder) {
        try {
            extractCabinet(cabinet, folder, "C:\\Kestrafen\\res.cab", "C:\\Kestrafen\\res");
        } catch (const platform::Error& e) {
            return e.what();
        }
        return "no error";
    }

    fs::path root;
};

using CabinetRoundTrip = Sandbox;

TEST_F(CabinetRoundTrip, EveryFileComesBackByteForByteUnderItsStoredName) {
    std::string log;
    for (int i = 0; log.size() < 300 * 1024; ++i) {
        log += "RPDir=RP" + std::to_string(i % 40) + ",Drive=C:\\,EventString=File Create,Path1=C:\\x" +
               std::to_string(i) + ".dll,Path2=,Temp=\xe9t\xe9\r\n";
    }
    const std::string binary = noise(70000) + std::string(3, '\0');
    writeCabinet(root / "res.cab", {{"SR-ChgLog.LOG", log},
                                    {"binary.dat", binary},
                                    {"empty.log", ""},
                                    {"Logs\\Deep\\nested.log", "nested"}});

    extractCabinet(root / "res.cab", root / "out" / "res", "res.cab", "res");

    const fs::path res = root / "out" / "res";
    EXPECT_EQ(read(res / "SR-ChgLog.LOG"), log);
    EXPECT_EQ(read(res / "binary.dat"), binary);
    EXPECT_EQ(read(res / "Logs" / "Deep" / "nested.log"), "nested");
    EXPECT_TRUE(fs::is_regular_file(res / "empty.log"));
    EXPECT_EQ(fs::file_size(res / "empty.log"), 0u);
    EXPECT_EQ(tree(res), (std::set<std::string>{"SR-ChgLog.LOG", "binary.dat", "empty.log", "Logs",
                                                "Logs/Deep", "Logs/Deep/nested.log"}));
}

TEST_F(CabinetRoundTrip, ExtractingReplacesOlderFilesAndKeepsOthers) {
    fs::create_directories(root / "res");
    write(root / "res" / "SR-ChgLog.LOG", "an older and much longer log than the new one");
    write(root / "res" / "keep.txt", "mine");
    writeCabinet(root / "res.cab", {{"SR-ChgLog.LOG", "new"}});

    extractCabinet(root / "res.cab", root / "res", "res.cab", "res");

    EXPECT_EQ(read(root / "res" / "SR-ChgLog.LOG"), "new");
    EXPECT_EQ(read(root / "res" / "keep.txt"), "mine");
    EXPECT_EQ(tree(root / "res"), (std::set<std::string>{"SR-ChgLog.LOG", "keep.txt"}));
}

TEST_F(CabinetRoundTrip, WritingReplacesAnOldCabinetAndLeavesNoTemporaryFile) {
    write(root / "res.cab", "old");
    writeCabinet(root / "res.cab", {{"a.txt", "A"}});

    EXPECT_EQ(tree(root), std::set<std::string>{"res.cab"});
    extractCabinet(root / "res.cab", root / "res", "res.cab", "res");
    EXPECT_EQ(read(root / "res" / "a.txt"), "A");
}

TEST_F(CabinetRoundTrip, WritingIntoAMissingFolderFailsNamingTheCabinet) {
    const fs::path cab = root / "missing" / "res.cab";
    try {
        writeCabinet(cab, {{"a.txt", "A"}});
        FAIL() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_NE(std::string(e.what()).find(cab.string()), std::string::npos) << e.what();
    }
    EXPECT_EQ(tree(root), std::set<std::string>{});
}

class HostileEntry : public Sandbox, public ::testing::WithParamInterface<const char*> {};

TEST_P(HostileEntry, IsRefusedBeforeAnythingIsWritten) {
    const std::string entry = GetParam();
    // libgcab stores "/" as "\": a name with "/" is patched into the cabinet afterwards.
    std::string standIn = entry;
    std::replace(standIn.begin(), standIn.end(), '/', '#');
    // The harmless entry comes first: it must not be unpacked either.
    writeCabinet(root / "bad.cab", {{"good.txt", "good"}, {standIn, "evil"}});
    std::string bytes = read(root / "bad.cab");
    bytes.replace(bytes.find(standIn), standIn.size(), entry);
    write(root / "bad.cab", bytes);
    fs::create_directories(root / "box");

    EXPECT_EQ(errorOf(root / "bad.cab", root / "box" / "res"),
              "C:\\Kestrafen\\res.cab: unsafe file name '" + entry + "' in cabinet");

    EXPECT_EQ(tree(root), (std::set<std::string>{"bad.cab", "box"}));
    EXPECT_FALSE(fs::exists("/abs.txt") && read("/abs.txt") == "evil");
}

INSTANTIATE_TEST_SUITE_P(Names, HostileEntry,
                         ::testing::Values("..\\evil.txt", "\\abs.txt", "C:\\drive.txt",
                                           "sub\\..\\..\\evil.txt", "/abs.txt", "sub/../../evil.txt",
                                           "C:drive.txt", "..", "good\\..", "file.txt:stream", "CON",
                                           "logs\\nul.log", "Com1", "LPT9.txt", "aux .x", "CONOUT$"));

TEST(DeviceNames, OnlyTheNamesWindowsKeepsForDevices) {
    for (const char* device : {"CON", "con", "PRN.txt", "AUX", "NUL.tar.gz", "COM1", "com9", "LPT1.log",
                               "CLOCK$", "CONIN$", "nul  ", "Con .txt", "COM¹", "lpt³.txt", "COM²"})
        EXPECT_TRUE(platform::isDeviceName(device)) << device;
    for (const char* file :
         {"CONSOLE", "COM0", "COM10", "LPT", "xNUL", "NUL_", "SR-ChgLog.LOG", "", ".CON", "COMx", "COM⁴"})
        EXPECT_FALSE(platform::isDeviceName(file)) << file;
}

TEST_F(Sandbox, ALinkInsideTheFolderCannotLeadEntriesOutside) {
    fs::create_directories(root / "res");
    fs::create_directories(root / "elsewhere");
    fs::create_directory_symlink(root / "elsewhere", root / "res" / "link");
    writeCabinet(root / "res.cab", {{"link\\x.txt", "evil"}});

    EXPECT_EQ(errorOf(root / "res.cab", root / "res"),
              "C:\\Kestrafen\\res.cab: unsafe file name 'link\\x.txt' in cabinet");
    EXPECT_TRUE(fs::is_empty(root / "elsewhere"));
}

using DamagedCabinet = Sandbox;

TEST_F(DamagedCabinet, AMissingCabinetIsNamed) {
    EXPECT_EQ(errorOf(root / "res.cab", root / "res"), "C:\\Kestrafen\\res.cab: the cabinet does not exist");
    EXPECT_FALSE(fs::exists(root / "res"));
}

TEST_F(DamagedCabinet, AFileThatIsNoCabinetIsNamed) {
    write(root / "res.cab", std::string(200, ' ') + "This is a log, not a cabinet.\r\n");
    EXPECT_EQ(errorOf(root / "res.cab", root / "res"),
              "C:\\Kestrafen\\res.cab: cannot read the cabinet: not a cabinet file");
    EXPECT_FALSE(fs::exists(root / "res"));
}

TEST_F(DamagedCabinet, ATruncatedCabinetFailsAndLeavesTheOldFilesAlone) {
    writeCabinet(root / "res.cab", {{"small.txt", "small"}, {"SR-ChgLog.LOG", noise(300 * 1024)}});
    fs::resize_file(root / "res.cab", fs::file_size(root / "res.cab") / 2);
    fs::create_directories(root / "res");
    write(root / "res" / "SR-ChgLog.LOG", "previous log");

    const std::string error = errorOf(root / "res.cab", root / "res");

    EXPECT_EQ(error.rfind("C:\\Kestrafen\\res.cab: ", 0), 0u) << error;
    EXPECT_EQ(read(root / "res" / "SR-ChgLog.LOG"), "previous log");
    // Not even the file that was whole is published: the extraction failed as one.
    EXPECT_EQ(tree(root / "res"), std::set<std::string>{"SR-ChgLog.LOG"});
}

TEST_F(DamagedCabinet, AFlippedByteIsReported) {
    writeCabinet(root / "res.cab", {{"SR-ChgLog.LOG", noise(100 * 1024)}});
    std::string bytes = read(root / "res.cab");
    bytes[bytes.size() / 2] ^= 0x10;
    write(root / "res.cab", bytes);

    EXPECT_EQ(
        errorOf(root / "res.cab", root / "res"),
        "C:\\Kestrafen\\res.cab: cannot unpack 'SR-ChgLog.LOG': a checksum does not match, the cabinet is "
        "damaged");
    EXPECT_FALSE(fs::exists(root / "res"));
}

// Each failure is seen before any file is published, leaves no folder it made, and names the
// Windows paths only.
TEST_F(DamagedCabinet, AFailedExtractionPublishesNothingAndLeavesNoFolderBehind) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> entries;
        std::string error;
        bool truncate = false;
        std::string existingFolder; // below res, before the extraction
    };
    const std::vector<Case> cases = {
        {{{"x\\y", "inner"}, {"x", "outer"}},
         "the cabinet holds both a file and a folder named 'x'",
         false,
         ""},
        {{{"a\\b\\c", "deep"}, {"a\\b", "file"}},
         "the cabinet holds both a file and a folder named 'a\\b'",
         false,
         ""},
        {{{"Logs\\Deep\\small.txt", "small"}, {"Logs\\Deep\\big.log", noise(300 * 1024)}}, "", true, ""},
        {{{"new\\a.txt", "A"}, {"old", "B"}},
         "cannot unpack 'old': a folder of that name is in C:\\Kestrafen\\res",
         false,
         "old"},
    };
    for (const Case& c : cases) {
        fs::remove_all(root / "res");
        writeCabinet(root / "res.cab", c.entries);
        if (c.truncate)
            fs::resize_file(root / "res.cab", fs::file_size(root / "res.cab") / 2);
        if (!c.existingFolder.empty())
            fs::create_directories(root / "res" / c.existingFolder);

        const std::string error = errorOf(root / "res.cab", root / "res");

        EXPECT_EQ(error.rfind("C:\\Kestrafen\\res.cab: ", 0), 0u) << error;
        if (!c.error.empty()) {
            EXPECT_EQ(error, "C:\\Kestrafen\\res.cab: " + c.error);
        }
        EXPECT_EQ(error.find(root.string()), std::string::npos) << error;
        if (c.existingFolder.empty()) {
            EXPECT_FALSE(fs::exists(root / "res")) << error;
        } else {
            EXPECT_EQ(tree(root / "res"), std::set<std::string>{c.existingFolder}) << error;
        }
    }
}

TEST_F(DamagedCabinet, AnUnwritableDestinationIsNamedByItsWindowsPath) {
    writeCabinet(root / "res.cab", {{"sub\\a.txt", "A"}});
    write(root / "res", "a file where the folder should be");
    const std::string error = errorOf(root / "res.cab", root / "res" / "inner");
    EXPECT_EQ(error.rfind("C:\\Kestrafen\\res.cab: cannot unpack the cabinet into C:\\Kestrafen\\res (", 0),
              0u)
        << error;
    EXPECT_EQ(read(root / "res"), "a file where the folder should be");
}

TEST(MachineCabinet, UnpacksByWindowsPathsRelativeToTheProgramFolder) {
    testing_support::TestMachine tm(testing_support::TestMachine::Start::Bare);
    writeCabinet(tm.host("C:\\Program Files\\Kestrafen\\res.cab"), {{"SR-ChgLog.LOG", "RPDir=RP1"}});

    tm.machine->platform().cabinet.extract("res.cab", "res");

    EXPECT_EQ(tm.read("C:\\Program Files\\Kestrafen\\res\\SR-ChgLog.LOG"), "RPDir=RP1");
}

TEST(MachineCabinet, AMissingCabinetIsNamedByItsWindowsPath) {
    testing_support::TestMachine tm(testing_support::TestMachine::Start::Bare);
    try {
        tm.machine->platform().cabinet.extract("res.cab", "res");
        FAIL() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_STREQ(e.what(), "C:\\Program Files\\Kestrafen\\res.cab: the cabinet does not exist");
    }
    EXPECT_FALSE(fs::exists(tm.host("C:\\Program Files\\Kestrafen\\res")));
}

} // namespace
