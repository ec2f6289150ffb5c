// Starting programs through Wine's shell32 and kernel32: the started command writes a file,
// which the test waits for, as the program waits for the files its commands make.
#include "Scratch.h"

#include <gtest/gtest.h>

#include <windows.h>

using platform::win32::Win32FileSystem;
using platform::win32::Win32Shell;
using testing_support::Scratch;

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

TEST(ShellTest, NoProgramOpensADocumentOfAnUnknownKind) {
    Win32Shell shell;
    Win32FileSystem files;
    Scratch scratch;
    files.writeFile(scratch.path() + "x.kestrafen-unknown", "");
    EXPECT_EQ(shell.findExecutable(scratch.path() + "x.kestrafen-unknown"), std::nullopt);
}
