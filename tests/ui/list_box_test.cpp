#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/HeadlessBackend.h"

#include <gtest/gtest.h>

namespace {

struct ListForm : ui::Form {
    explicit ListForm(ui::Application& app)
        : ui::Form(app, "F"), sorted(*this, "Sorted", nullptr, {0, 0, 10, 10}, true),
          plain(*this, "Plain", nullptr, {0, 0, 10, 10}, false) {}
    ui::ListBox sorted;
    ui::ListBox plain;
};

struct ListBoxTest : ::testing::Test {
    ui::HeadlessBackend backend;
    ui::Application app{backend};
    ListForm form{app};
};

TEST_F(ListBoxTest, SortedAddPlacesEntriesInCaseInsensitiveOrder) {
    for (const char* s : {"20061004153000", "20060901120000", "b", "A", "20061004153000"})
        form.sorted.add(s);
    EXPECT_EQ(form.sorted.items(),
              (std::vector<std::string>{"20060901120000", "20061004153000", "20061004153000", "A", "b"}));
}

TEST_F(ListBoxTest, UnsortedAddAppends) {
    form.plain.add("b");
    form.plain.add("a");
    EXPECT_EQ(form.plain.items(), (std::vector<std::string>{"b", "a"}));
}

TEST_F(ListBoxTest, InsertAtPositionDoesNotResort) {
    form.sorted.add("1");
    form.sorted.add("2");
    form.sorted.add("3");
    form.sorted.remove(0);
    form.sorted.insert(0, "zzz");
    form.sorted.insert(form.sorted.count(), "aaa");
    EXPECT_EQ(form.sorted.items(), (std::vector<std::string>{"zzz", "2", "3", "aaa"}));
}

TEST_F(ListBoxTest, SearchIgnoresCaseIncludingAccentedLetters) {
    form.sorted.add("(01/04/2006) Installé Word");
    form.sorted.add("x");
    EXPECT_EQ(form.sorted.indexOf("(01/04/2006) INSTALLÉ WORD"), 0);
    EXPECT_EQ(form.sorted.indexOf("x"), 1);
    EXPECT_EQ(form.sorted.indexOf("y"), -1);
    EXPECT_EQ(form.sorted.indexOf(""), -1);
}

TEST_F(ListBoxTest, SelectionFollowsInsertAndRemove) {
    form.plain.add("a");
    form.plain.add("b");
    form.plain.setItemIndex(1);
    form.plain.insert(0, "c");
    EXPECT_EQ(form.plain.itemIndex(), 2);
    form.plain.remove(2);
    EXPECT_EQ(form.plain.itemIndex(), -1);
    EXPECT_THROW(form.plain.remove(5), std::out_of_range);
}

TEST_F(ListBoxTest, UserSelectionRunsClickHandlerOnlyWhenUsable) {
    int clicks = 0;
    form.plain.onClick = [&] { ++clicks; };
    form.plain.add("a");
    form.plain.userSelect(0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form.plain.itemIndex(), 0);
    form.plain.setEnabled(false);
    form.plain.userSelect(0);
    EXPECT_EQ(clicks, 1);
}

} // namespace
