#include "app/Startup.h"

#include "app/ExclusionEditor.h"
#include "app/MainWindow.h"
#include "app/QuotationWindow.h"
#include "app/RepairWindow.h"
#include "app/SavedFilesWindow.h"
#include "app/SettingsDialog.h"
#include "app/SplashScreen.h"
#include "app/TitlePrompt.h"

Startup::Startup(ui::Application& app, platform::Platform& platform) : app_(app), platform_(platform) {}

// The windows go before the state they refer to.
Startup::~Startup() {
    app_.setErrorText(nullptr);
    savedFilesWindow_.reset();
    quotationWindow_.reset();
    repairWindow_.reset();
    exclusionEditor_.reset();
    settingsDialog_.reset();
    titlePrompt_.reset();
    mainWindow_.reset();
}

void Startup::start() {
    splash_ = std::make_unique<SplashScreen>(app_, platform_);
    splash_->create();
    splash_->show(); // its activation does the first-run work before show returns
    splash_->repaint();

    app_.setTitle("Kestrafen");
    state_ = std::make_unique<SharedState>(platform_);
    app_.setErrorText([this](const std::exception& error) { return state_->language.errorText(error); });
    mainWindow_ = std::make_unique<MainWindow>(app_, *state_);
    app_.setMainForm(mainWindow_.get());
    mainWindow_->create();
    titlePrompt_ = std::make_unique<TitlePrompt>(app_, *state_);
    titlePrompt_->create();
    settingsDialog_ = std::make_unique<SettingsDialog>(app_, *state_);
    settingsDialog_->create();
    exclusionEditor_ = std::make_unique<ExclusionEditor>(app_, *state_);
    exclusionEditor_->create();
    repairWindow_ = std::make_unique<RepairWindow>(app_, *state_);
    repairWindow_->create();
    quotationWindow_ = std::make_unique<QuotationWindow>(app_);
    quotationWindow_->create();
    mainWindow_->setQuotationWindow(quotationWindow_.get());
    // The settings dialog opens the editor and the repair window, which show it again as they close.
    mainWindow_->setSettingsDialog(settingsDialog_.get());
    settingsDialog_->setWindows(mainWindow_.get(), exclusionEditor_.get(), repairWindow_.get());
    exclusionEditor_->setSettingsDialog(settingsDialog_.get());
    repairWindow_->setSettingsDialog(settingsDialog_.get());
    mainWindow_->setTitlePrompt(titlePrompt_.get());
    savedFilesWindow_ = std::make_unique<SavedFilesWindow>(app_, *state_);
    savedFilesWindow_->create();
    savedFilesWindow_->prompt.create();
    attachSavedFiles(*mainWindow_, *savedFilesWindow_, *state_);

    splash_->hide();
    splash_.reset();
}

void Startup::run() {
    app_.run();
}
