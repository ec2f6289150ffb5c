#include "platform/Text.h"
#include "platform/sim/Machine.h"
#include "platform/sim/Services.h"

#include <algorithm>

namespace platform::sim {

namespace fs = std::filesystem;

std::optional<std::string> SimRestoreStore::storeFolder(const std::string& root) {
    Machine::ServiceCall call(m_);
    const std::string info = m_.paths().absolute(root.substr(0, 2) + "\\System Volume Information");
    auto host = m_.paths().toHost(info);
    std::error_code ec;
    if (!host)
        return std::nullopt;
    for (fs::directory_iterator it(*host, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (it->is_directory(ec) && text::upper(name).rfind("_RESTORE{", 0) == 0)
            return info + "\\" + name + "\\";
    }
    return std::nullopt;
}

std::vector<StoreEntry> SimRestoreStore::list(const std::string& folder) {
    Machine::ServiceCall call(m_);
    std::vector<StoreEntry> entries;
    auto host = m_.paths().toHost(folder);
    if (!host)
        return entries;
    std::error_code ec;
    for (fs::directory_iterator it(*host, ec), end; !ec && it != end; it.increment(ec)) {
        const bool folder = it->is_directory(ec);
        entries.push_back({it->path().filename().string(), folder ? 0 : it->file_size(ec), folder});
    }
    return entries;
}

std::optional<std::string> SimRestoreStore::read(const std::string& path) {
    return m_.platform().files.readFile(path);
}

std::optional<std::string> SimRestoreStore::volumeDevice(const std::string& drive) {
    Machine::ServiceCall call(m_);
    const auto& state = m_.state();
    if (!state.contains("drives") || drive.empty())
        return std::nullopt;
    std::vector<std::string> letters;
    for (const auto& [letter, value] : state["drives"].items())
        letters.push_back(text::upper(letter));
    std::sort(letters.begin(), letters.end());
    const auto at = std::find(letters.begin(), letters.end(), text::upper(drive.substr(0, 1)));
    if (at == letters.end())
        return std::nullopt;
    for (const auto& [letter, value] : state["drives"].items())
        if (text::upper(letter) == *at && value.contains("volume"))
            return value["volume"].get<std::string>();
    return "\\Device\\HarddiskVolume" + std::to_string(at - letters.begin() + 1);
}

} // namespace platform::sim
