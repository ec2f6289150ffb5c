// The command line against simulated machines: what it prints, what it asks of the machine (the
// journal) and its exit code.
#include "cli/CommandLine.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;
using Lines = std::vector<std::string>;

const std::string kProgram = "C:\\Program Files\\Kestrafen\\";
// The virtual clock's start: 2006-12-01 19:06:40 UTC.
constexpr long long kNow = 1165000000;

// What a command printed, what it added to the journal and its exit code.
struct Outcome : cli::Console {
    bool out(const std::string& text) override { return write(out_, text); }
    bool err(const std::string& text) override { return write(err_, text); }
    bool write(std::string& to, const std::string& text) { return !refuseWrites && (to += text, true); }
    bool refuseWrites = false; // a full disk, a console that refuses
    int code = -1;
    std::string out_, err_;
    Lines journal;
    // What a command says: on standard output when it succeeds, on standard error otherwise.
    const std::string& said() const { return code == cli::done ? out_ : err_; }
};

Args words(const std::string& line) {
    std::istringstream in(line);
    Args args;
    for (std::string word; in >> word;)
        args.push_back(word);
    return args;
}

struct CommandLine : ::testing::Test {
    testing_support::TestMachine tm;

    // Every command leaves alone the point cache and the settings file a running window uses: a first
    // run's language is worked out, not written.
    CommandLine() { tm.write(kProgram + "KestrafenTemp.ini", "[(01/01/2006) Ancien]\r\nNumber=7\r\n"); }
    std::string windowFiles() {
        std::string found;
        for (const char* name : {"KestrafenTemp.ini", "Kestrafen.ini"})
            found +=
                std::filesystem::exists(tm.host(kProgram + name)) ? tm.read(kProgram + name) + "|" : "-|";
        return found;
    }

    Outcome run(const Args& args, bool refuseWrites = false) {
        const std::string files = windowFiles();
        const std::size_t before = tm.journal().size();
        platform::Platform platform = tm.machine->platform();
        Outcome o;
        o.refuseWrites = refuseWrites;
        o.code = cli::run(args, platform, o);
        const auto all = tm.journal();
        o.journal.assign(all.begin() + static_cast<long>(before), all.end());
        EXPECT_EQ(windowFiles(), files) << testing::PrintToString(args);
        return o;
    }
    void serviceStart(int start) {
        auto key = tm.machine->platform().registry.open(platform::RegRoot::LocalMachine,
                                                        "SYSTEM\\CurrentControlSet\\Services\\sr", false);
        ASSERT_TRUE(key);
        platform::reg::writeInteger(*key, "Start", static_cast<std::uint32_t>(start));
    }
    // Points created the given number of hours before the clock's start, oldest first, numbered
    // from 11 on.
    void pointsAged(const std::vector<long long>& hoursAgo) {
        nlohmann::ordered_json points = nlohmann::ordered_json::array();
        long long number = 11;
        for (const long long hours : hoursAgo) {
            const std::time_t t = static_cast<std::time_t>(kNow - hours * 3600);
            std::tm utc{};
            gmtime_r(&t, &utc);
            char cim[32];
            std::strftime(cim, sizeof cim, "%Y%m%d%H%M%S.000000+000", &utc);
            points.push_back({{"CreationTime", cim},
                              {"Description", "Point " + std::to_string(number)},
                              {"EventType", 100},
                              {"RestorePointType", 7},
                              {"SequenceNumber", number++}});
        }
        tm.json()["system_restore"]["points"] = points;
        tm.save();
    }
};

TEST_F(CommandLine, CreateChecksTitleSpaceAndServiceAsTheButtonDoes) {
    const std::string forty = "Avant la mise à jour du pilote é" + std::string(8, 'x'); // 40 characters
    struct Case {
        std::string title;
        long long freeKb;
        bool succeeds;
        int start, code;
        const char* said;
    };
    const std::vector<Case> cases{
        {forty, 8388608, true, 0, cli::done, "Numéro de séquence : 54"},
        {forty + "y", 8388608, true, 0, cli::usageError, "Le titre a 41 caractères"},
        {"Titre", 204800, true, 0, cli::lowSpace, "moins de 200Mo"},
        {"Titre", 204801, true, 0, cli::done, "Point de restauration créé."},
        {"Titre", 8388608, false, 0, cli::serviceRefused,
         "Impossible de créer le point de restauration.\nErreur inconnue."},
        {"Titre", 8388608, true, 4, cli::serviceOff, "La restauration système est désactivée."},
        {"Titre", 8388608, true, 1, cli::serviceOff, "La restauration système n'est pas activée."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title + " " + std::to_string(c.freeKb) + " " + std::to_string(c.start));
        tm.json()["drives"]["C"]["free_bytes"] = c.freeKb * 1024;
        tm.json()["system_restore"]["set_restore_point_succeeds"] = c.succeeds;
        tm.save();
        serviceStart(c.start);
        const Outcome o = run({"create", c.title});
        EXPECT_EQ(o.code, c.code);
        EXPECT_NE(o.said().find(c.said), std::string::npos) << o.out_ << o.err_;
        const bool asked = c.code == cli::done || !c.succeeds;
        EXPECT_EQ(o.journal, asked ? Lines{"SRSetRestorePointA 100 7 " + c.title} : Lines{});
    }
    // The new point's number and time, as the service recorded them.
    serviceStart(0);
    const auto made = nlohmann::json::parse(run({"--json", "create", "Avec JSON"}).out_);
    EXPECT_EQ(made, nlohmann::json::parse(R"({"sequence_number": 56, "created": "2006-12-01T20:06:40+01:00",
        "description": "Avec JSON"})"));
}

TEST_F(CommandLine, DeleteByAgeOrNumberKeepsTheNewestAndRefusesAWholeBadRequest) {
    // 11: 40 days, 12: 31 days, 13: 30 days less an hour, 14: 10 days, 15: one day.
    const std::vector<long long> five{40 * 24, 31 * 24, 30 * 24 - 1, 10 * 24, 24};
    struct Case {
        std::vector<long long> ages;
        std::string args; // after "delete"
        int code;
        std::vector<long long> asked; // of the service, which removes them unless it refuses
        const char* said;
        bool serviceRemoves = true;
    };
    const std::vector<Case> cases{
        {five, "--older-than 30d --yes", cli::done, {11, 12}, "Point 12 supprimé."},
        {five, "--older-than=30d --keep 4 --yes", cli::done, {11}, "Point 12 gardé : il fait partie des 4"},
        {five, "--older-than 30d", cli::notConfirmed, {}, "Ajoutez --yes"},
        {five, "--older-than 30d --dry-run", cli::done, {}, "Essai : rien n'a été supprimé."},
        {five, "--older-than 30d --dry-run --yes", cli::done, {}, "Essai"},
        {five, "--older-than 1d --keep 9 --yes", cli::done, {}, "Aucun point à supprimer."},
        {{72, 48, 30}, "--older-than 1d --keep 0 --yes", cli::done, {11, 12}, "13 gardé : il vous faut"},
        {{72, 48, 24}, "12 11 11 --yes", cli::done, {12, 11}, "Point 11 supprimé."},
        {{48, 24}, "12 --yes", cli::failed, {}, "Point 12 gardé : c'est le point le plus récent."},
        {{48, 24}, "11 99 --yes", cli::noSuchPoint, {}, "Aucun point de restauration ne porte le numéro 99."},
        {{48, 24}, "0 --yes", cli::noSuchPoint, {}, "le numéro 0."},
        {{24}, "11 --keep 0 --yes", cli::failed, {}, "il vous faut garder au moins un point"},
        {{72, 48, 24}, "11 12 --keep 2 --yes", cli::failed, {}, "Point 12 gardé"},
        {{72, 48, 24},
         "--yes 11 12",
         cli::serviceRefused,
         {11, 12},
         "Le point 12 n'a pas pu être supprimé.",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        pointsAged(c.ages);
        tm.json()["system_restore"]["remove_restore_point_succeeds"] = c.serviceRemoves;
        tm.save();
        const Outcome o = run(words("delete " + c.args));
        EXPECT_EQ(o.code, c.code) << o.err_;
        Lines expected;
        for (const long long n : c.asked)
            expected.push_back("SRRemoveRestorePoint " + std::to_string(n));
        EXPECT_EQ(o.journal, expected);
        EXPECT_EQ(tm.json()["system_restore"]["points"].size(),
                  c.ages.size() - (c.serviceRemoves ? c.asked.size() : 0));
        EXPECT_NE(o.said().find(c.said), std::string::npos) << o.out_ << o.err_;
    }
    // With --json: what was removed, what was kept and why; nothing else on standard output.
    tm.json()["system_restore"].erase("remove_restore_point_succeeds");
    pointsAged(five);
    auto report = nlohmann::json::parse(run(words("delete --json --older-than 30d --keep 4 --yes")).out_);
    EXPECT_EQ(report["removed"], nlohmann::json::parse("[11]"));
    EXPECT_EQ(report["kept"][0]["sequence_number"], 12);
    EXPECT_EQ(report["kept"][0]["reason"], "among_newest");
    EXPECT_EQ(report["planned"][0]["description"], "Point 11");
    pointsAged({48, 24});
    const Outcome refused = run(words("delete 12 99 --yes --json"));
    report = nlohmann::json::parse(refused.out_);
    EXPECT_EQ(report["not_found"], nlohmann::json::parse("[99]"));
    EXPECT_EQ(report["kept"][0]["reason"], "newest");
    EXPECT_EQ(report["planned"], nlohmann::json::array());
    EXPECT_EQ(refused.code, cli::noSuchPoint);

    // A point the service gives no number is named by its entry, and the others still go.
    pointsAged({72, 48, 24});
    tm.json()["system_restore"]["points"][0].erase("SequenceNumber");
    tm.save();
    const Outcome o = run({"delete", "--older-than", "1d", "--yes"});
    EXPECT_EQ(o.journal, Lines{"SRRemoveRestorePoint 12"});
    EXPECT_NE(
        o.out_.find("le service ne lui donne pas de numéro de séquence. (28/11/2006 20:06:40) Point 11"),
        std::string::npos)
        << o.out_;
}

TEST_F(CommandLine, UsageErrorsExitWithTwoAndTouchNothingWhileHelpSucceeds) {
    struct Case {
        int code;
        std::string line;
        const char* said;
    };
    const std::vector<Case> cases{
        {cli::usageError, "frobnicate", "Commande inconnue : frobnicate"},
        {cli::usageError, "list --yes", "Option inconnue : --yes"},
        {cli::usageError, "status now", "Argument inattendu : now"},
        {cli::usageError, "create", "Donnez un seul titre"},
        {cli::usageError, "create Un Deux", "Donnez un seul titre"},
        {cli::usageError, "delete", "Donnez des numéros de séquence ou --older-than"},
        {cli::usageError, "delete 12 --older-than 3d", "pas les deux"},
        {cli::usageError, "delete douze", "Numéro de séquence incorrect : douze"},
        {cli::usageError, "delete -5", "Numéro de séquence incorrect : -5"},
        {cli::usageError, "delete 18446744073709551617 --yes", "incorrect : 18446744073709551617\n"},
        {cli::usageError, "delete --older-than 30", "incorrecte pour --older-than"},
        {cli::usageError, "delete --older-than 0d --yes", "incorrecte pour --older-than"},
        {cli::usageError, "--keep 2 list", "Option inconnue : --keep"},
        {cli::usageError, "delete --older-than 30d --keep beaucoup", "incorrecte pour --keep"},
        {cli::usageError, "--version list", "Argument inattendu : list"},
        {cli::done, "--help", "kestrafen status [--json]"},
        {cli::done, "list --help", "Écrit le résultat en JSON."},
        {cli::done, "create -h", "40 caractères au plus"},
        {cli::done, "delete --help", "--dry-run"},
        {cli::done, "status /?", "Affiche l'état de la restauration système."},
        {cli::done, "/? delete", "--dry-run"},
        {cli::done, "--help", "Codes de sortie :\n  0  terminé\n"},
        {cli::done, "--version", "Kestrafen 1.3D\n"},
        {cli::done, "", "Sans commande, la fenêtre s'ouvre."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const Outcome o = run(words(c.line));
        EXPECT_EQ(o.code, c.code);
        EXPECT_NE(o.said().find(c.said), std::string::npos) << o.out_ << o.err_;
        EXPECT_TRUE(o.journal.empty());
        if (c.code == cli::usageError) {
            EXPECT_EQ(o.out_, "");
            EXPECT_NE(o.err_.find("Pour l'aide : kestrafen "), std::string::npos) << o.err_;
        }
    }
    // A command's help leaves the others out.
    EXPECT_EQ(run({"create", "--help"}).out_.find("status"), std::string::npos);
    // Output that could not be written is no success.
    EXPECT_EQ(run({"--version"}, true).code, cli::failed);
}

// The table of exit codes in the README is the one --help shows, and holds every code.
TEST_F(CommandLine, ExitCodesOfTheReadmeAreThoseOfTheHelp) {
    std::ifstream file(std::string(KESTRAFEN_SOURCE_DIR) + "/README.md");
    std::string table;
    for (std::string line; std::getline(file, line);) {
        std::smatch row;
        if (std::regex_match(line, row, std::regex(R"(\| (\d) \| (.+) \|)")))
            table += "  " + row[1].str() + "  " + row[2].str() + "\n";
    }
    EXPECT_EQ(std::ranges::count(table, '\n'), cli::lastExitCode + 1);
    tm.write(kProgram + "Kestrafen.ini", "[Kestrafen]\r\nLangue=English\r\n");
    const std::string help = run({"--help"}).out_;
    EXPECT_TRUE(help.ends_with("Exit codes:\n" + table)) << help << "README:\n" << table;
}

TEST_F(CommandLine, ListShowsThePointsAsTheWindowListsThemOldestFirst) {
    auto& points = tm.json()["system_restore"]["points"];
    std::swap(points[0], points[13]); // the service's order is not the list's
    points.push_back(nlohmann::ordered_json::parse(R"({"CreationTime": "20061121100000.000000+060",
        "Description": "Annulé", "EventType": 100, "RestorePointType": 13, "SequenceNumber": 54})"));
    tm.save();
    const Outcome o = run({"list"});
    ASSERT_EQ(o.code, cli::done) << o.err_;
    EXPECT_EQ(std::count(o.out_.begin(), o.out_.end(), '\n'), 14);
    EXPECT_TRUE(
        o.out_.starts_with("38\t(11/09/2006 09:35:12) Point de vérification système\t7 [CHECKPOINT]\n"));
    EXPECT_NE(o.out_.find("50\t(30/10/2006) Installé Mozilla Firefox (2.0)\t0 [APPLICATION INSTALL]\n"),
              std::string::npos);
    EXPECT_TRUE(o.out_.ends_with("53\t(20/11/2006 16:15:09) Avant installation de Nero 7\t7 [CHECKPOINT]\n"));

    tm.json()["system_restore"]["points"][1]["Description"] = "Guillemets \" et \\ barre\nà la ligne\t\x01";
    tm.json()["system_restore"]["points"][2]["RestorePointType"] = 15;
    tm.save();
    const auto parsed = nlohmann::json::parse(run({"list", "--json"}).out_);
    ASSERT_EQ(parsed.size(), 14u);
    EXPECT_EQ(parsed[0], nlohmann::json::parse(R"({"created": "2006-09-11T09:35:12+02:00", "type": 7,
        "type_name": "CHECKPOINT", "sequence_number": 38, "description": "Point de vérification système"})"));
    EXPECT_EQ(parsed[1]["description"], "Guillemets \" et \\ barre\nà la ligne\t\x01");
    EXPECT_EQ(parsed[2]["type_name"], "UNKNOWN");
    EXPECT_EQ(parsed[10]["created"], "2006-10-30T00:00:00+01:00");
    // A point written in UTC shows in local time with the local offset.
    pointsAged({24});
    EXPECT_EQ(nlohmann::json::parse(run({"list", "--json"}).out_)[0]["created"], "2006-11-30T20:06:40+01:00");

    // Any text: one line of three fields in the text list, ASCII-only JSON that reads back the same.
    const std::vector<std::pair<std::string, std::string>> texts{
        {"Onglet\tet\nligne\r\\", "Onglet\\tet\\nligne\\r\\\\"},
        {"Точка восстановления", "Точка восстановления"},
        {"Avant 🚀 la mise à jour", "Avant 🚀 la mise à jour"},
    };
    for (const auto& [description, line] : texts) {
        tm.json()["system_restore"]["points"][0]["Description"] = description;
        tm.save();
        EXPECT_EQ(run({"list"}).out_, "11\t(30/11/2006 20:06:40) " + line + "\t7 [CHECKPOINT]\n");
        const std::string json = run({"list", "--json"}).out_;
        EXPECT_TRUE(std::all_of(json.begin(), json.end(), [](char c) { return c > 0 && c < 0x7F; })) << json;
        EXPECT_EQ(nlohmann::json::parse(json)[0]["description"], description);
    }
    EXPECT_NE(run({"list", "--json"}).out_.find(R"(\ud83d\ude80)"),
              std::string::npos); // beyond the BMP: a pair
}

TEST_F(CommandLine, SystemRestoreOffOrUnreachableInTheSettingsFilesLanguage) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"english", "System Restore is turned off.\n"},
        {"Deutsch", "Die Systemwiederherstellung ist deaktiviert.\n"},
        {"Klingon", "La restauration système est désactivée.\n"},
    };
    serviceStart(4);
    for (const auto& [name, message] : cases) {
        tm.write(kProgram + "Kestrafen.ini",
                 platform::text::toCp1252("[Kestrafen]\r\nLangue=" + name + "\r\n"));
        const Outcome o = run({"list", "--json"});
        EXPECT_EQ(o.code, cli::serviceOff);
        EXPECT_EQ(o.out_, "");
        EXPECT_EQ(o.err_, message) << name;
    }
    // The service's own failure in the user's words, its detail after them.
    serviceStart(0);
    tm.json()["system_restore"]["connection_fails"] = true;
    tm.save();
    const Outcome o = run({"list"});
    EXPECT_EQ(o.code, cli::serviceOff);
    EXPECT_TRUE(o.err_.starts_with("Le système de restauration ne répond pas : SWbemLocator")) << o.err_;
}

TEST_F(CommandLine, StatusReportsServiceDrivesSettingsSpaceAndNewestPoint) {
    tm.json()["system_restore"]["monitored_drives_off"] = {"D:\\"};
    tm.save();
    EXPECT_EQ(run({"status"}).out_,
              "Restauration système : activée\n"
              "Lecteur C:\\ : surveillé\n"
              "Lecteur D:\\ : non surveillé\n"
              "Durée de vie des points : 90 jours ; un point automatique toutes les 24 heures\n"
              "Espace libre sur C:\\ : 8192 Mo (minimum : 200 Mo)\n"
              "Point le plus récent : (20/11/2006 16:15:09) Avant installation de Nero 7, créé il y a "
              "11 jours\n");
    auto s = nlohmann::json::parse(run({"status", "--json"}).out_);
    EXPECT_EQ(s["drives"],
              nlohmann::json::parse(R"([{"root": "C:\\", "monitored": true, "total_bytes": 42949672960,
        "cap_bytes": 5153960755, "used_bytes": 12375}, {"root": "D:\\", "monitored": false,
        "total_bytes": 128849018880, "cap_bytes": 15461882265, "used_bytes": 331}])"));
    // 2006-11-20 15:15:09 UTC to 2006-12-01 19:06:40 UTC.
    EXPECT_EQ(s["newest_point"]["age_seconds"], 11 * 86400 + 3 * 3600 + 51 * 60 + 31);
    s.erase("drives");
    s.erase("newest_point");
    EXPECT_EQ(s,
              nlohmann::json::parse(
                  R"({"system_restore": "on", "lifetime_days": 90, "interval_hours": 24, "disk_percent": 12,
        "free_kilobytes": 8388608, "minimum_kilobytes": 204800, "low_space": false, "points": 14,
        "system_drive": "C:\\"})"));

    // System Restore off and a full disk.
    tm.json()["drives"]["C"]["free_bytes"] = 204800 * 1024;
    tm.save();
    serviceStart(4);
    s = nlohmann::json::parse(run({"status", "--json"}).out_);
    EXPECT_EQ(s["system_restore"], "off");
    for (const auto& d : s["drives"])
        EXPECT_EQ(d["monitored"], false) << d;
    EXPECT_EQ(s["low_space"], true);
    EXPECT_EQ(s["newest_point"], nullptr);
    const Outcome o = run({"status"});
    EXPECT_NE(o.out_.find("Restauration système : désactivée\n"), std::string::npos) << o.out_;
    EXPECT_NE(o.out_.find("Vous avez moins de 200Mo disponible."), std::string::npos) << o.out_;
    EXPECT_NE(o.out_.find("Aucun point de restauration."), std::string::npos) << o.out_;

    // Free space that cannot be read is unknown, not low.
    tm.json()["drives"].erase("C");
    tm.save();
    s = nlohmann::json::parse(run({"status", "--json"}).out_);
    EXPECT_EQ(s["free_kilobytes"], nullptr);
    EXPECT_EQ(s["low_space"], nullptr);
}

// Settings as the dialog takes them: every value checked before any is written, all three written.
TEST_F(CommandLine, ConfigShowsAndSetsTheSettingsUnderTheDialogsRules) {
    const struct {
        std::uint32_t percent, lifetime; // stored after
        int code;
        std::string line;
        const char* said;
    } cases[] = {
        {12, 90, cli::done, "config",
         "Part de disque de chaque lecteur : 12 %\nDurée de vie des points : 90 jours"},
        {12, 90, cli::done, "config --disk-percent 20 --dry-run", "20 %\n"},
        {12, 90, cli::usageError, "config --disk-percent 0 --lifetime-days 30",
         "incorrecte pour --disk-percent"},
        {12, 90, cli::usageError, "config --disk-percent 20 --lifetime-days 24856",
         "incorrecte pour --lifetime-days"},
        {12, 90, cli::usageError, "config --interval-hours douze", "incorrecte pour --interval-hours"},
        {20, 30, cli::done, "config --disk-percent 20 --lifetime-days 30", "Réglages enregistrés."},
        {20, 30, cli::done, "--json config --interval-hours 12",
         R"({"disk_percent": 20, "lifetime_days": 30, "interval_hours": 12, "dry_run": false})"},
    };
    const auto stored = [&](const char* name) {
        const auto key = tm.machine->platform().registry.open(
            platform::RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SystemRestore",
            false);
        return platform::reg::readInteger(*key, name);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const Outcome o = run(words(c.line));
        EXPECT_EQ(o.code, c.code);
        EXPECT_NE(o.said().find(c.said), std::string::npos) << o.out_ << o.err_;
        EXPECT_EQ(stored("DiskPercent"), c.percent);
        EXPECT_EQ(stored("RPLifeInterval"), c.lifetime * 86400);
    }
}

TEST_F(CommandLine, FilesListsAPointsLoggedChangesAndRecoverTakesOneBack) {
    const std::string dll = "C:\\WINDOWS\\system32\\msvcr71.dll";
    const std::string word = "C:\\Program Files\\Microsoft Office\\OFFICE11\\WINWORD.EXE";
    const std::string desktop = "C:\\Documents and Settings\\Utilisateur\\Bureau";
    const std::string before = tm.read(dll);
    struct Case {
        Args args;
        int code;
        std::string said;
    };
    const std::vector<Case> cases{
        {{"files", "39"}, cli::done, dll + "\tModification\t115\tmsiexec.exe\n"},
        {{"files", "99"}, cli::noSuchPoint, "Aucun point de restauration ne porte le numéro 99."},
        {{"files"}, cli::usageError, "Numéro de séquence incorrect"},
        {{"recover", "39", dll}, cli::usageError, "Donnez --to DOSSIER ou --in-place"},
        {{"recover", "39", dll, "--in-place", "--to", desktop}, cli::usageError, "pas les deux"},
        {{"recover", "39", "C:\\x.dll", "--in-place"},
         cli::failed,
         "Le point 39 ne garde aucune modification"},
        {{"recover", "39", word, "--to", desktop, "--yes"}, cli::failed, "n'existait pas à ce point"},
        {{"recover", "39", dll, "--in-place"}, cli::notConfirmed, "Ajoutez --yes pour reprendre ce fichier."},
        {{"recover", "--dry-run", "39", dll, "--in-place"}, cli::done, "Essai : rien n'a été écrit."},
        {{"recover", "39", dll, "--to", "C:\\WINDOWS\\system32"}, cli::notConfirmed, "existe déjà"},
        {{"recover", "39", dll, "--to", desktop, "--yes"}, cli::done, "Copie enregistrée sous " + desktop},
        {{"recover", "39", dll, "--in-place", "--yes"}, cli::done, "(avant remise en place).dll."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const std::string now = tm.read(dll);
        const Outcome o = run(c.args);
        EXPECT_EQ(o.code, c.code) << o.out_ << o.err_;
        EXPECT_NE((o.out_ + o.err_).find(c.said), std::string::npos) << o.out_ << o.err_;
        if (c.code != cli::done) {
            EXPECT_EQ(tm.read(dll), now); // nothing written
        }
    }
    EXPECT_EQ(tm.read(dll), tm.read(desktop + "\\msvcr71.dll"));
    EXPECT_EQ(tm.read("C:\\WINDOWS\\system32\\msvcr71 (avant remise en place).dll"), before);

    const auto listed = nlohmann::json::parse(run({"files", "39", "--json"}).out_);
    ASSERT_EQ(listed.size(), 8u);
    EXPECT_EQ(listed[7], nlohmann::json::parse(R"({"sequence": 6, "operation": "modify", "path":
        "C:\\WINDOWS\\system32\\msvcr71.dll", "new_path": null, "copy": "A0003104.dll", "copy_bytes": 115,
        "process": "msiexec.exe"})"));
    EXPECT_EQ(listed[0]["copy"], nullptr);
    const auto recovered = nlohmann::json::parse(run({"recover", "39", dll, "--to", desktop, "--json"}).out_);
    EXPECT_EQ(recovered["target"], desktop + "\\msvcr71.dll");
    EXPECT_EQ(recovered["written"], false); // it stands there already: --yes would replace it
}

} // namespace
