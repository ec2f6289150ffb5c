#pragma once
// The title prompt for a new restore point.
#include "ui/Form.h"

class TForm1;

class TForm2 : public ui::Form {
public:
    TForm2(ui::Application& app, TForm1& main);

private:
    TForm1& main_;
};
