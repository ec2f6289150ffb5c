// Starting programs through Wine's shell32 and kernel32: the started command writes a file,
// which the test waits for, as the program waits for the files its commands make.
#include "Scratch.h"

#include <gtest/gtest.h>

#include <windows.h>

using platform::win32::Win32FileSystem;
using platform::win32::Win32Shell;
using testing_support::Scratch;

namespace {

// Polls for a file for at most ten seconds.
bool appears(const Win32FileSystem& files, const std::string& path) {
    for (int i = 0; i < 200; ++i) {
        if (files.fileExists(path))
            return true;
        Sleep(50);
    }
    return false;
}

} // namespace

TEST(ShellTest, TheCommandRunnerAndWinExecStartTheCommandInterpreter) {
    Win32Shell shell;
    Win32FileSystem files;
    Scratch scratch;
    shell.runCommand("/c echo runner> \"" + scratch.path() + "runner.txt\"");
    shell.winExec("cmd /c echo winexec> \"" + scratch.path() + "winexec.txt\"");
    ASSERT_TRUE(appears(files, scratch.path() + "runner.txt"));
    ASSERT_TRUE(appears(files, scratch.path() + "winexec.txt"));
    Sleep(200); // the echo may still be writing
    EXPECT_EQ(files.readFile(scratch.path() + "runner.txt"), "runner\r\n");
    EXPECT_EQ(files.readFile(scratch.path() + "winexec.txt"), "winexec\r\n");
}

TEST(ShellTest, NoProgramOpensADocumentOfAnUnknownKind) {
    Win32Shell shell;
    Win32FileSystem files;
    Scratch scratch;
    files.writeFile(scratch.path() + "x.kestrafen-unknown", "");
    EXPECT_EQ(shell.findExecutable(scratch.path() + "x.kestrafen-unknown"), std::nullopt);
}
