#include "ui/Form.h"

#include "ui/Application.h"

namespace ui {

Form::Form(Application& app, std::string name) : app_(app), name_(std::move(name)) {}

Form::~Form() {
    if (backendData_)
        app_.backend().formDestroyed(*this);
}

void Form::setCaption(const std::string& text) {
    caption_ = text;
    notify(FormChange::Caption);
}

void Form::setOpacity(int value) {
    opacity_ = value;
    notify(FormChange::Opacity);
}

Control* Form::findControl(const std::string& name) const {
    for (Control* c : controls_)
        if (c->name() == name)
            return c;
    return nullptr;
}

void Form::notify(FormChange what) {
    if (backendData_)
        app_.backend().formChanged(*this, what);
}

void Form::create() {
    app_.backend().formCreated(*this);
    app_.dispatch(onCreate);
}

void Form::show() {
    if (visible_)
        return;
    visible_ = true;
    activatedOnce_ = false;
    app_.dispatch(onShow);
    app_.backend().showForm(*this);
}

void Form::hide() {
    if (!visible_)
        return;
    visible_ = false;
    app_.backend().hideForm(*this);
}

int Form::showModal() {
    modalResult_ = mr::None;
    modal_ = true;
    visible_ = true;
    activatedOnce_ = false; // each showing is activated anew
    app_.dispatch(onShow);
    app_.backend().runModal(*this);
    modal_ = false;
    visible_ = false;
    if (modalResult_ == mr::None)
        modalResult_ = mr::Cancel;
    return modalResult_;
}

void Form::setModalResult(int result) {
    modalResult_ = result;
    if (modal_ && result != mr::None)
        app_.dispatch(onClose);
}

void Form::close() {
    if (modal_) {
        setModalResult(mr::Cancel);
        return;
    }
    if (app_.busy()) {
        app_.deferClose(this);
        return;
    }
    app_.dispatch(onClose);
    hide();
}

void Form::repaint() {
    app_.backend().repaint(*this);
}

void Form::activated() {
    if (activatedOnce_)
        return;
    activatedOnce_ = true;
    app_.dispatch(onActivate);
}

void Form::closeRequested() {
    close();
}

void Form::keyPressed(std::uint16_t key, unsigned shift) {
    if (keyPreview && onKeyDown)
        app_.dispatch([this, key, shift] {
            std::uint16_t k = key;
            onKeyDown(k, shift);
        });
}

} // namespace ui
