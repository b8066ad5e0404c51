#include "settings/errors.h"
#include "settings/ini_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace xkv;
using test::read_file;
using test::write_file;

namespace {

struct IniFile : ::testing::Test {
    test::temp_dir dir;
    std::string path = dir.file("a.ini");
};

} // namespace

TEST_F(IniFile, ReadsWithoutRegardToCaseAndStripsBlanksAndQuotes) {
    write_file(path, "[Values]\r\nC =  1.5  \r\nq=\"quoted\"\r\nsq='x y'\r\nhalf=\"open\r\nempty=\r\n");
    const ini_file ini(path);
    EXPECT_EQ(ini.read_string("VALUES", "c", "d"), "1.5");
    EXPECT_EQ(ini.read_string("values", "Q", "d"), "quoted");
    EXPECT_EQ(ini.read_string("values", "sq", "d"), "x y");
    EXPECT_EQ(ini.read_string("values", "half", "d"), "\"open");
    EXPECT_EQ(ini.read_string("values", "empty", "d"), "");
    EXPECT_EQ(ini.read_string("values", "missing", "d"), "d");
    EXPECT_EQ(ini.read_string("other", "c", "d"), "d");
}

TEST_F(IniFile, IntegersAndBooleans) {
    write_file(path, "[S]\na=abc\nb=0x6\nc=$2\nd=-12\ne=\nf=2\ng=0x\nh=99999999999\ni=0\nj=$FF\nk=1.5\n");
    const ini_file ini(path);
    EXPECT_EQ(ini.read_integer("S", "a", 4), 4);
    EXPECT_EQ(ini.read_integer("S", "b", 4), 6);
    EXPECT_EQ(ini.read_integer("S", "c", 4), 2);
    EXPECT_EQ(ini.read_integer("S", "d", 4), -12);
    EXPECT_EQ(ini.read_integer("S", "e", 4), 4);
    EXPECT_EQ(ini.read_integer("S", "g", 4), 4);
    EXPECT_EQ(ini.read_integer("S", "h", 4), 4);
    EXPECT_EQ(ini.read_integer("S", "j", 4), 255);
    EXPECT_EQ(ini.read_integer("S", "k", 4), 4);
    EXPECT_TRUE(ini.read_bool("S", "f", false));
    EXPECT_FALSE(ini.read_bool("S", "i", true));
    EXPECT_TRUE(ini.read_bool("S", "a", true));
}

TEST_F(IniFile, LongValuesAreCutAt2047) {
    write_file(path, "[S]\nk=" + std::string(5000, 'x') + "\n");
    EXPECT_EQ(ini_file(path).read_string("S", "k", "").size(), 2047u);
}

TEST_F(IniFile, FirstOfDuplicatesWinsAndSectionsAreListedOnce) {
    write_file(path, "junk line\n[B]\nk=1\nk=2\n[a]\n[b]\nk=3\n[C\nno equals here\nk=4\n");
    const ini_file ini(path);
    EXPECT_EQ(ini.read_string("B", "k", ""), "1");
    EXPECT_EQ(ini.read_string("C", "k", ""), "4");
    EXPECT_EQ(ini.sections(), (std::vector<std::string>{"B", "a", "C"}));
}

TEST_F(IniFile, BinaryJunkAndHugeLinesReadWithoutHarm) {
    std::string junk;
    for (int i = 0; i < 200000; ++i) junk += static_cast<char>((i * 7919) % 256);
    write_file(path, junk + "\n[S]\nk=v\n" + std::string(10 * 1024 * 1024, 'y'));
    const ini_file ini(path);
    EXPECT_EQ(ini.read_string("S", "k", ""), "v");
    EXPECT_EQ(ini_file(dir.file("missing/none.ini")).read_string("S", "k", "d"), "d");
}

TEST_F(IniFile, WritesInPlaceKeepingEveryOtherLine) {
    write_file(path, "; comment\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    ini_file ini(path);
    ini.write_string("a", "X", "10"); // existing key
    ini.write_string("A", "z", "3");  // new key: end of its section, before the blank line
    ini.write_string("C", "w", "4");  // new section: end of file
    ini.write_integer("B", "n", -7);
    ini.write_bool("B", "t", true);
    EXPECT_EQ(read_file(path), "; comment\r\n[A]\r\nX=10\r\nz=3\r\n\r\n[B]\r\ny=2\r\nn=-7\r\nt=1\r\n[C]\r\nw=4\r\n");
}

TEST_F(IniFile, CreatesTheFileWithCrLf) {
    ini_file ini(path);
    ini.write_string("S", "k", "v");
    EXPECT_EQ(read_file(path), "[S]\r\nk=v\r\n");
}

TEST_F(IniFile, FailedWritesNameTheFileAndChangeNothing) {
    const std::string missing = dir.file("no-such-dir/x.ini");
    ini_file in_missing(missing);
    try {
        in_missing.write_string("S", "k", "v");
        FAIL() << "no error";
    } catch (const write_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + missing);
    }

    write_file(path, "[S]\r\nk=old\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    ini_file read_only(path);
    EXPECT_THROW(read_only.write_string("S", "k", "new"), write_error);
    EXPECT_EQ(read_file(path), "[S]\r\nk=old\r\n");
    EXPECT_EQ(read_only.read_string("S", "k", ""), "old");
}
