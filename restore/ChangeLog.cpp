#include "restore/ChangeLog.h"

#include "platform/Text.h"

namespace restore {

std::string_view Remplace(std::string_view line, std::size_t position) {
    // The value starts at the first character preceded by "=", unless a "," comes first.
    for (std::size_t i = position; i < line.size(); ++i) {
        if (i > 0 && line[i - 1] == '=') {
            const std::size_t end = line.find(',', i);
            return line.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
        }
        if (line[i] == ',')
            return {};
    }
    return {};
}

std::string_view fieldValue(std::string_view line, std::string_view key) {
    const std::size_t at = line.find(key);
    return Remplace(line, at == std::string_view::npos ? 0 : at);
}

std::vector<std::string> recordLines(std::string_view line) {
    const auto value = [line](std::string_view key) {
        return platform::text::fromCp1252(fieldValue(line, key));
    };
    return {"",
            "- " + value("Drive"),
            "EventString = " + value("EventString"),
            "Path1 = " + value("Path1"),
            "Path2 = " + value("Path2"),
            "Temp = " + value("Temp")};
}

void scanChangeLog(std::string_view log, std::string_view pointFolder,
                   const std::function<bool(std::string_view record)>& listed) {
    constexpr std::string_view rpDir = "RPDir";
    bool found = false;
    std::size_t start = 0;
    while (start < log.size()) {
        // Only lines holding "RPDir" matter: jump to the next one instead of splitting every line.
        const std::size_t key = log.find(rpDir, start);
        if (key == std::string_view::npos)
            return;
        const std::size_t lineStart = log.find_last_of("\r\n", key);
        const std::size_t begin =
            lineStart == std::string_view::npos || lineStart < start ? start : lineStart + 1;
        std::size_t end = log.find_first_of("\r\n", key);
        if (end == std::string_view::npos)
            end = log.size();
        const std::string_view line = log.substr(begin, end - begin);

        if (Remplace(line, key - begin) == pointFolder) {
            found = true;
            if (!listed(line))
                return;
        } else if (found) {
            return;
        }
        start = end + 1;
    }
}

} // namespace restore
