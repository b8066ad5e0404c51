#pragma once
// Errors that abandon an operation. what() is the exact text the operator sees.

#include <stdexcept>
#include <string>
#include <system_error>

namespace xkv {

// A value text that is not a number: "'%s' is not a valid floating point value" and the like.
class conversion_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A settings key that could not be written: "Unable to write to %s".
class write_error : public std::runtime_error {
public:
    explicit write_error(const std::string& path) : std::runtime_error("Unable to write to " + path) {}
    // The same, with why: "Unable to write to %s: <reason>".
    write_error(const std::string& path, const std::string& reason)
        : std::runtime_error("Unable to write to " + path + ": " + reason) {}
};

// A file that could not be opened or written by the file layer.
class file_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// `what` "path". and the system's text for `error`: "Cannot create file \"r.txt\". Permission denied".
inline file_error file_failure(const char* what, const std::string& path, int error) {
    return file_error(std::string(what) + " \"" + path + "\". " + std::generic_category().message(error));
}

} // namespace xkv
