// Qt key events as Windows virtual keys: the digit row by position, the keypad apart.
#include "platform/qt/KeyMapping.h"
#include "qt/QtTestSupport.h"
#include "ui/Control.h"

#include <gtest/gtest.h>

using platform::qt::shiftState;
using platform::qt::virtualKey;

namespace {

std::uint16_t press(int key, Qt::KeyboardModifiers modifiers = {}, quint32 keycode = 0) {
    testing_support::qtApplication();
    return virtualKey(QKeyEvent(QEvent::KeyPress, key, modifiers, keycode, 0, 0));
}

constexpr quint32 xkbKey1 = 10; // the main keyboard's "1" key
constexpr quint32 xkbKeyA = 38;

} // namespace

TEST(KeyMapping, DigitRowIsTheDigitWhateverTheShiftedCharacter) {
    EXPECT_EQ(press(Qt::Key_1), ui::vk::Key1);
    EXPECT_EQ(press(Qt::Key_1, Qt::ControlModifier, xkbKey1), ui::vk::Key1);
    EXPECT_EQ(press(Qt::Key_Exclam, Qt::ShiftModifier | Qt::ControlModifier, xkbKey1), ui::vk::Key1);
    EXPECT_EQ(press(Qt::Key_Exclam, Qt::ShiftModifier), ui::vk::Key1); // no keycode: a US keyboard
    EXPECT_EQ(press(Qt::Key_Ampersand, {}, xkbKey1), ui::vk::Key1);    // French layout, unshifted
    EXPECT_EQ(press(Qt::Key_ParenRight, Qt::ShiftModifier), 0x30);
    EXPECT_EQ(press(Qt::Key_9, {}, 18), 0x39);
    EXPECT_EQ(press(Qt::Key_0, {}, 19), 0x30);
}

TEST(KeyMapping, KeypadDigitsAreNumpadKeys) {
    EXPECT_EQ(press(Qt::Key_1, Qt::KeypadModifier), ui::vk::Numpad1);
    EXPECT_EQ(press(Qt::Key_1, Qt::KeypadModifier | Qt::ControlModifier, 87), ui::vk::Numpad1);
    EXPECT_EQ(press(Qt::Key_0, Qt::KeypadModifier), 0x60);
    EXPECT_EQ(press(Qt::Key_Enter, Qt::KeypadModifier), ui::vk::Return);
    EXPECT_EQ(press(Qt::Key_End, Qt::KeypadModifier), 0x23); // NumLock off
}

TEST(KeyMapping, LettersAndNamedKeys) {
    EXPECT_EQ(press(Qt::Key_A, {}, xkbKeyA), ui::vk::KeyA);
    EXPECT_EQ(press(Qt::Key_Z, Qt::ShiftModifier), 0x5A);
    EXPECT_EQ(press(Qt::Key_Escape), ui::vk::Escape);
    EXPECT_EQ(press(Qt::Key_Return), ui::vk::Return);
    EXPECT_EQ(press(Qt::Key_F1), 0x70);
    EXPECT_EQ(press(Qt::Key_Delete), 0x2E);
    EXPECT_EQ(press(Qt::Key_Eacute), 0); // no code: the form hears nothing
}

TEST(KeyMapping, ModifiersBecomeShiftBits) {
    EXPECT_EQ(shiftState({}), ui::ShiftNone);
    EXPECT_EQ(shiftState(Qt::ControlModifier | Qt::ShiftModifier), ui::ShiftCtrl | ui::ShiftShift);
    EXPECT_EQ(shiftState(Qt::AltModifier | Qt::KeypadModifier), ui::ShiftAlt);
}
