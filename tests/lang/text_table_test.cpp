#include "lang/DiskText.h"
#include "lang/Keys.h"
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

// A drive line of the settings dialog, in French (the built-in texts) and with English units.
TEST(DiskText, DriveLinesShowSizesToThreeFiguresInTheLanguagesUnits) {
    lang::TextTable fr, en;
    for (const lang::KeyText& k : lang::keys::table)
        fr.set(k.key, k.frenchDefault);
    en = fr;
    for (const auto& [key, text] : {std::pair{"Décimale", "."}, {"UnitéGo", "GB"}, {"UnitéMo", "MB"}})
        en.set(key, text);
    constexpr std::uint64_t go = std::uint64_t{1} << 30, mo = std::uint64_t{1} << 20;
    using Used = platform::StoreUsage;
    using Drive = config::DriveShare;
    const struct {
        Drive drive;
        std::optional<std::int32_t> percent;
        const lang::TextTable& texts;
        const char* line;
    } cases[] = {
        {Drive("C:\\", 40 * go, Used{12 * go / 10, 14}), 12, fr,
         "C:\\ — au plus 4,8 Go (12 % de 40 Go), 1,2 Go utilisés par 14 points"},
        {Drive("D:\\", 120 * go, Used{mo / 20 - 1, 0}), 100, fr,
         "D:\\ — au plus 120 Go (100 % de 120 Go), 0 Mo utilisés par 0 points"},
        {Drive("E:\\", 1000 * go + go / 2, Used{99 * mo + mo / 2, 3}), 1, en,
         "E:\\ — au plus 10 GB (1 % de 1001 GB), 99.5 MB utilisés par 3 points"},
        {Drive("C:\\", 40 * go, std::nullopt), 12, fr,
         "C:\\ — au plus 4,8 Go (12 % de 40 Go), utilisé : inconnu"},
        {Drive("C:\\", std::nullopt, std::nullopt), 12, fr, "C:\\ — utilisé : inconnu"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lang::driveShareLine(c.drive, c.percent, c.texts), c.line);
}

} // namespace
