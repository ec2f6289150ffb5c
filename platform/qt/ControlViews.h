#pragma once
// One widget per control of the model. A view keeps its widget in step with the control (the
// control notifies every change) and turns the widget's user actions into the control's user*
// calls. Changes made from the model are applied with the view's guard up, so the widget signals
// they cause are not taken for user actions.
#include "ui/Control.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>

namespace platform::qt {

class ControlView : public QObject, public ui::ControlObserver {
public:
    ControlView(ui::Control& control, QWidget* widget);
    ~ControlView() override = default;

    ui::Control& control() const { return control_; }
    QWidget* widget() const { return widget_; }

    // Copies the whole state of the control to the widget.
    void syncAll();
    void changed(ui::Control& control, ui::Change what) override;

protected:
    // The kind-specific part of a change (caption, items, selection ...).
    virtual void update(ui::Change what) = 0;
    virtual void syncOwn() = 0;

    // Model-to-widget work in progress: widget signals are not user actions.
    class Guard {
    public:
        explicit Guard(ControlView& view) : view_(view), was_(view.updating_) { view_.updating_ = true; }
        ~Guard() { view_.updating_ = was_; }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        ControlView& view_;
        bool was_;
    };
    bool updating() const { return updating_; }

private:
    ui::Control& control_;
    QPointer<QWidget> widget_;
    bool updating_ = false;
};

// Creates the widget of a control under parent (the form's window or the parent control's widget).
std::unique_ptr<ControlView> makeView(ui::Control& control, QWidget* parent);

} // namespace platform::qt
