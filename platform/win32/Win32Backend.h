#pragma once
// The window model drawn with native Windows controls: a top-level window per form, a child
// window per control, modal runs in local message loops with the other windows disabled, and the
// system's message boxes. For tests the boxes can be answered from a script instead of being
// shown. The backend must outlive every form it draws.
#include "platform/win32/ControlWindow.h"
#include "ui/Backend.h"
#include "ui/Form.h"

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

namespace platform::win32 {

class FormWindow;

class Win32Backend : public ui::Backend {
public:
    struct Shown {
        ui::MessageKind kind;
        std::string title;
        std::string text;
        int answer; // ui::mr::Ok, Yes or No
    };

    Win32Backend();
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    // The next box of any kind is not shown: it is recorded and gets this answer. In order.
    void setNextAnswer(int answer) { answers_.push_back(answer); }
    const std::vector<Shown>& messages() const { return messages_; }

    // The native window of a created form, or nullptr.
    static HWND windowOf(const ui::Form& form);
    // The native window of a control of a created form, or nullptr.
    static HWND windowOf(const ui::Control& control);
    // A form's window became the active one; the form hears of it when the active form changes.
    void formActivated(ui::Form& form);
    // Hands one message to the program: key preview, dialog keys, then the window.
    void deliver(MSG& message);

    void formCreated(ui::Form& form) override;
    void formChanged(ui::Form& form, ui::FormChange what) override;
    void formDestroyed(ui::Form& form) override;
    void showForm(ui::Form& form) override;
    void hideForm(ui::Form& form) override;
    void runModal(ui::Form& form) override;
    void runMainLoop(ui::Form& mainForm) override;
    void messageBox(const std::string& text, const std::string& title) override;
    void errorBox(const std::string& text, const std::string& title) override;
    bool confirm(const std::string& question, const std::string& title, const std::string& yes,
                 const std::string& no) override;
    void processMessages() override;
    void repaint(ui::Form& form) override;
    int textWidth(const ui::Control& control, const std::string& text) override;
    void setBusyCursor(bool on) override;
    // True while the program waits and no box or modal window opened since is up.
    bool busyCursor() const { return busyCursor_; }

private:
    // The window that owns the message boxes: the active form, else the topmost one taking input.
    HWND currentWindow() const;
    int ask(const Shown& shown, const std::string& yes, const std::string& no);
    bool previewKey(const MSG& message);
    static ControlWindow* checkBoxOf(HWND hwnd);
    static void dispatch(MSG& message);

    Fonts fonts_;
    std::vector<FormWindow*> windows_; // owned
    std::deque<int> answers_;
    std::vector<Shown> messages_;
    bool mainLoopRunning_ = false;
    bool busyCursor_ = false;
    ui::Form* activeForm_ = nullptr;
};

} // namespace platform::win32
