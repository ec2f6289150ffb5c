// The whole program, headless, on the real Windows services: Wine's System Restore stand-in refuses
// every new point, and the program must answer that with its two messages, not a crash.
#include "Scratch.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "app/TitlePrompt.h"
#include "ui/Application.h"
#include "ui/HeadlessBackend.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramTest, ARefusedPointIsAnsweredWithBothMessages) {
    KESTRAFEN_ONLY_UNDER_WINE();
    testing_support::Scratch folder;
    platform::win32::Win32FileSystem files;
    files.writeFile(folder.path() + "Kestrafen.ini", "[Kestrafen]\r\nLangue=Fran\xe7" "ais\r\n"); // no first run
    platform::win32::Win32Platform machine(folder.path());
    platform::Platform platform = machine.platform();
    ui::HeadlessBackend backend;
    ui::Application app(backend);
    Startup program(app, platform);
    program.start();

    backend.setNextModal([](ui::Form& form) {
        auto& prompt = static_cast<TitlePrompt&>(form);
        prompt.Titre.setText("Avant le test");
        prompt.Valider.onClick();
    });
    app.dispatch([&] { program.mainWindow().CreerClick(); });
    EXPECT_EQ(backend.messageTexts(), (std::vector<std::string>{"Impossible de créer le point de restauration.",
                                                                "Erreur inconnue."}));
    EXPECT_TRUE(program.mainWindow().Duree.enabled()); // the window is not left locked
}

} // namespace
