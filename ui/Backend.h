#pragma once
// What the window model needs from a toolkit. The Qt backend draws real widgets; the headless
// backend records everything and answers from a script, for tests.
#include <string>

namespace ui {

class Control;
class Form;
enum class FormChange;

enum class MessageKind { Plain, Error, Confirmation };

class Backend {
public:
    virtual ~Backend() = default;
    // Build the form's window and one widget per control; observe their state from now on.
    virtual void formCreated(Form& form) = 0;
    virtual void formChanged(Form& form, FormChange what) = 0;
    // The form is being destroyed: drop its window and widgets.
    virtual void formDestroyed(Form&) {}
    virtual void showForm(Form& form) = 0;
    virtual void hideForm(Form& form) = 0;
    // Shows the form modally; returns once form.modalResult() is set or the form is closed.
    virtual void runModal(Form& form) = 0;
    // Runs the event loop until the main form is closed.
    virtual void runMainLoop(Form& mainForm) = 0;

    // Plain message: text, one OK button, the given title.
    virtual void messageBox(const std::string& text, const std::string& title) = 0;
    // Error box: stop icon, OK button.
    virtual void errorBox(const std::string& text, const std::string& title) = 0;
    // Question icon, Yes (default, Enter) and No (cancel, Escape or closing); true for Yes.
    virtual bool confirm(const std::string& question, const std::string& title, const std::string& yes,
                         const std::string& no) = 0;

    // Let pending window events run once.
    virtual void processMessages() = 0;
    virtual void repaint(Form& form) = 0;
    // Width in pixels of the text in the control's font.
    virtual int textWidth(const Control& control, const std::string& text) = 0;
    // The wait cursor over every window of the program while on; message boxes and modal windows
    // opened meanwhile show the normal cursor.
    virtual void setBusyCursor(bool) {}
};

} // namespace ui
