#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/sim/AtomicFile.h"
#include "platform/sim/Machine.h"
#include "platform/sim/Services.h"

#include <mspack.h>

#include <algorithm>
#include <memory>
#include <optional>
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
// absolute name, a drive or stream (":"), or a ".." component anywhere. Names use "\" as on Windows.
std::optional<fs::path> safeRelativePath(const std::string& entry) {
    std::string name = entry;
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty() || name.front() == '/' || name.find(':') != std::string::npos) {
        return std::nullopt;
    }
    fs::path relative;
    for (const auto& component : fs::path(name)) {
        if (component == "..") {
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

// Every entry is checked before anything is written, so a hostile cabinet leaves no trace.
std::vector<std::pair<mscabd_file*, fs::path>> plan(const mscabd_cabinet& cabinet,
                                                    const std::string& nameForErrors) {
    std::vector<std::pair<mscabd_file*, fs::path>> entries;
    for (mscabd_file* file = cabinet.files; file; file = file->next) {
        const std::string name = entryName(*file);
        auto relative = safeRelativePath(name);
        if (!relative) {
            throw Error(nameForErrors + ": unsafe file name '" + name + "' in cabinet");
        }
        entries.emplace_back(file, *relative);
    }
    return entries;
}

void unpack(Decompressor& d, const std::vector<std::pair<mscabd_file*, fs::path>>& entries,
            const fs::path& folder, const std::string& nameForErrors) {
    fs::create_directories(folder);
    const fs::path realFolder = fs::canonical(folder);
    // Each file goes to a temporary name first; they replace the old ones only when all are whole.
    std::vector<AtomicFile> unpacked;
    for (const auto& [file, relative] : entries) {
        const fs::path target = folder / relative;
        fs::create_directories(target.parent_path());
        // A folder of the destination may be a link leading elsewhere.
        if (!isInside(target.parent_path(), realFolder)) {
            throw Error(nameForErrors + ": unsafe file name '" + entryName(*file) + "' in cabinet");
        }
        AtomicFile& out = unpacked.emplace_back(target);
        if (d.cabd->extract(d.cabd, file, out.tempPath().c_str()) != MSPACK_ERR_OK) {
            throw Error(nameForErrors + ": cannot unpack '" + entryName(*file) +
                        "': " + reason(d.cabd->last_error(d.cabd)));
        }
    }
    for (auto& file : unpacked) {
        file.commit();
    }
}

} // namespace

void extractCabinet(const fs::path& cabinet, const fs::path& folder, const std::string& nameForErrors) {
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
        unpack(d, entries, folder, nameForErrors);
    } catch (const fs::filesystem_error& e) {
        throw Error(nameForErrors + ": cannot unpack the cabinet into " + folder.string() + " (" +
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
    extractCabinet(*hostCabinet, *hostFolder, name);
}

} // namespace platform::sim
