#pragma once
// The current language: the section of the language file every lookup reads, the date pattern it
// sets and the text table filled from it. Its name is not stored here: it is always the entry that
// the language box shows, so a change that fails halfway cannot leave two different answers.
#include "lang/TextTable.h"
#include "platform/Profile.h"

#include <exception>
#include <functional>
#include <initializer_list>
#include <string>

namespace lang {

struct DatePattern {
    std::string format = "dd/MM/yyyy";
    std::string separator = "/"; // one character, UTF-8
};

class Language {
public:
    explicit Language(const platform::IniFile& file) : file_(file) {}

    // Where the current name comes from (the language box); empty until set.
    void follow(std::function<std::string()> currentName) { currentName_ = std::move(currentName); }
    std::string name() const { return currentName_ ? currentName_() : std::string(); }

    // The text of a key in the current language, asked of the file at this moment; an empty name
    // finds no section, so the French default answers.
    std::string lookup(const std::string& key, const std::string& frenchDefault) const;
    // An error as the user reads it: a failure of the system in the current language with its
    // detail after the sentence; anything else in its own words.
    std::string errorText(const std::exception& error) const;

    // Reads the date pattern of the current language; the separator only when asked, since it is
    // read once at start.
    void loadDatePattern(bool withSeparator);
    const DatePattern& datePattern() const { return date_; }

    // Refills the whole text table from the current language.
    void loadTable();
    const TextTable& texts() const { return table_; }

private:
    const platform::IniFile& file_;
    std::function<std::string()> currentName_;
    DatePattern date_;
    TextTable table_;
};

// The first character of a text, as UTF-8 (one to four bytes); empty for an empty text.
std::string firstCharacter(const std::string& utf8);

// A message with its values put in for %1 to %9, in one pass: a value that itself holds "%2" is
// inserted as it is, never read again. A mark without a value stays.
std::string fill(const std::string& text, std::initializer_list<std::string> values);

} // namespace lang
