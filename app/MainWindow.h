#pragma once
// The main window (TForm1): the restore-point list, the details of the selected point and the
// buttons from which every operation starts. It lives for the whole run; closing it ends the program.
#include "app/SharedState.h"
#include "ui/Form.h"
#include "update/VersionCheck.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QuotationWindow;
class SettingsDialog;
class TitlePrompt;

class MainWindow : public ui::Form {
public:
    MainWindow(ui::Application& app, SharedState& state);
    ~MainWindow() override;

    // Controls, as laid out (children of Autres are placed relative to it).
    ui::ListBox PointR;
    ui::Memo Informations;
    ui::Button Creer;
    ui::Button Detruire;
    ui::Button Appliquer;
    ui::GroupBox Autres;
    ui::Button Duree;
    ui::Button Activer;
    ui::Button Jour;
    ui::CheckBox Modifications;
    ui::ComboBox Langue2;

    // Handlers.
    void FormCreate();
    void FormActivate();
    void FormClose();
    void FormKeyDown(std::uint16_t& key, unsigned shift);
    void Langue2Change();
    void PointRClick();
    void CreerClick();
    void DetruireClick();
    void AppliquerClick();
    void ActiverClick();
    // The version check (UpdateCheck.cpp): asks the update server for the latest version, says
    // whether this is it, and when it is not opens the project's site in the browser.
    void JourClick();

    // Operations the other windows use.
    void EnumSR();
    void ScanGUID();
    void TrimWorkingSet();
    bool DeleteFolder(const std::string& path);
    // Reads the service state and sets the window to match; true only when System Restore is on.
    bool RestaurationActive();
    // Asks System Restore for a checkpoint under the prompt's last title; on a refusal shows
    // Message1 and returns false.
    bool CreateRestorePoint();

    // After System Restore was switched on: lists the points every 250 ms until one is listed.
    // The wait is bounded (two minutes of the platform's clock; then Message15) and ends when the
    // window is being closed. True when a point was listed.
    bool waitForListedPoint();

    // The change-log listing (ChangeListing.cpp). Checking Modifications with the mouse has the
    // diagnostic tool make res.cab once and unpacks it into res; the keyboard only toggles the box.
    void ModificationsMouseUp(ui::MouseButton button, unsigned shift, int x, int y);
    // Runs the diagnostic tool and unpacks its cabinet into res; false when no log could be made
    // (the reason shown, the box unchecked, res removed so the next check tries again) or the
    // window is being closed.
    bool CabExtract();
    // Appends to Informations the change records of the point listed as entry, under a header.
    void listChanges(const std::string& entry);

    // The ten main controls, in the order enumeration disables and enables them.
    std::vector<ui::Control*> mainControls();
    // True when System Restore was last found off: Activer then switches it on.
    bool off() const { return off_; }
    void setQuotationWindow(QuotationWindow* window) { quotation_ = window; }
    void setTitlePrompt(TitlePrompt* prompt) { titlePrompt_ = prompt; }

    // The settings command (SettingsCommand.cpp): reads the timings and the disk share, shows them in
    // the settings dialog and, once validated, writes them back and switches drives on and off.
    void DureeClick();
    // Read by the settings dialog when it is shown: the settings as found by the command.
    std::int32_t lifetimeDays = 0;
    std::int32_t intervalHours = 0;
    std::int32_t diskPercent = 12; // the service's own default
    void setSettingsDialog(SettingsDialog* dialog) { settings_ = dialog; }

    // The site the version check asks and how long it waits: as built, unless changed (tests
    // lower the limits or name a server of their own).
    update::Server updateServer = update::defaultServer();

private:
    // Enables or disables each drive of a typed list; the system drive brings the window up to date.
    void switchDrives(const std::string& driveList, bool on);
    void afterSystemDriveEnabled();
    void afterSystemDriveDisabled();
    void loadLanguageAtStart();
    void applyTexts();
    // A message looked up at the moment of use, with its French default.
    std::string atUse(const char* key) const;
    // The selected entry's sequence number; when its cache section is gone, says so and lists the
    // points again instead.
    std::optional<std::int32_t> selectedSequenceNumber();
    // The service refused to roll back to a listed point: says that the point is gone when the
    // service no longer holds it (else that it cannot be applied), then lists the points anew.
    void refusedRollBack(std::int32_t number);
    void listAgain();
    // Switching (Switching.cpp): a refusal is said and the window shows the state as it stands.
    void switchOn();
    void switchOff();
    void refusedSwitch(const char* message);
    // After a failed handler: the controls and captions for the service's state as it now stands.
    void showActualState() noexcept;

    SharedState& state_;
    QuotationWindow* quotation_ = nullptr;
    TitlePrompt* titlePrompt_ = nullptr;
    SettingsDialog* settings_ = nullptr;
    bool off_ = false;
    std::string shownLanguage_; // the language of the captions and the text table
};
