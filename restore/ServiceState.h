#pragma once
// What the registry says of System Restore: whether the service is on, and the machine identifier.
#include "platform/Registry.h"

#include <string>

namespace restore {

enum class ServiceState { On, Off, Other, Unreadable };

// The service's start type: 0 is on, 4 is off, anything else is not interpreted. A key that cannot
// be opened is Unreadable.
ServiceState readServiceState(platform::Registry& registry);

// MachineGuid of the System Restore configuration, or "?" when the key (opened with full access, so
// a user without administrator rights gets "?") or the value is missing or not a string.
std::string readMachineGuid(platform::Registry& registry);

} // namespace restore
