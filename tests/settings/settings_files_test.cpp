#include "settings/errors.h"
#include "settings/read_only_options.h"
#include "settings/settings_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <tuple>

#include <sys/stat.h>

using namespace xkv;
using test::read_file;
using test::write_file;

namespace {

struct SettingsFiles : ::testing::Test {
    test::temp_dir dir;
    std::string profile_path = dir.file("p.xkv");
    std::string options_path = dir.file("o.xkv");
};

_options every_field_changed() {
    _options p;
    p.mode = 9;
    p.C = "1.5";
    p.D = "";
    p.E = "x";
    p.UNIT = "3";
    p.alerts = {"11", "12", "13", "14", "21", "22", "23", "24"};
    p.failrate1 = "0.5";
    p.failrate2 = "0.6";
    p.hv1 = "950";
    p.hv2 = "1100";
    p.dead1 = "2e-6";
    p.dead2 = "3e-6";
    p.creator = "A. Operator";
    p.background = {"0.2", "0.3", "600"};
    return p;
}

} // namespace

TEST_F(SettingsFiles, MissingFilesGiveTheDefaults) {
    const _options p = read_profile(dir.file("ini/default.xkv"));
    EXPECT_EQ(p, _options{});
    EXPECT_EQ(p.mode, 4);
    const _program_options o = read_program_options(dir.file("ini/program_opt.xkv"));
    EXPECT_EQ(o.port, 1);
    EXPECT_EQ(o.speed, 9600);
    EXPECT_EQ(o.timeout, 20);
    EXPECT_EQ(o.auto_check, 1);
    EXPECT_EQ(o.database, "default_database.mdb");
    EXPECT_EQ(o.name, "templates\\report.tpl");
    EXPECT_FALSE(o.revert_channels);
}

TEST_F(SettingsFiles, APipeAsSettingsFileIsRefusedNotWaitedOn) {
    ASSERT_EQ(::mkfifo(profile_path.c_str(), 0600), 0);
    EXPECT_THROW(read_profile(profile_path), file_error);
    EXPECT_THROW(read_program_options(profile_path), file_error);
}

TEST_F(SettingsFiles, ProfileRoundTripKeepsEveryField) {
    const _options p = every_field_changed();
    write_profile(profile_path, p);
    EXPECT_EQ(read_profile(profile_path), p);
}

TEST_F(SettingsFiles, ProfileIsWrittenInItsOrder) {
    write_profile(profile_path, _options{});
    EXPECT_EQ(read_file(profile_path),
              "[MODE]\r\nmode=4\r\n"
              "[VALUES]\r\nUNIT=16\r\nC=1\r\nD=0.1\r\nE=2\r\n"
              "[ALARMS]\r\na1_c1=10000\r\na1_c2=10000\r\na1_r1=10000\r\na1_r2=10000\r\n"
              "a2_c1=10000\r\na2_c2=10000\r\na2_r1=10000\r\na2_r2=10000\r\nfailrate1=0.01\r\nfailrate2=0.01\r\n"
              "[BACKGROUND]\r\nalpha=0.01\r\nbeta=0.01\r\ntime=1000\r\n"
              "[HV]\r\nhv1=1000\r\nhv2=1000\r\n"
              "[DEAD]\r\ndead1=0\r\ndead2=0\r\n"
              "[TEMPALTE]\r\ncreator=labuser\r\n");
}

TEST_F(SettingsFiles, ProfileValuesAsTheFileHoldsThem) {
    write_file(profile_path, "[MODE]\nmode=abc\n[VALUES]\nC=  1.5  \nD=\n");
    _options p = read_profile(profile_path);
    EXPECT_EQ(p.mode, 4);
    EXPECT_EQ(p.C, "1.5");
    EXPECT_EQ(p.D, "");
    write_file(profile_path, "[MODE]\nmode=0x6\n");
    EXPECT_EQ(read_profile(profile_path).mode, 6);
    write_file(profile_path, "[MODE]\nmode=$2\n");
    EXPECT_EQ(read_profile(profile_path).mode, 2);
    write_file(profile_path, "[MODE]\nmode=\n");
    EXPECT_EQ(read_profile(profile_path).mode, 4);
    write_file(profile_path, "[SOMETHING]\nelse=1\n");
    EXPECT_EQ(read_profile(profile_path), _options{});
}

TEST_F(SettingsFiles, SavingKeepsForeignSectionsAndTheReportCounter) {
    write_file(profile_path,
               "; operator notes\r\n[TEMPLATE]\r\nnumber=41\r\n[MODE]\r\nmode=1\r\n[EXTRA]\r\nkeep=me\r\n");
    write_profile(profile_path, every_field_changed());
    write_profile(profile_path, _options{});
    const std::string text = read_file(profile_path);
    EXPECT_EQ(
        text.rfind("; operator notes\r\n[TEMPLATE]\r\nnumber=41\r\n[MODE]\r\nmode=4\r\n[EXTRA]\r\nkeep=me\r\n", 0), 0u)
        << text;
    EXPECT_EQ(read_profile(profile_path), _options{});
}

TEST_F(SettingsFiles, ProgramOptionsRoundTripInTheirOrder) {
    _program_options o;
    o.port = 3;
    o.speed = 4800;
    o.database = "/data/results.mdb";
    o.auto_check = 0;
    o.name = "templates\\mine.tpl";
    o.timeout = 7;
    o.revert_channels = true;
    write_program_options(options_path, o);
    EXPECT_EQ(read_file(options_path),
              "[DB]\r\ndatabase=/data/results.mdb\r\n[TEMPALTE]\r\nname=templates\\mine.tpl\r\n"
              "[COM]\r\ntimeout=7\r\nport=3\r\nspeed=4800\r\nrevert_channels=1\r\n[UPDATE]\r\nauto=0\r\n");
    EXPECT_EQ(read_program_options(options_path), o);
}

TEST_F(SettingsFiles, ReadOnlyKeysAreReadAndNeverWritten) {
    write_file(options_path, "[COM]\r\nrevert_channels=2\r\n[PORTS]\r\nCOM1=/tmp/sim-pty\r\ncom12=/dev/ttyUSB0\r\n"
                             "[UPDATE]\r\nhost=http://127.0.0.1:8080\r\n");
    _program_options o = read_program_options(options_path);
    EXPECT_TRUE(o.revert_channels);
    EXPECT_EQ(o.update_host, "http://127.0.0.1:8080");
    EXPECT_EQ(port_device_path(o.port_devices, "COM1"), "/tmp/sim-pty");
    EXPECT_EQ(port_device_path(o.port_devices, "COM12"), "/dev/ttyUSB0");
    EXPECT_EQ(port_device_path(o.port_devices, "COM3"), "/dev/ttyS2");
    write_program_options(options_path, o);
    const std::string text = read_file(options_path);
    EXPECT_NE(text.find("revert_channels=1\r\n"), std::string::npos);
    EXPECT_NE(text.find("[PORTS]\r\nCOM1=/tmp/sim-pty\r\ncom12=/dev/ttyUSB0\r\n"), std::string::npos);
    EXPECT_EQ(read_program_options(options_path).port_devices, o.port_devices);
}

TEST_F(SettingsFiles, ReadOnlyOptionsKeepTheirDefaultForWhatTheyRefuse) {
    EXPECT_EQ(read_read_only_options(dir.file("missing.xkv")).limits_k, 1.645);
    const std::pair<const char*, double> cases[] = {{"2.326", 2.326}, {"-1", 1.645},    {"0", 1.645},
                                                    {"abc", 1.645},   {"1e999", 1.645}, {"", 1.645}};
    for (const auto& [text, k] : cases) {
        SCOPED_TRACE(text);
        write_file(options_path, std::string("[DB]\r\ndatabase=x\r\n[LIMITS]\r\nk=") + text + "\r\n");
        EXPECT_EQ(read_read_only_options(options_path).limits_k, k);
    }
    // The CLI's wait for a held database file: whole milliseconds, never endless.
    const std::pair<const char*, std::int32_t> waits[] = {{"200", 200}, {"-1", 5000}, {"600001", 5000}, {"x", 5000}};
    for (const auto& [text, ms] : waits) {
        SCOPED_TRACE(text);
        write_file(options_path, std::string("[DB]\r\ndatabase=x\r\nbusy_timeout=") + text + "\r\n");
        EXPECT_EQ(read_read_only_options(options_path).busy_timeout_ms, ms);
    }
    write_file(options_path, "[DB]\r\nbusy_timeout=200\r\n[LIMITS]\r\nk=2.326\r\n");
    write_program_options(options_path, _program_options{});
    EXPECT_NE(read_file(options_path).find("busy_timeout=200\r\n"), std::string::npos);
    EXPECT_NE(read_file(options_path).find("[LIMITS]\r\nk=2.326\r\n"), std::string::npos);
}

TEST_F(SettingsFiles, ReadOnlyFlagsEachKeepTheirOwnRule) {
    // allow_series is the integer 1 as integers are read; QC block is the text "1" alone.
    const std::tuple<const char*, bool, bool> cases[] = {
        {"1", true, true}, {"0x1", true, false}, {"01", true, false}, {"2", false, false}, {"x", false, false}};
    for (const auto& [text, series, block] : cases) {
        SCOPED_TRACE(text);
        write_file(options_path, std::string("[MEASUREMENT]\r\nallow_series=") + text + "\r\n[QC]\r\nblock=" + text +
                                     "\r\ntolerance_percent=25\r\nmax_age_hours=0\r\n");
        const read_only_options o = read_read_only_options(options_path);
        EXPECT_EQ(o.allow_series, series);
        EXPECT_EQ(o.qc, (qc_options{25, 24, block}));
    }
}

TEST_F(SettingsFiles, AFailingSaveStopsAtItsKey) {
    const std::string missing = dir.file("ini/default.xkv");
    try {
        write_profile(missing, _options{});
        FAIL() << "no error";
    } catch (const write_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + missing);
    }
    EXPECT_THROW(write_program_options(dir.file("ini/program_opt.xkv"), _program_options{}), write_error);
}

TEST_F(SettingsFiles, SingleKeyWrite) {
    write_program_options(options_path, _program_options{});
    write_ini_integer(options_path, "COM", "port", 3);
    write_ini_integer(options_path, "UPDATE", "auto", 0);
    const _program_options o = read_program_options(options_path);
    EXPECT_EQ(o.port, 3);
    EXPECT_EQ(o.auto_check, 0);
}
