#include "platform/win32/Win32Backend.h"

#include "platform/win32/Ansi.h"
#include "platform/win32/FormWindow.h"
#include "ui/Application.h"

#include <algorithm>

namespace platform::win32 {

namespace {

unsigned shiftState() {
    unsigned shift = ui::ShiftNone;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= ui::ShiftShift;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= ui::ShiftCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ui::ShiftAlt;
    return shift;
}

// The captions the confirmation gives its two buttons while the box is being opened.
struct Captions {
    std::string yes, no;
    HHOOK hook = nullptr;
};
Captions* pendingCaptions = nullptr;

// Renames the buttons of the message box about to be activated, then steps aside.
LRESULT CALLBACK renameButtons(int code, WPARAM wParam, LPARAM lParam) {
    Captions* captions = pendingCaptions;
    if (code == HCBT_ACTIVATE && captions) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        SetDlgItemTextA(box, IDOK, captions->yes.c_str());
        SetDlgItemTextA(box, IDCANCEL, captions->no.c_str());
        UnhookWindowsHookEx(captions->hook);
        pendingCaptions = nullptr;
        return 0;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Shows the cursor now: the system asks again only when the mouse moves.
void showCursor(bool busy) {
    SetCursor(LoadCursorA(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

// The normal cursor while a box or a modal window is up during a wait, the wait cursor after.
class NormalCursor {
public:
    explicit NormalCursor(bool& busy) : busy_(busy), was_(busy) {
        if (was_) {
            busy_ = false;
            showCursor(false);
        }
    }
    ~NormalCursor() {
        if (was_) {
            busy_ = true;
            showCursor(true);
        }
    }
    NormalCursor(const NormalCursor&) = delete;
    NormalCursor& operator=(const NormalCursor&) = delete;

private:
    bool& busy_;
    bool was_;
};

} // namespace

Win32Backend::Win32Backend() = default;

void Win32Backend::setBusyCursor(bool on) {
    if (on == busyCursor_)
        return;
    busyCursor_ = on;
    showCursor(on);
}

Win32Backend::~Win32Backend() {
    for (FormWindow* window : windows_)
        delete window;
}

HWND Win32Backend::windowOf(const ui::Form& form) {
    const auto* window = static_cast<const FormWindow*>(form.backendData());
    return window ? window->hwnd() : nullptr;
}

HWND Win32Backend::windowOf(const ui::Control& control) {
    const auto* window = static_cast<const FormWindow*>(control.form().backendData());
    const ControlWindow* view = window ? window->viewOf(control) : nullptr;
    return view ? view->hwnd() : nullptr;
}

void Win32Backend::formActivated(ui::Form& form) {
    if (activeForm_ == &form)
        return;
    activeForm_ = &form;
    form.activated();
}

void Win32Backend::formCreated(ui::Form& form) {
    auto* window = new FormWindow(*this, form, fonts_);
    windows_.push_back(window);
    form.setBackendData(window);
}

void Win32Backend::formChanged(ui::Form& form, ui::FormChange what) {
    auto* window = static_cast<FormWindow*>(form.backendData());
    if (!window)
        return;
    if (what == ui::FormChange::Caption)
        window->showCaption();
    else if (what == ui::FormChange::Opacity)
        window->showOpacity();
}

void Win32Backend::formDestroyed(ui::Form& form) {
    auto* window = static_cast<FormWindow*>(form.backendData());
    windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
    if (activeForm_ == &form)
        activeForm_ = nullptr;
    form.setBackendData(nullptr);
    delete window;
}

void Win32Backend::showForm(ui::Form& form) {
    if (auto* window = static_cast<FormWindow*>(form.backendData()))
        window->open();
    formActivated(form);
}

void Win32Backend::hideForm(ui::Form& form) {
    if (auto* window = static_cast<FormWindow*>(form.backendData()))
        window->shut();
    if (activeForm_ == &form)
        activeForm_ = nullptr;
    if (mainLoopRunning_ && &form == form.app().mainForm())
        PostQuitMessage(0);
}

void Win32Backend::runModal(ui::Form& form) {
    auto* window = static_cast<FormWindow*>(form.backendData());
    if (!window)
        return;
    const NormalCursor normal(busyCursor_);
    // The other windows take no input while the modal form is up.
    std::vector<HWND> disabled;
    for (FormWindow* other : windows_)
        if (other != window && IsWindowEnabled(other->hwnd())) {
            EnableWindow(other->hwnd(), FALSE);
            disabled.push_back(other->hwnd());
        }
    window->setModalRun(true);
    window->open();
    formActivated(form);
    MSG message;
    while (form.modalResult() == ui::mr::None) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(static_cast<int>(message.wParam)); // for the outer loop
            break;
        }
        deliver(message);
    }
    window->setModalRun(false);
    // Enabled again before the modal window goes, so the activation returns to its owner.
    for (HWND hwnd : disabled)
        EnableWindow(hwnd, TRUE);
    window->shut();
    if (activeForm_ == &form)
        activeForm_ = nullptr;
}

void Win32Backend::runMainLoop(ui::Form& mainForm) {
    mainForm.show();
    if (!mainForm.visible())
        return;
    mainLoopRunning_ = true;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        deliver(message);
    mainLoopRunning_ = false;
}

bool Win32Backend::previewKey(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)
        return false;
    FormWindow* window = FormWindow::of(message.hwnd);
    if (!window)
        return false;
    const auto key = static_cast<std::uint16_t>(message.wParam);
    const unsigned shift = shiftState();
    window->form().keyPressed(key, shift);
    ControlWindow* view = window->viewOf(message.hwnd);
    // A multi-line edit closes its window on Escape when a dialog manager drives it; here Escape
    // does what it does in every other control: the window's cancel button, if it has one.
    if (view && view->control().kind() == ui::Kind::Memo && key == VK_ESCAPE) {
        SendMessageA(window->hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        return true;
    }
    if (!view || view->control().kind() != ui::Kind::Edit)
        return false;
    static_cast<ui::Edit&>(view->control()).userKeyDown(key, shift);
    // Ctrl+A selects the whole text, which XP's edit control does not do by itself.
    if (key == ui::vk::KeyA && shift == ui::ShiftCtrl) {
        SendMessageA(message.hwnd, EM_SETSEL, 0, -1);
        return true;
    }
    return false;
}

void Win32Backend::deliver(MSG& message) {
    if (previewKey(message))
        return;
    // A mouse release over a check box: the left button clicks it (toggle and release handler
    // together, told apart from the space bar); the others only reach the release handler.
    const bool released =
        message.message == WM_LBUTTONUP || message.message == WM_RBUTTONUP || message.message == WM_MBUTTONUP;
    ControlWindow* box = released ? checkBoxOf(message.hwnd) : nullptr;
    if (box)
        box->setMouseReleased(message.message == WM_LBUTTONUP);
    dispatch(message);
    if (!box)
        return;
    box->setMouseReleased(false);
    if (message.message != WM_LBUTTONUP)
        static_cast<ui::CheckBox&>(box->control())
            .userMouseUp(message.message == WM_RBUTTONUP ? ui::MouseButton::Right : ui::MouseButton::Middle);
}

void Win32Backend::dispatch(MSG& message) {
    // Tab, Enter and Escape move between controls and press buttons as in a dialog.
    if (FormWindow* window = FormWindow::of(message.hwnd);
        window && IsDialogMessageA(window->hwnd(), &message))
        return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

ControlWindow* Win32Backend::checkBoxOf(HWND hwnd) {
    FormWindow* window = FormWindow::of(hwnd);
    ControlWindow* view = window ? window->viewOf(hwnd) : nullptr;
    return view && view->control().kind() == ui::Kind::CheckBox ? view : nullptr;
}

void Win32Backend::messageBox(const std::string& text, const std::string& title) {
    ask({ui::MessageKind::Plain, title, text, ui::mr::None}, {}, {});
}

void Win32Backend::errorBox(const std::string& text, const std::string& title) {
    ask({ui::MessageKind::Error, title, text, ui::mr::None}, {}, {});
}

bool Win32Backend::confirm(const std::string& question, const std::string& title, const std::string& yes,
                           const std::string& no) {
    return ask({ui::MessageKind::Confirmation, title, question, ui::mr::None}, yes, no) == ui::mr::Yes;
}

int Win32Backend::ask(const Shown& asked, const std::string& yes, const std::string& no) {
    Shown shown = asked;
    if (!answers_.empty()) {
        shown.answer = answers_.front();
        answers_.pop_front();
        messages_.push_back(shown);
        return shown.answer;
    }
    const NormalCursor normal(busyCursor_);
    // Owned by the program's current window even when the program is in the background, so that
    // nothing behind the box takes a click while it is up.
    const HWND owner = currentWindow();
    const std::string text = ansi(shown.text), title = ansi(shown.title);
    if (shown.kind != ui::MessageKind::Confirmation) {
        const UINT icon = shown.kind == ui::MessageKind::Error ? MB_ICONERROR : 0;
        MessageBoxA(owner, text.c_str(), title.c_str(), MB_OK | icon);
        shown.answer = ui::mr::Ok;
    } else {
        // OK and Cancel renamed: Enter answers Yes, and Escape and the close button answer No,
        // which a Yes/No box would not allow.
        Captions captions{ansi(yes), ansi(no)};
        captions.hook = SetWindowsHookExA(WH_CBT, renameButtons, nullptr, GetCurrentThreadId());
        pendingCaptions = &captions;
        const int answer = MessageBoxA(owner, text.c_str(), title.c_str(), MB_OKCANCEL | MB_ICONQUESTION);
        if (pendingCaptions) { // the box never opened
            UnhookWindowsHookEx(captions.hook);
            pendingCaptions = nullptr;
        }
        shown.answer = answer == IDOK ? ui::mr::Yes : ui::mr::No;
    }
    messages_.push_back(shown);
    return shown.answer;
}

HWND Win32Backend::currentWindow() const {
    if (activeForm_)
        if (const HWND hwnd = windowOf(*activeForm_); hwnd && IsWindowVisible(hwnd))
            return hwnd;
    // The last shown window that is up and takes input: a modal one disables those below it.
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
        if (IsWindowVisible((*it)->hwnd()) && IsWindowEnabled((*it)->hwnd()))
            return (*it)->hwnd();
    return nullptr;
}

void Win32Backend::processMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam)); // for the loop that owns it
            return;
        }
        deliver(message);
    }
}

void Win32Backend::repaint(ui::Form& form) {
    if (const HWND hwnd = windowOf(form))
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int Win32Backend::textWidth(const ui::Control& control, const std::string& text) {
    const HWND hwnd = windowOf(control);
    const HDC dc = GetDC(hwnd);
    const HGDIOBJ old = SelectObject(dc, fonts_.get(control.font()));
    const std::string bytes = ansi(text);
    SIZE size{};
    GetTextExtentPoint32A(dc, bytes.c_str(), static_cast<int>(bytes.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return size.cx;
}

} // namespace platform::win32
