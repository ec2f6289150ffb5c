#pragma once
// The repair window (TForm5).
#include "app/SharedState.h"
#include "ui/Form.h"

class RepairWindow : public ui::Form {
public:
    RepairWindow(ui::Application& app, SharedState& state);

private:
    SharedState& state_;
};
