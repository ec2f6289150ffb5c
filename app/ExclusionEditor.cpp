#include "app/ExclusionEditor.h"

#include "app/SettingsDialog.h"
#include "config/ExclusionLists.h"
#include "ui/Application.h"

using ui::Rect;

ExclusionEditor::ExclusionEditor(ui::Application& app, SharedState& state)
    : ui::Form(app, "TForm4"), Fichiers(*this, "Fichiers", nullptr, Rect{4, 1, 677, 248}),
      Label7(*this, "Label7", &Fichiers, Rect{12, 17, 0, 0}),
      FichiersL(*this, "FichiersL", &Fichiers, Rect{11, 33, 374, 208}, true),
      ValeurN(*this, "ValeurN", &Fichiers, Rect{392, 33, 273, 21}),
      Donnees(*this, "Donnees", &Fichiers, Rect{392, 57, 273, 129}),
      Supprimer(*this, "Supprimer", &Fichiers, Rect{392, 189, 273, 25}),
      Creer(*this, "Creer", &Fichiers, Rect{392, 217, 273, 25}),
      GroupBox3(*this, "GroupBox3", nullptr, Rect{5, 252, 677, 248}),
      Label15(*this, "Label15", &GroupBox3, Rect{12, 17, 0, 0}),
      RegistreL(*this, "RegistreL", &GroupBox3, Rect{11, 33, 374, 208}, true),
      ValeurN2(*this, "ValeurN2", &GroupBox3, Rect{392, 33, 273, 21}),
      Donnees2(*this, "Donnees2", &GroupBox3, Rect{392, 57, 273, 129}),
      SupprimerL2(*this, "SupprimerL2", &GroupBox3, Rect{392, 189, 273, 25}),
      CreerL2(*this, "CreerL2", &GroupBox3, Rect{392, 217, 273, 25}),
      state_(state), files_{config::filesNotToBackupKey, FichiersL, ValeurN, Donnees, Supprimer, Creer},
      keys_{config::keysNotToRestoreKey, RegistreL, ValeurN2, Donnees2, SupprimerL2, CreerL2} {
    clientWidth = 686;
    clientHeight = 504;
    border = ui::BorderStyle::Single; // minimise button and close box only
    position = ui::Position::MainFormCenter;
    Donnees.readOnly = false;
    Donnees2.readOnly = false;
    // Inside each group: write button, name, data, delete button, list.
    tabOrder = {&Creer,   &ValeurN,  &Donnees,  &Supprimer,   &FichiersL,
                &CreerL2, &ValeurN2, &Donnees2, &SupprimerL2, &RegistreL};

    onActivate = [this] { FormActivate(); };
    onClose = [this] { FormClose(); };
    FichiersL.onClick = [this] { FichiersLClick(); };
    RegistreL.onClick = [this] { RegistreLClick(); };
    Creer.onClick = [this] { CreerClick(); };
    CreerL2.onClick = [this] { CreerL2Click(); };
    Supprimer.onClick = [this] { SupprimerClick(); };
    SupprimerL2.onClick = [this] { SupprimerL2Click(); };
    // Ctrl+A selects the whole field; no other key is handled.
    const auto ctrlA = [](std::uint16_t key, unsigned shift) {
        return key == ui::vk::KeyA && (shift & ui::ShiftCtrl);
    };
    for (ui::Edit* field : {&ValeurN, &ValeurN2})
        field->onKeyDown = [field, ctrlA](std::uint16_t& key, unsigned shift) {
            if (ctrlA(key, shift))
                field->selectAll();
        };
    for (ui::Memo* field : {&Donnees, &Donnees2})
        field->onKeyDown = [field, ctrlA](std::uint16_t& key, unsigned shift) {
            if (ctrlA(key, shift))
                field->selectAll();
        };
}

bool ExclusionEditor::ChargerFichiers(const std::string& keyPath, ui::ListBox& list) {
    const auto names = config::entryNames(state_.platform.registry, keyPath);
    if (!names)
        return false;
    for (const std::string& name : *names)
        list.add(name);
    return true;
}

void ExclusionEditor::ChargerDonnees(const std::string& keyPath, const std::string& name, ui::Memo& data) {
    for (const std::string& line : config::entryLines(state_.platform.registry, keyPath, name))
        data.add(line);
}

void ExclusionEditor::loadGroup(Group& group) {
    group.list.clear();
    ui::setEnabled({&group.write, &group.remove}, ChargerFichiers(group.keyPath, group.list));
}

void ExclusionEditor::FormActivate() {
    loadGroup(files_);
    loadGroup(keys_);

    const lang::TextTable& texts = state_.texts();
    setCaption(texts.get("Configurer"));
    lang::showText(Fichiers, texts, "FichiersDossiers");
    lang::showText(Label7, texts, "FichiersDossier1");
    lang::showText(GroupBox3, texts, "ClesValeurs");
    lang::showText(Label15, texts, "ClesValeurs1");
    for (Group* group : {&files_, &keys_}) {
        group->name.setText(texts.get("NomValeur"));
        group->data.setLines({texts.get("DonnéesN")});
        lang::showText(group->remove, texts, "SupprimerValeur");
        lang::showText(group->write, texts, "CréerModifierValeur");
    }
}

void ExclusionEditor::FormClose() {
    if (settings_)
        settings_->show();
}

void ExclusionEditor::selectEntry(Group& group) {
    if (group.list.itemIndex() < 0)
        return;
    group.data.clear();
    group.name.setText("");
    const std::string name = group.list.item(group.list.itemIndex());
    group.name.setText(name);
    ChargerDonnees(group.keyPath, name, group.data);
}

void ExclusionEditor::writeEntry(Group& group) {
    const std::string name = group.name.text();
    if (!config::writeEntry(state_.platform.registry, group.keyPath, name, group.data.lines())) {
        app().showMessage(state_.texts().get("Message11"));
        return;
    }
    group.list.clear();
    ChargerFichiers(group.keyPath, group.list);
    // Selected without the click handler: the fields keep what the user typed.
    group.list.setItemIndex(group.list.indexOf(name));
}

void ExclusionEditor::deleteEntry(Group& group) {
    if (!config::deleteEntry(state_.platform.registry, group.keyPath, group.name.text())) {
        app().showMessage(state_.texts().get("Message12"));
        return;
    }
    group.list.clear();
    ChargerFichiers(group.keyPath, group.list);
}
