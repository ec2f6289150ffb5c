// Lays System Restore's point folders into a simulated machine:
//   kestrafen-make-points MACHINE             the points that MACHINE/sr-chglog.log lists
//   kestrafen-make-points MACHINE RPn COUNT   one point with COUNT file changes on drive C
// The store is named after the machine's MachineGuid; volume devices are the machine's own.
#include "platform/Text.h"
#include "platform/sim/ChangeLogWriter.h"
#include "platform/sim/Machine.h"
#include "restore/ServiceState.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: %s MACHINE [RPn COUNT]\n", argv[0]);
        return 2;
    }
    try {
        namespace sim = platform::sim;
        sim::Machine machine(argv[1], std::make_unique<sim::RealClock>());
        platform::Platform p = machine.platform();
        const std::string guid = platform::text::upper(restore::readMachineGuid(p.registry));
        const auto volumeOf = [&](char drive) {
            return p.restoreStore.volumeDevice(std::string(1, drive) + ":").value();
        };
        const auto drives = machine.folder() / "drives";
        if (argc == 4) {
            sim::writeLargePoint(drives / "C", guid, volumeOf('C'), argv[2], std::stoi(argv[3]));
            return 0;
        }
        const auto log = sim::readWholeFile(machine.folder() / "sr-chglog.log");
        for (const std::string& point : sim::writePointsFromTextLog(log.value(), drives, guid, volumeOf))
            std::printf("%s\n", point.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
