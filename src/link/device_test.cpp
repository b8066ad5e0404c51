#include "link/device_test.h"

#include "link/t_xkv.h"

namespace xkv {

std::string run_device_test(const _program_options& options, diagnostic_log* log, t_xkv::wait_fn wait) {
    t_xkv link(options.port, options.speed, options.port_devices, log, std::move(wait));
    return link.device_test();
}

} // namespace xkv
