#include "update/VersionCheck.h"

#include "platform/Error.h"
#include "platform/Text.h"

#include <utility>

#ifndef KESTRAFEN_WEB_ADDRESS
#error "the build sets KESTRAFEN_WEB_ADDRESS, the project's site"
#endif

namespace update {

namespace {

bool isWebAddress(const std::string& word) {
    const std::string upper = platform::text::upper(word);
    return upper.starts_with("HTTP://") || upper.starts_with("HTTPS://");
}

} // namespace

Server defaultServer() {
    return {KESTRAFEN_WEB_ADDRESS, {std::chrono::seconds(15), std::chrono::seconds(60)}};
}

std::string versionFileUrl(const std::string& site) {
    const auto scheme = site.find("://");
    const auto path = scheme == std::string::npos ? std::string::npos : site.find('/', scheme + 3);
    return site.substr(0, path) + "/jour/Kestrafen.ini";
}

VersionFile::VersionFile(platform::Platform& platform, std::string url, std::string path)
    : platform_(platform), url_(std::move(url)), path_(std::move(path)) {}

VersionFile::~VersionFile() {
    try {
        discard();
    } catch (...) {
        // Leaving a file behind is all that can go wrong: the next check removes it first.
    }
}

std::optional<Published> VersionFile::fetch(const platform::DownloadLimits& limits) {
    platform::FileSystem& files = platform_.files;
    files.deleteFile(path_);
    if (!platform_.download.toFile(url_, path_, limits)) {
        files.deleteFile(path_); // part of an answer is no answer
        return std::nullopt;
    }
    if (!files.fileExists(path_))
        return std::nullopt;
    fetched_ = true;
    return Published{platform_.profile.readString(path_, "Kestrafen", "Version", kOwnVersion),
                     platform_.profile.readString(path_, "Kestrafen", "Message", "")};
}

void VersionFile::discard() {
    if (!fetched_)
        return;
    fetched_ = false;
    platform_.files.deleteFile(path_);
    platform_.download.forgetCached(url_);
}

std::string otherVersionText(const std::string& message, const std::string& version) {
    return message + " " + version + ".";
}

std::string unreachableText(const std::string& message, const std::string& site) {
    std::string text = message;
    const auto blank = text.find_last_of(" \t");
    const std::string lastWord = blank == std::string::npos ? text : text.substr(blank + 1);
    if (isWebAddress(lastWord))
        text.erase(text.size() - lastWord.size());
    if (!text.empty() && text.back() != ' ' && text.back() != '\t')
        text += ' ';
    return text + site;
}

std::string findBrowser(platform::FileSystem& files, platform::Shell& shell) {
    const std::string probe = files.tempFolder() + "temp.htm";
    try {
        files.writeFile(probe, "");
    } catch (const platform::Error&) {
        return ""; // a probe that cannot be made (read-only, say) finds no browser, silently
    }
    std::optional<std::string> program;
    try {
        program = shell.findExecutable(probe);
    } catch (...) {
        files.deleteFile(probe);
        throw;
    }
    files.deleteFile(probe);
    return program.value_or("");
}

} // namespace update
