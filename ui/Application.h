#pragma once
// The application object: its title, the one dispatcher every event handler runs through, and
// the general error handler that shows an error's text and lets the program go on.
#include "ui/Backend.h"

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace ui {

class Form;

class Application {
public:
    explicit Application(Backend& backend) : backend_(backend) {}

    Backend& backend() const { return backend_; }
    const std::string& title() const { return title_; }
    void setTitle(const std::string& title) { title_ = title; }

    // Runs a handler; any error it raises goes to the general error handler and the program goes on.
    void dispatch(const std::function<void()>& handler) noexcept;
    // Shows the error's text in an error box, with a full stop added as the system does.
    void handleException(const std::exception& error) noexcept;
    // Words an error for the user (in the current language); without it, the error's own text.
    void setErrorText(std::function<std::string(const std::exception&)> errorText) {
        errorText_ = std::move(errorText);
    }

    // The plain message box, titled with the application title.
    void showMessage(const std::string& text);
    // The error box, titled with the application title.
    void showError(const std::string& text);
    void processMessages() { backend_.processMessages(); }

    // True while an event handler runs. A window closed meanwhile (its close arriving through
    // "let pending events run") is closed once the outermost handler has finished, so a long
    // operation never goes on writing after the window's clean-up.
    bool busy() const { return depth_ > 0; }
    void deferClose(Form* form);
    // True when the form was asked to close while a handler runs: long waits end early then.
    bool closePending(const Form* form) const;

    // Shows the wait cursor for as long as one exists; they nest.
    class BusyCursor {
    public:
        explicit BusyCursor(Application& app);
        ~BusyCursor();
        BusyCursor(const BusyCursor&) = delete;
        BusyCursor& operator=(const BusyCursor&) = delete;

    private:
        Application& app_;
    };

    Form* mainForm() const { return mainForm_; }
    void setMainForm(Form* form) { mainForm_ = form; }
    void run();

    // "Error text" becomes "Error text." unless it already ends in a full stop (or other
    // character at or below '.').
    static std::string withFullStop(const std::string& text);

private:
    Backend& backend_;
    std::string title_ = "Kestrafen";
    Form* mainForm_ = nullptr;
    int depth_ = 0;
    int busyCursors_ = 0;
    std::vector<Form*> deferredCloses_;
    std::function<std::string(const std::exception&)> errorText_;
};

} // namespace ui
