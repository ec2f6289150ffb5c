#include "platform/win32/FormWindow.h"

#include "platform/win32/Ansi.h"
#include "platform/win32/Win32Backend.h"
#include "ui/Application.h"

#include <algorithm>

namespace platform::win32 {

namespace {

constexpr const char* kClassName = "KestrafenForm";
// Posted to itself on activation: the form hears of it once the system is done activating.
constexpr UINT kActivated = WM_APP + 1;
constexpr int kFirstControlId = 100;

void registerClass() {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA; // replaced per window once it is tied to its form
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExA(&windowClass);
    registered = true;
}

struct Frame {
    DWORD style;
    DWORD exStyle;
};

Frame frameOf(const ui::Form& form) {
    const DWORD layered = form.alphaBlend ? WS_EX_LAYERED : 0;
    switch (form.border) {
    case ui::BorderStyle::None:
        return {WS_POPUP, layered};
    case ui::BorderStyle::ToolWindow:
        return {WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW | layered};
    case ui::BorderStyle::Dialog:
        return {WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME | layered};
    case ui::BorderStyle::Single:
    case ui::BorderStyle::Sizable:
        break;
    }
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    if (form.border == ui::BorderStyle::Sizable)
        style |= WS_THICKFRAME;
    if (form.minimizeButton)
        style |= WS_MINIMIZEBOX;
    if (form.maximizeButton)
        style |= WS_MAXIMIZEBOX;
    return {style, layered};
}

} // namespace

FormWindow::FormWindow(Win32Backend& backend, ui::Form& form, Fonts& fonts) : backend_(backend), form_(form) {
    registerClass();
    const Frame frame = frameOf(form);
    RECT outer{0, 0, form.clientWidth, form.clientHeight};
    AdjustWindowRectEx(&outer, frame.style, FALSE, frame.exStyle);
    // Every other window is owned by the main form's, so it stays above it and leaves with it.
    const ui::Form* main = form.app().mainForm();
    const HWND owner = main && main != &form ? Win32Backend::windowOf(*main) : nullptr;
    hwnd_ = CreateWindowExA(frame.exStyle, kClassName, "", frame.style, CW_USEDEFAULT, CW_USEDEFAULT,
                            outer.right - outer.left, outer.bottom - outer.top, owner, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::procedure));
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.get(form.font)), FALSE);
    showCaption();
    int id = kFirstControlId;
    for (ui::Control* control : form.controls()) {
        auto view = std::make_unique<ControlWindow>(*control, hwnd_, id++, fonts);
        control->setObserver(view.get());
        views_.push_back(std::move(view));
    }
    // Tab moves through siblings in their z-order: put the listed controls in the form's order.
    for (std::size_t i = 1; i < form.tabOrder.size(); ++i) {
        const ControlWindow* before = viewOf(*form.tabOrder[i - 1]);
        const ControlWindow* after = viewOf(*form.tabOrder[i]);
        if (before && after && GetParent(before->hwnd()) == GetParent(after->hwnd()))
            SetWindowPos(after->hwnd(), before->hwnd(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    showOpacity();
}

FormWindow::~FormWindow() {
    views_.clear();
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

FormWindow* FormWindow::of(HWND hwnd) {
    const HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
    char className[32] = {};
    if (!root || !GetClassNameA(root, className, sizeof className) || lstrcmpA(className, kClassName) != 0)
        return nullptr;
    return reinterpret_cast<FormWindow*>(GetWindowLongPtrA(root, GWLP_USERDATA));
}

ControlWindow* FormWindow::viewOf(const ui::Control& control) const {
    for (const auto& view : views_)
        if (&view->control() == &control)
            return view.get();
    return nullptr;
}

ControlWindow* FormWindow::viewOf(HWND hwnd) const {
    for (const auto& view : views_)
        if (view->hwnd() == hwnd || IsChild(view->hwnd(), hwnd))
            return view.get();
    return nullptr;
}

void FormWindow::open() {
    if (IsWindowVisible(hwnd_))
        return;
    place();
    focusOnShow_ = true;
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    SetForegroundWindow(hwnd_);
}

void FormWindow::shut() {
    ShowWindow(hwnd_, SW_HIDE);
}

void FormWindow::place() {
    if (form_.position == ui::Position::Designed)
        return;
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const ui::Form* main = form_.app().mainForm();
    if (form_.position == ui::Position::MainFormCenter && main && main != &form_) {
        const HWND mainWindow = Win32Backend::windowOf(*main);
        if (mainWindow && IsWindowVisible(mainWindow))
            GetWindowRect(mainWindow, &area);
    }
    RECT own{};
    GetWindowRect(hwnd_, &own);
    const int width = own.right - own.left, height = own.bottom - own.top;
    SetWindowPos(hwnd_, nullptr, (area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::rememberFocus() {
    const HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus))
        lastFocus_ = focus;
}

HWND FormWindow::focusOnActivation() {
    const bool shown = focusOnShow_;
    focusOnShow_ = false;
    if (shown && form_.activeControl)
        if (const ControlWindow* view = viewOf(*form_.activeControl);
            view && IsWindowVisible(view->hwnd()) && IsWindowEnabled(view->hwnd()))
            return view->hwnd();
    if (lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_) && IsWindowVisible(lastFocus_) &&
        IsWindowEnabled(lastFocus_))
        return lastFocus_;
    return GetNextDlgTabItem(hwnd_, nullptr, FALSE);
}

void FormWindow::showCaption() {
    // A caption the title bar cannot show whole is cut by the system: the client size is given.
    SetWindowTextA(hwnd_, ansi(form_.caption()).c_str());
}

void FormWindow::showOpacity() {
    if (form_.alphaBlend)
        SetLayeredWindowAttributes(hwnd_, 0, static_cast<BYTE>(std::clamp(form_.opacity(), 0, 255)),
                                   LWA_ALPHA);
}

void FormWindow::syncReach() {
    for (const auto& view : views_)
        view->syncReach();
}

ui::Button* FormWindow::usableButton(bool defaultOne) const {
    for (ui::Control* control : form_.controls()) {
        if (control->kind() != ui::Kind::Button || !control->usable())
            continue;
        auto* button = static_cast<ui::Button*>(control);
        if (defaultOne ? button->isDefault : button->isCancel)
            return button;
    }
    return nullptr;
}

// A right click on a list box selects the entry under it first, as the menu acts on the selection;
// the menu key (no position) opens the menu at the control's corner.
void FormWindow::showPopupMenu(ControlWindow& view, LPARAM at) {
    const HWND hwnd = view.hwnd();
    POINT p{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    if (at == -1) {
        RECT r;
        GetWindowRect(hwnd, &r);
        p = {r.left, r.top};
    } else if (view.control().kind() == ui::Kind::ListBox) {
        POINT inside = p;
        ScreenToClient(hwnd, &inside);
        const LRESULT hit = SendMessageA(hwnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(inside.x, inside.y));
        if (HIWORD(hit) == 0 && static_cast<int>(LOWORD(hit)) != SendMessageA(hwnd, LB_GETCURSEL, 0, 0)) {
            SendMessageA(hwnd, LB_SETCURSEL, LOWORD(hit), 0);
            view.command(LBN_SELCHANGE);
        }
    }
    const HMENU menu = CreatePopupMenu();
    const auto& items = view.control().popupMenu;
    for (std::size_t i = 0; i < items.size(); ++i)
        AppendMenuA(menu, MF_STRING, i + 1, ansi(items[i].caption).c_str());
    const int chosen =
        static_cast<int>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, p.x, p.y, 0, hwnd_, nullptr));
    DestroyMenu(menu);
    if (chosen > 0)
        view.control().userChooseMenuItem(chosen - 1);
}

LRESULT CALLBACK FormWindow::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!window)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    return window->handle(message, wParam, lParam);
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (lParam) { // from a control
            const std::size_t index = static_cast<std::size_t>(id - kFirstControlId);
            if (id >= kFirstControlId && index < views_.size())
                views_[index]->command(HIWORD(wParam));
            return 0;
        }
        // Enter and Escape that no control took, as the dialog manager reports them.
        if (id == IDOK) {
            if (ui::Button* button = usableButton(true))
                button->userClick();
        } else if (id == IDCANCEL) {
            if (ui::Button* button = usableButton(false))
                button->userClick();
            else if (modalRun_ && form_.escapeCloses)
                form_.closeRequested();
        }
        return 0;
    }
    case WM_CONTEXTMENU:
        if (ControlWindow* view = viewOf(reinterpret_cast<HWND>(wParam));
            view && !view->control().popupMenu.empty()) {
            showPopupMenu(*view, lParam);
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        // A read-only memo keeps the white of a text field, as the program's windows were drawn.
        if (const ControlWindow* view = viewOf(reinterpret_cast<HWND>(lParam));
            view && view->control().kind() == ui::Kind::Memo) {
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_SETCURSOR:
        // The controls pass the question up to their window, so one answer covers them all.
        if (backend_.busyCursor()) {
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        // The model decides: it hides the window (or ends a modal run) when the form closes.
        form_.closeRequested();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            rememberFocus();
            break;
        }
        PostMessageA(hwnd_, kActivated, 0, 0);
        if (HIWORD(wParam) == 0) // not minimised
            if (const HWND target = focusOnActivation()) {
                SetFocus(target); // the frame itself, as the default would have it, takes no keys
                return 0;
            }
        break;
    case kActivated:
        if (GetActiveWindow() == hwnd_)
            backend_.formActivated(form_);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

} // namespace platform::win32
