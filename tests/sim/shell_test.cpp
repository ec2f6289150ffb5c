// The command runner and shell of the machine: what is journalled, the diagnostic tool's cabinet
// and the browser lookup.
#include "platform/sim/Services.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using testing_support::TestMachine;

namespace {

const std::string kCabinet = "C:\\Program Files\\Kestrafen\\res.cab";
const std::string kSrdiag = "/c C:\\WINDOWS\\system32\\Restore\\srdiag.exe /CabName:res.cab";

std::string readHost(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class ShellTest : public ::testing::Test {
protected:
    TestMachine tm;
    platform::Shell& shell = tm.machine->platform().shell;
    platform::Process& process = tm.machine->platform().process;
    platform::FileSystem& files = tm.machine->platform().files;

    // The cabinet unpacked into a folder beside the machine.
    fs::path unpack() {
        const fs::path folder = tm.folder.parent_path() / "unpacked";
        platform::sim::extractCabinet(tm.host(kCabinet), folder, kCabinet, "unpacked");
        return folder;
    }
};

TEST_F(ShellTest, DiagnosticToolWritesTheCabinetInTheCurrentFolderWhenItsTimeHasCome) {
    shell.runCommand(kSrdiag);
    EXPECT_EQ(tm.journal(), std::vector<std::string>{"CMD " + kSrdiag});

    process.sleep(1999);
    EXPECT_FALSE(files.fileExists(kCabinet));
    process.sleep(1);
    ASSERT_TRUE(files.fileExists(kCabinet));

    const fs::path folder = unpack();
    EXPECT_EQ(readHost(folder / "SR-ChgLog.LOG"), readHost(tm.folder / "sr-chglog.log"));
    EXPECT_GT(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(ShellTest, DiagnosticToolPathMayStillHoldTheWindowsFolderVariable) {
    fs::remove(tm.folder / "sr-chglog.log");
    shell.runCommand("/c %Windir%\\system32\\Restore\\srdiag.exe /CabName:res.cab");
    process.sleep(2000);
    ASSERT_TRUE(files.fileExists(kCabinet));
    EXPECT_FALSE(fs::exists(unpack() / "SR-ChgLog.LOG")); // no change log on the machine: none packed
}

TEST_F(ShellTest, NoDiagnosticToolMeansNoCabinet) {
    ASSERT_TRUE(files.deleteFile("C:\\WINDOWS\\system32\\Restore\\srdiag.exe"));
    shell.runCommand(kSrdiag);
    process.sleep(60000);
    EXPECT_FALSE(files.fileExists(kCabinet));
    EXPECT_EQ(tm.journal(), std::vector<std::string>{"CMD " + kSrdiag});
}

TEST_F(ShellTest, OtherCommandsAreJournalledAndChangeNothing) {
    const std::string machineBefore = readHost(tm.folder / "machine.json");
    const std::string registryBefore = readHost(tm.folder / "registry.reg");

    shell.runCommand("/c regsvr32 /s jscript.dll");
    shell.runCommand("/c sc config srservice start= auto");
    shell.winExec("rundll32.exe advpack.dll,LaunchINFSection C:\\WINDOWS\\inf\\sr.inf,DefaultInstall");
    shell.start("C:\\Program Files\\Internet Explorer\\iexplore.exe", "http://127.0.0.1:8642/");
    process.sleep(10000);

    EXPECT_EQ(tm.journal(),
              (std::vector<std::string>{
                  "CMD /c regsvr32 /s jscript.dll", "CMD /c sc config srservice start= auto",
                  "WinExec rundll32.exe advpack.dll,LaunchINFSection C:\\WINDOWS\\inf\\sr.inf,DefaultInstall",
                  "ShellExecute C:\\Program Files\\Internet Explorer\\iexplore.exe http://127.0.0.1:8642/"}));
    EXPECT_EQ(readHost(tm.folder / "machine.json"), machineBefore);
    EXPECT_EQ(readHost(tm.folder / "registry.reg"), registryBefore);
}

TEST_F(ShellTest, TheBrowserIsTheMachinesOwnAndOpensExistingPagesOnly) {
    const std::string page = files.tempFolder() + "temp.htm", text = files.tempFolder() + "temp.txt";
    EXPECT_EQ(page, "C:\\WINDOWS\\Temp\\temp.htm");
    EXPECT_EQ(shell.findExecutable(page), std::nullopt); // not there yet
    files.writeFile(page, "");
    files.writeFile(text, "");
    EXPECT_EQ(shell.findExecutable(page), "C:\\Program Files\\Internet Explorer\\iexplore.exe");
    EXPECT_EQ(shell.findExecutable(text), std::nullopt);
    tm.json().erase("browser");
    tm.save();
    EXPECT_EQ(tm.machine->platform().shell.findExecutable("C:\\WINDOWS\\Temp\\temp.htm"), std::nullopt);
}

} // namespace
