#include "config/Repair.h"

namespace config {

std::vector<FileRestoration> fileRestorations(const std::string& windowsFolder) {
    const std::string system = windowsFolder + "\\system32";
    const std::string servicePack = windowsFolder + "\\ServicePackFiles\\i386";
    return {
        {{system + "\\dllcache\\Framedyn.dll", servicePack + "\\Framedyn.dll"},
         {system + "\\wbem\\Framedyn.dll", system + "\\Framedyn.dll"}},
        {{system + "\\dllcache\\srclient.dll", servicePack + "\\srclient.dll"}, {system + "\\srclient.dll"}},
    };
}

void restoreFiles(platform::FileSystem& files, const std::vector<FileRestoration>& restorations) {
    for (const FileRestoration& restoration : restorations) {
        for (const std::string& source : restoration.sources) {
            if (!files.fileExists(source))
                continue;
            for (const std::string& target : restoration.targets)
                files.copy(source, target);
            break;
        }
    }
}

std::vector<ClassesValue> htcAssociation(const std::string& systemFolder) {
    const std::string clsid = "{3050f4f8-98b5-11cf-bb82-00aa00bdce0b}";
    const std::string mime = "MIME\\Database\\Content Type\\text/x-component";
    return {
        {".htc", "Content Type", "text/x-component"},
        {".htc", "", "htcfile"},
        {mime, "CLSID", clsid},
        {mime, "Extension", ".htc"},
        {"CLSID\\" + clsid, "", "Microsoft Html Component"},
        {"CLSID\\" + clsid + "\\InProcServer32", "", systemFolder + "\\mshtml.dll"},
        {"CLSID\\" + clsid + "\\InProcServer32", "ThreadingModel", "Apartment"},
    };
}

void writeClassesValues(platform::Registry& registry, platform::RegRoot root,
                        const std::vector<ClassesValue>& values) {
    std::size_t i = 0;
    while (i < values.size()) {
        // The values of one key stand together: the key is opened once for them.
        std::size_t end = i;
        while (end < values.size() && values[end].key == values[i].key)
            ++end;
        if (const auto key = registry.open(root, values[i].key, true))
            for (std::size_t j = i; j < end; ++j)
                platform::reg::writeString(*key, values[j].name, values[j].data);
        i = end;
    }
}

std::string driveRoot(const std::string& folder) {
    const std::size_t colon = folder.find(':');
    return colon == std::string::npos ? folder : folder.substr(0, colon + 1) + "\\";
}

} // namespace config
