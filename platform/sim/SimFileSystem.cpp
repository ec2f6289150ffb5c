#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/sim/Machine.h"
#include "platform/sim/Services.h"

#include <algorithm>
#include <ctime>
#include <sys/stat.h>

namespace platform::sim {

namespace fs = std::filesystem;

namespace {

// Tests and users make a folder read-only with chmod, but root (which the tests may run as)
// ignores permission bits. So an entry without any write bit counts as read-only for everyone;
// for other users the system's own check still applies on top of this one.
bool hasWriteBit(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// Without any read bit a file cannot be read, whoever runs the program (root included), so that
// an unreadable file can be had in any test.
bool hasReadBit(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & (S_IRUSR | S_IRGRP | S_IROTH)) != 0;
}

bool entryExists(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

bool isFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool isFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// A new entry may be made in (or one removed from) the folder that holds `path`.
bool parentAcceptsChanges(const fs::path& path) {
    const fs::path parent = path.parent_path();
    return isFolder(parent) && hasWriteBit(parent);
}

// A file without any write bit is a read-only file: it is neither replaced nor deleted.
bool isReadOnlyFile(const fs::path& path) {
    return isFile(path) && !hasWriteBit(path);
}

bool everyFolderAcceptsChanges(const fs::path& folder) {
    if (!hasWriteBit(folder))
        return false;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec) && !hasWriteBit(it->path()))
            return false;
    }
    return !ec;
}

} // namespace

bool SimFileSystem::fileExists(const std::string& path) const {
    m_.runDueActions();
    auto host = m_.paths().toHost(path);
    return host && isFile(*host);
}

bool SimFileSystem::folderExists(const std::string& path) const {
    m_.runDueActions();
    auto host = m_.paths().toHost(path);
    return host && isFolder(*host);
}

bool SimFileSystem::rename(const std::string& from, const std::string& to) {
    m_.runDueActions();
    auto source = m_.paths().toHost(from);
    auto target = m_.paths().toHost(to);
    if (!source || !target || !entryExists(*source) || entryExists(*target))
        return false;
    if (!parentAcceptsChanges(*source) || !parentAcceptsChanges(*target))
        return false;
    std::error_code ec;
    fs::rename(*source, *target, ec);
    return !ec;
}

bool SimFileSystem::copy(const std::string& from, const std::string& to) {
    Machine::ServiceCall call(m_); // its own read below looks at the machine no second time
    auto source = m_.paths().toHost(from);
    auto target = m_.paths().toHost(to);
    if (!source || !target || !isFile(*source) || isFolder(*target))
        return false;
    if (!parentAcceptsChanges(*target) || isReadOnlyFile(*target))
        return false;
    auto bytes = readFile(from);
    if (!bytes)
        return false;
    try {
        writeFileAtomically(*target, *bytes);
    } catch (const Error&) {
        return false;
    }
    return true;
}

bool SimFileSystem::deleteFile(const std::string& path) {
    m_.runDueActions();
    auto host = m_.paths().toHost(path);
    if (!host || !entryExists(*host) || isFolder(*host))
        return false;
    if (!parentAcceptsChanges(*host) || isReadOnlyFile(*host))
        return false;
    std::error_code ec;
    return fs::remove(*host, ec);
}

bool SimFileSystem::createFolder(const std::string& path) {
    m_.runDueActions();
    auto host = m_.paths().toHost(path);
    if (!host || entryExists(*host) || !parentAcceptsChanges(*host))
        return false;
    std::error_code ec;
    return fs::create_directory(*host, ec);
}

bool SimFileSystem::deleteTree(const std::string& path) {
    m_.runDueActions();
    auto host = m_.paths().toHost(path);
    if (!host || !isFolder(*host) || host->parent_path() == m_.paths().drivesFolder())
        return false; // missing, not a folder, or a whole drive
    if (!parentAcceptsChanges(*host))
        return false;
    std::error_code ec;
    if (fs::is_symlink(*host, ec)) // a link to a folder: the link goes, what it points to stays
        return fs::remove(*host, ec);
    // Checked first so that a read-only folder inside stops the deletion before anything is lost.
    if (!everyFolderAcceptsChanges(*host))
        return false;
    fs::remove_all(*host, ec); // removes links inside as links, never what they point to
    return !ec && !entryExists(*host);
}

std::optional<std::uint64_t> SimFileSystem::freeBytes(const std::string& root) const {
    m_.runDueActions();
    const std::string full = m_.paths().absolute(root);
    if (full.size() < 2 || full[1] != ':')
        return std::nullopt;
    const auto& state = m_.state();
    if (!state.contains("drives"))
        return std::nullopt;
    for (const auto& [letter, drive] : state["drives"].items()) {
        if (!text::equalsIgnoreCase(letter, full.substr(0, 1)))
            continue;
        if (drive.contains("free_bytes"))
            return drive["free_bytes"].get<std::uint64_t>();
        std::error_code ec;
        const fs::space_info space = fs::space(m_.paths().drivesFolder() / text::upper(letter), ec);
        if (ec)
            return std::nullopt;
        return space.available;
    }
    return std::nullopt;
}

std::string SimFileSystem::tempFolder() const {
    const std::string windir = m_.platform().environment.get("Windir").value_or("C:\\WINDOWS");
    const std::string folder = m_.paths().absolute(windir + "\\Temp") + "\\";
    if (auto host = m_.paths().toHost(folder)) {
        std::error_code ec;
        fs::create_directories(*host, ec); // as on Windows, the folder is there when asked for
    }
    return folder;
}

std::string SimFileSystem::currentFolder() const {
    m_.runDueActions();
    return m_.paths().currentFolder();
}

std::optional<std::string> SimFileSystem::readFile(const std::string& path) const {
    m_.runDueActions();
    auto host = m_.paths().toHost(path);
    if (!host || !isFile(*host) || !hasReadBit(*host))
        return std::nullopt;
    return readWholeFile(*host);
}

void SimFileSystem::writeFile(const std::string& path, const std::string& bytes) {
    m_.runDueActions();
    const Error failure = unableToWrite(m_.paths().absolute(path));
    auto host = m_.paths().toHost(path);
    if (!host || isFolder(*host) || !parentAcceptsChanges(*host) || isReadOnlyFile(*host))
        throw failure;
    try {
        writeFileAtomically(*host, bytes);
    } catch (const Error&) {
        throw failure;
    }
}

std::optional<FileStamp> SimFileSystem::stamp(const std::string& path) const {
    m_.runDueActions();
    auto host = m_.paths().toHost(path);
    struct stat st {};
    if (!host || ::stat(host->c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    // The file system's clock moves in ticks of a few milliseconds; allow for a coarse one.
    constexpr std::int64_t kTickNs = 20'000'000;
    const std::int64_t modified =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t nowNs = static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    return FileStamp{static_cast<std::uint64_t>(st.st_size), modified, static_cast<std::uint64_t>(st.st_ino),
                     nowNs - modified < kTickNs};
}

std::vector<std::string> SimFileSystem::list(const std::string& folder) const {
    m_.runDueActions();
    std::vector<std::string> names;
    auto host = m_.paths().toHost(folder);
    if (!host)
        return names;
    std::error_code ec;
    for (fs::directory_iterator it(*host, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    // The order NTFS lists a folder in: by name, without regard to case.
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return text::compareIgnoreCase(a, b) < 0; });
    return names;
}

bool SimFileSystem::inUse(const std::string& path) const {
    m_.runDueActions();
    const auto& state = m_.state();
    if (!state.contains("files_in_use"))
        return false;
    const std::string full = m_.paths().absolute(path);
    for (const auto& held : state["files_in_use"])
        if (held.is_string() && text::equalsIgnoreCase(m_.paths().absolute(held.get<std::string>()), full))
            return true;
    return false;
}

} // namespace platform::sim
