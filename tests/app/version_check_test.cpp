// The version check through the Jour button, against a real HTTP server on 127.0.0.1: what the user
// reads, when the browser starts, what the download was asked, and what is left on disk.
#include "AppFixture.h"
#include "support/HttpServer.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>

using namespace std::chrono_literals;
using testing_support::AppFixture;
using testing_support::httpResponse;
using testing_support::programFolder;

namespace {

const std::string kVersionFile = std::string(programFolder) + "KestrafenJ.ini";
const std::string kProbe = "C:\\WINDOWS\\Temp\\temp.htm";
const std::string kBrowser = "C:\\Program Files\\Internet Explorer\\iexplore.exe";
const std::string kOther =
    "Vous n'avez pas la dernière version de Kestrafen. La version la plus récente est la ";
const std::string kOtherEnglish = "You do not have the latest version of Kestrafen. The latest version is ";
const std::string kLatest = "Vous avez la dernière version de Kestrafen.";
const std::string kSite = update::defaultServer().site;

// A version file as publishers write it, in Windows-1252.
std::string published(const std::string& utf8Body) {
    return httpResponse("200 OK", platform::text::toCp1252(utf8Body), "Content-Type: text/plain\r\n");
}

// The version file the README has newcomers serve.
std::string sampleFile() {
    std::ifstream in(std::string(KESTRAFEN_SOURCE_DIR) + "/sample-server/jour/Kestrafen.ini",
                     std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What the download was asked, and whether the wait was shown meanwhile.
struct WatchedDownload : platform::Download {
    WatchedDownload(platform::Download& real, const ui::HeadlessBackend& backend)
        : real(real), backend(backend) {}
    bool toFile(const std::string& url, const std::string& path,
                const platform::DownloadLimits& limits) override {
        calls.push_back({limits.connect, limits.total, backend.busyCursor()});
        return real.toFile(url, path, limits);
    }
    void forgetCached(const std::string& url) override {
        forgotten.push_back(url);
        real.forgetCached(url);
    }
    struct Call {
        std::chrono::milliseconds connect, total;
        bool busyCursor;
    };
    platform::Download& real;
    const ui::HeadlessBackend& backend;
    std::vector<Call> calls;
    std::vector<std::string> forgotten;
};

// Browser starts, each with the number of messages shown before it.
struct WatchedShell : platform::Shell {
    WatchedShell(platform::Shell& real, const ui::HeadlessBackend& backend) : real(real), backend(backend) {}
    void runCommand(const std::string& parameters) override { real.runCommand(parameters); }
    void winExec(const std::string& commandLine) override { real.winExec(commandLine); }
    std::optional<std::string> findExecutable(const std::string& file) override {
        return real.findExecutable(file);
    }
    void start(const std::string& file, const std::string& parameters) override {
        starts.push_back(file + " " + parameters + " after " + std::to_string(backend.messages().size()));
        real.start(file, parameters);
    }
    platform::Shell& real;
    const ui::HeadlessBackend& backend;
    std::vector<std::string> starts;
};

enum class Server { Answers, None, Silent };

struct Case {
    const char* name;
    Server server;
    std::string answer;                // for /jour/Kestrafen.ini when the server answers
    std::vector<std::string> messages; // what the user reads, in order
    int browserAfter = -1;             // messages shown before the browser starts; -1: no browser
    const char* language = "Français";
    std::optional<std::string> stale = std::nullopt;    // a KestrafenJ.ini left by an interrupted check
    std::optional<std::string> message9 = std::nullopt; // the French Message9 of the language file
    bool browserKnown = true;                           // the machine knows a program for web pages
};

struct VersionCheckTest : AppFixture {
    std::optional<WatchedDownload> download;
    std::optional<WatchedShell> shell;

    const std::string languageFile = std::string(programFolder) + "langues.ini";
    const std::string shippedLanguages = tm.read(languageFile);

    // The machine as shipped, but for what the case changes.
    void startWith(const Case& c) {
        ordinaryStart(c.language);
        if (c.browserKnown)
            tm.json()["browser"] = kBrowser;
        else
            tm.json().erase("browser");
        if (c.stale)
            tm.write(kVersionFile, *c.stale);
        tm.write(languageFile, shippedLanguages);
        if (c.message9)
            tm.machine->platform().profile.writeString(languageFile, "Français", "Message9", *c.message9);
        tm.save();
        const platform::Platform real = tm.machine->platform();
        download.emplace(real.download, backend);
        shell.emplace(real.shell, backend);
        platform = std::make_unique<platform::Platform>(
            platform::Platform{real.environment, real.files, real.profile, real.registry, real.systemRestore,
                               *shell, real.cabinet, *download, real.process, real.programFolder});
        program = std::make_unique<Startup>(app, *platform);
        program->start();
        program->run();
        backend.clearMessages();
    }
};

TEST_F(VersionCheckTest, AnswersAsPublishedAndLeavesNothingBehind) {
    const std::string url = update::versionFileUrl(kSite);
    const std::string unreachable = "Impossible de se connecter au serveur : " + kSite;
    const std::vector<Case> cases{
        {"same version", Server::Answers, published("[Kestrafen]\r\nVersion=1.3D\r\n"), {kLatest}},
        {"same letters, other case",
         Server::Answers,
         published("[Kestrafen]\r\nVersion=1.3d\r\n"),
         {kOther + " 1.3d."},
         1},
        {"older version, then the publisher's words",
         Server::Answers,
         published("[Kestrafen]\r\nVersion=1.2\r\nMessage=Nouveauté : l'aide en ligne\r\n"),
         {kOther + " 1.2.", "Nouveauté : l'aide en ligne"},
         1},
        {"publisher's words with the same version",
         Server::Answers,
         published("[Kestrafen]\r\nVersion=1.3D\r\nMessage=Maintenance dimanche\r\n"),
         {kLatest, "Maintenance dimanche"}},
        {"an error page saved in place of the file",
         Server::Answers,
         published("<html><head><title>Introuvable</title></head><body>Erreur</body></html>"),
         {kLatest}},
        {"no program for web pages",
         Server::Answers,
         published("[Kestrafen]\r\nVersion=1.4\r\n"),
         {kOther + " 1.4."},
         -1,
         "Français",
         std::nullopt,
         std::nullopt,
         false},
        {"a refusal of the server",
         Server::Answers,
         httpResponse("404 Not Found", "<html>absent</html>"),
         {unreachable}},
        {"no server", Server::None, "", {unreachable}},
        {"a stale file and no server",
         Server::None,
         "",
         {unreachable},
         -1,
         "Français",
         "[Kestrafen]\r\nVersion=1.2\r\nMessage=ancien\r\n"},
        {"a stale file and a fresh answer",
         Server::Answers,
         published("[Kestrafen]\r\nVersion=1.3D\r\n"),
         {kLatest},
         -1,
         "Français",
         "[Kestrafen]\r\nVersion=1.2\r\nMessage=ancien\r\n"},
        {"a server that never answers", Server::Silent, "", {unreachable}},
        {"a language file naming another site",
         Server::None,
         "",
         {unreachable},
         -1,
         "Français",
         std::nullopt,
         "Impossible de se connecter au serveur : http://www.kestrafen.fr/"},
        {"English texts, the publisher's words as written",
         Server::Answers,
         published("[Kestrafen]\r\nVersion=1.2\r\nMessage=Nouveauté : l'aide en ligne\r\n"),
         {kOtherEnglish + " 1.2.", "Nouveauté : l'aide en ligne"},
         1,
         "English"},
        {"English, same version",
         Server::Answers,
         published("[Kestrafen]\r\nVersion=1.3D\r\n"),
         {"You have the latest version of Kestrafen."},
         -1,
         "English"},
        {"English, no server",
         Server::None,
         "",
         {"Unable to connect to the server: " + kSite},
         -1,
         "English"},
        {"the sample server's file",
         Server::Answers,
         httpResponse("200 OK", sampleFile()),
         {kOther + " 1.4.", "Version d'essai servie par le serveur de démonstration."},
         1},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        program.reset();
        std::optional<testing_support::HttpServer> server;
        if (c.server != Server::None)
            server.emplace(testing_support::HttpAnswers{{"/jour/Kestrafen.ini", c.answer}});
        else
            server.emplace(testing_support::HttpAnswers{}); // its port is closed again below
        tm.json()["update_server"] = server->url("");
        if (c.server == Server::None)
            server.reset();
        startWith(c);
        f().updateServer.limits = {300ms, 1000ms};
        const std::size_t journalBefore = tm.journal().size();

        const auto start = std::chrono::steady_clock::now();
        f().Jour.userClick();
        const auto elapsed = std::chrono::steady_clock::now() - start;

        EXPECT_EQ(backend.messageTexts(), c.messages);
        for (const ui::ShownMessage& m : backend.messages()) {
            EXPECT_EQ(m.kind, ui::MessageKind::Plain);
            EXPECT_FALSE(m.busyCursor) << m.text;
        }
        EXPECT_FALSE(backend.busyCursor());

        ASSERT_EQ(download->calls.size(), 1u);
        const WatchedDownload::Call& call = download->calls[0];
        EXPECT_EQ(call.connect, 300ms);
        EXPECT_EQ(call.total, 1000ms);
        EXPECT_TRUE(call.busyCursor);
        // The cached copy is forgotten once a file was read, and only then.
        const bool read = !c.messages.front().ends_with(kSite);
        EXPECT_EQ(download->forgotten, read ? std::vector<std::string>{url} : std::vector<std::string>{});

        const std::vector<std::string> browser =
            c.browserAfter < 0 ? std::vector<std::string>{}
                               : std::vector<std::string>{kBrowser + " " + kSite + " after " +
                                                          std::to_string(c.browserAfter)};
        EXPECT_EQ(shell->starts, browser);
        std::vector<std::string> journal = tm.journal();
        journal.erase(journal.begin(), journal.begin() + static_cast<std::ptrdiff_t>(journalBefore));
        std::vector<std::string> expectedJournal{"Download " + url + " -> " + kVersionFile};
        if (c.browserAfter >= 0)
            expectedJournal.push_back("ShellExecute " + kBrowser + " " + kSite);
        EXPECT_EQ(journal, expectedJournal);

        EXPECT_FALSE(exists(kVersionFile));
        EXPECT_FALSE(exists(kProbe));
        if (c.server == Server::Silent) {
            EXPECT_GE(elapsed, 900ms);
            EXPECT_LT(elapsed, 3s);
        }
        if (server) {
            ASSERT_EQ(server->requests(), std::vector<std::string>{"/jour/Kestrafen.ini"});
            EXPECT_NE(server->heads()[0].find("Cache-Control: no-cache"), std::string::npos);
        }
    }
}

} // namespace

namespace {

// A packager's site may have a path, a port or https: the version file is always at the host's root.
TEST(VersionCheckRules, TheVersionFileIsAtTheSitesHostAndTheSiteEndsTheConnectionMessage) {
    const struct {
        const char* site;
        const char* versionFile;
    } sites[]{{"http://www.kestrafen.example/", "http://www.kestrafen.example/jour/Kestrafen.ini"},
              {"https://kestrafen.example.org/logiciel/", "https://kestrafen.example.org/jour/Kestrafen.ini"},
              {"http://127.0.0.1:8642/", "http://127.0.0.1:8642/jour/Kestrafen.ini"}};
    for (const auto& s : sites)
        EXPECT_EQ(update::versionFileUrl(s.site), s.versionFile) << s.site;

    const std::string site = "https://kestrafen.example.org/";
    const struct {
        const char* languageText;
        std::string shown;
    } texts[]{{"Impossible de se connecter au serveur : ", "Impossible de se connecter au serveur : " + site},
              {"Impossible de se connecter au serveur : HTTP://www.kestrafen.fr/",
               "Impossible de se connecter au serveur : " + site},
              {"Unable to connect to the server:", "Unable to connect to the server: " + site},
              {"Server: http-only", "Server: http-only " + site},
              {"", site}};
    for (const auto& t : texts)
        EXPECT_EQ(update::unreachableText(t.languageText, site), t.shown) << t.languageText;
}

} // namespace
