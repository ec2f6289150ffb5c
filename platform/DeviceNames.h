#pragma once
// Names Windows keeps for devices in every folder: a file written as "res\CON.log" or "res\LPT1"
// goes to the console or the printer port, not into the folder.
#include <string_view>

namespace platform {

// CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9 (and COM¹-COM³, LPT¹-LPT³), CONIN$, CONOUT$, CLOCK$, in
// any case, with or without an extension, with blanks before it (UTF-8).
bool isDeviceName(std::string_view component);

// A name Windows would not store as spelled: a device name, or one ending in a dot or a blank
// (Windows drops them), so that the file written is not the one named. "." and ".." are not.
bool isDeviceOrAlteredName(std::string_view component);

} // namespace platform
