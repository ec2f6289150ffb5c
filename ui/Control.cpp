#include "ui/Control.h"

#include "platform/Text.h"
#include "ui/Application.h"
#include "ui/Form.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace ui {

Control::Control(Form& form, std::string name, Kind kind, Control* parent, Rect bounds)
    : form_(form), name_(std::move(name)), kind_(kind), parent_(parent), bounds_(bounds), font_(form.font) {
    form_.registerControl(this);
}

void Control::setEnabled(bool on) {
    if (enabled_ == on)
        return;
    enabled_ = on;
    notify(Change::Enabled);
}

bool Control::usable() const {
    for (const Control* c = this; c; c = c->parent())
        if (!c->enabled() || !c->visible())
            return false;
    return true;
}

void Control::setVisible(bool on) {
    if (visible_ == on)
        return;
    visible_ = on;
    notify(Change::Visible);
}

void Control::setFont(const Font& font) {
    font_ = font;
    notify(Change::Font);
}

void Control::userChooseMenuItem(int index) {
    if (index >= 0 && index < static_cast<int>(popupMenu.size()) && usable() && popupMenu[index].onClick)
        dispatch(popupMenu[static_cast<std::size_t>(index)].onClick);
}

void Control::notify(Change what) {
    if (observer_)
        observer_->changed(*this, what);
}

void Control::dispatch(const std::function<void()>& handler) {
    if (handler)
        form_.app().dispatch(handler);
}

void CaptionControl::setCaption(const std::string& text) {
    if (caption_ == text)
        return;
    caption_ = text;
    notify(Change::Caption);
}

Button::Button(Form& form, std::string name, Control* parent, Rect bounds, std::string caption)
    : CaptionControl(form, std::move(name), Kind::Button, parent, bounds) {
    setCaption(caption);
}

void Button::userClick() {
    if (!usable())
        return;
    dispatch(onClick);
    if (modalResult != 0)
        form().setModalResult(modalResult);
}

Label::Label(Form& form, std::string name, Control* parent, Rect bounds, std::string caption)
    : CaptionControl(form, std::move(name), Kind::Label, parent, bounds) {
    setCaption(caption);
}

GroupBox::GroupBox(Form& form, std::string name, Control* parent, Rect bounds, std::string caption)
    : CaptionControl(form, std::move(name), Kind::GroupBox, parent, bounds) {
    setCaption(caption);
}

CheckBox::CheckBox(Form& form, std::string name, Control* parent, Rect bounds, std::string caption)
    : CaptionControl(form, std::move(name), Kind::CheckBox, parent, bounds) {
    setCaption(caption);
}

void CheckBox::setChecked(bool on) {
    if (checked_ == on)
        return;
    checked_ = on;
    notify(Change::Checked);
}

void CheckBox::userClick() {
    if (!usable())
        return;
    setChecked(!checked_);
    dispatch(onClick);
    if (onMouseUp)
        dispatch([this] { onMouseUp(MouseButton::Left, ShiftNone, 1, 1); });
}

void CheckBox::userToggleByKey() {
    if (!usable())
        return;
    setChecked(!checked_);
    dispatch(onClick);
}

void CheckBox::userMouseUp(MouseButton button) {
    if (!usable() || !onMouseUp)
        return;
    dispatch([this, button] { onMouseUp(button, ShiftNone, 1, 1); });
}

Edit::Edit(Form& form, std::string name, Control* parent, Rect bounds, std::string text)
    : Control(form, std::move(name), Kind::Edit, parent, bounds), text_(std::move(text)) {}

void Edit::setText(const std::string& text) {
    if (text_ == text)
        return;
    text_ = text;
    allSelected_ = false;
    notify(Change::Caption);
}

void Edit::selectAll() {
    allSelected_ = true;
    notify(Change::Selection);
}

void Edit::userType(const std::string& text) {
    if (!usable())
        return;
    // The field takes no more than maxLength characters, as the native one does.
    std::size_t end = text.size();
    if (maxLength > 0) {
        int chars = 0;
        for (std::size_t i = 0; i < text.size(); ++i)
            if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == maxLength) {
                end = i;
                break;
            }
    }
    setText(text.substr(0, end));
    dispatch(onChange);
}

void Edit::userKeyDown(std::uint16_t key, unsigned shift) {
    if (!usable() || !onKeyDown)
        return;
    dispatch([this, key, shift] {
        std::uint16_t k = key;
        onKeyDown(k, shift);
    });
}

Memo::Memo(Form& form, std::string name, Control* parent, Rect bounds)
    : Control(form, std::move(name), Kind::Memo, parent, bounds) {}

void Memo::clear() {
    if (lines_.empty())
        return;
    lines_.clear();
    caretAtEnd_ = false;
    notify(Change::Lines);
}

void Memo::add(const std::string& line) {
    lines_.push_back(line);
    caretAtEnd_ = false;
    notify(Change::LinesAdded);
}

void Memo::addLines(std::vector<std::string> lines) {
    if (lines.empty())
        return;
    lines_.insert(lines_.end(), std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
    caretAtEnd_ = false;
    notify(Change::LinesAdded);
}

void Memo::setLines(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    allSelected_ = false;
    caretAtEnd_ = false;
    notify(Change::Lines);
}

std::string Memo::text() const {
    std::string result;
    for (size_t i = 0; i < lines_.size(); ++i)
        result += (i ? "\n" : "") + lines_[i];
    return result;
}

std::vector<std::string> Memo::splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

void Memo::userEdit(const std::string& text) {
    if (readOnly || !usable())
        return;
    setLines(splitLines(text));
}

void Memo::userKeyDown(std::uint16_t key, unsigned shift) {
    if (!usable() || !onKeyDown)
        return;
    dispatch([this, key, shift] {
        std::uint16_t k = key;
        onKeyDown(k, shift);
    });
}

void Memo::selectAll() {
    allSelected_ = true;
    notify(Change::Selection);
}

void Memo::moveCaretToEnd() {
    caretAtEnd_ = true;
    notify(Change::Caret);
}

ListBox::ListBox(Form& form, std::string name, Control* parent, Rect bounds, bool sorted)
    : Control(form, std::move(name), Kind::ListBox, parent, bounds), sorted_(sorted) {}

const std::string& ListBox::item(int index) const {
    if (index < 0 || index >= count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<size_t>(index)];
}

int ListBox::add(const std::string& text) {
    auto pos = items_.end();
    if (sorted_)
        pos = std::upper_bound(items_.begin(), items_.end(), text,
                               [](const std::string& a, const std::string& b) {
                                   return platform::text::compareIgnoreCase(a, b) < 0;
                               });
    const int index = static_cast<int>(pos - items_.begin());
    items_.insert(pos, text);
    if (itemIndex_ >= index)
        ++itemIndex_;
    lastEdit_ = {Edit::Kind::Insert, index};
    notify(Change::Items);
    return index;
}

void ListBox::insert(int index, const std::string& text) {
    if (index < 0 || index > count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    items_.insert(items_.begin() + index, text);
    if (itemIndex_ >= index)
        ++itemIndex_;
    lastEdit_ = {Edit::Kind::Insert, index};
    notify(Change::Items);
}

void ListBox::remove(int index) {
    item(index);
    items_.erase(items_.begin() + index);
    if (itemIndex_ == index)
        itemIndex_ = -1;
    else if (itemIndex_ > index)
        --itemIndex_;
    lastEdit_ = {Edit::Kind::Remove, index};
    notify(Change::Items);
}

void ListBox::clear() {
    items_.clear();
    itemIndex_ = -1;
    lastEdit_ = {Edit::Kind::Reset, 0};
    notify(Change::Items);
}

void ListBox::setItems(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    lastEdit_ = {Edit::Kind::Reset, 0};
    notify(Change::Items);
}

int ListBox::indexOf(const std::string& text) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (platform::text::equalsIgnoreCase(items_[i], text))
            return static_cast<int>(i);
    return -1;
}

void ListBox::setItemIndex(int index) {
    if (index < -1 || index >= count())
        index = -1;
    if (itemIndex_ == index)
        return;
    itemIndex_ = index;
    notify(Change::Selection);
}

void ListBox::setHorizontalExtent(int pixels) {
    horizontalExtent_ = pixels;
    notify(Change::ScrollExtent);
}

void ListBox::userSelect(int index) {
    if (!usable() || index < 0 || index >= count())
        return;
    setItemIndex(index);
    dispatch(onClick);
}

void setEnabled(const std::vector<Control*>& controls, bool on) {
    for (Control* c : controls)
        c->setEnabled(on);
}

ComboBox::ComboBox(Form& form, std::string name, Control* parent, Rect bounds)
    : Control(form, std::move(name), Kind::ComboBox, parent, bounds) {}

void ComboBox::add(const std::string& text) {
    items_.push_back(text);
    notify(Change::Items);
}

void ComboBox::clear() {
    items_.clear();
    itemIndex_ = -1;
    notify(Change::Items);
}

int ComboBox::indexOf(const std::string& text) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (platform::text::equalsIgnoreCase(items_[i], text))
            return static_cast<int>(i);
    return -1;
}

void ComboBox::setItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size()))
        index = -1;
    if (itemIndex_ == index)
        return;
    itemIndex_ = index;
    notify(Change::Selection);
}

std::string ComboBox::text() const {
    return itemIndex_ < 0 ? std::string() : items_[static_cast<size_t>(itemIndex_)];
}

void ComboBox::userSelect(int index) {
    if (!usable() || index < 0 || index >= static_cast<int>(items_.size()))
        return;
    setItemIndex(index);
    dispatch(onChange);
}

} // namespace ui
