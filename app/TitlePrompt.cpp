#include "app/TitlePrompt.h"

#include "lang/TextTable.h"

TitlePrompt::TitlePrompt(ui::Application& app, SharedState& state)
    : ui::Form(app, "TForm2"), Titre(*this, "Titre", nullptr, ui::Rect{4, 4, 169, 21}),
      Valider(*this, "Valider", nullptr, ui::Rect{4, 28, 80, 25}, "Valider"),
      Annuler(*this, "Annuler", nullptr, ui::Rect{92, 28, 80, 25}, "Annuler"), state_(state) {
    setCaption("Titre requis");
    clientWidth = 176;
    clientHeight = 56;
    border = ui::BorderStyle::Single;
    minimizeButton = true;
    maximizeButton = false;
    position = ui::Position::MainFormCenter;
    Titre.maxLength = maxTitleLength;
    activeControl = &Titre; // every showing starts in the edit, even after Annuler was clicked

    onActivate = [this] { FormActivate(); };
    Valider.onClick = [this] { ValiderClick(); };
    Annuler.onClick = [this] { AnnulerClick(); };
    Titre.onKeyDown = [this](std::uint16_t& key, unsigned shift) { TitreKeyDown(key, shift); };
}

void TitlePrompt::FormActivate() {
    const lang::TextTable& texts = state_.texts();
    lang::showText(Valider, texts, "Valider");
    lang::showText(Annuler, texts, "Annuler");
    Titre.setText(texts.get("Titre"));
    Titre.selectAll(); // as a dialog's edit given the focus: typing replaces the default title
    setCaption(texts.get("TitreRequis"));
}

void TitlePrompt::ValiderClick() {
    title_ = Titre.text();
    accepted_ = true;
    setModalResult(ui::mr::Ok);
}

void TitlePrompt::AnnulerClick() {
    accepted_ = false;
    setModalResult(ui::mr::Cancel);
}

void TitlePrompt::TitreKeyDown(std::uint16_t& key, unsigned shift) {
    if (key == ui::vk::KeyA && (shift & ui::ShiftCtrl))
        Titre.selectAll();
}

bool TitlePrompt::ask() {
    accepted_ = false; // only Valider sets it: the close box counts as Annuler
    showModal();
    return accepted_;
}
