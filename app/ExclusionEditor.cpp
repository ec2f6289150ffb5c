#include "app/ExclusionEditor.h"

ExclusionEditor::ExclusionEditor(ui::Application& app, SharedState& state) : ui::Form(app, "TForm4"), state_(state) {
    border = ui::BorderStyle::Dialog;
    position = ui::Position::MainFormCenter;
}
