#include "platform/DeviceNames.h"

#include "platform/Text.h"

#include <array>

namespace platform {

bool isDeviceName(std::string_view component) {
    std::string_view base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    static constexpr std::array<std::string_view, 7> kNames = {"CON",    "PRN",     "AUX",   "NUL",
                                                               "CONIN$", "CONOUT$", "CLOCK$"};
    for (const std::string_view name : kNames)
        if (text::equalsIgnoreCase(base, name))
            return true;
    return base.size() == 4 &&
           (text::equalsIgnoreCase(base.substr(0, 3), "COM") ||
            text::equalsIgnoreCase(base.substr(0, 3), "LPT")) &&
           base[3] >= '1' && base[3] <= '9';
}

bool isDeviceOrAlteredName(std::string_view component) {
    if (component.empty() || component == "." || component == "..")
        return false;
    return component.back() == '.' || component.back() == ' ' || isDeviceName(component);
}

} // namespace platform
