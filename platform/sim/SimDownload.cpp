#include "platform/sim/Http.h"
#include "platform/sim/Machine.h"
#include "platform/sim/Services.h"

namespace platform::sim {
namespace {

const char* const defaultUpdateServer = "http://127.0.0.1:8642";

std::string updateServer(const nlohmann::ordered_json& state) {
    const auto server = state.find("update_server");
    if (server == state.end() || !server->is_string()) {
        return defaultUpdateServer;
    }
    return server->get<std::string>();
}

} // namespace

bool SimDownload::toFile(const std::string& url, const std::string& path, const DownloadLimits& limits) {
    const std::string windowsPath = m_.paths().absolute(path);
    m_.journal("Download " + url + " -> " + windowsPath);
    const auto target = m_.paths().toHost(windowsPath);
    const auto address = redirectToServer(url, updateServer(m_.state()));
    if (!target || !address) {
        return false;
    }
    return fetchToFile(*address, *target, limits);
}

// Nothing is cached: every download asks the server again.
void SimDownload::forgetCached(const std::string&) {}

} // namespace platform::sim
