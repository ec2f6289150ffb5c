#include "config/DriveList.h"
#include "config/RestoreSettings.h"
#include "platform/Error.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

#include <optional>

using namespace config;

namespace {

TEST(IntegerParse, AcceptsSignedDecimalInRangeOnly) {
    const struct {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"90", 90},
        {"  24", 24},
        {"-5", -5},
        {"+7", 7},
        {"0", 0},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"12a", std::nullopt},
        {"12 ", std::nullopt},
        {"1 2", std::nullopt},
        {"- 5", std::nullopt},
        {"0x1A", std::nullopt},
        {"$1A", std::nullopt},
        {"x1A", std::nullopt},
        {"1.5", std::nullopt},
        {"\t5", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseInteger(c.text), c.value) << "'" << c.text << "'";
}

TEST(IntegerParse, SecondsMustFitThirtyTwoBits) {
    EXPECT_EQ(toSeconds(30, secondsPerDay), 2592000);
    EXPECT_EQ(toSeconds(0, secondsPerDay), 0);
    EXPECT_EQ(toSeconds(-5, secondsPerDay), std::nullopt); // read unsigned, it would never expire
    EXPECT_EQ(toSeconds(-1, secondsPerHour), std::nullopt);
    EXPECT_EQ(toSeconds(24855, secondsPerDay), 2147472000);
    EXPECT_EQ(toSeconds(24856, secondsPerDay), std::nullopt);
    EXPECT_EQ(toSeconds(-24856, secondsPerDay), std::nullopt);
    EXPECT_EQ(toSeconds(596523, secondsPerHour), 2147482800);
    EXPECT_EQ(toSeconds(596524, secondsPerHour), std::nullopt);
}

TEST(DriveList, ItemsAreTakenAsTypedAndTheSystemDriveExactly) {
    const struct {
        const char* text;
        std::vector<DriveItem> items;
    } cases[] = {
        {"D,E:", {{"D:\\", false}, {"E:\\", false}}},
        {"D, E", {{"D:\\", false}, {" E:\\", false}}},
        {"D,,E", {{"D:\\", false}, {":\\", false}, {"E:\\", false}}},
        {"D:\\,", {{"D:\\", false}}},
        {",D", {{":\\", false}, {"D:\\", false}}},
        {",", {{":\\", false}}},
        {"C", {{"C:\\", true}}},
        {"C:", {{"C:\\", true}}},
        {"C:\\", {{"C:\\", true}}},
        {"c", {{"c:\\", false}}},
        {"C ", {{"C :\\", false}}},
        {"D,C", {{"D:\\", false}, {"C:\\", true}}},
    };
    for (const auto& c : cases) {
        const auto items = parseDriveList(c.text, "C:");
        ASSERT_EQ(items.size(), c.items.size()) << c.text;
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].argument, c.items[i].argument) << c.text << " item " << i;
            EXPECT_EQ(items[i].systemDrive, c.items[i].systemDrive) << c.text << " item " << i;
        }
    }
}

struct TimingsTest : ::testing::Test {
    testing_support::TestMachine tm;
    platform::Platform p = tm.machine->platform();

    std::unique_ptr<platform::RegistryKey> key(bool create = false) {
        return p.registry.open(platform::RegRoot::LocalMachine, systemRestoreKey, create);
    }
};

TEST_F(TimingsTest, WritesSecondsAsThirtyTwoBitNumbersAndARefusedWriteThrows) {
    writeTimings(p.registry, {24855, 24});
    EXPECT_EQ(platform::reg::readInteger(*key(), "RPLifeInterval"), 2147472000u);
    EXPECT_EQ(platform::reg::readInteger(*key(), "RPGlobalInterval"), 86400u);

    tm.json()["registry_read_only"] = true;
    tm.save();
    platform::Platform readOnly = tm.machine->platform();
    EXPECT_THROW(writeTimings(readOnly.registry, {30, 24}), platform::Error);
}

} // namespace
