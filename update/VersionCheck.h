#pragma once
// The rules of the version check: where the latest version is published, fetching and reading the
// version file, the texts shown, and finding the web browser. The main window runs them in order.
#include "platform/Platform.h"

#include <chrono>
#include <optional>
#include <string>

namespace update {

// The version this program is; the main window's title shows it too.
inline constexpr const char* kOwnVersion = "1.3D";

// Where the check asks and how long it waits for the answer.
struct Server {
    // The project's site, ending with "/": the browser is sent there, and its host publishes the
    // version file at /jour/Kestrafen.ini.
    std::string site;
    platform::DownloadLimits limits;
};

// The site chosen when building, with 15 s to reach its host and a minute for the whole answer.
Server defaultServer();

// The version file's address: the site's scheme and host, then /jour/Kestrafen.ini.
std::string versionFileUrl(const std::string& site);

// What the server publishes, read from section Kestrafen of the version file.
struct Published {
    std::string version; // "1.3D" when absent
    std::string message; // the publisher's own text, shown as it is
};

// The version file fetched into the program folder for one check. The file is removed when the
// object goes, however the check ends, once it was fetched.
class VersionFile {
public:
    VersionFile(platform::Platform& platform, std::string url, std::string path);
    ~VersionFile();
    VersionFile(const VersionFile&) = delete;
    VersionFile& operator=(const VersionFile&) = delete;

    // Downloads the file anew and reads it; nothing when the download failed, or ran past its
    // limits, or left no file. A copy left by an earlier, interrupted check is removed first: it
    // was not published now.
    std::optional<Published> fetch(const platform::DownloadLimits& limits);
    // Deletes the file and forgets any cached copy of its address, so the next check asks again.
    // Failures are ignored.
    void discard();

private:
    platform::Platform& platform_;
    std::string url_;
    std::string path_;
    bool fetched_ = false;
};

// The "other version" text: the language's text, a blank, the published version and a full stop.
std::string otherVersionText(const std::string& message, const std::string& version);

// The "cannot connect" text ending with the site's address. A language file may still end the
// text with an address of its own (older files named another site): the site replaces it.
std::string unreachableText(const std::string& message, const std::string& site);

// The program that opens web pages, asked for an empty "temp.htm" made in the temporary folder
// for that and deleted again; empty when there is none or the probe cannot be written.
std::string findBrowser(platform::FileSystem& files, platform::Shell& shell);

} // namespace update
