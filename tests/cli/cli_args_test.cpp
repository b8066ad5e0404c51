#include "cli/args.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/filters.h"
#include "cli/man_page.h"
#include "cli/tsv.h"
#include "settings/program_dir.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

using namespace xkv::cli;

namespace {

const std::map<std::string, command_syntax> commands = {
    {"list", {{"sample", "from"}, {}, 0, 0}},
    {"report", {{"sample"}, {}, 1, 1}},
    {"measure", {{"set"}, {"save"}, 0, 0}},
    {"console", {{}, {}, 1, SIZE_MAX}},
};

std::string usage_message(const std::vector<std::string>& args) {
    try {
        parse_command_line(args, commands);
    } catch (const usage_error& e) {
        return e.what();
    }
    return "(accepted)";
}

} // namespace

TEST(CliArgs, SplitsDirCommandOptionsAndArguments) {
    const auto line = parse_command_line({"--dir", "/x", "report", "--sample", "S 1", "out.txt"}, commands);
    EXPECT_EQ(line.dir, "/x");
    EXPECT_EQ(line.command, "report");
    EXPECT_EQ(*line.value("sample"), "S 1");
    EXPECT_EQ(line.positional, (std::vector<std::string>{"out.txt"}));

    const auto m = parse_command_line({"measure", "--save", "--set", "--save"}, commands);
    EXPECT_TRUE(m.flag("save"));
    EXPECT_EQ(*m.value("set"), "--save"); // a value may look like an option

    const auto c = parse_command_line({"console", "n", "--", "--not-an-option", ""}, commands);
    EXPECT_EQ(c.positional, (std::vector<std::string>{"n", "--not-an-option", ""}));
}

TEST(CliArgs, RefusesWhatDoesNotFit) {
    EXPECT_EQ(usage_message({}), "no command given");
    EXPECT_EQ(usage_message({"--dir"}), "--dir needs a directory");
    EXPECT_EQ(usage_message({"frob"}), "unknown command 'frob'");
    EXPECT_EQ(usage_message({"list", "--save"}), "unknown option --save for list");
    EXPECT_EQ(usage_message({"list", "--sample"}), "--sample needs a value");
    EXPECT_EQ(usage_message({"list", "--sample", "a", "--sample", "b"}), "--sample given twice");
    EXPECT_EQ(usage_message({"report"}), "report: missing argument");
    EXPECT_EQ(usage_message({"report", "a", "b"}), "report: unexpected argument 'b'");
    EXPECT_EQ(usage_message({"console"}), "console: missing argument");
}

TEST(CliTsv, EscapesWhatWouldBreakARow) {
    EXPECT_EQ(tsv_escape("a\tb\nc\rd\\e"), "a\\tb\\nc\\rd\\\\e");
    EXPECT_EQ(tsv_escape("soil \"7\" ; x"), "soil \"7\" ; x");
    std::ostringstream out;
    write_tsv_row(out, {"1", "", "two words"});
    write_tsv_row(out, {});
    EXPECT_EQ(out.str(), "1\t\ttwo words\n\n");
}

TEST(CliRun, HelpAndUsageErrors) {
    std::ostringstream out, err;
    xkv::test::temp_dir dir;
    const environment env{dir.path(), [](int) {}, nullptr, {}};
    EXPECT_EQ(run({"--help"}, out, err, env), exit_ok);
    EXPECT_NE(out.str().find("usage: xkv4410-cli"), std::string::npos);
    // No build marker beside this "executable": an installed copy, whose folder is the per-user one.
    EXPECT_NE(out.str().find("program directory: " + xkv::locate_program_directory(dir.path()).dir +
                             "\n  (the per-user folder"),
              std::string::npos);
    EXPECT_EQ(run({}, out, err, env), exit_usage);
    EXPECT_EQ(run({"--dir", dir.path(), "list", "--from", "2026-13-01"}, out, err, env), exit_usage);
    EXPECT_NE(err.str().find("--from takes a date as YYYY-MM-DD"), std::string::npos);
}

// Scripts and the manual page quote these lines: the tables must keep giving exactly them.
TEST(CliRun, HelpEndsWithTheFiltersAndExitCodesAsScriptsKnowThem) {
    EXPECT_EQ(help_footer(),
              "\n"
              "FILTERS: --sample S --mode M --set NAME --hv V --from YYYY-MM-DD --to YYYY-MM-DD\n"
              "         --p1-from X --p1-to X --p2-from X --p2-to X\n"
              "\n"
              "exit: 0 done, 1 error, 2 usage or setup check, 3 no instrument, 4 measurement failed or\n"
              "      cut short, 5 no update reply, 6 run kept in the spool (db push stores it), 7 QC check\n"
              "      failed, 8 interrupted (nothing saved)\n");
}

TEST(CliRun, HelpAndCommandLineFollowTheCommandTable) {
    const std::string help = help_text();
    xkv::test::temp_dir dir;
    const environment env{dir.path(), [](int) {}, nullptr, {}};
    std::size_t previous = 0;
    for (const command& cmd : command_table()) {
        const std::size_t at = help.find("\n  " + cmd.name + " ");
        ASSERT_NE(at, std::string::npos) << cmd.name;
        EXPECT_GT(at, previous) << cmd.name << " is out of the table's order";
        previous = at;
        for (const std::string& line : cmd.help) EXPECT_NE(help.find(line + "\n", at), std::string::npos) << line;
        std::ostringstream out, err;
        EXPECT_EQ(run({cmd.name, "--no-such-option"}, out, err, env), exit_usage);
        EXPECT_EQ(err.str(),
                  "xkv4410-cli: unknown option --no-such-option for " + cmd.name + "\n(see xkv4410-cli --help)\n");
    }
}

TEST(CliRun, ManualPageFollowsTheCommandTable) {
    const std::string page = man_page_commands();
    for (const command& cmd : command_table()) {
        EXPECT_NE(page.find(".TP\n\\fB" + roff_escape(cmd.name) + "\\fR"), std::string::npos) << cmd.name;
        for (const std::string& line : cmd.help)
            EXPECT_NE(page.find(roff_escape(line) + "\n"), std::string::npos) << line;
    }
    EXPECT_EQ(roff_escape(".x -y \\z"), "\\&.x \\-y \\ez");
}

// README.md cannot be written by the build: its FILTERS and "Exit codes:" sentence must say what the
// tables behind --help say.
TEST(CliRun, ReadmeListsTheFiltersAndExitCodesOfTheTables) {
    std::ifstream file(XKV_SOURCE_DIR "/README.md");
    ASSERT_TRUE(file);
    std::string readme; // its words, one space apart
    for (std::string word; file >> word;) readme += word + " ";

    std::string filters;
    for (const filter_option& filter : filter_options) filters += (filters.empty() ? "" : " ") + filter_usage(filter);
    EXPECT_NE(readme.find("FILTERS: `" + filters + "`"), std::string::npos) << "README.md lacks: " << filters;

    std::string exits;
    for (const exit_code_text& row : exit_code_texts)
        exits += (exits.empty() ? "" : ", ") + std::to_string(row.code) + " " + std::string(row.text);
    std::replace(exits.begin(), exits.end(), '\n', ' ');
    EXPECT_NE(readme.find("Exit codes: " + exits + ". "), std::string::npos) << "README.md lacks: " << exits;
}

TEST(CliRun, PathsNameTheFilesInUseAndSetsSayHowToMakeOne) {
    xkv::test::temp_dir dir;
    const environment env{dir.path(), [](int) {}, nullptr, {}};
    std::ostringstream out, err;
    EXPECT_EQ(run({"--dir", dir.path(), "paths"}, out, err, env), exit_ok);
    EXPECT_NE(out.str().find("parameter sets\t" + dir.path() + "/ini/calibrations.cfg\n"), std::string::npos);
    EXPECT_NE(out.str().find("database\t" + dir.path() + "/default_database.mdb\n"), std::string::npos);
    EXPECT_NE(out.str().find("port\tCOM1 -> /dev/ttyS0\n"), std::string::npos);

    std::ostringstream sets, hint;
    EXPECT_EQ(run({"--dir", dir.path(), "sets"}, sets, hint, env), exit_ok);
    EXPECT_EQ(sets.str(), ""); // scripts that read the names see none
    EXPECT_NE(hint.str().find("menu \"Measurmment parameters\", NEW"), std::string::npos);
}
