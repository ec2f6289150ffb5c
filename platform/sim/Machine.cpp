#include "platform/sim/Machine.h"

#include "platform/Error.h"
#include "platform/sim/MachineJson.h"
#include "platform/sim/Services.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::sim {

namespace fs = std::filesystem;

namespace {

const char* const kDefaultProgramFolder = "C:\\Program Files\\Kestrafen";

std::string nonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

fs::path homeFolder() {
    std::string home = nonEmptyEnv("HOME");
    if (home.empty()) {
        if (const passwd* pw = getpwuid(getuid()))
            home = pw->pw_dir;
    }
    return home;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Copies the sample next to the target under a temporary name and renames it into place, so an
// interrupted copy never leaves a half machine that would later be taken for a whole one.
void copySampleInto(const fs::path& sample, const fs::path& folder) {
    std::string pattern = folder.string() + ".new-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw Error("Unable to create the machine folder " + folder.string() + ": " + std::strerror(errno));
    const fs::path staging = pattern;
    std::error_code ec;
    fs::copy(sample, staging, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    if (!ec && renameat2(AT_FDCWD, staging.c_str(), AT_FDCWD, folder.c_str(), RENAME_NOREPLACE) != 0)
        ec = std::error_code(errno, std::generic_category());
    if (ec) {
        fs::remove_all(staging);
        if (ec.value() == EEXIST && fs::exists(folder))
            return; // made meanwhile by someone else: theirs stays
        throw Error("Unable to create the machine folder " + folder.string() + ": " + ec.message());
    }
}

} // namespace

std::optional<std::string> readWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return bytes.str();
}

void writeFileAtomically(const fs::path& path, const std::string& bytes) {
    const std::string failure = "Unable to write to " + path.string();
    std::string temp = path.string() + ".tmp-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        throw Error(failure);
    // mkstemp makes the file private; keep the mode of the file replaced, or the usual 0644.
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    const bool written = fchmod(fd, mode) == 0 && writeAll(fd, bytes) && fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        throw Error(failure);
    }
}

fs::path Machine::defaultFolder() {
    if (std::string machine = nonEmptyEnv("KESTRAFEN_MACHINE"); !machine.empty())
        return machine;
    fs::path data = nonEmptyEnv("XDG_DATA_HOME");
    if (data.empty() || data.is_relative()) // relative values are to be ignored (XDG base directories)
        data = homeFolder() / ".local" / "share";
    return data / "kestrafen" / "machine";
}

fs::path Machine::sampleFolder() {
    return KESTRAFEN_SAMPLE_MACHINE;
}

void Machine::ensureExists(const fs::path& folder) {
    std::error_code ec;
    if (fs::symlink_status(folder, ec).type() != fs::file_type::not_found)
        return;
    const fs::path sample = sampleFolder();
    if (!fs::is_regular_file(sample / "machine.json"))
        throw Error("The sample machine is missing: " + (sample / "machine.json").string());
    if (folder.has_parent_path()) {
        fs::create_directories(folder.parent_path(), ec);
        if (ec)
            throw Error("Unable to create the machine folder " + folder.string() + ": " + ec.message());
    }
    copySampleInto(sample, folder);
}

Machine::Machine(fs::path folder, std::unique_ptr<Clock> clock)
    : folder_(std::move(folder)), clock_(std::move(clock)) {
    loadState();
    const fs::path regPath = folder_ / "registry.reg";
    if (fs::exists(regPath)) {
        auto bytes = readWholeFile(regPath);
        if (!bytes)
            throw Error("Unable to read " + regPath.string());
        registry_ = RegFile::parse(*bytes, regPath.string());
    }
    paths_ = std::make_unique<WinPath>(folder_, programFolder());
    adoptTimeZone();

    environment_ = std::make_unique<SimEnvironment>(*this);
    files_ = std::make_unique<SimFileSystem>(*this);
    profile_ = std::make_unique<SimProfile>(*this, *files_);
    registryService_ = std::make_unique<SimRegistry>(*this);
    systemRestore_ = std::make_unique<SimSystemRestore>(*this);
    shell_ = std::make_unique<SimShell>(*this);
    cabinet_ = std::make_unique<SimCabinet>(*this);
    download_ = std::make_unique<SimDownload>(*this);
    process_ = std::make_unique<SimProcess>(*this);
    restoreStore_ = std::make_unique<SimRestoreStore>(*this);
}

Machine::~Machine() = default;

void Machine::loadState() {
    const fs::path path = folder_ / "machine.json";
    auto text = readWholeFile(path);
    if (!text)
        throw Error("Unable to read " + path.string());
    state_ = parseMachineJson(*text, path.string());
    rememberStateStamp();
}

namespace {

struct Stamp {
    std::int64_t timeNs = 0;
    std::uintmax_t size = 0;
    std::uintmax_t fileId = 0;
};

// One stat call: it runs at the start of every service call.
std::optional<Stamp> stampOf(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return Stamp{static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
                 static_cast<std::uintmax_t>(st.st_size), static_cast<std::uintmax_t>(st.st_ino)};
}

} // namespace

void Machine::rememberStateStamp() {
    const Stamp stamp = stampOf(folder_ / "machine.json").value_or(Stamp{});
    stateTime_ = stamp.timeNs;
    stateSize_ = stamp.size;
    stateFileId_ = stamp.fileId;
}

// Tools outside the program may edit machine.json between two looks at the machine. The file
// time alone can miss an edit made within one tick of the file system's clock; a same-sized
// edit in that tick is caught by the new file number that an atomic replacement brings.
void Machine::reloadStateIfChanged() {
    const auto stamp = stampOf(folder_ / "machine.json");
    if (!stamp || (stamp->timeNs == stateTime_ && stamp->size == stateSize_ && stamp->fileId == stateFileId_))
        return;
    loadState();
    paths_ = std::make_unique<WinPath>(folder_, programFolder());
}

platform::Platform Machine::platform() {
    return platform::Platform{*environment_,   *files_,        *profile_,      *registryService_,
                              *systemRestore_, *shell_,        *cabinet_,      *download_,
                              *process_,       *restoreStore_, programFolder()};
}

nlohmann::ordered_json Machine::srValue(const std::string& key) const {
    if (state_.contains("system_restore") && state_["system_restore"].contains(key))
        return state_["system_restore"][key];
    if (key == "points" || key == "monitored_drives_off")
        return nlohmann::ordered_json::array();
    if (key == "next_sequence_number") {
        long long highest = 0;
        for (const auto& point : srValue("points")) {
            if (point.contains("SequenceNumber") && point["SequenceNumber"].is_number_integer())
                highest = std::max(highest, point["SequenceNumber"].get<long long>());
        }
        return highest + 1;
    }
    if (key == "set_restore_point_succeeds" || key == "remove_restore_point_succeeds")
        return true;
    if (key == "connection_fails" || key == "automation_fails")
        return false;
    if (key == "point_after_enable_ms")
        return 1500;
    if (key == "srdiag_ms")
        return 2000;
    return nullptr; // pending_restore and anything unknown
}

void Machine::saveState() {
    writeFileAtomically(folder_ / "machine.json", state_.dump(2) + "\n");
    rememberStateStamp();
}

void Machine::saveRegistry() {
    writeFileAtomically(folder_ / "registry.reg", registry_.serialize());
}

void Machine::journal(const std::string& line) {
    const fs::path path = folder_ / "journal.log";
    std::string oneLine = line; // one request, one line, whatever text it carries
    std::replace(oneLine.begin(), oneLine.end(), '\r', ' ');
    std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << oneLine << '\n';
    out.flush();
    if (!out)
        throw Error("Unable to write to " + path.string());
}

void Machine::schedule(std::int64_t delayMs, std::function<void()> action) {
    timed_.push_back({clock_->nowMs() + delayMs, std::move(action)});
}

void Machine::runDueActions() {
    if (runningActions_ || inServiceCall_)
        return;
    reloadStateIfChanged();
    runningActions_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{runningActions_};
    for (;;) {
        const std::int64_t now = clock_->nowMs();
        // The earliest due action first; among equal times, the one scheduled first.
        auto due = std::min_element(timed_.begin(), timed_.end(),
                                    [](const Timed& a, const Timed& b) { return a.atMs < b.atMs; });
        if (due == timed_.end() || due->atMs > now)
            return;
        auto action = std::move(due->action);
        timed_.erase(due);
        action();
    }
}

std::string Machine::programFolder() const {
    std::string folder = kDefaultProgramFolder;
    if (state_.contains("program_folder") && state_["program_folder"].is_string())
        folder = state_["program_folder"].get<std::string>();
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder;
}

// The program runs on the machine, so it keeps the machine's clock settings: a French machine
// shows French local times whatever zone the Linux host is in. A TZ set for the process wins,
// as every environment variable of the process does.
void Machine::adoptTimeZone() {
    if (std::getenv("TZ") || !state_.contains("time_zone") || !state_["time_zone"].is_string())
        return;
    setenv("TZ", state_["time_zone"].get<std::string>().c_str(), 1);
    tzset();
}

int Machine::utcOffsetMinutes(std::int64_t unixSeconds) const {
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    tzset(); // localtime_r alone may keep a time zone read before TZ changed
    localtime_r(&t, &local);
    return static_cast<int>(local.tm_gmtoff / 60);
}

} // namespace platform::sim
