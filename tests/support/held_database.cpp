#include "support/held_database.h"

#include "results/t_sqlite.h"

#include <csignal>
#include <stdexcept>

#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace xkv::test {

held_database::held_database(const std::string& path) {
    int ready[2], go[2];
    if (::pipe(ready) != 0) throw std::runtime_error("held_database: pipe failed");
    if (::pipe(go) != 0) throw std::runtime_error("held_database: pipe failed");
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("held_database: fork failed");
    if (pid_ == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::close(ready[0]);
        ::close(go[1]);
        try {
            t_sqlite db(path, 0);
            db.execute("BEGIN EXCLUSIVE");
            (void)!::write(ready[1], "1", 1);
            char byte;
            while (::read(go[0], &byte, 1) > 0) {} // until the test closes its end
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0); // the lock goes with the process
    }
    ::close(ready[1]);
    ::close(go[0]);
    release_fd_ = go[1];
    pollfd held{ready[0], POLLIN, 0};
    char byte = 0;
    const bool ok = ::poll(&held, 1, 10000) == 1 && ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
    if (!ok) {
        release();
        throw std::runtime_error("held_database: could not hold " + path);
    }
}

void held_database::release() {
    if (release_fd_ >= 0) ::close(release_fd_);
    release_fd_ = -1;
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

} // namespace xkv::test
