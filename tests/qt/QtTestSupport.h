#pragma once
// The Qt application the tests share (offscreen unless a platform is chosen), and small helpers
// to reach the widgets of a form.
#include "platform/qt/Fonts.h"
#include "platform/qt/FormWindow.h"
#include "platform/qt/QtBackend.h"

#include <QApplication>
#include <QTimer>

#include <functional>

namespace testing_support {

inline QApplication& qtApplication() {
    static QApplication* app = [] {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test_qt";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv); // lives until the process ends
    }();
    return *app;
}

// Declared first in a fixture, so the application exists before any backend or widget.
struct QtApplicationFirst {
    QtApplicationFirst() { qtApplication(); }
};

inline platform::qt::FormWindow* windowOf(const ui::Form& form) {
    return platform::qt::QtBackend::windowOf(form);
}

template <typename W> W* widgetOf(const ui::Form& form, const char* name) {
    return windowOf(form)->findChild<W*>(name);
}

// Where a key press goes first: the window's focus widget, or the window itself.
inline QWidget* keyTarget(const ui::Form& form) {
    QWidget* window = windowOf(form);
    return window->focusWidget() ? window->focusWidget() : window;
}

// Runs action from inside the next event loop (a modal run or a message box).
inline void whenLoopRuns(std::function<void()> action) {
    QTimer::singleShot(0, qApp, std::move(action));
}

} // namespace testing_support
