#include "platform/sim/Machine.h"
#include "platform/sim/Services.h"

namespace platform::sim {

std::string SimProfile::readString(const std::string& file, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) {
    Machine::ServiceCall call(m_);
    return FileProfile::readString(file, section, key, defaultValue);
}

void SimProfile::writeString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) {
    Machine::ServiceCall call(m_);
    FileProfile::writeString(file, section, key, value);
}

std::vector<std::string> SimProfile::sectionNames(const std::string& file) {
    Machine::ServiceCall call(m_);
    return FileProfile::sectionNames(file);
}

void SimProfile::deleteKey(const std::string& file, const std::string& section, const std::string& key) {
    Machine::ServiceCall call(m_);
    FileProfile::deleteKey(file, section, key);
}

void SimProfile::deleteSection(const std::string& file, const std::string& section) {
    Machine::ServiceCall call(m_);
    FileProfile::deleteSection(file, section);
}

void SimProfile::holdWrites(const std::string& file) {
    Machine::ServiceCall call(m_);
    FileProfile::holdWrites(file);
}

void SimProfile::flush(const std::string& file) {
    Machine::ServiceCall call(m_);
    FileProfile::flush(file);
}

} // namespace platform::sim
