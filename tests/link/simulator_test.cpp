#include "link/t_xkv.h"
#include "support/sim_process.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace xkv {
namespace {

using test::sim_process;

TEST(Simulator, AnswersTheDeviceTestThroughTheRealLink) {
    sim_process sim;
    t_xkv link(1, 9600, sim.port_devices(1));
    EXPECT_TRUE(link.online);
    EXPECT_EQ(link.device_test(), "XKV 4410 SIMULATOR SIMULATED INSTRUMENT, NO HARDWARE MODE M0 PRESET 0   ");
    EXPECT_EQ(sim.commands(), (std::vector<std::string>{"tarvo", "n"}));
}

TEST(Simulator, RemovesItsLinkOnTermination) {
    sim_process sim;
    const std::string link = sim.link_path();
    EXPECT_TRUE(sim.terminate());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

} // namespace
} // namespace xkv
