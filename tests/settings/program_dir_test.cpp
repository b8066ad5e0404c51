#include "settings/program_dir.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace xkv;

TEST(ProgramDir, RelativePathsAreTakenFromTheProgramDirectory) {
    EXPECT_EQ(resolve_program_path("/opt/x", "templates\\report.tpl"), "/opt/x/templates/report.tpl");
    EXPECT_EQ(resolve_program_path("/opt/x", "default_database.mdb"), "/opt/x/default_database.mdb");
    EXPECT_EQ(resolve_program_path("/opt/x", "/data/r.mdb"), "/data/r.mdb");
    EXPECT_EQ(resolve_program_path("/opt/x", "\\data\\r.mdb"), "/data/r.mdb");
}

TEST(ProgramDir, AFolderWithTheBuildsMarkerIsTheProgramDirectory) {
    test::temp_dir dir;
    test::write_file(dir.file(portable_marker_file), "");
    const program_location where = locate_program_directory(dir.path());
    EXPECT_FALSE(where.installed);
    EXPECT_EQ(where.modules, dir.path());
    EXPECT_EQ(program_directory(dir.path()), dir.path());
}

TEST(ProgramDir, AnInstalledCopyUsesThePerUserDirectoryAndNeverWritesBesideItself) {
    // The executable's folder is writable here (as /usr/bin is for root): only the marker decides.
    test::temp_dir dir;
    const std::string bin = dir.file("usr/bin");
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(dir.file("usr/share/xkv4410/templates"));
    test::write_file(dir.file("usr/share/xkv4410/templates/report.tpl"), "{NUMBER}\n");
    std::filesystem::create_directories(dir.file("data/xkv4410/templates"));
    test::write_file(dir.file("data/xkv4410/templates/own.tpl"), "mine");
    ::setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
    const program_location where = locate_program_directory(bin);
    const std::string program = program_directory(bin);
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_TRUE(where.installed);
    EXPECT_EQ(where.shared_data, dir.file("usr/share/xkv4410"));
    EXPECT_EQ(program, dir.file("data/xkv4410"));
    EXPECT_TRUE(std::filesystem::is_directory(program + "/ini"));
    EXPECT_EQ(test::read_file(program + "/templates/report.tpl"), "{NUMBER}\n");
    EXPECT_EQ(test::read_file(program + "/templates/own.tpl"), "mine");
    EXPECT_TRUE(std::filesystem::is_empty(bin));
}
