#pragma once
// The title prompt (TForm2): asks the title of a new restore point. Created once and reused; every
// showing starts from the default title of the current language.
#include "app/SharedState.h"
#include "restore/NewPoint.h"
#include "ui/Form.h"

#include <cstdint>
#include <string>

class TitlePrompt : public ui::Form {
public:
    TitlePrompt(ui::Application& app, SharedState& state);

    ui::Edit Titre;
    ui::Button Valider;
    ui::Button Annuler;

    void FormActivate();
    void ValiderClick();
    void AnnulerClick();
    void TitreKeyDown(std::uint16_t& key, unsigned shift);

    // Shows the prompt modally; true when the user validated a title.
    bool ask();
    // The title last validated.
    const std::string& title() const { return title_; }
    // Whether the showing that just ended was validated.
    bool accepted() const { return accepted_; }

    static constexpr int maxTitleLength = static_cast<int>(restore::maxTitleLength);

private:
    SharedState& state_;
    std::string title_;
    bool accepted_ = false;
};
