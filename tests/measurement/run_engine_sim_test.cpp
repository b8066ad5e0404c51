// The run engine against the simulated instrument on a real pty. The simulator's speed makes the
// preset time pass in about a second; the run's own waits pass on a virtual clock.

#include "measurement/run_engine.h"
#include "settings/value_text.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"
#include "support/virtual_clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

using namespace xkv;

namespace {

constexpr int tick_bound = 3000; // far above what a second of simulated counting takes

struct RunEngineSim : ::testing::Test {
    test::temp_dir dir;
    test::virtual_clock clock;
    std::string calibration_path = dir.file("calibrations.cfg");
    _program_options options;
    _options profile;
    run_setup setup{"Soil", "S7", "filter", "1", "100", "2", "Bq"};
    std::unique_ptr<test::sim_process> sim;
    std::unique_ptr<run_engine> engine;

    RunEngineSim() {
        test::write_file(calibration_path, "[Soil]\r\nalpha=0.5\r\nact_alpha=0.1\r\nbeta=0.25\r\nact_beta=0.1\r\n"
                                           "C=1\r\nD=1\r\nE=1\r\nbkgnd_corr=1\r\n");
        options.timeout = 3;
        profile.background = {"1", "2", "1000"};
    }

    void open(std::vector<std::string> sim_args) {
        sim = std::make_unique<test::sim_process>(std::move(sim_args));
        options.port_devices = sim->port_devices(1);
        engine = std::make_unique<run_engine>(options, profile, setup, calibration_path, clock.waiter());
        engine->open();
    }

    int run_out() {
        int ticks = 0;
        while (ticks < tick_bound) {
            ++ticks;
            if (!engine->tick()) break;
        }
        return ticks;
    }
};

} // namespace

TEST_F(RunEngineSim, FullMeasurementInACounterMode) {
    profile.mode = mode_c1_c2;
    open({"--speed", "100", "--alpha", "5", "--beta", "20"});
    ASSERT_EQ(engine->state(), run_state::ready);
    engine->start();
    run_out();
    ASSERT_EQ(engine->state(), run_state::finished) << engine->take_notices().size();
    ASSERT_EQ(engine->row_count(), 1u);
    const _r_results& row = engine->table()[0];
    EXPECT_EQ(row.time, "100");
    EXPECT_EQ(row.p1, "500"); // counts: rate x 100 s
    EXPECT_EQ(row.p2, "2000");
    EXPECT_EQ(row.mode, "C1,C2");
    EXPECT_EQ(row.activity_l, "499");  // (500 - 1) / 0.5 / 2
    EXPECT_EQ(row.activity_b, "3996"); // (2000 - 2) / 0.25 / 2
    EXPECT_EQ(row.quantity, "2");
    EXPECT_EQ(clock.waits(), (std::vector<int>{settings_wait_ms, stop_wait_ms}));
    const std::vector<std::string> commands = sim->commands();
    ASSERT_GE(commands.size(), 4u);
    EXPECT_EQ(commands[commands.size() - 2], "S");
    EXPECT_EQ(commands.back(), "R");
}

TEST_F(RunEngineSim, FullMeasurementInARatemeterMode) {
    profile.mode = mode_r1_r2;
    open({"--speed", "100", "--alpha", "5", "--beta", "20"});
    std::vector<channel_sample> samples;
    engine->on_channels([&](const channel_sample& s) { samples.push_back(s); });
    engine->start();
    run_out();
    ASSERT_EQ(engine->state(), run_state::finished);
    ASSERT_EQ(engine->row_count(), 1u);
    EXPECT_EQ(engine->table()[0].p1, "5");
    EXPECT_EQ(engine->table()[0].p2, "20");
    EXPECT_EQ(engine->table()[0].time, "100");
    EXPECT_EQ(engine->table()[0].mode, "R1,R2");
    ASSERT_FALSE(samples.empty());
    EXPECT_EQ(samples.front().elapsed, 0);
    EXPECT_EQ(samples.back().alpha_value, 5.0);
    for (std::size_t i = 1; i < samples.size(); ++i) EXPECT_LE(samples[i - 1].elapsed, samples[i].elapsed);
}

TEST_F(RunEngineSim, InstrumentVanishingInTheSecondMeasurementKeepsTheFirstRow) {
    profile.mode = mode_c1_c2;
    setup.count = "2";
    open({"--speed", "100"});
    engine->start();
    int ticks = 0;
    while (engine->row_count() == 0 && ticks++ < tick_bound) ASSERT_TRUE(engine->tick());
    ASSERT_EQ(engine->measurement().series_number, 2);
    sim->kill();
    run_out();
    EXPECT_EQ(engine->state(), run_state::failed);
    EXPECT_EQ(engine->take_notices(), (std::vector<run_notice>{{"ERROR IN COMUNICATION", true}}));
    ASSERT_EQ(engine->row_count(), 1u);
    EXPECT_EQ(engine->table()[0].series_number, "1");
    EXPECT_EQ(engine->table()[0].time, "100");
}

TEST_F(RunEngineSim, StopInTheMiddleStoresTheElapsedTime) {
    profile.mode = mode_c1_c2;
    setup.preset_time = "100000";
    open({"--speed", "100"});
    engine->start();
    int ticks = 0;
    while (engine->progress().measurement < 50 && ticks++ < tick_bound) ASSERT_TRUE(engine->tick());
    engine->stop();
    ASSERT_EQ(engine->state(), run_state::finished);
    ASSERT_EQ(engine->row_count(), 1u);
    const std::int64_t stored = digits_to_int(engine->table()[0].time);
    EXPECT_GE(stored, 50);
    EXPECT_LT(stored, 100000);
    // The counts stopped with the time: 5 per second of the (fractional) elapsed time.
    const double counts = parse_float(engine->table()[0].p1);
    EXPECT_GE(counts, stored * 5.0);
    EXPECT_LT(counts, (stored + 1) * 5.0);
}

TEST_F(RunEngineSim, AnInstrumentThatNeverAnswersFailsWithinAFewTicks) {
    profile.mode = mode_c1_c2;
    open({"--speed", "1000", "--no-handshake"});
    ASSERT_FALSE(engine->online());
    engine->start();
    int ticks = 1;
    while (ticks < 100 && engine->tick()) ++ticks;
    EXPECT_EQ(ticks, 2 * missing_time_replies_limit);
    EXPECT_EQ(engine->state(), run_state::failed);
    EXPECT_EQ(engine->row_count(), 0u);
    // Offline only the preset time, the unit and the counter reads reach the wire.
    // The simulator logs what it reads in its own time: wait (3 s at most) for every counter read.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (sim->commands().size() < 3u + missing_time_replies_limit && std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const std::vector<std::string> commands = sim->commands();
    ASSERT_EQ(commands.size(), 3u + missing_time_replies_limit);
    EXPECT_EQ(commands[0], "tarvo");
    EXPECT_EQ(commands[1], "T 100");
    EXPECT_EQ(commands[2], "U 16");
    for (std::size_t i = 3; i < commands.size(); ++i) EXPECT_EQ(commands[i], "R");
}
