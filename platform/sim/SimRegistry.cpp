// The registry of the simulated machine: keys over the machine's registry.reg, which is saved
// after every change. A key object holds only its path and looks the key up at each call, so it
// stays valid whatever else changes in the registry.
#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/sim/Machine.h"
#include "platform/sim/Services.h"

#include <algorithm>
#include <functional>

namespace platform::sim {

namespace {

// machine.json "registry_read_only": true makes the registry behave as for a user without
// administrator rights: keys open for reading only (asking for full access fails) and every change
// is refused.
bool isReadOnly(Machine& machine) {
    const auto& state = machine.state();
    if (!state.is_object())
        return false;
    const auto knob = state.find("registry_read_only");
    return knob != state.end() && knob->is_boolean() && knob->get<bool>();
}

// A key exists when it has a section of its own or a subkey does (the file need not list parents).
bool keyExists(const RegFile& file, const std::string& fullPath) {
    if (file.find(fullPath))
        return true;
    const std::size_t length = fullPath.size();
    for (const RegKeyData& key : file.keys())
        if (key.path.size() > length && key.path[length] == '\\' &&
            text::equalsIgnoreCase(std::string_view(key.path).substr(0, length), fullPath))
            return true;
    return false;
}

// A change of the registry that reaches registry.reg, or none at all: when the file cannot be
// written (a full drive), the registry in memory goes back to what the file holds.
bool changeAndSave(Machine& m, const std::function<void(RegFile&)>& change) {
    RegFile before = m.registryFile();
    change(m.registryFile());
    try {
        m.saveRegistry();
    } catch (const Error&) {
        m.registryFile() = std::move(before);
        return false;
    }
    return true;
}

class SimRegistryKey : public RegistryKey {
public:
    SimRegistryKey(Machine& machine, std::string fullPath) : machine_(machine), path_(std::move(fullPath)) {}

    bool valueExists(const std::string& name) const override { return read(name).has_value(); }

    std::optional<RegValue> read(const std::string& name) const override {
        const RegKeyData* key = machine_.registryFile().find(path_);
        if (!key)
            return std::nullopt;
        for (const auto& [valueName, value] : key->values)
            if (text::equalsIgnoreCase(valueName, name))
                return value;
        return std::nullopt;
    }

    void write(const std::string& name, const RegValue& value) override {
        if (isReadOnly(machine_))
            throw registryWriteFailed(name);
        if (!changeAndSave(machine_, [&](RegFile& file) { setValue(file.create(path_), name, value); }))
            throw registryWriteFailed(name);
    }

    std::vector<std::string> valueNames() const override {
        std::vector<std::string> names;
        if (const RegKeyData* key = machine_.registryFile().find(path_))
            for (const auto& entry : key->values)
                names.push_back(entry.first);
        return names;
    }

    bool deleteValue(const std::string& name) override {
        if (isReadOnly(machine_))
            return false;
        RegKeyData* key = machine_.registryFile().find(path_);
        if (!key)
            return false;
        const auto it = std::find_if(key->values.begin(), key->values.end(), [&](const auto& entry) {
            return text::equalsIgnoreCase(entry.first, name);
        });
        if (it == key->values.end())
            return false;
        const auto at = it - key->values.begin();
        return changeAndSave(machine_, [&](RegFile& file) {
            auto& values = file.find(path_)->values;
            values.erase(values.begin() + at);
        });
    }

private:
    Machine& machine_;
    std::string path_;
};

std::string fullPathOf(RegRoot root, std::string_view path) {
    while (!path.empty() && path.front() == '\\')
        path.remove_prefix(1);
    while (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    return path.empty() ? rootName(root) : rootName(root) + "\\" + std::string(path);
}

} // namespace

std::unique_ptr<RegistryKey> SimRegistry::open(RegRoot root, const std::string& path, bool create) {
    const std::string fullPath = fullPathOf(root, path);
    RegFile& file = m_.registryFile();
    if (create) {
        if (isReadOnly(m_))
            return nullptr;
        if (!file.find(fullPath) && !changeAndSave(m_, [&](RegFile& f) { f.create(fullPath); }))
            return nullptr;
    } else if (fullPath != rootName(root) && !keyExists(file, fullPath)) {
        return nullptr;
    }
    return std::make_unique<SimRegistryKey>(m_, fullPath);
}

std::unique_ptr<RegistryKey> SimRegistry::openFullAccess(RegRoot root, const std::string& path) {
    if (isReadOnly(m_))
        return nullptr;
    return open(root, path, false);
}

} // namespace platform::sim
