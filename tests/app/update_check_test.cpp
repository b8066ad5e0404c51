#include "app/update_check.h"
#include "settings/errors.h"
#include "settings/ini_file.h"
#include "support/http_server.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

using namespace xkv;
using test::http_server;

namespace {

struct reply_case {
    const char* reply;
    bool shown;
};

} // namespace

TEST(UpdateCheck, RepliesAreComparedTrimmedAndExactly) {
    const reply_case cases[] = {
        {"VER.1.01.0000\r\n", false},
        {"  VER.1.01.0000\t \n", false},
        {"VER.1.02.0000", true},
        {"ver.1.01.0000", true},      // letter case counts
        {"VER.1.00.0000", true},      // an older version is news too
        {"<html>moved</html>", true}, // so is an unrelated page
        {"", true},
    };
    http_server server;
    _program_options options;
    options.update_host = server.host();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        server.set_answer(menu_version_path, {200, c.reply, {}});
        diagnostic_log log;
        update_notice notice{!c.shown, "old"};
        check_for_update(update_url(options, menu_version_path), program_version, log, notice);
        EXPECT_EQ(notice.visible, c.shown);
        if (c.shown) {
            EXPECT_EQ(notice.text, std::string("NEW VERSION AVAILABLE - ") + c.reply + " !!!");
        }
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_EQ(log.lines()[0], c.reply); // as received, untrimmed
    }
}

TEST(UpdateCheck, SendsTheHeadersTheHostExpects) {
    http_server server;
    server.set_answer(startup_version_path, {200, "VER.1.01.0000", {}});
    _program_options options;
    options.update_host = server.host() + "/";
    EXPECT_EQ(http_get(update_url(options, startup_version_path)), "VER.1.01.0000");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, "/xkv-4410/ver.php");
    EXPECT_EQ(requests[0].headers.at("accept"), "text/html, */*");
    EXPECT_EQ(requests[0].headers.at("user-agent"), "Mozilla/3.0 (compatible; Indy Library)");
}

TEST(UpdateCheck, FailuresLeaveNoticeAndLogAlone) {
    http_server server;
    server.set_answer("/xkv-4410/ver.txt", {500, "VER.1.02.0000", {}});
    const std::string urls[] = {
        test::closed_http_host() + menu_version_path, // server down
        server.host() + menu_version_path,            // error status
        server.host() + "/xkv-4410/missing",          // 404
        "file:///etc/hostname",                       // not http
        "not a url",
    };
    for (const auto& url : urls) {
        SCOPED_TRACE(url);
        diagnostic_log log;
        update_notice notice{true, "NEW VERSION AVAILABLE - x !!!"};
        check_for_update(url, program_version, log, notice);
        EXPECT_TRUE(notice.visible);
        EXPECT_EQ(notice.text, "NEW VERSION AVAILABLE - x !!!");
        EXPECT_TRUE(log.lines().empty());
    }
}

TEST(UpdateCheck, ASilentHostEndsWithTheTimeOut) {
    http_server server;
    server.set_silent(true);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(http_get(server.host() + menu_version_path, {200, 300}), std::nullopt);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
}

TEST(UpdateCheck, FollowsRedirectsWithTheCookiesSet) {
    http_server server;
    server.set_answer("/xkv-4410/ver.txt", {302, "", {"Location: /xkv-4410/v2", "Set-Cookie: session=42; Path=/"}});
    server.set_answer("/xkv-4410/v2", {200, "VER.1.01.0000", {}});
    EXPECT_EQ(http_get(server.host() + menu_version_path), "VER.1.01.0000");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].headers.at("cookie"), "session=42");
}

TEST(UpdateCheck, IgnoresProxiesFromTheEnvironment) {
    http_server server;
    server.set_answer(menu_version_path, {200, "VER.1.01.0000", {}});
    const std::string dead_proxy = test::closed_http_host();
    ::setenv("http_proxy", dead_proxy.c_str(), 1);
    const auto reply = http_get(server.host() + menu_version_path);
    ::unsetenv("http_proxy");
    EXPECT_EQ(reply, "VER.1.01.0000");
}

TEST(UpdateCheck, AHugeBodyCountsAsAFailure) {
    http_server server;
    server.set_answer(menu_version_path, {200, std::string(2u << 20, 'x'), {}});
    EXPECT_EQ(http_get(server.host() + menu_version_path), std::nullopt);
}

TEST(UpdateCheck, WithoutAHostTheBuiltInOneIsUsed) {
    _program_options options;
    EXPECT_EQ(update_url(options, installer_path), std::string(default_update_host) + "/xkv-4410/setup.exe");
    options.update_host = " https://updates.lab.example// ";
    EXPECT_EQ(update_url(options, download_site_path), "https://updates.lab.example/xkv-4410/");
}

TEST(UpdateCheck, TheToggleWritesAutoAtOnce) {
    test::temp_dir dir;
    const std::string file = dir.file("program_opt.xkv");
    _program_options options;
    options.auto_check = 2; // any value but 1 is off; the first toggle turns it off explicitly
    const struct {
        bool on;
        std::int32_t stored;
    } steps[] = {{false, 0}, {true, 1}, {false, 0}};
    for (const auto& step : steps) {
        EXPECT_EQ(toggle_auto_check(options, file), step.on);
        EXPECT_EQ(options.auto_check, step.stored);
        EXPECT_EQ(ini_file(file).read_integer("UPDATE", "auto", -1), step.stored);
    }
}

TEST(UpdateCheck, AFailedToggleWriteChangesNothing) {
    test::temp_dir dir;
    const std::string file = dir.file("missing/program_opt.xkv");
    _program_options options;
    options.auto_check = 0;
    EXPECT_THROW(toggle_auto_check(options, file), write_error);
    EXPECT_EQ(options.auto_check, 0);
    EXPECT_FALSE(std::filesystem::exists(file));
}
