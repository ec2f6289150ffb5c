#include "platform/win32/ControlWindow.h"

#include "platform/win32/Ansi.h"
#include "platform/win32/FormWindow.h"
#include "ui/Form.h"

#include <commctrl.h>

#include <algorithm>

namespace platform::win32 {

std::string windowText(HWND hwnd) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return utf8(text);
}

Fonts::~Fonts() {
    for (const Entry& entry : fonts_)
        DeleteObject(entry.handle);
}

HFONT Fonts::get(const ui::Font& font) {
    for (const Entry& entry : fonts_)
        if (entry.font.name == font.name && entry.font.pixelHeight == font.pixelHeight &&
            entry.font.bold == font.bold && entry.font.italic == font.italic)
            return entry.handle;
    // A negative height asks for the character height in pixels, as the model gives it.
    const HFONT handle = CreateFontA(-font.pixelHeight, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic,
                                     FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, ansi(font.name).c_str());
    fonts_.push_back({font, handle});
    return handle;
}

namespace {

struct WindowKind {
    const char* className;
    unsigned long style;
    unsigned long exStyle;
};

WindowKind kindOf(const ui::Control& control) {
    switch (control.kind()) {
    case ui::Kind::Button: {
        const bool isDefault = static_cast<const ui::Button&>(control).isDefault;
        return {"BUTTON", static_cast<DWORD>(WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)), 0};
    }
    case ui::Kind::CheckBox:
        return {"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    case ui::Kind::GroupBox:
        return {"BUTTON", BS_GROUPBOX, 0};
    case ui::Kind::Label:
        return {"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ui::Kind::Edit:
        return {"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ui::Kind::Memo: {
        const DWORD readOnly = static_cast<const ui::Memo&>(control).readOnly ? ES_READONLY : 0;
        const DWORD editable = readOnly ? 0 : ES_WANTRETURN;
        return {"EDIT", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | readOnly | editable,
                WS_EX_CLIENTEDGE};
    }
    case ui::Kind::ListBox: {
        // LBS_SORT marks the list as sorted; entries are placed by index all the same, so the
        // window shows exactly the model's order (a sorted add or an insert that does not re-sort).
        const DWORD sorted = static_cast<const ui::ListBox&>(control).sorted() ? LBS_SORT : 0;
        return {"LISTBOX", WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | sorted,
                WS_EX_CLIENTEDGE};
    }
    case ui::Kind::ComboBox:
        return {"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    }
    return {"STATIC", 0, 0};
}

// The model places a control relative to its parent; every window here is a child of the form.
POINT formPosition(const ui::Control& control) {
    POINT at{control.bounds().left, control.bounds().top};
    for (const ui::Control* parent = control.parent(); parent; parent = parent->parent()) {
        at.x += parent->bounds().left;
        at.y += parent->bounds().top;
    }
    return at;
}

bool shownWithParents(const ui::Control& control) {
    for (const ui::Control* c = &control; c; c = c->parent())
        if (!c->visible())
            return false;
    return true;
}

// Where the entries differ from the shown ones by one inserted (+1) or removed (-1) entry, its
// index; -1 when the change is anything else.
int singleChange(const std::vector<std::string>& shown, const std::vector<std::string>& now, int delta) {
    const auto& longer = delta > 0 ? now : shown;
    const auto& shorter = delta > 0 ? shown : now;
    if (longer.size() != shorter.size() + 1)
        return -1;
    const auto mismatch = std::mismatch(shorter.begin(), shorter.end(), longer.begin());
    const auto at = mismatch.first - shorter.begin();
    if (!std::equal(mismatch.first, shorter.end(), longer.begin() + at + 1))
        return -1;
    return static_cast<int>(at);
}

} // namespace

ControlWindow::ControlWindow(ui::Control& control, HWND form, int id, Fonts& fonts)
    : control_(control), fonts_(fonts) {
    const WindowKind kind = kindOf(control);
    const POINT at = formPosition(control);
    // A drop-down list's window includes its opened list; the closed box keeps the font's height.
    const int height =
        control.kind() == ui::Kind::ComboBox ? control.bounds().height + 200 : control.bounds().height;
    hwnd_ = CreateWindowExA(
        kind.exStyle, kind.className, "", WS_CHILD | kind.style, at.x, at.y, control.bounds().width, height,
        form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    syncAll();
}

ControlWindow::~ControlWindow() {
    control_.setObserver(nullptr);
}

void ControlWindow::syncAll() {
    updating_ = true;
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.get(control_.font())), FALSE);
    if (control_.kind() == ui::Kind::Edit && static_cast<ui::Edit&>(control_).maxLength > 0)
        SendMessageA(hwnd_, EM_LIMITTEXT, static_cast<WPARAM>(static_cast<ui::Edit&>(control_).maxLength), 0);
    // Appended text stops at 30,000 characters by default: a long change listing would lose its end.
    if (control_.kind() == ui::Kind::Memo)
        SendMessageA(hwnd_, EM_LIMITTEXT, 0, 0);
    showCaption();
    showItems();
    showLines();
    if (control_.kind() == ui::Kind::CheckBox)
        SendMessageA(hwnd_, BM_SETCHECK,
                     static_cast<ui::CheckBox&>(control_).checked() ? BST_CHECKED : BST_UNCHECKED, 0);
    if (control_.kind() == ui::Kind::ListBox)
        SendMessageA(hwnd_, LB_SETHORIZONTALEXTENT,
                     static_cast<WPARAM>(static_cast<ui::ListBox&>(control_).horizontalExtent()), 0);
    updating_ = false;
    syncReach();
}

void ControlWindow::syncReach() {
    EnableWindow(hwnd_, control_.usable());
    ShowWindow(hwnd_, shownWithParents(control_) ? SW_SHOWNA : SW_HIDE);
}

void ControlWindow::changed(ui::Control&, ui::Change what) {
    updating_ = true;
    switch (what) {
    case ui::Change::Caption:
        showCaption();
        break;
    case ui::Change::Items:
        showItems();
        break;
    case ui::Change::Selection:
        showSelection();
        break;
    case ui::Change::Checked:
        SendMessageA(hwnd_, BM_SETCHECK,
                     static_cast<ui::CheckBox&>(control_).checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case ui::Change::Lines:
    case ui::Change::LinesAdded:
        showLines();
        break;
    case ui::Change::Caret: {
        const int end = GetWindowTextLengthA(hwnd_);
        SendMessageA(hwnd_, EM_SETSEL, static_cast<WPARAM>(end), end);
        SendMessageA(hwnd_, EM_SCROLLCARET, 0, 0);
        break;
    }
    case ui::Change::ScrollExtent:
        SendMessageA(hwnd_, LB_SETHORIZONTALEXTENT,
                     static_cast<WPARAM>(static_cast<ui::ListBox&>(control_).horizontalExtent()), 0);
        break;
    case ui::Change::Font:
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.get(control_.font())), TRUE);
        break;
    case ui::Change::Enabled:
    case ui::Change::Visible:
        break;
    }
    updating_ = false;
    if (what == ui::Change::Enabled || what == ui::Change::Visible) {
        // A parent's change reaches its children, which are the form's windows too.
        if (FormWindow* form = FormWindow::of(GetParent(hwnd_)))
            form->syncReach();
        else
            syncReach();
    }
}

void ControlWindow::showCaption() {
    std::string text;
    switch (control_.kind()) {
    case ui::Kind::Button:
    case ui::Kind::CheckBox:
    case ui::Kind::GroupBox:
    case ui::Kind::Label:
        text = static_cast<ui::CaptionControl&>(control_).caption();
        break;
    case ui::Kind::Edit:
        text = static_cast<ui::Edit&>(control_).text();
        if (windowText(hwnd_) == text)
            return; // keeps the caret where the user is typing
        break;
    default:
        return;
    }
    SetWindowTextA(hwnd_, ansi(text).c_str());
    if (control_.kind() == ui::Kind::Label && control_.bounds().width == 0)
        fitText(text);
}

// A label laid out without a size takes the size of its text, as an auto-sized label does.
void ControlWindow::fitText(const std::string& text) {
    const std::string bytes = ansi(text);
    HDC dc = GetDC(hwnd_);
    const HGDIOBJ old = SelectObject(dc, fonts_.get(control_.font()));
    SIZE size{};
    GetTextExtentPoint32A(dc, bytes.c_str(), static_cast<int>(bytes.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ControlWindow::showItems() {
    if (control_.kind() == ui::Kind::ComboBox) {
        auto& combo = static_cast<ui::ComboBox&>(control_);
        SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
        for (const auto& item : combo.items())
            SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ansi(item).c_str()));
        showSelection();
        return;
    }
    if (control_.kind() != ui::Kind::ListBox)
        return;
    const auto& items = static_cast<ui::ListBox&>(control_).items();
    if (const int at = singleChange(shown_, items, +1); at >= 0) {
        SendMessageA(hwnd_, LB_INSERTSTRING, static_cast<WPARAM>(at),
                     reinterpret_cast<LPARAM>(ansi(items[static_cast<std::size_t>(at)]).c_str()));
    } else if (const int gone = singleChange(shown_, items, -1); gone >= 0) {
        SendMessageA(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(gone), 0);
    } else {
        SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
        SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
        for (const auto& item : items)
            SendMessageA(hwnd_, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(ansi(item).c_str()));
        SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
    shown_ = items;
    showSelection();
}

void ControlWindow::showSelection() {
    const bool allSelected = (control_.kind() == ui::Kind::Edit && static_cast<ui::Edit&>(control_).allSelected()) ||
                             (control_.kind() == ui::Kind::Memo && static_cast<ui::Memo&>(control_).allSelected());
    if (allSelected)
        SendMessageA(hwnd_, EM_SETSEL, 0, -1);
    else if (control_.kind() == ui::Kind::ListBox)
        SendMessageA(hwnd_, LB_SETCURSEL,
                     static_cast<WPARAM>(static_cast<ui::ListBox&>(control_).itemIndex()), 0);
    else if (control_.kind() == ui::Kind::ComboBox)
        SendMessageA(hwnd_, CB_SETCURSEL,
                     static_cast<WPARAM>(static_cast<ui::ComboBox&>(control_).itemIndex()), 0);
}

void ControlWindow::showLines() {
    if (control_.kind() != ui::Kind::Memo)
        return;
    const auto& lines = static_cast<ui::Memo&>(control_).lines();
    if (lines == shown_)
        return;
    // Lines are mostly added at the end: append them instead of replacing the whole text.
    if (!shown_.empty() && lines.size() > shown_.size() && std::equal(shown_.begin(), shown_.end(), lines.begin())) {
        std::string added;
        for (std::size_t i = shown_.size(); i < lines.size(); ++i)
            added += "\r\n" + lines[i];
        const int end = GetWindowTextLengthA(hwnd_);
        SendMessageA(hwnd_, EM_SETSEL, static_cast<WPARAM>(end), end);
        SendMessageA(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(ansi(added).c_str()));
        shown_ = lines;
        return;
    }
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\r\n" : "") + lines[i];
    SetWindowTextA(hwnd_, ansi(text).c_str());
    shown_ = lines;
}

void ControlWindow::command(int code) {
    if (updating_)
        return;
    switch (control_.kind()) {
    case ui::Kind::Button:
        if (code == BN_CLICKED)
            static_cast<ui::Button&>(control_).userClick();
        break;
    case ui::Kind::CheckBox:
        if (code == BN_CLICKED) {
            auto& box = static_cast<ui::CheckBox&>(control_);
            // A click ends with a mouse button's release over the box; the space bar has none.
            if (mouseReleased_)
                box.userClick();
            else
                box.userToggleByKey();
            // The box toggled itself; the model has the last word.
            SendMessageA(hwnd_, BM_SETCHECK, box.checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        break;
    case ui::Kind::ListBox:
        if (code == LBN_SELCHANGE) {
            auto& list = static_cast<ui::ListBox&>(control_);
            list.userSelect(static_cast<int>(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0)));
            updating_ = true;
            showSelection();
            updating_ = false;
        }
        break;
    case ui::Kind::ComboBox:
        if (code == CBN_SELCHANGE) {
            auto& combo = static_cast<ui::ComboBox&>(control_);
            combo.userSelect(static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0)));
            updating_ = true;
            showSelection(); // the model may have refused
            updating_ = false;
        }
        break;
    case ui::Kind::Edit:
        if (code == EN_CHANGE)
            static_cast<ui::Edit&>(control_).userType(windowText(hwnd_));
        break;
    case ui::Kind::Memo:
        if (code == EN_CHANGE) {
            auto& memo = static_cast<ui::Memo&>(control_);
            const std::string text = windowText(hwnd_);
            shown_ = ui::Memo::splitLines(text); // the edit shows it already
            memo.userEdit(text);
        }
        break;
    default:
        break;
    }
}

} // namespace platform::win32
