#pragma once
// The exclusion lists editor (TForm4): the files and folders System Restore does not save and the
// registry keys it does not restore, each entry a name and its lines. Opened from the settings
// dialog, which it shows again when it closes.
#include "app/SharedState.h"
#include "ui/Form.h"

#include <cstdint>
#include <string>

class SettingsDialog;

class ExclusionEditor : public ui::Form {
public:
    ExclusionEditor(ui::Application& app, SharedState& state);

    ui::GroupBox Fichiers;
    ui::Label Label7;
    ui::ListBox FichiersL;
    ui::Edit ValeurN;
    ui::Memo Donnees;
    ui::Button Supprimer;
    ui::Button Creer;
    ui::GroupBox GroupBox3;
    ui::Label Label15;
    ui::ListBox RegistreL;
    ui::Edit ValeurN2;
    ui::Memo Donnees2;
    ui::Button SupprimerL2;
    ui::Button CreerL2;

    // One list with its controls; both groups work alike.
    struct Group {
        const char* keyPath;
        ui::ListBox& list;
        ui::Edit& name;
        ui::Memo& data;
        ui::Button& remove;
        ui::Button& write;
    };

    // Appends the entry names of the key to the list; false when the key cannot be opened.
    bool ChargerFichiers(const std::string& keyPath, ui::ListBox& list);
    // Appends the lines of an entry to the data field.
    void ChargerDonnees(const std::string& keyPath, const std::string& name, ui::Memo& data);

    // Handlers.
    void FormActivate();
    void FormClose();
    void FichiersLClick() { selectEntry(files_); }
    void RegistreLClick() { selectEntry(keys_); }
    void CreerClick() { writeEntry(files_); }
    void CreerL2Click() { writeEntry(keys_); }
    void SupprimerClick() { deleteEntry(files_); }
    void SupprimerL2Click() { deleteEntry(keys_); }

    void setSettingsDialog(SettingsDialog* dialog) { settings_ = dialog; }

private:
    void loadGroup(Group& group);
    void selectEntry(Group& group);
    void writeEntry(Group& group);
    void deleteEntry(Group& group);

    SharedState& state_;
    SettingsDialog* settings_ = nullptr;
    Group files_;
    Group keys_;
};
