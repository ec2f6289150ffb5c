#pragma once
// The program's start: the splash with its first-run work, the shared state, the windows created
// in their fixed order, then the main window's event loop.
#include "app/SharedState.h"
#include "platform/Platform.h"
#include "ui/Application.h"

#include <memory>

class SplashScreen;
class MainWindow;
class TitlePrompt;
class SettingsDialog;
class ExclusionEditor;
class RepairWindow;
class QuotationWindow;
class SavedFilesWindow;

class Startup {
public:
    Startup(ui::Application& app, platform::Platform& platform);
    ~Startup();

    // Splash, first-run work, the six windows; the splash is gone after.
    void start();
    // Runs the main window's event loop until it is closed.
    void run();

    SharedState& state() { return *state_; }
    MainWindow& mainWindow() { return *mainWindow_; }
    TitlePrompt& titlePrompt() { return *titlePrompt_; }
    SettingsDialog& settingsDialog() { return *settingsDialog_; }
    ExclusionEditor& exclusionEditor() { return *exclusionEditor_; }
    RepairWindow& repairWindow() { return *repairWindow_; }
    QuotationWindow& quotationWindow() { return *quotationWindow_; }
    SavedFilesWindow& savedFilesWindow() { return *savedFilesWindow_; }
    // The splash while it exists (during start()), else nullptr.
    SplashScreen* splash() { return splash_.get(); }

private:
    ui::Application& app_;
    platform::Platform& platform_;
    std::unique_ptr<SplashScreen> splash_;
    std::unique_ptr<SharedState> state_;
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<TitlePrompt> titlePrompt_;
    std::unique_ptr<SettingsDialog> settingsDialog_;
    std::unique_ptr<ExclusionEditor> exclusionEditor_;
    std::unique_ptr<RepairWindow> repairWindow_;
    std::unique_ptr<QuotationWindow> quotationWindow_;
    std::unique_ptr<SavedFilesWindow> savedFilesWindow_;
};
