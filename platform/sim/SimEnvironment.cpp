#include "platform/Text.h"
#include "platform/sim/Machine.h"
#include "platform/sim/Services.h"

#include <cstdlib>

namespace platform::sim {

// The real environment of the process wins, so a test can move the Windows folder or the system
// drive without editing the machine; otherwise the machine's own list, whose names, as on
// Windows, ignore case.
std::optional<std::string> SimEnvironment::get(const std::string& name) const {
    m_.runDueActions();
    if (const char* value = std::getenv(name.c_str()))
        return std::string(value);
    const auto& state = m_.state();
    if (!state.contains("environment"))
        return std::nullopt;
    for (const auto& [key, value] : state["environment"].items()) {
        if (text::equalsIgnoreCase(key, name))
            return value.get<std::string>();
    }
    return std::nullopt;
}

} // namespace platform::sim
