#pragma once
// The window model drawn with Qt 6 Widgets: a top-level window per form, a widget per control,
// modal runs in nested event loops and the message boxes. For tests the boxes can be answered from
// a script instead of being shown (the seam of KeePassXC's MessageBox::setNextAnswer).
// A QApplication must exist first, and the backend must outlive every form it draws.
#include "ui/Backend.h"
#include "ui/Form.h"

#include <QElapsedTimer>
#include <QObject>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace platform::qt {

class FormWindow;

class QtBackend : public ui::Backend {
public:
    struct Shown {
        ui::MessageKind kind;
        std::string title;
        std::string text;
        std::string yes; // button captions of a confirmation
        std::string no;
        int answer; // ui::mr::Ok, Yes or No
    };

    QtBackend();
    ~QtBackend() override;
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    // The next box of any kind is not shown: it is recorded and gets this answer (ui::mr::Ok,
    // ui::mr::Yes or ui::mr::No). Answers are taken in order.
    void setNextAnswer(int answer) { answers_.push_back(answer); }
    // When off, a box with no scripted answer is not shown either: it gets OK, or No for a
    // confirmation. For tests, which must never block on a box.
    void setShowUnscripted(bool show) { showUnscripted_ = show; }
    // Every box asked for, shown or answered from the script, in order.
    const std::vector<Shown>& messages() const { return messages_; }
    void clearMessages() { messages_.clear(); }

    // The window of a created form, or nullptr.
    static FormWindow* windowOf(const ui::Form& form);
    // A form's window became the active window; the form hears of it when the active form changes.
    void formActivated(ui::Form& form);

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

private:
    void showActive(ui::Form& form);
    int ask(Shown shown);
    int showBox(const Shown& shown);

    std::unique_ptr<QObject> keyFilter_;
    std::vector<FormWindow*> windows_; // owned
    std::deque<int> answers_;
    std::vector<Shown> messages_;
    bool showUnscripted_ = true;
    bool mainLoopRunning_ = false;
    bool busyCursor_ = false;
    ui::Form* activeForm_ = nullptr;
    QElapsedTimer sinceEvents_; // since pending events last ran
};

} // namespace platform::qt
