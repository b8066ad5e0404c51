#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests: one thread, one request per connection, answers
// set per path, every request recorded with its headers.

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace xkv::test {

class http_server {
public:
    struct answer {
        int status = 200;
        std::string body;
        std::vector<std::string> headers; // extra header lines, e.g. "Set-Cookie: s=1"
    };
    struct request {
        std::string path;
        std::map<std::string, std::string> headers; // names in lower case
    };

    http_server(); // listening on an ephemeral port; throws std::runtime_error when it cannot
    ~http_server();
    http_server(const http_server&) = delete;
    http_server& operator=(const http_server&) = delete;

    // "http://127.0.0.1:<port>"
    std::string host() const;

    // Unknown paths get 404.
    void set_answer(const std::string& path, answer a);
    // Accept connections but never answer (for time-outs).
    void set_silent(bool silent) { silent_ = silent; }

    std::vector<request> requests() const;

private:
    void serve();
    void handle(int client);

    int listen_fd_ = -1;
    int wake_pipe_[2] = {-1, -1};
    int port_ = 0;
    std::atomic<bool> silent_{false};
    mutable std::mutex mutex_;
    std::map<std::string, answer> answers_;
    std::vector<request> requests_;
    std::vector<int> held_; // connections of a silent server, closed at the end
    std::thread thread_;
};

// A loopback address on which nothing listens (connections are refused).
std::string closed_http_host();

} // namespace xkv::test
