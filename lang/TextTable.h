#pragma once
// The texts the main window keeps by key for the other windows and some messages, filled at start
// and at each change of language. Entries are stored bare; padding is added where a text is put on
// a group box.
#include <map>
#include <string>

namespace ui {
class CaptionControl;
}

namespace lang {

struct KeyText {
    const char* key;
    const char* frenchDefault;
};

class TextTable {
public:
    // The entry of a key; a key of the table not loaded yet gives the empty text, a key outside
    // the table throws std::logic_error.
    std::string get(const std::string& key) const;
    void set(const std::string& key, const std::string& text) { entries_[key] = text; }
    bool empty() const { return entries_.empty(); }
    void clear() { entries_.clear(); }

private:
    std::map<std::string, std::string> entries_;
};

// A text as shown on a group box: one blank before and one after.
inline std::string padded(const std::string& text) {
    return " " + text + " ";
}

// Puts a text-table entry on a control, as every window does each time it is shown: padded on a
// group box, bare on anything else.
void showText(ui::CaptionControl& control, const TextTable& texts, const std::string& key);

} // namespace lang
