// The program's creation and deletion of points through the real srclient.dll calls, against a
// stand-in that wine_test.sh installs in the system folder: it records the bytes it receives and
// answers as told. The script also plants another copy beside this executable, which must never
// be the one loaded.
#include "Scratch.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "app/TitlePrompt.h"
#include "ui/Application.h"
#include "ui/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <cctype>

using testing_support::scriptSetting;

namespace {

const std::string kQuestion = "Supprimer le point de restauration ? La suppression est irréversible.";

class StandInTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (scriptSetting("KESTRAFEN_SRCLIENT_LOG").empty())
            GTEST_SKIP() << "run by wine_test.sh, which installs the stand-in srclient.dll";
        KESTRAFEN_ONLY_UNDER_WINE();
        files.writeFile(folder.path() + "Kestrafen.ini", "[Kestrafen]\r\nLangue=Fran\xe7"
                                                         "ais\r\n"); // no first run
        DeleteFileA(scriptSetting("KESTRAFEN_SRCLIENT_LOG").c_str());
        answer("KESTRAFEN_SRCLIENT_SET", "1 0 1");
        answer("KESTRAFEN_SRCLIENT_REMOVE", "0");
        program.start();
    }
    static void answer(const char* call, const char* what) { SetEnvironmentVariableA(call, what); }

    // The calls the stand-in received, each checked to come from the system folder's copy.
    std::vector<std::string> calls() {
        const std::string log = files.readFile(scriptSetting("KESTRAFEN_SRCLIENT_LOG")).value_or("");
        char system[MAX_PATH] = {};
        GetSystemDirectoryA(system, MAX_PATH);
        const std::string expected = lower(std::string(system) + "\\srclient.dll");
        std::vector<std::string> received;
        for (std::size_t at = 0; at < log.size();) {
            const std::size_t end = log.find('\n', at);
            const std::string line = log.substr(at, end - at);
            at = end == std::string::npos ? log.size() : end + 1;
            if (line.rfind("from ", 0) == 0)
                EXPECT_EQ(lower(line.substr(5)), expected) << "loaded from elsewhere than the system folder";
            else
                received.push_back(line);
        }
        return received;
    }
    static std::string lower(std::string s) {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    }

    void create(const std::string& title) {
        backend.setNextModal([title](ui::Form& form) {
            auto& prompt = static_cast<TitlePrompt&>(form);
            prompt.Titre.setText(title);
            prompt.Valider.onClick();
        });
        app.dispatch([&] { program.mainWindow().CreerClick(); });
    }
    // Two listed points, the second selected, its cache section naming point 42.
    void deleteSecondOfTwo() {
        MainWindow& window = program.mainWindow();
        window.PointR.setEnabled(true);
        window.Detruire.setEnabled(true);
        window.PointR.add("(01/12/2006) Avant");
        window.PointR.add("(02/12/2006) Apr\xc3\xa8s");
        window.PointR.setItemIndex(1);
        program.state().pointCache.writeString("(02/12/2006) Apr\xc3\xa8s", "Number", "42");
        backend.setNextAnswer(true); // "Oui" to the confirmation
        app.dispatch([&] { window.DetruireClick(); });
    }

    testing_support::Scratch folder;
    platform::win32::Win32FileSystem files;
    platform::win32::Win32Platform machine{folder.path()};
    platform::Platform platform = machine.platform();
    ui::HeadlessBackend backend;
    ui::Application app{backend};
    Startup program{app, platform};
};

} // namespace

TEST_F(StandInTest, CreationSendsTheEightyByteRecordWithTheTitleInWindows1252) {
    create("\xc3\x89t\xc3\xa9 \xc3\xa0 No\xc3\xabl"); // "Été à Noël"
    // BEGIN_SYSTEM_CHANGE (100), CHECKPOINT (7), sequence 0, then the title and zeros to 64 bytes:
    // packed, 4 + 4 + 8 + 64, nothing between the fields.
    const std::string expected = "set "
                                 "64000000"
                                 "07000000"
                                 "0000000000000000"
                                 "c974e920e0204e6feb6c" +
                                 std::string(2 * (64 - 10), '0');
    EXPECT_EQ(calls(), std::vector<std::string>{expected});
    EXPECT_EQ(backend.messageTexts(), std::vector<std::string>{"Point de restauration créé."});
    EXPECT_TRUE(program.mainWindow().Creer.enabled());
}

TEST_F(StandInTest, ARefusedCreationGetsTwoMessagesAndLeavesNothingLocked) {
    answer("KESTRAFEN_SRCLIENT_SET", "0 1 0"); // refused, ERROR_INVALID_FUNCTION
    create("Refus\xc3\xa9");
    EXPECT_EQ(calls().size(), 1u);
    EXPECT_EQ(
        backend.messageTexts(),
        (std::vector<std::string>{"Impossible de créer le point de restauration.", "Erreur inconnue."}));
    MainWindow& window = program.mainWindow();
    for (const ui::Control* control : std::vector<const ui::Control*>{
             &window.Creer, &window.Detruire, &window.Duree, &window.PointR, &window.Langue2})
        EXPECT_TRUE(control->enabled()) << control->name();
}

TEST_F(StandInTest, DeletionSendsTheSelectedPointsSequenceNumber) {
    deleteSecondOfTwo();
    EXPECT_EQ(calls(), std::vector<std::string>{"remove 42"});
    EXPECT_EQ(program.mainWindow().PointR.items(), std::vector<std::string>{"(01/12/2006) Avant"});
    EXPECT_EQ(backend.messageTexts(), std::vector<std::string>{kQuestion}); // and nothing after it
}

TEST_F(StandInTest, ARefusedDeletionSaysSoAndListsThePointsAnew) {
    answer("KESTRAFEN_SRCLIENT_REMOVE", "1168"); // ERROR_NOT_FOUND
    deleteSecondOfTwo();
    EXPECT_EQ(calls(), std::vector<std::string>{"remove 42"});
    EXPECT_EQ(backend.messageTexts(),
              (std::vector<std::string>{kQuestion, "Impossible de supprimer le point de restauration."}));
    EXPECT_EQ(program.mainWindow().PointR.count(), 0); // as Wine's service lists them: none
}
