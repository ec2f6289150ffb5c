#include "lang/TextTable.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/HeadlessBackend.h"

#include <gtest/gtest.h>

namespace {

struct RepairGroup : ui::Form {
    explicit RepairGroup(ui::Application& app)
        : ui::Form(app, "F"), Reparer(*this, "Reparer", nullptr, {0, 0, 10, 10}),
          Reparer2(*this, "Reparer2", &Reparer, {0, 0, 10, 10}) {}
    ui::GroupBox Reparer;
    ui::Button Reparer2;
};

TEST(TextTable, SameEntryIsPaddedOnAGroupBoxAndBareOnAButton) {
    ui::HeadlessBackend backend;
    ui::Application app(backend);
    RepairGroup form(app);
    lang::TextTable texts;
    texts.set("Réparer", "Réparer la restauration système");
    lang::showText(form.Reparer, texts, "Réparer");
    lang::showText(form.Reparer2, texts, "Réparer");
    EXPECT_EQ(form.Reparer.caption(), " Réparer la restauration système ");
    EXPECT_EQ(form.Reparer2.caption(), "Réparer la restauration système");
    EXPECT_EQ(texts.get("Valider"), ""); // in the table, not loaded yet
    EXPECT_THROW(texts.get("Absent"), std::logic_error);
    EXPECT_THROW(lang::showText(form.Reparer2, texts, "Reparer"), std::logic_error); // misspelt key
}

} // namespace
