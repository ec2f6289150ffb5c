#pragma once
// The repair window (TForm5): a repair of System Restore that needs no Windows CD and ends with a
// restart, or a reinstall by the system's installer that needs the CD and ends the program.
// Opened from the settings dialog, which it shows again when it closes.
#include "app/SharedState.h"
#include "ui/Form.h"

#include <optional>

class SettingsDialog;

class RepairWindow : public ui::Form {
public:
    RepairWindow(ui::Application& app, SharedState& state);

    ui::GroupBox GroupBox1;
    ui::Label Label1;
    ui::Label Label2;
    ui::Label Label7;
    ui::Label Label3;
    ui::Label Label5;
    ui::Label Label4;
    ui::Label Label6;
    ui::Label Label8;
    ui::Label Label10;
    ui::Label Label9;
    ui::Button Reparation;
    ui::Button Reinstaller;

    // Handlers.
    void ReparationClick();
    void ReinstallerClick();
    void FormActivate();
    void FormClose();

    void setSettingsDialog(SettingsDialog* dialog) { settings_ = dialog; }

private:
    // The window's registry accessor, rooted at HKEY_CLASSES_ROOT: one per showing.
    struct ClassesRoot {
        platform::Registry& registry;
        static constexpr platform::RegRoot root = platform::RegRoot::ClassesRoot;
    };
    void endProgram();

    SharedState& state_;
    SettingsDialog* settings_ = nullptr;
    std::optional<ClassesRoot> classesRoot_;
    bool ending_ = false;
};
