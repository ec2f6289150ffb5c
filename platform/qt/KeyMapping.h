#pragma once
// Qt key events as the Windows virtual-key codes and modifier bits the program tests.
#include <QKeyEvent>

#include <cstdint>

namespace platform::qt {

// The virtual-key code of the key pressed, or 0 for a key the program has no code for. The digit
// keys of the main keyboard are told by their position, so Shift+1 is still the key 1 whatever
// character the layout gives it; the keypad digits are the numpad codes.
std::uint16_t virtualKey(const QKeyEvent& event);

// The Shift, Ctrl and Alt keys held, as ui::Shift bits.
unsigned shiftState(Qt::KeyboardModifiers modifiers);

} // namespace platform::qt
