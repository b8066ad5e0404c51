#include "results/listing_rows.h"

#include "results/row_limits.h"
#include "results/viewer_query.h"

#include <algorithm>

namespace xkv {

void listing_rows::header() {
    cells_.assign(viewer_headers.begin(), viewer_headers.end());
    if (limits_) cells_.insert(cells_.end(), limits_headers.begin(), limits_headers.end());
    if (extras_) cells_.insert(cells_.end(), extras_->headers().begin(), extras_->headers().end());
    out_.row(cells_);
}

void listing_rows::row(const std::vector<std::string_view>& cells) {
    if (!limits_ && !extras_) return out_.row(cells);
    cells_.assign(cells.begin(), cells.end());
    cells_.resize(std::max(cells_.size(), viewer_column_count));
    if (extras_) {
        added_ = extras_->listing_cells(cells);
        const auto first = limits_ ? added_.begin() : added_.begin() + limits_column_count;
        cells_.insert(cells_.end(), first, added_.end());
    } else {
        const auto limits = limits_cells(channels_of_listing_row(cells), k_);
        added_.assign(limits.begin(), limits.end());
        cells_.insert(cells_.end(), added_.begin(), added_.end());
    }
    out_.row(cells_);
}

} // namespace xkv
