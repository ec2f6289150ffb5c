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
#include <string>
#include <vector>

namespace {

using testing_support::TestMachine;
using Args = std::vector<std::string>;

const std::string kProgram = "C:\\Program Files\\Kestrafen\\";
// The virtual clock's start: 2006-12-01 19:06:40 UTC.
constexpr long long kNow = 1165000000;

class Capture : public cli::Console {
public:
    void out(const std::string& text) override { out_ += text; }
    void err(const std::string& text) override { err_ += text; }
    std::string out_, err_;
};

struct Outcome {
    int code = -1;
    std::string out, err;
    std::vector<std::string> journal; // lines the command added
};

bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

struct CommandLine : ::testing::Test {
    TestMachine tm;

    Outcome run(const Args& args) { return run(tm, args); }
    static Outcome run(TestMachine& m, const Args& args) {
        const std::size_t before = m.journal().size();
        Capture console;
        platform::Platform platform = m.machine->platform();
        Outcome o;
        o.code = cli::run(args, platform, console);
        o.out = console.out_;
        o.err = console.err_;
        const auto all = m.journal();
        o.journal.assign(all.begin() + static_cast<long>(before), all.end());
        return o;
    }

    void language(const std::string& name) {
        tm.write(kProgram + "Kestrafen.ini",
                 platform::text::toCp1252("[Kestrafen]\r\nLangue=" + name + "\r\n"));
    }
    void freeKilobytes(long long kb) {
        tm.json()["drives"]["C"]["free_bytes"] = kb * 1024;
        tm.save();
    }
    void serviceStart(int start) { serviceStart(tm, start); }
    static void serviceStart(TestMachine& m, int start) {
        auto key = m.machine->platform().registry.open(platform::RegRoot::LocalMachine,
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
    std::vector<long long> remaining() {
        std::vector<long long> numbers;
        for (const auto& p : tm.json()["system_restore"]["points"])
            numbers.push_back(p["SequenceNumber"].get<long long>());
        return numbers;
    }
};

// --- create -------------------------------------------------------------------------------------

TEST_F(CommandLine, CreateChecksTitleSpaceAndServiceAsTheButtonDoes) {
    const std::string forty = "Avant la mise à jour du pilote é" + std::string(8, 'x'); // 40 characters
    const std::string fortyOne = forty + "y";
    struct Case {
        const char* name;
        std::string title;
        long long freeKb;
        bool succeeds;
        int start;
        int code;
        const char* printed; // on standard output for 0, standard error otherwise
        bool asked;          // SRSetRestorePointA journalled
    };
    const std::vector<Case> cases{
        {"40 characters", forty, 8388608, true, 0, cli::done, "Numéro de séquence : 54", true},
        {"41 characters", fortyOne, 8388608, true, 0, cli::refused, "Le titre a 41 caractères", false},
        {"full disk", "Titre", 204800, true, 0, cli::refused, "moins de 200Mo", false},
        {"one KiB over the floor", "Titre", 204801, true, 0, cli::done, "Point de restauration créé.", true},
        {"refused point", "Titre", 8388608, false, 0, cli::refused,
         "Impossible de créer le point de restauration.\nErreur inconnue.", true},
        {"System Restore off", "Titre", 8388608, true, 4, cli::refused,
         "La restauration système est désactivée.", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestMachine m;
        m.json()["drives"]["C"]["free_bytes"] = c.freeKb * 1024;
        m.json()["system_restore"]["set_restore_point_succeeds"] = c.succeeds;
        m.save();
        serviceStart(m, c.start);

        const Outcome o = run(m, {"create", c.title});
        EXPECT_EQ(o.code, c.code);
        EXPECT_NE((c.code == cli::done ? o.out : o.err).find(c.printed), std::string::npos) << o.out << o.err;
        EXPECT_EQ(has(o.journal, "SRSetRestorePointA 100 7 " + c.title), c.asked);
        EXPECT_EQ(o.journal.size(), c.asked ? 1u : 0u);
        EXPECT_EQ(m.json()["system_restore"]["points"].size(), c.code == cli::done ? 15u : 14u);
    }
}

// --- delete -------------------------------------------------------------------------------------

TEST_F(CommandLine, DeleteByAgeTakesOnlyOlderPointsAndKeepsTheNewest) {
    // 11: 40 days, 12: 31 days, 13: 30 days less an hour, 14: 10 days, 15: one day.
    const std::vector<long long> ages{40 * 24, 31 * 24, 30 * 24 - 1, 10 * 24, 24};
    struct Case {
        Args args;
        int code;
        std::vector<long long> removed;
        std::vector<const char*> outLines;
        const char* errText;
    };
    const std::vector<Case> cases{
        {{"delete", "--older-than", "30d", "--yes"},
         cli::done,
         {11, 12},
         {"Point 11 supprimé.", "Point 12 supprimé."},
         ""},
        {{"delete", "--older-than=30d", "--keep", "4", "--yes"},
         cli::done,
         {11},
         {"Point 12 gardé : il fait partie des 4 points les plus récents."},
         ""},
        {{"delete", "--older-than", "30d"}, cli::refused, {}, {"Points à supprimer :"}, "Ajoutez --yes"},
        {{"delete", "--older-than", "30d", "--dry-run"},
         cli::done,
         {},
         {"Essai : rien n'a été supprimé."},
         ""},
        {{"delete", "--older-than", "30d", "--dry-run", "--yes"},
         cli::done,
         {},
         {"Points à supprimer :"},
         ""},
        {{"delete", "--older-than", "1000d", "--yes"}, cli::done, {}, {"Aucun point à supprimer."}, ""},
        {{"delete", "--older-than", "0d", "--keep", "0", "--yes"},
         cli::done,
         {11, 12, 13, 14},
         {"Point 15 gardé : il vous faut garder au moins un point."},
         ""},
        {{"delete", "--older-than", "0d", "--keep", "9", "--yes"},
         cli::done,
         {},
         {"Aucun point à supprimer."},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        pointsAged(ages);
        const Outcome o = run(c.args);
        EXPECT_EQ(o.code, c.code) << o.err;
        std::vector<std::string> expected;
        for (const long long n : c.removed)
            expected.push_back("SRRemoveRestorePoint " + std::to_string(n));
        EXPECT_EQ(o.journal, expected);
        for (const char* line : c.outLines)
            EXPECT_NE(o.out.find(line), std::string::npos) << o.out;
        EXPECT_NE(o.err.find(c.errText), std::string::npos) << o.err;
        EXPECT_EQ(remaining().size(), ages.size() - c.removed.size());
    }
}

TEST_F(CommandLine, DeleteByNumberRefusesTheWholeRequestForOneBadNumber) {
    struct Case {
        std::vector<long long> agesHours;
        Args args;
        int code;
        std::vector<long long> removed;
        const char* errText;
    };
    const std::vector<Case> cases{
        {{48, 24}, {"delete", "11", "--yes"}, cli::done, {11}, ""},
        {{72, 48, 24}, {"delete", "12", "11", "11", "--yes"}, cli::done, {12, 11}, ""},
        {{48, 24},
         {"delete", "12", "--yes"},
         cli::refused,
         {},
         "Point 12 gardé : c'est le point le plus récent."},
        {{48, 24},
         {"delete", "11", "99", "--yes"},
         cli::refused,
         {},
         "Aucun point de restauration ne porte le numéro 99."},
        {{48, 24}, {"delete", "0", "--yes"}, cli::refused, {}, "le numéro 0."},
        {{24}, {"delete", "11", "--yes"}, cli::refused, {}, "Point 11 gardé"},
        {{24},
         {"delete", "11", "--keep", "0", "--yes"},
         cli::refused,
         {},
         "il vous faut garder au moins un point"},
        {{72, 48, 24}, {"delete", "11", "12", "--keep", "2", "--yes"}, cli::refused, {}, "Point 12 gardé"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        pointsAged(c.agesHours);
        const Outcome o = run(c.args);
        EXPECT_EQ(o.code, c.code) << o.err;
        std::vector<std::string> expected;
        for (const long long n : c.removed)
            expected.push_back("SRRemoveRestorePoint " + std::to_string(n));
        EXPECT_EQ(o.journal, expected);
        EXPECT_NE(o.err.find(c.errText), std::string::npos) << o.err;
    }
}

TEST_F(CommandLine, DeleteNeverNamesAPointWithoutItsNumber) {
    pointsAged({72, 48, 24});
    tm.json()["system_restore"]["points"][0].erase("SequenceNumber"); // carries over 0
    tm.save();
    const Outcome o = run({"delete", "--older-than", "1d", "--yes"});
    EXPECT_EQ(o.code, cli::done);
    EXPECT_EQ(o.journal, std::vector<std::string>{"SRRemoveRestorePoint 12"});
    EXPECT_NE(o.out.find("le service ne lui donne pas de numéro de séquence. (28/11/2006 20:06:40) Point 11"),
              std::string::npos)
        << o.out;
}

// --- usage --------------------------------------------------------------------------------------

TEST_F(CommandLine, UsageErrorsExitWithTwoAndTouchNothing) {
    struct Case {
        Args args;
        const char* message;
    };
    const std::vector<Case> cases{
        {{"frobnicate"}, "Commande inconnue : frobnicate"},
        {{"list", "--yes"}, "Option inconnue : --yes"},
        {{"status", "now"}, "Argument inattendu : now"},
        {{"create"}, "Donnez un seul titre"},
        {{"create", "Un", "Deux"}, "Donnez un seul titre"},
        {{"delete"}, "Donnez des numéros de séquence ou --older-than"},
        {{"delete", "12", "--older-than", "3d"}, "pas les deux"},
        {{"delete", "douze"}, "Numéro de séquence incorrect : douze"},
        {{"delete", "-5"}, "Option inconnue : -5"},
        {{"delete", "--older-than", "30"}, "incorrecte pour --older-than"},
        {{"delete", "--older-than"}, "incorrecte pour --older-than"},
        {{"delete", "--older-than", "30d", "--keep", "beaucoup"}, "incorrecte pour --keep"},
        {{"--version", "list"}, "Argument inattendu : list"},
    };
    tm.write(kProgram + "KestrafenTemp.ini", "[cache]\r\nNumber=38\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const Outcome o = run(c.args);
        EXPECT_EQ(o.code, cli::usageError);
        EXPECT_EQ(o.out, "");
        EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
        EXPECT_NE(o.err.find("Pour l'aide : kestrafen "), std::string::npos) << o.err;
        EXPECT_TRUE(o.journal.empty());
    }
    EXPECT_EQ(remaining().size(), 14u);
}

TEST_F(CommandLine, HelpForEachCommandAndVersion) {
    const std::vector<std::pair<Args, const char*>> cases{
        {{"--help"}, "kestrafen status [--json]"},
        {{"list", "--help"}, "Écrit le résultat en JSON."},
        {{"create", "-h"}, "40 caractères au plus"},
        {{"delete", "--help"}, "--dry-run"},
        {{"status", "/?"}, "Affiche l'état de la restauration système."},
        {{"--version"}, "Kestrafen 1.3D\n"},
        {{}, "Sans commande, la fenêtre s'ouvre."},
    };
    for (const auto& [args, text] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        const Outcome o = run(args);
        EXPECT_EQ(o.code, cli::done);
        EXPECT_NE(o.out.find(text), std::string::npos) << o.out;
        EXPECT_EQ(o.err, "");
    }
    // A command's help leaves the others out.
    EXPECT_EQ(run({"create", "--help"}).out.find("status"), std::string::npos);
}

// --- list ---------------------------------------------------------------------------------------

TEST_F(CommandLine, ListShowsThePointsAsTheWindowListsThemOldestFirst) {
    auto& points = tm.json()["system_restore"]["points"];
    std::swap(points[0], points[13]); // the service's order is not the list's
    points.push_back({{"CreationTime", "20061121100000.000000+060"},
                      {"Description", "Annulé"},
                      {"EventType", 100},
                      {"RestorePointType", 13},
                      {"SequenceNumber", 54}});
    tm.save();
    const Outcome o = run({"list"});
    ASSERT_EQ(o.code, cli::done) << o.err;
    EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 14);
    EXPECT_TRUE(
        o.out.starts_with("38\t(11/09/2006 09:35:12) Point de vérification système\t7 [CHECKPOINT]\n"));
    EXPECT_NE(o.out.find("50\t(30/10/2006) Installé Mozilla Firefox (2.0)\t0 [APPLICATION INSTALL]\n"),
              std::string::npos);
    EXPECT_TRUE(o.out.ends_with("53\t(20/11/2006 16:15:09) Avant installation de Nero 7\t7 [CHECKPOINT]\n"));
    EXPECT_EQ(o.out.find("Annulé"), std::string::npos);
    EXPECT_TRUE(o.journal.empty());
}

TEST_F(CommandLine, ListJsonParsesBackWithLocalTimesAndOffsets) {
    auto& points = tm.json()["system_restore"]["points"];
    points[1]["Description"] = "Guillemets \" et \\ barre\nà la ligne\t\x01";
    points[2]["RestorePointType"] = 15;
    tm.save();
    const Outcome o = run({"list", "--json"});
    ASSERT_EQ(o.code, cli::done) << o.err;
    const auto parsed = nlohmann::json::parse(o.out);
    ASSERT_TRUE(parsed.is_array());
    ASSERT_EQ(parsed.size(), 14u);
    EXPECT_EQ(parsed[0]["created"], "2006-09-11T09:35:12+02:00");
    EXPECT_EQ(parsed[0]["type"], 7);
    EXPECT_EQ(parsed[0]["type_name"], "CHECKPOINT");
    EXPECT_EQ(parsed[0]["sequence_number"], 38);
    EXPECT_EQ(parsed[0]["description"], "Point de vérification système");
    EXPECT_EQ(parsed[1]["description"], "Guillemets \" et \\ barre\nà la ligne\t\x01");
    EXPECT_EQ(parsed[2]["type"], 15);
    EXPECT_EQ(parsed[2]["type_name"], "UNKNOWN");
    EXPECT_EQ(parsed[10]["created"], "2006-10-30T00:00:00+01:00");
    // A point written in UTC shows in local time with the local offset.
    pointsAged({24});
    const auto utc = nlohmann::json::parse(run({"list", "--json"}).out);
    EXPECT_EQ(utc[0]["created"], "2006-11-30T20:06:40+01:00");
}

TEST_F(CommandLine, ListWhenSystemRestoreIsOffOrUnreachable) {
    serviceStart(4);
    Outcome o = run({"list", "--json"});
    EXPECT_EQ(o.code, cli::refused);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "La restauration système est désactivée.\n");

    serviceStart(0);
    tm.json()["system_restore"]["connection_fails"] = true;
    tm.save();
    o = run({"list"});
    EXPECT_EQ(o.code, cli::refused);
    EXPECT_NE(o.err.find("RPC server is unavailable"), std::string::npos) << o.err;
}

TEST_F(CommandLine, MessagesFollowTheSettingsFilesLanguage) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"english", "System Restore is turned off.\n"},
        {"Deutsch", "Die Systemwiederherstellung ist deaktiviert.\n"},
        {"Klingon", "La restauration système est désactivée.\n"},
    };
    serviceStart(4);
    for (const auto& [name, message] : cases) {
        language(name);
        EXPECT_EQ(run({"list"}).err, message) << name;
    }
}

// --- status -------------------------------------------------------------------------------------

TEST_F(CommandLine, StatusReportsServiceDrivesSettingsSpaceAndNewestPoint) {
    tm.json()["system_restore"]["monitored_drives_off"] = {"D:\\"};
    tm.save();
    Outcome o = run({"status"});
    ASSERT_EQ(o.code, cli::done) << o.err;
    EXPECT_EQ(o.out, "Restauration système : activée\n"
                     "Lecteur C:\\ : surveillé\n"
                     "Lecteur D:\\ : non surveillé\n"
                     "Durée de vie des points : 90 jours ; un point automatique toutes les 24 heures\n"
                     "Espace libre sur C:\\ : 8192 Mo (minimum : 200 Mo)\n"
                     "Point le plus récent : (20/11/2006 16:15:09) Avant installation de Nero 7, créé il y a "
                     "11 jours\n");

    o = run({"status", "--json"});
    ASSERT_EQ(o.code, cli::done) << o.err;
    const auto s = nlohmann::json::parse(o.out);
    EXPECT_EQ(s["system_restore"], "on");
    EXPECT_EQ(s["drives"], nlohmann::json::parse(R"([{"root": "C:\\", "monitored": true},
                                                     {"root": "D:\\", "monitored": false}])"));
    EXPECT_EQ(s["lifetime_days"], 90);
    EXPECT_EQ(s["interval_hours"], 24);
    EXPECT_EQ(s["free_kilobytes"], 8388608);
    EXPECT_EQ(s["low_space"], false);
    EXPECT_EQ(s["points"], 14);
    EXPECT_EQ(s["newest_point"]["sequence_number"], 53);
    // 2006-11-20 15:15:09 UTC to 2006-12-01 19:06:40 UTC.
    EXPECT_EQ(s["newest_point"]["age_seconds"], 11 * 86400 + 3 * 3600 + 51 * 60 + 31);
    EXPECT_TRUE(o.journal.empty());
}

TEST_F(CommandLine, StatusWithSystemRestoreOffAndAFullDisk) {
    freeKilobytes(204800);
    serviceStart(4);
    Outcome o = run({"status", "--json"});
    ASSERT_EQ(o.code, cli::done) << o.err;
    const auto s = nlohmann::json::parse(o.out);
    EXPECT_EQ(s["system_restore"], "off");
    for (const auto& d : s["drives"])
        EXPECT_EQ(d["monitored"], false) << d;
    EXPECT_EQ(s["low_space"], true);
    EXPECT_EQ(s["newest_point"], nullptr);

    o = run({"status"});
    EXPECT_NE(o.out.find("Restauration système : désactivée\n"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("Vous avez moins de 200Mo disponible."), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("Aucun point de restauration."), std::string::npos) << o.out;
}

// --- the window's files -------------------------------------------------------------------------

TEST_F(CommandLine, NoCommandWritesThePointCacheOrTheSettingsFile) {
    const std::string cache = "[(01/01/2006) Ancien]\r\nNumber=7\r\n";
    tm.write(kProgram + "KestrafenTemp.ini", cache);
    const std::vector<Args> commands{
        {"list"},  {"list", "--json"}, {"status"}, {"create", "Sauvegarde"}, {"delete", "38", "--yes"},
        {"--help"}};
    for (const Args& args : commands) {
        SCOPED_TRACE(testing::PrintToString(args));
        EXPECT_EQ(run(args).code, cli::done);
        EXPECT_EQ(tm.read(kProgram + "KestrafenTemp.ini"), cache);
        // A first run's language is worked out, not written: the window writes it.
        EXPECT_FALSE(std::filesystem::exists(tm.host(kProgram + "Kestrafen.ini")));
    }
}

} // namespace
