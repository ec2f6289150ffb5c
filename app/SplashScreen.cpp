#include "app/SplashScreen.h"

#include "ui/Application.h"

SplashScreen::SplashScreen(ui::Application& app, platform::Platform& platform)
    : ui::Form(app, "TSplashScreen"),
      Label1(*this, "Label1", nullptr, ui::Rect{13, 4, 250, 19}, "Premier chargement de Kestrafen..."),
      platform_(platform) {
    setCaption("...");
    clientWidth = 271;
    clientHeight = 28;
    border = ui::BorderStyle::None;
    minimizeButton = false;
    position = ui::Position::ScreenCenter;
    alphaBlend = true;
    setOpacity(0);
    Label1.setFont(ui::Font{"Times New Roman", 16, true, false});
    onActivate = [this] { FormActivate(); };
}

void SplashScreen::FormActivate() {
    repaint();
    const std::string folder = platform_.programFolder;
    if (platform_.files.fileExists(folder + "configuration2.ini"))
        platform_.files.rename(folder + "configuration2.ini", folder + "Kestrafen.ini");
    if (platform_.files.fileExists(folder + "Kestrafen.ini"))
        return;

    setOpacity(255);
    const ui::Application::BusyCursor busy(app());
    for (const char* dll : {"jscript.dll", "vbscript.dll", "mshtml.dll", "msscript.ocx"})
        platform_.shell.runCommand(std::string("/c regsvr32 /s ") + dll);
    platform_.process.sleep(3000);
}
