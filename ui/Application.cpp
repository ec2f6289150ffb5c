#include "ui/Application.h"

#include "ui/Form.h"

#include <stdexcept>

namespace ui {

void Application::dispatch(const std::function<void()>& handler) noexcept {
    if (!handler)
        return;
    ++depth_;
    try {
        handler();
    } catch (const std::exception& error) {
        handleException(error);
    } catch (...) {
        handleException(std::runtime_error("Unknown error"));
    }
    if (--depth_ == 0 && !deferredCloses_.empty()) {
        const auto forms = std::move(deferredCloses_);
        deferredCloses_.clear();
        for (Form* form : forms)
            form->close();
    }
}

void Application::deferClose(Form* form) {
    for (Form* f : deferredCloses_)
        if (f == form)
            return;
    deferredCloses_.push_back(form);
}

bool Application::closePending(const Form* form) const {
    for (const Form* f : deferredCloses_)
        if (f == form)
            return true;
    return false;
}

Application::BusyCursor::BusyCursor(Application& app) : app_(app) {
    if (app_.busyCursors_++ == 0)
        app_.backend_.setBusyCursor(true);
}

Application::BusyCursor::~BusyCursor() {
    if (--app_.busyCursors_ == 0)
        app_.backend_.setBusyCursor(false);
}

std::string Application::withFullStop(const std::string& text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        return text + ".";
    return text;
}

void Application::handleException(const std::exception& error) noexcept {
    try {
        std::string text = error.what();
        try {
            if (errorText_)
                text = errorText_(error);
        } catch (...) {
            // The wording failed (an unreadable language file): the error's own text will do.
        }
        backend_.errorBox(withFullStop(text), title_);
    } catch (...) {
        // Nothing sensible is left to do when even the error box fails.
    }
}

void Application::showMessage(const std::string& text) {
    backend_.messageBox(text, title_);
}

void Application::showError(const std::string& text) {
    backend_.errorBox(text, title_);
}

void Application::run() {
    if (mainForm_)
        backend_.runMainLoop(*mainForm_);
}

} // namespace ui
