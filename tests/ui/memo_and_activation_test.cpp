#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/HeadlessBackend.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

struct MemoForm : ui::Form {
    explicit MemoForm(ui::Application& app)
        : ui::Form(app, "F"), memo(*this, "Memo", nullptr, {0, 0, 100, 50}) {}
    ui::Memo memo;
};

struct MemoTest : ::testing::Test {
    ui::HeadlessBackend backend;
    ui::Application app{backend};
    MemoForm form{app};
};

TEST_F(MemoTest, TypedTextBecomesLinesAsLineBreaksEndThem) {
    const struct {
        const char* text;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\nb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\n\nb", {"a", "", "b"}},
        {"\n", {""}},
        {"a\n\n", {"a", ""}},
    };
    form.memo.readOnly = false;
    for (const auto& c : cases) {
        form.memo.userEdit(c.text);
        EXPECT_EQ(form.memo.lines(), c.lines) << c.text;
    }
    form.memo.setLines({"x", "", "y"});
    EXPECT_EQ(form.memo.text(), "x\n\ny");
}

TEST_F(MemoTest, OnlyAnEditableReachableMemoTakesEdits) {
    form.memo.setLines({"kept"});
    form.memo.userEdit("typed"); // read-only by default
    EXPECT_EQ(form.memo.lines(), Lines{"kept"});
    form.memo.readOnly = false;
    form.memo.setEnabled(false);
    form.memo.userEdit("typed");
    EXPECT_EQ(form.memo.lines(), Lines{"kept"});
    form.memo.setEnabled(true);
    form.memo.userEdit("typed");
    EXPECT_EQ(form.memo.lines(), Lines{"typed"});
}

TEST_F(MemoTest, ActivationRunsOncePerShowing) {
    int activations = 0;
    form.onActivate = [&] { ++activations; };
    form.show();
    form.activated(); // a message box closed over it
    EXPECT_EQ(activations, 1);
    form.hide();
    form.show();
    EXPECT_EQ(activations, 2);
    form.hide();
    form.showModal();
    EXPECT_EQ(activations, 3);
}

} // namespace
