#include "config/Unit3.h"

TForm3::TForm3(ui::Application& app, TForm1& main) : ui::Form(app, "Form3"), main_(main) {
    border = ui::BorderStyle::Dialog;
    position = ui::Position::MainFormCenter;
}
