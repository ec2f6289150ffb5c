// Downloads against a tiny HTTP server inside the test: what reaches the disk for each answer.
#include "platform/sim/Http.h"
#include "support/HttpServer.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::sim::fetchToFile;
using platform::sim::redirectToServer;
using Answers = testing_support::HttpAnswers;
using TinyHttpServer = testing_support::HttpServer;
using testing_support::httpResponse;

namespace {

class Download : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kestrafen-http-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        target = folder / "KestrafenJ.ini";
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string read() const {
        std::ifstream in(target, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    fs::path folder;
    fs::path target;
};

TEST_F(Download, AnOkAnswerWritesTheWholeBody) {
    std::string body = "[Kestrafen]\r\nVersion=1.3D\r\n";
    for (int i = 0; i < 20000; ++i) {
        body += static_cast<char>(i % 256);
    }
    TinyHttpServer server(Answers{{"/jour/Kestrafen.ini", httpResponse("200 OK", body)}});

    EXPECT_TRUE(fetchToFile(server.url("/jour/Kestrafen.ini"), target));

    EXPECT_EQ(read(), body);
    EXPECT_EQ(files(), std::set<std::string>{"KestrafenJ.ini"});
    EXPECT_EQ(server.requests(), std::vector<std::string>{"/jour/Kestrafen.ini"});
}

TEST_F(Download, ARedirectIsFollowed) {
    TinyHttpServer server(
        Answers{{"/jour/Kestrafen.ini", httpResponse("302 Found", "", "Location: /moved.ini\r\n")},
                {"/moved.ini", httpResponse("200 OK", "[Kestrafen]\r\nVersion=1.4\r\n")}});

    EXPECT_TRUE(fetchToFile(server.url("/jour/Kestrafen.ini"), target));
    EXPECT_EQ(read(), "[Kestrafen]\r\nVersion=1.4\r\n");
}

TEST_F(Download, AnErrorStatusWritesNothingAndKeepsAnOlderFile) {
    TinyHttpServer server(Answers{{"/broken.ini", httpResponse("500 Internal Server Error", "oops")}});

    EXPECT_FALSE(fetchToFile(server.url("/jour/Kestrafen.ini"), target));
    EXPECT_EQ(files(), std::set<std::string>{});

    std::ofstream(target) << "older";
    EXPECT_FALSE(fetchToFile(server.url("/jour/Kestrafen.ini"), target));
    EXPECT_FALSE(fetchToFile(server.url("/broken.ini"), target));
    EXPECT_EQ(read(), "older");
    EXPECT_EQ(files(), std::set<std::string>{"KestrafenJ.ini"});
}

TEST_F(Download, AConnectionClosedBeforeTheEndOfTheBodyWritesNothing) {
    // Announces 1000 bytes and sends 10.
    TinyHttpServer server(
        Answers{{"/jour/Kestrafen.ini", "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n[Kestrafen"}});

    EXPECT_FALSE(fetchToFile(server.url("/jour/Kestrafen.ini"), target));
    EXPECT_EQ(files(), std::set<std::string>{});
}

TEST_F(Download, NoServerFailsQuickly) {
    std::string url;
    {
        TinyHttpServer gone(Answers{});
        url = gone.url("/jour/Kestrafen.ini");
    }
    const auto start = std::chrono::steady_clock::now();

    EXPECT_FALSE(fetchToFile(url, target));

    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_EQ(files(), std::set<std::string>{});
}

TEST_F(Download, ASilentServerIsGivenUpAfterTheTimeout) {
    TinyHttpServer server(Answers{{"/jour/Kestrafen.ini", ""}});
    const auto start = std::chrono::steady_clock::now();

    EXPECT_FALSE(fetchToFile(server.url("/jour/Kestrafen.ini"), target, {300ms, 300ms}));

    // It waited for the server rather than giving up at once; the transfer's own timer may fire a
    // hair before ours reads 300 ms, so the floor leaves it some slack.
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 250ms);
    EXPECT_LT(elapsed, 5s);
    EXPECT_EQ(files(), std::set<std::string>{});
}

TEST_F(Download, AMissingTargetFolderFails) {
    TinyHttpServer server(Answers{{"/jour/Kestrafen.ini", httpResponse("200 OK", "x")}});
    EXPECT_FALSE(fetchToFile(server.url("/jour/Kestrafen.ini"), folder / "missing" / "KestrafenJ.ini"));
}

TEST(UpdateServer, TakesTheRequestAndKeepsItsPath) {
    const std::string server = "http://127.0.0.1:8642";
    EXPECT_EQ(redirectToServer("http://www.kestrafen.example/jour/Kestrafen.ini", server),
              "http://127.0.0.1:8642/jour/Kestrafen.ini");
    EXPECT_EQ(redirectToServer("HTTPS://user@www.kestrafen.example:8443/a/b?x=1&y=2", server),
              "http://127.0.0.1:8642/a/b?x=1&y=2");
    EXPECT_EQ(redirectToServer("http://www.kestrafen.example", server), "http://127.0.0.1:8642/");
    EXPECT_EQ(redirectToServer("http://www.kestrafen.example?v=1", server), "http://127.0.0.1:8642/?v=1");
    EXPECT_EQ(redirectToServer("http://www.kestrafen.example/x", "http://10.0.0.1:80/"),
              "http://10.0.0.1:80/x");
}

TEST(UpdateServer, RefusesOtherSchemes) {
    for (const char* url : {"file:///etc/passwd", "ftp://www.kestrafen.example/jour/Kestrafen.ini",
                            "jour/Kestrafen.ini", "http:/www.kestrafen.example/x", ""}) {
        EXPECT_EQ(redirectToServer(url, "http://127.0.0.1:8642"), std::nullopt) << url;
    }
}

// The program asks for its real update host; the machine sends the request to its own server.
TEST(MachineDownload, GoesToTheMachinesUpdateServerAndIsJournalled) {
    TinyHttpServer server(
        Answers{{"/jour/Kestrafen.ini", httpResponse("200 OK", "[Kestrafen]\r\nVersion=1.4\r\n")}});
    testing_support::TestMachine tm(testing_support::TestMachine::Start::Bare);
    tm.json()["update_server"] = server.url("");
    tm.save();
    const std::string url = "http://www.kestrafen.example/jour/Kestrafen.ini";
    auto& download = tm.machine->platform().download;

    const platform::DownloadLimits limits{1s, 5s};
    EXPECT_TRUE(download.toFile(url, "C:\\Program Files\\Kestrafen\\KestrafenJ.ini", limits));
    download.forgetCached(url);
    EXPECT_FALSE(download.toFile("http://www.kestrafen.example/jour/absent.ini", "absent.ini", limits));

    EXPECT_EQ(tm.read("C:\\Program Files\\Kestrafen\\KestrafenJ.ini"), "[Kestrafen]\r\nVersion=1.4\r\n");
    EXPECT_FALSE(fs::exists(tm.host("C:\\Program Files\\Kestrafen\\absent.ini")));
    EXPECT_EQ(server.requests(), (std::vector<std::string>{"/jour/Kestrafen.ini", "/jour/absent.ini"}));
    EXPECT_EQ(tm.journal(), (std::vector<std::string>{"Download " + url +
                                                          " -> C:\\Program Files\\Kestrafen\\KestrafenJ.ini",
                                                      "Download http://www.kestrafen.example/jour/absent.ini "
                                                      "-> C:\\Program Files\\Kestrafen\\absent.ini"}));
}

} // namespace
