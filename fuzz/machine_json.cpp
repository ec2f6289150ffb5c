// machine.json: any text is a machine or an error naming the file and line (or key); a machine
// written back reads as the same machine.
#include "Finding.h"
#include "platform/Error.h"
#include "platform/sim/MachineJson.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    nlohmann::ordered_json machine;
    try {
        machine = platform::sim::parseMachineJson(text, "machine.json");
    } catch (const platform::Error& e) {
        if (std::string(e.what()).rfind("machine.json", 0) != 0)
            fuzz::finding(std::string("an error that does not name the file: ") + e.what());
        return 0;
    }
    const std::string written = machine.dump(2);
    const auto again = platform::sim::parseMachineJson(written, "machine.json");
    fuzz::expectSame("machine written and read", written, again.dump(2));
    return 0;
}
