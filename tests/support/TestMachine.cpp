#include "support/TestMachine.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace testing_support {

namespace fs = std::filesystem;

namespace {

// Central European time as a rule, so no time zone database is needed.
const char* const kFrenchTimeZone = "CET-1CEST,M3.5.0,M10.5.0/3";

const char* const kBareMachine = R"({
  "environment": { "Windir": "C:\\WINDOWS", "SystemDrive": "C:",
                   "Userprofile": "C:\\Documents and Settings\\Utilisateur" },
  "program_folder": "C:\\Program Files\\Kestrafen",
  "drives": { "C": { "free_bytes": 8589934592 } },
  "system_restore": { "points": [] }
}
)";

std::string readHost(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeHost(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}

fs::path makeTempFolder() {
    std::string pattern = (fs::temp_directory_path() / "kestrafen-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    return pattern;
}

} // namespace

TestMachine::TestMachine(Start start) {
    setenv("TZ", kFrenchTimeZone, 1);
    tzset();
    folder = makeTempFolder() / "machine";
    if (start == Start::Sample) {
        platform::sim::Machine::ensureExists(folder);
    } else {
        fs::create_directories(folder / "drives" / "C" / "Program Files" / "Kestrafen");
        fs::create_directories(folder / "drives" / "C" / "WINDOWS");
        writeHost(folder / "machine.json", kBareMachine);
    }
    reopen();
}

TestMachine::~TestMachine() {
    machine.reset();
    std::error_code ec;
    // Tests make folders read-only; give the rights back so everything can go.
    for (fs::recursive_directory_iterator it(folder.parent_path(), ec), end; !ec && it != end;
         it.increment(ec))
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(folder.parent_path(), ec);
}

nlohmann::ordered_json& TestMachine::json() {
    const std::string text = readHost(folder / "machine.json");
    if (text != jsonText_) {
        json_ = nlohmann::ordered_json::parse(text);
        jsonText_ = text;
    }
    return json_;
}

void TestMachine::save() {
    platform::sim::writeFileAtomically(folder / "machine.json", json_.dump(2) + "\n");
    reopen();
}

void TestMachine::reopen() {
    // The new clock goes on from the old one's time, as the machine's time does not jump back.
    const std::int64_t now = clock ? clock->nowMs() : 0;
    machine.reset();
    clock = nullptr;
    auto fresh = std::make_unique<platform::sim::VirtualClock>();
    fresh->advance(now);
    platform::sim::VirtualClock* freshClock = fresh.get();
    machine = std::make_unique<platform::sim::Machine>(folder, std::move(fresh));
    clock = freshClock;
    jsonText_.clear();
    json();
}

fs::path TestMachine::host(const std::string& windowsPath) const {
    auto path = machine->paths().toHost(windowsPath);
    if (!path)
        throw std::runtime_error("not a path of the machine: " + windowsPath);
    return *path;
}

std::vector<std::string> TestMachine::journal() const {
    std::vector<std::string> lines;
    std::ifstream in(folder / "journal.log", std::ios::binary);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string TestMachine::read(const std::string& windowsPath) const {
    return readHost(host(windowsPath));
}

void TestMachine::write(const std::string& windowsPath, const std::string& bytes) {
    writeHost(host(windowsPath), bytes);
}

} // namespace testing_support
