#include "support/pg_cluster.h"

#include <libpq-fe.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace xkv::test {

namespace {

bool has_server_programs(const fs::path& dir) {
    return ::access((dir / "initdb").c_str(), X_OK) == 0 && ::access((dir / "postgres").c_str(), X_OK) == 0;
}

// The newest /usr/lib/postgresql/<version>/bin (the Debian package's place), then /usr/local/bin.
std::string server_bin_dir() {
    std::vector<fs::path> candidates;
    std::error_code ec;
    for (const auto& version : fs::directory_iterator("/usr/lib/postgresql", ec))
        candidates.push_back(version.path() / "bin");
    std::sort(candidates.begin(), candidates.end(), [](const fs::path& a, const fs::path& b) {
        const auto number = [](const fs::path& p) { return std::atoi(p.parent_path().filename().c_str()); };
        return number(a) > number(b);
    });
    candidates.emplace_back("/usr/local/bin");
    for (const fs::path& dir : candidates)
        if (has_server_programs(dir)) return dir.string();
    throw std::runtime_error(
        "pg_cluster: no PostgreSQL server programs (initdb, postgres) in /usr/lib/postgresql/*/bin "
        "or /usr/local/bin; install the postgresql package (scripts/install-deps.sh)");
}

int free_loopback_port() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) throw std::runtime_error("pg_cluster: socket: " + std::string(std::strerror(errno)));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        throw std::runtime_error("pg_cluster: no free loopback port: " + std::string(std::strerror(errno)));
    }
    ::close(fd);
    return ntohs(address.sin_port);
}

std::string tail_of(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    return all.size() > 2000 ? all.substr(all.size() - 2000) : all;
}

struct conn_closer {
    void operator()(PGconn* c) const { PQfinish(c); }
};
struct result_closer {
    void operator()(PGresult* r) const { PQclear(r); }
};

// Waits for a child for at most `limit`; true when it ended.
bool wait_child(pid_t pid, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno == ECHILD)) return true;
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace

pg_cluster::pg_cluster(pg_cluster_options options) : bin_(server_bin_dir()) {
    std::string pattern = (fs::temp_directory_path() / "xkv-pg-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("pg_cluster: mkdtemp: " + std::string(std::strerror(errno)));
    dir_ = pattern;
    uid_ = ::geteuid();
    gid_ = ::getegid();
    if (uid_ == 0) {
        // The server will not run as root: the cluster is an unprivileged system user's.
        const passwd* owner = ::getpwnam("postgres");
        if (!owner) owner = ::getpwnam("nobody");
        if (!owner)
            throw std::runtime_error("pg_cluster: running as root, and no user postgres or nobody to own the cluster");
        uid_ = owner->pw_uid;
        gid_ = owner->pw_gid;
        switch_user_ = true;
        if (::chown(dir_.c_str(), uid_, gid_) != 0)
            throw std::runtime_error("pg_cluster: chown " + dir_ + ": " + std::strerror(errno));
    }
    ::chmod(dir_.c_str(), 0700);
    try {
        run_as_owner(
            {bin_ + "/initdb", "-D", dir_ + "/data", "-N", "-A", "trust", "-U", superuser, "-E", "UTF8", "--no-locale"},
            dir_ + "/initdb.log");
        std::string hba;
        for (const std::string& line : options.hba_lines) hba += line + "\n";
        hba += "local all all trust\nhost all all 127.0.0.1/32 trust\n";
        std::string conf = "listen_addresses = '127.0.0.1'\nunix_socket_directories = '" + dir_ +
                           "'\nshared_buffers = 32MB\nfsync = off\n";
        if (options.tls) {
            make_certificates();
            conf += "ssl = on\nssl_cert_file = '" + dir_ + "/server.crt'\nssl_key_file = '" + dir_ + "/server.key'\n";
        }
        std::ofstream(dir_ + "/data/pg_hba.conf") << hba;
        std::ofstream(dir_ + "/data/postgresql.auto.conf", std::ios::app) << conf;
        start();
    } catch (...) {
        std::error_code ec;
        fs::remove_all(dir_, ec);
        throw;
    }
}

pg_cluster::~pg_cluster() {
    if (pid_ > 0) stop();
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

std::string pg_cluster::uri(const std::string& db, const std::string& user, const std::string& parameters) const {
    return "postgresql://" + user + "@127.0.0.1:" + std::to_string(port_) + "/" + db + parameters;
}

std::string pg_cluster::connection_text(const std::string& db) const {
    return "host=" + dir_ + " port=" + std::to_string(port_) + " user=" + superuser + " dbname=" + db +
           " connect_timeout=10";
}

void pg_cluster::run_as_owner(const std::vector<std::string>& argv, const std::string& log) const {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("pg_cluster: fork: " + std::string(std::strerror(errno)));
    if (child == 0) {
        const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        if (switch_user_ && (::setgroups(0, nullptr) != 0 || ::setgid(gid_) != 0 || ::setuid(uid_) != 0)) ::_exit(126);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("pg_cluster: " + argv[0] + " failed:\n" + tail_of(log));
}

void pg_cluster::make_certificates() const {
    // A CA of the test's own, and a server certificate it signed for the names a station may use.
    const std::string d = dir_ + "/";
    std::ofstream(d + "san.cnf") << "subjectAltName=DNS:localhost,IP:127.0.0.1\n";
    const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    const std::string commands = "cd " + d + " && openssl req -x509" + key +
                                 " -days 2 -subj /CN=xkv-test-ca -keyout ca.key -out ca.crt && openssl req" + key +
                                 " -subj /CN=localhost -keyout server.key -out server.csr && openssl x509 -req -in "
                                 "server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -days 2 -extfile san.cnf "
                                 "-out server.crt";
    if (std::system(("(" + commands + ") > " + d + "openssl.log 2>&1").c_str()) != 0)
        throw std::runtime_error("pg_cluster: openssl failed:\n" + tail_of(d + "openssl.log"));
    // The server takes only a key that its own user alone may read.
    if (::chown((d + "server.key").c_str(), uid_, gid_) != 0 || ::chmod((d + "server.key").c_str(), 0600) != 0)
        throw std::runtime_error("pg_cluster: the server key's owner: " + std::string(std::strerror(errno)));
}

void pg_cluster::start() {
    if (pid_ > 0) return;
    const std::string log = dir_ + "/server.log";
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (port_ == 0 || attempt > 0) port_ = free_loopback_port();
        std::vector<std::string> argv = {bin_ + "/postgres", "-D", dir_ + "/data", "-p", std::to_string(port_)};
        std::vector<char*> args;
        for (std::string& a : argv) args.push_back(a.data());
        args.push_back(nullptr);
        const pid_t child = ::fork();
        if (child < 0) throw std::runtime_error("pg_cluster: fork: " + std::string(std::strerror(errno)));
        if (child == 0) {
            const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (fd >= 0) {
                ::dup2(fd, 1);
                ::dup2(fd, 2);
            }
            if (switch_user_ && (::setgroups(0, nullptr) != 0 || ::setgid(gid_) != 0 || ::setuid(uid_) != 0))
                ::_exit(126);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        pid_ = child;
        const std::string ping = connection_text("postgres");
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < until) {
            if (PQping(ping.c_str()) == PQPING_OK) return;
            int status = 0;
            if (::waitpid(child, &status, WNOHANG) == child) {
                pid_ = -1;
                break; // ended: its port was taken, say; another try on another port
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (pid_ > 0) {
            stop();
            break;
        }
    }
    throw std::runtime_error("pg_cluster: the server did not start:\n" + tail_of(log));
}

void pg_cluster::stop() {
    if (pid_ <= 0) return;
    freeze(false);
    ::kill(pid_, SIGQUIT); // immediate shutdown: the server drops every connection and ends
    if (!wait_child(pid_, std::chrono::seconds(10))) {
        ::kill(pid_, SIGKILL);
        wait_child(pid_, std::chrono::seconds(5));
    }
    pid_ = -1;
}

void pg_cluster::freeze(bool frozen) {
    if (pid_ <= 0) return;
    const int signal = frozen ? SIGSTOP : SIGCONT;
    // The server's own processes are the children of its first one.
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 2));
        std::string state;
        pid_t parent = 0;
        rest >> state >> parent;
        if (parent == pid_) ::kill(std::stoi(name), signal);
    }
    ::kill(pid_, signal);
}

void pg_cluster::sql(const std::string& statements, const std::string& db) const {
    const std::unique_ptr<PGconn, conn_closer> c(PQconnectdb(connection_text(db).c_str()));
    if (PQstatus(c.get()) != CONNECTION_OK)
        throw std::runtime_error("pg_cluster: connect: " + std::string(PQerrorMessage(c.get())));
    const std::unique_ptr<PGresult, result_closer> r(PQexec(c.get(), statements.c_str()));
    const ExecStatusType status = PQresultStatus(r.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw std::runtime_error("pg_cluster: " + statements + ": " + PQerrorMessage(c.get()));
}

std::string pg_cluster::value(const std::string& query, const std::string& db) const {
    const std::unique_ptr<PGconn, conn_closer> c(PQconnectdb(connection_text(db).c_str()));
    if (PQstatus(c.get()) != CONNECTION_OK)
        throw std::runtime_error("pg_cluster: connect: " + std::string(PQerrorMessage(c.get())));
    const std::unique_ptr<PGresult, result_closer> r(PQexec(c.get(), query.c_str()));
    if (PQresultStatus(r.get()) != PGRES_TUPLES_OK)
        throw std::runtime_error("pg_cluster: " + query + ": " + PQerrorMessage(c.get()));
    return PQntuples(r.get()) > 0 ? PQgetvalue(r.get(), 0, 0) : "";
}

} // namespace xkv::test
