#include "restore/BinaryChangeLog.h"

#include "platform/Text.h"

namespace restore {

namespace {

std::uint32_t dword(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

std::int64_t qword(std::string_view bytes, std::size_t at) {
    const std::uint64_t low = dword(bytes, at), high = dword(bytes, at + 4);
    return static_cast<std::int64_t>((high << 32) | low);
}

// UTF-16 text up to its terminating zero character; nothing when the data holds none.
std::optional<std::string> terminatedText(std::string_view data) {
    for (std::size_t i = 0; i + 1 < data.size(); i += 2)
        if (data[i] == 0 && data[i + 1] == 0)
            return platform::text::fromUtf16le(data.substr(0, i));
    return std::nullopt;
}

struct Fault {
    LogFault kind;
    std::size_t offset;
};

class Reader {
public:
    Reader(std::string_view bytes, std::string_view pointFolder) : bytes_(bytes), point_(pointFolder) {}

    ParsedLog read() {
        ParsedLog log;
        try {
            std::size_t at = header(log.volume);
            while (at < bytes_.size()) {
                LogEntry e;
                at = entry(at, e);
                log.entries.push_back(std::move(e));
            }
        } catch (const Fault& f) {
            log.fault = f.kind;
            log.faultOffset = f.offset;
        }
        return log;
    }

private:
    // The record at `at` fits within `end`: returns its size and type.
    std::pair<std::uint32_t, std::uint32_t> record(std::size_t at, std::size_t end, std::size_t least) const {
        if (end < at + 8)
            throw Fault{LogFault::Truncated, at};
        const std::uint32_t size = dword(bytes_, at);
        if (size < least || size > end - at)
            throw Fault{LogFault::RecordSize, at};
        return {size, dword(bytes_, at + 4)};
    }

    void closing(std::size_t start, std::uint32_t size) const {
        if (dword(bytes_, start + size - 4) != size)
            throw Fault{LogFault::Closing, start + size - 4};
    }

    std::string text(std::size_t at, std::uint32_t size) const {
        auto value = terminatedText(bytes_.substr(at + 8, size - 8));
        if (!value)
            throw Fault{LogFault::Unterminated, at};
        return *value;
    }

    std::size_t header(std::string& volume) const {
        const auto [size, type] = record(0, bytes_.size(), 30);
        if (type != RecordLogHeader || dword(bytes_, 8) != changeLogMagic ||
            dword(bytes_, 12) != changeLogVersion)
            throw Fault{LogFault::Magic, 0};
        const auto [pathSize, pathType] = record(16, size - 4, 10);
        if (pathType != RecordVolumePath)
            throw Fault{LogFault::Magic, 16};
        volume = text(16, pathSize);
        closing(0, size);
        return size;
    }

    std::size_t entry(std::size_t at, LogEntry& e) const {
        const auto [size, type] = record(at, bytes_.size(), entryFixedSize + 4);
        if (type != RecordLogEntry || dword(bytes_, at + 8) != changeLogMagic)
            throw Fault{LogFault::Magic, at};
        closing(at, size);
        e.type = dword(bytes_, at + 12);
        e.flags = dword(bytes_, at + 16);
        e.attributes = dword(bytes_, at + 20);
        e.sequence = qword(bytes_, at + 24);
        std::string name(bytes_.substr(at + 32, 32));
        name += std::string(2, '\0'); // a name filling all 16 characters has no terminator of its own
        e.process = *terminatedText(name);
        const std::size_t end = at + size - 4;
        for (std::size_t r = at + entryFixedSize; r < end;)
            r += part(r, end, e);
        return at + size;
    }

    std::uint32_t part(std::size_t at, std::size_t end, LogEntry& e) const {
        const auto [size, type] = record(at, end, 8);
        switch (type) {
        case RecordFirstPath:
            e.firstPath = text(at, size);
            break;
        case RecordSecondPath:
            e.secondPath = text(at, size);
            break;
        case RecordTempPath:
            e.copyName = copyName(at, text(at, size));
            break;
        case RecordShortName:
        case RecordAclFile:
            text(at, size); // held to the same rule, though not shown
            break;
        default:
            break; // inline ACL, debug info and records of later versions: not needed here
        }
        return size;
    }

    // The copy's name alone, or under this point's folder; anything else is never read.
    std::string copyName(std::size_t at, const std::string& value) const {
        const std::size_t slash = value.rfind('\\');
        const std::string name = slash == std::string::npos ? value : value.substr(slash + 1);
        const std::string folder = "\\" + std::string(point_) + "\\";
        const bool placed = slash == std::string::npos ||
                            (slash + 1 >= folder.size() &&
                             platform::text::equalsIgnoreCase(
                                 value.substr(slash + 1 - folder.size(), folder.size()), folder) &&
                             value.find("..") == std::string::npos);
        if (!placed || !isCopyName(name))
            throw Fault{LogFault::CopyName, at};
        return name;
    }

    std::string_view bytes_;
    std::string_view point_;
};

} // namespace

const char* faultKey(LogFault fault) {
    switch (fault) {
    case LogFault::Truncated:
        return "JournalTronque";
    case LogFault::RecordSize:
        return "JournalTaille";
    case LogFault::Closing:
        return "JournalFin";
    case LogFault::Magic:
        return "JournalInconnu";
    case LogFault::Unterminated:
        return "JournalChemin";
    case LogFault::CopyName:
        return "JournalCopie";
    }
    return "JournalInconnu";
}

bool isCopyName(std::string_view name) {
    if (name.size() < 8 || name[0] != 'A')
        return false;
    for (std::size_t i = 1; i < 8; ++i)
        if (name[i] < '0' || name[i] > '9')
            return false;
    if (name.size() == 8)
        return true;
    if (name[8] != '.' || name.size() == 9)
        return false;
    for (std::size_t i = 9; i < name.size(); ++i) {
        const char c = name[i];
        const bool alnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!alnum && c != '_' && c != '-' && c != '~' && c != '$')
            return false;
    }
    return true;
}

ParsedLog parseChangeLog(std::string_view bytes, std::string_view pointFolder) {
    return Reader(bytes, pointFolder).read();
}

} // namespace restore
