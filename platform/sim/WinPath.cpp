#include "platform/sim/WinPath.h"

#include "platform/Text.h"

#include <cctype>
#include <vector>

namespace platform::sim {

namespace {

struct Parsed {
    char drive = 0; // upper-case letter, 0 when the path names none
    std::vector<std::string> parts;
    bool escaped = false; // a ".." tried to climb above the drive root
};

bool hasDriveLetter(const std::string& path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

std::vector<std::string> splitComponents(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

void appendResolved(Parsed& out, const std::string& path) {
    for (const std::string& part : splitComponents(path)) {
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (out.parts.empty())
                out.escaped = true;
            else
                out.parts.pop_back();
            continue;
        }
        out.parts.push_back(part);
    }
}

// Splits a Windows path into drive and components, relative paths starting at the current folder.
// "X:name" (drive-relative) is taken from the root of X unless X is the current drive.
Parsed parse(const std::string& windowsPath, const std::string& current) {
    Parsed out;
    const bool currentHasDrive = hasDriveLetter(current);
    const char currentDrive =
        currentHasDrive ? static_cast<char>(std::toupper(static_cast<unsigned char>(current[0]))) : 0;

    std::string rest = windowsPath;
    if (hasDriveLetter(windowsPath)) {
        out.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(windowsPath[0])));
        rest = windowsPath.substr(2);
        const bool rooted = !rest.empty() && (rest[0] == '\\' || rest[0] == '/');
        if (!rooted && out.drive == currentDrive)
            appendResolved(out, current.substr(2));
    } else if (!rest.empty() && (rest[0] == '\\' || rest[0] == '/')) {
        if (rest.size() >= 2 && (rest[1] == '\\' || rest[1] == '/'))
            return out; // a network path: no drive of this machine
        out.drive = currentDrive;
    } else {
        out.drive = currentDrive;
        if (currentHasDrive)
            appendResolved(out, current.substr(2));
    }
    appendResolved(out, rest);
    return out;
}

// The entry of a host folder named like `name` without regard to case, when there is one.
std::optional<std::string> findIgnoringCase(const std::filesystem::path& folder, const std::string& name) {
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec)
        return std::nullopt;
    for (const auto& entry : it) {
        std::string candidate = entry.path().filename().string();
        if (text::equalsIgnoreCase(candidate, name))
            return candidate;
    }
    return std::nullopt;
}

} // namespace

WinPath::WinPath(std::filesystem::path machineFolder, std::string currentFolder)
    : drives_(std::move(machineFolder) / "drives"), current_(std::move(currentFolder)) {
    current_ = absolute(current_);
    if (current_.empty() || current_.back() != '\\')
        current_ += '\\';
}

std::string WinPath::absolute(const std::string& windowsPath) const {
    Parsed p = parse(windowsPath, current_);
    if (p.drive == 0)
        return windowsPath;
    std::string out{p.drive, ':', '\\'};
    for (std::size_t i = 0; i < p.parts.size(); ++i) {
        if (i > 0)
            out += '\\';
        out += p.parts[i];
    }
    return out;
}

std::optional<std::filesystem::path> WinPath::toHost(const std::string& windowsPath) const {
    Parsed p = parse(windowsPath, current_);
    if (p.drive == 0 || p.escaped)
        return std::nullopt;
    std::filesystem::path host = drives_ / std::string(1, p.drive);
    // Most paths exist as spelled: one look at the whole path then stands for one per component.
    std::filesystem::path spelled = host;
    for (const std::string& part : p.parts)
        spelled /= part;
    std::error_code ec;
    if (std::filesystem::symlink_status(spelled, ec).type() != std::filesystem::file_type::not_found)
        return spelled;
    bool existing = true; // once a component is missing, nothing below it can exist
    for (const std::string& part : p.parts) {
        if (existing) {
            std::error_code ec;
            if (std::filesystem::symlink_status(host / part, ec).type() !=
                std::filesystem::file_type::not_found) {
                host /= part;
                continue;
            }
            if (auto found = findIgnoringCase(host, part)) {
                host /= *found;
                continue;
            }
            existing = false;
        }
        host /= part;
    }
    return host;
}

} // namespace platform::sim
