// Profile files over a file system: every call reads the file anew, so a file changed or deleted
// between two calls is seen as it is now.
#include "platform/FileProfile.h"

#include "platform/Error.h"
#include "platform/IniText.h"
#include "platform/Text.h"

namespace platform {

namespace {

bool isDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The full Windows path of a file name: relative names start in the current folder, as the
// system's profile functions resolve them, and error messages must name the full path.
std::string fullPath(const FileSystem& files, const std::string& path) {
    if (path.size() >= 2 && isDriveLetter(path[0]) && path[1] == ':')
        return path;
    if (path.rfind("\\\\", 0) == 0)
        return path;
    const std::string current = files.currentFolder();
    if (!path.empty() && (path[0] == '\\' || path[0] == '/'))
        return current.substr(0, 2) + path;
    return current + path;
}

// The text as the system's ANSI functions see it: what Windows-1252 cannot hold is lost here
// rather than being matched against the file differently than it would be written.
std::string ansi(const std::string& utf8) {
    return text::fromCp1252(text::toCp1252(utf8));
}

std::string readText(const FileSystem& files, const std::string& fullName) {
    const std::optional<std::string> bytes = files.readFile(fullName);
    return bytes ? text::fromCp1252(*bytes) : std::string();
}

} // namespace

std::string FileProfile::readString(const std::string& file, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) {
    const std::string content = readText(files_, fullPath(files_, file));
    return ini::findValue(content, ansi(section), ansi(key)).value_or(defaultValue);
}

void FileProfile::writeString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) {
    const std::string fullName = fullPath(files_, file);
    const std::string content = readText(files_, fullName);
    const std::string updated = ini::setValue(content, ansi(section), ansi(key), ansi(value));
    try {
        files_.writeFile(fullName, text::toCp1252(updated));
    } catch (const Error&) {
        // The user reads this text; it names the full path whatever the file system said.
        throw Error("Unable to write to " + fullName);
    }
}

std::vector<std::string> FileProfile::sectionNames(const std::string& file) {
    return ini::sectionNames(readText(files_, fullPath(files_, file)));
}

} // namespace platform
