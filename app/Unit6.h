#pragma once
// The splash window: transparent on an ordinary start; on a first run it is made opaque and
// shows its text while the machine is prepared.
#include "platform/Platform.h"
#include "ui/Form.h"

class TSplashScreen : public ui::Form {
public:
    TSplashScreen(ui::Application& app, platform::Platform& platform);
    ui::Label Label1;

    void FormActivate();

private:
    platform::Platform& platform_;
};
