// LoopbackHttpServer.h - a tiny HTTP server on 127.0.0.1 for download tests.
//
// It listens on a free port of the loopback address and answers each
// request from a table of routes: a complete response, a response cut off
// half-way (the connection closes before the announced length), or no
// response at all (the connection stays silent until the server stops).
// Nothing leaves this machine.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace merivac::testing {

class LoopbackHttpServer {
 public:
  struct Route {
    std::string response;                 // status line, headers and body as sent
    size_t sendOnly = std::string::npos;  // close after this many bytes
    bool silent = false;                  // never answer
  };

  LoopbackHttpServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(listener_, 8);
    socklen_t len = sizeof addr;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackHttpServer() {
    stop_ = true;
    thread_.join();
    for (int fd : held_) ::close(fd);
    ::close(listener_);
  }

  // A complete response with this status and body.
  static Route Reply(int status, const std::string& body,
                     const std::string& contentType = "text/plain") {
    const char* reason = status == 200 ? "OK" : status == 404 ? "Not Found" : "Error";
    return Route{"HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Type: " +
                 contentType + "\r\nContent-Length: " + std::to_string(body.size()) +
                 "\r\nConnection: close\r\n\r\n" + body};
  }
  static Route Redirect(const std::string& location) {
    return Route{"HTTP/1.1 302 Found\r\nLocation: " + location +
                 "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"};
  }
  // Announces the whole body but closes after half of it.
  static Route CutOff(const std::string& body) {
    Route r = Reply(200, body);
    r.sendOnly = r.response.size() - body.size() / 2;
    return r;
  }
  static Route Silent() { return Route{"", std::string::npos, true}; }

  void Set(const std::string& path, Route route) {
    std::lock_guard<std::mutex> lock(mutex_);
    routes_[path] = std::move(route);
  }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  int Requests() const { return requests_; }

  // A URL of this machine where nothing listens.
  static std::string DeadUrl(const std::string& path) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + path;
  }

 private:
  void Serve() {
    while (!stop_) {
      pollfd p{listener_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      Answer(fd);
    }
  }

  void Answer(int fd) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 2000) <= 0) break;
      const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      request.append(buffer, static_cast<size_t>(n));
    }
    ++requests_;
    const size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    Route route;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      const auto it = routes_.find(path);
      route = it != routes_.end() ? it->second : Reply(404, "no such file\n");
    }
    if (route.silent) {
      held_.push_back(fd);  // closed when the server stops
      return;
    }
    const size_t n = std::min(route.sendOnly, route.response.size());
    ::send(fd, route.response.data(), n, MSG_NOSIGNAL);
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
  }

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> requests_{0};
  std::mutex mutex_;
  std::map<std::string, Route> routes_;
  std::vector<int> held_;
  std::thread thread_;
};

}  // namespace merivac::testing
