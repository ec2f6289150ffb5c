#include "platform/qt/QtBackend.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/FormWindow.h"
#include "ui/Application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace platform::qt {

namespace {

// Hands every key press to the form preview of the window it is meant for, before the focused
// widget sees it. A key a widget does not take travels on to its parents; only the first
// delivery, to the window's focus widget, counts.
class KeyPreviewFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        auto* window = dynamic_cast<FormWindow*>(widget->window());
        if (!window)
            return false;
        QWidget* first = window->focusWidget() ? window->focusWidget() : window;
        if (widget == first)
            window->previewKey(widget, *static_cast<QKeyEvent*>(event));
        return false;
    }
};

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

QtBackend::QtBackend() : keyFilter_(std::make_unique<KeyPreviewFilter>()) {
    loadBundledFonts();
    // The program ends when the main form closes, not when Qt sees no window left.
    QApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(keyFilter_.get());
}

QtBackend::~QtBackend() {
    for (FormWindow* window : windows_)
        delete window;
}

FormWindow* QtBackend::windowOf(const ui::Form& form) {
    return static_cast<FormWindow*>(form.backendData());
}

void QtBackend::formActivated(ui::Form& form) {
    if (activeForm_ == &form)
        return;
    activeForm_ = &form;
    form.activated();
}

// A form just shown is the active one, even when the window system has not told so yet: its
// activation handler runs once for this showing.
void QtBackend::showActive(ui::Form& form) {
    activeForm_ = &form;
    form.activated();
}

void QtBackend::formCreated(ui::Form& form) {
    auto* window = new FormWindow(*this, form);
    windows_.push_back(window);
    form.setBackendData(window);
}

void QtBackend::formChanged(ui::Form& form, ui::FormChange what) {
    FormWindow* window = windowOf(form);
    if (!window)
        return;
    if (what == ui::FormChange::Caption)
        window->showCaption();
    else if (what == ui::FormChange::Opacity)
        window->showOpacity();
}

void QtBackend::formDestroyed(ui::Form& form) {
    FormWindow* window = windowOf(form);
    windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
    if (activeForm_ == &form)
        activeForm_ = nullptr;
    delete window;
}

void QtBackend::showForm(ui::Form& form) {
    if (FormWindow* window = windowOf(form))
        window->open();
    showActive(form);
}

void QtBackend::hideForm(ui::Form& form) {
    if (FormWindow* window = windowOf(form))
        window->shut();
    if (mainLoopRunning_ && &form == form.app().mainForm())
        QCoreApplication::exit(0);
}

namespace {

// A box or modal window opened during a wait takes the normal cursor while it is open.
class NormalCursor {
public:
    explicit NormalCursor(bool busy) : busy_(busy) {
        if (busy_)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~NormalCursor() {
        if (busy_)
            QApplication::restoreOverrideCursor();
    }
    NormalCursor(const NormalCursor&) = delete;
    NormalCursor& operator=(const NormalCursor&) = delete;

private:
    bool busy_;
};

} // namespace

void QtBackend::setBusyCursor(bool on) {
    if (on == busyCursor_)
        return;
    busyCursor_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtBackend::runModal(ui::Form& form) {
    FormWindow* window = windowOf(form);
    if (!window)
        return;
    NormalCursor normal(busyCursor_);
    window->setWindowModality(Qt::ApplicationModal);
    window->setModalRun(true);
    window->open();
    showActive(form);
    if (form.modalResult() == ui::mr::None) {
        // Every change of the modal result comes from an event, so looking before the loop waits
        // for the next one is enough.
        QEventLoop loop;
        const auto connection =
            QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                             &loop, [&form, &loop] {
                                 if (form.modalResult() != ui::mr::None)
                                     loop.quit();
                             });
        loop.exec();
        QObject::disconnect(connection);
    }
    window->setModalRun(false);
    window->shut();
    window->setWindowModality(Qt::NonModal);
    if (activeForm_ == &form) // so its next showing is an activation again
        activeForm_ = nullptr;
}

void QtBackend::runMainLoop(ui::Form& mainForm) {
    mainForm.show();
    if (!mainForm.visible())
        return;
    mainLoopRunning_ = true;
    QApplication::exec();
    mainLoopRunning_ = false;
}

void QtBackend::messageBox(const std::string& text, const std::string& title) {
    ask({ui::MessageKind::Plain, title, text, {}, {}, ui::mr::None});
}

void QtBackend::errorBox(const std::string& text, const std::string& title) {
    ask({ui::MessageKind::Error, title, text, {}, {}, ui::mr::None});
}

bool QtBackend::confirm(const std::string& question, const std::string& title, const std::string& yes,
                        const std::string& no) {
    return ask({ui::MessageKind::Confirmation, title, question, yes, no, ui::mr::None}) == ui::mr::Yes;
}

int QtBackend::ask(Shown shown) {
    if (!answers_.empty()) {
        shown.answer = answers_.front();
        answers_.pop_front();
    } else if (!showUnscripted_) {
        shown.answer = shown.kind == ui::MessageKind::Confirmation ? ui::mr::No : ui::mr::Ok;
    } else {
        shown.answer = showBox(shown);
    }
    messages_.push_back(shown);
    return shown.answer;
}

int QtBackend::showBox(const Shown& shown) {
    NormalCursor normal(busyCursor_);
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    const QMessageBox::Icon icon = shown.kind == ui::MessageKind::Error          ? QMessageBox::Critical
                                   : shown.kind == ui::MessageKind::Confirmation ? QMessageBox::Question
                                                                                 : QMessageBox::NoIcon;
    QMessageBox box(icon, qs(shown.title), qs(shown.text), QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    if (shown.kind != ui::MessageKind::Confirmation) {
        box.addButton(QMessageBox::Ok);
        box.exec();
        return ui::mr::Ok;
    }
    QPushButton* yes = box.addButton(qs(shown.yes), QMessageBox::YesRole);
    QPushButton* no = box.addButton(qs(shown.no), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no); // Escape and the close button answer No
    box.exec();
    return box.clickedButton() == yes ? ui::mr::Yes : ui::mr::No;
}

void QtBackend::processMessages() {
    // A long operation asks after every small step. Running the events more often than a screen
    // refreshes only adds round trips to the display server; the window answers just as well.
    constexpr qint64 minimumIntervalMs = 15;
    if (sinceEvents_.isValid() && !sinceEvents_.hasExpired(minimumIntervalMs))
        return;
    QCoreApplication::processEvents();
    sinceEvents_.start();
}

void QtBackend::repaint(ui::Form& form) {
    if (FormWindow* window = windowOf(form))
        window->repaintNow();
}

int QtBackend::textWidth(const ui::Control& control, const std::string& text) {
    if (const FormWindow* window = windowOf(control.form()))
        if (const ControlView* view = window->viewOf(control); view && view->widget())
            return view->widget()->fontMetrics().horizontalAdvance(qs(text));
    return QFontMetrics(qtFont(control.font())).horizontalAdvance(qs(text));
}

} // namespace platform::qt
