#include "lang/TextTable.h"

#include "lang/Keys.h"
#include "ui/Control.h"

#include <stdexcept>

namespace lang {

std::string TextTable::get(const std::string& key) const {
    auto it = entries_.find(key);
    if (it != entries_.end())
        return it->second;
    for (const auto& entry : keys::table)
        if (key == entry.key)
            return {};
    // A key outside the table is a slip of the program's own: make it loud, never an empty caption.
    throw std::logic_error("Unknown text-table key \"" + key + "\"");
}

void showText(ui::CaptionControl& control, const TextTable& texts, const std::string& key) {
    const std::string text = texts.get(key);
    control.setCaption(control.kind() == ui::Kind::GroupBox ? padded(text) : text);
}

} // namespace lang
