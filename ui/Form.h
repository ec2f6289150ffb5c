#pragma once
// A window of the program: its properties, its controls (registered as they are constructed, in
// declaration order) and its handlers. Showing, modal runs and activation go through the backend.
#include "ui/Control.h"

#include <functional>
#include <string>
#include <vector>

namespace ui {

class Application;

enum class BorderStyle { Single, None, ToolWindow, Dialog, Sizable };
enum class Position { ScreenCenter, MainFormCenter, Designed };

// Modal results, Windows numbering.
namespace mr {
constexpr int None = 0;
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace mr

enum class FormChange { Caption, Opacity, Visible };

class Form {
public:
    Form(Application& app, std::string name);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    Application& app() const { return app_; }
    const std::string& name() const { return name_; }

    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& text);
    int clientWidth = 0;
    int clientHeight = 0;
    BorderStyle border = BorderStyle::Single;
    bool minimizeButton = true;
    bool maximizeButton = false;
    Position position = Position::ScreenCenter;
    Font font;
    bool keyPreview = false;
    // Escape closes the form in a modal run when no cancel button takes it. Off by default: a
    // dialog's work is not thrown away by a stray key; its close box stays.
    bool escapeCloses = false;
    // Layered-window opacity, 0 to 255, when alpha blending is on.
    bool alphaBlend = false;
    int opacity() const { return opacity_; }
    void setOpacity(int value);

    const std::vector<Control*>& controls() const { return controls_; }
    // The order in which Tab moves the focus; empty means the order the controls were made in.
    std::vector<Control*> tabOrder;
    // The control that takes the focus each time the form is shown; without one the window keeps
    // whichever control had it last.
    Control* activeControl = nullptr;
    Control* findControl(const std::string& name) const;

    std::function<void()> onCreate;
    std::function<void()> onActivate;
    std::function<void()> onClose;
    std::function<void()> onShow;
    std::function<void(std::uint16_t& key, unsigned shift)> onKeyDown;

    // Runs the creation handler through the dispatcher and hands the form to the backend.
    void create();
    void show();
    void hide();
    bool visible() const { return visible_; }
    // Shows the form modally and returns its modal result once it is closed.
    int showModal();
    int modalResult() const { return modalResult_; }
    void setModalResult(int result);
    // Asks the form to close: the close handler runs, then it is hidden.
    void close();
    // Carries out pending paint requests at once.
    void repaint();

    // Called by the backend.
    void activated();      // the form became the active window; the handler runs once per showing
    void closeRequested(); // the user closed it (close button, Alt+F4, Escape where it closes)
    void keyPressed(std::uint16_t key, unsigned shift);

    void registerControl(Control* control) { controls_.push_back(control); }
    void notify(FormChange what);
    void setBackendData(void* data) { backendData_ = data; }
    void* backendData() const { return backendData_; }

private:
    Application& app_;
    std::string name_;
    std::string caption_;
    int opacity_ = 255;
    std::vector<Control*> controls_;
    bool visible_ = false;
    bool activatedOnce_ = false;
    bool modal_ = false;
    int modalResult_ = mr::None;
    void* backendData_ = nullptr;
};

} // namespace ui
