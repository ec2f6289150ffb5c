#include "platform/sim/Srdiag.h"

#include "platform/Error.h"
#include "platform/sim/AtomicFile.h"

#include <libgcab.h>

#include <fstream>
#include <memory>

namespace platform::sim {
namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};

[[noreturn]] void fail(const std::filesystem::path& cabPath, const std::string& what, GError* error) {
    std::unique_ptr<GError, GErrorFree> owned(error);
    std::string text = cabPath.string() + ": cannot write the cabinet: " + what;
    if (owned) {
        text += " (" + std::string(owned->message) + ")";
    }
    throw Error(text);
}

GObjectPtr<GCabFolder> folderOf(const std::filesystem::path& cabPath,
                                const std::vector<std::pair<std::string, std::string>>& files) {
    GObjectPtr<GCabFolder> folder(gcab_folder_new(GCAB_COMPRESSION_MSZIP));
    for (const auto& [name, content] : files) {
        GBytes* bytes = g_bytes_new(content.data(), content.size());
        GObjectPtr<GCabFile> file(gcab_file_new_with_bytes(name.c_str(), bytes));
        g_bytes_unref(bytes);
        // Files made from memory carry no date of their own: stamp them with the time of writing.
        GDateTime* now = g_date_time_new_now_local();
        gcab_file_set_date_time(file.get(), now);
        g_date_time_unref(now);
        GError* error = nullptr;
        if (!gcab_folder_add_file(folder.get(), file.get(), FALSE, nullptr, &error)) {
            fail(cabPath, "cannot add '" + name + "'", error);
        }
    }
    return folder;
}

// The whole cabinet in memory: it holds a few log files, and writing it at once keeps the
// temporary-file handling in one place.
std::string cabinetBytes(const std::filesystem::path& cabPath,
                         const std::vector<std::pair<std::string, std::string>>& files) {
    GObjectPtr<GCabCabinet> cabinet(gcab_cabinet_new());
    GObjectPtr<GCabFolder> folder = folderOf(cabPath, files);
    GError* error = nullptr;
    if (!gcab_cabinet_add_folder(cabinet.get(), folder.get(), &error)) {
        fail(cabPath, "cannot add the folder", error);
    }
    GObjectPtr<GOutputStream> out(g_memory_output_stream_new_resizable());
    if (!gcab_cabinet_write_simple(cabinet.get(), out.get(), nullptr, nullptr, nullptr, &error) ||
        !g_output_stream_close(out.get(), nullptr, &error)) {
        fail(cabPath, "compression failed", error);
    }
    auto* memory = G_MEMORY_OUTPUT_STREAM(out.get());
    const auto* data = static_cast<const char*>(g_memory_output_stream_get_data(memory));
    return std::string(data, g_memory_output_stream_get_data_size(memory));
}

} // namespace

void writeCabinet(const std::filesystem::path& cabPath,
                  const std::vector<std::pair<std::string, std::string>>& files) {
    const std::string bytes = cabinetBytes(cabPath, files);
    AtomicFile file(cabPath);
    std::ofstream out(file.tempPath(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        fail(cabPath, "the disk refused the data", nullptr);
    }
    file.commit();
}

} // namespace platform::sim
