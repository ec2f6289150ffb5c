// Starting programs through Wine's shell32 and kernel32: the started command writes a file,
// which the test waits for, as the program waits for the files its commands make.
#include "Scratch.h"

#include <gtest/gtest.h>

#include <windows.h>

using platform::win32::Win32Cabinet;
using platform::win32::Win32FileSystem;
using platform::win32::Win32Shell;
using testing_support::Scratch;
using testing_support::scriptSetting;

namespace {

// Polls for at most ten seconds for a file holding a whole line; what it holds by then.
std::string lineWritten(const Win32FileSystem& files, const std::string& path) {
    std::string content;
    for (int i = 0; i < 200; ++i) {
        content = files.readFile(path).value_or("");
        if (content.size() >= 2 && content.compare(content.size() - 2, 2, "\r\n") == 0)
            break;
        Sleep(50);
    }
    return content;
}

// Waits at most ten seconds for the last command, and what it started, to end.
bool commandEnds(Win32Shell& shell) {
    for (int i = 0; i < 200 && shell.commandRunning(); ++i)
        Sleep(50);
    return !shell.commandRunning();
}

} // namespace

TEST(ShellTest, TheCommandRunnerAndWinExecStartTheCommandInterpreter) {
    Win32Shell shell;
    Win32FileSystem files;
    Scratch scratch;
    shell.runCommand("/c echo runner> \"" + scratch.path() + "runner.txt\"");
    shell.winExec("cmd /c echo winexec> \"" + scratch.path() + "winexec.txt\"");
    EXPECT_EQ(lineWritten(files, scratch.path() + "runner.txt"), "runner\r\n");
    EXPECT_EQ(lineWritten(files, scratch.path() + "winexec.txt"), "winexec\r\n");
}

TEST(ShellTest, ACommandRunsUntilTheProgramsItStartedHaveEnded) {
    Win32Shell shell;
    Win32FileSystem files;
    Scratch scratch;
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    // The second line comes after another program has run to its end.
    const std::string log = "\"" + scratch.path() + "log.txt\"";
    shell.runCommand("/c echo one>" + log + "& \"" + self + "\" --gtest_list_tests >nul& echo two>>" + log);
    ASSERT_TRUE(commandEnds(shell));
    EXPECT_EQ(files.readFile(scratch.path() + "log.txt"), "one\r\ntwo\r\n");
}

// wine_test.sh plants programs that leave a mark (cmd.com, regsvr32.bat, rundll32.exe, cabinet.dll)
// in the working folder and beside this executable, and fails when one of them ran.
TEST(PlantedTest, ProgramsAndLibrariesComeFromTheSystemFolderOnly) {
    if (scriptSetting("KESTRAFEN_CABINETS").empty())
        GTEST_SKIP() << "run by wine_test.sh, which plants the programs";
    Win32Shell shell;
    Win32FileSystem files;
    Scratch scratch;
    shell.runCommand("/c regsvr32 /s kestrafen-none.dll");
    EXPECT_TRUE(commandEnds(shell));
    shell.winExec("rundll32.exe kestrafen-none.dll,None");
    shell.runCommand("/c echo interpreter> \"" + scratch.path() + "cmd.txt\"");
    EXPECT_EQ(lineWritten(files, scratch.path() + "cmd.txt"), "interpreter\r\n");
    Win32Cabinet().extract(scriptSetting("KESTRAFEN_CABINETS") + "good.cab", scratch.path() + "res");
    EXPECT_TRUE(files.fileExists(scratch.path() + "res\\SR-ChgLog.LOG"));
}

TEST(ShellTest, NoProgramOpensADocumentOfAnUnknownKind) {
    Win32Shell shell;
    Win32FileSystem files;
    Scratch scratch;
    files.writeFile(scratch.path() + "x.kestrafen-unknown", "");
    EXPECT_EQ(shell.findExecutable(scratch.path() + "x.kestrafen-unknown"), std::nullopt);
}
