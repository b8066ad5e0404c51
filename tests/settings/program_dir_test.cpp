#include "settings/program_dir.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

using namespace xkv;

TEST(ProgramDir, RelativePathsAreTakenFromTheProgramDirectory) {
    EXPECT_EQ(resolve_program_path("/opt/x", "templates\\report.tpl"), "/opt/x/templates/report.tpl");
    EXPECT_EQ(resolve_program_path("/opt/x", "default_database.mdb"), "/opt/x/default_database.mdb");
    EXPECT_EQ(resolve_program_path("/opt/x", "/data/r.mdb"), "/data/r.mdb");
    EXPECT_EQ(resolve_program_path("/opt/x", "\\data\\r.mdb"), "/data/r.mdb");
}

TEST(ProgramDir, AWritableExecutableDirectoryIsTheProgramDirectory) {
    test::temp_dir dir;
    EXPECT_EQ(program_directory(dir.path()), dir.path());
}

TEST(ProgramDir, AnInstalledCopyUsesThePerUserDirectory) {
    // Root may write anywhere, so only an unprivileged run can see a read-only executable directory.
    if (::geteuid() == 0) GTEST_SKIP() << "root can write every directory";
    test::temp_dir dir;
    const std::string bin = dir.file("bin");
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(dir.file("share/xkv4410/templates"));
    test::write_file(dir.file("share/xkv4410/templates/report.tpl"), "{NUMBER}\n");
    std::filesystem::permissions(bin, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    ::setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
    const std::string program = program_directory(bin);
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(program, dir.file("data/xkv4410"));
    EXPECT_TRUE(std::filesystem::is_directory(program + "/ini"));
    EXPECT_EQ(test::read_file(program + "/templates/report.tpl"), "{NUMBER}\n");
}
