#include "cli/PointText.h"

#include "cli/Json.h"
#include "restore/DisplayDate.h"
#include "restore/PointTypes.h"

namespace cli {

namespace {

std::string typeName(long long type) {
    const std::string text = restore::typeText(type);
    const auto open = text.find('[');
    return open == std::string::npos ? text : text.substr(open + 1, text.size() - open - 2);
}

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::string pointLine(const restore::ListedPoint& p, const lang::DatePattern& date) {
    return std::to_string(p.sequence) + "\t(" + restore::displayDate(date.format, date.separator, p.local) +
           ") " + escaped(p.description) + "\t" + restore::typeText(p.type);
}

std::string isoCreated(const restore::ListedPoint& p) {
    const auto offsetMinutes = static_cast<int>((restore::clockSeconds(p.local) - p.utcSeconds) / 60);
    return json::isoTime(p.local.year, p.local.month, p.local.day, p.local.hour, p.local.minute,
                         p.local.second, offsetMinutes);
}

std::vector<std::pair<std::string, std::string>> pointMembers(const restore::ListedPoint& p) {
    return {{"created", json::quoted(isoCreated(p))},
            {"type", std::to_string(p.type)},
            {"type_name", json::quoted(typeName(p.type))},
            {"sequence_number", std::to_string(p.sequence)},
            {"description", json::quoted(p.description)}};
}

std::string pointJson(const restore::ListedPoint& p) {
    return json::object(pointMembers(p));
}

} // namespace cli
