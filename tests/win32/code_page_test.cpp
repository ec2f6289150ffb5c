// Text at the ANSI edge on a system whose code page is not Windows-1252: wine_test.sh runs these
// under a Russian locale (code page 1251), where Cyrillic descriptions must not become "????".
#include "platform/win32/Ansi.h"
#include "platform/win32/Win32Backend.h"
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
