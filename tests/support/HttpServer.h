#pragma once
// A tiny HTTP server on 127.0.0.1, on a port of the system's choosing, inside the test: each path
// gets its raw answer, unknown paths a 404. An empty answer means "say nothing and hold the
// connection until the server stops". One connection at a time.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

inline std::string httpResponse(const std::string& status, const std::string& body,
                                const std::string& headers = "") {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

using HttpAnswers = std::map<std::string, std::string>; // path -> raw answer

class HttpServer {
public:
    explicit HttpServer(HttpAnswers answers) : answers_(std::move(answers)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_, 8) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            ::close(listener_);
            throw std::runtime_error("test server cannot listen");
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~HttpServer() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    // "http://127.0.0.1:<port>" followed by path.
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    // The whole head of each request (request line and headers), in order.
    std::vector<std::string> heads() {
        std::lock_guard lock(mutex_);
        return heads_;
    }
    // The paths asked for, in order.
    std::vector<std::string> requests() {
        std::vector<std::string> paths;
        for (const std::string& head : heads())
            paths.push_back(requestPath(head));
        return paths;
    }

private:
    static std::string requestPath(const std::string& head) {
        const auto start = head.find(' ') + 1;
        return head.substr(start, head.find(' ', start) - start);
    }
    bool readable(int fd) const {
        pollfd poller{fd, POLLIN, 0};
        return ::poll(&poller, 1, 20) > 0;
    }

    void serve() {
        while (!stop_) {
            const int client = readable(listener_) ? ::accept(listener_, nullptr, nullptr) : -1;
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
            if (!readable(client))
                continue;
            const auto got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0)
                return;
            request.append(buffer, static_cast<std::size_t>(got));
        }
        const std::string head = request.substr(0, request.find("\r\n\r\n"));
        {
            std::lock_guard lock(mutex_);
            heads_.push_back(head);
        }
        const auto found = answers_.find(requestPath(head));
        const std::string reply =
            found == answers_.end() ? httpResponse("404 Not Found", "no such page") : found->second;
        while (reply.empty() && !stop_)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
    }

    HttpAnswers answers_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> heads_;
    std::thread thread_;
};

} // namespace testing_support
