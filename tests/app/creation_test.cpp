#include "AppFixture.h"

#include "app/TitlePrompt.h"
#include "restore/NewPoint.h"

using testing_support::AppFixture;
using testing_support::programFolder;

namespace {

TEST(CreationRequest, TitleStartsAZeroFilledDescriptionInWindows1252) {
    const std::string forty(40, 'x');
    const struct {
        std::string title;
        std::string description; // the bytes up to the first zero
        std::size_t zeros;       // zero bytes that end the description
    } cases[] = {
        {forty, forty, 24},
        {"", "", 64},
        {"Avant l'été", "Avant l'\xE9t\xE9", 53},
        {std::string(70, 'y'), std::string(63, 'y'), 1}, // never without a zero at the end
    };
    for (const auto& c : cases) {
        const platform::RestorePointInfoA info = restore::creationRequest(c.title);
        EXPECT_EQ(info.eventType, 100u);
        EXPECT_EQ(info.restorePointType, 7u);
        EXPECT_EQ(info.sequenceNumber, 0);
        const auto raw = info.bytes();
        const std::string description(raw.begin() + 16, raw.end());
        EXPECT_EQ(description.substr(0, c.description.size()), c.description) << c.title;
        EXPECT_EQ(description.substr(c.description.size()), std::string(c.zeros, '\0')) << c.title;
    }
}

struct CreationTest : AppFixture {
    CreationTest() {
        ordinaryStart();
        setPoints({point("20061004153000.000000+120", "Check", 7, 12)});
    }
    TitlePrompt& prompt() { return program->titlePrompt(); }
    // Scripts the next showing of the prompt: type a title (when given) and validate, or cancel.
    void answerPrompt(std::optional<std::string> title, bool validate = true) {
        backend.setNextModal([title, validate](ui::Form& form) {
            auto& p = static_cast<TitlePrompt&>(form);
            if (title)
                p.Titre.userType(*title);
            if (validate)
                p.Valider.userClick();
            else
                p.Annuler.userClick();
        });
    }
    std::vector<std::string> requests() {
        std::vector<std::string> lines;
        for (const auto& line : tm.journal())
            if (line.rfind("SRSetRestorePointA", 0) == 0)
                lines.push_back(line);
        return lines;
    }
    void setFreeKilobytes(std::uint64_t kb) {
        tm.json()["drives"]["C"]["free_bytes"] = kb * 1024;
        saveJson();
    }
};

TEST_F(CreationTest, PromptTakesItsTextsAtEveryShowingAndCountsOnlyValider) {
    startProgram();
    EXPECT_EQ(prompt().clientWidth, 176);
    EXPECT_EQ(prompt().clientHeight, 56);
    EXPECT_EQ(prompt().controls().front(), &prompt().Titre); // first in tab order

    std::string shown;
    backend.setNextModal([&](ui::Form&) {
        shown = prompt().caption() + "|" + prompt().Titre.text() + "|" + prompt().Valider.caption() + "|" +
                prompt().Annuler.caption();
        EXPECT_TRUE(prompt().Titre.allSelected()); // typing replaces the default title
        prompt().Titre.userType(std::string(45, 'a'));
        prompt().Titre.userKeyDown(ui::vk::KeyA, ui::ShiftCtrl);
        EXPECT_TRUE(prompt().Titre.allSelected());
        prompt().Valider.userClick();
    });
    EXPECT_TRUE(prompt().ask());
    EXPECT_EQ(shown, "Titre requis|Point de vérification système|Valider|Annuler");
    EXPECT_EQ(prompt().title(), std::string(40, 'a'));

    // The next showing starts again from the default title; cancelling or closing is not accepted.
    answerPrompt(std::nullopt, false);
    EXPECT_FALSE(prompt().ask());
    EXPECT_EQ(prompt().Titre.text(), "Point de vérification système");
    backend.setNextModal([](ui::Form& form) { form.closeRequested(); });
    EXPECT_FALSE(prompt().ask());
}

TEST_F(CreationTest, ValidatedTitleBecomesAListedPoint) {
    startProgram();
    tm.write(std::string(programFolder) + "res\\SR-ChgLog.LOG", "old");
    f().Modifications.setChecked(true);
    answerPrompt("Avant l'été");
    f().Creer.userClick();

    EXPECT_EQ(requests(), (std::vector<std::string>{"SRSetRestorePointA 100 7 Avant l'été"}));
    ASSERT_EQ(f().PointR.count(), 2);
    EXPECT_NE(f().PointR.item(1).find(") Avant l'été"), std::string::npos);
    EXPECT_EQ(backend.messageTexts(), (std::vector<std::string>{"Point de restauration créé."}));
    EXPECT_FALSE(f().Modifications.checked());
    EXPECT_FALSE(exists(std::string(programFolder) + "res"));
    for (ui::Control* c : f().mainControls())
        EXPECT_TRUE(c->enabled()) << c->name();

    // An empty title is sent as an empty description; cancelling afterwards sends nothing.
    answerPrompt("");
    f().Creer.userClick();
    answerPrompt(std::nullopt, false);
    f().Creer.userClick();
    EXPECT_EQ(requests(), (std::vector<std::string>{"SRSetRestorePointA 100 7 Avant l'été",
                                                    "SRSetRestorePointA 100 7 "}));
    EXPECT_EQ(f().PointR.count(), 3);
}

TEST_F(CreationTest, TooLittleSpaceRefusesAtTheBoundary) {
    const struct {
        std::uint64_t kb;
        bool created;
    } cases[] = {{204800, false}, {204801, true}};
    for (const auto& c : cases) {
        setFreeKilobytes(c.kb);
        startProgram();
        backend.clearMessages();
        const auto before = requests().size();
        answerPrompt("Test");
        f().Creer.userClick();
        EXPECT_EQ(requests().size() - before, c.created ? 1u : 0u) << c.kb;
        EXPECT_EQ(backend.messageTexts().front() == s().texts().get("Message2"), !c.created) << c.kb;
        EXPECT_TRUE(f().Creer.enabled());
    }
}

TEST_F(CreationTest, RefusedPointShowsTwoMessagesAndKeepsTheList) {
    tm.json()["system_restore"]["set_restore_point_succeeds"] = false;
    tm.save();
    startProgram();
    f().Modifications.setChecked(true);
    answerPrompt("Test");
    f().Creer.userClick();
    EXPECT_EQ(
        backend.messageTexts(),
        (std::vector<std::string>{"Impossible de créer le point de restauration.", "Erreur inconnue."}));
    EXPECT_EQ(f().PointR.count(), 1);
    EXPECT_TRUE(exists(std::string(programFolder) + "KestrafenTemp.ini"));
    EXPECT_FALSE(f().Modifications.checked());
    for (ui::Control* c : f().mainControls())
        EXPECT_TRUE(c->enabled()) << c->name();
}

TEST_F(CreationTest, ClosingWhileTheListIsRebuiltClosesWithoutTheMessage) {
    startProgram();
    answerPrompt("Test");
    backend.onProcessMessages = [&] { f().closeRequested(); };
    f().Creer.userClick();
    backend.onProcessMessages = nullptr;
    EXPECT_EQ(requests().size(), 1u);
    EXPECT_FALSE(f().visible());
    EXPECT_TRUE(backend.messages().empty());
    EXPECT_FALSE(exists(std::string(programFolder) + "KestrafenTemp.ini"));
}

TEST_F(CreationTest, ControlsAreFreedEvenWhenTheListingFails) {
    startProgram();
    tm.json()["system_restore"]["connection_fails"] = true;
    saveJson();
    answerPrompt("Test");
    f().Creer.userClick();
    ASSERT_EQ(backend.messages().size(), 1u);
    EXPECT_EQ(backend.messages()[0].kind, ui::MessageKind::Error);
    for (ui::Control* c : f().mainControls())
        EXPECT_TRUE(c->enabled()) << c->name();
}

} // namespace
