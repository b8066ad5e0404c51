#include "link/debug_console.h"

namespace xkv {

void debug_console::open(const _program_options& options) {
    link_.reset(); // the port must be free before the new connection opens it
    link_ = std::make_unique<t_xkv>(options.port, options.speed, options.port_devices, diagnostic_, wait_);
}

void debug_console::close() { link_.reset(); }

void debug_console::send(std::string_view text) {
    lines_.push_back("SEND COMMAND : " + std::string(text));
    // Without a connection the command goes nowhere, as through a port that did not open.
    if (!link_) return;
    link_->send_command(text);
    if (!link_->read_reply_lines()) return;
    const t_My_line_res& reply = link_->last_reply;
    lines_.push_back("RECEIVE COMMAND COUNT : " + std::to_string(reply.count));
    for (int i = 0; i <= reply.count; ++i)
        lines_.push_back("RECEIVE COMMAND " + std::to_string(i) + ": " + reply.lines[static_cast<std::size_t>(i)]);
}

} // namespace xkv
