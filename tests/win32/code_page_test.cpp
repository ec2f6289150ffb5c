// Text at the ANSI edge on a system whose code page is not Windows-1252: wine_test.sh runs these
// under a Russian locale (code page 1251), where Cyrillic descriptions must not become "????".
// The new point's title is tried in each code page by name, under any locale.
#include "Scratch.h"
#include "config/ExclusionLists.h"
#include "platform/Error.h"
#include "platform/win32/Ansi.h"
#include "platform/win32/Win32Backend.h"
#include "restore/NewPoint.h"
#include "ui/Application.h"
#include "ui/Form.h"

#include <gtest/gtest.h>

#include <windows.h>

using platform::win32::Win32Backend;

namespace {

class CodePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 1251)
            GTEST_SKIP() << "needs the Cyrillic code page (1251); this system has " << GetACP();
    }
};

class ListForm : public ui::Form {
public:
    explicit ListForm(ui::Application& app)
        : ui::Form(app, "TForm9"), list(*this, "PointR", nullptr, {8, 8, 300, 100}, false) {}
    ui::ListBox list;
};

} // namespace

TEST_F(CodePageTest, TextGoesToAndFromTheSystemsCodePage) {
    struct Case {
        const char* utf8;
        const char* ansi;
    };
    const std::vector<Case> cases = {
        {"Точка восстановления",
         "\xD2\xEE\xF7\xEA\xE0 \xE2\xEE\xF1\xF1\xF2\xE0\xED\xEE\xE2\xEB\xE5\xED\xE8\xFF"},
        {"Установлено: Кестрафен",
         "\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEB\xE5\xED\xEE: \xCA\xE5\xF1\xF2\xF0\xE0\xF4\xE5\xED"},
        {"ASCII (01/12/2006)", "ASCII (01/12/2006)"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::win32::ansi(c.utf8), c.ansi) << c.utf8;
        EXPECT_EQ(platform::win32::utf8(c.ansi), c.utf8) << c.utf8;
    }
    EXPECT_EQ(platform::win32::ansi("€"), "\x88"); // the euro sign sits elsewhere in 1251 than in 1252
}

TEST_F(CodePageTest, TheTitleAndRegistryStringsAreInTheSystemsCodePage) {
    KESTRAFEN_ONLY_UNDER_WINE();
    platform::win32::Win32SystemRestore service;
    EXPECT_EQ(restore::creationRequest("Точка", service.codePage()).descriptionBytes(),
              "\xD2\xEE\xF7\xEA\xE0");
    // An exclusion entry, stored in the code page's bytes and read back as written.
    platform::win32::Win32Registry registry;
    const std::string key = "SOFTWARE\\Kestrafen Test";
    ASSERT_NE(registry.open(platform::RegRoot::LocalMachine, key, true), nullptr);
    ASSERT_TRUE(config::writeEntry(registry, key, "Files", {"C:\\Документы\\*.*"}));
    EXPECT_EQ(registry.open(platform::RegRoot::LocalMachine, key, false)->read("Files")->data,
              std::string("C:\\\xC4\xEE\xEA\xF3\xEC\xE5\xED\xF2\xFB\\*.*\0\0", 18));
    EXPECT_EQ(config::entryLines(registry, key, "Files"), std::vector<std::string>{"C:\\Документы\\*.*"});
}

TEST_F(CodePageTest, AFullWidthDotIsNoDotInACabinetEntry) {
    const std::string cabinet = testing_support::scriptSetting("KESTRAFEN_CABINETS") + "name-fullwidth.cab";
    testing_support::Scratch scratch;
    try {
        platform::win32::Win32Cabinet().extract(cabinet, scratch.path() + "res");
        ADD_FAILURE() << "unpacked";
    } catch (const platform::Error& e) {
        EXPECT_EQ(std::string(e.what()), cabinet + ": unsafe file name '???xy' in cabinet");
    }
    EXPECT_FALSE(platform::win32::Win32FileSystem().fileExists(scratch.path() + "xy"));
}

TEST(NewPointTitleTest, TheTitleIsInTheCodePageGivenAndCutBetweenCharacters) {
    std::string japanese = "ab", japaneseBytes = "ab";
    for (int i = 0; i < 15; ++i) {
        japanese += "復元";
        japaneseBytes += "\x95\x9C\x8C\xB3";
    }
    struct Case {
        unsigned codePage;
        std::string title;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {1251, "Точка восстановления",
         "\xD2\xEE\xF7\xEA\xE0 \xE2\xEE\xF1\xF1\xF2\xE0\xED\xEE\xE2\xEB\xE5\xED\xE8\xFF"},
        {1251, "Café à Москва", "Caf? ? \xCC\xEE\xF1\xEA\xE2\xE0"}, // no look-alike for what 1251 lacks
        {1253, "Σημείο επαναφοράς", "\xD3\xE7\xEC\xE5\xDF\xEF \xE5\xF0\xE1\xED\xE1\xF6\xEF\xF1\xDC\xF2"},
        {1250, "Punkt przywracania żółć", "Punkt przywracania \xBF\xF3\xB3\xE6"},
        {932, japanese, japaneseBytes},        // 62 bytes: all of it
        {932, japanese + "点", japaneseBytes}, // 64 bytes: the last character goes whole
        {932, "a" + japanese.substr(2) + "点", "a" + japaneseBytes.substr(2) + "\x93_"}, // 63 bytes fit
    };
    for (const Case& c : cases) {
        const auto info = restore::creationRequest(c.title, platform::win32::Win32CodePage(c.codePage));
        EXPECT_EQ(info.descriptionBytes(), c.bytes) << c.codePage << " " << c.title;
        EXPECT_EQ(info.description.back(), '\0') << c.codePage << " " << c.title;
    }
}

TEST_F(CodePageTest, ACyrillicDescriptionShowsInTheListAsWritten) {
    Win32Backend backend;
    ui::Application app(backend);
    ListForm form(app);
    form.create();
    form.list.add("(01/12/2006) Точка");
    wchar_t shown[64] = {};
    SendMessageW(Win32Backend::windowOf(form.list), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(shown));
    EXPECT_EQ(std::wstring(shown), L"(01/12/2006) \u0422\u043e\u0447\u043a\u0430");
}
