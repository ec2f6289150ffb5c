#include "lang/DiskText.h"

#include <initializer_list>

namespace lang {

namespace {

// A text-table entry with its values put in for %1, %2 and %3.
std::string filled(const TextTable& texts, const char* key, std::initializer_list<std::string> values) {
    std::string text = texts.get(key);
    int n = 1;
    for (const std::string& value : values) {
        const std::string mark = "%" + std::to_string(n++);
        if (const auto at = text.find(mark); at != std::string::npos)
            text.replace(at, mark.size(), value);
    }
    return text;
}

} // namespace

std::string sizeText(std::uint64_t bytes, const TextTable& texts) {
    const bool giga = bytes >= (std::uint64_t{1} << 30);
    const std::uint64_t unit = std::uint64_t{1} << (giga ? 30 : 20);
    // Tenths, rounded half up, kept in whole numbers so no size loses precision.
    const std::uint64_t tenths = bytes / unit * 10 + (bytes % unit * 10 + unit / 2) / unit;
    // Three figures at most, as Explorer shows sizes: from 100 up the tenths go.
    if (tenths >= 1000)
        return std::to_string((tenths + 5) / 10) + " " + texts.get(giga ? "UnitéGo" : "UnitéMo");
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10)
        text += texts.get("Décimale") + std::to_string(tenths % 10);
    return text + " " + texts.get(giga ? "UnitéGo" : "UnitéMo");
}

std::string driveShareLine(const config::DriveShare& drive, std::optional<std::int32_t> percent,
                           const TextTable& texts) {
    std::string line = drive.root + " \u2014 ";
    if (percent && drive.totalBytes)
        line += filled(texts, "EspaceAuPlus",
                       {sizeText(config::capBytes(*drive.totalBytes, *percent), texts),
                        std::to_string(*percent), sizeText(*drive.totalBytes, texts)}) +
                ", ";
    if (drive.used)
        return line + filled(texts, "EspaceUtilise",
                             {sizeText(drive.used->bytes, texts), std::to_string(drive.used->points)});
    return line + texts.get("EspaceInconnu");
}

} // namespace lang
