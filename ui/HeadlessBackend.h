#pragma once
// A backend that shows nothing: it records every message, answers confirmations and modal forms
// from a script, and measures text at a fixed width per character. Tests drive the program with it.
#include "ui/Backend.h"
#include "ui/Form.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace ui {

struct ShownMessage {
    MessageKind kind;
    std::string title;
    std::string text;
    std::string yes; // confirmation captions
    std::string no;
    bool answer = false; // the answer given to a confirmation
    bool busyCursor = false; // the wait cursor was on when the message came
};

class HeadlessBackend : public Backend {
public:
    static constexpr int charWidth = 6;

    // Scripted answers, taken in order; a confirmation with no answer left gets No.
    void setNextAnswer(bool yes) { answers_.push_back(yes); }
    // Scripted modal runs, taken in order: each gets the form and sets its modal result or
    // closes it. A modal form with no script left is closed at once (Cancel).
    void setNextModal(std::function<void(Form&)> script) { modals_.push_back(std::move(script)); }
    // Called at every "let pending events run": lets a test act while an operation waits.
    std::function<void()> onProcessMessages;

    const std::vector<ShownMessage>& messages() const { return messages_; }
    std::vector<std::string> messageTexts() const;
    void clearMessages() { messages_.clear(); }
    int processMessagesCount() const { return processCount_; }
    int repaintCount() const { return repaintCount_; }
    bool busyCursor() const { return busyCursor_; }
    const std::vector<std::string>& modalLog() const { return modalLog_; } // names of modal forms shown

    void formCreated(Form& form) override;
    void formChanged(Form&, FormChange) override {}
    void showForm(Form& form) override;
    void hideForm(Form&) override {}
    void runModal(Form& form) override;
    void runMainLoop(Form& mainForm) override;
    void messageBox(const std::string& text, const std::string& title) override;
    void errorBox(const std::string& text, const std::string& title) override;
    bool confirm(const std::string& question, const std::string& title, const std::string& yes,
                 const std::string& no) override;
    void processMessages() override;
    void repaint(Form&) override { ++repaintCount_; }
    int textWidth(const Control&, const std::string& text) override;
    void setBusyCursor(bool on) override { busyCursor_ = on; }

private:
    std::deque<bool> answers_;
    std::deque<std::function<void(Form&)>> modals_;
    std::vector<ShownMessage> messages_;
    std::vector<std::string> modalLog_;
    int processCount_ = 0;
    int repaintCount_ = 0;
    bool busyCursor_ = false;
};

} // namespace ui
