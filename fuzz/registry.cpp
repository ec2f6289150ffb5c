// registry.reg: parse, write, parse again; the second reading must hold the same keys and values,
// and writing it again must give the same text.
#include "Finding.h"
#include "platform/Error.h"
#include "platform/sim/RegFile.h"

#include <cstdint>

using platform::sim::RegFile;

namespace {

std::string describe(const RegFile& file) {
    std::string out;
    for (const auto& key : file.keys()) {
        out += "[" + key.path + "]\n";
        for (const auto& [name, value] : key.values)
            out += name + "=" + std::to_string(static_cast<int>(value.type)) + ":" + value.data + "\n";
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RegFile first;
    try {
        first = RegFile::parse(std::string(reinterpret_cast<const char*>(data), size), "registry.reg");
    } catch (const platform::Error&) {
        return 0; // refused with a message naming the file and line
    }
    const std::string written = first.serialize();
    RegFile second;
    try {
        second = RegFile::parse(written, "registry.reg");
    } catch (const platform::Error& e) {
        fuzz::finding(std::string("the written registry does not read back: ") + e.what() + "\n" + written);
    }
    fuzz::expectSame("registry written and read", describe(first), describe(second));
    fuzz::expectSame("registry written twice", written, second.serialize());
    return 0;
}
