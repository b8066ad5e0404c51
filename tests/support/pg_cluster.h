#pragma once
// A throwaway PostgreSQL cluster for one test: initdb into a temporary folder, the server on a free
// loopback port with its Unix socket in that folder, stopped and removed with the object.
//
//   test::pg_cluster server;
//   server.sql("CREATE DATABASE xkv");
//   auto store = open_results_store(server.uri("xkv"));
//
// The server refuses to run as root: under root the cluster belongs to the system user `postgres`
// (or `nobody`), which runs initdb and the server. Missing server binaries, a failed initdb or a
// server that does not come up throw std::runtime_error with the reason, so the test fails.

#include <string>
#include <sys/types.h>
#include <vector>

namespace xkv::test {

struct pg_cluster_options {
    // pg_hba.conf lines placed before the ones that trust every local and loopback connection.
    std::vector<std::string> hba_lines;
    // Serve TLS with a certificate for localhost and 127.0.0.1, signed by a CA of its own (ca_file()).
    bool tls = false;
};

class pg_cluster {
public:
    explicit pg_cluster(pg_cluster_options options = {});
    ~pg_cluster();
    pg_cluster(const pg_cluster&) = delete;
    pg_cluster& operator=(const pg_cluster&) = delete;

    int port() const { return port_; }
    const std::string& folder() const { return dir_; }
    // postgresql://USER@127.0.0.1:PORT/DB, then `parameters` (e.g. "?sslmode=require") as given.
    std::string uri(const std::string& db = "postgres", const std::string& user = superuser,
                    const std::string& parameters = "") const;
    // The CA that signed the server's certificate (with tls).
    std::string ca_file() const { return dir_ + "/ca.crt"; }

    // Statements (several, separated by ";") run as the superuser over the socket. Throws on error.
    void sql(const std::string& statements, const std::string& db = "postgres") const;
    // The first cell of the answer ("" when none).
    std::string value(const std::string& query, const std::string& db = "postgres") const;

    // Stops the server at once (an immediate shutdown: connections die), as a crash or a pulled
    // plug would look to a station; start() brings it back on the same port.
    void stop();
    void start();
    // Freezes or thaws every server process (SIGSTOP/SIGCONT): a server that holds its connections
    // open and answers nothing.
    void freeze(bool frozen);
    bool running() const { return pid_ > 0; }

    static constexpr const char* superuser = "postgres";

private:
    void run_as_owner(const std::vector<std::string>& argv, const std::string& log) const;
    std::string connection_text(const std::string& db) const;
    void make_certificates() const;

    std::string bin_;
    std::string dir_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    bool switch_user_ = false;
    int port_ = 0;
    pid_t pid_ = -1;
};

} // namespace xkv::test
