#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>

namespace {

// One file's values by "section/key"; enough to drive IniFile's own logic.
class MapProfile : public platform::Profile {
public:
    std::map<std::string, std::string> values;

    std::string readString(const std::string&, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override {
        const auto it = values.find(section + "/" + key);
        return it == values.end() ? defaultValue : it->second;
    }
    void writeString(const std::string&, const std::string& section, const std::string& key,
                     const std::string& value) override {
        values[section + "/" + key] = value;
    }
    std::vector<std::string> sectionNames(const std::string&) override { return {}; }
    void deleteKey(const std::string&, const std::string& section, const std::string& key) override {
        values.erase(section + "/" + key);
    }
    void deleteSection(const std::string&, const std::string&) override {}
};

} // namespace

TEST(IniFile, ReadIntegerGivesTheDefaultForAnythingButAnInt) {
    MapProfile profile;
    platform::IniFile file(profile, "C:\\x.ini");
    profile.values = {{"s/good", "-42"},
                      {"s/empty", ""},
                      {"s/text", "abc"},
                      {"s/big", "2147483648"},
                      {"s/min", "-2147483648"}};
    EXPECT_EQ(file.readInteger("s", "good", 7), -42);
    EXPECT_EQ(file.readInteger("s", "min", 7), INT_MIN);
    EXPECT_EQ(file.readInteger("s", "missing", 7), 7);
    EXPECT_EQ(file.readInteger("s", "empty", 7), 7);
    EXPECT_EQ(file.readInteger("s", "text", 7), 7);
    EXPECT_EQ(file.readInteger("s", "big", 7), 7);
}
