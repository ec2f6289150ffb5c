#pragma once
// HTTP for the simulated machine: every web request of the program goes to the machine's own
// update server, so tests and outside checks control what the program downloads.
#include "platform/Download.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

namespace platform::sim {

// The address a request for url goes to: the scheme, host and port of any http(s) address are
// replaced by server ("http://127.0.0.1:8642"), its path and query are kept. Nothing for any other
// scheme (the machine has no other network).
std::optional<std::string> redirectToServer(const std::string& url, const std::string& server);

// Fetches url into target, asking caches on the way for a fresh answer. True only when the whole
// body arrived with a status below 400 within the limits; the target is replaced then, and left as
// it was otherwise.
bool fetchToFile(const std::string& url, const std::filesystem::path& target,
                 const DownloadLimits& limits = {std::chrono::seconds(10), std::chrono::seconds(30)});

} // namespace platform::sim
