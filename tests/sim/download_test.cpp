// Downloads against a tiny HTTP server inside the test: what reaches the disk for each answer.
#include "platform/sim/Http.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::sim::fetchToFile;
using platform::sim::redirectToServer;

namespace {

std::string response(const std::string& status, const std::string& body, const std::string& headers = "") {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

using Answers = std::map<std::string, std::string>; // path -> raw answer

// Serves one connection at a time on 127.0.0.1: each path gets its raw answer, unknown paths a 404.
// An empty answer means "say nothing and hold the connection until the server stops".
class TinyHttpServer {
public:
    explicit TinyHttpServer(Answers answers) : answers_(std::move(answers)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_, 8) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("test server cannot listen");
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~TinyHttpServer() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }

    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::vector<std::string> requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    bool readable(int fd) const {
        pollfd poller{fd, POLLIN, 0};
        return ::poll(&poller, 1, 20) > 0;
    }

    void serve() {
        while (!stop_) {
            if (!readable(listener_)) {
                continue;
            }
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client >= 0) {
                answer(client);
                ::close(client);
            }
        }
    }

    void answer(int client) {
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && !stop_) {
            if (!readable(client)) {
                continue;
            }
            const auto got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) {
                return;
            }
            request.append(buffer, static_cast<std::size_t>(got));
        }
        const auto pathStart = request.find(' ') + 1;
        const std::string path = request.substr(pathStart, request.find(' ', pathStart) - pathStart);
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(path);
        }
        const auto found = answers_.find(path);
        const std::string reply =
            found == answers_.end() ? response("404 Not Found", "no such page") : found->second;
        if (reply.empty()) {
            while (!stop_) {
                std::this_thread::sleep_for(10ms);
            }
            return;
        }
        ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
    }

    Answers answers_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

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
    TinyHttpServer server(Answers{{"/jour/Kestrafen.ini", response("200 OK", body)}});

    EXPECT_TRUE(fetchToFile(server.url("/jour/Kestrafen.ini"), target));

    EXPECT_EQ(read(), body);
    EXPECT_EQ(files(), std::set<std::string>{"KestrafenJ.ini"});
    EXPECT_EQ(server.requests(), std::vector<std::string>{"/jour/Kestrafen.ini"});
}

TEST_F(Download, ARedirectIsFollowed) {
    TinyHttpServer server(
        Answers{{"/jour/Kestrafen.ini", response("302 Found", "", "Location: /moved.ini\r\n")},
                {"/moved.ini", response("200 OK", "[Kestrafen]\r\nVersion=1.4\r\n")}});

    EXPECT_TRUE(fetchToFile(server.url("/jour/Kestrafen.ini"), target));
    EXPECT_EQ(read(), "[Kestrafen]\r\nVersion=1.4\r\n");
}

TEST_F(Download, AnErrorStatusWritesNothingAndKeepsAnOlderFile) {
    TinyHttpServer server(Answers{{"/broken.ini", response("500 Internal Server Error", "oops")}});

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

    EXPECT_FALSE(fetchToFile(server.url("/jour/Kestrafen.ini"), target, 300ms));

    // It waited for the server rather than giving up at once; the transfer's own timer may fire a
    // hair before ours reads 300 ms, so the floor leaves it some slack.
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 250ms);
    EXPECT_LT(elapsed, 5s);
    EXPECT_EQ(files(), std::set<std::string>{});
}

TEST_F(Download, AMissingTargetFolderFails) {
    TinyHttpServer server(Answers{{"/jour/Kestrafen.ini", response("200 OK", "x")}});
    EXPECT_FALSE(fetchToFile(server.url("/jour/Kestrafen.ini"), folder / "missing" / "KestrafenJ.ini"));
}

TEST(UpdateServer, TakesTheRequestAndKeepsItsPath) {
    const std::string server = "http://127.0.0.1:8642";
    EXPECT_EQ(redirectToServer("http://www.kestrafen.fr/jour/Kestrafen.ini", server),
              "http://127.0.0.1:8642/jour/Kestrafen.ini");
    EXPECT_EQ(redirectToServer("HTTPS://user@www.kestrafen.fr:8443/a/b?x=1&y=2", server),
              "http://127.0.0.1:8642/a/b?x=1&y=2");
    EXPECT_EQ(redirectToServer("http://www.kestrafen.fr", server), "http://127.0.0.1:8642/");
    EXPECT_EQ(redirectToServer("http://www.kestrafen.fr?v=1", server), "http://127.0.0.1:8642/?v=1");
    EXPECT_EQ(redirectToServer("http://www.kestrafen.fr/x", "http://10.0.0.1:80/"), "http://10.0.0.1:80/x");
}

TEST(UpdateServer, RefusesOtherSchemes) {
    for (const char* url : {"file:///etc/passwd", "ftp://www.kestrafen.fr/jour/Kestrafen.ini",
                            "jour/Kestrafen.ini", "http:/www.kestrafen.fr/x", ""}) {
        EXPECT_EQ(redirectToServer(url, "http://127.0.0.1:8642"), std::nullopt) << url;
    }
}

// The program asks for its real update host; the machine sends the request to its own server.
TEST(MachineDownload, GoesToTheMachinesUpdateServerAndIsJournalled) {
    TinyHttpServer server(
        Answers{{"/jour/Kestrafen.ini", response("200 OK", "[Kestrafen]\r\nVersion=1.4\r\n")}});
    testing_support::TestMachine tm(testing_support::TestMachine::Start::Bare);
    tm.json()["update_server"] = server.url("");
    tm.save();
    const std::string url = "http://www.kestrafen.fr/jour/Kestrafen.ini";
    auto& download = tm.machine->platform().download;

    EXPECT_TRUE(download.toFile(url, "C:\\Program Files\\Kestrafen\\KestrafenJ.ini"));
    download.forgetCached(url);
    EXPECT_FALSE(download.toFile("http://www.kestrafen.fr/jour/absent.ini", "absent.ini"));

    EXPECT_EQ(tm.read("C:\\Program Files\\Kestrafen\\KestrafenJ.ini"), "[Kestrafen]\r\nVersion=1.4\r\n");
    EXPECT_FALSE(fs::exists(tm.host("C:\\Program Files\\Kestrafen\\absent.ini")));
    EXPECT_EQ(server.requests(), (std::vector<std::string>{"/jour/Kestrafen.ini", "/jour/absent.ini"}));
    EXPECT_EQ(
        tm.journal(),
        (std::vector<std::string>{
            "Download " + url + " -> C:\\Program Files\\Kestrafen\\KestrafenJ.ini",
            "Download http://www.kestrafen.fr/jour/absent.ini -> C:\\Program Files\\Kestrafen\\absent.ini"}));
}

} // namespace
