// System Restore's binary change log, as it lies in a point's folder. Whatever the bytes, the
// reader stops at the first fault with its offset inside the log, and every copy it names is one
// the program may read: "A", seven digits, an extension, and nothing that leaves the folder.
#include "Finding.h"
#include "restore/BinaryChangeLog.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const restore::ParsedLog log = restore::parseChangeLog(bytes, "RP39");
    if (log.fault && log.faultOffset > size)
        fuzz::finding("a fault past the end of the log");
    if (!log.fault && size == 0)
        fuzz::finding("an empty log read without a fault");
    if (log.entries.size() * (restore::entryFixedSize + 4) > size)
        fuzz::finding("more entries than the log can hold");
    for (const restore::LogEntry& e : log.entries)
        if (!e.copyName.empty() && !restore::isCopyName(e.copyName))
            fuzz::finding("a copy name the program must never read: " + e.copyName);
    return 0;
}
