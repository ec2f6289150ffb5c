#include "platform/qt/KeyMapping.h"

#include "ui/Control.h"

namespace platform::qt {

namespace {

constexpr std::uint16_t vkNumpad0 = 0x60;
constexpr std::uint16_t vkKey0 = 0x30;

// xkb keycodes (X11 and Wayland) of the main keyboard's digit row: 10 is "1" ... 18 is "9", 19 is "0".
int digitOfKeycode(quint32 keycode) {
    if (keycode >= 10 && keycode <= 18)
        return static_cast<int>(keycode) - 9;
    if (keycode == 19)
        return 0;
    return -1;
}

// Without a keycode (synthetic events), the shifted digits of a US keyboard.
int digitOfShiftedSymbol(int key) {
    static const int symbols[] = {
        Qt::Key_ParenRight, Qt::Key_Exclam,      Qt::Key_At,        Qt::Key_NumberSign, Qt::Key_Dollar,
        Qt::Key_Percent,    Qt::Key_AsciiCircum, Qt::Key_Ampersand, Qt::Key_Asterisk,   Qt::Key_ParenLeft};
    for (int digit = 0; digit < 10; ++digit)
        if (symbols[digit] == key)
            return digit;
    return -1;
}

int mainKeyboardDigit(const QKeyEvent& event) {
    if (event.nativeScanCode() != 0)
        return digitOfKeycode(event.nativeScanCode());
    if (event.key() >= Qt::Key_0 && event.key() <= Qt::Key_9)
        return event.key() - Qt::Key_0;
    return digitOfShiftedSymbol(event.key());
}

std::uint16_t keypadKey(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<std::uint16_t>(vkNumpad0 + (key - Qt::Key_0));
    switch (key) {
    case Qt::Key_Asterisk:
        return 0x6A;
    case Qt::Key_Plus:
        return 0x6B;
    case Qt::Key_Minus:
        return 0x6D;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return 0x6E;
    case Qt::Key_Slash:
        return 0x6F;
    case Qt::Key_Enter:
        return ui::vk::Return;
    default:
        return 0; // keypad navigation keys (NumLock off) map like the main ones
    }
}

std::uint16_t namedKey(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<std::uint16_t>(ui::vk::KeyA + (key - Qt::Key_A));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<std::uint16_t>(0x70 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ui::vk::Return;
    case Qt::Key_Shift:
        return 0x10;
    case Qt::Key_Control:
        return 0x11;
    case Qt::Key_Alt:
        return 0x12;
    case Qt::Key_Escape:
        return ui::vk::Escape;
    case Qt::Key_Space:
        return 0x20;
    case Qt::Key_PageUp:
        return 0x21;
    case Qt::Key_PageDown:
        return 0x22;
    case Qt::Key_End:
        return 0x23;
    case Qt::Key_Home:
        return 0x24;
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    case Qt::Key_Insert:
        return 0x2D;
    case Qt::Key_Delete:
        return 0x2E;
    default:
        return 0;
    }
}

} // namespace

std::uint16_t virtualKey(const QKeyEvent& event) {
    if (event.modifiers() & Qt::KeypadModifier) {
        if (const std::uint16_t code = keypadKey(event.key()))
            return code;
        return namedKey(event.key());
    }
    if (const int digit = mainKeyboardDigit(event); digit >= 0)
        return static_cast<std::uint16_t>(vkKey0 + digit);
    return namedKey(event.key());
}

unsigned shiftState(Qt::KeyboardModifiers modifiers) {
    unsigned shift = ui::ShiftNone;
    if (modifiers & Qt::ShiftModifier)
        shift |= ui::ShiftShift;
    if (modifiers & Qt::ControlModifier)
        shift |= ui::ShiftCtrl;
    if (modifiers & Qt::AltModifier)
        shift |= ui::ShiftAlt;
    return shift;
}

} // namespace platform::qt
