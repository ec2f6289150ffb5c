#include "platform/sim/Http.h"

#include "platform/Error.h"
#include "platform/sim/AtomicFile.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <mutex>

namespace platform::sim {
namespace {

bool startsWithIgnoreCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

bool curlReady() {
    static std::once_flag once;
    static CURLcode result = CURLE_FAILED_INIT;
    std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
    return result == CURLE_OK;
}

struct CurlCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct HeaderListFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

size_t writeBody(char* data, size_t size, size_t count, void* file) {
    return std::fwrite(data, size, count, static_cast<std::FILE*>(file)) * size;
}

bool transfer(const std::string& url, std::FILE* out, const DownloadLimits& limits) {
    std::unique_ptr<CURL, CurlCleanup> curl(curl_easy_init());
    // A proxy or the server's own cache must not answer with an older copy. Appending to a list
    // keeps its head.
    std::unique_ptr<curl_slist, HeaderListFree> headers(
        curl_slist_append(nullptr, "Cache-Control: no-cache"));
    if (!curl || !headers || !curl_slist_append(headers.get(), "Pragma: no-cache")) {
        return false;
    }
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    // At least a millisecond each: zero would mean no limit at all.
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(std::max<long long>(limits.connect.count(), 1)));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(std::max<long long>(limits.total.count(), 1)));
    // The update server is usually on this host: a proxy from the environment must not get in the way.
    curl_easy_setopt(c, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
    // Timeouts by signal do not mix with threads.
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, out);
    return curl_easy_perform(c) == CURLE_OK;
}

} // namespace

std::optional<std::string> redirectToServer(const std::string& url, const std::string& server) {
    std::string::size_type authority;
    if (startsWithIgnoreCase(url, "http://")) {
        authority = 7;
    } else if (startsWithIgnoreCase(url, "https://")) {
        authority = 8;
    } else {
        return std::nullopt;
    }
    const auto pathStart = url.find_first_of("/?#", authority);
    const std::string rest = pathStart == std::string::npos ? "" : url.substr(pathStart);
    const std::string path = rest.empty() || rest.front() != '/' ? "/" + rest : rest;
    std::string base = server;
    while (!base.empty() && base.back() == '/') {
        base.pop_back();
    }
    return base + path;
}

bool fetchToFile(const std::string& url, const std::filesystem::path& target, const DownloadLimits& limits) {
    if (!curlReady()) {
        return false;
    }
    try {
        AtomicFile file(target);
        std::unique_ptr<std::FILE, FileClose> out(std::fopen(file.tempPath().c_str(), "wb"));
        if (!out) {
            return false;
        }
        const bool received = transfer(url, out.get(), limits);
        // fclose flushes the last buffered bytes: its failure means a short file.
        if (std::fclose(out.release()) != 0 || !received) {
            return false;
        }
        file.commit();
        return true;
    } catch (const Error&) {
        return false;
    }
}

} // namespace platform::sim
