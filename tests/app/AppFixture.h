#pragma once
// Starts the whole program headless on a fresh sample machine with a virtual clock.
#include "app/Dialogs.h"
#include "app/Startup.h"
#include "app/MainWindow.h"
#include "app/SplashScreen.h"
#include "app/QuotationWindow.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "support/TestMachine.h"
#include "ui/Application.h"
#include "ui/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <ctime>
#include <functional>
#include <memory>

namespace testing_support {

inline constexpr const char* programFolder = "C:\\Program Files\\Kestrafen\\";

// Passes every call on to the machine's object, letting the test look at the window first; with a
// refusal set, answers it instead and leaves the machine as it was.
class WatchedAutomation : public platform::SrAutomation {
public:
    WatchedAutomation(std::unique_ptr<platform::SrAutomation> real, std::function<void()> watch)
        : real_(std::move(real)), watch_(std::move(watch)) {}
    std::uint32_t Restore(std::int32_t n) override { return refused() ? refusal : real_->Restore(n); }
    std::uint32_t Enable(const std::string& d) override { return refused() ? refusal : real_->Enable(d); }
    std::uint32_t Disable(const std::string& d) override { return refused() ? refusal : real_->Disable(d); }
    std::uint32_t refusal = 0;

private:
    bool refused() {
        watch_();
        return refusal != 0;
    }
    std::unique_ptr<platform::SrAutomation> real_;
    std::function<void()> watch_;
};

struct AppFixture : ::testing::Test {
    AppFixture() {
        // Central European time without needing the zone database.
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }

    TestMachine tm;
    ui::HeadlessBackend backend;
    ui::Application app{backend};
    std::unique_ptr<platform::Platform> platform;
    std::unique_ptr<Startup> program;

    // A settings file so the start is an ordinary one.
    void ordinaryStart(const std::string& language = "Français") {
        tm.write(std::string(programFolder) + "Kestrafen.ini",
                 platform::text::toCp1252("[Kestrafen]\r\nLangue=" + language + "\r\n"));
    }

    // While the program runs its platform refers to the open machine, so the file is rewritten
    // behind the machine's back (it reloads a changed machine.json) instead of reopening it.
    void saveJson() {
        if (!program) {
            tm.save();
            return;
        }
        const std::string text = tm.json().dump(2);
        std::ofstream(tm.folder / "machine.json") << text;
    }

    void setPoints(nlohmann::ordered_json points) {
        tm.json()["system_restore"]["points"] = std::move(points);
        saveJson();
    }

    static nlohmann::ordered_json point(const std::string& time, const std::string& description, long long type,
                                        long long sequence) {
        return {{"CreationTime", time},
                {"Description", description},
                {"EventType", 100},
                {"RestorePointType", type},
                {"SequenceNumber", sequence}};
    }

    void setServiceStart(std::uint32_t start) {
        auto p = tm.machine->platform();
        auto key = p.registry.open(platform::RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\sr", true);
        platform::reg::writeInteger(*key, "Start", start);
    }

    // Creates the windows (splash, first-run work, main window creation).
    void create() {
        program.reset();
        platform = std::make_unique<platform::Platform>(tm.machine->platform());
        program = std::make_unique<Startup>(app, *platform);
        program->start();
    }

    // Creates the windows and shows the main window, which activates it.
    void startProgram() {
        create();
        program->run();
    }

    MainWindow& f() { return program->mainWindow(); }
    SharedState& s() { return program->state(); }

    // The machine's registry.reg as it stands.
    std::string registryFile() const {
        std::ifstream in(tm.folder / "registry.reg", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    bool exists(const std::string& windowsPath) const { return std::filesystem::exists(tm.host(windowsPath)); }

    std::string cache(const std::string& section, const std::string& key) {
        return platform->profile.readString(std::string(programFolder) + "KestrafenTemp.ini", section, key, "<none>");
    }
};

} // namespace testing_support
