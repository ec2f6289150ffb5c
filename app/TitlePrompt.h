#pragma once
// The title prompt (TForm2) for a new restore point.
#include "app/SharedState.h"
#include "ui/Form.h"

class TitlePrompt : public ui::Form {
public:
    TitlePrompt(ui::Application& app, SharedState& state);

private:
    SharedState& state_;
};
