#include "cli/Session.h"

#include "cli/PointText.h"
#include "lang/Keys.h"
#include "lang/Settings.h"
#include "platform/Error.h"
#include "restore/PointRemoval.h"

namespace cli {

namespace {

std::string defaultOf(const std::string& key) {
    for (const auto& k : lang::keys::commandLine)
        if (key == k.key)
            return k.frenchDefault;
    for (const auto& k : lang::keys::table)
        if (key == k.key)
            return k.frenchDefault;
    if (const char* found = lang::keys::savedFilesDefault(key.c_str()); *found)
        return found;
    return lang::keys::atUseDefault(key.c_str());
}

} // namespace

Session::Session(platform::Platform& platform, Console& console)
    : platform(platform), console_(console),
      languageFile_(platform.profile, platform.programFolder + "langues.ini"), language_(languageFile_) {
    systemDrive = platform.environment.get("SystemDrive").value_or("");
    // The language the window would show; a first run's choice is made here but never written,
    // since the settings file is the window's to write.
    platform::IniFile settings(platform.profile, platform.programFolder + "Kestrafen.ini");
    std::string stored = lang::storedLanguage(settings);
    if (stored.empty()) {
        const std::string profile = platform.environment.get("Userprofile").value_or("");
        const auto hasFolder = [&](const char* name) {
            return !profile.empty() && platform.files.folderExists(profile + "\\" + name);
        };
        stored = lang::firstRunLanguage(hasFolder("Bureau"), hasFolder("Desktop"));
    }
    const std::string name = lang::languageSection(languageFile_.sections(), stored);
    language_.follow([name] { return name; });
    language_.loadDatePattern(true);
}

std::string Session::text(const std::string& key, std::initializer_list<std::string> values) const {
    return lang::fill(language_.lookup(key, defaultOf(key)), values);
}

void Session::out(const std::string& line) {
    if (!console_.out(line + "\n"))
        writeFailed_ = true;
}

void Session::err(const std::string& line) {
    if (!console_.err(line + "\n"))
        writeFailed_ = true;
}

int Session::fail(const std::exception& error) {
    err(language_.errorText(error));
    const auto* failure = dynamic_cast<const platform::Error*>(&error);
    return failure && failure->kind() == platform::ErrorKind::Automation ? serviceOff : failed;
}

bool Session::refuse(bool unlessOn) {
    const restore::ServiceState state = restore::readServiceState(platform.registry);
    if (state == restore::ServiceState::On || (!unlessOn && state != restore::ServiceState::Off))
        return false;
    err(text(state == restore::ServiceState::Off ? "RestaurationArretee" : "RestaurationInactive"));
    return true;
}

std::vector<restore::ListedPoint> Session::points() {
    const auto instances = platform.systemRestore.restorePoints();
    std::vector<restore::ListedPoint> listed;
    restore::walkPoints(platform.systemRestore, instances, language_.datePattern(),
                        [&listed](const restore::ListedPoint& p) { listed.push_back(p); });
    restore::orderOldestFirst(listed);
    return listed;
}

std::string Session::pointLine(const restore::ListedPoint& p) const {
    return cli::pointLine(p, language_.datePattern());
}

} // namespace cli
