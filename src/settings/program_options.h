#pragma once
// The program options: serial port, speed, reply timeout, channel swap, database and template paths,
// automatic update check. Kept in ini/program_opt.xkv beside the default profile ini/default.xkv.

#include <cstdint>
#include <map>
#include <string>

namespace xkv {

struct _program_options {
    std::int32_t port = 1;                         // the port opened is "COM" + port
    std::int32_t speed = 9600;                     // bits per second
    std::string database = "default_database.mdb"; // results database path
    std::int32_t auto_check = 1;                   // the file's "UPDATE"/"auto": 1 on, anything else off
    std::string name = "templates\\report.tpl";    // report template path
    std::int32_t timeout = 20;                     // idle byte waits a value read tolerates
    bool revert_channels = false;                  // counter 1 is beta, counter 2 alpha

    // Read only, never written: device path of "COM<n>" ("PORTS"/"COM<n>") and the update host
    // ("UPDATE"/"host"); both are set by hand in the file.
    std::map<std::int32_t, std::string> port_devices;
    std::string update_host;

    bool operator==(const _program_options&) const = default;
};

// The device path of a port name "COM<n>": the "PORTS" entry, otherwise /dev/ttyS<n-1>; empty (no
// device) for a number below 1 without an entry.
// Any other name is taken as a device path itself.
std::string port_device_path(const std::map<std::int32_t, std::string>& port_devices, const std::string& port_name);

} // namespace xkv
