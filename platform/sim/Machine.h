#pragma once
// The simulated Windows XP machine: its whole state lives in one folder (machine.json,
// registry.reg, sr-chglog.log, journal.log, drives/). Every platform service of the program is
// implemented on top of it.
#include "platform/FileProfile.h"
#include "platform/Platform.h"
#include "platform/sim/Clock.h"
#include "platform/sim/RegFile.h"
#include "platform/sim/WinPath.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::sim {

class SimEnvironment;
class SimFileSystem;
class SimProfile;
class SimRegistry;
class SimSystemRestore;
class SimShell;
class SimCabinet;
class SimDownload;
class SimProcess;
class SimRestoreStore;

class Machine {
public:
    // $KESTRAFEN_MACHINE, else $XDG_DATA_HOME/kestrafen/machine, else ~/.local/share/kestrafen/machine.
    static std::filesystem::path defaultFolder();
    // The sample machine in the source tree.
    static std::filesystem::path sampleFolder();
    // Creates the folder from the sample machine when it does not exist; never overwrites.
    static void ensureExists(const std::filesystem::path& folder);

    // Opens a machine folder. Throws platform::Error naming the file and line when machine.json
    // or registry.reg is malformed; nothing on disk is changed then.
    Machine(std::filesystem::path folder, std::unique_ptr<Clock> clock);
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // All services, the program folder from machine.json as the program folder.
    platform::Platform platform();
    const std::filesystem::path& folder() const { return folder_; }
    Clock& clock() { return *clock_; }
    // The system ends the program after a restart; the program's main sets what that means.
    std::function<void()> onRestart;

    // For the services.
    WinPath& paths() { return *paths_; }
    // machine.json, keys in file order (ordered_json keeps the order of a point's properties).
    nlohmann::ordered_json& state() { return state_; }
    // A knob or state value of system_restore, with its documented default when missing.
    nlohmann::ordered_json srValue(const std::string& key) const;
    void saveState();
    RegFile& registryFile() { return registry_; }
    void saveRegistry();
    void journal(const std::string& line);
    // Timed actions happen when the machine's clock passes their time.
    void schedule(std::int64_t delayMs, std::function<void()> action);
    // Every service call starts here: an outside edit of machine.json is taken in and due actions
    // run. Within a ServiceCall only its start does this.
    void runDueActions();

    // One call of the program into a service: machine.json is looked at once for it, not once for
    // each of the file accesses it makes.
    class ServiceCall {
    public:
        explicit ServiceCall(Machine& m) : m_(m), outer_(!m.inServiceCall_) {
            if (outer_) {
                m_.runDueActions();
                m_.inServiceCall_ = true;
            }
        }
        ~ServiceCall() {
            if (outer_)
                m_.inServiceCall_ = false;
        }
        ServiceCall(const ServiceCall&) = delete;
        ServiceCall& operator=(const ServiceCall&) = delete;

    private:
        Machine& m_;
        bool outer_;
    };
    // The program folder as a Windows path with a trailing backslash.
    std::string programFolder() const;
    // The machine's local UTC offset in minutes (from the host's time zone).
    int utcOffsetMinutes(std::int64_t unixSeconds) const;

    SimFileSystem& files() { return *files_; }

private:
    void loadState();
    void adoptTimeZone();
    void reloadStateIfChanged();
    void rememberStateStamp();

    struct Timed {
        std::int64_t atMs;
        std::function<void()> action;
    };

    std::filesystem::path folder_;
    std::unique_ptr<Clock> clock_;
    nlohmann::ordered_json state_;
    // machine.json as last loaded or saved: its time, size and file number tell an outside edit.
    std::int64_t stateTime_ = 0; // nanoseconds
    std::uintmax_t stateSize_ = 0;
    std::uintmax_t stateFileId_ = 0;
    RegFile registry_;
    std::unique_ptr<WinPath> paths_;
    std::vector<Timed> timed_;
    bool runningActions_ = false; // an action's own service calls must not run the others early
    bool inServiceCall_ = false;

    std::unique_ptr<SimEnvironment> environment_;
    std::unique_ptr<SimFileSystem> files_;
    std::unique_ptr<SimProfile> profile_;
    std::unique_ptr<SimRegistry> registryService_;
    std::unique_ptr<SimSystemRestore> systemRestore_;
    std::unique_ptr<SimShell> shell_;
    std::unique_ptr<SimCabinet> cabinet_;
    std::unique_ptr<SimDownload> download_;
    std::unique_ptr<SimProcess> process_;
    std::unique_ptr<SimRestoreStore> restoreStore_;
};

// Writes a file of the machine folder atomically (temporary file in the same folder, then rename).
void writeFileAtomically(const std::filesystem::path& path, const std::string& bytes);
// The whole content of a host file, or nothing when it cannot be read.
std::optional<std::string> readWholeFile(const std::filesystem::path& path);

} // namespace platform::sim
