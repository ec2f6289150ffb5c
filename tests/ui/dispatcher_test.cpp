#include "platform/Error.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/HeadlessBackend.h"

#include <gtest/gtest.h>

namespace {

struct ButtonForm : ui::Form {
    explicit ButtonForm(ui::Application& app)
        : ui::Form(app, "F"), group(*this, "Group", nullptr, {0, 0, 100, 50}),
          button(*this, "Button", &group, {1, 1, 10, 10}, "Go"), box(*this, "Box", nullptr, {0, 0, 9, 9}) {}
    ui::GroupBox group;
    ui::Button button;
    ui::CheckBox box;
};

struct DispatcherTest : ::testing::Test {
    ui::HeadlessBackend backend;
    ui::Application app{backend};
    ButtonForm form{app};
};

TEST_F(DispatcherTest, ErrorInHandlerIsShownWithFullStopAndProgramGoesOn) {
    int after = 0;
    form.button.onClick = [] { throw platform::Error("Unable to write to C:\\x\\Kestrafen.ini"); };
    form.button.userClick();
    form.button.onClick = [&] { ++after; };
    form.button.userClick();
    ASSERT_EQ(backend.messages().size(), 1u);
    EXPECT_EQ(backend.messages()[0].kind, ui::MessageKind::Error);
    EXPECT_EQ(backend.messages()[0].title, "Kestrafen");
    EXPECT_EQ(backend.messages()[0].text, "Unable to write to C:\\x\\Kestrafen.ini.");
    EXPECT_EQ(after, 1);
}

TEST_F(DispatcherTest, FullStopIsNotDoubled) {
    EXPECT_EQ(ui::Application::withFullStop("Done."), "Done.");
    EXPECT_EQ(ui::Application::withFullStop("Question ?"), "Question ?.");
    EXPECT_EQ(ui::Application::withFullStop(""), "");
}

TEST_F(DispatcherTest, ErrorInCreationHandlerLeavesFormUsable) {
    form.onCreate = [] { throw std::runtime_error("no automation object"); };
    form.create();
    form.show();
    EXPECT_TRUE(form.visible());
    ASSERT_EQ(backend.messageTexts(), std::vector<std::string>{"no automation object."});
}

TEST_F(DispatcherTest, DisabledParentBlocksClicks) {
    int clicks = 0;
    form.button.onClick = [&] { ++clicks; };
    form.group.setEnabled(false);
    form.button.userClick();
    EXPECT_EQ(clicks, 0);
    form.group.setEnabled(true);
    form.button.userClick();
    EXPECT_EQ(clicks, 1);
}

TEST_F(DispatcherTest, CheckBoxTogglesBeforeMouseUpHandler) {
    std::vector<std::string> order;
    form.box.onClick = [&] { order.push_back(form.box.checked() ? "click:on" : "click:off"); };
    form.box.onMouseUp = [&](ui::MouseButton, unsigned, int, int) {
        order.push_back(form.box.checked() ? "up:on" : "up:off");
    };
    form.box.userClick();
    EXPECT_EQ(order, (std::vector<std::string>{"click:on", "up:on"}));
}

TEST_F(DispatcherTest, ConfirmationAnswersComeFromScriptAndDefaultToNo) {
    backend.setNextAnswer(true);
    EXPECT_TRUE(backend.confirm("Q1", "Confirmation", "Oui", "Non"));
    EXPECT_FALSE(backend.confirm("Q2", "Confirmation", "Oui", "Non"));
    ASSERT_EQ(backend.messages().size(), 2u);
    EXPECT_EQ(backend.messages()[0].yes, "Oui");
    EXPECT_EQ(backend.messages()[1].no, "Non");
}

TEST_F(DispatcherTest, ModalFormReturnsResultOfItsButtonOrCancelWhenClosed) {
    form.button.modalResult = ui::mr::Ok;
    backend.setNextModal([&](ui::Form&) { form.button.userClick(); });
    EXPECT_EQ(form.showModal(), ui::mr::Ok);
    EXPECT_EQ(form.showModal(), ui::mr::Cancel);
    EXPECT_EQ(backend.modalLog(), (std::vector<std::string>{"F", "F"}));
}

TEST_F(DispatcherTest, ClosingDuringAHandlerWaitsUntilTheHandlerHasFinished) {
    std::vector<std::string> order;
    form.onClose = [&] { order.push_back("close"); };
    form.show();
    form.button.onClick = [&] {
        order.push_back("work starts");
        form.closeRequested(); // arrives while the handler lets pending events run
        order.push_back("work ends");
    };
    form.button.userClick();
    EXPECT_EQ(order, (std::vector<std::string>{"work starts", "work ends", "close"}));
    EXPECT_FALSE(form.visible());
}

} // namespace

TEST_F(DispatcherTest, BusyCursorNestsAndIsRecordedWithMessages) {
    EXPECT_FALSE(backend.busyCursor());
    {
        ui::Application::BusyCursor outer(app);
        {
            ui::Application::BusyCursor inner(app);
            app.showMessage("during");
        }
        EXPECT_TRUE(backend.busyCursor()); // the outer wait still runs
    }
    EXPECT_FALSE(backend.busyCursor());
    app.showMessage("after");
    ASSERT_EQ(backend.messages().size(), 2u);
    EXPECT_TRUE(backend.messages()[0].busyCursor);
    EXPECT_FALSE(backend.messages()[1].busyCursor);
}
