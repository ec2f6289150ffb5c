#pragma once
// Starting programs. None of these waits for the started process; results are not examined
// by the program unless stated.
#include <optional>
#include <string>

namespace platform {

class Shell {
public:
    virtual ~Shell() = default;
    // The command runner: ShellExecute of "CMD" with these parameters ("/c ..."), hidden.
    virtual void runCommand(const std::string& parameters) = 0;
    // True while the last command run, or a program it started, has not ended: a file it writes
    // may still be incomplete.
    virtual bool commandRunning() = 0;
    // WinExec of a whole command line.
    virtual void winExec(const std::string& commandLine) = 0;
    // FindExecutable: the program that opens files of this kind (for "temp.htm", the browser).
    virtual std::optional<std::string> findExecutable(const std::string& file) = 0;
    // ShellExecute of a program with parameters, shown normally.
    virtual void start(const std::string& file, const std::string& parameters) = 0;
};

} // namespace platform
