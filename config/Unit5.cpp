#include "config/Unit5.h"

TForm5::TForm5(ui::Application& app, TForm1& main) : ui::Form(app, "Form5"), main_(main) {
    border = ui::BorderStyle::Dialog;
    position = ui::Position::MainFormCenter;
}
