#pragma once
// The top-level window of one form: fixed client size, frame by border style, one widget per
// control. The model decides whether it is shown; a fully transparent form is kept unmapped, since
// without a compositor the window system could not show it see-through.
#include "platform/qt/ControlViews.h"
#include "ui/Form.h"

#include <QWidget>

#include <memory>
#include <vector>

namespace platform::qt {

class QtBackend;

class FormWindow : public QWidget {
public:
    FormWindow(QtBackend& backend, ui::Form& form);
    ~FormWindow() override;

    ui::Form& form() const { return form_; }
    ControlView* viewOf(const ui::Control& control) const;

    // Shown as far as the model is concerned (mapped once it can be seen).
    void open();
    void shut();
    bool isOpen() const { return open_; }
    void setModalRun(bool on) { modalRun_ = on; }

    void showCaption();
    void showOpacity();
    // Paints at once what is pending, the way a native repaint does.
    void repaintNow();

    // A key press on its way to this window's focus widget: the form's key preview first, then
    // the key handler of an edit.
    void previewKey(QWidget* receiver, const QKeyEvent& event);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool seeThrough() const;
    void syncMapping();
    void place();
    void waitExposed();
    ui::Button* usableButton(bool defaultOne) const;

    QtBackend& backend_;
    ui::Form& form_;
    QWidget* content_ = nullptr; // the form's client area
    std::vector<std::unique_ptr<ControlView>> views_;
    bool open_ = false;
    bool modalRun_ = false;
};

} // namespace platform::qt
