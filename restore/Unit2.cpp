#include "restore/Unit2.h"

TForm2::TForm2(ui::Application& app, TForm1& main) : ui::Form(app, "Form2"), main_(main) {
    border = ui::BorderStyle::Dialog;
    position = ui::Position::MainFormCenter;
}
