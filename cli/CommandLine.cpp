#include "cli/CommandLine.h"

#include "cli/Arguments.h"
#include "cli/Json.h"
#include "config/RestoreSettings.h"
#include "lang/Keys.h"
#include "lang/Language.h"
#include "lang/Settings.h"
#include "restore/DisplayDate.h"
#include "restore/NewPoint.h"
#include "restore/PointList.h"
#include "restore/PointRemoval.h"
#include "restore/PointTypes.h"
#include "restore/ServiceState.h"
#include "restore/TemporaryFiles.h"
#include "update/VersionCheck.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <initializer_list>
#include <optional>

namespace cli {

namespace {

// What every command needs: the machine, the console and the texts of the current language.
class Session {
public:
    Session(platform::Platform& platform, Console& console)
        : platform(platform), console(console),
          languageFile_(platform.profile, platform.programFolder + "langues.ini"), language_(languageFile_) {
        systemDrive = platform.environment.get("SystemDrive").value_or("");
        // The language the window would show; a first run's choice is made here but never
        // written, since the settings file is the window's to write.
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

    // A text of the command line with its values put in for %1 and %2.
    std::string text(const std::string& key, std::initializer_list<std::string> values = {}) const {
        std::string found = language_.lookup(key, defaultOf(key));
        std::size_t n = 1;
        for (const std::string& value : values) {
            const std::string mark = "%" + std::to_string(n++);
            if (const auto at = found.find(mark); at != std::string::npos)
                found.replace(at, mark.size(), value);
        }
        return found;
    }
    void out(const std::string& line) { console.out(line + "\n"); }
    void err(const std::string& line) { console.err(line + "\n"); }

    // The points the service lists, oldest first, as the window orders them.
    std::vector<restore::ListedPoint> points() {
        const auto instances = platform.systemRestore.restorePoints();
        std::vector<restore::ListedPoint> listed;
        restore::walkPoints(platform.systemRestore, instances, language_.datePattern(),
                            [&listed](const restore::ListedPoint& p) { listed.push_back(p); });
        restore::orderOldestFirst(listed);
        return listed;
    }

    platform::Platform& platform;
    Console& console;
    std::string systemDrive;

private:
    static std::string defaultOf(const std::string& key) {
        for (const auto& k : lang::keys::commandLine)
            if (key == k.key)
                return k.frenchDefault;
        for (const auto& k : lang::keys::table)
            if (key == k.key)
                return k.frenchDefault;
        return lang::keys::atUseDefault(key.c_str());
    }

    platform::IniFile languageFile_;
    lang::Language language_;
};

std::string typeName(long long type) {
    const std::string text = restore::typeText(type);
    const auto open = text.find('[');
    return open == std::string::npos ? text : text.substr(open + 1, text.size() - open - 2);
}

std::string isoCreated(const restore::ListedPoint& p) {
    const auto offsetMinutes = static_cast<int>((restore::clockSeconds(p.local) - p.utcSeconds) / 60);
    return json::isoTime(p.local.year, p.local.month, p.local.day, p.local.hour, p.local.minute,
                         p.local.second, offsetMinutes);
}

// One point as the list shows it: number, entry text, type.
std::string pointLine(const restore::ListedPoint& p) {
    return std::to_string(p.sequence) + "\t" + p.entry + "\t" + restore::typeText(p.type);
}

std::string pointJson(const restore::ListedPoint& p) {
    return "{\"created\": " + json::quoted(isoCreated(p)) + ", \"type\": " + std::to_string(p.type) +
           ", \"type_name\": " + json::quoted(typeName(p.type)) +
           ", \"sequence_number\": " + std::to_string(p.sequence) +
           ", \"description\": " + json::quoted(p.description) + "}";
}

bool refuseWhenOff(Session& s) {
    if (restore::readServiceState(s.platform.registry) != restore::ServiceState::Off)
        return false;
    s.err(s.text("RestaurationArretee"));
    return true;
}

int list(Session& s, const Arguments& a) {
    if (refuseWhenOff(s))
        return refused;
    const auto points = s.points();
    if (!a.json) {
        for (const auto& p : points)
            s.out(pointLine(p));
        return done;
    }
    std::string text = "[";
    for (std::size_t i = 0; i < points.size(); ++i)
        text += (i ? ",\n  " : "\n  ") + pointJson(points[i]);
    s.out(text + (points.empty() ? "]" : "\n]"));
    return done;
}

int create(Session& s, const Arguments& a) {
    const std::string& title = a.values.front();
    if (const std::size_t length = restore::titleLength(title); length > restore::maxTitleLength) {
        s.err(s.text("ErreurTitreLong", {std::to_string(length)}));
        return refused;
    }
    if (refuseWhenOff(s))
        return refused;
    if (restore::systemDriveLow(s.platform.files, s.systemDrive)) {
        s.err(s.text("Message2"));
        return refused;
    }
    platform::StateMgrStatus status;
    if (!restore::createPoint(s.platform.systemRestore, title, &status)) {
        s.err(s.text("Message1"));
        s.err(s.text("Message12"));
        return refused;
    }
    long long number = status.sequenceNumber;
    if (number == 0) {
        // A service that does not report the number: the newest point is the one just made.
        for (const auto& p : s.points())
            number = std::max(number, p.sequence);
    }
    s.out(s.text("Message5"));
    s.out(s.text("Box3") + " " + std::to_string(number));
    return done;
}

int remove(Session& s, const Arguments& a) {
    const auto usage = [&s](const std::string& key, const std::string& value) {
        s.err(s.text(key, {value}));
        return usageError;
    };
    std::vector<long long> numbers;
    for (const std::string& value : a.values) {
        const auto n = parseCount(value, 0xFFFFFFFFull);
        if (!n)
            return usage("ErreurNumero", value);
        numbers.push_back(static_cast<long long>(*n));
    }
    std::optional<std::int64_t> days;
    if (a.olderThan && !(days = parseDays(*a.olderThan)))
        return usage("ErreurValeur", "--older-than");
    std::size_t keep = 1;
    if (a.keep) {
        const auto n = parseCount(*a.keep, 1000000);
        if (!n)
            return usage("ErreurValeur", "--keep");
        keep = static_cast<std::size_t>(*n);
    }
    if (numbers.empty() == !days.has_value())
        return usage("ErreurSupprimer", "");

    if (refuseWhenOff(s))
        return refused;
    const auto points = s.points();
    const auto plan = days ? restore::planByAge(points, s.platform.process.unixSeconds(), *days * 86400, keep)
                           : restore::planByNumber(points, numbers, keep);

    // Asked by number, every number must be one that may go: nothing is deleted otherwise.
    std::vector<std::string> notes;
    for (const auto& d : plan) {
        switch (d.verdict) {
        case restore::Verdict::Remove:
            break;
        case restore::Verdict::Kept:
            notes.push_back(keep == 1
                                ? s.text("PointPlusRecent", {std::to_string(d.sequence)})
                                : s.text("PointGarde", {std::to_string(d.sequence), std::to_string(keep)}));
            break;
        case restore::Verdict::LastPoint:
            notes.push_back(s.text("PointDernier", {std::to_string(d.sequence)}));
            break;
        case restore::Verdict::NoNumber:
            notes.push_back(s.text("PointSansNumero") + " " + d.point->entry);
            break;
        case restore::Verdict::Unknown:
            notes.push_back(s.text("PointInconnu", {std::to_string(d.sequence)}));
            break;
        }
    }
    if (!days && !notes.empty()) {
        for (const auto& note : notes)
            s.err(note);
        return refused;
    }
    for (const auto& note : notes)
        s.out(note);

    std::vector<const restore::Decision*> going;
    for (const auto& d : plan)
        if (d.verdict == restore::Verdict::Remove)
            going.push_back(&d);
    if (going.empty()) {
        s.out(s.text("RienASupprimer"));
        return done;
    }
    s.out(s.text("ASupprimer"));
    for (const auto* d : going)
        s.out(pointLine(*d->point));
    if (a.dryRun) {
        s.out(s.text("EssaiSeulement"));
        return done;
    }
    if (!a.yes) {
        s.err(s.text("AjouterOui"));
        return refused;
    }
    int result = done;
    for (const auto* d : going) {
        // The plan holds only points the service can name: never 0.
        if (restore::removePoint(s.platform.systemRestore, *restore::serviceNumber(d->sequence))) {
            s.out(s.text("PointSupprime", {std::to_string(d->sequence)}));
        } else {
            s.err(s.text("SuppressionRefusee", {std::to_string(d->sequence)}));
            result = refused;
        }
    }
    return result;
}

int status(Session& s, const Arguments& a) {
    int result = done;
    const auto failed = [&](const std::exception& error) {
        s.err(error.what());
        result = refused;
    };
    const restore::ServiceState state = restore::readServiceState(s.platform.registry);
    const bool on = state == restore::ServiceState::On;
    const bool off = state == restore::ServiceState::Off;

    std::vector<platform::DriveState> drives;
    try {
        drives = s.platform.systemRestore.drives();
    } catch (const std::exception& error) {
        failed(error);
    }
    // Switched off, System Restore watches no drive at all.
    if (off)
        for (auto& d : drives)
            d.monitored = false;

    std::optional<config::Timings> timings;
    try {
        timings = config::readTimings(s.platform.registry);
    } catch (const std::exception& error) {
        failed(error);
    }

    const std::string root = s.systemDrive + "\\";
    const auto freeBytes = s.platform.files.freeBytes(root);
    const std::int64_t freeKb = restore::freeKilobytes(s.platform.files, root);
    const bool low = restore::tooLittleSpace(freeKb);

    std::optional<restore::ListedPoint> newest;
    std::size_t count = 0;
    bool listed = false;
    if (!off) {
        try {
            const auto points = s.points();
            count = points.size();
            if (!points.empty())
                newest = points.back();
            listed = true;
        } catch (const std::exception& error) {
            failed(error);
        }
    } else {
        listed = true;
    }
    const std::int64_t now = s.platform.process.unixSeconds();

    if (a.json) {
        const char* stateName = on ? "on" : off ? "off" : "unknown";
        std::string text = "{\n  \"system_restore\": \"" + std::string(stateName) + "\",\n  \"drives\": [";
        for (std::size_t i = 0; i < drives.size(); ++i) {
            const auto& d = drives[i];
            text += std::string(i ? ", " : "") + "{\"root\": " + json::quoted(d.root) +
                    ", \"monitored\": " + (d.monitored ? (*d.monitored ? "true" : "false") : "null") + "}";
        }
        text += "],\n";
        const auto number = [](const auto& value) {
            return value ? std::to_string(*value) : std::string("null");
        };
        text += "  \"lifetime_days\": " +
                number(timings ? std::optional<int>(timings->lifetimeDays) : std::nullopt) + ",\n";
        text += "  \"interval_hours\": " +
                number(timings ? std::optional<int>(timings->intervalHours) : std::nullopt) + ",\n";
        text += "  \"system_drive\": " + json::quoted(root) + ",\n";
        text += "  \"free_kilobytes\": " +
                number(freeBytes ? std::optional<std::uint64_t>(*freeBytes / 1024) : std::nullopt) + ",\n";
        text += "  \"minimum_kilobytes\": " + std::to_string(restore::minimumKilobytes) + ",\n";
        text += "  \"low_space\": " + std::string(low ? "true" : "false") + ",\n";
        text += "  \"points\": " + (listed ? std::to_string(count) : std::string("null")) + ",\n";
        text += "  \"newest_point\": ";
        if (newest)
            text += "{\"created\": " + json::quoted(isoCreated(*newest)) +
                    ", \"sequence_number\": " + std::to_string(newest->sequence) +
                    ", \"description\": " + json::quoted(newest->description) +
                    ", \"age_seconds\": " + std::to_string(now - newest->utcSeconds) + "}";
        else
            text += "null";
        s.out(text + "\n}");
        return result;
    }

    const std::string unknown = s.text("EtatInconnu");
    s.out(s.text("EtatRestauration", {on    ? s.text("EtatActivee")
                                      : off ? s.text("EtatDesactivee")
                                            : unknown}));
    for (const auto& d : drives)
        s.out(s.text("EtatLecteur", {d.root, !d.monitored ? unknown
                                                          : s.text(*d.monitored ? "LecteurSurveille"
                                                                                : "LecteurNonSurveille")}));
    if (timings)
        s.out(s.text("EtatReglages",
                     {std::to_string(timings->lifetimeDays), std::to_string(timings->intervalHours)}));
    if (freeBytes)
        s.out(s.text("EtatEspace", {root, std::to_string(*freeBytes / (1024 * 1024))}));
    else
        s.out(s.text("EtatEspaceInconnu", {root}));
    if (low)
        s.out(s.text("Message2"));
    if (newest)
        s.out(
            s.text("EtatDernierPoint", {newest->entry, std::to_string((now - newest->utcSeconds) / 86400)}));
    else if (listed)
        s.out(s.text("EtatAucunPoint"));
    return result;
}

// The help of one command, or of all of them.
void help(Session& s, Command command) {
    const auto item = [&](const std::string& usage, const std::string& key) {
        s.out("  " + usage);
        s.out("      " + s.text(key));
    };
    if (command == Command::None) {
        s.out(std::string("Kestrafen ") + update::kOwnVersion);
        s.out(s.text("CommandeAide"));
        s.out("");
    }
    if (command == Command::None || command == Command::List) {
        item("kestrafen list [--json]", "CommandeListe");
        if (command != Command::None)
            item("--json", "OptionJson");
    }
    if (command == Command::None || command == Command::Create)
        item("kestrafen create \"...\"", "CommandeCreer");
    if (command == Command::None || command == Command::Delete) {
        item("kestrafen delete N [N...] [--dry-run] [--yes]", "CommandeSupprimer");
        item("kestrafen delete --older-than 30d [--keep 1] [--dry-run] [--yes]", "CommandeAnciens");
        if (command != Command::None) {
            item("--keep N", "OptionGarder");
            item("--dry-run", "OptionEssai");
            item("--yes", "OptionOui");
        }
    }
    if (command == Command::None || command == Command::Status) {
        item("kestrafen status [--json]", "CommandeEtat");
        if (command != Command::None)
            item("--json", "OptionJson");
    }
    if (command == Command::None) {
        item("kestrafen [command] --help", "OptionAide");
        item("kestrafen --version", "OptionVersion");
    }
}

} // namespace

int run(const std::vector<std::string>& arguments, platform::Platform& platform, Console& console) {
    try {
        Session s(platform, console);
        Arguments a;
        if (const auto problem = parseArguments(arguments, a)) {
            s.err(s.text(problem->key, {problem->value}));
            s.err(s.text("ErreurAide",
                         {"kestrafen " + (a.commandName.empty() ? "" : a.commandName + " ") + "--help"}));
            return usageError;
        }
        if (a.version) {
            s.out(std::string("Kestrafen ") + update::kOwnVersion);
            return done;
        }
        if (a.help || a.command == Command::None) {
            help(s, a.command);
            return done;
        }
        if (a.command == Command::Create && a.values.size() != 1) {
            s.err(s.text("ErreurTitre"));
            s.err(s.text("ErreurAide", {"kestrafen create --help"}));
            return usageError;
        }
        if ((a.command == Command::List || a.command == Command::Status) && !a.values.empty()) {
            s.err(s.text("ErreurArgument", {a.values.front()}));
            s.err(s.text("ErreurAide", {"kestrafen " + a.commandName + " --help"}));
            return usageError;
        }
        switch (a.command) {
        case Command::List:
            return list(s, a);
        case Command::Create:
            return create(s, a);
        case Command::Delete: {
            const int code = remove(s, a);
            if (code == usageError)
                s.err(s.text("ErreurAide", {"kestrafen delete --help"}));
            return code;
        }
        case Command::Status:
            return status(s, a);
        case Command::None:
            break;
        }
        return done;
    } catch (const std::exception& error) {
        console.err(std::string(error.what()) + "\n");
        return refused;
    }
}

} // namespace cli
