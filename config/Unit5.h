#pragma once
// The repair window.
#include "ui/Form.h"

class TForm1;

class TForm5 : public ui::Form {
public:
    TForm5(ui::Application& app, TForm1& main);

private:
    TForm1& main_;
};
