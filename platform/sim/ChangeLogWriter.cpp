#include "platform/sim/ChangeLogWriter.h"

#include "platform/Text.h"
#include "restore/BinaryChangeLog.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace platform::sim {

namespace {

void putDword(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xff);
}

void putQword(std::string& out, std::int64_t v) {
    putDword(out, static_cast<std::uint32_t>(static_cast<std::uint64_t>(v) & 0xffffffffu));
    putDword(out, static_cast<std::uint32_t>(static_cast<std::uint64_t>(v) >> 32));
}

} // namespace

std::string changeLogText(const std::string& utf8) {
    return text::toUtf16le(utf8) + std::string(2, '\0');
}

std::string changeLogRecord(std::uint32_t type, const std::string& data) {
    std::string out;
    putDword(out, static_cast<std::uint32_t>(data.size() + 8));
    putDword(out, type);
    return out + data;
}

std::string changeLogHeader(const std::string& volume) {
    std::string body;
    putDword(body, restore::changeLogMagic);
    putDword(body, restore::changeLogVersion);
    body += changeLogRecord(restore::RecordVolumePath, changeLogText(volume));
    const auto size = static_cast<std::uint32_t>(body.size() + 12);
    std::string out;
    putDword(out, size);
    putDword(out, restore::RecordLogHeader);
    out += body;
    putDword(out, size);
    return out;
}

std::string changeLogEntry(const LoggedChange& c) {
    std::string body;
    putDword(body, restore::changeLogMagic);
    putDword(body, c.type);
    // Flags: temp path 0x1, second path 0x2, ACL 0x4, debug info 0x8.
    putDword(body, (c.copyPath.empty() ? 0u : 0x1u) | (c.secondPath.empty() ? 0u : 0x2u) |
                       (c.withAclAndDebug ? 0xcu : 0u));
    putDword(body, c.attributes);
    putQword(body, c.sequence);
    std::string name = text::toUtf16le(c.process).substr(0, 30);
    name.resize(32, '\0');
    body += name;
    body += changeLogRecord(restore::RecordFirstPath, changeLogText(c.firstPath));
    if (!c.secondPath.empty())
        body += changeLogRecord(restore::RecordSecondPath, changeLogText(c.secondPath));
    if (!c.copyPath.empty())
        body += changeLogRecord(restore::RecordTempPath, changeLogText(c.copyPath));
    if (c.withAclAndDebug) {
        // A minimal self-relative security descriptor, and the debug info's thread, process,
        // time stamp and 13-byte process name.
        body += changeLogRecord(restore::RecordAclInline,
                                std::string("\x01\x00\x04\x80", 4) + std::string(16, '\0'));
        body += changeLogRecord(restore::RecordDebugInfo,
                                std::string(24, '\x11') + "setup.exe" + std::string(4, '\0'));
    }
    const auto size = static_cast<std::uint32_t>(body.size() + 12);
    std::string out;
    putDword(out, size);
    putDword(out, restore::RecordLogEntry);
    out += body;
    putDword(out, size);
    return out;
}

std::string changeLogBytes(const std::string& volume, const std::vector<LoggedChange>& changes) {
    std::string out = changeLogHeader(volume);
    for (const LoggedChange& c : changes)
        out += changeLogEntry(c);
    return out;
}

std::filesystem::path pointFolder(const std::filesystem::path& driveFolder, const std::string& guid,
                                  const std::string& point) {
    const auto folder = driveFolder / "System Volume Information" / ("_restore" + guid) / point;
    std::filesystem::create_directories(folder);
    return folder;
}

} // namespace platform::sim

namespace platform::sim {

namespace {

std::string field(const std::string& line, const std::string& key) {
    const std::size_t at = line.find(key + "=");
    if (at == std::string::npos)
        return {};
    const std::size_t start = at + key.size() + 1;
    const std::size_t end = line.find(',', start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::uint32_t entryType(const std::string& event) {
    static const std::pair<const char*, std::uint32_t> types[] = {
        {"FILE-MODIFY", restore::EntryStreamChange}, {"FILE-DELETE", restore::EntryFileDelete},
        {"FILE-CREATE", restore::EntryFileCreate},   {"FILE-RENAME", restore::EntryFileRename},
        {"DIR-CREATE", restore::EntryDirCreate},     {"DIR-DELETE", restore::EntryDirDelete},
        {"ATTRIB-CHANGE", restore::EntryAttrChange},
    };
    for (const auto& [name, type] : types)
        if (event == name)
            return type;
    return 0; // registry records
}

// The program a point's changes came from, as its description suggests.
std::string processOf(const std::string& point) {
    static const std::pair<const char*, const char*> processes[] = {
        {"RP38", "svchost.exe"}, {"RP43", "jre-1_5_0_09-wi"}, {"RP45", "setup.exe"},
        {"RP49", "notepad.exe"}, {"RP50", "Firefox Setup 2"}, {"RP53", "rundll32.exe"},
    };
    for (const auto& [name, process] : processes)
        if (point == name)
            return process;
    return "msiexec.exe";
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

std::string savedCopyContent(const std::string& originalName) {
    const std::string upper = text::upper(originalName);
    const auto endsWith = [&](const char* ext) {
        const std::string e = ext;
        return upper.size() > e.size() && upper.compare(upper.size() - e.size(), e.size(), e) == 0;
    };
    if (endsWith(".DLL") || endsWith(".EXE") || endsWith(".SYS"))
        return std::string("MZ\x90\0\3\0\0\0\4\0\0\0\xff\xff\0\0", 16) +
               "This program cannot be run in DOS mode.\r\n$" + std::string(24, '\0') + originalName +
               " (version d'origine)\r\n";
    return "; " + originalName + " - version d'origine\r\n[General]\r\nVersion=1\r\n";
}

std::vector<std::string> writePointsFromTextLog(const std::string& textLog,
                                                const std::filesystem::path& drivesFolder,
                                                const std::string& guid,
                                                const std::function<std::string(char drive)>& volumeOf) {
    // Per point and drive, the changes in the log's order.
    std::vector<std::pair<std::string, std::vector<LoggedChange>>> logs;
    std::vector<std::string> points;
    std::istringstream in(textLog);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string point = field(line, "RPDir"), drive = field(line, "Drive");
        const std::uint32_t type = entryType(field(line, "EventString"));
        if (point.empty() || drive.empty() || type == 0)
            continue;
        const std::string volume = volumeOf(drive[0]);
        const std::string temp = field(line, "Temp");
        const std::string key = point + "|" + drive.substr(0, 1);
        if (logs.empty() || logs.back().first != key)
            logs.emplace_back(key, std::vector<LoggedChange>{});
        if (points.empty() || points.back() != point)
            points.push_back(point);
        LoggedChange c;
        c.type = type;
        c.sequence = std::stoll(field(line, "SeqNum"));
        c.process = processOf(point);
        c.firstPath = volume + text::fromCp1252(field(line, "Path1"));
        const std::string second = field(line, "Path2");
        c.secondPath = second.empty() ? "" : volume + text::fromCp1252(second);
        if (!temp.empty())
            c.copyPath = volume + "\\System Volume Information\\_restore" + guid + "\\" + point + "\\" + temp;
        c.withAclAndDebug = (c.sequence % 3) == 0;
        logs.back().second.push_back(c);
        if (!temp.empty()) {
            const auto folder = pointFolder(drivesFolder / drive.substr(0, 1), guid, point);
            const std::string path = text::fromCp1252(field(line, "Path1"));
            writeBytes(folder / temp, savedCopyContent(path.substr(path.rfind('\\') + 1)));
        }
    }
    for (const auto& [key, changes] : logs) {
        const std::string point = key.substr(0, key.find('|'));
        const std::string drive = key.substr(key.find('|') + 1);
        writeBytes(pointFolder(drivesFolder / drive, guid, point) / "change.log",
                   changeLogBytes(volumeOf(drive[0]), changes));
    }
    return points;
}

void writeLargePoint(const std::filesystem::path& driveFolder, const std::string& guid,
                     const std::string& volume, const std::string& point, int count) {
    const auto folder = pointFolder(driveFolder, guid, point);
    const std::uint32_t types[] = {restore::EntryStreamChange, restore::EntryFileCreate,
                                   restore::EntryFileDelete};
    std::vector<LoggedChange> changes;
    int logNumber = 0;
    for (int i = 0; i < count; ++i) {
        LoggedChange c;
        c.type = types[i % 3];
        c.sequence = i + 1;
        c.process = "msiexec.exe";
        const std::string name = "lib" + std::to_string((i * 7919) % count) + ".dll";
        c.firstPath = volume + "\\Program Files\\Suite\\module" + std::to_string(i % 40) + "\\" + name;
        if (c.type != restore::EntryFileCreate) {
            char copy[16];
            std::snprintf(copy, sizeof copy, "A%07d.dll", i + 1);
            c.copyPath = copy;
            writeBytes(folder / copy, savedCopyContent(name));
        }
        changes.push_back(std::move(c));
        if (changes.size() == 5000 || i + 1 == count) {
            const std::string log = logNumber == 0 ? "change.log" : "change.log." + std::to_string(logNumber);
            writeBytes(folder / log, changeLogBytes(volume, changes));
            changes.clear();
            ++logNumber;
        }
    }
}

} // namespace platform::sim
