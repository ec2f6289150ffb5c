#pragma once
// The exclusion lists editor (TForm4).
#include "app/SharedState.h"
#include "ui/Form.h"

class ExclusionEditor : public ui::Form {
public:
    ExclusionEditor(ui::Application& app, SharedState& state);

private:
    SharedState& state_;
};
