#pragma once
// The platform services on the real Windows API, one class per interface. Text is UTF-8 inside
// the program and the system's ANSI code page for the A functions: each class converts at its edge.
#include "platform/FileProfile.h"
#include "platform/Platform.h"

namespace platform::win32 {

class Win32Environment : public Environment {
public:
    std::optional<std::string> get(const std::string& name) const override;
};

class Win32FileSystem : public FileSystem {
public:
    bool fileExists(const std::string& path) const override;
    bool folderExists(const std::string& path) const override;
    bool rename(const std::string& from, const std::string& to) override;
    bool copy(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override;
    bool createFolder(const std::string& path) override;
    bool deleteTree(const std::string& path) override;
    std::optional<std::uint64_t> freeBytes(const std::string& root) const override;
    std::string tempFolder() const override;
    std::string currentFolder() const override;
    std::optional<std::string> readFile(const std::string& path) const override;
    void writeFile(const std::string& path, const std::string& bytes) override;
    std::optional<FileStamp> stamp(const std::string& path) const override;
    std::vector<std::string> list(const std::string& folder) const override;
    bool inUse(const std::string& path) const override;
};

class Win32Registry : public Registry {
public:
    std::unique_ptr<RegistryKey> open(RegRoot root, const std::string& path, bool create) override;
    std::unique_ptr<RegistryKey> openFullAccess(RegRoot root, const std::string& path) override;
};

// Lets this process read System Restore's stores, which only SYSTEM may open (Win32RestoreStore.cpp).
void enableBackupPrivilege();

class Win32SystemRestore : public SystemRestore {
public:
    std::unique_ptr<SrAutomation> automationObject() override;
    std::vector<WmiInstance> restorePoints() override;
    LocalDateTime toLocalTime(int year, int month, int day, int hour, int minute, int second,
                              int microseconds, int utcOffsetMinutes) override;
    bool SRSetRestorePointA(const RestorePointInfoA& info, StateMgrStatus& status) override;
    const text::AnsiCodePage& codePage() const override;
    std::uint32_t SRRemoveRestorePoint(std::uint32_t sequenceNumber) override;
    std::vector<DriveState> drives() override;
    std::optional<StoreUsage> storeUsage(const std::string& root) override;
};

class Win32Shell : public Shell {
public:
    Win32Shell() = default;
    ~Win32Shell() override;
    Win32Shell(const Win32Shell&) = delete;
    Win32Shell& operator=(const Win32Shell&) = delete;
    void runCommand(const std::string& parameters) override;
    bool commandRunning() override;
    void winExec(const std::string& commandLine) override;
    std::optional<std::string> findExecutable(const std::string& file) override;
    void start(const std::string& file, const std::string& parameters) override;

private:
    void forgetCommand();
    void* job_ = nullptr;     // the last command and what it started, where jobs can hold them
    void* process_ = nullptr; // the last command's interpreter
};

class Win32Cabinet : public Cabinet {
public:
    void extract(const std::string& cabinetPath, const std::string& folder) override;
};

class Win32Download : public Download {
public:
    bool toFile(const std::string& url, const std::string& path, const DownloadLimits& limits) override;
    void forgetCached(const std::string& url) override;
};

class Win32Process : public Process {
public:
    void sleep(std::uint32_t milliseconds) override;
    std::int64_t nowMs() override;
    std::int64_t unixSeconds() override;
    void trimWorkingSet() override;
};

class Win32RestoreStore : public RestoreStore {
public:
    std::optional<std::string> storeFolder(const std::string& root) override;
    std::vector<StoreEntry> list(const std::string& folder) override;
    std::optional<std::string> read(const std::string& path) override;
    std::optional<std::string> volumeDevice(const std::string& drive) override;
};

// The Windows folder, UTF-8, with a trailing backslash: where a profile file's bare name lives.
std::string windowsFolder();

// True when the program runs on Wine rather than on Windows (ntdll exports wine_get_version).
bool runningOnWine();

// Every service of this machine, with the program's own profile reader over the real files.
class Win32Platform {
public:
    explicit Win32Platform(std::string programFolder) : programFolder_(std::move(programFolder)) {}
    Platform platform() {
        return Platform{environment_, files_,    profile_, registry_,     systemRestore_, shell_,
                        cabinet_,     download_, process_, restoreStore_, programFolder_};
    }

private:
    std::string programFolder_;
    Win32Environment environment_;
    Win32FileSystem files_;
    FileProfile profile_{files_, windowsFolder()};
    Win32Registry registry_;
    Win32SystemRestore systemRestore_;
    Win32Shell shell_;
    Win32Cabinet cabinet_;
    Win32Download download_;
    Win32Process process_;
    Win32RestoreStore restoreStore_;
};

} // namespace platform::win32
