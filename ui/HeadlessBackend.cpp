#include "ui/HeadlessBackend.h"

#include "platform/Text.h"

namespace ui {

std::vector<std::string> HeadlessBackend::messageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages_)
        texts.push_back(m.text);
    return texts;
}

void HeadlessBackend::formCreated(Form& form) {
    form.setBackendData(this);
}

void HeadlessBackend::showForm(Form& form) {
    form.activated();
}

void HeadlessBackend::runModal(Form& form) {
    modalLog_.push_back(form.name());
    form.activated();
    if (modals_.empty()) {
        form.closeRequested();
        return;
    }
    auto script = std::move(modals_.front());
    modals_.pop_front();
    script(form);
    if (form.modalResult() == mr::None)
        form.closeRequested();
}

void HeadlessBackend::runMainLoop(Form& mainForm) {
    mainForm.show();
}

void HeadlessBackend::messageBox(const std::string& text, const std::string& title) {
    messages_.push_back({MessageKind::Plain, title, text, {}, {}, false, busyCursor_});
}

void HeadlessBackend::errorBox(const std::string& text, const std::string& title) {
    messages_.push_back({MessageKind::Error, title, text, {}, {}, false, busyCursor_});
}

bool HeadlessBackend::confirm(const std::string& question, const std::string& title, const std::string& yes,
                              const std::string& no) {
    bool answer = false;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    messages_.push_back({MessageKind::Confirmation, title, question, yes, no, answer, busyCursor_});
    return answer;
}

void HeadlessBackend::processMessages() {
    ++processCount_;
    if (onProcessMessages)
        onProcessMessages();
}

int HeadlessBackend::textWidth(const Control&, const std::string& text) {
    // Count characters, not UTF-8 bytes.
    int chars = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++chars;
    return chars * charWidth;
}

} // namespace ui
