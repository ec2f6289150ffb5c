#pragma once
// The exclusion lists editor.
#include "ui/Form.h"

class TForm1;

class TForm4 : public ui::Form {
public:
    TForm4(ui::Application& app, TForm1& main);

private:
    TForm1& main_;
};
