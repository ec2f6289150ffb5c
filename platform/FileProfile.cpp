// Profile files over a file system. Each file is parsed once and its copy kept while the file's
// stamp stays the same, so a file changed or deleted between two calls is seen as it is now while
// the language file, looked up for every text, is not parsed again for each one.
#include "platform/FileProfile.h"

#include "platform/Error.h"
#include "platform/Text.h"

namespace platform {

namespace {

bool isDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The full Windows path of a file name, as the system's profile functions resolve it: a bare name
// lives in the Windows folder, other relative names start in the current folder. Error messages
// name the full path.
std::string fullPath(const FileSystem& files, const std::string& windowsFolder, const std::string& path) {
    if (path.size() >= 2 && isDriveLetter(path[0]) && path[1] == ':')
        return path;
    if (path.rfind("\\\\", 0) == 0)
        return path;
    if (path.find_first_of("\\/") == std::string::npos)
        return windowsFolder + path;
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

constexpr std::string_view kUnicodeMark = "\xFF\xFE";

// The default as the system returns it: without trailing spaces.
std::string withoutTrailingSpaces(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

} // namespace

FileProfile::~FileProfile() {
    for (auto& [name, copy] : copies_) {
        try {
            if (copy.pending)
                save(copy);
        } catch (...) { // NOLINT(bugprone-empty-catch): nobody is left to tell
        }
    }
}

FileProfile::Copy& FileProfile::current(const std::string& file) {
    const std::string fullName = fullPath(files_, windowsFolder_, file);
    Copy& copy = copies_[text::upper(fullName)];
    if (copy.pending) // this object's own changes are the file's content until they are written
        return copy;
    const std::optional<FileStamp> stamp = files_.stamp(fullName);
    if (stamp && copy.stamp == stamp)
        return copy;
    const std::optional<std::string> bytes = files_.readFile(fullName);
    const std::string_view raw = bytes ? std::string_view(*bytes) : std::string_view();
    copy.fullName = fullName;
    copy.exists = bytes.has_value();
    copy.unicode = raw.substr(0, kUnicodeMark.size()) == kUnicodeMark;
    const std::string_view body = copy.unicode ? raw.substr(kUnicodeMark.size()) : raw;
    copy.oddByte =
        copy.unicode && body.size() % 2 ? std::string(body.substr(body.size() - 1)) : std::string();
    copy.document = ini::Document(copy.unicode ? text::fromUtf16le(body) : text::fromCp1252(body));
    // Taken before the read: a change between the two makes the next call read again. A file
    // changed very recently may change again unseen by its stamp, so its copy is not kept.
    copy.stamp = bytes && stamp && !stamp->recent ? stamp : std::nullopt;
    return copy;
}

void FileProfile::save(Copy& copy) {
    const std::string content = copy.document.text();
    const std::string bytes = copy.unicode
                                  ? std::string(kUnicodeMark) + text::toUtf16le(content) + copy.oddByte
                                  : text::toCp1252(content);
    copy.pending = false;
    try {
        files_.writeFile(copy.fullName, bytes);
        copy.exists = true;
    } catch (const Error&) {
        copy.stamp.reset(); // the copy holds what the disk does not: read it again
        // The user reads this text; it names the full path whatever the file system said.
        throw unableToWrite(copy.fullName);
    }
    // What was just written is the copy, however recent: only another writer's change in place,
    // to the same size, within one tick of the clock, would go unseen.
    copy.stamp = files_.stamp(copy.fullName);
}

void FileProfile::changed(Copy& copy) {
    if (copy.holding && copy.written) {
        copy.pending = true;
        return;
    }
    save(copy);
    copy.written = true;
}

std::string FileProfile::readString(const std::string& file, const std::string& section,
                                    const std::string& key, const std::string& defaultValue) {
    const Copy& copy = current(file);
    const auto value = copy.document.value(ansi(section), ansi(key));
    if (!value)
        return withoutTrailingSpaces(defaultValue);
    return copy.unicode ? ansi(*value) : *value;
}

void FileProfile::writeString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& value) {
    Copy& copy = current(file);
    copy.document.setValue(ansi(section), ansi(key), ansi(value));
    changed(copy);
}

std::vector<std::string> FileProfile::sectionNames(const std::string& file) {
    const Copy& copy = current(file);
    std::vector<std::string> names = copy.document.sectionNames();
    if (copy.unicode)
        for (std::string& name : names)
            name = ansi(name);
    return names;
}

void FileProfile::deleteKey(const std::string& file, const std::string& section, const std::string& key) {
    Copy& copy = current(file);
    deleted(copy, copy.document.removeKey(ansi(section), ansi(key)));
}

void FileProfile::deleteSection(const std::string& file, const std::string& section) {
    Copy& copy = current(file);
    deleted(copy, copy.document.removeSection(ansi(section)));
}

void FileProfile::deleted(Copy& copy, bool removed) {
    if (removed || !copy.exists)
        changed(copy);
}

void FileProfile::holdWrites(const std::string& file) {
    Copy& copy = current(file);
    copy.holding = true;
    copy.written = false;
}

void FileProfile::flush(const std::string& file) {
    Copy& copy = current(file);
    copy.holding = false;
    if (copy.pending)
        save(copy);
}

} // namespace platform
