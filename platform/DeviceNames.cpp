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
    const bool port =
        text::equalsIgnoreCase(base.substr(0, 3), "COM") || text::equalsIgnoreCase(base.substr(0, 3), "LPT");
    const std::string_view number = base.size() > 3 ? base.substr(3) : std::string_view();
    // Windows takes the superscript digits 1-3 (Windows-1252's B9, B2, B3) for the port numbers too.
    return port && ((number.size() == 1 && number[0] >= '1' && number[0] <= '9') || number == "\u00B9" ||
                    number == "\u00B2" || number == "\u00B3");
}

bool isDeviceOrAlteredName(std::string_view component) {
    if (component.empty() || component == "." || component == "..")
        return false;
    return component.back() == '.' || component.back() == ' ' || isDeviceName(component);
}

} // namespace platform
