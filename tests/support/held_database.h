#pragma once
// Another process that holds an SQLite file (BEGIN EXCLUSIVE: no other connection reads or writes
// it) until released, as a second station in the middle of its commit or a program that keeps the
// file would.
//
//   test::held_database holder(path);   // returns once the file is held
//   ...                                 // savers wait, or give up after their busy timeout
//   holder.release();                   // or let it go out of scope

#include <string>
#include <sys/types.h>

namespace xkv::test {

class held_database {
public:
    explicit held_database(const std::string& path);
    ~held_database() { release(); }
    held_database(const held_database&) = delete;
    held_database& operator=(const held_database&) = delete;

    void release();

private:
    pid_t pid_ = -1;
    int release_fd_ = -1;
};

} // namespace xkv::test
