// The version check through the Jour button, against a real HTTP server on 127.0.0.1: what the user
// reads, when the browser starts, what the download was asked, and what is left on disk.
#include "AppFixture.h"
#include "support/HttpServer.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <tuple>

using namespace std::chrono_literals;
using testing_support::AppFixture;
using testing_support::httpResponse;
using testing_support::programFolder;

namespace {

const std::string kVersionFile = std::string(programFolder) + "KestrafenJ.ini";
const std::string kBrowser = "C:\\Program Files\\Internet Explorer\\iexplore.exe";
const std::string kOther =
    "Vous n'avez pas la dernière version de Kestrafen. La version la plus récente est la ";
const std::string kLatest = "Vous avez la dernière version de Kestrafen.";
const std::string kSite = update::defaultServer().site;
const std::string kProbe = "C:\\WINDOWS\\Temp\\temp.htm";

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

// What the download was asked (limits, wait shown) and which cached copies it forgot.
struct WatchedDownload : platform::Download {
    WatchedDownload(platform::Download& real, const ui::HeadlessBackend& backend)
        : real(real), backend(backend) {}
    bool toFile(const std::string& url, const std::string& path,
                const platform::DownloadLimits& limits) override {
        calls.push_back({limits.connect, limits.total, backend.busyCursor(), usable ? usable() : -1});
        return real.toFile(url, path, limits);
    }
    void forgetCached(const std::string& url) override {
        forgotten.push_back(url);
        real.forgetCached(url);
    }
    platform::Download& real;
    const ui::HeadlessBackend& backend;
    std::function<int()> usable; // how many of the window's controls take clicks
    std::vector<std::tuple<std::chrono::milliseconds, std::chrono::milliseconds, bool, int>> calls;
    std::vector<std::string> forgotten;
};

// Browser starts, each with the number of messages shown before it.
struct WatchedShell : platform::Shell {
    WatchedShell(platform::Shell& real, const ui::HeadlessBackend& backend) : real(real), backend(backend) {}
    void runCommand(const std::string& parameters) override { real.runCommand(parameters); }
    bool commandRunning() override { return real.commandRunning(); }
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

struct Case {
    const char* name;
    std::optional<std::string> answer; // for /jour/Kestrafen.ini; none: no server; empty: a silent one
    std::vector<std::string> messages; // what the user reads, in order
    int browserAfter = -1;             // messages shown before the browser starts; -1: no browser
    const char* language = "Français";
    std::optional<std::string> stale = std::nullopt; // a KestrafenJ.ini left by an interrupted check
    bool browserKnown = true;                        // the machine knows a program for web pages
    bool readOnlyProbe = false;                      // a read-only temp.htm was left behind
};

struct VersionCheckTest : AppFixture {
    std::optional<WatchedDownload> download;
    std::optional<WatchedShell> shell;

    // The machine as shipped, but for what the case changes.
    void startWith(const Case& c) {
        ordinaryStart(c.language);
        if (c.browserKnown)
            tm.json()["browser"] = kBrowser;
        else
            tm.json().erase("browser");
        if (c.stale)
            tm.write(kVersionFile, *c.stale);
        if (c.readOnlyProbe) {
            tm.write(kProbe, "");
            std::filesystem::permissions(tm.host(kProbe), std::filesystem::perms::owner_read);
        }
        tm.save();
        const platform::Platform real = tm.machine->platform();
        download.emplace(real.download, backend);
        shell.emplace(real.shell, backend);
        platform = std::make_unique<platform::Platform>(platform::Platform{
            real.environment, real.files, real.profile, real.registry, real.systemRestore, *shell,
            real.cabinet, *download, real.process, real.restoreStore, real.programFolder});
        program = std::make_unique<Startup>(app, *platform);
        program->start();
        program->run();
        download->usable = [this] {
            const auto controls = f().mainControls();
            return static_cast<int>(std::ranges::count_if(controls, [](auto* c) { return c->enabled(); }));
        };
        backend.clearMessages();
    }
};

TEST_F(VersionCheckTest, AnswersAsPublishedAndLeavesNothingBehind) {
    const std::string url = update::versionFileUrl(kSite);
    const std::string unreachable = "Impossible de se connecter au serveur : " + kSite;
    const std::string older =
        published("[Kestrafen]\r\nVersion=1.2\r\nMessage=Nouveauté : l'aide en ligne\r\n");
    const std::optional<std::string> noServer;
    const std::vector<Case> cases{
        {"same version", published("[Kestrafen]\r\nVersion=1.3D\r\n"), {kLatest}},
        {"same letters, other case", published("[Kestrafen]\r\nVersion=1.3d\r\n"), {kOther + " 1.3d."}, 1},
        {"older version, then the publisher's words",
         older,
         {kOther + " 1.2.", "Nouveauté : l'aide en ligne"},
         1},
        {"an error page saved in place of the file",
         published("<html><head><title>Introuvable</title></head><body>Erreur</body></html>"),
         {kLatest}},
        {"a refusal of the server", httpResponse("404 Not Found", "<html>absent</html>"), {unreachable}},
        {"no server", noServer, {unreachable}},
        {.name = "a stale file and no server",
         .answer = noServer,
         .messages = {unreachable},
         .stale = "[Kestrafen]\r\nVersion=1.2\r\n"},
        {"a server that never answers", "", {unreachable}},
        {"English, the publisher's words as written",
         older,
         {"You do not have the latest version of Kestrafen. The latest version is  1.2.",
          "Nouveauté : l'aide en ligne"},
         1,
         "English"},
        {.name = "English, same version, the publisher's words",
         .answer = published("[Kestrafen]\r\nVersion=1.3D\r\nMessage=Maintenance dimanche\r\n"),
         .messages = {"You have the latest version of Kestrafen.", "Maintenance dimanche"},
         .language = "English"},
        {.name = "English, no server",
         .answer = noServer,
         .messages = {"Unable to connect to the server: " + kSite},
         .language = "English"},
        {.name = "a read-only temp.htm: no browser, the publisher's words all the same",
         .answer = older,
         .messages = {kOther + " 1.2.", "Nouveauté : l'aide en ligne"},
         .readOnlyProbe = true},
        {.name = "the sample server's file, no program for web pages",
         .answer = httpResponse("200 OK", sampleFile()),
         .messages = {kOther + " 1.4.", "Version d'essai servie par le serveur de démonstration."},
         .browserKnown = false},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        program.reset();
        std::optional<testing_support::HttpServer> server(
            std::in_place, c.answer ? testing_support::HttpAnswers{{"/jour/Kestrafen.ini", *c.answer}}
                                    : testing_support::HttpAnswers{});
        tm.json()["update_server"] = server->url("");
        if (!c.answer)
            server.reset(); // its port is closed again
        startWith(c);
        f().updateServer.limits = {300ms, 1000ms};
        const std::size_t journalBefore = tm.journal().size();

        const auto start = std::chrono::steady_clock::now();
        f().Jour.userClick();
        const auto elapsed = std::chrono::steady_clock::now() - start;

        EXPECT_EQ(backend.messageTexts(), c.messages);
        for (const ui::ShownMessage& m : backend.messages())
            EXPECT_TRUE(m.kind == ui::MessageKind::Plain && !m.busyCursor) << m.text;
        EXPECT_FALSE(backend.busyCursor());
        EXPECT_EQ(download->calls, (decltype(download->calls){{300ms, 1000ms, true, 0}}));
        EXPECT_EQ(download->usable(), 10); // all back once the download is over
        // The cached copy is forgotten once a file was read, and only then.
        const bool read = !c.messages.front().ends_with(kSite);
        EXPECT_EQ(download->forgotten, read ? std::vector<std::string>{url} : std::vector<std::string>{});

        std::vector<std::string> browser, journal = tm.journal(),
                                          expectedJournal{"Download " + url + " -> " + kVersionFile};
        if (c.browserAfter >= 0) {
            browser.push_back(kBrowser + " " + kSite + " after " + std::to_string(c.browserAfter));
            expectedJournal.push_back("ShellExecute " + kBrowser + " " + kSite);
        }
        EXPECT_EQ(shell->starts, browser);
        journal.erase(journal.begin(), journal.begin() + static_cast<std::ptrdiff_t>(journalBefore));
        EXPECT_EQ(journal, expectedJournal);

        EXPECT_FALSE(exists(kVersionFile));
        EXPECT_EQ(exists(kProbe), c.readOnlyProbe); // the user's own file stays
        std::filesystem::remove(tm.host(kProbe));   // read-only or not
        if (c.answer && c.answer->empty()) {
            EXPECT_TRUE(elapsed >= 900ms && elapsed < 3s) << (elapsed / 1ms) << " ms";
        }
        if (server) {
            ASSERT_EQ(server->requests(), std::vector<std::string>{"/jour/Kestrafen.ini"});
            EXPECT_NE(server->heads()[0].find("Cache-Control: no-cache"), std::string::npos);
        }
    }
}

// A packager's site may have a path, a port or https: the version file is always at the host's root.
TEST(VersionCheckRules, TheVersionFileIsAtTheSitesHostAndTheSiteEndsTheConnectionMessage) {
    for (const auto& [site, versionFile] : std::vector<std::pair<std::string, std::string>>{
             {"https://kestrafen.example.org/logiciel/", "https://kestrafen.example.org/jour/Kestrafen.ini"},
             {"http://127.0.0.1:8642/", "http://127.0.0.1:8642/jour/Kestrafen.ini"}})
        EXPECT_EQ(update::versionFileUrl(site), versionFile) << site;

    const std::string site = "https://kestrafen.example.org/";
    for (const auto& [languageText, shown] : std::vector<std::pair<std::string, std::string>>{
             {"Impossible de se connecter au serveur : ", "Impossible de se connecter au serveur : " + site},
             {"Impossible de se connecter au serveur : HTTP://www.kestrafen.fr/",
              "Impossible de se connecter au serveur : " + site},
             {"Unable to connect to the server:", "Unable to connect to the server: " + site},
             {"Server: http-only", "Server: http-only " + site},
             {"", site}})
        EXPECT_EQ(update::unreachableText(languageText, site), shown) << languageText;
}

} // namespace
