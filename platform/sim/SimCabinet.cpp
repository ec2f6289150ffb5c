#include "platform/DeviceNames.h"
#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/sim/AtomicFile.h"
#include "platform/sim/Machine.h"
#include "platform/sim/Services.h"

#include <mspack.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace platform::sim {
namespace {

namespace fs = std::filesystem;

std::string reason(int mspackError) {
    switch (mspackError) {
    case MSPACK_ERR_OPEN:
        return "the file cannot be opened";
    case MSPACK_ERR_READ:
    case MSPACK_ERR_SEEK:
        return "the file is truncated or unreadable";
    case MSPACK_ERR_WRITE:
        return "an unpacked file cannot be written";
    case MSPACK_ERR_NOMEMORY:
        return "out of memory";
    case MSPACK_ERR_SIGNATURE:
        return "not a cabinet file";
    case MSPACK_ERR_DATAFORMAT:
        return "the cabinet is damaged";
    case MSPACK_ERR_CHECKSUM:
        return "a checksum does not match, the cabinet is damaged";
    case MSPACK_ERR_DECRUNCH:
        return "the compressed data are damaged";
    default:
        return "error " + std::to_string(mspackError);
    }
}

struct Decompressor {
    mscab_decompressor* cabd = mspack_create_cab_decompressor(nullptr);
    mscabd_cabinet* cabinet = nullptr;
    ~Decompressor() {
        if (cabinet) {
            cabd->close(cabd, cabinet);
        }
        mspack_destroy_cab_decompressor(cabd);
    }
};

// An entry name in the folder's terms, or nothing when it could land outside the folder: an
// absolute name, a drive or stream (":"), a ".." component anywhere, a device name, which on
// Windows writes to the device, or a name Windows alters (a trailing dot or blank). Names use "\"
// as on Windows.
std::optional<fs::path> safeRelativePath(const std::string& entry) {
    std::string name = entry;
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty() || name.front() == '/' || name.find(':') != std::string::npos) {
        return std::nullopt;
    }
    fs::path relative;
    for (const auto& component : fs::path(name)) {
        if (component == ".." || platform::isDeviceOrAlteredName(component.string())) {
            return std::nullopt;
        }
        if (!component.empty() && component != "." && component != "/") {
            relative /= component;
        }
    }
    if (relative.empty()) {
        return std::nullopt;
    }
    return relative;
}

std::string entryName(const mscabd_file& file) {
    if (file.attribs & MSCAB_ATTRIB_UTF_NAME) {
        return file.filename;
    }
    // Names without the UTF-8 flag are in the system's code page.
    return text::fromCp1252(file.filename);
}

bool isInside(const fs::path& path, const fs::path& folder) {
    const fs::path real = fs::weakly_canonical(path);
    return std::mismatch(folder.begin(), folder.end(), real.begin(), real.end()).first == folder.end();
}

// Every entry is checked before anything is written, so a hostile cabinet leaves no trace. An entry
// that names a folder of another entry could only be written over it once the other is in place.
std::vector<std::pair<mscabd_file*, fs::path>> plan(const mscabd_cabinet& cabinet,
                                                    const std::string& nameForErrors) {
    std::vector<std::pair<mscabd_file*, fs::path>> entries;
    std::set<fs::path> folders;
    for (mscabd_file* file = cabinet.files; file; file = file->next) {
        const std::string name = entryName(*file);
        auto relative = safeRelativePath(name);
        if (!relative) {
            throw Error(nameForErrors + ": unsafe file name '" + name + "' in cabinet");
        }
        for (fs::path folder = relative->parent_path(); !folder.empty(); folder = folder.parent_path()) {
            folders.insert(folder);
        }
        entries.emplace_back(file, *relative);
    }
    for (const auto& [file, relative] : entries) {
        if (folders.count(relative) > 0) {
            throw Error(nameForErrors + ": the cabinet holds both a file and a folder named '" +
                        entryName(*file) + "'");
        }
    }
    return entries;
}

// The folders an extraction created, removed again when it fails so that it leaves nothing behind.
class CreatedFolders {
public:
    ~CreatedFolders() {
        if (keep_) {
            return;
        }
        std::error_code ignored;
        for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
            fs::remove(*it, ignored); // only when empty: a folder someone filled meanwhile stays
        }
    }
    void create(const fs::path& folder) {
        std::vector<fs::path> missing;
        for (fs::path p = folder; !p.empty() && !fs::exists(fs::symlink_status(p)); p = p.parent_path()) {
            missing.push_back(p);
            if (p == p.parent_path()) {
                break;
            }
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            fs::create_directory(*it);
            created_.push_back(*it);
        }
        fs::create_directories(folder); // reports a part that exists but is no folder
    }
    void keep() { keep_ = true; }

private:
    std::vector<fs::path> created_;
    bool keep_ = false;
};

void unpack(Decompressor& d, const std::vector<std::pair<mscabd_file*, fs::path>>& entries,
            const fs::path& folder, const std::string& nameForErrors, const std::string& folderForErrors) {
    CreatedFolders created;
    created.create(folder);
    const fs::path realFolder = fs::canonical(folder);
    // Each file goes to a temporary name first; they replace the old ones only when all are whole.
    std::vector<AtomicFile> unpacked;
    for (const auto& [file, relative] : entries) {
        const fs::path target = folder / relative;
        created.create(target.parent_path());
        // A folder of the destination may be a link leading elsewhere.
        if (!isInside(target.parent_path(), realFolder)) {
            throw Error(nameForErrors + ": unsafe file name '" + entryName(*file) + "' in cabinet");
        }
        std::error_code error;
        if (fs::is_directory(fs::symlink_status(target, error))) {
            throw Error(nameForErrors + ": cannot unpack '" + entryName(*file) +
                        "': a folder of that name is in " + folderForErrors);
        }
        try {
            unpacked.emplace_back(target);
        } catch (const Error&) {
            throw Error(nameForErrors + ": cannot unpack '" + entryName(*file) + "' into " + folderForErrors);
        }
        if (d.cabd->extract(d.cabd, file, unpacked.back().tempPath().c_str()) != MSPACK_ERR_OK) {
            throw Error(nameForErrors + ": cannot unpack '" + entryName(*file) +
                        "': " + reason(d.cabd->last_error(d.cabd)));
        }
    }
    created.keep();
    for (auto& file : unpacked) {
        try {
            file.commit();
        } catch (const Error&) {
            throw Error(nameForErrors + ": cannot unpack the cabinet into " + folderForErrors);
        }
    }
}

} // namespace

void extractCabinet(const fs::path& cabinet, const fs::path& folder, const std::string& nameForErrors,
                    const std::string& folderForErrors) {
    std::error_code missing;
    if (!fs::is_regular_file(cabinet, missing)) {
        throw Error(nameForErrors + ": the cabinet does not exist");
    }
    Decompressor d;
    if (!d.cabd) {
        throw Error(nameForErrors + ": cannot unpack the cabinet: out of memory");
    }
    d.cabinet = d.cabd->open(d.cabd, cabinet.c_str());
    if (!d.cabinet) {
        throw Error(nameForErrors + ": cannot read the cabinet: " + reason(d.cabd->last_error(d.cabd)));
    }
    const auto entries = plan(*d.cabinet, nameForErrors);
    try {
        unpack(d, entries, folder, nameForErrors, folderForErrors);
    } catch (const fs::filesystem_error& e) {
        throw Error(nameForErrors + ": cannot unpack the cabinet into " + folderForErrors + " (" +
                    e.code().message() + ")");
    }
}

void SimCabinet::extract(const std::string& cabinetPath, const std::string& folder) {
    const std::string name = m_.paths().absolute(cabinetPath);
    const auto hostCabinet = m_.paths().toHost(cabinetPath);
    if (!hostCabinet) {
        throw Error(name + ": the cabinet does not exist");
    }
    const auto hostFolder = m_.paths().toHost(folder);
    if (!hostFolder) {
        throw Error(name + ": cannot unpack the cabinet into " + m_.paths().absolute(folder));
    }
    extractCabinet(*hostCabinet, *hostFolder, name, m_.paths().absolute(folder));
}

} // namespace platform::sim
