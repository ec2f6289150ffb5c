#pragma once
// The top-level window of one form: client size fixed by the model, frame by border style, one
// child window per control, layered when the form blends.
#include "platform/win32/ControlWindow.h"
#include "ui/Form.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace platform::win32 {

class Win32Backend;

class FormWindow {
public:
    FormWindow(Win32Backend& backend, ui::Form& form, Fonts& fonts);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // The form window a native window belongs to (itself or one of its controls), or nullptr.
    static FormWindow* of(HWND hwnd);

    ui::Form& form() const { return form_; }
    HWND hwnd() const { return hwnd_; }
    ControlWindow* viewOf(const ui::Control& control) const;
    ControlWindow* viewOf(HWND hwnd) const;

    void open();
    void shut();
    void setModalRun(bool on) { modalRun_ = on; }
    void showCaption();
    void showOpacity();
    // Enabled and shown state of every control, as the controls and their parents say.
    void syncReach();

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void showPopupMenu(ControlWindow& view, LPARAM at);
    void place();
    ui::Button* usableButton(bool defaultOne) const;
    // Where the keyboard goes when the window becomes active: the form's chosen control when it
    // was just shown, else the control that last had it, else the first that takes Tab.
    void rememberFocus();
    HWND focusOnActivation();

    Win32Backend& backend_;
    ui::Form& form_;
    HWND hwnd_ = nullptr;
    std::vector<std::unique_ptr<ControlWindow>> views_;
    bool modalRun_ = false;
    bool focusOnShow_ = false;
    HWND lastFocus_ = nullptr;
};

} // namespace platform::win32
