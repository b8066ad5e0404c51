#pragma once
// Rows of text cells held compactly: the texts lie back to back in blocks of 1 MiB and each cell
// costs one 32-bit end offset, so a listing of a hundred thousand rows takes little more memory
// than its text. Filled row by row; read by row and column.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

class text_table {
public:
    text_table() = default;
    text_table(std::initializer_list<std::initializer_list<std::string_view>> rows);
    explicit text_table(const std::vector<std::vector<std::string>>& rows);
    text_table(const text_table& other);
    text_table& operator=(const text_table& other);
    text_table(text_table&&) = default;
    text_table& operator=(text_table&&) = default;
    ~text_table() = default;

    // Starts a new, empty row; add_cell appends to it. Rows may differ in length.
    void begin_row();
    // Throws std::length_error when the table's text would pass 4 GiB.
    void add_cell(std::string_view text);
    template <class Texts>
    void add_row(const Texts& texts) {
        begin_row();
        for (const auto& text : texts) add_cell(text);
    }

    std::size_t row_count() const { return row_starts_.size(); }
    // The longest row's length.
    std::size_t column_count() const { return columns_; }
    std::size_t row_length(std::size_t row) const;
    bool empty() const { return row_starts_.size() == 0; }

    // Empty outside the table, and for the missing cells of a short row.
    std::string_view cell(std::size_t row, std::size_t column) const;
    std::vector<std::string> row(std::size_t row) const;
    // The row's cells into `cells` (replacing what it held): quicker than cell() for a reader
    // going row by row.
    void row_views(std::size_t row, std::vector<std::string_view>& cells) const;

    // Keeps the first `rows` rows.
    void keep_rows(std::size_t rows);

    friend bool operator==(const text_table& a, const text_table& b);

private:
    // 32-bit numbers in chunks of 4096: the array grows without moving what it holds, so filling
    // never needs room for two copies.
    class offsets {
    public:
        std::size_t size() const { return size_; }
        std::uint32_t operator[](std::size_t i) const { return chunks_[i >> chunk_bits][i & (chunk_size - 1)]; }
        void push_back(std::uint32_t value);
        // The run of values from `i` to the end of its chunk (at least one value when i < size()).
        const std::uint32_t* run_from(std::size_t i, std::size_t& count) const {
            count = std::min(chunk_size - (i & (chunk_size - 1)), size_ - i);
            return chunks_[i >> chunk_bits].get() + (i & (chunk_size - 1));
        }

    private:
        static constexpr unsigned chunk_bits = 12;
        static constexpr std::size_t chunk_size = std::size_t{1} << chunk_bits;
        std::vector<std::unique_ptr<std::uint32_t[]>> chunks_;
        std::size_t size_ = 0;
    };

    static constexpr unsigned block_bits = 20;
    static constexpr std::size_t block_size = std::size_t{1} << block_bits;

    std::uint32_t start_of(std::size_t index) const;
    static std::uint32_t start_after(std::uint32_t before, std::uint32_t end);
    char* place(std::size_t length);
    // Copies the first `rows` rows of `other` (at most its row count) after this table's rows.
    void append_copy(const text_table& other, std::size_t rows);

    // The blocks own the text; slots_[i] is where offset i * block_size lies. A cell longer than a
    // block gets a block of several slots. A cell never crosses the end of a slot: one that would
    // begins at the next slot, so its start follows from its end and the end before it.
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<char*> slots_;
    std::size_t last_slot_capacity_ = 0; // bytes allocated from the start of the last slot
    std::uint64_t end_ = 0;              // where the next cell's text goes
    offsets cell_ends_;
    offsets row_starts_; // index of each row's first cell
    std::size_t columns_ = 0;
};

} // namespace xkv
