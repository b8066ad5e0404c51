#pragma once
// The cells of one line the CLI printed, split at its tabs.

#include <string>
#include <vector>

namespace xkv::test {

inline std::vector<std::string> cells_of(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (std::size_t end; (end = line.find('\t', start)) != std::string::npos; start = end + 1)
        cells.push_back(line.substr(start, end - start));
    cells.push_back(line.substr(start));
    return cells;
}

} // namespace xkv::test
