// The change log: the first line names the point folder, the rest is the log. Every record handed
// over must be a whole line of the log holding that folder, and its memo lines must read.
#include "Finding.h"
#include "restore/ChangeLog.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto [folder, log] = fuzz::firstLine(std::string_view(reinterpret_cast<const char*>(data), size));
    std::size_t records = 0;
    restore::scanChangeLog(log, folder, [&, folder = folder, log = log](std::string_view record) {
        if (record.data() < log.data() || record.data() + record.size() > log.data() + log.size())
            fuzz::finding("a record outside the log");
        if (record.find_first_of("\r\n") != std::string_view::npos)
            fuzz::finding("a record holding a line end");
        if (restore::fieldValue(record, "RPDir") != folder)
            fuzz::finding("a record of another point: " + std::string(record));
        if (restore::recordLines(record).size() != 6)
            fuzz::finding("a record without its six memo lines");
        return ++records < 10000;
    });
    // Any position of a line reads a value that is part of the line.
    const std::string_view line = log.substr(0, log.find('\n'));
    for (std::size_t at = 0; at <= line.size() && at < 64; ++at) {
        const std::string_view value = restore::Remplace(line, at);
        if (!value.empty() &&
            (value.data() < line.data() || value.data() + value.size() > line.data() + line.size()))
            fuzz::finding("a value outside its line");
    }
    return 0;
}
