#pragma once
// The toolkit-neutral controls. The program changes their state and reads it; a backend mirrors
// every change through the observer and feeds user actions back through the user* methods, which
// run the event handlers through the application's dispatcher.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ui {

class Form;

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

struct Font {
    std::string name = "Tahoma";
    int pixelHeight = 11;
    bool bold = false;
    bool italic = false;
};

enum class Kind { Button, ListBox, Memo, CheckBox, ComboBox, Edit, GroupBox, Label };

// Lines: the memo's text was replaced; LinesAdded: lines were added at its end since the last
// notification; Caret: the memo's caret went to the end of its text.
enum class Change {
    Caption,
    Enabled,
    Visible,
    Items,
    Selection,
    Checked,
    Lines,
    LinesAdded,
    Caret,
    ScrollExtent,
    Font
};

enum class MouseButton { Left, Right, Middle };

// Modifier keys held, as a bit set.
enum Shift : unsigned { ShiftNone = 0, ShiftShift = 1, ShiftCtrl = 2, ShiftAlt = 4 };

// Virtual key codes the program looks at (Windows numbering).
namespace vk {
constexpr std::uint16_t Key1 = 0x31;
constexpr std::uint16_t Numpad1 = 0x61;
constexpr std::uint16_t Return = 0x0D;
constexpr std::uint16_t Escape = 0x1B;
constexpr std::uint16_t KeyA = 0x41;
constexpr std::uint16_t KeyF = 0x46;
} // namespace vk

class Control;

class ControlObserver {
public:
    virtual ~ControlObserver() = default;
    virtual void changed(Control& control, Change what) = 0;
};

class Control {
public:
    Control(Form& form, std::string name, Kind kind, Control* parent, Rect bounds);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    const std::string& name() const { return name_; }
    Kind kind() const { return kind_; }
    Control* parent() const { return parent_; }
    Form& form() const { return form_; }
    const Rect& bounds() const { return bounds_; }

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    // Enabled here and in every parent: what a user can reach.
    bool usable() const;
    bool visible() const { return visible_; }
    void setVisible(bool on);
    const Font& font() const { return font_; }
    void setFont(const Font& font);

    void setObserver(ControlObserver* observer) { observer_ = observer; }

    // The context menu a right click (or the menu key) opens on the control; none when empty.
    struct MenuItem {
        std::string caption;
        std::function<void()> onClick;
    };
    std::vector<MenuItem> popupMenu;
    // The user chose entry `index` of the context menu.
    void userChooseMenuItem(int index);

protected:
    void notify(Change what);
    void dispatch(const std::function<void()>& handler);

private:
    Form& form_;
    std::string name_;
    Kind kind_;
    Control* parent_;
    Rect bounds_;
    bool enabled_ = true;
    bool visible_ = true;
    Font font_;
    ControlObserver* observer_ = nullptr;
};

// Controls with a caption: button, check box, group box, label.
class CaptionControl : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& text);

private:
    std::string caption_;
};

class Button : public CaptionControl {
public:
    Button(Form& form, std::string name, Control* parent, Rect bounds, std::string caption = {});
    // The form's modal result when this button is clicked in a modal form (0 = none).
    int modalResult = 0;
    bool isDefault = false; // answers Enter
    bool isCancel = false;  // answers Escape
    std::function<void()> onClick;
    // A user's click: nothing when the button cannot be reached.
    void userClick();
};

// A label laid out with no width takes the size of its text.
class Label : public CaptionControl {
public:
    Label(Form& form, std::string name, Control* parent, Rect bounds, std::string caption = {});
};

class GroupBox : public CaptionControl {
public:
    GroupBox(Form& form, std::string name, Control* parent, Rect bounds, std::string caption = {});
};

class CheckBox : public CaptionControl {
public:
    CheckBox(Form& form, std::string name, Control* parent, Rect bounds, std::string caption = {});
    bool checked() const { return checked_; }
    void setChecked(bool on);
    std::function<void()> onClick;
    std::function<void(MouseButton, unsigned shift, int x, int y)> onMouseUp;
    // A click with the mouse: the box toggles, onClick runs, then onMouseUp.
    void userClick();
    // The space bar: the box toggles and onClick runs; no mouse event.
    void userToggleByKey();
    // Another mouse button released over the box: it does not toggle, onMouseUp runs.
    void userMouseUp(MouseButton button);

private:
    bool checked_ = false;
};

class Edit : public Control {
public:
    Edit(Form& form, std::string name, Control* parent, Rect bounds, std::string text = {});
    const std::string& text() const { return text_; }
    void setText(const std::string& text);
    int maxLength = 0; // 0 = no limit
    std::function<void()> onChange;
    std::function<void(std::uint16_t& key, unsigned shift)> onKeyDown;
    // A user's typing replaces the text; past maxLength characters nothing is taken.
    void userType(const std::string& text);
    void userKeyDown(std::uint16_t key, unsigned shift);
    // Selects the whole text (Ctrl+A); typing or a new text ends the selection.
    void selectAll();
    bool allSelected() const { return allSelected_; }

private:
    std::string text_;
    bool allSelected_ = false;
};

class Memo : public Control {
public:
    Memo(Form& form, std::string name, Control* parent, Rect bounds);
    const std::vector<std::string>& lines() const { return lines_; }
    void clear();
    void add(const std::string& line);
    // Adds several lines at the end with one notification, so a view lays itself out once.
    void addLines(std::vector<std::string> lines);
    void setLines(std::vector<std::string> lines);
    // Puts the caret at the end of the text and scrolls it into view.
    void moveCaretToEnd();
    // True from moveCaretToEnd until the text changes.
    bool caretAtEnd() const { return caretAtEnd_; }
    bool readOnly = true;
    // The lines joined by line breaks, and back: a line break ends a line, so a last empty line
    // after a final break is no line, while an empty line between two lines is one.
    std::string text() const;
    static std::vector<std::string> splitLines(const std::string& text);
    std::function<void(std::uint16_t& key, unsigned shift)> onKeyDown;
    // The user's edit of the whole text: taken only when the field is editable and reachable.
    void userEdit(const std::string& text);
    void userKeyDown(std::uint16_t key, unsigned shift);
    // Selects the whole text (Ctrl+A); an edit or new lines end the selection.
    void selectAll();
    bool allSelected() const { return allSelected_; }

private:
    std::vector<std::string> lines_;
    bool allSelected_ = false;
    bool caretAtEnd_ = false;
};

// A list box. When sorted, add() places the entry in case-insensitive order; insert() puts an
// entry at a given position without re-sorting (the enumeration relies on both).
class ListBox : public Control {
public:
    ListBox(Form& form, std::string name, Control* parent, Rect bounds, bool sorted);
    bool sorted() const { return sorted_; }
    const std::vector<std::string>& items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }
    const std::string& item(int index) const;
    int add(const std::string& text);
    void insert(int index, const std::string& text);
    void remove(int index);
    void clear();
    // Replaces every entry at once (not sorted again), no entry selected.
    void setItems(std::vector<std::string> items);
    // First entry equal to text without regard to case, or -1.
    int indexOf(const std::string& text) const;
    int itemIndex() const { return itemIndex_; }
    void setItemIndex(int index);
    int horizontalExtent() const { return horizontalExtent_; }
    void setHorizontalExtent(int pixels);
    std::function<void()> onClick;
    void userSelect(int index);

    // What the latest change of the entries was, so a backend can follow it one entry at a time
    // instead of copying the whole list for each change.
    struct Edit {
        enum class Kind { Reset, Insert, Remove } kind = Kind::Reset;
        int index = 0;
    };
    const Edit& lastEdit() const { return lastEdit_; }

private:
    bool sorted_;
    Edit lastEdit_;
    std::vector<std::string> items_;
    int itemIndex_ = -1;
    int horizontalExtent_ = 0;
};

// Enables or disables controls in the order given.
void setEnabled(const std::vector<Control*>& controls, bool on);

// A drop-down list that accepts only its own entries, unsorted.
class ComboBox : public Control {
public:
    ComboBox(Form& form, std::string name, Control* parent, Rect bounds);
    const std::vector<std::string>& items() const { return items_; }
    void add(const std::string& text);
    void clear();
    int indexOf(const std::string& text) const; // case-insensitive
    int itemIndex() const { return itemIndex_; }
    void setItemIndex(int index);
    // The selected entry's text, or the empty text.
    std::string text() const;
    std::function<void()> onChange;
    void userSelect(int index);

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

} // namespace ui
