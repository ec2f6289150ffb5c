#include "restore/FileRecovery.h"

#include "platform/DeviceNames.h"
#include "platform/Error.h"
#include "platform/Text.h"

#include <optional>
#include <string_view>
#include <variant>

namespace restore {

namespace {

Recovery refused(const char* key, std::string detail) {
    return {Recovery::Status::Refused, key, std::move(detail), {}, {}};
}

std::string folderOf(const std::string& path) {
    return path.substr(0, path.rfind('\\'));
}

std::string nameOf(const std::string& path) {
    return path.substr(path.rfind('\\') + 1);
}

// The copy's bytes, or why there are none.
std::variant<std::string, Recovery> copyBytes(platform::RestoreStore& store, const FileChange& change) {
    if (change.copyName.empty())
        return refused(change.type & (EntryFileCreate | EntryStreamCreate) ? "RecupCree" : "RecupSansCopie",
                       change.path);
    if (!isCopyName(change.copyName))
        return refused("RecupNomCopie", change.copyName);
    auto bytes = store.read(change.copyPath);
    if (!bytes)
        return refused("RecupCopieDisparue", change.copyName);
    return std::move(*bytes);
}

// Room on the target's drive, when the system tells.
bool fits(const platform::FileSystem& files, const std::string& target, std::size_t size) {
    const auto free = files.freeBytes(target.substr(0, 3));
    return !free || *free >= size;
}

std::string keptName(const platform::FileSystem& files, const std::string& path, const std::string& word) {
    const std::string name = nameOf(path);
    const std::size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string ext = stem.size() == name.size() ? "" : name.substr(dot);
    for (int n = 1;; ++n) {
        const std::string kept =
            folderOf(path) + "\\" + stem + " (" + word + (n > 1 ? " " + std::to_string(n) : "") + ")" + ext;
        if (!files.fileExists(kept) && !files.folderExists(kept))
            return kept;
    }
}

// Writes whole; a failure leaves the old content and is refused with its reason.
std::optional<Recovery> write(platform::FileSystem& files, const std::string& target,
                              const std::string& bytes) {
    if (!files.folderExists(folderOf(target) + "\\"))
        return refused("RecupDossier", folderOf(target));
    if (!fits(files, target, bytes.size()))
        return refused("RecupDisquePlein", target.substr(0, 2));
    try {
        files.writeFile(target, bytes);
    } catch (const platform::Error&) {
        return refused("RecupLectureSeule", target);
    }
    return std::nullopt;
}

} // namespace

bool isPlainPath(const std::string& path) {
    const char drive = static_cast<char>(path.empty() ? 0 : path[0] & ~0x20); // upper case
    if (path.size() < 4 || drive < 'A' || drive > 'Z' || path[1] != ':' || path[2] != '\\')
        return false;
    std::size_t start = 3;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string name = path.substr(start, end - start);
        if (name.empty() || name == "." || name == ".." || platform::isDeviceOrAlteredName(name))
            return false;
        for (unsigned char c : name)
            if (c < 32 || std::string_view("<>:\"/|?*").find(static_cast<char>(c)) != std::string_view::npos)
                return false;
        start = end + 1;
    }
    return true;
}

Recovery saveCopy(platform::FileSystem& files, platform::RestoreStore& store, const FileChange& change,
                  std::string target, bool overwrite, bool dryRun) {
    auto bytes = copyBytes(store, change);
    if (auto* refusal = std::get_if<Recovery>(&bytes))
        return *refusal;
    if (target.empty())
        return refused("RecupChemin", target);
    while (target.size() > 3 && target.back() == '\\')
        target.pop_back();
    const std::string asFolder = target.back() == '\\' ? target : target + "\\";
    if (files.folderExists(asFolder))
        target = asFolder + nameOf(change.path);
    if (!isPlainPath(target))
        return refused("RecupChemin", target);
    if (files.folderExists(target + "\\"))
        return refused("RecupChemin", target);
    if (files.fileExists(target) && !overwrite)
        return {Recovery::Status::AskOverwrite, "RecupExiste", target, target, {}};
    if (!dryRun)
        if (auto refusal = write(files, target, std::get<std::string>(bytes)))
            return *refusal;
    return {Recovery::Status::Done, "RecupEnregistre", target, target, {}};
}

Recovery putBack(platform::FileSystem& files, platform::RestoreStore& store, const FileChange& change,
                 const std::string& keptWord, bool dryRun) {
    auto bytes = copyBytes(store, change);
    if (auto* refusal = std::get_if<Recovery>(&bytes))
        return *refusal;
    const std::string& path = change.path;
    if (!isPlainPath(path))
        return refused("RecupChemin", path);
    if (files.inUse(path))
        return refused("RecupUtilise", path);
    Recovery done{Recovery::Status::Done, "RecupRemis", path, path, {}};
    if (files.fileExists(path))
        done.keptAs = keptName(files, path, keptWord);
    if (dryRun)
        return done;
    if (!done.keptAs.empty() && !files.copy(path, done.keptAs))
        return refused("RecupLectureSeule", done.keptAs);
    if (auto refusal = write(files, path, std::get<std::string>(bytes))) {
        if (!done.keptAs.empty())
            files.deleteFile(done.keptAs);
        return *refusal;
    }
    return done;
}

} // namespace restore
