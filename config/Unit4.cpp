#include "config/Unit4.h"

TForm4::TForm4(ui::Application& app, TForm1& main) : ui::Form(app, "Form4"), main_(main) {
    border = ui::BorderStyle::Dialog;
    position = ui::Position::MainFormCenter;
}
