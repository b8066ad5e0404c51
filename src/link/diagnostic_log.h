#pragma once
// The hidden diagnostic log: port outcome texts and update replies, one entry per line. Never shown.

#include <string>
#include <vector>

namespace xkv {

class diagnostic_log {
public:
    void append(std::string line) { lines_.push_back(std::move(line)); }
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

} // namespace xkv
