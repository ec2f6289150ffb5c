#include "lang/TextTable.h"

namespace lang {

std::string TextTable::get(const std::string& key) const {
    auto it = entries_.find(key);
    return it == entries_.end() ? std::string() : it->second;
}

} // namespace lang
