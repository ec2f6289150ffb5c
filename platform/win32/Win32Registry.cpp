// The registry through advapi32. A key object holds its open handle for one operation of the
// program and closes it when dropped.
#include "platform/Error.h"
#include "platform/win32/Ansi.h"
#include "platform/win32/Services.h"

#include <windows.h>

namespace platform::win32 {

namespace {

// Full access, and the machine's own view of the keys even for the 32-bit build on 64-bit
// Windows (32-bit Windows ignores the flag).
constexpr REGSAM kAccess = KEY_ALL_ACCESS | KEY_WOW64_64KEY;

class Win32RegistryKey : public RegistryKey {
public:
    explicit Win32RegistryKey(HKEY key) : key_(key) {}
    ~Win32RegistryKey() override { RegCloseKey(key_); }
    Win32RegistryKey(const Win32RegistryKey&) = delete;
    Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

    bool valueExists(const std::string& name) const override {
        return RegQueryValueExA(key_, ansi(name).c_str(), nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
    }

    std::optional<RegValue> read(const std::string& name) const override {
        const std::string ansiName = ansi(name);
        for (;;) {
            DWORD type = 0, size = 0;
            if (RegQueryValueExA(key_, ansiName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                return std::nullopt;
            RegValue value{static_cast<RegType>(type), std::string(size, '\0')};
            const LONG result = RegQueryValueExA(key_, ansiName.c_str(), nullptr, &type,
                                                 reinterpret_cast<BYTE*>(value.data.data()), &size);
            if (result == ERROR_MORE_DATA)
                continue; // it grew between the two calls
            if (result != ERROR_SUCCESS)
                return std::nullopt;
            value.type = static_cast<RegType>(type);
            value.data.resize(size);
            return value;
        }
    }

    void write(const std::string& name, const RegValue& value) override {
        const LONG result = RegSetValueExA(key_, ansi(name).c_str(), 0, static_cast<DWORD>(value.type),
                                           reinterpret_cast<const BYTE*>(value.data.data()),
                                           static_cast<DWORD>(value.data.size()));
        if (result != ERROR_SUCCESS)
            throw registryWriteFailed(name);
    }

    std::vector<std::string> valueNames() const override {
        std::vector<std::string> names;
        DWORD count = 0, longest = 0;
        if (RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longest,
                             nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return names;
        std::string buffer(longest + 1, '\0');
        for (DWORD index = 0;; ++index) {
            DWORD length = static_cast<DWORD>(buffer.size());
            const LONG result =
                RegEnumValueA(key_, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
            if (result == ERROR_MORE_DATA) {
                buffer.resize(buffer.size() * 2);
                --index;
                continue;
            }
            if (result != ERROR_SUCCESS)
                break;
            names.push_back(utf8(buffer.substr(0, length)));
        }
        return names;
    }

    bool deleteValue(const std::string& name) override {
        return RegDeleteValueA(key_, ansi(name).c_str()) == ERROR_SUCCESS;
    }

    const text::AnsiCodePage& codePage() const override { return systemCodePage(); }

private:
    HKEY key_;
};

} // namespace

std::unique_ptr<RegistryKey> Win32Registry::open(RegRoot root, const std::string& path, bool create) {
    const HKEY rootKey = root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT;
    std::string subKey = ansi(path);
    while (!subKey.empty() && subKey.front() == '\\')
        subKey.erase(0, 1);
    HKEY key = nullptr;
    const LONG result = create ? RegCreateKeyExA(rootKey, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                 kAccess, nullptr, &key, nullptr)
                               : RegOpenKeyExA(rootKey, subKey.c_str(), 0, kAccess, &key);
    if (result != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
}

// Every key is opened with full access already, so a user without the right to write is refused.
std::unique_ptr<RegistryKey> Win32Registry::openFullAccess(RegRoot root, const std::string& path) {
    return open(root, path, false);
}

} // namespace platform::win32
