// Downloads through Wine's urlmon from the script's HTTP server on 127.0.0.1, a listener of the
// test's own that never answers, and the whole version check of the program against them.
#include "Scratch.h" // with windows.h, and through it the sockets of winsock.h
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "ui/Application.h"
#include "ui/HeadlessBackend.h"
#include "update/VersionCheck.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>

using namespace std::chrono_literals;
using platform::win32::Win32Download;
using platform::win32::Win32FileSystem;
using testing_support::Scratch;

namespace {

int ticks = 0;
void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    ++ticks;
}

// A listener on 127.0.0.1 of the test's own. Silent, it takes connections (the system completes
// them) and never answers; given a reply, it answers the first request with it and keeps the
// request's head.
class LoopbackServer {
public:
    explicit LoopbackServer(std::string reply = "") : reply_(std::move(reply)) {
        WSADATA data;
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (socket_ != INVALID_SOCKET &&
            ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            ::listen(socket_, 8) == 0 &&
            ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
        if (port_ && !reply_.empty())
            thread_ = CreateThread(nullptr, 0, &LoopbackServer::answer, this, 0, nullptr);
    }
    ~LoopbackServer() {
        if (socket_ != INVALID_SOCKET)
            closesocket(socket_); // ends a wait for a connection that never came
        if (thread_) {
            WaitForSingleObject(thread_, 10000);
            CloseHandle(thread_);
        }
        if (started_)
            WSACleanup();
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // "http://127.0.0.1:<port>/", or empty when it could not listen.
    std::string site() const { return port_ ? "http://127.0.0.1:" + std::to_string(port_) + "/" : ""; }
    // The request line and headers received; read once the download has ended.
    const std::string& head() const { return head_; }

private:
    static DWORD WINAPI answer(void* self) {
        auto* server = static_cast<LoopbackServer*>(self);
        const SOCKET client = ::accept(server->socket_, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            return 0;
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const int got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0)
                break;
            request.append(buffer, static_cast<std::size_t>(got));
        }
        server->head_ = request.substr(0, request.find("\r\n\r\n"));
        ::send(client, server->reply_.data(), static_cast<int>(server->reply_.size()), 0);
        closesocket(client);
        return 0;
    }

    std::string reply_;
    std::string head_;
    bool started_ = false;
    SOCKET socket_ = INVALID_SOCKET;
    int port_ = 0;
    HANDLE thread_ = nullptr;
};

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        server = testing_support::scriptSetting("KESTRAFEN_HTTP_URL");
        served = testing_support::scriptSetting("KESTRAFEN_HTTP_ROOT");
        if (server.empty() || served.empty())
            GTEST_SKIP() << "run by wine_test.sh, which starts the server";
        files.createFolder(served + "jour");
    }
    void publish(const std::string& content) { files.writeFile(served + "jour\\Kestrafen.ini", content); }

    const platform::DownloadLimits limits{5s, 20s};
    std::string server, served;
    Win32Download download;
    Win32FileSystem files;
    Scratch scratch;
};

} // namespace

TEST_F(DownloadTest, FetchesAFileAndFetchesItAgainOnceForgotten) {
    publish("[Kestrafen]\r\nVersion=1.3D\r\n");
    const std::string url = server + "jour/Kestrafen.ini";
    const std::string target = scratch.path() + "KestrafenJ.ini";
    ASSERT_TRUE(download.toFile(url, target, limits));
    EXPECT_EQ(files.readFile(target), "[Kestrafen]\r\nVersion=1.3D\r\n");

    publish("[Kestrafen]\r\nVersion=1.4\r\n");
    download.forgetCached(url);
    files.deleteFile(target);
    ASSERT_TRUE(download.toFile(url, target, limits));
    EXPECT_EQ(files.readFile(target), "[Kestrafen]\r\nVersion=1.4\r\n");
}

TEST_F(DownloadTest, TheRequestTellsCachesOnTheWayToAskTheServer) {
    const std::string body = "[Kestrafen]\r\nVersion=1.4\r\n";
    LoopbackServer server("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                          "\r\nConnection: close\r\n\r\n" + body);
    ASSERT_FALSE(server.site().empty());
    const std::string target = scratch.path() + "KestrafenJ.ini";
    ASSERT_TRUE(download.toFile(server.site() + "jour/Kestrafen.ini", target, limits));
    EXPECT_EQ(files.readFile(target), body);
    EXPECT_EQ(server.head().rfind("GET /jour/Kestrafen.ini HTTP/1.1\r\n", 0), 0u) << server.head();
    EXPECT_NE(server.head().find("Cache-Control: no-cache\r\n"), std::string::npos) << server.head();
    EXPECT_NE(server.head().find("Pragma: no-cache"), std::string::npos) << server.head();
}

TEST_F(DownloadTest, AnAbsentOrSilentServerGivesNoFileWithinTheLimit) {
    const std::string target = scratch.path() + "KestrafenJ.ini";
    // Port 9 on the loopback address: nothing listens there.
    EXPECT_FALSE(download.toFile("http://127.0.0.1:9/jour/Kestrafen.ini", target, limits));
    EXPECT_FALSE(files.fileExists(target));

    LoopbackServer silent;
    ASSERT_FALSE(silent.site().empty());
    // The window's timers (and paints) go on while it waits.
    ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, tick);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(download.toFile(silent.site() + "jour/Kestrafen.ini", target, {500ms, 1500ms}));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    KillTimer(nullptr, timer);
    EXPECT_GE(elapsed, 1400ms);
    EXPECT_LT(elapsed, 5s);
    EXPECT_GE(ticks, 5);
    EXPECT_FALSE(files.fileExists(target));
}

// The Jour button of the program on the real services: the answer, the publisher's words, and
// neither the version file nor the browser probe left behind; a silent server within the limit.
TEST_F(DownloadTest, TheVersionCheckAnswersAndCleansUp) {
    files.writeFile(scratch.path() + "Kestrafen.ini", "[Kestrafen]\r\nLangue=Fran\xe7"
                                                      "ais\r\n");
    platform::win32::Win32Platform machine(scratch.path());
    platform::Platform platform = machine.platform();
    ui::HeadlessBackend backend;
    ui::Application app(backend);
    Startup program(app, platform);
    program.start();
    MainWindow& window = program.mainWindow();
    const std::string versionFile = scratch.path() + "KestrafenJ.ini";

    publish("[Kestrafen]\r\nVersion=1.3D\r\nMessage=Bonne journ\xe9"
            "e\r\n");
    files.writeFile(versionFile, "[Kestrafen]\r\nVersion=1.2\r\n"); // left by an interrupted check
    window.updateServer = {server, limits};
    backend.clearMessages();
    app.dispatch([&] { window.JourClick(); });
    EXPECT_EQ(backend.messageTexts(),
              (std::vector<std::string>{"Vous avez la dernière version de Kestrafen.", "Bonne journée"}));
    EXPECT_FALSE(files.fileExists(versionFile));

    LoopbackServer silent;
    ASSERT_FALSE(silent.site().empty());
    window.updateServer = {silent.site(), {500ms, 1500ms}};
    files.writeFile(versionFile, "[Kestrafen]\r\nVersion=1.2\r\n");
    backend.clearMessages();
    const auto start = std::chrono::steady_clock::now();
    app.dispatch([&] { window.JourClick(); });
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(backend.messageTexts(),
              std::vector<std::string>{"Impossible de se connecter au serveur : " + silent.site()});
    EXPECT_FALSE(files.fileExists(versionFile));

    // The browser lookup leaves no probe in the temporary folder (it finds no program: a fresh Wine
    // prefix names none for web pages).
    update::findBrowser(files, platform.shell);
    EXPECT_FALSE(files.fileExists(files.tempFolder() + "temp.htm"));
}
