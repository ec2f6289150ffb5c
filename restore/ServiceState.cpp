#include "restore/ServiceState.h"

namespace restore {

ServiceState readServiceState(platform::Registry& registry) {
    auto key =
        registry.open(platform::RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\sr", false);
    if (!key)
        return ServiceState::Unreadable;
    const std::uint32_t start = platform::reg::readInteger(*key, "Start");
    if (start == 0)
        return ServiceState::On;
    if (start == 4)
        return ServiceState::Off;
    return ServiceState::Other;
}

std::string readMachineGuid(platform::Registry& registry) {
    auto key = registry.openFullAccess(platform::RegRoot::LocalMachine,
                                       "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SystemRestore\\Cfg");
    if (!key || !key->valueExists("MachineGuid"))
        return "?";
    try {
        return platform::reg::readString(*key, "MachineGuid");
    } catch (const std::exception&) {
        return "?"; // a value of another type is as good as none here
    }
}

} // namespace restore
