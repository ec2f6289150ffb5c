#include "app/SettingsDialog.h"

SettingsDialog::SettingsDialog(ui::Application& app, SharedState& state) : ui::Form(app, "TForm3"), state_(state) {
    border = ui::BorderStyle::Dialog;
    position = ui::Position::MainFormCenter;
}
