#pragma once
// The restore settings dialog (TForm3): the lifetime of restore points in days, the interval of
// automatic points in hours, the drives to switch on and off, the doors to the exclusion lists
// editor and the repair window, and in a column of its own the share of each drive the points may
// take, with what they take now. The settings command of the main window opens it and reads its
// result.
#include "app/SharedState.h"
#include "config/DiskShare.h"
#include "ui/Form.h"

#include <cstdint>
#include <string>
#include <vector>

class MainWindow;
class ExclusionEditor;
class RepairWindow;

class SettingsDialog : public ui::Form {
public:
    SettingsDialog(ui::Application& app, SharedState& state);

    ui::GroupBox Duree;
    ui::Label Label1;
    ui::Label Label2;
    ui::Label Label3;
    ui::Edit Titre;
    ui::GroupBox Automatique;
    ui::Label Label4;
    ui::Label Label5;
    ui::Label Label6;
    ui::Edit Titre2;
    ui::GroupBox RestaurationActiver;
    ui::Label Label10;
    ui::Label Label11;
    ui::Label Label12;
    ui::Label Label13;
    ui::Label Label14;
    ui::Label Label15;
    ui::Label Label20;
    ui::Edit Activer;
    ui::Label Label21;
    ui::Edit Desactiver;
    ui::GroupBox Reparer;
    ui::Button Reparer2;
    ui::Button Valider;
    ui::Button Avance;
    ui::Button Annuler;
    ui::GroupBox Espace;
    ui::Label Label22;
    ui::Edit Pourcentage;
    ui::ListBox Lecteurs;

    // What the settings command reads once the dialog has closed.
    struct Result {
        std::int32_t lifetimeDays = 0;
        std::int32_t intervalHours = 0;
        std::int32_t diskPercent = config::defaultDiskPercent;
        std::string drivesToEnable;
        std::string drivesToDisable;
        bool validated = false;
    };
    // Shows the dialog modally as a new run (not validated until Valider closes it).
    Result run();
    const Result& result() const { return result_; }

    // Handlers.
    void FormActivate();
    void ValiderClick();
    void AnnulerClick();
    void AvanceClick();
    void Reparer2Click();
    void FieldKeyDown(ui::Edit& field, std::uint16_t& key, unsigned shift);
    void PourcentageChange();

    void setWindows(MainWindow* mainWindow, ExclusionEditor* editor, RepairWindow* repair);

private:
    SharedState& state_;
    MainWindow* mainWindow_ = nullptr;
    ExclusionEditor* editor_ = nullptr;
    RepairWindow* repair_ = nullptr;
    Result result_;
    std::vector<config::DriveShare> shares_; // read when the dialog is shown
};
