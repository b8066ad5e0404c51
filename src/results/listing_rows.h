#pragma once
// The listing's rows on their way to a writer, with the characteristic limit columns (with k)
// appended to the headers and to every row, and the extras' columns after them (whose limits then
// take the place of the plain ones); a plain pass-through without either.

#include "results/listing_writer.h"
#include "results/row_extras.h"

#include <string>
#include <string_view>
#include <vector>

namespace xkv {

class listing_rows {
public:
    listing_rows(listing_writer& out, bool with_limits, double k, row_extras* extras = nullptr)
        : out_(out), limits_(with_limits), k_(k), extras_(extras) {}
    void header();
    void row(const std::vector<std::string_view>& cells);

private:
    listing_writer& out_;
    bool limits_;
    double k_;
    row_extras* extras_;
    std::vector<std::string_view> cells_;
    std::vector<std::string> added_;
};

} // namespace xkv
