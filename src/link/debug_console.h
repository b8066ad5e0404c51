#pragma once
// The debug console's logic: while open it owns a connection to the instrument, sends any text
// typed as a command and logs the reply lines exactly as the console window shows them. The log
// is kept across openings for the life of the program.

#include "link/diagnostic_log.h"
#include "link/t_xkv.h"
#include "settings/program_options.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

class debug_console {
public:
    // What the command field holds when the window is created.
    static constexpr std::string_view initial_command = "n";

    // `wait` is the link's wait (see t_xkv).
    explicit debug_console(diagnostic_log* log = nullptr, t_xkv::wait_fn wait = {})
        : diagnostic_(log), wait_(std::move(wait)) {}

    // Connects on the options' port and speed (a new "tarvo" handshake); an open console reconnects.
    void open(const _program_options& options);
    // Releases the port.
    void close();
    bool is_open() const { return link_ != nullptr; }
    bool online() const { return link_ && link_->online; }

    // Sends `text` unchanged whether or not the instrument answered the handshake, then logs the reply.
    void send(std::string_view text);

    const std::vector<std::string>& lines() const { return lines_; }

private:
    diagnostic_log* diagnostic_;
    t_xkv::wait_fn wait_;
    std::unique_ptr<t_xkv> link_;
    std::vector<std::string> lines_;
};

} // namespace xkv
