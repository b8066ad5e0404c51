#include "sim_instrument.h"
#include "sim_options.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace xkv::sim {
namespace {

// One command line at a real time and the answer the simulated instrument gives (none: no answer).
struct exchange {
    const char* line;
    double now;
    std::optional<std::string> answer;
};

struct instrument_case {
    const char* name;
    std::vector<std::string> args; // after --link
    std::vector<exchange> exchanges;
};

TEST(SimInstrument, AnswersEachCommandFromItsSettingsAndClock) {
    const auto none = std::nullopt;
    const instrument_case cases[] = {
        {"handshake and identity",
         {},
         {{"tarvo", 0, "DEBUGMODE\r\n"},
          {"n", 0, "XKV 4410 SIMULATOR\r\nSIMULATED INSTRUMENT, NO HARDWARE\r\nMODE M0 PRESET 0\r\n"},
          {"hv1 1000", 0, none}}},
        {"counting stops at the preset and on S",
         {"--speed", "2"},
         {{"M3", 0, none},
          {"T 10", 0, none},
          {"G", 1, none},
          {"L", 3, "4\r\n"},
          {"R", 3, "20\r\n80\r\n"},
          {"R2", 3, "80\r\n"},
          {"L", 30, "10\r\n"},
          {"S", 40, none},
          {"L", 50, "10\r\n"}}},
        {"ratemeters in a one-line mode",
         {"--alpha", "1.25"},
         {{"M1", 0, none}, {"P", 0, "1.25\r\n"}, {"P2", 0, "20\r\n"}, {"P3", 0, none}}},
        {"value reads fail after the limit",
         {"--fail-after", "1"},
         {{"R1", 0, "0\r\n"}, {"R1", 0, none}, {"L", 0, "0\r\n"}}},
        {"rates follow the plateau curve of each supply's voltage", // python3: 5.0748 and 0.12984 /s
         {"--plateau", "800,1.5"},
         {{"M3", 0, none},
          {"T 100", 0, none},
          {"j1 1000", 0, none},
          {"j2 700", 0, none},
          {"G", 0, none},
          {"R", 100, "507\r\n12\r\n"}}},
        {"no handshake", {"--no-handshake"}, {{"tarvo", 0, none}, {"L", 0, "0\r\n"}}},
        {"silent", {"--silent"}, {{"tarvo", 0, none}, {"n", 0, none}, {"R", 0, none}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args{"--link", "/tmp/unused"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const parse_result parsed = parse_options(args);
        ASSERT_EQ(parsed.error, "");
        sim_instrument instrument(parsed.options);
        for (const auto& e : c.exchanges) EXPECT_EQ(instrument.handle(e.line, e.now), e.answer) << e.line;
    }
}

TEST(SimInstrument, OptionsNameTheirFault) {
    EXPECT_TRUE(parse_options({"--help"}).help);
    EXPECT_EQ(parse_options({}).error, "--link PATH is required");
    EXPECT_EQ(parse_options({"--link", "x", "--speed", "0"}).error, "bad value for --speed: 0");
    EXPECT_EQ(parse_options({"--link", "x", "--alpha", "inf"}).error, "bad value for --alpha: inf"); // no count to give
    EXPECT_EQ(parse_options({"--link", "x", "--hang-up"}).error, "--hang-up needs --fail-after N");
    EXPECT_EQ(parse_options({"--link", "x", "--fail-after"}).error, "--fail-after needs a value");
    EXPECT_EQ(parse_options({"--link", "x", "--bogus"}).error, "unknown argument: --bogus");
    EXPECT_EQ(parse_options({"--link", "x", "--plateau", "800"}).error, "bad value for --plateau (KNEE,SLOPE): 800");
}

} // namespace
} // namespace xkv::sim
