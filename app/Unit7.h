#pragma once
// The quotation window that Ctrl+1 opens from the main window.
#include "ui/Form.h"

class TForm7 : public ui::Form {
public:
    explicit TForm7(ui::Application& app);
    ui::Label Label2; // the quotation
    ui::Label Label1; // its source
};
