#pragma once
// The platform services of the simulated machine, one class per interface.
#include "platform/FileProfile.h"
#include "platform/Platform.h"

#include <filesystem>

namespace platform::sim {

class Machine;

class SimEnvironment : public Environment {
public:
    explicit SimEnvironment(Machine& m) : m_(m) {}
    std::optional<std::string> get(const std::string& name) const override;

private:
    Machine& m_;
};

class SimFileSystem : public FileSystem {
public:
    explicit SimFileSystem(Machine& m) : m_(m) {}
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

private:
    Machine& m_;
};

// The profile functions, each one service call of the machine however many file accesses it makes.
class SimProfile : public FileProfile {
public:
    SimProfile(Machine& m, FileSystem& files) : FileProfile(files), m_(m) {}
    std::string readString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    void writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::vector<std::string> sectionNames(const std::string& file) override;
    void deleteKey(const std::string& file, const std::string& section, const std::string& key) override;
    void deleteSection(const std::string& file, const std::string& section) override;
    void holdWrites(const std::string& file) override;
    void flush(const std::string& file) override;

private:
    Machine& m_;
};

class SimRegistry : public Registry {
public:
    explicit SimRegistry(Machine& m) : m_(m) {}
    std::unique_ptr<RegistryKey> open(RegRoot root, const std::string& path, bool create) override;
    std::unique_ptr<RegistryKey> openFullAccess(RegRoot root, const std::string& path) override;

private:
    Machine& m_;
};

class SimSystemRestore : public SystemRestore {
public:
    explicit SimSystemRestore(Machine& m) : m_(m) {}
    std::unique_ptr<SrAutomation> automationObject() override;
    std::vector<WmiInstance> restorePoints() override;
    LocalDateTime toLocalTime(int year, int month, int day, int hour, int minute, int second,
                              int microseconds, int utcOffsetMinutes) override;
    bool SRSetRestorePointA(const RestorePointInfoA& info, StateMgrStatus& status) override;
    std::uint32_t SRRemoveRestorePoint(std::uint32_t sequenceNumber) override;
    std::vector<DriveState> drives() override;
    std::optional<StoreUsage> storeUsage(const std::string& root) override;

private:
    Machine& m_;
};

// A drive of machine.json by its letter as written there: its size, when known.
std::optional<std::uint64_t> driveTotalBytes(Machine& m, const std::string& letter);

class SimShell : public Shell {
public:
    explicit SimShell(Machine& m) : m_(m) {}
    void runCommand(const std::string& parameters) override;
    bool commandRunning() override;
    void winExec(const std::string& commandLine) override;
    std::optional<std::string> findExecutable(const std::string& file) override;
    void start(const std::string& file, const std::string& parameters) override;

private:
    Machine& m_;
    std::int64_t commandEndsAtMs_ = 0; // on the machine's clock
};

class SimCabinet : public Cabinet {
public:
    explicit SimCabinet(Machine& m) : m_(m) {}
    void extract(const std::string& cabinetPath, const std::string& folder) override;

private:
    Machine& m_;
};

// Extracts a cabinet between two host paths; the piece the machine's Cabinet service wraps. Messages
// name the cabinet and the folder by the names given (their Windows paths).
void extractCabinet(const std::filesystem::path& cabinet, const std::filesystem::path& folder,
                    const std::string& nameForErrors, const std::string& folderForErrors);

class SimDownload : public Download {
public:
    explicit SimDownload(Machine& m) : m_(m) {}
    bool toFile(const std::string& url, const std::string& path, const DownloadLimits& limits) override;
    void forgetCached(const std::string& url) override;

private:
    Machine& m_;
};

class SimProcess : public Process {
public:
    explicit SimProcess(Machine& m) : m_(m) {}
    void sleep(std::uint32_t milliseconds) override;
    std::int64_t nowMs() override;
    std::int64_t unixSeconds() override;
    void trimWorkingSet() override;

private:
    Machine& m_;
};

// The store under drives/<letter>/System Volume Information/_restore{GUID}/; volume devices from
// machine.json (drives.<letter>.volume, else \Device\HarddiskVolume<n> in letter order).
class SimRestoreStore : public RestoreStore {
public:
    explicit SimRestoreStore(Machine& m) : m_(m) {}
    std::optional<std::string> storeFolder(const std::string& root) override;
    std::vector<StoreEntry> list(const std::string& folder) override;
    std::optional<std::string> read(const std::string& path) override;
    std::optional<std::string> volumeDevice(const std::string& drive) override;

private:
    Machine& m_;
};

} // namespace platform::sim
