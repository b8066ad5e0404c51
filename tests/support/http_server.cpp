#include "support/http_server.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace xkv::test {

namespace {

int bound_loopback_socket(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        throw std::runtime_error("bind failed");
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

void send_all(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

} // namespace

http_server::http_server() {
    listen_fd_ = bound_loopback_socket(port_);
    if (::listen(listen_fd_, 16) != 0 || ::pipe2(wake_pipe_, O_CLOEXEC) != 0) {
        ::close(listen_fd_);
        throw std::runtime_error("listen failed");
    }
    thread_ = std::thread([this] { serve(); });
}

http_server::~http_server() {
    const char stop = 'x';
    [[maybe_unused]] const auto n = ::write(wake_pipe_[1], &stop, 1);
    thread_.join();
    for (const int fd : held_) ::close(fd);
    ::close(listen_fd_);
    ::close(wake_pipe_[0]);
    ::close(wake_pipe_[1]);
}

std::string http_server::host() const { return "http://127.0.0.1:" + std::to_string(port_); }

void http_server::set_answer(const std::string& path, answer a) {
    std::lock_guard lock(mutex_);
    answers_[path] = std::move(a);
}

std::vector<http_server::request> http_server::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void http_server::serve() {
    for (;;) {
        pollfd fds[2] = {{listen_fd_, POLLIN, 0}, {wake_pipe_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        if (fds[0].revents & POLLIN) {
            const int client = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) handle(client);
        }
    }
}

void http_server::handle(int client) {
    std::string head;
    char buf[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        pollfd p{client, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) break;
        const ssize_t n = ::recv(client, buf, sizeof buf, 0);
        if (n <= 0) break;
        head.append(buf, static_cast<std::size_t>(n));
    }

    request req;
    std::size_t line_end = head.find("\r\n");
    const std::string first = head.substr(0, line_end);
    const auto sp1 = first.find(' ');
    const auto sp2 = first.find(' ', sp1 + 1);
    if (sp1 != std::string::npos) req.path = first.substr(sp1 + 1, sp2 - sp1 - 1);
    while (line_end != std::string::npos) {
        const std::size_t next = head.find("\r\n", line_end + 2);
        const std::string line = head.substr(line_end + 2, next - line_end - 2);
        if (line.empty()) break;
        if (const auto colon = line.find(':'); colon != std::string::npos)
            req.headers[lower(line.substr(0, colon))] = trimmed(line.substr(colon + 1));
        line_end = next;
    }

    answer a{404, "not found", {}};
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(req);
        if (const auto it = answers_.find(req.path); it != answers_.end()) a = it->second;
    }
    if (silent_) {
        held_.push_back(client);
        return;
    }
    std::string reply = "HTTP/1.1 " + std::to_string(a.status) +
                        " X\r\nContent-Length: " + std::to_string(a.body.size()) + "\r\nConnection: close\r\n";
    for (const auto& h : a.headers) reply += h + "\r\n";
    reply += "\r\n" + a.body;
    send_all(client, reply);
    ::shutdown(client, SHUT_WR);
    ::close(client);
}

std::string closed_http_host() {
    int port = 0;
    const int fd = bound_loopback_socket(port);
    ::close(fd); // bound but never listening: nothing answers on this port now
    return "http://127.0.0.1:" + std::to_string(port);
}

} // namespace xkv::test
