#include "results/text_table.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace xkv {

namespace {

constexpr std::uint64_t offset_limit = std::numeric_limits<std::uint32_t>::max();
// A small table (a list refill, a single answer) starts small; its first block grows up to 1 MiB.
constexpr std::size_t first_capacity = 256;

} // namespace

void text_table::offsets::push_back(std::uint32_t value) {
    if (size_ == chunks_.size() * chunk_size)
        chunks_.push_back(std::make_unique_for_overwrite<std::uint32_t[]>(chunk_size));
    chunks_[size_ >> chunk_bits][size_ & (chunk_size - 1)] = value;
    ++size_;
}

text_table::text_table(std::initializer_list<std::initializer_list<std::string_view>> rows) {
    for (const auto& r : rows) add_row(r);
}

text_table::text_table(const std::vector<std::vector<std::string>>& rows) {
    for (const auto& r : rows) add_row(r);
}

text_table::text_table(const text_table& other) { append_copy(other, other.row_count()); }

text_table& text_table::operator=(const text_table& other) {
    if (this != &other) {
        text_table copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void text_table::append_copy(const text_table& other, std::size_t rows) {
    for (std::size_t r = 0; r < rows; ++r) {
        begin_row();
        for (std::size_t c = 0; c < other.row_length(r); ++c) add_cell(other.cell(r, c));
    }
}

void text_table::begin_row() {
    if (cell_ends_.size() >= offset_limit) throw std::length_error("a text table holds at most 4294967295 cells");
    row_starts_.push_back(static_cast<std::uint32_t>(cell_ends_.size()));
}

void text_table::add_cell(std::string_view text) {
    if (row_starts_.size() == 0) begin_row();
    if (cell_ends_.size() >= offset_limit) throw std::length_error("a text table holds at most 4294967295 cells");
    char* at = place(text.size());
    if (!text.empty()) std::memcpy(at, text.data(), text.size());
    cell_ends_.push_back(static_cast<std::uint32_t>(end_));
    columns_ = std::max(columns_, row_length(row_starts_.size() - 1));
}

// Makes room for `length` bytes at the end of the text, moving on to the next slot when they
// would cross the end of the current one, and sets end_ past them.
char* text_table::place(std::size_t length) {
    std::uint64_t at = end_;
    std::size_t in_slot = static_cast<std::size_t>(at & (block_size - 1));
    if (in_slot != 0 && in_slot + length > block_size) {
        at = (at | (block_size - 1)) + 1;
        in_slot = 0;
    }
    if (at + length > offset_limit) throw std::length_error("a text table holds at most 4 GiB of text");
    if (length == 0) return nullptr;

    const std::size_t slot = static_cast<std::size_t>(at >> block_bits);
    if (slot >= slots_.size()) {
        const std::size_t slots = (length + block_size - 1) >> block_bits;
        const std::size_t capacity =
            slots > 1 ? slots * block_size : (slot == 0 ? std::max(length, first_capacity) : block_size);
        auto block = std::make_unique_for_overwrite<char[]>(capacity);
        for (std::size_t s = 0; s < slots; ++s) slots_.push_back(block.get() + s * block_size);
        blocks_.push_back(std::move(block));
        last_slot_capacity_ = capacity - (slots - 1) * block_size;
    } else if (in_slot + length > last_slot_capacity_) {
        // Only a first block smaller than a slot is ever short of room: it grows.
        const std::size_t capacity = std::min(block_size, std::max(2 * last_slot_capacity_, in_slot + length));
        auto block = std::make_unique_for_overwrite<char[]>(capacity);
        std::memcpy(block.get(), slots_.back(), in_slot);
        slots_.back() = block.get();
        blocks_.back() = std::move(block);
        last_slot_capacity_ = capacity;
    }
    end_ = at + length;
    return slots_[slot] + in_slot;
}

std::size_t text_table::row_length(std::size_t row) const {
    if (row >= row_starts_.size()) return 0;
    const std::size_t next = row + 1 < row_starts_.size() ? row_starts_[row + 1] : cell_ends_.size();
    return next - row_starts_[row];
}

// Where a cell ending at `end` began, the cell before it having ended at `before`: right there,
// unless it would have crossed into the next slot and so began at that slot's start.
std::uint32_t text_table::start_after(std::uint32_t before, std::uint32_t end) {
    if ((before & (block_size - 1)) == 0) return before;
    const std::uint64_t next_slot = (std::uint64_t{before} | (block_size - 1)) + 1;
    return end <= next_slot ? before : static_cast<std::uint32_t>(next_slot);
}

std::uint32_t text_table::start_of(std::size_t index) const {
    return start_after(index == 0 ? 0 : cell_ends_[index - 1], cell_ends_[index]);
}

std::string_view text_table::cell(std::size_t row, std::size_t column) const {
    if (column >= row_length(row)) return {};
    const std::size_t index = row_starts_[row] + column;
    const std::uint32_t start = start_of(index);
    const std::uint32_t length = cell_ends_[index] - start;
    if (length == 0) return {};
    return {slots_[start >> block_bits] + (start & (block_size - 1)), length};
}

void text_table::row_views(std::size_t row, std::vector<std::string_view>& cells) const {
    cells.clear();
    const std::size_t length = row_length(row);
    if (length == 0) return;
    cells.reserve(length);
    std::size_t i = row_starts_[row];
    std::uint32_t before = i == 0 ? 0 : cell_ends_[i - 1];
    const std::size_t last = i + length;
    while (i < last) {
        // Straight through the offsets' chunk rather than looking each one up.
        std::size_t count = 0;
        const std::uint32_t* ends = cell_ends_.run_from(i, count);
        count = std::min(count, last - i);
        for (std::size_t k = 0; k < count; ++k) {
            const std::uint32_t end = ends[k];
            const std::uint32_t start = start_after(before, end);
            if (end == start)
                cells.emplace_back();
            else
                cells.emplace_back(slots_[start >> block_bits] + (start & (block_size - 1)), end - start);
            before = end;
        }
        i += count;
    }
}

std::vector<std::string> text_table::row(std::size_t row) const {
    std::vector<std::string> cells;
    cells.reserve(row_length(row));
    for (std::size_t c = 0; c < row_length(row); ++c) cells.emplace_back(cell(row, c));
    return cells;
}

void text_table::keep_rows(std::size_t rows) {
    if (rows >= row_count()) return;
    text_table kept;
    kept.append_copy(*this, rows);
    *this = std::move(kept);
}

bool operator==(const text_table& a, const text_table& b) {
    if (a.row_count() != b.row_count()) return false;
    for (std::size_t r = 0; r < a.row_count(); ++r) {
        if (a.row_length(r) != b.row_length(r)) return false;
        for (std::size_t c = 0; c < a.row_length(r); ++c)
            if (a.cell(r, c) != b.cell(r, c)) return false;
    }
    return true;
}

} // namespace xkv
