#include "app/TitlePrompt.h"

TitlePrompt::TitlePrompt(ui::Application& app, SharedState& state) : ui::Form(app, "TForm2"), state_(state) {
    border = ui::BorderStyle::Dialog;
    position = ui::Position::MainFormCenter;
}
