#pragma once
// The device test: a connection made for one "n" query and released again. The result goes to the
// main window's status bar: the first five reply lines, or "ERROR OPEN COM PORT".

#include "link/diagnostic_log.h"
#include "link/t_xkv.h"
#include "settings/program_options.h"

#include <string>

namespace xkv {

std::string run_device_test(const _program_options& options, diagnostic_log* log = nullptr, t_xkv::wait_fn wait = {});

} // namespace xkv
