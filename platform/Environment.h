#pragma once
#include <optional>
#include <string>

namespace platform {

class Environment {
public:
    virtual ~Environment() = default;
    // The value of an environment variable, or nothing when it is unset.
    virtual std::optional<std::string> get(const std::string& name) const = 0;
};

} // namespace platform
