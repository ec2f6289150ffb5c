// Cabinet extraction from any bytes: hostile names, truncated and damaged cabinets. Either every
// file lands inside the folder or the user reads why and nothing is left behind; nothing is ever
// written outside the folder.
#include "Finding.h"
#include "platform/Error.h"
#include "platform/sim/Services.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const fs::path& sandbox() {
    static const fs::path root = [] {
        std::string folder = (fs::temp_directory_path() / "kestrafen-fuzz-cab-XXXXXX").string();
        if (!::mkdtemp(folder.data()))
            std::abort();
        fs::create_directories(fs::path(folder) / "box");
        return fs::path(folder);
    }();
    return root;
}

std::size_t entriesBelow(const fs::path& folder) {
    std::size_t n = 0;
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it)
        ++n;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path box = sandbox() / "box";
    const fs::path cabinet = sandbox() / "res.cab";
    std::ofstream(cabinet, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<long>(size));
    bool failed = false;
    try {
        platform::sim::extractCabinet(cabinet, box / "res", "C:\\Kestrafen\\res.cab", "C:\\Kestrafen\\res");
    } catch (const platform::Error& e) {
        failed = true;
        const std::string_view input(reinterpret_cast<const char*>(data), size);
        if (std::string(e.what()).find(sandbox().string()) != std::string::npos &&
            input.find(sandbox().string()) == std::string_view::npos) // an entry may be named so
            fuzz::finding(std::string("a message naming the host's path: ") + e.what());
    }
    // Only the cabinet and the box: whatever an entry's name, it did not climb out.
    if (entriesBelow(sandbox()) != 2 + (fs::exists(box / "res") ? 1 + entriesBelow(box / "res") : 0))
        fuzz::finding("a file written outside the folder");
    if (failed && fs::exists(box / "res"))
        fuzz::finding("a failed extraction left something behind");
    fs::remove_all(box / "res");
    return 0;
}
