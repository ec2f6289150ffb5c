#pragma once
// The quotation window (TForm7) that Ctrl+1 opens from the main window.
#include "ui/Form.h"

class QuotationWindow : public ui::Form {
public:
    explicit QuotationWindow(ui::Application& app);
    ui::Label Label2; // the quotation
    ui::Label Label1; // its source
};
