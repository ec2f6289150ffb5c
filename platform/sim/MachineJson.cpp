#include "platform/sim/MachineJson.h"

#include "platform/Error.h"

#include <algorithm>
#include <cctype>

namespace platform::sim {

namespace {

using Json = nlohmann::ordered_json;

class Checker {
public:
    explicit Checker(std::string fileName) : file_(std::move(fileName)) {}

    [[noreturn]] void fail(const std::string& key, const std::string& rule) const {
        throw Error(file_ + ": " + key + " " + rule);
    }

    void object(const Json& v, const std::string& key) const {
        if (!v.is_object())
            fail(key, "must be an object");
    }
    void text(const Json& v, const std::string& key) const {
        if (!v.is_string())
            fail(key, "must be a text");
    }
    void boolean(const Json& v, const std::string& key) const {
        if (!v.is_boolean())
            fail(key, "must be true or false");
    }
    void count(const Json& v, const std::string& key) const {
        if (!v.is_number_unsigned() && !(v.is_number_integer() && v.get<long long>() >= 0))
            fail(key, "must be a whole number of zero or more");
    }

    void environment(const Json& env) const {
        object(env, "environment");
        for (const auto& [name, value] : env.items())
            text(value, "environment." + name);
    }

    void drives(const Json& drives) const {
        object(drives, "drives");
        for (const auto& [letter, drive] : drives.items()) {
            if (letter.size() != 1 || !std::isalpha(static_cast<unsigned char>(letter[0])))
                fail("drives." + letter, "must be named by one drive letter");
            object(drive, "drives." + letter);
            for (const char* size : {"free_bytes", "total_bytes"})
                if (drive.contains(size))
                    count(drive[size], "drives." + letter + "." + size);
        }
    }

    void points(const Json& points) const {
        if (!points.is_array())
            fail("system_restore.points", "must be a list");
        for (std::size_t i = 0; i < points.size(); ++i) {
            const std::string key = "system_restore.points[" + std::to_string(i) + "]";
            object(points[i], key);
            for (const auto& [name, value] : points[i].items()) {
                if (!value.is_null() && !value.is_string() && !value.is_number_integer())
                    fail(key + "." + name, "must be an integer, a text or null");
            }
        }
    }

    void systemRestore(const Json& sr) const {
        object(sr, "system_restore");
        if (sr.contains("points"))
            points(sr["points"]);
        if (sr.contains("next_sequence_number"))
            count(sr["next_sequence_number"], "system_restore.next_sequence_number");
        if (sr.contains("monitored_drives_off")) {
            const Json& off = sr["monitored_drives_off"];
            if (!off.is_array())
                fail("system_restore.monitored_drives_off", "must be a list");
            for (const Json& drive : off)
                text(drive, "system_restore.monitored_drives_off[]");
        }
        if (sr.contains("pending_restore") && !sr["pending_restore"].is_null())
            count(sr["pending_restore"], "system_restore.pending_restore");
        if (sr.contains("descriptions")) {
            object(sr["descriptions"], "system_restore.descriptions");
            for (const char* which : {"checkpoint", "restore"}) {
                if (sr["descriptions"].contains(which))
                    text(sr["descriptions"][which], std::string("system_restore.descriptions.") + which);
            }
        }
        for (const char* flag : {"set_restore_point_succeeds", "remove_restore_point_succeeds",
                                 "connection_fails", "automation_fails"}) {
            if (sr.contains(flag))
                boolean(sr[flag], std::string("system_restore.") + flag);
        }
        for (const char* delay : {"point_after_enable_ms", "srdiag_ms"}) {
            if (sr.contains(delay))
                count(sr[delay], std::string("system_restore.") + delay);
        }
    }

    void machine(const Json& m) const {
        if (!m.is_object())
            throw Error(file_ + ", line 1: the machine must be a JSON object");
        if (m.contains("environment"))
            environment(m["environment"]);
        if (m.contains("program_folder")) {
            const Json& folder = m["program_folder"];
            text(folder, "program_folder");
            const std::string s = folder.get<std::string>();
            if (s.size() < 3 || !std::isalpha(static_cast<unsigned char>(s[0])) || s[1] != ':' ||
                s[2] != '\\')
                fail("program_folder",
                     "must be an absolute Windows path such as C:\\Program Files\\Kestrafen");
        }
        if (m.contains("drives"))
            drives(m["drives"]);
        for (const char* key : {"browser", "update_server"}) {
            if (m.contains(key))
                text(m[key], key);
        }
        if (m.contains("system_restore"))
            systemRestore(m["system_restore"]);
    }

private:
    std::string file_;
};

// The library's message without its "[json.exception...] " tag and, for syntax errors, without its
// own "parse error at line 3, column 5: " prefix.
std::string reasonOf(const nlohmann::json::exception& e) {
    std::string what = e.what();
    const auto tag = what.find("] ");
    if (what.rfind("[json.exception.", 0) == 0 && tag != std::string::npos)
        what.erase(0, tag + 2);
    const auto column = what.find("column ");
    if (what.rfind("parse error", 0) == 0 && column != std::string::npos) {
        const auto colon = what.find(": ", column);
        if (colon != std::string::npos)
            return what.substr(colon + 2);
    }
    return what;
}

std::size_t lineAt(const std::string& text, std::size_t byte) {
    const std::size_t end = std::min(byte > 0 ? byte - 1 : 0, text.size());
    return 1 +
           static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<long>(end), '\n'));
}

// The library's document builder, except that every error it meets while reading (bad syntax, and
// also a number too large for a double, which the library reports without a position) names the
// file and the line.
class Reader : public nlohmann::detail::json_sax_dom_parser<Json> {
public:
    Reader(Json& result, const std::string& text, const std::string& fileName)
        : json_sax_dom_parser(result, true), text_(text), file_(fileName) {}

    template <typename Exception>
    bool parse_error(std::size_t position, const std::string& /*token*/, const Exception& e) {
        throw Error(file_ + ", line " + std::to_string(lineAt(text_, position)) + ": " + reasonOf(e));
    }

private:
    const std::string& text_;
    const std::string& file_;
};

} // namespace

nlohmann::ordered_json parseMachineJson(const std::string& text, const std::string& fileName) {
    Json machine;
    Reader reader(machine, text, fileName);
    Json::sax_parse(text, &reader);
    Checker(fileName).machine(machine);
    return machine;
}

} // namespace platform::sim
