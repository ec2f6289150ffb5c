#pragma once
// The machine's diagnostic tool: writes a real Microsoft cabinet.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace platform::sim {

// Writes a cabinet at cabPath (atomically: a temporary name, then a rename) holding the given
// files (name inside the cabinet, content). Throws platform::Error on failure.
void writeCabinet(const std::filesystem::path& cabPath,
                  const std::vector<std::pair<std::string, std::string>>& files);

} // namespace platform::sim
