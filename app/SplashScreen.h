#pragma once
// The splash window (TSplashScreen): transparent on an ordinary start; on a first run it is made
// opaque and shows its text while the machine is prepared.
#include "platform/Platform.h"
#include "ui/Form.h"

class SplashScreen : public ui::Form {
public:
    SplashScreen(ui::Application& app, platform::Platform& platform);
    ui::Label Label1;

    void FormActivate();

private:
    platform::Platform& platform_;
};
