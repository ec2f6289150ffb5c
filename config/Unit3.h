#pragma once
// The restore settings dialog.
#include "ui/Form.h"

class TForm1;

class TForm3 : public ui::Form {
public:
    TForm3(ui::Application& app, TForm1& main);

private:
    TForm1& main_;
};
