#include "platform/qt/FormWindow.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/KeyMapping.h"
#include "platform/qt/QtBackend.h"
#include "ui/Application.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace platform::qt {

namespace {

Qt::WindowFlags flagsFor(const ui::Form& form) {
    const Qt::WindowFlags framed = Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    switch (form.border) {
    case ui::BorderStyle::None:
        return Qt::SplashScreen | Qt::FramelessWindowHint;
    case ui::BorderStyle::ToolWindow:
        return Qt::Tool | framed;
    case ui::BorderStyle::Dialog:
        return Qt::Dialog | framed | Qt::WindowSystemMenuHint;
    case ui::BorderStyle::Single:
    case ui::BorderStyle::Sizable:
        break;
    }
    Qt::WindowFlags flags = Qt::Window | framed | Qt::WindowSystemMenuHint;
    if (form.minimizeButton)
        flags |= Qt::WindowMinimizeButtonHint;
    if (form.maximizeButton)
        flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

constexpr int exposeWaitMs = 1000;

} // namespace

FormWindow::FormWindow(QtBackend& backend, ui::Form& form)
    : QWidget(nullptr, flagsFor(form)), backend_(backend), form_(form) {
    setObjectName(QString::fromStdString(form.name()));
    content_ = new QWidget(this);
    content_->setObjectName(QStringLiteral("clientArea"));
    content_->setGeometry(0, 0, form.clientWidth, form.clientHeight);
    if (form.border == ui::BorderStyle::Sizable)
        resize(form.clientWidth, form.clientHeight);
    else
        setFixedSize(form.clientWidth, form.clientHeight);
    setFont(qtFont(form.font));
    showCaption();
    for (ui::Control* control : form.controls()) {
        ControlView* parentView = control->parent() ? viewOf(*control->parent()) : nullptr;
        auto view = makeView(*control, parentView ? parentView->widget() : content_);
        control->setObserver(view.get());
        views_.push_back(std::move(view));
    }
    for (std::size_t i = 1; i < form.tabOrder.size(); ++i) {
        const ControlView* before = viewOf(*form.tabOrder[i - 1]);
        const ControlView* after = viewOf(*form.tabOrder[i]);
        if (before && after)
            QWidget::setTabOrder(before->widget(), after->widget());
    }
    showOpacity();
}

FormWindow::~FormWindow() {
    // The views go first: their connections to the widgets end before the widgets do.
    views_.clear();
}

ControlView* FormWindow::viewOf(const ui::Control& control) const {
    for (const auto& view : views_)
        if (&view->control() == &control)
            return view.get();
    return nullptr;
}

void FormWindow::open() {
    open_ = true;
    syncMapping();
    if (form_.activeControl)
        if (const ControlView* view = viewOf(*form_.activeControl); view && view->widget())
            view->widget()->setFocus(Qt::ActiveWindowFocusReason);
}

void FormWindow::shut() {
    open_ = false;
    syncMapping();
}

bool FormWindow::seeThrough() const {
    return form_.alphaBlend && form_.opacity() <= 0;
}

void FormWindow::syncMapping() {
    const bool mapped = open_ && !seeThrough();
    if (mapped == isVisible())
        return;
    if (!mapped) {
        hide();
        return;
    }
    place();
    show();
    waitExposed();
}

void FormWindow::place() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || form_.position == ui::Position::Designed)
        return;
    QPoint centre = screen->availableGeometry().center();
    const ui::Form* main = form_.app().mainForm();
    if (form_.position == ui::Position::MainFormCenter && main && main != &form_) {
        if (const auto* mainWindow = static_cast<const FormWindow*>(main->backendData());
            mainWindow && mainWindow->isVisible())
            centre = mainWindow->frameGeometry().center();
    }
    move(centre - QPoint(width() / 2, height() / 2));
}

void FormWindow::waitExposed() {
    // The window system maps a new window asynchronously; painting before that shows nothing.
    QWindow* handle = windowHandle();
    QElapsedTimer timer;
    timer.start();
    while (handle && !handle->isExposed() && timer.elapsed() < exposeWaitMs)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
}

void FormWindow::showCaption() {
    // Qt titles an untitled window with the application name; a blank keeps the bar empty.
    const QString caption = QString::fromStdString(form_.caption());
    // A title the bar cannot show whole is cut by the window manager: the client size is given.
    setWindowTitle(caption.isEmpty() ? QStringLiteral(" ") : caption);
}

void FormWindow::showOpacity() {
    if (form_.alphaBlend)
        setWindowOpacity(form_.opacity() / 255.0);
    const bool wasVisible = isVisible();
    syncMapping();
    if (!wasVisible && isVisible())
        repaintNow();
}

void FormWindow::repaintNow() {
    if (!isVisible())
        return;
    waitExposed();
    repaint();
    // Hands the painted pixels to the window system now, without running user input.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void FormWindow::previewKey(QWidget* receiver, const QKeyEvent& event) {
    const std::uint16_t key = virtualKey(event);
    const unsigned shift = shiftState(event.modifiers());
    if (key == 0)
        return;
    form_.keyPressed(key, shift);
    for (const auto& view : views_) {
        if (view->widget() != receiver)
            continue;
        if (view->control().kind() == ui::Kind::Edit)
            static_cast<ui::Edit&>(view->control()).userKeyDown(key, shift);
        else if (view->control().kind() == ui::Kind::Memo)
            static_cast<ui::Memo&>(view->control()).userKeyDown(key, shift);
    }
}

void FormWindow::closeEvent(QCloseEvent* event) {
    // The model decides: it hides the window (or ends a modal run) when the form closes.
    event->ignore();
    form_.closeRequested();
}

ui::Button* FormWindow::usableButton(bool defaultOne) const {
    for (ui::Control* control : form_.controls()) {
        if (control->kind() != ui::Kind::Button || !control->usable())
            continue;
        auto* button = static_cast<ui::Button*>(control);
        if (defaultOne ? button->isDefault : button->isCancel)
            return button;
    }
    return nullptr;
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    // Keys no control took: Enter presses the focused or the default button, Escape the cancel
    // button, or ends a modal run where the form allows it; Alt+F4 closes the window, as the native system
    // menu does when the window manager leaves the key to the program.
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::AltModifier) {
        form_.closeRequested();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) {
            focused->click();
            return;
        }
        if (ui::Button* button = usableButton(true)) {
            button->userClick();
            return;
        }
    } else if (event->key() == Qt::Key_Escape) {
        if (ui::Button* button = usableButton(false)) {
            button->userClick();
            return;
        }
        if (modalRun_ && form_.escapeCloses) {
            form_.closeRequested();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void FormWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        backend_.formActivated(form_);
    QWidget::changeEvent(event);
}

} // namespace platform::qt
