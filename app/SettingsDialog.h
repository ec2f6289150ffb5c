#pragma once
// The restore settings dialog (TForm3).
#include "app/SharedState.h"
#include "ui/Form.h"

class SettingsDialog : public ui::Form {
public:
    SettingsDialog(ui::Application& app, SharedState& state);

private:
    SharedState& state_;
};
