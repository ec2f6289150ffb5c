#include "platform/Error.h"
#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <map>

using platform::RegType;
using platform::RegValue;
namespace reg = platform::reg;

namespace {

// A key in memory; names match exactly, which is all these helpers need.
class MemoryKey : public platform::RegistryKey {
public:
    std::map<std::string, RegValue> values;

    bool valueExists(const std::string& name) const override { return values.count(name) > 0; }
    std::optional<RegValue> read(const std::string& name) const override {
        const auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional<RegValue>(it->second);
    }
    void write(const std::string& name, const RegValue& value) override { values[name] = value; }
    std::vector<std::string> valueNames() const override {
        std::vector<std::string> names;
        for (const auto& entry : values)
            names.push_back(entry.first);
        return names;
    }
    bool deleteValue(const std::string& name) override { return values.erase(name) > 0; }
};

std::string errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const platform::Error& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(RegHelpers, StringsAreStoredAsWindows1252WithATerminatingZero) {
    MemoryKey key;
    reg::writeString(key, "Description", "Créer");
    EXPECT_EQ(key.values["Description"].type, RegType::Sz);
    EXPECT_EQ(key.values["Description"].data, std::string("Cr\351er\0", 6));
    EXPECT_EQ(reg::readString(key, "Description"), "Créer");
}

TEST(RegHelpers, StringReadingStopsAtTheFirstZeroAndAcceptsExpandableStrings) {
    MemoryKey key;
    key.values["NoZero"] = {RegType::Sz, "abc"};
    key.values["Inner"] = {RegType::Sz, std::string("ab\0cd\0", 6)};
    key.values["Expand"] = {RegType::ExpandSz, std::string("%SystemRoot%\0", 13)};
    EXPECT_EQ(reg::readString(key, "NoZero"), "abc");
    EXPECT_EQ(reg::readString(key, "Inner"), "ab");
    EXPECT_EQ(reg::readString(key, "Expand"), "%SystemRoot%");
    EXPECT_EQ(reg::readString(key, "Missing"), "");
}

TEST(RegHelpers, DwordIsFourBytesLittleEndian) {
    MemoryKey key;
    reg::writeInteger(key, "RPLifeInterval", 0x0076A700);
    EXPECT_EQ(key.values["RPLifeInterval"].type, RegType::Dword);
    EXPECT_EQ(key.values["RPLifeInterval"].data, std::string("\x00\xA7\x76\x00", 4));
    EXPECT_EQ(reg::readInteger(key, "RPLifeInterval"), 0x0076A700u);
    reg::writeInteger(key, "Max", 0xFFFFFFFFu);
    EXPECT_EQ(reg::readInteger(key, "Max"), 0xFFFFFFFFu);
}

TEST(RegHelpers, MultiStringsAreZeroSeparatedWithADoubleZeroAtTheEnd) {
    MemoryKey key;
    reg::writeMultiString(key, "Files", {"*.tmp", "Été"});
    EXPECT_EQ(key.values["Files"].type, RegType::MultiSz);
    EXPECT_EQ(key.values["Files"].data, std::string("*.tmp\0\xC9t\xE9\0\0", 11));
    EXPECT_EQ(reg::readMultiString(key, "Files"), (std::vector<std::string>{"*.tmp", "Été"}));

    reg::writeMultiString(key, "Empty", {});
    EXPECT_TRUE(reg::readMultiString(key, "Empty").empty());
    EXPECT_TRUE(reg::readMultiString(key, "Missing").empty());
}

TEST(RegHelpers, MultiStringReadingToleratesMissingTerminators) {
    MemoryKey key;
    key.values["Short"] = {RegType::MultiSz, std::string("a\0b", 3)};
    key.values["StopsAtEmpty"] = {RegType::MultiSz, std::string("a\0\0b\0\0", 6)};
    EXPECT_EQ(reg::readMultiString(key, "Short"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(reg::readMultiString(key, "StopsAtEmpty"), (std::vector<std::string>{"a"}));
}

TEST(RegHelpers, AValueOfAnotherTypeIsAnErrorNamingIt) {
    MemoryKey key;
    reg::writeString(key, "Text", "12");
    reg::writeInteger(key, "Number", 12);
    key.values["Wide"] = {RegType::Dword, std::string(8, '\0')};
    EXPECT_EQ(errorOf([&] { reg::readInteger(key, "Text"); }), "Invalid data type for 'Text'");
    EXPECT_EQ(errorOf([&] { reg::readInteger(key, "Wide"); }), "Invalid data type for 'Wide'");
    EXPECT_EQ(errorOf([&] { reg::readString(key, "Number"); }), "Invalid data type for 'Number'");
    EXPECT_EQ(errorOf([&] { reg::readMultiString(key, "Text"); }), "Invalid data type for 'Text'");
    EXPECT_EQ(errorOf([&] { reg::readInteger(key, "Missing"); }), "Invalid data type for 'Missing'");
}
