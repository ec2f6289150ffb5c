#include "app/RepairWindow.h"

RepairWindow::RepairWindow(ui::Application& app, SharedState& state) : ui::Form(app, "TForm5"), state_(state) {
    border = ui::BorderStyle::Dialog;
    position = ui::Position::MainFormCenter;
}
