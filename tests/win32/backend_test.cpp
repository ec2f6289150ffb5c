// The window model drawn with Wine's user32 and comctl32: the native windows hold what the model
// says, and native notifications reach the model's handlers. Runs on the script's Xvfb display.
#include "platform/win32/Ansi.h"
#include "platform/win32/Win32Backend.h"
#include "ui/Application.h"
#include "ui/Form.h"

#include <gtest/gtest.h>

#include <windows.h>

using platform::win32::Win32Backend;

namespace {

class TestForm : public ui::Form {
public:
    explicit TestForm(ui::Application& app)
        : ui::Form(app, "TForm9"), group(*this, "Group", nullptr, {10, 100, 300, 80}, " Autres "),
          inside(*this, "Inside", &group, {9, 17, 120, 25}, "Créer"),
          list(*this, "List", nullptr, {10, 10, 150, 80}, true),
          combo(*this, "Combo", nullptr, {170, 10, 120, 21}),
          edit(*this, "Edit", nullptr, {170, 40, 120, 21}),
          check(*this, "Check", nullptr, {170, 70, 120, 17}, "Liste"),
          ok(*this, "Ok", nullptr, {10, 190, 75, 25}, "OK") {
        clientWidth = 320;
        clientHeight = 220;
        setCaption("Fenêtre");
        ok.modalResult = ui::mr::Ok;
    }
    ui::GroupBox group;
    ui::Button inside;
    ui::ListBox list;
    ui::ComboBox combo;
    ui::Edit edit;
    ui::CheckBox check;
    ui::Button ok;
};

class BackendTest : public ::testing::Test {
protected:
    BackendTest() { form.create(); }
    Win32Backend backend;
    ui::Application app{backend};
    TestForm form{app};

    static HWND window(const ui::Control& control) { return Win32Backend::windowOf(control); }
    static std::string text(HWND hwnd) {
        char buffer[256] = {};
        GetWindowTextA(hwnd, buffer, sizeof buffer);
        return buffer;
    }
    // Where a control's window lies in the form's client area.
    RECT placeOf(const ui::Control& control) const {
        RECT r{};
        GetWindowRect(window(control), &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(window(control)), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // A notification as the control sends it when the user acts on it.
    static void notify(const ui::Control& control, int code) {
        const HWND hwnd = window(control);
        SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code),
                     reinterpret_cast<LPARAM>(hwnd));
    }
    std::vector<std::string> listed() const {
        std::vector<std::string> items;
        const HWND hwnd = window(form.list);
        for (int i = 0; i < SendMessageA(hwnd, LB_GETCOUNT, 0, 0); ++i) {
            char buffer[256] = {};
            SendMessageA(hwnd, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
            items.push_back(buffer);
        }
        return items;
    }
};

} // namespace

TEST_F(BackendTest, WindowsSitAtTheModelsBoundsWithWindows1252TextsInTahoma) {
    const RECT inside = placeOf(form.inside);
    EXPECT_EQ(
        std::vector<long>({inside.left, inside.top, inside.right - inside.left, inside.bottom - inside.top}),
        std::vector<long>({19, 117, 120, 25})); // relative to its group box at (10, 100)
    RECT client{};
    GetClientRect(Win32Backend::windowOf(form), &client);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 220);
    EXPECT_EQ(text(Win32Backend::windowOf(form)), "Fen\xEAtre");
    EXPECT_EQ(text(window(form.inside)), "Cr\xE9"
                                         "er");
    EXPECT_EQ(text(window(form.group)), " Autres ");
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window(form.inside), WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_STREQ(font.lfFaceName, "Tahoma");
    EXPECT_EQ(font.lfHeight, -11);
}

TEST_F(BackendTest, TheListShowsTheModelsOrderAndSelection) {
    form.list.add("b");
    form.list.add("A");
    form.list.add("c");
    form.list.insert(1, "zz"); // an insert does not re-sort
    EXPECT_EQ(listed(), (std::vector<std::string>{"A", "zz", "b", "c"}));
    form.list.remove(0);
    form.list.setItemIndex(2);
    EXPECT_EQ(listed(), (std::vector<std::string>{"zz", "b", "c"}));
    EXPECT_EQ(SendMessageA(window(form.list), LB_GETCURSEL, 0, 0), 2);
    form.list.setHorizontalExtent(400);
    EXPECT_EQ(SendMessageA(window(form.list), LB_GETHORIZONTALEXTENT, 0, 0), 400);
}

TEST_F(BackendTest, DisablingOrHidingAGroupBoxReachesItsChildren) {
    form.group.setEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(window(form.inside)));
    EXPECT_TRUE(IsWindowEnabled(window(form.ok)));
    form.group.setEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(window(form.inside)));
    form.group.setVisible(false);
    EXPECT_FALSE(GetWindowLongA(window(form.inside), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(BackendTest, UserActionsReachTheModelsHandlers) {
    int clicks = 0, changes = 0, selections = 0;
    form.inside.onClick = [&] { ++clicks; };
    form.combo.onChange = [&] { ++changes; };
    form.list.onClick = [&] { ++selections; };
    form.combo.add("Français");
    form.combo.add("English");
    form.list.add("un");
    form.list.add("deux");

    SendMessageA(window(form.inside), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    SendMessageA(window(form.combo), CB_SETCURSEL, 1, 0);
    notify(form.combo, CBN_SELCHANGE);
    EXPECT_EQ(form.combo.text(), "English");
    EXPECT_EQ(changes, 1);
    SendMessageA(window(form.list), LB_SETCURSEL, 1, 0);
    notify(form.list, LBN_SELCHANGE);
    EXPECT_EQ(form.list.itemIndex(), 1);
    EXPECT_EQ(selections, 1);
    SetWindowTextA(window(form.edit), "\xC9t\xE9"); // the edit reports the change itself
    EXPECT_EQ(form.edit.text(), "Été");
    SendMessageA(window(form.check), BM_CLICK, 0, 0);
    EXPECT_TRUE(form.check.checked());
    EXPECT_EQ(SendMessageA(window(form.check), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(BackendTest, AModalRunEndsWithTheButtonsResult) {
    PostMessageA(window(form.ok), BM_CLICK, 0, 0); // handled once the modal loop runs
    EXPECT_EQ(form.showModal(), ui::mr::Ok);
    EXPECT_FALSE(IsWindowVisible(Win32Backend::windowOf(form)));
}

namespace {

class DialogForm : public ui::Form {
public:
    explicit DialogForm(ui::Application& app)
        : ui::Form(app, "TForm2"), edit(*this, "Titre", nullptr, {8, 8, 200, 21}),
          ok(*this, "Valider", nullptr, {8, 40, 75, 25}, "Valider"),
          cancel(*this, "Annuler", nullptr, {90, 40, 75, 25}, "Annuler") {
        clientWidth = 220;
        clientHeight = 75;
        ok.isDefault = true;
        ok.modalResult = ui::mr::Ok;
        cancel.isCancel = true;
        cancel.modalResult = ui::mr::Cancel;
    }
    ui::Edit edit;
    ui::Button ok;
    ui::Button cancel;
};

} // namespace

TEST_F(BackendTest, EnterPressesTheDefaultButtonAndEscapeTheCancelOne) {
    DialogForm dialog(app);
    dialog.create();
    int okClicks = 0, cancelClicks = 0;
    dialog.ok.onClick = [&] { ++okClicks; };
    dialog.cancel.onClick = [&] { ++cancelClicks; };
    // Keys reach the loop as typed keys do: posted to the control that has the focus.
    PostMessageA(window(dialog.edit), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(dialog.showModal(), ui::mr::Ok);
    PostMessageA(window(dialog.edit), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(dialog.showModal(), ui::mr::Cancel);
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(cancelClicks, 1);
}

// The client size is given: a caption that the title bar cannot show whole is cut by the system,
// never a reason to widen the window or move its controls.
TEST_F(BackendTest, ALongCaptionKeepsTheGivenClientSize) {
    DialogForm dialog(app);
    dialog.clientWidth = 176;
    dialog.create();
    const HWND frame = Win32Backend::windowOf(dialog);
    for (const char* caption : {"T", "Titel erforderlich, ein sehr langer Fenstertitel"}) {
        dialog.setCaption(caption);
        RECT client{};
        GetClientRect(frame, &client);
        EXPECT_EQ(client.right, 176) << caption;
        RECT edit{};
        GetWindowRect(window(dialog.edit), &edit);
        MapWindowPoints(HWND_DESKTOP, frame, reinterpret_cast<POINT*>(&edit), 1);
        EXPECT_EQ(edit.left, 8) << caption;
    }
}

// The keyboard lands on a control, never on the bare frame: the form's chosen control at every
// showing, else the one that had it when the window was last active.
TEST_F(BackendTest, ActivationPutsTheFocusOnAControl) {
    DialogForm dialog(app);
    dialog.create();
    const HWND frame = Win32Backend::windowOf(dialog);
    dialog.activeControl = &dialog.edit;
    dialog.show();
    EXPECT_EQ(GetFocus(), window(dialog.edit));
    SetFocus(window(dialog.cancel));
    dialog.hide();
    dialog.show();
    EXPECT_EQ(GetFocus(), window(dialog.edit));
    dialog.activeControl = nullptr;
    SetFocus(window(dialog.cancel));
    SendMessageA(frame, WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessageA(frame, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(GetFocus(), window(dialog.cancel));
    dialog.hide();
}

namespace {

// Reads the captions of the confirmation's buttons once it is up, then presses one of them.
struct BoxPress {
    int button = IDCANCEL;
    std::string yes, no;
};
BoxPress* pendingPress = nullptr;

void CALLBACK pressButton(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND box = FindWindowA("#32770", "Confirmation");
    if (!box || !pendingPress)
        return;
    KillTimer(nullptr, timer);
    char caption[64] = {};
    GetDlgItemTextA(box, IDOK, caption, sizeof caption);
    pendingPress->yes = caption;
    GetDlgItemTextA(box, IDCANCEL, caption, sizeof caption);
    pendingPress->no = caption;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(pendingPress->button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, pendingPress->button)));
}

} // namespace

TEST(ConfirmationTest, TheButtonsCarryTheGivenCaptionsAndAnswerYesOrNo) {
    Win32Backend backend;
    for (const int button : {IDOK, IDCANCEL}) {
        BoxPress press{button, {}, {}};
        pendingPress = &press;
        SetTimer(nullptr, 0, 50, pressButton);
        const bool yes = backend.confirm("Supprimer ?", "Confirmation", "Oui", "Non");
        pendingPress = nullptr;
        EXPECT_EQ(press.yes, "Oui");
        EXPECT_EQ(press.no, "Non");
        EXPECT_EQ(yes, button == IDOK);
    }
}

TEST(TextWidthTest, GrowsWithTheText) {
    Win32Backend backend;
    ui::Application app(backend);
    TestForm form(app);
    form.create();
    const int one = backend.textWidth(form.list, "(10/11/2006) Point");
    EXPECT_GT(one, 0);
    EXPECT_GT(backend.textWidth(form.list, "(10/11/2006) Point plus long"), one);
    EXPECT_EQ(backend.textWidth(form.list, ""), 0);
}

namespace {

// A window like the main one: a memo, and no cancel button.
class MemoForm : public ui::Form {
public:
    explicit MemoForm(ui::Application& app)
        : ui::Form(app, "TForm8"), memo(*this, "Informations", nullptr, {8, 8, 300, 200}),
          button(*this, "Creer", nullptr, {8, 215, 75, 25}, "Créer") {
        clientWidth = 320;
        clientHeight = 250;
    }
    ui::Memo memo;
    ui::Button button;
};

class MemoTest : public ::testing::Test {
protected:
    MemoTest() { form.create(); }
    Win32Backend backend;
    ui::Application app{backend};
    MemoForm form{app};
};

} // namespace

TEST_F(MemoTest, EscapeInTheMemoLeavesTheWindowOpen) {
    form.show();
    const HWND memo = Win32Backend::windowOf(form.memo);
    SetFocus(memo);
    // As typed: the key goes down and up in the memo, and the loop delivers both.
    PostMessageA(memo, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(memo, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    for (int i = 0; i < 5; ++i) {
        backend.processMessages();
        Sleep(20);
    }
    EXPECT_TRUE(IsWindowVisible(Win32Backend::windowOf(form)));
    EXPECT_TRUE(form.visible());
}

TEST_F(MemoTest, AppendedLinesBeyondTheDefaultLimitAreAllKept) {
    // A change listing of 100,000 characters, appended to lines already shown.
    form.memo.add("Modifications :");
    std::vector<std::string> listing;
    std::size_t characters = 0;
    for (int i = 0; characters < 100000; ++i) {
        listing.push_back("C:\\WINDOWS\\system32\\fichier" + std::to_string(i) + ".dll  Modifié");
        characters += platform::win32::ansi(listing.back()).size() + 2;
    }
    form.memo.addLines(listing);
    const HWND hwnd = Win32Backend::windowOf(form.memo);
    std::string shown(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    shown.resize(
        static_cast<std::size_t>(GetWindowTextA(hwnd, shown.data(), static_cast<int>(shown.size()))));
    ASSERT_GT(shown.size(), 100000u);
    EXPECT_EQ(ui::Memo::splitLines(platform::win32::utf8(shown)), form.memo.lines()); // the end included
    EXPECT_EQ(SendMessageA(hwnd, EM_GETLINECOUNT, 0, 0), static_cast<LRESULT>(listing.size() + 1));
}
