#pragma once
#include <string>

namespace platform {

class Download {
public:
    virtual ~Download() = default;
    // URLDownloadToFile: true when the file was fetched and written in full.
    virtual bool toFile(const std::string& url, const std::string& path) = 0;
    // DeleteUrlCacheEntry: forgets any cached copy so the next fetch asks the server.
    virtual void forgetCached(const std::string& url) = 0;
};

} // namespace platform
