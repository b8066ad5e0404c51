// The run engine against a scripted instrument on a real pty; waits pass on a virtual clock.

#include "link/t_xkv.h"
#include "measurement/run_engine.h"
#include "support/pty_peer.h"
#include "support/temp_dir.h"
#include "support/virtual_clock.h"

#include <gtest/gtest.h>

#include <memory>

using namespace xkv;
using test::pty_peer;

namespace {

constexpr int tick_bound = 200; // no run in these tests needs more ticks

struct RunEngine : ::testing::Test {
    test::temp_dir dir;
    pty_peer peer;
    test::virtual_clock clock;
    diagnostic_log log;
    std::string calibration_path = dir.file("calibrations.cfg");
    _program_options options;
    _options profile;
    run_setup setup{"Soil", "S1", "soil", "1", "100", "1", "Bq/g"};
    std::unique_ptr<run_engine> engine;

    RunEngine() {
        test::write_file(calibration_path,
                         "[Soil]\r\nalpha=0.25\r\nact_alpha=0.05\r\nbeta=0.25\r\nact_beta=0.05\r\ncaption=dried\r\n"
                         "B=1\r\nC=1\r\nD=1\r\nE=1\r\nbkgnd_corr=1\r\n"
                         "[NoK]\r\nC=1\r\nD=\r\nE=1\r\n");
        options.port_devices = peer.port_devices(1);
        options.timeout = 2;
        profile.mode = mode_c1_c2;
        profile.background = {"0.5", "0.5", "1000"};
    }

    void open(bool handshake = true) {
        if (handshake) peer.answer_handshake();
        engine = std::make_unique<run_engine>(options, profile, setup, calibration_path, clock.waiter(), &log);
        engine->open();
        peer.received(6);
        peer.clear_received();
    }

    // Ticks while the engine asks for it; the number of ticks run.
    int run_out() {
        int ticks = 0;
        while (ticks < tick_bound) {
            ++ticks;
            if (!engine->tick()) break;
        }
        return ticks;
    }

    static bool ok(const std::string&) { return true; }
};

} // namespace

TEST_F(RunEngine, OpeningDownloadsTheSettingsWaitsAndIsReady) {
    peer.answer_handshake();
    engine = std::make_unique<run_engine>(options, profile, setup, calibration_path, clock.waiter(), &log);
    engine->open();
    const std::string sent = peer.received(100);
    EXPECT_EQ(sent.rfind("tarvo\nI2 10000\n", 0), 0u) << sent;
    EXPECT_NE(sent.find("K0 1\nK1 1\nK2 1\nK3 0.1\nK4 2\nM3\nT 100\nU 16\n"), std::string::npos) << sent;
    EXPECT_EQ(clock.waits(), std::vector<int>{settings_wait_ms});
    EXPECT_EQ(engine->state(), run_state::ready);
    EXPECT_EQ(engine->table()[0].calibration.alpha, "") << "a free slot shows no efficiency";
    EXPECT_EQ(engine->table()[0].calibration.act_beta, "");
    EXPECT_EQ(buttons_of(engine->buttons()), (run_buttons{false, true, false, true, true, true}));
    EXPECT_FALSE(engine->timer_on());
    const run_labels& l = engine->labels();
    EXPECT_EQ(l.sample_id, "Sample ID : S1");
    EXPECT_EQ(l.alpha_efficiency, "ALPHA = 0.25");
    EXPECT_EQ(l.beta_uncertainty, "Beta uncertainty= 0.05");
    EXPECT_EQ(l.k, "K = 1");
    EXPECT_EQ(l.transfer_factor, "Transfer factor =1");
    EXPECT_EQ(l.background, "");
    EXPECT_EQ(engine->caption(), "MEASURMENT IN PROGRESS");
    EXPECT_EQ(engine->measurement().series_total, 1);
    EXPECT_DOUBLE_EQ(engine->measurement().koef_k, 1);
    EXPECT_TRUE(engine->take_notices().empty());
}

TEST_F(RunEngine, PresetTimeIsReachedAtElapsedEqualToItNotBefore) {
    peer.answer("R", "10.5\r\n3\r\n");
    peer.answer("L", "99\r\n", 20, 1);
    peer.answer("L", "100\r\n");
    open();
    std::vector<channel_sample> samples;
    engine->on_channels([&](const channel_sample& s) { samples.push_back(s); });
    engine->start();
    EXPECT_EQ(engine->state(), run_state::counting);
    EXPECT_EQ(buttons_of(engine->buttons()), (run_buttons{true, false, true, false, false, false}));

    EXPECT_TRUE(engine->tick());
    EXPECT_EQ(engine->tick_phase(), 2);                                     // the first tick reads the channels
    EXPECT_EQ(engine->labels().alpha_value, "Alpha counter : 10.5 counts"); // a counter mode counts
    EXPECT_EQ(engine->labels().beta_value, "Beta counter  : 3 counts");
    EXPECT_TRUE(engine->tick());
    EXPECT_EQ(engine->labels().measurement_time, "Measurment time : 99 s ");
    EXPECT_EQ(engine->labels().remaining_time, "Remaining time  : 1 s ");
    EXPECT_EQ(engine->progress().measurement, 99);
    EXPECT_EQ(engine->row_count(), 0u);
    EXPECT_TRUE(engine->tick());
    EXPECT_FALSE(engine->tick()); // elapsed 100: finished

    EXPECT_EQ(peer.received(), "G\nR\nL\nR\nL\nR\nL\nS\nR\n");
    EXPECT_EQ(clock.waits(), (std::vector<int>{settings_wait_ms, stop_wait_ms}));
    EXPECT_EQ(engine->state(), run_state::finished);
    EXPECT_EQ(buttons_of(engine->buttons()), (run_buttons{false, true, false, true, true, true}));
    ASSERT_EQ(engine->row_count(), 1u);
    const _r_results& row = engine->table()[0];
    EXPECT_EQ(row.sample_id, "S1");
    EXPECT_EQ(row.series_number, "1");
    EXPECT_EQ(row.mode, "C1,C2");
    EXPECT_EQ(row.hv, "1000");
    EXPECT_EQ(row.p1, "10.5");
    EXPECT_EQ(row.p2, "3");
    EXPECT_EQ(row.time, "100");
    EXPECT_EQ(row.preset_time, "100");
    EXPECT_EQ(row.activity_l, "40");
    EXPECT_EQ(row.activity_b, "10");
    EXPECT_EQ(row.calibration.name, "Soil");
    EXPECT_EQ(engine->labels().current_count, "Current count   : 1");
    EXPECT_EQ(engine->labels().alpha_value, "ALPHA : 10.5");
    EXPECT_EQ(engine->labels().beta_value, "BETA : 3");

    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(samples[0].elapsed, 0);
    EXPECT_EQ(samples[1].elapsed, 99);
    EXPECT_EQ(samples[1].alpha_value, 10.5);
    EXPECT_EQ(samples[1].beta, "3");
    EXPECT_EQ(samples[2].elapsed, 100) << "the chart ends on the final values";
    EXPECT_EQ(samples[2].alpha_value, 10.5);
}

TEST_F(RunEngine, ATimeReplyThatIsNoElapsedTimeFailsTheRunAndStoresNothing) {
    const struct {
        const char* what;
        std::vector<std::string> replies; // the "L" replies in turn, the last one for good
    } cases[] = {
        {"bit 7 set on the first byte: masked, it is no digit",
         {"\xff"
          "99\r\n"}},
        {"the time goes back", {"5\r\n", "3\r\n"}},
        {"past the preset time of 100", {"103\r\n"}},
        {"stuck at one second, as with a preset the instrument took otherwise", {"1\r\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        pty_peer line;
        line.answer_handshake();
        line.answer("R", "10\r\n3\r\n");
        for (std::size_t i = 0; i + 1 < c.replies.size(); ++i) line.answer("L", c.replies[i], 20, 1);
        line.answer("L", c.replies.back());
        options.port_devices = line.port_devices(1);
        engine = std::make_unique<run_engine>(options, profile, setup, calibration_path, clock.waiter(), &log);
        engine->open();
        engine->start();
        const int ticks = run_out();
        EXPECT_LE(ticks, 2 * (stalled_time_ticks_limit + 1));
        EXPECT_EQ(engine->state(), run_state::failed);
        EXPECT_EQ(engine->row_count(), 0u);
        EXPECT_EQ(engine->take_notices(), (std::vector<run_notice>{{"ERROR IN COMUNICATION", true}}));
        const std::string sent = line.received();
        EXPECT_EQ(sent.substr(sent.size() - 4), "L\nS\n") << "the instrument is stopped";
    }
}

TEST_F(RunEngine, AnInstrumentThatFallsSilentFailsAtItsFirstMissingTimeReply) {
    peer.answer("R", "10\r\n3\r\n");
    open();
    engine->start();
    EXPECT_EQ(run_out(), 2);
    EXPECT_EQ(engine->state(), run_state::failed);
    EXPECT_EQ(engine->take_notices(), (std::vector<run_notice>{{"ERROR IN COMUNICATION", true}}));
}

TEST_F(RunEngine, CommunicationFailureInTheSecondMeasurementKeepsTheFirstRow) {
    // Three value reads are answered (counter tick, end of the first measurement, after the
    // restart); the first counter tick of the second measurement gets no answer.
    peer.answer("R", "10.5\r\n3\r\n", 20, 3);
    peer.answer("L", "100\r\n");
    setup.count = "2";
    open();
    engine->start();
    run_out();
    EXPECT_EQ(engine->state(), run_state::failed);
    EXPECT_EQ(buttons_of(engine->buttons()), (run_buttons{false, false, false, true, true, true}));
    EXPECT_FALSE(engine->timer_on());
    EXPECT_EQ(engine->take_notices(), (std::vector<run_notice>{{"ERROR IN COMUNICATION", true}}));
    ASSERT_EQ(engine->row_count(), 1u);
    EXPECT_EQ(engine->table()[0].p1, "10.5");
    const std::string sent = peer.received();
    EXPECT_EQ(sent.substr(sent.size() - 4), "R\nS\n") << sent;
    engine->start(); // START stays off
    EXPECT_EQ(engine->state(), run_state::failed);
}

TEST_F(RunEngine, StopStoresTheShorterTimeAndEndsTheSeries) {
    peer.answer("R", "8\r\n2\r\n");
    peer.answer("L", "37\r\n");
    setup.count = "3";
    open();
    engine->start();
    engine->tick();
    engine->tick();
    engine->tick(); // a counter tick: the next START begins with a time tick
    engine->stop();
    EXPECT_EQ(peer.received(), "G\nR\nL\nR\nS\nR\nL\nS\n");
    EXPECT_EQ(engine->state(), run_state::finished);
    EXPECT_FALSE(engine->timer_on());
    ASSERT_EQ(engine->row_count(), 1u);
    EXPECT_EQ(engine->table()[0].time, "37");
    EXPECT_EQ(engine->table()[0].preset_time, "100");
    EXPECT_EQ(engine->labels().alpha_value, "ALPHA : 8");
    EXPECT_EQ(clock.waits().back(), stop_wait_ms);

    engine->start(); // a new series clears the unsaved rows
    EXPECT_EQ(engine->row_count(), 0u);
    EXPECT_EQ(engine->measurement().series_number, 1);
    engine->tick();
    EXPECT_EQ(engine->tick_phase(), 1);
}

TEST_F(RunEngine, EveryFixedWaitIsShownFirstWithNothingToPress) {
    peer.answer("R", "8\r\n2\r\n");
    peer.answer("L", "100\r\n");
    setup.count = "2";
    peer.answer_handshake();
    engine = std::make_unique<run_engine>(options, profile, setup, calibration_path, clock.waiter(), &log);
    struct shown {
        button_set buttons;
        std::string sample_id, preset_time, alpha_value;
        std::size_t waits_before;
    };
    std::vector<shown> renders;
    engine->on_render([&] {
        const run_labels& l = engine->labels();
        renders.push_back({engine->buttons(), l.sample_id, l.preset_time, l.alpha_value, clock.waits().size()});
    });
    engine->open();
    EXPECT_EQ(buttons_of(engine->buttons()), buttons_of(button_set::ready));
    engine->start();
    run_out();
    ASSERT_EQ(renders.size(), clock.waits().size());
    EXPECT_EQ(clock.waits(), (std::vector<int>{settings_wait_ms, stop_wait_ms, restart_wait_ms, stop_wait_ms}));
    for (std::size_t i = 0; i < renders.size(); ++i) {
        EXPECT_EQ(renders[i].waits_before, i) << "rendered before the wait, not after";
        EXPECT_EQ(renders[i].buttons, button_set::none);
        EXPECT_EQ(renders[i].sample_id, "Sample ID : S1");
        EXPECT_EQ(renders[i].preset_time, "Preset time : 100 s ");
    }
    EXPECT_EQ(renders[1].alpha_value, "ALPHA : 8"); // the final values are up during the stop wait
    EXPECT_EQ(engine->state(), run_state::finished);
    EXPECT_EQ(buttons_of(engine->buttons()), buttons_of(button_set::finished));
    EXPECT_TRUE(engine->start_discards_rows());
}

TEST_F(RunEngine, StartAfterAFinishedSeriesClearsTheTable) {
    peer.answer("R", "10.5\r\n3\r\n");
    peer.answer("L", "100\r\n");
    open();
    engine->start();
    run_out();
    ASSERT_EQ(engine->row_count(), 1u);
    engine->start();
    EXPECT_EQ(engine->row_count(), 0u);
    const _r_results& cleared = engine->table()[0];
    EXPECT_EQ(cleared.sample_id, "");
    EXPECT_EQ(cleared.p1, "");
    EXPECT_EQ(cleared.time, "");
    EXPECT_EQ(cleared.activity_l, "");
    EXPECT_EQ(cleared.calibration.alpha, "");
    EXPECT_EQ(cleared.calibration.name, "");
    run_out();
    EXPECT_EQ(engine->row_count(), 1u);
    EXPECT_EQ(engine->state(), run_state::finished);
}

TEST_F(RunEngine, RevertedChannelsSwapAlphaAndBeta) {
    options.revert_channels = true;
    peer.answer("R", "10.5\r\n3\r\n");
    peer.answer("L", "100\r\n");
    open();
    engine->start();
    engine->tick();
    EXPECT_EQ(engine->labels().alpha_value, "Alpha counter : 3 counts");
    run_out();
    EXPECT_EQ(engine->table()[0].p1, "3");
    EXPECT_EQ(engine->table()[0].p2, "10.5");
}

TEST_F(RunEngine, OneLineRatemeterModeStoresZeroForTheMissingValue) {
    profile.mode = mode_r1_or_r2;
    peer.answer("P", "10.5\r\n");
    peer.answer("L", "100\r\n");
    open();
    engine->start();
    engine->tick();
    EXPECT_EQ(engine->labels().alpha_value, "Alpha counter : 10.5 cps"); // a ratemeter mode gives rates
    run_out();
    ASSERT_EQ(engine->row_count(), 1u) << (engine->take_notices().empty() ? "" : engine->take_notices()[0].text);
    EXPECT_EQ(engine->table()[0].mode, "R1 or R2");
    EXPECT_EQ(engine->table()[0].p1, "10.5");
    EXPECT_EQ(engine->table()[0].p2, "0");
    EXPECT_EQ(engine->table()[0].activity_b, "-2");
    EXPECT_EQ(peer.received(), "G\nP\nL\nP\nL\nS\nP\n");
}

TEST_F(RunEngine, AFailedComputationTakesItsRowOutAndFailsTheRun) {
    peer.answer("R", "10.5\r\n3\r\n", 20, 4);
    peer.answer("R", "10.5\r\nabc\r\n");
    peer.answer("L", "100\r\n");
    setup.count = "2";
    open();
    engine->start();
    run_out();
    EXPECT_EQ(engine->state(), run_state::failed);
    ASSERT_EQ(engine->row_count(), 1u);
    EXPECT_EQ(engine->table()[1].sample_id, "") << "the half-filled row is taken out";
    EXPECT_EQ(engine->table()[1].p1, "");
    EXPECT_EQ(engine->table()[1].calibration.alpha, "");
    const std::vector<run_notice> notices = engine->take_notices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices[0].error);
    EXPECT_EQ(notices[0].text, "'abc' is not a valid floating point value (alpha value \"10.5\", beta value \"abc\")");
}

TEST_F(RunEngine, AFailedComputationKeepsTheMeasuredRowWithEmptyResults) {
    test::write_file(calibration_path, "[NoBeta]\r\nalpha=0.25\r\nbeta=\r\nC=1\r\nD=1\r\nE=1\r\n");
    peer.answer("R", "30\r\n135\r\n");
    peer.answer("L", "100\r\n");
    setup.set_name = "NoBeta";
    open();
    engine->start();
    run_out();
    EXPECT_EQ(engine->state(), run_state::failed);
    ASSERT_EQ(engine->row_count(), 1u) << "the count is kept";
    const _r_results& row = engine->table()[0];
    EXPECT_EQ(row.sample_id, "S1");
    EXPECT_EQ(row.p1, "30");
    EXPECT_EQ(row.p2, "135");
    EXPECT_EQ(row.time, "100");
    EXPECT_EQ(row.activity_l, "");
    EXPECT_EQ(row.u_activity_b, "");
    EXPECT_EQ(row.MDA_a, "");
    EXPECT_EQ(row.text_act_a, "");
    EXPECT_EQ(row.koef_k, "1");
    EXPECT_EQ(row.quantity, "1");
    EXPECT_EQ(row.background.time, "1000");
    EXPECT_EQ(engine->take_notices(),
              (std::vector<run_notice>{
                  {"'' is not a valid floating point value (alpha value \"30\", beta value \"135\")", true}}));
    EXPECT_EQ(buttons_of(engine->buttons()).save, true);
}

TEST_F(RunEngine, ASetWithoutKReleasesTheLinkAndOffersNoStart) {
    setup.set_name = "NoK";
    open();
    EXPECT_EQ(engine->state(), run_state::closed);
    EXPECT_FALSE(engine->online());
    EXPECT_EQ(engine->take_notices(), (std::vector<run_notice>{{"'' is not a valid floating point value", true}}));
    EXPECT_EQ(clock.waits(), std::vector<int>{});
    t_xkv again(1, 9600, peer.port_devices(1)); // the port is free again
    EXPECT_TRUE(again.online);
    engine->start();
    EXPECT_EQ(engine->state(), run_state::closed);
}

TEST_F(RunEngine, AnUnusableSetupIsRefusedBeforeAnythingIsSentButTheHandshake) {
    setup.count = "101";
    setup.quantity = "0";
    open();
    EXPECT_EQ(engine->state(), run_state::closed);
    EXPECT_EQ(engine->take_notices(),
              (std::vector<run_notice>{{"CAN NOT SET quantity to 0", false}, {"CAN NOT SET count above 100", false}}));
    EXPECT_EQ(peer.received(), "");
}

TEST_F(RunEngine, AnInstrumentThatNeverAnswersFailsAfterAFewTicksShowingNothingToPress) {
    open(false);
    EXPECT_FALSE(engine->online());
    EXPECT_EQ(engine->state(), run_state::ready);
    engine->start();
    EXPECT_TRUE(engine->tick());
    EXPECT_TRUE(engine->tick()); // the first time tick without a reply
    EXPECT_TRUE(engine->waiting_for_replies());
    EXPECT_EQ(engine->buttons(), button_set::none);
    EXPECT_EQ(run_out(), 2 * missing_time_replies_limit - 2);
    EXPECT_EQ(engine->state(), run_state::failed);
    EXPECT_EQ(buttons_of(engine->buttons()), (run_buttons{false, false, false, true, true, true}));
    EXPECT_EQ(engine->take_notices(), (std::vector<run_notice>{{"ERROR IN COMUNICATION", true}}));
    EXPECT_EQ(engine->row_count(), 0u);
}

TEST_F(RunEngine, StopEndsARunThatNothingAnswersAndAbortAsksFirst) {
    open(false);
    engine->start();
    engine->tick();
    engine->stop();
    EXPECT_EQ(engine->state(), run_state::failed);
    EXPECT_FALSE(engine->timer_on());
    EXPECT_EQ(engine->take_notices(), (std::vector<run_notice>{{"ERROR IN COMUNICATION", true}}));

    open(false);
    engine->start();
    std::vector<std::string> asked;
    engine->abort([&](const std::string& q) {
        asked.push_back(q);
        return false;
    });
    EXPECT_EQ(engine->state(), run_state::counting);
    engine->abort([&](const std::string& q) {
        asked.push_back(q);
        return true;
    });
    EXPECT_EQ(asked, (std::vector<std::string>(2, abort_question)));
    EXPECT_EQ(engine->state(), run_state::closed);
    EXPECT_FALSE(engine->timer_on());
}

TEST_F(RunEngine, CloseAsksFirstAndReleasesTheLink) {
    open();
    std::string asked;
    engine->close_run([&](const std::string& q) {
        asked = q;
        return false;
    });
    EXPECT_EQ(asked, "close measurment without save data !\n\rare you sure ?");
    EXPECT_EQ(engine->state(), run_state::ready);
    engine->close_run(ok);
    EXPECT_EQ(engine->state(), run_state::closed);
    EXPECT_FALSE(engine->online());
}

TEST_F(RunEngine, ValuesCutShortAtTheEndOfAMeasurementNeverBecomeARow) {
    peer.answer("R", "10.5\r\n3\r\n", 20, 1); // the counter tick only
    peer.answer("L", "100\r\n");
    open();
    engine->start();
    EXPECT_EQ(run_out(), 2);
    EXPECT_EQ(engine->state(), run_state::failed);
    EXPECT_EQ(engine->row_count(), 0u);
    EXPECT_EQ(engine->take_notices(), (std::vector<run_notice>{{"ERROR IN COMUNICATION", true}}));
}

TEST_F(RunEngine, UnknownModeReadsNoValuesAndFailsInsteadOfStoringZeros) {
    profile.mode = 9;
    peer.answer("L", "100\r\n");
    open();
    engine->start();
    run_out();
    EXPECT_EQ(peer.received(), "G\nL\nL\nS\nS\n");
    EXPECT_EQ(engine->state(), run_state::failed);
    EXPECT_EQ(engine->row_count(), 0u);
    EXPECT_EQ(engine->take_notices().at(0).text,
              "'' is not a valid floating point value (alpha value \"\", beta value \"\")");
}

TEST_F(RunEngine, AnElapsedTimeTooLargeToCountFailsTheRun) {
    peer.answer("R", "1\r\n1\r\n");
    peer.answer("L", "99999999999\r\n");
    open();
    engine->start();
    EXPECT_EQ(run_out(), 2);
    EXPECT_EQ(engine->state(), run_state::failed);
    EXPECT_EQ(engine->take_notices(), (std::vector<run_notice>{{"'99999999999' is not a valid integer value", true}}));
}
