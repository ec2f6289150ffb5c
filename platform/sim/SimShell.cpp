#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/sim/Machine.h"
#include "platform/sim/Services.h"
#include "platform/sim/SrService.h"
#include "platform/sim/Srdiag.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <utility>
#include <vector>

namespace platform::sim {

namespace fs = std::filesystem;

namespace {

// Splits a command line at blanks; double quotes group blanks into one word and are dropped.
std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> out;
    std::string word;
    bool quoted = false, inWord = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                out.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        out.push_back(word);
    return out;
}

// "C:\WINDOWS\system32\shutdown.exe" -> "shutdown"
std::string programName(const std::string& command) {
    std::string name = command.substr(command.find_last_of("\\/") + 1);
    const std::string upperName = text::upper(name);
    if (upperName.size() > 4 && upperName.compare(upperName.size() - 4, 4, ".EXE") == 0)
        name.resize(name.size() - 4);
    return text::upper(name);
}

bool startsWithIgnoreCase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && text::equalsIgnoreCase(s.substr(0, prefix.size()), prefix);
}

// cmd expands %Windir% before starting the program; the program may have done it already.
std::string expandWindir(const std::string& path, const std::string& windir) {
    const std::string variable = "%Windir%";
    if (startsWithIgnoreCase(path, variable))
        return windir + path.substr(variable.size());
    return path;
}

std::optional<std::string> readHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The service's own registry keys, as the diagnostic tool dumps them.
std::string registryDump(Machine& m) {
    RegFile subset;
    for (const RegKeyData& key : m.registryFile().keys()) {
        const bool wanted =
            startsWithIgnoreCase(key.path, service::kServiceKey) ||
            startsWithIgnoreCase(key.path,
                                 "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\"
                                 "SystemRestore");
        if (wanted)
            subset.create(key.path).values = key.values;
    }
    return subset.serialize();
}

std::string restorePointList(Machine& m) {
    std::string out;
    for (const auto& point : m.srValue("points")) {
        std::string line;
        for (const auto& [name, value] : point.items())
            line += name + "=" + (value.is_string() ? value.get<std::string>() : value.dump()) + "; ";
        out += text::toCp1252(line) + "\r\n";
    }
    return out;
}

// What srdiag.exe leaves behind: a cabinet of the service's logs in the current folder.
void writeDiagnosticCabinet(Machine& m, const fs::path& cabinet) {
    std::vector<std::pair<std::string, std::string>> files;
    if (auto changeLog = readHostFile(m.folder() / "sr-chglog.log"))
        files.emplace_back("SR-ChgLog.LOG", *changeLog);
    files.emplace_back("RestorePoints.log", restorePointList(m));
    files.emplace_back("SR-Registry.log", registryDump(m));
    const std::int64_t now = m.clock().unixSeconds();
    files.emplace_back("SrDiag.log", "SrDiag run " + service::cimDateTime(now, m.utcOffsetMinutes(now)) +
                                         "\r\nCabinet: " + cabinet.filename().string() + "\r\n");
    try {
        writeCabinet(cabinet, files);
    } catch (const Error& e) {
        // A tool that fails leaves no cabinet, and the program is not told; say why on the console.
        std::cerr << "srdiag.exe: " << e.what() << '\n';
    }
}

// Runs until its cabinet is whole; when that will be, on the machine's clock.
std::int64_t runDiagnosticTool(Machine& m, const std::vector<std::string>& command) {
    const std::int64_t now = m.clock().nowMs();
    const std::string windir = m.platform().environment.get("Windir").value_or("C:\\WINDOWS");
    if (!m.files().fileExists(expandWindir(command[0], windir)))
        return now; // cmd reports an unknown program; nothing is made
    std::string cabName = "SrDiag.cab";
    for (const std::string& word : command) {
        if (startsWithIgnoreCase(word, "/CabName:"))
            cabName = word.substr(9);
    }
    auto cabinet = m.paths().toHost(cabName);
    if (!cabinet)
        return now;
    Machine* machine = &m;
    const std::int64_t runMs = m.srValue("srdiag_ms").get<std::int64_t>();
    m.schedule(runMs, [machine, host = *cabinet] { writeDiagnosticCabinet(*machine, host); });
    return now + runMs;
}

bool asksForRestart(const std::vector<std::string>& command) {
    for (const std::string& word : command) {
        if (word == "-r" || word == "/r" || word == "-R" || word == "/R")
            return true;
    }
    return false;
}

} // namespace

void SimShell::runCommand(const std::string& parameters) {
    m_.runDueActions();
    m_.journal("CMD " + parameters);
    std::vector<std::string> command = words(parameters);
    if (command.empty() ||
        !(text::equalsIgnoreCase(command[0], "/c") || text::equalsIgnoreCase(command[0], "/k")))
        return;
    command.erase(command.begin());
    if (command.empty())
        return;
    const std::string program = programName(command[0]);
    commandEndsAtMs_ = m_.clock().nowMs();
    if (program == "SHUTDOWN" && asksForRestart(command))
        service::restart(m_);
    else if (program == "SRDIAG")
        commandEndsAtMs_ = runDiagnosticTool(m_, command);
    // regsvr32, sc, rundll32 and the rest change nothing on this machine.
}

bool SimShell::commandRunning() {
    m_.runDueActions();
    return m_.clock().nowMs() < commandEndsAtMs_;
}

void SimShell::winExec(const std::string& commandLine) {
    m_.runDueActions();
    m_.journal("WinExec " + commandLine);
}

std::optional<std::string> SimShell::findExecutable(const std::string& file) {
    m_.runDueActions();
    // As FindExecutable: the document must exist, and only web pages open in the browser.
    const std::string upperName = text::upper(file);
    if (!(upperName.ends_with(".HTM") || upperName.ends_with(".HTML")) || !m_.files().fileExists(file))
        return std::nullopt;
    const auto& state = m_.state();
    if (state.contains("browser"))
        return state["browser"].get<std::string>();
    return std::nullopt;
}

void SimShell::start(const std::string& file, const std::string& parameters) {
    m_.runDueActions();
    m_.journal("ShellExecute " + file + " " + parameters);
}

} // namespace platform::sim
