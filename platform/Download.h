#pragma once
#include <chrono>
#include <string>

namespace platform {

// How long a download may take: to reach the server, and from the request to the last byte.
struct DownloadLimits {
    std::chrono::milliseconds connect;
    std::chrono::milliseconds total;
};

class Download {
public:
    virtual ~Download() = default;
    // URLDownloadToFile: true when the file was fetched and written in full within the limits.
    // The server is asked anew each time (no cached copy answers). Past a limit the download is
    // abandoned and fails; the target may then hold part of the answer.
    virtual bool toFile(const std::string& url, const std::string& path, const DownloadLimits& limits) = 0;
    // DeleteUrlCacheEntry: forgets any cached copy so the next fetch asks the server.
    virtual void forgetCached(const std::string& url) = 0;
};

} // namespace platform
