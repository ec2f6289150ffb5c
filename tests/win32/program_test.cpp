// The whole program, headless, on the real Windows services: Wine's System Restore stand-in refuses
// every new point, and the program must answer that with its two messages, not a crash. And the
// command line's console writes, in pieces XP's console takes.
#include "Scratch.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "app/TitlePrompt.h"
#include "platform/win32/StandardOutput.h"
#include "ui/Application.h"
#include "ui/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ProgramTest, ARefusedPointIsAnsweredWithBothMessages) {
    KESTRAFEN_ONLY_UNDER_WINE();
    testing_support::Scratch folder;
    platform::win32::Win32FileSystem files;
    files.writeFile(folder.path() + "Kestrafen.ini", "[Kestrafen]\r\nLangue=Fran\xe7"
                                                     "ais\r\n"); // no first run
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
    EXPECT_EQ(
        backend.messageTexts(),
        (std::vector<std::string>{"Impossible de créer le point de restauration.", "Erreur inconnue."}));
    EXPECT_TRUE(program.mainWindow().Duree.enabled()); // the window is not left locked
}

// XP's console prints nothing of a write above its 64 KB heap (Wine takes any): a console that
// refuses long writes and sometimes writes only part must still get every character, unbroken.
TEST(StandardOutput, ConsoleTextGoesInPiecesXpTakes) {
    const std::wstring rocket = L"\xD83D\xDE80";
    const std::wstring text = std::wstring(8191, L'a') + rocket + std::wstring(70000, L'b') + rocket;
    std::wstring shown;
    std::vector<unsigned long> pieces;
    const bool written =
        platform::win32::writeInPieces(text, [&](const wchar_t* piece, unsigned long length) {
            if (length > platform::win32::consolePiece)
                return 0UL;
            pieces.push_back(length);
            const unsigned long taken = pieces.size() == 3 ? length / 2 : length; // a partial write
            shown.append(piece, taken);
            return taken;
        });
    EXPECT_TRUE(written);
    EXPECT_TRUE(shown == text);
    EXPECT_EQ(pieces.front(), 8191u); // the pair's halves stay together
    EXPECT_FALSE(platform::win32::writeInPieces(text, [](const wchar_t*, unsigned long) { return 0UL; }));
}

} // namespace
