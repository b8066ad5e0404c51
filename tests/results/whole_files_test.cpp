// Files the program writes whole (reports, spreadsheets, settings): a failed write keeps the old
// file and leaves no temporary, a symbolic link is written through, a file in a folder that takes no
// new file is still updated, and a setting never splits its line.

#include "results/report_output.h"
#include "results/xls_file.h"
#include "settings/errors.h"
#include "settings/ini_file.h"
#include "settings/whole_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <csignal>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace xkv;
using test::read_file;
using test::write_file;

namespace {

// A small file system of its own (root only): "size=64k" fills up, "nr_inodes=2" takes no new file.
struct small_tmpfs {
    std::string path;
    bool mounted = false;
    small_tmpfs(std::string at, const char* options) : path(std::move(at)) {
        std::filesystem::create_directories(path);
        mounted = ::geteuid() == 0 && ::mount("tmpfs", path.c_str(), "tmpfs", 0, options) == 0;
    }
    ~small_tmpfs() {
        if (mounted) ::umount2(path.c_str(), MNT_DETACH);
    }
};

std::vector<std::string> names_in(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(WholeFiles, AWriteOnAFullDiskKeepsTheOldFileAndLeavesNoTemporary) {
    test::temp_dir dir;
    small_tmpfs disk(dir.file("disk"), "size=64k");
    if (!disk.mounted) GTEST_SKIP() << "a small file system needs root";
    const std::string report = disk.path + "/report.txt", sheet = disk.path + "/list.xls", ini = disk.path + "/a.ini";
    write_file(report, "old report");
    write_file(sheet, "old sheet");
    write_file(ini, "[S]\r\nk=old\r\n");
    {
        std::ofstream filler(disk.path + "/filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {}
    }
    EXPECT_THROW(write_report_file(report, std::vector<std::string>(100, std::string(100, 'r'))), file_error);
    EXPECT_THROW(save_grid_as_xls({{std::string(10000, 'x')}}, sheet), file_error);
    EXPECT_THROW(ini_file(ini).write_string("S", "k", std::string(2000, 'n')), write_error);
    EXPECT_EQ(read_file(report), "old report");
    EXPECT_EQ(read_file(sheet), "old sheet");
    EXPECT_EQ(read_file(ini), "[S]\r\nk=old\r\n");
    EXPECT_EQ(names_in(disk.path), (std::vector<std::string>{"a.ini", "filler", "list.xls", "report.txt"}));
}

TEST(WholeFiles, ALinkIsWrittenThroughAndAClosedFolderIsWrittenInPlace) {
    test::temp_dir dir;
    std::filesystem::create_directories(dir.file("real"));
    write_file(dir.file("real/settings.ini"), "[S]\r\nk=old\r\n");
    std::filesystem::create_symlink("real/settings.ini", dir.file("settings.ini"));
    std::filesystem::create_symlink("real/report.txt", dir.file("report.txt"));
    ini_file(dir.file("settings.ini")).write_string("S", "k", "new");
    write_report_file(dir.file("report.txt"), {"line"});
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("settings.ini")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("report.txt")));
    EXPECT_EQ(read_file(dir.file("real/settings.ini")), "[S]\r\nk=new\r\n");
    EXPECT_EQ(read_file(dir.file("real/report.txt")), "line\r\n");

    // A folder that takes no new file: a full inode table as root, a folder without write permission
    // otherwise.
    small_tmpfs closed(dir.file("closed"), "nr_inodes=2");
    const std::string in_closed = closed.path + "/a.ini";
    write_file(in_closed, "[S]\r\nk=a much longer old value\r\n");
    if (!closed.mounted) {
        if (::geteuid() == 0) GTEST_SKIP() << "no small file system";
        ASSERT_EQ(::chmod(closed.path.c_str(), 0555), 0);
    }
    ini_file(in_closed).write_string("S", "k", "new");
    EXPECT_EQ(read_file(in_closed), "[S]\r\nk=new\r\n");
    ::chmod(closed.path.c_str(), 0755);
}

TEST(WholeFiles, ASettingWithALineBreakIsRefusedAndTheFileKept) {
    test::temp_dir dir;
    const std::string path = dir.file("a.ini");
    write_file(path, "[S]\r\nk=old\r\n");
    const std::pair<std::string, std::string> breaking[] = {
        {"k", "x\r[PORTS]"}, {"k", "x\n[PORTS]\nCOM1=/dev/evil"}, {"k", std::string("x\0y", 3)}, {"k\nCOM1", "x"}};
    for (const auto& [key, value] : breaking) {
        try {
            ini_file(path).write_string("S", key, value);
            ADD_FAILURE() << "accepted: " << value;
        } catch (const write_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Unable to write to " + path + ": ", 0), 0u) << e.what();
        }
    }
    EXPECT_EQ(read_file(path), "[S]\r\nk=old\r\n");
}

TEST(WholeFiles, TheNextWriteRemovesTemporariesAKilledWriteLeftAndNothingElse) {
    test::temp_dir dir;
    const std::string target = dir.file("t.csv");
    // A writer killed in the middle: its temporary stays behind, the target as it was.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        whole_file file(target, 0666);
        (void)!file.write("half");
        (void)!::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    std::vector<std::string> left = names_in(dir.path());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(left[0].starts_with("t.csv.") && left[0].ends_with(".xkv-tmp")) << left[0];

    // Files that only look alike, and the temporary of a write still going on, are not touched.
    write_file(dir.file("t.csv.backup"), "mine");
    write_file(dir.file("t.csv.AbC12.xkv-tmp"), "mine");
    write_file(dir.file("u.csv.AbC123.xkv-tmp"), "mine");
    write_file(dir.file("elsewhere"), "mine");
    std::filesystem::create_symlink("elsewhere", dir.file("t.csv.LinkXX.xkv-tmp"));
    whole_file live(target, 0666);
    ASSERT_TRUE(live.opened());
    write_report_file(target, {"line"});
    EXPECT_EQ(read_file(target), "line\r\n");
    left = names_in(dir.path());
    EXPECT_EQ(std::count_if(left.begin(), left.end(), [](const std::string& n) { return n.ends_with(".xkv-tmp"); }), 4)
        << "the live one, the two look-alikes and the link";
    EXPECT_EQ(read_file(dir.file("t.csv.backup")), "mine");
    EXPECT_EQ(read_file(dir.file("elsewhere")), "mine");
    EXPECT_TRUE(live.write("whole") && live.commit()) << "the live write still completes";
    EXPECT_EQ(read_file(target), "whole");
}
