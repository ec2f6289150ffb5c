#include "app/SettingsDialog.h"

#include "app/ExclusionEditor.h"
#include "app/MainWindow.h"
#include "app/RepairWindow.h"
#include "config/RestoreSettings.h"
#include "lang/DiskText.h"
#include "ui/Application.h"

#include <optional>

using ui::Rect;

namespace {

// Wide enough for the longest drive line of every language at three figures a size.
constexpr int shareColumn = 400;

ui::Font bold(ui::Font font) {
    font.bold = true;
    return font;
}

} // namespace

SettingsDialog::SettingsDialog(ui::Application& app, SharedState& state)
    : ui::Form(app, "TForm3"), Duree(*this, "Duree", nullptr, Rect{5, 1, 361, 98}),
      Label1(*this, "Label1", &Duree, Rect{7, 16, 0, 0}), Label2(*this, "Label2", &Duree, Rect{7, 32, 0, 0}),
      Label3(*this, "Label3", &Duree, Rect{7, 48, 0, 0}), Titre(*this, "Titre", &Duree, Rect{7, 68, 346, 21}),
      Automatique(*this, "Automatique", nullptr, Rect{5, 101, 361, 98}),
      Label4(*this, "Label4", &Automatique, Rect{7, 16, 0, 0}),
      Label5(*this, "Label5", &Automatique, Rect{7, 32, 0, 0}),
      Label6(*this, "Label6", &Automatique, Rect{7, 48, 0, 0}),
      Titre2(*this, "Titre2", &Automatique, Rect{7, 68, 346, 21}),
      RestaurationActiver(*this, "RestaurationActiver", nullptr, Rect{5, 200, 361, 201}),
      Label10(*this, "Label10", &RestaurationActiver, Rect{7, 16, 0, 0}),
      Label11(*this, "Label11", &RestaurationActiver, Rect{7, 32, 0, 0}),
      Label12(*this, "Label12", &RestaurationActiver, Rect{7, 48, 0, 0}),
      Label13(*this, "Label13", &RestaurationActiver, Rect{7, 64, 0, 0}),
      Label14(*this, "Label14", &RestaurationActiver, Rect{7, 80, 0, 0}),
      Label15(*this, "Label15", &RestaurationActiver, Rect{7, 96, 0, 0}),
      Label20(*this, "Label20", &RestaurationActiver, Rect{8, 115, 0, 0}),
      Activer(*this, "Activer", &RestaurationActiver, Rect{7, 130, 346, 21}),
      Label21(*this, "Label21", &RestaurationActiver, Rect{8, 158, 0, 0}),
      Desactiver(*this, "Desactiver", &RestaurationActiver, Rect{7, 173, 346, 21}),
      Reparer(*this, "Reparer", nullptr, Rect{5, 403, 361, 54}),
      Reparer2(*this, "Reparer2", &Reparer, Rect{72, 20, 201, 25}),
      Valider(*this, "Valider", nullptr, Rect{4, 461, 94, 25}),
      Avance(*this, "Avance", nullptr, Rect{139, 461, 94, 25}),
      Annuler(*this, "Annuler", nullptr, Rect{273, 461, 94, 25}),
      Espace(*this, "Espace", nullptr, Rect{371, 1, shareColumn, 198}),
      Label22(*this, "Label22", &Espace, Rect{7, 16, 0, 0}),
      Pourcentage(*this, "Pourcentage", &Espace, Rect{7, 36, shareColumn - 15, 21}),
      Lecteurs(*this, "Lecteurs", &Espace, Rect{7, 64, shareColumn - 15, 126}, false), state_(state) {
    // The given controls keep their place; the disk space group is one column to their right.
    clientWidth = 371 + shareColumn + 5;
    clientHeight = 488;
    border = ui::BorderStyle::Single; // minimise button and close box only
    position = ui::Position::MainFormCenter;
    Label20.setFont(bold(Label20.font()));
    Label21.setFont(bold(Label21.font()));
    // Valider, Annuler, Duree, Avance, Automatique, Reparer, RestaurationActiver: with the fields
    // inside the group boxes in their place.
    tabOrder = {&Valider, &Annuler, &Titre, &Avance, &Titre2, &Reparer2, &Activer, &Desactiver, &Pourcentage};

    onActivate = [this] { FormActivate(); };
    Valider.onClick = [this] { ValiderClick(); };
    Annuler.onClick = [this] { AnnulerClick(); };
    Avance.onClick = [this] { AvanceClick(); };
    Reparer2.onClick = [this] { Reparer2Click(); };
    Pourcentage.onChange = [this] { PourcentageChange(); };
    for (ui::Edit* field : {&Titre, &Titre2, &Activer, &Desactiver, &Pourcentage})
        field->onKeyDown = [this, field](std::uint16_t& key, unsigned shift) {
            FieldKeyDown(*field, key, shift);
        };
}

void SettingsDialog::setWindows(MainWindow* mainWindow, ExclusionEditor* editor, RepairWindow* repair) {
    mainWindow_ = mainWindow;
    editor_ = editor;
    repair_ = repair;
}

SettingsDialog::Result SettingsDialog::run() {
    result_ = Result{};
    showModal();
    return result_;
}

void SettingsDialog::FormActivate() {
    if (mainWindow_) {
        Titre.setText(std::to_string(mainWindow_->lifetimeDays));
        Titre2.setText(std::to_string(mainWindow_->intervalHours));
        Pourcentage.setText(std::to_string(mainWindow_->diskPercent));
    }
    Activer.setText("");
    Desactiver.setText("");

    const lang::TextTable& texts = state_.texts();
    setCaption(texts.get("Configurer"));
    const std::pair<ui::CaptionControl*, const char*> captions[] = {
        {&Duree, "Duree"},         {&Label1, "Duree1"},        {&Label2, "Duree2"},
        {&Label3, "Duree3"},       {&Automatique, "Création"}, {&Label4, "Création1"},
        {&Label5, "Création2"},    {&Label6, "Création3"},     {&RestaurationActiver, "DésactiverLecteurs"},
        {&Label10, "Désactiver1"}, {&Label11, "Désactiver2"},  {&Label12, "Désactiver3"},
        {&Label13, "Désactiver4"}, {&Label14, "Désactiver5"},  {&Label15, "Désactiver6"},
        {&Label20, "ÀActiver"},    {&Label21, "ÀDésactiver"},  {&Reparer, "Réparer"},
        {&Reparer2, "Réparer"},    {&Valider, "Valider"},      {&Avance, "Avancée"},
        {&Annuler, "Annuler"},     {&Espace, "Espace"},        {&Label22, "Espace1"},
    };
    for (const auto& [control, key] : captions)
        lang::showText(*control, texts, key);
    shares_ = config::driveShares(state_.platform.systemRestore);
    PourcentageChange();
}

void SettingsDialog::PourcentageChange() {
    const std::optional<std::int32_t> percent = config::parsePercent(Pourcentage.text());
    Lecteurs.clear();
    for (const config::DriveShare& drive : shares_)
        Lecteurs.add(lang::driveShareLine(drive, percent, state_.texts()));
}

void SettingsDialog::ValiderClick() {
    using config::toSeconds;
    const std::optional<std::int32_t> days = config::parseInteger(Titre.text());
    const std::optional<std::int32_t> hours = config::parseInteger(Titre2.text());
    const std::optional<std::int32_t> percent = config::parsePercent(Pourcentage.text());
    // A number whose seconds do not fit the registry's 32-bit value is refused like a non-number.
    if (!days || !hours || !percent || !toSeconds(*days, config::secondsPerDay) ||
        !toSeconds(*hours, config::secondsPerHour)) {
        app().showMessage(state_.texts().get("Message10"));
        return;
    }
    result_ = Result{*days, *hours, *percent, Activer.text(), Desactiver.text(), true};
    setModalResult(ui::mr::Ok);
}

void SettingsDialog::AnnulerClick() {
    result_.validated = false;
    setModalResult(ui::mr::Cancel);
}

void SettingsDialog::AvanceClick() {
    hide();
    if (editor_)
        editor_->showModal();
}

void SettingsDialog::Reparer2Click() {
    hide();
    if (repair_)
        repair_->showModal();
}

void SettingsDialog::FieldKeyDown(ui::Edit& field, std::uint16_t& key, unsigned shift) {
    if (key == ui::vk::KeyA && (shift & ui::ShiftCtrl))
        field.selectAll();
}
