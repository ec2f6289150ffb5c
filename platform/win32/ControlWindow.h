#pragma once
// One native child window per control of the model. The view keeps the window in step with the
// control (the control notifies every change) and turns the window's notifications into the
// control's user* calls. Changes made from the model are applied with the guard up, so the
// notifications they cause are not taken for user actions.
#include "ui/Control.h"

#include <windows.h>

#include <string>
#include <vector>

namespace platform::win32 {

class Fonts;

class ControlWindow : public ui::ControlObserver {
public:
    // Creates the window as a child of the form's window; id is its command identifier.
    ControlWindow(ui::Control& control, HWND form, int id, Fonts& fonts);
    ~ControlWindow() override;
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    ui::Control& control() const { return control_; }
    HWND hwnd() const { return hwnd_; }

    void changed(ui::Control& control, ui::Change what) override;
    // A WM_COMMAND notification from the window.
    void command(int code);
    void fitText(const std::string& text);
    // Set while a mouse button's release is delivered to the control.
    void setMouseReleased(bool on) { mouseReleased_ = on; }
    // Enabled and shown as the control and all its parents say.
    void syncReach();

private:
    void syncAll();
    void showCaption();
    void showItems();
    void showSelection();
    void showLines();

    ui::Control& control_;
    Fonts& fonts_;
    HWND hwnd_ = nullptr;
    bool updating_ = false;
    std::vector<std::string> shown_; // list entries or memo lines as the window has them
    bool mouseReleased_ = false;
};

// The fonts of the controls, created once per look (face, height, weight, slant).
class Fonts {
public:
    Fonts() = default;
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;
    HFONT get(const ui::Font& font);

private:
    struct Entry {
        ui::Font font;
        HFONT handle;
    };
    std::vector<Entry> fonts_;
};

// A window's text as UTF-8.
std::string windowText(HWND hwnd);

} // namespace platform::win32
