#pragma once
// Reading machine.json: JSON syntax with the file's line in every error, then the shape of every
// known key, so that a broken machine is reported at once instead of failing deep in a service.
#include <nlohmann/json.hpp>

#include <string>

namespace platform::sim {

// Throws platform::Error "<file>, line <n>: <reason>" for bad syntax and "<file>: <key> <rule>"
// for a known key of the wrong shape. Unknown keys are kept as they are.
nlohmann::ordered_json parseMachineJson(const std::string& text, const std::string& fileName);

} // namespace platform::sim
