#pragma once
// The request that makes a new restore point of the system checkpoint kind.
#include "platform/SystemRestore.h"

#include <cstddef>
#include <string>

namespace restore {

inline constexpr std::uint32_t beginSystemChange = 100;
inline constexpr std::uint32_t checkpoint = 7;
// A title has at most this many characters.
inline constexpr std::size_t maxTitleLength = 40;

// The characters of a UTF-8 text, as an edit field counts them.
std::size_t titleLength(const std::string& title);

// BEGIN_SYSTEM_CHANGE, CHECKPOINT, sequence 0, and the title in the service's code page at the
// start of a zero-filled description. A title longer than the description is cut between two
// characters (never inside a double-byte one) so that one zero byte always ends it.
platform::RestorePointInfoA
creationRequest(const std::string& title,
                const platform::text::AnsiCodePage& codePage = platform::text::windows1252());

// Asks the service once for the point; true when it accepted. The status the service filled in
// (the new point's sequence number) goes to `status` when one is given.
bool createPoint(platform::SystemRestore& service, const std::string& title,
                 platform::StateMgrStatus* status = nullptr);

} // namespace restore
