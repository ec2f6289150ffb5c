#include "restore/SavedFiles.h"

#include "platform/Text.h"

#include <algorithm>
#include <map>
#include <utility>

namespace restore {

namespace {

struct Operation {
    std::uint32_t bits;
    const char* key;
    const char* name;
};

// Folder operations first: a folder's entry may carry stream bits too.
constexpr Operation operations[] = {
    {EntryDirCreate, "OpDossierCree", "folder-create"},
    {EntryDirDelete, "OpDossierSupprime", "folder-delete"},
    {EntryDirRename, "OpDossierRenomme", "folder-rename"},
    {EntryFileCreate | EntryStreamCreate, "OpCreation", "create"},
    {EntryFileDelete, "OpSuppression", "delete"},
    {EntryFileRename, "OpRenommage", "rename"},
    {EntryStreamChange | EntryStreamOverwrite, "OpModification", "modify"},
    {EntryAttrChange, "OpAttributs", "attributes"},
    {EntryAclChange, "OpSecurite", "acl"},
};

const Operation* operation(std::uint32_t type) {
    for (const Operation& op : operations)
        if (type & op.bits)
            return &op;
    return nullptr;
}

bool isLogName(const std::string& name) {
    const std::string base = "CHANGE.LOG";
    const std::string upper = platform::text::upper(name);
    if (upper == base)
        return true;
    if (upper.size() < base.size() + 2 || upper.compare(0, base.size() + 1, base + ".") != 0)
        return false;
    return std::all_of(upper.begin() + static_cast<std::ptrdiff_t>(base.size()) + 1, upper.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

using Devices = std::vector<std::pair<std::string, std::string>>; // "C:", "\Device\HarddiskVolume1"

std::string userPath(const std::string& logged, const Devices& devices) {
    for (const auto& [drive, device] : devices) {
        if (logged.size() > device.size() && logged[device.size()] == '\\' &&
            platform::text::equalsIgnoreCase(std::string_view(logged).substr(0, device.size()), device))
            return drive + logged.substr(device.size());
    }
    return logged;
}

void readFolder(platform::RestoreStore& store, const std::string& folder, const std::string& pointFolder,
                const Devices& devices, PointFiles& out) {
    std::map<std::string, std::uint64_t> sizes; // upper-case name -> size
    std::vector<std::string> logs;
    for (const platform::StoreEntry& e : store.list(folder)) {
        if (e.folder)
            continue;
        sizes[platform::text::upper(e.name)] = e.size;
        if (isLogName(e.name))
            logs.push_back(e.name);
    }
    // change.log, change.log.1, change.log.2…: in this order their entries mostly come sorted.
    std::sort(logs.begin(), logs.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    for (const std::string& name : logs) {
        const auto bytes = store.read(folder + name);
        if (!bytes) {
            out.problems.push_back({"JournalIllisible", folder + name, 0});
            continue;
        }
        ParsedLog log = parseChangeLog(*bytes, pointFolder);
        if (log.fault)
            out.problems.push_back({faultKey(*log.fault), folder + name, log.faultOffset});
        for (LogEntry& e : log.entries) {
            FileChange c{e.sequence,
                         e.type,
                         userPath(e.firstPath, devices),
                         userPath(e.secondPath, devices),
                         e.copyName,
                         {},
                         {},
                         std::move(e.process)};
            if (!c.copyName.empty()) {
                c.copyPath = folder + c.copyName;
                if (auto size = sizes.find(platform::text::upper(c.copyName)); size != sizes.end())
                    c.copySize = size->second;
            }
            out.changes.push_back(std::move(c));
        }
    }
}

} // namespace

const char* operationKey(std::uint32_t type) {
    const Operation* op = operation(type);
    return op ? op->key : "OpAutre";
}

const char* operationName(std::uint32_t type) {
    const Operation* op = operation(type);
    return op ? op->name : "other";
}

PointFiles readPointFiles(platform::RestoreStore& store, const std::vector<std::string>& roots,
                          const std::string& pointFolder) {
    Devices devices;
    for (const std::string& root : roots) {
        const std::string drive = root.substr(0, 2);
        if (auto device = store.volumeDevice(drive))
            devices.emplace_back(drive, *device);
    }
    PointFiles out;
    for (const std::string& root : roots) {
        if (auto folder = store.storeFolder(root))
            readFolder(store, *folder + pointFolder + "\\", pointFolder, devices, out);
    }
    const auto bySequence = [](const FileChange& a, const FileChange& b) { return a.sequence < b.sequence; };
    if (!std::is_sorted(out.changes.begin(), out.changes.end(), bySequence)) // the usual case: logs in order
        std::stable_sort(out.changes.begin(), out.changes.end(), bySequence);
    return out;
}

std::vector<FileChange> sortedByPath(std::vector<FileChange> changes) {
    // Upper-cased once: comparing without regard to case costs far more than comparing bytes.
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(changes.size());
    for (std::size_t i = 0; i < changes.size(); ++i)
        keys.emplace_back(platform::text::upper(changes[i].path), i);
    std::stable_sort(keys.begin(), keys.end(), [&changes](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first
                                  : changes[a.second].sequence < changes[b.second].sequence;
    });
    std::vector<FileChange> sorted;
    sorted.reserve(changes.size());
    for (const auto& key : keys)
        sorted.push_back(std::move(changes[key.second]));
    return sorted;
}

bool matchesFilter(const FileChange& change, const std::string& typed) {
    return typed.empty() ||
           platform::text::upper(change.path).find(platform::text::upper(typed)) != std::string::npos;
}

} // namespace restore
