#include "lang/TextTable.h"

#include "ui/Control.h"

namespace lang {

std::string TextTable::get(const std::string& key) const {
    auto it = entries_.find(key);
    return it == entries_.end() ? std::string() : it->second;
}

void showText(ui::CaptionControl& control, const TextTable& texts, const std::string& key) {
    const std::string text = texts.get(key);
    control.setCaption(control.kind() == ui::Kind::GroupBox ? padded(text) : text);
}

} // namespace lang
